// The system's plain message box: a text, a caption, an OK button and no icon.
// Pages use it for the few refusals that are not program messages.
#pragma once

#include <QString>
#include <functional>

class QWidget;

void ShowPlainMessageBox(QWidget* parent, const QString& text, const QString& caption);

// Tests replace the box: while a hook is set, ShowPlainMessageBox calls it
// instead of showing anything. An empty hook restores the box.
using PlainMessageBoxHook = std::function<void(const QString& text, const QString& caption)>;
void SetPlainMessageBoxHook(PlainMessageBoxHook hook);
