// Path and file helpers used across the engine and the shell code.
//
// The separator is "/" and only "/": "\" is an ordinary character of a Linux file name and is
// never treated as a separator. The helpers work on the text alone (no file-system access)
// unless stated otherwise. Paths that reach the file system are in the lossless form of
// FileNameCodec (a name that is not UTF-8 keeps its bytes). A path directly under the root, such as "/vmlinuz", has the empty
// text as its directory, so that directory + "/" + file name gives the path back.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <sys/types.h>

#include "core/HandleHolder.h"

class QFile;

// The text after the last "." when that "." comes after the last "/"; empty when there is no
// "." after the last "/", and also when the path holds no "/" at all. No case change:
// "/a/b.TXT" gives "TXT", "/dir.v2/file" and "b.txt" give "".
QString pathExtension(const QString& path);

// The text after the last "/"; empty when there is none ("/x/y.doc" gives "y.doc").
QString pathFileName(const QString& path);

// The text before the last "/"; empty when there is none ("/x/y.doc" gives "/x").
QString pathDirectory(const QString& path);

// Creates the folder and its missing parents (mode 0777 less the umask, like QDir::mkpath); true
// on success, also when it exists already as a folder (or a link to one).
bool makePath(const QString& path);

// Deletes the folder with all its contents. Symbolic links are never followed: a link met
// inside is removed as a link, and when `path` itself is a link only the link is removed, so
// nothing outside the folder is ever deleted (this also holds for a root process working in a
// folder a user can change meanwhile: every step works relative to an opened folder).
// The path is cleaned first (QDir::cleanPath: a trailing "/" or "/." never leads through a final
// link); "/" itself is refused. True when everything is gone, also when the folder did not exist.
bool removeDirectoryRecursively(const QString& path);

// Replaces the file `name` in the open folder `folderFd` as a whole, never through a link and
// never leaving a part-written file: `write` fills a new temporary file of our own (created
// exclusively beside the target, "<name>.tmp<random hex>", `mode` whatever the umask), which
// is flushed and synced to the disk, every step checked, and only then renamed over `name`
// inside the same open folder. A link or
// anything else planted at `name` is replaced, never followed. Temporaries of earlier saves of
// `name` that never finished (the process was ended meanwhile) are removed first. Files are
// created with the thread's file identity: for a file of the session user's, call it through
// UserFiles::saveFile (UserFiles.h), which also opens the folder.
enum class SaveResult { Saved, CreateFailed, WriteFailed };
// The temporary files of saveFileIn are named "<name>" + kTemporaryInfix + lower-case hexadecimal
// digits. splitTemporaryName: true, *target = "<name>", when `fileName` is such a name.
inline constexpr char kTemporaryInfix[] = ".tmp";
bool splitTemporaryName(const QString& fileName, QString* target);
SaveResult saveFileIn(int folderFd, const QByteArray& name, const std::function<bool(QFile& file)>& write,
                      QString* error, mode_t mode = 0600);

// The checked save of `path` with the process's own identity: opens its folder (missing levels
// are created with `folderMode`) and saves through saveFileIn. `error` (may be null) says why it
// failed. A file of the session user's is saved through UserFiles::saveFile instead.
SaveResult saveFile(const QString& path, const std::function<bool(QFile& file)>& write, QString* error = nullptr,
                    mode_t mode = 0600, mode_t folderMode = 0700);

// Removes the file or link `path` (never a folder) with the thread's identity. True when it is
// gone (also when it was not there); `why` (may be null) says why not.
bool removeFileOrLink(const QString& path, QString* why = nullptr);

// Opens the folder `path` (bytes) read-only for *at calls; with `create`, its missing levels are
// made with `mode`. Empty, `error` set to the errno, on failure. Works with the thread's file
// identity.
HandleHolder openFolderCreating(const QByteArray& path, bool create, mode_t mode, int* error);

// Opens the folder `path` (absolute) component by component, each one relative to the folder
// opened before it, so that the path cannot be changed under the walk. A symbolic link met on
// the way is followed only when it belongs to this process's user or to root; a link of any
// other user anywhere in the path refuses the folder (a root instance must not be led into a
// folder of a user's choice through a link that user planted higher up its index folder's
// path). With `create`, missing folders are made (mode 0777 less the umask, like makePath).
// Returns a read-only descriptor of the folder; empty, with `why` saying what was refused or
// what failed, otherwise (a refused link is also logged).
HandleHolder openFolderThroughOwnLinks(const QString& path, bool create, QString* why = nullptr);

// The same walk for a folder of root's own state (the index folder of a root instance): every
// folder on the way, "/" included, must be owned by root and writable by nobody else, and a link
// is followed only when it belongs to root. With `create`, missing folders are made with mode
// 0700.
HandleHolder openRootOnlyFolder(const QString& path, bool create, QString* why = nullptr);

// Writes all of `bytes` to the descriptor, going on after short writes and interruptions.
// False, errno set, when a write fails.
bool writeFully(int fd, const QByteArray& bytes);

// True when the path names a folder (links are followed, like QFileInfo::isDir).
bool isDirectory(const QString& path);

// A fresh unique file name in the temporary folder (from a QTemporaryFile, native separators).
// The file itself is removed again; only the name is returned (empty on failure).
QString uniqueTempFileName();

// The folder of our own executable (pathDirectory of /proc/self/exe, lossless form); empty on
// failure.
QString executableDirectory();
