// Elevation and user queries (also from a child that dropped root), the session user, version
// and build time, the helper-presence rule, starting elevated through a stand-in for pkexec,
// and ending processes by executable name.
#include "core/FileUtils.h"
#include "core/SystemUtils.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <functional>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const uid_t kNobody = 65534;

// Runs `probe` in a forked child after switching to `uid` (the real and effective ids, or
// only the effective one) and returns the probe's result (0..255), or -1 on failure.
int runAs(uid_t uid, bool effectiveOnly, const std::function<int()>& probe)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        ::setgroups(0, nullptr);
        const bool switched = effectiveOnly ? (::setegid(uid) == 0 && ::seteuid(uid) == 0)
                                            : (::setgid(uid) == 0 && ::setuid(uid) == 0);
        ::_exit(switched ? probe() : 255);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

int adminBits()
{
    int type = 0;
    bool admin = false;
    const bool ok = getElevationType(type, admin);
    return (isProcessAdmin() ? 1 : 0) | (isUserAdmin() ? 2 : 0) | (ok ? 4 : 0) | (admin ? 8 : 0) | (type << 4);
}

bool isProcessAlive(pid_t pid)
{
    // A zombie still answers kill(pid, 0); /proc state tells it apart.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) != "Z";
}

bool waitUntil(const std::function<bool()>& condition, int ms = 60000)
{
    return QTest::qWaitFor(condition, ms);
}

} // namespace

class TestSystemUtils : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString fakePkexec_;
    QString program_;
    QString argsFile_;
    QString markFile_;

    void writeScript(const QString& path, const QByteArray& text)
    {
        QVERIFY(testutil::writeFile(path, text));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    QStringList recordedArguments() { return QString::fromLocal8Bit(testutil::readFile(argsFile_)).split('\n', Qt::SkipEmptyParts); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        fakePkexec_ = dir_.path() + QStringLiteral("/fake-pkexec");
        program_ = dir_.path() + QStringLiteral("/elevated prog");
        argsFile_ = dir_.path() + QStringLiteral("/args");
        markFile_ = dir_.path() + QStringLiteral("/mark");
        // Behaves like pkexec: refuses with 126/127, else closes every descriptor above 2 and
        // runs its arguments in its own place.
        writeScript(fakePkexec_,
                    "#!/bin/bash\n"
                    "printf '%s\\n' \"$@\" > \"$TQ_FAKE_ARGS\"\n"
                    "case \"$TQ_FAKE_MODE\" in\n"
                    "  dismiss) exit 126;;\n"
                    "  deny) exit 127;;\n"
                    "  slowdeny) sleep 0.4; exit 127;;\n"
                    "esac\n"
                    "for fd in /proc/$$/fd/*; do n=${fd##*/}; if [ \"$n\" -gt 2 ] && [ \"$n\" != 255 ]; then eval \"exec $n>&-\"; fi; done\n"
                    "exec \"$@\"\n");
        writeScript(program_,
                    "#!/bin/sh\n"
                    "echo \"$$\" > \"$TQ_FAKE_MARK.tmp\"; mv \"$TQ_FAKE_MARK.tmp\" \"$TQ_FAKE_MARK\"\n"
                    "case \"$TQ_FAKE_RUN\" in\n"
                    "  long) exec sleep 30;;\n"
                    "  fail) exit 3;;\n"
                    "esac\n"
                    "exit 0\n");
        qputenv("TQ_FAKE_ARGS", QFile::encodeName(argsFile_));
        qputenv("TQ_FAKE_MARK", QFile::encodeName(markFile_));
    }

    void cleanupTestCase() { setElevationProgram(QString()); }

    // Names from the account and group databases; nothing for ids without an entry.
    void accountAndGroupNames()
    {
        QCOMPARE(accountName(0), QByteArray("root"));
        QCOMPARE(groupName(0), QByteArray("root"));
        QCOMPARE(accountName(uid_t(4000000000u)), QByteArray());
        QCOMPARE(groupName(gid_t(4000000000u)), QByteArray());
    }

    void adminQueriesOfThisProcess()
    {
        QCOMPARE(isProcessAdmin(), ::geteuid() == 0);
        int type = 0;
        bool admin = false;
        QVERIFY(getElevationType(type, admin));
        if (::geteuid() == 0) {
            QCOMPARE(type, int(ElevationTypeFull));
            QVERIFY(admin);
            QVERIFY(isUserAdmin());
        } else {
            QVERIFY(type == ElevationTypeDefault || type == ElevationTypeLimited);
            QCOMPARE(admin, type == ElevationTypeLimited);
        }
        QVERIFY(isUserAdmin(0));
        QVERIFY(!isUserAdmin(uid_t(3999999)));
    }

    void adminQueriesAfterDroppingRoot()
    {
        if (!testutil::isRoot())
            QSKIP("needs root to switch users");
        if (!::getpwuid(kNobody))
            QSKIP("no account 65534");
        QVERIFY(!isUserAdmin(kNobody)); // not in sudo/wheel/admin on a normal system
        // A standard user: nothing.
        QCOMPARE(runAs(kNobody, false, adminBits), 4 | (ElevationTypeDefault << 4));
        // Root that dropped only its effective rights: may elevate, is not elevated.
        QCOMPARE(runAs(kNobody, true, adminBits), 2 | 4 | 8 | (ElevationTypeLimited << 4));
    }

    void sessionUser()
    {
        qunsetenv("PKEXEC_UID");
        qunsetenv("SUDO_UID");
        QCOMPARE(sessionUserId(), ::getuid());
        if (!testutil::isRoot())
            QSKIP("the variables count only for root");
        qputenv("SUDO_UID", "1000");
        QCOMPARE(sessionUserId(), uid_t(1000));
        qputenv("PKEXEC_UID", "1234");
        QCOMPARE(sessionUserId(), uid_t(1234)); // pkexec first
        for (const QByteArray& bad : {QByteArray(""), QByteArray("12a"), QByteArray("-1"), QByteArray(" 5"),
                                      QByteArray("4294967295"), QByteArray("99999999999999999999")}) {
            qputenv("PKEXEC_UID", bad);
            QCOMPARE(sessionUserId(), uid_t(1000));
        }
        // A process that is not root belongs to itself, whatever its environment says.
        qputenv("PKEXEC_UID", "1234");
        QCOMPARE(runAs(kNobody, false, [] { return sessionUserId() == kNobody ? 0 : 1; }), 0);
        qunsetenv("PKEXEC_UID");
        qunsetenv("SUDO_UID");
    }

    void versionAndBuildTime()
    {
        const auto version = osVersion();
        const QStringList kernel = QSysInfo::kernelVersion().split(QLatin1Char('.'));
        QCOMPARE(version.first, kernel.value(0).toInt());
        QCOMPARE(version.second, kernel.value(1).toInt());
        QVERIFY(isVistaOrLater());

        QCOMPARE(buildDateTime("Jan  5 2026", "07:08:09"), QDateTime(QDate(2026, 1, 5), QTime(7, 8, 9)));
        QCOMPARE(buildDateTime("Sep 10 2024", "23:59:59"), QDateTime(QDate(2024, 9, 10), QTime(23, 59, 59)));
        // "nFe" is not at a month boundary of the month list.
        for (const char* date : {"Feb 30 2020", "Foo  1 2020", "nFe  1 2020", "", static_cast<const char*>(nullptr)})
            QVERIFY2(!buildDateTime(date, "10:00:00").isValid(), date ? date : "null");
        QVERIFY(!buildDateTime("Jan  1 2020", "25:00:00").isValid());
        const QDateTime built = buildDateTime();
        QVERIFY(built.isValid());
        QVERIFY(built <= QDateTime::currentDateTime().addDays(1));
    }

    void helperBesideExecutableMeansWow64()
    {
        const QString helper = executableDirectory() + QStringLiteral("/helper64");
        if (QFileInfo::exists(helper))
            QSKIP("a helper64 is already beside the test program");
        if (!QFileInfo(executableDirectory()).isWritable())
            QSKIP("the test program's folder is not writable");
        QVERIFY(!isWow64());
        QVERIFY(QDir().mkdir(helper));
        QVERIFY(!isWow64()); // a folder is no program
        QVERIFY(QDir().rmdir(helper));
        QVERIFY(testutil::writeFile(helper, "#!/bin/sh\n"));
        QVERIFY(QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner));
        const bool plainFile = isWow64();
        QVERIFY(QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const bool program = isWow64();
        QFile::remove(helper);
        if (!testutil::isRoot()) // root may execute anything with some execute bit only
            QVERIFY(!plainFile);
        QVERIFY(program);
        QVERIFY(!isWow64());
    }

    void runElevated_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QByteArray>("run");
        QTest::addColumn<bool>("programExists");
        QTest::addColumn<bool>("started");
        QTest::newRow("prompt dismissed") << QByteArray("dismiss") << QByteArray("") << true << false;
        QTest::newRow("not authorised") << QByteArray("deny") << QByteArray("") << true << false;
        QTest::newRow("refused after a while") << QByteArray("slowdeny") << QByteArray("") << true << false;
        QTest::newRow("ran and ended") << QByteArray("") << QByteArray("") << true << true;
        QTest::newRow("ran and failed") << QByteArray("") << QByteArray("fail") << true << true;
        QTest::newRow("program missing") << QByteArray("") << QByteArray("") << false << false;
    }

    void runElevated()
    {
        QFETCH(QByteArray, mode);
        QFETCH(QByteArray, run);
        QFETCH(bool, programExists);
        QFETCH(bool, started);
        setElevationProgram(fakePkexec_);
        qputenv("TQ_FAKE_MODE", mode);
        qputenv("TQ_FAKE_RUN", run);
        QFile::remove(markFile_);
        QFile::remove(argsFile_);
        const QString file = programExists ? program_ : dir_.path() + QStringLiteral("/missing");
        QCOMPARE(::runElevated(file, QString()), started);
        if (started) // the call may return before the program has done anything
            QVERIFY(waitUntil([this] { return QFileInfo::exists(markFile_); }));
        else
            QVERIFY(!QFileInfo::exists(markFile_));
        QVERIFY(!recordedArguments().isEmpty());
    }

    void runElevatedCommandLine()
    {
        setElevationProgram(fakePkexec_);
        qputenv("TQ_FAKE_MODE", "dismiss");
        qputenv("DISPLAY", ":77");
        qputenv("XDG_RUNTIME_DIR", "/run/user/4242");
        qunsetenv("XAUTHORITY");
        qunsetenv("WAYLAND_DISPLAY");
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(dir_.path())); // holds no .Xauthority
        QVERIFY(!::runElevated(program_, QStringLiteral("-enable-shell-integration")));
        QCOMPARE(recordedArguments(), QStringList({QStringLiteral("/usr/bin/env"), QStringLiteral("DISPLAY=:77"),
                                                   QStringLiteral("XDG_RUNTIME_DIR=/run/user/4242"), program_,
                                                   QStringLiteral("-enable-shell-integration")}));

        QVERIFY(testutil::writeFile(dir_.path() + QStringLiteral("/.Xauthority"), "cookie"));
        QVERIFY(!::runElevated(program_, QStringLiteral("a \"b c\"  d")));
        QCOMPARE(recordedArguments(), QStringList({QStringLiteral("/usr/bin/env"), QStringLiteral("DISPLAY=:77"),
                                                   QStringLiteral("XDG_RUNTIME_DIR=/run/user/4242"),
                                                   QStringLiteral("XAUTHORITY=") + dir_.path() + QStringLiteral("/.Xauthority"),
                                                   program_, QStringLiteral("a"), QStringLiteral("b c"),
                                                   QStringLiteral("d")}));
        qputenv("HOME", home);

        QVERIFY(!::runElevated(QString(), QString()));
        setElevationProgram(dir_.path() + QStringLiteral("/no-pkexec"));
        QVERIFY(!::runElevated(program_, QString()));
    }

    void runElevatedProgramPathWithEqualsSign()
    {
        // env reads any argument holding "=" as an assignment: such a path must still be run as
        // the program, and a missing one must not count as started.
        setElevationProgram(fakePkexec_);
        qputenv("TQ_FAKE_MODE", "");
        qputenv("TQ_FAKE_RUN", "");
        const QString folder = dir_.path() + QStringLiteral("/opt=1");
        QVERIFY(QDir().mkpath(folder));
        const QString program = folder + QStringLiteral("/prog=x");
        QFile::remove(program);
        QVERIFY(QFile::copy(program_, program));
        QFile::remove(markFile_);
        QVERIFY(::runElevated(program, QString()));
        QVERIFY(waitUntil([this] { return QFileInfo::exists(markFile_); }));
        QCOMPARE(recordedArguments().mid(recordedArguments().indexOf(program) - 3),
                 QStringList({QStringLiteral("/bin/sh"), QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\""),
                              program}));

        QFile::remove(markFile_);
        QVERIFY(!::runElevated(folder + QStringLiteral("/missing"), QStringLiteral("/bin/true")));
        QVERIFY(!QFileInfo::exists(markFile_));
    }

    void runElevatedLeavesARunningProgramAndReapsIt()
    {
        setElevationProgram(fakePkexec_);
        qputenv("TQ_FAKE_MODE", "");
        qputenv("TQ_FAKE_RUN", "long");
        QFile::remove(markFile_);
        QVERIFY(::runElevated(program_, QString()));
        QVERIFY(waitUntil([this] { return QFileInfo::exists(markFile_); }));
        const pid_t pid = pid_t(testutil::readFile(markFile_).trimmed().toInt());
        QVERIFY(pid > 0);
        QVERIFY(isProcessAlive(pid)); // the call returned while the program runs
        QCOMPARE(::kill(pid, SIGTERM), 0);
        // Reaped in the background: no zombie stays behind.
        QVERIFY(waitUntil([pid] { return ::kill(pid, 0) != 0; }));
    }

    void runElevatedCommandRunsExactlyItsArguments()
    {
        // No env in between: pkexec must see the program itself (a polkit action's exec.path).
        setElevationProgram(fakePkexec_);
        qputenv("TQ_FAKE_MODE", "");
        qputenv("TQ_FAKE_RUN", "long");
        QFile::remove(markFile_);
        int code = 5;
        QVERIFY(::runElevatedCommand({QFile::encodeName(program_), "a=b"}, {}, &code));
        QCOMPARE(code, -1); // still running
        QCOMPARE(recordedArguments(), QStringList({program_, QStringLiteral("a=b")}));
        QVERIFY(waitUntil([this] { return QFileInfo::exists(markFile_); }));
        const pid_t pid = pid_t(testutil::readFile(markFile_).trimmed().toInt());
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid, SIGTERM), 0);
        QVERIFY(waitUntil([pid] { return ::kill(pid, 0) != 0; }));

        // A refusal hands back pkexec's exit code; a program that ended by itself counts as started.
        qputenv("TQ_FAKE_MODE", "deny");
        QVERIFY(!::runElevatedCommand({QFile::encodeName(program_)}, {}, &code));
        QCOMPARE(code, 127);
        qputenv("TQ_FAKE_MODE", "");
        qputenv("TQ_FAKE_RUN", "fail");
        QVERIFY(::runElevatedCommand({QFile::encodeName(program_)}, {}, &code));
        QVERIFY(code == 3 || code == -1); // ended before or after the start was seen

        QVERIFY(!::runElevatedCommand({}, {}, &code));
        setElevationProgram(dir_.path() + QStringLiteral("/no-pkexec"));
        QVERIFY(!::runElevatedCommand({QFile::encodeName(program_)}, {}, &code));
        QCOMPARE(code, -1);
    }

    void killProcessByNameEndsOneOwnProcessAtATime()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // A name no other test run can share.
        const QString name = QStringLiteral("tqkp-%1").arg(::getpid());
        const QString copy = dir.path() + QLatin1Char('/') + name;
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
        QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                            QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));

        QProcess first;
        QProcess second;
        first.start(copy, {QStringLiteral("30")});
        QVERIFY(first.waitForStarted());
        second.start(copy, {QStringLiteral("30")});
        QVERIFY(second.waitForStarted());
        // Different case is a different name.
        QVERIFY(killProcessByName(name.toUpper()));
        QVERIFY(!first.waitForFinished(100));

        QVERIFY(killProcessByName(name));
        QProcess* lower = first.processId() < second.processId() ? &first : &second;
        QProcess* higher = lower == &first ? &second : &first;
        QVERIFY(lower->waitForFinished(5000));
        QCOMPARE(lower->exitStatus(), QProcess::CrashExit);
        QCOMPARE(lower->exitCode(), int(SIGKILL));
        QCOMPARE(higher->state(), QProcess::Running);
        QVERIFY(killProcessByName(name));
        QVERIFY(higher->waitForFinished(5000));
        QVERIFY(killProcessByName(name)); // none left

        if (!testutil::isRoot())
            return;
        // Another user's process of that name is not ours to end.
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
        const QByteArray path = QFile::encodeName(copy);
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            ::setgroups(0, nullptr);
            if (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0)
                ::execl(path.constData(), path.constData(), "30", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        QVERIFY(waitUntil([&] {
            return QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)) == copy;
        }));
        QVERIFY(killProcessByName(name)); // found none of our own
        QVERIFY(isProcessAlive(pid));
        ::kill(pid, SIGKILL);
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
    }
};

QTEST_GUILESS_MAIN(TestSystemUtils)
#include "tst_systemutils.moc"
