#include "search/engine/FolderWalker.h"

#include "core/FileNameCodec.h"
#include "core/Logger.h"
#include "core/LongPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int kListFlags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
constexpr int kParentFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

HandleHolder openPath(const QString& path, int flags, int* error)
{
    const PathAt at(path);
    HandleHolder fd(at.isValid() ? ::openat(at.folder(), at.name(), flags) : -1);
    if (!fd.isValid())
        *error = at.isValid() ? errno : at.error();
    return fd;
}

} // namespace

FolderWalker::FolderWalker(const QStringList& startFolders, const QStringList& excluded,
                           bool intoSubfolders)
    : folders(startFolders)
    , excludes(excluded)
    , startCount(startFolders.size())
    , recursive(intoSubfolders)
    , parent(startFolders.size(), -1)
{
    origin.reserve(startCount);
    for (int i = 0; i < startCount; ++i)
        origin.append(i);
}

FolderWalker::~FolderWalker()
{
    logFailureCount();
}

bool FolderWalker::isExcluded(const QString& path) const
{
    return excludes.excludes(path);
}

void FolderWalker::stayOnVolumes(const QSet<QString>& points)
{
    oneVolume = true;
    mountPoints = points;
    startDevice = QVector<quint64>(startCount, 0);
}

QString FolderWalker::next()
{
    return advance() ? current.currentPath() : QString();
}

QByteArray FolderWalker::pathBelow(int at, int above) const
{
    const QString& top = folders.at(above);
    const int skip = top.size() + (top.endsWith(QLatin1Char('/')) ? 0 : 1);
    return FileNameCodec::encode(folders.at(at).mid(skip));
}

HandleHolder FolderWalker::openParent(int at, int* error)
{
    const int start = origin.at(at);
    if (start != startIndex) {
        startFd = openPath(folders.at(start), kParentFlags, error);
        startIndex = start;
        if (!startFd.isValid())
            startError = *error;
    }
    if (!startFd.isValid()) {
        *error = startError;
        return HandleHolder();
    }
    // Below the start folder only the folders the walk listed itself are passed through.
    HandleHolder fd = openBelowWithoutLinks(startFd.handle(), pathBelow(at, start), kParentFlags);
    if (!fd.isValid())
        *error = errno;
    return fd;
}

HandleHolder FolderWalker::openFolder(int at, int* error)
{
    if (at < startCount)
        return openPath(folders.at(at), kListFlags, error);
    const int above = parent.at(at);
    if (above != parentIndex) {
        parentFd = openParent(above, error);
        parentIndex = above;
        if (!parentFd.isValid())
            return HandleHolder();
    } else if (!parentFd.isValid()) {
        *error = ENOENT; // the parent folder is gone (its own failure was noted)
        return HandleHolder();
    }
    HandleHolder fd(::openat(parentFd.handle(), pathBelow(at, above).constData(), kListFlags | O_NOFOLLOW));
    if (!fd.isValid())
        *error = errno;
    return fd;
}

void FolderWalker::noteFailure(const QString& folder, int error)
{
    ++failures;
    if (failures <= kLoggedFailures)
        TQ_LOG_WARNING("FolderWalker", QStringLiteral("Folder not listed: %1 (%2)")
                                           .arg(folder, QString::fromLocal8Bit(std::strerror(error))));
}

void FolderWalker::logFailureCount()
{
    if (failuresLogged || failures <= kLoggedFailures)
        return;
    failuresLogged = true;
    TQ_LOG_WARNING("FolderWalker", QStringLiteral("%1 folders could not be listed (the first %2 are logged above)")
                                       .arg(failures)
                                       .arg(kLoggedFailures));
}

bool FolderWalker::advance()
{
    for (;;) {
        if (current.advance()) {
            // The folder being listed passed the test: the entry's own name (and path) remain.
            if (!excludes.isEmpty()
                && excludes.excludesEntry(current.currentRawName(), current.currentRawNameLength(),
                                          excludes.needsPaths() ? current.currentPath() : QString()))
                continue;
            if (current.isDirectory() && recursive) {
                const QString path = current.currentPath();
                // Another mount is returned as an entry of this volume but not listed.
                if (oneVolume && mountPoints.contains(path)) {
                    atEnd = false;
                    return true;
                }
                folders.append(path);
                parent.append(index);
                origin.append(origin.at(index));
            }
            atEnd = false;
            return true;
        }
        // A folder that vanished since it was found (ENOENT) is simply not there any more.
        if (current.error() != 0 && !(current.error() == ENOENT && index >= startCount))
            noteFailure(current.currentFolderPath(), current.error());
        current.setFolder(QString());
        ++index;
        if (index >= folders.size()) {
            index = folders.size();
            atEnd = true;
            parentFd.reset();
            startFd.reset();
            logFailureCount();
            return false;
        }
        const QString& folder = folders.at(index);
        if (index < startCount && isExcluded(folder))
            continue;
        int error = 0;
        HandleHolder fd = openFolder(index, &error);
        if (fd.isValid() && oneVolume && index >= startCount && isOtherMount(fd.handle(), origin.at(index)))
            continue;
        current.setFolder(folder, std::move(fd), index >= startCount, error);
    }
}

bool FolderWalker::isOtherMount(int fd, int start)
{
    // The root of a mount the volume layer does not know (a pseudo, overlay or image file
    // system) is not listed. A folder on another device that is no mount root is a nested
    // btrfs subvolume: part of this volume's tree, listed.
    struct statx sx;
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_INO, &sx) != 0)
        return true;
    if (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        return (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    // Without the attribute: by device, as mounts on the same device are few.
    const quint64 device = (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    if (startDevice.at(start) == 0) {
        const PathAt at(folders.at(start));
        struct statx st;
        if (at.isValid() && ::statx(at.folder(), at.name(), 0, STATX_INO, &st) == 0)
            startDevice[start] = (quint64(st.stx_dev_major) << 32) | st.stx_dev_minor;
    }
    return startDevice.at(start) != 0 && device != startDevice.at(start);
}

QString FolderWalker::currentName() const
{
    return atEnd ? QString() : current.currentName();
}

QString FolderWalker::currentFolder() const
{
    if (atEnd)
        return QString();
    // The part of the entry's path before its last "/".
    const QString& folder = current.currentFolderPath();
    return folder.endsWith(QLatin1Char('/')) ? folder.left(folder.size() - 1) : folder;
}

bool FolderWalker::isCurrentDirectory() const
{
    return current.isDirectory();
}
