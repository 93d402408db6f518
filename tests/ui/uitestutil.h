// Helpers shared by the user-interface tests: a prompter that answers from a script instead of
// showing anything, and records every prompt it was asked; finding a menu's action, a named
// child, a named label's text.
#pragma once

#include "tests/app/scriptedprompter.h"

#include <QAction>
#include <QLabel>
#include <QList>
#include <QMenu>
#include <QString>

namespace uitest {

// The scripted prompter of the shell tests (tests/app/scriptedprompter.h).
using apptest::ScriptedPrompter;

// The action of a menu (searched through its submenus) whose text, without "&", is `text`.
inline QAction* findAction(QMenu* menu, const QString& text)
{
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        QString plain = action->text();
        plain.remove(QLatin1Char('&'));
        if (plain == text)
            return action;
        if (action->menu())
            if (QAction* inner = findAction(action->menu(), text))
                return inner;
    }
    return nullptr;
}

// The child of `root` of type T named `name`; a missing one ends the test program with its name.
template <class T>
T* child(const QObject* root, const char* name)
{
    T* found = root->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no child named %s", name);
    return found;
}

// The text of the label named `name` under `root`; "<no NAME>" when there is none, so that a
// comparison fails with the name in its message.
inline QString labelText(const QObject* root, const char* name)
{
    const QLabel* label = root->findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

} // namespace uitest
