// ResultSorter: sorts a results object on a thread of its own, so that the window stays
// responsive while keys are read from the file system (a size or time sort stats every item)
// or a million names are ordered.
//
// The worker copies the shown lists (FileSearchResults::prepareSort, a short lock) and computes
// the order without any lock; `finished` then comes on the owner's thread and the owner
// applies the plan (`takePlan`, FileSearchResults::applySort, which swaps the lists in) between
// the model's layout signals and hands the spent plan back (`discard`), to be freed on a
// thread of its own: copying, ordering and freeing a million rows never runs on the GUI thread. A new start or `cancel` stops a running sort: the worker polls the flag, so
// joining it takes at most a few milliseconds. Progress comes as (done, total) items.
#pragma once

#include "search/model/FileSearchResults.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <thread>

class ResultSorter : public QObject
{
    Q_OBJECT
public:
    explicit ResultSorter(QObject* parent = nullptr);
    ~ResultSorter() override;

    void start(FileSearchResults* results, int column, Qt::SortOrder order);
    // Stops a running sort and waits for its thread; its result is dropped.
    void cancel();
    bool isRunning() const { return running; }
    int column() const { return column_; }
    Qt::SortOrder order() const { return order_; }
    // The computed plan of the last finished sort (empty afterwards).
    FileSearchResults::SortPlan takePlan();
    // Frees a spent plan (the lists a sort replaced) away from the calling thread.
    static void discard(FileSearchResults::SortPlan&& spent);

signals:
    void progress(int done, int total);
    void finished();

private:
    void join();

    std::thread worker;
    std::shared_ptr<std::atomic<bool>> cancelFlag;
    FileSearchResults::SortPlan plan;
    quint64 serial = 0;
    bool running = false;
    int column_ = -1;
    Qt::SortOrder order_ = Qt::AscendingOrder;
};
