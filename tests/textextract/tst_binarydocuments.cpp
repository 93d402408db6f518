// The readers of Office 97-2003 documents and RTF, on documents built here byte by byte: the
// compound-file container (big and small streams, chains that loop, directories that loop,
// sectors outside the file), Excel records (shared strings cut by CONTINUE records with a
// change of width and phonetic data, formats, formulas' text results, text boxes), the live
// edit of a PowerPoint file (a slide saved twice gives its newest text only), RTF (code pages,
// \u with its fallback skipped, notes after the main text, fields, \bin, nesting), and number
// formats shown as the applications show them. The documents that real tools write are checked
// by the document set (tst_documentcorpus).
#include "core/ContentFile.h"
#include "search/textextract/BinaryDocumentFilter.h"
#include "search/textextract/BinaryDocumentReaders.h"
#include "search/textextract/CompoundFile.h"
#include "search/textextract/NumberFormat.h"
#include "tests/textextract/cfbgen.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTextCodec>
#include <QtEndian>
#include <QtTest>

#include <vector>

namespace {

using cfbgen::Cfb;
using cfbgen::put16;
using cfbgen::put32;

QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    put16(b, 0, v);
    return b;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    put32(b, 0, v);
    return b;
}

bool openCfb(CompoundFile& cf, QBuffer& buffer, const QByteArray& bytes)
{
    buffer.close();
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return cf.open(&buffer);
}

// The paragraphs a reader gives for `bytes`.
template <class Reader>
QStringList paragraphs(Reader reader, const QByteArray& bytes, BinaryDocuments::Result* result = nullptr)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    ListTextSink sink;
    const BinaryDocuments::Result r = reader(&buffer, sink);
    if (result)
        *result = r;
    return sink.list;
}

QStringList rtf(const QByteArray& text)
{
    return paragraphs(BinaryDocuments::readRtf, text);
}

// ---- BIFF8 records
QByteArray record(quint16 type, const QByteArray& data)
{
    return le16(type) + le16(quint16(data.size())) + data;
}

QByteArray cell(quint16 row, quint16 col, quint16 xf)
{
    return le16(row) + le16(col) + le16(xf);
}

QByteArray doubleBytes(double v)
{
    quint64 bits;
    memcpy(&bits, &v, 8);
    QByteArray b(8, '\0');
    qToLittleEndian<quint64>(bits, b.data());
    return b;
}

// A BIFF8 XF record (20 bytes) with the number format `format`.
QByteArray xf(quint16 format)
{
    QByteArray data(20, '\0');
    put16(data, 2, format);
    return record(0x00E0, data);
}

// ---- PowerPoint records
QByteArray pptRecord(quint16 versionInstance, quint16 type, const QByteArray& data)
{
    return le16(versionInstance) + le16(type) + le32(quint32(data.size())) + data;
}

QByteArray textChars(const QString& text)
{
    QByteArray data;
    for (QChar c : text)
        data += le16(c.unicode());
    return pptRecord(0, 0x0FA0, data);
}

} // namespace

class TestBinaryDocuments : public QObject
{
    Q_OBJECT

private slots:
    void compoundFileStreams()
    {
        const QByteArray big(5000, 'B');
        const QByteArray smallData = "small stream data";
        Cfb cfb({{QStringLiteral("Big"), big}, {QStringLiteral("Small"), smallData}});
        CompoundFile cf;
        QBuffer buffer;
        QVERIFY(openCfb(cf, buffer, cfb.bytes));
        QByteArray out;
        QVERIFY(cf.readStream(QStringLiteral("big"), &out)); // names compare ignoring case
        QCOMPARE(out, big);
        QVERIFY(cf.readStream(QStringLiteral("/Small"), &out));
        QCOMPARE(out, smallData);
        QVERIFY(cf.readStream(QStringLiteral("Big"), &out, 100));
        QCOMPARE(out, big.left(100));
        QVERIFY(!cf.readStream(QStringLiteral("Missing"), &out));
        QCOMPARE(cf.children(QString()), (QStringList{QStringLiteral("Big"), QStringLiteral("Small")}));
        QVERIFY(!cf.hasStream(QString())); // the root is a storage

        // Not a compound file, a header cut short.
        QVERIFY(!openCfb(cf, buffer, QByteArray("plain text, not a container")));
        QVERIFY(!openCfb(cf, buffer, cfb.bytes.left(300)));
    }

    // Damaged containers end reading where they go wrong, at once and without reading outside.
    void compoundFileDamage()
    {
        Cfb cfb({{QStringLiteral("Big"), QByteArray(5000, 'B')}, {QStringLiteral("Small"), QByteArray(200, 's')}});
        QElapsedTimer timer;
        timer.start();
        CompoundFile cf;
        QBuffer buffer;
        QByteArray out;

        // The big stream's second sector leads back to its first: a chain that loops.
        QByteArray looped = cfb.bytes;
        put32(looped, cfb.fatEntryOffset(cfb.firstSector[0] + 1), quint32(cfb.firstSector[0]));
        QVERIFY(openCfb(cf, buffer, looped));
        QVERIFY(!cf.readStream(QStringLiteral("Big"), &out) || out.size() == 5000);
        QVERIFY(out.size() <= 5000);

        // A stream starting far past the file's end.
        QByteArray outside = cfb.bytes;
        put32(outside, cfb.directoryEntryOffset(1) + 0x74, 100000);
        QVERIFY(openCfb(cf, buffer, outside));
        QVERIFY(!cf.readStream(QStringLiteral("Big"), &out));

        // A directory whose entry is its own right sibling, and one whose stream is the
        // root's own child again: the tree walk ends.
        QByteArray selfSibling = cfb.bytes;
        put32(selfSibling, cfb.directoryEntryOffset(1) + 0x48, 1);
        QVERIFY(openCfb(cf, buffer, selfSibling));
        QVERIFY(!cf.hasStream(QStringLiteral("Small")));
        QVERIFY(cf.hasStream(QStringLiteral("Big")));
        QByteArray loop = cfb.bytes;
        put32(loop, cfb.directoryEntryOffset(2) + 0x48, 1);
        QVERIFY(openCfb(cf, buffer, loop));
        QVERIFY(cf.hasStream(QStringLiteral("Small")));

        // A mini stream sector past the mini stream, a mini FAT chain that loops.
        QByteArray badMini = cfb.bytes;
        put32(badMini, cfb.directoryEntryOffset(2) + 0x74, 5000);
        QVERIFY(openCfb(cf, buffer, badMini));
        QVERIFY(!cf.readStream(QStringLiteral("Small"), &out));
        QByteArray miniLoop = cfb.bytes;
        put32(miniLoop, 3 * 512 + 4 * (cfb.firstSector[1] + 1), quint32(cfb.firstSector[1]));
        QVERIFY(openCfb(cf, buffer, miniLoop));
        cf.readStream(QStringLiteral("Small"), &out);
        QVERIFY(out.size() <= 200);

        // A DIFAT chain that names itself, a FAT sector count far beyond the file.
        QByteArray difat = cfb.bytes;
        put32(difat, 0x44, 0);
        put32(difat, 0x48, 0x7FFFFFFF);
        put32(difat, 0x2C, 0x7FFFFFFF);
        QVERIFY(openCfb(cf, buffer, difat));
        QVERIFY(timer.elapsed() < 5000);
    }

    void excelCellsAsShown()
    {
        // Globals: a custom format, XF 0 General, XF 1 the built-in d-mmm-yy (15), XF 2 the
        // custom "0.0%", a shared-string table whose second string starts 8-bit, goes on in
        // a CONTINUE record as UTF-16 and carries phonetic data that ends in the next one.
        QByteArray globals = record(0x0809, le16(0x0600) + le16(0x0005) + QByteArray(12, '\0'));
        globals += record(0x041E, le16(170) + le16(4) + QByteArray(1, '\0') + "0.0%");
        globals += xf(0) + xf(15) + xf(170);
        const QByteArray phonetic = QByteArray(10, '\x55');
        QByteArray sst = le32(3) + le32(3);
        sst += le16(5) + QByteArray(1, '\0') + "Hello";
        sst += le16(7) + QByteArray(1, '\x04') + le32(quint32(phonetic.size())) + "Stra"; // fExtSt, 8-bit start
        QByteArray cont = QByteArray(1, '\x01') + le16(0x00DF) + le16('e') + le16(' ') + phonetic.left(4);
        QByteArray cont2 = phonetic.mid(4) + le16(4) + QByteArray(1, '\0') + "Last";
        globals += record(0x00FC, sst) + record(0x003C, cont) + record(0x003C, cont2);
        globals += record(0x000A, QByteArray());

        QByteArray sheet = record(0x0809, le16(0x0600) + le16(0x0010) + QByteArray(12, '\0'));
        sheet += record(0x00FD, cell(0, 0, 0) + le32(0)) + record(0x00FD, cell(0, 1, 0) + le32(1));
        sheet += record(0x0203, cell(1, 0, 1) + doubleBytes(39219)); // 17-May-07
        // MULRK: 25% (25 / 100 as an integer RK) through XF 2 and 100 (an integer RK) through XF 0.
        sheet += record(0x00BD, le16(1) + le16(1) + le16(2) + le32(quint32(qint32(25) << 2 | 2 | 1)) + le16(0)
                                    + le32(quint32(100 << 2 | 2)) + le16(2));
        QByteArray formula = cell(2, 0, 0) + QByteArray("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8) + QByteArray(6, '\0');
        sheet += record(0x0006, formula) + record(0x0207, le16(11) + QByteArray(1, '\0') + "Formulatext");
        sheet += record(0x0205, cell(2, 1, 0) + QByteArray("\x01\x00", 2));
        sheet += record(0x0205, cell(2, 2, 0) + QByteArray("\x07\x01", 2));
        sheet += record(0x00FD, cell(2, 3, 0) + le32(99)); // no such string
        // A text box: TXO with its text in the CONTINUE record after it.
        QByteArray txo(18, '\0');
        put16(txo, 10, 7);
        sheet += record(0x01B6, txo) + record(0x003C, QByteArray(1, '\0') + "Boxtext") + record(0x003C, QByteArray(16, '\0'));
        sheet += record(0x000A, QByteArray());

        Cfb cfb({{QStringLiteral("Workbook"), globals + sheet}});
        BinaryDocuments::Result result;
        const QStringList text = paragraphs(BinaryDocuments::readExcel, cfb.bytes, &result);
        QCOMPARE(int(result), int(BinaryDocuments::Result::Ok));
        QCOMPARE(text, (QStringList{QString::fromUtf8("Hello\tStraße "), QStringLiteral("17-May-07\t25.0%\t100"),
                                    QStringLiteral("Formulatext\tTRUE\t#DIV/0!"), QStringLiteral("Boxtext")}));

        // A workbook protected by a password gives nothing.
        QByteArray locked = record(0x0809, le16(0x0600) + le16(0x0005) + QByteArray(12, '\0'))
                            + record(0x002F, QByteArray(6, '\0')) + record(0x000A, QByteArray());
        paragraphs(BinaryDocuments::readExcel, Cfb({{QStringLiteral("Workbook"), locked}}).bytes, &result);
        QCOMPARE(int(result), int(BinaryDocuments::Result::Encrypted));
        // A shared-string table claiming billions of strings holds what is there.
        QByteArray huge = record(0x0809, le16(0x0600) + le16(0x0005) + QByteArray(12, '\0'))
                          + record(0x00FC, le32(0x7FFFFFFF) + le32(0x7FFFFFFF) + le16(1) + QByteArray(1, '\0') + "x");
        paragraphs(BinaryDocuments::readExcel, Cfb({{QStringLiteral("Workbook"), huge}}).bytes, &result);
        QCOMPARE(int(result), int(BinaryDocuments::Result::Ok));
    }

    // Excel 5/95 (a "Book" stream of 8-bit strings in the workbook's code page): the cells,
    // a comment in NOTE records (the second going on with row 0xFFFF), a text box whose text
    // has no flags byte, the page header and footer without their codes; and a BIFF8 header.
    void excelNotesAndHeaders()
    {
        auto biff5Text = [](const QByteArray& bytes) { return QByteArray(1, char(bytes.size())) + bytes; };
        QByteArray book = record(0x0809, le16(0x0500) + le16(0x0005) + QByteArray(4, '\0'));
        book += record(0x0042, le16(1251));
        book += record(0x000A, QByteArray());
        book += record(0x0809, le16(0x0500) + le16(0x0010) + QByteArray(4, '\0'));
        book += record(0x0014, biff5Text("&L&\"Arial,Bold\"\xcb\xe5\xe2\xee&C&12Middle &P of &N&R&KFF0000A && B"));
        book += record(0x0015, biff5Text("&CPage &P"));
        book += record(0x0204, cell(0, 0, 0) + le16(6) + "\xcf\xf0\xe8\xe2\xe5\xf2");
        book += record(0x001C, le16(0) + le16(0) + le16(6) + "Notepa");
        book += record(0x001C, le16(0xFFFF) + le16(0) + le16(7) + "rt\xe4 two");
        QByteArray txo(18, '\0');
        put16(txo, 10, 6);
        book += record(0x01B6, txo) + record(0x003C, "Box\xe1\xee\xf5") + record(0x003C, QByteArray(16, '\0'));
        book += record(0x000A, QByteArray());
        BinaryDocuments::Result result;
        QCOMPARE(paragraphs(BinaryDocuments::readExcel, Cfb({{QStringLiteral("Book"), book}}).bytes, &result),
                 (QStringList{QString::fromUtf8("Лево\tMiddle  of\tA & B"), QStringLiteral("Page"),
                              QString::fromUtf8("Привет"), QString::fromUtf8("Notepartд two"),
                              QString::fromUtf8("Boxбох")}));
        QCOMPARE(int(result), int(BinaryDocuments::Result::Ok));

        QByteArray workbook = record(0x0809, le16(0x0600) + le16(0x0010) + QByteArray(12, '\0'));
        workbook += record(0x0014, le16(5) + QByteArray(1, '\x01') + le16('&') + le16('C') + le16(0x00DF) + le16('&')
                                       + le16('A'));
        workbook += record(0x0015, QByteArray()) + record(0x000A, QByteArray());
        QCOMPARE(paragraphs(BinaryDocuments::readExcel, Cfb({{QStringLiteral("Workbook"), workbook}}).bytes),
                 (QStringList{QString::fromUtf8("ß")}));
    }

    // Cut codes at the end, a font name never closed, codes alone.
    void headerFooterCodes()
    {
        QCOMPARE(NumberFormat::headerFooterText(QStringLiteral("&LLeft&RRight&")), QStringLiteral("Left\tRight"));
        QCOMPARE(NumberFormat::headerFooterText(QStringLiteral("Text&\"Arial,Bold")), QStringLiteral("Text"));
        QCOMPARE(NumberFormat::headerFooterText(QStringLiteral("&K01+050&B&I&U&D&T&F&Z&G")), QString());
        QCOMPARE(NumberFormat::headerFooterText(QStringLiteral("&C&\"-,Regular\"&10Sheet &A, 2&&3")),
                 QStringLiteral("Sheet , 2&3"));
    }

    // Only the objects of the newest edit are read: a slide saved again gives its new text.
    void powerPointLiveEdit()
    {
        QByteArray doc;
        const int oldSlide = doc.size();
        doc += pptRecord(0x000F, 0x03EE, textChars(QStringLiteral("Oldtext")));
        const int newSlide = doc.size();
        QByteArray headers = pptRecord(0x000F, 0x0FD9, pptRecord(0x0020, 0x0FBA, textChars(QStringLiteral("Footertext")).mid(8)));
        doc += pptRecord(0x000F, 0x03EE, textChars(QStringLiteral("Newtext\rSecond line")) + headers);
        auto persistDirectory = [](int id, int offset) {
            return pptRecord(0, 0x1772, le32(quint32(id) | (1u << 20)) + le32(quint32(offset)));
        };
        auto userEdit = [](int lastEdit, int directory) {
            return pptRecord(0, 0x0FF5, le32(0) + le16(0) + QByteArray(2, '\0') + le32(quint32(lastEdit))
                                            + le32(quint32(directory)) + le32(1) + le32(2) + QByteArray(4, '\0'));
        };
        const int dir1 = doc.size();
        doc += persistDirectory(1, oldSlide);
        const int edit1 = doc.size();
        doc += userEdit(0, dir1);
        const int dir2 = doc.size();
        doc += persistDirectory(1, newSlide);
        const int edit2 = doc.size();
        doc += userEdit(edit1, dir2);
        const QByteArray currentUser = pptRecord(0, 0x0FF6, le32(0x14) + le32(0xE391C05Fu) + le32(quint32(edit2))
                                                          + QByteArray(8, '\0'));
        Cfb cfb({{QStringLiteral("PowerPoint Document"), doc}, {QStringLiteral("Current User"), currentUser}});
        QCOMPARE(paragraphs(BinaryDocuments::readPowerPoint, cfb.bytes),
                 (QStringList{QStringLiteral("Newtext"), QStringLiteral("Second line"), QStringLiteral("Footertext")}));

        // Without a usable edit chain every record is read.
        Cfb noUser({{QStringLiteral("PowerPoint Document"), doc}});
        QCOMPARE(paragraphs(BinaryDocuments::readPowerPoint, noUser.bytes).size(), 4);
        // An edit chain that loops, a container longer than the stream: no hang, no crash.
        QByteArray looped = doc;
        put32(looped, edit1 + 16, quint32(edit2));
        paragraphs(BinaryDocuments::readPowerPoint, Cfb({{QStringLiteral("PowerPoint Document"), looped},
                                                           {QStringLiteral("Current User"), currentUser}}).bytes);
        QByteArray longer = doc;
        put32(longer, 4, 0x7FFFFFFF);
        paragraphs(BinaryDocuments::readPowerPoint, Cfb({{QStringLiteral("PowerPoint Document"), longer}}).bytes);
        // A file saved with a password.
        QByteArray encrypted = currentUser;
        put32(encrypted, 12, 0xF3D1C4DFu);
        BinaryDocuments::Result result;
        paragraphs(BinaryDocuments::readPowerPoint, Cfb({{QStringLiteral("PowerPoint Document"), doc},
                                                           {QStringLiteral("Current User"), encrypted}}).bytes, &result);
        QCOMPARE(int(result), int(BinaryDocuments::Result::Encrypted));
    }

    // A slide's comment sits in the data of its binary tag, an atom by its version whose
    // content is records: its author is left out, its text read.
    void powerPointComments()
    {
        QByteArray author = pptRecord(0x0000, 0x0FBA, le16('T'));
        QByteArray text = pptRecord(0x0010, 0x0FBA, le16('N') + le16('o') + le16('t') + le16('e'));
        QByteArray comment = pptRecord(0x000F, 0x2EE0, author + text);
        QByteArray tag = pptRecord(0x000F, 0x138A, pptRecord(0, 0x0FBA, QByteArray("_\0_\0_\0P\0P\0T\0" "1\0" "0\0", 16))
                                                      + pptRecord(0x0000, 0x138B, comment));
        QByteArray slide = pptRecord(0x000F, 0x03EE, textChars(QStringLiteral("Slidetext")) + pptRecord(0x000F, 0x1388, tag));
        QCOMPARE(paragraphs(BinaryDocuments::readPowerPoint, Cfb({{QStringLiteral("PowerPoint Document"), slide}}).bytes),
                 (QStringList{QStringLiteral("Slidetext"), QStringLiteral("Note")}));
    }

    void rtfText_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QStringList>("expected");
        // The character after a \u escape's fallback is kept ("— Straße", not "—traße").
        QTest::newRow("\\u with its fallback") << QByteArray("{\\rtf1\\ansi\\uc1 \\u8212\\'97 Stra\\u223\\'dfe}")
                                              << QStringList{QString::fromUtf8("— Straße")};
        QTest::newRow("\\uc2, \\uc0") << QByteArray("{\\rtf1\\uc2\\u26085\\'93\\'fa!{\\uc0\\u26412 b}c}")
                                     << QStringList{QString::fromUtf8("日!本bc")};
        QTest::newRow("fallback ends with its group") << QByteArray("{\\rtf1\\uc3{\\u26085 x}yz}")
                                                      << QStringList{QString::fromUtf8("日yz")};
        QTest::newRow("surrogate pair") << QByteArray("{\\rtf1\\u-10179?\\u-8704?}")
                                        << QStringList{QString::fromUtf8("😀")};
        QTest::newRow("font charset 204")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times;}{\\f1\\fcharset204 Arial;}}"
                          "\\f1 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\f0 caf\\'e9}")
            << QStringList{QString::fromUtf8("Привет café")};
        QTest::newRow("Shift-JIS bytes as one character")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 \\'93\\'fa\\'96\\'7b}")
            << QStringList{QString::fromUtf8("日本")};
        QTest::newRow("document code page") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'e4\\'e0}")
                                            << QStringList{QString::fromUtf8("да")};
        QTest::newRow("notes, comments, headers after the text")
            << QByteArray("{\\rtf1{\\header Top}Main{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} Note}"
                          " text{\\*\\atnid x}{\\*\\annotation Remark}\\par Next\\par}")
            << QStringList{QStringLiteral("Main text"), QStringLiteral("Next"), QStringLiteral("Top"),
                           QStringLiteral(" Note"), QStringLiteral("Remark")};
        QTest::newRow("field result, not its code")
            << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt Shown}} here}")
            << QStringList{QStringLiteral("see Shown here")};
        QTest::newRow("hidden destinations")
            << QByteArray("{\\rtf1{\\colortbl;\\red0;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}"
                          "{\\*\\generator G;}{\\pict\\pngblip 89504e47}{\\*\\unknownthing U}A\\tab B\\line C\\cell D}")
            << QStringList{QStringLiteral("A\tB"), QStringLiteral("C\tD")};
        QTest::newRow("\\bin skips raw bytes") << QByteArray("{\\rtf1 a\\bin3 }}{b}", 19)
                                              << QStringList{QStringLiteral("ab")};
        QTest::newRow("symbols") << QByteArray("{\\rtf1 \\{x\\}\\\\ a\\~b\\_c\\-d\\emdash\\lquote q\\rquote}")
                                 << QStringList{QString::fromUtf8("{x}\\ a b-cd—‘q’")};
        QTest::newRow("not RTF") << QByteArray("plain") << QStringList();
        QTest::newRow("cut short") << QByteArray("{\\rtf1 cut \\'e") << QStringList{QStringLiteral("cut ")};
    }

    void rtfText()
    {
        QFETCH(QByteArray, document);
        QFETCH(QStringList, expected);
        QCOMPARE(rtf(document), expected);
    }

    // Nesting a hundred thousand groups deep, control words of endless letters and digits,
    // \bin with a huge count: bounded, no crash.
    void rtfDamage()
    {
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(rtf("{\\rtf1 a" + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + " z}"),
                 QStringList{QStringLiteral("adeep z")});
        rtf("{\\rtf1 \\" + QByteArray(100000, 'x') + "123456789012345678901234567890 w}");
        QCOMPARE(rtf("{\\rtf1 a\\bin99999999999 b}"), QStringList{QStringLiteral("a")});
        rtf("{\\rtf1 " + QByteArray(100000, '}') + "x");
        QVERIFY(timer.elapsed() < 10000);
    }

    // The sink's bound ends the reading and keeps the text up to it.
    void boundedText()
    {
        QByteArray body;
        for (int i = 0; i < 2000; ++i)
            body += "paragraph " + QByteArray::number(i) + "\\par ";
        QByteArray doc = "{\\rtf1 " + body + "}";
        QBuffer buffer(&doc);
        buffer.open(QIODevice::ReadOnly);
        FilterControl control;
        control.maxTextBytes = 1000;
        ListTextSink sink(control);
        QCOMPARE(int(BinaryDocuments::readRtf(&buffer, sink)), int(BinaryDocuments::Result::Stopped));
        QCOMPARE(sink.stopReason(), S_OK);
        QVERIFY(sink.isFull());
        QCOMPARE(sink.joined().size() - (sink.list.size() - 1), 500);
        QCOMPARE(sink.list.first(), QStringLiteral("paragraph 0"));

        // Cancelled: the filter gives up with E_ABORT and holds nothing.
        bool cancel = true;
        FilterControl cancelled;
        cancelled.cancelFlag = &cancel;
        buffer.seek(0);
        const ContentFile none;
        BinaryDocumentFilter filter(BinaryDocumentFilter::Kind::Word, none);
        QCOMPARE(filter.initFrom(&buffer, cancelled), E_ABORT);
    }

    void numberFormats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("shown");
        QTest::newRow("d-mmm-yy") << 39219.0 << "d-mmm-yy" << "17-May-07";
        QTest::newRow("built-in 14") << 39219.0 << NumberFormat::builtIn(14) << "5/17/2007";
        QTest::newRow("long date") << 39219.0 << "dddd, mmmm d, yyyy" << "Thursday, May 17, 2007";
        QTest::newRow("date and time") << 39219.75 << "yyyy-mm-dd hh:mm:ss" << "2007-05-17 18:00:00";
        QTest::newRow("minutes, not months") << 0.5104166666 << "h:mm" << "12:15";
        QTest::newRow("AM/PM") << 0.5 << "h:mm AM/PM" << "12:00 PM";
        QTest::newRow("elapsed hours") << 1.5 << "[h]:mm" << "36:00";
        QTest::newRow("1904 system") << 0.0 << "yyyy-mm-dd" << "1904-01-01";
        QTest::newRow("percent") << 0.125 << "0.00%" << "12.50%";
        QTest::newRow("thousands") << 1234.5 << "#,##0.00" << "1,234.50";
        QTest::newRow("negative section") << -1234.5 << "#,##0.00;(#,##0.00)" << "(1,234.50)";
        QTest::newRow("zero section") << 0.0 << "0;-0;\"zero\"" << "zero";
        QTest::newRow("one section, negative") << -5.0 << "0" << "-5";
        QTest::newRow("leading zeros") << 12.0 << "000" << "012";
        QTest::newRow("scientific") << 1234567.0 << "0.00E+00" << "1.23E+06";
        QTest::newRow("text around") << 5.0 << "\"Item \"0\" pcs\"" << "Item 5 pcs";
        QTest::newRow("currency symbol") << 1234.5 << QString::fromUtf8("[$€-407] #,##0.00") << QString::fromUtf8("€ 1,234.50");
        QTest::newRow("accounting") << 1234.0 << NumberFormat::builtIn(44) << " $1,234.00 ";
        QTest::newRow("general integer") << 42.0 << "General" << "42";
        QTest::newRow("general fraction") << 0.1 + 0.2 << "General" << "0.3";
        QTest::newRow("general large") << 1e20 << "General" << "1E+20";
        QTest::newRow("text format") << 7.5 << "@" << "7.5";
        QTest::newRow("fraction as decimal") << 1.5 << "# ?/?" << "1.5";
    }

    void numberFormats()
    {
        QFETCH(double, value);
        QFETCH(QString, format);
        QFETCH(QString, shown);
        QCOMPARE(NumberFormat::format(value, format, QByteArray(QTest::currentDataTag()) == "1904 system"), shown);
    }

    // A format of ten thousand zeros or quoted texts does not make a cell that long.
    void numberFormatBounds()
    {
        QVERIFY(NumberFormat::format(1.0, QString(10000, QLatin1Char('0'))).size() <= 1024);
        QVERIFY(NumberFormat::format(1.0, "0." + QString(10000, QLatin1Char('0'))).size() <= 1024);
        QVERIFY(NumberFormat::format(39219.0, QString(10000, QLatin1Char('y'))).size() <= 1024);
        QVERIFY(NumberFormat::format(1.0, QString(5000, QLatin1Char('"'))).size() <= 1024);
        QCOMPARE(NumberFormat::format(1e300, "0.00"), NumberFormat::general(1e300));
        QCOMPARE(NumberFormat::format(-1.0, "yyyy"), NumberFormat::general(-1.0));
        QCOMPARE(NumberFormat::format(std::numeric_limits<double>::quiet_NaN(), "0"), QStringLiteral("#NUM!"));
    }
};

QTEST_GUILESS_MAIN(TestBinaryDocuments)
#include "tst_binarydocuments.moc"
