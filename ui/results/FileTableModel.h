// FileTableModel: the result table's model. It keeps only the number of rows the table has
// taken up and the shown columns; every text, icon, path and edit comes from an IDataSource.
//
// Rows change only through the operations below, each signalled to the views: rows appended
// at the end or inserted at a position (new folders go in front of the files), rows removed
// in contiguous ranges, everything cleared, or a reordering after a sort during which the
// persistent indexes (selection, current row, an open editor) follow their items to their new
// rows. The model holds no view and asks nothing: a sort it is told to make is made (the
// controller asks the user first where a sort reads the file system). Texts are plain; the
// matched parts of names come in FileTableRoles::MatchRangesRole, the path in FilePathRole.
// Touched only on the GUI thread.
#pragma once

#include "ui/results/FileTableColumns.h"
#include "ui/results/FileTableRoles.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QVector>

#include <functional>

class IDataSource;

class FileTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    FileTableModel(IDataSource* source, const QList<int>& types, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    // Hands the sort to the data source (nothing for a column that is not there).
    void sort(int column, Qt::SortOrder order) override;

    // `commit`, when given, runs between the begin and end signals: the data source changes its
    // rows there, so that views see the old rows before and the new rows after.
    void appendRows(int n, const std::function<void()>& commit = {});
    void insertRowsAt(int first, int n, const std::function<void()>& commit = {});
    void clear(const std::function<void()>& commit = {});
    // Rows in any order; removed as contiguous ranges from the last to the first, `commit`
    // running for each range (first, last).
    void removeRows(QList<int> rows, const std::function<void(int, int)>& commit = {});

    // Reordering: between begin and end the data source changes its order; `newRowOf` maps the
    // old row of every persistent index to its new row (absent: the index becomes invalid).
    void beginReorder();
    QVector<int> persistentRows() const;
    void endReorder(const QHash<int, int>& newRowOf);

    void showColumn(int type);
    void hideColumn(int type);
    void setColumns(const QList<int>& types);
    bool isColumnShown(int type) const { return columns.contains(type); }
    int columnIndexOf(int type) const { return columns.indexOf(type); }
    int columnTypeAt(int column) const { return columns.typeAt(column); }
    int typeCount() const { return FileTableColumns::typeCount(); }
    const QList<int>& columnTypes() const { return columns.types(); }
    QString filePath(int row) const;

private:
    IDataSource* source;
    int rows = 0;
    FileTableColumns columns;
};
