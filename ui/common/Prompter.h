// WidgetPrompter: the real prompts of the Prompter interface (app/desktop/Prompter.h), and the
// only code of the program that shows a message box, a file dialog or a popup menu modally.
#pragma once

#include "app/desktop/Prompter.h"

// The real prompts. A root instance uses Qt's own file dialogs, never the desktop's: the
// desktop's portal or plugin would run as root inside the user's session. A root instance
// working for a session user opens them read-only: their new-folder, rename and delete
// commands would act as root in that user's folders (a chosen file is written as the user,
// UserFiles).
class WidgetPrompter : public Prompter
{
public:
    QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override;
    void warning(QWidget* parent, const QString& title, const QString& text) override;
    void information(QWidget* parent, const QString& title, const QString& text) override;
    QString existingDirectory(QWidget* parent, const QString& caption, const QString& startFolder) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& startPath,
                         const QString& filter) override;
    QAction* execMenu(QMenu* menu, const QPoint& globalPosition) override;
    int execDialog(QDialog* dialog) override;
};
