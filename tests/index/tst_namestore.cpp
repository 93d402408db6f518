// The name store of a volume index: the bytes of a stored name, long and cut names, builders
// adopted without a copy, compaction (names in use keep their text under new references, the
// old blocks live on for whoever holds them), and loading blocks from a file.
#include "search/index/NameStore.h"

#include <QtTest>

#include <cstring>
#include <memory>
#include <vector>

class TestNameStore : public QObject
{
    Q_OBJECT

private:
    static QByteArray raw(const NameStore& store, NameStore::Ref ref, int bytes)
    {
        return QByteArray(store.text(ref) - 1, bytes);
    }

private slots:
    void storedBytesAndReferences()
    {
        NameStore store;
        const NameStore::Ref a = store.add("report.txt", 10);
        const NameStore::Ref b = store.add("", 0);
        // Block 0 starts with one byte no reference names: 0 is no name.
        QCOMPARE(a, NameStore::Ref(1));
        QCOMPARE(raw(store, a, 12), QByteArray("\x0areport.txt\0", 12));
        QCOMPARE(b, NameStore::Ref(13));
        QCOMPARE(raw(store, b, 2), QByteArray("\0\0", 2));
        QCOMPARE(store.length(b), 0);
        QCOMPARE(store.storedBytes(), std::size_t(14));

        // 254 bytes still have their length in the byte; 255 and more are counted.
        const QByteArray n254(254, 'x'), n255(255, 'y'), n3000(3000, 'z');
        const NameStore::Ref r254 = store.add(n254.constData(), n254.size());
        const NameStore::Ref r255 = store.add(n255.constData(), n255.size());
        const NameStore::Ref r3000 = store.add(n3000.constData(), n3000.size());
        QCOMPARE(quint8(*(store.text(r254) - 1)), quint8(254));
        QCOMPARE(quint8(*(store.text(r255) - 1)), quint8(255));
        QCOMPARE(store.length(r254), 254);
        QCOMPARE(store.length(r255), 255);
        QCOMPARE(store.length(r3000), 3000);
        QCOMPARE(QByteArray(store.text(r3000)), n3000);

        // A name ends at its first NUL and is cut at the longest length kept.
        const NameStore::Ref cut = store.add("ab\0cd", 5);
        QCOMPARE(store.length(cut), 2);
        const QByteArray huge(NameStore::MaxLength + 10, 'h');
        QCOMPARE(store.length(store.add(huge.constData(), huge.size())), NameStore::MaxLength);
    }

    // Names never straddle blocks; a block's unused tail is left behind.
    void blocksFillUpAndReferencesStay()
    {
        NameStore store;
        std::vector<std::pair<NameStore::Ref, QByteArray>> all;
        for (int i = 0; i < 60000; ++i) {
            const QByteArray name = QByteArray::number(i).repeated(1 + i % 40);
            all.emplace_back(store.add(name.constData(), name.size()), name);
        }
        QVERIFY(store.blockCount() > 3);
        for (const auto& n : all) {
            QCOMPARE(QByteArray(store.text(n.first), store.length(n.first)), n.second);
            const std::size_t offset = n.first & NameStore::OffsetMask;
            QVERIFY(offset + NameStore::footprint(n.second.size()) <= NameStore::BlockSize);
        }
    }

    // Builders of several threads: their blocks join the store without a copy, and a builder's
    // reference plus the offset adopt() returns names the same text.
    void buildersAreAdopted()
    {
        NameStore store;
        NameStore::Builder first, second;
        std::vector<std::pair<NameStore::Ref, QByteArray>> a, b;
        for (int i = 0; i < 150000; ++i) {
            const QByteArray n = "first-" + QByteArray::number(i);
            a.emplace_back(first.add(n.constData(), n.size()), n);
            const QByteArray m = "second-" + QByteArray::number(i * 7);
            b.emplace_back(second.add(m.constData(), m.size()), m);
        }
        QVERIFY(first.blockCount() >= 2);
        const NameStore::Ref baseA = store.adopt(std::move(first));
        const NameStore::Ref baseB = store.adopt(std::move(second));
        QVERIFY(baseA >= (1u << NameStore::OffsetBits)); // block 0 holds the no-name byte
        QVERIFY(baseB > baseA);
        for (const auto& n : a)
            QCOMPARE(QByteArray(store.text(n.first + baseA)), n.second);
        for (const auto& n : b)
            QCOMPARE(QByteArray(store.text(n.first + baseB)), n.second);
        // A name added afterwards goes to the last adopted block or a new one, never over one.
        const NameStore::Ref after = store.add("after", 5);
        QCOMPARE(QByteArray(store.text(after)), QByteArray("after"));
        QCOMPARE(QByteArray(store.text(b.back().first + baseB)), b.back().second);
        QCOMPARE(first.blockCount(), std::size_t(0));
    }

    // A builder whose names are never adopted (a build canceled or failed) frees its own blocks
    // the way they were allocated.
    void unadoptedBuilderFreesItsBlocks()
    {
        for (int round = 0; round < 3; ++round) {
            NameStore::Builder builder;
            for (int i = 0; i < 80000; ++i) {
                const QByteArray n = "dropped-" + QByteArray::number(i);
                builder.add(n.constData(), n.size());
            }
            QVERIFY(builder.blockCount() >= 2);
            // Moved from one owner to another and dropped there (as the walk's slots are).
            NameStore::Builder moved(std::move(builder));
            QVERIFY(moved.blockCount() >= 2);
        }
    }

    // Released names count as dead; compacting copies the live ones into new blocks, and the old
    // blocks stay readable for a holder of keepAlive until it lets go.
    void compactionKeepsLiveNames()
    {
        NameStore store;
        std::vector<NameStore::Ref> refs;
        for (int i = 0; i < 400000; ++i) {
            const QByteArray n = "churn-" + QByteArray::number(i) + ".tmp";
            refs.push_back(store.add(n.constData(), n.size()));
        }
        QVERIFY(!store.wantsCompaction());
        const char* held = store.text(refs[5]);
        std::shared_ptr<const void> keep = store.keepAlive();
        std::vector<NameStore::Ref> live;
        for (std::size_t i = 0; i < refs.size(); ++i) {
            if (i % 10 == 5)
                live.push_back(refs[i]);
            else
                store.release(refs[i]);
        }
        QVERIFY(store.wantsCompaction());
        const std::size_t before = store.storedBytes();
        NameStore::Compactor compactor(store);
        std::vector<NameStore::Ref> moved;
        for (NameStore::Ref r : live)
            moved.push_back(compactor.copy(r));
        QCOMPARE(compactor.copy(0), NameStore::Ref(0));
        compactor.finish();
        QCOMPARE(store.deadBytes(), std::size_t(0));
        QVERIFY(store.storedBytes() < before / 8);
        QVERIFY(!store.wantsCompaction());
        for (std::size_t k = 0; k < live.size(); ++k)
            QCOMPARE(QByteArray(store.text(moved[k])), "churn-" + QByteArray::number(qulonglong(k * 10 + 5)) + ".tmp");
        // The old blocks: still there for the holder (a search's results).
        QCOMPARE(QByteArray(held), QByteArray("churn-5.tmp"));
        keep.reset();
    }

    // Blocks read from a file: their sizes as given, followed by zeros, so that a reference into
    // a damaged block never leads a reader past it.
    void loadedBlocksAreBounded()
    {
        NameStore store;
        store.prepareBlocks({1 + 6, 5});
        std::memcpy(store.blockStart(0), "\0\x04" "abc", 5); // a length byte that claims too much
        store.blockStart(0)[5] = 'd';
        store.blockStart(0)[6] = 'e';
        std::memcpy(store.blockStart(1), "\xffxyz!", 5); // a long name without its NUL
        QVERIFY(store.isValid(1));
        QVERIFY(!store.isValid(0));
        QVERIFY(!store.isValid(7));
        QVERIFY(store.isValid((1u << NameStore::OffsetBits) | 4));
        QVERIFY(!store.isValid((1u << NameStore::OffsetBits) | 5));
        QVERIFY(!store.isValid(2u << NameStore::OffsetBits));
        QCOMPARE(QByteArray(store.text((1u << NameStore::OffsetBits))), QByteArray("xyz!"));
        QCOMPARE(store.length((1u << NameStore::OffsetBits)), 4);
        // New names go to a block of their own.
        const NameStore::Ref added = store.add("new", 3);
        QCOMPARE(added >> NameStore::OffsetBits, NameStore::Ref(2));
        QCOMPARE(store.blockUsed(1), quint32(5));
    }
};

QTEST_GUILESS_MAIN(TestNameStore)
#include "tst_namestore.moc"
