// The parallel getdents64 walk: completeness, parent links, mounts, unreadable folders, raw names,
// failures and cancellation.
#include "platform/VolumeWalker.h"
#include "core/FileSearchException.h"
#include "testutil.h"

#include <QDir>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <functional>
#include <cstring>
#include <dirent.h>
#include <ftw.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Item
{
    quint64 parent;
    QByteArray name;
    bool isDir;
    bool operator==(const Item& o) const { return parent == o.parent && name == o.name && isDir == o.isDir; }
};

quint64 inodeOf(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

bool touch(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// The reference: every object below `dir` by a plain recursive readdir + lstat walk on raw
// byte names.
void reference(const QByteArray& dir, quint64 dirIno, QHash<quint64, Item>& out)
{
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return;
    while (struct dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = dir + '/' + name;
        struct stat st;
        if (::lstat(path.constData(), &st) != 0)
            continue;
        const bool isDir = S_ISDIR(st.st_mode);
        out.insert(st.st_ino, Item{dirIno, name, isDir});
        if (isDir)
            reference(path, st.st_ino, out);
    }
    ::closedir(d);
}

// Runs its action when the scope ends, however the test leaves it.
struct Finally
{
    std::function<void()> action;
    ~Finally() { action(); }
};

int removeOne(const char* path, const struct stat*, int, struct FTW*)
{
    return ::remove(path);
}

struct Collected
{
    QVector<VolumeEntry> order;
    QHash<quint64, Item> items;
    int duplicates = 0;
    int batches = 0;
};

VolumeEntrySink collector(Collected& c)
{
    return [&c](const VolumeEntryBatch& b) {
        ++c.batches;
        for (size_t i = 0; i < b.size(); ++i) {
            const VolumeEntry& e = b.entries[i];
            if (c.items.contains(e.inode))
                ++c.duplicates;
            c.order.append(e);
            c.items.insert(e.inode, Item{e.parent, QByteArray(b.name(i), b.nameLength(i)), e.isDir});
        }
    };
}

} // namespace

class VolumeWalkerTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QByteArray root_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        // Readable by others: one test walks as an unprivileged file-system user.
        ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
        root_ = QFile::encodeName(dir_.path()) + "/tree";
        QVERIFY(::mkdir(root_.constData(), 0755) == 0);
        // About 3000 objects at uneven depths, more than one batch.
        for (int a = 0; a < 12; ++a) {
            const QByteArray da = root_ + "/a" + QByteArray::number(a);
            QVERIFY(::mkdir(da.constData(), 0755) == 0);
            for (int b = 0; b < a; ++b) {
                const QByteArray db = da + "/b" + QByteArray::number(b);
                QVERIFY(::mkdir(db.constData(), 0755) == 0);
                for (int f = 0; f < 40; ++f)
                    QVERIFY(touch(db + "/f" + QByteArray::number(f)));
            }
            for (int f = 0; f < 30; ++f)
                QVERIFY(touch(da + "/file " + QByteArray::number(f)));
        }
        QVERIFY(::mkdir((root_ + "/empty").constData(), 0755) == 0);
        QVERIFY(::symlink("a1", (root_ + "/link-to-a1").constData()) == 0);
        // Names that are not UTF-8, and names with awkward bytes.
        QVERIFY(touch(root_ + "/bad-\xff\xfe-name"));
        QVERIFY(::mkdir((root_ + "/latin1-\xe9t\xe9").constData(), 0755) == 0);
        QVERIFY(touch(root_ + "/latin1-\xe9t\xe9/back\\slash"));
        QVERIFY(touch(root_ + "/.hidden"));
    }

    void cleanupTestCase()
    {
        // QDir cannot remove names that are not UTF-8.
        ::nftw(root_.constData(), removeOne, 16, FTW_DEPTH | FTW_PHYS);
    }

    void everyEntryOnceWithParentLinks_data()
    {
        QTest::addColumn<int>("threads");
        QTest::newRow("one thread") << 1;
        QTest::newRow("four threads") << 4;
        QTest::newRow("eight threads") << 8;
    }

    void everyEntryOnceWithParentLinks()
    {
        QFETCH(int, threads);
        Collected c;
        VolumeWalker walker(threads);
        const VolumeWalker::Result r = walker.walk(QFile::decodeName(root_), "ROOTNAME", nullptr, collector(c));
        QHash<quint64, Item> expected;
        const quint64 rootIno = inodeOf(root_);
        reference(root_, rootIno, expected);
        expected.insert(rootIno, Item{0, "ROOTNAME", true});

        QCOMPARE(c.duplicates, 0);
        QCOMPARE(c.items.size(), expected.size());
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it) {
            QVERIFY2(c.items.contains(it.key()), it.value().name.constData());
            QVERIFY2(c.items.value(it.key()) == it.value(), it.value().name.constData());
        }
        // Root first, alone; every other record's parent is a reported folder.
        QCOMPARE(c.order.first().inode, rootIno);
        QCOMPARE(c.order.first().parent, quint64(0));
        for (int i = 1; i < c.order.size(); ++i) {
            QVERIFY(c.order[i].parent != 0);
            QVERIFY(c.items.value(c.order[i].parent).isDir);
        }
        QCOMPARE(r.entries, quint64(expected.size()));
        QCOMPARE(r.skippedFolders, quint64(0));
        QVERIFY(c.batches > 1);
        // The symbolic link is an entry, not followed.
        QVERIFY(!c.items.value(inodeOf(root_ + "/link-to-a1")).isDir);
        QCOMPARE(c.items.value(inodeOf(root_ + "/bad-\xff\xfe-name")).name, QByteArray("bad-\xff\xfe-name"));
    }

    void rootFailures()
    {
        Collected c;
        VolumeWalker walker;
        QVERIFY_EXCEPTION_THROWN(walker.walk(QFile::decodeName(root_ + "/missing"), "r", nullptr, collector(c)), FileSearchException);
        QVERIFY_EXCEPTION_THROWN(walker.walk(QFile::decodeName(root_ + "/a1/file 0"), "r", nullptr, collector(c)), FileSearchException);
        QCOMPARE(c.items.size(), 0);
    }

    // An I/O error part-way must fail the walk, never end it as if complete.
    void readErrorFailsTheWalk()
    {
        VolumeWalker::FolderOps ops;
        ops.openFolder = [](int dir, const char* name, const char* path) {
            return dir >= 0 ? ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                            : ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        };
        ops.readEntries = [](int fd, void* buffer, size_t size) -> long {
            char link[64], target[4096];
            std::snprintf(link, sizeof(link), "/proc/self/fd/%d", fd);
            const ssize_t n = ::readlink(link, target, sizeof(target) - 1);
            if (n > 0) {
                target[n] = 0;
                if (std::strstr(target, "/a7/b3")) {
                    errno = EIO;
                    return -1;
                }
            }
            return ::getdents64(fd, buffer, size);
        };
        VolumeWalker walker(4);
        walker.setFolderOps(ops);
        Collected c;
        bool threw = false;
        try {
            walker.walk(QFile::decodeName(root_), "r", nullptr, collector(c));
        } catch (const FileSearchCancelException&) {
            QFAIL("not a cancellation");
        } catch (const FileSearchException& e) {
            threw = true;
            QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("a7/b3")));
        }
        QVERIFY(threw);

        // Out of descriptors is a failure too, not a skipped folder.
        ops.openFolder = [](int dir, const char* name, const char* path) -> int {
            if (std::strstr(path, "/a5")) {
                errno = EMFILE;
                return -1;
            }
            return dir >= 0 ? ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                            : ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        };
        ops.readEntries = nullptr;
        walker.setFolderOps(ops);
        QVERIFY_EXCEPTION_THROWN(walker.walk(QFile::decodeName(root_), "r", nullptr, collector(c)), FileSearchException);
    }

    void unreadableFolderIsSkipped()
    {
        const QByteArray locked = root_ + "/locked";
        QVERIFY(::mkdir(locked.constData(), 0700) == 0);
        QVERIFY(touch(locked + "/inside"));
        QVERIFY(::chmod(locked.constData(), 0) == 0);
        const quint64 inside = inodeOf(locked + "/inside");
        Collected c;
        VolumeWalker::Result r;
        // Root reads everything: walk with an unprivileged file-system identity, which the
        // walker's threads inherit from this thread.
        {
            const int previous = testutil::isRoot() ? ::setfsuid(65534) : -1;
            Finally restore{[&] {
                if (previous >= 0)
                    ::setfsuid(previous);
                ::chmod(locked.constData(), 0755);
            }};
            r = VolumeWalker(4).walk(QFile::decodeName(root_), "r", nullptr, collector(c));
        }
        QVERIFY(c.items.contains(inodeOf(locked)));   // the folder itself is listed by its parent
        QVERIFY(!c.items.contains(inside));
        QCOMPARE(r.skippedFolders, quint64(1));
        QVERIFY(c.items.size() > 3000);
        QVERIFY(QDir(QFile::decodeName(locked)).removeRecursively());
    }

    // A raised cancel flag, and an exception from the consumer, stop the walk after the batch
    // under way; no further batch is delivered.
    void cancelAndConsumerFailureStopTheWalk()
    {
        bool cancel = false;
        int batches = 0;
        QVERIFY_EXCEPTION_THROWN(VolumeWalker(4).walk(QFile::decodeName(root_), "r", &cancel, [&](const VolumeEntryBatch&) {
            if (++batches == 2)
                cancel = true;
        }), FileSearchCancelException);
        QCOMPARE(batches, 2);
        batches = 0;
        QVERIFY_EXCEPTION_THROWN(VolumeWalker(4).walk(QFile::decodeName(root_), "r", nullptr, [&](const VolumeEntryBatch&) {
            if (++batches == 2)
                throw std::runtime_error("consumer failed");
        }), std::runtime_error);
        QCOMPARE(batches, 2);
    }

    // A tree deeper than PATH_MAX bytes of path is walked completely, not failed.
    void pathsLongerThanPathMax()
    {
        QTemporaryDir deep;
        QVERIFY(deep.isValid());
        const QByteArray component(200, 'd');
        int fd = ::open(QFile::encodeName(deep.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        quint64 lastFolder = 0;
        for (int level = 0; level < 30; ++level) {  // about 6000 bytes of path
            QVERIFY(::mkdirat(fd, component.constData(), 0755) == 0);
            const int next = ::openat(fd, component.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            QVERIFY(next >= 0);
            fd = next;
        }
        struct stat st;
        QVERIFY(::fstat(fd, &st) == 0);
        lastFolder = st.st_ino;
        const int file = ::openat(fd, "bottom", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(file >= 0);
        QVERIFY(::fstat(file, &st) == 0);
        ::close(file);
        ::close(fd);

        Finally remove{[&] { QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), deep.path()}); }};
        Collected c;
        const VolumeWalker::Result r = VolumeWalker(4).walk(deep.path(), "r", nullptr, collector(c));
        QCOMPARE(c.items.size(), 32);  // root, 30 folders, the file
        QVERIFY(c.items.contains(quint64(st.st_ino)));
        QCOMPARE(c.items.value(quint64(st.st_ino)).parent, lastFolder);
        QCOMPARE(r.skippedFolders, quint64(0));
    }

    // A folder that was listed and is moved elsewhere before it is read is not read where it
    // was listed, nor taken for whatever lies there now: it is reported as missed, for the
    // index to read it where the change journal says it went.
    void folderMovedDuringTheWalkIsReportedMissed()
    {
        QTemporaryDir tree;
        QVERIFY(tree.isValid());
        static QByteArray top;
        static bool moved;
        top = QFile::encodeName(tree.path());
        moved = false;
        QVERIFY(::mkdir((top + "/p").constData(), 0755) == 0);
        QVERIFY(::mkdir((top + "/q").constData(), 0755) == 0);
        QVERIFY(::mkdir((top + "/q/sub").constData(), 0755) == 0);
        QVERIFY(touch(top + "/p/in-p"));
        QVERIFY(touch(top + "/q/sub/in-q"));
        const quint64 p = inodeOf(top + "/p"), q = inodeOf(top + "/q"), inP = inodeOf(top + "/p/in-p");
        // When the first of the two folders is opened, the other one (listed, not yet read)
        // moves under a new name into the root, which was read already; a third folder takes
        // its old name.
        VolumeWalker::FolderOps ops;
        ops.openFolder = [](int dir, const char* name, const char* path) -> int {
            const QByteArray n(name);
            if (!moved && dir >= 0 && (n == "p" || n == "q")) {
                moved = true;
                const QByteArray other = n == "p" ? "q" : "p";
                ::renameat(dir, other.constData(), dir, (other + "-moved").constData());
                ::mkdirat(dir, other.constData(), 0755);
            }
            return dir >= 0 ? ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                            : ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        };
        VolumeWalker walker(1);
        walker.setFolderOps(ops);
        Collected c;
        const VolumeWalker::Result r = walker.walk(tree.path(), "r", nullptr, collector(c));
        QVERIFY(moved);
        QCOMPARE(c.duplicates, 0);
        QCOMPARE(r.missedFolders.size(), std::size_t(1));
        const quint64 missed = r.missedFolders.front();
        QVERIFY(missed == p || missed == q);
        // Listed where it was, its contents not read (nor those of the folder now in its place).
        QVERIFY(c.items.contains(missed));
        if (missed == p)
            QVERIFY(!c.items.contains(inP));
        QCOMPARE(c.items.size(), missed == p ? 5 : 4); // root, p, q and the read folder's contents
    }

    // A nested btrfs subvolume lists under its subvolume id: the first one under the root's own
    // number, later ones under numbers that objects of this volume have too. They are neither
    // reported nor entered, so the records of this volume stay its own (root, btrfs tools and
    // loop devices).
    void nestedSubvolumeIsLeftOut()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (loop mount in a private mount namespace)");
        if (QStandardPaths::findExecutable(QStringLiteral("mkfs.btrfs")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("btrfs")).isEmpty())
            QSKIP("needs the btrfs tools");
        TQ_ENTER_PRIVATE_MOUNTS();
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString image = work.filePath(QStringLiteral("btrfs.img"));
        const QByteArray mp = QFile::encodeName(work.filePath(QStringLiteral("mnt")));
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(200 << 20));
        file.close();
        QVERIFY(::mkdir(mp.constData(), 0755) == 0);
        if (QProcess::execute(QStringLiteral("mkfs.btrfs"), {QStringLiteral("-q"), QStringLiteral("-f"), image}) != 0
            || QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), image,
                                                           QFile::decodeName(mp)}) != 0)
            QSKIP("no btrfs volume can be made here");
        QVERIFY(::mkdir((mp + "/first").constData(), 0755) == 0);
        QVERIFY(touch(mp + "/first/x"));
        int made = 0;
        for (const QByteArray& sub : {QByteArray("/sub"), QByteArray("/first/sub2"), QByteArray("/sub3")}) {
            made |= QProcess::execute(QStringLiteral("btrfs"), {QStringLiteral("-q"), QStringLiteral("subvolume"),
                                                                QStringLiteral("create"), QFile::decodeName(mp + sub)});
            QVERIFY(touch(mp + sub + "/inner"));
        }
        Finally unmount{[&] { ::umount2(mp.constData(), MNT_DETACH); }};
        Collected c;
        VolumeWalker(4).walk(QFile::decodeName(mp), "r", nullptr, collector(c));
        const quint64 rootIno = inodeOf(mp), first = inodeOf(mp + "/first"), x = inodeOf(mp + "/first/x");
        QCOMPARE(made, 0);
        QCOMPARE(c.duplicates, 0);
        QVERIFY(c.items.value(rootIno) == (Item{0, "r", true}));
        QVERIFY(c.items.value(first) == (Item{rootIno, "first", true}));
        QVERIFY(c.items.value(x) == (Item{first, "x", false}));
        QCOMPARE(c.items.size(), 3);
    }

    // A mount inside the tree is listed as an entry but never entered (root only).
    void doesNotCrossMounts()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (mounting in a private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        const QByteArray mp = root_ + "/a2/mnt";
        QVERIFY(::mkdir(mp.constData(), 0755) == 0);
        const quint64 underlying = inodeOf(mp);
        QVERIFY(::mount("tmpfs", mp.constData(), "tmpfs", 0, "size=1m") == 0);
        QVERIFY(touch(mp + "/on-the-other-volume"));
        const quint64 other = inodeOf(mp + "/on-the-other-volume");
        // A bind mount of a folder of the same file system is another mount too.
        const QByteArray bind = root_ + "/a3/bind";
        QVERIFY(::mkdir(bind.constData(), 0755) == 0);
        QVERIFY(::mount((root_ + "/a4").constData(), bind.constData(), nullptr, MS_BIND, nullptr) == 0);

        Collected c;
        VolumeWalker(4).walk(QFile::decodeName(root_), "r", nullptr, collector(c));
        ::umount2(mp.constData(), MNT_DETACH);
        ::umount2(bind.constData(), MNT_DETACH);
        QCOMPARE(c.duplicates, 0);
        QVERIFY(c.items.contains(underlying));
        QVERIFY(!c.items.contains(other));
        int bindChildren = 0;
        for (const Item& i : c.items)
            if (i.parent == inodeOf(bind))
                ++bindChildren;
        QCOMPARE(bindChildren, 0);
        ::rmdir(mp.constData());
        ::rmdir(bind.constData());
    }
};

QTEST_GUILESS_MAIN(VolumeWalkerTest)
#include "tst_volumewalker.moc"
