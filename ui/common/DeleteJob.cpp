#include "ui/common/DeleteJob.h"

#include "core/FileUtils.h"
#include "ui/common/Prompter.h"

#include <QLocale>
#include <QProgressDialog>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <climits>

struct DeleteJob::Shared
{
    std::atomic<bool> stop{false};
    std::atomic<qint64> removed{0};
    FileDeletion::Totals totals;
    FileDeletion::Outcome outcome;
};

namespace {

// Runs `work` on a thread of its own; `done` follows on the job's thread once it has ended.
void runOffThread(QObject* job, std::function<void()> work, std::function<void()> done)
{
    QThread* thread = QThread::create(std::move(work));
    QObject::connect(thread, &QThread::finished, job, std::move(done));
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

} // namespace

DeleteJob::DeleteJob(QWidget* parentWidget, Prompter* prompts, const QStringList& targets)
    : owner(parentWidget)
    , prompter(prompts)
    , paths(targets)
    , shared(std::make_shared<Shared>())
{
    qRegisterMetaType<FileDeletion::Outcome>("FileDeletion::Outcome");
    progressTimer.setInterval(100);
    connect(&progressTimer, &QTimer::timeout, this, &DeleteJob::updateProgress);
}

DeleteJob::~DeleteJob()
{
    // A worker still running keeps its own reference to the shared state.
    shared->stop = true;
    delete progress;
}

void DeleteJob::start()
{
    if (paths.isEmpty()) {
        finish(FileDeletion::Outcome());
        return;
    }
    showProgress(tr("Counting the items to delete..."), 0);
    const std::shared_ptr<Shared> state = shared;
    const QStringList targets = paths;
    runOffThread(this, [state, targets]() { state->totals = FileDeletion::count(targets, state->stop); },
                 [this]() { onCounted(); });
}

void DeleteJob::stop()
{
    shared->stop = true;
}

void DeleteJob::onCounted()
{
    closeProgress();
    if (shared->stop) {
        FileDeletion::Outcome none;
        none.kept = paths;
        none.stopped = true;
        finish(none);
        return;
    }
    if (!prompter
        || prompter->question(owner, tr("Delete"), questionText(paths, shared->totals),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes) {
        FileDeletion::Outcome none;
        none.kept = paths;
        finish(none);
        return;
    }
    showProgress(tr("Deleting..."), shared->totals.entries());
    const std::shared_ptr<Shared> state = shared;
    const QStringList targets = paths;
    runOffThread(this,
                 [state, targets]() {
                     state->outcome = FileDeletion::remove(targets, state->stop,
                                                           [state](qint64 removed) { state->removed = removed; });
                 },
                 [this]() { onDeleted(); });
}

void DeleteJob::onDeleted()
{
    closeProgress();
    const FileDeletion::Outcome outcome = shared->outcome;
    if ((!outcome.failures.isEmpty() || outcome.stopped || !outcome.kept.isEmpty()) && prompter)
        prompter->warning(owner, tr("Delete"), reportText(outcome));
    finish(outcome);
}

void DeleteJob::showProgress(const QString& label, qint64 maximum)
{
    closeProgress();
    progress = new QProgressDialog(owner ? owner->window() : nullptr);
    progress->setWindowTitle(tr("Delete"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(400);
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    connect(progress, &QProgressDialog::canceled, this, &DeleteJob::stop);
    progress->setLabelText(label);
    // The bar counts entries; a count beyond int is scaled down.
    progress->setRange(0, int(qMin<qint64>(maximum, 1 << 30)));
    progress->setValue(0);
    progressTimer.start();
}

void DeleteJob::closeProgress()
{
    // A new window for each step: a hidden one would still show itself once its delay is over.
    progressTimer.stop();
    delete progress;
}

void DeleteJob::updateProgress()
{
    if (!progress || progress->maximum() == 0)
        return;
    const qint64 total = qMax<qint64>(1, shared->totals.entries());
    progress->setValue(int(qMin<qint64>(shared->removed, total) * progress->maximum() / total));
    progress->setLabelText(tr("Deleting... %1 of %2").arg(QLocale().toString(qint64(shared->removed)),
                                                            QLocale().toString(shared->totals.entries())));
}

void DeleteJob::finish(const FileDeletion::Outcome& outcome)
{
    if (ended)
        return;
    ended = true;
    emit finished(outcome);
    deleteLater();
}

QString DeleteJob::questionText(const QStringList& paths, const FileDeletion::Totals& totals)
{
    QString text;
    if (paths.size() == 1)
        text = totals.anyFolder
            ? tr("Do you really want to delete the folder \"%1\" and everything in it permanently?").arg(pathFileName(paths.first()))
            : tr("Do you really want to delete \"%1\" permanently?").arg(pathFileName(paths.first()));
    else
        text = tr("Do you really want to delete these %n items permanently?", nullptr, paths.size());
    if (!totals.anyFolder)
        return text;
    // One folder: what it holds; several items: everything that goes, the items included.
    const qint64 folderCount = paths.size() == 1 ? totals.folders - 1 : totals.folders;
    const QString files = tr("%Ln files", nullptr, int(qMin<qint64>(totals.files, INT_MAX)));
    const QString folders = tr("%Ln folders", nullptr, int(qMin<qint64>(folderCount, INT_MAX)));
    const QString size = QLocale().formattedDataSize(totals.bytes);
    text += QStringLiteral("\n\n");
    text += paths.size() == 1 ? tr("It holds %1 and %2 (%3), which are deleted with it.").arg(files, folders, size)
                              : tr("The folders among them are deleted with everything in them: %1 and %2 in all (%3).")
                                    .arg(files, folders, size);
    if (!totals.complete)
        text += QStringLiteral("\n") + tr("Some folders could not be read, so there may be more.");
    text += QStringLiteral("\n") + tr("Nothing goes to the trash: this cannot be undone.");
    return text;
}

QString DeleteJob::reportText(const FileDeletion::Outcome& outcome)
{
    QStringList lines;
    lines << (outcome.stopped ? tr("The deletion was stopped.") : tr("Not everything could be deleted."));
    lines << tr("Deleted: %Ln files", nullptr, int(qMin<qint64>(outcome.deleted.files, INT_MAX))) + QStringLiteral(", ")
            + tr("%Ln folders.", nullptr, int(qMin<qint64>(outcome.deleted.folders, INT_MAX)));
    if (!outcome.failures.isEmpty()) {
        lines << QString() << tr("Not deleted:");
        const int shown = qMin(10, outcome.failures.size());
        for (int i = 0; i < shown; ++i)
            lines << tr("%1: %2").arg(outcome.failures.at(i).path, outcome.failures.at(i).reason);
        const qint64 rest = outcome.failures.size() - shown + outcome.moreFailures;
        if (rest > 0)
            lines << tr("... and %n more.", nullptr, int(qMin<qint64>(rest, INT_MAX)));
    }
    if (!outcome.kept.isEmpty()) {
        lines << QString() << tr("Still there:");
        for (int i = 0; i < qMin(10, outcome.kept.size()); ++i)
            lines << outcome.kept.at(i);
        if (outcome.kept.size() > 10)
            lines << tr("... and %n more.", nullptr, outcome.kept.size() - 10);
    }
    return lines.join(QLatin1Char('\n'));
}
