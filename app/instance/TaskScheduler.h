// The prompt-free elevation ("skip UAC" task): lets an administrator start the program as root
// without typing a password each time.
//
// On this system the task is two files, written and removed only by a root process:
// - the program's polkit action "<actions folder>/org.tallowquistpro.skipuac.policy", action
//   id kSkipUacActionId, annotated with the program file (org.freedesktop.policykit.exec.path,
//   so pkexec uses this action for the program) and allow_gui (pkexec keeps DISPLAY and
//   XAUTHORITY); by itself it still asks for the administrator password (auth_admin);
// - the polkit rule "<rules folder>/50-TallowquistPro_SkipUAC.rules", which answers YES for
//   that action when the subject is a local, active session of a member of the group sudo,
//   wheel or admin (the users who could elevate anyway); a "program" detail, which pkexec
//   supplies, must name this program; a check without it (pkcheck) is accepted too.
// Creating them is refused when the program file or any folder above it is not owned by root
// or is writable by group or others: the rule would hand root to whoever can replace the file.
//
// Running the task: pkcheck (without interaction and without details, which polkit takes only
// from root callers) must say this process is authorised for the action; then pkexec runs the
// program, as our direct child (pkexec authorises its parent), without arguments and without
// runElevated's env wrapper, so that pkexec matches the action's exec.path; starting and watching
// it is core's runElevatedCommand. The elevated program reports its process id itself
// (InstancePair).
//
// isSkipUacTaskEnabled is true when both files exist and the action names this program file;
// a query that cannot be answered (a folder we may not read) gives false with a warning.
// Log tag and exception unit: "TaskScheduler". Running the task logs WARNING "pkcheck could not
// be run: %1", INFO "The task is not authorised, error = %1" (pkcheck's exit code) or WARNING
// "pkexec failed, error = %1" (pkexec's exit code, -1 when it could not be run or was killed)
// when it cannot start the program. Paths and programs: the SkipUacLocations value every
// function is given (pkcheck, folders, program file; tests pass stand-ins) and core's
// elevationProgram (pkexec).
#pragma once

#include <QString>

inline constexpr char kSkipUacTaskName[] = "TallowquistPro_SkipUAC";
inline constexpr char kSkipUacActionId[] = "org.tallowquistpro.skipuac";

// The programs and folders of the task.
struct SkipUacLocations
{
    QString pkcheckProgram;
    QString polkitRulesFolder;
    QString polkitActionsFolder;
    QString programFile; // the program the task starts (before links are resolved)

    // This system's: "/usr/bin/pkcheck", "/etc/polkit-1/rules.d", "/usr/share/polkit-1/actions"
    // and ShellEnvironment::programFile().
    static SkipUacLocations system();
};

// Whether the task exists for this program file. Never throws.
bool isSkipUacTaskEnabled(const SkipUacLocations& locations);
// Starts the program elevated without a prompt; true when it was started. Never throws.
bool runSkipUacTask(const SkipUacLocations& locations);
// Replaces any existing task by a fresh one. Throws FileSearchException on failure (not root,
// an unsafe program file, a file that cannot be written).
void createSkipUacTask(const SkipUacLocations& locations);
// Removes the task; a missing task is no error. Throws FileSearchException when not root or
// when a file cannot be removed.
void deleteSkipUacTask(const SkipUacLocations& locations);

// The two files of the task.
QString skipUacRuleFilePath(const SkipUacLocations& locations);
QString skipUacActionFilePath(const SkipUacLocations& locations);
// The program file with links resolved; empty when it does not exist.
QString canonicalProgramFile(const SkipUacLocations& locations);
// True when the file and every folder above it belong to root and are not writable by group
// or others. `reason` receives the offending path.
bool isProgramFileSafe(const QString& canonicalPath, QString* reason = nullptr);
