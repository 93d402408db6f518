// LocationPane: a narrow strip beside the file text showing where the matching lines lie
// (scaled to the strip's height), with a marker over the part of the text that is visible; a
// click or drag scrolls the text there.
//
// Guarded against what plain scaling would divide by: no lines, an editor or strip without
// height, an editor without font height; fractions are clamped to the scroll range.
#pragma once

#include <QColor>
#include <QFrame>
#include <QList>
#include <QPair>
#include <QPointer>

class QPlainTextEdit;

class LocationPane : public QFrame
{
    Q_OBJECT
public:
    explicit LocationPane(QWidget* parent = nullptr);

    void setTextEdit(QPlainTextEdit* editor);
    // `lines` ascending; consecutive lines merge into one range (first line, count).
    void setMatches(int lineCount, const QList<int>& lines);
    void clear();

    int lineCount() const { return lineCount_; }
    const QList<QPair<int, int>>& ranges() const { return ranges_; }
    // The inner area the ranges are drawn in.
    QRect innerRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int visibleLines() const;
    void scrollTo(int y);

    int lineCount_ = 0;
    QList<QPair<int, int>> ranges_;
    QPointer<QPlainTextEdit> textEdit;
    QColor background;
};
