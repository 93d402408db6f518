#include "ui/common/BackgroundJob.h"

#include <QMetaObject>

#include <condition_variable>
#include <system_error>
#include <thread>

namespace {

// The job threads still running; the process's end waits for them (they were cancelled with
// their owners and end at their next check).
struct Workers
{
    std::mutex mutex;
    std::condition_variable ended;
    int live = 0;

    ~Workers()
    {
        std::unique_lock<std::mutex> lock(mutex);
        ended.wait(lock, [this]() { return live == 0; });
    }
};

Workers& workers()
{
    static Workers all;
    return all;
}

void runOnWorker(std::function<void()> work)
{
    Workers& all = workers();
    {
        std::lock_guard<std::mutex> lock(all.mutex);
        ++all.live;
    }
    auto body = [&all, work = std::move(work)]() {
        work();
        std::lock_guard<std::mutex> lock(all.mutex);
        --all.live;
        all.ended.notify_all();
    };
    try {
        std::thread(std::move(body)).detach();
    } catch (const std::system_error&) {
        body(); // no thread to be had: here
    }
}

} // namespace

// Shared by an owner and every job it started: the owner's current serial, the owner itself
// while it lives, and the hand-backs on their way to it (guarded by the mutex, so that a
// worker never posts to an owner being destroyed).
struct BackgroundJob::Control::Link
{
    std::atomic<quint64> current{0};
    std::mutex mutex;
    BackgroundJob* owner = nullptr;
    QVector<QPair<quint64, std::function<void()>>> queue;
};

bool BackgroundJob::Control::cancelled() const
{
    return stop->load() || link->current.load() != serial;
}

void BackgroundJob::Control::post(std::function<void()> call) const
{
    std::lock_guard<std::mutex> lock(link->mutex);
    if (!link->owner || cancelled())
        return;
    link->queue.append({serial, std::move(call)});
    if (link->queue.size() == 1)
        QMetaObject::invokeMethod(link->owner, "drain", Qt::QueuedConnection);
}

void BackgroundJob::drain()
{
    // A call may end this owner: only the shared link is read after one.
    const std::shared_ptr<Control::Link> shared = link;
    QVector<QPair<quint64, std::function<void()>>> calls;
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        calls.swap(shared->queue);
    }
    for (const auto& call : qAsConst(calls)) {
        if (call.first == shared->current.load())
            call.second();
    }
}

BackgroundJob::BackgroundJob(QObject* parent)
    : QObject(parent), link(std::make_shared<Control::Link>())
{
    link->owner = this;
}

BackgroundJob::~BackgroundJob()
{
    std::lock_guard<std::mutex> lock(link->mutex);
    endCurrent();
    link->owner = nullptr;
    link->queue.clear();
}

void BackgroundJob::endCurrent()
{
    if (stop)
        stop->store(true);
    ++link->current;
    running = false;
}

void BackgroundJob::cancel()
{
    endCurrent();
}

void BackgroundJob::start(std::function<void(const Control&)> work, std::function<void()> done)
{
    launch(std::move(work), std::move(done));
}

void BackgroundJob::launch(std::function<void(const Control&)> work, std::function<void()> done)
{
    endCurrent(); // supersedes the job before
    stop = std::make_shared<std::atomic<bool>>(false);
    Control control;
    control.link = link;
    control.stop = stop;
    control.serial = link->current.load();
    running = true;
    runOnWorker([control, work = std::move(work), done = std::move(done), this]() {
        if (control.cancelled())
            return;
        work(control);
        // `this` is touched only on its own thread, after the serial check there.
        control.post([this, done]() {
            running = false;
            if (done)
                done();
        });
    });
}

void BackgroundJob::detach(std::function<void()> work)
{
    runOnWorker(std::move(work));
}
