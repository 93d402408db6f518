// Arena block policy and alignment, the arena allocator under std::map, and the string pool:
// identity of interned strings, hash collisions, growth, clearing and concurrent interning.
#include "core/Arena.h"
#include "core/ArenaAllocator.h"
#include "core/StringPool.h"

#include <QtTest>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

// Pooled strings are compared by address: QCOMPARE on two char pointers compares the strings.
std::uintptr_t addr(const void* p)
{
    return reinterpret_cast<std::uintptr_t>(p);
}

struct alignas(64) Wide
{
    double value[3];
};

} // namespace

class TestStringPool : public QObject
{
    Q_OBJECT

private slots:
    void arenaBlockSizes()
    {
        Arena a;
        char* first = static_cast<char*>(a.allocate(10));
        QCOMPARE(a.blockSize(0), std::size_t(1024));
        // Byte-granular: the next allocation follows directly.
        QCOMPARE(addr(a.allocate(3)), addr(first + 10));
        // 2000 bytes do not fit the rest of the first block: a new 1 MiB block.
        char* p = static_cast<char*>(a.allocate(2000));
        QCOMPARE(addr(p), addr(a.blockStart(1)));
        QCOMPARE(a.blockSize(1), std::size_t(0x100000));
        // Above 1 MiB: a block of exactly the request, then a fresh 1 MiB block for the next one.
        p = static_cast<char*>(a.allocate(2000000));
        QCOMPARE(addr(p), addr(a.blockStart(2)));
        p = static_cast<char*>(a.allocate(1));
        QCOMPARE(addr(p), addr(a.blockStart(3)));
        QCOMPARE(a.reservedBytes(), std::size_t(1024 + 0x100000 + 2000000 + 0x100000));
        // A request of exactly 1 MiB still comes from the running 1 MiB blocks.
        a.allocate(0x100000);
        QCOMPARE(a.blockSize(4), std::size_t(0x100000));

        a.releaseAll();
        QCOMPARE(a.blockCount(), std::size_t(0));
        QCOMPARE(a.reservedBytes(), std::size_t(0));
        a.allocate(5000); // first block again: max(request, 1024)
        QCOMPARE(a.blockSize(0), std::size_t(5000));
    }

    void arenaAlignment()
    {
        Arena a;
        a.allocate(1);
        void* p8 = a.allocate(8, 8);
        QCOMPARE(addr(p8) % 8, std::uintptr_t(0));
        a.allocate(3);
        void* p64 = a.allocate(100, 64);
        QCOMPARE(addr(p64) % 64, std::uintptr_t(0));
        // Padding never pushes an allocation past its block: fill a block nearly to its end.
        Arena b;
        b.allocate(1);
        b.allocate(1020, 1); // 3 bytes left of 1024
        void* q = b.allocate(4, 4);
        QCOMPARE(addr(q) % 4, std::uintptr_t(0));
        QCOMPARE(b.blockCount(), std::size_t(2));
        // An over-aligned request larger than a block gets room for its padding.
        void* huge = b.allocate(0x100000 + 10, 4096);
        QCOMPARE(addr(huge) % 4096, std::uintptr_t(0));
        std::memset(huge, 0xAB, 0x100000 + 10);
    }

    void arenaRefusedAllocationThrows()
    {
        Arena a;
        QVERIFY_EXCEPTION_THROWN(a.allocate(std::numeric_limits<std::size_t>::max() / 2),
                                 std::bad_alloc);
        QCOMPARE(a.blockCount(), std::size_t(0));
        QVERIFY_EXCEPTION_THROWN(a.allocate(std::numeric_limits<std::size_t>::max(), 64),
                                 std::bad_alloc);
        // Still usable afterwards.
        QVERIFY(a.allocate(16) != nullptr);
        QVERIFY_EXCEPTION_THROWN(a.allocate(std::numeric_limits<std::size_t>::max() - 8),
                                 std::bad_alloc);
        QCOMPARE(a.blockCount(), std::size_t(1));

        ArenaAllocator<quint64> alloc(&a);
        QVERIFY_EXCEPTION_THROWN(alloc.allocate(std::numeric_limits<std::size_t>::max() / 4),
                                 std::bad_alloc);
    }

    void allocatorWithStdMap()
    {
        struct Entry
        {
            quint64 parent;
            const char* name;
        };
        using Node = std::pair<const quint64, Entry>;
        using Map = std::map<quint64, Entry, std::less<quint64>, ArenaAllocator<Node>>;
        Arena arena;
        // Declared before the maps: after the swap below `dirs` holds nodes of this arena, which
        // must outlive it.
        Arena other;
        arena.allocate(3); // leave the arena at an odd address
        Map files{ArenaAllocator<Node>(&arena)};
        Map dirs{ArenaAllocator<Node>(&arena)};
        for (quint64 i = 0; i < 20000; ++i) {
            files[i * 7] = Entry{i, "f"};
            if (i % 3 == 0)
                dirs.emplace(i, Entry{i + 1, "d"});
            if (i % 5 == 0)
                arena.allocate(1); // interleaved odd-sized allocations
        }
        QCOMPARE(files.size(), std::size_t(20000));
        for (const auto& kv : files) {
            QCOMPARE(addr(&kv) % alignof(Node), std::uintptr_t(0));
            QCOMPARE(kv.second.parent * 7, kv.first);
        }
        for (quint64 i = 0; i < 20000; i += 2)
            files.erase(i * 7); // deallocation is a no-op
        QCOMPARE(files.size(), std::size_t(10000));
        QCOMPARE(files.at(7).parent, quint64(1));

        // Swap carries the allocators with the nodes.
        Map elsewhere{ArenaAllocator<Node>(&other)};
        elsewhere[1] = Entry{2, "x"};
        elsewhere.swap(dirs);
        QCOMPARE(elsewhere.get_allocator().arena(), &arena);
        QCOMPARE(dirs.at(1).parent, quint64(2));

        // Over-aligned elements.
        Arena wideArena;
        wideArena.allocate(1);
        std::map<int, Wide, std::less<int>, ArenaAllocator<std::pair<const int, Wide>>> wide{
            ArenaAllocator<std::pair<const int, Wide>>(&wideArena)};
        for (int i = 0; i < 1000; ++i)
            wide[i].value[0] = i;
        for (const auto& kv : wide)
            QCOMPARE(addr(&kv.second) % 64, std::uintptr_t(0));
    }

    void fnv1Hash()
    {
        QCOMPARE(StringPool::hash("", 0), quint32(0x811C9DC5));
        QCOMPARE(StringPool::hash("a", 1), quint32(0x050C5D7E));
        QCOMPARE(StringPool::hash("foobar", 6), quint32(0x31F0B262)); // FNV-1, not FNV-1a
        const char high[] = "\xC3\xA9";                                // bytes taken unsigned
        QCOMPARE(StringPool::hash(high, 2),
                 quint32(((0x811C9DC5u * 16777619u) ^ 0xC3u) * 16777619u ^ 0xA9u));
    }

    void internIdentity()
    {
        StringPool pool;
        char buffer[] = "report.txt";
        const char* a = pool.intern(buffer);
        QVERIFY(a != buffer);
        QCOMPARE(addr(a), addr(pool.intern("report.txt")));
        QCOMPARE(QByteArray(a), QByteArray("report.txt"));
        buffer[0] = 'X'; // the pooled copy does not follow the caller's buffer
        QCOMPARE(QByteArray(a), QByteArray("report.txt"));

        const char* empty = pool.intern("");
        QCOMPARE(*empty, '\0');
        QCOMPARE(addr(pool.intern("")), addr(empty));

        // Prefixes and extensions of a stored string are different strings.
        const char* shorter = pool.intern("report.tx");
        const char* longer = pool.intern("report.txt2");
        QVERIFY(shorter != a && longer != a && shorter != longer);

        // The length form stops at a NUL and otherwise takes exactly `length` bytes.
        QCOMPARE(addr(pool.intern("report.txt-and-more", 10)), addr(a));
        QCOMPARE(addr(pool.intern("report.tx\0zz", 12)), addr(shorter));
        QCOMPARE(addr(pool.intern("\xFF\xFEnot utf8")), addr(pool.intern("\xFF\xFEnot utf8")));
        QCOMPARE(pool.count(), std::size_t(5));
        QCOMPARE(addr(pool.intern(nullptr)), std::uintptr_t(0));
    }

    void hashCollisions()
    {
        const char* pairs[][2] = {{"sstnwf", "c2h172p7w"}, {"21blsgr5r", "vi80jjk2"},
                                  {"rat65w", "131z9s"}};
        StringPool pool;
        for (const auto& p : pairs) {
            QCOMPARE(StringPool::hash(p[0], std::strlen(p[0])),
                     StringPool::hash(p[1], std::strlen(p[1])));
            const char* x = pool.intern(p[0]);
            const char* y = pool.intern(p[1]);
            QVERIFY(x != y);
            QCOMPARE(QByteArray(x), QByteArray(p[0]));
            QCOMPARE(QByteArray(y), QByteArray(p[1]));
            QCOMPARE(addr(pool.intern(p[0])), addr(x));
            QCOMPARE(addr(pool.intern(p[1])), addr(y));
        }
        QCOMPARE(pool.count(), std::size_t(6));
    }

    void growthKeepsAddresses()
    {
        StringPool pool;
        std::vector<const char*> stored;
        const int n = 200000;
        stored.reserve(n);
        for (int i = 0; i < n; ++i)
            stored.push_back(pool.intern(std::to_string(i * 31).c_str()));
        // A string bigger than a block, then more small ones after it.
        const std::string huge(0x180000, 'h');
        const char* hugeCopy = pool.intern(huge.c_str());
        const char* after = pool.intern("after-huge");
        QCOMPARE(pool.count(), std::size_t(n + 2));
        for (int i = 0; i < n; ++i) {
            const std::string s = std::to_string(i * 31);
            QCOMPARE(addr(pool.intern(s.c_str())), addr(stored[i]));
            QCOMPARE(std::strcmp(stored[i], s.c_str()), 0);
        }
        QCOMPARE(addr(pool.intern(huge.c_str())), addr(hugeCopy));
        QCOMPARE(addr(pool.intern("after-huge")), addr(after));
        QCOMPARE(pool.count(), std::size_t(n + 2));
        // Compact: strings are at most 7 bytes plus NUL, and no per-string heap block.
        QVERIFY(pool.memoryUsage() < std::size_t(n) * 40 + huge.size() + 0x200000);
    }

    void clearForgetsButKeepsBytes()
    {
        StringPool pool;
        const char* before = pool.intern("kept");
        pool.clear();
        QCOMPARE(pool.count(), std::size_t(0));
        const char* after = pool.intern("kept");
        QVERIFY(after != before);
        QCOMPARE(QByteArray(before), QByteArray("kept"));
        QCOMPARE(addr(pool.intern("kept")), addr(after));
    }

    void concurrentInternStoresOnce()
    {
        // Threads intern the same new strings in different orders; each string must be stored
        // exactly once and every thread must get that one copy.
        const int threads = 8;
        const int strings = 5000;
        for (int round = 0; round < 5; ++round) {
            StringPool pool;
            std::vector<std::vector<const char*>> results(threads,
                                                          std::vector<const char*>(strings));
            std::atomic<int> ready{0};
            std::vector<std::thread> workers;
            for (int t = 0; t < threads; ++t) {
                workers.emplace_back([&, t] {
                    ready.fetch_add(1);
                    while (ready.load() < threads) {
                    }
                    for (int k = 0; k < strings; ++k) {
                        const int i = (t % 2) ? strings - 1 - k : (k * 7 + t) % strings;
                        const std::string s = "file-" + std::to_string(i) + ".dat";
                        results[t][i] = pool.intern(s.c_str());
                    }
                });
            }
            for (auto& w : workers)
                w.join();
            QCOMPARE(pool.count(), std::size_t(strings));
            for (int i = 0; i < strings; ++i) {
                for (int t = 1; t < threads; ++t)
                    QCOMPARE(addr(results[t][i]), addr(results[0][i]));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestStringPool)
#include "tst_stringpool.moc"
