#include "app/instance/InstancePair.h"

#include "app/desktop/ShellUtils.h"
#include "app/instance/MessageListenWidget.h"
#include "app/instance/TaskScheduler.h"
#include "app/instance/WaitAdminProcessThread.h"
#include "core/Logger.h"
#include "core/SystemUtils.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <unistd.h>

bool notifyAnotherInstance(const QStringList& arguments)
{
    TQ_LOG_DEBUG("main", QStringLiteral("notifyAnotherInstance"));
    const QString mainTitle = QLatin1String(kMainInstanceWindowName);
    qint32 result;
    if (arguments.size() >= 3 && arguments.at(1) == QLatin1String("-path")) {
        const QString folder = MessageListenWidget::handOverArguments(arguments).at(2);
        result = InstanceChannel::send(mainTitle, MessageFrame::kCopyData,
                                       MessageFrame::copyDataPayload(MessageFrame::kNewSearch,
                                                                     MessageFrame::textData(folder)));
    } else {
        result = InstanceChannel::send(mainTitle, MessageFrame::kActivate, QByteArray());
    }
    return result == 1;
}

bool notifyAnotherInstance()
{
    return notifyAnotherInstance(QCoreApplication::arguments());
}

void initAdminInstance(MessageListenWidget* widget, QStringList& received, int waitMs)
{
    TQ_LOG_DEBUG("main", QStringLiteral("initAdminInstance"));
    const QString userTitle = QLatin1String(kUserInstanceWindowName);
    PeerCredentials user;
    QLocalSocket* probe = InstanceChannel::connectTo(userTitle, 1000, &user);
    if (!probe)
        return; // started elevated directly
    delete probe;

    bool arrived = false;
    QStringList list;
    QEventLoop loop;
    const QMetaObject::Connection connection = QObject::connect(
        widget, &MessageListenWidget::argumentsReceived, &loop, [&](const QStringList& arguments) {
            list = arguments;
            arrived = true;
            loop.quit();
        });
    widget->expectArgumentsFrom(user.pid);
    const QList<MessageFrame> frames{
        MessageFrame{MessageFrame::kProcessId, MessageFrame::processIdPayload(static_cast<quint32>(::getpid()))},
        MessageFrame{MessageFrame::kSendArguments, QByteArray()}};
    PeerCredentials server;
    if (InstanceChannel::post(userTitle, frames, InstanceChannel::kSendTimeoutMs, &server) && server.pid == user.pid) {
        QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
        if (!arrived)
            loop.exec();
    }
    QObject::disconnect(connection);
    widget->expectArgumentsFrom(-1);
    if (arrived)
        received = list;
    else
        TQ_LOG_WARNING("main", QStringLiteral("No arguments from the user instance"));
}

QString takeNoIndexReason()
{
    const QString reason = qEnvironmentVariable(kNoIndexReasonVariable);
    qunsetenv(kNoIndexReasonVariable);
    return reason;
}

QStringList unelevatedArguments(const QStringList& arguments)
{
    QStringList result = arguments.mid(1);
    result << QStringLiteral("-no-elevation");
    return result;
}

bool handOverToMainInstance(const QStringList& arguments, int waitMs)
{
    const QString mainTitle = QLatin1String(kMainInstanceWindowName);
    const QString userTitle = QLatin1String(kUserInstanceWindowName);
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (InstanceChannel::findInstance(mainTitle, 0))
            return notifyAnotherInstance(arguments);
        const bool starting = InstanceChannel::isTitleTaken(mainTitle) || InstanceChannel::isTitleTaken(userTitle);
        if (!starting || timer.elapsed() >= waitMs) {
            TQ_LOG_WARNING("main", QStringLiteral("No main instance to hand the request to"));
            return false;
        }
        QThread::msleep(50);
    }
}

int runUserInstance(MessageListenWidget* widget, const QStringList& arguments,
                    const SkipUacLocations& skipUac, int pidWaitMs)
{
    TQ_LOG_DEBUG("main", QStringLiteral("runUserInstance"));
    if (runSkipUacTask(skipUac)) {
        TQ_LOG_DEBUG("main", QStringLiteral("Task lauched."));
    } else {
        TQ_LOG_DEBUG("main", QStringLiteral("Running task failed."));
        const QString program = skipUac.programFile;
        QString reason;
        if (!isUserAdmin()) {
            reason = QStringLiteral("not-admin");
        } else {
            int code = -1;
            if (!runElevated(program, QString(), &code))
                reason = code == 126 || code == 127 ? QStringLiteral("refused") : QStringLiteral("failed");
        }
        if (!reason.isEmpty()) {
            // Without elevation: a main instance of this user, given our arguments and told why.
            TQ_LOG_WARNING("main", QStringLiteral("No root instance (%1): starting without an index").arg(reason));
            qputenv(kNoIndexReasonVariable, reason.toLatin1());
            const bool started = ShellUtils::startProgram(program, unelevatedArguments(arguments));
            qunsetenv(kNoIndexReasonVariable);
            if (!started) {
                TQ_LOG_ERROR("main", QStringLiteral("Failed to run with no elevation"));
                return 1;
            }
            return 0;
        }
    }

    // Elevation is decided (any prompt is over): the elevated process now reports its pid.
    int pid = static_cast<int>(widget->adminProcessId());
    if (pid <= 0) {
        QEventLoop loop;
        const QMetaObject::Connection connection =
            QObject::connect(widget, &MessageListenWidget::pidReceived, &loop, [&](int received) {
                pid = received;
                loop.quit();
            });
        QTimer::singleShot(pidWaitMs, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(connection);
    }
    if (pid <= 0) {
        TQ_LOG_ERROR("main", QStringLiteral("Admin process PID not received."));
        return 1;
    }
    WaitAdminProcessThread waiter(pid);
    waiter.start(QThread::InheritPriority);
    const int code = QCoreApplication::exec();
    return code;
}
