// Files with several names (hard links) in a volume index following a real file system: an
// ext4 image mounted in a private mount namespace (a file system whose index is kept in a file,
// which tmpfs's never is), the real walker and the real fanotify journal (root).
// After every change the index must hold exactly the paths that are on the disk.
#include "core/IndexingSettings.h"
#include "core/Logger.h"
#include "platform/FanotifyJournal.h"
#include "search/index/NTFSDriveDB.h"
#include "indexlog.h"
#include "indextest.h"
#include "loopvolume.h"
#include "testutil.h"
#include "threadsafespy.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {

QByteArray bytes(const QString& path) { return QFile::encodeName(path); }

bool link(const QString& from, const QString& to) { return ::link(bytes(from).constData(), bytes(to).constData()) == 0; }
bool unlinkFile(const QString& path) { return ::unlink(bytes(path).constData()) == 0; }

} // namespace

class TestHardLinks : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LoopVolume> volume;
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
    QStringList find(const QString& pattern) const
    {
        QStringList out;
        for (const QString& path : searchPaths(*db, pattern))
            out << path.mid(mp.size());
        out.sort();
        return out;
    }

    // Every path on the volume below the mount point, sorted.
    QStringList onDisk() const
    {
        QStringList out;
        QDirIterator it(mp, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            out << it.next().mid(mp.size());
        out.sort();
        return out;
    }

    // Waits until the index has applied everything the journal holds, then compares.
    void compareWithDisk()
    {
        QTRY_COMPARE_WITH_TIMEOUT(find(QString()), onDisk(), 5000);
    }

    quint64 inode(const QString& path) const
    {
        struct stat st;
        return ::lstat(bytes(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
    }

    int links(const QString& path) const
    {
        struct stat st;
        return ::lstat(bytes(path).constData(), &st) == 0 ? int(st.st_nlink) : 0;
    }

private slots:
    void initTestCase()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (fanotify, private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        volume.reset(new LoopVolume(QStringLiteral("ext4"), 64));
        if (!volume->isMounted())
            QSKIP(qPrintable(volume->why()));
        mp = volume->mountPoint();
        Logger::instance(dataDir.filePath(QStringLiteral("test.log")));
        // Three names in two folders, two names in one folder, two names in two folders.
        QVERIFY(makeDir(mp + "/docs"));
        QVERIFY(makeDir(mp + "/other"));
        QVERIFY(touchFile(mp + "/docs/a.txt"));
        QVERIFY(link(mp + "/docs/a.txt", mp + "/docs/b.txt"));
        QVERIFY(link(mp + "/docs/a.txt", mp + "/other/c.txt"));
        QVERIFY(touchFile(mp + "/docs/pair"));
        QVERIFY(link(mp + "/docs/pair", mp + "/docs/pair-too"));
        QVERIFY(touchFile(mp + "/other/apart"));
        QVERIFY(link(mp + "/other/apart", mp + "/docs/apart"));
        QVERIFY(touchFile(mp + "/docs/single"));

        db.reset(new NTFSDriveDB(mp, settings()));
        db->init(nullptr);
        QCOMPARE(db->count(), 8); // the root, lost+found, two folders, four files
        QCOMPARE(db->extraNameCount(), 4);
    }

    void cleanupTestCase()
    {
        db.reset();
        volume.reset();
    }

    void searchesReturnEveryName()
    {
        QCOMPARE(find(QStringLiteral(".txt")), QStringList({"/docs/a.txt", "/docs/b.txt", "/other/c.txt"}));
        QCOMPARE(find(QStringLiteral("pair")), QStringList({"/docs/pair", "/docs/pair-too"}));
        QCOMPARE(find(QStringLiteral("apart")), QStringList({"/docs/apart", "/other/apart"}));
        compareWithDisk();
    }

    // rm of one name leaves the others, whichever name it was; the last one takes the file.
    void removingOneNameLeavesTheOthers()
    {
        QVERIFY(unlinkFile(mp + "/docs/a.txt"));
        QTRY_COMPARE(find(QStringLiteral(".txt")), QStringList({"/docs/b.txt", "/other/c.txt"}));
        QVERIFY(unlinkFile(mp + "/other/c.txt"));
        QTRY_COMPARE(find(QStringLiteral(".txt")), QStringList({"/docs/b.txt"}));
        QCOMPARE(db->count(), 8);
        compareWithDisk();
        QVERIFY(unlinkFile(mp + "/docs/b.txt"));
        QTRY_VERIFY(find(QStringLiteral(".txt")).isEmpty());
        QTRY_COMPARE(db->count(), 7);
        compareWithDisk();
    }

    // A rename of one name moves only that name, within its folder and to another one.
    void aRenameMovesOneName()
    {
        QVERIFY(moveTo(mp + "/docs/pair", mp + "/docs/pair-renamed"));
        QTRY_COMPARE(find(QStringLiteral("pair")), QStringList({"/docs/pair-renamed", "/docs/pair-too"}));
        QVERIFY(moveTo(mp + "/docs/pair-too", mp + "/other/pair-moved"));
        QTRY_COMPARE(find(QStringLiteral("pair")), QStringList({"/docs/pair-renamed", "/other/pair-moved"}));
        compareWithDisk();
        // A name renamed over another of the same file's names: nothing changes on the disk.
        QVERIFY(link(mp + "/other/apart", mp + "/other/apart2"));
        QVERIFY(moveTo(mp + "/other/apart2", mp + "/other/apart"));
        compareWithDisk();
    }

    // Links made while the index runs, in the same folder and in another one.
    void newLinksWhileTheIndexRuns()
    {
        QVERIFY(touchFile(mp + "/docs/new"));
        QTRY_COMPARE(find(QStringLiteral("new")), QStringList({"/docs/new"}));
        QVERIFY(link(mp + "/docs/new", mp + "/other/new-link"));
        QVERIFY(link(mp + "/docs/new", mp + "/docs/new-again"));
        QTRY_COMPARE(find(QStringLiteral("new")), QStringList({"/docs/new", "/docs/new-again", "/other/new-link"}));
        QCOMPARE(db->fileNames(inode(mp + "/docs/new")).size(), 3);
        compareWithDisk();
    }

    // Another file renamed over one of the names takes it: the file keeps its others.
    void aRenameOverOneName()
    {
        QVERIFY(touchFile(mp + "/docs/held"));
        QVERIFY(link(mp + "/docs/held", mp + "/other/held-link"));
        QVERIFY(link(mp + "/docs/held", mp + "/docs/held-again"));
        QVERIFY(touchFile(mp + "/docs/intruder"));
        QTRY_COMPARE(find(QStringLiteral("held;intruder")).size(), 4);
        QVERIFY(moveTo(mp + "/docs/intruder", mp + "/other/held-link"));
        QTRY_COMPARE(db->fileNames(inode(mp + "/docs/held")).size(), 2);
        QCOMPARE(find(QStringLiteral("held;intruder")), QStringList({"/docs/held", "/docs/held-again", "/other/held-link"}));
        QCOMPARE(db->fileNames(inode(mp + "/other/held-link")).size(), 1);
        compareWithDisk();
    }

    // Changes faster than the index reads them, so that the kernel merges queued events.
    void quickLinkChanges()
    {
        std::shared_ptr<FanotifyJournal> journal = FanotifyJournal::acquire(mp);
        QVERIFY(journal->waitUntilDrained(5000));
        journal->pauseDrain(true);
        QVERIFY(touchFile(mp + "/q"));
        QVERIFY(link(mp + "/q", mp + "/q-link"));   // linked, removed, linked again: it stays
        QVERIFY(unlinkFile(mp + "/q-link"));
        QVERIFY(link(mp + "/q", mp + "/q-link"));
        QVERIFY(link(mp + "/q", mp + "/q-gone"));   // linked and removed: it goes
        QVERIFY(unlinkFile(mp + "/q-gone"));
        QVERIFY(link(mp + "/q", mp + "/q-moved"));  // linked and renamed
        QVERIFY(moveTo(mp + "/q-moved", mp + "/docs/q-moved"));
        QVERIFY(touchFile(mp + "/r"));              // a file whose names all go
        QVERIFY(link(mp + "/r", mp + "/r2"));
        QVERIFY(unlinkFile(mp + "/r"));
        QVERIFY(unlinkFile(mp + "/r2"));
        journal->pauseDrain(false);
        compareWithDisk();
        QCOMPARE(find(QStringLiteral("q")), QStringList({"/docs/q-moved", "/q", "/q-link"}));
    }

    // Lost events make the index rebuild itself from the walk, with every name.
    void aRebuildAfterAnOverflowKeepsEveryName()
    {
        testutil::ThreadSafeSpy rebuilt(db.get(), &NTFSDriveDB::rebuilt);
        std::shared_ptr<FanotifyJournal> journal = FanotifyJournal::acquire(mp);
        QVERIFY(journal->waitUntilDrained(5000));
        journal->pauseDrain(true);
        QVERIFY(makeDir(mp + "/flood"));
        const int events = fanotifyQueueLimit() + 10;
        QVERIFY(touchFile(mp + "/flood/f"));
        for (int i = 0; i < events; ++i)
            QVERIFY(link(mp + "/flood/f", mp + QStringLiteral("/flood/l%1").arg(i)));
        journal->pauseDrain(false);
        QTRY_COMPARE_WITH_TIMEOUT(rebuilt.count(), 1, 120000);
        QCOMPARE(rebuilt.at(0).at(0).toBool(), true);
        QCOMPARE(db->fileNames(inode(mp + "/flood/f")).size(), events + 1);
        QCOMPARE(db->fileNames(inode(mp + "/other/apart")).size(), links(mp + "/other/apart"));
        compareWithDisk();
        QVERIFY(QDir(mp + "/flood").removeRecursively());
        compareWithDisk();
    }

    // Saved and loaded in one run (the journal kept alive): every name comes back, and links
    // made while no index ran are replayed.
    void theIndexFileKeepsEveryName()
    {
        std::shared_ptr<FanotifyJournal> keep = FanotifyJournal::acquire(mp);
        QVERIFY(keep->waitUntilDrained(5000));
        QVERIFY(touchFile(mp + "/docs/kept"));
        QVERIFY(link(mp + "/docs/kept", mp + "/other/kept-too"));
        compareWithDisk();
        const int names = db->extraNameCount();
        QVERIFY(names >= 5);
        db->save();
        db.reset();
        QVERIFY(link(mp + "/docs/single", mp + "/other/single-while-away"));
        QVERIFY(unlinkFile(mp + "/other/kept-too"));
        db.reset(new NTFSDriveDB(mp, settings()));
        db->init(nullptr);
        QVERIFY(indexLogText().contains(QStringLiteral("Loading disk %1 done").arg(mp)));
        compareWithDisk();
        QCOMPARE(db->extraNameCount(), names);
        QCOMPARE(find(QStringLiteral("single")), QStringList({"/docs/single", "/other/single-while-away"}));
    }
};

QTEST_GUILESS_MAIN(TestHardLinks)
#include "tst_hardlinks.moc"
