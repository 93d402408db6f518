#include "core/PrivateFolders.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "core/UserFileIdentity.h"

#include <QDir>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kTag[] = "PrivateFolders";

void logWarning(const QString& text)
{
    if (Logger::isOpen())
        TQ_LOG_WARNING(kTag, text);
}

// A real folder (not a link) owned by the effective user with no access for anybody else.
bool isOwnPrivateFolder(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & 077) == 0;
}

// The mkdtemp folder of a process that is not root and has no runtime folder; removed when the
// process ends.
struct MadeFolder
{
    std::mutex mutex;
    QString path;
    ~MadeFolder()
    {
        if (!path.isEmpty())
            removeDirectoryRecursively(path);
    }
};

MadeFolder& madeFolder()
{
    static MadeFolder folder;
    return folder;
}

} // namespace

namespace PrivateFolders {

bool ensureRootFolder(const QString& path, QString* why)
{
    QString reason;
    const QString cleaned = QDir::cleanPath(path);
    const int slash = cleaned.lastIndexOf(QLatin1Char('/'));
    const QByteArray name = FileNameCodec::encode(cleaned.mid(slash + 1));
    HandleHolder parent;
    if (::geteuid() != 0)
        reason = QStringLiteral("only root keeps its state there");
    else if (slash < 0 || name.isEmpty())
        reason = QStringLiteral("not an absolute path");
    else
        parent = openRootOnlyFolder(slash == 0 ? QStringLiteral("/") : cleaned.left(slash), false, &reason);
    if (parent.isValid()) {
        if (::mkdirat(parent.handle(), name.constData(), 0700) != 0 && errno != EEXIST) {
            reason = QStringLiteral("cannot create it: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        } else {
            const HandleHolder folder(::openat(parent.handle(), name.constData(),
                                               O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            struct stat st;
            if (!folder.isValid() || ::fstat(folder.handle(), &st) != 0)
                reason = QStringLiteral("it is not a folder");
            else if (st.st_uid != 0)
                reason = QStringLiteral("it belongs to user %1").arg(st.st_uid);
            else if ((st.st_mode & 077) != 0 && ::fchmod(folder.handle(), 0700) != 0)
                reason = QStringLiteral("its mode cannot be narrowed");
            else
                return true;
        }
    }
    if (why)
        *why = QStringLiteral("%1 is refused: %2").arg(path, reason);
    return false;
}

bool isRootOnly(const QString& path, QString* why)
{
    return openRootOnlyFolder(path, false, why).isValid();
}

QString indexBase(const QString& dbPath)
{
    if (!UserFileIdentity::needed())
        return dbPath;
    static std::mutex mutex;
    static QString lastSetting;
    static QString lastBase;
    std::lock_guard<std::mutex> lock(mutex);
    QString why;
    QString base;
    if (!dbPath.startsWith(QLatin1Char('/')))
        why = QStringLiteral("not an absolute path");
    else if (openRootOnlyFolder(dbPath, true, &why).isValid())
        base = dbPath;
    if (base.isEmpty() && ensureRootFolder(QLatin1String(kRootStateFolder), &why))
        base = QLatin1String(kRootStateFolder);
    if (lastSetting != dbPath || lastBase != base) {
        lastSetting = dbPath;
        lastBase = base;
        if (base.isEmpty())
            logWarning(QStringLiteral("No folder for index files: %1").arg(why));
        else if (base != dbPath && Logger::isOpen())
            TQ_LOG_INFO(kTag, QStringLiteral("Index files are kept in %1, not in %2: %3").arg(base, dbPath, why));
    }
    return base;
}

QString runtimeFolder()
{
    if (::geteuid() == 0) {
        const QString folder = QLatin1String(kRootRuntimeFolder);
        QString why;
        if (ensureRootFolder(folder, &why))
            return folder;
        logWarning(why);
        return QString();
    }
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isOwnPrivateFolder(runtime))
        return FileNameCodec::decode(runtime);
    MadeFolder& made = madeFolder();
    std::lock_guard<std::mutex> lock(made.mutex);
    if (made.path.isEmpty() || !isOwnPrivateFolder(FileNameCodec::encode(made.path))) {
        QByteArray pattern = FileNameCodec::encode(QDir::tempPath() + QStringLiteral("/tallowquist-pro-XXXXXX"));
        if (!::mkdtemp(pattern.data())) {
            logWarning(QStringLiteral("No private folder can be made in %1: %2")
                           .arg(QDir::tempPath(), QString::fromLocal8Bit(std::strerror(errno))));
            return QString();
        }
        made.path = FileNameCodec::decode(pattern);
    }
    return made.path;
}

// Removes the folders "<prefix><pid>-..." in `base` that belong to this process's user and
// whose process is gone.
static void removeFoldersOfDeadProcesses(const QString& base, const QString& prefix)
{
    const QStringList names = QDir(base).entryList({prefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        bool ok = false;
        const qint64 pid = name.mid(prefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
        if (!ok || pid <= 0 || pid == qint64(::getpid()) || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        const QString path = base + QLatin1Char('/') + name;
        struct stat st;
        if (::lstat(FileNameCodec::encode(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid())
            removeDirectoryRecursively(path);
    }
}

static QString makeFolderIn(const QString& base, const QString& prefix)
{
    if (base.isEmpty())
        return QString();
    removeFoldersOfDeadProcesses(base, prefix);
    QByteArray pattern = FileNameCodec::encode(base + QLatin1Char('/') + prefix + QString::number(::getpid())
                                               + QStringLiteral("-XXXXXX"));
    if (!::mkdtemp(pattern.data())) {
        logWarning(QStringLiteral("No private folder can be made in %1: %2")
                       .arg(base, QString::fromLocal8Bit(std::strerror(errno))));
        return QString();
    }
    return FileNameCodec::decode(pattern);
}

QString makeProcessFolder(const QString& prefix)
{
    return makeFolderIn(runtimeFolder(), prefix);
}

QString makeWorkingFolder()
{
    if (::geteuid() == 0)
        return makeProcessFolder(QStringLiteral("work-"));
    return makeFolderIn(QDir::tempPath(), QStringLiteral("Tallowquist Pro-"));
}

} // namespace PrivateFolders
