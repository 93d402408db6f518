#include "search/textextract/Helper64Protocol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

bool Helper64Protocol::peerCredentials(qintptr socketDescriptor, qint64* pid, uint* uid)
{
    struct ucred cred = {};
    socklen_t len = sizeof cred;
    if (socketDescriptor < 0
        || ::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
        return false;
    *pid = cred.pid;
    *uid = cred.uid;
    return true;
}

qint64 Helper64Protocol::sendWithDescriptor(int socket, const QByteArray& bytes, int descriptor)
{
    if (bytes.isEmpty() || descriptor < 0)
        return -1;
    struct iovec iov;
    iov.iov_base = const_cast<char*>(bytes.constData());
    iov.iov_len = size_t(bytes.size());
    alignas(struct cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    struct msghdr msg = {};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    struct cmsghdr* cmsg = CMSG_FIRSTHDR(&msg);
    cmsg->cmsg_level = SOL_SOCKET;
    cmsg->cmsg_type = SCM_RIGHTS;
    cmsg->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(cmsg), &descriptor, sizeof(int));
    for (;;) {
        const ssize_t n = ::sendmsg(socket, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
            return qint64(n);
        if (n < 0 && errno == EINTR)
            continue;
        return -1;
    }
}

qint64 Helper64Protocol::receiveWithDescriptors(int socket, QByteArray* buffer, QList<int>* descriptors)
{
    char data[16384];
    struct iovec iov;
    iov.iov_base = data;
    iov.iov_len = sizeof data;
    // Room for a few descriptors per read; a peer sends one per request.
    alignas(struct cmsghdr) char control[CMSG_SPACE(8 * sizeof(int))];
    struct msghdr msg = {};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    ssize_t n;
    do {
        n = ::recvmsg(socket, &msg, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    for (struct cmsghdr* cmsg = CMSG_FIRSTHDR(&msg); cmsg; cmsg = CMSG_NXTHDR(&msg, cmsg)) {
        if (cmsg->cmsg_level != SOL_SOCKET || cmsg->cmsg_type != SCM_RIGHTS)
            continue;
        const size_t count = (cmsg->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (size_t i = 0; i < count; ++i) {
            int fd;
            std::memcpy(&fd, CMSG_DATA(cmsg) + i * sizeof(int), sizeof(int));
            descriptors->append(fd);
        }
    }
    if (n == 0)
        return -1;
    buffer->append(data, int(n));
    return qint64(n);
}

QByteArray Helper64Protocol::frame(const QString& message)
{
    if (qint64(message.size()) * 2 > kMaxMessageBytes)
        return QByteArray();
    const quint32 bytes = quint32(message.size()) * 2;
    QByteArray out(int(4 + bytes), Qt::Uninitialized);
    qToLittleEndian<quint32>(bytes, out.data());
    qToLittleEndian<quint16>(message.utf16(), message.size(), out.data() + 4);
    return out;
}

bool Helper64Protocol::validHeader(const QByteArray& buffer)
{
    if (buffer.size() < 4)
        return true;
    const quint32 bytes = qFromLittleEndian<quint32>(buffer.constData());
    return bytes <= kMaxMessageBytes && bytes % 2 == 0;
}

bool Helper64Protocol::takeFrame(QByteArray& buffer, QString* message, bool* bad)
{
    *bad = false;
    if (buffer.size() < 4)
        return false;
    if (!validHeader(buffer)) {
        *bad = true;
        return false;
    }
    const quint32 bytes = qFromLittleEndian<quint32>(buffer.constData());
    if (quint32(buffer.size()) - 4 < bytes)
        return false;
    QString text(int(bytes / 2), Qt::Uninitialized);
    qFromLittleEndian<quint16>(buffer.constData() + 4, bytes / 2, text.data());
    *message = text;
    buffer.remove(0, int(4 + bytes));
    return true;
}

QString Helper64Protocol::formatIFilters(const std::list<IFilterInfo>& filters)
{
    // A line break inside a value would shift every later line: write it as a space.
    auto line = [](const std::wstring& value) {
        QString s = QString::fromStdWString(value);
        s.replace(QLatin1Char('\n'), QLatin1Char(' '));
        s.replace(QLatin1Char('\r'), QLatin1Char(' '));
        return s;
    };
    QStringList lines;
    lines << QString::number(filters.size());
    for (const IFilterInfo& f : filters) {
        lines << line(f.clsid) << line(f.name) << QString::number(f.extensions.size());
        for (const std::wstring& ext : f.extensions)
            lines << line(ext);
    }
    return lines.join(QLatin1Char('\n'));
}

qint64 Helper64Protocol::leadingNumber(const QString& line)
{
    qint64 value = 0;
    for (QChar c : line) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - '0');
        if (value > 1000000000)
            return 1000000000; // far above any real count; the line bound ends the parse
    }
    return value;
}

std::list<IFilterInfo> Helper64Protocol::parseIFilters(const QString& reply)
{
    std::list<IFilterInfo> result;
    const QStringList lines = reply.split(QLatin1Char('\n'));
    int pos = 0;
    const qint64 count = leadingNumber(lines.value(pos++));
    for (qint64 i = 0; i < count; ++i) {
        if (pos + 3 > lines.size())
            break;
        IFilterInfo info;
        info.clsid = lines.at(pos++).toStdWString();
        info.name = lines.at(pos++).toStdWString();
        const qint64 extensions = leadingNumber(lines.at(pos++));
        if (extensions > lines.size() - pos)
            break; // the record is cut short
        for (qint64 e = 0; e < extensions; ++e)
            info.extensions.push_back(lines.at(pos++).toStdWString());
        result.push_back(std::move(info));
    }
    return result;
}
