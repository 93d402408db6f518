// DriveConnectionNotifier: tells the index set when a volume is mounted or unmounted.
//
// Linux has no device-change window messages: the notifier owns a MountWatcher, which watches
// /proc/self/mountinfo (POLLPRI through a QSocketNotifier on the thread the notifier lives on)
// and reports every mount point that arrived or left, removals first, each in mount-table
// order. Each one becomes a driveConnected or driveDisconnected signal with the mount point in
// place of the drive letter, after a debug line "Drive connected: <mount point>" or
// "Drive disconnected: <mount point>" (tag "DriveConnectionNotifier"). Mounts of every kind are
// reported; the index set decides which of them are indexable volumes.
//
// The session-end query of the original hidden window has no counterpart here: session end
// reaches the application through QGuiApplication::commitDataRequest and signals.
//
// The notifier and its watcher belong to one thread with an event loop (the GUI thread); the
// signals are emitted there.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class MountWatcher;

class DriveConnectionNotifier : public QObject
{
    Q_OBJECT

public:
    explicit DriveConnectionNotifier(QObject* parent = nullptr);
    ~DriveConnectionNotifier() override;

    // Creates the watcher (replacing and deleting an earlier one) and starts it. An empty
    // path watches /proc/self/mountinfo; tests give a prepared file and call rescan. A table
    // that cannot be watched is logged at error level ("Failed to watch the mount table %1").
    void setup(const QString& mountInfoPath = QString());

    // Reads the mount table again and reports the differences (tests, and after set-up).
    void rescan();

signals:
    void driveConnected(const QString& mountPoint);
    void driveDisconnected(const QString& mountPoint);

private:
    void onArrived(const QString& mountPoint);
    void onRemoved(const QString& mountPoint);

    std::unique_ptr<MountWatcher> watcher_;
};
