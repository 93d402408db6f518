// Opening the log: every case runs in a child process of its own, since the logger is created
// once per process. A link is never followed and a FIFO never blocks the start.
#include "core/Logger.h"
#include "testutil.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs Logger::instance(path) and one write in a child; true when the child ended by itself
// within a few seconds.
bool logInChild(const QString& path)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        Logger::instance(path).writeQString(Logger::Info, "child", QStringLiteral("record"));
        ::_exit(0);
    }
    QElapsedTimer timer;
    timer.start();
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (timer.elapsed() > 60000) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return false;
        }
        QThread::msleep(5); // polls the child's end
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

class TestLoggerOpen : public QObject
{
    Q_OBJECT

private slots:
    void plainFileIsWritten()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tallowquist Pro.log"));
        QVERIFY(logInChild(path));
        QVERIFY(testutil::readFile(path).endsWith(QByteArray("r\0e\0c\0o\0r\0d\0\r\0\n\0", 16)));
        QCOMPARE(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::WriteOther), QFile::Permissions());
    }

    void linkIsNeverFollowed()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("elsewhere"));
        QVERIFY(testutil::writeFile(target, "keep"));
        const QString link = dir.filePath(QStringLiteral("Tallowquist Pro.log"));
        QVERIFY(QFile::link(target, link));
        QVERIFY(logInChild(link));
        QCOMPARE(testutil::readFile(target), QByteArray("keep"));
        // A dangling link creates nothing at its target either.
        const QString dangling = dir.filePath(QStringLiteral("second.log"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("created")), dangling));
        QVERIFY(logInChild(dangling));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("created"))));
    }

    void fifoDoesNotBlock()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("Tallowquist Pro.log"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QVERIFY(logInChild(fifo));
    }
};

QTEST_GUILESS_MAIN(TestLoggerOpen)
#include "tst_loggeropen.moc"
