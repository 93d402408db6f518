// The images of the user interface live in ui/resources/tallowquist.qrc, compiled into the
// static tq_ui library. A static library's resources are not registered by themselves: every
// program that shows our widgets calls initUiResources() once before the first widget, or the
// images are silently missing. Paths start with ":/images/".
#pragma once

#include <QIcon>

void initUiResources();

// The program's own icon (window, tray, About dialog).
QIcon applicationIcon();
