// PDFConverter: text of PDF documents through an external pdftotext program.
//
// The program is "<program folder>/xpdf/pdftotext" when that file exists and is executable,
// else "pdftotext" from the system's search path (poppler-utils). It is run as
//   pdftotext <document> -enc UTF-16 <text file>
// (poppler knows no "UCS-2"; "UTF-16" writes big-endian UTF-16 without a byte-order mark,
// which is what encoding() "UTF16-BE" tells the reader). The text file is "pdf.XXXXXX" in the
// work folder, created by an absolute path (the process's current directory is never
// changed: it is shared by every thread).
//
// Success only on a normal exit with code 0. A program that cannot be run logs the warning
// "Failed to run %1, error %2" (program, QProcess error); one that ends with another code or
// by a signal logs "Failed to convert %1 to text, error %2" (document, exit code or signal
// number) as information. A failed, crashed or cancelled run removes the text file; cancellation is seen within about 500 ms and kills the program. A document path
// that begins with "-" is passed as "./<path>" so that it cannot be taken for an option.
// setProgram() replaces the program (tests use it).
#pragma once

#include "search/textextract/ToPlainTextConverter.h"

class PDFConverter : public ToPlainTextConverter
{
public:
    bool convert(const QString& path, QIODevice* input, QString* outPath, QIODevice* output,
                 const QString& inputEncoding, const bool* cancelFlag) override;
    QString encoding() const override;

    // Runs `program` instead of the one found by default; empty restores the default.
    void setProgram(const QString& program);
    // The program that the next conversion runs.
    QString program() const;

private:
    QString programOverride;
};
