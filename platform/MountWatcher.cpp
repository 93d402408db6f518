#include "platform/MountWatcher.h"
#include "platform/LinuxVolumeLayer.h"
#include "platform/MountTable.h"

#include <QFile>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

MountWatcher::MountWatcher(QObject* parent)
    : MountWatcher(QStringLiteral("/proc/self/mountinfo"), parent)
{
}

MountWatcher::MountWatcher(const QString& mountInfoPath, QObject* parent)
    : QObject(parent), path_(mountInfoPath)
{
    known_ = readTable(&order_);
}

MountWatcher::~MountWatcher()
{
    delete notifier_;
}

bool MountWatcher::start()
{
    if (fd_.isValid())
        return true;
    fd_.reset(::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC));
    if (!fd_.isValid())
        return false;
    // The kernel signals a change of the table as POLLPRI (an "exception" to the notifier).
    notifier_ = new QSocketNotifier(fd_.handle(), QSocketNotifier::Exception, this);
    connect(notifier_, &QSocketNotifier::activated, this, &MountWatcher::rescan);
    rearm();
    known_ = readTable(&order_);
    return true;
}

QStringList MountWatcher::mountPoints() const
{
    QStringList list;
    for (int id : order_)
        list.append(known_.value(id));
    return list;
}

QMap<int, QString> MountWatcher::readTable(QList<int>* order, bool* readable) const
{
    QMap<int, QString> table;
    order->clear();
    const QVector<MountEntry> mounts = MountTable::read(path_);
    if (readable)
        *readable = !mounts.isEmpty();
    for (const MountEntry& m : mounts) {
        if (!LinuxVolumeLayer::isVolumeMount(m))
            continue;
        table.insert(m.mountId, m.mountPointPath());
        order->append(m.mountId);
    }
    return table;
}

void MountWatcher::rearm()
{
    if (!fd_.isValid())
        return;
    // Reading the file to its end re-arms the change notification.
    char buffer[4096];
    ::lseek(fd_.handle(), 0, SEEK_SET);
    while (::read(fd_.handle(), buffer, sizeof(buffer)) > 0) {}
}

void MountWatcher::rescan()
{
    rearm();
    QList<int> order;
    bool readable = false;
    const QMap<int, QString> now = readTable(&order, &readable);
    // A table that cannot be read (out of descriptors, say) is never empty in truth: keep the
    // known mounts rather than report every volume as removed.
    if (!readable)
        return;
    const QList<int> oldOrder = order_;
    const QMap<int, QString> old = known_;
    known_ = now;
    order_ = order;
    for (int id : oldOrder)
        if (!now.contains(id))
            emit mountRemoved(old.value(id));
    for (int id : order)
        if (!old.contains(id))
            emit mountArrived(now.value(id));
}
