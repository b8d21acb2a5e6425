#include "helpcontext.h"

#include "helpselector.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* HelpContextProperty = "helpContext";
}

void SetHelpContext(QWidget* widget, int context) {
    if (widget) {
        widget->setProperty(HelpContextProperty, context);
    }
}

int OwnHelpContext(const QWidget* widget) {
    return widget ? widget->property(HelpContextProperty).toInt() : 0;
}

int HelpContextFor(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (const int context = OwnHelpContext(w)) {
            return context;
        }
    }
    return 0;
}

int ShowHelpFor(const QWidget* widget) {
    const int context = HelpContextFor(widget);
    if (context != 0) {
        HelpSelector::ShowTopic(context);
    }
    return context;
}
