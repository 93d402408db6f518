// SearchWindow: the search form shared by every search tab (the main window puts it in its
// "Search Parameters" dock). It collects one search's parameters, fills a FileSearchRequest
// from them, keeps the input histories of its three text fields, shows the progress of a
// running content search, and captures its widget values into a form state map and applies
// such a map back (each tab keeps its own map; the saved tabs file stores them).
//
// Behaviour worth knowing:
// - Return anywhere in the form where no child consumes it clicks "Search" once: findClicked
//   comes only from findButton's clicked signal (no returnPressed connection, no slot with an
//   auto-connected name on findButton).
// - The constructor applies the visibility rules at once, so the form never shows every widget
//   with its check box off.
// - Size fields take digits only; a size is the decimal value times 1 << (10 x unit index)
//   (B, KB, MB, GB), saturated at the largest 64-bit value. A stored text that is not a
//   decimal integer reads as 0.
// - Folder completion runs on QFileSystemModel, which reads folders on its own thread, so a
//   slow network or automount folder never freezes the window.
// - The list dialogs: names and contents are split and joined in the expression lexer's own
//   list grammar (ExpressionList.h), folders in the quoted mask-list form the engine reads; a
//   list that comes back unchanged leaves the field's text exactly as the user wrote it.
// - The search button shows one of three roles (Search, Cancel, Done) that the tab on show
//   chooses; the form translates the role's text itself, so a language switch changes the
//   button too. A text set with setFindButtonText is kept as it is.
// - Errors at a field (a pattern that is not a valid expression, a folder that does not
//   exist) are shown in red under the field, with the wrong part of the text selected; editing
//   the field, a reset or a new state takes the error away.
// - The three history combo boxes have no items in the form, so translating the form again
//   never clears the shared history models; the typed texts and the chosen indices are kept
//   across a language change.
#pragma once

#include "ui/search/FormState.h"

#include <QSize>
#include <QWidget>

class FileSearchRequest;
class Prompter;
class QComboBox;
class QLabel;
class QPushButton;
class RichComboBox;
class SearchFieldModel;
class Settings;

namespace Ui {
class SearchWindow;
}

class SearchWindow : public QWidget
{
    Q_OBJECT

public:
    enum FindButtonRole { SearchRole, CancelRole, DoneRole, CustomRole };
    enum Field { NameField, FolderField, ContentsField };

    SearchWindow(Settings* settings, Prompter* prompter, QWidget* parent = nullptr,
                 const QString& path = QString());
    ~SearchWindow() override;

    void searchParams(FileSearchRequest& request) const;
    void addToHistory();
    // Move the four history lists between the models and the settings ("FileNameHistory",
    // "PathHistory", "ContentHistory", "InstantFileNameHistory"; the first 20 are saved).
    static void loadHistory(Settings* settings);
    static void saveHistory(Settings* settings);
    static const int MaxSavedHistory = 20;

    void captureState(FormStateMap& state) const;
    void applyState(const FormStateMap& state);
    void updateControls();
    void reset();

    QString fileName() const;
    void setFindButtonText(const QString& text);
    void setFindButtonRole(FindButtonRole role);
    // Shows `message` under the field and selects `length` characters at `position` of its
    // text (nothing is selected for a position of -1).
    void showFieldError(Field field, const QString& message, int position = -1, int length = 0);
    void clearFieldErrors();
    FindButtonRole findButtonRole() const { return findButtonRole_; }
    void setProgress(int total, int checked);
    void hideProgress();
    void setSizeHint(const QSize& size);
    QSize sizeHint() const override;

    // A size field's text as bytes: -1 for an empty text, 0 for one that is not a decimal
    // integer, saturated at the largest 64-bit value.
    static qint64 sizeInBytes(const QString& text, int unitIndex);

signals:
    void findClicked();
    void fileNameChanged(const QString& text);

private slots:
    void on_dateCheckBox_clicked(bool checked);
    void on_sizeCheckBox_clicked(bool checked);
    void on_selectNamesButton_clicked();
    void on_selectPathsButton_clicked();
    void on_selectContentsButton_clicked();
    void onFileNameModelAboutToBeReset();
    void onFileNameModelReset();
    void onFilePathModelAboutToBeReset();
    void onFilePathModelReset();
    void onFileContentModelAboutToBeReset();
    void onFileContentModelReset();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Keeps an error label as high as its wrapped text needs at its present width.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void connectSignals();
    void updateExpressionHighlighting(QPushButton* button, RichComboBox* field, bool boolean);
    static void attachModel(QComboBox* combo, SearchFieldModel* model);
    QString findButtonRoleText() const;
    QLabel* errorLabel(Field field) const;
    static void fitHeight(QLabel* label);
    // The widgets updateControls shows and hides with the check boxes.
    QList<QWidget*> sectionWidgets() const;
    // Keeps the form's minimum width at what it needs with every section open, so opening one
    // never widens the form (nor the dock, nor the window).
    void fixMinimumWidth();
    QComboBox* fieldBox(Field field) const;

    Ui::SearchWindow* ui;
    Settings* settings_;
    Prompter* prompter_;
    QString fileNameText_;
    QString pathText_;
    QString contentsText_;
    int nameTypeIndex_ = 0;
    int contentsTypeIndex_ = 0;
    int sizeUnitIndex_ = 1;
    QSize sizeHint_{-1, -1};
    FindButtonRole findButtonRole_ = SearchRole;
};
