#include "ui/search/SearchFormScrollArea.h"

#include <QEvent>
#include <QScrollBar>

SearchFormScrollArea::SearchFormScrollArea(QWidget* parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A new minimum width of the form is posted to its parent, the viewport.
    viewport()->installEventFilter(this);
}

void SearchFormScrollArea::setForm(QWidget* form)
{
    setWidget(form);
    form->installEventFilter(this);
    updateGeometry();
}

int SearchFormScrollArea::sideRoom() const
{
    return verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}

QSize SearchFormScrollArea::sizeHint() const
{
    if (!widget())
        return QScrollArea::sizeHint();
    const QSize form = widget()->sizeHint();
    return QSize(qMax(form.width(), widget()->minimumWidth()) + sideRoom(), form.height() + 2 * frameWidth());
}

QSize SearchFormScrollArea::minimumSizeHint() const
{
    if (!widget())
        return QScrollArea::minimumSizeHint();
    const int formWidth = qMax(widget()->minimumWidth(), widget()->minimumSizeHint().width());
    return QSize(formWidth + sideRoom(), QScrollArea::minimumSizeHint().height());
}

bool SearchFormScrollArea::eventFilter(QObject* watched, QEvent* event)
{
    // The form's minimum width follows its texts (a language change): the dock follows it.
    if ((watched == widget() || watched == viewport()) && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}
