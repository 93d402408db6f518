// VolumeHistory: what the index set remembers of the volumes it has seen, so that a volume gone
// for good can be told from one that is only away (an unplugged disk).
//
// One sighting per serial: whether the volume was removable when last seen, the day it was last
// seen (days since 1970-01-01, UTC) and at how many starts in a row it has been missing since.
// The set notes one start at a time (noteStart): every volume present is seen today; every
// other serial it lists or remembers has missed one more start.
//
// A volume counts as gone for good only when all of these hold (conservative: an index is never
// deleted for a disk that may come back):
// - it was last seen as a fixed volume (not removable, not through USB, tmpfs included);
// - it has been missing at kMissedStarts starts in a row;
// - it was last seen at least kMissedDays days ago.
// A removable volume is never gone for good, whatever its absence, and neither is a serial of
// which nothing was recorded (listed in the settings before the history began, or a disk whose
// kind is unknown): it is remembered as removable. A gone volume stays in the history until a
// start finds it no longer listed (its removal from the settings was written back), then the
// history forgets it too.
//
// The history is kept as the file "volumes" in the index folder (VolumeHistory::FileName, see
// IndexFile's names), beside the index files and with their protection: written whole through
// a temporary file (saveFileIn), readable by its owner only, never through a link. Lines of
// "<serial hex> <removable 0|1> <last seen day> <missed starts>"; a line that does not read is
// skipped.
#pragma once

#include <QList>
#include <QMap>
#include <QString>

class VolumeHistory
{
public:
    enum { kMissedStarts = 10, kMissedDays = 30 };

    struct Sighting
    {
        bool removable = true;
        qint64 lastSeenDay = 0;
        int missedStarts = 0;
        bool operator==(const Sighting& o) const
        {
            return removable == o.removable && lastSeenDay == o.lastSeenDay && missedStarts == o.missedStarts;
        }
    };

    // Reads "<indexFolder>/volumes" (indexFolder: the folder of the index files, "<base>/DB").
    // A missing file is an empty history.
    void load(const QString& indexFolder);
    // Writes it; false (with *error) when it cannot be written.
    bool save(const QString& indexFolder, QString* error = nullptr) const;

    // One start: `present` maps the serial of every volume present to whether it is removable;
    // `listed` are the serials of the settings' lists. Returns the serials gone for good that are
    // still listed (to be pruned from the settings, their index files deleted).
    QList<quint32> noteStart(const QMap<quint32, bool>& present, const QList<quint32>& listed, qint64 today);

    // Volumes seen while the program runs (a disk mounted later): seen today. True when that
    // changed the history.
    bool noteSeen(const QMap<quint32, bool>& present, qint64 today);
    // Whether `serial` was recorded as seen today (nothing to note again).
    bool seenOn(quint32 serial, qint64 today) const;

    const QMap<quint32, Sighting>& sightings() const { return sightings_; }
    void setSightings(const QMap<quint32, Sighting>& s) { sightings_ = s; }

    static qint64 today();

private:
    static bool isGone(const Sighting& s, qint64 today);

    QMap<quint32, Sighting> sightings_;
};
