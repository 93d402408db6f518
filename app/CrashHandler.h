// CrashHandler: what is left behind when the program dies of a fault.
//
// A handler for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT writes a small text report to one
// file (the data folder's "Tallowquist ProCrash.dmp"; each crash replaces the previous one),
// then the process dies by the original signal, so the system's own handling (core file,
// exit status) follows unchanged.
//
// The report, one "key: value" line each, then the frames:
//   "Tallowquist Pro crash report"
//   "signal: <number> <name>"      for example "signal: 11 SIGSEGV"
//   "code: <si_code>"
//   "address: 0x<fault address>"  ("sender: <pid>" for SIGABRT, which is sent, not a fault)
//   "pid: <pid>" / "tid: <kernel thread id>"
//   "frames:" then one line per return address (backtrace_symbols_fd form)
//   "maps:" then /proc/self/maps, so the addresses can be resolved against the modules later.
//
// Decisions on this system:
// - The handler uses async-signal-safe calls only (open, write, fchown, unlink, raise and the
//   backtrace functions, whose library is loaded at install time so that the first call in the
//   handler does not allocate). Numbers are formatted by hand. The path is prepared at install
//   time into a static buffer.
// - It runs on an alternate signal stack, so a stack overflow still gets its report. Every
//   thread needs its own: the main thread gets one at install time and every thread created
//   later through pthread_create gets one before its start function runs (the program's
//   pthread_create is wrapped for that, see CrashHandler.cpp).
// - A root instance writes the report for the session user: the old file is unlinked, a new
//   one created exclusively without following links, and handed to that user (fchown).
// - Only the first fault is reported; a fault inside the handler or in a second thread at the
//   same time goes straight to the default action.
#pragma once

#include <QString>
#include <sys/types.h>

namespace CrashHandler {

// Installs the handler for the fatal signals, writing to `reportPath`. `owner`/`group` are
// given to the report file when not -1 (a root instance writing for the session user).
void install(const QString& reportPath, uid_t owner = static_cast<uid_t>(-1), gid_t group = static_cast<gid_t>(-1));

// Gives the calling thread an alternate signal stack when it has none (idempotent). Threads
// made through pthread_create get one by themselves.
void ensureAlternateStack();

// Whether the calling thread runs with an alternate signal stack.
bool hasAlternateStack();

} // namespace CrashHandler
