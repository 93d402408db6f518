#include "search/engine/ContentSearchWorker.h"

#include "search/engine/ComInitializer.h"
#include "search/engine/FileSearcherWorker.h"

ContentSearchWorker::ContentSearchWorker(Task task)
    : task(std::move(task))
{
    setAutoDelete(true);
}

ContentSearchWorker::~ContentSearchWorker() = default;

void ContentSearchWorker::run()
{
    const ComInitializer com;
    Q_UNUSED(com);
    FileSearcherWorker::runTask(task);
}
