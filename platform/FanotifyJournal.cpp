#include "platform/FanotifyJournal.h"
#include "platform/MountTable.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <random>
#include <sys/eventfd.h>
#include <sys/fanotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kTag = "FanotifyJournal";

std::atomic<qint64> gCapacity{8 << 20};
std::atomic<qint64> gTrimStep{1 << 20};

std::mutex& registryMutex()
{
    static std::mutex m;
    return m;
}

std::map<QString, std::weak_ptr<FanotifyJournal>>& registry()
{
    static std::map<QString, std::weak_ptr<FanotifyJournal>> r;
    return r;
}

QString normalized(const QString& mountPoint)
{
    QString mp = mountPoint;
    while (mp.size() > 1 && mp.endsWith(QLatin1Char('/')))
        mp.chop(1);
    return mp;
}

QString errorText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

#ifndef STATX_MNT_ID_UNIQUE
#define STATX_MNT_ID_UNIQUE 0x00004000U
#endif

// Identity of the mount at `path`: the unique mount id where the kernel has one (6.8+; never
// reused), else the mount id. Device numbers will not do: tmpfs reuses them at once.
// With `fd` given, the mount of that descriptor (path ignored).
quint64 mountIdOf(const QByteArray& path, int fd = -1)
{
    const int dir = fd >= 0 ? fd : AT_FDCWD;
    const char* name = fd >= 0 ? "" : path.constData();
    const int flags = AT_NO_AUTOMOUNT | (fd >= 0 ? AT_EMPTY_PATH : 0);
    struct statx sx;
    if (::statx(dir, name, flags, STATX_MNT_ID_UNIQUE, &sx) == 0 && (sx.stx_mask & STATX_MNT_ID_UNIQUE))
        return sx.stx_mnt_id;
    if (::statx(dir, name, flags, STATX_MNT_ID, &sx) == 0 && (sx.stx_mask & STATX_MNT_ID))
        return sx.stx_mnt_id | (quint64(1) << 63);
    return 0;
}

// Fixed part of a record in the log besides its handle and name.
constexpr quint32 kRecordHeader = 40;

} // namespace

std::shared_ptr<FanotifyJournal> FanotifyJournal::acquire(const QString& mountPoint)
{
    const QString mp = normalized(mountPoint);
    std::lock_guard<std::mutex> g(registryMutex());
    auto& r = registry();
    auto it = r.find(mp);
    if (it != r.end()) {
        // A journal whose event stream broke, or whose volume was replaced by another mount
        // at the same place, is not handed out again; its current users keep it.
        std::shared_ptr<FanotifyJournal> existing = it->second.lock();
        if (existing && existing->usable())
            return existing;
        r.erase(it);
    }
    std::shared_ptr<FanotifyJournal> journal(new FanotifyJournal(mp));
    journal->open();
    r[mp] = journal;
    return journal;
}

FanotifyJournal::FanotifyJournal(const QString& mountPoint)
    : mountPoint_(mountPoint), capacity_(gCapacity.load()), trimStep_(gTrimStep.load())
{
}

void FanotifyJournal::open()
{
    const QByteArray mp = FileNameCodec::encode(mountPoint_);
    const QVector<MountEntry> mounts = MountTable::read();
    const MountEntry* mount = nullptr;
    for (const MountEntry& m : mounts)
        if (m.mountPoint == mp)
            mount = &m;
    if (!mount)
        throw FileSearchException(QStringLiteral("%1 is not a mount point").arg(mountPoint_), QString::fromLatin1(kTag), __LINE__);
    struct stat rootStat;
    if (::stat(mp.constData(), &rootStat) == 0)
        device_ = quint64(rootStat.st_dev);
    mountId_ = mountIdOf(mp);
    if (mountId_ == 0)
        throw FileSearchException(QStringLiteral("Cannot read %1: %2").arg(mountPoint_, errorText(errno)), QString::fromLatin1(kTag), __LINE__);
    decoder_ = FileHandleDecoder(mount->fsType);
    QString why;
    if (!decoder_.verify(mountPoint_, &why))
        throw FileSearchException(QStringLiteral("No change journal on %1: %2").arg(mountPoint_, why), QString::fromLatin1(kTag), __LINE__);

    fanotifyFd_.reset(::fanotify_init(FAN_CLASS_NOTIF | FAN_CLOEXEC | FAN_NONBLOCK | FAN_REPORT_DFID_NAME
                                          | FAN_REPORT_FID | FAN_REPORT_TARGET_FID,
                                      O_RDONLY | O_LARGEFILE | O_CLOEXEC));
    if (!fanotifyFd_.isValid())
        throw FileSearchException(QStringLiteral("fanotify is not available for %1: %2").arg(mountPoint_, errorText(errno)),
                                  QString::fromLatin1(kTag), __LINE__);
    const uint64_t mask = FAN_CREATE | FAN_RENAME | FAN_DELETE | FAN_DELETE_SELF | FAN_ONDIR;
    if (::fanotify_mark(fanotifyFd_.handle(), FAN_MARK_ADD | FAN_MARK_FILESYSTEM, mask, AT_FDCWD, mp.constData()) != 0) {
        const int err = errno;
        fanotifyFd_.reset();
        throw FileSearchException(QStringLiteral("Failed to watch %1: %2").arg(mountPoint_, errorText(err)),
                                  QString::fromLatin1(kTag), __LINE__);
    }
    wakeFd_.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wakeFd_.isValid()) {
        const int err = errno;
        fanotifyFd_.reset();
        throw FileSearchException(QStringLiteral("eventfd failed: %1").arg(errorText(err)), QString::fromLatin1(kTag), __LINE__);
    }
    std::random_device rd;
    do {
        journalId_ = (quint64(rd()) << 32) ^ quint64(rd());
    } while (journalId_ == 0);
    drain_ = std::thread([this] { drainLoop(); });
    Logger::instance().writeQString(Logger::Debug, kTag,
        QStringLiteral("Journal of %1 created (%2)").arg(mountPoint_, QString::fromLatin1(mount->fsType)));
}

FanotifyJournal::~FanotifyJournal()
{
    {
        std::lock_guard<std::mutex> g(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    wakeDrain();
    if (drain_.joinable())
        drain_.join();
}

void FanotifyJournal::wakeDrain()
{
    if (wakeFd_.isValid()) {
        const uint64_t one = 1;
        ssize_t n = ::write(wakeFd_.handle(), &one, sizeof(one));
        (void)n;
    }
}

bool FanotifyJournal::usable() const
{
    {
        std::lock_guard<std::mutex> g(mutex_);
        if (failed_)
            return false;
    }
    return mountIdOf(FileNameCodec::encode(mountPoint_)) == mountId_;
}

FanotifyJournal::State FanotifyJournal::state() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return State{journalId_, firstUsn_, nextUsn_};
}

void FanotifyJournal::drainLoop()
{
    std::vector<char> buffer(64 * 1024);
    std::vector<Entry> entries;
    quint64 pass = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> g(mutex_);
            if (paused_.load() && !stopping_) {
                parked_ = true;
                changed_.notify_all();
                changed_.wait(g, [&] { return !paused_.load() || stopping_; });
                parked_ = false;
            }
            if (stopping_)
                return;
            pass = ++passesStarted_;
        }
        // Read the kernel queue empty.
        for (;;) {
            const ssize_t n = ::read(fanotifyFd_.handle(), buffer.data(), buffer.size());
            if (n > 0) {
                entries.clear();
                parseEvents(buffer.data(), long(n), entries);
                append(entries);
                if (paused_.load())
                    break;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                break;
            const int err = n < 0 ? errno : EIO;
            Logger::instance().writeQString(Logger::Error, kTag,
                QStringLiteral("Reading the events of %1 failed: %2").arg(mountPoint_, errorText(err)));
            std::lock_guard<std::mutex> g(mutex_);
            failed_ = true;
            changed_.notify_all();
            return;
        }
        {
            std::lock_guard<std::mutex> g(mutex_);
            if (!paused_.load())
                passesDone_ = pass;
        }
        changed_.notify_all();
        if (paused_.load())
            continue;
        struct pollfd fds[2] = {{fanotifyFd_.handle(), POLLIN, 0}, {wakeFd_.handle(), POLLIN, 0}};
        const int r = ::poll(fds, 2, -1);
        if (r < 0 && errno != EINTR) {
            std::lock_guard<std::mutex> g(mutex_);
            failed_ = true;
            changed_.notify_all();
            return;
        }
        if (fds[1].revents & POLLIN) {
            uint64_t count;
            ssize_t n = ::read(wakeFd_.handle(), &count, sizeof(count));
            (void)n;
        }
    }
}

bool FanotifyJournal::keepsOtherNames(HandleHolder& mountFd, bool& mountTried, int handleType,
                                      const unsigned char* handle, int length) const
{
    if (!mountTried) {
        mountTried = true;
        mountFd.reset(::open(FileNameCodec::encode(mountPoint_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        // Another file system mounted over the volume: its files cannot be asked (and the
        // reader fails on that anyway).
        if (mountFd.isValid() && mountIdOf(QByteArray(), mountFd.handle()) != mountId_)
            mountFd.reset();
    }
    if (!mountFd.isValid())
        return false;
    // A file whose last name went is gone (ESTALE) or has no links left.
    const HandleHolder file(FileHandleDecoder::openHandle(mountFd.handle(), handleType,
                                                          reinterpret_cast<const char*>(handle), size_t(length),
                                                          O_PATH | O_CLOEXEC));
    struct stat st;
    return file.isValid() && ::fstat(file.handle(), &st) == 0 && st.st_nlink > 0;
}

void FanotifyJournal::parseEvents(const char* buffer, long length, std::vector<Entry>& out)
{
    // The volume's root, opened the first time a removed name needs a look at its file.
    HandleHolder mountFd;
    bool mountTried = false;
    // Events are aligned to 4 bytes only, while the metadata holds a 64-bit mask: each one is
    // copied out before it is read.
    long offset = 0;
    while (offset + long(FAN_EVENT_METADATA_LEN) <= length) {
        struct fanotify_event_metadata m;
        std::memcpy(&m, buffer + offset, sizeof(m));
        if (m.event_len < FAN_EVENT_METADATA_LEN || offset + long(m.event_len) > length)
            break;
        const struct fanotify_event_metadata* const meta = &m;
        const char* const event = buffer + offset;
        offset += long(m.event_len);
        const HandleHolder eventFd(meta->fd); // none with identifier records; closed if given
        if (meta->vers != FANOTIFY_METADATA_VERSION || meta->metadata_len < FAN_EVENT_METADATA_LEN
            || meta->metadata_len > meta->event_len)
            continue;
        if (meta->mask & FAN_Q_OVERFLOW) {
            Entry gap;
            gap.reason = 0;
            out.push_back(gap);
            continue;
        }
        struct Fid
        {
            const struct file_handle* handle = nullptr;
            const char* name = nullptr;
        };
        Fid object, dir, oldDir, newDir;
        const char* pos = event + meta->metadata_len;
        const char* end = event + meta->event_len;
        while (pos + sizeof(struct fanotify_event_info_header) <= end) {
            const auto* hdr = reinterpret_cast<const struct fanotify_event_info_header*>(pos);
            if (hdr->len == 0 || pos + hdr->len > end)
                break;
            const char* const recordEnd = pos + hdr->len;
            const auto* info = reinterpret_cast<const struct fanotify_event_info_fid*>(pos);
            const auto* fh = reinterpret_cast<const struct file_handle*>(info->handle);
            const char* name = reinterpret_cast<const char*>(fh->f_handle) + fh->handle_bytes;
            // A record must hold its handle, and a name must end inside it.
            if (hdr->len < sizeof(struct fanotify_event_info_fid) + sizeof(struct file_handle)
                || fh->handle_bytes > size_t(recordEnd - reinterpret_cast<const char*>(fh->f_handle))) {
                pos = recordEnd;
                continue;
            }
            if (!std::memchr(name, 0, size_t(recordEnd - name)))
                name = nullptr;
            switch (hdr->info_type) {
            case FAN_EVENT_INFO_TYPE_FID:
                object.handle = fh;
                break;
            case FAN_EVENT_INFO_TYPE_DFID:
                dir.handle = fh;
                break;
            case FAN_EVENT_INFO_TYPE_DFID_NAME:
                dir.handle = fh;
                dir.name = name;
                break;
            case FAN_EVENT_INFO_TYPE_OLD_DFID_NAME:
                oldDir.handle = fh;
                oldDir.name = name;
                break;
            case FAN_EVENT_INFO_TYPE_NEW_DFID_NAME:
                newDir.handle = fh;
                newDir.name = name;
                break;
            default:
                break;
            }
            pos = recordEnd;
        }
        const bool isDir = meta->mask & FAN_ONDIR;
        auto decode = [this](const struct file_handle* h) -> quint64 {
            return h ? decoder_.decode(h->handle_type, h->f_handle, int(h->handle_bytes)) : 0;
        };
        auto named = [&](quint32 reason, const Fid& where, const Fid* left) {
            if (!where.handle || !where.name)
                return;
            Entry e;
            e.reason = reason | ReasonClose;
            e.inode = decode(object.handle);
            e.parent = decode(where.handle);
            e.isDir = isDir;
            e.handleType = where.handle->handle_type;
            e.handle = QByteArray(reinterpret_cast<const char*>(where.handle->f_handle), int(where.handle->handle_bytes));
            e.name = QByteArray(where.name);
            if (left && left->handle && left->name) {
                e.oldParent = decode(left->handle);
                if (e.oldParent != 0)
                    e.oldName = QByteArray(left->name);
            }
            e.size = kRecordHeader + quint32(e.handle.size()) + quint32(e.name.size()) + quint32(e.oldName.size());
            out.push_back(e);
        };
        if (meta->mask & FAN_CREATE)
            named(ReasonFileCreate, dir, nullptr);
        if (meta->mask & FAN_RENAME)
            named(ReasonRenameNewName, newDir, &oldDir);
        // A name removed from a file that keeps others (its inode stays: no DELETE_SELF).
        if ((meta->mask & FAN_DELETE) && !isDir && object.handle
            && keepsOtherNames(mountFd, mountTried, object.handle->handle_type, object.handle->f_handle,
                               int(object.handle->handle_bytes)))
            named(ReasonHardLinkChange, dir, nullptr);
        if (meta->mask & FAN_DELETE_SELF) {
            Entry e;
            e.reason = ReasonFileDelete | ReasonClose;
            e.inode = decode(object.handle ? object.handle : dir.handle);
            e.isDir = isDir;
            e.size = kRecordHeader;
            if (e.inode != 0)
                out.push_back(e);
        }
    }
}

void FanotifyJournal::append(std::vector<Entry>& entries)
{
    bool lost = false, trimmed = false;
    {
        std::lock_guard<std::mutex> g(mutex_);
        for (Entry& e : entries) {
            if (e.reason == 0) {
                // Events were lost: nothing before this point can be trusted by a reader.
                log_.clear();
                logBytes_ = 0;
                nextUsn_ += 1;
                firstUsn_ = nextUsn_;
                lost = true;
                continue;
            }
            e.usn = nextUsn_;
            nextUsn_ += e.size;
            logBytes_ += e.size;
            log_.push_back(std::move(e));
        }
        if (logBytes_ > capacity_) {
            qint64 dropped = 0;
            while (!log_.empty() && (dropped < trimStep_ || logBytes_ > capacity_)) {
                dropped += log_.front().size;
                logBytes_ -= log_.front().size;
                log_.pop_front();
            }
            firstUsn_ = log_.empty() ? nextUsn_ : log_.front().usn;
            trimmed = true;
        }
    }
    changed_.notify_all();
    if (lost)
        Logger::instance().writeQString(Logger::Warning, kTag,
            QStringLiteral("Change events of %1 were lost (event queue overflow)").arg(mountPoint_));
    if (trimmed)
        Logger::instance().writeQString(Logger::Debug, kTag,
            QStringLiteral("Journal of %1 trimmed").arg(mountPoint_));
}

FanotifyJournal::ReadStatus FanotifyJournal::read(qint64 from, bool wait, ReadContext& context,
                                                  std::vector<Record>& out, qint64* next, size_t maxBytes)
{
    std::vector<Entry> taken;
    qint64 end = from;
    {
        std::unique_lock<std::mutex> g(mutex_);
        for (;;) {
            if (context.canceled_.load())
                return ReadStatus::Canceled;
            if (failed_)
                return ReadStatus::Failed;
            if (from < firstUsn_ || from > nextUsn_)
                return ReadStatus::Gap;
            if (from < nextUsn_)
                break;
            if (!wait || stopping_)
                return ReadStatus::Empty;
            changed_.wait(g);
        }
        auto it = std::lower_bound(log_.begin(), log_.end(), from,
                                   [](const Entry& e, qint64 usn) { return e.usn < usn; });
        size_t bytes = 0;
        for (; it != log_.end() && (taken.empty() || bytes < maxBytes); ++it) {
            taken.push_back(*it);
            bytes += it->size;
            end = it->usn + it->size;
        }
        if (taken.empty())
            end = nextUsn_;
    }

    // Check creates and renames against the directory entries as they are now.
    HandleHolder mountFd;
    std::vector<std::pair<QByteArray, HandleHolder>> folders;
    for (const Entry& e : taken) {
        Record r;
        if (e.reason & ReasonFileDelete) {
            r.usn = e.usn;
            r.reason = e.reason;
            r.inode = e.inode;
            r.isDir = e.isDir;
            out.push_back(r);
            continue;
        }
        if (!mountFd.isValid()) {
            // open_by_handle_at refuses O_PATH descriptors as its mount reference.
            mountFd.reset(::open(FileNameCodec::encode(mountPoint_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (!mountFd.isValid()) {
                Logger::instance().writeQString(Logger::Error, kTag,
                    QStringLiteral("Cannot open %1: %2").arg(mountPoint_, errorText(errno)));
                return ReadStatus::Failed;
            }
            // Another file system mounted over the volume hides it: its records could not be
            // checked and would be dropped one by one, leaving the index silently stale.
            if (mountIdOf(QByteArray(), mountFd.handle()) != mountId_) {
                Logger::instance().writeQString(Logger::Error, kTag,
                    QStringLiteral("%1 no longer holds the volume of its journal").arg(mountPoint_));
                return ReadStatus::Failed;
            }
        }
        const bool current = (e.reason & ReasonHardLinkChange) ? verifyRemoval(mountFd.handle(), e, folders, &r)
                                                               : verify(mountFd.handle(), e, folders, &r);
        if (current)
            out.push_back(r);
    }
    *next = end;
    return ReadStatus::Records;
}

int FanotifyJournal::folderOf(int mountFd, const Entry& e,
                              std::vector<std::pair<QByteArray, HandleHolder>>& folders) const
{
    // The parent folder, by its handle (a few folders per batch: a short list suffices).
    QByteArray key = e.handle;
    key.append(reinterpret_cast<const char*>(&e.handleType), sizeof(e.handleType));
    for (const auto& f : folders)
        if (f.first == key)
            return f.second.handle();
    const int dirFd = FileHandleDecoder::openHandle(mountFd, e.handleType, e.handle.constData(), size_t(e.handle.size()),
                                                    O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folders.size() >= 64)
        folders.erase(folders.begin());
    folders.emplace_back(key, HandleHolder(dirFd));
    return dirFd;
}

bool FanotifyJournal::verify(int mountFd, const Entry& e, std::vector<std::pair<QByteArray, HandleHolder>>& folders,
                             Record* r) const
{
    const int dirFd = folderOf(mountFd, e, folders);
    if (dirFd < 0)
        return false;  // the folder is gone
    struct stat st;
    if (::fstatat(dirFd, e.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;  // the name is gone
    if (e.inode != 0 && quint64(st.st_ino) != e.inode)
        return false;  // the name now holds another object
    if (quint64(st.st_dev) != device_)
        return false;  // a nested subvolume, whose inode numbers are not this volume's
    quint64 parent = e.parent;
    if (parent == 0) {
        struct stat pst;
        if (::fstat(dirFd, &pst) != 0)
            return false;
        parent = pst.st_ino;
    }
    r->usn = e.usn;
    r->reason = e.reason;
    r->inode = st.st_ino;
    r->parent = parent;
    r->isDir = S_ISDIR(st.st_mode);
    r->name = e.name;
    r->oldParent = e.oldParent;
    r->oldName = e.oldName;
    return true;
}

bool FanotifyJournal::verifyRemoval(int mountFd, const Entry& e,
                                    std::vector<std::pair<QByteArray, HandleHolder>>& folders, Record* r) const
{
    if (e.inode == 0 || e.parent == 0)
        return false;
    const int dirFd = folderOf(mountFd, e, folders);
    if (dirFd >= 0) {
        struct stat st;
        if (::fstatat(dirFd, e.name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && quint64(st.st_ino) == e.inode
            && quint64(st.st_dev) == device_)
            return false; // linked there again since
    }
    // The name is gone (or holds another object), also when its folder is gone.
    r->usn = e.usn;
    r->reason = e.reason;
    r->inode = e.inode;
    r->parent = e.parent;
    r->isDir = false;
    r->name = e.name;
    return true;
}

void FanotifyJournal::cancel(ReadContext& context)
{
    {
        std::lock_guard<std::mutex> g(mutex_);
        context.canceled_.store(true);
    }
    changed_.notify_all();
}

void FanotifyJournal::setLogLimits(qint64 capacity, qint64 trimStep)
{
    gCapacity.store(capacity > 0 ? capacity : (8 << 20));
    gTrimStep.store(trimStep > 0 ? trimStep : (1 << 20));
}

void FanotifyJournal::pauseDrain(bool paused)
{
    std::unique_lock<std::mutex> g(mutex_);
    paused_.store(paused);
    changed_.notify_all();
    g.unlock();
    wakeDrain();
    if (paused) {
        g.lock();
        changed_.wait_for(g, std::chrono::seconds(5), [&] { return parked_ || stopping_ || failed_; });
    }
}

bool FanotifyJournal::waitUntilDrained(int timeoutMs)
{
    // A pass that starts after this call reads every event queued before it.
    std::unique_lock<std::mutex> g(mutex_);
    const quint64 target = passesStarted_ + 1;
    g.unlock();
    wakeDrain();
    g.lock();
    return changed_.wait_for(g, std::chrono::milliseconds(timeoutMs), [&] { return passesDone_ >= target || failed_; });
}
