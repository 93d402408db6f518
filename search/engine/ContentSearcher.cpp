#include "search/engine/ContentSearcher.h"

#include "core/ContentFile.h"
#include "core/FileSearchException.h"
#include "core/FileUtils.h"
#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "core/ScopedFileRemover.h"
#include "search/engine/ByteScanner.h"
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

// Size of the read buffer of the raw-byte route; a longer line makes it grow.
constexpr size_t ReadBlock = size_t(1) << 20;

std::vector<char>& readBuffer()
{
    thread_local std::vector<char> buffer;
    if (buffer.size() < ReadBlock)
        buffer.resize(ReadBlock);
    return buffer;
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

EncodingChoice chooseEncoding(const ContentSearchOptions& options, QIODevice* device,
                              const QString& given, const QString& displayPath)
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
            Logger::instance().writeQString(Logger::Info, Tag,
                                            QStringLiteral("skip BINARY, file = %1").arg(displayPath));
            choice.skip = true;
        }
        return choice;
    }
    if (options.autoDetectEncoding)
        choice.encoding = detected;
    return choice;
}

// Hands a file's text to `onBlock(data, size)` in blocks of whole lines (each ends after a
// "\n", the last one at the end of the text), starting with the `have` bytes already in
// `buffer`, which were read from the file's start; a line longer than the buffer makes it
// grow. Stops when `onBlock` returns true. False on a read error. Throws when the request is
// cancelled.
template <class OnBlock>
bool readLineBlocks(const ContentFile& file, const FileSearchRequest* request,
                    std::vector<char>& buffer, size_t have, bool atEnd, OnBlock onBlock)
{
    qint64 offset = qint64(have);
    for (;;) {
        if (request->canceled)
            throwCanceled(request);
        size_t end = have;
        size_t keep = 0;
        if (!atEnd) {
            const void* lastNewline = memrchr(buffer.data(), '\n', have);
            if (lastNewline)
                end = size_t(static_cast<const char*>(lastNewline) - buffer.data()) + 1;
            else
                buffer.resize(buffer.size() * 2); // one line fills the buffer: read on
            keep = lastNewline ? have - end : have;
        }
        if (keep != have || atEnd) {
            if (onBlock(buffer.data(), end) || atEnd)
                return true;
            std::memmove(buffer.data(), buffer.data() + end, keep);
        }
        const qint64 got = file.readFully(offset, buffer.data() + keep, qint64(buffer.size() - keep));
        if (got < 0)
            return false;
        offset += got;
        atEnd = size_t(got) < buffer.size() - keep;
        have = keep + size_t(got);
    }
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
    return convertWith(*snap, document, outPath, output, cancelFlag, encodingOut);
}

bool ContentSearcher::convertWith(const Snapshot& snap, const ContentFile& document,
                                  QString* outPath, QIODevice* output, const bool* cancelFlag,
                                  QString* encodingOut)
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
        if (converter->convert(document, nullptr, outPath, output, QString(), cancelFlag)) {
            if (encodingOut)
                *encodingOut = converter->encoding();
            // A document that gives no text is searched as empty, and said so in the log.
            const qint64 textBytes = outPath && !outPath->isEmpty() ? QFileInfo(*outPath).size() - 2
                                                                    : (output ? output->size() : 1);
            if (textBytes <= 0)
                Logger::instance().writeQString(Logger::Info, Tag,
                                                QStringLiteral("No text in %1").arg(document.path()));
            return true;
        }
    }
    return false;
}

bool ContentSearcher::isUnconvertedDocument(const ContentFile& document)
{
    char head[68];
    const qint64 n = document.readFully(0, head, sizeof head);
    if (n <= 0 || !ToPlainTextConverter::isDocumentContainer(QByteArray(head, int(n))))
        return false;
    Logger::instance().writeQString(
        Logger::Info, Tag, QStringLiteral("%1 could not be converted; it is not read as text").arg(document.path()));
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
                           const FileSearchRequest* request, const QString& path, int* matchCount)
{
    // The one open of the file: only a regular file is opened for reading, and everything
    // below (converters, filters, the helper, the scan) reads this descriptor, never the path.
    const ContentFile document = ContentFile::open(path);
    if (!document.isOpen()) {
        if (document.status() != ContentFile::NotRegular)
            Logger::instance().writeQString(Logger::Warning, Tag,
                                            QStringLiteral("find - Failed to open %1").arg(path));
        return false;
    }
    const QString extension = pathExtension(path).toLower();
    if (!extension.isEmpty() && snap.converterMap.contains(extension)) {
        const bool* cancelFlag = ToPlainTextConverter::cancelFlagOf(request->canceled);
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        QString converted;
        QString encoding;
        const bool convertedOk =
            convertWith(snap, document, &converted, &buffer, cancelFlag, &encoding);
        ScopedFileRemover remover(converted);
        if (convertedOk && !converted.isEmpty()) {
            const ContentFile text = ContentFile::open(converted);
            ContentFileDevice device;
            if (!device.setFile(text)) {
                Logger::instance().writeQString(
                    Logger::Warning, Tag, QStringLiteral("find - Failed to open %1").arg(converted));
                return false;
            }
            return scanText(snap, query, &device, converted, encoding, request, nullptr, matchCount);
        }
        if (convertedOk) {
            buffer.seek(0);
            return scanText(snap, query, &buffer, path, encoding, request, nullptr, matchCount);
        }
        // A document whose conversion failed is never searched as the bytes of its container.
        if (isUnconvertedDocument(document))
            return false;
    }

    // The file itself, read as text.
    const int countBefore = matchCount ? *matchCount : 0;
    const int raw = scanRawFile(snap, query, request, document, matchCount);
    if (raw >= 0)
        return raw == 1;
    if (matchCount)
        *matchCount = countBefore; // the line-by-line route counts again from the start
    ContentFileDevice device(document);
    return scanText(snap, query, &device, path, QString(), request, nullptr, matchCount);
}

int ContentSearcher::scanRawFile(const Snapshot& snap, const ContentQuery& query,
                                 const FileSearchRequest* request, const ContentFile& file,
                                 int* matchCount)
{
    const QString& path = file.path();
    if (!query.fastEligible && !query.matcher)
        return -1;
    if (!query.options.fileScope && query.verdict(0))
        return -1; // lines without any term match: only the line-by-line route sees them
    const QTextCodec* locale = QTextCodec::codecForLocale();
    const int localeMib = locale ? locale->mibEnum() : 0;

    std::vector<char>& buffer = readBuffer();
    // What one very long line needed is given back when the scan ends, also by a cancellation
    // (a smaller size alone would keep the capacity for the life of the pool thread).
    struct Shrink
    {
        std::vector<char>& buffer;
        ~Shrink()
        {
            if (buffer.capacity() > 4 * ReadBlock)
                std::vector<char>(ReadBlock).swap(buffer);
        }
    } shrink{buffer};
    const qint64 got = file.readFully(0, buffer.data(), qint64(buffer.size()));
    if (got < 0)
        return -1;
    size_t have = size_t(got);
    bool atEnd = have < buffer.size();

    const QByteArray head = QByteArray::fromRawData(buffer.data(), int(have));
    QBuffer headDevice;
    headDevice.setData(head);
    headDevice.open(QIODevice::ReadOnly);
    const EncodingChoice choice = chooseEncoding(snap.options, &headDevice, QString(), path);
    if (choice.skip)
        return 0;

    // A byte-order mark makes QTextStream switch to the marked encoding whatever the codec.
    const unsigned char* b = reinterpret_cast<const unsigned char*>(buffer.data());
    if (have >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF)))
        return -1;
    if (have >= 4 && b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF)
        return -1;
    bool utf8;
    if (choice.encoding == QLatin1String("UTF-8")) {
        utf8 = true;
    } else if (choice.encoding.isEmpty() && localeMib == 106) {
        utf8 = true;
    } else if (choice.encoding.isEmpty() && localeMib == 4) {
        utf8 = false;
        if (have >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
            return -1;
    } else {
        return -1;
    }
    if (query.termCount() == 0)
        return query.verdict(0) ? 1 : 0; // no term to look for: the pattern alone decides
    int result;
    if (query.fastEligible) {
        ByteScanner scanner(query, utf8, matchCount);
        if (!readLineBlocks(file, request, buffer, have, atEnd,
                            [&](const char* data, size_t size) { return scanner.feed(data, size); }))
            result = -1;
        else if (scanner.needsSlowRoute())
            result = -1;
        else
            result = scanner.result() ? 1 : 0;
    } else {
        // Block pre-test: only a text in which no term occurs at all is decided here.
        const TermMask all = TermMask::firstBits(query.termCount());
        QString text;
        bool someTerm = false;
        const bool read = readLineBlocks(file, request, buffer, have, atEnd,
                                         [&](const char* data, size_t size) {
            if (size > size_t(std::numeric_limits<int>::max()) / 2) {
                someTerm = true; // too long for one string: the line route decides
                return true;
            }
            text = utf8 ? QString::fromUtf8(data, int(size)) : QString::fromLatin1(data, int(size));
            someTerm = !query.matcher->match(text, all, nullptr, nullptr).isEmpty();
            return someTerm;
        });
        result = (!read || someTerm) ? -1 : (query.verdict(0) ? 1 : 0);
    }
    return result;
}

bool ContentSearcher::findAll(const FileSearchRequest* request, const QString& path,
                              TempFileHolder* holder)
{
    const SnapshotPtr snap = snapshot();
    auto document = std::make_shared<ContentFile>(ContentFile::open(path));
    if (!document->isOpen()) {
        if (document->status() != ContentFile::NotRegular)
            Logger::instance().writeQString(Logger::Warning, Tag,
                                            QStringLiteral("findAll - Failed to open %1").arg(path));
        return false; // a FIFO or a device is never read
    }
    const bool* cancelFlag = ToPlainTextConverter::cancelFlagOf(request->canceled);
    QString converted;
    QString encoding;
    convertWith(*snap, *document, &converted, nullptr, cancelFlag, &encoding);
    if (!converted.isEmpty()) {
        holder->path = converted;
        holder->removeFile = true;
        document = std::make_shared<ContentFile>(ContentFile::open(converted));
        if (!document->isOpen()) {
            Logger::instance().writeQString(Logger::Warning, Tag,
                                            QStringLiteral("findAll - Failed to open %1").arg(converted));
            return false;
        }
    } else {
        if (snap->converterMap.contains(pathExtension(path).toLower()) && isUnconvertedDocument(*document))
            return false;
        holder->path = path;
        encoding.clear();
    }
    // The preview shows this very text: it keeps the descriptor instead of opening the path.
    holder->text = document;
    ContentFileDevice device(*document);
    const ContentQueryPtr query = ContentQuery::fromRequest(*request);
    return scanText(*snap, *query, &device, holder->path, encoding, request, holder, nullptr);
}

bool ContentSearcher::scanText(const Snapshot& snap, const ContentQuery& query, QIODevice* device,
                               const QString& displayPath, const QString& encoding,
                               const FileSearchRequest* request, TempFileHolder* holder,
                               int* counter)
{
    const EncodingChoice choice = chooseEncoding(snap.options, device, encoding, displayPath);
    if (choice.skip)
        return false;
    device->seek(0);
    QTextStream stream(device);
    if (QTextCodec* codec = codecForEncoding(choice.encoding, device))
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
        stream.readLineInto(&line);
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
