#include "ui/results/FileTableItemDelegate.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>

#include <algorithm>

void FileTableItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);

    QTextDocument document;
    document.setDocumentMargin(0);
    document.setDefaultFont(opt.font);
    document.setHtml(opt.text);
    opt.text.clear();

    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const QSize iconSize = opt.icon.isNull()
        ? QSize(0, 0)
        : opt.icon.actualSize(opt.decorationSize, QIcon::Normal, QIcon::Off);
    const int left = opt.rect.left() + (iconSize.width() > 0 ? iconSize.width() + 5 : 0) + 3;
    const QRect clip(0, 0, opt.rect.right() - left, opt.rect.height());

    const bool selected = (opt.state & QStyle::State_Selected) && (opt.state & QStyle::State_Active);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = opt.palette;
    const QColor text = selected ? opt.palette.color(QPalette::Active, QPalette::HighlightedText)
                                 : opt.palette.color(QPalette::Active, QPalette::Text);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        context.palette.setColor(group, QPalette::Text, text);
    context.clip = clip;

    painter->save();
    const int top = opt.rect.top() + std::max(0, (opt.rect.height() - int(document.size().height())) / 2);
    painter->translate(left, top);
    painter->setClipRect(clip);
    document.documentLayout()->draw(painter, context);
    painter->restore();
}
