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
//
// The file system is never read on the GUI thread: the constructor lays the dialog out from
// the paths alone (name, folder, count) with "…" in every value that needs the file, and
// starts the reading on a worker (BackgroundJob). Its answer fills the values in on the GUI
// thread; a dialog closed or destroyed before that drops it. The reading is lstat, readlink
// and the user and group databases only: no file is opened, and a symbolic link is described,
// never followed, so a root instance reads nothing of its session user's files but their
// metadata, as the search results show it anyway.
#pragma once

#include "ui/common/BackgroundJob.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

#include <functional>

class QFormLayout;

class FilePropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    // What the reading found out about one path.
    struct Facts
    {
        bool exists = false;
        unsigned mode = 0;
        qint64 size = 0;
        qint64 modifiedMs = 0; // since the epoch
        qint64 accessedMs = 0;
        QString owner; // "user:group", numbers for names the databases do not know
        QString linkTarget; // of a symbolic link
        QString type; // MIME description
    };
    // Reads the facts of each path, in order (called on a worker); may stop early once the
    // control says the job is cancelled.
    using Reader = std::function<QVector<Facts>(const QStringList& paths,
                                                const BackgroundJob::Control& control)>;

    // `reader`: how the paths are read; the file system (readFacts) when empty. GUI thread.
    explicit FilePropertiesDialog(const QStringList& paths, QWidget* parent = nullptr,
                                  Reader reader = {});

    // A new dialog for the paths, shown without waiting; it deletes itself on close (GUI thread).
    static QWidget* open(const QStringList& paths, QWidget* parent);

    // The facts of one path; with `full` false only existence, mode and size (called on a
    // worker, never on the GUI thread).
    static Facts readFacts(const QString& path, bool full);

    // "ls -l" form of a mode: "-rw-r--r--", "drwxr-xr-x", "lrwxrwxrwx".
    static QString permissionText(unsigned mode);
    // "1.5 KiB (1,536 bytes)" style, in the user's locale.
    static QString sizeText(qint64 bytes);

    // Stops the reading when the dialog closes (GUI thread).
    void done(int result) override;

private:
    void addRow(const QString& label, const QString& objectName, const QString& text, int at = -1);
    void setValue(const QString& objectName, const QString& text);
    // Fills the values in from the reading's answer (GUI thread).
    void showFacts(const QVector<Facts>& facts);

    QStringList paths_;
    QFormLayout* form_;
    BackgroundJob* reading_;
};
