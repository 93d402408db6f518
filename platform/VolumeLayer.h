// VolumeLayer: the questions the name index asks about volumes, behind one interface.
//
// A volume is a mounted local file system identified by its mount point ("/", "/home"). The
// real implementation (LinuxVolumeLayer) answers from /proc/self/mountinfo, statfs, statx and
// sysfs; tests install a scripted one with setInstance() so that the index logic can be driven
// without real devices. Every function is thread-safe in the real implementation.
//
// File reference numbers are inode numbers (following symbolic links); 0 means "not found".
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One object found by an enumeration: its inode, the inode of the folder it was read from
// (0 for the root), whether it is a folder, and its name as raw bytes inside the batch's name
// buffer (NUL-terminated there, nameLength bytes without the NUL).
struct VolumeEntry
{
    quint64 inode;
    quint64 parent;
    quint32 nameOffset;
    quint16 nameLength;
    bool isDir;
};

// A batch of enumerated objects. Names are bytes (Linux names need not be UTF-8).
struct VolumeEntryBatch
{
    std::vector<VolumeEntry> entries;
    std::string names;  // every name followed by a NUL

    size_t size() const { return entries.size(); }
    const char* name(size_t i) const { return names.data() + entries[i].nameOffset; }
    int nameLength(size_t i) const { return entries[i].nameLength; }
    void clear() { entries.clear(); names.clear(); }
    void add(quint64 inode, quint64 parent, const char* nameBytes, size_t length, bool isDir);
};

// Receives batches on the thread that called enumerate(), one at a time, in delivery order.
using VolumeEntrySink = std::function<void(const VolumeEntryBatch&)>;

// Receives the entries of a parallel enumeration on the threads that read them: each walking
// thread has a slot of its own (0 .. threads - 1) and delivers its batches there itself, so a
// consumer keeps one buffer per slot and needs no lock. Calls for one slot never overlap.
class VolumeEntryConsumer
{
public:
    virtual ~VolumeEntryConsumer();
    // Before anything else: how many slots will deliver.
    virtual void start(int threads) = 0;
    virtual void consume(int slot, const VolumeEntryBatch& batch) = 0;
    // The slot's thread delivers nothing more (called on that thread, also when the walk fails).
    virtual void finish(int slot);
    // A folder the walk listed but could not read, because by then it was no longer there (moved
    // elsewhere, replaced or removed). Called on any walking thread, at any time.
    virtual void missed(quint64 folder);
};

struct VolumeDescription
{
    QString mountPoint;
    QString fsType;
    QString source;
    quint32 serial = 0;
    bool indexable = false;  // an "NTFS volume": a local file system with stable inode numbers
    bool network = false;
    bool alias = false;      // a second mount of a device that is also mounted elsewhere
    bool fixed = false;
};

class VolumeLayer
{
public:
    virtual ~VolumeLayer();

    // Every mounted volume (pseudo file systems left out), ordered by mount point.
    virtual QList<VolumeDescription> volumes() = 0;

    virtual bool isIndexableVolume(const QString& mountPoint) = 0;
    virtual bool isNetworkVolume(const QString& mountPoint) = 0;
    virtual bool isFixedVolume(const QString& mountPoint) = 0;
    virtual bool isAliasVolume(const QString& mountPoint) = 0;
    // 32-bit serial of the volume, never 0 on success; 0 when the mount point is not mounted.
    virtual quint32 volumeSerial(const QString& mountPoint) = 0;

    // Mount point of the mount that holds `path` (longest mount-point prefix of its real path).
    virtual QString volumeOf(const QString& path) = 0;

    // Inode number of `path` (links followed), 0 when it cannot be read; sets *isDir when given.
    virtual quint64 fileId(const QString& path, bool* isDir) = 0;

    // A 64-bit identity of the file system mounted at `mountPoint` that stays the same across
    // mounts and boots and differs between file systems (and btrfs subvolumes), where the file
    // system has one; 0 when it has none or it cannot be read (then nothing is compared). The
    // index file records it, so a file of another file system is never loaded. The default has
    // none.
    virtual quint64 fileSystemId(const QString& mountPoint);

    // Full enumeration of the volume mounted at `mountPoint`: the root first (its inode, parent
    // 0, `rootName`), then every object below it, never crossing into another mount. Batches go
    // to `sink` on the calling thread. Throws FileSearchException when the root cannot be
    // opened or the enumeration fails part-way, FileSearchCancelException when *cancel is set.
    virtual void enumerate(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                           const VolumeEntrySink& sink) = 0;
    // The same enumeration with the batches delivered on the walking threads (see
    // VolumeEntryConsumer); the root comes first, in slot 0, before any thread starts. Returns
    // when every slot has finished; failures throw as for enumerate(). The default runs
    // enumerate() and delivers everything in slot 0.
    virtual void enumerateParallel(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                                   VolumeEntryConsumer& consumer);
    // The objects below one folder of the volume (not the folder itself), delivered as by
    // enumerateParallel. The folder is opened by its file handle where one is given (found
    // wherever it lies now), else by `path`; when that is not folder `inode` (gone, or another
    // one now), nothing is delivered. The default delivers nothing.
    virtual void enumerateFolder(const QString& mountPoint, const QByteArray& path, quint64 inode, int handleType,
                                 const QByteArray& handle, const bool* cancel, VolumeEntryConsumer& consumer);

    // The device number of the file system tree holding `path` (links followed): a nested
    // btrfs subvolume has one of its own, though it is no mount. 0 when unknown (the default).
    virtual quint64 deviceOf(const QString& path);

    // The btrfs subvolumes whose entries lie in the subvolume mounted at `mountPoint` (paths
    // below it, sorted): the index of that volume leaves them out, so a search walks them. The
    // default has none.
    virtual QStringList nestedSubvolumes(const QString& mountPoint);

    // The layer in use: the installed one, else the real Linux layer.
    static VolumeLayer& instance();
    // Installs a layer (tests); nullptr restores the real one. The caller keeps ownership.
    // Returns the layer installed before (nullptr: the real one).
    static VolumeLayer* setInstance(VolumeLayer* layer);
};
