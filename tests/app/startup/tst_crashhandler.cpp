// The crash report: written by a forked child that dies of a real fault, so the handler runs as
// it would in the program (alternate stack, async-signal-safe writing, death by the signal).
#include "app/startup/CrashHandler.h"

#include "testutil.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <cstdlib>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

volatile int* volatile g_null = nullptr;

int recurse(int depth)
{
    volatile char pad[4096];
    pad[0] = static_cast<char>(depth);
    if (g_null == reinterpret_cast<int*>(1))
        return pad[0];
    return recurse(depth + 1) + pad[0];
}

// Runs `crash` in a child with the handler installed (after `prepare`); returns the child's
// wait status.
template <typename F>
int crashInChild(const QString& report, F crash, const std::function<void()>& prepare = [] {})
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGABRT, SIG_DFL);
        prepare();
        CrashHandler::install(report);
        crash();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

} // namespace

class CrashHandlerTest : public QObject
{
    Q_OBJECT

private slots:
    void segfaultWritesReportAndDiesBySignal()
    {
        QTemporaryDir dir;
        const QString report = dir.path() + "/Tallowquist ProCrash.dmp";
        const int status = crashInChild(report, [] { *g_null = 1; });
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGSEGV);
        const QByteArray text = testutil::readFile(report);
        QVERIFY2(text.startsWith("Tallowquist Pro crash report\nsignal: 11 SIGSEGV\n"), text.left(200).constData());
        QVERIFY(text.contains("\naddress: 0x0\n"));
        QVERIFY(text.contains("\nframes:\n"));
        QVERIFY(text.contains("\nmaps:\n"));
        QVERIFY(text.contains("tst_crashhandler")); // the frames and the module list name the program
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(report).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
    }

    void abortIsReported()
    {
        QTemporaryDir dir;
        const QString report = dir.path() + "/crash";
        const int status = crashInChild(report, [] { std::abort(); });
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGABRT);
        const QByteArray text = testutil::readFile(report);
        QVERIFY(text.contains("signal: 6 SIGABRT\n"));
        QVERIFY(text.contains("\nsender: "));
        QVERIFY(!text.contains("\naddress: "));
    }

    void stackOverflowOnAWorkerIsReported()
    {
        // Without an alternate stack on the worker the handler itself could not run.
        QTemporaryDir dir;
        const QString report = dir.path() + "/crash";
        const int status = crashInChild(report, [] {
            std::thread worker([] { recurse(0); });
            worker.join();
        });
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGSEGV);
        QVERIFY(testutil::readFile(report).startsWith("Tallowquist Pro crash report\nsignal: 11 SIGSEGV\n"));
    }

    void everyNewThreadHasAnAlternateStack()
    {
        CrashHandler::ensureAlternateStack();
        QVERIFY(CrashHandler::hasAlternateStack());
        // Threads made after install, by std::thread and by QThread alike.
        QTemporaryDir dir;
        CrashHandler::install(dir.path() + "/unused");
        bool inStd = false;
        std::thread([&] { inStd = CrashHandler::hasAlternateStack(); }).join();
        QVERIFY(inStd);
        bool inQt = false;
        QThread* thread = QThread::create([&] { inQt = CrashHandler::hasAlternateStack(); });
        thread->start();
        QVERIFY(thread->wait(5000));
        delete thread;
        QVERIFY(inQt);
        ::signal(SIGSEGV, SIG_DFL);
        ::signal(SIGABRT, SIG_DFL);
        ::signal(SIGBUS, SIG_DFL);
        ::signal(SIGILL, SIG_DFL);
        ::signal(SIGFPE, SIG_DFL);
    }

    void plantedLinkIsNotFollowed()
    {
        QTemporaryDir dir;
        const QString report = dir.path() + "/crash";
        const QString victim = dir.path() + "/victim";
        QVERIFY(testutil::writeFile(victim, "keep me"));
        QVERIFY(QFile::link(victim, report));
        const int status = crashInChild(report, [] { *g_null = 1; });
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(testutil::readFile(victim), QByteArray("keep me"));
        QVERIFY(!QFileInfo(report).isSymLink());
        QVERIFY(testutil::readFile(report).startsWith("Tallowquist Pro crash report\n"));
    }

    void secondCrashReplacesTheFirst()
    {
        QTemporaryDir dir;
        const QString report = dir.path() + "/crash";
        crashInChild(report, [] { *g_null = 1; });
        crashInChild(report, [] { std::abort(); });
        const QByteArray text = testutil::readFile(report);
        QVERIFY(text.contains("SIGABRT"));
        QVERIFY(!text.contains("SIGSEGV"));
    }

    // A root instance writes the report into its session user's folder as that user: the
    // report is the user's from its creation, and a data folder the user swapped for a link
    // to a root folder (before the start, or between the start and the crash) gets nothing.
    void rootInstanceReportsAsTheSessionUser()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        QTemporaryDir dir;
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
        const QString home = dir.path() + "/home";
        const QString rootFolder = dir.path() + "/root";
        const QString rootReport = rootFolder + "/Tallowquist ProCrash.dmp";
        QVERIFY(QDir().mkpath(home + "/data"));
        QVERIFY(testutil::writeFile(rootReport, "root's\n"));
        QCOMPARE(::chmod(QFile::encodeName(rootFolder).constData(), 0755), 0);
        for (const QString& path : {home, home + "/data"})
            QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        struct stat rootBefore;
        QCOMPARE(::stat(QFile::encodeName(rootReport).constData(), &rootBefore), 0);
        const QString report = home + "/data/Tallowquist ProCrash.dmp";
        const auto crashAsRootInstance = [&](const std::function<void()>& afterInstall) {
            return crashInChild(report, [&] {
                afterInstall();
                *g_null = 1;
            }, [] { ::setenv("PKEXEC_UID", "65534", 1); });
        };

        int status = crashAsRootInstance([] {});
        QVERIFY(WIFSIGNALED(status));
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(report).constData(), &st), 0);
        QCOMPARE(int(st.st_uid), 65534);
        QCOMPARE(int(st.st_mode & 07777), 0600);
        QVERIFY(testutil::readFile(report).startsWith("Tallowquist Pro crash report\n"));

        // Swapped between the start and the crash: the report goes to the folder opened at the
        // start, wherever it was moved, never through the link.
        const QString moved = home + "/moved";
        status = crashAsRootInstance([&] {
            ::rename(QFile::encodeName(home + "/data").constData(), QFile::encodeName(moved).constData());
            ::symlink(QFile::encodeName(rootFolder).constData(), QFile::encodeName(home + "/data").constData());
        });
        QVERIFY(WIFSIGNALED(status));
        QVERIFY(testutil::readFile(moved + "/Tallowquist ProCrash.dmp").startsWith("Tallowquist Pro crash report\n"));

        // Swapped before the start.
        status = crashAsRootInstance([] {});
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(testutil::readFile(rootReport), QByteArray("root's\n"));
        QCOMPARE(::stat(QFile::encodeName(rootReport).constData(), &st), 0);
        QCOMPARE(st.st_ino, rootBefore.st_ino);
        QCOMPARE(int(st.st_uid), 0);
        QCOMPARE(QDir(rootFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"Tallowquist ProCrash.dmp"});
    }
};

QTEST_GUILESS_MAIN(CrashHandlerTest)
#include "tst_crashhandler.moc"
