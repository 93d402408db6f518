#include "search/engine/ContentSearchWorker.h"

#include "search/engine/ComInitializer.h"
#include "search/engine/FileSearcherWorker.h"
#include "core/ThreadAnnotations.h"

ContentSearchWorker::ContentSearchWorker(Task job)
    : task(std::move(job))
{
    setAutoDelete(true);
    TQ_HAPPENS_BEFORE(this); // the pool hands the job to one of its threads under Qt's lock
}

ContentSearchWorker::~ContentSearchWorker() = default;

void ContentSearchWorker::run()
{
    TQ_HAPPENS_AFTER(this);
    const ComInitializer com;
    Q_UNUSED(com);
    FileSearcherWorker::runTask(task);
}
