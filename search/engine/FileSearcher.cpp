#include "search/engine/FileSearcher.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/Logger.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/DirectorySearcher.h"
#include "search/engine/FileSearch.h"
#include "search/engine/FileSearcherWorker.h"
#include "search/index/NTFSFileSearcher.h"
#include "search/engine/MatchesSearch.h"
#include "search/textextract/Helper64Client.h"
#include "search/textextract/IFilterConverter.h"

#include <QDir>
#include <QMutexLocker>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const Tag = "FileSearcher";

void raiseFlag(bool* flag, bool value)
{
    __atomic_store_n(flag, value, __ATOMIC_RELAXED);
}

// A real folder (not a link) owned by the effective user; narrowed to 0700 when it is wider.
bool isPrivateFolder(const QByteArray& path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0)
        return false;
    return true;
}

// Unfiles a search and ends it: no signal of it arrives any more, it is cancelled (waiting
// for its thread) and deleted.
template <class Map>
void dropFiled(Map& map, typename Map::iterator it)
{
    auto* search = it->second.search;
    map.erase(it);
    search->disconnect();
    search->cancel();
    delete search;
}

} // namespace

QString FileSearcher::preparePrivateFolder(const QString& wanted)
{
    if (!wanted.isEmpty()) {
        const QByteArray path = FileNameCodec::encode(QDir::cleanPath(wanted));
        const QString parent = pathDirectory(QDir::cleanPath(wanted));
        if (!parent.isEmpty())
            makePath(parent);
        if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
            TQ_LOG_WARNING(Tag, QStringLiteral("Cannot create the working folder %1: %2")
                                    .arg(wanted, QString::fromLocal8Bit(std::strerror(errno))));
        if (isPrivateFolder(path))
            return QDir::cleanPath(wanted);
    }
    // Not usable: a fresh private folder beside it (or in the temporary folder).
    const QString base = wanted.isEmpty() ? QDir::tempPath() + QStringLiteral("/Tallowquist Pro")
                                          : QDir::cleanPath(wanted);
    QByteArray pattern = FileNameCodec::encode(base + QStringLiteral("-XXXXXX"));
    if (!::mkdtemp(pattern.data())) {
        pattern = FileNameCodec::encode(QDir::tempPath() + QStringLiteral("/Tallowquist Pro-XXXXXX"));
        if (!::mkdtemp(pattern.data())) {
            TQ_LOG_ERROR(Tag, QStringLiteral("No private working folder can be made"));
            return QString();
        }
    }
    const QString made = FileNameCodec::decode(pattern);
    TQ_LOG_WARNING(
        Tag,
        QStringLiteral("Working folder %1 is not private to the user; using %2").arg(wanted, made));
    return made;
}

FileSearcher::FileSearcher(const QString& workingFolder, int optionFlags, QObject* parent)
    : QObject(parent)
    , optionFlags_(optionFlags)
{
    FileSearchRequest::registerMetaType();
    static const int outcomeType = qRegisterMetaType<FindOutcome>("FindOutcome");
    Q_UNUSED(outcomeType);
    workFolder = preparePrivateFolder(workingFolder);
    directorySearcher = new DirectorySearcher;
    // The helper starts with the first request made of it (the filter lists, read on a worker
    // at start, or a contents search), never here on the GUI thread.
    helper64 = new Helper64Client(workFolder, Helper64Client::StartMode::OnFirstUse);
    contentSearcher = new ContentSearcher(helper64, workFolder);
    if (optionFlags_ & UseIndex) {
        ntfsSearcher = new NTFSFileSearcher;
        connect(ntfsSearcher, &NTFSFileSearcher::updateStarted, this, &FileSearcher::updateStarted);
        connect(ntfsSearcher, &NTFSFileSearcher::updateFinished, this,
                &FileSearcher::updateFinished);
        connect(ntfsSearcher, &NTFSFileSearcher::volumeStatesChanged, this,
                &FileSearcher::volumeStatesChanged, Qt::QueuedConnection);
    }
}

FileSearcher::~FileSearcher()
{
    stop();
    while (!matchesSearches.empty())
        dropFiled(matchesSearches, matchesSearches.begin());
    // Every search has ended and its threads have been waited for, so no call into the helper
    // client is left (a call waiting for its turn there gives up once its search is cancelled).
    delete helper64;
    helper64 = nullptr;
    pendingUpdate.reset();
    raiseFlag(&stopUpdate, true);
    endWorker(updateWorker);
    delete contentSearcher;
    delete directorySearcher;
    delete ntfsSearcher;
}

void FileSearcher::endWorker(FileSearcherWorker*& worker)
{
    if (!worker)
        return;
    worker->disconnect();
    worker->wait(); // at once for a thread that never started
    delete worker;
    worker = nullptr;
}

FileSearcherWorker* FileSearcher::makeIndexTask(const QString& name,
                                                void (NTFSFileSearcher::*task)(bool*, const IndexingSettings&),
                                                bool* stop, const IndexingSettings& settings,
                                                quint64* generation, void (FileSearcher::*onFinished)())
{
    raiseFlag(stop, false);
    NTFSFileSearcher* index = ntfsSearcher;
    FileSearcherWorker* worker =
        new FileSearcherWorker(name, [index, task, stop, settings]() { (index->*task)(stop, settings); });
    // Only the task filed last reports; a replaced one's late signal is ignored.
    const quint64 mine = ++*generation;
    connect(worker, &QThread::finished, this, [this, generation, mine, onFinished]() {
        if (mine == *generation)
            (this->*onFinished)();
    });
    return worker;
}

void FileSearcher::stop()
{
    if (listsWorker) {
        raiseFlag(&stopLists, true);
        endWorker(listsWorker);
    }
    if (initWorker) {
        raiseFlag(&stopInit, true);
        endWorker(initWorker);
    }
    QMutexLocker locker(&mutex);
    for (auto& entry : findSearches) {
        entry.second.search->disconnect();
        entry.second.search->cancel();
    }
    for (auto& entry : findSearches)
        delete entry.second.search;
    findSearches.clear();
}

void FileSearcher::init(const IndexingSettings& indexingSettings,
                        const ContentSearchOptions& contentSearchOptions)
{
    contentSearcher->setSettings(contentSearchOptions);
    if (ntfsSearcher) {
        if (initWorker) {
            // A second initialisation replaces the first: stop it and wait for it.
            raiseFlag(&stopInit, true);
            endWorker(initWorker);
        }
        // Searches run from now on, while the index starts: the settings are in force for them
        // at once (a walk of a volume not indexed yet leaves out what the index would).
        ntfsSearcher->presetSettings(indexingSettings);
        initWorker = makeIndexTask(QStringLiteral("INIT"), &NTFSFileSearcher::init, &stopInit,
                                   indexingSettings, &initGeneration, &FileSearcher::onInitFinished);
        initWorker->start(QThread::InheritPriority);
        startFiledSearches();
        return;
    }
    onInitFinished();
}

void FileSearcher::onInitFinished()
{
    setState(State::Initialized);
    endWorker(initWorker);
    emit initFinished();
}

void FileSearcher::update(const IndexingSettings& indexingSettings)
{
    if (!ntfsSearcher)
        return;
    if (updateWorker && updateWorker->isRunning()) {
        pendingUpdate = indexingSettings; // runs when the current update has finished
        return;
    }
    if (updateWorker) {
        // Not started yet (waiting for the initialisation) or ended with its report still on
        // the way: replace it.
        endWorker(updateWorker);
        startUpdate(indexingSettings, state_ == State::Initialized);
        return;
    }
    emit updateStarted();
    startUpdate(indexingSettings, state_ == State::Initialized);
}

void FileSearcher::startUpdate(const IndexingSettings& indexingSettings, bool run)
{
    updateWorker = makeIndexTask(QStringLiteral("UPDATE"), &NTFSFileSearcher::update, &stopUpdate,
                                 indexingSettings, &updateGeneration,
                                 &FileSearcher::onUpdateIndexingFinished);
    if (run)
        updateWorker->start(QThread::InheritPriority);
}

void FileSearcher::onUpdateIndexingFinished()
{
    endWorker(updateWorker);
    if (pendingUpdate) {
        const IndexingSettings next = *pendingUpdate;
        pendingUpdate.reset();
        startUpdate(next, true);
        return;
    }
    emit updateFinished();
}

void FileSearcher::setContentSearchOptions(const ContentSearchOptions& contentSearchOptions)
{
    contentSearcher->setSettings(contentSearchOptions);
}

IndexingSettings FileSearcher::indexingSettings() const
{
    if (ntfsSearcher)
        return ntfsSearcher->settings();
    return IndexingSettings();
}

void FileSearcher::indexedCounts(QMap<QString, int>& out) const
{
    if (ntfsSearcher)
        ntfsSearcher->indexedCounts(out);
}

QList<VolumeState> FileSearcher::volumeStates() const
{
    return ntfsSearcher ? ntfsSearcher->volumeStates() : QList<VolumeState>();
}

std::list<IFilterInfo> FileSearcher::getIFilters32()
{
    return getIFiltersFromRegistry();
}

std::list<IFilterInfo> FileSearcher::getIFilters64()
{
    return helper64 ? helper64->getIFilters() : std::list<IFilterInfo>();
}

IFilterMap FileSearcher::listIFilters32()
{
    return getIFilters32();
}

IFilterMap FileSearcher::listIFilters64()
{
    // The stop flag lets `stop` end a request still waiting for its turn at the helper.
    return helper64 ? helper64->getIFilters(&stopLists) : std::list<IFilterInfo>();
}

void FileSearcher::readIFilterLists()
{
    if (listsWorker)
        return;
    raiseFlag(&stopLists, false);
    listsWorker = new FileSearcherWorker(QStringLiteral("IFILTERS"), [this]() {
        readLists32 = listIFilters32();
        readLists64 = listIFilters64();
    });
    connect(listsWorker, &QThread::finished, this, [this]() {
        endWorker(listsWorker);
        IFilterMap list32;
        IFilterMap list64;
        list32.swap(readLists32);
        list64.swap(readLists64);
        emit ifilterListsRead(list32, list64);
    });
    listsWorker->start(QThread::InheritPriority);
}

void FileSearcher::setState(State newState)
{
    state_ = newState;
    if (state_ != State::Initialized)
        return;
    if (updateWorker && !updateWorker->isRunning() && !updateWorker->isFinished())
        updateWorker->start(QThread::InheritPriority);
    startFiledSearches();
}

void FileSearcher::startFiledSearches()
{
    QMutexLocker locker(&mutex);
    searching = true;
    for (auto& entry : findSearches) // ascending id order
        entry.second.search->start(); // searches already running are left alone
}

void FileSearcher::find(FileSearchRequest* request, ResultStore* results)
{
    QMutexLocker locker(&mutex);
    const FileSearchRequest::Id id = request->id;
    const auto old = findSearches.find(id);
    if (old != findSearches.end()) {
        dropFiled(findSearches, old);
        // The caller may file the same request object again: the new search starts afresh.
        request->canceled = false;
    }
    FileSearch* search = new FileSearch(ntfsSearcher, directorySearcher, contentSearcher, helper64,
                                        request, results);
    const quint64 mySerial = ++serial;
    connect(search, &FileSearch::finished, this,
            [this, mySerial](FileSearchRequest::Id finishedId) {
                bool current = false;
                {
                    QMutexLocker lock(&mutex);
                    const auto it = findSearches.find(finishedId);
                    current = it != findSearches.end() && it->second.serial == mySerial;
                }
                if (current)
                    onFindFinished(finishedId);
            },
            Qt::QueuedConnection);
    findSearches[id] = FindEntry{search, mySerial};
    if (searching)
        search->start();
}

void FileSearcher::onFindFinished(FileSearchRequest::Id id)
{
    FindOutcome outcome;
    {
        QMutexLocker locker(&mutex);
        const auto it = findSearches.find(id);
        if (it != findSearches.end()) {
            FileSearch* search = it->second.search;
            findSearches.erase(it);
            outcome = search->outcome();
            delete search; // its thread emitted the signal as its last act; this waits for it
        }
    }
    emit findEnded(id, outcome);
    emit findFinished(id);
}

void FileSearcher::reportEndLater(FileSearchRequest::Id id, const FindOutcome& outcome)
{
    QMetaObject::invokeMethod(
        this,
        [this, id, outcome]() {
            emit findEnded(id, outcome);
            emit findFinished(id);
        },
        Qt::QueuedConnection);
}

void FileSearcher::cancelFind(FileSearchRequest::Id id)
{
    FileSearch* search = nullptr;
    {
        QMutexLocker locker(&mutex);
        const auto it = findSearches.find(id);
        if (it == findSearches.end())
            return;
        search = it->second.search;
        findSearches.erase(it);
    }
    search->disconnect();
    search->cancel();
    FindOutcome outcome = search->outcome();
    outcome.canceled = true;
    delete search;
    reportEndLater(id, outcome);
}

void FileSearcher::stopFind(FileSearchRequest::Id id)
{
    QMutexLocker locker(&mutex);
    const auto it = findSearches.find(id);
    if (it == findSearches.end())
        return;
    FileSearch* search = it->second.search;
    if (search->isStarted()) {
        search->raiseCancel(); // its thread stops and reports
        return;
    }
    // Still waiting for the initialisation: it has no thread, so it ends here.
    findSearches.erase(it);
    search->disconnect();
    search->raiseCancel();
    FindOutcome outcome = search->outcome();
    delete search;
    reportEndLater(id, outcome);
}

int FileSearcher::filedFindCount() const
{
    QMutexLocker locker(&mutex);
    return int(findSearches.size());
}

void FileSearcher::findProgress(FileSearchRequest::Id id, int& checked, int& total)
{
    QMutexLocker locker(&mutex);
    const auto it = findSearches.find(id);
    if (it != findSearches.end())
        it->second.search->progress(checked, total);
}

void FileSearcher::findMatches(FileSearchRequest* request, const QString& filePath,
                               TempFileHolder* holder)
{
    const FileSearchRequest::Id id = request->id;
    const auto old = matchesSearches.find(id);
    if (old != matchesSearches.end()) {
        dropFiled(matchesSearches, old);
        request->canceled = false;
    }
    MatchesSearch* search = new MatchesSearch(contentSearcher, request, filePath, holder);
    const quint64 mySerial = ++serial;
    connect(search, &MatchesSearch::finished, this,
            [this, mySerial](FileSearchRequest::Id finishedId) {
                const auto it = matchesSearches.find(finishedId);
                if (it != matchesSearches.end() && it->second.serial == mySerial)
                    onFindMatchesFinished(finishedId);
            },
            Qt::QueuedConnection);
    matchesSearches[id] = MatchesEntry{search, mySerial};
    search->start();
}

void FileSearcher::cancelFindMatches(FileSearchRequest::Id id)
{
    const auto it = matchesSearches.find(id);
    if (it != matchesSearches.end())
        it->second.search->cancel(); // stays filed until its finished signal arrives
}

void FileSearcher::stopFindMatches(FileSearchRequest::Id id)
{
    const auto it = matchesSearches.find(id);
    if (it != matchesSearches.end())
        it->second.search->raiseCancel(); // stays filed until its finished signal arrives
}

void FileSearcher::onFindMatchesFinished(FileSearchRequest::Id id)
{
    const auto it = matchesSearches.find(id);
    if (it != matchesSearches.end()) {
        MatchesSearch* search = it->second.search;
        matchesSearches.erase(it);
        delete search;
    }
    emit findMatchesFinished(id);
}
