// The helper protocol (framing, filter list), the pipe thread, the client with the real
// helper64 program (RTF through its filter over the socket), restart after the helper died,
// and the checks on the helper's replies.
#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/textextract/Helper64Client.h"
#include "search/textextract/Helper64Protocol.h"
#include "search/textextract/Helper64Thread.h"
#include "search/textextract/IFilter64Converter.h"
#include "search/textextract/IFilterConverter.h"
#include "search/textextract/RegistryFile.h"
#include "testutil.h"
#include "tests/textextract/docgen.h"
#include "tests/textextract/utf16files.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <QtTest>

#include <sys/stat.h>

#include <atomic>
#include <functional>
#include <memory>
#include <csignal>
#include <unistd.h>

namespace {

bool processAlive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// Alive and not a zombie waiting for a parent (possibly one that never reaps) to collect it.
bool processRunning(qint64 pid)
{
    return processAlive(pid)
           && !testutil::readFile(QStringLiteral("/proc/%1/stat").arg(pid)).contains(") Z ");
}

} // namespace

using utf16files::logText;
using utf16files::readText;

class TestHelper64 : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tmp;
    QString work;
    QString helper;

    // A copy of the helper whose filter for RTF writes its pid to `pidFile` and then sleeps,
    // the first time; later conversions give "slow". Empty on failure.
    QString stallingHelper(const QString& folderName, const QString& pidFile)
    {
        const QByteArray pid = "'" + pidFile.toUtf8() + "'";
        return testutil::helperWithScriptFilter(
            tmp.filePath(folderName), QStringLiteral("rtf"),
            "if [ ! -e " + pid + " ]; then echo $$ > " + pid + "; exec sleep 40; fi\nprintf 'slow\\n'\n");
    }

    QString rtf(const QString& name, const QByteArray& body)
    {
        const QString path = tmp.filePath(name);
        testutil::writeFile(path, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times;}}\\f0 " + body + "}");
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("Tallowquist Pro.log")));
        // A runtime folder of our own, so the sockets left behind can be counted.
        QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("run"))));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(tmp.filePath(QStringLiteral("run"))));
        work = tmp.filePath(QStringLiteral("work"));
        QVERIFY(QDir().mkpath(work));
        helper = testutil::programDir() + QStringLiteral("/helper64");
        QVERIFY2(QFileInfo(helper).isExecutable(), qPrintable(helper + " is not built"));
    }

    void framing()
    {
        const QByteArray f = Helper64Protocol::frame(QStringLiteral("AB"));
        QCOMPARE(f, QByteArray("\x04\x00\x00\x00\x41\x00\x42\x00", 8));
        QCOMPARE(Helper64Protocol::frame(QString()), QByteArray(4, '\0'));

        const QString wide = QString::fromUtf8("CONVERT\n/tmp/\xF0\x9F\x98\x80 \xC3\xA4.rtf");
        QByteArray buffer = Helper64Protocol::frame(wide) + Helper64Protocol::frame(QStringLiteral("x"));
        QByteArray partial = buffer.left(7);
        QString message;
        bool bad = true;
        QVERIFY(!Helper64Protocol::takeFrame(partial, &message, &bad));
        QVERIFY(!bad);
        QCOMPARE(partial.size(), 7); // nothing consumed
        QVERIFY(Helper64Protocol::takeFrame(buffer, &message, &bad));
        QCOMPARE(message, wide);
        QVERIFY(Helper64Protocol::takeFrame(buffer, &message, &bad));
        QCOMPARE(message, QStringLiteral("x"));
        QVERIFY(buffer.isEmpty());

        QByteArray odd("\x03\x00\x00\x00\x41\x00\x42", 7);
        QVERIFY(!Helper64Protocol::takeFrame(odd, &message, &bad));
        QVERIFY(bad);
        QByteArray huge("\x00\x00\x00\x7F", 4);
        QVERIFY(!Helper64Protocol::takeFrame(huge, &message, &bad));
        QVERIFY(bad);
        QVERIFY(!Helper64Protocol::validHeader(huge));
        QVERIFY(Helper64Protocol::validHeader(QByteArray("\x02\x00", 2))); // not yet known

        // The longest message a receiver accepts is framed; one unit more gives no frame.
        const int maxUnits = int(Helper64Protocol::kMaxMessageBytes / 2);
        QCOMPARE(Helper64Protocol::frame(QString(maxUnits, QLatin1Char('m'))).size(),
                 int(4 + Helper64Protocol::kMaxMessageBytes));
        QVERIFY(Helper64Protocol::frame(QString(maxUnits + 1, QLatin1Char('m'))).isEmpty());
    }

    // The socket lies in the runtime folder unless that would make its path too long for a
    // socket; both ends compute the same place.
    void socketPlace()
    {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const QString id = QUuid::createUuid().toString();
        QCOMPARE(Helper64Protocol::socketPath(id),
                 QFile::decodeName(runtime) + QStringLiteral("/tallowquist-helper64-") + id);
        const QString deep = tmp.filePath(QString(60, QLatin1Char('d')));
        QVERIFY(QDir().mkpath(deep));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(deep));
        const QString path = Helper64Protocol::socketPath(id);
        qputenv("XDG_RUNTIME_DIR", runtime);
        QVERIFY2(!path.isEmpty() && !path.startsWith(deep), qPrintable(path));
        QVERIFY(QFile::encodeName(path).size() <= 107);
        QVERIFY(path.endsWith(QStringLiteral("/tallowquist-helper64-") + id));
    }

    void filterList()
    {
        using P = Helper64Protocol;
        std::list<IFilterInfo> list = P::parseIFilters(
            QStringLiteral("2\n{A}\nWord filter\n2\ndoc\nrtf\n{B}\n\n0"));
        QCOMPARE(int(list.size()), 2);
        QCOMPARE(list.front().clsid, std::wstring(L"{A}"));
        QCOMPARE(list.front().name, std::wstring(L"Word filter"));
        QCOMPARE(list.front().extensions, (std::list<std::wstring>{L"doc", L"rtf"}));
        QVERIFY(list.back().name.empty());
        QVERIFY(list.back().extensions.empty()); // kept with no extensions

        QVERIFY(P::parseIFilters(QStringLiteral("0\n{A}\nx\n0")).empty());
        QVERIFY(P::parseIFilters(QStringLiteral("two\n{A}\nx\n0")).empty());
        QVERIFY(P::parseIFilters(QString()).empty());
        // Counts larger than the lines received: only complete records, no reading past the end.
        QCOMPARE(int(P::parseIFilters(QStringLiteral("3\n{A}\nx\n1\ndoc\n{B}\ny")).size()), 1);
        QCOMPARE(int(P::parseIFilters(QStringLiteral("1\n{A}\nx\n4000000000\ndoc")).size()), 0);
        QCOMPARE(int(P::parseIFilters(QStringLiteral("99999999999999999999\n{A}\nx\n0")).size()), 1);
        QCOMPARE(P::leadingNumber(QStringLiteral("12abc")), 12);
        QCOMPARE(P::leadingNumber(QStringLiteral(" 12")), 0);

        IFilterInfo a{L"{A}", L"multi\nline", {L"doc", L"rtf"}};
        IFilterInfo b{L"{B}", L"", {}};
        const QString text = P::formatIFilters({a, b});
        QCOMPARE(text, QStringLiteral("2\n{A}\nmulti line\n2\ndoc\nrtf\n{B}\n\n0"));
        a.name = L"multi line";
        QCOMPARE(P::parseIFilters(text), (std::list<IFilterInfo>{a, b}));
    }

    void replyPathCheck()
    {
        const QString inside = work + QStringLiteral("/ifilterAAAA.tmp");
        QVERIFY(testutil::writeFile(inside, "\xFF\xFE"));
        QVERIFY(Helper64Client::acceptReplyPath(inside, work));
        QVERIFY(Helper64Client::acceptReplyPath(inside, work + QLatin1Char('/')));
        const QString outside = tmp.filePath(QStringLiteral("secret.txt"));
        QVERIFY(testutil::writeFile(outside, "secret"));
        QVERIFY(!Helper64Client::acceptReplyPath(outside, work));
        QVERIFY(!Helper64Client::acceptReplyPath(work + QStringLiteral("/../secret.txt"), work));
        const QString link = work + QStringLiteral("/link.tmp");
        QVERIFY(QFile::link(outside, link));
        QVERIFY(!Helper64Client::acceptReplyPath(link, work));
        QVERIFY(QDir().mkpath(work + QStringLiteral("/sub")));
        QVERIFY(!Helper64Client::acceptReplyPath(work + QStringLiteral("/sub"), work));
        QVERIFY(testutil::writeFile(work + QStringLiteral("/sub/deep.tmp"), "x"));
        QVERIFY(!Helper64Client::acceptReplyPath(work + QStringLiteral("/sub/deep.tmp"), work));
        QVERIFY(!Helper64Client::acceptReplyPath(work + QStringLiteral("/missing.tmp"), work));
        QVERIFY(!Helper64Client::acceptReplyPath(QStringLiteral("relative.tmp"), work));
        QFile::remove(link);
        QFile::remove(inside);
        QDir(work + QStringLiteral("/sub")).removeRecursively();
    }

    // Sends one message through the pipe thread (with `descriptor`, owned by the thread then,
    // unless -1) and waits for the write to end.
    static bool writeMessage(Helper64Thread& thread, const QString& text, int ms = 5000,
                             int descriptor = -1)
    {
        const quint64 ticket = thread.beginRequest();
        if (descriptor >= 0)
            thread.attachDescriptor(descriptor);
        emit thread.doWrite(text);
        return thread.waitFinished(ticket, ms);
    }
    // Reads one reply through the pipe thread; a null string when none came in time.
    static QString readMessage(Helper64Thread& thread, int ms = 20000)
    {
        const quint64 ticket = thread.beginRequest();
        emit thread.doRead();
        if (!thread.waitFinished(ticket, ms) || !thread.readOk())
            return QString();
        return thread.data().isNull() ? QString(QLatin1String("")) : thread.data();
    }

    // Starts the real helper64 as `process` and connects `thread` to it.
    bool startConnected(Helper64Thread& thread, QProcess& process, const QString& program = QString())
    {
        thread.start();
        const QString id = QUuid::createUuid().toString();
        process.start(program.isEmpty() ? helper : program, {id, tmp.path(), work});
        if (!process.waitForStarted(10000))
            return false;
        thread.setExpectedPeer(process.processId());
        const quint64 ticket = thread.beginRequest();
        emit thread.doConnect(id);
        return thread.waitFinished(ticket, 20000) && thread.isConnected();
    }

    // Starts the pipe thread listening for `peerPid` (any peer of our user when 0) and waits
    // for its socket; *ticket is the connect request's. Returns the pipe id.
    static QString listen(Helper64Thread& thread, qint64 peerPid, quint64* ticket)
    {
        if (peerPid)
            thread.setExpectedPeer(peerPid);
        thread.start();
        const QString id = QUuid::createUuid().toString();
        *ticket = thread.beginRequest();
        emit thread.doConnect(id);
        QDeadlineTimer deadline(5000);
        while (!QFile::exists(Helper64Protocol::socketPath(id)) && !deadline.hasExpired())
            QThread::msleep(5);
        return id;
    }

    // The pipe thread alone, the test playing the helper.
    static bool connectPeer(Helper64Thread& thread, QLocalSocket& peer)
    {
        quint64 ticket = 0;
        peer.connectToServer(Helper64Protocol::socketPath(listen(thread, ::getpid(), &ticket)));
        return peer.waitForConnected(2000) && thread.waitFinished(ticket, 5000) && thread.isConnected();
    }

    void pipeProtocolErrors()
    {
        // A text too long for any frame is not sent; the connection stays usable.
        {
            Helper64Thread thread;
            QLocalSocket peer;
            QVERIFY(connectPeer(thread, peer));
            QVERIFY(writeMessage(thread, QString(int(Helper64Protocol::kMaxMessageBytes / 2) + 1, QLatin1Char('p')),
                                 10000));
            QVERIFY(!thread.writeOk());
            QVERIFY(!peer.waitForReadyRead(100));
            QVERIFY(writeMessage(thread, QStringLiteral("EXIT")));
            QVERIFY(thread.writeOk());
            QVERIFY(!thread.peerGone());
        }
        // Bytes nobody asked for that start with an impossible length end the connection at
        // once; the next read fails without waiting.
        {
            Helper64Thread thread;
            QLocalSocket peer;
            QVERIFY(connectPeer(thread, peer));
            peer.write(QByteArray("\xFF\xFF\xFF\xFF garbage", 12));
            peer.flush();
            QTRY_VERIFY(thread.peerGone());
            QVERIFY(!thread.isConnected());
            const quint64 ticket = thread.beginRequest();
            emit thread.doRead();
            QVERIFY(thread.waitFinished(ticket, 5000));
            QVERIFY(!thread.readOk());
            QTRY_COMPARE(peer.state(), QLocalSocket::UnconnectedState);
        }
    }

    void pipeThread()
    {
        // A peer that is not the expected process is refused.
        {
            Helper64Thread thread;
            quint64 ticket = 0;
            const QString id = listen(thread, qint64(::getpid()) + 100000, &ticket);
            QVERIFY(QFile::exists(Helper64Protocol::socketPath(id)));
            QLocalSocket peer;
            peer.connectToServer(Helper64Protocol::socketPath(id));
            QVERIFY(!thread.waitFinished(ticket, 300));
            QVERIFY(!thread.isConnected());
        }
        Helper64Thread thread;
        quint64 ticket = 0;
        const QString id = listen(thread, ::getpid(), &ticket);
        QVERIFY(QFile::exists(Helper64Protocol::socketPath(id)));
        QLocalSocket peer;
        const QFileInfo socketFile(Helper64Protocol::socketPath(id));
        QCOMPARE(socketFile.permissions() & (QFileDevice::WriteOther | QFileDevice::WriteGroup),
                 QFileDevice::Permissions());
        peer.connectToServer(Helper64Protocol::socketPath(id));
        QVERIFY(peer.waitForConnected(2000));
        QVERIFY(thread.waitFinished(ticket, 5000));
        QVERIFY(thread.isConnected());
        QVERIFY(!QFile::exists(Helper64Protocol::socketPath(id))); // no second connection

        // A write arrives as one frame.
        QVERIFY(writeMessage(thread, QStringLiteral("GET_IFILTERS")));
        QVERIFY(thread.writeOk());
        QByteArray got;
        while (got.size() < 4 + 24 && peer.waitForReadyRead(2000))
            got += peer.readAll();
        QCOMPARE(got, Helper64Protocol::frame(QStringLiteral("GET_IFILTERS")));

        // A reply sent in pieces, with a part arriving before the read is asked for, is one
        // message; a reply longer than a pipe buffer too.
        const QString longReply(5000, QLatin1Char('r'));
        const QByteArray frame = Helper64Protocol::frame(longReply);
        peer.write(frame.left(3));
        peer.waitForBytesWritten(1000);
        QThread::msleep(50);
        ticket = thread.beginRequest();
        emit thread.doRead();
        peer.write(frame.mid(3, 1000));
        peer.waitForBytesWritten(1000);
        QThread::msleep(20);
        peer.write(frame.mid(1003));
        peer.waitForBytesWritten(1000);
        QVERIFY(thread.waitFinished(ticket, 5000));
        QVERIFY(thread.readOk());
        QCOMPARE(thread.data(), longReply);

        // No reply: the wait times out. Then the peer goes away: a pending read fails at once.
        ticket = thread.beginRequest();
        emit thread.doRead();
        QVERIFY(!thread.waitFinished(ticket, 200));
        QElapsedTimer t;
        t.start();
        peer.disconnectFromServer();
        QVERIFY(thread.waitFinished(ticket, 10000));
        QVERIFY(t.elapsed() < 5000);
        QVERIFY(!thread.readOk());
        QVERIFY(thread.peerGone());
        QVERIFY(writeMessage(thread, QStringLiteral("EXIT")));
        QVERIFY(!thread.writeOk());
    }

    // The helper's command line, and its end when the program goes away.
    void helperEndsWithItsPeer()
    {
        QProcess wrong;
        wrong.start(helper, {QStringLiteral("only-one")});
        QVERIFY(wrong.waitForFinished(10000));
        QCOMPARE(wrong.exitCode(), 2);

        auto thread = std::make_unique<Helper64Thread>();
        QProcess process;
        QVERIFY(startConnected(*thread, process));
        QCOMPARE(process.state(), QProcess::Running);
        thread.reset(); // closes the connection
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }

    // A helper whose program died before it listened does not wait out its connect time.
    void helperOutlivesNoProgram()
    {
        QProcess shell;
        shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("\"$0\" \"$1\" \"$2\" \"$3\" & echo $!; sleep 1"),
                                           helper, QUuid::createUuid().toString(), tmp.path(), work});
        QVERIFY(shell.waitForFinished(10000));
        const qint64 orphan = shell.readAllStandardOutput().trimmed().toLongLong();
        QVERIFY(orphan > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!processRunning(orphan), 10000);
    }

    // A helper talks only to the program that started it: a socket at its path held by another
    // process (here the test, while the helper's parent is a shell) is refused.
    // The pipe's socket is this user's alone (0600), and a runtime folder that is a link, or
    // that others may write to, is refused: the socket is made in neither.
    void pipeSocketPlace()
    {
        {
            Helper64Thread thread;
            quint64 ticket = 0;
            const QString id = listen(thread, ::getpid(), &ticket);
            struct stat st;
            QVERIFY(::lstat(QFile::encodeName(Helper64Protocol::socketPath(id)).constData(), &st) == 0);
            QVERIFY(S_ISSOCK(st.st_mode));
            QCOMPARE(int(st.st_mode & 07777), 0600);
            QCOMPARE(st.st_uid, ::geteuid());
        }
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const QString target = tmp.filePath(QStringLiteral("elsewhere"));
        const QString link = tmp.filePath(QStringLiteral("linked-run"));
        const QString open = tmp.filePath(QStringLiteral("open-run"));
        QVERIFY(QDir().mkpath(target) && QDir().mkpath(open));
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0700) == 0);
        QVERIFY(::chmod(QFile::encodeName(open).constData(), 0777) == 0);
        QVERIFY(QFile::link(target, link));
        for (const QString& folder : {link, open}) {
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
            Helper64Thread thread;
            thread.start();
            const QString id = QUuid::createUuid().toString();
            const quint64 ticket = thread.beginRequest();
            emit thread.doConnect(id);
            const bool completed = thread.waitFinished(ticket, 5000);
            qputenv("XDG_RUNTIME_DIR", runtime);
            QVERIFY2(completed, qPrintable(folder)); // refused at once
            QVERIFY(!thread.isConnected());
            QVERIFY2(QDir(target).isEmpty(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot), qPrintable(folder));
            QVERIFY2(QDir(open).isEmpty(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot), qPrintable(folder));
        }
        QVERIFY(logText().contains(QStringLiteral("Failed to open the pipe")));
    }

    // The helper of a root instance opens the session user's log as that user: a log folder
    // the user swapped for a link to a root folder gets nothing, and a log it creates in the
    // user's own folder belongs to the user.
    void rootHelperLogsAsTheSessionUser()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        QVERIFY(::chmod(QFile::encodeName(tmp.path()).constData(), 0711) == 0);
        const QString home = tmp.filePath(QStringLiteral("nobody-home"));
        const QString rootFolder = tmp.filePath(QStringLiteral("root-only"));
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(rootFolder));
        QVERIFY(::chown(QFile::encodeName(home).constData(), 65534, 65534) == 0);
        QVERIFY(::chmod(QFile::encodeName(rootFolder).constData(), 0755) == 0);
        QVERIFY(QFile::link(rootFolder, home + QStringLiteral("/linked")));
        const auto runHelper = [&](const QString& logFolder) {
            // Its parent ends at once, so the helper gives up waiting for a program.
            QProcess shell;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("PKEXEC_UID"), QStringLiteral("65534"));
            shell.setProcessEnvironment(env);
            shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("\"$0\" \"$1\" \"$2\" \"$3\" & echo $!; sleep 1"),
                                               helper, QUuid::createUuid().toString(), logFolder, work});
            shell.waitForFinished(10000);
            const qint64 pid = shell.readAllStandardOutput().trimmed().toLongLong();
            QTRY_VERIFY_WITH_TIMEOUT(!processRunning(pid), 10000);
        };
        runHelper(home + QStringLiteral("/linked"));
        QVERIFY(QDir(rootFolder).isEmpty(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot));
        runHelper(home + QStringLiteral("/data"));
        struct stat st;
        QVERIFY(::lstat(QFile::encodeName(home + QStringLiteral("/data/Tallowquist Pro.log")).constData(), &st) == 0);
        QCOMPARE(int(st.st_uid), 65534);
        QCOMPARE(int(st.st_mode & 07777), 0600);
        QVERIFY(::lstat(QFile::encodeName(home + QStringLiteral("/data")).constData(), &st) == 0);
        QCOMPARE(int(st.st_uid), 65534);
    }

    void helperRefusesStranger()
    {
        Helper64Thread thread;
        quint64 ticket = 0;
        const QString id = listen(thread, 0, &ticket); // accepts any peer of our user
        QVERIFY(QFile::exists(Helper64Protocol::socketPath(id)));
        const QString exitFile = tmp.filePath(QStringLiteral("stranger.exit"));
        QProcess shell;
        shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("\"$0\" \"$1\" \"$2\" \"$3\"; echo $? > \"$4\""),
                                           helper, id, tmp.path(), work, exitFile});
        QVERIFY(shell.waitForFinished(20000));
        QCOMPARE(testutil::readFile(exitFile).trimmed(), QByteArray("1"));
        QVERIFY(logText().contains(QStringLiteral("The pipe is held by another process (pid %1").arg(::getpid())));
        QVERIFY(thread.waitFinished(ticket, 100)); // it had connected, then hung up at once
        QTRY_VERIFY(thread.peerGone());
    }

    // A helper whose program vanishes during a conversion (killed: the kernel closes its socket)
    // stops the converter program, removes nothing-yet-written files and ends normally.
    void helperLosesProgramMidConversion()
    {
        const QString pidFile = tmp.filePath(QStringLiteral("filter2.pid"));
        const QString stalling = stallingHelper(QStringLiteral("stall2"), pidFile);
        QVERIFY(!stalling.isEmpty());
        auto thread = std::make_unique<Helper64Thread>();
        QProcess process;
        QVERIFY(startConnected(*thread, process, stalling));
        const ContentFile endless = ContentFile::open(rtf(QStringLiteral("endless.rtf"), "x"));
        QVERIFY(writeMessage(*thread, QStringLiteral("CONVERT\n") + endless.path(), 5000, endless.duplicate()));
        QTRY_VERIFY(QFile::exists(pidFile));
        const qint64 converter = testutil::readFile(pidFile).trimmed().toLongLong();
        QVERIFY(processRunning(converter));
        QElapsedTimer t;
        t.start();
        thread.reset(); // what the kernel does to the socket of a killed program
        QVERIFY(process.waitForFinished(20000));
        QVERIFY(t.elapsed() < 20000); // long before the helper's own time limit
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QTRY_VERIFY(!processRunning(converter));
        QCOMPARE(QDir(work).entryList(QDir::Files), QStringList());
    }

    // The helper reads the document whose descriptor came with the request and never opens
    // the path named in it: a name that leads nowhere (or that has been replaced meanwhile)
    // changes nothing, and a request without a descriptor gets no text.
    void helperReadsTheDescriptorNotThePath()
    {
        auto thread = std::make_unique<Helper64Thread>();
        QProcess process;
        QVERIFY(startConnected(*thread, process));
        const QString doc = rtf(QStringLiteral("sent.rtf"), "sent by descriptor");
        const ContentFile document = ContentFile::open(doc);
        QVERIFY(document.isOpen());
        // The name now holds another document; the request names a path that does not exist.
        QVERIFY(testutil::writeFile(doc + QStringLiteral(".new"), "{\\rtf1 replaced}"));
        QVERIFY(::rename(QFile::encodeName(doc + QStringLiteral(".new")).constData(),
                         QFile::encodeName(doc).constData()) == 0);
        const QString absent = tmp.filePath(QStringLiteral("no such folder/sent.rtf"));
        QVERIFY(writeMessage(*thread, QStringLiteral("CONVERT\n") + absent, 5000, document.duplicate()));
        const QString out = readMessage(*thread);
        QVERIFY2(!out.isEmpty(), qPrintable(logText().right(400)));
        QCOMPARE(readText(out), QStringLiteral("sent by descriptor\r\n"));
        QFile::remove(out);
        // No descriptor: no text, and the helper stays up for the next request.
        QVERIFY(writeMessage(*thread, QStringLiteral("CONVERT\n") + doc));
        QCOMPARE(readMessage(*thread), QString(QLatin1String("")));
        QVERIFY(logText().contains(QStringLiteral("CONVERT without a document: %1").arg(doc)));
        QVERIFY(writeMessage(*thread, QStringLiteral("GET_IFILTERS")));
        QVERIFY(readMessage(*thread).startsWith(QLatin1String("3\n")));
        QVERIFY(writeMessage(*thread, QStringLiteral("EXIT")));
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(QDir(work).entryList(QDir::Files), QStringList());
    }

    void noHelper()
    {
        Helper64Client client(work, QString());
        QCOMPARE(client.currentState(), 0);
        QVERIFY(client.getIFilters().empty());
        QVERIFY(client.convert(ContentFile::open(QStringLiteral("/x.rtf"))).empty());
        QVERIFY(!client.ensureRunning());
        IFilter64Converter converter(&client);
        QString out;
        QVERIFY(!converter.convert(ContentFile::open(QStringLiteral("/x.rtf")), nullptr, &out, nullptr, QString(), nullptr));
    }

    void helperThatNeverConnects()
    {
        // Exits at once: the connect wait ends early.
        QElapsedTimer t;
        t.start();
        {
            Helper64Client client(work, QStringLiteral("/bin/true"), 30000);
            QCOMPARE(client.currentState(), 0);
            QCOMPARE(client.helperPid(), 0);
        }
        QVERIFY(t.elapsed() < 10000);
        QVERIFY(logText().contains(QStringLiteral("Failed to connect to the pipe.")));

        // Stays alive without connecting: after the wait it is ended by its pid.
        const QString script = tmp.filePath(QStringLiteral("silent.sh"));
        QVERIFY(testutil::writeFile(script, "#!/bin/sh\nexec sleep 30\n"));
        QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        Helper64Client client(work, script, 500);
        QCOMPARE(client.currentState(), 0);
        QCOMPARE(client.helperPid(), 0);
        QCOMPARE(QDir(Helper64Protocol::socketFolder()).entryList(QDir::System), QStringList());
        QVERIFY(!client.ensureRunning()); // acts only on a hung helper

        // A program that cannot be started.
        Helper64Client missing(work, tmp.filePath(QStringLiteral("no-helper")), 500);
        QCOMPARE(missing.currentState(), 0);
        QVERIFY(logText().contains(QStringLiteral("Failed to start helper64.exe")));
    }

    // A conversion that outlasts the client's wait marks the helper hung; the restart ends the
    // old helper together with the converter program it runs, and starts a new one.
    void stalledConversion()
    {
        const QString pidFile = tmp.filePath(QStringLiteral("filter.pid"));
        const QString stalling = stallingHelper(QStringLiteral("stall"), pidFile);
        QVERIFY(!stalling.isEmpty());
        Helper64Client client(work, stalling, 3000);
        QCOMPARE(client.currentState(), 1);
        const qint64 first = client.helperPid();

        const QString doc = rtf(QStringLiteral("slow.rtf"), "slow\\par");
        std::wstring stalled = L"unset";
        std::unique_ptr<QThread> a(QThread::create([&] { stalled = client.convert(ContentFile::open(doc)); }));
        a->start();
        QTRY_VERIFY(QFile::exists(pidFile)); // the helper is busy with it

        // A conversion, a restart check and a filter list waiting for their turn give up as
        // soon as their search is cancelled (cancelling waits for the search's threads).
        bool canceled = false;
        IFilter64Converter converter64(&client);
        const std::function<int()> calls[] = {
            [&] { QString out; return int(converter64.convert(ContentFile::open(doc), nullptr, &out, nullptr, QString(), &canceled)); },
            [&] { return int(client.ensureRunning(&canceled)); },
            [&] { return int(client.getIFilters(&canceled).size()); }};
        std::atomic<int> results[3] = {{-1}, {-1}, {-1}};
        std::unique_ptr<QThread> waiters[3];
        for (int i = 0; i < 3; ++i) {
            waiters[i].reset(QThread::create([&, i] { results[i] = calls[i](); }));
            waiters[i]->start();
        }
        QThread::msleep(200);
        for (auto& r : results)
            QCOMPARE(r.load(), -1);
        __atomic_store_n(&canceled, true, __ATOMIC_RELAXED);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(waiters[i]->wait(1000));
            QCOMPARE(results[i].load(), 0);
        }
        QVERIFY(a->isRunning()); // long before the stalled exchange ends
        QVERIFY(!converter64.convert(ContentFile::open(doc), nullptr, nullptr, nullptr, QString(), &canceled));

        QVERIFY(a->wait(20000));
        QVERIFY(stalled.empty());
        QCOMPARE(client.currentState(), 2);
        QVERIFY(logText().contains(QStringLiteral("Reading from pipe hanged, file name = %1").arg(doc)));
        QTRY_VERIFY(QFile::exists(pidFile));
        const qint64 converter = testutil::readFile(pidFile).trimmed().toLongLong();
        QVERIFY(processAlive(converter));

        // A cancelled search does not restart the hung helper; the next round does.
        QVERIFY(!client.ensureRunning(&canceled));
        QCOMPARE(client.currentState(), 2);
        QCOMPARE(client.helperPid(), first);
        __atomic_store_n(&canceled, false, __ATOMIC_RELAXED);
        QVERIFY(client.ensureRunning(&canceled));
        QVERIFY(client.ensureRunning());
        QVERIFY(client.helperPid() != first);
        QVERIFY(!processAlive(first));
        // The converter program is gone (or a zombie waiting for its new parent to reap it).
        QTRY_VERIFY(!processAlive(converter)
                    || testutil::readFile(QStringLiteral("/proc/%1/stat").arg(converter)).contains(") Z "));
        const QString out = QString::fromStdWString(client.convert(ContentFile::open(doc)));
        QCOMPARE(readText(out), QStringLiteral("slow\r\n"));
        QFile::remove(out);
    }

    // Pool threads that find the helper dead all ask for a restart at once: one new helper
    // is started, every caller sees it running, and no helper of ours is left over.
    void concurrentRestart()
    {
        Helper64Client client(work, helper, 20000);
        QCOMPARE(client.currentState(), 1);
        const qint64 dead = client.helperPid();
        QVERIFY(::kill(pid_t(dead), SIGKILL) == 0);
        QTRY_VERIFY(!processRunning(dead));
        const int restartsBefore = logText().count(QStringLiteral("Restart helper64.exe"));

        std::atomic<int> running{0};
        std::vector<std::unique_ptr<QThread>> threads;
        for (int i = 0; i < 8; ++i) {
            threads.emplace_back(QThread::create([&, i] {
                if (i % 2 == 1)
                    (void)client.getIFilters(); // finds it dead and marks it hung
                if (client.ensureRunning())
                    ++running;
            }));
            threads.back()->start();
        }
        for (auto& t : threads)
            QVERIFY(t->wait(30000));
        QCOMPARE(running.load(), 8);
        QCOMPARE(logText().count(QStringLiteral("Restart helper64.exe")), restartsBefore + 1);
        const qint64 pid = client.helperPid();
        QVERIFY(processRunning(pid) && pid != dead);

        // Our children that run helper64: only the current one.
        QStringList helpers;
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QByteArray stat = testutil::readFile(QStringLiteral("/proc/%1/stat").arg(entry));
            const int close = stat.lastIndexOf(')');
            if (close < 0 || stat.mid(stat.indexOf('(') + 1, close - stat.indexOf('(') - 1) != "helper64")
                continue;
            const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
            if (fields.size() > 1 && fields.at(0) != "Z" && fields.at(1).toLongLong() == ::getpid())
                helpers << entry;
        }
        QCOMPARE(helpers, QStringList{QString::number(pid)});
    }

    // The real helper program: filter list, RTF conversion, restart after it died.
    void realHelper()
    {
        qint64 pid = 0;
        {
            Helper64Client client(work, helper, 20000);
            QCOMPARE(client.currentState(), 1);
            pid = client.helperPid();
            QVERIFY(processAlive(pid));

            RegistryFile shipped;
            QVERIFY(shipped.load(testutil::programDir() + QStringLiteral("/ifilters64.reg")));
            const std::list<IFilterInfo> filters = client.getIFilters();
            QCOMPARE(filters, getIFiltersFromRegistry(shipped));
            QCOMPARE(int(filters.size()), 3);

            const QString doc = rtf(QStringLiteral("letter.rtf"),
                                    "Dear reader,\\par second \\u1046? paragraph\\par");
            IFilter64Converter converter(&client);
            QCOMPARE(converter.encoding(), QString());
            QString out;
            QVERIFY(converter.convert(ContentFile::open(doc), nullptr, &out, nullptr, QString(), nullptr));
            QCOMPARE(QFileInfo(out).absolutePath(), QFileInfo(work).absoluteFilePath());
            QCOMPARE(readText(out), QString::fromUtf8("Dear reader,\r\nsecond \xD0\x96 paragraph\r\n"));
            QFile::remove(out);

            // No filter for the type, a missing file: empty replies, the helper stays up.
            QVERIFY(client.convert(ContentFile::open(tmp.filePath(QStringLiteral("x.txt")))).empty());
            QVERIFY(client.convert(ContentFile::open(tmp.filePath(QStringLiteral("gone.rtf")))).empty());
            QCOMPARE(client.currentState(), 1);

            // Several threads at once: the exchanges are serialised.
            QCOMPARE(docgen::countSuccesses(6, 1, [&](int i) {
                         const QString p = rtf(QStringLiteral("t%1.rtf").arg(i), "thread " + QByteArray::number(i));
                         const QString o = QString::fromStdWString(client.convert(ContentFile::open(p)));
                         const bool good = readText(o) == QStringLiteral("thread %1\r\n").arg(i);
                         QFile::remove(o);
                         return good;
                     }),
                     6);

            // The helper dies between requests: the next request fails at once and marks it
            // hung; ensureRunning starts a new one (by pid, with a new pipe).
            QVERIFY(::kill(pid_t(pid), SIGKILL) == 0);
            QElapsedTimer t;
            t.start();
            QVERIFY(client.convert(ContentFile::open(doc)).empty());
            QVERIFY(t.elapsed() < 5000);
            QCOMPARE(client.currentState(), 2);
            QVERIFY(client.ensureRunning());
            QVERIFY(logText().contains(QStringLiteral("Restart helper64.exe")));
            QVERIFY(client.helperPid() != pid);
            pid = client.helperPid();
            QVERIFY(converter.convert(ContentFile::open(doc), nullptr, &out, nullptr, QString(), nullptr));
            QFile::remove(out);
            QVERIFY(client.ensureRunning()); // running: nothing to do
            QCOMPARE(client.helperPid(), pid);
        }
        // Destruction sent "EXIT": the helper has ended and been reaped.
        QVERIFY(!processAlive(pid));
        QCOMPARE(QDir(work).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestHelper64)
#include "tst_helper64.moc"
