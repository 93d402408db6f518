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
// user makes. Missing folders are made. `finished` comes on the owner's thread, once per export: `cancel` (also
// through a new `start`) stops a running export (the file is left as it was), waits for its
// thread, which polls the flag per row, and reports it at once, as stopped or, when it had
// already ended, with its outcome. Destroying the exporter stops an export without a report.
#pragma once

#include "search/model/FileSearchResults.h"

#include <QObject>
#include <QString>

#include <sys/types.h>

#include <atomic>
#include <memory>
#include <thread>

class CsvExporter : public QObject
{
    Q_OBJECT
public:
    explicit CsvExporter(QObject* parent = nullptr);
    ~CsvExporter() override;

    // Exports the rows of `results` as they stand now; the results must outlive the export
    // (or `cancel` must be called first).
    void start(const FileSearchResults* results, const QString& fileName);
    void cancel();
    bool isRunning() const { return running; }

    // The quoting rule above.
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
    struct Outcome
    {
        bool ended = false; // written by the worker before its end; read after the join
        QString error;
    };
    void stop(bool report);

    std::thread worker;
    std::shared_ptr<Outcome> outcome;
    QString fileName_;
    std::shared_ptr<std::atomic<bool>> cancelFlag;
    quint64 serial = 0;
    bool running = false;
};
