// FilePropertiesDialog: our own read-only properties of one or more files, shown when no file
// manager offers its properties window (org.freedesktop.FileManager1.ShowItemProperties), and
// always for a root instance. Nothing in it can change a file.
//
// One path: name, folder, type (MIME description), size, link target (for a symbolic link,
// which is described itself, not followed), modified and accessed times, owner and group,
// permissions in "ls -l" form. Several paths: their number, the common folder (or "Various
// folders"), the total size of the files among them (folders without their contents).
// Each value label has an object name ("nameValue", "folderValue", "typeValue", "sizeValue",
// "linkValue", "modifiedValue", "accessedValue", "ownerValue", "permissionsValue",
// "countValue").
#pragma once

#include <QDialog>
#include <QStringList>

class QFormLayout;

class FilePropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FilePropertiesDialog(const QStringList& paths, QWidget* parent = nullptr);

    // A new dialog for the paths, shown without waiting; it deletes itself on close.
    static QWidget* open(const QStringList& paths, QWidget* parent);

    // The text of the value label with this object name; empty when there is none.
    QString value(const QString& objectName) const;

    // "ls -l" form of a mode: "-rw-r--r--", "drwxr-xr-x", "lrwxrwxrwx".
    static QString permissionText(unsigned mode);
    // "1.5 KiB (1,536 bytes)" style, in the user's locale.
    static QString sizeText(qint64 bytes);

private:
    void addRow(const QString& label, const QString& objectName, const QString& text);

    QFormLayout* form_;
};
