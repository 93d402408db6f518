#include "ui/tab/SearchReaper.h"

#include "search/engine/FileSearcher.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/FileSearchResults.h"
#include "search/model/TempFileHolder.h"

namespace {

class Keeper : public QObject
{
public:
    Keeper(FileSearcher* searcher, std::unique_ptr<FileSearchRequest> request,
           std::unique_ptr<FileSearchResults> results, std::unique_ptr<TempFileHolder> holder)
        : QObject(searcher), request(std::move(request)), results(std::move(results)), holder(std::move(holder))
    {
    }

    std::unique_ptr<FileSearchRequest> request;
    std::unique_ptr<FileSearchResults> results;
    std::unique_ptr<TempFileHolder> holder;
};

// Raises the request's flag and keeps the request and `results` or `holder` until `ended`
// reports the request's id.
template <typename Signal>
void keep(FileSearcher* searcher, Signal ended, std::unique_ptr<FileSearchRequest> request,
          std::unique_ptr<FileSearchResults> results, std::unique_ptr<TempFileHolder> holder)
{
    if (!request)
        return;
    request->canceled = true;
    const FileSearchRequest::Id id = request->id;
    auto* keeper = new Keeper(searcher, std::move(request), std::move(results), std::move(holder));
    QObject::connect(searcher, ended, keeper, [keeper, id](FileSearchRequest::Id done) {
        if (done == id)
            keeper->deleteLater();
    });
}

} // namespace

namespace SearchReaper {

void reapFind(FileSearcher* searcher, std::unique_ptr<FileSearchRequest> request,
              std::unique_ptr<FileSearchResults> results)
{
    keep(searcher, &FileSearcher::findFinished, std::move(request), std::move(results), nullptr);
}

void reapMatches(FileSearcher* searcher, std::unique_ptr<FileSearchRequest> request,
                 std::unique_ptr<TempFileHolder> holder)
{
    keep(searcher, &FileSearcher::findMatchesFinished, std::move(request), nullptr, std::move(holder));
}

} // namespace SearchReaper
