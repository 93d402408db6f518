// HtmlConverter: body extraction, block breaks, edge trimming, entities, encodings, files,
// cancellation and concurrent use.
#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/model/FileSearchRequest.h"
#include "search/textextract/HtmlConverter.h"
#include "tests/textextract/docgen.h"
#include "tests/textextract/utf16files.h"
#include "testutil.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <cstring>
#include <thread>

class TestHtmlConverter : public QObject
{
    Q_OBJECT

    // Converts markup given as bytes into an output device; returns the text.
    static QString convertBytes(const QByteArray& bytes, const QString& encoding = QString())
    {
        HtmlConverter converter;
        QBuffer in;
        in.setData(bytes);
        in.open(QIODevice::ReadOnly);
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        QString outPath;
        if (!converter.convert(ContentFile(), &in, &outPath, &out, encoding, nullptr))
            return QStringLiteral("<failed>");
        if (!outPath.isEmpty())
            return QStringLiteral("<unexpected file>");
        return docgen::fromUtf16LE(out.data());
    }
    static QString convertUtf8(const QString& markup)
    {
        return convertBytes(markup.toUtf8(), QStringLiteral("UTF-8"));
    }

    QTemporaryDir logDir;

private slots:
    void initTestCase()
    {
        Logger::instance(logDir.path() + "/test.log");
    }

    void blockTagsAndTrimming_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("text");
        QTest::newRow("two paragraphs") << "<html><body><p>Hello</p><p>World</p></body></html>"
                                        << "Hello\r\nWorld";
        QTest::newRow("bold keeps one blank each side")
            << "<body>one <b>two</b> three</body>" << "one two three";
        QTest::newRow("edge runs collapse to one blank")
            << "<body><p>  a  </p><p>\t b\t</p></body>" << " a \r\n b ";
        QTest::newRow("section gives two breaks")
            << "<body><section><p>A</p></section><section><p>B</p></section></body>" << "A\r\n\r\nB";
        QTest::newRow("no break before first text") << "<body><br/><h1>T</h1><div>x</div></body>"
                                                    << "T\r\nx";
        QTest::newRow("tag with attributes") << "<body><p class=\"a\">x</p><td id=1>y</td></body>"
                                             << "x\r\ny";
        // Closing block tags end a line too: "alpha</li><li>list" is two words.
        QTest::newRow("closing tags are blocks") << "<body>a</p>b</div>c</body>" << "a\r\nb\r\nc";
        QTest::newRow("list items, quotes, h4 to h6")
            << "<body><ul><li>alpha</li><li>list</li></ul><blockquote>q</blockquote>x<h4>four</h4>"
               "<h5>five</h5><h6>six</h6><dl><dt>term</dt><dd>def</dd></dl></body>"
            << "alpha\r\nlist\r\nq\r\nx\r\nfour\r\nfive\r\nsix\r\nterm\r\ndef";
        QTest::newRow("comments, scripts and styles never leak")
            << "<body>a<!-- <p>hidden</p> -- x > y --><script>if (a<b) x = '</p>no';</script>"
               "<style>p { x: 1 }</style>b</body>"
            << "ab";
        QTest::newRow("quoted > in an attribute") << "<body><p title=\"a > b\">x</p></body>" << "x";
        QTest::newRow("every FictionBook body") << "<body><p>main</p></body><body name=\"notes\"><p>note</p></body>"
                                                << "main\r\nnote";
        QTest::newRow("note marks never stick to their word")
            << "<body><p>here<sup>1</sup> and there<a epub:type=\"noteref\" href=\"#n\">2</a></p></body>"
            << "here 1 and there 2";
        // White space alone between two tags parts the words around it, as one blank.
        QTest::newRow("white space between tags")
            << "<body><b>alpha</b> <i>beta</i>\n<span>gamma</span></body>" << "alpha beta gamma";
        QTest::newRow("note mark inside more tags")
            << "<body><p>here<sup><small><a filepos=0000001453>1</a></small></sup> and</p></body>"
            << "here 1 and";
        QTest::newRow("blanks around a blank between tags") << "<body>alpha </b> <i> beta</body>" << "alpha beta";
        QTest::newRow("white space before a block") << "<body><b>a</b> <p>b</p> </body>" << "a\r\nb";
        QTest::newRow("white space before the first text") << "<body> <b> </b> <i>a</i></body>" << "a";
        QTest::newRow("CDATA is text") << "<body>a<![CDATA[<b>&x]]>c</body>" << "a<b>&xc";
        QTest::newRow("capital body gives nothing") << "<BODY><p>x</p></BODY>" << "";
        QTest::newRow("capital paragraphs give no breaks") << "<body><P>a</P><P>b</P></body>" << "ab";
        QTest::newRow("text before body and after end is dropped")
            << "<head><title>T</title></head>pre<body>in</body>post<p>x</p>" << "in";
        QTest::newRow("text after the last tag is dropped") << "<body><p>a</p>tail" << "a";
        QTest::newRow("no body") << "<p>x</p>" << "";
        // A line end is white space: words on two lines stay apart, and it ends a tag name.
        QTest::newRow("line end in text") << "<body><p>Hello\nWorld</p><p>x</p></body>"
                                          << "Hello World\r\nx";
        QTest::newRow("CRLF line end in text") << "<body><p>a\r\nb</p></body>" << "a b";
        QTest::newRow("line end in tag") << "<body><p\nclass=\"c\">x</p><p\n>y</p></body>"
                                         << "x\r\ny";
        QTest::newRow("body tag split over lines") << "<body\n>x</body>" << "x";
        QTest::newRow("stray < in text") << "<body>a<b and <p>c</body>" << "a\r\nc";
    }
    void blockTagsAndTrimming()
    {
        QFETCH(QString, markup);
        QFETCH(QString, text);
        QCOMPARE(convertUtf8(markup), text);
    }

    void entities_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("text");
        QTest::newRow("amp lt gt") << "&amp; &lt;x&gt;" << "& <x>";
        QTest::newRow("numeric") << "&#169;&#xA9;&#X41;" << QString::fromUtf8("\xC2\xA9\xC2\xA9" "A");
        QTest::newRow("outside the BMP keeps both halves")
            << "a&#x1F600;b&#128512;" << QString::fromUtf8("a\xF0\x9F\x98\x80" "b\xF0\x9F\x98\x80");
        QTest::newRow("nbsp is a blank") << "a&nbsp;b" << "a b";
        QTest::newRow("named") << "&eacute;&euro;&apos;&quot;&zwnj;&AElig;"
                               << QString::fromUtf8("\xC3\xA9\xE2\x82\xAC'\"\xE2\x80\x8C\xC3\x86");
        QTest::newRow("no semicolon") << "a & b &amp" << "a & b &amp";
        QTest::newRow("unknown stays") << "&foo;bar" << "&foo;bar";
        QTest::newRow("case matters") << "&AMP;" << "&AMP;";
        QTest::newRow("blank inside is not an entity") << "&a mp;" << "&a mp;";
        QTest::newRow("semicolon later on the line") << "R&D; &amp;" << "R&D; &";
        QTest::newRow("33 characters is not an entity")
            << "&" + QString(32, 'a') + "b;" << "&" + QString(32, 'a') + "b;";
        QTest::newRow("surrogate code point stays") << "&#xD800;" << "&#xD800;";
        QTest::newRow("out of range stays") << "&#x110000;&#0;" << "&#x110000;&#0;";
        QTest::newRow("empty") << "&;&#;&#x;&#-5;" << "&;&#;&#x;&#-5;";
        QTest::newRow("entity becoming a tag char is text") << "&lt;p&gt;x" << "<p>x";
    }
    void entities()
    {
        QFETCH(QString, markup);
        QFETCH(QString, text);
        QCOMPARE(convertUtf8("<body><p>" + markup + "</p></body>"), text);
    }

    void encodingDeclaration()
    {
        QTextCodec* cp1251 = QTextCodec::codecForName("windows-1251");
        const QString word = QString::fromUtf8("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"); // Привет
        // Declared within the first 200 characters: that codec is used.
        const QByteArray fb2 = docgen::makeFb2({{word, "two"}});
        QCOMPARE(convertBytes(fb2), word + "\r\ntwo");
        // Single quotes are a valid XML declaration too.
        QCOMPARE(convertBytes(cp1251->fromUnicode("<?xml version='1.0' encoding='windows-1251'?><body>"
                                                  + word + "</body>")),
                 word);
        // Further on than 200 characters: not seen, the bytes are not read as windows-1251.
        const QByteArray late = cp1251->fromUnicode(QString(250, ' ') + "<?xml encoding=\"windows-1251\"?><body>"
                                                    + word + "</body>");
        QVERIFY(convertBytes(late) != word);
        // A given input encoding wins over none at all.
        QCOMPARE(convertBytes(cp1251->fromUnicode("<body>" + word + "</body>"), "windows-1251"), word);
        QCOMPARE(HtmlConverter::declaredEncoding("<?xml version=\"1.0\" encoding=\"KOI8-R\"?>"),
                 QString("KOI8-R"));
        QVERIFY(HtmlConverter::declaredEncoding("encoding=KOI8-R").isEmpty());
        QVERIFY(HtmlConverter::declaredEncoding("encoding=\"KOI8-R").isEmpty());
    }

    void longLinesAndRuns()
    {
        // Lines and runs far longer than the pieces the converter reads and writes at a time
        // (64 Ki characters) give the same text as short ones.
        const int piece = 64 * 1024;
        const QString head = "<body><p>";
        // An entity on either side of, or across, a piece's end.
        for (int amp : {piece - 40, piece - 34, piece - 33, piece - 5, piece - 1, piece, piece + 1}) {
            const QString a(amp - head.size(), 'a');
            QCOMPARE(convertUtf8(head + a + "&amp;b</p></body>"), a + "&b");
            QCOMPARE(convertUtf8(head + a + "&#x1F600;</p></body>"), a + QString::fromUtf8("\xF0\x9F\x98\x80"));
        }
        // A line end right at, before or after a piece's end is one blank (a CR LF cut by the
        // end too).
        for (int length : {piece - 1, piece, piece + 1}) {
            const QString a(length - head.size(), 'a');
            QCOMPARE(convertUtf8(head + a + "\nx</p></body>"), a + " x");
            QCOMPARE(convertUtf8(head + a + "\r\nx</p></body>"), a + " x");
        }
        // A last piece without a line end that holds an "&" and a tag.
        const QString last(piece - 8, 'a');
        QCOMPARE(convertUtf8("<body>" + last + "&<"), last + "&");
        // A long run keeps its inner white space and is trimmed at both edges.
        QString words;
        for (int i = 0; words.size() < 3 * piece; ++i)
            words += QString("word%1%2").arg(i).arg(i % 7 ? " " : "   ");
        words = words.trimmed();
        QCOMPARE(convertUtf8("<body><p> \t " + words + " \t </p><p>z</p></body>"), " " + words + " \r\nz");
        const QString blanks(2 * piece + 3, ' ');
        QCOMPARE(convertUtf8("<body><p>a" + blanks + "b</p></body>"), "a" + blanks + "b");
        const QString tabs(2 * piece + 3, '\t');
        QCOMPARE(convertUtf8("<body><p>a" + tabs + "b</p></body>"), "a" + tabs + "b");
        QCOMPARE(convertUtf8("<body><p>" + blanks + "</p><p>" + blanks + "b</p></body>"), " b");
        // A tag name longer than any looked for matches none of them.
        QCOMPARE(convertUtf8("<body><p" + QString(3 * piece, 'x') + ">t</q><sectionX>u<body2>v</body>"),
                 QString("tuv"));
    }

    void boundedMemory()
    {
        // A document of one 40 MB line of text inside the body: what the converter holds at
        // a time stays small (a naive reader keeps the whole line and run, several times
        // the document's size).
        class Generator : public QIODevice
        {
        public:
            qint64 left = 40 << 20;
            bool isSequential() const override { return true; }
            qint64 bytesAvailable() const override { return left + QIODevice::bytesAvailable(); }
            bool atEnd() const override { return left == 0 && QIODevice::bytesAvailable() == 0; }
        protected:
            qint64 readData(char* data, qint64 size) override
            {
                if (left == 0)
                    return -1;
                const qint64 n = qMin(size, left);
                std::memset(data, 'w', size_t(n));
                if (left == 40 << 20 && n >= 6)
                    std::memcpy(data, "<body>", 6);
                left -= n;
                return n;
            }
            qint64 writeData(const char*, qint64) override { return -1; }
        };
        Generator in;
        in.open(QIODevice::ReadOnly);
        docgen::CountingSink out;
        HtmlConverter converter;
        bool ok = false;
        const long grownKiB = docgen::peakGrowthKiB(
            [&] { ok = converter.convert(ContentFile(), &in, nullptr, &out, "UTF-8", nullptr); });
        QVERIFY(ok);
        QVERIFY2(grownKiB < docgen::memoryBoundKiB(32 * 1024), qPrintable(QString::number(grownKiB)));
        // A run that long is written as it grows (so its end is kept even without a tag).
        QVERIFY(out.total > 70 << 20);

        // With a bound of 1 MiB the text stops there, and so does the reading.
        Generator again;
        again.open(QIODevice::ReadOnly);
        docgen::CountingSink bounded;
        converter.setTextLimit(1 << 20);
        QVERIFY(converter.convert(ContentFile(), &again, nullptr, &bounded, "UTF-8", nullptr));
        QCOMPARE(bounded.total, qint64(1 << 20));
        QVERIFY2(again.left > 30 << 20, qPrintable(QString::number(again.left)));
    }

    // A device whose reads fail without it ever reaching its end (a damaged zip member): the
    // text read before the failure is the document's (a run with no tag after it is dropped
    // as at any end), and the conversion ends.
    void failingReadEnds()
    {
        class Failing : public QIODevice
        {
        public:
            QByteArray head = "<body><p>kept</p><p>cut";
            int reads = 0;
            bool isSequential() const override { return true; }
            // Only a reader that kept retrying gets to the end (and the check below fails).
            bool atEnd() const override { return reads > 1000; }
        protected:
            qint64 readData(char* data, qint64 size) override
            {
                ++reads;
                if (head.isEmpty())
                    return -1;
                const qint64 n = qMin<qint64>(size, head.size());
                std::memcpy(data, head.constData(), size_t(n));
                head.remove(0, int(n));
                return n;
            }
            qint64 writeData(const char*, qint64) override { return -1; }
        };
        Failing in;
        in.open(QIODevice::ReadOnly);
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        HtmlConverter converter;
        QVERIFY(converter.convert(ContentFile(), &in, nullptr, &out, "UTF-8", nullptr));
        QVERIFY2(in.reads < 10, qPrintable(QString::number(in.reads)));
        QCOMPARE(docgen::fromUtf16LE(out.data()), QString("kept"));
    }

    // The text of one document ends at the bound: the text up to it is kept (a file holds the
    // mark and then exactly the bound), the cut is logged, the conversion succeeds, and the
    // input is not read on to its end.
    void textBound()
    {
        QTemporaryDir dir;
        const QString doc = dir.path() + "/long.fb2";
        QByteArray big = "<body>";
        for (int i = 0; i < 20000; ++i)
            big += "<p>line " + QByteArray::number(i) + "</p>\n";
        QVERIFY(testutil::writeFile(doc, big));
        HtmlConverter converter;
        converter.setWorkFolder(dir.path() + "/work");
        converter.setTextLimit(64 * 1024);
        QString outPath;
        QVERIFY(converter.convert(ContentFile::open(doc), nullptr, &outPath, nullptr, QString(), nullptr));
        const QByteArray bytes = testutil::readFile(outPath);
        QCOMPARE(bytes.size(), 2 + 64 * 1024);
        QVERIFY(docgen::fromUtf16LE(bytes.mid(2)).startsWith("line 0\r\nline 1\r\n"));
        QVERIFY(utf16files::logText().contains("WARNING\tHtmlConverter\t" + TextLimits::cutMessage(doc, 64 * 1024)));

        // A surrogate pair is never split at the bound: "x" and pairs, 4 bytes of room.
        QBuffer pairs;
        pairs.setData("<body>x" + QString::fromUcs4(U"\U0001F600\U0001F600").toUtf8() + "</body>");
        pairs.open(QIODevice::ReadOnly);
        QBuffer small;
        small.open(QIODevice::ReadWrite);
        converter.setTextLimit(4);
        QVERIFY(converter.convert(ContentFile(), &pairs, nullptr, &small, "UTF-8", nullptr));
        QCOMPARE(docgen::fromUtf16LE(small.data()), QString("x"));
        converter.setTextLimit(10);
        pairs.seek(0);
        small.buffer().clear();
        small.seek(0);
        QVERIFY(converter.convert(ContentFile(), &pairs, nullptr, &small, "UTF-8", nullptr));
        QCOMPARE(docgen::fromUtf16LE(small.data()), QString("x") + QString::fromUcs4(U"\U0001F600\U0001F600"));
    }

    void fileOutput()
    {
        QTemporaryDir dir;
        const QString work = dir.path() + "/work/sub";
        const QString doc = dir.path() + "/book.fb2";
        QVERIFY(testutil::writeFile(doc, docgen::makeFb2({{"a", "b"}, {"c"}})));
        HtmlConverter converter;
        converter.setWorkFolder(work);
        QString outPath;
        QVERIFY(converter.convert(ContentFile::open(doc), nullptr, &outPath, nullptr, QString(), nullptr));
        QCOMPARE(QFileInfo(outPath).absolutePath(), work);
        QVERIFY(QFileInfo(outPath).fileName().startsWith("xhtml"));
        QCOMPARE(QFileInfo(work).permissions() & 0x0077, QFileDevice::Permissions());
        const QByteArray bytes = testutil::readFile(outPath);
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        QCOMPARE(docgen::fromUtf16LE(bytes.mid(2)), QString("a\r\nb\r\n\r\nc"));
        QCOMPARE(converter.encoding(), QString("UTF-16"));
        QVERIFY(QTextCodec::codecForName(converter.encoding().toLatin1())->toUnicode(bytes)
                == QString("a\r\nb\r\n\r\nc"));

        // No body: a file holding only the mark, and success.
        QVERIFY(testutil::writeFile(doc, "<html><p>x</p></html>"));
        QString empty;
        QVERIFY(converter.convert(ContentFile::open(doc), nullptr, &empty, nullptr, QString(), nullptr));
        QCOMPARE(testutil::readFile(empty), QByteArray("\xFF\xFE"));
        QVERIFY(empty != outPath);

        // A file that cannot be opened fails and writes nothing.
        QString none;
        QVERIFY(!converter.convert(ContentFile::open(dir.path() + "/missing.fb2"), nullptr, &none, nullptr, QString(), nullptr));
        QVERIFY(none.isEmpty());
        QCOMPARE(QDir(work).entryList(QDir::Files).size(), 2);
    }

    void cancellation()
    {
        QTemporaryDir dir;
        const QString work = dir.path() + "/work";
        QByteArray big = "<body>";
        for (int i = 0; i < 20000; ++i)
            big += "<p>line " + QByteArray::number(i) + "</p>\n";
        QVERIFY(testutil::writeFile(dir.path() + "/big.fb2", big));
        HtmlConverter converter;
        converter.setWorkFolder(work);
        const bool canceled = true;
        QString outPath;
        QVERIFY(docgen::cancels(
            [&] { converter.convert(ContentFile::open(dir.path() + "/big.fb2"), nullptr, &outPath, nullptr, QString(), &canceled); }));
        try { // the message names the unit
            converter.convert(ContentFile::open(dir.path() + "/big.fb2"), nullptr, &outPath, nullptr, QString(), &canceled);
        } catch (const FileSearchCancelException& e) {
            QVERIFY(QString::fromUtf8(e.what()).contains("HtmlConverter"));
        }
        QVERIFY(outPath.isEmpty());
        QCOMPARE(QDir(work).entryList(QDir::Files).size(), 0); // the partial file is gone

        // Cancelled from another thread while a single long line is being read.
        QByteArray oneLine = "<body>";
        for (int i = 0; i < 400000; ++i)
            oneLine += "<p>w</p>";
        QBuffer in(&oneLine);
        in.open(QIODevice::ReadOnly);
        // The request's own flag, set by another thread as the GUI does.
        FileSearchRequest request;
        const bool* flag = ToPlainTextConverter::cancelFlagOf(request.canceled);
        QVERIFY(!ToPlainTextConverter::isCanceled(flag));
        std::thread setter([&] { QThread::msleep(5); request.canceled = true; }); // cancels mid-way
        const bool thrown = docgen::cancels([&] {
            for (int round = 0; round < 50; ++round) {
                in.seek(0);
                QBuffer out;
                out.open(QIODevice::WriteOnly);
                converter.convert(ContentFile(), &in, nullptr, &out, "UTF-8", flag);
            }
        });
        setter.join();
        QVERIFY(thrown);
    }

    void concurrentUse()
    {
        HtmlConverter converter; // one converter shared by many threads, as the pool does
        QCOMPARE(docgen::countSuccesses(8, 20, [&](int t) {
                     QByteArray markup = "<body>";
                     QString expected;
                     for (int i = 0; i < 300; ++i) {
                         markup += "<p>t" + QByteArray::number(t) + " &amp; " + QByteArray::number(i) + "</p>";
                         expected += (i ? "\r\n" : "") + QString("t%1 & %2").arg(t).arg(i);
                     }
                     markup += "</body>";
                     QBuffer in(&markup);
                     in.open(QIODevice::ReadOnly);
                     QBuffer out;
                     out.open(QIODevice::WriteOnly);
                     return converter.convert(ContentFile(), &in, nullptr, &out, "UTF-8", nullptr)
                            && docgen::fromUtf16LE(out.data()) == expected;
                 }),
                 160);
    }
};

QTEST_GUILESS_MAIN(TestHtmlConverter)
#include "tst_htmlconverter.moc"
