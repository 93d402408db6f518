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
    return advance() ? current.currentPath() : QString();
}

bool FolderWalker::advance()
{
    for (;;) {
        if (current.advance()) {
            if (current.isDirectory() && recursive) {
                const QString path = current.currentPath();
                if (isExcluded(path))
                    continue;
                folders.append(path);
            }
            atEnd = false;
            return true;
        }
        ++index;
        if (index >= folders.size()) {
            atEnd = true;
            return false;
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
    return atEnd ? QString() : current.currentName();
}

QString FolderWalker::currentFolder() const
{
    if (atEnd)
        return QString();
    // The part of the entry's path before its last "/".
    const QString& folder = current.currentFolderPath();
    return folder.endsWith(QLatin1Char('/')) ? folder.left(folder.size() - 1) : folder;
}

bool FolderWalker::isCurrentDirectory() const
{
    return current.isDirectory();
}
