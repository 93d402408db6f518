#include "core/ChildProcess.h"

#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "core/UserFileIdentity.h"
#include "core/UserFiles.h"

#include <QElapsedTimer>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
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

void* reapChild(void* argument)
{
    const auto pid = pid_t(reinterpret_cast<std::intptr_t>(argument));
    int status;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    return nullptr;
}

// Reaps a child nobody waits for, whenever it ends: a detached thread that owns no memory (the
// pid travels in its argument), so a program that ends while such a child still runs leaves
// nothing allocated behind (a std::thread's state would be).
void reapLater(pid_t pid)
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    (void)pthread_create(&thread, &attributes, reapChild,
                         reinterpret_cast<void*>(std::intptr_t(pid)));
    pthread_attr_destroy(&attributes);
}

// Output kept by run(); the rest is read and dropped.
constexpr qint64 kMaxRunOutput = 16 << 20;

} // namespace

ChildProcess::~ChildProcess()
{
    end();
}

bool ChildProcess::start(const QString& program, const QStringList& arguments, const Setup& setup)
{
    return spawn(program, arguments, setup, false);
}

bool ChildProcess::startDetached(const QString& program, const QStringList& arguments,
                                 const Setup& setup, int* error)
{
    ChildProcess child;
    const bool started = child.spawn(program, arguments, setup, true);
    if (error)
        *error = child.error();
    if (started)
        child.detach();
    return started;
}

int ChildProcess::run(const QString& program, const QStringList& arguments, Setup setup,
                      int timeoutMs, QByteArray* output)
{
    setup.captureOutput = output != nullptr;
    if (output)
        output->clear();
    ChildProcess child;
    if (!child.start(program, arguments, setup))
        return -1;
    QElapsedTimer timer;
    timer.start();
    if (output) {
        char buffer[16384];
        for (;;) {
            const qint64 left = timeoutMs - timer.elapsed();
            if (left <= 0) {
                child.end();
                return -1;
            }
            const qint64 n = child.readOutput(buffer, sizeof buffer, int(left));
            if (n < 0)
                break;
            if (n > 0 && output->size() < kMaxRunOutput)
                output->append(buffer, int(qMin(n, kMaxRunOutput - output->size())));
        }
    }
    if (!child.waitFinished(int(qMax<qint64>(0, timeoutMs - timer.elapsed())))) {
        child.end();
        return -1;
    }
    return child.exitedNormally() ? child.exitCode() : -1;
}

QStringList ChildProcess::splitCommand(const QString& command)
{
    return QProcess::splitCommand(command);
}

bool ChildProcess::spawn(const QString& program, const QStringList& arguments, const Setup& setup,
                         bool ownSession)
{
    end();
    ended_ = false;
    exitCode_ = 0;
    signal_ = 0;
    error_ = 0;

    std::vector<QByteArray> storage;
    std::vector<QByteArray> environment; // empty: this process's own
    if (setup.runAs == RunAs::SessionUser && UserFileIdentity::needed()) {
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
        for (const QByteArray& variable : setup.environment)
            environment.push_back(variable);
    }
    storage.push_back(FileNameCodec::encode(program));
    for (const QString& a : arguments)
        storage.push_back(FileNameCodec::encode(a));
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    // The working folder is opened as the session user when this is a root instance working
    // for one (the user controls their home), and entered by its descriptor; one that cannot be
    // opened is replaced by "/".
    HandleHolder folder;
    if (!setup.workingFolder.isEmpty())
        folder = UserFiles::openFolder(FileNameCodec::decode(setup.workingFolder), false);

    int pipeEnds[2] = {-1, -1};
    if (setup.captureOutput && !setup.inheritStandard && ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error_ = errno;
        return false;
    }
    const bool capture = pipeEnds[0] >= 0;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!setup.inheritStandard) {
        if (setup.input >= 0)
            posix_spawn_file_actions_adddup2(&actions, setup.input, 0);
        else
            posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (capture)
            posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        else
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (!setup.inheritErrors)
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    if (folder.isValid())
        posix_spawn_file_actions_addfchdir_np(&actions, folder.handle());
    else if (!setup.workingFolder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, "/");
    // No other descriptor of ours (for a root instance: volumes, journal, index files,
    // sockets) reaches the program, not even one a library opened without close-on-exec or
    // another thread opened meanwhile: all above 2 are closed in the child, but the passed one,
    // which becomes descriptor 3 (a descriptor duplicated onto itself loses close-on-exec).
    int firstClosed = 3;
    if (setup.passDescriptor > 2) {
        posix_spawn_file_actions_adddup2(&actions, setup.passDescriptor, 3);
        firstClosed = 4;
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, firstClosed);

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
    if (ownSession) {
        flags |= POSIX_SPAWN_SETSID;
    } else if (setup.ownGroup) {
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
    if (capture)
        ::close(pipeEnds[1]);
    if (rc != 0) {
        if (capture)
            ::close(pipeEnds[0]);
        error_ = rc;
        return false;
    }
    pid_ = pid;
    ownGroup_ = setup.ownGroup && !ownSession;
    if (capture) {
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

void ChildProcess::detach()
{
    if (output_ >= 0) {
        ::close(output_);
        output_ = -1;
    }
    if (pid_ == 0)
        return;
    if (!finished())
        reapLater(pid_);
    pid_ = 0;
}
