#include "core/ScopedFileRemover.h"

#include "core/FileNameCodec.h"

#include <unistd.h>

ScopedFileRemover::~ScopedFileRemover()
{
    if (!path_.isEmpty())
        ::unlink(FileNameCodec::encode(path_).constData());
}

ScopedFileRemover::ScopedFileRemover(ScopedFileRemover&& other) noexcept
    : path_(other.path_)
{
    other.path_.clear();
}

ScopedFileRemover& ScopedFileRemover::operator=(ScopedFileRemover&& other) noexcept
{
    if (this != &other) {
        if (!path_.isEmpty())
            ::unlink(FileNameCodec::encode(path_).constData());
        path_ = other.path_;
        other.path_.clear();
    }
    return *this;
}
