// The real prompts' file dialogs in a root instance working for a session user: they are
// read-only, so nothing is created, renamed or removed as root in that user's folders.
#include "ui/common/Prompter.h"
#include "core/FileNameCodec.h"
#include "testutil.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestPrompter : public QObject
{
    Q_OBJECT

    // Runs `open` (which shows a file dialog and waits for it). Once the dialog is shown, its
    // new-folder button (which its context menu's command follows) is clicked in the start
    // folder and, after a move, in `other`; then the dialog is cancelled. Whether a dialog was
    // seen and whether its new-folder button could be used anywhere.
    static void useTheDialog(const std::function<QString()>& open, const QString& other, bool* seen,
                             bool* newFolderEnabled)
    {
        *seen = false;
        *newFolderEnabled = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (*seen || !dialog || !dialog->isVisible())
                return;
            *seen = true;
            auto* button = dialog->findChild<QToolButton*>(QStringLiteral("newFolderButton"));
            const auto clickNewFolder = [&] {
                if (button && button->isEnabled()) {
                    *newFolderEnabled = true;
                    button->click();
                }
            };
            clickNewFolder();
            dialog->setDirectory(other);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
            clickNewFolder();
            dialog->reject();
        });
        poll.start();
        QCOMPARE(open(), QString());
    }

private slots:
    void rootInstanceDialogsCreateNothingInTheUsersFolders()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
        const QString home = dir.path() + QStringLiteral("/home");
        QVERIFY(QDir().mkpath(home));
        QCOMPARE(::chown(QFile::encodeName(home).constData(), 65534, 65534), 0);
        QCOMPARE(::chmod(QFile::encodeName(home).constData(), 0700), 0);
        const QString other = home + QStringLiteral("/other");
        const QString victim = home + QStringLiteral("/kept.csv");
        QVERIFY(testutil::writeFile(victim, "the user's"));
        QVERIFY(QDir().mkpath(other));
        for (const QString& path : {victim, other})
            QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        const auto entries = [&] {
            return QDir(home).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                + QDir(other).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        };
        const QStringList before = entries();
        const testutil::SessionUserScope session(65534);
        WidgetPrompter prompter;
        bool seen = false;
        bool newFolder = false;
        useTheDialog([&] { return prompter.saveFileName(nullptr, QStringLiteral("Save"), home + QStringLiteral("/found.csv"),
                                                        QStringLiteral("CSV (*.csv)")); },
                     other, &seen, &newFolder);
        QVERIFY(seen);
        QVERIFY(!newFolder);
        QCOMPARE(entries(), before);
        useTheDialog([&] { return prompter.existingDirectory(nullptr, QStringLiteral("Folder"), home); }, other, &seen,
                     &newFolder);
        QVERIFY(seen);
        QVERIFY(!newFolder);
        QCOMPARE(entries(), before);
        QCOMPARE(testutil::readFile(victim), QByteArray("the user's"));
    }
};

QTEST_MAIN(TestPrompter)
#include "tst_prompter.moc"
