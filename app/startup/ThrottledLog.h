// ThrottledLog: warnings that another local process can provoke at will (refused messages,
// dropped connections), written at most once per interval.
//
// The first warning goes to the log at once. Those that follow within the interval are only
// counted; when the interval ends, one line gives their number and the last of them. So a
// process that floods the instance channel with refused frames adds about one line a second
// to the log, instead of one per frame. Used on the thread that owns it (a timer ends the
// interval).
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

class ThrottledLog
{
public:
    explicit ThrottledLog(const char* tag, int intervalMs = 1000);
    ~ThrottledLog();

    void warn(const QString& line);

private:
    void endInterval();

    const char* tag_;
    int intervalMs_;
    QElapsedTimer sinceLogged_;
    QTimer timer_;
    int held_ = 0;      // warnings counted since the last line
    QString lastHeld_;  // the last of them
};
