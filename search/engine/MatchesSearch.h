// MatchesSearch: every match of a request's contents expression in one file, for the match
// preview. It runs ContentSearcher::findAll on a "FIND_MATCHES" thread of its own and reports
// its end with `finished` (request id), also after a failure or a cancellation; the holder
// keeps whatever was written into it.
//
// `finished` is emitted by the task itself as the thread's last act (not from the thread's own
// finished signal), so the owner never deletes the search while its thread runs; the
// destructor and `cancel` wait for the thread in any case.
#pragma once

#include "search/model/FileSearchRequest.h"

#include <QObject>
#include <QString>

class ContentSearcher;
class FileSearcherWorker;
class TempFileHolder;

class MatchesSearch : public QObject
{
    Q_OBJECT
public:
    MatchesSearch(ContentSearcher* contentSearcher, FileSearchRequest* request,
                  const QString& filePath, TempFileHolder* holder, QObject* parent = nullptr);
    ~MatchesSearch() override;

    void start();
    // Sets the request's cancel flag and waits for the thread; after that (or before start)
    // the request is not touched again.
    void cancel();
    // Sets the request's cancel flag and returns at once; the end is reported as usual.
    void raiseCancel();

    FileSearchRequest::Id id() const { return request->id; }

signals:
    void finished(FileSearchRequest::Id id);

public slots:
    // Runs on the "FIND_MATCHES" thread when the task has ended; emits `finished`.
    void onFindMatchesFinished();

private:
    void stopWorker();

    FileSearcherWorker* worker = nullptr;
    ContentSearcher* contentSearcher;
    FileSearchRequest* request;
    QString filePath;
    TempFileHolder* holder;
};
