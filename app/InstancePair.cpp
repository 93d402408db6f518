#include "app/InstancePair.h"

#include "app/MessageListenWidget.h"
#include "app/ShellEnvironment.h"
#include "app/TaskScheduler.h"
#include "app/WaitAdminProcessThread.h"
#include "core/Logger.h"
#include "core/SystemUtils.h"

#include <QApplication>
#include <QEventLoop>
#include <QLocalSocket>
#include <QProcess>
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

QStringList unelevatedArguments(const QStringList& arguments)
{
    QStringList result = arguments.mid(1);
    result << QStringLiteral("-no-elevation");
    return result;
}

int runUserInstance(MessageListenWidget* widget, int pidWaitMs)
{
    TQ_LOG_DEBUG("main", QStringLiteral("runUserInstance"));
    if (runSkipUacTask()) {
        TQ_LOG_DEBUG("main", QStringLiteral("Task lauched."));
    } else {
        TQ_LOG_DEBUG("main", QStringLiteral("Running task failed."));
        const QString program = ShellEnvironment::programFile();
        if (!isUserAdmin() || !runElevated(program, QString())) {
            // Without elevation: a main instance of this user, given our arguments.
            if (!QProcess::startDetached(program, unelevatedArguments(QCoreApplication::arguments()))) {
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
