// OptionsPageFilters: the "File handlers" page of the options dialog. It lists, per extension,
// the document filters the settings store knows (FilterListModel, sorted by extension), lets
// the user uncheck single extensions and switch whole filters off and on again through the
// table's context menu, and writes the result into the settings when the dialog's OK calls
// saveSettings. Cancel drops every edit.
//
// Two filter lists exist when the helper program is installed beside the program (isWow64):
// the built-in filters and the helper program's. The page then shows the choice "Built-in" /
// "Helper program" (the form's radioButton32 / radioButton64); otherwise the choice is hidden
// and only the built-in list is shown and saved. With the choice shown, both lists of switched-off
// extensions are saved ("IFilters/DisabledExtensions" and "IFilters/DisabledExtensions64"),
// whichever one is shown at OK.
//
// The context menu acts on the row under the mouse (its class id is taken when the menu opens):
// "Disable filter" (unavailable off a row) and, when filters are switched off, the submenu
// "Enable filters" with one entry per switched-off filter, named by Settings::filterName, or by
// its class id when the filter is not installed.
#pragma once

#include <QWidget>

class FilterListModel;
class Prompter;
class QPoint;
class QSortFilterProxyModel;
class QTableView;
class Settings;

namespace Ui {
class OptionsFilters;
}

class OptionsPageFilters : public QWidget
{
    Q_OBJECT

public:
    // `helperListOffered`: whether the helper program's list is offered (default: isWow64()).
    OptionsPageFilters(QWidget* parent, Settings* settings, Prompter* prompter,
                       bool helperListOffered);
    OptionsPageFilters(QWidget* parent, Settings* settings, Prompter* prompter);
    ~OptionsPageFilters() override;

    // Reads the filters and the switched-off lists from the settings and fills the table.
    void initPage();
    // Shows the built-in list (true) or the helper program's.
    void fillTable(bool is32);
    // Writes the switched-off filters and extensions (see above).
    void saveSettings();

    FilterListModel* model() const { return model_; }
    QTableView* table() const;
    bool helperListOffered() const { return helperListOffered_; }

public slots:
    void onRadioButtonClicked();
    void onFilterContextMenu(const QPoint& position);
    void onDisableFilter(const QString& clsid);
    void onEnableFilter(const QString& clsid);

private:
    Ui::OptionsFilters* ui;
    Settings* settings_;
    Prompter* prompter_;
    bool helperListOffered_;
    FilterListModel* model_;
    QSortFilterProxyModel* proxy_;
};
