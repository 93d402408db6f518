#include "search/engine/FolderWalker.h"

FolderWalker::FolderWalker(const QStringList& folders, const QStringList& excludes, bool recursive)
    : folders(folders)
    , excludes(excludes)
    , startCount(folders.size())
    , recursive(recursive)
{
}

FolderWalker::~FolderWalker() = default;

bool FolderWalker::isExcluded(const QString& path) const
{
    for (const QString& exclude : excludes) {
        // An empty entry would be contained in every path; it excludes nothing.
        if (!exclude.isEmpty() && path.contains(exclude, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString FolderWalker::next()
{
    for (;;) {
        const QString path = current.next();
        if (!path.isEmpty()) {
            if (current.isDirectory() && recursive) {
                if (isExcluded(path))
                    continue;
                folders.append(path);
            }
            lastPath = path;
            return path;
        }
        ++index;
        if (index >= folders.size()) {
            lastPath.clear();
            return QString();
        }
        const QString& folder = folders.at(index);
        if (!isExcluded(folder))
            current.setFolder(folder, index >= startCount);
        else
            current.setFolder(QString());
    }
}

QString FolderWalker::currentName() const
{
    return current.currentName();
}

QString FolderWalker::currentFolder() const
{
    const int slash = lastPath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : lastPath.left(slash);
}

bool FolderWalker::isCurrentDirectory() const
{
    return current.isDirectory();
}
