#include "tests/doubles/ScriptedVolumeLayer.h"
#include "core/FileSearchException.h"

#include <algorithm>
#include <chrono>

#include <QHash>

ScriptedVolumeLayer::ScriptedVolumeLayer() = default;

ScriptedVolumeLayer::~ScriptedVolumeLayer() = default;

void ScriptedVolumeLayer::addVolume(const VolumeDescription& volume)
{
    std::lock_guard<std::mutex> g(mutex_);
    volumes_.insert(volume.mountPoint, volume);
}

void ScriptedVolumeLayer::removeVolume(const QString& mountPoint)
{
    std::lock_guard<std::mutex> g(mutex_);
    volumes_.remove(mountPoint);
}

void ScriptedVolumeLayer::setFileId(const QString& path, quint64 id, bool isDir)
{
    std::lock_guard<std::mutex> g(mutex_);
    ids_.insert(path, qMakePair(id, isDir));
}

void ScriptedVolumeLayer::setEntries(const QString& mountPoint, const QVector<Entry>& entries)
{
    std::lock_guard<std::mutex> g(mutex_);
    entries_.insert(mountPoint, entries);
}

void ScriptedVolumeLayer::setEnumerationFailure(const QString& mountPoint, int failAfter, const QString& message)
{
    std::lock_guard<std::mutex> g(mutex_);
    failures_.insert(mountPoint, Failure{failAfter, message});
}

void ScriptedVolumeLayer::setFileSystemId(const QString& mountPoint, quint64 id)
{
    std::lock_guard<std::mutex> g(mutex_);
    fileSystemIds_.insert(mountPoint, id);
}

quint64 ScriptedVolumeLayer::fileSystemId(const QString& mountPoint)
{
    std::lock_guard<std::mutex> g(mutex_);
    return fileSystemIds_.value(mountPoint);
}

void ScriptedVolumeLayer::holdWalks(bool hold)
{
    std::lock_guard<std::mutex> g(mutex_);
    hold_ = hold;
    if (!hold)
        released_ += held_;
    holdChanged_.notify_all();
}

bool ScriptedVolumeLayer::waitForHeldWalk(int timeoutMs)
{
    std::unique_lock<std::mutex> g(mutex_);
    return holdChanged_.wait_for(g, std::chrono::milliseconds(timeoutMs), [this] { return held_ > released_; });
}

void ScriptedVolumeLayer::releaseWalk()
{
    std::lock_guard<std::mutex> g(mutex_);
    ++released_;
    holdChanged_.notify_all();
}

void ScriptedVolumeLayer::enumerateFolder(const QString& mountPoint, const QByteArray&, quint64 inode, int,
                                          const QByteArray&, const bool*, VolumeEntryConsumer& consumer)
{
    QVector<Entry> entries;
    {
        std::lock_guard<std::mutex> g(mutex_);
        folderWalks_.append(inode);
        entries = entries_.value(mountPoint);
    }
    QHash<quint64, quint64> parents;
    for (const Entry& e : entries)
        if (e.isDir)
            parents.insert(e.inode, e.parent);
    auto below = [&](quint64 parent) {
        for (int steps = 0; parent != 0 && steps < 10000; ++steps) {
            if (parent == inode)
                return true;
            parent = parents.value(parent);
        }
        return false;
    };
    consumer.start(1);
    VolumeEntryBatch batch;
    for (const Entry& e : entries) {
        if (below(e.parent))
            batch.add(e.inode, e.parent, e.name.constData(), size_t(e.name.size()), e.isDir);
    }
    consumer.consume(0, batch);
    consumer.finish(0);
}

QVector<quint64> ScriptedVolumeLayer::folderWalks() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return folderWalks_;
}

int ScriptedVolumeLayer::enumerations() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return enumerations_;
}

QList<VolumeDescription> ScriptedVolumeLayer::volumes()
{
    std::lock_guard<std::mutex> g(mutex_);
    return volumes_.values();  // QMap: sorted by mount point
}

VolumeDescription ScriptedVolumeLayer::volume(const QString& mountPoint) const
{
    std::lock_guard<std::mutex> g(mutex_);
    return volumes_.value(mountPoint);
}

bool ScriptedVolumeLayer::isIndexableVolume(const QString& mountPoint)
{
    return volume(mountPoint).indexable;
}

bool ScriptedVolumeLayer::isNetworkVolume(const QString& mountPoint)
{
    return volume(mountPoint).network;
}

bool ScriptedVolumeLayer::isFixedVolume(const QString& mountPoint)
{
    return volume(mountPoint).fixed;
}

bool ScriptedVolumeLayer::isAliasVolume(const QString& mountPoint)
{
    return volume(mountPoint).alias;
}

quint32 ScriptedVolumeLayer::volumeSerial(const QString& mountPoint)
{
    return volume(mountPoint).serial;
}

QString ScriptedVolumeLayer::volumeOf(const QString& path)
{
    std::lock_guard<std::mutex> g(mutex_);
    QString best;
    for (auto it = volumes_.constBegin(); it != volumes_.constEnd(); ++it) {
        const QString& mp = it.key();
        const bool under = mp == QLatin1String("/")
            ? path.startsWith(QLatin1Char('/'))
            : (path == mp || path.startsWith(mp + QLatin1Char('/')));
        if (under && mp.size() > best.size())
            best = mp;
    }
    return best;
}

quint64 ScriptedVolumeLayer::fileId(const QString& path, bool* isDir)
{
    std::lock_guard<std::mutex> g(mutex_);
    auto it = ids_.constFind(path);
    if (it == ids_.constEnd())
        return 0;
    if (isDir)
        *isDir = it.value().second;
    return it.value().first;
}

void ScriptedVolumeLayer::enumerate(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                                    const VolumeEntrySink& sink)
{
    QVector<Entry> entries;
    quint64 root = 0;
    bool hasFailure = false;
    Failure failure{0, QString()};
    int batchSize = 1;
    auto canceled = [cancel] { return cancel && __atomic_load_n(cancel, __ATOMIC_RELAXED); };
    {
        std::unique_lock<std::mutex> g(mutex_);
        ++enumerations_;
        if (hold_) {
            // Waits until released (or canceled: polled, since the flag has no wake-up).
            ++held_;
            holdChanged_.notify_all();
            while (released_ == 0 && !canceled())
                holdChanged_.wait_for(g, std::chrono::milliseconds(10));
            --held_;
            if (released_ > 0)
                --released_;
        }
        entries = entries_.value(mountPoint);
        root = ids_.value(mountPoint).first;
        hasFailure = failures_.contains(mountPoint);
        if (hasFailure)
            failure = failures_.value(mountPoint);
        batchSize = std::max(1, batchSize_);
    }
    if (root == 0)
        throw FileSearchException(QStringLiteral("Failed to open %1").arg(mountPoint), QStringLiteral("ScriptedVolumeLayer"), __LINE__);

    VolumeEntryBatch batch;
    batch.add(root, 0, rootName.constData(), size_t(rootName.size()), true);
    sink(batch);
    batch.clear();
    int delivered = 0;
    for (const Entry& e : entries) {
        if (hasFailure && delivered == failure.after)
            break;
        batch.add(e.inode, e.parent, e.name.constData(), size_t(e.name.size()), e.isDir);
        ++delivered;
        if (int(batch.size()) >= batchSize) {
            if (canceled())
                throw FileSearchCancelException("Canceled", QStringLiteral("ScriptedVolumeLayer"), __LINE__);
            sink(batch);
            batch.clear();
        }
    }
    if (batch.size() > 0) {
        if (canceled())
            throw FileSearchCancelException("Canceled", QStringLiteral("ScriptedVolumeLayer"), __LINE__);
        sink(batch);
    }
    if (hasFailure)
        throw FileSearchException(failure.message, QStringLiteral("ScriptedVolumeLayer"), __LINE__);
}

VolumeDescription ScriptedVolumeLayer::describe(const QString& mountPoint, const QString& fsType,
                                                quint32 serial, bool indexable, bool network, bool alias)
{
    VolumeDescription v;
    v.mountPoint = mountPoint;
    v.fsType = fsType;
    v.serial = serial;
    v.indexable = indexable;
    v.network = network;
    v.alias = alias;
    v.fixed = !network;
    return v;
}
