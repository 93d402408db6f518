#include "search/engine/FolderWalker.h"

#include "core/FileNameCodec.h"

#include <sys/stat.h>

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

void FolderWalker::stayOnVolumes(const QSet<QString>& points)
{
    oneVolume = true;
    mountPoints = points;
    origin.clear();
    for (int i = 0; i < startCount; ++i)
        origin.append(i);
    startDevice = QVector<quint64>(startCount, 0);
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
                // Another mount is returned as an entry of this volume but not listed.
                if (oneVolume && mountPoints.contains(path)) {
                    atEnd = false;
                    return true;
                }
                folders.append(path);
                if (oneVolume)
                    origin.append(origin.at(index));
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
        if (isExcluded(folder)) {
            current.setFolder(QString());
            continue;
        }
        quint64 device = 0;
        if (oneVolume) {
            struct stat st;
            const bool read = ::stat(FileNameCodec::encode(folder).constData(), &st) == 0;
            if (index < startCount) {
                startDevice[index] = read ? quint64(st.st_dev) : 0;
            } else {
                device = startDevice.at(origin.at(index));
                // A folder on another device is a mount the volume layer does not know (a
                // pseudo, overlay or image file system): it is not listed.
                if (!read || (device != 0 && quint64(st.st_dev) != device)) {
                    current.setFolder(QString());
                    continue;
                }
            }
        }
        current.setFolder(folder, index >= startCount);
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
