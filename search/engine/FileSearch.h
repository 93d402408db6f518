// FileSearch: one name search of a search tab. The name phase collects candidates from the
// index of every indexed volume and by walking the request's folders on other volumes; the
// check phase tests every candidate against the rest of the request (contents, dates, sizes)
// in parallel and adds those that pass to the tab's results. Every end is reported by
// `finished` with the request id, also the end of a cancelled search (`outcome` tells which),
// so that whoever keeps the request and the results alive for the search knows when they may go.
//
// Decisions of this implementation:
// - A cancelled search logs "File search canceled: id = %1, %2 objects found" instead of the
//   finished line, and reports its end like any other.
// - Include folders that do not exist are noted at the start of the name phase (outcome's
//   missingFolders); the search goes on with the others.
// - The name phase runs on the search's own "FIND" thread; the check jobs start before it and
//   take each candidate as soon as it has been found (so the walk and the checks overlap), and
//   `finished` is emitted from the FIND thread as its last act, once every job has ended.
//   (Ending from the thread's own finished signal would let the owner delete the search while
//   its thread still runs.)
// - Each search has a thread pool of its own for its candidate checks: cancelling one search
//   drops only its own queued checks and waits only for its own jobs; other searches running
//   at the same time keep theirs. The pool runs one job per thread, each taking the next
//   unchecked candidate until none is left (one job per candidate would spend more time in
//   the pool's queue than in short checks); a failing check ends only its own candidate.
// - The content settings are taken once per check phase, so all checks of a search see the
//   same settings even when the options change meanwhile.
// - The contents pattern is compiled once per search (ContentQuery) and shared by the checks.
// - Candidate test: the cheap tests (dates, sizes) come before the contents; the outcome is the
//   same (every test must pass). A candidate that has vanished fails. The upper date bound
//   includes the whole chosen day (modified before 00:00 of the next day). Only regular files
//   are searched for contents (ContentSearcher). When counting is asked, the match count is
//   the number of every match in the file.
// - Which volumes the index answers for is decided once per search: the index searches the
//   volumes it holds at that moment and names them (NTFSFileSearcher::search's `served`);
//   every other volume in reach is walked, whatever kept it from the index (not chosen, a
//   failed or unfinished build, a whole-volume mark the file system refuses, a serial shared
//   with another volume). The mount table is read once for the search. The index of a btrfs
//   volume leaves out the subvolumes nested in it (VolumeLayer::nestedSubvolumes): they are
//   walked, and an include folder inside one is walked, not looked up in the index.
// - An include folder is answered by the index when its volume is served (and it is not in a
//   nested subvolume); the others are walked with everything below them. Linux volumes nest,
//   and the index of a volume stops at the mounts inside it, so below an include folder
//   answered by the index (with subfolders) every other local volume is searched too: through
//   the index when it is served itself, else by walking it (a volume inside a walked one is
//   walked with it). Network volumes are only searched when an include folder names a path
//   on them.
// - A request without include folders (the instant search) searches the whole machine: the
//   served volumes through the index, and every other local volume by walking it from its
//   mount point (volumesToWalk), also when there is no index at all. Only the volumes of the
//   volume layer are walked: never pseudo file systems, network volumes, or a mount that is an
//   alias of another volume. Each walk stays on its own volume (it does not enter the root of
//   any other mount), so nested volumes are each walked once and a served volume inside a
//   walked one is not walked. Exclude folders apply as in any walk, to the mount points too;
//   subfolders are always searched, as the index does for a whole volume. The walk polls the
//   cancel flag at every entry.
// - One answer for one request: the index and the walk leave out the same objects (one
//   ExclusionRule, the request's entries and those of the index settings in both routes), and
//   include folders that overlap are searched once (scopeOf).
#pragma once

#include "search/engine/ContentSearchStats.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/FindOutcome.h"
#include "search/model/FileSearchRequest.h"

#include "core/IndexingSettings.h"

#include <QMutex>
#include <QWaitCondition>
#include <QSet>
#include <QStringList>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class ContentQuery;
class DirectorySearcher;
class ResultStore;
class FileSearcherWorker;
class Helper64Client;
class NTFSFileSearcher;
class QThreadPool;
struct VolumeDescription;

class FileSearch : public QObject
{
    Q_OBJECT
public:
    FileSearch(NTFSFileSearcher* ntfsSearcher, DirectorySearcher* directorySearcher,
               ContentSearcher* contentSearcher, Helper64Client* helper64,
               FileSearchRequest* request, ResultStore* results, QObject* parent = nullptr);
    ~FileSearch() override;

    // Starts the "FIND" thread; a search that was started already is left alone.
    void start();

    // Sets the request's cancel flag, drops the queued checks and waits until the search does
    // no more work.
    void cancel();
    // Sets the cancel flags (also that of the index search of volumes nested in an include
    // folder) and returns at once; the search stops soon and reports its end.
    void raiseCancel();
    bool isStarted() const { return findWorker != nullptr; }
    bool nestedSearchCanceled() const { return nestedRequest.canceled; }
    // How the search ended; complete once `finished` has been emitted.
    FindOutcome outcome() const;

    // Candidates checked so far and the number of candidates (0 and 0 for a name-only search).
    void progress(int& checked, int& total) const;

    FileSearchRequest::Id id() const { return request->id; }

    // The candidate test (dates, sizes, contents) under the given content settings;
    // `matchCount` null or a counter.
    // `stats`: null, or the counters of what the contents checks pass over.
    static bool candidatePasses(ContentSearcher* contentSearcher,
                                const ContentSearcher::Snapshot& settings,
                                const ContentQuery* query, const FileSearchRequest* request,
                                const QString& path, bool isDir, int* matchCount,
                                ContentSearchStats* stats = nullptr);
    // The mount points to walk for a request without include folders (see above), in mount
    // point order; `served`: the volumes the index answered for (null: none).
    static QStringList volumesToWalk(const QList<VolumeDescription>& volumes,
                                     const QSet<QString>* served);
    // The include folders as searched: without trailing "/", each once, and with subfolders
    // none inside another (it is searched with the outer one), in the given order.
    static QStringList scopeOf(const QStringList& includePaths, bool subfolders);
    // Is `path` the folder `folder` or inside it?
    static bool isWithin(const QString& path, const QString& folder);
    // The date and size bounds of the request; a vanished candidate fails.
    static bool withinBounds(const FileSearchRequest* request, const QString& path, bool isDir);

signals:
    void finished(FileSearchRequest::Id id);

public slots:
    // The end of the check phase (waits for its jobs); runs on the "FIND" thread right after
    // the name phase.
    void onFindFinished();

private:
    void find(ResultStore* target);
    void searchNestedVolumes(const QList<VolumeDescription>& volumes, const QSet<QString>& served,
                             const QStringList& nestedSubvolumes,
                             const QStringList& indexedIncludes, ResultStore* target,
                             QStringList* walk);
    void checkCandidate(const ContentSearcher::Snapshot& settings, const ContentQuery* query,
                        const QString& path, bool isDir);
    // Starts the check jobs (before the name phase).
    void startChecks();
    // The next candidate to check, waiting for the name phase to find one; false when none is
    // left and the name phase has ended, or when the search is cancelled.
    bool nextCandidate(QString* path, bool* isDir);

    Helper64Client* helper64;
    FileSearcherWorker* findWorker = nullptr;
    ResultStore* candidates;
    std::atomic<int> checkedCount{0};
    // The candidates taken by the check jobs so far, per list, and the end of the name phase.
    QMutex queueMutex;
    QWaitCondition candidateAdded;
    int nextDir = 0;
    int nextFile = 0;
    bool namesDone = false;
    NTFSFileSearcher* ntfsSearcher;
    DirectorySearcher* directorySearcher;
    ContentSearcher* contentSearcher;
    FileSearchRequest* request;
    ResultStore* results;
    QMutex mutex;
    // Include folders that do not exist; written by the "FIND" thread before `finished`.
    QStringList missingFolders;
    // The request narrowed to the indexed volumes inside an include folder (see above); its
    // own cancel flag is raised with the request's, so that index search stops too.
    FileSearchRequest nestedRequest;
    // The request with its include folders as searched (scopeOf), when they differ from those
    // given; its cancel flag is raised with the request's.
    FileSearchRequest scopedRequest;
    QThreadPool* pool;
    // What the contents checks passed over, logged in one line when they end.
    ContentSearchStats contentStats;
};
