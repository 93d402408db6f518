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
// exclusively beside the target, "<name>.tmp<random hex>", mode 0600 whatever the umask), which
// is flushed to the disk and then renamed over `name` inside the same open folder. A link or
// anything else planted at `name` is replaced, never followed. Temporaries of earlier saves of
// `name` that never finished (the process was ended meanwhile) are removed first. Files are
// created with the thread's file identity (see SessionUserFiles).
enum class SaveResult { Saved, CreateFailed, WriteFailed };
SaveResult saveFileIn(int folderFd, const QByteArray& name, const std::function<bool(QFile& file)>& write,
                      QString* error);

// Opens the folder `path` (absolute) component by component, each one relative to the folder
// opened before it, so that the path cannot be changed under the walk. A symbolic link met on
// the way is followed only when it belongs to this process's user or to root; a link of any
// other user anywhere in the path refuses the folder (a root instance must not be led into a
// folder of a user's choice through a link that user planted higher up its index folder's
// path). With `create`, missing folders are made (mode 0777 less the umask, like makePath).
// Returns a read-only descriptor of the folder; empty, with `why` saying what was refused or
// what failed, otherwise (a refused link is also logged).
HandleHolder openFolderThroughOwnLinks(const QString& path, bool create, QString* why = nullptr);

// True when the path names a folder (links are followed, like QFileInfo::isDir).
bool isDirectory(const QString& path);

// A fresh unique file name in the temporary folder (from a QTemporaryFile, native separators).
// The file itself is removed again; only the name is returned (empty on failure).
QString uniqueTempFileName();

// The folder of our own executable (pathDirectory of /proc/self/exe, lossless form); empty on
// failure.
QString executableDirectory();
