// Name and contents search through the façade over the real name index: a tmpfs mounted in a
// private mount namespace is indexed (root only), a folder elsewhere is walked, and both meet
// in one result list.
#include "platform/LinuxVolumeLayer.h"
#include "search/index/NTFSUtils.h"
#include "tests/engine/enginetest.h"
#include "tests/index/loopvolume.h"
#include "scopedinstance.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <condition_variable>
#include <mutex>

#include <sched.h>
#include <sys/mount.h>

using namespace enginetest;

namespace {

// The real volume layer, except that the index's walk of one volume waits at a gate until it
// is opened (or the walk is canceled).
class GatedLayer : public LinuxVolumeLayer
{
public:
    explicit GatedLayer(const QString& gated)
        : gated_(gated)
    {
    }
    void open()
    {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    bool waitForHeldWalk()
    {
        std::unique_lock<std::mutex> guard(mutex_);
        return changed_.wait_for(guard, std::chrono::seconds(60), [this] { return held_; });
    }
    void enumerateParallel(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                           VolumeEntryConsumer& consumer) override
    {
        hold(mountPoint, cancel);
        LinuxVolumeLayer::enumerateParallel(mountPoint, rootName, cancel, consumer);
    }
    void enumerate(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                   const VolumeEntrySink& sink) override
    {
        hold(mountPoint, cancel);
        LinuxVolumeLayer::enumerate(mountPoint, rootName, cancel, sink);
    }

private:
    void hold(const QString& mountPoint, const bool* cancel)
    {
        if (mountPoint != gated_)
            return;
        std::unique_lock<std::mutex> guard(mutex_);
        held_ = true;
        changed_.notify_all();
        while (!open_ && !__atomic_load_n(cancel, __ATOMIC_RELAXED))
            changed_.wait_for(guard, std::chrono::milliseconds(50));
    }

    const QString gated_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    bool held_ = false;
};

// Every object below `roots` whose name contains `part`, as a walk of the disk finds it.
QStringList findOnDisk(const QStringList& roots, const QString& part)
{
    QStringList out;
    for (const QString& root : roots) {
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileName().contains(part))
                out << path;
        }
    }
    out.sort();
    return out;
}

} // namespace

class TestIndexSearch : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString vol;
    QString plain;
    bool mounted = false;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("test.log")));
        if (!testutil::isRoot())
            return;
        TQ_ENTER_PRIVATE_MOUNTS();
        vol = tmp.filePath(QStringLiteral("vol"));
        plain = tmp.filePath(QStringLiteral("plain"));
        QVERIFY(QDir().mkpath(vol));
        QVERIFY(::mount("tmpfs", QFile::encodeName(vol).constData(), "tmpfs", 0, "size=16m") == 0);
        mounted = true;
        QVERIFY(testutil::writeFile(vol + "/a/report.txt", "alpha quarterly\n"));
        QVERIFY(testutil::writeFile(vol + "/a/b/report-old.txt", "beta\n"));
        QVERIFY(testutil::writeFile(vol + "/a/b/notes.md", "alpha\n"));
        QVERIFY(QDir().mkpath(vol + "/reports"));
        // Two volumes mounted inside the indexed one: one walked, one indexed itself.
        for (const char* inner : {"/inner", "/deep"}) {
            QVERIFY(QDir().mkpath(vol + inner));
            QVERIFY(::mount("tmpfs", QFile::encodeName(vol + inner).constData(), "tmpfs", 0, "size=4m") == 0);
        }
        QVERIFY(testutil::writeFile(vol + "/inner/sub/report-inner.txt", "alpha\n"));
        QVERIFY(testutil::writeFile(vol + "/deep/report-deep.txt", "alpha\n"));
        QVERIFY(testutil::writeFile(plain + "/report-plain.txt", "alpha\n"));
        QVERIFY(testutil::writeFile(plain + "/other.txt", "alpha\n"));
    }
    void cleanupTestCase()
    {
        if (!mounted)
            return;
        for (const char* inner : {"/inner", "/deep"})
            ::umount2(QFile::encodeName(vol + inner).constData(), MNT_DETACH);
        ::umount2(QFile::encodeName(vol).constData(), MNT_DETACH);
    }

    void indexAndWalkTogether()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (a tmpfs mounted in a private mount namespace is indexed)");
        QCOMPARE(volumeOf(vol), vol);
        const quint32 serial = getVolumeSerialNumber(vol);
        QVERIFY(serial != 0);

        FileSearcher searcher(tmp.filePath("work"), FileSearcher::UseIndex);
        QSignalSpy init(&searcher, &FileSearcher::initFinished);
        IndexingSettings settings;
        const quint32 deepSerial = getVolumeSerialNumber(vol + "/deep");
        QVERIFY(deepSerial != 0 && deepSerial != serial);
        settings.indexDrives = {serial, deepSerial};
        settings.autoAddFixed = false;
        settings.autoAddRemovable = false;
        settings.dbPath = tmp.filePath("db");
        QVERIFY(QDir().mkpath(settings.dbPath));

        // A search filed before the initialisation waits for it to be asked for.
        FileSearchRequest early;
        early.fileName = "report";
        early.includePaths = QStringList{vol, plain};
        QSignalSpy found(&searcher, &FileSearcher::findFinished);
        ResultStore earlyResults;
        searcher.find(&early, &earlyResults);
        searcher.init(settings, ContentSearchOptions());
        QVERIFY(init.wait(30000) || init.count() == 1);
        QMap<QString, int> counts;
        searcher.indexedCounts(counts);
        QVERIFY2(counts.value(vol) >= 6, qPrintable(QString::number(counts.value(vol))));
        QVERIFY(counts.value(vol + "/deep") >= 2);
        QVERIFY(waitFor(found, early.id));
        // The volumes inside the indexed one are searched too (indexed or walked), once each.
        const QStringList expected{plain + "/report-plain.txt", vol + "/a/b/report-old.txt",
                                   vol + "/a/report.txt", vol + "/deep/report-deep.txt",
                                   vol + "/inner/sub/report-inner.txt", vol + "/reports"};
        QCOMPARE(paths(earlyResults), expected);

        // Contents over index candidates and walked ones alike; folders drop out.
        FileSearchRequest withText;
        withText.fileName = "report";
        withText.includePaths = QStringList{vol, plain};
        withText.contents = "alpha";
        QCOMPARE(search(searcher, withText),
                 QStringList({plain + "/report-plain.txt", vol + "/a/report.txt",
                              vol + "/deep/report-deep.txt", vol + "/inner/sub/report-inner.txt"}));
        // An inner volume also named as an include folder is still searched once.
        FileSearchRequest named;
        named.fileName = "report-inner";
        named.includePaths = QStringList{vol, vol + "/inner"};
        QCOMPARE(search(searcher, named), QStringList({vol + "/inner/sub/report-inner.txt"}));
        named.includePaths = QStringList{vol + "/inner/", vol};
        QCOMPARE(search(searcher, named), QStringList({vol + "/inner/sub/report-inner.txt"}));

        // Without subfolders the inner volumes stay out.
        FileSearchRequest flat;
        flat.fileName = "report";
        flat.includePaths = QStringList{vol};
        flat.includeSubfolders = false;
        QCOMPARE(search(searcher, flat), QStringList({vol + "/reports"}));

        // Only the indexed volume: nothing is walked, and a file created now is found through
        // the index's live updates.
        QVERIFY(testutil::writeFile(vol + "/a/report-new.txt", "x"));
        QStringList live;
        for (int attempt = 0; attempt < 50; ++attempt) {
            FileSearchRequest fresh;
            fresh.fileName = "report-new";
            fresh.includePaths = QStringList{vol};
            live = search(searcher, fresh);
            if (!live.isEmpty())
                break;
            QTest::qWait(100); // searches again until the live index has the file
        }
        QCOMPARE(live, QStringList({vol + "/a/report-new.txt"}));
    }

    // A search filed while the index starts runs at once: the volume loaded from its file
    // answers from the index, the one still being built is walked, and together they give
    // what a walk of the disk gives.
    void searchWhileAVolumeIsBuilt()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (tmpfs volumes mounted in a private mount namespace are indexed)");
        // The volume loaded from its file is an ext4 image: a tmpfs's index is never kept.
        LoopVolume readyVolume(QStringLiteral("ext4"), 32);
        if (!readyVolume.isMounted())
            QSKIP(qPrintable(readyVolume.why()));
        const QString ready = readyVolume.mountPoint();
        const QString slow = tmp.filePath(QStringLiteral("slow"));
        QVERIFY(QDir().mkpath(slow));
        QVERIFY(::mount("tmpfs", QFile::encodeName(slow).constData(), "tmpfs", 0, "size=4m") == 0);
        struct Unmount
        {
            QStringList mps;
            ~Unmount()
            {
                for (const QString& mp : mps)
                    ::umount2(QFile::encodeName(mp).constData(), MNT_DETACH);
            }
        } unmount{{slow}};
        for (const QString& mp : {ready, slow}) {
            QVERIFY(testutil::writeFile(mp + "/x/report-1.txt", "a"));
            QVERIFY(testutil::writeFile(mp + "/x/y/report-2.txt", "b"));
            QVERIFY(testutil::writeFile(mp + "/x/other.txt", "c"));
            QVERIFY(QDir().mkpath(mp + "/reports/deeper"));
        }
        const quint32 readySerial = getVolumeSerialNumber(ready);
        const quint32 slowSerial = getVolumeSerialNumber(slow);
        QVERIFY(readySerial != 0 && slowSerial != 0 && readySerial != slowSerial);
        IndexingSettings settings;
        settings.autoAddFixed = false;
        settings.autoAddRemovable = false;
        settings.dbPath = tmp.filePath("db3");
        settings.indexDrives = {readySerial};
        QVERIFY(QDir().mkpath(settings.dbPath));
        {
            // The last run indexed only one of them and saved it.
            FileSearcher first(tmp.filePath("work"), FileSearcher::UseIndex);
            QSignalSpy init(&first, &FileSearcher::initFinished);
            first.init(settings, ContentSearchOptions());
            QVERIFY(init.wait(30000) || init.count() == 1);
        }

        GatedLayer layer(slow);
        const testutil::ScopedInstance<VolumeLayer> installed(&layer);
        struct Open // opens the gate at the end, before the layer is taken out
        {
            GatedLayer& layer;
            ~Open() { layer.open(); }
        } open{layer};
        const QStringList expected = findOnDisk({ready, slow}, QStringLiteral("report"));
        QCOMPARE(expected.size(), 6);
        {
            FileSearcher searcher(tmp.filePath("work"), FileSearcher::UseIndex);
            QSignalSpy init(&searcher, &FileSearcher::initFinished);
            settings.indexDrives = {readySerial, slowSerial};
            searcher.init(settings, ContentSearchOptions());
            QVERIFY(layer.waitForHeldWalk());
            FileSearchRequest request;
            request.fileName = "report";
            request.includePaths = QStringList{ready, slow};
            QCOMPARE(search(searcher, request), expected);
            QMap<QString, int> counts;
            searcher.indexedCounts(counts);
            QVERIFY(counts.value(ready) >= 8);
            QCOMPARE(counts.value(slow), 0); // not built yet: it was walked
            QCOMPARE(init.count(), 0);

            layer.open();
            QVERIFY(init.wait(30000) || init.count() == 1);
            counts.clear();
            searcher.indexedCounts(counts);
            QVERIFY(counts.value(slow) >= 8);
            FileSearchRequest again;
            again.fileName = "report";
            again.includePaths = QStringList{ready, slow};
            QCOMPARE(search(searcher, again), expected);
        }
    }

    void updatesQueueAndInitReplaces()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (a tmpfs mounted in a private mount namespace is indexed)");
        const quint32 serial = getVolumeSerialNumber(vol);
        const quint32 deepSerial = getVolumeSerialNumber(vol + "/deep");
        FileSearcher searcher(tmp.filePath("work"), FileSearcher::UseIndex);
        QSignalSpy init(&searcher, &FileSearcher::initFinished);
        IndexingSettings settings;
        settings.autoAddFixed = false;
        settings.dbPath = tmp.filePath("db2");
        QVERIFY(QDir().mkpath(settings.dbPath));

        // An update asked before the initialisation waits for it; a second one replaces it.
        IndexingSettings both = settings;
        both.indexDrives = {serial, deepSerial};
        IndexingSettings onlyVol = settings;
        onlyVol.indexDrives = {serial};
        QSignalSpy finished(&searcher, &FileSearcher::updateFinished);
        searcher.update(both);
        // Two initialisations in a row: the first is stopped and waited for.
        searcher.init(settings, ContentSearchOptions());
        searcher.init(settings, ContentSearchOptions());
        QTRY_COMPARE_WITH_TIMEOUT(init.count(), 1, 30000);
        QTest::qWait(100); // proves an absence
        QCOMPARE(init.count(), 1); // the replaced initialisation reports nothing
        QMap<QString, int> counts;
        QTRY_VERIFY_WITH_TIMEOUT((counts.clear(), searcher.indexedCounts(counts), counts.size() == 2), 30000);

        // Updates while one runs queue behind it; the last settings win.
        searcher.update(both);
        searcher.update(settings);
        searcher.update(onlyVol);
        QTRY_VERIFY_WITH_TIMEOUT((counts.clear(), searcher.indexedCounts(counts),
                                  counts.size() == 1 && counts.contains(vol)), 30000);
        QVERIFY(finished.count() >= 1);
        QCOMPARE(searcher.indexingSettings().indexDrives, QList<quint32>({serial}));
    }
};

QTEST_GUILESS_MAIN(TestIndexSearch)
#include "tst_indexsearch.moc"
