// FileSearcher: the one object through which the user interface reaches the search engine.
// It owns the name index (NTFSFileSearcher, only when the process may use it), the content
// searcher with its converters, the client of the helper program, the folder searcher, and
// every running name search (FileSearch) and matches search (MatchesSearch), each filed by the
// id of its request. Initialisation ("INIT"), index updates ("UPDATE"), name searches ("FIND")
// and matches searches ("FIND_MATCHES") each run on a thread of their own; completion comes
// back to the GUI thread as signals carrying the request id. All operations are called on the
// thread that owns the object (the GUI thread).
//
// Decisions of this implementation:
// - Working folder: the converted text files are private to the user. The folder is created
//   with mode 0700 and checked (a real folder, not a link, owned by the effective user, no
//   access for group or others; a folder of ours with wider rights is narrowed). When the check
//   fails (for example a folder of that name planted by another user in a shared temporary
//   folder) a fresh private folder "<name>-XXXXXX" is made beside it instead, and logged.
// - Every name search filed by `find` reports its end exactly once, cancelled or not:
//   `findEnded` (id, FindOutcome) and then `findFinished` (id), both on the GUI thread. That
//   includes a search stopped with `stopFind` or `cancelFind`; only `stop` and the destructor
//   end searches silently (the engine is going away), and a search replaced by a `find` under
//   the same id has only the replacement's report. So whoever keeps a search's request and
//   results alive learns when they may go. A matches search likewise always reports
//   `findMatchesFinished`.
// - `stopFind` and `stopFindMatches` raise the cancel flags and return at once (the end report
//   follows when the search has stopped); `cancelFind` and `cancelFindMatches` also wait for
//   the thread. The window uses only the first pair: it never waits for a search.
// - Completion signals of a task or search that has been replaced meanwhile are ignored (each
//   connection carries the identity of its search), so a late signal never ends or reports a
//   newer search filed under the same id.
// - `find` with an id that is filed already cancels the old search (waiting for it) before the
//   new one is filed. `init` while an "INIT" task runs stops that task (its stop flag) and waits
//   for it. `update` while an "UPDATE" task runs queues the new settings behind it (only the
//   latest are kept); `updateStarted` opens and `updateFinished` closes such a chain.
// - Name searches run from the first `init` on, without waiting for the index to start: the
//   index answers for the volumes that are ready (a volume loading its file is waited for, one
//   being built is walked, NTFSDB::search). Searches filed before `init` wait for it. Starting
//   them (at `init` and again at the end of the initialisation) starts only the searches that
//   have not been started yet, so a second `init` never restarts a running search.
// - The content options are published as an immutable snapshot (ContentSearcher), so
//   `setContentSearchOptions` is safe while searches run.
// - It is the IFilterListSource of the settings store: listIFilters32 is the registry scan,
//   listIFilters64 asks the helper program. `readIFilterLists` asks both on a thread of its own
//   ("IFILTERS", the helper's answer may take a while) and hands them back with
//   `ifilterListsRead`; `stop` and the destructor end that thread first (a request still waiting
//   for its turn at the helper gives up, one already sent is answered within the helper's time
//   limit).
#pragma once

#include "core/ContentSearchOptions.h"
#include "core/IFilterListSource.h"
#include "core/IndexingSettings.h"
#include "search/engine/FindOutcome.h"
#include "search/index/VolumeState.h"
#include "search/model/FileSearchRequest.h"

#include <QMap>
#include <QMutex>
#include <QObject>
#include <QString>

#include <list>
#include <map>
#include <optional>

class ContentSearcher;
class DirectorySearcher;
class FileSearch;
class ResultStore;
class FileSearcherWorker;
class Helper64Client;
class MatchesSearch;
class NTFSFileSearcher;
class TempFileHolder;

class FileSearcher : public QObject, public IFilterListSource
{
    Q_OBJECT
public:
    enum OptionFlag { UseIndex = 1 };

    FileSearcher(const QString& workingFolder, int optionFlags, QObject* parent = nullptr);
    ~FileSearcher() override;

    // Ends all engine work (the "INIT" task and every name search).
    void stop();

    void init(const IndexingSettings& indexingSettings,
              const ContentSearchOptions& contentSearchOptions);
    void update(const IndexingSettings& indexingSettings);
    void setContentSearchOptions(const ContentSearchOptions& contentSearchOptions);
    IndexingSettings indexingSettings() const;
    int optionFlags() const { return optionFlags_; }
    // Mount point of every indexed volume to its number of indexed objects.
    void indexedCounts(QMap<QString, int>& out) const;
    // How each volume the index set knows is searched now (VolumeState.h); empty without an
    // index. Cheap and safe on any thread: never waits for a volume being built.
    QList<VolumeState> volumeStates() const;

    static std::list<IFilterInfo> getIFilters32();
    std::list<IFilterInfo> getIFilters64();
    IFilterMap listIFilters32() override;
    IFilterMap listIFilters64() override;
    // Reads both lists away from the calling thread; `ifilterListsRead` follows on this object's
    // thread. A reading asked for while one runs is not started again (GUI thread).
    void readIFilterLists();

    // `request` and `results` belong to the caller and stay alive until the search has finished
    // or was cancelled.
    void find(FileSearchRequest* request, ResultStore* results);
    // Waits for the search's thread; the end is reported (canceled) after the return.
    void cancelFind(FileSearchRequest::Id id);
    // Asks the search to stop and returns at once; its end is reported when it has stopped.
    void stopFind(FileSearchRequest::Id id);
    void findProgress(FileSearchRequest::Id id, int& checked, int& total);
    // `request` (a copy made for matches) and `holder` belong to the caller as above.
    void findMatches(FileSearchRequest* request, const QString& filePath, TempFileHolder* holder);
    void cancelFindMatches(FileSearchRequest::Id id);
    // Asks a matches search to stop and returns at once; its end is still reported.
    void stopFindMatches(FileSearchRequest::Id id);

    // Searches filed and not yet reported ended.
    int filedFindCount() const;
    int filedMatchesCount() const { return int(matchesSearches.size()); }

    // The working folder in use (see above).
    QString workingFolder() const { return workFolder; }
    ContentSearcher* contentSearcherForTests() const { return contentSearcher; }
    bool isInitialized() const { return state_ == State::Initialized; }

    // Creates or checks the private folder (see above); returns the folder to use, empty when
    // none could be made.
    static QString preparePrivateFolder(const QString& wanted);

signals:
    void initFinished();
    // The lists `readIFilterLists` read (emitted on this object's thread).
    void ifilterListsRead(const IFilterMap& list32, const IFilterMap& list64);
    // How a name search ended; emitted right before its findFinished.
    void findEnded(FileSearchRequest::Id id, const FindOutcome& outcome);
    void findFinished(FileSearchRequest::Id id);
    void findMatchesFinished(FileSearchRequest::Id id);
    void updateStarted();
    void updateFinished();
    // A volume's state changed (delivered on the thread that owns this object).
    void volumeStatesChanged();

public slots:
    void onInitFinished();
    void onFindFinished(FileSearchRequest::Id id);
    void onFindMatchesFinished(FileSearchRequest::Id id);
    void onUpdateIndexingFinished();

private:
    struct FindEntry
    {
        FileSearch* search;
        quint64 serial;
    };
    struct MatchesEntry
    {
        MatchesSearch* search;
        quint64 serial;
    };

    // Before the index's initialisation has ended, updates and name searches wait (filed);
    // once it has, they run.
    enum class State { Initializing, Initialized };
    void setState(State newState);
    // Starts every filed search not started yet; later `find`s start at once.
    void startFiledSearches();
    // Emits the end of a search that never ran or was ended here, after the current event.
    void reportEndLater(FileSearchRequest::Id id, const FindOutcome& outcome);
    void startUpdate(const IndexingSettings& settings, bool run);
    // Disconnects, waits for and deletes a task thread; null afterwards.
    static void endWorker(FileSearcherWorker*& worker);
    // An "INIT" or "UPDATE" task thread (not started) running `task` of the index with the
    // stop flag (lowered) and a copy of the settings; its end calls `onFinished` unless a newer
    // task has been made meanwhile (`generation`).
    FileSearcherWorker* makeIndexTask(const QString& name,
                                      void (NTFSFileSearcher::*task)(bool*, const IndexingSettings&),
                                      bool* stop, const IndexingSettings& settings,
                                      quint64* generation, void (FileSearcher::*onFinished)());

    State state_ = State::Initializing;
    bool searching = false; // under `mutex`: name searches may run (set by `init`)
    int optionFlags_;
    bool stopInit = false;
    bool stopUpdate = false;
    bool stopLists = false;
    NTFSFileSearcher* ntfsSearcher = nullptr;
    DirectorySearcher* directorySearcher = nullptr;
    ContentSearcher* contentSearcher = nullptr;
    FileSearcherWorker* initWorker = nullptr;
    FileSearcherWorker* updateWorker = nullptr;
    FileSearcherWorker* listsWorker = nullptr;
    // Written by the "IFILTERS" thread, read here after its end.
    IFilterMap readLists32;
    IFilterMap readLists64;
    Helper64Client* helper64 = nullptr;
    std::map<FileSearchRequest::Id, FindEntry> findSearches;
    std::map<FileSearchRequest::Id, MatchesEntry> matchesSearches;
    mutable QMutex mutex;

    QString workFolder;
    quint64 serial = 0;
    quint64 initGeneration = 0;
    quint64 updateGeneration = 0;
    std::optional<IndexingSettings> pendingUpdate;
};
