// String pool and arena figures: intern speed and heap bytes per distinct name for a
// file-system-like name set, concurrent lookups, and the cost of std::map nodes drawn from an
// arena.
#include "core/Arena.h"
#include "core/ArenaAllocator.h"
#include "core/StringPool.h"

#include <QElapsedTimer>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

// About a million names: many repeat (index.html, .git, README.md ...), most are distinct.
std::vector<std::string> makeNames(int n)
{
    static const char* common[] = {"index.html", ".git", "README.md", "Makefile", "main.cpp",
                                   "config", "LICENSE", "__init__.py", "package.json", "icon.png"};
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> len(4, 24);
    std::uniform_int_distribution<int> letter(0, 35);
    std::uniform_int_distribution<int> pick(0, 99);
    std::vector<std::string> names;
    names.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int p = pick(rng);
        if (p < 25) {
            names.emplace_back(common[p % 10]);
        } else if (p < 40 && !names.empty()) {
            names.push_back(names[rng() % names.size()]);
        } else {
            std::string s;
            const int l = len(rng);
            for (int k = 0; k < l; ++k)
                s += "abcdefghijklmnopqrstuvwxyz0123456789"[letter(rng)];
            s += ".txt";
            names.push_back(s);
        }
    }
    return names;
}

} // namespace

int main()
{
    const int n = 1000000;
    const std::vector<std::string> names = makeNames(n);
    std::size_t distinctBytes = 0;

    StringPool pool;
    QElapsedTimer timer;
    timer.start();
    for (const std::string& s : names)
        pool.intern(s.data(), s.size());
    const qint64 internMs = timer.elapsed();
    {
        // String bytes alone, for comparison with the pool's heap use.
        StringPool probe;
        for (const std::string& s : names) {
            const std::size_t before = probe.count();
            probe.intern(s.data(), s.size());
            if (probe.count() != before)
                distinctBytes += s.size() + 1;
        }
    }
    std::printf("intern of %d names (%zu distinct): %lld ms, %.1f ns per call\n", n, pool.count(),
                static_cast<long long>(internMs), internMs * 1e6 / n);
    std::printf("pool heap: %zu bytes = %.1f bytes per distinct name (string bytes %.1f), "
                "%.1f per name interned\n",
                pool.memoryUsage(), double(pool.memoryUsage()) / pool.count(),
                double(distinctBytes) / pool.count(), double(pool.memoryUsage()) / n);

    timer.restart();
    for (const std::string& s : names)
        pool.intern(s.data(), s.size());
    std::printf("lookup of %d present names, one thread: %lld ms\n", n,
                static_cast<long long>(timer.elapsed()));

    timer.restart();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = t; i < n; i += 4)
                pool.intern(names[i].data(), names[i].size());
        });
    }
    for (auto& th : threads)
        th.join();
    std::printf("lookup of %d present names, four threads: %lld ms\n", n,
                static_cast<long long>(timer.elapsed()));

    struct Entry
    {
        quint64 parent;
        const char* name;
    };
    using Node = std::pair<const quint64, Entry>;
    Arena arena;
    std::map<quint64, Entry, std::less<quint64>, ArenaAllocator<Node>> map{ArenaAllocator<Node>(&arena)};
    timer.restart();
    for (int i = 0; i < n; ++i)
        map.emplace(quint64(i) * 2654435761u % 1000003u + quint64(i) * 1000003u, Entry{quint64(i), nullptr});
    std::printf("std::map of %d records in an arena: %lld ms, %.1f bytes per record\n", n,
                static_cast<long long>(timer.elapsed()), double(arena.reservedBytes()) / n);
    return 0;
}
