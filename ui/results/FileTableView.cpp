#include "ui/results/FileTableView.h"

#include "app/desktop/ShellContextMenu.h"
#include "app/desktop/ShellUtils.h"
#include "app/startup/StartUp.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "ui/common/Prompter.h"
#include "ui/dialogs/FilePropertiesDialog.h"
#include "ui/results/CellText.h"
#include "ui/results/FileTableColumns.h"
#include "ui/results/FileTableModel.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QSet>
#include <algorithm>

FileTableView::FileTableView(QWidget* parent)
    : QTableView(parent)
{
    contextMenuRunner = [this](QWidget* owner, const QPoint& at, const QStringList& paths,
                               bool& deleted, QStringList& gone) {
        if (!prompter_)
            return;
        ShellContextMenu::show(
            *prompter_, owner, at, paths, deleted, &gone,
            [this](const QStringList& chosen) { emit deleteRequested(chosen); },
            &FilePropertiesDialog::open);
    };
    opener_ = [](QWidget* owner, const QString& path) { return ShellUtils::openFile(owner, path, QString()); };
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &FileTableView::onSectionClicked);
}

FileTableModel* FileTableView::fileModel() const
{
    return qobject_cast<FileTableModel*>(model());
}

void FileTableView::setColumnWidths(const QList<int>& widths)
{
    if (FileTableModel* m = fileModel()) {
        for (int c = 0; c < m->columnCount(); ++c)
            setColumnWidth(c, c < widths.size() && widths.at(c) > 0 ? widths.at(c) : defaultColumnWidth(c));
    }
    setEditTriggers(QAbstractItemView::EditKeyPressed);
}

int FileTableView::defaultColumnWidth(int column) const
{
    const FileTableModel* m = fileModel();
    if (!m)
        return 0;
    const int type = m->columnTypeAt(column);
    // The column's title is never cut (some languages' titles are longer), nor a size of some
    // gigabytes, nor a time in the system locale's short format (which may name the month).
    int width = qMax(FileTableColumns::defaultWidth(type), horizontalHeader()->sectionSizeHint(column));
    QStringList samples;
    if (type == FileTableColumns::Size) {
        samples << CellText::sizeText(Q_INT64_C(9999999) * 1024);
    } else if (type == FileTableColumns::Created || type == FileTableColumns::Modified
               || type == FileTableColumns::LastAccessed) {
        samples << CellText::timeText(QDateTime(QDate(2026, 12, 28), QTime(23, 59, 59)))
                << CellText::timeText(QDateTime(QDate(2026, 12, 28), QTime(12, 59, 59)));
    }
    QStyleOptionViewItem option = viewOptions();
    option.features |= QStyleOptionViewItem::HasDisplay;
    for (const QString& sample : qAsConst(samples)) {
        option.text = sample;
        const int cell = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).width();
        width = qMax(width, cell + (showGrid() ? 1 : 0));
    }
    return width;
}

bool FileTableView::askSort(int type, int rows)
{
    if (!FileTableColumns::isFileSystemType(type) || rows <= 1000 || !prompter_)
        return true;
    // The sort itself is quick; what takes time is reading every item's size or dates.
    const QMessageBox::StandardButton answer = prompter_->question(
        this, tr("Sort"),
        tr("To sort %n items by this column, their details are read from the disk first. On a slow or "
           "network disk that can take a while.\n\nSort them now?",
           nullptr, rows),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}

bool FileTableView::confirmSort(int type)
{
    if (sortRefused)
        return false;
    if (!askSort(type, model() ? model()->rowCount() : 0)) {
        sortRefused = true;
        return false;
    }
    return true;
}

void FileTableView::onSectionClicked(int section)
{
    QHeaderView* header = horizontalHeader();
    if (!sortRefused) {
        header->setSortIndicatorShown(true);
        savedSortSection = header->sortIndicatorSection();
        savedSortOrder = header->sortIndicatorOrder();
        return;
    }
    // Declined: put the previous indicator back (the sort it triggers is refused silently).
    if (savedSortSection >= 0) {
        header->setSortIndicator(savedSortSection, savedSortOrder);
    } else {
        header->setSortIndicatorShown(false);
        header->setSortIndicator(-1, savedSortOrder);
    }
    sortRefused = false;
}

void FileTableView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (current.isValid() && current.row() >= 0)
        emit fileSelected(current.data(FileTableRoles::FilePathRole).toString());
    QTableView::currentChanged(current, previous);
}

void FileTableView::keyPressEvent(QKeyEvent* event)
{
    // The Menu key arrives as a context-menu event as well; Shift+F10 only as a key.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier
        && state() != QAbstractItemView::EditingState) {
        showContextMenu(keyboardMenuPosition());
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return && state() != QAbstractItemView::EditingState
        && !(event->modifiers() & Qt::KeypadModifier)) {
        const QStringList paths = selectedFilePaths();
        if (!paths.isEmpty() && opener_)
            opener_(window(), paths.first());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void FileTableView::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        showContextMenu(event->globalPos());
}

void FileTableView::contextMenuEvent(QContextMenuEvent* event)
{
    // A mouse's menu comes with the button's release (mouseReleaseEvent).
    if (event->reason() == QContextMenuEvent::Keyboard)
        showContextMenu(keyboardMenuPosition());
    event->accept();
}

QPoint FileTableView::keyboardMenuPosition() const
{
    QModelIndex at = currentIndex();
    if (!at.isValid() && selectionModel() && selectionModel()->hasSelection())
        at = selectionModel()->selection().first().topLeft(); // ranges: never every index of a large selection
    QRect rect = at.isValid() ? visualRect(at) : QRect();
    if (!rect.isValid() || !viewport()->rect().intersects(rect))
        return viewport()->mapToGlobal(QPoint(0, 0));
    return viewport()->mapToGlobal(QPoint(rect.left(), rect.bottom()));
}

void FileTableView::showContextMenu(const QPoint& globalPosition)
{
    const QStringList paths = selectedFilePaths();
    if (paths.isEmpty() || !contextMenuRunner)
        return;
    bool deleted = false;
    QStringList gone;
    // A command that fails after the menu closed is logged and told.
    try {
        contextMenuRunner(this, globalPosition, paths, deleted, gone);
    } catch (const ShellContextMenu::CommandFailure& failure) {
        TQ_LOG_WARNING("FileTableView", QString::fromUtf8(failure.what()));
        if (prompter_)
            prompter_->warning(this, QLatin1String(kProgramName), failure.reason());
    } catch (const FileSearchException& error) {
        TQ_LOG_WARNING("FileTableView", QString::fromUtf8(error.what()));
        if (prompter_)
            prompter_->warning(this, QLatin1String(kProgramName), tr("The command could not be carried out."));
    }
    if (!gone.isEmpty())
        emit filesRemoved(gone);
}

// Rows come from the selection's ranges, never from its expanded index list: a selection of
// every row of a million is one range, not millions of indexes.
QList<int> FileTableView::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    QSet<int> seen;
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange& range : selection) {
        for (int r = range.top(); r <= range.bottom(); ++r) {
            if (!seen.contains(r)) {
                seen.insert(r);
                rows.append(r);
            }
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList FileTableView::selectedFilePaths() const
{
    QStringList paths;
    FileTableModel* m = fileModel();
    if (!m || !selectionModel())
        return paths;
    QSet<int> seen;
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange& range : selection) {
        for (int r = range.top(); r <= range.bottom(); ++r) {
            if (seen.contains(r))
                continue;
            seen.insert(r);
            const QString path = m->filePath(r);
            if (!path.isEmpty())
                paths.append(path);
        }
    }
    return paths;
}

void FileTableView::startDrag(Qt::DropActions supportedActions)
{
    const QModelIndexList indexes = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (indexes.isEmpty() || !model())
        return;
    QMimeData* mimeData = model()->mimeData(indexes);
    if (!mimeData)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData);
    drag->exec(supportedActions, Qt::CopyAction);
}
