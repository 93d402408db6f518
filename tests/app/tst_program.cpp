// The real program, started as a process: exit codes, the start lines, a second start handing
// over to the running instance, and the end by a signal going through the normal exit path (the
// state is saved). Started as an ordinary user (nobody, when the tests run as root), so it is a
// main instance without an index when given "-no-elevation".
#include "testutil.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

// The process of ours whose environment has HOME=`home`, or 0.
pid_t processWithHome(const QString& home)
{
    const QByteArray wanted = "HOME=" + QFile::encodeName(home);
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        if (!number || pid == ::getpid())
            continue;
        const QByteArray exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)).toUtf8();
        if (!exe.endsWith("/tallowquist-pro"))
            continue;
        if (testutil::readFile(QStringLiteral("/proc/%1/environ").arg(pid)).split('\0').contains(wanted))
            return pid;
    }
    return 0;
}

} // namespace

class ProgramTest : public QObject
{
    Q_OBJECT

    QTemporaryDir root_;
    QString home_;
    QString program_;
    int homes_ = 0;
    QString runtime_; // XDG_RUNTIME_DIR of the next start
    QString temp_;    // TMPDIR of the next start, empty: the inherited one

    QString dataFolder() const { return home_ + "/.local/share/Tallowquist Pro"; }

    QString log() const
    {
        const QByteArray bytes = testutil::readFile(dataFolder() + "/Tallowquist Pro.log");
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    }

    void prepare(QProcess& process, const QStringList& arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home_);
        env.insert("XDG_RUNTIME_DIR", runtime_);
        if (!temp_.isEmpty())
            env.insert("TMPDIR", temp_);
        env.remove("XDG_DATA_HOME");
        env.remove("XDG_CONFIG_HOME");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (::geteuid() == 0) {
            process.setProgram("setpriv");
            process.setArguments(QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--", program_}
                                 + arguments);
        } else {
            process.setProgram(program_);
            process.setArguments(arguments);
        }
    }

    int run(const QStringList& arguments, int timeoutMs = 20000)
    {
        QProcess process;
        prepare(process, arguments);
        process.start();
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }

private slots:
    void initTestCase()
    {
        program_ = testutil::programDir() + "/tallowquist-pro";
        QVERIFY(QFileInfo(program_).isExecutable());
        if (::geteuid() == 0 && QStandardPaths::findExecutable("setpriv").isEmpty())
            QSKIP("setpriv is needed to start the program as an ordinary user");
        QVERIFY(root_.isValid());
        QCOMPARE(::chmod(QFile::encodeName(root_.path()).constData(), 0755), 0);
    }

    void init()
    {
        // Short: the sockets live in the runtime folder, and a socket path has at most 107 bytes.
        home_ = root_.path() + "/h" + QString::number(++homes_);
        runtime_ = home_ + "/run";
        temp_.clear();
        QVERIFY(QDir().mkpath(home_ + "/run"));
        QCOMPARE(::chmod(QFile::encodeName(home_ + "/run").constData(), 0700), 0);
        if (::geteuid() == 0) {
            for (const QString& path : {home_, home_ + "/run"})
                QCOMPARE(::chown(QFile::encodeName(path).constData(), kNobody, kNobody), 0);
        }
    }

    void maintenanceOptionWithoutRootEndsWithFive()
    {
        QCOMPARE(run({"-enable-skip-uac", "-disable-skip-uac"}), 5);
        const QString text = log();
        QVERIFY2(text.contains("\tmain\tLog file created.\r\n"), qPrintable(text));
        QVERIFY(text.contains("\tkEnableSkipUACArgument\r\n"));
        QVERIFY(!text.contains("kDisableSkipUACArgument"));
        QVERIFY(text.contains("\tExit with code 5\r\n"));
        // The start lines come between two lines of 28 hyphens, after "Log file created.".
        const int created = text.indexOf("Log file created.");
        const int first = text.indexOf(QString(28, '-'));
        const int version = text.indexOf("Version: 1.4");
        const int arguments = text.indexOf("Arguments = ");
        const int second = text.indexOf(QString(28, '-'), arguments);
        QVERIFY(created < first && first < version && version < arguments && arguments < second);
        QCOMPARE(run({"-disable-shell-integration"}), 5);
    }

    // The maintenance options need no display: from a console they do their work (here, without
    // root, end with 5) instead of aborting for want of one.
    void maintenanceOptionsRunWithoutADisplay()
    {
        QProcess process;
        prepare(process, {"-enable-skip-uac"});
        QProcessEnvironment env = process.processEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        process.setProcessEnvironment(env);
        process.start();
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 5);
        QVERIFY(log().contains("\tExit with code 5\r\n"));
        QVERIFY(!QFileInfo::exists(dataFolder() + "/Tallowquist ProCrash.dmp"));
    }

    // An ordinary user cannot start the root instance: the user instance logs why and starts
    // the program with "-no-elevation", which keeps that log and says in its window why there
    // is no index.
    void withoutElevationTheLogAndTheReasonStay()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to run the program as an account that may not elevate");
        // The unelevated main instance is no child of ours: it is found by its home and ended
        // by a signal, also when a check fails.
        struct EndIt
        {
            QString home;
            ~EndIt()
            {
                if (const pid_t pid = processWithHome(home))
                    ::kill(pid, SIGTERM);
            }
        } endIt{home_};
        QProcess process;
        prepare(process, {});
        process.start();
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 0); // the user instance, once the unelevated start is made
        QTRY_VERIFY2_WITH_TIMEOUT(log().contains("MainWindow::MainWindow") && log().contains("No index: "),
                                  qPrintable(log()), 15000);
        const pid_t started = processWithHome(home_);
        QVERIFY(started > 0);
        ::kill(started, SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(log().endsWith("\tmain\tExit with code 0\r\n"), 15000);
        const QString text = log();
        QVERIFY(text.contains("\tmain\trunUserInstance\r\n"));
        QVERIFY(text.contains("No root instance (not-admin): starting without an index"));
        QVERIFY(text.contains("No index: your account may not start the program with root rights."));
        QVERIFY(text.indexOf("runUserInstance") < text.indexOf("MainWindow::MainWindow"));
        QVERIFY(QRegularExpression("Arguments = \\S+ -no-elevation\r\n").match(text).hasMatch());
        QVERIFY(text.contains("Application closing"));
    }

    void signalEndsTheProgramAndSavesItsState()
    {
        QProcess first;
        prepare(first, {"-no-elevation"});
        first.start();
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY2_WITH_TIMEOUT(log().contains("MainWindow::MainWindow"), qPrintable(log() + first.readAllStandardOutput()), 15000);

        // A second start finds the running main instance, hands its folder over and ends with 0.
        const QString folder = home_ + "/run";
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(run({"-path", folder}), 0);
        QVERIFY(timer.elapsed() < 10000);
        QCOMPARE(log().count("MainWindow::MainWindow"), 1);

        ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
        QVERIFY(first.waitForFinished(15000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        const QString text = log();
        const int closing = text.indexOf("\tmain\tApplication closing\r\n");
        QVERIFY2(closing > 0, qPrintable(text));
        QVERIFY(text.indexOf("~MainWindow", closing) > closing);
        QVERIFY(text.endsWith("\tmain\tExit with code 0\r\n"));
        const QByteArray settings = testutil::readFile(dataFolder() + "/settings.ini");
        QVERIFY(settings.contains("[MainWindow]"));
        QVERIFY(settings.contains("Maximized=false"));
        // The handed-over folder opened the current tab, which was saved.
        const QByteArray tabs = testutil::readFile(dataFolder() + "/tabs.xml");
        QVERIFY2(tabs.contains("<directoryComboBox value=\"" + QFile::encodeName(folder) + "\"/>"), tabs.constData());
        QVERIFY(tabs.contains("<directoryCheckBox value=\"1\"/>"));
    }

    void startWithoutRuntimeFolderShowsTheWindow()
    {
        // No private runtime folder anywhere (the given one is not the user's own, and no
        // fallback can be made in a temporary folder the user cannot write): no channel. The
        // start must still show its window and end by a signal as usual, rather than end at
        // once as if it had handed over to a running instance.
        if (::geteuid() != 0)
            QSKIP("needs a folder the user cannot write, made as root");
        runtime_ = root_.path() + "/notmine" + QString::number(homes_);
        QVERIFY(QDir().mkpath(runtime_));
        QCOMPARE(::chmod(QFile::encodeName(runtime_).constData(), 0755), 0);
        temp_ = runtime_;
        QProcess process;
        prepare(process, {"-no-elevation"});
        process.start();
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY2_WITH_TIMEOUT(log().contains("MainWindow::MainWindow") || process.state() == QProcess::NotRunning,
                                  qPrintable(log()), 15000);
        QVERIFY2(process.state() == QProcess::Running, qPrintable(log()));
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        QVERIFY(process.waitForFinished(15000));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(log().contains("\tmain\tApplication closing\r\n"));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program.moc"
