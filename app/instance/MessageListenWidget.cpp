#include "app/instance/MessageListenWidget.h"

#include "app/desktop/ShellUtils.h"
#include "app/instance/MessageServer.h"
#include "core/Logger.h"
#include "core/SystemUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace {

quint32 copyDataCode(const MessageFrame& frame, bool& ok)
{
    quint32 code = 0;
    QByteArray data;
    ok = MessageFrame::readCopyData(frame.payload, code, data);
    return code;
}

QString absolutePath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

MessageListenWidget::MessageListenWidget(const QString& title, const QStringList& arguments, QWidget* parent)
    : QWidget(parent)
    , title_(title)
    , arguments_(arguments)
{
    setWindowTitle(title);
    if (title == QLatin1String(kMainInstanceWindowName))
        role_ = Role::Main;
    else if (title == QLatin1String(kUserInstanceWindowName))
        role_ = Role::User;
    state_.ownUid = static_cast<qint64>(::geteuid());
    state_.sessionUid = static_cast<qint64>(sessionUserId());

    server_ = new MessageServer(this);
    server_->setHandler([this](const MessageFrame& frame, const PeerCredentials& peer) {
        return handleFrame(frame, peer);
    });
    if (!server_->listen(title))
        TQ_LOG_WARNING("MessageListenWidget", QStringLiteral("Not listening as %1").arg(title));
}

MessageListenWidget::~MessageListenWidget() = default;

bool MessageListenWidget::isListening() const
{
    return server_->isListening();
}

bool MessageListenWidget::accepts(Role role, const MessageFrame& frame, const PeerCredentials& peer,
                                  const PeerState& state)
{
    if (!peer.isValid())
        return false;
    const bool trustedUser = peer.uid == 0 || peer.uid == state.ownUid || peer.uid == state.sessionUid;
    if (!trustedUser)
        return false;
    if (frame.id == MessageFrame::kQueryEndSession)
        return role != Role::None;

    bool ok = false;
    switch (role) {
    case Role::Main:
        if (frame.id == MessageFrame::kActivate || frame.id == MessageFrame::kEndSession)
            return true;
        if (frame.id == MessageFrame::kCopyData) {
            const quint32 code = copyDataCode(frame, ok);
            if (!ok)
                return false;
            if (code == MessageFrame::kNewSearch)
                return true;
            if (code == MessageFrame::kArguments)
                return state.expectedArgumentsPid > 0 && peer.pid == state.expectedArgumentsPid;
        }
        return false;
    case Role::User:
        if (frame.id == MessageFrame::kProcessId) {
            quint32 pid = 0;
            if (!MessageFrame::readUInt32(frame.payload, pid) || static_cast<qint64>(pid) != peer.pid)
                return false;
            if (peer.uid != 0 && peer.uid != state.ownUid)
                return false;
            return state.adminPid < 0 || state.adminPid == peer.pid;
        }
        if (state.adminPid < 0 || peer.pid != state.adminPid)
            return false;
        if (frame.id == MessageFrame::kSendArguments)
            return true;
        if (frame.id == MessageFrame::kCopyData)
        {
            const quint32 code = copyDataCode(frame, ok);
            return ok && (code == MessageFrame::kOpenFile || code == MessageFrame::kShowInFolder);
        }
        return false;
    case Role::None:
        return false;
    }
    return false;
}

qint32 MessageListenWidget::handleFrame(const MessageFrame& frame, const PeerCredentials& peer)
{
    if (!accepts(role_, frame, peer, state_)) {
        server_->logRefusal(QStringLiteral("Ignored message %1 from process %2 (uid %3)")
                                .arg(frame.id).arg(peer.pid).arg(peer.uid));
        return 0;
    }
    switch (frame.id) {
    case MessageFrame::kQueryEndSession:
        return 1;
    case MessageFrame::kActivate:
        bringMainWindowToFront();
        return 1;
    case MessageFrame::kEndSession:
        emit endSessionRequested();
        return 1;
    case MessageFrame::kProcessId:
        state_.adminPid = peer.pid;
        emit pidReceived(static_cast<int>(peer.pid));
        return 1;
    case MessageFrame::kSendArguments:
        return sendOwnArguments();
    case MessageFrame::kCopyData:
        break;
    default:
        return 0;
    }

    quint32 code = 0;
    QByteArray copyData;
    MessageFrame::readCopyData(frame.payload, code, copyData);
    if (code == MessageFrame::kArguments) {
        QStringList arguments;
        if (!MessageFrame::readList(copyData, arguments))
            return 0;
        state_.expectedArgumentsPid = -1; // one list per request
        emit argumentsReceived(arguments);
        return 1;
    }
    QString path;
    if (!MessageFrame::readText(copyData, path) || !path.startsWith(QLatin1Char('/'))) {
        server_->logRefusal(QStringLiteral("Ignored a path that is not absolute"));
        return 0;
    }
    if (code == MessageFrame::kNewSearch) {
        emit newSearchRequested(QDir::cleanPath(path));
        bringMainWindowToFront();
        return 1;
    }
    if (code == MessageFrame::kShowInFolder) {
        TQ_LOG_INFO("main", QStringLiteral("Show in folder: %1").arg(path));
        return ShellUtils::showInFolder(this, path) ? 1 : 0;
    }
    // kOpenFile, in the user instance.
    return ShellUtils::openFile(this, path, QString()) ? 1 : 0;
}

void MessageListenWidget::bringMainWindowToFront()
{
    if (!mainWindow_)
        return;
    // A maximised window stays maximised; only a minimised one is restored.
    mainWindow_->setWindowState(mainWindow_->windowState() & ~Qt::WindowMinimized);
    mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
}

QStringList MessageListenWidget::handOverArguments(const QStringList& arguments)
{
    QStringList result = arguments;
    if (result.size() >= 3 && result.at(1) == QLatin1String("-path") && !result.at(2).isEmpty())
        result[2] = absolutePath(result.at(2));
    return result;
}

qint32 MessageListenWidget::sendOwnArguments()
{
    const QStringList arguments = handOverArguments(arguments_.isEmpty() ? QCoreApplication::arguments() : arguments_);
    const qint32 result = InstanceChannel::send(QLatin1String(kMainInstanceWindowName), MessageFrame::kCopyData,
                                                MessageFrame::copyDataPayload(MessageFrame::kArguments,
                                                                              MessageFrame::listData(arguments)));
    return result < 0 ? 0 : result;
}
