#include "testutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace testutil {

bool isRoot()
{
    return ::geteuid() == 0;
}

QString enterPrivateMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0)
        return QStringLiteral("cannot enter a private mount namespace: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return QStringLiteral("cannot make the mounts private (is \"/\" a mount point here?): %1")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    return QString();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QString programDir()
{
    const QByteArray env = qgetenv("TQ_PROGRAM_DIR");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
}

} // namespace testutil
