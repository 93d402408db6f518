#include "search/textextract/PDFConverter.h"

#include "core/ChildProcess.h"
#include "core/ContentFile.h"
#include "core/Logger.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <vector>

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

// The length of a UTF-16BE text cut at most at `size` without splitting a unit or a
// surrogate pair; `highOfLastUnit` is the first byte of the last whole unit before `size`.
qint64 wholeUnits(qint64 size, uchar highOfLastUnit)
{
    size &= ~qint64(1);
    if (size >= 2 && highOfLastUnit >= 0xD8 && highOfLastUnit <= 0xDB)
        size -= 2;
    return size;
}

} // namespace

bool PDFConverter::convert(const ContentFile& document, QIODevice* input, QString* outPath,
                           QIODevice* output, const QString& inputEncoding,
                           const bool* cancelFlag)
{
    const QString& path = document.path();
    if (!document.isOpen()) {
        TQ_LOG_WARNING("PDFConverter", QStringLiteral("Failed to open %1").arg(path));
        return false;
    }
    QTemporaryFile textFile;
    if (!openTextFile(&textFile, QStringLiteral("pdf"), "PDFConverter"))
        return false; // autoRemove stays on until success

    const QString exe = program();
    const qint64 limit = textLimit();
    ChildProcess process;
    ChildProcess::Setup setup;
    setup.input = document.descriptor();
    setup.captureOutput = true;
    document.rewind(); // the program reads its standard input from the shared position
    if (!process.start(exe, {QStringLiteral("-enc"), QStringLiteral("UTF-16"), QStringLiteral("-"),
                             QStringLiteral("-")},
                       setup)) {
        TQ_LOG_WARNING("PDFConverter", QStringLiteral("Failed to run %1, error %2").arg(exe).arg(0));
        return false;
    }
    const QDeadlineTimer deadline(timeLimitMs > 0 ? qint64(timeLimitMs) : -1);

    // The text as it arrives, up to the bound; the program is stopped at the bound (it may go
    // on writing for ever).
    std::vector<char> chunk(64 * 1024);
    qint64 written = 0;
    bool full = false;
    bool writeFailed = false;
    for (;;) {
        if (isCanceled(cancelFlag))
            return false; // the process ends, textFile removes itself
        if (deadline.hasExpired()) {
            TQ_LOG_WARNING("PDFConverter", QStringLiteral("Failed to convert %1 to text within %2 ms")
                                               .arg(path).arg(timeLimitMs));
            return false;
        }
        const qint64 n = process.readOutput(chunk.data(), qint64(chunk.size()), 100);
        if (n < 0)
            break; // the end of its output
        if (n == 0)
            continue;
        const qint64 keep = qMin(n, limit - written);
        if (keep > 0) {
            if (textFile.write(chunk.data(), keep) != keep) {
                writeFailed = true;
                break;
            }
            written += keep;
        }
        if (keep < n) {
            full = true;
            break;
        }
    }
    if (writeFailed) {
        TQ_LOG_WARNING("PDFConverter", QStringLiteral("Failed to write the text of %1").arg(path));
        return false;
    }
    if (full) {
        process.end();
        // Whole units only, and no high surrogate without its low half at the end.
        if (!textFile.flush()) {
            TQ_LOG_WARNING("PDFConverter", QStringLiteral("Failed to write the text of %1").arg(path));
            return false;
        }
        uchar high = 0;
        const qint64 even = written & ~qint64(1);
        if (even >= 2 && textFile.seek(even - 2)) {
            const QByteArray last = textFile.read(2);
            high = last.size() == 2 ? uchar(last.at(0)) : 0;
        }
        if (!textFile.resize(wholeUnits(written, high))) {
            TQ_LOG_WARNING("PDFConverter", QStringLiteral("Failed to write the text of %1").arg(path));
            return false;
        }
        TQ_LOG_WARNING("PDFConverter", TextLimits::cutMessage(path, limit));
    } else {
        // The output has ended; the program ends with it (or is stopped at the time limit).
        while (!process.waitFinished(100)) {
            if (isCanceled(cancelFlag))
                return false;
            if (deadline.hasExpired()) {
                TQ_LOG_WARNING("PDFConverter", QStringLiteral("Failed to convert %1 to text within %2 ms")
                                                   .arg(path).arg(timeLimitMs));
                return false;
            }
        }
        if (!process.exitedNormally() || process.exitCode() != 0) {
            TQ_LOG_INFO("PDFConverter", QStringLiteral("Failed to convert %1 to text, error %2")
                                            .arg(path)
                                            .arg(process.exitedNormally() ? process.exitCode()
                                                                          : process.signal()));
            return false;
        }
    }
    return finishText(&textFile, true, outPath, path, "PDFConverter");
}
