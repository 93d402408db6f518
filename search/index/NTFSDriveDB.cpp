#include "search/index/NTFSDriveDB.h"

#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "core/PrivateFolders.h"
#include "platform/VolumeLayer.h"
#include "search/index/ChangeJournal.h"
#include "search/index/IndexBuilder.h"
#include "search/index/IndexFile.h"
#include "search/index/JournalBackend.h"
#include "search/index/MFTReader.h"
#include "search/index/NameScan.h"
#include "search/model/ExclusionRule.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QReadLocker>
#include <QVarLengthArray>
#include <QWriteLocker>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <exception>
#include <vector>

namespace {

const char* const Tag = "NTFSDriveDB";
const QString Unit = QStringLiteral("NTFSDriveDB");

// Names up to this length are lower-cased for the exclusion test in a stack buffer.
constexpr int ExclusionBufferSize = 1024;
// The first wait before a failed rebuild is tried again, for the indexes made from now on.
std::atomic<int> rebuildRetryDelay{60000};

qint64 seconds(const QElapsedTimer& timer)
{
    return timer.elapsed() / 1000;
}

} // namespace

NTFSDriveDB::NTFSDriveDB(const QString& drive, const IndexingSettings& settings, quint32 serial)
    : drive_(drive)
    , t_(new IndexTables)
{
    TQ_LOG_INFO(Tag, QStringLiteral("Init DB for drive %1").arg(drive));
    serial_ = serial ? serial : getVolumeSerialNumber(drive);
    identity_.serial = serial_;
    identity_.fileSystemId = VolumeLayer::instance().fileSystemId(drive);
    identity_.rootInode = getFileReferenceNumber(drive);
    volatile_ = isVolatileVolume(drive);
    setExclusions(settings);
    RebuildScheduler::Hooks hooks;
    hooks.build = [this](bool* cancel) {
        createDB(cancel);
        return count();
    };
    hooks.volumePresent = [this] { return getVolumeSerialNumber(drive_) == serial_; };
    hooks.monitorLost = [this] {
        valid_ = false;
        inStep_ = false;
    };
    hooks.started = [this] { emit updateStarted(); };
    hooks.finished = [this] { emit updateFinished(); };
    hooks.rebuilt = [this](bool ok) { emit rebuilt(ok); };
    RebuildScheduler::Backoff backoff;
    backoff.first = rebuildRetryDelay.load();
    scheduler_.reset(new RebuildScheduler(drive_, std::move(hooks), backoff));
    // The reader is created before the journal state is read: it keeps the volume's journal
    // alive, so the state and the later reads belong to the same journal.
    scheduler_->setMonitor(newJournal());
    journalData_ = queryJournalData(drive);
}

NTFSDriveDB::~NTFSDriveDB()
{
    // The worker and the monitor end before anything their work reads goes (the scheduler
    // stays reachable while they end: a build and a failing monitor call it).
    scheduler_->stop();
    scheduler_.reset();
}

std::unique_ptr<ChangeJournal> NTFSDriveDB::newJournal()
{
    std::unique_ptr<ChangeJournal> journal(new ChangeJournal);
    journal->setReader(drive_, JournalBackend::instance().createReader(drive_));
    // Whole batches under one write lock where the reader has them; else the update slots.
    journal->setBatchHandler([this](const JournalBatch& batch) { applyBatch(batch); });
    connect(journal.get(), &ChangeJournal::fileAdded, this, &NTFSDriveDB::addFile, Qt::DirectConnection);
    // Renames come as nameMoved (which also names the name left, where known), not fileRenamed.
    connect(journal.get(), &ChangeJournal::nameMoved, this, &NTFSDriveDB::moveName, Qt::DirectConnection);
    connect(journal.get(), &ChangeJournal::nameRemoved, this, &NTFSDriveDB::removeName, Qt::DirectConnection);
    connect(journal.get(), &ChangeJournal::fileDeleted, this, &NTFSDriveDB::deleteFile, Qt::DirectConnection);
    ChangeJournal* const failing = journal.get();
    connect(
        journal.get(), &ChangeJournal::journalFailed, this,
        [this, failing](const QString&, const QString& message) {
            // On the failed monitor's thread, which ends right after: never waits.
            scheduler_->monitorFailed(failing, message);
        },
        Qt::DirectConnection);
    return journal;
}

void NTFSDriveDB::init(bool* cancel)
{
    try {
        setPhase(Phase::Loading);
        if (!load(cancel)) {
            setPhase(Phase::Building);
            createDB(cancel);
        }
    } catch (...) {
        setPhase(Phase::Failed);
        throw;
    }
    setPhase(Phase::Ready);
    TQ_LOG_INFO(Tag, QStringLiteral("Files count: %1").arg(count()));
    // A file that did not follow this very journal is searched at once and made to agree with
    // the volume in the background.
    if (!inStep_)
        scheduler_->requestReconcile();
}

NTFSDriveDB::Phase NTFSDriveDB::phase() const
{
    std::lock_guard<std::mutex> guard(phaseMutex_);
    return phase_;
}

void NTFSDriveDB::setPhase(Phase phase)
{
    {
        std::lock_guard<std::mutex> guard(phaseMutex_);
        phase_ = phase;
    }
    phaseChanged_.notify_all();
}

bool NTFSDriveDB::reaches(const FileSearchRequest& request) const
{
    if (request.includePaths.isEmpty())
        return true; // the whole machine
    for (const QString& path : request.includePaths) {
        if (path.startsWith(QLatin1Char('/')) && volumeOf(path) == drive_)
            return true;
    }
    return false;
}

bool NTFSDriveDB::awaitReady(const FileSearchRequest& request) const
{
    std::unique_lock<std::mutex> guard(phaseMutex_);
    if (phase_ == Phase::Loading) {
        guard.unlock();
        const bool needed = reaches(request);
        guard.lock();
        // The cancel flag is polled, as every long loop of a search does.
        while (needed && phase_ == Phase::Loading) {
            if (request.canceled)
                throw FileSearchCancelException(QStringLiteral("Request %1 canceled").arg(request.id), Unit, __LINE__);
            phaseChanged_.wait_for(guard, std::chrono::milliseconds(50));
        }
    }
    return phase_ == Phase::Ready;
}

void NTFSDriveDB::createDB(bool* cancel)
{
    TQ_LOG_INFO(Tag, QStringLiteral("Create DB for %1").arg(drive_));
    // A new monitor: a stopped one is never restarted. Its reader exists before the journal
    // position is taken, so every change made during the enumeration is in the journal.
    std::unique_ptr<ChangeJournal> journal = newJournal();
    const JournalState state = queryJournalData(drive_);
    // The volume is walked and the new tables made without the lock: searches meanwhile read
    // the index as it was (a rebuild after a journal failure takes a while on a large volume,
    // and a search waiting for the lock could not even be canceled). Only the swap takes it.
    QElapsedTimer timer;
    timer.start();
    std::vector<FRN> missed;
    std::unique_ptr<IndexTables> tables = collect(cancel, &missed);
    // The old monitor (a rebuild's failed one, or the one that followed a loaded index) ends
    // before the tables change: no event of it lands in the new tables.
    std::unique_ptr<ChangeJournal> old = scheduler_->retireMonitor();
    std::unique_ptr<IndexTables> replaced = swapTables(std::move(tables), &state, &missed);
    TQ_LOG_INFO(Tag, QStringLiteral("Reading MFT done in %1 seconds").arg(seconds(timer)));
    // Valid before the new monitor starts: a failure of it makes the index invalid again.
    valid_ = true;
    inStep_ = true;
    scheduler_->installMonitor(std::move(journal), state.nextUsn);
    replaced.reset();
    old.reset();
}

std::unique_ptr<IndexTables> NTFSDriveDB::collect(bool* cancel, std::vector<FRN>* missed) const
{
    // Each walking thread keeps its own records and names; they are sorted by number and
    // merged into the leaves of new tables (IndexBuilder).
    IndexBuilder builder;
    MFTReader reader;
    reader.readParallel(drive_, cancel, builder);
    if (missed)
        *missed = builder.missedFolders();
    return builder.build();
}

std::unique_ptr<IndexTables> NTFSDriveDB::swapTables(std::unique_ptr<IndexTables> tables, const JournalState* state,
                                                     const std::vector<FRN>* missed)
{
    QWriteLocker locker(&lock_);
    t_.swap(tables);
    if (state)
        journalData_ = *state;
    unread_.clear();
    if (missed)
        unread_.insert(missed->begin(), missed->end());
    recount();
    return tables;
}

namespace {

// The records of a walk of one folder, collected for the index (one slot at a time).
class FolderRecords : public VolumeEntryConsumer
{
public:
    struct Record
    {
        FRN frn;
        FRN parent;
        bool isDir;
        quint32 name;
        int length;
    };
    std::vector<std::vector<Record>> bySlot;
    std::vector<std::string> bytes;

    void start(int threads) override
    {
        bySlot.assign(std::size_t(std::max(1, threads)), {});
        bytes.assign(std::size_t(std::max(1, threads)), {});
    }
    void consume(int slot, const VolumeEntryBatch& batch) override
    {
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const VolumeEntry& e = batch.entries[i];
            std::string& b = bytes[std::size_t(slot)];
            bySlot[std::size_t(slot)].push_back(Record{e.inode, e.parent, e.isDir, quint32(b.size()), batch.nameLength(i)});
            b.append(batch.name(i), std::size_t(batch.nameLength(i)));
        }
    }
};

} // namespace

void NTFSDriveDB::applyBatch(const JournalBatch& batch)
{
    // Folders whose contents the index may never have listed: walked once the batch is in.
    struct FolderWalk
    {
        FRN frn;
        QByteArray path;
        int handleType;
        QByteArray handle;
    };
    std::vector<FolderWalk> walks;
    {
        QWriteLocker locker(&lock_);
        for (const JournalBatch::Record& r : batch.records) {
            if (!(r.reason & JournalBatch::Close))
                continue;
            const char* name = batch.at(r.name);
            const bool named = r.reason & (JournalBatch::FileCreate | JournalBatch::RenameNewName);
            if (named && r.nameLength == 0) {
                TQ_LOG_WARNING(Tag, (r.reason & JournalBatch::FileCreate)
                                        ? QStringLiteral("addFile: Tried to add empty name")
                                        : QStringLiteral("renameFile: Tried to add empty name"));
                continue;
            }
            if (r.reason & JournalBatch::FileCreate) {
                const Ref stored = t_->names.add(name, r.nameLength);
                if (r.isDir)
                    setRecord(r.frn, r.parent, stored, true);
                else
                    addName(r.frn, r.parent, stored);
            }
            if (r.reason & JournalBatch::RenameNewName) {
                const Ref stored = t_->names.add(name, r.nameLength);
                // A folder moved in that the index never listed (it moved from a folder the walk
                // had not read yet into one it had), or whose listing the walk missed (it moved
                // between being listed and being read): its contents are read now.
                const bool unlisted = r.isDir && (!t_->directories.contains(r.frn) || unread_.erase(r.frn) > 0);
                if (r.isDir || r.oldNameLength == 0)
                    renameRecord(r.frn, r.parent, stored, r.isDir);
                else
                    moveFileName(r.frn, r.oldParent, batch.at(r.oldName), r.parent, stored);
                if (unlisted) {
                    const IndexEntry* entry = t_->directories.find(r.frn);
                    QByteArray path;
                    if (entry) {
                        path = fileNameToBytes(buildPath(*entry));
                        if (!path.isEmpty() && !path.endsWith('/'))
                            path += '/';
                        path.append(name, r.nameLength);
                    }
                    walks.push_back(FolderWalk{r.frn, path, r.handleType, QByteArray(batch.at(r.handle), r.handleLength)});
                }
            }
            if (r.reason & JournalBatch::NameRemoved) {
                // A folder has one name; a file goes with its last one, also while it is open.
                if (r.isDir)
                    eraseRecord(t_->directories, r.frn);
                else
                    dropName(r.frn, r.parent, name);
            }
            if (r.reason & JournalBatch::FileDelete) {
                eraseRecord(r.isDir ? t_->directories : t_->files, r.frn);
                if (!r.isDir)
                    t_->extraNames.removeAll(r.frn);
            }
        }
        afterChange();
    }
    for (const FolderWalk& w : walks)
        walkFolder(w.frn, w.path, w.handleType, w.handle);
}

void NTFSDriveDB::walkFolder(FRN folder, const QByteArray& path, int handleType, const QByteArray& handle)
{
    ++folderWalks_;
    FolderRecords found;
    try {
        VolumeLayer::instance().enumerateFolder(drive_, path, folder, handleType, handle,
                                                scheduler_->monitorCancelFlag(), found);
    } catch (const FileSearchCancelException&) {
        return;
    } catch (const std::exception& e) {
        TQ_LOG_WARNING(Tag, QStringLiteral("Folder %1 of %2 could not be read: %3")
                                .arg(fileNameFromBytes(path), drive_, QString::fromUtf8(e.what())));
        return;
    }
    QWriteLocker locker(&lock_);
    for (std::size_t slot = 0; slot < found.bySlot.size(); ++slot) {
        for (const FolderRecords::Record& r : found.bySlot[slot]) {
            if (r.length == 0)
                continue;
            const Ref stored = t_->names.add(found.bytes[slot].data() + r.name, r.length);
            if (r.isDir)
                setRecord(r.frn, r.parent, stored, true);
            else
                addName(r.frn, r.parent, stored);
        }
    }
    afterChange();
}

void NTFSDriveDB::addFile(FRN frn, FRN frnParent, const QString& name, bool isDir)
{
    if (name.isEmpty()) {
        TQ_LOG_WARNING(Tag, QStringLiteral("addFile: Tried to add empty name"));
        return;
    }
    QWriteLocker locker(&lock_);
    const Ref stored = storeName(name, "addFile");
    if (!stored)
        return;
    if (isDir)
        setRecord(frn, frnParent, stored, true);
    else
        addName(frn, frnParent, stored);
    afterChange();
}

void NTFSDriveDB::renameFile(FRN frn, FRN frnParent, const QString& name, bool isDir)
{
    if (name.isEmpty()) {
        TQ_LOG_WARNING(Tag, QStringLiteral("renameFile: Tried to add empty name"));
        return;
    }
    QWriteLocker locker(&lock_);
    const Ref stored = storeName(name, "renameFile");
    if (!stored)
        return;
    renameRecord(frn, frnParent, stored, isDir);
    afterChange();
}

void NTFSDriveDB::moveName(FRN frn, FRN oldParent, const QString& oldName, FRN frnParent, const QString& name, bool isDir)
{
    if (isDir || oldName.isEmpty()) {
        renameFile(frn, frnParent, name, isDir);
        return;
    }
    if (name.isEmpty()) {
        TQ_LOG_WARNING(Tag, QStringLiteral("renameFile: Tried to add empty name"));
        return;
    }
    const QByteArray old = fileNameToBytes(oldName);
    QWriteLocker locker(&lock_);
    const Ref stored = storeName(name, "renameFile");
    if (!stored)
        return;
    moveFileName(frn, oldParent, old.constData(), frnParent, stored);
    afterChange();
}

void NTFSDriveDB::removeName(FRN frn, FRN frnParent, const QString& name, bool isDir)
{
    if (isDir || name.isEmpty())
        return;
    const QByteArray bytes = fileNameToBytes(name);
    QWriteLocker locker(&lock_);
    dropName(frn, frnParent, bytes.constData());
    afterChange();
}

NTFSDriveDB::Ref NTFSDriveDB::storeName(const QString& name, const char* operation)
{
    const QByteArray bytes = fileNameToBytes(name);
    const Ref stored = t_->names.add(bytes.constData(), bytes.size());
    if (!stored || t_->names.length(stored) == 0) {
        t_->names.release(stored);
        TQ_LOG_WARNING(
            Tag,
            QStringLiteral("%1: Got empty name from string pool").arg(QLatin1String(operation)));
        return 0;
    }
    return stored;
}

void NTFSDriveDB::deleteFile(FRN frn, bool isFolder)
{
    QWriteLocker locker(&lock_);
    eraseRecord(isFolder ? t_->directories : t_->files, frn);
    if (!isFolder)
        t_->extraNames.removeAll(frn);
    afterChange();
}

void NTFSDriveDB::eraseRecord(IndexMap& map, FRN frn)
{
    IndexEntry gone;
    if (map.erase(frn, &gone))
        t_->names.release(gone.name);
}

void NTFSDriveDB::afterChange()
{
    recount();
    if (t_->names.wantsCompaction())
        t_->compactNames();
}

void NTFSDriveDB::setRecord(FRN frn, FRN parent, Ref name, bool isDir)
{
    IndexMap& map = isDir ? t_->directories : t_->files;
    const IndexEntry entry{parent, name};
    if (IndexEntry* present = map.findForChange(frn)) {
        if (present->name != name)
            t_->names.release(present->name);
        *present = entry;
    } else {
        map.insert(frn, entry);
    }
    // A number that changed between file and folder leaves the other map.
    eraseRecord(isDir ? t_->files : t_->directories, frn);
    if (isDir)
        t_->extraNames.removeAll(frn); // folders have one name
    else
        t_->extraNames.setFirst(frn, entry);
}

bool NTFSDriveDB::sameName(const IndexEntry& e, FRN parent, const char* name) const
{
    return e.parent == parent && e.name && std::strcmp(text(e.name), name) == 0;
}

bool NTFSDriveDB::hasName(FRN frn, const IndexEntry& first, FRN parent, const char* name) const
{
    return sameName(first, parent, name) || t_->extraNames.contains(frn, parent, name);
}

void NTFSDriveDB::addName(FRN frn, FRN parent, Ref name)
{
    const char* bytes = text(name);
    takeNameOver(frn, parent, bytes);
    if (t_->files.insert(frn, IndexEntry{parent, name})) {
        // A new file (the usual case): one descent of the map.
        eraseRecord(t_->directories, frn);
        return;
    }
    const IndexEntry* first = t_->files.find(frn);
    if (!hasName(frn, *first, parent, bytes))
        t_->extraNames.add(frn, *first, parent, name);
    else
        t_->names.release(name); // a name the file has already
}

void NTFSDriveDB::renameRecord(FRN frn, FRN parent, Ref name, bool isDir)
{
    // Without further names the record simply takes the new name.
    if (!isDir && !t_->extraNames.isEmpty()) {
        const char* bytes = text(name);
        takeNameOver(frn, parent, bytes);
        const IndexEntry* first = t_->files.find(frn);
        if (first && hasName(frn, *first, parent, bytes)) {
            t_->names.release(name);
            return; // a file that has this name already keeps all it has
        }
    }
    setRecord(frn, parent, name, isDir);
}

void NTFSDriveDB::moveFileName(FRN frn, FRN oldParent, const char* oldName, FRN parent, Ref name)
{
    const char* bytes = text(name);
    takeNameOver(frn, parent, bytes);
    const IndexEntry* first = t_->files.find(frn);
    if (!first || !t_->extraNames.has(frn)) {
        setRecord(frn, parent, name, false); // one name: the record follows it
        return;
    }
    const bool present = hasName(frn, *first, parent, bytes);
    if (sameName(*first, oldParent, oldName)) {
        if (present) {
            dropName(frn, oldParent, oldName);
            t_->names.release(name);
        } else {
            setRecord(frn, parent, name, false);
        }
    } else {
        // The old name was a further one, or is not known (then the others stay as they are).
        t_->extraNames.remove(frn, oldParent, oldName);
        if (!present)
            t_->extraNames.add(frn, *t_->files.find(frn), parent, name);
        else
            t_->names.release(name);
    }
}

bool NTFSDriveDB::dropName(FRN frn, FRN parent, const char* name)
{
    const IndexEntry* first = t_->files.find(frn);
    if (!first)
        return false;
    if (sameName(*first, parent, name)) {
        IndexEntry next;
        if (t_->extraNames.takeOne(frn, &next))
            setRecord(frn, next.parent, next.name, false); // a further name becomes the first
        else
            eraseRecord(t_->files, frn); // its last name
        return true;
    }
    return t_->extraNames.remove(frn, parent, name);
}

void NTFSDriveDB::takeNameOver(FRN frn, FRN parent, const char* name)
{
    // A rename over an existing name replaces what the name held without any event for it. A
    // file with one name then loses its last link (its own deletion follows); one with several
    // only loses this name, which is taken from it here.
    for (int guard = 0; guard < 16; ++guard) {
        const FRN other = t_->extraNames.otherOwner(parent, name, frn);
        if (other == 0 || !dropName(other, parent, name))
            return;
    }
}

void NTFSDriveDB::recount()
{
    count_.store(int(t_->count()), std::memory_order_relaxed);
}

void NTFSDriveDB::setExclusions(const IndexingSettings& settings)
{
    QWriteLocker locker(&lock_);
    exclusionHashes_.clear();
    exclusionNames_.clear();
    for (const QString& entry : settings.excludePaths) {
        if (entry.contains(QLatin1Char('/')))
            continue; // a path exclusion, applied by search
        const QByteArray lower = entry.toLower().toUtf8();
        const quint32 h = StringPool::hash(lower.constData(), std::size_t(lower.size()));
        exclusionHashes_.insert(h);
        exclusionNames_.insert(h, lower);
    }
    settings_ = settings;
}

USN NTFSDriveDB::stopJournal()
{
    return scheduler_->stop();
}

void NTFSDriveDB::setRebuildRetryDelay(int milliseconds)
{
    rebuildRetryDelay.store(qMax(1, milliseconds));
}

std::size_t NTFSDriveDB::chainLimit() const
{
    // A consistent chain visits each folder at most once.
    return qMin<std::size_t>(t_->directories.size() + 1, MaxChainLength);
}

bool NTFSDriveDB::isExcludedName(const char* name) const
{
    if (exclusionHashes_.empty())
        return false;
    char buffer[ExclusionBufferSize];
    const char* lower = buffer;
    int length = 0;
    bool ascii = true;
    for (; name[length] != '\0'; ++length) {
        const unsigned char c = static_cast<unsigned char>(name[length]);
        if (c >= 128 || length >= ExclusionBufferSize - 1) {
            ascii = false;
            break;
        }
        buffer[length] = (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : char(c);
    }
    QByteArray converted;
    if (!ascii) {
        converted = QString::fromUtf8(name).toLower().toUtf8();
        lower = converted.constData();
        length = converted.size();
    }
    const quint32 h = StringPool::hash(lower, std::size_t(length));
    if (exclusionHashes_.find(h) == exclusionHashes_.end())
        return false;
    // Confirm the hash hit: only the name itself is excluded, not whatever shares its hash.
    const QByteArray candidate = QByteArray::fromRawData(lower, length);
    for (auto it = exclusionNames_.constFind(h); it != exclusionNames_.constEnd() && it.key() == h; ++it) {
        if (it.value() == candidate)
            return true;
    }
    return false;
}

QString NTFSDriveDB::buildPath(const IndexEntry& entry) const
{
    const NameStore& names = t_->names;
    QVarLengthArray<Ref, 64> folders; // nearest folder first
    const char* current = entry.name ? names.text(entry.name) : "";
    FRN p = entry.parent;
    const std::size_t limit = chainLimit();
    int length = 0;
    while (p != 0) {
        if (std::size_t(folders.size()) >= limit) {
            const char* own = entry.name ? names.text(entry.name) : "";
            TQ_LOG_WARNING(Tag, QStringLiteral("Parent chain of %1 is broken")
                                    .arg(fileNameFromBytes(own, int(std::strlen(own)))));
            return QString();
        }
        const IndexEntry* folder = t_->directories.find(p);
        if (!folder) {
            if (!t_->files.find(p))
                TQ_LOG_WARNING(
                    Tag, QStringLiteral("File %1 has no parent")
                             .arg(QString::fromUtf8(entry.name ? names.text(entry.name) : "")));
            return QString();
        }
        if (!folder->name) {
            TQ_LOG_WARNING(Tag, QStringLiteral("Record has an empty name"));
            return QString();
        }
        if (isExcludedName(current)) {
            TQ_LOG_DEBUG(Tag, QStringLiteral("Excluding the object"));
            return QString();
        }
        folders.append(folder->name);
        length += names.length(folder->name) + (length ? 1 : 0);
        current = names.text(folder->name);
        p = folder->parent;
    }

    // The names are joined as bytes and decoded once.
    QVarLengthArray<char, 4096> bytes;
    bytes.reserve(length + 1);
    for (int i = folders.size() - 1; i >= 0; --i) {
        if (i != folders.size() - 1 && bytes.last() != '/')
            bytes.append('/');
        bytes.append(names.text(folders[i]), names.length(folders[i]));
    }
    return fileNameFromBytes(bytes.constData(), bytes.size());
}

bool NTFSDriveDB::excludedByRule(const ExclusionRule& rule, const IndexEntry& entry, const QString& folder) const
{
    if (rule.excludes(folder))
        return true;
    const char* own = entry.name ? t_->names.text(entry.name) : "";
    const int length = entry.name ? int(t_->names.length(entry.name)) : 0;
    QString path;
    if (rule.needsPaths())
        path = folder + (folder.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + fileNameFromBytes(own, length);
    return rule.excludesEntry(own, length, path);
}

bool NTFSDriveDB::isUnderFolder(FRN folder, FRN frn, const IndexEntry& entry) const
{
    if (frn == folder)
        return false;
    const std::size_t limit = chainLimit();
    FRN p = entry.parent;
    for (std::size_t steps = 0; steps <= limit; ++steps) {
        if (p == folder)
            return true;
        if (p == 0)
            return false;
        const IndexEntry* e = t_->directories.find(p);
        if (!e)
            return false;
        p = e->parent;
    }
    return false; // a cycle
}

void NTFSDriveDB::pathsToFrns(const QStringList& paths, QList<FRN>* folders, QList<FRN>* files, bool* root) const
{
    *root = false;
    const FRN rootFrn = getFileReferenceNumber(drive_);
    // A path in a nested btrfs subvolume lies on another tree, whose numbers repeat this one's
    // (every subvolume's root is 256): the index does not hold it.
    VolumeLayer& layer = VolumeLayer::instance();
    const quint64 rootDevice = layer.deviceOf(drive_);
    QList<FRN> folderList;
    QList<FRN> fileList;
    for (const QString& path : paths) {
        // Only absolute paths on this volume; names and relative paths lie on no volume.
        if (!path.startsWith(QLatin1Char('/')) || volumeOf(path) != drive_)
            continue;
        if (rootDevice != 0 && layer.deviceOf(path) != rootDevice)
            continue;
        bool isDir = false;
        const FRN frn = getFileReferenceNumber(path, &isDir);
        if (frn == 0)
            continue;
        if (frn == rootFrn)
            *root = true; // and the other paths still count
        if (isDir)
            folderList.append(frn);
        else
            fileList.append(frn);
    }
    if (folders)
        *folders = folderList;
    if (files)
        *files = fileList;
}

void NTFSDriveDB::search(FileSearchRequest* request, ResultStore* results)
{
    QReadLocker locker(&lock_);
    if (!request || !results)
        throw FileSearchException("Bad argument", Unit, __LINE__);

    const bool subfolders = request->includeSubfolders;
    QList<FRN> includeFolders;
    if (!request->includePaths.isEmpty()) {
        bool root = false;
        pathsToFrns(request->includePaths, &includeFolders, nullptr, &root);
        if (!root && includeFolders.isEmpty())
            return; // no include path lies on this volume
        if (root && subfolders)
            includeFolders.clear(); // the whole volume
    }

    QStringList excludePaths = request->excludePaths;
    for (const QString& entry : settings_.excludePaths) {
        if (entry.contains(QLatin1Char('/')))
            excludePaths.append(entry);
    }
    QList<FRN> excludeFolders;
    QList<FRN> excludeFiles;
    if (!excludePaths.isEmpty()) {
        bool root = false;
        pathsToFrns(excludePaths, &excludeFolders, &excludeFiles, &root);
        if (root)
            return; // the whole volume is excluded
    }

    // The request's names and runs of names: the rule the walk applies too (its paths are
    // tested by number above, and again here on the built path, which costs little).
    const ExclusionRule requestRule(request->excludePaths);

    auto cancelIfAsked = [request] {
        if (request->canceled)
            throw FileSearchCancelException(QStringLiteral("Request %1 canceled").arg(request->id), Unit, __LINE__);
    };

    const bool sizeBound = request->minSize != -1 || request->maxSize != -1;
    const NameScan scan(*request, t_->names);
    // Folders, then files by their first names, then the further names of files.
    for (int pass = 0; pass < 3; ++pass) {
        const bool isDirMap = pass == 0;
        if (isDirMap && sizeBound)
            continue; // folders have no size
        if (pass == 2 && t_->extraNames.isEmpty())
            break;
        // The folder tests and the path run on the scanning threads; the results are filled
        // here, in number order. The threads see the lists only as const: iterating a non-const
        // QList may detach it (an empty one, the shared null list, always is on first use),
        // which writes the list from several threads at once.
        const QList<FRN>& includes = includeFolders;
        const QList<FRN>& excludes = excludeFolders;
        const QList<FRN>& excludedFiles = excludeFiles;
        const NameScan::HitFilter accept = [&](FRN frn, const IndexEntry& entry, QString* path) {
            if (!includes.isEmpty()) {
                bool inside = false;
                for (const FRN f : includes) {
                    if (subfolders ? isUnderFolder(f, frn, entry) : entry.parent == f) {
                        inside = true;
                        break;
                    }
                }
                if (!inside)
                    return false;
            }
            // An excluded folder goes with everything beneath it, whatever the subfolder flag
            // (which only says how deep below the include folders to look): with the flag off,
            // an include folder inside an excluded one, or no include folder at all, must not
            // bring back what lies deeper in the excluded folder.
            for (const FRN e : excludes) {
                if ((isDirMap && frn == e) || isUnderFolder(e, frn, entry))
                    return false;
            }
            if (!isDirMap && excludedFiles.contains(frn))
                return false;
            *path = buildPath(entry);
            return !path->isEmpty() && (requestRule.isEmpty() || !excludedByRule(requestRule, entry, *path));
        };
        std::vector<NameScan::Hit> hits;
        bool scanned = false;
        if (pass < 2) {
            const IndexMap& map = isDirMap ? t_->directories : t_->files;
            NameFilter& filter = isDirMap ? t_->dirFilter : t_->fileFilter;
            scanned = scan.scanMap(map, filter, accept, &hits);
        } else {
            scanned = scan.scanExtraNames(t_->extraNames, accept, &hits);
            // Slots are reused as names come and go: reported by file number like the others.
            std::stable_sort(
                hits.begin(), hits.end(),
                [](const NameScan::Hit& a, const NameScan::Hit& b) { return a.frn < b.frn; });
        }
        if (!scanned)
            cancelIfAsked();
        // The results point into the name blocks: they keep them.
        if (!hits.empty())
            results->keepAlive(t_->names.keepAlive());
        for (const NameScan::Hit& hit : hits) {
            cancelIfAsked();
            if (isDirMap)
                results->addDirPooled(text(hit.entry->name), hit.path);
            else
                results->addFilePooled(text(hit.entry->name), hit.path, 0);
        }
    }
}

bool NTFSDriveDB::load(bool* cancel)
{
    QElapsedTimer timer;
    timer.start();
    QString base;
    {
        QReadLocker locker(&lock_);
        base = settings_.dbPath;
    }
    if (serial_ == 0 || base.isEmpty())
        return false; // no file can be named for this volume
    if (volatile_)
        return false; // never saved; a file of that name is of an earlier mount
    IndexFile file;
    const QString path = dbFilePath(base, serial_);
    if (path.isEmpty() || !file.open(path))
        return false;
    const IndexFile::Status header = file.readHeader();
    if (header == IndexFile::BadChecksum) {
        TQ_LOG_WARNING(Tag, QStringLiteral("Load failed: the index file is damaged"));
        return false;
    }
    if (header != IndexFile::Ok) {
        TQ_LOG_WARNING(Tag, QStringLiteral("Load failed: can't read all records"));
        return false;
    }
    std::unique_ptr<IndexTables> tables;
    if (file.isCurrentFormat()) {
        const IndexFile::Identity& theirs = file.identity();
        if (theirs.serial != identity_.serial || theirs.rootInode != identity_.rootInode
            || (theirs.fileSystemId && identity_.fileSystemId && theirs.fileSystemId != identity_.fileSystemId)) {
            TQ_LOG_INFO(
                Tag, QStringLiteral("Skip loading: the index file belongs to another file system"));
            return false;
        }
        const IndexFile::Status status = file.readTables(cancel, &tables);
        if (status == IndexFile::Canceled)
            throw FileSearchCancelException("Canceled", Unit, __LINE__);
        if (status != IndexFile::Ok) {
            TQ_LOG_WARNING(Tag, status == IndexFile::BadChecksum
                                    ? QStringLiteral("Load failed: the index file is damaged")
                                    : QStringLiteral("Load failed: can't read all records"));
            return false;
        }
    } else if (!loadVersion1(file, cancel, &tables)) {
        return false;
    }
    // Where the file followed this very journal up to a position the journal still holds, the
    // journal resumes there and brings it up to date. Otherwise the changes since are not
    // known: the monitor starts now (journalData_, read before the file) and init() has the
    // volume reconciled in the background.
    const bool sameJournal = file.isCurrentFormat() && file.inStep() && file.journalId() == journalData_.journalId
                          && journalData_.firstUsn <= file.nextUsn() && file.nextUsn() <= journalData_.nextUsn;
    swapTables(std::move(tables), nullptr, nullptr);
    TQ_LOG_INFO(
        Tag, QStringLiteral("Loading disk %1 done in %2 seconds").arg(drive_).arg(seconds(timer)));

    // Set before the monitor starts: a failure of it makes the index invalid again.
    valid_ = true;
    inStep_ = sameJournal;
    scheduler_->startMonitor(sameJournal ? file.nextUsn() : journalData_.nextUsn);
    return true;
}

bool NTFSDriveDB::loadVersion1(IndexFile& file, bool* cancel, std::unique_ptr<IndexTables>* out)
{
    qint32 total = 0;
    if (file.readCount(&total) != IndexFile::Ok) {
        TQ_LOG_WARNING(Tag, QStringLiteral("Load failed: bad record count"));
        return false;
    }
    std::unique_ptr<IndexTables> tables(new IndexTables);
    // One record of either section: a cancel throws, a damaged record ends the load.
    IndexFile::Record record;
    auto readRecord = [&]() {
        if (cancel && __atomic_load_n(cancel, __ATOMIC_RELAXED))
            throw FileSearchCancelException("Canceled", Unit, __LINE__);
        return file.atEnd() ? IndexFile::Truncated : file.readRecord(&record);
    };
    IndexTables& t = *tables;
    auto set = [&](FRN frn, FRN parent, Ref name, bool isDir) {
        IndexMap& map = isDir ? t.directories : t.files;
        if (IndexEntry* present = map.findForChange(frn)) {
            t.names.release(present->name);
            *present = IndexEntry{parent, name};
        } else {
            map.insert(frn, IndexEntry{parent, name});
        }
        IndexEntry gone;
        if ((isDir ? t.files : t.directories).erase(frn, &gone))
            t.names.release(gone.name);
    };
    IndexFile::Status status = IndexFile::Ok;
    for (qint32 i = 0; status == IndexFile::Ok && i < total; ++i) {
        status = readRecord();
        if (status == IndexFile::Ok && record.nameLength > 0)
            set(record.frn, record.parent, t.names.add(record.name, record.nameLength), record.isDir);
    }
    // The further names of files with several, when the file has them.
    qint32 extra = 0;
    if (status == IndexFile::Ok)
        status = file.readExtraNamesCount(&extra);
    for (qint32 i = 0; status == IndexFile::Ok && i < extra; ++i) {
        status = readRecord();
        if (status != IndexFile::Ok)
            break;
        if (record.isDir || record.nameLength == 0 || !t.files.contains(record.frn))
            continue;
        const QByteArray name(record.name, record.nameLength);
        const IndexEntry* first = t.files.find(record.frn);
        if (first->parent == record.parent && std::strcmp(t.names.text(first->name), name.constData()) == 0)
            continue;
        if (!t.extraNames.contains(record.frn, record.parent, name.constData()))
            t.extraNames.add(record.frn, *first, record.parent, t.names.add(record.name, record.nameLength));
    }
    if (status != IndexFile::Ok) {
        // Nothing of a damaged file is used: the rebuild starts from empty tables.
        TQ_LOG_WARNING(Tag, status == IndexFile::BadNameLength
                                ? QStringLiteral("Load failed: bad name length")
                                : QStringLiteral("Load failed: can't read all records"));
        return false;
    }
    *out = std::move(tables);
    return true;
}

void NTFSDriveDB::save()
{
    // The monitor is stopped and joined before the lock is taken: its update slots need the
    // lock, and the resume point is final only once the monitor thread has ended.
    const USN next = stopJournal();
    QElapsedTimer timer;
    timer.start();
    QReadLocker locker(&lock_);
    if (serial_ == 0 || settings_.dbPath.isEmpty()) {
        TQ_LOG_WARNING(
            Tag,
            QStringLiteral("Index of %1 not saved: no index file can be named for it").arg(drive_));
        return;
    }
    if (volatile_) {
        // Its contents do not survive a reboot or a new mount: a saved index would be wrong
        // the next time. A file left by an earlier version goes.
        TQ_LOG_INFO(Tag,
                    QStringLiteral("Index of %1 not saved: the volume keeps nothing across mounts")
                        .arg(drive_));
        deleteDBFile(settings_.dbPath, serial_);
        return;
    }
    if (!valid_) {
        TQ_LOG_WARNING(Tag, QStringLiteral("Index of %1 not saved: it is incomplete").arg(drive_));
        return;
    }
    const QString path = dbFilePath(settings_.dbPath, serial_);
    if (path.isEmpty()) {
        TQ_LOG_WARNING(
            Tag, QStringLiteral("Index of %1 not saved: no folder for index files").arg(drive_));
        return;
    }
    QString error;
    switch (IndexFile::write(path, journalData_.journalId, next, inStep_, identity_, *t_, &error)) {
    case IndexFile::Written:
        break;
    case IndexFile::CreateFailed:
        if (!error.isEmpty())
            TQ_LOG_ERROR(Tag, QStringLiteral("Index file %1 not created: %2").arg(path, error));
        throw FileSearchException("Failed to create a file", Unit, __LINE__);
    case IndexFile::WriteFailed:
        throw FileSearchException(QStringLiteral("Failed to write the index file %1: %2").arg(path, error), Unit, __LINE__);
    }
    TQ_LOG_INFO(
        Tag, QStringLiteral("Saving disk %1 done in %2 seconds").arg(drive_).arg(seconds(timer)));
}

QString NTFSDriveDB::dbFilePath(const QString& base, quint32 serial)
{
    // A root instance keeps its index in a folder of root's alone (PrivateFolders::indexBase).
    const QString folder = PrivateFolders::indexBase(base);
    return folder.isEmpty() ? QString() : IndexFile::filePath(folder, serial);
}

void NTFSDriveDB::deleteDBFile(const QString& base, quint32 serial)
{
    if (base.isEmpty()) // never a file under the file-system root
        return;
    const QString path = dbFilePath(base, serial);
    if (!path.isEmpty())
        IndexFile::remove(path);
}

int NTFSDriveDB::directoryCount() const
{
    QReadLocker locker(&lock_);
    return int(t_->directories.size());
}

int NTFSDriveDB::fileCount() const
{
    QReadLocker locker(&lock_);
    return int(t_->files.size());
}

int NTFSDriveDB::count() const
{
    return count_.load(std::memory_order_relaxed);
}

int NTFSDriveDB::extraNameCount() const
{
    QReadLocker locker(&lock_);
    return int(t_->extraNames.size());
}

std::size_t NTFSDriveDB::mapBytes() const
{
    QReadLocker locker(&lock_);
    return t_->directories.nodeBytes() + t_->files.nodeBytes() + t_->extraNames.bytes();
}

std::size_t NTFSDriveDB::filterBytes() const
{
    QReadLocker locker(&lock_);
    return t_->dirFilter.memoryBytes() + t_->fileFilter.memoryBytes();
}

std::size_t NTFSDriveDB::nameBytes() const
{
    QReadLocker locker(&lock_);
    return t_->names.storedBytes();
}

std::size_t NTFSDriveDB::releasedNameBytes() const
{
    QReadLocker locker(&lock_);
    return t_->names.deadBytes();
}

bool NTFSDriveDB::record(FRN frn, bool isDir, FRN* parent, QByteArray* name) const
{
    QReadLocker locker(&lock_);
    const IndexEntry* e = (isDir ? t_->directories : t_->files).find(frn);
    if (!e)
        return false;
    if (parent)
        *parent = e->parent;
    if (name)
        *name = QByteArray(e->name ? text(e->name) : "");
    return true;
}

QStringList NTFSDriveDB::fileNames(FRN frn) const
{
    QReadLocker locker(&lock_);
    QStringList out;
    auto put = [&](const IndexEntry& e) {
        out << QStringLiteral("%1/%2").arg(e.parent).arg(fileNameFromBytes(text(e.name), t_->names.length(e.name)));
    };
    if (const IndexEntry* first = t_->files.find(frn)) {
        put(*first);
        t_->extraNames.forEachOf(frn, put);
    }
    return out;
}
