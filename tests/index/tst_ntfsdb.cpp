// The index set over scripted volumes and journals: which volumes are indexed, what happens
// when they come and go or the settings change, and how failures are contained.
#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "search/index/DriveConnectionNotifier.h"
#include "search/index/NTFSDB.h"
#include "search/index/NTFSFileSearcher.h"
#include "search/index/VolumeHistory.h"
#include "tests/doubles/ScriptedJournalBackend.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "indexlog.h"
#include "indextest.h"
#include "testutil.h"
#include "threadsafespy.h"
#include "scopedinstance.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

class TestNTFSDB : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir logDir;
    QTemporaryDir dataDir;
    QTemporaryDir mountDir;
    std::unique_ptr<ScriptedVolumeLayer> layer;
    std::unique_ptr<ScriptedJournalBackend> journal;
    std::optional<testutil::ScopedInstance<VolumeLayer>> installedLayer;
    std::optional<testutil::ScopedInstance<JournalBackend>> installedJournal;

    QString mountInfo() const { return mountDir.path() + QStringLiteral("/mountinfo"); }

    // A volume at `mp` with one file named after it (inode 100 + serial's low byte).
    void addVolume(const QString& mp, quint32 serial, bool fixed = true, bool withJournal = true)
    {
        VolumeDescription v;
        v.mountPoint = mp;
        v.fsType = QStringLiteral("ext4");
        v.serial = serial;
        v.indexable = true;
        v.fixed = fixed;
        layer->addVolume(v);
        layer->setFileId(mp, 2, true);
        const QString leaf = mp.mid(mp.lastIndexOf('/') + 1);
        layer->setEntries(mp, {{100 + (serial & 0xff), 2, "file-" + leaf.toUtf8(), false}});
        if (withJournal)
            journal->setState(mp, JournalState{0x5000 + serial, 0, 10});
    }

    IndexingSettings settings(const QList<quint32>& index = {}, const QList<quint32>& noIndex = {},
                              bool fixed = true, bool removable = false) const
    {
        IndexingSettings s;
        s.indexDrives = index;
        s.noIndexDrives = noIndex;
        s.autoAddFixed = fixed;
        s.autoAddRemovable = removable;
        s.dbPath = dataDir.path();
        return s;
    }

    QString file(quint32 serial) const { return dataDir.path() + "/DB/" + QString::number(serial, 16); }

    static QMap<QString, int> counts(const NTFSDB& db)
    {
        QMap<QString, int> out;
        db.indexedCounts(out);
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(logDir.isValid() && dataDir.isValid() && mountDir.isValid());
        Logger::instance(logDir.path() + QStringLiteral("/test.log"));
        QVERIFY(testutil::writeFile(mountInfo(), QByteArray()));
    }

    void init()
    {
        layer.reset(new ScriptedVolumeLayer);
        journal.reset(new ScriptedJournalBackend);
        installedLayer.emplace(layer.get());
        installedJournal.emplace(journal.get());
        QDir(dataDir.path() + "/DB").removeRecursively();
    }

    void cleanup()
    {
        installedLayer.reset();
        installedJournal.reset();
    }

    void autoAddRules()
    {
        addVolume("/mnt/fixed", 0x11);
        addVolume("/mnt/usb", 0x22, false);
        addVolume("/mnt/listed", 0x33);
        {
            NTFSDB db(nullptr, mountInfo());
            bool stop = false;
            db.setSettings(&stop, settings({}, {0x33}));
            // The fixed volume is added and indexed; the removable one is not; a volume listed
            // in "NoIndexDrives" is left alone.
            QCOMPARE(db.settings().indexDrives, QList<quint32>({0x11}));
            QCOMPARE(counts(db), (QMap<QString, int>{{"/mnt/fixed", 2}}));
            QCOMPARE(searchPaths(db, "file"), QStringList({"/mnt/fixed/file-fixed"}));
        }
        // Destruction after settings saved the index.
        QVERIFY(QFile::exists(file(0x11)));

        NTFSDB db(nullptr, mountInfo());
        bool stop = false;
        db.setSettings(&stop, settings({}, {}, false, true));
        QCOMPARE(db.settings().indexDrives, QList<quint32>({0x22}));
        QCOMPARE(counts(db).keys(), QStringList({"/mnt/usb"}));
        // The index files of present volumes that are not indexed are deleted.
        QVERIFY(!QFile::exists(file(0x11)));

        // Moved to "NoIndexDrives" while indexed: stopped, dropped, its file deleted.
        db.saveAll();
        QVERIFY(QFile::exists(file(0x22)));
        db.updateDrives(&stop, settings({}, {0x22}, false, true));
        QVERIFY(counts(db).isEmpty());
        QVERIFY(!QFile::exists(file(0x22)));
        QVERIFY(journal->reader("/mnt/usb") == nullptr);
    }

    // A volume loaded from its file is searched at once; the set stays busy ("Index:
    // updating...") until the walk that reconciles it has ended, then reports it once.
    void busyUntilLoadedVolumesAreReconciled()
    {
        addVolume("/mnt/a", 0xa1);
        addVolume("/mnt/b", 0xb2);
        {
            NTFSDB first(nullptr, mountInfo());
            bool stop = false;
            first.setSettings(&stop, settings());
        }
        QVERIFY(QFile::exists(file(0xa1)) && QFile::exists(file(0xb2)));
        // The next run: other journals, changed volumes.
        journal->setState("/mnt/a", JournalState{0x7000, 0, 10});
        journal->setState("/mnt/b", JournalState{0x7001, 0, 10});
        layer->setEntries("/mnt/a", {{150, 2, "file-a-now", false}});
        layer->setEntries("/mnt/b", {{151, 2, "file-b-now", false}});
        layer->holdWalks(true);
        NTFSDB db(nullptr, mountInfo());
        testutil::ThreadSafeSpy started(&db, &NTFSDB::updateStarted);
        testutil::ThreadSafeSpy finished(&db, &NTFSDB::updateFinished);
        bool stop = false;
        db.setSettings(&stop, settings());
        QCOMPARE(searchPaths(db, "file"), QStringList({"/mnt/a/file-a", "/mnt/b/file-b"}));
        QCOMPARE(started.count(), 1);
        QCOMPARE(finished.count(), 0);
        // Loaded: answered by the index while being reconciled.
        for (const VolumeState& s : db.volumeStates())
            QVERIFY(s.state == VolumeState::State::Updating && s.served());
        QVERIFY(layer->waitForHeldWalk());
        layer->releaseWalk();
        QTRY_COMPARE(searchPaths(db, "file").size(), 2);
        QTRY_VERIFY(searchPaths(db, "file").contains("/mnt/a/file-a-now") || searchPaths(db, "file").contains("/mnt/b/file-b-now"));
        QCOMPARE(finished.count(), 0); // one volume is still walking
        layer->holdWalks(false);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(started.count(), 1);
        QCOMPARE(searchPaths(db, "file"), QStringList({"/mnt/a/file-a-now", "/mnt/b/file-b-now"}));
        for (const VolumeState& s : db.volumeStates())
            QCOMPARE(s.state, VolumeState::State::Indexed);
    }

    // Volumes without an index file are built at the same time, each on a thread of its own:
    // the set is ready after the slowest, not after the sum.
    void volumesAreBuiltAtTheSameTime()
    {
        addVolume("/mnt/p", 0xc1);
        addVolume("/mnt/q", 0xc2);
        addVolume("/mnt/r", 0xc3);
        layer->holdWalks(true);
        NTFSDB db(nullptr, mountInfo());
        bool stop = false;
        std::thread applying([&] { db.setSettings(&stop, settings()); });
        struct Release
        {
            ScriptedVolumeLayer& layer;
            std::thread& thread;
            ~Release()
            {
                layer.holdWalks(false);
                thread.join();
            }
        } release{*layer, applying};
        // Every walk has started while none may end yet.
        QTRY_COMPARE_WITH_TIMEOUT(layer->enumerations(), 3, 20000);
        layer->holdWalks(false);
        applying.join();
        QCOMPARE(counts(db), (QMap<QString, int>{{"/mnt/p", 2}, {"/mnt/q", 2}, {"/mnt/r", 2}}));
        QCOMPARE(searchPaths(db, "file"), QStringList({"/mnt/p/file-p", "/mnt/q/file-q", "/mnt/r/file-r"}));
        applying = std::thread([] {});
    }

    // A search while the set starts answers at once: from a volume that is ready, while
    // another one is still being built (it is left to the walk: not in `served`).
    void searchesDoNotWaitForVolumesBeingBuilt()
    {
        addVolume("/mnt/a", 0xa1);
        addVolume("/mnt/b", 0xb2);
        {
            NTFSDB first(nullptr, mountInfo());
            bool stop = false;
            first.setSettings(&stop, settings({0xa1}, {}, false));
        }
        QVERIFY(QFile::exists(file(0xa1)) && !QFile::exists(file(0xb2)));
        layer->holdWalks(true);
        NTFSDB db(nullptr, mountInfo());
        bool stop = false;
        std::thread applying([&] { db.setSettings(&stop, settings({0xa1, 0xb2}, {}, false)); });
        std::thread searching;
        struct Release
        {
            ScriptedVolumeLayer& layer;
            std::thread& applying;
            std::thread& searching;
            ~Release()
            {
                layer.holdWalks(false);
                applying.join();
                if (searching.joinable())
                    searching.join();
            }
        } release{*layer, applying, searching};
        QVERIFY(layer->waitForHeldWalk(20000)); // /mnt/b's build
        QSet<QString> served;
        QStringList found;
        std::atomic<bool> done{false};
        searching = std::thread([&] {
            FileSearchRequest request;
            request.fileName = QStringLiteral("file");
            ResultStore results;
            db.search(&request, &results, &served);
            for (const QString& path : testutil::storedPaths(results))
                found << path;
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
        QCOMPARE(served, QSet<QString>({"/mnt/a"}));
        QCOMPARE(found, QStringList({"/mnt/a/file-a"}));
        layer->holdWalks(false);
        applying.join();
        searching.join();
        applying = std::thread([] {});
        QCOMPARE(searchPaths(db, "file"), QStringList({"/mnt/a/file-a", "/mnt/b/file-b"}));
    }

    // Volumes filed and unfiled while searches run: no deadlock, and every search answers
    // exactly for the volumes it names as served.
    void searchesWhileVolumesComeAndGo()
    {
        addVolume("/mnt/a", 0xa1);
        addVolume("/mnt/b", 0xb2);
        addVolume("/mnt/c", 0xc3);
        NTFSDB db(nullptr, mountInfo());
        bool stop = false;
        db.setSettings(&stop, settings({0xa1}, {}, false));
        std::atomic<bool> stopSearching{false};
        std::atomic<int> searches{0};
        QStringList wrong;
        std::thread searching([&] {
            while (!stopSearching) {
                FileSearchRequest request;
                request.fileName = QStringLiteral("file");
                ResultStore results;
                QSet<QString> served;
                db.search(&request, &results, &served);
                QStringList found;
                for (const QString& path : testutil::storedPaths(results))
                    found << path;
                QStringList expected;
                for (const QString& mp : served)
                    expected << mp + "/file-" + mp.mid(5);
                expected.sort();
                found.sort();
                if (found != expected && wrong.size() < 5)
                    wrong << found.join(',') + " for " + expected.join(',');
                ++searches;
            }
        });
        const QList<QList<quint32>> lists{{0xa1, 0xb2}, {0xc3}, {0xa1, 0xc3}, {}, {0xb2, 0xc3, 0xa1}, {0xa1}};
        for (int round = 0; round < 4; ++round) {
            for (const QList<quint32>& list : lists) {
                db.updateDrives(&stop, settings(list, {}, false));
                QCOMPARE(counts(db).size(), list.size());
            }
        }
        QTRY_VERIFY(searches > 0);
        stopSearching = true;
        searching.join();
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
        QCOMPARE(searchPaths(db, "file"), QStringList({"/mnt/a/file-a"}));
    }

    void volumesComeAndGo()
    {
        addVolume("/mnt/a", 0xa1);
        NTFSDB db(nullptr, mountInfo());
        QSignalSpy started(&db, &NTFSDB::updateStarted);
        QSignalSpy finished(&db, &NTFSDB::updateFinished);
        bool stop = false;
        db.setSettings(&stop, settings({0xb2}));
        // The listed but absent volume is skipped without a message.
        QCOMPARE(counts(db).keys(), QStringList({"/mnt/a"}));
        QCOMPARE(started.count(), 1);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(layer->enumerations(), 1);

        // An update that changes nothing emits nothing.
        db.updateDrives(&stop, db.settings());
        QCOMPARE(started.count(), 1);

        // Arrival: the work runs off the calling thread; the volume is indexed.
        addVolume("/mnt/b", 0xb2);
        std::atomic<bool> offThread{false};
        connect(&db, &NTFSDB::updateFinished, this, [&] { offThread = QThread::currentThread() != thread(); }, Qt::DirectConnection);
        db.onDriveConnected("/mnt/b");
        db.waitForDriveEvents();
        QVERIFY(offThread);
        QCOMPARE(counts(db).keys(), QStringList({"/mnt/a", "/mnt/b"}));
        QCOMPARE(searchPaths(db, "file"), QStringList({"/mnt/a/file-a", "/mnt/b/file-b"}));

        // Removal: saved under the serial the set knows (the volume can no longer tell it).
        layer->removeVolume("/mnt/b");
        QCOMPARE(getVolumeSerialNumber("/mnt/b"), 0u);
        db.onDriveDisconnected("/mnt/b");
        db.waitForDriveEvents();
        QCOMPARE(counts(db).keys(), QStringList({"/mnt/a"}));
        QVERIFY(QFile::exists(file(0xb2)));
        QVERIFY(!QFile::exists(file(0)));
        QVERIFY(journal->reader("/mnt/b") == nullptr); // stopped and destroyed

        // Back again: the saved index is loaded, not rebuilt.
        const int enumerations = layer->enumerations();
        addVolume("/mnt/b", 0xb2);
        db.onDriveConnected("/mnt/b");
        db.waitForDriveEvents();
        QCOMPARE(counts(db).value("/mnt/b"), 2);
        QCOMPARE(layer->enumerations(), enumerations);

        // Another volume mounted at the same place replaces the old index.
        addVolume("/mnt/b", 0xc3);
        db.onDriveConnected("/mnt/b");
        db.waitForDriveEvents();
        QCOMPARE(searchPaths(db, "file"), QStringList({"/mnt/a/file-a", "/mnt/b/file-b"}));
        QVERIFY(db.settings().indexDrives.contains(0xc3));
        QVERIFY(QFile::exists(file(0xb2)));
    }

    void failuresAreContained()
    {
        addVolume("/mnt/a", 0xa1);
        addVolume("/mnt/broken", 0xb1, true, false); // no journal: indexing fails
        addVolume("/mnt/clone", 0xa1);               // same serial as /mnt/a
        addVolume("/mnt/noserial", 0);
        NTFSDB db(nullptr, mountInfo());
        QSignalSpy finished(&db, &NTFSDB::updateFinished);
        bool stop = false;
        db.setSettings(&stop, settings());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(counts(db).keys(), QStringList({"/mnt/a"}));
        QVERIFY(!db.settings().indexDrives.contains(0));
        const QString log = indexLogText();
        QVERIFY(log.contains("Failed to index volume /mnt/broken"));
        QVERIFY(log.contains("Volume /mnt/clone has the serial number a1 of volume /mnt/a"));

        // A volume event runs with the set's own stop flag and indexes the new volume.
        addVolume("/mnt/late", 0xc1);
        db.onDriveConnected("/mnt/late");
        db.waitForDriveEvents();
        QCOMPARE(finished.count(), 2);
        QCOMPARE(counts(db).keys(), QStringList({"/mnt/a", "/mnt/late"}));

        // Cancellation through the stop flag passes to the caller, after updateFinished. (The
        // broken volume goes to "NoIndexDrives": every volume event would retry it.)
        addVolume("/mnt/d", 0xd1);
        db.updateDrives(&stop, settings({0xa1, 0xc1}, {0xd1, 0xb1}));
        db.onDriveConnected("/mnt/d");
        db.waitForDriveEvents();
        QCOMPARE(finished.count(), 2);
        stop = true;
        QVERIFY_EXCEPTION_THROWN(db.updateDrives(&stop, settings({0xa1, 0xc1, 0xd1}, {0xb1})), FileSearchCancelException);
        QCOMPARE(finished.count(), 3);
        QVERIFY(!counts(db).contains("/mnt/d"));

        // A volume whose enumeration fails is logged and skipped.
        stop = false;
        layer->setEnumerationFailure("/mnt/d", 0, "cannot read");
        db.updateDrives(&stop, settings({0xa1, 0xc1, 0xd1}, {0xb1}));
        QCOMPARE(finished.count(), 4);
        QVERIFY(indexLogText().contains("Failed to index volume /mnt/d"));
        QCOMPARE(counts(db).keys(), QStringList({"/mnt/a", "/mnt/late"}));
    }

    // Each volume present is reported as indexed, being built, walked (with the reason) or
    // failed (with the failure's text), and a change of any of them is signalled.
    void volumeStatesSayHowEachVolumeIsSearched()
    {
        addVolume("/mnt/a", 0xa1);
        addVolume("/mnt/broken", 0xb1, true, false); // no journal: indexing fails
        addVolume("/mnt/clone", 0xa1);               // same serial as /mnt/a
        addVolume("/mnt/noserial", 0);
        addVolume("/mnt/subvol", 0xe1);
        journal->refuseWatch("/mnt/subvol");
        addVolume("/mnt/usb", 0xf1, false); // removable, not chosen
        NTFSDB db(nullptr, mountInfo());
        testutil::ThreadSafeSpy changed(&db, &NTFSDB::volumeStatesChanged);
        bool stop = false;
        db.setSettings(&stop, settings());
        QVERIFY(changed.count() > 0);

        auto describe = [](const QList<VolumeState>& states) {
            QStringList out;
            for (const VolumeState& s : states)
                out << QStringLiteral("%1 %2 %3 %4 %5 %6")
                           .arg(s.mountPoint)
                           .arg(int(s.state))
                           .arg(s.reason)
                           .arg(s.chosen)
                           .arg(s.served())
                           .arg(s.error);
            return out;
        };
        QCOMPARE(describe(db.volumeStates()),
                 QStringList({"/mnt/a 0 0 1 1 ",
                              "/mnt/broken 4 0 1 0 No journal on /mnt/broken",
                              "/mnt/clone 3 6 1 0 ",
                              "/mnt/noserial 3 7 0 0 ",
                              "/mnt/subvol 3 2 1 0 Failed to watch /mnt/subvol: Invalid cross-device link",
                              "/mnt/usb 3 1 0 0 "}));
        const QString log = indexLogText();
        QVERIFY(log.contains("Volume /mnt/subvol is walked at search time"));
        QVERIFY(!log.contains("Failed to index volume /mnt/subvol"));

        // Chosen now: built while the set is updating, then indexed; the failed volume, no
        // longer chosen, is walked as not chosen.
        layer->holdWalks(true);
        const int before = changed.count();
        std::thread applying([&] { db.updateDrives(&stop, settings({0xa1, 0xf1, 0xe1}, {0xb1})); });
        QVERIFY(layer->waitForHeldWalk(20000));
        QTRY_VERIFY(describe(db.volumeStates()).contains("/mnt/usb 2 0 1 0 "));
        QVERIFY(changed.count() > before);
        layer->holdWalks(false);
        applying.join();
        QCOMPARE(describe(db.volumeStates()).at(1), QStringLiteral("/mnt/broken 3 1 0 0 "));
        QCOMPARE(describe(db.volumeStates()).at(5), QStringLiteral("/mnt/usb 0 0 1 1 "));

        // A volume that leaves leaves the list.
        layer->removeVolume("/mnt/usb");
        db.onDriveDisconnected("/mnt/usb");
        db.waitForDriveEvents();
        QCOMPARE(db.volumeStates().size(), 5);
    }

    // A serial gone for good leaves the settings and its index file goes; one of an unplugged
    // removable disk, or of which nothing is known, stays with its file.
    void goneVolumesArePruned()
    {
        addVolume("/mnt/here", 0x44);
        QVERIFY(QDir().mkpath(dataDir.path() + "/DB"));
        for (const quint32 v : {0x11u, 0x22u, 0x33u, 0x44u})
            QVERIFY(testutil::writeFile(file(v), "old"));
        const qint64 today = VolumeHistory::today();
        VolumeHistory history;
        history.setSightings({{0x11, {false, today - 40, VolumeHistory::kMissedStarts - 1}},
                              {0x22, {true, today - 400, 50}}});
        QVERIFY(history.save(dataDir.path() + "/DB"));

        NTFSDB db(nullptr, mountInfo());
        QSignalSpy finished(&db, &NTFSDB::updateFinished);
        bool stop = false;
        db.setSettings(&stop, settings({0x11, 0x44}, {0x22, 0x33}));
        QCOMPARE(db.settings().indexDrives, QList<quint32>({0x44}));
        QCOMPARE(db.settings().noIndexDrives, QList<quint32>({0x22, 0x33}));
        QVERIFY(!QFile::exists(file(0x11)));
        QVERIFY(QFile::exists(file(0x22)) && QFile::exists(file(0x33)));
        QVERIFY(finished.count() >= 1); // the window writes the pruned lists back
        QVERIFY(indexLogText().contains("Volume 11 is gone for good"));

        VolumeHistory after;
        after.load(dataDir.path() + "/DB");
        QCOMPARE(after.sightings().value(0x44).missedStarts, 0);
        QCOMPARE(after.sightings().value(0x22).missedStarts, 51);
        QVERIFY(after.sightings().value(0x33).removable);
    }

    void notifierReportsMountTableChanges()
    {
        const QByteArray base = "22 1 0:5 / / rw - ext4 /dev/vda rw\n";
        QVERIFY(testutil::writeFile(mountInfo(), base));
        addVolume("/mnt/a", 0xa1);
        NTFSFileSearcher searcher(nullptr, mountInfo());
        QSignalSpy finished(&searcher, &NTFSFileSearcher::updateFinished);
        bool stop = false;
        searcher.init(&stop, settings({}, {}, false));
        QVERIFY(counts(*searcher.db()).isEmpty());

        QSignalSpy connected(searcher.db()->notifier(), &DriveConnectionNotifier::driveConnected);
        QVERIFY(testutil::writeFile(mountInfo(), base + "40 22 0:40 / /mnt/a rw - ext4 /dev/vdb rw\n"
                                                        "41 22 0:41 / /dev/shm rw - tmpfs tmpfs rw\n"));
        searcher.db()->notifier()->rescan();
        QCOMPARE(connected.count(), 2);
        QVERIFY(indexLogText().contains("Drive connected: /mnt/a"));
        searcher.db()->waitForDriveEvents();
        // Auto-add is off: nothing indexed until the settings list the volume.
        QVERIFY(counts(*searcher.db()).isEmpty());
        searcher.update(&stop, settings({0xa1}, {}, false));
        QCOMPARE(counts(*searcher.db()).keys(), QStringList({"/mnt/a"}));
        QTRY_COMPARE(finished.count(), 1);

        QSignalSpy disconnected(searcher.db()->notifier(), &DriveConnectionNotifier::driveDisconnected);
        layer->removeVolume("/mnt/a"); // the volumes present are read again from the layer
        QVERIFY(testutil::writeFile(mountInfo(), base));
        searcher.db()->notifier()->rescan();
        QCOMPARE(disconnected.count(), 2);
        searcher.db()->waitForDriveEvents();
        QVERIFY(counts(*searcher.db()).isEmpty());
        QVERIFY(QFile::exists(file(0xa1)));
    }
};

QTEST_GUILESS_MAIN(TestNTFSDB)
#include "tst_ntfsdb.moc"
