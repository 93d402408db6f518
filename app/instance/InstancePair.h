// The pair of instances: reading volumes needs root, while files opened from the results must
// open with the user's own rights. So the program runs as two processes:
// - the main instance: root (or started with "-no-elevation"); it owns the main window and the
//   engine; its message window is titled kMainInstanceWindowName;
// - the user instance: the process the user started; it starts the main instance elevated,
//   hands it its command line, opens files for it with the user's rights and ends when it
//   ends; its message window is titled kUserInstanceWindowName.
// A later start while a main instance runs only hands its request over and ends.
//
// The message windows are local sockets (InstanceChannel, MessageListenWidget); the routines
// below keep the design's order of messages:
//   1. the user instance runs the prompt-free task (TaskScheduler), else pkexec with a prompt
//      (administrators), else starts the program unelevated with "-no-elevation" and ends;
//   2. the elevated process, with no main instance yet, listens as the main instance, finds the
//      user instance and posts kProcessId (its pid) then kSendArguments;
//   3. the user instance accepts the pid only from that very process, starts
//      WaitAdminProcessThread and answers kSendArguments with its argument list;
//   4. the main instance builds its main window with that list.
//
// Decisions on this system:
// - The argument list travels as a list (MessageFrame::listData), never joined with "|",
//   which is a legal character in names and arguments.
// - A relative "-path" folder is made absolute by the process that was given it, before any
//   hand-over, since the other process has another current folder.
// - Arguments travel losslessly: the user instance sends, and hands to an unelevated restart,
//   the list start-up decoded from argv with the file-name codec (never QCoreApplication's, which
//   turns bytes that are not UTF-8 into U+FFFD); the restart gets each argument's own bytes.
// - Every wait is bounded: replies to synchronous sends (InstanceChannel::kSendTimeoutMs), the
//   argument list (5000 ms), the elevated pid (5000 ms, counted from the moment elevation was
//   decided: runElevated returns only after the password prompt, which may take much longer).
// - Letting another process take the foreground needs no permission here
//   (AllowSetForegroundWindow has no counterpart); raising the main window is enough.
// - A folder handed over by a second start ("-path") arrives as newSearchRequested; the main
//   window connects it to open a search tab for that folder; the message window also brings
//   the main window to the front for it.
// How start-up uses this (the role choice):
//   if (InstanceChannel::findInstance(kMainInstanceWindowName, 3000))    // a main instance runs
//       -> notifyAnotherInstance(), exit 0;                               //  or is starting
//   "-no-elevation" given, or root: MessageListenWidget(kMainInstanceWindowName);
//   otherwise:                      MessageListenWidget(kUserInstanceWindowName);
//   a widget that is not isListening() lost its title to a process starting at the same
//   moment: handOverToMainInstance with a longer wait (15000 ms: the user instance that holds
//   the title may be waiting for a password, and its main instance comes only after it), exit 0;
//   then initAdminInstance (root) or runUserInstance (user instance) as below.
// Log tag: "main".
#pragma once

#include "app/instance/InstanceChannel.h"

#include <QStringList>

class MessageListenWidget;
struct SkipUacLocations;

// A second start hands its request to the running main instance: with at least three
// arguments and "-path" as the first after the program path, the folder (made absolute) is
// sent for a new search; otherwise the main instance is asked to come to the front. True when
// the main instance took the message.
bool notifyAnotherInstance(const QStringList& arguments);
bool notifyAnotherInstance();

// Run by an elevated main instance before its main window exists: when a user instance runs,
// asks it for its arguments and waits for them at most `waitMs`. `received` is replaced only
// when a list arrived.
void initAdminInstance(MessageListenWidget* widget, QStringList& received, int waitMs = 5000);

// A start that found the titles taken: waits, at most `waitMs`, while a main instance is
// starting (the main instance's title or a user instance's is taken, as when the first start
// waits at the password prompt), then hands the request over. False when no main instance
// came up in time (logged: the request is lost).
bool handOverToMainInstance(const QStringList& arguments, int waitMs);

// Why a main instance started with "-no-elevation" by its user instance runs without root:
// "not-admin" (the account may not elevate), "refused" (the password prompt was dismissed or
// refused), "failed" (pkexec could not run the program). The user instance hands it to that
// start in this environment variable; the main instance takes it (and removes it, so no child
// inherits it) with takeNoIndexReason.
inline constexpr char kNoIndexReasonVariable[] = "TALLOWQUIST_NO_INDEX_REASON";
QString takeNoIndexReason();

// Run by a process without root rights and without "-no-elevation": starts the main instance
// and serves it until it ends. `arguments` is this process's argument list (lossless). Returns
// the exit code of the user instance.
// The task and the elevated program are those of `skipUac` (its program file is the one
// started elevated or, failing that, unelevated).
int runUserInstance(MessageListenWidget* widget, const QStringList& arguments,
                    const SkipUacLocations& skipUac, int pidWaitMs = 5000);

// The arguments for an unelevated main instance: every argument after the program path, then
// "-no-elevation".
QStringList unelevatedArguments(const QStringList& arguments);
