#include "ui/results/ResultSorter.h"

ResultSorter::ResultSorter(QObject* parent)
    : QObject(parent)
{
}

void ResultSorter::cancel()
{
    job.cancel();
}

void ResultSorter::start(std::shared_ptr<FileSearchResults> results, int column, Qt::SortOrder order)
{
    column_ = column;
    order_ = order;
    using Outcome = std::shared_ptr<FileSearchResults::SortPlan>;
    job.start<Outcome>(
        [this, results = std::move(results), column, order](const BackgroundJob::Control& control) -> Outcome {
            // Worker thread: `this` is not touched here.
            auto made = std::make_shared<FileSearchResults::SortPlan>(results->prepareSort(column, order));
            auto report = [&control, self = this](int done, int total) {
                control.post([self, done, total]() { emit self->progress(done, total); });
            };
            if (!FileSearchResults::computeSort(*made, control.flag(), report))
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

void ResultSorter::discard(FileSearchResults::SortPlan&& spent)
{
    if (spent.dirs.empty() && spent.files.empty())
        return;
    auto lists = std::make_shared<FileSearchResults::SortPlan>(std::move(spent));
    BackgroundJob::detach([lists]() mutable { lists.reset(); });
}

FileSearchResults::SortPlan ResultSorter::takePlan()
{
    FileSearchResults::SortPlan taken = std::move(plan);
    plan = FileSearchResults::SortPlan();
    return taken;
}
