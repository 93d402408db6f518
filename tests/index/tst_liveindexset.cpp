// The index set on real volumes: tmpfs mounts in a private mount namespace, found through the
// mount table and followed through fanotify; a volume mounted while the set runs is reported by
// the notifier and indexed, one unmounted leaves the set (needs root).
#include "core/IndexingSettings.h"
#include "core/Logger.h"
#include "search/index/NTFSDB.h"
#include "search/index/NTFSUtils.h"
#include "indexlog.h"
#include "indextest.h"
#include "testutil.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>

class TestLiveIndexSet : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir* holder = nullptr;
    QTemporaryDir dataDir;

    QString path(const char* name) const { return holder->path() + QLatin1Char('/') + QLatin1String(name); }

    bool mountTmpfs(const QString& at)
    {
        ::mkdir(QFile::encodeName(at).constData(), 0755);
        return ::mount("tmpfs", QFile::encodeName(at).constData(), "tmpfs", 0, "size=16m") == 0;
    }

    static QStringList indexed(const NTFSDB& db)
    {
        QMap<QString, int> counts;
        db.indexedCounts(counts);
        return counts.keys();
    }

private slots:
    void initTestCase()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (fanotify, private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        holder = new QTemporaryDir;
        Logger::instance(holder->filePath(QStringLiteral("test.log")));
    }

    void cleanupTestCase()
    {
        if (!holder)
            return;
        ::umount2(QFile::encodeName(path("a")).constData(), MNT_DETACH);
        ::umount2(QFile::encodeName(path("b")).constData(), MNT_DETACH);
        delete holder;
    }

    void volumesArriveAndLeave()
    {
        QVERIFY(mountTmpfs(path("a")));
        QVERIFY(touchFile(path("a") + "/in-a.txt"));

        // Every volume already present but "a" is excluded; new fixed volumes are added.
        IndexingSettings s;
        s.dbPath = dataDir.path();
        s.autoAddFixed = true;
        const quint32 serialA = getVolumeSerialNumber(path("a"));
        QVERIFY(serialA != 0);
        for (const QString& mp : getNtfsDrives()) {
            const quint32 v = getVolumeSerialNumber(mp);
            if (v != serialA)
                s.noIndexDrives.append(v);
        }

        NTFSDB db;
        bool stop = false;
        db.setSettings(&stop, s);
        QCOMPARE(indexed(db), QStringList({path("a")}));
        QCOMPARE(searchPaths(db, "in-"), QStringList({path("a") + "/in-a.txt"}));

        // Mounted while the set runs: reported from the mount table, indexed off this thread.
        QVERIFY(mountTmpfs(path("b")));
        QVERIFY(touchFile(path("b") + "/in-b.txt"));
        QTRY_COMPARE_WITH_TIMEOUT(indexed(db), QStringList({path("a"), path("b")}), 10000);
        QVERIFY(db.settings().indexDrives.contains(getVolumeSerialNumber(path("b"))));
        QVERIFY(indexLogText().contains(QStringLiteral("Drive connected: %1").arg(path("b"))));
        QTRY_COMPARE(searchPaths(db, "in-").size(), 2);
        QVERIFY(touchFile(path("b") + "/later-b.txt"));
        QTRY_COMPARE(searchPaths(db, "later-"), QStringList({path("b") + "/later-b.txt"}));

        // Unmounted: it leaves the set; the other volume stays searchable.
        QVERIFY(::umount2(QFile::encodeName(path("b")).constData(), MNT_DETACH) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(indexed(db), QStringList({path("a")}), 10000);
        QCOMPARE(searchPaths(db, "in-"), QStringList({path("a") + "/in-a.txt"}));
        QVERIFY(touchFile(path("a") + "/still-a.txt"));
        QTRY_COMPARE(searchPaths(db, "still-"), QStringList({path("a") + "/still-a.txt"}));
    }

    // A tmpfs mounted over a tmpfs at the same place has the same serial (it comes from the
    // mount point) but is another file system: the set indexes it anew, and again the one below
    // when the top one leaves; each time the index gives what the disk holds.
    void tmpfsMountedOverATmpfs()
    {
        const QString c = path("c");
        QVERIFY(mountTmpfs(c));
        struct Unmount
        {
            QString at;
            ~Unmount()
            {
                while (::umount2(QFile::encodeName(at).constData(), MNT_DETACH) == 0) {
                }
            }
        } unmount{c};
        QVERIFY(touchFile(c + "/under.txt"));
        IndexingSettings s;
        s.dbPath = dataDir.path();
        s.autoAddFixed = true;
        const quint32 serial = getVolumeSerialNumber(c);
        for (const QString& mp : getNtfsDrives()) {
            const quint32 v = getVolumeSerialNumber(mp);
            if (v != serial)
                s.noIndexDrives.append(v);
        }
        NTFSDB db;
        bool stop = false;
        db.setSettings(&stop, s);
        QCOMPARE(searchPaths(db, "under;over"), QStringList({c + "/under.txt"}));

        QVERIFY(mountTmpfs(c));
        QCOMPARE(getVolumeSerialNumber(c), serial);
        QVERIFY(touchFile(c + "/over.txt"));
        QTRY_COMPARE_WITH_TIMEOUT(searchPaths(db, "under;over"), QStringList({c + "/over.txt"}), 10000);

        QVERIFY(::umount2(QFile::encodeName(c).constData(), MNT_DETACH) == 0);
        QVERIFY(QFile::exists(c + "/under.txt"));
        QTRY_COMPARE_WITH_TIMEOUT(searchPaths(db, "under;over"), QStringList({c + "/under.txt"}), 10000);
    }
};

QTEST_GUILESS_MAIN(TestLiveIndexSet)
#include "tst_liveindexset.moc"
