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
#pragma once

#include "core/FileCategory.h"
#include "core/StringPool.h"

#include <QList>
#include <QString>
#include <QStringList>
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

    FileSearchResults();
    ~FileSearchResults();
    FileSearchResults(const FileSearchResults&) = delete;
    FileSearchResults& operator=(const FileSearchResults&) = delete;

    void addDir(const QString& name, const QString& path);
    // `name` is already pooled (by the index) and stored as it is.
    void addDirPooled(const char* name, const QString& path);
    void addFile(const QString& name, const QString& path, int matches);
    void addFilePooled(const char* name, const QString& path, int matches);

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
    void sort(int column, Qt::SortOrder order);

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
    template <class Item>
    void sortItems(std::vector<Item>& items, int column, Qt::SortOrder order);
    void appendFile(const char* name, const char* path, int matches);
    const char* internName(const QString& name);
    const char* internPath(const QString& path);

    std::vector<DirItem> dirs;
    std::vector<FileItem> files;
    std::vector<FileItem> filtered;
    StringPool names;
    StringPool paths;
    QList<FileCategory> categories;
    QStringList extensions;
    int categoryFilter_ = 0;
    mutable std::mutex listMutex;
};
