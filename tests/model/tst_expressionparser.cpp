// Script building, syntax check, evaluation, caching and the shared engine.
#include "search/model/ExpressionLexer.h"
#include "search/model/ExpressionParser.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScriptEngine>
#include <QScriptSyntaxCheckResult>
#include <QtTest>
#include <type_traits>

#include <atomic>
#include <thread>
#include <vector>

namespace {

ExpressionTokens tokensOf(const QString& booleanPattern)
{
    ExpressionTokens tokens;
    QStringList terms;
    ExpressionLexer().tokenize(booleanPattern, 1, tokens, terms);
    return tokens;
}

TermMask bits(std::initializer_list<int> list)
{
    TermMask mask;
    for (int i : list)
        mask.setBit(i);
    return mask;
}

static_assert(std::has_virtual_destructor<IExpressionParser>::value, "owners delete parsers through the interface");

} // namespace

class TestExpressionParser : public QObject
{
    Q_OBJECT

private slots:
    void scriptTextAndPrecedence()
    {
        ExpressionParser parser(tokensOf(QStringLiteral("(a or b) and not c")));
        QCOMPARE(parser.scriptText(), QStringLiteral("(%1 ||%2 )&&!%3 "));
        QCOMPARE(parser.termCount(), 3);
        ExpressionParser andNot(tokensOf(QStringLiteral("x and not y")));
        QVERIFY(andNot.evaluate(bits({0})));
        QVERIFY(!andNot.evaluate(bits({0, 1})));
        // "and" binds tighter than "or".
        ExpressionParser orAnd(tokensOf(QStringLiteral("x or y and z")));
        QVERIFY(orAnd.evaluate(bits({0})));
        QVERIFY(!orAnd.evaluate(bits({1})));
        QVERIFY(orAnd.evaluate(bits({1, 2})));
    }

    void invalidExpressionsNeverHold_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("adjacent terms") << QStringLiteral("a b");
        QTest::newRow("trailing operator") << QStringLiteral("a and");
        QTest::newRow("leading operator") << QStringLiteral("or a");
        QTest::newRow("unbalanced") << QStringLiteral("(a or b");
        QTest::newRow("empty parentheses") << QStringLiteral("()");
        // Accepted as syntax by the engine (a call of a number), throws when run.
        QTest::newRow("term before parenthesis") << QStringLiteral("report (2015 or 2016)");
        QTest::newRow("group before group") << QStringLiteral("(a) (b)");
        QTest::newRow("empty call") << QStringLiteral("a ()");
        // The call is skipped by short-circuiting whenever the first term is missing, so a
        // trial run with every term missing does not see it.
        QTest::newRow("call behind and") << QStringLiteral("a and b (c) or d");
        QTest::newRow("group call behind and") << QStringLiteral("a and (b)(c) or d");
        QTest::newRow("call behind not") << QStringLiteral("not a or b (c)");
    }

    void invalidExpressionsNeverHold()
    {
        QFETCH(QString, pattern);
        ExpressionParser parser(tokensOf(pattern));
        QVERIFY(!parser.isSyntaxValid());
        for (quint64 mask = 0; mask < 16; ++mask) {
            QVERIFY2(!parser.evaluate(TermMask(mask)), qPrintable(QString::number(mask)));
            QVERIFY(!parser.evaluateBits(mask));
        }
    }

    void placeholdersAreWholeNumbers()
    {
        // Term 1 and term 12: bit 11 alone must make %12 true and leave %1 false.
        QString pattern = QStringLiteral("not t1 and not (t2");
        for (int i = 3; i <= 11; ++i)
            pattern += QStringLiteral(" or t%1").arg(i);
        pattern += QStringLiteral(") and t12");
        ExpressionParser parser(tokensOf(pattern));
        QVERIFY(parser.isSyntaxValid());
        QCOMPARE(parser.termCount(), 12);
        QVERIFY(parser.evaluate(bits({11})));
        QVERIFY(!parser.evaluate(bits({0, 11})));
        QVERIFY(!parser.evaluate(bits({0})));
        QVERIFY(!parser.evaluate(bits({1})));
    }

    // More terms than a 32- or 64-bit word holds.
    void manyTerms_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("33") << 33;
        QTest::newRow("40") << 40;
        QTest::newRow("70") << 70;
        QTest::newRow("130") << 130;
    }

    void manyTerms()
    {
        QFETCH(int, count);
        QStringList words;
        for (int i = 0; i < count; ++i)
            words << QStringLiteral("w%1").arg(i);
        ExpressionParser parser(tokensOf(words.join(QStringLiteral(" and "))));
        QVERIFY(parser.isSyntaxValid());
        QCOMPARE(parser.termCount(), count);
        const TermMask all = TermMask::firstBits(count);
        QVERIFY(parser.evaluate(all));
        for (int missing : {0, 31, 32, count - 1}) {
            TermMask mask = all;
            mask.clearBit(missing);
            QVERIFY2(!parser.evaluate(mask), qPrintable(QString::number(missing)));
        }

        // The second "w0" is a term of its own, index count.
        ExpressionParser last(tokensOf(QStringLiteral("(") + words.join(QStringLiteral(" or "))
                                       + QStringLiteral(") and not w0")));
        QCOMPARE(last.termCount(), count + 1);
        QVERIFY(last.evaluate(bits({count - 1})));
        QVERIFY(!last.evaluate(bits({count - 1, count})));
        QVERIFY(!last.evaluate(bits({count})));
        QVERIFY(!last.evaluate(TermMask()));
    }

    // The parser's own grammar check and, beyond the engine's depth limit (a chain of some
    // thousand operators), its own evaluation agree with the script engine: random small
    // expressions S are judged by a separate engine directly (where an operand followed by
    // "(" is a call, never valid), by a parser, and by a parser behind a chain too long for
    // the engine ("chain or S" is valid exactly when S is, and with no chain term present
    // holds exactly when S does).
    void longChainsAgreeWithEngine()
    {
        QScriptEngine direct;
        const QRegularExpression placeholder(QStringLiteral("%(\\d+) "));
        const QRegularExpression call(QStringLiteral("[0-9] \\(|\\)\\("));
        auto substituted = [&](const QString& script, quint64 mask) {
            QString text = script;
            QRegularExpressionMatch m;
            while ((m = placeholder.match(text)).hasMatch())
                text.replace(m.capturedStart(), m.capturedLength(),
                             (mask >> (m.captured(1).toInt() - 1) & 1) ? QStringLiteral("1 ") : QStringLiteral("0 "));
            return text;
        };
        const int chainLength = 6000;
        QStringList chain;
        for (int i = 0; i < chainLength; ++i)
            chain << QStringLiteral("c%1").arg(i);
        const QString prefix = chain.join(QStringLiteral(" or ")) + QStringLiteral(" or ");
        const QStringList words{"x", "x", "x", "and", "or", "not", "(", ")"};
        QRandomGenerator random(11);
        int valid = 0;
        for (int round = 0; round < 150; ++round) {
            QStringList pick;
            const int length = 1 + int(random.bounded(9));
            for (int i = 0; i < length; ++i)
                pick << words.at(int(random.bounded(words.size())));
            const QString small = pick.join(QLatin1Char(' '));
            ExpressionParser alone(tokensOf(small));
            ExpressionParser behind(tokensOf(prefix + small));
            const QString zeros = substituted(alone.scriptText(), 0);
            const bool directValid = QScriptEngine::checkSyntax(zeros).state() == QScriptSyntaxCheckResult::Valid
                && !call.match(zeros).hasMatch();
            QVERIFY2(alone.isSyntaxValid() == directValid, qPrintable(small));
            QVERIFY2(alone.isSyntaxValid() == behind.isSyntaxValid(), qPrintable(small));
            valid += alone.isSyntaxValid();
            const int terms = alone.termCount();
            for (quint64 mask = 0; mask < (quint64(1) << terms); ++mask) {
                if (directValid)
                    QVERIFY2(alone.evaluate(TermMask(mask))
                                 == direct.evaluate(substituted(alone.scriptText(), mask)).toBool(),
                             qPrintable(small));
                TermMask shifted;
                for (int i = 0; i < terms; ++i) {
                    if (mask >> i & 1)
                        shifted.setBit(chainLength + i);
                }
                QVERIFY2(alone.evaluate(TermMask(mask)) == behind.evaluate(shifted), qPrintable(small));
                if (behind.isSyntaxValid()) {
                    shifted.setBit(int(random.bounded(chainLength)));
                    QVERIFY(behind.evaluate(shifted));
                }
            }
        }
        QVERIFY(valid > 10); // the sample holds valid expressions, not only broken ones

        // Far deeper nesting than the engine takes.
        ExpressionParser deep(tokensOf(QString(20000, QLatin1Char('(')) + QStringLiteral("a and not b")
                                       + QString(20000, QLatin1Char(')'))));
        QVERIFY(deep.isSyntaxValid());
        QVERIFY(deep.evaluate(bits({0})));
        QVERIFY(!deep.evaluate(bits({0, 1})));
        ExpressionParser unbalanced(tokensOf(QString(20000, QLatin1Char('(')) + QStringLiteral("a")
                                             + QString(19999, QLatin1Char(')'))));
        QVERIFY(!unbalanced.isSyntaxValid());
        QVERIFY(!ExpressionParser(tokensOf(QString(5000, QLatin1Char('(')))).isSyntaxValid());
        QString nots;
        for (int i = 0; i < 3001; ++i)
            nots += QStringLiteral("not ");
        ExpressionParser manyNots(tokensOf(nots + QStringLiteral("a")));
        QVERIFY(manyNots.isSyntaxValid());
        QVERIFY(!manyNots.evaluate(bits({0})) && manyNots.evaluate(TermMask()));
    }

    void cacheRunsEngineOncePerMask()
    {
        ExpressionParser small(tokensOf(QStringLiteral("a or b")));
        int before = ExpressionParser::engineEvaluationCount();
        QVERIFY(small.evaluate(bits({1})));
        QCOMPARE(ExpressionParser::engineEvaluationCount(), before + 1);
        QVERIFY(small.evaluate(bits({1})));
        QVERIFY(!small.evaluate(TermMask())); // judged at construction
        QCOMPARE(ExpressionParser::engineEvaluationCount(), before + 1);

        QStringList words;
        for (int i = 0; i < 20; ++i)
            words << QStringLiteral("w%1").arg(i);
        ExpressionParser large(tokensOf(words.join(QStringLiteral(" or "))));
        before = ExpressionParser::engineEvaluationCount();
        QVERIFY(large.evaluate(bits({19})));
        QVERIFY(large.evaluate(bits({19})));
        QVERIFY(!large.evaluate(TermMask()));
        QCOMPARE(ExpressionParser::engineEvaluationCount(), before + 1);
    }

    // Parsers on several threads share one engine; each thread uses its own parsers.
    void parsersOnManyThreads()
    {
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&wrong, t] {
                for (int round = 0; round < 20; ++round) {
                    QStringList words;
                    for (int i = 0; i < 18; ++i)
                        words << QStringLiteral("w%1").arg(i);
                    // 19 terms: holds when one of the first 18 is present and term 18 is not.
                    ExpressionParser parser(tokensOf(QStringLiteral("(") + words.join(QStringLiteral(" or "))
                                                     + QStringLiteral(") and not x")));
                    for (quint64 k = 0; k < 64; ++k) {
                        const quint64 mask = (k << (t * 3)) | ((k & 1) ? (quint64(1) << 18) : 0);
                        const bool expected = (mask & 0x3FFFF) != 0 && !(mask >> 18 & 1);
                        if (parser.evaluate(TermMask(mask)) != expected)
                            ++wrong;
                    }
                }
            });
        }
        for (auto& thread : threads)
            thread.join();
        QCOMPARE(wrong.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestExpressionParser)
#include "tst_expressionparser.moc"
