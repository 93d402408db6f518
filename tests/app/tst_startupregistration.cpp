// The start-up and folder context-menu entries: their exact bytes, quoting of odd program
// paths, switching on and off, a root instance writing the user's entry as the user, and the
// folder entry never taking over as the default folder handler.
#include "app/StartupRegistration.h"

#include "app/DesktopApplications.h"
#include "apptestutil.h"
#include "testutil.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

StartupRegistration::Locations locationsIn(const QString& base)
{
    StartupRegistration::Locations l;
    l.autostartFolder = base + QStringLiteral("/config/autostart");
    l.applicationsFolder = base + QStringLiteral("/share/applications");
    l.programFile = QStringLiteral("/opt/tq/tallowquist-pro");
    return l;
}

struct StatInfo
{
    uid_t uid = 0;
    mode_t mode = 0;
};

StatInfo statOf(const QString& path)
{
    struct stat st;
    StatInfo info;
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0) {
        info.uid = st.st_uid;
        info.mode = st.st_mode & 07777;
    }
    return info;
}

// `xdg-mime query default inode/directory` in a desktop made of the given folders only.
QString defaultFolderHandler(const QString& base, const QStringList& dataDirs)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), base + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), base + QStringLiteral("/home/.config"));
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), base + QStringLiteral("/etc"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), base + QStringLiteral("/home/.local/share"));
    env.insert(QStringLiteral("XDG_DATA_DIRS"), dataDirs.join(QLatin1Char(':')));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                               QStringLiteral("inode/directory")});
    if (!process.waitForFinished(20000))
        return QStringLiteral("<xdg-mime did not finish>");
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

class TestStartupRegistration : public QObject
{
    Q_OBJECT

private slots:
    void exactEntries()
    {
        QCOMPARE(StartupRegistration::autostartEntry(QStringLiteral("/opt/tq/tallowquist-pro")),
                 QByteArray("[Desktop Entry]\n"
                            "Type=Application\n"
                            "Name=Tallowquist Pro\n"
                            "Exec=/opt/tq/tallowquist-pro -minimize\n"
                            "Icon=tallowquist-pro\n"
                            "Terminal=false\n"
                            "X-GNOME-Autostart-enabled=true\n"));
        QCOMPARE(StartupRegistration::folderEntry(QStringLiteral("/opt/tq/tallowquist-pro"),
                                                  QStringLiteral("Search with Tallowquist Pro...")),
                 QByteArray("[Desktop Entry]\n"
                            "Type=Application\n"
                            "Name=Search with Tallowquist Pro...\n"
                            "Exec=/opt/tq/tallowquist-pro -path %f\n"
                            "Icon=tallowquist-pro\n"
                            "MimeType=inode/directory\n"
                            "NoDisplay=true\n"
                            "Terminal=false\n"));
    }

    void programPathsAreQuoted_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QByteArray>("exec");
        QTest::newRow("plain") << "/usr/bin/tq" << QByteArray("Exec=/usr/bin/tq -path %f\n");
        QTest::newRow("blank") << "/opt/my apps/tq"
                               << QByteArray("Exec=\"/opt/my apps/tq\" -path %f\n");
        QTest::newRow("percent") << "/opt/100%/tq" << QByteArray("Exec=/opt/100%%/tq -path %f\n");
        QTest::newRow("dollar and quote")
            << "/opt/a$b\"c/tq" << QByteArray("Exec=\"/opt/a\\\\$b\\\\\"c/tq\" -path %f\n");
        // A backslash is escaped by the quoting rule, then again by the string rule.
        QTest::newRow("backslash")
            << "/opt/a\\b/tq" << QByteArray("Exec=\"/opt/a\\\\\\\\b/tq\" -path %f\n");
        QTest::newRow("semicolon")
            << "/opt/a;b/tq" << QByteArray("Exec=\"/opt/a;b/tq\" -path %f\n");
        QTest::newRow("non-ASCII") << QStringLiteral("/opt/ärger/tq")
                                   << QStringLiteral("Exec=/opt/ärger/tq -path %f\n").toUtf8();
    }

    void programPathsAreQuoted()
    {
        QFETCH(QString, program);
        QFETCH(QByteArray, exec);
        const QByteArray entry = StartupRegistration::folderEntry(program, QStringLiteral("x"));
        QVERIFY2(entry.contains("\n" + exec), entry.constData());
        // A desktop reading the line back gets the program path itself as the first argument.
        QTemporaryDir dir;
        QVERIFY(testutil::writeFile(dir.filePath(QStringLiteral("e.desktop")), entry));
        const QString execValue =
            DesktopApplications::readEntryGroup(dir.filePath(QStringLiteral("e.desktop")))
                .value(QStringLiteral("Exec"));
        QStringList arguments;
        QVERIFY(DesktopApplications::splitExec(execValue, arguments));
        // (field codes, "%%" among them, are expanded after the split)
        QCOMPARE(arguments,
                 (QStringList{QString(program).replace(QLatin1Char('%'), QStringLiteral("%%")),
                              QStringLiteral("-path"), QStringLiteral("%f")}));
    }

    void launchAtStartupOnAndOff()
    {
        QTemporaryDir dir;
        const StartupRegistration registration(locationsIn(dir.path()));
        QVERIFY(!registration.isLaunchAtStartup());
        // The folder does not exist yet: every level is made.
        QVERIFY(registration.setLaunchAtStartup(true));
        QCOMPARE(registration.autostartFilePath(),
                 dir.path() + QStringLiteral("/config/autostart/tallowquist-pro.desktop"));
        QCOMPARE(testutil::readFile(registration.autostartFilePath()),
                 StartupRegistration::autostartEntry(QStringLiteral("/opt/tq/tallowquist-pro")));
        QCOMPARE(statOf(registration.autostartFilePath()).mode, mode_t(0644));
        QVERIFY(registration.isLaunchAtStartup());
        // Writing again replaces the file instead of appending to it.
        QVERIFY(registration.setLaunchAtStartup(true));
        QCOMPARE(testutil::readFile(registration.autostartFilePath()),
                 StartupRegistration::autostartEntry(QStringLiteral("/opt/tq/tallowquist-pro")));
        QVERIFY(registration.setLaunchAtStartup(false));
        QVERIFY(!QFileInfo::exists(registration.autostartFilePath()));
        QVERIFY(!registration.isLaunchAtStartup());
        // Removing a missing entry is no error.
        QVERIFY(registration.setLaunchAtStartup(false));
    }

    void withoutAHomeThereIsNoEntry()
    {
        StartupRegistration::Locations l;
        l.programFile = QStringLiteral("/opt/tq/tallowquist-pro");
        const StartupRegistration registration(l);
        QCOMPARE(registration.autostartFilePath(), QString());
        QVERIFY(!registration.isLaunchAtStartup());
        QVERIFY(registration.setLaunchAtStartup(false));
        QVERIFY(!registration.setLaunchAtStartup(true));
    }

    void switchedOffEntriesReadAsOff_data()
    {
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<bool>("on");
        QTest::newRow("hidden") << QByteArray("Hidden=true\n") << false;
        QTest::newRow("gnome disabled") << QByteArray("X-GNOME-Autostart-enabled=false\n") << false;
        QTest::newRow("hidden false") << QByteArray("Hidden=false\n") << true;
        QTest::newRow("other group") << QByteArray("[Desktop Action x]\nHidden=true\n") << true;
    }

    void switchedOffEntriesReadAsOff()
    {
        QFETCH(QByteArray, extra);
        QFETCH(bool, on);
        QTemporaryDir dir;
        const StartupRegistration registration(locationsIn(dir.path()));
        QVERIFY(
            testutil::writeFile(registration.autostartFilePath(),
                                "[Desktop Entry]\nType=Application\nExec=/x -minimize\n" + extra));
        QCOMPARE(registration.isLaunchAtStartup(), on);
        if (!on) {
            // Switching on again writes a fresh entry.
            QVERIFY(registration.setLaunchAtStartup(true));
            QVERIFY(registration.isLaunchAtStartup());
        }
    }

    void rootWritesTheUsersEntryAsTheUser()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        QTemporaryDir dir;
        // The user must be able to reach the folder, as a real home is reached.
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        const QString home = dir.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));
        QVERIFY(::chown(QFile::encodeName(home).constData(), 65534, 65534) == 0);
        qputenv("PKEXEC_UID", "65534");
        StartupRegistration::Locations l = locationsIn(dir.path());
        l.autostartFolder = home + QStringLiteral("/.config/autostart");
        const StartupRegistration registration(l);
        const bool written = registration.setLaunchAtStartup(true);
        qunsetenv("PKEXEC_UID");
        QVERIFY(written);
        QCOMPARE(statOf(home + QStringLiteral("/.config")).uid, uid_t(65534));
        QCOMPARE(statOf(l.autostartFolder).uid, uid_t(65534));
        QCOMPARE(statOf(registration.autostartFilePath()).uid, uid_t(65534));
        // The thread writes as root again afterwards.
        const QString after = dir.filePath(QStringLiteral("after"));
        QVERIFY(testutil::writeFile(after, "x"));
        QCOMPARE(statOf(after).uid, uid_t(0));
    }

    void rootTakesTheSessionUsersHome()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        qputenv("PKEXEC_UID", "65534");
        qputenv("XDG_CONFIG_HOME", "/root/.config-of-root");
        const StartupRegistration::Locations l = StartupRegistration::defaultLocations();
        qunsetenv("PKEXEC_UID");
        qunsetenv("XDG_CONFIG_HOME");
        struct passwd* nobody = ::getpwuid(65534);
        if (!nobody)
            QSKIP("no account 65534");
        QCOMPARE(l.autostartFolder,
                 QFile::decodeName(nobody->pw_dir) + QStringLiteral("/.config/autostart"));
        QCOMPARE(l.applicationsFolder, QStringLiteral("/usr/share/applications"));
    }

    void folderEntryOnAndOff()
    {
        QTemporaryDir dir;
        StartupRegistration::Locations l = locationsIn(dir.path());
        const QString record = dir.filePath(QStringLiteral("update-args"));
        l.updateDatabaseProgram = dir.filePath(QStringLiteral("update-desktop-database"));
        apptest::writeScript(l.updateDatabaseProgram,
                             "#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(record) + "'\n");
        const StartupRegistration registration(l);
        QVERIFY(!registration.isShellIntegrated());
        QVERIFY(registration.setShellIntegration(true,
                                                 QStringLiteral("Search with Tallowquist Pro...")));
        QCOMPARE(registration.folderEntryFilePath(),
                 l.applicationsFolder + QStringLiteral("/tallowquist-pro-folder-search.desktop"));
        QCOMPARE(testutil::readFile(registration.folderEntryFilePath()),
                 StartupRegistration::folderEntry(
                     l.programFile, QStringLiteral("Search with Tallowquist Pro...")));
        QCOMPARE(statOf(registration.folderEntryFilePath()).mode, mode_t(0644));
        QVERIFY(registration.isShellIntegrated());
        QTRY_COMPARE(testutil::readFile(record),
                     "-q " + QFile::encodeName(l.applicationsFolder) + "\n");

        QVERIFY(registration.setShellIntegration(false, QString()));
        QVERIFY(!QFileInfo::exists(registration.folderEntryFilePath()));
        QVERIFY(!registration.isShellIntegrated());
        QTRY_COMPARE(testutil::readFile(record).count('\n'), 2);

        // An entry without a command is not ours to count as integrated.
        QVERIFY(testutil::writeFile(registration.folderEntryFilePath(),
                                    "[Desktop Entry]\nType=Application\n"));
        QVERIFY(!registration.isShellIntegrated());
    }

    void folderEntryIsNeverTheDefaultFolderHandler()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
            QSKIP("xdg-mime is not installed");
        QTemporaryDir dir;
        const QString fileManagerDir = dir.filePath(QStringLiteral("fm"));
        QVERIFY(
            testutil::writeFile(fileManagerDir + QStringLiteral("/applications/files.desktop"),
                                "[Desktop Entry]\nType=Application\nName=Files\nExec=files %U\n"
                                "MimeType=inode/directory;application/x-gnome-saved-search;\n"));
        StartupRegistration::Locations l = locationsIn(dir.path());
        const QString ours = dir.filePath(QStringLiteral("share"));

        // With a file manager installed, it stays the default.
        const QStringList both = {fileManagerDir, ours};
        const QString before = defaultFolderHandler(dir.path(), both);
        QCOMPARE(before, QStringLiteral("files.desktop"));
        QVERIFY(StartupRegistration(l).setShellIntegration(true, QStringLiteral("Search")));
        QCOMPARE(defaultFolderHandler(dir.path(), both), before);
        // Our folder first in the search path changes nothing either.
        QCOMPARE(defaultFolderHandler(dir.path(), {ours, fileManagerDir}), before);
        // Without any file manager there is no default, and we do not become it.
        QCOMPARE(defaultFolderHandler(dir.path(), {ours}), QString());
    }
};

QTEST_MAIN(TestStartupRegistration)
#include "tst_startupregistration.moc"
