#include "ui/results/FileTableItemDelegate.h"

#include "ui/results/CellText.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <QVector>

#include <algorithm>

namespace {

const QChar kEllipsis(0x2026);

struct Run
{
    int start;
    int length;
    bool bold;
};

QFont boldOf(const QFont& font)
{
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

// `text` split into plain and bold runs; `ranges` are clamped to the text, empty ones dropped.
QVector<Run> runsOf(const QString& text, const FileTableRoles::MatchRanges& ranges)
{
    QVector<Run> runs;
    int at = 0;
    for (const auto& r : ranges) {
        const int start = std::clamp(r.first, at, int(text.size()));
        const int end = std::clamp(r.first + std::max(0, r.second), start, int(text.size()));
        if (end == start)
            continue;
        if (start > at)
            runs.append({at, start - at, false});
        runs.append({start, end - start, true});
        at = end;
    }
    if (at < text.size())
        runs.append({at, int(text.size()) - at, false});
    return runs;
}

FileTableRoles::MatchRanges rangesOf(const QVector<Run>& runs)
{
    FileTableRoles::MatchRanges ranges;
    for (const Run& run : runs) {
        if (run.bold)
            ranges.append({run.start, run.length});
    }
    return ranges;
}

} // namespace

qreal FileTableItemDelegate::shownWidth(const Shown& shown, const QFont& font)
{
    const QFontMetricsF plain(font);
    const QFontMetricsF bold(boldOf(font));
    qreal width = 0;
    for (const Run& run : runsOf(shown.text, shown.ranges))
        width += (run.bold ? bold : plain).horizontalAdvance(shown.text.mid(run.start, run.length));
    return width;
}

FileTableItemDelegate::Shown FileTableItemDelegate::fit(const QString& name, const FileTableRoles::MatchRanges& ranges,
                                                        const QFont& font, qreal width)
{
    const QString visible = CellText::visibleText(name);
    const QVector<Run> runs = runsOf(visible, ranges);
    const QFontMetricsF plain(font);
    const QFontMetricsF bold(boldOf(font));
    auto advance = [&](const Run& run, int length) {
        return (run.bold ? bold : plain).horizontalAdvance(visible.mid(run.start, length));
    };
    qreal whole = 0;
    for (const Run& run : runs)
        whole += advance(run, run.length);
    if (whole <= width)
        return Shown{visible, rangesOf(runs)};

    // The longest start, cut between two characters as the user sees them, that leaves room
    // for the ellipsis.
    const qreal room = width - plain.horizontalAdvance(kEllipsis);
    QVector<int> boundaries;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, visible);
    for (int b = finder.toNextBoundary(); b > 0; b = finder.toNextBoundary())
        boundaries.append(b);
    int cut = 0;
    qreal used = 0;
    for (const Run& run : runs) {
        const qreal full = advance(run, run.length);
        if (used + full <= room) {
            used += full;
            cut = run.start + run.length;
            continue;
        }
        // Inside this run: the last boundary whose start of the run still fits.
        auto lo = std::upper_bound(boundaries.cbegin(), boundaries.cend(), run.start);
        auto hi = std::lower_bound(boundaries.cbegin(), boundaries.cend(), run.start + run.length);
        while (lo < hi) {
            const auto mid = lo + (hi - lo) / 2;
            if (used + advance(run, *mid - run.start) <= room) {
                cut = *mid;
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        break;
    }
    QVector<Run> kept;
    for (const Run& run : runs) {
        if (run.start < cut)
            kept.append({run.start, std::min(run.length, cut - run.start), run.bold});
    }
    return Shown{visible.left(cut) + kEllipsis, rangesOf(kept)};
}

void FileTableItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    // Where the style would put the text, next to the icon.
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget).adjusted(2, 0, -2, 0);
    const QString name = index.data(Qt::DisplayRole).toString(); // as it is, not the style's display form
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    if (textRect.width() <= 0)
        return;

    const auto ranges = index.data(FileTableRoles::MatchRangesRole).value<FileTableRoles::MatchRanges>();
    const Shown shown = fit(name, ranges, opt.font, textRect.width());

    // The colour group the style painted the row's background with.
    QPalette::ColorGroup group = QPalette::Disabled;
    if (opt.state & QStyle::State_Enabled)
        group = (opt.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    const bool selected = opt.state & QStyle::State_Selected;
    const QFont bold = boldOf(opt.font);
    const QFontMetricsF plainMetrics(opt.font);
    const QFontMetricsF boldMetrics(bold);
    const qreal baseline = textRect.top() + (textRect.height() - plainMetrics.height()) / 2 + plainMetrics.ascent();

    painter->save();
    painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(textRect);
    qreal x = textRect.left();
    for (const Run& run : runsOf(shown.text, shown.ranges)) {
        const QString text = shown.text.mid(run.start, run.length);
        painter->setFont(run.bold ? bold : opt.font);
        painter->drawText(QPointF(x, baseline), text);
        x += (run.bold ? boldMetrics : plainMetrics).horizontalAdvance(text);
    }
    painter->restore();
}
