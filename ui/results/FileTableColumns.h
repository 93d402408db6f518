// FileTableColumns: the columns the result table shows, as column types in model order.
//
// Types: 0 Name, 1 Path, 2 Size, 3 Created, 4 Modified, 5 Last Accessed, 6 Type, 7 Matches.
// The default set is Name, Path, Size, Modified, Type. A list read from the settings is
// cleaned before use: types outside 0..7 and repeated types are dropped, and an empty result
// gives the default set.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

class FileTableColumns : public QObject
{
    Q_OBJECT
public:
    enum Type { Name = 0, Path = 1, Size = 2, Created = 3, Modified = 4, LastAccessed = 5, FileType = 6, Matches = 7 };

    explicit FileTableColumns(QObject* parent = nullptr);

    static QList<int> defaultColumns();
    static int defaultWidth(int type);
    // The translated title of a type; empty outside 0..7.
    static QString columnName(int type);
    static int typeCount() { return 8; }
    // Sizes and times come from the file system.
    static bool isFileSystemType(int type) { return type >= Size && type <= LastAccessed; }

    int indexOf(int type) const { return columns.indexOf(type); }
    bool contains(int type) const { return columns.contains(type); }
    // -1 past the end.
    int typeAt(int column) const { return column >= 0 && column < columns.size() ? columns.at(column) : -1; }
    int count() const { return columns.size(); }
    QString nameAt(int column) const { return columnName(typeAt(column)); }
    const QList<int>& types() const { return columns; }

    void setColumns(const QList<int>& types);
    void setColumnVisible(int type, bool visible);
    void removeAt(int column);

private:
    QList<int> columns;
};
