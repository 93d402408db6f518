// SelectFileNamesDialog: edits a file-name or contents expression as two lists, one entry per
// line: the entries to include and the entries to exclude. The dialog only shows and returns
// lines; its callers split and join the expression.
//
// Both edits take plain text only (a pasted picture, table or formatted text arrives as its
// plain text, never as an object replacement character in an entry) and Tab moves the focus.
#pragma once

#include <QDialog>
#include <QStringList>

class QTextEdit;

namespace Ui {
class SelectFileNamesDialog;
}

class SelectFileNamesDialog : public QDialog
{
    Q_OBJECT

public:
    enum Mode { FileNames = 0, ContentsText = 1 };

    explicit SelectFileNamesDialog(int mode, QWidget* parent = nullptr);
    ~SelectFileNamesDialog() override;

    // The edit's text becomes the entries joined with "\n".
    void setIncludeList(const QStringList& list);
    void setExcludeList(const QStringList& list);
    // The edit's text split at "\n", empty entries kept (an empty edit gives one empty entry).
    QStringList includeList() const;
    QStringList excludeList() const;

    int mode() const { return mode_; }

private:
    static QStringList linesOf(const QTextEdit* edit);

    Ui::SelectFileNamesDialog* ui;
    int mode_;
};
