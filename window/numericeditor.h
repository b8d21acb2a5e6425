// The in-place editor of one number in a grid cell, and what every text box
// of the window that is edited in place shares: its whole text selected when
// it opens, and refused input explained in the status line.
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QObject>

// What the editor accepts: a signed decimal number of at most MaxLength
// characters with at most Decimals digits after the point, from Min to Max
// inclusive.
struct TNumericRange {
    double Min = -100;
    double Max = 500;
    int Decimals = 2;
    int MaxLength = 7;
};

// Parses text as the editor does ("." as decimal point whatever the locale);
// false for text that is not a number or lies outside the range.
bool ParseNumericText(const QString& text, const TNumericRange& range, double& value);

// What the editor accepts, as the status line says it: "Values from -100 to
// 500, at most two decimals".
QString AllowedValuesText(const TNumericRange& range);
// Why typing `typed` into `text`, with the selection from selStart of
// selLength characters replaced (or the caret at selStart), is refused,
// followed by what is allowed; empty when the editor takes it.
QString RefusedKeystrokeText(const QString& text, int selStart, int selLength, const QString& typed,
                             const TNumericRange& range);
// What is allowed and how to get out of the edit, when the value in `text`
// cannot be stored; empty when it is accepted.
QString RefusedValueText(const QString& text, const TNumericRange& range);

// Shows text in the status line of the window that holds widget, as a hint
// would show; an empty text clears it.
void ShowStatusMessage(QWidget* widget, const QString& text);
// A refused keystroke: the default beep and, in the status line, why.
void RefuseInput(QWidget* widget, const QString& why);

// Selects the whole text of a line edit, the caret at its end, whenever the
// edit opens: when it gets the focus by a click, by the keyboard or from the
// program (not when its window becomes active again). The click that opened
// it (a double click included) leaves the selection as it is, so that typing
// replaces the value; a later click places the caret as usual.
class TWholeTextSelection : public QObject {
    Q_OBJECT
public:
    explicit TWholeTextSelection(QLineEdit* edit);
    // Selects the whole text now, as at opening.
    void Opened();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QLineEdit* FEdit;
    QElapsedTimer FOpened;
    bool FSwallowing = false;
};

class TNumericEditor : public QLineEdit {
    Q_OBJECT
public:
    TNumericEditor(const TNumericRange& range, QWidget* parent = nullptr);

    const TNumericRange& Range() const { return FRange; }

    // Shows value with the range's decimals, the whole text selected and the
    // caret at the end.
    void SetValue(double value);
    // The typed value; false when it is not a number or out of range.
    bool Value(double& value) const;
    // The typed value when it is accepted; otherwise shows the error colours,
    // says in the status line why and how to get out, and returns false.
    bool AcceptValue(double& value);
    // Esc: the stored value back, the error and its message gone.
    void RestoreValue(double value);

    // Colours while editing and while showing a refused value.
    void SetColours(const QColor& background, const QColor& text, const QColor& errorBackground,
                    const QColor& errorText);
    // Shows or clears the error colours; typing clears them.
    void ShowError(bool on);
    bool InError() const { return FInError; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyColours();
    void clearMessage();

    TNumericRange FRange;
    TWholeTextSelection* FSelection;
    QColor FBackground{0, 255, 255};
    QColor FText{0, 128, 0};
    QColor FErrorBackground{255, 0, 0};
    QColor FErrorText{0, 0, 0};
    bool FInError = false;
    bool FMessageShown = false;
};
