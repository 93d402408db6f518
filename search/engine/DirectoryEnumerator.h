// DirectoryEnumerator: the entries of one folder, one full path at a time.
//
// Linux decisions:
// - The folder is read with readdir from a descriptor: either one the caller opened (a walk
//   opens each subfolder relative to its parent folder, see FolderWalker) or one opened here
//   from the folder's path, of any length (PathAt), following links as a path does. The folder flag comes from d_type; only when the
//   file system reports DT_UNKNOWN is the entry looked at with fstatat(AT_SYMLINK_NOFOLLOW).
//   A symbolic link is never a folder here, whatever it points to, so a walk never follows
//   links into other folders (no loops, no escaping the start folders).
// - Names are bytes; they become QStrings through FileNameCodec::decode (lossless also for names
//   that are not UTF-8) and paths go back to bytes through FileNameCodec::encode.
// - Paths are joined with "/" ("\" is an ordinary name character); no "/" is added after a
//   folder that already ends with one (the root "/").
// - With `skipPseudo` set, a folder that lies on a kernel pseudo file system (proc, sysfs,
//   cgroup, debugfs and the like: the list LinuxVolumeLayer keeps, checked with fstatfs on the
//   opened folder) yields no entries:
//   walking below a folder such as "/" must not wander through process and device tables.
//
// At most one folder handle is open; setFolder and the destructor close it.
#pragma once

#include "core/HandleHolder.h"

#include <QByteArray>
#include <QString>

#include <dirent.h>

class DirectoryEnumerator
{
public:
    DirectoryEnumerator() = default;
    ~DirectoryEnumerator();
    DirectoryEnumerator(const DirectoryEnumerator&) = delete;
    DirectoryEnumerator& operator=(const DirectoryEnumerator&) = delete;

    // Stores the folder and closes an open handle; the folder is opened from its path at the
    // first advance. `skipPseudo`: see above.
    void setFolder(const QString& folder, bool skipPseudo = false);
    // The same for a folder the caller has opened already (a descriptor for reading; an empty
    // holder lists nothing, with `openError` as the reason).
    void setFolder(const QString& folder, HandleHolder opened, bool skipPseudo, int openError = 0);
    const QString& currentFolderPath() const { return folder; }

    // The next entry's full path ("." and ".." skipped), or an empty string when the folder is
    // exhausted or cannot be read.
    QString next();
    // Moves to the next entry without making its path; false when there is none.
    bool advance();

    // Path of the current entry: folder, "/" unless the folder ends with "/", the name.
    QString currentPath() const;
    // The current entry's name, decoded on first use.
    const QString& currentName() const;
    // The current entry's name as the file system gives it (bytes, NUL-terminated), valid
    // until the next advance.
    const char* currentRawName() const { return rawName; }
    int currentRawNameLength() const { return rawNameLength; }
    bool isDirectory() const { return directory; }

    // The errno value of the last failure to open or read the folder, 0 when there was none.
    // A folder that fails part-way has given the entries read before.
    int error() const { return error_; }
    // The opened folder while it is being listed, else -1.
    int folderFd() const;

    // True when a folder of this path lies on a kernel pseudo file system.
    static bool isPseudoFileSystemType(long magic);

private:
    void close();

    QString folder;
    DIR* findHandle = nullptr;
    HandleHolder opened;
    bool started = false;
    int error_ = 0;
    bool skipPseudo = false;
    const char* rawName = "";
    int rawNameLength = 0;
    mutable QString name;
    mutable bool nameDecoded = true;
    bool directory = false;
};
