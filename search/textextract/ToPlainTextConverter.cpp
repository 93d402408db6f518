#include "search/textextract/ToPlainTextConverter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ToPlainTextConverter::~ToPlainTextConverter() = default;

QString ToPlainTextConverter::textFolder() const
{
    if (workFolder.isEmpty())
        return QDir::tempPath();
    QFileInfo info(workFolder);
    if (info.isDir())
        return workFolder;
    // Several pool threads may get here at once: mkpath succeeds when the folder exists.
    if (!QDir().mkpath(workFolder))
        return QString();
    QFile::setPermissions(workFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner);
    return workFolder;
}
