// File-system calls on paths of any length.
//
// The kernel refuses a path of PATH_MAX (4096) bytes or more as a whole (ENAMETOOLONG), yet
// folders nest deeper than that: a walk reaches them (it opens each folder relative to the one
// above it) and the index records them. Such a path is resolved in pieces here:
//
// - PathAt splits a path into a folder descriptor and a last component for the *at calls
//   (fstatat, statx, openat, ...). A path that fits is used as it stands (AT_FDCWD and the
//   path). Of a longer one, the folder part is opened a stretch of whole components at a time,
//   each stretch shorter than PATH_MAX and opened relative to the folder the stretch before it
//   reached. Each stretch goes through the kernel's own lookup, links included, so the outcome
//   is the one the kernel would give for the whole path without the length limit.
// - openBelowWithoutLinks opens a path below an open folder refusing a symbolic link in any
//   of its components (a walk uses it for folders it has listed itself: a link found there now
//   was put there since, and is not followed).
#pragma once

#include "core/HandleHolder.h"

#include <QByteArray>
#include <QString>

class PathAt
{
public:
    explicit PathAt(const QByteArray& path);
    // The path in the lossless form of FileNameCodec.
    explicit PathAt(const QString& path);
    PathAt(const PathAt&) = delete;
    PathAt& operator=(const PathAt&) = delete;

    // False when the folder part of a long path could not be opened (errno value in error()).
    bool isValid() const { return folder_ != -1; }
    // AT_FDCWD for a path that fits, else the opened folder holding the last component.
    int folder() const { return folder_; }
    // The path itself, or its last component.
    const char* name() const { return name_.constData(); }
    int error() const { return error_; }

private:
    void resolve(const QByteArray& path);

    HandleHolder opened_;
    int folder_ = -1;
    QByteArray name_;
    int error_ = 0;
};

// Opens `relative` (names below the open folder `folderFd`, separated by "/") with `flags` as
// openat takes them (O_CLOEXEC is added), refusing a symbolic link in any component (ELOOP).
// Uses openat2 with RESOLVE_NO_SYMLINKS, a stretch shorter than PATH_MAX at a time; where the
// kernel has no openat2, component by component with O_NOFOLLOW. An empty `relative` opens
// the folder itself. Empty, errno set, on failure.
HandleHolder openBelowWithoutLinks(int folderFd, const QByteArray& relative, int flags);
