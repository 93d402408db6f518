// ResultStore: the found folders and files of one search, as the engine delivers them.
//
// Append-only: the engine adds items and nothing ever moves, changes or goes, so an item is
// known by its list (Dirs or Files) and its index for as long as the store lives. What the
// user does to the rows (category filter, sort, removal, rename) belongs to the rows view the
// result table owns (ResultRows), which refers to the items by these indices.
//
// Items are compact records of pooled strings (name, containing folder, contents match count):
// three words per item; equal names and folder paths are stored once in the two pools. The
// pooled strings are file-name bytes (UTF-8 for ordinary names): texts are pooled and read
// back through FileNameCodec, so a name that is not UTF-8 keeps its bytes and its full path
// still names the file. Names from the index are stored as they are, pointing into the index's
// name blocks, which the store keeps alive (`keepAlive`).
//
// Linux decisions: the full path of an item is `path` + "/" + `name`; no "/" is added when the
// folder already ends with one (the root "/"), and an empty folder stands for the root.
//
// Threads: search threads add (serialised by the caller: the file search's mutex, or its one
// name-phase thread); any thread reads (`sizes`, `entryAt`, `read`) and pools texts. Every
// operation on the item lists takes a small internal mutex, so no reader meets a list while
// it grows (reallocates); the pools are thread-safe. The store is shared (std::shared_ptr)
// between the search that fills it and the views and background jobs that read it: the pooled
// strings of every entry handed out live as long as the store.
#pragma once

#include "core/StringPool.h"

#include <QString>
#include <memory>
#include <mutex>
#include <vector>

class ResultStore
{
public:
    struct Item
    {
        const char* name;
        const char* path;
        int matches;
    };

    enum List { Dirs = 0, Files = 1 };

    // The two list lengths, read together.
    struct Sizes
    {
        int dirs = 0;
        int files = 0;
    };

    // One item by value; its strings are pooled and live as long as the store.
    struct Entry
    {
        const char* name = nullptr;
        const char* path = nullptr;
        int matches = 0;
        bool isDir = false;

        bool isValid() const { return name != nullptr; }
        bool sameItem(const Entry& o) const
        {
            return name == o.name && path == o.path && isDir == o.isDir;
        }
    };

    ResultStore();
    ~ResultStore();
    ResultStore(const ResultStore&) = delete;
    ResultStore& operator=(const ResultStore&) = delete;

    // Search threads.
    void addDir(const QString& name, const QString& path);
    // `name` is already pooled (by the index) and stored as it is: the storage it lies in must be
    // kept alive with keepAlive() for as long as the store is.
    void addDirPooled(const char* name, const QString& path);
    void addFile(const QString& name, const QString& path, int matches);
    void addFilePooled(const char* name, const QString& path, int matches);
    // Keeps `storage` (where pooled names of the index lie) alive as long as the store; the same
    // storage given again is kept once.
    void keepAlive(const std::shared_ptr<const void>& storage);

    // Any thread.
    Sizes sizes() const;
    // Folders + files.
    int itemCount() const;
    // Item `index` of a list; an invalid Entry when out of range.
    Entry entryAt(List list, int index) const;
    // Runs `reader(dirs, files)` on the two lists under the store's lock (any thread). Appends
    // wait meanwhile: keep it short, and never call back into the store from it.
    template <class Reader>
    void read(Reader&& reader) const
    {
        std::lock_guard<std::mutex> guard(listMutex);
        reader(static_cast<const std::vector<Item>&>(dirs),
               static_cast<const std::vector<Item>&>(files));
    }

    // Pools a name or a folder text (any thread): for a rename, or to find items by path.
    const char* internName(const QString& name);
    const char* internPath(const QString& path);

    // Texts of pooled strings and entries, without file system access.
    static QString text(const char* pooled);
    static QString fullPath(const char* path, const char* name);
    static QString entryName(const Entry& entry);
    static QString entryFolder(const Entry& entry);
    static QString entryPath(const Entry& entry);

private:
    std::vector<Item> dirs;
    std::vector<Item> files;
    StringPool names;
    StringPool paths;
    std::vector<std::shared_ptr<const void>> kept;
    mutable std::mutex listMutex;
};
