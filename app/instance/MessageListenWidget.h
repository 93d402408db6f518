// MessageListenWidget: the hidden message window of an instance (see InstancePair.h for the
// pair of instances and InstanceChannel.h for the sockets that stand in for windows).
//
// Constructed with a title, it claims that title and listens on its socket; it is never shown.
// The title decides the role: kMainInstanceWindowName makes it the main instance's window,
// kUserInstanceWindowName the user instance's; any other title acts on nothing.
//
// What each role acts on (everything else is refused with result 0 and logged):
//   main instance
//     kCopyData code 0 (new search): from a process of a trusted user (root, own, session
//       user); the text must be an absolute path; emits newSearchRequested and brings the main
//       window to the front.
//     kCopyData code 1 (arguments): only from the user instance this instance asked
//       (expectArgumentsFrom, its pid from SO_PEERCRED); emits argumentsReceived once.
//     kActivate: from a trusted user; shows the main window normally and raises it.
//   user instance
//     kProcessId: from a process of root or of this user whose own pid is the one it reports,
//       and only the first such (the elevated instance); emits pidReceived.
//     kSendArguments: only from that process; sends this process's arguments (kCopyData
//       code 1), a relative "-path" folder made absolute first.
//     kCopyData code 2 (open a file): only from that process; the path must be absolute;
//       opens it with this user's rights (ShellUtils::openFile); the result is 1 when opened.
//     kCopyData code 3 (show a file in its folder): likewise; the file manager shows the folder
//       with the file selected (ShellUtils::showInFolder); the result is 1 when shown.
//     kEndSession: from a trusted user (the user instance forwards the end of the user's
//       session, which a root instance never hears of itself); emits endSessionRequested.
//   both: kQueryEndSession from a trusted user is answered with 1.
// Bringing the main window to the front keeps it maximised when it was (only a minimised or
// hidden window is restored).
// So an elevated instance never acts on a path some other local process sends it, and the user
// instance opens files only for its own elevated instance.
#pragma once

#include "app/instance/InstanceChannel.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class MessageServer;

class MessageListenWidget : public QWidget
{
    Q_OBJECT

public:
    enum class Role { None, Main, User };

    // What the receiving side knows about its peers.
    struct PeerState
    {
        qint64 expectedArgumentsPid = -1; // main: the user instance asked for its arguments
        qint64 adminPid = -1;             // user: the elevated instance, once it reported
        qint64 ownUid = -1;
        qint64 sessionUid = -1;
    };

    // `arguments`: this process's argument list as start-up decoded it (losslessly, see
    // programArguments), sent to the main instance when it asks; empty: the application's.
    explicit MessageListenWidget(const QString& title, const QStringList& arguments = QStringList(),
                                 QWidget* parent = nullptr);
    ~MessageListenWidget() override;

    QString title() const { return title_; }
    Role role() const { return role_; }
    // False when another process owns the title (a second start) or there is no runtime folder.
    bool isListening() const;

    void setMainWindow(QWidget* window) { mainWindow_ = window; }
    QWidget* mainWindow() const { return mainWindow_; }

    // Main instance: accept one argument list from this process (-1: from nobody).
    void expectArgumentsFrom(qint64 pid) { state_.expectedArgumentsPid = pid; }
    // User instance: the elevated instance's pid once it reported, else -1.
    qint64 adminProcessId() const { return state_.adminPid; }

    // The receiving side: acts on one frame and returns the reply's result.
    qint32 handleFrame(const MessageFrame& frame, const PeerCredentials& peer);

    // Whether an instance of `role` in `state` acts on `frame` from `peer` (the rules above;
    // the payload's content is checked by handleFrame).
    static bool accepts(Role role, const MessageFrame& frame, const PeerCredentials& peer, const PeerState& state);

    // The argument list handed to the main instance: `arguments` with the folder after a
    // leading "-path" made absolute against the current folder.
    static QStringList handOverArguments(const QStringList& arguments);

signals:
    void argumentsReceived(const QStringList& arguments);
    void pidReceived(int pid);
    void newSearchRequested(const QString& folder);
    void endSessionRequested();

private:
    void bringMainWindowToFront();
    qint32 sendOwnArguments();

    QString title_;
    QStringList arguments_;
    Role role_ = Role::None;
    MessageServer* server_ = nullptr;
    QPointer<QWidget> mainWindow_;
    PeerState state_;
};
