#include "search/index/NTFSDriveDB.h"

#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "core/PrivateFolders.h"
#include "search/index/ChangeJournal.h"
#include "search/index/IndexFile.h"
#include "search/index/JournalBackend.h"
#include "search/index/MFTReader.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/FileSearchResults.h"
#include "search/model/SearchExpression.h"

#include <QElapsedTimer>
#include <QFile>
#include <QReadLocker>
#include <QThread>
#include <QVarLengthArray>
#include <QWriteLocker>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <exception>
#include <functional>
#include <iterator>
#include <system_error>
#include <vector>

namespace {

const char* const Tag = "NTFSDriveDB";
const QString Unit = QStringLiteral("NTFSDriveDB");

// Below this many records a search scans on the calling thread alone.
constexpr std::size_t ParallelScanThreshold = 16384;
// At most this many threads scan one map.
constexpr int MaxScanThreads = 8;
// Each scanning thread takes about this many runs of leaves.
constexpr std::size_t RunsPerThread = 8;
// Names up to this length are lower-cased for the exclusion test in a stack buffer.
constexpr int ExclusionBufferSize = 1024;
// A failed rebuild is tried again after this wait, doubled each time up to the maximum.
std::atomic<int> rebuildRetryDelay{60000};
constexpr qint64 MaxRebuildRetryDelay = 30 * 60 * 1000;

void writeLog(int level, const QString& text)
{
    Logger::instance().writeQString(level, Tag, text);
}

qint64 seconds(const QElapsedTimer& timer)
{
    return timer.elapsed() / 1000;
}

struct Hit
{
    FRN frn;
    const IndexEntry* entry;
    QString path; // the folder path of the record
};

// Decides whether a record whose name matched is reported, and builds its folder path.
using HitFilter = std::function<bool(FRN frn, const IndexEntry& entry, QString* path)>;

// The records of a map as runs: its leaves.
struct LeafRuns
{
    std::shared_ptr<const NameFilter::Layout> layout; // the leaves in order (kept by the filter)
    explicit LeafRuns(std::shared_ptr<const NameFilter::Layout> layout)
        : layout(std::move(layout))
    {
    }
    std::size_t runs() const { return layout->leaves.size(); }
    quint32 count(std::size_t r) const { return layout->counts[r]; }
    FRN key(std::size_t r, quint32 i) const { return layout->leaves[r]->keys[i]; }
    const IndexEntry& value(std::size_t r, quint32 i) const { return layout->leaves[r]->values[i]; }
    const std::vector<const IndexMap::Leaf*>* leafList() const { return &layout->leaves; }
    quint64 changes() const { return layout->changes; }
};

// The further names of files as runs of slots of the same size as a leaf (a free slot has no
// name and is passed over like a record without one).
struct SlotRuns
{
    const std::vector<ExtraNames::Slot>& table;
    std::size_t runs() const { return (table.size() + IndexMap::LeafCapacity - 1) / IndexMap::LeafCapacity; }
    quint32 count(std::size_t r) const
    {
        return quint32(qMin<std::size_t>(IndexMap::LeafCapacity, table.size() - r * IndexMap::LeafCapacity));
    }
    FRN key(std::size_t r, quint32 i) const { return table[r * IndexMap::LeafCapacity + i].frn; }
    const IndexEntry& value(std::size_t r, quint32 i) const { return table[r * IndexMap::LeafCapacity + i].entry; }
    const std::vector<const IndexMap::Leaf*>* leafList() const { return nullptr; }
    quint64 changes() const { return 0; }
};

// Tests every name of `source` against the request's name expression, in run order, and
// passes each match through `accept`. Many records are split into groups of runs scanned by
// several threads, each with its own expression (an expression belongs to one thread); the
// hits are joined in run order. Returns false when the request was canceled.
// With a name filter (leaf runs only), leaves whose names cannot hold what every match needs
// are passed over without reading their names.
template <typename Runs>
bool scanNames(const Runs& source, std::size_t records, const FileSearchRequest& request, const HitFilter& accept,
               std::vector<Hit>& hits, NameFilter* filter = nullptr)
{
    const MatchOptions options = request.matchOptions(true);
    std::vector<std::unique_ptr<SearchExpression>> expressions;
    expressions.emplace_back(new SearchExpression(request.fileName, options));

    NameFilter::Query query;
    std::unique_ptr<NameFilter::Session> session;
    if (filter && source.leafList()) {
        query = NameFilter::makeQuery(expressions[0]->requiredLiterals());
        session.reset(new NameFilter::Session(*filter, query, *source.leafList(), source.changes()));
    }
    NameFilter::Session* summaries = session && session->active() ? session.get() : nullptr;

    // The runs to scan: all of them, or, where the summaries are known to be current, only
    // those they let through (asked here, before any thread is started).
    std::vector<std::size_t> selected;
    if (summaries && summaries->trusted()) {
        records = 0;
        for (std::size_t r = 0; r < source.runs(); ++r) {
            if (summaries->mayMatch(r)) {
                selected.push_back(r);
                records += source.count(r);
            }
        }
        summaries = nullptr;
    } else {
        selected.resize(source.runs());
        for (std::size_t r = 0; r < selected.size(); ++r)
            selected[r] = r;
    }
    const std::size_t runCount = selected.size();
    int threads = 1;
    if (records >= ParallelScanThreshold)
        threads = qBound(1, QThread::idealThreadCount(), MaxScanThreads);
    if (runCount < std::size_t(threads))
        threads = 1;

    // One expression per thread, built here: building one runs the script engine, which all
    // threads share under one mutex.
    for (int t = 1; t < threads; ++t)
        expressions.emplace_back(new SearchExpression(request.fileName, options));

    // Scans selected[from] .. selected[to - 1].
    auto scanRange = [&](std::size_t from, std::size_t to, SearchExpression& expression, std::vector<Hit>& out) {
        for (std::size_t k = from; k < to; ++k) {
            const std::size_t l = selected[k];
            if (request.canceled)
                return false;
            if (summaries && !summaries->mayMatch(l))
                continue;
            const quint32 count = source.count(l);
            for (quint32 i = 0; i < count; ++i) {
                if (i + 8 < count)
                    __builtin_prefetch(source.value(l, i + 8).name);
                const IndexEntry& entry = source.value(l, i);
                const char* name = entry.name;
                if (!name)
                    continue;
                if (expression.matchUtf8(name, int(std::strlen(name))) != SearchExpression::Matches)
                    continue;
                QString path;
                const FRN frn = source.key(l, i);
                if (accept(frn, entry, &path))
                    out.push_back(Hit{frn, &entry, path});
            }
        }
        return true;
    };

    if (threads == 1)
        return scanRange(0, runCount, *expressions[0], hits);

    // Many small runs of about equal record counts, taken one after another by the threads
    // from a shared cursor: a thread that the system holds back does not hold up the search.
    std::vector<std::size_t> bounds(1, 0);
    const std::size_t perRun = records / (std::size_t(threads) * RunsPerThread) + 1;
    std::size_t inRun = 0;
    for (std::size_t k = 0; k < runCount; ++k) {
        inRun += source.count(selected[k]);
        if (inRun >= perRun) {
            bounds.push_back(k + 1);
            inRun = 0;
        }
    }
    if (bounds.back() != runCount)
        bounds.push_back(runCount);

    const std::size_t runs = bounds.size() - 1;
    std::vector<std::vector<Hit>> partial(runs);
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(threads));
    std::atomic<std::size_t> cursor{0};
    std::atomic<bool> stopped{false};
    auto work = [&](int t) {
        try {
            for (std::size_t r = cursor++; r < runs && !stopped; r = cursor++) {
                if (!scanRange(bounds[r], bounds[r + 1], *expressions[std::size_t(t)], partial[r]))
                    stopped = true;
            }
        } catch (...) {
            errors[std::size_t(t)] = std::current_exception();
            stopped = true;
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) {
        try {
            workers.emplace_back(work, t);
        } catch (const std::system_error&) {
            break; // fewer threads: the others take more runs
        }
    }
    work(0);
    for (std::thread& t : workers)
        t.join();
    for (const std::exception_ptr& e : errors) {
        if (e)
            std::rethrow_exception(e);
    }
    if (stopped)
        return false; // canceled
    std::size_t total = hits.size();
    for (const auto& p : partial)
        total += p.size();
    hits.reserve(total);
    for (auto& p : partial)
        std::move(p.begin(), p.end(), std::back_inserter(hits));
    return true;
}

} // namespace

NTFSDriveDB::NTFSDriveDB(const QString& drive, std::shared_ptr<StringPool> pool, const IndexingSettings& settings,
                         quint32 serial)
    : drive_(drive)
    , directories_(arena_)
    , files_(arena_)
    , extraNames_(files_)
{
    writeLog(Logger::Info, QStringLiteral("Init DB for drive %1").arg(drive));
    pool_ = pool ? std::move(pool) : std::make_shared<StringPool>();
    serial_ = serial ? serial : getVolumeSerialNumber(drive);
    setExclusions(settings);
    // The reader is created before the journal state is read: it keeps the volume's journal
    // alive, so the state and the later reads belong to the same journal.
    journal_.reset(newJournal());
    journalData_ = queryJournalData(drive);
}

NTFSDriveDB::~NTFSDriveDB()
{
    stopJournal();
    journal_.reset();
}

ChangeJournal* NTFSDriveDB::newJournal()
{
    std::unique_ptr<ChangeJournal> journal(new ChangeJournal);
    journal->setReader(drive_, JournalBackend::instance().createReader(drive_));
    connect(journal.get(), &ChangeJournal::fileAdded, this, &NTFSDriveDB::addFile, Qt::DirectConnection);
    // Renames come as nameMoved (which also names the name left, where known), not fileRenamed.
    connect(journal.get(), &ChangeJournal::nameMoved, this, &NTFSDriveDB::moveName, Qt::DirectConnection);
    connect(journal.get(), &ChangeJournal::nameRemoved, this, &NTFSDriveDB::removeName, Qt::DirectConnection);
    connect(journal.get(), &ChangeJournal::fileDeleted, this, &NTFSDriveDB::deleteFile, Qt::DirectConnection);
    connect(journal.get(), &ChangeJournal::journalFailed, this,
            [this](const QString&, const QString& message) { onJournalFailed(message); }, Qt::DirectConnection);
    return journal.release();
}

void NTFSDriveDB::init(bool* cancel)
{
    if (!load(cancel))
        createDB(cancel);
    writeLog(Logger::Info, QStringLiteral("Files count: %1").arg(count()));
}

void NTFSDriveDB::createDB(bool* cancel)
{
    writeLog(Logger::Info, QStringLiteral("Create DB for %1").arg(drive_));
    // A new monitor: a stopped one is never restarted. Its reader exists before the journal
    // position is taken, so every change made during the enumeration is in the journal.
    std::unique_ptr<ChangeJournal> journal(newJournal());
    const JournalState state = queryJournalData(drive_);
    // The volume is walked without the lock: searches meanwhile read the index as it was (a
    // rebuild after a journal failure takes a while on a large volume, and a search waiting
    // for the lock could not even be canceled). Only filing the records takes the lock.
    QElapsedTimer timer;
    timer.start();
    const Enumeration records = collect(cancel);
    {
        QWriteLocker locker(&lock_);
        valid_ = false;
        clearRecords();
        journalData_ = state;
        file(records);
    }
    writeLog(Logger::Info, QStringLiteral("Reading MFT done in %1 seconds").arg(seconds(timer)));
    std::unique_ptr<ChangeJournal> old;
    {
        std::lock_guard<std::mutex> guard(journalMutex_);
        old = std::move(journal_);
        journal_ = std::move(journal);
        journal_->start(state.nextUsn);
        valid_ = true;
    }
    old.reset(); // stops a monitor that still ran
}

NTFSDriveDB::Enumeration NTFSDriveDB::collect(bool* cancel) const
{
    // The records are collected first and filed in ascending number order: leaves fill
    // completely, and new names enter the pool in the order in which a search reads them.
    // A record takes 24 bytes here plus its name: the name's offset in `names` (which grows in
    // delivery order), its length and the folder flag are packed into one word.
    Enumeration out;
    MFTReader reader;
    reader.read(drive_, cancel, [&](const VolumeEntryBatch& batch) {
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const VolumeEntry& e = batch.entries[i];
            const int length = qMin(batch.nameLength(i), 0x7FFF);
            const char* name = batch.name(i);
            out.records.push_back(Enumeration::Record{e.inode, e.parent, (quint64(out.names.size()) << 16) | (quint64(length) << 1) | (e.isDir ? 1u : 0u)});
            out.names.insert(out.names.end(), name, name + length);
        }
    });

    // By number; an object delivered twice keeps its delivery order (the offsets grow with it),
    // and the last one wins.
    std::sort(out.records.begin(), out.records.end(), [](const Enumeration::Record& a, const Enumeration::Record& b) {
        return a.frn != b.frn ? a.frn < b.frn : a.packed < b.packed;
    });
    return out;
}

void NTFSDriveDB::file(const Enumeration& records)
{
    const std::vector<Enumeration::Record>& pending = records.records;
    const bool fresh = directories_.isEmpty() && files_.isEmpty();
    auto intern = [&](const Enumeration::Record& r) {
        return pool_->intern(records.names.data() + (r.packed >> 16), std::size_t((r.packed >> 1) & 0x7FFF));
    };
    if (fresh) {
        // Room for the further names at once (the tables are not grown name by name).
        std::size_t names = 0, files = 0;
        for (std::size_t k = 1; k < pending.size(); ++k) {
            if (pending[k].frn == pending[k - 1].frn) {
                ++names;
                files += (k < 2 || pending[k - 2].frn != pending[k].frn) ? 1 : 0;
            }
        }
        if (names)
            extraNames_.reserve(names, files);
    }
    for (std::size_t k = 0; k < pending.size(); ++k) {
        // Records of one number lie next to each other; the last delivered becomes the record.
        if (k + 1 < pending.size() && pending[k + 1].frn == pending[k].frn)
            continue;
        const Enumeration::Record& p = pending[k];
        const bool isDir = p.packed & 1;
        const char* name = intern(p);
        if (!name || !*name)
            continue;
        if (fresh)
            (isDir ? directories_ : files_).set(p.frn, IndexEntry{p.parent, name});
        else
            setRecord(p.frn, p.parent, name, isDir);
        // The other names of a file (hard links) go to the table of further names.
        if (!isDir && k > 0 && pending[k - 1].frn == p.frn) {
            std::size_t first = k - 1;
            while (first > 0 && pending[first - 1].frn == p.frn)
                --first;
            for (std::size_t j = first; j < k; ++j) {
                if (pending[j].packed & 1)
                    continue; // the number was a folder when it was listed
                const char* other = intern(pending[j]);
                if (!other || !*other)
                    continue;
                // A fresh index has no other owner of the name to take it from (a name taken
                // over while the volume was walked follows from the journal afterwards).
                const IndexEntry first{p.parent, name};
                if (!fresh)
                    addName(p.frn, pending[j].parent, other);
                else if (!hasName(p.frn, first, pending[j].parent, other))
                    extraNames_.add(p.frn, first, pending[j].parent, other);
            }
        }
    }
    recount();
}

void NTFSDriveDB::addFile(FRN frn, FRN frnParent, const QString& name, bool isDir)
{
    const char* pooled = internName(name, "addFile");
    if (!pooled)
        return;
    QWriteLocker locker(&lock_);
    if (isDir)
        setRecord(frn, frnParent, pooled, true);
    else
        addName(frn, frnParent, pooled);
}

void NTFSDriveDB::renameFile(FRN frn, FRN frnParent, const QString& name, bool isDir)
{
    const char* pooled = internName(name, "renameFile");
    if (!pooled)
        return;
    QWriteLocker locker(&lock_);
    renameRecord(frn, frnParent, pooled, isDir);
}

void NTFSDriveDB::moveName(FRN frn, FRN oldParent, const QString& oldName, FRN frnParent, const QString& name, bool isDir)
{
    if (isDir || oldName.isEmpty()) {
        renameFile(frn, frnParent, name, isDir);
        return;
    }
    const char* pooled = internName(name, "renameFile");
    if (!pooled)
        return;
    const QByteArray old = fileNameToBytes(oldName);
    QWriteLocker locker(&lock_);
    moveFileName(frn, oldParent, old.constData(), frnParent, pooled);
}

void NTFSDriveDB::removeName(FRN frn, FRN frnParent, const QString& name, bool isDir)
{
    if (isDir || name.isEmpty())
        return;
    const QByteArray bytes = fileNameToBytes(name);
    QWriteLocker locker(&lock_);
    dropName(frn, frnParent, bytes.constData());
}

const char* NTFSDriveDB::internName(const QString& name, const char* operation) const
{
    if (name.isEmpty()) {
        writeLog(Logger::Warning, QStringLiteral("%1: Tried to add empty name").arg(QLatin1String(operation)));
        return nullptr;
    }
    // Interned before the write lock is taken (the pool has its own lock), so the lock is held
    // only for the map change.
    const QByteArray bytes = fileNameToBytes(name);
    const char* pooled = pool_->intern(bytes.constData(), std::size_t(bytes.size()));
    if (!pooled || !*pooled) {
        writeLog(Logger::Warning, QStringLiteral("%1: Got empty name from string pool").arg(QLatin1String(operation)));
        return nullptr;
    }
    return pooled;
}

void NTFSDriveDB::deleteFile(FRN frn, bool isFolder)
{
    QWriteLocker locker(&lock_);
    (isFolder ? directories_ : files_).erase(frn);
    if (!isFolder)
        extraNames_.removeAll(frn);
    recount();
}

void NTFSDriveDB::setRecord(FRN frn, FRN parent, const char* name, bool isDir)
{
    const IndexEntry entry{parent, name};
    (isDir ? directories_ : files_).set(frn, entry);
    // A number that changed between file and folder leaves the other map.
    (isDir ? files_ : directories_).erase(frn);
    if (isDir)
        extraNames_.removeAll(frn); // folders have one name
    else
        extraNames_.setFirst(frn, entry);
    recount();
}

namespace {

bool sameName(const IndexEntry& e, FRN parent, const char* name)
{
    return e.parent == parent && e.name && (e.name == name || std::strcmp(e.name, name) == 0);
}

} // namespace

bool NTFSDriveDB::hasName(FRN frn, const IndexEntry& first, FRN parent, const char* name) const
{
    return sameName(first, parent, name) || extraNames_.contains(frn, parent, name);
}

void NTFSDriveDB::addName(FRN frn, FRN parent, const char* name)
{
    takeNameOver(frn, parent, name);
    if (files_.insert(frn, IndexEntry{parent, name})) {
        // A new file (the usual case): one descent of the map.
        directories_.erase(frn);
        recount();
        return;
    }
    const IndexEntry* first = files_.find(frn);
    if (!hasName(frn, *first, parent, name))
        extraNames_.add(frn, *first, parent, name);
}

void NTFSDriveDB::renameRecord(FRN frn, FRN parent, const char* name, bool isDir)
{
    // Without further names the record simply takes the new name.
    if (!isDir && !extraNames_.isEmpty()) {
        takeNameOver(frn, parent, name);
        const IndexEntry* first = files_.find(frn);
        if (first && hasName(frn, *first, parent, name))
            return; // a file that has this name already keeps all it has
    }
    setRecord(frn, parent, name, isDir);
}

void NTFSDriveDB::moveFileName(FRN frn, FRN oldParent, const char* oldName, FRN parent, const char* name)
{
    takeNameOver(frn, parent, name);
    const IndexEntry* first = files_.find(frn);
    if (!first || !extraNames_.has(frn)) {
        setRecord(frn, parent, name, false); // one name: the record follows it
        return;
    }
    const bool present = hasName(frn, *first, parent, name);
    if (sameName(*first, oldParent, oldName)) {
        if (present)
            dropName(frn, oldParent, oldName);
        else
            setRecord(frn, parent, name, false);
    } else {
        // The old name was a further one, or is not known (then the others stay as they are).
        extraNames_.remove(frn, oldParent, oldName);
        if (!present)
            extraNames_.add(frn, *files_.find(frn), parent, name);
    }
}

bool NTFSDriveDB::dropName(FRN frn, FRN parent, const char* name)
{
    const IndexEntry* first = files_.find(frn);
    if (!first)
        return false;
    if (sameName(*first, parent, name)) {
        IndexEntry next;
        if (extraNames_.takeOne(frn, &next))
            setRecord(frn, next.parent, next.name, false); // a further name becomes the first
        else
            files_.erase(frn); // its last name
        recount();
        return true;
    }
    return extraNames_.remove(frn, parent, name);
}

void NTFSDriveDB::takeNameOver(FRN frn, FRN parent, const char* name)
{
    // A rename over an existing name replaces what the name held without any event for it. A
    // file with one name then loses its last link (its own deletion follows); one with several
    // only loses this name, which is taken from it here.
    for (int guard = 0; guard < 16; ++guard) {
        const FRN other = extraNames_.otherOwner(parent, name, frn);
        if (other == 0 || !dropName(other, parent, name))
            return;
    }
}

void NTFSDriveDB::clearRecords()
{
    directories_.clear();
    files_.clear();
    extraNames_.clear();
    recount();
}

void NTFSDriveDB::recount()
{
    count_.store(int(directories_.size() + files_.size()), std::memory_order_relaxed);
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
    std::thread rebuilding;
    {
        std::lock_guard<std::mutex> guard(rebuildMutex_);
        stopping_ = true;
        // Read without a lock by the enumeration of a running rebuild.
        __atomic_store_n(&rebuildCancel_, true, __ATOMIC_RELAXED);
        rebuilding = std::move(rebuildThread_);
    }
    rebuildWake_.notify_all();
    if (rebuilding.joinable())
        rebuilding.join();
    std::lock_guard<std::mutex> guard(journalMutex_);
    return journal_ ? journal_->stop() : USN(0);
}

void NTFSDriveDB::onJournalFailed(const QString& message)
{
    // Runs on the failed monitor's thread, which ends right after this returns.
    valid_ = false;
    writeLog(Logger::Warning, QStringLiteral("Change journal of %1 failed (%2); rebuilding the index").arg(drive_, message));
    std::lock_guard<std::mutex> guard(rebuildMutex_);
    if (stopping_)
        return;
    if (rebuildThread_.joinable())
        rebuildThread_.join(); // the previous rebuild ended when it started this monitor
    rebuildThread_ = std::thread([this] { rebuild(); });
}

void NTFSDriveDB::setRebuildRetryDelay(int milliseconds)
{
    rebuildRetryDelay.store(qMax(1, milliseconds));
}

void NTFSDriveDB::rebuild()
{
    {
        std::lock_guard<std::mutex> guard(journalMutex_);
        if (journal_)
            journal_->stop(); // joins the failed monitor
    }
    qint64 delay = rebuildRetryDelay.load();
    for (;;) {
        // A journal also fails when its volume is unmounted: then the mount point shows another
        // file system (or none), which must not be indexed under this volume's serial.
        if (getVolumeSerialNumber(drive_) != serial_) {
            writeLog(Logger::Warning, QStringLiteral("Volume %1 is gone; its index is not rebuilt").arg(drive_));
            emit rebuilt(false);
            return;
        }
        try {
            createDB(&rebuildCancel_);
            writeLog(Logger::Info, QStringLiteral("Index of %1 rebuilt: %2 objects").arg(drive_).arg(count()));
            emit rebuilt(true);
            return;
        } catch (const FileSearchCancelException&) {
            writeLog(Logger::Info, QStringLiteral("Rebuilding the index of %1 canceled").arg(drive_));
            return;
        } catch (const std::exception& e) {
            writeLog(Logger::Error, QStringLiteral("Rebuilding the index of %1 failed: %2; trying again in %3 seconds")
                                        .arg(drive_, QString::fromUtf8(e.what()))
                                        .arg((delay + 999) / 1000));
            emit rebuilt(false);
        }
        // No monitor runs meanwhile (a failed createDB starts none), so no journal failure
        // waits for this thread while it holds the mutex here.
        std::unique_lock<std::mutex> guard(rebuildMutex_);
        if (rebuildWake_.wait_for(guard, std::chrono::milliseconds(delay), [this] { return stopping_; }))
            return;
        delay = qMin<qint64>(delay * 2, MaxRebuildRetryDelay);
    }
}

std::size_t NTFSDriveDB::chainLimit() const
{
    // A consistent chain visits each folder at most once.
    return qMin<std::size_t>(directories_.size() + 1, MaxChainLength);
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
    QVarLengthArray<const char*, 64> folders; // nearest folder first
    const char* current = entry.name;
    FRN p = entry.parent;
    const std::size_t limit = chainLimit();
    int length = 0;
    while (p != 0) {
        if (std::size_t(folders.size()) >= limit) {
            writeLog(Logger::Warning, QStringLiteral("Parent chain of %1 is broken").arg(fileNameFromBytes(entry.name, int(std::strlen(entry.name)))));
            return QString();
        }
        const IndexEntry* folder = directories_.find(p);
        if (!folder) {
            if (!files_.find(p))
                writeLog(Logger::Warning, QStringLiteral("File %1 has no parent").arg(QString::fromUtf8(entry.name)));
            return QString();
        }
        if (!folder->name) {
            writeLog(Logger::Warning, QStringLiteral("Record has an empty name"));
            return QString();
        }
        if (isExcludedName(current)) {
            writeLog(Logger::Debug, QStringLiteral("Excluding the object"));
            return QString();
        }
        folders.append(folder->name);
        length += int(std::strlen(folder->name)) + (length ? 1 : 0);
        current = folder->name;
        p = folder->parent;
    }

    // The names are joined as bytes and decoded once.
    QVarLengthArray<char, 4096> bytes;
    bytes.reserve(length + 1);
    for (int i = folders.size() - 1; i >= 0; --i) {
        if (i != folders.size() - 1 && bytes.last() != '/')
            bytes.append('/');
        bytes.append(folders[i], int(std::strlen(folders[i])));
    }
    return fileNameFromBytes(bytes.constData(), bytes.size());
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
        const IndexEntry* e = directories_.find(p);
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
    QList<FRN> folderList;
    QList<FRN> fileList;
    for (const QString& path : paths) {
        // Only absolute paths on this volume; names and relative paths lie on no volume.
        if (!path.startsWith(QLatin1Char('/')) || volumeOf(path) != drive_)
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

void NTFSDriveDB::search(FileSearchRequest* request, FileSearchResults* results)
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

    auto cancelIfAsked = [request] {
        if (request->canceled)
            throw FileSearchCancelException(QStringLiteral("Request %1 canceled").arg(request->id), Unit, __LINE__);
    };

    const bool sizeBound = request->minSize != -1 || request->maxSize != -1;
    // Folders, then files by their first names, then the further names of files.
    for (int pass = 0; pass < 3; ++pass) {
        const bool isDirMap = pass == 0;
        if (isDirMap && sizeBound)
            continue; // folders have no size
        if (pass == 2 && extraNames_.isEmpty())
            break;
        // The folder tests and the path run on the scanning threads; the results are filled
        // here, in number order. The threads see the lists only as const: iterating a non-const
        // QList may detach it (an empty one, the shared null list, always is on first use),
        // which writes the list from several threads at once.
        const QList<FRN>& includes = includeFolders;
        const QList<FRN>& excludes = excludeFolders;
        const QList<FRN>& excludedFiles = excludeFiles;
        const HitFilter accept = [&](FRN frn, const IndexEntry& entry, QString* path) {
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
            return !path->isEmpty();
        };
        std::vector<Hit> hits;
        bool scanned = false;
        if (pass < 2) {
            const IndexMap& map = isDirMap ? directories_ : files_;
            NameFilter& filter = isDirMap ? dirFilter_ : fileFilter_;
            scanned = scanNames(LeafRuns(filter.layoutOf(map)), map.size(), *request, accept, hits, &filter);
        } else {
            scanned = scanNames(SlotRuns{extraNames_.slotTable()}, extraNames_.size(), *request, accept, hits);
            // Slots are reused as names come and go: reported by file number like the others.
            std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.frn < b.frn; });
        }
        if (!scanned)
            cancelIfAsked();
        for (const Hit& hit : hits) {
            cancelIfAsked();
            if (isDirMap)
                results->addDirPooled(hit.entry->name, hit.path);
            else
                results->addFilePooled(hit.entry->name, hit.path, 0);
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
    IndexFile file;
    const QString path = dbFilePath(base, serial_);
    if (path.isEmpty() || !file.open(path))
        return false;
    if (file.readHeader() != IndexFile::Ok) {
        writeLog(Logger::Warning, QStringLiteral("Load failed: can't read all records"));
        return false;
    }
    if (file.journalId() != journalData_.journalId) {
        writeLog(Logger::Info, QStringLiteral("Skip loading: change journal id changed"));
        return false;
    }
    // The journal must still hold every change since the save, and positions only grow.
    if (journalData_.firstUsn > file.nextUsn() || file.nextUsn() > journalData_.nextUsn) {
        writeLog(Logger::Info, QStringLiteral("Skip loading: records are missing"));
        return false;
    }
    qint32 total = 0;
    if (file.readCount(&total) != IndexFile::Ok) {
        writeLog(Logger::Warning, QStringLiteral("Load failed: bad record count"));
        return false;
    }

    {
        QWriteLocker locker(&lock_);
        valid_ = false;
        clearRecords();
        // One record of either section: a cancel throws, a damaged record ends the load.
        IndexFile::Record record;
        auto readRecord = [&]() {
            if (cancel && __atomic_load_n(cancel, __ATOMIC_RELAXED)) {
                clearRecords();
                throw FileSearchCancelException("Canceled", Unit, __LINE__);
            }
            return file.atEnd() ? IndexFile::Truncated : file.readRecord(&record);
        };
        IndexFile::Status status = IndexFile::Ok;
        for (qint32 i = 0; status == IndexFile::Ok && i < total; ++i) {
            status = readRecord();
            if (status == IndexFile::Ok)
                setRecord(record.frn, record.parent,
                          pool_->intern(record.name, std::size_t(record.nameLength)), record.isDir);
        }
        // The further names of files with several, when the file has them.
        qint32 extra = 0;
        if (status == IndexFile::Ok)
            status = file.readExtraNamesCount(&extra);
        for (qint32 i = 0; status == IndexFile::Ok && i < extra; ++i) {
            status = readRecord();
            if (status != IndexFile::Ok)
                break;
            const char* name = pool_->intern(record.name, std::size_t(record.nameLength));
            if (!record.isDir && name && *name && files_.contains(record.frn))
                addName(record.frn, record.parent, name);
        }
        if (status != IndexFile::Ok) {
            // Nothing of a damaged file stays: the rebuild starts from empty maps.
            clearRecords();
            writeLog(Logger::Warning, status == IndexFile::BadNameLength
                                     ? QStringLiteral("Load failed: bad name length")
                                     : QStringLiteral("Load failed: can't read all records"));
            return false;
        }
    }
    writeLog(Logger::Info, QStringLiteral("Loading disk %1 done in %2 seconds").arg(drive_).arg(seconds(timer)));

    std::lock_guard<std::mutex> guard(journalMutex_);
    journal_->start(file.nextUsn());
    valid_ = true;
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
        writeLog(Logger::Warning, QStringLiteral("Index of %1 not saved: no index file can be named for it").arg(drive_));
        return;
    }
    if (!valid_) {
        writeLog(Logger::Warning, QStringLiteral("Index of %1 not saved: it is incomplete").arg(drive_));
        return;
    }
    const QString path = dbFilePath(settings_.dbPath, serial_);
    if (path.isEmpty()) {
        writeLog(Logger::Warning, QStringLiteral("Index of %1 not saved: no folder for index files").arg(drive_));
        return;
    }
    QString error;
    switch (IndexFile::write(path, journalData_.journalId, next, directories_, files_, extraNames_, &error)) {
    case IndexFile::Written:
        break;
    case IndexFile::CreateFailed:
        if (!error.isEmpty())
            writeLog(Logger::Error, QStringLiteral("Index file %1 not created: %2").arg(path, error));
        throw FileSearchException("Failed to create a file", Unit, __LINE__);
    case IndexFile::WriteFailed:
        throw FileSearchException(QStringLiteral("Failed to write the index file %1: %2").arg(path, error), Unit, __LINE__);
    }
    writeLog(Logger::Info, QStringLiteral("Saving disk %1 done in %2 seconds").arg(drive_).arg(seconds(timer)));
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
    return int(directories_.size());
}

int NTFSDriveDB::fileCount() const
{
    QReadLocker locker(&lock_);
    return int(files_.size());
}

int NTFSDriveDB::count() const
{
    return count_.load(std::memory_order_relaxed);
}

int NTFSDriveDB::extraNameCount() const
{
    QReadLocker locker(&lock_);
    return int(extraNames_.size());
}

std::size_t NTFSDriveDB::mapBytes() const
{
    QReadLocker locker(&lock_);
    return directories_.nodeBytes() + files_.nodeBytes() + extraNames_.bytes();
}

bool NTFSDriveDB::record(FRN frn, bool isDir, FRN* parent, QByteArray* name) const
{
    QReadLocker locker(&lock_);
    const IndexEntry* e = (isDir ? directories_ : files_).find(frn);
    if (!e)
        return false;
    if (parent)
        *parent = e->parent;
    if (name)
        *name = QByteArray(e->name ? e->name : "");
    return true;
}

QStringList NTFSDriveDB::fileNames(FRN frn) const
{
    QReadLocker locker(&lock_);
    QStringList out;
    auto put = [&](const IndexEntry& e) {
        out << QStringLiteral("%1/%2").arg(e.parent).arg(fileNameFromBytes(e.name, int(std::strlen(e.name))));
    };
    if (const IndexEntry* first = files_.find(frn)) {
        put(*first);
        extraNames_.forEachOf(frn, put);
    }
    return out;
}
