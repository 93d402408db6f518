// PDFConverter: text of PDF documents through an external pdftotext program.
//
// The program is "<program folder>/xpdf/pdftotext" when that file exists and is executable,
// else "pdftotext" from the system's search path (poppler-utils). It is run as
//   pdftotext -enc UTF-16 - -
// with the document's descriptor as its standard input and its standard output a pipe that
// this converter reads into the text file "pdf.XXXXXX" of the work folder. So the program never
// opens the document by name (a name that is not UTF-8, begins with "-" or was swapped since it
// was opened changes nothing) and never writes a file of its own. (poppler knows no "UCS-2";
// "UTF-16" writes big-endian UTF-16 without a byte-order mark, which is what encoding()
// "UTF16-BE" tells the reader.) The program is started with posix_spawn (ChildProcess), never
// by forking this process.
//
// Success only on a normal exit with code 0. A program that cannot be run logs the warning
// "Failed to run %1, error %2" (program, 0 as QProcess's FailedToStart); one that ends with
// another code or by a signal logs "Failed to convert %1 to text, error %2" (document, exit
// code or signal number) as information. A failed, crashed or cancelled run removes the text
// file; cancellation is seen within about 100 ms and kills the program.
// setProgram() replaces the program (tests use it).
//
// Limits, the same as the helper's filters (TextLimits.h):
// - Time: a program still running after timeLimit() ms (kTimeLimitSeconds unless set) is
//   killed, its partial text removed, "Failed to convert %1 to text within %2 ms" logged as a
//   warning, and the conversion fails.
// - Text: what the program writes past textLimit() bytes is not kept and the program is
//   stopped there. The text up to the bound is kept (whole UTF-16 units, no split surrogate
//   pair), the cut logged as a warning, and the conversion succeeds.
#pragma once

#include "search/textextract/ToPlainTextConverter.h"

class PDFConverter : public ToPlainTextConverter
{
public:
    bool convert(const ContentFile& document, QIODevice* input, QString* outPath,
                 QIODevice* output, const QString& inputEncoding, const bool* cancelFlag) override;
    QString encoding() const override;

    // Runs `program` instead of the one found by default; empty restores the default.
    void setProgram(const QString& program);
    // The program that the next conversion runs.
    QString program() const;

    // Milliseconds a conversion may run (0: no limit). Set before the converter is used.
    void setTimeLimit(int ms);
    int timeLimit() const;

private:
    QString programOverride;
    int timeLimitMs = TextLimits::kTimeLimitSeconds * 1000;
};
