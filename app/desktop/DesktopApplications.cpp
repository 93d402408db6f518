#include "app/desktop/DesktopApplications.h"

#include "app/desktop/ShellEnvironment.h"
#include "app/desktop/ShellUtils.h"
#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "core/UserFiles.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Groups = QMap<QString, QMap<QString, QString>>;

// Desktop-entry string escapes: \s \n \t \r \\ (and \; kept for list splitting).
QString unescapeValue(const QString& value)
{
    QString result;
    result.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            result += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's': result += QLatin1Char(' '); break;
        case 'n': result += QLatin1Char('\n'); break;
        case 't': result += QLatin1Char('\t'); break;
        case 'r': result += QLatin1Char('\r'); break;
        case '\\': result += QLatin1Char('\\'); break;
        default: result += QLatin1Char('\\'); result += next; break;
        }
    }
    return result;
}

QStringList splitList(const QString& value)
{
    QStringList items;
    QString current;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size() && value.at(i + 1) == QLatin1Char(';')) {
            current += QLatin1Char(';');
            ++i;
        } else if (c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty())
                items << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty())
        items << current.trimmed();
    return items;
}

// The groups of a key-file (desktop entry or mimeapps.list), values raw. The files lie in the
// session user's folders too: they are read as that user (UserFiles), only as regular files
// and without waiting on a FIFO put in their place.
Groups readKeyFile(const QString& path)
{
    Groups groups;
    HandleHolder fd;
    UserFiles::run(QStringLiteral("read %1").arg(path), [&] {
        fd.reset(::open(FileNameCodec::encode(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        return true;
    });
    struct stat st;
    if (!fd.isValid() || ::fstat(fd.handle(), &st) != 0 || !S_ISREG(st.st_mode))
        return groups;
    QFile file;
    if (!file.open(fd.handle(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return groups;
    fd.release(); // the file closes it now
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    QString group;
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0 || group.isEmpty())
            continue;
        const QString key = line.left(equals).trimmed();
        if (!groups[group].contains(key)) // the first occurrence counts
            groups[group].insert(key, line.mid(equals + 1).trimmed());
    }
    return groups;
}

// Every desktop-file id with its file, the first folder having an id winning.
QMap<QString, QString> installedEntryFiles()
{
    QMap<QString, QString> entries;
    const QStringList folders = ShellEnvironment::applicationFolders();
    // Listed as the session user: the user's own folder is among them.
    UserFiles::run(QStringLiteral("list the applications"), [&] {
        for (const QString& folder : folders) {
            QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QString id = path.mid(folder.size() + 1);
                id.replace(QLatin1Char('/'), QLatin1Char('-'));
                if (!entries.contains(id))
                    entries.insert(id, path);
            }
        }
        return true;
    });
    return entries;
}

QString localisedValue(const QMap<QString, QString>& group, const QString& key)
{
    const QString locale = QLocale::system().name(); // "de_DE"
    for (const QString& candidate : {locale, locale.section(QLatin1Char('_'), 0, 0)}) {
        const QString localKey = key + QLatin1Char('[') + candidate + QLatin1Char(']');
        if (!candidate.isEmpty() && group.contains(localKey))
            return unescapeValue(group.value(localKey));
    }
    return unescapeValue(group.value(key));
}

QString fileUrl(const QString& path)
{
    return QString::fromLatin1(ShellUtils::fileUri(path));
}

} // namespace

QMap<QString, QString> DesktopApplications::readEntryGroup(const QString& filePath)
{
    QMap<QString, QString> entry = readKeyFile(filePath).value(QStringLiteral("Desktop Entry"));
    for (auto it = entry.begin(); it != entry.end(); ++it)
        it.value() = unescapeValue(it.value());
    return entry;
}

bool DesktopApplications::readEntry(const QString& filePath, const QString& id, DesktopApplication& application)
{
    const Groups groups = readKeyFile(filePath);
    const auto it = groups.constFind(QStringLiteral("Desktop Entry"));
    if (it == groups.constEnd())
        return false;
    const QMap<QString, QString>& entry = *it;
    if (entry.value(QStringLiteral("Type")) != QLatin1String("Application")
        || entry.value(QStringLiteral("Hidden")) == QLatin1String("true") || entry.value(QStringLiteral("Exec")).isEmpty())
        return false;
    const QString tryExec = unescapeValue(entry.value(QStringLiteral("TryExec")));
    if (!tryExec.isEmpty() && !programInstalled(tryExec))
        return false;
    QStringList arguments;
    if (!splitExec(unescapeValue(entry.value(QStringLiteral("Exec"))), arguments) || arguments.isEmpty()
        || !programInstalled(arguments.first()))
        return false;
    application.id = id;
    application.filePath = filePath;
    application.name = localisedValue(entry, QStringLiteral("Name"));
    if (application.name.isEmpty())
        application.name = id;
    application.exec = unescapeValue(entry.value(QStringLiteral("Exec")));
    application.icon = unescapeValue(entry.value(QStringLiteral("Icon")));
    application.mimeTypes = splitList(entry.value(QStringLiteral("MimeType")));
    application.terminal = entry.value(QStringLiteral("Terminal")) == QLatin1String("true");
    return true;
}

bool DesktopApplications::programInstalled(const QString& program)
{
    if (program.isEmpty())
        return false;
    if (!program.contains(QLatin1Char('/')))
        return !QStandardPaths::findExecutable(program).isEmpty();
    const QFileInfo info(program);
    return info.isAbsolute() && info.isFile() && info.isExecutable();
}

bool DesktopApplications::findApplication(const QString& id, DesktopApplication& application)
{
    const QMap<QString, QString> entries = installedEntryFiles();
    const auto it = entries.constFind(id);
    return it != entries.constEnd() && readEntry(*it, id, application);
}

QList<DesktopApplication> DesktopApplications::applicationsForType(const QString& mimeType)
{
    QStringList types{mimeType};
    const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForName(mimeType);
    if (type.isValid()) {
        if (type.name() != mimeType)
            types << type.name(); // an alias resolved
        types << type.allAncestors();
    }
    types.removeDuplicates();

    QList<Groups> lists;
    const QStringList files = ShellEnvironment::mimeAppsFiles();
    for (const QString& file : files)
        lists << readKeyFile(file);

    const QMap<QString, QString> entryFiles = installedEntryFiles();
    QMap<QString, DesktopApplication> installed;
    for (auto it = entryFiles.constBegin(); it != entryFiles.constEnd(); ++it) {
        DesktopApplication application;
        if (readEntry(it.value(), it.key(), application))
            installed.insert(it.key(), application);
    }

    QList<DesktopApplication> result;
    QSet<QString> taken;
    auto add = [&](const QString& id) {
        if (taken.contains(id) || !installed.contains(id))
            return false;
        taken.insert(id);
        result << installed.value(id);
        return true;
    };

    for (const QString& name : qAsConst(types)) {
        QSet<QString> removed;
        for (const Groups& list : qAsConst(lists)) {
            const QStringList ids = splitList(list.value(QStringLiteral("Removed Associations")).value(name));
            for (const QString& id : ids)
                removed.insert(id);
        }
        for (const Groups& list : qAsConst(lists)) {
            bool found = false;
            const QStringList ids = splitList(list.value(QStringLiteral("Default Applications")).value(name));
            for (const QString& id : ids) {
                if (installed.contains(id)) {
                    add(id);
                    found = true;
                    break;
                }
            }
            if (found)
                break;
        }
        for (const Groups& list : qAsConst(lists)) {
            const QStringList ids = splitList(list.value(QStringLiteral("Added Associations")).value(name));
            for (const QString& id : ids) {
                if (!removed.contains(id))
                    add(id);
            }
        }
        for (auto it = installed.constBegin(); it != installed.constEnd(); ++it) {
            if (it.value().mimeTypes.contains(name) && !removed.contains(it.key()))
                add(it.key());
        }
    }
    return result;
}

QList<DesktopApplication> DesktopApplications::applicationsForFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return applicationsForType(QStringLiteral("inode/directory"));
    const QMimeDatabase database;
    return applicationsForType(database.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name());
}

namespace {

// splitExec, also telling for each argument whether any of it was quoted.
bool splitExecArguments(const QString& exec, QStringList& arguments, QList<bool>* quotedArguments)
{
    arguments.clear();
    if (quotedArguments)
        quotedArguments->clear();
    QString current;
    bool inArgument = false;
    bool quoted = false;
    bool hadQuotes = false;
    auto finish = [&] {
        arguments << current;
        if (quotedArguments)
            *quotedArguments << hadQuotes;
        current.clear();
        inArgument = false;
        hadQuotes = false;
    };
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                quoted = false;
            } else if (c == QLatin1Char('\\') && i + 1 < exec.size()
                       && QStringLiteral("\"`$\\").contains(exec.at(i + 1))) {
                current += exec.at(++i);
            } else {
                current += c;
            }
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument)
                finish();
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inArgument = true;
            hadQuotes = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted)
        return false;
    if (inArgument)
        finish();
    return true;
}

} // namespace

bool DesktopApplications::splitExec(const QString& exec, QStringList& arguments)
{
    return splitExecArguments(exec, arguments, nullptr);
}

bool DesktopApplications::commandLine(const DesktopApplication& application, const QStringList& files,
                                      QStringList& command)
{
    static const QRegularExpression fileCodes(QStringLiteral("%[fFuU]"));
    QStringList arguments;
    QList<bool> quoted;
    if (!splitExecArguments(application.exec, arguments, &quoted) || arguments.isEmpty())
        return false;
    command.clear();
    for (int index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments.at(index);
        // Field codes may not stand inside a quoted argument; such an argument is typically a
        // script for a shell ("sh -c \"... %f\""), where a file name would become code. An
        // entry that puts a file code there is not started.
        if (quoted.at(index) && QString(argument).remove(QLatin1String("%%")).contains(fileCodes))
            return false;
        if (argument == QLatin1String("%F")) {
            command << files;
            continue;
        }
        if (argument == QLatin1String("%U")) {
            for (const QString& file : files)
                command << fileUrl(file);
            continue;
        }
        if (argument == QLatin1String("%i")) {
            if (!application.icon.isEmpty())
                command << QStringLiteral("--icon") << application.icon;
            continue;
        }
        QString expanded;
        bool dropped = false;
        for (int i = 0; i < argument.size(); ++i) {
            const QChar c = argument.at(i);
            if (c != QLatin1Char('%') || i + 1 == argument.size()) {
                expanded += c;
                continue;
            }
            const QChar code = argument.at(++i);
            switch (code.unicode()) {
            case 'f': case 'F': expanded += files.value(0); break;
            case 'u': case 'U': expanded += files.isEmpty() ? QString() : fileUrl(files.first()); break;
            case 'c': expanded += application.name; break;
            case 'k': expanded += application.filePath; break;
            case '%': expanded += QLatin1Char('%'); break;
            case 'i': // only meaningful standing alone
            case 'd': case 'D': case 'n': case 'N': case 'v': case 'm': // deprecated
                dropped = true;
                break;
            default:
                return false; // a code the format does not know makes the line invalid
            }
        }
        if (expanded.isEmpty() && (dropped || argument.startsWith(QLatin1Char('%'))))
            continue; // the argument was nothing but a code without value
        command << expanded;
    }
    return !command.isEmpty();
}

bool DesktopApplications::launch(const DesktopApplication& application, const QString& file)
{
    QStringList command;
    if (!commandLine(application, QStringList{file}, command)) {
        TQ_LOG_WARNING("DesktopApplications", QStringLiteral("Cannot start %1: bad Exec").arg(application.id));
        return false;
    }
    if (application.terminal)
        command = QStringList{QStringLiteral("x-terminal-emulator"), QStringLiteral("-e")} + command;
    const QString program = command.takeFirst(); // a bare name is looked up in PATH
    return ShellUtils::startProgram(program, command);
}
