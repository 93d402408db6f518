#include "app/GraphicUtils.h"

#include <QDir>
#include <QFileIconProvider>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QScreen>

namespace {

// Without a desktop's platform theme Qt only knows "hicolor", which has no file-type icons;
// the desktop's usual theme then serves as the fallback.
void ensureFallbackTheme()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QString fallback = QIcon::fallbackThemeName();
    if (!fallback.isEmpty() && fallback != QLatin1String("hicolor"))
        return;
    const QStringList paths = QIcon::themeSearchPaths();
    for (const QString& folder : paths) {
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
    ensureFallbackTheme();
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
