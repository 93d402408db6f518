// ChildProcess: starts an external program (a document converter, the helper program) and
// ends it, without forking this process.
//
// - posix_spawn (glibc clones with CLONE_VM | CLONE_VFORK): none of this large, multithreaded
//   process's pages are copied or made copy-on-write, however many threads are reading files.
// - Standard input is the descriptor given (a document opened as a ContentFile; the caller
//   rewinds it) or /dev/null; standard output is a pipe whose read end output() gives
//   (non-blocking, close-on-exec), or /dev/null; standard error is /dev/null unless inherited.
//   Every other descriptor of this process is close-on-exec, so the child gets nothing else.
// - Arguments are passed as the bytes of FileNameCodec::encode (names that are not UTF-8 stay
//   exact); the program is a path (no search of PATH here).
// - In a root instance working for another user (UserFileIdentity::needed) the program runs
//   as that user, never as root: it is started through setpriv with the user's uid, gid and
//   groups and no way to gain privileges (no_new_privs), in the user's plain environment
//   (HOME, USER, LOGNAME, SHELL, PATH; of ours only the language, the time zone and the
//   sanitizer runtimes' settings). So no document parser outside this process runs as root; the
//   document still reaches it as the descriptor root opened. When the account is unknown or
//   setpriv is missing the program is not started (error EPERM).
// - The child runs with default signal handling and an empty signal mask, as a rule in a
//   process group of its own, so end() (SIGKILL to the group, then to the child) also ends the
//   programs it started; a child that must end with its parent's group (a converter run by the
//   helper program, which is itself ended by its group) stays in that group. end() and the
//   destructor reap it. A child is only ever ended by its process id.
#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

class ChildProcess
{
public:
    struct Setup
    {
        int input = -1;            // descriptor for standard input; -1: /dev/null
        bool captureOutput = false; // standard output into a pipe (output()); else /dev/null
        bool inheritErrors = false; // standard error inherited; else /dev/null
        bool ownGroup = true;       // a process group of its own; else the caller's
    };

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program`; false with error() set (an errno value) when it cannot be started.
    bool start(const QString& program, const QStringList& arguments, const Setup& setup);

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

private:
    pid_t pid_ = 0;
    int output_ = -1;
    int error_ = 0;
    bool ended_ = false;
    int exitCode_ = 0;
    int signal_ = 0;
    bool ownGroup_ = true;
};
