// A volume index following a real file system: a tmpfs mounted in a private mount namespace,
// enumerated by the real walker and followed through the real fanotify journal (needs root).
#include "core/IndexingSettings.h"
#include "core/Logger.h"
#include "indexlog.h"
#include "indextest.h"
#include "loopvolume.h"
#include "platform/FanotifyJournal.h"
#include "search/index/NTFSDriveDB.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "storedresults.h"
#include "testutil.h"
#include "threadsafespy.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>

#include <atomic>
#include <memory>
#include <thread>

class TestLiveIndex : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir* holder = nullptr;
    QString mp;
    QTemporaryDir dataDir;
    std::unique_ptr<NTFSDriveDB> db;

    IndexingSettings settings() const
    {
        IndexingSettings s;
        s.dbPath = dataDir.path();
        return s;
    }

    // Paths of the hits below the mount point, sorted.
    QStringList find(const QString& pattern, NTFSDriveDB* index = nullptr) const
    {
        QStringList out;
        for (const QString& path : searchPaths(index ? *index : *db, pattern))
            out << path.mid(mp.size());
        out.sort();
        return out;
    }

private slots:
    void initTestCase()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (fanotify, private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        holder = new QTemporaryDir;
        Logger::instance(holder->filePath(QStringLiteral("test.log")));
        mp = holder->path() + QStringLiteral("/vol");
        QVERIFY(makeDir(mp));
        QVERIFY(::mount("tmpfs", QFile::encodeName(mp).constData(), "tmpfs", 0, "size=64m") == 0);
        QVERIFY(makeDir(mp + "/docs"));
        QVERIFY(makeDir(mp + "/docs/old"));
        QVERIFY(touchFile(mp + "/docs/old/report.txt"));
        QVERIFY(touchFile(mp + "/docs/readme.md"));

        db.reset(new NTFSDriveDB(mp, settings()));
        QVERIFY(db->serial() != 0);
        db->init(nullptr);
        QCOMPARE(db->count(), 5);
        QCOMPARE(find(QString()), QStringList({"/docs", "/docs/old", "/docs/old/report.txt", "/docs/readme.md"}));
    }

    void cleanupTestCase()
    {
        if (!holder)
            return;
        db.reset();
        ::umount2(QFile::encodeName(mp).constData(), MNT_DETACH);
        delete holder;
    }

    void createRenameDeleteMove()
    {
        QVERIFY(touchFile(mp + "/docs/new.txt"));
        QTRY_COMPARE(find("new"), QStringList({"/docs/new.txt"}));
        QVERIFY(moveTo(mp + "/docs/new.txt", mp + "/docs/renamed.txt"));
        QTRY_COMPARE(find("new;renamed"), QStringList({"/docs/renamed.txt"}));
        QVERIFY(QFile::remove(mp + "/docs/renamed.txt"));
        QTRY_VERIFY(find("renamed").isEmpty());
        // A moved folder takes its descendants along.
        QVERIFY(makeDir(mp + "/archive"));
        QVERIFY(moveTo(mp + "/docs/old", mp + "/archive/2015"));
        QTRY_COMPARE(find("report;2015"), QStringList({"/archive/2015", "/archive/2015/report.txt"}));
    }

    // Counts below are relative to the index at the start of each function, so that each one
    // also passes when run alone.
    void renameOverAnExistingFileAndRemoveATree()
    {
        const int before = db->count();
        QVERIFY(touchFile(mp + "/a.txt"));
        QVERIFY(touchFile(mp + "/b.txt"));
        QTRY_COMPARE(find("a.txt;b.txt").size(), 2);
        QVERIFY(moveTo(mp + "/a.txt", mp + "/b.txt"));
        QTRY_COMPARE(find("a.txt;b.txt"), QStringList({"/b.txt"}));
        QTRY_COMPARE(db->count(), before + 1);
        QVERIFY(makeDir(mp + "/tree"));
        QVERIFY(makeDir(mp + "/tree/sub"));
        for (int i = 0; i < 20; ++i)
            QVERIFY(touchFile(mp + QStringLiteral("/tree/sub/leaf%1").arg(i)));
        QTRY_COMPARE(find("leaf").size(), 20);
        QVERIFY(QDir(mp + "/tree").removeRecursively());
        QTRY_VERIFY(find("tree;sub;leaf").isEmpty());
        QTRY_COMPARE(db->count(), before + 1);
    }

    // A file deleted while another process holds it open leaves the results at once (the kernel
    // reports the file's own deletion only when the last holder lets go); so does a folder
    // removed while a process has it as its working folder.
    void deletedWhileOpenLeavesAtOnce()
    {
        QVERIFY(touchFile(mp + "/held-open.txt"));
        QVERIFY(makeDir(mp + "/held-folder"));
        QTRY_COMPARE(find("held-"), QStringList({"/held-folder", "/held-open.txt"}));
        const int file = ::open(QFile::encodeName(mp + "/held-open.txt").constData(), O_RDONLY | O_CLOEXEC);
        const int folder = ::open(QFile::encodeName(mp + "/held-folder").constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(file >= 0 && folder >= 0);
        QVERIFY(::unlink(QFile::encodeName(mp + "/held-open.txt").constData()) == 0);
        QVERIFY(::rmdir(QFile::encodeName(mp + "/held-folder").constData()) == 0);
        QTRY_VERIFY(find("held-").isEmpty());
        ::close(file);
        ::close(folder);
        // A file with two names, one removed while open, keeps the other.
        QVERIFY(touchFile(mp + "/two-names-a"));
        QVERIFY(::link(QFile::encodeName(mp + "/two-names-a").constData(), QFile::encodeName(mp + "/two-names-b").constData()) == 0);
        QTRY_COMPARE(find("two-names"), QStringList({"/two-names-a", "/two-names-b"}));
        const int linked = ::open(QFile::encodeName(mp + "/two-names-a").constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(::unlink(QFile::encodeName(mp + "/two-names-a").constData()) == 0);
        QTRY_COMPARE(find("two-names"), QStringList({"/two-names-b"}));
        ::close(linked);
        QVERIFY(::unlink(QFile::encodeName(mp + "/two-names-b").constData()) == 0);
        QTRY_VERIFY(find("two-names").isEmpty());
    }

    // Create, rename away, rename back and unlink before the reader looks: nothing remains.
    void mergedEventsLeaveNothing()
    {
        std::shared_ptr<FanotifyJournal> journal = FanotifyJournal::acquire(mp);
        QVERIFY(journal->waitUntilDrained(5000));
        const int before = db->count();
        journal->pauseDrain(true);
        QVERIFY(touchFile(mp + "/ghost"));
        QVERIFY(moveTo(mp + "/ghost", mp + "/ghost2"));
        QVERIFY(moveTo(mp + "/ghost2", mp + "/ghost"));
        QVERIFY(QFile::remove(mp + "/ghost"));
        QVERIFY(touchFile(mp + "/marker"));
        journal->pauseDrain(false);
        QTRY_COMPARE(find("marker"), QStringList({"/marker"}));
        QVERIFY(find("ghost").isEmpty());
        QCOMPARE(db->count(), before + 1);
    }

    // Lost events: the journal fails, the index logs it and rebuilds itself from the volume.
    void overflowRebuildsTheIndex()
    {
        testutil::ThreadSafeSpy rebuilt(db.get(), &NTFSDriveDB::rebuilt);
        std::shared_ptr<FanotifyJournal> journal = FanotifyJournal::acquire(mp);
        QVERIFY(journal->waitUntilDrained(5000));
        const int before = db->count();
        journal->pauseDrain(true);
        const int queueLimit = fanotifyQueueLimit();
        QVERIFY(makeDir(mp + "/flood"));
        for (int i = 0; i < queueLimit + 10; ++i)
            QVERIFY(touchFile(mp + QStringLiteral("/flood/f%1").arg(i)));
        journal->pauseDrain(false);
        QTRY_COMPARE_WITH_TIMEOUT(rebuilt.count(), 1, 20000);
        QCOMPARE(rebuilt.at(0).at(0).toBool(), true);
        QVERIFY(indexLogText().contains(QStringLiteral("Change journal of %1 failed").arg(mp)));
        QVERIFY(indexLogText().contains(QStringLiteral("rebuilding the index")));
        QCOMPARE(db->count(), before + 1 + queueLimit + 10);
        // The rebuilt index follows the volume again.
        QVERIFY(touchFile(mp + "/after-rebuild"));
        QTRY_COMPARE(find("after-rebuild"), QStringList({"/after-rebuild"}));
        QVERIFY(QDir(mp + "/flood").removeRecursively());
        QTRY_COMPARE(db->count(), before + 1);
    }

    // Saved and loaded in one run (the journal kept alive): the load is accepted and the changes
    // made while no index ran are replayed from the saved position. On an ext4 image: the index
    // of a tmpfs is never kept in a file.
    void saveAndResume()
    {
        LoopVolume volume(QStringLiteral("ext4"), 64);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.why()));
        const QString at = volume.mountPoint();
        auto found = [&at](NTFSDriveDB& index, const QString& pattern) {
            QStringList out;
            for (const QString& path : searchPaths(index, pattern))
                out << path.mid(at.size());
            out.sort();
            return out;
        };
        std::unique_ptr<NTFSDriveDB> index(new NTFSDriveDB(at, settings()));
        index->init(nullptr);
        std::shared_ptr<FanotifyJournal> keep = FanotifyJournal::acquire(at);
        QVERIFY(touchFile(at + "/saved"));
        QTRY_COMPARE(found(*index, "saved"), QStringList({"/saved"}));
        QVERIFY(keep->waitUntilDrained(5000));
        index->save();
        index.reset();
        QVERIFY(touchFile(at + "/while-away"));
        QVERIFY(QFile::remove(at + "/saved"));
        const int logBefore = indexLogText().size();
        index.reset(new NTFSDriveDB(at, settings()));
        index->init(nullptr);
        QVERIFY(indexLogText().mid(logBefore).contains(QStringLiteral("Loading disk %1 done").arg(at)));
        QTRY_COMPARE(found(*index, "while-away;saved"), QStringList({"/while-away"}));
    }

    // Files created and deleted while the volume is being enumerated: the journal position is
    // taken before the walk, so whatever the walk missed is replayed afterwards.
    void changesDuringTheWalkAreReplayed()
    {
        for (int d = 0; d < 100; ++d) {
            QVERIFY(makeDir(mp + QStringLiteral("/walk%1").arg(d)));
            for (int f = 0; f < 40; ++f)
                QVERIFY(touchFile(mp + QStringLiteral("/walk%1/w%2").arg(d).arg(f)));
        }
        std::atomic<bool> stop{false};
        std::atomic<int> made{0};
        std::thread writer([&] {
            for (int i = 0; !stop; ++i) {
                const QString path = mp + QStringLiteral("/walk%1/during%2").arg(i % 100).arg(i);
                touchFile(path);
                if (i % 3 == 0) // deleted again: must not remain
                    ::unlink(QFile::encodeName(path).constData());
                made = i + 1;
            }
        });
        IndexingSettings noFile; // no index file: always a walk
        std::unique_ptr<NTFSDriveDB> fresh;
        for (int round = 0; round < 5 || made < 10; ++round) {
            fresh.reset(new NTFSDriveDB(mp, noFile));
            fresh->init(nullptr);
            if (round < 4)
                fresh.reset();
        }
        stop = true;
        writer.join();
        QStringList onDisk;
        for (int d = 0; d < 100; ++d) {
            const QString folder = QStringLiteral("/walk%1").arg(d);
            for (const QString& name : QDir(mp + folder).entryList({"during*"}, QDir::Files))
                onDisk << folder + "/" + name;
        }
        onDisk.sort();
        QVERIFY(made > 0);
        QTRY_COMPARE(find(QStringLiteral("during"), fresh.get()), onDisk);
        fresh.reset();
        for (int d = 0; d < 100; ++d)
            QVERIFY(QDir(mp + QStringLiteral("/walk%1").arg(d)).removeRecursively());
    }
};

QTEST_GUILESS_MAIN(TestLiveIndex)
#include "tst_liveindex.moc"
