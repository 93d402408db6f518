// Paths longer than PATH_MAX: a tree 4,000 folders deep is walked whole (compared with find),
// its files pass the date and size checks and show their sizes and times, and the pieces the
// walk rests on (PathAt, openBelowWithoutLinks) resolve such paths as the kernel would, links
// refused where the walk asks for it.
#include "core/FileNameCodec.h"
#include "core/Logger.h"
#include "core/LongPath.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/DirectorySearcher.h"
#include "search/engine/FileSearch.h"
#include "search/engine/FolderWalker.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/FileStatus.h"
#include "search/model/ResultStore.h"
#include "search/model/TempFileHolder.h"
#include "storedresults.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kDepth = 4000;
// The name of each nested folder: 4,000 of them make a path of 12,000 bytes.
const char* const kName = "dd";

// Makes `depth` nested folders kName below `top`, each holding a file "f.txt" of `depth - level`
// bytes (so every file differs), working relative to the folder above (the paths outgrow
// PATH_MAX). Returns the bytes of the deepest folder's path.
QByteArray makeDeepTree(const QByteArray& top, int depth)
{
    int at = ::open(top.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QByteArray path = top;
    for (int level = 0; at >= 0 && level < depth; ++level) {
        const int f = ::openat(at, "f.txt", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (f < 0)
            break;
        const QByteArray bytes(depth - level, 'x');
        const bool written = ::write(f, bytes.constData(), size_t(bytes.size())) == bytes.size();
        ::close(f);
        if (!written || ::mkdirat(at, kName, 0755) != 0)
            break;
        const int next = ::openat(at, kName, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(at);
        at = next;
        path += '/';
        path += kName;
    }
    if (at < 0)
        return QByteArray();
    ::close(at);
    return path;
}

QStringList findAll(const QString& top, const QStringList& more = {})
{
    QProcess find;
    find.start(QStringLiteral("find"), QStringList{top, QStringLiteral("-mindepth"), QStringLiteral("1")} + more);
    if (!find.waitForFinished(60000) || find.exitCode() != 0)
        return {QStringLiteral("find failed")};
    QStringList out;
    for (const QByteArray& line : find.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            out << FileNameCodec::decode(line);
    out.sort();
    return out;
}

} // namespace

class TestLongPaths : public QObject
{
    Q_OBJECT

    // In /dev/shm where it exists: thousands of nested folders are made and removed there in
    // a fraction of the time a disk journal takes.
    QTemporaryDir tmp{QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/tq-longpaths-XXXXXX")
                                                                : QDir::tempPath() + QStringLiteral("/tq-longpaths-XXXXXX")};
    QString top;
    QByteArray deepest;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.path() + QStringLiteral("/test.log"));
        top = tmp.path() + QStringLiteral("/deep");
        QVERIFY(QDir().mkpath(top));
        deepest = makeDeepTree(FileNameCodec::encode(top), kDepth);
        QVERIFY(deepest.size() > 2 * PATH_MAX);
    }

    void cleanupTestCase()
    {
        // QTemporaryDir removes by full paths, which stop at PATH_MAX.
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), top});
    }

    // Every entry find lists, the walk lists, at any depth.
    void walkEqualsFind()
    {
        FolderWalker walker({top}, {}, true);
        QStringList walked;
        int dirs = 0;
        for (QString p = walker.next(); !p.isEmpty(); p = walker.next()) {
            walked << p;
            dirs += walker.isCurrentDirectory();
        }
        QCOMPARE(walked.size(), 2 * kDepth);
        QCOMPARE(dirs, kDepth);
        walked.sort();
        QCOMPARE(walked, findAll(top));
        QVERIFY(walked.contains(FileNameCodec::decode(deepest.left(deepest.lastIndexOf('/'))) + QStringLiteral("/f.txt")));
    }

    // The name search over the walk, the date and size checks of its candidates, and the size
    // and times shown for them.
    void searchChecksAndShowsDeepFiles()
    {
        FileSearchRequest request;
        request.fileName = QStringLiteral("f.txt");
        request.includePaths = QStringList{top};
        ResultStore results;
        DirectorySearcher().walkDirectories(&request, &results, {});
        QStringList found;
        for (const QString& path : testutil::storedPaths(results))
            found << path;
        found.sort();
        QCOMPARE(found, findAll(top, {QStringLiteral("-name"), QStringLiteral("f.txt")}));

        // Level L holds kDepth - L bytes: a lower size bound of 1 byte and an upper one of 10
        // keep exactly the ten deepest files, whose paths are all past PATH_MAX.
        request.minSize = 1;
        request.maxSize = 10;
        request.minDate = QDate::currentDate().addDays(-1);
        request.maxDate = QDate::currentDate().addDays(1);
        QStringList passed;
        for (const QString& path : qAsConst(found))
            if (FileSearch::withinBounds(&request, path, false))
                passed << path;
        QCOMPARE(passed.size(), 10);
        for (const QString& path : qAsConst(passed)) {
            QVERIFY(FileNameCodec::encode(path).size() > PATH_MAX);
            const FileStatus status(path);
            QVERIFY(status.exists);
            QVERIFY(!status.isDir);
            QVERIFY(status.size >= 1 && status.size <= 10);
            QVERIFY(status.modified.isValid());
        }
        QVERIFY(FileStatus(FileNameCodec::decode(deepest)).isDir);

        // Their contents are searched and previewed too (the one open of the content search).
        ContentSearcher searcher(nullptr, tmp.path() + QStringLiteral("/work"));
        FileSearchRequest contents;
        contents.contents = QStringLiteral("xxx");
        int matched = 0;
        for (const QString& path : qAsConst(passed)) {
            QCOMPARE(searcher.find(&contents, path, nullptr), FileStatus(path).size >= 3);
            TempFileHolder holder;
            matched += searcher.findAll(&contents, path, &holder);
            QVERIFY(holder.text && holder.text->isOpen()); // the preview's text
        }
        QCOMPARE(matched, 8); // files of 3 to 10 bytes
    }

    void pathAtResolvesAsTheKernelWould()
    {
        // Short paths stand as they are.
        const PathAt shortPath(QByteArray("/tmp"));
        QCOMPARE(shortPath.folder(), AT_FDCWD);
        QCOMPARE(QByteArray(shortPath.name()), QByteArray("/tmp"));

        // A long path through a link in its second stretch ("lnk" beside the folder at level
        // 1,500, naming it): followed, as a lookup of the whole path would.
        const QByteArray topBytes = FileNameCodec::encode(top);
        const int linkLevel = 1500;
        const QByteArray upToLink = topBytes + (QByteArray("/") + kName).repeated(linkLevel - 1);
        QVERIFY(upToLink.size() > PATH_MAX);
        const PathAt holder(upToLink + "/" + kName);
        QVERIFY(holder.isValid());
        QCOMPARE(::symlinkat(kName, holder.folder(), "lnk"), 0);
        const QByteArray lastFolder = deepest.left(deepest.lastIndexOf('/')); // holds the last f.txt
        const QByteArray viaLink = upToLink + "/lnk" + lastFolder.mid(upToLink.size() + 1 + int(qstrlen(kName))) + "/f.txt";
        QVERIFY(viaLink.size() > 2 * PATH_MAX);
        const PathAt at(viaLink);
        QVERIFY(at.isValid());
        QCOMPARE(QByteArray(at.name()), QByteArray("f.txt"));
        struct stat st;
        QCOMPARE(::fstatat(at.folder(), at.name(), &st, 0), 0);
        QVERIFY(S_ISREG(st.st_mode));
        QCOMPARE(st.st_size, off_t(1));
        QCOMPARE(::unlinkat(holder.folder(), "lnk", 0), 0);
        // A trailing "/" names the same folder; a missing folder gives its error.
        const PathAt folder(deepest + "/");
        QVERIFY(folder.isValid());
        QCOMPARE(::fstatat(folder.folder(), folder.name(), &st, 0), 0);
        QVERIFY(S_ISDIR(st.st_mode));
        const PathAt missing(deepest + "/nothing/f.txt");
        QVERIFY(!missing.isValid());
        QCOMPARE(missing.error(), ENOENT);
    }

    // The same with openat2 and, in a child whose kernel calls answer openat2 with ENOSYS (as
    // older kernels and some container filters do), component by component.
    void openBelowRefusesLinks()
    {
        QCOMPARE(linkCases(), QString());
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            struct sock_filter filter[] = {
                BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
                BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat2, 0, 1),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            };
            struct sock_fprog program = {sizeof filter / sizeof filter[0], filter};
            if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0
                || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
                ::_exit(2);
            ::_exit(linkCases().isEmpty() ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

private:
    // Opens the deepest folder below `top` with a folder of the path replaced by a link to the
    // very same folder: at the start, in the middle and as the last component; and a step out
    // of the folder. Returns what went wrong, empty when every case was refused and the
    // untouched path opened.
    QString linkCases()
    {
        const QByteArray topBytes = FileNameCodec::encode(top);
        HandleHolder topFd(::open(topBytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        const QByteArray below = deepest.mid(topBytes.size() + 1);
        if (!topFd.isValid() || below.size() <= PATH_MAX)
            return QStringLiteral("no tree");
        if (!openBelowWithoutLinks(topFd.handle(), below, O_RDONLY | O_DIRECTORY).isValid())
            return QStringLiteral("the tree does not open: %1").arg(errno);
        if (!openBelowWithoutLinks(topFd.handle(), QByteArray(), O_PATH | O_DIRECTORY).isValid())
            return QStringLiteral("the folder itself does not open");
        for (const int level : {1, kDepth / 2, kDepth}) {
            const QByteArray path = topBytes + (QByteArray("/") + kName).repeated(level);
            const PathAt at(path);
            if (!at.isValid() || QByteArray(at.name()) != (at.folder() == AT_FDCWD ? path : QByteArray(kName)))
                return QStringLiteral("level %1 not found").arg(level);
            const int parentFd = at.folder() == AT_FDCWD ? topFd.handle() : at.folder();
            const char* name = at.folder() == AT_FDCWD ? kName : at.name();
            if (::renameat(parentFd, name, parentFd, "real") != 0 || ::symlinkat("real", parentFd, name) != 0)
                return QStringLiteral("cannot plant a link at level %1").arg(level);
            errno = 0;
            const bool opened = openBelowWithoutLinks(topFd.handle(), below, O_RDONLY | O_DIRECTORY).isValid();
            const int error = errno;
            ::unlinkat(parentFd, name, 0);
            ::renameat(parentFd, "real", parentFd, name);
            if (opened || (error != ELOOP && error != ENOTDIR))
                return QStringLiteral("a link at level %1 was followed (%2)").arg(level).arg(error);
        }
        if (openBelowWithoutLinks(topFd.handle(), QByteArray(kName) + "/../..", O_PATH | O_DIRECTORY).isValid())
            return QStringLiteral("stepped out");
        return QString();
    }
};

QTEST_GUILESS_MAIN(TestLongPaths)
#include "tst_longpaths.moc"
