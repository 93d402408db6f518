// The main window's saved state: the settings it restores at start and saves at the end, and
// the saved tabs ("tabs.xml", see TabsFile.h).
//
// Decisions on this system (see WindowPlacement.h for the placement checks):
// - Toolbar and dock visibility are saved as the window's own choice (isHidden), not as what
//   is on screen: at the end the window may already be hidden in the tray, and every toolbar
//   would otherwise be saved as invisible.
#include "ui/main/MainWindow.h"

#include "core/Logger.h"
#include "core/Settings.h"
#include "search/engine/FileSearcher.h"
#include "ui/main/TabsFile.h"
#include "ui/main/WindowPlacement.h"
#include "ui/search/InstantToolBar.h"
#include "ui/search/SearchWindow.h"
#include "ui/tab/TabPage.h"

#include "ui_MainWindow.h"

#include <QApplication>
#include <QDockWidget>
#include <QTimer>

namespace {

const char kTag[] = "MainWindow";

} // namespace

void MainWindow::restoreSettings()
{
    loadLanguage(settings_->value(Settings::Language).toString());
    if (settings_->value(Settings::RunInBackground).toBool() && hasTray()) {
        QApplication::setQuitOnLastWindowClosed(false);
        setTrayShown(true);
    }
    restoreWindowPlacement();
    restoreToolbar(ui_->toolBar, Settings::CommandToolbarArea, Settings::CommandToolbarVisible);
    restoreToolbar(instantToolBar_, Settings::InstantToolbarArea, Settings::InstantToolbarVisible);
    restoreDock();
    SearchWindow::loadHistory(settings_);
    // The document-filter lists are read on an engine thread (the helper's answer may take a
    // while); the engine starts once they are in (startEngine), so every search runs with them:
    // one asked for meanwhile waits for the start, as the engine keeps it filed until then.
    if (engine_)
        engine_->readIFilterLists();
    restoreFirstTabs();
}

void MainWindow::startEngine(const IFilterMap& list32, const IFilterMap& list64)
{
    settings_->setIFilterMaps(list32, list64);
    engineStarted_ = true;
    engine_->init(settings_->indexOptions(), settings_->contentSearchOptions());
}

void MainWindow::restoreFirstTabs()
{
    if (arguments_.size() >= 3 && arguments_.at(1) == QLatin1String("-path")) {
        onNewSearchRequested(arguments_.at(2));
        return;
    }
    // The window always holds one tab, also when the file held none.
    if (!loadTabs() || tabCount() == 0)
        onNewSearch();
}

void MainWindow::restoreWindowPlacement()
{
    if (settings_->contains(Settings::MainWindowPos) && settings_->contains(Settings::MainWindowSize)) {
        const QRect geometry = WindowPlacement::restoredGeometry(settings_->value(Settings::MainWindowPos).toPoint(),
                                                                 settings_->value(Settings::MainWindowSize).toSize(),
                                                                 WindowPlacement::screenAreas());
        if (!geometry.isNull())
            setGeometry(geometry);
    }
    if (arguments_.contains(QStringLiteral("-minimize"))) {
        if (hasTray()) {
            setTrayShown(true);
            QApplication::setQuitOnLastWindowClosed(false);
        } else {
            showMinimized();
        }
        return;
    }
    if (settings_->value(Settings::MainWindowMaximized).toBool())
        showMaximized();
    else
        show();
    raise();
    activateWindow();
}

void MainWindow::restoreToolbar(QToolBar* toolBar, int areaId, int visibleId)
{
    addToolBar(WindowPlacement::toolBarArea(settings_->value(areaId).toInt()), toolBar);
    toolBar->setVisible(settings_->value(visibleId).toBool());
}

void MainWindow::restoreDock()
{
    const Qt::DockWidgetArea area = WindowPlacement::dockArea(settings_->value(Settings::SearchWindowArea).toInt());
    const QRect rect(settings_->value(Settings::SearchWindowPos).toPoint(),
                     settings_->value(Settings::SearchWindowSize).toSize());
    if (rect.width() > 0 && rect.height() > 0)
        searchWindow_->setSizeHint(rect.size());
    const bool floating = settings_->value(Settings::SearchWindowFloating).toBool()
        && WindowPlacement::isOnScreen(rect, WindowPlacement::screenAreas());
    if (floating) {
        dock_->setFloating(true);
        dock_->setGeometry(rect);
    } else {
        dock_->setFloating(false);
        addDockWidget(area, dock_);
        if (rect.width() > 0 && rect.height() > 0) {
            // The dock area takes its final size only once the window's layout has run with the
            // dock in it; a size given before that is shared out again in proportion to the
            // window. So the saved size is given again once the layout has settled.
            const Qt::Orientation orientation =
                area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea ? Qt::Vertical : Qt::Horizontal;
            const int extent = orientation == Qt::Horizontal ? rect.width() : rect.height();
            resizeDocks({dock_}, {extent}, orientation);
            QTimer::singleShot(0, this, [this, extent, orientation] {
                if (!dock_->isFloating())
                    resizeDocks({dock_}, {extent}, orientation);
            });
        }
    }
    dock_->setVisible(settings_->value(Settings::SearchWindowVisible).toBool());
}

void MainWindow::saveWindowPlacement()
{
    QRect normal = normalGeometry();
    if (!normal.isValid())
        normal = geometry();
    settings_->setValue(Settings::MainWindowPos, normal.topLeft());
    settings_->setValue(Settings::MainWindowSize, normal.size());
    settings_->setValue(Settings::MainWindowMaximized, isMaximized());
}

void MainWindow::saveDockState()
{
    settings_->setValue(Settings::SearchWindowVisible, !dock_->isHidden());
    settings_->setValue(Settings::SearchWindowFloating, dock_->isFloating());
    settings_->setValue(Settings::SearchWindowArea, static_cast<int>(dockWidgetArea(dock_)));
    settings_->setValue(Settings::SearchWindowPos, dock_->geometry().topLeft());
    settings_->setValue(Settings::SearchWindowSize, dock_->geometry().size());
}

void MainWindow::saveToolbarState()
{
    settings_->setValue(Settings::CommandToolbarVisible, !ui_->toolBar->isHidden());
    settings_->setValue(Settings::CommandToolbarArea, static_cast<int>(toolBarArea(ui_->toolBar)));
    settings_->setValue(Settings::InstantToolbarVisible, !instantToolBar_->isHidden());
    settings_->setValue(Settings::InstantToolbarArea, static_cast<int>(toolBarArea(instantToolBar_)));
}

void MainWindow::saveSettings()
{
    saved_ = true;
    settings_->remove(QStringLiteral("FileNameHistory"));
    settings_->remove(QStringLiteral("PathHistory"));
    settings_->remove(QStringLiteral("ContentHistory"));
    settings_->setValue(Settings::ShowMaximumMatches, settings_->value(Settings::ShowMaximumMatches));
    saveWindowPlacement();
    saveToolbarState();
    saveDockState();
    SearchWindow::saveHistory(settings_);
    saveTabs();
    settings_->sync();
}

bool MainWindow::loadTabs()
{
    SavedTabs saved;
    if (!TabsFile::read(TabsFile::path(dataFolder_), saved))
        return false;
    for (const FormStateMap& state : saved.tabs) {
        TabPage* page = addTab();
        page->setFormState(state);
        // The tab on show loads its state into the form now; the others when they are shown.
        if (page->isVisible()) {
            searchWindow_->applyState(page->formState());
            searchWindow_->updateControls();
        }
        page->setTitle(TabPage::captionOf(page->formState()));
    }
    if (saved.currentTab >= 0 && saved.currentTab < tabCount())
        ui_->tabWidget->setCurrentIndex(saved.currentTab);
    return true;
}

void MainWindow::saveTabs()
{
    if (ui_->tabWidget->count() == 0)
        return;
    const bool all = settings_->value(Settings::SaveAllTabs).toBool();
    const int current = ui_->tabWidget->currentIndex();
    QList<FormStateMap> states;
    for (int i = 0; i < tabCount(); ++i) {
        if (!all && i != current)
            continue;
        TabPage* page = tabPage(i);
        page->saveFormState();
        states << page->formState();
    }
    QString error;
    if (!TabsFile::write(TabsFile::path(dataFolder_), current, states, &error))
        TQ_LOG_WARNING(kTag, QStringLiteral("The tabs could not be saved: %1").arg(error));
}
