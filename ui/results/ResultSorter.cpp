#include "ui/results/ResultSorter.h"

#include <QMetaObject>

#include <system_error>


ResultSorter::ResultSorter(QObject* parent)
    : QObject(parent)
{
}

ResultSorter::~ResultSorter()
{
    cancel();
}

void ResultSorter::join()
{
    if (worker.joinable())
        worker.join();
}

void ResultSorter::cancel()
{
    if (cancelFlag)
        cancelFlag->store(true);
    join();
    running = false;
    ++serial; // a completion already queued is ignored
}

void ResultSorter::start(FileSearchResults* results, int column, Qt::SortOrder order)
{
    cancel();
    column_ = column;
    order_ = order;
    running = true;
    const quint64 mine = ++serial;
    auto flag = std::make_shared<std::atomic<bool>>(false);
    cancelFlag = flag;
    auto job = std::make_shared<FileSearchResults::SortPlan>();
    worker = std::thread([this, job, flag, mine, results, column, order]() {
        *job = results->prepareSort(column, order);
        auto report = [this, flag, mine](int done, int total) {
            if (!flag->load())
                QMetaObject::invokeMethod(this, [this, mine, done, total]() {
                    if (mine == serial)
                        emit progress(done, total);
                }, Qt::QueuedConnection);
        };
        const bool complete = FileSearchResults::computeSort(*job, flag.get(), report);
        if (!complete)
            return;
        QMetaObject::invokeMethod(this, [this, job, mine]() {
            if (mine != serial)
                return;
            join();
            plan = std::move(*job);
            running = false;
            emit finished();
        }, Qt::QueuedConnection);
    });
}

void ResultSorter::discard(FileSearchResults::SortPlan&& spent)
{
    if (spent.dirs.empty() && spent.files.empty())
        return;
    auto lists = std::make_shared<FileSearchResults::SortPlan>(std::move(spent));
    try {
        std::thread([lists]() mutable { lists.reset(); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: freed here.
    }
}

FileSearchResults::SortPlan ResultSorter::takePlan()
{
    FileSearchResults::SortPlan taken = std::move(plan);
    plan = FileSearchResults::SortPlan();
    return taken;
}
