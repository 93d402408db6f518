#include "search/index/ChangeJournalReader.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"

#include <vector>

ChangeJournalReader::ChangeJournalReader(const QString& mountPoint, QObject* parent)
    : QObject(parent), mountPoint_(mountPoint)
{
    journal_ = FanotifyJournal::acquire(mountPoint);
    journalId_ = journal_->state().journalId;
}

ChangeJournalReader::~ChangeJournalReader() = default;

USN ChangeJournalReader::read(USN start, bool wait)
{
    std::vector<FanotifyJournal::Record> records;
    USN position = start;
    while (!canceled_.load()) {
        records.clear();
        qint64 next = position;
        const FanotifyJournal::ReadStatus status = journal_->read(position, wait, context_, records, &next);
        switch (status) {
        case FanotifyJournal::ReadStatus::Canceled:
        case FanotifyJournal::ReadStatus::Empty:
            return position;
        case FanotifyJournal::ReadStatus::Gap:
            throw FileSearchException(QStringLiteral("Journal records before USN %1 are missing").arg(position),
                                      QStringLiteral("ChangeJournalReader"), __LINE__);
        case FanotifyJournal::ReadStatus::Failed:
            throw FileSearchException(QStringLiteral("The journal of %1 failed").arg(mountPoint_),
                                      QStringLiteral("ChangeJournalReader"), __LINE__);
        case FanotifyJournal::ReadStatus::Records:
            break;
        }
        const USN batchUsn = next;
        for (const FanotifyJournal::Record& r : records) {
            if (!(r.reason & FanotifyJournal::ReasonClose))
                continue;
            if (r.reason & FanotifyJournal::ReasonFileCreate)
                emit fileAdded(r.inode, r.parent, fileNameFromBytes(r.name), r.isDir, batchUsn);
            if ((r.reason & FanotifyJournal::ReasonRenameNewName) && !r.oldName.isEmpty())
                emit nameRenamed(r.inode, r.oldParent, fileNameFromBytes(r.oldName), r.parent, fileNameFromBytes(r.name),
                                 r.isDir, batchUsn);
            else if (r.reason & FanotifyJournal::ReasonRenameNewName)
                emit fileRenamed(r.inode, r.parent, fileNameFromBytes(r.name), r.isDir, batchUsn);
            if (r.reason & FanotifyJournal::ReasonHardLinkChange)
                emit nameRemoved(r.inode, r.parent, fileNameFromBytes(r.name), r.isDir, batchUsn);
            if (r.reason & FanotifyJournal::ReasonFileDelete)
                emit fileDeleted(r.inode, r.isDir, batchUsn);
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
