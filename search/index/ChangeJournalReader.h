// ChangeJournalReader: the change-journal reader of one volume, over the fanotify journal.
//
// The constructor sets up the volume's journal: FanotifyJournal::acquire places the fanotify
// mark the first time (the counterpart of creating a missing journal) and shares it with every
// other user of the same volume in this process. journalId is that journal's id.
//
// read(start, wait) reads batches of records from the journal (see platform/FanotifyJournal.h)
// and hands each one whole to the batch handler when one is set (setBatchHandler), else reports
// the records in order as signals: FILE_CREATE gives fileAdded, RENAME_NEW_NAME fileRenamed
// (nameRenamed when the record names the name left), NAME_REMOVED nameRemoved (fileDeleted for
// a folder: its one name), FILE_DELETE fileDeleted, each with the USN after the batch; then
// batchFinished with that USN. The reader attaches its position to the journal from its
// construction on, so the journal keeps every record it has not read yet. With wait true it blocks
// until records arrive or cancel() is called; with wait false it returns when the journal holds
// nothing more. A start USN before the journal's first USN (records were lost to a kernel
// queue overflow or a trim) or a broken journal throws FileSearchException (unit
// "ChangeJournalReader"), so that the caller rebuilds the index instead of missing changes.
//
// cancel() sets `canceled` and wakes a blocked read; it always returns true.
//
// queryJournalData(mountPoint) returns the id and the first and next USN of the volume's
// journal, through JournalBackend (the real fanotify journal, or a scripted one in tests).
#pragma once

#include "search/index/IChangeJournalReader.h"
#include "platform/FanotifyJournal.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

struct JournalState
{
    JournalID journalId = 0;
    USN firstUsn = 0;
    USN nextUsn = 0;
};

// Throws FileSearchException when the journal cannot be set up or read.
JournalState queryJournalData(const QString& mountPoint);

class ChangeJournalReader : public QObject, public IChangeJournalReader
{
    Q_OBJECT
public:
    explicit ChangeJournalReader(const QString& mountPoint, QObject* parent = nullptr);
    ~ChangeJournalReader() override;

    USN read(USN start, bool wait) override;
    bool cancel() override;
    bool setBatchHandler(JournalBatchHandler handler) override;

    JournalID journalId() const { return journalId_; }

signals:
    void fileAdded(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) override;
    void fileRenamed(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) override;
    void fileDeleted(FRN frn, bool isDir, USN usn) override;
    void batchFinished(USN usn) override;
    void nameRenamed(FRN frn, FRN oldParent, const QString& oldName, FRN parent, const QString& name, bool isDir,
                     USN usn) override;
    void nameRemoved(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) override;

private:
    QString mountPoint_;
    JournalID journalId_ = 0;
    std::shared_ptr<FanotifyJournal> journal_;
    FanotifyJournal::ReadContext context_;
    std::atomic<bool> canceled_{false};
    JournalBatchHandler handler_;
};
