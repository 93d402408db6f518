// MatchedLine: one line of a matches search (the match preview lists them).
#pragma once

#include <QList>
#include <QPair>
#include <QString>

struct MatchedLine
{
    // Line number, counted from 0.
    int line = 0;
    // Where a term of the expression occurs in the line: (start, length) in UTF-16 units, as the
    // string matcher reports them.
    QList<QPair<int, int>> positions;
    // The line's text without its line end.
    QString text;

    MatchedLine() = default;
    MatchedLine(int lineNumber, const QList<QPair<int, int>>& termPositions,
                const QString& lineText)
        : line(lineNumber)
        , positions(termPositions)
        , text(lineText)
    {
    }
};
