// FanotifyJournal: the change journal of one volume, built on fanotify.
//
// Creating the journal places a file-system mark (FAN_MARK_FILESYSTEM) on the volume with
// FAN_CREATE | FAN_RENAME | FAN_DELETE | FAN_DELETE_SELF | FAN_ONDIR, in a group reporting
// FAN_REPORT_DFID_NAME | FAN_REPORT_FID | FAN_REPORT_TARGET_FID (kernel >= 5.17, needs root).
// A drain thread ("journal drain") moves the kernel's events into a user-space log as fast as
// they come, so the kernel's queue (16384 events by default) does not overflow while the index
// applies a burst. It runs at nice -10 where allowed (root): at normal weight, on a busy machine,
// it was preempted for 100 ms and more while four threads deleting files filled the kernel's
// queue, which the kernel then dropped.
// A USN is a byte position in that log: first USN is the position of the oldest record kept,
// next USN the position after the newest.
//
// The log: records packed into chunks (a record is its fixed fields, then its bytes: names and
// the handles it needs), about 64 bytes for a new file, so a million events of a burst fit in
// some 64 MB. Readers attach their position (ReadContext): records every attached reader has
// read are let go at once, so the log holds only what is still to be applied. Bounded all the
// same (256 MiB by default; trimmed 1 MiB, one chunk, at a time): a reader that falls that far
// behind, like one behind a kernel queue overflow (FAN_Q_OVERFLOW), finds first USN past its
// position and gets ReadStatus::Gap; its index must then be rebuilt: the journal is never
// silently incomplete. An overflow also advances next USN by one.
//
// Records carry the reason bits of JournalBatch: FAN_CREATE gives FILE_CREATE | CLOSE,
// FAN_RENAME RENAME_NEW_NAME | CLOSE (with the name left: old parent and old name), FAN_DELETE
// NAME_REMOVED | CLOSE (the object, its parent folder and the removed name: a file loses that
// name, and with its last name the file leaves the index at once, even while a process keeps it
// open, when the kernel reports its deletion only later), FAN_DELETE_SELF FILE_DELETE | CLOSE.
// Handles become inode numbers through FileHandleDecoder, checked against the mount root when
// the journal is created; an object whose handle does not decode (a nested btrfs subvolume's,
// whose numbers are not this volume's) gives no record. A folder created or renamed carries its
// own handle, so that an index that must read it (a folder moved in whose contents it never
// listed) opens it wherever it is by then.
//
// fanotify merges an event into an earlier queued one of the same object, folder, name and
// process, which moves it ahead of the events in between: two renames of one folder between
// the same two names, a creation and a removal of one name. Only an object that had another
// record among the last records the kernel's queue can hold (twice max_queued_events: an event
// gives at most two) can have had a later event moved ahead of this record; such a record
// carries its folders' handles and is checked against the directory when it is read (the folder
// opened by its handle with open_by_handle_at, the name looked up with fstatat). A creation or
// removal is delivered as a creation when the name holds the object, else as a removal; a
// rename is delivered when its new name holds the object, else dropped (the record that put the
// object where it is comes later), and for a file the name it left is removed unless that name
// holds it. Every other record is delivered as it came, in order, with no system call: applied
// in order, the last record of each object is what holds.
//
// One journal per mount point lives in a process-wide registry (acquire()), so the journal
// state query and the reader see the same one. The registry holds weak references: the
// journal, its mark and its drain thread go when the last user releases it, so a caller that
// needs the state and the reads to belong to one journal keeps a reader alive while it asks
// for the state. A broken journal, or one whose mount point now holds another file system, is
// replaced by a new one on the next acquire(). The journal id is a random non-zero 64-bit number
// for the life of that journal: nothing records changes while the program is not running, so an
// index saved by an earlier run (another journal id) is reconciled with the volume by a walk
// after it is loaded.
//
// The journal keeps no descriptor of the mount open (a mark does not pin the mount), so the
// volume can still be unmounted; read() opens the mount root for the duration of one batch and
// fails (ReadStatus::Failed) when that root is no longer the journal's mount (another file
// system mounted over it), since its changes could not be told from the other's.
// A blocked read() waits on the journal's condition variable and is woken by new records or by
// cancel() on its ReadContext (which always succeeds); the drain thread sleeps in poll() on the
// fanotify descriptor and an eventfd, which wakes it for shutdown and pauses.
// The mount root is opened O_RDONLY, not O_PATH: open_by_handle_at refuses O_PATH descriptors.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/HandleHolder.h"
#include "platform/FileHandleDecoder.h"
#include "platform/JournalBatch.h"

struct file_handle;

class FanotifyJournal
{
public:
    // Reason bits of journal records.
    enum : quint32 {
        ReasonFileCreate = JournalBatch::FileCreate,
        ReasonFileDelete = JournalBatch::FileDelete,
        ReasonRenameNewName = JournalBatch::RenameNewName,
        ReasonNameRemoved = JournalBatch::NameRemoved,
        ReasonClose = JournalBatch::Close,
    };

    struct State
    {
        quint64 journalId = 0;
        qint64 firstUsn = 0;
        qint64 nextUsn = 0;
    };

    enum class ReadStatus {
        Records,   // `out` holds records (possibly none, all of them dropped); *next is after them
        Empty,     // nothing past `from` and wait was false (or the journal is being destroyed)
        Canceled,  // the context was canceled
        Gap,       // `from` lies before first USN (overflow or trim) or past next USN
        Failed,    // the journal is broken (the mark or the mount is gone)
    };

    // One reader's wake-up and cancel flag, and, once attached, its position: records before
    // the positions of all attached readers are let go.
    class ReadContext
    {
    public:
        ReadContext() = default;
        ReadContext(const ReadContext&) = delete;
        ReadContext& operator=(const ReadContext&) = delete;
        bool canceled() const { return canceled_.load(); }
    private:
        friend class FanotifyJournal;
        std::atomic<bool> canceled_{false};
        qint64 position_ = -1; // guarded by the journal's mutex; -1: not attached
    };

    // The journal of the volume mounted at `mountPoint`, created (mark placed, drain thread
    // started) when there is none. Throws FileSearchException (unit "FanotifyJournal") when
    // fanotify is not available (no root, old kernel), the mark cannot be placed, or the file
    // handles of the volume cannot be decoded.
    static std::shared_ptr<FanotifyJournal> acquire(const QString& mountPoint);

    ~FanotifyJournal();
    FanotifyJournal(const FanotifyJournal&) = delete;
    FanotifyJournal& operator=(const FanotifyJournal&) = delete;

    QString mountPoint() const { return mountPoint_; }
    // False when the event stream broke or another file system is now mounted at the mount
    // point; acquire() then creates a new journal.
    bool usable() const;
    State state() const;

    // Keeps every record from next USN on until the context has read it (or detaches); a read
    // through the context moves its position on. Detach before the context goes.
    void attach(ReadContext& context);
    void detach(ReadContext& context);

    // Reads records from `from` on into `out` (cleared first), at most about `maxBytes` of log
    // per call. With wait true, blocks until a record is past `from`, the context is canceled,
    // or the journal fails.
    ReadStatus read(qint64 from, bool wait, ReadContext& context, JournalBatch& out, qint64* next,
                    size_t maxBytes = 64 * 1024);

    // Sets the context's flag and wakes a read() blocked on it. Always succeeds.
    void cancel(ReadContext& context);

    // Log bounds for journals created afterwards (tests use small ones); defaults 256 MiB, 1 MiB.
    static void setLogLimits(qint64 capacity, qint64 trimStep);

    // Test support: stop/resume moving kernel events into the log, so that the kernel queue can
    // be made to overflow; waitUntilDrained() waits (up to `timeoutMs`) until the kernel queue
    // has been read empty.
    void pauseDrain(bool paused);
    bool waitUntilDrained(int timeoutMs);
    // Bytes of records the log holds now.
    qint64 logBytes() const;
    // Why records before `from` are gone when read() gave Gap for it: "kernel queue overflow"
    // (events lost before they reached the log: the one cause the index cannot avoid), "log
    // trimmed" (a reader fell further behind than the log's bound), or "position out of range".
    QString gapCause(qint64 from) const;

private:
    // One chunk of the log: records packed end to end from USN `first` on.
    struct Chunk
    {
        qint64 first = 0;
        std::string bytes;
        qint64 end() const { return first + qint64(bytes.size()); }
    };

    explicit FanotifyJournal(const QString& mountPoint);
    void open();
    void drainLoop();
    // Packs the records of a buffer of events into `out`; an overflow gives a lone marker.
    void parseEvents(const char* buffer, long length, std::string& out);
    struct Fid;
    struct EventInfo;
    // The handles and names of one event's information records, [begin, end).
    static void readInfoRecords(const char* begin, const char* end, EventInfo& info);
    // The inode number of a handle; 0 when there is none or it does not decode.
    quint64 decode(const struct file_handle* handle) const;
    // The record of a name in a folder `where` (created, removed, or entered by a rename that
    // left `left`): the object, the folder and the name; the folders' handles when the record
    // is to be checked on reading (`merged`, or the object had a recent record), the object's
    // own when it is a folder that was created or renamed.
    void packNamed(quint32 reason, const EventInfo& info, const Fid& where, const Fid* left,
                   bool merged, std::string& out);
    // The record of the object's deletion (FAN_DELETE_SELF).
    void packDeleted(const EventInfo& info, std::string& out);
    void append(const std::string& packed);
    void trim();
    // Whether the object had a record within the merge window (drain thread only).
    bool seenRecently(quint64 inode);
    void readChecked(int mountFd, const void* record, JournalBatch& out,
                     std::vector<std::pair<QByteArray, HandleHolder>>& folders) const;
    void wakeDrain();

    QString mountPoint_;
    FileHandleDecoder decoder_;
    quint64 journalId_ = 0;
    quint64 mountId_ = 0;      // identity of the mount the journal was created on
    qint64 mergeWindow_ = 0;   // records over which the kernel's queue can merge events
    qint64 recordCount_ = 0;   // records made (drain thread)
    std::unordered_map<quint64, qint64> recent_; // object -> number of its last record (drain thread)
    HandleHolder fanotifyFd_;
    HandleHolder wakeFd_;       // eventfd: wakes the drain thread (shutdown, pause, drain check)
    std::thread drain_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Chunk> log_;
    std::set<ReadContext*> readers_;
    qint64 firstUsn_ = 0;
    qint64 nextUsn_ = 0;
    qint64 logBytes_ = 0;
    qint64 lostBefore_ = -1; // first USN after the last kernel queue overflow (-1: none)
    qint64 trimmedBefore_ = -1; // first USN after the last trim past a reader (-1: none)
    qint64 capacity_;
    qint64 trimStep_;
    bool failed_ = false;
    bool stopping_ = false;
    std::atomic<bool> paused_{false};
    bool parked_ = false;
    quint64 passesStarted_ = 0;  // passes over the kernel queue begun by the drain thread
    quint64 passesDone_ = 0;     // number of the last pass that read the queue empty
};
