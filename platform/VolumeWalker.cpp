#include "platform/VolumeWalker.h"
#include "platform/FileHandleDecoder.h"
#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <dirent.h>
#include <fcntl.h>
#include <climits>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const char* const kUnit = "VolumeWalker";

int defaultOpenFolder(const char* path)
{
    return ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
}

long defaultReadEntries(int fd, void* buffer, size_t size)
{
    return ::getdents64(fd, buffer, size);
}

// Errors that mean "this folder is not readable or has gone": log and skip it.
bool isSkippable(int err)
{
    return err == EACCES || err == EPERM || err == ENOENT || err == ENOTDIR || err == ELOOP
        || err == ENXIO || err == ENODEV || err == ESTALE;
}

struct Folder
{
    std::string path;
    quint64 inode;
    std::string handle;  // struct file_handle of the folder, when the walk can open by handle
};

// The handle of `name` in `dirFd` as bytes, empty when there is none; and its opening.
std::string handleOf(int dirFd, const char* name, int flags = 0)
{
    return FileHandleDecoder::handleAt(dirFd, name, flags);
}

int openByHandle(int mountFd, const std::string& handle)
{
    return FileHandleDecoder::openHandle(mountFd, handle, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
}

struct Shared
{
    // Folder stack.
    std::mutex workMutex;
    std::condition_variable workCv;
    std::vector<Folder> stack;
    int busy = 0;

    // Finished batches.
    std::mutex outMutex;
    std::condition_variable outCv;     // consumer waits for batches
    std::condition_variable spaceCv;   // producers wait for room
    std::deque<std::unique_ptr<VolumeEntryBatch>> ready;
    std::vector<std::unique_ptr<VolumeEntryBatch>> spare;
    int liveWorkers = 0;

    std::atomic<bool> stop{false};
    std::mutex errorMutex;
    QString error;

    // Parallel delivery: each worker hands its batches to the consumer itself.
    VolumeEntryConsumer* consumer = nullptr;
    const bool* cancel = nullptr;
    std::exception_ptr consumerError;

    quint64 rootMountId = 0;
    HandleHolder mountFd;  // the root, for open_by_handle_at; empty when handles cannot be opened
    quint32 rootDevMajor = 0;
    quint32 rootDevMinor = 0;
    VolumeWalker::FolderOps ops;
    std::atomic<quint64> entries{0};
    std::atomic<quint64> folders{0};
    std::atomic<quint64> skipped{0};

    static constexpr size_t maxReady = 64;

    void fail(const QString& message)
    {
        {
            std::lock_guard<std::mutex> g(errorMutex);
            if (error.isEmpty())
                error = message;
        }
        halt();
    }

    void halt()
    {
        stop.store(true);
        { std::lock_guard<std::mutex> g(workMutex); }
        workCv.notify_all();
        { std::lock_guard<std::mutex> g(outMutex); }
        spaceCv.notify_all();
        outCv.notify_all();
    }

    std::unique_ptr<VolumeEntryBatch> newBatch()
    {
        {
            std::lock_guard<std::mutex> g(outMutex);
            if (!spare.empty()) {
                auto b = std::move(spare.back());
                spare.pop_back();
                return b;
            }
        }
        auto b = std::make_unique<VolumeEntryBatch>();
        b->entries.reserve(VolumeWalker::batchCapacity);
        b->names.reserve(VolumeWalker::batchCapacity * 24);
        return b;
    }

    bool canceled() const { return cancel && __atomic_load_n(cancel, __ATOMIC_RELAXED); }

    // Hands a full batch to the consumer; blocks while too many wait. False when stopping.
    bool publish(int slot, std::unique_ptr<VolumeEntryBatch>& batch)
    {
        if (batch->size() == 0)
            return !stop.load();
        if (consumer) {
            if (stop.load())
                return false;
            try {
                consumer->consume(slot, *batch);
            } catch (...) {
                {
                    std::lock_guard<std::mutex> g(errorMutex);
                    if (!consumerError)
                        consumerError = std::current_exception();
                }
                halt();
                return false;
            }
            entries.fetch_add(batch->size(), std::memory_order_relaxed);
            batch->clear();
            if (canceled()) {
                halt();
                return false;
            }
            return true;
        }
        std::unique_lock<std::mutex> g(outMutex);
        spaceCv.wait(g, [&] { return ready.size() < maxReady || stop.load(); });
        if (stop.load())
            return false;
        entries.fetch_add(batch->size(), std::memory_order_relaxed);
        ready.push_back(std::move(batch));
        g.unlock();
        outCv.notify_one();
        batch = newBatch();
        return true;
    }
};

// A folder that cannot be opened: skipped when it is unreadable or gone, else the walk fails.
void folderError(Shared& s, const Folder& folder, int err)
{
    const QString path = QFile::decodeName(folder.path.c_str());
    if (isSkippable(err)) {
        s.skipped.fetch_add(1);
        Logger::instance().writeQString(Logger::Warning, kUnit,
            QStringLiteral("Skipping folder %1, error = %2").arg(path).arg(err));
        return;
    }
    s.fail(QStringLiteral("Failed to read folder %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(err))));
}

// Paths of PATH_MAX bytes or more cannot be passed to the kernel whole. Opens the longest
// leading part that fits (O_PATH, a piece at a time) and returns its descriptor, with *rest set
// to the offset of the remaining part, which is shorter than PATH_MAX. Empty, and errno set,
// on failure.
HandleHolder openLeadingFolders(const std::string& path, size_t* rest)
{
    HandleHolder dir;
    size_t start = 0;
    while (path.size() - start >= PATH_MAX) {
        const size_t cut = path.rfind('/', start + PATH_MAX - 2);
        if (cut == std::string::npos || cut <= start) {
            errno = ENAMETOOLONG;
            return HandleHolder();
        }
        const std::string piece = path.substr(start, cut - start);
        HandleHolder next(::openat(dir.isValid() ? dir.handle() : AT_FDCWD, piece.c_str(),
                                   O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!next.isValid())
            return HandleHolder();
        dir = std::move(next);
        start = cut + 1;
    }
    *rest = start;
    return dir;
}

void readFolder(Shared& s, int slot, const Folder& folder, std::unique_ptr<VolumeEntryBatch>& batch,
                std::vector<Folder>& children, std::vector<char>& buffer)
{
    // A deep folder whose path is too long for one call is reached from a leading part of it.
    HandleHolder leading;
    const char* relative = folder.path.c_str();
    if (folder.path.size() >= PATH_MAX) {
        size_t rest = 0;
        leading = openLeadingFolders(folder.path, &rest);
        if (!leading.isValid()) {
            folderError(s, folder, errno);
            return;
        }
        relative = folder.path.c_str() + rest;
    }
    const int base = leading.isValid() ? leading.handle() : AT_FDCWD;

    // Do not enter another mount (bind mounts of the same file system included).
    struct statx sx;
    HandleHolder fd;
    int err = 0;
    if (::statx(base, relative, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO | STATX_MNT_ID, &sx) != 0) {
        err = errno;
    } else {
        if ((sx.stx_mask & STATX_MNT_ID) && sx.stx_mnt_id != s.rootMountId)
            return;
        // A nested btrfs subvolume has a device of its own and inode numbers that restart: its
        // numbers would collide with this volume's, so it is not entered either.
        if (sx.stx_dev_major != s.rootDevMajor || sx.stx_dev_minor != s.rootDevMinor)
            return;
        if (!S_ISDIR(sx.stx_mode) || sx.stx_ino != folder.inode) {
            err = ENOENT;  // the folder left this path (moved, or replaced) since it was listed
        } else {
            fd.reset(base == AT_FDCWD
                ? s.ops.openFolder(relative)
                : ::openat(base, relative, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
            struct stat st;
            if (!fd.isValid()) {
                err = errno;
            } else if (::fstat(fd.handle(), &st) != 0 || quint64(st.st_ino) != folder.inode) {
                fd.reset();
                err = ENOENT;
            }
        }
    }
    // A folder moved elsewhere on the volume while the walk ran is read where it is now, by its
    // handle: the journal reports the move of the folder alone, so its contents would be lost.
    if (!fd.isValid() && (err == ENOENT || err == ENOTDIR) && s.mountFd.isValid() && !folder.handle.empty()) {
        fd.reset(openByHandle(s.mountFd.handle(), folder.handle));
        struct stat st;
        if (!fd.isValid()) {
            err = errno == ESTALE ? ENOENT : errno;  // a stale handle: the folder is gone
        } else if (::fstat(fd.handle(), &st) != 0 || quint64(st.st_ino) != folder.inode) {
            fd.reset();
            err = ENOENT;
        }
    }
    if (!fd.isValid()) {
        folderError(s, folder, err);
        return;
    }
    s.folders.fetch_add(1, std::memory_order_relaxed);

    std::string childPath;
    childPath.reserve(folder.path.size() + 256);
    for (;;) {
        const long n = s.ops.readEntries(fd.handle(), buffer.data(), buffer.size());
        if (n == 0)
            break;
        if (n < 0) {
            const int err = errno;
            if (err == ENOENT) {  // the folder was removed while being read
                s.skipped.fetch_add(1);
                break;
            }
            s.fail(QStringLiteral("Failed to read folder %1: %2").arg(QFile::decodeName(folder.path.c_str()), QString::fromLocal8Bit(std::strerror(err))));
            return;
        }
        long pos = 0;
        while (pos < n) {
            const auto* d = reinterpret_cast<const struct dirent64*>(buffer.data() + pos);
            pos += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            bool isDir = d->d_type == DT_DIR;
            if (d->d_type == DT_UNKNOWN) {
                struct stat st;
                if (::fstatat(fd.handle(), name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;  // gone since it was listed
                isDir = S_ISDIR(st.st_mode);
            }
            if (isDir) {
                // A nested btrfs subvolume (same mount, a device of its own) is listed under a
                // number that is no inode of this volume (the root's own number): a record of
                // it would replace the root's. Other mounts list the inode of the folder below.
                struct statx cx;
                if (::statx(fd.handle(), name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_MNT_ID, &cx) == 0
                    && (cx.stx_mask & STATX_MNT_ID) && cx.stx_mnt_id == s.rootMountId
                    && (cx.stx_dev_major != s.rootDevMajor || cx.stx_dev_minor != s.rootDevMinor))
                    continue;
            }
            const size_t len = std::strlen(name);
            batch->add(d->d_ino, folder.inode, name, len, isDir);
            if (isDir) {
                childPath.assign(folder.path);
                if (childPath.size() != 1 || childPath[0] != '/')
                    childPath.push_back('/');
                childPath.append(name, len);
                children.push_back(Folder{childPath, d->d_ino, s.mountFd.isValid() ? handleOf(fd.handle(), name) : std::string()});
            }
            if (batch->size() >= VolumeWalker::batchCapacity && !s.publish(slot, batch))
                return;
        }
    }
}

void worker(Shared& s, int slot)
{
    std::unique_ptr<VolumeEntryBatch> batch = s.newBatch();
    std::vector<Folder> children;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        Folder folder;
        {
            std::unique_lock<std::mutex> g(s.workMutex);
            s.workCv.wait(g, [&] { return s.stop.load() || !s.stack.empty() || s.busy == 0; });
            if (s.stop.load() || s.stack.empty())
                break;  // stopped, or no work left and nobody can make more
            folder = std::move(s.stack.back());
            s.stack.pop_back();
            ++s.busy;
        }
        children.clear();
        if (s.canceled()) {
            s.halt();
            break;
        }
        try {
            readFolder(s, slot, folder, batch, children, buffer);
        } catch (const std::exception& e) {
            s.fail(QStringLiteral("Enumeration failed: %1").arg(QString::fromLocal8Bit(e.what())));
        }
        bool idle = false;
        {
            std::lock_guard<std::mutex> g(s.workMutex);
            for (Folder& c : children)
                s.stack.push_back(std::move(c));
            idle = --s.busy == 0;
        }
        if (!children.empty() || idle)
            s.workCv.notify_all();
    }
    s.publish(slot, batch);
    if (s.consumer) {
        try {
            s.consumer->finish(slot);
        } catch (...) {
            std::lock_guard<std::mutex> g(s.errorMutex);
            if (!s.consumerError)
                s.consumerError = std::current_exception();
        }
    }
    {
        std::lock_guard<std::mutex> g(s.outMutex);
        --s.liveWorkers;
    }
    s.outCv.notify_all();
    s.workCv.notify_all();
}

} // namespace

VolumeWalker::VolumeWalker(int threads) : threads_(threads)
{
    if (threads_ <= 0)
        threads_ = std::max(1, std::min(8, int(std::thread::hardware_concurrency())));
    ops_.openFolder = defaultOpenFolder;
    ops_.readEntries = defaultReadEntries;
}

VolumeWalker::Result VolumeWalker::walk(const QString& rootPath, const QByteArray& rootName, const bool* cancel,
                                        const VolumeEntrySink& sink)
{
    return run(rootPath, rootName, cancel, &sink, nullptr);
}

VolumeWalker::Result VolumeWalker::walkParallel(const QString& rootPath, const QByteArray& rootName,
                                                const bool* cancel, VolumeEntryConsumer& consumer)
{
    return run(rootPath, rootName, cancel, nullptr, &consumer);
}

VolumeWalker::Result VolumeWalker::run(const QString& rootPath, const QByteArray& rootName, const bool* cancel,
                                       const VolumeEntrySink* sink, VolumeEntryConsumer* consumer)
{
    Shared s;
    s.consumer = consumer;
    s.cancel = cancel;
    s.ops = ops_;
    if (!s.ops.openFolder)
        s.ops.openFolder = defaultOpenFolder;
    if (!s.ops.readEntries)
        s.ops.readEntries = defaultReadEntries;

    const QByteArray root = FileNameCodec::encode(rootPath);
    struct statx sx;
    if (root.isEmpty()
        || ::statx(AT_FDCWD, root.constData(), AT_NO_AUTOMOUNT, STATX_INO | STATX_TYPE | STATX_MNT_ID, &sx) != 0) {
        throw FileSearchException(QStringLiteral("Failed to open %1, error = %2").arg(rootPath).arg(errno),
                                  QString::fromLatin1(kUnit), __LINE__);
    }
    if (!S_ISDIR(sx.stx_mode))
        throw FileSearchException(QStringLiteral("Failed to open %1: not a folder").arg(rootPath),
                                  QString::fromLatin1(kUnit), __LINE__);
    HandleHolder probe(s.ops.openFolder(root.constData()));
    if (!probe.isValid())
        throw FileSearchException(QStringLiteral("Failed to open %1, error = %2").arg(rootPath).arg(errno),
                                  QString::fromLatin1(kUnit), __LINE__);
    // Folders are opened by path; where the process may open file handles (root), each folder
    // also keeps its handle so that one moved during the walk can still be read.
    const std::string rootHandle = handleOf(probe.handle(), "", AT_EMPTY_PATH);
    if (!rootHandle.empty() && HandleHolder(openByHandle(probe.handle(), rootHandle)).isValid())
        s.mountFd = std::move(probe);
    s.rootMountId = sx.stx_mnt_id;
    s.rootDevMajor = sx.stx_dev_major;
    s.rootDevMinor = sx.stx_dev_minor;

    auto isCanceled = [cancel] { return cancel && __atomic_load_n(cancel, __ATOMIC_RELAXED); };

    // The root first, alone.
    {
        VolumeEntryBatch first;
        first.add(sx.stx_ino, 0, rootName.constData(), size_t(rootName.size()), true);
        if (consumer) {
            consumer->start(threads_);
            consumer->consume(0, first);
        } else {
            (*sink)(first);
        }
        if (isCanceled()) {
            if (consumer) {
                for (int i = 0; i < threads_; ++i)
                    consumer->finish(i);
            }
            throw FileSearchCancelException("Canceled", QString::fromLatin1(kUnit), __LINE__);
        }
    }
    s.stack.push_back(Folder{std::string(root.constData(), size_t(root.size())), sx.stx_ino,
                             s.mountFd.isValid() ? rootHandle : std::string()});

    std::vector<std::thread> threads;
    s.liveWorkers = threads_;
    try {
        for (int i = 0; i < threads_; ++i)
            threads.emplace_back(worker, std::ref(s), i);
    } catch (...) {
        s.liveWorkers = int(threads.size());
        s.fail(QStringLiteral("Failed to start the enumeration threads"));
    }

    bool canceled = false;
    std::exception_ptr sinkError;
    for (; consumer;) {
        // The workers deliver themselves: wait for them to end.
        std::unique_lock<std::mutex> g(s.outMutex);
        s.outCv.wait(g, [&] { return s.liveWorkers == 0; });
        break;
    }
    for (; !consumer;) {
        std::unique_ptr<VolumeEntryBatch> batch;
        {
            std::unique_lock<std::mutex> g(s.outMutex);
            s.outCv.wait(g, [&] { return !s.ready.empty() || s.liveWorkers == 0 || s.stop.load(); });
            if (s.ready.empty()) {
                if (s.liveWorkers == 0 || s.stop.load())
                    break;
                continue;
            }
            batch = std::move(s.ready.front());
            s.ready.pop_front();
        }
        s.spaceCv.notify_one();
        if (s.stop.load())
            break;  // a failure: do not deliver more of a walk that will throw
        try {
            (*sink)(*batch);
        } catch (...) {
            sinkError = std::current_exception();
            s.halt();
            break;
        }
        if (isCanceled()) {
            canceled = true;
            s.halt();
            break;
        }
        batch->clear();
        std::lock_guard<std::mutex> g(s.outMutex);
        s.spare.push_back(std::move(batch));
    }
    for (std::thread& t : threads)
        t.join();

    if (sinkError)
        std::rethrow_exception(sinkError);
    if (s.consumerError)
        std::rethrow_exception(s.consumerError);
    if (consumer && isCanceled())
        canceled = true;
    if (canceled)
        throw FileSearchCancelException("Canceled", QString::fromLatin1(kUnit), __LINE__);
    if (!s.error.isEmpty())
        throw FileSearchException(s.error, QString::fromLatin1(kUnit), __LINE__);

    Result r;
    r.entries = s.entries.load() + 1;
    r.folders = s.folders.load();
    r.skippedFolders = s.skipped.load();
    return r;
}
