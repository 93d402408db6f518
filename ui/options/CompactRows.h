// Row height of the options tables: the vertical header's minimum section size, as the forms
// ask, but never less than a line of the table's font, so check boxes and text are not cut.
#pragma once

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>

inline void setCompactRows(QTableView* table)
{
    QHeaderView* rows = table->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(
        qMax(rows->minimumSectionSize(), table->fontMetrics().height() + 6));
}
