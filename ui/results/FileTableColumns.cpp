#include "ui/results/FileTableColumns.h"

#include <QCoreApplication>

FileTableColumns::FileTableColumns(QObject* parent)
    : QObject(parent), columns(defaultColumns())
{
}

QList<int> FileTableColumns::defaultColumns()
{
    return {Name, Path, Size, Modified, FileType};
}

int FileTableColumns::defaultWidth(int type)
{
    static const int widths[] = {180, 180, 70, 120, 120, 120, 80, 80};
    return type >= 0 && type < 8 ? widths[type] : 100;
}

QString FileTableColumns::columnName(int type)
{
    switch (type) {
    case Name: return QCoreApplication::translate("FileTableColumns", "Name");
    case Path: return QCoreApplication::translate("FileTableColumns", "Path");
    case Size: return QCoreApplication::translate("FileTableColumns", "Size");
    case Created: return QCoreApplication::translate("FileTableColumns", "Created");
    case Modified: return QCoreApplication::translate("FileTableColumns", "Modified");
    case LastAccessed: return QCoreApplication::translate("FileTableColumns", "Last Accessed");
    case FileType: return QCoreApplication::translate("FileTableColumns", "Type");
    case Matches: return QCoreApplication::translate("FileTableColumns", "Matches");
    default: return QString();
    }
}

void FileTableColumns::setColumns(const QList<int>& types)
{
    QList<int> clean;
    for (int t : types) {
        if (t >= 0 && t < typeCount() && !clean.contains(t))
            clean.append(t);
    }
    columns = clean.isEmpty() ? defaultColumns() : clean;
}

void FileTableColumns::setColumnVisible(int type, bool visible)
{
    if (type < 0 || type >= typeCount())
        return;
    const int at = columns.indexOf(type);
    if (visible && at < 0)
        columns.append(type);
    else if (!visible && at >= 0 && columns.size() > 1)
        columns.removeAt(at);
}

void FileTableColumns::removeAt(int column)
{
    if (column >= 0 && column < columns.size() && columns.size() > 1)
        columns.removeAt(column);
}
