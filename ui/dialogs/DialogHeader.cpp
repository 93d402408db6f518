#include "ui/dialogs/DialogHeader.h"

#include "ui/common/UiResources.h"

#include <QPainter>

DialogHeader::DialogHeader(QWidget* parent)
    : QLabel(parent)
{
    initUiResources();
    setStyleSheet(backgroundStyleSheet());
    setMinimumHeight(90);
    setScaledContents(true);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QString DialogHeader::backgroundStyleSheet()
{
    return QStringLiteral("border-image: url(:/images/HeaderBackground.svg) 0 0 0 0 stretch stretch;");
}

void DialogHeader::setTexts(const QString& title, const QString& description)
{
    title_ = title;
    description_ = description;
    update();
}

void DialogHeader::setImage(const QImage& image)
{
    image_ = image;
    update();
}

void DialogHeader::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!image_.isNull())
        painter.drawImage(QPoint(6, 6), image_);

    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(15);
    font.setWeight(QFont::Bold);
    painter.setFont(font);
    painter.drawText(QPoint(10, 18), title_);

    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    painter.setFont(font);
    // A description too long for the banner is cut at the rectangle's bottom edge.
    const QRect descriptionRect(10, 25, width() - 20, 54);
    painter.setClipRect(descriptionRect);
    painter.drawText(descriptionRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, description_);
}
