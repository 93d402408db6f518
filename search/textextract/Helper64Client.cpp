#include "search/textextract/Helper64Client.h"

#include "core/ContentFile.h"
#include "core/ChildProcess.h"
#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/HandleHolder.h"
#include "core/UserFileIdentity.h"
#include "core/UserFiles.h"
#include "core/Logger.h"
#include "core/SystemUtils.h"
#include "search/textextract/Helper64Protocol.h"
#include "search/textextract/Helper64Thread.h"
#include "search/textextract/TextLimits.h"
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
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char kTag[] = "Helper64";

QString defaultHelperProgram()
{
    return isWow64() ? executableDirectory() + QStringLiteral("/helper64") : QString();
}

// Releases a mutex taken by lockUnlessCanceled.
struct Unlocker
{
    QMutex& held;
    ~Unlocker() { held.unlock(); }
};

} // namespace

Helper64Client::Helper64Client(const QString& folder)
    : Helper64Client(folder, defaultHelperProgram())
{
}

Helper64Client::Helper64Client(const QString& folder, const QString& program, int waitLimitMs)
    : workFolder(folder)
    , helperFolder(folder)
    , helperProgram(program)
    , waitMs(waitLimitMs)
{
    // A root instance runs the helper as its session user, who cannot enter root's working
    // folder: the helper writes into a private folder of that user's instead.
    if (UserFileIdentity::needed() && !program.isEmpty()) {
        helperFolder = UserFiles::makeTemporaryFolder(QStringLiteral("tallowquist-pro-helper-"));
        if (helperFolder.isEmpty())
            TQ_LOG_WARNING(kTag, QStringLiteral("No folder for the helper's text files"));
    }
    start();
}

Helper64Client::~Helper64Client()
{
    {
        QMutexLocker l(&mutex);
        if (state == State::Running && writePipe(QStringLiteral("EXIT"))) {
            const QDeadlineTimer deadline(1000);
            while (!helperExited() && !deadline.hasExpired())
                QThread::msleep(10);
        }
        stopThread();
        endProcess();
    }
    if (helperFolder != workFolder && !helperFolder.isEmpty())
        UserFiles::removeFolder(helperFolder);
}

qint64 Helper64Client::helperPid() const
{
    QMutexLocker l(&mutex);
    return child ? child->pid() : 0;
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
    if (state == State::Running || helperProgram.isEmpty() || helperFolder.isEmpty())
        return;
    const QString pipeId = QUuid::createUuid().toString();

    endProcess();
    // The connection: a socket pair, the helper's end as its standard input.
    int ends[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Failed to start helper64.exe"));
        return;
    }
    HandleHolder ours(ends[0]);
    const HandleHolder theirs(ends[1]);
    ChildProcess::Setup setup;
    setup.input = theirs.handle();
    setup.inheritErrors = true;
    child = std::make_unique<ChildProcess>();
    if (!child->start(helperProgram, {pipeId, Logger::instance().logDirectory(), helperFolder}, setup)) {
        child.reset();
        TQ_LOG_WARNING(kTag, QStringLiteral("Failed to start helper64.exe"));
        return;
    }

    stopThread();
    thread = new Helper64Thread;
    thread->setObjectName(QStringLiteral("HELPER64"));
    thread->start(QThread::InheritPriority);

    if (!connectPipe(ours.release(), pipeId, cancelFlag)) {
        if (ToPlainTextConverter::isCanceled(cancelFlag))
            TQ_LOG_INFO(kTag,
                        QStringLiteral("Start of helper64 abandoned: the search was cancelled"));
        else
            TQ_LOG_WARNING(kTag, QStringLiteral("Failed to connect to the pipe."));
        endProcess(); // a helper we cannot talk to is of no use
        stopThread();
        return;
    }
    state = State::Running;
}

bool Helper64Client::connectPipe(int descriptor, const QString& pipeId, const bool* cancelFlag)
{
    const quint64 ticket = thread->beginRequest();
    emit thread->doConnect(descriptor, pipeId);
    // A helper that exits before it connects, or the caller's search being cancelled, ends the
    // wait at once.
    thread->waitFinished(ticket, waitMs, [this, cancelFlag] {
        return helperExited() || ToPlainTextConverter::isCanceled(cancelFlag);
    });
    return thread->isConnected();
}

bool Helper64Client::writePipe(const QString& text, int descriptor)
{
    if (state != State::Running || !thread) {
        if (descriptor >= 0)
            ::close(descriptor);
        return false;
    }
    const quint64 ticket = thread->beginRequest();
    if (descriptor >= 0)
        thread->attachDescriptor(descriptor);
    emit thread->doWrite(text);
    if (!thread->waitFinished(ticket, waitMs)) {
        state = State::Hung;
        TQ_LOG_WARNING(kTag,
                       QStringLiteral("Writing to pipe hanged, file name = %1").arg(currentFile));
        // The result of an earlier write must not stand in for this one: it counts only when
        // this write has completed after all.
        return thread->waitFinished(ticket, 0) && thread->writeOk();
    }
    if (!thread->writeOk())
        state = State::Hung;
    return thread->writeOk();
}

bool Helper64Client::readPipe(QString* reply)
{
    const quint64 ticket = thread->beginRequest();
    emit thread->doRead();
    if (!thread->waitFinished(ticket, waitMs)) {
        state = State::Hung;
        TQ_LOG_WARNING(kTag,
                       QStringLiteral("Reading from pipe hanged, file name = %1").arg(currentFile));
        return false;
    }
    if (!thread->readOk()) {
        state = State::Hung;
        TQ_LOG_WARNING(kTag,
                       QStringLiteral("helper64 closed the pipe, file name = %1").arg(currentFile));
        return false;
    }
    *reply = thread->data();
    return true;
}

bool Helper64Client::exchange(const QString& request, const char* name, QString* reply,
                              int descriptor)
{
    if (helperExited())
        state = State::Hung;
    if (!writePipe(request, descriptor)) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Failed to send %1").arg(QLatin1String(name)));
        state = State::Hung;
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
    if (state != State::Running || ToPlainTextConverter::isCanceled(cancelFlag))
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
    const QString text = takeReplyFile(reply);
    if (text.isEmpty()) {
        TQ_LOG_WARNING(
            kTag,
            QStringLiteral("Rejected text file outside the working folder: %1, file name = %2")
                .arg(reply, path));
        return std::wstring();
    }
    return text.toStdWString();
}

QString Helper64Client::takeReplyFile(const QString& reply) const
{
    if (helperFolder == workFolder)
        return acceptReplyPath(reply, workFolder) ? reply : QString();
    // A text file of the session user's helper, in that user's folder: read as the user, only
    // as a regular file directly in that folder, copied into our own working folder and
    // removed; never more than any conversion may give.
    const QString name = pathFileName(reply);
    if (pathDirectory(reply) != helperFolder || name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    const HandleHolder in = UserFiles::openForReading(reply);
    QString copy;
    if (in.isValid()) {
        QByteArray pattern = FileNameCodec::encode(workFolder + QStringLiteral("/helper64-XXXXXX"));
        HandleHolder out(::mkostemp(pattern.data(), O_CLOEXEC));
        qint64 left = TextLimits::kMaxTextBytes + 2; // the text and its byte-order mark
        bool ok = out.isValid();
        char buffer[65536];
        while (ok && left > 0) {
            const ssize_t n = ::read(in.handle(), buffer, size_t(qMin<qint64>(left, qint64(sizeof buffer))));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            for (ssize_t done = 0; ok && done < n;) {
                const ssize_t w = ::write(out.handle(), buffer + done, size_t(n - done));
                ok = w > 0 || (w < 0 && errno == EINTR);
                done += w > 0 ? w : 0;
            }
            left -= n;
        }
        if (ok)
            copy = FileNameCodec::decode(pattern);
        else if (out.isValid())
            ::unlink(pattern.constData());
    }
    UserFiles::removeFile(reply);
    return copy;
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
    if (state != State::Running || ToPlainTextConverter::isCanceled(cancelFlag))
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
    if (state == State::Running && helperExited())
        state = State::Hung;
    if (state == State::Hung) {
        TQ_LOG_INFO(kTag, QStringLiteral("Restart helper64.exe"));
        endProcess();
        state = State::NotStarted;
        startLocked(cancelFlag);
        if (state != State::Running)
            state = State::Hung; // try again next time
    }
    return state == State::Running;
}

bool Helper64Client::helperExited()
{
    if (!child || child->finished()) {
        child.reset();
        return true;
    }
    return false;
}

void Helper64Client::endProcess()
{
    // The helper's process group (the converter programs it runs), ended by its pid, and reaped.
    child.reset();
}

void Helper64Client::stopThread()
{
    if (!thread)
        return;
    thread->quit();
    if (!thread->wait(100)) {
        TQ_LOG_WARNING(kTag, QStringLiteral("HELPER64 thread is still running."));
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
