#include "ui/common/Prompter.h"

#include "core/UserFileIdentity.h"

#include <QDialog>
#include <QFileDialog>
#include <QMenu>

#include <unistd.h>

namespace {

QFileDialog::Options dialogOptions()
{
    QFileDialog::Options options;
    if (::geteuid() == 0)
        options |= QFileDialog::DontUseNativeDialog;
    if (UserFileIdentity::needed())
        options |= QFileDialog::ReadOnly;
    return options;
}

} // namespace

QMessageBox::StandardButton WidgetPrompter::question(QWidget* parent, const QString& title, const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::question(parent, title, text, buttons, defaultButton);
}

void WidgetPrompter::warning(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text);
}

void WidgetPrompter::information(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text);
}

QString WidgetPrompter::existingDirectory(QWidget* parent, const QString& caption, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(parent, caption, startFolder,
                                             dialogOptions() | QFileDialog::ShowDirsOnly);
}

QString WidgetPrompter::saveFileName(QWidget* parent, const QString& caption, const QString& startPath,
                                     const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, startPath, filter, nullptr, dialogOptions());
}

QAction* WidgetPrompter::execMenu(QMenu* menu, const QPoint& globalPosition)
{
    return menu->exec(globalPosition);
}

int WidgetPrompter::execDialog(QDialog* dialog)
{
    return dialog->exec();
}
