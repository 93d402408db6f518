// Word 97-2003 text (see BinaryDocumentReaders.h).
//
// The "WordDocument" stream starts with the FIB: wIdent 0xA5EC at 0, nFib at 2, flags at 0x0A
// (0x0004 complex, 0x0100 encrypted, 0x0200 table stream "1Table" instead of "0Table",
// 0x8000 obfuscated); then csw (16-bit words of FibRgW), cslw (32-bit words of FibRgLw, which
// holds the character counts of the stories: main text, footnotes, headers, macro, comments,
// endnotes, text boxes, header text boxes at 12, 16, 20, 24, 28, 32, 36, 40) and cbRgFcLcb
// (the offset/length pairs; pair 33 is the CLX). The CLX in the table stream holds property
// runs (0x01, 16-bit size) and the piece table (0x02, 32-bit size): n + 1 character
// positions and n piece descriptors of 8 bytes, whose 32-bit value at 2 gives the piece's
// place: bit 30 set, 8-bit characters at (value & 0x3FFFFFFF) / 2 (Windows-1252); clear,
// UTF-16 at the value.
// Word 6 and 95 files (nFib below 101) are read when they are not fast-saved: their text is
// the 8-bit text between fcMin (0x18) and fcMac (0x1C) of the stream.
#include "search/textextract/BinaryDocumentReaders.h"
#include "search/textextract/ByteFields.h"
#include "search/textextract/CompoundFile.h"

#include <QTextCodec>
#include <QtEndian>

#include <array>
#include <vector>

namespace {

using namespace ByteFields;

constexpr int kMaxFieldDepth = 64;

// Turns the character stream into paragraphs: field codes dropped, special characters
// dropped or mapped, paragraph marks ending paragraphs.
class Paragraphs
{
public:
    explicit Paragraphs(TextSink& out)
        : sink(out)
    { }

    bool put(ushort c)
    {
        switch (c) {
        case 0x13: // field begin: its code follows
            if (fields.size() < kMaxFieldDepth)
                fields.push_back(true);
            else
                ++overflow;
            return true;
        case 0x14: // field separator: its result follows
            if (overflow == 0 && !fields.empty())
                fields.back() = false;
            return true;
        case 0x15: // field end
            if (overflow > 0)
                --overflow;
            else if (!fields.empty())
                fields.pop_back();
            return true;
        default:
            break;
        }
        if (inCode())
            return true;
        if (c == 0x0D || c == 0x0B || c == 0x0C || c == 0x07)
            return end();
        if (c == 0x1E) {
            c = '-'; // non-breaking hyphen
        } else if (c == 0xA0) {
            c = ' ';
        } else if (c < 0x20 && c != 0x09) {
            return true; // pictures, note marks, separators, optional hyphens
        }
        text.append(QChar(c));
        if (text.size() >= 65536)
            return end();
        return true;
    }

    bool end()
    {
        if (text.isEmpty())
            return sink.keepGoing();
        const bool going = sink.paragraph(text);
        text.clear();
        return going;
    }

    // A new story (footnotes, headers, ...) starts: nothing of the last one's fields goes on.
    bool endStory()
    {
        fields.clear();
        overflow = 0;
        return end();
    }

private:
    bool inCode() const
    {
        if (overflow > 0)
            return true;
        for (bool code : fields) {
            if (code)
                return true;
        }
        return false;
    }

    TextSink& sink;
    QString text;
    std::vector<bool> fields; // open fields; true while in their code
    int overflow = 0;         // fields opened beyond kMaxFieldDepth
};

const QTextCodec* cp1252()
{
    static const QTextCodec* codec = QTextCodec::codecForName("windows-1252");
    return codec;
}

// The UTF-16 unit of each byte of an 8-bit piece (Windows-1252), made once.
const ushort* cp1252Units()
{
    static const auto table = [] {
        std::array<ushort, 256> units{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            units[size_t(b)] = b < 0x80 ? ushort(b) : cp1252()->toUnicode(&byte, 1).at(0).unicode();
        }
        return units;
    }();
    return table.data();
}

BinaryDocuments::Result readOldWord(const QByteArray& word, quint16 flags, TextSink& sink)
{
    if (flags & 0x0004)
        return BinaryDocuments::Result::Damaged; // fast-saved: its pieces are not read
    const qint64 from = le32(word, 0x18);
    const qint64 to = qMin<qint64>(le32(word, 0x1C), word.size());
    if (from <= 0 || to <= from)
        return BinaryDocuments::Result::Damaged;
    const QString text = cp1252()->toUnicode(word.constData() + from, int(to - from));
    Paragraphs out(sink);
    for (QChar c : text) {
        if (!out.put(c.unicode()))
            return BinaryDocuments::Result::Stopped;
    }
    return out.end() || sink.stopReason() == S_OK ? BinaryDocuments::Result::Ok
                                                  : BinaryDocuments::Result::Stopped;
}

} // namespace

namespace BinaryDocuments {

Result readWord(QIODevice* device, TextSink& sink)
{
    CompoundFile cf;
    if (!cf.open(device))
        return Result::NotThisFormat;
    QByteArray word;
    cf.readStream(QStringLiteral("WordDocument"), &word);
    if (word.size() < 68 || le16(word, 0) != 0xA5EC)
        return cf.hasStream(QStringLiteral("WordDocument")) ? Result::Damaged : Result::NotThisFormat;
    const quint16 nFib = le16(word, 2);
    const quint16 flags = le16(word, 0x0A);
    if (flags & 0x0100 || flags & 0x8000)
        return Result::Encrypted;
    if (nFib < 101)
        return readOldWord(word, flags, sink);

    // FibRgW, FibRgLw and the offset/length pairs.
    const qint64 csw = le16(word, 32);
    const qint64 lwAt = 34 + csw * 2 + 2;
    const qint64 cslw = le16(word, lwAt - 2);
    const qint64 pairsAt = lwAt + cslw * 4 + 2;
    const qint64 pairs = le16(word, pairsAt - 2);
    if (cslw < 11 || pairs < 34 || pairsAt + 34 * 8 > word.size())
        return Result::Damaged;
    // The stories in character-position order; each ends a paragraph.
    std::vector<qint64> storyEnds;
    qint64 total = 0;
    for (int i = 0; i < 8; ++i) {
        const qint32 count = qint32(le32(word, lwAt + 12 + 4 * i));
        if (count > 0 && count < (1 << 30))
            total += count;
        storyEnds.push_back(total);
    }

    const QString tableName = (flags & 0x0200) ? QStringLiteral("1Table") : QStringLiteral("0Table");
    QByteArray table;
    cf.readStream(tableName, &table);
    const qint64 clxAt = le32(word, pairsAt + 33 * 8);
    const qint64 clxSize = le32(word, pairsAt + 33 * 8 + 4);
    if (clxAt <= 0 || clxSize <= 0 || clxAt + clxSize > table.size())
        return Result::Damaged;

    // Skip the property runs to the piece table.
    qint64 at = clxAt;
    const qint64 clxEnd = clxAt + clxSize;
    while (at < clxEnd && table.at(int(at)) == 0x01) {
        const qint16 size = qint16(le16(table, at + 1));
        if (size < 0)
            return Result::Damaged;
        at += 3 + size;
    }
    if (at + 5 > clxEnd || table.at(int(at)) != 0x02)
        return Result::Damaged;
    const qint64 plcSize = le32(table, at + 1);
    const qint64 plcAt = at + 5;
    if (plcSize < 16 || plcAt + plcSize > clxEnd)
        return Result::Damaged;
    const qint64 pieces = (plcSize - 4) / 12;
    const qint64 pcdAt = plcAt + 4 * (pieces + 1);

    Paragraphs out(sink);
    size_t story = 0;
    qint64 cp = 0; // character position reached
    for (qint64 i = 0; i < pieces; ++i) {
        const qint64 start = le32(table, plcAt + 4 * i);
        qint64 end = le32(table, plcAt + 4 * (i + 1));
        if (start < cp || end <= start)
            continue; // positions must rise: a piece that goes back is not read twice
        if (total > 0)
            end = qMin(end, total);
        if (end <= start)
            break;
        const quint32 fcValue = le32(table, pcdAt + 8 * i + 2);
        const bool compressed = fcValue & 0x40000000u;
        const qint64 fc = compressed ? qint64(fcValue & 0x3FFFFFFFu) / 2 : qint64(fcValue & 0x3FFFFFFFu);
        for (qint64 k = 0, n = end - start; k < n; ++k) {
            const qint64 position = start + k;
            while (story < storyEnds.size() && position >= storyEnds[story]) {
                ++story;
                if (!out.endStory())
                    return Result::Stopped;
            }
            ushort c;
            if (compressed) {
                if (fc + k >= word.size())
                    break;
                c = cp1252Units()[uchar(word.at(int(fc + k)))];
            } else {
                if (fc + 2 * k + 2 > word.size())
                    break;
                c = le16(word, fc + 2 * k);
            }
            if (!out.put(c))
                return Result::Stopped;
        }
        cp = end;
        if (total > 0 && cp >= total)
            break;
    }
    if (!out.endStory() && sink.stopReason() != S_OK)
        return Result::Stopped;
    return Result::Ok;
}

} // namespace BinaryDocuments
