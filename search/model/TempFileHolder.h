// TempFileHolder: the matches of one file, handed from a matches search to the search tab.
//
// `path` is the text the matches refer to: the searched file itself, or a converted temporary
// text file (then `removeFile` is set and the holder deletes the file when it is destroyed).
// A holder owns that file, so it cannot be copied. `text` is that text opened for reading (the
// descriptor the matches search read), so the preview shows exactly what was searched without
// opening the path again; null when the search could not open it.
#pragma once

#include "search/model/MatchedLine.h"

#include "core/ContentFile.h"

#include <QList>
#include <QString>

#include <memory>

class TempFileHolder
{
public:
    TempFileHolder() = default;
    ~TempFileHolder();
    TempFileHolder(const TempFileHolder&) = delete;
    TempFileHolder& operator=(const TempFileHolder&) = delete;

    QList<MatchedLine> matches;
    QString path;
    bool removeFile = false;
    std::shared_ptr<const ContentFile> text;
    // Number of lines the contents search read; 0 until it has run.
    int lineCount = 0;
};
