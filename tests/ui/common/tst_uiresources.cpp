// The images compiled into the static interface library are registered and render, on the
// offscreen platform as in the program.
#include "ui/common/UiResources.h"

#include <QDirIterator>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QtTest>

class TestUiResources : public QObject
{
    Q_OBJECT

private slots:
    void everyImageLoadsAndIsNotBlank()
    {
        initUiResources();
        QStringList images;
        QDirIterator it(QStringLiteral(":/images"), QDirIterator::Subdirectories);
        while (it.hasNext())
            images << it.next();
        QVERIFY2(!images.isEmpty(), "no image registered: the resource file was not initialised");
        for (const QString& path : qAsConst(images)) {
            QImageReader reader(path);
            reader.setScaledSize(QSize(32, 32));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(": ") + reader.errorString()));
            bool painted = false;
            for (int y = 0; y < image.height() && !painted; ++y)
                for (int x = 0; x < image.width() && !painted; ++x)
                    painted = qAlpha(image.pixel(x, y)) > 0;
            QVERIFY2(painted, qPrintable(path + QStringLiteral(" renders fully transparent")));
        }
    }

    void applicationIconHasSizes()
    {
        const QIcon icon = applicationIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(!icon.pixmap(16, 16).isNull());
        QVERIFY(!icon.pixmap(78, 78).isNull());
    }
};

QTEST_MAIN(TestUiResources)
#include "tst_uiresources.moc"
