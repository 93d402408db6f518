#include "ui/main/MainWindow.h"

#include "app/desktop/ShellUtils.h"
#include "app/startup/ProgramExit.h"
#include "app/startup/StartUp.h"
#include "core/Logger.h"
#include "core/Settings.h"
#include "core/SystemUtils.h"
#include "search/engine/FileSearcher.h"
#include "ui/common/Prompter.h"
#include "ui/common/UiResources.h"
#include "ui/common/VolumeStateText.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/main/NoticeBar.h"
#include "ui/main/TabsFile.h"
#include "ui/main/WindowPlacement.h"
#include "ui/options/OptionsDialog.h"
#include "ui/search/InstantToolBar.h"
#include "ui/search/SearchFieldModel.h"
#include "ui/search/SearchFormScrollArea.h"
#include "ui/search/SearchWindow.h"
#include "ui/tab/PagesTabWidget.h"
#include "ui/tab/TabPage.h"

#include "ui_MainWindow.h"

#include <QAbstractItemView>
#include <QBoxLayout>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>
#include <QTranslator>

namespace {

const char kTag[] = "MainWindow";

QIcon image(const char* name)
{
    return QIcon(QStringLiteral(":/images/%1.svg").arg(QLatin1String(name)));
}

} // namespace

MainWindow::MainWindow(const QStringList& arguments, Settings* settings, std::shared_ptr<FileSearcher> engine,
                       Prompter* prompter, const QString& dataFolder, QWidget* parent)
    : QMainWindow(parent),
      arguments_(arguments),
      ui_(std::make_unique<Ui::MainWindow>()),
      engine_(std::move(engine)),
      settings_(settings),
      prompter_(prompter),
      dataFolder_(dataFolder)
{
    TQ_LOG_DEBUG(kTag, QStringLiteral("MainWindow::MainWindow"));
    initUiResources();
    translator_ = new QTranslator(this);
    qtTranslator_ = new QTranslator(this);
    buildWindow();
    connectActions();
    updateIndexStatus(IndexState::Disabled);
    updateTitle();
}

MainWindow::~MainWindow()
{
    TQ_LOG_DEBUG(kTag, QStringLiteral("~MainWindow"));
    // QWidget's destructor hides the bars and the dock after this body and the form are gone;
    // their visibilityChanged must not reach updateActions then.
    for (QObject* bar : {static_cast<QObject*>(ui_->toolBar), static_cast<QObject*>(instantToolBar_),
                         static_cast<QObject*>(dock_)}) {
        if (bar)
            bar->disconnect(this);
    }
    if (engine_)
        engine_->stop();
    if (!saved_)
        saveSettings();
}

void MainWindow::buildWindow()
{
    ui_->setupUi(this);
    ui_->tabWidget->setCurrentIndex(-1);
    ui_->tabWidget->setPrompter(prompter_);
    // Made here, not in the form: it takes the prompter.
    instantToolBar_ = new InstantToolBar(prompter_, this);
    instantToolBar_->setObjectName(QStringLiteral("instantToolBar"));
    addToolBar(Qt::TopToolBarArea, instantToolBar_);
    setWindowIcon(applicationIcon());
    addAction(ui_->actionMinimize);

    ui_->actionNewSearch->setIcon(image("NewSearch"));
    ui_->actionHelp->setIcon(image("Help"));
    ui_->actionExportResults->setIcon(image("Export"));
    ui_->actionDuplicateSearch->setIcon(image("DuplicateSearch"));
    ui_->actionOptions->setIcon(image("Options"));

    for (QToolBar* bar : std::initializer_list<QToolBar*>{ui_->toolBar, instantToolBar_}) {
        bar->setFloatable(false);
        bar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    }
    ui_->toolBar->setStyleSheet(QStringLiteral("QToolBar { spacing: 6px; }"));

    setDockNestingEnabled(true);
    setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
    setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
    dock_ = new QDockWidget(tr("Search Parameters"), this);
    dock_->setObjectName(QStringLiteral("searchDock"));
    auto* formArea = new SearchFormScrollArea(dock_);
    formArea->setObjectName(QStringLiteral("searchFormArea"));
    searchWindow_ = new SearchWindow(settings_, prompter_, formArea);
    formArea->setForm(searchWindow_);
    dock_->setWidget(formArea);
    addDockWidget(Qt::LeftDockWidgetArea, dock_);

    newTabButton_ = new QToolButton(ui_->tabWidget);
    newTabButton_->setCursor(Qt::ArrowCursor);
    newTabButton_->setAutoRaise(true);
    newTabButton_->setIcon(image("AddTab"));
    newTabButton_->setFocusPolicy(Qt::NoFocus);
    ui_->tabWidget->setCornerWidget(newTabButton_, Qt::TopLeftCorner);
    connect(newTabButton_, &QToolButton::clicked, this, &MainWindow::onNewSearch);

    const auto statusPart = [](QLabel*& label) {
        auto* widget = new QWidget;
        auto* layout = new QHBoxLayout(widget);
        layout->setContentsMargins(4, 0, 4, 0);
        label = new QLabel(widget);
        layout->addWidget(label);
        return widget;
    };
    statusBar()->addWidget(statusPart(indexStatusLabel_));
    indexStatusLabel_->setObjectName(QStringLiteral("indexStatusLabel"));
    statusBar()->addPermanentWidget(statusPart(tabStatusLabel_));
    tabStatusLabel_->setObjectName(QStringLiteral("tabStatusLabel"));

    trayIcon_ = new QSystemTrayIcon(applicationIcon(), this);
    trayIcon_->setObjectName(QStringLiteral("trayIcon"));
    auto* trayMenu = new QMenu(this);
    trayMenu->addAction(ui_->actionRestore);
    trayMenu->addAction(ui_->actionOptions);
    trayMenu->addAction(ui_->actionExit);
    trayIcon_->setContextMenu(trayMenu);
    trayIcon_->setToolTip(QLatin1String(kProgramName));
}

void MainWindow::connectActions()
{
    connect(ui_->actionNewSearch, &QAction::triggered, this, &MainWindow::onNewSearch);
    connect(ui_->actionDuplicateSearch, &QAction::triggered, this, &MainWindow::onDuplicateSearch);
    connect(ui_->actionNextTab, &QAction::triggered, this, [this] { selectNeighbourTab(1); });
    connect(ui_->actionPreviousTab, &QAction::triggered, this, [this] { selectNeighbourTab(-1); });
    connect(ui_->actionExit, &QAction::triggered, this, &MainWindow::onExit);
    connect(ui_->actionAbout, &QAction::triggered, this, &MainWindow::showAbout);
    connect(ui_->actionHelp, &QAction::triggered, this, &MainWindow::showHelp);
    connect(ui_->actionSearchParameters, &QAction::triggered, this,
            [this] { dock_->setVisible(!dock_->isVisible()); updateActions(); });
    connect(ui_->actionRestore, &QAction::triggered, this, &QWidget::showNormal);
    connect(ui_->actionMinimize, &QAction::triggered, this, &MainWindow::onMinimize);
    connect(ui_->actionExportResults, &QAction::triggered, this, &MainWindow::onExportResults);
    connect(ui_->actionInstantSearch, &QAction::triggered, this,
            [this](bool checked) { instantToolBar_->setVisible(checked); });
    connect(ui_->actionToolbar, &QAction::triggered, this, [this](bool checked) { ui_->toolBar->setVisible(checked); });
    connect(ui_->actionOptions, &QAction::triggered, this, [this] { onOptions(0); });

    const QList<QAction*> languages = ui_->menu_Language->actions();
    for (QAction* action : languages)
        connect(action, &QAction::triggered, this, [this, action] { loadLanguage(action->property("id").toString()); });
    for (QMenu* menu : {ui_->menuFile, ui_->menuEdit, ui_->menuView, ui_->menuTools})
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateActions);
    connect(ui_->tabWidget, &QTabWidget::currentChanged, this, &MainWindow::onCurrentPageChanged);
    connect(ui_->tabWidget, &PagesTabWidget::newTab, this, &MainWindow::onNewSearch);
    connect(ui_->tabWidget, &PagesTabWidget::duplicateTab, this, &MainWindow::onDuplicateSearch);
    connect(ui_->tabWidget, &PagesTabWidget::clearTab, this, &MainWindow::onTabClear);
    // The instant toolbar's text names the current tab while it is typed.
    connect(instantToolBar_, &InstantToolBar::fileNameChanged, this,
            [this](const QString& text) { setCurrentTabText(ui_->tabWidget->currentIndex(), text); });
    connect(ui_->actionClosePage, &QAction::triggered, ui_->tabWidget, qOverload<>(&PagesTabWidget::closeTab));
    // The actions on the current tab's results.
    const auto onTab = [this](QAction* action, void (TabPage::*operation)()) {
        connect(action, &QAction::triggered, this, [this, operation] {
            if (TabPage* page = currentTabPage())
                (page->*operation)();
        });
    };
    onTab(ui_->actionCut, &TabPage::cut);
    onTab(ui_->actionCopy, &TabPage::copy);
    onTab(ui_->actionDelete, &TabPage::deleteFiles);
    onTab(ui_->actionSelectAll, &TabPage::selectAll);
    onTab(ui_->actionCopyName, &TabPage::copyNames);
    onTab(ui_->actionCopyFullName, &TabPage::copyFullNames);
    onTab(ui_->actionCopyPath, &TabPage::copyPaths);
    connect(ui_->actionFilterBar, &QAction::triggered, this, [this](bool checked) {
        if (TabPage* page = currentTabPage())
            page->setShowFilterBar(checked);
        settings_->setValue(Settings::ShowFilterBar, checked);
    });
    connect(trayIcon_, &QSystemTrayIcon::activated, this, &MainWindow::onTrayActivated);
    // Visibility changes made elsewhere (the toolbars' own context menu, the dock's close button)
    // keep the checked actions right.
    connect(ui_->toolBar, &QToolBar::visibilityChanged, this, &MainWindow::updateActions);
    connect(instantToolBar_, &QToolBar::visibilityChanged, this, &MainWindow::updateActions);
    connect(dock_, &QDockWidget::visibilityChanged, this, &MainWindow::updateActions);
    if (engine_) {
        connect(engine_.get(), &FileSearcher::updateStarted, this, &MainWindow::onUpdateStarted);
        connect(engine_.get(), &FileSearcher::updateFinished, this, &MainWindow::onUpdateFinished);
        connect(engine_.get(), &FileSearcher::ifilterListsRead, this, &MainWindow::startEngine);
        // "ready" says which chosen volumes the index does not answer; it follows their states.
        connect(engine_.get(), &FileSearcher::volumeStatesChanged, this, [this] {
            if (indexState_ == IndexState::Ready)
                updateIndexStatus(IndexState::Ready);
        });
    }
}

void MainWindow::start()
{
    restoreSettings();
    updateTitle();
    updateActions();
}

QStringList MainWindow::languageCodes()
{
    return QStringList{QStringLiteral("cs"), QStringLiteral("cz"), QStringLiteral("en"), QStringLiteral("fr"),
                       QStringLiteral("de"), QStringLiteral("el"), QStringLiteral("hu"), QStringLiteral("it"),
                       QStringLiteral("ja"), QStringLiteral("pl"), QStringLiteral("ru"), QStringLiteral("es")};
}

// Qt has no catalogue of its own for every language of the menu (Greek has none): the texts of
// the standard buttons are in the program's catalogues too, so its dialogs and message boxes
// never show an English button. Qt looks them up by this context itself.
[[maybe_unused]] static const char* const standardButtonTexts[] = {
    QT_TRANSLATE_NOOP("QPlatformTheme", "OK"),    QT_TRANSLATE_NOOP("QPlatformTheme", "Cancel"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "&Yes"),  QT_TRANSLATE_NOOP("QPlatformTheme", "&No"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "Close"), QT_TRANSLATE_NOOP("QPlatformTheme", "Save"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "Open"),  QT_TRANSLATE_NOOP("QPlatformTheme", "Apply"),
};

QString MainWindow::qtLocaleOf(const QString& code)
{
    if (code == QLatin1String("cs"))
        return QStringLiteral("zh_CN");
    if (code == QLatin1String("cz"))
        return QStringLiteral("cs");
    return code;
}

void MainWindow::loadLanguage(const QString& requested)
{
    const QString folder = programFolder() + QStringLiteral("/languages");
    QString code = requested.toLower();
    QString file = QStringLiteral("%1/%2.qm").arg(folder, code);
    if (code.isEmpty() || !QFile::exists(file)) {
        code = QStringLiteral("en");
        file = QStringLiteral("%1/%2.qm").arg(folder, code);
    }
    settings_->setValue(Settings::Language, code);

    QCoreApplication::removeTranslator(translator_);
    QCoreApplication::removeTranslator(qtTranslator_);
    if (translator_->load(file))
        QCoreApplication::installTranslator(translator_);
    // Qt's own texts (standard buttons, file dialogs): the catalogue of the real locale, beside
    // the program first, then from Qt's translations; none for English or a missing one.
    const QString qtName = QStringLiteral("qt_") + qtLocaleOf(code);
    if (code != QLatin1String("en")
        && (qtTranslator_->load(qtName, folder)
            || qtTranslator_->load(qtName, QLibraryInfo::location(QLibraryInfo::TranslationsPath))))
        QCoreApplication::installTranslator(qtTranslator_);
    retranslate();
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

void MainWindow::retranslate()
{
    ui_->retranslateUi(this);
    if (notice_)
        notice_->setText(noIndexText(noIndexReason_));
    dock_->setWindowTitle(tr("Search Parameters"));
    instantToolBar_->setWindowTitle(tr("Instant Search"));
    updateTitle();
}

void MainWindow::updateTitle()
{
    setWindowTitle(QStringLiteral("%1 v%2").arg(QLatin1String(kProgramName), QLatin1String(kProgramVersion)));
    newTabButton_->setToolTip(QCoreApplication::translate("TabPage", "New search"));
    updateIndexStatus(indexState_);
    for (int i = 0; i < tabCount(); ++i)
        setCurrentTabText(i, tabPage(i)->title());
}

void MainWindow::updateIndexStatus(IndexState state)
{
    switch (state) {
    case IndexState::Disabled:
        indexStatusLabel_->setToolTip(QString());
        indexStatusLabel_->setText(tr("Index: disabled"));
        break;
    case IndexState::Ready: {
        // "Index: ready" only when every chosen volume is answered by the index; otherwise
        // what is walked or failed, the details in the tooltip (the states are a cheap copy).
        QString toolTip;
        indexStatusLabel_->setText(VolumeStateText::indexReady(engine_ ? engine_->volumeStates() : QList<VolumeState>(), &toolTip));
        indexStatusLabel_->setToolTip(toolTip);
        break;
    }
    case IndexState::Updating:
        indexStatusLabel_->setToolTip(QString());
        indexStatusLabel_->setText(tr("Index: updating..."));
        break;
    }
    indexState_ = state;
}

QString MainWindow::noIndexText(const QString& reason)
{
    QString why;
    QString how;
    if (reason == QLatin1String("not-admin")) {
        why = tr("No index: your account may not start the program with root rights.");
        how = tr("To get one, an administrator can add your account to the group sudo (or wheel, or admin).");
    } else if (reason == QLatin1String("refused")) {
        why = tr("No index: the password prompt was closed, or the password was not accepted.");
        how = tr("To get one, start the program again and enter your password. An administrator can also run "
                 "\"tallowquist-pro -enable-skip-uac\" as root, so that administrators start it without a password.");
    } else {
        why = tr("No index: the program could not be started with root rights (the log says why).");
        how = tr("To get one, start the program again; the password prompt needs a running polkit agent.");
    }
    return why + QLatin1Char(' ') + tr("Every search walks the folders it is given.") + QLatin1Char(' ') + how;
}

void MainWindow::showNoIndexNotice(const QString& reason)
{
    noIndexReason_ = reason;
    const QString text = noIndexText(reason);
    TQ_LOG_INFO(kTag, text);
    if (!notice_) {
        notice_ = new NoticeBar(ui_->centralWidget);
        // The tabs and the notice above them.
        if (auto* layout = qobject_cast<QBoxLayout*>(ui_->centralWidget->layout())) {
            layout->setDirection(QBoxLayout::TopToBottom);
            layout->insertWidget(0, notice_);
        }
    }
    notice_->setText(text);
    notice_->show();
}

QString MainWindow::noticeText() const
{
    return notice_ && !notice_->isHidden() ? notice_->text() : QString();
}

void MainWindow::setCurrentTabText(int index, const QString& text)
{
    ui_->tabWidget->setTabText(index, text.isEmpty() ? tr("New search") : text);
}

void MainWindow::updateActions()
{
    TabPage* page = currentTabPage();
    const bool selection = page && page->hasSelection();
    for (QAction* action : {ui_->actionCut, ui_->actionCopy, ui_->actionDelete, ui_->actionCopyName,
                            ui_->actionCopyFullName, ui_->actionCopyPath})
        action->setEnabled(selection);
    ui_->actionSelectAll->setEnabled(page && !page->isEmpty());
    ui_->actionExportResults->setEnabled(page && !page->isEmpty());
    ui_->actionFilterBar->setChecked(page ? page->showFilterBar() : settings_->value(Settings::ShowFilterBar).toBool());
    ui_->actionToolbar->setChecked(!ui_->toolBar->isHidden());
    ui_->actionSearchParameters->setChecked(!dock_->isHidden());
    ui_->actionInstantSearch->setChecked(!instantToolBar_->isHidden());
    const bool severalTabs = ui_->tabWidget->count() >= 2;
    ui_->actionNextTab->setEnabled(severalTabs);
    ui_->actionPreviousTab->setEnabled(severalTabs);
    const QString language = settings_->value(Settings::Language).toString().toLower();
    const QList<QAction*> languages = ui_->menu_Language->actions();
    for (QAction* action : languages)
        action->setChecked(action->property("id").toString() == language);
}

void MainWindow::selectNeighbourTab(int step)
{
    const int count = ui_->tabWidget->count();
    if (count == 0)
        return;
    ui_->tabWidget->setCurrentIndex((ui_->tabWidget->currentIndex() + step + count) % count);
}

TabPage* MainWindow::tabPage(int index) const
{
    return qobject_cast<TabPage*>(ui_->tabWidget->widget(index));
}

TabPage* MainWindow::currentTabPage() const
{
    return qobject_cast<TabPage*>(ui_->tabWidget->currentWidget());
}

int MainWindow::tabCount() const
{
    return ui_->tabWidget->count();
}

TabPage* MainWindow::addTab()
{
    ++tabCounter_;
    auto* page = new TabPage(this, searchWindow_, instantToolBar_, engine_, tabCounter_, settings_, prompter_);
    connect(page, &TabPage::statusTextChanged, this, &MainWindow::onTabStatusTextChanged);
    connect(page, &TabPage::tabTextChanged, this, &MainWindow::onTabTextChanged);
    watchSelection(page);
    const int index = ui_->tabWidget->addTab(page, QString());
    setCurrentTabText(index, page->title());
    ui_->tabWidget->setCurrentIndex(index);
    updateActions();
    return page;
}

void MainWindow::watchSelection(TabPage* page)
{
    // Cut, Copy, Delete and the rest follow the selection at once, not only when a menu opens.
    auto* view = page->findChild<QAbstractItemView*>(QStringLiteral("foundTable"));
    if (!view)
        return;
    const auto follow = [this, view] {
        if (QItemSelectionModel* selection = view->selectionModel())
            connect(selection, &QItemSelectionModel::selectionChanged, this, &MainWindow::updateActions,
                    Qt::UniqueConnection);
    };
    follow();
    if (view->model()) {
        connect(view->model(), &QAbstractItemModel::modelReset, this, follow);
        connect(view->model(), &QAbstractItemModel::rowsInserted, this, &MainWindow::updateActions);
        connect(view->model(), &QAbstractItemModel::rowsRemoved, this, &MainWindow::updateActions);
        connect(view->model(), &QAbstractItemModel::modelReset, this, &MainWindow::updateActions);
    }
}

void MainWindow::onNewSearch()
{
    addTab();
    searchWindow_->reset();
}

void MainWindow::onDuplicateSearch()
{
    TabPage* current = currentTabPage();
    const bool filterBar = current ? current->showFilterBar() : settings_->value(Settings::ShowFilterBar).toBool();
    // The form keeps its contents, so the new tab starts from the same parameters.
    TabPage* page = addTab();
    page->setShowFilterBar(filterBar);
}

void MainWindow::onTabClear()
{
    if (TabPage* page = currentTabPage())
        page->clearTab();
}

void MainWindow::onNewSearchRequested(const QString& folder)
{
    addTab();
    searchWindow_->reset();
    searchWindow_->applyState(FormStateMap{{QStringLiteral("directoryCheckBox"), QStringLiteral("1")},
                                           {QStringLiteral("directoryComboBox"), folder}});
    searchWindow_->updateControls();
}

void MainWindow::onCurrentPageChanged(int)
{
    if (TabPage* page = currentTabPage())
        onTabStatusTextChanged(page->tabId());
    else
        tabStatusLabel_->clear();
    updateActions();
}

void MainWindow::onTabStatusTextChanged(int tabId)
{
    TabPage* page = currentTabPage();
    if (page && page->tabId() == tabId)
        tabStatusLabel_->setText(page->statusText());
}

void MainWindow::onTabTextChanged(int tabId, const QString& text)
{
    for (int i = 0; i < tabCount(); ++i) {
        if (tabPage(i) && tabPage(i)->tabId() == tabId) {
            setCurrentTabText(i, text);
            return;
        }
    }
}

void MainWindow::onUpdateStarted()
{
    updateIndexStatus(IndexState::Updating);
}

void MainWindow::onUpdateFinished()
{
    updateIndexStatus(IndexState::Ready);
    if (engine_)
        settings_->setIndexOptions(engine_->indexingSettings());
}

void MainWindow::onExit()
{
    ProgramExit::request(0);
}

void MainWindow::onMinimize()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

bool MainWindow::hasTray() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void MainWindow::setTrayShown(bool shown)
{
    if (shown && hasTray())
        trayIcon_->show();
    else
        trayIcon_->hide();
}

void MainWindow::onTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick && reason != QSystemTrayIcon::Trigger)
        return;
    if (isHidden() || isMinimized()) {
        if (settings_->value(Settings::MainWindowMaximized).toBool())
            showMaximized();
        else
            showNormal();
    }
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    const bool background = settings_->value(Settings::RunInBackground).toBool();
    if (!background || !hasTray()) {
        onExit();
        event->accept();
        return;
    }
    saveWindowPlacement();
    saveDockState();
    event->accept();
    if (!settings_->value(Settings::RunInBackgroundHintShown).toBool()) {
        trayIcon_->showMessage(QLatin1String(kProgramName), tr("%1 is still running.").arg(tr("Tallowquist Pro")),
                               QSystemTrayIcon::Information, 10000);
        settings_->setValue(Settings::RunInBackgroundHintShown, true);
    }
}

QString MainWindow::helpFile() const
{
    const QString language = settings_->value(Settings::Language).toString();
    QString code = QStringLiteral("en");
    if (language == QLatin1String("de") || language == QLatin1String("cz"))
        code = language;
    return QStringLiteral("%1/help/%2/index.html").arg(programFolder(), code);
}

QString MainWindow::programFolder() const
{
    return programFolder_.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder_;
}

void MainWindow::showHelp()
{
    const QString file = helpFile();
    if (!QFileInfo::exists(file) || !ShellUtils::openFile(this, file, QString()))
        prompter_->warning(this, QLatin1String(kProgramName), tr("The manual %1 could not be opened.").arg(file));
}

void MainWindow::showAbout()
{
    AboutDialog dialog(prompter_, this);
    prompter_->execDialog(&dialog);
}

void MainWindow::onOptions(int startPage)
{
    const bool backgroundBefore = settings_->value(Settings::RunInBackground).toBool();
    const bool admin = isProcessAdmin() && engine_ && (engine_->optionFlags() & FileSearcher::UseIndex);
    // Before the engine has started (its filter lists are still being read) the stored index
    // settings are the ones it will start with: the dialog shows and changes those, and the
    // start takes up whatever was chosen.
    const bool indexRunning = admin && engineStarted_;
    OptionsEnvironment environment;
    IndexingSettings indexBefore;
    if (indexRunning) {
        // The dialog shows the index's real state, drives it added by itself included.
        indexBefore = engine_->indexingSettings();
        settings_->setIndexOptions(indexBefore);
    } else if (admin) {
        environment.indexingSettings = [this]() { return settings_->indexOptions(); };
    }
    const ContentSearchOptions contentBefore = settings_->contentSearchOptions();

    OptionsDialog dialog(
        this, engine_.get(), startPage, settings_, prompter_,
        [] {
            SearchFieldModel::contentsHistory()->clear();
            SearchFieldModel::fileNameHistory()->clear();
            SearchFieldModel::pathHistory()->clear();
            SearchFieldModel::instantFileNameHistory()->clear();
        },
        environment);
    if (prompter_->execDialog(&dialog) != QDialog::Accepted)
        return;

    const bool background = settings_->value(Settings::RunInBackground).toBool();
    if (background != backgroundBefore) {
        setTrayShown(background);
        QApplication::setQuitOnLastWindowClosed(!background || !hasTray());
    }
    if (indexRunning) {
        const IndexingSettings index = settings_->indexOptions();
        if (index != indexBefore)
            engine_->update(index);
    }
    const ContentSearchOptions content = settings_->contentSearchOptions();
    if (engine_ && engineStarted_ &&
        (content.disabledFilters != contentBefore.disabledFilters ||
         content.disabledExtensions != contentBefore.disabledExtensions ||
         content.disabledExtensions64 != contentBefore.disabledExtensions64 ||
         content.autoDetectEncoding != contentBefore.autoDetectEncoding ||
         content.skipBinary != contentBefore.skipBinary ||
         content.useBuiltInPDF != contentBefore.useBuiltInPDF))
        engine_->setContentSearchOptions(content);
}

void MainWindow::onExportResults()
{
    TabPage* page = currentTabPage();
    if (!page)
        return;
    const QString folder = settings_->value(Settings::DefaultDialogDir).toString();
    QString file = prompter_->saveFileName(this, tr("Export Results"), folder,
                                           tr("%1 (*.csv)").arg(tr("Comma separated")));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".csv");
    // The tab writes on a worker and reports a failure itself.
    page->exportToCsv(file);
    settings_->setValue(Settings::DefaultDialogDir, QFileInfo(file).absolutePath());
}
