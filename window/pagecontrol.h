// The page control of the main window: tabs at the bottom, and every change
// of page that the user makes (mouse, keyboard, wheel) is first put to a check
// that may refuse it.
#pragma once

#include <QTabBar>
#include <QTabWidget>
#include <functional>

class TTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit TTabBar(QWidget* parent = nullptr);

    // Runs a handler of the tab bar (or of the page control) that may select
    // another tab, without letting the selection happen; returns the tab it
    // would have selected, or the current one.
    int ProbeSelection(const std::function<void()>& handler);

signals:
    // The user selects tab index (not the current one).
    void UserSelects(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
#if QT_CONFIG(wheelevent)
    void wheelEvent(QWheelEvent* event) override;
#endif

private:
    void probe(const std::function<void()>& handler);
};

class TPageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

    // The check before a change by the user (the old page still current):
    // returns whether the change is allowed.
    std::function<bool()> OnChanging;
    // Runs after an allowed change, with the new page current.
    std::function<void()> OnChange;

    // A change by the user, as a click on tab index makes it.
    void SelectByUser(int index);
    // A change made by the program itself: no check runs.
    void SetActivePage(int index);

    TTabBar* Tabs() const { return FTabs; }

    // The tag: the page the user is leaving while a change is decided, and
    // the current page afterwards.
    int Tag = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TTabBar* FTabs;
};
