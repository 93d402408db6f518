#include "ui/preview/LocationPane.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>

LocationPane::LocationPane(QWidget* parent)
    : QFrame(parent), background(QApplication::palette().color(QPalette::Button))
{
    setMinimumWidth(24);
    setMaximumWidth(24);
}

void LocationPane::setTextEdit(QPlainTextEdit* editor)
{
    if (textEdit)
        disconnect(textEdit->verticalScrollBar(), nullptr, this, nullptr);
    textEdit = editor;
    if (editor)
        connect(editor->verticalScrollBar(), &QScrollBar::valueChanged, this, [this]() { update(); });
    update();
}

void LocationPane::setMatches(int lineCount, const QList<int>& lines)
{
    lineCount_ = std::max(0, lineCount);
    ranges_.clear();
    int previous = 0;
    for (int line : lines) {
        if (!ranges_.isEmpty() && line == previous + 1)
            ++ranges_.last().second;
        else if (ranges_.isEmpty() || line != previous)
            ranges_.append({line, 1});
        previous = line;
    }
    update();
}

void LocationPane::clear()
{
    lineCount_ = 0;
    ranges_.clear();
    update();
}

QRect LocationPane::innerRect() const
{
    const int w = lineWidth();
    return rect().adjusted(w + 8, w + 8, -(w + 8), -(w + 8));
}

int LocationPane::visibleLines() const
{
    if (!textEdit)
        return 0;
    const int spacing = textEdit->fontMetrics().lineSpacing();
    return spacing > 0 ? textEdit->height() / spacing : 0;
}

void LocationPane::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const int w = lineWidth();
    painter.fillRect(rect().adjusted(w, w, -w, -w), background);
    const QRect inner = innerRect();
    if (inner.width() > 0 && inner.height() > 0) {
        painter.fillRect(inner, Qt::white);
        painter.setPen(Qt::darkGray);
        painter.drawRect(inner.adjusted(-1, -1, 0, 0));
        if (lineCount_ > 0) {
            painter.save();
            painter.setClipRect(inner);
            for (const auto& range : qAsConst(ranges_)) {
                const int top = int(float(range.first) / float(lineCount_) * float(inner.height()));
                const int height = std::max(1, int(float(range.second) / float(lineCount_) * float(inner.height())));
                painter.fillRect(QRect(inner.left(), inner.top() + top, inner.width(), height), QColor(239, 203, 5));
            }
            painter.restore();
            if (textEdit) {
                const int visible = visibleLines();
                const int markerHeight = std::min(
                    inner.height(),
                    std::max(6, int(float(visible) / float(lineCount_) * float(inner.height() + 1))));
                const QScrollBar* bar = textEdit->verticalScrollBar();
                const float fraction = bar->maximum() > 0
                    ? std::clamp(float(bar->value()) / float(bar->maximum()), 0.0f, 1.0f)
                    : 0.0f;
                const int top = inner.top() + int(float(inner.height() - markerHeight) * fraction);
                painter.setPen(QColor(128, 128, 255));
                painter.setBrush(QColor(128, 128, 255, 128));
                painter.drawRect(QRect(0, top, width() - 1, markerHeight));
            }
        }
    }
    painter.end();
    QFrame::paintEvent(event);
}

void LocationPane::scrollTo(int y)
{
    if (!textEdit || lineCount_ <= 0)
        return;
    const QRect inner = innerRect();
    const int span = inner.bottom() - inner.top() + 1;
    const int marker = int(float(visibleLines()) / float(lineCount_) * float(span));
    const int range = inner.bottom() - inner.top() - marker;
    if (range <= 0)
        return; // everything is visible (or the strip has no height): nothing to scroll to
    const float fraction = std::clamp(float(y - marker / 2 - inner.top()) / float(range), 0.0f, 1.0f);
    QScrollBar* bar = textEdit->verticalScrollBar();
    bar->setValue(int(float(bar->maximum()) * fraction));
}

void LocationPane::mousePressEvent(QMouseEvent* event)
{
    scrollTo(event->pos().y());
}

void LocationPane::mouseMoveEvent(QMouseEvent* event)
{
    scrollTo(event->pos().y());
}
