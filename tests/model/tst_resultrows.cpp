// The rows view of a result table over its store: rows under the category filters, the
// category test, take-ups while a category is selected, removal and renaming across the
// lists, and column sorting (keys read once, also while files change; sizes and times of
// names that are not UTF-8).
#include "search/model/FileProperties.h"
#include "search/model/ResultRows.h"

#include "core/FileNameCodec.h"
#include "testutil.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QList<FileCategory> categories = {{QStringLiteral("Document"), QStringLiteral("txt;doc")},
                                        {QStringLiteral("Picture"), QStringLiteral("bmp;gif")},
                                        {QStringLiteral("Upper"), QStringLiteral("GIF")}};

// A store and its rows view as a tab holds them: the search adds to the store, the table takes
// the items up and reads its rows under the counts it took up.
struct Rows
{
    std::shared_ptr<ResultStore> store = std::make_shared<ResultStore>();
    ResultRows view{store};

    void addDir(const QString& name, const QString& path)
    {
        store->addDir(name, path);
        view.takeUp();
    }
    void addFile(const QString& name, const QString& path, int matches)
    {
        store->addFile(name, path, matches);
        view.takeUp();
    }
    int count() const { return view.counts().rows(); }
    ResultRows::Entry entry(int row) const { return view.entryAtRow(view.counts(), row); }
    QString filePath(int row) const { return ResultStore::entryPath(entry(row)); }
    // The three steps of a sort, as the table's sort job runs them.
    bool sort(int column, Qt::SortOrder order)
    {
        ResultRows::SortPlan plan = view.prepareSort(column, order);
        return ResultRows::computeSort(plan) && view.applySort(plan);
    }
    void setFilter(int index) { view.setCategoryFilter(index, categories); }
    void removeRow(int row)
    {
        const ResultRows::Counts shown = view.counts();
        view.removeShownRows(shown, row, row);
    }
    void rename(int row, const QString& name) { view.renameEntry(entry(row), name); }
};

QStringList rowNames(const Rows& r)
{
    QStringList out;
    for (const ResultRows::Entry& e : r.view.entriesOfRows(r.view.counts()))
        out << ResultStore::entryName(e);
    return out;
}

} // namespace

class TestResultRows : public QObject
{
    Q_OBJECT

private slots:
    void rowsFollowTakeUps()
    {
        Rows r;
        r.store->addDir(QStringLiteral("d1"), QStringLiteral("/home/u"));
        r.store->addFile(QStringLiteral("f1.txt"), QStringLiteral("/home/u"), 4);
        // Nothing shows before it is taken up; the item count includes it already.
        QCOMPARE(r.count(), 0);
        QCOMPARE(r.view.itemCount(), 2);
        const ResultRows::Counts taken = r.view.takeUp();
        QCOMPARE(taken.dirs, 1);
        QCOMPARE(taken.files, 1);
        QCOMPARE(taken.rows(), 2);
        QCOMPARE(r.view.takeUp(), taken); // nothing new
        QCOMPARE(r.filePath(0), QStringLiteral("/home/u/d1"));
        QVERIFY(r.entry(0).isDir);
        QCOMPARE(r.entry(1).matches, 4);
        QVERIFY(!r.entry(2).isValid());
        QVERIFY(!r.entry(-1).isValid());

        r.addDir(QStringLiteral("d2"), QStringLiteral("/"));
        r.setFilter(1);
        QCOMPARE(rowNames(r), (QStringList{"d1", "d2"}));
        QCOMPARE(r.view.itemCount(), 3);
        QCOMPARE(r.view.categoryFilter(), 1);
    }

    void categoryFilter()
    {
        Rows r;
        r.addDir(QStringLiteral("pics.gif"), QStringLiteral("/p"));
        for (const char* n : {"PHOTO.GIF", "gif", "a.tar.GIF", "x.bmp", "y.png", "z.gif.txt"})
            r.addFile(QString::fromLatin1(n), QStringLiteral("/p"), 0);
        r.setFilter(3);
        // Folders are never rows of a file category.
        QCOMPARE(rowNames(r), (QStringList{"PHOTO.GIF", "a.tar.GIF", "x.bmp"}));
        QCOMPARE(r.view.itemCount(), 7);

        // Files taken up while a category is selected join its rows as they come.
        r.store->addFile(QStringLiteral("new.Gif"), QStringLiteral("/q"), 2);
        r.store->addFile(QStringLiteral("new.doc"), QStringLiteral("/q"), 2);
        QCOMPARE(r.view.takeUp().filtered, 4);
        QCOMPARE(r.filePath(3), QStringLiteral("/q/new.Gif"));
        QCOMPARE(r.entry(3).matches, 2);

        // A category written in upper case never matches; a category past the list holds nothing.
        r.setFilter(4);
        QCOMPARE(r.count(), 0);
        r.setFilter(9);
        QCOMPARE(r.count(), 0);

        // Back to all: folders, then files in the order found.
        r.setFilter(0);
        QCOMPARE(r.count(), 9);
        QCOMPARE(rowNames(r).first(), QStringLiteral("pics.gif"));

        QVERIFY(!ResultRows::matchesCategory(QStringLiteral("noext"), {QString()}));
        QVERIFY(ResultRows::matchesCategory(QStringLiteral("dot."), {QString()}));
    }

    void removeRows()
    {
        Rows r;
        r.addDir(QStringLiteral("d0"), QStringLiteral("/a"));
        r.addDir(QStringLiteral("d1"), QStringLiteral("/a"));
        for (const char* n : {"f0.txt", "f1.gif", "f2.txt", "f3.gif"})
            r.addFile(QString::fromLatin1(n), QStringLiteral("/a"), 0);
        r.removeRow(5); // f3.gif
        r.removeRow(3); // f1.gif
        r.removeRow(0); // d0
        r.removeRow(42); // out of range: ignored
        QCOMPARE(rowNames(r), (QStringList{"d1", "f0.txt", "f2.txt"}));

        // Under a category, a removed row also leaves all files: exactly that item, not an
        // equal one found twice.
        r.addFile(QStringLiteral("dup.txt"), QStringLiteral("/a"), 0);
        r.addFile(QStringLiteral("dup.txt"), QStringLiteral("/a"), 0);
        r.addFile(QStringLiteral("dup.txt"), QStringLiteral("/b"), 0);
        r.setFilter(2);
        QCOMPARE(r.count(), 5);
        r.removeRow(2); // the first /a/dup.txt
        r.removeRow(0); // f0.txt
        QCOMPARE(r.count(), 3);
        QCOMPARE(r.filePath(0), QStringLiteral("/a/f2.txt"));
        r.setFilter(0);
        QCOMPARE(rowNames(r), (QStringList{"d1", "f2.txt", "dup.txt", "dup.txt"}));
        QCOMPARE(r.filePath(2), QStringLiteral("/a/dup.txt"));
        QCOMPARE(r.filePath(3), QStringLiteral("/b/dup.txt"));
        QCOMPARE(r.view.itemCount(), 4);

        // A removed file row also leaves the category rows built before.
        r.setFilter(2);
        r.setFilter(0);
        r.removeRow(1); // f2.txt
        r.setFilter(2);
        QCOMPARE(rowNames(r), (QStringList{"dup.txt", "dup.txt"}));

        // The folder filter removes only folders; the store never loses anything.
        r.setFilter(1);
        r.removeRow(0);
        r.removeRow(1);
        QCOMPARE(r.view.itemCount(), 2);
        QCOMPARE(r.store->itemCount(), 9);
    }

    void renameRows()
    {
        Rows r;
        r.addDir(QStringLiteral("dir"), QStringLiteral("/a"));
        r.addFile(QStringLiteral("one.txt"), QStringLiteral("/a"), 0);
        r.addFile(QStringLiteral("two.txt"), QStringLiteral("/a"), 0);
        r.rename(0, QStringLiteral("dir2"));
        QCOMPARE(r.filePath(0), QStringLiteral("/a/dir2"));
        r.rename(1, QStringLiteral("uno.txt"));
        QCOMPARE(r.filePath(1), QStringLiteral("/a/uno.txt"));

        // Renamed under a category: the row in all files follows.
        r.setFilter(2);
        r.rename(1, QStringLiteral("dos.txt"));
        QCOMPARE(r.filePath(1), QStringLiteral("/a/dos.txt"));
        r.setFilter(0);
        QCOMPARE(rowNames(r), (QStringList{"dir2", "uno.txt", "dos.txt"}));
        // The store keeps what the search found; the renamed name sorts as the row shows it.
        QCOMPARE(ResultStore::entryName(r.store->entryAt(ResultStore::Files, 0)),
                 QStringLiteral("one.txt"));
        QVERIFY(r.sort(0, Qt::AscendingOrder));
        QCOMPARE(rowNames(r), (QStringList{"dir2", "dos.txt", "uno.txt"}));
    }

    void sortByTextColumns()
    {
        Rows r;
        r.addDir(QStringLiteral("beta"), QStringLiteral("/z"));
        r.addDir(QStringLiteral("Alpha"), QStringLiteral("/y"));
        r.addFile(QStringLiteral("c.TXT"), QStringLiteral("/B"), 3);
        r.addFile(QStringLiteral("B.gif"), QStringLiteral("/a"), 1);
        r.addFile(QStringLiteral("a"), QStringLiteral("/c"), 2);

        r.sort(0, Qt::AscendingOrder);
        QCOMPARE(rowNames(r), QStringList({"Alpha", "beta", "a", "B.gif", "c.TXT"}));
        r.sort(0, Qt::DescendingOrder);
        QCOMPARE(rowNames(r), QStringList({"beta", "Alpha", "c.TXT", "B.gif", "a"}));
        r.sort(1, Qt::AscendingOrder); // folder paths, case-insensitive
        QCOMPARE(rowNames(r), QStringList({"Alpha", "beta", "B.gif", "c.TXT", "a"}));
        r.sort(6, Qt::AscendingOrder); // extension lower-cased, empty first
        QCOMPARE(rowNames(r).mid(2), QStringList({"a", "B.gif", "c.TXT"}));
        r.sort(7, Qt::DescendingOrder);
        QCOMPARE(rowNames(r).mid(2), QStringList({"c.TXT", "a", "B.gif"}));
        r.sort(99, Qt::AscendingOrder); // unknown column: order kept
        QCOMPARE(rowNames(r).mid(2), QStringList({"c.TXT", "a", "B.gif"}));

        // Under a category only its rows are sorted; all files keep their order.
        r.addFile(QStringLiteral("A.txt"), QStringLiteral("/d"), 0);
        r.setFilter(2);
        r.sort(0, Qt::AscendingOrder);
        QCOMPARE(rowNames(r), QStringList({"A.txt", "c.TXT"}));
        r.setFilter(1);
        r.sort(0, Qt::DescendingOrder);
        QCOMPARE(rowNames(r), QStringList({"beta", "Alpha"}));
        r.setFilter(0);
        QCOMPARE(rowNames(r), QStringList({"beta", "Alpha", "c.TXT", "a", "B.gif", "A.txt"}));
    }

    void sortByFileSystemColumns()
    {
        QTemporaryDir dir;
        const QString base = dir.path();
        Rows r;
        const QList<QPair<QString, int>> files = {{"mid", 20}, {"big", 300}, {"small", 1}};
        for (const auto& f : files) {
            const QString path = base + QLatin1Char('/') + f.first;
            QVERIFY(testutil::writeFile(path, QByteArray(f.second, 'x')));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            // Larger files are older.
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-f.second * 60),
                                     QFileDevice::FileModificationTime));
            r.addFile(f.first, base, 0);
        }
        r.addFile(QStringLiteral("missing"), base, 0); // size 0, no times
        r.sort(2, Qt::AscendingOrder);
        QCOMPARE(rowNames(r), QStringList({"missing", "small", "mid", "big"}));
        r.sort(2, Qt::DescendingOrder);
        QCOMPARE(rowNames(r), QStringList({"big", "mid", "small", "missing"}));
        r.sort(4, Qt::AscendingOrder);
        QCOMPARE(rowNames(r), QStringList({"missing", "big", "mid", "small"}));
    }

    void sizesAndTimesOfNamesThatAreNotUtf8()
    {
        // A file whose name, and the folder above it, are not UTF-8: its size and times come
        // from the file itself (not "missing"), so it sorts among the others by them.
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + "/sub\xFE";
        QVERIFY(::mkdir(folder.constData(), 0700) == 0);
        const QByteArray oddName("\xFF\xFE.txt");
        const QByteArray oddPath = folder + '/' + oddName;
        {
            const int fd =
                ::open(oddPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            QVERIFY(fd >= 0);
            const QByteArray content(50, 'x');
            QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(50));
            ::close(fd);
        }
        const qint64 oddTime = QDateTime::currentSecsSinceEpoch() - 3 * 3600;
        const struct timespec times[2] = {{oddTime, 0}, {oddTime, 0}};
        QVERIFY(::utimensat(AT_FDCWD, oddPath.constData(), times, 0) == 0);
        const QString folderText = FileNameCodec::decode(folder);
        const QString oddText = FileNameCodec::decode(oddName);

        const FileProperties props(folderText + QLatin1Char('/') + oddText, 2);
        QCOMPARE(props.name, oddText);
        QCOMPARE(props.folder, folderText);
        QVERIFY(!props.isDir);
        QCOMPARE(props.size, qint64(50));
        QCOMPARE(props.modified, QDateTime::fromSecsSinceEpoch(oddTime));
        QCOMPARE(props.accessed, QDateTime::fromSecsSinceEpoch(oddTime));
        QVERIFY(props.created.isValid());
        QVERIFY(FileProperties(folderText, 0).isDir);

        // Ordinary names keep the values QFileInfo gives.
        QVERIFY(testutil::writeFile(dir.filePath(QStringLiteral("plain")), QByteArray(7, 'y')));
        const QFileInfo info(dir.filePath(QStringLiteral("plain")));
        const FileProperties plainProps(dir.filePath(QStringLiteral("plain")), 0);
        QCOMPARE(plainProps.size, info.size());
        QCOMPARE(plainProps.modified, info.lastModified());
        QCOMPARE(plainProps.accessed, info.lastRead());
        QCOMPARE(plainProps.created,
                 info.birthTime().isValid() ? info.birthTime() : info.metadataChangeTime());

        Rows r;
        QVERIFY(testutil::writeFile(dir.filePath(QStringLiteral("small")), QByteArray(10, 'x')));
        QVERIFY(testutil::writeFile(dir.filePath(QStringLiteral("big")), QByteArray(90, 'x')));
        r.addFile(QStringLiteral("big"), dir.path(), 0);
        r.addFile(oddText, folderText, 0);
        r.addFile(QStringLiteral("small"), dir.path(), 0);
        r.sort(2, Qt::AscendingOrder);
        QCOMPARE(FileNameCodec::encode(r.filePath(1)), oddPath);
        QCOMPARE(rowNames(r).at(0), QStringLiteral("small"));
        QCOMPARE(rowNames(r).at(2), QStringLiteral("big"));
        r.sort(4, Qt::AscendingOrder); // the odd file is three hours older than the others
        QCOMPARE(FileNameCodec::encode(r.filePath(0)), oddPath);
        r.sort(5, Qt::DescendingOrder);
        QCOMPARE(FileNameCodec::encode(r.filePath(2)), oddPath);
    }

    void sortWhileFilesChange()
    {
        // Sizes change under the sort: every item must still come out exactly once (keys read
        // inside the comparator would give std::sort an inconsistent order).
        QTemporaryDir dir;
        const int n = 1500;
        Rows r;
        for (int i = 0; i < n; ++i) {
            const QString name = QString::number(i);
            QVERIFY(testutil::writeFile(dir.filePath(name), QByteArray(i % 97, 'x')));
            r.addFile(name, dir.path(), 0);
        }
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            int k = 0;
            while (!stop.load()) {
                QFile f(dir.filePath(QString::number(k % n)));
                if (f.open(QIODevice::ReadWrite))
                    f.resize((k * 7919) % 500);
                ++k;
            }
        });
        for (int round = 0; round < 4; ++round) {
            r.sort(2, round % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
            std::set<QString> seen;
            for (int i = 0; i < r.count(); ++i)
                seen.insert(r.filePath(i));
            QCOMPARE(int(seen.size()), n);
        }
        stop = true;
        writer.join();
        // Once files are still, the order follows the sizes.
        r.sort(2, Qt::AscendingOrder);
        qint64 previous = -1;
        for (int i = 0; i < n; ++i) {
            const qint64 size = QFileInfo(r.filePath(i)).size();
            QVERIFY(size >= previous);
            previous = size;
        }
    }

    void sortJobReadsWhileTheOwnerChangesRows()
    {
        // The search adds to the store, the owner takes up, renames and removes rows, and the
        // sort job copies and orders the rows on its own thread meanwhile: every copy holds
        // whole items, one per row.
        Rows r;
        std::atomic<bool> done{false};
        std::thread search([&] {
            for (int i = 0; i < 20000; ++i) {
                if (i % 100 == 0)
                    r.store->addDir(QStringLiteral("d%1").arg(i), QStringLiteral("/s"));
                else
                    r.store->addFile(QStringLiteral("f%1.txt").arg(i), QStringLiteral("/s"), 1);
            }
            done = true;
        });
        std::atomic<int> bad{0};
        std::atomic<int> plans{0};
        std::atomic<bool> stop{false};
        std::thread job([&] {
            while (!stop.load()) {
                ResultRows::SortPlan plan = r.view.prepareSort(0, Qt::DescendingOrder);
                if (plan.dirItems.size() != plan.dirs.size() ||
                    plan.fileItems.size() != plan.files.size())
                    ++bad;
                for (const ResultRows::Item& item : plan.fileItems) {
                    if (item.matches != 1 || ResultStore::text(item.path) != QLatin1String("/s"))
                        ++bad;
                }
                ResultRows::computeSort(plan);
                ++plans;
            }
        });
        int round = 0;
        int removed = 0;
        while (!done.load() || plans.load() < 3) {
            const ResultRows::Counts shown = r.view.takeUp();
            if (shown.filter == 0 && shown.files > 2) {
                r.view.renameEntry(r.view.entryAtRow(shown, shown.dirs + 1),
                                   QStringLiteral("r%1.txt").arg(round));
                r.view.removeShownRows(shown, shown.dirs, shown.dirs);
                ++removed;
            }
            if (++round % 50 == 0)
                r.setFilter(round % 100 == 0 ? 0 : 2);
        }
        stop = true;
        job.join();
        search.join();
        QCOMPARE(bad.load(), 0);
        r.setFilter(0);
        const ResultRows::Counts all = r.view.takeUp();
        QCOMPARE(all.dirs, 200);
        QCOMPARE(all.files, 19800 - removed);
        QCOMPARE(r.store->itemCount(), 20000);
    }
};

QTEST_GUILESS_MAIN(TestResultRows)
#include "tst_resultrows.moc"
