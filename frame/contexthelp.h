// Context help: every control may carry a help context number; F1 opens the
// topic of the focused control, or of its nearest enclosing control that has
// one, within the control's window.
#pragma once

class QWidget;

// The property that holds a widget's help context ("helpContext", an int).
inline constexpr const char* HelpContextProperty = "helpContext";

void SetHelpContext(QWidget* widget, int context);
// The widget's own help context; 0 when it has none.
int HelpContextOf(const QWidget* widget);
// The help context of widget or of its nearest enclosing widget in the same
// window that has one; 0 when there is none.
int FindHelpContext(const QWidget* widget);

// Makes F1 (without modifiers) anywhere in the application ask for the topic
// of the focused control. Calling it again does nothing.
void InstallContextHelp();
// The topic F1 would ask for now: the focused control's help context, else
// that of the active window; 0 when there is none.
int CurrentHelpContext();
