#include "app/instance/InstanceChannel.h"

#include "app/desktop/ShellEnvironment.h"
#include "app/instance/FrameReader.h"
#include "core/FileNameCodec.h"
#include "core/Logger.h"
#include "core/SystemUtils.h"
#include "core/UserFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int remaining(const QElapsedTimer& timer, int timeoutMs)
{
    const qint64 left = timeoutMs - timer.elapsed();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

bool InstanceChannel::isPrivateFolder(const QString& path, uid_t owner)
{
    if (path.isEmpty())
        return false;
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == owner && (st.st_mode & 077) == 0;
}

QString InstanceChannel::runtimeFolder()
{
    const uid_t owner = sessionUserId();
    const QString override = ShellEnvironment::runtimeFolderOverride();
    if (!override.isEmpty())
        return isPrivateFolder(override, owner) ? override : QString();

    const QString fromEnvironment = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (fromEnvironment.startsWith(QLatin1Char('/')) && isPrivateFolder(fromEnvironment, owner))
        return fromEnvironment;
    const QString standard = QStringLiteral("/run/user/") + QString::number(owner);
    if (isPrivateFolder(standard, owner))
        return standard;
    if (::geteuid() != 0) {
        const QString qtFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (isPrivateFolder(qtFolder, owner))
            return qtFolder;
    }
    static bool warned = false;
    if (!warned) {
        warned = true;
        TQ_LOG_WARNING("InstanceChannel", QStringLiteral("No private runtime folder for user %1").arg(owner));
    }
    return QString();
}

QString InstanceChannel::socketPath(const QString& title)
{
    const QString folder = runtimeFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + title;
}

QString InstanceChannel::lockPath(const QString& title)
{
    const QString folder = runtimeFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + title + QStringLiteral(".lock");
}

PeerCredentials InstanceChannel::peerCredentials(qintptr socketDescriptor)
{
    PeerCredentials result;
    struct ucred credentials;
    socklen_t length = sizeof credentials;
    if (socketDescriptor >= 0
        && ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0
        && length == sizeof credentials) {
        result.pid = credentials.pid;
        result.uid = credentials.uid;
        result.gid = credentials.gid;
    }
    return result;
}

bool InstanceChannel::isTrustedUser(qint64 uid)
{
    return uid == 0 || uid == static_cast<qint64>(::geteuid()) || uid == static_cast<qint64>(sessionUserId());
}

bool InstanceChannel::isTitleTaken(const QString& title)
{
    const QString path = lockPath(title);
    if (path.isEmpty())
        return false;
    // O_NONBLOCK: a FIFO put in the lock's place must not block the caller in open.
    // Closing the descriptor on return also drops the shared lock.
    const HandleHolder fd = UserFiles::openForReading(path);
    if (!fd.isValid())
        return false;
    return ::flock(fd.handle(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

QLocalSocket* InstanceChannel::connectTo(const QString& title, int timeoutMs, PeerCredentials* server)
{
    const QString path = socketPath(title);
    if (path.isEmpty())
        return nullptr;
    // The socket lies in the session user's runtime folder: it is connected to as that user, so
    // a link planted at its name cannot lead a root instance to a socket of root's. A full
    // backlog (EAGAIN) is tried again until the time is up.
    const QByteArray encoded = FileNameCodec::encode(path);
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (size_t(encoded.size()) >= sizeof address.sun_path)
        return nullptr;
    std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
    QElapsedTimer timer;
    timer.start();
    HandleHolder fd;
    for (;;) {
        int error = 0;
        UserFiles::run(QStringLiteral("connect to %1").arg(path), [&] {
            fd.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
            error = fd.isValid() && ::connect(fd.handle(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
                ? 0 : errno;
            return true;
        });
        if (fd.isValid() && error == 0)
            break;
        fd.reset();
        if (error != EAGAIN || timer.elapsed() >= timeoutMs)
            return nullptr;
        QThread::msleep(10);
    }
    auto* socket = new QLocalSocket;
    if (!socket->setSocketDescriptor(fd.handle(), QLocalSocket::ConnectedState, QIODevice::ReadWrite)) {
        delete socket;
        return nullptr;
    }
    fd.release(); // the socket closes it now
    const PeerCredentials credentials = peerCredentials(socket->socketDescriptor());
    if (!credentials.isValid() || !isTrustedUser(credentials.uid)) {
        TQ_LOG_WARNING("InstanceChannel", QStringLiteral("Server of %1 runs as an untrusted user %2").arg(title).arg(credentials.uid));
        socket->abort();
        delete socket;
        return nullptr;
    }
    if (server)
        *server = credentials;
    return socket;
}

bool InstanceChannel::findInstance(const QString& title, int waitMs, PeerCredentials* server)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (QLocalSocket* socket = connectTo(title, 1000, server)) {
            socket->abort();
            delete socket;
            return true;
        }
        if (!isTitleTaken(title) || timer.elapsed() >= waitMs)
            return false;
        QThread::msleep(20);
    }
}

qint32 InstanceChannel::send(const QString& title, quint32 id, const QByteArray& payload, int timeoutMs,
                             PeerCredentials* server)
{
    QElapsedTimer timer;
    timer.start();
    QLocalSocket* socket = connectTo(title, timeoutMs, server);
    if (!socket)
        return -1;
    qint32 result = -1;
    socket->write(MessageFrame::encode(id, payload));
    FrameReader reader;
    MessageFrame reply;
    bool answered = false;
    while (!answered && !reader.failed()) {
        if (socket->bytesToWrite() > 0)
            socket->waitForBytesWritten(remaining(timer, timeoutMs));
        const int left = remaining(timer, timeoutMs);
        if (left == 0 || !socket->waitForReadyRead(left))
            break;
        reader.append(socket->readAll());
        while (reader.next(reply)) {
            quint32 value = 0;
            if (reply.id == MessageFrame::kReply && MessageFrame::readUInt32(reply.payload, value)) {
                result = static_cast<qint32>(value);
                answered = true;
                break;
            }
        }
    }
    if (!answered)
        TQ_LOG_WARNING("InstanceChannel", QStringLiteral("No reply to message %1 from %2").arg(id).arg(title));
    socket->abort();
    delete socket;
    return result;
}

bool InstanceChannel::post(const QString& title, const QList<MessageFrame>& frames, int timeoutMs,
                           PeerCredentials* server)
{
    QElapsedTimer timer;
    timer.start();
    QLocalSocket* socket = connectTo(title, timeoutMs, server);
    if (!socket)
        return false;
    for (const MessageFrame& frame : frames)
        socket->write(frame.encode());
    while (socket->bytesToWrite() > 0) {
        const int left = remaining(timer, timeoutMs);
        if (left == 0 || !socket->waitForBytesWritten(left))
            break;
    }
    const bool written = socket->bytesToWrite() == 0;
    socket->disconnectFromServer();
    delete socket;
    return written;
}
