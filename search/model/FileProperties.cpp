#include "search/model/FileProperties.h"

#include <QFileInfo>

FileProperties::FileProperties(const QString& fullPath, int matches)
    : matches(matches)
{
    const QFileInfo info(fullPath);
    const int slash = fullPath.lastIndexOf(QLatin1Char('/'));
    name = info.fileName();
    folder = slash < 0 ? QString() : fullPath.left(slash);
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
