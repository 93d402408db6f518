// FileTable: the controller behind one search tab's result table. It is the IDataSource of
// the model (every cell text, icon, path and rename), owns the model's delegates and the
// tab's FilterBar, follows the header (column menu, widths, order, sort) and keeps the model
// in step with the tab's rows view (ResultRows, over the store the search fills).
//
// Rows. The table keeps the counts of the rows it has taken up (`shown`) and addresses its
// rows through them. Each refresh (`appendNewRows`) has the view take up what the search
// stored since (ResultRows::takeUp) and inserts the new folders at the old folder count and
// the new files at the end, so rows already shown keep their items.
//
// Cells. Name, Path, Type and Matches come from the item alone; only Size and the three times
// read the file system, once per item while it stays in the row cache. Paths never stat.
//
// Sorting runs on a worker (ResultSorter) and is put in place between the model's layout
// signals, the selection and current row following their items. A sort by size or a time of
// more than 1000 rows is confirmed when the user asks for it (a header click); after a search
// or a change of filter the rows are sorted again by the chosen order without asking.
//
// Actions capture paths when the user acts: a rename acts on the item of the edited row at
// commit time (the editor's index follows its row), a removal after a delete takes exactly the
// paths that are gone and finds their rows by path.
//
// Linux decisions: icons are chosen by name through the icon theme (GraphicUtils::fileIcon),
// never read from the file, so they are cached by the theme icon name (folders under
// "<DIR>"); files of one type share one icon, and two types with different icons never share.
// Opening goes through ShellUtils::openFile, which hands a root instance's request to the user
// instance itself. Renames use FileRenamer (no replacing of an existing name).
#pragma once

#include "search/model/ResultRows.h"
#include "ui/results/IDataSource.h"
#include "ui/results/ResultSorter.h"
#include "ui/results/RowCache.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QPointer>

#include <memory>

class FileSearchRequest;
class FileTableItemDelegate;
class FileTableModel;
class FileTableView;
class FilterBar;
class PathItemDelegate;
class Prompter;
class QFrame;
class SearchExpression;
class Settings;

class FileTable : public QObject, public IDataSource
{
    Q_OBJECT
public:
    // `parent`: the search tab owning the table (so that it is found as its child "fileTable").
    FileTable(FileTableView* view, QFrame* filterBarHost, Settings* settings, Prompter* prompter,
              QObject* parent);
    ~FileTable() override;

    void createFilterBar();
    void setShowFilterBar(bool show);
    bool showFilterBar() const { return showFilterBar_; }
    FilterBar* filterBar() const { return filterBar_; }
    int filterIndex() const;
    void retranslateFilterBar();

    void setRequest(const FileSearchRequest* request);
    // Shared: a sort still running after the table moved on keeps them until it ends.
    void setResults(std::shared_ptr<ResultRows> results);
    ResultRows* results() const { return results_.get(); }

    // Takes up the rows the search added since the last call.
    void appendNewRows();
    void clear();
    void setFilter(int category);
    // Sorts again by the header's indicator, if one is shown (after a search has finished).
    void resort();
    // Removes the rows of exactly these paths (files that are gone), wherever they are.
    void removePaths(const QStringList& paths);

    bool isEmpty() const;
    bool hasSelection() const;
    bool isMatchesColumnShown() const;
    bool isSorting() const { return sorter.isRunning(); }

    void saveColumns();
    QList<int> columnTypes() const;
    QList<int> columnWidths() const;
    void showColumnMenu(const QPoint& pos);
    void openFile(const QModelIndex& index);

    FileTableModel* model() const { return model_; }
    FileTableView* view() const { return view_; }
    const ResultRows::Counts& shownCounts() const { return shown; }
    const RowCache& rowCache() const { return cache; }

    // IDataSource
    QString data(int row, int column) override;
    QList<QPair<int, int>> nameMatches(int row) override;
    bool setData(int row, int column, const QString& value) override;
    QVariant icon(int row) override;
    QString filePath(int row) override;
    QString fileName(int row) override;
    // The user's sort: asks the view's question first (FileTableView::confirmSort).
    void sort(int type, Qt::SortOrder order) override;

signals:
    void fileSelected(const QString& path);
    void filesRemoved(const QStringList& paths);
    void deleteRequested(const QStringList& paths);
    void sortProgress(int done, int total);
    void sortFinished();

private:
    void rebindDelegates();
    void onSortFinished();
    // Sorts by the header's indicator, if one is shown.
    void sortByIndicator();
    // Starts the sort on the worker, without asking.
    void startSort(int type, Qt::SortOrder order);
    void reload();
    const FileProperties& properties(const ResultRows::Entry& entry);

    QPointer<FileTableView> view_;
    Settings* settings;
    Prompter* prompter;
    const FileSearchRequest* request = nullptr;
    std::shared_ptr<ResultRows> results_;
    std::unique_ptr<SearchExpression> highlighter;
    FileTableModel* model_ = nullptr;
    FileTableItemDelegate* nameDelegate;
    PathItemDelegate* pathDelegate;
    RowCache cache;
    QHash<QString, QIcon> icons;
    QFrame* filterBarHost;
    FilterBar* filterBar_ = nullptr;
    bool showFilterBar_ = true;
    bool columnsChanged = false;
    ResultRows::Counts shown;
    ResultSorter sorter;
};
