// FileRenamer: gives a found file or folder a new name inside its own folder.
//
// A new name is refused when it is empty, "." or "..", or holds "/" or NUL (it would name
// another folder, or be cut by the kernel). The rename never replaces an existing object: it
// uses renameat2 with RENAME_NOREPLACE on the names' own bytes (FileNameCodec), so names that
// are not UTF-8 keep their bytes. Where the file system does not support that flag (EINVAL,
// for example some FUSE and network file systems) it checks that the target is absent and
// renames with renameat; the check and the rename are then two steps.
#pragma once

#include <QString>

namespace FileRenamer {

// Empty when `name` may be used; else the text shown to the user.
QString nameProblem(const QString& name);

// Renames `oldPath` to `newName` in the same folder. On success `newPath` (when given) is the
// new full path; on failure `error` (when given) explains it and nothing changed.
bool rename(const QString& oldPath, const QString& newName, QString* newPath, QString* error);

} // namespace FileRenamer
