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
#include <pthread.h>
#include <random>
#include <sys/eventfd.h>
#include <sys/fanotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kTag = "FanotifyJournal";

constexpr qint64 DefaultCapacity = qint64(256) << 20;
constexpr qint64 DefaultTrimStep = qint64(1) << 20;
std::atomic<qint64> gCapacity{DefaultCapacity};
std::atomic<qint64> gTrimStep{DefaultTrimStep};

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

// A record in the log: these fields, then the parent folder's handle and, for a rename, the old
// parent folder's handle type (4 bytes) and handle (checked records only, see PackedChecked),
// the object's own handle (folders created or renamed), the name and the old name, padded to a
// multiple of 8 bytes.
struct Packed
{
    quint32 size;      // the whole record
    quint32 reason;    // 0: events were lost (a kernel queue overflow), never stored
    quint64 inode;
    quint64 parent;
    quint64 oldParent;
    quint16 nameLength;
    quint16 oldNameLength;
    quint8 parentHandleLength;
    quint8 ownHandleLength;
    quint8 flags;
    quint8 oldParentHandleLength;
    qint32 parentHandleType;
    qint32 ownHandleType;
};
static_assert(sizeof(Packed) == 48, "a record's fixed part");
// PackedChecked: the record may have been moved ahead of others of its object by a merge in the
// kernel's queue; the directory says what holds when it is read.
enum : quint8 { PackedFolder = 1, PackedChecked = 2 };

const char* parentHandleOf(const Packed* p) { return reinterpret_cast<const char*>(p) + sizeof(Packed); }
const char* oldParentHandleOf(const Packed* p) { return parentHandleOf(p) + p->parentHandleLength + sizeof(qint32); }
qint32 oldParentHandleTypeOf(const Packed* p)
{
    qint32 type;
    std::memcpy(&type, parentHandleOf(p) + p->parentHandleLength, sizeof(type));
    return type;
}
const char* ownHandleOf(const Packed* p)
{
    return parentHandleOf(p) + p->parentHandleLength
         + (p->oldParentHandleLength ? sizeof(qint32) + p->oldParentHandleLength : 0);
}
const char* nameOf(const Packed* p) { return ownHandleOf(p) + p->ownHandleLength; }
const char* oldNameOf(const Packed* p) { return nameOf(p) + p->nameLength; }

// The record of a packed one, as it came.
JournalBatch::Record recordOf(const Packed* p, JournalBatch& out)
{
    JournalBatch::Record r;
    r.reason = p->reason;
    r.isDir = p->flags & PackedFolder;
    r.frn = p->inode;
    r.parent = p->parent;
    r.oldParent = p->oldParent;
    r.nameLength = p->nameLength;
    r.name = out.put(nameOf(p), p->nameLength);
    r.oldNameLength = p->oldNameLength;
    r.oldName = out.put(oldNameOf(p), p->oldNameLength);
    if (p->ownHandleLength) {
        r.handleType = p->ownHandleType;
        r.handleLength = p->ownHandleLength;
        r.handle = out.put(ownHandleOf(p), p->ownHandleLength);
    }
    return r;
}

// The drain thread's nice value. It must keep up with every process changing files at once: a
// million deletions by four threads give two events each, and on a busy machine a thread of
// normal weight among them falls 16384 events behind within tens of milliseconds, when the
// kernel drops its queue. Its work per event is small, so a high weight costs others little.
constexpr int DrainNice = -10;

// Records an event may give (a rename and its object's deletion): the window of records over
// which the kernel's queue can merge is twice its length in events.
qint64 mergeWindow()
{
    qint64 events = 16384;
    QFile limit(QStringLiteral("/proc/sys/fs/fanotify/max_queued_events"));
    if (limit.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const qint64 n = limit.readAll().trimmed().toLongLong(&ok);
        if (ok && n > 0)
            events = n;
    }
    return 2 * events + 64;
}

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
    mountId_ = mountIdOf(mp);
    if (mountId_ == 0)
        throw FileSearchException(QStringLiteral("Cannot read %1: %2").arg(mountPoint_, errorText(errno)), QString::fromLatin1(kTag), __LINE__);
    decoder_ = FileHandleDecoder(mount->fsType);
    mergeWindow_ = mergeWindow();
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
        // The file system refuses a whole-file-system watch here (a btrfs subvolume mount:
        // EXDEV; no file handles or no file-system id: EOPNOTSUPP, ENODEV): no failure, the
        // volume is walked at search time.
        if (err == EXDEV || err == EOPNOTSUPP || err == ENODEV)
            throw MarkRefusedException(QStringLiteral("Failed to watch %1: %2").arg(mountPoint_, errorText(err)),
                                       QString::fromLatin1(kTag), __LINE__);
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
    TQ_LOG_DEBUG(kTag, QStringLiteral("Journal of %1 created (%2)")
                           .arg(mountPoint_, QString::fromLatin1(mount->fsType)));
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
    pthread_setname_np(pthread_self(), "journal drain");
    // Allowed to root (which fanotify needs anyway); otherwise the thread keeps its weight.
    if (::setpriority(PRIO_PROCESS, id_t(::gettid()), DrainNice) != 0)
        TQ_LOG_DEBUG(kTag, QStringLiteral("The drain thread of %1 keeps its priority: %2")
                               .arg(mountPoint_, errorText(errno)));
    std::vector<char> buffer(64 * 1024);
    std::string packed;
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
                packed.clear();
                parseEvents(buffer.data(), long(n), packed);
                append(packed);
                if (paused_.load())
                    break;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                break;
            const int err = n < 0 ? errno : EIO;
            TQ_LOG_ERROR(kTag, QStringLiteral("Reading the events of %1 failed: %2")
                                   .arg(mountPoint_, errorText(err)));
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

// A file handle and the name that follows it in one of an event's information records.
struct FanotifyJournal::Fid
{
    const struct file_handle* handle = nullptr;
    const char* name = nullptr;
};

// What an event's information records say: the object itself (FID), its folder and name (DFID,
// DFID_NAME), and for a rename the folders and names it left and entered.
struct FanotifyJournal::EventInfo
{
    Fid object, dir, oldDir, newDir;
    bool isDir = false;
    quint64 inode = 0; // the object's, 0 when its handle did not decode
};

void FanotifyJournal::parseEvents(const char* buffer, long length, std::string& out)
{
    // Events are aligned to 4 bytes only, while the metadata holds a 64-bit mask: each one is
    // copied out before it is read.
    long offset = 0;
    while (offset + long(FAN_EVENT_METADATA_LEN) <= length) {
        struct fanotify_event_metadata meta;
        std::memcpy(&meta, buffer + offset, sizeof(meta));
        if (meta.event_len < FAN_EVENT_METADATA_LEN || offset + long(meta.event_len) > length)
            break;
        const char* const event = buffer + offset;
        offset += long(meta.event_len);
        const HandleHolder eventFd(meta.fd); // none with identifier records; closed if given
        if (meta.vers != FANOTIFY_METADATA_VERSION || meta.metadata_len < FAN_EVENT_METADATA_LEN ||
            meta.metadata_len > meta.event_len)
            continue;
        if (meta.mask & FAN_Q_OVERFLOW) {
            Packed lost = {};
            lost.size = sizeof(Packed);
            out.append(reinterpret_cast<const char*>(&lost), sizeof(lost));
            continue;
        }
        EventInfo info;
        readInfoRecords(event + meta.metadata_len, event + meta.event_len, info);
        info.isDir = meta.mask & FAN_ONDIR;
        info.inode = decode(info.object.handle);
        const bool created = meta.mask & FAN_CREATE;
        const bool removed = meta.mask & FAN_DELETE;
        // Merged into one event: which came last is checked on reading.
        if (created && removed)
            packNamed(ReasonFileCreate, info, info.dir, nullptr, true, out);
        else if (created)
            packNamed(ReasonFileCreate, info, info.dir, nullptr, false, out);
        else if (removed)
            packNamed(ReasonNameRemoved, info, info.dir, nullptr, false, out);
        if (meta.mask & FAN_RENAME)
            packNamed(ReasonRenameNewName, info, info.newDir, &info.oldDir, false, out);
        if (meta.mask & FAN_DELETE_SELF)
            packDeleted(info, out);
    }
}

void FanotifyJournal::readInfoRecords(const char* pos, const char* end, EventInfo& info)
{
    while (pos + sizeof(struct fanotify_event_info_header) <= end) {
        struct fanotify_event_info_header hdr;
        std::memcpy(&hdr, pos, sizeof(hdr));
        if (hdr.len == 0 || pos + hdr.len > end)
            break;
        const char* const recordEnd = pos + hdr.len;
        const auto* fid = reinterpret_cast<const struct fanotify_event_info_fid*>(pos);
        const auto* fh = reinterpret_cast<const struct file_handle*>(fid->handle);
        pos = recordEnd;
        // A record must hold its handle, and a name must end inside it.
        if (hdr.len < sizeof(struct fanotify_event_info_fid) + sizeof(struct file_handle) ||
            fh->handle_bytes > size_t(recordEnd - reinterpret_cast<const char*>(fh->f_handle)) ||
            fh->handle_bytes > 255)
            continue;
        const char* name = reinterpret_cast<const char*>(fh->f_handle) + fh->handle_bytes;
        if (!std::memchr(name, 0, size_t(recordEnd - name)))
            name = nullptr;
        switch (hdr.info_type) {
        case FAN_EVENT_INFO_TYPE_FID:
            info.object.handle = fh;
            break;
        case FAN_EVENT_INFO_TYPE_DFID:
            info.dir.handle = fh;
            break;
        case FAN_EVENT_INFO_TYPE_DFID_NAME:
            info.dir = Fid{fh, name};
            break;
        case FAN_EVENT_INFO_TYPE_OLD_DFID_NAME:
            info.oldDir = Fid{fh, name};
            break;
        case FAN_EVENT_INFO_TYPE_NEW_DFID_NAME:
            info.newDir = Fid{fh, name};
            break;
        default:
            break;
        }
    }
}

quint64 FanotifyJournal::decode(const struct file_handle* handle) const
{
    return handle
               ? decoder_.decode(handle->handle_type, handle->f_handle, int(handle->handle_bytes))
               : 0;
}

void FanotifyJournal::packNamed(quint32 reason, const EventInfo& info, const Fid& where,
                                const Fid* left, bool merged, std::string& out)
{
    if (!where.handle || !where.name || info.inode == 0)
        return;
    const quint64 parent = decode(where.handle);
    if (parent == 0)
        return; // a nested subvolume's folder: not this volume's numbers
    // fanotify merges an event into a queued one of the same object and names, which moves it
    // ahead of the events in between: only an object with another record within the queue's
    // reach can have had one moved ahead of this record.
    const bool checked = merged || seenRecently(info.inode);
    Packed p = {};
    p.reason = reason | ReasonClose;
    p.inode = info.inode;
    p.parent = parent;
    p.flags = quint8((info.isDir ? PackedFolder : 0) | (checked ? PackedChecked : 0));
    const size_t nameLength = std::min<size_t>(std::strlen(where.name), 0xFFFF);
    p.nameLength = quint16(nameLength);
    size_t oldNameLength = 0;
    if (left && left->handle && left->name) {
        p.oldParent = decode(left->handle);
        if (p.oldParent != 0)
            oldNameLength = std::min<size_t>(std::strlen(left->name), 0xFFFF);
    }
    p.oldNameLength = quint16(oldNameLength);
    if (checked) {
        p.parentHandleType = where.handle->handle_type;
        p.parentHandleLength = quint8(where.handle->handle_bytes);
        if (oldNameLength)
            p.oldParentHandleLength = quint8(left->handle->handle_bytes);
    }
    const struct file_handle* own = info.object.handle;
    if (info.isDir && own && !(reason & ReasonNameRemoved)) {
        p.ownHandleType = own->handle_type;
        p.ownHandleLength = quint8(own->handle_bytes);
    }
    const size_t payload =
        p.parentHandleLength +
        (p.oldParentHandleLength ? sizeof(qint32) + p.oldParentHandleLength : 0) +
        p.ownHandleLength + nameLength + oldNameLength;
    p.size = quint32((sizeof(Packed) + payload + 7) & ~size_t(7));
    const size_t at = out.size();
    out.append(reinterpret_cast<const char*>(&p), sizeof(p));
    if (p.parentHandleLength)
        out.append(reinterpret_cast<const char*>(where.handle->f_handle), p.parentHandleLength);
    if (p.oldParentHandleLength) {
        const qint32 type = left->handle->handle_type;
        out.append(reinterpret_cast<const char*>(&type), sizeof(type));
        out.append(reinterpret_cast<const char*>(left->handle->f_handle), p.oldParentHandleLength);
    }
    if (p.ownHandleLength)
        out.append(reinterpret_cast<const char*>(own->f_handle), p.ownHandleLength);
    out.append(where.name, nameLength);
    if (oldNameLength)
        out.append(left->name, oldNameLength);
    out.resize(at + p.size, '\0');
}

void FanotifyJournal::packDeleted(const EventInfo& info, std::string& out)
{
    const quint64 gone = info.inode ? info.inode : decode(info.dir.handle);
    if (gone == 0)
        return;
    Packed p = {};
    p.size = sizeof(Packed);
    p.reason = ReasonFileDelete | ReasonClose;
    p.inode = gone;
    p.flags = info.isDir ? PackedFolder : 0;
    out.append(reinterpret_cast<const char*>(&p), sizeof(p));
}

bool FanotifyJournal::seenRecently(quint64 inode)
{
    // Exact over the window: an object whose last record lies within it is always found.
    const qint64 now = ++recordCount_;
    auto [it, added] = recent_.emplace(inode, now);
    const bool recent = !added && now - it->second <= mergeWindow_;
    it->second = now;
    if (recent_.size() > std::size_t(2 * mergeWindow_)) {
        for (auto i = recent_.begin(); i != recent_.end();) {
            if (now - i->second > mergeWindow_)
                i = recent_.erase(i);
            else
                ++i;
        }
    }
    return recent;
}

void FanotifyJournal::append(const std::string& packed)
{
    bool lost = false;
    {
        std::lock_guard<std::mutex> g(mutex_);
        for (size_t at = 0; at + sizeof(Packed) <= packed.size();) {
            Packed p;
            std::memcpy(&p, packed.data() + at, sizeof(p));
            if (p.reason == 0) {
                // Events were lost: nothing before this point can be trusted by a reader.
                log_.clear();
                logBytes_ = 0;
                nextUsn_ += 1;
                firstUsn_ = nextUsn_;
                lostBefore_ = nextUsn_;
                lost = true;
                at += p.size;
                continue;
            }
            if (log_.empty() || log_.back().bytes.size() + p.size > size_t(trimStep_)) {
                Chunk chunk;
                chunk.first = nextUsn_;
                chunk.bytes.reserve(size_t(std::max<qint64>(trimStep_, p.size)));
                log_.push_back(std::move(chunk));
            }
            log_.back().bytes.append(packed.data() + at, p.size);
            nextUsn_ += p.size;
            logBytes_ += p.size;
            at += p.size;
        }
        trim();
    }
    changed_.notify_all();
    if (lost)
        TQ_LOG_WARNING(kTag, QStringLiteral("Change events of %1 were lost (event queue overflow)")
                                 .arg(mountPoint_));
}

void FanotifyJournal::trim()
{
    // Chunks every attached reader is past go at once; then the log is held to its bound, and
    // a reader left behind finds a gap.
    if (!readers_.empty()) {
        qint64 pinned = nextUsn_;
        for (const ReadContext* r : readers_)
            pinned = std::min(pinned, r->position_);
        while (!log_.empty() && log_.front().end() <= pinned) {
            logBytes_ -= qint64(log_.front().bytes.size());
            log_.pop_front();
        }
    }
    bool trimmed = false;
    while (!log_.empty() && logBytes_ > capacity_) {
        logBytes_ -= qint64(log_.front().bytes.size());
        log_.pop_front();
        trimmed = true;
    }
    firstUsn_ = log_.empty() ? nextUsn_ : log_.front().first;
    if (trimmed) {
        trimmedBefore_ = firstUsn_;
        TQ_LOG_WARNING(
            kTag,
            QStringLiteral("Journal of %1 trimmed: a reader fell too far behind").arg(mountPoint_));
    }
}

void FanotifyJournal::attach(ReadContext& context)
{
    std::lock_guard<std::mutex> g(mutex_);
    context.position_ = nextUsn_;
    readers_.insert(&context);
}

void FanotifyJournal::detach(ReadContext& context)
{
    {
        std::lock_guard<std::mutex> g(mutex_);
        readers_.erase(&context);
        context.position_ = -1;
        trim();
    }
    changed_.notify_all();
}

qint64 FanotifyJournal::logBytes() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return logBytes_;
}

QString FanotifyJournal::gapCause(qint64 from) const
{
    std::lock_guard<std::mutex> g(mutex_);
    if (from < lostBefore_)
        return QStringLiteral("kernel queue overflow");
    if (from < trimmedBefore_)
        return QStringLiteral("log trimmed");
    return QStringLiteral("position out of range");
}

FanotifyJournal::ReadStatus FanotifyJournal::read(qint64 from, bool wait, ReadContext& context, JournalBatch& out,
                                                  qint64* next, size_t maxBytes)
{
    out.clear();
    std::string taken;
    qint64 end = from;
    {
        std::unique_lock<std::mutex> g(mutex_);
        // Everything before `from` has been read through this context.
        if (context.position_ >= 0 && from > context.position_) {
            context.position_ = from;
            trim();
        }
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
        auto chunk = std::upper_bound(log_.begin(), log_.end(), from,
                                      [](qint64 usn, const Chunk& c) { return usn < c.first; });
        if (chunk == log_.begin())
            return ReadStatus::Gap;
        --chunk;
        size_t at = size_t(from - chunk->first);
        while (chunk != log_.end() && taken.size() < maxBytes) {
            if (at >= chunk->bytes.size()) {
                ++chunk;
                at = 0;
                continue;
            }
            Packed p;
            std::memcpy(&p, chunk->bytes.data() + at, sizeof(p));
            if (p.size < sizeof(Packed) || at + p.size > chunk->bytes.size())
                break; // not a record's start: nothing more is read
            taken.append(chunk->bytes.data() + at, p.size);
            at += p.size;
            end = chunk->first + qint64(at);
        }
        if (taken.empty())
            end = nextUsn_;
    }

    // The volume must still be the one the journal follows: another file system mounted over
    // it would make its changes indistinguishable from the other's.
    const QByteArray mp = FileNameCodec::encode(mountPoint_);
    HandleHolder mountFd(::open(mp.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!mountFd.isValid()) {
        TQ_LOG_ERROR(kTag, QStringLiteral("Cannot open %1: %2").arg(mountPoint_, errorText(errno)));
        return ReadStatus::Failed;
    }
    if (mountIdOf(QByteArray(), mountFd.handle()) != mountId_) {
        TQ_LOG_ERROR(
            kTag, QStringLiteral("%1 no longer holds the volume of its journal").arg(mountPoint_));
        return ReadStatus::Failed;
    }
    std::vector<std::pair<QByteArray, HandleHolder>> folders;
    out.records.reserve(taken.size() / 64);
    out.bytes.reserve(taken.size() / 2);
    for (size_t at = 0; at < taken.size();) {
        const auto* p = reinterpret_cast<const Packed*>(taken.data() + at);
        at += p->size;
        if (p->flags & PackedChecked)
            readChecked(mountFd.handle(), p, out, folders);
        else
            out.records.push_back(recordOf(p, out));
    }
    out.endUsn = end;
    *next = end;
    return ReadStatus::Records;
}

void FanotifyJournal::readChecked(int mountFd, const void* record, JournalBatch& out,
                                  std::vector<std::pair<QByteArray, HandleHolder>>& folders) const
{
    // The record lies in a buffer of whole records, aligned to 8 bytes.
    const auto* p = static_cast<const Packed*>(record);
    // A folder by its handle (a few folders per batch: a short list suffices).
    auto folder = [&](qint32 type, const char* handle, int length) {
        QByteArray key(handle, length);
        key.append(reinterpret_cast<const char*>(&type), sizeof(type));
        for (const auto& f : folders) {
            if (f.first == key)
                return f.second.handle();
        }
        const int fd = FileHandleDecoder::openHandle(mountFd, type, handle, length, O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (folders.size() >= 64)
            folders.erase(folders.begin());
        folders.emplace_back(key, HandleHolder(fd));
        return fd;
    };
    // Whether the name in the folder holds the object now (a folder that is gone took the name
    // with it).
    auto holds = [&](qint32 type, const char* handle, int length, const char* name, int nameLength) {
        const int dirFd = folder(type, handle, length);
        const std::string entry(name, std::size_t(nameLength));
        struct stat st;
        return dirFd >= 0 && ::fstatat(dirFd, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0
            && quint64(st.st_ino) == p->inode;
    };
    const bool isDir = p->flags & PackedFolder;
    const bool now = holds(p->parentHandleType, parentHandleOf(p), p->parentHandleLength, nameOf(p), p->nameLength);
    if (p->reason & ReasonRenameNewName) {
        if (now) {
            out.records.push_back(recordOf(p, out));
            return;
        }
        // The object is no longer at the new name: a record still to come puts it where it is.
        // A folder keeps its one name until then; a file loses the name it left unless that
        // name holds it again (a file with several names keeps the others either way).
        if (isDir || !p->oldParentHandleLength
            || holds(oldParentHandleTypeOf(p), oldParentHandleOf(p), p->oldParentHandleLength, oldNameOf(p),
                     p->oldNameLength))
            return;
        JournalBatch::Record r;
        r.reason = ReasonNameRemoved | ReasonClose;
        r.frn = p->inode;
        r.parent = p->oldParent;
        r.nameLength = p->oldNameLength;
        r.name = out.put(oldNameOf(p), p->oldNameLength);
        out.records.push_back(r);
        return;
    }
    // A creation or a removal of a name (or both, merged into one event): the directory entry
    // says which came last.
    JournalBatch::Record r = recordOf(p, out);
    r.reason = (now ? ReasonFileCreate : ReasonNameRemoved) | ReasonClose;
    if (!now)
        r.handleLength = 0;
    out.records.push_back(r);
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
    gCapacity.store(capacity > 0 ? capacity : DefaultCapacity);
    gTrimStep.store(trimStep > 0 ? trimStep : DefaultTrimStep);
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
