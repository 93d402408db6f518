#include "search/engine/FileSearch.h"

#include "core/FileUtils.h"
#include "core/IndexingSettings.h"
#include "core/Logger.h"
#include "core/LongPath.h"
#include "platform/VolumeLayer.h"
#include "search/engine/ContentQuery.h"
#include "search/engine/ContentSearchWorker.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/DirectorySearcher.h"
#include "search/engine/FileSearcherWorker.h"
#include "search/index/NTFSFileSearcher.h"
#include "search/index/NTFSUtils.h"
#include "search/model/ResultStore.h"
#include "search/textextract/Helper64Client.h"
#include "search/textextract/ToPlainTextConverter.h"

#include <QDateTime>
#include <QSet>
#include <QThreadPool>

#include <cerrno>
#include <sys/stat.h>

namespace {

// True when nothing is at `path` (or a component of it is not a folder); other failures, such
// as a folder that may not be entered, are left to the walk, which reports them.
bool isMissingFolder(const QString& path)
{
    const PathAt at(path);
    if (!at.isValid())
        return at.error() == ENOENT || at.error() == ENOTDIR;
    struct stat st;
    if (::fstatat(at.folder(), at.name(), &st, 0) == 0)
        return false;
    return errno == ENOENT || errno == ENOTDIR;
}

} // namespace

FileSearch::FileSearch(NTFSFileSearcher* ntfs, DirectorySearcher* directories,
                       ContentSearcher* contents, Helper64Client* helper,
                       FileSearchRequest* searchRequest, ResultStore* searchResults,
                       QObject* parent)
    : QObject(parent)
    , helper64(helper)
    , candidates(new ResultStore)
    , ntfsSearcher(ntfs)
    , directorySearcher(directories)
    , contentSearcher(contents)
    , request(searchRequest)
    , results(searchResults)
    , nestedRequest(*searchRequest)
    , scopedRequest(*searchRequest)
    , pool(new QThreadPool)
{
}

FileSearch::~FileSearch()
{
    if (findWorker) {
        findWorker->disconnect();
        findWorker->wait();
        delete findWorker;
    }
    pool->clear();
    pool->waitForDone();
    delete pool;
    delete candidates;
}

void FileSearch::start()
{
    // A search cancelled before it started still runs (it stops at once) so that its end is
    // reported like every other.
    if (findWorker)
        return;
    ResultStore* target = request->isNameOnly() ? results : candidates;
    findWorker = new FileSearcherWorker(QStringLiteral("FIND"), [this, target]() {
        // The name phase ends like any task (its exceptions are logged); the check phase then
        // runs on the candidates gathered so far.
        // The checks start before the name phase and take the candidates as it finds them.
        if (!request->isNameOnly())
            startChecks();
        FileSearcherWorker::runTask([this, target]() { find(target); });
        {
            QMutexLocker locker(&queueMutex);
            namesDone = true;
            candidateAdded.wakeAll();
        }
        onFindFinished();
    });
    findWorker->start(QThread::InheritPriority);
}

void FileSearch::cancel()
{
    request->canceled = true;
    nestedRequest.canceled = true;
    scopedRequest.canceled = true;
    if (findWorker) {
        pool->clear();
        findWorker->disconnect();
        findWorker->wait();
        delete findWorker;
        findWorker = nullptr;
    }
    pool->clear();
    pool->waitForDone();
}

void FileSearch::raiseCancel()
{
    request->canceled = true;
    nestedRequest.canceled = true;
    scopedRequest.canceled = true;
}

FindOutcome FileSearch::outcome() const
{
    FindOutcome outcome;
    outcome.canceled = request->canceled;
    outcome.missingFolders = missingFolders;
    return outcome;
}

void FileSearch::progress(int& checked, int& total) const
{
    checked = checkedCount.load();
    total = candidates->itemCount();
}

void FileSearch::find(ResultStore* target)
{
    TQ_LOG_INFO("FileSearch", QStringLiteral("File search started: %1").arg(request->toString()));
    bool anyFolder = false;
    for (const QString& path : request->includePaths) {
        anyFolder = anyFolder || !path.isEmpty();
        if (!path.isEmpty() && isMissingFolder(path))
            missingFolders.append(path);
    }
    // Each folder is searched once: an include folder inside another one (with subfolders) or
    // named twice is left out of the search's own copy of the request.
    const QStringList includes = scopeOf(request->includePaths, request->includeSubfolders);
    FileSearchRequest* asked = request;
    if (includes != request->includePaths) {
        scopedRequest.includePaths = includes;
        asked = &scopedRequest;
    }
    // The exclusions of the index settings leave out the same objects from a walk as from the
    // index, so a request gets one answer whichever route serves a volume.
    if (ntfsSearcher) {
        QStringList excludes = request->excludePaths;
        for (const QString& entry : ntfsSearcher->settings().excludePaths) {
            if (!excludes.contains(entry))
                excludes.append(entry);
        }
        if (excludes != request->excludePaths) {
            scopedRequest.includePaths = includes;
            scopedRequest.excludePaths = excludes;
            asked = &scopedRequest;
        }
    }
    // The index answers for the volumes it holds at this moment, and says which they are;
    // every other volume in reach is walked, whatever kept it from the index (not chosen, its
    // build failed or has not ended, a whole-volume mark refused).
    QSet<QString> served;
    if (ntfsSearcher)
        ntfsSearcher->search(asked, target, &served);
    if (asked->canceled)
        return;
    VolumeLayer& layer = VolumeLayer::instance();
    const QList<VolumeDescription> volumes = layer.volumes(); // one reading of the mount table
    // The index of a btrfs volume leaves out the subvolumes nested in it: they are walked.
    QStringList nestedSubvolumes;
    for (const QString& mountPoint : served)
        nestedSubvolumes += layer.nestedSubvolumes(mountPoint);
    nestedSubvolumes.sort();

    if (!anyFolder) {
        // The whole machine: each volume the index does not serve is walked from its mount
        // point, staying on it.
        QSet<QString> mountPoints;
        for (const VolumeDescription& volume : volumes)
            mountPoints.insert(volume.mountPoint);
        QStringList walk = volumesToWalk(volumes, &served) + nestedSubvolumes;
        walk.sort();
        directorySearcher->walkVolumes(asked, target, walk, mountPoints);
        // The index holds no record of a nested subvolume's own folder either.
        directorySearcher->matchFolders(asked, target, nestedSubvolumes);
        return;
    }
    // Each include folder is answered by the index when its volume is served and it does not
    // lie in a subvolume nested in that volume; the others are walked.
    QStringList indexedIncludes;
    QStringList walkedIncludes;
    for (const QString& path : includes) {
        const QString volume = layer.volumeOf(path);
        bool indexed = served.contains(volume);
        for (const QString& subvolume : nestedSubvolumes)
            indexed = indexed && !isWithin(path, subvolume);
        (indexed ? indexedIncludes : walkedIncludes).append(path);
    }
    QStringList walk = walkedIncludes;
    if (asked->includeSubfolders && !indexedIncludes.isEmpty())
        searchNestedVolumes(volumes, served, nestedSubvolumes, indexedIncludes, target, &walk);
    directorySearcher->walkFolders(asked, target, walk);
    // The folders of the nested subvolumes walked here: the index holds no record of them.
    QStringList subvolumeRoots;
    for (const QString& folder : walk) {
        if (nestedSubvolumes.contains(folder) && !walkedIncludes.contains(folder))
            subvolumeRoots.append(folder);
    }
    directorySearcher->matchFolders(asked, target, subvolumeRoots);
}

QStringList FileSearch::scopeOf(const QStringList& includePaths, bool subfolders)
{
    QStringList cleaned;
    for (QString path : includePaths) {
        while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
            path.chop(1);
        if (!path.isEmpty() && !cleaned.contains(path))
            cleaned.append(path);
    }
    if (!subfolders)
        return cleaned;
    QStringList out;
    for (const QString& path : cleaned) {
        bool inner = false;
        for (const QString& other : cleaned)
            inner = inner || (other != path && isWithin(path, other));
        if (!inner)
            out.append(path);
    }
    return out;
}

bool FileSearch::isWithin(const QString& path, const QString& folder)
{
    if (folder == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    if (!path.startsWith(folder))
        return false;
    return path.size() == folder.size() || path.at(folder.size()) == QLatin1Char('/');
}

QStringList FileSearch::volumesToWalk(const QList<VolumeDescription>& volumes,
                                     const QSet<QString>* served)
{
    QStringList out;
    for (const VolumeDescription& volume : volumes) {
        if (volume.mountPoint.isEmpty() || volume.network || volume.alias)
            continue;
        if (served && served->contains(volume.mountPoint))
            continue; // searched through the index
        out.append(volume.mountPoint);
    }
    out.sort();
    return out;
}

void FileSearch::searchNestedVolumes(const QList<VolumeDescription>& volumes,
                                     const QSet<QString>& served,
                                     const QStringList& nestedSubvolumes,
                                     const QStringList& indexedIncludes, ResultStore* target,
                                     QStringList* walk)
{
    // Below the include folders answered by the index lie volumes the index of their own
    // volume stops at: the subvolumes nested in it and the mounts inside it. A served mount is
    // searched through the index, the others are walked; what lies inside something walked is
    // walked with it.
    auto isBelowAny = [](const QString& path, const QStringList& folders) {
        for (const QString& folder : folders) {
            if (path != folder && isWithin(path, folder))
                return true;
        }
        return false;
    };
    for (const QString& subvolume : nestedSubvolumes) {
        if (isBelowAny(subvolume, indexedIncludes) && !isBelowAny(subvolume, *walk))
            walk->append(subvolume);
    }
    QStringList indexedNested;
    QList<VolumeDescription> sorted = volumes;
    std::sort(sorted.begin(), sorted.end(), [](const VolumeDescription& a, const VolumeDescription& b) {
        return a.mountPoint < b.mountPoint;
    });
    for (const VolumeDescription& volume : sorted) {
        const QString& mountPoint = volume.mountPoint;
        if (volume.network || !isBelowAny(mountPoint, indexedIncludes) || isBelowAny(mountPoint, *walk)
            || walk->contains(mountPoint))
            continue;
        if (served.contains(mountPoint)) {
            if (!isBelowAny(mountPoint, indexedNested))
                indexedNested.append(mountPoint);
        } else {
            walk->append(mountPoint);
        }
    }
    if (!indexedNested.isEmpty() && !nestedRequest.canceled) {
        nestedRequest.includePaths = indexedNested;
        ntfsSearcher->search(&nestedRequest, target);
    }
}

void FileSearch::startChecks()
{
    // The helper is needed (and possibly restarted) only for contents; a restart waits for any
    // exchange of another search in progress, which a search of dates or sizes alone, or one
    // already cancelled, has no reason to do. The wait ends as soon as this search is
    // cancelled, so `cancel` does not wait for another search's conversion.
    if (helper64 && !request->contents.isEmpty() && !request->canceled)
        helper64->ensureRunning(ToPlainTextConverter::cancelFlagOf(request->canceled));
    // The compiled pattern and the settings are fixed for the whole phase and shared
    // read-only by the jobs; a candidate's path is made only when it is checked.
    std::shared_ptr<const ContentQuery> query;
    if (!request->contents.isEmpty())
        query = ContentQuery::fromRequest(*request);
    const ContentSearcher::SnapshotPtr settings = contentSearcher->snapshot();
    // Each job takes the next unchecked candidate until none is left and the name phase has
    // ended: a few long-lived jobs instead of one per candidate keep the pool's queue and
    // wake-ups out of the way.
    const int jobs = std::max(1, pool->maxThreadCount());
    for (int j = 0; j < jobs && !request->canceled; ++j) {
        pool->start(new ContentSearchWorker([this, query, settings]() {
            QString path;
            bool isDir = false;
            while (nextCandidate(&path, &isDir)) {
                // A failing check (its exception logged) ends only that candidate.
                FileSearcherWorker::runTask([&]() { checkCandidate(*settings, query.get(), path, isDir); });
            }
        }));
    }
}

bool FileSearch::nextCandidate(QString* path, bool* isDir)
{
    ResultStore::List list;
    int index;
    {
        QMutexLocker locker(&queueMutex);
        for (;;) {
            if (request->canceled)
                return false;
            const ResultStore::Sizes counts = candidates->sizes();
            if (nextDir < counts.dirs) {
                list = ResultStore::Dirs;
                index = nextDir++;
                break;
            }
            if (nextFile < counts.files) {
                list = ResultStore::Files;
                index = nextFile++;
                break;
            }
            if (namesDone)
                return false;
            // The name phase adds candidates without telling: look again soon (its end, and a
            // cancel through `cancel`, wake the jobs at once).
            candidateAdded.wait(&queueMutex, 2);
        }
    }
    const ResultStore::Entry entry = candidates->entryAt(list, index);
    *path = ResultStore::entryPath(entry);
    *isDir = entry.isDir;
    return true;
}

void FileSearch::onFindFinished()
{
    if (!request->isNameOnly()) {
        pool->waitForDone();
        const QString skipped = contentStats.summary(request->id);
        if (!skipped.isEmpty())
            TQ_LOG_INFO("FileSearch", skipped);
    }
    const QString line = request->canceled ? QStringLiteral("File search canceled: id = %1, %2 objects found")
                                           : QStringLiteral("File search finished: id = %1, %2 objects found");
    TQ_LOG_INFO("FileSearch", line.arg(request->id).arg(results->itemCount()));
    emit finished(request->id);
}

void FileSearch::checkCandidate(const ContentSearcher::Snapshot& settings, const ContentQuery* query,
                                const QString& path, bool isDir)
{
    int matchCount = 0;
    if (candidatePasses(contentSearcher, settings, query, request, path, isDir,
                        request->countMatches ? &matchCount : nullptr, &contentStats)) {
        QMutexLocker locker(&mutex);
        if (isDir)
            results->addDir(pathFileName(path), pathDirectory(path));
        else
            results->addFile(pathFileName(path), pathDirectory(path), matchCount);
    }
    ++checkedCount;
}

bool FileSearch::candidatePasses(ContentSearcher* contentSearcher,
                                 const ContentSearcher::Snapshot& settings,
                                 const ContentQuery* query, const FileSearchRequest* request,
                                 const QString& path, bool isDir, int* matchCount,
                                 ContentSearchStats* stats)
{
    const bool bounds = request->minDate.isValid() || request->maxDate.isValid()
        || request->minSize != -1 || request->maxSize != -1;
    if (bounds && !withinBounds(request, path, isDir))
        return false;
    if (!request->contents.isEmpty()) {
        if (isDir)
            return false;
        if (query)
            return contentSearcher->find(settings, *query, request, path, matchCount, stats);
        const ContentQueryPtr own = ContentQuery::fromRequest(*request);
        return contentSearcher->find(settings, *own, request, path, matchCount, stats);
    }
    return true;
}

bool FileSearch::withinBounds(const FileSearchRequest* request, const QString& path, bool isDir)
{
    // Any length: a walk reaches paths longer than PATH_MAX.
    const PathAt at(path);
    struct stat st;
    if (!at.isValid() || ::fstatat(at.folder(), at.name(), &st, 0) != 0)
        return false; // vanished since the name phase
    const QDateTime modified = QDateTime::fromMSecsSinceEpoch(
        qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
    if (request->minDate.isValid()
        && modified < QDateTime(request->minDate, QTime(0, 0), Qt::LocalTime))
        return false;
    // The upper bound includes the whole chosen day.
    if (request->maxDate.isValid()
        && modified >= QDateTime(request->maxDate.addDays(1), QTime(0, 0), Qt::LocalTime))
        return false;
    if (request->minSize != -1 && (isDir || qint64(st.st_size) < request->minSize))
        return false;
    if (request->maxSize != -1 && (isDir || qint64(st.st_size) > request->maxSize))
        return false;
    return true;
}
