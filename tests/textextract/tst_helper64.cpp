// The helper protocol (framing, filter list), the pipe thread, the client with the real
// helper64 program (RTF through its filter over the socket), restart after the helper died,
// and the checks on the helper's replies.
#include "core/ContentFile.h"
#include "core/ChildProcess.h"
#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "core/UserFileIdentity.h"
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

#include <sys/socket.h>
#include <sys/stat.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <memory>
#include <thread>
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

    // A new connection: the program's end and the helper's end of a socket pair.
    static bool socketPair(int* ours, int* theirs)
    {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            return false;
        *ours = ends[0];
        *theirs = ends[1];
        return true;
    }

    // Starts `program` (the real helper64 unless given) as `child` on a new connection and
    // connects `thread` to it.
    bool startConnected(Helper64Thread& thread, ChildProcess& child, const QString& program = QString())
    {
        thread.start();
        const QString id = QUuid::createUuid().toString();
        int ours = -1, theirs = -1;
        if (!socketPair(&ours, &theirs))
            return false;
        ChildProcess::Setup setup;
        setup.input = theirs;
        setup.inheritErrors = true;
        const bool started = child.start(program.isEmpty() ? helper : program, {id, tmp.path(), work}, setup);
        ::close(theirs);
        if (!started) {
            ::close(ours);
            return false;
        }
        const quint64 ticket = thread.beginRequest();
        emit thread.doConnect(ours, id);
        return thread.waitFinished(ticket, 20000) && thread.isConnected();
    }

    // The pipe thread alone, the test playing the helper on `peer`, which sends `greeting`
    // first (the right one when null). True when the thread counts it as connected.
    static bool connectPeer(Helper64Thread& thread, QLocalSocket& peer, const QString& greeting = QString())
    {
        int ours = -1, theirs = -1;
        if (!socketPair(&ours, &theirs) || !peer.setSocketDescriptor(theirs))
            return false;
        thread.start();
        const QString id = QUuid::createUuid().toString();
        peer.write(Helper64Protocol::frame(greeting.isNull() ? Helper64Protocol::greeting(id) : greeting));
        peer.flush();
        const quint64 ticket = thread.beginRequest();
        emit thread.doConnect(ours, id);
        return thread.waitFinished(ticket, 5000) && thread.isConnected();
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
        // A first message other than the helper's greeting, or the end of the connection before
        // it, fails the connect.
        {
            Helper64Thread thread;
            QLocalSocket peer;
            QVERIFY(!connectPeer(thread, peer, QStringLiteral("HELPER64\n{someone else}")));
            QVERIFY(!thread.isConnected());
        }
        {
            Helper64Thread thread;
            thread.start();
            int ours = -1, theirs = -1;
            QVERIFY(socketPair(&ours, &theirs));
            ::close(theirs);
            const quint64 ticket = thread.beginRequest();
            emit thread.doConnect(ours, QStringLiteral("{x}"));
            QVERIFY(thread.waitFinished(ticket, 5000));
            QVERIFY(!thread.isConnected());
        }
        Helper64Thread thread;
        QLocalSocket peer;
        QVERIFY(connectPeer(thread, peer));
        quint64 ticket = 0;

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
        QThread::msleep(50); // a fixed wait: the first part arrives before the read is asked for
        ticket = thread.beginRequest();
        emit thread.doRead();
        peer.write(frame.mid(3, 1000));
        peer.waitForBytesWritten(1000);
        QThread::msleep(20); // a fixed wait: the pieces arrive apart
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

    // The helper's command line, its end when the program goes away, and no socket file.
    void helperEndsWithItsPeer()
    {
        QProcess wrong;
        wrong.start(helper, {QStringLiteral("only-one")});
        QVERIFY(wrong.waitForFinished(10000));
        QCOMPARE(wrong.exitCode(), 2);

        auto thread = std::make_unique<Helper64Thread>();
        ChildProcess child;
        QVERIFY(startConnected(*thread, child));
        QVERIFY(!child.finished());
        for (const QString& folder : {QFile::decodeName(qgetenv("XDG_RUNTIME_DIR")), QDir::tempPath()})
            QCOMPARE(QDir(folder).entryList({QStringLiteral("*helper64*")}, QDir::System), QStringList());
        thread.reset(); // closes the connection
        QVERIFY(child.waitFinished(10000));
        QVERIFY(child.exitedNormally());
        QCOMPARE(child.exitCode(), 0);
    }

    // A helper without a connection from its parent ends at once: standard input that is no
    // socket, or a socket pair some other process made (here the test, while the helper's
    // parent is a shell).
    void helperRefusesWhatIsNoConnectionFromItsParent()
    {
        QProcess piped;
        piped.start(helper, {QUuid::createUuid().toString(), tmp.path(), work});
        QVERIFY(piped.waitForFinished(10000));
        QCOMPARE(piped.exitCode(), 1);
        QVERIFY(logText().contains(QStringLiteral("Standard input is no connection to a program")));

        int ours = -1, theirs = -1;
        QVERIFY(socketPair(&ours, &theirs));
        const HandleHolder kept(ours);
        const QString exitFile = tmp.filePath(QStringLiteral("stranger.exit"));
        ChildProcess shell;
        ChildProcess::Setup setup;
        setup.input = theirs;
        QVERIFY(shell.start(QStringLiteral("/bin/sh"),
                            {QStringLiteral("-c"), QStringLiteral("\"$0\" \"$1\" \"$2\" \"$3\"; echo $? > \"$4\""),
                             helper, QUuid::createUuid().toString(), tmp.path(), work, exitFile},
                            setup));
        ::close(theirs);
        QVERIFY(shell.waitFinished(20000));
        QCOMPARE(testutil::readFile(exitFile).trimmed(), QByteArray("1"));
        QVERIFY(logText().contains(QStringLiteral("The pipe is held by another process (pid %1").arg(::getpid())));
    }

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
            // Without a connection it logs why and ends at once.
            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("PKEXEC_UID"), QStringLiteral("65534"));
            process.setProcessEnvironment(env);
            process.start(helper, {QUuid::createUuid().toString(), logFolder, work});
            QVERIFY(process.waitForFinished(10000));
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

    // The helper of a root instance runs as the session user and still converts a document
    // only root may read: it gets the descriptor root opened. Its text files lie in a folder of
    // that user's and reach our working folder as files of ours; the folder goes with the client.
    void rootInstanceHelperRunsAsTheSessionUser()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const testutil::SessionUserScope session(65534);
        const QString secret = rtf(QStringLiteral("root-only/secret.rtf"), "Only root reads this\\par");
        QVERIFY(::chmod(QFile::encodeName(tmp.filePath(QStringLiteral("root-only"))).constData(), 0700) == 0);
        QVERIFY(::chmod(QFile::encodeName(secret).constData(), 0600) == 0);
        QString helperFolder;
        {
            Helper64Client client(work, helper, 20000);
            QCOMPARE(client.currentState(), Helper64Client::State::Running);
            const QByteArray status = testutil::readFile(QStringLiteral("/proc/%1/status").arg(client.helperPid()));
            QVERIFY2(status.contains("\nUid:\t65534\t65534\t65534\t65534\n"), status.constData());
            const int groups = status.indexOf("\nGroups:");
            QVERIFY(groups >= 0);
            QVERIFY(!status.mid(groups + 8, status.indexOf('\n', groups + 1) - groups - 8).trimmed().split(' ').contains("0"));
            for (const QFileInfo& info : QDir(QDir::tempPath()).entryInfoList({QStringLiteral("tallowquist-pro-helper-*")}, QDir::Dirs)) {
                if (info.ownerId() == 65534)
                    helperFolder = info.filePath();
            }
            QVERIFY(!helperFolder.isEmpty());
            IFilter64Converter converter(&client);
            QString out;
            QVERIFY(converter.convert(ContentFile::open(secret), nullptr, &out, nullptr, QString(), nullptr));
            QCOMPARE(QFileInfo(out).absolutePath(), QFileInfo(work).absoluteFilePath());
            QCOMPARE(QFileInfo(out).ownerId(), uint(0));
            QCOMPARE(readText(out), QStringLiteral("Only root reads this\r\n"));
            QFile::remove(out);
            QCOMPARE(QDir(helperFolder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
        }
        QVERIFY(!QFileInfo::exists(helperFolder));
    }

    // Names in the temporary folder another local user could take first ("tallowquist-<uid>"
    // for root and for the session user, holding a link and a socket) change nothing: the
    // helper's connection has no name, in a process of its own as in a root instance.
    void namesTakenFirstChangeNothing()
    {
        if (!testutil::isRoot())
            QSKIP("needs root: plays another local user");
        SessionAccount nobody;
        QVERIFY(SessionAccount::lookup(65534, &nobody));
        QStringList planted;
        const auto removePlanted = qScopeGuard([&] {
            for (const QString& folder : qAsConst(planted))
                QDir(folder).removeRecursively();
        });
        for (const uid_t uid : {uid_t(0), uid_t(65534)}) {
            const QString folder = QDir::tempPath() + QStringLiteral("/tallowquist-%1").arg(uid);
            if (QFileInfo::exists(folder) || QFileInfo(folder).isSymLink())
                continue; // not ours to replace
            UserFileIdentity asNobody(nobody);
            QVERIFY(asNobody.ok());
            QCOMPARE(::mkdir(QFile::encodeName(folder).constData(), 0777), 0);
            planted << folder;
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
            QCOMPARE(::symlink("/etc/passwd", QFile::encodeName(folder + QStringLiteral("/helper64")).constData()), 0);
        }
        const auto converts = [&] {
            Helper64Client client(work, helper, 20000);
            const QString doc = rtf(QStringLiteral("taken.rtf"), "taken first\\par");
            IFilter64Converter converter(&client);
            QString out;
            const bool ok = client.currentState() == Helper64Client::State::Running &&
                            !client.getIFilters().empty() &&
                            converter.convert(ContentFile::open(doc), nullptr, &out, nullptr,
                                              QString(), nullptr) &&
                            readText(out) == QStringLiteral("taken first\r\n");
            QFile::remove(out);
            return ok;
        };
        QVERIFY(converts());
        {
            const testutil::SessionUserScope session(65534);
            QVERIFY(converts());
        }
        for (const QString& folder : qAsConst(planted)) {
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                     QStringList{QStringLiteral("helper64")});
            QCOMPARE(QFileInfo(folder).ownerId(), uint(65534));
        }
    }

    // A helper whose program vanishes during a conversion (killed: the kernel closes its socket)
    // stops the converter program, removes nothing-yet-written files and ends normally.
    void helperLosesProgramMidConversion()
    {
        const QString pidFile = tmp.filePath(QStringLiteral("filter2.pid"));
        const QString stalling = stallingHelper(QStringLiteral("stall2"), pidFile);
        QVERIFY(!stalling.isEmpty());
        auto thread = std::make_unique<Helper64Thread>();
        ChildProcess process;
        QVERIFY(startConnected(*thread, process, stalling));
        const ContentFile endless = ContentFile::open(rtf(QStringLiteral("endless.rtf"), "x"));
        QVERIFY(writeMessage(*thread, QStringLiteral("CONVERT\n") + endless.path(), 5000, endless.duplicate()));
        QTRY_VERIFY(QFile::exists(pidFile));
        const qint64 converter = testutil::readFile(pidFile).trimmed().toLongLong();
        QVERIFY(processRunning(converter));
        QElapsedTimer t;
        t.start();
        thread.reset(); // what the kernel does to the socket of a killed program
        QVERIFY(process.waitFinished(20000));
        QVERIFY(t.elapsed() < 20000); // long before the helper's own time limit
        QVERIFY(process.exitedNormally());
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
        ChildProcess process;
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
        QVERIFY(process.waitFinished(10000));
        QCOMPARE(QDir(work).entryList(QDir::Files), QStringList());
    }

    void noHelper()
    {
        Helper64Client client(work, QString());
        QCOMPARE(client.currentState(), Helper64Client::State::NotStarted);
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
            QCOMPARE(client.currentState(), Helper64Client::State::NotStarted);
            QCOMPARE(client.helperPid(), 0);
        }
        QVERIFY(t.elapsed() < 10000);
        QVERIFY(logText().contains(QStringLiteral("Failed to connect to the pipe.")));

        // Stays alive without connecting: after the wait it is ended by its pid.
        const QString script = tmp.filePath(QStringLiteral("silent.sh"));
        QVERIFY(testutil::writeFile(script, "#!/bin/sh\nexec sleep 30\n"));
        QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        Helper64Client client(work, script, 500);
        QCOMPARE(client.currentState(), Helper64Client::State::NotStarted);
        QCOMPARE(client.helperPid(), 0);
        QVERIFY(!client.ensureRunning()); // acts only on a hung helper

        // A program that cannot be started.
        Helper64Client missing(work, tmp.filePath(QStringLiteral("no-helper")), 500);
        QCOMPARE(missing.currentState(), Helper64Client::State::NotStarted);
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
        QCOMPARE(client.currentState(), Helper64Client::State::Running);
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
        QThread::msleep(200); // proves an absence: all three calls wait
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
        QCOMPARE(client.currentState(), Helper64Client::State::Hung);
        QVERIFY(logText().contains(QStringLiteral("Reading from pipe hanged, file name = %1").arg(doc)));
        QTRY_VERIFY(QFile::exists(pidFile));
        const qint64 converter = testutil::readFile(pidFile).trimmed().toLongLong();
        QVERIFY(processAlive(converter));

        // A cancelled search does not restart the hung helper; the next round does.
        QVERIFY(!client.ensureRunning(&canceled));
        QCOMPARE(client.currentState(), Helper64Client::State::Hung);
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
        QCOMPARE(client.currentState(), Helper64Client::State::Running);
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

    // A client made to start on first use starts nothing when it is made (the program's window
    // makes one on the GUI thread at start); the first request starts the helper on the thread
    // that makes it, and a try cancelled before it connected is made again by the next request.
    void startOnFirstUse()
    {
        RegistryFile shipped;
        QVERIFY(shipped.load(testutil::programDir() + QStringLiteral("/ifilters64.reg")));
        {
            Helper64Client client(work, helper, 20000, Helper64Client::StartMode::OnFirstUse);
            QCOMPARE(client.currentState(), Helper64Client::State::NotStarted);
            QCOMPARE(client.helperPid(), qint64(0));
            const bool canceled = true;
            QVERIFY(client.getIFilters(&canceled).empty());
            QCOMPARE(client.helperPid(), qint64(0));
            std::list<IFilterInfo> filters;
            std::thread worker([&] { filters = client.getIFilters(); });
            worker.join();
            QCOMPARE(client.currentState(), Helper64Client::State::Running);
            QVERIFY(processAlive(client.helperPid()));
            QCOMPARE(filters, getIFiltersFromRegistry(shipped));
        }
        {
            // ensureRunning, as a contents search calls it first, starts it too.
            Helper64Client client(work, helper, 20000, Helper64Client::StartMode::OnFirstUse);
            QVERIFY(client.ensureRunning());
            QCOMPARE(client.currentState(), Helper64Client::State::Running);
        }
    }

    // The real helper program: filter list, RTF conversion, restart after it died.
    void realHelper()
    {
        qint64 pid = 0;
        {
            Helper64Client client(work, helper, 20000);
            QCOMPARE(client.currentState(), Helper64Client::State::Running);
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
            QCOMPARE(client.currentState(), Helper64Client::State::Running);

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
            QCOMPARE(client.currentState(), Helper64Client::State::Hung);
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
