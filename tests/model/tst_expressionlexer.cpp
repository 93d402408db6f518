// The two pattern grammars: tokens, terms, escapes.
#include "search/model/ExpressionLexer.h"

#include <QtTest>
#include <type_traits>

namespace {

struct Lexed
{
    QString tokens; // token types separated by blanks
    QStringList terms;
};

Lexed lex(const QString& pattern, int boolean)
{
    ExpressionTokens tokens;
    QStringList terms;
    ExpressionLexer().tokenize(pattern, boolean, tokens, terms);
    QStringList types;
    for (const ExpressionToken& t : tokens)
        types << QString::number(t.type);
    return {types.join(QLatin1Char(' ')), terms};
}

static_assert(std::has_virtual_destructor<IExpressionLexer>::value, "owners delete lexers through the interface");

} // namespace

class TestExpressionLexer : public QObject
{
    Q_OBJECT

private slots:
    void grammars_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("boolean");
        QTest::addColumn<QString>("tokens");
        QTest::addColumn<QStringList>("terms");

        const QString bs = QStringLiteral("\\");
        QTest::newRow("empty list") << QString() << 0 << QString() << QStringList();
        QTest::newRow("blank boolean") << QStringLiteral("   ") << 1 << QString() << QStringList();
        QTest::newRow("only separators") << QStringLiteral(" ; ;;  ") << 0 << QString() << QStringList();

        QTest::newRow("boolean groups") << QStringLiteral("(x or y) and not z") << 1
                                        << QStringLiteral("4 0 2 0 5 1 3 0")
                                        << QStringList{"x", "y", "z"};
        QTest::newRow("boolean escaped parentheses")
            << QStringLiteral("a") + bs + "(1" + bs + ")" << 1 << QStringLiteral("0") << QStringList{"a(1)"};
        QTest::newRow("boolean double backslash")
            << QStringLiteral("a") + bs + bs + "b" << 1 << QStringLiteral("0") << QStringList{"a\\b"};
        // "\\(" is one backslash then "(": after the pair collapses, "\(" is an escaped parenthesis.
        QTest::newRow("boolean collapsed pair then paren")
            << bs + bs + "(a" << 1 << QStringLiteral("0") << QStringList{"(a"};
        QTest::newRow("upper-case words are terms") << QStringLiteral("foo AND bar") << 1
                                                    << QStringLiteral("0 0 0")
                                                    << QStringList{"foo", "AND", "bar"};
        QTest::newRow("boolean adjacency before parenthesis")
            << QStringLiteral("report (2015 or 2016)") << 1 << QStringLiteral("0 4 0 2 0 5")
            << QStringList{"report", "2015", "2016"};

        QTest::newRow("list words and groups") << QStringLiteral("report 2015; budget") << 0
                                               << QStringLiteral("0 1 0 2 0")
                                               << QStringList{"report", "2015", "budget"};
        QTest::newRow("list exclusion") << QStringLiteral("invoice; !temp") << 0
                                        << QStringLiteral("0 1 3 0") << QStringList{"invoice", "temp"};
        QTest::newRow("list only exclusions") << QStringLiteral("!tmp; !bak") << 0
                                              << QStringLiteral("3 0 1 3 0") << QStringList{"tmp", "bak"};
        // Exclusions apply to every alternative, not only the last one.
        QTest::newRow("exclusion after alternatives") << QStringLiteral("a; b; !t") << 0
                                                      << QStringLiteral("4 0 2 0 5 1 3 0")
                                                      << QStringList{"a", "b", "t"};
        QTest::newRow("exclusion group of two words") << QStringLiteral("a; !x y") << 0
                                                      << QStringLiteral("0 1 4 3 0 2 3 0 5")
                                                      << QStringList{"a", "x", "y"};
        QTest::newRow("exclusion groups after exclusion")
            << QStringLiteral("!a; !x y") << 0 << QStringLiteral("3 0 1 4 3 0 2 3 0 5")
            << QStringList{"a", "x", "y"};
        QTest::newRow("escaped semicolon") << QStringLiteral("a") + bs + ";b" << 0 << QStringLiteral("0")
                                           << QStringList{"a;b"};
        QTest::newRow("escaped blank") << QStringLiteral("new") + bs + " york" << 0 << QStringLiteral("0")
                                       << QStringList{"new york"};
        QTest::newRow("escaped exclamation") << bs + "!x" << 0 << QStringLiteral("0") << QStringList{"!x"};
        QTest::newRow("lone exclamation") << QStringLiteral("!") << 0 << QString() << QStringList();
        QTest::newRow("empty exclusion after group") << QStringLiteral("a; !") << 0 << QStringLiteral("0 1")
                                                     << QStringList{"a"};
        QTest::newRow("operators are words in lists") << QStringLiteral("a and (b)") << 0
                                                      << QStringLiteral("0 1 0 1 0")
                                                      << QStringList{"a", "and", "(b)"};
    }

    void grammars()
    {
        QFETCH(QString, pattern);
        QFETCH(int, boolean);
        QFETCH(QString, tokens);
        QFETCH(QStringList, terms);
        const Lexed result = lex(pattern, boolean);
        QCOMPARE(result.tokens, tokens);
        QCOMPARE(result.terms, terms);
    }

    // Full-width letters (as in Japanese names) and private-use characters (as names on SMB
    // shares carry for characters Windows forbids) are ordinary characters of a term.
    void wideAndPrivateCharactersStayUnchanged()
    {
        // U+FF28 U+FF29 U+FF20 U+FF3B U+FF21: the full-width forms of ( ) @ [ !, and letters.
        const QString fullWidth = QString::fromUtf8("ＨＩＡ\xEF\xBC\xA0\xEF\xBC\xBB\xEF\xBC\xA1ファイル");
        const QString privateUse = QString(QChar(0xF03A)) + QChar(0xE028) + QChar(0xE020) + QChar(0xE03B);
        for (int boolean = 0; boolean <= 1; ++boolean) {
            const Lexed a = lex(fullWidth, boolean);
            QCOMPARE(a.terms, QStringList{fullWidth});
            const Lexed b = lex(privateUse, boolean);
            QCOMPARE(b.terms, QStringList{privateUse});
        }
        const Lexed c = lex(QStringLiteral("\\!") + fullWidth, 0);
        QCOMPARE(c.terms, QStringList{QStringLiteral("!") + fullWidth});
    }

    void appendsToGivenLists()
    {
        ExpressionTokens tokens;
        QStringList terms{QStringLiteral("old")};
        tokens.append(ExpressionToken());
        ExpressionLexer().tokenize(QStringLiteral("!x"), 0, tokens, terms);
        // An exclusion after tokens already present is joined with "and".
        QCOMPARE(tokens.size(), 4);
        QCOMPARE(tokens.at(1).type, int(ExpressionToken::And));
        QCOMPARE(terms, (QStringList{"old", "x"}));
    }
};

QTEST_GUILESS_MAIN(TestExpressionLexer)
#include "tst_expressionlexer.moc"
