#include "app/desktop/ShellEnvironment.h"

#include "app/desktop/ShellUtils.h"
#include "core/FileUtils.h"
#include "core/SystemUtils.h"
#include "core/UserFileIdentity.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

namespace {

struct Values
{
    QString opener;
    QString runtime;
    QStringList applicationFolders;
    QStringList mimeAppsFiles;
    bool fileManagerBus = true;
};

QMutex& mutex()
{
    static QMutex m;
    return m;
}

Values& values()
{
    static Values v;
    return v;
}

QString valueOr(const QString& value, const char* fallback)
{
    return value.isEmpty() ? QString::fromLatin1(fallback) : value;
}

// An XDG base-directory variable of the session user. A root instance started for another user
// does not trust its own environment for these (it is root's, or chosen by the caller) and
// uses the XDG base-directory defaults under the user's home.
QString xdgHome(const char* variable, const char* defaultUnderHome)
{
    if (!ShellUtils::runsForOtherUser()) {
        const QString value = qEnvironmentVariable(variable);
        if (value.startsWith(QLatin1Char('/')))
            return value;
    }
    const QString home = ShellEnvironment::sessionUserHome();
    return home.isEmpty() ? QString() : home + QLatin1Char('/') + QLatin1String(defaultUnderHome);
}

QStringList xdgDirs(const char* variable, const char* defaults)
{
    QString value = ShellUtils::runsForOtherUser() ? QString() : qEnvironmentVariable(variable);
    if (value.isEmpty())
        value = QString::fromLatin1(defaults);
    QStringList result;
    const QStringList parts = value.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part.startsWith(QLatin1Char('/')))
            result << part;
    }
    return result;
}

} // namespace

QString ShellEnvironment::openerProgram()
{
    QMutexLocker lock(&mutex());
    return valueOr(values().opener, "/usr/bin/xdg-open");
}

void ShellEnvironment::setOpenerProgram(const QString& path)
{
    QMutexLocker lock(&mutex());
    values().opener = path;
}

bool ShellEnvironment::openerProgramSet()
{
    QMutexLocker lock(&mutex());
    return !values().opener.isEmpty();
}

QString ShellEnvironment::runtimeFolderOverride()
{
    QMutexLocker lock(&mutex());
    return values().runtime;
}

void ShellEnvironment::setRuntimeFolder(const QString& path)
{
    QMutexLocker lock(&mutex());
    values().runtime = path;
}

QStringList ShellEnvironment::applicationFolders()
{
    {
        QMutexLocker lock(&mutex());
        if (!values().applicationFolders.isEmpty())
            return values().applicationFolders;
    }
    QStringList folders;
    const QString dataHome = xdgHome("XDG_DATA_HOME", ".local/share");
    if (!dataHome.isEmpty())
        folders << dataHome + QStringLiteral("/applications");
    const QStringList dataDirs = xdgDirs("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    for (const QString& dir : dataDirs)
        folders << dir + QStringLiteral("/applications");
    folders.removeDuplicates();
    return folders;
}

void ShellEnvironment::setApplicationFolders(const QStringList& folders)
{
    QMutexLocker lock(&mutex());
    values().applicationFolders = folders;
}

QStringList ShellEnvironment::mimeAppsFiles()
{
    {
        QMutexLocker lock(&mutex());
        if (!values().mimeAppsFiles.isEmpty())
            return values().mimeAppsFiles;
    }
    // The lookup order of the shared MIME-actions standard: user configuration, system
    // configuration, then the (deprecated) lists beside the desktop entries.
    QStringList files;
    const QString configHome = xdgHome("XDG_CONFIG_HOME", ".config");
    if (!configHome.isEmpty())
        files << configHome + QStringLiteral("/mimeapps.list");
    const QStringList configDirs = xdgDirs("XDG_CONFIG_DIRS", "/etc/xdg");
    for (const QString& dir : configDirs)
        files << dir + QStringLiteral("/mimeapps.list");
    const QStringList folders = applicationFolders();
    for (const QString& folder : folders)
        files << folder + QStringLiteral("/mimeapps.list");
    files.removeDuplicates();
    return files;
}

void ShellEnvironment::setMimeAppsFiles(const QStringList& files)
{
    QMutexLocker lock(&mutex());
    values().mimeAppsFiles = files;
}

QString ShellEnvironment::programFile()
{
    QString folder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (folder.isEmpty())
        folder = executableDirectory();
    return folder + QStringLiteral("/tallowquist-pro");
}

bool ShellEnvironment::fileManagerBusEnabled()
{
    QMutexLocker lock(&mutex());
    return values().fileManagerBus;
}

void ShellEnvironment::setFileManagerBusEnabled(bool enabled)
{
    QMutexLocker lock(&mutex());
    values().fileManagerBus = enabled;
}

QString ShellEnvironment::sessionUserHome()
{
    QString home;
    UserFileIdentity::sessionUser(nullptr, nullptr, &home);
    return home;
}
