// The readers of Word, Excel and PowerPoint 97-2003 documents and RTF (BinaryDocumentReaders),
// the compound-file container under them, and the number formats of spreadsheet cells. The
// first byte picks the reader: 0 Word, 1 Excel, 2 PowerPoint, 3 RTF with the rest the whole
// document; 4 a number format (the rest is a format string, shown for a few values, and read
// as a page header's codes); 5 Word,
// 6 Excel, 7 PowerPoint with the rest the document's streams, written into a compound file
// here (for Word and PowerPoint the first two bytes give the first stream's length, the rest is
// the table stream or the "Current User" stream), so the fuzzer works on the records and not
// on the container. The seeds are real documents written by LibreOffice and the streams of
// hand-made ones.
#include "search/textextract/BinaryDocumentReaders.h"
#include "search/textextract/CompoundFile.h"
#include "search/textextract/NumberFormat.h"
#include "fuzzutil.h"
#include "tests/textextract/cfbgen.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::setUp();
    if (size < 1)
        return 0;
    QByteArray bytes = fuzz::bytesOf(data + 1, size - 1);
    const int kind = data[0] % 8;
    if (kind >= 5) {
        const int first = bytes.size() >= 2 ? qFromLittleEndian<quint16>(bytes.constData()) : 0;
        const QByteArray rest = bytes.mid(2);
        QList<QPair<QString, QByteArray>> streams;
        if (kind == 5)
            streams = {{QStringLiteral("WordDocument"), rest.left(first)}, {QStringLiteral("1Table"), rest.mid(first)}};
        else if (kind == 6)
            streams = {{QStringLiteral("Workbook"), bytes}};
        else
            streams = {{QStringLiteral("PowerPoint Document"), rest.left(first)},
                       {QStringLiteral("Current User"), rest.mid(first)}};
        bytes = cfbgen::Cfb(streams).bytes;
    }
    if (kind == 4) {
        const QString format = QString::fromUtf8(bytes.left(2048));
        for (double v : {0.0, -1.5, 39219.75, 1e15, 0.000123})
            NumberFormat::format(v, format, data[0] & 0x80);
        NumberFormat::headerFooterText(format);
        return 0;
    }
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    FilterControl control;
    control.maxTextBytes = 4 << 20;
    ListTextSink sink(control);
    switch (kind) {
    case 0:
    case 5:
        BinaryDocuments::readWord(&in, sink);
        break;
    case 1:
    case 6:
        BinaryDocuments::readExcel(&in, sink);
        break;
    case 2:
    case 7:
        BinaryDocuments::readPowerPoint(&in, sink);
        break;
    default:
        BinaryDocuments::readRtf(&in, sink);
        break;
    }
    return 0;
}
