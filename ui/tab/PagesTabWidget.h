// PagesTabWidget: the main window's tab widget of search tabs. A context menu on the current
// tab offers "New tab", "Duplicate", "Close" and "Close other tabs". Every close goes through
// tabCloseRequested: the last tab is never removed but cleared (`clearTab`), another is
// removed at once and deleted once the event loop regains control (its search, if running, is
// given up by the tab itself).
//
// The menu runs through the Prompter. The point of a context-menu request is in the tab
// widget's coordinates; it is mapped into the tab bar's before it is compared with the current
// tab's rectangle.
#pragma once

#include <QTabWidget>

class Prompter;

class PagesTabWidget : public QTabWidget
{
    Q_OBJECT
public:
    explicit PagesTabWidget(QWidget* parent = nullptr, Prompter* prompter = nullptr);

    void setPrompter(Prompter* prompter) { prompter_ = prompter; }

signals:
    void newTab();
    void duplicateTab();
    void clearTab();

public slots:
    void customContextMenuRequested(const QPoint& point);
    void onTabCloseRequested(int index);
    void closeTab(int index);
    void closeTab();
    void closeOtherTabs();

private:
    Prompter* prompter_;
};
