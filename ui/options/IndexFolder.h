// IndexFolder: the checks and the clean-up when the user moves the file database folder (the
// folder whose "DB" subfolder holds one index file per volume).
//
// Paths are compared in their clean form (QDir::cleanPath: no trailing "/", no "." or ".."), so
// "/data/idx" and "/data/idx/" are one folder and changing one into the other moves nothing.
// A new folder must be absolute; it may neither lie inside the old one nor hold it, since then
// the old index files and the new ones would share folders.
//
// Removing the old index deletes only what the index wrote there (IndexFile::isIndexFolderFile:
// the index files, the volume history and their unfinished temporary files), each only when it
// is a regular file; then the "DB"
// folder itself when nothing else is left in it. Anything the user keeps there stays. The old
// folder's links are resolved once; after that every step works inside folders opened without
// following a link (a link put in place meanwhile stops the clean-up), so a root process never
// deletes through a link.
#pragma once

#include <QString>

class IndexFolder
{
public:
    enum Change {
        Unchanged, // the same folder
        Moved, // a usable new folder
        Empty, // no new folder given
        Relative, // the new folder is not an absolute path
        Nested // one folder lies inside the other
    };

    static QString cleanPath(const QString& path);
    static Change compare(const QString& oldPath, const QString& newPath);

    // True for a name the index writes into its folder (IndexFile::isIndexFolderFile).
    static bool isIndexFileName(const QString& name);

    // Deletes the index files under "<basePath>/DB" (see above). True when none is left; also
    // when there was no such folder. `removed`, when given, counts the files deleted.
    static bool removeIndexFiles(const QString& basePath, int* removed = nullptr);
};
