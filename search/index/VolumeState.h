// VolumeState: how a volume is searched right now, as the index set reports it.
//
// Every volume of a whole-machine search is either answered by the index (Indexed, Updating:
// a loaded index being reconciled, or a rebuild, while it still answers) or walked at search
// time: not yet built (Loading), walked for a reason of its own (Walked, with `reason`), or
// because indexing it failed (Failed, with the failure's text in `error`). `chosen` says whether
// the volume is one the settings ask to index ("IndexDrives", auto-added ones included): only
// such a volume not served by the index makes the index incomplete.
//
// VolumeStateBook keeps the states of the volumes the index set knows (the indexable volumes
// present). It has its own small lock, so that the GUI thread can read it at any time without
// waiting for a volume being built or for the set's volume map; `changed` is called (on the
// thread that made the change, without the lock held) whenever the list it gives changes.
//
// withWalkedVolumes() completes the set's list with the volumes of a mount table that the index
// never takes: disks without stable inode numbers (fuseblk, vfat, exfat) and an overlay "/".
#pragma once

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QSet>
#include <QString>

#include <functional>
#include <map>
#include <mutex>

struct VolumeDescription;

struct VolumeState
{
    enum class State { Indexed, Updating, Loading, Walked, Failed };
    enum Reason {
        NoReason,
        NotChosen,       // the settings do not ask for its index
        MarkRefused,     // the file system refuses a whole-file-system watch
        Subvolume,       // as MarkRefused, on a btrfs subvolume mount
        NoStableInodes,  // fuseblk, vfat, exfat: inode numbers do not last
        OverlayRoot,     // an overlay mounted as "/"
        SameSerial,      // another volume present has its serial; that one is indexed
        NoSerial,        // its serial cannot be read: it cannot be told apart
    };

    QString mountPoint;
    QString fsType;      // empty when the set does not know it
    quint32 serial = 0;
    bool chosen = false;
    State state = State::Loading;
    Reason reason = NoReason;
    QString error;       // Failed: what went wrong

    // Whether the index answers for the volume now.
    bool served() const { return state == State::Indexed || state == State::Updating; }
    // Chosen and not answered by the index although its build has ended (walked or failed).
    bool missing() const { return chosen && (state == State::Walked || state == State::Failed); }

    bool operator==(const VolumeState& o) const
    {
        return mountPoint == o.mountPoint && fsType == o.fsType && serial == o.serial && chosen == o.chosen
            && state == o.state && reason == o.reason && error == o.error;
    }
    bool operator!=(const VolumeState& o) const { return !(*this == o); }
};
Q_DECLARE_METATYPE(VolumeState)

// The set's states plus a Walked entry for every volume of `volumes` that the index never takes
// (local, not an alias, not indexable), sorted by mount point. Entries of the set for mount
// points no longer in `volumes` are dropped; the file-system type is filled in from `volumes`,
// and a refused watch on a btrfs mount is reported as Subvolume.
QList<VolumeState> withWalkedVolumes(const QList<VolumeState>& setStates, const QList<VolumeDescription>& volumes);

class VolumeStateBook
{
public:
    explicit VolumeStateBook(std::function<void()> changed = {});

    void setChangedCallback(std::function<void()> changed);

    // The volumes present (mount point -> serial), those that cannot be identified, and the
    // serials the settings ask to index.
    void setPresent(const QMap<QString, quint32>& present, const QStringList& unidentified,
                    const QList<quint32>& chosen);
    // The index of the volume at `mountPoint` is being loaded or built / answers / is gone.
    void setLoading(const QString& mountPoint, quint32 serial);
    void setIndexed(const QString& mountPoint, quint32 serial);
    void setFailed(const QString& mountPoint, quint32 serial, const QString& error);
    void setRefused(const QString& mountPoint, quint32 serial, const QString& error);
    void forget(const QString& mountPoint);
    // Background work of an indexed volume (reconciling, rebuilding) begins / ends.
    void setUpdating(const QString& mountPoint, bool updating);

    // One entry per present volume, sorted by mount point.
    QList<VolumeState> states() const;

private:
    struct Entry
    {
        quint32 serial = 0;
        VolumeState::State state = VolumeState::State::Loading;
        VolumeState::Reason reason = VolumeState::NoReason;
        QString error;
        int updating = 0;
    };
    QList<VolumeState> statesLocked() const;
    // Runs `change` under the lock and reports when the list changed.
    void edit(const std::function<void()>& change);

    mutable std::mutex mutex_;
    std::function<void()> changed_;
    QMap<QString, quint32> present_;
    QStringList unidentified_;
    QSet<quint32> chosen_;
    std::map<QString, Entry> entries_;
};
