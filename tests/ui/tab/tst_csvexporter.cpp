// The CSV export's write: a failure (a full disk, a folder that cannot hold the file) is reported
// with its reason and leaves an existing file as it was, complete, with no temporary file left
// beside it; a successful export replaces it whole.
#include "core/FileNameCodec.h"
#include "ui/tab/CsvExporter.h"
#include "testutil.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

class TestCsvExporter : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString privateMounts; // why there is no private mount namespace; empty when there is
    std::shared_ptr<ResultRows> shared =
        std::make_shared<ResultRows>(std::make_shared<ResultStore>());
    ResultStore& results = *shared->store();

    // Exports `results` to `file`; the error reported (empty on success).
    QString exportTo(const QString& file)
    {
        CsvExporter exporter;
        QSignalSpy finished(&exporter, &CsvExporter::finished);
        shared->takeUp(); // the rows the table shows
        exporter.start(shared, file);
        if (!finished.wait(20000))
            return QStringLiteral("no report");
        if (finished.count() != 1 || finished.first().at(0).toString() != file)
            return QStringLiteral("wrong report");
        const QString error = finished.first().at(1).toString();
        return error.isEmpty() ? QString() : error;
    }

    static QStringList entriesOf(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    // Fills the file system holding `folder` to the last byte, then frees `room` bytes.
    static bool fill(const QString& folder, qint64 room)
    {
        const int fd = ::open(FileNameCodec::encode(folder + QStringLiteral("/filler")).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'f');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        const QByteArray one(1, 'f');
        while (::write(fd, one.constData(), 1) > 0) {
        }
        const bool full = errno == ENOSPC;
        const off_t size = ::lseek(fd, 0, SEEK_END);
        const bool freed = ::ftruncate(fd, size - room) == 0;
        ::close(fd);
        return full && freed;
    }

private slots:
    void initTestCase()
    {
        // Exports run on the job pool's threads, which keep the mount namespace they were made
        // in: the private one (for the small tmpfs) is entered before any of them exists.
        privateMounts = testutil::isRoot() ? testutil::enterPrivateMountNamespace() : QStringLiteral("needs root");
        QVERIFY(tmp.isValid());
        for (int i = 0; i < 50; ++i) {
            const QString name = QStringLiteral("file %1, with a longer name to fill the rows.txt").arg(i);
            QVERIFY(testutil::writeFile(tmp.filePath(QStringLiteral("tree/") + name), QByteArray(i * 100, 'x')));
            results.addFile(name, tmp.filePath(QStringLiteral("tree")), 0);
        }
    }

    void replacesTheFileWhole()
    {
        const QString file = tmp.filePath(QStringLiteral("out/results.csv"));
        QVERIFY(testutil::writeFile(file, "OLD CONTENTS\r\n"));
        QCOMPARE(exportTo(file), QString());
        const QByteArray bytes = testutil::readFile(file);
        QVERIFY(bytes.startsWith("Name,Path,File Size,Created,Accessed,Modified\r\n"));
        QCOMPARE(bytes.count("\r\n"), 51);
        QVERIFY(bytes.contains("\"file 49, with a longer name to fill the rows.txt\"," + QFile::encodeName(tmp.path())
                               + "/tree,4 KB,"));
        QCOMPARE(entriesOf(tmp.filePath(QStringLiteral("out"))), QStringList{QStringLiteral("results.csv")});

        // The replaced file keeps its permissions; a new one is made as the user makes files.
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0640) == 0);
        QCOMPARE(exportTo(file), QString());
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(file).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        const mode_t old = ::umask(027);
        const QString fresh = tmp.filePath(QStringLiteral("out/fresh.csv"));
        const QString error = exportTo(fresh);
        ::umask(old);
        QCOMPARE(error, QString());
        QVERIFY(::stat(QFile::encodeName(fresh).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
    }

    // A stop while the rows are written leaves the old file and no temporary file, and is
    // reported once, at once; a new export meanwhile stops the old one and then runs whole; an
    // exporter destroyed while it writes reports nothing and leaves the old file. Nothing
    // waits for the worker.
    void stoppedExportsLeaveTheOldFile()
    {
        auto many = std::make_shared<ResultRows>(std::make_shared<ResultStore>());
        for (int i = 0; i < 300000; ++i)
            many->store()->addFile(QStringLiteral("missing %1.txt").arg(i),
                                   tmp.filePath(QStringLiteral("none")), 0);
        many->takeUp();
        const QString folder = tmp.filePath(QStringLiteral("stops"));
        const QString file = folder + QStringLiteral("/results.csv");
        QVERIFY(testutil::writeFile(file, "OLD CONTENTS\r\n"));
        const QString stoppedText = QStringLiteral("stopped before it was complete");
        {
            CsvExporter exporter;
            QSignalSpy finished(&exporter, &CsvExporter::finished);
            exporter.start(many, file);
            QVERIFY(exporter.isRunning());
            exporter.cancel();
            QVERIFY(!exporter.isRunning());
            QCOMPARE(finished.count(), 1);
            QCOMPARE(finished.first().at(0).toString(), file);
            QVERIFY(finished.first().at(1).toString().contains(stoppedText));
            exporter.cancel(); // nothing runs: no second report
            QCOMPARE(finished.count(), 1);
            QTRY_COMPARE_WITH_TIMEOUT(entriesOf(folder), QStringList{QStringLiteral("results.csv")}, 60000);
            QCOMPARE(testutil::readFile(file), QByteArray("OLD CONTENTS\r\n"));
            QCoreApplication::sendPostedEvents();
            QCOMPARE(finished.count(), 1); // the stopped job's own end is never reported
        }
        {
            CsvExporter exporter;
            QSignalSpy finished(&exporter, &CsvExporter::finished);
            const QString other = folder + QStringLiteral("/other.csv");
            exporter.start(many, other);
            exporter.start(shared, file); // the 50 rows of the fixture
            QCOMPARE(finished.count(), 1);
            QCOMPARE(finished.first().at(0).toString(), other);
            QVERIFY(finished.first().at(1).toString().contains(stoppedText));
            QVERIFY(finished.wait(60000));
            QCOMPARE(finished.count(), 2);
            QCOMPARE(finished.at(1).at(0).toString(), file);
            QCOMPARE(finished.at(1).at(1).toString(), QString());
            QCOMPARE(testutil::readFile(file).count("\r\n"), 51);
            QTRY_COMPARE_WITH_TIMEOUT(entriesOf(folder), QStringList{QStringLiteral("results.csv")}, 60000);
        }
        {
            QVERIFY(testutil::writeFile(file, "OLD CONTENTS\r\n"));
            auto* exporter = new CsvExporter;
            QSignalSpy finished(exporter, &CsvExporter::finished);
            exporter->start(many, file);
            delete exporter;
            QCOMPARE(finished.count(), 0);
            QTRY_COMPARE_WITH_TIMEOUT(entriesOf(folder), QStringList{QStringLiteral("results.csv")}, 60000);
            QCOMPARE(testutil::readFile(file), QByteArray("OLD CONTENTS\r\n"));
        }
        many.reset(); // the results live on in a job still running, if any
    }

    void failureIsReportedAndKeepsTheOldFile()
    {
        // A folder that is a file cannot hold the export.
        const QString notFolder = tmp.filePath(QStringLiteral("plain"));
        QVERIFY(testutil::writeFile(notFolder, "x"));
        QVERIFY(!exportTo(notFolder + QStringLiteral("/results.csv")).isEmpty());
        QCOMPARE(testutil::readFile(notFolder), QByteArray("x"));
    }

    // A disk that fills up while the file is written, or before its last bytes reach it (the
    // whole export fits in the write buffer): reported, the old file untouched, nothing left.
    void fullDiskIsReportedAndKeepsTheOldFile()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (a small tmpfs)");
        if (!privateMounts.isEmpty())
            QSKIP(qPrintable(privateMounts));
        for (const qint64 room : {0, 4096}) {
            QTemporaryDir dir;
            QVERIFY(::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, "size=64k") == 0);
            const QString file = dir.filePath(QStringLiteral("results.csv"));
            QVERIFY(testutil::writeFile(file, "OLD CONTENTS\r\n"));
            QVERIFY(fill(dir.path(), room));
            const QString error = exportTo(file);
            // The reason is the disk's, not "Unknown error".
            QVERIFY2(error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))), qPrintable(error));
            QCOMPARE(testutil::readFile(file), QByteArray("OLD CONTENTS\r\n"));
            QCOMPARE(entriesOf(dir.path()), (QStringList{QStringLiteral("filler"), QStringLiteral("results.csv")}));
            QVERIFY(::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH) == 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestCsvExporter)
#include "tst_csvexporter.moc"
