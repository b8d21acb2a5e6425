// The one message dialog of the program, the placement of dialogs on their
// owner, and the showing of common dialogs.
#pragma once

#include <QRect>
#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;
class QDialog;

enum MessageKind : quint8 {
    mkWarning = 0,
    mkError = 1,
    mkInformation = 2,
    mkConfirmation = 3,
    mkCustom = 4,
};

// A set of buttons; bit i stands for button i, and the bit order is the
// left-to-right order of the buttons.
using MessageButtons = quint16;
enum MessageButton : MessageButtons {
    mbYes = 1,
    mbNo = 2,
    mbOK = 4,
    mbCancel = 8,
    mbAbort = 16,
    mbRetry = 32,
    mbIgnore = 64,
    mbAll = 128,
    mbNoToAll = 256,
    mbYesToAll = 512,
    mbHelp = 1024,
    mbClose = 2048,
};

// Shows a modal message dialog and returns the result code of the button that
// closed it (OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6, No 7, Close 8,
// All 12, No to All 13, Yes to All 14). The Help button opens the topic
// helpContext and leaves the dialog open.
int ShowMessageDialog(const QString& text, MessageKind kind, MessageButtons buttons,
                      int helpContext, QWidget* owner = nullptr);

// Tests replace the dialog: while a hook is set, ShowMessageDialog calls it
// instead of showing anything and returns its result.
using MessageDialogHook =
    std::function<int(const QString& text, MessageKind kind, MessageButtons buttons, int helpContext)>;
void SetMessageDialogHook(MessageDialogHook hook);
