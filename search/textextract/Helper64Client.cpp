#include "search/textextract/Helper64Client.h"

#include "core/ContentFile.h"
#include "core/FileUtils.h"
#include "core/Logger.h"
#include "core/SystemUtils.h"
#include "search/textextract/Helper64Protocol.h"
#include "search/textextract/Helper64Thread.h"
#include "search/textextract/ToPlainTextConverter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QThread>
#include <QUuid>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const char kTag[] = "Helper64";

QString defaultHelperProgram()
{
    return isWow64() ? executableDirectory() + QStringLiteral("/helper64") : QString();
}

// Starts `program` with `arguments`; 0 on failure.
pid_t spawnProcess(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> storage;
    storage.push_back(QFile::encodeName(program));
    for (const QString& a : arguments)
        storage.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    // Its own process group (id = its pid), so that ending it also ends the converter
    // programs it runs.
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : 0;
}

// Releases a mutex taken by lockUnlessCanceled.
struct Unlocker
{
    QMutex& held;
    ~Unlocker() { held.unlock(); }
};

} // namespace

Helper64Client::Helper64Client(const QString& workFolder)
    : Helper64Client(workFolder, defaultHelperProgram())
{
}

Helper64Client::Helper64Client(const QString& workFolder, const QString& helperProgram, int waitMs)
    : workFolder(workFolder), helperProgram(helperProgram), waitMs(waitMs)
{
    start();
}

Helper64Client::~Helper64Client()
{
    {
        QMutexLocker l(&mutex);
        if (state == 1 && writePipe(QStringLiteral("EXIT"))) {
            const QDeadlineTimer deadline(1000);
            while (!helperExited() && !deadline.hasExpired())
                QThread::msleep(10);
        }
        stopThread();
        endProcess();
    }
}

qint64 Helper64Client::helperPid() const
{
    QMutexLocker l(&mutex);
    return process;
}

void Helper64Client::start()
{
    QMutexLocker l(&mutex);
    startLocked();
}

bool Helper64Client::lockUnlessCanceled(const bool* cancelFlag)
{
    if (!cancelFlag) {
        mutex.lock();
        return true;
    }
    while (!mutex.tryLock(100)) {
        if (ToPlainTextConverter::isCanceled(cancelFlag))
            return false;
    }
    return true;
}

void Helper64Client::startLocked(const bool* cancelFlag)
{
    if (state == 1 || helperProgram.isEmpty())
        return;
    const QString pipeId = QUuid::createUuid().toString();

    endProcess();
    process = spawnProcess(helperProgram,
                           {pipeId, Logger::instance().logDirectory(), workFolder});
    if (process == 0) {
        Logger::instance().writeQString(Logger::Warning, kTag, QStringLiteral("Failed to start helper64.exe"));
        return;
    }

    stopThread();
    thread = new Helper64Thread;
    thread->setObjectName(QStringLiteral("HELPER64"));
    thread->setExpectedPeer(process);
    thread->start(QThread::InheritPriority);

    if (!connectPipe(pipeId, cancelFlag)) {
        if (ToPlainTextConverter::isCanceled(cancelFlag))
            Logger::instance().writeQString(Logger::Info, kTag,
                                            QStringLiteral("Start of helper64 abandoned: the search was cancelled"));
        else
            Logger::instance().writeQString(Logger::Warning, kTag, QStringLiteral("Failed to connect to the pipe."));
        endProcess(); // a helper we cannot talk to is of no use
        stopThread(); // and stop listening: no socket file is left waiting for it
        return;
    }
    state = 1;
}

bool Helper64Client::connectPipe(const QString& pipeId, const bool* cancelFlag)
{
    const quint64 ticket = thread->beginRequest();
    emit thread->doConnect(pipeId);
    // A helper that exits before it connects, or the caller's search being cancelled, ends the
    // wait at once.
    thread->waitFinished(ticket, waitMs, [this, cancelFlag] {
        return helperExited() || ToPlainTextConverter::isCanceled(cancelFlag);
    });
    return thread->isConnected();
}

bool Helper64Client::writePipe(const QString& text, int descriptor)
{
    if (state != 1 || !thread) {
        if (descriptor >= 0)
            ::close(descriptor);
        return false;
    }
    const quint64 ticket = thread->beginRequest();
    if (descriptor >= 0)
        thread->attachDescriptor(descriptor);
    emit thread->doWrite(text);
    if (!thread->waitFinished(ticket, waitMs)) {
        state = 2;
        Logger::instance().writeQString(
            Logger::Warning, kTag, QStringLiteral("Writing to pipe hanged, file name = %1").arg(currentFile));
        // The result of an earlier write must not stand in for this one: it counts only when
        // this write has completed after all.
        return thread->waitFinished(ticket, 0) && thread->writeOk();
    }
    if (!thread->writeOk())
        state = 2;
    return thread->writeOk();
}

bool Helper64Client::readPipe(QString* reply)
{
    const quint64 ticket = thread->beginRequest();
    emit thread->doRead();
    if (!thread->waitFinished(ticket, waitMs)) {
        state = 2;
        Logger::instance().writeQString(
            Logger::Warning, kTag, QStringLiteral("Reading from pipe hanged, file name = %1").arg(currentFile));
        return false;
    }
    if (!thread->readOk()) {
        state = 2;
        Logger::instance().writeQString(
            Logger::Warning, kTag, QStringLiteral("helper64 closed the pipe, file name = %1").arg(currentFile));
        return false;
    }
    *reply = thread->data();
    return true;
}

bool Helper64Client::exchange(const QString& request, const char* name, QString* reply,
                              int descriptor)
{
    if (helperExited())
        state = 2;
    if (!writePipe(request, descriptor)) {
        Logger::instance().writeQString(Logger::Warning, kTag,
                                        QStringLiteral("Failed to send %1").arg(QLatin1String(name)));
        state = 2;
        return false;
    }
    return readPipe(reply);
}

std::wstring Helper64Client::convert(const ContentFile& document, const bool* cancelFlag)
{
    if (!document.isOpen())
        return std::wstring();
    if (!lockUnlessCanceled(cancelFlag))
        return std::wstring();
    const Unlocker unlock{mutex};
    if (state != 1 || ToPlainTextConverter::isCanceled(cancelFlag))
        return std::wstring();
    const QString& path = document.path();
    currentFile = path;
    // A copy of the descriptor, owned by the pipe thread until it is sent; the helper reads
    // from the start of the document.
    document.rewind();
    const int descriptor = document.duplicate();
    if (descriptor < 0)
        return std::wstring();
    QString reply;
    if (!exchange(QStringLiteral("CONVERT\n") + path, "CONVERT", &reply, descriptor)
        || reply.isEmpty())
        return std::wstring();
    if (reply == QLatin1String("TIMEOUT"))
        return reply.toStdWString();
    if (!acceptReplyPath(reply, workFolder)) {
        Logger::instance().writeQString(
            Logger::Warning, kTag,
            QStringLiteral("Rejected text file outside the working folder: %1, file name = %2").arg(reply, path));
        return std::wstring();
    }
    return reply.toStdWString();
}

std::list<IFilterInfo> Helper64Client::getIFilters()
{
    return getIFilters(nullptr);
}

std::list<IFilterInfo> Helper64Client::getIFilters(const bool* cancelFlag)
{
    if (!lockUnlessCanceled(cancelFlag))
        return {};
    const Unlocker unlock{mutex};
    if (state != 1 || ToPlainTextConverter::isCanceled(cancelFlag))
        return {};
    QString reply;
    if (!exchange(QStringLiteral("GET_IFILTERS"), "GET_IFILTERS", &reply))
        return {};
    return Helper64Protocol::parseIFilters(reply);
}

bool Helper64Client::ensureRunning()
{
    return ensureRunning(nullptr);
}

bool Helper64Client::ensureRunning(const bool* cancelFlag)
{
    if (!lockUnlessCanceled(cancelFlag))
        return false;
    const Unlocker unlock{mutex};
    if (ToPlainTextConverter::isCanceled(cancelFlag))
        return false;
    if (state == 1 && helperExited())
        state = 2;
    if (state == 2) {
        Logger::instance().writeQString(Logger::Info, kTag, QStringLiteral("Restart helper64.exe"));
        endProcess();
        state = 0;
        startLocked(cancelFlag);
        if (state != 1)
            state = 2; // try again next time
    }
    return state == 1;
}

bool Helper64Client::helperExited()
{
    if (process == 0)
        return true;
    int status = 0;
    const pid_t r = ::waitpid(process, &status, WNOHANG);
    if (r == process || (r < 0 && errno == ECHILD)) {
        process = 0;
        return true;
    }
    return false;
}

void Helper64Client::endProcess()
{
    if (process == 0)
        return;
    if (!helperExited()) {
        // The helper's process group, then the helper itself should the group be gone.
        if (::kill(-process, SIGKILL) != 0 && ::kill(process, SIGKILL) != 0 && errno != ESRCH)
            Logger::instance().writeQString(Logger::Warning, kTag, QStringLiteral("Kill helper64.exe failed"));
        int status = 0;
        while (::waitpid(process, &status, 0) < 0 && errno == EINTR) {
        }
    }
    process = 0;
}

void Helper64Client::stopThread()
{
    if (!thread)
        return;
    thread->quit();
    if (!thread->wait(100)) {
        Logger::instance().writeQString(Logger::Warning, kTag, QStringLiteral("HELPER64 thread is still running."));
        thread = nullptr; // abandoned: neither waited for longer nor deleted
        return;
    }
    delete thread;
    thread = nullptr;
}

bool Helper64Client::acceptReplyPath(const QString& reply, const QString& workFolder)
{
    if (reply.isEmpty() || workFolder.isEmpty())
        return false;
    struct stat st;
    if (::lstat(QFile::encodeName(reply).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const QFileInfo file(reply);
    const QString folder = QFileInfo(workFolder).canonicalFilePath();
    return !folder.isEmpty() && QFileInfo(file.absolutePath()).canonicalFilePath() == folder;
}
