// Shell operations: the clipboard payloads byte by byte, deleting (confirmation, links never
// followed, the result only for paths really gone), and opening files: with the opener, as a
// program with parameters, and from a root instance as the session user.
#include "app/desktop/ShellEnvironment.h"
#include "app/desktop/ShellUtils.h"
#include "core/FileNameCodec.h"
#include "core/SystemUtils.h"
#include "tests/app/apptestutil.h"
#include "tests/app/scriptedprompter.h"
#include "testutil.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {



bool exists(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Receives what QDesktopServices would hand to the desktop.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QUrl url;
public slots:
    void open(const QUrl& opened) { url = opened; }
};

} // namespace

class TestShellUtils : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString log_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        // Readable by the account the session-user test runs the opener as.
        QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 0755) == 0);
        log_ = dir_.path() + QStringLiteral("/log");
        apptest::writeScript(dir_.path() + QStringLiteral("/opener"),
                    "#!/bin/sh\necho \"opener uid=$(id -u) home=$HOME args=$*\" >> " + QFile::encodeName(log_) + "\n");
        ShellEnvironment::setOpenerProgram(dir_.path() + QStringLiteral("/opener"));
        ShellEnvironment::setFileManagerBusEnabled(false);
        qunsetenv("PKEXEC_UID");
        qunsetenv("SUDO_UID");
    }

    void clipboardPayloadBytes()
    {
        const QStringList paths{QStringLiteral("/tmp/a b#c%d"), QStringLiteral("/x/\u00e4\\y?z")};
        const QByteArray uris = "file:///tmp/a%20b%23c%25d\r\nfile:///x/%C3%A4%5Cy%3Fz\r\n";
        QCOMPARE(ShellUtils::uriList(paths), uris);
        QCOMPARE(ShellUtils::gnomeCopiedFiles(paths, false), QByteArray("copy\nfile:///tmp/a%20b%23c%25d\nfile:///x/%C3%A4%5Cy%3Fz"));
        QCOMPARE(ShellUtils::gnomeCopiedFiles(paths, true), QByteArray("cut\nfile:///tmp/a%20b%23c%25d\nfile:///x/%C3%A4%5Cy%3Fz"));
        QCOMPARE(ShellUtils::plainTextList(paths), QByteArray("/tmp/a b#c%d\n/x/\xc3\xa4\\y?z"));
        // "[" and "]" may not stand in a URI path; sub-delimiters, ":" and "@" may.
        QCOMPARE(ShellUtils::fileUri(QStringLiteral("/r/[x] y;z=1&2:@!$'()*+,~")),
                 QByteArray("file:///r/%5Bx%5D%20y;z=1&2:@!$'()*+,~"));
        QCOMPARE(ShellUtils::fileUri(QStringLiteral("/n\nl\u20ac")), QByteArray("file:///n%0Al%E2%82%AC"));
        // A name that is not UTF-8 keeps its own bytes.
        QCOMPARE(ShellUtils::fileUri(FileNameCodec::decode(QByteArray("/l\xe9\xff"))), QByteArray("file:///l%E9%FF"));
        QCOMPARE(ShellUtils::uriList({}), QByteArray());
        QCOMPARE(ShellUtils::gnomeCopiedFiles({}, false), QByteArray("copy"));

        std::unique_ptr<QMimeData> copy(ShellUtils::createFilesMimeData(paths, false));
        QCOMPARE(copy->formats(), (QStringList{QStringLiteral("text/uri-list"), QStringLiteral("x-special/gnome-copied-files"),
                                               QStringLiteral("text/plain")}));
        QCOMPARE(copy->data(QStringLiteral("text/uri-list")), uris);
        std::unique_ptr<QMimeData> cut(ShellUtils::createFilesMimeData(paths, true));
        QCOMPARE(cut->data(QStringLiteral("application/x-kde-cutselection")), QByteArray("1"));
        QCOMPARE(cut->urls().size(), 2);
        QCOMPARE(cut->urls().at(1).toLocalFile(), paths.at(1));
    }

    void clipboardTakesFilesAndText()
    {
        const QString file = dir_.path() + QStringLiteral("/cut me");
        QVERIFY(testutil::writeFile(file, "data"));
        ShellUtils::cutFiles({file});
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->data(QStringLiteral("x-special/gnome-copied-files")), "cut\n" + QUrl::fromLocalFile(file).toEncoded());
        QVERIFY(exists(file)); // a cut never deletes anything itself
        ShellUtils::copyFiles({file});
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("x-special/gnome-copied-files")).left(5), QByteArray("copy\n"));
    }

    void deleteNeverFollowsLinks()
    {
        const QString outside = dir_.path() + QStringLiteral("/outside");
        QVERIFY(testutil::writeFile(outside + QStringLiteral("/keep.txt"), "keep"));
        const QString area = dir_.path() + QStringLiteral("/area");
        QVERIFY(testutil::writeFile(area + QStringLiteral("/file.txt"), "x"));
        QVERIFY(testutil::writeFile(area + QStringLiteral("/folder/inner.txt"), "x"));
        QVERIFY(QFile::link(outside, area + QStringLiteral("/folder/link-to-outside")));
        QVERIFY(QFile::link(outside, area + QStringLiteral("/dirlink")));
        QVERIFY(QFile::link(outside + QStringLiteral("/keep.txt"), area + QStringLiteral("/filelink")));
        QVERIFY(QFile::link(area + QStringLiteral("/nowhere"), area + QStringLiteral("/dangling")));

        QStringList paths;
        for (const char* name : {"/file.txt", "/folder", "/dirlink", "/filelink", "/dangling"})
            paths << area + name;
        QStringList gone;
        QVERIFY(ShellUtils::deleteFiles(nullptr, nullptr, paths, true, &gone));
        QCOMPARE(gone, paths);
        for (const QString& path : paths)
            QVERIFY2(!exists(path), qPrintable(path));
        QCOMPARE(testutil::readFile(outside + QStringLiteral("/keep.txt")), QByteArray("keep"));
        QVERIFY(ShellUtils::deleteFiles(nullptr, nullptr, {}, true));
    }

    void deleteReportsOnlyWhatIsGone()
    {
        const QString file = dir_.path() + QStringLiteral("/deletable");
        QVERIFY(testutil::writeFile(file, "x"));
        // A name that is not UTF-8 is deleted itself, not reported gone for a name it does not have.
        const QString latin1 = FileNameCodec::decode(QFile::encodeName(dir_.path()) + "/caf\xe9");
        QVERIFY(::close(::open(FileNameCodec::encode(latin1).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644)) == 0);
        QStringList goneLatin1;
        QVERIFY(ShellUtils::deleteFiles(nullptr, nullptr, {latin1}, true, &goneLatin1));
        QCOMPARE(goneLatin1, QStringList{latin1});
        QVERIFY(::access(FileNameCodec::encode(latin1).constData(), F_OK) != 0);
        const QString missing = dir_.path() + QStringLiteral("/never-was");
        // A file no one can remove (procfs).
        const QString stubborn = QStringLiteral("/proc/self/status");
        QStringList gone;
        // Below a file: names nothing, so it counts as gone like a missing one.
        const QString belowFile = stubborn + QStringLiteral("/x");
        QVERIFY(!ShellUtils::deleteFiles(nullptr, nullptr, {file, stubborn, missing, belowFile},
                                         true, &gone));
        QCOMPARE(gone, (QStringList{file, missing, belowFile}));
        QVERIFY(exists(stubborn));
        QVERIFY(!ShellUtils::deleteFiles(nullptr, nullptr, {QString()}, true, &gone));
        QVERIFY(gone.isEmpty());
    }

    void deleteAsksFirstUnlessSilent()
    {
        const QString file = dir_.path() + QStringLiteral("/asked");
        QVERIFY(testutil::writeFile(file, "x"));
        bool declined = false;
        QStringList gone{QStringLiteral("stale")};
        apptest::ScriptedPrompter prompter;
        prompter.questionAnswers << QMessageBox::No << QMessageBox::Yes;
        QVERIFY(!ShellUtils::deleteFiles(&prompter, nullptr, {file}, false, &gone, &declined));
        QVERIFY(declined);
        QVERIFY(gone.isEmpty());
        QVERIFY(exists(file));
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("question")});
        QCOMPARE(prompter.asked.at(0).title, QStringLiteral("Delete"));
        QCOMPARE(prompter.asked.at(0).text,
                 QStringLiteral("Do you really want to delete \"asked\" permanently?"));
        QVERIFY(ShellUtils::deleteFiles(&prompter, nullptr, {file}, false, &gone, &declined));
        QVERIFY(!declined);
        QVERIFY(!exists(file));
        // Nobody to ask: nothing is deleted unasked. Silent: nothing is asked.
        QVERIFY(testutil::writeFile(file, "x"));
        QVERIFY(!ShellUtils::deleteFiles(nullptr, nullptr, {file}, false, &gone, &declined));
        QVERIFY(declined);
        QVERIFY(exists(file));
        QVERIFY(ShellUtils::deleteFiles(&prompter, nullptr, {file}, true, &gone, &declined));
        QVERIFY(!exists(file));
        QCOMPARE(prompter.asked.size(), 2);
    }

    // A root instance deletes as its session user: a file of root's in a folder that user may
    // only read stays, also when reached through a link the user planted in place of one of
    // their folders; the user's own file goes and is reported gone.
    void rootInstanceDeletesAsTheSessionUser()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const QString rootFolder = dir_.path() + QStringLiteral("/root-only");
        const QString home = dir_.path() + QStringLiteral("/nobody-home");
        QVERIFY(testutil::writeFile(rootFolder + QStringLiteral("/victim"), "root's"));
        QVERIFY(testutil::writeFile(home + QStringLiteral("/own"), "nobody's"));
        QCOMPARE(::chmod(QFile::encodeName(rootFolder).constData(), 0755), 0);
        for (const QString& path : {home, home + QStringLiteral("/own")})
            QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        QVERIFY(QFile::link(rootFolder, home + QStringLiteral("/swapped")));
        const testutil::SessionUserScope session(65534);
        const QStringList paths{rootFolder + QStringLiteral("/victim"), home + QStringLiteral("/swapped/victim"),
                                home + QStringLiteral("/own")};
        QStringList gone;
        QVERIFY(!ShellUtils::deleteFiles(nullptr, nullptr, paths, true, &gone));
        QCOMPARE(gone, QStringList{home + QStringLiteral("/own")});
        QCOMPARE(testutil::readFile(rootFolder + QStringLiteral("/victim")), QByteArray("root's"));
        QVERIFY(!exists(home + QStringLiteral("/own")));
    }

    void openUsesOpenerOrStartsProgram()
    {
        QVERIFY(!ShellUtils::openFile(nullptr, QString(), QString()));
        QFile::remove(log_);
        QVERIFY(ShellUtils::openFile(nullptr, QStringLiteral("/some dir/a.txt"), QString()));
        QTRY_VERIFY_WITH_TIMEOUT(testutil::readFile(log_).contains("args=/some dir/a.txt\n"), 5000);
        // The opener gets a name that is not UTF-8 with its own bytes.
        QVERIFY(ShellUtils::openFile(nullptr, FileNameCodec::decode(QByteArray("/d/caf\xe9")), QString()));
        QTRY_VERIFY_WITH_TIMEOUT(testutil::readFile(log_).contains("args=/d/caf\xe9\n"), 5000);

        // Without an opener: the desktop's handler of file URIs gets the name's own bytes.
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
        ShellEnvironment::setOpenerProgram(QString());
        QVERIFY(ShellUtils::openFile(nullptr, FileNameCodec::decode(QByteArray("/d/caf\xe9 [1].txt")), QString()));
        ShellEnvironment::setOpenerProgram(dir_.path() + QStringLiteral("/opener"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(recorder.url.toEncoded(), QByteArray("file:///d/caf%E9%20%5B1%5D.txt"));

        // With parameters the path itself is started, the parameters split like a command line.
        const QString program = dir_.path() + QStringLiteral("/program");
        apptest::writeScript(program, "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done >> " + QFile::encodeName(log_) + "\n");
        QFile::remove(log_);
        QVERIFY(ShellUtils::openFile(nullptr, program, QStringLiteral("-x \"two words\"")));
        QTRY_COMPARE_WITH_TIMEOUT(testutil::readFile(log_), QByteArray("[-x]\n[two words]\n"), 5000);

        // Open file location without a file manager on the bus: the folder is opened.
        QFile::remove(log_);
        QVERIFY(ShellUtils::showInFolder(nullptr, QStringLiteral("/some dir/a.txt")));
        QTRY_VERIFY_WITH_TIMEOUT(testutil::readFile(log_).contains("args=/some dir\n"), 5000);
        QVERIFY(!ShellUtils::showInFolder(nullptr, QString()));
    }

    void rootInstanceOpensAsSessionUser()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const struct passwd* nobody = ::getpwnam("nobody");
        if (!nobody)
            QSKIP("no account nobody");
        const QString home = QFile::decodeName(nobody->pw_dir);
        QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 0777) == 0);
        QFile::remove(log_);
        // Started for "nobody", with no user instance to ask (its runtime folder is not
        // nobody's): the opener runs with nobody's identity and home.
        qputenv("PKEXEC_UID", QByteArray::number(nobody->pw_uid));
        ShellEnvironment::setRuntimeFolder(dir_.path());
        QVERIFY(ShellUtils::runsForOtherUser());
        const bool opened = ShellUtils::openFile(nullptr, QStringLiteral("/srv/doc.pdf"), QString());
        qunsetenv("PKEXEC_UID");
        ShellEnvironment::setRuntimeFolder(QString());
        QVERIFY(opened);
        QTRY_COMPARE_WITH_TIMEOUT(testutil::readFile(log_),
                                  "opener uid=" + QByteArray::number(nobody->pw_uid) + " home=" + QFile::encodeName(home) + " args=/srv/doc.pdf\n",
                                  5000);

        // A descriptor of the root process without close-on-exec does not reach the program.
        const QString fdLog = dir_.path() + QStringLiteral("/fds");
        const QString fdLister = dir_.path() + QStringLiteral("/list-fds");
        apptest::writeScript(fdLister, "#!/bin/sh\nls /proc/$$/fd > " + QFile::encodeName(fdLog) + "\n");
        const int leaky = ::open("/etc/hostname", O_RDONLY);
        QVERIFY(leaky > 2);
        qputenv("PKEXEC_UID", QByteArray::number(nobody->pw_uid));
        const bool listed = ShellUtils::startAsSessionUser(fdLister, {});
        qunsetenv("PKEXEC_UID");
        ::close(leaky);
        QVERIFY(listed);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(fdLog), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!testutil::readFile(fdLog).isEmpty(), 5000);
        QVERIFY2(!testutil::readFile(fdLog).split('\n').contains(QByteArray::number(leaky)), testutil::readFile(fdLog).constData());

        QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 0755) == 0);
        QVERIFY(!ShellUtils::runsForOtherUser());
        // Not root for another user: refused.
        QVERIFY(!ShellUtils::startAsSessionUser(QString(), {}));
    }
};

QTEST_MAIN(TestShellUtils)
#include "tst_shellutils.moc"
