// ScriptedVolumeLayer: a volume layer for tests, with scripted volumes, file ids and
// enumerations. Install it for a scope with testutil::ScopedInstance<VolumeLayer>
// (tests/common/scopedinstance.h), which puts back the layer installed before.
//
// - volumes(): the added volumes sorted by mount point.
// - fileId(path): the scripted id of the path, else 0 (nothing touches the real disk).
// - volumeOf(path): the longest scripted mount point that is a prefix of the path at a "/"
//   boundary.
// - enumerate(): the root (scripted id of the mount point, parent 0, the root name), then the
//   scripted entries in the order given, in batches of batchSize; throws when the root id is 0,
//   when an enumeration failure is scripted (after delivering failAfter entries), or when
//   *cancel is set (checked before each batch).
// - holdWalks(true): every enumeration then waits at its start (after counting itself) until
//   releaseWalk(); waitForHeldWalk() waits until one is waiting. A canceled walk stops waiting.
// - fileSystemId(): as scripted with setFileSystemId, else 0.
// - enumerateFolder(): the scripted entries below the folder's inode (whatever path or handle
//   is given), in one slot; counted as folder walks (folderWalks()).
#pragma once

#include "platform/VolumeLayer.h"

#include <QByteArray>
#include <QMap>
#include <QVector>
#include <condition_variable>
#include <mutex>

class ScriptedVolumeLayer : public VolumeLayer
{
public:
    struct Entry
    {
        quint64 inode;
        quint64 parent;
        QByteArray name;
        bool isDir;
    };

    ScriptedVolumeLayer();
    ~ScriptedVolumeLayer() override;

    // A description with the given fields; fixed unless it is a network volume.
    static VolumeDescription describe(const QString& mountPoint, const QString& fsType, quint32 serial,
                                      bool indexable, bool network = false, bool alias = false);

    // Adds or replaces a volume (keyed by its mount point).
    void addVolume(const VolumeDescription& volume);
    void removeVolume(const QString& mountPoint);
    void setFileId(const QString& path, quint64 id, bool isDir);
    void setEntries(const QString& mountPoint, const QVector<Entry>& entries);
    // The enumeration of the volume throws after delivering `failAfter` entries.
    void setEnumerationFailure(const QString& mountPoint, int failAfter, const QString& message);
    void setBatchSize(int size) { batchSize_ = size; }
    int enumerations() const;
    void setFileSystemId(const QString& mountPoint, quint64 id);
    void holdWalks(bool hold);
    bool waitForHeldWalk(int timeoutMs = 5000);
    void releaseWalk();

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
    quint64 fileSystemId(const QString& mountPoint) override;
    void enumerateFolder(const QString& mountPoint, const QByteArray& path, quint64 inode, int handleType,
                         const QByteArray& handle, const bool* cancel, VolumeEntryConsumer& consumer) override;
    // The folders walked by enumerateFolder, in order.
    QVector<quint64> folderWalks() const;

private:
    struct Failure { int after; QString message; };

    // The added volume at `mountPoint`, or a default description (all flags false, serial 0).
    VolumeDescription volume(const QString& mountPoint) const;

    mutable std::mutex mutex_;
    QMap<QString, VolumeDescription> volumes_;
    QMap<QString, QPair<quint64, bool>> ids_;
    QMap<QString, QVector<Entry>> entries_;
    QMap<QString, Failure> failures_;
    QMap<QString, quint64> fileSystemIds_;
    int batchSize_ = 1000;
    int enumerations_ = 0;
    QVector<quint64> folderWalks_;
    bool hold_ = false;
    int held_ = 0;      // walks waiting
    int released_ = 0;  // walks let go and not yet gone on
    std::condition_variable holdChanged_;
};
