#include "core/UserFiles.h"

#include "core/FileNameCodec.h"
#include "core/Logger.h"
#include "core/UserFileIdentity.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kTag[] = "UserFiles";

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void setWhy(QString* why, const QString& text)
{
    if (why)
        *why = text;
}

// The log exists from the second step of the start on; before that (the settings store is
// read first) a refusal goes to standard error.
void logRefusal(const QString& text)
{
    if (Logger::isOpen())
        TQ_LOG_ERROR(kTag, text);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// The folder and the name of `path`, as bytes; false for a path without a name.
bool split(const QString& path, QByteArray* folder, QByteArray* name)
{
    const QByteArray encoded = FileNameCodec::encode(path);
    const int slash = encoded.lastIndexOf('/');
    *folder = slash < 0 ? QByteArrayLiteral(".") : slash == 0 ? QByteArrayLiteral("/") : encoded.left(slash);
    *name = encoded.mid(slash + 1);
    return !name->isEmpty() && *name != "." && *name != "..";
}

} // namespace

namespace UserFiles {

namespace {

// Runs `open` as the session user and keeps what it opened only when it is a regular file.
HandleHolder openRegular(const QString& path, const QString& what, QString* why, struct stat* st,
                         const std::function<int(int* error)>& open)
{
    HandleHolder fd;
    int error = 0;
    if (!run(what, [&] {
            fd.reset(open(&error));
            return true;
        })) {
        setWhy(why, QStringLiteral("%1: refused").arg(path));
        return HandleHolder();
    }
    struct stat status;
    if (!fd.isValid()) {
        setWhy(why, QStringLiteral("%1: %2").arg(path, errnoText(error)));
        return fd;
    }
    if (::fstat(fd.handle(), &status) != 0 || !S_ISREG(status.st_mode)) {
        setWhy(why, QStringLiteral("%1 is not a regular file").arg(path));
        return HandleHolder();
    }
    if (st)
        *st = status;
    return fd;
}

} // namespace

QString dataLocation()
{
    if (UserFileIdentity::needed()) {
        QString home;
        if (UserFileIdentity::sessionUser(nullptr, nullptr, &home) && home.startsWith(QLatin1Char('/')))
            return home + QStringLiteral("/.local/share");
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

bool run(const QString& what, const std::function<bool()>& work)
{
    const AsSessionUser asUser;
    if (!asUser.ok()) {
        logRefusal(QStringLiteral("Refused to %1 as the session user: the user's file identity cannot be taken (%2)")
                       .arg(what, errnoText(asUser.error())));
        return false;
    }
    return work();
}

HandleHolder openFolder(const QString& path, bool create, QString* why)
{
    HandleHolder folder;
    int error = 0;
    const bool ran = run(QStringLiteral("open the folder %1").arg(path), [&] {
        folder = openFolderCreating(FileNameCodec::encode(path), create, 0700, &error);
        return true;
    });
    if (!ran)
        setWhy(why, QStringLiteral("%1: refused").arg(path));
    else if (!folder.isValid())
        setWhy(why, QStringLiteral("%1: %2").arg(path, errnoText(error)));
    return folder;
}

HandleHolder openForReading(const QString& path, struct stat* st, QString* why)
{
    return openRegular(path, QStringLiteral("read %1").arg(path), why, st, [&](int* error) {
        const int fd = ::open(FileNameCodec::encode(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        *error = errno;
        return fd;
    });
}

bool readFile(const QString& path, qint64 maxBytes, QByteArray* bytes, struct stat* st, QString* why)
{
    struct stat status;
    HandleHolder fd = openForReading(path, &status, why);
    if (!fd.isValid())
        return false;
    QFile file;
    if (!file.open(fd.handle(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        setWhy(why, file.errorString());
        return false;
    }
    fd.release(); // the file closes it now
    // As many bytes as the file holds: QIODevice::read(n) first makes a buffer of n bytes.
    *bytes = file.read(qBound(qint64(0), qint64(status.st_size), maxBytes));
    if (file.error() != QFileDevice::NoError) {
        setWhy(why, file.errorString());
        return false;
    }
    if (st)
        *st = status;
    return true;
}

HandleHolder openForAppending(const QString& path, QString* why)
{
    QByteArray folder, name;
    if (!split(path, &folder, &name)) {
        setWhy(why, QStringLiteral("%1: no file name").arg(path));
        return HandleHolder();
    }
    HandleHolder fd = openRegular(path, QStringLiteral("open %1").arg(path), why, nullptr, [&](int* error) {
        const HandleHolder dir(openFolderCreating(folder, true, 0700, error));
        if (!dir.isValid())
            return -1;
        const int opened = ::openat(dir.handle(), name.constData(),
                                    O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
        *error = errno;
        return opened;
    });
    if (fd.isValid())
        ::fcntl(fd.handle(), F_SETFL, O_APPEND); // back to blocking writes
    return fd;
}

SaveResult saveFile(const QString& path, const std::function<bool(QFile& file)>& write, QString* error, mode_t mode)
{
    SaveResult result = SaveResult::CreateFailed;
    if (!run(QStringLiteral("save %1").arg(path), [&] {
            result = ::saveFile(path, write, error, mode);
            return true;
        })) {
        if (error)
            *error = QStringLiteral("refused");
    }
    return result;
}

SaveResult saveFile(const QString& path, const QByteArray& bytes, QString* error)
{
    return UserFiles::saveFile(path, [&](QFile& file) { return file.write(bytes) == bytes.size(); }, error);
}

bool removeFile(const QString& path, QString* why)
{
    bool removed = false;
    if (!run(QStringLiteral("remove %1").arg(path), [&] {
            removed = removeFileOrLink(path, why);
            return true;
        }))
        setWhy(why, QStringLiteral("%1: refused").arg(path));
    return removed;
}

QString makeTemporaryFolder(const QString& prefix)
{
    QByteArray pattern = FileNameCodec::encode(QDir::tempPath() + QLatin1Char('/') + prefix + QStringLiteral("XXXXXX"));
    bool made = false;
    run(QStringLiteral("make a folder in %1").arg(QDir::tempPath()), [&] { return made = ::mkdtemp(pattern.data()) != nullptr; });
    return made ? FileNameCodec::decode(pattern) : QString();
}

bool removeFolder(const QString& path)
{
    return run(QStringLiteral("remove %1").arg(path), [&] { return removeDirectoryRecursively(path); });
}

} // namespace UserFiles
