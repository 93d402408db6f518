#include "Helper64Server.h"

#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/textextract/Helper64Protocol.h"
#include "search/textextract/IFilterConverter.h"

#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char kTag[] = "helper64";

} // namespace

Helper64Server::Helper64Server(const QString& pipe, const QString& folder)
    : pipeId(pipe)
    , workFolder(folder)
    , parentPid(::getppid())
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
        TQ_LOG_WARNING(kTag, QStringLiteral("The conversion does not stop; ending at once"));
        std::_Exit(0);
    }
    delete worker;
    worker = nullptr;
}

bool Helper64Server::connectToProgram()
{
    // The program hands us our end of a socket pair as standard input. Only the program that
    // started us may have made it (its user is root for a root instance, whose helper runs as
    // the session user); anything else on standard input is no program to serve.
    struct stat st;
    qint64 pid = 0;
    uint uid = 0;
    if (::fstat(0, &st) != 0 || !S_ISSOCK(st.st_mode) || !Helper64Protocol::peerCredentials(0, &pid, &uid)) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Standard input is no connection to a program"));
        return false;
    }
    if (pid != parentPid || (uid != ::geteuid() && uid != 0)) {
        TQ_LOG_WARNING(kTag, QStringLiteral("The pipe is held by another process (pid %1, uid %2)")
                                 .arg(pid)
                                 .arg(uid));
        return false;
    }
    // The connection moves off standard input, which becomes /dev/null: nothing we start
    // inherits it.
    HandleHolder connected(::fcntl(0, F_DUPFD_CLOEXEC, 3));
    const HandleHolder null(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (!connected.isValid() || !null.isValid() || ::dup2(null.handle(), 0) < 0)
        return false;
    ::fcntl(connected.handle(), F_SETFL, ::fcntl(connected.handle(), F_GETFL) | O_NONBLOCK);
    socket = std::move(connected);
    notifier = new QSocketNotifier(socket.handle(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &Helper64Server::onReadyRead);
    reply(Helper64Protocol::greeting(pipeId));
    return socket.isValid();
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
                TQ_LOG_WARNING(kTag, QStringLiteral("Malformed request, ending"));
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
                TQ_LOG_WARNING(
                    kTag, QStringLiteral("CONVERT without a document: %1").arg(request.mid(8)));
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
        TQ_LOG_WARNING(kTag, QStringLiteral("Reply too long, sent empty"));
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
