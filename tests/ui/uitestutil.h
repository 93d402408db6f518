// Helpers shared by the user-interface tests: a prompter that answers from a script instead of
// showing anything, and records every prompt it was asked; finding a menu's action.
#pragma once

#include "tests/app/scriptedprompter.h"

#include <QAction>
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

} // namespace uitest
