#include "search/index/JournalBackend.h"
#include "core/FileSearchException.h"

#include <atomic>

namespace {

class FanotifyBackend : public JournalBackend
{
public:
    IChangeJournalReader* createReader(const QString& mountPoint) override
    {
        return new ChangeJournalReader(mountPoint);
    }

    JournalState queryState(const QString& mountPoint) override
    {
        std::shared_ptr<FanotifyJournal> journal = FanotifyJournal::acquire(mountPoint);
        const FanotifyJournal::State s = journal->state();
        JournalState state;
        state.journalId = s.journalId;
        state.firstUsn = s.firstUsn;
        state.nextUsn = s.nextUsn;
        return state;
    }
};

std::atomic<JournalBackend*> installedBackend{nullptr};

} // namespace

JournalBackend::~JournalBackend() = default;

JournalBackend& JournalBackend::instance()
{
    if (JournalBackend* b = installedBackend.load())
        return *b;
    static FanotifyBackend real;
    return real;
}

JournalBackend* JournalBackend::setInstance(JournalBackend* backend)
{
    return installedBackend.exchange(backend);
}

JournalState queryJournalData(const QString& mountPoint)
{
    return JournalBackend::instance().queryState(mountPoint);
}
