// IDataSource: everything the result table's model shows or changes comes from here; the model
// itself holds no file data. Rows are model rows (the rows of the results under their current
// category filter, as far as the table has taken them up).
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <Qt>

class IDataSource
{
public:
    virtual ~IDataSource() = default;

    // The text of a model column (plain text).
    virtual QString data(int row, int column) = 0;
    // The parts of the row's name that the search pattern matched: (start, length), ordered,
    // disjoint; empty when none, or when one covers the whole name.
    virtual QList<QPair<int, int>> nameMatches(int row) = 0;
    // Renames the file of `row`; false when nothing was renamed (the user was told why).
    virtual bool setData(int row, int column, const QString& value) = 0;
    // A QIcon, or an invalid QVariant.
    virtual QVariant icon(int row) = 0;
    // The full path; empty for a row that does not exist.
    virtual QString filePath(int row) = 0;
    virtual QString fileName(int row) = 0;
    // Sorts by a column type, as the user asked (a header click, or the view's sortByColumn);
    // the data source may ask the user first and then not sort.
    virtual void sort(int type, Qt::SortOrder order) = 0;
};
