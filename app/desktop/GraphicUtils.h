// Icons of files and the size of the desktop.
//
// fileIcon chooses the icon from the name alone (the file is not touched, it need not exist):
// the MIME type by name (QMimeDatabase, MatchExtension), then that type's icon from the icon
// theme, else its generic icon, else the theme's "text-x-generic"/"unknown"; a path ending in
// "/" gets the folder icon. When Qt was given no theme (no desktop platform theme), the XDG
// icon folders are added, "hicolor" becomes the theme and "Adwaita" the fallback theme.
// Without any theme it is Qt's generic file or folder icon. Theme icons carry their own alpha
// channel, so no mask conversion is needed on this system.
//
// desktopSize gives the right and bottom coordinates of the primary screen's geometry, as
// exclusive bounds (x + width, y + height); nothing is written when there is no screen.
#pragma once

#include <QIcon>
#include <QString>

void desktopSize(int& width, int& height);

QIcon fileIcon(const QString& path);

// The theme icon name fileIcon uses for the path (empty when the theme has none).
QString fileIconName(const QString& path);
