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

} // namespace

namespace SearchReaper {

void reapFind(FileSearcher* searcher, std::unique_ptr<FileSearchRequest> request,
              std::unique_ptr<FileSearchResults> results)
{
    if (!request)
        return;
    request->canceled = true;
    const FileSearchRequest::Id id = request->id;
    auto* keeper = new Keeper(searcher, std::move(request), std::move(results), nullptr);
    QObject::connect(searcher, &FileSearcher::findFinished, keeper, [keeper, id](FileSearchRequest::Id done) {
        if (done == id)
            keeper->deleteLater();
    });
}

void reapMatches(FileSearcher* searcher, std::unique_ptr<FileSearchRequest> request,
                 std::unique_ptr<TempFileHolder> holder)
{
    if (!request)
        return;
    request->canceled = true;
    const FileSearchRequest::Id id = request->id;
    auto* keeper = new Keeper(searcher, std::move(request), nullptr, std::move(holder));
    QObject::connect(searcher, &FileSearcher::findMatchesFinished, keeper,
                     [keeper, id](FileSearchRequest::Id done) {
                         if (done == id)
                             keeper->deleteLater();
                     });
}

} // namespace SearchReaper
