// The start-up entry and the folder command: their exact bytes, quoting of odd program paths,
// switching on and off in every file manager's mechanism (Thunar's actions kept byte for byte),
// the old application entry taken away, a root instance writing the user's entry as the user,
// and the folder command never taking over as the default folder handler.
#include "app/desktop/StartupRegistration.h"

#include "app/desktop/DesktopApplications.h"
#include "tests/app/apptestutil.h"
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
    l.serviceMenusFolder = base + QStringLiteral("/share/kio/servicemenus");
    l.fileManagerActionsFolder = base + QStringLiteral("/share/file-manager/actions");
    l.nemoActionsFolder = base + QStringLiteral("/share/nemo/actions");
    l.thunarActionsFile = base + QStringLiteral("/etc/xdg/Thunar/uca.xml");
    l.programFile = QStringLiteral("/opt/tq/tallowquist-pro");
    return l;
}

// The value of the first "Exec=" line of an entry, its string escapes undone as a desktop does.
QString execOf(const QByteArray& entry)
{
    QTemporaryDir dir;
    for (const QByteArray& line : entry.split('\n')) {
        if (!line.startsWith("Exec="))
            continue;
        const QString file = dir.filePath(QStringLiteral("e.desktop"));
        testutil::writeFile(file, "[Desktop Entry]\n" + line + "\n");
        return DesktopApplications::readEntryGroup(file).value(QStringLiteral("Exec"));
    }
    return QString();
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

// `xdg-mime query default inode/directory` (or, with `gio` true, GIO's default) in a desktop made
// of the given data folders only, with no mimeapps.list anywhere.
QString defaultFolderHandler(const QString& base, const QStringList& dataDirs, bool gio = false)
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
    if (gio)
        process.start(QStringLiteral("gio"), {QStringLiteral("mime"), QStringLiteral("inode/directory")});
    else
        process.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                                   QStringLiteral("inode/directory")});
    if (!process.waitForFinished(20000))
        return QStringLiteral("<did not finish>");
    const QString out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return gio ? out.section(QLatin1Char('\n'), 0, 0).section(QStringLiteral(": "), 1) : out;
}

void updateDesktopDatabase(const QString& folder)
{
    QProcess::execute(QStringLiteral("update-desktop-database"), {QStringLiteral("-q"), folder});
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
        const QString program = QStringLiteral("/opt/tq/tallowquist-pro");
        const QString name = QStringLiteral("Search with Tallowquist Pro...");
        QCOMPARE(StartupRegistration::folderEntry(program, name),
                 QByteArray("[Desktop Entry]\n"
                            "Type=Action\n"
                            "Name=Search with Tallowquist Pro...\n"
                            "Tooltip=Search with Tallowquist Pro...\n"
                            "Icon=tallowquist-pro\n"
                            "Profiles=folder;\n"
                            "\n"
                            "[X-Action-Profile folder]\n"
                            "Name=Search with Tallowquist Pro...\n"
                            "MimeTypes=inode/directory;\n"
                            "SelectionCount==1\n"
                            "Exec=/opt/tq/tallowquist-pro -path %f\n"));
        QCOMPARE(StartupRegistration::serviceMenuEntry(program, name),
                 QByteArray("[Desktop Entry]\n"
                            "Type=Service\n"
                            "MimeType=inode/directory;\n"
                            "Actions=searchWithTallowquistPro;\n"
                            "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                            "X-KDE-Priority=TopLevel\n"
                            "\n"
                            "[Desktop Action searchWithTallowquistPro]\n"
                            "Name=Search with Tallowquist Pro...\n"
                            "Icon=tallowquist-pro\n"
                            "Exec=/opt/tq/tallowquist-pro -path %f\n"));
        QCOMPARE(StartupRegistration::nemoActionEntry(program, name),
                 QByteArray("[Nemo Action]\n"
                            "Active=true\n"
                            "Name=Search with Tallowquist Pro...\n"
                            "Comment=Search with Tallowquist Pro...\n"
                            "Exec=/opt/tq/tallowquist-pro -path %F\n"
                            "Icon-Name=tallowquist-pro\n"
                            "Selection=s\n"
                            "Extensions=dir;\n"
                            "Quote=double\n"));
    }

    // Thunar's own actions stay byte for byte; ours is put in once, replaced, and taken out.
    void thunarActionsAreEditedInPlace()
    {
        const QByteArray file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n\n"
                                "  <action>\n    <name>Open Terminal Here</name>\n    <command>exo-open %f</command>\n"
                                "  </action>\n\n</actions>\n";
        const QByteArray on = StartupRegistration::thunarActions(file, QStringLiteral("/opt/my apps/tq's"),
                                                                 QStringLiteral("Search & find"), true);
        QVERIFY(on.startsWith(file.left(file.indexOf("</actions>"))));
        QVERIFY(on.endsWith("</actions>\n"));
        QVERIFY2(on.contains("  <action>\n    <icon>tallowquist-pro</icon>\n    <name>Search &amp; find</name>\n"
                             "    <unique-id>tallowquist-pro-folder-search</unique-id>\n"
                             "    <command>'/opt/my apps/tq'\\''s' -path %f</command>\n"),
                 on.constData());
        QVERIFY(on.contains("    <directories/>\n  </action>\n</actions>"));
        const QByteArray again = StartupRegistration::thunarActions(on, QStringLiteral("/usr/bin/tq"), QStringLiteral("x"), true);
        QCOMPARE(again.count("tallowquist-pro-folder-search"), 1);
        QVERIFY(again.contains("<command>'/usr/bin/tq' -path %f</command>"));
        QCOMPARE(StartupRegistration::thunarActions(again, QString(), QString(), false), file);
        // Not Thunar's actions: left alone.
        QCOMPARE(StartupRegistration::thunarActions("<x/>", QStringLiteral("/p"), QStringLiteral("n"), true), QByteArray("<x/>"));
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
        QVERIFY(StartupRegistration::serviceMenuEntry(program, QStringLiteral("x")).contains("\n" + exec));
        // A desktop reading the line back gets the program path itself as the first argument.
        const QString execValue = execOf(entry);
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

    void folderCommandOnAndOff()
    {
        QTemporaryDir dir;
        StartupRegistration::Locations l = locationsIn(dir.path());
        const QString record = dir.filePath(QStringLiteral("update-args"));
        l.updateDatabaseProgram = dir.filePath(QStringLiteral("update-desktop-database"));
        apptest::writeScript(l.updateDatabaseProgram,
                             "#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(record) + "'\n");
        const QByteArray thunar = "<?xml version=\"1.0\"?>\n<actions>\n  <action><name>Other</name></action>\n</actions>\n";
        QVERIFY(testutil::writeFile(l.thunarActionsFile, thunar));
        // The application entry an earlier version wrote.
        QVERIFY(testutil::writeFile(dir.filePath("share/applications/tallowquist-pro-folder-search.desktop"),
                                    "[Desktop Entry]\nType=Application\nExec=x -path %f\nMimeType=inode/directory\n"));
        const StartupRegistration registration(l);
        const QString name = QStringLiteral("Search with Tallowquist Pro...");
        QVERIFY(!registration.isShellIntegrated());
        QVERIFY(registration.setShellIntegration(true, name));
        QCOMPARE(registration.folderEntryFilePath(),
                 l.fileManagerActionsFolder + QStringLiteral("/tallowquist-pro-folder-search.desktop"));
        QCOMPARE(testutil::readFile(registration.folderEntryFilePath()), StartupRegistration::folderEntry(l.programFile, name));
        QCOMPARE(testutil::readFile(registration.serviceMenuFilePath()),
                 StartupRegistration::serviceMenuEntry(l.programFile, name));
        QCOMPARE(testutil::readFile(registration.nemoActionFilePath()),
                 StartupRegistration::nemoActionEntry(l.programFile, name));
        QCOMPARE(testutil::readFile(l.thunarActionsFile), StartupRegistration::thunarActions(thunar, l.programFile, name, true));
        // Readable by every user's file manager.
        for (const QString& path : {registration.folderEntryFilePath(), registration.serviceMenuFilePath(),
                                    registration.nemoActionFilePath()}) {
            QCOMPARE(statOf(path).mode, mode_t(0644));
            QCOMPARE(statOf(QFileInfo(path).path()).mode, mode_t(0755));
        }
        QVERIFY(registration.isShellIntegrated());
        // The old application entry is gone, and the desktop's cache is brought up to date.
        QVERIFY(!QFileInfo::exists(registration.legacyFolderEntryFilePath()));
        QTRY_COMPARE(testutil::readFile(record), "-q " + QFile::encodeName(l.applicationsFolder) + "\n");

        QVERIFY(registration.setShellIntegration(false, QString()));
        for (const QString& path : {registration.folderEntryFilePath(), registration.serviceMenuFilePath(),
                                    registration.nemoActionFilePath()})
            QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(testutil::readFile(l.thunarActionsFile), thunar);
        QVERIFY(!registration.isShellIntegrated());
        QTest::qWait(100); // proves an absence: no second cache update follows
        QCOMPARE(testutil::readFile(record).count('\n'), 1); // nothing more to remove there

        // An entry without a command is not ours to count as on; without Thunar its file is not made.
        QVERIFY(testutil::writeFile(registration.folderEntryFilePath(), "[Desktop Entry]\nType=Action\n"));
        QVERIFY(!registration.isShellIntegrated());
        QVERIFY(QFile::remove(l.thunarActionsFile));
        QVERIFY(registration.setShellIntegration(true, name));
        QVERIFY(!QFileInfo::exists(l.thunarActionsFile));
    }

    // In a clean desktop (no mimeapps.list anywhere) with a file manager installed, the folder
    // command never changes the default application for folders, as xdg-mime and GIO see it,
    // also after the desktop's cache is rebuilt; an old application entry that did is removed.
    void folderCommandIsNeverTheDefaultFolderHandler()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("update-desktop-database")).isEmpty())
            QSKIP("xdg-mime and update-desktop-database are needed");
        if (!QFileInfo::exists(QStringLiteral("/usr/share/applications/thunar.desktop")))
            QSKIP("a file manager (Thunar) is needed");
        QTemporaryDir dir;
        StartupRegistration::Locations l = locationsIn(dir.path());
        QVERIFY(QDir().mkpath(l.applicationsFolder));
        const QStringList dataDirs = {dir.filePath(QStringLiteral("share")), QStringLiteral("/usr/share")};
        const bool gio = !QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty();

        const QString before = defaultFolderHandler(dir.path(), dataDirs);
        QCOMPARE(before, QStringLiteral("thunar.desktop"));
        const QString beforeGio = gio ? defaultFolderHandler(dir.path(), dataDirs, true) : QString();

        // What an earlier version left: an application entry for folders, which took over.
        QVERIFY(testutil::writeFile(dir.filePath("share/applications/tallowquist-pro-folder-search.desktop"),
                                    StartupRegistration::folderEntry(l.programFile, QStringLiteral("Search"))
                                        .replace("Type=Action", "Type=Application")
                                        .replace("MimeTypes=", "MimeType=")));
        updateDesktopDatabase(l.applicationsFolder);
        QVERIFY(StartupRegistration(l).setShellIntegration(true, QStringLiteral("Search")));
        updateDesktopDatabase(l.applicationsFolder);
        QCOMPARE(defaultFolderHandler(dir.path(), dataDirs), before);
        if (gio)
            QCOMPARE(defaultFolderHandler(dir.path(), dataDirs, true), beforeGio);
        QVERIFY(StartupRegistration(l).setShellIntegration(false, QStringLiteral("Search")));
        updateDesktopDatabase(l.applicationsFolder);
        QCOMPARE(defaultFolderHandler(dir.path(), dataDirs), before);
        // Without any file manager there is no default, and we do not become it.
        QVERIFY(StartupRegistration(l).setShellIntegration(true, QStringLiteral("Search")));
        QCOMPARE(defaultFolderHandler(dir.path(), {dir.filePath(QStringLiteral("share"))}), QString());
    }
};

QTEST_MAIN(TestStartupRegistration)
#include "tst_startupregistration.moc"
