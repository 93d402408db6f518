#include "search/model/ResultOrder.h"

#include <QHash>
#include <QString>
#include <algorithm>
#include <fcntl.h>
#include <limits>
#include <numeric>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace {

using Item = ResultStore::Item;

QString extensionKey(const char* name)
{
    const QString n = ResultStore::text(name);
    const int dot = n.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : n.mid(dot + 1).toLower();
}

// The key of columns 2 to 5 for a pooled folder and name, read with one statx on the pooled
// bytes: the sort of a million items by size or a time spends its time in the kernel.
qint64 fileSystemKey(int column, const char* path, const char* name)
{
    std::string bytes(path);
    if (bytes.empty() || bytes.back() != '/')
        bytes += '/';
    bytes += name;
    struct statx sx;
    const unsigned mask = column == 2 ? STATX_SIZE : STATX_BASIC_STATS | STATX_BTIME;
    if (::statx(AT_FDCWD, bytes.c_str(), AT_STATX_SYNC_AS_STAT, mask, &sx) != 0)
        return column == 2 ? 0 : std::numeric_limits<qint64>::min();
    auto msecs = [](const struct statx_timestamp& t) {
        const qint64 ms = qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
        return ms ? ms : std::numeric_limits<qint64>::min();
    };
    switch (column) {
    case 2:
        return qint64(sx.stx_size);
    case 3:
        if ((sx.stx_mask & STATX_BTIME) &&
            msecs(sx.stx_btime) != std::numeric_limits<qint64>::min())
            return msecs(sx.stx_btime);
        return msecs(sx.stx_ctime);
    case 4:
        return msecs(sx.stx_mtime);
    default:
        return msecs(sx.stx_atime);
    }
}

struct SortCancelled
{ };

// The order of `keys`; a set `cancel` flag stops the sort (checked every 65536 comparisons)
// with SortCancelled.
template <class Key, class Less>
std::vector<std::size_t> sortedOrder(const std::vector<Key>& keys, Qt::SortOrder order, Less less,
                                     const std::atomic<bool>* cancel)
{
    std::vector<std::size_t> index(keys.size());
    std::iota(index.begin(), index.end(), std::size_t(0));
    unsigned tick = 0;
    auto poll = [&]() {
        if (cancel && (++tick & 0xFFFF) == 0 && cancel->load())
            throw SortCancelled();
    };
    if (order == Qt::AscendingOrder)
        std::sort(index.begin(), index.end(), [&](std::size_t x, std::size_t y) {
            poll();
            return less(keys[x], keys[y]);
        });
    else
        std::sort(index.begin(), index.end(), [&](std::size_t x, std::size_t y) {
            poll();
            return less(keys[y], keys[x]);
        });
    return index;
}

void applyOrder(std::vector<std::uint32_t>& rows, const std::vector<std::size_t>& order)
{
    std::vector<std::uint32_t> sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : order)
        sorted.push_back(rows[i]);
    rows.swap(sorted);
}

// Runs fill(i) for every i below n on up to 8 threads in chunks; polls `cancel` and, when
// `progress` is given, reports (done + items filled, total) from the calling thread. False when
// cancelled.
bool fillKeys(std::size_t n, const std::atomic<bool>* cancel,
              const std::function<void(int, int)>* progress, int done, int total,
              const std::function<void(std::size_t)>& fill)
{
    const std::size_t chunk = 4096;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> filled{0};
    std::atomic<bool> stopped{false};
    auto work = [&](bool reporter) {
        for (;;) {
            if (cancel && cancel->load()) {
                stopped = true;
                return;
            }
            const std::size_t begin = next.fetch_add(chunk);
            if (begin >= n)
                return;
            const std::size_t end = std::min(n, begin + chunk);
            for (std::size_t i = begin; i < end; ++i)
                fill(i);
            const std::size_t now = filled.fetch_add(end - begin) + (end - begin);
            if (reporter && progress && *progress)
                (*progress)(done + int(now), total);
        }
    };
    const unsigned helpers =
        n < 2 * chunk ? 0 : std::min(7u, std::max(1u, std::thread::hardware_concurrency()) - 1);
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < helpers; ++t)
        threads.emplace_back(work, false);
    work(true);
    for (std::thread& t : threads)
        t.join();
    return !stopped.load() && !(cancel && cancel->load());
}

bool sortRows(std::vector<std::uint32_t>& rows, const std::vector<Item>& items, int column,
              Qt::SortOrder order, const std::atomic<bool>* cancel,
              const std::function<void(int, int)>& progress, int& done, int total)
{
    if (items.size() < 2) {
        done += int(items.size());
        return !(cancel && cancel->load());
    }
    switch (column) {
    case 1: {
        // Folder paths repeat: decode each pooled path once.
        QHash<const char*, QString> decoded;
        std::vector<QString> keys;
        keys.reserve(items.size());
        for (const Item& item : items) {
            auto it = decoded.find(item.path);
            if (it == decoded.end())
                it = decoded.insert(item.path, ResultStore::text(item.path).toCaseFolded());
            keys.push_back(*it);
        }
        if (cancel && cancel->load())
            return false;
        applyOrder(rows, sortedOrder(keys, order, std::less<QString>(), cancel));
        break;
    }
    case 0:
    case 6: {
        // Names are mostly distinct: decoded on several threads, no lookup table.
        std::vector<QString> keys(items.size());
        if (!fillKeys(items.size(), cancel, nullptr, 0, 0, [&](std::size_t i) {
                keys[i] = column == 6 ? extensionKey(items[i].name)
                                      : ResultStore::text(items[i].name).toCaseFolded();
            }))
            return false;
        applyOrder(rows, sortedOrder(keys, order, std::less<QString>(), cancel));
        break;
    }
    case 7: {
        std::vector<qint64> keys;
        keys.reserve(items.size());
        for (const Item& item : items)
            keys.push_back(item.matches);
        applyOrder(rows, sortedOrder(keys, order, std::less<qint64>(), cancel));
        break;
    }
    case 2:
    case 3:
    case 4:
    case 5: {
        // One statx per item, on several threads (the kernel work dominates).
        std::vector<qint64> keys(items.size());
        if (!fillKeys(items.size(), cancel, &progress, done, total, [&](std::size_t i) {
                keys[i] = fileSystemKey(column, items[i].path, items[i].name);
            }))
            return false;
        applyOrder(rows, sortedOrder(keys, order, std::less<qint64>(), cancel));
        break;
    }
    default:
        break; // all items compare equal: any order is sorted
    }
    done += int(items.size());
    if (progress)
        progress(done, total);
    return true;
}

} // namespace

bool ResultOrder::sort(std::vector<std::uint32_t>& rows,
                       const std::vector<ResultStore::Item>& items, int column, Qt::SortOrder order,
                       const std::atomic<bool>* cancel,
                       const std::function<void(int, int)>& progress, int& done, int total)
{
    // The rows change only once their whole order is known.
    try {
        return sortRows(rows, items, column, order, cancel, progress, done, total);
    } catch (const SortCancelled&) {
        return false;
    }
}
