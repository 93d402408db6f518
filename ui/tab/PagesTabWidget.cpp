#include "ui/tab/PagesTabWidget.h"

#include "ui/common/Prompter.h"

#include <QMenu>
#include <QTabBar>

PagesTabWidget::PagesTabWidget(QWidget* parent, Prompter* prompter)
    : QTabWidget(parent), prompter_(prompter)
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            static_cast<void (PagesTabWidget::*)(const QPoint&)>(&PagesTabWidget::customContextMenuRequested));
    connect(this, &QTabWidget::tabCloseRequested, this, &PagesTabWidget::onTabCloseRequested);
}

void PagesTabWidget::customContextMenuRequested(const QPoint& point)
{
    const int current = currentIndex();
    if (current < 0 || !prompter_)
        return;
    if (!tabBar()->tabRect(current).contains(tabBar()->mapFrom(this, point)))
        return;
    QMenu menu(this);
    QAction* newTabAction = menu.addAction(tr("New tab"));
    QAction* duplicate = menu.addAction(tr("Duplicate"));
    QAction* close = menu.addAction(tr("Close"));
    QAction* closeOthers = menu.addAction(tr("Close other tabs"));
    QAction* chosen = prompter_->execMenu(&menu, mapToGlobal(point));
    if (chosen == newTabAction)
        emit newTab();
    else if (chosen == duplicate)
        emit duplicateTab();
    else if (chosen == close)
        closeTab();
    else if (chosen == closeOthers)
        closeOtherTabs();
}

void PagesTabWidget::onTabCloseRequested(int index)
{
    if (count() < 2) {
        emit clearTab();
        return;
    }
    QWidget* page = widget(index);
    if (!page)
        return;
    removeTab(index);
    page->deleteLater();
}

void PagesTabWidget::closeTab(int index)
{
    emit tabCloseRequested(index);
}

void PagesTabWidget::closeTab()
{
    emit tabCloseRequested(currentIndex());
}

void PagesTabWidget::closeOtherTabs()
{
    const int keep = currentIndex();
    for (int i = count() - 1; i >= 0; --i) {
        if (i != keep)
            emit tabCloseRequested(i);
    }
}
