// IndexFile: the file in which one volume's index is kept between runs.
//
// Location: <base>/DB/<serial in lower-case hexadecimal, no padding, no prefix>.
//
// Layout (the byte layout of a default QDataStream: big-endian, Qt 5 string encoding):
//   version      QString: quint32 byte length, then UTF-16BE ("1.0": 00 00 00 06 00 31 00 2E 00 30)
//   journal id   qint64  journal of the volume when the index was saved
//   next USN     qint64  where the journal is to be read from on the next start
//   count        qint32  number of records that follow
//   records      count x { qint64 parent, qint64 frn, qint32 name length (0..1024),
//                          name bytes (UTF-8, no terminator), bool isDir (one byte, 1 / 0) }
// Folders come first in ascending frn order, then files in ascending frn order. A name longer
// than 1024 bytes is written as its first 1024 bytes; a null name as the empty string.
//
// Further names of files with several names (hard links) follow the records, in a section of
// their own, written only when there is at least one such name:
//   marker       quint32 0x4C494E4B ("LINK")
//   count        qint32  number of names that follow
//   names        count x a record as above (parent, frn, name length, name, isDir 0)
// The records before it are exactly those of a file without it, and their count does not
// include the further names, so a reader that knows nothing of the section reads every first
// name and stops before it. A file without the section loads as before; bytes after the
// records that do not start with the marker are ignored; a section that is cut short or
// damaged makes the whole file unusable, as a damaged record does.
//
// Writing: the records go to a new temporary file beside the target, which replaces the old
// file (rename) only when every byte was written and flushed to the disk, so a failed save
// (full disk, removed folder) never leaves a truncated index behind. The file holds the names
// of every object of the volume, also of folders that only root may list, so it is created
// readable by its owner only (0600). The "DB" folder is opened without following a symbolic
// link, the path above it only through links of this process's user or of root (a link of
// another user anywhere in it refuses the folder, for reading and writing: logged, and the
// save fails with the reason), and the file is created and renamed inside that open folder:
// a root instance writing into the user's data folder never puts a file where a link planted
// there points. Temporary
// files of earlier saves of the same file that never finished are removed first.
//
// Reading opens only a regular file, not through a link in its own name (a FIFO planted there
// would block the opening for ever), and goes through a buffer of its own (not a mapping,
// which a file shortened meanwhile would turn into a crash). Every field is checked against
// the end of the file: a version string with an odd length, a record count below 0, a name
// length below 0 or above 1024, or a record cut short is reported, never read past. The version is read but not compared; only
// its first 1024 bytes are kept, the rest is skipped.
#pragma once

#include "search/index/IndexTables.h"
#include "search/index/NTFSUtils.h"

#include <QFile>
#include <QString>

class IndexFile
{
public:
    enum { MaxNameLength = 1024 };
    static constexpr quint32 ExtraNamesMarker = 0x4C494E4Bu; // "LINK"

    struct Record
    {
        FRN parent = 0;
        FRN frn = 0;
        const char* name = nullptr; // inside the mapped file, not terminated
        int nameLength = 0;
        bool isDir = false;
    };

    enum Status {
        Ok,
        Truncated,     // the file ends inside the header or a record
        BadNameLength, // a name length below 0 or above MaxNameLength
        BadCount       // a record count below 0
    };

    static QString filePath(const QString& base, quint32 serial);

    enum WriteResult { Written, CreateFailed, WriteFailed };

    // Writes the whole file, creating its folder. On failure *error describes it and the old
    // file, if any, is left as it was.
    static WriteResult write(const QString& path, JournalID journalId, USN nextUsn, const IndexTables& tables,
                             QString* error);

    // Removes the file at `path`, not following a link in place of its folder.
    static void remove(const QString& path);

    IndexFile() = default;
    ~IndexFile();
    IndexFile(const IndexFile&) = delete;
    IndexFile& operator=(const IndexFile&) = delete;

    // Opens the file for reading; false when it is missing, cannot be read or is no regular file.
    bool open(const QString& path);
    // Reads version, journal id and next USN.
    Status readHeader();
    // Reads the record count.
    Status readCount(qint32* count);
    Status readRecord(Record* record);
    // After the records: the count of further names that follow (0 at the end of the file, or
    // when what follows is not that section).
    Status readExtraNamesCount(qint32* count);

    QString version() const { return version_; }
    JournalID journalId() const { return journalId_; }
    USN nextUsn() const { return nextUsn_; }
    bool atEnd();

private:
    // Makes `bytes` (at most one chunk) readable at *at; false at the end of the file.
    bool take(qint64 bytes, const uchar** at);
    bool skip(qint64 bytes);

    QFile file_;
    QByteArray buffer_;
    int bufferPos_ = 0;
    QString version_;
    JournalID journalId_ = 0;
    USN nextUsn_ = 0;
};
