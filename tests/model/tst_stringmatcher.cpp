// Substring, whole word, regex and wildcard matching; the UTF-8 fast path; term masks.
#include "search/model/StringMatcher.h"

#include <QRandomGenerator>
#include <QtTest>
#include <type_traits>

#include <atomic>
#include <thread>
#include <vector>

namespace {

MatchOptions options(int kind, bool caseSensitive, bool forName)
{
    MatchOptions o;
    o.kind = kind;
    o.caseSensitive = caseSensitive;
    o.forName = forName;
    return o;
}


static_assert(std::has_virtual_destructor<IStringMatcher>::value, "owners delete matchers through the interface");

} // namespace

class TestStringMatcher : public QObject
{
    Q_OBJECT

private slots:
    void wildcards_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("expected");
        QTest::newRow("? refuses the dot") << "file?txt" << "file.txt" << false << false;
        QTest::newRow("* spans the dot") << "file*txt" << "file.txt" << false << true;
        QTest::newRow("*.TXT folded") << "*.TXT" << "file.txt" << false << true;
        QTest::newRow("*.TXT exact") << "*.TXT" << "file.txt" << true << false;
        QTest::newRow("star matches empty") << "*" << "" << false << true;
        QTest::newRow("star matches any") << "*" << "a.b" << true << true;
        QTest::newRow("a** vs a") << "a**" << "a" << false << false;
        QTest::newRow("a** vs ab") << "a**" << "ab" << false << true;
        QTest::newRow("whole name") << "a?c" << "abcd" << false << false;
        QTest::newRow("retry after star") << "*ab*cd" << "xaabcxcd" << false << true;
        QTest::newRow("no retry at text end") << "*ab" << "aab." << false << false;
        QTest::newRow("non-ASCII folded") << "ÄB*" << "äbc" << false << true;
        QTest::newRow("non-ASCII exact") << "ÄB*" << "äbc" << true << false;
        QTest::newRow("question vs empty") << "?" << "" << false << false;
    }

    void wildcards()
    {
        QFETCH(QString, term);
        QFETCH(QString, name);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, expected);
        const MatchOptions o = options(0, caseSensitive, true);
        const StringMatcher m(QStringList{term}, o);
        QCOMPARE(m.matchTerm(name, 0, nullptr, nullptr), expected);
        const QByteArray utf8 = name.toUtf8();
        QCOMPARE(bool(m.matchUtf8(utf8.constData(), utf8.size(), TermMask(1))), expected);
    }

    // One term over one text: verdict, recorded hits, and the counter of substring hits (which
    // is added to; -1: not checked).
    void hits_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<MatchPositions>("positions");
        QTest::addColumn<int>("expectedCounter");
        const MatchPositions none;
        // Contents: "*" is an ordinary character.
        QTest::newRow("star in contents") << 0 << false << "a*b" << "xa*by" << true << MatchPositions{{1, 3}} << 6;
        QTest::newRow("star in contents, no hit") << 0 << false << "a*b" << "axxb" << false << none << 5;
        QTest::newRow("hits do not overlap") << 0 << false << "aa" << "aaaa" << true << MatchPositions{{0, 2}, {2, 2}} << 7;
        QTest::newRow("folded") << 0 << false << "aa" << "xAAax" << true << MatchPositions{{1, 2}} << 6;
        QTest::newRow("case-sensitive") << 0 << true << "aa" << "xAAx" << false << none << 5;
        QTest::newRow("word: underscore") << 1 << false << "cat" << "cat_food" << false << none << 5;
        QTest::newRow("word: digit") << 1 << false << "cat" << "cat9" << false << none << 5;
        QTest::newRow("word: letter") << 1 << false << "cat" << QString::fromUtf8("caté") << false << none << 5;
        QTest::newRow("word: Arabic-Indic digit") << 1 << false << "cat" << QString::fromUtf8("cat٣") << false << none << 5;
        // A number that is not a decimal digit ends a word.
        QTest::newRow("word: vulgar fraction") << 1 << false << "cat" << QString::fromUtf8("cat½") << true << MatchPositions{{0, 3}} << 6;
        QTest::newRow("word: hyphen") << 1 << false << "cat" << "cat-food" << true << MatchPositions{{0, 3}} << 6;
        // The rejected hit inside "concat" moves the search past it.
        QTest::newRow("word after rejected hit") << 1 << false << "cat" << "concat cat" << true << MatchPositions{{7, 3}} << 6;
        // A zero-length hit counts as found but is neither recorded nor counted.
        QTest::newRow("regex: empty hit") << 2 << false << "x*" << "abc" << true << none << 5;
        QTest::newRow("regex: every hit") << 2 << true << "[0-9]+" << "a12b345" << true << MatchPositions{{1, 2}, {4, 3}} << -1;
        QTest::newRow("regex: folded") << 2 << false << "^REP" << "report" << true << MatchPositions{{0, 3}} << -1;
        QTest::newRow("regex: case-sensitive") << 2 << true << "^REP" << "report" << false << none << 5;
    }

    void hits()
    {
        QFETCH(int, kind);
        QFETCH(bool, caseSensitive);
        QFETCH(QString, term);
        QFETCH(QString, text);
        const StringMatcher m(QStringList{term}, options(kind, caseSensitive, false));
        MatchPositions positions;
        int counter = 5;
        QTEST(m.matchTerm(text, 0, &positions, &counter), "expected");
        QTEST(positions, "positions");
        QFETCH(int, expectedCounter);
        if (expectedCounter >= 0)
            QCOMPARE(counter, expectedCounter);
    }

    void wildcardTermsOnlyForNames()
    {
        const StringMatcher names(QStringList{"a", "b*", "c?"}, options(0, false, true));
        QCOMPARE(names.wildcardTermIndexes(), (QVector<int>{1, 2}));
        // Regular expressions are never wildcards.
        QVERIFY(StringMatcher(QStringList{"[0-9]+"}, options(2, true, true)).wildcardTermIndexes().isEmpty());
        // Wildcard hits record no positions and do not count.
        const StringMatcher m(QStringList{"*.txt"}, options(0, false, true));
        MatchPositions positions;
        int counter = 0;
        QCOMPARE(m.match("a.txt", TermMask(1), &positions, &counter), TermMask(1));
        QVERIFY(positions.isEmpty());
        QCOMPARE(counter, 0);
    }

    void positionsTestEveryTerm()
    {
        const StringMatcher m(QStringList{"b", "a", "zz"}, options(0, false, false));
        MatchPositions positions;
        // Bit 0 not wanted, but a positions list makes every term tested and reported.
        const TermMask result = m.match("abab", TermMask(2), &positions, nullptr);
        QCOMPARE(result, TermMask(3));
        QCOMPARE(positions, (MatchPositions{{1, 1}, {3, 1}, {0, 1}, {2, 1}}));
        // Without positions only wanted terms are tested.
        QCOMPARE(m.match("abab", TermMask(2), nullptr, nullptr), TermMask(2));
        QCOMPARE(m.match("abab", TermMask(), nullptr, nullptr), TermMask());
    }

    void setOptionsRecompiles()
    {
        StringMatcher m(QStringList{"a.c"}, options(0, false, true));
        QVERIFY(!m.matchTerm("abc", 0, nullptr, nullptr));
        m.setOptions(options(2, false, true));
        QVERIFY(m.matchTerm("abc", 0, nullptr, nullptr));
        m.setOptions(options(0, true, true));
        QVERIFY(m.matchTerm("xa.c", 0, nullptr, nullptr));
        QVERIFY(!m.matchTerm("xA.c", 0, nullptr, nullptr));
    }

    void moreThan64Terms()
    {
        QStringList terms;
        for (int i = 0; i < 100; ++i)
            terms << QStringLiteral("t%1x").arg(i);
        const StringMatcher m(terms, options(0, false, true));
        const TermMask all = TermMask::firstBits(100);
        TermMask expected;
        expected.setBit(40);
        expected.setBit(99);
        QCOMPARE(m.match("T40X-t99x", all, nullptr, nullptr), expected);
        const QByteArray utf8("T40X-t99x");
        QCOMPARE(m.matchUtf8(utf8.constData(), utf8.size(), all), expected);
        QVERIFY(!m.matchUtf8(utf8.constData(), utf8.size(), TermMask(1)));
    }

    // The fast UTF-8 path answers exactly as match() on the decoded text: random names over
    // an alphabet with case pairs, dots, non-ASCII letters, characters that fold to ASCII
    // (long s, Kelvin sign), surrogate pairs and invalid bytes.
    void utf8PathAgreesWithQStringPath()
    {
        const QStringList pieces{"a", "A", "b", "B", "s", "S", "k", "K", ".", "_", " ", "1",
                                 QString::fromUtf8("ä"), QString::fromUtf8("Ä"),
                                 QString::fromUtf8("ſ"), QString::fromUtf8("K"),
                                 QString::fromUtf8("ｈ"), QString::fromUtf8("Ｈ"),
                                 QString::fromUtf8("😀"), QString::fromUtf8("é")};
        const QList<QByteArray> junk{"\xC3", "\xFF", "\xE2\x82", "\xED\xA0\x80", "\xF0\x9F", "\xC0\xAF"};
        const QStringList mixedTerms{"ab", "AB", "sk", QString::fromUtf8("ä"), QString::fromUtf8("ſK"),
                                     "a*b", "?.", QString::fromUtf8("ｈ"), "s", QString::fromUtf8("😀a"),
                                     QString::fromUtf8("\xEF\xBF\xBD")};
        // Only ASCII literals: the byte-wise path, also for names with other characters.
        const QStringList asciiTerms{"ab", "SK", "s", "k", "a.", "b_1", " ", "*a?b*", "s*", "*.K"};
        // More than 64 terms: the general mask path.
        QStringList manyTerms = mixedTerms;
        for (int i = 0; i < 60; ++i)
            manyTerms << QStringLiteral("q%1").arg(i);
        QRandomGenerator random(42);
        int mismatches = 0;
        for (const QStringList& terms : {mixedTerms, asciiTerms, manyTerms})
        for (int kind = 0; kind <= 1; ++kind) {
            for (int cs = 0; cs <= 1; ++cs) {
                for (int forName = 0; forName <= 1; ++forName) {
                    const StringMatcher m(terms, options(kind, cs, forName));
                    const TermMask all = TermMask::firstBits(terms.size());
                    for (int round = 0; round < 400; ++round) {
                        QByteArray name;
                        const int length = int(random.bounded(12));
                        for (int i = 0; i < length; ++i) {
                            if (random.bounded(10) == 0)
                                name += junk.at(int(random.bounded(junk.size())));
                            else
                                name += pieces.at(int(random.bounded(pieces.size()))).toUtf8();
                        }
                        const TermMask viaText = m.match(QString::fromUtf8(name), all, nullptr, nullptr);
                        const TermMask viaBytes = m.matchUtf8(name.constData(), name.size(), all);
                        if (viaText != viaBytes) {
                            ++mismatches;
                            qWarning() << "mismatch" << kind << cs << forName << name.toHex();
                        }
                    }
                }
            }
        }
        QCOMPARE(mismatches, 0);
    }

    // Invalid UTF-8 is read as QString::fromUtf8 reads it: random byte soup, with terms that
    // see how many replacement characters stand where.
    void invalidUtf8ReadLikeQt()
    {
        const QChar r(0xFFFD);
        const QStringList terms{QString(r) + r, QString(r) + "a", QString("a") + r + r,
                                QString(r) + r + r, QString(QChar(0x7FF)), QString(QChar(0xFFFF)),
                                QString::fromUtf8("\xF4\x8F\xBF\xBF")};
        const StringMatcher m(terms, options(0, true, false));
        const TermMask all = TermMask::firstBits(terms.size());
        const uchar alphabet[] = {0x80, 0xBF, 0xA0, 0x9F, 0x8F, 0xC1, 0xC2, 0xDF, 0xE0, 0xED,
                                  0xEF, 0xF0, 0xF4, 0xF5, 0xFF, 'a'};
        QRandomGenerator random(7);
        int mismatches = 0;
        for (int round = 0; round < 20000; ++round) {
            QByteArray bytes;
            const int length = 1 + int(random.bounded(8));
            for (int i = 0; i < length; ++i)
                bytes += char(alphabet[random.bounded(int(sizeof alphabet))]);
            if (m.match(QString::fromUtf8(bytes), all, nullptr, nullptr)
                != m.matchUtf8(bytes.constData(), bytes.size(), all)) {
                ++mismatches;
                qWarning() << "mismatch" << bytes.toHex();
            }
        }
        QCOMPARE(mismatches, 0);
    }

    void utf8PathEdgeTexts()
    {
        const StringMatcher m(QStringList{"x", QString::fromUtf8("ü")}, options(0, false, false));
        QCOMPARE(m.matchUtf8("", 0, TermMask(3)), TermMask());
        QCOMPARE(m.matchUtf8(nullptr, 0, TermMask(3)), TermMask());
        // A leading byte-order mark is not part of the text, as with QString::fromUtf8.
        QCOMPARE(m.matchUtf8("\xEF\xBB\xBFX\xC3\x9C", 7, TermMask(3)), TermMask(3));
        // Longer than the stack buffer.
        QByteArray longName(3000, 'a');
        longName += "\xC3\xBC";
        QCOMPARE(m.matchUtf8(longName.constData(), longName.size(), TermMask(3)), TermMask(2));
        const StringMatcher rx(QStringList{QString::fromUtf8("^ü+$")}, options(2, false, true));
        QCOMPARE(rx.matchUtf8("\xC3\xBC\xC3\x9C", 4, TermMask(1)), TermMask(1));
    }

    // One matcher serves several threads; regular expressions too.
    void sharedAcrossThreads()
    {
        const StringMatcher m(QStringList{"b+c", "^x"}, options(2, false, false));
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&m, &wrong, t] {
                for (int i = 0; i < 3000; ++i) {
                    const QString text = (i + t) % 2 ? QStringLiteral("xabbbc") : QStringLiteral("yabd");
                    MatchPositions positions;
                    const TermMask r = m.match(text, TermMask(3), &positions, nullptr);
                    const bool hit = (i + t) % 2;
                    if (r != TermMask(hit ? 3 : 0)
                        || positions != (hit ? MatchPositions{{2, 4}, {0, 1}} : MatchPositions()))
                        ++wrong;
                }
            });
        }
        for (auto& thread : threads)
            thread.join();
        QCOMPARE(wrong.load(), 0);
    }

    void termMaskOperations()
    {
        TermMask a = TermMask::firstBits(70);
        QCOMPARE(a.count(), 70);
        QVERIFY(a.testBit(69) && !a.testBit(70));
        TermMask b;
        b.setBit(69);
        b.setBit(3);
        QCOMPARE(a.without(b).count(), 68);
        QVERIFY(!a.without(b).testBit(69));
        b.clearBit(69);
        QCOMPARE(b, TermMask(8)); // no leftover high word
        QCOMPARE(qHash(b), qHash(TermMask(8)));
        QCOMPARE(TermMask::firstBits(64).lowBits(), ~quint64(0));
        QCOMPARE(TermMask::firstBits(64).count(), 64);
        QCOMPARE(TermMask::firstBits(0), TermMask());
        QCOMPARE((a & b), TermMask(8));
        QVERIFY(!TermMask());
    }
};

QTEST_GUILESS_MAIN(TestStringMatcher)
#include "tst_stringmatcher.moc"
