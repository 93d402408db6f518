// SearchFormScrollArea: holds the search form in its dock. The form scrolls when its open
// sections are taller than the dock, so opening one never makes the window taller than the
// screen; its width is the form's own minimum (with room for the scroll bar), so the form is
// never cut at the side and needs no horizontal scroll bar.
#pragma once

#include <QScrollArea>

class SearchFormScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit SearchFormScrollArea(QWidget* parent = nullptr);

    // Takes the form (owned from then on).
    void setForm(QWidget* form);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int sideRoom() const;
};
