// Worker threads: task runs on its own named thread, escaping exceptions become one log line
// (INFO for a cancellation, ERROR otherwise) and never leave the worker; pool jobs the same.
#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "search/engine/ContentSearchWorker.h"
#include "search/engine/FileSearcherWorker.h"
#include "testutil.h"

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
        const QByteArray b = testutil::readFile(Logger::instance().filePath());
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(b.constData()), b.size() / 2);
        return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
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
        QCOMPARE(worker.objectName(), QStringLiteral("FIND"));
        worker.start(QThread::InheritPriority);
        QVERIFY(worker.wait(10000));
        QCOMPARE(seenName, QStringLiteral("FIND"));
        QCOMPARE(seenThread, &worker);
    }

    void exceptionsBecomeLogLines()
    {
        const int before = logLines().size();
        FileSearcherWorker cancelled(QStringLiteral("FIND_MATCHES"), []() {
            throw FileSearchCancelException(QStringLiteral("Request 7 canceled"),
                                            QStringLiteral("ContentSearcher"), 224);
        });
        cancelled.start();
        QVERIFY(cancelled.wait(10000));
        FileSearcherWorker failed(QStringLiteral("INIT"), []() {
            throw FileSearchException(QStringLiteral("volume unreadable"), QStringLiteral("NTFSDB"), 12);
        });
        failed.start();
        QVERIFY(failed.wait(10000));
        FileSearcherWorker other(QStringLiteral("UPDATE"), []() { throw std::runtime_error("plain"); });
        other.start();
        QVERIFY(other.wait(10000));

        const QStringList lines = logLines().mid(before);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].contains(QStringLiteral("\tINFO\tFileSearcherWorker\tFile: ContentSearcher, line: 224, Request 7 canceled")));
        QVERIFY(lines[1].contains(QStringLiteral("\tERROR\tFileSearcherWorker\tFile: NTFSDB, line: 12, volume unreadable")));
        QVERIFY(lines[2].contains(QStringLiteral("\tERROR\tFileSearcherWorker\tplain")));

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
