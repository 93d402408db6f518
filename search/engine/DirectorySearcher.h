// DirectorySearcher: the name search of volumes without an index. It walks the request's
// include folders that do not lie on an indexed volume (FolderWalker) and adds every folder and
// file whose name matches the request's name expression to the results.
//
// Linux decisions: a volume is the mounted file system holding a path (volumeOf, the longest
// mount-point prefix of its real path); `indexedVolumes` holds the mount points of the indexed
// volumes, in place of drive letters. Without include folders nothing is walked.
// `nestedFolders` are further start folders: volumes mounted below an include folder whose own
// volume is indexed (the index of a volume stops at the mounts inside it, see FileSearch).
#pragma once

#include <QSet>
#include <QString>

class FileSearchRequest;
class FileSearchResults;

class DirectorySearcher
{
public:
    // Stops without an error when the request is cancelled.
    void walkDirectories(const FileSearchRequest* request, FileSearchResults* results,
                         const QSet<QString>& indexedVolumes,
                         const QStringList& nestedFolders = QStringList()) const;
};
