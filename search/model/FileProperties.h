// FileProperties: a snapshot of one found file or folder, read from the file system once when
// it is created, for the result table and the export.
//
// Linux decisions: `folder` is the text before the last "/" of the given path (so an entry of
// the root folder, "/x", has an empty folder and folder + "/" + name rebuilds the path);
// `created` is the file system's birth time where it records one, else the status-change time,
// else the modification time (the order QFileInfo documents for creation times). The file is
// read through FileStatus, so a path that is not UTF-8 (in FileNameCodec's form) is found.
#pragma once

#include <QDateTime>
#include <QString>

class FileProperties
{
public:
    FileProperties() = default;
    FileProperties(const QString& fullPath, int matches);

    QString name;
    QString folder;
    bool isDir = false;
    qint64 size = 0;
    QDateTime modified;
    QDateTime created;
    QDateTime accessed;
    int matches = 0;
};
