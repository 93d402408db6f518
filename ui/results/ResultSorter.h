// ResultSorter: sorts a results object off the GUI thread (a BackgroundJob), so that the window
// stays responsive while keys are read from the file system (a size or time sort stats every
// item) or a million names are ordered.
//
// The worker copies the shown lists (ResultRows::prepareSort, a short lock) and computes
// the order without any lock; `finished` then comes on the owner's thread and the owner
// applies the plan (`takePlan`, ResultRows::applySort, which swaps the lists in) between
// the model's layout signals and hands the spent plan back (`discard`), to be freed on a
// worker: copying, ordering and freeing a million rows never runs on the GUI thread. A new
// start or `cancel` stops a running sort at its next poll of the flag and drops its result;
// nothing waits for it. The job shares the results, so they live until it has ended. Progress
// comes as (done, total) items.
#pragma once

#include "search/model/ResultRows.h"
#include "ui/common/BackgroundJob.h"

#include <QObject>

#include <memory>

class ResultSorter : public QObject
{
    Q_OBJECT
public:
    explicit ResultSorter(QObject* parent = nullptr);

    // GUI thread, as every function here.
    void start(std::shared_ptr<ResultRows> results, int column, Qt::SortOrder order);
    // Stops a running sort; its result is dropped.
    void cancel();
    bool isRunning() const { return job.isRunning(); }
    int column() const { return column_; }
    Qt::SortOrder order() const { return order_; }
    // The computed plan of the last finished sort (empty afterwards).
    ResultRows::SortPlan takePlan();
    // Frees a spent plan (the lists a sort replaced) on a worker.
    static void discard(ResultRows::SortPlan&& spent);

signals:
    void progress(int done, int total);
    void finished();

private:
    BackgroundJob job;
    ResultRows::SortPlan plan;
    int column_ = -1;
    Qt::SortOrder order_ = Qt::AscendingOrder;
};
