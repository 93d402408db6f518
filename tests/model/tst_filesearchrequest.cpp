// FileSearchRequest, MatchOptions and FileProperties.
#include "search/model/FileProperties.h"
#include "search/model/FileSearchRequest.h"

#include <QMetaType>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <set>
#include <thread>
#include <type_traits>
#include <vector>

class TestFileSearchRequest : public QObject
{
    Q_OBJECT

private slots:
    // The counters are process-wide (requests from 0, clones for matches from 1000): the ids
    // are checked relative to the first ones drawn here, so any test order gives the same result.
    void idsComeFromTwoCounters()
    {
        FileSearchRequest first;
        QVERIFY(first.id >= 0 && first.id < 1000);
        const int base = first.id;
        FileSearchRequest second;
        QCOMPARE(second.id, base + 1);
        const FileSearchRequest clone = FileSearchRequest::cloneForMatches(first);
        QVERIFY(clone.id >= 1000);
        QCOMPARE(FileSearchRequest::cloneForMatches(first).id, clone.id + 1);
        if (qEnvironmentVariableIsSet("TQ_FRESH_PROCESS")) {
            QCOMPARE(base, 0);
            QCOMPARE(clone.id, 1000);
        }
        // Copies keep the id and draw nothing from the counter.
        FileSearchRequest copy(second);
        QCOMPARE(copy.id, base + 1);
        FileSearchRequest third;
        QCOMPARE(third.id, base + 2);
        copy = third;
        QCOMPARE(copy.id, base + 2);
    }

    // In a fresh process the two counters start at 0 and 1000 (this program, run again for the
    // test above alone).
    void countersStartAtZeroAndThousand()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQ_FRESH_PROCESS"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("idsComeFromTwoCounters")});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
    }

    void idsAreUniqueAcrossThreads()
    {
        std::vector<std::thread> threads;
        std::vector<std::vector<int>> ids(4);
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&ids, t] {
                for (int i = 0; i < 500; ++i)
                    ids[t].push_back(FileSearchRequest().id);
            });
        }
        for (auto& thread : threads)
            thread.join();
        std::set<int> all;
        for (const auto& list : ids)
            all.insert(list.begin(), list.end());
        QCOMPARE(int(all.size()), 2000);
    }

    // A copy keeps the cancel flag; a clone for the matches pass starts uncancelled under a
    // new id. The flag is atomic: searches raise it from another thread.
    void copiesClonesAndNameOnly()
    {
        static_assert(std::is_same<decltype(FileSearchRequest::canceled), CancelFlag>::value
                          && std::is_same<CancelFlag, std::atomic<bool>>::value,
                      "the cancel flag is read by worker threads");
        FileSearchRequest r;
        QVERIFY(r.isNameOnly());
        r.fileName = QStringLiteral("report");
        r.lineScope = true;
        r.canceled = true;
        const FileSearchRequest copy(r);
        QVERIFY(copy.canceled);
        QVERIFY(copy.lineScope);
        const FileSearchRequest clone = FileSearchRequest::cloneForMatches(r);
        QVERIFY(!clone.canceled);
        QVERIFY(r.canceled);
        QCOMPARE(clone.fileName, r.fileName);
        QVERIFY(clone.id >= 1000);

        FileSearchRequest sized, dated, contents, badDate;
        sized.maxSize = 0; // size 0 is a bound
        dated.minDate = QDate(2020, 1, 1);
        contents.contents = QStringLiteral("a");
        badDate.maxDate = QDate(2020, 2, 30);
        QVERIFY(!sized.isNameOnly() && !dated.isNameOnly() && !contents.isNameOnly());
        QVERIFY(badDate.isNameOnly());
    }

    void matchOptions_data()
    {
        QTest::addColumn<int>("syntax");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("boolean");
        QTest::newRow("substring") << 0 << 0 << 0;
        QTest::newRow("whole word") << 1 << 1 << 0;
        QTest::newRow("regex") << 2 << 2 << 0;
        QTest::newRow("boolean") << 3 << 0 << 1;
    }

    void matchOptions()
    {
        QFETCH(int, syntax);
        QFETCH(int, kind);
        QFETCH(int, boolean);
        FileSearchRequest r;
        r.nameSyntax = syntax;
        r.nameCase = true;
        r.contentsSyntax = syntax;
        r.lineScope = false; // contents scope "File"

        const MatchOptions name = r.matchOptions(true);
        QCOMPARE(name.kind, kind);
        QCOMPARE(name.boolean, boolean);
        QVERIFY(name.caseSensitive);
        QVERIFY(name.forName);
        QCOMPARE(name.fileScope, 0); // names never collect across calls

        const MatchOptions contents = r.matchOptions(false);
        QCOMPARE(contents.kind, kind);
        QCOMPARE(contents.boolean, boolean);
        QVERIFY(!contents.caseSensitive);
        QVERIFY(!contents.forName);
        QCOMPARE(contents.fileScope, 1);
        r.lineScope = true;
        QCOMPARE(r.matchOptions(false).fileScope, 0);
    }

    void toStringFormat()
    {
        FileSearchRequest r;
        r.id = 7;
        r.fileName = QStringLiteral("%2 a");
        r.includePaths = QStringList{QStringLiteral("/a"), QStringLiteral("/b")};
        r.contents = QStringLiteral("text");
        QCOMPARE(r.toString(), QStringLiteral("id=7, includeName=%2 a, includePath=/a, /b, "
                                              "excludePath=, includeText=text"));
    }

    void idTravelsInQueuedSignals()
    {
        FileSearchRequest::registerMetaType();
        QCOMPARE(QMetaType::type("FileSearchRequest::Id"), int(QMetaType::Int));
    }

    void fileProperties()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.path() + QStringLiteral("/back\\slash.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("12345");
        file.close();

        const FileProperties p(path, 3);
        QCOMPARE(p.name, QStringLiteral("back\\slash.txt")); // "\" is a name character
        QCOMPARE(p.folder, dir.path());
        QVERIFY(!p.isDir);
        QCOMPARE(p.size, qint64(5));
        QVERIFY(p.modified.isValid() && p.created.isValid());
        QVERIFY(FileProperties(dir.path(), 0).isDir);
        const FileProperties noFolder(QStringLiteral("relative-name"), 0);
        QCOMPARE(noFolder.folder, QString());
        QCOMPARE(noFolder.name, QStringLiteral("relative-name"));
    }
};

QTEST_GUILESS_MAIN(TestFileSearchRequest)
#include "tst_filesearchrequest.moc"
