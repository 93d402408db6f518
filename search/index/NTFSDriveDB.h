// NTFSDriveDB: the name index of one volume.
//
// Every folder and file of the volume is a record (file reference number = inode, parent's
// number, name) in one of two ordered maps, `directories` and `files` (IndexMap, a B+ tree);
// the names lie in the volume's own NameStore and a record holds a 32-bit reference to its
// name. Maps, names and the further names of files make one IndexTables. The index is filled once
// from the volume enumeration (MFTReader) or from the volume's index file (IndexFile), then kept
// current by the change-journal monitor (ChangeJournal) through the update slots addFile,
// renameFile and deleteFile, which run on the monitor thread. Paths are never stored: a search
// builds the folder path of each hit from its parent chain, so renaming or moving a folder touches
// only that folder's record.
//
// Volumes are named by their mount point ("/", "/home"), which stands where a drive letter
// stood: the root record's name is the mount point, and a path lies on this volume when
// volumeOf(path) is this mount point. Folder paths are joined with "/"; the root's own name is
// not followed by another "/" when it already ends with one ("/" + "etc" is "/etc"). An
// exclusion entry of the settings without "/" is a name exclusion, with "/" a path exclusion.
//
// Building: the walk's threads each collect their own records and names (IndexBuilder), which
// are then sorted and merged in parallel straight into the leaves of new tables, without the
// lock: searches go on over the index as it was while a rebuild walks the volume. Only the
// swap of the tables takes the lock; the old tables are destroyed after it is released. A
// name search scans the records with NameScan (up to 8 threads, the UTF-8 names matched without
// decoding them, leaves that cannot match passed over); this class gives it the folder tests and
// builds paths only for the hits that pass them. Results keep pointing at the names they
// report: a search hands them the store's blocks to keep (ResultStore::keepAlive).
//
// Names given back: a record removed or renamed releases its old name; when the released
// names take more room than the live ones, the names still in use are copied into new blocks
// (IndexTables::compactNames) under the write lock, so the memory of the names follows the
// number of live files however many come and go.
//
// Files with several names (hard links): a file's record in `files` holds one name (the last
// the walk delivered, as before); its other names live in a side table (ExtraNames) keyed by
// the file's number, searched by the same scan after the file map, their paths built the same
// way, and saved in a section of the index file after the records (IndexFile). The walk
// delivers every name, and records of one number lie next to each other once sorted, so this
// costs nothing where no file has a second name. Folders have one name. The update slots
// change one name at a time: addFile adds a name to a file that has others, moveName moves the
// one name a rename left (fileRenamed alone cannot say which), removeName drops one name (the
// first one gives way to a further one; a file's last name takes the file), deleteFile drops
// the file with every name. A name that a rename of another object takes over leaves the file
// that had it. Counts are of objects, not names.
//
// Soundness rules kept here:
// - A record lives in exactly one map: setting a record removes the same number from the other
//   map (a number that changed from file to folder must not stand in both).
// - A build or a load makes complete new tables and swaps them in: a partial load never leaves
//   ghost records.
// - Parent-chain walks (buildPath, isUnderFolder) are bounded: a cycle in a damaged file or
//   through a reused inode ends the walk instead of hanging the search.
// - Name exclusions are kept as FNV-1 hashes of the lower-cased UTF-8 names; a hash hit is
//   confirmed by comparing the names, so a colliding name is never excluded.
// - An excluded folder is left out with everything beneath it also when subfolders are off
//   (the flag limits the depth below the include folders, not the reach of an exclusion).
// - pathsToFrns keeps the other folders when one path is the volume root; the root with
//   subfolders searches the whole volume, without subfolders it adds the root's children to
//   those of the other include folders.
// - The resume point saved in the index file is the journal's lastUsn taken after the monitor
//   was stopped and joined (ChangeJournal moves it only after a whole batch was applied); the
//   monitor is stopped before the write lock is taken, because its update slots need that lock.
// - Start from the saved index: a file that belongs to this volume (serial, file system id,
//   root) and is undamaged (IndexFile checks every section) is loaded into new tables and
//   searched at once. Where it followed this very journal up to a position the journal still
//   holds (the same run: a volume that left the set and came back), the monitor resumes there.
//   Otherwise nothing says what changed while no index ran: the monitor starts at the journal
//   position read before the load, and a walk on the index's worker thread (createDB) makes
//   new tables from the volume and replaces the loaded ones, its own monitor starting at the
//   position taken before that walk, so the result is what a fresh build gives while searches
//   were answered throughout. updateStarted / updateFinished frame that work (and a rebuild).
//   The file records whether its index was in step with its journal (inStep_), so an index
//   saved before its reconcile ended is reconciled again.
// - The monitor's lifetime and the background builds are the RebuildScheduler's: a journal that
//   fails (records lost to an overflow, a broken journal) makes the index invalid and rebuild
//   itself on the scheduler's worker thread, the rebuilt index following a new monitor; a
//   rebuild that fails is tried again after a minute, then after twice as long each time up to
//   half an hour; stopJournal() cancels and joins a running or waiting build. A journal that
//   failed because its volume was unmounted is not followed by a rebuild (the mount point no
//   longer shows this volume's serial), and the stale index is not saved.
// - The index file is named by the serial the volume had when the index was created (the index
//   set passes the one it knows), so a volume saved after it disappeared keeps its file. A
//   volume without a serial (0) is never written to or read from a file.
// - Locks are RAII holders throughout (exceptions are thrown under them).
//
// Lock order: the index set's lock, then this object's lock.
// search and save's reading of the maps take the read lock (save stops the monitor before);
// the update slots, load and the filing of an enumeration's records take the write lock.
#pragma once

#include "core/IndexingSettings.h"
#include "search/index/ChangeJournalReader.h"
#include "search/index/IndexFile.h"
#include "search/index/IndexTables.h"
#include "search/index/NTFSUtils.h"
#include "search/index/RebuildScheduler.h"

#include <QByteArray>
#include <QMultiHash>
#include <QObject>
#include <QReadWriteLock>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <unordered_set>
#include <vector>

class ChangeJournal;
class ExclusionRule;
class FileSearchRequest;
class ResultStore;

class NTFSDriveDB : public QObject
{
    Q_OBJECT

public:
    // `serial` names the index file; 0 reads it from the volume now.
    NTFSDriveDB(const QString& drive, const IndexingSettings& settings, quint32 serial = 0);
    ~NTFSDriveDB() override;

    // How far the volume's first indexing (init) has come: its file is being loaded (also
    // before init starts), it is being built from a walk, it answers searches (also while a
    // background walk reconciles or rebuilds it), or init failed.
    enum class Phase { Loading, Building, Ready, Failed };
    Phase phase() const;
    // Waits while the volume is loading its file (a load costs a fraction of the walk that
    // would answer for it otherwise) when `request` reaches this volume; a cancel of the
    // request throws. True when the index answers for the volume now.
    bool awaitReady(const FileSearchRequest& request) const;

    // Loads the index file, else builds the index from the volume; then the monitor runs.
    // Moves the phase on (Ready, or Failed when it throws).
    void init(bool* cancel);
    // Builds the index from the volume and starts a new monitor at the journal position taken
    // before the enumeration, so changes made meanwhile are applied afterwards.
    void createDB(bool* cancel);

    void search(FileSearchRequest* request, ResultStore* results);
    void setExclusions(const IndexingSettings& settings);

    QString drive() const { return drive_; }
    quint32 serial() const { return serial_; }
    // Stops the monitor (and a running rebuild), waits for it and returns the resume USN.
    USN stopJournal();

    // Index file (IndexFile describes the format).
    bool load(bool* cancel);
    void save();
    static QString dbFilePath(const QString& base, quint32 serial);
    static void deleteDBFile(const QString& base, quint32 serial);

    // Record counts (folders, files), read under the read lock.
    int directoryCount() const;
    int fileCount() const;
    // Further names of files with several (hard links), read under the read lock.
    int extraNameCount() const;
    // Folders plus files, without waiting for the lock (a rebuild holds it for a while): the
    // count after the last completed change.
    int count() const;

    // Memory figures: arena bytes taken by the nodes of both maps, plus the table of further
    // names; bytes of names stored (released ones included), and of those released.
    std::size_t mapBytes() const;
    std::size_t nameBytes() const;
    std::size_t releasedNameBytes() const;
    // Bytes held by the name filters' leaf summaries.
    std::size_t filterBytes() const;

    // Test access: the first wait before a failed rebuild is tried again (default 60000 ms).
    static void setRebuildRetryDelay(int milliseconds);

    // Test access: the record of `frn` in the folder or file map (false when absent).
    bool record(FRN frn, bool isDir, FRN* parent, QByteArray* name) const;
    // Test access: every name of file `frn` as "<parent>/<name>", the file map's first.
    QStringList fileNames(FRN frn) const;
    // Test access: folders whose contents were read because they moved in unlisted.
    int folderWalks() const { return folderWalks_.load(); }

public slots:
    // A folder gets this record; a file gets this name besides those it has.
    void addFile(FRN frn, FRN frnParent, const QString& name, bool isDir);
    // The object has this name now. A file whose old name is not known loses its first name to
    // it, unless it has the name already.
    void renameFile(FRN frn, FRN frnParent, const QString& name, bool isDir);
    // The object and every name of it are gone.
    void deleteFile(FRN frn, bool isFolder);
    // One name of a file moved: (oldParent, oldName) became (frnParent, name) and its other
    // names stay. An empty oldName is a rename whose old name is not known (renameFile).
    void moveName(FRN frn, FRN oldParent, const QString& oldName, FRN frnParent, const QString& name, bool isDir);
    // One name of a file was removed; the file keeps its others. Folders are left alone (their
    // one name goes with deleteFile).
    void removeName(FRN frn, FRN frnParent, const QString& name, bool isDir);

signals:
    // A failed journal was followed by a rebuild (for the log and tests): `ok` false when the
    // rebuild itself failed (it is tried again later unless the volume has gone).
    void rebuilt(bool ok);
    // Background work on the index (the reconcile walk after a load, a rebuild after a failed
    // journal) is asked for, and all of it has ended. The start comes from the thread that asks
    // (init, a failed monitor), the end from the worker thread (or stopJournal); always in pairs.
    void updateStarted();
    void updateFinished();

private:
    enum { MaxChainLength = 32768 };
    using Ref = NameStore::Ref;

    // A monitor of this volume's journal whose changes go to the update slots (not started).
    std::unique_ptr<ChangeJournal> newJournal();
    std::unique_ptr<IndexTables> collect(bool* cancel, std::vector<FRN>* missed) const;
    // Makes `tables` the index under the write lock (with the journal state it follows and the
    // folders its walk missed, when given) and returns the tables it replaced.
    std::unique_ptr<IndexTables> swapTables(std::unique_ptr<IndexTables> tables, const JournalState* state,
                                            const std::vector<FRN>* missed = nullptr);
    // The records of one journal batch, applied under one write lock; then the folders moved
    // in whose contents the index never listed are walked (walkFolder).
    void applyBatch(const JournalBatch& batch);
    void walkFolder(FRN folder, const QByteArray& path, int handleType, const QByteArray& handle);
    Ref storeName(const QString& name, const char* operation);
    void setRecord(FRN frn, FRN parent, Ref name, bool isDir);
    void addName(FRN frn, FRN parent, Ref name);
    void renameRecord(FRN frn, FRN parent, Ref name, bool isDir);
    void moveFileName(FRN frn, FRN oldParent, const char* oldName, FRN parent, Ref name);
    bool dropName(FRN frn, FRN parent, const char* name);
    void takeNameOver(FRN frn, FRN parent, const char* name);
    bool hasName(FRN frn, const IndexEntry& first, FRN parent, const char* name) const;
    bool sameName(const IndexEntry& e, FRN parent, const char* name) const;
    void eraseRecord(IndexMap& map, FRN frn);
    void afterChange();
    void recount();
    bool loadVersion1(IndexFile& file, bool* cancel, std::unique_ptr<IndexTables>* out);

    void setPhase(Phase phase);
    bool reaches(const FileSearchRequest& request) const;

    QString buildPath(const IndexEntry& entry) const;
    // Does `rule` leave out the record `entry` found in the folder at `folder`?
    bool excludedByRule(const ExclusionRule& rule, const IndexEntry& entry, const QString& folder) const;
    bool isExcludedName(const char* name) const;
    bool isUnderFolder(FRN folder, FRN frn, const IndexEntry& entry) const;
    void pathsToFrns(const QStringList& paths, QList<FRN>* folders, QList<FRN>* files, bool* root) const;
    std::size_t chainLimit() const;
    const char* text(Ref name) const { return t_->names.text(name); }

    QString drive_;
    bool volatile_ = false; // tmpfs: its index is never saved nor loaded
    quint32 serial_ = 0;
    std::unique_ptr<IndexTables> t_; // never null
    // Folders the last walk listed but could not read (they moved meanwhile): a rename of one
    // of them has its contents read (applyBatch).
    std::unordered_set<FRN> unread_;
    std::set<quint32> exclusionHashes_;
    QMultiHash<quint32, QByteArray> exclusionNames_; // lower-cased UTF-8 by hash
    JournalState journalData_;
    mutable QReadWriteLock lock_;
    IndexingSettings settings_;

    IndexFile::Identity identity_; // of the volume, read when the index is made

    // The monitor this index follows and the background builds (reconcile, rebuild).
    std::unique_ptr<RebuildScheduler> scheduler_;
    // True while the maps reflect the volume up to the monitor's resume point (after a load or
    // an enumeration; false from a journal failure until the rebuild is done). Only a valid
    // index is saved.
    std::atomic<bool> valid_{false};
    // True while the maps reflect the volume as the journal follows it: after a walk, and after
    // a load from a file that followed this very journal; false from a load of another run's
    // file until the reconcile walk is done. Saved in the file.
    std::atomic<bool> inStep_{false};
    std::atomic<int> count_{0};
    mutable std::mutex phaseMutex_;
    mutable std::condition_variable phaseChanged_;
    Phase phase_ = Phase::Loading;
    std::atomic<int> folderWalks_{0};
};
