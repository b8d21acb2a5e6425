#include "workarea.h"

#include "beep.h"
#include "helpcontext.h"
#include "helpselector.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <utility>

namespace {

MessageDialogDetailHook& dialogHook() {
    static MessageDialogDetailHook hook;
    return hook;
}

struct ButtonInfo {
    const char* caption;
    const char* name;
    int result;
};

constexpr ButtonInfo Buttons[MessageButtonCount] = {
    {"&Yes", "Yes", 6},
    {"&No", "No", 7},
    {"OK", "OK", 1},
    {"Cancel", "Cancel", 2},
    {"&Abort", "Abort", 3},
    {"&Retry", "Retry", 4},
    {"&Ignore", "Ignore", 5},
    {"&All", "All", 12},
    {"N&o to All", "NoToAll", 13},
    {"Yes to &All", "YesToAll", 14},
    {"&Help", "Help", 0},
    {"&Close", "Close", 8},
};
constexpr int HelpBit = 10;

bool hasBit(MessageButtons buttons, int bit) {
    return (buttons >> bit) & 1U;
}

QString divider() {
    return QString(27, QLatin1Char('-')) + QStringLiteral("\r\n");
}

// The widest line of text in the font.
int naturalWidth(const QFontMetrics& fm, const QString& text) {
    int natural = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        natural = std::max(natural, fm.horizontalAdvance(line));
    }
    return natural;
}

// The dialog itself: icon and text above one row of equally wide buttons, and
// with a detail text the detail area below them, shown by Explain.
class TMessageForm : public QDialog {
public:
    TMessageForm(const QString& text, MessageKind kind, MessageButtons buttons, int helpContext,
                 const QString& detail, QWidget* parent)
        : QDialog(parent), FText(text), FDetail(detail), FButtons(buttons),
          FHelpContext(helpContext) {
        setWindowTitle(MessageKindCaption(kind));
        SetHelpContext(this, helpContext);
        // The screen font of the window the dialog belongs to.
        setFont(parent ? parent->window()->font() : QApplication::font("QMessageBox"));

        auto* top = new QHBoxLayout;
        top->setSpacing(12);
        const QStyle::StandardPixmap icons[] = {
            QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxCritical,
            QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxQuestion};
        if (kind < mkCustom) {
            auto* image = new QLabel(this);
            image->setObjectName(QStringLiteral("Image"));
            image->setPixmap(style()->standardIcon(icons[kind], nullptr, this).pixmap(32, 32));
            image->setFixedSize(32, 32);
            top->addWidget(image, 0, Qt::AlignTop);
        }
        auto* message = new QLabel(this);
        message->setObjectName(QStringLiteral("Message"));
        message->setTextFormat(Qt::PlainText);
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        message->setText(shown);
        message->setWordWrap(true);
        message->setTextInteractionFlags(Qt::NoTextInteraction);
        // Lines longer than half the screen wrap; shorter text keeps its width.
        const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        const int wrapWidth = screen ? screen->geometry().width() / 2 : 640;
        const QFontMetrics fm(message->font());
        message->setFixedWidth(std::min(naturalWidth(fm, shown) + 2, wrapWidth));
        // The detail area is at least as wide as the icon and the text.
        const int topWidth = (kind < mkCustom ? 32 + top->spacing() : 0) + message->width();
        top->addWidget(message, 1, Qt::AlignTop);
        if (!detail.isEmpty()) {
            // The detail makes the dialog wider: icon and text stay at the left.
            top->addStretch(1);
        }

        auto* row = new QHBoxLayout;
        row->addStretch(1);
        std::vector<QPushButton*> made;
        for (int bit = 0; bit < MessageButtonCount; ++bit) {
            if (!hasBit(buttons, bit)) {
                continue;
            }
            if (bit == HelpBit && !detail.isEmpty()) {
                made.push_back(makeExplainButton(topWidth, wrapWidth));
                row->addWidget(made.back());
            }
            auto* button = new QPushButton(MessageButtonCaption(bit), this);
            button->setObjectName(MessageButtonName(bit));
            made.push_back(button);
            row->addWidget(button);
            if (bit == HelpBit) {
                connect(button, &QPushButton::clicked, this,
                        [this] { HelpSelector::ShowTopic(FHelpContext); });
            } else {
                const int result = MessageButtonResult(bit);
                connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
            }
        }
        if (!detail.isEmpty() && !hasBit(buttons, HelpBit)) {
            made.push_back(makeExplainButton(topWidth, wrapWidth));
            row->addWidget(made.back());
        }
        // Measure once the style has polished the buttons.
        ensurePolished();
        int widest = 75;
        for (QPushButton* button : made) {
            widest = std::max(widest, button->sizeHint().width());
        }
        for (QPushButton* button : made) {
            button->setFixedWidth(widest);
        }
        row->addStretch(1);

        auto* all = new QVBoxLayout(this);
        all->setSizeConstraint(QLayout::SetFixedSize);
        // At least as wide as the caption, so that the desktop shows it whole.
        all->addStrut(CaptionWidth(windowTitle()));
        all->addLayout(top);
        all->addSpacing(8);
        all->addLayout(row);
        if (FDetailArea) {
            all->addWidget(FDetailArea);
        }

        const int defaultBit = DefaultButtonBit(buttons);
        if (defaultBit >= 0) {
            auto* button = findChild<QPushButton*>(MessageButtonName(defaultBit));
            button->setDefault(true);
            button->setFocus();
        }
        FCancelBit = CancelButtonBit(buttons);
    }

    void reject() override {
        // Esc and the close box act as the cancel button; without one, the
        // close box still closes with the result of Cancel.
        done(FCancelBit >= 0 ? MessageButtonResult(FCancelBit) : 2);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            copyAsText();
            return;
        }
        if (event->key() == Qt::Key_Escape && FCancelBit < 0) {
            return;
        }
        if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
            if (FHelpContext > 0) {
                HelpSelector::ShowTopic(FHelpContext);
            }
            return;
        }
        QDialog::keyPressEvent(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // In the detail area Ctrl+C copies what is selected there, and the
        // whole dialog when nothing is.
        if (watched == FDetailArea && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) &&
            !FDetailArea->textCursor().hasSelection()) {
            copyAsText();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }

private:
    void copyAsText() {
        Beep();
        QGuiApplication::clipboard()->setText(MessageDialogAsText(
            windowTitle(), FText, FButtons, FDetail, FDetailArea && FDetailArea->isVisible()));
    }

    // The Explain button and the hidden detail area it shows and hides; the
    // area is as wide as its longest line (at least minWidth, at most
    // wrapWidth unless minWidth is more) and shows up to a dozen lines,
    // scrolling beyond.
    QPushButton* makeExplainButton(int minWidth, int wrapWidth) {
        FDetailArea = new QPlainTextEdit(this);
        FDetailArea->setObjectName(QStringLiteral("Detail"));
        QString shown = FDetail;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        FDetailArea->setPlainText(shown);
        FDetailArea->setReadOnly(true);
        FDetailArea->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        const QFontMetrics fm(FDetailArea->font());
        const int frame = 2 * FDetailArea->frameWidth() +
                          2 * static_cast<int>(FDetailArea->document()->documentMargin()) + 4;
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        const int width =
            std::max(minWidth, std::min(naturalWidth(fm, shown) + frame + scrollBar, wrapWidth));
        const int wrapped = fm.boundingRect(QRect(0, 0, width - frame - scrollBar, 1 << 20),
                                            Qt::TextWordWrap, shown)
                                .height();
        FDetailArea->setFixedSize(width,
                                  std::min(wrapped, 12 * fm.lineSpacing()) + frame + fm.descent());
        FDetailArea->installEventFilter(this);
        FDetailArea->hide();

        auto* button = new QPushButton(QString::fromLatin1(ExplainButtonCaption), this);
        button->setObjectName(QString::fromLatin1(ExplainButtonName));
        button->setCheckable(true);
        connect(button, &QPushButton::toggled, this, [this](bool on) {
            FDetailArea->setVisible(on);
            // Grown or shrunk, the dialog is centred on its owner again.
            layout()->activate();
            CenterOnOwner(this, parentWidget());
        });
        return button;
    }

    QString FText;
    QString FDetail;
    QPlainTextEdit* FDetailArea = nullptr;
    MessageButtons FButtons;
    int FHelpContext;
    int FCancelBit = -1;
};

} // namespace

QString MessageKindCaption(MessageKind kind) {
    switch (kind) {
    case mkWarning:
        return QStringLiteral("Warning");
    case mkError:
        return QStringLiteral("Error");
    case mkInformation:
        return QStringLiteral("Information");
    case mkConfirmation:
        return QStringLiteral("Confirm");
    case mkCustom:
        break;
    }
    return QGuiApplication::applicationDisplayName();
}

QString MessageButtonCaption(int bit) {
    return bit >= 0 && bit < MessageButtonCount ? QString::fromLatin1(Buttons[bit].caption)
                                                : QString();
}

QString MessageButtonName(int bit) {
    return bit >= 0 && bit < MessageButtonCount ? QString::fromLatin1(Buttons[bit].name)
                                                : QString();
}

int MessageButtonResult(int bit) {
    return bit >= 0 && bit < MessageButtonCount ? Buttons[bit].result : 0;
}

int DefaultButtonBit(MessageButtons buttons) {
    for (int bit : {2, 0, 5}) { // OK, Yes, Retry
        if (hasBit(buttons, bit)) {
            return bit;
        }
    }
    return -1;
}

int CancelButtonBit(MessageButtons buttons) {
    for (int bit : {3, 1, 2}) { // Cancel, No, OK
        if (hasBit(buttons, bit)) {
            return bit;
        }
    }
    return -1;
}

QString MessageDialogAsText(const QString& caption, const QString& text, MessageButtons buttons,
                            const QString& detail, bool detailShown) {
    QString captions;
    const QString explain =
        QString::fromLatin1(ExplainButtonCaption).remove(QLatin1Char('&')) + QStringLiteral("   ");
    for (int bit = 0; bit < MessageButtonCount; ++bit) {
        if (bit == HelpBit && !detail.isEmpty()) {
            captions += explain;
        }
        if (hasBit(buttons, bit)) {
            captions += MessageButtonCaption(bit).remove(QLatin1Char('&')) + QStringLiteral("   ");
        }
    }
    if (!detail.isEmpty() && !hasBit(buttons, HelpBit)) {
        captions += explain;
    }
    QString body = text + QStringLiteral("\r\n");
    if (detailShown && !detail.isEmpty()) {
        body += divider() + detail + QStringLiteral("\r\n");
    }
    return divider() + caption + QStringLiteral("\r\n") + divider() + body + divider() + captions +
           QStringLiteral("\r\n") + divider();
}

QDialog* CreateMessageDialog(const QString& text, MessageKind kind, MessageButtons buttons,
                             int helpContext, QWidget* parent, const QString& detail) {
    return new TMessageForm(text, kind, buttons, helpContext, detail, parent);
}

int ShowMessageDialog(const QString& text, MessageKind kind, MessageButtons buttons,
                      int helpContext, QWidget* owner, const QString& detail) {
    if (dialogHook()) {
        return dialogHook()(text, kind, buttons, helpContext, detail);
    }
    QWidget* parent = FindOwnerWindow(owner, nullptr);
    std::unique_ptr<QDialog> dialog(
        CreateMessageDialog(text, kind, buttons, helpContext, parent, detail));
    dialog->ensurePolished();
    dialog->adjustSize();
    CenterOnOwner(dialog.get(), owner);
    return dialog->exec();
}

void SetMessageDialogHook(MessageDialogHook hook) {
    if (!hook) {
        dialogHook() = {};
        return;
    }
    dialogHook() = [hook = std::move(hook)](const QString& text, MessageKind kind,
                                            MessageButtons buttons, int helpContext,
                                            const QString&) {
        return hook(text, kind, buttons, helpContext);
    };
}

void SetMessageDialogDetailHook(MessageDialogDetailHook hook) {
    dialogHook() = std::move(hook);
}

// Placement ------------------------------------------------------------------

int CaptionWidth(const QString& caption) {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    // The icon and up to three buttons, each about as wide as the bar is high.
    const int bar = std::max(QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight),
                             metrics.height() + 6);
    return metrics.horizontalAdvance(caption) + 4 * bar + 2 * metrics.averageCharWidth();
}

QPoint CenteredPosition(const QRect& owner, const QSize& form, const QRect& workArea) {
    const int x = owner.x() + owner.width() / 2;
    const int y = owner.y() + owner.height() / 2;
    int left = x - form.width() / 2;
    int top = y - form.height() / 2;
    // Work-area right and bottom edges are exclusive: left + width.
    if (left + form.width() > workArea.x() + workArea.width()) {
        left = workArea.x() + workArea.width() - form.width();
    }
    if (top + form.height() > workArea.y() + workArea.height()) {
        top = workArea.y() + workArea.height() - form.height();
    }
    if (left < workArea.x()) {
        left = workArea.x();
    }
    if (top < workArea.y()) {
        top = workArea.y();
    }
    return {left, top};
}

int NearestScreenIndex(const QRect& window, const QList<QRect>& screens) {
    int best = -1;
    qint64 bestArea = 0;
    for (int i = 0; i < screens.size(); ++i) {
        const QRect common = window.intersected(screens[i]);
        const qint64 area = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    if (best >= 0) {
        return best;
    }
    // No overlap: the monitor with the shortest distance to the window.
    qint64 bestDistance = -1;
    for (int i = 0; i < screens.size(); ++i) {
        const QRect& s = screens[i];
        const qint64 dx = std::max<qint64>(
            {0, qint64(s.left()) - window.right(), qint64(window.left()) - s.right()});
        const qint64 dy = std::max<qint64>(
            {0, qint64(s.top()) - window.bottom(), qint64(window.top()) - s.bottom()});
        const qint64 distance = dx * dx + dy * dy;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

QRect WorkAreaNear(const QRect& window) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    QList<QRect> rects;
    for (const QScreen* screen : screens) {
        rects.append(screen->geometry());
    }
    const int index = NearestScreenIndex(window, rects);
    if (index >= 0) {
        return screens[index]->availableGeometry();
    }
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        return primary->availableGeometry().isValid() ? primary->availableGeometry()
                                                      : primary->geometry();
    }
    return {0, 0, 640, 480};
}

QWidget* FindOwnerWindow(QWidget* owner, const QWidget* form) {
    auto usable = [form](QWidget* w) {
        return w && w != form && w->isVisible() ? w->window() : nullptr;
    };
    if (owner) {
        return owner->window();
    }
    for (QWidget* w : {QApplication::activeWindow(), QApplication::activeModalWidget()}) {
        if (QWidget* found = usable(w)) {
            return found;
        }
    }
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget* w : tops) {
        if (qobject_cast<QMainWindow*>(w) && usable(w)) {
            return w;
        }
    }
    for (QWidget* w : tops) {
        if (w->windowType() != Qt::Desktop && usable(w)) {
            return w;
        }
    }
    return nullptr;
}

void CenterOnOwner(QWidget* form, QWidget* owner) {
    if (!form) {
        return;
    }
    QWidget* target = FindOwnerWindow(owner, form);
    if (!target) {
        return;
    }
    const QRect ownerRect = target->frameGeometry();
    const QPoint position =
        CenteredPosition(ownerRect, form->frameGeometry().size(), WorkAreaNear(ownerRect));
    form->setAttribute(Qt::WA_Moved); // explicit placement: the toolkit keeps it
    if (form->pos() != position) {
        form->move(position);
    }
}

// Common dialogs ---------------------------------------------------------------

TStartFileName StartFileName(const QString& fileName, const QString& initialFolder) {
    if (fileName.isEmpty()) {
        return {initialFolder, QString()};
    }
    const QFileInfo info(fileName);
    const bool hasFolder =
        fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'));
    if (!hasFolder) {
        return {initialFolder, fileName};
    }
    return {info.path(), info.fileName()};
}

TCommonDialogHelper::TCommonDialogHelper(QDialog& dialog) : FDlgObj(dialog) {}

QWidget* TCommonDialogHelper::DefaultOwner() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(w) && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

bool TCommonDialogHelper::Execute() {
    return Execute(DefaultOwner());
}

bool TCommonDialogHelper::Execute(QWidget* parentWnd) {
    auto* fileDialog = qobject_cast<QFileDialog*>(&FDlgObj);
    if (fileDialog && !FFileName.isEmpty()) {
        const TStartFileName start =
            StartFileName(FFileName, fileDialog->directory().absolutePath());
        fileDialog->setDirectory(start.Folder);
        if (!start.FileName.isEmpty()) {
            fileDialog->selectFile(start.FileName);
        }
    }
    // Show over the owner; the dialog's own parent comes back afterwards, also
    // when showing fails.
    struct Restore {
        QDialog& dlg;
        QPointer<QWidget> parent;
        Qt::WindowFlags flags;
        bool changed = false;
        ~Restore() {
            if (changed) {
                dlg.setParent(parent, flags);
            }
        }
    } restore{FDlgObj, FDlgObj.parentWidget(), FDlgObj.windowFlags()};
    if (parentWnd && parentWnd != restore.parent) {
        restore.changed = true;
        FDlgObj.setParent(parentWnd, restore.flags | Qt::Dialog);
    }
    return FDlgObj.exec() == QDialog::Accepted;
}
