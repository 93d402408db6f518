// A prompter that answers from a script instead of showing anything, and records every prompt
// it was asked (shared by the shell and user-interface tests).
#pragma once

#include "app/desktop/Prompter.h"

#include <QAction>
#include <QDialog>
#include <QList>
#include <QMenu>
#include <QPoint>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>

namespace apptest {

class ScriptedPrompter : public Prompter
{
public:
    // One recorded prompt: its kind ("question", "warning", "information", "directory",
    // "save", "menu", "dialog"), title or caption, and text.
    struct Asked
    {
        QString kind;
        QString title;
        QString text;
    };

    // Answers, taken in order; when a queue is empty the prompt is answered as cancelled
    // (No / empty path / no action / Rejected).
    QQueue<QMessageBox::StandardButton> questionAnswers;
    QQueue<QString> directoryAnswers;
    QQueue<QString> saveAnswers;
    // Chooses a menu action from the menu (for example by its text); null dismisses the menu.
    std::function<QAction*(QMenu*)> menuChooser;
    // Works a dialog instead of running it (fill fields, press buttons); returns its result.
    std::function<int(QDialog*)> dialogHandler;

    QList<Asked> asked;

    QStringList kinds() const
    {
        QStringList list;
        for (const Asked& a : asked)
            list << a.kind;
        return list;
    }

    QMessageBox::StandardButton question(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton) override
    {
        asked.append({QStringLiteral("question"), title, text});
        return questionAnswers.isEmpty() ? QMessageBox::No : questionAnswers.dequeue();
    }
    void warning(QWidget*, const QString& title, const QString& text) override
    {
        asked.append({QStringLiteral("warning"), title, text});
    }
    void information(QWidget*, const QString& title, const QString& text) override
    {
        asked.append({QStringLiteral("information"), title, text});
    }
    QString existingDirectory(QWidget*, const QString& caption, const QString& startFolder) override
    {
        asked.append({QStringLiteral("directory"), caption, startFolder});
        return directoryAnswers.isEmpty() ? QString() : directoryAnswers.dequeue();
    }
    QString saveFileName(QWidget*, const QString& caption, const QString& startPath,
                         const QString&) override
    {
        asked.append({QStringLiteral("save"), caption, startPath});
        return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
    }
    QAction* execMenu(QMenu* menu, const QPoint&) override
    {
        asked.append({QStringLiteral("menu"), menu->title(), QString()});
        return menuChooser ? menuChooser(menu) : nullptr;
    }
    int execDialog(QDialog* dialog) override
    {
        asked.append({QStringLiteral("dialog"), dialog->windowTitle(), QString()});
        return dialogHandler ? dialogHandler(dialog) : QDialog::Rejected;
    }
};

} // namespace apptest
