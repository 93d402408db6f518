#include "core/ContentFile.h"

#include "core/FileNameCodec.h"
#include "core/LongPath.h"

#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The folder of the last file opened on this thread, kept open (O_PATH) for a moment: the
// files of one folder are opened one after the other, each then looked up by its name in the
// folder instead of by its whole path. The folder is used for 100 ms after it was opened, never
// longer, so a folder renamed or replaced since is soon looked up again.
struct RecentFolder
{
    QByteArray path;
    int fd = -1;
    qint64 openedNs = 0;
    ~RecentFolder()
    {
        if (fd >= 0)
            ::close(fd);
    }
};
thread_local RecentFolder recentFolder;
constexpr qint64 kRecentFolderNs = 100 * 1000 * 1000;

qint64 coarseNowNs()
{
    struct timespec now;
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Opens `path` (shorter than PATH_MAX) with O_PATH, through the recent folder when it is the
// path's folder; -1 with errno set on failure.
int openPathThroughFolder(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    if (slash <= 0 || slash + 1 >= path.size())
        return ::open(path.constData(), O_PATH | O_CLOEXEC);
    const qint64 now = coarseNowNs();
    const char* name = path.constData() + slash + 1;
    RecentFolder& recent = recentFolder;
    if (recent.fd < 0 || now - recent.openedNs > kRecentFolderNs || recent.path.size() != slash
        || std::memcmp(recent.path.constData(), path.constData(), size_t(slash)) != 0) {
        const QByteArray folder = path.left(slash);
        const int fd = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return ::open(path.constData(), O_PATH | O_CLOEXEC); // the whole path says why
        if (recent.fd >= 0)
            ::close(recent.fd);
        recent.fd = fd;
        recent.path = folder;
        recent.openedNs = now;
    }
    return ::openat(recent.fd, name, O_PATH | O_CLOEXEC);
}

// "/proc/self/fd", opened once: a descriptor is reopened by its number in it.
int procSelfFd()
{
    static const int fd = ::open("/proc/self/fd", O_PATH | O_DIRECTORY | O_CLOEXEC);
    return fd;
}

} // namespace

ContentFile::~ContentFile()
{
    close();
}

ContentFile::ContentFile(ContentFile&& other) noexcept
    : fd_(other.fd_), status_(other.status_), error_(other.error_), path_(std::move(other.path_)),
      st_(other.st_)
{
    other.fd_ = -1;
    other.status_ = NotOpened;
}

ContentFile& ContentFile::operator=(ContentFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = other.fd_;
        status_ = other.status_;
        error_ = other.error_;
        path_ = std::move(other.path_);
        st_ = other.st_;
        other.fd_ = -1;
        other.status_ = NotOpened;
    }
    return *this;
}

void ContentFile::close()
{
    if (fd_ >= 0) {
        const int saved = errno;
        ::close(fd_);
        errno = saved;
    }
    fd_ = -1;
    if (status_ == Opened)
        status_ = NotOpened;
}

void ContentFile::fail(Status status, int error)
{
    close();
    status_ = status;
    error_ = error;
}

ContentFile ContentFile::open(const QString& path)
{
    return openNative(FileNameCodec::encode(path), path);
}

ContentFile ContentFile::openNative(const QByteArray& nativePath, const QString& path)
{
    ContentFile file;
    file.path_ = path;
    int pathFd;
    if (nativePath.size() < PATH_MAX) {
        pathFd = openPathThroughFolder(nativePath);
    } else {
        // Paths of any length: the folder part of a path past PATH_MAX is opened in stretches.
        const PathAt at(nativePath);
        if (!at.isValid()) {
            const int e = at.error();
            file.fail(e == EACCES || e == EPERM ? Denied : Missing, e);
            return file;
        }
        pathFd = ::openat(at.folder(), at.name(), O_PATH | O_CLOEXEC);
    }
    if (pathFd < 0) {
        const int e = errno;
        file.fail(e == EACCES || e == EPERM ? Denied : (e == ENOENT || e == ENOTDIR || e == ELOOP
                                                         || e == ENAMETOOLONG) ? Missing : Failed,
                  e);
        return file;
    }
    struct stat checked;
    if (::fstat(pathFd, &checked) != 0) {
        const int e = errno;
        ::close(pathFd);
        file.fail(Failed, e);
        return file;
    }
    if (!S_ISREG(checked.st_mode)) {
        ::close(pathFd);
        file.fail(NotRegular, 0);
        return file;
    }
    char number[16];
    std::snprintf(number, sizeof number, "%d", pathFd);
    const int procFd = procSelfFd();
    int fd;
    do {
        fd = procFd >= 0 ? ::openat(procFd, number, O_RDONLY | O_NOCTTY | O_CLOEXEC) : -1;
    } while (fd < 0 && errno == EINTR);
    const int openError = errno;
    ::close(pathFd);
    if (fd < 0) {
        file.fail(openError == EACCES || openError == EPERM ? Denied : Failed, openError);
        return file;
    }
    file.fd_ = fd;
    if (::fstat(fd, &file.st_) != 0) {
        file.fail(Failed, errno);
        return file;
    }
    if (file.st_.st_dev != checked.st_dev || file.st_.st_ino != checked.st_ino
        || !S_ISREG(file.st_.st_mode)) {
        file.fail(Changed, 0);
        return file;
    }
    file.status_ = Opened;
    file.error_ = 0;
    return file;
}

ContentFile ContentFile::adopt(int descriptor, const QString& path)
{
    ContentFile file;
    file.path_ = path;
    file.fd_ = descriptor;
    if (descriptor < 0) {
        file.fail(Failed, EBADF);
        return file;
    }
    if (::fstat(descriptor, &file.st_) != 0) {
        file.fail(Failed, errno);
        return file;
    }
    if (!S_ISREG(file.st_.st_mode)) {
        file.fail(NotRegular, 0);
        return file;
    }
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_WRONLY || (flags & O_PATH) == O_PATH) {
        file.fail(Failed, EBADF);
        return file;
    }
    file.status_ = Opened;
    return file;
}

QString ContentFile::errorString() const
{
    switch (status_) {
    case NotOpened:
        return QStringLiteral("not opened");
    case Opened:
        return QString();
    case NotRegular:
        return QStringLiteral("not a regular file");
    case Changed:
        return QStringLiteral("the file changed while it was opened");
    default:
        return QString::fromLocal8Bit(std::strerror(error_));
    }
}

qint64 ContentFile::read(qint64 offset, char* into, qint64 max) const
{
    if (fd_ < 0)
        return -1;
    for (;;) {
        const ssize_t n = ::pread(fd_, into, size_t(max), off_t(offset));
        if (n >= 0)
            return qint64(n);
        if (errno != EINTR)
            return -1;
    }
}

qint64 ContentFile::readFully(qint64 offset, char* into, qint64 max) const
{
    qint64 got = 0;
    while (got < max) {
        const qint64 n = read(offset + got, into + got, max - got);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

bool ContentFile::rewind() const
{
    return fd_ >= 0 && ::lseek(fd_, 0, SEEK_SET) == 0;
}

int ContentFile::duplicate() const
{
    return fd_ >= 0 ? ::fcntl(fd_, F_DUPFD_CLOEXEC, 0) : -1;
}

ContentFileDevice::~ContentFileDevice() = default;

bool ContentFileDevice::setFile(const ContentFile& file)
{
    if (isOpen())
        close();
    file_ = &file;
    if (!file.isOpen())
        return false;
    size_ = file.size(); // as it was when the file was opened
    // Unbuffered: every read reaches readData at pos(), which is where pread reads.
    return open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 ContentFileDevice::readData(char* data, qint64 maxSize)
{
    if (!file_ || maxSize <= 0)
        return 0;
    const qint64 n = file_->read(pos(), data, maxSize);
    if (n < 0) {
        setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
        return -1;
    }
    return n;
}
