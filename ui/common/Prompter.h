// Prompter: every modal question the user interface asks goes through one of these, so that
// the widgets never call a static QMessageBox, QFileDialog or QMenu::exec themselves. The
// window passes a WidgetPrompter; tests pass a scripted one that answers at once and records
// what was asked, so no test ever blocks in a nested event loop.
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
