// One search tab driven through the real engine over a temporary tree: rows as they arrive,
// the count line, the preview's matched lines and file text, the CSV bytes; the ids the main
// window routes by (-1 unless a search runs, also after a cancel); only the tab on show writes
// into the shared form; a matches search that was replaced never fills the preview; closing a
// tab while its search runs; deleting removes exactly the rows of the files gone; Return
// starts a search, the keypad's Enter does not.
#include "core/Logger.h"
#include "core/Settings.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/FileSearcher.h"
#include "search/model/ResultRows.h"
#include "search/model/TempFileHolder.h"
#include "search/textextract/PDFConverter.h"
#include "tests/ui/uitestutil.h"
#include "testutil.h"
#include "ui/main/TabsFile.h"
#include "ui/preview/LocationPane.h"
#include "ui/preview/MatchesTextView.h"
#include "ui/results/FileTable.h"
#include "ui/results/FileTableModel.h"
#include "ui/results/FileTableView.h"
#include "ui/search/InstantToolBar.h"
#include "ui/search/SearchFieldModel.h"
#include "ui/search/SearchWindow.h"
#include "ui/tab/CsvExporter.h"
#include "ui/tab/PagesTabWidget.h"
#include "ui/tab/TabFilePreview.h"
#include "ui/tab/TabPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTranslator>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

// A window as the main window lays it out: the shared form beside a tab set, the engine's
// completion signals routed to the tabs by id.
struct Window
{
    QTemporaryDir tmp;
    QString tree;
    uitest::ScriptedPrompter prompter;
    std::shared_ptr<FileSearcher> searcher;
    QWidget widget;
    SearchWindow* form;
    InstantToolBar* toolbar;
    PagesTabWidget* tabs;
    int nextId = 1;

    Window()
    {
        Logger::instance(tmp.filePath(QStringLiteral("log.txt")));
        Settings* s = Settings::instance();
        s->setFileColumns({});
        s->setValue(Settings::SortColumn, 0);
        s->setValue(Settings::ShowMaximumMatches, 100);
        s->setValue(Settings::ShowFullMatchedLine, false);
        tree = tmp.filePath(QStringLiteral("tree"));
        testutil::writeFile(tree + QStringLiteral("/notes.txt"), "first line\nsecond alpha line\nthird\nalpha again\n");
        testutil::writeFile(tree + QStringLiteral("/sub/more.txt"), "nothing here\n");
        testutil::writeFile(tree + QStringLiteral("/sub/alpha, \"quoted\".txt"), "x alpha y\n");
        testutil::writeFile(tree + QStringLiteral("/sub/odd\rname.txt"), "alpha\n");
        QDir().mkpath(tree + QStringLiteral("/alphadir"));
        searcher = std::make_shared<FileSearcher>(tmp.filePath(QStringLiteral("work")), 0);
        QSignalSpy init(searcher.get(), &FileSearcher::initFinished);
        searcher->init(IndexingSettings(), s->contentSearchOptions());
        if (!searcher->isInitialized())
            init.wait(10000);
        auto* layout = new QHBoxLayout(&widget);
        form = new SearchWindow(s, &prompter, &widget);
        tabs = new PagesTabWidget(&widget, &prompter);
        toolbar = new InstantToolBar(&prompter, &widget);
        layout->addWidget(toolbar);
        layout->addWidget(form);
        layout->addWidget(tabs, 1);
        widget.resize(1200, 700);
    }

    TabPage* addTab()
    {
        auto* tab = new TabPage(tabs, form, toolbar, searcher, nextId++, Settings::instance(), &prompter);
        tabs->addTab(tab, QString());
        tabs->setCurrentWidget(tab);
        return tab;
    }

    void fill(const QString& name, const QString& contents = QString())
    {
        FormStateMap state;
        state.insert(QStringLiteral("fileNameComboBox"), name);
        state.insert(QStringLiteral("directoryCheckBox"), QStringLiteral("1"));
        state.insert(QStringLiteral("directoryComboBox"), tree);
        state.insert(QStringLiteral("contentsCheckBox"), contents.isEmpty() ? QStringLiteral("0") : QStringLiteral("1"));
        state.insert(QStringLiteral("contentsComboBox"), contents);
        form->applyState(state);
    }

    QString button() const { return form->findChild<QPushButton*>(QStringLiteral("findButton"))->text(); }

    // A contents search of the tree is held at one document, "held/held.pdf", whose converter
    // runs until `release` (or a cancel) ends it: the search is certainly still running while
    // the test acts, however slowly this machine runs the test's thread.
    void holdContentsSearches()
    {
        const QString script = tmp.filePath(QStringLiteral("held-pdf.sh"));
        testutil::writeFile(script, "#!/bin/sh\ntouch '" + QFile::encodeName(heldMark()) + "'\nwhile [ ! -e '"
                                        + QFile::encodeName(releaseMark()) + "' ]; do sleep 0.05; done\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        testutil::writeFile(tree + QStringLiteral("/held/held.pdf"), "%PDF-1.4\n");
        searcher->contentSearcherForTests()->pdf()->setProgram(script);
    }
    QString heldMark() const { return tmp.filePath(QStringLiteral("held.started")); }
    QString releaseMark() const { return tmp.filePath(QStringLiteral("held.release")); }
    bool waitHeld() const
    {
        return QTest::qWaitFor([this] { return QFile::exists(heldMark()); }, 120000);
    }
    void release() { testutil::writeFile(releaseMark(), ""); }
};

// The tab's result table and preview, found as its children by name.
FileTable* tableOf(const TabPage* tab)
{
    auto* table = tab->findChild<FileTable*>(QStringLiteral("fileTable"));
    if (!table)
        qFatal("no fileTable");
    return table;
}

TabFilePreview* previewOf(const TabPage* tab)
{
    auto* preview = tab->findChild<TabFilePreview*>(QStringLiteral("preview"));
    if (!preview)
        qFatal("no preview");
    return preview;
}

bool waitFinished(TabPage* tab)
{
    (void)QTest::qWaitFor([tab] { return tab->state() != TabPage::State::Searching; }, 120000);
    return tab->state() == TabPage::State::Finished;
}

QStringList rowNames(TabPage* tab)
{
    QStringList names;
    for (int r = 0; r < tableOf(tab)->model()->rowCount(); ++r)
        names << tableOf(tab)->fileName(r);
    return names;
}

// Translates the button's three texts, whatever the context.
class WordTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override
    {
        static const QHash<QString, QString> words{{QStringLiteral("Search"), QStringLiteral("Suchen")},
                                                   {QStringLiteral("Cancel"), QStringLiteral("Abbrechen")},
                                                   {QStringLiteral("Done"), QStringLiteral("Fertig")}};
        return words.value(QString::fromUtf8(source));
    }
};

} // namespace

class TestTabPage : public QObject
{
    Q_OBJECT

private slots:
    void contentsSearchEndToEnd()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        QCOMPARE(tab->findRequestId(), -1);
        QCOMPARE(tab->matchesRequestId(), -1);
        w.fill(QString(), QStringLiteral("alpha"));
        QSignalSpy titles(tab, &TabPage::tabTextChanged);
        tab->startSearch();
        QVERIFY(tab->findRequestId() >= 0);
        QCOMPARE(w.button(), QStringLiteral("Cancel"));
        QCOMPARE(tab->statusText(), QStringLiteral("Searching..."));
        QVERIFY(waitFinished(tab));
        QCOMPARE(tab->findRequestId(), -1);
        QStringList names = rowNames(tab);
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("alpha, \"quoted\".txt"), QStringLiteral("notes.txt"),
                                     QStringLiteral("odd\rname.txt")}));
        // (The seconds are the search's own: a loaded machine may take more than one.)
        const QString found = tab->statusText();
        QVERIFY2(QRegularExpression(QStringLiteral("^Found: 3 objects in \\d+s$")).match(found).hasMatch(),
                 qPrintable(found));
        QCOMPARE(w.button(), QStringLiteral("Done"));
        QTRY_COMPARE_WITH_TIMEOUT(w.button(), QStringLiteral("Search"), 2000);
        // The search's duration stays what it was: a sort or a language change long after
        // the end does not count the time since. (A fixed wait: more than a second must pass.)
        QTest::qWait(1100);
        QSignalSpy sorted(tableOf(tab), &FileTable::sortFinished);
        tableOf(tab)->view()->sortByColumn(2, Qt::DescendingOrder);
        QTRY_VERIFY(!sorted.isEmpty());
        QCOMPARE(tab->statusText(), found);
        QEvent languageChange(QEvent::LanguageChange);
        QCoreApplication::sendEvent(tab, &languageChange);
        QCOMPARE(tab->statusText(), found);
        tableOf(tab)->view()->sortByColumn(0, Qt::AscendingOrder);
        QTRY_VERIFY(sorted.count() == 2);

        // The preview opened on row 0; select notes.txt and wait for its matches.
        const QSplitter* splitter = tab->findChild<QSplitter*>(QStringLiteral("resultSplitter"));
        QVERIFY(splitter->sizes().at(1) > 0);
        FileTableView* view = tableOf(tab)->view();
        QTRY_VERIFY(!tableOf(tab)->isSorting());
        const int notes = rowNames(tab).indexOf(QStringLiteral("notes.txt"));
        if (view->currentIndex().row() == notes)
            view->setCurrentIndex(tableOf(tab)->model()->index(notes == 0 ? 1 : 0, 0));
        QSignalSpy shown(previewOf(tab), &TabFilePreview::matchesShown);
        view->setCurrentIndex(tableOf(tab)->model()->index(notes, 0));
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty() && previewOf(tab)->holder()->path.endsWith(
                                                         QStringLiteral("notes.txt")),
                                 10000);
        auto* matches = tab->findChild<MatchesTextView*>(QStringLiteral("matchesTextEdit"));
        QCOMPARE(matches->toPlainText(), QStringLiteral("2\tsecond alpha line\n4\talpha again"));
        auto* fileText = tab->findChild<QPlainTextEdit*>(QStringLiteral("fileTextEdit"));
        QCOMPARE(fileText->document()->findBlockByNumber(1).text(), QStringLiteral("second alpha line"));
        auto* pane = tab->findChild<LocationPane*>(QStringLiteral("locationPane"));
        QCOMPARE(pane->ranges(), (QList<QPair<int, int>>{{1, 1}, {3, 1}}));

        // CSV: header, CR LF, quoted fields; a lone CR is quoted too.
        QSignalSpy exported(tab, &TabPage::exportFinished);
        const QString csv = w.tmp.filePath(QStringLiteral("out.csv"));
        tab->exportToCsv(csv);
        QVERIFY(exported.wait(10000));
        QVERIFY(exported.first().at(1).toBool());
        const QByteArray bytes = testutil::readFile(csv);
        QVERIFY(bytes.startsWith("Name,Path,File Size,Created,Accessed,Modified\r\n"));
        QVERIFY(bytes.contains("\"alpha, \"\"quoted\"\".txt\"," + QFile::encodeName(w.tree) + "/sub,0 KB,"));
        QVERIFY(bytes.contains("\"odd\rname.txt\","));
        QCOMPARE(bytes.count("\r\n"), 4);
        QVERIFY(w.prompter.asked.isEmpty());

        // A failed write is reported, never silent.
        exported.clear();
        QVERIFY(testutil::writeFile(w.tmp.filePath(QStringLiteral("plain")), "x"));
        tab->exportToCsv(w.tmp.filePath(QStringLiteral("plain/out.csv"))); // a file is no folder
        QVERIFY(exported.wait(10000));
        QVERIFY(!exported.first().at(1).toBool());
        QCOMPARE(w.prompter.kinds(), QStringList{QStringLiteral("warning")});
    }

    void exportStoppedByANewSearchIsReported()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QStringLiteral(".txt"));
        tab->startSearch();
        QVERIFY(waitFinished(tab));
        QSignalSpy exported(tab, &TabPage::exportFinished);
        const QString csv = w.tmp.filePath(QStringLiteral("stopped.csv"));
        tab->exportToCsv(csv);
        tab->startSearch(); // gives up the rows being written
        QTRY_COMPARE_WITH_TIMEOUT(exported.count(), 1, 60000);
        QVERIFY(waitFinished(tab)); // the stopped export had all that time to report again
        // Exactly one report: stopped (shown to the user, no file) or, had it ended, its outcome.
        QCOMPARE(exported.count(), 1);
        QCOMPARE(exported.first().at(0).toString(), csv);
        if (exported.first().at(1).toBool()) {
            QVERIFY(QFile::exists(csv));
        } else {
            QVERIFY(!QFile::exists(csv));
            QCOMPARE(w.prompter.kinds(), QStringList{QStringLiteral("warning")});
        }
        QVERIFY(waitFinished(tab));
        QCOMPARE(exported.count(), 1);
    }

    void csvQuoting()
    {
        QCOMPARE(CsvExporter::quote(QStringLiteral("plain")), QStringLiteral("plain"));
        QCOMPARE(CsvExporter::quote(QStringLiteral("a,b")), QStringLiteral("\"a,b\""));
        QCOMPARE(CsvExporter::quote(QStringLiteral("say \"hi\"")), QStringLiteral("\"say \"\"hi\"\"\""));
        QCOMPARE(CsvExporter::quote(QStringLiteral("a\nb")), QStringLiteral("\"a\nb\""));
        QCOMPARE(CsvExporter::quote(QStringLiteral("a\rb")), QStringLiteral("\"a\rb\""));
        QTemporaryDir dir;
        QVERIFY(testutil::writeFile(dir.filePath("k.bin"), QByteArray(1023, 'x')));
        QVERIFY(CsvExporter::line(dir.filePath("k.bin"), 0).startsWith(QStringLiteral("k.bin,") + dir.path() + QStringLiteral(",0 KB,")));
    }

    void foundLineKeepsTheTimeTheSearchTook()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QStringLiteral("notes"));
        tab->startSearch();
        QVERIFY(waitFinished(tab));
        QTRY_VERIFY(!tableOf(tab)->isSorting());
        const QString found = tab->statusText();
        QVERIFY2(QRegularExpression(QStringLiteral("^Found: 1 objects in \\d+s$")).match(found).hasMatch(),
                 qPrintable(found));
        QTRY_COMPARE_WITH_TIMEOUT(w.button(), QStringLiteral("Search"), 2000);
        QTest::qWait(1100); // a fixed wait: more than a second must pass
        // A sort long after the search and a language change keep the search's own time,
        // and the button stays as it is.
        QSignalSpy sorted(tableOf(tab), &FileTable::sortFinished);
        tableOf(tab)->sort(0, Qt::DescendingOrder);
        QVERIFY(sorted.wait(5000));
        QCOMPARE(tab->statusText(), found);
        QCOMPARE(w.button(), QStringLiteral("Search"));
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(tab, &change);
        QCOMPARE(tab->statusText(), found);
    }

    void nameOnlySearchNeverShowsThePreview()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QStringLiteral("alpha"));
        tab->startSearch();
        QCOMPARE(tab->title(), QStringLiteral("alpha"));
        QVERIFY(waitFinished(tab));
        QVERIFY(rowNames(tab).contains(QStringLiteral("alphadir")));
        QCOMPARE(tab->findChild<QSplitter*>(QStringLiteral("resultSplitter"))->sizes().at(1), 0);
        tableOf(tab)->view()->setCurrentIndex(tableOf(tab)->model()->index(0, 0));
        QCOMPARE(tab->matchesRequestId(), -1); // no contents: no matches search
    }

    void cancelledSearchHasNoIdAndOnlyTheShownTabWritesTheForm()
    {
        Window w;
        TabPage* first = w.addTab();
        w.widget.show();
        w.fill(QString(), QStringLiteral("alpha"));
        first->startSearch();
        const FileSearchRequest::Id id = first->findRequestId();
        QVERIFY(id >= 0);
        first->cancelSearch();
        QCOMPARE(first->findRequestId(), -1);
        QCOMPARE(first->state(), TabPage::State::Idle);
        QCOMPARE(w.button(), QStringLiteral("Search"));

        // A second tab on show; the first, in the background, finishes a search.
        first->startSearch();
        TabPage* second = w.addTab();
        QTRY_VERIFY(!first->isVisible());
        QCOMPARE(w.button(), QStringLiteral("Search")); // the shown tab's own state
        QVERIFY(waitFinished(first));
        QCOMPARE(w.button(), QStringLiteral("Search"));
        QTest::qWait(600); // proves an absence: the hidden tab's "Done" time changes no button
        QCOMPARE(w.button(), QStringLiteral("Search"));
        // Shown again, the finished tab's button is "Search" once its "Done" time is over (the
        // wait above may have ended before its timer ran on a loaded machine).
        w.tabs->setCurrentWidget(first);
        QTRY_COMPARE(w.button(), QStringLiteral("Search"));
        Q_UNUSED(second);
    }

    void newSearchReplacesTheRunningOneAndClosingIsSafe()
    {
        Window w;
        // Enough files that the contents search runs a while.
        for (int i = 0; i < 3000; ++i)
            testutil::writeFile(w.tree + QStringLiteral("/bulk/f%1.txt").arg(i), QByteArray(2000, 'z') + "alpha\n");
        TabPage* tab = w.addTab();
        TabPage* other = w.addTab();
        w.widget.show();
        w.tabs->setCurrentWidget(tab);
        w.fill(QString(), QStringLiteral("alpha"));
        tab->startSearch();
        const FileSearchRequest::Id old = tab->findRequestId();
        tab->startSearch(); // replaces it without waiting
        QVERIFY(tab->findRequestId() != old);
        QVERIFY(waitFinished(tab));
        QCOMPARE(tab->results()->itemCount(), 3003);

        // Closing a tab whose search runs: the search stops, nothing is written into it.
        tab->startSearch();
        QVERIFY(tab->state() == TabPage::State::Searching);
        const QPointer<TabPage> closed(tab);
        w.tabs->closeTab(w.tabs->indexOf(tab));
        QCOMPARE(w.tabs->count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(closed.isNull(), 60000); // the deferred deletion ran
        QCOMPARE(w.tabs->widget(0), other);
        // The reaped search ends on its own.
        QTRY_COMPARE_WITH_TIMEOUT(w.searcher->filedFindCount(), 0, 120000);
    }

    void staleMatchesNeverFillThePreview()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QString(), QStringLiteral("alpha"));
        tab->startSearch();
        QVERIFY(waitFinished(tab));
        QTRY_VERIFY_WITH_TIMEOUT(tab->matchesRequestId() == -1, 10000);
        tab->findMatches(w.tree + QStringLiteral("/notes.txt"));
        const FileSearchRequest::Id first = tab->matchesRequestId();
        tab->findMatches(w.tree + QStringLiteral("/sub/odd\rname.txt"));
        const FileSearchRequest::Id second = tab->matchesRequestId();
        QVERIFY(first >= 1000 && second > first);
        QSignalSpy shown(previewOf(tab), &TabFilePreview::matchesShown);
        QTRY_COMPARE_WITH_TIMEOUT(tab->matchesRequestId(), -1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, 60000); // once the file text has landed
        QTest::qWait(100); // proves an absence: the replaced search's end fills nothing
        QCOMPARE(shown.count(), 1); // only the newer search filled the preview
        QVERIFY(previewOf(tab)->holder()->path.endsWith(QStringLiteral("name.txt")));
        // A new search gives up the matches search too.
        tab->findMatches(w.tree + QStringLiteral("/notes.txt"));
        tab->startSearch();
        QCOMPARE(tab->matchesRequestId(), -1);
        QVERIFY(waitFinished(tab));
    }

    void deleteRemovesExactlyTheRowsOfFilesGone()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QStringLiteral(".txt"));
        tab->startSearch();
        QVERIFY(waitFinished(tab));
        FileTableView* view = tableOf(tab)->view();
        const QStringList before = rowNames(tab);
        view->selectionModel()->select(
            tableOf(tab)->model()->index(before.indexOf(QStringLiteral("notes.txt")), 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view->selectionModel()->select(
            tableOf(tab)->model()->index(before.indexOf(QStringLiteral("more.txt")), 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        // (That a file which stays keeps its row is covered by the result table's own test.)
        w.prompter.questionAnswers.enqueue(QMessageBox::Yes);
        QSignalSpy deleted(tab, &TabPage::deleteFinished);
        tab->deleteFiles();
        QVERIFY(deleted.wait(10000));
        QCOMPARE(w.prompter.kinds().first(), QStringLiteral("question"));
        QCOMPARE(w.prompter.asked.first().text, QStringLiteral("Do you really want to delete these 2 items permanently?"));
        QVERIFY(!QFile::exists(w.tree + QStringLiteral("/notes.txt")));
        QStringList after = rowNames(tab);
        QCOMPARE(after.size(), before.size() - 2);
        QVERIFY(!after.contains(QStringLiteral("notes.txt")));
        QVERIFY(!after.contains(QStringLiteral("more.txt")));
        QVERIFY(after.contains(QStringLiteral("alpha, \"quoted\".txt")));
        // Declined: nothing happens.
        view->selectRow(0);
        tab->deleteFiles();
        QVERIFY(deleted.wait(10000));
        QCOMPARE(rowNames(tab).size(), after.size());
    }

    // Deleting a folder says that everything in it goes too, with the counts, and runs off the
    // GUI thread; its row goes when it is gone.
    void deletingAFolderSaysWhatGoes()
    {
        Window w;
        const QString doomed = w.tree + QStringLiteral("/doomed");
        QVERIFY(testutil::writeFile(doomed + QStringLiteral("/one.txt"), "12345"));
        QVERIFY(testutil::writeFile(doomed + QStringLiteral("/inner/two.txt"), "123"));
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QStringLiteral("doomed"));
        tab->startSearch();
        QVERIFY(waitFinished(tab));
        QCOMPARE(rowNames(tab), QStringList{QStringLiteral("doomed")});
        tableOf(tab)->view()->selectRow(0);
        w.prompter.questionAnswers.enqueue(QMessageBox::Yes);
        QSignalSpy deleted(tab, &TabPage::deleteFinished);
        tab->deleteFiles();
        QVERIFY(deleted.wait(10000));
        const QString asked = w.prompter.asked.first().text;
        QVERIFY2(asked.startsWith(QStringLiteral("Do you really want to delete the folder \"doomed\" and everything in it "
                                                 "permanently?")), qPrintable(asked));
        QVERIFY2(asked.contains(QStringLiteral("It holds 2 files and 1 folders (8 bytes)")), qPrintable(asked));
        QVERIFY(!QFileInfo::exists(doomed));
        QCOMPARE(deleted.first().at(0).toStringList(), QStringList{doomed});
        QVERIFY(rowNames(tab).isEmpty());
        QCOMPARE(w.prompter.kinds(), QStringList{QStringLiteral("question")}); // all went: no report
    }

    void returnStartsASearchEnterDoesNot()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QStringLiteral("notes"));
        QTest::keyClick(tab, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(tab->state(), TabPage::State::Idle);
        QTest::keyClick(tab, Qt::Key_Return);
        QCOMPARE(tab->state(), TabPage::State::Searching);
        QVERIFY(waitFinished(tab));
        QCOMPARE(rowNames(tab), QStringList{QStringLiteral("notes.txt")});
    }

    void previewDoubleClickHighlightAndWordWrap()
    {
        Window w;
        QByteArray text = QByteArray("alpha ").repeated(12) + "\n";
        for (int i = 1; i < 150; ++i)
            text += "line " + QByteArray::number(i) + " alpha\n";
        QVERIFY(testutil::writeFile(w.tree + QStringLiteral("/many.txt"), text));
        Settings::instance()->setValue(Settings::WordWrap, false);
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QStringLiteral("many"), QStringLiteral("alpha"));
        tab->startSearch();
        QVERIFY(waitFinished(tab));
        QTRY_VERIFY_WITH_TIMEOUT(previewOf(tab)->holder() && tab->matchesRequestId() == -1 &&
                                     previewOf(tab)->holder()->matches.size() == 150,
                                 10000);
        auto* matches = tab->findChild<MatchesTextView*>(QStringLiteral("matchesTextEdit"));
        auto* fileText = tab->findChild<QPlainTextEdit*>(QStringLiteral("fileTextEdit"));
        auto* pages = tab->findChild<QTabWidget*>(QStringLiteral("contentTabWidget"));
        QVERIFY(matches->document()->findBlockByNumber(0).text().startsWith(QStringLiteral("Only the first 100")));
        // The file text is read off the GUI thread and lands after the matches.
        QTRY_VERIFY_WITH_TIMEOUT(fileText->document()->blockCount() >= 150, 60000);

        // Only the first 10 hits of a line are highlighted in the file text.
        const QTextBlock first = fileText->document()->findBlockByNumber(0);
        auto highlighted = [&](int pos) {
            QTextCursor c(fileText->document());
            c.setPosition(first.position() + pos + 1);
            return c.charFormat().background().style() == Qt::SolidPattern;
        };
        QVERIFY(highlighted(9 * 6));
        QVERIFY(!highlighted(10 * 6));

        auto doubleClickLine = [&](int block) {
            QTextCursor c(matches->document()->findBlockByNumber(block));
            matches->setTextCursor(c);
            QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(matches->viewport(), &e);
        };
        pages->setCurrentIndex(0);
        doubleClickLine(0); // the notice
        QCOMPARE(pages->currentIndex(), 0);
        doubleClickLine(1); // the first hit of the first record
        QCOMPARE(pages->currentIndex(), 1);
        QCOMPARE(fileText->textCursor().selectionStart(), 0);
        QCOMPARE(fileText->textCursor().selectedText(), QStringLiteral("alpha"));
        pages->setCurrentIndex(0);
        doubleClickLine(13); // 12 hits of record 0, then record 1's hit
        QCOMPARE(fileText->textCursor().blockNumber(), 1);

        // Word wrap from the file text's menu hides the strip and is stored.
        w.prompter.menuChooser = [](QMenu* menu) { return uitest::findAction(menu, QStringLiteral("Word Wrap")); };
        auto* pane = tab->findChild<LocationPane*>(QStringLiteral("locationPane"));
        emit fileText->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(Settings::instance()->value(Settings::WordWrap).toBool());
        QVERIFY(pane->isHidden());
        emit fileText->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(!Settings::instance()->value(Settings::WordWrap).toBool());
        QVERIFY(!pane->isHidden());
    }

    void toolbarSearchesGoToTheTabOnShow()
    {
        Window w;
        TabPage* hidden = w.addTab();
        TabPage* shownTab = w.addTab();
        w.widget.show();
        QTRY_VERIFY(shownTab->isVisible());
        auto request = QSharedPointer<FileSearchRequest>::create();
        request->fileName = QStringLiteral("notes");
        request->includePaths = QStringList{w.tree};
        emit w.toolbar->startSearch(request);
        QTRY_COMPARE(shownTab->state(), TabPage::State::Searching);
        QCOMPARE(hidden->state(), TabPage::State::Idle);
        QCOMPARE(shownTab->title(), QStringLiteral("notes"));
        QVERIFY(waitFinished(shownTab));
        QCOMPARE(rowNames(shownTab), QStringList{QStringLiteral("notes.txt")});
    }

    // A pattern that is not a valid expression starts no search; the error, with its place,
    // goes to the status line and to the field (form and toolbar), for names and contents.
    void invalidPatternsStartNoSearch()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        const int historyBefore = SearchFieldModel::fileNameHistory()->rowCount();
        w.fill(QStringLiteral("report and (or"));
        w.form->findChild<QComboBox*>(QStringLiteral("fileNameFormatComboBox"))->setCurrentIndex(FileSearchRequest::Boolean);
        tab->startSearch();
        QCOMPARE(tab->state(), TabPage::State::Idle);
        QCOMPARE(tab->findRequestId(), -1);
        QVERIFY2(tab->statusText().startsWith(QStringLiteral("Error in the file name at character 13: \"or\"")),
                 qPrintable(tab->statusText()));
        QVERIFY(tab->statusText().endsWith(uitest::labelText(w.form, "fileNameErrorLabel")));
        QVERIFY(uitest::labelText(w.form, "fileNameErrorLabel")
                    .startsWith(QStringLiteral("\"or\" follows \"(\"")));
        auto* nameEdit = w.form->findChild<QComboBox*>(QStringLiteral("fileNameComboBox"))->lineEdit();
        QCOMPARE(nameEdit->selectedText(), QStringLiteral("or"));
        QCOMPARE(SearchFieldModel::fileNameHistory()->rowCount(), historyBefore);
        // Mended, the search runs and the error goes.
        w.fill(QStringLiteral("notes or more"));
        QVERIFY(uitest::labelText(w.form, "fileNameErrorLabel").isEmpty());
        tab->startSearch();
        QVERIFY(waitFinished(tab));
        QCOMPARE(rowNames(tab).size(), 2);

        // Contents: a regular expression the engine cannot compile.
        w.fill(QString(), QStringLiteral("x (["));
        w.form->findChild<QComboBox*>(QStringLiteral("contentsFormatComboBox"))->setCurrentIndex(FileSearchRequest::Regex);
        tab->startSearch();
        QCOMPARE(tab->state(), TabPage::State::Finished); // the last search's state stays
        QVERIFY2(tab->statusText().startsWith(QStringLiteral("Error in the contents text at character 3: ")),
                 qPrintable(tab->statusText()));
        QVERIFY(!uitest::labelText(w.form, "contentsErrorLabel").isEmpty());

        // The instant toolbar's request.
        auto request = QSharedPointer<FileSearchRequest>::create();
        request->fileName = QStringLiteral("([");
        request->nameSyntax = FileSearchRequest::Regex;
        emit w.toolbar->startSearch(request);
        QTRY_VERIFY(!w.toolbar->error().isEmpty());
        QVERIFY(w.toolbar->error().startsWith(QStringLiteral("Error in the file name at character 1: ")));
        QCOMPARE(tab->statusText(), w.toolbar->error());
        QCOMPARE(tableOf(tab)->model()->rowCount(),
                 2); // the rows of the last search are still shown
    }

    // A folder that does not exist is said, in the status line and at the folder field.
    void missingFolderIsSaid()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QStringLiteral("notes"));
        const QString gone = w.tree + QStringLiteral("/gone");
        w.form->applyState({{QStringLiteral("directoryComboBox"), gone}});
        tab->startSearch();
        QVERIFY(waitFinished(tab));
        const QString said = QStringLiteral("The folder \"%1\" does not exist.").arg(gone);
        QVERIFY2(tab->statusText().startsWith(said + QStringLiteral(" Found: 0 objects in ")), qPrintable(tab->statusText()));
        QCOMPARE(uitest::labelText(w.form, "directoryErrorLabel"), said);
        uitest::child<QComboBox>(w.form, "directoryComboBox")->setEditText(w.tree);
        QVERIFY(uitest::labelText(w.form, "directoryErrorLabel").isEmpty());
    }

    // After Cancel the status line says what the search found until it stopped, and the table
    // shows exactly those rows once the search has really ended.
    void cancelSaysWhatWasFound()
    {
        Window w;
        for (int i = 0; i < 50; ++i)
            testutil::writeFile(w.tree + QStringLiteral("/bulk/f%1.txt").arg(i), QByteArray(4000, 'z') + "alpha\n");
        w.holdContentsSearches();
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QString(), QStringLiteral("alpha"));
        tab->startSearch();
        QVERIFY(w.waitHeld()); // (with the rows found meanwhile shown as the table refreshes)
        QCOMPARE(tab->state(), TabPage::State::Searching);
        tab->cancelSearch();
        QCOMPARE(tab->state(), TabPage::State::Idle);
        QVERIFY2(tab->statusText().startsWith(QStringLiteral("Search canceled. Found: ")), qPrintable(tab->statusText()));
        QTRY_COMPARE_WITH_TIMEOUT(w.searcher->filedFindCount(), 0, 20000);
        QTRY_COMPARE(tab->statusText(), QStringLiteral("Search canceled. Found: %1 objects").arg(tab->results()->itemCount()));
        QCOMPARE(tableOf(tab)->model()->rowCount(), tab->results()->itemCount());
        QCOMPARE(w.button(), QStringLiteral("Search"));
    }

    // The search button follows a language switch in every state.
    void theButtonFollowsALanguageSwitch()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        WordTranslator german;
        w.fill(QStringLiteral("notes"));
        QCOMPARE(w.button(), QStringLiteral("Search"));
        QCoreApplication::installTranslator(&german);
        QTRY_COMPARE(w.button(), QStringLiteral("Suchen"));
        QCoreApplication::removeTranslator(&german);
        QTRY_COMPARE(w.button(), QStringLiteral("Search"));
        w.holdContentsSearches();
        w.fill(QString(), QStringLiteral("alpha"));
        tab->startSearch();
        QCOMPARE(w.button(), QStringLiteral("Cancel"));
        QCoreApplication::installTranslator(&german);
        QTRY_COMPARE(w.button(), QStringLiteral("Abbrechen"));
        QVERIFY(w.waitHeld());
        QCOMPARE(tab->state(), TabPage::State::Searching);
        w.release();
        QVERIFY(waitFinished(tab));
        QCOMPARE(w.button(), QStringLiteral("Fertig"));
        QTRY_COMPARE_WITH_TIMEOUT(w.button(), QStringLiteral("Suchen"), 2000);
        QCoreApplication::removeTranslator(&german);
        QTRY_COMPARE(w.button(), QStringLiteral("Search"));
    }

    // A tab is captioned by what it searches: the name, else the contents, else the folder.
    void captionsSayWhatIsSearched()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QString(), QStringLiteral("alpha"));
        tab->startSearch();
        QCOMPARE(tab->title(), QStringLiteral("\"alpha\""));
        QVERIFY(waitFinished(tab));
        w.fill(QString());
        tab->startSearch();
        QCOMPARE(tab->title(), QStringLiteral("tree"));
        QVERIFY(waitFinished(tab));
        w.fill(QStringLiteral("notes"), QStringLiteral("alpha"));
        tab->startSearch();
        QCOMPARE(tab->title(), QStringLiteral("notes"));
        QVERIFY(waitFinished(tab));
        QCOMPARE(TabPage::captionOf(QString(), QString(), {QStringLiteral("/"), QStringLiteral("/home/u/")}),
                 QStringLiteral("/, u"));
        QCOMPARE(TabPage::captionOf(QStringLiteral("  "), QString(), {}), QString());
    }

    // A tab's form goes into the tabs file and comes back as the main window does it.
    void savedStateRoundTrip()
    {
        Window w;
        TabPage* tab = w.addTab();
        w.widget.show();
        w.fill(QStringLiteral("abc"));
        tab->setFormState({});
        tab->saveFormState();
        const QString file = w.tmp.filePath(QStringLiteral("tabs.xml"));
        QVERIFY(TabsFile::write(file, 0, {tab->formState()}));
        QVERIFY(testutil::readFile(file).contains("<fileNameComboBox value=\"abc\"/>"));
        SavedTabs saved;
        QVERIFY(TabsFile::read(file, saved));
        QCOMPARE(saved.tabs.size(), 1);
        TabPage* restored = w.addTab();
        restored->setFormState(saved.tabs.first());
        restored->setTitle(TabPage::captionOf(restored->formState()));
        QCOMPARE(restored->title(), QStringLiteral("abc"));
        QCOMPARE(restored->formState().value(QStringLiteral("directoryComboBox")), w.tree);
    }
};

QTEST_MAIN(TestTabPage)
#include "tst_tabpage.moc"
