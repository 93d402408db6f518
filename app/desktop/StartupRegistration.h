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
// - Folder context menu ("Search with Tallowquist Pro..." for a folder), offered through each
//   file manager's own mechanism for extra commands, written as root into the system's folders
//   (folders made with mode 0755, files 0644, so that every user's file manager reads them):
//     KDE (Dolphin): a service menu, "/usr/share/kio/servicemenus/tallowquist-pro-folder-search.desktop"
//       (Type=Service, an action for inode/directory);
//     file-manager actions (PCManFM and LXDE's libfm, Caja with caja-actions, Nautilus with the
//       filemanager-actions extension): "/usr/share/file-manager/actions/tallowquist-pro-folder-search.desktop"
//       (Type=Action with a profile for inode/directory);
//     Nemo: "/usr/share/nemo/actions/tallowquist-pro-folder-search.nemo_action";
//     Thunar: an action in the system's custom actions "/etc/xdg/Thunar/uca.xml" (unique id
//       "tallowquist-pro-folder-search"), only when that file exists (Thunar installed); the rest
//       of the file is kept as it is.
//   None of these is an application entry, so the program never becomes, or competes to be,
//   the default application for folders: with no default set anywhere, `xdg-mime query default
//   inode/directory` answers the same before and after. (Nautilus without the actions
//   extension has no mechanism of its own and gets no entry.) An application entry with
//   MimeType=inode/directory written by an earlier version
//   ("/usr/share/applications/tallowquist-pro-folder-search.desktop") is removed whenever the
//   command is switched on or off, and update-desktop-database is then run on that folder when it
//   is installed (started detached: its outcome is not awaited).
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
        // Where an earlier version wrote its application entry for folders (removed).
        QString applicationsFolder;
        QString serviceMenusFolder;
        QString fileManagerActionsFolder;
        QString nemoActionsFolder;
        QString thunarActionsFile;
        QString programFile;
        // Run after the old application entry was removed; empty or missing: nothing is run.
        QString updateDatabaseProgram;
    };

    static constexpr char kAutostartFileName[] = "tallowquist-pro.desktop";
    static constexpr char kFolderEntryFileName[] = "tallowquist-pro-folder-search.desktop";
    static constexpr char kNemoActionFileName[] = "tallowquist-pro-folder-search.nemo_action";
    static constexpr char kThunarActionId[] = "tallowquist-pro-folder-search";

    static Locations defaultLocations();

    StartupRegistration();
    explicit StartupRegistration(const Locations& locations);

    const Locations& locations() const { return locations_; }
    QString autostartFilePath() const;
    // The file-manager action (the entry that says whether the command is on).
    QString folderEntryFilePath() const;
    QString serviceMenuFilePath() const;
    QString nemoActionFilePath() const;
    // The old application entry.
    QString legacyFolderEntryFilePath() const;

    // The start-up entry exists and is not switched off.
    bool isLaunchAtStartup() const;
    // Writes the start-up entry, or removes it; true on success.
    bool setLaunchAtStartup(bool enable) const;

    // The folder command is on: one of its entries exists and has a command.
    bool isShellIntegrated() const;
    // Writes every entry of the folder command named `name` (the menu text), or removes them;
    // true on success.
    bool setShellIntegration(bool enable, const QString& name) const;
    // The same with the command's own name, folderCommandName().
    bool setShellIntegration(bool enable) const;

    // The folder command's menu text in the user's language: "Search with Tallowquist Pro...".
    static QString folderCommandName();

    // The exact file contents.
    static QByteArray autostartEntry(const QString& program);
    static QByteArray folderEntry(const QString& program, const QString& name);
    static QByteArray serviceMenuEntry(const QString& program, const QString& name);
    static QByteArray nemoActionEntry(const QString& program, const QString& name);
    // Thunar's custom actions `current` with our action put in (after any other, replacing an
    // earlier one of ours) or taken out; everything else stays byte for byte.
    static QByteArray thunarActions(const QByteArray& current, const QString& program, const QString& name,
                                    bool enable);

    // One Exec argument quoted by the Desktop Entry rules (before the string escapes).
    static QString quoteExecArgument(const QString& argument);
    // The string escapes of a value (\\, \n, \t, \r, and \s for a leading blank).
    static QString escapeValue(const QString& value);

private:
    Locations locations_;
};
