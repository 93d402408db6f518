// SearchReaper: ends an engine search that a tab gives up (a new search, Cancel, closing or
// clearing the tab) without waiting for it on the GUI thread.
//
// The request's cancel flag is raised (every long loop of the engine polls it); the request
// and the object the search writes into (results or match holder) are then kept alive by a
// small keeper, a child of the FileSearcher, until the engine reports that search's end
// (`findFinished` / `findMatchesFinished` with its id). So a closed tab never frees memory a
// search thread still writes into, and the window never waits for a slow conversion to stop.
// A search the engine had not started yet never reports; its keeper goes with the
// FileSearcher, which ends and deletes its filed searches first.
#pragma once

#include <memory>

class FileSearchRequest;
class FileSearchResults;
class FileSearcher;
class TempFileHolder;

namespace SearchReaper {

void reapFind(FileSearcher* searcher, std::unique_ptr<FileSearchRequest> request,
              std::unique_ptr<FileSearchResults> results);
void reapMatches(FileSearcher* searcher, std::unique_ptr<FileSearchRequest> request,
                 std::unique_ptr<TempFileHolder> holder);

} // namespace SearchReaper
