// Regular expressions on UTF-8 bytes against QRegExp, the engine whose answers users know:
// generated expressions (well-formed and broken) over generated names with letters that fold
// in unusual ways, marks, non-ASCII digits and spaces, newlines and invalid UTF-8. Validity,
// found-or-not (the name search) and the hit positions (highlighting, counting) must agree.
#include "search/model/ByteRegex.h"
#include "search/model/RegexTranslator.h"
#include "search/model/StringMatcher.h"

#include <QRandomGenerator>
#include <QRegExp>
#include <QtTest>

namespace {

MatchOptions regexOptions(bool caseSensitive)
{
    MatchOptions o;
    o.kind = StringMatcher::RegexMode;
    o.caseSensitive = caseSensitive;
    o.forName = true;
    return o;
}

// What the matcher reported before: QRegExp's first hit decides found; positions are every hit
// from the end of the previous one until an empty one.
bool oldMatch(const QString& pattern, bool caseSensitive, const QString& text, MatchPositions* positions)
{
    QRegExp rx(pattern, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive, QRegExp::RegExp);
    int hit = rx.indexIn(text, 0);
    const bool found = hit >= 0;
    while (positions && hit >= 0) {
        const int matched = rx.matchedLength();
        if (matched <= 0)
            break;
        positions->append(MatchPosition(hit, matched));
        hit = rx.indexIn(text, hit + matched);
    }
    return found;
}

// Characters of the generated names and literals. Each is one UTF-16 unit (characters beyond
// the Basic Multilingual Plane are one character for the new matcher and two units for
// QRegExp; that difference is tested on its own).
const char16_t Alphabet[] = {
    u'a', u'b', u'c', u'x', u'A', u'B', u'X', u'k', u'K', u'\u212A' /* Kelvin sign */, u's', u'S',
    u'\u017F' /* long s */, u'i', u'I', u'\u0130' /* I with dot */, u'\u0131' /* dotless i */,
    u'\u00DF', u'\u1E9E' /* sharp s, capital sharp s */, u'\u00E9', u'\u00C9', u'\u03C3', u'\u03C2',
    u'\u03A3' /* sigmas */, u'\u01C5' /* title case DZ */, u'\u0663' /* Arabic-Indic three */,
    u'\u0301' /* combining acute */, u'\u00A0', u' ', u'.', u'_', u'-', u'1', u'2', u'\u2028', u'\n',
    u'\u203F' /* connector punctuation */, u'\u5199', u'(', u')', u'[', u']', u'{', u'}', u'*', u'+',
    u'?', u'|', u'^', u'$', u'\\'};

QString randomText(QRandomGenerator& random, int maxLength)
{
    QString text;
    const int n = int(random.bounded(maxLength + 1));
    for (int i = 0; i < n; ++i) {
        // Mostly letters, so that expressions find something.
        const int pick = random.bounded(3) == 0 ? int(random.bounded(int(std::size(Alphabet))))
                                                : int(random.bounded(16));
        text += QChar(Alphabet[pick]);
    }
    return text;
}

QString escapedLiteral(QRandomGenerator& random)
{
    QChar c(Alphabet[random.bounded(int(std::size(Alphabet)))]);
    if (c.unicode() == 0x0130)
        c = QChar(0x0131); // QRegExp never found it in a pattern that ignores case (tested apart)
    if (QStringLiteral("()[]{}*+?|^$\\.").contains(c))
        return QStringLiteral("\\") + c;
    return QString(c);
}

QString randomAtom(QRandomGenerator& random, int depth, bool inLookahead);

QString randomExpression(QRandomGenerator& random, int depth, bool inLookahead = false)
{
    QString out;
    const int terms = 1 + int(random.bounded(depth > 1 ? 2 : 3));
    for (int t = 0; t < terms; ++t) {
        if (t)
            out += QLatin1Char('|');
        const int factors = int(random.bounded(4));
        for (int f = 0; f < factors; ++f) {
            const QString atom = randomAtom(random, depth, inLookahead);
            out += atom;
            // Anchors and lookaheads take no quantifier here: QRegExp's answers for "\\B{2}" or
            // "(?=x){2}" contradict themselves (tested apart).
            static const char* const zeroWidth[] = {"^", "$", "\\b", "\\B", "(?=", "(?!"};
            bool anchor = false;
            for (const char* z : zeroWidth)
                anchor = anchor || atom.startsWith(QLatin1String(z));
            static const char* const quantifiers[] = {"", "", "", "*", "+", "?", "{2}", "{1,2}", "{,2}", "{2,}", "{}", "{0}"};
            if (!anchor)
                out += QLatin1String(quantifiers[random.bounded(int(std::size(quantifiers)))]);
        }
    }
    return out;
}

QString randomAtom(QRandomGenerator& random, int depth, bool inLookahead)
{
    static const char* const atoms[] = {
        ".", "\\w", "\\W", "\\d", "\\D", "\\s", "\\S", "\\b", "\\B", "[a-c]", "[^ab]", "[\\w.]", "[z-a]",
        "[]a]", "[a-]", "[^\\d\\s]", "[A-Z]", "[\\x41-\\x5a]", "[k\\u]", "^", "$", "\\x41", "\\x6b", "\\0101",
        "\\e", "\\n", "\\t", "\\.", "[\\.-]", "[a-\\d]", "[^]", "\\x"};
    const int kind = int(random.bounded(10));
    if (kind < 4)
        return escapedLiteral(random);
    if (kind < 8 || depth >= 3) {
        const QString atom = QLatin1String(atoms[random.bounded(int(std::size(atoms)))]);
        // Word anchors in lookaheads: QRegExp did not see the text before one (tested apart).
        if (inLookahead && (atom == QLatin1String("\\b") || atom == QLatin1String("\\B")))
            return QStringLiteral("\\w");
        return atom;
    }
    static const char* const opens[] = {"(", "(?:", "(?=", "(?!"};
    const int open = int(random.bounded(4));
    return QLatin1String(opens[open]) + randomExpression(random, depth + 1, inLookahead || open >= 2) + QLatin1Char(')');
}

// Breaks a pattern now and then: an unbalanced bracket, a doubled quantifier, a lookbehind.
QString maybeBreak(QRandomGenerator& random, QString pattern)
{
    if (random.bounded(6) != 0)
        return pattern;
    static const char* const breakers[] = {"(", ")", "[", "]", "{", "}", "**", "+?", "\\", "(?<=a)", "(?i)", "{3,1}", "a{1025}", "\\0400", "[\\b]", "[\\1]"};
    const int at = int(random.bounded(pattern.size() + 1));
    pattern.insert(at, QLatin1String(breakers[random.bounded(int(std::size(breakers)))]));
    return pattern;
}

} // namespace

class TestRegexDifferential : public QObject
{
    Q_OBJECT

private slots:
    // Many generated expressions: validity, found, and positions as QRegExp gives them.
    void generatedExpressions()
    {
        QRandomGenerator random(20240611);
        int compared = 0;
        int found = 0;
        for (int p = 0; p < 2000; ++p) {
            const QString pattern = maybeBreak(random, randomExpression(random, 0));
            const bool caseSensitive = random.bounded(2) == 0;
            const QRegExp reference(pattern, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive, QRegExp::RegExp);
            const ByteRegex compiled(pattern, caseSensitive);
            if (reference.isValid() != compiled.isValid()) {
                QFAIL(qPrintable(QStringLiteral("validity of %1: QRegExp %2, ours %3 (%4)")
                                     .arg(pattern)
                                     .arg(reference.isValid())
                                     .arg(compiled.isValid())
                                     .arg(compiled.errorString())));
            }
            StringMatcher matcher(QStringList{pattern}, regexOptions(caseSensitive));
            for (int n = 0; n < 24; ++n) {
                const QString name = randomText(random, 12);
                MatchPositions before;
                const bool old = oldMatch(pattern, caseSensitive, name, &before);
                const QByteArray utf8 = name.toUtf8();
                const bool bytes = matcher.matchUtf8Bits(utf8.constData(), utf8.size(), 1) == 1;
                MatchPositions now;
                const bool text = matcher.match(name, TermMask(1), &now, nullptr).testBit(0);
                if (old != bytes || old != text || before != now) {
                    QString a, b;
                    for (const auto& m : before)
                        a += QStringLiteral("(%1,%2)").arg(m.first).arg(m.second);
                    for (const auto& m : now)
                        b += QStringLiteral("(%1,%2)").arg(m.first).arg(m.second);
                    QFAIL(qPrintable(QStringLiteral("pattern %1 (%2) on \"%3\": QRegExp %4 %5, bytes %6, text %7 %8 [%9]")
                                         .arg(pattern, caseSensitive ? QStringLiteral("case") : QStringLiteral("nocase"),
                                              name)
                                         .arg(old)
                                         .arg(a)
                                         .arg(bytes)
                                         .arg(text)
                                         .arg(b)
                                         .arg(QString::fromStdString(translateRegExp(pattern, caseSensitive).pattern))));
                }
                found += old;
                ++compared;
            }
        }
        QVERIFY(compared > 40000);
        QVERIFY2(found > compared / 10, "the generated cases must find something");
    }

    // Names that are not valid UTF-8 are matched as QString::fromUtf8 reads them.
    void invalidUtf8Names_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("lone continuation") << "^a.b$" << QByteArray("a\x80" "b");
        QTest::newRow("truncated sequence") << "^a..$" << QByteArray("a\xC3");
        QTest::newRow("overlong") << "^...$" << QByteArray("\xC0\xAF" "x");
        QTest::newRow("surrogate encoded") << "^x...$" << QByteArray("x\xED\xA0\x80");
        QTest::newRow("byte-order mark dropped") << "^abc" << QByteArray("\xEF\xBB\xBF" "abc");
        QTest::newRow("replacement matches class") << "a[^a-z]b" << QByteArray("a\xFF" "b");
        QTest::newRow("prefilter on repaired") << "ab.c" << QByteArray("ab\xFE" "c");
    }

    void invalidUtf8Names()
    {
        QFETCH(QString, pattern);
        QFETCH(QByteArray, name);
        for (bool caseSensitive : {true, false}) {
            StringMatcher matcher(QStringList{pattern}, regexOptions(caseSensitive));
            const bool expected = oldMatch(pattern, caseSensitive, QString::fromUtf8(name), nullptr);
            QCOMPARE(matcher.matchUtf8Bits(name.constData(), name.size(), 1) == 1, expected);
        }
    }

    // Known answers of the byte matcher itself, including its prefilter and the longest match.
    void byteRegexAnswers_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end"); // -1: no match
        QTest::newRow("longest alternative") << "a|ab" << true << QByteArray("xab") << 1 << 3;
        QTest::newRow("longest overall") << "(a|ab)(c|bcd)" << true << QByteArray("abcd") << 0 << 4;
        QTest::newRow("dollar not before newline") << "a$" << true << QByteArray("a\n") << -1 << -1;
        QTest::newRow("dot takes newline") << "a.b" << true << QByteArray("a\nb") << 0 << 3;
        QTest::newRow("prefilter folded") << "rep.rt" << false << QByteArray("Annual REPORT") << 7 << 13;
        QTest::newRow("prefilter refuses") << "report\\d" << false << QByteArray("annual repo1") << -1 << -1;
        QTest::newRow("Kelvin sign is k") << "k" << false << QByteArray("\xE2\x84\xAA") << 0 << 3;
        QTest::newRow("long s is not s") << "s+" << false << QByteArray("\xC5\xBF") << -1 << -1;
        QTest::newRow("dotted I stays apart") << "i" << false << QByteArray("\xC4\xB0") << -1 << -1;
        QTest::newRow("folded string") << "\u03C3" << false << QByteArray("x\xCF\x82") << 1 << 3;
        QTest::newRow("folded string long s") << "xs" << false << QByteArray("X\xC5\xBF") << 0 << 3;
        QTest::newRow("lower-cased string") << "x\u0130" << false << QByteArray("X\xC4\xB0") << -1 << -1;
        QTest::newRow("not a plain string") << "x\u0130+" << false << QByteArray("X\xC4\xB0") << 0 << 3;
        QTest::newRow("lookahead sees before") << "a(?=\\bb)" << true << QByteArray("ab") << -1 << -1;
        QTest::newRow("final sigma apart") << "\u03C3+" << false << QByteArray("\xCF\x82") << -1 << -1;
        QTest::newRow("marks are word characters") << "e\\b" << true << QByteArray("e\xCC\x81") << -1 << -1;
        QTest::newRow("missing group is empty") << "(a)\\2" << true << QByteArray("a") << 0 << 1;
        QTest::newRow("unset group is empty") << "\\1(a)" << true << QByteArray("aa") << 0 << 1;
        QTest::newRow("quantified anchor") << "^*a" << true << QByteArray("ba") << 1 << 2;
        QTest::newRow("at most") << "a{,3}" << true << QByteArray("aaaa") << 0 << 3;
        QTest::newRow("invalid matches nothing") << "a)b" << true << QByteArray("a)b") << -1 << -1;
        // One character beyond the Basic Multilingual Plane is one character here.
        QTest::newRow("astral is one character") << "^.$" << true << QByteArray("\xF0\x9F\x98\x80") << 0 << 4;
        QTest::newRow("astral literal") << "x\U0001F600+" << true << QByteArray("x\xF0\x9F\x98\x80\xF0\x9F\x98\x80") << 0 << 9;
        // Runaway backtracking is finished by the DFA matcher.
        QTest::newRow("catastrophic") << "(a*)*b" << true << QByteArray(4000, 'a') << -1 << -1;
    }

    void byteRegexAnswers()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, caseSensitive);
        QFETCH(QByteArray, text);
        QFETCH(int, start);
        QFETCH(int, end);
        const ByteRegex rx(pattern, caseSensitive);
        ByteRegex::Match m;
        const bool found = rx.find(text.constData(), size_t(text.size()), 0, &m);
        QCOMPARE(found, start >= 0);
        QCOMPARE(rx.contains(text.constData(), size_t(text.size())), start >= 0);
        if (found) {
            QCOMPARE(int(m.start), start);
            QCOMPARE(int(m.end), end);
        }
    }

    void requiredLiterals_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QString>("literal");
        QTest::newRow("longest run") << "ab\\d+Report" << true << "Report";
        QTest::newRow("folded") << "ab\\d+Report" << false << "report";
        QTest::newRow("plus keeps one") << "xy+z" << true << "xy";
        QTest::newRow("star ends the run") << "abc*d" << true << "ab";
        QTest::newRow("anchors are zero width") << "^ab\\bcd$" << true << "abcd";
        QTest::newRow("alternation has none") << "abc|def" << true << "";
        QTest::newRow("groups break runs") << "ab(cd)ef" << true << "ab";
        QTest::newRow("non-ASCII breaks runs") << "ab\u00E9cde" << true << "cde";
    }

    void requiredLiterals()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, caseSensitive);
        QFETCH(QString, literal);
        QCOMPARE(QString::fromStdString(translateRegExp(pattern, caseSensitive).requiredLiteral), literal);
    }
};

QTEST_APPLESS_MAIN(TestRegexDifferential)
#include "tst_regexdifferential.moc"
