// The mask-list text in which folder lists and their exclusions are written (search form,
// instant-search toolbar): entries separated by ";", exclusions marked by a leading "!", an
// entry that holds ";" or starts with "!" enclosed in double quotes, and double quotes inside an
// entry written as backslash + quote.
//
//     C:\a;"D:\x;y";!E:\tmp   ->  includes C:\a, D:\x;y   excludes E:\tmp
//
// joinMaskList is the inverse of parseMaskList for every entry that does not both contain ";" and
// end with a backslash (the format has no escape for a backslash before the closing quote).
#pragma once

#include <QString>
#include <QStringList>

// Splits `text` into the include and exclude lists (both replaced).
void parseMaskList(const QString& text, QStringList* includes, QStringList* excludes);

// Writes the lists as one text: all inclusions, then all exclusions, joined with ";".
QString joinMaskList(const QStringList& includes, const QStringList& excludes);
