#include "ui/options/FilterListModel.h"

#include "app/desktop/GraphicUtils.h"

#include <QCoreApplication>

namespace {

bool containsIgnoringCase(const QStringList& list, const QString& value)
{
    return list.contains(value, Qt::CaseInsensitive);
}

void removeIgnoringCase(QStringList& list, const QString& value)
{
    for (int i = list.size() - 1; i >= 0; --i) {
        if (list.at(i).compare(value, Qt::CaseInsensitive) == 0)
            list.removeAt(i);
    }
}

} // namespace

FilterListModel::FilterListModel(QObject* parent)
    : QAbstractTableModel(parent)
{ }

void FilterListModel::setFilters(const IFilterMap& builtIn, const IFilterMap& helper,
                                 const QStringList& disabledFilters,
                                 const QStringList& disabledExtensions,
                                 const QStringList& disabledExtensionsHelper)
{
    builtInFilters_ = builtIn;
    helperFilters_ = helper;
    disabledFilters_ = disabledFilters;
    disabledExtensions_[0] = disabledExtensions;
    disabledExtensions_[1] = disabledExtensionsHelper;
    helper_ = false;
    rebuild();
}

QString FilterListModel::displayName(const IFilterInfo& info)
{
    // The names of the filters that come with the program are shown in the user's language;
    // any other filter by the name its registration gives.
    static const char* const ownFilters[] = {
        QT_TRANSLATE_NOOP("FilterListModel", "Office Open XML filter"),
        QT_TRANSLATE_NOOP("FilterListModel", "OpenDocument filter"),
        QT_TRANSLATE_NOOP("FilterListModel", "HTML and XML filter"),
        QT_TRANSLATE_NOOP("FilterListModel", "Word 97-2003 and RTF filter"),
        QT_TRANSLATE_NOOP("FilterListModel", "Excel 97-2003 filter"),
        QT_TRANSLATE_NOOP("FilterListModel", "PowerPoint 97-2003 filter"),
    };
    if (!info.name.empty()) {
        const QString name = QString::fromStdWString(info.name);
        for (const char* own : ownFilters) {
            if (name == QLatin1String(own))
                return tr(own);
        }
        return name;
    }
    QStringList extensions;
    for (const std::wstring& extension : info.extensions)
        extensions << QString::fromStdWString(extension);
    return tr("Filter for %1").arg(extensions.join(QStringLiteral(", ")));
}

QString FilterListModel::filterLabel(const QString& clsid) const
{
    for (const IFilterMap* map : {&builtInFilters_, &helperFilters_}) {
        for (const IFilterInfo& info : *map) {
            if (QString::fromStdWString(info.clsid).compare(clsid, Qt::CaseInsensitive) == 0)
                return displayName(info);
        }
    }
    return QString();
}

void FilterListModel::showHelperList(bool helper)
{
    helper_ = helper;
    rebuild();
}

void FilterListModel::rebuild()
{
    beginResetModel();
    rows_.clear();
    for (const IFilterInfo& info : shownFilters()) {
        const QString clsid = QString::fromStdWString(info.clsid);
        if (containsIgnoringCase(disabledFilters_, clsid))
            continue;
        const QString name = displayName(info);
        for (const std::wstring& extension : info.extensions)
            rows_.append({QString::fromStdWString(extension), clsid, name});
    }
    endResetModel();
}

void FilterListModel::disableFilter(const QString& clsid)
{
    if (clsid.isEmpty())
        return;
    if (!containsIgnoringCase(disabledFilters_, clsid))
        disabledFilters_.append(clsid);
    rebuild();
}

void FilterListModel::enableFilter(const QString& clsid)
{
    if (clsid.isEmpty())
        return;
    removeIgnoringCase(disabledFilters_, clsid);
    for (const IFilterInfo& info : shownFilters()) {
        if (QString::fromStdWString(info.clsid).compare(clsid, Qt::CaseInsensitive) != 0)
            continue;
        for (const std::wstring& extension : info.extensions)
            removeIgnoringCase(shownDisabledExtensions(), QString::fromStdWString(extension));
    }
    rebuild();
}

QString FilterListModel::clsidAt(int row) const
{
    return row >= 0 && row < rows_.size() ? rows_.at(row).clsid : QString();
}

int FilterListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_.size();
}

int FilterListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QIcon FilterListModel::iconFor(const QString& extension) const
{
    const QString key = extension.toLower();
    auto it = icons_.constFind(key);
    if (it == icons_.constEnd())
        it = icons_.insert(key, fileIcon(QStringLiteral("file.") + extension));
    return *it;
}

QVariant FilterListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return QVariant();
    const Row& row = rows_.at(index.row());
    if (index.column() == NameColumn)
        return role == Qt::DisplayRole || role == Qt::ToolTipRole ? QVariant(row.name) : QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return row.extension;
    case Qt::CheckStateRole:
        return containsIgnoringCase(shownDisabledExtensions(), row.extension) ? Qt::Unchecked
                                                                              : Qt::Checked;
    case Qt::DecorationRole:
        return iconFor(row.extension);
    case ClsidRole:
        return row.clsid;
    default:
        return QVariant();
    }
}

bool FilterListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != ExtensionColumn || role != Qt::CheckStateRole ||
        index.row() >= rows_.size())
        return false;
    const QString extension = rows_.at(index.row()).extension;
    QStringList& disabled = shownDisabledExtensions();
    if (value.toInt() == Qt::Checked)
        removeIgnoringCase(disabled, extension);
    else if (!containsIgnoringCase(disabled, extension))
        disabled.append(extension);
    // Every row of the extension shows the one setting.
    for (int i = 0; i < rows_.size(); ++i) {
        if (rows_.at(i).extension.compare(extension, Qt::CaseInsensitive) == 0) {
            const QModelIndex changed = this->index(i, ExtensionColumn);
            emit dataChanged(changed, changed, {Qt::CheckStateRole});
        }
    }
    return true;
}

Qt::ItemFlags FilterListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ExtensionColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant FilterListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == ExtensionColumn)
        return QCoreApplication::translate("OptionsPageFilters", "Extension");
    if (section == NameColumn)
        return QCoreApplication::translate("OptionsPageFilters", "Handler name");
    return QVariant();
}
