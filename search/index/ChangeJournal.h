// ChangeJournal: runs a volume's journal reader on a thread of its own (the monitor) and
// forwards the changes to the index.
//
// start(from) connects the reader's signals directly (they run on the monitor thread) and starts
// the thread "MONITOR_<name>" (monitorThreadName), which calls reader->read(lastUsn, true).
// fileAdded, fileRenamed and fileDeleted are re-emitted without their USN, on the monitor
// thread; the index connects them with Qt::DirectConnection and applies each change before the
// signal returns.
//
// Names: every rename is emitted as fileRenamed (the object has this name now) and right after
// as nameMoved, which also names the name the object left when the reader knows it (a reader's
// nameRenamed; empty otherwise). An index that keeps every name of a file follows nameMoved
// and not fileRenamed. A reader's nameRemoved (one name of a file that keeps others went) is
// re-emitted as nameRemoved.
//
// Batches: an owner that applies whole batches (the index) gives a handler with
// setBatchHandler before start; when the reader can hand over batches (IChangeJournalReader::
// setBatchHandler), each batch goes to the handler on the monitor thread and none of the
// event signals is emitted. lastUsn moves to the batch's end after the handler returned.
//
// Resume point contract (lastUsn):
// - lastUsn moves only when the reader reports the end of a batch (batchFinished), that is after
//   every event of the batch has been emitted and, through the direct connections, applied.
//   Then batchApplied(usn) is emitted. The per-event USNs never move it, so a saved resume point
//   never claims a change the index does not hold.
// - stop() cancels the reader, which always wakes it, and joins the monitor thread, then
//   returns lastUsn. Because stop() waits for the thread, it must not be called while holding a
//   lock that the update slots take (the index stops its monitor first, then takes its write
//   lock to save).
// - Called on the monitor thread itself (from a direct handler), stop() cancels but does not
//   wait: the thread ends when the handler returns.
// - lastUsn is atomic; lastUsn() may be read at any time.
//
// Failure contract: when the reader throws (the journal lost records, or broke), the monitor
// logs "Journal of %1 failed: %2" at error level with the tag "ChangeJournal", emits
// journalFailed(mountPoint, message) from the monitor thread and ends. The receiver (the index
// set) must rebuild that volume's index: changes after lastUsn are not known. Connect it with a
// queued connection, since the rebuild stops this monitor.
//
// The destructor stops the monitor (cancel and join) when it is still running, then deletes
// the reader.
#pragma once

#include "search/index/IChangeJournalReader.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <memory>

class ChangeJournal : public QObject
{
    Q_OBJECT
public:
    explicit ChangeJournal(QObject* parent = nullptr);
    ~ChangeJournal() override;

    // Stores the volume and takes ownership of the reader (an IChangeJournalReader that is also
    // a QObject), deleting an earlier one.
    void setReader(const QString& mountPoint, IChangeJournalReader* reader);
    IChangeJournalReader* reader() const { return reader_.get(); }
    // Before start(): whole batches go to `handler` where the reader has them (see above).
    void setBatchHandler(JournalBatchHandler handler) { batchHandler_ = std::move(handler); }

    void start(USN from);
    USN stop();

    USN lastUsn() const { return lastUsn_.load(); }
    bool isRunning() const { return thread_.isRunning(); }
    QString mountPoint() const { return mountPoint_; }

signals:
    void fileAdded(FRN frn, FRN parentFRN, const QString& fileName, bool isFolder);
    void fileRenamed(FRN frn, FRN frnParent, const QString& fileName, bool isFolder);
    void fileDeleted(FRN frn, bool isFolder);
    void nameMoved(FRN frn, FRN oldParent, const QString& oldName, FRN frnParent, const QString& fileName, bool isFolder);
    void nameRemoved(FRN frn, FRN frnParent, const QString& fileName, bool isFolder);
    // After every event of a batch was emitted and applied; lastUsn is already `usn`.
    void batchApplied(USN usn);
    // The journal could not be read; the volume's index must be rebuilt.
    void journalFailed(const QString& mountPoint, const QString& message);

public slots:
    void onFileAdded(FRN frn, FRN parent, const QString& name, bool isDir, USN usn);
    void onFileRenamed(FRN frn, FRN parent, const QString& name, bool isDir, USN usn);
    void onFileDeleted(FRN frn, bool isDir, USN usn);
    void onBatchFinished(USN usn);
    void onNameRenamed(FRN frn, FRN oldParent, const QString& oldName, FRN parent, const QString& name, bool isDir,
                       USN usn);
    void onNameRemoved(FRN frn, FRN parent, const QString& name, bool isDir, USN usn);

private:
    void run();

    QString mountPoint_;
    std::unique_ptr<IChangeJournalReader> reader_;
    std::atomic<USN> lastUsn_{0};
    JournalBatchHandler batchHandler_;
    QThread thread_;
    bool started_ = false;
};
