#include "search/engine/MatchesSearch.h"

#include "search/engine/ContentSearcher.h"
#include "search/engine/FileSearcherWorker.h"

MatchesSearch::MatchesSearch(ContentSearcher* contentSearcher, FileSearchRequest* request,
                             const QString& filePath, TempFileHolder* holder, QObject* parent)
    : QObject(parent)
    , contentSearcher(contentSearcher)
    , request(request)
    , filePath(filePath)
    , holder(holder)
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
    request->canceled = true;
    stopWorker();
}

void MatchesSearch::onFindMatchesFinished()
{
    emit finished(request->id);
}
