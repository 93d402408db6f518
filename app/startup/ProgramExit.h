// ProgramExit: how the program leaves its event loop (the "Exit" action, a signal, the end of the
// session) and comes back to the end of start-up, which logs "Application closing", destroys
// the main window (which saves its state) and returns the exit code.
//
// Qt drops a QCoreApplication::exit() asked before exec() runs (exec() clears the request), and
// a nested event loop (a wait for the other instance, a modal dialog) would swallow it as well.
// So a request is remembered here: runEventLoop() returns at once when one came before it ran,
// and otherwise leaves exec() through QCoreApplication::exit, which ends nested loops too.
// Requesting twice keeps the first code.
#pragma once

namespace ProgramExit {

// Asks the program to end with `code` (GUI thread).
void request(int code);
// Whether an end was asked; `code` receives its code.
bool requested(int* code = nullptr);
// QApplication::exec(), unless an end was asked already; returns the exit code.
int runEventLoop();
// Forgets a request (tests).
void reset();

} // namespace ProgramExit
