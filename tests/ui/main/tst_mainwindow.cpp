// The main window without the search engine: title, index status, languages, help file, close
// and exit rules, and the saved placement, toolbars and dock.
#include "app/startup/ProgramExit.h"
#include "core/Settings.h"
#include "tests/ui/uitestutil.h"
#include "testutil.h"
#include "ui/main/MainWindow.h"
#include "ui/main/TabsFile.h"
#include "ui/main/WindowPlacement.h"
#include "ui/results/FileTableColumns.h"
#include "ui/results/FileTableModel.h"
#include "ui/results/FileTableView.h"
#include "ui/search/SearchWindow.h"
#include "ui/tab/TabPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    Settings* settings_ = nullptr;
    uitest::ScriptedPrompter prompter_;

    std::unique_ptr<MainWindow> makeWindow(const QStringList& arguments = {"tallowquist-pro"})
    {
        return std::make_unique<MainWindow>(arguments, settings_, nullptr, &prompter_, dir_->path());
    }

    template <typename T = QAction>
    static T* child(QObject* window, const char* name)
    {
        T* found = window->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }

private slots:
    void init()
    {
        ProgramExit::reset();
        dir_ = std::make_unique<QTemporaryDir>();
        settings_ = Settings::instanceWithFile(dir_->path() + "/settings.ini");
        prompter_.asked.clear();
    }
    void cleanup()
    {
        Settings::destroyInstance();
        dir_.reset();
        QApplication::setQuitOnLastWindowClosed(true);
    }

    void titleAndIndexStatus()
    {
        auto window = makeWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("Tallowquist Pro v1.4"));
        QCOMPARE(uitest::labelText(window.get(), "indexStatusLabel"),
                 QStringLiteral("Index: disabled"));
        window->onUpdateStarted();
        QCOMPARE(uitest::labelText(window.get(), "indexStatusLabel"),
                 QStringLiteral("Index: updating..."));
        window->onUpdateFinished();
        QCOMPARE(uitest::labelText(window.get(), "indexStatusLabel"),
                 QStringLiteral("Index: ready"));
        window->updateTitle(); // shows the state it is in again
        QCOMPARE(uitest::labelText(window.get(), "indexStatusLabel"),
                 QStringLiteral("Index: ready"));
        QCOMPARE(uitest::labelText(window.get(), "tabStatusLabel"), QString());
    }

    void formNamesAndMenus()
    {
        auto window = makeWindow();
        QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
        QStringList menus;
        for (QAction* action : child<QMenuBar>(window.get(), "menuBar")->actions())
            menus << action->text();
        QCOMPARE(menus, (QStringList{"&File", "&Edit", "&View", "&Tools", "&Help"}));
        QStringList file;
        for (QAction* action : child<QMenu>(window.get(), "menuFile")->actions())
            file << (action->isSeparator() ? "-" : action->objectName());
        QCOMPARE(file, (QStringList{"actionNewSearch", "actionClosePage", "-", "actionExportResults", "-", "actionExit"}));
        QCOMPARE(child(window.get(), "actionCopyFullName")->shortcut(), QKeySequence("Alt+Shift+Ins"));
        QCOMPARE(child(window.get(), "actionMinimize")->shortcut(), QKeySequence("Esc"));
        QVERIFY(window->actions().contains(child(window.get(), "actionMinimize")));
        QStringList codes;
        for (QAction* action : child<QMenu>(window.get(), "menu_Language")->actions())
            codes << action->property("id").toString();
        QCOMPARE(codes, MainWindow::languageCodes());
        QCOMPARE(child(window.get(), "actionJapanese")->text(), QString::fromUtf8("日本語 / Japanese"));
        QVERIFY(!child<QToolBar>(window.get(), "toolBar")->isFloatable());
        QCOMPARE(child<QToolBar>(window.get(), "instantToolBar")->allowedAreas(), Qt::TopToolBarArea | Qt::BottomToolBarArea);
    }

    void missingLanguageFallsBackToEnglish()
    {
        auto window = makeWindow();
        window->loadLanguage("fr");
        QCOMPARE(settings_->value(Settings::Language).toString(), QStringLiteral("en"));
        window->updateActions();
        QVERIFY(child(window.get(), "actionEnglish")->isChecked());
        QVERIFY(!child(window.get(), "actionFrench")->isChecked());
        // The texts stay English.
        QCOMPARE(child<QMenu>(window.get(), "menuFile")->title(), QStringLiteral("&File"));
    }

    void languageSwitch()
    {
        // The catalogues the build made, in a program folder of the test's own.
        QTemporaryDir folder;
        QVERIFY(QDir().mkpath(folder.path() + "/languages"));
        const QString source = testutil::programDir() + "/languages";
        for (const QString& name : QDir(source).entryList({"*.qm"}))
            QVERIFY(QFile::copy(source + "/" + name, folder.path() + "/languages/" + name));
        if (!QFile::exists(folder.path() + "/languages/de.qm"))
            QSKIP("no catalogues were built (lrelease missing)");
        auto window = makeWindow();
        window->setProgramFolder(folder.path());
        window->loadLanguage("de");
        QCOMPARE(settings_->value(Settings::Language).toString(), QStringLiteral("de"));
        QCOMPARE(child<QMenu>(window.get(), "menuFile")->title(), QStringLiteral("&Datei"));
        QCOMPARE(uitest::labelText(window.get(), "indexStatusLabel"),
                 QStringLiteral("Index: abgeschaltet"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Tallowquist Pro v1.4"));
        window->loadLanguage("cz");
        QCOMPARE(child<QMenu>(window.get(), "menuFile")->title(), QStringLiteral("&Soubor"));
        // Back to English: the old catalogue is gone, not left installed under the new one.
        window->loadLanguage("en");
        QCOMPARE(child<QMenu>(window.get(), "menuFile")->title(), QStringLiteral("&File"));
        // English has its own catalogue for its plurals: one object is not "1 objects".
        QCOMPARE(QCoreApplication::translate("TabPage", "Found: %n objects in %1s", nullptr, 1).arg(0),
                 QStringLiteral("Found: 1 object in 0s"));
        QCOMPARE(QCoreApplication::translate("TabPage", "Found: %n objects in %1s", nullptr, 2).arg(0),
                 QStringLiteral("Found: 2 objects in 0s"));
        window->loadLanguage("de");
        window->loadLanguage("xx");
        QCOMPARE(settings_->value(Settings::Language).toString(), QStringLiteral("en"));
        QCOMPARE(child<QMenu>(window.get(), "menuFile")->title(), QStringLiteral("&File"));
        window->updateActions();
        QVERIFY(child(window.get(), "actionEnglish")->isChecked());
        QVERIFY(!child(window.get(), "actionGerman")->isChecked());
    }

    void optionsAcceptedAndCancelled()
    {
        // Run in background switched off in the dialog: closing then ends the program.
        settings_->setValue(Settings::RunInBackground, true);
        auto window = makeWindow();
        window->start();
        prompter_.dialogHandler = [](QDialog* dialog) {
            dialog->show(); // the pages are read when the dialog is first shown
            auto* box = dialog->findChild<QCheckBox*>("backgroundCheckBox");
            if (!box)
                return int(QDialog::Rejected);
            box->setChecked(false);
            dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
            return dialog->result();
        };
        window->onOptions(0);
        QCOMPARE(prompter_.kinds(), QStringList{"dialog"});
        QCOMPARE(settings_->value(Settings::RunInBackground).toBool(), false);
        QVERIFY(QApplication::quitOnLastWindowClosed());
        QVERIFY(!window->findChild<QSystemTrayIcon*>("trayIcon")->isVisible());
        // Cancelled: nothing changes.
        prompter_.dialogHandler = [](QDialog*) { return int(QDialog::Rejected); };
        window->onOptions(0);
        QCOMPARE(settings_->value(Settings::RunInBackground).toBool(), false);
    }

    void qtLocales()
    {
        QCOMPARE(MainWindow::qtLocaleOf("cs"), QStringLiteral("zh_CN"));
        QCOMPARE(MainWindow::qtLocaleOf("cz"), QStringLiteral("cs"));
        QCOMPARE(MainWindow::qtLocaleOf("de"), QStringLiteral("de"));
    }

    void helpFileByLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("code");
        QTest::newRow("fr") << "fr" << "en";
        QTest::newRow("cz") << "cz" << "cz";
        QTest::newRow("de") << "de" << "de";
        QTest::newRow("cs (Chinese)") << "cs" << "en";
        QTest::newRow("empty") << "" << "en";
    }
    void helpFileByLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, code);
        auto window = makeWindow();
        settings_->setValue(Settings::Language, language);
        QCOMPARE(window->helpFile(), QCoreApplication::applicationDirPath() + "/help/" + code + "/index.html");
    }

    void missingManualIsReported()
    {
        auto window = makeWindow();
        child(window.get(), "actionHelp")->trigger();
        QCOMPARE(prompter_.kinds(), QStringList{"warning"});
    }

    void closeWithoutBackgroundEndsTheProgram()
    {
        settings_->setValue(Settings::RunInBackground, false);
        auto window = makeWindow();
        window->start();
        QVERIFY(window->isVisible());
        window->close();
        QVERIFY(ProgramExit::requested());
    }

    void closeInBackgroundWithoutTrayEndsTheProgram()
    {
        // No tray on this desktop: a hidden window could never be got back.
        if (QSystemTrayIcon::isSystemTrayAvailable())
            QSKIP("this desktop has a tray");
        settings_->setValue(Settings::RunInBackground, true);
        auto window = makeWindow();
        window->start();
        window->close();
        QVERIFY(ProgramExit::requested());
        QVERIFY(!window->findChild<QSystemTrayIcon*>("trayIcon")->isVisible());
    }

    void minimizeWithoutTrayShowsMinimized()
    {
        if (QSystemTrayIcon::isSystemTrayAvailable())
            QSKIP("this desktop has a tray");
        auto window = makeWindow({"tallowquist-pro", "-minimize"});
        window->start();
        QVERIFY(window->isVisible());
        QVERIFY(window->isMinimized());
    }

    void exitIsIdempotent()
    {
        auto window = makeWindow();
        child(window.get(), "actionExit")->trigger();
        child(window.get(), "actionExit")->trigger();
        int code = -1;
        QVERIFY(ProgramExit::requested(&code));
        QCOMPARE(code, 0);
    }

    void toolbarsAndDockSurviveARestart()
    {
        {
            auto window = makeWindow();
            window->start();
            child<QToolBar>(window.get(), "toolBar")->hide();
            window->addToolBar(Qt::BottomToolBarArea, child<QToolBar>(window.get(), "instantToolBar"));
            auto* dock = window->findChild<QDockWidget*>();
            window->addDockWidget(Qt::RightDockWidgetArea, dock);
            // The window is in the tray by the time it saves: what it saves is its own choice.
            window->hide();
            window->saveSettings();
        }
        QCOMPARE(settings_->value(Settings::CommandToolbarVisible).toBool(), false);
        QCOMPARE(settings_->value(Settings::InstantToolbarVisible).toBool(), true);
        QCOMPARE(settings_->value(Settings::InstantToolbarArea).toInt(), int(Qt::BottomToolBarArea));
        QCOMPARE(settings_->value(Settings::SearchWindowVisible).toBool(), true);
        QCOMPARE(settings_->value(Settings::SearchWindowArea).toInt(), int(Qt::RightDockWidgetArea));
        auto window = makeWindow();
        window->start();
        QVERIFY(child<QToolBar>(window.get(), "toolBar")->isHidden());
        QCOMPARE(window->toolBarArea(child<QToolBar>(window.get(), "instantToolBar")), Qt::BottomToolBarArea);
        QCOMPARE(window->dockWidgetArea(window->findChild<QDockWidget*>()), Qt::RightDockWidgetArea);
        window->updateActions();
        QVERIFY(!child(window.get(), "actionToolbar")->isChecked());
        QVERIFY(child(window.get(), "actionInstantSearch")->isChecked());
    }

    void badSavedAreasAreClamped()
    {
        settings_->setValue(Settings::CommandToolbarArea, 1); // left: toolbars stand top or bottom
        settings_->setValue(Settings::SearchWindowArea, 0);
        auto window = makeWindow();
        window->start();
        QCOMPARE(window->toolBarArea(child<QToolBar>(window.get(), "toolBar")), Qt::TopToolBarArea);
        QCOMPARE(window->dockWidgetArea(window->findChild<QDockWidget*>()), Qt::LeftDockWidgetArea);
    }

    void floatingDockOffScreenIsDocked()
    {
        settings_->setValue(Settings::SearchWindowFloating, true);
        settings_->setValue(Settings::SearchWindowPos, QPoint(9000, 9000));
        settings_->setValue(Settings::SearchWindowSize, QSize(300, 400));
        auto window = makeWindow();
        window->start();
        QVERIFY(!window->findChild<QDockWidget*>()->isFloating());
    }

    void zeroSizeIsNotUsed()
    {
        settings_->setValue(Settings::MainWindowPos, QPoint(10, 10));
        settings_->setValue(Settings::MainWindowSize, QSize(0, 0));
        auto window = makeWindow();
        window->start();
        QVERIFY(window->width() > 100);
        QVERIFY(window->height() > 100);
    }

    void placementSurvivesARestart()
    {
        {
            auto window = makeWindow();
            window->start();
            window->setGeometry(40, 50, 1000, 650);
            window->saveSettings();
        }
        QCOMPARE(settings_->value(Settings::MainWindowPos).toPoint(), QPoint(40, 50));
        QCOMPARE(settings_->value(Settings::MainWindowSize).toSize(), QSize(1000, 650));
        auto window = makeWindow();
        window->start();
        // Larger than the test screen (800x600): moved and cut onto it, never left off it.
        const QRect screen = WindowPlacement::screenAreas().value(0);
        QVERIFY(screen.adjusted(-4, -4, 4, 4).contains(window->geometry()));
        QVERIFY(window->width() >= 700);
    }

    // The program folder of the test's own with the catalogues the build made; empty when none
    // were built.
    static QString folderWithCatalogues(const QTemporaryDir& folder)
    {
        QDir().mkpath(folder.path() + "/languages");
        const QString source = testutil::programDir() + "/languages";
        for (const QString& name : QDir(source).entryList({"*.qm"}))
            QFile::copy(source + "/" + name, folder.path() + "/languages/" + name);
        return QFile::exists(folder.path() + "/languages/en.qm") ? folder.path() : QString();
    }

    // At its default size, which fits a 1366x768 screen with a panel and a title bar, the
    // window shows every default column whole beside the search form, with the vertical scroll
    // bar and the row numbers of a large result: in every language of the menu.
    void theDefaultWindowShowsEveryDefaultColumn()
    {
        const QSize size = settings_->defaultValue(Settings::MainWindowSize).toSize();
        QVERIFY(size.width() <= 1366 && size.height() <= 768 - 90);
        QTemporaryDir folder;
        const QString program = folderWithCatalogues(folder);
        QStringList codes{"en"};
        if (!program.isEmpty())
            codes = MainWindow::languageCodes();
        for (const QString& code : codes) {
            settings_->setValue(Settings::Language, code);
            // A first start in that language: nothing saved by the window before.
            settings_->setFileColumns({});
            settings_->setValue(Settings::SearchWindowSize, settings_->defaultValue(Settings::SearchWindowSize));
            auto window = makeWindow();
            window->setProgramFolder(program);
            window->start();
            QCOMPARE(settings_->value(Settings::Language).toString(), code);
            window->setGeometry(QRect(QPoint(0, 0), size));
            auto* view = window->currentTabPage()->findChild<FileTableView*>("foundTable");
            QVERIFY(view);
            qobject_cast<FileTableModel*>(view->model())->appendRows(250000);
            QTRY_VERIFY(view->verticalScrollBar()->isVisible());
            QTRY_VERIFY2(!view->horizontalScrollBar()->isVisible(), qPrintable(code));
            const QHeaderView* header = view->horizontalHeader();
            int right = 0;
            for (int v = 0; v < header->count(); ++v) {
                const int logical = header->logicalIndex(v);
                const int type = qobject_cast<FileTableModel*>(view->model())->columnTypeAt(logical);
                QVERIFY2(header->sectionSize(logical) >= FileTableColumns::defaultWidth(type), qPrintable(code));
                // Every title whole.
                QVERIFY2(header->sectionSize(logical) >= header->sectionSizeHint(logical), qPrintable(code + QString(" %1 %2 %3").arg(logical).arg(header->sectionSize(logical)).arg(header->sectionSizeHint(logical))));
                right = header->sectionViewportPosition(logical) + header->sectionSize(logical);
            }
            // The last column stretches to the edge: no empty band on the right.
            QCOMPARE(right, view->viewport()->width());
        }
    }

    // The search form comes back at the width the user left it, not at a share of the window.
    void theFormWidthSurvivesARestart()
    {
        int width = 0;
        {
            auto window = makeWindow();
            window->start();
            window->setGeometry(0, 0, 1200, 700);
            auto* dock = window->findChild<QDockWidget*>();
            QTRY_VERIFY(dock->width() > 0);
            window->resizeDocks({dock}, {dock->width() + 60}, Qt::Horizontal);
            QTRY_VERIFY(dock->width() > dock->widget()->minimumSizeHint().width());
            width = dock->width();
            window->saveSettings();
        }
        auto window = makeWindow();
        window->start();
        // The test screen (800x600) is smaller than the window was: give it back its size, as the
        // placement does on a screen where it fits, before the layout settles.
        window->setGeometry(0, 0, 1200, 700);
        auto* dock = window->findChild<QDockWidget*>();
        QTRY_COMPARE(dock->width(), width);
        // A wider window after the restart gives its room to the results, not to the form.
        window->resize(window->width() + 200, window->height());
        QTest::qWait(50); // proves an absence: the layout that follows leaves the form as it is
        QCOMPARE(dock->width(), width);
    }

    // Without an index the window says why and how to get one, above the tabs, until closed.
    void noIndexNoticeSaysWhyAndHow()
    {
        auto window = makeWindow();
        window->start();
        QVERIFY(window->noticeText().isEmpty());
        window->showNoIndexNotice(QStringLiteral("refused"));
        QVERIFY(window->noticeText().startsWith(
            QStringLiteral("No index: the password prompt was closed, or the password was not accepted.")));
        QVERIFY(window->noticeText().contains(QStringLiteral("-enable-skip-uac")));
        QVERIFY(MainWindow::noIndexText(QStringLiteral("not-admin")).contains(QStringLiteral("group sudo")));
        QVERIFY(MainWindow::noIndexText(QStringLiteral("failed")).contains(QStringLiteral("the log says why")));
        auto* bar = window->findChild<QWidget*>(QStringLiteral("noticeBar"));
        QVERIFY(bar);
        QVERIFY(bar->geometry().bottom() <= child<QTabWidget>(window.get(), "tabWidget")->geometry().top());
        child<QToolButton>(window.get(), "noticeClose")->click();
        QVERIFY(window->noticeText().isEmpty());
    }

    // Saved tabs come back captioned by what they search, and a tab saved without a file name
    // shows none: it never takes the name the tab shown before left in the shared form.
    void savedTabsTakeNoOtherTabsName()
    {
        const FormStateMap named{{"fileNameComboBox", "first"}};
        const FormStateMap unnamed{{"contentsCheckBox", "0"}, {"contentsComboBox", "not searched"}};
        const FormStateMap byContents{{"contentsCheckBox", "1"}, {"contentsComboBox", "quokka"}};
        const FormStateMap byFolder{{"directoryCheckBox", "1"}, {"directoryComboBox", "/srv/data"}};
        QVERIFY(TabsFile::write(TabsFile::path(dir_->path()), 0, {named, unnamed, byContents, byFolder}));
        auto window = makeWindow();
        window->start();
        QCOMPARE(window->tabCount(), 4);
        auto* tabs = child<QTabWidget>(window.get(), "tabWidget");
        QCOMPARE(tabs->tabText(0), QStringLiteral("first"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("New search"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("\"quokka\""));
        QCOMPARE(tabs->tabText(3), QStringLiteral("data"));
        QCOMPARE(window->findChild<SearchWindow*>()->fileName(), QStringLiteral("first"));
        tabs->setCurrentIndex(1);
        QCOMPARE(window->findChild<SearchWindow*>()->fileName(), QString());
        QCOMPARE(tabs->tabText(1), QStringLiteral("New search"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
