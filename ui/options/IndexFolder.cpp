#include "ui/options/IndexFolder.h"

#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "search/index/IndexFile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kTag[] = "OptionsDialog";

// True when `inner` is `outer` or lies inside it (clean absolute paths).
bool isInside(const QString& inner, const QString& outer)
{
    if (outer == QLatin1String("/"))
        return true;
    return inner == outer || inner.startsWith(outer + QLatin1Char('/'));
}

// Opens the folder at the clean absolute `path` one component at a time, following no link.
int openFolderNoFollow(const QString& path)
{
    HandleHolder fd(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (!fd.isValid())
            return -1;
        fd.reset(::openat(fd.handle(), FileNameCodec::encode(part).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    return fd.release();
}

} // namespace

QString IndexFolder::cleanPath(const QString& path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(path);
}

IndexFolder::Change IndexFolder::compare(const QString& oldPath, const QString& newPath)
{
    const QString before = cleanPath(oldPath);
    const QString after = cleanPath(newPath);
    if (after.trimmed().isEmpty())
        return Empty;
    if (!after.startsWith(QLatin1Char('/')))
        return Relative;
    if (after == before)
        return Unchanged;
    if (before.startsWith(QLatin1Char('/')) && (isInside(after, before) || isInside(before, after)))
        return Nested;
    return Moved;
}

bool IndexFolder::isIndexFileName(const QString& name)
{
    return IndexFile::isIndexFolderFile(name);
}

bool IndexFolder::removeIndexFiles(const QString& basePath, int* removed)
{
    if (removed)
        *removed = 0;
    const QString clean = cleanPath(basePath);
    if (!clean.startsWith(QLatin1Char('/')))
        return true;
    // The user's own choice of links is resolved now, once.
    const QString base = QFileInfo(clean).canonicalFilePath();
    if (base.isEmpty())
        return true;
    HandleHolder baseFd(openFolderNoFollow(base));
    if (baseFd.handle() < 0) {
        TQ_LOG_WARNING(kTag, QStringLiteral("The old index folder %1 is not removed: %2")
                                 .arg(base, QString::fromLocal8Bit(::strerror(errno))));
        return false;
    }
    HandleHolder dbFd(
        ::openat(baseFd.handle(), "DB", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (dbFd.handle() < 0) {
        if (errno == ENOENT)
            return true;
        TQ_LOG_WARNING(kTag, QStringLiteral("The old index folder %1/DB is not removed: %2")
                                 .arg(base, QString::fromLocal8Bit(::strerror(errno))));
        return false;
    }
    HandleHolder listFd(::dup(dbFd.handle()));
    DIR* dir = listFd.isValid() ? ::fdopendir(listFd.handle()) : nullptr;
    if (!dir)
        return false;
    listFd.release(); // the stream closes it now
    bool ok = true;
    while (struct dirent* entry = ::readdir(dir)) {
        const QString name = FileNameCodec::decode(QByteArray(entry->d_name));
        if (!isIndexFileName(name))
            continue;
        struct stat st;
        if (::fstatat(dbFd.handle(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            continue;
        if (::unlinkat(dbFd.handle(), entry->d_name, 0) == 0) {
            if (removed)
                ++*removed;
        } else {
            ok = false;
            TQ_LOG_WARNING(
                kTag, QStringLiteral("Cannot remove the old index file %1/DB/%2").arg(base, name));
        }
    }
    ::closedir(dir);
    // The folder goes only when nothing of the user's is left in it.
    if (::unlinkat(baseFd.handle(), "DB", AT_REMOVEDIR) != 0 && errno != ENOTEMPTY &&
        errno != EEXIST)
        TQ_LOG_WARNING(kTag, QStringLiteral("Cannot remove the old index folder %1/DB").arg(base));
    return ok;
}
