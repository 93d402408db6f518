#include "core/ChildProcess.h"

#include "core/FileNameCodec.h"
#include "core/UserFileIdentity.h"

#include <QElapsedTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// util-linux's setpriv (an essential package on Debian): takes the identity, then executes the
// program, so the program keeps the process id we started.
constexpr char kSetpriv[] = "/usr/bin/setpriv";

// The environment of a program run as the session user: that user's plain login variables, and
// of ours only the language and time zone (what a converter's output may depend on) and the
// settings of the sanitizer runtimes that checked builds run under.
std::vector<QByteArray> userEnvironment(const SessionAccount& account)
{
    std::vector<QByteArray> environment{
        "HOME=" + (account.home.isEmpty() ? QByteArrayLiteral("/") : account.home),
        "USER=" + account.name,
        "LOGNAME=" + account.name,
        "SHELL=" + (account.shell.isEmpty() ? QByteArrayLiteral("/bin/sh") : account.shell),
        QByteArrayLiteral("PATH=/usr/local/bin:/usr/bin:/bin")};
    static const char* const kept[] = {"LANG=", "LANGUAGE=", "LC_", "TZ=", "ASAN_OPTIONS=", "LSAN_OPTIONS=",
                                       "TSAN_OPTIONS=", "UBSAN_OPTIONS=", "LD_PRELOAD="};
    for (char** variable = environ; variable && *variable; ++variable) {
        const QByteArray entry(*variable);
        for (const char* prefix : kept) {
            if (entry.startsWith(prefix)) {
                environment.push_back(entry);
                break;
            }
        }
    }
    return environment;
}

} // namespace

ChildProcess::~ChildProcess()
{
    end();
}

bool ChildProcess::start(const QString& program, const QStringList& arguments, const Setup& setup)
{
    end();
    ended_ = false;
    exitCode_ = 0;
    signal_ = 0;
    error_ = 0;

    std::vector<QByteArray> storage;
    std::vector<QByteArray> environment; // empty: this process's own
    if (UserFileIdentity::needed()) {
        // A root instance runs every outside program as its session user (see the header).
        SessionAccount account;
        if (::access(FileNameCodec::encode(program).constData(), X_OK) != 0) {
            error_ = errno;
            return false;
        }
        if (!UserFileIdentity::sessionAccount(&account) || ::access(kSetpriv, X_OK) != 0) {
            error_ = EPERM;
            return false;
        }
        QByteArray groups;
        for (const gid_t g : account.groups)
            groups += (groups.isEmpty() ? "" : ",") + QByteArray::number(g);
        storage.push_back(kSetpriv);
        storage.push_back("--reuid=" + QByteArray::number(account.uid));
        storage.push_back("--regid=" + QByteArray::number(account.gid));
        storage.push_back(groups.isEmpty() ? QByteArray("--clear-groups") : "--groups=" + groups);
        storage.push_back("--no-new-privs");
        storage.push_back("--");
        environment = userEnvironment(account);
    }
    storage.push_back(FileNameCodec::encode(program));
    for (const QString& a : arguments)
        storage.push_back(FileNameCodec::encode(a));
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (setup.captureOutput && ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error_ = errno;
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (setup.input >= 0)
        posix_spawn_file_actions_adddup2(&actions, setup.input, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (setup.captureOutput)
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (!setup.inheritErrors)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int s : {SIGPIPE, SIGXFSZ, SIGTERM, SIGINT, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (setup.ownGroup) {
        posix_spawnattr_setpgroup(&attr, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    posix_spawnattr_setflags(&attr, flags);
    pid_t pid = 0;
    std::vector<char*> envp;
    for (QByteArray& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const int rc = ::posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environment.empty() ? environ : envp.data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (setup.captureOutput)
        ::close(pipeEnds[1]);
    if (rc != 0) {
        if (setup.captureOutput)
            ::close(pipeEnds[0]);
        error_ = rc;
        return false;
    }
    pid_ = pid;
    ownGroup_ = setup.ownGroup;
    if (setup.captureOutput) {
        output_ = pipeEnds[0];
        ::fcntl(output_, F_SETFL, ::fcntl(output_, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

qint64 ChildProcess::readOutput(char* into, qint64 max, int timeoutMs)
{
    if (output_ < 0)
        return -1;
    for (;;) {
        const ssize_t n = ::read(output_, into, size_t(max));
        if (n > 0)
            return qint64(n);
        if (n == 0) {
            ::close(output_);
            output_ = -1;
            return -1;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN) {
            ::close(output_);
            output_ = -1;
            return -1;
        }
        struct pollfd p = {output_, POLLIN, 0};
        const int r = ::poll(&p, 1, timeoutMs);
        if (r == 0)
            return 0;
        if (r < 0 && errno != EINTR)
            return -1;
        timeoutMs = 0; // readable (or the end): read it now
    }
}

bool ChildProcess::finished()
{
    if (ended_ || pid_ == 0)
        return true;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0)
        return false;
    ended_ = true;
    if (r == pid_) {
        if (WIFEXITED(status))
            exitCode_ = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            signal_ = WTERMSIG(status);
    } else {
        signal_ = SIGKILL; // reaped elsewhere: its end is unknown
    }
    return true;
}

bool ChildProcess::waitFinished(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!finished()) {
        if (timer.elapsed() >= timeoutMs)
            return false;
        ::usleep(2000);
    }
    return true;
}

void ChildProcess::end()
{
    if (output_ >= 0) {
        ::close(output_);
        output_ = -1;
    }
    if (pid_ == 0)
        return;
    if (!finished()) {
        // The child's process group (its own id), then the child should the group be gone.
        if (!ownGroup_ || ::kill(-pid_, SIGKILL) != 0)
            ::kill(pid_, SIGKILL);
        int status = 0;
        pid_t r;
        do {
            r = ::waitpid(pid_, &status, 0);
        } while (r < 0 && errno == EINTR);
        ended_ = true;
        signal_ = SIGKILL;
    }
    pid_ = 0;
}
