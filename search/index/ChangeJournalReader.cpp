#include "search/index/ChangeJournalReader.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"

#include <vector>

ChangeJournalReader::ChangeJournalReader(const QString& mountPoint, QObject* parent)
    : QObject(parent), mountPoint_(mountPoint)
{
    journal_ = FanotifyJournal::acquire(mountPoint);
    journal_->attach(context_);
    journalId_ = journal_->state().journalId;
}

ChangeJournalReader::~ChangeJournalReader()
{
    journal_->detach(context_);
}

bool ChangeJournalReader::setBatchHandler(JournalBatchHandler handler)
{
    handler_ = std::move(handler);
    return true;
}

USN ChangeJournalReader::read(USN start, bool wait)
{
    JournalBatch batch;
    USN position = start;
    while (!canceled_.load()) {
        qint64 next = position;
        const FanotifyJournal::ReadStatus status = journal_->read(position, wait, context_, batch, &next);
        switch (status) {
        case FanotifyJournal::ReadStatus::Canceled:
        case FanotifyJournal::ReadStatus::Empty:
            return position;
        case FanotifyJournal::ReadStatus::Gap:
            throw FileSearchException(
                QStringLiteral("Journal records before USN %1 are missing: %2")
                    .arg(position)
                    .arg(journal_->gapCause(position)),
                QStringLiteral("ChangeJournalReader"), __LINE__);
        case FanotifyJournal::ReadStatus::Failed:
            throw FileSearchException(QStringLiteral("The journal of %1 failed").arg(mountPoint_),
                                      QStringLiteral("ChangeJournalReader"), __LINE__);
        case FanotifyJournal::ReadStatus::Records:
            break;
        }
        const USN batchUsn = next;
        if (handler_) {
            handler_(batch);
            position = batchUsn;
            continue;
        }
        for (const JournalBatch::Record& r : batch.records) {
            if (!(r.reason & FanotifyJournal::ReasonClose))
                continue;
            const QString name = fileNameFromBytes(batch.at(r.name), r.nameLength);
            if (r.reason & FanotifyJournal::ReasonFileCreate)
                emit fileAdded(r.frn, r.parent, name, r.isDir, batchUsn);
            if ((r.reason & FanotifyJournal::ReasonRenameNewName) && r.oldNameLength)
                emit nameRenamed(r.frn, r.oldParent, fileNameFromBytes(batch.at(r.oldName), r.oldNameLength), r.parent,
                                 name, r.isDir, batchUsn);
            else if (r.reason & FanotifyJournal::ReasonRenameNewName)
                emit fileRenamed(r.frn, r.parent, name, r.isDir, batchUsn);
            if ((r.reason & FanotifyJournal::ReasonNameRemoved) && r.isDir)
                emit fileDeleted(r.frn, true, batchUsn);
            else if (r.reason & FanotifyJournal::ReasonNameRemoved)
                emit nameRemoved(r.frn, r.parent, name, r.isDir, batchUsn);
            if (r.reason & FanotifyJournal::ReasonFileDelete)
                emit fileDeleted(r.frn, r.isDir, batchUsn);
        }
        position = batchUsn;
        emit batchFinished(batchUsn);
    }
    return position;
}

bool ChangeJournalReader::cancel()
{
    canceled_.store(true);
    journal_->cancel(context_);
    return true;
}
