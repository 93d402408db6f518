#include "search/textextract/Helper64Thread.h"

#include "core/Logger.h"
#include "search/textextract/Helper64Protocol.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QMutexLocker>

#include <unistd.h>

namespace {

const char kTag[] = "Helper64Thread";

} // namespace

Helper64Thread::Helper64Thread()
{
    moveToThread(this);
    connect(this, &Helper64Thread::doConnect, this, &Helper64Thread::onConnect);
    connect(this, &Helper64Thread::doWrite, this, &Helper64Thread::onWrite);
    connect(this, &Helper64Thread::doRead, this, &Helper64Thread::onRead);
}

Helper64Thread::~Helper64Thread()
{
    quit();
    wait();
    if (attached >= 0)
        ::close(attached);
}

void Helper64Thread::run()
{
    exec();
    // Close the connection in the thread that owns it, so a blocked peer sees the end.
    if (socket)
        socket->disconnect(this);
    delete socket;
    socket = nullptr;
    QMutexLocker l(&lock);
    connected = false;
    gone = true;
    if (pending != Pending::None) {
        pending = Pending::None;
        completed = activeTicket;
        finished.wakeAll();
    }
}

quint64 Helper64Thread::beginRequest()
{
    QMutexLocker l(&lock);
    return ++issued;
}

bool Helper64Thread::waitFinished(quint64 ticket, int timeoutMs, const std::function<bool()>& giveUp)
{
    const QDeadlineTimer deadline(timeoutMs);
    QMutexLocker l(&lock);
    while (completed < ticket) {
        if (deadline.hasExpired())
            return false;
        const qint64 slice = giveUp ? qMin<qint64>(100, deadline.remainingTime()) : deadline.remainingTime();
        finished.wait(&lock, QDeadlineTimer(slice));
        if (completed < ticket && giveUp) {
            l.unlock();
            const bool stop = giveUp();
            l.relock();
            if (stop)
                return completed >= ticket;
        }
    }
    return true;
}

void Helper64Thread::attachDescriptor(int descriptor)
{
    QMutexLocker l(&lock);
    if (attached >= 0)
        ::close(attached);
    attached = descriptor;
}

bool Helper64Thread::isConnected() const
{
    QMutexLocker l(&lock);
    return connected;
}

bool Helper64Thread::peerGone() const
{
    QMutexLocker l(&lock);
    return gone;
}

bool Helper64Thread::writeOk() const
{
    QMutexLocker l(&lock);
    return lastWriteOk;
}

bool Helper64Thread::readOk() const
{
    QMutexLocker l(&lock);
    return lastReadOk;
}

QString Helper64Thread::data() const
{
    QMutexLocker l(&lock);
    return lastData;
}

void Helper64Thread::beginOp(Pending op)
{
    QMutexLocker l(&lock);
    pending = op;
    activeTicket = issued;
}

void Helper64Thread::complete(Pending op)
{
    {
        QMutexLocker l(&lock);
        if (pending != op)
            return;
        pending = Pending::None;
        completed = activeTicket;
        finished.wakeAll();
    }
    if (op == Pending::Connect)
        emit connectFinished();
    else if (op == Pending::Read)
        emit readFinished();
    else if (op == Pending::Write)
        emit writeFinished();
}

void Helper64Thread::onConnect(int descriptor, const QString& pipeId)
{
    beginOp(Pending::Connect);
    delete socket;
    socket = new QLocalSocket;
    if (!socket->setSocketDescriptor(descriptor, QLocalSocket::ConnectedState, QIODevice::ReadWrite)) {
        TQ_LOG_WARNING(kTag,
                       QStringLiteral("Failed to open the pipe, err=%1").arg(int(socket->error())));
        ::close(descriptor);
        delete socket;
        socket = nullptr;
        complete(Pending::Connect);
        return;
    }
    greeting = Helper64Protocol::greeting(pipeId);
    connect(socket, &QLocalSocket::readyRead, this, &Helper64Thread::onReadyRead);
    connect(socket, &QLocalSocket::bytesWritten, this, &Helper64Thread::onBytesWritten);
    connect(socket, &QLocalSocket::disconnected, this, &Helper64Thread::onDisconnected);
    onReadyRead(); // a greeting that came before we looked
}

void Helper64Thread::takeGreeting()
{
    QString message;
    bool bad = false;
    if (!Helper64Protocol::takeFrame(buffer, &message, &bad) && !bad)
        return; // not complete yet
    if (bad || message != greeting) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Failed to make connection on named pipe"));
        dropConnection();
        return;
    }
    {
        QMutexLocker l(&lock);
        connected = true;
        gone = false;
    }
    complete(Pending::Connect);
}

void Helper64Thread::onWrite(const QString& text)
{
    beginOp(Pending::Write);
    int descriptor;
    {
        QMutexLocker l(&lock);
        descriptor = attached;
        attached = -1;
    }
    struct Closer
    {
        int fd;
        ~Closer()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } closer{descriptor};
    if (!socket || socket->state() != QLocalSocket::ConnectedState) {
        QMutexLocker l(&lock);
        lastWriteOk = false;
    } else {
        QByteArray message = Helper64Protocol::frame(text);
        // An empty frame: the text is longer than the helper would accept; send nothing.
        bool queued = !message.isEmpty();
        // A descriptor goes with the message's first bytes, sent directly on the socket (Qt's
        // socket cannot carry one); Qt's write buffer is empty between requests, so the order
        // of the bytes is kept, and whatever the first send left goes the usual way.
        if (queued && descriptor >= 0) {
            socket->flush();
            if (!socket)
                return; // the peer went away during the flush: the write has failed
            const qint64 n = socket->bytesToWrite() == 0
                                 ? Helper64Protocol::sendWithDescriptor(int(socket->socketDescriptor()),
                                                                        message, descriptor)
                                 : -1;
            queued = n > 0;
            if (queued)
                message.remove(0, int(n));
        }
        if (queued && !message.isEmpty())
            queued = socket->write(message) == message.size();
        if (socket)
            socket->flush();
        // A write to a peer that has gone emits disconnected right here: dropConnection has
        // then completed the write as failed and let go of the socket.
        if (!socket)
            return;
        if (queued && socket->bytesToWrite() > 0)
            return; // completes in onBytesWritten
        QMutexLocker l(&lock);
        lastWriteOk = queued && socket->state() == QLocalSocket::ConnectedState;
    }
    complete(Pending::Write);
}

void Helper64Thread::onBytesWritten()
{
    if (!socket || socket->bytesToWrite() > 0)
        return;
    {
        QMutexLocker l(&lock);
        if (pending != Pending::Write)
            return;
        lastWriteOk = true;
    }
    complete(Pending::Write);
}

void Helper64Thread::onRead()
{
    beginOp(Pending::Read);
    bool isGone;
    {
        QMutexLocker l(&lock);
        lastData.clear();
        lastReadOk = false;
        isGone = gone;
    }
    tryFinishRead(); // a message may have arrived before the read was asked for
    if (isGone)
        complete(Pending::Read); // no-op when the read has just completed
}

void Helper64Thread::onReadyRead()
{
    if (!socket || socket->bytesAvailable() <= 0)
        return;
    buffer += socket->readAll();
    // The helper speaks only when asked, but a bad length (or more than the longest message
    // waiting) is refused as soon as it arrives, so an unasked stream cannot pile up here.
    if (!Helper64Protocol::validHeader(buffer) || buffer.size() > 4 + Helper64Protocol::kMaxMessageBytes) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Read pipe failed, error=malformed message"));
        dropConnection();
        return;
    }
    bool connecting;
    {
        QMutexLocker l(&lock);
        connecting = pending == Pending::Connect;
    }
    if (connecting)
        takeGreeting();
    else
        tryFinishRead();
}

void Helper64Thread::tryFinishRead()
{
    {
        QMutexLocker l(&lock);
        if (pending != Pending::Read)
            return;
    }
    QString message;
    bool bad = false;
    if (Helper64Protocol::takeFrame(buffer, &message, &bad)) {
        {
            QMutexLocker l(&lock);
            lastData = message;
            lastReadOk = true;
        }
        complete(Pending::Read);
    } else if (bad) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Read pipe failed, error=malformed message"));
        dropConnection();
    }
}

void Helper64Thread::onDisconnected()
{
    onReadyRead(); // a last reply may still be unread
    dropConnection();
}

void Helper64Thread::dropConnection()
{
    if (socket) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
        socket = nullptr;
    }
    Pending op;
    {
        QMutexLocker l(&lock);
        connected = false;
        gone = true;
        op = pending;
        if (op == Pending::Write)
            lastWriteOk = false;
    }
    if (op != Pending::None)
        complete(op); // a connect, read or write that was waiting has failed
}
