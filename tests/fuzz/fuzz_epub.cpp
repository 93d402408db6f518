// EPUB books: the zip container (members that fail to inflate part-way, lying sizes),
// container.xml, the package document (manifest and spine) and the XHTML documents the spine
// names, through the whole conversion as the content search runs it.
//
// With the top bit of the first byte clear, the rest is the book's file itself. With it set,
// the rest is the XML of container.xml, the package "OEBPS/content.opf" and two chapters
// "OEBPS/ch1.xhtml" and "OEBPS/ch2.xhtml", separated by 0 bytes, packed into a valid book here
// (deflated, or stored when bit 6 is set), so that the fuzzer works on the XML as well.
// A conversion that does not end (a loop that never reaches the end of a damaged member) is
// found by libFuzzer's time limit.
#include "core/ContentFile.h"
#include "search/textextract/EPUBConverter.h"
#include "search/textextract/HtmlConverter.h"
#include "fuzzutil.h"

#include <QBuffer>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

namespace {

QByteArray packBook(const QList<QByteArray>& members, bool stored)
{
    static const char* const names[] = {"META-INF/container.xml", "OEBPS/content.opf",
                                        "OEBPS/ch1.xhtml", "OEBPS/ch2.xhtml"};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdCreate))
        return QByteArray();
    {
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("mimetype")), nullptr, 0, 0, 0))
            return QByteArray();
        f.write("application/epub+zip");
        f.close();
    }
    for (int i = 0; i < 4; ++i) {
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(QLatin1String(names[i])), nullptr, 0,
                    stored ? 0 : Z_DEFLATED, stored ? 0 : Z_DEFAULT_COMPRESSION))
            return QByteArray();
        f.write(members.value(i));
        f.close();
    }
    zip.close();
    return zip.getZipError() == 0 ? bytes : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::setUp();
    if (size < 1)
        return 0;
    QByteArray book = fuzz::bytesOf(data + 1, size - 1);
    if (data[0] & 0x80) {
        book = packBook(book.split('\0'), data[0] & 0x40);
        if (book.isEmpty())
            return 0;
    }
    HtmlConverter html;
    html.setWorkFolder(fuzz::scratch() + QStringLiteral("/work"));
    EPUBConverter epub(&html);
    epub.setWorkFolder(fuzz::scratch() + QStringLiteral("/work"));
    // Read as the content search reads a book: through the file's open descriptor.
    const QString path = fuzz::scratch() + QStringLiteral("/book.epub");
    if (!fuzz::writeFile(path, book))
        return 0;
    const ContentFile document = ContentFile::open(path);
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    QString outPath;
    epub.convert(document, nullptr, &outPath, &out, QString(), nullptr);
    if (!outPath.isEmpty())
        QFile::remove(outPath);

    // The two parsers alone, on the raw bytes.
    QByteArray raw = fuzz::bytesOf(data + 1, size - 1);
    QBuffer device(&raw);
    device.open(QIODevice::ReadOnly);
    QString packagePath;
    EPUBConverter::parseContainerXml(&device, &packagePath);
    device.seek(0);
    QStringList spine;
    EPUBConverter::parseOpf(&device, &spine);
    return 0;
}
