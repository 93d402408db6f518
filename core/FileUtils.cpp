#include "core/FileUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Deletes every entry of the open folder `dirFd` (which this function owns and closes), never
// following a link. True when all entries were removed.
bool removeContents(int dirFd, int depth)
{
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return false;
    }
    bool ok = true;
    while (struct dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (::strcmp(name, ".") == 0 || ::strcmp(name, "..") == 0)
            continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                ok = false;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            const int child = depth < 4096
                ? ::openat(::dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                : -1;
            if (child < 0 || !removeContents(child, depth + 1)) {
                ok = false;
                continue;
            }
            if (::unlinkat(::dirfd(dir), name, AT_REMOVEDIR) != 0 && errno != ENOENT)
                ok = false;
        } else if (::unlinkat(::dirfd(dir), name, 0) != 0 && errno != ENOENT) {
            ok = false;
        }
    }
    ::closedir(dir);
    return ok;
}

} // namespace

QString pathExtension(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash)
        return QString();
    return path.mid(dot + 1);
}

QString pathFileName(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.mid(slash + 1);
}

QString pathDirectory(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

bool makePath(const QString& path)
{
    return QDir().mkpath(path);
}

bool removeDirectoryRecursively(const QString& path)
{
    if (path.isEmpty())
        return false;
    // A trailing "/" or "/." makes the system resolve a final link (lstat and O_NOFOLLOW then
    // see its target), so the path is cleaned first: "link/" names the link itself. The root
    // folder is never removed.
    const QString cleaned = QDir::cleanPath(path);
    if (cleaned == QLatin1String("/"))
        return false;
    const QByteArray encoded = QFile::encodeName(cleaned);
    struct stat st;
    if (::lstat(encoded.constData(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) {
        // A link (to a folder or not) goes as a link; a plain file is not a folder to remove.
        return S_ISLNK(st.st_mode) && ::unlink(encoded.constData()) == 0;
    }
    const int fd = ::open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool emptied = removeContents(fd, 0);
    if (::rmdir(encoded.constData()) != 0)
        return errno == ENOENT && emptied;
    return emptied;
}

bool isDirectory(const QString& path)
{
    return QFileInfo(path).isDir();
}

QString uniqueTempFileName()
{
    QTemporaryFile file;
    if (!file.open())
        return QString();
    const QString name = QDir::toNativeSeparators(file.fileName());
    file.close();
    file.remove();
    return name;
}

QString executableDirectory()
{
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return QString();
    QString path = QFile::decodeName(QByteArray(buffer, int(length)));
    if (path.endsWith(QLatin1String(" (deleted)")))
        path.chop(10);
    return pathDirectory(path);
}
