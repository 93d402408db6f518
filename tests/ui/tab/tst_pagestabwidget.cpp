// The tab set: the last tab is cleared instead of removed, "Close other tabs" keeps exactly the
// current one, removed tabs are deleted later, and the menu appears only over the current tab.
#include "ui/tab/PagesTabWidget.h"
#include "tests/ui/uitestutil.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTabBar>
#include <QtTest>

class TestPagesTabWidget : public QObject
{
    Q_OBJECT

    static void addTabs(PagesTabWidget& tabs, int n)
    {
        for (int i = 0; i < n; ++i)
            tabs.addTab(new QLabel(QString::number(i)), QStringLiteral("Tab %1").arg(i));
    }

private slots:
    void lastTabIsClearedNotRemoved()
    {
        PagesTabWidget tabs;
        addTabs(tabs, 1);
        QSignalSpy cleared(&tabs, &PagesTabWidget::clearTab);
        tabs.closeTab();
        QCOMPARE(tabs.count(), 1);
        QCOMPARE(cleared.count(), 1);
    }

    void closeOtherTabsKeepsTheCurrentOne()
    {
        PagesTabWidget tabs;
        addTabs(tabs, 5);
        tabs.setCurrentIndex(2);
        QPointer<QWidget> kept = tabs.widget(2);
        QPointer<QWidget> gone = tabs.widget(4);
        tabs.closeOtherTabs();
        QCOMPARE(tabs.count(), 1);
        QCOMPARE(tabs.currentWidget(), kept.data());
        QVERIFY(gone); // deleted later, not at once
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!gone);
        QVERIFY(kept);
    }

    void menuOnlyOverTheCurrentTab()
    {
        uitest::ScriptedPrompter prompter;
        PagesTabWidget tabs(nullptr, &prompter);
        addTabs(tabs, 3);
        tabs.resize(600, 300);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        tabs.setCurrentIndex(1);
        auto pointOf = [&](int index) { return tabs.tabBar()->mapTo(&tabs, tabs.tabBar()->tabRect(index).center()); };
        tabs.customContextMenuRequested(pointOf(0));
        QVERIFY(prompter.asked.isEmpty());
        tabs.customContextMenuRequested(QPoint(590, 5)); // empty part of the bar
        QVERIFY(prompter.asked.isEmpty());

        QSignalSpy duplicated(&tabs, &PagesTabWidget::duplicateTab);
        QStringList offered;
        prompter.menuChooser = [&](QMenu* menu) {
            for (QAction* a : menu->actions())
                offered << a->text();
            return uitest::findAction(menu, QStringLiteral("Duplicate"));
        };
        tabs.customContextMenuRequested(pointOf(1));
        QCOMPARE(offered, (QStringList{"New tab", "Duplicate", "Close", "Close other tabs"}));
        QCOMPARE(duplicated.count(), 1);

        prompter.menuChooser = [](QMenu* menu) { return uitest::findAction(menu, QStringLiteral("Close")); };
        tabs.customContextMenuRequested(pointOf(1));
        QCOMPARE(tabs.count(), 2);
    }
};

QTEST_MAIN(TestPagesTabWidget)
#include "tst_pagestabwidget.moc"
