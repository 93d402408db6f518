// The name filter: what a query requires, and that a leaf is never passed over while one of its
// names matches, also after records were added, renamed and removed between searches (the
// summaries follow the leaves without being told).
#include "core/Arena.h"
#include "search/index/IndexMap.h"
#include "search/index/IndexTables.h"
#include "search/index/NameFilter.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/SearchExpression.h"

#include <QCoreApplication>
#include <QtTest>

#include <deque>
#include <random>
#include <string>

namespace {

std::vector<std::string> required(const QString& pattern, int syntax, bool caseSensitive = false)
{
    FileSearchRequest request;
    request.fileName = pattern;
    request.nameSyntax = syntax;
    request.nameCase = caseSensitive;
    return SearchExpression(pattern, request.matchOptions(true)).requiredLiterals();
}

// Names of the maps' records.
struct Names
{
    NameStore store;
    NameStore::Ref add(const std::string& s) { return store.add(s.data(), int(s.size())); }
};

// A map of 1000 records named "plain name".
struct PlainMap
{
    Arena arena;
    IndexMap map{arena};
    Names names;
    PlainMap()
    {
        for (quint64 key = 1; key <= 1000; ++key)
            map.set(key, IndexEntry{0, names.add("plain name")});
    }
};

std::vector<const IndexMap::Leaf*> leavesOf(const IndexMap& map)
{
    std::vector<const IndexMap::Leaf*> leaves;
    for (const IndexMap::Leaf* leaf = map.firstLeaf(); leaf; leaf = leaf->next)
        leaves.push_back(leaf);
    return leaves;
}

} // namespace

class TestNameFilter : public QObject
{
    Q_OBJECT

private slots:
    void requiredLiterals_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("syntax");
        QTest::addColumn<QStringList>("literals");
        const int substring = FileSearchRequest::Substring;
        const int boolean = FileSearchRequest::Boolean;
        QTest::newRow("substring folded") << "Invoice" << substring << QStringList{"invoice"};
        QTest::newRow("short terms give none") << "ab" << substring << QStringList{};
        QTest::newRow("non-ASCII splits") << "r\u00E9sum\u00E9s" << substring << QStringList{"sum"};
        QTest::newRow("non-ASCII splits, long runs kept") << "caf\u00E9report" << substring << QStringList{"caf", "report"};
        QTest::newRow("words of a group") << "annual report" << substring << QStringList{"annual", "report"};
        QTest::newRow("alternatives give none") << "annual; report" << substring << QStringList{};
        QTest::newRow("exclusion is not required") << "report; !draft" << substring << QStringList{"report"};
        QTest::newRow("and not") << "report and not draft" << boolean << QStringList{"report"};
        QTest::newRow("or inside and") << "(pdf or doc) and invoice" << boolean << QStringList{"invoice"};
        QTest::newRow("not alone") << "not draft" << boolean << QStringList{};
        QTest::newRow("non-monotone") << "(abc and def) or (not def and ghi)" << boolean << QStringList{};
        QTest::newRow("wildcard runs") << "*invoice*.pdf" << substring << QStringList{"invoice", ".pdf"};
        QTest::newRow("question splits") << "rep?rt_2015*" << substring << QStringList{"rep", "rt_2015"};
        QTest::newRow("regex literal") << "Invoice_[0-9]+\\.PDF" << int(FileSearchRequest::Regex) << QStringList{"invoice_"};
        QTest::newRow("regex alternation") << "abc|def" << int(FileSearchRequest::Regex) << QStringList{};
        QTest::newRow("empty") << "" << substring << QStringList{};
    }

    void requiredLiterals()
    {
        QFETCH(QString, pattern);
        QFETCH(int, syntax);
        QFETCH(QStringList, literals);
        QStringList got;
        for (const std::string& s : required(pattern, syntax))
            got << QString::fromStdString(s);
        QCOMPARE(got, literals);
    }

    // Long s and the Kelvin sign stand for "s" and "k", as case-insensitive matching reads them.
    void foldedCharacters()
    {
        quint64 bits[NameFilter::Bits / 64] = {};
        NameFilter::addName("\xE2\x84\xAA" "ILO", bits); // Kelvin sign + "ILO"
        const NameFilter::Query query = NameFilter::makeQuery({"kil"});
        for (quint16 bit : query.bits)
            QVERIFY(bits[bit >> 6] & (quint64(1) << (bit & 63)));
    }

    // Random names in a map, random changes between searches: every leaf with a name that
    // contains the literal is kept, and most leaves without one are passed over.
    void neverPassesOverAMatch()
    {
        static const char* const words[] = {"alpha", "bravo", "report", "summary", "invoice", "draft", "photo",
                                            "\xC5\xBF" "ummary", "I\xCC\x81nvoice", "data", "notes"};
        std::mt19937 random(7);
        Arena arena;
        IndexMap map(arena);
        Names names;
        auto randomName = [&]() {
            std::string s = words[random() % std::size(words)];
            s += random() % 2 ? "_" : " ";
            s += std::to_string(random() % 1000);
            return s;
        };
        for (quint64 key = 1; key <= 20000; ++key)
            map.set(key, IndexEntry{0, names.add(randomName())});
        // Rare literal: about one name in four hundred has it.
        for (quint64 key = 1; key <= 20000; key += 401)
            map.set(key, IndexEntry{0, names.add("Quarterly " + randomName())});

        NameFilter filter;
        const NameFilter::Query query = NameFilter::makeQuery({"quarterly"});
        for (int round = 0; round < 6; ++round) {
            const std::vector<const IndexMap::Leaf*> leaves = leavesOf(map);
            // Twice: the second search, with no change in between, trusts the summaries.
            for (int again = 0; again < 2; ++again) {
            int passedOver = 0;
            {
                NameFilter::Session session(filter, query, leaves, map.changes(), names.store);
                QVERIFY(session.active());
                for (std::size_t r = 0; r < leaves.size(); ++r) {
                    bool holds = false;
                    for (quint32 i = 0; i < leaves[r]->count; ++i)
                        holds = holds || strcasestr(names.store.text(leaves[r]->values[i].name), "quarterly") != nullptr;
                    const bool kept = session.mayMatch(r);
                    if (holds)
                        QVERIFY2(kept, qPrintable(QStringLiteral("round %1, leaf %2").arg(round).arg(r)));
                    passedOver += kept ? 0 : 1;
                }
            }
            QVERIFY2(passedOver > int(leaves.size()) / 4,
                     qPrintable(QStringLiteral("only %1 of %2 leaves passed over").arg(passedOver).arg(leaves.size())));
            }
            // Changes: renames that bring the literal in or take it out, new keys (splits),
            // removals (emptied leaves leave the tree).
            for (int i = 0; i < 400; ++i) {
                const quint64 key = 1 + random() % 30000;
                switch (random() % 8) {
                case 0:
                    map.set(key, IndexEntry{0, names.add("QUARTERLY-" + randomName())});
                    break;
                case 4:
                case 5:
                case 6:
                case 1:
                    map.set(key, IndexEntry{0, names.add(randomName())});
                    break;
                case 2:
                    map.erase(key);
                    break;
                default:
                    map.set(30000 + key, IndexEntry{0, names.add(randomName())});
                    break;
                }
            }
        }
        QVERIFY(filter.memoryBytes() > 0);
    }

    // A rename in place changes no leaf's place: the change count tells the summaries to
    // be checked again.
    void renameInPlaceIsSeen()
    {
        PlainMap plain;
        IndexMap& map = plain.map;
        const std::vector<const IndexMap::Leaf*> leaves = leavesOf(map);
        NameFilter filter;
        const NameFilter::Query query = NameFilter::makeQuery({"quarterly"});
        auto kept = [&]() {
            NameFilter::Session session(filter, query, leaves, map.changes(), plain.names.store);
            int n = 0;
            for (std::size_t r = 0; r < leaves.size(); ++r)
                n += session.mayMatch(r) ? 1 : 0;
            return n;
        };
        QCOMPARE(kept(), 0);
        QCOMPARE(kept(), 0); // trusted
        map.set(500, IndexEntry{0, plain.names.add("Quarterly report")});
        QCOMPARE(leavesOf(map), leaves);
        QCOMPARE(kept(), 1);
    }

    // A second search while the first holds the filter reads every leaf.
    void concurrentSessionReadsEverything()
    {
        PlainMap plain;
        const IndexMap& map = plain.map;
        const std::vector<const IndexMap::Leaf*> leaves = leavesOf(map);
        NameFilter filter;
        const NameFilter::Query query = NameFilter::makeQuery({"absent"});
        NameFilter::Session first(filter, query, leaves, map.changes(), plain.names.store);
        NameFilter::Session second(filter, query, leaves, map.changes(), plain.names.store);
        QVERIFY(first.active());
        QVERIFY(!second.active());
        QVERIFY(!first.mayMatch(0));
        QVERIFY(second.mayMatch(0));
    }

    // Compacting the names gives records new references, which may be the very ones a leaf had
    // before with other names behind them: the summaries are not trusted across it.
    void compactedNamesAreSummarisedAgain()
    {
        IndexTables t;
        const NameStore::Ref a = t.names.add("aaa-old", 7);
        const NameStore::Ref b = t.names.add("bbb-kept", 8);
        t.files.set(1, IndexEntry{0, a});
        t.files.set(2, IndexEntry{0, b});
        const NameFilter::Query query = NameFilter::makeQuery({"qqq"});
        auto kept = [&]() {
            const std::vector<const IndexMap::Leaf*> leaves = leavesOf(t.files);
            NameFilter::Session session(t.fileFilter, query, leaves, t.files.changes(), t.names);
            return session.mayMatch(0);
        };
        QVERIFY(!kept());
        QVERIFY(!kept()); // trusted from here
        // Record 1 is renamed (same length, so compacting puts the new name where the old was).
        t.names.release(a);
        t.files.set(1, IndexEntry{0, t.names.add("qqq-new", 7)});
        t.compactNames();
        QCOMPARE(quint32(t.files.find(1)->name), quint32(a));
        QCOMPARE(quint32(t.files.find(2)->name), quint32(b));
        QVERIFY(kept());
    }
};

QTEST_GUILESS_MAIN(TestNameFilter)
#include "tst_namefilter.moc"
