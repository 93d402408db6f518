#include "search/textextract/IFilterConverter.h"

#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/textextract/IFilterLoader.h"
#include "search/textextract/RegistryFile.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>
#include <QtEndian>

#include <map>
#include <vector>

#include <sys/stat.h>

namespace {

const char kTag[] = "IFilterConvert";
const QString kClasses = QStringLiteral("Software\\Classes");

// Size of the text buffer handed to getText, in UTF-16 units.
constexpr quint32 kTextBufferUnits = 102400;

QString hexCode(FilterResult code)
{
    return QString::number(quint32(code), 16);
}

// Step 1: persistent handler (lower-cased) -> extensions naming it.
std::map<std::wstring, std::list<std::wstring>> handlersOfExtensions(const IRegistry& registry)
{
    std::map<std::wstring, std::list<std::wstring>> handlers;
    long rc = registry.openKey(kClasses);
    if (rc != IRegistry::ErrorSuccess) {
        qDebug().noquote() << QStringLiteral("RegOpenKeyEx failed, error %1").arg(rc);
        return handlers;
    }
    for (int index = 0;; ++index) {
        QString name;
        rc = registry.enumKey(kClasses, index, &name);
        if (rc == IRegistry::ErrorNoMoreItems)
            break;
        if (rc != IRegistry::ErrorSuccess) {
            qDebug().noquote() << QStringLiteral("RegEnumKeyEx failed, error %1").arg(rc);
            break;
        }
        if (!name.startsWith(QLatin1Char('.')))
            continue;
        const QString key = kClasses + QLatin1Char('\\') + name + QStringLiteral("\\PersistentHandler");
        if (registry.openKey(key) != IRegistry::ErrorSuccess)
            continue;
        QString value;
        if (registry.queryValue(key, QString(), &value) != IRegistry::ErrorSuccess)
            continue;
        value = value.toLower();
        if (value.isEmpty())
            continue;
        handlers[value.toStdWString()].push_back(name.mid(1).toStdWString());
    }
    return handlers;
}

// Reads the default value of a key that must exist, writing the debug line on failure.
bool readDefault(const IRegistry& registry, const QString& key, QString* value, bool quietMissing)
{
    long rc = registry.openKey(key);
    if (rc != IRegistry::ErrorSuccess) {
        qDebug().noquote() << QStringLiteral("RegOpenKeyEx failed, error %1").arg(rc);
        return false;
    }
    rc = registry.queryValue(key, QString(), value);
    if (rc != IRegistry::ErrorSuccess) {
        if (!quietMissing)
            qDebug().noquote() << QStringLiteral("RegQueryValueEx failed, error %1").arg(rc);
        return false;
    }
    return true;
}

// The text file of an extraction: UTF-16LE, at most `limit` bytes of text after the mark.
// What a write brings past the bound is dropped (never half a surrogate pair) and the text
// counts as cut.
class BoundedTextFile
{
public:
    BoundedTextFile(QFile& out, qint64 limit)
        : file(out)
        , room(limit)
    { }

    // False when the file refused the text.
    bool write(const char16_t* units, qint64 count)
    {
        const qint64 n = TextLimits::unitsThatFit(units, count, room);
        if (n < count)
            cut = true;
        if (n <= 0)
            return true;
        room -= n * 2;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        return file.write(reinterpret_cast<const char*>(units), n * 2) == n * 2;
#else
        QByteArray le(int(n * 2), Qt::Uninitialized);
        qToLittleEndian<quint16>(units, n, le.data());
        return file.write(le) == le.size();
#endif
    }
    // True once text was dropped at the bound: nothing more is written.
    bool full() const { return cut; }

private:
    QFile& file;
    qint64 room;
    bool cut = false;
};

enum class Pulled { Written, TimedOut, WriteFailed };

// Writes the text of the current chunk as the filter hands it out, carriage returns turned
// into line feeds, and "\r\n" after a chunk that ends a sentence, paragraph or chapter. A
// getText that succeeds without giving text ends the chunk's text too (a filter repeating
// that would otherwise be asked for ever).
Pulled pullChunkText(IFilter& filter, const FilterChunk& chunk, std::vector<char16_t>& buffer,
                     const QElapsedTimer& started, int timeLimitSeconds, BoundedTextFile& out)
{
    for (;;) {
        if (timeLimitSeconds > 0 && double(started.elapsed()) / 1000.0 > double(timeLimitSeconds))
            return Pulled::TimedOut;
        quint32 count = kTextBufferUnits;
        const FilterResult r = filter.getText(&count, buffer.data());
        count = qMin(count, kTextBufferUnits);
        for (quint32 i = 0; i < count; ++i) {
            if (buffer[i] == u'\r')
                buffer[i] = u'\n';
        }
        if (!filterSucceeded(r) || count == 0)
            break;
        if (!out.write(buffer.data(), count))
            return Pulled::WriteFailed;
        if (r == FILTER_S_LAST_TEXT || out.full())
            break;
    }
    if (chunk.breakType == CHUNK_EOS || chunk.breakType == CHUNK_EOP || chunk.breakType == CHUNK_EOC) {
        if (!out.write(u"\r\n", 2))
            return Pulled::WriteFailed;
    }
    return Pulled::Written;
}

} // namespace

std::list<IFilterInfo> getIFiltersFromRegistry()
{
    return getIFiltersFromRegistry(*RegistryFile::machine());
}

std::list<IFilterInfo> getIFiltersFromRegistry(const IRegistry& registry)
{
    std::list<IFilterInfo> result;
    const auto handlers = handlersOfExtensions(registry);
    const QString clsidRoot = kClasses + QStringLiteral("\\CLSID\\");
    for (const auto& entry : handlers) {
        const QString handler = QString::fromStdWString(entry.first);
        const QString addinKey = clsidRoot + handler + QStringLiteral("\\PersistentAddinsRegistered\\")
                                 + kIFilterInterfaceId;
        const long rc = registry.openKey(addinKey);
        if (rc != IRegistry::ErrorSuccess) {
            qDebug().noquote() << QStringLiteral("RegOpenKeyEx failed, error %1").arg(rc);
            continue;
        }
        QString filterId;
        if (registry.queryValue(addinKey, QString(), &filterId) != IRegistry::ErrorSuccess
            || filterId.isEmpty())
            continue;
        QString name;
        if (!readDefault(registry, clsidRoot + filterId, &name, false))
            continue;
        QString module;
        if (!readDefault(registry, clsidRoot + filterId + QStringLiteral("\\InprocServer32"), &module,
                         false))
            continue;
        IFilterInfo info;
        info.clsid = filterId.toStdWString();
        info.name = name.toStdWString();
        info.extensions = entry.second;
        result.push_back(std::move(info));
    }
    return result;
}

std::wstring extractIFilterText(const ContentFile& document, const std::wstring& folder,
                                const bool* cancelFlag, int timeLimitSeconds)
{
    return extractIFilterText(*RegistryFile::machine(), document, folder, cancelFlag,
                              timeLimitSeconds);
}

std::wstring extractIFilterText(const IRegistry& registry, const ContentFile& document,
                                const std::wstring& folderW, const bool* cancelFlag,
                                int timeLimitSeconds, qint64 maxTextBytes)
{
    QElapsedTimer started;
    started.start();
    const QString& path = document.path();
    const QString folder = QString::fromStdWString(folderW);

    FilterResult rc = S_OK;
    std::unique_ptr<IFilter> filter = loadIFilter(document, registry, &rc);
    if (!filter) {
        if (rc != FILTER_E_UNKNOWNFORMAT)
            TQ_LOG_INFO(kTag, QStringLiteral("Failed to load ifilter for file %1, error 0x%2")
                                  .arg(path, hexCode(rc)));
        return std::wstring();
    }

    FilterControl control;
    control.cancelFlag = cancelFlag;
    if (timeLimitSeconds > 0)
        control.deadline = QDeadlineTimer(qint64(timeLimitSeconds) * 1000);
    control.maxTextBytes = maxTextBytes;
    rc = filter->init(IFILTER_INIT_APPLY_INDEX_ATTRIBUTES | IFILTER_INIT_APPLY_OTHER_ATTRIBUTES
                          | IFILTER_INIT_INDEXING_ONLY | IFILTER_INIT_APPLY_CRAWL_ATTRIBUTES
                          | IFILTER_INIT_FILTER_OWNED_VALUE_OK,
                      control);
    if (rc == FILTER_E_TIMEOUT)
        return L"TIMEOUT";
    if (rc == E_ABORT)
        return std::wstring();
    if (!filterSucceeded(rc)) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Failed to init ifilter for file %1, error 0x%2")
                                 .arg(path, hexCode(rc)));
        return std::wstring();
    }

    if (folder.isEmpty()) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Failed to create a file"));
        return std::wstring();
    }
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    QTemporaryFile out(folder + QStringLiteral("/ifilterXXXXXX.tmp"));
    out.setAutoRemove(false);
    if (!out.open()) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Failed to create a file"));
        return std::wstring();
    }
    const QString outPath = out.fileName();
    auto discard = [&]() {
        out.close();
        QFile::remove(outPath);
    };

    bool ok = out.write("\xFF\xFE", 2) == 2;
    BoundedTextFile text(out, maxTextBytes);
    std::vector<char16_t> buffer(kTextBufferUnits);
    FilterChunk chunk;
    FilterResult chunkResult = S_OK;
    // The chunks end at the bound of the text: the filter is asked for nothing more.
    while (ok && !text.full() && filterSucceeded(chunkResult = filter->getChunk(&chunk))) {
        if (ToPlainTextConverter::isCanceled(cancelFlag)) {
            discard();
            return std::wstring();
        }
        if (!(chunk.flags & CHUNK_TEXT))
            continue;
        const Pulled pulled = pullChunkText(*filter, chunk, buffer, started, timeLimitSeconds, text);
        if (pulled == Pulled::TimedOut) {
            discard();
            return L"TIMEOUT";
        }
        ok = pulled == Pulled::Written;
    }
    // Filters that read the document while chunks are asked for report cancellation and the
    // time limit through getChunk; any other failure ends the chunks as the last one does.
    if (chunkResult == E_ABORT || ToPlainTextConverter::isCanceled(cancelFlag)) {
        discard();
        return std::wstring();
    }
    if (chunkResult == FILTER_E_TIMEOUT) {
        discard();
        return L"TIMEOUT";
    }
    ok = ok && out.flush();
    if (!ok) {
        TQ_LOG_WARNING(
            kTag,
            QStringLiteral("Failed to write the text of %1: %2").arg(path, out.errorString()));
        discard();
        return std::wstring();
    }
    out.close();
    if (text.full())
        TQ_LOG_WARNING(kTag, TextLimits::cutMessage(path, maxTextBytes));
    return outPath.toStdWString();
}

bool IFilterConverter::convert(const ContentFile& document, QIODevice*, QString* outPath,
                               QIODevice*, const QString&, const bool* cancelFlag)
{
    const QString folder = textFolder();
    if (folder.isEmpty())
        return false;
    const std::wstring result =
        extractIFilterText(*RegistryFile::machine(), document, folder.toStdWString(), cancelFlag, 0,
                           textLimit());
    if (result.empty())
        return false;
    if (outPath)
        *outPath = QString::fromStdWString(result);
    return true;
}

QString IFilterConverter::encoding() const
{
    return QString();
}
