// FileTableView: the result table's view.
//
// - Sorting: a click on a header sorts through the model and its data source (FileTable),
//   which asks `confirmSort` before it sorts. A sort by size or a time (keys read from the
//   file system) of more than 1000 rows asks the user, saying that the items' details are read
//   from the disk; after a "No" the previous sort indicator comes back and nothing is sorted.
//   Only a click asks: sorting again after a search or a filter change follows the order chosen.
// - The current row reports its file (`fileSelected`); Return (not the keypad's Enter) opens
//   the first selected file; F2 (the edit key) renames; a right click shows the shell's
//   context menu for the selected files; dragging carries their URIs.
// - Every action takes the paths of the selection at the moment the user acts. After a delete
//   from the context menu, `filesRemoved` carries exactly the paths that are gone, so only
//   their rows are removed, wherever they are by then. The shell's menu hands its Delete to
//   `deleteRequested` (the tab deletes off the GUI thread, DeleteJob).
//
// Modal questions, the shell's context menu included, go through the Prompter (without one no
// context menu is shown); the context menu and opening a file go through two replaceable
// functions (the shell's by default) so that tests never block or start programs.
#pragma once

#include <QStringList>
#include <QTableView>

#include <functional>

class FileTableModel;
class Prompter;

class FileTableView : public QTableView
{
    Q_OBJECT
public:
    // Shows the context menu for `paths` at a global position; sets `deleted` and fills `gone`
    // when files were deleted.
    using ContextMenuRunner = std::function<void(QWidget* owner, const QPoint& globalPosition,
                                                 const QStringList& paths, bool& deleted, QStringList& gone)>;
    using Opener = std::function<bool(QWidget* owner, const QString& path)>;

    explicit FileTableView(QWidget* parent = nullptr);

    void setPrompter(Prompter* prompter) { prompter_ = prompter; }
    Prompter* prompter() const { return prompter_; }
    void setContextMenuRunner(const ContextMenuRunner& runner) { contextMenuRunner = runner; }
    void setOpener(const Opener& opener) { opener_ = opener; }
    const Opener& opener() const { return opener_; }

    FileTableModel* fileModel() const;

    // Column i gets widths[i]; a column without a width (0, or past the list) gets its default.
    void setColumnWidths(const QList<int>& widths);
    // The type's default width, or more where the column's title, a time in the system
    // locale's format or a size of gigabytes needs more in this view's font and style.
    int defaultColumnWidth(int column) const;
    // True when a sort by the column type `type`, which the header now indicates, may run (see
    // above); after a "No" the header's indicator goes back when the click is over.
    bool confirmSort(int type);
    // Asks whether `rows` rows may be sorted by a file-system column type; true for other types
    // and for at most 1000 rows.
    bool askSort(int type, int rows);

    QList<int> selectedRows() const;
    QStringList selectedFilePaths() const;

public slots:
    void onSectionClicked(int section);

signals:
    void fileSelected(const QString& path);
    void filesRemoved(const QStringList& paths);
    // The context menu's Delete for these paths (captured when the menu opened).
    void deleteRequested(const QStringList& paths);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void showContextMenu(const QPoint& globalPosition);
    // Where a menu asked for from the keyboard opens: below the start of the current row.
    QPoint keyboardMenuPosition() const;

    Prompter* prompter_ = nullptr;
    ContextMenuRunner contextMenuRunner;
    Opener opener_;
    int savedSortSection = -1;
    Qt::SortOrder savedSortOrder = Qt::AscendingOrder;
    bool sortRefused = false;
};
