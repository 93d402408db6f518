// An index saved by one run and loaded by the next, on real volumes (ext4 and btrfs on loop
// images; root only; a tmpfs's index is never kept): everything changed in between (files and folders added, removed,
// renamed, moved, replaced, linked, inode numbers reused, names that are not UTF-8) is found
// by the background walk that reconciles the loaded index, which then lists exactly what `find`
// lists, in the order a fresh build gives. Changes made while the walk runs are kept too.
#include "core/FileNameCodec.h"
#include "core/IndexingSettings.h"
#include "core/Logger.h"
#include "indexlog.h"
#include "indextest.h"
#include "loopvolume.h"
#include "search/index/NTFSDriveDB.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "storedresults.h"
#include "testutil.h"
#include "threadsafespy.h"

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>
#include <random>
#include <thread>

#include <unistd.h>

namespace {

// Every path the index lists (folders, then files, then further names, as it reports them).
QList<QByteArray> indexPaths(NTFSDriveDB& db)
{
    FileSearchRequest request;
    ResultStore results;
    db.search(&request, &results);
    QList<QByteArray> out;
    for (const QString& path : testutil::storedPaths(results))
        out << FileNameCodec::encode(path);
    return out;
}

QList<QByteArray> sorted(QList<QByteArray> list)
{
    std::sort(list.begin(), list.end());
    return list;
}

bool mkdirs(const QByteArray& path)
{
    return ::mkdir(path.constData(), 0755) == 0;
}

bool touch(const QByteArray& path)
{
    return touchFile(path);
}

bool move(const QByteArray& from, const QByteArray& to)
{
    return ::rename(from.constData(), to.constData()) == 0;
}

bool removeTree(const QByteArray& path)
{
    return QDir(QFile::decodeName(path)).removeRecursively();
}

// The tree of the first run: 40 folders of 30 files, a deep chain, linked files, a name that is
// not UTF-8.
void makeTree(const LoopVolume& v)
{
    for (int d = 0; d < 40; ++d) {
        const QByteArray dir = v.path("/d" + QByteArray::number(d));
        QVERIFY(mkdirs(dir));
        QVERIFY(mkdirs(dir + "/sub"));
        for (int f = 0; f < 30; ++f)
            QVERIFY(touch(dir + (f % 3 ? "/f" : "/sub/f") + QByteArray::number(f) + ".txt"));
    }
    QByteArray deep = v.path("/deep");
    for (int i = 0; i < 30; ++i) {
        QVERIFY(mkdirs(deep));
        QVERIFY(touch(deep + "/leaf"));
        deep += "/level" + QByteArray::number(i);
    }
    QVERIFY(mkdirs(v.path("/links")));
    QVERIFY(touch(v.path("/links/one")));
    QVERIFY(::link(v.path("/links/one").constData(), v.path("/links/two").constData()) == 0);
    QVERIFY(::link(v.path("/links/one").constData(), v.path("/d0/three").constData()) == 0);
    QVERIFY(touch(v.path("/latin1-\xe9t\xe9")));
}

// Every kind of change, made while no index runs.
void changeEverything(const LoopVolume& v)
{
    // Added: files in old folders, a new folder with content, a new deep branch.
    for (int f = 0; f < 20; ++f)
        QVERIFY(touch(v.path("/d1/added" + QByteArray::number(f))));
    QVERIFY(mkdirs(v.path("/new")));
    QVERIFY(mkdirs(v.path("/new/inner")));
    for (int f = 0; f < 10; ++f)
        QVERIFY(touch(v.path("/new/inner/n" + QByteArray::number(f))));
    // Removed: files, and whole trees (their inode numbers free for reuse below).
    for (int f = 1; f < 30; f += 3)
        QVERIFY(::unlink(v.path("/d2/f" + QByteArray::number(f) + ".txt").constData()) == 0);
    for (int d = 30; d < 36; ++d)
        QVERIFY(removeTree(v.path("/d" + QByteArray::number(d))));
    // Renamed in place: files and folders.
    QVERIFY(move(v.path("/d3/f1.txt"), v.path("/d3/renamed.txt")));
    QVERIFY(move(v.path("/d4"), v.path("/d4-renamed")));
    // Moved: a file to another folder, a folder into another, a folder into a new folder that
    // itself moved, a deep branch up to the root.
    QVERIFY(move(v.path("/d5/f2.txt"), v.path("/d6/from-d5.txt")));
    QVERIFY(move(v.path("/d7"), v.path("/d8/d7-inside")));
    QVERIFY(mkdirs(v.path("/holder")));
    QVERIFY(move(v.path("/d9"), v.path("/holder/d9")));
    QVERIFY(move(v.path("/holder"), v.path("/d10/holder")));
    QVERIFY(move(v.path("/deep/level0/level1/level2"), v.path("/lifted")));
    // Replaced: a file renamed over another, two folders' names swapped, a file turned into a
    // folder of the same name and a folder into a file.
    QVERIFY(move(v.path("/d11/f4.txt"), v.path("/d11/f5.txt")));
    QVERIFY(move(v.path("/d12"), v.path("/swap")));
    QVERIFY(move(v.path("/d13"), v.path("/d12")));
    QVERIFY(move(v.path("/swap"), v.path("/d13")));
    QVERIFY(::unlink(v.path("/d14/f7.txt").constData()) == 0);
    QVERIFY(mkdirs(v.path("/d14/f7.txt")));
    QVERIFY(removeTree(v.path("/d15/sub")));
    QVERIFY(touch(v.path("/d15/sub")));
    // Links: one more name, one name fewer.
    QVERIFY(::link(v.path("/links/one").constData(), v.path("/d16/four").constData()) == 0);
    QVERIFY(::unlink(v.path("/links/two").constData()) == 0);
    // Numbers reused: new objects where removed ones were (ext4 hands freed inodes out again).
    for (int f = 0; f < 300; ++f)
        QVERIFY(touch(v.path("/d17/reused" + QByteArray::number(f))));
    for (int f = 0; f < 20; ++f)
        QVERIFY(mkdirs(v.path("/d18/dir-reused" + QByteArray::number(f))));
    // Names that are not UTF-8.
    QVERIFY(move(v.path("/latin1-\xe9t\xe9"), v.path("/d19/moved-\xff\xfe")));
    QVERIFY(touch(v.path("/d19/\xc3\x28invalid")));
}

// A second round of changes, on the tree after the first.
void changeAgain(const LoopVolume& v)
{
    QVERIFY(removeTree(v.path("/new")));
    QVERIFY(move(v.path("/d21"), v.path("/d21-again")));
    QVERIFY(move(v.path("/d22/sub"), v.path("/d23/sub-from-d22")));
    QVERIFY(mkdirs(v.path("/round2")));
    for (int f = 0; f < 50; ++f)
        QVERIFY(touch(v.path("/round2/r" + QByteArray::number(f))));
    QVERIFY(::unlink(v.path("/d16/four").constData()) == 0);
}

} // namespace

class TestReconcile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir logDir;

private slots:
    void initTestCase()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (fanotify, loop mounts in a private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        Logger::instance(logDir.filePath(QStringLiteral("test.log")));
    }

    // A tmpfs keeps nothing across mounts: its index is never saved (a file left from before
    // is removed) and never loaded, always built by a walk.
    void tmpfsIndexIsNeverKept()
    {
        LoopVolume volume(QStringLiteral("tmpfs"), 64);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.why()));
        const QString mp = volume.mountPoint();
        QTemporaryDir data;
        IndexingSettings settings;
        settings.dbPath = data.path();
        makeTree(volume);
        const QString file = NTFSDriveDB::dbFilePath(data.path(), getVolumeSerialNumber(mp));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QVERIFY(testutil::writeFile(file, "an index of an earlier mount"));
        const int logBefore = indexLogText().size();
        {
            NTFSDriveDB first(mp, settings);
            first.init(nullptr);
            QCOMPARE(sorted(indexPaths(first)), volume.find());
            first.save();
        }
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(testutil::writeFile(file, "an index of an earlier mount"));
        NTFSDriveDB next(mp, settings);
        next.init(nullptr);
        QCOMPARE(sorted(indexPaths(next)), volume.find());
        const QString log = indexLogText().mid(logBefore);
        QVERIFY(!log.contains(QStringLiteral("Loading disk %1").arg(mp)));
        QVERIFY(log.contains(QStringLiteral("Index of %1 not saved: the volume keeps nothing across mounts").arg(mp)));
    }

    void loadedIndexMatchesTheVolume_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("ext4") << "ext4";
        QTest::newRow("btrfs") << "btrfs";
    }

    void loadedIndexMatchesTheVolume()
    {
        QFETCH(QString, type);
        LoopVolume volume(type);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.why()));
        const QString mp = volume.mountPoint();
        QTemporaryDir data;
        IndexingSettings settings;
        settings.dbPath = data.path();
        IndexingSettings noFile;

        makeTree(volume);
        {
            NTFSDriveDB first(mp, settings);
            first.init(nullptr);
            QCOMPARE(sorted(indexPaths(first)), volume.find());
            first.save();
        }
        changeEverything(volume);

        // The next run: the file is loaded and searched at once, the walk reconciles it.
        const int logBefore = indexLogText().size();
        std::unique_ptr<NTFSDriveDB> next(new NTFSDriveDB(mp, settings));
        testutil::ThreadSafeSpy finished(next.get(), &NTFSDriveDB::updateFinished);
        next->init(nullptr);
        QVERIFY(indexLogText().mid(logBefore).contains(QStringLiteral("Loading disk %1 done").arg(mp)));
        QVERIFY(next->count() > 1000);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        const QList<QByteArray> expected = volume.find();
        QCOMPARE(sorted(indexPaths(*next)), expected);
        // What a fresh build gives: the same objects and names (which name of a linked file is
        // its record depends on the walk's threads, so the lists are compared as sets).
        {
            NTFSDriveDB fresh(mp, noFile);
            fresh.init(nullptr);
            QCOMPARE(sorted(indexPaths(*next)), sorted(indexPaths(fresh)));
            QCOMPARE(next->count(), fresh.count());
            QCOMPARE(next->extraNameCount(), fresh.extraNameCount());
        }

        // Again, with changes going on while the walk runs: the journal, started before the
        // walk, brings them in. (No index of the volume is left: the journal ends with the last,
        // so the next one is another run's.)
        next->save();
        next.reset();
        changeAgain(volume);
        std::atomic<bool> stop{false};
        std::atomic<int> made{0};
        QVERIFY(mkdirs(volume.path("/busy")));
        std::thread writer;
        struct Join
        {
            std::atomic<bool>& stop;
            std::thread& thread;
            ~Join()
            {
                stop = true;
                if (thread.joinable())
                    thread.join();
            }
        } join{stop, writer};
        writer = std::thread([&] {
            for (int i = 0; !stop; ++i) {
                const QByteArray file = volume.path("/busy/w" + QByteArray::number(i % 500));
                if (i % 2)
                    ::unlink(file.constData());
                else
                    touch(file);
                if (i % 50 == 0) {
                    move(volume.path("/d20"), volume.path("/d20-away"));
                    move(volume.path("/d20-away"), volume.path(i % 100 ? "/d20" : "/d24/d20"));
                    move(volume.path("/d24/d20"), volume.path("/d20"));
                }
                made = i;
            }
        });
        NTFSDriveDB third(mp, settings);
        testutil::ThreadSafeSpy thirdFinished(&third, &NTFSDriveDB::updateFinished);
        third.init(nullptr);
        QVERIFY(indexLogText().contains(QStringLiteral("Loading disk %1 done").arg(mp)));
        QTRY_COMPARE_WITH_TIMEOUT(thirdFinished.count(), 1, 30000);
        QTest::qWait(50); // a fixed time of changes after the reconcile
        stop = true;
        writer.join();
        QVERIFY(made > 0);
        QTRY_COMPARE_WITH_TIMEOUT(sorted(indexPaths(third)), volume.find(), 10000);
    }
};

QTEST_GUILESS_MAIN(TestReconcile)
#include "tst_reconcile.moc"
