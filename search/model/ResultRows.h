// ResultRows: the rows of one search tab's result table, over the tab's ResultStore.
//
// The store holds what the engine found, in arrival order, and never changes it; this view
// holds what the user does to it: the category filter, the sort order, removals (files deleted
// from the table) and renames. A row is an item's index in the store (4 bytes a row); a rename
// is kept here as the item's new pooled name.
//
// Rows: filter 0 shows the folders (rows 0 .. folders-1) then the files; filter 1 only the
// folders; filter n >= 2 the files of category n - 2 (`Filtered`, a list of their own).
//
// The view takes up what the store gained only when asked (`takeUp`), so its lists grow only
// on its owner's thread. The result table reads through a seam that never depends on lengths
// that are still growing: it caches the counts it has shown and addresses its rows through
// `locate` (row -> list and index under the cached counts) and `entryAt` (one item by value,
// no file system access), so rows it has not taken up yet (new folders that would shift every
// file row) never move the rows it shows. Items are identified by `Entry` (their pooled name
// and folder pointers and the folder flag), so actions captured earlier (rename, removal after
// a delete) find their items wherever a sort moved them.
//
// Sorting runs in three steps so that no lock is held while keys are read from the file
// system: `prepareSort` copies the shown rows and their items under the locks, `computeSort`
// orders the copy on any thread (ResultOrder: it may be cancelled and reports progress), and
// `applySort` puts the order in place, unless the rows changed meanwhile by anything but
// take-ups (a removal, rename, filter change or another sort: the `generation`); rows taken up
// after the copy stay behind the sorted ones. Where nothing was taken up the sorted lists are
// swapped in and the plan takes the old ones, for its owner to free wherever it likes.
//
// Threads: the owner's thread (the GUI thread) changes the view (takeUp, setCategoryFilter,
// removals, renames, applySort); any thread may read it (the sort job copies its rows with
// prepareSort on a worker). Every operation takes the view's mutex, and the store's inside it
// where it reads items (always in that order; the store never calls back). The view shares its
// store, so an entry's strings live as long as the view or anything that holds the store.
#pragma once

#include "core/FileCategory.h"
#include "search/model/ResultStore.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <Qt>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

class ResultRows
{
public:
    using Item = ResultStore::Item;
    using Entry = ResultStore::Entry;
    // An item's index in its list of the store.
    using Row = std::uint32_t;

    // The three lists the rows are drawn from.
    enum List { Dirs = 0, Files = 1, Filtered = 2 };

    // The list lengths and the category filter, read together.
    struct Counts
    {
        int dirs = 0;
        int files = 0;
        int filtered = 0;
        int filter = 0;

        // Rows under the filter of these counts.
        int rows() const { return filter == 0 ? dirs + files : filter == 1 ? dirs : filtered; }
        bool operator==(const Counts& o) const
        {
            return dirs == o.dirs && files == o.files && filtered == o.filtered &&
                   filter == o.filter;
        }
    };

    // The work of one sort, see the header comment.
    struct SortPlan
    {
        int column = 0;
        Qt::SortOrder order = Qt::AscendingOrder;
        int filter = 0;
        quint64 generation = 0;
        std::vector<Row> dirs; // the folders when the filter shows them
        std::vector<Row> files; // the files (filter 0) or the filtered files (filter >= 2)
        std::vector<Item> dirItems; // their items, read for the keys (freed once ordered)
        std::vector<Item> fileItems;
    };

    explicit ResultRows(std::shared_ptr<ResultStore> store);
    ~ResultRows();
    ResultRows(const ResultRows&) = delete;
    ResultRows& operator=(const ResultRows&) = delete;

    const std::shared_ptr<ResultStore>& store() const { return store_; }

    // Owner's thread: takes up the items the store gained since the last call (new files join
    // the category rows as they come) and returns the counts.
    Counts takeUp();
    // Owner's thread: 0 all, 1 folders only, n >= 2 the files of categories[n - 2]; applies to
    // the rows taken up (later ones are tested as they are taken up).
    void setCategoryFilter(int index, const QList<FileCategory>& categories);
    int categoryFilter() const;
    // The lengths of the rows taken up.
    Counts counts() const;
    // Folders + files whatever the filter: the rows taken up and the items the store holds
    // beyond them.
    int itemCount() const;

    // The list and index of `row` under `shown` counts; false for a row outside them.
    static bool locate(const Counts& shown, int row, List* list, int* index);
    // Item `index` of a list; an invalid Entry when out of range.
    Entry entryAt(List list, int index) const;
    // The item of `row` under `shown` counts (locate + entryAt).
    Entry entryAtRow(const Counts& shown, int row) const;
    // Every row under `shown` counts, in row order (one lock for all).
    QVector<Entry> entriesOfRows(const Counts& shown) const;
    // The row each given item has under `shown` counts now, in the order of `entries`; -1 for
    // an item that is not shown.
    QVector<int> rowsOfEntries(const QList<Entry>& entries, const Counts& shown) const;
    // The items whose full paths are among `paths` (in list order: folders, then files).
    QList<Entry> entriesOfPaths(const QStringList& paths) const;

    // Owner's thread: removes the given items from every list that holds them.
    void removeEntries(const QList<Entry>& entries);
    // Owner's thread: removes the rows `first` .. `last` under `shown` counts, by position, so
    // that an item standing twice loses only the rows named (a category row also leaves the
    // files, and a file row the category rows).
    void removeShownRows(const Counts& shown, int first, int last);
    // Owner's thread: the item's name becomes `name` in every list that holds it; the renamed
    // entry, or an invalid one when the item is no longer there.
    Entry renameEntry(const Entry& entry, const QString& name);
    // Bumped by every change other than a take-up.
    quint64 generation() const;

    // Sorting in steps (see the header comment); columns as ResultOrder::sort. computeSort
    // returns false when cancelled; `progress` (may be empty) receives (done, total) now and
    // then while keys are read. prepareSort and computeSort: any thread; applySort: the
    // owner's thread.
    SortPlan prepareSort(int column, Qt::SortOrder order) const;
    static bool computeSort(SortPlan& plan, const std::atomic<bool>* cancel = nullptr,
                            const std::function<void(int, int)>& progress = {});
    bool applySort(SortPlan& plan);

    // The category test: the text after the last "." of `name`, lower-cased, equals one of
    // `extensions` exactly; a name without "." never passes.
    static bool matchesCategory(const QString& name, const QStringList& extensions);

private:
    // The item of a row with its rename applied (under both locks).
    Item itemOf(bool dir, Row row, const std::vector<Item>& list) const;
    Counts countsLocked() const;
    static Entry entryOf(const Item& item, bool dir);

    const std::shared_ptr<ResultStore> store_;
    std::vector<Row> dirs;
    std::vector<Row> files;
    std::vector<Row> filtered;
    std::size_t takenDirs = 0;
    std::size_t takenFiles = 0;
    // New names of renamed items, by folder flag (bit 32) and row.
    std::unordered_map<std::uint64_t, const char*> renamed;
    QStringList extensions;
    int categoryFilter_ = 0;
    quint64 generation_ = 0;
    mutable std::mutex rowMutex;
};
