// PathItemDelegate: paints the Path column with the text elided in the middle, so both the
// start of a long folder path and its last folders stay readable.
#pragma once

#include <QStyledItemDelegate>

class PathItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
