// A search without include folders (the instant search) over the whole machine: volumes
// without an index are walked from their mount points, each once, staying on its own volume;
// indexed volumes come from the index only; network and alias mounts, and mounts the volume
// layer does not list, are never walked; exclude folders apply; cancelling stops the walk.
#include "search/engine/ContentSearcher.h"
#include "search/engine/DirectorySearcher.h"
#include "search/engine/FileSearch.h"
#include "search/index/NTFSFileSearcher.h"
#include "tests/doubles/ScriptedJournalBackend.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "tests/engine/enginetest.h"
#include "threadsafespy.h"
#include "scopedinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>
#include <sys/mount.h>

using namespace enginetest;

class TestVolumeWalk : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString root;
    std::unique_ptr<ScriptedVolumeLayer> layer;
    std::unique_ptr<ScriptedJournalBackend> journal;
    std::optional<testutil::ScopedInstance<VolumeLayer>> installedLayer;
    std::optional<testutil::ScopedInstance<JournalBackend>> installedJournal;

    void addVolume(const QString& name, const QString& fsType, quint32 serial, bool indexable,
                   bool network = false, bool alias = false)
    {
        layer->addVolume(ScriptedVolumeLayer::describe(root + name, fsType, serial, indexable, network, alias));
        QVERIFY(QDir().mkpath(root + name));
    }

    // Runs a name search for `pattern` to its end; the found paths relative to `root`, sorted
    // (a path found twice is listed twice).
    QStringList run(FileSearchRequest& request, NTFSFileSearcher* index = nullptr)
    {
        DirectorySearcher directories;
        ContentSearcher contents(nullptr, tmp.filePath("work"));
        ResultStore results;
        FileSearch search(index, &directories, &contents, nullptr, &request, &results);
        // The search ends on its worker thread, so the record of its end must be thread-safe.
        testutil::ThreadSafeSpy finished(&search, &FileSearch::finished);
        search.start();
        const bool ended = QTest::qWaitFor([&] {
            for (int i = 0; i < finished.count(); ++i) {
                if (finished.at(i).at(0).toInt() == request.id)
                    return true;
            }
            return false;
        }, 120000);
        if (!ended)
            return {"<time-out>"};
        QStringList out;
        for (const QString& p : paths(results))
            out << (p.startsWith(root) ? p.mid(root.size()) : p);
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("test.log")));
    }

    void init()
    {
        root = tmp.filePath(QString::number(QDateTime::currentMSecsSinceEpoch()) + "-"
                            + QTest::currentTestFunction());
        layer.reset(new ScriptedVolumeLayer);
        journal.reset(new ScriptedJournalBackend);
        installedLayer.emplace(layer.get());
        installedJournal.emplace(journal.get());
    }

    void cleanup()
    {
        installedLayer.reset();
        installedJournal.reset();
    }

    void whichVolumesAreWalked()
    {
        addVolume("/a", "ext4", 0xa1, true);
        addVolume("/a/inner", "ext4", 0xa2, true); // nested: walked once, by its own walk
        addVolume("/usb", "vfat", 0xb1, false);    // local but not indexable: walked too
        addVolume("/net", "nfs4", 0xc1, false, true);
        addVolume("/a/share", "cifs", 0xc2, false, true); // a network mount inside a walked one
        addVolume("/bind", "ext4", 0xa1, true, false, true);
        for (const char* f : {"/a/hit-a.txt", "/a/sub/deeper/hit-deep.txt", "/a/inner/hit-inner.txt",
                              "/usb/hit-usb.txt", "/net/hit-net.txt", "/a/share/hit-share.txt",
                              "/bind/hit-bind.txt", "/outside/hit-outside.txt", "/a/miss.txt"})
            QVERIFY(testutil::writeFile(root + f, "x"));

        QCOMPARE(FileSearch::volumesToWalk(layer->volumes(), nullptr),
                 QStringList({root + "/a", root + "/a/inner", root + "/usb"}));

        FileSearchRequest request;
        request.fileName = "hit*";
        request.includeSubfolders = false; // a whole volume is searched all the same
        QCOMPARE(run(request), QStringList({"/a/hit-a.txt", "/a/inner/hit-inner.txt",
                                            "/a/sub/deeper/hit-deep.txt", "/usb/hit-usb.txt"}));

        // Folders match like files; the mount points of other volumes are entries of the walked
        // volume (once), not listed.
        request.fileName = "*";
        const QStringList all = run(request);
        QCOMPARE(all.count("/a/inner"), 1);
        QCOMPARE(all.count("/a/share"), 1);
        QCOMPARE(all.count("/a/inner/hit-inner.txt"), 1);
        QVERIFY(!all.contains("/a/share/hit-share.txt"));
        QCOMPARE(all.filter("hit-").size(), 4);
    }

    // Include folders that overlap (one inside another, one named twice, with and without a
    // trailing "/") list each object once, walked or indexed; without subfolders each folder
    // lists its own entries once.
    void overlappingIncludesListEachOnce()
    {
        addVolume("/w", "vfat", 0xb1, false);
        for (const char* f : {"/w/include/a.h", "/w/include/linux/b.h", "/w/include/linux/deep/c.h", "/w/other/d.h"})
            QVERIFY(testutil::writeFile(root + f, "x"));
        FileSearchRequest request;
        request.fileName = "*.h";
        request.includePaths = QStringList{root + "/w/include", root + "/w/include/linux/", root + "/w/include/linux",
                                           root + "/w/include/"};
        const QStringList all{"/w/include/a.h", "/w/include/linux/b.h", "/w/include/linux/deep/c.h"};
        QCOMPARE(run(request), all);
        request.includePaths = QStringList{root + "/w/include/linux", root + "/w"};
        QCOMPARE(run(request), all + QStringList{"/w/other/d.h"});
        request.includeSubfolders = false;
        request.includePaths = QStringList{root + "/w/include", root + "/w/include/linux", root + "/w/include/"};
        QCOMPARE(run(request), QStringList({"/w/include/a.h", "/w/include/linux/b.h"}));
        QCOMPARE(FileSearch::scopeOf({"/a/", "/a/b", "", "/c", "/", "/c"}, true), QStringList({"/"}));
        QCOMPARE(FileSearch::scopeOf({"/a/", "/a/b", "", "/c", "/c//"}, true), QStringList({"/a", "/c"}));
        QCOMPARE(FileSearch::scopeOf({"/a/", "/a/b", "/a"}, false), QStringList({"/a", "/a/b"}));
    }

    void excludeFoldersApply()
    {
        addVolume("/a", "ext4", 0xa1, true);
        addVolume("/skipvol", "ext4", 0xa2, true);
        for (const char* f : {"/a/keep/hit-1.txt", "/a/Private/hit-2.txt", "/a/x/private-dir/hit-3.txt",
                              "/skipvol/hit-4.txt"})
            QVERIFY(testutil::writeFile(root + f, "x"));
        FileSearchRequest request;
        request.fileName = "hit*";
        // Names in any case (whole names), and a path.
        request.excludePaths = QStringList{"private", root + "/skipvol"};
        QCOMPARE(run(request), QStringList({"/a/keep/hit-1.txt", "/a/x/private-dir/hit-3.txt"}));
    }

    void indexedVolumeIsNotWalked()
    {
        addVolume("/idx", "ext4", 0x51, true);
        addVolume("/idx/card", "vfat", 0x52, false); // inside the indexed one, without an index
        addVolume("/plain", "ext4", 0x53, true);     // indexable but not in the index settings
        addVolume("/broken", "ext4", 0x54, true);    // chosen, but its index fails (no journal)
        addVolume("/media/disk", "fuseblk", 0x55, false); // a disk through a FUSE block driver
        layer->setFileId(root + "/idx", 2, true);
        layer->setEntries(root + "/idx", {{10, 2, "hit-indexed.txt", false}});
        QVERIFY(testutil::writeFile(root + "/idx/hit-ondisk.txt", "x"));
        QVERIFY(testutil::writeFile(root + "/idx/card/hit-card.txt", "x"));
        QVERIFY(testutil::writeFile(root + "/plain/hit-plain.txt", "x"));
        QVERIFY(testutil::writeFile(root + "/broken/hit-broken.txt", "x"));
        QVERIFY(testutil::writeFile(root + "/media/disk/hit-disk.txt", "x"));
        journal->setState(root + "/idx", JournalState{0x5051, 0, 10});

        const QString mountInfo = tmp.filePath("mountinfo");
        QVERIFY(testutil::writeFile(mountInfo, QByteArray()));
        NTFSFileSearcher index(nullptr, mountInfo);
        IndexingSettings settings;
        settings.indexDrives = {0x51, 0x54, 0x55};
        settings.autoAddFixed = false;
        settings.autoAddRemovable = false;
        settings.dbPath = tmp.filePath("db");
        QVERIFY(QDir().mkpath(settings.dbPath));
        bool stop = false;
        index.init(&stop, settings);

        FileSearchRequest request;
        request.fileName = "hit*";
        // What the index holds is found once; what only the disk holds is not walked. A volume
        // chosen for the index that it does not serve (its build failed) is walked.
        QMap<QString, int> counts;
        index.indexedCounts(counts);
        QCOMPARE(counts.keys(), QStringList({root + "/idx"}));
        QCOMPARE(run(request, &index), QStringList({"/broken/hit-broken.txt", "/idx/card/hit-card.txt",
                                                    "/idx/hit-indexed.txt", "/media/disk/hit-disk.txt",
                                                    "/plain/hit-plain.txt"}));
        // The same with an include folder on the failed volume.
        request.includePaths = QStringList{root + "/broken"};
        QCOMPARE(run(request, &index), QStringList({"/broken/hit-broken.txt"}));
    }

    void otherDevicesAreNotEntered()
    {
        // Mounts the volume layer does not list (pseudo, overlay and image file systems) are
        // not walked into: here a tmpfs and a proc inside a walked volume.
        if (!testutil::isRoot())
            QSKIP("needs root (mounts in a private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        addVolume("/a", "ext4", 0xa1, true);
        QVERIFY(QDir().mkpath(root + "/a/unlisted"));
        QVERIFY(QDir().mkpath(root + "/a/proc"));
        QVERIFY(::mount("tmpfs", QFile::encodeName(root + "/a/unlisted").constData(), "tmpfs", 0,
                        "size=1m") == 0);
        const bool proc = ::mount("proc", QFile::encodeName(root + "/a/proc").constData(), "proc", 0,
                                  nullptr) == 0;
        QVERIFY(testutil::writeFile(root + "/a/unlisted/hit-unlisted.txt", "x"));
        QVERIFY(testutil::writeFile(root + "/a/hit-a.txt", "x"));
        FileSearchRequest request;
        request.fileName = "hit*";
        QCOMPARE(run(request), QStringList({"/a/hit-a.txt"}));
        if (proc) {
            request.fileName = "status";
            QCOMPARE(run(request), QStringList());
            ::umount2(QFile::encodeName(root + "/a/proc").constData(), MNT_DETACH);
        }
        ::umount2(QFile::encodeName(root + "/a/unlisted").constData(), MNT_DETACH);
    }

    void cancelStopsTheWalk()
    {
        addVolume("/big", "ext4", 0xa1, true);
        int total = 0;
        for (int d = 0; d < 400; ++d)
            for (int f = 0; f < 10; ++f, ++total)
                QVERIFY(testutil::writeFile(root + QString("/big/d%1/e/f%2.txt").arg(d).arg(f), ""));

        DirectorySearcher directories;
        ContentSearcher contents(nullptr, tmp.filePath("work"));
        FileSearchRequest request;
        request.fileName = "f*";
        ResultStore results;
        {
            FileSearch search(nullptr, &directories, &contents, nullptr, &request, &results);
            QSignalSpy finished(&search, &FileSearch::finished);
            search.start();
            search.cancel(); // returns when the search does no more work
            const int after = results.itemCount();
            QVERIFY(after < total);
            QTest::qWait(100); // proves an absence: nothing is added after the cancellation
            QCOMPARE(results.itemCount(), after);
            QCOMPARE(finished.count(), 1); // the end is reported, canceled
        }
        // A walk of a cancelled request adds nothing.
        ResultStore none;
        directories.walkVolumes(&request, &none, {root + "/big"}, {root + "/big"});
        QCOMPARE(none.itemCount(), 0);

        FileSearchRequest again;
        again.fileName = "f*";
        QCOMPARE(run(again).size(), total);
    }
};

QTEST_GUILESS_MAIN(TestVolumeWalk)
#include "tst_volumewalk.moc"
