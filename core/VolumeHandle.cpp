#include "core/VolumeHandle.h"

#include "core/FileNameCodec.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

VolumeHandle::VolumeHandle(const QString& mountPoint)
{
    open(mountPoint, false);
}

VolumeHandle::~VolumeHandle()
{
    close();
}

VolumeHandle::VolumeHandle(VolumeHandle&& other) noexcept
    : fd_(other.fd_)
{
    other.fd_ = -1;
}

VolumeHandle& VolumeHandle::operator=(VolumeHandle&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void VolumeHandle::open(const QString& mountPoint, bool overlapped)
{
    (void)overlapped;
    close();
    if (mountPoint.isEmpty()) {
        errno = ENOENT;
        return;
    }
    const QByteArray path = FileNameCodec::encode(mountPoint);
    do {
        fd_ = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
}

void VolumeHandle::close()
{
    if (fd_ >= 0) {
        const int saved = errno;
        ::close(fd_);
        errno = saved;
    }
    fd_ = -1;
}
