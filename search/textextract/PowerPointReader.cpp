// PowerPoint 97-2003 text (see BinaryDocumentReaders.h).
//
// Records: an 8-byte header (version and instance in 16 bits, the version in the low 4; the
// type in 16 bits; the length in 32), then the data; a version of 0xF makes the record a
// container of records. The persist directory atoms (0x1772) map persist ids to the stream
// offsets of the objects (document, masters, slides, notes); the user edit atoms (0x0FF5)
// chain the saves, newest first from the "Current User" stream.
// Text: the text atoms of slides, notes and masters, the header and footer texts, and the
// comments (their text the second string of a comment container).
#include "search/textextract/BinaryDocumentReaders.h"
#include "search/textextract/ByteFields.h"
#include "search/textextract/CompoundFile.h"

#include <QBuffer>
#include <QtEndian>

#include <map>
#include <set>

namespace {

using namespace ByteFields;

constexpr quint16 kTextCharsAtom = 0x0FA0;
constexpr quint16 kTextBytesAtom = 0x0FA8;
constexpr quint16 kCString = 0x0FBA;
constexpr quint16 kHeadersFooters = 0x0FD9;
constexpr quint16 kComment10 = 0x2EE0;
// The data of a program's binary tag (PowerPoint 2002 and later keep a slide's comments in
// one): an atom by its version, records by its content.
constexpr quint16 kBinaryTagDataBlob = 0x138B;
constexpr quint16 kUserEditAtom = 0x0FF5;
constexpr quint16 kPersistDirectoryAtom = 0x1772;
constexpr int kMaxDepth = 32;

struct Header
{
    quint16 version = 0;
    quint16 instance = 0;
    quint16 type = 0;
    qint64 length = 0;
};

bool headerAt(const QByteArray& s, qint64 at, Header* h)
{
    if (at < 0 || at + 8 > s.size())
        return false;
    const quint16 vi = le16(s, at);
    h->version = vi & 0xF;
    h->instance = vi >> 4;
    h->type = le16(s, at + 2);
    h->length = le32(s, at + 4);
    return true;
}

class Reader
{
public:
    Reader(const QByteArray& stream, TextSink& out)
        : s(stream)
        , sink(out)
    { }

    // Reads the records in [from, end) and their children. False when the sink said stop.
    bool records(qint64 from, qint64 end, int depth, quint16 parent)
    {
        qint64 at = from;
        Header h;
        while (at + 8 <= end && headerAt(s, at, &h)) {
            if (!sink.keepGoing())
                return false;
            const qint64 data = at + 8;
            const qint64 stop = qMin<qint64>(end, data + h.length);
            if (h.version == 0xF || h.type == kBinaryTagDataBlob) {
                if (depth < kMaxDepth && !records(data, stop, depth + 1, h.type))
                    return false;
            } else if (!atom(h, data, stop, parent)) {
                return false;
            }
            at = data + h.length;
        }
        return true;
    }

    bool found() const { return any; }

private:
    bool atom(const Header& h, qint64 data, qint64 stop, quint16 parent)
    {
        const qint64 n = stop - data;
        if (n <= 0)
            return true;
        QString text;
        if (h.type == kTextCharsAtom
            || (h.type == kCString && (parent == kHeadersFooters || (parent == kComment10 && h.instance == 1)))) {
            text.resize(int(n / 2));
            for (int i = 0; i < text.size(); ++i)
                text[i] = QChar(le16(s, data + 2 * i));
        } else if (h.type == kTextBytesAtom) {
            text = QString::fromLatin1(s.constData() + data, int(n));
        } else {
            return true;
        }
        any = true;
        // A carriage return ends a paragraph, a vertical tab breaks a line inside one.
        text.replace(QChar(0x0B), QLatin1Char('\n'));
        for (const QString& paragraph : text.split(QLatin1Char('\r'))) {
            if (!sink.paragraph(paragraph))
                return false;
        }
        return true;
    }

    const QByteArray& s;
    TextSink& sink;
    bool any = false;
};

// The stream offsets of the objects the current edit uses, ordered by persist id; empty
// when the edit chain cannot be followed.
std::map<quint32, quint32> livePersistObjects(const QByteArray& doc, const QByteArray& currentUser,
                                              bool* encrypted)
{
    std::map<quint32, quint32> objects;
    if (currentUser.size() < 20)
        return objects;
    if (le32(currentUser, 12) == 0xF3D1C4DFu)
        *encrypted = true;
    qint64 edit = le32(currentUser, 16);
    std::set<qint64> seen;
    while (edit > 0 && edit + 28 <= doc.size() && seen.insert(edit).second) {
        Header h;
        if (!headerAt(doc, edit, &h) || h.type != kUserEditAtom)
            break;
        const qint64 dir = le32(doc, edit + 20);
        Header d;
        if (headerAt(doc, dir, &d) && d.type == kPersistDirectoryAtom) {
            const qint64 end = qMin<qint64>(doc.size(), dir + 8 + d.length);
            qint64 at = dir + 8;
            while (at + 4 <= end) {
                const quint32 entry = le32(doc, at);
                const quint32 first = entry & 0xFFFFF;
                const quint32 count = entry >> 20;
                at += 4;
                for (quint32 i = 0; i < count && at + 4 <= end; ++i, at += 4)
                    objects.emplace(first + i, le32(doc, at)); // the newest edit's entry wins
            }
        }
        edit = le32(doc, edit + 16);
    }
    return objects;
}

} // namespace

namespace BinaryDocuments {

Result readPowerPoint(QIODevice* device, TextSink& sink)
{
    CompoundFile cf;
    if (!cf.open(device))
        return Result::NotThisFormat;
    QByteArray doc;
    if (!cf.readStream(QStringLiteral("PowerPoint Document"), &doc) && doc.isEmpty())
        return cf.hasStream(QStringLiteral("PowerPoint Document")) ? Result::Damaged : Result::NotThisFormat;
    QByteArray currentUser;
    cf.readStream(QStringLiteral("Current User"), &currentUser, 4096);
    bool encrypted = false;
    const std::map<quint32, quint32> objects = livePersistObjects(doc, currentUser, &encrypted);
    if (encrypted)
        return Result::Encrypted;

    Reader reader(doc, sink);
    bool going = true;
    if (!objects.empty()) {
        std::set<quint32> offsets;
        for (const auto& object : objects) {
            Header h;
            // Each object once (two ids may name one offset), and only whole records.
            if (!offsets.insert(object.second).second || !headerAt(doc, object.second, &h))
                continue;
            if (!(going = reader.records(object.second, qMin<qint64>(doc.size(), object.second + 8 + h.length), 0, 0)))
                break;
        }
    }
    if (going && !reader.found())
        going = reader.records(0, doc.size(), 0, 0); // no usable edit chain: every record
    if (!going && sink.stopReason() != S_OK)
        return Result::Stopped;
    return Result::Ok;
}

} // namespace BinaryDocuments
