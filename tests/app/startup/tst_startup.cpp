// Start-up pieces: the maintenance options and their exit codes, the start lines, the queued
// signal types, the lossless argument list and the environment a root instance takes over.
#include "app/startup/StartUp.h"
#include "core/FileNameCodec.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "testutil.h"

#include <QMetaType>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <stdexcept>
#include <unistd.h>

namespace {

struct Recorder
{
    QStringList calls;
    bool admin = true;
    bool fail = false;

    MaintenanceActions actions()
    {
        MaintenanceActions a;
        a.isAdmin = [this] { return admin; };
        a.createSkipUacTask = [this] {
            calls << "create";
            if (fail)
                throw std::runtime_error("cannot write the rule");
        };
        a.deleteSkipUacTask = [this] { calls << "delete"; };
        a.setShellIntegration = [this](bool on) { calls << (on ? "shell-on" : "shell-off"); };
        return a;
    }
};

} // namespace

class StartUpTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        Logger::instance(dir_.filePath("log.txt"));
    }

    void maintenanceOptionsInOrder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("none") << QStringList{"prog", "-path", "/tmp"} << -1 << QStringList{};
        QTest::newRow("enable") << QStringList{"prog", "-enable-skip-uac"} << 0 << QStringList{"create"};
        QTest::newRow("both skip-uac: enable wins") << QStringList{"prog", "-disable-skip-uac", "-enable-skip-uac"} << 0
                                                    << QStringList{"create"};
        QTest::newRow("disable") << QStringList{"prog", "x", "-disable-skip-uac"} << 0 << QStringList{"delete"};
        QTest::newRow("shell on") << QStringList{"prog", "-enable-shell-integration", "-disable-shell-integration"} << 0
                                  << QStringList{"shell-on"};
        QTest::newRow("shell off") << QStringList{"prog", "-disable-shell-integration"} << 0 << QStringList{"shell-off"};
        QTest::newRow("skip-uac before shell") << QStringList{"prog", "-enable-shell-integration", "-disable-skip-uac"}
                                               << 0 << QStringList{"delete"};
        // The program path itself is no option, and options match whole and with case.
        QTest::newRow("program path") << QStringList{"-enable-skip-uac"} << -1 << QStringList{};
        QTest::newRow("case") << QStringList{"prog", "-Enable-Skip-UAC", "-enable-skip-uac=1"} << -1 << QStringList{};
    }
    void maintenanceOptionsInOrder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QStringList, calls);
        Recorder recorder;
        QCOMPARE(handleSpecialArguments(arguments, recorder.actions()), code);
        QCOMPARE(recorder.calls, calls);
    }

    void maintenanceRequestsAreRecognised()
    {
        QVERIFY(isMaintenanceRequest({"prog", "x", "-disable-shell-integration"}));
        QVERIFY(!isMaintenanceRequest({"-enable-skip-uac"}));
        QVERIFY(!isMaintenanceRequest({"prog", "-path", "/tmp", "-no-elevation"}));
    }

    // The main window's construction, start and event loop run guarded: a failure is logged at
    // ERROR with its text, then passed on.
    void failuresOfTheWindowAreLogged()
    {
        QCOMPARE(runGuarded([] { return 7; }), 7);
        bool passedOn = false;
        try {
            runGuarded([]() -> int { throw FileSearchException("the window cannot be built", QStringLiteral("MainWindow"), 12); });
        } catch (const FileSearchException&) {
            passedOn = true;
        }
        QVERIFY(passedOn);
        const QByteArray bytes = testutil::readFile(Logger::instance().filePath());
        const QString log = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
        QVERIFY2(log.contains("\tERROR\tmain\tFile: MainWindow, line: 12, the window cannot be built\r\n"), qPrintable(log));
    }

    void withoutRootNothingIsTouched()
    {
        const QStringList options{"-enable-skip-uac", "-disable-skip-uac", "-enable-shell-integration",
                                  "-disable-shell-integration"};
        for (const QString& option : options) {
            Recorder recorder;
            recorder.admin = false;
            QCOMPARE(handleSpecialArguments({"prog", option}, recorder.actions()), 5);
            QVERIFY(recorder.calls.isEmpty());
        }
    }

    void failingOptionEndsWithOne()
    {
        Recorder recorder;
        recorder.fail = true;
        QCOMPARE(handleSpecialArguments({"prog", "-enable-skip-uac"}, recorder.actions()), 1);
        // An operation this build lacks fails the same way instead of pretending success.
        MaintenanceActions none;
        none.isAdmin = [] { return true; };
        QCOMPARE(handleSpecialArguments({"prog", "-enable-shell-integration"}, none), 1);
        QCOMPARE(handleSpecialArguments({"prog", "-disable-skip-uac"}, none), 1);
    }

    void startLinesFormat()
    {
        const QStringList lines = startLines({"/opt/tq/tallowquist-pro", "-path", "/a b"});
        QCOMPARE(lines.size(), 8);
        QCOMPARE(lines.first(), QString(28, '-'));
        QCOMPARE(lines.last(), QString(28, '-'));
        QCOMPARE(lines.at(1), QStringLiteral("Version: 1.4"));
        QVERIFY(lines.at(2).startsWith("Build time: "));
        QVERIFY(QRegularExpression("^OS version \\d+\\.\\d+$").match(lines.at(3)).hasMatch());
        QVERIFY(QRegularExpression("^Is process admin: (yes|no)$").match(lines.at(4)).hasMatch());
        QVERIFY(QRegularExpression("^Is user admin: (yes|no)$").match(lines.at(5)).hasMatch());
        QCOMPARE(lines.at(6), QStringLiteral("Arguments = /opt/tq/tallowquist-pro -path /a b"));
    }

    void metaTypesRegistered()
    {
        registerMetaTypes();
        registerMetaTypes(); // idempotent
        for (const char* name : {"std::list<QString>", "JournalID", "FRN", "wchar_t", "USN", "FileSearchRequest::Id"})
            QVERIFY2(QMetaType::type(name) != QMetaType::UnknownType, name);
        QCOMPARE(QMetaType::sizeOf(QMetaType::type("wchar_t")), 2);
        QCOMPARE(QMetaType::sizeOf(QMetaType::type("FRN")), 8);
        QCOMPARE(QMetaType::type("FileSearchRequest::Id"), int(QMetaType::Int));
    }

    void argumentsKeepTheirBytes()
    {
        QByteArray program("/bin/tq");
        QByteArray path("-path");
        QByteArray folder("/tmp/caf\xe9-\xff");
        char* argv[] = {program.data(), path.data(), folder.data(), nullptr};
        const QStringList arguments = programArguments(3, argv);
        QCOMPARE(arguments.size(), 3);
        QCOMPARE(FileNameCodec::encode(arguments.at(2)), folder);
        QCOMPARE(arguments.at(1), QStringLiteral("-path"));
    }

    void dataFolderOfAnOrdinaryProcess()
    {
        if (::geteuid() == 0 && !qEnvironmentVariableIsEmpty("PKEXEC_UID"))
            QSKIP("runs for another user");
        QCOMPARE(dataFolderPath(),
                 QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Tallowquist Pro");
    }

    void sessionVariablesAreFiltered()
    {
        const QByteArray block("LANG=de_DE.UTF-8\0LC_TIME=fr_FR.UTF-8\0LC_=x\0QT_IM_MODULE=ibus\0"
                               "QT_PLUGIN_PATH=/tmp/evil\0LD_PRELOAD=/tmp/evil.so\0XMODIFIERS=@im=ibus\0"
                               "QT_SCALE_FACTOR=2\0PATH=/tmp\0NOEQUALS\0=novalue\0LANG2=x\0LC_A-B=1\0", 193);
        const auto variables = sessionVariables(block);
        QStringList names;
        for (const auto& v : variables)
            names << QString::fromLatin1(v.first + "=" + v.second);
        QCOMPARE(names, (QStringList{"LANG=de_DE.UTF-8", "LC_TIME=fr_FR.UTF-8", "QT_IM_MODULE=ibus",
                                     "XMODIFIERS=@im=ibus", "QT_SCALE_FACTOR=2"}));
    }
};

QTEST_GUILESS_MAIN(StartUpTest)
#include "tst_startup.moc"
