#include "search/index/RebuildScheduler.h"

#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "search/index/ChangeJournal.h"

#include <chrono>
#include <exception>

namespace {

const char* const Tag = "NTFSDriveDB";

// The flags below are read without a lock by the threads they stop.
void raise(bool* flag)
{
    __atomic_store_n(flag, true, __ATOMIC_RELAXED);
}

void lower(bool* flag)
{
    __atomic_store_n(flag, false, __ATOMIC_RELAXED);
}

} // namespace

RebuildScheduler::RebuildScheduler(const QString& drive, Hooks hooks, Backoff backoff)
    : drive_(drive)
    , hooks_(std::move(hooks))
    , backoff_(backoff)
{ }

RebuildScheduler::~RebuildScheduler()
{
    stop();
    monitor_.reset();
}

void RebuildScheduler::setMonitor(std::unique_ptr<ChangeJournal> monitor)
{
    std::lock_guard<std::mutex> guard(monitorMutex_);
    monitor_ = std::move(monitor);
}

void RebuildScheduler::startMonitor(USN from)
{
    std::lock_guard<std::mutex> guard(monitorMutex_);
    if (monitor_)
        monitor_->start(from);
}

std::unique_ptr<ChangeJournal> RebuildScheduler::retireMonitor()
{
    std::unique_ptr<ChangeJournal> old;
    {
        std::lock_guard<std::mutex> guard(monitorMutex_);
        old = std::move(monitor_);
    }
    // Stopped outside the mutex: a failing monitor's thread takes it (monitorFailed), and stop()
    // joins that thread.
    if (old) {
        raise(&monitorCancel_); // a folder walk of the old monitor stops
        old->stop();
    }
    return old;
}

void RebuildScheduler::installMonitor(std::unique_ptr<ChangeJournal> monitor, USN from)
{
    std::lock_guard<std::mutex> guard(monitorMutex_);
    monitor_ = std::move(monitor);
    lower(&monitorCancel_);
    monitor_->start(from);
}

USN RebuildScheduler::stop()
{
    std::thread worker;
    {
        std::lock_guard<std::mutex> guard(workMutex_);
        stopping_ = true;
        raise(&workCancel_);
        worker = std::move(worker_);
    }
    workWake_.notify_all();
    if (worker.joinable())
        worker.join();
    std::lock_guard<std::mutex> guard(monitorMutex_);
    raise(&monitorCancel_); // a folder walk of the monitor stops
    return monitor_ ? monitor_->stop() : USN(0);
}

void RebuildScheduler::requestReconcile()
{
    request(Work::Reconcile, nullptr);
}

void RebuildScheduler::monitorFailed(ChangeJournal* monitor, const QString& message)
{
    {
        std::lock_guard<std::mutex> guard(monitorMutex_);
        if (monitor_.get() != monitor)
            return; // a monitor already being replaced by a build
    }
    if (hooks_.monitorLost)
        hooks_.monitorLost();
    TQ_LOG_WARNING(Tag, QStringLiteral("Change journal of %1 failed (%2); rebuilding the index")
                            .arg(drive_, message));
    request(Work::Rebuild, monitor);
}

void RebuildScheduler::request(Work work, ChangeJournal* failed)
{
    std::lock_guard<std::mutex> guard(workMutex_);
    if (stopping_)
        return;
    if (work == Work::Rebuild) {
        pending_ = Work::Rebuild;
        failedMonitor_ = failed;
    } else if (pending_ == Work::None) {
        pending_ = work;
    }
    if (!worker_.joinable())
        worker_ = std::thread([this] { workLoop(); });
    // Busy from the request on (not from when the worker gets to it), so that whoever counts
    // the volume's work never sees it idle in between. Reported under the mutex, as the end is,
    // so that the two always come in this order.
    if (!busy_) {
        busy_ = true;
        if (hooks_.started)
            hooks_.started();
    }
    workWake_.notify_all();
}

void RebuildScheduler::workLoop()
{
    for (;;) {
        Work work = Work::None;
        ChangeJournal* failed = nullptr;
        {
            std::unique_lock<std::mutex> guard(workMutex_);
            workWake_.wait(guard, [this] { return stopping_ || pending_ != Work::None; });
            if (stopping_) {
                if (busy_) {
                    busy_ = false;
                    if (hooks_.finished)
                        hooks_.finished();
                }
                return;
            }
            work = pending_;
            failed = failedMonitor_;
            pending_ = Work::None;
            failedMonitor_ = nullptr;
        }
        bool replaced = false;
        if (work == Work::Rebuild) {
            std::lock_guard<std::mutex> guard(monitorMutex_);
            replaced = monitor_.get() != failed; // a build since has replaced the failed monitor
        }
        if (!replaced)
            run(work);
        std::lock_guard<std::mutex> guard(workMutex_);
        if (pending_ == Work::None && busy_ && !stopping_) {
            busy_ = false;
            if (hooks_.finished)
                hooks_.finished();
        }
    }
}

void RebuildScheduler::run(Work work)
{
    const bool rebuild = work == Work::Rebuild;
    if (rebuild) {
        std::lock_guard<std::mutex> guard(monitorMutex_);
        if (monitor_)
            monitor_->stop(); // joins the failed monitor
    }
    auto report = [&](bool ok) {
        if (rebuild && hooks_.rebuilt)
            hooks_.rebuilt(ok);
    };
    qint64 delay = backoff_.first;
    for (;;) {
        // A journal also fails when its volume is unmounted: then the mount point shows another
        // file system (or none), which must not be indexed under this volume's serial.
        if (!hooks_.volumePresent()) {
            TQ_LOG_WARNING(
                Tag, QStringLiteral("Volume %1 is gone; its index is not rebuilt").arg(drive_));
            report(false);
            return;
        }
        try {
            const int objects = hooks_.build(&workCancel_);
            if (rebuild)
                TQ_LOG_INFO(
                    Tag,
                    QStringLiteral("Index of %1 rebuilt: %2 objects").arg(drive_).arg(objects));
            else
                TQ_LOG_INFO(Tag,
                            QStringLiteral("Index of %1 reconciled with the volume: %2 objects")
                                .arg(drive_)
                                .arg(objects));
            report(true);
            return;
        } catch (const FileSearchCancelException&) {
            TQ_LOG_INFO(
                Tag, rebuild ? QStringLiteral("Rebuilding the index of %1 canceled").arg(drive_)
                             : QStringLiteral("Reconciling the index of %1 canceled").arg(drive_));
            return;
        } catch (const std::exception& e) {
            TQ_LOG_ERROR(
                Tag,
                QStringLiteral("%1 the index of %2 failed: %3; trying again in %4 seconds")
                    .arg(rebuild ? QStringLiteral("Rebuilding") : QStringLiteral("Reconciling"),
                         drive_, QString::fromUtf8(e.what()))
                    .arg((delay + 999) / 1000));
            report(false);
        }
        if (hooks_.retrying)
            hooks_.retrying(delay);
        // No new monitor runs after a failed build (a failed build starts none), so no monitor
        // failure waits for this thread while it holds the mutex here.
        std::unique_lock<std::mutex> guard(workMutex_);
        if (workWake_.wait_for(guard, std::chrono::milliseconds(delay),
                               [this] { return stopping_; }))
            return;
        delay = qMin<qint64>(delay * 2, backoff_.max);
    }
}
