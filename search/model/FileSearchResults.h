// FileSearchResults: the result container of one search.
//
// Found folders and files are compact records of pooled strings (name, containing folder,
// contents match count): three words per item; equal names and folder paths are stored once in
// the two pools. The pooled strings are file-name bytes (UTF-8 for ordinary names): texts are
// pooled and read back through FileNameCodec, so a name that is not UTF-8 keeps its bytes and
// its full path still names the file. The container adds a view filter by file category, row addressing for the
// result table, sorting by column, and removal and renaming of rows.
//
// Rows: filter 0 shows the folders (rows 0 .. folders-1) then the files; filter 1 only the
// folders; filter n >= 2 the files of category n - 2 (`filtered`, each its own record).
//
// Linux decisions:
// - The full path of an item is `path` + "/" + `name`; no "/" is added when the folder already
//   ends with one (the root "/"), and an empty folder stands for the root.
// - The creation time column uses the file's birth time where the file system records one, else
//   its last status change (what QFileInfo::created gave). Sizes and times are read through
//   FileStatus on the item's bytes, so items whose names are not UTF-8 sort by their real values.
//
// Sorting by size or time reads each item's key once before sorting (a snapshot), never inside
// the comparator: keys stay consistent while files change, and the file system is asked n
// times, not n log n. The other keys are also computed once per item.
//
// Concurrency: adds come from search threads, serialised by the caller (the file search's mutex,
// or its one name-phase thread); the pools are thread-safe. The result table reads rows while a
// search still delivers them, and the user may change the filter or the sort meanwhile, so every
// operation on the item lists (adds, filter, count, filePath, isDir, removal, renaming, sorting)
// takes a small internal mutex: no reader ever meets a list while it grows (reallocates). The
// references returned by dirItems/fileItems/filteredItems are not guarded: use them only once
// the search has finished.
//
// The result table reads through a seam that never depends on the live list lengths: `counts`
// gives the three lengths and the filter under one lock; the table caches them and addresses
// its rows through `locate` (row -> list and index under the cached counts) and `entryAt`
// (one item by value, no file system access), so rows it has not taken up yet (new folders
// that would shift every file row) never move the rows it shows. Items are identified by
// `Entry` (their pooled name and folder pointers and the folder flag), so actions captured
// earlier (rename, removal after a delete) find their items wherever a sort moved them.
//
// Sorting runs in three steps so that no lock is held while keys are read from the file
// system: `prepareSort` copies the shown lists under the lock, `computeSort` gathers the keys
// and orders the copy on any thread (it may be cancelled and reports progress), and
// `applySort` puts the order in place under the lock, unless the lists changed meanwhile by
// anything but appends (a removal, rename, filter change or another sort: the `generation`);
// items appended after the copy stay behind the sorted ones. Where nothing was appended the
// sorted lists are swapped in (no copy: a million rows are put in place at once) and the plan
// takes the old ones, for its owner to free wherever it likes.
#pragma once

#include "core/FileCategory.h"
#include "core/StringPool.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class FileSearchResults
{
public:
    struct FileItem
    {
        const char* name;
        const char* path;
        int matches;
    };
    struct DirItem
    {
        const char* name;
        const char* path;
        int matches;
    };

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
            return dirs == o.dirs && files == o.files && filtered == o.filtered && filter == o.filter;
        }
    };

    // One item by value; its strings are pooled and live as long as the results.
    struct Entry
    {
        const char* name = nullptr;
        const char* path = nullptr;
        int matches = 0;
        bool isDir = false;

        bool isValid() const { return name != nullptr; }
        bool sameItem(const Entry& o) const { return name == o.name && path == o.path && isDir == o.isDir; }
    };

    // The work of one sort, see the header comment.
    struct SortPlan
    {
        int column = 0;
        Qt::SortOrder order = Qt::AscendingOrder;
        int filter = 0;
        quint64 generation = 0;
        std::vector<DirItem> dirs;   // the folders when the filter shows them
        std::vector<FileItem> files; // the files (filter 0) or the filtered files (filter >= 2)
    };

    FileSearchResults();
    ~FileSearchResults();
    FileSearchResults(const FileSearchResults&) = delete;
    FileSearchResults& operator=(const FileSearchResults&) = delete;

    void addDir(const QString& name, const QString& path);
    // `name` is already pooled (by the index) and stored as it is: the storage it lies in must be
    // kept alive with keepAlive() for as long as the results are.
    void addDirPooled(const char* name, const QString& path);
    void addFile(const QString& name, const QString& path, int matches);
    void addFilePooled(const char* name, const QString& path, int matches);
    // Keeps `storage` (where pooled names of the index lie) alive as long as the results; the same
    // storage given again is kept once.
    void keepAlive(const std::shared_ptr<const void>& storage);

    // 0 all, 1 folders only, n >= 2 the files of categories[n - 2].
    void setCategoryFilter(int index, const QList<FileCategory>& categories);
    int categoryFilter() const;

    // Rows under the filter.
    int count() const;
    // Folders + files whatever the filter.
    int itemCount() const;
    // Full path of the item at `row` ("" for a row out of range); `matches` receives a file's
    // match count and is left untouched for folders.
    QString filePath(int row, int* matches = nullptr) const;
    bool isDir(int row) const;
    // Removes the items of the given rows (rows out of range are ignored).
    void removeRows(const QList<int>& rows);
    // After a rename: the item's name becomes `name` in every list that holds it.
    void setName(int row, const QString& name);
    // Column 0 name, 1 path, 2 size, 3 created, 4 modified, 5 accessed, 6 extension, 7 matches.
    // The three steps below in a row.
    void sort(int column, Qt::SortOrder order);

    // Sorting in steps (see the header comment). computeSort returns false when cancelled;
    // `progress` (may be empty) receives (done, total) now and then while keys are read.
    // prepareSort and computeSort: any thread (the result table calls them on a worker);
    // applySort: the thread of the table that shows the rows.
    SortPlan prepareSort(int column, Qt::SortOrder order) const;
    static bool computeSort(SortPlan& plan, const std::atomic<bool>* cancel = nullptr,
                            const std::function<void(int, int)>& progress = {});
    bool applySort(SortPlan& plan);
    // Whether a column's keys come from the file system (size and times).
    static bool isFileSystemColumn(int column) { return column >= 2 && column <= 5; }

    // The seam of the result table (see the header comment).
    Counts counts() const;
    // The list and index of `row` under `shown` counts; false for a row outside them.
    static bool locate(const Counts& shown, int row, List* list, int* index);
    // Item `index` of a list; an invalid Entry when out of range.
    Entry entryAt(List list, int index) const;
    // The item of `row` under `shown` counts (locate + entryAt).
    Entry entryAtRow(const Counts& shown, int row) const;
    // Texts of an entry, without file system access.
    static QString entryName(const Entry& entry);
    static QString entryFolder(const Entry& entry);
    static QString entryPath(const Entry& entry);
    // The row each given item has under `shown` counts now, in the order of `entries`; -1 for
    // an item that is not shown.
    QVector<int> rowsOfEntries(const QList<Entry>& entries, const Counts& shown) const;
    // The items whose full paths are among `paths` (in list order: folders, then files).
    QList<Entry> entriesOfPaths(const QStringList& paths);
    // Removes the given items from every list that holds them.
    void removeEntries(const QList<Entry>& entries);
    // Removes the items of rows `first` .. `last` under `shown` counts, by position, so that an
    // item standing twice loses only the rows named (from the files list too, for a category row).
    void removeShownRows(const Counts& shown, int first, int last);
    // The item's name becomes `name` in every list that holds it; the renamed entry, or an
    // invalid one when the item is no longer there.
    Entry renameEntry(const Entry& entry, const QString& name);
    // Bumped by every change other than an append.
    quint64 generation() const;

    // "a before b" for one column. Columns 2 to 5 read the file system at each call.
    static bool compareDirItems(int column, const DirItem& a, const DirItem& b);
    static bool compareFileItems(int column, const FileItem& a, const FileItem& b);

    // The category test: the text after the last "." of `name`, lower-cased, equals one of
    // `extensions` exactly; a name without "." never passes.
    static bool matchesCategory(const QString& name, const QStringList& extensions);

    const std::vector<DirItem>& dirItems() const { return dirs; }
    const std::vector<FileItem>& fileItems() const { return files; }
    const std::vector<FileItem>& filteredItems() const { return filtered; }
    const QStringList& selectedExtensions() const { return extensions; }

private:
    void appendFile(const char* name, const char* path, int matches);
    const char* internName(const QString& name);
    const char* internPath(const QString& path);

    std::vector<DirItem> dirs;
    std::vector<FileItem> files;
    std::vector<FileItem> filtered;
    StringPool names;
    StringPool paths;
    std::vector<std::shared_ptr<const void>> kept;
    QList<FileCategory> categories;
    QStringList extensions;
    int categoryFilter_ = 0;
    quint64 generation_ = 0;
    mutable std::mutex listMutex;
};
