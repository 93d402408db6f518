// ExcludePath: one entry of the "ExcludePaths" settings array (fields "path" and "active").
//
// An entry without "/" is a name excluded wherever it occurs ("$Recycle.Bin", ".svn"); an
// entry with "/" is a path. Only active entries reach the index (IndexingSettings).
#pragma once

#include <QString>

struct ExcludePath
{
    QString path;
    bool active = false;

    bool operator==(const ExcludePath& other) const { return path == other.path && active == other.active; }
    bool operator!=(const ExcludePath& other) const { return !(*this == other); }
};
