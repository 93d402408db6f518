#include "app/startup/SignalPipe.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};
int g_pipe[2] = {-1, -1};

void onEndSignal(int sig)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(sig);
    // A full pipe already holds a request to end; losing this one changes nothing.
    ssize_t ignored = ::write(g_pipe[1], &byte, 1);
    (void)ignored;
    errno = savedErrno;
}

} // namespace

SignalPipe::SignalPipe(QObject* parent) : QObject(parent)
{
}

SignalPipe::~SignalPipe()
{
    if (g_pipe[0] < 0)
        return;
    struct sigaction dfl;
    std::memset(&dfl, 0, sizeof(dfl));
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    for (int sig : kEndSignals)
        ::sigaction(sig, &dfl, nullptr);
    delete notifier_;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool SignalPipe::install()
{
    if (g_pipe[0] >= 0)
        return notifier_ != nullptr;
    if (::pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return false;
    }
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalPipe::onReadable);

    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = onEndSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int sig : kEndSignals)
        ::sigaction(sig, &action, nullptr);
    return true;
}

void SignalPipe::onReadable()
{
    char buffer[64];
    for (;;) {
        const ssize_t n = ::read(g_pipe[0], buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i)
            emit received(static_cast<unsigned char>(buffer[i]));
    }
}
