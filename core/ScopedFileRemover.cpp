#include "core/ScopedFileRemover.h"

#include <QFile>

ScopedFileRemover::~ScopedFileRemover()
{
    if (!path_.isEmpty())
        QFile::remove(path_);
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
            QFile::remove(path_);
        path_ = other.path_;
        other.path_.clear();
    }
    return *this;
}
