// The real journal end to end (root): a tmpfs in a private mount namespace is enumerated into a
// small record model, then the monitor (ChangeJournal + ChangeJournalReader over fanotify)
// keeps the model current. After each change the paths the model can build must equal the
// real tree.
#include "search/index/ChangeJournal.h"
#include "search/index/JournalBackend.h"
#include "search/index/MFTReader.h"
#include "platform/FanotifyJournal.h"
#include "core/Logger.h"
#include "indexlog.h"
#include "indextest.h"
#include "testutil.h"
#include "threadsafespy.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <dirent.h>
#include <mutex>
#include <sys/stat.h>

namespace {

struct Node
{
    FRN parent;
    QByteArray name;
    bool isDir;
};

void realPaths(const QByteArray& dir, const QByteArray& rel, QSet<QByteArray>& out)
{
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return;
    while (struct dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray r = rel.isEmpty() ? name : rel + '/' + name;
        out.insert(r + (e->d_type == DT_DIR ? "/" : ""));
        if (e->d_type == DT_DIR)
            realPaths(dir + '/' + name, r, out);
    }
    ::closedir(d);
}

} // namespace

class JournalMonitorTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir* holder_ = nullptr;
    QByteArray v_;
    QString mp_;
    std::mutex mutex_;
    QHash<FRN, Node> model_;
    FRN root_ = 0;
    std::unique_ptr<ChangeJournal> journal_;

    // Paths the model can build (records whose parent chain is broken are left out, as the
    // index does); folders end in "/".
    QList<QByteArray> modelPaths()
    {
        std::lock_guard<std::mutex> g(mutex_);
        QList<QByteArray> out;
        for (auto it = model_.constBegin(); it != model_.constEnd(); ++it) {
            if (it.key() == root_)
                continue;
            QByteArray path = it.value().name + (it.value().isDir ? "/" : "");
            FRN p = it.value().parent;
            bool ok = true;
            for (int guard = 0; p != root_; ++guard) {
                auto parent = model_.constFind(p);
                if (parent == model_.constEnd() || guard > 1000) {
                    ok = false;
                    break;
                }
                path = parent.value().name + '/' + path;
                p = parent.value().parent;
            }
            if (ok)
                out.append(path);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    // Waits until the monitor has applied everything the file system did so far.
    bool settle()
    {
        std::shared_ptr<FanotifyJournal> j = FanotifyJournal::acquire(mp_);
        if (!j->waitUntilDrained(60000))
            return false;
        const USN target = j->state().nextUsn;
        return QTest::qWaitFor([&] { return journal_->lastUsn() >= target; }, 60000);
    }

    void compareWithDisk()
    {
        QVERIFY(settle());
        QSet<QByteArray> real;
        realPaths(v_, QByteArray(), real);
        QList<QByteArray> expected(real.begin(), real.end());
        std::sort(expected.begin(), expected.end());
        const QList<QByteArray> model = modelPaths();  // a stale record would show as a duplicate
        QVERIFY2(model == expected, ("model: " + model.join(' ') + "\ndisk:  " + expected.join(' ')).constData());
    }

    void startMonitor()
    {
        journal_.reset(new ChangeJournal);
        // The reader first: it keeps the journal alive while the state is read.
        journal_->setReader(mp_, JournalBackend::instance().createReader(mp_));
        const JournalState state = queryJournalData(mp_);
        model_.clear();
        MFTReader reader;
        reader.read(mp_, nullptr, [this](const VolumeEntryBatch& b) {
            for (size_t i = 0; i < b.size(); ++i) {
                const VolumeEntry& e = b.entries[i];
                model_.insert(e.inode, Node{e.parent, QByteArray(b.name(i), b.nameLength(i)), e.isDir});
                if (e.parent == 0)
                    root_ = e.inode;
            }
        });
        follow(journal_.get(), state.nextUsn);
    }

    // Applies the monitor's records to the model from `usn` on.
    void follow(ChangeJournal* journal, USN usn)
    {
        auto put = [this](FRN f, FRN p, const QString& n, bool d) {
            std::lock_guard<std::mutex> g(mutex_);
            model_.insert(f, Node{p, fileNameToBytes(n), d});
        };
        connect(journal, &ChangeJournal::fileAdded, this, put, Qt::DirectConnection);
        connect(journal, &ChangeJournal::fileRenamed, this, put, Qt::DirectConnection);
        connect(journal, &ChangeJournal::fileDeleted, this, [this](FRN f, bool) {
            std::lock_guard<std::mutex> g(mutex_);
            model_.remove(f);
        }, Qt::DirectConnection);
        journal->start(usn);
    }

private slots:
    void initTestCase()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (fanotify, private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        holder_ = new QTemporaryDir;
        Logger::instance(holder_->filePath(QStringLiteral("test.log")));
        v_ = QFile::encodeName(holder_->path()) + "/vol";
        QVERIFY(::mkdir(v_.constData(), 0755) == 0);
        QVERIFY(::mount("tmpfs", v_.constData(), "tmpfs", 0, "size=64m") == 0);
        mp_ = QFile::decodeName(v_);
        QVERIFY(::mkdir((v_ + "/before").constData(), 0755) == 0);
        QVERIFY(touchFile(v_ + "/before/old.txt"));
        startMonitor();
    }

    void cleanupTestCase()
    {
        if (!holder_)
            return;
        journal_.reset();
        ::umount2(v_.constData(), MNT_DETACH);
        delete holder_;
    }

    void enumerationMatchesDisk() { compareWithDisk(); }

    // Each function below builds the tree it changes, so it also passes when run alone.
    void createFilesAndFolders()
    {
        QVERIFY(::mkdir((v_ + "/docs").constData(), 0755) == 0);
        QVERIFY(::mkdir((v_ + "/docs/deep").constData(), 0755) == 0);
        QVERIFY(touchFile(v_ + "/docs/deep/report.pdf"));
        QVERIFY(touchFile(v_ + "/docs/\xff-raw"));
        QVERIFY(::symlink("docs", (v_ + "/link").constData()) == 0);
        compareWithDisk();
    }

    void renameAndMoveAFolderWithDescendants()
    {
        QVERIFY(::mkdir((v_ + "/moved").constData(), 0755) == 0);
        QVERIFY(::mkdir((v_ + "/moved/deep").constData(), 0755) == 0);
        QVERIFY(touchFile(v_ + "/moved/deep/report.pdf"));
        QVERIFY(::mkdir((v_ + "/moved-before").constData(), 0755) == 0);
        QVERIFY(touchFile(v_ + "/moved-before/old.txt"));
        compareWithDisk();
        QVERIFY(::rename((v_ + "/moved/deep/report.pdf").constData(), (v_ + "/moved/deep/final.pdf").constData()) == 0);
        compareWithDisk();
        QVERIFY(::mkdir((v_ + "/archive").constData(), 0755) == 0);
        QVERIFY(::rename((v_ + "/moved").constData(), (v_ + "/archive/docs-2026").constData()) == 0);
        compareWithDisk();
        QVERIFY(::rename((v_ + "/moved-before").constData(), (v_ + "/archive/docs-2026/deep/before").constData()) == 0);
        compareWithDisk();
    }

    void deleteAndRemoveATree()
    {
        QVERIFY(::mkdir((v_ + "/doomed").constData(), 0755) == 0);
        QVERIFY(::mkdir((v_ + "/doomed/deep").constData(), 0755) == 0);
        QVERIFY(::symlink("doomed", (v_ + "/doomed-link").constData()) == 0);
        compareWithDisk();
        QVERIFY(::unlink((v_ + "/doomed-link").constData()) == 0);
        compareWithDisk();
        for (int i = 0; i < 20; ++i)
            QVERIFY(touchFile(v_ + "/doomed/deep/many" + QByteArray::number(i)));
        compareWithDisk();
        QVERIFY(QDir(QFile::decodeName(v_ + "/doomed")).removeRecursively() || ::system(("rm -rf '" + v_ + "/doomed'").constData()) == 0);
        QVERIFY(!QFile::exists(QFile::decodeName(v_ + "/doomed")));
        compareWithDisk();
    }

    void renameOverAnExistingFile()
    {
        QVERIFY(touchFile(v_ + "/a.txt"));
        QVERIFY(touchFile(v_ + "/b.txt"));
        compareWithDisk();
        QVERIFY(::rename((v_ + "/a.txt").constData(), (v_ + "/b.txt").constData()) == 0);
        compareWithDisk();
    }

    // Changes made faster than the monitor reads them, so events are queued and merged.
    void burstsOfMergedChanges()
    {
        journal_->stop();  // hold delivery while the burst happens
        const USN resume = journal_->lastUsn();
        auto* fresh = new ChangeJournal;
        fresh->setReader(mp_, JournalBackend::instance().createReader(mp_));
        // create, rename away, rename back, unlink: nothing remains
        QVERIFY(touchFile(v_ + "/t"));
        QVERIFY(::rename((v_ + "/t").constData(), (v_ + "/u").constData()) == 0);
        QVERIFY(::rename((v_ + "/u").constData(), (v_ + "/t").constData()) == 0);
        QVERIFY(::unlink((v_ + "/t").constData()) == 0);
        // a folder created, filled, renamed and moved
        QVERIFY(::mkdir((v_ + "/n").constData(), 0755) == 0);
        QVERIFY(touchFile(v_ + "/n/x"));
        QVERIFY(::rename((v_ + "/n").constData(), (v_ + "/m").constData()) == 0);
        QVERIFY(::mkdir((v_ + "/p").constData(), 0755) == 0);
        QVERIFY(::rename((v_ + "/m").constData(), (v_ + "/p/m").constData()) == 0);
        // a name reused by a new object
        QVERIFY(touchFile(v_ + "/reuse"));
        QVERIFY(::unlink((v_ + "/reuse").constData()) == 0);
        QVERIFY(::mkdir((v_ + "/reuse").constData(), 0755) == 0);
        std::unique_ptr<ChangeJournal> old(journal_.release());
        journal_.reset(fresh);
        follow(fresh, resume);
        compareWithDisk();
    }

    // Lost events (kernel queue overflow) make the monitor report the journal as failed, and the
    // failure is logged: the volume must be rebuilt.
    void overflowIsReportedForARebuild()
    {
        testutil::ThreadSafeSpy failed(journal_.get(), &ChangeJournal::journalFailed);
        std::shared_ptr<FanotifyJournal> j = FanotifyJournal::acquire(mp_);
        QVERIFY(settle());
        j->pauseDrain(true);
        const int queueLimit = fanotifyQueueLimit();
        QVERIFY(::mkdir((v_ + "/flood").constData(), 0755) == 0);
        for (int i = 0; i < queueLimit + 10; ++i)
            QVERIFY(touchFile(v_ + "/flood/f" + QByteArray::number(i)));
        j->pauseDrain(false);
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 10000);
        QCOMPARE(failed.at(0)[0].toString(), mp_);
        QTRY_VERIFY(!journal_->isRunning());
        const QString text = indexLogText();
        QVERIFY(text.contains(QStringLiteral("\tERROR\tChangeJournal\tJournal of %1 failed").arg(mp_)));
        QVERIFY(text.contains(QStringLiteral("(event queue overflow)")));

        // The rebuild: enumerate again and follow the journal from its current position.
        journal_->stop();
        startMonitor();
        compareWithDisk();
        QVERIFY(touchFile(v_ + "/after-rebuild"));
        compareWithDisk();
    }
};

QTEST_GUILESS_MAIN(JournalMonitorTest)
#include "tst_journalmonitor.moc"
