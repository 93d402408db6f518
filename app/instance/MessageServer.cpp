#include "app/instance/MessageServer.h"

#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "core/UserFiles.h"
#include "platform/LocalSocketFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

MessageServer::MessageServer(QObject* parent) : QObject(parent)
{
    connect(&idleCheck_, &QTimer::timeout, this, &MessageServer::closeIdleConnections);
    setIdleTimeout(kIdleTimeoutMs);
}

void MessageServer::setIdleTimeout(int ms)
{
    idleTimeoutMs_ = ms;
    idleCheck_.start(qBound(10, ms / 4, 1000));
}

void MessageServer::drop(QLocalSocket* socket)
{
    connections_.remove(socket);
    socket->abort();
    socket->deleteLater();
}

void MessageServer::closeIdleConnections()
{
    QList<QLocalSocket*> idle;
    for (auto it = connections_.cbegin(); it != connections_.cend(); ++it)
        if (it->idle.elapsed() >= idleTimeoutMs_)
            idle << it.key();
    for (QLocalSocket* socket : idle) {
        refusals_.warn(QStringLiteral("Idle connection from process %1 closed").arg(connections_.value(socket).peer.pid));
        drop(socket);
    }
}

MessageServer::~MessageServer()
{
    if (server_) {
        // Closing removes the socket file by its path, in the session user's folder.
        UserFiles::run(QStringLiteral("remove the socket of %1").arg(title_), [this] {
            server_->close();
            return true;
        });
        delete server_;
    }
    releaseLock();
}

void MessageServer::releaseLock()
{
    lockFd_.reset();
}

bool MessageServer::listen(const QString& title, int claimTimeoutMs)
{
    if (isListening())
        return title == title_;
    const QString lock = InstanceChannel::lockPath(title);
    const QString path = InstanceChannel::socketPath(title);
    if (lock.isEmpty() || path.isEmpty())
        return false;

    // The runtime folder is the session user's: the lock file and the socket are made as that
    // user (UserFiles), so a root instance leaves nothing of root's there and a link planted there
    // leads nowhere the user could not go. O_NOFOLLOW: never through a link at the lock's name;
    // O_NONBLOCK: a FIFO in its place must not block us (it is then refused below). A lock file
    // that cannot be opened for writing (an older root instance's) still takes a lock: flock
    // needs no write access.
    const QByteArray lockName = QFile::encodeName(lock);
    HandleHolder fd;
    UserFiles::run(QStringLiteral("open the lock file %1").arg(lock), [&] {
        fd.reset(::open(lockName.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
        if (!fd.isValid() && errno == EACCES)
            fd.reset(::open(lockName.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        return true;
    });
    struct stat st;
    if (!fd.isValid() || ::fstat(fd.handle(), &st) != 0 || !S_ISREG(st.st_mode)) {
        TQ_LOG_WARNING("MessageServer", QStringLiteral("Cannot open the lock file %1").arg(lock));
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (::flock(fd.handle(), LOCK_EX | LOCK_NB) == 0)
            break;
        // Busy: the owner is starting or running, or another process only peeks at the lock
        // for an instant (InstanceChannel::isTitleTaken). A live server settles it.
        if (InstanceChannel::findInstance(title, 0) || timer.elapsed() >= claimTimeoutMs)
            return false;
        QThread::msleep(20);
    }
    lockFd_ = std::move(fd);

    // We own the title: any socket file left is from a process that died (LocalSocketFile
    // removes it). The socket is made as the session user: it is that user's, mode 0600.
    server_ = new QLocalServer(this);
    QString why = QStringLiteral("refused");
    bool listening = false;
    UserFiles::run(QStringLiteral("listen on %1").arg(path), [&] {
        listening = LocalSocketFile::listen(server_, path, 0600, &why);
        return true;
    });
    if (!listening) {
        TQ_LOG_WARNING("MessageServer", why);
        delete server_;
        server_ = nullptr;
        releaseLock();
        return false;
    }
    title_ = title;
    connect(server_, &QLocalServer::newConnection, this, &MessageServer::onNewConnection);
    return true;
}

bool MessageServer::isListening() const
{
    return server_ && server_->isListening();
}

void MessageServer::onNewConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        Connection connection;
        connection.peer = InstanceChannel::peerCredentials(socket->socketDescriptor());
        connection.idle.start();
        int ofProcess = 0;
        int ofUser = 0;
        for (const Connection& c : qAsConst(connections_)) {
            ofProcess += c.peer.pid == connection.peer.pid;
            ofUser += c.peer.uid == connection.peer.uid;
        }
        if (ofProcess >= kMaxConnectionsPerProcess || ofUser >= kMaxConnectionsPerUser) {
            refusals_.warn(QStringLiteral("Too many connections from process %1 (uid %2); connection closed")
                               .arg(connection.peer.pid).arg(connection.peer.uid));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connections_.insert(socket, connection);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            connections_.remove(socket);
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void MessageServer::onReadyRead(QLocalSocket* socket)
{
    auto it = connections_.find(socket);
    if (it == connections_.end())
        return;
    it->idle.start();
    it->reader.append(socket->readAll());
    // Take every complete frame first: a handler may run a nested event loop, in which more
    // bytes of this connection can arrive.
    QList<MessageFrame> frames;
    MessageFrame frame;
    while (it->reader.next(frame))
        frames << frame;
    const bool failed = it->reader.failed();
    const PeerCredentials peer = it->peer;

    QPointer<QLocalSocket> guard(socket);
    QPointer<MessageServer> self(this);
    for (const MessageFrame& f : frames) {
        const qint32 result = handler_ ? handler_(f, peer) : 0;
        if (!self)
            return;
        if (guard && guard->state() == QLocalSocket::ConnectedState) {
            guard->write(MessageFrame::encode(MessageFrame::kReply, MessageFrame::replyPayload(result)));
            // Hand the reply to the kernel now: the caller may block (a synchronous send of
            // its own) before the event loop would write it.
            guard->flush();
        }
    }
    if (failed && guard) {
        refusals_.warn(QStringLiteral("Oversized frame from process %1; connection dropped").arg(peer.pid));
        drop(guard);
    }
}
