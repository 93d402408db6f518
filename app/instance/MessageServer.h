// MessageServer: the receiving end of one title (see InstanceChannel): it claims the title's
// lock, removes a stale socket, listens, cuts each connection's bytes into frames and answers
// every frame with a kReply frame holding the handler's result.
//
// The handler gets the frame and the credentials of the process that connected (SO_PEERCRED,
// taken when the connection is accepted). It runs on the thread that owns the server (the GUI
// thread) and may itself send to other instances. A connection whose frames grow beyond
// MessageFrame::kMaxPayload is dropped.
//
// Any local process of a trusted user can connect, so what one of them can make the server hold
// is bounded: at most kMaxConnectionsPerProcess open connections per process id and
// kMaxConnectionsPerUser per uid (a connection past either is closed at once), and a connection
// on which no byte arrives for kIdleTimeoutMs is closed. Refusals (these, oversized frames and
// the handler's own through logRefusal) go to the log through one ThrottledLog, about one line
// a second however many there are.
//
// The socket is put in place by LocalSocketFile (bound directly at its name, checked and given
// its mode through descriptors). The lock file and the socket lie in the session user's runtime
// folder: they are made, and removed again, as that user (UserFiles), also by a root instance,
// so both belong to the user (socket mode 0600) and nothing of root's is left there.
#pragma once

#include "app/instance/FrameReader.h"
#include "app/instance/InstanceChannel.h"
#include "app/startup/ThrottledLog.h"
#include "core/HandleHolder.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

class MessageServer : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<qint32(const MessageFrame&, const PeerCredentials&)>;

    static constexpr int kMaxConnectionsPerProcess = 16;
    static constexpr int kMaxConnectionsPerUser = 64;
    static constexpr int kIdleTimeoutMs = 10000;

    explicit MessageServer(QObject* parent = nullptr);
    ~MessageServer() override;

    // Claims `title` and listens. False when another live process holds the title (it is
    // checked for `claimTimeoutMs` while the lock is busy) or when there is no runtime folder.
    bool listen(const QString& title, int claimTimeoutMs = 2000);
    bool isListening() const;
    QString title() const { return title_; }

    void setHandler(Handler handler) { handler_ = std::move(handler); }

    // Writes a refusal to the log, throttled (see above).
    void logRefusal(const QString& line) { refusals_.warn(line); }
    // Tests shorten the idle time-out.
    void setIdleTimeout(int ms);
    int connectionCount() const { return connections_.size(); }

private:
    struct Connection
    {
        FrameReader reader;
        PeerCredentials peer;
        QElapsedTimer idle; // since the last bytes arrived
    };

    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);
    void releaseLock();
    void drop(QLocalSocket* socket);
    void closeIdleConnections();

    QLocalServer* server_ = nullptr;
    QHash<QLocalSocket*, Connection> connections_;
    Handler handler_;
    QString title_;
    HandleHolder lockFd_;
    ThrottledLog refusals_{"MessageServer"};
    QTimer idleCheck_;
    int idleTimeoutMs_ = kIdleTimeoutMs;
};
