// Result container: row addressing under the category filters, the category test, removal and
// renaming across lists, column sorting (keys read once, also while files change; sizes and
// times of names that are not UTF-8), and adds from several threads.
#include "search/model/FileSearchResults.h"
#include "search/model/FileProperties.h"

#include "core/FileNameCodec.h"
#include "testutil.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QList<FileCategory> categories = {{QStringLiteral("Document"), QStringLiteral("txt;doc")},
                                        {QStringLiteral("Picture"), QStringLiteral("bmp;gif")},
                                        {QStringLiteral("Upper"), QStringLiteral("GIF")}};

QStringList rowNames(const FileSearchResults& r)
{
    QStringList out;
    for (int i = 0; i < r.count(); ++i)
        out << r.filePath(i).section(QLatin1Char('/'), -1);
    return out;
}

} // namespace

class TestFileSearchResults : public QObject
{
    Q_OBJECT

private slots:
    void rowsAndPaths()
    {
        FileSearchResults r;
        r.addDir(QStringLiteral("d1"), QStringLiteral("/home/u"));
        r.addDir(QStringLiteral("d2"), QStringLiteral("/"));
        r.addFile(QStringLiteral("f1.txt"), QStringLiteral("/home/u"), 4);
        r.addFile(QStringLiteral("f2"), QStringLiteral("/home/u/"), 0);
        r.addFile(QStringLiteral("f3"), QString(), 1);
        QCOMPARE(r.count(), 5);
        QVERIFY(r.isDir(1));
        QVERIFY(!r.isDir(2));
        QVERIFY(!r.isDir(-1));
        int matches = -7;
        QCOMPARE(r.filePath(0, &matches), QStringLiteral("/home/u/d1"));
        QCOMPARE(matches, -7); // untouched for folders
        QCOMPARE(r.filePath(1), QStringLiteral("/d2"));
        QCOMPARE(r.filePath(2, &matches), QStringLiteral("/home/u/f1.txt"));
        QCOMPARE(matches, 4);
        QCOMPARE(r.filePath(3), QStringLiteral("/home/u/f2"));
        QCOMPARE(r.filePath(4), QStringLiteral("/f3"));
        QCOMPARE(r.filePath(5), QString());
        QCOMPARE(r.filePath(-1), QString());

        // Folder path and names are pooled: one copy per distinct text.
        QCOMPARE(r.dirItems()[0].path, r.fileItems()[0].path);
        StringPool indexPool;
        const char* pooled = indexPool.intern("from-index");
        r.addFilePooled(pooled, QStringLiteral("/home/u"), 0);
        r.addDirPooled(pooled, QStringLiteral("/home/u"));
        QCOMPARE(r.fileItems().back().name, pooled);
        QCOMPARE(r.dirItems().back().name, pooled);
        QCOMPARE(r.fileItems().back().path, r.dirItems()[0].path);

        // Names that are not UTF-8 keep their bytes: from the index (raw bytes) and from a
        // walk (text in the lossless form), the full path gives the same bytes back.
        const char* raw = indexPool.intern("caf\xE9.txt");
        r.addFilePooled(raw, QStringLiteral("/home/u"), 0);
        r.addFile(FileNameCodec::decode(QByteArray("b\xFF")), FileNameCodec::decode(QByteArray("/d\xFE")), 0);
        QCOMPARE(FileNameCodec::encode(r.filePath(7)), QByteArray("/home/u/caf\xE9.txt"));
        QCOMPARE(FileNameCodec::encode(r.filePath(8)), QByteArray("/d\xFE/b\xFF"));

        r.setCategoryFilter(1, categories);
        QCOMPARE(r.count(), 3);
        QCOMPARE(r.itemCount(), 9);
        QCOMPARE(r.filePath(3), QString()); // no file rows under the folder filter
        QVERIFY(r.isDir(2));
    }

    void categoryFilter()
    {
        FileSearchResults r;
        r.addDir(QStringLiteral("pics.gif"), QStringLiteral("/p"));
        for (const char* n : {"PHOTO.GIF", "gif", "a.tar.GIF", "x.bmp", "y.png", "z.gif.txt"})
            r.addFile(QString::fromLatin1(n), QStringLiteral("/p"), 0);
        r.setCategoryFilter(3, categories);
        QCOMPARE(r.selectedExtensions(), QStringList({QStringLiteral("bmp"), QStringLiteral("gif")}));
        QCOMPARE(rowNames(r), QStringList({QStringLiteral("PHOTO.GIF"), QStringLiteral("a.tar.GIF"),
                                           QStringLiteral("x.bmp")}));
        QVERIFY(!r.isDir(0)); // folders are never rows of a file category
        QCOMPARE(r.itemCount(), 7);

        // Files added while a category is selected join the filtered rows as they come.
        r.addFile(QStringLiteral("new.Gif"), QStringLiteral("/q"), 2);
        r.addFile(QStringLiteral("new.doc"), QStringLiteral("/q"), 2);
        QCOMPARE(r.count(), 4);
        int matches = 0;
        QCOMPARE(r.filePath(3, &matches), QStringLiteral("/q/new.Gif"));
        QCOMPARE(matches, 2);

        // A category written in upper case never matches; a category past the list holds nothing.
        r.setCategoryFilter(4, categories);
        QCOMPARE(r.count(), 0);
        r.setCategoryFilter(9, categories);
        QCOMPARE(r.count(), 0);

        // Back to all: folders, then files in the order added.
        r.setCategoryFilter(0, categories);
        QVERIFY(r.selectedExtensions().isEmpty());
        QCOMPARE(r.count(), 9);

        QVERIFY(!FileSearchResults::matchesCategory(QStringLiteral("noext"), {QString()}));
        QVERIFY(FileSearchResults::matchesCategory(QStringLiteral("dot."), {QString()}));
    }

    void removeRows()
    {
        FileSearchResults r;
        r.addDir(QStringLiteral("d0"), QStringLiteral("/a"));
        r.addDir(QStringLiteral("d1"), QStringLiteral("/a"));
        for (const char* n : {"f0.txt", "f1.gif", "f2.txt", "f3.gif"})
            r.addFile(QString::fromLatin1(n), QStringLiteral("/a"), 0);
        r.removeRows({0, 3, 5, 42, -1}); // d0, f1.gif, f3.gif; out-of-range rows ignored
        QCOMPARE(rowNames(r), QStringList({QStringLiteral("d1"), QStringLiteral("f0.txt"),
                                           QStringLiteral("f2.txt")}));

        // Under a category, each removed row also removes the same file from all files.
        r.addFile(QStringLiteral("dup.txt"), QStringLiteral("/a"), 0);
        r.addFile(QStringLiteral("dup.txt"), QStringLiteral("/a"), 0);
        r.addFile(QStringLiteral("dup.txt"), QStringLiteral("/b"), 0);
        r.setCategoryFilter(2, categories);
        QCOMPARE(r.count(), 5);
        r.removeRows({0, 2}); // f0.txt and one of the two /a/dup.txt
        QCOMPARE(r.count(), 3);
        QCOMPARE(r.filePath(0), QStringLiteral("/a/f2.txt"));
        r.setCategoryFilter(0, categories);
        QCOMPARE(rowNames(r), QStringList({QStringLiteral("d1"), QStringLiteral("f2.txt"),
                                           QStringLiteral("dup.txt"), QStringLiteral("dup.txt")}));
        QCOMPARE(r.filePath(2), QStringLiteral("/a/dup.txt"));
        QCOMPARE(r.filePath(3), QStringLiteral("/b/dup.txt"));

        // Rows in any order and repeated rows remove each item once.
        r.addFile(QStringLiteral("x.gif"), QStringLiteral("/c"), 0);
        r.addFile(QStringLiteral("y.gif"), QStringLiteral("/c"), 0);
        r.removeRows({5, 4, 5}); // x.gif, y.gif
        QCOMPARE(r.itemCount(), 4);
        QCOMPARE(r.filePath(3), QStringLiteral("/b/dup.txt"));

        // The folder filter removes only folders.
        r.setCategoryFilter(1, categories);
        r.removeRows({0, 1});
        QCOMPARE(r.itemCount(), 3);
    }

    void setName()
    {
        FileSearchResults r;
        r.addDir(QStringLiteral("dir"), QStringLiteral("/a"));
        r.addFile(QStringLiteral("one.txt"), QStringLiteral("/a"), 0);
        r.addFile(QStringLiteral("two.txt"), QStringLiteral("/a"), 0);
        r.setName(0, QStringLiteral("dir2"));
        QCOMPARE(r.filePath(0), QStringLiteral("/a/dir2"));
        r.setName(1, QStringLiteral("uno.txt"));
        QCOMPARE(r.filePath(1), QStringLiteral("/a/uno.txt"));

        // Renamed under a category: the record in all files follows.
        r.setCategoryFilter(2, categories);
        r.setName(1, QStringLiteral("dos.txt"));
        QCOMPARE(r.filePath(1), QStringLiteral("/a/dos.txt"));
        r.setName(7, QStringLiteral("ignored"));
        r.setCategoryFilter(0, categories);
        QCOMPARE(rowNames(r), QStringList({QStringLiteral("dir2"), QStringLiteral("uno.txt"),
                                           QStringLiteral("dos.txt")}));
        // A rename while all items show also reaches the category rows already built.
        r.setCategoryFilter(2, categories);
        r.setCategoryFilter(0, categories);
        r.setName(1, QStringLiteral("eins.txt"));
        QCOMPARE(r.filePath(1), QStringLiteral("/a/eins.txt"));
        QCOMPARE(QString::fromUtf8(r.filteredItems()[0].name), QStringLiteral("eins.txt"));
    }

    void sortByTextColumns()
    {
        FileSearchResults r;
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
        r.setCategoryFilter(2, categories);
        r.sort(0, Qt::AscendingOrder);
        QCOMPARE(rowNames(r), QStringList({"A.txt", "c.TXT"}));
        QCOMPARE(QString::fromUtf8(r.fileItems()[0].name), QStringLiteral("c.TXT"));
        r.setCategoryFilter(1, categories);
        r.sort(0, Qt::DescendingOrder);
        QCOMPARE(rowNames(r), QStringList({"beta", "Alpha"}));
        QCOMPARE(QString::fromUtf8(r.fileItems()[0].name), QStringLiteral("c.TXT"));
    }

    void sortByFileSystemColumns()
    {
        QTemporaryDir dir;
        const QString base = dir.path();
        FileSearchResults r;
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
            const int fd = ::open(oddPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
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
        QCOMPARE(plainProps.created, info.birthTime().isValid() ? info.birthTime() : info.metadataChangeTime());

        FileSearchResults r;
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
        FileSearchResults r;
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

    void concurrentAdds()
    {
        // The file search adds from many threads under its own mutex while progress is polled.
        FileSearchResults r;
        r.setCategoryFilter(2, categories);
        std::mutex searchMutex;
        std::atomic<bool> done{false};
        std::thread poller([&] {
            int last = 0;
            while (!done.load()) {
                const int c = r.itemCount();
                QVERIFY(c >= last);
                last = c;
                r.count();
            }
        });
        std::vector<std::thread> workers;
        for (int t = 0; t < 8; ++t) {
            workers.emplace_back([&, t] {
                for (int i = 0; i < 2000; ++i) {
                    const QString folder = QStringLiteral("/data/%1").arg(i % 10);
                    std::lock_guard<std::mutex> guard(searchMutex);
                    if (i % 4 == 0)
                        r.addDir(QStringLiteral("d%1").arg(t), folder);
                    else
                        r.addFile(QStringLiteral("f%1.txt").arg(i % 50), folder, t);
                }
            });
        }
        for (auto& w : workers)
            w.join();
        done = true;
        poller.join();
        QCOMPARE(r.itemCount(), 16000);
        QCOMPARE(r.count(), 12000);
        std::set<const char*> pathPointers;
        for (const auto& f : r.fileItems())
            pathPointers.insert(f.path);
        QCOMPARE(int(pathPointers.size()), 10);
    }

    void rowsReadWhileAddsGrowTheLists()
    {
        // The result table reads the rows already delivered while the search still adds (and the
        // lists reallocate): every read must see a whole, valid item.
        // Freed memory is overwritten, so a read from a list's old buffer shows as garbage.
        mallopt(M_PERTURB, 0xA5);
        FileSearchResults r;
        r.addDir(QStringLiteral("first"), QStringLiteral("/d"));
        r.addFile(QStringLiteral("f0.txt"), QStringLiteral("/d"), 0);
        std::atomic<bool> done{false};
        std::thread adder([&] {
            for (int i = 1; i < 150000; ++i) {
                if (i % 64 == 0)
                    std::this_thread::yield();
                if (i % 1000 == 0)
                    r.addDir(QStringLiteral("first"), QStringLiteral("/d"));
                else
                    r.addFile(QStringLiteral("f%1.txt").arg(i % 7), QStringLiteral("/d"), i % 7);
            }
            done = true;
        });
        int bad = 0;
        while (!done.load()) {
            const int n = r.count();
            for (int row : {0, 1, n / 2, n - 1}) {
                int matches = -1;
                const QString path = r.filePath(row, &matches);
                const bool dir = r.isDir(row);
                if (!path.startsWith(QLatin1String("/d/")) || (!dir && (matches < 0 || matches > 6)))
                    ++bad;
            }
        }
        adder.join();
        QCOMPARE(bad, 0);
        mallopt(M_PERTURB, 0);
        QCOMPARE(r.itemCount(), 150001);
    }
};

QTEST_GUILESS_MAIN(TestFileSearchResults)
#include "tst_filesearchresults.moc"
