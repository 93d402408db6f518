// DesktopApplications: the applications registered for a file type, from the desktop's own
// registrations (freedesktop.org desktop entries and mimeapps.list), and how to start them.
//
// Folders and files come from ShellEnvironment (the session user's XDG folders, most
// important first). For a MIME type (and then each of its ancestors, e.g. text/plain for
// text/x-csrc) the applications are, without repeats:
//   1. the default application: the first installed entry named under [Default Applications]
//      for the type, going through the mimeapps.list files in order;
//   2. the entries under [Added Associations], file by file;
//   3. every installed entry whose MimeType lists the type, ordered by desktop-file id;
// leaving out (in 2 and 3) the entries named under [Removed Associations] in any file.
// An entry is installed when the first folder that has its id holds a readable entry of
// Type=Application with an Exec key that is not Hidden=true, whose TryExec program (when the
// key is given) and whose Exec program are there: an absolute path that is an executable file,
// or a bare name found in PATH, as the start looks it up. An entry of a program that was
// removed is never offered.
//
// Exec: split into arguments as the desktop-entry format says (blanks separate; double quotes
// group, with \" \` \$ \\ escaped inside), then the field codes of each argument expanded:
// %f and %u the file (path, or file URI), %F and %U standing alone the list of files, %i
// standing alone "--icon" and the icon, %c the name, %k the entry's file, %% a "%"; the
// deprecated %d %D %n %N %v %m are dropped; any other code makes the line invalid (the entry is
// not started), as the format requires. A file code (%f %F %u %U) inside a quoted
// argument is refused (the entry is not started): the format forbids it, and such an argument
// is usually a shell script into which a file name would be pasted as code. An entry with Terminal=true runs in
// "x-terminal-emulator -e" (Debian's terminal alternative). The program runs detached, as the session user
// for a root instance (ShellUtils::startProgram).
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

struct DesktopApplication
{
    QString id;       // desktop-file id, e.g. "org.gnome.TextEditor.desktop"
    QString filePath; // the entry's file
    QString name;     // Name, localised when the entry has the locale's name
    QString exec;
    QString icon;
    QStringList mimeTypes;
    bool terminal = false;
};

class DesktopApplications
{
public:
    // Reads one entry; false when it is not an installed application (see above).
    static bool readEntry(const QString& filePath, const QString& id, DesktopApplication& application);
    // The keys of a file's "[Desktop Entry]" group, values with the string escapes undone (the
    // first occurrence of a key counts); empty when the file cannot be read.
    static QMap<QString, QString> readEntryGroup(const QString& filePath);
    // The entry with this id in the first folder that has it; false when none is installed.
    static bool findApplication(const QString& id, DesktopApplication& application);

    static QList<DesktopApplication> applicationsForType(const QString& mimeType);
    // By the file's name (QMimeDatabase, MatchExtension), so the file need not exist; a folder
    // is "inode/directory".
    static QList<DesktopApplication> applicationsForFile(const QString& path);

    // True when `program` (an absolute path or a bare name looked up in PATH) can be run.
    static bool programInstalled(const QString& program);

    // Splits an Exec value into arguments; false when a quote is not closed.
    static bool splitExec(const QString& exec, QStringList& arguments);
    // The command line for `files`; false for an Exec that cannot be split or is empty.
    static bool commandLine(const DesktopApplication& application, const QStringList& files, QStringList& command);
    // Starts the application with the file. False when it could not be started.
    static bool launch(const DesktopApplication& application, const QString& file);
};
