// The pair of instances: message frames and payloads, the receiving rules of both roles, and
// whole start-ups with real processes. The test program itself plays the other processes: run
// with TQ_PAIR_ROLE set it becomes the user instance, the elevated main instance or a second
// start (see childMain), with stand-in scripts for pkexec, pkcheck and the opener.
#include "app/desktop/ShellEnvironment.h"
#include "app/desktop/ShellUtils.h"
#include "app/instance/FrameReader.h"
#include "app/instance/InstanceChannel.h"
#include "app/instance/InstancePair.h"
#include "app/instance/MessageFrame.h"
#include "app/instance/MessageListenWidget.h"
#include "app/instance/MessageServer.h"
#include "app/instance/TaskScheduler.h"
#include "app/instance/WaitAdminProcessThread.h"
#include "app/startup/StartUp.h"
#include "core/FileNameCodec.h"
#include "core/Logger.h"
#include "core/SystemUtils.h"
#include "tests/app/apptestutil.h"
#include "testutil.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>
#include <atomic>
#include <thread>
#include <unistd.h>

namespace {

QString outDir()
{
    return qEnvironmentVariable("TQ_PAIR_OUT");
}

void writeOut(const QString& name, const QByteArray& bytes)
{
    const QString path = outDir() + QLatin1Char('/') + name;
    QFile file(path + QStringLiteral(".tmp"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
        file.close();
        QFile::remove(path);
        QFile::rename(path + QStringLiteral(".tmp"), path);
    }
}

void appendOut(const QString& name, const QByteArray& line)
{
    QFile file(outDir() + QLatin1Char('/') + name);
    if (file.open(QIODevice::Append))
        file.write(line + '\n');
}

QByteArray jsonList(const QStringList& items)
{
    return QJsonDocument(QJsonArray::fromStringList(items)).toJson(QJsonDocument::Compact);
}

// Each item's own bytes in hexadecimal, comma-separated: exact where JSON would replace bytes.
QByteArray hexList(const QStringList& items)
{
    QList<QByteArray> hex;
    for (const QString& item : items)
        hex << FileNameCodec::encode(item).toHex();
    return hex.join(',');
}

// A stand-in for the main window: records when it is brought to the front.
class RecordingWindow : public QWidget
{
protected:
    void showEvent(QShowEvent* event) override
    {
        appendOut(QStringLiteral("activated"), "1");
        QWidget::showEvent(event);
    }
};

int childMain(int argc, char** argv, const QByteArray& role)
{
    Logger::instance(outDir() + QLatin1Char('/') + QString::fromLatin1(role) + QStringLiteral(".log"));
    QApplication app(argc, argv);
    ShellEnvironment::setRuntimeFolder(qEnvironmentVariable("TQ_PAIR_RUNTIME"));
    ShellEnvironment::setOpenerProgram(qEnvironmentVariable("TQ_PAIR_OPENER"));
    setElevationProgram(qEnvironmentVariable("TQ_PAIR_PKEXEC"));
    const QString mainTitle = QLatin1String(kMainInstanceWindowName);

    const QStringList arguments = programArguments(argc, argv);
    if (role == "user") {
        // A user instance that found no way to elevate starts the program itself with
        // "-no-elevation"; here that start ends at once, so it can never chain.
        if (arguments.contains(QStringLiteral("-no-elevation"))) {
            appendOut(QStringLiteral("unelevated-start"), jsonList(QCoreApplication::arguments().mid(1)));
            writeOut(QStringLiteral("unelevated-bytes"), hexList(arguments.mid(1)));
            return 0;
        }
        MessageListenWidget widget{QLatin1String(kUserInstanceWindowName), arguments};
        const int wait = qEnvironmentVariableIntValue("TQ_PAIR_PID_WAIT");
        SkipUacLocations skipUac = SkipUacLocations::system();
        skipUac.programFile = QCoreApplication::applicationFilePath();
        if (!qEnvironmentVariableIsEmpty("TQ_PAIR_PKCHECK"))
            skipUac.pkcheckProgram = qEnvironmentVariable("TQ_PAIR_PKCHECK");
        const int code = runUserInstance(&widget, arguments, skipUac, wait > 0 ? wait : 30000);
        writeOut(QStringLiteral("user-exit"), QByteArray::number(code));
        return code;
    }
    if (role == "second-late") {
        // A start that finds the titles taken while the first start waits at its password
        // prompt, as start-up hands it over.
        const bool sent = handOverToMainInstance(arguments, 60000);
        writeOut(QStringLiteral("second-late"), sent ? "sent" : "failed");
        return 0;
    }
    if (role == "second") {
        const bool sent = notifyAnotherInstance();
        writeOut(QStringLiteral("second-") + QString::number(::getpid()), sent ? "sent" : "failed");
        return 0;
    }
    if (role == "main") {
        // The choice start-up makes: hand over to a running main instance, else become one.
        if (InstanceChannel::findInstance(mainTitle, 30000)) {
            appendOut(QStringLiteral("yielded"), QByteArray::number(::getpid()) + (notifyAnotherInstance() ? " sent" : " failed"));
            return 0;
        }
        MessageListenWidget widget(mainTitle);
        if (!widget.isListening()) {
            const bool found = InstanceChannel::findInstance(mainTitle, 30000);
            appendOut(QStringLiteral("yielded"), QByteArray::number(::getpid()) + (found && notifyAnotherInstance() ? " sent" : " failed"));
            return 0;
        }
        appendOut(QStringLiteral("main-listening"), QByteArray::number(::getpid()));
        RecordingWindow window;
        QObject::connect(&widget, &MessageListenWidget::newSearchRequested, [](const QString& folder) {
            appendOut(QStringLiteral("new-search"), folder.toUtf8());
        });
        QStringList received{QStringLiteral("own")};
        initAdminInstance(&widget, received);
        widget.setMainWindow(&window);
        writeOut(QStringLiteral("main-args"), jsonList(received));
        writeOut(QStringLiteral("main-args-bytes"), hexList(received));

        const QString shellOpen = qEnvironmentVariable("TQ_PAIR_SHELL_OPEN");
        if (!shellOpen.isEmpty())
            writeOut(QStringLiteral("open-result"), ShellUtils::openFile(nullptr, shellOpen, QString()) ? "1" : "0");
        const QString shellShow = qEnvironmentVariable("TQ_PAIR_SHELL_SHOW");
        if (!shellShow.isEmpty())
            writeOut(QStringLiteral("show-result"), ShellUtils::showInFolder(nullptr, shellShow) ? "1" : "0");
        const QString open = qEnvironmentVariable("TQ_PAIR_OPEN");
        if (!open.isEmpty()) {
            const qint32 result = InstanceChannel::send(QLatin1String(kUserInstanceWindowName), MessageFrame::kCopyData,
                                                        MessageFrame::copyDataPayload(MessageFrame::kOpenFile,
                                                                                      MessageFrame::textData(open)));
            writeOut(QStringLiteral("open-result"), QByteArray::number(result));
        }
        QElapsedTimer timer;
        timer.start();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QFileInfo::exists(outDir() + QStringLiteral("/quit")) || timer.elapsed() > 120000)
                QCoreApplication::quit();
        });
        poll.start(20);
        app.exec();
        return 0;
    }
    return 2;
}

QStringList listFromJson(const QByteArray& bytes)
{
    QStringList items;
    const QJsonArray array = QJsonDocument::fromJson(bytes).array();
    for (const QJsonValue& value : array)
        items << value.toString();
    return items;
}


} // namespace

class TestInstancePair : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString runtime_;
    QString out_;

    // Starts the test program in `role` for the current scenario; `wrapper` runs it (a program
    // and its first arguments).
    QProcess* startChild(const QByteArray& role, const QStringList& arguments, int pkcheckCode = 1,
                         const QMap<QString, QString>& extra = {}, const QStringList& wrapper = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("PKEXEC_UID"));
        env.remove(QStringLiteral("SUDO_UID"));
        env.insert(QStringLiteral("TQ_PAIR_ROLE"), QString::fromLatin1(role));
        env.insert(QStringLiteral("TQ_PAIR_OUT"), out_);
        env.insert(QStringLiteral("TQ_PAIR_RUNTIME"), runtime_);
        env.insert(QStringLiteral("TQ_PAIR_PKCHECK"), dir_.path() + QStringLiteral("/pkcheck"));
        env.insert(QStringLiteral("TQ_PAIR_PKEXEC"), dir_.path() + QStringLiteral("/pkexec"));
        env.insert(QStringLiteral("TQ_PAIR_OPENER"), dir_.path() + QStringLiteral("/opener"));
        env.insert(QStringLiteral("TQ_PKCHECK_CODE"), QString::number(pkcheckCode));
        env.insert(QStringLiteral("TQ_STANDIN_LOG"), out_ + QStringLiteral("/standins"));
        for (auto it = extra.constBegin(); it != extra.constEnd(); ++it)
            env.insert(it.key(), it.value());
        auto* process = new QProcess(this);
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(dir_.path());
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        const QStringList command = wrapper + QStringList{QCoreApplication::applicationFilePath()} + arguments;
        process->start(command.first(), command.mid(1));
        return process;
    }

    // What a child wrote under `name` in this scenario; awaitOut waits until it is there (the
    // children are big programs that start slowly on a loaded machine or under a sanitizer).
    QByteArray out(const QString& name) const { return testutil::readFile(out_ + QLatin1Char('/') + name); }
    QByteArray awaitOut(const QString& name, int ms = 60000)
    {
        (void)QTest::qWaitFor([&] { return !out(name).isEmpty(); }, ms);
        return out(name);
    }
    void quit() { QVERIFY(testutil::writeFile(out_ + QStringLiteral("/quit"), "1")); }

    void freshScenario()
    {
        out_ = dir_.path() + QStringLiteral("/out-") + QString::number(++scenario_);
        QVERIFY(QDir().mkpath(out_));
    }

    void finish(QProcess* process, int expectedCode)
    {
        if (process->state() != QProcess::NotRunning)
            QVERIFY(process->waitForFinished(60000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), expectedCode);
    }

    int scenario_ = 0;

private slots:
    // A scenario that failed half-way leaves its children running: they are ended here, so that
    // no main instance of it answers in the next scenario's place.
    void cleanup()
    {
        if (!out_.isEmpty())
            testutil::writeFile(out_ + QStringLiteral("/quit"), "1");
        for (QProcess* process : findChildren<QProcess*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (process->state() != QProcess::NotRunning && !process->waitForFinished(30000)) {
                process->kill();
                process->waitForFinished(30000);
            }
            delete process;
        }
    }

    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        dir_.setAutoRemove(qEnvironmentVariableIsEmpty("TQ_KEEP_TEST_FILES"));
        qunsetenv("PKEXEC_UID");
        qunsetenv("SUDO_UID");
        runtime_ = dir_.path() + QStringLiteral("/runtime");
        QVERIFY(QDir().mkpath(runtime_));
        QVERIFY(::chmod(QFile::encodeName(runtime_).constData(), 0700) == 0);
        ShellEnvironment::setRuntimeFolder(runtime_);
        // pkcheck: records its arguments, answers with TQ_PKCHECK_CODE.
        apptest::writeScript(dir_.path() + QStringLiteral("/pkcheck"),
                    "#!/bin/sh\necho \"pkcheck $*\" >> \"$TQ_STANDIN_LOG\"\nexit \"${TQ_PKCHECK_CODE:-1}\"\n");
        // pkexec: records its arguments, closes every descriptor above 2 as pkexec does and runs
        // the program, which plays the elevated instance.
        const QByteArray pkexec = "#!/bin/bash\necho \"pkexec $*\" >> \"$TQ_STANDIN_LOG\"\n"
            "for fd in /proc/$$/fd/*; do n=${fd##*/}; if [ \"$n\" -gt 2 ] && [ \"$n\" != 255 ]; then eval \"exec $n>&-\"; fi; done\n";
        apptest::writeScript(dir_.path() + "/pkexec", pkexec + "sleep \"${TQ_PAIR_PROMPT_DELAY:-0}\"\n" // the password prompt
                                                      "export TQ_PAIR_ROLE=\"${TQ_PAIR_ELEVATED_ROLE:-main}\"\nexec \"$@\"\n");
        // pkexec that cannot make anybody root: it asks the test to start the elevated
        // instance and stands in for it meanwhile.
        apptest::writeScript(dir_.path() + "/pkexec-signal", pkexec + "echo go > \"$TQ_PAIR_OUT/start-main\"\nexec sleep 3\n");
        apptest::writeScript(dir_.path() + "/opener", "#!/bin/sh\necho \"opener uid=$(id -u) $*\" >> \"$TQ_STANDIN_LOG\"\n");
    }

    void frameBytes()
    {
        const QByteArray frame = MessageFrame::encode(MessageFrame::kProcessId, MessageFrame::processIdPayload(0x01020304));
        QCOMPARE(frame.toHex(), QByteArray("03040000" "04000000" "04030201"));
        // A text: UTF-16LE with one zero unit; a list: one zero unit after every item.
        QCOMPARE(MessageFrame::copyDataPayload(MessageFrame::kNewSearch, MessageFrame::textData(QStringLiteral("/ä"))).toHex(),
                 QByteArray("00000000" "2f00" "e400" "0000"));
        QCOMPARE(MessageFrame::listData({QStringLiteral("a|b"), QString(), QStringLiteral("c")}).toHex(),
                 QByteArray("6100" "7c00" "6200" "0000" "0000" "6300" "0000"));
        QCOMPARE(MessageFrame::encode(MessageFrame::kActivate, QByteArray()).toHex(), QByteArray("01040000" "00000000"));
    }

    void payloadsRoundTripAndRejectBadShapes()
    {
        const QStringList arguments{QStringLiteral("/usr/bin/prog"), QStringLiteral("a|b"), QString(), QStringLiteral("x y"),
                                    QString(QChar(0xD83D)) + QChar(0xDE00)};
        QStringList back;
        QVERIFY(MessageFrame::readList(MessageFrame::listData(arguments), back));
        QCOMPARE(back, arguments);
        QVERIFY(MessageFrame::readList(QByteArray(), back));
        QVERIFY(back.isEmpty());
        QVERIFY(MessageFrame::readList(MessageFrame::listData({QString()}), back));
        QCOMPARE(back, QStringList{QString()});
        QVERIFY(!MessageFrame::readList(QByteArray("a\0b", 3), back));       // odd length
        QVERIFY(!MessageFrame::readList(QByteArray("a\0b\0", 4), back));     // last item not ended

        QString text;
        QVERIFY(MessageFrame::readText(QByteArray("a\0\0\0b\0", 6), text));  // up to the first zero
        QCOMPARE(text, QStringLiteral("a"));
        QVERIFY(!MessageFrame::readText(QByteArray("a\0b\0", 4), text));     // no zero unit

        quint32 code = 7;
        QByteArray data;
        QVERIFY(!MessageFrame::readCopyData(QByteArray(3, '\0'), code, data));
        quint32 value;
        QVERIFY(!MessageFrame::readUInt32(QByteArray(5, '\0'), value));
    }

    void readerCutsStreamsAndRefusesHugeFrames()
    {
        const QByteArray stream = MessageFrame::encode(74, MessageFrame::copyDataPayload(2, MessageFrame::textData(QStringLiteral("/f"))))
            + MessageFrame::encode(1025, QByteArray()) + MessageFrame::encode(1027, MessageFrame::processIdPayload(9));
        FrameReader reader;
        QList<MessageFrame> frames;
        for (char byte : stream) { // one byte at a time
            reader.append(QByteArray(1, byte));
            MessageFrame frame;
            while (reader.next(frame))
                frames << frame;
        }
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames.at(0).id, 74u);
        QCOMPARE(frames.at(1).id, 1025u);
        QVERIFY(frames.at(1).payload.isEmpty());
        QCOMPARE(frames.at(2).payload.toHex(), QByteArray("09000000"));
        QCOMPARE(reader.pendingBytes(), 0);

        FrameReader huge;
        huge.append(QByteArray::fromHex("4a000000") + QByteArray::fromHex("01001000")); // 1 MiB + 1
        MessageFrame frame;
        QVERIFY(!huge.next(frame));
        QVERIFY(huge.failed());
        huge.append(MessageFrame::encode(1025, QByteArray()));
        QVERIFY(!huge.next(frame));
    }

    void receivingRules_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<quint32>("id");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<qint64>("peerPid");
        QTest::addColumn<qint64>("peerUid");
        QTest::addColumn<bool>("accepted");

        const int mainRole = int(MessageListenWidget::Role::Main);
        const int userRole = int(MessageListenWidget::Role::User);
        const QByteArray search = MessageFrame::copyDataPayload(0, MessageFrame::textData(QStringLiteral("/x")));
        const QByteArray args = MessageFrame::copyDataPayload(1, MessageFrame::listData({QStringLiteral("p")}));
        const QByteArray open = MessageFrame::copyDataPayload(2, MessageFrame::textData(QStringLiteral("/x")));
        // State used below: own uid 1000, session uid 1000, main expects arguments from pid 50,
        // the user instance knows the elevated pid 60.
        QTest::newRow("main: search from the user") << mainRole << 74u << search << qint64(77) << qint64(1000) << true;
        QTest::newRow("main: search from another user") << mainRole << 74u << search << qint64(77) << qint64(1001) << false;
        QTest::newRow("main: arguments from the asked user instance") << mainRole << 74u << args << qint64(50) << qint64(1000) << true;
        QTest::newRow("main: arguments from anyone else") << mainRole << 74u << args << qint64(51) << qint64(1000) << false;
        QTest::newRow("main: never opens files") << mainRole << 74u << open << qint64(50) << qint64(1000) << false;
        QTest::newRow("main: activate") << mainRole << 1025u << QByteArray() << qint64(77) << qint64(0) << true;
        QTest::newRow("main: ignores pid reports") << mainRole << 1027u << MessageFrame::processIdPayload(77) << qint64(77) << qint64(0) << false;
        QTest::newRow("main: unknown code") << mainRole << 74u << MessageFrame::copyDataPayload(9, QByteArray()) << qint64(77) << qint64(0) << false;
        QTest::newRow("user: open from the elevated instance") << userRole << 74u << open << qint64(60) << qint64(0) << true;
        QTest::newRow("user: open from another root process") << userRole << 74u << open << qint64(61) << qint64(0) << false;
        const QByteArray show = MessageFrame::copyDataPayload(3, MessageFrame::textData(QStringLiteral("/x")));
        QTest::newRow("user: show in folder for the elevated instance") << userRole << 74u << show << qint64(60) << qint64(0) << true;
        QTest::newRow("user: show in folder for another process") << userRole << 74u << show << qint64(61) << qint64(0) << false;
        QTest::newRow("main: never shows files") << mainRole << 74u << show << qint64(50) << qint64(1000) << false;
        QTest::newRow("user: send arguments for the elevated instance") << userRole << 1026u << QByteArray() << qint64(60) << qint64(0) << true;
        QTest::newRow("user: send arguments for another process") << userRole << 1026u << QByteArray() << qint64(61) << qint64(1000) << false;
        QTest::newRow("user: ignores searches") << userRole << 74u << search << qint64(60) << qint64(0) << false;
        QTest::newRow("user: ignores activation") << userRole << 1025u << QByteArray() << qint64(60) << qint64(0) << false;
        QTest::newRow("user: pid from the elevated instance itself") << userRole << 1027u << MessageFrame::processIdPayload(60) << qint64(60) << qint64(0) << true;
        QTest::newRow("user: pid of another process claimed") << userRole << 1027u << MessageFrame::processIdPayload(61) << qint64(60) << qint64(0) << false;
        QTest::newRow("user: pid from a second root process") << userRole << 1027u << MessageFrame::processIdPayload(70) << qint64(70) << qint64(0) << false;
        QTest::newRow("user: pid from another user's process") << userRole << 1027u << MessageFrame::processIdPayload(60) << qint64(60) << qint64(1001) << false;
        QTest::newRow("both: end of session") << userRole << 17u << QByteArray() << qint64(99) << qint64(1000) << true;
        QTest::newRow("main: session ended, from the user") << mainRole << 22u << QByteArray() << qint64(99) << qint64(1000) << true;
        QTest::newRow("main: session ended, from another user") << mainRole << 22u << QByteArray() << qint64(99) << qint64(1001) << false;
        QTest::newRow("user: ignores the end of session") << userRole << 22u << QByteArray() << qint64(60) << qint64(0) << false;
        QTest::newRow("nobody's peer: invalid credentials") << mainRole << 1025u << QByteArray() << qint64(-1) << qint64(-1) << false;
    }

    void receivingRules()
    {
        QFETCH(int, role);
        QFETCH(quint32, id);
        QFETCH(QByteArray, payload);
        QFETCH(qint64, peerPid);
        QFETCH(qint64, peerUid);
        QFETCH(bool, accepted);
        MessageListenWidget::PeerState state;
        state.ownUid = 1000;
        state.sessionUid = 1000;
        state.expectedArgumentsPid = 50;
        state.adminPid = 60;
        PeerCredentials peer;
        peer.pid = peerPid;
        peer.uid = peerUid;
        QCOMPARE(MessageListenWidget::accepts(MessageListenWidget::Role(role), MessageFrame{id, payload}, peer, state), accepted);
    }

    void handOverMakesPathAbsolute()
    {
        const QString cwd = QDir::currentPath();
        QCOMPARE(MessageListenWidget::handOverArguments({"p", "-path", "sub/../x"}),
                 (QStringList{"p", "-path", QDir::cleanPath(cwd + "/x")}));
        // Only as the first argument, as start-up reads it.
        const QStringList late{"p", "-minimize", "-path", "x"};
        QCOMPARE(MessageListenWidget::handOverArguments(late), late);
    }

    void liveServerChecksPeersAndRoles()
    {
        // In this process: a user instance that knows no elevated instance yet refuses to open
        // files for anybody, and answers the session's end.
        MessageListenWidget user{QLatin1String(kUserInstanceWindowName)};
        QVERIFY(user.isListening());
        MessageListenWidget second{QLatin1String(kUserInstanceWindowName)};
        QVERIFY(!second.isListening()); // the title is taken

        // The sender's last answer is polled while it runs: atomic (the others are read after join).
        qint32 openResult = 99, endResult = 99;
        std::atomic<qint32> pidResult{99};
        std::thread sender([&] {
            const QString title = QLatin1String(kUserInstanceWindowName);
            openResult = InstanceChannel::send(title, 74, MessageFrame::copyDataPayload(2, MessageFrame::textData(QStringLiteral("/etc/passwd"))));
            endResult = InstanceChannel::send(title, 17, QByteArray());
            pidResult = InstanceChannel::send(title, 1027, MessageFrame::processIdPayload(12345)); // not its own pid
        });
        QTRY_VERIFY_WITH_TIMEOUT(pidResult != 99, 10000);
        sender.join();
        QCOMPARE(openResult, 0);
        QCOMPARE(endResult, 1);
        QCOMPARE(pidResult.load(), 0);
        QCOMPARE(user.adminProcessId(), qint64(-1));
    }

    void sendTimesOutOnSilentServer()
    {
        // A server that reads but never answers: send gives up after its time-out.
        MessageServer server;
        QVERIFY(server.listen(QStringLiteral("silent")));
        bool blocked = true;
        server.setHandler([&](const MessageFrame&, const PeerCredentials&) {
            QElapsedTimer t;
            t.start();
            while (blocked && t.elapsed() < 3000)
                QThread::msleep(10); // polls the release (a server that never answers)
            return 1;
        });
        std::atomic<qint32> result{99}; // polled while the sender runs
        QElapsedTimer timer;
        std::thread sender([&] {
            timer.start();
            result = InstanceChannel::send(QStringLiteral("silent"), 1025, QByteArray(), 300);
        });
        QTRY_VERIFY_WITH_TIMEOUT(result != 99, 5000);
        blocked = false;
        sender.join();
        QCOMPARE(result.load(), -1);
        // no instance at all
        QCOMPARE(InstanceChannel::send(QStringLiteral("nobody"), 1025, QByteArray(), 300), -1);
    }

    void staleSocketIsReplaced()
    {
        // A socket file left by a dead process: connecting fails, the next owner replaces it.
        const QString path = runtime_ + QStringLiteral("/stale");
        {
            QLocalServer leftover;
            QVERIFY(leftover.listen(path));
            // QLocalServer removes its file when closed; keep a copy of the inode by linking.
            QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(path + QStringLiteral(".keep")).constData()) == 0);
        }
        QVERIFY(::rename(QFile::encodeName(path + QStringLiteral(".keep")).constData(), QFile::encodeName(path).constData()) == 0);
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!InstanceChannel::findInstance(QStringLiteral("stale")));
        MessageServer server;
        QVERIFY(server.listen(QStringLiteral("stale")));
        QVERIFY(InstanceChannel::findInstance(QStringLiteral("stale")));

        // A FIFO in a lock file's place neither blocks the lookup nor is taken for a lock.
        QVERIFY(::mkfifo(QFile::encodeName(runtime_ + QStringLiteral("/fifo.lock")).constData(), 0600) == 0);
        QVERIFY(!InstanceChannel::isTitleTaken(QStringLiteral("fifo")));
        MessageServer fifo;
        QVERIFY(!fifo.listen(QStringLiteral("fifo"), 100));
    }

    void runtimeFolderMustBePrivate()
    {
        QTemporaryDir open;
        QVERIFY(::chmod(QFile::encodeName(open.path()).constData(), 0755) == 0);
        QVERIFY(!InstanceChannel::isPrivateFolder(open.path(), ::geteuid()));
        QVERIFY(!InstanceChannel::isPrivateFolder(runtime_, ::geteuid() + 1));
        QVERIFY(InstanceChannel::isPrivateFolder(runtime_, ::geteuid()));
        const QString link = dir_.path() + QStringLiteral("/runtime-link");
        QVERIFY(QFile::link(runtime_, link));
        QVERIFY(!InstanceChannel::isPrivateFolder(link, ::geteuid()));
        ShellEnvironment::setRuntimeFolder(open.path());
        QVERIFY(InstanceChannel::runtimeFolder().isEmpty());
        MessageServer server;
        QVERIFY(!server.listen(QStringLiteral("x")));
        ShellEnvironment::setRuntimeFolder(runtime_);
        QCOMPARE(InstanceChannel::runtimeFolder(), runtime_);
    }

    void waitThreadEndsEventLoopWithProcess()
    {
        QProcess child;
        child.start(QStringLiteral("/bin/sleep"), {QStringLiteral("0.3")});
        QVERIFY(child.waitForStarted());
        {
            WaitAdminProcessThread waiter(child.processId());
            waiter.start();
            QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
            QCOMPARE(QCoreApplication::exec(), 0); // ended when the process ended
        }
        QTRY_COMPARE(child.state(), QProcess::NotRunning);
        {
            // No such process: 1 at once.
            WaitAdminProcessThread waiter(child.processId());
            waiter.start();
            QCOMPARE(QCoreApplication::exec(), 1);
        }
        {
            // Destroyed while waiting: the wait stops, the loop is not ended by it.
            QProcess longer;
            longer.start(QStringLiteral("/bin/sleep"), {QStringLiteral("30")});
            QVERIFY(longer.waitForStarted());
            auto* waiter = new WaitAdminProcessThread(longer.processId());
            waiter->start();
            QTest::qWait(50); // a fixed wait: the thread is in its wait (nothing shows that)
            delete waiter;
            QTimer::singleShot(300, [] { QCoreApplication::exit(7); });
            QCOMPARE(QCoreApplication::exec(), 7);
            longer.kill();
            longer.waitForFinished();
        }
    }

    // The whole start-up through the password route (pkcheck refuses, pkexec asks), with a
    // second start, a file opened for the main instance and the end of both. The prompt takes
    // longer than the wait for the elevated pid: that wait starts only once it is over. (The
    // wait must leave the elevated program time to start on a loaded machine under
    // ThreadSanitizer, where 6 s were seen to fall short, so the prompt is a fixed delay longer
    // than it.)
    void pairThroughPromptRoute()
    {
        freshScenario();
        QProcess* user = startChild("user", {"-path", "rel|dir", QString(), "-minimize"}, 1,
                                    {{"TQ_PAIR_OPEN", "/some dir/file.txt"},
                                     {"TQ_PAIR_PROMPT_DELAY", "16"},
                                     {"TQ_PAIR_PID_WAIT", "15000"}});
        QCOMPARE(listFromJson(awaitOut("main-args")),
                 (QStringList{QCoreApplication::applicationFilePath(), "-path", dir_.path() + "/rel|dir", QString(), "-minimize"}));
        // The main instance asked the user instance to open a file: it was opened there.
        QCOMPARE(awaitOut("open-result"), QByteArray("1"));
        QTRY_VERIFY_WITH_TIMEOUT(out("standins").contains("opener uid=0 /some dir/file.txt"), 30000);
        const QByteArray standins = out("standins");
        QVERIFY2(standins.contains("pkcheck --action-id org.tallowquistpro.skipuac --process"), standins.constData());
        QVERIFY2(standins.contains("pkexec /usr/bin/env"), standins.constData()); // runElevated's command

        // A second start with a relative folder: a new search for the absolute folder.
        finish(startChild("second", {"-path", "sub"}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(out("new-search"), (dir_.path() + "/sub\n").toUtf8(), 30000);
        // A second start without a folder: the main window comes to the front.
        finish(startChild("second", {"-minimize"}), 0);
        QVERIFY(!awaitOut("activated").isEmpty());

        // The main instance ends: the user instance ends with 0.
        quit();
        finish(user, 0);
        QCOMPARE(out("user-exit"), QByteArray("0"));
    }

    // A root main instance and a user instance of another account, as on a desktop: the user
    // instance runs as "nobody" in nobody's private runtime folder; the root instance was
    // started for nobody (PKEXEC_UID). Arguments travel up, a file opened by the root instance
    // is opened by the user instance with nobody's rights.
    void crossUserPair()
    {
        if (!testutil::isRoot())
            QSKIP("needs root to play both accounts");
        freshScenario();
        const QString nobodyRuntime = dir_.path() + "/runtime-nobody";
        QVERIFY(QDir().mkpath(nobodyRuntime));
        QVERIFY(::chown(QFile::encodeName(nobodyRuntime).constData(), 65534, 65534) == 0);
        QVERIFY(::chmod(QFile::encodeName(nobodyRuntime).constData(), 0700) == 0);
        QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(out_).constData(), 0777) == 0);

        QProcess* user = startChild("user", {"-path", "rel"}, 0,
                                    {{"TQ_PAIR_RUNTIME", nobodyRuntime}, {"HOME", "/tmp"},
                                     {"TQ_PAIR_PKEXEC", dir_.path() + "/pkexec-signal"}},
                                    {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
        QVERIFY(!awaitOut("start-main").isEmpty());
        QProcess* root = startChild("main", {}, 0,
                                    {{"TQ_PAIR_RUNTIME", nobodyRuntime}, {"HOME", "/tmp"}, {"PKEXEC_UID", "65534"},
                                     {"TQ_PAIR_SHELL_OPEN", "/data/report.txt"},
                                     {"TQ_PAIR_SHELL_SHOW", "/data/found/report.txt"}});
        QCOMPARE(listFromJson(awaitOut("main-args")),
                 (QStringList{QCoreApplication::applicationFilePath(), "-path", dir_.path() + "/rel"}));
        QCOMPARE(awaitOut("open-result"), QByteArray("1"));
        QTRY_VERIFY_WITH_TIMEOUT(out("standins").contains("opener uid=65534 /data/report.txt\n"), 30000);
        // "Open file location" of the root instance: the user instance shows the file itself in
        // its folder (on the user's own bus), not merely the folder.
        QCOMPARE(awaitOut("show-result"), QByteArray("1"));
        const QByteArray userLog = out("user.log");
        QVERIFY(QString::fromUtf16(reinterpret_cast<const char16_t*>(userLog.constData()), userLog.size() / 2)
                    .contains("\tShow in folder: /data/found/report.txt\r\n"));
        // The root instance's lock file and socket in nobody's runtime folder are nobody's.
        const QFileInfoList made = QDir(nobodyRuntime).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        QVERIFY(made.size() >= 4);
        for (const QFileInfo& entry : made) {
            struct stat st;
            QVERIFY(::lstat(QFile::encodeName(entry.filePath()).constData(), &st) == 0);
            QVERIFY2(st.st_uid == 65534 && (st.st_mode & 077) == 0, qPrintable(entry.fileName()));
        }

        quit();
        finish(root, 0);
        // The root instance removed its socket as nobody; only the lock files stay.
        for (const QFileInfo& entry : QDir(nobodyRuntime).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            QVERIFY2(entry.fileName().endsWith(".lock") || entry.fileName().contains(kUserInstanceWindowName),
                     qPrintable(entry.fileName()));
        finish(user, 0);
        QCOMPARE(out("user-exit"), QByteArray("0"));
        QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 0700) == 0);
    }

    // The prompt-free route: pkcheck authorises, pkexec runs the program itself.
    void pairThroughTaskRoute()
    {
        freshScenario();
        QProcess* user = startChild("user", {"-x"}, 0);
        QCOMPARE(listFromJson(awaitOut("main-args")), (QStringList{QCoreApplication::applicationFilePath(), "-x"}));
        const QByteArray standins = out("standins");
        const QByteArray program = QFile::encodeName(QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
        QVERIFY2(standins.contains("\npkexec " + program + "\n"), standins.constData());
        quit();
        finish(user, 0);
    }

    // The elevated process never reports: the user instance gives up after its wait.
    void missingPidEndsUserInstanceWithOne()
    {
        freshScenario();
        finish(startChild("user", {}, 1, {{"TQ_PAIR_ELEVATED_ROLE", "none"}, {"TQ_PAIR_PID_WAIT", "800"}}), 1);
        QCOMPARE(out("user-exit"), QByteArray("1"));
    }

    // Elevation refused: the program starts unelevated with our arguments as a list, then
    // "-no-elevation", and the user instance ends with 0.
    void refusedElevationStartsUnelevated()
    {
        freshScenario();
        apptest::writeScript(dir_.path() + "/pkexec-refuse", "#!/bin/sh\nexit 126\n");
        finish(startChild("user", {"a b", "q\"", "x|y"}, 1, {{"TQ_PAIR_PKEXEC", dir_.path() + "/pkexec-refuse"}}), 0);
        QCOMPARE(out("user-exit"), QByteArray("0"));
        QCOMPARE(listFromJson(awaitOut("unelevated-start").trimmed()), (QStringList{"a b", "q\"", "x|y", "-no-elevation"}));
    }

    // Arguments travel with their own bytes: a name that is not UTF-8 reaches the main instance
    // unchanged, and so does the unelevated restart's list.
    void argumentsTravelLosslessly()
    {
        const QStringList raw{"/bin/bash", "-c", "exec \"$0\" \"$@\" \"$(printf 'caf\\351')\""};
        freshScenario();
        QProcess* user = startChild("user", {"-x"}, 0, {}, raw);
        QCOMPARE(awaitOut("main-args-bytes").split(',').mid(1),
                 (QList<QByteArray>{QByteArray("-x").toHex(), QByteArray("caf\xe9").toHex()}));
        quit();
        finish(user, 0);

        freshScenario();
        apptest::writeScript(dir_.path() + "/pkexec-refuse", "#!/bin/sh\nexit 126\n");
        finish(startChild("user", {"-path"}, 1, {{"TQ_PAIR_PKEXEC", dir_.path() + "/pkexec-refuse"}}, raw), 0);
        QCOMPARE(awaitOut("unelevated-bytes").split(','),
                 (QList<QByteArray>{QByteArray("-path").toHex(), QByteArray("caf\xe9").toHex(),
                                    QByteArray("-no-elevation").toHex()}));
    }

    // A start while the first waits at its password prompt: it waits for the main instance
    // that comes after the prompt and hands its folder over, instead of ending at once.
    void lateSecondStartWaitsForTheMainInstance()
    {
        freshScenario();
        QProcess* user = startChild("user", {}, 1, {{"TQ_PAIR_PROMPT_DELAY", "2"}});
        QTRY_VERIFY_WITH_TIMEOUT(out("standins").contains("pkexec "), 60000); // the prompt is up
        QVERIFY(out("main-listening").isEmpty());
        finish(startChild("second-late", {"-path", "late"}), 0);
        QCOMPARE(out("second-late"), QByteArray("sent"));
        QTRY_COMPARE_WITH_TIMEOUT(out("new-search"), (dir_.path() + "/late\n").toUtf8(), 30000);
        quit();
        finish(user, 0);
    }

    // Two quick starts: exactly one main instance; the other hands over and ends.
    void twoQuickStartsGiveOneMainInstance()
    {
        freshScenario();
        QProcess* a = startChild("main", {});
        QProcess* b = startChild("main", {});
        QVERIFY(awaitOut("yielded").contains(" sent"));
        QCOMPARE(awaitOut("main-listening").count('\n'), 1);
        quit();
        finish(a, 0);
        finish(b, 0);
    }
};

int main(int argc, char** argv)
{
    const QByteArray role = qgetenv("TQ_PAIR_ROLE");
    if (!role.isEmpty())
        return childMain(argc, argv, role);
    QApplication app(argc, argv);
    TestInstancePair test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instancepair.moc"
