// MatchesTextView: the list of matching lines of the selected file, one display line per hit
// (or per matching line with full lines on), each starting with its line number and a tab.
// Line numbers are blue on white, hits black on the highlight colour; a grey notice comes
// first when only the first n records are shown (setting ShowMaximumMatches).
//
// Hit windows (full lines off): up to PreviewCharsBeforeMatch characters before the hit and
// PreviewCharsAfterMatch after it, widened or narrowed to word boundaries (blanks and tabs),
// never cutting the hit; "…" marks a cut on either side.
//
// A record's text may hold characters that start a new text block or line in the editor (a
// lone CR, LF, U+2028, U+2029); they are shown as blanks of the same length, so every record
// stays one display line and the hit offsets still hold. With full lines on, the text is
// trimmed of white space at both ends; hit offsets move by exactly what was stripped at the
// front and are clamped to the shown text.
#pragma once

#include "search/model/MatchedLine.h"

#include <QColor>
#include <QList>
#include <QPlainTextEdit>

class Settings;
class TempFileHolder;

class MatchesTextView : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit MatchesTextView(QWidget* parent = nullptr);

    void setSettings(Settings* settings) { settings_ = settings; }
    void showMatches(const TempFileHolder* holder);
    void highlight(const QList<MatchedLine>& records, bool hasNotice);
    void colorRange(int start, int end, const QColor& background, const QColor& foreground);

    // The window of a hit in a line of `length` characters (see above).
    struct Window
    {
        int start = 0;
        int end = 0;
        bool cutLeft = false;
    };
    static Window hitWindow(const QString& text, int position, int length, int before, int after);
    // The text with block and line separators replaced by blanks.
    static QString singleLine(const QString& text);
    // Setting HighlightColor as a colour (base 16, "0x" optional); the default when invalid.
    static QColor highlightColor(Settings* settings);

private:
    // Display-line hit positions of the records last shown, per record, in hit order.
    QList<QList<QPair<int, int>>> shownHits;
    Settings* settings_ = nullptr;
};
