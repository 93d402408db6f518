// SelectPathsDialog: edits the folder field of the search form as two lists, one folder per
// line: the folders to search and the folders to leave out. Each list has a "Browse..." button
// that lets the user choose a folder (through the Prompter: the desktop's folder dialog, Qt's
// own in a root instance) starting at the last browsed folder (setting DefaultDialogDir) and
// appends it as a new last line. A cancelled browse changes nothing, the remembered folder
// included. Tab moves the focus instead of inserting a tab into a path.
#pragma once

#include <QDialog>
#include <QStringList>

class Prompter;
class QPlainTextEdit;
class QPushButton;
class Settings;

namespace Ui {
class SelectPathsDialog;
}

class SelectPathsDialog : public QDialog
{
    Q_OBJECT

public:
    SelectPathsDialog(Settings* settings, Prompter* prompter, QWidget* parent = nullptr);
    ~SelectPathsDialog() override;

    void setIncludePaths(const QStringList& paths);
    void setExcludePaths(const QStringList& paths);
    // The edit's text split at "\n", empty entries kept.
    QStringList includePaths() const;
    QStringList excludePaths() const;

public slots:
    void onBrowseButtonClicked(QPushButton* button);

private:
    static QStringList linesOf(const QPlainTextEdit* edit);

    Ui::SelectPathsDialog* ui;
    Settings* settings_;
    Prompter* prompter_;
};
