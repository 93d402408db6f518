// NTFSDB: the name indexes of all indexed volumes (one NTFSDriveDB each), keyed by the volume's
// 32-bit serial, which the settings' "IndexDrives" and "NoIndexDrives" lists hold, so a volume
// keeps its choice when its mount point changes.
//
// It decides from the IndexingSettings which volumes are indexed, creates, saves and drops
// volume indexes as settings change and volumes come and go, and answers name searches over
// all of them in ascending serial order.
//
// Linux decisions and soundness rules:
// - A volume is a mount point (in place of a drive letter). `serials` holds the indexable local
//   volumes that are present (getNtfsDrives: neither network nor alias mounts) with their
//   serials. A mount that arrives but is not such a volume, or whose serial cannot be read
//   (0), is not entered: a volume that cannot be identified is never indexed, and no two
//   volumes share the index file "0".
// - Two present volumes with the same serial (a cloned file system) are never both indexed:
//   the first by mount point is, the other is logged and left out, so they never share a file.
// - A volume index is created with the serial the set knows, and saves under it, so a volume
//   saved because it disappeared keeps its file name.
// - A volume whose mount point has gone, or now holds another volume, is removed: stopped
//   (its monitor joined), saved and destroyed. A dropped volume (moved to "NoIndexDrives") is
//   stopped, joined and destroyed without saving.
// - Volumes to be added are only the listed ones that are present (a listed volume that is not
//   mounted causes no update and no updateStarted). Removed and dropped volumes go before new
//   ones are created, so a volume mounted where another was never meets the departed one's
//   journal.
// - A volume that fails to index (no journal, unreadable volume) is logged and skipped; the
//   others are still handled. Each present volume's state (indexed, being built, walked and
//   why, failed and why) is kept in a VolumeStateBook, readable at any time without any of the
//   locks below (volumeStates), and volumeStatesChanged is emitted (on the thread that made the
//   change) when it changes. A volume whose file system refuses the whole-file-system watch
//   (MarkRefusedException) is walked, not failed. updateFinished follows every updateStarted, also when the update
//   ends with an exception (cancellation through the stop flag passes on to the caller).
// - The set is busy (updateStarted ... updateFinished) while volumes are added, removed or
//   dropped, and while any volume works in the background (the walk that reconciles an index
//   loaded from its file, a rebuild after a lost journal): one count of both, so
//   "Index: updating..." lasts until the last of them ends.
// - Volumes gone for good: at each start the set notes the volumes present in a VolumeHistory
//   kept in the index folder (volumes seen later while running are noted too). A serial that
//   the history finds gone for good (VolumeHistory.h: last seen fixed, missing at 10 starts in a
//   row and for 30 days; removable or unknown volumes never) leaves "IndexDrives" and
//   "NoIndexDrives" and its index file is deleted (inside the index folder, which for a root
//   instance is root's own: PrivateFolders::indexBase). The set then reports an update
//   (updateStarted, updateFinished), so the pruned lists are written back to the settings.
// - A mount event that changes only which file system is seen at a mount point (a tmpfs
//   mounted over a tmpfs: the same serial, another device) replaces that volume's index.
// - Volume arrival and removal come from the DriveConnectionNotifier on the GUI thread; the
//   slots only queue the work, which runs on a thread of the set's own, one event at a time.
//   Each event reads the volumes present again whole (what is visible where may change beyond
//   the mount that came or went: a covering mount left, a bind mount left as its device's only
//   mount).
// - Updates from the "INIT" and "UPDATE" tasks and from volume events are serialised by one
//   update mutex, taken before the volume-map lock.
//
// - Searches never wait for the set to start: a new volume is filed first and then loaded or
//   built without the set's lock. A search answers from every volume that is ready (also while
//   a walk reconciles it), waits for one loading its file (when the search reaches it) and
//   leaves one being built, or failed, to the walk (NTFSDriveDB::phase, `served`).
//
// Locks, in order: the update mutex; `lock` (the volume map: read by search, written only to
// file or unfile volumes and by saveAll); each volume's lock. indexedCounts and
// settings() wait for none of these (a volume may be indexing for a while): a small mutex guards
// the map's structure, one the settings copy, and each volume keeps its count readable without
// its lock.
#pragma once

#include "core/IndexingSettings.h"
#include "search/index/VolumeHistory.h"
#include "search/index/VolumeState.h"

#include <QMap>
#include <QSet>
#include <QObject>
#include <QReadWriteLock>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

class DriveConnectionNotifier;
class FileSearchRequest;
class ResultStore;
class NTFSDriveDB;

class NTFSDB : public QObject
{
    Q_OBJECT

public:
    // `mountInfoPath` is the mount table the notifier watches (empty: the process's own).
    explicit NTFSDB(QObject* parent = nullptr, const QString& mountInfoPath = QString());
    ~NTFSDB() override;

    // The settings searches read (settings()) until setSettings has run: a search that starts
    // while the set starts walks the volumes with the exclusions it will apply.
    void presetSettings(const IndexingSettings& s);
    // First application of settings ("INIT" task).
    void setSettings(bool* stop, const IndexingSettings& s);
    // Later changes of the settings ("UPDATE" task).
    void updateDrives(bool* stop, const IndexingSettings& s);

    // Searches every volume the set holds now; `served`, when given, receives their mount
    // points (read under the same lock as the search): a volume not among them (not chosen,
    // failed, not built yet, not identifiable) is not answered by the index.
    void search(FileSearchRequest* request, ResultStore* results, QSet<QString>* served = nullptr);
    // Mount point -> folders plus files of every indexed volume.
    void indexedCounts(QMap<QString, int>& out) const;
    IndexingSettings settings() const;
    void saveAll();
    // The state of every volume present that the set knows (see VolumeState.h).
    QList<VolumeState> volumeStates() const { return states_.states(); }

    // Waits until the queued volume events have been handled (tests, shutdown).
    void waitForDriveEvents();

    DriveConnectionNotifier* notifier() const { return notifier_.get(); }

public slots:
    void onDriveConnected(const QString& mountPoint);
    void onDriveDisconnected(const QString& mountPoint);

signals:
    void updateStarted();
    void updateFinished();
    void volumeStatesChanged();

private:
    void autoAdd(quint32 serial, const QString& mountPoint);
    // Reads the volumes present again and applies the difference (every mount event).
    void resync();
    // Steps of updateDrives after the new settings are in force; `s` null reads `settings`
    // (also the serials just added by the auto-add rule).
    void update(bool* stop, const IndexingSettings* s);
    void applyLists(bool* stop, const QList<quint32>& toAdd, const QList<quint32>& toRemove,
                    const QList<quint32>& toDrop);
    // Notes the volumes present in the history (at a start: every listed serial not present
    // has missed one start) and returns the serials gone for good; `serials` must be current.
    QList<quint32> noteVolumes(bool start);
    void pruneGoneVolumes(const QList<quint32>& gone);
    void beginBusy();
    void endBusy();
    std::unique_ptr<NTFSDriveDB> takeDrive(quint32 serial);
    void enqueueDriveEvent(std::function<void()> task);
    void driveEventLoop();

    std::map<quint32, std::unique_ptr<NTFSDriveDB>> drives;
    bool initialized = false;
    std::unique_ptr<DriveConnectionNotifier> notifier_;
    QMap<QString, quint32> serials;
    QStringList unidentified; // present volumes whose serial cannot be read
    // The device number of each present volume (VolumeLayer::deviceOf), and of each indexed
    // serial when it was added: a volume replaced by another of the same serial (a tmpfs mounted
    // over a tmpfs) is told by its device and indexed anew.
    QMap<QString, quint64> devices;
    QMap<quint32, quint64> indexedDevices;
    VolumeStateBook states_;
    VolumeHistory history_;   // under the update mutex
    QString historyFolder_;   // the index folder history_ was read from
    mutable QReadWriteLock lock;
    std::unique_ptr<IndexingSettings> settings_;

    std::mutex busyMutex; // `busy`, and the order of updateStarted / updateFinished
    int busy = 0;
    std::mutex updateMutex;           // one update at a time
    mutable std::mutex drivesMutex;   // the structure of `drives`
    mutable std::mutex settingsMutex; // `settings_`

    // Volume events: a queue worked off by one thread.
    std::mutex eventMutex;
    std::condition_variable eventChanged;
    std::deque<std::function<void()>> events;
    bool eventBusy = false;
    bool eventStop = false;
    bool driveStop = false; // the stop flag of updates run for volume events
    std::thread eventThread;
};
