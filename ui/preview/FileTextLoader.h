// FileTextLoader: reads the text shown on a search tab's "File" page.
//
// The text is read from the descriptor the matches search opened (ContentFile: only a regular
// file is ever opened, a FIFO or device never), decoded with the detected encoding (the
// locale's codec when none is detected), and read only up to a cap: the preview of a huge file
// must not load it whole into the editor (which would freeze the window and take gigabytes).
// The default cap is 8 MiB, a few hundred thousand lines; beyond it the text stops and the
// caller shows a notice. Lone CRs and paragraph separators become blanks, so the text blocks
// are the lines the search counted.
#pragma once

#include <QString>

class ContentFile;

namespace FileTextLoader {

constexpr qint64 kDefaultCap = 8 * 1024 * 1024;

struct Result
{
    bool opened = false;
    bool truncated = false;
    qint64 fileSize = 0;
    QString text;
};

// `file` null or not open: nothing is shown. Any thread (the preview calls it on a worker);
// `file` must stay open meanwhile.
Result load(const ContentFile* file, qint64 cap = kDefaultCap);

} // namespace FileTextLoader
