// MessageServer: the receiving end of one title (see InstanceChannel): it claims the title's
// lock, removes a stale socket, listens, cuts each connection's bytes into frames and answers
// every frame with a kReply frame holding the handler's result.
//
// The handler gets the frame and the credentials of the process that connected (SO_PEERCRED,
// taken when the connection is accepted). It runs on the thread that owns the server (the GUI
// thread) and may itself send to other instances. A connection whose frames grow beyond
// MessageFrame::kMaxPayload is dropped.
//
// The socket is put in place by LocalSocketFile (bound directly at its name, checked and given
// its mode through descriptors). A root instance's socket gets mode 0666, so that the user
// instance can connect (other users cannot enter the private folder); others' get 0600.
#pragma once

#include "app/FrameReader.h"
#include "app/InstanceChannel.h"
#include "core/HandleHolder.h"

#include <QHash>
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

    explicit MessageServer(QObject* parent = nullptr);
    ~MessageServer() override;

    // Claims `title` and listens. False when another live process holds the title (it is
    // checked for `claimTimeoutMs` while the lock is busy) or when there is no runtime folder.
    bool listen(const QString& title, int claimTimeoutMs = 2000);
    bool isListening() const;
    QString title() const { return title_; }

    void setHandler(Handler handler) { handler_ = std::move(handler); }

private:
    struct Connection
    {
        FrameReader reader;
        PeerCredentials peer;
    };

    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);
    void releaseLock();

    QLocalServer* server_ = nullptr;
    QHash<QLocalSocket*, Connection> connections_;
    Handler handler_;
    QString title_;
    HandleHolder lockFd_;
};
