#include "ui/main/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace WindowPlacement {

bool isOnScreen(const QRect& rect, const QList<QRect>& screens)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return false;
    const QRect topStrip(rect.left(), rect.top(), rect.width(), qMin(rect.height(), kMinVisible));
    for (const QRect& screen : screens) {
        const QRect common = screen.intersected(topStrip);
        if (common.width() >= qMin(kMinVisible, rect.width()) && common.height() >= qMin(kMinVisible / 2, topStrip.height()))
            return true;
    }
    return false;
}

QRect restoredGeometry(const QPoint& pos, const QSize& size, const QList<QRect>& screens)
{
    if (screens.isEmpty() || size.width() <= 0 || size.height() <= 0)
        return QRect();
    const QRect saved(pos, size);
    for (const QRect& screen : screens) {
        if (!isOnScreen(saved, {screen}))
            continue;
        if (screen.contains(saved))
            return saved;
        // Partly off its screen, or larger than it: move it onto the screen, cutting the size
        // to the screen's when it does not fit.
        const QSize cut = size.boundedTo(screen.size());
        QPoint corner(qBound(screen.left(), pos.x(), screen.right() - cut.width() + 1),
                      qBound(screen.top(), pos.y(), screen.bottom() - cut.height() + 1));
        return QRect(corner, cut);
    }
    const QRect primary = screens.first();
    const QSize cut = size.boundedTo(primary.size());
    QRect placed(QPoint(0, 0), cut);
    placed.moveCenter(primary.center());
    return placed;
}

Qt::ToolBarArea toolBarArea(int saved)
{
    return saved == Qt::BottomToolBarArea ? Qt::BottomToolBarArea : Qt::TopToolBarArea;
}

Qt::DockWidgetArea dockArea(int saved)
{
    switch (saved) {
    case Qt::LeftDockWidgetArea:
    case Qt::RightDockWidgetArea:
    case Qt::TopDockWidgetArea:
    case Qt::BottomDockWidgetArea:
        return static_cast<Qt::DockWidgetArea>(saved);
    default:
        return Qt::LeftDockWidgetArea;
    }
}

QList<QRect> screenAreas()
{
    QList<QRect> areas;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens)
        if (screen != QGuiApplication::primaryScreen())
            areas << screen->availableGeometry();
    return areas;
}

} // namespace WindowPlacement
