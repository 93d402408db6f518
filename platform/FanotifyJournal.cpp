#include "platform/FanotifyJournal.h"
#include "core/FileSearchException.h"

std::shared_ptr<FanotifyJournal> FanotifyJournal::acquire(const QString& mountPoint)
{
    throw FileSearchException(QStringLiteral("Not available yet: %1").arg(mountPoint), QStringLiteral("FanotifyJournal"), __LINE__);
}

FanotifyJournal::FanotifyJournal(const QString& mountPoint) : mountPoint_(mountPoint), capacity_(8 << 20), trimStep_(1 << 20) {}
FanotifyJournal::~FanotifyJournal() = default;

FanotifyJournal::State FanotifyJournal::state() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return State{journalId_, firstUsn_, nextUsn_};
}

FanotifyJournal::ReadStatus FanotifyJournal::read(qint64, bool, ReadContext&, std::vector<Record>&, qint64*, size_t)
{
    return ReadStatus::Failed;
}

void FanotifyJournal::cancel(ReadContext& context)
{
    std::lock_guard<std::mutex> g(mutex_);
    context.canceled_.store(true);
    changed_.notify_all();
}

void FanotifyJournal::setLogLimits(qint64, qint64) {}
void FanotifyJournal::pauseDrain(bool) {}
bool FanotifyJournal::waitUntilDrained(int) { return true; }
