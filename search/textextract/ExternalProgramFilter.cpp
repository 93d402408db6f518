#include "search/textextract/ExternalProgramFilter.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

ExternalProgramFilter::ExternalProgramFilter(const QString& program, const QStringList& arguments,
                                             const QString& path)
    : program(program), arguments(arguments), path(path)
{
}

FilterResult ExternalProgramFilter::init(quint32, const FilterControl& control)
{
    paragraphs.clear();
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

    QByteArray output;
    FilterResult stop = S_OK;
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
        output += process.readAllStandardOutput();
        if (output.size() > kMaxOutputBytes) {
            stop = E_FAIL;
            break;
        }
        if (finished) {
            output += process.readAllStandardOutput();
            break;
        }
    }
    if (stop != S_OK) {
        process.kill();
        process.waitForFinished(5000);
        return stop;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return E_FAIL;

    const QString text = QString::fromUtf8(output);
    paragraphs = text.split(QLatin1Char('\n'));
    if (!paragraphs.isEmpty() && paragraphs.last().isEmpty())
        paragraphs.removeLast(); // the line end of the last line
    for (QString& p : paragraphs) {
        if (p.endsWith(QLatin1Char('\r')))
            p.chop(1);
    }
    return S_OK;
}
