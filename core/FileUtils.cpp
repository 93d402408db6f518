#include "core/FileUtils.h"

#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "core/Logger.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryFile>

#include <climits>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Deletes every entry of the open folder `folder` (closed on return), never following a link.
// Entries are handled by the very bytes readdir gives, relative to the open folder, so names
// that are not UTF-8 go like any other. True when all entries were removed.
bool removeContents(HandleHolder folder, int depth)
{
    DIR* dir = ::fdopendir(folder.handle());
    if (!dir)
        return false;
    folder.release(); // the stream closes it now
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
            HandleHolder child(depth < 4096
                ? ::openat(::dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                : -1);
            if (!child.isValid() || !removeContents(std::move(child), depth + 1)) {
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

// Creates the folder `path` (bytes, no trailing "/") and its missing parents with mode 0777
// (less the umask), as QDir::mkpath does. True when it exists as a folder afterwards.
bool createPath(const QByteArray& path)
{
    if (::mkdir(path.constData(), 0777) == 0)
        return true;
    struct stat st;
    if (errno == EEXIST)
        return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
    if (errno != ENOENT)
        return false;
    const int slash = path.lastIndexOf('/');
    if (slash <= 0 || !createPath(path.left(slash)))
        return false;
    if (::mkdir(path.constData(), 0777) == 0)
        return true;
    return errno == EEXIST && ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Removes the temporary files of earlier saves of `name` that never finished (the program was
// ended while saving), which would otherwise pile up.
void removeStaleTemporaries(int folder, const QByteArray& name)
{
    HandleHolder listed(::dup(folder));
    if (!listed.isValid())
        return;
    DIR* d = ::fdopendir(listed.handle());
    if (!d)
        return;
    listed.release(); // the stream closes it now
    const QString target = FileNameCodec::decode(name);
    while (const dirent* e = ::readdir(d)) {
        QString of;
        if (splitTemporaryName(FileNameCodec::decode(QByteArray(e->d_name)), &of) && of == target)
            ::unlinkat(folder, e->d_name, 0);
    }
    ::closedir(d);
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(::strerror(error));
}

// A QFile that remembers a short write. A write larger than QFile's buffer goes to the system
// directly, and when the disk fills up part-way QFile reports the bytes that did land without
// setting an error; a writer that does not compare counts (QXmlStreamWriter, QTextStream) would
// never know.
class CheckedFile : public QFile
{
public:
    bool shortWrite = false;

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        const qint64 written = QFile::writeData(data, length);
        if (written != length)
            shortWrite = true;
        return written;
    }
};

} // namespace

namespace {

constexpr int kMaxLinks = 40; // as the kernel's own limit on links followed in one lookup

// Whether a folder reached on a root-only walk is root's alone: owned by root, writable by
// nobody else.
bool isRootOnlyFolder(int fd, const QByteArray& part, QString* why)
{
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) {
        *why = QStringLiteral("%1 is not a folder").arg(FileNameCodec::decode(part));
        return false;
    }
    if (st.st_uid != 0 || (st.st_mode & 022) != 0) {
        *why = QStringLiteral("%1 is not root's alone (owner %2, mode %3)")
                   .arg(FileNameCodec::decode(part))
                   .arg(st.st_uid)
                   .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'));
        return false;
    }
    return true;
}

// Walks `path` from the folder `start` (see openFolderThroughOwnLinks); `links` counts the links
// followed so far. Leaves the descriptor of the folder reached in `current`. With `rootOnly`,
// every folder reached must be root's alone, and folders are created with mode 0700.
bool walkOwnLinks(HandleHolder& current, const QByteArray& path, bool create, bool rootOnly, int* links, QString* why)
{
    const uid_t self = rootOnly ? 0 : ::geteuid();
    const QList<QByteArray> parts = path.split('/');
    for (const QByteArray& part : parts) {
        if (part.isEmpty() || part == ".")
            continue;
        struct stat st;
        if (part != ".." && ::fstatat(current.handle(), part.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT || !create) {
                *why = QStringLiteral("%1: %2").arg(FileNameCodec::decode(part), errnoText(errno));
                return false;
            }
            if (::mkdirat(current.handle(), part.constData(), rootOnly ? 0700 : 0777) != 0 && errno != EEXIST) {
                *why = QStringLiteral("Cannot create %1: %2").arg(FileNameCodec::decode(part), errnoText(errno));
                return false;
            }
            if (::fstatat(current.handle(), part.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
                *why = QStringLiteral("%1: %2").arg(FileNameCodec::decode(part), errnoText(errno));
                return false;
            }
        }
        if (part != ".." && S_ISLNK(st.st_mode)) {
            if (st.st_uid != self && st.st_uid != 0) {
                *why = QStringLiteral("%1 is a link that belongs to user %2").arg(FileNameCodec::decode(part)).arg(st.st_uid);
                TQ_LOG_WARNING("FileUtils", QStringLiteral("A link of user %1 (%2) is not followed").arg(st.st_uid).arg(FileNameCodec::decode(part)));
                return false;
            }
            if (++*links > kMaxLinks) {
                *why = QStringLiteral("Too many links");
                return false;
            }
            QByteArray target(PATH_MAX, '\0');
            const ssize_t n = ::readlinkat(current.handle(), part.constData(), target.data(), size_t(target.size()));
            if (n <= 0 || n >= target.size()) {
                *why = QStringLiteral("Cannot read the link %1").arg(FileNameCodec::decode(part));
                return false;
            }
            target.truncate(int(n));
            if (target.startsWith('/'))
                current.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!current.isValid() || !walkOwnLinks(current, target, create, rootOnly, links, why))
                return false;
            continue;
        }
        HandleHolder next(::openat(current.handle(), part.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.isValid()) {
            *why = QStringLiteral("%1: %2").arg(FileNameCodec::decode(part), errnoText(errno));
            return false;
        }
        if (rootOnly && !isRootOnlyFolder(next.handle(), part, why))
            return false;
        current = std::move(next);
    }
    return true;
}

HandleHolder openFolderWalk(const QString& path, bool create, bool rootOnly, QString* why)
{
    QString reason;
    const QByteArray encoded = FileNameCodec::encode(path);
    HandleHolder current(encoded.startsWith('/') ? ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC) : -1);
    int links = 0;
    if (!encoded.startsWith('/'))
        reason = QStringLiteral("not an absolute path");
    else if (current.isValid() && (!rootOnly || isRootOnlyFolder(current.handle(), "/", &reason))
             && walkOwnLinks(current, encoded, create, rootOnly, &links, &reason))
        return HandleHolder(::openat(current.handle(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (why)
        *why = QStringLiteral("The folder %1 is refused: %2").arg(path, reason);
    return HandleHolder();
}

} // namespace

HandleHolder openFolderThroughOwnLinks(const QString& path, bool create, QString* why)
{
    return openFolderWalk(path, create, false, why);
}

HandleHolder openRootOnlyFolder(const QString& path, bool create, QString* why)
{
    return openFolderWalk(path, create, true, why);
}

bool splitTemporaryName(const QString& fileName, QString* target)
{
    const int at = fileName.lastIndexOf(QLatin1String(kTemporaryInfix));
    if (at <= 0)
        return false;
    const int digits = at + int(sizeof(kTemporaryInfix)) - 1;
    if (digits >= fileName.size())
        return false;
    for (int i = digits; i < fileName.size(); ++i) {
        const QChar c = fileName.at(i);
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    }
    if (target)
        *target = fileName.left(at);
    return true;
}

SaveResult saveFileIn(int folderFd, const QByteArray& name, const std::function<bool(QFile& file)>& write,
                      QString* error, mode_t mode)
{
    removeStaleTemporaries(folderFd, name);
    // A temporary name of our own, created exclusively (never an existing file or link).
    QByteArray temporary;
    HandleHolder created;
    for (int attempt = 0; attempt < 100 && !created.isValid(); ++attempt) {
        temporary = name + kTemporaryInfix + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        created.reset(::openat(folderFd, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (!created.isValid() && errno != EEXIST)
            break;
    }
    if (!created.isValid()) {
        *error = errnoText(errno);
        return SaveResult::CreateFailed;
    }
    ::fchmod(created.handle(), mode); // also when the process's umask asked for less

    CheckedFile file;
    bool ok = file.open(created.handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    if (ok) {
        // QFile buffers: a full disk shows only when the buffer is flushed, so the flush, the
        // file's error state and every write's count are checked, not only what `write` said.
        ok = write(file) && !file.shortWrite && file.flush() && file.error() == QFileDevice::NoError;
        if (!ok)
            *error = file.error() != QFileDevice::NoError ? file.errorString()
                : file.shortWrite                         ? QStringLiteral("The disk is full or the write failed")
                                                          : QStringLiteral("The data could not be written");
        file.close();
    } else {
        *error = file.errorString();
    }
    if (ok && ::fsync(created.handle()) != 0) {
        *error = errnoText(errno);
        ok = false;
    }
    created.reset();
    if (ok && ::renameat(folderFd, temporary.constData(), folderFd, name.constData()) != 0) {
        *error = errnoText(errno);
        ok = false;
    }
    if (!ok)
        ::unlinkat(folderFd, temporary.constData(), 0);
    return ok ? SaveResult::Saved : SaveResult::WriteFailed;
}

HandleHolder openFolderCreating(const QByteArray& path, bool create, mode_t mode, int* error)
{
    HandleHolder fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.isValid() || !create || errno != ENOENT) {
        *error = fd.isValid() ? 0 : errno;
        return fd;
    }
    QByteArray walked = path.startsWith('/') ? QByteArrayLiteral("/") : QByteArray();
    const QList<QByteArray> parts = path.split('/');
    for (const QByteArray& part : parts) {
        if (part.isEmpty())
            continue;
        if (!walked.isEmpty() && !walked.endsWith('/'))
            walked += '/';
        walked += part;
        if (::mkdir(walked.constData(), mode) != 0 && errno != EEXIST) {
            *error = errno;
            return HandleHolder();
        }
    }
    fd.reset(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    *error = fd.isValid() ? 0 : errno;
    return fd;
}

SaveResult saveFile(const QString& path, const std::function<bool(QFile& file)>& write, QString* error, mode_t mode,
                    mode_t folderMode)
{
    const QByteArray encoded = FileNameCodec::encode(path);
    const int slash = encoded.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArrayLiteral(".") : slash == 0 ? QByteArrayLiteral("/") : encoded.left(slash);
    const QByteArray name = encoded.mid(slash + 1);
    QString why;
    SaveResult result = SaveResult::CreateFailed;
    int openError = 0;
    if (name.isEmpty() || name == "." || name == "..") {
        why = QStringLiteral("no file name");
    } else {
        const HandleHolder dir = openFolderCreating(folder, true, folderMode, &openError);
        if (dir.isValid())
            result = saveFileIn(dir.handle(), name, write, &why, mode);
        else
            why = QStringLiteral("Cannot open the folder %1: %2").arg(FileNameCodec::decode(folder), errnoText(openError));
    }
    if (error)
        *error = why;
    return result;
}

bool removeFileOrLink(const QString& path, QString* why)
{
    const QByteArray encoded = FileNameCodec::encode(path);
    const int slash = encoded.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArrayLiteral(".") : slash == 0 ? QByteArrayLiteral("/") : encoded.left(slash);
    const QByteArray name = encoded.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..") {
        if (why)
            *why = QStringLiteral("%1: no file name").arg(path);
        return false;
    }
    const HandleHolder dir(::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    // Without AT_REMOVEDIR a folder is never removed, whatever was swapped in meanwhile.
    if ((!dir.isValid() && (errno == ENOENT || errno == ENOTDIR))
        || (dir.isValid() && (::unlinkat(dir.handle(), name.constData(), 0) == 0 || errno == ENOENT)))
        return true;
    if (why)
        *why = QStringLiteral("%1: %2").arg(path, errnoText(errno));
    return false;
}

bool writeFully(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

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
    if (path.isEmpty())
        return false;
    QByteArray encoded = FileNameCodec::encode(path);
    while (encoded.size() > 1 && encoded.endsWith('/'))
        encoded.chop(1);
    return createPath(encoded);
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
    // The folder is handled relative to its opened parent: the checks, the opening and the final
    // removal all concern the same entry, even when the path is changed meanwhile.
    const QByteArray encoded = FileNameCodec::encode(cleaned);
    const int slash = encoded.lastIndexOf('/');
    const QByteArray parent = slash < 0 ? QByteArrayLiteral(".") : slash == 0 ? QByteArrayLiteral("/") : encoded.left(slash);
    const QByteArray name = encoded.mid(slash + 1);
    // O_PATH: searching the parent is enough, as for a removal by path.
    const HandleHolder parentHolder(::open(parent.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    const int parentFd = parentHolder.handle();
    if (parentFd < 0)
        return errno == ENOENT;
    bool result = false;
    struct stat st;
    if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        result = errno == ENOENT;
    } else if (!S_ISDIR(st.st_mode)) {
        // A link (to a folder or not) goes as a link; a plain file is not a folder to remove.
        result = S_ISLNK(st.st_mode) && ::unlinkat(parentFd, name.constData(), 0) == 0;
    } else {
        HandleHolder fd(::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (fd.isValid()) {
            const bool emptied = removeContents(std::move(fd), 0);
            result = ::unlinkat(parentFd, name.constData(), AT_REMOVEDIR) == 0 ? emptied : errno == ENOENT && emptied;
        }
    }
    return result;
}

bool isDirectory(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::stat(FileNameCodec::encode(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
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
    QString path = FileNameCodec::decode(buffer, int(length));
    if (path.endsWith(QLatin1String(" (deleted)")))
        path.chop(10);
    return pathDirectory(path);
}
