// Files with several names (hard links) in the per-volume index, over a scripted volume and
// journal: every name is kept from the walk, searched, changed one at a time by the update
// slots, and saved in the index file's section of further names.
#include "core/Arena.h"
#include "core/Logger.h"
#include "indexfilebytes.h"
#include "indexlog.h"
#include "indextest.h"
#include "scopedinstance.h"
#include "search/index/ExtraNames.h"
#include "search/index/NTFSDriveDB.h"
#include "search/index/NameStore.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "storedresults.h"
#include "tests/doubles/ScriptedJournalBackend.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "testutil.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <map>
#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace {

const QString Mount = QStringLiteral("/mnt/v");
const quint32 Serial = 0xabcd1234u;
const JournalID JournalId = 0x1122334455667788ull;

} // namespace

class TestIndexNames : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir logDir;
    QTemporaryDir dataDir;
    std::unique_ptr<ScriptedVolumeLayer> layer;
    std::unique_ptr<ScriptedJournalBackend> journal;
    std::optional<testutil::ScopedInstance<VolumeLayer>> installedLayer;
    std::optional<testutil::ScopedInstance<JournalBackend>> installedJournal;

    IndexingSettings settings(const QStringList& excludes = {}) const
    {
        IndexingSettings s;
        s.dbPath = dataDir.path();
        s.excludePaths = excludes;
        return s;
    }

    QString indexFile() const { return dataDir.path() + QStringLiteral("/DB/abcd1234"); }

    // The volume (the walk lists file 30 three times, 31 twice, 32 twice under one name):
    //   2 /mnt/v
    //     10 docs/      30 a.txt, 30 b.txt, 31 two, 32 once, 32 once, 33 single.txt
    //     11 Projects/  30 c.txt, 31 two
    void scriptVolume()
    {
        VolumeDescription v;
        v.mountPoint = Mount;
        v.fsType = QStringLiteral("ext4");
        v.serial = Serial;
        v.indexable = true;
        v.fixed = true;
        layer->addVolume(v);
        layer->setFileId(Mount, 2, true);
        layer->setFileId(Mount + "/docs", 10, true);
        layer->setFileId(Mount + "/Projects", 11, true);
        layer->setFileId(Mount + "/docs/a.txt", 30, false);
        layer->setEntries(Mount, {
            {10, 2, "docs", true},
            {30, 10, "b.txt", false},
            {31, 11, "two", false},
            {11, 2, "Projects", true},
            {30, 11, "c.txt", false},
            {32, 10, "once", false},
            {33, 10, "single.txt", false},
            {31, 10, "two", false},
            {32, 10, "once", false},
            {30, 10, "a.txt", false},
        });
        journal->setState(Mount, JournalState{JournalId, 0, 100});
    }

    std::unique_ptr<NTFSDriveDB> initDb(const IndexingSettings& s)
    {
        std::unique_ptr<NTFSDriveDB> db(new NTFSDriveDB(Mount, s));
        db->init(nullptr);
        return db;
    }
    std::unique_ptr<NTFSDriveDB> initDb() { return initDb(settings()); }

    static QStringList find(NTFSDriveDB& db, const QString& pattern, const QStringList& include = {},
                            bool subfolders = true, const QStringList& exclude = {})
    {
        return markedSearchPaths(db, pattern, include, subfolders, exclude);
    }

    // Every name of every file of the volume, "frn: parent/name ...", for whole-state checks.
    static QStringList names(NTFSDriveDB& db, std::initializer_list<FRN> frns)
    {
        QStringList out;
        for (const FRN f : frns)
            out << QStringLiteral("%1: %2").arg(f).arg(db.fileNames(f).join(QLatin1Char(' ')));
        return out;
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

    // The table of further names against a plain model, over random operations on a few
    // thousand files whose names share parents and bytes (growth of both hash tables, removal
    // by backward shift, slots reused, first names changed under it).
    void extraNamesFollowAModel()
    {
        Arena arena;
        IndexMap firsts(arena);
        NameStore store;
        ExtraNames table(firsts, store);
        // One reference per text, so that equal names compare equal as references.
        std::map<QByteArray, NameStore::Ref> refs;
        auto nameRef = [&](const QByteArray& text) {
            auto it = refs.find(text);
            if (it == refs.end())
                it = refs.emplace(text, store.add(text.constData(), text.size())).first;
            return it->second;
        };
        struct Model
        {
            IndexEntry first;
            std::vector<IndexEntry> extras;
        };
        std::map<quint64, Model> model;
        std::mt19937 random(7);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        auto randomName = [&] {
            return IndexEntry{quint64(1 + pick(20)), nameRef("n" + QByteArray::number(pick(40)))};
        };
        auto same = [](const IndexEntry& a, const IndexEntry& b) { return a.parent == b.parent && a.name == b.name; };
        auto holds = [&](const Model& m, const IndexEntry& e) {
            if (same(m.first, e))
                return true;
            for (const IndexEntry& x : m.extras)
                if (same(x, e))
                    return true;
            return false;
        };
        for (int step = 0; step < 200000; ++step) {
            const quint64 frn = quint64(1 + pick(3000));
            auto it = model.find(frn);
            const IndexEntry e = randomName();
            switch (pick(6)) {
            case 0:
            case 1: // a further name (the first one when the file is new)
                if (it == model.end()) {
                    firsts.set(frn, e);
                    model[frn].first = e;
                } else if (!holds(it->second, e)) {
                    table.add(frn, it->second.first, e.parent, e.name);
                    it->second.extras.push_back(e);
                }
                break;
            case 2: // one name removed
                if (it != model.end()) {
                    const IndexEntry x = it->second.extras.empty() ? e : it->second.extras[std::size_t(pick(int(it->second.extras.size())))];
                    bool expected = false;
                    for (auto k = it->second.extras.begin(); k != it->second.extras.end(); ++k) {
                        if (same(*k, x)) {
                            it->second.extras.erase(k);
                            expected = true;
                            break;
                        }
                    }
                    QCOMPARE(table.remove(frn, x.parent, store.text(x.name)), expected);
                }
                break;
            case 3: // the first name gives way to the oldest further one
                if (it != model.end()) {
                    IndexEntry taken;
                    QCOMPARE(table.takeOne(frn, &taken), !it->second.extras.empty());
                    if (!it->second.extras.empty()) {
                        QVERIFY(same(taken, it->second.extras.front()));
                        it->second.extras.erase(it->second.extras.begin());
                        it->second.first = taken;
                        firsts.set(frn, taken);
                        table.setFirst(frn, taken);
                    }
                }
                break;
            case 4: // a new first name
                if (it != model.end() && !holds(it->second, e)) {
                    it->second.first = e;
                    firsts.set(frn, e);
                    table.setFirst(frn, e);
                }
                break;
            case 5: // the file goes
                if (it != model.end() && pick(4) == 0) {
                    table.removeAll(frn);
                    firsts.erase(frn);
                    model.erase(it);
                }
                break;
            }
            if (step % 1000 != 999)
                continue;
            std::size_t names = 0, files = 0;
            for (const auto& m : model) {
                names += m.second.extras.size();
                files += m.second.extras.empty() ? 0 : 1;
                std::vector<IndexEntry> seen;
                table.forEachOf(m.first, [&](const IndexEntry& x) { seen.push_back(x); });
                QCOMPARE(seen.size(), m.second.extras.size());
                for (std::size_t k = 0; k < seen.size(); ++k)
                    QVERIFY(same(seen[k], m.second.extras[k]));
                QCOMPARE(table.has(m.first), !m.second.extras.empty());
            }
            QCOMPARE(table.size(), names);
            QCOMPARE(table.fileCount(), files);
            // The owner of a name, among files with further names, other than a given one.
            for (int q = 0; q < 50; ++q) {
                const IndexEntry x = randomName();
                const quint64 except = quint64(1 + pick(3000));
                const quint64 owner = table.otherOwner(x.parent, store.text(x.name), except);
                bool any = false;
                for (const auto& m : model)
                    any = any || (m.first != except && !m.second.extras.empty() && holds(m.second, x));
                QCOMPARE(owner != 0, any);
                if (owner) {
                    QVERIFY(owner != except);
                    QVERIFY(holds(model[owner], x));
                }
            }
        }
        QVERIFY(table.fileCount() > 100);
    }

    // The walk's last name of a number is its record; the others are further names, each once.
    // A search reports folders, then files by their records, then the further names by number.
    void theWalkKeepsEveryName()
    {
        auto db = initDb();
        QCOMPARE(db->count(), 7); // objects, not names
        QCOMPARE(db->fileCount(), 4);
        QCOMPARE(db->extraNameCount(), 3);
        QCOMPARE(names(*db, {30, 31, 32, 33}), QStringList({"30: 10/a.txt 10/b.txt 11/c.txt", "31: 10/two 11/two",
                                                            "32: 10/once", "33: 10/single.txt"}));
        QCOMPARE(find(*db, QString()), QStringList({
            "D /mnt/v/docs", "D /mnt/v/Projects",
            "F /mnt/v/docs/a.txt", "F /mnt/v/docs/two", "F /mnt/v/docs/once", "F /mnt/v/docs/single.txt",
            "F /mnt/v/docs/b.txt", "F /mnt/v/Projects/c.txt", "F /mnt/v/Projects/two"}));
        QCOMPARE(find(*db, QStringLiteral("b.txt;c.txt")), QStringList({"F /mnt/v/docs/b.txt", "F /mnt/v/Projects/c.txt"}));
    }

    // Include and exclude folders, name exclusions and the file exclusion apply to every name.
    void folderTestsApplyToEveryName()
    {
        auto db = initDb(settings({QStringLiteral("PROJECTS")}));
        QCOMPARE(find(*db, QStringLiteral("txt;two")), QStringList({
            "F /mnt/v/docs/a.txt", "F /mnt/v/docs/two", "F /mnt/v/docs/single.txt", "F /mnt/v/docs/b.txt"}));
        db->setExclusions(settings());
        QCOMPARE(find(*db, QStringLiteral("txt;two"), {Mount + "/Projects"}), QStringList({
            "F /mnt/v/Projects/c.txt", "F /mnt/v/Projects/two"}));
        QCOMPARE(find(*db, QStringLiteral("txt;two"), {}, true, {Mount + "/docs"}), QStringList({
            "F /mnt/v/Projects/c.txt", "F /mnt/v/Projects/two"}));
        // An excluded file path names the file, with all its names.
        QCOMPARE(find(*db, QStringLiteral("txt"), {}, true, {Mount + "/docs/a.txt"}), QStringList({
            "F /mnt/v/docs/single.txt"}));
    }

    // A new name joins the others; a name it has already, or a repeated event, changes nothing.
    void addedNamesJoinTheOthers()
    {
        auto db = initDb();
        db->addFile(33, 11, QStringLiteral("linked.txt"), false);
        db->addFile(33, 11, QStringLiteral("linked.txt"), false);
        db->addFile(33, 10, QStringLiteral("single.txt"), false);
        db->addFile(30, 11, QStringLiteral("c.txt"), false);
        db->addFile(40, 10, QStringLiteral("new"), false); // a new file
        QCOMPARE(names(*db, {30, 33, 40}), QStringList({"30: 10/a.txt 10/b.txt 11/c.txt",
                                                        "33: 10/single.txt 11/linked.txt", "40: 10/new"}));
        QCOMPARE(db->count(), 8);
        QCOMPARE(find(*db, QStringLiteral("single;linked")), QStringList({
            "F /mnt/v/docs/single.txt", "F /mnt/v/Projects/linked.txt"}));
        // A number that becomes a folder has one name.
        db->addFile(31, 2, QStringLiteral("now-a-folder"), true);
        QCOMPARE(db->fileNames(31), QStringList());
        QVERIFY(db->record(31, true, nullptr, nullptr));
        QVERIFY(find(*db, QStringLiteral("two")).isEmpty());
    }

    // A rename that names the name left moves only that name: a further one, the first one, or
    // onto a name the file has already (the old one just goes).
    void aRenameMovesOneName()
    {
        auto db = initDb();
        db->moveName(30, 10, QStringLiteral("b.txt"), 11, QStringLiteral("b2.txt"), false);
        QCOMPARE(names(*db, {30}), QStringList({"30: 10/a.txt 11/c.txt 11/b2.txt"}));
        db->moveName(30, 10, QStringLiteral("a.txt"), 10, QStringLiteral("a2.txt"), false);
        QCOMPARE(names(*db, {30}), QStringList({"30: 10/a2.txt 11/c.txt 11/b2.txt"}));
        db->moveName(30, 11, QStringLiteral("c.txt"), 10, QStringLiteral("a2.txt"), false);
        QCOMPARE(names(*db, {30}), QStringList({"30: 10/a2.txt 11/b2.txt"}));
        db->moveName(30, 10, QStringLiteral("a2.txt"), 11, QStringLiteral("b2.txt"), false);
        QCOMPARE(names(*db, {30}), QStringList({"30: 11/b2.txt"}));
        // One name left: the record follows the rename whatever the old name says.
        db->moveName(30, 10, QStringLiteral("unknown"), 2, QStringLiteral("top.txt"), false);
        QCOMPARE(names(*db, {30}), QStringList({"30: 2/top.txt"}));
        QCOMPARE(find(*db, QStringLiteral("txt")), QStringList({"F /mnt/v/top.txt", "F /mnt/v/docs/single.txt"}));
        // A rename without the old name keeps the file's names when it has the new one already,
        // else the first name takes it (renames of single names, folders).
        db->renameFile(31, 11, QStringLiteral("two"), false);
        QCOMPARE(names(*db, {31}), QStringList({"31: 10/two 11/two"}));
        db->renameFile(31, 2, QStringLiteral("three"), false);
        QCOMPARE(names(*db, {31}), QStringList({"31: 2/three 11/two"}));
        // An old name not known among several: the new one joins the others.
        db->moveName(31, 10, QStringLiteral("gone"), 10, QStringLiteral("four"), false);
        QCOMPARE(names(*db, {31}), QStringList({"31: 2/three 11/two 10/four"}));
    }

    // Removing one name leaves the others; the first one gives way to a further one; the last
    // name takes the file with it; unknown names and folders are left alone.
    void removedNamesLeaveTheOthers()
    {
        auto db = initDb();
        db->removeName(30, 10, QStringLiteral("b.txt"), false);
        QCOMPARE(names(*db, {30}), QStringList({"30: 10/a.txt 11/c.txt"}));
        db->removeName(30, 10, QStringLiteral("a.txt"), false);
        QCOMPARE(names(*db, {30}), QStringList({"30: 11/c.txt"}));
        QCOMPARE(find(*db, QStringLiteral(".txt")), QStringList({"F /mnt/v/Projects/c.txt", "F /mnt/v/docs/single.txt"}));
        db->removeName(30, 10, QStringLiteral("c.txt"), false); // another folder's c.txt
        db->removeName(30, 11, QStringLiteral("c.txt"), true);  // a folder
        QCOMPARE(names(*db, {30}), QStringList({"30: 11/c.txt"}));
        QCOMPARE(db->count(), 7);
        db->removeName(30, 11, QStringLiteral("c.txt"), false);
        QCOMPARE(db->fileNames(30), QStringList());
        QCOMPARE(db->count(), 6);
        // The object's own deletion takes every name.
        db->deleteFile(31, false);
        QCOMPARE(db->fileNames(31), QStringList());
        QCOMPARE(db->extraNameCount(), 0);
        QVERIFY(find(*db, QStringLiteral("two")).isEmpty());
    }

    // A rename of another object over one of a file's names takes that name from the file:
    // nothing else reports that the file lost it.
    void aNameTakenOverLeavesTheFile()
    {
        auto db = initDb();
        db->moveName(33, 10, QStringLiteral("single.txt"), 10, QStringLiteral("b.txt"), false);
        QCOMPARE(names(*db, {30, 33}), QStringList({"30: 10/a.txt 11/c.txt", "33: 10/b.txt"}));
        db->renameFile(33, 10, QStringLiteral("a.txt"), false);
        QCOMPARE(names(*db, {30, 33}), QStringList({"30: 11/c.txt", "33: 10/a.txt"}));
        QCOMPARE(find(*db, QStringLiteral(".txt")), QStringList({"F /mnt/v/Projects/c.txt", "F /mnt/v/docs/a.txt"}));
        // Two names of the same file never take each other.
        db->addFile(31, 11, QStringLiteral("two"), false);
        QCOMPARE(names(*db, {31}), QStringList({"31: 10/two 11/two"}));
    }

    // The index file: folders and files by their records (their count without the further
    // names), then the further names by file number; read back into the same names.
    void theIndexFileKeepsEveryName()
    {
        auto db = initDb();
        db->addFile(33, 11, QStringLiteral("x"), false); // a further name out of walk order
        db->save();
        Format2 expected;
        expected.journalId = JournalId;
        expected.nextUsn = 100;
        expected.serial = Serial;
        expected.rootInode = 2;
        expected.folders = {{2, 0, "/mnt/v"}, {10, 2, "docs"}, {11, 2, "Projects"}};
        expected.files = {{30, 10, "a.txt"}, {31, 10, "two"}, {32, 10, "once"}, {33, 10, "single.txt"}};
        expected.further = {{30, 10, "b.txt"}, {30, 11, "c.txt"}, {31, 11, "two"}, {33, 11, "x"}};
        const QByteArray bytes = testutil::readFile(indexFile());
        QCOMPARE(bytes.toHex(), expected.bytes().toHex());
        QCOMPARE(qFromBigEndian<qint32>(bytes.constData() + 26), 7);
        db.reset();

        auto loaded = initDb();
        QVERIFY(indexLogText().contains(QStringLiteral("Loading disk %1 done").arg(Mount)));
        QCOMPARE(layer->enumerations(), 1); // only the first index walked the volume
        QCOMPARE(names(*loaded, {30, 31, 32, 33}), QStringList({"30: 10/a.txt 10/b.txt 11/c.txt",
                                                                "31: 10/two 11/two", "32: 10/once",
                                                                "33: 10/single.txt 11/x"}));

        // Without further names the section is empty.
        loaded->deleteFile(30, false);
        loaded->deleteFile(31, false);
        loaded->removeName(33, 11, QStringLiteral("x"), false);
        loaded->save();
        expected.files = {{32, 10, "once"}, {33, 10, "single.txt"}};
        expected.further.clear();
        QCOMPARE(testutil::readFile(indexFile()).toHex(), expected.bytes().toHex());
    }

    void sectionsThatLoadAndThatDoNot_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("names"); // of file 30 when accepted
        const QByteArray link = recordBytes(11, 30, "c.txt", false);
        const QStringList plain({"30: 10/a.txt"});
        QTest::newRow("no section") << QByteArray() << true << plain;
        QTest::newRow("one name") << QByteArray("LINK") + be32(1) + link << true
                                  << QStringList({"30: 10/a.txt 11/c.txt"});
        QTest::newRow("empty section") << QByteArray("LINK") + be32(0) << true << plain;
        QTest::newRow("other bytes after the records") << QByteArray("JUNKJUNK") << true << plain;
        QTest::newRow("fewer bytes than a marker") << QByteArray("LI") << true << plain;
        QTest::newRow("names of unknown files and folders")
            << QByteArray("LINK") + be32(2) + recordBytes(10, 99, "ghost", false) + recordBytes(2, 30, "d", true)
            << true << plain;
        QTest::newRow("fewer names than counted") << QByteArray("LINK") + be32(2) + link << false << QStringList();
        QTest::newRow("name cut short") << QByteArray("LINK") + be32(1) + link.left(24) << false << QStringList();
        QTest::newRow("count cut short") << QByteArray("LINK") + QByteArray(2, 0) << false << QStringList();
        QTest::newRow("negative count") << QByteArray("LINK") + be32(-1) << false << QStringList();
        QTest::newRow("bad name length") << QByteArray("LINK") + be32(1) + recordBytes(11, 30, "c", false, 5000)
                                         << false << QStringList();
    }

    // A file of the layout before (1.0) without the section loads, and so does one with other
    // bytes after the records; a damaged section makes the index rebuild from the volume. A
    // loaded one is then reconciled with the volume by a walk (held here until it is looked at).
    void sectionsThatLoadAndThatDoNot()
    {
        QFETCH(QByteArray, tail);
        QFETCH(bool, accepted);
        QFETCH(QStringList, names);
        layer->setEntries(Mount, {{10, 2, "docs", true}, {11, 2, "Projects", true}, {30, 10, "walked.txt", false}});
        const QByteArray file = headerBytes(JournalId, 50, 4) + recordBytes(0, 2, "/mnt/v", true) + recordBytes(2, 10, "docs", true)
            + recordBytes(2, 11, "Projects", true) + recordBytes(10, 30, "a.txt", false) + tail;
        QVERIFY(testutil::writeFile(indexFile(), file));
        layer->holdWalks(accepted);
        auto db = initDb();
        if (accepted) {
            QVERIFY(layer->waitForHeldWalk());
            QCOMPARE(this->names(*db, {30}), names);
            layer->holdWalks(false);
            QTRY_COMPARE(this->names(*db, {30}), QStringList({"30: 10/walked.txt"}));
        } else {
            QCOMPARE(layer->enumerations(), 1);
            QCOMPARE(this->names(*db, {30, 99}), QStringList({"30: 10/walked.txt", "99: "}));
        }
        QCOMPARE(db->record(99, false, nullptr, nullptr), false);
    }
};

QTEST_GUILESS_MAIN(TestIndexNames)
#include "tst_indexnames.moc"
