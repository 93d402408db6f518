// Helper64Server: the helper program's side of the helper socket (see Helper64Protocol).
//
// Its connection to the program is its standard input: one end of a socket pair the program
// made before it started us (see Helper64Protocol), moved off standard input at once. That pair
// must have been made by the program that started us (our parent), else the helper ends. The socket is read directly (recvmsg), because a request
// brings the document it is about as a descriptor. Then it answers one request at a time:
//   "CONVERT\n<path>"  extracts the text of the document whose descriptor came with the
//                      request (never opening <path>, which names it) with the filters of
//                      "ifilters64.reg" into the
//                      working folder (time limit kTimeLimitSeconds, below the program's own
//                      wait, so the program hears "TIMEOUT" rather than giving up on us;
//                      the text bounded as every converter's, TextLimits.h);
//                      replies the text file's path, "TIMEOUT" or "".
//   "GET_IFILTERS"     replies the filters of "ifilters64.reg" in the line format.
//   "EXIT"             ends the helper without a reply.
//   anything else      replies "" (the program never waits for nothing).
// Conversions run on a worker thread so the socket stays watched: when the program goes away
// (end of the connection) or sends a malformed message, the running conversion is cancelled
// (its child process killed, its partial file removed) and the helper ends.
#pragma once

#include "search/textextract/TextLimits.h"

#include "core/HandleHolder.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <deque>

class QSocketNotifier;
class QThread;

class Helper64Server : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTimeLimitSeconds = TextLimits::kTimeLimitSeconds;
    // How long the end of the helper waits for a cancelled conversion before exiting anyway.
    static constexpr int kStopWaitMs = 10000;

    Helper64Server(const QString& pipeId, const QString& workFolder);
    ~Helper64Server() override;

    // Takes the connection to the program from standard input; false when there is none.
    bool connectToProgram();

signals:
    void done();

private slots:
    void onReadyRead();
    void onConversionFinished();

private:
    void processNext();
    void reply(const QString& text);
    void finish();
    void stopWorker();
    void closeSocket();

    struct Request
    {
        QString text;
        HandleHolder document; // the descriptor that came with a "CONVERT"
    };

    QString pipeId;
    QString workFolder;
    qint64 parentPid;        // the program that started us, taken at construction
    HandleHolder socket;
    QSocketNotifier* notifier = nullptr;
    QByteArray buffer;
    QList<int> descriptors;  // received and not yet given to a request (owned)
    std::deque<Request> queue; // requests received and not yet answered
    QThread* worker = nullptr;
    bool cancel = false;     // read by the running conversion
    QString result;          // written by the worker, read after it finished
    bool ending = false;
};
