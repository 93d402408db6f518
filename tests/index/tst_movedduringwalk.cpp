// Folders moved while the index walks the volume (root only, a tmpfs in a private mount
// namespace): a folder moved from a folder the walk has not read yet into one it has read is
// never listed by the walk, and one moved after it was listed is no longer where the walk looks
// for it; in both cases the change journal reports the move, and the index then reads the
// folder's contents. Rounds are repeated until the race has been hit several times (a cap on
// rounds, not on time: under a sanitizer or on a loaded machine a round takes half a minute);
// every round ends with the index listing what `find` lists. The same for the walk of a
// rebuild after the journal lost events.
#include "core/FileNameCodec.h"
#include "core/IndexingSettings.h"
#include "core/Logger.h"
#include "indextest.h"
#include "loopvolume.h"
#include "platform/FanotifyJournal.h"
#include "search/index/NTFSDriveDB.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "storedresults.h"
#include "testutil.h"
#include "threadsafespy.h"

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// A round that missed the race is repeated, up to this many rounds in all.
constexpr int kMaxRounds = 20;

QList<QByteArray> indexPaths(NTFSDriveDB& db)
{
    FileSearchRequest request;
    ResultStore results;
    db.search(&request, &results);
    QList<QByteArray> out;
    for (const QString& path : testutil::storedPaths(results))
        out << FileNameCodec::encode(path);
    std::sort(out.begin(), out.end());
    return out;
}

// 120 folders of 300 files (so that the walk takes a while), each holding one folder of 50 files
// ("m"), which the movers shift from folder to folder while the walk runs.
void makeTree(const LoopVolume& v)
{
    for (int i = 0; i < 120; ++i) {
        const QByteArray top = v.path("/t" + QByteArray::number(i));
        QVERIFY(::mkdir(top.constData(), 0755) == 0);
        for (int f = 0; f < 300; ++f)
            QVERIFY(touchFile(top + "/bulk" + QByteArray::number(f)));
        QVERIFY(::mkdir((top + "/m" + QByteArray::number(i)).constData(), 0755) == 0);
        for (int f = 0; f < 50; ++f)
            QVERIFY(touchFile(top + "/m" + QByteArray::number(i) + "/f" + QByteArray::number(f)));
    }
}

// Where each folder "m<k>" is: in top folder at[k].
struct Placement
{
    int at[120];
    unsigned step = 0;
    Placement()
    {
        for (int i = 0; i < 120; ++i)
            at[i] = i;
    }
};

// Moves the folders "m<k>" between the top folders until stopped (the placement knows where
// each one is, so every move is of an existing folder to a free name).
class Mover
{
public:
    Mover(const LoopVolume& v, Placement& placement) : v_(v), at_(placement.at), step_(placement.step)
    {
        thread_ = std::thread([this] { run(); });
    }
    ~Mover() { stop(); }
    void stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    int moves() const { return moves_; }

private:
    void run()
    {
        for (unsigned& k = step_; !stop_; ++k) {
            const int folder = int(k * 37 % 120);
            const int to = (at_[folder] + 1 + int(k / 7 % 119)) % 120; // never where it is
            const QByteArray name = "/m" + QByteArray::number(folder);
            const QByteArray from = v_.path("/t" + QByteArray::number(at_[folder])) + name;
            const QByteArray target = v_.path("/t" + QByteArray::number(to)) + name;
            if (::rename(from.constData(), target.constData()) == 0) {
                at_[folder] = to;
                ++moves_;
            }
        }
    }

    const LoopVolume& v_;
    int* at_;
    unsigned& step_;
    std::atomic<bool> stop_{false};
    std::atomic<int> moves_{0};
    std::thread thread_;
};

} // namespace

class TestMovedDuringWalk : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir logDir;

private slots:
    void initTestCase()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (fanotify, private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        Logger::instance(logDir.filePath(QStringLiteral("test.log")));
    }

    // The start-up walk (no index file).
    void foldersMovedDuringTheBuild()
    {
        LoopVolume volume(QStringLiteral("tmpfs"));
        QVERIFY2(volume.isMounted(), qPrintable(volume.why()));
        makeTree(volume);
        IndexingSettings noFile;
        Placement placement;
        int hit = 0;
        for (int round = 0; hit < 3 && round < kMaxRounds; ++round) {
            std::unique_ptr<NTFSDriveDB> db;
            {
                Mover mover(volume, placement);
                db.reset(new NTFSDriveDB(volume.mountPoint(), noFile));
                db->init(nullptr);
                QTest::qWait(20); // the moves go on for a moment after the build, the monitor running
                mover.stop();
                QVERIFY(mover.moves() > 0);
            }
            QTRY_COMPARE_WITH_TIMEOUT(indexPaths(*db), volume.find(), 120000);
            hit += db->folderWalks() > 0 ? 1 : 0;
        }
        QVERIFY2(hit >= 3, qPrintable(QStringLiteral("the race was hit in %1 rounds only").arg(hit)));
    }

    // The walk of a rebuild after the kernel's queue overflowed.
    void foldersMovedDuringARebuild()
    {
        LoopVolume volume(QStringLiteral("tmpfs"));
        QVERIFY2(volume.isMounted(), qPrintable(volume.why()));
        makeTree(volume);
        IndexingSettings noFile;
        NTFSDriveDB db(volume.mountPoint(), noFile);
        db.init(nullptr);
        testutil::ThreadSafeSpy rebuilt(&db, &NTFSDriveDB::rebuilt);
        std::shared_ptr<FanotifyJournal> journal = FanotifyJournal::acquire(volume.mountPoint());
        const QByteArray flood = volume.path("/flood");
        QVERIFY(::mkdir(flood.constData(), 0755) == 0);
        Placement placement;
        int hit = 0;
        const int walksBefore = db.folderWalks();
        for (int round = 0; hit < 2 && round < kMaxRounds; ++round) {
            QVERIFY(journal->waitUntilDrained(120000));
            const int before = db.folderWalks();
            journal->pauseDrain(true);
            for (int i = 0; i < fanotifyQueueLimit() + 10; ++i)
                touchFile(flood + "/r" + QByteArray::number(round) + "-" + QByteArray::number(i));
            {
                Mover mover(volume, placement);
                journal->pauseDrain(false);
                QTRY_COMPARE_WITH_TIMEOUT(rebuilt.count(), round + 1, 120000);
                mover.stop();
            }
            QTRY_COMPARE_WITH_TIMEOUT(indexPaths(db), volume.find(), 120000);
            hit += db.folderWalks() > before ? 1 : 0;
        }
        QVERIFY(db.folderWalks() > walksBefore);
        QVERIFY2(hit >= 2, qPrintable(QStringLiteral("the race was hit in %1 rounds only").arg(hit)));
    }
};

QTEST_GUILESS_MAIN(TestMovedDuringWalk)
#include "tst_movedduringwalk.moc"
