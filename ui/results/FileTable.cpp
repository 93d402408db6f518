#include "ui/results/FileTable.h"

#include "app/desktop/GraphicUtils.h"
#include "core/Settings.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/SearchExpression.h"
#include "ui/common/Prompter.h"
#include "ui/results/CellText.h"
#include "ui/results/FileRenamer.h"
#include "ui/results/FileTableColumns.h"
#include "ui/results/FileTableItemDelegate.h"
#include "ui/results/FileTableModel.h"
#include "ui/results/FileTableView.h"
#include "ui/results/FilterBar.h"
#include "ui/results/PathItemDelegate.h"

#include <QFrame>
#include <QHeaderView>
#include <QMenu>
#include <algorithm>

FileTable::FileTable(FileTableView* view, QFrame* filterHost, Settings* userSettings,
                     Prompter* prompts, QObject* parent)
    : QObject(parent)
    , view_(view)
    , settings(userSettings)
    , prompter(prompts)
    , filterBarHost(filterHost)
{
    setObjectName(QStringLiteral("fileTable"));
    showFilterBar_ = userSettings ? userSettings->value(Settings::ShowFilterBar).toBool() : true;
    view->setPrompter(prompts);
    model_ = new FileTableModel(this, userSettings ? userSettings->fileColumnTypes() : QList<int>(),
                                view);
    view->setModel(model_);
    view->setColumnWidths(userSettings ? userSettings->fileColumnWidths() : QList<int>());
    view->show();
    nameDelegate = new FileTableItemDelegate(this);
    pathDelegate = new PathItemDelegate(this);
    rebindDelegates();
    connect(model_, &QAbstractItemModel::columnsInserted, this, &FileTable::rebindDelegates);
    connect(model_, &QAbstractItemModel::columnsRemoved, this, &FileTable::rebindDelegates);
    connect(model_, &QAbstractItemModel::modelReset, this, &FileTable::rebindDelegates);

    view->verticalHeader()->setDefaultSectionSize(view->verticalHeader()->minimumSectionSize());
    view->setDragEnabled(true);
    view->setDragDropMode(QAbstractItemView::DragOnly);
    QHeaderView* header = view->horizontalHeader();
    const int sortType = userSettings ? userSettings->value(Settings::SortColumn).toInt() : 0;
    header->setSortIndicator(model_->columnIndexOf(sortType), Qt::AscendingOrder);
    header->setSectionsMovable(true);
    // The last visible column takes the room the others leave: no empty band on a wide window.
    header->setStretchLastSection(true);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    createFilterBar();

    connect(header, &QWidget::customContextMenuRequested, this, &FileTable::showColumnMenu);
    connect(header, &QHeaderView::sectionResized, this, [this]() { columnsChanged = true; });
    connect(header, &QHeaderView::sectionMoved, this, [this]() { columnsChanged = true; });
    connect(view, &QAbstractItemView::doubleClicked, this, &FileTable::openFile);
    connect(view, &FileTableView::fileSelected, this, &FileTable::fileSelected);
    connect(view, &FileTableView::deleteRequested, this, &FileTable::deleteRequested);
    connect(view, &FileTableView::filesRemoved, this, [this](const QStringList& gone) {
        removePaths(gone);
        emit filesRemoved(gone);
    });
    connect(&sorter, &ResultSorter::finished, this, &FileTable::onSortFinished);
    connect(&sorter, &ResultSorter::progress, this, &FileTable::sortProgress);
}

FileTable::~FileTable()
{
    sorter.cancel();
    delete filterBar_;
    if (view_) {
        for (int c = 0; c < model_->columnCount(); ++c)
            view_->setItemDelegateForColumn(c, nullptr);
    }
}

void FileTable::rebindDelegates()
{
    if (!view_)
        return;
    // Delegates follow their column types: after a column is hidden, shown or the set is
    // replaced, every column is bound again.
    for (int c = 0; c < model_->columnCount() + 1; ++c)
        view_->setItemDelegateForColumn(c, nullptr);
    const int name = model_->columnIndexOf(FileTableColumns::Name);
    const int path = model_->columnIndexOf(FileTableColumns::Path);
    if (name >= 0)
        view_->setItemDelegateForColumn(name, nameDelegate);
    if (path >= 0)
        view_->setItemDelegateForColumn(path, pathDelegate);
}

void FileTable::createFilterBar()
{
    delete filterBar_;
    filterBar_ = nullptr;
    if (!filterBarHost)
        return;
    filterBar_ = new FilterBar(filterBarHost, settings);
    filterBar_->build();
    connect(filterBar_, &FilterBar::filterClicked, this, &FileTable::setFilter);
    filterBarHost->setVisible(showFilterBar_);
}

void FileTable::setShowFilterBar(bool show)
{
    showFilterBar_ = show;
    if (filterBar_)
        filterBar_->setCurrentIndex(0);
    setFilter(0);
    if (filterBarHost)
        filterBarHost->setVisible(show);
}

int FileTable::filterIndex() const
{
    return filterBar_ ? filterBar_->currentIndex() : 0;
}

void FileTable::retranslateFilterBar()
{
    if (filterBar_)
        filterBar_->retranslate();
}

void FileTable::setRequest(const FileSearchRequest* newRequest)
{
    request = newRequest;
    highlighter.reset(request ? new SearchExpression(request->fileName, request->matchOptions(true)) : nullptr);
}

void FileTable::setResults(std::shared_ptr<ResultRows> newResults)
{
    sorter.cancel();
    model_->clear([this, &newResults]() {
        results_ = std::move(newResults);
        shown = ResultRows::Counts();
        shown.filter = results_ ? results_->categoryFilter() : 0;
    });
    cache.clear();
}

void FileTable::appendNewRows()
{
    if (!results_)
        return;
    const ResultRows::Counts now = results_->takeUp();
    if (now.filter != shown.filter) {
        reload();
        return;
    }
    if (now.filter == 0 || now.filter == 1) {
        if (now.dirs > shown.dirs)
            model_->insertRowsAt(shown.dirs, now.dirs - shown.dirs, [this, &now]() { shown.dirs = now.dirs; });
        if (now.filter == 0 && now.files > shown.files)
            model_->appendRows(now.files - shown.files, [this, &now]() { shown.files = now.files; });
    } else if (now.filtered > shown.filtered) {
        model_->appendRows(now.filtered - shown.filtered, [this, &now]() { shown.filtered = now.filtered; });
    }
}

// Every row again, under the results' present filter.
void FileTable::reload()
{
    model_->clear([this]() {
        shown = ResultRows::Counts();
        shown.filter = results_ ? results_->categoryFilter() : 0;
    });
    cache.clear();
    if (!results_)
        return;
    const ResultRows::Counts now = results_->takeUp();
    model_->appendRows(now.rows(), [this, &now]() { shown = now; });
}

void FileTable::clear()
{
    sorter.cancel();
    model_->clear([this]() {
        const int filter = shown.filter;
        shown = ResultRows::Counts();
        shown.filter = filter;
    });
    cache.clear();
}

void FileTable::setFilter(int category)
{
    if (!results_)
        return;
    sorter.cancel();
    model_->clear([this]() {
        shown = ResultRows::Counts();
        shown.filter = -1;
    });
    cache.clear();
    results_->setCategoryFilter(category, settings ? settings->fileCategories() : QList<FileCategory>());
    const ResultRows::Counts now = results_->takeUp();
    shown.filter = now.filter;
    model_->appendRows(now.rows(), [this, &now]() { shown = now; });
    sortByIndicator();
}

void FileTable::resort()
{
    sortByIndicator();
}

void FileTable::sortByIndicator()
{
    if (!view_ || !results_)
        return;
    QHeaderView* header = view_->horizontalHeader();
    const int type = model_->columnTypeAt(header->sortIndicatorSection());
    if (!header->isSortIndicatorShown() || type < 0)
        return;
    // The user chose this order (and confirmed it, if asked) when clicking the header.
    startSort(type, header->sortIndicatorOrder());
}

void FileTable::sort(int type, Qt::SortOrder order)
{
    if (view_ && !view_->confirmSort(type))
        return;
    startSort(type, order);
}

void FileTable::startSort(int type, Qt::SortOrder order)
{
    if (settings)
        settings->setValue(Settings::SortColumn, FileTableColumns::isFileSystemType(type) ? 0 : type);
    if (!results_)
        return;
    sorter.start(results_, type, order);
}

void FileTable::onSortFinished()
{
    if (!results_)
        return;
    ResultRows::SortPlan plan = sorter.takePlan();
    model_->beginReorder();
    const QVector<int> oldRows = model_->persistentRows();
    QList<ResultRows::Entry> entries;
    entries.reserve(oldRows.size());
    for (int row : oldRows)
        entries.append(results_->entryAtRow(shown, row));
    QHash<int, int> newRowOf;
    if (results_->applySort(plan)) {
        const QVector<int> newRows = results_->rowsOfEntries(entries, shown);
        for (int i = 0; i < oldRows.size(); ++i)
            newRowOf.insert(oldRows.at(i), newRows.at(i));
    } else {
        for (int row : oldRows)
            newRowOf.insert(row, row);
    }
    model_->endReorder(newRowOf);
    ResultSorter::discard(std::move(plan));
    emit sortFinished();
}

void FileTable::removePaths(const QStringList& paths)
{
    if (!results_ || paths.isEmpty())
        return;
    // What the search stored since the last refresh may hold the paths too (a file found twice).
    appendNewRows();
    const QList<ResultRows::Entry> entries = results_->entriesOfPaths(paths);
    if (entries.isEmpty())
        return;
    sorter.cancel(); // a plan computed before the removal would be refused anyway
    const QVector<int> rows = results_->rowsOfEntries(entries, shown);
    QHash<int, ResultRows::Entry> byRow;
    QList<ResultRows::Entry> unshown;
    for (int i = 0; i < entries.size(); ++i) {
        if (rows.at(i) >= 0)
            byRow.insert(rows.at(i), entries.at(i));
        else
            unshown.append(entries.at(i));
    }
    model_->removeRows(byRow.keys(), [this, &byRow](int first, int last) {
        // By position: an item shown twice loses only these rows.
        results_->removeShownRows(shown, first, last);
        for (int r = first; r <= last; ++r) {
            const ResultRows::Entry& e = byRow[r];
            if (shown.filter >= 2)
                --shown.filtered;
            else if (e.isDir)
                --shown.dirs;
            else
                --shown.files;
        }
    });
    if (!unshown.isEmpty())
        results_->removeEntries(unshown);
    cache.clear();
}

bool FileTable::isEmpty() const
{
    return model_->rowCount() == 0;
}

bool FileTable::hasSelection() const
{
    return view_ && view_->selectionModel() && view_->selectionModel()->hasSelection();
}

bool FileTable::isMatchesColumnShown() const
{
    return model_->isColumnShown(FileTableColumns::Matches);
}

QList<int> FileTable::columnTypes() const
{
    QList<int> types;
    if (!view_)
        return types;
    const QHeaderView* header = view_->horizontalHeader();
    for (int v = 0; v < header->count(); ++v)
        types.append(model_->columnTypeAt(header->logicalIndex(v)));
    return types;
}

QList<int> FileTable::columnWidths() const
{
    QList<int> widths;
    if (!view_)
        return widths;
    const QHeaderView* header = view_->horizontalHeader();
    int lastShown = -1;
    for (int v = 0; v < header->count(); ++v) {
        widths.append(header->sectionSize(header->logicalIndex(v)));
        if (!header->isSectionHidden(header->logicalIndex(v)))
            lastShown = v;
    }
    // The stretched column's width is the window's, not the user's: it is kept at its type's
    // default, so it does not come back that wide where it no longer stands last.
    if (lastShown >= 0 && header->stretchLastSection())
        widths[lastShown] = view_->defaultColumnWidth(header->logicalIndex(lastShown));
    return widths;
}

void FileTable::saveColumns()
{
    if (!columnsChanged || !settings)
        return;
    const QList<int> types = columnTypes();
    const QList<int> widths = columnWidths();
    QList<FileColumnEntry> entries;
    for (int i = 0; i < types.size(); ++i)
        entries.append(FileColumnEntry{types.at(i), widths.at(i)});
    settings->setFileColumns(entries);
    columnsChanged = false;
}

void FileTable::showColumnMenu(const QPoint& pos)
{
    if (!view_ || !prompter)
        return;
    QMenu menu(view_);
    for (int type = 0; type < FileTableColumns::typeCount(); ++type) {
        QAction* action = menu.addAction(FileTableColumns::columnName(type));
        action->setCheckable(true);
        action->setData(type);
        const bool shownType = model_->isColumnShown(type);
        action->setChecked(shownType);
        // The last shown column cannot be hidden: a table without columns has no header to
        // bring them back.
        action->setEnabled(!(shownType && model_->columnCount() == 1));
    }
    QAction* chosen = prompter->execMenu(&menu, view_->horizontalHeader()->mapToGlobal(pos));
    if (!chosen || !chosen->isEnabled())
        return;
    const int type = chosen->data().toInt();
    if (model_->isColumnShown(type)) {
        model_->hideColumn(type);
    } else {
        model_->showColumn(type);
        view_->setColumnWidth(model_->columnIndexOf(type), view_->defaultColumnWidth(model_->columnIndexOf(type)));
    }
    columnsChanged = true;
}

void FileTable::openFile(const QModelIndex& index)
{
    if (!view_ || !index.isValid())
        return;
    const QString path = filePath(index.row());
    if (!path.isEmpty() && view_->opener())
        view_->opener()(view_->window(), path);
}

const FileProperties& FileTable::properties(const ResultRows::Entry& entry)
{
    if (view_) {
        const int rowHeight = std::max(1, view_->verticalHeader()->defaultSectionSize());
        const int visible = view_->viewport()->height() / rowHeight + 1;
        const int wanted = std::max(100, 3 * visible);
        if (wanted != cache.capacity())
            cache.setCapacity(wanted);
    }
    return cache.properties(entry);
}

QList<QPair<int, int>> FileTable::nameMatches(int row)
{
    if (!results_ || !highlighter || !request || request->fileName.trimmed().isEmpty())
        return {};
    const ResultRows::Entry e = results_->entryAtRow(shown, row);
    if (!e.isValid())
        return {};
    const QString name = ResultStore::entryName(e);
    MatchPositions positions;
    highlighter->match(name, &positions);
    return CellText::nameMatchRanges(name, positions);
}

QString FileTable::data(int row, int column)
{
    if (!results_)
        return QString();
    const ResultRows::Entry e = results_->entryAtRow(shown, row);
    if (!e.isValid())
        return QString();
    switch (model_->columnTypeAt(column)) {
    case FileTableColumns::Name:
        return ResultStore::entryName(e);
    case FileTableColumns::Path:
        return CellText::pathText(ResultStore::entryFolder(e),
                                  request ? request->includePaths : QStringList());
    case FileTableColumns::Size:
        return e.isDir ? QString() : CellText::sizeText(properties(e).size);
    case FileTableColumns::Created:
        return CellText::timeText(properties(e).created);
    case FileTableColumns::Modified:
        return CellText::timeText(properties(e).modified);
    case FileTableColumns::LastAccessed:
        return CellText::timeText(properties(e).accessed);
    case FileTableColumns::FileType:
        return CellText::typeText(ResultStore::entryName(e), e.isDir);
    case FileTableColumns::Matches:
        return e.matches == 0 ? QString() : QString::number(e.matches);
    default:
        return QString();
    }
}

bool FileTable::setData(int row, int column, const QString& value)
{
    Q_UNUSED(column);
    if (!results_)
        return false;
    const ResultRows::Entry e = results_->entryAtRow(shown, row);
    if (!e.isValid() || value == ResultStore::entryName(e))
        return false;
    QString error;
    if (!FileRenamer::rename(ResultStore::entryPath(e), value, nullptr, &error)) {
        if (prompter)
            prompter->warning(view_, tr("Rename"), error);
        return false;
    }
    results_->renameEntry(e, value);
    cache.clear();
    return true;
}

QVariant FileTable::icon(int row)
{
    if (!results_)
        return QVariant();
    const ResultRows::Entry e = results_->entryAtRow(shown, row);
    if (!e.isValid())
        return QVariant();
    const QString path = ResultStore::entryPath(e) + (e.isDir ? QStringLiteral("/") : QString());
    const QString key = e.isDir ? QStringLiteral("<DIR>") : fileIconName(path);
    if (key.isEmpty()) {
        // No theme name to key by: ask each time rather than give other types this icon.
        const QIcon plain = fileIcon(path);
        return plain.isNull() ? QVariant() : QVariant(plain);
    }
    auto it = icons.find(key);
    if (it == icons.end())
        it = icons.insert(key, fileIcon(path));
    if (it->isNull())
        return QVariant();
    return *it;
}

QString FileTable::filePath(int row)
{
    return results_ ? ResultStore::entryPath(results_->entryAtRow(shown, row)) : QString();
}

QString FileTable::fileName(int row)
{
    return results_ ? ResultStore::entryName(results_->entryAtRow(shown, row)) : QString();
}
