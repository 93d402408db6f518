#include "search/model/FileProperties.h"

#include "core/FileUtils.h"

#include <QFileInfo>

FileProperties::FileProperties(const QString& fullPath, int matches)
    : matches(matches)
{
    const QFileInfo info(fullPath);
    name = info.fileName();
    folder = pathDirectory(fullPath);
    isDir = info.isDir();
    size = info.size();
    modified = info.lastModified();
    created = info.birthTime();
    if (!created.isValid())
        created = info.metadataChangeTime();
    if (!created.isValid())
        created = modified;
    accessed = info.lastRead();
}
