// Verdicts of whole expressions: names, contents by line and by file, the UTF-8 path.
#include "search/model/ExpressionLexer.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/SearchExpression.h"

#include <QRandomGenerator>
#include <QtTest>

#include <functional>

namespace {

MatchOptions nameOptions(int syntax, bool caseSensitive)
{
    FileSearchRequest r;
    r.nameSyntax = syntax;
    r.nameCase = caseSensitive;
    return r.matchOptions(true);
}

MatchOptions contentOptions(int syntax, bool lineScope)
{
    FileSearchRequest r;
    r.contentsSyntax = syntax;
    r.lineScope = lineScope;
    return r.matchOptions(false);
}

int verdict(const QString& pattern, const MatchOptions& o, const QString& name)
{
    SearchExpression e(pattern, o);
    const int viaText = e.match(name);
    const QByteArray utf8 = name.toUtf8();
    const int viaBytes = e.matchUtf8(utf8.constData(), utf8.size());
    if (viaText != viaBytes)
        return -1;
    return viaText;
}

// Counts its own destruction, to show the expression destroys what it owns.
class CountingLexer : public ExpressionLexer
{
public:
    explicit CountingLexer(int* counter)
        : destroyed(counter)
    { }
    ~CountingLexer() override { ++*destroyed; }
    int* destroyed;
};

} // namespace

class TestSearchExpression : public QObject
{
    Q_OBJECT

private slots:
    // The UTF-8 path looks for the terms every match holds first and stops when one is
    // missing; over random Boolean expressions (and, or, not, parentheses) and names it must
    // give the verdicts of the full test.
    void requiredTermsFirstKeepVerdicts()
    {
        QRandomGenerator random(11);
        static const char* const terms[] = {"abc", "bcd", "xyz", "ab", "cd"};
        std::function<QString(int)> expression = [&](int depth) -> QString {
            QString out;
            const int parts = 1 + int(random.bounded(3));
            for (int p = 0; p < parts; ++p) {
                if (p)
                    out += random.bounded(2) ? QStringLiteral(" and ") : QStringLiteral(" or ");
                if (random.bounded(4) == 0)
                    out += QStringLiteral("not ");
                if (depth < 2 && random.bounded(3) == 0)
                    out += QStringLiteral("(") + expression(depth + 1) + QStringLiteral(")");
                else
                    out += QLatin1String(terms[random.bounded(5)]);
            }
            return out;
        };
        MatchOptions options;
        options.boolean = 1;
        options.forName = true;
        int matched = 0;
        for (int e = 0; e < 300; ++e) {
            const QString pattern = expression(0);
            SearchExpression bytes(pattern, options);
            SearchExpression text(pattern, options);
            for (int n = 0; n < 40; ++n) {
                QByteArray name;
                const int length = int(random.bounded(12));
                for (int i = 0; i < length; ++i)
                    name += "abcdxyz"[random.bounded(7)];
                const int expected = text.match(QString::fromLatin1(name));
                QCOMPARE(bytes.matchUtf8(name.constData(), name.size()), expected);
                matched += expected == SearchExpression::Matches;
            }
        }
        QVERIFY(matched > 500);
    }

    // Patterns without terms: blank ones match everything; operators alone match nothing (in
    // every route, and at the end of a file too).
    void withoutTerms_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("syntax");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << QString() << 0 << 1;
        QTest::newRow("blanks") << "  " << 0 << 1;
        QTest::newRow("separator") << " ; " << 0 << 1;
        QTest::newRow("lone !") << "!" << 0 << 1;
        QTest::newRow("not") << "not" << 3 << 2;
        QTest::newRow("parenthesis") << "(" << 3 << 2;
        QTest::newRow("and or") << "and or" << 3 << 2;
    }

    void withoutTerms()
    {
        QFETCH(QString, pattern);
        QFETCH(int, syntax);
        QFETCH(int, expected);
        SearchExpression e(pattern, contentOptions(syntax, false));
        QCOMPARE(e.termCount(), 0);
        QCOMPARE(e.match(QString()), expected);
        QCOMPARE(e.match(QStringLiteral("not")), expected);
        QCOMPARE(e.matchUtf8("", 0), expected);
        QCOMPARE(e.evaluate(), expected);
    }

    void names_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("syntax");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        QTest::newRow("substring folded") << "report" << 0 << false << "Annual Report.pdf" << 1;
        QTest::newRow("substring exact") << "report" << 0 << true << "Annual Report.pdf" << 2;
        QTest::newRow("words of a group") << "annual pdf" << 0 << false << "Annual Report.pdf" << 1;
        QTest::newRow("word missing") << "annual doc" << 0 << false << "Annual Report.pdf" << 2;
        QTest::newRow("alternative") << "doc; pdf" << 0 << false << "Annual Report.pdf" << 1;
        QTest::newRow("whole word") << "port" << 1 << false << "Annual Report.pdf" << 2;
        QTest::newRow("regex") << "^annual.*\\.pdf$" << 2 << false << "Annual Report.pdf" << 1;
        QTest::newRow("wildcard") << "*.pdf" << 0 << false << "Annual Report.pdf" << 1;
        QTest::newRow("boolean") << "(annual or yearly) and not draft" << 3 << false << "Annual Report.pdf" << 1;
        QTest::newRow("boolean excluded") << "annual and not report" << 3 << false << "Annual Report.pdf" << 2;
        // An exclusion applies to every alternative, not only to the last.
        QTest::newRow("exclusion over first group") << "a; b; !t" << 0 << false << "a-t" << 2;
        QTest::newRow("exclusion over last group") << "a; b; !t" << 0 << false << "b-t" << 2;
        QTest::newRow("exclusion lets others pass") << "a; b; !t" << 0 << false << "a-x" << 1;
        QTest::newRow("two-word exclusion, one word") << "a; !x y" << 0 << false << "a-y" << 1;
        QTest::newRow("two-word exclusion, both") << "a; !x y" << 0 << false << "a-x-y" << 2;
        QTest::newRow("two-word exclusion, no a") << "a; !x y" << 0 << false << "q" << 2;
        // "term (" reads as a call in the script engine; it must not match everything.
        QTest::newRow("term before parenthesis") << "report (2015 or 2016)" << 3 << false << "report 2015" << 2;
        QTest::newRow("call skipped by short-circuit") << "a and b (c) or d" << 3 << false << "d" << 2;
        // Terms are looked for, never written into the script: script text, placeholders
        // and numbers in a pattern are plain characters.
        QTest::newRow("operators as terms") << "|| and &&" << 3 << false << "a||b&&c" << 1;
        QTest::newRow("operators as terms, one missing") << "|| and &&" << 3 << false << "a||b" << 2;
        QTest::newRow("number term") << "1 or %2" << 3 << false << "x" << 2;
        QTest::newRow("placeholder term") << "1 or %2" << 3 << false << "x%2" << 1;
        QTest::newRow("script words") << "true; !false" << 0 << false << "xyz" << 2;
        QTest::newRow("script statement") << "while(true){}" << 3 << false << "while(true){}" << 2;
        QTest::newRow("incomplete exclusion") << "a; !" << 0 << false << "a" << 2;
        QTest::newRow("operators alone") << "not" << 3 << false << "not" << 2;
        // Full-width letters are not escapes.
        QTest::newRow("full-width name") << QString::fromUtf8("ＨＩＲＯ（１）") << 0 << false
                                         << QString::fromUtf8("写真ＨＩＲＯ（１）.jpg") << 1;
        QTest::newRow("full-width not a parenthesis") << QString::fromUtf8("Ｈ") << 0 << false << "(" << 2;
        QTest::newRow("japanese folded") << QString::fromUtf8("ｈｉｒｏ") << 0 << false
                                         << QString::fromUtf8("ＨＩＲＯ.txt") << 1;
    }

    void names()
    {
        QFETCH(QString, pattern);
        QFETCH(int, syntax);
        QFETCH(bool, caseSensitive);
        QFETCH(QString, name);
        QFETCH(int, expected);
        QCOMPARE(verdict(pattern, nameOptions(syntax, caseSensitive), name), expected);
    }

    void fileScopeCollectsTerms()
    {
        const QStringList file{"x here", "nothing", "y there"};
        SearchExpression byFile(QStringLiteral("x y"), contentOptions(0, false));
        QCOMPARE(byFile.match(file[0]), 0);
        QCOMPARE(byFile.match(file[1]), 0);
        QCOMPARE(byFile.match(file[2]), 1);
        QCOMPARE(byFile.match(file[1]), 1); // settled for the rest of the file
        QCOMPARE(byFile.evaluate(), 1);

        SearchExpression byLine(QStringLiteral("x y"), contentOptions(0, true));
        for (const QString& line : file)
            QCOMPARE(byLine.match(line), 2);
        QCOMPARE(byLine.match(QStringLiteral("y x")), 1);
    }

    void fileScopeBooleanEndOfFile()
    {
        SearchExpression onlyX(QStringLiteral("x and not y"), contentOptions(3, false));
        QCOMPARE(onlyX.match(QStringLiteral("an x")), 0);
        QCOMPARE(onlyX.match(QStringLiteral("more x")), 0);
        QCOMPARE(onlyX.evaluate(), 1);
        QCOMPARE(onlyX.match(QStringLiteral("a y")), 2);
        QCOMPARE(onlyX.match(QStringLiteral("x again")), 2);
        QCOMPARE(onlyX.evaluate(), 2);

        SearchExpression either(QStringLiteral("x or y"), contentOptions(3, false));
        QCOMPARE(either.match(QStringLiteral("x")), 0);
        QCOMPARE(either.evaluate(), 1);

        SearchExpression utf8(QStringLiteral("x and not y"), contentOptions(3, false));
        QCOMPARE(utf8.matchUtf8("x", 1), 0);
        QCOMPARE(utf8.evaluate(), 1);
        QCOMPARE(utf8.matchUtf8("Y", 1), 2);
    }

    void positionsAndCounterPassThrough()
    {
        SearchExpression e(QStringLiteral("ab; zz"), contentOptions(0, true));
        MatchPositions positions;
        int counter = 0;
        QCOMPARE(e.match(QStringLiteral("ab AB"), &positions, &counter), 1);
        QCOMPARE(positions, (MatchPositions{{0, 2}, {3, 2}}));
        QCOMPARE(counter, 2);
    }

    // A pasted list of alternatives, then an exclusion: more terms than a 32- or 64-bit mask
    // holds, and more alternatives than the script engine nests.
    void pastedListOfNames_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("80") << 80;
        QTest::newRow("6000") << 6000;
    }

    void pastedListOfNames()
    {
        QFETCH(int, count);
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << QStringLiteral("name%1.txt").arg(i);
        SearchExpression e(names.join(QStringLiteral("; ")) + QStringLiteral("; !tmp"), nameOptions(0, false));
        QCOMPARE(e.termCount(), count + 1);
        QCOMPARE(e.match(QStringLiteral("NAME%1.TXT").arg(count - 1)), 1);
        QCOMPARE(e.match(QStringLiteral("name40.txt")), 1);
        QCOMPARE(e.match(QStringLiteral("name40.txt.tmp")), 2);
        QCOMPARE(e.match(QStringLiteral("other.txt")), 2);
        QCOMPARE(e.matchUtf8("name33.txt", 10), 1);
    }

    void fileScopeWithMoreThan32Terms()
    {
        QStringList words;
        for (int i = 0; i < 40; ++i)
            words << QStringLiteral("w%1").arg(i, 2, 10, QLatin1Char('0'));
        SearchExpression all(words.join(QLatin1Char(' ')), contentOptions(0, false));
        for (int i = 0; i < 39; ++i)
            QCOMPARE(all.match(words[i]), 0);
        QCOMPARE(all.evaluate(), 2);
        QCOMPARE(all.match(words[39]), 1);
    }

    void ownsAndDestroysLexer()
    {
        int destroyed = 0;
        {
            SearchExpression e(QStringLiteral("a"), nameOptions(0, false), new CountingLexer(&destroyed));
            QCOMPARE(e.match(QStringLiteral("cat")), 1);
        }
        QCOMPARE(destroyed, 1);
    }
};

QTEST_GUILESS_MAIN(TestSearchExpression)
#include "tst_searchexpression.moc"
