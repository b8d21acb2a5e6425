#include "pagecontrol.h"

#include "helpcontext.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QSignalBlocker>

TTabBar::TTabBar(QWidget* parent) : QTabBar(parent) {}

int TTabBar::ProbeSelection(const std::function<void()>& handler) {
    const int before = currentIndex();
    int after = before;
    {
        // With the signals blocked the page control does not follow the tab
        // bar, so nothing but the tab bar's own index changes, and that is
        // put back at once.
        const QSignalBlocker blocker(this);
        handler();
        after = currentIndex();
        if (after != before) {
            setCurrentIndex(before);
        }
    }
    return after;
}

void TTabBar::probe(const std::function<void()>& handler) {
    const int target = ProbeSelection(handler);
    if (target != currentIndex() && target >= 0) {
        emit UserSelects(target);
    }
}

void TTabBar::mousePressEvent(QMouseEvent* event) {
    probe([this, event] { QTabBar::mousePressEvent(event); });
}

void TTabBar::mouseReleaseEvent(QMouseEvent* event) {
    probe([this, event] { QTabBar::mouseReleaseEvent(event); });
}

void TTabBar::keyPressEvent(QKeyEvent* event) {
    probe([this, event] { QTabBar::keyPressEvent(event); });
}

#if QT_CONFIG(wheelevent)
void TTabBar::wheelEvent(QWheelEvent* event) {
    probe([this, event] { QTabBar::wheelEvent(event); });
}
#endif

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent), FTabs(new TTabBar(this)) {
    setTabBar(FTabs);
    setTabPosition(QTabWidget::South);
    connect(FTabs, &TTabBar::UserSelects, this, &TPageControl::SelectByUser);
    // Help on the tab bar, and while nothing in the window has the focus, is
    // help on the current page.
    SetHelpStandIn(this);
    connect(this, &QTabWidget::currentChanged, this,
            [this] { SetHelpContext(this, OwnHelpContext(currentWidget())); });
    // Ctrl+Tab and Ctrl+Shift+Tab change the page wherever the focus is in
    // the window, also in a grid or an editor that would take Tab for
    // itself; the change is the user's, checked as a click on the tab is.
    const auto next = [this] {
        if (count() > 0) {
            SelectByUser((currentIndex() + 1) % count());
        }
    };
    const auto previous = [this] {
        if (count() > 0) {
            SelectByUser((currentIndex() + count() - 1) % count());
        }
    };
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this, next, Qt::WindowShortcut);
    // The keyboard reports Shift+Tab as Backtab; both spellings are taken.
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)}) {
        new QShortcut(keys, this, previous, Qt::WindowShortcut);
    }
}

void TPageControl::SelectByUser(int index) {
    if (index < 0 || index >= count() || index == currentIndex()) {
        return;
    }
    if (OnChanging && !OnChanging()) {
        return;
    }
    setCurrentIndex(index);
    if (OnChange) {
        OnChange();
    }
}

void TPageControl::SetActivePage(int index) {
    setCurrentIndex(index);
}

void TPageControl::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Tab, Ctrl+Shift+Tab and Ctrl+PgUp/PgDn select tabs here.
    const int target = FTabs->ProbeSelection([this, event] { QTabWidget::keyPressEvent(event); });
    if (target != currentIndex() && target >= 0) {
        SelectByUser(target);
    }
}
