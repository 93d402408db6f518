// The context menu: applications registered for a file type (mimeapps.list and desktop
// entries, with their precedence), Exec splitting and field codes, the single-file menu's ids,
// verbs and order, the multi-file menu, the commands, and where properties are shown.
#include "app/desktop/DesktopApplications.h"
#include "app/desktop/ShellContextMenu.h"
#include "app/desktop/ShellEnvironment.h"
#include "core/FileSearchException.h"
#include "tests/app/apptestutil.h"
#include "tests/app/scriptedprompter.h"
#include "testutil.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {


QStringList ids(const QList<DesktopApplication>& applications)
{
    QStringList result;
    for (const DesktopApplication& application : applications)
        result << application.id;
    return result;
}

// The action of a menu whose text is `text`; null (the menu dismissed) when there is none.
QAction* actionWithText(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class TestShellContextMenu : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString log_;
    QString apps_;

    void entry(const QString& relative, const QByteArray& body)
    {
        QVERIFY(testutil::writeFile(apps_ + QLatin1Char('/') + relative, "[Desktop Entry]\n" + body));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        log_ = dir_.path() + QStringLiteral("/log");
        apps_ = dir_.path() + QStringLiteral("/user/applications");
        const QString systemApps = dir_.path() + QStringLiteral("/system/applications");
        const QString tool = dir_.path() + QStringLiteral("/tool");
        apptest::writeScript(tool, "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done >> " + QFile::encodeName(log_) + "\n");
        apptest::writeScript(dir_.path() + QStringLiteral("/opener"), "#!/bin/sh\necho \"opener $*\" >> " + QFile::encodeName(log_) + "\n");
        // The programs the entries name, found in PATH as the start looks them up.
        const QString bin = dir_.path() + QStringLiteral("/bin");
        for (const char* program : {"viewer", "ctool", "hidden", "removed", "files", "nested", "sysviewer", "z"})
            apptest::writeScript(bin + QLatin1Char('/') + QLatin1String(program), "#!/bin/sh\nexit 0\n");
        qputenv("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));
        ShellEnvironment::setOpenerProgram(dir_.path() + QStringLiteral("/opener"));
        ShellEnvironment::setFileManagerBusEnabled(false);

        entry(QStringLiteral("editor.desktop"), "Type=Application\nName=Editor\nName[xx]=Other\nExec=" + QFile::encodeName(tool) + " --edit %f\nMimeType=text/plain;\n");
        entry(QStringLiteral("viewer.desktop"), "Type=Application\nName=Viewer\nExec=viewer %U\nMimeType=text/plain;image/png;\n");
        entry(QStringLiteral("csrc.desktop"), "Type=Application\nName=C Tool\nExec=ctool %F\nMimeType=text/x-csrc;\n");
        entry(QStringLiteral("hidden.desktop"), "Type=Application\nName=Hidden\nHidden=true\nExec=hidden %f\nMimeType=text/plain;\n");
        entry(QStringLiteral("removed.desktop"), "Type=Application\nName=Removed\nExec=removed %f\nMimeType=text/plain;\n");
        entry(QStringLiteral("link.desktop"), "Type=Link\nName=Link\nURL=http://example.org\nMimeType=text/plain;\n");
        entry(QStringLiteral("files.desktop"), "Type=Application\nName=Files\nExec=files %U\nMimeType=inode/directory;\n");
        entry(QStringLiteral("kde/nested.desktop"), "Type=Application\nName=Nested\nExec=nested %f\n");
        // Entries whose program is not there are never offered: TryExec missing, or the Exec
        // program itself missing (by name in PATH or by absolute path).
        entry(QStringLiteral("tryexec.desktop"), "Type=Application\nName=Try\nTryExec=/no/such/try\nExec=viewer %f\nMimeType=text/plain;\n");
        entry(QStringLiteral("tryname.desktop"), "Type=Application\nName=TryName\nTryExec=no-such-try-program\nExec=viewer %f\nMimeType=text/plain;\n");
        entry(QStringLiteral("gone.desktop"), "Type=Application\nName=Gone\nExec=no-such-program-anywhere %f\nMimeType=text/plain;\n");
        entry(QStringLiteral("gonepath.desktop"), "Type=Application\nName=GonePath\nExec=\"/no/such dir/prog\" %f\nMimeType=text/plain;\n");
        entry(QStringLiteral("tried.desktop"), "Type=Application\nName=Tried\nTryExec=ctool\nExec=ctool %f\nMimeType=text/x-csrc;\n");
        // The same id in a less important folder: the user's entry wins.
        QVERIFY(testutil::writeFile(systemApps + QStringLiteral("/viewer.desktop"),
                                    "[Desktop Entry]\nType=Application\nName=System Viewer\nExec=sysviewer %f\nMimeType=text/plain;\n"));
        QVERIFY(testutil::writeFile(systemApps + QStringLiteral("/zsystem.desktop"),
                                    "[Desktop Entry]\nType=Application\nName=Z\nExec=z %f\nMimeType=text/plain;\n"));
        ShellEnvironment::setApplicationFolders({apps_, systemApps});

        const QString userList = dir_.path() + QStringLiteral("/config/mimeapps.list");
        const QString systemList = dir_.path() + QStringLiteral("/etc/mimeapps.list");
        QVERIFY(testutil::writeFile(userList,
                                    "[Added Associations]\ntext/plain=kde-nested.desktop;missing.desktop;\n"
                                    "[Removed Associations]\ntext/plain=removed.desktop;\n"
                                    "[Default Applications]\ntext/plain=missing.desktop;editor.desktop;\n"));
        QVERIFY(testutil::writeFile(systemList, "[Default Applications]\ntext/plain=zsystem.desktop\n"));
        ShellEnvironment::setMimeAppsFiles({userList, systemList});
    }

    void applicationsInPrecedenceOrder()
    {
        // text/plain: the default (the first installed one named), the added ones, then the
        // entries listing the type by id; hidden, removed and non-application entries left out.
        QCOMPARE(ids(DesktopApplications::applicationsForType(QStringLiteral("text/plain"))),
                 (QStringList{"editor.desktop", "kde-nested.desktop", "viewer.desktop", "zsystem.desktop"}));
        // A C source is also plain text: its own applications first.
        const QList<DesktopApplication> forC = DesktopApplications::applicationsForFile(QStringLiteral("/no/such/main.c"));
        QCOMPARE(ids(forC).mid(0, 2), (QStringList{"csrc.desktop", "tried.desktop"}));
        QVERIFY(ids(forC).contains(QStringLiteral("editor.desktop")));
        DesktopApplication viewer;
        QVERIFY(DesktopApplications::findApplication(QStringLiteral("viewer.desktop"), viewer));
        QCOMPARE(viewer.name, QStringLiteral("Viewer"));
        QVERIFY(!DesktopApplications::findApplication(QStringLiteral("hidden.desktop"), viewer));
        QVERIFY(DesktopApplications::applicationsForType(QStringLiteral("application/x-nothing-registered")).isEmpty());
        // A folder, whatever its name looks like, gets the folder applications.
        QVERIFY(QDir().mkpath(dir_.path() + QStringLiteral("/folder.txt")));
        QCOMPARE(ids(DesktopApplications::applicationsForFile(dir_.path() + QStringLiteral("/folder.txt"))),
                 QStringList{QStringLiteral("files.desktop")});
    }

    // Entries in the session user's folder are read as that user by a root instance: a link
    // planted there to an entry only root may read offers nothing, and a FIFO in an entry's
    // place is passed over without waiting for a writer.
    void plantedEntriesAreReadAsTheSessionUser()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const QString user = dir_.path() + QStringLiteral("/nobody-apps");
        const QString rootOnly = dir_.path() + QStringLiteral("/root-apps/secret.desktop");
        QVERIFY(testutil::writeFile(user + QStringLiteral("/mine.desktop"),
                                    "[Desktop Entry]\nType=Application\nName=Mine\nExec=viewer %f\nMimeType=text/x-planted;\n"));
        QVERIFY(testutil::writeFile(rootOnly, "[Desktop Entry]\nType=Application\nName=Secret\nExec=viewer %f\nMimeType=text/x-planted;\n"));
        QVERIFY(::chmod(QFile::encodeName(rootOnly).constData(), 0600) == 0);
        QVERIFY(QFile::link(rootOnly, user + QStringLiteral("/secret.desktop")));
        QVERIFY(::mkfifo(QFile::encodeName(user + QStringLiteral("/fifo.desktop")).constData(), 0644) == 0);
        for (const QString& path : {user, user + QStringLiteral("/mine.desktop")})
            QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 0711) == 0);
        const QStringList folders = ShellEnvironment::applicationFolders();
        ShellEnvironment::setApplicationFolders({user});
        const auto restore = qScopeGuard([&] { ShellEnvironment::setApplicationFolders(folders); });
        const testutil::SessionUserScope session(65534);
        QCOMPARE(ids(DesktopApplications::applicationsForType(QStringLiteral("text/x-planted"))), QStringList{"mine.desktop"});
    }

    void execSplittingAndFieldCodes()
    {
        QStringList arguments;
        QVERIFY(DesktopApplications::splitExec(QStringLiteral("\"/opt/my app/bin\" -x  \"a \\\"b\\\" \\$c \\\\d\" plain"), arguments));
        QCOMPARE(arguments, (QStringList{"/opt/my app/bin", "-x", "a \"b\" $c \\d", "plain"}));
        QVERIFY(DesktopApplications::splitExec(QStringLiteral("a \"\" b"), arguments));
        QCOMPARE(arguments, (QStringList{"a", QString(), "b"}));
        QVERIFY(!DesktopApplications::splitExec(QStringLiteral("a \"open"), arguments));

        const QStringList files{"/a b/c#1.txt", "/d.txt"};
        const QString url = QStringLiteral("file:///a%20b/c%231.txt");
        const struct { const char* exec; const char* icon; bool withFiles; QStringList command; } cases[] = {
            {"app --name=%c %i %k %% %d -f %f --url=%u %F %U", "my-icon", true,
             {"app", "--name=My App", "--icon", "my-icon", "/apps/my.desktop", "%", "-f", files.at(0),
              "--url=" + url, files.at(0), files.at(1), url, "file:///d.txt"}},
            {"app %i %f", "", false, {"app"}}, // no icon, no file: the codes give nothing
            {"\"unclosed", "", true, {}},
            {"app %x %f", "", true, {}}, // a code the format does not know makes the line invalid
            // A file code inside quotes (a shell script) is refused; "%%" and other text is not.
            {"sh -c \"cat %f\"", "", true, {}},
            {"app \"--ratio=50%%\" \"--title=%c\" %f", "", true, {"app", "--ratio=50%", "--title=My App", files.at(0)}},
        };
        for (const auto& c : cases) {
            DesktopApplication application;
            application.name = QStringLiteral("My App");
            application.icon = QString::fromLatin1(c.icon);
            application.filePath = QStringLiteral("/apps/my.desktop");
            application.exec = QString::fromLatin1(c.exec);
            QStringList command;
            QVERIFY2(DesktopApplications::commandLine(application, c.withFiles ? files : QStringList(), command) == !c.command.isEmpty(),
                     c.exec);
            if (!c.command.isEmpty())
                QCOMPARE(command, c.command);
        }
    }

    void singleFileMenuIdsVerbsAndOrder()
    {
        const QString file = dir_.path() + QStringLiteral("/notes.txt");
        const QList<ShellContextMenu::Command> commands = ShellContextMenu::getContextMenu(file);
        QStringList verbs;
        for (int i = 0; i < commands.size(); ++i) {
            QCOMPARE(commands.at(i).id, i + 1);
            verbs << commands.at(i).verb;
        }
        QCOMPARE(verbs, (QStringList{"open", "openwith", "openwith", "openwith", "openwith", "cut", "copy", "delete",
                                     "properties"}));
        QCOMPARE(commands.at(1).text, QStringLiteral("Open with Editor"));

        std::unique_ptr<QMenu> menu(ShellContextMenu::buildShellMenu(nullptr, file, commands));
        QStringList shape;
        for (QAction* action : menu->actions())
            shape << (action->isSeparator() ? QStringLiteral("-") : QString::number(action->data().toInt()));
        QCOMPARE(shape.join(' '), QStringLiteral("30001 30002 - 1 2 3 4 5 - 6 7 - 8 - 9"));
        QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("Open file location"));
        QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("Copy full name"));
    }

    void commandsDoTheirWork()
    {
        const QString file = dir_.path() + QStringLiteral("/work dir/notes.txt");
        QVERIFY(testutil::writeFile(file, "notes"));
        const QList<ShellContextMenu::Command> commands = ShellContextMenu::getContextMenu(file);
        apptest::ScriptedPrompter prompter;

        QFile::remove(log_);
        QVERIFY(ShellContextMenu::invokeCommand(prompter, nullptr, commands.at(0), file)); // open
        QTRY_COMPARE_WITH_TIMEOUT(testutil::readFile(log_), "opener " + QFile::encodeName(file) + "\n", 5000);
        QFile::remove(log_);
        QVERIFY(ShellContextMenu::invokeCommand(prompter, nullptr, commands.at(1),
                                                file)); // open with Editor
        QTRY_COMPARE_WITH_TIMEOUT(testutil::readFile(log_), "[--edit]\n[" + QFile::encodeName(file) + "]\n", 5000);
        // An application whose program went away after the menu was made: the command fails,
        // saying which application could not be started.
        QCOMPARE(commands.at(2).application.id, QStringLiteral("kde-nested.desktop"));
        QVERIFY(QFile::rename(dir_.path() + QStringLiteral("/bin/nested"), dir_.path() + QStringLiteral("/bin/nested.away")));
        try {
            ShellContextMenu::invokeCommand(prompter, nullptr, commands.at(2), file);
            QFAIL("no failure");
        } catch (const ShellContextMenu::CommandFailure& failure) {
            QCOMPARE(failure.reason(), QStringLiteral("Nested could not be started."));
        }
        QVERIFY(QFile::rename(dir_.path() + QStringLiteral("/bin/nested.away"), dir_.path() + QStringLiteral("/bin/nested")));

        QVERIFY(ShellContextMenu::invokeCommand(prompter, nullptr, commands.at(5), file)); // cut
        QVERIFY(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("x-special/gnome-copied-files")).startsWith("cut\n"));
        QVERIFY(QFileInfo::exists(file));

        ShellContextMenu::handleCustomCommand(file, nullptr, ShellContextMenu::kCopyFullNameId);
        QCOMPARE(QGuiApplication::clipboard()->text(), file); // the full path, not only the name
        QFile::remove(log_);
        ShellContextMenu::handleCustomCommand(file, nullptr, ShellContextMenu::kOpenFileLocationId);
        QTRY_COMPARE_WITH_TIMEOUT(testutil::readFile(log_), "opener " + QFile::encodeName(dir_.path()) + "/work dir\n", 5000);

        // Delete: declined does nothing; confirmed removes the file.
        prompter.questionAnswers << QMessageBox::No << QMessageBox::Yes << QMessageBox::Yes;
        QVERIFY(!ShellContextMenu::invokeCommand(prompter, nullptr, commands.at(7), file));
        QVERIFY(QFileInfo::exists(file));
        QVERIFY(ShellContextMenu::invokeCommand(prompter, nullptr, commands.at(7), file));
        QVERIFY(!QFileInfo::exists(file));
        // A file that cannot be deleted: the command throws.
        QVERIFY_EXCEPTION_THROWN(
            ShellContextMenu::invokeCommand(prompter, nullptr, commands.at(7),
                                            QStringLiteral("/proc/self/status")),
            FileSearchException);
        QCOMPARE(prompter.kinds(), (QStringList{"question", "question", "question"}));
    }

    void menusThroughTheirPopups()
    {
        QWidget owner;
        const QString a = dir_.path() + QStringLiteral("/m/a.txt");
        const QString b = dir_.path() + QStringLiteral("/m/b.txt");
        QVERIFY(testutil::writeFile(a, "a"));
        QVERIFY(testutil::writeFile(b, "b"));
        apptest::ScriptedPrompter prompter;
        QString choice;
        QStringList texts; // the last menu's entries, "-" for a separator
        prompter.menuChooser = [&](QMenu* menu) {
            texts.clear();
            for (QAction* action : menu->actions())
                texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
            return actionWithText(menu, choice);
        };

        // Dismissed single-file menu: nothing happens, no flag.
        bool deleted = false;
        ShellContextMenu::show(prompter, &owner, QPoint(10, 10), {a}, deleted);
        QVERIFY(!deleted);
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("menu")});
        QCOMPARE(texts.mid(0, 4),
                 (QStringList{"Open file location", "Copy full name", "-", "&Open"}));

        // Delete from the single-file menu asks, sets the flag and names the file.
        QStringList gone;
        choice = QStringLiteral("&Delete");
        prompter.questionAnswers << QMessageBox::Yes;
        ShellContextMenu::show(prompter, &owner, QPoint(10, 10), {a}, deleted, &gone);
        QVERIFY(deleted);
        QCOMPARE(gone, QStringList{a});
        QCOMPARE(prompter.kinds(), (QStringList{"menu", "menu", "question"}));

        // Two paths: the short menu of our own.
        prompter.questionAnswers << QMessageBox::Yes;
        deleted = false;
        ShellContextMenu::show(prompter, &owner, QPoint(10, 10),
                               {b, QStringLiteral("/proc/self/status")}, deleted, &gone);
        QCOMPARE(texts, (QStringList{"Cu&t", "&Copy", "&Delete", "-", "&Properties"}));
        QCOMPARE(prompter.asked.last().kind, QStringLiteral("question"));
        QCOMPARE(prompter.asked.last().text,
                 QStringLiteral("Do you really want to delete these 2 items permanently?"));
        // One of the two could not be deleted: only the other counts as gone.
        QVERIFY(deleted);
        QCOMPARE(gone, QStringList{b});

        // Declined: nothing is deleted, no flag.
        QVERIFY(testutil::writeFile(a, "a"));
        prompter.questionAnswers << QMessageBox::No;
        deleted = false;
        gone.clear();
        ShellContextMenu::show(prompter, &owner, QPoint(10, 10), {a}, deleted, &gone);
        QVERIFY(!deleted);
        QVERIFY(gone.isEmpty());
        QVERIFY(QFileInfo::exists(a));

        // A caller that deletes by itself gets the paths from the menu's Delete, and nothing
        // is deleted or asked here.
        QStringList handed;
        const ShellContextMenu::DeleteHandler handler = [&handed](const QStringList& paths) { handed = paths; };
        const int askedBefore = prompter.asked.size();
        ShellContextMenu::show(prompter, &owner, QPoint(10, 10), {a}, deleted, &gone, handler);
        QCOMPARE(handed, QStringList{a});
        QVERIFY(!deleted);
        QVERIFY(QFileInfo::exists(a));
        ShellContextMenu::show(prompter, &owner, QPoint(10, 10), {a, b}, deleted, &gone, handler);
        QCOMPARE(handed, (QStringList{a, b}));
        QVERIFY(QFileInfo::exists(a));
        QCOMPARE(prompter.asked.size(), askedBefore + 2); // the two menus only

        // No path: no menu at all.
        deleted = false;
        ShellContextMenu::show(prompter, &owner, QPoint(10, 10), {}, deleted);
        QVERIFY(!deleted);
        QCOMPARE(prompter.asked.size(), askedBefore + 2);
    }

    void propertiesFallBackToTheCallersView()
    {
        // The file manager is out of reach here: the caller's view shows the paths.
        const QStringList paths{dir_.path() + QStringLiteral("/a"),
                                dir_.path() + QStringLiteral("/b")};
        QStringList shownPaths;
        QWidget parent;
        QWidget* parentSeen = nullptr;
        QWidget view;
        const ShellContextMenu::PropertiesView propertiesView = [&](const QStringList& chosen,
                                                                    QWidget* owner) {
            shownPaths = chosen;
            parentSeen = owner;
            return &view;
        };
        QCOMPARE(ShellContextMenu::showProperties(paths, &parent, propertiesView), &view);
        QCOMPARE(shownPaths, paths);
        QCOMPARE(parentSeen, &parent);
        // Without a view nothing is shown; without paths the view is not asked.
        QVERIFY(ShellContextMenu::showProperties(paths) == nullptr);
        shownPaths.clear();
        QVERIFY(ShellContextMenu::showProperties({}, &parent, propertiesView) == nullptr);
        QVERIFY(shownPaths.isEmpty());
    }
};

QTEST_MAIN(TestShellContextMenu)
#include "tst_shellcontextmenu.moc"
