// The rows view as the result table reads it while a search still adds to the store: counts
// read together, rows addressed under counts the table cached (new folders taken up do not
// move the rows it shows), items found again by identity and by path after they moved, and
// sorting in steps (keys gathered without the lock, take-ups kept, stale plans refused,
// cancellation).
#include "search/model/ResultRows.h"

#include "testutil.h"

#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

namespace {

const QList<FileCategory> categories = {{QStringLiteral("Document"), QStringLiteral("txt")}};

QStringList shownNames(const ResultRows& r, const ResultRows::Counts& shown)
{
    QStringList out;
    for (int row = 0; row < shown.rows(); ++row)
        out << ResultStore::entryName(r.entryAtRow(shown, row));
    return out;
}

} // namespace

class TestResultsSeam : public QObject
{
    Q_OBJECT

private slots:
    void rowsUnderCachedCountsIgnoreLaterFolders()
    {
        auto store = std::make_shared<ResultStore>();
        ResultRows r(store);
        store->addDir(QStringLiteral("d1"), QStringLiteral("/a"));
        store->addFile(QStringLiteral("f1.txt"), QStringLiteral("/a"), 2);
        store->addFile(QStringLiteral("f2"), QStringLiteral("/a"), 0);
        const ResultRows::Counts shown = r.takeUp();
        QCOMPARE(shown.dirs, 1);
        QCOMPARE(shown.files, 2);
        QCOMPARE(shown.rows(), 3);

        // A new folder would make row 1 a folder under live addressing; not under the cache.
        store->addDir(QStringLiteral("d2"), QStringLiteral("/a"));
        QCOMPARE(shownNames(r, shown), (QStringList{"d1", "f1.txt", "f2"}));
        const ResultRows::Entry f1 = r.entryAtRow(shown, 1);
        QVERIFY(!f1.isDir);
        QCOMPARE(f1.matches, 2);
        QCOMPARE(ResultStore::entryPath(f1), QStringLiteral("/a/f1.txt"));
        QVERIFY(!r.entryAtRow(shown, 3).isValid());
        QVERIFY(!r.entryAtRow(shown, -1).isValid());

        // The table takes up the new folder at the old folder count.
        const ResultRows::Counts now = r.takeUp();
        QCOMPARE(now.dirs - shown.dirs, 1);
        QCOMPARE(shownNames(r, now), (QStringList{"d1", "d2", "f1.txt", "f2"}));
    }

    void locateUnderEachFilter()
    {
        ResultRows::Counts c;
        c.dirs = 2;
        c.files = 3;
        c.filtered = 1;
        ResultRows::List list;
        int index;
        c.filter = 0;
        QVERIFY(ResultRows::locate(c, 2, &list, &index));
        QCOMPARE(int(list), int(ResultRows::Files));
        QCOMPARE(index, 0);
        QVERIFY(!ResultRows::locate(c, 5, &list, &index));
        c.filter = 1;
        QCOMPARE(c.rows(), 2);
        QVERIFY(!ResultRows::locate(c, 2, &list, &index));
        c.filter = 2;
        QCOMPARE(c.rows(), 1);
        QVERIFY(ResultRows::locate(c, 0, &list, &index));
        QCOMPARE(int(list), int(ResultRows::Filtered));
    }

    void entriesFoundByPathAndIdentity()
    {
        auto store = std::make_shared<ResultStore>();
        ResultRows r(store);
        store->addDir(QStringLiteral("top"), QString()); // the root folder may be stored empty
        store->addDir(QStringLiteral("etc"), QStringLiteral("/"));
        store->addFile(QStringLiteral("a.txt"), QStringLiteral("/x"), 0);
        store->addFile(QStringLiteral("b.txt"), QStringLiteral("/x"), 0);
        store->addFile(QStringLiteral("a.txt"), QStringLiteral("/y"), 0);
        const ResultRows::Counts shown = r.takeUp();
        const QList<ResultRows::Entry> found =
            r.entriesOfPaths({QStringLiteral("/top"), QStringLiteral("/etc"),
                              QStringLiteral("/y/a.txt"), QStringLiteral("/nope/a.txt")});
        QCOMPARE(found.size(), 3);
        QStringList paths;
        for (const auto& e : found)
            paths << ResultStore::entryPath(e);
        QCOMPARE(paths, (QStringList{"/top", "/etc", "/y/a.txt"}));

        QCOMPARE(r.rowsOfEntries(found, shown), (QVector<int>{0, 1, 4}));
        // Not yet shown: -1.
        ResultRows::Counts fewer = shown;
        fewer.files = 2;
        QCOMPARE(r.rowsOfEntries(found, fewer).last(), -1);

        r.removeEntries({found.at(0), found.at(2)});
        QCOMPARE(shownNames(r, r.takeUp()), (QStringList{"etc", "a.txt", "b.txt"}));
    }

    void removeAndRenameReachTheFilteredList()
    {
        auto store = std::make_shared<ResultStore>();
        ResultRows r(store);
        store->addFile(QStringLiteral("a.txt"), QStringLiteral("/x"), 0);
        store->addFile(QStringLiteral("b.bin"), QStringLiteral("/x"), 0);
        store->addFile(QStringLiteral("c.txt"), QStringLiteral("/x"), 0);
        r.setCategoryFilter(2, categories);
        ResultRows::Counts shown = r.takeUp();
        QCOMPARE(shownNames(r, shown), (QStringList{"a.txt", "c.txt"}));
        const ResultRows::Entry c = r.entryAtRow(shown, 1);
        const ResultRows::Entry renamed = r.renameEntry(c, QStringLiteral("d.txt"));
        QVERIFY(renamed.isValid());
        QCOMPARE(shownNames(r, shown), (QStringList{"a.txt", "d.txt"}));
        r.setCategoryFilter(0, categories);
        QCOMPARE(shownNames(r, r.takeUp()), (QStringList{"a.txt", "b.bin", "d.txt"}));
        r.setCategoryFilter(2, categories);
        r.removeEntries({renamed});
        QCOMPARE(shownNames(r, r.takeUp()), (QStringList{"a.txt"}));
        r.setCategoryFilter(0, categories);
        QCOMPARE(shownNames(r, r.takeUp()), (QStringList{"a.txt", "b.bin"}));
        // An item that is gone cannot be renamed.
        QVERIFY(!r.renameEntry(renamed, QStringLiteral("e.txt")).isValid());
    }

    void sortInStepsKeepsLaterAppends()
    {
        auto store = std::make_shared<ResultStore>();
        ResultRows r(store);
        store->addFile(QStringLiteral("c"), QStringLiteral("/x"), 0);
        store->addFile(QStringLiteral("a"), QStringLiteral("/x"), 0);
        store->addFile(QStringLiteral("B"), QStringLiteral("/x"), 0);
        r.takeUp();
        ResultRows::SortPlan plan = r.prepareSort(0, Qt::AscendingOrder);
        store->addFile(QStringLiteral("0late"), QStringLiteral("/x"), 0);
        r.takeUp(); // the table refreshes while the sort runs
        QVERIFY(ResultRows::computeSort(plan));
        QVERIFY(r.applySort(plan));
        QCOMPARE(shownNames(r, r.takeUp()), (QStringList{"a", "B", "c", "0late"}));
        // A plan is used once: the sort itself changed the lists.
        QVERIFY(!r.applySort(plan));
    }

    void sortWithoutAppendsSwapsTheListsIn()
    {
        auto store = std::make_shared<ResultStore>();
        ResultRows r(store);
        store->addDir(QStringLiteral("y"), QStringLiteral("/x"));
        store->addDir(QStringLiteral("w"), QStringLiteral("/x"));
        store->addFile(QStringLiteral("c"), QStringLiteral("/x"), 0);
        store->addFile(QStringLiteral("a"), QStringLiteral("/x"), 0);
        r.takeUp();
        ResultRows::SortPlan plan = r.prepareSort(0, Qt::AscendingOrder);
        QVERIFY(ResultRows::computeSort(plan));
        QVERIFY(r.applySort(plan));
        QCOMPARE(shownNames(r, r.takeUp()), (QStringList{"w", "y", "a", "c"}));
        // The plan now holds the lists as they were, for its owner to free.
        QCOMPARE(plan.dirs, (std::vector<ResultRows::Row>{0, 1}));
        QCOMPARE(plan.files, (std::vector<ResultRows::Row>{0, 1}));
    }

    void stalePlansAreRefused()
    {
        auto store = std::make_shared<ResultStore>();
        ResultRows r(store);
        store->addFile(QStringLiteral("b"), QStringLiteral("/x"), 0);
        store->addFile(QStringLiteral("a"), QStringLiteral("/x"), 0);
        r.takeUp();
        ResultRows::SortPlan plan = r.prepareSort(0, Qt::AscendingOrder);
        ResultRows::computeSort(plan);
        r.removeEntries({r.entryAtRow(r.takeUp(), 0)});
        QVERIFY(!r.applySort(plan));
        QCOMPARE(shownNames(r, r.takeUp()), (QStringList{"a"}));

        store->addFile(QStringLiteral("c.txt"), QStringLiteral("/x"), 0);
        r.takeUp();
        plan = r.prepareSort(0, Qt::DescendingOrder);
        ResultRows::computeSort(plan);
        r.setCategoryFilter(2, categories);
        QVERIFY(!r.applySort(plan));
    }

    void sizeSortGathersKeysWithoutTheLockAndReportsProgress()
    {
        QTemporaryDir dir;
        auto store = std::make_shared<ResultStore>();
        ResultRows r(store);
        const int n = 3000;
        for (int i = 0; i < n; ++i) {
            const QString name = QStringLiteral("f%1").arg(i);
            QVERIFY(testutil::writeFile(dir.path() + QLatin1Char('/') + name, QByteArray((i * 7919) % 5000, 'x')));
            store->addFile(name, dir.path(), 0);
        }
        r.takeUp();
        ResultRows::SortPlan plan = r.prepareSort(2, Qt::DescendingOrder);
        int lastDone = 0;
        int reports = 0;
        // No lock is held while keys are read: the search adds and the table takes up meanwhile.
        std::atomic<bool> stop{false};
        std::thread reader([&]() {
            while (!stop.load())
                r.takeUp();
        });
        QVERIFY(ResultRows::computeSort(plan, nullptr, [&](int done, int total) {
            QCOMPARE(total, n);
            QVERIFY(done >= lastDone);
            lastDone = done;
            ++reports;
            store->addDir(QStringLiteral("added"), dir.path());
        }));
        stop = true;
        reader.join();
        QVERIFY(reports >= 2);
        QCOMPARE(lastDone, n);
        QVERIFY(r.applySort(plan));
        const ResultRows::Counts c = r.takeUp();
        qint64 previous = std::numeric_limits<qint64>::max();
        for (int row = c.dirs; row < c.rows(); ++row) {
            const qint64 size = QFileInfo(ResultStore::entryPath(r.entryAtRow(c, row))).size();
            QVERIFY(size <= previous);
            previous = size;
        }
    }

    void cancelledSortChangesNothing()
    {
        auto store = std::make_shared<ResultStore>();
        ResultRows r(store);
        for (int i = 0; i < 200000; ++i)
            store->addFile(QStringLiteral("n%1").arg((i * 7919) % 200000), QStringLiteral("/x"), i);
        r.takeUp();
        ResultRows::SortPlan plan = r.prepareSort(0, Qt::AscendingOrder);
        std::atomic<bool> cancel{true};
        QVERIFY(!ResultRows::computeSort(plan, &cancel));
        QCOMPARE(ResultStore::entryName(r.entryAt(ResultRows::Files, 0)), QStringLiteral("n0"));
        QCOMPARE(ResultStore::entryName(r.entryAt(ResultRows::Files, 1)), QStringLiteral("n7919"));
    }
};

QTEST_MAIN(TestResultsSeam)
#include "tst_resultsseam.moc"
