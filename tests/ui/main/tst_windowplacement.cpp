// The checks on a saved window placement before it is used again.
#include "ui/main/WindowPlacement.h"

#include <QtTest>

using namespace WindowPlacement;

class WindowPlacementTest : public QObject
{
    Q_OBJECT

private slots:
    void restoredGeometry_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("expected");
        // One screen 1280x800 at the origin; a second 1920x1080 to its right.
        QTest::newRow("inside") << QPoint(100, 50) << QSize(800, 600) << QRect(100, 50, 800, 600);
        QTest::newRow("on the second screen") << QPoint(1400, 100) << QSize(1000, 700) << QRect(1400, 100, 1000, 700);
        QTest::newRow("zero size") << QPoint(100, 50) << QSize(0, 0) << QRect();
        QTest::newRow("negative size") << QPoint(100, 50) << QSize(-5, 300) << QRect();
        QTest::newRow("partly off the right edge") << QPoint(470, 270) << QSize(930, 550) << QRect(350, 250, 930, 550);
        QTest::newRow("larger than its screen") << QPoint(10, 10) << QSize(2000, 1000) << QRect(0, 0, 1280, 800);
        // A monitor that is gone: the window comes back, centred, on the primary screen.
        QTest::newRow("screen gone") << QPoint(5000, 3000) << QSize(600, 400) << QRect(340, 200, 600, 400);
        QTest::newRow("title bar above every screen") << QPoint(100, -500) << QSize(600, 400) << QRect(340, 200, 600, 400);
    }
    void restoredGeometry()
    {
        QFETCH(QPoint, pos);
        QFETCH(QSize, size);
        QFETCH(QRect, expected);
        const QList<QRect> screens{QRect(0, 0, 1280, 800), QRect(1280, 0, 1920, 1080)};
        QCOMPARE(WindowPlacement::restoredGeometry(pos, size, screens), expected);
    }

    void noScreenLeavesPlacementToTheSystem()
    {
        QCOMPARE(WindowPlacement::restoredGeometry(QPoint(0, 0), QSize(300, 300), {}), QRect());
    }

    void onScreen()
    {
        const QList<QRect> screens{QRect(0, 0, 1280, 800)};
        QVERIFY(isOnScreen(QRect(0, 0, 100, 100), screens));
        QVERIFY(isOnScreen(QRect(1240, 10, 400, 300), screens)); // 40 px of title bar to grab
        QVERIFY(!isOnScreen(QRect(1250, 10, 400, 300), screens)); // 30 px: too little
        QVERIFY(!isOnScreen(QRect(10, 790, 400, 300), screens));
        QVERIFY(!isOnScreen(QRect(10, 10, 0, 0), screens));
    }

    void areas()
    {
        QCOMPARE(toolBarArea(Qt::TopToolBarArea), Qt::TopToolBarArea);
        QCOMPARE(toolBarArea(Qt::BottomToolBarArea), Qt::BottomToolBarArea);
        QCOMPARE(toolBarArea(Qt::LeftToolBarArea), Qt::TopToolBarArea);
        QCOMPARE(toolBarArea(0), Qt::TopToolBarArea);
        QCOMPARE(toolBarArea(12), Qt::TopToolBarArea);
        QCOMPARE(dockArea(Qt::RightDockWidgetArea), Qt::RightDockWidgetArea);
        QCOMPARE(dockArea(Qt::BottomDockWidgetArea), Qt::BottomDockWidgetArea);
        QCOMPARE(dockArea(0), Qt::LeftDockWidgetArea);
        QCOMPARE(dockArea(3), Qt::LeftDockWidgetArea);
        QCOMPARE(dockArea(-1), Qt::LeftDockWidgetArea);
    }
};

QTEST_GUILESS_MAIN(WindowPlacementTest)
#include "tst_windowplacement.moc"
