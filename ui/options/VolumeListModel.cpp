#include "ui/options/VolumeListModel.h"

#include "ui/common/VolumeStateText.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QStyle>

VolumeListModel::VolumeListModel(QObject* parent)
    : QAbstractTableModel(parent)
{ }

void VolumeListModel::setVolumes(const QVector<Volume>& volumes)
{
    beginResetModel();
    volumes_ = volumes;
    endResetModel();
}

void VolumeListModel::setStates(const QList<VolumeState>& states, const QMap<QString, int>& counts)
{
    QMap<QString, VolumeState> byMountPoint;
    for (const VolumeState& s : states)
        byMountPoint.insert(s.mountPoint, s);
    for (Volume& v : volumes_) {
        const auto it = byMountPoint.constFind(v.mountPoint);
        v.stateKnown = it != byMountPoint.constEnd();
        if (v.stateKnown)
            v.state = it.value();
        v.count = counts.contains(v.mountPoint) ? counts.value(v.mountPoint) : -1;
    }
    if (!volumes_.isEmpty())
        emit dataChanged(index(0, 1), index(volumes_.size() - 1, 2), {Qt::DisplayRole, Qt::ToolTipRole});
}

QString VolumeListModel::formatCount(qint64 count)
{
    const bool negative = count < 0;
    QString digits = QString::number(count);
    if (negative)
        digits.remove(0, 1);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(' '));
    return negative ? QLatin1Char('-') + digits : digits;
}

int VolumeListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : volumes_.size();
}

int VolumeListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant VolumeListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= volumes_.size())
        return QVariant();
    const Volume& volume = volumes_.at(index.row());
    if (index.column() == 2) {
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return volume.stateKnown ? VolumeStateText::state(volume.state) : QString();
        return QVariant();
    }
    if (index.column() == 1) {
        if (role == Qt::DisplayRole)
            return volume.count < 0 ? QString() : formatCount(volume.count);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        return volume.mountPoint;
    case Qt::CheckStateRole:
        if (!volume.indexable)
            return QVariant();
        return volume.checked ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole:
        // The theme's drive icons, else the style's own.
        return QIcon::fromTheme(volume.fixed ? QStringLiteral("drive-harddisk")
                                             : QStringLiteral("drive-removable-media"),
                                QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon));
    default:
        return QVariant();
    }
}

bool VolumeListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole ||
        index.row() >= volumes_.size() || !volumes_.at(index.row()).indexable)
        return false;
    volumes_[index.row()].checked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags VolumeListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const bool checkable = index.column() == 0 && index.row() < volumes_.size() && volumes_.at(index.row()).indexable;
    return checkable ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::ItemIsEnabled;
}

QVariant VolumeListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == 0)
        return QCoreApplication::translate("OptionsDialog", "Volume");
    if (section == 1)
        return QCoreApplication::translate("OptionsDialog", "Objects count");
    if (section == 2)
        return QCoreApplication::translate("OptionsDialog", "State");
    return QVariant();
}
