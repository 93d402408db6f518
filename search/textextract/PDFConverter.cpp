#include "search/textextract/PDFConverter.h"

#include "core/Logger.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

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
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(exe, {document, QStringLiteral("-enc"), QStringLiteral("UTF-16"), textFile.fileName()},
                  QIODevice::ReadWrite);

    for (;;) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (isCanceled(cancelFlag)) {
            process.kill();
            process.waitForFinished(5000);
            return false; // textFile removes itself
        }
        if (process.waitForFinished(500))
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
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        TQ_LOG_INFO("PDFConverter", QStringLiteral("Failed to convert %1 to text, error %2")
                                        .arg(path).arg(process.exitCode()));
        return false;
    }
    if (outPath)
        *outPath = textFile.fileName();
    textFile.setAutoRemove(false);
    return true;
}
