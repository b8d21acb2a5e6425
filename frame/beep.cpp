#include "beep.h"

#include <QApplication>
#include <utility>

namespace {
BeepHook& beepHook() {
    static BeepHook hook;
    return hook;
}
} // namespace

void Beep() {
    if (beepHook()) {
        beepHook()();
        return;
    }
    QApplication::beep();
}

void SetBeepHook(BeepHook hook) {
    beepHook() = std::move(hook);
}
