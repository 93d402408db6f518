#include "platform/VolumeLayer.h"
#include "platform/LinuxVolumeLayer.h"

#include <atomic>

void VolumeEntryBatch::add(quint64 inode, quint64 parent, const char* nameBytes, size_t length, bool isDir)
{
    if (length > 0xFFFF)
        length = 0xFFFF;
    VolumeEntry e;
    e.inode = inode;
    e.parent = parent;
    e.nameOffset = quint32(names.size());
    e.nameLength = quint16(length);
    e.isDir = isDir;
    names.append(nameBytes, length);
    names.push_back('\0');
    entries.push_back(e);
}

VolumeLayer::~VolumeLayer() = default;

quint64 VolumeLayer::fileSystemId(const QString&)
{
    return 0;
}

VolumeEntryConsumer::~VolumeEntryConsumer() = default;

void VolumeEntryConsumer::finish(int) {}

void VolumeEntryConsumer::missed(quint64) {}

void VolumeLayer::enumerateFolder(const QString&, const QByteArray&, quint64, int, const QByteArray&, const bool*,
                                  VolumeEntryConsumer& consumer)
{
    consumer.start(1);
    consumer.finish(0);
}

void VolumeLayer::enumerateParallel(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                                    VolumeEntryConsumer& consumer)
{
    consumer.start(1);
    struct Finish
    {
        VolumeEntryConsumer& c;
        ~Finish() { c.finish(0); }
    } finish{consumer};
    enumerate(mountPoint, rootName, cancel, [&consumer](const VolumeEntryBatch& batch) { consumer.consume(0, batch); });
}

namespace {
std::atomic<VolumeLayer*> installedLayer{nullptr};
}

VolumeLayer& VolumeLayer::instance()
{
    if (VolumeLayer* layer = installedLayer.load())
        return *layer;
    static LinuxVolumeLayer real;
    return real;
}

VolumeLayer* VolumeLayer::setInstance(VolumeLayer* layer)
{
    return installedLayer.exchange(layer);
}

quint64 VolumeLayer::deviceOf(const QString&)
{
    return 0;
}

QStringList VolumeLayer::nestedSubvolumes(const QString&)
{
    return {};
}
