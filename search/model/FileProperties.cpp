#include "search/model/FileProperties.h"

#include "core/FileUtils.h"

#include "search/model/FileStatus.h"

#include <QFileInfo>

FileProperties::FileProperties(const QString& fullPath, int matchCount)
    : matches(matchCount)
{
    name = QFileInfo(fullPath).fileName();
    folder = pathDirectory(fullPath);
    const FileStatus status(fullPath);
    isDir = status.isDir;
    size = status.size;
    modified = status.modified;
    created = status.created();
    if (!created.isValid())
        created = modified;
    accessed = status.accessed;
}
