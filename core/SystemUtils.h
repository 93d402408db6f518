// System and elevation queries: who the process runs as, whether it may use the index (root),
// which system it runs on, starting a program with root rights, and ending a process by name.
//
// All functions are free, keep no state (except the replaceable elevation program) and may be
// called from any thread. None of them throws or logs: a failure turns into false (or version
// 0.0).
//
// What stands for the desktop system's notions on Linux:
// - "The process is an administrator" (elevated): its effective uid is 0.
// - "The user is an administrator" (may elevate): the real uid is 0, or the account is a member
//   of the group "sudo", "wheel" or "admin" (its groups from the group database, getgrouplist,
//   including its primary group), whether or not the current process runs as root.
// - Elevation type: 1 default (neither root nor able to elevate), 2 full (runs as root),
//   3 limited (an administrator account running without root rights).
// - The features that once needed a newer system (waiting change-journal reads, prompt-free
//   elevation) always exist here: isVistaOrLater is always true.
// - "32-bit process on a 64-bit system" (isWow64) means: the helper program "helper64" stands
//   as an executable file beside our own executable, so the out-of-process document filters are
//   hosted by it.
// - Starting elevated is done by pkexec, see runElevated.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <sys/types.h>
#include <utility>

// Elevation types reported by getElevationType.
enum ElevationType {
    ElevationTypeDefault = 1, // not root, and the account cannot elevate
    ElevationTypeFull = 2,    // the process runs as root
    ElevationTypeLimited = 3  // an administrator account running without root rights
};

// True when the process runs with root rights (effective uid 0).
bool isProcessAdmin();

// The name of the account `uid` / the group `gid` from the user and group databases (re-entrant
// lookups, whatever the size of the entry); empty when there is no entry.
QByteArray accountName(uid_t uid);
QByteArray groupName(gid_t gid);

// Fills `elevationType` (see ElevationType) and `isAdmin`: for a limited process whether its
// account is an administrator, otherwise isProcessAdmin(). Returns false (outputs untouched)
// only when the account of the real uid cannot be looked up.
bool getElevationType(int& elevationType, bool& isAdmin);

// True for root and for members of sudo/wheel/admin, even when this process is not elevated.
bool isUserAdmin();

// Same rule for any account, by uid (false for an unknown uid other than 0).
bool isUserAdmin(uid_t uid);

// The uid of the user a process belongs to. A root process started through pkexec or sudo
// belongs to the session user who asked for it: PKEXEC_UID, else SUDO_UID (decimal, taken only
// while the process runs as root); otherwise the real uid. Use it to choose the data folder and
// the file identity of files written for the user.
uid_t sessionUserId();

// Kernel version (major, minor) from uname, e.g. (6, 1) for "6.1.0-18-amd64"; (0, 0) on failure.
std::pair<int, int> osVersion();

// Always true on Linux (see above).
bool isVistaOrLater();

// True when an executable file "helper64" is beside our own executable.
bool isWow64();

// Starts `file` with root rights through pkexec and reports whether the program was started.
//
// `parameters` is one command-line text, split at blanks into arguments; double quotes group
// blanks into one argument (ChildProcess::splitCommand); an empty text gives no arguments.
// The command is
//   pkexec /usr/bin/env [DISPLAY=..] [XAUTHORITY=..] [WAYLAND_DISPLAY=..] [XDG_RUNTIME_DIR=..]
//          <file> <arguments...>
// so the elevated program reaches the user's display and runtime folder (pkexec clears the
// environment; pkexec itself adds PKEXEC_UID). A `file` holding "=" (which env would read as
// an assignment) is run as /bin/sh -c 'exec "$0" "$@"' <file> <arguments...> after the
// assignments. The call blocks while the user answers the authentication prompt. `file` and
// the arguments are passed as the bytes of their lossless form (FileNameCodec), so a path
// whose name is not UTF-8 reaches the program unchanged.
//
// Starting and watching is runElevatedCommand with the wrappers "env" (and "sh" for the shell
// form); its result and reaping rules apply.
bool runElevated(const QString& file, const QString& parameters);
// The same; `exitCode` receives pkexec's or the program's exit code when it ended before the
// call returned (126: the prompt was dismissed, 127: not authorised), else -1.
bool runElevated(const QString& file, const QString& parameters, int* exitCode);

// Runs the elevation program (pkexec) on exactly `arguments` (everything after its own name; the
// first is the program pkexec runs, checked against a polkit action's exec.path) and waits until
// the program has started or pkexec has declined. `wrappers` are the command names
// (/proc/<pid>/comm, at most 15 bytes) of programs that run between pkexec and the target, such
// as "env" for `pkexec /usr/bin/env ... <program>`; they do not count as the program. The call
// blocks while the user answers the authentication prompt.
//
// pkexec runs as our attached child and becomes the program when authorised. The result is:
// - false when pkexec cannot be run, or ends with 126 (prompt dismissed) or 127 (not
//   authorised, or the program could not be run), or is killed before the program started;
// - true when the program was started: pkexec marks every inherited descriptor above 2
//   close-on-exec before running the program, so the end of a pipe we hand it shows the moment
//   the program replaced it (or pkexec ended); for a caller that is not root, the child taking
//   uid 0 shows it as well. After that, the child's command name tells pkexec on its way out
//   and the wrappers (which end with 126/127 when they cannot run the program) from the
//   program. True also when it ended with any other code.
// `exitCode`, when given, receives the child's exit code when it ended before the call returned,
// else -1 (still running, killed by a signal, or pkexec could not be run).
// A program still running when the call returns is reaped by a background thread of this
// module: do not waitpid() for it; watch it by its pid (pidfd_open, kill(pid, 0)). Its pid is
// the pid the elevated program reports as its own.
bool runElevatedCommand(const QList<QByteArray>& arguments, const QList<QByteArray>& wrappers = {},
                        int* exitCode = nullptr);

// Replaces the elevation program (default "/usr/bin/pkexec"; an empty path restores it). Tests
// use a stand-in script; a stand-in must behave like pkexec: exit 126/127 to refuse, else close
// every descriptor above 2 and exec its arguments.
void setElevationProgram(const QString& path);
QString elevationProgram();

// The program's build date and time from the compiler's __DATE__ ("Mmm dd yyyy") and __TIME__
// ("hh:mm:ss") texts. Invalid when a text cannot be read (an unknown month name included).
QDateTime buildDateTime();
QDateTime buildDateTime(const char* dateText, const char* timeText);

// Ends (SIGKILL) one process of our own real user whose executable file name (the last
// component of its /proc/<pid>/exe, case-sensitive) equals `executableName`. Processes of
// other users and this process itself are never touched. Walks the processes in pid order:
// each match sets the result to false; the first one that can be signalled is killed and ends
// the walk with true. Returns true when no such process was found.
// Prefer ending your own child by its pid (ChildProcess::end, kill(2)); this is for a process we
// lost track of.
bool killProcessByName(const QString& executableName);
