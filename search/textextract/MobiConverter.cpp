#include "search/textextract/MobiConverter.h"

#include "core/ContentFile.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "search/textextract/HtmlConverter.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <cstring>
#include <vector>

namespace {

const QString kTag = QStringLiteral("MobiConverter");
constexpr int kRecordLimit = 4096;
// A text record is at most 4096 bytes plus a few trailing entries; anything far larger is
// not a text record and is not read into memory.
constexpr qint64 kRawRecordLimit = 64 * 1024;

quint16 be16(const QByteArray& b, int at)
{
    return at + 2 <= b.size() ? qFromBigEndian<quint16>(b.constData() + at) : 0;
}

quint32 be32(const QByteArray& b, int at)
{
    return at + 4 <= b.size() ? qFromBigEndian<quint32>(b.constData() + at) : 0;
}

struct Record
{
    qint64 offset;
    qint64 size;
};

// The book's text as one stream: the text records are read and decoded one at a time as the
// HTML converter reads on, so a book of many records never sits in memory whole. The stream
// ends at the last text record, at a record that cannot be read or is too large, and when
// the conversion is cancelled (canceled() then tells).
class TextRecordStream : public QIODevice
{
public:
    TextRecordStream(QIODevice* book, const std::vector<Record>& records, int lastText,
                     quint16 compression, quint32 extraFlags, const bool* cancelFlag)
        : book_(book), records_(records), lastText_(lastText), compression_(compression),
          extraFlags_(extraFlags), cancelFlag_(cancelFlag)
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
            current_ = compression_ == 2 ? MobiConverter::decompressPalmDoc(data) : data;
        }
    }

    QIODevice* book_;
    const std::vector<Record>& records_;
    const int lastText_;
    const quint16 compression_;
    const quint32 extraFlags_;
    const bool* cancelFlag_;
    int next_ = 1;
    QByteArray current_;
    int at_ = 0;
    bool canceled_ = false;
};

} // namespace

MobiConverter::MobiConverter(HtmlConverter* htmlConverter) : htmlConverter(htmlConverter)
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
    if (compression != 1 && compression != 2) {
        TQ_LOG_DEBUG("MobiConverter", QStringLiteral("Unsupported compression %1 in %2.")
                                          .arg(compression).arg(path));
        return true;
    }

    const int lastText = qMin<int>(textRecords, int(records.size()) - 1);
    TextRecordStream html(input, records, lastText, compression, extraFlags, cancelFlag);

    const QString codec = textEncoding == 1252 ? QStringLiteral("Windows-1252")
                                               : QStringLiteral("UTF-8");
    QString textPath;
    qint64 budget = textLimit();
    bool cut = false;
    const bool converted = htmlConverter->convertWithin(document, &html, &textPath, output, codec,
                                                        cancelFlag, &budget, &cut);
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
