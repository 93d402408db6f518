// The end signals reach the event loop through the self-pipe, and an end asked before the event
// loop runs (or inside a nested one) is not lost.
#include "app/startup/ProgramExit.h"
#include "app/startup/SignalPipe.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <csignal>

class SignalPipeTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { ProgramExit::reset(); }

    void signalsArriveOnTheEventLoop()
    {
        SignalPipe pipe;
        QVERIFY(pipe.install());
        QSignalSpy spy(&pipe, &SignalPipe::received);
        ::raise(SIGTERM);
        ::raise(SIGHUP);
        ::raise(SIGINT);
        QTRY_COMPARE(spy.count(), 3);
        QCOMPARE(spy.at(0).at(0).toInt(), int(SIGTERM));
        QCOMPARE(spy.at(1).at(0).toInt(), int(SIGHUP));
        QCOMPARE(spy.at(2).at(0).toInt(), int(SIGINT));
    }

    void aBurstNeverBlocks()
    {
        SignalPipe pipe;
        QVERIFY(pipe.install());
        QSignalSpy spy(&pipe, &SignalPipe::received);
        // More than a pipe holds: the handler must not block, the process must not die.
        for (int i = 0; i < 100000; ++i)
            ::raise(SIGTERM);
        QTRY_VERIFY(spy.count() > 0);
    }

    void defaultActionsComeBack()
    {
        {
            SignalPipe pipe;
            QVERIFY(pipe.install());
        }
        struct sigaction current;
        ::sigaction(SIGTERM, nullptr, &current);
        QVERIFY(current.sa_handler == SIG_DFL);
    }

    void exitBeforeTheLoopIsRemembered()
    {
        ProgramExit::request(7);
        ProgramExit::request(3); // the first code stays
        int code = -1;
        QVERIFY(ProgramExit::requested(&code));
        QCOMPARE(code, 7);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(ProgramExit::runEventLoop(), 7);
        QVERIFY(timer.elapsed() < 1000);
    }

    void exitFromANestedLoopEndsTheMainLoop()
    {
        QTimer::singleShot(0, [] {
            QEventLoop nested;
            QTimer::singleShot(0, [] { ProgramExit::request(0); });
            nested.exec();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        bool timedOut = false;
        connect(&watchdog, &QTimer::timeout, [&] { timedOut = true; QCoreApplication::exit(99); });
        watchdog.start(5000);
        QCOMPARE(ProgramExit::runEventLoop(), 0);
        QVERIFY(!timedOut);
    }

    void signalEndsTheLoopWithCodeZero()
    {
        SignalPipe pipe;
        QVERIFY(pipe.install());
        connect(&pipe, &SignalPipe::received, [] { ProgramExit::request(0); });
        QTimer::singleShot(10, [] { ::raise(SIGTERM); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        QCOMPARE(ProgramExit::runEventLoop(), 0);
    }
};

QTEST_GUILESS_MAIN(SignalPipeTest)
#include "tst_signalpipe.moc"
