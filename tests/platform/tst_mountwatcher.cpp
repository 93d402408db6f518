// Mount arrival and removal: from a prepared table by hand, and live from /proc/self/mountinfo
// in a private mount namespace (root).
#include "platform/MountWatcher.h"
#include "testutil.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

// The mount points a spy has seen, in order.
static QStringList seen(const QSignalSpy& spy)
{
    QStringList out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).toString();
    return out;
}

class MountWatcherTest : public QObject
{
    Q_OBJECT

private slots:
    void reportsDifferencesInOrder()
    {
        QTemporaryDir dir;
        const QString table = dir.filePath(QStringLiteral("mountinfo"));
        QVERIFY(testutil::writeFile(table,
            "22 1 0:21 / /proc rw - proc proc rw\n"
            "27 1 254:0 / / rw - ext4 /dev/vda rw\n"
            "40 27 0:50 / /mnt/a rw - tmpfs tmpfs rw\n"
            "41 27 0:51 / /mnt/b rw - ext4 /dev/sdb1 rw\n"));
        MountWatcher watcher(table);
        QCOMPARE(watcher.mountPoints(), QStringList({"/", "/mnt/a", "/mnt/b"}));
        QSignalSpy arrived(&watcher, &MountWatcher::mountArrived);
        QSignalSpy removed(&watcher, &MountWatcher::mountRemoved);

        // /mnt/a leaves; /mnt/b is unmounted and mounted again (new id); two arrive; a pseudo
        // file system arrives unnoticed.
        QVERIFY(testutil::writeFile(table,
            "22 1 0:21 / /proc rw - proc proc rw\n"
            "27 1 254:0 / / rw - ext4 /dev/vda rw\n"
            "44 27 0:53 / /mnt/d rw - xfs /dev/sdd1 rw\n"
            "45 27 0:54 / /mnt/b rw - ext4 /dev/sdb1 rw\n"
            "46 27 0:55 / /mnt/c rw - vfat /dev/sdc1 rw\n"
            "47 27 0:56 / /mnt/p rw - sysfs sysfs rw\n"));
        watcher.rescan();
        QCOMPARE(seen(removed), QStringList({"/mnt/a", "/mnt/b"}));
        QCOMPARE(seen(arrived), QStringList({"/mnt/d", "/mnt/b", "/mnt/c"}));

        watcher.rescan();  // nothing changed
        QCOMPARE(removed.size(), 2);
        QCOMPARE(arrived.size(), 3);

        // A table that cannot be read for a moment removes nothing; the next good read
        // reports only real differences.
        QVERIFY(QFile::remove(table));
        watcher.rescan();
        QVERIFY(testutil::writeFile(table, QByteArray()));
        watcher.rescan();
        QCOMPARE(removed.size(), 2);
        QCOMPARE(watcher.mountPoints(), QStringList({"/", "/mnt/d", "/mnt/b", "/mnt/c"}));
        QVERIFY(testutil::writeFile(table,
            "27 1 254:0 / / rw - ext4 /dev/vda rw\n"
            "44 27 0:53 / /mnt/d rw - xfs /dev/sdd1 rw\n"
            "45 27 0:54 / /mnt/b rw - ext4 /dev/sdb1 rw\n"));
        watcher.rescan();
        QCOMPARE(seen(removed), QStringList({"/mnt/a", "/mnt/b", "/mnt/c"}));
        QCOMPARE(arrived.size(), 3);
    }

    void followsTheLiveMountTable()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (mounting in a private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        QTemporaryDir dir;
        const QByteArray a = QFile::encodeName(dir.path()) + "/a";
        const QByteArray b = QFile::encodeName(dir.path()) + "/b";
        QVERIFY(::mkdir(a.constData(), 0755) == 0);
        QVERIFY(::mkdir(b.constData(), 0755) == 0);

        MountWatcher watcher;
        QVERIFY(watcher.start());
        QSignalSpy arrived(&watcher, &MountWatcher::mountArrived);
        QSignalSpy removed(&watcher, &MountWatcher::mountRemoved);
        QVERIFY(::mount("tmpfs", a.constData(), "tmpfs", 0, "size=1m") == 0);
        QVERIFY(::mount("tmpfs", b.constData(), "tmpfs", 0, "size=1m") == 0);
        QTRY_COMPARE(seen(arrived), QStringList({QFile::decodeName(a), QFile::decodeName(b)}));
        QCOMPARE(removed.size(), 0);

        QVERIFY(::umount2(a.constData(), 0) == 0);
        QTRY_COMPARE(seen(removed), QStringList({QFile::decodeName(a)}));
        QVERIFY(::umount2(b.constData(), 0) == 0);
        QTRY_COMPARE(seen(removed), QStringList({QFile::decodeName(a), QFile::decodeName(b)}));
        QCOMPARE(arrived.size(), 2);
    }
};

QTEST_GUILESS_MAIN(MountWatcherTest)
#include "tst_mountwatcher.moc"
