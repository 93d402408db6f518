#include "core/LongPath.h"

#include "core/FileNameCodec.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The length of the next stretch of `rest` (which starts with a component) that the kernel
// takes in one lookup: all of it when it fits, else the components up to the last "/" before
// PATH_MAX. 0 when a single component is too long.
int stretchLength(const QByteArray& rest, int from)
{
    const int left = rest.size() - from;
    if (left < PATH_MAX)
        return left;
    const int slash = rest.lastIndexOf('/', from + PATH_MAX - 1);
    return slash > from ? slash - from : 0;
}

int skipSlashes(const QByteArray& bytes, int from)
{
    while (from < bytes.size() && bytes.at(from) == '/')
        ++from;
    return from;
}

// -1 not tried yet, 0 the kernel has no openat2, 1 it has.
std::atomic<int> haveOpenat2{-1};

int openat2NoLinks(int folderFd, const char* path, int flags)
{
    struct open_how how = {};
    how.flags = quint64(flags | O_CLOEXEC);
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
    return int(::syscall(SYS_openat2, folderFd, path, &how, sizeof how));
}

HandleHolder openComponentsWithoutLinks(int folderFd, const QByteArray& relative, int flags)
{
    HandleHolder current;
    int at = folderFd;
    int from = skipSlashes(relative, 0);
    if (from == relative.size())
        return HandleHolder(::openat(folderFd, ".", flags | O_CLOEXEC));
    while (from < relative.size()) {
        int end = relative.indexOf('/', from);
        if (end < 0)
            end = relative.size();
        const QByteArray name = relative.mid(from, end - from);
        from = skipSlashes(relative, end);
        const bool last = from >= relative.size();
        if (name == "..") {
            errno = EXDEV; // as openat2 answers a step out of the folder
            return HandleHolder();
        }
        if (name == "." && !last)
            continue;
        HandleHolder next(::openat(at, name.constData(),
                                   (last ? flags : O_PATH | O_DIRECTORY) | O_NOFOLLOW | O_CLOEXEC));
        if (!next.isValid())
            return HandleHolder();
        if (last && (flags & O_PATH)) {
            // O_PATH with O_NOFOLLOW opens a link itself instead of refusing it.
            struct stat st;
            if (::fstat(next.handle(), &st) == 0 && S_ISLNK(st.st_mode)) {
                errno = ELOOP;
                return HandleHolder();
            }
        }
        current = std::move(next);
        at = current.handle();
    }
    return current;
}

} // namespace

PathAt::PathAt(const QByteArray& path)
{
    resolve(path);
}

PathAt::PathAt(const QString& path)
{
    resolve(FileNameCodec::encode(path));
}

void PathAt::resolve(const QByteArray& whole)
{
    if (whole.size() < PATH_MAX) {
        folder_ = AT_FDCWD;
        name_ = whole;
        return;
    }
    QByteArray path = whole;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    const int slash = path.lastIndexOf('/');
    name_ = path.mid(slash + 1);
    const QByteArray folderPart = path.left(qMax(slash, 0));
    int at = AT_FDCWD;
    if (path.startsWith('/')) {
        opened_.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!opened_.isValid()) {
            error_ = errno;
            return;
        }
        at = opened_.handle();
    }
    int from = skipSlashes(folderPart, 0);
    while (from < folderPart.size()) {
        const int length = stretchLength(folderPart, from);
        if (length == 0) {
            error_ = ENAMETOOLONG;
            opened_.reset();
            return;
        }
        HandleHolder next(::openat(at, folderPart.mid(from, length).constData(),
                                   O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!next.isValid()) {
            error_ = errno;
            opened_.reset();
            return;
        }
        opened_ = std::move(next);
        at = opened_.handle();
        from = skipSlashes(folderPart, from + length);
    }
    folder_ = at;
}

HandleHolder openBelowWithoutLinks(int folderFd, const QByteArray& relative, int flags)
{
    if (haveOpenat2.load(std::memory_order_relaxed) == 0)
        return openComponentsWithoutLinks(folderFd, relative, flags);
    int from = skipSlashes(relative, 0);
    if (from == relative.size()) {
        const int fd = openat2NoLinks(folderFd, ".", flags);
        if (fd < 0 && errno == ENOSYS) {
            haveOpenat2.store(0);
            return openComponentsWithoutLinks(folderFd, relative, flags);
        }
        return HandleHolder(fd);
    }
    HandleHolder current;
    int at = folderFd;
    while (from < relative.size()) {
        const int length = stretchLength(relative, from);
        if (length == 0) {
            errno = ENAMETOOLONG;
            return HandleHolder();
        }
        const int next = skipSlashes(relative, from + length);
        const bool last = next >= relative.size();
        const int fd = openat2NoLinks(at, relative.mid(from, length).constData(),
                                      last ? flags : O_PATH | O_DIRECTORY);
        if (fd < 0) {
            if (errno == ENOSYS) {
                haveOpenat2.store(0);
                return openComponentsWithoutLinks(at, relative.mid(from), flags);
            }
            return HandleHolder();
        }
        haveOpenat2.store(1, std::memory_order_relaxed);
        current.reset(fd);
        at = fd;
        from = next;
    }
    return current;
}
