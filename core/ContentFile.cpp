#include "core/ContentFile.h"

#include "core/FileNameCodec.h"
#include "core/LongPath.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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
    // Paths of any length: the folder part of a path past PATH_MAX is opened in stretches.
    const PathAt at(nativePath);
    if (!at.isValid()) {
        const int e = at.error();
        file.fail(e == EACCES || e == EPERM ? Denied : Missing, e);
        return file;
    }
    const int pathFd = ::openat(at.folder(), at.name(), O_PATH | O_CLOEXEC);
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
    char procPath[40];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", pathFd);
    int fd;
    do {
        fd = ::open(procPath, O_RDONLY | O_NOCTTY | O_CLOEXEC);
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
    struct stat st;
    size_ = ::fstat(file.descriptor(), &st) == 0 ? qint64(st.st_size) : file.size();
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
