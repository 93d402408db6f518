#include "ui/tab/SearchRun.h"

#include "search/engine/FileSearcher.h"
#include "search/model/ResultStore.h"
#include "search/model/TempFileHolder.h"

SearchRun::SearchRun(FileSearcher* searcher, std::shared_ptr<FileSearchRequest> request)
    : QObject(searcher)
    , engine(searcher)
    , request_(std::move(request))
    , id_(request_->id)
{
}

SearchRun::~SearchRun() = default;

SearchRun* SearchRun::find(FileSearcher* engine, std::shared_ptr<FileSearchRequest> request,
                           std::shared_ptr<ResultStore> results)
{
    auto* run = new SearchRun(engine, std::move(request));
    run->results_ = std::move(results);
    run->endConnection = connect(engine, &FileSearcher::findEnded, run,
                                 [run](FileSearchRequest::Id id, const FindOutcome& outcome) {
                                     if (id == run->id_)
                                         run->end(outcome);
                                 });
    engine->find(run->request_.get(), run->results_.get());
    return run;
}

SearchRun* SearchRun::findMatches(FileSearcher* engine, std::shared_ptr<FileSearchRequest> request,
                                  const QString& filePath, std::shared_ptr<TempFileHolder> holder)
{
    auto* run = new SearchRun(engine, std::move(request));
    run->holder_ = std::move(holder);
    run->matches = true;
    run->endConnection = connect(engine, &FileSearcher::findMatchesFinished, run, [run](FileSearchRequest::Id id) {
        if (id == run->id_)
            run->end(FindOutcome{run->request_->canceled, {}});
    });
    engine->findMatches(run->request_.get(), filePath, run->holder_.get());
    return run;
}

void SearchRun::cancel()
{
    if (!running || canceled)
        return;
    canceled = true;
    if (matches)
        engine->stopFindMatches(id_);
    else
        engine->stopFind(id_);
}

void SearchRun::end(const FindOutcome& outcome)
{
    if (!running)
        return;
    disconnect(endConnection);
    running = false;
    outcome_ = outcome;
    outcome_.canceled = outcome_.canceled || canceled;
    emit finished(outcome_);
    deleteLater(); // request, results and holder go with the last owner
}
