// IndexFile: the file in which one volume's index is kept between runs.
//
// Location: <base>/DB/<serial in lower-case hexadecimal, no padding, no prefix>. The names of
// the index folder are known here only (fileName, serialOfFileName, isIndexFolderFile): the
// index files, their temporary files while being saved (saveFileIn's "<name>.tmp<hex>"), and the
// volume history "volumes" (VolumeHistory) with its temporary files.
//
// Two layouts, told apart by the version text at the start (both begin with the same four
// fields, as a QDataStream writes them: big-endian, Qt 5 string encoding):
//   version      QString: quint32 byte length, then UTF-16BE ("2.0": 00 00 00 06 00 32 00 2E 00 30)
//   journal id   qint64  the journal the index followed when it was saved
//   next USN     qint64  where that journal was to be read from next
//   count        qint32  number of records: folders plus files
//
// Version "2.0" (written): laid out so that a load is a few large reads straight into the
// index's own structures. After the four fields come two zero bytes, then, little-endian:
//   32  magic           u32  0x58495154 ("TQIX")
//   36  header size     u32  160
//   40  serial          u32  the volume's serial (the file's name)
//   44  flags           u32  bit 0: the records were in step with the journal at next USN (the
//                            index had walked the volume, or been reconciled, in that journal)
//   48  file system id  u64  VolumeLayer::fileSystemId of the volume; 0: none
//   56  root inode      u64  the inode of the volume's root folder
//   64  folders         u64  records in the folder section
//   72  files           u64  records in the file section
//   80  further names   u64  records in the further-name section (names of files with several)
//   88  name blocks     u64  blocks in the name section (at most 4096)
//   96  name bytes      u64  bytes of names, the sum of the blocks' sizes
//   104 checksums       5 x u64: of the block table, the folder, file and further-name sections
//                       and the name section
//   144 reserved        u64  0
//   152 header checksum u64  of bytes 0 .. 151
//   160 block table     name blocks x { u32 bytes used (at most 1 MiB), u32 0 }
//       folders         folders x { u64 frn, u64 parent, u32 name }, ascending frn
//       files           files x the same, ascending frn
//       further names   further names x the same (frn, parent, name), ascending frn
//       names           every block's bytes: names as [length byte][bytes][NUL] (length byte 255
//                       for names of 255 bytes or more), the NameStore's own layout; block 0
//                       starts with one zero byte (reference 0 is no name)
// Every section (and every block of the name section) is padded with zeros to a multiple of 8
// bytes. A record's name is a reference into the name blocks: block number << 20 | offset of the
// name's length byte, exactly as the index holds it, so the blocks and references are taken
// over as they are. A checksum is the sum, modulo 2^64, over the section's 8-byte words w_i of
// mix(w_i xor i * 0x9E3779B97F4A7C15), mix being the SplitMix64 finaliser, a bijection: any one
// changed word always changes the sum, and sections are summed in parallel pieces.
// A load checks the header (magic, sizes against the file's size, checksum), the volume (serial,
// file system id when both know one, root inode), every section's checksum, and every record:
// numbers strictly ascending in each section, references inside a block. Any failure rejects
// the whole file.
//
// Version "1.0" (the layout before; read, no longer written): after the four fields,
//   records      count x { qint64 parent, qint64 frn, qint32 name length (0..1024),
//                          name bytes (UTF-8, no terminator), bool isDir (one byte, 1 / 0) }
// folders first, then files, each in ascending frn order; then, when files have further names:
//   marker       quint32 0x4C494E4B ("LINK")
//   count        qint32  number of names that follow
//   names        count x a record as above (parent, frn, name length, name, isDir 0)
// Every version text other than "2.0" is read with this layout (the old reader did not compare
// it). Bytes after the records that do not start with the marker are ignored; a section cut
// short or damaged makes the whole file unusable, as a damaged record does.
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
// would block the opening for ever), and reads through buffers of its own (not a mapping, which
// a file shortened meanwhile would turn into a crash). Every field is checked against the end of
// the file: a version string with an odd length, a record count below 0, a name length below 0
// or above 1024, or a record cut short is reported, never read past. Only the version's first
// 1024 bytes are kept, the rest is skipped. A file of version 2.0 is read with up to 8 threads,
// each reading (pread) and checking pieces of the sections into the new tables.
#pragma once

#include "core/HandleHolder.h"
#include "search/index/IndexTables.h"
#include "search/index/NTFSUtils.h"

#include <QFile>
#include <QString>

#include <memory>

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
        BadCount,      // a record count below 0
        BadLayout,     // 2.0: a header that does not fit the file, or records out of order
        BadChecksum,   // 2.0: a section or the header differs from its checksum
        Canceled,      // 2.0: the cancel flag was set while reading
    };

    // What a file of version 2.0 records of its volume.
    struct Identity
    {
        quint32 serial = 0;
        quint64 fileSystemId = 0; // 0: none
        quint64 rootInode = 0;
    };
    static const char* const CurrentVersion; // "2.0"
    enum { HeaderSize = 160 };

    static QString filePath(const QString& base, quint32 serial);
    // The folder of the index files: "<base>/DB".
    static QString folderPath(const QString& base);
    // The index file's name for a serial ("1a2b"), and back: true when `name` is exactly such a
    // name (1 to 8 lower-case hexadecimal digits, no leading zero but for "0").
    static QString fileName(quint32 serial);
    static bool serialOfFileName(const QString& name, quint32* serial);
    // The volume history kept beside the index files.
    static constexpr char HistoryFileName[] = "volumes";
    // True for every name the index writes into its folder: an index file, the history, and
    // the temporary file of either.
    static bool isIndexFolderFile(const QString& name);
    // Opens the index folder `folder` ("<base>/DB") for *at calls: its last component never
    // through a link, the path above it only through links of this process's user or of root.
    // With `create`, missing folders are made. Empty, *why set, on failure.
    static HandleHolder openFolder(const QString& folder, bool create, QString* why);

    enum WriteResult { Written, CreateFailed, WriteFailed };

    // Writes the whole file (version 2.0), creating its folder. `inStep`: the records reflect
    // the volume at nextUsn of journalId. On failure *error describes it and the old file, if
    // any, is left as it was.
    static WriteResult write(const QString& path, JournalID journalId, USN nextUsn, bool inStep,
                             const Identity& identity, const IndexTables& tables, QString* error);

    // Removes the file at `path`, not following a link in place of its folder.
    static void remove(const QString& path);

    IndexFile() = default;
    ~IndexFile();
    IndexFile(const IndexFile&) = delete;
    IndexFile& operator=(const IndexFile&) = delete;

    // Opens the file for reading; false when it is missing, cannot be read or is no regular file.
    bool open(const QString& path);
    // Reads version, journal id and next USN (and, for version 2.0, the rest of the header).
    Status readHeader();
    // After readHeader: whether the file has the layout of version 2.0 (else 1.0).
    bool isCurrentFormat() const { return current_; }
    // Version 2.0: the file's volume, whether its records were in step with its journal, and the
    // records as new tables (checked as the header comment says). Stops with BadLayout and no
    // tables when *cancel is set (the caller tells cancellation apart).
    const Identity& identity() const { return identity_; }
    bool inStep() const { return inStep_; }
    Status readTables(const bool* cancel, std::unique_ptr<IndexTables>* tables);
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

    struct Layout2;
    Status readHeader2(const uchar* fields);

    QFile file_;
    QByteArray buffer_;
    int bufferPos_ = 0;
    QString version_;
    JournalID journalId_ = 0;
    USN nextUsn_ = 0;
    bool current_ = false;
    bool inStep_ = false;
    Identity identity_;
    std::shared_ptr<Layout2> layout2_;
};
