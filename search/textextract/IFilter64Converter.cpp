#include "search/textextract/IFilter64Converter.h"

#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/textextract/Helper64Client.h"

bool IFilter64Converter::convert(const ContentFile& document, QIODevice*, QString* outPath,
                                 QIODevice*, const QString&, const bool* cancelFlag)
{
    if (!client || isCanceled(cancelFlag))
        return false;
    const QString& path = document.path();
    const QString reply = QString::fromStdWString(client->convert(document, cancelFlag));
    if (reply == QLatin1String("TIMEOUT")) {
        TQ_LOG_WARNING("IFilter64Converter",
                       QStringLiteral("convert TIMEOUT, file = %1").arg(path));
        return false;
    }
    if (reply.isEmpty())
        return false;
    if (outPath)
        *outPath = reply;
    return true;
}

QString IFilter64Converter::encoding() const
{
    return QString();
}
