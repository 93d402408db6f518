#include "search/index/VolumeState.h"

#include "platform/VolumeLayer.h"

#include <algorithm>

QList<VolumeState> withWalkedVolumes(const QList<VolumeState>& setStates, const QList<VolumeDescription>& volumes)
{
    QMap<QString, const VolumeDescription*> byMountPoint;
    for (const VolumeDescription& v : volumes)
        byMountPoint.insert(v.mountPoint, &v);

    QList<VolumeState> result;
    QSet<QString> known;
    for (VolumeState s : setStates) {
        const VolumeDescription* v = byMountPoint.value(s.mountPoint);
        if (!v)
            continue; // gone since the set last looked
        s.fsType = v->fsType;
        if (s.reason == VolumeState::MarkRefused && v->fsType == QLatin1String("btrfs"))
            s.reason = VolumeState::Subvolume;
        known.insert(s.mountPoint);
        result.append(s);
    }
    for (const VolumeDescription& v : volumes) {
        if (known.contains(v.mountPoint) || v.network || v.alias || v.indexable)
            continue;
        VolumeState s;
        s.mountPoint = v.mountPoint;
        s.fsType = v.fsType;
        s.serial = v.serial;
        s.state = VolumeState::State::Walked;
        s.reason = v.fsType == QLatin1String("overlay") ? VolumeState::OverlayRoot : VolumeState::NoStableInodes;
        result.append(s);
    }
    std::sort(result.begin(), result.end(),
              [](const VolumeState& a, const VolumeState& b) { return a.mountPoint < b.mountPoint; });
    return result;
}

VolumeStateBook::VolumeStateBook(std::function<void()> changed)
    : changed_(std::move(changed))
{ }

void VolumeStateBook::setChangedCallback(std::function<void()> changed)
{
    std::lock_guard<std::mutex> guard(mutex_);
    changed_ = std::move(changed);
}

void VolumeStateBook::edit(const std::function<void()>& change)
{
    std::function<void()> report;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        const QList<VolumeState> before = statesLocked();
        change();
        if (statesLocked() != before)
            report = changed_;
    }
    if (report)
        report();
}

void VolumeStateBook::setPresent(const QMap<QString, quint32>& present, const QStringList& unidentified,
                                 const QList<quint32>& chosen)
{
    edit([&] {
        present_ = present;
        unidentified_ = unidentified;
        chosen_ = QSet<quint32>(chosen.begin(), chosen.end());
    });
}

void VolumeStateBook::setLoading(const QString& mountPoint, quint32 serial)
{
    edit([&] {
        entries_[mountPoint] =
            Entry{serial, VolumeState::State::Loading, VolumeState::NoReason, QString(), 0};
    });
}

void VolumeStateBook::setIndexed(const QString& mountPoint, quint32 serial)
{
    edit([&] {
        Entry& e = entries_[mountPoint];
        const int updating = e.serial == serial ? e.updating : 0;
        e = Entry{serial, VolumeState::State::Indexed, VolumeState::NoReason, QString(), updating};
    });
}

void VolumeStateBook::setFailed(const QString& mountPoint, quint32 serial, const QString& error)
{
    edit([&] {
        entries_[mountPoint] =
            Entry{serial, VolumeState::State::Failed, VolumeState::NoReason, error, 0};
    });
}

void VolumeStateBook::setRefused(const QString& mountPoint, quint32 serial, const QString& error)
{
    edit([&] {
        entries_[mountPoint] =
            Entry{serial, VolumeState::State::Walked, VolumeState::MarkRefused, error, 0};
    });
}

void VolumeStateBook::forget(const QString& mountPoint)
{
    edit([&] { entries_.erase(mountPoint); });
}

void VolumeStateBook::setUpdating(const QString& mountPoint, bool updating)
{
    edit([&] {
        Entry& e = entries_[mountPoint];
        e.updating = std::max(0, e.updating + (updating ? 1 : -1));
    });
}

QList<VolumeState> VolumeStateBook::states() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return statesLocked();
}

QList<VolumeState> VolumeStateBook::statesLocked() const
{
    QList<VolumeState> result;
    QSet<quint32> holders; // the first volume of each serial is the one indexed
    for (auto it = present_.constBegin(); it != present_.constEnd(); ++it) {
        VolumeState s;
        s.mountPoint = it.key();
        s.serial = it.value();
        s.chosen = chosen_.contains(s.serial);
        const bool first = !holders.contains(s.serial);
        holders.insert(s.serial);
        const auto e = entries_.find(s.mountPoint);
        const Entry* entry = e != entries_.end() && e->second.serial == s.serial ? &e->second : nullptr;
        if (entry && entry->state == VolumeState::State::Indexed) {
            s.state =
                entry->updating > 0 ? VolumeState::State::Updating : VolumeState::State::Indexed;
        } else if (!s.chosen) {
            s.state = VolumeState::State::Walked;
            s.reason = VolumeState::NotChosen;
        } else if (entry && entry->state != VolumeState::State::Loading) {
            s.state = entry->state; // failed, or walked for a reason of its own
            s.reason = entry->reason;
            s.error = entry->error;
        } else if (!first) {
            s.state = VolumeState::State::Walked;
            s.reason = VolumeState::SameSerial;
        } else {
            s.state = VolumeState::State::Loading; // chosen, its index not built yet
        }
        result.append(s);
    }
    for (const QString& mountPoint : unidentified_) {
        VolumeState s;
        s.mountPoint = mountPoint;
        s.state = VolumeState::State::Walked;
        s.reason = VolumeState::NoSerial;
        result.append(s);
    }
    std::sort(result.begin(), result.end(),
              [](const VolumeState& a, const VolumeState& b) { return a.mountPoint < b.mountPoint; });
    return result;
}
