// The deletion the user asks for: the question's words for files, one folder and several items
// (counts, size, "there may be more"), a count stopped before the question deletes nothing, a
// declined question deletes nothing, and a report that names what was not deleted and why.
#include "core/Logger.h"
#include "ui/common/DeleteJob.h"
#include "tests/ui/uitestutil.h"
#include "testutil.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestDeleteJob : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath("log.txt"));
    }

    void questionTexts()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // numbers as the user reads them
        FileDeletion::Totals files;
        files.files = 2;
        QCOMPARE(DeleteJob::questionText({"/a/x.txt"}, files), QStringLiteral("Do you really want to delete \"x.txt\" permanently?"));
        QCOMPARE(DeleteJob::questionText({"/a/x", "/a/y"}, files),
                 QStringLiteral("Do you really want to delete these 2 items permanently?"));
        FileDeletion::Totals folder;
        folder.anyFolder = true;
        folder.files = 1200;
        folder.folders = 31;
        folder.bytes = 5 * 1024 * 1024;
        const QString one = DeleteJob::questionText({"/a/Projects"}, folder);
        QVERIFY2(one.startsWith("Do you really want to delete the folder \"Projects\" and everything in it permanently?\n\n"
                                "It holds 1,200 files and 30 folders (5.00 MiB), which are deleted with it."),
                 qPrintable(one));
        QVERIFY(one.endsWith("cannot be undone."));
        QVERIFY(!one.contains("may be more"));
        folder.complete = false;
        const QString several = DeleteJob::questionText({"/a/Projects", "/a/x.txt"}, folder);
        QVERIFY2(several.contains("deleted with everything in them: 1,200 files and 31 folders in all (5.00 MiB)"),
                 qPrintable(several));
        QVERIFY(several.contains("Some folders could not be read, so there may be more."));
        QLocale::setDefault(QLocale::c());
    }

    void stoppedOrDeclinedDeletesNothing()
    {
        const QString folder = tmp.filePath("kept");
        QVERIFY(testutil::writeFile(folder + "/f.txt", "x"));
        uitest::ScriptedPrompter prompter;
        auto* declined = new DeleteJob(nullptr, &prompter, {folder});
        QSignalSpy declinedEnd(declined, &DeleteJob::finished);
        declined->start();
        QVERIFY(declinedEnd.wait(10000));
        QCOMPARE(prompter.kinds(), QStringList{"question"}); // answered No
        QVERIFY(QFileInfo::exists(folder + "/f.txt"));
        QCOMPARE(declinedEnd.first().at(0).value<FileDeletion::Outcome>().kept, QStringList{folder});

        prompter.questionAnswers.enqueue(QMessageBox::Yes);
        auto* stopped = new DeleteJob(nullptr, &prompter, {folder});
        QSignalSpy stoppedEnd(stopped, &DeleteJob::finished);
        stopped->start();
        stopped->stop(); // Cancel while counting
        QVERIFY(stoppedEnd.wait(10000));
        QCOMPARE(prompter.kinds().size(), 1); // no question after a stopped count
        QVERIFY(QFileInfo::exists(folder + "/f.txt"));
        QVERIFY(stoppedEnd.first().at(0).value<FileDeletion::Outcome>().stopped);
    }

    void whatStayedIsReported()
    {
        const QString folder = tmp.filePath("mixed");
        QVERIFY(testutil::writeFile(folder + "/f.txt", "x"));
        uitest::ScriptedPrompter prompter;
        prompter.questionAnswers.enqueue(QMessageBox::Yes);
        auto* job = new DeleteJob(nullptr, &prompter, {folder, "/proc/self/status"});
        QSignalSpy end(job, &DeleteJob::finished);
        job->start();
        QVERIFY(end.wait(10000));
        const FileDeletion::Outcome outcome = end.first().at(0).value<FileDeletion::Outcome>();
        QCOMPARE(outcome.gone, QStringList{folder});
        QCOMPARE(outcome.kept, QStringList{"/proc/self/status"});
        QCOMPARE(prompter.kinds(), (QStringList{"question", "warning"}));
        const QString report = prompter.asked.last().text;
        QVERIFY2(report.startsWith("Not everything could be deleted.\nDeleted: 1 files, 1 folders.\n\nNot deleted:\n"
                                   "/proc/self/status: "),
                 qPrintable(report));
        QVERIFY(report.endsWith("Still there:\n/proc/self/status"));
    }
};

QTEST_MAIN(TestDeleteJob)
#include "tst_deletejob.moc"
