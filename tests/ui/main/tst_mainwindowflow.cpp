// The main window end to end over the real engine and a temporary tree: a name typed in the
// instant-search bar (as root, over an indexed tmpfs) and a search from the form, each until
// "Found: ..."; the CSV export; then the window closed and made again: the tabs and the
// histories come back.
#include "app/startup/ProgramExit.h"
#include "core/Logger.h"
#include "core/Settings.h"
#include "scopedinstance.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/FileSearcher.h"
#include "search/index/NTFSUtils.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "tests/ui/uitestutil.h"
#include "testutil.h"
#include "ui/main/MainWindow.h"
#include "ui/search/InstantToolBar.h"
#include "ui/search/RichComboBox.h"
#include "ui/search/SearchFieldModel.h"
#include "ui/search/SearchWindow.h"
#include "ui/tab/TabPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <condition_variable>
#include <mutex>

#include <sys/mount.h>

namespace {

// An engine whose helper list is held at a gate until the test opens it; the list then names
// one filter of its own.
class HeldListsEngine : public FileSearcher
{
public:
    using FileSearcher::FileSearcher;

    IFilterMap listIFilters64() override
    {
        std::unique_lock<std::mutex> lock(mutex);
        thread = QThread::currentThread();
        called = true;
        changed.notify_all();
        changed.wait(lock, [this]() { return opened; });
        IFilterInfo held;
        held.clsid = L"{0a0b0c0d-0000-4000-8000-00000000beef}";
        held.name = L"Held filter";
        held.extensions = {L"heldext"};
        return {held};
    }
    void open()
    {
        std::lock_guard<std::mutex> lock(mutex);
        opened = true;
        changed.notify_all();
    }
    // The thread the list was asked on, once it was asked (generous wait: CI is loaded).
    QThread* waitCalled()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(60), [this]() { return called; });
        return thread;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool opened = false;
    bool called = false;
    QThread* thread = nullptr;
};

} // namespace

class MainWindowFlowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString tree_;
    bool indexed_ = false;
    uitest::ScriptedPrompter prompter_;

    void makeTree()
    {
        for (const char* name : {"alpha/report-2024.txt", "alpha/notes.txt", "beta/report-final.pdf", "beta/image.png",
                                 "gamma/deep/report old.txt"})
            QVERIFY(testutil::writeFile(tree_ + "/" + name, "text\n"));
    }

    std::unique_ptr<MainWindow> makeWindow(const std::shared_ptr<FileSearcher>& engine)
    {
        auto window = std::make_unique<MainWindow>(QStringList{"tallowquist-pro"}, Settings::instance(), engine,
                                                   &prompter_, dir_.path() + "/data");
        window->start();
        return window;
    }

    std::shared_ptr<FileSearcher> makeEngine()
    {
        return std::make_shared<FileSearcher>(dir_.path() + "/work", indexed_ ? FileSearcher::UseIndex : 0);
    }

    // Generous: an engine with an index may first build the index of the machine's volumes,
    // which on a loaded machine takes far longer than the search itself.
    static constexpr int kSearchWait = 120000;

    static void waitFound(MainWindow* window, int ms = kSearchWait)
    {
        QTRY_VERIFY2_WITH_TIMEOUT(uitest::labelText(window, "tabStatusLabel").startsWith("Found: "),
                                  qPrintable(uitest::labelText(window, "tabStatusLabel")), ms);
    }

private slots:
    void initTestCase()
    {
        tree_ = dir_.path() + "/tree";
        QVERIFY(QDir().mkpath(tree_));
        if (testutil::isRoot() && testutil::enterPrivateMountNamespace().isEmpty()
            && ::mount("tmpfs", QFile::encodeName(tree_).constData(), "tmpfs", 0, "size=16m") == 0)
            indexed_ = true;
        makeTree();
        Logger::instance(dir_.path() + "/data/test.log");
        Settings* settings = Settings::instanceWithFile(dir_.path() + "/data/settings.ini");
        IndexingSettings indexing = settings->indexOptions();
        indexing.autoAddFixed = false;
        indexing.indexDrives = indexed_ ? QList<quint32>{getVolumeSerialNumber(tree_)} : QList<quint32>{};
        indexing.dbPath = dir_.path() + "/data";
        settings->setIndexOptions(indexing);
        settings->setValue(Settings::SaveAllTabs, true);
        settings->setValue(Settings::RunInBackground, false);
    }

    void cleanupTestCase()
    {
        Settings::destroyInstance();
        if (indexed_)
            ::umount2(QFile::encodeName(tree_).constData(), MNT_DETACH);
    }

    void searchExportAndRestore()
    {
        const QString csv = dir_.path() + "/out/results";
        QVERIFY(QDir().mkpath(dir_.path() + "/out"));
        {
            auto engine = makeEngine();
            auto window = makeWindow(engine);
            QCOMPARE(window->tabCount(), 1);
            if (indexed_) {
                QTRY_COMPARE_WITH_TIMEOUT(uitest::labelText(window.get(), "indexStatusLabel"),
                                          QStringLiteral("Index: ready"), kSearchWait);
                auto* bar = window->findChild<InstantToolBar*>("instantToolBar");
                QVERIFY(bar);
                uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->setFocus();
                QTest::keyClicks(
                    uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->lineEdit(),
                    "report");
                // The caption follows the typed text.
                QCOMPARE(window->findChild<QTabWidget*>("tabWidget")->tabText(0), QStringLiteral("report"));
                QTest::keyClick(bar, Qt::Key_Return);
                // The index gives the tree's three; the machine's volumes without an index are
                // walked too and may hold more (a walk of the whole machine: on a loaded one it
                // can take a minute).
                waitFound(window.get(), 180000);
                QVERIFY2(
                    uitest::labelText(window.get(), "tabStatusLabel").section(' ', 1, 1).toInt() >=
                        3,
                    qPrintable(uitest::labelText(window.get(), "tabStatusLabel")));
            } else {
                QCOMPARE(uitest::labelText(window.get(), "indexStatusLabel"),
                         QStringLiteral("Index: disabled"));
            }

            // A search from the form, in a second tab: folder and name.
            window->onNewSearch();
            QCOMPARE(window->tabCount(), 2);
            SearchWindow* form = window->findChild<SearchWindow*>();
            form->applyState({{"directoryCheckBox", "1"}, {"directoryComboBox", tree_}, {"fileNameComboBox", "notes"}});
            form->updateControls();
            form->findChild<QPushButton*>("findButton")->click();
            waitFound(window.get());
            QCOMPARE(uitest::labelText(window.get(), "tabStatusLabel").section(' ', 1, 1),
                     QStringLiteral("1"));
            QCOMPARE(window->findChild<QTabWidget*>("tabWidget")->tabText(1), QStringLiteral("notes"));

            // Export: the prompter names the file; ".csv" is added.
            prompter_.saveAnswers.enqueue(csv);
            window->onExportResults();
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(csv + ".csv"), 10000);
            QTRY_VERIFY(testutil::readFile(csv + ".csv").contains("\r\nnotes.txt,"));
            const QByteArray bytes = testutil::readFile(csv + ".csv");
            QVERIFY(bytes.startsWith("Name,Path,File Size,Created,Accessed,Modified\r\n"));
            QVERIFY(bytes.contains("notes.txt," + QFile::encodeName(tree_) + "/alpha,0 KB,"));
            QCOMPARE(Settings::instance()->value(Settings::DefaultDialogDir).toString(), dir_.path() + "/out");
            // The window goes: engine stopped, state saved, then the engine released.
        }
        QVERIFY(QFile::exists(dir_.path() + "/data/tabs.xml"));
        SearchFieldModel::fileNameHistory()->setEntries({});
        SearchFieldModel::pathHistory()->setEntries({});
        SearchFieldModel::instantFileNameHistory()->setEntries({});

        auto engine = makeEngine();
        auto window = makeWindow(engine);
        QCOMPARE(window->tabCount(), 2);
        auto* tabs = window->findChild<QTabWidget*>("tabWidget");
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(tabs->tabText(1), QStringLiteral("notes"));
        QCOMPARE(window->findChild<SearchWindow*>()->fileName(), QStringLiteral("notes"));
        QVERIFY(SearchFieldModel::fileNameHistory()->entries().contains("notes"));
        QVERIFY(SearchFieldModel::pathHistory()->entries().contains(tree_));
        if (indexed_)
            QVERIFY(SearchFieldModel::instantFileNameHistory()->entries().contains("report"));
    }

    // The document-filter lists are read on an engine thread: the window starts, shows and
    // takes a search while the helper's answer is held; that search waits for the engine's
    // start and then runs with the lists, which the settings hold too.
    void filterListsReadAwayFromTheGuiThread()
    {
        auto engine = std::make_shared<HeldListsEngine>(dir_.path() + "/work", 0);
        auto window = makeWindow(engine); // start() has returned with the reading held
        const auto openAtEnd =
            qScopeGuard([&engine]() { engine->open(); }); // before the window goes
        QThread* reader = engine->waitCalled();
        QVERIFY(reader);
        QVERIFY(reader != QThread::currentThread());
        QVERIFY(!engine->isInitialized());
        QVERIFY(Settings::instance()->ifilters64().empty());

        while (window->tabCount() > 1)
            delete window->tabPage(0);
        SearchWindow* form = window->findChild<SearchWindow*>();
        QVERIFY(form);
        form->applyState({{"directoryCheckBox", "1"},
                          {"directoryComboBox", tree_},
                          {"fileNameComboBox", "notes"}});
        form->findChild<QPushButton*>("findButton")->click();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QCOMPARE(uitest::labelText(window.get(), "tabStatusLabel"), QStringLiteral("Searching..."));
        QVERIFY(engine->contentSearcherForTests()->convertersFor("heldext").empty());

        engine->open();
        waitFound(window.get());
        QCOMPARE(uitest::labelText(window.get(), "tabStatusLabel").section(' ', 1, 1),
                 QStringLiteral("1"));
        QVERIFY(engine->isInitialized());
        const IFilterMap helperList = Settings::instance()->ifilters64();
        QCOMPARE(int(helperList.size()), 1);
        QCOMPARE(QString::fromStdWString(helperList.front().name), QStringLiteral("Held filter"));
        QCOMPARE(int(engine->contentSearcherForTests()->convertersFor("heldext").size()), 1);
    }

    void instantSearchWithoutIndexWalksVolumes()
    {
        // Without an index the instant search (no folder) walks the local volumes: here the
        // one volume of a scripted layer, with a network volume inside it that is left alone.
        const QString vol = dir_.path() + "/noindexvol";
        for (const char* name : {"a/quokka-1.txt", "b/c/quokka-2.txt", "net/quokka-3.txt"})
            QVERIFY(testutil::writeFile(vol + "/" + name, "text\n"));
        ScriptedVolumeLayer layer;
        layer.addVolume(ScriptedVolumeLayer::describe(vol, "ext4", 0x71, true));
        layer.addVolume(ScriptedVolumeLayer::describe(vol + "/net", "nfs4", 0x72, false, true));
        {
            const testutil::ScopedInstance<VolumeLayer> installed(&layer);
            auto engine = std::make_shared<FileSearcher>(dir_.path() + "/work", 0);
            auto window = makeWindow(engine);
            QCOMPARE(uitest::labelText(window.get(), "indexStatusLabel"),
                     QStringLiteral("Index: disabled"));
            auto* bar = window->findChild<InstantToolBar*>("instantToolBar");
            QVERIFY(bar);
            uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->setFocus();
            QTest::keyClicks(
                uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->lineEdit(), "quokka");
            QTest::keyClick(bar, Qt::Key_Return);
            QTRY_COMPARE_WITH_TIMEOUT(
                uitest::labelText(window.get(), "tabStatusLabel").section(' ', 0, 1),
                QStringLiteral("Found: 2"), kSearchWait);
        }
    }

    void finishedSearchOfAnotherTabStaysThere()
    {
        // A tab's "Found" reaches the status bar only while that tab is the current one.
        auto engine = makeEngine();
        auto window = makeWindow(engine);
        while (window->tabCount() > 1)
            delete window->tabPage(0);
        TabPage* first = window->currentTabPage();
        SearchWindow* form = window->findChild<SearchWindow*>();
        form->applyState({{"directoryCheckBox", "1"}, {"directoryComboBox", tree_}, {"fileNameComboBox", "report"}});
        form->findChild<QPushButton*>("findButton")->click();
        window->onNewSearch();
        QVERIFY(window->currentTabPage() != first);
        QTRY_VERIFY_WITH_TIMEOUT(first->statusText().startsWith("Found: "), kSearchWait);
        QVERIFY(!uitest::labelText(window.get(), "tabStatusLabel").startsWith("Found: "));
        window->findChild<QTabWidget*>("tabWidget")->setCurrentWidget(first);
        QVERIFY(uitest::labelText(window.get(), "tabStatusLabel").startsWith("Found: "));
    }

    void pathArgumentOpensATabForThatFolder()
    {
        // "-path <folder>": one tab with that folder in the form; the saved tabs are not read.
        auto engine = makeEngine();
        auto window = std::make_unique<MainWindow>(QStringList{"tallowquist-pro", "-path", tree_}, Settings::instance(),
                                                   engine, &prompter_, dir_.path() + "/data");
        window->start();
        QCoreApplication::processEvents();
        QCOMPARE(window->tabCount(), 1);
        QCOMPARE(window->findChild<SearchWindow*>()
                     ->findChild<QComboBox*>("directoryComboBox")
                     ->currentText(),
                 tree_);
        QVERIFY(window->findChild<SearchWindow*>()
                    ->findChild<QCheckBox*>("directoryCheckBox")
                    ->isChecked());
        // A folder handed over by a second start: a new tab for it.
        window->onNewSearchRequested(tree_ + "/alpha");
        QCOMPARE(window->tabCount(), 2);
        QCOMPARE(window->findChild<SearchWindow*>()
                     ->findChild<QComboBox*>("directoryComboBox")
                     ->currentText(),
                 tree_ + "/alpha");
    }

    void nextAndPreviousTabWrap()
    {
        auto engine = makeEngine();
        auto window = makeWindow(engine);
        while (window->tabCount() < 3)
            window->onNewSearch();
        auto* tabs = window->findChild<QTabWidget*>("tabWidget");
        tabs->setCurrentIndex(tabs->count() - 1);
        window->findChild<QAction*>("actionNextTab")->trigger();
        QCOMPARE(tabs->currentIndex(), 0);
        window->findChild<QAction*>("actionPreviousTab")->trigger();
        QCOMPARE(tabs->currentIndex(), tabs->count() - 1);
        // A caption change from a background tab renames that tab only.
        window->onTabTextChanged(window->tabPage(0)->tabId(), "elsewhere");
        QCOMPARE(tabs->tabText(0), QStringLiteral("elsewhere"));
        QVERIFY(tabs->tabText(tabs->count() - 1) != QStringLiteral("elsewhere"));
        window->onTabTextChanged(window->tabPage(0)->tabId(), QString());
        QCOMPARE(tabs->tabText(0), QStringLiteral("New search"));
        window->onTabTextChanged(9999, "nobody");
        // Without a selection the Edit actions are off.
        window->updateActions();
        QVERIFY(!window->findChild<QAction*>("actionCopy")->isEnabled());
        QVERIFY(window->findChild<QAction*>("actionNextTab")->isEnabled());
    }
};

QTEST_MAIN(MainWindowFlowTest)
#include "tst_mainwindowflow.moc"
