#include "search/textextract/ExternalProgramFilter.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextCodec>

#include <memory>

ExternalProgramFilter::ExternalProgramFilter(const QString& program, const QStringList& arguments,
                                             const QString& path)
    : program(program), arguments(arguments), path(path)
{
}

FilterResult ExternalProgramFilter::init(quint32, const FilterControl& control)
{
    clearParagraphs();
    this->control = control;
    const QFileInfo file(path);
    if (!file.isFile())
        return FILTER_E_ACCESS;
    const QString executable =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return REGDB_E_CLASSNOTREG;

    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(executable, QStringList(arguments) << file.absoluteFilePath(),
                  QIODevice::ReadOnly);
    if (!process.waitForStarted(30000))
        return E_FAIL;

    // The output is decoded and split into lines as it arrives, so nothing is held twice; it
    // ends at the bound of the document's text, where the program is stopped and the text up
    // to there kept (the extraction cuts it at the bound exactly and logs the cut).
    std::unique_ptr<QTextDecoder> decoder(QTextCodec::codecForName("UTF-8")->makeDecoder());
    QString line; // the line not yet ended
    qint64 units = 0;
    const qint64 maxUnits = control.maxTextBytes / 2;
    auto take = [&](const QByteArray& bytes) {
        const QString text = decoder->toUnicode(bytes);
        units += text.size();
        int from = 0;
        for (int end; (end = text.indexOf(QLatin1Char('\n'), from)) >= 0; from = end + 1) {
            appendText(line, text.midRef(from, end - from));
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            endParagraph(line);
        }
        appendText(line, text.midRef(from));
    };
    FilterResult stop = S_OK;
    bool full = false;
    for (;;) {
        if (control.canceled()) {
            stop = E_ABORT;
            break;
        }
        if (control.deadline.hasExpired()) {
            stop = FILTER_E_TIMEOUT;
            break;
        }
        const bool finished = process.state() == QProcess::NotRunning;
        process.waitForReadyRead(50);
        take(process.readAllStandardOutput());
        if (units > maxUnits) {
            full = true;
            break;
        }
        if (finished) {
            take(process.readAllStandardOutput());
            break;
        }
    }
    if (stop != S_OK || full) {
        process.kill();
        process.waitForFinished(5000);
    }
    if (stop == S_OK && !full
        && (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0))
        stop = E_FAIL;
    if (stop != S_OK) {
        clearParagraphs();
        return stop;
    }
    if (!line.isEmpty())
        endParagraph(line); // the last line without a line end
    return S_OK;
}
