#include "ui/main/MainWindow.h"

#include "app/ProgramExit.h"
#include "app/ShellUtils.h"
#include "app/StartUp.h"
#include "core/Logger.h"
#include "core/Settings.h"
#include "core/SystemUtils.h"
#include "search/engine/FileSearcher.h"
#include "ui/common/Prompter.h"
#include "ui/common/UiResources.h"
#include "ui/main/TabsFile.h"
#include "ui/main/WindowPlacement.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/search/SearchWindow.h"

#include "ui_MainWindow.h"

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
    updateIndexStatus(IndexDisabled);
    updateTitle();
}

MainWindow::~MainWindow()
{
    TQ_LOG_DEBUG(kTag, QStringLiteral("~MainWindow"));
    if (engine_)
        engine_->stop();
    if (!saved_)
        saveSettings();
}

void MainWindow::buildWindow()
{
    ui_->setupUi(this);
    ui_->tabWidget->setCurrentIndex(-1);
    setWindowIcon(applicationIcon());
    addAction(ui_->actionMinimize);

    ui_->actionNewSearch->setIcon(image("NewSearch"));
    ui_->actionHelp->setIcon(image("Help"));
    ui_->actionExportResults->setIcon(image("Export"));
    ui_->actionDuplicateSearch->setIcon(image("DuplicateSearch"));
    ui_->actionOptions->setIcon(image("Options"));

    for (QToolBar* bar : {ui_->toolBar, ui_->instantToolBar}) {
        bar->setFloatable(false);
        bar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    }
    ui_->toolBar->setStyleSheet(QStringLiteral("QToolBar { spacing: 6px; }"));

    setDockNestingEnabled(true);
    setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
    setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
    dock_ = new QDockWidget(tr("Search Parameters"), this);
    dock_->setObjectName(QStringLiteral("searchDock"));
    searchWindow_ = new SearchWindow(settings_, prompter_, dock_);
    dock_->setWidget(searchWindow_);
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
    statusBar()->addPermanentWidget(statusPart(tabStatusLabel_));

    trayIcon_ = new QSystemTrayIcon(applicationIcon(), this);
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
            [this](bool checked) { ui_->instantToolBar->setVisible(checked); });
    connect(ui_->actionToolbar, &QAction::triggered, this, [this](bool checked) { ui_->toolBar->setVisible(checked); });
    connect(ui_->actionOptions, &QAction::triggered, this, [this] { onOptions(0); });

    const QList<QAction*> languages = ui_->menu_Language->actions();
    for (QAction* action : languages)
        connect(action, &QAction::triggered, this, [this, action] { loadLanguage(action->property("id").toString()); });
    for (QMenu* menu : {ui_->menuFile, ui_->menuEdit, ui_->menuView, ui_->menuTools})
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateActions);
    connect(ui_->tabWidget, &QTabWidget::currentChanged, this, &MainWindow::onCurrentPageChanged);
    connect(trayIcon_, &QSystemTrayIcon::activated, this, &MainWindow::onTrayActivated);
    // Visibility changes made elsewhere (the toolbars' own context menu, the dock's close button)
    // keep the checked actions right.
    connect(ui_->toolBar, &QToolBar::visibilityChanged, this, &MainWindow::updateActions);
    connect(ui_->instantToolBar, &QToolBar::visibilityChanged, this, &MainWindow::updateActions);
    connect(dock_, &QDockWidget::visibilityChanged, this, &MainWindow::updateActions);
    if (engine_) {
        connect(engine_.get(), &FileSearcher::findFinished, this, &MainWindow::onFindFinished);
        connect(engine_.get(), &FileSearcher::findMatchesFinished, this, &MainWindow::onFindMatchesFinished);
        connect(engine_.get(), &FileSearcher::updateStarted, this, &MainWindow::onUpdateStarted);
        connect(engine_.get(), &FileSearcher::updateFinished, this, &MainWindow::onUpdateFinished);
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
    dock_->setWindowTitle(tr("Search Parameters"));
    updateTitle();
}

void MainWindow::updateTitle()
{
    setWindowTitle(QStringLiteral("%1 v%2").arg(QLatin1String(kProgramName), QLatin1String(kProgramVersion)));
    newTabButton_->setToolTip(QCoreApplication::translate("TabPage", "New search"));
    updateIndexStatus(indexState_);
}

void MainWindow::updateIndexStatus(int state)
{
    switch (state) {
    case IndexDisabled:
        indexStatusLabel_->setText(tr("Index: disabled"));
        break;
    case IndexReady:
        indexStatusLabel_->setText(tr("Index: ready"));
        break;
    case IndexUpdating:
        indexStatusLabel_->setText(tr("Index: updating..."));
        break;
    default:
        return;
    }
    indexState_ = state;
}

QString MainWindow::indexStatusText() const
{
    return indexStatusLabel_->text();
}

QString MainWindow::tabStatusText() const
{
    return tabStatusLabel_->text();
}

void MainWindow::setCurrentTabText(int index, const QString& text)
{
    ui_->tabWidget->setTabText(index, text.isEmpty() ? tr("New search") : text);
}

void MainWindow::updateActions()
{
    ui_->actionToolbar->setChecked(!ui_->toolBar->isHidden());
    ui_->actionSearchParameters->setChecked(!dock_->isHidden());
    ui_->actionInstantSearch->setChecked(!ui_->instantToolBar->isHidden());
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

void MainWindow::onNewSearch()
{
}

void MainWindow::onDuplicateSearch()
{
}

void MainWindow::onTabClear()
{
}

void MainWindow::onNewSearchRequested(const QString& folder)
{
    Q_UNUSED(folder);
}

void MainWindow::onCurrentPageChanged(int)
{
    updateActions();
}

void MainWindow::onTabStatusTextChanged(int)
{
}

void MainWindow::onTabTextChanged(int, const QString&)
{
}

void MainWindow::onFindFinished(FileSearchRequest::Id)
{
}

void MainWindow::onFindMatchesFinished(FileSearchRequest::Id)
{
}

void MainWindow::onUpdateStarted()
{
    updateIndexStatus(IndexUpdating);
}

void MainWindow::onUpdateFinished()
{
    updateIndexStatus(IndexReady);
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

void MainWindow::onOptions(int)
{
}

void MainWindow::onExportResults()
{
}
