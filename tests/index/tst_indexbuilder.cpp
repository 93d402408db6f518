// The builder of a volume index's tables: records delivered by several walking threads at once,
// numbers listed several times, by one thread or by several, as file and as folder; the merged
// maps hold every number once, in ascending order, in full leaves, with every further name of
// a file.
#include "search/index/IndexBuilder.h"

#include <QtTest>

#include <map>
#include <random>
#include <set>
#include <thread>
#include <vector>

namespace {

struct Listing
{
    quint64 parent;
    QByteArray name;
    bool operator<(const Listing& o) const { return parent != o.parent ? parent < o.parent : name < o.name; }
    bool operator==(const Listing& o) const { return parent == o.parent && name == o.name; }
};

} // namespace

class TestIndexBuilder : public QObject
{
    Q_OBJECT

private slots:
    void parallelDeliveryMergesEveryListing_data()
    {
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("threads");
        QTest::newRow("one slot, small") << 1 << 500 << 1;
        QTest::newRow("eight slots, merged in parallel") << 8 << 300000 << 4;
        QTest::newRow("three slots, more threads than needed") << 3 << 70000 << 8;
    }

    void parallelDeliveryMergesEveryListing()
    {
        QFETCH(int, slotCount);
        QFETCH(int, records);
        QFETCH(int, threads);
        // Numbers from a range that makes repeats likely; some numbers are listed as folder and
        // as file; a thread may list the same name of a number twice.
        std::vector<std::vector<std::pair<quint64, std::pair<Listing, bool>>>> perSlot{std::size_t(slotCount)};
        std::map<quint64, std::set<Listing>> files, dirs;
        std::mt19937_64 random(99);
        for (int i = 0; i < records; ++i) {
            const quint64 frn = 2 + random() % quint64(records * 3 / 4 + 1);
            const bool isDir = (frn % 17) == 0 || (random() % 50 == 0);
            const Listing l{random() % 100, "n" + QByteArray::number(qulonglong(random() % 5)) + "-" + QByteArray::number(qulonglong(frn))};
            perSlot[random() % perSlot.size()].push_back({frn, {l, isDir}});
            (isDir ? dirs : files)[frn].insert(l);
        }

        IndexBuilder builder;
        builder.start(slotCount);
        std::vector<std::thread> walkers;
        for (int s = 0; s < slotCount; ++s) {
            walkers.emplace_back([&, s] {
                VolumeEntryBatch batch;
                for (const auto& r : perSlot[std::size_t(s)]) {
                    batch.add(r.first, r.second.first.parent, r.second.first.name.constData(),
                              std::size_t(r.second.first.name.size()), r.second.second);
                    if (batch.size() == 1000) {
                        builder.consume(s, batch);
                        batch.clear();
                    }
                }
                builder.consume(s, batch);
                builder.finish(s);
            });
        }
        for (auto& t : walkers)
            t.join();
        QCOMPARE(builder.recordCount(), std::size_t(records));
        std::unique_ptr<IndexTables> t = builder.build(threads);

        // A number listed as a folder anywhere is a folder only.
        std::size_t both = 0;
        for (const auto& d : dirs)
            both += files.erase(d.first);
        QCOMPARE(t->directories.size(), dirs.size());
        QCOMPARE(t->files.size(), files.size());

        quint64 previous = 0;
        bool first = true;
        auto listingOf = [&](const IndexEntry& e) { return Listing{e.parent, QByteArray(t->names.text(e.name))}; };
        t->directories.forEach([&](quint64 frn, const IndexEntry& e) {
            QVERIFY(first || frn > previous);
            first = false;
            previous = frn;
            QVERIFY(dirs.count(frn));
            QVERIFY(dirs[frn].count(listingOf(e)));
        });
        first = true;
        std::size_t extras = 0;
        t->files.forEach([&](quint64 frn, const IndexEntry& e) {
            QVERIFY(first || frn > previous);
            first = false;
            previous = frn;
            std::set<Listing> got{listingOf(e)};
            t->extraNames.forEachOf(frn, [&](const IndexEntry& x) {
                QVERIFY(got.insert(listingOf(x)).second); // each name once
                ++extras;
            });
            QVERIFY(files.count(frn));
            QVERIFY(got == files[frn]);
        });
        QCOMPARE(t->extraNames.size(), extras);
        // Full leaves: at most one partly filled leaf per merged range (32 at most here), and the
        // holes of the numbers that left for the folders.
        std::size_t leaves = 0;
        for (const IndexMap::Leaf* l = t->files.firstLeaf(); l; l = l->next) {
            QVERIFY(l->count > 0);
            ++leaves;
        }
        QVERIFY(leaves <= (t->files.size() + both + 63) / 64 + 32);
        // Lookups through the inner levels built over the leaves.
        for (const auto& f : files)
            QVERIFY(t->files.find(f.first));
        QVERIFY(!t->files.find(1));
    }

    void nothingDelivered()
    {
        IndexBuilder builder;
        builder.start(4);
        for (int s = 0; s < 4; ++s)
            builder.finish(s);
        std::unique_ptr<IndexTables> t = builder.build();
        QCOMPARE(t->count(), std::size_t(0));
        QVERIFY(!t->files.find(5));
        // Empty names are not taken.
        IndexBuilder another;
        another.start(1);
        VolumeEntryBatch batch;
        batch.add(7, 2, "", 0, false);
        batch.add(8, 2, "x", 1, false);
        another.consume(0, batch);
        t = another.build();
        QCOMPARE(t->files.size(), std::size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestIndexBuilder)
#include "tst_indexbuilder.moc"
