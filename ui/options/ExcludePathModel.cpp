#include "ui/options/ExcludePathModel.h"

#include <QCoreApplication>

ExcludePathModel::ExcludePathModel(QObject* parent)
    : QAbstractTableModel(parent)
{ }

void ExcludePathModel::setPaths(const QList<ExcludePath>& paths)
{
    beginResetModel();
    paths_ = paths;
    endResetModel();
}

int ExcludePathModel::appendRow()
{
    const int row = paths_.size();
    beginInsertRows(QModelIndex(), row, row);
    paths_.append({QString(), true});
    endInsertRows();
    return row;
}

void ExcludePathModel::removeRowAt(int row)
{
    if (row < 0 || row >= paths_.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    paths_.removeAt(row);
    endRemoveRows();
}

int ExcludePathModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : paths_.size();
}

int ExcludePathModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ExcludePathModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= paths_.size())
        return QVariant();
    const ExcludePath& entry = paths_.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return entry.path;
    if (role == Qt::CheckStateRole)
        return entry.active ? Qt::Checked : Qt::Unchecked;
    return QVariant();
}

bool ExcludePathModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= paths_.size())
        return false;
    ExcludePath& entry = paths_[index.row()];
    if (role == Qt::EditRole)
        entry.path = value.toString();
    else if (role == Qt::CheckStateRole)
        entry.active = value.toInt() == Qt::Checked;
    else
        return false;
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags ExcludePathModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsUserCheckable;
}

QVariant ExcludePathModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == 0)
        return QCoreApplication::translate("OptionsDialog", "Path");
    return QAbstractTableModel::headerData(section, orientation, role);
}
