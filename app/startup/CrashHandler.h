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
// - The handler uses async-signal-safe calls only (openat, write, unlinkat, raise, raw system
//   calls and the backtrace functions, whose library is loaded at install time so that the
//   first call in the handler does not allocate). Numbers are formatted by hand. The report's
//   folder is opened at install time (through UserFiles, creating missing levels) and kept
//   open; the handler works relative to that descriptor, so nothing is resolved by path at
//   crash time.
// - It runs on an alternate signal stack, so a stack overflow still gets its report. Every
//   thread needs its own: the main thread gets one at install time and every thread created
//   later through pthread_create gets one before its start function runs (the program's
//   pthread_create is wrapped for that, see CrashHandler.cpp).
// - The old report is unlinked and a new one created exclusively without following links. A
//   root instance does both with the session user's file identity (entered with raw system
//   calls on the crashing thread, UserFileIdentity::enterRaw), so the report is the user's
//   from its creation and nothing in the user's folder is ever touched as root; when that
//   identity cannot be taken no report is written.
// - Only the first fault is reported; a fault inside the handler or in a second thread at the
//   same time goes straight to the default action.
#pragma once

#include <QString>
#include <sys/types.h>

namespace CrashHandler {

// Installs the handler for the fatal signals, writing to `reportPath` (its folder is opened
// now). Installing again replaces the report path.
void install(const QString& reportPath);

// Gives the calling thread an alternate signal stack when it has none (idempotent). Threads
// made through pthread_create get one by themselves.
void ensureAlternateStack();

// Whether the calling thread runs with an alternate signal stack.
bool hasAlternateStack();

} // namespace CrashHandler
