#include "core/HandleHolder.h"

#include <errno.h>
#include <unistd.h>

HandleHolder::~HandleHolder()
{
    if (fd_ >= 0) {
        const int saved = errno;
        ::close(fd_);
        errno = saved;
    }
}

HandleHolder::HandleHolder(HandleHolder&& other) noexcept
    : fd_(other.fd_)
{
    other.fd_ = -1;
}

HandleHolder& HandleHolder::operator=(HandleHolder&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}
