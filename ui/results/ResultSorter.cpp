#include "ui/results/ResultSorter.h"

ResultSorter::ResultSorter(QObject* parent)
    : QObject(parent)
{
}

void ResultSorter::cancel()
{
    job.cancel();
}

void ResultSorter::start(std::shared_ptr<ResultRows> results, int column, Qt::SortOrder order)
{
    column_ = column;
    order_ = order;
    using Outcome = std::shared_ptr<ResultRows::SortPlan>;
    job.start<Outcome>(
        [this, results = std::move(results), column, order](const BackgroundJob::Control& control) -> Outcome {
            // Worker thread: `this` is not touched here.
            auto made = std::make_shared<ResultRows::SortPlan>(results->prepareSort(column, order));
            auto report = [&control, self = this](int done, int total) {
                control.post([self, done, total]() { emit self->progress(done, total); });
            };
            if (!ResultRows::computeSort(*made, control.flag(), report))
                return {};
            return made;
        },
        [this](Outcome& made) {
            if (!made)
                return;
            plan = std::move(*made);
            emit finished();
        });
}

void ResultSorter::discard(ResultRows::SortPlan&& spent)
{
    if (spent.dirs.empty() && spent.files.empty())
        return;
    auto lists = std::make_shared<ResultRows::SortPlan>(std::move(spent));
    BackgroundJob::detach([lists]() mutable { lists.reset(); });
}

ResultRows::SortPlan ResultSorter::takePlan()
{
    ResultRows::SortPlan taken = std::move(plan);
    plan = ResultRows::SortPlan();
    return taken;
}
