// DialogHeader: the dark banner at the top of the program's dialogs. A label whose style sheet
// draws the background picture; on it the header paints an image at (6, 6), a bold title and a
// smaller wrapped description, all in white (the background is dark on every theme, so the
// white text reads the same on light and dark desktops).
//
// The constructor gives the label the program's header background and a minimum height of 90,
// so a form that places a DialogHeader needs no style sheet of its own; a form may still set
// one. The background is stretched to the label (border-image) instead of tiled, so wide
// dialogs show one continuous banner.
#pragma once

#include <QImage>
#include <QLabel>
#include <QString>

class DialogHeader : public QLabel
{
    Q_OBJECT

public:
    explicit DialogHeader(QWidget* parent = nullptr);

    // Stores both texts; they show on the next paint.
    void setTexts(const QString& title, const QString& description);
    void setImage(const QImage& image);

    QString title() const { return title_; }
    QString description() const { return description_; }
    QImage image() const { return image_; }

    // The style sheet that draws the header background.
    static QString backgroundStyleSheet();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    QString description_;
    QImage image_;
};
