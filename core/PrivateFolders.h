// PrivateFolders: where a process of the program keeps the state that is its own and must be
// out of every other user's reach.
//
// A process running as root keeps it in root-owned places only, never in a folder its session
// user controls and never under a predictable name in /tmp (which another user could take
// first):
// - "/var/lib/tallowquist-pro" (mode 0700): the index files of a root instance (indexBase);
// - "/run/tallowquist-pro" (mode 0700): its temporary state (settings stage, helper socket,
//   working folder of converted text), each in a folder of its own made by mkdtemp.
// Both are created by root when missing; one that exists must be a real folder owned by root
// with no access for anybody else (a wider mode is narrowed), and every folder above it must be
// root's alone (openRootOnlyFolder), else it is refused.
//
// Any other process keeps its temporary state in $XDG_RUNTIME_DIR when that is a real folder of
// its own closed to everybody else, else in a folder made for it by mkdtemp in the temporary
// folder ("tallowquist-pro-XXXXXX", mode 0700), kept for the life of the process and removed
// at its end.
#pragma once

#include <QString>

namespace PrivateFolders {

inline constexpr char kRootStateFolder[] = "/var/lib/tallowquist-pro";
inline constexpr char kRootRuntimeFolder[] = "/run/tallowquist-pro";

// Makes `path` (absolute) a folder of root's alone, as described above. False, `why` set, when
// it is refused or cannot be made.
bool ensureRootFolder(const QString& path, QString* why = nullptr);

// Whether every folder of `path`, from "/" to the last, belongs to root and nobody else can
// write it (links followed only when they belong to root). False, `why` set, otherwise, also
// when the folder does not exist.
bool isRootOnly(const QString& path, QString* why = nullptr);

// The folder that holds the "DB" folder of index files for the DBPath setting `dbPath`. A root
// instance working for another user uses `dbPath` only when every folder of it is root's alone
// (missing levels below such a folder are made, mode 0700); otherwise, the setting being the
// user's to choose, kRootStateFolder. Every other process uses `dbPath` as it stands. Empty when
// no folder can be used (the reason is logged once per setting).
QString indexBase(const QString& dbPath);

// The folder for this process's temporary state (see above); empty when none is usable (the
// reason is logged).
QString runtimeFolder();

// A new folder of this process's own, "<prefix><pid>-XXXXXX" (mkdtemp, mode 0700) in
// runtimeFolder(); empty on failure. The caller removes it. Folders of the same prefix that
// processes which died (killed, crashed) left there are removed first.
QString makeProcessFolder(const QString& prefix);

// A new working folder for converted text, for this run only (the caller removes it): for a
// process running as root "work-<pid>-XXXXXX" in kRootRuntimeFolder, else
// "Tallowquist Pro-<pid>-XXXXXX" in the temporary folder (mkdtemp, mode 0700: never a name
// another user could take first; those of dead processes are removed). Empty on failure (logged).
QString makeWorkingFolder();

} // namespace PrivateFolders
