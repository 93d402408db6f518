// Syntax errors of name and contents patterns: each is found (so no search is made of it) and
// placed at the part of the pattern that is wrong; valid patterns, escapes and empty patterns
// give no error; regular expressions are judged by the matcher's engine, term by term.
#include "search/model/ExpressionCheck.h"
#include "search/model/FileSearchRequest.h"

#include <QtTest>

namespace {

MatchOptions optionsFor(int syntax)
{
    FileSearchRequest request;
    request.nameSyntax = syntax;
    return request.matchOptions(true);
}

} // namespace

class TestExpressionCheck : public QObject
{
    Q_OBJECT

private slots:
    void errorsArePlaced_data()
    {
        QTest::addColumn<int>("syntax");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("mentions");
        const int b = FileSearchRequest::Boolean;
        QTest::newRow("operator after an open group") << b << "report and (or" << 12 << 2 << "\"or\"";
        QTest::newRow("two words side by side") << b << "report 2015" << 7 << 4 << "\"report\"";
        QTest::newRow("group called like a function") << b << "report (2015 or 2016)" << 7 << 1 << "\"(\"";
        QTest::newRow("operator at the end") << b << "alpha and" << 6 << 3 << "\"and\"";
        QTest::newRow("not at the end") << b << "alpha and not" << 10 << 3 << "\"not\"";
        QTest::newRow("operator at the start") << b << "or beta" << 0 << 2 << "\"or\"";
        QTest::newRow("two operators") << b << "a and or b" << 6 << 2 << "\"and\"";
        QTest::newRow("not after a word") << b << "a not b" << 2 << 3 << "\"not\"";
        QTest::newRow("unclosed") << b << "(a or (b and c)" << 0 << 1 << "(";
        QTest::newRow("closes nothing") << b << "a) or b" << 1 << 1 << "\")\"";
        QTest::newRow("empty group") << b << "a and ()" << 6 << 2 << "";
        QTest::newRow("only operators") << b << "not" << 0 << 3 << "\"not\"";
        QTest::newRow("lone exclusion") << int(FileSearchRequest::Substring) << "a; !" << 3 << 1 << "\"!\"";
        QTest::newRow("regex") << int(FileSearchRequest::Regex) << "([" << 0 << 2 << "\"([\"";
        QTest::newRow("second regex term") << int(FileSearchRequest::Regex) << "ok (x); a[" << 8 << 2 << "\"a[\"";
    }

    void errorsArePlaced()
    {
        QFETCH(int, syntax);
        QFETCH(QString, pattern);
        QFETCH(int, position);
        QFETCH(int, length);
        QFETCH(QString, mentions);
        const ExpressionError error = ExpressionCheck::check(pattern, optionsFor(syntax));
        QVERIFY(error.isError());
        QCOMPARE(error.position, position);
        QCOMPARE(error.length, length);
        QVERIFY2(error.message.contains(mentions), qPrintable(error.message));
    }

    void validPatternsPass_data()
    {
        QTest::addColumn<int>("syntax");
        QTest::addColumn<QString>("pattern");
        const int b = FileSearchRequest::Boolean;
        QTest::newRow("empty") << b << "";
        QTest::newRow("blanks") << b << "   ";
        QTest::newRow("nested") << b << "a and (b or not c)";
        QTest::newRow("double not") << b << "not not a";
        QTest::newRow("escaped parentheses") << b << "a\\(b and c\\)";
        QTest::newRow("capital operators are words") << b << "AND";
        QTest::newRow("list") << int(FileSearchRequest::Substring) << "a b; c; !x y";
        QTest::newRow("escaped bang") << int(FileSearchRequest::Substring) << "a; \\!";
        QTest::newRow("whole word") << int(FileSearchRequest::WholeWord) << "(";
        QTest::newRow("regex") << int(FileSearchRequest::Regex) << "^a.*b$; [0-9]+";
        QTest::newRow("wildcards") << int(FileSearchRequest::Substring) << "*.txt; report?";
    }

    void validPatternsPass()
    {
        QFETCH(int, syntax);
        QFETCH(QString, pattern);
        const ExpressionError error = ExpressionCheck::check(pattern, optionsFor(syntax));
        QVERIFY2(!error.isError(), qPrintable(error.message));
    }

    // The contents field is checked by the same rules with its own options.
    void contentsOptions()
    {
        FileSearchRequest request;
        request.contents = QStringLiteral("x(");
        request.contentsSyntax = FileSearchRequest::Regex;
        request.lineScope = true;
        QVERIFY(ExpressionCheck::check(request.contents, request.matchOptions(false)).isError());
        request.contentsSyntax = FileSearchRequest::Substring;
        QVERIFY(!ExpressionCheck::check(request.contents, request.matchOptions(false)).isError());
    }
};

QTEST_GUILESS_MAIN(TestExpressionCheck)
#include "tst_expressioncheck.moc"
