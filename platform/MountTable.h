// MountTable: the mounts of this process's mount namespace, read from /proc/self/mountinfo.
//
// One MountEntry per line, in the kernel's order (a mount appears after the mount it sits on).
// Fields that may hold spaces or other awkward bytes (root, mount point, source) are written by
// the kernel with octal escapes ("\040" for a space, "\134" for a backslash); they are decoded
// here. Paths are kept as raw bytes too, because names on Linux are bytes and need not be UTF-8.
#pragma once

#include "core/FileNameCodec.h"

#include <QByteArray>
#include <QString>
#include <QVector>

struct MountEntry
{
    int mountId = 0;
    int parentId = 0;
    quint32 devMajor = 0;
    quint32 devMinor = 0;
    QByteArray root;        // the folder of the file system that is mounted here ("/" mostly)
    QByteArray mountPoint;  // where it is mounted, decoded
    QByteArray options;     // per-mount options ("rw,relatime")
    QByteArray fsType;      // "ext4", "tmpfs", "fuse.sshfs"
    QByteArray source;      // "/dev/sda1", "tmpfs", "server:/export"
    QByteArray superOptions; // the file system's options ("rw,subvolid=256,subvol=/@")

    // btrfs: the id of the subvolume mounted here ("subvolid=" of the file system's options);
    // 0 for other file systems or when the table does not say.
    quint64 subvolumeId() const;

    // The mount point as a path QString (lossless, see FileNameCodec).
    QString mountPointPath() const { return FileNameCodec::decode(mountPoint); }
};

class MountTable
{
public:
    // Parses the text of a mountinfo file. Lines that do not parse are skipped.
    static QVector<MountEntry> parse(const QByteArray& text);

    // Reads and parses a mountinfo file; empty when it cannot be read.
    static QVector<MountEntry> read(const QString& path = QStringLiteral("/proc/self/mountinfo"));

    // Decodes the kernel's octal escapes ("\ooo" with three octal digits); other bytes pass.
    static QByteArray decodeField(const QByteArray& field);
};
