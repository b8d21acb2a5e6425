#include "numericeditor.h"

#include "celltext.h"

#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

bool ParseNumericText(const QString& text, const TNumericRange& range, double& value) {
    // Only what the editor lets the user type: a signed decimal number.
    static const QRegularExpression number(QStringLiteral("^-?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    if (text.size() > range.MaxLength || !number.match(text).hasMatch()) {
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

TNumericEditor::TNumericEditor(const TNumericRange& range, QWidget* parent)
    : QLineEdit(parent), FRange(range) {
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
    caretToEnd();
}

bool TNumericEditor::Value(double& value) const {
    return ParseNumericText(text(), FRange, value);
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

void TNumericEditor::caretToEnd() {
    deselect();
    end(false);
}

void TNumericEditor::keyPressEvent(QKeyEvent* event) {
    // A comma typed as decimal separator becomes the point the grids use.
    if (event->text() == QLatin1String(",")) {
        QKeyEvent point(event->type(), Qt::Key_Period, event->modifiers(), QStringLiteral("."));
        QLineEdit::keyPressEvent(&point);
        event->setAccepted(point.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TNumericEditor::showEvent(QShowEvent* event) {
    QLineEdit::showEvent(event);
    caretToEnd();
}

void TNumericEditor::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    caretToEnd();
}
