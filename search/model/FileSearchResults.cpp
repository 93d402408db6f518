#include "search/model/FileSearchResults.h"

#include "core/FileNameCodec.h"
#include "search/model/FileStatus.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <unordered_map>
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

template <class Key, class Less>
std::vector<std::size_t> sortedOrder(const std::vector<Key>& keys, Qt::SortOrder order, Less less)
{
    std::vector<std::size_t> index(keys.size());
    std::iota(index.begin(), index.end(), std::size_t(0));
    if (order == Qt::AscendingOrder)
        std::sort(index.begin(), index.end(),
                  [&](std::size_t x, std::size_t y) { return less(keys[x], keys[y]); });
    else
        std::sort(index.begin(), index.end(),
                  [&](std::size_t x, std::size_t y) { return less(keys[y], keys[x]); });
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

template <class Item>
void FileSearchResults::sortItems(std::vector<Item>& items, int column, Qt::SortOrder order)
{
    if (items.size() < 2)
        return;
    // Every key is computed once per item before sorting; strings are decoded once per
    // distinct pooled pointer.
    switch (column) {
    case 0:
    case 1:
    case 6: {
        QHash<const char*, QString> decoded;
        std::vector<QString> keys;
        keys.reserve(items.size());
        for (const Item& item : items) {
            const char* s = column == 1 ? item.path : item.name;
            auto it = decoded.find(s);
            if (it == decoded.end())
                it = decoded.insert(s, column == 6 ? extensionKey(s) : nameText(s));
            keys.push_back(*it);
        }
        if (column == 6)
            applyOrder(items, sortedOrder(keys, order, [](const QString& a, const QString& b) { return a < b; }));
        else
            applyOrder(items, sortedOrder(keys, order, [](const QString& a, const QString& b) {
                           return QString::compare(a, b, Qt::CaseInsensitive) < 0;
                       }));
        return;
    }
    case 2:
    case 3:
    case 4:
    case 5:
    case 7: {
        std::vector<qint64> keys;
        keys.reserve(items.size());
        for (const Item& item : items)
            keys.push_back(column == 7 ? item.matches : fileSystemKey(column, fullPath(item.path, item.name)));
        applyOrder(items, sortedOrder(keys, order, std::less<qint64>()));
        return;
    }
    default:
        return; // all items compare equal: any order is sorted
    }
}

void FileSearchResults::sort(int column, Qt::SortOrder order)
{
    std::lock_guard<std::mutex> guard(listMutex);
    if (categoryFilter_ < 2)
        sortItems(dirs, column, order);
    if (categoryFilter_ == 0)
        sortItems(files, column, order);
    else if (categoryFilter_ >= 2)
        sortItems(filtered, column, order);
}
