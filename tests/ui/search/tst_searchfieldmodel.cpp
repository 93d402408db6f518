// Search histories: most recent first, duplicates moved (not removed and inserted) so a combo
// box keeps what the user typed; the folder history is case-sensitive. The expression list
// form splits and joins in the lexer's own grammar.
#include "ui/search/ExpressionList.h"
#include "ui/search/SearchFieldModel.h"

#include "search/model/ExpressionLexer.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

namespace {

QStringList lexerTerms(const QString& pattern)
{
    ExpressionLexer lexer;
    ExpressionTokens tokens;
    QStringList terms;
    lexer.tokenize(pattern, 0, tokens, terms);
    return terms;
}

} // namespace

class TestSearchFieldModel : public QObject
{
    Q_OBJECT

private slots:
    void addingMovesTheUsedEntryToTheFront()
    {
        SearchFieldModel model;
        model.setEntries({QStringLiteral("a"), QStringLiteral("foo"), QStringLiteral("b")});
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.addEntry(QStringLiteral("Foo"));
        QCOMPARE(model.entries(), (QStringList{QStringLiteral("Foo"), QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(moved.size(), 1);
        QCOMPARE(removed.size(), 0);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Foo"));
        QCOMPARE(model.data(model.index(0, 0), Qt::EditRole).toString(), QStringLiteral("Foo"));
        QVERIFY(!model.data(model.index(0, 0), Qt::ToolTipRole).isValid());

        model.addEntry(QString());
        QCOMPARE(model.rowCount(), 3);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.addEntry(QStringLiteral("new"));
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(model.entries().first(), QStringLiteral("new"));
        model.addEntry(QStringLiteral("new")); // already first: nothing moves
        QCOMPARE(model.rowCount(), 4);
    }

    void theFolderHistoryKeepsCase()
    {
        SearchFieldModel* paths = SearchFieldModel::pathHistory();
        paths->clear();
        paths->addEntry(QStringLiteral("/a/Docs"));
        paths->addEntry(QStringLiteral("/a/docs"));
        QCOMPARE(paths->entries(), (QStringList{QStringLiteral("/a/docs"), QStringLiteral("/a/Docs")}));
        paths->addEntry(QStringLiteral("/a/Docs"));
        QCOMPARE(paths->entries(), (QStringList{QStringLiteral("/a/Docs"), QStringLiteral("/a/docs")}));
        paths->clear();
        QCOMPARE(paths->rowCount(), 0);
        QVERIFY(SearchFieldModel::fileNameHistory() != SearchFieldModel::instantFileNameHistory());
        QCOMPARE(SearchFieldModel::contentsHistory(), SearchFieldModel::contentsHistory());
    }

    void aComboKeepsItsTypedTextWhenEntriesMove()
    {
        SearchFieldModel model;
        model.setEntries({QStringLiteral("a"), QStringLiteral("foo"), QStringLiteral("b")});
        QComboBox combo;
        combo.setEditable(true);
        combo.setInsertPolicy(QComboBox::NoInsert);
        combo.setModel(&model);
        combo.setCurrentIndex(2); // "b" chosen from the list, then edited
        combo.setEditText(QStringLiteral("b typed"));
        model.addEntry(QStringLiteral("b"));
        QCOMPARE(model.entries(), (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("foo")}));
        QCOMPARE(combo.currentText(), QStringLiteral("b typed"));
        QCOMPARE(combo.currentIndex(), 0); // the chosen entry moved with its row
        model.addEntry(QStringLiteral("foo"));
        QCOMPARE(combo.currentText(), QStringLiteral("b typed"));
    }

    void expressionListsRoundTripThroughTheLexer_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("includes");
        QTest::addColumn<QStringList>("excludes");
        QTest::addColumn<QStringList>("terms");
        QTest::newRow("plain") << "a;b;!x" << QStringList{"a", "b"} << QStringList{"x"} << QStringList{"a", "b", "x"};
        QTest::newRow("words") << "cat dog;!tmp" << QStringList{"cat dog"} << QStringList{"tmp"}
                               << QStringList{"cat", "dog", "tmp"};
        QTest::newRow("semicolon") << "x\\;y" << QStringList{"x;y"} << QStringList{} << QStringList{"x;y"};
        QTest::newRow("bang include") << "\\!x;y" << QStringList{"!x", "y"} << QStringList{} << QStringList{"!x", "y"};
        QTest::newRow("bang exclude") << "a;!!x" << QStringList{"a"} << QStringList{"!x"} << QStringList{"a", "!x"};
        QTest::newRow("quotes stay") << "\"a\"" << QStringList{"\"a\""} << QStringList{} << QStringList{"\"a\""};
    }

    void expressionListsRoundTripThroughTheLexer()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, includes);
        QFETCH(QStringList, excludes);
        QFETCH(QStringList, terms);
        QStringList in;
        QStringList out;
        splitExpressionList(text, &in, &out);
        QCOMPARE(in, includes);
        QCOMPARE(out, excludes);
        const QString joined = joinExpressionList(in, out);
        QCOMPARE(joined, text);
        QCOMPARE(lexerTerms(joined), terms);
    }

    void joiningDropsBlankLinesAndEscapesWhatTheUserTyped()
    {
        const QString joined = joinExpressionList({QStringLiteral(" a;b "), QString(), QStringLiteral("  ")},
                                                  {QStringLiteral("x"), QString()});
        QCOMPARE(joined, QStringLiteral("a\\;b;!x"));
        QCOMPARE(lexerTerms(joined), (QStringList{QStringLiteral("a;b"), QStringLiteral("x")}));
        QCOMPARE(joinExpressionList({QString()}, {QString()}), QString());
        QStringList in;
        QStringList out;
        splitExpressionList(QStringLiteral(" ; ;! ;a"), &in, &out);
        QCOMPARE(in, QStringList{QStringLiteral("a")});
        QVERIFY(out.isEmpty());
    }
};

QTEST_MAIN(TestSearchFieldModel)
#include "tst_searchfieldmodel.moc"
