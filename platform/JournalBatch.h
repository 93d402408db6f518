// JournalBatch: one batch of change-journal records, as a reader hands it to the index at once.
//
// The records keep the reason bits of the design's journal (FILE_CREATE, RENAME_NEW_NAME,
// FILE_DELETE, each with CLOSE) plus NAME_REMOVED (0x10000, the design's HARD_LINK_CHANGE
// bit): one name of an object was removed, which for a file with no other name (or a folder)
// means the object left the volume, even while a process still holds it open. Names and
// handles are bytes in one buffer the records point into (offset and length; a NUL follows
// each), so a batch of a thousand records costs two allocations, not a string per record.
//
// A folder's record may carry the folder's own file handle (type and bytes), so that whoever
// needs to read the folder (a folder moved in whose contents were never listed) opens it
// wherever it is now.
#pragma once

#include <QtGlobal>

#include <string>
#include <vector>

struct JournalBatch
{
    enum : quint32 {
        FileCreate = 0x00000100,
        FileDelete = 0x00000200,
        RenameNewName = 0x00002000,
        NameRemoved = 0x00010000,
        Close = 0x80000000u,
    };

    struct Record
    {
        quint32 reason = 0;
        bool isDir = false;
        quint64 frn = 0;
        quint64 parent = 0;    // 0 for deletions of the object
        quint64 oldParent = 0; // renames: the name left, when known (0 otherwise)
        quint32 name = 0;      // offset of the name in `bytes`
        quint16 nameLength = 0;
        quint16 oldNameLength = 0;
        quint32 oldName = 0;
        qint32 handleType = 0; // the folder's own handle (handleLength 0: none)
        quint32 handle = 0;
        quint16 handleLength = 0;
    };

    std::vector<Record> records;
    std::string bytes;
    qint64 endUsn = 0; // the position after the batch

    void clear()
    {
        records.clear();
        bytes.clear();
    }
    // Appends bytes (and a NUL after them, not counted) and returns their offset.
    quint32 put(const char* data, std::size_t length)
    {
        const quint32 at = quint32(bytes.size());
        bytes.append(data, length);
        bytes.push_back('\0');
        return at;
    }
    const char* at(quint32 offset) const { return bytes.data() + offset; }
};
