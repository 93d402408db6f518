// Helper64Thread: the thread ("HELPER64") that owns the program's end of the helper socket.
//
// The client's thread asks for an operation by emitting doConnect, doWrite or doRead (queued
// into this thread, whose object lives in itself) and then blocks in waitFinished; the slot
// completes the operation from this thread's event loop and wakes it. The client's waits use a
// wait condition, never a nested event loop, so a wait on the GUI thread runs no GUI events.
//
// Linux decisions (the helper pipe is a local socket, see Helper64Protocol):
// - onConnect takes over the program's end of the connection to the helper (a connected
//   socket pair, see Helper64Protocol): there is no socket file, so nobody else can connect.
//   The connect completes when the helper's greeting for the pipe id arrives; a descriptor that
//   is no connected socket, another first message or the end of the connection (the helper
//   exited) completes it as failed.
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

    // Hands the next write a descriptor to send along; the thread owns and closes it.
    void attachDescriptor(int descriptor);

    bool isConnected() const;
    bool peerGone() const;
    bool writeOk() const;
    bool readOk() const;
    QString data() const;

signals:
    // Takes over `descriptor` (a connected socket; the thread owns it from then on) and waits
    // for the greeting of the helper started with `pipeId`.
    void doConnect(int descriptor, const QString& pipeId);
    void doRead();
    void doWrite(const QString& data);
    void connectFinished();
    void readFinished();
    void writeFinished();

public slots:
    void onConnect(int descriptor, const QString& pipeId);
    void onRead();
    void onWrite(const QString& data);

protected:
    void run() override;

private slots:
    void onReadyRead();
    void onBytesWritten();
    void onDisconnected();

private:
    enum class Pending { None, Connect, Read, Write };
    void beginOp(Pending op);
    void complete(Pending op);
    void tryFinishRead();
    void takeGreeting();
    void dropConnection();

    QLocalSocket* socket = nullptr;
    QByteArray buffer; // bytes received and not yet taken as a message
    QString greeting;  // the first message the helper must send

    mutable QMutex lock; // guards the fields below
    QWaitCondition finished;
    quint64 issued = 0;
    quint64 completed = 0;
    quint64 activeTicket = 0;
    Pending pending = Pending::None;
    bool connected = false;
    bool gone = false;
    bool lastWriteOk = false;
    bool lastReadOk = false;
    QString lastData;
    int attached = -1; // descriptor for the next write, owned
};
