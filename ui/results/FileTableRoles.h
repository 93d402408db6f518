// FileTableRoles: the item data roles of the result table's model beyond Qt's own. The display
// role is always plain text (a name exactly as it is); what the views draw differently comes in
// these roles.
#pragma once

#include <QList>
#include <QPair>
#include <Qt>

namespace FileTableRoles {

// (start, length) in UTF-16 units of the name, ordered and disjoint.
using MatchRanges = QList<QPair<int, int>>;

enum Role : int {
    // QString: the row's full path (every column).
    FilePathRole = Qt::UserRole,
    // MatchRanges: the parts of the name the search pattern matched (Name column only).
    MatchRangesRole = Qt::UserRole + 1,
};

} // namespace FileTableRoles
