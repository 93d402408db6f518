#include "core/VolumeHandle.h"

#include "core/FileNameCodec.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

VolumeHandle::VolumeHandle(const QString& mountPoint)
{
    open(mountPoint, false);
}

VolumeHandle::~VolumeHandle() = default;

void VolumeHandle::open(const QString& mountPoint, bool overlapped)
{
    (void)overlapped;
    close();
    if (mountPoint.isEmpty()) {
        errno = ENOENT;
        return;
    }
    const QByteArray path = FileNameCodec::encode(mountPoint);
    int fd;
    do {
        fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    fd_.reset(fd);
}

void VolumeHandle::close()
{
    fd_.reset();
}
