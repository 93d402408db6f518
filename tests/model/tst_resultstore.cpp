// The store a search fills: items by list and index in arrival order, pooled texts (one copy
// per distinct text, index names kept as they are, bytes that are not UTF-8 kept), full paths
// at the root, and adds from several threads while readers read (the lists reallocate).
#include "search/model/ResultStore.h"

#include "core/FileNameCodec.h"
#include "storedresults.h"

#include <QtTest>
#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include <malloc.h>

class TestResultStore : public QObject
{
    Q_OBJECT

private slots:
    void itemsAndPaths()
    {
        ResultStore s;
        s.addDir(QStringLiteral("d1"), QStringLiteral("/home/u"));
        s.addDir(QStringLiteral("d2"), QStringLiteral("/"));
        s.addFile(QStringLiteral("f1.txt"), QStringLiteral("/home/u"), 4);
        s.addFile(QStringLiteral("f2"), QStringLiteral("/home/u/"), 0);
        s.addFile(QStringLiteral("f3"), QString(), 1);
        QCOMPARE(s.itemCount(), 5);
        QCOMPARE(s.sizes().dirs, 2);
        QCOMPARE(s.sizes().files, 3);
        QCOMPARE(testutil::storedPaths(s),
                 (QStringList{"/home/u/d1", "/d2", "/home/u/f1.txt", "/home/u/f2", "/f3"}));
        const ResultStore::Entry f1 = s.entryAt(ResultStore::Files, 0);
        QVERIFY(!f1.isDir);
        QCOMPARE(f1.matches, 4);
        QCOMPARE(ResultStore::entryName(f1), QStringLiteral("f1.txt"));
        QCOMPARE(ResultStore::entryFolder(f1), QStringLiteral("/home/u"));
        QVERIFY(s.entryAt(ResultStore::Dirs, 1).isDir);
        QVERIFY(!s.entryAt(ResultStore::Dirs, 2).isValid());
        QVERIFY(!s.entryAt(ResultStore::Files, -1).isValid());
        QCOMPARE(ResultStore::entryPath(ResultStore::Entry()), QString());

        // Folder paths and names are pooled: one copy per distinct text.
        QCOMPARE(s.entryAt(ResultStore::Dirs, 0).path, f1.path);
        QCOMPARE(s.internPath(QStringLiteral("/home/u")), f1.path);
        StringPool indexPool;
        const char* pooled = indexPool.intern("from-index");
        s.addFilePooled(pooled, QStringLiteral("/home/u"), 0);
        s.addDirPooled(pooled, QStringLiteral("/home/u"));
        QCOMPARE(s.entryAt(ResultStore::Files, 3).name, pooled);
        QCOMPARE(s.entryAt(ResultStore::Dirs, 2).name, pooled);
        QCOMPARE(s.entryAt(ResultStore::Files, 3).path, f1.path);

        // Names that are not UTF-8 keep their bytes: from the index (raw bytes) and from a
        // walk (text in the lossless form), the full path gives the same bytes back.
        const char* raw = indexPool.intern("caf\xE9.txt");
        s.addFilePooled(raw, QStringLiteral("/home/u"), 0);
        s.addFile(FileNameCodec::decode(QByteArray("b\xFF")),
                  FileNameCodec::decode(QByteArray("/d\xFE")), 0);
        QCOMPARE(FileNameCodec::encode(ResultStore::entryPath(s.entryAt(ResultStore::Files, 4))),
                 QByteArray("/home/u/caf\xE9.txt"));
        QCOMPARE(FileNameCodec::encode(ResultStore::entryPath(s.entryAt(ResultStore::Files, 5))),
                 QByteArray("/d\xFE/b\xFF"));
    }

    void keptStorageLivesWithTheStore()
    {
        auto storage = std::make_shared<int>(7);
        std::weak_ptr<int> watched = storage;
        {
            ResultStore s;
            s.keepAlive(storage);
            s.keepAlive(storage); // kept once
            s.keepAlive(nullptr);
            QCOMPARE(storage.use_count(), 2L);
            storage.reset();
            QVERIFY(!watched.expired());
        }
        QVERIFY(watched.expired());
    }

    void concurrentAdds()
    {
        // The file search adds from many threads under its own mutex while progress is polled.
        ResultStore s;
        std::mutex searchMutex;
        std::atomic<bool> done{false};
        std::thread poller([&] {
            int last = 0;
            while (!done.load()) {
                const int c = s.itemCount();
                QVERIFY(c >= last);
                last = c;
                s.sizes();
            }
        });
        std::vector<std::thread> workers;
        for (int t = 0; t < 8; ++t) {
            workers.emplace_back([&, t] {
                for (int i = 0; i < 2000; ++i) {
                    const QString folder = QStringLiteral("/data/%1").arg(i % 10);
                    std::lock_guard<std::mutex> guard(searchMutex);
                    if (i % 4 == 0)
                        s.addDir(QStringLiteral("d%1").arg(t), folder);
                    else
                        s.addFile(QStringLiteral("f%1.txt").arg(i % 50), folder, t);
                }
            });
        }
        for (auto& w : workers)
            w.join();
        done = true;
        poller.join();
        QCOMPARE(s.itemCount(), 16000);
        QCOMPARE(s.sizes().files, 12000);
        std::set<const char*> pathPointers;
        s.read([&](const std::vector<ResultStore::Item>&,
                   const std::vector<ResultStore::Item>& files) {
            for (const ResultStore::Item& f : files)
                pathPointers.insert(f.path);
        });
        QCOMPARE(int(pathPointers.size()), 10);
    }

    void itemsReadWhileAddsGrowTheLists()
    {
        // Views and the engine's contents phase read the items already stored while the search
        // still adds (and the lists reallocate): every read must see a whole, valid item.
        // Freed memory is overwritten, so a read from a list's old buffer shows as garbage.
        mallopt(M_PERTURB, 0xA5);
        ResultStore s;
        s.addDir(QStringLiteral("first"), QStringLiteral("/d"));
        s.addFile(QStringLiteral("f0.txt"), QStringLiteral("/d"), 0);
        std::atomic<bool> done{false};
        std::thread adder([&] {
            for (int i = 1; i < 150000; ++i) {
                if (i % 64 == 0)
                    std::this_thread::yield();
                if (i % 1000 == 0)
                    s.addDir(QStringLiteral("first"), QStringLiteral("/d"));
                else
                    s.addFile(QStringLiteral("f%1.txt").arg(i % 7), QStringLiteral("/d"), i % 7);
            }
            done = true;
        });
        int bad = 0;
        while (!done.load()) {
            const ResultStore::Sizes n = s.sizes();
            for (int i : {0, n.files / 2, n.files - 1}) {
                const ResultStore::Entry e = s.entryAt(ResultStore::Files, i);
                if (!ResultStore::entryPath(e).startsWith(QLatin1String("/d/f")) || e.matches < 0 ||
                    e.matches > 6)
                    ++bad;
            }
            const ResultStore::Entry d = s.entryAt(ResultStore::Dirs, n.dirs - 1);
            if (ResultStore::entryPath(d) != QLatin1String("/d/first"))
                ++bad;
        }
        adder.join();
        QCOMPARE(bad, 0);
        mallopt(M_PERTURB, 0);
        QCOMPARE(s.itemCount(), 150001);
    }
};

QTEST_GUILESS_MAIN(TestResultStore)
#include "tst_resultstore.moc"
