#include "search/model/ResultRows.h"

#include "search/model/ResultOrder.h"

#include <algorithm>
#include <utility>

namespace {

struct PairHash
{
    std::size_t operator()(const std::pair<const char*, const char*>& p) const noexcept
    {
        return std::hash<const void*>()(p.first) * 31 + std::hash<const void*>()(p.second);
    }
};

using PairMap = std::unordered_map<std::pair<const char*, const char*>, int, PairHash>;

std::uint64_t renameKey(bool dir, ResultRows::Row row)
{
    return (std::uint64_t(dir ? 1 : 0) << 32) | row;
}

} // namespace

ResultRows::ResultRows(std::shared_ptr<ResultStore> store)
    : store_(store ? std::move(store) : std::make_shared<ResultStore>())
{ }

ResultRows::~ResultRows() = default;

ResultRows::Item ResultRows::itemOf(bool dir, Row row, const std::vector<Item>& list) const
{
    Item item = list[row];
    if (!renamed.empty()) {
        const auto it = renamed.find(renameKey(dir, row));
        if (it != renamed.end())
            item.name = it->second;
    }
    return item;
}

ResultRows::Entry ResultRows::entryOf(const Item& item, bool dir)
{
    return Entry{item.name, item.path, dir ? 0 : item.matches, dir};
}

ResultRows::Counts ResultRows::countsLocked() const
{
    Counts c;
    c.dirs = int(dirs.size());
    c.files = int(files.size());
    c.filtered = int(filtered.size());
    c.filter = categoryFilter_;
    return c;
}

ResultRows::Counts ResultRows::takeUp()
{
    std::lock_guard<std::mutex> guard(rowMutex);
    const std::size_t firstNewFile = takenFiles;
    std::vector<const char*> newNames; // tested for the category outside the store's lock
    store_->read([&](const std::vector<Item>& storeDirs, const std::vector<Item>& storeFiles) {
        for (; takenDirs < storeDirs.size(); ++takenDirs)
            dirs.push_back(Row(takenDirs));
        for (; takenFiles < storeFiles.size(); ++takenFiles) {
            files.push_back(Row(takenFiles));
            if (categoryFilter_ >= 2)
                newNames.push_back(storeFiles[takenFiles].name);
        }
    });
    for (std::size_t i = 0; i < newNames.size(); ++i) {
        if (matchesCategory(ResultStore::text(newNames[i]), extensions))
            filtered.push_back(Row(firstNewFile + i));
    }
    return countsLocked();
}

bool ResultRows::matchesCategory(const QString& name, const QStringList& extensionList)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    return extensionList.contains(name.mid(dot + 1).toLower(), Qt::CaseSensitive);
}

void ResultRows::setCategoryFilter(int index, const QList<FileCategory>& categories)
{
    std::lock_guard<std::mutex> guard(rowMutex);
    ++generation_;
    categoryFilter_ = index;
    if (index < 2) {
        extensions.clear();
        return;
    }
    const int category = index - 2;
    extensions =
        category < categories.size()
            ? categories.at(category).extensions.split(QLatin1Char(';'), Qt::KeepEmptyParts)
            : QStringList();
    std::vector<const char*> names(files.size());
    store_->read([&](const std::vector<Item>&, const std::vector<Item>& storeFiles) {
        for (std::size_t i = 0; i < files.size(); ++i)
            names[i] = itemOf(false, files[i], storeFiles).name;
    });
    filtered.clear();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (matchesCategory(ResultStore::text(names[i]), extensions))
            filtered.push_back(files[i]);
    }
}

int ResultRows::categoryFilter() const
{
    std::lock_guard<std::mutex> guard(rowMutex);
    return categoryFilter_;
}

ResultRows::Counts ResultRows::counts() const
{
    std::lock_guard<std::mutex> guard(rowMutex);
    return countsLocked();
}

int ResultRows::itemCount() const
{
    std::lock_guard<std::mutex> guard(rowMutex);
    const ResultStore::Sizes stored = store_->sizes();
    const std::size_t pending =
        (std::size_t(stored.dirs) - takenDirs) + (std::size_t(stored.files) - takenFiles);
    return int(dirs.size() + files.size() + pending);
}

bool ResultRows::locate(const Counts& shown, int row, List* list, int* index)
{
    if (row < 0 || row >= shown.rows())
        return false;
    if (shown.filter >= 2) {
        *list = Filtered;
        *index = row;
    } else if (row < shown.dirs) {
        *list = Dirs;
        *index = row;
    } else {
        *list = Files;
        *index = row - shown.dirs;
    }
    return true;
}

ResultRows::Entry ResultRows::entryAt(List list, int index) const
{
    Entry e;
    if (index < 0)
        return e;
    const auto i = std::size_t(index);
    std::lock_guard<std::mutex> guard(rowMutex);
    const std::vector<Row>& v = list == Dirs ? dirs : list == Files ? files : filtered;
    if (i >= v.size())
        return e;
    const bool dir = list == Dirs;
    store_->read([&](const std::vector<Item>& storeDirs, const std::vector<Item>& storeFiles) {
        e = entryOf(itemOf(dir, v[i], dir ? storeDirs : storeFiles), dir);
    });
    return e;
}

ResultRows::Entry ResultRows::entryAtRow(const Counts& shown, int row) const
{
    List list;
    int index;
    if (!locate(shown, row, &list, &index))
        return Entry();
    return entryAt(list, index);
}

QVector<ResultRows::Entry> ResultRows::entriesOfRows(const Counts& shown) const
{
    QVector<Entry> out;
    out.reserve(std::max(0, shown.rows()));
    std::lock_guard<std::mutex> guard(rowMutex);
    store_->read([&](const std::vector<Item>& storeDirs, const std::vector<Item>& storeFiles) {
        for (int row = 0; row < shown.rows(); ++row) {
            List list;
            int index;
            locate(shown, row, &list, &index);
            const std::vector<Row>& v = list == Dirs ? dirs : list == Files ? files : filtered;
            if (std::size_t(index) >= v.size()) {
                out.append(Entry());
                continue;
            }
            const bool dir = list == Dirs;
            out.append(
                entryOf(itemOf(dir, v[std::size_t(index)], dir ? storeDirs : storeFiles), dir));
        }
    });
    return out;
}

QVector<int> ResultRows::rowsOfEntries(const QList<Entry>& entries, const Counts& shown) const
{
    // One item may stand in a list more than once (a file reached through two overlapping
    // include folders); equal entries take its rows in list order, one each.
    struct Wanted
    {
        std::vector<int> entries;
        std::size_t next = 0;
    };
    QVector<int> rows(entries.size(), -1);
    std::unordered_map<std::pair<const char*, const char*>, Wanted, PairHash> wantedDirs,
        wantedFiles;
    for (int i = 0; i < entries.size(); ++i) {
        const Entry& e = entries.at(i);
        if (e.isValid())
            (e.isDir ? wantedDirs : wantedFiles)[{e.name, e.path}].entries.push_back(i);
    }
    auto take = [&rows](auto& wanted, const Item& item, int row) {
        auto it = wanted.find({item.name, item.path});
        if (it != wanted.end() && it->second.next < it->second.entries.size())
            rows[it->second.entries[it->second.next++]] = row;
    };
    std::lock_guard<std::mutex> guard(rowMutex);
    store_->read([&](const std::vector<Item>& storeDirs, const std::vector<Item>& storeFiles) {
        if (shown.filter < 2 && !wantedDirs.empty()) {
            const std::size_t n = std::min(std::size_t(std::max(0, shown.dirs)), dirs.size());
            for (std::size_t i = 0; i < n; ++i)
                take(wantedDirs, itemOf(true, dirs[i], storeDirs), int(i));
        }
        if (shown.filter != 1 && !wantedFiles.empty()) {
            const std::vector<Row>& v = shown.filter >= 2 ? filtered : files;
            const int limit = shown.filter >= 2 ? shown.filtered : shown.files;
            const std::size_t n = std::min(std::size_t(std::max(0, limit)), v.size());
            const int offset = shown.filter >= 2 ? 0 : shown.dirs;
            for (std::size_t i = 0; i < n; ++i)
                take(wantedFiles, itemOf(false, v[i], storeFiles), offset + int(i));
        }
    });
    return rows;
}

QList<ResultRows::Entry> ResultRows::entriesOfPaths(const QStringList& paths) const
{
    // Each path as (pooled name, pooled folder): pointer pairs compare without decoding any
    // item. An entry of the root folder may be stored with the folder "" or "/".
    PairMap wanted;
    for (const QString& p : paths) {
        const int slash = p.lastIndexOf(QLatin1Char('/'));
        if (slash < 0 || slash == p.length() - 1)
            continue;
        const char* name = store_->internName(p.mid(slash + 1));
        const QString folder = p.left(slash);
        wanted[{name, store_->internPath(folder)}] = 1;
        if (folder.isEmpty())
            wanted[{name, store_->internPath(QStringLiteral("/"))}] = 1;
        else
            wanted[{name, store_->internPath(folder + QLatin1Char('/'))}] = 1;
    }
    QList<Entry> found;
    if (wanted.empty())
        return found;
    std::lock_guard<std::mutex> guard(rowMutex);
    store_->read([&](const std::vector<Item>& storeDirs, const std::vector<Item>& storeFiles) {
        for (Row r : dirs) {
            const Item item = itemOf(true, r, storeDirs);
            if (wanted.count({item.name, item.path}))
                found.append(entryOf(item, true));
        }
        for (Row r : files) {
            const Item item = itemOf(false, r, storeFiles);
            if (wanted.count({item.name, item.path}))
                found.append(entryOf(item, false));
        }
    });
    return found;
}

void ResultRows::removeEntries(const QList<Entry>& entries)
{
    PairMap goneDirs, goneFiles;
    for (const Entry& e : entries) {
        if (e.isValid())
            (e.isDir ? goneDirs : goneFiles)[{e.name, e.path}] = 1;
    }
    std::lock_guard<std::mutex> guard(rowMutex);
    store_->read([&](const std::vector<Item>& storeDirs, const std::vector<Item>& storeFiles) {
        auto drop = [this](std::vector<Row>& v, bool dir, const PairMap& gone,
                           const std::vector<Item>& list) {
            if (gone.empty())
                return;
            v.erase(std::remove_if(v.begin(), v.end(),
                                   [&](Row r) {
                                       const Item item = itemOf(dir, r, list);
                                       return gone.count({item.name, item.path}) != 0;
                                   }),
                    v.end());
        };
        drop(dirs, true, goneDirs, storeDirs);
        drop(files, false, goneFiles, storeFiles);
        drop(filtered, false, goneFiles, storeFiles);
    });
    ++generation_;
}

void ResultRows::removeShownRows(const Counts& shown, int first, int last)
{
    // The category rows hold the same store rows as the files: a row leaves both lists.
    auto eraseOne = [](std::vector<Row>& v, Row row) {
        const auto it = std::find(v.begin(), v.end(), row);
        if (it != v.end())
            v.erase(it);
    };
    std::lock_guard<std::mutex> guard(rowMutex);
    for (int row = last; row >= first; --row) {
        List list;
        int index;
        if (!locate(shown, row, &list, &index))
            continue;
        const auto i = std::size_t(index);
        if (list == Dirs) {
            if (i < dirs.size())
                dirs.erase(dirs.begin() + index);
        } else {
            std::vector<Row>& from = list == Files ? files : filtered;
            if (i >= from.size())
                continue;
            const Row gone = from[i];
            from.erase(from.begin() + index);
            eraseOne(list == Files ? filtered : files, gone);
        }
    }
    ++generation_;
}

ResultRows::Entry ResultRows::renameEntry(const Entry& entry, const QString& name)
{
    if (!entry.isValid())
        return Entry();
    const char* pooled = store_->internName(name);
    std::lock_guard<std::mutex> guard(rowMutex);
    bool found = false;
    store_->read([&](const std::vector<Item>& storeDirs, const std::vector<Item>& storeFiles) {
        auto renameIn = [&](const std::vector<Row>& v, bool dir, const std::vector<Item>& list) {
            for (Row r : v) {
                const Item item = itemOf(dir, r, list);
                if (item.name == entry.name && item.path == entry.path) {
                    renamed[renameKey(dir, r)] = pooled;
                    found = true;
                }
            }
        };
        if (entry.isDir) {
            renameIn(dirs, true, storeDirs);
        } else {
            renameIn(files, false, storeFiles);
            renameIn(filtered, false, storeFiles);
        }
    });
    ++generation_;
    if (!found)
        return Entry();
    Entry result = entry;
    result.name = pooled;
    return result;
}

quint64 ResultRows::generation() const
{
    std::lock_guard<std::mutex> guard(rowMutex);
    return generation_;
}

ResultRows::SortPlan ResultRows::prepareSort(int column, Qt::SortOrder order) const
{
    SortPlan plan;
    plan.column = column;
    plan.order = order;
    std::lock_guard<std::mutex> guard(rowMutex);
    plan.filter = categoryFilter_;
    plan.generation = generation_;
    if (categoryFilter_ < 2)
        plan.dirs = dirs;
    if (categoryFilter_ == 0)
        plan.files = files;
    else if (categoryFilter_ >= 2)
        plan.files = filtered;
    plan.dirItems.reserve(plan.dirs.size());
    plan.fileItems.reserve(plan.files.size());
    store_->read([&](const std::vector<Item>& storeDirs, const std::vector<Item>& storeFiles) {
        for (Row r : plan.dirs)
            plan.dirItems.push_back(itemOf(true, r, storeDirs));
        for (Row r : plan.files)
            plan.fileItems.push_back(itemOf(false, r, storeFiles));
    });
    return plan;
}

bool ResultRows::computeSort(SortPlan& plan, const std::atomic<bool>* cancel,
                             const std::function<void(int, int)>& progress)
{
    const int total = int(plan.dirs.size() + plan.files.size());
    int done = 0;
    const bool sorted = ResultOrder::sort(plan.dirs, plan.dirItems, plan.column, plan.order, cancel,
                                          progress, done, total) &&
                        ResultOrder::sort(plan.files, plan.fileItems, plan.column, plan.order,
                                          cancel, progress, done, total);
    // The keys are read: the copied items are not needed any more.
    std::vector<Item>().swap(plan.dirItems);
    std::vector<Item>().swap(plan.fileItems);
    return sorted;
}

bool ResultRows::applySort(SortPlan& plan)
{
    std::lock_guard<std::mutex> guard(rowMutex);
    if (plan.generation != generation_ || plan.filter != categoryFilter_)
        return false;
    if (plan.dirs.size() > dirs.size())
        return false;
    std::vector<Row>& target = categoryFilter_ >= 2 ? filtered : files;
    if (categoryFilter_ != 1 && plan.files.size() > target.size())
        return false;
    if (categoryFilter_ < 2) {
        if (plan.dirs.size() == dirs.size())
            dirs.swap(plan.dirs);
        else
            std::copy(plan.dirs.begin(), plan.dirs.end(), dirs.begin());
    }
    if (categoryFilter_ != 1) {
        if (plan.files.size() == target.size())
            target.swap(plan.files);
        else
            std::copy(plan.files.begin(), plan.files.end(), target.begin());
    }
    ++generation_;
    return true;
}
