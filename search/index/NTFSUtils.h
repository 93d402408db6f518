// NTFSUtils: what the name index asks about volumes and paths, and the index's id types.
//
// A volume is a mounted local file system, named by its mount point ("/", "/home"); it takes
// the place of a drive letter everywhere in the index. The functions answer through the
// VolumeLayer in use (platform/VolumeLayer.h: the real Linux layer, or a scripted one that
// tests install), so the index logic can be tested without real devices.
//
// - An "NTFS volume" is an indexable local file system (ext2/3/4, xfs, btrfs, f2fs, ntfs3,
//   tmpfs). getNtfsDrives() lists those that are neither network file systems nor aliases
//   (second mounts of one device), sorted by mount point.
// - A volume's serial is 32 bits (file-system UUID folded), never 0 when it can be read.
// - A file reference number (FRN) is the inode number, symbolic links followed; 0 = not found.
//
// Names on Linux are bytes and need not be UTF-8. Where a name must travel as a QString (the
// signals of the table reader and the journal), fileNameFromBytes() decodes it losslessly:
// valid UTF-8 decodes normally, and every byte of an invalid sequence becomes the lone
// surrogate U+DC00 + byte (the "surrogate escape" convention). fileNameToBytes() reverses it
// exactly. Use these two, not fromUtf8/toUtf8, for file names coming from the file system.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The three are registered as Qt meta types under these names (signals may be queued or spied).
typedef quint64 FRN;        // file reference number: the inode number
typedef qint64 USN;         // position in a volume's change journal
typedef quint64 JournalID;  // identity of one change journal (random, non-zero)

// Indexable local volumes, neither network nor alias, sorted by mount point. Throws
// FileSearchException (unit "NTFSUtils") when the mount table cannot be read.
// Registers FRN, USN and JournalID as meta types by these names (they travel in queued signals
// and signal spies). Done once when the program loads this code; calling it again does nothing.
void registerIdMetaTypes();

QStringList getNtfsDrives();

bool isNtfsVolume(const QString& mountPoint);
bool isNetworkDrive(const QString& mountPoint);
bool isFixedDrive(const QString& mountPoint);
// True when the mount is an alias: another mount of a device that is also mounted elsewhere.
bool isSubstDrive(const QString& mountPoint);
// 0 when the mount point is not mounted.
quint32 getVolumeSerialNumber(const QString& mountPoint);
// True when the volume's contents do not survive a reboot or a new mount (tmpfs, ramfs): its
// index is never kept in a file. False also when the mount table cannot be read.
bool isVolatileVolume(const QString& mountPoint);

// Inode number of `path` (links followed); 0 when it cannot be read, logged at level 3 with
// the tag "IFilterConvert" as "Failed to open file %1, error = %2". Sets *isDir when given.
FRN getFileReferenceNumber(const QString& path, bool* isDir = nullptr);

// Mount point of the mount holding `path` (longest mount-point prefix of its real path).
QString volumeOf(const QString& path);

// Lossless conversion of file-name bytes to and from QString (see above).
QString fileNameFromBytes(const char* bytes, int length);
inline QString fileNameFromBytes(const QByteArray& bytes) { return fileNameFromBytes(bytes.constData(), bytes.size()); }
QByteArray fileNameToBytes(const QString& name);

// Thread name for a volume's monitor: "MONITOR_" + the last path component of the mount point
// ("ROOT" for "/"), cut to 15 bytes, the limit of Linux thread names.
QString monitorThreadName(const QString& mountPoint);
