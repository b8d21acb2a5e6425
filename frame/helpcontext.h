// Help contexts of controls: every control may carry the number of its help
// topic; F1 asks for the topic of the focused control or, when it has none,
// of its nearest enclosing control that has one. A window (a dialog, say) is
// not enclosed by the window that owns it.
#pragma once

class QWidget;

// The property that holds a control's help context (an int).
inline constexpr const char* HelpContextProperty = "helpContext";

// Topics about a stored solution, opened from its tables: "Where a result
// comes from" (its decomposition) and "How exact is a solution" (its
// convergence).
inline constexpr int DecompositionHelpContext = 208;
inline constexpr int AccuracyHelpContext = 209;

void SetHelpContext(QWidget* widget, int context);
// The control's own help context; 0 when it has none.
int OwnHelpContext(const QWidget* widget);
// The help context of the control or of its nearest enclosing control in the
// same window that has one; 0 when none has.
int HelpContextFor(const QWidget* widget);
// Asks the help layer for the topic of HelpContextFor(widget); nothing
// happens when that is 0. Returns the context asked for.
int ShowHelpFor(const QWidget* widget);

// Makes widget stand for its window in help requests while no control inside
// the window has the focus (the window itself having it counts as none).
void SetHelpStandIn(QWidget* widget);

// The topic F1 asks for now: that of the focused control; when no control
// has the focus, that of the active window's stand-in, else of the window
// itself; 0 when there is none.
int CurrentHelpContext();
// Makes F1 (without modifiers) in any window of the application ask for
// CurrentHelpContext(). Calling it again does nothing.
void InstallContextHelp();
