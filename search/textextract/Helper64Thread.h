// Helper64Thread: the thread ("HELPER64") that owns the program's end of the helper socket.
//
// The client's thread asks for an operation by emitting doConnect, doWrite or doRead (queued
// into this thread, whose object lives in itself) and then blocks in waitFinished; the slot
// completes the operation from this thread's event loop and wakes it. The client's waits use a
// wait condition, never a nested event loop, so a wait on the GUI thread runs no GUI events.
//
// Linux decisions (the helper pipe is a local socket, see Helper64Protocol):
// - onConnect listens on the socket path of the pipe id (put in place by LocalSocketFile, mode
//   0600, never through Qt's access options, which a user could turn against a root
//   process in the user's runtime folder) and accepts one
//   connection, only from a peer of our own uid and, when setExpectedPeer was called, from
//   that process id (SO_PEERCRED); then the listening socket is closed (and its file removed).
//   A socket that cannot be created completes the connect at once as failed.
// - Reads assemble one framed message from whatever the socket delivers; bytes that arrive
//   before the read is asked for are kept. A bad length is a protocol error as soon as it
//   arrives; a write whose text no frame can carry (see Helper64Protocol) fails unsent.
// - The end of the connection (the helper exited or closed it) or a malformed frame completes
//   a pending read or write as failed and sets peerGone, so the client marks the helper hung
//   at once instead of waiting for its time-out.
// - The socket objects are created and destroyed in this thread (destroyed when its event
//   loop ends).
// - A write may carry a descriptor (attachDescriptor before emitting doWrite): it is sent with
//   the message's first bytes (SCM_RIGHTS), then closed here whatever became of the write.
#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>
#include <functional>

class QLocalServer;
class QLocalSocket;

class Helper64Thread : public QThread
{
    Q_OBJECT

public:
    Helper64Thread();
    ~Helper64Thread() override;

    // Client side: number the next request before emitting it, then wait for it. `giveUp`
    // (polled every 100 ms) may end the wait early. True when the request completed.
    quint64 beginRequest();
    bool waitFinished(quint64 ticket, int timeoutMs, const std::function<bool()>& giveUp = {});

    void setExpectedPeer(qint64 pid);
    // Hands the next write a descriptor to send along; the thread owns and closes it.
    void attachDescriptor(int descriptor);

    bool isConnected() const;
    bool peerGone() const;
    bool writeOk() const;
    bool readOk() const;
    QString data() const;

signals:
    void doConnect(const QString& pipeId);
    void doRead();
    void doWrite(const QString& data);
    void connectFinished();
    void readFinished();
    void writeFinished();

public slots:
    void onConnect(const QString& pipeId);
    void onRead();
    void onWrite(const QString& data);

protected:
    void run() override;

private slots:
    void onNewConnection();
    void onReadyRead();
    void onBytesWritten();
    void onDisconnected();

private:
    enum Pending { None, Connect, Read, Write };
    void beginOp(Pending op);
    void complete(Pending op);
    void tryFinishRead();
    void dropConnection();

    QLocalServer* server = nullptr;
    QLocalSocket* socket = nullptr;
    QByteArray buffer; // bytes received and not yet taken as a message

    mutable QMutex lock; // guards the fields below
    QWaitCondition finished;
    quint64 issued = 0;
    quint64 completed = 0;
    quint64 activeTicket = 0;
    Pending pending = None;
    bool connected = false;
    bool gone = false;
    bool lastWriteOk = false;
    bool lastReadOk = false;
    QString lastData;
    qint64 expectedPid = 0;
    int attached = -1; // descriptor for the next write, owned
};
