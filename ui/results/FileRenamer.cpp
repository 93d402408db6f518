#include "ui/results/FileRenamer.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileRenamer {

QString nameProblem(const QString& name)
{
    if (name.isEmpty())
        return QCoreApplication::translate("FileTable", "The name must not be empty.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QCoreApplication::translate("FileTable", "\"%1\" cannot be used as a name.").arg(name);
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return QCoreApplication::translate("FileTable", "A name must not contain \"/\".");
    return QString();
}

bool rename(const QString& oldPath, const QString& newName, QString* newPath, QString* error)
{
    const QString problem = nameProblem(newName);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    const QString folder = pathDirectory(oldPath);
    const QString target = folder.endsWith(QLatin1Char('/')) ? folder + newName
                                                               : folder + QLatin1Char('/') + newName;
    if (target == oldPath) {
        if (newPath)
            *newPath = target;
        return true;
    }
    const QByteArray from = FileNameCodec::encode(oldPath);
    const QByteArray to = FileNameCodec::encode(target);
    int rc = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (rc != 0 && errno == EINVAL) {
        struct stat st;
        if (::lstat(to.constData(), &st) == 0) {
            errno = EEXIST;
        } else if (errno == ENOENT) {
            rc = ::renameat(AT_FDCWD, from.constData(), AT_FDCWD, to.constData());
        }
    }
    if (rc != 0) {
        const int code = errno;
        if (error) {
            *error = code == EEXIST
                ? QCoreApplication::translate("FileTable", "\"%1\" already exists.").arg(newName)
                : QCoreApplication::translate("FileTable", "\"%1\" could not be renamed: %2")
                      .arg(pathFileName(oldPath), QString::fromLocal8Bit(std::strerror(code)));
        }
        return false;
    }
    if (newPath)
        *newPath = target;
    return true;
}

} // namespace FileRenamer
