// The job facility: the work runs off the owner's thread and its result lands on it; a
// cancelled job's result (and progress) never lands; a newer job supersedes an older one, also
// when the older one's result is already queued; destroying the owner while a job runs neither
// crashes nor hands anything back; nothing waits for a worker. Meant to run under
// ThreadSanitizer too (scripts/sanitize thread).
#include "ui/common/BackgroundJob.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// A gate a worker waits at until the test opens it.
class Gate
{
public:
    void open()
    {
        std::lock_guard<std::mutex> lock(mutex);
        opened = true;
        changed.notify_all();
    }
    void pass()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this]() { return opened; });
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool opened = false;
};

// Lets every queued hand-back be delivered.
void deliver()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

class TestBackgroundJob : public QObject
{
    Q_OBJECT

private slots:
    void resultLandsOnTheOwnersThread()
    {
        BackgroundJob job;
        QThread* workThread = nullptr;
        QThread* doneThread = nullptr;
        int landed = 0;
        job.start<int>(
            [&workThread](const BackgroundJob::Control&) {
                workThread = QThread::currentThread();
                return 42;
            },
            [&](int& value) {
                doneThread = QThread::currentThread();
                landed = value;
            });
        QVERIFY(job.isRunning());
        QTRY_COMPARE_WITH_TIMEOUT(landed, 42, 60000);
        QVERIFY(!job.isRunning());
        QVERIFY(workThread && workThread != QThread::currentThread());
        QCOMPARE(doneThread, QThread::currentThread());
    }

    // The work sees the cancel and ends by itself; neither its progress nor its result lands.
    void cancelStopsTheWorkAndDropsItsResult()
    {
        BackgroundJob job;
        auto ended = std::make_shared<std::atomic<bool>>(false);
        auto flagSet = std::make_shared<std::atomic<bool>>(false);
        auto gate = std::make_shared<Gate>();
        int posts = 0;
        bool landed = false;
        job.start(
            [ended, flagSet, gate, &posts](const BackgroundJob::Control& control) {
                gate->pass();
                control.post([&posts]() { ++posts; }); // before the cancel: lands
                while (!control.cancelled())
                    QThread::yieldCurrentThread();
                flagSet->store(control.flag()->load());
                control.post([&posts]() { posts += 1000; }); // after it: never lands
                ended->store(true);
            },
            [&landed]() { landed = true; });
        gate->open();
        QTRY_COMPARE_WITH_TIMEOUT(posts, 1, 60000);
        job.cancel(); // returns at once: the worker may still run
        QVERIFY(!job.isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(ended->load(), 60000);
        deliver();
        QVERIFY(!landed);
        QCOMPARE(posts, 1);
        QVERIFY(flagSet->load());
    }

    // A newer job supersedes an older one: the older one's result never lands, neither when it
    // ends after the newer one nor when it is already queued when the newer one starts.
    void aNewerJobSupersedesAnOlderOne()
    {
        BackgroundJob job;
        QStringList landed;
        auto done = [&landed](QString& value) { landed << value; };

        // The older job ends after the newer one.
        auto gate = std::make_shared<Gate>();
        auto olderEnded = std::make_shared<std::atomic<bool>>(false);
        auto olderSawCancel = std::make_shared<std::atomic<bool>>(false);
        auto olderStarted = std::make_shared<std::atomic<bool>>(false);
        job.start<QString>(
            [gate, olderStarted, olderEnded, olderSawCancel](const BackgroundJob::Control& control) {
                olderStarted->store(true);
                gate->pass();
                olderSawCancel->store(control.cancelled());
                olderEnded->store(true);
                return QStringLiteral("older");
            },
            done);
        QTRY_VERIFY_WITH_TIMEOUT(olderStarted->load(), 60000); // (a job superseded before it starts never runs)
        job.start<QString>([](const BackgroundJob::Control&) { return QStringLiteral("newer"); }, done);
        QTRY_COMPARE_WITH_TIMEOUT(landed, QStringList{QStringLiteral("newer")}, 60000);
        gate->open();
        QTRY_VERIFY_WITH_TIMEOUT(olderEnded->load(), 60000);
        deliver();
        QCOMPARE(landed, QStringList{QStringLiteral("newer")});
        QVERIFY(olderSawCancel->load());

        // The older job's result is queued (not yet delivered) when the newer one starts.
        landed.clear();
        auto queued = std::make_shared<std::atomic<bool>>(false);
        job.start<QString>(
            [queued](const BackgroundJob::Control&) {
                queued->store(true);
                return QStringLiteral("queued");
            },
            done);
        while (!queued->load())
            QThread::yieldCurrentThread(); // no events delivered meanwhile
        auto second = std::make_shared<Gate>();
        job.start<QString>(
            [second](const BackgroundJob::Control&) {
                second->pass();
                return QStringLiteral("last");
            },
            done);
        // The older result has every chance to land before the newer job ends.
        deliver();
        QVERIFY(landed.isEmpty());
        QVERIFY(job.isRunning());
        second->open();
        QTRY_COMPARE_WITH_TIMEOUT(landed, QStringList{QStringLiteral("last")}, 60000);
    }

    // The owner goes while its job runs: the job sees the cancel, nothing is handed back to
    // the dead owner, nothing crashes, and the destructor does not wait for the worker.
    void destroyingTheOwnerWhileAJobRuns()
    {
        auto gate = std::make_shared<Gate>();
        auto ended = std::make_shared<std::atomic<bool>>(false);
        auto sawCancel = std::make_shared<std::atomic<bool>>(false);
        auto landed = std::make_shared<std::atomic<int>>(0);
        auto started = std::make_shared<std::atomic<bool>>(false);
        auto* job = new BackgroundJob;
        job->start<int>(
            [gate, started, ended, sawCancel, landed](const BackgroundJob::Control& control) {
                started->store(true);
                gate->pass();
                sawCancel->store(control.cancelled());
                control.post([landed]() { landed->fetch_add(1); });
                ended->store(true);
                return 1;
            },
            [landed](int&) { landed->fetch_add(1); });
        QTRY_VERIFY_WITH_TIMEOUT(started->load(), 60000);
        delete job; // the worker waits at the gate: a join here would never return
        gate->open();
        QTRY_VERIFY_WITH_TIMEOUT(ended->load(), 60000);
        deliver();
        QVERIFY(sawCancel->load());
        QCOMPARE(landed->load(), 0);

        // Many owners made and destroyed while their jobs post as fast as they can.
        auto stopped = std::make_shared<std::atomic<int>>(0);
        for (int i = 0; i < 50; ++i) {
            auto* owner = new BackgroundJob;
            auto running = std::make_shared<std::atomic<bool>>(false);
            owner->start(
                [stopped, landed, running](const BackgroundJob::Control& control) {
                    running->store(true);
                    while (!control.cancelled())
                        control.post([landed]() { landed->fetch_add(1); });
                    stopped->fetch_add(1);
                },
                {});
            while (!running->load())
                QThread::yieldCurrentThread();
            if (i % 2)
                deliver();
            delete owner;
        }
        QTRY_COMPARE_WITH_TIMEOUT(stopped->load(), 50, 60000);
        const int before = landed->load();
        deliver();
        QCOMPARE(landed->load(), before); // nothing of a destroyed owner lands afterwards
    }

    void detachedWorkRuns()
    {
        auto ran = std::make_shared<std::atomic<bool>>(false);
        BackgroundJob::detach([ran]() { ran->store(true); });
        QTRY_VERIFY_WITH_TIMEOUT(ran->load(), 60000);
    }
};

QTEST_GUILESS_MAIN(TestBackgroundJob)
#include "tst_backgroundjob.moc"
