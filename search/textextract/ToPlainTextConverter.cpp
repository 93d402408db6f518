#include "search/textextract/ToPlainTextConverter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "core/ContentFile.h"
#include "core/Logger.h"

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

bool ToPlainTextConverter::openTextFile(QTemporaryFile* file, const QString& prefix,
                                        const char* logTag) const
{
    const QString folder = textFolder();
    if (!folder.isEmpty()) {
        file->setFileTemplate(folder + QLatin1Char('/') + prefix + QStringLiteral(".XXXXXX"));
        if (file->open())
            return true;
    }
    TQ_LOG_WARNING(logTag, QStringLiteral("Failed to create a text file in %1").arg(workFolder));
    return false;
}

QIODevice* ToPlainTextConverter::openDocument(const ContentFile& document, QIODevice* input,
                                              ContentFileDevice* device, const char* logTag)
{
    if (input)
        return input;
    if (!device->setFile(document)) {
        TQ_LOG_WARNING(logTag, QStringLiteral("Failed to open %1").arg(document.path()));
        return nullptr;
    }
    return device;
}

bool ToPlainTextConverter::finishText(QTemporaryFile* file, bool written, QString* outPath,
                                      const QString& path, const char* logTag)
{
    if (!written || (file && !file->flush())) {
        TQ_LOG_WARNING(logTag, QStringLiteral("Failed to write the text of %1").arg(path));
        if (file)
            file->remove();
        return false;
    }
    if (file) {
        file->setAutoRemove(false);
        file->close();
        if (outPath)
            *outPath = file->fileName();
    }
    return true;
}

bool ToPlainTextConverter::isDocumentContainer(const QByteArray& head)
{
    return head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") || head.startsWith("PK\x03\x04")
           || head.startsWith("{\\rtf") || head.startsWith("%PDF-") || head.mid(60, 8) == "BOOKMOBI"
           || head.mid(60, 8) == "TEXtREAd";
}
