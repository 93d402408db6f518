// VolumeListModel: the volumes of the Indexing options page, one row per local volume that a
// whole-machine search covers.
//
// Column 0 ("Volume") is the volume's mount point with a drive icon and, for an indexable
// volume, a check box (checked = the volume is to be indexed); a volume the index never takes
// (fuseblk, vfat, exfat, an overlay "/") has none. Column 1 ("Objects count") is the number of
// objects in its index, digits grouped by three with a blank ("1 200 000"), right-aligned, empty
// when the volume has no index. Column 2 ("State") says how the volume is searched now:
// indexed, being built, walked with the reason, failed with the reason (VolumeStateText; the
// whole text also as the tooltip). Each row also keeps the volume's serial and whether it is a
// fixed volume, read when the page was loaded, so accepting the dialog asks the system nothing
// again.
#pragma once

#include "search/index/VolumeState.h"

#include <QAbstractTableModel>
#include <QMap>
#include <QString>
#include <QVector>

class VolumeListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Volume
    {
        QString mountPoint;
        quint32 serial = 0;
        bool fixed = false;
        bool checked = false;
        bool indexable = true; // false: never indexed, no check box
        qint64 count = -1; // -1: no index
        VolumeState state;
        bool stateKnown = false;
    };

    explicit VolumeListModel(QObject* parent = nullptr);

    void setVolumes(const QVector<Volume>& volumes);
    const QVector<Volume>& volumes() const { return volumes_; }
    // New states and counts for the rows (by mount point); the check boxes stay as they are.
    void setStates(const QList<VolumeState>& states, const QMap<QString, int>& counts);

    // The count with a blank before every group of three digits from the right.
    static QString formatCount(qint64 count);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QVector<Volume> volumes_;
};
