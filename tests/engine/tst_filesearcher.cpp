// The search engine façade end to end (without the name index): initialisation order, name
// search over folder walking, contents/date/size checks, counting, matches search, concurrent
// searches with one cancelled, ids in the signals, and the private working folder.
#include "core/ContentFile.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/DirectorySearcher.h"
#include "search/engine/FileSearch.h"
#include "search/model/IStringMatcher.h"
#include "search/model/TempFileHolder.h"
#include "search/textextract/Helper64Client.h"
#include "search/textextract/IFilterConverter.h"
#include "search/textextract/PDFConverter.h"
#include "search/textextract/RegistryFile.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "tests/engine/enginetest.h"
#include "tests/textextract/docgen.h"
#include "threadsafespy.h"
#include "scopedinstance.h"

#include <QDir>
#include <QThread>
#include <QTemporaryDir>
#include <QtTest>

#include <QDeadlineTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

using namespace enginetest;

namespace {

void setMtime(const QString& path, const QDateTime& when)
{
    struct utimbuf t;
    t.actime = t.modtime = time_t(when.toSecsSinceEpoch());
    QCOMPARE(::utime(QFile::encodeName(path).constData(), &t), 0);
}

int modeOf(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) ? int(st.st_mode & 0777) : -1;
}

} // namespace

class TestFileSearcher : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString tree;
    QString work;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("test.log")));
        tree = tmp.filePath(QStringLiteral("tree"));
        work = tmp.filePath(QStringLiteral("work"));
        QVERIFY(testutil::writeFile(tree + "/notes.txt", "alpha beta\nbeta gamma\n"));
        QVERIFY(testutil::writeFile(tree + "/empty.txt", ""));
        QVERIFY(testutil::writeFile(tree + "/docs/report.txt", "beta beta beta\n"));
        QVERIFY(testutil::writeFile(tree + "/docs/old.log", "alpha\n"));
        QVERIFY(QDir().mkpath(tree + "/docs/beta folder"));
        QVERIFY(QDir().mkpath(tree + "/.svn/beta"));
        QVERIFY(testutil::writeFile(tree + "/.svn/beta/hidden.txt", "beta\n"));
    }

    void findWaitsForInitWithoutIndexAndCarriesId()
    {
        FileSearcher searcher(work, 0);
        QSignalSpy found(&searcher, &FileSearcher::findFinished);
        QSignalSpy init(&searcher, &FileSearcher::initFinished);
        QSignalSpy updates(&searcher, &FileSearcher::updateStarted);
        FileSearchRequest request;
        request.fileName = "*.txt";
        request.includePaths = QStringList{tree};
        request.excludePaths = QStringList{".SVN"};
        ResultStore results;
        searcher.find(&request, &results);
        QTest::qWait(200); // proves an absence
        QCOMPARE(found.count(), 0); // not started before the initialisation
        int checked = -5, total = -5;
        searcher.findProgress(request.id, checked, total);
        QCOMPARE(checked, 0); // filed: a name-only search reports 0 and 0
        QCOMPARE(total, 0);
        searcher.init(IndexingSettings(), options());
        QCOMPARE(init.count(), 1); // without an index: synchronously, before init returns
        QVERIFY(searcher.isInitialized());
        searcher.update(IndexingSettings());
        QCOMPARE(updates.count(), 0);
        QMap<QString, int> counts;
        searcher.indexedCounts(counts);
        QVERIFY(counts.isEmpty());
        QVERIFY(searcher.listIFilters64().empty()); // no helper beside the test program
        QVERIFY(waitFor(found, request.id));
        QCOMPARE(found.count(), 1);
        QCOMPARE(paths(results), QStringList({tree + "/docs/report.txt", tree + "/empty.txt",
                                              tree + "/notes.txt"}));
        // Finished searches are no longer filed.
        checked = total = -5;
        searcher.findProgress(request.id, checked, total);
        QCOMPARE(checked, -5);
        QCOMPARE(total, -5);
        QVERIFY(logText().contains(QStringLiteral("File search started: id=%1").arg(request.id)));
        QVERIFY(logText().contains(QStringLiteral("File search finished: id = %1, 3 objects found").arg(request.id)));

        // Without include folders (and without an index) the local volumes are walked: here
        // the tree, the one volume of a scripted layer.
        ScriptedVolumeLayer layer;
        layer.addVolume(ScriptedVolumeLayer::describe(tree, "ext4", 0x31, true));
        FileSearchRequest everywhere;
        everywhere.fileName = "*.txt";
        everywhere.excludePaths = QStringList{".SVN"};
        QStringList found2;
        {
            const testutil::ScopedInstance<VolumeLayer> installed(&layer);
            found2 = search(searcher, everywhere);
        }
        QCOMPARE(found2, QStringList({tree + "/docs/report.txt", tree + "/empty.txt", tree + "/notes.txt"}));
    }

    void contentsDatesSizesAndCounting()
    {
        FileSearcher searcher(work, 0);
        searcher.init(IndexingSettings(), options());
        QSignalSpy found(&searcher, &FileSearcher::findFinished);

        FileSearchRequest request;
        request.includePaths = QStringList{tree};
        request.contents = "beta";
        request.countMatches = true;
        ResultStore results;
        searcher.find(&request, &results);
        QVERIFY(waitFor(found, request.id));
        // Folders never pass a contents test; every match is counted.
        QCOMPARE(results.sizes().dirs, 0);
        QMap<QString, int> counts;
        for (const ResultStore::Entry& e : testutil::storedEntries(results))
            counts[ResultStore::entryPath(e)] = e.matches;
        QCOMPARE(counts.value(tree + "/notes.txt"), 2);
        QCOMPARE(counts.value(tree + "/docs/report.txt"), 3);
        QCOMPARE(counts.value(tree + "/.svn/beta/hidden.txt"), 1);
        QCOMPARE(counts.size(), 3);

        // Size bound 0: only empty files pass, every folder fails.
        FileSearchRequest sized;
        sized.includePaths = QStringList{tree};
        sized.maxSize = 0;
        QCOMPARE(search(searcher, sized), QStringList({tree + "/empty.txt"}));

        // Dates: the upper bound includes its whole day, the lower starts at 00:00.
        const QDate day(2024, 3, 10);
        const QString dated = tmp.filePath("dated");
        const QList<QPair<QString, QDateTime>> times{
            {"/before", QDateTime(day.addDays(-1), QTime(23, 59, 59))}, {"/start", QDateTime(day, QTime(0, 0))},
            {"/ten", QDateTime(day, QTime(10, 0))}, {"/last", QDateTime(day, QTime(23, 59, 59))},
            {"/next", QDateTime(day.addDays(1), QTime(0, 0))}};
        for (const auto& t : times) {
            QVERIFY(testutil::writeFile(dated + t.first, "x"));
            setMtime(dated + t.first, t.second);
        }
        setMtime(dated, QDateTime(day, QTime(12, 0)));
        FileSearchRequest byDate;
        byDate.includePaths = QStringList{tmp.path()};
        byDate.includeSubfolders = true;
        byDate.excludePaths = QStringList{tmp.filePath("tree"), tmp.filePath("work")};
        byDate.minDate = day;
        byDate.maxDate = day;
        ResultStore inDay;
        searcher.find(&byDate, &inDay);
        QVERIFY(waitFor(found, byDate.id));
        QCOMPARE(paths(inDay), QStringList({dated, dated + "/last", dated + "/start", dated + "/ten"}));
        QCOMPARE(inDay.sizes().dirs, 1); // folders take part in the date tests
    }

    void matchesSearch()
    {
        FileSearcher searcher(work, 0);
        searcher.init(IndexingSettings(), options());
        QSignalSpy matches(&searcher, &FileSearcher::findMatchesFinished);
        FileSearchRequest base;
        base.contents = "beta";
        FileSearchRequest request = FileSearchRequest::cloneForMatches(base);
        TempFileHolder holder;
        searcher.findMatches(&request, tree + "/notes.txt", &holder);
        QVERIFY(waitFor(matches, request.id));
        QCOMPARE(holder.lineCount, 2);
        QCOMPARE(holder.matches.size(), 2);
        QCOMPARE(holder.matches[1].line, 1);
        QCOMPARE(holder.matches[1].positions, MatchPositions({{0, 4}}));
        QCOMPARE(holder.path, tree + "/notes.txt");

        // A task that fails still reports; cancelling a finished id does nothing.
        FileSearchRequest missing = FileSearchRequest::cloneForMatches(base);
        TempFileHolder none;
        searcher.findMatches(&missing, tree + "/missing.txt", &none);
        QVERIFY(waitFor(matches, missing.id));
        searcher.cancelFindMatches(missing.id);
        QVERIFY(logText().contains("findAll - Failed to open " + tree + "/missing.txt"));

        // The tab deletes its matches request right after cancelling, while the search stays
        // filed until its finished signal arrives: destroying the engine before that must not
        // touch the request again (here: must not set its flag once more).
        FileSearchRequest gone = FileSearchRequest::cloneForMatches(base);
        {
            FileSearcher other(work, 0);
            TempFileHolder h;
            other.findMatches(&gone, tree + "/notes.txt", &h);
            other.cancelFindMatches(gone.id);
            gone.canceled = false; // stands for the request being gone
        }
        QVERIFY(!gone.canceled);
    }

    void refileSameIdAndCancelOneOfTwo()
    {
        // A slow stand-in for the PDF program, so that both searches are busy for a while.
        const QString script = tmp.filePath("slowpdf.sh");
        QVERIFY(testutil::writeFile(script, "#!/bin/sh\nsleep 0.1\nprintf 'quokka\\n' | iconv -f UTF-8 -t UTF-16BE\n"));
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString a = tmp.filePath("pdfA");
        const QString b = tmp.filePath("pdfB");
        const int perFolder = 40;
        for (int i = 0; i < perFolder; ++i) {
            QVERIFY(testutil::writeFile(QStringLiteral("%1/a%2.pdf").arg(a).arg(i), "%PDF"));
            QVERIFY(testutil::writeFile(QStringLiteral("%1/b%2.pdf").arg(b).arg(i), "%PDF"));
        }
        FileSearcher searcher(work, 0);
        searcher.contentSearcherForTests()->pdf()->setProgram(script);
        searcher.init(IndexingSettings(), options());
        QSignalSpy found(&searcher, &FileSearcher::findFinished);

        FileSearchRequest first;
        first.includePaths = QStringList{a};
        first.contents = "quokka";
        FileSearchRequest second = first;
        second.id = first.id + 100000; // a distinct id
        second.includePaths = QStringList{b};
        ResultStore firstResults, secondResults;
        searcher.find(&first, &firstResults);
        searcher.find(&second, &secondResults);
        int checked = 0, total = 0;
        QTRY_COMPARE_WITH_TIMEOUT((searcher.findProgress(first.id, checked, total), total), perFolder, 60000);
        QVERIFY(checked < perFolder);
        QSignalSpy ended(&searcher, &FileSearcher::findEnded);
        searcher.cancelFind(first.id); // returns once its thread has ended
        const int kept = firstResults.itemCount();
        QCOMPARE(found.count(), 0); // reported after the return, not from inside it
        QVERIFY(waitFor(found, second.id));
        QVERIFY(waitFor(found, first.id));
        QTest::qWait(200); // proves an absence
        QCOMPARE(firstResults.itemCount(), kept); // no work after the cancellation
        QCOMPARE(secondResults.itemCount(), perFolder); // the other search lost nothing
        int firstReports = 0;
        for (const auto& args : found)
            firstReports += args.at(0).toInt() == first.id;
        QCOMPARE(firstReports, 1); // a cancelled search reports its end once
        for (const auto& args : ended)
            QCOMPARE(args.at(1).value<FindOutcome>().canceled, args.at(0).toInt() == first.id);
        QVERIFY(!logText().contains(QStringLiteral("File search finished: id = %1,").arg(first.id)));
        QVERIFY(logText().contains(QStringLiteral("File search finished: id = %1, %2 objects found")
                                       .arg(second.id).arg(perFolder)));

        // Filing a request id again replaces the earlier search: one report, new results.
        // The replacement is a copy (same id): the first request must not change while its
        // search still reads it.
        FileSearchRequest again;
        again.includePaths = QStringList{b};
        again.fileName = "b1*";
        FileSearchRequest replacement(again);
        replacement.fileName = "b2*";
        ResultStore old, fresh;
        searcher.find(&again, &old);
        searcher.find(&replacement, &fresh);
        QVERIFY(waitFor(found, again.id));
        QTest::qWait(200); // proves an absence: no second report
        int reports = 0;
        for (const auto& args : found)
            reports += args.at(0).toInt() == again.id;
        QCOMPARE(reports, 1);
        QCOMPARE(fresh.itemCount(), 11); // b2, b20..b29
        searcher.cancelFind(12345678); // unknown ids do nothing
    }

    // Every search reports its end once, however it ends, so that nothing stays filed: stopped
    // while running, stopped before the initialisation, its flag raised directly before the
    // initialisation; the flag path also stops the index search of nested volumes.
    void everyEndIsReported()
    {
        const QString many = tmp.filePath("endmany");
        for (int i = 0; i < 300; ++i)
            QVERIFY(testutil::writeFile(QStringLiteral("%1/d%2/f.txt").arg(many).arg(i), "needle\n"));
        FileSearcher searcher(work, 0);
        QSignalSpy found(&searcher, &FileSearcher::findFinished);
        QSignalSpy ended(&searcher, &FileSearcher::findEnded);
        const auto outcomeOf = [&](int id) {
            for (const auto& args : ended)
                if (args.at(0).toInt() == id)
                    return args.at(1).value<FindOutcome>();
            return FindOutcome{false, {QStringLiteral("<none>")}};
        };

        // Before the initialisation: one stopped through the engine ends at once, one whose flag
        // was raised directly ends when it is started.
        FileSearchRequest early, flagged;
        early.includePaths = flagged.includePaths = QStringList{many};
        ResultStore earlyResults, flaggedResults;
        searcher.find(&early, &earlyResults);
        searcher.find(&flagged, &flaggedResults);
        searcher.stopFind(early.id);
        flagged.canceled = true;
        QVERIFY(waitFor(found, early.id));
        QCOMPARE(searcher.filedFindCount(), 1);
        QVERIFY(outcomeOf(early.id).canceled);
        searcher.init(IndexingSettings(), options());
        QVERIFY(waitFor(found, flagged.id));
        QVERIFY(outcomeOf(flagged.id).canceled);
        QCOMPARE(searcher.filedFindCount(), 0);

        // Stopped while it runs: the call returns at once, the end follows, once.
        FileSearchRequest running;
        running.includePaths = QStringList{many};
        running.contents = "needle";
        ResultStore runningResults;
        searcher.find(&running, &runningResults);
        searcher.stopFind(running.id);
        QVERIFY(waitFor(found, running.id));
        QVERIFY(outcomeOf(running.id).canceled);
        QCOMPARE(searcher.filedFindCount(), 0);
        QTest::qWait(100); // proves an absence: no second report
        int reports = 0;
        for (const auto& args : found)
            reports += args.at(0).toInt() == running.id;
        QCOMPARE(reports, 1);
        QCOMPARE(ended.count(), found.count()); // findEnded comes with every findFinished
        QVERIFY(logText().contains(QStringLiteral("File search canceled: id = %1,").arg(running.id)));

        // A whole search is not canceled, and says which include folders are not there.
        FileSearchRequest partly;
        partly.fileName = "f.txt";
        partly.includePaths = QStringList{tree, tree + "/nope", tree + "/notes.txt/below", many + "/d7"};
        ResultStore partlyResults;
        searcher.find(&partly, &partlyResults);
        QVERIFY(waitFor(found, partly.id));
        QCOMPARE(outcomeOf(partly.id).canceled, false);
        QCOMPARE(outcomeOf(partly.id).missingFolders, QStringList({tree + "/nope", tree + "/notes.txt/below"}));
        QCOMPARE(paths(partlyResults), QStringList{many + "/d7/f.txt"});

        // The flag path reaches the index search of volumes nested in an include folder.
        DirectorySearcher directories;
        FileSearchRequest nested;
        ResultStore nestedResults;
        FileSearch unstarted(nullptr, &directories, nullptr, nullptr, &nested, &nestedResults);
        unstarted.raiseCancel();
        QVERIFY(nested.canceled);
        QVERIFY(unstarted.nestedSearchCanceled());
    }

    void optionsChangeWhileSearching()
    {
        // The options dialog may publish new settings while checks run: each search keeps the
        // settings it started with, and nothing is torn down under its feet.
        const QString many = tmp.filePath("many");
        for (int i = 0; i < 400; ++i)
            QVERIFY(testutil::writeFile(QStringLiteral("%1/f%2.txt").arg(many).arg(i),
                                        i % 4 == 0 ? "needle here\n" : "nothing\n"));
        FileSearcher searcher(work, 0);
        searcher.init(IndexingSettings(), options());
        QSignalSpy found(&searcher, &FileSearcher::findFinished);
        FileSearchRequest request;
        request.includePaths = QStringList{many};
        request.contents = "needle";
        ResultStore results;
        searcher.find(&request, &results);
        ContentSearchOptions other = options();
        for (int i = 0; i < 300 && found.isEmpty(); ++i) {
            other.useBuiltInPDF = i % 2;
            other.ifilters32 = {IFilterInfo{L"{x}", L"x", {L"txt"}}};
            other.disabledExtensions = QStringList{i % 3 ? "txt" : "doc"};
            searcher.setContentSearchOptions(i % 2 ? other : options());
            QCoreApplication::processEvents();
        }
        QVERIFY(waitFor(found, request.id));
        QCOMPARE(results.itemCount(), 100);
    }

    // Destroying the searcher cancels a name search and a matches search whose conversions are
    // under way instead of waiting for them: no conversion runs to its end, and the programs are
    // stopped.
    void stopCancelsRunningSearches()
    {
        // A stand-in for the PDF program that notes its start (by pid) and, had it run for its
        // whole time, its end.
        const QString marks = tmp.filePath("stopmarks");
        QVERIFY(QDir().mkpath(marks));
        const QByteArray folder = QFile::encodeName(marks);
        const QString script = tmp.filePath("blockingpdf.sh");
        QVERIFY(testutil::writeFile(
            script, "#!/bin/sh\ntouch '" + folder + "/started.'$$\nsleep 30\ntouch '" + folder +
                        "/ended.'$$\nprintf 'quokka\\n' | iconv -f UTF-8 -t UTF-16BE\n"));
        QVERIFY(
            QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        auto searcher = std::make_unique<FileSearcher>(work, 0);
        searcher->contentSearcherForTests()->pdf()->setProgram(script);
        searcher->init(IndexingSettings(), options());
        FileSearchRequest request;
        request.includePaths = QStringList{tmp.filePath("pdfA")};
        request.contents = "quokka";
        ResultStore results;
        searcher->find(&request, &results);
        FileSearchRequest matches = FileSearchRequest::cloneForMatches(request);
        TempFileHolder holder;
        searcher->findMatches(&matches, tmp.filePath("pdfA/a1.pdf"), &holder);
        QTRY_VERIFY(!QDir(marks).entryList({QStringLiteral("started.*")}).isEmpty());
        QTest::qWait(50); // a fixed wait: both searches under way (nothing shows that)
        searcher.reset(); // stop + destroy with a name search and a matches search in flight
        QVERIFY(QDir(marks).entryList({QStringLiteral("ended.*")}).isEmpty());
        QCOMPARE(results.itemCount(), 0);
        for (const QString& started : QDir(marks).entryList({QStringLiteral("started.*")})) {
            const QByteArray pid = started.mid(8).toUtf8();
            QTRY_VERIFY(!QFileInfo::exists("/proc/" + pid + "/cmdline") ||
                        testutil::readFile("/proc/" + pid + "/stat").contains(") Z "));
        }
    }

    // A contents search whose check phase waits for the helper program, busy with another
    // search's conversion, is cancelled at once instead of after that conversion.
    void cancelWhileHelperBusy()
    {
        // A helper whose filter for RTF announces itself and then stalls.
        const QString started = tmp.filePath("stallbin.started");
        const QString stalling = testutil::helperWithScriptFilter(
            tmp.filePath("stallbin"), "rtf", "touch '" + QFile::encodeName(started) + "'\nexec sleep 40\n");
        QVERIFY(!stalling.isEmpty());
        Helper64Client client(work, stalling, 5000);
        QCOMPARE(client.currentState(), Helper64Client::State::Running);
        const QString doc = tmp.filePath("stall.rtf");
        QVERIFY(testutil::writeFile(doc, "{\\rtf1\\ansi slow}"));
        std::unique_ptr<QThread> busy(QThread::create([&] { (void)client.convert(ContentFile::open(doc)); }));
        busy->start();
        QTRY_VERIFY(QFile::exists(started)); // the conversion holds the helper

        DirectorySearcher directories;
        ContentSearcher contents(&client, work);
        contents.setSettings(options());
        FileSearchRequest request;
        request.includePaths = QStringList{tree};
        request.contents = "beta";
        ResultStore results;
        auto search = std::make_unique<FileSearch>(nullptr, &directories, &contents, &client,
                                                   &request, &results);
        QSignalSpy finished(search.get(), &FileSearch::finished);
        search->start();
        QTest::qWait(300); // a fixed wait: the name phase is over, the check phase waits for the helper
        QCOMPARE(results.itemCount(), 0);
        search->cancel();
        // The cancel did not wait for the helper: the other conversion still holds it (until
        // the helper's pipe wait of 5 s ends it).
        QVERIFY(busy->isRunning());
        search.reset();
        QCOMPARE(finished.count(), 1); // its end is reported, canceled
        QCOMPARE(results.itemCount(), 0);
        QVERIFY(busy->wait(20000));
    }

    // Books that stop inflating part-way (in container.xml, in the package, in a chapter) next
    // to a conversion that takes its time: the search ends by itself, and a cancel while the
    // slow conversion runs returns at once. (Had a check spun in an XML loop, neither would
    // happen: the program reports that and exits, since the spinning thread cannot be stopped.)
    void hostileBooksEndAndCancelPromptly()
    {
        const QString folder = tmp.filePath("hostile");
        QVERIFY(QDir().mkpath(folder));
        const QByteArray padding = docgen::xmlPadding(3000);
        const QByteArray container = "<?xml version=\"1.0\"?><container>" + padding
                                     + "<rootfiles><rootfile full-path=\"c.opf\"/></rootfiles></container>";
        const QByteArray package = "<package><manifest><item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>"
                                   "</manifest><spine><itemref idref=\"a\"/>" + padding + "</spine></package>";
        int n = 0;
        for (const QString& damaged : {QStringLiteral("META-INF/container.xml"), QStringLiteral("c.opf")}) {
            const QString book = QStringLiteral("%1/book%2.epub").arg(folder).arg(n++);
            QVERIFY(docgen::writeZip(book, {{"META-INF/container.xml", container}, {"c.opf", package},
                                            {"a.xhtml", "<html><body><p>alpha</p></body></html>"}}));
            QByteArray zip = testutil::readFile(book);
            QVERIFY(docgen::damageMember(zip, damaged, damaged.endsWith(QLatin1String(".xml")) ? 33 : 80));
            QVERIFY(testutil::writeFile(book, zip));
        }
        QVERIFY(QFile::copy(QDir::cleanPath(QStringLiteral(TQ_TEST_DATA_DIR "/../../textextract/data/damaged-member.epub")),
                            folder + "/chapter.epub"));
        QVERIFY(testutil::writeFile(folder + "/plain.txt", "alpha\n"));

        DirectorySearcher directories;
        ContentSearcher contents(nullptr, work);
        contents.setSettings(options());
        {
            FileSearchRequest request;
            request.includePaths = QStringList{folder};
            request.contents = "alpha";
            ResultStore results;
            FileSearch search(nullptr, &directories, &contents, nullptr, &request, &results);
            // FileSearch::finished comes from the FIND worker while this thread reads the count.
            testutil::ThreadSafeSpy finished(&search, &FileSearch::finished);
            docgen::endsWithin(20000, "a search of damaged books", [&] {
                search.start();
                QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 19000);
            });
            // The package cut short still names its chapter; the damaged chapter's text before
            // the fault holds no "alpha".
            QCOMPARE(paths(results), (QStringList{folder + "/book1.epub", folder + "/plain.txt"}));
        }
        // A conversion that takes its time keeps a check busy: the cancel returns at once.
        const QString started = tmp.filePath("slowpdf.started");
        const QString ended = tmp.filePath("slowpdf.ended");
        const QString script = tmp.filePath("slowestpdf.sh");
        QVERIFY(testutil::writeFile(script, "#!/bin/sh\ntouch '" + QFile::encodeName(started) +
                                                "'\nsleep 30\ntouch '" + QFile::encodeName(ended) +
                                                "'\n"));
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        contents.pdf()->setProgram(script);
        QVERIFY(testutil::writeFile(folder + "/slow.pdf", "%PDF-1.4\n"));
        FileSearchRequest request;
        request.includePaths = QStringList{folder};
        request.contents = "alpha";
        ResultStore results;
        FileSearch search(nullptr, &directories, &contents, nullptr, &request, &results);
        search.start();
        QTRY_VERIFY(QFile::exists(started));
        docgen::endsWithin(10000, "the cancel of a search converting a slow document", [&] { search.cancel(); });
        // The conversion was stopped, not waited for.
        QVERIFY(!QFile::exists(ended));
    }

    // The memory of a whole contents search is bounded, all pool threads together, whatever
    // the files: eight small workbooks, each a row of 400 cells that all name one string of
    // 30,000 characters (12 million characters of text each, one line), searched at once.
    void wholeSearchMemoryIsBounded()
    {
        const QString folder = tmp.filePath("workbooks");
        QVERIFY(QDir().mkpath(folder));
        QByteArray row = "<worksheet><sheetData><row>";
        for (int i = 0; i < 400; ++i)
            row += "<c t=\"s\"><v>0</v></c>";
        row += "</row></sheetData></worksheet>";
        for (int i = 0; i < 8; ++i)
            QVERIFY(docgen::writeZip(QStringLiteral("%1/book%2.xlsx").arg(folder).arg(i),
                                     {{"xl/workbook.xml", "<workbook/>"},
                                      {"xl/sharedStrings.xml", "<sst><si><t>" + QByteArray(29990, 'w') + " needle</t></si></sst>"},
                                      {"xl/worksheets/sheet1.xml", row}}));
        auto registry = std::make_shared<RegistryFile>();
        QVERIFY(registry->load(testutil::programDir() + QLatin1Char('/') + RegistryFile::inProcessFileName()));
        RegistryFile::setMachine(registry);
        DirectorySearcher directories;
        ContentSearcher contents(nullptr, work);
        ContentSearchOptions o = options();
        o.ifilters32 = getIFiltersFromRegistry();
        contents.setSettings(o);
        FileSearchRequest request;
        request.includePaths = QStringList{folder};
        request.contents = "needle";
        request.countMatches = true;
        ResultStore results;
        const long grownKiB = docgen::peakGrowthKiB([&] {
            FileSearch search(nullptr, &directories, &contents, nullptr, &request, &results);
            // FileSearch::finished comes from the FIND thread.
            testutil::ThreadSafeSpy finished(&search, &FileSearch::finished);
            search.start();
            QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 60000);
        });
        QCOMPARE(results.itemCount(), 8);
        QCOMPARE(results.entryAt(ResultStore::Files, 0).matches, 400);
        QVERIFY2(grownKiB < 96 * 1024, qPrintable(QString::number(grownKiB)));
    }

    // What the contents checks of a search pass over is counted and logged in one line, not
    // one line per file.
    void passedOverFilesAreCountedOnce()
    {
        const QString folder = tmp.filePath("passedover");
        for (int i = 0; i < 5; ++i)
            QVERIFY(testutil::writeFile(QStringLiteral("%1/blob%2.bin").arg(folder).arg(i), QByteArray("\x7F" "ELF\0\0 needle", 13)));
        QVERIFY(testutil::writeFile(folder + "/text.txt", "needle\n"));
        QCOMPARE(::symlink("nowhere", QFile::encodeName(folder + "/dangling.txt").constData()), 0);
        DirectorySearcher directories;
        ContentSearcher contents(nullptr, work);
        contents.setSettings(options());
        FileSearchRequest request;
        request.includePaths = QStringList{folder};
        request.contents = "needle";
        ResultStore results;
        const int logSize = logText().size();
        {
            FileSearch search(nullptr, &directories, &contents, nullptr, &request, &results);
            testutil::ThreadSafeSpy finished(&search, &FileSearch::finished); // from the FIND thread
            search.start();
            QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 20000);
        }
        QCOMPARE(paths(results), QStringList{folder + "/text.txt"});
        const QString log = logText().mid(logSize);
        QVERIFY2(log.contains(QStringLiteral("Contents of search %1: 5 binary files skipped, 1 file could not be read\r\n")
                                  .arg(request.id)),
                 qPrintable(log));
        QVERIFY(!log.contains("skip BINARY"));
        QVERIFY(!log.contains("Failed to open"));
    }

    void privateWorkingFolder()
    {
        // Created 0700; a folder of ours with wider rights is narrowed.
        const QString fresh = tmp.filePath("w1/sub");
        QCOMPARE(FileSearcher::preparePrivateFolder(fresh), fresh);
        QCOMPARE(modeOf(fresh), 0700);
        QVERIFY(::chmod(QFile::encodeName(fresh).constData(), 0777) == 0);
        QCOMPARE(FileSearcher::preparePrivateFolder(fresh), fresh);
        QCOMPARE(modeOf(fresh), 0700);

        // A link (possibly planted by someone else) is never used.
        const QString link = tmp.filePath("w2");
        QVERIFY(QFile::link(tmp.filePath("tree"), link));
        const QString instead = FileSearcher::preparePrivateFolder(link);
        QVERIFY(instead != link && !instead.isEmpty());
        QVERIFY(instead.startsWith(link + "-"));
        QCOMPARE(modeOf(instead), 0700); // a real folder, not a link

        if (testutil::isRoot()) {
            const QString foreign = tmp.filePath("w3");
            QVERIFY(QDir().mkpath(foreign));
            QCOMPARE(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
            QVERIFY(FileSearcher::preparePrivateFolder(foreign) != foreign);
        }
        FileSearcher searcher(link, 0);
        QVERIFY(searcher.workingFolder() != link);
    }
};

QTEST_GUILESS_MAIN(TestFileSearcher)
#include "tst_filesearcher.moc"
