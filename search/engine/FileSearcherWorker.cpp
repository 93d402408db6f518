#include "search/engine/FileSearcherWorker.h"

#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "search/engine/ComInitializer.h"

FileSearcherWorker::FileSearcherWorker(const QString& name, Task job, QObject* parent)
    : QThread(parent)
    , task(std::move(job))
{
    setObjectName(name);
}

FileSearcherWorker::~FileSearcherWorker() = default;

bool FileSearcherWorker::runTask(const Task& task)
{
    if (!task)
        return true;
    try {
        task();
        return true;
    } catch (const FileSearchCancelException& e) {
        TQ_LOG_INFO("FileSearcherWorker", QString::fromUtf8(e.what()));
    } catch (const std::exception& e) {
        TQ_LOG_ERROR("FileSearcherWorker", QString::fromUtf8(e.what()));
    } catch (...) {
        TQ_LOG_ERROR("FileSearcherWorker", QStringLiteral("Unknown exception"));
    }
    return false;
}

void FileSearcherWorker::run()
{
    const ComInitializer com;
    Q_UNUSED(com);
    runTask(task);
}
