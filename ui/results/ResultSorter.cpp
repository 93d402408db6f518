#include "ui/results/ResultSorter.h"

#include <QMetaObject>


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
    auto job = std::make_shared<FileSearchResults::SortPlan>(results->prepareSort(column, order));
    worker = std::thread([this, job, flag, mine]() {
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

FileSearchResults::SortPlan ResultSorter::takePlan()
{
    FileSearchResults::SortPlan taken = std::move(plan);
    plan = FileSearchResults::SortPlan();
    return taken;
}
