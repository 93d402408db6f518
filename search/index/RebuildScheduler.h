// RebuildScheduler: keeps one volume's index following its volume over time. It owns the monitor
// the index follows (ChangeJournal: its start, its replacement by a build, its stop) and the
// worker thread that walks the volume anew when the journal cannot say what changed, and decides
// when and why that happens and how long a failed build waits before it is tried again.
//
// Why apart from the index: the index (NTFSDriveDB) keeps records, applies the monitor's changes,
// loads and saves; when to rebuild, which monitor still counts and the back-off are decisions of
// their own, with their own thread and locks, and can be driven here with a build of the test's
// making (a build that fails so many times, a volume that is gone).
//
// Work, asked for by the index:
// - Reconcile (requestReconcile): after a load from a file that did not follow this very journal,
//   a walk makes the index what a fresh build gives; searches are answered meanwhile.
// - Rebuild (monitorFailed): the current monitor failed (records lost to an overflow, a broken
//   journal): the index no longer follows the volume (hooks.monitorLost, before the rebuild is
//   asked for), the failure is logged and a rebuild walks the volume. A failure of a monitor
//   that is no longer the current one (a build is replacing it) is ignored, and a rebuild asked
//   for a monitor that a build has replaced since is not run. A Rebuild asked for while a
//   Reconcile waits takes its place; a Reconcile never replaces a waiting Rebuild.
// - A rebuild first stops the failed monitor, then checks that the mount point still shows this
//   volume (hooks.volumePresent): a journal also fails when its volume is unmounted, and another
//   file system there must not be indexed under this volume's serial; then no build runs and
//   rebuilt(false) is reported once.
// - A build that throws (the journal or the volume cannot be read for now) is logged and tried
//   again after backoff.first ms, then after twice as long each time up to backoff.max (the index
//   would otherwise answer from a stale state, unmonitored, until the program ends). A canceled
//   build (FileSearchCancelException) is not tried again. A rebuild reports every try through
//   hooks.rebuilt(ok); a reconcile reports none.
// - hooks.started / hooks.finished frame the work: busy from the request on (from the asking
//   thread, under the scheduler's mutex, so the two always come in this order), idle when no work
//   is left (from the worker thread, or from stop()); always in pairs.
//
// The monitor's lifetime: setMonitor gives the first (not started); startMonitor starts the
// current one where the index resumes; a build takes the old one out with retireMonitor (which
// cancels its folder walks and stops it, so none of its events lands in new tables) and puts its
// own in with installMonitor once its tables are swapped in. stop() cancels and joins a running
// or waiting build, then stops the monitor and returns its resume point (ChangeJournal::stop).
// monitorCancelFlag() is the flag a monitor's folder walks poll: set while a monitor is retired or
// stopped.
//
// Threads and locks: the worker thread runs hooks.build with its cancel flag, which stop() sets.
// The monitor is guarded by its own mutex, never held while a build runs or a monitor is joined,
// so a failing monitor's thread (monitorFailed) never waits for a build; the work mutex and the
// monitor mutex are never held together. Log lines go out under the index's tag.
#pragma once

#include "search/index/NTFSUtils.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class ChangeJournal;

class RebuildScheduler
{
public:
    enum class Work { None, Reconcile, Rebuild };

    // The waits before a failed build is tried again: `first`, doubled each time up to `max`.
    struct Backoff
    {
        qint64 first = 60000;
        qint64 max = 30 * 60 * 1000;
    };

    struct Hooks
    {
        // Walks the volume and makes the new index, replacing the monitor (retireMonitor,
        // installMonitor); polls *cancel. Throws when it fails (FileSearchCancelException when
        // canceled). Returns the index's object count, for the log.
        std::function<int(bool* cancel)> build;
        // False when the mount point no longer shows this volume.
        std::function<bool()> volumePresent;
        // The current monitor failed: the index no longer follows the volume.
        std::function<void()> monitorLost;
        std::function<void()> started;
        std::function<void()> finished;
        // One try of a rebuild after a failed monitor ended (ok false: it failed, or the volume
        // is gone).
        std::function<void(bool ok)> rebuilt;
        // A failed build waits `milliseconds` before it is tried again (optional).
        std::function<void(qint64 milliseconds)> retrying;
    };

    // `drive` names the volume in the log.
    RebuildScheduler(const QString& drive, Hooks hooks, Backoff backoff);
    // Stops (stop()) and destroys the monitor.
    ~RebuildScheduler();
    RebuildScheduler(const RebuildScheduler&) = delete;
    RebuildScheduler& operator=(const RebuildScheduler&) = delete;

    // The monitor the index follows, not started yet (replaces none that ran).
    void setMonitor(std::unique_ptr<ChangeJournal> monitor);
    // Starts the current monitor at `from`.
    void startMonitor(USN from);
    // Takes the current monitor out, cancels its folder walks and stops it (joins its thread).
    // Never called with a lock its update slots take.
    std::unique_ptr<ChangeJournal> retireMonitor();
    // `monitor` becomes the current one and starts at `from`.
    void installMonitor(std::unique_ptr<ChangeJournal> monitor, USN from);
    // The flag a monitor's folder walks poll.
    bool* monitorCancelFlag() { return &monitorCancel_; }

    // Asks for a reconcile walk (see above). Any thread.
    void requestReconcile();
    // `monitor` failed with `message`: a rebuild when it is the current one. Called on the failed
    // monitor's thread, which ends right after: never waits.
    void monitorFailed(ChangeJournal* monitor, const QString& message);

    // Cancels and joins a running or waiting build, then stops the monitor; returns its resume
    // point (0 without a monitor). No work is taken after it.
    USN stop();

private:
    void request(Work work, ChangeJournal* failed);
    void workLoop();
    void run(Work work);

    const QString drive_;
    const Hooks hooks_;
    const Backoff backoff_;

    // Guards monitor_ against a build replacing it while stop() or monitorFailed run.
    std::mutex monitorMutex_;
    std::unique_ptr<ChangeJournal> monitor_;
    bool monitorCancel_ = false; // read without a lock by the walks it stops

    // The worker thread, its request and the stopping flag.
    std::mutex workMutex_;
    std::thread worker_;
    std::condition_variable workWake_; // a request, stopping, or the end of a wait before a retry
    Work pending_ = Work::None;
    ChangeJournal* failedMonitor_ = nullptr; // the monitor whose failure asked for a rebuild
    bool stopping_ = false;
    bool workCancel_ = false; // read without a lock by a running build
    bool busy_ = false; // between started and finished
};
