// ChildProcess: the one way this program starts another program (a document converter, the
// helper program, an opener, pkcheck, pkexec), without forking this process. Nothing else
// forks, execs or uses QProcess.
//
// - posix_spawn (glibc clones with CLONE_VM | CLONE_VFORK): none of this large, multithreaded
//   process's pages are copied or made copy-on-write, however many threads are reading files;
//   a program that cannot be executed is reported by start() itself (error()).
// - Standard input is the descriptor given (a document opened as a ContentFile; the caller
//   rewinds it) or /dev/null; standard output is a pipe whose read end output() gives
//   (non-blocking, close-on-exec), or /dev/null; standard error is /dev/null unless inherited.
//   A program that talks to the user's terminal (pkexec) may inherit all three instead. Every
//   other descriptor is closed in the child (close-on-exec or not), but the one a caller may
//   pass on (passDescriptor), which the program gets as descriptor 3.
// - Arguments are passed as the bytes of FileNameCodec::encode (names that are not UTF-8 stay
//   exact); the program is a path (no search of PATH here).
// - Whose identity (Setup::runAs). As a rule (RunAs::SessionUser), in a root instance working
//   for another user (UserFileIdentity::needed) the program runs as that user, never as root:
//   it is started through setpriv with the user's uid, gid and groups and no way to gain
//   privileges (no_new_privs), in the user's plain environment (HOME, USER, LOGNAME, SHELL,
//   PATH; of ours only the language, the time zone and the sanitizer runtimes' settings, plus
//   the variables the caller adds, such as the display's). So no document parser, opener or
//   program of the user's choice outside this process runs as root; a document still reaches it
//   as the descriptor root opened. When the account is unknown or setpriv is missing the
//   program is not started (error EPERM). RunAs::ThisProcess keeps this process's identity
//   and environment, also as root: only for a fixed system program that must act for this
//   very process and decides by its caller's identity (pkexec authorises its parent, pkcheck
//   is asked about this process) or works on root's own files (the system's desktop database),
//   never for one on a path the session user controls.
// - The child runs with default signal handling and an empty signal mask, as a rule in a
//   process group of its own, so end() (SIGKILL to the group, then to the child) also ends the
//   programs it started; a child that must end with its parent's group (a converter run by the
//   helper program, which is itself ended by its group) stays in that group. end() and the
//   destructor reap it. A child is only ever ended by its process id.
// - A program left to run by itself (startDetached: an opener, an application, a desktop
//   database update) gets a session of its own and is reaped by a thread of this module when
//   it ends; so is a child given up with detach(). run() starts a program and waits for it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

class ChildProcess
{
public:
    enum class RunAs {
        SessionUser, // the session user in a root instance working for another user, else us
        ThisProcess, // this process's identity and environment, root included (see above)
    };

    struct Setup
    {
        int input = -1; // descriptor for standard input; -1: /dev/null
        bool captureOutput = false; // standard output into a pipe (output()); else /dev/null
        bool inheritErrors = false; // standard error inherited; else /dev/null
        bool inheritStandard = false; // standard input, output and error inherited (overrides)
        bool ownGroup = true; // a process group of its own; else the caller's
        RunAs runAs = RunAs::SessionUser;
        int passDescriptor = -1; // one more descriptor the child gets, as descriptor 3
        QByteArray workingFolder; // the child's current folder; empty: ours (see start)
        QList<QByteArray> environment; // "NAME=value" added to a session user's environment
    };

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program`; false with error() set (an errno value) when it cannot be started. A
    // working folder that cannot be entered is replaced by "/".
    bool start(const QString& program, const QStringList& arguments, const Setup& setup);

    // Starts `program` left to run by itself (a session of its own, reaped here when it ends;
    // `setup.ownGroup` does not apply). False, with `error` set when given, when it could not be
    // started.
    static bool startDetached(const QString& program, const QStringList& arguments,
                              const Setup& setup, int* error = nullptr);

    // Starts `program`, collects its standard output into `output` when given (else it goes to
    // /dev/null) and waits at most `timeoutMs` for it to end. Its exit code; -1 when it could
    // not be started, was killed by a signal or ran out of time (it is then ended).
    static int run(const QString& program, const QStringList& arguments, Setup setup, int timeoutMs,
                   QByteArray* output = nullptr);

    // A command-line text split into arguments at blanks; double quotes group blanks into one
    // argument and a tripled quote stands for a quote character (QProcess::splitCommand's rules).
    static QStringList splitCommand(const QString& command);

    pid_t pid() const { return pid_; }
    int error() const { return error_; }
    // Read end of the output pipe, -1 when output is not captured or was closed.
    int output() const { return output_; }

    // Reads what the output pipe holds into `into` (up to `max` bytes), waiting at most
    // `timeoutMs` for something to arrive. The bytes read; 0 when nothing came in time;
    // -1 at the end of the output (the pipe is then closed) or on an error.
    qint64 readOutput(char* into, qint64 max, int timeoutMs);

    // True once the child has ended (reaped without waiting); the result then tells how.
    bool finished();
    // Waits at most `timeoutMs` (polling) for the child to end.
    bool waitFinished(int timeoutMs);
    bool exitedNormally() const { return ended_ && signal_ == 0; }
    int exitCode() const { return exitCode_; }
    int signal() const { return signal_; }

    // Ends the child (and its process group) at once and reaps it.
    void end();
    // Gives the child up without ending it: a thread of this module reaps it when it ends. The
    // output pipe is closed; this object then has no child.
    void detach();

private:
    pid_t pid_ = 0;
    int output_ = -1;
    int error_ = 0;
    bool ended_ = false;
    int exitCode_ = 0;
    int signal_ = 0;
    bool ownGroup_ = true;

    bool spawn(const QString& program, const QStringList& arguments, const Setup& setup,
               bool ownSession);
};
