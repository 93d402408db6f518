// FileTableItemDelegate: paints the Name column: the icon, then the name exactly as it is (plain
// text: blanks, leading blanks and "<", "&" all shown) with the parts the search matched in
// bold (FileTableRoles::MatchRangesRole). The name is drawn as runs of plain and bold text with
// QPainter, measured with QFontMetricsF; nothing is parsed or laid out as rich text. A name
// wider than its cell is cut at the end with "…", as the other columns are, never inside a
// character (a surrogate pair or a letter with its combining marks), and the bold parts stay
// where they are. Control characters show as their visible symbols. The text takes the
// palette's highlighted-text colour in a selected row and the text colour otherwise, of the
// colour group the style paints the row with (active, inactive or disabled), so it reads on
// light and dark themes. Runs are drawn left to right in the order of the name.
#pragma once

#include "ui/results/FileTableRoles.h"

#include <QFont>
#include <QString>
#include <QStyledItemDelegate>

class FileTableItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // What is drawn for `name` with bold `ranges` in `width` pixels of `font`: the name itself
    // when it fits, else its longest start that fits with "…" after it; the ranges cut to it
    // (ranges outside the name are dropped, ranges running past it end with it).
    struct Shown
    {
        QString text;
        FileTableRoles::MatchRanges ranges;
    };
    static Shown fit(const QString& name, const FileTableRoles::MatchRanges& ranges, const QFont& font, qreal width);
    // The width of `shown` drawn in `font` with its ranges bold.
    static qreal shownWidth(const Shown& shown, const QFont& font);
};
