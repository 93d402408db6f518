// Local socket files: the mode and owner of a socket put in place, the folders and names that
// are refused, what happens to what lies at the name, and a folder swapped for a link while
// sockets are made in it (nothing outside changes).
#include "platform/LocalSocketFile.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QByteArray bytes(const QString& path)
{
    return QFile::encodeName(path);
}

bool lstatOf(const QString& path, struct stat* st)
{
    return ::lstat(bytes(path).constData(), st) == 0;
}

int modeOf(const QString& path)
{
    struct stat st;
    return lstatOf(path, &st) ? int(st.st_mode & 07777) : -1;
}

QString privateFolder(const QTemporaryDir& tmp, const QString& name)
{
    const QString path = tmp.filePath(name);
    QDir().mkpath(path);
    ::chmod(bytes(path).constData(), 0700);
    return path;
}

} // namespace

class TestLocalSocketFile : public QObject
{
    Q_OBJECT

private slots:
    void modeAndOwner()
    {
        QTemporaryDir tmp;
        const QString folder = privateFolder(tmp, QStringLiteral("run"));
        for (const mode_t mode : {mode_t(0600), mode_t(0666)}) {
            const QString path = folder + QStringLiteral("/sock") + QString::number(mode, 8);
            QLocalServer server;
            QString why;
            QVERIFY2(LocalSocketFile::listen(&server, path, mode, &why), qPrintable(why));
            struct stat st;
            QVERIFY(lstatOf(path, &st));
            QVERIFY(S_ISSOCK(st.st_mode));
            QCOMPARE(int(st.st_mode & 07777), int(mode));
            QCOMPARE(st.st_uid, ::geteuid());
            QLocalSocket client;
            client.connectToServer(path);
            QVERIFY(client.waitForConnected(2000));
            QVERIFY(server.waitForNewConnection(2000));
        }
    }

    // A link in the folder's place, a folder others may write to and (as root) a folder of
    // another user are refused; no socket is made in any of them.
    void refusedFolders()
    {
        QTemporaryDir tmp;
        const QString target = privateFolder(tmp, QStringLiteral("target"));
        const QString link = tmp.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(target, link));
        const QString open = privateFolder(tmp, QStringLiteral("open"));
        QVERIFY(::chmod(bytes(open).constData(), 0777) == 0);
        QStringList refused{link, open, tmp.filePath(QStringLiteral("missing"))};
        if (testutil::isRoot()) {
            const QString foreign = privateFolder(tmp, QStringLiteral("foreign"));
            QVERIFY(::chown(bytes(foreign).constData(), 65534, 65534) == 0);
            refused << foreign;
        }
        for (const QString& folder : refused) {
            QLocalServer server;
            QString why;
            QVERIFY2(!LocalSocketFile::listen(&server, folder + QStringLiteral("/sock"), 0600, &why), qPrintable(folder));
            QVERIFY(!why.isEmpty());
            QVERIFY(!server.isListening());
        }
        for (const QString& folder : {target, open})
            QVERIFY(QDir(folder).isEmpty(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot));
        QCOMPARE(modeOf(target), 0700);
        QCOMPARE(modeOf(open), 0777);
    }

    // An old socket and a link at the name go (the link's target stays as it was); a plain
    // file there is kept and the listen refused.
    void whatLiesAtTheName()
    {
        QTemporaryDir tmp;
        const QString folder = privateFolder(tmp, QStringLiteral("run"));
        const QString path = folder + QStringLiteral("/sock");

        // A socket left by a process that died.
        {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            QVERIFY(fd >= 0);
            struct sockaddr_un addr = {};
            addr.sun_family = AF_UNIX;
            qstrncpy(addr.sun_path, bytes(path).constData(), sizeof addr.sun_path);
            QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0);
            ::close(fd);
            QLocalServer server;
            QString why;
            QVERIFY2(LocalSocketFile::listen(&server, path, 0600, &why), qPrintable(why));
            QCOMPARE(modeOf(path), 0600);
        }

        // A link to a file outside: removed as a link; the file keeps its bytes and mode.
        const QString outside = tmp.filePath(QStringLiteral("outside.txt"));
        QVERIFY(testutil::writeFile(outside, "keep"));
        QVERIFY(::chmod(bytes(outside).constData(), 0640) == 0);
        QFile::remove(path);
        QVERIFY(QFile::link(outside, path));
        {
            QLocalServer server;
            QString why;
            QVERIFY2(LocalSocketFile::listen(&server, path, 0666, &why), qPrintable(why));
            struct stat st;
            QVERIFY(lstatOf(path, &st) && S_ISSOCK(st.st_mode));
        }
        QCOMPARE(modeOf(outside), 0640);
        QCOMPARE(testutil::readFile(outside), QByteArray("keep"));

        // A plain file at the name is not ours to remove.
        QFile::remove(path);
        QVERIFY(testutil::writeFile(path, "data"));
        QLocalServer server;
        QString why;
        QVERIFY(!LocalSocketFile::listen(&server, path, 0600, &why));
        QVERIFY(why.contains(QStringLiteral("no socket")));
        QCOMPARE(testutil::readFile(path), QByteArray("data"));
    }

    // While another thread keeps swapping the folder for a link to an outside folder and back,
    // every socket that is accepted lies in the real folder with its mode, and nothing outside
    // has its mode changed.
    void folderSwappedMeanwhile()
    {
        QTemporaryDir tmp;
        const QString run = privateFolder(tmp, QStringLiteral("run"));
        const QString parked = tmp.filePath(QStringLiteral("run.parked"));
        const QString outside = tmp.filePath(QStringLiteral("outside"));
        QVERIFY(QDir().mkpath(outside));
        QVERIFY(::chmod(bytes(outside).constData(), 0755) == 0);
        const QString bystander = outside + QStringLiteral("/file");
        QVERIFY(testutil::writeFile(bystander, "x"));
        QVERIFY(::chmod(bytes(bystander).constData(), 0644) == 0);

        std::atomic<bool> stop{false};
        const auto swapLoop = [&] {
            const QByteArray r = bytes(run), p = bytes(parked), o = bytes(outside);
            while (!stop.load()) {
                if (::rename(r.constData(), p.constData()) == 0) {
                    if (::symlink(o.constData(), r.constData()) == 0) {
                        std::this_thread::yield();
                        ::unlink(r.constData());
                    }
                    ::rename(p.constData(), r.constData());
                }
                std::this_thread::sleep_for(std::chrono::microseconds(20)); // the swap's pace
            }
        };
        std::thread swapper(swapLoop);
        int accepted = 0;
        for (int i = 0; i < 300; ++i) {
            const QString path = run + QStringLiteral("/s") + QString::number(i);
            QLocalServer server;
            if (!LocalSocketFile::listen(&server, path, 0600, nullptr))
                continue;
            ++accepted;
            // Wherever the name leads now, the real folder holds the socket with its mode.
            stop = true;
            swapper.join();
            struct stat st;
            QVERIFY(lstatOf(path, &st) && S_ISSOCK(st.st_mode));
            QCOMPARE(int(st.st_mode & 07777), 0600);
            stop = false;
            swapper = std::thread(swapLoop);
        }
        stop = true;
        swapper.join();
        QCOMPARE(modeOf(outside), 0755);
        QCOMPARE(modeOf(bystander), 0644);
        QCOMPARE(testutil::readFile(bystander), QByteArray("x"));
        qInfo("%d of 300 sockets accepted while the folder was being swapped", accepted);
    }
};

QTEST_GUILESS_MAIN(TestLocalSocketFile)
#include "tst_localsocketfile.moc"
