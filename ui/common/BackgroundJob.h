// BackgroundJob: runs work off the GUI thread for an object that lives on it, one job at a
// time, and hands the result back to that thread. It owns the three things every such job
// needs, so that no caller writes them again:
//
// - Cancel: `cancel` asks the running job to stop (the work polls `Control::cancelled`) and
//   drops whatever it would still hand back.
// - A serial: each `start` supersedes the job before it, which is cancelled the same way. A
//   superseded job's result (and any progress it posts) never lands, not even when it was
//   already queued: what lands is always the newest job's.
// - The hand-back: `done` (and `Control::post`) run on the thread of this object, never on
//   the worker, and only while this object lives. Destroying it cancels the job; whatever the
//   work still posts is dropped, so nothing reaches a destroyed owner.
//
// Nothing here ever waits for a worker: cancel, start and the destructor return at once; the
// work runs on to its next check of `cancelled` and ends by itself. So the work must own (or
// share, e.g. by std::shared_ptr) everything it reads: its owner may be gone before it ends.
// Each job runs on a thread of its own; at the exit of the process the cancelled ones still
// running are waited for. Hand-backs travel through a queue under a std::mutex and a wake-up
// call without arguments, so the hand-over is visible to ThreadSanitizer.
#pragma once

#include <QObject>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class BackgroundJob : public QObject
{
    Q_OBJECT
public:
    // What the work is given: the stop flag and the way back to the owner's thread.
    class Control
    {
    public:
        // True once the job is cancelled or superseded (called on the worker).
        bool cancelled() const;
        // The same as a flag, for code that polls a std::atomic<bool> (valid while the
        // Control is).
        const std::atomic<bool>* flag() const { return stop.get(); }
        // Runs `call` on the owner's thread, unless the job is cancelled or superseded by the
        // time it gets there or the owner is gone (called on the worker).
        void post(std::function<void()> call) const;

    private:
        friend class BackgroundJob;
        struct Link;
        std::shared_ptr<Link> link;
        std::shared_ptr<std::atomic<bool>> stop;
        quint64 serial = 0;
    };

    explicit BackgroundJob(QObject* parent = nullptr);
    // Cancels the running job; never waits for it.
    ~BackgroundJob() override;

    // Starts `work` on a worker (GUI thread). `done` then runs on this object's thread with
    // the work's result, unless the job was cancelled or superseded meanwhile.
    template <class Result>
    void start(std::function<Result(const Control&)> work, std::function<void(Result&)> done)
    {
        auto result = std::make_shared<Result>();
        launch([work = std::move(work), result](const Control& control) { *result = work(control); },
               [done = std::move(done), result]() { done(*result); });
    }
    // The same for work without a result.
    void start(std::function<void(const Control&)> work, std::function<void()> done = {});
    // Cancels the running job (GUI thread).
    void cancel();
    // True from `start` until `done` has run or the job was cancelled (GUI thread).
    bool isRunning() const { return running; }

    // Runs `work` on a worker of the pool with nothing handed back (e.g. freeing large lists).
    // Where no worker can be had, it runs on the calling thread.
    static void detach(std::function<void()> work);

private slots:
    // Runs the hand-backs queued for this owner (its thread).
    void drain();

private:
    void launch(std::function<void(const Control&)> work, std::function<void()> done);

    // Ends the current job: sets its flag and moves the serial on.
    void endCurrent();

    std::shared_ptr<Control::Link> link;
    std::shared_ptr<std::atomic<bool>> stop;
    bool running = false;
};
