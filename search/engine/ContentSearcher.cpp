#include "search/engine/ContentSearcher.h"

#include "core/ContentFile.h"
#include "core/FileSearchException.h"
#include "core/FileUtils.h"
#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "core/ScopedFileRemover.h"
#include "search/engine/ContentScanner.h"
#include "search/engine/ContentSearchStats.h"
#include "search/engine/ConvertedTextCache.h"
#include "search/index/NTFSUtils.h"
#include "search/model/EncodingDetection.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/SearchExpression.h"
#include "search/model/StringMatcher.h"
#include "search/model/TempFileHolder.h"
#include "search/textextract/EPUBConverter.h"
#include "search/textextract/HtmlConverter.h"
#include "search/textextract/IFilter64Converter.h"
#include "search/textextract/IFilterConverter.h"
#include "search/textextract/MobiConverter.h"
#include "search/textextract/PDFConverter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFile>
#include <QMutexLocker>
#include <QWaitCondition>
#include <QTextCodec>
#include <QTextStream>

#include <cerrno>
#include <limits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const Tag = "ContentSearcher";

// The memory that documents converted inside this process may hold at once, in MiB, shared by
// every search and the preview: each conversion takes the bound of its converter before it
// starts (the document filters 96 MiB, the HTML, EPUB and Mobipocket converters 32 MiB; the PDF
// program and the helper program convert in processes of their own) and gives it back when it
// ends. A conversion that must wait polls the cancel flag.
class ConversionMemory
{
public:
    static constexpr int kBudgetMiB = 192;

    // False when the flag was raised while waiting (nothing taken then).
    bool take(int mib, const bool* cancelFlag)
    {
        QMutexLocker locker(&mutex);
        while (used + mib > kBudgetMiB) {
            if (ToPlainTextConverter::isCanceled(cancelFlag))
                return false;
            freed.wait(&mutex, 50);
        }
        used += mib;
        return true;
    }
    void give(int mib)
    {
        QMutexLocker locker(&mutex);
        used -= mib;
        freed.wakeAll();
    }

private:
    QMutex mutex;
    QWaitCondition freed;
    int used = 0;
};

ConversionMemory& conversionMemory()
{
    static ConversionMemory memory;
    return memory;
}

[[noreturn]] void throwCanceled(const FileSearchRequest* request)
{
    throw FileSearchCancelException(QStringLiteral("Request %1 canceled").arg(request->id),
                                    QStringLiteral("ContentSearcher"), 224);
}

// The encoding to read a text with, or `skip` for a binary file to leave out.
struct EncodingChoice
{
    bool skip = false;
    QString encoding;
};

// Counts the event in `stats` when a search counts them, else logs `message` (at `level`).
void note(ContentSearchStats* stats, std::atomic<int> ContentSearchStats::*counter, Logger::Level level,
          const QString& message)
{
    if (stats)
        ++(stats->*counter);
    else
        TQ_LOG(level, Tag, message);
}

EncodingChoice chooseEncoding(const ContentSearchOptions& options, QIODevice* device,
                              const QString& given, const QString& displayPath,
                              ContentSearchStats* stats)
{
    EncodingChoice choice;
    if (!given.isEmpty()) {
        choice.encoding = given;
        return choice;
    }
    if (!options.autoDetectEncoding && !options.skipBinary)
        return choice;
    const QString detected = detectEncoding(device);
    if (detected == QLatin1String("BINARY")) {
        if (options.skipBinary) {
            note(stats, &ContentSearchStats::binary, Logger::Info,
                 QStringLiteral("skip BINARY, file = %1").arg(displayPath));
            choice.skip = true;
        }
        return choice;
    }
    if (options.autoDetectEncoding)
        choice.encoding = detected;
    return choice;
}

// UTF-16 to UTF-8 at `out` (room for 3 bytes per unit); a surrogate without its partner
// becomes U+FFFD, as the matcher reads a decoded line. Returns the bytes written.
std::size_t toUtf8(const QChar* text, int length, char* out)
{
    char* o = out;
    for (int i = 0; i < length; ++i) {
        uint c = text[i].unicode();
        if (c < 0x80) {
            *o++ = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < length && QChar::isLowSurrogate(text[i + 1].unicode())) {
            c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;
        }
        if (c < 0x800) {
            *o++ = char(0xC0 | (c >> 6));
            *o++ = char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *o++ = char(0xE0 | (c >> 12));
            *o++ = char(0x80 | ((c >> 6) & 0x3F));
            *o++ = char(0x80 | (c & 0x3F));
        } else {
            *o++ = char(0xF0 | (c >> 18));
            *o++ = char(0x80 | ((c >> 12) & 0x3F));
            *o++ = char(0x80 | ((c >> 6) & 0x3F));
            *o++ = char(0x80 | (c & 0x3F));
        }
    }
    return std::size_t(o - out);
}

// The first block of a text, read once: the encoding is chosen from it (the detection looks
// at its first EncodingWindow bytes) and it is the first block matched. It is no larger than
// that window, so a binary file costs one small read. Per thread, allocated once.
struct Head
{
    std::vector<char> bytes = std::vector<char>(std::max<std::size_t>(EncodingWindow + 4, 64 * 1024));
    std::size_t size = 0;
    bool atEnd = false; // the whole text is in it
};

Head& threadHead()
{
    thread_local Head head;
    return head;
}

// Reads the next block of `file` at `offset` into `into` (at most `max` bytes); -1 on an
// error. A short read at or past the size the file had when it was opened is its end, without
// one more read to confirm it.
qint64 readBlock(const ContentFile& file, qint64 offset, char* into, qint64 max, bool* atEnd)
{
    qint64 got = 0;
    while (got < max) {
        const qint64 n = file.read(offset + got, into + got, max - got);
        if (n < 0)
            return -1;
        got += n;
        if (n == 0 || offset + got >= file.size())
            break;
    }
    *atEnd = got < max;
    return got;
}

// Hands the text of `file` to `scanner` as UTF-8, the first block being `head`: as it is when
// `codec` is UTF-8 (a leading byte-order mark skipped), else decoded with `codec` (whose decoder
// drops a leading mark) and encoded, a third of a block at a time. False on a read error.
bool readInto(const ContentFile& file, const Head& head, QTextCodec* codec, ContentScanner& scanner)
{
    const std::size_t block = ContentScanner::kBlockBytes;
    if (head.size > 0)
        scanner.markNotEmpty();
    if (codec->mibEnum() == 106) {
        std::size_t skip = head.size >= 3 && std::memcmp(head.bytes.data(), "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
        std::memcpy(scanner.space(), head.bytes.data() + skip, head.size - skip);
        if (scanner.commit(head.size - skip) || head.atEnd)
            return true;
        qint64 offset = qint64(head.size);
        for (;;) {
            bool atEnd = false;
            const qint64 got = readBlock(file, offset, scanner.space(), qint64(block), &atEnd);
            if (got < 0)
                return false;
            offset += got;
            if (scanner.commit(std::size_t(got)) || atEnd)
                return true;
        }
    }
    // At most three bytes of UTF-8 per byte read (a single-byte encoding beyond ASCII).
    const std::size_t third = block / 3;
    std::unique_ptr<QTextDecoder> decoder(codec->makeDecoder());
    const bool latin1 = codec->mibEnum() == 4;
    thread_local std::vector<char> raw;
    raw.resize(third);
    qint64 offset = 0;
    for (;;) {
        const char* from;
        qint64 n;
        bool atEnd = false;
        if (std::size_t(offset) < head.size) {
            from = head.bytes.data() + offset;
            n = qint64(std::min(third, head.size - std::size_t(offset)));
            atEnd = head.atEnd && std::size_t(offset + n) >= head.size;
        } else {
            n = readBlock(file, offset, raw.data(), qint64(third), &atEnd);
            if (n < 0)
                return false;
            from = raw.data();
        }
        offset += n;
        char* into = scanner.space();
        std::size_t produced = 0;
        if (latin1) {
            for (qint64 i = 0; i < n; ++i) {
                const unsigned char b = uchar(from[i]);
                if (b < 0x80) {
                    into[produced++] = char(b);
                } else {
                    into[produced++] = char(0xC0 | (b >> 6));
                    into[produced++] = char(0x80 | (b & 0x3F));
                }
            }
        } else {
            const QString text = decoder->toUnicode(from, int(n));
            produced = toUtf8(text.constData(), text.size(), into);
        }
        if (scanner.commit(produced) || atEnd || n == 0)
            return true;
    }
}

// The codec a text is read with, as QTextStream chooses it: the one named (by a converter or
// the detection), else the locale's; a byte-order mark at the start wins over either.
QTextCodec* readingCodec(QIODevice* head, const QString& encoding)
{
    QTextCodec* named = ContentSearcher::codecForEncoding(encoding, head);
    return QTextCodec::codecForUtfText(head->peek(4), named ? named : QTextCodec::codecForLocale());
}

} // namespace

ContentSearcher::ContentSearcher(Helper64Client* client, const QString& workFolder)
{
    pdfConverter = new PDFConverter;
    ifilterConverter = new IFilterConverter;
    ifilter64Converter = new IFilter64Converter(client);
    htmlConverter = new HtmlConverter;
    epubConverter = new EPUBConverter(htmlConverter);
    mobiConverter = new MobiConverter(htmlConverter);
    for (ToPlainTextConverter* c :
         std::initializer_list<ToPlainTextConverter*>{pdfConverter, ifilterConverter,
                                                      ifilter64Converter, htmlConverter,
                                                      epubConverter, mobiConverter})
        c->setWorkFolder(workFolder);
    textCache.reset(new ConvertedTextCache(workFolder));
    setSettings(ContentSearchOptions());
}

ContentSearcher::~ContentSearcher()
{
    current.reset();
    delete mobiConverter;
    delete epubConverter;
    delete htmlConverter;
    delete ifilter64Converter;
    delete ifilterConverter;
    delete pdfConverter;
}

void ContentSearcher::setSettings(const ContentSearchOptions& options)
{
    auto snap = std::make_shared<Snapshot>();
    snap->options = options;
    auto& map = snap->converterMap;
    if (options.useBuiltInPDF)
        map[QStringLiteral("pdf")].push_back(pdfConverter);

    auto listed = [](const QStringList& list, const QString& value) {
        return list.contains(value, Qt::CaseInsensitive);
    };
    // The in-process list first, then the helper's list, as one sequence.
    for (int pass = 0; pass < 2; ++pass) {
        const IFilterMap& filters = pass == 0 ? options.ifilters32 : options.ifilters64;
        const QStringList& disabledExtensions =
            pass == 0 ? options.disabledExtensions : options.disabledExtensions64;
        ToPlainTextConverter* converter =
            pass == 0 ? static_cast<ToPlainTextConverter*>(ifilterConverter)
                      : static_cast<ToPlainTextConverter*>(ifilter64Converter);
        for (const IFilterInfo& info : filters) {
            if (listed(options.disabledFilters, QString::fromStdWString(info.clsid)))
                continue;
            for (const std::wstring& ext : info.extensions) {
                const QString extension = QString::fromStdWString(ext);
                if (extension.isEmpty() || listed(disabledExtensions, extension))
                    continue;
                map[extension.toLower()].push_back(converter);
            }
        }
    }
    map[QStringLiteral("epub")].push_back(epubConverter);
    map[QStringLiteral("fb2")].push_back(htmlConverter);
    for (const char* book : {"mobi", "azw", "azw3", "prc"})
        map[QLatin1String(book)].push_back(mobiConverter);

    QMutexLocker locker(&snapshotMutex);
    current = std::move(snap);
}

ContentSearcher::SnapshotPtr ContentSearcher::snapshot() const
{
    QMutexLocker locker(&snapshotMutex);
    return current;
}

std::vector<ToPlainTextConverter*> ContentSearcher::convertersFor(const QString& extension) const
{
    const SnapshotPtr snap = snapshot();
    return snap->converterMap.value(extension.toLower());
}

bool ContentSearcher::convert(const ContentFile& document, QString* outPath, QIODevice* output,
                              const bool* cancelFlag, QString* encodingOut)
{
    const SnapshotPtr snap = snapshot();
    return convertWith(*snap, document, outPath, output, cancelFlag, encodingOut, nullptr);
}

bool ContentSearcher::convertWith(const Snapshot& snap, const ContentFile& document,
                                  QString* outPath, QIODevice* output, const bool* cancelFlag,
                                  QString* encodingOut, ContentSearchStats* stats)
{
    const QString extension = pathExtension(document.path()).toLower();
    if (extension.isEmpty())
        return false;
    const auto it = snap.converterMap.constFind(extension);
    if (it == snap.converterMap.constEnd() || it->empty())
        return false;
    for (ToPlainTextConverter* converter : *it) {
        // A converter that failed may have written part of a text: the next one starts afresh.
        if (QBuffer* buffer = qobject_cast<QBuffer*>(output)) {
            buffer->buffer().clear();
            buffer->seek(0);
        }
        const int mib = converter == ifilterConverter ? 96
                        : (converter == pdfConverter || converter == ifilter64Converter) ? 0 : 32;
        if (mib && !conversionMemory().take(mib, cancelFlag))
            return false; // cancelled while waiting for memory
        struct Give
        {
            int mib;
            ~Give()
            {
                if (mib)
                    conversionMemory().give(mib);
            }
        } give{mib};
        if (converter->convert(document, nullptr, outPath, output, QString(), cancelFlag)) {
            if (encodingOut)
                *encodingOut = converter->encoding();
            // A document that gives no text is searched as empty, and said so (or counted).
            const qint64 textBytes = outPath && !outPath->isEmpty() ? QFileInfo(*outPath).size() - 2
                                                                    : (output ? output->size() : 1);
            if (textBytes <= 0)
                note(stats, &ContentSearchStats::noText, Logger::Info,
                     QStringLiteral("No text in %1").arg(document.path()));
            return true;
        }
    }
    return false;
}

bool ContentSearcher::isUnconvertedDocument(const ContentFile& document, ContentSearchStats* stats)
{
    char head[68];
    const qint64 n = document.readFully(0, head, sizeof head);
    if (n <= 0 || !ToPlainTextConverter::isDocumentContainer(QByteArray(head, int(n))))
        return false;
    note(stats, &ContentSearchStats::notConverted, Logger::Info,
         QStringLiteral("%1 could not be converted; it is not read as text").arg(document.path()));
    return true;
}

QTextCodec* ContentSearcher::codecForEncoding(const QString& name, QIODevice* device)
{
    if (name.isEmpty())
        return nullptr;
    if (name.compare(QLatin1String("UTF16-BE"), Qt::CaseInsensitive) == 0)
        return QTextCodec::codecForName("UTF-16BE");
    if (name.compare(QLatin1String("UTF-16"), Qt::CaseInsensitive) == 0) {
        const QByteArray head = device ? device->peek(2) : QByteArray();
        if (head.size() == 2 && uchar(head[0]) == 0xFE && uchar(head[1]) == 0xFF)
            return QTextCodec::codecForName("UTF-16BE");
        return QTextCodec::codecForName("UTF-16LE");
    }
    return QTextCodec::codecForName(name.toLatin1());
}

bool ContentSearcher::find(const FileSearchRequest* request, const QString& path, int* matchCount)
{
    const ContentQueryPtr query = ContentQuery::fromRequest(*request);
    return find(*query, request, path, matchCount);
}

bool ContentSearcher::find(const ContentQuery& query, const FileSearchRequest* request,
                           const QString& path, int* matchCount)
{
    const SnapshotPtr snap = snapshot();
    return find(*snap, query, request, path, matchCount);
}

bool ContentSearcher::find(const Snapshot& snap, const ContentQuery& query,
                           const FileSearchRequest* request, const QString& path, int* matchCount,
                           ContentSearchStats* stats)
{
    // The one open of the file: only a regular file is opened for reading, and everything
    // below (converters, filters, the helper, the scan) reads this descriptor, never the path.
    const ContentFile document = ContentFile::open(path);
    if (!document.isOpen()) {
        if (document.status() != ContentFile::NotRegular)
            note(stats, &ContentSearchStats::unreadable, Logger::Warning,
                 QStringLiteral("find - Failed to open %1").arg(path));
        return false;
    }
    Text text = obtainText(snap, document, ToPlainTextConverter::cancelFlagOf(request->canceled), stats);
    ScopedFileRemover remover(text.temporary);
    switch (text.kind) {
    case Text::Empty:
        return ContentScanner(query, request, matchCount, nullptr).finish();
    case Text::Unreadable:
        return false;
    case Text::Converted:
        return scan(snap, query, request, text.file, text.encoding, matchCount, nullptr, stats);
    case Text::Failed:
        // A document whose conversion failed is never searched as the bytes of its container.
        if (isUnconvertedDocument(document, stats))
            return false;
        break;
    case Text::Own:
        break;
    }
    // The file itself, read as text.
    return scan(snap, query, request, document, QString(), matchCount, nullptr, stats);
}

ContentSearcher::Text ContentSearcher::obtainText(const Snapshot& snap, const ContentFile& document,
                                                  const bool* cancelFlag, ContentSearchStats* stats)
{
    Text text;
    const QString extension = pathExtension(document.path()).toLower();
    const auto chain = extension.isEmpty() ? snap.converterMap.constEnd() : snap.converterMap.constFind(extension);
    if (chain == snap.converterMap.constEnd() || chain->empty())
        return text;
    // The converters that are tried make part of the key: another choice gives another text.
    QString chainName;
    for (ToPlainTextConverter* converter : *chain) {
        chainName += converter == pdfConverter ? QStringLiteral("pdf:") + pdfConverter->program()
                     : converter == ifilterConverter ? QStringLiteral("filter")
                     : converter == ifilter64Converter ? QStringLiteral("helper")
                     : converter == htmlConverter ? QStringLiteral("html")
                     : converter == epubConverter ? QStringLiteral("epub") : QStringLiteral("mobi");
        chainName += QLatin1Char(',');
    }
    const QByteArray key = ConvertedTextCache::keyOf(document, chainName);
    if (textCache->find(key, &text.file, &text.encoding) == ConvertedTextCache::Lookup::Text) {
        text.kind = Text::Converted;
        text.path = textCache->pathOf(key, text.encoding);
        return text;
    }
    // The text goes to a file, never into memory: a document's text may be large.
    QString converted;
    if (!convertWith(snap, document, &converted, nullptr, cancelFlag, &text.encoding, stats)) {
        text.kind = Text::Failed;
        return text;
    }
    if (converted.isEmpty()) {
        text.kind = Text::Empty; // converted, with no text at all
        return text;
    }
    if (textCache->keep(key, converted, text.encoding)) {
        text.path = textCache->pathOf(key, text.encoding);
    } else {
        text.path = converted;
        text.temporary = converted;
    }
    text.file = ContentFile::open(text.path);
    if (!text.file.isOpen()) {
        note(stats, &ContentSearchStats::unreadable, Logger::Warning,
             QStringLiteral("Failed to open %1").arg(text.path));
        text.kind = Text::Unreadable;
        return text;
    }
    text.kind = Text::Converted;
    return text;
}

bool ContentSearcher::scan(const Snapshot& snap, const ContentQuery& query,
                           const FileSearchRequest* request, const ContentFile& text,
                           const QString& encoding, int* counter, TempFileHolder* holder,
                           ContentSearchStats* stats)
{
    if (!query.byteEngine) {
        ContentFileDevice device(text);
        const EncodingChoice choice = chooseEncoding(snap.options, &device, encoding, text.path(), stats);
        if (choice.skip)
            return false;
        return scanText(snap, query, &device, text.path(), choice.encoding, request, holder, counter);
    }
    // The first block is read once: the encoding is chosen from it, and it is matched first.
    Head& head = threadHead();
    const qint64 got = readBlock(text, 0, head.bytes.data(), qint64(head.bytes.size()), &head.atEnd);
    if (got < 0) {
        note(stats, &ContentSearchStats::unreadable, Logger::Warning,
             QStringLiteral("Failed to read %1").arg(text.path()));
        return false;
    }
    head.size = std::size_t(got);
    QBuffer headDevice;
    headDevice.setData(QByteArray::fromRawData(head.bytes.data(), int(head.size)));
    headDevice.open(QIODevice::ReadOnly);
    const EncodingChoice choice = chooseEncoding(snap.options, &headDevice, encoding, text.path(), stats);
    if (choice.skip)
        return false;
    headDevice.seek(0);
    QTextCodec* codec = readingCodec(&headDevice, choice.encoding);
    ContentScanner scanner(query, request, counter, holder);
    if (!readInto(text, head, codec, scanner)) {
        note(stats, &ContentSearchStats::unreadable, Logger::Warning,
             QStringLiteral("Failed to read %1").arg(text.path()));
        return false;
    }
    const bool matched = scanner.finish();
    if (holder)
        holder->lineCount = int(std::min<qint64>(scanner.lineCount(), std::numeric_limits<int>::max()));
    return matched;
}

bool ContentSearcher::findAll(const FileSearchRequest* request, const QString& path,
                              TempFileHolder* holder)
{
    const SnapshotPtr snap = snapshot();
    auto document = std::make_shared<ContentFile>(ContentFile::open(path));
    if (!document->isOpen()) {
        if (document->status() != ContentFile::NotRegular)
            TQ_LOG_WARNING(Tag, QStringLiteral("findAll - Failed to open %1").arg(path));
        return false; // a FIFO or a device is never read
    }
    Text text = obtainText(*snap, *document, ToPlainTextConverter::cancelFlagOf(request->canceled), nullptr);
    QString encoding;
    if (text.kind == Text::Unreadable)
        return false;
    if (text.kind == Text::Converted) {
        // A text kept by the cache belongs to it; a temporary one goes with the holder.
        holder->path = text.path;
        holder->removeFile = !text.temporary.isEmpty();
        encoding = text.encoding;
        document = std::make_shared<ContentFile>(std::move(text.file));
    } else {
        if (text.kind == Text::Failed && isUnconvertedDocument(*document, nullptr))
            return false;
        holder->path = path;
    }
    // The preview shows this very text: it keeps the descriptor instead of opening the path.
    holder->text = document;
    const ContentQueryPtr query = ContentQuery::fromRequest(*request);
    return scan(*snap, *query, request, *document, encoding, nullptr, holder);
}

// The line-by-line route for patterns of more terms than the byte engine takes: each line
// (read at most ContentScanner::kMaxLineUnits characters at a time, so a long line costs no
// more) goes through a SearchExpression.
bool ContentSearcher::scanText(const Snapshot& snap, const ContentQuery& query, QIODevice* device,
                               const QString& displayPath, const QString& encoding,
                               const FileSearchRequest* request, TempFileHolder* holder,
                               int* counter)
{
    Q_UNUSED(snap);
    Q_UNUSED(displayPath);
    device->seek(0);
    QTextStream stream(device);
    if (QTextCodec* codec = codecForEncoding(encoding, device))
        stream.setCodec(codec);
    stream.seek(0);

    SearchExpression expression(query.pattern, query.options);
    // Counting uses an expression of its own in line scope that reports every hit of every
    // term on every line (the deciding expression stops testing terms it has already found).
    std::unique_ptr<SearchExpression> counting;
    if (counter) {
        MatchOptions lineOptions = query.options;
        lineOptions.fileScope = 0;
        counting.reset(new SearchExpression(query.pattern, lineOptions));
    }
    bool matched = false;
    int n = 0;
    QString line;
    MatchPositions positions;
    while (!stream.atEnd()) {
        if (request->canceled)
            throwCanceled(request);
        stream.readLineInto(&line, ContentScanner::kMaxLineUnits);
        if (holder) {
            positions.clear();
            if (expression.match(line, &positions, nullptr) == SearchExpression::Matches)
                matched = true;
            if (!positions.isEmpty())
                holder->matches.append(MatchedLine(n, positions, line));
        } else {
            if (!matched && expression.match(line, nullptr, nullptr) == SearchExpression::Matches) {
                matched = true;
                if (!counter)
                    return true;
            }
            if (counter) {
                positions.clear();
                counting->match(line, &positions, nullptr);
                *counter += positions.size();
            }
        }
        ++n;
    }
    if (holder)
        holder->lineCount = n;
    if (matched)
        return true;
    return expression.evaluate() == SearchExpression::Matches;
}
