// FileTableItemDelegate: paints the Name column: the icon, then the name exactly as it is (plain
// text: blanks, leading blanks and "<", "&" all shown) with the parts the search matched in
// bold (the model's MatchRangesRole). A name wider than its cell is cut at the end with "…",
// as the other columns are, and the bold parts stay where they are. Control characters show
// as their visible symbols. The text takes the palette's highlighted-text colour in a selected
// row of an active window and the text colour otherwise, so it reads on light and dark themes.
#pragma once

#include <QFont>
#include <QList>
#include <QPair>
#include <QString>
#include <QStyledItemDelegate>

class FileTableItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // What is drawn for `name` with bold `ranges` in `width` pixels of `font`: the name itself
    // when it fits, else its longest start that fits with "…" after it; the ranges cut to it.
    struct Shown
    {
        QString text;
        QList<QPair<int, int>> ranges;
    };
    static Shown fit(const QString& name, const QList<QPair<int, int>>& ranges, const QFont& font, int width);
};
