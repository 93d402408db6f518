#include "ui/search/RichLineEdit.h"

#include "search/model/StringMatcher.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

const StringMatcher& keywordMatcher()
{
    static const StringMatcher matcher(
        QStringList{QStringLiteral("and"), QStringLiteral("or"), QStringLiteral("not")},
        [] {
            MatchOptions options;
            options.kind = StringMatcher::WholeWordMode;
            options.caseSensitive = true;
            options.forName = false;
            return options;
        }());
    return matcher;
}

} // namespace

RichLineEdit::RichLineEdit(const QList<QTextCharFormat>& formats, QWidget* parent)
    : QLineEdit(parent)
    , formats_(formats)
{
    connect(this, &QLineEdit::textChanged, this, &RichLineEdit::onTextChanged);
}

RichLineEdit::~RichLineEdit() = default;

QList<QPair<int, int>> RichLineEdit::keywordRanges(const QString& text)
{
    QList<QPair<int, int>> ranges;
    if (text.isEmpty())
        return ranges;
    MatchPositions positions;
    keywordMatcher().match(text, TermMask::firstBits(3), &positions, nullptr);
    std::sort(positions.begin(), positions.end());
    int end = 0;
    for (const MatchPosition& p : qAsConst(positions)) {
        if (p.first < end || p.second <= 0 || p.first + p.second > text.size())
            continue;
        ranges.append(p);
        end = p.first + p.second;
    }
    return ranges;
}

void RichLineEdit::resetLeftMost()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    if (fontMetrics().horizontalAdvance(text()) > contents.width() - 4)
        setCursorPosition(0);
}

void RichLineEdit::updateInternal()
{
    if (preeditActive_)
        return;
    ranges_.clear();
    if (!formats_.isEmpty())
        ranges_ = keywordRanges(text());

    QList<QInputMethodEvent::Attribute> attributes;
    const int cursor = cursorPosition();
    if (!formats_.isEmpty()) {
        const QTextCharFormat& format = formats_.first();
        for (const auto& range : qAsConst(ranges_))
            attributes.append(QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, range.first - cursor,
                                                           range.second, format));
    }
    // An event without preedit or commit text changes neither the text nor the cursor nor the
    // selection; it only replaces the format ranges of the layout (an empty list clears them).
    QInputMethodEvent event(QString(), attributes);
    sendingFormats_ = true;
    QCoreApplication::sendEvent(this, &event);
    sendingFormats_ = false;
}

void RichLineEdit::onTextChanged()
{
    // Inside an input method's own event the formats are sent once the event is done.
    if (!inInputMethodEvent_)
        updateInternal();
}

void RichLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (sendingFormats_) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    inInputMethodEvent_ = true;
    QLineEdit::inputMethodEvent(event);
    inInputMethodEvent_ = false;
    const bool wasActive = preeditActive_;
    preeditActive_ = !event->preeditString().isEmpty();
    if (!preeditActive_ && (wasActive || !event->commitString().isEmpty() || event->replacementLength() > 0))
        updateInternal();
}
