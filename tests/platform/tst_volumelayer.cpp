// Mount table parsing, volume classification (indexable, network, alias, fixed), serials,
// volumeOf and file ids; the real layer on a tmpfs in a private mount namespace (root).
#include "core/FileSearchException.h"
#include "platform/FanotifyJournal.h"
#include "platform/FileHandleDecoder.h"
#include "platform/LinuxVolumeLayer.h"
#include "platform/MountTable.h"
#include "testutil.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kTable =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
    "30 27 254:0 /srv/data /mnt/bind\\040here rw - ext4 /dev/vda rw\n"
    "31 27 0:40 / /mnt/share rw - nfs4 server:/export rw\n"
    "32 27 0:41 / /media/My\\134Stick rw - vfat /dev/sdb1 rw\n"
    "33 27 0:42 / /run/user/0 rw - tmpfs tmpfs rw\n"
    "34 27 0:43 / /mnt/ssh rw - fuse.sshfs me@host: rw\n"
    "35 27 0:44 / /mnt/app rw - fuse.appimage app rw\n"
    "36 27 0:45 /@home /home rw - btrfs /dev/sdc2 rw\n"
    "37 27 0:45 /@home/snap /snap rw - btrfs /dev/sdc2 rw\n"
    "bad line\n"
    "38 27 0:46 / /mnt/x rw shared:1 master:2 - xfs /dev/sdd1 rw\n";

} // namespace

class VolumeLayerTest : public QObject
{
    Q_OBJECT

private slots:
    void parsesMountInfo()
    {
        const QVector<MountEntry> m = MountTable::parse(kTable);
        QCOMPARE(m.size(), 11);
        QCOMPARE(m[2].mountPoint, QByteArray("/mnt/bind here"));
        QCOMPARE(m[2].root, QByteArray("/srv/data"));
        QCOMPARE(m[2].devMajor, 254u);
        QCOMPARE(m[4].mountPoint, QByteArray("/media/My\\Stick"));
        QCOMPARE(m[3].fsType, QByteArray("nfs4"));
        QCOMPARE(m[3].source, QByteArray("server:/export"));
        // Optional fields before the separator do not shift the rest.
        QCOMPARE(m[10].fsType, QByteArray("xfs"));
        QCOMPARE(m[10].source, QByteArray("/dev/sdd1"));
        QCOMPARE(MountTable::decodeField("a\\011b\\0"), QByteArray("a\tb\\0"));
        QCOMPARE(MountTable::decodeField("\\777x"), QByteArray("\\777x"));  // not a byte value
    }

    void classifiesFileSystems()
    {
        for (const char* t : {"ext4", "tmpfs", "ntfs3"})
            QVERIFY2(LinuxVolumeLayer::isIndexableFsType(t), t);
        for (const char* t : {"vfat", "exfat"})
            QVERIFY2(!LinuxVolumeLayer::isIndexableFsType(t), t);
        for (const char* t : {"nfs4", "cifs", "fuse.sshfs"})
            QVERIFY2(LinuxVolumeLayer::isNetworkFsType(t) && !LinuxVolumeLayer::isPseudoFsType(t), t);
        QVERIFY(!LinuxVolumeLayer::isNetworkFsType("ext4"));
        // fuse.* is pseudo unless it names a network file system.
        for (const char* t : {"proc", "overlay", "fuse.appimage"})
            QVERIFY2(LinuxVolumeLayer::isPseudoFsType(t), t);
        QVERIFY(!LinuxVolumeLayer::isPseudoFsType("vfat"));
    }

    void aliasKeepsTheShortestRoot()
    {
        const QVector<MountEntry> m = MountTable::parse(kTable);
        const QVector<bool> alias = LinuxVolumeLayer::aliasFlags(m);
        QCOMPARE(alias[1], false);  // "/" (root "/") keeps the device
        QCOMPARE(alias[2], true);   // a bind mount of a folder of the same device
        QCOMPARE(alias[8], false);  // /home, root /@home
        QCOMPARE(alias[9], true);   // /snap, root /@home/snap: longer
        QCOMPARE(alias[0], false);  // pseudo file systems are never aliases
    }

    // The usual btrfs layout ("/" = @, "/home" = @home, the top level mounted elsewhere), disks
    // through a FUSE block driver, an overlay as "/", and bind mounts: what is a volume and what
    // an alias.
    void layoutsOfAMountTable()
    {
        const QByteArray table =
            "20 1 0:31 / / rw - overlay overlay rw,lowerdir=/a,upperdir=/b\n"
            "21 20 0:40 /@ /sys/root rw - btrfs /dev/sda2 rw,subvolid=256,subvol=/@\n"
            "22 20 0:40 /@home /home rw - btrfs /dev/sda2 rw,subvolid=257,subvol=/@home\n"
            "23 20 0:40 / /mnt/top rw - btrfs /dev/sda2 rw,subvolid=5,subvol=/\n"
            "24 20 0:40 /@/srv /srv rw - btrfs /dev/sda2 rw,subvolid=256,subvol=/@\n"
            "25 20 0:40 /@home/me/nested /nested rw - btrfs /dev/sda2 rw,subvolid=300,subvol=/@home/me/nested\n"
            "26 20 0:50 / /media/win rw - fuseblk /dev/sdb1 rw,user_id=0\n"
            "27 20 0:51 / /media/stick rw - exfat /dev/sdc1 rw\n"
            "28 20 0:52 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
            "29 20 8:17 / /data rw - ext4 /dev/sdb1 rw\n"
            "30 20 8:17 /projects /work rw - ext4 /dev/sdb1 rw\n"
            "31 20 0:53 / /data rw - tmpfs tmpfs rw\n";
        const QVector<MountEntry> m = MountTable::parse(table);
        QCOMPARE(m.size(), 12);
        QCOMPARE(m[1].subvolumeId(), quint64(256));
        QCOMPARE(m[3].subvolumeId(), quint64(5));
        QCOMPARE(m[6].subvolumeId(), quint64(0));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mountinfo"));
        QVERIFY(testutil::writeFile(path, table));
        LinuxVolumeLayer layer(path);
        QStringList flags;
        for (const VolumeDescription& d : layer.volumes())
            flags << d.mountPoint + ' ' + (d.indexable ? "i" : "") + (d.alias ? "a" : "");
        // Each subvolume is a volume of its own, the top level too; /srv shows a folder of @,
        // which /sys/root shows whole. /work shows a folder of the disk whose own mount at
        // /data is covered by a tmpfs: it is the only place that disk is seen, so it is the
        // volume. The overlay "/" and the FUSE disk are volumes (walked); a container's overlay
        // is not.
        QCOMPARE(flags, QStringList({"/ ", "/data i", "/home i", "/media/stick ", "/media/win ", "/mnt/top i",
                                     "/nested i", "/srv ia", "/sys/root i", "/work i"}));
        QVERIFY(LinuxVolumeLayer::isVolumeMount(m[0]));
        QVERIFY(!LinuxVolumeLayer::isVolumeMount(m[8]));
        QVERIFY(!LinuxVolumeLayer::isPseudoFsType("fuseblk"));
    }

    // A volume on a device-mapper device (LVM, an encrypted volume) is removable when a device
    // it is made of is: on USB, or flagged removable.
    void removableThroughDeviceMapper()
    {
        QTemporaryDir sys;
        const QString root = sys.path();
        auto make = [&](const QString& folder, const QByteArray& removable) {
            QVERIFY(QDir().mkpath(root + folder));
            if (!removable.isEmpty())
                QVERIFY(testutil::writeFile(root + folder + "/removable", removable + "\n"));
        };
        make("/devices/pci0000:00/usb1/1-1/host6/target6:0:0/6:0:0:0/block/sdb", "0");
        make("/devices/pci0000:00/usb1/1-1/host6/target6:0:0/6:0:0:0/block/sdb/sdb1", QByteArray());
        make("/devices/pci0000:00/ata1/host0/block/sda", "0");
        make("/devices/pci0000:00/ata1/host0/block/sda/sda2", QByteArray());
        make("/devices/pci0000:00/mmc0/block/mmcblk0", "1");
        for (const char* dm : {"dm-0", "dm-1", "dm-2", "dm-3"})
            make(QStringLiteral("/devices/virtual/block/") + dm + "/slaves", "");
        for (const char* dm : {"dm-0", "dm-1", "dm-2", "dm-3"})
            QVERIFY(testutil::writeFile(root + "/devices/virtual/block/" + dm + "/removable", "0\n"));
        auto slave = [&](const char* dm, const QString& target, const char* name) {
            QVERIFY(QFile::link(root + target, root + "/devices/virtual/block/" + dm + "/slaves/" + name));
        };
        slave("dm-0", "/devices/pci0000:00/usb1/1-1/host6/target6:0:0/6:0:0:0/block/sdb/sdb1", "sdb1"); // LUKS on USB
        slave("dm-1", "/devices/pci0000:00/ata1/host0/block/sda/sda2", "sda2");                         // LVM on SATA
        slave("dm-2", "/devices/virtual/block/dm-0", "dm-0");                                           // LVM in LUKS on USB
        slave("dm-3", "/devices/pci0000:00/mmc0/block/mmcblk0", "mmcblk0");                             // a card
        auto state = [&](const char* dm) {
            return LinuxVolumeLayer::removableState(QFile::encodeName(root + "/devices/virtual/block/" + dm));
        };
        QCOMPARE(state("dm-0"), 1);
        QCOMPARE(state("dm-1"), 0);
        QCOMPARE(state("dm-2"), 1);
        QCOMPARE(state("dm-3"), 1);
        QCOMPARE(LinuxVolumeLayer::removableState(QFile::encodeName(root + "/devices/pci0000:00/ata1/host0/block/sda/sda2")), 0);
        QCOMPARE(LinuxVolumeLayer::removableState(QFile::encodeName(root + "/nowhere")), -1);
    }

    void volumesFromATable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mountinfo"));
        QVERIFY(testutil::writeFile(path, kTable));
        LinuxVolumeLayer layer(path);
        const QList<VolumeDescription> v = layer.volumes();
        // Mount point, then i(ndexable) n(etwork) a(lias); pseudo file systems are left out.
        QStringList flags;
        for (const VolumeDescription& d : v) {
            flags << d.mountPoint + ' ' + (d.indexable ? "i" : "") + (d.network ? "n" : "") + (d.alias ? "a" : "");
            if (d.network || d.mountPoint == QLatin1String("/run/user/0"))
                QCOMPARE(d.fixed, !d.network);  // tmpfs counts as fixed, a network volume never
        }
        QCOMPARE(flags, QStringList({"/ i", "/home i", "/media/My\\Stick ", "/mnt/bind here ia", "/mnt/share n",
                                     "/mnt/ssh n", "/mnt/x i", "/run/user/0 i", "/snap ia"}));
        QVERIFY(layer.isNetworkVolume(QStringLiteral("/mnt/share")));
        QVERIFY(layer.isAliasVolume(QStringLiteral("/snap")));
        QVERIFY(!layer.isAliasVolume(QStringLiteral("/home")));
        QVERIFY(layer.isIndexableVolume(QStringLiteral("/mnt/x")));
        QVERIFY(layer.isIndexableVolume(QStringLiteral("/mnt/x/")));
        QVERIFY(!layer.isIndexableVolume(QStringLiteral("/proc")));
        QVERIFY(!layer.isIndexableVolume(QStringLiteral("/nowhere")));
        QCOMPARE(layer.volumeSerial(QStringLiteral("/nowhere")), 0u);

        QTemporaryDir empty;
        LinuxVolumeLayer none(empty.filePath(QStringLiteral("missing")));
        QVERIFY_EXCEPTION_THROWN(none.volumes(), FileSearchException);
    }

    void foldsUuids()
    {
        QCOMPARE(LinuxVolumeLayer::foldUuid(QByteArray::fromHex("0102030410203040a0b0c0d011223344")),
                 quint32(0x01020304u ^ 0x10203040u ^ 0xa0b0c0d0u ^ 0x11223344u));
        QCOMPARE(LinuxVolumeLayer::foldUuid(QByteArray::fromHex("1111111111111111")), 1u);  // never 0
    }

    void fileIdsAndVolumeOf()
    {
        LinuxVolumeLayer layer;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("f"));
        QVERIFY(testutil::writeFile(file, "x"));
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(file).constData(), &st) == 0);
        bool isDir = true;
        QCOMPARE(layer.fileId(file, &isDir), quint64(st.st_ino));
        QVERIFY(!isDir);
        QVERIFY(layer.fileId(dir.path(), &isDir) != 0);
        QVERIFY(isDir);
        // Links are followed.
        const QString link = dir.filePath(QStringLiteral("l"));
        QVERIFY(QFile::link(file, link));
        QCOMPARE(layer.fileId(link, nullptr), quint64(st.st_ino));
        isDir = true;
        QCOMPARE(layer.fileId(dir.filePath(QStringLiteral("missing")), &isDir), quint64(0));
        QVERIFY(isDir);  // untouched on failure
        QCOMPARE(layer.volumeOf(QStringLiteral("/proc/self/status")), QStringLiteral("/proc"));
        // "/" is a volume wherever it is a mount point (not inside a chroot).
        bool rootMounted = false;
        for (const QByteArray& line : testutil::readFile(QStringLiteral("/proc/self/mountinfo")).split('\n'))
            rootMounted = rootMounted || line.split(' ').value(4) == "/";
        QCOMPARE(layer.volumeOf(QStringLiteral("/")), rootMounted ? QStringLiteral("/") : QString());
    }

    void decoderChecksAgainstTheRoot()
    {
        // The root of this system: whatever it is, a decoder for its type must agree with stat.
        const QVector<MountEntry> mounts = MountTable::read();
        QByteArray rootType;
        for (const MountEntry& m : mounts)
            if (m.mountPoint == "/")
                rootType = m.fsType;
        if (LinuxVolumeLayer::isIndexableFsType(rootType) && rootType != "btrfs") {
            QString why;
            QVERIFY2(FileHandleDecoder(rootType).verify(QStringLiteral("/"), &why), qPrintable(why));
        }
        // tmpfs handles hold the generation first: the generic layout must not be taken for it.
        const unsigned char tmpfsHandle[12] = {0x11, 0x22, 0x33, 0x44, 7, 0, 0, 0, 1, 0, 0, 0};
        QCOMPARE(FileHandleDecoder("tmpfs").decode(1, tmpfsHandle, 12), quint64(0x100000007ull));
        QCOMPARE(FileHandleDecoder("ext4").decode(1, tmpfsHandle, 12), quint64(0x44332211u));
        QCOMPARE(FileHandleDecoder("ext4").decode(0x99, tmpfsHandle, 12), quint64(0));
    }

    // A tmpfs whose mount point holds a space, a tab, a newline and a backslash (escaped in
    // mountinfo), and a bind mount of one of its folders: found by every query, journaled.
    void realTmpfsVolume()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (mounting in a private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        QTemporaryDir dir;
        const QByteArray mp = QFile::encodeName(dir.path()) + "/a b\tc\nd\\e - f";
        const QByteArray bind = QFile::encodeName(dir.path()) + "/alias";
        QVERIFY(::mkdir(mp.constData(), 0755) == 0);
        QVERIFY(::mkdir(bind.constData(), 0755) == 0);
        QVERIFY(::mount("tmpfs", mp.constData(), "tmpfs", 0, "size=1m") == 0);
        QVERIFY(::mkdir((mp + "/sub").constData(), 0755) == 0);
        QVERIFY(::mount((mp + "/sub").constData(), bind.constData(), nullptr, MS_BIND, nullptr) == 0);

        LinuxVolumeLayer layer;
        const QString v = QFile::decodeName(mp), b = QFile::decodeName(bind);
        QVERIFY(layer.isIndexableVolume(v));
        QVERIFY(layer.isFixedVolume(v));
        QVERIFY(!layer.isNetworkVolume(v));
        QVERIFY(!layer.isAliasVolume(v));
        QVERIFY(layer.isAliasVolume(b));
        const quint32 serial = layer.volumeSerial(v);
        QVERIFY(serial != 0);
        // A tmpfs is known by its mount point: mounted again there, it has the same serial.
        QCOMPARE(serial, LinuxVolumeLayer::mountPointSerial(mp));
        QCOMPARE(layer.volumeSerial(v + QLatin1Char('/')), serial);
        QCOMPARE(layer.volumeOf(v + QStringLiteral("/sub/missing")), v);
        QCOMPARE(layer.volumeOf(b + QStringLiteral("/x")), b);
        QStringList listed;
        for (const VolumeDescription& d : layer.volumes())
            if (d.mountPoint == v || d.mountPoint == b)
                listed << d.mountPoint + (d.indexable ? " i" : " ") + (d.alias ? "a" : "");
        QCOMPARE(listed, QStringList({v + " i", b + " ia"}));
        {
            std::shared_ptr<FanotifyJournal> journal = FanotifyJournal::acquire(v);
            QVERIFY(journal->usable());
            QVERIFY(journal->state().journalId != 0);
        }
        ::umount2(bind.constData(), MNT_DETACH);
        ::umount2(mp.constData(), MNT_DETACH);
        QCOMPARE(layer.volumeSerial(v), 0u);
        QVERIFY(::mount("tmpfs", mp.constData(), "tmpfs", 0, "size=1m") == 0);
        QCOMPARE(layer.volumeSerial(v), serial);
        ::umount2(mp.constData(), MNT_DETACH);
    }
};

QTEST_GUILESS_MAIN(VolumeLayerTest)
#include "tst_volumelayer.moc"
