// The window's handle on one engine search: it keeps the request and the results alive until
// the engine reports the end, whoever gave the search up meanwhile, and then goes. A thousand
// cancelled searches leave the engine's table empty, no run behind and memory flat; a run
// ends with its engine; a whole search reports once, not canceled, and says which include
// folders are missing; a matches run keeps its holder until its end.
#include "core/Logger.h"
#include "heapbytes.h"
#include "search/engine/FileSearcher.h"
#include "search/model/ResultStore.h"
#include "search/model/TempFileHolder.h"
#include "testutil.h"
#include "ui/tab/SearchRun.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

// Under AddressSanitizer the bytes the program holds on its heap (its quarantine keeps freed
// memory resident); elsewhere the resident size.
qint64 residentBytes()
{
    if (asanheap::available)
        return asanheap::live().load();
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4096 : 0;
}

int liveRuns(FileSearcher& engine)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return engine.findChildren<SearchRun*>().size();
}

} // namespace

class TestSearchRun : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString tree;

    std::unique_ptr<FileSearcher> engine()
    {
        auto searcher = std::make_unique<FileSearcher>(tmp.filePath(QStringLiteral("work")), 0);
        searcher->init(IndexingSettings(), ContentSearchOptions());
        return searcher;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("log.txt")));
        tree = tmp.filePath(QStringLiteral("tree"));
        for (int i = 0; i < 200; ++i)
            QVERIFY(testutil::writeFile(QStringLiteral("%1/d%2/file%3.txt").arg(tree).arg(i % 20).arg(i), "needle\n"));
    }

    void thousandCancelledSearchesLeaveNothingBehind()
    {
        asanheap::install();
        auto searcher = engine();
        std::vector<std::weak_ptr<ResultStore>> released;
        qint64 baseline = 0;
        const int batches = 20;
        const int perBatch = 50;
        for (int b = 0; b < batches; ++b) {
            for (int i = 0; i < perBatch; ++i) {
                auto request = std::make_shared<FileSearchRequest>();
                request->includePaths = QStringList{tree};
                request->contents = QStringLiteral("needle");
                auto results = std::make_shared<ResultStore>();
                // Rows found before the cancel: what a whole-machine search would hold.
                for (int r = 0; r < 2000; ++r)
                    results->addFile(QStringLiteral("found-%1-%2.dat").arg(b).arg(r), QStringLiteral("/some/folder"), 0);
                released.push_back(results);
                SearchRun* run = SearchRun::find(searcher.get(), request, results);
                run->cancel(); // the tab gives the search up and forgets it
            }
            QTRY_COMPARE_WITH_TIMEOUT(searcher->filedFindCount(), 0, 30000);
            QTRY_COMPARE_WITH_TIMEOUT(liveRuns(*searcher), 0, 30000);
            if (b == 1)
                baseline = residentBytes();
        }
        for (const auto& results : released)
            QVERIFY(results.expired());
        // Memory stays flat: each batch held about 50 x 2000 rows until its cancels ended.
        const qint64 growth = residentBytes() - baseline;
        QVERIFY2(growth < 40 * 1024 * 1024, qPrintable(QStringLiteral("grew by %1 bytes").arg(growth)));
    }

    void aWholeSearchReportsOnceAndNamesMissingFolders()
    {
        auto searcher = engine();
        auto request = std::make_shared<FileSearchRequest>();
        request->fileName = QStringLiteral("file1");
        request->includePaths = QStringList{tree + QStringLiteral("/d1"), tree + QStringLiteral("/gone")};
        auto results = std::make_shared<ResultStore>();
        std::weak_ptr<ResultStore> watched = results;
        QPointer<SearchRun> run = SearchRun::find(searcher.get(), request, results);
        QSignalSpy finished(run.data(), &SearchRun::finished);
        QVERIFY(run->isRunning());
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.count(), 1);
        const FindOutcome outcome = finished.first().at(0).value<FindOutcome>();
        QVERIFY(!outcome.canceled);
        QCOMPARE(outcome.missingFolders, QStringList{tree + QStringLiteral("/gone")});
        QCOMPARE(results->itemCount(), 6); // file1, file101, file121, file141, file161, file181
        QTRY_VERIFY(run.isNull());
        results.reset();
        QVERIFY(watched.expired()); // the run shared it and has let it go
    }

    void runsGoWithTheirEngine()
    {
        auto searcher = engine();
        auto request = std::make_shared<FileSearchRequest>();
        request->includePaths = QStringList{tree};
        request->contents = QStringLiteral("needle");
        auto results = std::make_shared<ResultStore>();
        std::weak_ptr<ResultStore> watched = results;
        QPointer<SearchRun> run = SearchRun::find(searcher.get(), request, results);
        results.reset();
        request.reset();
        searcher.reset(); // ends its searches silently; the run must not wait for a report
        QVERIFY(run.isNull());
        QVERIFY(watched.expired());
    }

    void aMatchesRunKeepsItsHolderUntilTheEnd()
    {
        auto searcher = engine();
        FileSearchRequest base;
        base.contents = QStringLiteral("needle");
        auto request = std::make_shared<FileSearchRequest>(FileSearchRequest::cloneForMatches(base));
        auto holder = std::make_shared<TempFileHolder>();
        std::weak_ptr<TempFileHolder> watched = holder;
        QPointer<SearchRun> run =
            SearchRun::findMatches(searcher.get(), request, tree + QStringLiteral("/d0/file0.txt"), holder);
        QSignalSpy finished(run.data(), &SearchRun::finished);
        holder.reset();
        run->cancel();
        QVERIFY(!watched.expired()); // the engine may still write into it
        QVERIFY(finished.wait(10000));
        QVERIFY(finished.first().at(0).value<FindOutcome>().canceled);
        QTRY_VERIFY(run.isNull());
        QVERIFY(watched.expired());
        QCOMPARE(searcher->filedMatchesCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSearchRun)
#include "tst_searchrun.moc"
