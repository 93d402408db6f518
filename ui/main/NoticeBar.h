// NoticeBar: a line of information across the top of the window's contents (an icon, a text
// that wraps and can be selected, and a button that closes it), for what the user should know
// without being stopped by a dialog, such as why there is no index.
#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

class NoticeBar : public QFrame
{
    Q_OBJECT
public:
    explicit NoticeBar(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;

private:
    QLabel* icon_;
    QLabel* text_;
    QToolButton* close_;
};
