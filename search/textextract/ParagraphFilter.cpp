#include "search/textextract/ParagraphFilter.h"

#include "core/ContentFile.h"

#include <QXmlStreamReader>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <algorithm>
#include <cstring>
#include <map>

// A zip member (or, for a flat XML document, the file itself) read through a budget of
// unpacked bytes shared by the whole archive. Once the budget is spent every read fails, which
// the XML reader reports as a premature end.
class ParagraphFilter::BoundedMember : public QIODevice
{
public:
    BoundedMember(QuaZip* zip, qint64* sharedBudget)
        : zipMember(zip)
        , member(&zipMember)
        , budget(sharedBudget)
    { }
    BoundedMember(const ContentFile& document, qint64* sharedBudget)
        : plainDocument(document)
        , member(&plainDocument)
        , budget(sharedBudget)
    {
    }

    bool openMember()
    {
        if (!member->isOpen() && !member->open(QIODevice::ReadOnly))
            return false;
        return QIODevice::open(QIODevice::ReadOnly);
    }
    void close() override
    {
        member->close();
        QIODevice::close();
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (*budget <= 0 || stopped)
            return -1;
        qint64 n = member->read(data, qMin(maxSize, *budget));
        if (n <= 0)
            return n;
        // The run of bytes since the last "<" (a text node, which the XML reader holds
        // whole): the member ends where it grows past kMaxTextRunBytes. Runs inside one read
        // are shorter than the read itself; the one going on from the last read, and the one
        // going on into the next, are counted.
        const char* first = static_cast<const char*>(std::memchr(data, '<', size_t(n)));
        const qint64 head = first ? first - data : n;
        if (run + head > kMaxTextRunBytes) {
            n = kMaxTextRunBytes - run;
            stopped = true;
        } else if (first) {
            const char* last = static_cast<const char*>(memrchr(data, '<', size_t(n)));
            run = n - (last - data) - 1;
        } else {
            run += n;
        }
        *budget -= n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QuaZipFile zipMember;
    ContentFileDevice plainDocument;
    QIODevice* member;
    qint64* budget;
    qint64 run = 0;
    bool stopped = false;
};

ParagraphFilter::ParagraphFilter() = default;

ParagraphFilter::~ParagraphFilter()
{
    closeMember();
    zip.reset(); // before the device it reads
}

FilterResult ParagraphFilter::getChunk(FilterChunk* chunk)
{
    while (pieces.isEmpty()) {
        const FilterResult r = readMore();
        if (r != S_OK) {
            current.clear();
            textPos = 0;
            return r;
        }
    }
    Piece piece = pieces.takeFirst();
    current = std::move(piece.text);
    textPos = 0;
    chunk->idChunk = ++chunkId;
    chunk->breakType = piece.endsParagraph ? CHUNK_EOP : CHUNK_NO_BREAK;
    chunk->flags = CHUNK_TEXT;
    return S_OK;
}

FilterResult ParagraphFilter::getText(quint32* count, char16_t* buffer)
{
    const int left = textPos < 0 ? 0 : current.size() - textPos;
    if (left <= 0) {
        *count = 0;
        return FILTER_E_NO_MORE_TEXT;
    }
    const int n = int(std::min<quint32>(*count, quint32(left)));
    std::memcpy(buffer, current.utf16() + textPos, size_t(n) * sizeof(char16_t));
    textPos += n;
    *count = quint32(n);
    return textPos >= current.size() ? FILTER_S_LAST_TEXT : S_OK;
}

bool ParagraphFilter::nextToken(QXmlStreamReader& reader, int* depth)
{
    reader.readNext();
    if (reader.hasError())
        return false;
    if (reader.isStartElement())
        return ++*depth <= kMaxElementDepth;
    if (reader.isEndElement())
        --*depth;
    return true;
}

FilterResult ParagraphFilter::poll()
{
    if (++tokens % 4096 != 0)
        return S_OK;
    if (control.canceled())
        return E_ABORT;
    if (control.deadline.hasExpired())
        return FILTER_E_TIMEOUT;
    return S_OK;
}

// Reads tokens until at least one paragraph is complete or a member ended.
// S_OK, FILTER_E_END_OF_CHUNKS when every member has been read, or a failure.
FilterResult ParagraphFilter::readMore()
{
    if (!xml) {
        for (;;) {
            if (members.isEmpty() || (!zip && !plain))
                return FILTER_E_END_OF_CHUNKS;
            if (plain) {
                file = std::make_unique<BoundedMember>(*plain, &unpackedLeft);
                if (file->openMember())
                    break;
                file.reset();
            } else if (zip->setCurrentFile(members.first().name)) {
                file = std::make_unique<BoundedMember>(zip.get(), &unpackedLeft);
                if (file->openMember())
                    break;
                file.reset();
            }
            members.removeFirst();
        }
        xml = std::make_unique<QXmlStreamReader>(file.get());
        depth = 0;
    }
    const TokenHandler& handler = members.first().handler;
    // nextToken fails on any reader error (a member that stops inflating part-way reads as a
    // premature end, which the reader would otherwise report again for ever).
    while (!xml->atEnd()) {
        if (!nextToken(*xml, &depth)) {
            closeMember();
            members.clear();
            return E_FAIL;
        }
        handler(*xml);
        const FilterResult r = poll();
        if (r != S_OK)
            return r;
        if (!pieces.isEmpty())
            return S_OK;
    }
    closeMember();
    members.removeFirst();
    return S_OK;
}

void ParagraphFilter::closeMember()
{
    xml.reset();
    if (file)
        file->close();
    file.reset();
}

void ParagraphFilter::reset(const FilterControl& ctl)
{
    closeMember();
    members.clear();
    pieces.clear();
    current.clear();
    textPos = -1;
    chunkId = 0;
    unpackedLeft = kMaxUnpackedBytes;
    control = ctl;
    plain = nullptr;
    zip.reset();
    archive.reset();
}

bool ParagraphFilter::openArchive(const ContentFile& document, const FilterControl& ctl)
{
    reset(ctl);
    archive = std::make_unique<ContentFileDevice>();
    if (!archive->setFile(document))
        return false;
    zip = std::make_unique<QuaZip>(archive.get());
    zip->setFileNameCodec("UTF-8");
    if (!zip->open(QuaZip::mdUnzip)) {
        zip.reset();
        return false;
    }
    return true;
}

bool ParagraphFilter::openPlainFile(const ContentFile& document, const FilterControl& ctl)
{
    reset(ctl);
    if (!document.isOpen())
        return false;
    plain = &document;
    return true;
}

bool ParagraphFilter::hasMember(const QString& name)
{
    return zip && zip->setCurrentFile(name);
}

FilterResult ParagraphFilter::parseWhole(const QString& name, const TokenHandler& handler)
{
    if (!hasMember(name))
        return FILTER_E_ACCESS;
    BoundedMember member(zip.get(), &unpackedLeft);
    if (!member.openMember())
        return FILTER_E_ACCESS;
    QXmlStreamReader reader(&member);
    int readerDepth = 0;
    while (!reader.atEnd()) {
        if (!nextToken(reader, &readerDepth))
            return E_FAIL;
        handler(reader);
        const FilterResult r = poll();
        if (r != S_OK)
            return r;
    }
    return S_OK;
}

void ParagraphFilter::endParagraph(QString& text)
{
    pieces.append(Piece{std::move(text), true});
    text = QString();
}

void ParagraphFilter::servePieceIfLong(QString& text)
{
    if (text.size() < kMaxPieceUnits)
        return;
    pieces.append(Piece{std::move(text), false});
    text = QString();
}

void ParagraphFilter::appendText(QString& text, const QStringRef& more)
{
    for (int at = 0; at < more.size();) {
        const int n = qMin(more.size() - at, kMaxPieceUnits - text.size());
        text.append(more.mid(at, n));
        at += n;
        servePieceIfLong(text);
    }
}

void ParagraphFilter::clearParagraphs()
{
    pieces.clear();
}

void ParagraphFilter::addMember(const QString& name, const TokenHandler& handler)
{
    members.append(Member{name, handler});
}

QStringList ParagraphFilter::numberedMembers(const QString& prefix, const QString& suffix)
{
    std::map<qulonglong, QString> found;
    const QStringList names = zip ? zip->getFileNameList() : QStringList();
    for (const QString& n : names) {
        if (!n.startsWith(prefix) || !n.endsWith(suffix) || n.size() <= prefix.size() + suffix.size())
            continue;
        bool ok = false;
        const qulonglong number =
            n.mid(prefix.size(), n.size() - prefix.size() - suffix.size()).toULongLong(&ok);
        if (ok)
            found.emplace(number, n);
    }
    QStringList result;
    for (const auto& entry : found)
        result << entry.second;
    return result;
}
