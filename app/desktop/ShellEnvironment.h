// ShellEnvironment: the outside programs and system folders the shell code depends on, kept in
// one place so that every route can be driven by stand-ins (scripts and temporary folders).
//
// Every value has a production default; the ones below that tests still replace have a setter
// (an empty value restores the default), process-wide and guarded by a mutex. Production code
// never reads them from the environment: a root instance must not let its caller redirect them.
// The prompt-free elevation's programs and folders are not here: TaskScheduler's functions are
// given them as a value (SkipUacLocations).
//
// pkexec is not here: it is core's elevationProgram()/setElevationProgram(), so that both ways
// of starting the elevated instance (the prompt and the prompt-free task) use one setting.
//
// Defaults:
// - the opener: "/usr/bin/xdg-open" (a non-root process that was given no opener uses
//   QDesktopServices instead, see ShellUtils::openFile).
// - runtime folder: empty, which means the session user's runtime folder is worked out by
//   InstanceChannel::runtimeFolder.
// - application folders (desktop entries) and mimeapps.list files: the XDG base directories of
//   the session user (the user a root instance was started for, see sessionUserId), most
//   important first.
// - program file: the program folder + "/tallowquist-pro".
// - file-manager bus: on (org.freedesktop.FileManager1 is used when it is reachable).
#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

class ShellEnvironment
{
public:
    // The program that opens a file or folder with its default application.
    static QString openerProgram();
    static void setOpenerProgram(const QString& path);
    // True when a setter chose the opener (tests, or a packager's choice).
    static bool openerProgramSet();

    // Empty unless set: then InstanceChannel works the folder out itself.
    static QString runtimeFolderOverride();
    static void setRuntimeFolder(const QString& path);

    // Folders with desktop entries ("<data dir>/applications"), most important first.
    static QStringList applicationFolders();
    static void setApplicationFolders(const QStringList& folders);
    // mimeapps.list files, most important first.
    static QStringList mimeAppsFiles();
    static void setMimeAppsFiles(const QStringList& files);

    // The program file that the elevated or unelevated main instance is started from.
    static QString programFile();

    static bool fileManagerBusEnabled();
    static void setFileManagerBusEnabled(bool enabled);

    // Home folder of the session user (from the account database), empty when unknown.
    static QString sessionUserHome();
};
