#include "ui/results/FileTableItemDelegate.h"

#include "ui/results/CellText.h"
#include "ui/results/FileTableModel.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>

namespace {

const QChar kEllipsis(0x2026);

// One line of `text` in `font`, the `ranges` bold.
void layOut(QTextLayout& layout, const QString& text, const QList<QPair<int, int>>& ranges, const QFont& font)
{
    QFont bold = font;
    bold.setBold(true);
    QVector<QTextLayout::FormatRange> formats;
    for (const auto& r : ranges) {
        QTextLayout::FormatRange format;
        format.start = r.first;
        format.length = r.second;
        format.format.setFont(bold);
        formats.append(format);
    }
    layout.setText(text);
    layout.setFont(font);
    QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setFormats(formats);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(1e6);
    layout.endLayout();
}

} // namespace

FileTableItemDelegate::Shown FileTableItemDelegate::fit(const QString& name, const QList<QPair<int, int>>& ranges,
                                                        const QFont& font, int width)
{
    const QString visible = CellText::visibleText(name);
    QTextLayout layout;
    layOut(layout, visible, ranges, font);
    const QTextLine line = layout.lineAt(0);
    if (!line.isValid() || line.naturalTextWidth() <= width)
        return Shown{visible, ranges};
    // The longest start that leaves room for the ellipsis.
    const qreal room = width - QFontMetricsF(font).horizontalAdvance(kEllipsis);
    int cut = room <= 0 ? 0 : line.xToCursor(room, QTextLine::CursorBetweenCharacters);
    while (cut > 0 && line.cursorToX(cut) > room)
        --cut;
    if (cut > 0 && visible.at(cut - 1).isHighSurrogate())
        --cut;
    Shown shown{visible.left(cut) + kEllipsis, {}};
    for (const auto& r : ranges) {
        const int end = std::min(r.first + r.second, cut);
        if (end > r.first)
            shown.ranges.append({r.first, end - r.first});
    }
    return shown;
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

    const auto ranges = index.data(FileTableModel::MatchRangesRole).value<QList<QPair<int, int>>>();
    const Shown shown = fit(name, ranges, opt.font, textRect.width());
    QTextLayout layout;
    layOut(layout, shown.text, shown.ranges, opt.font);
    const QTextLine line = layout.lineAt(0);
    if (!line.isValid())
        return;

    const bool selected = (opt.state & QStyle::State_Selected) && (opt.state & QStyle::State_Active);
    painter->save();
    painter->setPen(opt.palette.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(textRect);
    const qreal top = textRect.top() + (textRect.height() - line.height()) / 2;
    layout.draw(painter, QPointF(textRect.left(), top));
    painter->restore();
}
