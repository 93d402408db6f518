// EPUBConverter: container and package parsing, spine order, member lookup, separators,
// failures, decompression bounds, refused output, concurrency and cancellation.
#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/textextract/EPUBConverter.h"
#include "search/textextract/HtmlConverter.h"
#include "tests/textextract/docgen.h"
#include "tests/textextract/utf16files.h"
#include "testutil.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

using Members = QList<QPair<QString, QByteArray>>;

namespace {

QByteArray page(const QString& text)
{
    return "<html><body><p>" + text.toUtf8() + "</p></body></html>";
}

docgen::OpfItem xhtml(const QString& id, const QString& href)
{
    return {id, href, QStringLiteral("application/xhtml+xml")};
}

// A book whose package at `opfPath` lists `items` and reads `spine`, with the other `files`.
Members book(const QString& opfPath, const QList<docgen::OpfItem>& items, const QStringList& spine,
             const Members& files)
{
    return Members{{"META-INF/container.xml", docgen::containerXml(opfPath)}, {opfPath, docgen::opf(items, spine)}}
           + files;
}

} // namespace

class TestEpubConverter : public QObject
{
    Q_OBJECT

    HtmlConverter html;
    QTemporaryDir dir;

    // Writes a book from members and converts it (see convertFile).
    QString convertMembers(const Members& members)
    {
        const QString path = dir.path() + "/book.epub";
        QFile::remove(path);
        if (!docgen::writeZip(path, members))
            return QStringLiteral("<zip failed>");
        return convertFile(path);
    }
    // Converts a book into a file: the text after the mark, "<failed>" when the conversion
    // failed; a failure that left a file shows as the text followed by "<failed>".
    QString convertFile(const QString& path)
    {
        EPUBConverter converter(&html);
        converter.setWorkFolder(dir.path() + "/work");
        QString outPath;
        const bool ok = converter.convert(ContentFile::open(path), nullptr, &outPath, nullptr, QString(), nullptr);
        QString text;
        if (!outPath.isEmpty()) {
            const QByteArray bytes = testutil::readFile(outPath);
            QFile::remove(outPath);
            text = bytes.startsWith("\xFF\xFE") ? docgen::fromUtf16LE(bytes.mid(2)) : QStringLiteral("<no mark>");
        }
        return ok ? text : text + QStringLiteral("<failed>");
    }

private slots:
    void initTestCase()
    {
        Logger::instance(dir.path() + "/test.log");
    }

    void spineOrderAndLookup()
    {
        // The manifest of writeEpub lists the chapters in reverse; the spine gives the order.
        const QString path = dir.path() + "/ordered.epub";
        QVERIFY(docgen::writeEpub(path, {{"first a", "first b"}, {"second"}, {"third"}}));
        QCOMPARE(convertFile(path), QString("Chapter 0\r\nfirst a\r\nfirst b\r\n\r\nChapter 1\r\nsecond\r\n\r\n"
                                            "Chapter 2\r\nthird\r\n\r\n"));
        // A package at the archive root uses the hrefs unchanged.
        QCOMPARE(convertMembers(book("content.opf", {xhtml("a", "text/a.xhtml")}, {"a"},
                                     {{"text/a.xhtml", page("root")}})),
                 QString("root\r\n\r\n"));
        // Escaped names, parent-relative hrefs and fragments still reach their member.
        QCOMPARE(convertMembers(book("OPS/pkg/content.opf",
                                     {xhtml("a", "my%20chapter.xhtml"), xhtml("b", "../Text/b.xhtml#start")}, {"a", "b"},
                                     {{"OPS/pkg/my chapter.xhtml", page("escaped")}, {"OPS/Text/b.xhtml", page("parent")}})),
                 QString("escaped\r\n\r\nparent\r\n\r\n"));
        // Names written with "%" in the archive are found as written first.
        QCOMPARE(convertMembers(book("content.opf", {xhtml("a", "100%25.xhtml")}, {"a"},
                                     {{"100%25.xhtml", page("literal")}, {"100%.xhtml", page("decoded")}})),
                 QString("literal\r\n\r\n"));
    }

    void skippedItemsAndBrokenBooks()
    {
        // An image in the spine, an unknown idref, a missing member and a document without
        // text are skipped; a document that yields nothing adds no separator.
        QCOMPARE(convertMembers(book("OEBPS/content.opf",
                                     {{"img", "cover.jpg", "image/jpeg"}, xhtml("a", "a.xhtml"), xhtml("e", "e.xhtml"),
                                      xhtml("b", "b.xhtml"), xhtml("m", "missing.xhtml")},
                                     {"img", "a", "nosuch", "e", "m", "b"},
                                     {{"OEBPS/cover.jpg", "\xFF\xD8 <body>JPEG</body>"}, {"OEBPS/a.xhtml", page("A")},
                                      {"OEBPS/e.xhtml", "<html><body></body></html>"}, {"OEBPS/b.xhtml", page("B")}})),
                 QString("A\r\n\r\nB\r\n\r\n"));
        // At the archive root an unknown idref is not found either (its href is empty).
        const int logSize = utf16files::logText().size();
        QCOMPARE(convertMembers(book("c.opf", {xhtml("a", "a.xhtml")}, {"nosuch", "a"}, {{"a.xhtml", page("A")}})),
                 QString("A\r\n\r\n"));
        QVERIFY2(utf16files::logText().mid(logSize).endsWith("WARNING\tEPUBConverter\tcontent item not found\r\n"),
                 qPrintable(utf16files::logText().mid(logSize)));
        // An empty spine: only the mark, and success.
        QCOMPARE(convertMembers(book("c.opf", {xhtml("a", "a.xhtml")}, {}, {{"a.xhtml", page("A")}})), QString(""));

        // Failures leave no file.
        const QString failed = QStringLiteral("<failed>");
        QVERIFY(testutil::writeFile(dir.path() + "/notzip.epub", "this is not a zip archive"));
        QCOMPARE(convertFile(dir.path() + "/notzip.epub"), failed);
        QCOMPARE(convertFile(dir.path() + "/missing.epub"), failed);
        QCOMPARE(convertMembers({{"mimetype", "application/epub+zip"}, {"a.xhtml", page("A")}}), failed);
        QCOMPARE(convertMembers({{"META-INF/container.xml", "<container><rootfiles/></container>"}}), failed);
        QCOMPARE(convertMembers({{"META-INF/container.xml", docgen::containerXml("gone.opf")}}), failed);
        QCOMPARE(QDir(dir.path() + "/work").entryList(QDir::Files).size(), 0);
    }

    void deviceInputAndOutput()
    {
        const QString path = dir.path() + "/dev.epub";
        QVERIFY(docgen::writeEpub(path, {{"x"}, {"y"}}));
        QFile in(path);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        EPUBConverter converter(&html);
        QString outPath;
        QVERIFY(converter.convert(ContentFile(), &in, &outPath, &out, QString(), nullptr));
        QVERIFY(outPath.isEmpty());
        QCOMPARE(docgen::fromUtf16LE(out.data()), QString("Chapter 0\r\nx\r\n\r\nChapter 1\r\ny\r\n\r\n"));
        QVERIFY(in.isOpen()); // the caller's device is left open
        QVERIFY(out.isOpen());
        QCOMPARE(converter.encoding(), QString("UTF-16"));
    }

    void refusedOutput()
    {
        // An output that takes the first chapter and then refuses every write (a full disk):
        // the text would be cut short, so the conversion must not report success.
        class RefusingDevice : public QIODevice
        {
        public:
            qint64 room = 60;
            QByteArray data;
        protected:
            qint64 readData(char*, qint64) override { return -1; }
            qint64 writeData(const char* bytes, qint64 size) override
            {
                if (size > room)
                    return -1;
                room -= size;
                data.append(bytes, int(size));
                return size;
            }
        };
        const QString path = dir.path() + "/refused.epub";
        QVERIFY(docgen::writeEpub(path, {{"x"}, {"a longer second chapter than the room left"}}));
        EPUBConverter converter(&html);
        RefusingDevice out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(!converter.convert(ContentFile::open(path), nullptr, nullptr, &out, QString(), nullptr));
        QCOMPARE(docgen::fromUtf16LE(out.data), QString("Chapter 0\r\nx\r\n\r\n"));
        out.room = 1 << 20;
        out.data.clear();
        QVERIFY(converter.convert(ContentFile::open(path), nullptr, nullptr, &out, QString(), nullptr));
    }

    void decompressionBounds()
    {
        // Members that decompress to far more than the archive holds are not read: a chapter
        // of 70 MiB in an archive of a few hundred kilobytes is skipped, the others stay.
        const QByteArray padding(70 << 20, ' ');
        QCOMPARE(convertMembers(book("c.opf", {xhtml("a", "a.xhtml"), xhtml("b", "big.xhtml"), xhtml("z", "z.xhtml")},
                                     {"a", "b", "z"},
                                     {{"a.xhtml", page("A")}, {"big.xhtml", page("BIG") + padding}, {"z.xhtml", page("Z")}})),
                 QString("A\r\n\r\nZ\r\n\r\n"));
        // A spine naming one 10 MiB document eight times reads it only while the book's
        // bound lasts (64 MiB for a small archive).
        QCOMPARE(convertMembers(book("c.opf", {xhtml("r", "r.xhtml")}, QStringList{"r", "r", "r", "r", "r", "r", "r", "r"},
                                     {{"r.xhtml", page("R") + padding.left(10 << 20)}})),
                 QString("R\r\n\r\n").repeated(6));
        // A container.xml of more than 16 MiB is not parsed.
        QCOMPARE(convertMembers({{"META-INF/container.xml", "<container>" + padding.left(17 << 20)
                                                                + "<rootfiles><rootfile full-path=\"c.opf\"/>"
                                                                  "</rootfiles></container>"},
                                 {"c.opf", docgen::opf({xhtml("a", "a.xhtml")}, {"a"})},
                                 {"a.xhtml", page("A")}}),
                 QString("<failed>"));
    }

    // A chapter whose deflate stream is damaged: reading it fails without ever reaching its
    // end. The conversion ends (a watchdog cancels it after 10 s, which must not be needed),
    // keeps the chapters before it and says which member could not be read.
    void damagedMemberEnds()
    {
        const QString path = QStringLiteral(TQ_TEST_DATA_DIR "/damaged-member.epub");
        QVERIFY(QFileInfo::exists(path));
        EPUBConverter converter(&html);
        converter.setWorkFolder(dir.path() + "/damaged");
        bool canceled = false;
        docgen::Watchdog watchdog(&canceled, 10000);
        const int logSize = utf16files::logText().size();
        QString outPath;
        bool ok = false;
        docgen::cancels([&] { ok = converter.convert(ContentFile::open(path), nullptr, &outPath, nullptr, QString(), &canceled); });
        QVERIFY2(!watchdog.stop(), "the conversion did not end by itself");
        QVERIFY(ok);
        const QString text = docgen::fromUtf16LE(testutil::readFile(outPath).mid(2));
        QFile::remove(outPath);
        QVERIFY2(text.startsWith("Chapter 0\r\nfirst chapter text\r\nmore\r\n\r\n"), qPrintable(text));
        QVERIFY2(utf16files::logText().mid(logSize).contains("WARNING\tEPUBConverter\tFailed to read OEBPS/ch1.xhtml"),
                 qPrintable(utf16files::logText().mid(logSize)));
    }

    // Books whose container.xml or package stops inflating part-way (a flipped bit in a valid
    // book): the XML reader reports a premature end, and asking it again would report it again
    // for ever. The conversion ends by itself; without a package it fails, with a package cut
    // short it converts the chapters named before the damage.
    void damagedContainerOrPackageEnds()
    {
        // Elements before the part that matters, so that the damage comes before it.
        const QByteArray padding = docgen::xmlPadding(3000);
        const QByteArray container = "<?xml version=\"1.0\"?><container>" + padding
                                     + "<rootfiles><rootfile full-path=\"c.opf\"/></rootfiles></container>";
        const QByteArray package = "<package><manifest><item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>"
                                   "</manifest><spine><itemref idref=\"a\"/>" + padding + "</spine></package>";
        for (const QString& damaged : {QStringLiteral("META-INF/container.xml"), QStringLiteral("c.opf")}) {
            const QString path = dir.path() + "/damaged.epub";
            QFile::remove(path);
            QVERIFY(docgen::writeZip(path, {{"META-INF/container.xml", container}, {"c.opf", package},
                                            {"a.xhtml", page("Alpha")}}));
            QByteArray zip = testutil::readFile(path);
            QVERIFY(docgen::damageMember(zip, damaged, damaged.endsWith(QLatin1String(".xml")) ? 33 : 80));
            QVERIFY(testutil::writeFile(path, zip));
            EPUBConverter converter(&html);
            converter.setWorkFolder(dir.path() + "/damagedwork");
            bool ok = false;
            QString text;
            docgen::endsWithin(10000, "the conversion of a book with a damaged package", [&] {
                QString outPath;
                ok = converter.convert(ContentFile::open(path), nullptr, &outPath, nullptr, QString(), nullptr);
                if (!outPath.isEmpty())
                    text = docgen::fromUtf16LE(testutil::readFile(outPath).mid(2));
                QFile::remove(outPath);
            });
            if (damaged.endsWith(QLatin1String(".xml")))
                QVERIFY(!ok);
            else
                QVERIFY2(ok && text == QStringLiteral("Alpha\r\n\r\n"), qPrintable(text));
        }
    }

    // Every XML loop of the converter ends on a device that fails without reaching its end,
    // and stops at once when the search is cancelled.
    void xmlLoopsEndAndCancel()
    {
        // Gives `head`, then fails every read while not saying it is at its end.
        class Failing : public QIODevice
        {
        public:
            explicit Failing(const QByteArray& first)
                : head(first)
            {
                open(QIODevice::ReadOnly);
            }
            bool isSequential() const override { return true; }
            bool atEnd() const override { return false; }

        protected:
            qint64 readData(char* data, qint64 max) override
            {
                if (given >= head.size())
                    return -1;
                const qint64 n = qMin<qint64>(max, head.size() - given);
                std::memcpy(data, head.constData() + given, size_t(n));
                given += int(n);
                return n;
            }
            qint64 writeData(const char*, qint64) override { return -1; }

        private:
            QByteArray head;
            int given = 0;
        };
        const QByteArray container = "<?xml version=\"1.0\"?><container><rootfiles><rootf";
        const QByteArray package = "<package><manifest><item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>"
                                   "</manifest><spine><itemref idref=\"a\"/><itemr";
        QElapsedTimer timer;
        timer.start();
        {
            Failing device(container);
            QString packagePath;
            bool found = true;
            docgen::endsWithin(10000, "parseContainerXml on a failing device",
                               [&] { found = EPUBConverter::parseContainerXml(&device, &packagePath); });
            QVERIFY(!found);
        }
        {
            Failing device(package);
            QStringList spine;
            docgen::endsWithin(10000, "parseOpf on a failing device",
                               [&] { EPUBConverter::parseOpf(&device, &spine); });
            QCOMPARE(spine, QStringList{"a.xhtml"});
        }
        QVERIFY(timer.elapsed() < 5000);
        const bool canceled = true;
        QBuffer whole;
        whole.setData(docgen::containerXml("c.opf"));
        whole.open(QIODevice::ReadOnly);
        QString packagePath;
        QVERIFY(docgen::cancels([&] { EPUBConverter::parseContainerXml(&whole, &packagePath, &canceled); }));
        QBuffer opf;
        opf.setData(docgen::opf({xhtml("a", "a.xhtml")}, {"a"}));
        opf.open(QIODevice::ReadOnly);
        QStringList spine;
        QVERIFY(docgen::cancels([&] { EPUBConverter::parseOpf(&opf, &spine, &canceled); }));
    }

    // The book's text ends at the bound, across its documents: a spine naming one chapter of
    // 100 KB of text eight times gives the text up to the bound, a warning and success.
    void textBound()
    {
        const QString path = dir.path() + "/repeated.epub";
        QFile::remove(path);
        QVERIFY(docgen::writeZip(path, book("c.opf", {xhtml("r", "r.xhtml")}, QString("r,r,r,r,r,r,r,r").split(QLatin1Char(',')),
                                            {{"r.xhtml", page(QString(50000, 'r'))}})));
        EPUBConverter converter(&html);
        converter.setWorkFolder(dir.path() + "/work");
        converter.setTextLimit(256 * 1024);
        const int logSize = utf16files::logText().size();
        QString outPath;
        QVERIFY(converter.convert(ContentFile::open(path), nullptr, &outPath, nullptr, QString(), nullptr));
        const QByteArray bytes = testutil::readFile(outPath);
        QFile::remove(outPath);
        QCOMPARE(bytes.size(), 2 + 256 * 1024);
        QVERIFY(docgen::fromUtf16LE(bytes.mid(2)).startsWith(QString(50000, 'r') + "\r\n\r\nrrr"));
        QVERIFY2(utf16files::logText().mid(logSize).contains("WARNING\tEPUBConverter\t"
                                                             + TextLimits::cutMessage(path, 256 * 1024)),
                 qPrintable(utf16files::logText().mid(logSize)));
    }

    void concurrentBooks()
    {
        // One EPUB converter and one HTML converter shared by several threads, as the pool does.
        EPUBConverter converter(&html);
        converter.setWorkFolder(dir.path() + "/concurrent");
        for (int t = 0; t < 6; ++t)
            QVERIFY(docgen::writeEpub(dir.path() + QString("/t%1.epub").arg(t), {{QString("book %1").arg(t)}, {"end"}}));
        QCOMPARE(docgen::countSuccesses(6, 10, [&](int t) {
                     QString outPath;
                     const bool ok = converter.convert(ContentFile::open(dir.path() + QString("/t%1.epub").arg(t)), nullptr, &outPath,
                                                       nullptr, QString(), nullptr)
                                     && docgen::fromUtf16LE(testutil::readFile(outPath).mid(2))
                                            == QString("Chapter 0\r\nbook %1\r\n\r\nChapter 1\r\nend\r\n\r\n").arg(t);
                     QFile::remove(outPath);
                     return ok;
                 }),
                 60);
    }

    void cancellation()
    {
        const QString path = dir.path() + "/long.epub";
        QVERIFY(docgen::writeEpub(path, {{"a"}, {"b"}, {"c"}}));
        EPUBConverter converter(&html);
        const QString work = dir.path() + "/cancelwork";
        converter.setWorkFolder(work);
        const bool canceled = true;
        QString outPath;
        QVERIFY(docgen::cancels([&] { converter.convert(ContentFile::open(path), nullptr, &outPath, nullptr, QString(), &canceled); }));
        QVERIFY(outPath.isEmpty());
        QCOMPARE(QDir(work).entryList(QDir::Files).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestEpubConverter)
#include "tst_epubconverter.moc"
