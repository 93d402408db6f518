// WaitAdminProcessThread: in the user instance, waits for the main instance's process to end
// and then ends the user instance's event loop: with 0 when the process ended, with 1 when it
// could not be watched (no such process, or no pidfd).
//
// The process is watched through a pidfd (pidfd_open), which works for a process of another
// user (the root instance) and is immune to the pid being reused after it ended. A kernel
// without pidfds falls back to looking for the pid every 200 ms. The event
// loop is ended from the GUI thread (a queued call of QCoreApplication::exit). Destroying the
// thread while it waits stops the wait.
#pragma once

#include <QThread>

class WaitAdminProcessThread : public QThread
{
public:
    explicit WaitAdminProcessThread(qint64 processId, QObject* parent = nullptr);
    ~WaitAdminProcessThread() override;

    qint64 processId() const { return processId_; }

protected:
    void run() override;

private:
    void endEventLoop(int code);

    qint64 processId_;
};
