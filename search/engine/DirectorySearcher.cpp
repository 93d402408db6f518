#include "search/engine/DirectorySearcher.h"

#include "core/FileNameCodec.h"
#include "search/engine/FolderWalker.h"
#include "search/index/NTFSUtils.h"
#include "search/model/ExclusionRule.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "search/model/SearchExpression.h"

void DirectorySearcher::walkDirectories(const FileSearchRequest* request, ResultStore* results,
                                        const QSet<QString>& indexedVolumes,
                                        const QStringList& nestedFolders) const
{
    if (request->includePaths.isEmpty())
        return;
    QStringList folders;
    for (const QString& path : request->includePaths) {
        if (path.isEmpty())
            continue;
        if (!indexedVolumes.isEmpty() && indexedVolumes.contains(volumeOf(path)))
            continue;
        folders.append(path);
    }
    folders += nestedFolders;
    if (folders.isEmpty())
        return;

    FolderWalker walker(folders, request->excludePaths, request->includeSubfolders);
    walk(request, results, walker);
}

void DirectorySearcher::walkFolders(const FileSearchRequest* request, ResultStore* results,
                                    const QStringList& folders) const
{
    if (folders.isEmpty())
        return;
    FolderWalker walker(folders, request->excludePaths, request->includeSubfolders);
    walk(request, results, walker);
}

void DirectorySearcher::matchFolders(const FileSearchRequest* request, ResultStore* results,
                                     const QStringList& folders) const
{
    if (folders.isEmpty())
        return;
    SearchExpression expression(request->fileName, request->matchOptions(true));
    const ExclusionRule rule(request->excludePaths);
    for (const QString& folder : folders) {
        const int slash = folder.lastIndexOf(QLatin1Char('/'));
        const QString name = folder.mid(slash + 1);
        const QByteArray bytes = FileNameCodec::encode(name);
        if (request->canceled || rule.excludes(folder)
            || expression.matchUtf8(bytes.constData(), bytes.size()) != SearchExpression::Matches)
            continue;
        results->addDir(name, slash <= 0 ? QStringLiteral("/") : folder.left(slash));
    }
}

void DirectorySearcher::walkVolumes(const FileSearchRequest* request, ResultStore* results,
                                    const QStringList& volumes,
                                    const QSet<QString>& mountPoints) const
{
    if (volumes.isEmpty())
        return;
    FolderWalker walker(volumes, request->excludePaths, true);
    walker.stayOnVolumes(mountPoints);
    walk(request, results, walker);
}

void DirectorySearcher::walk(const FileSearchRequest* request, ResultStore* results,
                             FolderWalker& walker)
{
    SearchExpression expression(request->fileName, request->matchOptions(true));
    while (!request->canceled && walker.advance()) {
        // Names are matched on their bytes; strings are made only for the entries that match.
        if (expression.matchUtf8(walker.currentRawName(), walker.currentRawNameLength())
            != SearchExpression::Matches)
            continue;
        const QString name = walker.currentName();
        if (walker.isCurrentDirectory())
            results->addDir(name, walker.currentFolder());
        else
            results->addFile(name, walker.currentFolder(), 0);
    }
}
