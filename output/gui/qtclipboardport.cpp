#include "qtclipboardport.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kv {

namespace {
QClipboard* AppClipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
               ? QGuiApplication::clipboard()
               : nullptr;
}
} // namespace

bool QtClipboardPort::clear() {
    QClipboard* cb = AppClipboard();
    if (cb == nullptr) {
        return false;
    }
    cb->clear();
    return true;
}

bool QtClipboardPort::setText(const QString& text) {
    QClipboard* cb = AppClipboard();
    if (cb == nullptr) {
        return false;
    }
    cb->setText(text);
    return true;
}

} // namespace kv
