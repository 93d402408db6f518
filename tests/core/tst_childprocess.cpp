// Starting programs: run() with its exit code, exact output bytes and time limit; detached
// starts (a session of their own, reaped when they end); the working folder; the one descriptor
// passed on; whose identity a program gets in a root instance working for a session user.
#include "core/ChildProcess.h"
#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kShell = QStringLiteral("/bin/sh");

QStringList script(const QString& text, const QStringList& arguments = {})
{
    return QStringList{QStringLiteral("-c"), text, QStringLiteral("sh")} + arguments;
}

} // namespace

class TestChildProcess : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void runGivesExitCodeAndExactOutput()
    {
        QByteArray output;
        // An argument that is not UTF-8 reaches the program byte for byte.
        const QString odd = FileNameCodec::decode(QByteArray("a\xff b\n", 5));
        QCOMPARE(ChildProcess::run(
                     kShell,
                     script(QStringLiteral("printf '%s|' \"$@\"; exit 3"), {odd, QString()}), {},
                     60000, &output),
                 3);
        QCOMPARE(output, QByteArray("a\xff b\n||", 7));
        // More than a pipe holds.
        QCOMPARE(ChildProcess::run(kShell, script(QStringLiteral("head -c 300000 /dev/zero")), {},
                                   60000, &output),
                 0);
        QCOMPARE(output, QByteArray(300000, '\0'));
        // Without `output` it goes nowhere; standard input is /dev/null unless given.
        QCOMPARE(ChildProcess::run(kShell, script(QStringLiteral("read x || exit 7")), {}, 60000),
                 7);
        const QString input = dir_.path() + QStringLiteral("/input");
        QVERIFY(testutil::writeFile(input, "line\n"));
        const HandleHolder in(::open(QFile::encodeName(input).constData(), O_RDONLY | O_CLOEXEC));
        ChildProcess::Setup setup;
        setup.input = in.handle();
        QCOMPARE(ChildProcess::run(kShell, script(QStringLiteral("read x; printf %s \"$x\"")),
                                   setup, 60000, &output),
                 0);
        QCOMPARE(output, QByteArray("line"));
    }

    void runFailures()
    {
        QByteArray output("stale");
        QCOMPARE(
            ChildProcess::run(dir_.path() + QStringLiteral("/missing"), {}, {}, 60000, &output),
            -1);
        QVERIFY(output.isEmpty());
        // Killed by a signal.
        QCOMPARE(ChildProcess::run(kShell, script(QStringLiteral("kill -9 $$")), {}, 60000), -1);
        // Out of time: ended, not waited for (the limit is far below the program's sleep).
        const QString pidFile = dir_.path() + QStringLiteral("/slow.pid");
        QCOMPARE(ChildProcess::run(
                     kShell, script(QStringLiteral("echo $$ > \"$1\"; exec sleep 600"), {pidFile}),
                     {}, 300, &output),
                 -1);
        const QByteArray pid = testutil::readFile(pidFile).trimmed();
        if (!pid.isEmpty())
            QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid)));
    }

    void detachedStartRunsInItsOwnSessionAndIsReaped()
    {
        const QString out = dir_.path() + QStringLiteral("/detached");
        const QString release = dir_.path() + QStringLiteral("/release");
        // The program reports its pid and session, then waits until told to end.
        QVERIFY(ChildProcess::startDetached(
            kShell,
            script(QStringLiteral(
                       "set -- \"$1\" \"$2\" $(cat /proc/$$/stat); echo \"$3 $8\" > \"$1.tmp\"; "
                       "mv \"$1.tmp\" \"$1\"; while [ ! -e \"$2\" ]; do sleep 0.05; done"),
                   {out, release}),
            {}));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out), 60000);
        const QList<QByteArray> fields = testutil::readFile(out).trimmed().split(' ');
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields.at(1), fields.at(0)); // its own session
        QVERIFY(fields.at(0).toInt() != ::getsid(0));
        const QString proc = QStringLiteral("/proc/") + QString::fromLatin1(fields.at(0));
        QVERIFY(QFileInfo::exists(proc));
        QVERIFY(testutil::writeFile(release, ""));
        // Reaped once it ends: no zombie is left.
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(proc), 60000);

        int error = 0;
        QVERIFY(
            !ChildProcess::startDetached(dir_.path() + QStringLiteral("/missing"), {}, {}, &error));
        QCOMPARE(error, ENOENT);
    }

    void workingFolderAndPassedDescriptor()
    {
        QByteArray output;
        ChildProcess::Setup setup;
        setup.workingFolder = QFile::encodeName(dir_.path());
        QCOMPARE(ChildProcess::run(kShell, script(QStringLiteral("pwd")), setup, 60000, &output),
                 0);
        QCOMPARE(output, QFile::encodeName(QDir(dir_.path()).canonicalPath()) + '\n');
        // A folder that cannot be entered: "/".
        setup.workingFolder = QFile::encodeName(dir_.path() + QStringLiteral("/missing"));
        QCOMPARE(ChildProcess::run(kShell, script(QStringLiteral("pwd")), setup, 60000, &output),
                 0);
        QCOMPARE(output, QByteArray("/\n"));

        // The passed descriptor reaches the program as descriptor 3; no other one does, not
        // even one without close-on-exec.
        HandleHolder passedRead, passedWrite, otherRead, otherWrite;
        QVERIFY(HandleHolder::openPipe(passedRead, passedWrite));
        QVERIFY(HandleHolder::openPipe(otherRead, otherWrite));
        const HandleHolder leaky(::open("/dev/null", O_RDONLY));
        QVERIFY(leaky.handle() > 2);
        setup = {};
        setup.passDescriptor = passedWrite.handle();
        QCOMPARE(ChildProcess::run(
                     kShell, script(QStringLiteral("echo passed >&3; ls /proc/$$/fd; exit 0")),
                     setup, 60000, &output),
                 0);
        QCOMPARE(output.split('\n'), (QList<QByteArray>{"0", "1", "2", "3", ""}));
        passedWrite.reset();
        char buffer[16] = {};
        QCOMPARE(::read(passedRead.handle(), buffer, sizeof buffer), ssize_t(7));
        QCOMPARE(QByteArray(buffer, 7), QByteArray("passed\n"));
        // In this process it stays close-on-exec.
        QVERIFY(::fcntl(otherWrite.handle(), F_GETFD) & FD_CLOEXEC);
    }

    // A root instance working for a session user: a program runs as that user, in the user's
    // environment with the caller's additions, in a working folder opened as the user; only
    // RunAs::ThisProcess keeps root.
    void rootInstanceRunsProgramsAsTheSessionUser()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const QString rootOnly = dir_.path() + QStringLiteral("/root-only");
        QVERIFY(QDir().mkpath(rootOnly));
        QCOMPARE(::chmod(QFile::encodeName(rootOnly).constData(), 0700), 0);
        QCOMPARE(::chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);
        const testutil::SessionUserScope session(65534);
        const QString report = QStringLiteral("echo \"$(id -u) $(id -g) ${EXTRA:-none} $(pwd)\"");
        QByteArray output;
        ChildProcess::Setup setup;
        setup.environment << QByteArrayLiteral("EXTRA=given");
        setup.workingFolder = QFile::encodeName(rootOnly);
        QCOMPARE(ChildProcess::run(kShell, script(report), setup, 60000, &output), 0);
        QCOMPARE(output, QByteArray("65534 65534 given /\n"));
        setup.runAs = ChildProcess::RunAs::ThisProcess;
        setup.workingFolder.clear();
        qputenv("EXTRA", "ours");
        QCOMPARE(ChildProcess::run(kShell,
                                   script(QStringLiteral("echo \"$(id -u) ${EXTRA:-none}\"")),
                                   setup, 60000, &output),
                 0);
        qunsetenv("EXTRA");
        QCOMPARE(output, QByteArray("0 ours\n"));
        // Detached starts follow the same rule.
        const QString userFolder = dir_.path() + QStringLiteral("/user");
        QVERIFY(QDir().mkpath(userFolder));
        QCOMPARE(::chown(QFile::encodeName(userFolder).constData(), 65534, 65534), 0);
        const QString out = userFolder + QStringLiteral("/detached-id");
        setup = {};
        setup.workingFolder = QFile::encodeName(userFolder);
        QVERIFY(ChildProcess::startDetached(
            kShell, script(QStringLiteral("id -u > x.tmp && mv x.tmp \"$1\""), {out}), setup));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out), 60000);
        QCOMPARE(testutil::readFile(out), QByteArray("65534\n"));
    }
};

QTEST_GUILESS_MAIN(TestChildProcess)
#include "tst_childprocess.moc"
