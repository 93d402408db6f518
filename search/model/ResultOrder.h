// ResultOrder: puts result rows in the order of one column (name, folder, size, the three
// times, extension, matches). The rows view (ResultRows) copies the rows to sort and their
// items under its locks and hands them here, so no lock is held while keys are read.
//
// Every key is computed once per item before sorting, never inside the comparator: keys stay
// consistent while files change, and the file system is asked n times, not n log n. Size and
// time keys are read with one statx per item on the pooled bytes themselves (no text decoding,
// no local-time conversion), on up to 8 threads; names are decoded and case-folded once.
//
// Linux decisions: the creation time column uses the file's birth time where the file system
// records one, else its last status change; a file that cannot be read sorts as size 0 and the
// earliest time.
//
// Threads: any thread (the result table's sort job runs it on a worker); it touches only the
// vectors it is given and the file system.
#pragma once

#include "search/model/ResultStore.h"

#include <Qt>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

class ResultOrder
{
public:
    // Column 0 name, 1 path, 2 size, 3 created, 4 modified, 5 accessed, 6 extension, 7 matches;
    // any other column leaves the order as it is.
    // Orders `rows` by the keys of `items` (items[i] is the item of rows[i]). False when
    // `cancel` was set (rows unchanged). `progress` (may be
    // empty) receives (done + items ordered so far, total) now and then; `done` is advanced by
    // the number of rows.
    static bool sort(std::vector<std::uint32_t>& rows, const std::vector<ResultStore::Item>& items,
                     int column, Qt::SortOrder order, const std::atomic<bool>* cancel,
                     const std::function<void(int, int)>& progress, int& done, int total);
};
