// FolderWalker: lists every file and folder under a list of start folders, one path at a time,
// breadth first: every entry of a folder comes before any entry of its subfolders. The file
// search uses it for volumes without a name index.
//
// - "." and ".." are never returned; a folder that cannot be listed yields nothing, and is
//   logged (the first few with their reason, then how many there were in all): a name the walk
//   cannot reach is reported, never silently missing.
// - Start folders are opened from their paths (links followed, as the user named them). Every
//   subfolder is opened relative to its parent folder's descriptor, by the name the walk read
//   there, never through a link (O_NOFOLLOW): a folder swapped for a link after it was listed
//   is not followed, and depth is no limit (paths longer than PATH_MAX are walked whole; the
//   parent folder is reached from its start folder through openBelowWithoutLinks). At most the
//   folder being listed, one parent folder and its start folder are open at a time.
// - The exclude entries are an ExclusionRule (the rule the index applies too): an excluded
//   start folder is passed over, an excluded entry (file or folder) is neither returned nor
//   listed, with or without `recursive`. Without `recursive`, subfolders are not listed.
// - Symbolic links are returned as entries but never descended into (DirectoryEnumerator).
// - Subfolders on kernel pseudo file systems (proc, sysfs, ...) are returned but not listed; a
//   start folder is always listed, so a user who names "/proc" still gets its entries.
// - The queue of folders only grows: one string per subfolder, no open handle per level.
// - With stayOnVolumes (a whole volume walked from its mount point), a subfolder that is
//   another mount is returned but not listed: its path is one of the given mount points, or it
//   is the root of a mount (statx's mount-root attribute). Each volume of a nested tree of
//   mounts is then listed once, by the walk that starts at its own mount point. Nested btrfs
//   subvolumes (another device number, but no mount) are part of the volume and listed.
#pragma once

#include "search/engine/DirectoryEnumerator.h"
#include "search/model/ExclusionRule.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

class FolderWalker
{
public:
    FolderWalker(const QStringList& folders, const QStringList& excludes, bool recursive);
    ~FolderWalker();
    FolderWalker(const FolderWalker&) = delete;

    // Folders whose failure to be listed is logged with its reason, per walk.
    static constexpr int kLoggedFailures = 20;
    FolderWalker& operator=(const FolderWalker&) = delete;

    // Full path of the next entry; empty when everything has been listed.
    QString next();
    // Moves to the next entry like next() without making its path (only subfolders that are
    // to be listed get one); false when everything has been listed. The entry is then read
    // through the current* functions.
    bool advance();
    // The current entry's name as bytes (see DirectoryEnumerator::currentRawName).
    const char* currentRawName() const { return current.currentRawName(); }
    int currentRawNameLength() const { return current.currentRawNameLength(); }

    // The last returned path after / before its last "/" (the whole path / "" when it has
    // none).
    QString currentName() const;
    QString currentFolder() const;
    bool isCurrentDirectory() const;

    // True when the exclude entries leave out the object at `path`.
    bool isExcluded(const QString& path) const;

    // Keeps every walk on the volume of its start folder (see above); `mountPoints` are the
    // mount points of every known volume. Call before the first advance.
    void stayOnVolumes(const QSet<QString>& mountPoints);

private:
    QStringList folders;
    ExclusionRule excludes;
    int startCount = 0;
    int index = -1;
    // Opens the folder at `at` in `folders` for reading; the errno value in `error` on failure.
    HandleHolder openFolder(int at, int* error);
    // Opens the folder at `at` for use as the parent of the next subfolders.
    HandleHolder openParent(int at, int* error);
    // The part of folder `at`'s path below folder `above` (one of its ancestors), as bytes.
    QByteArray pathBelow(int at, int above) const;
    void noteFailure(const QString& folder, int error);
    // stayOnVolumes: is the open folder `fd`, found below start folder `start`, the root of
    // another mount?
    bool isOtherMount(int fd, int start);
    void logFailureCount();

    DirectoryEnumerator current;
    bool recursive = false;
    bool atEnd = false;
    // For each queued folder: the folder it was found in (-1 for start folders) and the start
    // folder it came from.
    QVector<int> parent;
    QVector<int> origin;
    // The open parent folder of the subfolders being opened, and its place in `folders`.
    HandleHolder parentFd;
    int parentIndex = -1;
    // The open start folder that parent folders are reached from, its place and its error.
    HandleHolder startFd;
    int startIndex = -1;
    int startError = 0;
    // Folders that could not be listed.
    int failures = 0;
    bool failuresLogged = false;
    // stayOnVolumes: the mount points not to enter and each start folder's device (0 until it
    // is opened or when it cannot be read).
    bool oneVolume = false;
    QSet<QString> mountPoints;
    QVector<quint64> startDevice;
};
