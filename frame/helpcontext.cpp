#include "helpcontext.h"

#include "helpselector.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace {

constexpr const char* HelpStandInProperty = "helpStandIn";

QWidget* standInOf(const QWidget* window) {
    if (!window) {
        return nullptr;
    }
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (child->window() == window && child->property(HelpStandInProperty).toBool()) {
            return child;
        }
    }
    return nullptr;
}

// The topic for a help request with focus on the focused control (or none)
// in window.
int helpContextIn(const QWidget* focus, const QWidget* window) {
    if (focus && !focus->isWindow()) {
        return HelpContextFor(focus);
    }
    const QWidget* w = focus ? focus : window;
    if (const QWidget* standIn = standInOf(w ? w->window() : nullptr)) {
        return HelpContextFor(standIn);
    }
    return HelpContextFor(w);
}

class TF1Filter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) {
            return false;
        }
        // Without an active window, the window that receives the key.
        const QWidget* window = QApplication::activeWindow();
        if (!window) {
            window = static_cast<QWidget*>(watched)->window();
        }
        const int context = helpContextIn(QApplication::focusWidget(), window);
        if (context <= 0) {
            return false;
        }
        HelpSelector::ShowTopic(context);
        return true;
    }
};

} // namespace

void SetHelpContext(QWidget* widget, int context) {
    if (widget) {
        widget->setProperty(HelpContextProperty, context);
    }
}

int OwnHelpContext(const QWidget* widget) {
    if (!widget) {
        return 0;
    }
    bool ok = false;
    const int context = widget->property(HelpContextProperty).toInt(&ok);
    return ok ? context : 0;
}

int HelpContextFor(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (const int context = OwnHelpContext(w); context > 0) {
            return context;
        }
    }
    return 0;
}

int ShowHelpFor(const QWidget* widget) {
    const int context = HelpContextFor(widget);
    if (context > 0) {
        HelpSelector::ShowTopic(context);
    }
    return context;
}

void SetHelpStandIn(QWidget* widget) {
    if (widget) {
        widget->setProperty(HelpStandInProperty, true);
    }
}

int CurrentHelpContext() {
    return helpContextIn(QApplication::focusWidget(), QApplication::activeWindow());
}

void InstallContextHelp() {
    static QPointer<TF1Filter> filter;
    if (!filter && qApp) {
        filter = new TF1Filter(qApp);
        qApp->installEventFilter(filter);
    }
}
