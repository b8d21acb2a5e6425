// Help contexts of controls: every control may carry the number of its help
// topic; F1 asks for the topic of the focused control or, when it has none,
// of its nearest enclosing control that has one.
#pragma once

class QWidget;

void SetHelpContext(QWidget* widget, int context);
// The control's own help context; 0 when it has none.
int OwnHelpContext(const QWidget* widget);
// The help context of the control or of its nearest enclosing control that
// has one; 0 when none has.
int HelpContextFor(const QWidget* widget);
// Asks the help layer for the topic of HelpContextFor(widget); nothing
// happens when that is 0. Returns the context asked for.
int ShowHelpFor(const QWidget* widget);
