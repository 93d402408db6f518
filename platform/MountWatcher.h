// MountWatcher: reports mounts that arrive and leave.
//
// The kernel marks /proc/self/mountinfo with POLLPRI whenever the mount table of the process's
// namespace changes. A QSocketNotifier of type Exception on that file wakes the watcher on the
// thread it lives on; it re-reads the table and compares it with the one it knew. A mount is
// identified by its mount id, so a volume unmounted and mounted again at the same place between
// two looks is reported as removed and then arrived. Removals are reported first, then
// arrivals, each in mount-table order; pseudo file systems (proc, sysfs, cgroup, ...) are
// left out. A table that cannot be read changes nothing (no mount table is ever empty).
#pragma once

#include "core/HandleHolder.h"

#include <QMap>
#include <QObject>
#include <QString>

class QSocketNotifier;

class MountWatcher : public QObject
{
    Q_OBJECT
public:
    explicit MountWatcher(QObject* parent = nullptr);
    // `mountInfoPath` lets tests watch a prepared file (rescan() is then called by hand).
    explicit MountWatcher(const QString& mountInfoPath, QObject* parent = nullptr);
    ~MountWatcher() override;

    // Starts watching; false when the mount table cannot be opened.
    bool start();

    // Mount points currently known, in mount-table order.
    QStringList mountPoints() const;

public slots:
    // Reads the table again and emits the differences.
    void rescan();

signals:
    void mountArrived(const QString& mountPoint);
    void mountRemoved(const QString& mountPoint);

private:
    // *readable is false when the table could not be read or held no mount at all.
    QMap<int, QString> readTable(QList<int>* order, bool* readable = nullptr) const;
    // Reads the watched descriptor to its end, which re-arms the kernel's change notification.
    void rearm();

    QString path_;
    HandleHolder fd_;
    QSocketNotifier* notifier_ = nullptr;
    QMap<int, QString> known_;   // mount id -> mount point
    QList<int> order_;
};
