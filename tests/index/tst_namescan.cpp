// The index's name scan over a map large enough for several threads: the hits come in key order
// as one thread would give them (also when the name filter passes leaves over), a cancel ends the
// scan, and an exception of a filter on a scanning thread is thrown on the calling thread.
#include "search/index/IndexTables.h"
#include "search/index/NameScan.h"
#include "search/model/FileSearchRequest.h"

#include <QThread>
#include <QtTest>

#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

// Folder of every record.
constexpr FRN Parent = 5;
// Records of the map: far above the threshold of a parallel scan.
constexpr FRN Records = 4 * NameScan::ParallelThreshold;

// Files 1..Records; every seventh is named "match-<n>", the others "other-<n>"; the files of
// one stretch (40000..47999) are all named "rare-<n>", so their leaves hold no "match".
struct Volume
{
    IndexTables t;
    Volume()
    {
        for (FRN n = 1; n <= Records; ++n) {
            const char* stem =
                (n >= 40000 && n < 48000) ? "rare-" : (n % 7 == 0 ? "match-" : "other-");
            const std::string name = stem + std::to_string(n);
            t.files.set(n, IndexEntry{Parent, t.names.add(name.data(), int(name.size()))});
        }
    }
    std::vector<FRN> expected() const
    {
        std::vector<FRN> keys;
        for (FRN n = 7; n <= Records; n += 7) {
            if (n < 40000 || n >= 48000)
                keys.push_back(n);
        }
        return keys;
    }
};

std::vector<FRN> keysOf(const std::vector<NameScan::Hit>& hits)
{
    std::vector<FRN> keys;
    for (const NameScan::Hit& hit : hits)
        keys.push_back(hit.frn);
    return keys;
}

} // namespace

class TestNameScan : public QObject
{
    Q_OBJECT

private slots:
    // Every match passes the filter once, on several threads, and the hits are joined in key
    // order with the paths the filter gave; a second scan (the summaries now checked and current)
    // passes over the leaves without a match and gives the same hits.
    void hitsInKeyOrderOverThreads()
    {
        Volume v;
        FileSearchRequest request;
        request.fileName = QStringLiteral("match");
        const NameScan scan(request, v.t.names);
        for (int round = 0; round < 2; ++round) {
            std::mutex mutex;
            std::set<std::thread::id> threads;
            int accepted = 0;
            const NameScan::HitFilter accept = [&](FRN frn, const IndexEntry& entry,
                                                   QString* path) {
                {
                    std::lock_guard<std::mutex> guard(mutex);
                    threads.insert(std::this_thread::get_id());
                    ++accepted;
                }
                *path = QStringLiteral("/d%1").arg(entry.parent);
                return frn % 2 == 0 || frn % 3 == 0;
            };
            std::vector<NameScan::Hit> hits;
            QVERIFY(scan.scanMap(v.t.files, v.t.fileFilter, accept, &hits));
            std::vector<FRN> expected;
            for (FRN n : v.expected()) {
                if (n % 2 == 0 || n % 3 == 0)
                    expected.push_back(n);
            }
            QCOMPARE(accepted, int(v.expected().size()));
            QVERIFY(keysOf(hits) == expected);
            QCOMPARE(hits.front().path, QStringLiteral("/d5"));
            QCOMPARE(hits.back().entry, v.t.files.find(expected.back()));
            if (QThread::idealThreadCount() > 1)
                QVERIFY(threads.size() > 1);
        }
    }

    // A cancel while the threads scan ends the scan (false); an exception of a filter on one
    // thread reaches the caller once all have ended.
    void cancelAndFailure()
    {
        Volume v;
        FileSearchRequest request;
        request.fileName = QStringLiteral("match");
        const NameScan scan(request, v.t.names);
        std::vector<NameScan::Hit> hits;
        QVERIFY(!scan.scanMap(
            v.t.files, v.t.fileFilter,
            [&](FRN frn, const IndexEntry&, QString*) {
                if (frn == 7) // in the first leaf: every scan of a later one stops
                    request.canceled = true;
                return true;
            },
            &hits));
        request.canceled = false;

        bool thrown = false;
        try {
            scan.scanMap(
                v.t.files, v.t.fileFilter,
                [&](FRN frn, const IndexEntry&, QString*) {
                    if (frn == Records - Records % 7)
                        throw std::runtime_error("filter failed");
                    return true;
                },
                &hits);
        } catch (const std::runtime_error& e) {
            thrown = QByteArray(e.what()) == "filter failed";
        }
        QVERIFY(thrown);
    }
};

QTEST_GUILESS_MAIN(TestNameScan)
#include "tst_namescan.moc"
