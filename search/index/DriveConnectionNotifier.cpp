#include "search/index/DriveConnectionNotifier.h"

#include "core/Logger.h"
#include "platform/MountWatcher.h"

namespace {
const char* const Tag = "DriveConnectionNotifier";
}

DriveConnectionNotifier::DriveConnectionNotifier(QObject* parent)
    : QObject(parent)
{
}

DriveConnectionNotifier::~DriveConnectionNotifier() = default;

void DriveConnectionNotifier::setup(const QString& mountInfoPath)
{
    watcher_.reset(mountInfoPath.isEmpty() ? new MountWatcher : new MountWatcher(mountInfoPath));
    connect(watcher_.get(), &MountWatcher::mountArrived, this, &DriveConnectionNotifier::onArrived);
    connect(watcher_.get(), &MountWatcher::mountRemoved, this, &DriveConnectionNotifier::onRemoved);
    if (!watcher_->start()) {
        TQ_LOG_ERROR(Tag, QStringLiteral("Failed to watch the mount table %1")
                              .arg(mountInfoPath.isEmpty() ? QStringLiteral("/proc/self/mountinfo")
                                                           : mountInfoPath));
    }
}

void DriveConnectionNotifier::rescan()
{
    if (watcher_)
        watcher_->rescan();
}

void DriveConnectionNotifier::onArrived(const QString& mountPoint)
{
    TQ_LOG_DEBUG(Tag, QStringLiteral("Drive connected: ") + mountPoint);
    emit driveConnected(mountPoint);
}

void DriveConnectionNotifier::onRemoved(const QString& mountPoint)
{
    TQ_LOG_DEBUG(Tag, QStringLiteral("Drive disconnected: ") + mountPoint);
    emit driveDisconnected(mountPoint);
}
