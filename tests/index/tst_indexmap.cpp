#include "core/Arena.h"
#include "search/index/IndexMap.h"

#include <QtTest>

#include <map>
#include <random>

class TestIndexMap : public QObject
{
    Q_OBJECT

private:
    // Compares the map with a reference map: size, ascending order, values and lookups.
    static bool sameAs(const IndexMap& map, const std::map<quint64, quint64>& ref)
    {
        if (map.size() != ref.size())
            return false;
        auto it = ref.begin();
        bool ok = true;
        map.forEach([&](quint64 key, const IndexEntry& e) {
            if (it == ref.end() || it->first != key || it->second != e.parent)
                ok = false;
            else
                ++it;
        });
        for (const auto& p : ref) {
            const IndexEntry* e = map.find(p.first);
            if (!e || e->parent != p.second)
                return false;
        }
        return ok && it == ref.end();
    }

private slots:
    void randomOperationsMatchAnOrderedMap_data()
    {
        QTest::addColumn<int>("pattern");
        QTest::newRow("random keys") << 0;
        QTest::newRow("ascending keys") << 1;
        QTest::newRow("descending keys") << 2;
        QTest::newRow("interleaved runs") << 3;
        QTest::newRow("sliding window, packs itself") << 4;
    }

    void randomOperationsMatchAnOrderedMap()
    {
        QFETCH(int, pattern);
        Arena arena;
        IndexMap map(arena);
        std::map<quint64, quint64> ref;
        std::mt19937_64 rng(quint64(pattern) + 7);
        const int n = 200000;
        for (int i = 0; i < n; ++i) {
            quint64 key = 0;
            switch (pattern) {
            case 0: key = rng() % 50000; break;
            case 1: key = quint64(i) * 3; break;
            case 2: key = quint64(n - i) * 5; break;
            case 3: key = quint64(i % 4) * 1000000 + quint64(i / 4); break;
            default:
                // New numbers only grow while the old ones are deleted (a window of ~3000).
                if (i % 2 == 0 || ref.empty())
                    key = quint64(i) * 7;
                else
                    key = (ref.size() > 3000 || rng() % 3 == 0) ? ref.begin()->first : std::next(ref.begin(), ref.size() / 2)->first;
                break;
            }
            const bool insert = pattern == 4 ? (i % 2 == 0 || ref.empty()) : rng() % 10 < 8;
            if (insert) {
                map.set(key, IndexEntry{quint64(i), 0});
                ref[key] = quint64(i);
            } else {
                QCOMPARE(map.erase(key), ref.erase(key) == 1);
            }
            if (i % 20011 == 0)
                QVERIFY(sameAs(map, ref));
        }
        QVERIFY(sameAs(map, ref));
        // Keys never inserted are not found, and finding never inserts.
        for (int i = 0; i < 2000; ++i) {
            const quint64 key = rng();
            QCOMPARE(map.find(key) != nullptr, ref.count(key) == 1);
        }
        QCOMPARE(map.size(), ref.size());
        // Ordered input fills leaves almost completely: 24 bytes per record plus the headers.
        if (pattern == 1 || pattern == 2)
            QVERIFY(double(map.nodeBytes()) / double(map.size()) < 32.0);
    }

    // Files created and deleted for ever under numbers that only grow (tmpfs, btrfs), and a
    // volume rebuilt again and again: the nodes of deleted ranges and of a cleared map are used
    // again, so the arena does not grow with the number of records that ever existed.
    void churnReusesNodes()
    {
        Arena arena;
        IndexMap map(arena);
        std::map<quint64, quint64> ref;
        quint64 next = 1;
        std::size_t afterFirst = 0;
        for (int round = 0; round < 300; ++round) {
            for (int i = 0; i < 5000; ++i, ++next) {
                map.set(next, IndexEntry{next, 0});
                ref[next] = next;
            }
            // Keep a few survivors of each round, delete the rest.
            for (auto it = ref.begin(); it != ref.end();) {
                if (it->first % 1000 != 0) {
                    QVERIFY(map.erase(it->first));
                    it = ref.erase(it);
                } else {
                    ++it;
                }
            }
            if (round == 0)
                afterFirst = map.nodeBytes();
        }
        QVERIFY(sameAs(map, ref));
        // 1.5 million records came and went; 1500 live ones need a few dozen leaves.
        QVERIFY2(map.nodeBytes() < 4 * afterFirst, qPrintable(QString::number(map.nodeBytes())));

        // Whole ranges created and deleted again beside records that stay: the emptied leaves
        // leave the tree at once and serve the next range.
        Arena arena2;
        IndexMap steady(arena2);
        for (quint64 k = 0; k < 100; ++k)
            steady.set(k, IndexEntry{k, 0});
        std::size_t afterRound = 0;
        for (quint64 round = 1; round <= 100; ++round) {
            for (quint64 k = 0; k < 5000; ++k)
                steady.set(round * 100000 + k, IndexEntry{k, 0});
            for (quint64 k = 0; k < 5000; ++k)
                QVERIFY(steady.erase(round * 100000 + k));
            if (round == 1)
                afterRound = steady.nodeBytes();
        }
        QCOMPARE(steady.size(), std::size_t(100));
        QCOMPARE(steady.nodeBytes(), afterRound);
        QCOMPARE(steady.find(99)->parent, quint64(99));

        const std::size_t beforeRebuilds = map.nodeBytes();
        for (int rebuild = 0; rebuild < 20; ++rebuild) {
            map.clear();
            for (quint64 k = 0; k < 20000; ++k)
                map.set(k * 3, IndexEntry{k, 0});
        }
        const std::size_t oneBuild = map.nodeBytes() - beforeRebuilds;
        map.clear();
        for (quint64 k = 0; k < 20000; ++k)
            map.set(k * 3, IndexEntry{k, 0});
        QCOMPARE(map.size(), std::size_t(20000));
        QVERIFY2(map.nodeBytes() - beforeRebuilds <= oneBuild, "a cleared map's nodes are reused");
        QVERIFY(oneBuild < 20000 * 40);
    }

    void extremeKeysAndEmptiedLeaves()
    {
        Arena arena;
        IndexMap map(arena);
        std::map<quint64, quint64> ref;
        const quint64 top = ~quint64(0);
        for (quint64 i = 0; i < 5000; ++i) {
            map.set(i, IndexEntry{i, 0});
            map.set(top - i, IndexEntry{i, 0});
            ref[i] = i;
            ref[top - i] = i;
        }
        // Empty whole leaves in the middle of the key range, then refill part of them.
        for (quint64 i = 100; i < 4900; ++i) {
            QVERIFY(map.erase(i));
            ref.erase(i);
        }
        QVERIFY(!map.erase(100));
        QVERIFY(sameAs(map, ref));
        for (quint64 i = 2000; i < 2100; ++i) {
            map.set(i, IndexEntry{7, 0});
            ref[i] = 7;
        }
        QVERIFY(sameAs(map, ref));

        map.clear();
        QVERIFY(map.isEmpty());
        QVERIFY(map.find(0) == nullptr);
        QVERIFY(!map.erase(top));
        // Setting a key again overwrites its one entry.
        const quint32 name = 77;
        map.set(top, IndexEntry{1, 0});
        map.set(top, IndexEntry{2, name});
        QCOMPARE(map.size(), std::size_t(1));
        QCOMPARE(quint64(map.find(top)->parent), quint64(2));
        QCOMPARE(quint32(map.find(top)->name), name);
        // An entry is 12 bytes: the leaves hold 64 keys and 64 entries in 1304 bytes.
        QCOMPARE(sizeof(IndexEntry), std::size_t(12));
        QCOMPARE(sizeof(IndexMap::Leaf), std::size_t(24 + 64 * 8 + 64 * 12));
    }
};

QTEST_GUILESS_MAIN(TestIndexMap)
#include "tst_indexmap.moc"
