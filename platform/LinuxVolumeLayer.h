// LinuxVolumeLayer: the real volume layer over /proc/self/mountinfo, statfs, statx and sysfs.
//
// Decisions:
// - Volumes: every mount whose file-system type is not a pseudo file system (proc, sysfs,
//   cgroup, devtmpfs, devpts, overlay, squashfs, fuse.* other than network ones, ...).
// - Indexable ("NTFS volume"): ext2/3/4, xfs, btrfs, f2fs, ntfs3 and tmpfs. vfat/exfat are
//   volumes but not indexable (no stable inode numbers).
// - Network: nfs*, cifs, smb3, smbfs, 9p, ceph, afs, lustre, glusterfs, fuse.sshfs and the
//   like (fuse.* whose subtype names a network file system).
// - Alias: several mounts of one device (same device number; bind mounts, btrfs subvolumes
//   seen twice): the one with the shortest mountinfo root is the volume (first in mountinfo
//   order on a tie); the others are aliases.
// - Fixed: a block device whose /sys/dev/block/M:m (or its parent disk) has removable 0 and
//   whose sysfs path does not run through a USB bus; tmpfs counts as fixed.
// - Serial: the file-system UUID (from /dev/disk/by-uuid when the device is listed there)
//   folded to 32 bits by XOR of its four big-endian 32-bit words; else statfs f_fsid folded
//   (its two words XORed); else the device number. A fold of 0 becomes 1, so 0 always means
//   failure.
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

    // Indices of the mounts in `mounts` that are aliases of an earlier-kept mount.
    static QVector<bool> aliasFlags(const QVector<MountEntry>& mounts);

private:
    QVector<MountEntry> mounts() const;
    // The last mount whose mount point equals `mountPoint` (the visible one), or null.
    static const MountEntry* findMount(const QVector<MountEntry>& mounts, const QString& mountPoint);
    VolumeDescription describe(const QVector<MountEntry>& mounts, const QVector<bool>& alias, int index);
    quint32 serialOf(const MountEntry& mount);
    bool fixedOf(const MountEntry& mount);

    QString mountInfoPath_;
};
