// DeleteJob: a permanent deletion the user asked for, from the question to the report, with
// no file-system work on the GUI thread.
//
// 1. The paths (captured when the user acted) are counted on a worker thread: how many files
//    and folders go, and how many bytes. A progress window with a Cancel button shows up when
//    the count takes a while; Cancel there deletes nothing.
// 2. The question says what goes: the name (or the number of items), and for folders that
//    everything inside goes too, with the counts and the size; "there may be more" when a
//    folder could not be read. Declined, nothing is deleted.
// 3. The deletion runs on a worker thread (FileDeletion) with a progress window that counts
//    the entries removed and a Cancel button that stops it at the next entry.
// 4. When not everything went (a failure, or stopped), a report says how many entries were
//    deleted and which were not, with the system's reasons.
// `finished` comes once, at the end of whichever step ends the job, with the outcome (its
// `gone` lists the given paths that are gone, for the caller to drop from its lists); then the
// job deletes itself. The progress windows are modal to the owner's window, so the results
// being deleted are not acted on meanwhile.
#pragma once

#include "core/FileDeletion.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <memory>

class Prompter;
class QProgressDialog;
class QWidget;

class DeleteJob : public QObject
{
    Q_OBJECT
public:
    DeleteJob(QWidget* owner, Prompter* prompter, const QStringList& paths);
    ~DeleteJob() override;

    void start();
    // Stops the step that runs (the count or the deletion).
    void stop();

    // The texts of the question and of the report.
    static QString questionText(const QStringList& paths, const FileDeletion::Totals& totals);
    static QString reportText(const FileDeletion::Outcome& outcome);

signals:
    void finished(const FileDeletion::Outcome& outcome);

private:
    struct Shared;
    void onCounted();
    void onDeleted();
    void showProgress(const QString& label, qint64 maximum);
    void updateProgress();
    void closeProgress();
    void finish(const FileDeletion::Outcome& outcome);

    QPointer<QWidget> owner;
    Prompter* prompter;
    QStringList paths;
    std::shared_ptr<Shared> shared;
    QPointer<QProgressDialog> progress; // a child of the owner's window, which may go first
    QTimer progressTimer;
    bool ended = false;
};

Q_DECLARE_METATYPE(FileDeletion::Outcome)
