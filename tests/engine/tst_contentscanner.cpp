// ContentScanner against the line-by-line reference (each line read by QTextStream and judged
// by SearchExpression, as the content search was defined): verdicts in both scopes, counts,
// findAll's records (line numbers, positions, texts) and line counts, for generated texts
// (Unicode letters and digits, the two characters that fold to ASCII letters, characters
// beyond the BMP, broken UTF-8, CR LF and lone CRs) and generated patterns of every kind
// (literals, whole words, ignoring case or not, regular expressions with anchors, lookaround
// and empty hits, Boolean expressions); the same over any split of the text into blocks;
// lines far longer than the scanner's window, judged in pieces; and the memory a line costs.
#include "core/Logger.h"
#include "search/engine/ContentQuery.h"
#include "search/engine/ContentScanner.h"
#include "search/engine/ContentSearcher.h"
#include "search/model/EncodingDetection.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/SearchExpression.h"
#include "search/model/TempFileHolder.h"
#include "tests/textextract/docgen.h"
#include "testutil.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTextStream>
#include <QtTest>

namespace {

struct Outcome
{
    bool matched = false;
    int count = 0;
    int lines = 0;
    QList<MatchedLine> records;
};

QString describe(const QList<MatchedLine>& records)
{
    QStringList out;
    for (const MatchedLine& r : records) {
        QStringList hits;
        for (const auto& p : r.positions)
            hits << QStringLiteral("%1+%2").arg(p.first).arg(p.second);
        out << QStringLiteral("%1[%2]%3").arg(r.line).arg(hits.join(',')).arg(r.text.size());
    }
    return out.join(' ');
}

bool sameRecords(const QList<MatchedLine>& a, const QList<MatchedLine>& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].line != b[i].line || a[i].positions != b[i].positions || a[i].text != b[i].text)
            return false;
    }
    return true;
}

// The reference: the text read line by line as UTF-8 through QTextStream, every line judged by
// one SearchExpression (the first matching line decides, else the end-of-text verdict), every
// hit of every term counted, and findAll's record of every line holding a term.
Outcome reference(QTextStream& stream, const QString& pattern, const MatchOptions& options);

Outcome reference(const QByteArray& bytes, const QString& pattern, const MatchOptions& options)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QTextStream stream(&buffer);
    stream.setCodec("UTF-8");
    return reference(stream, pattern, options);
}

Outcome reference(QTextStream& stream, const QString& pattern, const MatchOptions& options)
{
    SearchExpression expression(pattern, options);
    MatchOptions lineOptions = options;
    lineOptions.fileScope = 0;
    SearchExpression counting(pattern, lineOptions);
    SearchExpression positionsOf(pattern, lineOptions);
    Outcome out;
    QString line;
    while (!stream.atEnd()) {
        stream.readLineInto(&line);
        if (expression.match(line) == SearchExpression::Matches)
            out.matched = true;
        MatchPositions positions;
        counting.match(line, &positions);
        out.count += positions.size();
        MatchPositions shown;
        positionsOf.match(line, &shown);
        if (!shown.isEmpty())
            out.records.append(MatchedLine(out.lines, shown, line));
        ++out.lines;
    }
    out.matched = out.matched || expression.evaluate() == SearchExpression::Matches;
    return out;
}

// The scanner over `bytes` fed in pieces of the given sizes (cycled).
Outcome scanned(const QByteArray& bytes, const QString& pattern, const MatchOptions& options,
                const QList<int>& pieces, bool holder)
{
    const ContentQuery query(pattern, options);
    FileSearchRequest request;
    Outcome out;
    TempFileHolder records;
    ContentScanner scanner(query, &request, &out.count, holder ? &records : nullptr);
    int at = 0;
    for (int i = 0; at < bytes.size(); ++i) {
        const int n = std::min(std::min(pieces[i % pieces.size()], int(ContentScanner::kBlockBytes)),
                               bytes.size() - at);
        scanner.feed(bytes.constData() + at, size_t(n));
        at += n;
    }
    out.matched = scanner.finish();
    out.lines = int(scanner.lineCount());
    out.records = records.matches;
    return out;
}

// Text from generated pieces: words of ASCII and beyond, separators, broken bytes, line ends.
QByteArray generatedText(QRandomGenerator& rng)
{
    static const QStringList words = {
        QStringLiteral("foo"), QStringLiteral("Foo"), QStringLiteral("FOO"), QStringLiteral("bar"),
        QStringLiteral("foobar"), QStringLiteral("_foo"), QStringLiteral("foo1"), QString::fromUtf8("éfoo"),
        QString::fromUtf8("fooé"), QString::fromUtf8("ŝbar"), QStringLiteral("x"), QStringLiteral("baz"),
        QStringLiteral("qux"), QString::fromUtf8("😀foo"), QString::fromUtf8("foo😀"), QStringLiteral("ab"),
        QStringLiteral("aba"), QStringLiteral("ababa"), QString::fromUtf8("٣foo"), QString::fromUtf8("\u212Aey"),
        QString::fromUtf8("ke\u017Fs"), QStringLiteral("KEYS"), QString::fromUtf8("Straße"),
        QString::fromUtf8("STRASSE"), QString::fromUtf8("größe"), QString::fromUtf8("GRÖSSE"),
        QString::fromUtf8("ǅemal"), QString::fromUtf8("ǆ"), QStringLiteral("sk"), QStringLiteral("\t"),
        QString::fromUtf8("\uFEFFfoo"), QString::fromUtf8("\u00A0foo")};
    static const char* const broken[] = {"\xC3", "\xE2\x82", "\xFF", "\x80", "\xED\xA0\x80", "\xF0\x9F\x98"};
    QByteArray text;
    const int lines = int(rng.bounded(9));
    for (int l = 0; l < lines; ++l) {
        const int count = int(rng.bounded(7));
        for (int w = 0; w < count; ++w) {
            if (rng.bounded(12) == 0)
                text += broken[rng.bounded(int(sizeof(broken) / sizeof(broken[0])))];
            else
                text += words[int(rng.bounded(words.size()))].toUtf8();
            const int sep = int(rng.bounded(6));
            text += sep == 0 ? "" : sep == 1 ? "," : sep == 2 ? "\r" : " ";
        }
        text += rng.bounded(3) == 0 ? "\r\n" : "\n";
    }
    if (rng.bounded(3) == 0)
        text.chop(1);
    if (rng.bounded(5) == 0)
        text += "\r";
    return text;
}

} // namespace

class TestContentScanner : public QObject
{
    Q_OBJECT

    void compare(const QByteArray& text, const QString& pattern, const MatchOptions& options,
                 const QList<int>& pieces, const char* where)
    {
        const Outcome expected = reference(text, pattern, options);
        const QString what = QStringLiteral("%1: pattern '%2' kind %3 case %4 file %5 bool %6 pieces %7 text %8")
                                 .arg(where).arg(pattern).arg(options.kind).arg(options.caseSensitive)
                                 .arg(options.fileScope).arg(options.boolean).arg(pieces.first())
                                 .arg(QString::fromLatin1(text.left(400).toHex()));
        const Outcome found = scanned(text, pattern, options, pieces, false);
        QVERIFY2(found.matched == expected.matched, qPrintable(what));
        QVERIFY2(found.count == expected.count,
                 qPrintable(what + QStringLiteral(" count %1 expected %2").arg(found.count).arg(expected.count)));
        const Outcome all = scanned(text, pattern, options, pieces, true);
        QVERIFY2(all.matched == expected.matched, qPrintable(what));
        QVERIFY2(all.lines == expected.lines, qPrintable(what));
        QVERIFY2(sameRecords(all.records, expected.records),
                 qPrintable(what + "\n" + describe(all.records) + "\n" + describe(expected.records)));
        // Without counting, the search may stop early: the verdict stays.
        const ContentQuery query(pattern, options);
        FileSearchRequest request;
        ContentScanner first(query, &request, nullptr, nullptr);
        first.feed(text.constData(), size_t(std::min<int>(text.size(), int(ContentScanner::kBlockBytes))));
        QVERIFY2(first.finish() == expected.matched, qPrintable(what));
    }

private slots:
    void initTestCase()
    {
        Logger::instance(QDir::tempPath() + QStringLiteral("/tst_contentscanner.log"));
    }

    void sameAsLineByLine_data()
    {
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 40; ++seed)
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void sameAsLineByLine()
    {
        QFETCH(int, seed);
        QRandomGenerator rng{quint32(seed)};
        const QStringList literal = {"foo", "bar", "foo bar", "foo; baz", "!foo", "foo; !bar", "aba",
                                     "ab", "x", "qux baz foo", "FOO", "keys", "sk", "KEY", "strasse",
                                     "STRASSE", QString::fromUtf8("straße"), QString::fromUtf8("größe"),
                                     QString::fromUtf8("éfoo"), QString::fromUtf8("ŝbar; baz"),
                                     QString::fromUtf8("😀"), QString::fromUtf8("٣foo"),
                                     QString::fromUtf8("FOOÉ"), QString::fromUtf8("ǆemal"),
                                     QString::fromUtf8("\u212Aey"), QString::fromUtf8("\uFFFD"), "\t", "foo,"};
        const QStringList booleans = {"foo and not bar", "not foo", "(foo or baz) and qux", "foo or bar",
                                      "not (keys or baz)", QString::fromUtf8("größe and not foo")};
        const QStringList regexes = {"fo+", "ba[rz] qux", "^foo", "foo$", "o\\b", "(?!x)foo", "foo(?!\\s)",
                                     "[^a-z]foo", "\\bfoo\\b", "x*", "(ab)+", "\\s$", "^$", "k.y",
                                     QString::fromUtf8("gr.ße"), "[A-Z]+", ".", "\\d", "a|b", "(?<=é)foo"};
        for (int round = 0; round < 80; ++round) {
            const QByteArray text = generatedText(rng);
            MatchOptions options;
            options.caseSensitive = rng.bounded(2) == 0;
            options.fileScope = int(rng.bounded(2));
            const int kind = int(rng.bounded(4));
            QString pattern;
            if (kind == 3) {
                options.kind = 2;
                pattern = regexes[int(rng.bounded(regexes.size()))];
            } else if (kind == 2) {
                options.boolean = 1;
                pattern = booleans[int(rng.bounded(booleans.size()))];
            } else {
                options.kind = kind; // substring or whole word
                pattern = literal[int(rng.bounded(literal.size()))];
            }
            const QList<int> pieces = rng.bounded(2) ? QList<int>{1 << 20} : QList<int>{1, 2, 3, 7};
            compare(text, pattern, options, pieces, "generated");
        }
    }

    // Files in every encoding the search reads (UTF-8 with and without a byte-order mark,
    // UTF-16 of either order with a mark, UTF-16 without a mark, an 8-bit code page) give
    // through the content searcher what the line-by-line reference gives for the same
    // characters, with the encoding detected as the search does.
    void sameThroughFiles()
    {
        QTemporaryDir dir;
        ContentSearcher searcher(nullptr, dir.filePath(QStringLiteral("work")));
        ContentSearchOptions o;
        o.autoDetectEncoding = true;
        o.skipBinary = true;
        searcher.setSettings(o);
        QRandomGenerator rng{7};
        const QStringList patterns = {"foo", "foo bar", "!foo", "strasse", QString::fromUtf8("straße"),
                                      QString::fromUtf8("größe"), "not (foo or baz)", "fo+", "\bfoo\b",
                                      QString::fromUtf8("gr.ße"), "^foo", "\\s$"};
        QTextCodec* cp1252 = QTextCodec::codecForName("windows-1252");
        for (int round = 0; round < 40; ++round) {
            // Characters every encoding here can carry.
            QByteArray generated = generatedText(rng);
            QString text = QString::fromUtf8(generated);
            for (QChar& c : text) {
                if (c.unicode() > 0xFF && !QString(c).contains(QChar(0x20AC)))
                    c = QLatin1Char(rng.bounded(2) ? 'k' : 0xDF);
                if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
                    c = QLatin1Char('x');
            }
            const QByteArray utf8 = text.toUtf8();
            std::unique_ptr<QTextEncoder> le(QTextCodec::codecForName("UTF-16LE")->makeEncoder(QTextCodec::IgnoreHeader));
            std::unique_ptr<QTextEncoder> be(QTextCodec::codecForName("UTF-16BE")->makeEncoder(QTextCodec::IgnoreHeader));
            const QList<QPair<const char*, QByteArray>> files = {
                {"utf8", utf8},
                {"utf8 marked", "\xEF\xBB\xBF" + utf8},
                {"utf16le marked", QByteArray("\xFF\xFE", 2) + le->fromUnicode(text)},
                {"utf16be marked", QByteArray("\xFE\xFF", 2) + be->fromUnicode(text)},
                {"utf16le", le->fromUnicode(QStringLiteral(" a b c d e ") + text)},
                {"cp1252", cp1252->fromUnicode(text)}};
            for (const auto& file : files) {
                const QString path = dir.filePath(QStringLiteral("f%1.txt").arg(round));
                QVERIFY(testutil::writeFile(path, file.second));
                // The reference reads the file as the search did: the detected codec, a mark
                // winning over it.
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadOnly));
                const QString detected = detectEncoding(&f);
                f.seek(0);
                QTextStream stream(&f);
                if (QTextCodec* codec = ContentSearcher::codecForEncoding(detected, &f))
                    stream.setCodec(codec);
                for (int k = 0; k < 3; ++k) {
                    stream.seek(0);
                    const QString pattern = patterns[int(rng.bounded(patterns.size()))];
                    FileSearchRequest r;
                    r.contents = pattern;
                    r.contentsSyntax = pattern.contains('\\') || pattern.contains('+') || pattern.contains('^')
                                               || pattern.contains('.')
                                           ? FileSearchRequest::Regex
                                           : pattern.contains(QStringLiteral("not ")) ? FileSearchRequest::Boolean
                                                                                      : FileSearchRequest::Substring;
                    r.lineScope = rng.bounded(2);
                    r.contentsCase = rng.bounded(2);
                    const Outcome expected = reference(stream, pattern, r.matchOptions(false));
                    const QString what = QStringLiteral("%1, %2 (%3): pattern '%4' %5 %6")
                                             .arg(QLatin1String(file.first)).arg(detected).arg(round).arg(pattern)
                                             .arg(r.lineScope).arg(r.contentsCase);
                    int count = 0;
                    QVERIFY2(searcher.find(&r, path, &count) == expected.matched, qPrintable(what));
                    QVERIFY2(count == expected.count, qPrintable(what));
                    TempFileHolder holder;
                    QVERIFY2(searcher.findAll(&r, path, &holder) == expected.matched, qPrintable(what));
                    QVERIFY2(holder.lineCount == expected.lines, qPrintable(what));
                    QVERIFY2(sameRecords(holder.matches, expected.records), qPrintable(what));
                }
            }
        }
    }

    // Lines far longer than the scanner's window are judged in pieces; hits on and around the
    // pieces' edges (wherever the reads put them) are found and counted as in the whole line.
    void longLinesInPieces_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("caseSensitive");
        QTest::newRow("literal") << "needle" << 0 << true;
        QTest::newRow("ignoring case") << "NEEDLE" << 0 << false;
        QTest::newRow("whole word") << "needle" << 1 << true;
        QTest::newRow("unicode ignoring case") << QString::fromUtf8("nÉedle") << 0 << false;
        QTest::newRow("regex") << "ne+dle\\b" << 2 << true;
        QTest::newRow("regex at the ends") << "^xx|needle$" << 2 << true;
        QTest::newRow("regex over broken bytes") << "[^a-z]e+dle|n.edle" << 2 << false;
        QTest::newRow("two terms") << "needle haystack" << 0 << true;
    }
    void longLinesInPieces()
    {
        QFETCH(QString, pattern);
        QFETCH(int, kind);
        QFETCH(bool, caseSensitive);
        // A line of 5 MiB and some, with needles every 4099 bytes and clusters at every 64 KiB
        // mark (where pieces may end), then short lines.
        QByteArray line;
        line.reserve(6 << 20);
        quint32 seed = 7;
        while (line.size() < (5 << 20)) {
            seed = seed * 1103515245u + 12345u;
            const int r = int((seed >> 16) % 100);
            if (r < 2)
                line += QString::fromUtf8(r ? "needle" : "nÉedle").toUtf8();
            else if (r < 4)
                line += "haystack ";
            else if (r < 6)
                line += "\xC3\xA9";
            else if (r == 6)
                line += "\xFF"; // broken UTF-8: the regular expression reads it as U+FFFD
            else
                line += char('a' + r % 26);
            if ((line.size() & 0xFFFF) < 8)
                line += " needle needle";
        }
        line += "needle";
        const QByteArray text = "xx first\n" + line + "\nneedle after\nlast";
        MatchOptions options;
        options.kind = kind;
        options.caseSensitive = caseSensitive;
        for (int scope = 0; scope < 2; ++scope) {
            options.fileScope = scope;
            for (const QList<int>& pieces : {QList<int>{1 << 20}, QList<int>{65537, 300001}}) {
                const Outcome expected = reference(text, pattern, options);
                const Outcome found = scanned(text, pattern, options, pieces, false);
                QCOMPARE(found.matched, expected.matched);
                QCOMPARE(found.count, expected.count);
                const Outcome all = scanned(text, pattern, options, pieces, true);
                QCOMPARE(all.lines, expected.lines);
                QCOMPARE(all.records.size(), expected.records.size());
                // The long line's record keeps its beginning and the hits within it.
                for (int i = 0; i < all.records.size(); ++i) {
                    QCOMPARE(all.records[i].line, expected.records[i].line);
                    const QString& kept = all.records[i].text;
                    QVERIFY(expected.records[i].text.startsWith(kept));
                    QVERIFY(kept.size() <= ContentScanner::kMaxLineUnits);
                    for (const auto& p : all.records[i].positions)
                        QVERIFY(expected.records[i].positions.contains(p));
                    if (kept.size() == expected.records[i].text.size())
                        QCOMPARE(all.records[i].positions, expected.records[i].positions);
                }
            }
        }
    }

    // What a line costs is bounded: a 48 MiB line without a line end is searched (the needle at
    // its very end found and counted) and its findAll record kept cut, with the memory of the
    // window, not of the line.
    void oneHugeLineCostsTheWindow()
    {
        QByteArray chunk(1 << 20, 'x');
        for (int i = 0; i < chunk.size(); i += 97)
            chunk[i] = ' ';
        const int blocks = 48;
        const ContentQuery query(QStringLiteral("needle"), MatchOptions());
        FileSearchRequest request;
        int count = 0;
        bool matched = false;
        TempFileHolder holder;
        const long grownKiB = docgen::peakGrowthKiB([&] {
            ContentScanner scanner(query, &request, &count, &holder);
            for (int i = 0; i < blocks; ++i)
                scanner.feed(chunk.constData(), size_t(chunk.size()));
            scanner.feed("needle", 6);
            matched = scanner.finish();
            QCOMPARE(scanner.lineCount(), qint64(1));
        });
        QVERIFY(matched);
        QCOMPARE(count, 1);
        QCOMPARE(holder.matches.size(), 1);
        QCOMPARE(holder.matches[0].text.size(), ContentScanner::kMaxLineUnits);
        QVERIFY(holder.matches[0].positions.isEmpty()); // the hit lies beyond the kept text
        QVERIFY2(grownKiB < 16 * 1024, qPrintable(QString::number(grownKiB)));
    }

    // The decoder behind positions and texts reads UTF-8 as QString::fromUtf8 does (broken
    // bytes as U+FFFD), but keeps a U+FEFF at the start.
    void decodesAsQt()
    {
        QRandomGenerator rng{99};
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes;
            const int n = int(rng.bounded(12));
            for (int i = 0; i < n; ++i)
                bytes += char(rng.bounded(4) ? 0x80 + rng.bounded(0x80) : rng.bounded(0x80));
            QCOMPARE(ContentScanner::decodeUtf8(bytes.constData(), size_t(bytes.size())),
                     QString::fromUtf8(("x" + bytes).constData(), bytes.size() + 1).mid(1));
        }
        QCOMPARE(ContentScanner::decodeUtf8("\xEF\xBB\xBF" "a", 4), QString(QChar(0xFEFF)) + QLatin1Char('a'));
    }
};

QTEST_GUILESS_MAIN(TestContentScanner)
#include "tst_contentscanner.moc"
