// The rebuild decisions of one volume's index driven directly: which monitor failure asks for a
// rebuild, which waiting work gives way to which, the back-off of a failing build, a volume that
// has gone, and stop() ending a build or a wait before the next try. The builds are the test's
// own (no volume is walked); the monitors are journals without a reader (start and stop do
// nothing), which stand for the monitor the index follows.
#include "core/FileSearchException.h"
#include "search/index/ChangeJournal.h"
#include "search/index/RebuildScheduler.h"

#include <QSemaphore>
#include <QtTest>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// What a build of the test does when its turn comes.
enum class Outcome { Succeed, Fail, Cancel, Hold, Replace, HoldReplace };

// The scheduler's reports, and builds that follow a script; every hook may run on the worker.
class Volume
{
public:
    explicit Volume(RebuildScheduler::Backoff backoff = {1, 8})
    {
        RebuildScheduler::Hooks hooks;
        hooks.build = [this](bool* cancel) { return build(cancel); };
        hooks.volumePresent = [this] { return present.load(); };
        hooks.monitorLost = [this] { note(QStringLiteral("lost")); };
        hooks.started = [this] { note(QStringLiteral("started")); };
        hooks.finished = [this] { note(QStringLiteral("finished")); };
        hooks.rebuilt = [this](bool ok) {
            note(ok ? QStringLiteral("rebuilt") : QStringLiteral("not rebuilt"));
        };
        hooks.retrying = [this](qint64 ms) { note(QStringLiteral("retry %1").arg(ms)); };
        scheduler.reset(
            new RebuildScheduler(QStringLiteral("/mnt/test"), std::move(hooks), backoff));
        scheduler->setMonitor(std::unique_ptr<ChangeJournal>(first = new ChangeJournal));
    }
    ~Volume()
    {
        // The hooks report into the members below, and a build calls the scheduler.
        scheduler->stop();
        scheduler.reset();
    }

    void script(std::initializer_list<Outcome> outcomes)
    {
        std::lock_guard<std::mutex> guard(mutex_);
        outcomes_.insert(outcomes_.end(), outcomes);
    }
    QStringList events() const
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return events_;
    }
    bool idle() const
    {
        const QStringList all = events();
        return all.count(QStringLiteral("started")) == all.count(QStringLiteral("finished"));
    }

    std::unique_ptr<RebuildScheduler> scheduler;
    ChangeJournal* first = nullptr; // the monitor given at the start
    std::atomic<bool> present{true};
    QSemaphore entered; // a held build has started
    QSemaphore proceed; // and may go on

private:
    void note(const QString& event)
    {
        std::lock_guard<std::mutex> guard(mutex_);
        events_ << event;
    }

    int build(bool* cancel)
    {
        Outcome outcome = Outcome::Succeed;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            if (!outcomes_.empty()) {
                outcome = outcomes_.front();
                outcomes_.pop_front();
            }
        }
        note(QStringLiteral("build"));
        switch (outcome) {
        case Outcome::Succeed:
            return 1;
        case Outcome::Fail:
            throw FileSearchException(QStringLiteral("cannot read for now"),
                                      QStringLiteral("Volume"), __LINE__);
        case Outcome::Cancel:
            throw FileSearchCancelException(QStringLiteral("canceled"), QStringLiteral("Volume"),
                                            __LINE__);
        case Outcome::Hold:
        case Outcome::HoldReplace:
            // Waits for the test, or for the cancel of stop().
            entered.release();
            while (!proceed.tryAcquire(1, 10)) {
                if (__atomic_load_n(cancel, __ATOMIC_RELAXED))
                    throw FileSearchCancelException(QStringLiteral("canceled"),
                                                    QStringLiteral("Volume"), __LINE__);
            }
            if (outcome == Outcome::HoldReplace)
                replaceMonitor();
            return 1;
        case Outcome::Replace:
            replaceMonitor();
            return 1;
        }
        return 1;
    }

    // As a walk does: the monitor it followed gives way to a new one. The old one is kept, so
    // that no new monitor takes its address.
    void replaceMonitor()
    {
        std::unique_ptr<ChangeJournal> old = scheduler->retireMonitor();
        scheduler->installMonitor(std::unique_ptr<ChangeJournal>(new ChangeJournal), 0);
        std::lock_guard<std::mutex> guard(mutex_);
        retired_.push_back(std::move(old));
    }

    mutable std::mutex mutex_;
    std::deque<Outcome> outcomes_;
    QStringList events_;
    std::vector<std::unique_ptr<ChangeJournal>> retired_;
};

const QStringList Done{QStringLiteral("started"), QStringLiteral("finished")};

} // namespace

class TestRebuildScheduler : public QObject
{
    Q_OBJECT

private slots:
    // A failing rebuild is tried again after the first wait, doubled each time up to the limit;
    // each try is reported, the last one that succeeds too, and the work ends once.
    void failedBuildsBackOffUpToTheLimit()
    {
        Volume v({1, 8});
        v.script({Outcome::Fail, Outcome::Fail, Outcome::Fail, Outcome::Fail, Outcome::Fail,
                  Outcome::Fail});
        v.scheduler->monitorFailed(v.first, QStringLiteral("records lost"));
        QTRY_VERIFY_WITH_TIMEOUT(v.events().contains(QStringLiteral("finished")), 30000);
        QStringList expected{QStringLiteral("lost"), QStringLiteral("started")};
        for (int wait : {1, 2, 4, 8, 8, 8})
            expected << QStringLiteral("build") << QStringLiteral("not rebuilt")
                     << QStringLiteral("retry %1").arg(wait);
        expected << QStringLiteral("build") << QStringLiteral("rebuilt")
                 << QStringLiteral("finished");
        QCOMPARE(v.events(), expected);

        // A reconcile that fails backs off the same way, and reports no rebuild.
        Volume r({5, 12});
        r.script({Outcome::Fail, Outcome::Fail, Outcome::Fail});
        r.scheduler->requestReconcile();
        QTRY_VERIFY_WITH_TIMEOUT(r.events().contains(QStringLiteral("finished")), 30000);
        QCOMPARE(r.events(), QStringList({"started", "build", "retry 5", "build", "retry 10",
                                          "build", "retry 12", "build", "finished"}));
    }

    // Only the failure of the monitor the index follows counts; a Rebuild takes the place of a
    // waiting Reconcile, never the other way round; a rebuild asked for a monitor that a build
    // has replaced since is not run.
    void whichWorkRuns()
    {
        {
            Volume v;
            ChangeJournal other;
            v.scheduler->monitorFailed(&other, QStringLiteral("stale"));
            QCOMPARE(v.events(),
                     QStringList()); // reported on the calling thread: nothing was asked
        }
        {
            Volume v;
            v.script({Outcome::Hold, Outcome::Succeed, Outcome::Succeed});
            v.scheduler->requestReconcile();
            QVERIFY(v.entered.tryAcquire(1, 30000));
            v.scheduler->requestReconcile();
            v.scheduler->monitorFailed(v.first, QStringLiteral("records lost"));
            v.scheduler->requestReconcile(); // gives way to the waiting rebuild
            v.proceed.release();
            QTRY_VERIFY_WITH_TIMEOUT(v.events().contains(QStringLiteral("finished")), 30000);
            QCOMPARE(v.events(),
                     QStringList({"started", "build", "lost", "build", "rebuilt", "finished"}));
        }
        {
            // The held reconcile replaces the monitor that fails while it walks.
            Volume v;
            v.script({Outcome::HoldReplace});
            v.scheduler->requestReconcile();
            QVERIFY(v.entered.tryAcquire(1, 30000));
            v.scheduler->monitorFailed(v.first, QStringLiteral("records lost"));
            v.proceed.release();
            QTRY_VERIFY_WITH_TIMEOUT(v.events().contains(QStringLiteral("finished")), 30000);
            QCOMPARE(v.events(), QStringList({"started", "build", "lost", "finished"}));
        }
        {
            Volume v;
            v.script({Outcome::Replace});
            v.scheduler->requestReconcile();
            QTRY_VERIFY_WITH_TIMEOUT(v.idle() && !v.events().isEmpty(), 30000);
            // The replaced monitor's failure comes too late to count.
            v.scheduler->monitorFailed(v.first, QStringLiteral("records lost"));
            QCOMPARE(v.events(), QStringList({"started", "build", "finished"}));
        }
    }

    // A monitor that failed because its volume went: no build, one report, no further try.
    void goneVolumeIsNotRebuilt()
    {
        Volume v;
        v.present = false;
        v.scheduler->monitorFailed(v.first, QStringLiteral("unmounted"));
        QTRY_VERIFY_WITH_TIMEOUT(v.idle() && v.events().size() > 2, 30000);
        QCOMPARE(v.events(), QStringList({"lost", "started", "not rebuilt", "finished"}));
    }

    // stop() ends a wait before the next try at once (the wait is ten minutes here), cancels a
    // running build, which is not tried again, and takes no work after it.
    void stopEndsWaitsAndBuilds()
    {
        {
            Volume v({600000, 600000});
            v.script({Outcome::Fail});
            v.scheduler->monitorFailed(v.first, QStringLiteral("records lost"));
            QTRY_VERIFY_WITH_TIMEOUT(v.events().contains(QStringLiteral("retry 600000")), 30000);
            std::atomic<bool> stopped{false};
            std::thread stopper([&] {
                v.scheduler->stop();
                stopped = true;
            });
            QTRY_VERIFY_WITH_TIMEOUT(stopped.load(), 60000);
            stopper.join();
            QCOMPARE(v.events(), QStringList({"lost", "started", "build", "not rebuilt",
                                              "retry 600000", "finished"}));
            v.scheduler->requestReconcile();
            QCOMPARE(v.events().size(), 6);
        }
        {
            Volume v;
            v.script({Outcome::Hold});
            v.scheduler->monitorFailed(v.first, QStringLiteral("records lost"));
            QVERIFY(v.entered.tryAcquire(1, 30000));
            v.scheduler->stop();
            QCOMPARE(v.events(), QStringList({"lost", "started", "build", "finished"}));
        }
        {
            // A canceled build ends the work without a retry.
            Volume v;
            v.script({Outcome::Cancel});
            v.scheduler->requestReconcile();
            QTRY_VERIFY_WITH_TIMEOUT(v.idle() && !v.events().isEmpty(), 30000);
            QCOMPARE(v.events(), QStringList({"started", "build", "finished"}));
        }
    }
};

QTEST_GUILESS_MAIN(TestRebuildScheduler)
#include "tst_rebuildscheduler.moc"
