// ScopedFileRemover: deletes a temporary file (for example a converter's output) when it goes
// out of scope, unless released. It can be moved but not copied, so a file is deleted once.
// The path is in the lossless form of FileNameCodec.
#pragma once

#include <QString>

class ScopedFileRemover
{
public:
    explicit ScopedFileRemover(const QString& path) : path_(path) {}
    ~ScopedFileRemover();

    ScopedFileRemover(ScopedFileRemover&& other) noexcept;
    ScopedFileRemover& operator=(ScopedFileRemover&& other) noexcept;
    ScopedFileRemover(const ScopedFileRemover&) = delete;
    ScopedFileRemover& operator=(const ScopedFileRemover&) = delete;

    // Keeps the file: the path becomes empty.
    void release() { path_.clear(); }
    QString path() const { return path_; }

private:
    QString path_;
};
