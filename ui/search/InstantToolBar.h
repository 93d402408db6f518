// InstantToolBar: a name search without the search form. A file-name field with its own
// history, the expression-type list ("Substring", "Whole word", "Regex", "Boolean"), "Case
// sensitive" and a list button; Return in the bar starts a search in the current tab.
//
// startSearch carries the new request in a shared pointer: the tab on screen receives it
// through a queued connection and keeps it as its current request; when no tab takes it (none
// connected, or the tab went away before the queued call arrived) the request is freed with
// the last copy of the pointer instead of leaking. Building and emitting a request does no
// file I/O and never waits for the engine, so typing stays responsive whatever runs.
//
// An error in the field (a pattern that is not a valid expression) is shown as the field's
// tool tip, shown at once below it, with the wrong part selected; editing the text takes it away.
//
// Its parts have object names: "instantFileNameComboBox", "instantFileNameFormatComboBox",
// "instantCaseSensitiveCheckBox", "instantSelectNamesButton".
//
// In Boolean mode the list button offers the operators "And", "Or", "Not" (inserted in lower
// case with the blanks they need) and the field shows them in bold; in the other modes it opens
// the name list dialog over the field's groups (ExpressionList.h).
#pragma once

#include "search/model/FileSearchRequest.h"

#include <QSharedPointer>
#include <QToolBar>

class Prompter;
class QCheckBox;
class QComboBox;
class QPushButton;
class RichComboBox;

class InstantToolBar : public QToolBar
{
    Q_OBJECT

public:
    explicit InstantToolBar(Prompter* prompter, QWidget* parent = nullptr);

    // Shows `message` at the field and selects `length` characters at `position` (none for -1).
    void showError(const QString& message, int position = -1, int length = 0);
    QString error() const { return error_; }

    // Registers QSharedPointer<FileSearchRequest> for queued connections. Idempotent.
    static void registerMetaType();

signals:
    void startSearch(QSharedPointer<FileSearchRequest> request);
    void fileNameChanged(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A language change translates the list's items and the check box again; the chosen
    // expression type and the field's text stay.
    void changeEvent(QEvent* event) override;

private:
    void onExpressionTypeChanged(int index);
    void onListButtonClicked();
    void retranslate();

    RichComboBox* fileNameComboBox;
    QComboBox* expressionTypeComboBox;
    QCheckBox* caseSensitiveCheckBox;
    QPushButton* selectButton;
    Prompter* prompter_;
    QString error_;
};

Q_DECLARE_METATYPE(QSharedPointer<FileSearchRequest>)
