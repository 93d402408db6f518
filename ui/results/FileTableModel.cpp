#include "ui/results/FileTableModel.h"

#include "app/desktop/ShellUtils.h"
#include "ui/results/IDataSource.h"

#include <QMimeData>
#include <QSet>
#include <algorithm>

FileTableModel::FileTableModel(IDataSource* dataSource, const QList<int>& types, QObject* parent)
    : QAbstractTableModel(parent)
    , source(dataSource)
{
    if (!types.isEmpty())
        columns.setColumns(types);
}

int FileTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows;
}

int FileTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns.count();
}

QVariant FileTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows || index.column() >= columns.count())
        return QVariant();
    const int type = columns.typeAt(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return source->data(index.row(), index.column());
    case Qt::DecorationRole:
        return type == FileTableColumns::Name ? source->icon(index.row()) : QVariant();
    case Qt::EditRole:
        return source->fileName(index.row());
    case Qt::TextAlignmentRole:
        if (type == FileTableColumns::Size || type == FileTableColumns::Matches)
            return int(Qt::AlignRight);
        return QVariant();
    case FileTableRoles::FilePathRole:
        return source->filePath(index.row());
    case FileTableRoles::MatchRangesRole:
        return type == FileTableColumns::Name ? QVariant::fromValue(source->nameMatches(index.row())) : QVariant();
    default:
        return QVariant();
    }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    return columns.nameAt(section);
}

Qt::ItemFlags FileTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid())
        return f;
    f |= Qt::ItemIsDragEnabled;
    if (columns.typeAt(index.column()) == FileTableColumns::Name)
        f |= Qt::ItemIsEditable;
    return f;
}

bool FileTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= rows)
        return false;
    if (!source->setData(index.row(), index.column(), value.toString()))
        return false;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columns.count() - 1));
    return true;
}

QStringList FileTableModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData* FileTableModel::mimeData(const QModelIndexList& indexes) const
{
    QStringList paths;
    QSet<int> seen;
    for (const QModelIndex& index : indexes) {
        if (!index.isValid() || seen.contains(index.row()))
            continue;
        seen.insert(index.row());
        const QString path = source->filePath(index.row());
        if (!path.isEmpty())
            paths.append(path);
    }
    auto* mime = new QMimeData;
    // The URIs carry the names' own bytes, also for names that are not UTF-8.
    mime->setData(QStringLiteral("text/uri-list"), ShellUtils::uriList(paths));
    return mime;
}

void FileTableModel::sort(int column, Qt::SortOrder order)
{
    const int type = columns.typeAt(column);
    if (type < 0)
        return; // no column (the header asks with -1 when its sort column went away)
    source->sort(type, order);
}

void FileTableModel::appendRows(int n, const std::function<void()>& commit)
{
    insertRowsAt(rows, n, commit);
}

void FileTableModel::insertRowsAt(int first, int n, const std::function<void()>& commit)
{
    if (n <= 0) {
        if (commit)
            commit();
        return;
    }
    first = std::clamp(first, 0, rows);
    beginInsertRows(QModelIndex(), first, first + n - 1);
    if (commit)
        commit();
    rows += n;
    endInsertRows();
}

void FileTableModel::clear(const std::function<void()>& commit)
{
    if (rows == 0) {
        if (commit)
            commit();
        return;
    }
    beginRemoveRows(QModelIndex(), 0, rows - 1);
    if (commit)
        commit();
    rows = 0;
    endRemoveRows();
}

void FileTableModel::removeRows(QList<int> list, const std::function<void(int, int)>& commit)
{
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    int i = list.size() - 1;
    while (i >= 0) {
        const int last = list.at(i);
        int first = last;
        while (i > 0 && list.at(i - 1) == first - 1)
            first = list.at(--i);
        --i;
        if (first < 0 || last >= rows)
            continue;
        beginRemoveRows(QModelIndex(), first, last);
        if (commit)
            commit(first, last);
        rows -= last - first + 1;
        endRemoveRows();
    }
}

void FileTableModel::beginReorder()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

QVector<int> FileTableModel::persistentRows() const
{
    QVector<int> list;
    QSet<int> seen;
    const QModelIndexList indexes = persistentIndexList();
    for (const QModelIndex& index : indexes) {
        if (index.isValid() && !seen.contains(index.row())) {
            seen.insert(index.row());
            list.append(index.row());
        }
    }
    return list;
}

void FileTableModel::endReorder(const QHash<int, int>& newRowOf)
{
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from) {
        const int row = newRowOf.value(index.row(), -1);
        to.append(row >= 0 && row < rows ? this->index(row, index.column()) : QModelIndex());
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FileTableModel::showColumn(int type)
{
    if (type < 0 || type >= typeCount() || columns.contains(type))
        return;
    beginInsertColumns(QModelIndex(), columns.count(), columns.count());
    columns.setColumnVisible(type, true);
    endInsertColumns();
}

void FileTableModel::hideColumn(int type)
{
    const int at = columns.indexOf(type);
    if (at < 0 || columns.count() < 2)
        return; // the last column stays
    beginRemoveColumns(QModelIndex(), at, at);
    columns.setColumnVisible(type, false);
    endRemoveColumns();
}

void FileTableModel::setColumns(const QList<int>& types)
{
    beginResetModel();
    columns.setColumns(types);
    endResetModel();
}

QString FileTableModel::filePath(int row) const
{
    return row >= 0 && row < rows ? source->filePath(row) : QString();
}
