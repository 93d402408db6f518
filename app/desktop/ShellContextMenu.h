// ShellContextMenu: the context menu of selected results.
//
// One file: our own menu in the shape of the file manager's menu, with the command ids and
// canonical verbs of the design:
//   30001 "Open file location", 30002 "Copy full name", a separator (positions 0 to 2), then
//   the file's own commands numbered from 1 (up to 30000):
//     "Open" (verb "open": the default application),
//     one "Open with <name>" per application registered for the file's MIME type (verb
//       "openwith"; DesktopApplications: mimeapps.list and desktop entries),
//     "Cut" ("cut"), "Copy" ("copy"), "Delete" ("delete"), "Properties" ("properties"),
//   with separators between the groups.
// Several files: "Cu&t", "&Copy", "&Delete", a separator and "&Properties".
// Two or more paths never get the single-file menu.
//
// The deleted flag is set only when files were deleted through the menu; `gone`, when given,
// receives exactly the paths that no longer exist, so the caller removes only their rows (a
// file that could not be deleted keeps its row). Cut and copy only put the list on the clipboard
// (ShellUtils). Properties: the file manager's window
// (org.freedesktop.FileManager1.ShowItemProperties) when it is reachable, else the caller's own
// properties view (the user interface passes its read-only properties dialog; always used for a
// root instance).
//
// Prompts: the menus are run and the delete confirmation is asked through the caller's
// Prompter (app/desktop/Prompter.h), never shown here.
//
// Failures: a command that fails after the menu closed (no application could be started, a
// file could not be deleted, "Open file location" failed) throws CommandFailure, a
// FileSearchException with the code E_FAIL (0x80004005) and the unit "ShellContextMenu" that
// also says in words what failed; the caller catches it, logs it and tells the user. A
// dismissed menu or a declined confirmation does nothing.
#pragma once

#include "app/desktop/DesktopApplications.h"
#include "core/FileSearchException.h"

#include <QList>

#include <functional>
#include <QPoint>
#include <QString>
#include <QStringList>

class Prompter;
class QMenu;
class QWidget;

namespace ShellContextMenu {

// A command that failed after the menu closed; `reason` is the text for the user.
class CommandFailure : public FileSearchException
{
public:
    CommandFailure(const QString& reason, int line);
    QString reason() const { return reason_; }

private:
    QString reason_;
};

enum : int {
    kFirstCommandId = 1,
    kLastCommandId = 30000,
    kOpenFileLocationId = 30001,
    kCopyFullNameId = 30002
};

// One of the file's own commands.
struct Command
{
    int id = 0;
    QString text;
    QString verb; // "open", "openwith", "cut", "copy", "delete", "properties"
    DesktopApplication application; // for "openwith"
};

// The file's own commands, numbered from kFirstCommandId.
QList<Command> getContextMenu(const QString& path);

// Inserts the two own entries and the separator at positions 0, 1 and 2.
void addCustomItems(QMenu* menu);

// The single-file menu: the own entries, then the commands; each action's data is its id.
QMenu* buildShellMenu(QWidget* parent, const QString& path, const QList<Command>& commands);

// The caller's own properties view of the paths, shown when the file manager shows none;
// returns the view (which deletes itself on close), or null.
using PropertiesView = std::function<QWidget*(const QStringList& paths, QWidget* parent)>;

// Runs one of the file's commands; true when it did its work (for "delete": the file is gone),
// false when the user declined. Throws as described above.
bool invokeCommand(Prompter& prompter, QWidget* owner, const Command& command, const QString& path,
                   const PropertiesView& propertiesView = {});

// Deletes after our confirmation; `deleted` and `gone` as above. A deletion that leaves files
// behind is logged, not thrown, so the caller still learns which files are gone.
void deleteWithConfirmation(Prompter& prompter, QWidget* owner, const QStringList& paths,
                            bool& deleted, QStringList* gone);

// Runs an own entry (kOpenFileLocationId, kCopyFullNameId).
void handleCustomCommand(const QString& path, QWidget* owner, int id);

// A caller that deletes itself (with its own question, off the GUI thread) passes this: the
// menu's Delete then hands it the paths instead of deleting them here.
using DeleteHandler = std::function<void(const QStringList& paths)>;

// The menu for the paths at a global position: nothing for no path, the single-file menu for
// one, the multi-file menu for more.
void show(Prompter& prompter, QWidget* widget, const QPoint& globalPosition,
          const QStringList& paths, bool& deleted, QStringList* gone = nullptr,
          const DeleteHandler& deleteHandler = {}, const PropertiesView& propertiesView = {});
void showShellMenu(Prompter& prompter, QWidget* owner, const QPoint& globalPosition,
                   const QString& path, bool& deleted, QStringList* gone = nullptr,
                   const DeleteHandler& deleteHandler = {},
                   const PropertiesView& propertiesView = {});
void showMultiFileMenu(Prompter& prompter, QWidget* parent, const QPoint& globalPosition,
                       const QStringList& paths, bool& deleted, QStringList* gone = nullptr,
                       const DeleteHandler& deleteHandler = {},
                       const PropertiesView& propertiesView = {});

// One properties view for all paths: the file manager's, else `propertiesView`'s (returned;
// null when the file manager shows them or there is no view).
QWidget* showProperties(const QStringList& paths, QWidget* parent = nullptr,
                        const PropertiesView& propertiesView = {});

} // namespace ShellContextMenu
