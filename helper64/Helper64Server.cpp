#include "Helper64Server.h"

#include "core/Logger.h"
#include "search/textextract/Helper64Protocol.h"
#include "search/textextract/IFilterConverter.h"

#include <QDeadlineTimer>
#include <QThread>

#include <cstdlib>

#include <unistd.h>

namespace {
const char kTag[] = "helper64";
}

Helper64Server::Helper64Server(const QString& pipeId, const QString& workFolder)
    : pipeId(pipeId), workFolder(workFolder), parentPid(::getppid())
{
    connect(&socket, &QLocalSocket::readyRead, this, &Helper64Server::onReadyRead);
    connect(&socket, &QLocalSocket::disconnected, this, &Helper64Server::onDisconnected);
}

Helper64Server::~Helper64Server()
{
    stopWorker();
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
        socket.connectToServer(path);
        if (socket.waitForConnected(1000)) {
            // Only the program that started us, under our own user: the socket's folder may
            // be writable by a less privileged user (an elevated program in the user's
            // runtime folder), who must not get to have files read on its behalf.
            qint64 pid = 0;
            uint uid = 0;
            if (Helper64Protocol::peerCredentials(socket.socketDescriptor(), &pid, &uid)
                && uid == ::geteuid() && pid == parentPid)
                return true;
            Logger::instance().writeQString(
                Logger::Warning, kTag,
                QStringLiteral("The pipe is held by another process (pid %1, uid %2)").arg(pid).arg(uid));
            socket.abort();
            return false;
        }
        socket.abort();
        // An orphan is adopted by another process: the program died before it listened.
        if (deadline.hasExpired() || ::getppid() != parentPid)
            return false;
        QThread::msleep(50);
    }
}

void Helper64Server::onReadyRead()
{
    buffer += socket.readAll();
    for (;;) {
        QString message;
        bool bad = false;
        if (!Helper64Protocol::takeFrame(buffer, &message, &bad)) {
            if (bad) {
                Logger::instance().writeQString(Logger::Warning, kTag, QStringLiteral("Malformed request, ending"));
                finish();
            }
            break;
        }
        queue << message;
    }
    processNext();
}

void Helper64Server::processNext()
{
    while (!ending && !worker && !queue.isEmpty()) {
        const QString request = queue.takeFirst();
        if (request == QLatin1String("EXIT")) {
            finish();
            return;
        }
        if (request == QLatin1String("GET_IFILTERS")) {
            reply(Helper64Protocol::formatIFilters(getIFiltersFromRegistry()));
            continue;
        }
        if (request.startsWith(QLatin1String("CONVERT\n"))) {
            const QString path = request.mid(8);
            result.clear();
            worker = QThread::create([this, path] {
                result = QString::fromStdWString(extractIFilterText(
                    path.toStdWString(), workFolder.toStdWString(), &cancel, kTimeLimitSeconds));
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
    socket.write(message);
    socket.flush();
}

void Helper64Server::onDisconnected()
{
    finish();
}

void Helper64Server::finish()
{
    if (ending)
        return;
    ending = true;
    stopWorker();
    socket.abort();
    emit done();
}
