// Folder walking: breadth-first order, exclusions, links never followed, special files,
// pseudo file systems, path joining, and the folder search built on it.
#include "core/FileNameCodec.h"
#include "core/Logger.h"
#include "platform/LinuxVolumeLayer.h"
#include "platform/MountTable.h"
#include "search/engine/DirectoryEnumerator.h"
#include "search/engine/DirectorySearcher.h"
#include "search/engine/FolderWalker.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "storedresults.h"
#include "testutil.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "search/index/NTFSUtils.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

class TestFolderWalker : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString root;

    QStringList walkAll(FolderWalker& walker, QList<bool>* dirs = nullptr)
    {
        QStringList out;
        for (QString p = walker.next(); !p.isEmpty(); p = walker.next()) {
            out << p;
            if (dirs)
                dirs->append(walker.isCurrentDirectory());
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.path() + QStringLiteral("/walk.log"));
        root = tmp.path() + QStringLiteral("/tree");
        // tree/a.txt, tree/Sub/b.txt, tree/Sub/Deep/c.txt, tree/.SVN/x, tree/sub2/.svn/y
        QVERIFY(testutil::writeFile(root + "/a.txt", "a"));
        QVERIFY(testutil::writeFile(root + "/Sub/b.txt", "b"));
        QVERIFY(testutil::writeFile(root + "/Sub/Deep/c.txt", "c"));
        QVERIFY(testutil::writeFile(root + "/.SVN/x", "x"));
        QVERIFY(testutil::writeFile(root + "/sub2/.svn/y", "y"));
        QVERIFY(testutil::writeFile(root + "/sub2/back\\slash.txt", "z"));
        QVERIFY(QFile::link(root + "/Sub", root + "/linkToSub"));
        QVERIFY(QFile::link(root, root + "/Sub/Deep/loop"));
        QCOMPARE(::mkfifo(QFile::encodeName(root + "/fifo").constData(), 0600), 0);
    }

    void breadthFirstAndComplete()
    {
        FolderWalker walker({root}, {}, true);
        QList<bool> dirs;
        const QStringList all = walkAll(walker, &dirs);
        // Every entry of a folder comes before any entry of a deeper folder.
        auto depth = [&](const QString& p) { return p.count(QLatin1Char('/')); };
        for (int i = 1; i < all.size(); ++i)
            QVERIFY2(depth(all[i - 1]) <= depth(all[i]), qPrintable(all.join("\n")));
        // Each entry with "/" when it was a folder. Links are entries, never folders: nothing
        // below linkToSub or loop is listed.
        QStringList seen;
        for (int i = 0; i < all.size(); ++i)
            seen << all[i].mid(root.size()) + (dirs[i] ? "/" : "");
        seen.sort();
        QCOMPARE(seen, QStringList({"/.SVN/", "/.SVN/x", "/Sub/", "/Sub/Deep/", "/Sub/Deep/c.txt",
                                    "/Sub/Deep/loop", "/Sub/b.txt", "/a.txt", "/fifo", "/linkToSub",
                                    "/sub2/", "/sub2/.svn/", "/sub2/.svn/y", "/sub2/back\\slash.txt"}));
    }

    void nameAndFolderOfCurrent()
    {
        FolderWalker walker({root + "/sub2"}, {}, false);
        QStringList names;
        for (QString p = walker.next(); !p.isEmpty(); p = walker.next()) {
            QCOMPARE(walker.currentFolder(), root + "/sub2");
            QCOMPARE(walker.currentFolder() + "/" + walker.currentName(), p);
            names << walker.currentName();
        }
        names.sort();
        // "\" is an ordinary character of a name, never a separator.
        QCOMPARE(names, QStringList({".svn", "back\\slash.txt"}));
    }

    void exclusions()
    {
        // A name: every object of that name (any case) is left out with its contents.
        FolderWalker walker({root}, {".svn"}, true);
        const QStringList all = walkAll(walker);
        for (const QString& p : all)
            QVERIFY2(!p.contains(".svn", Qt::CaseInsensitive), qPrintable(p));
        QVERIFY(all.contains(root + "/Sub/Deep/c.txt"));
        // Whole names only; files too; without subfolders as well.
        FolderWalker part({root}, {"sub", "B.TXT"}, true);
        const QStringList rest = walkAll(part);
        QVERIFY(!rest.contains(root + "/Sub/b.txt") && !rest.contains(root + "/Sub"));
        QVERIFY(rest.contains(root + "/sub2/back\\slash.txt"));
        FolderWalker flat({root + "/sub2"}, {".svn"}, false);
        QVERIFY(!walkAll(flat).contains(root + "/sub2/.svn"));
        // A path: that object and what lies below it; a run of names anywhere.
        FolderWalker paths({root}, {root + "/Sub/Deep/c.txt", root + "/sub2/", "sub/deep"}, true);
        const QStringList left = walkAll(paths);
        QCOMPARE(left.filter(root + "/Sub").size(), 2); // Sub and Sub/b.txt
        QVERIFY(left.filter(root + "/sub2").isEmpty());

        // An excluded start folder is passed over; an empty exclude entry excludes nothing.
        FolderWalker excludedStart({root + "/sub2", root + "/Sub"}, {"SUB2"}, true);
        const QStringList some = walkAll(excludedStart);
        QVERIFY(!some.isEmpty());
        for (const QString& p : some)
            QVERIFY(p.startsWith(root + "/Sub/"));
        FolderWalker everything({root}, {QStringLiteral("/")}, true);
        QVERIFY(walkAll(everything).isEmpty()); // "/" is a path above everything
        FolderWalker emptyEntry({root}, {QString()}, true);
        QCOMPARE(walkAll(emptyEntry).size(), 14);
    }

    void startFolderTwiceAndEdges()
    {
        // A start folder plus one of its own subfolders lists that subfolder twice.
        FolderWalker walker({root + "/Sub", root + "/Sub/Deep"}, {}, true);
        QCOMPARE(walkAll(walker).count(root + "/Sub/Deep/c.txt"), 2);

        FolderWalker none({}, {}, true);
        QVERIFY(none.next().isEmpty());
        FolderWalker missing({root + "/nothing", QString(), root + "/a.txt"}, {}, true);
        QVERIFY(missing.next().isEmpty());

        // A start folder written with a trailing "/" gives single separators.
        FolderWalker trailing({root + "/Sub/"}, {}, false);
        const QStringList entries = walkAll(trailing);
        QVERIFY(entries.contains(root + "/Sub/b.txt"));
        FolderWalker rootWalker({"/"}, {}, false);
        const QString first = rootWalker.next();
        QVERIFY(first.startsWith("/") && !first.startsWith("//"));
        QCOMPARE(rootWalker.currentFolder(), QString());
    }

    // A folder the walk cannot list is logged with its reason: the first few each, then how
    // many there were. A subfolder that vanished since it was found is simply gone.
    void unreadableFoldersAreLogged()
    {
        auto logText = [] {
            const QByteArray bytes = testutil::readFile(Logger::instance().filePath());
            return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
        };
        Logger::instance().truncate();
        QStringList starts;
        for (int i = 0; i < FolderWalker::kLoggedFailures + 5; ++i)
            starts << root + QStringLiteral("/missing%1").arg(i);
        starts << root + "/a.txt" << root + "/Sub";
        FolderWalker walker(starts, {}, true);
        QCOMPARE(walkAll(walker).size(), 4); // Sub's b.txt and Deep, Deep's c.txt and loop
        const QString log = logText();
        QCOMPARE(log.count(QStringLiteral("\tWARNING\tFolderWalker\tFolder not listed: ")), FolderWalker::kLoggedFailures);
        QVERIFY(log.contains(QStringLiteral("\tFolder not listed: %1/missing0 (No such file or directory)\r\n").arg(root)));
        QVERIFY(!log.contains(QStringLiteral("/missing%1 ").arg(FolderWalker::kLoggedFailures)));
        QVERIFY(log.endsWith(QStringLiteral("\tWARNING\tFolderWalker\t%1 folders could not be listed (the first %2 are logged above)\r\n")
                                 .arg(FolderWalker::kLoggedFailures + 6)
                                 .arg(FolderWalker::kLoggedFailures)));

        Logger::instance().truncate();
        FolderWalker few({root + "/a.txt"}, {}, true);
        QVERIFY(walkAll(few).isEmpty());
        QVERIFY(logText().endsWith(QStringLiteral("Folder not listed: %1/a.txt (Not a directory)\r\n").arg(root)));

        // Deep is found, then removed before it is listed: nothing to log.
        const QString gone = tmp.path() + "/gone";
        QVERIFY(testutil::writeFile(gone + "/Deep/x", "x"));
        Logger::instance().truncate();
        FolderWalker vanishing({gone}, {}, true);
        QCOMPARE(vanishing.next(), gone + "/Deep");
        QVERIFY(QDir(gone + "/Deep").removeRecursively());
        QVERIFY(vanishing.next().isEmpty());
        QVERIFY(logText().isEmpty());
    }

    void pseudoFileSystems()
    {
        DirectoryEnumerator e;
        e.setFolder("/proc", true);
        QVERIFY(e.next().isEmpty());
        e.setFolder("/proc", false);
        QVERIFY(!e.next().isEmpty());
        // Named as a start folder, /proc is listed; as a subfolder of "/" it is not descended.
        FolderWalker start({"/proc"}, {}, false);
        QVERIFY(!start.next().isEmpty());
    }

    // The walk and the volume layer use one list of kernel pseudo file systems: a folder on
    // any of them yields nothing to a walk (mqueue and binfmt_misc mounted here for the test),
    // and every mounted file system the walk skips is no volume.
    void pseudoFileSystemsAreOneList()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (mounts)");
        TQ_ENTER_PRIVATE_MOUNTS();
        QTemporaryDir dir;
        for (const char* type : {"mqueue", "binfmt_misc"}) {
            const QString point = dir.path() + QLatin1Char('/') + QLatin1String(type);
            QVERIFY(QDir().mkpath(point));
            if (::mount("none", QFile::encodeName(point).constData(), type, 0, nullptr) != 0)
                QSKIP(qPrintable(QStringLiteral("cannot mount %1").arg(QLatin1String(type))));
            struct statfs fs;
            QVERIFY(::statfs(QFile::encodeName(point).constData(), &fs) == 0);
            QVERIFY2(DirectoryEnumerator::isPseudoFileSystemType(long(fs.f_type)), type);
            QVERIFY2(LinuxVolumeLayer::isPseudoFsType(type), type);
            DirectoryEnumerator e;
            e.setFolder(point, true);
            QVERIFY2(e.next().isEmpty(), type);
        }
        for (const MountEntry& m : MountTable::read(QStringLiteral("/proc/self/mountinfo"))) {
            struct statfs fs;
            if (::statfs(m.mountPoint.constData(), &fs) != 0)
                continue;
            if (DirectoryEnumerator::isPseudoFileSystemType(long(fs.f_type)))
                QVERIFY2(LinuxVolumeLayer::isPseudoFsType(m.fsType), m.fsType.constData());
            if (LinuxVolumeLayer::isKernelPseudoFs(m.fsType) && m.fsType != "devtmpfs")
                QVERIFY2(DirectoryEnumerator::isPseudoFileSystemType(long(fs.f_type)), m.fsType.constData());
        }
    }

    void folderSearch()
    {
        FileSearchRequest request;
        request.fileName = "*.txt";
        request.includePaths = QStringList{root};
        ResultStore results;
        DirectorySearcher searcher;
        searcher.walkDirectories(&request, &results, {});
        QStringList found;
        for (const QString& path : testutil::storedPaths(results))
            found << path;
        found.sort();
        QCOMPARE(found, QStringList({root + "/Sub/Deep/c.txt", root + "/Sub/b.txt", root + "/a.txt",
                                     root + "/sub2/back\\slash.txt"}));

        // Folders match too and are listed as folders.
        request.fileName = "sub";
        ResultStore dirs;
        searcher.walkDirectories(&request, &dirs, {});
        QCOMPARE(dirs.sizes().dirs, 2); // Sub, sub2
        QCOMPARE(dirs.sizes().files, 1); // the link linkToSub is no folder

        // Include folders on an indexed volume are left to the index; none: nothing walked.
        ResultStore skipped;
        request.fileName.clear();
        searcher.walkDirectories(&request, &skipped, {QStringLiteral("/"), volumeOf(root)});
        QCOMPARE(skipped.itemCount(), 0);
        request.includePaths.clear();
        searcher.walkDirectories(&request, &skipped, {});
        QCOMPARE(skipped.itemCount(), 0);

        // A cancelled request stops the walk without an error.
        request.includePaths = QStringList{root};
        request.canceled = true;
        ResultStore cancelled;
        searcher.walkDirectories(&request, &cancelled, {});
        QCOMPARE(cancelled.itemCount(), 0);
    }

    void namesThatAreNotUtf8()
    {
        // Names are bytes: one that is not UTF-8 is listed, matched and turned back into the
        // same bytes.
        const QString odd = tmp.path() + "/odd";
        QVERIFY(QDir().mkpath(odd));
        const QByteArray raw = QFile::encodeName(odd) + "/bad\xff\xfe.txt";
        const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        FolderWalker walker({odd}, {}, true);
        const QString path = walker.next();
        QVERIFY(!path.isEmpty());
        QCOMPARE(FileNameCodec::encode(path), raw);
        QVERIFY(walker.next().isEmpty());

        FileSearchRequest request;
        request.fileName = "*.txt";
        request.includePaths = QStringList{odd};
        ResultStore results;
        DirectorySearcher().walkDirectories(&request, &results, {});
        ::unlink(raw.constData()); // QTemporaryDir cannot remove a name it cannot decode
        QCOMPARE(results.itemCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestFolderWalker)
#include "tst_folderwalker.moc"
