// The session user's file identity (UserFileIdentity, AsSessionUser) and the operations on the
// session user's paths (UserFiles), with the checked save. Most of it needs root: the tests play
// a root instance working for "nobody" (PKEXEC_UID) and check what the kernel really allows.
#include "core/FileNameCodec.h"
#include "core/PrivateFolders.h"
#include "core/UserFileIdentity.h"
#include "core/UserFiles.h"
#include "testutil.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray enc(const QString& path)
{
    return FileNameCodec::encode(path);
}

struct stat statOf(const QString& path)
{
    struct stat st = {};
    if (::lstat(enc(path).constData(), &st) != 0)
        st.st_ino = 0;
    return st;
}

// The "Groups:" line of a thread's status, as the kernel has it.
QByteArray groupsOf(const QString& statusPath)
{
    const QList<QByteArray> lines = testutil::readFile(statusPath).split('\n');
    for (const QByteArray& line : lines)
        if (line.startsWith("Groups:"))
            return line.mid(7).trimmed();
    return "?";
}

QByteArray threadGroups()
{
    return groupsOf(QStringLiteral("/proc/thread-self/status"));
}

// Drops CAP_SETUID and CAP_SETGID from the calling thread's effective set (capabilities are per
// thread), so that no identity switch can succeed on it.
bool dropSetIdCapabilities()
{
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    data[0].effective &= ~((1u << CAP_SETUID) | (1u << CAP_SETGID));
    return ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace

class TestUserFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    SessionAccount nobody_;
    int counter_ = 0;

    // A home of the session user: owned by nobody, mode 0700, inside the test folder.
    QString newHome()
    {
        const QString home = dir_.path() + QStringLiteral("/home%1").arg(++counter_);
        if (!QDir().mkpath(home) || ::chown(enc(home).constData(), nobody_.uid, nobody_.gid) != 0
            || ::chmod(enc(home).constData(), 0700) != 0)
            return QString();
        return home;
    }

    // A folder of root's that nobody may pass through but not write (mode 0755), with a file.
    QString newRootFolder(QString* file)
    {
        const QString folder = dir_.path() + QStringLiteral("/root%1").arg(++counter_);
        *file = folder + QStringLiteral("/victim");
        if (!testutil::writeFile(*file, "root's\n"))
            return QString();
        ::chmod(enc(folder).constData(), 0755);
        ::chmod(enc(*file).constData(), 0644);
        return folder;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        // Others may pass through the test folder, as through /home.
        QCOMPARE(::chmod(enc(dir_.path()).constData(), 0711), 0);
        QVERIFY(SessionAccount::lookup(65534, &nobody_));
    }

    // The account lookup gives the uid, the primary group among the groups, the home.
    void accountLookup()
    {
        QCOMPARE(nobody_.uid, uid_t(65534));
        QVERIFY(std::find(nobody_.groups.begin(), nobody_.groups.end(), nobody_.gid) != nobody_.groups.end());
        QVERIFY(!nobody_.name.isEmpty());
        SessionAccount none;
        QVERIFY(!SessionAccount::lookup(uid_t(3999999999u), &none));
    }

    // The switch changes the fs uid, fs gid and the groups of the calling thread only, and the
    // previous identity comes back exactly, also after nested scopes.
    void switchIsPerThreadAndRestored()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        // Root's own groups for this thread (a root login has at least its own group).
        const gid_t rootGroups[] = {0, 4};
        QCOMPARE(::syscall(SYS_setgroups, 2, rootGroups), 0L);
        const QByteArray before = threadGroups();
        QCOMPARE(before, QByteArray("0 4"));
        std::atomic<int> phase{0};
        QByteArray otherDuring;
        uid_t otherFsUid = 1;
        std::thread other([&] {
            while (phase.load() != 1)
                std::this_thread::yield();
            otherFsUid = UserFileIdentity::currentFsUid();
            otherDuring = threadGroups();
            phase.store(2);
        });
        {
            UserFileIdentity asNobody(nobody_);
            QVERIFY(asNobody.ok());
            QCOMPARE(UserFileIdentity::currentFsUid(), nobody_.uid);
            QCOMPARE(UserFileIdentity::currentFsGid(), nobody_.gid);
            QVERIFY(!threadGroups().split(' ').contains("0"));
            QVERIFY(threadGroups().split(' ').contains(QByteArray::number(nobody_.gid)));
            {
                UserFileIdentity again(nobody_);
                QVERIFY(again.ok());
            }
            QCOMPARE(UserFileIdentity::currentFsUid(), nobody_.uid);
            phase.store(1);
            while (phase.load() != 2)
                std::this_thread::yield();
        }
        other.join();
        QCOMPARE(otherFsUid, uid_t(0));
        QCOMPARE(otherDuring, threadGroups()); // the other thread's groups were never touched
        QCOMPARE(UserFileIdentity::currentFsUid(), uid_t(0));
        QCOMPARE(UserFileIdentity::currentFsGid(), gid_t(0));
        QCOMPARE(threadGroups(), before);
        ::syscall(SYS_setgroups, 0, nullptr);
    }

    // Under the switch the kernel checks the user's rights only: root's supplementary groups
    // open nothing, and the file capabilities are gone (no reading past permissions, no chown).
    void rootsRightsAreGoneInsideTheScope()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const gid_t rootGroups[] = {0};
        QCOMPARE(::syscall(SYS_setgroups, 1, rootGroups), 0L);
        const QString groupFile = dir_.path() + QStringLiteral("/group-only");
        const QString ownerFile = dir_.path() + QStringLiteral("/owner-only");
        QVERIFY(testutil::writeFile(groupFile, "g"));
        QVERIFY(testutil::writeFile(ownerFile, "o"));
        QCOMPARE(::chmod(enc(groupFile).constData(), 0040), 0); // readable by group root only
        QCOMPARE(::chmod(enc(ownerFile).constData(), 0600), 0);
        const QString home = newHome();
        const QString mine = home + QStringLiteral("/mine");
        {
            UserFileIdentity asNobody(nobody_);
            QVERIFY(asNobody.ok());
            QCOMPARE(::open(enc(groupFile).constData(), O_RDONLY), -1);
            QCOMPARE(errno, EACCES);
            QCOMPARE(::open(enc(ownerFile).constData(), O_RDONLY), -1);
            QCOMPARE(errno, EACCES);
            QCOMPARE(::mkdir(enc(dir_.path() + QStringLiteral("/made-by-nobody")).constData(), 0700), -1);
            const int fd = ::open(enc(mine).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
            QVERIFY(fd >= 0);
            QCOMPARE(::fchown(fd, 0, 0), -1); // no CAP_CHOWN
            ::close(fd);
        }
        QCOMPARE(int(statOf(mine).st_uid), int(nobody_.uid));
        QCOMPARE(int(statOf(mine).st_gid), int(nobody_.gid));
        const int fd = ::open(enc(groupFile).constData(), O_RDONLY);
        QVERIFY(fd >= 0); // root again
        ::close(fd);
        ::syscall(SYS_setgroups, 0, nullptr);
    }

    // A scope ended on a pool thread leaves nothing behind for the next task there, also when
    // the work inside it throws; and a switch that cannot be made refuses (never root).
    void scopeNeverLeaksAndFailureRefuses()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const testutil::SessionUserScope session(nobody_.uid);
        QThreadPool pool;
        pool.setMaxThreadCount(1);
        std::atomic<uid_t> seen{1};
        std::atomic<bool> caught{false};
        pool.start([&] {
            try {
                UserFiles::run(QStringLiteral("test"), []() -> bool { throw 1; });
            } catch (int) {
                caught = true;
            }
        });
        pool.start([&] { seen = UserFileIdentity::currentFsUid(); });
        QVERIFY(pool.waitForDone(10000));
        QVERIFY(caught);
        QCOMPARE(seen.load(), uid_t(0));

        const QString home = newHome();
        std::atomic<int> refused{-1};
        std::atomic<SaveResult> saved{SaveResult::Saved};
        QString error;
        std::thread weak([&] {
            if (!dropSetIdCapabilities())
                return;
            AsSessionUser asUser;
            refused = asUser.ok() ? 0 : 1;
            saved = UserFiles::saveFile(home + QStringLiteral("/f"), QByteArray("x"), &error);
        });
        weak.join();
        QCOMPARE(refused.load(), 1);
        QCOMPARE(saved.load(), SaveResult::CreateFailed);
        QCOMPARE(error, QStringLiteral("refused"));
        QVERIFY(!QFileInfo::exists(home + QStringLiteral("/f")));

        // An account that does not exist cannot be taken either.
        const testutil::SessionUserScope unknown(3999999999u);
        QVERIFY(!AsSessionUser().ok());
        QCOMPARE(UserFiles::saveFile(home + QStringLiteral("/g"), QByteArray("x")), SaveResult::CreateFailed);
        QVERIFY(!QFileInfo::exists(home + QStringLiteral("/g")));
    }

    // What a hostile session user plants in their own folders leads nowhere root's: a link at a
    // file's name, the folder swapped for a link to a root folder, a FIFO.
    void plantedLinksAndFoldersLeadNowhere()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const testutil::SessionUserScope session(nobody_.uid);
        const QString home = newHome();
        QString victim;
        const QString rootFolder = newRootFolder(&victim);
        const QString secret = dir_.path() + QStringLiteral("/secret");
        QVERIFY(testutil::writeFile(secret, "secret\n"));
        QCOMPARE(::chmod(enc(secret).constData(), 0600), 0);

        // A save creates the missing levels and the file as the user, private.
        const QString data = home + QStringLiteral("/.local/share/app");
        QCOMPARE(UserFiles::saveFile(data + QStringLiteral("/s.ini"), QByteArray("one\n")), SaveResult::Saved);
        QCOMPARE(int(statOf(data).st_uid), int(nobody_.uid));
        QCOMPARE(int(statOf(data).st_mode & 07777), 0700);
        QCOMPARE(int(statOf(data + QStringLiteral("/s.ini")).st_uid), int(nobody_.uid));
        QCOMPARE(int(statOf(data + QStringLiteral("/s.ini")).st_mode & 07777), 0600);

        // A link at the name is replaced, never followed; reading through it finds nothing.
        QVERIFY(QFile::remove(data + QStringLiteral("/s.ini")));
        QVERIFY(QFile::link(victim, data + QStringLiteral("/s.ini")));
        QByteArray bytes;
        QVERIFY(!UserFiles::readFile(data + QStringLiteral("/s.ini"), 1024, &bytes));
        QCOMPARE(UserFiles::saveFile(data + QStringLiteral("/s.ini"), QByteArray("two\n")), SaveResult::Saved);
        QCOMPARE(testutil::readFile(victim), QByteArray("root's\n"));
        QVERIFY(!QFileInfo(data + QStringLiteral("/s.ini")).isSymLink());

        // The data folder swapped for a link to a root folder: nothing is created, changed or
        // removed there, and a root-only file is not read through it.
        QVERIFY(QDir(data).removeRecursively());
        QVERIFY(QFile::link(rootFolder, data));
        QString why;
        QCOMPARE(UserFiles::saveFile(data + QStringLiteral("/victim"), QByteArray("owned\n"), &why), SaveResult::CreateFailed);
        QVERIFY2(!why.isEmpty(), qPrintable(why));
        QVERIFY(!UserFiles::openForAppending(data + QStringLiteral("/new.log")).isValid());
        QVERIFY(!UserFiles::removeFile(data + QStringLiteral("/victim")));
        QCOMPARE(testutil::readFile(victim), QByteArray("root's\n"));
        QCOMPARE(QDir(rootFolder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList{"victim"});
        QVERIFY(QFile::remove(data));
        QVERIFY(QFile::link(dir_.path(), data));
        QVERIFY(!UserFiles::readFile(data + QStringLiteral("/secret"), 1024, &bytes));
        QVERIFY(!UserFiles::openFolder(data + QStringLiteral("/new"), true).isValid());
        QVERIFY(!QFileInfo::exists(dir_.path() + QStringLiteral("/new")));

        // A FIFO at a file's name is refused at once, not waited on.
        QVERIFY(QFile::remove(data));
        QVERIFY(QDir().mkpath(data));
        QCOMPARE(::chown(enc(data).constData(), nobody_.uid, nobody_.gid), 0);
        QCOMPARE(::mkfifo(enc(data + QStringLiteral("/fifo")).constData(), 0600), 0);
        QVERIFY(!UserFiles::readFile(data + QStringLiteral("/fifo"), 1024, &bytes));
        QVERIFY(!UserFiles::openForAppending(data + QStringLiteral("/fifo")).isValid());

        // Appending creates the file as the user, mode 0600, and appends.
        HandleHolder log = UserFiles::openForAppending(data + QStringLiteral("/a/b/x.log"));
        QVERIFY(log.isValid());
        QCOMPARE(::write(log.handle(), "ab", 2), ssize_t(2));
        QCOMPARE(int(statOf(data + QStringLiteral("/a/b/x.log")).st_uid), int(nobody_.uid));
        QCOMPARE(int(statOf(data + QStringLiteral("/a/b")).st_uid), int(nobody_.uid));
        QVERIFY(UserFiles::removeFile(data + QStringLiteral("/a/b/x.log")));
        QVERIFY(UserFiles::removeFile(data + QStringLiteral("/a/b/x.log"))); // gone is gone
        QVERIFY(!UserFiles::removeFile(data + QStringLiteral("/a"))); // never a folder
        QCOMPARE(UserFileIdentity::currentFsUid(), uid_t(0));
    }

    // Without a session user to act for (a user instance, root working for root) the same
    // operations run with the process's own identity.
    void noSwitchWithoutASessionUser()
    {
        qunsetenv("PKEXEC_UID");
        qunsetenv("SUDO_UID");
        QVERIFY(!UserFileIdentity::needed());
        AsSessionUser plain;
        QVERIFY(plain.ok());
        QVERIFY(!plain.switched());
        const QString path = dir_.path() + QStringLiteral("/own/file");
        QCOMPARE(UserFiles::saveFile(path, QByteArray("mine")), SaveResult::Saved);
        QCOMPARE(int(statOf(path).st_uid), int(::geteuid()));
        QByteArray bytes;
        QVERIFY(UserFiles::readFile(path, 2, &bytes));
        QCOMPARE(bytes, QByteArray("mi"));
    }

    // The checked save on a full file system: the save fails and says so, the old file stays
    // whole, and no temporary is left behind.
    void checkedSaveOnAFullDisk()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (mounts a tmpfs)");
        TQ_ENTER_PRIVATE_MOUNTS();
        QTemporaryDir mountPoint;
        QVERIFY(mountPoint.isValid());
        QCOMPARE(::mount("tmpfs", enc(mountPoint.path()).constData(), "tmpfs", 0, "size=64k"), 0);
        const QString path = mountPoint.path() + QStringLiteral("/tabs.xml");
        const QByteArray old(20000, 'o');
        QCOMPARE(saveFile(path, [&](QFile& f) { return f.write(old) == old.size(); }), SaveResult::Saved);
        // Fill what is left, then try to save something larger than the space.
        QVERIFY(testutil::writeFile(mountPoint.path() + QStringLiteral("/filler"), QByteArray(30000, 'f')));
        const QByteArray large(40000, 'n');
        QString error;
        QCOMPARE(saveFile(path, [&](QFile& f) { return f.write(large) >= 0; }, &error), SaveResult::WriteFailed);
        QVERIFY2(!error.isEmpty(), "a failed save says why");
        QCOMPARE(testutil::readFile(path), old);
        QCOMPARE(QDir(mountPoint.path()).entryList(QDir::Files), (QStringList{"filler", "tabs.xml"}));
        // Small content still fits and is saved.
        QCOMPARE(saveFile(path, [](QFile& f) { return f.write("small") == 5; }), SaveResult::Saved);
        QCOMPARE(testutil::readFile(path), QByteArray("small"));
        QCOMPARE(::umount(enc(mountPoint.path()).constData()), 0);
    }

    // Where a root instance keeps index files: the DBPath setting only when it is root's alone,
    // else root's own state folder; every other process takes the setting as it stands. A
    // working folder is a fresh private folder each time.
    void indexAndWorkingFolders()
    {
        const QString userPath = dir_.path() + QStringLiteral("/user-db");
        QCOMPARE(PrivateFolders::indexBase(userPath), userPath); // not working for another user
        const QString work = PrivateFolders::makeWorkingFolder();
        const QString other = PrivateFolders::makeWorkingFolder();
        QVERIFY(!work.isEmpty() && work != other);
        QCOMPARE(int(statOf(work).st_mode & 07777), 0700);
        QCOMPARE(int(statOf(work).st_uid), int(::geteuid()));
        QVERIFY(removeDirectoryRecursively(work) && removeDirectoryRecursively(other));
        if (!testutil::isRoot())
            QSKIP("needs root");
        QVERIFY2(work.startsWith(QLatin1String(PrivateFolders::kRootRuntimeFolder) + QLatin1String("/work-")), qPrintable(work));

        const testutil::SessionUserScope session(nobody_.uid);
        const bool stateExisted = QFileInfo::exists(QLatin1String(PrivateFolders::kRootStateFolder));
        QCOMPARE(PrivateFolders::indexBase(userPath), QLatin1String(PrivateFolders::kRootStateFolder));
        QCOMPARE(PrivateFolders::indexBase(QStringLiteral("relative")), QLatin1String(PrivateFolders::kRootStateFolder));
        QVERIFY(!QFileInfo::exists(userPath)); // nothing made in a folder another user may write
        QCOMPARE(int(statOf(QLatin1String(PrivateFolders::kRootStateFolder)).st_mode & 07777), 0700);
        TQ_ENTER_PRIVATE_MOUNTS();
        const QString run = QStringLiteral("/run/tq-index-%1").arg(::getpid());
        QVERIFY(QDir().mkpath(run));
        QCOMPARE(::mount("tmpfs", enc(run).constData(), "tmpfs", 0, "size=64k,mode=0755"), 0);
        QCOMPARE(PrivateFolders::indexBase(run + QStringLiteral("/idx")), run + QStringLiteral("/idx"));
        QCOMPARE(int(statOf(run + QStringLiteral("/idx")).st_mode & 07777), 0700);
        QCOMPARE(::umount(enc(run).constData()), 0);
        QDir().rmdir(run);
        if (!stateExisted)
            QDir().rmdir(QLatin1String(PrivateFolders::kRootStateFolder));
    }

    // A process that is not root and has no runtime folder of its own alone keeps its state in
    // a folder mkdtemp made for it (never a name another user could take first), private, the
    // same for the life of the process and removed at its end.
    void privateFolderWithoutARuntimeFolder()
    {
        if (!testutil::isRoot())
            QSKIP("needs root: runs a child process as another user");
        const QString open = newHome();
        QVERIFY(!open.isEmpty());
        QCOMPARE(::chmod(enc(open).constData(), 0755), 0); // the user's, but not private
        int ends[2];
        QCOMPARE(::pipe(ends), 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(ends[0]);
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody_.gid) != 0 || ::setuid(nobody_.uid) != 0)
                ::_exit(2);
            ::setenv("XDG_RUNTIME_DIR", enc(open).constData(), 1);
            // The child ends as a process does (exit runs the handlers registered at exit,
            // among them the one that removes the folder made below), but the statics of the
            // test program made before the fork (QtTest's loggers among them) belong to the
            // parent: this handler, registered before the folder's, runs right after it and
            // ends the child before those, and before LeakSanitizer's check, which would take
            // them for leaks and make the exit status 1.
            std::atexit([] { ::_exit(0); });
            const QString first = PrivateFolders::runtimeFolder();
            const QString again = PrivateFolders::runtimeFolder();
            const QString made = PrivateFolders::makeProcessFolder(QStringLiteral("stage-"));
            struct stat st = {};
            ::lstat(enc(first).constData(), &st);
            const QByteArray report = enc(first) + '\n' + enc(again) + '\n' + enc(made) + '\n'
                + QByteArray::number(st.st_uid) + ' ' + QByteArray::number(st.st_mode & 07777, 8) + '\n';
            if (::write(ends[1], report.constData(), size_t(report.size())) != report.size())
                ::_exit(3);
            std::exit(0); // the folder goes with the process's end
        }
        ::close(ends[1]);
        QByteArray report;
        char buffer[4096];
        for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;)
            report.append(buffer, int(n));
        ::close(ends[0]);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        const QList<QByteArray> lines = report.split('\n');
        QCOMPARE(lines.size(), 5);
        const QString folder = FileNameCodec::decode(lines.at(0));
        QVERIFY2(QRegularExpression(QStringLiteral("^%1/tallowquist-pro-[A-Za-z0-9]{6}$")
                                        .arg(QRegularExpression::escape(QDir::tempPath())))
                     .match(folder)
                     .hasMatch(),
                 lines.at(0).constData());
        QCOMPARE(lines.at(1), lines.at(0));
        QVERIFY2(lines.at(2).startsWith(lines.at(0) + "/stage-"), lines.at(2).constData());
        QCOMPARE(lines.at(3), QByteArray::number(nobody_.uid) + " 700");
        QVERIFY(!QFileInfo::exists(folder));
    }

    // Root's own folders: created 0700, narrowed when wider, refused when they or a folder
    // above them are not root's alone.
    void rootFolders()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const QString base = dir_.path() + QStringLiteral("/state");
        QVERIFY(QDir().mkpath(base));
        QCOMPARE(::chmod(enc(base).constData(), 0755), 0);
        // The test folder lies in /tmp, which everybody may write: nothing under it is root's alone.
        QString why;
        QVERIFY(!PrivateFolders::isRootOnly(base, &why));
        QVERIFY2(why.contains(QLatin1String("tmp")) || why.contains(QLatin1String("not root's alone")), qPrintable(why));
        QVERIFY(!PrivateFolders::ensureRootFolder(base + QStringLiteral("/x"), &why));
        QVERIFY(!QFileInfo::exists(base + QStringLiteral("/x")));

        // Under a root-only parent (private mounts: a tmpfs at a folder of /run).
        TQ_ENTER_PRIVATE_MOUNTS();
        const QString run = QStringLiteral("/run/tq-test-%1").arg(::getpid());
        QVERIFY(QDir().mkpath(run));
        QCOMPARE(::mount("tmpfs", enc(run).constData(), "tmpfs", 0, "size=64k,mode=0755"), 0);
        QVERIFY2(PrivateFolders::isRootOnly(run, &why), qPrintable(why));
        QVERIFY2(PrivateFolders::ensureRootFolder(run + QStringLiteral("/a"), &why), qPrintable(why));
        QCOMPARE(int(statOf(run + QStringLiteral("/a")).st_mode & 07777), 0700);
        QCOMPARE(::chmod(enc(run + QStringLiteral("/a")).constData(), 0755), 0);
        QVERIFY(PrivateFolders::ensureRootFolder(run + QStringLiteral("/a")));
        QCOMPARE(int(statOf(run + QStringLiteral("/a")).st_mode & 07777), 0700);
        // A folder of another user's, or a link (even root's) in its place, is refused.
        QVERIFY(QDir().mkpath(run + QStringLiteral("/b")));
        QCOMPARE(::chown(enc(run + QStringLiteral("/b")).constData(), nobody_.uid, nobody_.gid), 0);
        QVERIFY(!PrivateFolders::ensureRootFolder(run + QStringLiteral("/b")));
        QVERIFY(QFile::link(run + QStringLiteral("/a"), run + QStringLiteral("/c")));
        QVERIFY(!PrivateFolders::ensureRootFolder(run + QStringLiteral("/c")));
        // A group-writable folder on the way is refused; a root link to a root-only folder is not.
        QVERIFY(PrivateFolders::isRootOnly(run + QStringLiteral("/c")));
        QCOMPARE(::chmod(enc(run).constData(), 0775), 0);
        QVERIFY(!PrivateFolders::isRootOnly(run + QStringLiteral("/a")));
        QCOMPARE(::umount(enc(run).constData()), 0);
        QDir().rmdir(run);
    }
};

QTEST_GUILESS_MAIN(TestUserFiles)
#include "tst_userfiles.moc"
