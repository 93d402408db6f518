// TabFilePreview: the lower part of a search tab for searches with a contents pattern. The
// file selected in the result table is searched for all its matches (a matches search of the
// engine); when the answer comes, the "Matches" page lists the matching lines and the "File"
// page shows the text with every match highlighted (the first 10 hits of a line) beside the
// location strip. A double click on a listed match shows it in the file text. Two context-menu
// switches, "Word Wrap" (file text) and "Full line" (matches list), are stored in the settings.
//
// Only one matches search belongs to the preview at a time, as a SearchRun that shares the
// request and the holder. A new selection, a new search of the tab and clearing the tab give
// up the running one (asked to stop and forgotten; its run keeps the holder until the engine is
// done with it, never waited for here), so an old file never fills the preview of a newer one.
// `matchesRequestId` is -1 unless a matches search runs.
//
// The file text is read through FileTextLoader off the GUI thread (a BackgroundJob sharing the
// holder): capped, with a notice at its end when the file is longer (matches beyond the cap are
// listed but not highlighted in the text). Until it lands the "File" page is empty; a newer
// matches search, `cancel` and `reset` drop a load still running. `matchesShown` comes once
// both pages are filled.
#pragma once

#include "search/model/FileSearchRequest.h"
#include "ui/common/BackgroundJob.h"
#include "ui/preview/FileTextLoader.h"
#include "ui/tab/SearchRun.h"

#include <QObject>
#include <QPointer>

#include <memory>

class FileSearcher;
class LocationPane;
class MatchesTextView;
class Prompter;
class QPlainTextEdit;
class QTabWidget;
class Settings;
class TempFileHolder;

class TabFilePreview : public QObject
{
    Q_OBJECT
public:
    TabFilePreview(QTabWidget* pages, MatchesTextView* matches, QPlainTextEdit* fileText, LocationPane* location,
                   std::shared_ptr<FileSearcher> searcher, Settings* settings, Prompter* prompter,
                   QObject* parent = nullptr);
    ~TabFilePreview() override;

    // The tab's request whose contents pattern is searched (not owned; may be null).
    void setRequest(const FileSearchRequest* request) { tabRequest = request; }
    void findMatches(const QString& path);
    FileSearchRequest::Id matchesRequestId() const;
    bool isRunning() const { return run != nullptr; }
    // Gives up the running matches search.
    void cancel();
    // Forgets the shown file: location ranges and file text.
    void reset();
    void applyWordWrap();
    const TempFileHolder* holder() const { return holder_.get(); }

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void matchesShown();

private:
    // The engine has reported the end of the running matches search.
    void onRunFinished();
    // GUI thread: the loaded text with its highlights, on the "File" page.
    void showFileText(const FileTextLoader::Result& loaded);
    void showFileTextMenu(const QPoint& pos);
    void showMatchesMenu(const QPoint& pos);
    // Selects hit `hit` of record `record` in the file text and shows it.
    void jumpTo(int record, int hit);

    QTabWidget* pages;
    MatchesTextView* matchesView;
    QPlainTextEdit* fileText;
    LocationPane* location;
    std::shared_ptr<FileSearcher> searcher;
    Settings* settings;
    Prompter* prompter;
    const FileSearchRequest* tabRequest = nullptr;
    std::shared_ptr<TempFileHolder> holder_;
    QPointer<SearchRun> run;
    BackgroundJob textLoad;
};
