// IndexingSettings: the settings of the name index, carried from the settings store
// (Settings::indexOptions) into the engine and back (Settings::setIndexOptions). A plain
// copyable value.
//
// Volumes are named by their 32-bit serial numbers (derived from the file system UUID, see
// the platform layer), so a volume keeps its choice when its mount point changes.
//
// The default value: both drive lists empty, new fixed volumes indexed automatically, new
// removable volumes not, empty database folder, no exclude paths.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct IndexingSettings
{
    QList<quint32> indexDrives;      // array "IndexDrives": serials of volumes to index
    QList<quint32> noIndexDrives;    // array "NoIndexDrives": serials never to index automatically
    bool autoAddFixed = true;        // setting 3 "AutoAddFixed"
    bool autoAddRemovable = false;   // setting 4 "AutoAddRemovable"
    QString dbPath;                  // setting 10 "DBPath": folder of the index files
    QStringList excludePaths;        // the path of every active ExcludePath, in stored order

    // Field by field, lists in order (the options dialog restarts the index only on a change).
    bool operator==(const IndexingSettings& other) const
    {
        return indexDrives == other.indexDrives && noIndexDrives == other.noIndexDrives
            && autoAddFixed == other.autoAddFixed && autoAddRemovable == other.autoAddRemovable
            && dbPath == other.dbPath && excludePaths == other.excludePaths;
    }
    bool operator!=(const IndexingSettings& other) const { return !(*this == other); }
};
