#include "search/model/FileSearchResults.h"

#include "core/FileNameCodec.h"
#include "search/model/FileStatus.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <limits>
#include <numeric>
#include <unordered_map>
#include <thread>
#include <utility>

namespace {

// A pooled name or folder as text, in the lossless form of FileNameCodec.
QString nameText(const char* bytes)
{
    return FileNameCodec::decode(bytes, int(std::strlen(bytes)));
}

QString fullPath(const char* path, const char* name)
{
    const QString folder = nameText(path);
    const QString leaf = nameText(name);
    if (folder.isEmpty())
        return QLatin1Char('/') + leaf;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + leaf;
    return folder + QLatin1Char('/') + leaf;
}

QString extensionKey(const char* name)
{
    const QString n = nameText(name);
    const int dot = n.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : n.mid(dot + 1).toLower();
}

qint64 timeKey(const QDateTime& t)
{
    return t.isValid() ? t.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

// The file-system key of columns 2 to 5, read once.
qint64 fileSystemKey(int column, const QString& path)
{
    const FileStatus status(path);
    switch (column) {
    case 2:
        return status.size;
    case 3:
        return timeKey(status.created());
    case 4:
        return timeKey(status.modified);
    default:
        return timeKey(status.accessed);
    }
}

// The same key as fileSystemKey for a pooled folder and name, read with one statx on the
// pooled bytes themselves (no text decoding and no local-time conversion per item): the sort
// of a million items by size or a time spends its time in the kernel, not in QDateTime.
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
        if ((sx.stx_mask & STATX_BTIME) && msecs(sx.stx_btime) != std::numeric_limits<qint64>::min())
            return msecs(sx.stx_btime);
        return msecs(sx.stx_ctime);
    case 4:
        return msecs(sx.stx_mtime);
    default:
        return msecs(sx.stx_atime);
    }
}

template <class Item>
bool compareItems(int column, const Item& a, const Item& b)
{
    switch (column) {
    case 0:
        return QString::compare(nameText(a.name), nameText(b.name), Qt::CaseInsensitive) < 0;
    case 1:
        return QString::compare(nameText(a.path), nameText(b.path), Qt::CaseInsensitive) < 0;
    case 2:
    case 3:
    case 4:
    case 5:
        return fileSystemKey(column, fullPath(a.path, a.name))
            < fileSystemKey(column, fullPath(b.path, b.name));
    case 6:
        return extensionKey(a.name) < extensionKey(b.name);
    case 7:
        return a.matches < b.matches;
    default:
        return false;
    }
}

struct SortCancelled
{
};

// The order of `keys`; a set `cancel` flag stops the sort (checked every 65536 comparisons)
// with SortCancelled.
template <class Key, class Less>
std::vector<std::size_t> sortedOrder(const std::vector<Key>& keys, Qt::SortOrder order, Less less,
                                     const std::atomic<bool>* cancel = nullptr)
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

template <class Item>
void applyOrder(std::vector<Item>& items, const std::vector<std::size_t>& order)
{
    std::vector<Item> sorted;
    sorted.reserve(items.size());
    for (std::size_t i : order)
        sorted.push_back(items[i]);
    items.swap(sorted);
}

struct PairHash
{
    std::size_t operator()(const std::pair<const char*, const char*>& p) const noexcept
    {
        return std::hash<const void*>()(p.first) * 31 + std::hash<const void*>()(p.second);
    }
};

// Runs fill(i) for every i below n on up to 8 threads in chunks; polls `cancel` and, when
// `progress` is given, reports (done + items filled, total) from the calling thread. False when
// cancelled.
bool fillKeys(std::size_t n, const std::atomic<bool>* cancel, const std::function<void(int, int)>* progress,
              int done, int total, const std::function<void(std::size_t)>& fill)
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
    const unsigned helpers = n < 2 * chunk ? 0 : std::min(7u, std::max(1u, std::thread::hardware_concurrency()) - 1);
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < helpers; ++t)
        threads.emplace_back(work, false);
    work(true);
    for (std::thread& t : threads)
        t.join();
    return !stopped.load() && !(cancel && cancel->load());
}

// Orders `items` by one column. Every key is computed once per item before sorting (file
// system keys with one statx each, polling `cancel` and reporting progress); names are decoded
// and case-folded once, so the comparisons are plain.
template <class Item>
bool sortItems(std::vector<Item>& items, int column, Qt::SortOrder order, const std::atomic<bool>* cancel,
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
                it = decoded.insert(item.path, nameText(item.path).toCaseFolded());
            keys.push_back(*it);
        }
        if (cancel && cancel->load())
            return false;
        applyOrder(items, sortedOrder(keys, order, std::less<QString>(), cancel));
        break;
    }
    case 0:
    case 6: {
        // Names are mostly distinct: decoded on several threads, no lookup table.
        std::vector<QString> keys(items.size());
        if (!fillKeys(items.size(), cancel, nullptr, 0, 0, [&](std::size_t i) {
                keys[i] = column == 6 ? extensionKey(items[i].name) : nameText(items[i].name).toCaseFolded();
            }))
            return false;
        applyOrder(items, sortedOrder(keys, order, std::less<QString>(), cancel));
        break;
    }
    case 7: {
        std::vector<qint64> keys;
        keys.reserve(items.size());
        for (const Item& item : items)
            keys.push_back(item.matches);
        applyOrder(items, sortedOrder(keys, order, std::less<qint64>(), cancel));
        break;
    }
    case 2:
    case 3:
    case 4:
    case 5: {
        // One statx per item, on several threads (the kernel work dominates).
        std::vector<qint64> keys(items.size());
        if (!fillKeys(items.size(), cancel, &progress, done, total,
                      [&](std::size_t i) { keys[i] = fileSystemKey(column, items[i].path, items[i].name); }))
            return false;
        applyOrder(items, sortedOrder(keys, order, std::less<qint64>(), cancel));
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

FileSearchResults::FileSearchResults() = default;
FileSearchResults::~FileSearchResults() = default;

const char* FileSearchResults::internName(const QString& name)
{
    const QByteArray bytes = FileNameCodec::encode(name);
    return names.intern(bytes.constData(), std::size_t(bytes.size()));
}

const char* FileSearchResults::internPath(const QString& path)
{
    const QByteArray bytes = FileNameCodec::encode(path);
    return paths.intern(bytes.constData(), std::size_t(bytes.size()));
}

void FileSearchResults::addDir(const QString& name, const QString& path)
{
    addDirPooled(internName(name), path);
}

void FileSearchResults::addDirPooled(const char* name, const QString& path)
{
    const char* p = internPath(path);
    std::lock_guard<std::mutex> guard(listMutex);
    dirs.push_back(DirItem{name, p, 0});
}

void FileSearchResults::addFile(const QString& name, const QString& path, int matches)
{
    appendFile(internName(name), internPath(path), matches);
}

void FileSearchResults::addFilePooled(const char* name, const QString& path, int matches)
{
    appendFile(name, internPath(path), matches);
}

void FileSearchResults::keepAlive(const std::shared_ptr<const void>& storage)
{
    if (!storage)
        return;
    std::lock_guard<std::mutex> guard(listMutex);
    for (const auto& k : kept) {
        if (k == storage)
            return;
    }
    kept.push_back(storage);
}

void FileSearchResults::appendFile(const char* name, const char* path, int matches)
{
    std::lock_guard<std::mutex> guard(listMutex);
    files.push_back(FileItem{name, path, matches});
    if (categoryFilter_ >= 2 && matchesCategory(nameText(name), extensions))
        filtered.push_back(FileItem{name, path, matches});
}

bool FileSearchResults::matchesCategory(const QString& name, const QStringList& extensions)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    return extensions.contains(name.mid(dot + 1).toLower(), Qt::CaseSensitive);
}

void FileSearchResults::setCategoryFilter(int index, const QList<FileCategory>& newCategories)
{
    std::lock_guard<std::mutex> guard(listMutex);
    ++generation_;
    categoryFilter_ = index;
    categories = newCategories;
    if (index < 2) {
        extensions.clear();
        return;
    }
    const int category = index - 2;
    extensions = category < categories.size()
        ? categories.at(category).extensions.split(QLatin1Char(';'), Qt::KeepEmptyParts)
        : QStringList();
    filtered.clear();
    for (const FileItem& f : files) {
        if (matchesCategory(nameText(f.name), extensions))
            filtered.push_back(f);
    }
}

int FileSearchResults::count() const
{
    std::lock_guard<std::mutex> guard(listMutex);
    switch (categoryFilter_) {
    case 0:
        return int(dirs.size() + files.size());
    case 1:
        return int(dirs.size());
    default:
        return int(filtered.size());
    }
}

int FileSearchResults::itemCount() const
{
    std::lock_guard<std::mutex> guard(listMutex);
    return int(dirs.size() + files.size());
}

int FileSearchResults::categoryFilter() const
{
    std::lock_guard<std::mutex> guard(listMutex);
    return categoryFilter_;
}

bool FileSearchResults::isDir(int row) const
{
    std::lock_guard<std::mutex> guard(listMutex);
    return categoryFilter_ < 2 && row >= 0 && std::size_t(row) < dirs.size();
}

QString FileSearchResults::filePath(int row, int* matches) const
{
    if (row < 0)
        return QString();
    const auto r = std::size_t(row);
    std::lock_guard<std::mutex> guard(listMutex);
    if (categoryFilter_ < 2) {
        if (r < dirs.size())
            return fullPath(dirs[r].path, dirs[r].name);
        if (categoryFilter_ == 1 || r - dirs.size() >= files.size())
            return QString();
        const FileItem& f = files[r - dirs.size()];
        if (matches)
            *matches = f.matches;
        return fullPath(f.path, f.name);
    }
    if (r >= filtered.size())
        return QString();
    if (matches)
        *matches = filtered[r].matches;
    return fullPath(filtered[r].path, filtered[r].name);
}

void FileSearchResults::removeRows(const QList<int>& rows)
{
    std::vector<int> sorted(rows.begin(), rows.end());
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());

    std::lock_guard<std::mutex> guard(listMutex);
    ++generation_;
    if (categoryFilter_ < 2) {
        const std::size_t dirCount = dirs.size();
        const std::size_t limit = categoryFilter_ == 0 ? dirCount + files.size() : dirCount;
        std::vector<char> dropDir(dirCount, 0);
        std::vector<char> dropFile(files.size(), 0);
        for (int row : sorted) {
            if (row < 0 || std::size_t(row) >= limit)
                continue;
            if (std::size_t(row) < dirCount)
                dropDir[std::size_t(row)] = 1;
            else
                dropFile[std::size_t(row) - dirCount] = 1;
        }
        std::size_t k = 0;
        dirs.erase(std::remove_if(dirs.begin(), dirs.end(), [&](const DirItem&) { return dropDir[k++] != 0; }),
                   dirs.end());
        k = 0;
        files.erase(std::remove_if(files.begin(), files.end(), [&](const FileItem&) { return dropFile[k++] != 0; }),
                    files.end());
        return;
    }

    // Filtered rows: drop each record, and one file with the same pooled name and path.
    std::vector<char> dropFiltered(filtered.size(), 0);
    std::unordered_map<std::pair<const char*, const char*>, int, PairHash> pending;
    for (int row : sorted) {
        if (row < 0 || std::size_t(row) >= filtered.size())
            continue;
        dropFiltered[std::size_t(row)] = 1;
        const FileItem& f = filtered[std::size_t(row)];
        ++pending[{f.name, f.path}];
    }
    std::size_t k = 0;
    filtered.erase(std::remove_if(filtered.begin(), filtered.end(),
                                  [&](const FileItem&) { return dropFiltered[k++] != 0; }),
                   filtered.end());
    files.erase(std::remove_if(files.begin(), files.end(),
                               [&](const FileItem& f) {
                                   auto it = pending.find({f.name, f.path});
                                   if (it == pending.end() || it->second == 0)
                                       return false;
                                   --it->second;
                                   return true;
                               }),
                files.end());
}

void FileSearchResults::setName(int row, const QString& name)
{
    if (row < 0)
        return;
    const auto r = std::size_t(row);
    const char* pooled = internName(name);
    std::lock_guard<std::mutex> guard(listMutex);
    ++generation_;
    const FileItem* target = nullptr;
    if (categoryFilter_ < 2) {
        if (r < dirs.size()) {
            dirs[r].name = pooled;
            return;
        }
        if (categoryFilter_ == 1 || r - dirs.size() >= files.size())
            return;
        target = &files[r - dirs.size()];
    } else {
        if (r >= filtered.size())
            return;
        target = &filtered[r];
    }
    // The same file stands in `files` and, while a category is selected, in `filtered`.
    const char* oldName = target->name;
    const char* path = target->path;
    for (FileItem& f : files) {
        if (f.name == oldName && f.path == path)
            f.name = pooled;
    }
    for (FileItem& f : filtered) {
        if (f.name == oldName && f.path == path)
            f.name = pooled;
    }
}

bool FileSearchResults::compareDirItems(int column, const DirItem& a, const DirItem& b)
{
    return compareItems(column, a, b);
}

bool FileSearchResults::compareFileItems(int column, const FileItem& a, const FileItem& b)
{
    return compareItems(column, a, b);
}

void FileSearchResults::sort(int column, Qt::SortOrder order)
{
    SortPlan plan = prepareSort(column, order);
    computeSort(plan);
    applySort(plan);
}

FileSearchResults::SortPlan FileSearchResults::prepareSort(int column, Qt::SortOrder order) const
{
    SortPlan plan;
    plan.column = column;
    plan.order = order;
    std::lock_guard<std::mutex> guard(listMutex);
    plan.filter = categoryFilter_;
    plan.generation = generation_;
    if (categoryFilter_ < 2)
        plan.dirs = dirs;
    if (categoryFilter_ == 0)
        plan.files = files;
    else if (categoryFilter_ >= 2)
        plan.files = filtered;
    return plan;
}

bool FileSearchResults::computeSort(SortPlan& plan, const std::atomic<bool>* cancel,
                                    const std::function<void(int, int)>& progress)
{
    const int total = int(plan.dirs.size() + plan.files.size());
    int done = 0;
    try {
        if (!sortItems(plan.dirs, plan.column, plan.order, cancel, progress, done, total))
            return false;
        return sortItems(plan.files, plan.column, plan.order, cancel, progress, done, total);
    } catch (const SortCancelled&) {
        return false;
    }
}

bool FileSearchResults::applySort(SortPlan& plan)
{
    std::lock_guard<std::mutex> guard(listMutex);
    if (plan.generation != generation_ || plan.filter != categoryFilter_)
        return false;
    if (plan.dirs.size() > dirs.size())
        return false;
    std::vector<FileItem>& target = categoryFilter_ >= 2 ? filtered : files;
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

FileSearchResults::Counts FileSearchResults::counts() const
{
    std::lock_guard<std::mutex> guard(listMutex);
    Counts c;
    c.dirs = int(dirs.size());
    c.files = int(files.size());
    c.filtered = int(filtered.size());
    c.filter = categoryFilter_;
    return c;
}

bool FileSearchResults::locate(const Counts& shown, int row, List* list, int* index)
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

FileSearchResults::Entry FileSearchResults::entryAt(List list, int index) const
{
    Entry e;
    if (index < 0)
        return e;
    const auto i = std::size_t(index);
    std::lock_guard<std::mutex> guard(listMutex);
    if (list == Dirs) {
        if (i < dirs.size())
            e = Entry{dirs[i].name, dirs[i].path, 0, true};
    } else {
        const std::vector<FileItem>& v = list == Files ? files : filtered;
        if (i < v.size())
            e = Entry{v[i].name, v[i].path, v[i].matches, false};
    }
    return e;
}

FileSearchResults::Entry FileSearchResults::entryAtRow(const Counts& shown, int row) const
{
    List list;
    int index;
    if (!locate(shown, row, &list, &index))
        return Entry();
    return entryAt(list, index);
}

QString FileSearchResults::entryName(const Entry& entry)
{
    return entry.isValid() ? nameText(entry.name) : QString();
}

QString FileSearchResults::entryFolder(const Entry& entry)
{
    return entry.isValid() ? nameText(entry.path) : QString();
}

QString FileSearchResults::entryPath(const Entry& entry)
{
    return entry.isValid() ? fullPath(entry.path, entry.name) : QString();
}

QVector<int> FileSearchResults::rowsOfEntries(const QList<Entry>& entries, const Counts& shown) const
{
    // One item may stand in a list more than once (a file reached through two overlapping
    // include folders); equal entries take its rows in list order, one each.
    struct Wanted
    {
        std::vector<int> entries;
        std::size_t next = 0;
    };
    QVector<int> rows(entries.size(), -1);
    std::unordered_map<std::pair<const char*, const char*>, Wanted, PairHash> wantedDirs, wantedFiles;
    for (int i = 0; i < entries.size(); ++i) {
        const Entry& e = entries.at(i);
        if (e.isValid())
            (e.isDir ? wantedDirs : wantedFiles)[{e.name, e.path}].entries.push_back(i);
    }
    auto take = [&rows](auto& wanted, const char* name, const char* path, int row) {
        auto it = wanted.find({name, path});
        if (it != wanted.end() && it->second.next < it->second.entries.size())
            rows[it->second.entries[it->second.next++]] = row;
    };
    std::lock_guard<std::mutex> guard(listMutex);
    if (shown.filter < 2 && !wantedDirs.empty()) {
        const std::size_t n = std::min(std::size_t(std::max(0, shown.dirs)), dirs.size());
        for (std::size_t i = 0; i < n; ++i)
            take(wantedDirs, dirs[i].name, dirs[i].path, int(i));
    }
    if (shown.filter != 1 && !wantedFiles.empty()) {
        const std::vector<FileItem>& v = shown.filter >= 2 ? filtered : files;
        const int limit = shown.filter >= 2 ? shown.filtered : shown.files;
        const std::size_t n = std::min(std::size_t(std::max(0, limit)), v.size());
        const int offset = shown.filter >= 2 ? 0 : shown.dirs;
        for (std::size_t i = 0; i < n; ++i)
            take(wantedFiles, v[i].name, v[i].path, offset + int(i));
    }
    return rows;
}

QList<FileSearchResults::Entry> FileSearchResults::entriesOfPaths(const QStringList& wantedPaths)
{
    // Each path as (pooled name, pooled folder): pointer pairs compare without decoding any
    // item. An entry of the root folder may be stored with the folder "" or "/".
    std::unordered_map<std::pair<const char*, const char*>, int, PairHash> wanted;
    for (const QString& p : wantedPaths) {
        const int slash = p.lastIndexOf(QLatin1Char('/'));
        if (slash < 0 || slash == p.length() - 1)
            continue;
        const char* name = internName(p.mid(slash + 1));
        const QString folder = p.left(slash);
        wanted[{name, internPath(folder)}] = 1;
        if (folder.isEmpty())
            wanted[{name, internPath(QStringLiteral("/"))}] = 1;
        else
            wanted[{name, internPath(folder + QLatin1Char('/'))}] = 1;
    }
    QList<Entry> found;
    if (wanted.empty())
        return found;
    std::lock_guard<std::mutex> guard(listMutex);
    for (const DirItem& d : dirs)
        if (wanted.count({d.name, d.path}))
            found.append(Entry{d.name, d.path, 0, true});
    for (const FileItem& f : files)
        if (wanted.count({f.name, f.path}))
            found.append(Entry{f.name, f.path, f.matches, false});
    return found;
}

void FileSearchResults::removeEntries(const QList<Entry>& entries)
{
    std::unordered_map<std::pair<const char*, const char*>, int, PairHash> goneDirs, goneFiles;
    for (const Entry& e : entries) {
        if (e.isValid())
            (e.isDir ? goneDirs : goneFiles)[{e.name, e.path}] = 1;
    }
    std::lock_guard<std::mutex> guard(listMutex);
    if (!goneDirs.empty())
        dirs.erase(std::remove_if(dirs.begin(), dirs.end(),
                                  [&](const DirItem& d) { return goneDirs.count({d.name, d.path}) != 0; }),
                   dirs.end());
    if (!goneFiles.empty()) {
        auto gone = [&](const FileItem& f) { return goneFiles.count({f.name, f.path}) != 0; };
        files.erase(std::remove_if(files.begin(), files.end(), gone), files.end());
        filtered.erase(std::remove_if(filtered.begin(), filtered.end(), gone), filtered.end());
    }
    ++generation_;
}

void FileSearchResults::removeShownRows(const Counts& shown, int first, int last)
{
    auto eraseOne = [](std::vector<FileItem>& v, const FileItem& item) {
        for (auto it = v.begin(); it != v.end(); ++it) {
            if (it->name == item.name && it->path == item.path) {
                v.erase(it);
                return;
            }
        }
    };
    std::lock_guard<std::mutex> guard(listMutex);
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
            std::vector<FileItem>& from = list == Files ? files : filtered;
            if (i >= from.size())
                continue;
            const FileItem item = from[i];
            from.erase(from.begin() + index);
            eraseOne(list == Files ? filtered : files, item);
        }
    }
    ++generation_;
}

FileSearchResults::Entry FileSearchResults::renameEntry(const Entry& entry, const QString& name)
{
    if (!entry.isValid())
        return Entry();
    const char* pooled = internName(name);
    std::lock_guard<std::mutex> guard(listMutex);
    bool found = false;
    if (entry.isDir) {
        for (DirItem& d : dirs) {
            if (d.name == entry.name && d.path == entry.path) {
                d.name = pooled;
                found = true;
            }
        }
    } else {
        for (std::vector<FileItem>* v : {&files, &filtered}) {
            for (FileItem& f : *v) {
                if (f.name == entry.name && f.path == entry.path) {
                    f.name = pooled;
                    found = true;
                }
            }
        }
    }
    ++generation_;
    if (!found)
        return Entry();
    Entry renamed = entry;
    renamed.name = pooled;
    return renamed;
}

quint64 FileSearchResults::generation() const
{
    std::lock_guard<std::mutex> guard(listMutex);
    return generation_;
}
