#include "app/StartupRegistration.h"

#include "app/DesktopApplications.h"
#include "app/ShellEnvironment.h"
#include "app/ShellUtils.h"
#include "core/UserFiles.h"
#include "core/FileUtils.h"
#include "core/Logger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

const char kTag[] = "StartupRegistration";

QString configHome()
{
    if (!ShellUtils::runsForOtherUser()) {
        const QString value = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (value.startsWith(QLatin1Char('/')))
            return value;
        return QDir::homePath() + QStringLiteral("/.config");
    }
    const QString home = ShellEnvironment::sessionUserHome();
    return home.isEmpty() ? QString() : home + QStringLiteral("/.config");
}

bool isReservedInExec(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// Replaces `path` with `bytes` (the checked save): as the session user for a file in that user's
// folders, else (the system's applications folder) as the process itself.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, mode_t mode, bool userFile)
{
    QString why;
    const auto write = [&](QFile& file) { return file.write(bytes) == bytes.size(); };
    // The system's folder (if missing) must stay readable for every user's desktop.
    if ((userFile ? UserFiles::saveFile(path, write, &why, mode) : saveFile(path, write, &why, mode, 0755))
        != SaveResult::Saved) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Cannot write %1: %2").arg(path, why));
        return false;
    }
    return true;
}

bool removeFile(const QString& path, bool userFile)
{
    QString why;
    if (userFile ? UserFiles::removeFile(path, &why) : removeFileOrLink(path, &why))
        return true;
    TQ_LOG_WARNING(kTag, QStringLiteral("Cannot remove %1: %2").arg(path, why));
    return false;
}

QString execLine(const QString& program, const QString& arguments)
{
    return StartupRegistration::escapeValue(StartupRegistration::quoteExecArgument(program)) +
           QLatin1Char(' ') + arguments;
}

} // namespace

StartupRegistration::Locations StartupRegistration::defaultLocations()
{
    Locations locations;
    const QString config = configHome();
    if (!config.isEmpty())
        locations.autostartFolder = config + QStringLiteral("/autostart");
    locations.applicationsFolder = QStringLiteral("/usr/share/applications");
    locations.programFile = ShellEnvironment::programFile();
    locations.updateDatabaseProgram = QStringLiteral("/usr/bin/update-desktop-database");
    return locations;
}

StartupRegistration::StartupRegistration()
    : locations_(defaultLocations())
{ }

StartupRegistration::StartupRegistration(const Locations& locations)
    : locations_(locations)
{ }

QString StartupRegistration::autostartFilePath() const
{
    if (locations_.autostartFolder.isEmpty())
        return QString();
    return locations_.autostartFolder + QLatin1Char('/') + QLatin1String(kAutostartFileName);
}

QString StartupRegistration::folderEntryFilePath() const
{
    return locations_.applicationsFolder + QLatin1Char('/') + QLatin1String(kFolderEntryFileName);
}

QString StartupRegistration::quoteExecArgument(const QString& argument)
{
    QString text = argument;
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    bool needsQuotes = text.isEmpty();
    for (const QChar c : text)
        needsQuotes = needsQuotes || isReservedInExec(c);
    if (!needsQuotes)
        return text;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QString StartupRegistration::escapeValue(const QString& value)
{
    QString result;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\'))
            result += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            result += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            result += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            result += QStringLiteral("\\r");
        else if (c == QLatin1Char(' ') && i == 0)
            result += QStringLiteral("\\s");
        else
            result += c;
    }
    return result;
}

QByteArray StartupRegistration::autostartEntry(const QString& program)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Tallowquist Pro\n"
                                        "Exec=%1\n"
                                        "Icon=tallowquist-pro\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execLine(program, QStringLiteral("-minimize")));
    return text.toUtf8();
}

QByteArray StartupRegistration::folderEntry(const QString& program, const QString& name)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Exec=%2\n"
                                        "Icon=tallowquist-pro\n"
                                        "MimeType=inode/directory\n"
                                        "NoDisplay=true\n"
                                        "Terminal=false\n")
                             .arg(escapeValue(name), execLine(program, QStringLiteral("-path %f")));
    return text.toUtf8();
}

bool StartupRegistration::isLaunchAtStartup() const
{
    const QString path = autostartFilePath();
    if (path.isEmpty())
        return false;
    // The entry lies in the session user's folders: read as that user.
    QMap<QString, QString> keys;
    if (!UserFiles::run(QStringLiteral("read %1").arg(path), [&] {
            if (QFileInfo(path).isFile())
                keys = DesktopApplications::readEntryGroup(path);
            return true;
        }))
        return false;
    if (keys.value(QStringLiteral("Hidden")).compare(QLatin1String("true"), Qt::CaseInsensitive) ==
        0)
        return false;
    if (keys.value(QStringLiteral("X-GNOME-Autostart-enabled"))
            .compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return !keys.value(QStringLiteral("Exec")).isEmpty();
}

bool StartupRegistration::setLaunchAtStartup(bool enable) const
{
    const QString path = autostartFilePath();
    if (path.isEmpty()) {
        // Without a home there is no entry to remove either.
        if (!enable)
            return true;
        TQ_LOG_WARNING(kTag, QStringLiteral("The session user's home is unknown"));
        return false;
    }
    if (!enable)
        return removeFile(path, true);
    return writeFileAtomically(path, autostartEntry(locations_.programFile), 0644, true);
}

bool StartupRegistration::isShellIntegrated() const
{
    const QString path = folderEntryFilePath();
    if (!QFileInfo(path).isFile())
        return false;
    return !DesktopApplications::readEntryGroup(path).value(QStringLiteral("Exec")).isEmpty();
}

bool StartupRegistration::setShellIntegration(bool enable, const QString& name) const
{
    const QString path = folderEntryFilePath();
    bool ok;
    if (enable) {
        ok = writeFileAtomically(path, folderEntry(locations_.programFile, name), 0644, false);
    } else {
        ok = removeFile(path, false);
    }
    const QString update = locations_.updateDatabaseProgram;
    if (ok && !update.isEmpty() && QFileInfo(update).isExecutable())
        QProcess::startDetached(update, {QStringLiteral("-q"), locations_.applicationsFolder});
    return ok;
}
