// The one message dialog of the program, the placement of dialogs on their
// owner, and the showing of common dialogs.
#pragma once

#include "fontnames.h" // UIFontName, FixedFontName

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
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
inline constexpr int MessageButtonCount = 12;

// Shows a modal message dialog and returns the result code of the button that
// closed it (OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6, No 7, Close 8,
// All 12, No to All 13, Yes to All 14). The Help button opens the topic
// helpContext and leaves the dialog open. A dialog with a detail text has an
// Explain button (before Help) that shows the detail below the message, or
// hides it again, and leaves the dialog open too.
int ShowMessageDialog(const QString& text, MessageKind kind, MessageButtons buttons,
                      int helpContext, QWidget* owner = nullptr, const QString& detail = QString());

// Tests replace the dialog: while a hook is set, ShowMessageDialog calls it
// instead of showing anything and returns its result. Setting either kind of
// hook replaces the other; a hook without the detail does not see it.
using MessageDialogHook = std::function<int(const QString& text, MessageKind kind,
                                            MessageButtons buttons, int helpContext)>;
using MessageDialogDetailHook =
    std::function<int(const QString& text, MessageKind kind, MessageButtons buttons,
                      int helpContext, const QString& detail)>;
void SetMessageDialogHook(MessageDialogHook hook);
void SetMessageDialogDetailHook(MessageDialogDetailHook hook);

// The parts of the dialog, also used to build and check it.
QString MessageKindCaption(MessageKind kind);
// Caption ("&" marks the access key), control name and result code of the
// button for bit 0..11; the Help button's result is 0 (it does not close).
QString MessageButtonCaption(int bit);
QString MessageButtonName(int bit);
int MessageButtonResult(int bit);
// The bit of the default button (OK, else Yes, else Retry) and of the cancel
// button (Cancel, else No, else OK); -1 when the set has none of them.
int DefaultButtonBit(MessageButtons buttons);
int CancelButtonBit(MessageButtons buttons);
// The caption and the control name of the button that a dialog with a detail
// text has before Help.
inline constexpr const char* ExplainButtonCaption = "&Explain";
inline constexpr const char* ExplainButtonName = "Explain";
// The dialog as text, as Ctrl+C puts it on the clipboard: a non-empty detail
// adds the Explain button to the buttons, and the detail itself below the
// text while it is shown.
QString MessageDialogAsText(const QString& caption, const QString& text, MessageButtons buttons,
                            const QString& detail = QString(), bool detailShown = false);

// Builds the dialog without showing it; the caller owns it. Its buttons are
// named after their bit ("Yes", "No", "OK", ..., "Help", "Close"); with a
// detail text there is also "Explain", and the read-only "Detail" area below
// the message, hidden until Explain is clicked.
QDialog* CreateMessageDialog(const QString& text, MessageKind kind, MessageButtons buttons,
                             int helpContext, QWidget* parent = nullptr,
                             const QString& detail = QString());

// The width a window needs for the desktop to show its whole caption: the
// caption in a bold title font, with room for the window's icon and its
// title-bar buttons.
int CaptionWidth(const QString& caption);

// Moves a built form so that it is centred on owner (or, when owner is null,
// on the window the owner search finds) and lies inside the work area of that
// window's monitor. The form keeps its place when no window is found.
void CenterOnOwner(QWidget* form, QWidget* owner);

// The window CenterOnOwner centres on: owner's window; else the active
// window, the active modal window, the main window, any visible top-level
// window; never form itself. Null when there is none.
QWidget* FindOwnerWindow(QWidget* owner, const QWidget* form);

// The top left corner for a form of size form centred on the rectangle owner
// and clamped into workArea: first the right and bottom edges, then the left
// and top edges, so that a form larger than the work area keeps its top left
// corner inside it.
QPoint CenteredPosition(const QRect& owner, const QSize& form, const QRect& workArea);

// The index of the monitor nearest to window: the one it overlaps most, else
// the one closest to it; -1 for an empty list.
int NearestScreenIndex(const QRect& window, const QList<QRect>& screens);

// The work area of the monitor nearest to window; the primary screen's work
// area, or the whole primary screen, when that cannot be found.
QRect WorkAreaNear(const QRect& window);

// The starting folder and the file name of a file dialog whose previous file
// name was fileName: a name with a folder part starts in that folder with only
// its bare name; a bare name starts in initialFolder.
struct TStartFileName {
    QString Folder;
    QString FileName;
};
TStartFileName StartFileName(const QString& fileName, const QString& initialFolder);

// Shows a common dialog (print, printer set-up, file) modally over an owner.
// The toolkit centres the dialog on its owner; a file dialog starts in the
// folder of its previous file name with the bare name filled in.
class TCommonDialogHelper {
public:
    explicit TCommonDialogHelper(QDialog& dialog);

    // The file name a file dialog starts from (for example the last one
    // chosen); ignored for other dialogs.
    void SetFileName(const QString& fileName) { FFileName = fileName; }

    // Owner: the active window; else the main window when it is shown; else none.
    bool Execute();
    bool Execute(QWidget* parentWnd);

    static QWidget* DefaultOwner();

private:
    QDialog& FDlgObj;
    QString FFileName;
};
