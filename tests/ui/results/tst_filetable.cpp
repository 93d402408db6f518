// The result table: cell texts (sizes, bold matches that keep "<" and "&", the Path column's
// cut), rows taken up while a search adds folders, renaming (refused names, no replacing, the
// file shown is the file renamed), sorting off the GUI thread with its confirmation and the
// selection kept by path, removal of exactly the rows of deleted files, drag data, the column
// menu and the delegates bound by column type, and file-system reads only for shown rows.
#include "app/desktop/GraphicUtils.h"
#include "app/desktop/ShellContextMenu.h"
#include "core/FileNameCodec.h"
#include "core/Settings.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultRows.h"
#include "tests/ui/uitestutil.h"
#include "testutil.h"
#include "ui/results/CellText.h"
#include "ui/results/FileTable.h"
#include "ui/results/FileTableItemDelegate.h"
#include "ui/results/FileTableModel.h"
#include "ui/results/FileTableView.h"
#include "ui/results/FilterBar.h"
#include "ui/results/PathItemDelegate.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QHeaderView>
#include <QMimeData>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTextBoundaryFinder>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

#include <unistd.h>

namespace {

// A window with a table and its filter bar host, as a tab lays them out.
struct Harness
{
    // The table shares its rows view with its sorting job; the search fills the store.
    FileSearchRequest request;
    std::shared_ptr<ResultRows> shared =
        std::make_shared<ResultRows>(std::make_shared<ResultStore>());
    ResultRows& rows = *shared;
    ResultStore& results = *shared->store();
    QWidget window;
    QFrame* host;
    FileTableView* view;
    uitest::ScriptedPrompter prompter;
    std::unique_ptr<FileTable> table;
    std::unique_ptr<QAbstractItemModelTester> tester;

    Harness()
    {
        Settings* s = Settings::instance();
        s->setFileColumns({});
        s->setValue(Settings::SortColumn, 0);
        auto* layout = new QVBoxLayout(&window);
        host = new QFrame(&window);
        view = new FileTableView(&window);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSortingEnabled(true);
        layout->addWidget(host);
        layout->addWidget(view);
        window.resize(800, 500);
        table.reset(new FileTable(view, host, s, &prompter, nullptr));
        tester.reset(new QAbstractItemModelTester(table->model(), QAbstractItemModelTester::FailureReportingMode::QtTest));
        view->setOpener([](QWidget*, const QString&) { return true; });
        table->setRequest(&request);
        table->setResults(shared);
    }

    QString cell(int row, int type) { return table->model()->index(row, table->model()->columnIndexOf(type)).data().toString(); }
    QStringList names()
    {
        QStringList out;
        for (int r = 0; r < table->model()->rowCount(); ++r)
            out << table->fileName(r);
        return out;
    }
};

bool waitForSort(FileTable* table)
{
    if (!table->isSorting())
        return true;
    QSignalSpy spy(table, &FileTable::sortFinished);
    return spy.wait(20000);
}

} // namespace

class TestFileTable : public QObject
{
    Q_OBJECT

private slots:
    void sizeTexts()
    {
        QCOMPARE(CellText::sizeText(0), QStringLiteral("0 B"));
        QCOMPARE(CellText::sizeText(1023), QStringLiteral("1023 B"));
        QCOMPARE(CellText::sizeText(1024), QStringLiteral("1 KB"));
        QCOMPARE(CellText::sizeText(1048576), QStringLiteral("1,024 KB"));
        QCOMPARE(CellText::sizeText(123456789012LL), QStringLiteral("120,563,270 KB"));
    }

    void nameMatchRangesAreMergedAndClamped()
    {
        using Ranges = QList<QPair<int, int>>;
        QCOMPARE(CellText::nameMatchRanges(QStringLiteral("abc"), {{0, 3}}), Ranges()); // the whole name: no bold
        QCOMPARE(CellText::nameMatchRanges(QStringLiteral("xabcx"), {{2, 1}, {1, 3}}), (Ranges{{1, 3}}));
        QCOMPARE(CellText::nameMatchRanges(QStringLiteral("abcdef"), {{4, 1}, {0, 2}, {1, 2}}), (Ranges{{0, 3}, {4, 1}}));
        QCOMPARE(CellText::nameMatchRanges(QStringLiteral("ab"), {{1, 10}, {-3, 2}}), (Ranges{{1, 1}})); // clamped
        QCOMPARE(CellText::visibleText(QStringLiteral("a\rb\tc\x7f")), QStringLiteral("a\u240db\u2409c\u2421"));
    }

    // Names are served and painted exactly as they are: blanks do not collapse, leading blanks
    // stay, "<" and "&" are text; the matched parts come in a role of their own.
    void namesShowExactly()
    {
        Harness h;
        h.request.fileName = QStringLiteral("artist");
        h.table->setRequest(&h.request);
        const QStringList names{QStringLiteral("song    -    artist.mp3"), QStringLiteral("  lead.txt"),
                                QStringLiteral("a<b>&amp;.txt"), QStringLiteral("song - artist.mp3")};
        for (const QString& name : names)
            h.results.addFile(name, QStringLiteral("/music"), 0);
        h.table->appendNewRows();
        FileTableModel* m = h.table->model();
        QStringList shown;
        for (int r = 0; r < m->rowCount(); ++r)
            shown << m->index(r, 0).data().toString();
        QCOMPARE(shown, names);
        const auto ranges = m->index(0, 0).data(FileTableRoles::MatchRangesRole).value<QList<QPair<int, int>>>();
        QCOMPARE(ranges, (QList<QPair<int, int>>{{13, 6}}));
        QVERIFY(!m->index(0, 1).data(FileTableRoles::MatchRangesRole).isValid());

        // Painted: the name with its four blanks on each side is wider than the one with one.
        h.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.window));
        h.view->setColumnWidth(0, 600);
        const auto inkWidth = [&](int row) {
            QImage image(600, 30, QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            QStyleOptionViewItem option;
            option.initFrom(h.view);
            option.rect = QRect(0, 0, 600, 30);
            option.state &= ~QStyle::State_Selected;
            option.palette.setColor(QPalette::Text, Qt::black);
            option.palette.setColor(QPalette::Base, Qt::white);
            option.widget = nullptr;
            h.view->itemDelegateForColumn(0)->paint(&painter, option, m->index(row, 0));
            painter.end();
            int right = -1;
            for (int x = 0; x < image.width(); ++x)
                for (int y = 0; y < image.height(); ++y)
                    if (qGray(image.pixel(x, y)) < 128)
                        right = std::max(right, x);
            return right;
        };
        QVERIFY2(inkWidth(0) > inkWidth(3) + 10, qPrintable(QStringLiteral("%1 vs %2").arg(inkWidth(0)).arg(inkWidth(3))));
    }

    // A name wider than its cell ends in "…"; the bold parts are cut with it: a range running
    // over the cut ends at it, one after it goes, ranges at either end of the name stay. The cut
    // never splits a character made of several UTF-16 units or of a letter and its marks.
    void delegateFitsNamesAndRanges()
    {
        using Delegate = FileTableItemDelegate;
        using Ranges = FileTableRoles::MatchRanges;
        const QChar ellipsis(0x2026);
        QFont font;
        const QString name = QStringLiteral("a very long name of a file that goes on and on.txt");
        const int n = name.size();

        // Fits: the text as it is, ranges at both ends kept whole; ranges past the end dropped.
        const auto whole = Delegate::fit(name, {{0, 2}, {n - 4, 4}, {n + 3, 2}}, font, 10000);
        QCOMPARE(whole.text, name);
        QCOMPARE(whole.ranges, (Ranges{{0, 2}, {n - 4, 4}}));
        QCOMPARE(Delegate::fit(name, {{n - 2, 10}}, font, 10000).ranges, (Ranges{{n - 2, 2}}));

        // Cut: every width from nothing to the whole name gives a start of the name and "…",
        // never wider than the cell, longer as the cell widens.
        const Ranges ranges{{0, 3}, {20, 10}, {n - 4, 4}};
        const qreal full = Delegate::shownWidth(Delegate::Shown{name, ranges}, font);
        int previous = -1;
        for (int width = 1; width < full; width += 3) {
            const auto cut = Delegate::fit(name, ranges, font, width);
            QVERIFY(cut.text.endsWith(ellipsis));
            const QString kept = cut.text.chopped(1);
            QVERIFY(name.startsWith(kept));
            QVERIFY(kept.size() >= previous);
            previous = kept.size();
            QVERIFY2(kept.isEmpty() || Delegate::shownWidth(cut, font) <= width,
                     qPrintable(QStringLiteral("%1 px for %2").arg(Delegate::shownWidth(cut, font)).arg(width)));
            // The ranges are the original ones cut at the end of the kept text.
            Ranges expected;
            for (const auto& r : ranges) {
                if (r.first < kept.size())
                    expected.append({r.first, std::min(r.second, int(kept.size()) - r.first)});
            }
            QCOMPARE(cut.ranges, expected);
        }
        QVERIFY(previous > 30);
        QCOMPARE(Delegate::fit(name, ranges, font, 1).text, QString(ellipsis));
        QVERIFY(Delegate::fit(name, ranges, font, 1).ranges.isEmpty());

        // Characters beyond one UTF-16 unit: emoji (surrogate pairs), a letter with a combining
        // accent, CJK; the cut falls between whole characters only.
        const QString note = QStringLiteral("\U0001F3B5"); // two UTF-16 units
        const QString accented = QStringLiteral("e\u0301"); // a letter and its combining mark
        const QString han = QStringLiteral("\u6587");
        const QString wide = (note + accented + han).repeated(3) + QStringLiteral(".mp3");
        const Ranges wideRanges{{0, 2}, {4, 3}}; // the first note; the han letter and the second note
        QSet<int> boundaries{0};
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, wide);
        for (int b = finder.toNextBoundary(); b > 0; b = finder.toNextBoundary())
            boundaries.insert(b);
        const qreal wideFull = Delegate::shownWidth(Delegate::Shown{wide, wideRanges}, font);
        QSet<int> cuts;
        for (int width = 1; width < wideFull; ++width) {
            const auto cut = Delegate::fit(wide, wideRanges, font, width);
            const int kept = cut.text.size() - 1;
            QVERIFY2(boundaries.contains(kept), qPrintable(QStringLiteral("cut at %1").arg(kept)));
            QVERIFY(wide.startsWith(cut.text.left(kept)));
            for (const auto& r : cut.ranges)
                QVERIFY(r.first + r.second <= kept);
            cuts.insert(kept);
        }
        QVERIFY(cuts.size() > 4);
        // A control character shows as its symbol and keeps every position.
        const auto control = Delegate::fit(QStringLiteral("a\tb"), {{2, 1}}, font, 10000);
        QCOMPARE(control.text, QStringLiteral("a\u2409b"));
        QCOMPARE(control.ranges, (Ranges{{2, 1}}));
    }

    // The name takes the colour the style paints its row for: the highlighted-text colour of
    // the active or inactive group in a selected row, the text colour otherwise; matched parts
    // are bold (wider ink).
    void delegatePaintsInTheRowsColours()
    {
        FileTableItemDelegate delegate;
        QStandardItemModel model(1, 1);
        const QString name = QStringLiteral("WWWW matched WWWW");
        model.setData(model.index(0, 0), name);
        QPalette palette;
        palette.setColor(QPalette::Active, QPalette::Text, QColor(0, 0, 0));
        palette.setColor(QPalette::Inactive, QPalette::Text, QColor(0, 0, 0));
        palette.setColor(QPalette::Active, QPalette::HighlightedText, QColor(255, 0, 0));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(0, 200, 0));
        palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0, 0, 90));
        palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(60, 60, 60));
        palette.setColor(QPalette::Base, QColor(255, 255, 255));
        const auto paint = [&](QStyle::State state) {
            QImage image(400, 30, QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            QStyleOptionViewItem option;
            option.rect = QRect(0, 0, 400, 30);
            option.palette = palette;
            option.state = state | QStyle::State_Enabled;
            delegate.paint(&painter, option, model.index(0, 0));
            painter.end();
            return image;
        };
        // How many pixels are close to `colour`, and the rightmost inked column.
        const auto count = [](const QImage& image, QColor colour) {
            int hits = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green())
                            + std::abs(c.blue() - colour.blue()) < 60)
                        ++hits;
                }
            return hits;
        };
        const QImage selectedActive = paint(QStyle::State_Selected | QStyle::State_Active);
        QVERIFY(count(selectedActive, QColor(255, 0, 0)) > 20);
        QCOMPARE(count(selectedActive, QColor(0, 200, 0)), 0);
        const QImage selectedInactive = paint(QStyle::State_Selected);
        QVERIFY(count(selectedInactive, QColor(0, 200, 0)) > 20);
        QCOMPARE(count(selectedInactive, QColor(255, 0, 0)), 0);
        const QImage plain = paint(QStyle::State_Active);
        QCOMPARE(count(plain, QColor(255, 0, 0)) + count(plain, QColor(0, 200, 0)), 0);
        const int plainInk = count(plain, QColor(0, 0, 0));
        QVERIFY(plainInk > 20);

        model.setData(model.index(0, 0), QVariant::fromValue(FileTableRoles::MatchRanges{{5, 7}}),
                      FileTableRoles::MatchRangesRole);
        QVERIFY(count(paint(QStyle::State_Active), QColor(0, 0, 0)) > plainInk);
    }

    // At their default widths a size of gigabytes and a time in the system locale's short
    // format (the C locale's names the month and gives the seconds) are shown whole.
    void defaultWidthsShowSizesAndTimesWhole()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("large.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(Q_INT64_C(5000000) * 1024)); // sparse
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 28), QTime(23, 59, 59)), QFileDevice::FileModificationTime));
        file.close();
        Harness h;
        h.results.addFile(QStringLiteral("large.bin"), dir.path(), 0);
        h.table->appendNewRows();
        h.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.window));
        for (int type : {int(FileTableColumns::Size), int(FileTableColumns::Modified)}) {
            const int column = h.table->model()->columnIndexOf(type);
            QVERIFY(column >= 0);
            QVERIFY(!h.cell(0, type).isEmpty());
            // What the view's own column fit would give: the delegate's width and the grid line.
            QStyleOptionViewItem option;
            option.initFrom(h.view);
            const QModelIndex index = h.table->model()->index(0, column);
            QAbstractItemDelegate* delegate = h.view->itemDelegateForColumn(column) ? h.view->itemDelegateForColumn(column)
                                                                                     : h.view->itemDelegate();
            const int needed = delegate->sizeHint(option, index).width() + 1;
            QVERIFY2(needed <= h.view->columnWidth(column),
                     qPrintable(QStringLiteral("%1: \"%2\" needs %3, has %4").arg(type).arg(h.cell(0, type))
                                    .arg(needed).arg(h.view->columnWidth(column))));
        }
    }

    void pathColumnCutsOnlyBelowTheIncludeFolder()
    {
        const QStringList data{QStringLiteral("/Data")};
        QCOMPARE(CellText::pathText(QStringLiteral("/Data/Sub"), data), QStringLiteral("Sub"));
        QCOMPARE(CellText::pathText(QStringLiteral("/Data/Sub"), {QStringLiteral("/Data/")}), QStringLiteral("Sub"));
        QCOMPARE(CellText::pathText(QStringLiteral("/Data/Sub"), {QStringLiteral("/")}), QStringLiteral("Data/Sub"));
        QCOMPARE(CellText::pathText(QStringLiteral("/Data"), data), QStringLiteral("/Data"));
        QCOMPARE(CellText::pathText(QStringLiteral("/Database/x"), data), QStringLiteral("/Database/x"));
        QCOMPARE(CellText::pathText(QStringLiteral("/Data/Sub"), {QStringLiteral("/Data"), QStringLiteral("/b")}),
                 QStringLiteral("/Data/Sub"));
        QCOMPARE(CellText::typeText(QStringLiteral("a.tar.gz"), false), QStringLiteral("gz"));
        QCOMPARE(CellText::typeText(QStringLiteral("a.d"), true), QString());
        QCOMPARE(CellText::typeText(QStringLiteral("README"), false), QString());
    }

    void newFoldersAreInsertedBeforeTheFiles()
    {
        Harness h;
        h.results.addDir(QStringLiteral("d1"), QStringLiteral("/r"));
        h.results.addFile(QStringLiteral("f1"), QStringLiteral("/r"), 0);
        h.table->appendNewRows();
        h.view->setCurrentIndex(h.table->model()->index(1, 0));
        QCOMPARE(h.names(), (QStringList{"d1", "f1"}));
        h.results.addDir(QStringLiteral("d2"), QStringLiteral("/r"));
        h.results.addFile(QStringLiteral("f2"), QStringLiteral("/r"), 0);
        // Until the next refresh the rows shown keep their items.
        QCOMPARE(h.table->filePath(1), QStringLiteral("/r/f1"));
        QSignalSpy inserted(h.table->model(), &QAbstractItemModel::rowsInserted);
        h.table->appendNewRows();
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted.at(0).at(1).toInt(), 1); // the new folder at the old folder count
        QCOMPARE(h.names(), (QStringList{"d1", "d2", "f1", "f2"}));
        // The current row followed its file.
        QCOMPARE(h.view->currentIndex().data(FileTableRoles::FilePathRole).toString(), QStringLiteral("/r/f1"));

        QSignalSpy removed(h.table->model(), &QAbstractItemModel::rowsAboutToBeRemoved);
        h.table->clear();
        QCOMPARE(removed.count(), 1);
        h.table->clear(); // an empty table signals nothing
        QCOMPARE(removed.count(), 1);
    }

    void renameRefusesBadNamesAndNeverReplaces()
    {
        QTemporaryDir dir;
        QVERIFY(testutil::writeFile(dir.filePath("a.txt"), "A"));
        QVERIFY(testutil::writeFile(dir.filePath("b.txt"), "B"));
        Harness h;
        h.results.addFile(QStringLiteral("a.txt"), dir.path(), 0);
        h.results.addFile(QStringLiteral("b.txt"), dir.path(), 0);
        h.table->appendNewRows();
        const QModelIndex a = h.table->model()->index(0, 0);
        for (const QString& bad : {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("x/y"),
                                   QStringLiteral("x") + QChar(0) + QStringLiteral("y"), QStringLiteral("b.txt")}) {
            QVERIFY2(!h.table->model()->setData(a, bad, Qt::EditRole), qPrintable(bad));
        }
        QCOMPARE(h.prompter.kinds().count(QStringLiteral("warning")), 6);
        QVERIFY(h.prompter.asked.last().text.contains(QStringLiteral("already exists")));
        QCOMPARE(testutil::readFile(dir.filePath("b.txt")), QByteArray("B"));
        QCOMPARE(testutil::readFile(dir.filePath("a.txt")), QByteArray("A"));

        // A folder found meanwhile (not yet taken up) does not move the row being renamed.
        h.results.addDir(QStringLiteral("sub"), dir.path());
        QVERIFY(h.table->model()->setData(a, QStringLiteral("c.txt"), Qt::EditRole));
        QCOMPARE(testutil::readFile(dir.filePath("c.txt")), QByteArray("A"));
        QVERIFY(!QFile::exists(dir.filePath("a.txt")));
        QCOMPARE(testutil::readFile(dir.filePath("b.txt")), QByteArray("B"));
        QCOMPARE(h.table->fileName(0), QStringLiteral("c.txt"));
    }

    void renameKeepsNamesThatAreNotUtf8()
    {
        QTemporaryDir dir;
        const QString odd = FileNameCodec::decode(QByteArray("caf\xe9.txt"));
        QVERIFY(testutil::writeFile(dir.path() + QLatin1Char('/') + QStringLiteral("plain"), "x"));
        Harness h;
        h.results.addFile(QStringLiteral("plain"), dir.path(), 0);
        h.table->appendNewRows();
        QVERIFY(h.table->model()->setData(h.table->model()->index(0, 0), odd, Qt::EditRole));
        const QByteArray target = FileNameCodec::encode(dir.path()) + "/caf\xe9.txt";
        QVERIFY(::access(target.constData(), F_OK) == 0);
        QCOMPARE(h.table->filePath(0), dir.path() + QLatin1Char('/') + odd);
        ::unlink(target.constData());
    }

    void sortingByNameRunsOffTheGuiThreadAndKeepsTheSelection()
    {
        Harness h;
        for (const char* n : {"delta", "Alpha", "charlie", "bravo"})
            h.results.addFile(QString::fromLatin1(n), QStringLiteral("/r"), 0);
        h.table->appendNewRows();
        h.window.show();
        h.view->selectRow(2); // charlie
        h.view->setCurrentIndex(h.table->model()->index(2, 0));
        h.view->sortByColumn(0, Qt::AscendingOrder);
        QVERIFY(waitForSort(h.table.get()));
        QCOMPARE(h.names(), (QStringList{"Alpha", "bravo", "charlie", "delta"}));
        QCOMPARE(h.view->selectedFilePaths(), QStringList{QStringLiteral("/r/charlie")});
        QCOMPARE(h.view->currentIndex().row(), 2);
        h.view->sortByColumn(0, Qt::DescendingOrder);
        QVERIFY(waitForSort(h.table.get()));
        QCOMPARE(h.view->selectedFilePaths(), QStringList{QStringLiteral("/r/charlie")});
        QCOMPARE(h.view->currentIndex().row(), 1);
        QVERIFY(h.prompter.asked.isEmpty());
    }

    void manyRowsAskBeforeAFileSystemSort()
    {
        Harness h;
        for (int i = 0; i < 1001; ++i)
            h.results.addFile(QStringLiteral("f%1").arg(i), QStringLiteral("/nonexistent"), 0);
        h.table->appendNewRows();
        h.window.show();
        QHeaderView* header = h.view->horizontalHeader();
        auto click = [&](int type) {
            const int section = h.table->model()->columnIndexOf(type);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(section) + 10, header->height() / 2));
        };
        click(FileTableColumns::Name);
        QVERIFY(waitForSort(h.table.get()));
        QVERIFY(h.prompter.asked.isEmpty()); // names never ask
        const int nameSection = header->sortIndicatorSection();

        click(FileTableColumns::Size); // answered No
        QCOMPARE(h.prompter.kinds(), QStringList{QStringLiteral("question")});
        // Worded by what it costs: every item's details are read from the disk first.
        QVERIFY(h.prompter.asked.first().text.contains(QStringLiteral("1001 items")));
        QVERIFY(h.prompter.asked.first().text.contains(QStringLiteral("from the disk")));
        QVERIFY(!h.prompter.asked.first().text.contains(QStringLiteral("several minutes")));
        QVERIFY(!h.table->isSorting());
        QCOMPARE(header->sortIndicatorSection(), nameSection);

        h.prompter.questionAnswers.enqueue(QMessageBox::Yes);
        click(FileTableColumns::Size); // asks again, then sorts
        QCOMPARE(h.prompter.kinds().size(), 2);
        QVERIFY(waitForSort(h.table.get()));
        QCOMPARE(header->sortIndicatorSection(), h.table->model()->columnIndexOf(FileTableColumns::Size));
        QCOMPARE(Settings::instance()->value(Settings::SortColumn).toInt(), 0);

        // A refresh after a search or a new filter sorts as the user asked, without asking again.
        for (int i = 0; i < 5; ++i)
            h.results.addFile(QStringLiteral("late%1").arg(i), QStringLiteral("/nonexistent"), 0);
        h.table->appendNewRows();
        h.table->resort();
        QVERIFY(waitForSort(h.table.get()));
        h.table->setFilter(0);
        QVERIFY(waitForSort(h.table.get()));
        QCOMPARE(h.prompter.kinds().size(), 2);
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), h.table->model()->columnIndexOf(FileTableColumns::Size));
        // A sort column that went away sorts nothing.
        h.table->model()->sort(-1, Qt::AscendingOrder);
        QVERIFY(!h.table->isSorting());
    }

    void removalAfterDeleteTakesExactlyTheGonePaths()
    {
        Harness h;
        for (int i = 0; i < 8; ++i)
            h.results.addFile(QStringLiteral("f%1").arg(i), QStringLiteral("/r"), 0);
        h.table->appendNewRows();
        h.window.show();
        h.view->selectionModel()->select(h.table->model()->index(5, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        h.view->selectionModel()->select(h.table->model()->index(2, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        h.view->selectionModel()->select(h.table->model()->index(3, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QStringList offered;
        h.view->setContextMenuRunner([&](QWidget*, const QPoint&, const QStringList& paths, bool& deleted, QStringList& gone) {
            offered = paths;
            // The search found a folder meanwhile and the table took it up: rows moved.
            h.results.addDir(QStringLiteral("new"), QStringLiteral("/r"));
            h.table->appendNewRows();
            deleted = true;
            gone = QStringList{QStringLiteral("/r/f5"), QStringLiteral("/r/f2")}; // f3 could not be deleted
        });
        QSignalSpy removedSignal(h.table.get(), &FileTable::filesRemoved);
        QTest::mouseClick(h.view->viewport(), Qt::RightButton, {}, h.view->visualRect(h.table->model()->index(2, 0)).center());
        QCOMPARE(offered.size(), 3);
        QCOMPARE(removedSignal.count(), 1);
        QCOMPARE(h.names(), (QStringList{"new", "f0", "f1", "f3", "f4", "f6", "f7"}));
        QCOMPARE(h.rows.itemCount(), 7);
    }

    // The context menu opens from the keyboard too (the Menu key's context-menu event and
    // Shift+F10), at the current row, with the selected paths; a mouse's context-menu event
    // adds no second menu to the one its button release opens.
    void contextMenuFromTheKeyboard()
    {
        Harness h;
        for (int i = 0; i < 30; ++i)
            h.results.addFile(QStringLiteral("f%1").arg(i), QStringLiteral("/r"), 0);
        h.table->appendNewRows();
        h.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.window));
        h.view->setFocus();
        h.view->setCurrentIndex(h.table->model()->index(4, 0));
        h.view->selectionModel()->select(h.table->model()->index(4, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QList<QPair<QPoint, QStringList>> shown;
        h.view->setContextMenuRunner([&](QWidget*, const QPoint& at, const QStringList& paths, bool&, QStringList&) {
            shown.append({at, paths});
        });
        const QRect row = h.view->visualRect(h.table->model()->index(4, 0));
        const QPoint below = h.view->viewport()->mapToGlobal(QPoint(row.left(), row.bottom()));

        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1), h.view->viewport()->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(h.view->viewport(), &menuKey);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.at(0).first, below);
        QCOMPARE(shown.at(0).second, QStringList{QStringLiteral("/r/f4")});

        QTest::keyClick(h.view, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(1).first, below);
        QTest::keyClick(h.view, Qt::Key_F10); // F10 alone is not the menu
        QCOMPARE(shown.size(), 2);

        QContextMenuEvent mouse(QContextMenuEvent::Mouse, row.center(), h.view->viewport()->mapToGlobal(row.center()));
        QApplication::sendEvent(h.view->viewport(), &mouse);
        QCOMPARE(shown.size(), 2);
    }

    // A command that fails after the menu closed is told, in its own words, and logged.
    void failedCommandsAreTold()
    {
        Harness h;
        h.results.addFile(QStringLiteral("f"), QStringLiteral("/r"), 0);
        h.table->appendNewRows();
        h.window.show();
        h.view->selectRow(0);
        h.view->setContextMenuRunner([](QWidget*, const QPoint&, const QStringList&, bool&, QStringList&) {
            throw ShellContextMenu::CommandFailure(QStringLiteral("Viewer could not be started."), 1);
        });
        QTest::keyClick(h.view, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(h.prompter.kinds(), QStringList{QStringLiteral("warning")});
        QCOMPARE(h.prompter.asked.first().text, QStringLiteral("Viewer could not be started."));
    }

    void removalTakesEveryRowOfAPathFoundTwice()
    {
        // Overlapping include folders can report one file twice; its removal removes both rows
        // and the table keeps addressing the rows that stay.
        Harness h;
        for (const char* name : {"a", "dup", "b", "dup", "c"})
            h.results.addFile(QString::fromLatin1(name), QStringLiteral("/r"), 0);
        h.table->appendNewRows();
        // The search stores it once more before the table's next refresh: that one goes too.
        h.results.addFile(QStringLiteral("dup"), QStringLiteral("/r"), 0);
        h.table->removePaths({QStringLiteral("/r/dup")});
        QCOMPARE(h.table->model()->rowCount(), h.rows.counts().rows());
        QCOMPARE(h.names(), (QStringList{"a", "b", "c"}));
        h.table->appendNewRows();
        QCOMPARE(h.names(), (QStringList{"a", "b", "c"}));
    }

    void dragCarriesOneUriPerRow()
    {
        Harness h;
        h.results.addFile(QStringLiteral("a b.txt"), QStringLiteral("/r"), 0);
        h.results.addFile(FileNameCodec::decode(QByteArray("\xff.bin")), QStringLiteral("/r"), 0);
        h.table->appendNewRows();
        FileTableModel* m = h.table->model();
        std::unique_ptr<QMimeData> one(m->mimeData({m->index(0, 0), m->index(0, 1), m->index(0, 2)}));
        QCOMPARE(one->data(QStringLiteral("text/uri-list")), QByteArray("file:///r/a%20b.txt\r\n"));
        std::unique_ptr<QMimeData> two(m->mimeData({m->index(1, 0), m->index(0, 0)}));
        QCOMPARE(two->data(QStringLiteral("text/uri-list")), QByteArray("file:///r/%FF.bin\r\nfile:///r/a%20b.txt\r\n"));
        QCOMPARE(m->mimeTypes(), QStringList{QStringLiteral("text/uri-list")});
    }

    void columnMenuAndDelegatesFollowTypes()
    {
        Harness h;
        h.results.addFile(QStringLiteral("a"), QStringLiteral("/r"), 3);
        h.table->appendNewRows();
        FileTableModel* m = h.table->model();
        QCOMPARE(m->columnTypes(), (QList<int>{0, 1, 2, 4, 6}));
        QVERIFY(!h.table->isMatchesColumnShown());
        h.prompter.menuChooser = [](QMenu* menu) { return uitest::findAction(menu, QStringLiteral("Matches")); };
        h.table->showColumnMenu(QPoint(5, 5));
        QCOMPARE(m->columnTypes().last(), 7);
        QCOMPARE(h.cell(0, FileTableColumns::Matches), QStringLiteral("3"));
        QCOMPARE(m->index(0, m->columnIndexOf(7)).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight));

        h.prompter.menuChooser = [](QMenu* menu) { return uitest::findAction(menu, QStringLiteral("Name")); };
        h.table->showColumnMenu(QPoint(5, 5));
        QVERIFY(!m->isColumnShown(0));
        QVERIFY(qobject_cast<PathItemDelegate*>(h.view->itemDelegateForColumn(m->columnIndexOf(1))));
        QCOMPARE(h.view->itemDelegateForColumn(m->columnIndexOf(2)), nullptr); // Size moved to column 1
        h.table->showColumnMenu(QPoint(5, 5));
        QVERIFY(qobject_cast<FileTableItemDelegate*>(h.view->itemDelegateForColumn(m->columnIndexOf(0))));

        h.table->saveColumns();
        QList<int> saved;
        for (const FileColumnEntry& e : Settings::instance()->fileColumns())
            saved << e.type;
        QCOMPARE(saved, (QList<int>{1, 2, 4, 6, 7, 0}));

        // The last column cannot be hidden.
        m->setColumns({2});
        h.prompter.menuChooser = [](QMenu* menu) { return uitest::findAction(menu, QStringLiteral("Size")); };
        h.table->showColumnMenu(QPoint(5, 5));
        QCOMPARE(m->columnTypes(), QList<int>{2});
    }

    void onlyShownRowsReadTheFileSystem()
    {
        QTemporaryDir dir;
        Harness h;
        for (int i = 0; i < 5000; ++i)
            h.results.addFile(QStringLiteral("f%1.txt").arg(i), dir.path(), 0);
        h.table->appendNewRows();
        h.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.window));
        h.view->viewport()->repaint();
        const int visible = h.view->viewport()->height() / h.view->verticalHeader()->defaultSectionSize() + 1;
        QVERIFY(h.table->rowCache().misses() > 0);
        QVERIFY2(h.table->rowCache().misses() <= visible + 2, qPrintable(QString::number(h.table->rowCache().misses())));
        QVERIFY(h.table->rowCache().capacity() >= 100);
        // Paths and the selection of every row never stat.
        const int before = h.table->rowCache().misses();
        h.view->selectAll();
        QCOMPARE(h.view->selectedFilePaths().size(), 5000);
        QCOMPARE(h.table->rowCache().misses(), before);
    }

    void iconsAreSharedByTypeNotBySuffixAlone()
    {
        Harness h;
        h.results.addDir(QStringLiteral("d"), QStringLiteral("/r"));
        h.results.addFile(QStringLiteral("a.txt"), QStringLiteral("/r"), 0);
        h.results.addFile(QStringLiteral("b.txt"), QStringLiteral("/r"), 0);
        h.results.addFile(QStringLiteral("c.png"), QStringLiteral("/r"), 0);
        h.table->appendNewRows();
        auto iconOf = [&](int row) { return h.table->icon(row).value<QIcon>(); };
        QVERIFY(!iconOf(0).isNull());
        QCOMPARE(iconOf(1).cacheKey(), iconOf(2).cacheKey());
        if (!fileIconName(QStringLiteral("/r/a.txt")).isEmpty()
            && fileIconName(QStringLiteral("/r/a.txt")) != fileIconName(QStringLiteral("/r/c.png")))
            QVERIFY(iconOf(1).cacheKey() != iconOf(3).cacheKey());
        QVERIFY(iconOf(0).cacheKey() != iconOf(1).cacheKey());
    }

    void filterBarActsLikeRadioButtons()
    {
        Settings* s = Settings::instance();
        const QList<FileCategory> saved = s->fileCategories();
        QList<FileCategory> categories = saved;
        categories.append({QStringLiteral("Sources"), QStringLiteral("cpp;h")});
        s->setFileCategories(categories);
        QFrame frame;
        FilterBar bar(&frame, s);
        bar.build();
        QCOMPARE(bar.count(), saved.size() + 3);
        QCOMPARE(bar.currentIndex(), 0);
        QCOMPARE(bar.box(bar.count() - 1)->text(), QStringLiteral("Sources"));
        QSignalSpy spy(&bar, &FilterBar::filterClicked);
        bar.box(1)->click();
        QCOMPARE(spy.takeFirst().at(0).toInt(), 1);
        QCOMPARE(bar.currentIndex(), 1);
        QVERIFY(!bar.box(0)->isChecked());
        bar.box(1)->click(); // the checked box stays checked and reports again
        QVERIFY(bar.box(1)->isChecked());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(bar.setCurrentIndex(42), 0); // an index that outlived its category
        QCOMPARE(bar.currentIndex(), 0);
        bar.retranslate();
        QCOMPARE(bar.box(bar.count() - 1)->text(), QStringLiteral("Sources"));
        s->setFileCategories(saved);
    }

    void filterShowsTheCategoryRows()
    {
        Harness h;
        h.results.addDir(QStringLiteral("d"), QStringLiteral("/r"));
        h.results.addFile(QStringLiteral("a.txt"), QStringLiteral("/r"), 0);
        h.results.addFile(QStringLiteral("b.png"), QStringLiteral("/r"), 0);
        h.table->appendNewRows();
        h.table->filterBar()->box(1)->click();
        QCOMPARE(h.names(), QStringList{QStringLiteral("d")});
        h.table->filterBar()->box(2)->click(); // Document
        QCOMPARE(h.names(), QStringList{QStringLiteral("a.txt")});
        h.results.addFile(QStringLiteral("c.txt"), QStringLiteral("/r"), 0);
        h.table->appendNewRows();
        QCOMPARE(h.names(), (QStringList{"a.txt", "c.txt"}));
        h.table->setShowFilterBar(true);
        QCOMPARE(h.table->model()->rowCount(), 4);
    }
};

QTEST_MAIN(TestFileTable)
#include "tst_filetable.moc"
