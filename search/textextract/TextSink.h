// TextSink: where the readers of binary documents (Word, Excel, PowerPoint 97-2003, RTF) put
// the text they find, one paragraph at a time, and how they learn to stop.
//
// A reader calls paragraph() for every paragraph (a spreadsheet row, a slide's text box, a
// cell's comment, ...) and keepGoing() in every loop that may run long; both answer false
// once the reader must stop: the text reached its bound (`maxUnits` UTF-16 units), or the
// control given says cancelled or out of time. The reader then returns at once; the text
// gathered so far is kept when the stop was the bound.
#pragma once

#include "search/textextract/IFilter.h"

#include <QString>
#include <QStringList>

class TextSink
{
public:
    explicit TextSink(const FilterControl& limits = FilterControl())
        : control(limits)
        , unitsLeft(qMax<qint64>(0, limits.maxTextBytes / 2))
    {
    }
    virtual ~TextSink() = default;

    // Hands over one paragraph; empty ones (nothing but blanks) are dropped. False once the
    // reader must stop.
    bool paragraph(const QString& text)
    {
        if (stop != S_OK || full)
            return false;
        bool blank = true;
        for (QChar c : text) {
            if (!c.isSpace()) {
                blank = false;
                break;
            }
        }
        if (!blank) {
            const QString kept = text.size() > unitsLeft ? text.left(int(unitsLeft)) : text;
            unitsLeft -= kept.size();
            ++count;
            take(kept);
            if (kept.size() < text.size()) {
                full = true;
                return false;
            }
        }
        return keepGoing();
    }

    // False once cancelled, out of time or full. Cheap: the control is looked at every 256 calls.
    bool keepGoing()
    {
        if (stop != S_OK || full)
            return false;
        if ((++polls & 0xFF) == 0) {
            if (control.canceled())
                stop = E_ABORT;
            else if (control.deadline.hasExpired())
                stop = FILTER_E_TIMEOUT;
        }
        return stop == S_OK;
    }

    // E_ABORT or FILTER_E_TIMEOUT when the reader was stopped so, else S_OK.
    FilterResult stopReason() const { return stop; }
    bool isFull() const { return full; }
    int paragraphs() const { return count; }

protected:
    virtual void take(const QString& text) = 0;

private:
    FilterControl control;
    qint64 unitsLeft;
    FilterResult stop = S_OK;
    bool full = false;
    int count = 0;
    quint32 polls = 0;
};

// A sink that keeps the paragraphs in a list (tests and the fuzz harnesses).
class ListTextSink : public TextSink
{
public:
    using TextSink::TextSink;
    QStringList list;
    QString joined() const { return list.join(QLatin1Char('\n')); }

protected:
    void take(const QString& text) override { list.append(text); }
};
