// FileSearchRequest, MatchOptions and FileProperties.
#include "search/model/FileProperties.h"
#include "search/model/FileSearchRequest.h"

#include <QMetaType>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

class TestFileSearchRequest : public QObject
{
    Q_OBJECT

private slots:
    // Must run first: the counters are process-wide and start at 0 and 1000.
    void idsComeFromTwoCounters()
    {
        FileSearchRequest first;
        QCOMPARE(first.id, 0);
        FileSearchRequest second;
        QCOMPARE(second.id, 1);
        const FileSearchRequest clone = FileSearchRequest::cloneForMatches(first);
        QCOMPARE(clone.id, 1000);
        QCOMPARE(FileSearchRequest::cloneForMatches(first).id, 1001);
        // Copies keep the id and draw nothing from the counter.
        FileSearchRequest copy(second);
        QCOMPARE(copy.id, 1);
        FileSearchRequest third;
        QCOMPARE(third.id, 2);
        copy = third;
        QCOMPARE(copy.id, 2);
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

    void defaultsAndCopies()
    {
        FileSearchRequest r;
        QVERIFY(!r.canceled);
        QVERIFY(r.includeSubfolders);
        QCOMPARE(r.minSize, qint64(-1));
        QCOMPARE(r.maxSize, qint64(-1));
        QVERIFY(r.minDate.isNull());
        QVERIFY(r.isNameOnly());

        r.fileName = QStringLiteral("report");
        r.nameSyntax = FileSearchRequest::Boolean;
        r.includePaths = QStringList{QStringLiteral("/home")};
        r.contents = QStringLiteral("x");
        r.lineScope = true;
        r.maxSize = 10;
        r.countMatches = true;
        r.canceled = true;

        const FileSearchRequest copy(r);
        QVERIFY(copy.canceled);
        QCOMPARE(copy.fileName, r.fileName);
        QCOMPARE(copy.nameSyntax, 3);
        QCOMPARE(copy.includePaths, r.includePaths);
        QCOMPARE(copy.contents, r.contents);
        QVERIFY(copy.lineScope);
        QCOMPARE(copy.maxSize, qint64(10));
        QVERIFY(copy.countMatches);

        const FileSearchRequest clone = FileSearchRequest::cloneForMatches(r);
        QVERIFY(!clone.canceled);
        QVERIFY(r.canceled);
        QCOMPARE(clone.fileName, r.fileName);
        QVERIFY(clone.id >= 1000);
    }

    void cancelFlagIsSeenByOtherThreads()
    {
        FileSearchRequest r;
        CancelFlag* flag = &r.canceled;
        std::atomic<bool> sawIt{false};
        std::thread worker([flag, &sawIt] {
            while (!*flag)
                std::this_thread::yield();
            sawIt = true;
        });
        r.canceled = true;
        worker.join();
        QVERIFY(sawIt);
    }

    void nameOnly()
    {
        FileSearchRequest r;
        r.maxSize = 0; // size 0 is a bound
        QVERIFY(!r.isNameOnly());
        FileSearchRequest d;
        d.minDate = QDate(2020, 1, 1);
        QVERIFY(!d.isNameOnly());
        FileSearchRequest c;
        c.contents = QStringLiteral("a");
        QVERIFY(!c.isNameOnly());
        FileSearchRequest invalidDate;
        invalidDate.maxDate = QDate(2020, 2, 30);
        QVERIFY(invalidDate.isNameOnly());
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
        const int type = QMetaType::type("FileSearchRequest::Id");
        QVERIFY(type != QMetaType::UnknownType);
        QCOMPARE(type, int(QMetaType::Int));
    }

    void fileProperties()
    {
        const FileProperties empty;
        QVERIFY(empty.name.isEmpty() && empty.folder.isEmpty());
        QCOMPARE(empty.size, qint64(0));
        QVERIFY(!empty.modified.isValid());

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
        QCOMPARE(p.matches, 3);
        QVERIFY(p.modified.isValid());
        QVERIFY(p.created.isValid());

        const FileProperties d(dir.path(), 0);
        QVERIFY(d.isDir);

        const FileProperties noFolder(QStringLiteral("relative-name"), 0);
        QCOMPARE(noFolder.folder, QString());
        QCOMPARE(noFolder.name, QStringLiteral("relative-name"));
    }
};

QTEST_GUILESS_MAIN(TestFileSearchRequest)
#include "tst_filesearchrequest.moc"
