// SearchFieldModel: the input history of one search field, most recent entry first, one
// column. Four process-wide instances (created on first use, never deleted, GUI thread only):
// the search form's file-name, folder and contents fields and the instant-search toolbar's
// file-name field. Their lists are loaded from and saved to the settings at start and exit.
//
// addEntry moves a used entry to the front with beginMoveRows/endMoveRows, so a combo box
// showing the model keeps its current item and the text the user typed in it; a new entry is a
// row inserted at the front. Duplicates are found ignoring case, except in the folder history:
// on Linux "/a/Docs" and "/a/docs" are two different folders, so that history compares paths
// exactly.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

class SearchFieldModel : public QAbstractTableModel
{
public:
    explicit SearchFieldModel(Qt::CaseSensitivity duplicates = Qt::CaseInsensitive, QObject* parent = nullptr);

    static SearchFieldModel* fileNameHistory();
    static SearchFieldModel* pathHistory();
    static SearchFieldModel* contentsHistory();
    static SearchFieldModel* instantFileNameHistory();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Records a use of `text`: it becomes the first entry (an earlier entry equal to it, as
    // the model compares, is moved there and takes the new spelling). Empty text is ignored.
    void addEntry(const QString& text);
    // Empties the list inside a model reset.
    void clear();

    const QStringList& entries() const { return entries_; }
    // Replaces the whole list (loading the histories); a model reset when it differs.
    void setEntries(const QStringList& entries);

private:
    QStringList entries_;
    Qt::CaseSensitivity duplicates_;
};
