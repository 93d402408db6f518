// FileTableItemDelegate: paints the Name column, whose text is rich text (the matched parts in
// bold), after the icon. The text takes the palette's highlighted-text colour in a selected row
// of an active window and the text colour otherwise, so it reads on light and dark themes.
#pragma once

#include <QStyledItemDelegate>

class FileTableItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
