// Content searcher: converter choice, encodings, binary files, scopes, counting, cancellation,
// the raw-byte route against the line-by-line reference, and every converter end to end.
#include "core/ContentFile.h"
#include "core/FileNameCodec.h"
#include "core/FileSearchException.h"
#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "search/engine/ContentQuery.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/ConvertedTextCache.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/SearchExpression.h"
#include "search/model/TempFileHolder.h"
#include "search/textextract/Helper64Client.h"
#include "search/textextract/IFilter64Converter.h"
#include "search/textextract/IFilterConverter.h"
#include "search/textextract/PDFConverter.h"
#include "search/textextract/RegistryFile.h"
#include "testutil.h"
#include "tests/engine/enginetest.h"
#include "../textextract/docgen.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <atomic>
#include <memory>

#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

IFilterInfo filter(const char* clsid, std::initializer_list<const wchar_t*> exts)
{
    IFilterInfo info;
    info.clsid = QString::fromLatin1(clsid).toStdWString();
    for (const wchar_t* e : exts)
        info.extensions.push_back(e);
    return info;
}

} // namespace

class TestContentSearcher : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString work;
    QString docs;

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = docs + QLatin1Char('/') + name;
        if (!testutil::writeFile(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    static FileSearchRequest contents(const QString& pattern, int syntax = FileSearchRequest::Substring,
                                      bool lineScope = false, bool caseSensitive = false)
    {
        FileSearchRequest r;
        r.contents = pattern;
        r.contentsSyntax = syntax;
        r.lineScope = lineScope;
        r.contentsCase = caseSensitive;
        return r;
    }
    // One find of `pattern` in `path`.
    static bool finds(ContentSearcher& searcher, const QString& path, const QString& pattern,
                      int syntax = FileSearchRequest::Substring, bool lineScope = false,
                      bool caseSensitive = false, int* count = nullptr)
    {
        FileSearchRequest r = contents(pattern, syntax, lineScope, caseSensitive);
        return searcher.find(&r, path, count);
    }
    QStringList workFiles() { return QDir(work).entryList(QDir::Files); }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("test.log")));
        work = tmp.filePath(QStringLiteral("work"));
        docs = tmp.filePath(QStringLiteral("docs"));
        QVERIFY(QDir().mkpath(docs));
        RegistryFile reg;
        QString error;
        QVERIFY2(reg.load(testutil::programDir() + "/" + RegistryFile::inProcessFileName(), &error),
                 qPrintable(error));
        RegistryFile::setMachine(std::make_shared<RegistryFile>(reg));
    }

    void converterMap()
    {
        ContentSearcher searcher(nullptr, work);
        ContentSearchOptions o;
        o.useBuiltInPDF = true;
        o.ifilters32 = {filter("{A}", {L"docx", L"PDF"}), filter("{B}", {L"docx"}),
                        filter("{A}", {L"Docx"})};
        o.ifilters64 = {filter("{C}", {L"rtf", L"docx"}), filter("{d}", {L"odt"})};
        o.disabledFilters = QStringList{"{b}", "{D}"};
        o.disabledExtensions64 = QStringList{"RTF"};
        searcher.setSettings(o);

        auto kinds = [&](const QString& ext) {
            QStringList out;
            for (ToPlainTextConverter* c : searcher.convertersFor(ext))
                out << (dynamic_cast<PDFConverter*>(c) ? "pdf"
                        : dynamic_cast<IFilter64Converter*>(c) ? "if64"
                        : dynamic_cast<IFilterConverter*>(c) ? "if32" : "other");
            return out;
        };
        // Built-in PDF before any filter; 32-bit before 64-bit; one entry per registration;
        // disabled filters and extensions (any case) left out; lookup ignores case.
        QCOMPARE(kinds("pdf"), QStringList({"pdf", "if32"}));
        QCOMPARE(kinds("PDF"), QStringList({"pdf", "if32"}));
        QCOMPARE(kinds("DOCX"), QStringList({"if32", "if32", "if64"}));
        for (const char* ext : {"rtf", "odt", "htm", "html"})
            QCOMPARE(kinds(ext), QStringList());
        for (const char* ext : {"epub", "fb2", "mobi"})
            QCOMPARE(kinds(ext), QStringList({"other"}));

        o.useBuiltInPDF = false;
        o.ifilters32.clear();
        searcher.setSettings(o);
        QCOMPARE(kinds("pdf"), QStringList());
    }

    void plainTextAndScopes()
    {
        ContentSearcher searcher(nullptr, work);
        searcher.setSettings(enginetest::options());
        const QString path = write("scopes.txt", "alpha one\r\nbeta two\n\nlast line without end");
        // Every hit of every term on every line counts, not only those of the first matching line.
        const QString counted = write("count.txt", "foo foo bar\nnothing\nFOO and foo\nbar foofoo\n");
        // U+212A KELVIN SIGN and U+017F LONG S fold to "k" and "s" when case is ignored.
        const QString kelvin = write("kelvin.txt", QString::fromUtf8("300 \u212Aelvin\nlong \u017Fun\n").toUtf8());
        enum { Sub = FileSearchRequest::Substring, Word = FileSearchRequest::WholeWord,
               Rx = FileSearchRequest::Regex, Bool = FileSearchRequest::Boolean };
        const struct { const QString& file; const char* pattern; int syntax; bool line; bool cs;
                       bool found; int count; } cases[] = {
            {path, "alpha beta", Sub, false, false, true, 2},
            {path, "alpha beta", Sub, true, false, false, 2}, // the terms are on different lines
            {path, "beta two", Sub, true, false, true, 2},
            {path, "END", Sub, true, false, true, 1},         // last line without a line end
            {path, "END", Sub, true, true, false, 0},
            {path, "alph", Word, false, false, false, 0},
            {path, "not zeta", Bool, true, false, true, 0},
            // A pattern made only of operators has no terms but is invalid: no file matches it.
            {path, "not", Bool, false, false, false, 0},
            {path, "not", Bool, true, false, false, 0},
            {counted, "foo", Sub, false, false, true, 6},
            {counted, "foo bar", Sub, true, false, true, 8},
            {counted, "foo", Word, false, false, true, 4},
            {counted, "fo+", Rx, false, false, true, 6},
            {counted, "zzz", Sub, false, false, false, 0},
            {kelvin, "kelvin", Sub, false, false, true, 1},
            {kelvin, "SUN", Word, false, false, true, 1},
            {kelvin, "kelvin", Sub, false, true, false, 0},
        };
        for (const auto& c : cases) {
            int count = 0;
            QVERIFY2(finds(searcher, c.file, c.pattern, c.syntax, c.line, c.cs, &count) == c.found, c.pattern);
            QVERIFY2(count == c.count, qPrintable(QStringLiteral("%1: %2").arg(c.pattern).arg(count)));
        }

        // An empty text: "not x" holds, a term does not; no lines are stored.
        const QString empty = write("empty.txt", "");
        QVERIFY(finds(searcher, empty, "not x", Bool));
        QVERIFY(finds(searcher, empty, "not zeta", Bool, true));
        QVERIFY(!finds(searcher, empty, "x"));
        FileSearchRequest notEmpty = contents("not x", FileSearchRequest::Boolean);
        TempFileHolder holder;
        QVERIFY(searcher.findAll(&notEmpty, empty, &holder));
        QCOMPARE(holder.lineCount, 0);
        QVERIFY(holder.matches.isEmpty());

        // A missing file gives false with a warning.
        QVERIFY(!finds(searcher, docs + "/missing.txt", "x"));
        QVERIFY(enginetest::logText().contains("find - Failed to open " + docs + "/missing.txt"));
    }

    void encodingsAndBinary()
    {
        ContentSearcher searcher(nullptr, work);
        ContentSearchOptions o = enginetest::options();
        searcher.setSettings(o);
        const QString text = QString::fromUtf8("Grüße aus Köln\nzweite Zeile mit Straße\n");
        // Encoders that write no byte-order mark of their own.
        std::unique_ptr<QTextEncoder> le(QTextCodec::codecForName("UTF-16LE")->makeEncoder(QTextCodec::IgnoreHeader));
        std::unique_ptr<QTextEncoder> be(QTextCodec::codecForName("UTF-16BE")->makeEncoder(QTextCodec::IgnoreHeader));
        const QString le16 = write("le.txt", QByteArray("\xFF\xFE", 2) + le->fromUnicode(text));
        const QString be16 = write("be.txt", be->fromUnicode(text)); // no mark: found by its blanks
        QCOMPARE(testutil::readFile(be16).left(2), QByteArray("\0G", 2));
        const QString utf8 = write("utf8.txt", text.toUtf8());
        // An 8-bit text is found by its accented words also where the locale is UTF-8.
        const QString latin1 = write("latin1.txt", QTextCodec::codecForName("ISO-8859-1")->fromUnicode(text));
        for (const QString& p : {le16, be16, utf8, latin1}) {
            QVERIFY2(finds(searcher, p, QString::fromUtf8("straße")), qPrintable(p));
            QVERIFY2(finds(searcher, p, "zeile"), qPrintable(p));
        }
        QVERIFY(finds(searcher, latin1, QString::fromUtf8("grüße"), FileSearchRequest::Substring, true));
        FileSearchRequest r = contents(QString::fromUtf8("straße"));
        TempFileHolder holder;
        QVERIFY(searcher.findAll(&r, be16, &holder));
        QCOMPARE(holder.lineCount, 2);
        QCOMPARE(holder.matches.size(), 1);
        QCOMPARE(holder.matches[0].line, 1);
        QCOMPARE(holder.matches[0].text, QString::fromUtf8("zweite Zeile mit Straße"));
        QCOMPARE(holder.matches[0].positions, MatchPositions({{17, 6}}));
        QCOMPARE(holder.path, be16);
        QVERIFY(!holder.removeFile);

        // Binary files: skipped with a log line when asked, else read as text.
        QByteArray binary("\x7F" "ELF\0\0\0\0 needle \0\x01\x02", 20);
        const QString bin = write("blob.bin", binary);
        QVERIFY(!finds(searcher, bin, "needle"));
        QVERIFY(enginetest::logText().contains("skip BINARY, file = " + bin));
        o.skipBinary = false;
        searcher.setSettings(o);
        QVERIFY(finds(searcher, bin, "needle"));
        // Detection off: a marked UTF-16 file is still read by its mark (the stream's own
        // recognition), an unmarked one is read as 8-bit text.
        o.autoDetectEncoding = false;
        searcher.setSettings(o);
        QVERIFY(finds(searcher, le16, "zeile"));
        QVERIFY(!finds(searcher, be16, "zeile"));
        // skipBinary alone detects only to skip: the detected UTF-16 is not used.
        o.skipBinary = true;
        searcher.setSettings(o);
        QVERIFY(!finds(searcher, be16, "zeile"));
        QVERIFY(!finds(searcher, bin, "needle"));
    }

    void longLinesAndBlockEdges()
    {
        ContentSearcher searcher(nullptr, work);
        searcher.setSettings(enginetest::options());
        // A 3 MiB line (longer than the read block) with the term at its very end, and a term
        // straddling the first 1 MiB block boundary on a later line.
        QByteArray big(3 << 20, 'x');
        big += "needle\n";
        QVERIFY(finds(searcher, write("long.txt", big), "needle", FileSearchRequest::Substring, true));

        QByteArray edges;
        while (edges.size() < (1 << 20) - 3)
            edges += "short line of filler text\n";
        edges.truncate((1 << 20) - 4);
        edges += "\nneedle and more\nnext\n"; // "needle" straddles the 1 MiB mark
        const QString straddle = write("edge.txt", edges);
        int count = 0;
        QVERIFY(finds(searcher, straddle, "needle", FileSearchRequest::Substring, true, false, &count));
        QCOMPARE(count, 1);
        QVERIFY(finds(searcher, straddle, "needle", FileSearchRequest::WholeWord, true));

        // Lines dense with hits of two terms, one longer than the read block: in line scope
        // only a line holding both terms matches, and every hit is counted.
        QByteArray dense;
        for (int i = 0; i < 400000; ++i)
            dense += "foo ";
        dense += "\n";
        for (int i = 0; i < 1000; ++i)
            dense += "bar foo,";
        dense += "\n";
        QByteArray apart = dense;
        apart.replace("bar foo,", "barbaz, ");
        const QString densePath = write("dense.txt", dense);
        const QString apartPath = write("apart.txt", apart);
        count = 0;
        QVERIFY(finds(searcher, densePath, "foo bar", FileSearchRequest::Substring, true, false, &count));
        QCOMPARE(count, 400000 + 2000);
        QVERIFY(finds(searcher, densePath, "foo bar", FileSearchRequest::Substring, true));
        QVERIFY(!finds(searcher, apartPath, "foo bar", FileSearchRequest::Substring, true));
        count = 0;
        QVERIFY(!finds(searcher, apartPath, "foo barbaz", FileSearchRequest::WholeWord, true, false, &count));
        QCOMPARE(count, 400000 + 1000);
    }

    // One line costs the window, not its length: a 48 MiB file without a line end is searched
    // (the needle at its very end found and counted) and previewed within a few MiB, and a
    // cancel during it is seen at the next block.
    // A document is converted once while it is unchanged: the search and the preview read the
    // text kept in the working folder; a changed document (or another one) is converted again;
    // the kept texts stay within their bounds, the least recently used going first.
    void convertedTextIsKept()
    {
        const QString runs = docs + "/runs.txt";
        const QString script = docs + "/counting-pdftotext.sh";
        QVERIFY(testutil::writeFile(script, "#!/bin/sh\necho run >> '" + QFile::encodeName(runs)
                                                + "'\ncat > /dev/null\nprintf 'kept quokka\\n' | iconv -f UTF-8 -t UTF-16BE\n"));
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString keptWork = docs + "/keptwork";
        ContentSearcher searcher(nullptr, keptWork);
        searcher.setSettings(enginetest::options());
        searcher.pdf()->setProgram(script);
        const QString doc = write("kept.pdf", "%PDF-1.4 one");
        auto conversions = [&] { return testutil::readFile(runs).count("run"); };
        QVERIFY(finds(searcher, doc, "quokka"));
        QVERIFY(finds(searcher, doc, "kept quokka", FileSearchRequest::Substring, true));
        TempFileHolder holder;
        FileSearchRequest r = contents("quokka");
        QVERIFY(searcher.findAll(&r, doc, &holder));
        QCOMPARE(holder.matches.size(), 1);
        QCOMPARE(conversions(), 1);
        // Another content (and change time) makes another text; so does another name.
        QVERIFY(testutil::writeFile(doc, "%PDF-1.4 two"));
        QVERIFY(finds(searcher, doc, "quokka"));
        QCOMPARE(conversions(), 2);
        QVERIFY(QFile::copy(doc, docs + "/copy.pdf"));
        QVERIFY(finds(searcher, docs + "/copy.pdf", "quokka"));
        QCOMPARE(conversions(), 3);
        QVERIFY(finds(searcher, doc, "quokka"));
        QCOMPARE(conversions(), 3);
        // A second searcher on the same working folder (the next run of the program) finds them.
        ContentSearcher next(nullptr, keptWork);
        next.setSettings(enginetest::options());
        next.pdf()->setProgram(script);
        QVERIFY(finds(next, doc, "quokka"));
        QCOMPARE(conversions(), 3);
        // Another converter program makes other texts.
        next.pdf()->setProgram(script + "-other");
        QVERIFY(QFile::copy(script, script + "-other"));
        QVERIFY(finds(next, doc, "quokka"));
        QCOMPARE(conversions(), 4);

        // Bounds: three entries of 30 bytes fit 64 at most two at a time; a text over the bound
        // of one entry is not kept (its file stays where it was).
        ConvertedTextCache cache(docs + "/boundwork", 40, 64, 10);
        QVERIFY(QDir().mkpath(docs + "/boundwork"));
        QStringList keys;
        for (int i = 0; i < 3; ++i) {
            const QString text = write(QStringLiteral("t%1.txt").arg(i), QByteArray(30, char('a' + i)));
            const ContentFile source = ContentFile::open(text);
            keys << QString::fromLatin1(ConvertedTextCache::keyOf(source, "test"));
            QVERIFY(cache.keep(keys.last().toLatin1(), text, QString()));
            QVERIFY(!QFile::exists(text));
        }
        ContentFile kept;
        QString encoding;
        QCOMPARE(int(cache.find(keys[0].toLatin1(), &kept, &encoding)), int(ConvertedTextCache::Lookup::Missing));
        QCOMPARE(int(cache.find(keys[2].toLatin1(), &kept, &encoding)), int(ConvertedTextCache::Lookup::Text));
        QCOMPARE(kept.size(), qint64(30));
        QCOMPARE(QDir(docs + "/boundwork/text-cache").entryList(QDir::Files).size(), 2);
        const QString large = write("large.txt", QByteArray(41, 'x'));
        QVERIFY(!cache.keep(ConvertedTextCache::keyOf(ContentFile::open(large), "test"), large, QString()));
        QVERIFY(QFile::exists(large));
    }

    void longLineCostsTheWindow()
    {
        QByteArray block(1 << 20, 'x');
        for (int i = 0; i < block.size(); i += 61)
            block[i] = ' ';
        const QString path = docs + "/one line.txt";
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            for (int i = 0; i < 48; ++i)
                QCOMPARE(file.write(block), qint64(block.size()));
            QCOMPARE(file.write("needle"), qint64(6));
        }
        ContentSearcher searcher(nullptr, work);
        searcher.setSettings(enginetest::options());
        int count = 0;
        bool found = false;
        TempFileHolder holder;
        bool previewed = false;
        const long grownKiB = docgen::peakGrowthKiB([&] {
            found = finds(searcher, path, "needle", FileSearchRequest::Substring, true, false, &count);
            FileSearchRequest r = contents("needle");
            previewed = searcher.findAll(&r, path, &holder);
        });
        QVERIFY(found);
        QCOMPARE(count, 1);
        QVERIFY(previewed);
        QCOMPARE(holder.lineCount, 1);
        QCOMPARE(holder.matches.size(), 1);
        QVERIFY2(grownKiB < 16 * 1024, qPrintable(QString::number(grownKiB)));
        FileSearchRequest c = contents("needle");
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<QThread> canceller(QThread::create([&] {
            QThread::msleep(20); // a fixed wait: the cancel comes while the scan runs
            c.canceled = true;
        }));
        canceller->start();
        bool canceled = false;
        try {
            int n = 0;
            searcher.find(&c, path, &n);
        } catch (const FileSearchCancelException&) {
            canceled = true;
        }
        canceller->wait();
        QVERIFY(canceled || timer.elapsed() < 1000);
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QFile::remove(path);
    }

    void specialFilesAndCancel()
    {
        ContentSearcher searcher(nullptr, work);
        searcher.setSettings(enginetest::options());
        const QString fifo = docs + "/pipe.txt";
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        FileSearchRequest r = contents("x");
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!searcher.find(&r, fifo, nullptr)); // never opened: would block
        TempFileHolder holder;
        QVERIFY(!searcher.findAll(&r, fifo, &holder));
        QVERIFY(!finds(searcher, "/dev/null", "x"));
        QVERIFY(timer.elapsed() < 5000);

        // A set cancel flag stops the scan with "Request %1 canceled" on both routes.
        const QString path = write("cancel.txt", "one\ntwo\n");
        for (const QString& pattern : {QStringLiteral("two"), QStringLiteral("t.o")}) {
            FileSearchRequest c = contents(pattern, pattern.contains('.') ? FileSearchRequest::Regex
                                                                         : FileSearchRequest::Substring);
            c.canceled = true;
            try {
                searcher.find(&c, path, nullptr);
                QFAIL("no cancellation");
            } catch (const FileSearchCancelException& e) {
                QVERIFY2(e.message().contains(QStringLiteral("Request %1 canceled").arg(c.id)),
                         qPrintable(e.message()));
                QVERIFY(e.message().contains("ContentSearcher"));
            }
        }
    }

    // A cancelled search gives back the descriptor of the file it was reading: 200 searches
    // cancelled after the first block of a three-block file leave the open descriptors as
    // they were, on the raw route and on the line-by-line one.
    void cancelReleasesDescriptors()
    {
        ContentSearcher searcher(nullptr, work);
        searcher.setSettings(enginetest::options());
        QByteArray text;
        while (text.size() < 3 * (1 << 20))
            text += "a line of text that does not hold the term\n";
        const QString path = write("cancel-big.txt", text);
        const auto openDescriptors = [] {
            return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
        };
        const int before = openDescriptors();
        int cancelled = 0;
        for (int i = 0; i < 200; ++i) {
            const bool regex = i % 2;
            FileSearchRequest c = contents(regex ? QStringLiteral("zz.q") : QStringLiteral("zzq"),
                                           regex ? FileSearchRequest::Regex : FileSearchRequest::Substring);
            c.canceled = true;
            try {
                searcher.find(&c, path, nullptr);
            } catch (const FileSearchCancelException&) {
                ++cancelled;
            }
        }
        QCOMPARE(cancelled, 200);
        QCOMPARE(openDescriptors(), before);
    }

    // Special files behind any name (a FIFO, a device node, links to them; with the extension
    // of plain text or of any kind of document) are never opened, not even without blocking:
    // opening a device can arm, reset or rewind it. inotify sees every open of their inodes;
    // there must be none.
    void specialFilesAreNeverOpened()
    {
        ContentSearcher searcher(nullptr, work);
        ContentSearchOptions o = enginetest::options();
        o.ifilters32 = getIFiltersFromRegistry();
        searcher.setSettings(o);
        QTemporaryDir special;
        const QByteArray fifo = QFile::encodeName(special.filePath("fifo"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QList<QByteArray> targets{fifo};
        if (testutil::isRoot()) {
            const QByteArray device = QFile::encodeName(special.filePath("null-device"));
            QCOMPARE(::mknod(device.constData(), S_IFCHR | 0600, makedev(1, 3)), 0);
            targets << device;
        }
        HandleHolder watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
        QVERIFY(watch.isValid());
        for (const QByteArray& target : targets)
            QVERIFY(::inotify_add_watch(watch.handle(), target.constData(), IN_OPEN) >= 0);
        QStringList names;
        int n = 0;
        for (const QByteArray& target : targets) {
            for (const char* ext : {"txt", "pdf", "epub", "docx", "odt", "fb2", "mobi", "rtf"}) {
                const QString link = special.filePath(QStringLiteral("link%1.%2").arg(n++).arg(ext));
                QCOMPARE(::symlink(target.constData(), QFile::encodeName(link).constData()), 0);
                names << link;
            }
        }
        names << QFile::decodeName(fifo);
        QElapsedTimer timer;
        timer.start();
        for (const QString& name : qAsConst(names)) {
            for (const QString& pattern : {QStringLiteral("x"), QStringLiteral("x.y")}) {
                FileSearchRequest r = contents(pattern, pattern.size() > 1 ? FileSearchRequest::Regex
                                                                           : FileSearchRequest::Substring);
                QVERIFY(!searcher.find(&r, name, nullptr));
                TempFileHolder holder;
                QVERIFY(!searcher.findAll(&r, name, &holder));
                QVERIFY(holder.matches.isEmpty());
            }
        }
        QVERIFY(timer.elapsed() < 5000);
        char events[4096];
        QCOMPARE(::read(watch.handle(), events, sizeof events), ssize_t(-1)); // no open at all
        QCOMPARE(errno, EAGAIN);
    }

    // A name that is swapped for a FIFO between a check and an open (anyone who may write into
    // a searched folder can do that) never blocks a search or a preview: a thread renames a
    // FIFO and a regular file over the same names in turn while they are searched.
    void swapForFifoNeverBlocks()
    {
        ContentSearcher searcher(nullptr, work);
        ContentSearchOptions o = enginetest::options();
        o.ifilters32 = getIFiltersFromRegistry();
        searcher.setSettings(o);
        QTemporaryDir swapDir;
        const QStringList names{swapDir.filePath("swap.epub"), swapDir.filePath("swap.docx"),
                                swapDir.filePath("swap.fb2"), swapDir.filePath("swap.txt")};
        QByteArray epub;
        {
            const QString tmpEpub = swapDir.filePath("book.tmp");
            QVERIFY(docgen::writeEpub(tmpEpub, {{"Chapter", "Quokka"}}));
            epub = testutil::readFile(tmpEpub);
        }
        // Per name one FIFO and one regular file, moved in and out of the name in turn (FIFO,
        // nothing, regular file, nothing, ...), so both stay reachable under names of their
        // own and the name changes every few microseconds.
        QStringList fifos, regulars;
        for (int i = 0; i < names.size(); ++i) {
            fifos << swapDir.filePath(QStringLiteral("fifo%1").arg(i));
            regulars << swapDir.filePath(QStringLiteral("regular%1").arg(i));
            QCOMPARE(::mkfifo(QFile::encodeName(fifos[i]).constData(), 0600), 0);
            QVERIFY(testutil::writeFile(regulars[i], epub));
        }
        std::atomic<bool> stop{false};
        std::unique_ptr<QThread> swapper(QThread::create([&] {
            while (!stop) {
                for (int i = 0; i < names.size(); ++i) {
                    const QByteArray name = QFile::encodeName(names[i]);
                    for (const QString& entry : {fifos[i], regulars[i]}) {
                        const QByteArray spare = QFile::encodeName(entry);
                        ::rename(spare.constData(), name.constData());
                        ::rename(name.constData(), spare.constData());
                    }
                }
            }
        }));
        std::atomic<int> searches{0};
        std::unique_ptr<QThread> searching(QThread::create([&] {
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 1500) {
                for (const QString& name : names) {
                    FileSearchRequest r = contents("quokka");
                    searcher.find(&r, name, nullptr);
                    TempFileHolder holder;
                    searcher.findAll(&r, name, &holder);
                    ++searches;
                }
            }
        }));
        swapper->start();
        searching->start();
        const bool ended = searching->wait(15000);
        stop = true;
        swapper->wait();
        if (!ended) {
            // Release a reader stuck on a FIFO, so that the test fails instead of hanging.
            for (int round = 0; round < 50 && !searching->isFinished(); ++round) {
                for (const QString& fifo : qAsConst(fifos)) {
                    const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                    if (fd >= 0)
                        ::close(fd);
                }
                searching->wait(100);
            }
            searching->wait();
        }
        QVERIFY2(ended, "a search blocked on a FIFO");
        QVERIFY(searches > 20);
    }

    // Names that are not UTF-8 (the lossless file-name form) are converted, searched and
    // previewed like any other, for every kind of document and for plain text.
    void namesThatAreNotUtf8()
    {
        Helper64Client helper(work, testutil::programDir() + "/helper64", 20000);
        ContentSearcher searcher(&helper, work);
        ContentSearchOptions o = enginetest::options();
        o.ifilters32 = getIFiltersFromRegistry();
        o.ifilters64 = helper.getIFilters();
        QVERIFY(!o.ifilters64.empty());
        searcher.setSettings(o);
        const QByteArray folder = QFile::encodeName(docs) + "/bytes \xE9\xFF";
        QCOMPARE(::mkdir(folder.constData(), 0700), 0);
        QList<QPair<QByteArray, QByteArray>> documents{
            {"pdf", docgen::makePdf({{"Quokka pdfword"}})},
            {"txt", "first line\nQuokka txtword\n"},
            {"rtf", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times;}}\\f0 Quokka rtfword}"}};
        const QString epubPath = docs + "/plain.epub";
        QVERIFY(docgen::writeEpub(epubPath, {{"Chapter", "Quokka epubword"}}));
        documents.append({"epub", testutil::readFile(epubPath)});
        const QString docxPath = docs + "/plain.docx";
        QVERIFY(docgen::writeZip(docxPath, {{"word/document.xml",
                                             "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                                             "<w:body><w:p><w:r><w:t>Quokka docxword</w:t></w:r></w:p></w:body></w:document>"}}));
        documents.append({"docx", testutil::readFile(docxPath)});
        const QString odtPath = docs + "/plain.odt";
        QVERIFY(docgen::writeZip(odtPath, {{"content.xml",
                                            "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
                                            " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">"
                                            "<office:body><office:text><text:p>Quokka odtword</text:p></office:text></office:body>"
                                            "</office:document-content>"}}));
        documents.append({"odt", testutil::readFile(odtPath)});
        for (const auto& document : qAsConst(documents)) {
            const QByteArray native = folder + "/na\xEFve \xC3( " + document.first + "." + document.first;
            HandleHolder fd(::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
            QVERIFY(fd.isValid());
            QCOMPARE(::write(fd.handle(), document.second.constData(), size_t(document.second.size())),
                     ssize_t(document.second.size()));
            const QString path = FileNameCodec::decode(native);
            QVERIFY(FileNameCodec::encode(path) == native);
            const QString word = QString::fromLatin1(document.first) + "word";
            QVERIFY2(finds(searcher, path, "quokka " + word, FileSearchRequest::Substring, true),
                     native.constData());
            QVERIFY(!finds(searcher, path, "wombat"));
            TempFileHolder holder;
            FileSearchRequest all = contents(word);
            QVERIFY2(searcher.findAll(&all, path, &holder), native.constData());
            QCOMPARE(holder.matches.size(), 1);
            QVERIFY(holder.matches[0].text.contains(word));
            // The preview reads the very text that was searched, through its descriptor.
            QVERIFY(holder.text && holder.text->isOpen());
            ContentFileDevice shown(*holder.text);
            const QByteArray bytes = shown.readAll();
            QTextStream stream(bytes);
            const bool converted = holder.path != path;
            if (QTextCodec* codec = ContentSearcher::codecForEncoding(
                    converted ? (document.first == "pdf" ? "UTF16-BE" : "UTF-16") : "UTF-8", &shown))
                stream.setCodec(codec);
            QVERIFY2(stream.readAll().contains(word), native.constData());
        }
        QVERIFY2(workFiles().isEmpty(), qPrintable(workFiles().join(",")));
        // QTemporaryDir cannot remove names that are not UTF-8.
        for (const auto& document : qAsConst(documents))
            ::unlink((folder + "/na\xEFve \xC3( " + document.first + "." + document.first).constData());
        QCOMPARE(::rmdir(folder.constData()), 0);
    }

    // A root instance searches the contents of documents only root may read, while every
    // parser outside this process (the helper, pdftotext) runs as the session user: each gets
    // the document as the descriptor root opened.
    void rootOnlyDocumentsInARootInstance()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const testutil::SessionUserScope session(65534);
        QVERIFY(::chmod(QFile::encodeName(tmp.path()).constData(), 0711) == 0);
        const QString folder = docs + "/root-only";
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
        Helper64Client helper(work, testutil::programDir() + "/helper64", 20000);
        QCOMPARE(helper.currentState(), Helper64Client::State::Running);
        QVERIFY(testutil::readFile(QStringLiteral("/proc/%1/status").arg(helper.helperPid())).contains("\nUid:\t65534\t"));
        ContentSearcher searcher(&helper, work);
        ContentSearchOptions o = enginetest::options();
        o.ifilters32 = getIFiltersFromRegistry();
        o.ifilters64 = helper.getIFilters();
        searcher.setSettings(o);
        const QList<QPair<QString, QByteArray>> documents{
            {"secret.pdf", docgen::makePdf({{"Quokka pdfword"}})},
            {"secret.rtf", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times;}}\\f0 Quokka rtfword}"},
            {"secret.txt", "Quokka txtword\n"}};
        for (const auto& document : documents) {
            const QString path = folder + QLatin1Char('/') + document.first;
            QVERIFY(testutil::writeFile(path, document.second));
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0600) == 0);
            const QString word = document.first.section(QLatin1Char('.'), 1) + QStringLiteral("word");
            QVERIFY2(finds(searcher, path, "quokka " + word), qPrintable(path));
            QVERIFY(!finds(searcher, path, "wombat"));
            TempFileHolder holder;
            FileSearchRequest all = contents(word);
            QVERIFY2(searcher.findAll(&all, path, &holder), qPrintable(path));
            QCOMPARE(holder.matches.size(), 1);
        }
        QVERIFY2(workFiles().isEmpty(), qPrintable(workFiles().join(",")));
    }

    void everyConverter()
    {
        // Documents of every converter, made here; a term only their text holds.
        Helper64Client helper(work, testutil::programDir() + "/helper64", 20000);
        ContentSearcher searcher(&helper, work);
        ContentSearchOptions o = enginetest::options();
        o.ifilters32 = getIFiltersFromRegistry();
        o.ifilters64 = helper.getIFilters();
        QVERIFY(!o.ifilters32.empty());
        QVERIFY2(!o.ifilters64.empty(), "helper64 lists no filters");
        searcher.setSettings(o);

        const QString epub = docs + "/book.epub";
        QVERIFY(docgen::writeEpub(epub, {{"Chapter", "Quokka epubword"}}));
        const QString docx = docs + "/report.docx";
        QVERIFY(docgen::writeZip(docx, {{"[Content_Types].xml", "<Types/>"},
                                         {"word/document.xml",
                                          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                          "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                                          "<w:body><w:p><w:r><w:t>Quokka docxword</w:t></w:r></w:p></w:body></w:document>"}}));
        const QString odt = docs + "/letter.odt";
        QVERIFY(docgen::writeZip(odt, {{"mimetype", "application/vnd.oasis.opendocument.text"},
                                        {"content.xml",
                                         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                         "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
                                         " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">"
                                         "<office:body><office:text><text:p>Quokka odtword</text:p></office:text></office:body>"
                                         "</office:document-content>"}}));
        const QStringList paths{
            epub, docx, odt, write("doc.PDF", docgen::makePdf({{"first page", "Quokka pdfword here"}})),
            write("book.fb2", docgen::makeFb2({{QString::fromUtf8("Привет Quokka fb2word")}})),
            write("book.mobi", docgen::makeMobi("<html><body><p>Quokka mobiword</p></body></html>")),
            write("note.rtf", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times;}}\\f0 Quokka rtfword}")};
        const QStringList words{"epubword", "docxword", "odtword", "pdfword", "fb2word", "mobiword", "rtfword"};
        for (int i = 0; i < paths.size(); ++i) {
            int count = 0;
            QVERIFY2(finds(searcher, paths[i], "quokka " + words[i], FileSearchRequest::Substring, true, false, &count),
                     qPrintable(paths[i]));
            QVERIFY2(count == 2, qPrintable(paths[i] + " count " + QString::number(count)));
            QVERIFY(!finds(searcher, paths[i], "wombat"));

            TempFileHolder holder;
            FileSearchRequest all = contents(words[i]);
            QVERIFY2(searcher.findAll(&all, paths[i], &holder), qPrintable(paths[i]));
            QVERIFY(holder.matches.size() >= 1);
            QVERIFY(holder.matches[0].text.contains(words[i]));
        }
        // Cyrillic text of the cp1251 FB2 comes only through its converter.
        QVERIFY(finds(searcher, paths[4], QString::fromUtf8("привет")));
        // Converted text files never stay behind in the working folder after find.
        QVERIFY2(workFiles().isEmpty(), qPrintable(workFiles().join(",")));

        // findAll hands the holder the converted text, which the cache keeps.
        {
            TempFileHolder holder;
            FileSearchRequest r = contents("pdfword");
            QVERIFY(searcher.findAll(&r, paths[3], &holder));
            QVERIFY(!holder.removeFile);
            QVERIFY(holder.path.startsWith(work + "/text-cache/"));
            QVERIFY(holder.text && holder.text->isOpen());
        }

        // A document whose conversion failed is not searched as the bytes of its container;
        // a plain text saved under a document's name still is; a document without text is
        // searched as empty and logged.
        const QString damaged = write("damaged.doc", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)
                                                         + QByteArray(600, ' ') + "Quokka rawword");
        const QString damagedRtf = write("damaged.rtf", "{\\rtf1\\ansi Quokka");
        QVERIFY(!finds(searcher, damaged, "rawword"));
        TempFileHolder none;
        FileSearchRequest raw = contents("rawword");
        QVERIFY(!searcher.findAll(&raw, damaged, &none));
        QVERIFY(none.matches.isEmpty());
        QVERIFY(enginetest::logText().contains(damaged + " could not be converted; it is not read as text"));
        QVERIFY(finds(searcher, damagedRtf, "quokka")); // RTF cut short: its text up to there
        QVERIFY(!finds(searcher, damagedRtf, "rtf1"));
        QVERIFY(finds(searcher, write("renamed.doc", "Quokka plaindocword\n"), "plaindocword"));
        const QString empty = write("empty.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}}}");
        QVERIFY(!finds(searcher, empty, "fonttbl"));
        QVERIFY(enginetest::logText().contains("No text in " + empty));

        // With the built-in PDF converter off and no filter for it, a PDF is read raw.
        o.useBuiltInPDF = false;
        searcher.setSettings(o);
        QVERIFY(finds(searcher, paths[3], "endstream"));
    }
};

QTEST_GUILESS_MAIN(TestContentSearcher)
#include "tst_contentsearcher.moc"
