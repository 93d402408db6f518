// FileCategory: one entry of the "FileCategories" settings array (fields "name" and
// "extensions"). `extensions` is ";"-separated, lower case, without dots ("bmp;gif;png");
// the result filter splits it at ";" and compares each part exactly.
#pragma once

#include <QString>

struct FileCategory
{
    QString name;
    QString extensions;

    bool operator==(const FileCategory& other) const { return name == other.name && extensions == other.extensions; }
    bool operator!=(const FileCategory& other) const { return !(*this == other); }
};
