// ContentSearchWorker: one candidate check as a job of a thread pool. The pool deletes it after
// it has run (autoDelete). It prepares the thread (ComInitializer), runs its task and logs an
// escaping exception exactly as FileSearcherWorker does (tag "FileSearcherWorker": INFO for a
// cancellation, ERROR otherwise).
//
// Every file search hands its jobs to a pool of its own (see FileSearch), so that cancelling or
// waiting for one search never touches the jobs of another.
#pragma once

#include <QRunnable>

#include <functional>

class ContentSearchWorker : public QRunnable
{
public:
    using Task = std::function<void()>;

    explicit ContentSearchWorker(Task task);
    ~ContentSearchWorker() override;

    void run() override;

private:
    Task task;
};
