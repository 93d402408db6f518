// What one local process can make an instance's message server hold or write: refused frames
// are logged about once a second with their count, open connections are capped per process,
// and idle connections are closed.
#include "app/desktop/ShellEnvironment.h"
#include "app/instance/InstanceChannel.h"
#include "app/instance/MessageListenWidget.h"
#include "app/instance/MessageServer.h"
#include "core/Logger.h"
#include "testutil.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

class TestMessageServer : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString runtime_;

    // The log is UTF-16 little-endian.
    static QString logText()
    {
        const QByteArray bytes = testutil::readFile(Logger::instance().filePath());
        return QString::fromUtf16(reinterpret_cast<const ushort*>(bytes.constData()), bytes.size() / 2);
    }

    // Connects `count` sockets to the title (the server sees them once events are processed).
    std::vector<std::unique_ptr<QLocalSocket>> connectMany(const QString& title, int count)
    {
        std::vector<std::unique_ptr<QLocalSocket>> sockets;
        for (int i = 0; i < count; ++i) {
            sockets.emplace_back(new QLocalSocket);
            sockets.back()->connectToServer(InstanceChannel::socketPath(title));
            sockets.back()->waitForConnected(2000);
        }
        return sockets;
    }

    // How many of the sockets are still connected.
    static int connected(const std::vector<std::unique_ptr<QLocalSocket>>& sockets)
    {
        int open = 0;
        for (const auto& s : sockets) {
            s->waitForReadyRead(0);
            open += s->state() == QLocalSocket::ConnectedState;
        }
        return open;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        qunsetenv("PKEXEC_UID");
        qunsetenv("SUDO_UID");
        Logger::instance(dir_.filePath(QStringLiteral("test.log")));
        runtime_ = dir_.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(runtime_));
        QVERIFY(::chmod(QFile::encodeName(runtime_).constData(), 0700) == 0);
        ShellEnvironment::setRuntimeFolder(runtime_);
    }

    // 500 refused frames on one connection give a handful of log lines, one of which counts
    // the rest; the sender still gets every reply.
    void refusalsAreLoggedOnceASecond()
    {
        MessageListenWidget user{QLatin1String(kUserInstanceWindowName)};
        QVERIFY(user.isListening());
        const int linesBefore = logText().count(QStringLiteral("Ignored message 74"));
        QList<MessageFrame> frames;
        const QByteArray payload = MessageFrame::copyDataPayload(2, MessageFrame::textData(QStringLiteral("/etc/passwd")));
        for (int i = 0; i < 500; ++i)
            frames << MessageFrame{MessageFrame::kCopyData, payload};
        std::atomic<int> posted{-1};
        std::thread sender([&] { posted = InstanceChannel::post(QLatin1String(kUserInstanceWindowName), frames) ? 1 : 0; });
        QTRY_VERIFY_WITH_TIMEOUT(posted != -1, 60000); // the server reads in this thread meanwhile
        sender.join();
        QCOMPARE(posted.load(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(QStringLiteral("more like this in the last second")), 3000);
        const QString log = logText();
        const int lines = log.count(QStringLiteral("Ignored message 74")) - linesBefore;
        QVERIFY2(lines >= 2 && lines <= 4, qPrintable(QString::number(lines)));
        QRegularExpression counted(QStringLiteral("(\\d+) more like this in the last second, the last: Ignored message 74"));
        int total = 0;
        for (auto m = counted.globalMatch(log); m.hasNext();)
            total += m.next().captured(1).toInt();
        QCOMPARE(total + 1, 500); // the first line, and the count of the others
    }

    // One process may hold 16 connections; those past it are closed at once, the others stay.
    void connectionsPerProcessAreCapped()
    {
        MessageServer server;
        QVERIFY(server.listen(QStringLiteral("capped")));
        auto sockets = connectMany(QStringLiteral("capped"), 40);
        QTRY_COMPARE_WITH_TIMEOUT(server.connectionCount(), MessageServer::kMaxConnectionsPerProcess, 60000);
        QTRY_COMPARE_WITH_TIMEOUT(connected(sockets), MessageServer::kMaxConnectionsPerProcess, 60000);
        QVERIFY(logText().contains(QStringLiteral("Too many connections from process %1").arg(::getpid())));
        // Closing some makes room again.
        sockets.resize(10);
        QTRY_COMPARE(server.connectionCount(), 10);
        auto more = connectMany(QStringLiteral("capped"), 3);
        QTRY_COMPARE_WITH_TIMEOUT(server.connectionCount(), 13, 60000);
    }

    // A connection on which nothing arrives is closed after the idle time; one that keeps
    // talking stays.
    void idleConnectionsAreClosed()
    {
        MessageServer server;
        server.setHandler([](const MessageFrame&, const PeerCredentials&) { return 1; });
        QVERIFY(server.listen(QStringLiteral("idle")));
        server.setIdleTimeout(300);
        auto sockets = connectMany(QStringLiteral("idle"), 2);
        QTRY_COMPARE_WITH_TIMEOUT(server.connectionCount(), 2, 60000);
        // The second talks (a frame every 50 ms, well within the idle time) until the first,
        // silent, has been closed.
        QElapsedTimer timer;
        timer.start();
        while (sockets[0]->state() != QLocalSocket::UnconnectedState && timer.elapsed() < 60000) {
            sockets[1]->write(MessageFrame::encode(17, QByteArray()));
            sockets[1]->flush();
            QTest::qWait(50); // the pace of the talk
            sockets[0]->waitForReadyRead(0);
        }
        QCOMPARE(sockets[0]->state(), QLocalSocket::UnconnectedState);
        QCOMPARE(server.connectionCount(), 1);
        QCOMPARE(sockets[1]->state(), QLocalSocket::ConnectedState);
    }
};

QTEST_MAIN(TestMessageServer)
#include "tst_messageserver.moc"
