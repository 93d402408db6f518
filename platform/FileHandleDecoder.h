// FileHandleDecoder: turns the file handles that fanotify reports into inode numbers.
//
// A file handle is opaque in general; its layout is fixed per file system by the kernel's
// export operations. The decoder knows the layouts of the indexable file systems:
// - ext2/3/4, f2fs, ntfs3, xfs (32-bit inodes): types 1 and 2, the inode in word 0;
// - xfs (64-bit inodes) and the kernel's generic FID-only handles: types 0x81 and 0x82, a
//   64-bit inode at offset 0;
// - btrfs: types 0x4d, 0x4e, 0x4f, the 64-bit object id at offset 0 and the id of its
//   subvolume at offset 8. Object ids restart in every subvolume, so once verify() has seen
//   the mount root, handles of other (nested) subvolumes decode to 0;
// - tmpfs: type 1, the generation in word 0 and the inode in words 1 and 2 (low, high).
// Because layouts are not a stable interface, a journal checks the decoder against the handle
// of the mount root before it trusts it (verify()).
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

class FileHandleDecoder
{
public:
    explicit FileHandleDecoder(const QByteArray& fsType = QByteArray());

    // Inode number held by a handle of the given type and bytes; 0 when the layout is unknown.
    quint64 decode(int handleType, const unsigned char* bytes, int length) const;

    // Decodes the handle of `path` (name_to_handle_at) and compares it with its inode (statx).
    // False, with a reason in *error, when they differ or the handle cannot be had. On btrfs it
    // also remembers the subvolume of `path` (the mount root), whose handles alone decode.
    bool verify(const QString& path, QString* error = nullptr);

    QByteArray fsType() const { return fsType_; }

    // The handle of `name` in the folder `dirFd` (name_to_handle_at with `flags`) as the bytes
    // of a struct file_handle; empty, with errno set, when there is none.
    static std::string handleAt(int dirFd, const char* name, int flags);
    // open_by_handle_at of a handle made by handleAt; -1 and errno on failure.
    static int openHandle(int mountFd, const std::string& handle, int flags);
    // open_by_handle_at of a handle given by its type and bytes (`length` of them); -1 and errno
    // (EINVAL when the handle is longer than the kernel allows) on failure.
    static int openHandle(int mountFd, int handleType, const char* bytes, size_t length, int flags);

private:
    QByteArray fsType_;
    bool tmpfs_ = false;
    bool subvolumeKnown_ = false;
    quint64 subvolume_ = 0;  // btrfs: the subvolume of the mount root
};
