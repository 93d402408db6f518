#include "search/engine/MatchesSearch.h"

#include "search/engine/ContentSearcher.h"
#include "search/engine/FileSearcherWorker.h"

MatchesSearch::MatchesSearch(ContentSearcher* contents, FileSearchRequest* searchRequest,
                             const QString& path, TempFileHolder* tempFiles, QObject* parent)
    : QObject(parent)
    , contentSearcher(contents)
    , request(searchRequest)
    , filePath(path)
    , holder(tempFiles)
{
}

MatchesSearch::~MatchesSearch()
{
    stopWorker();
}

void MatchesSearch::stopWorker()
{
    if (!worker)
        return;
    worker->wait();
    delete worker;
    worker = nullptr;
}

void MatchesSearch::start()
{
    stopWorker();
    worker = new FileSearcherWorker(QStringLiteral("FIND_MATCHES"), [this]() {
        FileSearcherWorker::runTask(
            [this]() { contentSearcher->findAll(request, filePath, holder); });
        onFindMatchesFinished();
    });
    worker->start(QThread::InheritPriority);
}

void MatchesSearch::cancel()
{
    // Once the thread is gone the request is never touched again: the tab deletes its request
    // right after cancelling, while the search stays filed until its finished signal arrives
    // (and may be cancelled a second time by the engine's destructor).
    if (!worker)
        return;
    request->canceled = true;
    stopWorker();
}

void MatchesSearch::raiseCancel()
{
    if (worker)
        request->canceled = true;
}

void MatchesSearch::onFindMatchesFinished()
{
    emit finished(request->id);
}
