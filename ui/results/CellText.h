// CellText: the texts of the result table's cells that need no file system access beyond what
// the caller already read, kept apart from the table so they can be checked on their own.
//
// - Size: whole kilobytes with "," between groups of three digits and " KB"; below one
//   kilobyte the byte count and " B".
// - Name: the name itself (plain text, shown exactly as it is: blanks, "<", "&"); the matched
//   parts travel beside it as ranges, clamped, ordered and merged, none when one match covers
//   the whole name. Control characters are shown as their visible symbols (U+2400 block) so
//   that a name never breaks its row; the replacement keeps every position.
// - Path: with exactly one include folder, the part of the folder below it. The folder is cut
//   only when its clean form really starts with the clean include folder and a "/" (the root
//   "/" counts as ending in one); a folder equal to the include folder, or outside it, is shown
//   whole.
// - Type: the text after the last "." of a file's name; empty for folders and names without.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace CellText {

QString sizeText(qint64 bytes);
// `ranges` are (start, length) in UTF-16 units, in any order, possibly overlapping; the result
// is (start, length), ordered, disjoint and inside the name.
QList<QPair<int, int>> nameMatchRanges(const QString& name, const QList<QPair<int, int>>& ranges);
// The text with every control character replaced by its visible symbol, position for position.
QString visibleText(const QString& text);
QString pathText(const QString& folder, const QStringList& includePaths);
QString typeText(const QString& name, bool isDir);
// A time in the system locale's short format; empty for an invalid time.
QString timeText(const QDateTime& time);

} // namespace CellText
