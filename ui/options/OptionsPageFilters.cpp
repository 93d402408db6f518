#include "ui/options/OptionsPageFilters.h"

#include "core/Settings.h"
#include "core/SystemUtils.h"
#include "ui/common/Prompter.h"
#include "ui/options/CompactRows.h"
#include "ui/options/FilterListModel.h"

#include "ui_OptionsFilters.h"

#include <QHeaderView>
#include <QMenu>
#include <QSortFilterProxyModel>

OptionsPageFilters::OptionsPageFilters(QWidget* parent, Settings* settings, Prompter* prompter,
                                       bool helperListOffered)
    : QWidget(parent)
    , ui(new Ui::OptionsFilters)
    , settings_(settings)
    , prompter_(prompter)
    , helperListOffered_(helperListOffered)
    , model_(new FilterListModel(this))
    , proxy_(new QSortFilterProxyModel(this))
{
    ui->setupUi(this);
    proxy_->setSourceModel(model_);
    proxy_->setSortCaseSensitivity(Qt::CaseInsensitive);
    ui->tableWidget->setModel(proxy_);
}

OptionsPageFilters::OptionsPageFilters(QWidget* parent, Settings* settings, Prompter* prompter)
    : OptionsPageFilters(parent, settings, prompter, isWow64())
{ }

OptionsPageFilters::~OptionsPageFilters()
{
    delete ui;
}

QTableView* OptionsPageFilters::table() const
{
    return ui->tableWidget;
}

void OptionsPageFilters::initPage()
{
    setCompactRows(ui->tableWidget);
    connect(ui->tableWidget, &QWidget::customContextMenuRequested, this,
            &OptionsPageFilters::onFilterContextMenu, Qt::UniqueConnection);
    connect(ui->radioButton32, &QRadioButton::clicked, this,
            &OptionsPageFilters::onRadioButtonClicked, Qt::UniqueConnection);
    connect(ui->radioButton64, &QRadioButton::clicked, this,
            &OptionsPageFilters::onRadioButtonClicked, Qt::UniqueConnection);
    ui->archFrame->setVisible(helperListOffered_);
    ui->radioButton32->setChecked(true);

    model_->setFilters(settings_->ifilters32(),
                       helperListOffered_ ? settings_->ifilters64() : IFilterMap(),
                       settings_->disabledFilters(), settings_->disabledExtensions(),
                       settings_->disabledExtensions64());
    fillTable(true);
    // Set once sorted, so that a language's longer title is whole beside the sort arrow.
    const QHeaderView* header = ui->tableWidget->horizontalHeader();
    ui->tableWidget->setColumnWidth(FilterListModel::ExtensionColumn,
                                    qMax(100, header->sectionSizeHint(FilterListModel::ExtensionColumn)));
    ui->tableWidget->setColumnWidth(FilterListModel::NameColumn,
                                    qMax(160, header->sectionSizeHint(FilterListModel::NameColumn)));
}

void OptionsPageFilters::fillTable(bool is32)
{
    model_->showHelperList(!is32 && helperListOffered_);
    ui->tableWidget->sortByColumn(FilterListModel::ExtensionColumn, Qt::AscendingOrder);
}

void OptionsPageFilters::onRadioButtonClicked()
{
    fillTable(ui->radioButton32->isChecked());
}

void OptionsPageFilters::onFilterContextMenu(const QPoint& position)
{
    // The row under the mouse, taken now: the table may change before an action is chosen.
    const QModelIndex under = ui->tableWidget->indexAt(position);
    const QString clsid =
        under.isValid() ? model_->clsidAt(proxy_->mapToSource(under).row()) : QString();

    QMenu menu(this);
    QAction* disable = menu.addAction(tr("Disable filter"));
    disable->setEnabled(!clsid.isEmpty());
    // Switched-off filters by their names; an id that names no installed filter (a setting
    // from an older installation) has nothing to switch on and is not offered.
    const QStringList disabled = model_->disabledFilters();
    QMenu* enable = nullptr;
    for (const QString& id : disabled) {
        const QString name = model_->filterLabel(id);
        if (name.isEmpty())
            continue;
        if (!enable)
            enable = menu.addMenu(tr("Enable filters"));
        enable->addAction(name)->setData(id);
    }
    QAction* chosen =
        prompter_->execMenu(&menu, ui->tableWidget->viewport()->mapToGlobal(position));
    if (!chosen)
        return;
    if (chosen == disable)
        onDisableFilter(clsid);
    else if (!chosen->data().toString().isEmpty())
        onEnableFilter(chosen->data().toString());
}

void OptionsPageFilters::onDisableFilter(const QString& clsid)
{
    model_->disableFilter(clsid);
}

void OptionsPageFilters::onEnableFilter(const QString& clsid)
{
    model_->enableFilter(clsid);
}

void OptionsPageFilters::saveSettings()
{
    settings_->setDisabledFilters(model_->disabledFilters());
    settings_->setDisabledExtensions(model_->disabledExtensions());
    if (helperListOffered_)
        settings_->setDisabledExtensions64(model_->disabledExtensionsHelper());
}
