#include "search/textextract/MobiConverter.h"

#include "core/ContentFile.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "search/textextract/ByteFields.h"
#include "search/textextract/HtmlConverter.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <cstring>
#include <limits>
#include <vector>

namespace {

using namespace ByteFields;

const QString kTag = QStringLiteral("MobiConverter");
constexpr int kRecordLimit = 4096;
// A text record is at most 4096 bytes plus a few trailing entries; anything far larger is
// not a text record and is not read into memory.
constexpr qint64 kRawRecordLimit = 64 * 1024;
constexpr quint16 kHuffCdic = 17480;

struct Record
{
    qint64 offset;
    qint64 size;
};

// The HUFF/CDIC decompression of Mobipocket: a Huffman code (the HUFF record: a 256-entry
// table for the first 8 bits of a code at the offset at 8, and the lowest and highest codes
// of each length 1 to 32 at the offset at 12, all big-endian) whose symbols are the phrases
// of the CDIC records (16-bit offsets after a 16-byte header; each phrase a 16-bit length,
// the top bit set for a literal phrase, clear for one that is itself compressed).
class HuffCdic
{
public:
    bool loadHuff(const QByteArray& h)
    {
        if (h.size() < 24 || !h.startsWith("HUFF"))
            return false;
        const quint32 off1 = be32(h, 8), off2 = be32(h, 12);
        if (qint64(off1) + 1024 > h.size() || qint64(off2) + 256 > h.size())
            return false;
        for (int i = 0; i < 256; ++i) {
            const quint32 v = be32(h, int(off1) + 4 * i);
            Code& c = codes[i];
            c.length = v & 0x1F;
            c.terminal = v & 0x80;
            if (c.length == 0)
                return false;
            c.maxCode = quint32((((quint64(v >> 8) + 1) << (32 - c.length)) - 1) & 0xFFFFFFFFu);
        }
        minCodes[0] = 0;
        maxCodes[0] = 0;
        for (int length = 1; length <= 32; ++length) {
            minCodes[length] = quint32((quint64(be32(h, int(off2) + 8 * (length - 1))) << (32 - length)) & 0xFFFFFFFFu);
            maxCodes[length] = quint32((((quint64(be32(h, int(off2) + 8 * (length - 1) + 4)) + 1) << (32 - length)) - 1)
                                       & 0xFFFFFFFFu);
        }
        return true;
    }

    bool loadCdic(const QByteArray& c)
    {
        if (c.size() < 16 || !c.startsWith("CDIC"))
            return false;
        const quint32 phrases = qMin<quint32>(be32(c, 8), kMaxPhrases);
        const quint32 bits = be32(c, 12);
        if (bits > 20 || phrases <= quint32(phrases_.size()))
            return false;
        const quint32 n = qMin<quint32>(1u << bits, phrases - quint32(phrases_.size()));
        for (quint32 i = 0; i < n; ++i) {
            const int off = 16 + be16(c, 16 + 2 * int(i));
            const quint16 length = be16(c, off);
            Phrase p;
            p.literal = length & 0x8000;
            p.data = c.mid(off + 2, length & 0x7FFF);
            phrases_.push_back(p);
        }
        return true;
    }

    // The decompressed record; false when the data does not follow the code.
    bool unpack(const QByteArray& data, QByteArray* out, int depth = 0)
    {
        if (depth > kMaxDepth)
            return false;
        qint64 bitsLeft = qint64(data.size()) * 8;
        const QByteArray padded = data + QByteArray(8, '\0');
        int pos = 0;
        quint64 x = be64(padded, 0);
        int n = 32;
        for (;;) {
            if (n <= 0) {
                pos += 4;
                x = be64(padded, pos);
                n += 32;
            }
            const quint32 code = quint32((x >> n) & 0xFFFFFFFFu);
            const Code& c = codes[code >> 24];
            int length = c.length;
            quint32 maxCode = c.maxCode;
            if (!c.terminal) {
                while (length <= 32 && code < minCodes[length])
                    ++length;
                if (length > 32)
                    return false;
                maxCode = maxCodes[length];
            }
            n -= length;
            bitsLeft -= length;
            if (bitsLeft < 0)
                break;
            const quint64 index = length == 32 ? quint64(maxCode - code) : quint64(maxCode - code) >> (32 - length);
            if (index >= phrases_.size())
                return false;
            Phrase& p = phrases_[size_t(index)];
            if (!p.literal) {
                if (p.busy)
                    return false; // a phrase that contains itself
                p.busy = true;
                QByteArray expanded;
                const bool ok = unpack(p.data, &expanded, depth + 1);
                p.busy = false;
                if (!ok || expandedBytes + expanded.size() > kMaxExpanded)
                    return false;
                expandedBytes += expanded.size();
                p.data = expanded;
                p.literal = true;
            }
            out->append(p.data);
            if (out->size() > kMaxOutput)
                return true; // a text record is far smaller: the rest is not read
        }
        return true;
    }

    bool ready() const { return !phrases_.empty(); }

private:
    struct Code
    {
        int length = 0;
        bool terminal = false;
        quint32 maxCode = 0;
    };
    struct Phrase
    {
        QByteArray data;
        bool literal = true;
        bool busy = false;
    };
    static quint64 be64(const QByteArray& b, int at)
    {
        return at + 8 <= b.size() ? qFromBigEndian<quint64>(b.constData() + at) : 0;
    }
    static constexpr quint32 kMaxPhrases = 1u << 20;
    static constexpr int kMaxDepth = 32;
    static constexpr int kMaxOutput = 64 * 1024;
    static constexpr qint64 kMaxExpanded = qint64(64) << 20;
    Code codes[256];
    quint32 minCodes[33] = {};
    quint32 maxCodes[33] = {};
    std::vector<Phrase> phrases_;
    qint64 expandedBytes = 0;
};

// The book's text as one stream: the text records are read and decoded one at a time as the
// HTML converter reads on, so a book of many records never sits in memory whole. The stream
// ends at the last text record, at a record that cannot be read or is too large, and when
// the conversion is cancelled (canceled() then tells).
class TextRecordStream : public QIODevice
{
public:
    TextRecordStream(QIODevice* book, const std::vector<Record>& records, int lastText,
                     quint16 compression, quint32 extraFlags, const bool* cancelFlag,
                     HuffCdic* huff, qint64 limit)
        : book_(book), records_(records), lastText_(lastText), compression_(compression),
          extraFlags_(extraFlags), cancelFlag_(cancelFlag), huff_(huff), left_(limit)
    {
        open(QIODevice::ReadOnly);
        loadNext();
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return current_.size() - at_ + QIODevice::bytesAvailable();
    }
    bool canceled() const { return canceled_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        qint64 done = 0;
        while (done < maxSize && at_ < current_.size()) {
            const qint64 n = qMin<qint64>(maxSize - done, current_.size() - at_);
            memcpy(data + done, current_.constData() + at_, size_t(n));
            done += n;
            at_ += int(n);
            if (at_ == current_.size())
                loadNext();
        }
        return done > 0 || at_ < current_.size() ? done : -1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    // Makes the next text record that holds bytes current; none left: empty.
    void loadNext()
    {
        current_.clear();
        at_ = 0;
        while (current_.isEmpty() && next_ <= lastText_) {
            if (ToPlainTextConverter::isCanceled(cancelFlag_)) {
                canceled_ = true;
                next_ = lastText_ + 1;
                return;
            }
            const Record& rec = records_[size_t(next_++)];
            QByteArray data;
            if (rec.size <= kRawRecordLimit && book_->seek(rec.offset))
                data = book_->read(rec.size);
            if (data.size() != rec.size) {
                next_ = lastText_ + 1;
                return;
            }
            data.chop(MobiConverter::trailingEntriesSize(data, extraFlags_));
            if (data.size() > kRecordLimit) {
                next_ = lastText_ + 1;
                return;
            }
            if (compression_ == 2) {
                current_ = MobiConverter::decompressPalmDoc(data);
            } else if (compression_ == kHuffCdic) {
                if (!huff_->unpack(data, &current_)) {
                    current_.clear();
                    next_ = lastText_ + 1;
                    return;
                }
            } else {
                current_ = data;
            }
            // The text ends where its flow ends (a KF8 book's style sheets follow it).
            if (current_.size() > left_)
                current_.truncate(int(left_));
            left_ -= current_.size();
        }
    }

    QIODevice* book_;
    const std::vector<Record>& records_;
    const int lastText_;
    const quint16 compression_;
    const quint32 extraFlags_;
    const bool* cancelFlag_;
    HuffCdic* huff_;
    qint64 left_;
    int next_ = 1;
    QByteArray current_;
    int at_ = 0;
    bool canceled_ = false;
};

} // namespace

MobiConverter::MobiConverter(HtmlConverter* html)
    : htmlConverter(html)
{
}

QString MobiConverter::encoding() const
{
    return htmlConverter->encoding();
}

QByteArray MobiConverter::decompressPalmDoc(const QByteArray& in)
{
    const int n = in.size();
    const uchar* p = reinterpret_cast<const uchar*>(in.constData());
    QByteArray out;
    out.reserve(n);
    int i = 0;
    while (out.size() < kRecordLimit && i < n) {
        const uchar b = p[i];
        if (b == 0x00) {
            break;
        } else if (b <= 0x08) {
            const int count = qMin<int>(b, n - i - 1);
            out.append(reinterpret_cast<const char*>(p + i + 1), count);
            i += count;
        } else if (b <= 0x7F) {
            out.append(char(b));
        } else if (b <= 0xBF) {
            if (i + 1 >= n)
                break;
            const uchar b2 = p[i + 1];
            const int distance = ((b & 0x3F) << 5) | (b2 >> 3);
            const int length = (b2 & 7) + 3;
            for (int k = 0; k < length; ++k) {
                const int from = out.size() - distance;
                out.append(from >= 0 && from < out.size() ? out.at(from) : '?');
            }
            ++i;
        } else {
            out.append(' ');
            out.append(char(b ^ 0x80));
        }
        ++i;
    }
    return out;
}

int MobiConverter::trailingEntriesSize(const QByteArray& record, quint32 extraFlags)
{
    const int size = record.size();
    const uchar* p = reinterpret_cast<const uchar*>(record.constData());
    int num = 0;
    // Every flag above bit 0 announces one entry whose size is a backward variable-width
    // integer at the record's end (7 bits a byte, the byte with the high bit set starts it).
    for (quint32 flags = extraFlags >> 1; flags; flags >>= 1) {
        if (!(flags & 1))
            continue;
        int end = size - num;
        int entry = 0;
        int shift = 0;
        while (end > 0) {
            const uchar v = p[end - 1];
            entry |= (v & 0x7F) << shift;
            shift += 7;
            --end;
            if ((v & 0x80) || shift >= 28)
                break;
        }
        if (entry <= 0 || entry > size - num)
            return size;
        num += entry;
    }
    // Bit 0: the bytes of a multibyte character that continues in the next record.
    if ((extraFlags & 1) && num < size)
        num = qMin(size, num + (p[size - num - 1] & 0x3) + 1);
    return num;
}

bool MobiConverter::convert(const ContentFile& document, QIODevice* input, QString* outPath,
                            QIODevice* output, const QString& inputEncoding,
                            const bool* cancelFlag)
{
    const QString& path = document.path();
    ContentFileDevice file;
    QBuffer whole;
    const bool ownFile = !input;
    input = openDocument(document, input, &file, "MobiConverter");
    if (!input)
        return false;
    if (!ownFile && input->isSequential()) {
        // Records are reached by offset: take a stream's bytes into memory first.
        whole.setData(input->readAll());
        whole.open(QIODevice::ReadOnly);
        input = &whole;
    }
    const qint64 fileSize = input->size();

    const QByteArray header = input->read(78);
    if (header.size() < 78) {
        TQ_LOG_DEBUG("MobiConverter", QStringLiteral("PDB header not found in %1.").arg(path));
        return true;
    }
    const int recordCount = be16(header, 76);
    if (recordCount == 0) {
        TQ_LOG_DEBUG("MobiConverter", QStringLiteral("zero record count in %1.").arg(path));
        return true;
    }

    std::vector<Record> records;
    records.reserve(recordCount);
    for (int r = 0; r < recordCount; ++r) {
        if (isCanceled(cancelFlag))
            throw FileSearchCancelException("Convert canceled", kTag, __LINE__);
        const QByteArray entry = input->read(8);
        if (entry.size() < 8) {
            TQ_LOG_DEBUG("MobiConverter",
                         QStringLiteral("Failed to read PDB record info in %1.").arg(path));
            return true;
        }
        const qint64 offset = be32(entry, 0);
        if (offset >= fileSize || (!records.empty() && offset <= records.back().offset))
            break; // the table ends at an impossible offset
        records.push_back({offset, 0});
    }
    for (size_t r = 0; r < records.size(); ++r) {
        const qint64 next = r + 1 < records.size() ? records[r + 1].offset : fileSize;
        records[r].size = next - records[r].offset;
    }
    if (records.empty()) {
        TQ_LOG_DEBUG("MobiConverter", QStringLiteral("No records in %1.").arg(path));
        return true;
    }

    // Record 0: PalmDOC header and, in a Mobipocket book, the MOBI header.
    const qint64 header0Size = qMin<qint64>(records[0].size, 0x100);
    QByteArray record0;
    if (input->seek(records[0].offset))
        record0 = input->read(header0Size);
    if (record0.size() < 16) {
        TQ_LOG_DEBUG("MobiConverter", QStringLiteral("Record 0 too short in %1.").arg(path));
        return true;
    }
    const quint16 compression = be16(record0, 0);
    const int textRecords = be16(record0, 8);
    const quint16 encryption = be16(record0, 12);
    const quint32 textEncoding = be32(record0, 28);
    quint32 extraFlags = 0;
    if (record0.mid(16, 4) == "MOBI" && be32(record0, 20) >= 0xE4)
        extraFlags = be16(record0, 0xF2);
    if (encryption != 0) {
        TQ_LOG_DEBUG("MobiConverter", QStringLiteral("Encrypted book %1 skipped.").arg(path));
        return true;
    }
    auto readRecord = [&](quint32 index, qint64 limit) {
        QByteArray data;
        if (index < records.size() && records[index].size <= limit && input->seek(records[index].offset))
            data = input->read(records[index].size);
        return data;
    };
    HuffCdic huff;
    if (compression == kHuffCdic) {
        // The HUFF record and the CDIC records follow one another from the index at 0x80.
        const quint32 first = be32(record0, 0x80);
        const quint32 count = be32(record0, 0x84);
        bool loaded = count >= 2 && huff.loadHuff(readRecord(first, kRawRecordLimit));
        for (quint32 k = 1; loaded && k < count && k < 1024; ++k)
            loaded = huff.loadCdic(readRecord(first + k, kRawRecordLimit));
        if (!loaded || !huff.ready()) {
            TQ_LOG_DEBUG("MobiConverter", QStringLiteral("Damaged HUFF/CDIC records in %1.").arg(path));
            return true;
        }
    } else if (compression != 1 && compression != 2) {
        TQ_LOG_DEBUG("MobiConverter", QStringLiteral("Unsupported compression %1 in %2.")
                                          .arg(compression).arg(path));
        return true;
    }
    // A KF8 book (format version 8) keeps its text in the first flow of the FDST record (the
    // others hold style sheets and images' markup).
    qint64 textLimitBytes = std::numeric_limits<qint64>::max();
    const bool kf8 = record0.mid(16, 4) == "MOBI" && be32(record0, 0x24) >= 8 && record0.size() >= 0xC8;
    if (kf8) {
        const QByteArray fdst = readRecord(be32(record0, 0xC0), kRawRecordLimit);
        if (fdst.startsWith("FDST") && be32(fdst, 8) >= 1) {
            const quint32 table = be32(fdst, 4); // the (start, end) pairs of the flows
            if (qint64(table) + 8 <= fdst.size())
                textLimitBytes = be32(fdst, int(table) + 4);
        }
    }

    const int lastText = qMin<int>(textRecords, int(records.size()) - 1);
    TextRecordStream html(input, records, lastText, compression, extraFlags, cancelFlag, &huff,
                          textLimitBytes);

    const QString codec = textEncoding == 1252 ? QStringLiteral("Windows-1252")
                                               : QStringLiteral("UTF-8");
    QString textPath;
    qint64 budget = textLimit();
    bool cut = false;
    const bool converted = htmlConverter->convertWithin(document, &html, &textPath, output, codec,
                                                        cancelFlag, &budget, &cut,
                                                        kf8 ? HtmlConverter::Markup::Html
                                                            : HtmlConverter::Markup::Body);
    if (html.canceled()) {
        // The stream ended early: the text is incomplete.
        if (!textPath.isEmpty())
            QFile::remove(textPath);
        throw FileSearchCancelException("Convert canceled", kTag, __LINE__);
    }
    if (converted && cut)
        TQ_LOG_WARNING("MobiConverter", TextLimits::cutMessage(path, textLimit()));
    if (outPath)
        *outPath = textPath;
    return converted;
}
