#include "app/desktop/StartupRegistration.h"

#include "app/desktop/DesktopApplications.h"
#include "app/desktop/ShellEnvironment.h"
#include "app/desktop/ShellUtils.h"
#include "core/ChildProcess.h"
#include "core/FileUtils.h"
#include "core/Logger.h"
#include "core/UserFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// An entry of the folder command: `text` with %1 the menu text and %2 the command line, whose
// file code is `fileCode` ("%f" or "%F").
QByteArray folderCommandEntry(const char* text, const QString& program, const QString& name, const char* fileCode)
{
    return QString::fromLatin1(text)
        .arg(StartupRegistration::escapeValue(name),
             execLine(program, QStringLiteral("-path ") + QLatin1String(fileCode)))
        .toUtf8();
}

// Replaces a system file (the folder command's entries): its missing folders are made with
// mode 0755, so that every user's file manager can read what is in them.
bool writeSystemFile(const QString& path, const QByteArray& bytes)
{
    if (!makePath(pathDirectory(path))) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Cannot create the folder of %1").arg(path));
        return false;
    }
    return writeFileAtomically(path, bytes, 0644, false);
}

bool removeIfThere(const QString& path)
{
    return !QFileInfo::exists(path) && !QFileInfo(path).isSymLink() ? true : removeFile(path, false);
}

// An entry with a command: an "Exec=" line with a value, in whichever group it stands.
bool hasCommand(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.read(1 << 20).split('\n');
    for (const QByteArray& line : lines) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith("Exec=") && trimmed.size() > 5)
            return true;
    }
    return false;
}

QString xmlEscaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// The program as the first word of a command line a shell splits (Thunar's): in single quotes.
QString shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// The span of our action in Thunar's file (from its "<action>" to the end of its line after
// "</action>"), or an empty span.
QPair<int, int> thunarActionSpan(const QByteArray& text)
{
    const QByteArray id = QByteArray("<unique-id>") + StartupRegistration::kThunarActionId + "</unique-id>";
    const int at = text.indexOf(id);
    if (at < 0)
        return {0, 0};
    int begin = text.lastIndexOf("<action>", at);
    int end = text.indexOf("</action>", at);
    if (begin < 0 || end < 0)
        return {0, 0};
    end += int(qstrlen("</action>"));
    // Whole lines: the indentation before and the line end after.
    while (begin > 0 && (text.at(begin - 1) == ' ' || text.at(begin - 1) == '\t'))
        --begin;
    if (end < text.size() && text.at(end) == '\n')
        ++end;
    return {begin, end - begin};
}

} // namespace

StartupRegistration::Locations StartupRegistration::defaultLocations()
{
    Locations locations;
    const QString config = configHome();
    if (!config.isEmpty())
        locations.autostartFolder = config + QStringLiteral("/autostart");
    locations.applicationsFolder = QStringLiteral("/usr/share/applications");
    locations.serviceMenusFolder = QStringLiteral("/usr/share/kio/servicemenus");
    locations.fileManagerActionsFolder = QStringLiteral("/usr/share/file-manager/actions");
    locations.nemoActionsFolder = QStringLiteral("/usr/share/nemo/actions");
    locations.thunarActionsFile = QStringLiteral("/etc/xdg/Thunar/uca.xml");
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
    return locations_.fileManagerActionsFolder + QLatin1Char('/') + QLatin1String(kFolderEntryFileName);
}

QString StartupRegistration::serviceMenuFilePath() const
{
    return locations_.serviceMenusFolder + QLatin1Char('/') + QLatin1String(kFolderEntryFileName);
}

QString StartupRegistration::nemoActionFilePath() const
{
    return locations_.nemoActionsFolder + QLatin1Char('/') + QLatin1String(kNemoActionFileName);
}

QString StartupRegistration::legacyFolderEntryFilePath() const
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
    return folderCommandEntry("[Desktop Entry]\n"
                              "Type=Action\n"
                              "Name=%1\n"
                              "Tooltip=%1\n"
                              "Icon=tallowquist-pro\n"
                              "Profiles=folder;\n"
                              "\n"
                              "[X-Action-Profile folder]\n"
                              "Name=%1\n"
                              "MimeTypes=inode/directory;\n"
                              "SelectionCount==1\n"
                              "Exec=%2\n",
                              program, name, "%f");
}

QByteArray StartupRegistration::serviceMenuEntry(const QString& program, const QString& name)
{
    return folderCommandEntry("[Desktop Entry]\n"
                              "Type=Service\n"
                              "MimeType=inode/directory;\n"
                              "Actions=searchWithTallowquistPro;\n"
                              "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                              "X-KDE-Priority=TopLevel\n"
                              "\n"
                              "[Desktop Action searchWithTallowquistPro]\n"
                              "Name=%1\n"
                              "Icon=tallowquist-pro\n"
                              "Exec=%2\n",
                              program, name, "%f");
}

QByteArray StartupRegistration::nemoActionEntry(const QString& program, const QString& name)
{
    return folderCommandEntry("[Nemo Action]\n"
                              "Active=true\n"
                              "Name=%1\n"
                              "Comment=%1\n"
                              "Exec=%2\n"
                              "Icon-Name=tallowquist-pro\n"
                              "Selection=s\n"
                              "Extensions=dir;\n"
                              "Quote=double\n",
                              program, name, "%F");
}

QByteArray StartupRegistration::thunarActions(const QByteArray& current, const QString& program,
                                              const QString& name, bool enable)
{
    QByteArray text = current;
    const QPair<int, int> old = thunarActionSpan(text);
    if (old.second > 0)
        text.remove(old.first, old.second);
    if (!enable)
        return text;
    const QByteArray action = QStringLiteral("  <action>\n"
                                             "    <icon>tallowquist-pro</icon>\n"
                                             "    <name>%1</name>\n"
                                             "    <unique-id>%2</unique-id>\n"
                                             "    <command>%3 -path %f</command>\n"
                                             "    <description>%1</description>\n"
                                             "    <patterns>*</patterns>\n"
                                             "    <directories/>\n"
                                             "  </action>\n")
                                  .arg(xmlEscaped(name), QLatin1String(kThunarActionId),
                                       xmlEscaped(shellQuoted(program)))
                                  .toUtf8();
    const int end = text.lastIndexOf("</actions>");
    if (end < 0)
        return text; // not Thunar's actions: left alone
    int at = end;
    while (at > 0 && (text.at(at - 1) == ' ' || text.at(at - 1) == '\t'))
        --at;
    text.insert(at, action);
    return text;
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
    for (const QString& folder : {locations_.fileManagerActionsFolder, locations_.serviceMenusFolder}) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(kFolderEntryFileName);
        if (folder.isEmpty() || !QFileInfo(path).isFile())
            continue;
        if (hasCommand(path))
            return true;
    }
    return false;
}

QString StartupRegistration::folderCommandName()
{
    // Translated with the options dialog's texts, where the command is switched on and off.
    return QCoreApplication::translate("OptionsDialog", "Search with %1...")
        .arg(QStringLiteral("Tallowquist Pro"));
}

bool StartupRegistration::setShellIntegration(bool enable) const
{
    return setShellIntegration(enable, folderCommandName());
}

bool StartupRegistration::setShellIntegration(bool enable, const QString& name) const
{
    const QString program = locations_.programFile;
    bool ok = true;
    const struct
    {
        const QString& folder;
        QString path;
        QByteArray entry;
    } entries[] = {
        {locations_.fileManagerActionsFolder, folderEntryFilePath(), folderEntry(program, name)},
        {locations_.serviceMenusFolder, serviceMenuFilePath(), serviceMenuEntry(program, name)},
        {locations_.nemoActionsFolder, nemoActionFilePath(), nemoActionEntry(program, name)},
    };
    for (const auto& entry : entries) {
        if (entry.folder.isEmpty())
            continue; // not offered in this setup
        ok = (enable ? writeSystemFile(entry.path, entry.entry) : removeIfThere(entry.path)) && ok;
    }
    const QString thunar = locations_.thunarActionsFile;
    if (!thunar.isEmpty() && QFileInfo(thunar).isFile()) {
        QFile file(thunar);
        QByteArray current;
        if (file.open(QIODevice::ReadOnly)) {
            current = file.read(4 << 20);
            file.close();
            const QByteArray changed = thunarActions(current, program, name, enable);
            if (changed != current)
                ok = writeFileAtomically(thunar, changed, 0644, false) && ok;
        } else {
            TQ_LOG_WARNING(kTag, QStringLiteral("Cannot read %1").arg(thunar));
            ok = false;
        }
    }
    // The application entry of an earlier version goes in any case: it could become the
    // default application for folders.
    const QString legacy = legacyFolderEntryFilePath();
    if (!locations_.applicationsFolder.isEmpty() && QFileInfo::exists(legacy)) {
        ok = removeFile(legacy, false) && ok;
        const QString update = locations_.updateDatabaseProgram;
        if (!update.isEmpty() && QFileInfo(update).isExecutable()) {
            // The folder is the system's, whose database only root writes: the update runs with
            // this process's identity, not the session user's.
            ChildProcess::Setup setup;
            setup.runAs = ChildProcess::RunAs::ThisProcess;
            ChildProcess::startDetached(
                update, {QStringLiteral("-q"), locations_.applicationsFolder}, setup);
        }
    }
    return ok;
}
