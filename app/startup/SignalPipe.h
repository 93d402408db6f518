// SignalPipe: the signals that ask the program to end (SIGTERM, SIGINT, SIGHUP: a kill, Ctrl+C in
// a terminal, the end of the session) reach the normal exit path, so that settings, histories
// and tabs are saved as on "Exit".
//
// The handler only writes the signal number as one byte into a pipe (the self-pipe: write is
// async-signal-safe); a QSocketNotifier on the GUI thread reads it and emits `received`. Both
// ends are non-blocking and close-on-exec, so a child never inherits them and a burst of
// signals never blocks the handler. One object per process; its destructor puts the default
// actions back.
#pragma once

#include <QObject>

class QSocketNotifier;

class SignalPipe : public QObject
{
    Q_OBJECT

public:
    explicit SignalPipe(QObject* parent = nullptr);
    ~SignalPipe() override;

    // Handles SIGTERM, SIGINT and SIGHUP from now on. False when the pipe could not be made.
    bool install();

signals:
    void received(int signalNumber);

private:
    void onReadable();

    QSocketNotifier* notifier_ = nullptr;
};
