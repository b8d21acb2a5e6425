// The in-place editor of one number in a grid cell.
#pragma once

#include <QColor>
#include <QLineEdit>

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

class TNumericEditor : public QLineEdit {
    Q_OBJECT
public:
    TNumericEditor(const TNumericRange& range, QWidget* parent = nullptr);

    const TNumericRange& Range() const { return FRange; }

    // Shows value with the range's decimals and puts the caret at the end.
    void SetValue(double value);
    // The typed value; false when it is not a number or out of range.
    bool Value(double& value) const;

    // Colours while editing and while showing a refused value.
    void SetColours(const QColor& background, const QColor& text, const QColor& errorBackground,
                    const QColor& errorText);
    // Shows or clears the error colours; typing clears them.
    void ShowError(bool on);
    bool InError() const { return FInError; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void applyColours();
    void caretToEnd();

    TNumericRange FRange;
    QColor FBackground{0, 255, 255};
    QColor FText{0, 128, 0};
    QColor FErrorBackground{255, 0, 0};
    QColor FErrorText{0, 0, 0};
    bool FInError = false;
};
