#include "helpcontext.h"

#include "helpselector.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace {

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
        const int context = CurrentHelpContext();
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

int CurrentHelpContext() {
    if (QWidget* focus = QApplication::focusWidget()) {
        return HelpContextFor(focus);
    }
    return HelpContextFor(QApplication::activeWindow());
}

void InstallContextHelp() {
    static QPointer<TF1Filter> filter;
    if (!filter && qApp) {
        filter = new TF1Filter(qApp);
        qApp->installEventFilter(filter);
    }
}
