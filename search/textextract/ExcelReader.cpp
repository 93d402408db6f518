// Excel 2 to 2003 text (see BinaryDocumentReaders.h).
//
// A BIFF stream is a sequence of records: a 16-bit type, a 16-bit length, the data. A BOF
// record starts a substream (its version tells BIFF2 0x0009, BIFF3 0x0209, BIFF4 0x0409,
// BIFF5/8 0x0809 with 0x0500 or 0x0600 at its start; its kind at 2: 0x0005 globals, 0x0010
// worksheet, 0x0020 chart, 0x0040 macro sheet), EOF (0x000A) ends it. Records longer than
// 8224 bytes go on in CONTINUE records (0x003C); a string's characters cut by one go on
// after a new flags byte.
// BIFF8 strings: a 16-bit count of characters, a flags byte (0x01 UTF-16, else one byte per
// character as the low byte; 0x08 rich: a 16-bit run count follows; 0x04 extended: a 32-bit
// byte count of phonetic data follows), the characters, then the runs (4 bytes each) and the
// phonetic data. Older versions store 8-bit strings in the workbook's CODEPAGE.
// Besides the cells: the text of text boxes and comments (TXO; before BIFF8 a comment's text
// is in its NOTE records) and each sheet's page header and footer (HEADER, FOOTER), each as
// paragraphs where they come.
// Cells are handed out a row at a time as they come (a row's cells in column order), so a
// sheet never sits in memory whole.
#include "search/textextract/BinaryDocumentReaders.h"
#include "search/textextract/ByteFields.h"
#include "search/textextract/CompoundFile.h"
#include "search/textextract/NumberFormat.h"

#include <QHash>
#include <QIODevice>
#include <QTextCodec>
#include <QtEndian>

#include <cstring>
#include <vector>

namespace {

using namespace ByteFields;

double leDouble(const QByteArray& b, qint64 at)
{
    if (at < 0 || at + 8 > b.size())
        return 0;
    const quint64 bits = qFromLittleEndian<quint64>(b.constData() + at);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

double rkValue(quint32 rk)
{
    double v;
    if (rk & 2) {
        v = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 1) ? v / 100.0 : v;
}

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2A: return QStringLiteral("#N/A");
    default: return QStringLiteral("#N/A");
    }
}

// A cell's text holds at most this many characters (the applications' own limit).
constexpr int kMaxCellUnits = 32767;
// Shared strings kept at most (a table that claims more is cut there).
constexpr quint32 kMaxSharedStrings = 1u << 22;

struct Record
{
    quint16 type;
    qint64 data; // offset of the data in the stream
    qint64 size;
};

class Workbook
{
public:
    Workbook(const QByteArray& stream, TextSink& out)
        : s(stream)
        , sink(out)
    {
        codec = QTextCodec::codecForName("windows-1252");
    }

    BinaryDocuments::Result read();

private:
    // --- strings
    QString bytesText(qint64 at, qint64 n) const
    {
        n = qBound<qint64>(0, qMin<qint64>(n, s.size() - at), kMaxCellUnits);
        if (at < 0 || n <= 0)
            return QString();
        return codec->toUnicode(s.constData() + at, int(n));
    }
    // A BIFF8 string inside one record; `count` its character count, `at` its flags byte.
    QString unicodeText(qint64 at, qint64 count, qint64 end) const
    {
        if (at >= end)
            return QString();
        const quint8 flags = quint8(s.at(int(at)));
        qint64 p = at + 1;
        if (flags & 0x08)
            p += 2;
        if (flags & 0x04)
            p += 4;
        count = qMin<qint64>(count, kMaxCellUnits);
        QString text;
        if (flags & 0x01) {
            count = qMin(count, (end - p) / 2);
            for (qint64 i = 0; i < count; ++i)
                text.append(QChar(le16(s, p + 2 * i)));
        } else {
            count = qMin(count, end - p);
            if (count > 0)
                text = QString::fromLatin1(s.constData() + p, int(count));
        }
        return text;
    }
    // A string of a cell or format record: BIFF8 Unicode, else 8-bit with a 16-bit (or, in
    // BIFF2, 8-bit) count.
    QString recordString(const Record& r, qint64 offset, bool byteCount = false) const
    {
        const qint64 at = r.data + offset;
        const qint64 end = r.data + r.size;
        if (byteCount) {
            if (at >= end)
                return QString();
            return bytesText(at + 1, qMin<qint64>(quint8(s.at(int(at))), end - at - 1));
        }
        const qint64 count = le16(s, at);
        if (at + 2 > end)
            return QString();
        if (biff == 8)
            return unicodeText(at + 2, count, end);
        return bytesText(at + 2, qMin<qint64>(count, end - at - 2));
    }

    void readSharedStrings(qint64 recordAt);
    void readTextObject(const Record& txo);
    // A BIFF2 to BIFF5 comment, whose text is in its NOTE records; the offset after them.
    qint64 readNote(const Record& note);
    // `text` as paragraphs after the row being read; false when the sink said stop.
    bool paragraphs(const QString& text);
    QString numberText(double value, int formatIndex) const
    {
        const QString f = formats.value(formatIndex, NumberFormat::builtIn(formatIndex));
        return NumberFormat::format(value, f, date1904);
    }
    int formatOfXf(int xf) const { return xf >= 0 && xf < int(xfFormats.size()) ? xfFormats[size_t(xf)] : 0; }

    // --- cells, a row at a time
    bool cell(quint32 row, quint32 col, const QString& text)
    {
        if (row != currentRow && !flushRow())
            return false;
        currentRow = row;
        if (text.isEmpty())
            return sink.keepGoing();
        if (!rowText.isEmpty())
            rowText.append(QLatin1Char('\t'));
        rowText.append(text);
        // A row of many long cells is handed out in pieces.
        if (rowText.size() >= 65536)
            return flushRow();
        return sink.keepGoing();
        Q_UNUSED(col);
    }
    bool flushRow()
    {
        currentRow = 0xFFFFFFFFu;
        if (rowText.isEmpty())
            return sink.keepGoing();
        const bool going = sink.paragraph(rowText);
        rowText.clear();
        return going;
    }
    bool cellRecord(const Record& r);

    const QByteArray& s;
    TextSink& sink;
    QTextCodec* codec;
    int biff = 8;
    bool date1904 = false;
    QHash<int, QString> formats;
    int nextFormatIndex = 0; // BIFF2 to BIFF4 number their formats in order
    std::vector<int> xfFormats;
    std::vector<QString> shared;
    quint32 currentRow = 0xFFFFFFFFu;
    QString rowText;
    // A formula whose text result is in the STRING record that follows it.
    bool pendingString = false;
    quint32 pendingRow = 0, pendingCol = 0;
    bool encrypted = false;
};

// Reads the bytes of a record and its CONTINUE records as one sequence, noting where each
// continuation starts (a string's characters resume there after a new flags byte). The
// records are looked at one after the other as the reading reaches them.
class Continued
{
public:
    Continued(const QByteArray& bytes, qint64 recordAt)
        : s(bytes)
    {
        current = recordAt2(recordAt);
    }
    bool atEnd()
    {
        normalise();
        return done;
    }
    int byte()
    {
        normalise();
        if (done)
            return -1;
        return quint8(s.at(int(current.data + pos++)));
    }
    qint64 word()
    {
        const int a = byte(), b = byte();
        return a < 0 || b < 0 ? -1 : qint64(a | (b << 8));
    }
    void skip(qint64 n)
    {
        while (n > 0 && !atEnd()) {
            const qint64 step = qMin(n, current.size - pos);
            pos += step;
            n -= step;
        }
    }
    // `count` characters, the first flags byte already read into `flags`.
    QString chars(qint64 count, int flags)
    {
        QString text;
        for (qint64 i = 0; i < count; ++i) {
            normalise();
            if (done)
                break;
            if (pos == 0 && i > 0) {
                flags = byte(); // a continuation: new flags
                if (flags < 0)
                    break;
            }
            int c;
            if (flags & 1) {
                const qint64 w = word();
                if (w < 0)
                    break;
                c = int(w);
            } else {
                c = byte();
                if (c < 0)
                    break;
            }
            if (text.size() < kMaxCellUnits)
                text.append(QChar(ushort(c)));
        }
        return text;
    }

private:
    Record recordAt2(qint64 at) const
    {
        if (at + 4 > s.size())
            return Record{0, s.size(), 0};
        return Record{le16(s, at), at + 4, qMin<qint64>(le16(s, at + 2), s.size() - at - 4)};
    }
    void normalise()
    {
        while (!done && pos >= current.size) {
            const Record next = recordAt2(current.data + current.size);
            if (next.type != 0x003C) {
                done = true;
                return;
            }
            current = next;
            pos = 0;
        }
    }
    const QByteArray& s;
    Record current;
    qint64 pos = 0;
    bool done = false;
};

void Workbook::readSharedStrings(qint64 recordAt)
{
    Continued in(s, recordAt);
    in.skip(4); // total count
    const qint64 uniqueHigh = in.word();
    const qint64 uniqueLowHigh = in.word();
    if (uniqueHigh < 0 || uniqueLowHigh < 0)
        return;
    const quint32 unique = qMin<quint32>(quint32(uniqueHigh | (uniqueLowHigh << 16)), kMaxSharedStrings);
    shared.clear();
    for (quint32 i = 0; i < unique && !in.atEnd(); ++i) {
        if ((i & 0xFF) == 0 && !sink.keepGoing())
            return;
        const qint64 count = in.word();
        const int flags = in.byte();
        if (count < 0 || flags < 0)
            break;
        qint64 runs = 0, ext = 0;
        if (flags & 0x08)
            runs = in.word();
        if (flags & 0x04) {
            const qint64 lo = in.word(), hi = in.word();
            ext = lo < 0 || hi < 0 ? 0 : (lo | (hi << 16));
        }
        shared.push_back(in.chars(count, flags));
        in.skip(qMax<qint64>(0, runs) * 4 + qMax<qint64>(0, ext));
    }
}

void Workbook::readTextObject(const Record& txo)
{
    const qint64 count = le16(s, txo.data + 10);
    const qint64 next = txo.data + txo.size;
    if (count <= 0 || le16(s, next) != 0x003C)
        return;
    // The text is in the CONTINUE records after the TXO: in BIFF8 each starts with a flags
    // byte; before, they hold the bytes of the workbook's code page.
    Continued in(s, next);
    QString text;
    if (biff == 8) {
        const int flags = in.byte();
        if (flags < 0)
            return;
        text = in.chars(count, flags);
    } else {
        QByteArray bytes;
        for (int b; bytes.size() < qMin<qint64>(count, kMaxCellUnits) && (b = in.byte()) >= 0;)
            bytes.append(char(b));
        text = codec->toUnicode(bytes);
    }
    paragraphs(text);
}

bool Workbook::paragraphs(const QString& text)
{
    if (!flushRow())
        return false;
    for (const QString& line : QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')).split(QLatin1Char('\n'))) {
        if (!sink.paragraph(line))
            return false;
    }
    return true;
}

qint64 Workbook::readNote(const Record& note)
{
    // Row, column, the count of characters in this record, then those characters; a longer
    // comment goes on in NOTE records whose row is 0xFFFF.
    QString text = bytesText(note.data + 6, qMin<qint64>(le16(s, note.data + 4), note.size - 6));
    qint64 at = note.data + note.size;
    while (at + 10 <= s.size() && le16(s, at) == 0x001C && le16(s, at + 4) == 0xFFFF) {
        const qint64 size = qMin<qint64>(le16(s, at + 2), s.size() - at - 4);
        if (text.size() < kMaxCellUnits)
            text += bytesText(at + 10, qMin<qint64>(le16(s, at + 8), size - 6)).left(kMaxCellUnits - text.size());
        at += 4 + size;
    }
    if (!text.isEmpty())
        paragraphs(text);
    return at;
}

bool Workbook::cellRecord(const Record& r)
{
    const qint64 d = r.data;
    const quint32 row = le16(s, d);
    const quint32 col = le16(s, d + 2);
    // BIFF2 cells carry three attribute bytes (the format in the second's low six bits);
    // later ones the index of their XF record.
    const bool old = biff == 2;
    const int format = old ? (r.size > 5 ? quint8(s.at(int(d + 5))) & 0x3F : 0) : formatOfXf(le16(s, d + 4));
    const qint64 v = old ? 7 : 6; // the value's offset
    switch (r.type) {
    case 0x00FD: { // LABELSST
        const quint32 i = le32(s, d + 6);
        return cell(row, col, i < shared.size() ? shared[i] : QString());
    }
    case 0x0004: // LABEL (BIFF2)
        return cell(row, col, recordString(r, 7, true));
    case 0x0204: // LABEL
    case 0x00D6: // RSTRING
        return cell(row, col, recordString(r, 6));
    case 0x0003: // NUMBER (BIFF2)
    case 0x0203: // NUMBER
        return cell(row, col, numberText(leDouble(s, d + v), format));
    case 0x0002: // INTEGER (BIFF2)
        return cell(row, col, numberText(le16(s, d + 7), format));
    case 0x027E: // RK
        return cell(row, col, numberText(rkValue(le32(s, d + 6)), format));
    case 0x00BD: { // MULRK: row, first column, (XF, RK) pairs, last column
        const qint64 pairs = (r.size - 6) / 6;
        for (qint64 k = 0; k < pairs; ++k) {
            const qint64 at = d + 4 + 6 * k;
            if (!cell(row, col + quint32(k), numberText(rkValue(le32(s, at + 2)), formatOfXf(le16(s, at)))))
                return false;
        }
        return true;
    }
    case 0x0005: // BOOLERR (BIFF2)
    case 0x0205: { // BOOLERR
        const qint64 at = d + v;
        if (at + 2 > s.size())
            return true;
        const quint8 value = quint8(s.at(int(at)));
        const bool error = s.at(int(at + 1)) != 0;
        return cell(row, col, error ? errorText(value) : value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    }
    case 0x0006: // FORMULA (BIFF2, BIFF5, BIFF8)
    case 0x0206: // FORMULA (BIFF3)
    case 0x0406: { // FORMULA (BIFF4)
        const qint64 at = d + v;
        if (at + 8 > s.size())
            return true;
        if (le16(s, at + 6) == 0xFFFF) {
            const quint8 kind = quint8(s.at(int(at)));
            if (kind == 0) { // a string: the STRING record that follows holds it
                pendingString = true;
                pendingRow = row;
                pendingCol = col;
                return true;
            }
            if (kind == 1)
                return cell(row, col, s.at(int(at + 2)) ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
            if (kind == 2)
                return cell(row, col, errorText(quint8(s.at(int(at + 2)))));
            return true; // an empty string
        }
        return cell(row, col, numberText(leDouble(s, at), format));
    }
    default:
        return true;
    }
}

BinaryDocuments::Result Workbook::read()
{
    int depth = 0;       // open substreams
    int skipDepth = 0;   // inside a chart's substream (its strings are not cells)
    quint64 i = 0;
    for (qint64 at = 0; at + 4 <= s.size(); ++i) {
        const Record r{le16(s, at), at + 4, qMin<qint64>(le16(s, at + 2), s.size() - at - 4)};
        at = r.data + r.size;
        if ((i & 0x3FF) == 0 && !sink.keepGoing())
            return BinaryDocuments::Result::Stopped;
        switch (r.type) {
        case 0x0009: case 0x0209: case 0x0409: case 0x0809: { // BOF
            if (r.type == 0x0809)
                biff = le16(s, r.data) == 0x0600 ? 8 : 5;
            else
                biff = r.type == 0x0009 ? 2 : r.type == 0x0209 ? 3 : 4;
            ++depth;
            const quint16 kind = le16(s, r.data + 2);
            if (skipDepth > 0 || kind == 0x0020)
                ++skipDepth;
            if (!flushRow())
                return BinaryDocuments::Result::Stopped;
            continue;
        }
        case 0x000A: // EOF
            if (skipDepth > 0)
                --skipDepth;
            depth = qMax(0, depth - 1);
            if (!flushRow())
                return BinaryDocuments::Result::Stopped;
            continue;
        default:
            break;
        }
        if (skipDepth > 0)
            continue;
        switch (r.type) {
        case 0x002F: // FILEPASS: the workbook is encrypted
            return BinaryDocuments::Result::Encrypted;
        case 0x0042: { // CODEPAGE
            const quint16 cp = le16(s, r.data);
            QTextCodec* c = nullptr;
            if (cp == 32768 || cp == 10000)
                c = QTextCodec::codecForName("macintosh");
            else if (cp != 1200 && cp != 367 && cp != 32769)
                c = QTextCodec::codecForName("windows-" + QByteArray::number(cp));
            if (!c && cp != 1200)
                c = QTextCodec::codecForName("CP" + QByteArray::number(cp));
            if (c)
                codec = c;
            break;
        }
        case 0x0022: // DATEMODE
            date1904 = le16(s, r.data) == 1;
            break;
        case 0x001E: // FORMAT (BIFF2, BIFF3)
            formats.insert(nextFormatIndex++, recordString(r, 0, true));
            break;
        case 0x041E: // FORMAT (BIFF4: two unused bytes; BIFF5/8: the format's index)
            if (biff == 4)
                formats.insert(nextFormatIndex++, recordString(r, 2, true));
            else if (biff == 5)
                formats.insert(le16(s, r.data), recordString(r, 2, true));
            else
                formats.insert(le16(s, r.data), recordString(r, 2));
            break;
        case 0x0043: // XF (BIFF2)
            if (xfFormats.size() < 65536)
                xfFormats.push_back(r.size > 2 ? quint8(s.at(int(r.data + 2))) & 0x3F : 0);
            break;
        case 0x0243: case 0x0443: // XF (BIFF3, BIFF4)
            if (xfFormats.size() < 65536)
                xfFormats.push_back(r.size > 1 ? quint8(s.at(int(r.data + 1))) : 0);
            break;
        case 0x00E0: // XF (BIFF5, BIFF8)
            if (xfFormats.size() < 65536)
                xfFormats.push_back(le16(s, r.data + 2));
            break;
        case 0x00FC: // SST
            readSharedStrings(r.data - 4);
            break;
        case 0x01B6: // TXO: a text box's or comment's text
            readTextObject(r);
            break;
        case 0x001C: // NOTE: before BIFF8 a comment's text (since, a reference to its TXO)
            if (biff < 8)
                at = readNote(r);
            break;
        case 0x0014: // HEADER
        case 0x0015: // FOOTER
            if (r.size > 0) {
                const QString text = NumberFormat::headerFooterText(recordString(r, 0, biff < 8));
                if (!text.isEmpty() && !paragraphs(text))
                    return BinaryDocuments::Result::Stopped;
            }
            break;
        case 0x0007: case 0x0207: // STRING: the text result of the formula before
            if (pendingString) {
                pendingString = false;
                if (!cell(pendingRow, pendingCol, recordString(r, 0, r.type == 0x0007)))
                    return BinaryDocuments::Result::Stopped;
            }
            break;
        default:
            if (!cellRecord(r))
                return BinaryDocuments::Result::Stopped;
            break;
        }
        if (r.type != 0x0006 && r.type != 0x0206 && r.type != 0x0406 && r.type != 0x003C
            && r.type != 0x04BC && r.type != 0x0221)
            pendingString = false; // only SHRFMLA, ARRAY or CONTINUE may stand between
    }
    if (!flushRow())
        return BinaryDocuments::Result::Stopped;
    return BinaryDocuments::Result::Ok;
}

bool isBof(const QByteArray& head)
{
    const quint16 type = le16(head, 0);
    return type == 0x0009 || type == 0x0209 || type == 0x0409 || type == 0x0809;
}

} // namespace

namespace BinaryDocuments {

Result readExcel(QIODevice* device, TextSink& sink)
{
    QByteArray stream;
    const QByteArray head = device->peek(8);
    if (CompoundFile::hasSignature(head)) {
        CompoundFile cf;
        if (!cf.open(device))
            return Result::Damaged;
        if (!cf.readStream(QStringLiteral("Workbook"), &stream) && stream.isEmpty())
            cf.readStream(QStringLiteral("Book"), &stream);
        if (stream.isEmpty())
            return cf.hasStream(QStringLiteral("Workbook")) || cf.hasStream(QStringLiteral("Book"))
                       ? Result::Damaged
                       : Result::NotThisFormat;
    } else if (isBof(head)) {
        // A bare BIFF stream (Excel 2 to 4 wrote their sheets so), read up to the bound of a
        // stream (asking for the bound itself would reserve all of it).
        stream = device->read(qMin(device->size(), CompoundFile::kMaxStreamBytes));
    } else {
        return Result::NotThisFormat;
    }
    if (!isBof(stream))
        return Result::Damaged;
    Workbook book(stream, sink);
    const Result r = book.read();
    return r;
}

} // namespace BinaryDocuments
