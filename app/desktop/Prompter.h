// Prompter: every modal question the program asks goes through one of these, so that no widget
// and no desktop operation calls a static QMessageBox, QFileDialog or QMenu::exec itself. The
// window passes a WidgetPrompter (ui/common/Prompter.h, the only code that shows these prompts);
// tests pass a scripted one that answers at once and records what was asked, so no test ever
// blocks in a nested event loop.
//
// The interface lives here, below the user interface, because app/ never includes ui/ and its
// desktop operations ask questions too (ShellUtils's delete confirmation, ShellContextMenu's
// popup menus): the user interface passes its prompter down into them.
#pragma once

#include <QMessageBox>
#include <QString>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

class Prompter
{
public:
    virtual ~Prompter();

    virtual QMessageBox::StandardButton question(QWidget* parent, const QString& title,
                                                 const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton) = 0;
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;

    // An existing folder chosen by the user; empty when cancelled.
    virtual QString existingDirectory(QWidget* parent, const QString& caption,
                                      const QString& startFolder) = 0;
    // A file name to save to; empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& startPath,
                                 const QString& filter) = 0;
    // Runs a popup menu at a global position; the chosen action, or null when dismissed.
    virtual QAction* execMenu(QMenu* menu, const QPoint& globalPosition) = 0;
    // Runs a dialog modally; its result code (QDialog::Accepted or Rejected).
    virtual int execDialog(QDialog* dialog) = 0;
};
