// MFTReader: builds a volume's index from scratch by enumerating every object on it.
//
// Linux has no master file table; the reader walks the mounted file system in parallel
// (VolumeLayer::enumerate, normally the getdents64 walk of platform/VolumeWalker.h), never
// crossing into another mount. The root folder comes first: its inode, parent 0, and the mount
// point as its name. NTFS metadata ("$" names) does not exist here, so nothing is skipped.
//
// Three ways to receive the objects:
// - read(mountPoint, cancel): one fileFound signal per object, emitted on the calling thread
//   (names decoded with fileNameFromBytes, so non-UTF-8 names survive a round trip);
// - read(mountPoint, cancel, onBatch): batches of raw records (inode, parent, name bytes,
//   isDir) handed to onBatch on the calling thread; fileFound is not emitted. This is the fast
//   path for building an index (no QString per record);
// - readParallel(mountPoint, cancel, consumer): the batches go to a VolumeEntryConsumer on the
//   walking threads themselves (VolumeLayer::enumerateParallel), each thread into a slot of its
//   own: the fastest path, used to build an index.
//
// Failures (both forms):
// - the root cannot be opened, or its file reference number is 0: FileSearchException
//   "Failed to open volume %1" (unit "MFTReader");
// - the enumeration fails part-way (an I/O error, out of resources): FileSearchException with
//   the walker's message. A failed enumeration is never reported as a complete one;
// - *cancel set: FileSearchCancelException "Canceled" (unit "MFTReader") after the batch being
//   delivered. The cancel flag is polled once per batch.
#pragma once

#include "search/index/NTFSUtils.h"
#include "platform/VolumeLayer.h"

#include <QObject>
#include <QString>
#include <functional>

class MFTReader : public QObject
{
    Q_OBJECT
public:
    using Batch = VolumeEntryBatch;
    using BatchHandler = std::function<void(const VolumeEntryBatch&)>;

    explicit MFTReader(QObject* parent = nullptr);
    ~MFTReader() override;

    void read(const QString& mountPoint, bool* cancel);
    void read(const QString& mountPoint, bool* cancel, const BatchHandler& onBatch);
    void readParallel(const QString& mountPoint, bool* cancel, VolumeEntryConsumer& consumer);

signals:
    void fileFound(FRN frn, FRN parent, const QString& name, bool isDir);
};
