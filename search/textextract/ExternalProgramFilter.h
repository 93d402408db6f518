// ExternalProgramFilter: a filter that runs a text-extraction program as a child process and
// serves its output, one chunk per line (a paragraph). A registry names such a program with
// the module "tqfilter-exec:<program>" (IFilterLoader), which gets "/proc/self/fd/0" as its
// argument; the shipped registrations use the filters of our own instead.
// The document's descriptor is the program's standard input, and the program is told to read
// "/proc/self/fd/0", so it never opens the document by its name. The program is started with
// posix_spawn (ChildProcess). The output is read as UTF-8. init waits for the program, polling
// the caller's cancellation flag and the extraction's time limit every 50 ms; on either it
// kills the child (by its pid) and returns E_ABORT or FILTER_E_TIMEOUT. The conversion
// succeeds only when the program ends normally with exit code 0. Standard error is not used.
// The output is decoded and split into lines as it arrives; once it holds more than the
// control's bound of text (a runaway program), the program is killed and the text up to
// there kept: the conversion succeeds and the extraction cuts the text at the bound.
#pragma once

#include "search/textextract/ParagraphFilter.h"

#include <QStringList>

class ExternalProgramFilter : public ParagraphFilter
{
public:
    // `program`: a name found on PATH or an absolute path; `arguments` come before the file.
    // `document` must stay open while the filter is used.
    ExternalProgramFilter(const QString& program, const QStringList& arguments,
                          const ContentFile& document);

    FilterResult init(quint32 flags, const FilterControl& control) override;

private:
    QString program;
    QStringList arguments;
    const ContentFile& document;
};
