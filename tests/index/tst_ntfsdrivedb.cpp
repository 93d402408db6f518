// The per-volume index driven by a scripted volume (enumeration records, file ids) and a
// scripted change journal (batches with USNs and a stable journal id).
#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "core/StringPool.h"
#include "indexfilebytes.h"
#include "indexlog.h"
#include "indextest.h"
#include "scopedinstance.h"
#include "search/index/IndexFile.h"
#include "search/index/NTFSDriveDB.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "storedresults.h"
#include "tests/doubles/ScriptedJournalBackend.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "testutil.h"
#include "threadsafespy.h"

#include <QHash>
#include <QPointer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <thread>
#include <tuple>

#include <sys/stat.h>

namespace {

const QString Mount = QStringLiteral("/mnt/v");
const quint32 Serial = 0xabcd1234u;
const JournalID JournalId = 0x1122334455667788ull;
const quint64 FileSystemId = 0x5eed5eed00000001ull;

// A scripted volume whose walk can be held at its start or fail a number of times.
class HeldVolumeLayer : public ScriptedVolumeLayer
{
public:
    std::atomic<bool> hold{false};
    std::atomic<int> failures{0}; // walks that fail before they start
    QSemaphore entered;
    QSemaphore proceed;

    void enumerate(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                   const VolumeEntrySink& sink) override
    {
        if (failures > 0) {
            --failures;
            throw FileSearchException(QStringLiteral("cannot read for now"), QStringLiteral("HeldVolumeLayer"), __LINE__);
        }
        if (hold) {
            entered.release();
            proceed.acquire();
        }
        ScriptedVolumeLayer::enumerate(mountPoint, rootName, cancel, sink);
    }
};

} // namespace

class TestNTFSDriveDB : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir logDir;
    QTemporaryDir dataDir;
    std::unique_ptr<ScriptedVolumeLayer> layer;
    std::unique_ptr<ScriptedJournalBackend> journal;
    std::optional<testutil::ScopedInstance<VolumeLayer>> installedLayer;
    std::optional<testutil::ScopedInstance<JournalBackend>> installedJournal;

    IndexingSettings settings(const QStringList& excludes = {QStringLiteral(".SVN")}) const
    {
        IndexingSettings s;
        s.dbPath = dataDir.path();
        s.excludePaths = excludes;
        return s;
    }

    QString indexFile() const { return dataDir.path() + QStringLiteral("/DB/abcd1234"); }

    // The volume:
    //   2 /mnt/v
    //     10 docs/             20 Report 2015.txt
    //     11 Projects/         21 report.PDF
    //        12 src/           22 main.cpp
    //           13 .svn/       23 entries
    //     24 notes.txt
    void scriptVolume()
    {
        VolumeDescription v;
        v.mountPoint = Mount;
        v.fsType = QStringLiteral("ext4");
        v.serial = Serial;
        v.indexable = true;
        v.fixed = true;
        layer->addVolume(v);
        VolumeDescription other = v;
        other.mountPoint = QStringLiteral("/mnt/w");
        other.serial = 0x77;
        layer->addVolume(other);
        for (const auto& id : {std::make_pair("", 2), {"/docs", 10}, {"/Projects", 11}, {"/Projects/src", 12}})
            layer->setFileId(Mount + id.first, id.second, true);
        layer->setFileId(Mount + "/docs/Report 2015.txt", 20, false);
        layer->setFileId(Mount + "/notes.txt", 24, false);
        layer->setFileId(QStringLiteral("/mnt/w"), 2, true);
        layer->setFileId(QStringLiteral("/mnt/w/x"), 11, true); // same inode number, other volume
        layer->setEntries(Mount, {
            {10, 2, "docs", true},
            {11, 2, "Projects", true},
            {12, 11, "src", true},
            {13, 12, ".svn", true},
            {20, 10, "Report 2015.txt", false},
            {21, 11, "report.PDF", false},
            {22, 12, "main.cpp", false},
            {23, 13, "entries", false},
            {24, 2, "notes.txt", false},
        });
        layer->setFileSystemId(Mount, FileSystemId);
        journal->setState(Mount, JournalState{JournalId, 0, 100});
    }

    // The scripted volume's records as a 2.0 file.
    static Format2 volumeFile()
    {
        Format2 f;
        f.journalId = JournalId;
        f.nextUsn = 50;
        f.serial = Serial;
        f.fileSystemId = FileSystemId;
        f.rootInode = 2;
        f.folders = {{2, 0, "/mnt/v"}, {10, 2, "docs"}, {11, 2, "Projects"}, {12, 11, "src"}, {13, 12, ".svn"}};
        f.files = {{20, 10, "Report 2015.txt"}, {21, 11, "report.PDF"}, {22, 12, "main.cpp"}, {23, 13, "entries"},
                   {24, 2, "notes.txt"}};
        return f;
    }

    std::unique_ptr<NTFSDriveDB> makeDb(const IndexingSettings& s)
    {
        return std::unique_ptr<NTFSDriveDB>(new NTFSDriveDB(Mount, s));
    }

    // The index of the scripted volume with the default exclusions, built or loaded.
    std::unique_ptr<NTFSDriveDB> initDb()
    {
        auto db = makeDb(settings());
        db->init(nullptr);
        return db;
    }

    static QStringList find(NTFSDriveDB& db, const QString& pattern, const QStringList& include = {},
                            bool subfolders = true, const QStringList& exclude = {}, qint64 minSize = -1)
    {
        return markedSearchPaths(db, pattern, include, subfolders, exclude, minSize);
    }

    // The scripted volume, served by a layer whose walks can be held or made to fail.
    HeldVolumeLayer* useHeldVolumeLayer()
    {
        HeldVolumeLayer* held = new HeldVolumeLayer;
        installedLayer.emplace(held);
        layer.reset(held);
        scriptVolume();
        return held;
    }

    // Waits until the scripted reader of the volume is reading (the monitor runs).
    ScriptedJournalReader* runningReader()
    {
        ScriptedJournalReader* reader = nullptr;
        (void)QTest::qWaitFor([&] {
            reader = journal->reader(Mount);
            return reader && reader->readCalls() > 0;
        }, 60000);
        return reader;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(logDir.isValid() && dataDir.isValid());
        Logger::instance(logDir.path() + QStringLiteral("/test.log"));
    }

    void init()
    {
        layer.reset(new ScriptedVolumeLayer);
        journal.reset(new ScriptedJournalBackend);
        installedLayer.emplace(layer.get());
        installedJournal.emplace(journal.get());
        scriptVolume();
        QFile::remove(indexFile());
    }

    void cleanup()
    {
        installedLayer.reset();
        installedJournal.reset();
    }

    void buildsAndSearchesWithNameExclusions()
    {
        auto db = initDb();
        QCOMPARE(db->directoryCount(), 5);
        QCOMPARE(db->fileCount(), 5);
        QCOMPARE(layer->enumerations(), 1);
        // The monitor starts at the journal position read before the enumeration.
        ScriptedJournalReader* reader = runningReader();
        QVERIFY(reader);
        QCOMPARE(reader->lastStart(), USN(100));

        // Everything but the root, folders first, each in ascending number order; ".svn" is
        // excluded in any letter case, and with it everything beneath.
        QCOMPARE(find(*db, QString()), QStringList({
            "D /mnt/v/docs", "D /mnt/v/Projects", "D /mnt/v/Projects/src",
            "F /mnt/v/docs/Report 2015.txt", "F /mnt/v/Projects/report.PDF",
            "F /mnt/v/Projects/src/main.cpp", "F /mnt/v/notes.txt"}));
        QCOMPARE(find(*db, QStringLiteral("REPORT")), QStringList({
            "F /mnt/v/docs/Report 2015.txt", "F /mnt/v/Projects/report.PDF"}));
        QCOMPARE(find(*db, QStringLiteral("*.txt")), QStringList({
            "F /mnt/v/docs/Report 2015.txt", "F /mnt/v/notes.txt"}));
        // A size bound leaves the folders out.
        QCOMPARE(find(*db, QStringLiteral("o"), {}, true, {}, 1), QStringList({
            "F /mnt/v/docs/Report 2015.txt", "F /mnt/v/Projects/report.PDF", "F /mnt/v/notes.txt"}));

        // Without exclusions the folder and its content appear.
        db->setExclusions(settings({}));
        QCOMPARE(find(*db, QStringLiteral("entries")), QStringList({"F /mnt/v/Projects/src/.svn/entries"}));
    }

    void includeAndExcludeFolders()
    {
        auto db = initDb();
        const QString projects = Mount + "/Projects";
        // An include folder itself is not reported, only what lies in it.
        QCOMPARE(find(*db, QString(), {projects}), QStringList({
            "D /mnt/v/Projects/src", "F /mnt/v/Projects/report.PDF", "F /mnt/v/Projects/src/main.cpp"}));
        QCOMPARE(find(*db, QString(), {projects}, false), QStringList({
            "D /mnt/v/Projects/src", "F /mnt/v/Projects/report.PDF"}));
        // The root with subfolders off keeps the other include folders.
        QCOMPARE(find(*db, QString(), {Mount, Mount + "/docs"}, false), QStringList({
            "D /mnt/v/docs", "D /mnt/v/Projects", "F /mnt/v/docs/Report 2015.txt", "F /mnt/v/notes.txt"}));
        // The root with subfolders on is the whole volume.
        QCOMPARE(find(*db, QString(), {projects, Mount}).size(), 7);
        // Include paths on another volume (even with a colliding inode number) or that cannot be
        // opened give nothing from this volume; relative names lie on no volume.
        QVERIFY(find(*db, QString(), {QStringLiteral("/mnt/w/x")}).isEmpty());
        QVERIFY(find(*db, QString(), {Mount + "/missing", QStringLiteral("Projects")}).isEmpty());

        // An excluded folder goes with its content; an excluded file alone; the root: nothing.
        QCOMPARE(find(*db, QString(), {}, true, {projects, Mount + "/notes.txt"}), QStringList({
            "D /mnt/v/docs", "F /mnt/v/docs/Report 2015.txt"}));
        QVERIFY(find(*db, QString(), {}, true, {Mount}).isEmpty());
        // Also with subfolders off, nothing comes from inside an excluded folder: not through an
        // include folder within it, nor when the whole volume is searched.
        QVERIFY(find(*db, QString(), {Mount + "/Projects/src"}, false, {projects}).isEmpty());
        QCOMPARE(find(*db, QStringLiteral("main;src;report"), {}, false, {projects}), QStringList({
            "F /mnt/v/docs/Report 2015.txt"}));
        // Path exclusions of the settings apply like the request's.
        db->setExclusions(settings({QStringLiteral(".svn"), Mount + "/docs"}));
        QCOMPARE(find(*db, QStringLiteral("report")), QStringList({"F /mnt/v/Projects/report.PDF"}));
    }

    // Large maps are scanned by several threads: the hits still come in number order, with
    // the folder tests and exclusions applied.
    void parallelScanKeepsOrderAndTests()
    {
        QVector<ScriptedVolumeLayer::Entry> entries;
        for (quint64 d = 0; d < 100; ++d)
            entries.append({1000 + d, 2, "dir" + QByteArray::number(d), true});
        for (quint64 i = 0; i < 80000; ++i) {
            const QByteArray name = (i % 10 == 0 ? "hit" : "other") + QByteArray::number(i);
            entries.append({200000 - i, 1000 + i % 100, name, false}); // delivered in descending order
        }
        entries.append({5000, 1000, ".svn", true});
        entries.append({5001, 5000, "hit-hidden", false});
        layer->setEntries(Mount, entries);
        layer->setFileId(Mount + "/dir0", 1000, true);
        layer->setFileId(Mount + "/dir7", 1007, true);
        layer->setFileId(Mount + "/dir10", 1010, true);
        auto db = initDb();
        QCOMPARE(db->count(), 1 + 100 + 80000 + 2);

        const QStringList all = find(*db, QStringLiteral("hit"));
        QCOMPARE(all.size(), 8000);
        // Ascending numbers are descending i: hit79990 first.
        QCOMPARE(all.first(), QStringLiteral("F /mnt/v/dir90/hit79990"));
        QCOMPARE(all.last(), QStringLiteral("F /mnt/v/dir0/hit0"));
        QVERIFY(!all.contains(QStringLiteral("F /mnt/v/dir0/.svn/hit-hidden")));

        const QStringList inside = find(*db, QStringLiteral("hit"), {Mount + "/dir7"});
        QCOMPARE(inside.size(), 0); // i % 100 == 7 never has i % 10 == 0
        const QStringList other = find(*db, QStringLiteral("other"), {Mount + "/dir7"});
        QCOMPARE(other.size(), 800);
        QCOMPARE(find(*db, QStringLiteral("hit"), {}, true, {Mount + "/dir0", Mount + "/dir10"}).size(), 8000 - 1600);

        // No request is an error; a canceled one throws before any hit is filed.
        ResultStore results;
        QVERIFY_EXCEPTION_THROWN(db->search(nullptr, &results), FileSearchException);
        FileSearchRequest request;
        request.canceled = true;
        QVERIFY_EXCEPTION_THROWN(db->search(&request, &results), FileSearchCancelException);
        QCOMPARE(results.itemCount(), 0);
    }

    void journalChangesAreVisibleInTheNextSearch()
    {
        auto db = initDb();
        ScriptedJournalReader* reader = runningReader();
        QVERIFY(reader);

        // Create, rename, and move a folder: its descendants follow without an update of their own.
        reader->addBatch({ScriptedJournalEvent::added(30, 10, "new.txt"),
                          ScriptedJournalEvent::renamed(24, 10, "notes-renamed.txt"),
                          ScriptedJournalEvent::renamed(12, 10, "code", true)}, 150);
        QVERIFY(reader->waitDelivered(150));
        QCOMPARE(find(*db, QStringLiteral("new;renamed;main")), QStringList({
            "F /mnt/v/docs/code/main.cpp", "F /mnt/v/docs/notes-renamed.txt", "F /mnt/v/docs/new.txt"}));

        // A deleted folder takes its former descendants out of the results, logged once each.
        reader->addBatch({ScriptedJournalEvent::deleted(12, true)}, 160);
        QVERIFY(reader->waitDelivered(160));
        QVERIFY(find(*db, QStringLiteral("main")).isEmpty());
        QVERIFY(indexLogText().contains(QStringLiteral("File main.cpp has no parent")));

        // A number that turns from file into folder stands in one map only; empty names are ignored.
        reader->addBatch({ScriptedJournalEvent::added(30, 10, "new.txt", true),
                          ScriptedJournalEvent::added(31, 10, QString())}, 170);
        QVERIFY(reader->waitDelivered(170));
        QVERIFY(db->record(30, true, nullptr, nullptr));
        QVERIFY(!db->record(30, false, nullptr, nullptr));
        QVERIFY(!db->record(31, false, nullptr, nullptr));
        QCOMPARE(find(*db, QStringLiteral("new.txt")), QStringList({"D /mnt/v/docs/new.txt"}));
        QVERIFY(indexLogText().contains(QStringLiteral("addFile: Tried to add empty name")));

        // The resume point is the end of the last applied batch.
        QCOMPARE(db->stopJournal(), USN(170));
    }

    void parentCyclesDoNotHang()
    {
        auto db = makeDb(settings({}));
        db->init(nullptr);
        // A damaged chain: 40 and 41 are each other's parent, 42 lies in the loop.
        db->addFile(40, 41, QStringLiteral("loopA"), true);
        db->addFile(41, 40, QStringLiteral("loopB"), true);
        db->addFile(42, 40, QStringLiteral("inloop.txt"), false);
        QVERIFY(find(*db, QStringLiteral("loop")).isEmpty());
        QVERIFY(find(*db, QString(), {Mount + "/docs"}).contains("F /mnt/v/docs/Report 2015.txt"));
        QVERIFY(indexLogText().contains(QStringLiteral("Parent chain of inloop.txt is broken")));
    }

    // Names of records that go give their bytes back: files created and deleted by the hundred
    // thousand leave the names' memory near what the live ones need, and results taken before
    // the names were compacted still read their names.
    void namesOfRemovedRecordsAreGivenBack()
    {
        auto db = initDb();
        const std::size_t start = db->nameBytes();
        FileSearchRequest request;
        request.fileName = QStringLiteral("report");
        ResultStore before;
        db->search(&request, &before);
        QCOMPARE(before.itemCount(), 2);
        std::size_t most = 0;
        for (int round = 0; round < 16; ++round) {
            for (int i = 0; i < 40000; ++i)
                db->addFile(FRN(100000 + round * 40000 + i), 10, QStringLiteral("churn-%1-%2.tmp").arg(round).arg(i), false);
            most = qMax(most, db->nameBytes());
            for (int i = 0; i < 40000; ++i)
                db->deleteFile(FRN(100000 + round * 40000 + i), false);
            // A rename leaves its old name behind as well.
            db->renameFile(24, 2, QStringLiteral("notes-%1.txt").arg(round), false);
        }
        QCOMPARE(db->count(), 10);
        // Each round stores about 0.8 MB of names; 16 rounds without giving back would be 12 MB.
        QVERIFY2(db->nameBytes() < start + 6 * 1024 * 1024, qPrintable(QString::number(db->nameBytes())));
        QVERIFY(most < 8 * 1024 * 1024);
        QVERIFY(db->releasedNameBytes() < db->nameBytes() + 5 * 1024 * 1024);
        QCOMPARE(testutil::storedPaths(before).at(0),
                 QStringLiteral("/mnt/v/docs/Report 2015.txt"));
        QCOMPARE(testutil::storedPaths(before).at(1), QStringLiteral("/mnt/v/Projects/report.PDF"));
        QCOMPARE(find(*db, QStringLiteral("notes;report")), QStringList({
            "F /mnt/v/docs/Report 2015.txt", "F /mnt/v/Projects/report.PDF", "F /mnt/v/notes-15.txt"}));
    }

    void nameExclusionHashHitsAreConfirmed()
    {
        // Two lower-case names with the same 32-bit FNV-1 hash.
        QHash<quint32, QByteArray> seen;
        QByteArray a, b;
        for (int i = 0; a.isEmpty(); ++i) {
            const QByteArray name = "n" + QByteArray::number(i);
            const quint32 h = StringPool::hash(name.constData(), std::size_t(name.size()));
            if (seen.contains(h)) {
                a = seen.value(h);
                b = name;
            }
            seen.insert(h, name);
        }
        auto db = makeDb(settings({QString::fromLatin1(a)}));
        db->init(nullptr);
        db->addFile(50, 10, QString::fromLatin1(a), false);
        db->addFile(51, 10, QString::fromLatin1(b), false);
        QCOMPARE(find(*db, QString(), {Mount + "/docs"}), QStringList({
            "F /mnt/v/docs/Report 2015.txt", "F /mnt/v/docs/" + QString::fromLatin1(b)}));
    }

    void saveWritesTheExactFormatAndLoadRestoresIt()
    {
        auto db = makeDb(settings());
        db->init(nullptr);
        ScriptedJournalReader* reader = runningReader();
        reader->addBatch({ScriptedJournalEvent::added(25, 2, QStringLiteral("Übersicht.md"))}, 180);
        QVERIFY(reader->waitDelivered(180));
        db->save();
        QVERIFY(reader->isCanceled());

        // The whole file: the four classic fields ("2.0" as a QDataStream string, journal id,
        // resume USN, folders plus files), the header of 2.0, then block table, folders and
        // files in ascending number order (the root first), no further names, and the names.
        Format2 expected = volumeFile();
        expected.nextUsn = 180;
        expected.files.append({25, 2, QStringLiteral("Übersicht.md").toUtf8()});
        const QByteArray bytes = testutil::readFile(indexFile());
        QCOMPARE(bytes.toHex(), expected.bytes().toHex());
        QCOMPARE(bytes.left(32).toHex(), QByteArray("000000060032002e0030" "1122334455667788" "00000000000000b4"
                                                    "0000000b" "0000"));
        QCOMPARE(bytes.mid(32, 16).toHex(), QByteArray("54514958" "a0000000" "3412cdab" "01000000"));
        // The names, as the store holds them: [length][bytes][NUL], after block 0's zero byte.
        QVERIFY(bytes.contains(QByteArray("\x00\x06/mnt/v\x00\x04""docs\x00", 13)));
        QVERIFY(!QFile::exists(indexFile() + ".tmp"));
        db.reset();

        // The same journal (stable id, first USN not above the stored one, grown meanwhile): the
        // file is used, not the volume, and the monitor resumes at the stored USN; the file was
        // in step with it, so no walk follows.
        journal->setState(Mount, JournalState{JournalId, 0, 250});
        auto again = makeDb(settings());
        testutil::ThreadSafeSpy started(again.get(), &NTFSDriveDB::updateStarted);
        again->init(nullptr);
        QCOMPARE(again->count(), 11);
        FRN parent = 0;
        QByteArray name;
        QVERIFY(again->record(25, false, &parent, &name));
        QCOMPARE(parent, FRN(2));
        QCOMPARE(name, QStringLiteral("Übersicht.md").toUtf8());
        ScriptedJournalReader* resumed = runningReader();
        QVERIFY(resumed);
        QCOMPARE(resumed->lastStart(), USN(180));
        QCOMPARE(find(*again, QStringLiteral("report")), QStringList({
            "F /mnt/v/docs/Report 2015.txt", "F /mnt/v/Projects/report.PDF"}));
        QTest::qWait(50); // proves an absence: no walk follows
        QCOMPARE(layer->enumerations(), 1);
        QCOMPARE(started.count(), 0);
    }

    // A file of another run's journal (or not in step with it) is searched at once, while a
    // walk in the background makes it agree with the volume: "updating" until it is done, the
    // monitor following the volume from the load on, and the result what a walk gives.
    void loadedIndexIsReconciledInTheBackground()
    {
        Format2 file = volumeFile();
        file.journalId = JournalId + 1;
        file.files.append({40, 10, "gone.txt"});            // deleted while no index ran
        file.files[0] = {20, 11, "Report 2015.txt"};        // moved since (now in docs)
        QVERIFY(testutil::writeFile(indexFile(), file.bytes()));
        layer->holdWalks(true);
        auto db = makeDb(settings());
        testutil::ThreadSafeSpy started(db.get(), &NTFSDriveDB::updateStarted);
        testutil::ThreadSafeSpy finished(db.get(), &NTFSDriveDB::updateFinished);
        db->init(nullptr);
        // Searchable at once, from the file.
        QCOMPARE(find(*db, QStringLiteral("gone;report 2015")), QStringList({
            "F /mnt/v/Projects/Report 2015.txt", "F /mnt/v/docs/gone.txt"}));
        QVERIFY(layer->waitForHeldWalk());
        QCOMPARE(started.count(), 1);
        QCOMPARE(finished.count(), 0);
        // The monitor runs from the position read before the load; its changes show at once.
        // The index deletes this reader once the walk has replaced its monitor: watched, not held.
        QPointer<ScriptedJournalReader> first = journal->readers(Mount).first();
        QTRY_COMPARE(first->lastStart(), USN(100));
        first->addBatch({ScriptedJournalEvent::added(41, 10, QStringLiteral("while-walking.txt"))}, 120);
        QVERIFY(first->waitDelivered(120));
        QCOMPARE(find(*db, QStringLiteral("while-walking")), QStringList({"F /mnt/v/docs/while-walking.txt"}));

        // The walk finds the volume as it is now (with the new file) and replaces what was loaded.
        QVector<ScriptedVolumeLayer::Entry> now = {{10, 2, "docs", true}, {11, 2, "Projects", true},
                                                  {12, 11, "src", true}, {13, 12, ".svn", true},
                                                  {20, 10, "Report 2015.txt", false}, {21, 11, "report.PDF", false},
                                                  {22, 12, "main.cpp", false}, {23, 13, "entries", false},
                                                  {24, 2, "notes.txt", false}, {41, 10, "while-walking.txt", false}};
        layer->setEntries(Mount, now);
        layer->holdWalks(false);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(started.count(), 1);
        QCOMPARE(find(*db, QStringLiteral("gone;report 2015;while-walking")), QStringList({
            "F /mnt/v/docs/Report 2015.txt", "F /mnt/v/docs/while-walking.txt"}));
        QCOMPARE(db->count(), 11);
        QVERIFY(indexLogText().contains(QStringLiteral("Index of /mnt/v reconciled with the volume: 11 objects")));
        // A new monitor follows from the position taken before the walk (the journal's state
        // when the walk began), so what changed during the walk is applied again afterwards.
        ScriptedJournalReader* next = runningReader();
        QVERIFY(next && next != first.data());
        QCOMPARE(next->lastStart(), USN(100));
        QVERIFY(first.isNull()); // canceled, joined and deleted with its monitor
        // The reconciled index, saved, is in step: loading it again in this journal walks nothing.
        next->addBatch({ScriptedJournalEvent::deleted(41)}, 140);
        QVERIFY(next->waitDelivered(140));
        db->save();
        db.reset();
        journal->setState(Mount, JournalState{JournalId, 0, 150});
        const int walks = layer->enumerations();
        auto again = makeDb(settings());
        again->init(nullptr);
        QCOMPARE(runningReader()->lastStart(), USN(140));
        QTest::qWait(50); // proves an absence: no walk follows
        QCOMPARE(layer->enumerations(), walks);
        QCOMPARE(again->count(), 10);
    }

    // A save while batches stream in: the stored resume point never claims a batch whose
    // changes are not in the file.
    void saveClaimsOnlyAppliedBatches()
    {
        auto db = initDb();
        ScriptedJournalReader* reader = runningReader();
        for (int i = 0; i < 200; ++i) {
            QVector<ScriptedJournalEvent> batch;
            for (int k = 0; k < 50; ++k)
                batch.append(ScriptedJournalEvent::added(FRN(10000 + i * 50 + k), 10, QStringLiteral("b%1_%2").arg(i).arg(k)));
            reader->addBatch(batch, USN(200 + i * 10));
        }
        db->save();
        const QByteArray bytes = testutil::readFile(indexFile());
        const USN stored = qFromBigEndian<qint64>(bytes.constData() + 18);
        db.reset();

        journal->setState(Mount, JournalState{JournalId, 0, 100000});
        auto loaded = makeDb(settings());
        QVERIFY(loaded->load(nullptr));
        const int applied = stored < 200 ? 0 : int((stored - 200) / 10) + 1;
        for (int i = 0; i < applied; ++i) {
            for (int k = 0; k < 50; ++k)
                QVERIFY2(loaded->record(FRN(10000 + i * 50 + k), false, nullptr, nullptr), qPrintable(QString::number(i)));
        }
        QCOMPARE(runningReader()->lastStart(), stored);
    }

    void loadRejectsUnusableFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("outcome"); // "resumed", "reconciled" or "rejected"
        QTest::addColumn<QString>("message");
        Format2 base = volumeFile();
        base.files.append({999, 2, "ghost"});
        const QByteArray good = base.bytes();
        auto changed = [](Format2 f, const std::function<void(Format2&)>& change) {
            change(f);
            return f.bytes();
        };
        auto flipped = [&](int at) {
            QByteArray b = good;
            b[at] = char(b[at] ^ 0x20);
            return b;
        };
        auto resummed = [&](const std::function<void(QByteArray&)>& change) {
            QByteArray b = good;
            change(b);
            return format2Resum(b);
        };
        QTest::newRow("2.0 in step with this journal") << good << "resumed" << "Loading disk /mnt/v done";
        QTest::newRow("2.0 of another journal") << changed(base, [](Format2& f) { f.journalId = JournalId + 1; })
                                                << "reconciled" << "Loading disk /mnt/v done";
        QTest::newRow("2.0 not in step") << changed(base, [](Format2& f) { f.inStep = false; }) << "reconciled" << "";
        QTest::newRow("2.0 stored USN before the journal's first") << changed(base, [](Format2& f) { f.nextUsn = -1; })
                                                                  << "reconciled" << "";
        QTest::newRow("2.0 stored USN beyond the journal") << changed(base, [](Format2& f) { f.nextUsn = 101; })
                                                           << "reconciled" << "";
        QTest::newRow("2.0 stored USN equal to the first") << changed(base, [](Format2& f) { f.nextUsn = 0; })
                                                           << "resumed" << "";
        QTest::newRow("2.0 without files with the file system's id unknown")
            << changed(base, [](Format2& f) { f.fileSystemId = 0; f.files.clear(); }) << "resumed" << "";
        const int ghostName = good.indexOf("ghost");
        QTest::newRow("2.0 a name byte flipped") << flipped(ghostName + 1) << "rejected"
                                                 << "Load failed: the index file is damaged";
        QTest::newRow("2.0 a record byte flipped") << flipped(good.indexOf(Format2::le(quint64(999)))) << "rejected"
                                                   << "Load failed: the index file is damaged";
        QTest::newRow("2.0 a header byte flipped") << flipped(12) << "rejected" << "Load failed: the index file is damaged";
        QTest::newRow("2.0 of another serial") << changed(base, [](Format2& f) { f.serial = 0x77; }) << "rejected"
                                               << "Skip loading: the index file belongs to another file system";
        QTest::newRow("2.0 of another file system id") << changed(base, [](Format2& f) { f.fileSystemId = 5; })
                                                       << "rejected" << "belongs to another file system";
        QTest::newRow("2.0 of another root") << changed(base, [](Format2& f) { f.rootInode = 3; }) << "rejected"
                                             << "belongs to another file system";
        QTest::newRow("2.0 cut short") << good.left(good.size() - 8) << "rejected" << "Load failed: can't read all records";
        QTest::newRow("2.0 with bytes after its end") << good + QByteArray(8, '\0') << "rejected"
                                                      << "Load failed: can't read all records";
        QTest::newRow("2.0 header cut short") << good.left(100) << "rejected" << "Load failed: can't read all records";
        QTest::newRow("2.0 numbers out of order")
            << changed(base, [](Format2& f) { std::swap(f.files[1], f.files[2]); }) << "rejected"
            << "Load failed: can't read all records";
        QTest::newRow("2.0 a reference past the names") << resummed([&](QByteArray& b) {
            const int record = b.indexOf(Format2::le(quint64(999)));
            Format2::put(b, record + 16, quint32(5000));
        }) << "rejected" << "Load failed: can't read all records";
        QTest::newRow("2.0 a block larger than a block can be") << resummed([&](QByteArray& b) {
            Format2::put(b, 160, quint32(0x100001));
        }) << "rejected" << "Load failed: can't read all records";
        QTest::newRow("2.0 more records than the file holds") << resummed([&](QByteArray& b) {
            Format2::put(b, 72, quint64(1) << 40);
        }) << "rejected" << "Load failed: can't read all records";

        // Files of the layout before: read, then reconciled with the volume.
        const QByteArray rootRec = recordBytes(0, 2, "/mnt/v", true);
        const QByteArray ghost = recordBytes(2, 999, "ghost", false);
        QTest::newRow("1.0 of another journal") << headerBytes(JournalId + 1, 50, 2) + rootRec + ghost << "reconciled"
                                                << "Loading disk /mnt/v done";
        QTest::newRow("1.0 of this journal") << headerBytes(JournalId, 50, 2) + rootRec + ghost << "reconciled" << "";
        QTest::newRow("1.0 with another version text") << headerBytes(JournalId, 50, 2, "2.7") + rootRec + ghost
                                                       << "reconciled" << "";
        QTest::newRow("1.0 without records") << headerBytes(JournalId, 50, 0) << "reconciled" << "";
        QTest::newRow("1.0 with a 1024-byte name") << headerBytes(JournalId, 50, 2) + rootRec
                                                       + recordBytes(2, 999, QByteArray(1024, 'g'), false)
                                                   << "reconciled" << "";
        QTest::newRow("1.0 fewer records than counted") << headerBytes(JournalId, 50, 3) + rootRec + ghost << "rejected"
                                                        << "Load failed: can't read all records";
        QTest::newRow("1.0 record cut short") << headerBytes(JournalId, 50, 2) + rootRec + ghost.left(25) << "rejected"
                                              << "Load failed: can't read all records";
        QTest::newRow("1.0 negative name length") << headerBytes(JournalId, 50, 2) + rootRec
                                                         + recordBytes(2, 5, "x", false, -1)
                                                  << "rejected" << "Load failed: bad name length";
        QTest::newRow("1.0 name length above 1024") << headerBytes(JournalId, 50, 3) + rootRec + ghost
                                                           + recordBytes(2, 5, QByteArray(1025, 'x'), false)
                                                    << "rejected" << "Load failed: bad name length";
        QTest::newRow("1.0 header cut short") << headerBytes(JournalId, 50, 1).left(20) << "rejected"
                                              << "Load failed: can't read all records";
        QTest::newRow("1.0 negative count") << headerBytes(JournalId, 50, -1) << "rejected"
                                            << "Load failed: bad record count";
    }

    // What each file gives: resumed (loaded and followed from its own position, no walk),
    // reconciled (loaded and searchable, then walked in the background and replaced by what the
    // walk found), rejected (the volume is walked before the index is used). The ghost of the
    // file is in the index until a walk replaces it.
    void loadRejectsUnusableFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, outcome);
        QFETCH(QString, message);
        QVERIFY(testutil::writeFile(indexFile(), file));
        const int logBefore = indexLogText().size();
        const bool loaded = outcome != QLatin1String("rejected");
        layer->holdWalks(loaded);
        auto db = makeDb(settings());
        testutil::ThreadSafeSpy finished(db.get(), &NTFSDriveDB::updateFinished);
        db->init(nullptr);
        if (!message.isEmpty())
            QVERIFY2(indexLogText().mid(logBefore).contains(message), qPrintable(indexLogText().mid(logBefore)));
        if (outcome == QLatin1String("rejected")) {
            QCOMPARE(layer->enumerations(), 1);
            QVERIFY(!db->record(999, false, nullptr, nullptr));
            QCOMPARE(db->count(), 10);
        } else if (outcome == QLatin1String("resumed")) {
            QCOMPARE(runningReader()->lastStart(), USN(qFromBigEndian<qint64>(file.constData() + 18)));
            QTest::qWait(30); // proves an absence: no walk follows
            QCOMPARE(layer->enumerations(), 0);
            QCOMPARE(finished.count(), 0);
        } else {
            QVERIFY(layer->waitForHeldWalk());
            QCOMPARE(db->record(999, false, nullptr, nullptr), file.contains("ghost") || file.contains("ggg"));
            layer->holdWalks(false);
            QTRY_COMPARE(finished.count(), 1);
            QVERIFY(!db->record(999, false, nullptr, nullptr));
            QCOMPARE(db->count(), 10);
        }
        layer->holdWalks(false);
        QVERIFY(runningReader());
        // A failed load never deletes the file.
        QVERIFY(QFile::exists(indexFile()));
    }

    void journalFailureRebuildsTheIndex()
    {
        auto db = initDb();
        ScriptedJournalReader* reader = runningReader();
        testutil::ThreadSafeSpy rebuilt(db.get(), &NTFSDriveDB::rebuilt);
        // Records were lost: meanwhile the volume changed (one more file).
        layer->setEntries(Mount, {{10, 2, "docs", true}, {60, 10, "after-overflow.txt", false}});
        reader->failRead();
        QTRY_COMPARE(rebuilt.count(), 1);
        QCOMPARE(rebuilt.at(0).at(0).toBool(), true);
        QCOMPARE(layer->enumerations(), 2);
        QCOMPARE(db->count(), 3);
        QCOMPARE(find(*db, QStringLiteral("after")), QStringList({"F /mnt/v/docs/after-overflow.txt"}));
        QVERIFY(indexLogText().contains(QStringLiteral("rebuilding the index")));
        // The rebuilt index follows a new monitor.
        ScriptedJournalReader* next = runningReader();
        QVERIFY(next && next != reader);
        next->addBatch({ScriptedJournalEvent::added(61, 10, "later.txt")}, 300);
        QVERIFY(next->waitDelivered(300));
        QCOMPARE(find(*db, QStringLiteral("later")), QStringList({"F /mnt/v/docs/later.txt"}));
        QCOMPARE(db->stopJournal(), USN(300));
    }

    // A rebuild walks the volume without holding the index: searches meanwhile are answered from
    // the index as it was. Destroying the index while a rebuild walks cancels and joins it.
    void searchesGoOnWhileARebuildWalks()
    {
        HeldVolumeLayer* held = useHeldVolumeLayer();
        auto db = initDb();
        testutil::ThreadSafeSpy rebuilt(db.get(), &NTFSDriveDB::rebuilt);
        held->hold = true;
        layer->setEntries(Mount, {{10, 2, "docs", true}, {60, 10, "after.txt", false}});
        runningReader()->failRead();
        QVERIFY(held->entered.tryAcquire(1, 5000));
        QCOMPARE(find(*db, QStringLiteral("report")).size(), 2);
        QCOMPARE(db->count(), 10);
        held->proceed.release();
        QTRY_COMPARE(rebuilt.count(), 1);
        QCOMPARE(find(*db, QStringLiteral("report;after")), QStringList({"F /mnt/v/docs/after.txt"}));

        runningReader()->failRead();
        QVERIFY(held->entered.tryAcquire(1, 5000));
        std::thread release([held] {
            QThread::msleep(50); // a fixed wait: the destructor below waits for the held rebuild
            held->proceed.release();
        });
        db.reset();
        release.join();
        QCOMPARE(rebuilt.count(), 1);
        QVERIFY(indexLogText().contains(QStringLiteral("Rebuilding the index of /mnt/v canceled")));
        held->hold = false;
    }

    // A rebuild that fails is tried again after a while, for as long as the volume is there.
    // (The back-off itself and a stop while a rebuild waits to try again: tst_rebuildscheduler.)
    void failedRebuildIsTriedAgain()
    {
        NTFSDriveDB::setRebuildRetryDelay(20);
        HeldVolumeLayer* held = useHeldVolumeLayer();
        auto db = initDb();
        testutil::ThreadSafeSpy rebuilt(db.get(), &NTFSDriveDB::rebuilt);
        held->failures = 2;
        layer->setEntries(Mount, {{10, 2, "docs", true}, {60, 10, "after.txt", false}});
        runningReader()->failRead();
        QTRY_COMPARE(rebuilt.count(), 3);
        QCOMPARE(rebuilt.at(0).at(0).toBool(), false);
        QCOMPARE(rebuilt.at(1).at(0).toBool(), false);
        QCOMPARE(rebuilt.at(2).at(0).toBool(), true);
        QVERIFY(indexLogText().contains(QRegularExpression(QStringLiteral("Rebuilding the index of /mnt/v failed: [^\n]*cannot read for now[^\n]*; trying again in 1 seconds"))));
        QCOMPARE(find(*db, QStringLiteral("report;after")), QStringList({"F /mnt/v/docs/after.txt"}));
        db.reset();
        NTFSDriveDB::setRebuildRetryDelay(60000);
    }

    // A journal that fails because its volume went away: nothing else is indexed in its place,
    // and the stale index is not saved.
    void journalFailureOfAGoneVolume()
    {
        auto db = initDb();
        ScriptedJournalReader* reader = runningReader();
        testutil::ThreadSafeSpy rebuilt(db.get(), &NTFSDriveDB::rebuilt);
        layer->removeVolume(Mount);
        reader->failRead();
        QTRY_COMPARE(rebuilt.count(), 1);
        QCOMPARE(rebuilt.at(0).at(0).toBool(), false);
        QCOMPARE(layer->enumerations(), 1);
        QVERIFY(indexLogText().contains(QStringLiteral("Volume /mnt/v is gone; its index is not rebuilt")));
        db->save();
        QVERIFY(!QFile::exists(indexFile()));
        QVERIFY(indexLogText().contains(QStringLiteral("Index of /mnt/v not saved: it is incomplete")));
    }

    void saveFailuresAndUnnamedVolumes()
    {
        // A volume without a serial is never written.
        layer->setFileId(QStringLiteral("/mnt/noserial"), 2, true);
        journal->setState(QStringLiteral("/mnt/noserial"), JournalState{1, 0, 0});
        {
            NTFSDriveDB db(QStringLiteral("/mnt/noserial"), settings());
            db.init(nullptr);
            db.save();
        }
        QVERIFY(!QFile::exists(dataDir.path() + "/DB/0"));

        // A folder that cannot be created throws; an existing file stays intact.
        auto db = initDb();
        db->save();
        const QByteArray good = testutil::readFile(indexFile());
        QVERIFY(!good.isEmpty());
        IndexingSettings broken = settings();
        broken.dbPath = indexFile(); // a file, not a folder
        db->setExclusions(broken);
        QVERIFY_EXCEPTION_THROWN(db->save(), FileSearchException);
        QCOMPARE(testutil::readFile(indexFile()), good);
    }

    // The file lists every name of the volume: only its owner may read it. A link planted in
    // place of the "DB" folder is not followed, neither to write nor to delete.
    void indexFileIsPrivateAndNotWrittenThroughALink()
    {
        // Left behind by saves that were ended half-way; another volume's are not touched.
        QDir().mkpath(dataDir.path() + "/DB");
        QVERIFY(testutil::writeFile(indexFile() + ".tmp1f2e3d", "half"));
        QVERIFY(testutil::writeFile(dataDir.path() + "/DB/77.tmp99", "other"));
        auto db = initDb();
        db->save();
        QVERIFY(QFile::remove(dataDir.path() + "/DB/77.tmp99"));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(indexFile()).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0600);
        QCOMPARE(QDir(dataDir.path() + "/DB").entryList(QDir::Files | QDir::Hidden), QStringList({"abcd1234"}));

        QTemporaryDir elsewhere;
        QVERIFY(QFile::copy(indexFile(), elsewhere.path() + "/valid"));
        QTemporaryDir base;
        QVERIFY(QFile::link(elsewhere.path(), base.path() + "/DB"));
        QVERIFY(testutil::writeFile(elsewhere.path() + "/abcd1234", "keep"));
        IndexingSettings linked = settings();
        linked.dbPath = base.path();
        auto other = makeDb(linked);
        other->init(nullptr);
        QVERIFY_EXCEPTION_THROWN(other->save(), FileSearchException);
        NTFSDriveDB::deleteDBFile(base.path(), Serial);
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"abcd1234", "valid"}));
        QCOMPARE(testutil::readFile(elsewhere.path() + "/abcd1234"), QByteArray("keep"));

        // A FIFO in place of the file is not opened (it would block the start for ever), nor is
        // a link in the file's own name followed: the volume is walked instead.
        QFile::remove(indexFile());
        QCOMPARE(::mkfifo(QFile::encodeName(indexFile()).constData(), 0600), 0);
        const int before = layer->enumerations();
        makeDb(settings())->init(nullptr);
        QCOMPARE(layer->enumerations(), before + 1);
        QFile::remove(indexFile());
        QVERIFY(QFile::link(elsewhere.path() + "/valid", indexFile()));
        makeDb(settings())->init(nullptr);
        QCOMPARE(layer->enumerations(), before + 2);
        QFile::remove(indexFile());
        QVERIFY(QFile::copy(elsewhere.path() + "/valid", indexFile())); // the same file itself loads
        makeDb(settings())->init(nullptr);
        QCOMPARE(layer->enumerations(), before + 2);
    }

    // A link higher up the index folder's path is followed when it is ours (or root's), and
    // refused, for saving and loading, when another user planted it: the save fails, the load
    // walks the volume, and nothing lands where that link points.
    void linksAboveTheIndexFolder()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (a link of another user)");
        QTemporaryDir place;
        const QString target = place.path() + "/target";
        QVERIFY(QDir().mkpath(target + "/data"));
        const QString ownLink = place.path() + "/own";
        QVERIFY(QFile::link(target, ownLink));
        IndexingSettings viaOwn = settings();
        viaOwn.dbPath = ownLink + "/data";
        auto db = makeDb(viaOwn);
        db->init(nullptr);
        db->save();
        QVERIFY(QFileInfo::exists(target + "/data/DB/abcd1234"));
        int before = layer->enumerations();
        makeDb(viaOwn)->init(nullptr);
        QCOMPARE(layer->enumerations(), before); // loaded through our own link

        const QString userLink = place.path() + "/user";
        QVERIFY(QFile::link(target, userLink));
        QVERIFY(::lchown(QFile::encodeName(userLink).constData(), 65534, 65534) == 0);
        IndexingSettings viaUser = settings();
        viaUser.dbPath = userLink + "/data";
        before = layer->enumerations();
        auto refused = makeDb(viaUser);
        refused->init(nullptr);
        QCOMPARE(layer->enumerations(), before + 1); // the file behind the link is not read
        QVERIFY(QFile::remove(target + "/data/DB/abcd1234"));
        QVERIFY_EXCEPTION_THROWN(refused->save(), FileSearchException);
        QVERIFY(QDir(target + "/data/DB").entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(QDir(place.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    // Damaged files: random changes of a valid file never crash or hang the loader, and a
    // file that is used holds nothing beyond what it says.
    void loaderSurvivesDamagedFiles()
    {
        {
            auto db = makeDb(settings());
            db->init(nullptr);
            db->save();
        }
        const QByteArray valid = testutil::readFile(indexFile());
        QVERIFY(valid.size() > 100);
        std::mt19937 rng(1234);
        const int rounds = 300;
        for (int round = 0; round < rounds; ++round) {
            QByteArray damaged = valid;
            const int changes = 1 + int(rng() % 6);
            for (int c = 0; c < changes; ++c) {
                const int at = int(rng() % quint32(damaged.size()));
                switch (rng() % 4) {
                case 0: damaged[at] = char(rng()); break;
                case 1: damaged[at] = char(0xff); break;
                case 2: damaged.truncate(at); break;
                default: damaged.insert(at, QByteArray(int(rng() % 9), char(rng()))); break;
                }
                if (damaged.isEmpty())
                    break;
            }
            QVERIFY(testutil::writeFile(indexFile(), damaged));
            journal->setState(Mount, JournalState{JournalId, 0, 100});
            auto db = makeDb(settings());
            db->init(nullptr);
            QVERIFY(db->count() >= 0);
            find(*db, QString());
        }
        // A version text that claims more bytes than any memory holds.
        QVERIFY(testutil::writeFile(indexFile(), be32(0x7ffffffe) + valid.mid(10)));
        const int before = layer->enumerations();
        auto db = initDb();
        QCOMPARE(layer->enumerations(), before + 1);
        QCOMPARE(db->count(), 10);
    }
};

QTEST_GUILESS_MAIN(TestNTFSDriveDB)
#include "tst_ntfsdrivedb.moc"
