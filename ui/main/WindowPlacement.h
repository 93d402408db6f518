// WindowPlacement: the checks the main window applies to the placement it saved, before it
// uses it again.
//
// Decisions on this system (the saved values are used as they are only when they are sound):
// - A saved window size of zero or less, a size larger than the desktop, or a window that lies
//   on no screen (a monitor that is gone) is not used as such: a window whose screen is gone
//   comes back on the primary screen, centred, with its size cut to that screen; an empty size
//   leaves the placement to the window system (the form's default size).
// - A window partly off its screen is moved onto it whole (its size cut to the screen's when
//   larger).
// - A window counts as on a screen when a strip of its top edge (where the title bar is, at
//   least kMinVisible pixels wide and high) lies on that screen's available area.
// - Toolbars may only stand at the top or the bottom: any other saved area becomes the top.
// - The search-parameters dock takes a saved area only when it is one of the four sides
//   (else the left side); a floating dock whose rectangle is on no screen is docked again.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

namespace WindowPlacement {

constexpr int kMinVisible = 40;

// The geometry to give the window for a saved position and size; a null rectangle when the
// window system should place it. `screens` are the available areas of the screens, the first
// being the primary screen.
QRect restoredGeometry(const QPoint& pos, const QSize& size, const QList<QRect>& screens);

// Whether the top strip of `rect` lies on one of `screens`.
bool isOnScreen(const QRect& rect, const QList<QRect>& screens);

Qt::ToolBarArea toolBarArea(int saved);
Qt::DockWidgetArea dockArea(int saved);

// The available areas of the screens, the primary one first.
QList<QRect> screenAreas();

} // namespace WindowPlacement
