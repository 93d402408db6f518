// The results as the result table reads them while a search still adds to them: counts read
// together, rows addressed under counts the table cached (new folders do not move the rows it
// shows), items found again by identity and by path after they moved, and sorting in steps
// (keys gathered without the lock, appends kept, stale plans refused, cancellation).
#include "search/model/FileSearchResults.h"

#include "testutil.h"

#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

namespace {

const QList<FileCategory> categories = {{QStringLiteral("Document"), QStringLiteral("txt")}};

QStringList shownNames(const FileSearchResults& r, const FileSearchResults::Counts& shown)
{
    QStringList out;
    for (int row = 0; row < shown.rows(); ++row)
        out << FileSearchResults::entryName(r.entryAtRow(shown, row));
    return out;
}

} // namespace

class TestResultsSeam : public QObject
{
    Q_OBJECT

private slots:
    void rowsUnderCachedCountsIgnoreLaterFolders()
    {
        FileSearchResults r;
        r.addDir(QStringLiteral("d1"), QStringLiteral("/a"));
        r.addFile(QStringLiteral("f1.txt"), QStringLiteral("/a"), 2);
        r.addFile(QStringLiteral("f2"), QStringLiteral("/a"), 0);
        const FileSearchResults::Counts shown = r.counts();
        QCOMPARE(shown.dirs, 1);
        QCOMPARE(shown.files, 2);
        QCOMPARE(shown.rows(), 3);

        // A new folder would make row 1 a folder under live addressing; not under the cache.
        r.addDir(QStringLiteral("d2"), QStringLiteral("/a"));
        QCOMPARE(shownNames(r, shown), (QStringList{"d1", "f1.txt", "f2"}));
        const FileSearchResults::Entry f1 = r.entryAtRow(shown, 1);
        QVERIFY(!f1.isDir);
        QCOMPARE(f1.matches, 2);
        QCOMPARE(FileSearchResults::entryPath(f1), QStringLiteral("/a/f1.txt"));
        QVERIFY(!r.entryAtRow(shown, 3).isValid());
        QVERIFY(!r.entryAtRow(shown, -1).isValid());

        // The table takes up the new folder at the old folder count.
        const FileSearchResults::Counts now = r.counts();
        QCOMPARE(now.dirs - shown.dirs, 1);
        QCOMPARE(shownNames(r, now), (QStringList{"d1", "d2", "f1.txt", "f2"}));
    }

    void locateUnderEachFilter()
    {
        FileSearchResults::Counts c;
        c.dirs = 2;
        c.files = 3;
        c.filtered = 1;
        FileSearchResults::List list;
        int index;
        c.filter = 0;
        QVERIFY(FileSearchResults::locate(c, 2, &list, &index));
        QCOMPARE(int(list), int(FileSearchResults::Files));
        QCOMPARE(index, 0);
        QVERIFY(!FileSearchResults::locate(c, 5, &list, &index));
        c.filter = 1;
        QCOMPARE(c.rows(), 2);
        QVERIFY(!FileSearchResults::locate(c, 2, &list, &index));
        c.filter = 2;
        QCOMPARE(c.rows(), 1);
        QVERIFY(FileSearchResults::locate(c, 0, &list, &index));
        QCOMPARE(int(list), int(FileSearchResults::Filtered));
    }

    void entriesFoundByPathAndIdentity()
    {
        FileSearchResults r;
        r.addDir(QStringLiteral("top"), QString()); // the root folder may be stored empty
        r.addDir(QStringLiteral("etc"), QStringLiteral("/"));
        r.addFile(QStringLiteral("a.txt"), QStringLiteral("/x"), 0);
        r.addFile(QStringLiteral("b.txt"), QStringLiteral("/x"), 0);
        r.addFile(QStringLiteral("a.txt"), QStringLiteral("/y"), 0);
        const QList<FileSearchResults::Entry> found = r.entriesOfPaths(
            {QStringLiteral("/top"), QStringLiteral("/etc"), QStringLiteral("/y/a.txt"), QStringLiteral("/nope/a.txt")});
        QCOMPARE(found.size(), 3);
        QStringList paths;
        for (const auto& e : found)
            paths << FileSearchResults::entryPath(e);
        QCOMPARE(paths, (QStringList{"/top", "/etc", "/y/a.txt"}));

        const FileSearchResults::Counts shown = r.counts();
        QCOMPARE(r.rowsOfEntries(found, shown), (QVector<int>{0, 1, 4}));
        // Not yet shown: -1.
        FileSearchResults::Counts fewer = shown;
        fewer.files = 2;
        QCOMPARE(r.rowsOfEntries(found, fewer).last(), -1);

        r.removeEntries({found.at(0), found.at(2)});
        QCOMPARE(shownNames(r, r.counts()), (QStringList{"etc", "a.txt", "b.txt"}));
    }

    void removeAndRenameReachTheFilteredList()
    {
        FileSearchResults r;
        r.addFile(QStringLiteral("a.txt"), QStringLiteral("/x"), 0);
        r.addFile(QStringLiteral("b.bin"), QStringLiteral("/x"), 0);
        r.addFile(QStringLiteral("c.txt"), QStringLiteral("/x"), 0);
        r.setCategoryFilter(2, categories);
        FileSearchResults::Counts shown = r.counts();
        QCOMPARE(shownNames(r, shown), (QStringList{"a.txt", "c.txt"}));
        const FileSearchResults::Entry c = r.entryAtRow(shown, 1);
        const FileSearchResults::Entry renamed = r.renameEntry(c, QStringLiteral("d.txt"));
        QVERIFY(renamed.isValid());
        QCOMPARE(shownNames(r, shown), (QStringList{"a.txt", "d.txt"}));
        r.setCategoryFilter(0, categories);
        QCOMPARE(shownNames(r, r.counts()), (QStringList{"a.txt", "b.bin", "d.txt"}));
        r.setCategoryFilter(2, categories);
        r.removeEntries({renamed});
        QCOMPARE(shownNames(r, r.counts()), (QStringList{"a.txt"}));
        r.setCategoryFilter(0, categories);
        QCOMPARE(shownNames(r, r.counts()), (QStringList{"a.txt", "b.bin"}));
        // An item that is gone cannot be renamed.
        QVERIFY(!r.renameEntry(renamed, QStringLiteral("e.txt")).isValid());
    }

    void sortInStepsKeepsLaterAppends()
    {
        FileSearchResults r;
        r.addFile(QStringLiteral("c"), QStringLiteral("/x"), 0);
        r.addFile(QStringLiteral("a"), QStringLiteral("/x"), 0);
        r.addFile(QStringLiteral("B"), QStringLiteral("/x"), 0);
        FileSearchResults::SortPlan plan = r.prepareSort(0, Qt::AscendingOrder);
        r.addFile(QStringLiteral("0late"), QStringLiteral("/x"), 0);
        QVERIFY(FileSearchResults::computeSort(plan));
        QVERIFY(r.applySort(plan));
        QCOMPARE(shownNames(r, r.counts()), (QStringList{"a", "B", "c", "0late"}));
        // A plan is used once: the sort itself changed the lists.
        QVERIFY(!r.applySort(plan));
    }

    void sortWithoutAppendsSwapsTheListsIn()
    {
        FileSearchResults r;
        r.addDir(QStringLiteral("y"), QStringLiteral("/x"));
        r.addDir(QStringLiteral("w"), QStringLiteral("/x"));
        r.addFile(QStringLiteral("c"), QStringLiteral("/x"), 0);
        r.addFile(QStringLiteral("a"), QStringLiteral("/x"), 0);
        FileSearchResults::SortPlan plan = r.prepareSort(0, Qt::AscendingOrder);
        QVERIFY(FileSearchResults::computeSort(plan));
        QVERIFY(r.applySort(plan));
        QCOMPARE(shownNames(r, r.counts()), (QStringList{"w", "y", "a", "c"}));
        // The plan now holds the lists as they were, for its owner to free.
        QCOMPARE(plan.dirs.size(), size_t(2));
        QCOMPARE(QString::fromUtf8(plan.dirs[0].name), QStringLiteral("y"));
        QCOMPARE(QString::fromUtf8(plan.files[0].name), QStringLiteral("c"));
    }

    void stalePlansAreRefused()
    {
        FileSearchResults r;
        r.addFile(QStringLiteral("b"), QStringLiteral("/x"), 0);
        r.addFile(QStringLiteral("a"), QStringLiteral("/x"), 0);
        FileSearchResults::SortPlan plan = r.prepareSort(0, Qt::AscendingOrder);
        FileSearchResults::computeSort(plan);
        r.removeEntries({r.entryAtRow(r.counts(), 0)});
        QVERIFY(!r.applySort(plan));
        QCOMPARE(shownNames(r, r.counts()), (QStringList{"a"}));

        r.addFile(QStringLiteral("c.txt"), QStringLiteral("/x"), 0);
        plan = r.prepareSort(0, Qt::DescendingOrder);
        FileSearchResults::computeSort(plan);
        r.setCategoryFilter(2, categories);
        QVERIFY(!r.applySort(plan));
    }

    void sizeSortGathersKeysWithoutTheLockAndReportsProgress()
    {
        QTemporaryDir dir;
        FileSearchResults r;
        const int n = 3000;
        for (int i = 0; i < n; ++i) {
            const QString name = QStringLiteral("f%1").arg(i);
            QVERIFY(testutil::writeFile(dir.path() + QLatin1Char('/') + name, QByteArray((i * 7919) % 5000, 'x')));
            r.addFile(name, dir.path(), 0);
        }
        FileSearchResults::SortPlan plan = r.prepareSort(2, Qt::DescendingOrder);
        int lastDone = 0;
        int reports = 0;
        // The lock is free while keys are read: another thread can add and count meanwhile.
        std::atomic<bool> stop{false};
        std::thread reader([&]() {
            while (!stop.load())
                r.counts();
        });
        QVERIFY(FileSearchResults::computeSort(plan, nullptr, [&](int done, int total) {
            QCOMPARE(total, n);
            QVERIFY(done >= lastDone);
            lastDone = done;
            ++reports;
            r.addDir(QStringLiteral("added"), dir.path());
        }));
        stop = true;
        reader.join();
        QVERIFY(reports >= 2);
        QCOMPARE(lastDone, n);
        QVERIFY(r.applySort(plan));
        const FileSearchResults::Counts c = r.counts();
        qint64 previous = std::numeric_limits<qint64>::max();
        for (int row = c.dirs; row < c.rows(); ++row) {
            const qint64 size = QFileInfo(r.filePath(row)).size();
            QVERIFY(size <= previous);
            previous = size;
        }
    }

    void cancelledSortChangesNothing()
    {
        FileSearchResults r;
        for (int i = 0; i < 200000; ++i)
            r.addFile(QStringLiteral("n%1").arg((i * 7919) % 200000), QStringLiteral("/x"), i);
        FileSearchResults::SortPlan plan = r.prepareSort(0, Qt::AscendingOrder);
        std::atomic<bool> cancel{true};
        QVERIFY(!FileSearchResults::computeSort(plan, &cancel));
        QCOMPARE(FileSearchResults::entryName(r.entryAt(FileSearchResults::Files, 0)), QStringLiteral("n0"));
        QCOMPARE(FileSearchResults::entryName(r.entryAt(FileSearchResults::Files, 1)), QStringLiteral("n7919"));
    }
};

QTEST_MAIN(TestResultsSeam)
#include "tst_resultsseam.moc"
