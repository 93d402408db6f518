// MainWindow: the one top-level window of the main instance: menus and toolbars, the tab set of
// search tabs, the shared search form in a dock, the instant-search toolbar, the status bar with
// the index state, the tray icon, the translators, and restores and saves its state (settings
// and "tabs.xml"). Each tab learns the end of its own searches from their runs (SearchRun), so
// the window routes no "search finished" signals.
//
// Decisions on this system:
// - The engine, the settings store and the prompter are given to the constructor; the
//   constructor does no I/O. start() restores the saved state (which reads files, initialises
//   the engine and shows the window). The caller destroys the window first, then the engine,
//   then the settings store, so nothing reads the settings after they are gone.
// - Leaving the program is ProgramExit::request(0) (idempotent), which ends the event loop;
//   the caller then destroys the window, which saves its state.
// - Tray: only where the desktop has one. Without it "-minimize" shows the window minimised and
//   closing with "RunInBackground" ends the program, so the window can always be got back.
// - Help: "<program folder>/help/<code>/index.html", opened through ShellUtils::openFile (as
//   the session user for a root instance).
// - Languages: the program's own catalogue "<program folder>/languages/<code>.qm" and Qt's
//   catalogue for the language's real locale (the program's "cs" is Chinese, its "cz" Czech),
//   from the languages folder or else Qt's own translations folder. A switch removes the old
//   translators first and installs a new one only when it loaded.
// - The actions that act on the current tab are enabled again whenever the tab, its selection
//   or its results change, not only when a menu opens.
// - Parts found by object name (findChild): "indexStatusLabel" and "tabStatusLabel" in the
//   status bar, "trayIcon", the form "SearchWindow" in "searchDock", "instantToolBar",
//   "tabWidget" with the tabs.
// Log tag: "MainWindow".
#pragma once

#include "core/IFilterMap.h"
#include "search/model/FileSearchRequest.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QSystemTrayIcon>

#include <memory>

class FileSearcher;
class InstantToolBar;
class NoticeBar;
class Prompter;
class QDockWidget;
class QLabel;
class QToolButton;
class QTranslator;
class SearchWindow;
class TabPage;
class Settings;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(const QStringList& arguments, Settings* settings, std::shared_ptr<FileSearcher> engine,
               Prompter* prompter, const QString& dataFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Restores the saved state and shows the window (or only the tray icon with "-minimize").
    void start();

    TabPage* addTab();
    TabPage* currentTabPage() const;
    TabPage* tabPage(int index) const;
    int tabCount() const;

    void loadLanguage(const QString& code);
    void onOptions(int startPage);
    void updateActions();
    void updateTitle();
    void setCurrentTabText(int index, const QString& text);
    // Says above the tabs why this instance has no index (`reason` as the user instance gave
    // it: "not-admin", "refused", "failed") and how to get one; also logged.
    void showNoIndexNotice(const QString& reason);
    // The text of the notice shown, empty when none is.
    QString noticeText() const;
    static QString noIndexText(const QString& reason);

    void restoreSettings();
    void saveSettings();
    bool loadTabs();
    void saveTabs();
    void saveWindowPlacement();
    void saveDockState();
    void saveToolbarState();

    bool hasTray() const;
    // The file of the manual for the current language.
    QString helpFile() const;
    // The folder of the languages and the manual; the program's own folder unless set.
    void setProgramFolder(const QString& folder) { programFolder_ = folder; }
    QString programFolder() const;

    // The language codes in menu order and the Qt locale of each.
    static QStringList languageCodes();
    static QString qtLocaleOf(const QString& code);

public slots:
    void onNewSearch();
    void onDuplicateSearch();
    void onCurrentPageChanged(int index);
    void onExit();
    void onMinimize();
    void onExportResults();
    void onTabStatusTextChanged(int tabId);
    void onTabTextChanged(int tabId, const QString& text);
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void onTabClear();
    void onUpdateStarted();
    void onUpdateFinished();
    // A second start handed over a folder: a new tab with that folder in the form.
    void onNewSearchRequested(const QString& folder);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // What the status bar says of the index.
    enum class IndexState { Disabled, Ready, Updating };

    void buildWindow();
    // Shows the index's state in the status bar ("ready" with the volumes the index does not
    // answer, see VolumeStateText::indexReady).
    void updateIndexStatus(IndexState state);
    void connectActions();
    void restoreWindowPlacement();
    void restoreToolbar(QToolBar* toolBar, int areaId, int visibleId);
    void restoreDock();
    void showHelp();
    void showAbout();
    void selectNeighbourTab(int step);
    void setTrayShown(bool shown);
    void retranslate();
    void restoreFirstTabs();
    // Takes the document-filter lists into the settings and starts the engine with them (GUI
    // thread, from the engine's ifilterListsRead).
    void startEngine(const IFilterMap& list32, const IFilterMap& list64);
    void watchSelection(TabPage* page);

    QStringList arguments_;
    std::unique_ptr<Ui::MainWindow> ui_;
    std::shared_ptr<FileSearcher> engine_;
    Settings* settings_;
    Prompter* prompter_;
    QString dataFolder_;
    QLabel* indexStatusLabel_ = nullptr;
    QLabel* tabStatusLabel_ = nullptr;
    QSystemTrayIcon* trayIcon_ = nullptr;
    QTranslator* translator_ = nullptr;
    QTranslator* qtTranslator_ = nullptr;
    IndexState indexState_ = IndexState::Disabled;
    QToolButton* newTabButton_ = nullptr;
    SearchWindow* searchWindow_ = nullptr;
    int tabCounter_ = 0;
    QDockWidget* dock_ = nullptr;
    InstantToolBar* instantToolBar_ = nullptr;
    bool saved_ = false;
    QString programFolder_;
    NoticeBar* notice_ = nullptr;
    QString noIndexReason_;
    // The engine has been started (init) with the filter lists.
    bool engineStarted_ = false;
};
