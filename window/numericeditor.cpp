#include "numericeditor.h"

#include "beep.h"
#include "celltext.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStatusTipEvent>
#include <QStyleHints>

namespace {

// Only what the editor lets the user type: a signed decimal number.
const QRegularExpression& numberPattern() {
    static const QRegularExpression number(QStringLiteral("^-?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    return number;
}

QString boundText(double v) {
    return QLocale::c().toString(v, 'g', 12);
}

QString decimalsText(int decimals) {
    switch (decimals) {
    case 0:
        return QStringLiteral("no decimals");
    case 1:
        return QStringLiteral("at most one decimal");
    case 2:
        return QStringLiteral("at most two decimals");
    case 3:
        return QStringLiteral("at most three decimals");
    default:
        return QStringLiteral("at most %1 decimals").arg(decimals);
    }
}

bool isNumberCharacter(QChar ch) {
    return ch.isDigit() || ch == QLatin1Char('-') || ch == QLatin1Char('.');
}

} // namespace

bool ParseNumericText(const QString& text, const TNumericRange& range, double& value) {
    if (text.size() > range.MaxLength || !numberPattern().match(text).hasMatch()) {
        return false;
    }
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point >= 0 && text.size() - point - 1 > range.Decimals) {
        return false;
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (!ok || !(v >= range.Min && v <= range.Max)) {
        return false;
    }
    value = v;
    return true;
}

QString AllowedValuesText(const TNumericRange& range) {
    return QStringLiteral("Values from %1 to %2, %3")
        .arg(boundText(range.Min), boundText(range.Max), decimalsText(range.Decimals));
}

QString RefusedKeystrokeText(const QString& text, int selStart, int selLength, const QString& typed,
                             const TNumericRange& range) {
    QString why;
    for (const QChar ch : typed) {
        if (!isNumberCharacter(ch)) {
            why = QStringLiteral("\"%1\" cannot be typed here").arg(ch);
            break;
        }
    }
    const int start = std::clamp(selStart, 0, static_cast<int>(text.size()));
    const int length = std::clamp(selLength, 0, static_cast<int>(text.size()) - start);
    const QString result = text.left(start) + typed + text.mid(start + length);
    const qsizetype point = result.indexOf(QLatin1Char('.'));
    if (!why.isEmpty()) {
    } else if (result.size() > range.MaxLength) {
        why = QStringLiteral("At most %1 characters").arg(range.MaxLength);
    } else if (result.count(QLatin1Char('-')) > 1 ||
               (result.contains(QLatin1Char('-')) && !result.startsWith(QLatin1Char('-')))) {
        why = QStringLiteral("The minus sign goes first");
    } else if (result.count(QLatin1Char('.')) > 1) {
        why = QStringLiteral("Only one decimal point");
    } else if (point >= 0 && result.size() - point - 1 > range.Decimals) {
        why = QStringLiteral("Too many decimals");
    } else {
        return {};
    }
    return why + QStringLiteral(". ") + AllowedValuesText(range);
}

QString RefusedValueText(const QString& text, const TNumericRange& range) {
    // The refused value shows in the cell in the error colours; the one-line
    // status line has room for what is allowed and the way out.
    double value = 0;
    if (ParseNumericText(text, range, value)) {
        return {};
    }
    return AllowedValuesText(range) + QStringLiteral(". Esc restores the stored value");
}

void ShowStatusMessage(QWidget* widget, const QString& text) {
    if (widget) {
        // Travels up to the window, which shows hints in its status line.
        QStatusTipEvent tip(text);
        QCoreApplication::sendEvent(widget, &tip);
    }
}

void RefuseInput(QWidget* widget, const QString& why) {
    Beep();
    ShowStatusMessage(widget, why);
}

// TWholeTextSelection ----------------------------------------------------------

TWholeTextSelection::TWholeTextSelection(QLineEdit* edit) : QObject(edit), FEdit(edit) {
    edit->installEventFilter(this);
}

void TWholeTextSelection::Opened() {
    // The caret ends at the end of the selection.
    FEdit->setSelection(0, static_cast<int>(FEdit->text().size()));
    FOpened.start();
    FSwallowing = false;
}

bool TWholeTextSelection::eventFilter(QObject* object, QEvent* event) {
    if (object != FEdit) {
        return false;
    }
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            reason != Qt::MenuBarFocusReason) {
            FEdit->event(event); // the edit takes the focus first
            Opened();
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // The click (or the double click) that opened the edit.
        if (FOpened.isValid() &&
            FOpened.elapsed() <= QGuiApplication::styleHints()->mouseDoubleClickInterval()) {
            FSwallowing = true;
            return true;
        }
        FOpened.invalidate();
        return false;
    case QEvent::MouseMove:
        return FSwallowing;
    case QEvent::MouseButtonRelease:
        if (FSwallowing) {
            FSwallowing = false;
            return true;
        }
        return false;
    default:
        return false;
    }
}

// TNumericEditor ---------------------------------------------------------------

TNumericEditor::TNumericEditor(const TNumericRange& range, QWidget* parent)
    : QLineEdit(parent), FRange(range), FSelection(new TWholeTextSelection(this)) {
    setFrame(false);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setMaxLength(range.MaxLength);
    const QString pattern =
        QStringLiteral("-?[0-9]*(\\.[0-9]{0,%1})?").arg(range.Decimals > 0 ? range.Decimals : 0);
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
    connect(this, &QLineEdit::textEdited, this, [this] { ShowError(false); });
    applyColours();
}

void TNumericEditor::SetValue(double value) {
    setText(kv::FormatReal(value, 0, FRange.Decimals));
    ShowError(false);
    FSelection->Opened();
}

bool TNumericEditor::Value(double& value) const {
    return ParseNumericText(text(), FRange, value);
}

bool TNumericEditor::AcceptValue(double& value) {
    if (Value(value)) {
        return true;
    }
    ShowError(true);
    ShowStatusMessage(this, RefusedValueText(text(), FRange));
    FMessageShown = true;
    return false;
}

void TNumericEditor::RestoreValue(double value) {
    SetValue(value);
    clearMessage();
}

void TNumericEditor::SetColours(const QColor& background, const QColor& text,
                                const QColor& errorBackground, const QColor& errorText) {
    FBackground = background;
    FText = text;
    FErrorBackground = errorBackground;
    FErrorText = errorText;
    applyColours();
}

void TNumericEditor::ShowError(bool on) {
    if (FInError == on) {
        return;
    }
    FInError = on;
    applyColours();
}

void TNumericEditor::applyColours() {
    QPalette p = palette();
    p.setColor(QPalette::Base, FInError ? FErrorBackground : FBackground);
    p.setColor(QPalette::Text, FInError ? FErrorText : FText);
    setPalette(p);
    setAutoFillBackground(true);
}

void TNumericEditor::clearMessage() {
    if (FMessageShown) {
        FMessageShown = false;
        ShowStatusMessage(this, QString());
    }
}

void TNumericEditor::keyPressEvent(QKeyEvent* event) {
    QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!printable) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // A comma typed as decimal separator becomes the point the grids use.
    typed.replace(QLatin1Char(','), QLatin1Char('.'));
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int length = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    const QString why = RefusedKeystrokeText(text(), start, length, typed, FRange);
    if (!why.isEmpty()) {
        RefuseInput(this, why);
        FMessageShown = true;
        event->accept();
        return;
    }
    clearMessage();
    if (typed != event->text()) {
        QKeyEvent point(event->type(), Qt::Key_Period, event->modifiers(), typed);
        QLineEdit::keyPressEvent(&point);
        event->setAccepted(point.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}
