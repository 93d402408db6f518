// MobiConverter: PalmDOC decompression, the Palm database walk, compression and encryption
// types, trailing entries, damaged tables, encodings, cancellation.
#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/textextract/HtmlConverter.h"
#include "search/textextract/MobiConverter.h"
#include "tests/textextract/docgen.h"
#include "tests/textextract/utf16files.h"
#include "testutil.h"

#include <QBuffer>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestMobiConverter : public QObject
{
    Q_OBJECT

    HtmlConverter html;
    QTemporaryDir logDir;

    // Text of a book given as bytes, followed by "<failed>" when the conversion failed.
    QString convertBook(const QByteArray& book)
    {
        MobiConverter converter(&html);
        QByteArray copy = book;
        QBuffer in(&copy);
        in.open(QIODevice::ReadOnly);
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        QString outPath;
        const bool ok = converter.convert(ContentFile::open(QStringLiteral("book.mobi")), &in, &outPath, &out, QString(), nullptr);
        return (outPath.isEmpty() ? docgen::fromUtf16LE(out.data()) : QStringLiteral("<file>"))
               + (ok ? QString() : QStringLiteral("<failed>"));
    }

    static QByteArray bookHtml(int paragraphs, bool closed = true)
    {
        QByteArray h = "<html><head><guide></guide></head><body>";
        for (int i = 0; i < paragraphs; ++i)
            h += "<p>Paragraph number " + QByteArray::number(i) + " of the book, with some words.</p>";
        return closed ? h + "</body></html>" : h;
    }
    static QString bookText(int paragraphs)
    {
        QStringList lines;
        for (int i = 0; i < paragraphs; ++i)
            lines << QStringLiteral("Paragraph number %1 of the book, with some words.").arg(i);
        return lines.join("\r\n");
    }

private slots:
    void initTestCase()
    {
        Logger::instance(logDir.path() + "/test.log");
    }

    void decompression_data()
    {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("literal, copy run, blank pair") << QByteArray("\x41\x02\x42\x43\xE1", 5) << QByteArray("ABC a");
        QTest::newRow("overlapping back-reference") << QByteArray("x\x80\x0A", 3) << QByteArray("xxxxxx");
        QTest::newRow("reference before the start") << QByteArray("ab\x80\x28", 4) << QByteArray("ab???");
        QTest::newRow("reference partly before the start") << QByteArray("ab\x80\x18", 4) << QByteArray("ab?ab");
        QTest::newRow("distance 0 is not yet written") << QByteArray("a\x80\x00", 3) << QByteArray("a???");
        QTest::newRow("zero ends the record") << QByteArray("ab\x00" "cd", 5) << QByteArray("ab");
        QTest::newRow("copy run cut by the end") << QByteArray("\x05\x80\x81", 3) << QByteArray("\x80\x81");
        QTest::newRow("reference without second byte") << QByteArray("a\x80", 2) << QByteArray("a");
        QTest::newRow("distance and length") << QByteArray("abcdef\x80\x33", 8) << QByteArray("abcdefabcdef");
    }
    void decompression()
    {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QCOMPARE(MobiConverter::decompressPalmDoc(in), out);
    }

    void decompressionRoundTripAndLimit()
    {
        QRandomGenerator rng(7);
        const QByteArray words[] = {"alpha ", "beta ", "Gamma ", "\xC3\xA9t\xC3\xA9 ", "\x01\x02", "zz", " @x"};
        for (int round = 0; round < 50; ++round) {
            QByteArray text;
            while (text.size() < 4096)
                text += words[rng.bounded(7)];
            text.truncate(int(rng.bounded(4097)));
            const QByteArray packed = docgen::palmDocCompress(text);
            QCOMPARE(MobiConverter::decompressPalmDoc(packed), text);
            if (text.size() > 1000) {
                // The compressor really used back-references and blank pairs.
                QVERIFY(packed.size() < text.size() * 3 / 4);
                QVERIFY(std::any_of(packed.begin(), packed.end(), [](char c) { return uchar(c) >= 0xC0; }));
            }
        }
        // The output stops once it holds 4096 bytes: a record cannot blow up memory.
        QByteArray bomb = "a";
        for (int i = 0; i < 3000; ++i)
            bomb += "\x80\x0F"; // distance 1, length 10
        QVERIFY(MobiConverter::decompressPalmDoc(bomb).size() < 4096 + 10);
    }

    void books_data()
    {
        QTest::addColumn<int>("compression");
        QTest::addColumn<int>("extraFlags");
        QTest::addColumn<int>("recordSize");
        QTest::newRow("PalmDOC") << 2 << 0 << 4096;
        QTest::newRow("uncompressed") << 1 << 0 << 4096;
        QTest::newRow("PalmDOC with trailing entries") << 2 << 3 << 4096;
        QTest::newRow("uncompressed with trailing entries") << 1 << 3 << 4096;
        QTest::newRow("small records") << 2 << 2 << 100;
    }
    void books()
    {
        QFETCH(int, compression);
        QFETCH(int, extraFlags);
        QFETCH(int, recordSize);
        docgen::MobiOptions o;
        o.compression = compression;
        o.extraFlags = quint16(extraFlags);
        o.recordSize = recordSize;
        // The record after the text records holds "<p>IMAGEJUNK<p>": never read as text (the
        // body is left open so that it would show).
        QCOMPARE(convertBook(docgen::makeMobi(bookHtml(500, false), o)), bookText(500));
    }

    void encodings()
    {
        const QByteArray word = "caf\xC3\xA9"; // café in UTF-8
        docgen::MobiOptions o;
        o.textEncoding = 65001;
        QCOMPARE(convertBook(docgen::makeMobi("<body>" + word + "</body>", o)), QString::fromUtf8(word));
        o.textEncoding = 1252;
        QCOMPARE(convertBook(docgen::makeMobi("<body>caf\xE9 \x80</body>", o)), QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
        o.textEncoding = 1251; // any value but 1252 reads as UTF-8
        QCOMPARE(convertBook(docgen::makeMobi("<body>" + word + "</body>", o)), QString::fromUtf8(word));
    }

    void booksWithoutText_data()
    {
        QTest::addColumn<QByteArray>("book");
        QTest::addColumn<QString>("logged");
        docgen::MobiOptions o;
        o.compression = 17480; // HUFF/CDIC without its HUFF and CDIC records: not decoded at all
        QTest::newRow("HUFF/CDIC without tables") << docgen::makeMobi("<body>secret</body>", o)
                                                  << "Damaged HUFF/CDIC records in book.mobi.";
        o.compression = 17481;
        QTest::newRow("unknown compression") << docgen::makeMobi("<body>secret</body>", o)
                                             << "Unsupported compression 17481 in book.mobi.";
        o = docgen::MobiOptions();
        o.encryption = 2;
        QTest::newRow("encrypted") << docgen::makeMobi("<body>secret</body>", o)
                                   << "Encrypted book book.mobi skipped.";
        QTest::newRow("40 bytes") << QByteArray(40, 'x') << "PDB header not found in book.mobi.";
        QByteArray zero = docgen::makeMobi("<body>secret</body>");
        zero[76] = 0;
        zero[77] = 0;
        QTest::newRow("zero records") << zero << "zero record count in book.mobi.";
        QByteArray shortTable = docgen::makeMobi("<body>secret</body>").left(78 + 4);
        QTest::newRow("table cut short") << shortTable << "Failed to read PDB record info in book.mobi.";
    }
    void booksWithoutText()
    {
        QFETCH(QByteArray, book);
        QFETCH(QString, logged);
        const int logSize = utf16files::logText().size();
        QCOMPARE(convertBook(book), QString());
        const QString log = utf16files::logText().mid(logSize);
        QVERIFY2(log.endsWith("DEBUG\tMobiConverter\t" + logged + "\r\n"), qPrintable(log));
    }

    void damagedTables()
    {
        // A record offset past the end of the file cuts the table: the text before it stays.
        docgen::MobiOptions o;
        o.recordSize = 50;
        QByteArray book = docgen::makeMobi(bookHtml(10), o);
        const int textRecords = (bookHtml(10).size() + 49) / 50;
        qToBigEndian<quint32>(0x7FFFFFF0u, book.data() + 78 + 8 * (textRecords) + 0); // last text record
        const QString text = convertBook(book);
        QVERIFY(text.startsWith("Paragraph number 0"));
        QVERIFY(!text.contains("IMAGEJUNK") && !text.endsWith("<failed>"));

        // Offsets going backwards end the table there.
        book = docgen::makeMobi(bookHtml(10), o);
        qToBigEndian<quint32>(10u, book.data() + 78 + 8 * 3);
        QVERIFY(convertBook(book).startsWith("Paragraph number 0"));
        QVERIFY(!convertBook(book).endsWith("<failed>"));

        // Every offset past the end: nothing read, no crash.
        for (int r = 0; r < textRecords + 2; ++r)
            qToBigEndian<quint32>(0xFFFFFF00u + r, book.data() + 78 + 8 * r);
        QCOMPARE(convertBook(book), QString());

        // A text record longer than 4096 bytes ends the book text.
        o.compression = 1;
        o.recordSize = 5000;
        QCOMPARE(convertBook(docgen::makeMobi(bookHtml(200), o)), QString());

        // Huge trailing-entry sizes never reach before the record's start.
        QByteArray rec("abc\xFF", 4);
        QCOMPARE(MobiConverter::trailingEntriesSize(rec, 2), 4);
        QCOMPARE(MobiConverter::trailingEntriesSize(QByteArray(), 3), 0);
        QCOMPARE(MobiConverter::trailingEntriesSize(QByteArray("ab\x01", 3), 1), 2);
        QCOMPARE(MobiConverter::trailingEntriesSize(QByteArray("xx\x00\x41\x82", 5), 3), 3);
    }

    void manyRecordsInBoundedMemory()
    {
        // 12000 records of about 820 bytes that each decode to 4096 bytes: a 10 MB file whose
        // text is 49 MB. The records are decoded as the text is read, not gathered first.
        QTemporaryDir dir;
        const QString path = dir.path() + "/many.mobi";
        {
            const int count = 12000;
            const QByteArray packed = docgen::palmDocCompress(QByteArray(4096, 'a'));
            QList<QByteArray> records;
            records.append(docgen::mobiRecord0(docgen::MobiOptions(), quint32(count * 4096), count));
            records.append(docgen::palmDocCompress("<body>" + QByteArray(4090, 'a')));
            for (int i = 1; i < count; ++i)
                records.append(packed);
            QVERIFY(testutil::writeFile(path, docgen::makePdb(records)));
        }
        docgen::CountingSink out;
        MobiConverter converter(&html);
        bool ok = false;
        const long grownKiB = docgen::peakGrowthKiB(
            [&] { ok = converter.convert(ContentFile::open(path), nullptr, nullptr, &out, QString(), nullptr); });
        QVERIFY(ok);
        QVERIFY2(grownKiB < docgen::memoryBoundKiB(24 * 1024), qPrintable(QString::number(grownKiB)));
        QVERIFY(out.total > 90 << 20); // the text (in UTF-16) is there, but for its last piece

        // With a bound of 1 MiB the text ends there; the cut is logged and it is a success.
        docgen::CountingSink bounded;
        converter.setTextLimit(1 << 20);
        const int logSize = utf16files::logText().size();
        QVERIFY(converter.convert(ContentFile::open(path), nullptr, nullptr, &bounded, QString(), nullptr));
        QCOMPARE(bounded.total, qint64(1 << 20));
        QVERIFY2(utf16files::logText().mid(logSize).contains("WARNING\tMobiConverter\t"
                                                             + TextLimits::cutMessage(path, 1 << 20)),
                 qPrintable(utf16files::logText().mid(logSize)));
    }

    void cancelBetweenRecords()
    {
        // The flag is set while the text records are being read: the conversion stops with
        // "Convert canceled" and leaves no text file.
        class Book : public QBuffer
        {
        public:
            bool* flag = nullptr;
            qint64 cancelAt = 0;
        protected:
            qint64 readData(char* data, qint64 size) override
            {
                if (pos() >= cancelAt)
                    __atomic_store_n(flag, true, __ATOMIC_RELAXED);
                return QBuffer::readData(data, size);
            }
        };
        QTemporaryDir dir;
        const QString work = dir.path() + "/work";
        html.setWorkFolder(work);
        docgen::MobiOptions o;
        o.recordSize = 200;
        QByteArray bytes = docgen::makeMobi(bookHtml(200), o);
        bool canceled = false;
        Book book;
        book.setBuffer(&bytes);
        book.open(QIODevice::ReadOnly);
        book.flag = &canceled;
        book.cancelAt = bytes.size() / 2;
        MobiConverter converter(&html);
        QString outPath;
        QVERIFY(docgen::cancels([&] { converter.convert(ContentFile(), &book, &outPath, nullptr, QString(), &canceled); }));
        QVERIFY(outPath.isEmpty());
        QCOMPARE(QDir(work).entryList(QDir::Files).size(), 0);
        html.setWorkFolder(QString());
    }

    void fileOutput()
    {
        QTemporaryDir dir;
        const QString work = dir.path() + "/work";
        const QString path = dir.path() + "/b.mobi";
        QVERIFY(testutil::writeFile(path, docgen::makeMobi(bookHtml(3))));
        MobiConverter converter(&html);
        converter.setWorkFolder(work);
        html.setWorkFolder(work);
        QCOMPARE(converter.encoding(), QString("UTF-16"));
        QString outPath;
        QVERIFY(converter.convert(ContentFile::open(path), nullptr, &outPath, nullptr, QString(), nullptr));
        QCOMPARE(QFileInfo(outPath).absolutePath(), work);
        const QByteArray bytes = testutil::readFile(outPath);
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        QCOMPARE(docgen::fromUtf16LE(bytes.mid(2)), bookText(3));
        QFile::remove(outPath);

        QString none;
        QVERIFY(!converter.convert(ContentFile::open(dir.path() + "/missing.mobi"), nullptr, &none, nullptr, QString(), nullptr));
        QVERIFY(none.isEmpty());
        QCOMPARE(QDir(work).entryList(QDir::Files).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestMobiConverter)
#include "tst_mobiconverter.moc"
