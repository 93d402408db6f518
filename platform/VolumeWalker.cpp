#include "platform/VolumeWalker.h"
#include "platform/MountTable.h"
#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <thread>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace {

const char* const kUnit = "VolumeWalker";

// Folders held open for their subfolders (opened relative to them) at most: beyond, a
// subfolder is opened by its path.
constexpr int kOpenParents = 256;
// The number btrfs lists a subvolume under in its parent folder (its root's own number).
constexpr quint64 kBtrfsSubvolumeRoot = 256;
constexpr unsigned long kBtrfsMagic = 0x9123683E;

constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;

int defaultOpenFolder(int dirFd, const char* name, const char* path)
{
    return dirFd >= 0 ? ::openat(dirFd, name, kOpenFlags) : ::open(path, kOpenFlags);
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

// An open folder shared by the subfolders still to be opened relative to it.
struct OpenFolder
{
    explicit OpenFolder(HandleHolder handle, std::atomic<int>& openCount)
        : fd(std::move(handle))
        , count(openCount)
    {
        ++openCount;
    }
    ~OpenFolder() { --count; }
    HandleHolder fd;
    std::atomic<int>& count;
};

struct Folder
{
    std::shared_ptr<OpenFolder> parent; // the folder it was listed in, still open (or none)
    std::shared_ptr<OpenFolder> self;   // the folder itself, opened already (the walk's start)
    std::string name;                   // its name in the parent
    std::string path;                   // where it was listed (logs, mount points, fallback)
    quint64 inode = 0;
};

struct Shared
{
    // Folder stack.
    std::mutex workMutex;
    std::condition_variable workCv;
    std::vector<Folder> stack;
    int busy = 0;

    // Finished batches (delivery on the calling thread).
    std::mutex outMutex;
    std::condition_variable outCv;     // consumer waits for batches
    std::condition_variable spaceCv;   // producers wait for room
    std::deque<std::unique_ptr<VolumeEntryBatch>> ready;
    std::vector<std::unique_ptr<VolumeEntryBatch>> spare;
    int liveWorkers = 0;

    // Parallel delivery: each worker hands its batches to the consumer itself.
    VolumeEntryConsumer* consumer = nullptr;
    const bool* cancel = nullptr;
    std::exception_ptr consumerError;

    std::atomic<bool> stop{false};
    std::mutex errorMutex;
    QString error;

    quint64 rootMountId = 0;
    quint32 rootDevMajor = 0;
    quint32 rootDevMinor = 0;
    bool btrfs = false;
    std::unordered_set<std::string> mountPoints; // mounts below the start, not entered
    VolumeWalker::FolderOps ops;
    std::atomic<int> openParents{0};
    std::atomic<quint64> entries{0};
    std::atomic<quint64> folders{0};
    std::atomic<quint64> skipped{0};
    std::mutex missedMutex;
    std::vector<quint64> missed;

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

    bool canceled() const { return cancel && __atomic_load_n(cancel, __ATOMIC_RELAXED); }

    void noteMissed(quint64 inode)
    {
        {
            std::lock_guard<std::mutex> g(missedMutex);
            missed.push_back(inode);
        }
        if (consumer) {
            try {
                consumer->missed(inode);
            } catch (...) {
                std::lock_guard<std::mutex> g(errorMutex);
                if (!consumerError)
                    consumerError = std::current_exception();
            }
        }
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

    // Hands a full batch on; blocks while too many wait for the calling thread. False when
    // stopping.
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
        // A folder gone since it was listed (moved or removed) is normal while the volume
        // changes; one that cannot be read is worth a line.
        if (err != ENOENT && err != ENOTDIR)
            TQ_LOG_WARNING(kUnit,
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

// Opens a listed folder: relative to its open parent, else by its path. -1 and errno on failure.
int openListed(Shared& s, const Folder& folder)
{
    if (folder.parent)
        return s.ops.openFolder(folder.parent->fd.handle(), folder.name.c_str(), folder.path.c_str());
    if (folder.path.size() < PATH_MAX)
        return s.ops.openFolder(-1, folder.name.c_str(), folder.path.c_str());
    size_t rest = 0;
    const HandleHolder leading = openLeadingFolders(folder.path, &rest);
    if (!leading.isValid())
        return -1;
    return s.ops.openFolder(leading.handle(), folder.path.c_str() + rest, folder.path.c_str());
}

// Is the folder `name` in folder `fd` the root of a nested btrfs subvolume (a device number
// of its own, yet no mount)?
bool isNestedSubvolume(const Shared& s, int fd, const char* name)
{
    struct statx sx;
    if (::statx(fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_INO, &sx) != 0)
        return false; // gone since it was listed: its own reading will say so
    return (sx.stx_dev_major != s.rootDevMajor || sx.stx_dev_minor != s.rootDevMinor) && sx.stx_ino == kBtrfsSubvolumeRoot;
}

void readFolder(Shared& s, int slot, const Folder& folder, std::unique_ptr<VolumeEntryBatch>& batch,
                std::vector<Folder>& children, std::vector<char>& buffer)
{
    std::shared_ptr<OpenFolder> self = folder.self;
    if (!self) {
        HandleHolder fd(openListed(s, folder));
        if (!fd.isValid()) {
            const int err = errno;
            if (err == ENOENT || err == ENOTDIR)
                s.noteMissed(folder.inode); // moved or removed since it was listed
            folderError(s, folder, err);
            return;
        }
        // The folder must be the one listed, on this volume: another mount over it, a nested
        // subvolume (a device of its own, numbers of its own), or another folder in its place
        // (the listed one moved on) is not read as this one.
        struct statx sx;
        if (::statx(fd.handle(), "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_MNT_ID, &sx) != 0) {
            folderError(s, folder, errno);
            return;
        }
        if ((sx.stx_mask & STATX_MNT_ID) && sx.stx_mnt_id != s.rootMountId)
            return;
        if (sx.stx_dev_major != s.rootDevMajor || sx.stx_dev_minor != s.rootDevMinor)
            return;
        if (sx.stx_ino != folder.inode) {
            s.noteMissed(folder.inode);
            s.skipped.fetch_add(1);
            return;
        }
        self = std::make_shared<OpenFolder>(std::move(fd), s.openParents);
    }
    s.folders.fetch_add(1, std::memory_order_relaxed);
    const int fd = self->fd.handle();
    // Subfolders are opened relative to this one while few folders are held open.
    const bool shareFd = s.openParents.load(std::memory_order_relaxed) < kOpenParents;

    std::string childPath;
    childPath.reserve(folder.path.size() + 256);
    for (;;) {
        const long n = s.ops.readEntries(fd, buffer.data(), buffer.size());
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
                if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;  // gone since it was listed
                isDir = S_ISDIR(st.st_mode);
            }
            // A nested btrfs subvolume is listed under its subvolume id, not an object number of
            // this volume (256, the first id, is this volume's own root; later ids are numbers
            // of objects here): neither reported nor entered.
            if (isDir && s.btrfs && d->d_ino == kBtrfsSubvolumeRoot)
                continue;
            const size_t len = std::strlen(name);
            if (isDir) {
                childPath.assign(folder.path);
                if (childPath.size() != 1 || childPath[0] != '/')
                    childPath.push_back('/');
                childPath.append(name, len);
                // Another mount is listed as an entry of its parent but not entered (nor opened:
                // an automount point would be triggered).
                const bool mountPoint = !s.mountPoints.empty() && s.mountPoints.find(childPath) != s.mountPoints.end();
                if (!mountPoint && s.btrfs && isNestedSubvolume(s, fd, name))
                    continue;
                batch->add(d->d_ino, folder.inode, name, len, isDir);
                if (!mountPoint)
                    children.push_back(Folder{shareFd ? self : nullptr, nullptr, std::string(name, len), childPath, d->d_ino});
            } else {
                batch->add(d->d_ino, folder.inode, name, len, isDir);
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
            std::lock_guard<std::mutex> g(s.workMutex);
            --s.busy;
            break;
        }
        try {
            readFolder(s, slot, folder, batch, children, buffer);
        } catch (const std::exception& e) {
            s.fail(QStringLiteral("Enumeration failed: %1").arg(QString::fromLocal8Bit(e.what())));
        }
        folder = Folder(); // lets go of the parent early
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
    children.clear();
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

// The mount points below `root` (not the root itself), as paths.
std::unordered_set<std::string> mountsBelow(const QByteArray& root)
{
    std::unordered_set<std::string> out;
    const QByteArray prefix = root.endsWith('/') ? root : root + '/';
    for (const MountEntry& m : MountTable::read()) {
        if (m.mountPoint.startsWith(prefix) && m.mountPoint.size() > prefix.size())
            out.insert(std::string(m.mountPoint.constData(), size_t(m.mountPoint.size())));
    }
    return out;
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
    return run(rootPath, -1, 0, &rootName, cancel, &sink, nullptr);
}

VolumeWalker::Result VolumeWalker::walkParallel(const QString& rootPath, const QByteArray& rootName,
                                                const bool* cancel, VolumeEntryConsumer& consumer)
{
    return run(rootPath, -1, 0, &rootName, cancel, nullptr, &consumer);
}

VolumeWalker::Result VolumeWalker::walkFolder(int folderFd, quint64 inode, const QString& path, const bool* cancel,
                                              VolumeEntryConsumer& consumer)
{
    return run(path, folderFd, inode, nullptr, cancel, nullptr, &consumer);
}

VolumeWalker::Result VolumeWalker::run(const QString& rootPath, int startFd, quint64 startInode, const QByteArray* rootName,
                                       const bool* cancel, const VolumeEntrySink* sink, VolumeEntryConsumer* consumer)
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
    HandleHolder start;
    if (startFd >= 0) {
        start.reset(::fcntl(startFd, F_DUPFD_CLOEXEC, 0));
    } else {
        if (root.isEmpty())
            throw FileSearchException(QStringLiteral("Failed to open %1: no path").arg(rootPath), QString::fromLatin1(kUnit), __LINE__);
        start.reset(s.ops.openFolder(-1, root.constData(), root.constData()));
    }
    struct statx sx;
    if (!start.isValid()
        || ::statx(start.handle(), "", AT_EMPTY_PATH, STATX_INO | STATX_TYPE | STATX_MNT_ID, &sx) != 0) {
        throw FileSearchException(QStringLiteral("Failed to open %1, error = %2").arg(rootPath).arg(errno),
                                  QString::fromLatin1(kUnit), __LINE__);
    }
    if (!S_ISDIR(sx.stx_mode) || (startFd >= 0 && sx.stx_ino != startInode))
        throw FileSearchException(QStringLiteral("Failed to open %1: not the folder asked for").arg(rootPath),
                                  QString::fromLatin1(kUnit), __LINE__);
    s.rootMountId = sx.stx_mnt_id;
    s.rootDevMajor = sx.stx_dev_major;
    s.rootDevMinor = sx.stx_dev_minor;
    struct statfs sfs;
    s.btrfs = ::fstatfs(start.handle(), &sfs) == 0 && (static_cast<unsigned long>(sfs.f_type) & 0xffffffffUL) == kBtrfsMagic;
    s.mountPoints = mountsBelow(root);

    auto isCanceled = [cancel] { return cancel && __atomic_load_n(cancel, __ATOMIC_RELAXED); };

    // The root first, alone (a walk of one folder reports only what lies below it).
    if (consumer)
        consumer->start(threads_);
    if (rootName) {
        VolumeEntryBatch first;
        first.add(sx.stx_ino, 0, rootName->constData(), size_t(rootName->size()), true);
        if (consumer)
            consumer->consume(0, first);
        else
            (*sink)(first);
    }
    if (isCanceled()) {
        if (consumer) {
            for (int i = 0; i < threads_; ++i)
                consumer->finish(i);
        }
        throw FileSearchCancelException("Canceled", QString::fromLatin1(kUnit), __LINE__);
    }
    Folder top;
    top.self = std::make_shared<OpenFolder>(std::move(start), s.openParents);
    top.path = std::string(root.constData(), size_t(root.size()));
    top.inode = sx.stx_ino;
    s.stack.push_back(std::move(top));

    std::vector<std::thread> threads;
    s.liveWorkers = threads_;
    try {
        for (int i = 0; i < threads_; ++i)
            threads.emplace_back(worker, std::ref(s), i);
    } catch (...) {
        s.liveWorkers = int(threads.size());
        s.fail(QStringLiteral("Failed to start the enumeration threads"));
        if (consumer) {
            for (int i = int(threads.size()); i < threads_; ++i)
                consumer->finish(i);
        }
    }

    bool canceled = false;
    std::exception_ptr sinkError;
    if (consumer) {
        // The workers deliver themselves: wait for them to end.
        std::unique_lock<std::mutex> g(s.outMutex);
        s.outCv.wait(g, [&] { return s.liveWorkers == 0; });
    }
    while (!consumer) {
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
    s.stack.clear();

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
    r.entries = s.entries.load() + (rootName ? 1 : 0);
    r.folders = s.folders.load();
    r.skippedFolders = s.skipped.load();
    r.missedFolders = std::move(s.missed);
    return r;
}
