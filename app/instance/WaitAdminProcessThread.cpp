#include "app/instance/WaitAdminProcessThread.h"

#include "core/HandleHolder.h"
#include "core/Logger.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef SYS_pidfd_open
#define SYS_pidfd_open 434
#endif

WaitAdminProcessThread::WaitAdminProcessThread(qint64 processId, QObject* parent)
    : QThread(parent), processId_(processId)
{
}

WaitAdminProcessThread::~WaitAdminProcessThread()
{
    requestInterruption();
    wait();
}

void WaitAdminProcessThread::endEventLoop(int code)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

void WaitAdminProcessThread::run()
{
    const HandleHolder pidfd(processId_ > 0 ? static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(processId_), 0)) : -1);
    const int fd = pidfd.handle();
    const bool noPidfd = fd < 0 && errno == ENOSYS;
    const bool alive = noPidfd && (::kill(static_cast<pid_t>(processId_), 0) == 0 || errno == EPERM);
    if (noPidfd && alive) {
        // A kernel without pidfds: look for the process now and then.
        while (!isInterruptionRequested()) {
            if (::kill(static_cast<pid_t>(processId_), 0) != 0 && errno == ESRCH) {
                endEventLoop(0);
                return;
            }
            msleep(200);
        }
        return;
    }
    if (fd < 0) {
        TQ_LOG_WARNING("WaitAdminProcessThread", QStringLiteral("Cannot watch process %1").arg(processId_));
        endEventLoop(1);
        return;
    }
    int code = -1;
    while (code < 0 && !isInterruptionRequested()) {
        struct pollfd p = {fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 200);
        if (ready > 0)
            code = (p.revents & POLLIN) ? 0 : 1;
        else if (ready < 0 && errno != EINTR)
            code = 1;
    }
    if (code >= 0)
        endEventLoop(code);
}
