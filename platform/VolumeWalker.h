// VolumeWalker: a parallel walk of one mounted file system with getdents64.
//
// Several worker threads share one stack of folders still to read. Each worker opens a folder
// (openat with O_DIRECTORY | O_NOFOLLOW), reads it with getdents64 into a 64 KiB buffer and
// reports every entry as (inode, inode of the folder being read, name bytes, isDir). d_type
// gives the folder flag; fstatat runs only for DT_UNKNOWN. A folder whose mount id differs from
// the root's (another mount, bind mounts included) is reported as an entry of its parent but
// not entered. A folder whose device differs (a nested btrfs subvolume, whose inode numbers
// would collide with this volume's) is neither entered nor reported: its directory entry
// carries no inode of this volume but the subvolume root's number, the same as this root's. The root is reported first, in a batch of its own (its inode,
// parent 0, the given root name); after it, batches from different threads interleave, so an
// object may come before the record of its folder.
//
// Batches of up to 4096 entries are handed to the sink on the thread that called walk(), one
// at a time, so the consumer needs no lock of its own. Workers block when 64 batches wait, so
// memory stays bounded when the consumer is slower than the walk.
//
// A folder is checked, once open, to be the one its parent listed (same inode). Where the
// process may open file handles (root), every queued folder keeps its handle: a folder moved
// elsewhere on the volume after it was listed is read where it is now, since the change
// journal reports only the move of the folder itself and its contents would be lost.
//
// Folders whose paths reach PATH_MAX bytes (legal: deep trees are built with relative names)
// are opened from a leading part of the path, so a deep tree does not fail the walk.
//
// Failures:
// - A root that cannot be opened throws FileSearchException (unit "VolumeWalker").
// - A folder that cannot be opened because it is not accessible or has gone (EACCES, EPERM,
//   ENOENT, ENOTDIR, ELOOP) is logged (tag "VolumeWalker", warning) and skipped.
// - Any other error (an I/O error while reading a folder, out of descriptors or memory) is a
//   failed enumeration: the walk stops and throws, so that a partial result is never taken
//   for a complete one.
// - *cancel set: the walk stops after the batch being delivered and throws
//   FileSearchCancelException("Canceled").
// An exception from the sink stops the walk, joins the workers and passes on.
#pragma once

#include "platform/VolumeLayer.h"

#include <QByteArray>
#include <QString>

class VolumeWalker
{
public:
    struct Result
    {
        quint64 entries = 0;         // every reported entry, the root included
        quint64 folders = 0;         // folders read
        quint64 skippedFolders = 0;  // folders that could not be read and were skipped
    };

    // The two calls a walk makes per folder; tests replace them to provoke failures.
    struct FolderOps
    {
        int (*openFolder)(const char* path) = nullptr;               // -1 and errno on failure
        long (*readEntries)(int fd, void* buffer, size_t size) = nullptr;  // getdents64
    };

    // threads <= 0: one per core, at most 8.
    explicit VolumeWalker(int threads = 0);

    void setFolderOps(const FolderOps& ops) { ops_ = ops; }

    Result walk(const QString& rootPath, const QByteArray& rootName, const bool* cancel,
                const VolumeEntrySink& sink);
    // The same walk with each thread delivering its own batches (VolumeEntryConsumer); the
    // cancel flag is polled by every thread before each folder.
    Result walkParallel(const QString& rootPath, const QByteArray& rootName, const bool* cancel,
                        VolumeEntryConsumer& consumer);

    static constexpr size_t batchCapacity = 4096;

private:
    Result run(const QString& rootPath, const QByteArray& rootName, const bool* cancel, const VolumeEntrySink* sink,
               VolumeEntryConsumer* consumer);

    int threads_;
    FolderOps ops_;
};
