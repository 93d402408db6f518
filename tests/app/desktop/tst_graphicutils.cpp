// File icons chosen by name alone and the size of the desktop.
#include "app/desktop/GraphicUtils.h"

#include <QGuiApplication>
#include <QMimeDatabase>
#include <QScreen>
#include <QtTest>

class TestGraphicUtils : public QObject
{
    Q_OBJECT

private slots:
    void desktopSizeIsPrimaryScreensExclusiveCorner()
    {
        int width = -1;
        int height = -1;
        desktopSize(width, height);
        const QRect geometry = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(width, geometry.right() + 1);
        QCOMPARE(height, geometry.bottom() + 1);
        QVERIFY(width > 0 && height > 0);
    }

    void iconFromNameAlone()
    {
        const QString missing = QStringLiteral("/no/such/folder/report.pdf");
        QVERIFY(!QFileInfo::exists(missing));
        QVERIFY(!fileIcon(missing).isNull());
        QVERIFY(!QFileInfo::exists(missing)); // nothing was created or touched

        const QMimeDatabase database;
        const QMimeType pdf = database.mimeTypeForName(QStringLiteral("application/pdf"));
        const QString name = fileIconName(missing);
        if (name.isEmpty())
            QSKIP("no icon theme installed");
        QVERIFY2(name == pdf.iconName() || name == pdf.genericIconName() || name == QLatin1String("text-x-generic"), qPrintable(name));
        // A folder, known by its trailing "/" alone, gets the folder icon.
        QCOMPARE(fileIconName(QStringLiteral("/x/folder/")), QStringLiteral("folder"));
        QVERIFY(!fileIcon(QStringLiteral("no-extension-at-all")).isNull());
    }
};

QTEST_MAIN(TestGraphicUtils)
#include "tst_graphicutils.moc"
