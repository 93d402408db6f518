#include "search/textextract/IFilterLoader.h"

#include "core/ContentFile.h"
#include "search/textextract/BinaryDocumentFilter.h"
#include "search/textextract/ExternalProgramFilter.h"
#include "search/textextract/MarkupFilter.h"
#include "search/textextract/OfficeXmlFilter.h"
#include "search/textextract/OpenDocumentFilter.h"

const QString kIFilterInterfaceId = QStringLiteral("{89BCB740-6119-101A-BCB7-00DD010655AF}");

namespace {

QString defaultValue(const IRegistry& registry, const QString& key)
{
    QString value;
    if (registry.queryValue(key, QString(), &value) != IRegistry::ErrorSuccess)
        return QString();
    return value;
}

} // namespace

std::unique_ptr<IFilter> createIFilter(const QString& module, const ContentFile& document)
{
    const QString m = module.trimmed().toLower();
    if (m == QLatin1String("tqfilter-ooxml"))
        return std::make_unique<OfficeXmlFilter>(document);
    if (m == QLatin1String("tqfilter-odf"))
        return std::make_unique<OpenDocumentFilter>(document);
    if (m == QLatin1String("tqfilter-html"))
        return std::make_unique<MarkupFilter>(document);
    if (m == QLatin1String("tqfilter-msword"))
        return std::make_unique<BinaryDocumentFilter>(BinaryDocumentFilter::Kind::Word, document);
    if (m == QLatin1String("tqfilter-msexcel"))
        return std::make_unique<BinaryDocumentFilter>(BinaryDocumentFilter::Kind::Excel, document);
    if (m == QLatin1String("tqfilter-mspowerpoint"))
        return std::make_unique<BinaryDocumentFilter>(BinaryDocumentFilter::Kind::PowerPoint, document);
    // "tqfilter-exec:<absolute program>": the program's output for the document (UTF-8).
    const QString exec = module.trimmed();
    if (exec.startsWith(QLatin1String("tqfilter-exec:/"), Qt::CaseInsensitive))
        return std::make_unique<ExternalProgramFilter>(exec.mid(14), QStringList(), document);
    return nullptr;
}

std::unique_ptr<IFilter> loadIFilter(const ContentFile& document, const IRegistry& registry,
                                     FilterResult* result)
{
    const QString& path = document.path();
    *result = FILTER_E_UNKNOWNFORMAT;
    const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot + 1 >= fileName.size())
        return nullptr;
    const QString ext = fileName.mid(dot + 1);
    if (ext.contains(QLatin1Char('\\')))
        return nullptr; // not a registry key name
    const QString classes = QStringLiteral("Software\\Classes\\");
    const QString handler =
        defaultValue(registry, classes + QLatin1Char('.') + ext + QStringLiteral("\\PersistentHandler"));
    if (handler.isEmpty() || handler.contains(QLatin1Char('\\')))
        return nullptr;
    const QString filter =
        defaultValue(registry, classes + QStringLiteral("CLSID\\") + handler
                                   + QStringLiteral("\\PersistentAddinsRegistered\\")
                                   + kIFilterInterfaceId);
    if (filter.isEmpty() || filter.contains(QLatin1Char('\\')))
        return nullptr;
    const QString module = defaultValue(
        registry, classes + QStringLiteral("CLSID\\") + filter + QStringLiteral("\\InprocServer32"));
    if (module.isEmpty())
        return nullptr;
    std::unique_ptr<IFilter> created = createIFilter(module, document);
    *result = created ? S_OK : REGDB_E_CLASSNOTREG;
    return created;
}
