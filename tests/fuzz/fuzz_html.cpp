// HTML and FictionBook documents (the first byte picks the declared encoding), and Mobipocket
// books, which hold HTML in PalmDoc-compressed records.
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
        html.convert(ContentFile(), &in, nullptr, &out, QString::fromLatin1(encodings[data[0] % 4]),
                     nullptr);
        HtmlConverter::declaredEncoding(QString::fromUtf8(bytes.left(4096)));
    }
    return 0;
}
