// ExcludePathModel: the exclude paths of the Indexing options page, one editable row per entry
// of the "ExcludePaths" settings array: the path (or a name without "/") with a check box for
// whether it is active. Rows keep their order, empty ones included, as they are saved.
#pragma once

#include "core/ExcludePath.h"

#include <QAbstractTableModel>
#include <QList>

class ExcludePathModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ExcludePathModel(QObject* parent = nullptr);

    void setPaths(const QList<ExcludePath>& paths);
    const QList<ExcludePath>& paths() const { return paths_; }

    // Appends an empty, active row; returns its row number.
    int appendRow();
    void removeRowAt(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<ExcludePath> paths_;
};
