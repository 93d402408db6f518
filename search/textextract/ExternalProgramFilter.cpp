#include "search/textextract/ExternalProgramFilter.h"

#include "core/ChildProcess.h"
#include "core/ContentFile.h"

#include <QStandardPaths>
#include <QTextCodec>

#include <vector>

#include <memory>

ExternalProgramFilter::ExternalProgramFilter(const QString& programName,
                                             const QStringList& programArguments,
                                             const ContentFile& source)
    : program(programName)
    , arguments(programArguments)
    , document(source)
{
}

FilterResult ExternalProgramFilter::init(quint32, const FilterControl& limits)
{
    clearParagraphs();
    this->control = limits;
    if (!document.isOpen())
        return FILTER_E_ACCESS;
    const QString executable =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return REGDB_E_CLASSNOTREG;

    ChildProcess process;
    ChildProcess::Setup setup;
    setup.input = document.descriptor();
    setup.captureOutput = true;
    setup.ownGroup = false; // ending the helper's group ends the program with it
    document.rewind(); // the program reads from the shared position
    if (!process.start(executable, QStringList(arguments) << QStringLiteral("/proc/self/fd/0"), setup))
        return E_FAIL;

    // The output is decoded and split into lines as it arrives, so nothing is held twice; it
    // ends at the bound of the document's text, where the program is stopped and the text up
    // to there kept (the extraction cuts it at the bound exactly and logs the cut).
    std::unique_ptr<QTextDecoder> decoder(QTextCodec::codecForName("UTF-8")->makeDecoder());
    QString line; // the line not yet ended
    qint64 units = 0;
    const qint64 maxUnits = limits.maxTextBytes / 2;
    auto take = [&](const char* bytes, qint64 size) {
        const QString text = decoder->toUnicode(bytes, int(size));
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
    std::vector<char> chunk(64 * 1024);
    bool outputEnded = false;
    for (;;) {
        if (limits.canceled()) {
            stop = E_ABORT;
            break;
        }
        if (limits.deadline.hasExpired()) {
            stop = FILTER_E_TIMEOUT;
            break;
        }
        if (outputEnded) {
            // The output has ended; the program ends with it (or is stopped at the limit).
            if (process.waitFinished(50))
                break;
            continue;
        }
        const qint64 n = process.readOutput(chunk.data(), qint64(chunk.size()), 50);
        if (n < 0) {
            outputEnded = true;
            continue;
        }
        take(chunk.data(), n);
        if (units > maxUnits) {
            full = true;
            break;
        }
    }
    if (stop != S_OK || full)
        process.end();
    if (stop == S_OK && !full && (!process.exitedNormally() || process.exitCode() != 0))
        stop = E_FAIL;
    if (stop != S_OK) {
        clearParagraphs();
        return stop;
    }
    if (!line.isEmpty())
        endParagraph(line); // the last line without a line end
    return S_OK;
}
