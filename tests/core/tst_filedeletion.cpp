// Counting and deleting trees: counts of files, folders and bytes (links counted as files and
// never followed, unreadable folders making the count incomplete), a deletion that removes
// everything and reports its progress, one stopped part-way that keeps what it did not reach,
// failures with their reasons, and "/" and links to folders outside that are never followed.
#include "core/FileDeletion.h"
#include "core/Logger.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestFileDeletion : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;

    // tree/ a.txt (5 bytes), sub/ b.bin (1000 bytes), sub/deep/ c (0 bytes), link -> outside
    QString makeTree(const QString& name)
    {
        const QString root = tmp.filePath(name);
        testutil::writeFile(root + "/a.txt", "hello");
        testutil::writeFile(root + "/sub/b.bin", QByteArray(1000, 'x'));
        testutil::writeFile(root + "/sub/deep/c", "");
        testutil::writeFile(tmp.filePath("outside/keep.txt"), "keep");
        QFile::link(tmp.filePath("outside"), root + "/sub/link");
        return root;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath("log.txt"));
    }

    void countsWithoutFollowingLinks()
    {
        const QString root = makeTree("count");
        std::atomic<bool> stop{false};
        const FileDeletion::Totals totals = FileDeletion::count({root}, stop);
        QCOMPARE(totals.files, qint64(4)); // a.txt, b.bin, c and the link itself
        QCOMPARE(totals.folders, qint64(3)); // count, sub, deep
        QCOMPARE(totals.bytes, qint64(1005));
        QVERIFY(totals.complete);
        QVERIFY(totals.anyFolder);
        const FileDeletion::Totals files = FileDeletion::count({root + "/a.txt", root + "/sub/link"}, stop);
        QCOMPARE(files.files, qint64(2));
        QCOMPARE(files.folders, qint64(0));
        QVERIFY(!files.anyFolder);
        stop = true;
        QVERIFY(!FileDeletion::count({root}, stop).complete);
    }

    void deletesEverythingWithProgress()
    {
        const QString root = makeTree("all");
        std::atomic<bool> stop{false};
        QList<qint64> seen;
        const FileDeletion::Outcome outcome =
            FileDeletion::remove({root}, stop, [&](qint64 removed) { seen << removed; });
        QVERIFY(!QFileInfo::exists(root));
        QCOMPARE(outcome.gone, QStringList{root});
        QVERIFY(outcome.kept.isEmpty());
        QVERIFY(outcome.failures.isEmpty());
        QCOMPARE(outcome.deleted.files, qint64(4));
        QCOMPARE(outcome.deleted.folders, qint64(3));
        QVERIFY(!seen.isEmpty());
        QCOMPARE(seen.last(), qint64(7));
        // The link's target is untouched.
        QCOMPARE(testutil::readFile(tmp.filePath("outside/keep.txt")), QByteArray("keep"));
        // A path that is already gone counts as gone.
        QCOMPARE(FileDeletion::remove({root}, stop).gone, QStringList{root});
    }

    void stoppedPartWayKeepsTheRest()
    {
        const QString root = tmp.filePath("many");
        for (int i = 0; i < 200; ++i)
            QVERIFY(testutil::writeFile(QStringLiteral("%1/f%2").arg(root).arg(i), "x"));
        std::atomic<bool> stop{false};
        int calls = 0;
        // The first report comes after 64 entries; stop there.
        const FileDeletion::Outcome outcome = FileDeletion::remove({root}, stop, [&](qint64) {
            if (++calls == 1)
                stop = true;
        });
        QVERIFY(outcome.stopped);
        QCOMPARE(outcome.kept, QStringList{root});
        const qint64 left = QDir(root).entryList(QDir::Files).size();
        QCOMPARE(outcome.deleted.files, qint64(64));
        QCOMPARE(left, qint64(136));
        QVERIFY(outcome.failures.isEmpty());
    }

    void failuresAreReportedWithReasons()
    {
        const QString root = tmp.filePath("stubborn");
        QVERIFY(testutil::writeFile(root + "/free.txt", "x"));
        std::atomic<bool> stop{false};
        QStringList paths{root, QStringLiteral("/proc/self/status"), QStringLiteral("/")};
        if (!testutil::isRoot()) {
            QVERIFY(testutil::writeFile(root + "/locked/inside.txt", "x"));
            QVERIFY(::chmod(QFile::encodeName(root + "/locked").constData(), 0555) == 0);
        }
        const FileDeletion::Outcome outcome = FileDeletion::remove(paths, stop);
        QStringList failed;
        for (const FileDeletion::Failure& failure : outcome.failures) {
            failed << failure.path;
            QVERIFY(!failure.reason.isEmpty());
        }
        QVERIFY2(failed.contains(QStringLiteral("/proc/self/status")), qPrintable(failed.join(", ")));
        QVERIFY(failed.contains(QStringLiteral("/")));
        QVERIFY(outcome.kept.contains(QStringLiteral("/proc/self/status")));
        QVERIFY(!QFileInfo::exists(root + "/free.txt"));
        if (!testutil::isRoot()) {
            QVERIFY(failed.contains(root + "/locked/inside.txt"));
            QVERIFY(outcome.kept.contains(root));
            ::chmod(QFile::encodeName(root + "/locked").constData(), 0755);
        } else {
            QCOMPARE(outcome.gone, QStringList{root});
        }
    }
};

QTEST_GUILESS_MAIN(TestFileDeletion)
#include "tst_filedeletion.moc"
