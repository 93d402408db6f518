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
            default: key = quint64(i % 4) * 1000000 + quint64(i / 4); break;
            }
            if (rng() % 10 < 8) {
                map.set(key, IndexEntry{quint64(i), nullptr});
                ref[key] = quint64(i);
            } else {
                QCOMPARE(map.erase(key), ref.erase(key) == 1);
            }
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

    void overwriteKeepsOneEntry()
    {
        Arena arena;
        IndexMap map(arena);
        const char* a = "a";
        const char* b = "b";
        map.set(5, IndexEntry{1, a});
        map.set(5, IndexEntry{2, b});
        QCOMPARE(map.size(), std::size_t(1));
        QCOMPARE(map.find(5)->parent, quint64(2));
        QCOMPARE(map.find(5)->name, b);
    }

    void extremeKeysAndEmptiedLeaves()
    {
        Arena arena;
        IndexMap map(arena);
        std::map<quint64, quint64> ref;
        const quint64 top = ~quint64(0);
        for (quint64 i = 0; i < 5000; ++i) {
            map.set(i, IndexEntry{i, nullptr});
            map.set(top - i, IndexEntry{i, nullptr});
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
            map.set(i, IndexEntry{7, nullptr});
            ref[i] = 7;
        }
        QVERIFY(sameAs(map, ref));

        map.clear();
        QVERIFY(map.isEmpty());
        QVERIFY(map.find(0) == nullptr);
        QVERIFY(!map.erase(top));
        map.set(top, IndexEntry{1, nullptr});
        QCOMPARE(map.size(), std::size_t(1));
        QCOMPARE(map.find(top)->parent, quint64(1));
    }
};

QTEST_GUILESS_MAIN(TestIndexMap)
#include "tst_indexmap.moc"
