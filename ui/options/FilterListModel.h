// FilterListModel: the document filters of the "File handlers" options page, one row per
// extension of each filter that is not switched off, for one of the two filter lists (the
// built-in one or the helper program's).
//
// Column 0 is the extension: its text, a check box (checked = files with that extension are
// handed to that list's filters), the icon of a file with that extension and, as Qt::UserRole,
// the filter's class id. Column 1 is the filter's display name, or the extensions it reads
// when it has none (a class id means nothing to a user). Rows come in the order of the filter list; the page sorts them through a proxy.
//
// The model keeps every edit of both lists until the page saves them: the switched-off filters
// (one list for both), and the switched-off extensions of each filter list. Switching the shown
// list therefore loses nothing. Class ids and extensions are compared ignoring case, as the
// content search compares them. An extension is one setting per filter list: when two filters
// handle it, checking or unchecking one of its rows changes all of them. Turning a filter back
// on brings all its extensions back checked.
#pragma once

#include "core/IFilterMap.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <QVector>

class FilterListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { ExtensionColumn = 0, NameColumn = 1 };
    enum { ClsidRole = Qt::UserRole };

    explicit FilterListModel(QObject* parent = nullptr);

    // Replaces everything; shows the built-in list.
    void setFilters(const IFilterMap& builtIn, const IFilterMap& helper,
                    const QStringList& disabledFilters, const QStringList& disabledExtensions,
                    const QStringList& disabledExtensionsHelper);

    // Which list the rows show.
    void showHelperList(bool helper);

    // Switches a filter off (its rows go) or on again (its rows come back, checked).
    void disableFilter(const QString& clsid);
    void enableFilter(const QString& clsid);

    QStringList disabledFilters() const { return disabledFilters_; }
    QStringList disabledExtensions() const { return disabledExtensions_[0]; }
    QStringList disabledExtensionsHelper() const { return disabledExtensions_[1]; }

    // The class id of a row; empty for an invalid row.
    QString clsidAt(int row) const;
    // The name the page shows for a filter of either list; empty when no filter has that id.
    QString filterLabel(const QString& clsid) const;
    static QString displayName(const IFilterInfo& info);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        QString extension;
        QString clsid;
        QString name;
    };

    void rebuild();
    QStringList& shownDisabledExtensions() { return disabledExtensions_[helper_ ? 1 : 0]; }
    const QStringList& shownDisabledExtensions() const
    {
        return disabledExtensions_[helper_ ? 1 : 0];
    }
    const IFilterMap& shownFilters() const { return helper_ ? helperFilters_ : builtInFilters_; }
    QIcon iconFor(const QString& extension) const;

    IFilterMap builtInFilters_;
    IFilterMap helperFilters_;
    QStringList disabledFilters_;
    QStringList disabledExtensions_[2];
    bool helper_ = false;
    QVector<Row> rows_;
    mutable QHash<QString, QIcon> icons_;
};
