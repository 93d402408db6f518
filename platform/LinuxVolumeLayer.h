// LinuxVolumeLayer: the real volume layer over /proc/self/mountinfo, statfs, statx and sysfs.
//
// Decisions:
// - Volumes: every mount whose file-system type is not a pseudo file system (proc, sysfs,
//   cgroup, devtmpfs, devpts, squashfs, fuse.* other than network ones, ...); an overlay
//   only where it is "/". fuseblk, vfat and exfat are volumes that are walked.
// - Indexable ("NTFS volume"): ext2/3/4, xfs, btrfs, f2fs, ntfs3 and tmpfs. vfat/exfat are
//   volumes but not indexable (no stable inode numbers).
// - Network: nfs*, cifs, smb3, smbfs, 9p, ceph, afs, lustre, glusterfs, fuse.sshfs and the
//   like (fuse.* whose subtype names a network file system).
// - Alias: a mount that shows part of what another visible mount of the same tree shows (same
//   device number and, on btrfs, the same subvolume; its mountinfo root inside the other's):
//   bind mounts of folders. Different btrfs subvolumes of one file system ("/" = @, "/home" =
//   @home, the top level mounted elsewhere) are volumes of their own.
// - Fixed: a block device whose /sys/dev/block/M:m (or its parent disk) has removable 0 and
//   whose sysfs path does not run through a USB bus, nor any of the devices it is made of
//   (slaves of device-mapper and md volumes: LVM, LUKS); tmpfs counts as fixed.
// - Serial: the file-system UUID (from /dev/disk/by-uuid when the device is listed there)
//   folded to 32 bits by XOR of its four big-endian 32-bit words; else statfs f_fsid folded
//   (its two words XORed); else the device number. A btrfs subvolume other than the top
//   level folds its id into the UUID's serial. A tmpfs's serial is FNV-1 of its mount point.
//   A fold of 0 becomes 1, so 0 always means failure.
// The mount table is read afresh on every call (it is small and mounts change at any time).
#pragma once

#include "platform/MountTable.h"
#include "platform/VolumeLayer.h"

class LinuxVolumeLayer : public VolumeLayer
{
public:
    LinuxVolumeLayer();
    // `mountInfoPath` lets tests parse a prepared mount table.
    explicit LinuxVolumeLayer(const QString& mountInfoPath);

    QList<VolumeDescription> volumes() override;
    bool isIndexableVolume(const QString& mountPoint) override;
    bool isNetworkVolume(const QString& mountPoint) override;
    bool isFixedVolume(const QString& mountPoint) override;
    bool isAliasVolume(const QString& mountPoint) override;
    quint32 volumeSerial(const QString& mountPoint) override;
    QString volumeOf(const QString& path) override;
    quint64 fileId(const QString& path, bool* isDir) override;
    void enumerate(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                   const VolumeEntrySink& sink) override;
    void enumerateParallel(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                           VolumeEntryConsumer& consumer) override;
    // statfs's f_fsid where the file system derives it from its UUID (ext2/3/4, btrfs with the
    // subvolume folded in, f2fs, ntfs3, tmpfs); xfs derives it from the device number, which
    // changes when a disk is plugged elsewhere, so it has none here.
    quint64 fileSystemId(const QString& mountPoint) override;
    void enumerateFolder(const QString& mountPoint, const QByteArray& path, quint64 inode, int handleType,
                         const QByteArray& handle, const bool* cancel, VolumeEntryConsumer& consumer) override;

    // Classification by file-system type name (no I/O). A pseudo type is a kernel pseudo file
    // system (isKernelPseudoFs) or a mount that is no volume of the user's files (overlay,
    // read-only images, ramfs, fuse.* other than network ones).
    static bool isPseudoFsType(const QByteArray& fsType);
    // Is the mount a volume (not a pseudo file system; an overlay only as "/")?
    static bool isVolumeMount(const MountEntry& mount);
    // The kernel pseudo file systems (proc, sysfs, cgroup, devpts, debugfs, autofs, ...), one
    // list, by type name and by the statfs f_type magic number of those that have their own
    // (devtmpfs reports tmpfs's number and is known by name only). A folder walk skips folders
    // on them; no volume is made of them.
    static bool isKernelPseudoFs(const QByteArray& fsType);
    static bool isKernelPseudoFsMagic(long magic);
    static bool isIndexableFsType(const QByteArray& fsType);
    static bool isNetworkFsType(const QByteArray& fsType);

    // Folds a 16-byte UUID to 32 bits (XOR of its big-endian words; 0 becomes 1).
    static quint32 foldUuid(const QByteArray& uuid16);

    // Per mount of `mounts`: is it an alias of another (see above)?
    static QVector<bool> aliasFlags(const QVector<MountEntry>& mounts);
    // The serial of a tmpfs mounted at `mountPoint`; a serial with a btrfs subvolume folded in.
    static quint32 mountPointSerial(const QByteArray& mountPoint);
    static quint32 withSubvolume(quint32 serial, quint64 subvolumeId);
    // Of a device's sysfs folder (/sys/devices/...): 1 removable (or on USB, itself or a device
    // it is made of), 0 fixed, -1 unknown.
    static int removableState(const QByteArray& sysfsDevice);

    QStringList nestedSubvolumes(const QString& mountPoint) override;
    quint64 deviceOf(const QString& path) override;

private:
    QVector<MountEntry> mounts() const;
    // The last mount whose mount point equals `mountPoint` (the visible one), or null.
    static const MountEntry* findMount(const QVector<MountEntry>& mounts, const QString& mountPoint);
    VolumeDescription describe(const QVector<MountEntry>& mounts, const QVector<bool>& alias, int index);
    quint32 serialOf(const MountEntry& mount);
    bool fixedOf(const MountEntry& mount);
    static int removableState(const QByteArray& device, int depth);

    QString mountInfoPath_;
};
