// StartUp: the pieces of the program's start that main() runs in order (see app/program/main.cpp):
// the data folder, the start lines of the log, the maintenance options, the types of queued
// signals, and the environment a root instance takes over from the session user.
//
// Decisions on this system:
// - Data folder: the generic data location + "/Tallowquist Pro". A root instance started for a
//   session user (pkexec sets HOME=/root) uses that user's home instead:
//   <home>/.local/share/Tallowquist Pro.
// - Maintenance options return their exit code instead of ending the process from inside, so
//   that destructors run: 0 done, 5 without root (nothing touched), 1 when the work failed (the
//   reason is logged at ERROR). The prompt-free task and the folder command are reached through
//   MaintenanceActions, so tests can stand in for them.
// - The arguments are decoded from argv with the lossless file-name codec, so a "-path" folder
//   whose name is not UTF-8 reaches the search unchanged.
// - A root instance keeps the session user's language, input method, theme and scaling: pkexec
//   clears the environment, so those variables are taken from the process that started the
//   elevation (the user instance, pkexec's parent), when it belongs to the session user. Only
//   the variables named in sessionVariableNames are taken, and never one that is set already.
// Log tag: "main".
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

// The program's version as the log and the title show it.
inline constexpr char kProgramVersion[] = "1.4";
inline constexpr char kProgramName[] = "Tallowquist Pro";

QString dataFolderPath();

// The argument list, every argument decoded losslessly.
QStringList programArguments(int argc, char** argv);

// The start lines between two lines of 28 hyphens; each is also written to the log.
QStringList startLines(const QStringList& arguments);
void writeStartLines(const QStringList& arguments);

struct MaintenanceActions
{
    std::function<bool()> isAdmin;
    std::function<void()> createSkipUacTask;
    std::function<void()> deleteSkipUacTask;
    // Empty when the folder command cannot be registered by this build.
    std::function<void(bool)> setShellIntegration;

    // The real operations.
    static MaintenanceActions system();
};

// Whether a maintenance option is among the arguments (handleSpecialArguments does its work).
bool isMaintenanceRequest(const QStringList& arguments);

// Runs `body` (the main window's construction, its start and the event loop): a standard
// exception that leaves it is logged at ERROR (tag "main") with its text and passed on.
int runGuarded(const std::function<int()>& body);

// -1 when no maintenance option is among the arguments; otherwise its work is done and the
// exit code is returned. The first option present, in the order -enable-skip-uac,
// -disable-skip-uac, -enable-shell-integration, -disable-shell-integration, decides.
int handleSpecialArguments(const QStringList& arguments, const MaintenanceActions& actions);

// Registers the types that travel in queued signals. Idempotent.
void registerMetaTypes();

// The names (exact, or prefixes ending in "_", such as "LC_") a root instance takes over.
QStringList sessionVariableNames();
// The (name, value) pairs of an environment block ("name=value" items ended by NUL) that
// sessionVariableNames allows.
QList<QPair<QByteArray, QByteArray>> sessionVariables(const QByteArray& environmentBlock);
// For a root instance started through pkexec: sets the allowed variables that are missing from
// its own environment from its parent's. Must run before the application object exists.
void importSessionEnvironment();
