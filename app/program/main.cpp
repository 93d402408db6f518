// The program's entry: start-up in its fixed order (settings, log, crash handler, application,
// start lines, maintenance options, running instance, role), then the main window and the
// event loop, then the clean-up that saves the state.
//
// Exit codes: 0 normal end, a maintenance option done or a running instance notified; 1 a
// maintenance option that failed, or the user instance could not start the main instance; 5 a
// maintenance option without root; otherwise the event loop's code.
#include "app/desktop/ShellUtils.h"
#include "app/instance/InstanceChannel.h"
#include "app/instance/InstancePair.h"
#include "app/instance/MessageListenWidget.h"
#include "app/instance/TaskScheduler.h"
#include "app/startup/CrashHandler.h"
#include "app/startup/ProgramExit.h"
#include "app/startup/SignalPipe.h"
#include "app/startup/StartUp.h"
#include "core/FileUtils.h"
#include "core/Logger.h"
#include "core/PrivateFolders.h"
#include "core/Settings.h"
#include "core/SystemUtils.h"
#include "search/engine/FileSearcher.h"
#include "ui/common/Prompter.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSessionManager>
#include <QStandardPaths>

#include <exception>
#include <memory>
#include <unistd.h>

namespace {

const char kTag[] = "main";

void logExit(int code)
{
    TQ_LOG_INFO(kTag, QStringLiteral("Exit with code %1").arg(code));
}

void forwardEndOfSession()
{
    InstanceChannel::post(QLatin1String(kMainInstanceWindowName), {MessageFrame{MessageFrame::kEndSession, QByteArray()}});
}

// A second start, or a start that lost the race for its title: hand the request over.
int handOver(const QStringList& arguments, int waitMs)
{
    handOverToMainInstance(arguments, waitMs);
    logExit(0);
    return 0;
}

int runMainInstance(const QStringList& arguments, MessageListenWidget* listener, const QString& dataFolder,
                    const QString& noIndexReason)
{
    registerMetaTypes();
    // A working folder of this run's own, out of every other user's reach (root's under
    // /run/tallowquist-pro), removed at the end.
    const QString workingFolder = PrivateFolders::makeWorkingFolder();
    Settings* settings = Settings::instance();
    auto engine = std::make_shared<FileSearcher>(workingFolder, isProcessAdmin() ? FileSearcher::UseIndex : 0);
    WidgetPrompter prompter;
    std::unique_ptr<MainWindow> window;
    // The window's construction, its start and the event loop: a failure in any of them is
    // logged before it goes on.
    const int code = runGuarded([&]() {
        window = std::make_unique<MainWindow>(arguments, settings, engine, &prompter, dataFolder);
        listener->setMainWindow(window.get());
        if (!noIndexReason.isEmpty() && !isProcessAdmin())
            window->showNoIndexNotice(noIndexReason);
        QObject::connect(listener, &MessageListenWidget::newSearchRequested, window.get(),
                         &MainWindow::onNewSearchRequested);
        QObject::connect(listener, &MessageListenWidget::endSessionRequested, [] {
            TQ_LOG_INFO(kTag, QStringLiteral("End of session"));
            ProgramExit::request(0);
        });
        window->start();
        return ProgramExit::runEventLoop();
    });
    TQ_LOG_INFO(kTag, QStringLiteral("Application closing"));
    // The window saves its state while the engine and the settings still exist.
    window.reset();
    engine.reset();
    if (!workingFolder.isEmpty())
        removeDirectoryRecursively(workingFolder);
    return code;
}

// Creates the settings store and destroys it (writing what is pending) however the run ends.
class SettingsScope
{
public:
    explicit SettingsScope(const QString& file) { Settings::instanceWithFile(file); }
    ~SettingsScope() { Settings::destroyInstance(); }
    SettingsScope(const SettingsScope&) = delete;
    SettingsScope& operator=(const SettingsScope&) = delete;
};

struct Outcome
{
    int code = 0;
    // The exit is logged after the settings were written (the log's last line).
    bool logExitAtEnd = false;
};

// The log and the crash report, in the session user's data folder (the log creates every
// missing level).
void startLogAndCrashReports(const QString& dataFolder)
{
    Logger::instance(dataFolder + QStringLiteral("/") + QLatin1String(kProgramName) + QStringLiteral(".log"));
    TQ_LOG_INFO(kTag, QStringLiteral("Log file created."));
    CrashHandler::install(dataFolder + QStringLiteral("/Tallowquist ProCrash.dmp"));
    // COM initialisation has no counterpart here and cannot fail.
}

// The process that writes the log of this run afresh.
void restartLog(const QStringList& arguments)
{
    Logger::instance().truncate();
    TQ_LOG_INFO(kTag, QStringLiteral("Log file created."));
    writeStartLines(arguments);
}

// The maintenance options do their work and end; they need no display (an administrator runs
// them from a console or a package script).
int runMaintenance(int& argc, char** argv, const QStringList& arguments)
{
    QCoreApplication app(argc, argv);
    writeStartLines(arguments);
    return handleSpecialArguments(arguments, MaintenanceActions::system());
}

// The application's names, and the ends that go through "Exit": the end signals and the end
// of the desktop session (the state is saved).
void prepareApplication(QApplication& app, SignalPipe& endSignals)
{
    QApplication::setApplicationName(QLatin1String(kProgramName));
    QApplication::setApplicationVersion(QLatin1String(kProgramVersion));
    QApplication::setDesktopFileName(QStringLiteral("tallowquist-pro"));
    endSignals.install();
    QObject::connect(&endSignals, &SignalPipe::received, [](int sig) {
        TQ_LOG_INFO(kTag, QStringLiteral("Signal %1 received").arg(sig));
        ProgramExit::request(0);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest,
                     [](QSessionManager&) { ProgramExit::request(0); });
}

// The user instance: listens under its title, starts the root main instance and serves it.
int runAsUserInstance(QApplication& app, SignalPipe& endSignals, const QStringList& arguments)
{
    MessageListenWidget listener(QLatin1String(kUserInstanceWindowName), arguments);
    if (!listener.isListening())
        return handOver(arguments, 15000);
    restartLog(arguments);
    // The end of the user's session reaches the root main instance only through us.
    QObject::connect(&endSignals, &SignalPipe::received, [] { forwardEndOfSession(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest,
                     [](QSessionManager&) { forwardEndOfSession(); });
    const int code = runUserInstance(&listener, arguments, SkipUacLocations::system());
    logExit(code);
    return code;
}

// The main instance: listens under its title (without a channel it runs alone), takes over the
// arguments of its user instance when it is the root instance, and runs the window.
Outcome runAsMainInstance(const QStringList& arguments, bool noElevation, bool noChannel,
                          const QString& dataFolder, const QString& noIndexReason)
{
    MessageListenWidget listener(QLatin1String(kMainInstanceWindowName), arguments);
    if (!listener.isListening() && !noChannel)
        return {handOver(arguments, 15000), false};
    // The main instance starts the log afresh unless its user instance already did, or
    // started it with "-no-elevation" after it wrote why there is no root instance.
    if (!noElevation && !InstanceChannel::isTitleTaken(QLatin1String(kUserInstanceWindowName)))
        restartLog(arguments);
    QStringList received;
    if (!noElevation)
        initAdminInstance(&listener, received);
    return {runMainInstance(received.isEmpty() ? arguments : received, &listener, dataFolder,
                            noIndexReason),
            true};
}

// Everything between the settings store's creation and its end; returns wherever the run ends.
Outcome run(int& argc, char** argv, const QString& dataFolder, const QString& noIndexReason)
{
    startLogAndCrashReports(dataFolder);
    const QStringList arguments = programArguments(argc, argv);
    if (isMaintenanceRequest(arguments))
        return {runMaintenance(argc, argv, arguments), false};

    QApplication app(argc, argv);
    SignalPipe endSignals;
    prepareApplication(app, endSignals);
    writeStartLines(arguments);

    if (InstanceChannel::findInstance(QLatin1String(kMainInstanceWindowName), 3000))
        return {handOver(arguments, 0), false};

    const bool noElevation = arguments.contains(QStringLiteral("-no-elevation"));
    // Without a private runtime folder (root from su or sudo often has none) no instance
    // can listen or be found: this start then runs on its own, without the root instance,
    // instead of taking the failed listen for a running instance and ending unseen.
    const bool noChannel = InstanceChannel::runtimeFolder().isEmpty();
    if (noChannel)
        TQ_LOG_WARNING(kTag, QStringLiteral("No channel between instances: running alone"));
    if (!noElevation && !noChannel && !isProcessAdmin())
        return {runAsUserInstance(app, endSignals, arguments), false};
    return runAsMainInstance(arguments, noElevation, noChannel, dataFolder, noIndexReason);
}

} // namespace

int main(int argc, char** argv)
{
    importSessionEnvironment();
    // Taken before anything is started, so that no child inherits it.
    const QString noIndexReason = takeNoIndexReason();
    const QString dataFolder = dataFolderPath();
    Outcome outcome;
    {
        // The data folder is the session user's: the store and the log read and write it
        // through UserFiles (as that user in a root instance).
        const SettingsScope settings(dataFolder + QStringLiteral("/settings.ini"));
        outcome = run(argc, argv, dataFolder, noIndexReason);
    }
    if (outcome.logExitAtEnd)
        logExit(outcome.code);
    return outcome.code;
}
