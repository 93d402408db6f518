#include "app/desktop/ShellContextMenu.h"

#include "app/desktop/Prompter.h"
#include "app/desktop/ShellUtils.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include <memory>

namespace {

const qint32 kFail = static_cast<qint32>(0x80004005u); // E_FAIL

QString menuText(const char* text)
{
    return QCoreApplication::translate("QObject", text);
}

QString tr(const char* text)
{
    return QCoreApplication::translate("ShellContextMenu", text);
}

[[noreturn]] void fail(const QString& reason, int line)
{
    throw ShellContextMenu::CommandFailure(reason, line);
}

} // namespace

namespace ShellContextMenu {

CommandFailure::CommandFailure(const QString& reason, int line)
    : FileSearchException(QStringLiteral("%1 %2").arg(kFail).arg(reason), QStringLiteral("ShellContextMenu"), line),
      reason_(reason)
{
}

QList<Command> getContextMenu(const QString& path)
{
    QList<Command> commands;
    int id = kFirstCommandId;
    auto add = [&](const QString& text, const char* verb) {
        Command command;
        command.id = id++;
        command.text = text;
        command.verb = QLatin1String(verb);
        commands << command;
        return &commands.last();
    };
    add(menuText(QT_TRANSLATE_NOOP("QObject", "&Open")), "open");
    const QList<DesktopApplication> applications = DesktopApplications::applicationsForFile(path);
    for (const DesktopApplication& application : applications) {
        if (id > kLastCommandId - 4)
            break;
        Command* command = add(menuText(QT_TRANSLATE_NOOP("QObject", "Open with %1")).arg(application.name), "openwith");
        command->application = application;
    }
    add(menuText(QT_TRANSLATE_NOOP("QObject", "Cu&t")), "cut");
    add(menuText(QT_TRANSLATE_NOOP("QObject", "&Copy")), "copy");
    add(menuText(QT_TRANSLATE_NOOP("QObject", "&Delete")), "delete");
    add(menuText(QT_TRANSLATE_NOOP("QObject", "&Properties")), "properties");
    return commands;
}

void addCustomItems(QMenu* menu)
{
    const QList<QAction*> existing = menu->actions();
    QAction* before = existing.isEmpty() ? nullptr : existing.first();
    auto* location = new QAction(menuText(QT_TRANSLATE_NOOP("QObject", "Open file location")), menu);
    location->setData(int(kOpenFileLocationId));
    auto* fullName = new QAction(menuText(QT_TRANSLATE_NOOP("QObject", "Copy full name")), menu);
    fullName->setData(int(kCopyFullNameId));
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    menu->insertAction(before, location);
    menu->insertAction(before, fullName);
    menu->insertAction(before, separator);
}

QMenu* buildShellMenu(QWidget* parent, const QString& /*path*/, const QList<Command>& commands)
{
    auto* menu = new QMenu(parent);
    QString previousGroup;
    for (const Command& command : commands) {
        // Groups: opening, clipboard, delete, properties.
        QString group = command.verb;
        if (group == QLatin1String("openwith"))
            group = QStringLiteral("open");
        else if (group == QLatin1String("cut"))
            group = QStringLiteral("copy");
        if (!previousGroup.isEmpty() && group != previousGroup)
            menu->addSeparator();
        previousGroup = group;
        QAction* action = menu->addAction(command.text);
        action->setData(command.id);
    }
    addCustomItems(menu);
    return menu;
}

bool invokeCommand(Prompter& prompter, QWidget* owner, const Command& command, const QString& path,
                   const PropertiesView& propertiesView)
{
    const QString& verb = command.verb;
    if (verb == QLatin1String("open")) {
        if (!ShellUtils::openFile(owner, path, QString()))
            fail(tr("No application could open \"%1\".").arg(path), __LINE__);
        return true;
    }
    if (verb == QLatin1String("openwith")) {
        if (!DesktopApplications::launch(command.application, path))
            fail(tr("%1 could not be started.").arg(command.application.name), __LINE__);
        return true;
    }
    if (verb == QLatin1String("cut")) {
        ShellUtils::cutFiles(QStringList{path});
        return true;
    }
    if (verb == QLatin1String("copy")) {
        ShellUtils::copyFiles(QStringList{path});
        return true;
    }
    if (verb == QLatin1String("delete")) {
        bool declined = false;
        if (ShellUtils::deleteFiles(&prompter, owner, QStringList{path}, false, nullptr, &declined))
            return true;
        if (!declined)
            fail(tr("\"%1\" could not be deleted.").arg(path), __LINE__);
        return false;
    }
    if (verb == QLatin1String("properties")) {
        showProperties(QStringList{path}, owner, propertiesView);
        return true;
    }
    return false;
}

void handleCustomCommand(const QString& path, QWidget* owner, int id)
{
    if (id == kOpenFileLocationId) {
        if (!ShellUtils::showInFolder(owner, path))
            fail(tr("The folder of \"%1\" could not be opened.").arg(path), __LINE__);
    } else if (id == kCopyFullNameId) {
        ShellUtils::copyText(owner, path);
    }
}

void deleteWithConfirmation(Prompter& prompter, QWidget* owner, const QStringList& paths,
                            bool& deleted, QStringList* gone)
{
    QStringList removed;
    const bool all = ShellUtils::deleteFiles(&prompter, owner, paths, false, &removed);
    if (!removed.isEmpty())
        deleted = true;
    if (!all && !removed.isEmpty())
        TQ_LOG_WARNING("ShellContextMenu", QStringLiteral("%1 of %2 files deleted").arg(removed.size()).arg(paths.size()));
    if (gone)
        *gone = removed;
}

void showShellMenu(Prompter& prompter, QWidget* owner, const QPoint& globalPosition,
                   const QString& path, bool& deleted, QStringList* gone,
                   const DeleteHandler& deleteHandler, const PropertiesView& propertiesView)
{
    const QList<Command> commands = getContextMenu(path);
    const std::unique_ptr<QMenu> menu(buildShellMenu(owner, path, commands));
    const QAction* chosen = prompter.execMenu(menu.get(), globalPosition);
    const int id = chosen ? chosen->data().toInt() : 0;
    if (id == 0)
        return;
    if (id > kLastCommandId) {
        handleCustomCommand(path, owner, id);
        return;
    }
    for (const Command& command : commands) {
        if (command.id == id) {
            if (deleteHandler && command.verb == QLatin1String("delete")) {
                deleteHandler(QStringList{path});
                return;
            }
            if (invokeCommand(prompter, owner, command, path, propertiesView) &&
                command.verb == QLatin1String("delete")) {
                deleted = true;
                if (gone)
                    *gone = QStringList{path};
            }
            return;
        }
    }
}

void showMultiFileMenu(Prompter& prompter, QWidget* parent, const QPoint& globalPosition,
                       const QStringList& paths, bool& deleted, QStringList* gone,
                       const DeleteHandler& deleteHandler, const PropertiesView& propertiesView)
{
    QMenu menu(parent);
    QAction* cut = menu.addAction(QObject::tr("Cu&t"));
    QAction* copy = menu.addAction(QObject::tr("&Copy"));
    QAction* remove = menu.addAction(QObject::tr("&Delete"));
    menu.addSeparator();
    QAction* properties = menu.addAction(QObject::tr("&Properties"));
    const QAction* chosen = prompter.execMenu(&menu, globalPosition);
    if (!chosen)
        return;
    if (chosen == cut) {
        ShellUtils::cutFiles(paths);
    } else if (chosen == copy) {
        ShellUtils::copyFiles(paths);
    } else if (chosen == remove) {
        if (deleteHandler)
            deleteHandler(paths);
        else
            deleteWithConfirmation(prompter, parent, paths, deleted, gone);
    } else if (chosen == properties) {
        showProperties(paths, parent, propertiesView);
    }
}

void show(Prompter& prompter, QWidget* widget, const QPoint& globalPosition,
          const QStringList& paths, bool& deleted, QStringList* gone,
          const DeleteHandler& deleteHandler, const PropertiesView& propertiesView)
{
    if (paths.isEmpty())
        return;
    if (paths.size() == 1)
        showShellMenu(prompter, widget, globalPosition, paths.first(), deleted, gone, deleteHandler,
                      propertiesView);
    else
        showMultiFileMenu(prompter, widget, globalPosition, paths, deleted, gone, deleteHandler,
                          propertiesView);
}

QWidget* showProperties(const QStringList& paths, QWidget* parent,
                        const PropertiesView& propertiesView)
{
    if (paths.isEmpty())
        return nullptr;
    if (ShellUtils::callFileManager(QStringLiteral("ShowItemProperties"), paths))
        return nullptr;
    return propertiesView ? propertiesView(paths, parent) : nullptr;
}

} // namespace ShellContextMenu
