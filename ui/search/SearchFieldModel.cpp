#include "ui/search/SearchFieldModel.h"

SearchFieldModel::SearchFieldModel(Qt::CaseSensitivity duplicates, QObject* parent)
    : QAbstractTableModel(parent)
    , duplicates_(duplicates)
{
}

SearchFieldModel* SearchFieldModel::fileNameHistory()
{
    static auto* model = new SearchFieldModel(Qt::CaseInsensitive);
    return model;
}

SearchFieldModel* SearchFieldModel::pathHistory()
{
    static auto* model = new SearchFieldModel(Qt::CaseSensitive);
    return model;
}

SearchFieldModel* SearchFieldModel::contentsHistory()
{
    static auto* model = new SearchFieldModel(Qt::CaseInsensitive);
    return model;
}

SearchFieldModel* SearchFieldModel::instantFileNameHistory()
{
    static auto* model = new SearchFieldModel(Qt::CaseInsensitive);
    return model;
}

int SearchFieldModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : entries_.size();
}

int SearchFieldModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant SearchFieldModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= entries_.size() || index.column() != 0)
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return entries_.at(index.row());
    return QVariant();
}

void SearchFieldModel::addEntry(const QString& text)
{
    if (text.isEmpty())
        return;
    int found = -1;
    for (int i = 0; i < entries_.size(); ++i) {
        if (entries_.at(i).compare(text, duplicates_) == 0) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        beginInsertRows(QModelIndex(), 0, 0);
        entries_.prepend(text);
        endInsertRows();
        return;
    }
    if (found > 0) {
        beginMoveRows(QModelIndex(), found, found, QModelIndex(), 0);
        entries_.move(found, 0);
        endMoveRows();
    }
    if (entries_.first() != text) {
        entries_.first() = text;
        const QModelIndex first = index(0, 0);
        emit dataChanged(first, first, {Qt::DisplayRole, Qt::EditRole});
    }
}

void SearchFieldModel::clear()
{
    beginResetModel();
    entries_.clear();
    endResetModel();
}

void SearchFieldModel::setEntries(const QStringList& entries)
{
    if (entries == entries_)
        return;
    beginResetModel();
    entries_ = entries;
    endResetModel();
}
