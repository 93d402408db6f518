#include "search/model/ResultStore.h"

#include "core/FileNameCodec.h"

#include <QByteArray>
#include <cstring>

ResultStore::ResultStore() = default;
ResultStore::~ResultStore() = default;

const char* ResultStore::internName(const QString& name)
{
    const QByteArray bytes = FileNameCodec::encode(name);
    return names.intern(bytes.constData(), std::size_t(bytes.size()));
}

const char* ResultStore::internPath(const QString& path)
{
    const QByteArray bytes = FileNameCodec::encode(path);
    return paths.intern(bytes.constData(), std::size_t(bytes.size()));
}

void ResultStore::addDir(const QString& name, const QString& path)
{
    addDirPooled(internName(name), path);
}

void ResultStore::addDirPooled(const char* name, const QString& path)
{
    const char* p = internPath(path);
    std::lock_guard<std::mutex> guard(listMutex);
    dirs.push_back(Item{name, p, 0});
}

void ResultStore::addFile(const QString& name, const QString& path, int matches)
{
    addFilePooled(internName(name), path, matches);
}

void ResultStore::addFilePooled(const char* name, const QString& path, int matches)
{
    const char* p = internPath(path);
    std::lock_guard<std::mutex> guard(listMutex);
    files.push_back(Item{name, p, matches});
}

void ResultStore::keepAlive(const std::shared_ptr<const void>& storage)
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

ResultStore::Sizes ResultStore::sizes() const
{
    std::lock_guard<std::mutex> guard(listMutex);
    Sizes s;
    s.dirs = int(dirs.size());
    s.files = int(files.size());
    return s;
}

int ResultStore::itemCount() const
{
    std::lock_guard<std::mutex> guard(listMutex);
    return int(dirs.size() + files.size());
}

ResultStore::Entry ResultStore::entryAt(List list, int index) const
{
    Entry e;
    if (index < 0)
        return e;
    const auto i = std::size_t(index);
    std::lock_guard<std::mutex> guard(listMutex);
    const std::vector<Item>& v = list == Dirs ? dirs : files;
    if (i < v.size())
        e = Entry{v[i].name, v[i].path, list == Dirs ? 0 : v[i].matches, list == Dirs};
    return e;
}

QString ResultStore::text(const char* pooled)
{
    return FileNameCodec::decode(pooled, int(std::strlen(pooled)));
}

QString ResultStore::fullPath(const char* path, const char* name)
{
    const QString folder = text(path);
    const QString leaf = text(name);
    if (folder.isEmpty())
        return QLatin1Char('/') + leaf;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + leaf;
    return folder + QLatin1Char('/') + leaf;
}

QString ResultStore::entryName(const Entry& entry)
{
    return entry.isValid() ? text(entry.name) : QString();
}

QString ResultStore::entryFolder(const Entry& entry)
{
    return entry.isValid() ? text(entry.path) : QString();
}

QString ResultStore::entryPath(const Entry& entry)
{
    return entry.isValid() ? fullPath(entry.path, entry.name) : QString();
}
