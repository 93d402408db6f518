#include "ui/tab/CsvExporter.h"

#include "search/model/FileProperties.h"
#include "ui/results/CellText.h"

#include <QMetaObject>
#include <QSaveFile>
#include <QTextStream>
#include <QVector>

CsvExporter::CsvExporter(QObject* parent)
    : QObject(parent)
{
}

CsvExporter::~CsvExporter()
{
    stop(false);
}

void CsvExporter::cancel()
{
    stop(true);
}

void CsvExporter::stop(bool report)
{
    if (cancelFlag)
        cancelFlag->store(true);
    if (worker.joinable())
        worker.join();
    const bool wasRunning = running;
    running = false;
    ++serial; // a completion already queued is dropped: it is reported here
    if (!report || !wasRunning)
        return;
    if (outcome && outcome->ended)
        emit finished(fileName_, outcome->error);
    else
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

QString CsvExporter::line(const QString& path, int matches)
{
    const FileProperties p(path, matches);
    return quote(p.name) + QLatin1Char(',') + quote(p.folder) + QLatin1Char(',')
        + quote(QString::number(p.size / 1024)) + QStringLiteral(" KB,") + quote(CellText::timeText(p.created))
        + QLatin1Char(',') + quote(CellText::timeText(p.accessed)) + QLatin1Char(',')
        + quote(CellText::timeText(p.modified));
}

void CsvExporter::start(const FileSearchResults* results, const QString& fileName)
{
    cancel();
    running = true;
    fileName_ = fileName;
    const quint64 mine = ++serial;
    auto flag = std::make_shared<std::atomic<bool>>(false);
    cancelFlag = flag;
    auto result = std::make_shared<Outcome>();
    outcome = result;
    // The rows as they stand now, by value (their strings live as long as the results).
    const FileSearchResults::Counts counts = results->counts();
    auto rows = std::make_shared<QVector<FileSearchResults::Entry>>();
    rows->reserve(counts.rows());
    for (int row = 0; row < counts.rows(); ++row)
        rows->append(results->entryAtRow(counts, row));
    worker = std::thread([this, rows, flag, mine, fileName, result]() {
        QString error;
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            error = file.errorString();
        } else {
            QTextStream out(&file);
            out << "Name,Path,File Size,Created,Accessed,Modified\r\n";
            for (const FileSearchResults::Entry& e : qAsConst(*rows)) {
                if (flag->load())
                    break;
                if (e.isValid())
                    out << line(FileSearchResults::entryPath(e), e.matches) << "\r\n";
            }
            out.flush();
            if (flag->load()) {
                file.cancelWriting();
                return;
            }
            if (out.status() != QTextStream::Ok || !file.commit())
                error = file.errorString().isEmpty() ? tr("The file could not be written.") : file.errorString();
        }
        result->error = error;
        result->ended = true;
        QMetaObject::invokeMethod(this, [this, mine, fileName, error]() {
            if (mine != serial)
                return;
            if (worker.joinable())
                worker.join();
            running = false;
            emit finished(fileName, error);
        }, Qt::QueuedConnection);
    });
}
