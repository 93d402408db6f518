// StartupRegistration: the two entries the program writes into the desktop on request, each a
// desktop entry file (freedesktop Desktop Entry format):
//
// - Start at login: "<autostart folder>/tallowquist-pro.desktop" with Exec=<program> -minimize.
//   The autostart folder is the session user's configuration folder + "/autostart"
//   ($XDG_CONFIG_HOME, else ~/.config; a root instance started for another user takes
//   "<that user's home>/.config" and never its own environment). A root instance writes the
//   file, and every folder it creates on the way, as the session user (UserFiles), so the
//   folder never becomes root's and a link planted there leads nowhere the user could not go. An entry with Hidden=true or
//   X-GNOME-Autostart-enabled=false is the desktop's way of switching it off and reads as off;
//   switching on writes a fresh entry over it, switching off removes the file.
//
// - Folder context menu ("Search with Tallowquist Pro..." for a folder): the desktop entry
//   "<applications folder>/tallowquist-pro-folder-search.desktop" with
//   MimeType=inode/directory, NoDisplay=true (not in the application menu) and
//   Exec=<program> -path %f, so file managers offer it under "Open with" for folders. The
//   applications folder is the system's "/usr/share/applications": the last, least important
//   folder of the desktop's default search path, so a file manager's entry in any other folder
//   comes first when nothing names the default folder handler. The entry is written as root
//   (mode 0644). No default application is ever set or changed; the MimeType list is written
//   without a closing ";" (a valid one-item list), which keeps the freedesktop tools' fallback
//   default lookup (a text search for "inode/directory;") from choosing it. After a change
//   update-desktop-database is run on the folder when it is installed (started detached: its
//   outcome is not awaited).
//
// Exec lines follow the Desktop Entry rules: an argument holding a blank or a reserved
// character is put in double quotes with ", `, $ and \ escaped by "\"; "%" is written "%%";
// then the general string escapes apply (\\, \n, \t, \r). The field code %f is never quoted.
// Files are replaced by the checked save (saveFile / UserFiles::saveFile), so a failed write
// leaves the old entry.
//
// All paths can be given (tests use temporary folders); the defaults come from
// defaultLocations(). Errors are logged with the tag "StartupRegistration" and reported as
// false; nothing throws.
#pragma once

#include <QByteArray>
#include <QString>

class StartupRegistration
{
public:
    struct Locations
    {
        QString autostartFolder;
        QString applicationsFolder;
        QString programFile;
        // Run after the folder entry changed; empty or missing: nothing is run.
        QString updateDatabaseProgram;
    };

    static constexpr char kAutostartFileName[] = "tallowquist-pro.desktop";
    static constexpr char kFolderEntryFileName[] = "tallowquist-pro-folder-search.desktop";

    static Locations defaultLocations();

    StartupRegistration();
    explicit StartupRegistration(const Locations& locations);

    const Locations& locations() const { return locations_; }
    QString autostartFilePath() const;
    QString folderEntryFilePath() const;

    // The start-up entry exists and is not switched off.
    bool isLaunchAtStartup() const;
    // Writes the start-up entry, or removes it; true on success.
    bool setLaunchAtStartup(bool enable) const;

    // The folder entry exists and has a command.
    bool isShellIntegrated() const;
    // Writes the folder entry named `name` (the menu text), or removes it; true on success.
    bool setShellIntegration(bool enable, const QString& name) const;

    // The exact file contents.
    static QByteArray autostartEntry(const QString& program);
    static QByteArray folderEntry(const QString& program, const QString& name);

    // One Exec argument quoted by the Desktop Entry rules (before the string escapes).
    static QString quoteExecArgument(const QString& argument);
    // The string escapes of a value (\\, \n, \t, \r, and \s for a leading blank).
    static QString escapeValue(const QString& value);

private:
    Locations locations_;
};
