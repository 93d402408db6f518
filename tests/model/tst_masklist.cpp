// The folder-list text format: splitting, quoting and escapes, exclusions, and round trips.
#include "search/model/MaskList.h"

#include <QtTest>

class TestMaskList : public QObject
{
    Q_OBJECT

private:
    static QPair<QStringList, QStringList> parse(const QString& text)
    {
        QStringList in{QStringLiteral("stale")};
        QStringList out{QStringLiteral("stale")};
        parseMaskList(text, &in, &out);
        return {in, out};
    }

private slots:
    void parsing()
    {
        auto r = parse(QStringLiteral("C:\\a;\"D:\\x;y\";!E:\\tmp"));
        QCOMPARE(r.first, QStringList({QStringLiteral("C:\\a"), QStringLiteral("D:\\x;y")}));
        QCOMPARE(r.second, QStringList({QStringLiteral("E:\\tmp")}));

        r = parse(QStringLiteral("/home/u;/tmp;!/tmp/cache;;"));
        QCOMPARE(r.first, QStringList({QStringLiteral("/home/u"), QStringLiteral("/tmp")}));
        QCOMPARE(r.second, QStringList({QStringLiteral("/tmp/cache")}));

        // Empty text, empty entries and entries that become empty are dropped; both lists are
        // replaced.
        r = parse(QString());
        QVERIFY(r.first.isEmpty() && r.second.isEmpty());
        r = parse(QStringLiteral(";!;\"\";!\"\""));
        QVERIFY(r.first.isEmpty() && r.second.isEmpty());

        // Entries are not trimmed.
        QCOMPARE(parse(QStringLiteral(" a ; b")).first,
                 QStringList({QStringLiteral(" a "), QStringLiteral(" b")}));
    }

    void quotesInsideEntries()
    {
        // A lone quote inside an entry stays, and protects the ";" after it from splitting.
        QCOMPARE(parse(QStringLiteral("a\"b;c;d")).first, QStringList({QStringLiteral("a\"b;c;d")}));
        // First or last character: removed.
        QCOMPARE(parse(QStringLiteral("\"ab")).first, QStringList({QStringLiteral("ab")}));
        QCOMPARE(parse(QStringLiteral("ab\";c\";d")).first,
                 QStringList({QStringLiteral("ab\";c"), QStringLiteral("d")}));
        // An escaped quote neither toggles nor is removed at the end.
        QCOMPARE(parse(QStringLiteral("x\\\";y")).first,
                 QStringList({QStringLiteral("x\""), QStringLiteral("y")}));
        QCOMPARE(parse(QStringLiteral("\"")).first, QStringList());
        // "!" inside quotes is part of the path, not an exclusion mark.
        auto r = parse(QStringLiteral("\"!c\""));
        QCOMPARE(r.first, QStringList({QStringLiteral("!c")}));
        QVERIFY(r.second.isEmpty());
    }

    void joining()
    {
        QCOMPARE(joinMaskList({QStringLiteral("a;b"), QStringLiteral("!c")}, {}),
                 QStringLiteral("\"a;b\";\"!c\""));
        QCOMPARE(joinMaskList({}, {QStringLiteral("!x")}), QStringLiteral("!\"!x\""));
        QCOMPARE(joinMaskList({QStringLiteral("say \"hi\""), QString()}, {QStringLiteral("/tmp")}),
                 QStringLiteral("say \\\"hi\\\";!/tmp"));
        QCOMPARE(joinMaskList({}, {}), QString());

        auto r = parse(QStringLiteral("!\"!x\""));
        QVERIFY(r.first.isEmpty());
        QCOMPARE(r.second, QStringList({QStringLiteral("!x")}));
    }

    void roundTrip()
    {
        const QStringList in = {QStringLiteral("a;b"),        QStringLiteral("!c"),
                                QStringLiteral("say \"hi\""), QStringLiteral("\"lead"),
                                QStringLiteral("trail\""),    QStringLiteral("/x\\y/"),
                                QStringLiteral("!"),          QStringLiteral("\";\"")};
        const QStringList out = {QStringLiteral("!x"), QStringLiteral("/tmp;cache"),
                                 QStringLiteral("q\"")};
        QStringList in2;
        QStringList out2;
        parseMaskList(joinMaskList(in, out), &in2, &out2);
        QCOMPARE(in2, in);
        QCOMPARE(out2, out);
    }
};

QTEST_GUILESS_MAIN(TestMaskList)
#include "tst_masklist.moc"
