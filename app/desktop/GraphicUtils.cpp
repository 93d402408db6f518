#include "app/desktop/GraphicUtils.h"

#include <QDir>
#include <QFileIconProvider>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QScreen>

namespace {

// Without a desktop's platform theme (a bare window manager, or no display) Qt knows no icon
// folders and no theme. Then the XDG icon folders are added, "hicolor" (the base every theme
// inherits) becomes the theme and the desktop's usual "Adwaita" the fallback theme.
void ensureIconTheme()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QStringList paths = QIcon::themeSearchPaths();
    QStringList dataDirs = qEnvironmentVariable("XDG_DATA_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (dataDirs.isEmpty())
        dataDirs << QStringLiteral("/usr/local/share") << QStringLiteral("/usr/share");
    for (const QString& dir : qAsConst(dataDirs)) {
        const QString icons = dir + QStringLiteral("/icons");
        if (!paths.contains(icons) && QDir(icons).exists())
            paths << icons;
    }
    QIcon::setThemeSearchPaths(paths);
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(QStringLiteral("hicolor"));
    const QString fallback = QIcon::fallbackThemeName();
    if (!fallback.isEmpty() && fallback != QLatin1String("hicolor"))
        return;
    for (const QString& folder : qAsConst(paths)) {
        if (QDir(folder + QStringLiteral("/Adwaita")).exists()) {
            QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
            return;
        }
    }
}

} // namespace

void desktopSize(int& width, int& height)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect geometry = screen->geometry();
    width = geometry.x() + geometry.width();
    height = geometry.y() + geometry.height();
}

QString fileIconName(const QString& path)
{
    ensureIconTheme();
    QStringList candidates;
    if (path.endsWith(QLatin1Char('/'))) {
        candidates << QStringLiteral("folder") << QStringLiteral("inode-directory");
    } else {
        static const QMimeDatabase database;
        const QMimeType type = database.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
        candidates << type.iconName() << type.genericIconName();
    }
    candidates << QStringLiteral("text-x-generic") << QStringLiteral("unknown");
    for (const QString& name : qAsConst(candidates)) {
        if (!name.isEmpty() && QIcon::hasThemeIcon(name))
            return name;
    }
    return QString();
}

QIcon fileIcon(const QString& path)
{
    const QString name = fileIconName(path);
    if (!name.isEmpty())
        return QIcon::fromTheme(name);
    // No theme at all: Qt's own generic icons.
    static const QFileIconProvider provider;
    return provider.icon(path.endsWith(QLatin1Char('/')) ? QFileIconProvider::Folder : QFileIconProvider::File);
}
