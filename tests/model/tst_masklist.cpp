// The folder-list text format: splitting, quoting and escapes, exclusions, and round trips.
#include "search/model/MaskList.h"

#include <QtTest>

class TestMaskList : public QObject
{
    Q_OBJECT

private slots:
    void parsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("in");
        QTest::addColumn<QStringList>("out");
        QTest::newRow("quoted ; and exclusion") << "C:\\a;\"D:\\x;y\";!E:\\tmp" << QStringList{"C:\\a", "D:\\x;y"}
                                                << QStringList{"E:\\tmp"};
        QTest::newRow("empty entries dropped") << "/home/u;/tmp;!/tmp/cache;;" << QStringList{"/home/u", "/tmp"}
                                               << QStringList{"/tmp/cache"};
        // Both lists are replaced, also by nothing.
        QTest::newRow("empty text") << QString() << QStringList() << QStringList();
        QTest::newRow("entries that become empty") << ";!;\"\";!\"\"" << QStringList() << QStringList();
        QTest::newRow("not trimmed") << " a ; b" << QStringList{" a ", " b"} << QStringList();
        // A lone quote inside an entry stays, and protects the ";" after it from splitting.
        QTest::newRow("inner quote") << "a\"b;c;d" << QStringList{"a\"b;c;d"} << QStringList();
        // First or last character: removed.
        QTest::newRow("leading quote") << "\"ab" << QStringList{"ab"} << QStringList();
        QTest::newRow("inner then trailing quote") << "ab\";c\";d" << QStringList{"ab\";c", "d"} << QStringList();
        // An escaped quote neither toggles nor is removed at the end.
        QTest::newRow("escaped quote") << "x\\\";y" << QStringList{"x\"", "y"} << QStringList();
        QTest::newRow("lone quote") << "\"" << QStringList() << QStringList();
        // "!" inside quotes is part of the path, not an exclusion mark.
        QTest::newRow("quoted !") << "\"!c\"" << QStringList{"!c"} << QStringList();
        QTest::newRow("excluded quoted !") << "!\"!x\"" << QStringList() << QStringList{"!x"};
    }

    void parsing()
    {
        QFETCH(QString, text);
        QStringList in{QStringLiteral("stale")};
        QStringList out{QStringLiteral("stale")};
        parseMaskList(text, &in, &out);
        QTEST(in, "in");
        QTEST(out, "out");
    }

    void joining()
    {
        QCOMPARE(joinMaskList({QStringLiteral("a;b"), QStringLiteral("!c")}, {}),
                 QStringLiteral("\"a;b\";\"!c\""));
        QCOMPARE(joinMaskList({}, {QStringLiteral("!x")}), QStringLiteral("!\"!x\""));
        QCOMPARE(joinMaskList({QStringLiteral("say \"hi\""), QString()}, {QStringLiteral("/tmp")}),
                 QStringLiteral("say \\\"hi\\\";!/tmp"));
        QCOMPARE(joinMaskList({}, {}), QString());
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
