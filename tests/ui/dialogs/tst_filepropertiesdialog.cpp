// The read-only properties dialog: one file, a link described and not followed, a folder, a
// missing path, several paths, the size and permission texts; the file system read on a
// worker while the dialog shows "…", and a dialog closed before the answer never filled.
// Meant to run under ThreadSanitizer too (scripts/sanitize thread).
#include "testutil.h"
#include "ui/dialogs/FilePropertiesDialog.h"

#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include <sys/stat.h>

namespace {

const QString kPending = QStringLiteral("\u2026");

QString value(const QWidget* dialog, const char* name)
{
    const QLabel* label = dialog->findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<none>");
}

// A reader the test holds at a gate until it lets it read the file system.
class HeldReader
{
public:
    FilePropertiesDialog::Reader reader()
    {
        return [this](const QStringList& paths, const BackgroundJob::Control&) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                thread = QThread::currentThread();
                ++calls;
                changed.notify_all();
                changed.wait(lock, [this]() { return opened; });
            }
            QVector<FilePropertiesDialog::Facts> facts;
            for (const QString& path : paths)
                facts.append(FilePropertiesDialog::readFacts(path, paths.size() == 1));
            std::lock_guard<std::mutex> lock(mutex);
            ++answered;
            changed.notify_all();
            return facts;
        };
    }
    void open()
    {
        std::lock_guard<std::mutex> lock(mutex);
        opened = true;
        changed.notify_all();
    }
    // Waits until the reader has been called (generously: CI is loaded).
    bool waitCalled()
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(60), [this]() { return calls > 0; });
    }
    bool waitAnswered()
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(60), [this]() { return answered > 0; });
    }
    QThread* readerThread()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return thread;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool opened = false;
    int calls = 0;
    int answered = 0;
    QThread* thread = nullptr;
};

} // namespace

class TestFilePropertiesDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString file_;
    QString link_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        file_ = dir_.path() + QStringLiteral("/props/data.txt");
        QVERIFY(testutil::writeFile(file_, QByteArray(1536, 'x')));
        QVERIFY(::chmod(QFile::encodeName(file_).constData(), 0640) == 0);
        link_ = dir_.path() + QStringLiteral("/props/link");
        QVERIFY(QFile::link(file_, link_));
    }

    void describesFilesLinksFoldersAndSeveralPaths()
    {
        QWidget parent;
        QWidget* shown = FilePropertiesDialog::open({file_}, &parent);
        auto* dialog = qobject_cast<FilePropertiesDialog*>(shown);
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(dialog->parentWidget(), &parent);
        QCOMPARE(value(dialog, "nameValue"), QStringLiteral("data.txt"));
        QCOMPARE(value(dialog, "folderValue"), dir_.path() + QStringLiteral("/props"));
        QTRY_COMPARE_WITH_TIMEOUT(value(dialog, "permissionsValue"), QStringLiteral("-rw-r-----"),
                                  60000);
        QVERIFY(value(dialog, "sizeValue").contains(QLocale().toString(1536)));
        QCOMPARE(value(dialog, "linkValue"), QStringLiteral("<none>"));
        QVERIFY(!value(dialog, "modifiedValue").isEmpty());
        QVERIFY(value(dialog, "modifiedValue") != kPending);
        QVERIFY(value(dialog, "ownerValue").contains(QLatin1Char(':')));
        delete dialog;

        FilePropertiesDialog linkDialog({link_});
        QTRY_COMPARE_WITH_TIMEOUT(value(&linkDialog, "linkValue"), file_,
                                  60000); // described, not followed
        QCOMPARE(value(&linkDialog, "permissionsValue"), QStringLiteral("lrwxrwxrwx"));
        QCOMPARE(value(&linkDialog, "typeValue"), QStringLiteral("Symbolic link"));
        // The target's row comes right below the size.
        auto* form = linkDialog.findChild<QFormLayout*>();
        QVERIFY(form);
        QCOMPARE(form->itemAt(4, QFormLayout::FieldRole)->widget()->objectName(),
                 QStringLiteral("linkValue"));

        FilePropertiesDialog folderDialog({dir_.path() + QStringLiteral("/props")});
        QTRY_VERIFY_WITH_TIMEOUT(
            value(&folderDialog, "permissionsValue").startsWith(QLatin1Char('d')), 60000);
        QCOMPARE(value(&folderDialog, "nameValue"), QStringLiteral("props"));

        FilePropertiesDialog missing({dir_.path() + QStringLiteral("/props/gone")});
        QTRY_COMPARE_WITH_TIMEOUT(value(&missing, "typeValue"),
                                  QStringLiteral("The file does not exist."), 60000);
        QCOMPARE(value(&missing, "sizeValue"), QStringLiteral("<none>"));
        QCOMPARE(value(&missing, "permissionsValue"), QStringLiteral("<none>"));

        FilePropertiesDialog several({file_, link_, dir_.path() + QStringLiteral("/elsewhere")});
        QCOMPARE(value(&several, "countValue"), QStringLiteral("3"));
        QCOMPARE(value(&several, "folderValue"), QStringLiteral("Various folders"));
        // Only the regular file counts: the link's own size is left out.
        QTRY_VERIFY_WITH_TIMEOUT(value(&several, "sizeValue") != kPending, 60000);
        QCOMPARE(value(&several, "sizeValue"), FilePropertiesDialog::sizeText(1536));
    }

    // The dialog is shown and answers the GUI thread while the reading is held; the reading
    // runs on a worker; the answer lands through the GUI thread's queue.
    void readsAwayFromTheGuiThreadAndShowsPendingValues()
    {
        HeldReader held;
        FilePropertiesDialog dialog({file_}, nullptr, held.reader());
        dialog.show();
        QVERIFY(held.waitCalled());
        QVERIFY(held.readerThread() != QThread::currentThread());
        QCoreApplication::processEvents();
        QCOMPARE(value(&dialog, "nameValue"), QStringLiteral("data.txt"));
        for (const char* name : {"typeValue", "sizeValue", "modifiedValue", "accessedValue",
                                 "ownerValue", "permissionsValue"})
            QCOMPARE(value(&dialog, name), kPending);

        FilePropertiesDialog several({file_, link_}, nullptr, held.reader());
        QCOMPARE(value(&several, "countValue"), QStringLiteral("2"));
        QCOMPARE(value(&several, "folderValue"), dir_.path() + QStringLiteral("/props"));
        QCOMPARE(value(&several, "sizeValue"), kPending);

        held.open();
        QVERIFY(held.waitAnswered());
        QCOMPARE(value(&dialog, "permissionsValue"), kPending); // not before the queue runs
        QTRY_COMPARE_WITH_TIMEOUT(value(&dialog, "permissionsValue"), QStringLiteral("-rw-r-----"),
                                  60000);
        QTRY_COMPARE_WITH_TIMEOUT(value(&several, "sizeValue"),
                                  FilePropertiesDialog::sizeText(1536), 60000);
    }

    // Closed before the answer: the answer is dropped; a dialog deleted on close goes while its
    // reader still runs, and the late answer reaches nothing.
    void closedBeforeTheAnswer()
    {
        HeldReader held;
        FilePropertiesDialog kept({file_}, nullptr, held.reader());
        kept.show();
        QVERIFY(held.waitCalled());
        kept.close();

        HeldReader heldToo;
        QPointer<FilePropertiesDialog> deleted =
            new FilePropertiesDialog({file_}, nullptr, heldToo.reader());
        deleted->setAttribute(Qt::WA_DeleteOnClose);
        deleted->show();
        QVERIFY(heldToo.waitCalled());
        deleted->close();
        QTRY_VERIFY(deleted.isNull());

        held.open();
        heldToo.open();
        QVERIFY(held.waitAnswered());
        QVERIFY(heldToo.waitAnswered());
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
        QCOMPARE(value(&kept, "permissionsValue"), kPending);
    }

    void sizeAndPermissionTexts()
    {
        // A size below one KiB is said once, not "374 bytes (374 bytes)".
        QCOMPARE(FilePropertiesDialog::sizeText(374), QStringLiteral("374 bytes"));
        QCOMPARE(FilePropertiesDialog::sizeText(0), QStringLiteral("0 bytes"));
        QCOMPARE(FilePropertiesDialog::sizeText(1536),
                 QLocale().formattedDataSize(1536) + QStringLiteral(" (") +
                     QLocale().toString(1536) + QStringLiteral(" bytes)"));

        QCOMPARE(FilePropertiesDialog::permissionText(S_IFDIR | 01777),
                 QStringLiteral("drwxrwxrwt"));
        QCOMPARE(FilePropertiesDialog::permissionText(S_IFREG | 04644),
                 QStringLiteral("-rwSr--r--"));
    }
};

QTEST_MAIN(TestFilePropertiesDialog)
#include "tst_filepropertiesdialog.moc"
