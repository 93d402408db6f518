#include "ui/tab/CsvExporter.h"

#include "search/model/FileProperties.h"
#include "ui/results/CellText.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/UserFiles.h"

#include <QFile>
#include <QTextCodec>
#include <QVector>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// Characters of text gathered before they are written.
constexpr int kPieceUnits = 32 * 1024;

} // namespace

CsvExporter::CsvExporter(QObject* parent)
    : QObject(parent)
{
}

CsvExporter::~CsvExporter() = default; // the job is cancelled without a report

void CsvExporter::cancel()
{
    pending.reset();
    if (!running)
        return;
    int writing = Writing;
    if (!stage->compare_exchange_strong(writing, Stopped))
        return; // past stopping: its own outcome is reported when it ends
    job.cancel();
    running = false;
    emit finished(fileName_, tr("The export was stopped before it was complete; the file was left as it was."));
}

QString CsvExporter::quote(const QString& field)
{
    const bool enclose = field.contains(QLatin1Char('"')) || field.contains(QLatin1Char(','))
        || field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'));
    if (!enclose)
        return field;
    QString inner = field;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

mode_t CsvExporter::modeFor(const QString& fileName)
{
    struct stat st;
    if (::lstat(FileNameCodec::encode(fileName).constData(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    // The umask as the kernel reports it (reading it with umask() would change it for every
    // thread meanwhile).
    mode_t mask = 022;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& row : status.readAll().split('\n')) {
            if (row.startsWith("Umask:")) {
                bool ok = false;
                const uint value = row.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    mask = mode_t(value);
                break;
            }
        }
    }
    return 0666 & ~mask;
}

QString CsvExporter::line(const QString& path, int matches)
{
    const FileProperties p(path, matches);
    return quote(p.name) + QLatin1Char(',') + quote(p.folder) + QLatin1Char(',')
        + quote(QString::number(p.size / 1024)) + QStringLiteral(" KB,") + quote(CellText::timeText(p.created))
        + QLatin1Char(',') + quote(CellText::timeText(p.accessed)) + QLatin1Char(',')
        + quote(CellText::timeText(p.modified));
}

void CsvExporter::start(std::shared_ptr<const ResultRows> results, const QString& fileName)
{
    cancel();
    if (running) {
        // The export before is being put in place: this one follows its report.
        pending.reset(new Pending{std::move(results), fileName});
        return;
    }
    begin(std::move(results), fileName);
}

void CsvExporter::onEnded(const QString& error)
{
    running = false;
    emit finished(fileName_, error);
    if (pending && !running) {
        std::unique_ptr<Pending> next = std::move(pending);
        begin(std::move(next->results), next->fileName);
    }
}

void CsvExporter::begin(std::shared_ptr<const ResultRows> results, const QString& fileName)
{
    running = true;
    fileName_ = fileName;
    auto mine = std::make_shared<std::atomic<int>>(Writing);
    stage = mine;
    // The rows as they stand now, by value (their strings live as long as the results' store,
    // which the job shares).
    auto rows =
        std::make_shared<QVector<ResultRows::Entry>>(results->entriesOfRows(results->counts()));
    // Runs on a worker; the result is the error text (empty on success), or null when stopped.
    using Outcome = std::shared_ptr<QString>;
    job.start<Outcome>(
        [results, rows, mine, fileName](const BackgroundJob::Control& control) -> Outcome {
            QString error;
            QString writeError; // the reason a write failed, from the system
            bool stopped = false;
            const auto stopping = [&]() { return control.cancelled() || mine->load() == Stopped; };
            const SaveResult saved = UserFiles::saveFile(
                fileName,
                [&](QFile& file) {
                    // The text goes through the locale's codec in pieces written straight to
                    // the file's descriptor, so that a failing write gives the system's reason.
                    std::unique_ptr<QTextEncoder> encoder(
                        QTextCodec::codecForLocale()->makeEncoder(QTextCodec::IgnoreHeader));
                    QString piece = QStringLiteral("Name,Path,File Size,Created,Accessed,Modified\r\n");
                    for (int i = 0; i <= rows->size(); ++i) {
                        if (stopping()) {
                            stopped = true;
                            return false;
                        }
                        if (i < rows->size()) {
                            const ResultRows::Entry& e = rows->at(i);
                            if (e.isValid())
                                piece += line(ResultStore::entryPath(e), e.matches) +
                                         QLatin1String("\r\n");
                            if (piece.size() < kPieceUnits)
                                continue;
                        }
                        if (!writeFully(file.handle(), encoder->fromUnicode(piece))) {
                            writeError = QString::fromLocal8Bit(std::strerror(errno));
                            return false;
                        }
                        piece.clear();
                    }
                    // Every row is written: from here on the export ends by itself.
                    int writing = Writing;
                    if (control.cancelled() || !mine->compare_exchange_strong(writing, Committing)) {
                        stopped = true;
                        return false;
                    }
                    return true;
                },
                &error, modeFor(fileName));
            if (stopped)
                return {}; // the old file is left as it was; cancel() reported the stop
            if (saved == SaveResult::Saved)
                error.clear();
            else if (!writeError.isEmpty())
                error = writeError;
            else if (error.isEmpty())
                error = tr("The file could not be written.");
            return std::make_shared<QString>(error);
        },
        [this](Outcome& error) {
            if (error)
                onEnded(*error);
        });
}
