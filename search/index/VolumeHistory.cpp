#include "search/index/VolumeHistory.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/HandleHolder.h"
#include "search/index/IndexFile.h"

#include <QDateTime>
#include <QFile>
#include <QSet>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A history file is a few dozen lines; anything larger is not one.
constexpr qint64 kMaxBytes = 1 << 20;

} // namespace

qint64 VolumeHistory::today()
{
    return QDateTime::currentSecsSinceEpoch() / 86400;
}

void VolumeHistory::load(const QString& indexFolder)
{
    sightings_.clear();
    const HandleHolder dir = IndexFile::openFolder(indexFolder, false, nullptr);
    if (!dir.isValid())
        return;
    HandleHolder fd(::openat(dir.handle(), IndexFile::HistoryFileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    struct stat st;
    if (!fd.isValid() || ::fstat(fd.handle(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxBytes)
        return;
    QFile file;
    if (!file.open(fd.handle(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return;
    const QList<QByteArray> lines = file.read(kMaxBytes).split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() != 4)
            continue;
        bool ok[4];
        const quint32 serial = f.at(0).toUInt(&ok[0], 16);
        const int removable = f.at(1).toInt(&ok[1]);
        Sighting s;
        s.lastSeenDay = f.at(2).toLongLong(&ok[2]);
        s.missedStarts = f.at(3).toInt(&ok[3]);
        if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || serial == 0 || (removable != 0 && removable != 1)
            || s.missedStarts < 0)
            continue;
        s.removable = removable == 1;
        sightings_.insert(serial, s);
    }
}

bool VolumeHistory::save(const QString& indexFolder, QString* error) const
{
    QString why;
    const HandleHolder dir = IndexFile::openFolder(indexFolder, true, &why);
    if (!dir.isValid()) {
        if (error)
            *error = why;
        return false;
    }
    QByteArray text;
    for (auto it = sightings_.constBegin(); it != sightings_.constEnd(); ++it)
        text += QByteArray::number(it.key(), 16) + ' ' + (it.value().removable ? '1' : '0') + ' '
            + QByteArray::number(it.value().lastSeenDay) + ' ' + QByteArray::number(it.value().missedStarts) + '\n';
    QString failure;
    const SaveResult result = saveFileIn(
        dir.handle(), IndexFile::HistoryFileName, [&text](QFile& file) { return file.write(text) == text.size(); },
        &failure, 0600);
    if (result != SaveResult::Saved && error)
        *error = failure;
    return result == SaveResult::Saved;
}

bool VolumeHistory::isGone(const Sighting& s, qint64 today)
{
    return !s.removable && s.missedStarts >= kMissedStarts && today - s.lastSeenDay >= kMissedDays;
}

QList<quint32> VolumeHistory::noteStart(const QMap<quint32, bool>& present, const QList<quint32>& listed, qint64 today)
{
    for (auto it = present.constBegin(); it != present.constEnd(); ++it) {
        if (it.key() != 0)
            sightings_.insert(it.key(), Sighting{it.value(), today, 0});
    }
    const QSet<quint32> listedSet(listed.begin(), listed.end());
    for (const quint32 serial : listedSet) {
        if (serial != 0 && !present.contains(serial) && !sightings_.contains(serial))
            sightings_.insert(serial, Sighting{true, today, 0}); // nothing known: kept as removable
    }
    QList<quint32> gone;
    for (auto it = sightings_.begin(); it != sightings_.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        ++it.value().missedStarts;
        if (!isGone(it.value(), today)) {
            ++it;
        } else if (listedSet.contains(it.key())) {
            gone.append(it.key());
            ++it;
        } else {
            it = sightings_.erase(it); // gone, and no longer in the settings: forgotten
        }
    }
    return gone;
}

bool VolumeHistory::noteSeen(const QMap<quint32, bool>& present, qint64 today)
{
    bool changed = false;
    for (auto it = present.constBegin(); it != present.constEnd(); ++it) {
        if (it.key() == 0)
            continue;
        const Sighting seen{it.value(), today, 0};
        if (!(sightings_.value(it.key()) == seen) || !sightings_.contains(it.key())) {
            sightings_.insert(it.key(), seen);
            changed = true;
        }
    }
    return changed;
}

bool VolumeHistory::seenOn(quint32 serial, qint64 today) const
{
    const auto it = sightings_.constFind(serial);
    return it != sightings_.constEnd() && it->lastSeenDay == today && it->missedStarts == 0;
}
