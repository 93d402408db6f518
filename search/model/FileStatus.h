// FileStatus: the type, size and times of one file or folder, read with one statx call on the
// path's bytes as FileNameCodec gives them, so a name (or a folder above it) that is not UTF-8
// is found like any other (QFileInfo encodes with QFile::encodeName, which loses such bytes).
// A path of any length is read (PathAt), also one longer than PATH_MAX.
//
// The values are those QFileInfo gives: links are followed; a path that cannot be read has size
// 0, no type and no times; times are local QDateTimes at millisecond precision, and a time the
// file system does not record (or records as the epoch itself) is an invalid QDateTime. `birth`
// is set only where the file system records birth times.
#pragma once

#include <QDateTime>
#include <QString>

class FileStatus
{
public:
    FileStatus() = default;
    explicit FileStatus(const QString& path);

    bool exists = false;
    bool isDir = false;
    qint64 size = 0;
    QDateTime birth;
    QDateTime statusChanged;
    QDateTime modified;
    QDateTime accessed;

    // The creation time shown for a file: its birth time, else its last status change.
    QDateTime created() const { return birth.isValid() ? birth : statusChanged; }
};
