#include "plainmessagebox.h"

#include <QMessageBox>
#include <utility>

namespace {

PlainMessageBoxHook& boxHook() {
    static PlainMessageBoxHook hook;
    return hook;
}

} // namespace

void ShowPlainMessageBox(QWidget* parent, const QString& text, const QString& caption) {
    if (boxHook()) {
        boxHook()(text, caption);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void SetPlainMessageBoxHook(PlainMessageBoxHook hook) {
    boxHook() = std::move(hook);
}
