#include "ui/results/PathItemDelegate.h"

#include "ui/results/CellText.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

void PathItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = CellText::visibleText(opt.text);
    opt.text.clear();
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const bool selected = (opt.state & QStyle::State_Selected) && (opt.state & QStyle::State_Active);
    painter->save();
    painter->setPen(opt.palette.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    const QRect area = opt.rect.adjusted(3, 0, -3, 0);
    const QString shown = opt.fontMetrics.elidedText(text, Qt::ElideMiddle, area.width());
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
    painter->restore();
}
