// Searches over real mounts of the usual layouts (root, in a private mount namespace), every
// answer compared with `find`: a btrfs file system with the subvolumes @, @home and one nested
// in @, mounted as a system mounts them (@ and @home as subvolumes, the top level elsewhere);
// an ext4 disk with a bind mount of one of its folders; tmpfs. The whole tree lies on an
// indexed tmpfs, so the index answers for the volumes it serves and the rest is walked: the
// btrfs subvolume mounts (the file system refuses them a whole-volume mark, so their index
// fails), the subvolumes nested in the indexed top level, the bind mount.
#include "platform/LinuxVolumeLayer.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/DirectorySearcher.h"
#include "search/engine/FileSearch.h"
#include "search/index/NTFSFileSearcher.h"
#include "tests/engine/enginetest.h"
#include "threadsafespy.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>

using namespace enginetest;

namespace {

// Runs a tool without its chatter; true when it succeeded.
bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Every path below `folder` as `find` prints it, sorted.
QStringList find(const QString& folder)
{
    QProcess p;
    p.start(QStringLiteral("find"), {folder, QStringLiteral("-mindepth"), QStringLiteral("1"), QStringLiteral("-print0")});
    p.waitForFinished(120000);
    QStringList out;
    for (const QByteArray& path : p.readAllStandardOutput().split('\0'))
        if (!path.isEmpty())
            out << QFile::decodeName(path);
    out.sort();
    return out;
}

} // namespace

class TestVolumeLayouts : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString top; // the indexed tmpfs every other mount lies in
    QStringList mounted;
    std::unique_ptr<NTFSFileSearcher> index;

    bool mount(const QString& source, const QString& target, const char* type, unsigned long flags,
               const QByteArray& options = QByteArray())
    {
        if (!QDir().mkpath(target))
            return false;
        if (::mount(QFile::encodeName(source).constData(), QFile::encodeName(target).constData(), type, flags,
                    options.isEmpty() ? nullptr : options.constData())
            != 0)
            return false;
        mounted.prepend(target);
        return true;
    }

    bool image(const QString& name, const QString& mkfs, const QStringList& args)
    {
        const QString path = tmp.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(160) << 20))
            return false;
        file.close();
        return run(mkfs, args + QStringList{path});
    }

    bool loopMount(const QString& name, const QString& target, const QString& options)
    {
        if (!QDir().mkpath(target))
            return false;
        if (!run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop,") + options, tmp.filePath(name), target}))
            return false;
        mounted.prepend(target);
        return true;
    }

    static void write(const QString& path)
    {
        QVERIFY2(testutil::writeFile(path, "x"), qPrintable(path));
    }

    // Runs a name search to its end; the found paths, sorted.
    QStringList search(FileSearchRequest& request)
    {
        DirectorySearcher directories;
        ContentSearcher contents(nullptr, tmp.filePath("work"));
        ResultStore results;
        FileSearch search(index.get(), &directories, &contents, nullptr, &request, &results);
        testutil::ThreadSafeSpy finished(&search, &FileSearch::finished);
        search.start();
        (void)QTest::qWaitFor([&] { return finished.count() > 0; }, 120000);
        return paths(results);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("test.log")));
        if (!testutil::isRoot())
            QSKIP("needs root (mounts in a private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        for (const char* tool : {"mkfs.btrfs", "mkfs.ext4", "btrfs"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("needs %1").arg(QLatin1String(tool))));

        top = tmp.filePath(QStringLiteral("top"));
        QVERIFY(mount(QStringLiteral("tmpfs"), top, "tmpfs", 0, "size=64m"));
        write(top + "/hit-top.txt");

        // btrfs: the top level holds @ and @home, @ holds a nested subvolume.
        QVERIFY(image(QStringLiteral("btrfs.img"), QStringLiteral("mkfs.btrfs"), {QStringLiteral("-q"), QStringLiteral("-f")}));
        const QString staging = tmp.filePath(QStringLiteral("staging"));
        QVERIFY(loopMount(QStringLiteral("btrfs.img"), staging, QStringLiteral("subvolid=5")));
        for (const QString& subvolume : {staging + "/@", staging + "/@home", staging + "/@/srv/nested"}) {
            QVERIFY(QDir().mkpath(QFileInfo(subvolume).path()));
            QVERIFY(run(QStringLiteral("btrfs"), {QStringLiteral("-q"), QStringLiteral("subvolume"), QStringLiteral("create"), subvolume}));
        }
        write(staging + "/@/etc/hit-root.conf");
        write(staging + "/@/srv/nested/hit-nested.txt");
        write(staging + "/@/srv/nested/deeper/hit-deeper.txt");
        write(staging + "/@home/me/hit-home.txt");
        write(staging + "/hit-toplevel.txt");
        QVERIFY(::umount2(QFile::encodeName(staging).constData(), 0) == 0);
        mounted.removeAll(staging);
        QVERIFY(loopMount(QStringLiteral("btrfs.img"), top + "/root", QStringLiteral("subvol=@")));
        QVERIFY(loopMount(QStringLiteral("btrfs.img"), top + "/root/home", QStringLiteral("subvol=@home")));
        QVERIFY(loopMount(QStringLiteral("btrfs.img"), top + "/pool", QStringLiteral("subvolid=5")));

        // ext4 with a bind mount of one of its folders, and a tmpfs.
        QVERIFY(image(QStringLiteral("ext4.img"), QStringLiteral("mkfs.ext4"), {QStringLiteral("-q"), QStringLiteral("-F")}));
        QVERIFY(loopMount(QStringLiteral("ext4.img"), top + "/data", QStringLiteral("rw")));
        write(top + "/data/projects/hit-project.txt");
        write(top + "/data/hit-data.txt");
        QVERIFY(mount(top + "/data/projects", top + "/work", nullptr, MS_BIND));
        QVERIFY(mount(QStringLiteral("tmpfs"), top + "/scratch", "tmpfs", 0, "size=8m"));
        write(top + "/scratch/hit-scratch.txt");

        // Every one of them chosen for the index.
        LinuxVolumeLayer layer;
        IndexingSettings settings;
        for (const QString& mp : {top, top + "/root", top + "/root/home", top + "/pool", top + "/data", top + "/scratch"}) {
            const quint32 serial = layer.volumeSerial(mp);
            QVERIFY(serial != 0);
            QVERIFY2(!settings.indexDrives.contains(serial), qPrintable(mp));
            settings.indexDrives.append(serial);
        }
        settings.excludePaths = QStringList{QStringLiteral(".git")};
        settings.autoAddFixed = false;
        settings.autoAddRemovable = false;
        settings.dbPath = tmp.filePath(QStringLiteral("db"));
        QVERIFY(QDir().mkpath(settings.dbPath));
        index.reset(new NTFSFileSearcher);
        bool stop = false;
        index->init(&stop, settings);
    }

    void cleanupTestCase()
    {
        index.reset();
        for (const QString& mp : mounted)
            ::umount2(QFile::encodeName(mp).constData(), MNT_DETACH);
    }

    // Which volumes the index holds: the subvolume mounts are refused.
    void indexHoldsWhatItCanFollow()
    {
        QMap<QString, int> counts;
        index->indexedCounts(counts);
        QStringList held = counts.keys();
        for (QString& mp : held)
            mp = mp.mid(top.size());
        held.sort();
        QCOMPARE(held, QStringList({QString(), "/data", "/pool", "/scratch"}));

        // The states say so: the subvolume mounts are walked (their watch refused), the others
        // indexed; the bind mount is no volume of its own.
        QStringList states;
        LinuxVolumeLayer layer;
        for (const VolumeState& s : withWalkedVolumes(index->volumeStates(), layer.volumes())) {
            if (s.mountPoint.startsWith(top))
                states << QStringLiteral("%1 %2 %3")
                              .arg(s.mountPoint.mid(top.size()))
                              .arg(int(s.state))
                              .arg(s.reason);
        }
        QCOMPARE(states, QStringList({" 0 0", "/data 0 0", "/pool 0 0", "/root 3 3", "/root/home 3 3", "/scratch 0 0"}));
    }

    // Every file of every layout is found, through the index or by a walk, once.
    void everyFileIsFound()
    {
        FileSearchRequest request;
        request.fileName = QStringLiteral("*");
        request.includePaths = QStringList{top};
        request.includeSubfolders = true;
        QCOMPARE(search(request), find(top));

        request.fileName = QStringLiteral("hit*");
        QStringList hits = search(request);
        for (QString& hit : hits)
            hit = hit.mid(top.size());
        QCOMPARE(hits, QStringList({"/data/hit-data.txt", "/data/projects/hit-project.txt", "/hit-top.txt",
                                    "/pool/@/etc/hit-root.conf", "/pool/@/srv/nested/deeper/hit-deeper.txt",
                                    "/pool/@/srv/nested/hit-nested.txt", "/pool/@home/me/hit-home.txt",
                                    "/pool/hit-toplevel.txt", "/root/etc/hit-root.conf",
                                    "/root/home/me/hit-home.txt", "/root/srv/nested/deeper/hit-deeper.txt",
                                    "/root/srv/nested/hit-nested.txt", "/scratch/hit-scratch.txt",
                                    "/work/hit-project.txt"}));
    }

    // Include folders inside a nested subvolume, a subvolume mount and the indexed top level
    // are answered for what lies in them only; excluding a nested subvolume's folder leaves
    // out that folder only.
    void includeAndExcludeInsideSubvolumes()
    {
        for (const QString& folder : {top + "/pool/@/srv/nested", top + "/pool/@", top + "/root/srv", top + "/pool",
                                      top + "/data/projects"}) {
            FileSearchRequest request;
            request.fileName = QStringLiteral("*");
            request.includePaths = QStringList{folder};
            request.includeSubfolders = true;
            QCOMPARE(search(request), find(folder));
        }
        FileSearchRequest request;
        request.fileName = QStringLiteral("hit*");
        request.includePaths = QStringList{top + "/pool"};
        request.excludePaths = QStringList{top + "/pool/@/srv/nested/deeper"};
        request.includeSubfolders = true;
        QStringList hits = search(request);
        QCOMPARE(hits.size(), 4);
        QVERIFY(!hits.contains(top + "/pool/@/srv/nested/deeper/hit-deeper.txt"));
        QVERIFY(hits.contains(top + "/pool/hit-toplevel.txt"));
    }

    // One request, one answer: the same tree on an indexed volume and on a walked one gives the
    // same objects for every kind of exclusion (a name in another letter case, a run of names,
    // a file's path, a name of the index settings), with and without subfolders.
    void sameAnswerByEitherRoute()
    {
        const QStringList trees{top + "/scratch/tree", top + "/root/tree"}; // indexed, walked
        for (const QString& tree : trees) {
            for (const char* f : {"/a.py", "/__pycache__/a.pyc", "/pkg/__PyCache__/b.pyc", "/pkg/b.py",
                                  "/build/tmp/x.o", "/build/keep.o", "/notes/secret.txt", "/notes/public.txt",
                                  "/.git/config", "/Private/p.txt", "/privateer.txt"})
                write(tree + f);
        }
        QMap<QString, int> counts;
        index->indexedCounts(counts);
        QVERIFY(counts.contains(top + "/scratch") && !counts.contains(top + "/root"));
        for (const bool subfolders : {true, false}) {
            QList<QStringList> answers;
            for (const QString& tree : trees) {
                FileSearchRequest request;
                request.fileName = QStringLiteral("*");
                request.includePaths = QStringList{tree};
                request.includeSubfolders = subfolders;
                request.excludePaths = QStringList{"__pycache__", "build/tmp", tree + "/notes/secret.txt", "private"};
                // The journal brings the new files into the index.
                QStringList found;
                QDeadlineTimer deadline(30000);
                do {
                    found = search(request);
                    for (QString& path : found)
                        path = path.mid(tree.size());
                } while (subfolders && !found.contains("/notes/public.txt") && !deadline.hasExpired()
                         && (QTest::qWait(50), true)); // searches again until the index has it
                answers << found;
            }
            const QStringList expected = subfolders
                ? QStringList{"/a.py", "/build", "/build/keep.o", "/notes", "/notes/public.txt", "/pkg", "/pkg/b.py",
                              "/privateer.txt"}
                : QStringList{"/a.py", "/build", "/notes", "/pkg", "/privateer.txt"};
            QCOMPARE(answers.at(0), expected);
            QCOMPARE(answers.at(1), expected);
        }
    }

    // The index follows what is visible where, not only mounts that come and go: a disk
    // uncovered by the mount over it leaving, and a bind mount left as its disk's only mount.
    // (Last: it changes the mounts.)
    void indexFollowsWhatIsVisible()
    {
        const auto held = [this] {
            QMap<QString, int> counts;
            index->indexedCounts(counts);
            return counts;
        };
        const QString data = top + "/data", work = top + "/work";
        QVERIFY(held().contains(data));
        QVERIFY(!held().contains(work)); // a folder of /data shown again
        QVERIFY(mount(QStringLiteral("tmpfs"), data, "tmpfs", 0, "size=1m"));
        QTRY_VERIFY_WITH_TIMEOUT(!held().contains(data), 60000);
        QVERIFY(::umount2(QFile::encodeName(data).constData(), 0) == 0);
        mounted.removeOne(data);
        QTRY_VERIFY_WITH_TIMEOUT(held().contains(data), 60000);
        FileSearchRequest request;
        request.fileName = QStringLiteral("*");
        request.includePaths = QStringList{data};
        QCOMPARE(search(request), find(data));

        QVERIFY(::umount2(QFile::encodeName(data).constData(), MNT_DETACH) == 0);
        mounted.removeOne(data);
        QTRY_VERIFY_WITH_TIMEOUT(held().contains(work) && !held().contains(data), 60000);
        request.includePaths = QStringList{work};
        QCOMPARE(search(request), find(work));
    }
};

QTEST_GUILESS_MAIN(TestVolumeLayouts)
#include "tst_volumelayouts.moc"
