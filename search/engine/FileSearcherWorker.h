// FileSearcherWorker: a thread of its own for one engine task ("INIT", "UPDATE", "FIND",
// "FIND_MATCHES"). The thread prepares itself (ComInitializer), runs the task and turns an
// exception that leaves it into one log line, tag "FileSearcherWorker": level INFO for a
// cancellation (FileSearchCancelException), ERROR for any other std::exception (anything else
// is logged as an unknown error). No engine error ever leaves the thread.
//
// The thread's object name is the task name; the name is also given to the operating-system
// thread (QThread does that from the object name), so tools show "FIND" and so on.
//
// Destroying the worker destroys the task; it does not wait for the thread. Owners wait first
// (QThread::wait), because destroying a running QThread aborts the process.
#pragma once

#include <QString>
#include <QThread>

#include <functional>

class FileSearcherWorker : public QThread
{
    Q_OBJECT
public:
    using Task = std::function<void()>;

    FileSearcherWorker(const QString& name, Task task, QObject* parent = nullptr);
    ~FileSearcherWorker() override;

    // Runs `task` on the calling thread with the worker's exception handling and logging.
    // Returns false when the task ended with an exception. Also used by ContentSearchWorker.
    static bool runTask(const Task& task);

protected:
    void run() override;

private:
    Task task;
};
