// TabPage: one search tab. It owns its search request and results (the rows view of its
// table over the store the search fills), shows them in the result table with the category
// filter bar, previews the selected file's matches (TabFilePreview),
// drives the engine (start, cancel, progress every 2 s) and writes its results as CSV.
//
// The search form and the instant-search toolbar are shared by all tabs. Only the tab on show
// touches the form (its button text and progress bar) and is connected to it; showing a tab
// loads its own snapshot of the form (formState) and brings the button and progress in line
// with its state; hiding it takes the snapshot back.
//
// Engine work is never waited for on the GUI thread. Each search is a SearchRun that shares
// the request and the results with the tab and tells the tab, and only this tab, when the
// engine reports its end. A search given up (a new search, clearing, closing the tab) is asked
// to stop and forgotten; its run keeps request and results alive until the engine is done
// with them. After Cancel the tab stays with its run until the end, takes up the rows found
// until then and says how many there are. `findRequestId` is the id of the running name search
// only (-1 otherwise); `matchesRequestId` likewise for the matches search.
//
// Status: a search that ends says what it found and, when include folders do not exist, says
// which (also at the folder field). A name or contents pattern that is not a valid expression
// starts no search: the error (what and where) goes to the status bar and to the field.
//
// The progress timer reads the results only through their locked counts and the table's
// refresh (which takes up what the store gained), never the lists a search thread is growing.
//
// Its result table controller ("fileTable") and preview ("preview") are its children, found by
// those object names.
//
// Linux decisions: a delete is permanent after our confirmation (through the Prompter), which
// for folders says that everything inside goes too, with the counts; counting and deleting run
// off the GUI thread (DeleteJob) with progress and Cancel; only the rows of the paths really
// gone are removed, and what stayed is reported. The folder of a path is the text before its
// last "/".
#pragma once

#include "search/model/FileSearchRequest.h"
#include "ui/tab/SearchRun.h"
#include "ui/search/FormState.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class CsvExporter;
class FileSearcher;
class ResultRows;
class FileTable;
class InstantToolBar;
class Prompter;
class SearchWindow;
class Settings;
class TabFilePreview;

namespace Ui {
class TabPage;
}

class TabPage : public QWidget
{
    Q_OBJECT
public:
    enum class State { Idle, Searching, Finished };
    Q_ENUM(State)

    TabPage(QWidget* parent, SearchWindow* searchWindow, InstantToolBar* instantToolBar,
            std::shared_ptr<FileSearcher> fileSearcher, int tabId, Settings* settings, Prompter* prompter);
    ~TabPage() override;

    void startSearch();
    void startSearch(FileSearchRequest* request);
    void cancelSearch();
    void toggleSearch();
    void clearTab();
    void findMatches(const QString& path);

    FileSearchRequest::Id findRequestId() const;
    FileSearchRequest::Id matchesRequestId() const;
    State state() const { return state_; }
    int tabId() const { return tabId_; }
    QString statusText() const { return statusText_; }
    QString title() const { return title_; }
    void setStatusText(const QString& text);
    void setTitle(const QString& text);

    // Starts writing the results as CSV; `exportFinished` follows (a failure is also shown).
    void exportToCsv(const QString& fileName);

    void copy();
    void cut();
    // Deletes the selected files and folders (DeleteJob); `deleteFinished` follows.
    void deleteFiles();
    void deletePaths(const QStringList& paths);
    void copyNames();
    void copyFullNames();
    void copyPaths();
    void selectAll();
    bool hasSelection() const;
    bool isEmpty() const;
    void setCategoryFilter(int index);
    bool showFilterBar() const;
    void setShowFilterBar(bool show);

    void saveFormState();
    const FormStateMap& formState() const { return formState_; }
    // A saved state without a file name has an empty one, so that showing the tab never keeps
    // the name another tab left in the shared form.
    void setFormState(const FormStateMap& state);

    // A tab's caption: what it searches for: the name pattern, else the contents pattern in
    // quotes, else the folders' names; empty (shown as "New search") when none is given.
    static QString captionOf(const QString& name, const QString& contents, const QStringList& folders);
    static QString captionOf(const FileSearchRequest& request);
    static QString captionOf(const FormStateMap& state);

    const ResultRows* results() const { return results_.get(); }

signals:
    void statusTextChanged(int tabId);
    void tabTextChanged(int tabId, const QString& title);
    void exportFinished(const QString& fileName, bool ok);
    void deleteFinished(const QStringList& gone);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum Source { FromForm, FromToolbar };
    // False when a pattern of the request is not a valid expression: the error is then shown
    // (status and field) and no search is made.
    bool acceptRequest(const FileSearchRequest& request, Source source);
    void begin(std::unique_ptr<FileSearchRequest> request);
    // Enters `state`: Finished shows the last rows, sorts and opens the preview; Searching
    // starts the progress; Idle drops both.
    void setState(State state);
    // Gives up the running name search without waiting for it.
    void dropSearch();
    // The engine has reported the end of the tab's search.
    void onRunFinished(const FindOutcome& outcome);
    // State 1: no progress, no timer, no status.
    void becomeIdle();
    // The status after Cancel: what was found until then.
    QString canceledText() const;
    void resetViews();
    void updateStatusText();
    // The status line of the present state, the form left alone (after a sort, a language change).
    void restoreStatusText();
    QString foundText() const;
    QString missingFoldersText() const;
    void onProgressTimer();
    void showPreviewIfMatches();
    void setFormButton(int role);
    void connectForm();
    void disconnectForm();
    void copyLines(int part);
    bool onShow() const { return shown; }

    Ui::TabPage* ui;
    int tabId_;
    SearchWindow* searchWindow;
    InstantToolBar* instantToolBar;
    std::shared_ptr<FileSearcher> fileSearcher;
    Settings* settings;
    Prompter* prompter;
    std::shared_ptr<FileSearchRequest> request_;
    std::shared_ptr<ResultRows> results_;
    QPointer<SearchRun> run_;
    // The last search was canceled by the user (the status says what it found until then).
    bool canceled_ = false;
    // Include folders of the last search that do not exist.
    QStringList missingFolders_;
    QElapsedTimer searchTime;
    // Whole seconds the last search took, fixed when it finished.
    qint64 searchSeconds = 0;
    QString statusText_;
    QTimer progressTimer;
    QTimer revertTimer;
    State state_ = State::Idle;
    QString title_;
    int buttonRole = 0; // a SearchWindow::FindButtonRole
    FormStateMap formState_;
    FileTable* fileTable_ = nullptr;
    TabFilePreview* preview_ = nullptr;
    CsvExporter* exporter = nullptr;
    bool shown = false;
    QList<QMetaObject::Connection> formConnections;
};
