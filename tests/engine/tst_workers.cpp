// Worker threads: task runs on its own named thread, escaping exceptions become one log line
// (INFO for a cancellation, ERROR otherwise) and never leave the worker; pool jobs the same.
#include "core/FileSearchException.h"
#include "search/engine/ContentSearchWorker.h"
#include "search/engine/FileSearcherWorker.h"
#include "tests/engine/enginetest.h"

#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <pthread.h>

class TestWorkers : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;

    QStringList logLines()
    {
        return enginetest::logText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("test.log")));
    }

    void threadRunsTaskUnderItsName()
    {
        QString seenName;
        QThread* seenThread = nullptr;
        FileSearcherWorker worker(QStringLiteral("FIND"), [&]() {
            char name[32] = {0};
            pthread_getname_np(pthread_self(), name, sizeof name);
            seenName = QString::fromLatin1(name);
            seenThread = QThread::currentThread();
        });
        worker.start(QThread::InheritPriority);
        QVERIFY(worker.wait(10000));
        QCOMPARE(seenName, QStringLiteral("FIND"));
        QCOMPARE(seenThread, &worker);
    }

    void exceptionsBecomeLogLines()
    {
        const struct { const char* thread; std::function<void()> task; const char* line; } cases[] = {
            {"FIND_MATCHES", [] { throw FileSearchCancelException(QStringLiteral("Request 7 canceled"), QStringLiteral("ContentSearcher"), 224); },
             "\tINFO\tFileSearcherWorker\tFile: ContentSearcher, line: 224, Request 7 canceled"},
            {"INIT", [] { throw FileSearchException(QStringLiteral("volume unreadable"), QStringLiteral("NTFSDB"), 12); },
             "\tERROR\tFileSearcherWorker\tFile: NTFSDB, line: 12, volume unreadable"},
            {"UPDATE", [] { throw std::runtime_error("plain"); }, "\tERROR\tFileSearcherWorker\tplain"},
        };
        for (const auto& c : cases) {
            const int before = logLines().size();
            FileSearcherWorker worker(QString::fromLatin1(c.thread), c.task);
            worker.start();
            QVERIFY(worker.wait(10000));
            const QStringList lines = logLines().mid(before);
            QCOMPARE(lines.size(), 1);
            QVERIFY2(lines[0].contains(QLatin1String(c.line)), qPrintable(lines[0]));
        }
        QVERIFY(!FileSearcherWorker::runTask([]() { throw 42; }));
        QVERIFY(FileSearcherWorker::runTask([]() {}));
    }

    void poolJobs()
    {
        QThreadPool pool;
        QAtomicInt done;
        const int before = logLines().size();
        for (int i = 0; i < 20; ++i) {
            pool.start(new ContentSearchWorker([&done, i]() {
                if (i == 5)
                    throw FileSearchCancelException("Convert canceled", QStringLiteral("PDFConverter"), 1);
                done.fetchAndAddRelaxed(1);
            }));
        }
        pool.waitForDone();
        QCOMPARE(done.loadRelaxed(), 19);
        const QStringList lines = logLines().mid(before);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].contains(QStringLiteral("\tINFO\tFileSearcherWorker\t")));
    }
};

QTEST_GUILESS_MAIN(TestWorkers)
#include "tst_workers.moc"
