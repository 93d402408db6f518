// VolumeWalker: a parallel walk of one mounted file system with getdents64.
//
// Several worker threads share one stack of folders still to read. Each worker opens a folder
// relative to the folder it was listed in (openat on that folder's descriptor, which stays open
// while subfolders of it wait; beyond 256 folders held open, and for paths of PATH_MAX bytes
// and more, by its path in pieces), checks it with one statx on the descriptor, reads it with
// getdents64 into a 64 KiB buffer and reports every entry as (inode, inode of the folder being
// read, name bytes, isDir). d_type gives the folder flag; fstatat runs only for DT_UNKNOWN.
// Nothing else runs per entry.
//
// - Mounts: the mount points below the walk's start (from the mount table) are reported as
//   entries of their parents but not opened (an automount point would be triggered); a folder
//   that turns out to be another mount once open (mounted meanwhile) is not read.
// - btrfs: a nested subvolume is listed under the number of a subvolume's root (256), which is
//   no object of this volume: it is neither reported nor entered. A folder whose device differs
//   once open is not read either.
// - Moved folders: a folder that is no longer where it was listed when its turn comes (gone, or
//   another folder in its place) is not read; it is reported as missed (Result::missedFolders
//   and VolumeEntryConsumer::missed). The change journal reports its move, and the index reads
//   its contents then (walkFolder), wherever it is: no per-folder file handle is needed.
//
// The root is reported first, in a batch of its own (its inode, parent 0, the given root name);
// after it, batches from different threads interleave, so an object may come before the record
// of its folder. walkFolder walks what lies below an opened folder, without the folder itself.
//
// Delivery: walk() hands batches of up to 4096 entries to the sink on the thread that called
// it, one at a time (workers block when 64 batches wait, so memory stays bounded when the sink
// is slower); walkParallel() and walkFolder() let each worker hand its batches to a
// VolumeEntryConsumer itself, in a slot of its own, with no hand-over between threads.
//
// Failures:
// - A root that cannot be opened throws FileSearchException (unit "VolumeWalker").
// - A folder that cannot be opened because it is not accessible or has gone (EACCES, EPERM,
//   ENOENT, ENOTDIR, ELOOP) is skipped (logged, unless it has just gone).
// - Any other error (an I/O error while reading a folder, out of descriptors or memory) is a
//   failed enumeration: the walk stops and throws, so that a partial result is never taken
//   for a complete one.
// - *cancel set: the walk stops after the batch being delivered (polled by every worker before
//   each folder in the parallel forms) and throws FileSearchCancelException("Canceled").
// An exception from the sink or consumer stops the walk, joins the workers and passes on.
#pragma once

#include "platform/VolumeLayer.h"

#include <QByteArray>
#include <QString>

#include <vector>

class VolumeWalker
{
public:
    struct Result
    {
        quint64 entries = 0;         // every reported entry, the root included
        quint64 folders = 0;         // folders read
        quint64 skippedFolders = 0;  // folders that could not be read and were skipped
        std::vector<quint64> missedFolders; // listed, but gone from where they were listed
    };

    // The two calls a walk makes per folder; tests replace them to provoke failures.
    struct FolderOps
    {
        // Opens folder `name` in the open folder `dirFd`, or, with dirFd -1, at `path` (the
        // path is given in both cases); -1 and errno on failure.
        int (*openFolder)(int dirFd, const char* name, const char* path) = nullptr;
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
    // What lies below the open folder `folderFd` (not closed here), which must be folder
    // `inode`; `path` names it in messages and for the mounts below it.
    Result walkFolder(int folderFd, quint64 inode, const QString& path, const bool* cancel,
                      VolumeEntryConsumer& consumer);

    static constexpr size_t batchCapacity = 4096;

private:
    Result run(const QString& rootPath, int startFd, quint64 startInode, const QByteArray* rootName, const bool* cancel,
               const VolumeEntrySink* sink, VolumeEntryConsumer* consumer);

    int threads_;
    FolderOps ops_;
};
