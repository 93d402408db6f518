// FanotifyJournal: the change journal of one volume, built on fanotify.
//
// Creating the journal places a file-system mark (FAN_MARK_FILESYSTEM) on the volume with
// FAN_CREATE | FAN_RENAME | FAN_DELETE | FAN_DELETE_SELF | FAN_ONDIR, in a group reporting
// FAN_REPORT_DFID_NAME | FAN_REPORT_FID | FAN_REPORT_TARGET_FID (kernel >= 5.17, needs root).
// A drain thread moves the kernel's events into a user-space log bounded like a disk journal
// (8 MiB, trimmed 1 MiB at a time when full). A USN is a byte position in that log: first USN
// is the position of the oldest record kept, next USN the position after the newest. A kernel
// queue overflow (FAN_Q_OVERFLOW) or a trim moves first USN past the gap (an overflow also
// advances next USN by one), so a reader positioned before the gap gets ReadStatus::Gap and
// its index must be rebuilt: the journal is never silently incomplete.
//
// Records carry the reason bits of the original design: FAN_CREATE gives FILE_CREATE | CLOSE,
// FAN_RENAME (the new name) RENAME_NEW_NAME | CLOSE, FAN_DELETE_SELF FILE_DELETE | CLOSE, each
// with the object's inode, its parent folder's inode (creates and renames), the name and the
// folder flag. Handles become inode numbers through FileHandleDecoder, checked against the
// mount root when the journal is created.
//
// Files can have several names (hard links). A new name of an existing file is a FAN_CREATE
// like any other. A rename record also carries the name it left (the old parent's inode and
// the old name), so that of several names only the one renamed moves. Removing one name of a
// file that keeps others gives no FAN_DELETE_SELF: the FAN_DELETE of such a name (a file, not
// a folder) becomes a HARD_LINK_CHANGE | CLOSE record with the file's inode, the parent's
// inode and the removed name. Whether the file keeps other names is asked when the event is
// drained (the file opened by its handle, O_PATH, and its link count read): the removal of a
// file's last name is left to its FAN_DELETE_SELF record as before, so an ordinary delete
// costs no record more than it did.
//
// fanotify merges queued events and can deliver them out of order. read() therefore checks
// every create and rename record against the current directory entry before it hands it out:
// the parent folder is opened by its handle (open_by_handle_at) and the name looked up
// (fstatat); the record is delivered, with the folder flag of the entry, only when the name
// still holds that inode. A name removal is delivered only when the name no longer holds the
// file (a name removed and linked again leaves the name where it is). So a file created, renamed away and back, and deleted before the
// reader gets to it leaves nothing behind, and a stale create never resurrects a gone file.
//
// One journal per mount point lives in a process-wide registry (acquire()), so the journal
// state query and the reader see the same journal. The registry holds weak references: the
// journal, its mark and its drain thread go when the last user releases it, so a caller that
// needs the state and the reads to belong to one journal keeps a reader alive while it asks
// for the state. A broken journal, or one whose mount point now holds another file system, is
// replaced by a new one on the next acquire(). The journal id is
// a random non-zero 64-bit number for the life of that journal: nothing records changes while
// the program is not running, so an index saved by an earlier run (another journal id) is
// reconciled with the volume by a walk after it is loaded.
//
// The journal keeps no descriptor of the mount open (a mark does not pin the mount), so the
// volume can still be unmounted; read() opens the mount root for the duration of one batch and
// fails (ReadStatus::Failed) when that root is no longer the journal's mount (another file
// system mounted over it), since the records could not be checked there.
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
#include <thread>
#include <vector>

#include "core/HandleHolder.h"
#include "platform/FileHandleDecoder.h"

class FanotifyJournal
{
public:
    // Reason bits of journal records.
    enum : quint32 {
        ReasonFileCreate = 0x00000100,
        ReasonFileDelete = 0x00000200,
        ReasonRenameNewName = 0x00002000,
        ReasonHardLinkChange = 0x00010000, // one name of a file that keeps others was removed
        ReasonClose = 0x80000000u,
    };

    struct State
    {
        quint64 journalId = 0;
        qint64 firstUsn = 0;
        qint64 nextUsn = 0;
    };

    struct Record
    {
        qint64 usn = 0;       // position of the record in the log
        quint32 reason = 0;
        quint64 inode = 0;
        quint64 parent = 0;   // 0 for deletions
        bool isDir = false;
        QByteArray name;      // raw bytes; empty for deletions
        quint64 oldParent = 0;  // renames: the name the object left (0 and empty when not known)
        QByteArray oldName;
    };

    enum class ReadStatus {
        Records,   // `out` holds records; *next is the position after them
        Empty,     // nothing past `from` and wait was false (or the journal is being destroyed)
        Canceled,  // the context was canceled
        Gap,       // `from` lies before first USN (overflow or trim) or past next USN
        Failed,    // the journal is broken (the mark or the mount is gone)
    };

    // One reader's wake-up and cancel flag.
    class ReadContext
    {
    public:
        bool canceled() const { return canceled_.load(); }
    private:
        friend class FanotifyJournal;
        std::atomic<bool> canceled_{false};
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

    // Reads verified records from `from` on, at most about `maxBytes` of log per call. With wait
    // true, blocks until a record is past `from`, the context is canceled, or the journal fails.
    ReadStatus read(qint64 from, bool wait, ReadContext& context, std::vector<Record>& out,
                    qint64* next, size_t maxBytes = 64 * 1024);

    // Sets the context's flag and wakes a read() blocked on it. Always succeeds.
    void cancel(ReadContext& context);

    // Log bounds for journals created afterwards (tests use small ones); defaults 8 MiB, 1 MiB.
    static void setLogLimits(qint64 capacity, qint64 trimStep);

    // Test support: stop/resume moving kernel events into the log, so that the kernel queue can
    // be made to overflow; waitUntilDrained() waits (up to `timeoutMs`) until the kernel queue
    // has been read empty.
    void pauseDrain(bool paused);
    bool waitUntilDrained(int timeoutMs);

private:
    struct Entry
    {
        qint64 usn = 0;
        quint32 size = 0;       // bytes the record takes in the log
        quint32 reason = 0;     // 0 marks a lost-events gap (kernel queue overflow)
        quint64 inode = 0;
        quint64 parent = 0;
        bool isDir = false;
        int handleType = 0;     // the parent folder's handle (creates, renames, name removals)
        QByteArray handle;
        QByteArray name;
        quint64 oldParent = 0;  // renames: the name left
        QByteArray oldName;
    };

    explicit FanotifyJournal(const QString& mountPoint);
    void open();
    void drainLoop();
    void parseEvents(const char* buffer, long length, std::vector<Entry>& out);
    bool keepsOtherNames(HandleHolder& mountFd, bool& mountTried, int handleType, const unsigned char* handle,
                         int length) const;
    void append(std::vector<Entry>& entries);
    int folderOf(int mountFd, const Entry& entry, std::vector<std::pair<QByteArray, HandleHolder>>& folders) const;
    bool verify(int mountFd, const Entry& entry, std::vector<std::pair<QByteArray, HandleHolder>>& folders,
                Record* record) const;
    bool verifyRemoval(int mountFd, const Entry& entry, std::vector<std::pair<QByteArray, HandleHolder>>& folders,
                       Record* record) const;
    void wakeDrain();

    QString mountPoint_;
    FileHandleDecoder decoder_;
    quint64 journalId_ = 0;
    quint64 mountId_ = 0;      // identity of the mount the journal was created on
    quint64 device_ = 0;       // st_dev of the mount root
    HandleHolder fanotifyFd_;
    HandleHolder wakeFd_;       // eventfd: wakes the drain thread (shutdown, pause, drain check)
    std::thread drain_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Entry> log_;
    qint64 firstUsn_ = 0;
    qint64 nextUsn_ = 0;
    qint64 logBytes_ = 0;
    qint64 capacity_;
    qint64 trimStep_;
    bool failed_ = false;
    bool stopping_ = false;
    std::atomic<bool> paused_{false};
    bool parked_ = false;
    quint64 passesStarted_ = 0;  // passes over the kernel queue begun by the drain thread
    quint64 passesDone_ = 0;     // number of the last pass that read the queue empty
};
