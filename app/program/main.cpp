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

} // namespace

int main(int argc, char** argv)
{
    importSessionEnvironment();
    // Taken before anything is started, so that no child inherits it.
    const QString noIndexReason = takeNoIndexReason();
    const QString dataFolder = dataFolderPath();
    // The data folder is the session user's: the store and the log read and write it through
    // UserFiles (as that user in a root instance); the log creates every missing level.
    Settings::instanceWithFile(dataFolder + QStringLiteral("/settings.ini"));
    Logger::instance(dataFolder + QStringLiteral("/") + QLatin1String(kProgramName) + QStringLiteral(".log"));
    TQ_LOG_INFO(kTag, QStringLiteral("Log file created."));
    CrashHandler::install(dataFolder + QStringLiteral("/Tallowquist ProCrash.dmp"));
    // COM initialisation has no counterpart here and cannot fail.

    int code = 0;
    const QStringList arguments = programArguments(argc, argv);
    if (isMaintenanceRequest(arguments)) {
        // The maintenance options do their work and end; they need no display (an
        // administrator runs them from a console or a package script).
        QCoreApplication app(argc, argv);
        writeStartLines(arguments);
        code = handleSpecialArguments(arguments, MaintenanceActions::system());
        Settings::destroyInstance();
        return code;
    }
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QLatin1String(kProgramName));
        QApplication::setApplicationVersion(QLatin1String(kProgramVersion));
        QApplication::setDesktopFileName(QStringLiteral("tallowquist-pro"));
        SignalPipe endSignals;
        endSignals.install();
        QObject::connect(&endSignals, &SignalPipe::received, [](int sig) {
            TQ_LOG_INFO(kTag, QStringLiteral("Signal %1 received").arg(sig));
            ProgramExit::request(0);
        });
        // The end of the session ends the program as "Exit" does (the state is saved).
        QObject::connect(&app, &QGuiApplication::commitDataRequest, [](QSessionManager&) { ProgramExit::request(0); });

        writeStartLines(arguments);

        if (InstanceChannel::findInstance(QLatin1String(kMainInstanceWindowName), 3000)) {
            code = handOver(arguments, 0);
            Settings::destroyInstance();
            return code;
        }

        std::unique_ptr<MessageListenWidget> listener;
        QStringList received;
        const bool noElevation = arguments.contains(QStringLiteral("-no-elevation"));
        // Without a private runtime folder (root from su or sudo often has none) no instance
        // can listen or be found: this start then runs on its own, without the root instance,
        // instead of taking the failed listen for a running instance and ending unseen.
        const bool noChannel = InstanceChannel::runtimeFolder().isEmpty();
        if (noChannel)
            TQ_LOG_WARNING(kTag, QStringLiteral("No channel between instances: running alone"));
        if (!noElevation && !noChannel && !isProcessAdmin()) {
            listener = std::make_unique<MessageListenWidget>(QLatin1String(kUserInstanceWindowName), arguments);
            if (!listener->isListening()) {
                code = handOver(arguments, 15000);
            } else {
                Logger::instance().truncate();
                TQ_LOG_INFO(kTag, QStringLiteral("Log file created."));
                writeStartLines(arguments);
                // The end of the user's session reaches the root main instance only through us.
                QObject::connect(&endSignals, &SignalPipe::received, [] { forwardEndOfSession(); });
                QObject::connect(&app, &QGuiApplication::commitDataRequest, [](QSessionManager&) { forwardEndOfSession(); });
                code = runUserInstance(listener.get(), arguments);
                logExit(code);
            }
            listener.reset();
            Settings::destroyInstance();
            return code;
        }
        listener = std::make_unique<MessageListenWidget>(QLatin1String(kMainInstanceWindowName), arguments);
        if (!listener->isListening() && !noChannel) {
            code = handOver(arguments, 15000);
            Settings::destroyInstance();
            return code;
        }
        // The main instance starts the log afresh unless its user instance already did, or
        // started it with "-no-elevation" after it wrote why there is no root instance.
        if (!noElevation && !InstanceChannel::isTitleTaken(QLatin1String(kUserInstanceWindowName))) {
            Logger::instance().truncate();
            TQ_LOG_INFO(kTag, QStringLiteral("Log file created."));
            writeStartLines(arguments);
        }
        if (!noElevation)
            initAdminInstance(listener.get(), received);

        code = runMainInstance(received.isEmpty() ? arguments : received, listener.get(), dataFolder, noIndexReason);
        listener.reset();
    }
    Settings::destroyInstance();
    logExit(code);
    return code;
}
