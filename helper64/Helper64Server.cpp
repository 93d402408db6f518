#include "Helper64Server.h"

#include "core/ContentFile.h"
#include "core/FileNameCodec.h"
#include "core/Logger.h"
#include "search/textextract/Helper64Protocol.h"
#include "search/textextract/IFilterConverter.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const char kTag[] = "helper64";

// A connected local socket to `path` (close-on-exec, blocking); -1 when nobody listens there.
int connectLocal(const QString& path)
{
    const QByteArray name = FileNameCodec::encode(path);
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int rc;
    do {
        rc = ::connect(fd, reinterpret_cast<const struct sockaddr*>(&address), sizeof address);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

Helper64Server::Helper64Server(const QString& pipeId, const QString& workFolder)
    : pipeId(pipeId), workFolder(workFolder), parentPid(::getppid())
{
}

Helper64Server::~Helper64Server()
{
    stopWorker();
    closeSocket();
}

void Helper64Server::closeSocket()
{
    delete notifier;
    notifier = nullptr;
    socket.reset();
    for (int fd : qAsConst(descriptors))
        ::close(fd);
    descriptors.clear();
    queue.clear();
}

void Helper64Server::stopWorker()
{
    if (!worker)
        return;
    __atomic_store_n(&cancel, true, __ATOMIC_RELAXED);
    worker->disconnect(this);
    // Filters stop within moments of the cancellation; one that does not (a read stuck in the
    // kernel) must not keep the helper alive without its program.
    if (!worker->wait(kStopWaitMs)) {
        Logger::instance().writeQString(Logger::Warning, kTag,
                                        QStringLiteral("The conversion does not stop; ending at once"));
        std::_Exit(0);
    }
    delete worker;
    worker = nullptr;
}

bool Helper64Server::connectToProgram(int timeoutMs)
{
    const QString path = Helper64Protocol::socketPath(pipeId);
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        HandleHolder connected(connectLocal(path));
        if (connected.isValid()) {
            // Only the program that started us, under our own user: the socket's folder may
            // be writable by a less privileged user (an elevated program in the user's
            // runtime folder), who must not get to have files read on its behalf.
            qint64 pid = 0;
            uint uid = 0;
            if (Helper64Protocol::peerCredentials(connected.handle(), &pid, &uid)
                && uid == ::geteuid() && pid == parentPid) {
                ::fcntl(connected.handle(), F_SETFL, ::fcntl(connected.handle(), F_GETFL) | O_NONBLOCK);
                socket = std::move(connected);
                notifier = new QSocketNotifier(socket.handle(), QSocketNotifier::Read, this);
                connect(notifier, &QSocketNotifier::activated, this, &Helper64Server::onReadyRead);
                return true;
            }
            Logger::instance().writeQString(
                Logger::Warning, kTag,
                QStringLiteral("The pipe is held by another process (pid %1, uid %2)").arg(pid).arg(uid));
            return false;
        }
        // An orphan is adopted by another process: the program died before it listened.
        if (deadline.hasExpired() || ::getppid() != parentPid)
            return false;
        QThread::msleep(50);
    }
}

void Helper64Server::onReadyRead()
{
    if (!socket.isValid())
        return;
    bool gone = false;
    for (;;) {
        const qint64 n = Helper64Protocol::receiveWithDescriptors(socket.handle(), &buffer, &descriptors);
        if (n == 0)
            break;
        if (n < 0) {
            gone = true; // the program went away (or the connection failed)
            break;
        }
    }
    for (;;) {
        QString message;
        bool bad = false;
        if (!Helper64Protocol::takeFrame(buffer, &message, &bad)) {
            if (bad) {
                Logger::instance().writeQString(Logger::Warning, kTag, QStringLiteral("Malformed request, ending"));
                finish();
                return;
            }
            break;
        }
        Request request;
        request.text = message;
        // Each "CONVERT" brought its document's descriptor with its first bytes, in order.
        if (message.startsWith(QLatin1String("CONVERT\n")) && !descriptors.isEmpty())
            request.document.reset(descriptors.takeFirst());
        queue.push_back(std::move(request));
    }
    if (gone) {
        finish();
        return;
    }
    processNext();
}

void Helper64Server::processNext()
{
    while (!ending && !worker && !queue.empty()) {
        Request next = std::move(queue.front());
        queue.pop_front();
        const QString& request = next.text;
        if (request == QLatin1String("EXIT")) {
            finish();
            return;
        }
        if (request == QLatin1String("GET_IFILTERS")) {
            reply(Helper64Protocol::formatIFilters(getIFiltersFromRegistry()));
            continue;
        }
        if (request.startsWith(QLatin1String("CONVERT\n"))) {
            if (!next.document.isValid()) {
                Logger::instance().writeQString(Logger::Warning, kTag,
                                                QStringLiteral("CONVERT without a document: %1").arg(request.mid(8)));
                reply(QString());
                continue;
            }
            const QString path = request.mid(8);
            const int fd = next.document.release();
            result.clear();
            worker = QThread::create([this, path, fd] {
                const ContentFile document = ContentFile::adopt(fd, path);
                result = QString::fromStdWString(extractIFilterText(
                    document, workFolder.toStdWString(), &cancel, kTimeLimitSeconds));
            });
            connect(worker, &QThread::finished, this, &Helper64Server::onConversionFinished);
            worker->start();
            return;
        }
        reply(QString());
    }
}

void Helper64Server::onConversionFinished()
{
    // finish() may have collected the worker already, with this call still queued.
    if (!worker || sender() != worker)
        return;
    worker->wait();
    delete worker;
    worker = nullptr;
    if (ending)
        return;
    reply(result);
    processNext();
}

void Helper64Server::reply(const QString& text)
{
    QByteArray message = Helper64Protocol::frame(text);
    if (message.isEmpty()) {
        // Longer than the program accepts: a failure, said in the one way it understands.
        Logger::instance().writeQString(Logger::Warning, kTag, QStringLiteral("Reply too long, sent empty"));
        message = Helper64Protocol::frame(QString());
    }
    // Replies are short: written whole, waiting for room when the socket is full.
    qint64 sent = 0;
    while (socket.isValid() && sent < message.size()) {
        const ssize_t n = ::send(socket.handle(), message.constData() + sent,
                                 size_t(message.size() - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            struct pollfd p = {socket.handle(), POLLOUT, 0};
            if (::poll(&p, 1, 1000) >= 0)
                continue;
        }
        finish(); // the program has gone
        return;
    }
}

void Helper64Server::finish()
{
    if (ending)
        return;
    ending = true;
    stopWorker();
    closeSocket();
    emit done();
}
