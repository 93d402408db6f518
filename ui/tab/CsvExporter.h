// CsvExporter: writes a tab's results as a CSV file on a thread of its own (a million rows
// stat a million files), so the window stays responsive.
//
// Format: the header "Name,Path,File Size,Created,Accessed,Modified", then one line per row
// in table order (folders first, then files, under the category filter): name, folder (the
// path before its last "/"), size in whole kilobytes followed by " KB", creation, last access
// and last modification time in the system locale's short format; every line ends in CR LF.
// Text goes through the locale's codec. A field holding a comma, a double quote, a CR or an
// LF is enclosed in double quotes with inner quotes doubled: a lone CR ends a row in every
// reader, so it is quoted too.
//
// The file is written through the checked save (UserFiles::saveFile, as the session user in a
// root instance): a temporary file beside it is written, flushed and synced, every step
// checked, and only then renamed over the old file. So an existing file is replaced only by a
// complete new one, and a failure (disk full, no permission, a folder that cannot be made) is
// reported with its reason, never as success, leaving the old file and no temporary behind.
// An existing file keeps its permissions; a new one gets 0666 less the umask, as a file the
// user makes. Missing folders are made.
//
// The export runs as a BackgroundJob; nothing here waits for it. `finished` comes on the
// owner's thread, once per export. `cancel` (also through a new `start`) stops a running export
// while it still writes: the file is left as it was, the temporary file is removed by the
// worker, and the stop is reported at once. Once every row is written the export is past
// stopping (the file is being synced and renamed into place): it then ends and reports its real
// outcome, and a `start` meanwhile begins after that report. Destroying the exporter stops an
// export without a report. The job shares the results, so their strings live until it ends.
#pragma once

#include "search/model/ResultRows.h"
#include "ui/common/BackgroundJob.h"

#include <QObject>
#include <QString>

#include <sys/types.h>

#include <atomic>
#include <memory>

class CsvExporter : public QObject
{
    Q_OBJECT
public:
    explicit CsvExporter(QObject* parent = nullptr);
    ~CsvExporter() override;

    // Exports the rows of `results` as they stand now (GUI thread, as cancel and isRunning).
    void start(std::shared_ptr<const ResultRows> results, const QString& fileName);
    void cancel();
    bool isRunning() const { return running; }

    // The quoting rule above (any thread, as line and modeFor).
    static QString quote(const QString& field);
    // One line (without the line end) for a row.
    static QString line(const QString& path, int matches);
    // The permissions of the written file: those of the file it replaces, else 0666 less the
    // umask.
    static mode_t modeFor(const QString& fileName);

signals:
    // `error` is empty on success.
    void finished(const QString& fileName, const QString& error);

private:
    // Where a running export stands: the worker moves Writing -> Committing once every row is
    // written, `cancel` moves Writing -> Stopped; whichever comes first wins.
    enum Stage { Writing, Stopped, Committing };
    struct Pending
    {
        std::shared_ptr<const ResultRows> results;
        QString fileName;
    };
    void begin(std::shared_ptr<const ResultRows> results, const QString& fileName);
    void onEnded(const QString& error);

    BackgroundJob job;
    std::shared_ptr<std::atomic<int>> stage;
    std::unique_ptr<Pending> pending;
    QString fileName_;
    bool running = false;
};
