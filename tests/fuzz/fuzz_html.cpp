// HTML and FictionBook documents (the first byte's low two bits pick the declared encoding, the
// next two the reading: see below), and Mobipocket books (top bit set), which hold HTML in
// PalmDoc-compressed records.
#include "core/ContentFile.h"
#include "search/textextract/HtmlConverter.h"
#include "search/textextract/MobiConverter.h"
#include "fuzzutil.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::setUp();
    if (size < 1)
        return 0;
    static const char* const encodings[] = {"UTF-8", "", "windows-1252", "UTF-16LE"};
    QByteArray bytes = fuzz::bytesOf(data + 1, size - 1);
    HtmlConverter html;
    html.setWorkFolder(fuzz::scratch() + QStringLiteral("/work"));
    if (data[0] & 0x80) {
        MobiConverter mobi(&html);
        mobi.setWorkFolder(fuzz::scratch() + QStringLiteral("/work"));
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        QString outPath;
        mobi.convert(ContentFile(), &in, &outPath, &out, QString(), nullptr);
        if (!outPath.isEmpty())
            QFile::remove(outPath);
        MobiConverter::decompressPalmDoc(bytes);
        MobiConverter::trailingEntriesSize(bytes, data[0] & 0x7f);
    } else {
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        const QString encoding = QString::fromLatin1(encodings[data[0] % 4]);
        // Bits 2 and 3: the whole conversion of a FictionBook or XHTML document, an HTML
        // page's or an XML file's reading, or a document cut at a small text budget.
        const int reading = (data[0] >> 2) & 3;
        if (reading == 0) {
            html.convert(ContentFile(), &in, nullptr, &out, encoding, nullptr);
        } else {
            static const HtmlConverter::Markup markups[] = {
                HtmlConverter::Markup::Body, HtmlConverter::Markup::Html,
                HtmlConverter::Markup::Xml, HtmlConverter::Markup::Body};
            qint64 budget = reading == 3 ? 4096 : qint64(1) << 30;
            bool cut = false;
            html.convertWithin(ContentFile(), &in, nullptr, &out, encoding, nullptr, &budget, &cut,
                               markups[reading]);
        }
        HtmlConverter::declaredEncoding(QString::fromUtf8(bytes.left(4096)));
    }
    return 0;
}
