// SearchRun: one search of the engine as the window sees it, from the moment it is filed until
// the engine reports its end.
//
// The run shares ownership of what the engine reads and writes while the search runs (the
// request, and the results or the match holder), so whoever started it (a tab, its preview)
// may give it up at any time: `cancel` asks the engine to stop and returns at once, the owner
// drops its own references and forgets the run, and the run keeps request and results alive
// until the engine reports that end. It connects once, to the end of its own id, emits
// `finished` once, and then deletes itself. Nothing waits for a search on the GUI thread.
//
// A run is a child of the engine: when the engine goes away (it ends its searches silently
// first), the runs go with it.
#pragma once

#include "search/engine/FindOutcome.h"
#include "search/model/FileSearchRequest.h"

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <memory>

class FileSearcher;
class ResultStore;
class TempFileHolder;

class SearchRun : public QObject
{
    Q_OBJECT
public:
    // Files a name search of `request` into `results`.
    static SearchRun* find(FileSearcher* engine, std::shared_ptr<FileSearchRequest> request,
                           std::shared_ptr<ResultStore> results);
    // Files a search of every match of `request`'s contents pattern in one file.
    static SearchRun* findMatches(FileSearcher* engine, std::shared_ptr<FileSearchRequest> request,
                                  const QString& filePath, std::shared_ptr<TempFileHolder> holder);
    ~SearchRun() override;

    FileSearchRequest::Id id() const { return id_; }
    // True until the engine has reported the end.
    bool isRunning() const { return running; }
    bool isCanceled() const { return canceled; }
    // Asks the engine to stop the search; returns at once. The end is still reported.
    void cancel();

    const std::shared_ptr<FileSearchRequest>& request() const { return request_; }
    const std::shared_ptr<ResultStore>& results() const { return results_; }
    const std::shared_ptr<TempFileHolder>& holder() const { return holder_; }
    const FindOutcome& outcome() const { return outcome_; }

signals:
    // Once, when the engine has reported the end; `outcome.canceled` says whether the search
    // stopped early (always true after `cancel`).
    void finished(const FindOutcome& outcome);

private:
    SearchRun(FileSearcher* engine, std::shared_ptr<FileSearchRequest> request);
    void end(const FindOutcome& outcome);

    FileSearcher* engine;
    std::shared_ptr<FileSearchRequest> request_;
    std::shared_ptr<ResultStore> results_;
    std::shared_ptr<TempFileHolder> holder_;
    FileSearchRequest::Id id_;
    bool matches = false;
    bool running = true;
    bool canceled = false;
    FindOutcome outcome_;
    QMetaObject::Connection endConnection;
};
