// The results-column dialog: a click on a solution's heading on the Results
// page opens it, and its result says whether to move that solution left or
// right, delete it, or leave it.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPushButton>

// A push button with a 16 by 16 picture 8 pixels from its left edge and its
// caption after the picture; disabled, it shows the greyed picture.
class TGlyphButton : public QPushButton {
    Q_OBJECT
public:
    TGlyphButton(const QString& caption, const QImage& glyph, QWidget* parent = nullptr);

    const QImage& Glyph() const { return FGlyph; }
    const QImage& DisabledGlyph() const { return FDisabledGlyph; }

    static constexpr int GlyphMargin = 8;  // picture's distance from the left edge
    static constexpr int GlyphSpacing = 4; // between the picture and the caption

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage FGlyph;
    QImage FDisabledGlyph;
};

class TColMoveDlg : public QDialog {
    Q_OBJECT
public:
    // Result codes of exec().
    enum Result : int {
        crCancel = 2, // Cancel, Esc and the close box
        crMoveLeft = 3,
        crMoveRight = 4,
        crDelete = 5,
    };
    static constexpr int HelpTopic = 206;
    static constexpr int ClientWidth = 132;
    static constexpr int ClientHeight = 179;

    explicit TColMoveDlg(QWidget* parent = nullptr);
    // The dialog for the column headed columnTitle, which its caption names.
    explicit TColMoveDlg(const QString& columnTitle, QWidget* parent = nullptr);

    // "Column: " and the title; "Column..." for a column without a title.
    static QString Caption(const QString& columnTitle);

    QPushButton* LeftBtn() const { return FLeftBtn; }
    QPushButton* RightBtn() const { return FRightBtn; }
    QPushButton* DeletetBtn() const { return FDeletetBtn; }
    QPushButton* CancelBtn() const { return FCancelBtn; }
    QPushButton* HelpBtn() const { return FHelpBtn; }

    void reject() override;

    // The pictures, 16 by 16 in the 16 standard colours, transparent around
    // the drawing, and the greyed form of any of them.
    static QImage LeftArrowGlyph();
    static QImage RightArrowGlyph();
    static QImage WasteBinGlyph();
    static QImage GreyedGlyph(const QImage& glyph);
    // The dialog's background: the desktop colour.
    static QColor DesktopColour();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* FLeftBtn;
    QPushButton* FRightBtn;
    QPushButton* FDeletetBtn;
    QPushButton* FCancelBtn;
    QPushButton* FHelpBtn;
};
