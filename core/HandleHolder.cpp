#include "core/HandleHolder.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

HandleHolder::~HandleHolder()
{
    reset();
}

HandleHolder::HandleHolder(HandleHolder&& other) noexcept
    : fd_(other.release())
{
}

HandleHolder& HandleHolder::operator=(HandleHolder&& other) noexcept
{
    if (this != &other)
        reset(other.release());
    return *this;
}

void HandleHolder::reset(int handle)
{
    if (fd_ >= 0 && fd_ != handle) {
        const int saved = errno;
        ::close(fd_);
        errno = saved;
    }
    fd_ = handle;
}

bool HandleHolder::openPipe(HandleHolder& readEnd, HandleHolder& writeEnd)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    readEnd.reset(ends[0]);
    writeEnd.reset(ends[1]);
    return true;
}

int HandleHolder::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}
