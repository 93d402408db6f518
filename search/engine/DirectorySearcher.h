// DirectorySearcher: the name search of volumes without an index. It walks the request's
// include folders that do not lie on an indexed volume (FolderWalker) and adds every folder and
// file whose name matches the request's name expression to the results.
//
// Linux decisions: a volume is the mounted file system holding a path (volumeOf, the longest
// mount-point prefix of its real path); `indexedVolumes` holds the mount points of the indexed
// volumes, in place of drive letters. Without include folders walkDirectories walks nothing
// (FileSearch then walks whole volumes through walkVolumes).
// `nestedFolders` are further start folders: volumes mounted below an include folder whose own
// volume is indexed (the index of a volume stops at the mounts inside it, see FileSearch).
// walkVolumes walks whole volumes from their mount points, each staying on its own volume
// (FolderWalker::stayOnVolumes), for a request without include folders.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class FileSearchRequest;
class FolderWalker;
class ResultStore;

class DirectorySearcher
{
public:
    // Stops without an error when the request is cancelled.
    void walkDirectories(const FileSearchRequest* request, ResultStore* results,
                         const QSet<QString>& indexedVolumes,
                         const QStringList& nestedFolders = QStringList()) const;
    // Walks exactly `folders` (decided by the caller), with the request's subfolder flag and
    // exclusions. Stops without an error when the request is cancelled.
    void walkFolders(const FileSearchRequest* request, ResultStore* results,
                     const QStringList& folders) const;
    // Adds each of `folders` whose name matches the request (and which no exclusion leaves
    // out) as a found folder: the roots of walks that no other walk or index reports.
    void matchFolders(const FileSearchRequest* request, ResultStore* results,
                      const QStringList& folders) const;
    // Walks every folder of the volumes mounted at `volumes` (with subfolders, the request's
    // exclude folders applied), never entering any of `mountPoints` (every known volume) or a
    // folder on another device. Stops without an error when the request is cancelled.
    void walkVolumes(const FileSearchRequest* request, ResultStore* results,
                     const QStringList& volumes, const QSet<QString>& mountPoints) const;

private:
    static void walk(const FileSearchRequest* request, ResultStore* results, FolderWalker& walker);
};
