#include "platform/LocalSocketFile.h"

#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "core/SystemUtils.h"
#include "core/UserFileIdentity.h"

#include <QLocalServer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool refuse(QString* why, const QString& text)
{
    if (why)
        *why = text;
    return false;
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

bool LocalSocketFile::listen(QLocalServer* server, const QString& path, mode_t mode, QString* why)
{
    const QByteArray encoded = FileNameCodec::encode(path);
    const int slash = encoded.lastIndexOf('/');
    if (slash < 0 || slash == encoded.size() - 1)
        return refuse(why, QStringLiteral("%1 is no socket path").arg(path));
    const QByteArray folder = slash == 0 ? QByteArrayLiteral("/") : encoded.left(slash);
    const QByteArray name = encoded.mid(slash + 1);

    const HandleHolder dir(::open(folder.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!dir.isValid())
        return refuse(why, QStringLiteral("Cannot open the folder %1 (a link or no folder?): %2")
                               .arg(FileNameCodec::decode(folder), errnoText()));
    struct stat st;
    const uid_t self = ::geteuid();
    if (::fstat(dir.handle(), &st) != 0 || !S_ISDIR(st.st_mode)
        || (st.st_uid != self && st.st_uid != sessionUserId()) || (st.st_mode & 022) != 0)
        return refuse(why, QStringLiteral("The folder %1 is not a private folder of this user")
                               .arg(FileNameCodec::decode(folder)));

    // What a process that died left at the name goes; a link goes as a link.
    if (::fstatat(dir.handle(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISSOCK(st.st_mode) && !S_ISLNK(st.st_mode))
            return refuse(why, QStringLiteral("%1 exists and is no socket").arg(path));
        if (::unlinkat(dir.handle(), name.constData(), 0) != 0 && errno != ENOENT)
            return refuse(why, QStringLiteral("Cannot remove the old socket %1: %2").arg(path, errnoText()));
    }

    server->setSocketOptions(QLocalServer::NoOptions); // bound directly at its name
    if (!server->listen(path))
        return refuse(why, QStringLiteral("Cannot listen on %1: %2").arg(path, server->errorString()));

    // The socket belongs to the identity this thread creates files with (the session user's
    // when the caller runs as that user).
    const HandleHolder socket(::openat(dir.handle(), name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat byPath;
    const bool ours = socket.isValid() && ::fstat(socket.handle(), &st) == 0 && S_ISSOCK(st.st_mode)
        && st.st_uid == UserFileIdentity::currentFsUid() && st.st_nlink == 1 && ::lstat(encoded.constData(), &byPath) == 0
        && byPath.st_dev == st.st_dev && byPath.st_ino == st.st_ino;
    if (!ours) {
        server->close();
        return refuse(why, QStringLiteral("The socket %1 was moved or replaced while it was made").arg(path));
    }
    const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(socket.handle());
    if (::chmod(procPath.constData(), mode) != 0) {
        const QString text = errnoText();
        server->close();
        return refuse(why, QStringLiteral("Cannot set the mode of the socket %1: %2").arg(path, text));
    }
    return true;
}
