// UserFiles: every file operation a root instance performs on a path its session user controls
// (the home, the data folder with settings, log, tabs and crash report, the runtime folder, a
// name in /tmp, a folder named in the user's settings, a file the user chose in a dialog).
//
// Each operation runs whole, from the first component of the path to the last, under the
// session user's file identity (AsSessionUser, see UserFileIdentity.h), so a link, a swapped
// folder or a planted file leads only where the user could go anyway, and whatever is created
// belongs to the user. When that identity cannot be taken, the operation is refused and the
// log says so ("Refused ... as the session user"); it never falls back to root. In a process
// that needs no switch (a user instance, root working for root) the same operations run with
// the process's own identity, so callers use them in every kind of instance.
//
// Common rules of the operations:
// - a file is opened only as a regular file, never through a link at its last component, and
//   without blocking (a FIFO or device planted there is refused, not waited on or opened);
// - missing folder levels are created with mode 0700, files with mode 0600;
// - a descriptor returned here was opened as the user; work relative to it that creates,
//   renames or removes anything must run as the user too (run()).
#pragma once

#include "core/FileUtils.h"
#include "core/HandleHolder.h"

#include <QByteArray>
#include <QString>

#include <functional>

struct stat;

namespace UserFiles {

// The session user's generic data location: for a root instance working for another user
// "<that user's home>/.local/share" (pkexec sets HOME to root's), else
// QStandardPaths::GenericDataLocation.
QString dataLocation();

// Runs `work` under the session user's file identity (directly when no switch is needed) and
// returns its result; false, with a log line naming `what`, when the identity cannot be taken.
// `work` must keep to the scope rules of UserFileIdentity.h (no event loop, no waiting for
// other threads' work).
bool run(const QString& what, const std::function<bool()>& work);

// Opens the folder `path` (read-only, for *at calls); with `create`, missing levels are made.
HandleHolder openFolder(const QString& path, bool create, QString* why = nullptr);

// Opens the file for reading; `st` (may be null) receives its status.
HandleHolder openForReading(const QString& path, struct stat* st = nullptr, QString* why = nullptr);

// Reads the file whole, at most `maxBytes` of it; false when it is missing, no regular file or
// unreadable. `st` (may be null) receives its status.
bool readFile(const QString& path, qint64 maxBytes, QByteArray* bytes, struct stat* st = nullptr,
              QString* why = nullptr);

// Opens the file for appending, creating it (and its missing folder levels) when needed.
HandleHolder openForAppending(const QString& path, QString* why = nullptr);

// The checked save: replaces the file `path` as a whole. `write` fills a new temporary file
// beside it (`mode`, 0600 unless given); the data is flushed and synced to the disk and every step checked
// before the temporary is renamed over the old file, so a full disk, a failed write or a kill
// at any moment leaves the old file or the new one complete, and a failure is reported, never
// taken for success. A link at `path` is replaced, never followed. Missing folder levels are
// created. `error` (may be null) says why a save failed; the old file is then untouched.
SaveResult saveFile(const QString& path, const std::function<bool(QFile& file)>& write, QString* error = nullptr,
                    mode_t mode = 0600);
// The same for bytes already in memory.
SaveResult saveFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Removes the file or link `path` (never a folder). True when it is gone (also when it was
// not there).
bool removeFile(const QString& path, QString* why = nullptr);

// A new folder of the session user's, "<prefix>XXXXXX" in the temporary folder (mkdtemp as that
// user, mode 0700); empty on failure. For work a program running as that user does for a root
// instance (the helper's text files).
QString makeTemporaryFolder(const QString& prefix);

// Removes the folder `path` with everything in it (never through a link). True when it is gone.
bool removeFolder(const QString& path);

} // namespace UserFiles
