#include "search/model/FileStatus.h"

#include "core/LongPath.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

QDateTime timeOf(const struct statx_timestamp& t)
{
    const qint64 msecs = qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
    return msecs ? QDateTime::fromMSecsSinceEpoch(msecs) : QDateTime();
}

} // namespace

FileStatus::FileStatus(const QString& path)
{
    if (path.isEmpty())
        return;
    const PathAt at(path);
    struct statx sx;
    if (!at.isValid()
        || ::statx(at.folder(), at.name(), AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return;
    exists = true;
    isDir = S_ISDIR(sx.stx_mode);
    size = qint64(sx.stx_size);
    if (sx.stx_mask & STATX_BTIME)
        birth = timeOf(sx.stx_btime);
    statusChanged = timeOf(sx.stx_ctime);
    modified = timeOf(sx.stx_mtime);
    accessed = timeOf(sx.stx_atime);
}
