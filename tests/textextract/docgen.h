// Generators of small test documents for the text converters: PDF, EPUB, Mobipocket (with a
// PalmDOC compressor) and FB2, and the small runners the converter tests share. Header-only so
// that any test or bench program can include it ("tests/textextract/docgen.h"); EPUB needs
// QuaZip (linked by tq_textextract).
#pragma once

#include "core/FileSearchException.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTextCodec>
#include <QtEndian>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <sys/resource.h>

// Heap bytes under AddressSanitizer or ThreadSanitizer (TQ_HEAPBYTES_ASAN, asanheap::).
#include "tests/common/heapbytes.h"

#include <atomic>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <thread>
#include <vector>

namespace docgen {

// ---------------------------------------------------------------- PDF

inline QByteArray pdfEscape(const QString& text)
{
    QByteArray out;
    for (QChar c : text) {
        const char b = c.unicode() < 128 ? char(c.unicode()) : '?';
        if (b == '(' || b == ')' || b == '\\')
            out.append('\\');
        out.append(b);
    }
    return out;
}

// A PDF file of the given objects (object i + 1, the first the catalog) with a valid
// cross-reference table, so real PDF readers accept it.
inline QByteArray pdfFile(const QList<QByteArray>& objects)
{
    QByteArray out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    QList<int> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets.append(out.size());
        out += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const int xref = out.size();
    out += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (int off : offsets)
        out += QByteArray::number(off).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
           + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

// A PDF with one page per entry of `pages`, each line of ASCII text drawn in Helvetica 10 pt.
inline QByteArray makePdf(const QList<QStringList>& pages)
{
    QList<QByteArray> objects; // object i + 1
    const int pageCount = pages.size();
    // 1 catalog, 2 pages, 3 font, then per page: page object, content stream
    objects.append("<< /Type /Catalog /Pages 2 0 R >>");
    QByteArray kids;
    for (int p = 0; p < pageCount; ++p)
        kids += QByteArray::number(4 + 2 * p) + " 0 R ";
    objects.append("<< /Type /Pages /Kids [ " + kids + "] /Count " + QByteArray::number(pageCount) + " >>");
    objects.append("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    for (int p = 0; p < pageCount; ++p) {
        objects.append("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 3 0 R >> >> /Contents "
                       + QByteArray::number(5 + 2 * p) + " 0 R >>");
        QByteArray stream = "BT /F1 10 Tf 12 TL 40 760 Td\n";
        for (const QString& line : pages[p])
            stream += "(" + pdfEscape(line) + ") Tj T*\n";
        stream += "ET\n";
        objects.append("<< /Length " + QByteArray::number(stream.size()) + " >>\nstream\n" + stream + "endstream");
    }
    return pdfFile(objects);
}

// A PDF of `pageCount` pages that all draw one content stream holding `lines` (a small file
// whose text grows with the page count).
inline QByteArray makePdfSharedContent(const QStringList& lines, int pageCount)
{
    QList<QByteArray> objects; // object i + 1: catalog, pages, font, content, then the pages
    QByteArray kids;
    for (int p = 0; p < pageCount; ++p)
        kids += QByteArray::number(5 + p) + " 0 R ";
    objects.append("<< /Type /Catalog /Pages 2 0 R >>");
    objects.append("<< /Type /Pages /Kids [ " + kids + "] /Count " + QByteArray::number(pageCount) + " >>");
    objects.append("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    QByteArray stream = "BT /F1 10 Tf 12 TL 40 760 Td\n";
    for (const QString& line : lines)
        stream += "(" + pdfEscape(line) + ") Tj T*\n";
    stream += "ET\n";
    objects.append("<< /Length " + QByteArray::number(stream.size()) + " >>\nstream\n" + stream + "endstream");
    for (int p = 0; p < pageCount; ++p)
        objects.append("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 3 0 R >> >>"
                       " /Contents 4 0 R >>");
    return pdfFile(objects);
}

// ---------------------------------------------------------------- ZIP / EPUB

// Writes a ZIP archive with the given members (name, bytes), in order. "mimetype" members
// are stored, the others deflated.
inline bool writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& members)
{
    QuaZip zip(path);
    zip.setFileNameCodec("UTF-8");
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const auto& m : members) {
        QuaZipFile file(&zip);
        const bool stored = m.first == QLatin1String("mimetype");
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(m.first), nullptr, 0,
                       stored ? 0 : 8, stored ? 0 : 6))
            return false;
        if (file.write(m.second) != m.second.size())
            return false;
        file.close();
        if (file.getZipError() != 0)
            return false;
    }
    zip.close();
    return zip.getZipError() == 0;
}

// Overwrites 16 bytes of the deflate data of the zip member `member` at `percent` of its
// compressed length with 0xFF, so that inflating it fails there. False when the member is not
// found or its data is too short.
inline bool damageMember(QByteArray& zip, const QString& member, int percent)
{
    const QByteArray name = member.toUtf8();
    for (int at = zip.indexOf("PK\x03\x04"); at >= 0 && at + 30 <= zip.size(); at = zip.indexOf("PK\x03\x04", at + 4)) {
        const int nameLength = uchar(zip[at + 26]) | uchar(zip[at + 27]) << 8;
        const int extraLength = uchar(zip[at + 28]) | uchar(zip[at + 29]) << 8;
        const int compressed = int(uchar(zip[at + 18]) | uchar(zip[at + 19]) << 8 | uchar(zip[at + 20]) << 16);
        if (zip.mid(at + 30, nameLength) != name)
            continue;
        const int data = at + 30 + nameLength + extraLength;
        const int middle = data + int(qint64(compressed) * percent / 100);
        if (compressed < 64 || middle + 16 > data + compressed)
            return false;
        for (int k = 0; k < 16; ++k)
            zip[middle + k] = char(0xFF);
        return true;
    }
    return false;
}

// XML elements of no meaning and little redundancy, so that their deflate data is long.
inline QByteArray xmlPadding(int elements)
{
    QByteArray padding;
    quint32 seed = 12345;
    for (int i = 0; i < elements; ++i) {
        seed = seed * 1103515245u + 12345u;
        padding += "<x" + QByteArray::number(seed % 99991) + " a=\"" + QByteArray::number(seed, 36) + "\"/>";
    }
    return padding;
}

inline QByteArray xhtmlChapter(const QString& title, const QStringList& paragraphs)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<html xmlns=\"http://www.w3.org/1999/xhtml\">\n<head><title>"
                     + title.toUtf8() + "</title></head>\n<body>\n<h1>" + title.toUtf8() + "</h1>\n";
    for (const QString& p : paragraphs)
        out += "<p>" + p.toUtf8() + "</p>\n";
    out += "</body>\n</html>\n";
    return out;
}

inline QByteArray containerXml(const QString& packagePath)
{
    return "<?xml version=\"1.0\"?>\n<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
           "<rootfiles><rootfile full-path=\"" + packagePath.toUtf8()
           + "\" media-type=\"application/oebps-package+xml\"/></rootfiles>\n</container>\n";
}

struct OpfItem
{
    QString id;
    QString href;
    QString mediaType;
};

// A package document with the manifest items in the given order and the spine's idrefs.
inline QByteArray opf(const QList<OpfItem>& manifest, const QStringList& spine)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"2.0\" unique-identifier=\"id\">\n"
                     "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>T</dc:title></metadata>\n<manifest>\n";
    for (const OpfItem& item : manifest)
        out += "<item id=\"" + item.id.toUtf8() + "\" href=\"" + item.href.toUtf8() + "\" media-type=\""
               + item.mediaType.toUtf8() + "\"/>\n";
    out += "</manifest>\n<spine toc=\"ncx\">\n";
    for (const QString& idref : spine)
        out += "<itemref idref=\"" + idref.toUtf8() + "\"/>\n";
    out += "</spine>\n</package>\n";
    return out;
}

// A book under OEBPS/ whose chapters are listed in the manifest in reverse order and read in
// the given order through the spine. Chapter i is "ch<i>.xhtml" holding `chapters[i]`.
inline bool writeEpub(const QString& path, const QList<QStringList>& chapters)
{
    QList<QPair<QString, QByteArray>> members;
    members.append({QStringLiteral("mimetype"), "application/epub+zip"});
    members.append({QStringLiteral("META-INF/container.xml"), containerXml(QStringLiteral("OEBPS/content.opf"))});
    QList<OpfItem> manifest;
    QStringList spine;
    for (int i = chapters.size() - 1; i >= 0; --i)
        manifest.append({QStringLiteral("c%1").arg(i), QStringLiteral("ch%1.xhtml").arg(i),
                         QStringLiteral("application/xhtml+xml")});
    for (int i = 0; i < chapters.size(); ++i)
        spine.append(QStringLiteral("c%1").arg(i));
    members.append({QStringLiteral("OEBPS/content.opf"), opf(manifest, spine)});
    for (int i = 0; i < chapters.size(); ++i)
        members.append({QStringLiteral("OEBPS/ch%1.xhtml").arg(i),
                        xhtmlChapter(QStringLiteral("Chapter %1").arg(i), chapters[i])});
    return writeZip(path, members);
}

// ---------------------------------------------------------------- PalmDOC / Mobipocket

// PalmDOC (LZ77) compression of one record (at most 4096 bytes): back-references of 3 to 10
// bytes within 2047 bytes, blank + character pairs, literal runs for bytes that need them.
inline QByteArray palmDocCompress(const QByteArray& in)
{
    const int n = in.size();
    const uchar* p = reinterpret_cast<const uchar*>(in.constData());
    QByteArray out;
    std::vector<int> head(1 << 16, -1);
    std::vector<int> prev(n > 0 ? n : 1, -1);
    auto hash = [&](int i) { return ((p[i] << 8) ^ (p[i + 1] << 4) ^ p[i + 2]) & 0xFFFF; };
    int inserted = 0;
    auto insertUpTo = [&](int upTo) {
        for (; inserted < upTo && inserted + 2 < n; ++inserted) {
            const int h = hash(inserted);
            prev[inserted] = head[h];
            head[h] = inserted;
        }
    };
    int i = 0;
    while (i < n) {
        insertUpTo(i);
        int bestLen = 0, bestDist = 0;
        if (i + 2 < n) {
            int cand = head[hash(i)];
            for (int tries = 0; cand >= 0 && tries < 32; ++tries, cand = prev[cand]) {
                const int dist = i - cand;
                if (dist > 2047)
                    break;
                int len = 0;
                while (len < 10 && i + len < n && p[cand + len] == p[i + len])
                    ++len;
                if (len > bestLen) {
                    bestLen = len;
                    bestDist = dist;
                }
            }
        }
        if (bestLen >= 3) {
            const quint16 code = quint16(0x8000 | (bestDist << 3) | (bestLen - 3));
            out.append(char(code >> 8));
            out.append(char(code & 0xFF));
            i += bestLen;
        } else if (p[i] == ' ' && i + 1 < n && p[i + 1] >= 0x40 && p[i + 1] <= 0x7F) {
            out.append(char(p[i + 1] ^ 0x80));
            i += 2;
        } else if (p[i] >= 0x09 && p[i] <= 0x7F) {
            out.append(char(p[i]));
            ++i;
        } else {
            int count = 0;
            while (count < 8 && i + count < n && (p[i + count] < 0x09 || p[i + count] > 0x7F))
                ++count;
            out.append(char(count));
            out.append(in.mid(i, count));
            i += count;
        }
    }
    return out;
}

struct MobiOptions
{
    int compression = 2;        // 1 none, 2 PalmDOC, 17480 HUFF/CDIC
    quint32 textEncoding = 65001;
    int encryption = 0;
    quint16 extraFlags = 0;     // bit 0 multibyte bytes, bit 1 one more trailing entry
    int recordSize = 4096;      // text bytes per record
    bool trailingImageRecord = true; // a non-text record after the text records
};

// Record 0 of a Mobipocket book: PalmDOC header (16 bytes) and MOBI header (0xE8 bytes).
inline QByteArray mobiRecord0(const MobiOptions& o, quint32 textLength, int textRecords)
{
    QByteArray r0(16 + 0xE8, '\0');
    auto put16 = [](QByteArray& b, int at, quint16 v) { qToBigEndian<quint16>(v, b.data() + at); };
    auto put32 = [](QByteArray& b, int at, quint32 v) { qToBigEndian<quint32>(v, b.data() + at); };
    put16(r0, 0, quint16(o.compression));
    put32(r0, 4, textLength);
    put16(r0, 8, quint16(textRecords));
    put16(r0, 10, 4096);
    put16(r0, 12, quint16(o.encryption));
    r0.replace(16, 4, "MOBI");
    put32(r0, 20, 0xE8);
    put32(r0, 24, 2);
    put32(r0, 28, o.textEncoding);
    put32(r0, 36, 6);
    put16(r0, 0xF2, o.extraFlags);
    return r0;
}

// A Palm database "BOOKMOBI" holding the given records.
inline QByteArray makePdb(const QList<QByteArray>& records)
{
    const int n = records.size();
    QByteArray out(78, '\0');
    out.replace(0, 8, "testbook");
    out.replace(60, 8, "BOOKMOBI");
    out[76] = char((n >> 8) & 0xFF); // record count, big-endian
    out[77] = char(n & 0xFF);
    int offset = 78 + 8 * n + 2;
    for (int i = 0; i < n; ++i) {
        QByteArray e(8, '\0');
        qToBigEndian<quint32>(quint32(offset), e.data());
        qToBigEndian<quint32>(quint32(2 * i), e.data() + 4);
        out += e;
        offset += records[i].size();
    }
    out += QByteArray(2, '\0');
    for (const QByteArray& r : records)
        out += r;
    return out;
}

// A Mobipocket book (Palm database "BOOKMOBI") holding `html` as its text.
inline QByteArray makeMobi(const QByteArray& html, const MobiOptions& o = MobiOptions())
{
    QList<QByteArray> texts;
    for (int at = 0; at < html.size(); at += o.recordSize)
        texts.append(html.mid(at, o.recordSize));
    QList<QByteArray> records;
    records.append(mobiRecord0(o, quint32(html.size()), texts.size()));
    for (const QByteArray& t : texts) {
        QByteArray rec = o.compression == 2 ? palmDocCompress(t) : t;
        if (o.extraFlags & 1)
            rec += char(0); // no bytes of a split character: low bits 0 -> entry of 1 byte
        if (o.extraFlags & 2) {
            // an entry of 5 bytes: 4 junk bytes and its size as a backward integer
            rec += QByteArray("<p>J", 4);
            rec += char(0x80 | 5);
        }
        records.append(rec);
    }
    if (o.trailingImageRecord)
        records.append(QByteArray("\xFF\xD8\xFF\xE0<p>IMAGEJUNK<p>", 19));
    return makePdb(records);
}

// ---------------------------------------------------------------- FB2

// A FictionBook document in windows-1251 declaring that encoding; one section per entry, one
// paragraph per line.
inline QByteArray makeFb2(const QList<QStringList>& sections)
{
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"
                                  "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">\n"
                                  "<description><title-info><book-title>Book</book-title></title-info></description>\n<body>\n");
    for (const QStringList& s : sections) {
        text += QStringLiteral("<section>\n");
        for (const QString& p : s)
            text += QStringLiteral("<p>") + p + QStringLiteral("</p>\n");
        text += QStringLiteral("</section>\n");
    }
    text += QStringLiteral("</body>\n</FictionBook>\n");
    return QTextCodec::codecForName("windows-1251")->fromUnicode(text);
}

// ---------------------------------------------------------------- devices

// An output device that only counts the bytes written to it (for texts too large to keep).
class CountingSink : public QIODevice
{
public:
    CountingSink() { open(QIODevice::WriteOnly); }
    qint64 total = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        total += size;
        return size;
    }
};

// ---------------------------------------------------------------- reading results

inline QString fromUtf16LE(const QByteArray& b)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(b.constData()), b.size() / 2);
}

// ---------------------------------------------------------------- runners

// Whether `run` ends by the converters' cancel exception ("Convert canceled").
template <class F>
bool cancels(F run)
{
    try {
        run();
    } catch (const FileSearchCancelException& e) {
        return QString::fromUtf8(e.what()).contains(QLatin1String("Convert canceled"));
    }
    return false;
}

// Runs `run` and returns once it has returned. A run that does not return within `ms` is
// reported ("FAIL!  : <what> never ends") and the program exits: a thread spinning in a loop
// cannot be stopped, and waiting for it would hang the test instead of failing it.
template <class F>
void endsWithin(int ms, const char* what, F run)
{
    std::atomic<bool> ended{false};
    std::thread watchdog([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!ended && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10)); // polls the end
        if (!ended) {
            std::fprintf(stderr, "FAIL!  : %s never ends\n", what);
            std::fflush(stderr);
            std::_Exit(1);
        }
    });
    run();
    ended = true;
    watchdog.join();
}

// A memory bound for peakGrowthKiB. Under AddressSanitizer it is half as much again: its realloc
// always allocates anew and copies, so a growing buffer briefly holds its old and new blocks
// (glibc grows large blocks in place).
constexpr long memoryBoundKiB(long kib)
{
#ifdef TQ_HEAPBYTES_ASAN
    return kib + kib / 2;
#else
    return kib;
#endif
}

// How much the process's peak memory grew while `run` ran, in KiB (heap bytes through asanheap in
// sanitizer builds).
template <class F>
long peakGrowthKiB(F run)
{
#ifdef TQ_HEAPBYTES_ASAN
    asanheap::install();
    const long long before = asanheap::live().load();
    asanheap::peak().store(before);
    run();
    return long((asanheap::peak().load() - before) / 1024);
#else
    // The kernel's peak (VmHWM) is reset to the current size first where it can be (Linux
    // 4.0 and later), so an earlier peak of the process cannot hide this one.
    auto statusKiB = [](const char* key) -> long {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith(key))
                return line.mid(int(std::strlen(key))).trimmed().split(' ').value(0).toLong();
        }
        return -1;
    };
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly) && clear.write("5") == 1) {
        clear.close();
        const long before = statusKiB("VmRSS:");
        run();
        const long peak = statusKiB("VmHWM:");
        if (before >= 0 && peak >= 0)
            return peak - before;
    }
    struct rusage before, after;
    getrusage(RUSAGE_SELF, &before);
    run();
    getrusage(RUSAGE_SELF, &after);
    return after.ru_maxrss - before.ru_maxrss;
#endif
}

// Raises a cancel flag when the work it watches has not ended within `ms`: a converter that
// loops for ever is then ended by its own cancellation instead of hanging the test.
class Watchdog
{
public:
    Watchdog(bool* flag, int ms)
        : thread([this, flag, ms] {
              for (int waited = 0; waited < ms && !done; waited += 10)
                  std::this_thread::sleep_for(std::chrono::milliseconds(10)); // polls the end
              if (!done) {
                  fired_ = true;
                  __atomic_store_n(flag, true, __ATOMIC_RELAXED);
              }
          })
    {
    }
    ~Watchdog() { stop(); }
    // Ends the watch; true when the flag had to be raised.
    bool stop()
    {
        done = true;
        if (thread.joinable())
            thread.join();
        return fired_;
    }

private:
    std::atomic<bool> done{false};
    std::atomic<bool> fired_{false};
    std::thread thread;
};

// Runs `ok(t)` `rounds` times in each of `threads` threads at once; the number of true results.
template <class F>
int countSuccesses(int threads, int rounds, F ok)
{
    std::atomic<int> good{0};
    std::vector<std::thread> running;
    for (int t = 0; t < threads; ++t)
        running.emplace_back([&, t] {
            for (int round = 0; round < rounds; ++round)
                if (ok(t))
                    ++good;
        });
    for (auto& th : running)
        th.join();
    return good.load();
}

} // namespace docgen
