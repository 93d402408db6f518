#include "search/textextract/PDFConverter.h"

#include "core/Logger.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <sys/resource.h>

QString PDFConverter::encoding() const
{
    return QStringLiteral("UTF16-BE");
}

void PDFConverter::setProgram(const QString& program)
{
    programOverride = program;
}

QString PDFConverter::program() const
{
    if (!programOverride.isEmpty())
        return programOverride;
    const QString bundled = QCoreApplication::applicationDirPath() + QStringLiteral("/xpdf/pdftotext");
    const QFileInfo info(bundled);
    if (info.isFile() && info.isExecutable())
        return bundled;
    const QString system = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    return system.isEmpty() ? QStringLiteral("pdftotext") : system;
}

void PDFConverter::setTimeLimit(int ms)
{
    timeLimitMs = ms;
}

int PDFConverter::timeLimit() const
{
    return timeLimitMs;
}

namespace {

// The converter program, whose files cannot grow past `maxFileBytes` (RLIMIT_FSIZE, set in
// the child before it runs): the kernel stops its text at the bound, however fast it writes.
class BoundedProcess : public QProcess
{
public:
    explicit BoundedProcess(qint64 maxFileBytes) : maxFileBytes(maxFileBytes) {}

protected:
    void setupChildProcess() override
    {
        struct rlimit limit;
        limit.rlim_cur = limit.rlim_max = rlim_t(qMax<qint64>(0, maxFileBytes));
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }

private:
    const qint64 maxFileBytes;
};

// Cuts a UTF-16BE text file reached by the bound to at most `limit` bytes: whole units, and
// no high surrogate without its low half at the end.
bool cutText(const QString& fileName, qint64 limit)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    qint64 size = qMin(file.size(), limit) & ~qint64(1);
    if (size >= 2 && file.seek(size - 2)) {
        const QByteArray last = file.read(2);
        const uchar high = last.size() == 2 ? uchar(last.at(0)) : 0;
        if (high >= 0xD8 && high <= 0xDB)
            size -= 2;
    }
    return file.resize(size);
}

} // namespace

bool PDFConverter::convert(const QString& path, QIODevice* input, QString* outPath,
                           QIODevice* output, const QString& inputEncoding,
                           const bool* cancelFlag)
{
    QTemporaryFile textFile;
    if (!openTextFile(&textFile, QStringLiteral("pdf"), "PDFConverter"))
        return false;
    textFile.close(); // pdftotext writes the file by its name; autoRemove stays on until success

    const QString exe = program();
    const QString document = path.startsWith(QLatin1Char('-')) ? QStringLiteral("./") + path : path;
    const qint64 limit = textLimit();
    BoundedProcess process(limit);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    const QDeadlineTimer deadline(timeLimitMs > 0 ? qint64(timeLimitMs) : -1);
    process.start(exe, {document, QStringLiteral("-enc"), QStringLiteral("UTF-16"), textFile.fileName()},
                  QIODevice::ReadWrite);

    // The text has reached the bound: the program is stopped there (it may ignore the signal
    // of the file size limit and go on, or hang).
    auto reachedBound = [&] { return QFileInfo(textFile.fileName()).size() >= limit; };
    auto stop = [&] {
        process.kill();
        process.waitForFinished(5000);
    };
    bool full = false;
    for (;;) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (isCanceled(cancelFlag)) {
            stop();
            return false; // textFile removes itself
        }
        if (deadline.hasExpired()) {
            stop();
            TQ_LOG_WARNING("PDFConverter", QStringLiteral("Failed to convert %1 to text within %2 ms")
                                               .arg(path).arg(timeLimitMs));
            return false;
        }
        if (reachedBound()) {
            stop();
            full = true;
            break;
        }
        if (process.waitForFinished(100))
            break;
        if (process.error() != QProcess::Timedout && process.state() == QProcess::NotRunning)
            break;
    }

    // The program ran to its end when it finished, normally or not (a crash on a damaged
    // document is that document's failure, not the program's).
    if (process.error() == QProcess::FailedToStart || process.state() != QProcess::NotRunning) {
        TQ_LOG_WARNING("PDFConverter", QStringLiteral("Failed to run %1, error %2")
                                           .arg(exe).arg(int(process.error())));
        return false;
    }
    // A program ended by the file size limit (or failing on it) has written the text up to
    // the bound: that text is kept.
    full = full || reachedBound();
    if (full) {
        if (!cutText(textFile.fileName(), limit)) {
            TQ_LOG_WARNING("PDFConverter", QStringLiteral("Failed to write the text of %1").arg(path));
            return false;
        }
        TQ_LOG_WARNING("PDFConverter", TextLimits::cutMessage(path, limit));
    } else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        TQ_LOG_INFO("PDFConverter", QStringLiteral("Failed to convert %1 to text, error %2")
                                        .arg(path).arg(process.exitCode()));
        return false;
    }
    if (outPath)
        *outPath = textFile.fileName();
    textFile.setAutoRemove(false);
    return true;
}
