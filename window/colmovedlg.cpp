#include "colmovedlg.h"

#include "fontnames.h"
#include "helpcontext.h"
#include "helpselector.h"
#include "workarea.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <array>

namespace {

constexpr int GlyphSize = 16;

// The pictures as 16 rows of 16 pixels: "." transparent, and letters for the
// standard colours.
using GlyphRows = std::array<const char*, GlyphSize>;

constexpr GlyphRows LeftArrowRows = {
    "................", //
    "................", //
    ".......m........", //
    "......mm........", //
    ".....mrm........", //
    "....mrrmmmmmmmm.", //
    "...mrrrrrrrrrrm.", //
    "..mrrrrrrrrrrrm.", //
    "..mrrrrrrrrrrrm.", //
    "...mrrrrrrrrrrm.", //
    "....mrrmmmmmmmm.", //
    ".....mrm........", //
    "......mm........", //
    ".......m........", //
    "................", //
    "................", //
};

constexpr GlyphRows WasteBinRows = {
    "................", //
    "......kkkk......", //
    "......k..k......", //
    "..kkkkkkkkkkkk..", //
    "..kwwwwwwwwwsk..", //
    "..kkkkkkkkkkkk..", //
    "...kwsgsgsgsk...", //
    "...kwsgsgsgsk...", //
    "...kwsgsgsgsk...", //
    "...kwsgsgsgsk...", //
    "...kwsgsgsgsk...", //
    "...kwsgsgsgsk...", //
    "...kwsgsgsgsk...", //
    "...kwsgsgsgsk...", //
    "....kkkkkkkk....", //
    "................", //
};

QRgb glyphColour(char code) {
    switch (code) {
    case 'k':
        return qRgb(0, 0, 0);
    case 'm':
        return qRgb(128, 0, 0);
    case 'r':
        return qRgb(255, 0, 0);
    case 'g':
        return qRgb(128, 128, 128);
    case 's':
        return qRgb(192, 192, 192);
    case 'w':
        return qRgb(255, 255, 255);
    default:
        return qRgba(0, 0, 0, 0);
    }
}

QImage glyphFrom(const GlyphRows& rows, bool mirrored) {
    QImage image(GlyphSize, GlyphSize, QImage::Format_ARGB32);
    for (int y = 0; y < GlyphSize; ++y) {
        for (int x = 0; x < GlyphSize; ++x) {
            const int from = mirrored ? GlyphSize - 1 - x : x;
            image.setPixel(x, y, glyphColour(rows[static_cast<std::size_t>(y)][from]));
        }
    }
    return image;
}

} // namespace

// TGlyphButton -----------------------------------------------------------------

TGlyphButton::TGlyphButton(const QString& caption, const QImage& glyph, QWidget* parent)
    : QPushButton(caption, parent), FGlyph(glyph), FDisabledGlyph(TColMoveDlg::GreyedGlyph(glyph)) {
}

void TGlyphButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style draws the button's face, frame and focus; picture and caption
    // are placed here, the picture a fixed distance from the left edge.
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    QPoint shift;
    if (isDown() || isChecked()) {
        shift = QPoint(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }
    const QImage& glyph = isEnabled() ? FGlyph : FDisabledGlyph;
    painter.drawImage(QPoint(GlyphMargin, (height() - glyph.height()) / 2) + shift, glyph);
    const int textLeft = GlyphMargin + glyph.width() + GlyphSpacing;
    const QRect textRect = QRect(textLeft, 0, width() - textLeft - 2, height()).translated(shift);
    painter.drawItemText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                         palette(), isEnabled(), text(), QPalette::ButtonText);
}

// TColMoveDlg ------------------------------------------------------------------

TColMoveDlg::TColMoveDlg(QWidget* parent) : TColMoveDlg(QString(), parent) {}

QString TColMoveDlg::Caption(const QString& columnTitle) {
    const QString title = columnTitle.trimmed();
    return title.isEmpty() ? QStringLiteral("Column...") : QStringLiteral("Column: ") + title;
}

TColMoveDlg::TColMoveDlg(const QString& columnTitle, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ColMoveDlg"));
    setWindowTitle(Caption(columnTitle));
    // A fixed-size dialog whose only window control is the close box, wide
    // enough for the desktop to show its whole caption; the buttons stay in
    // the middle.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    const int width = std::max(ClientWidth, CaptionWidth(windowTitle()));
    const int left = 7 + (width - ClientWidth) / 2;
    setFixedSize(width, ClientHeight);
    setModal(true);
    SetHelpContext(this, HelpTopic);

    QPalette background = palette();
    background.setColor(QPalette::Window, DesktopColour());
    setPalette(background);
    setAutoFillBackground(true);

    QFont font;
    font.setFamily(FirstInstalledFont({QStringLiteral("MS Sans Serif")}, QFontDatabase::families(),
                                      UIFontName()));
    font.setPixelSize(11);
    font.setBold(true);
    setFont(font);

    auto place = [left](QPushButton* button, const char* name, int top) {
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(left, top, 104, 27);
        SetHelpContext(button, HelpTopic);
        // The buttons keep the system's face colour on the desktop background.
        QPalette face = button->palette();
        face.setColor(QPalette::Window, QGuiApplication::palette().color(QPalette::Window));
        button->setPalette(face);
        return button;
    };
    FLeftBtn =
        place(new TGlyphButton(QStringLiteral("Move Left"), LeftArrowGlyph(), this), "LeftBtn", 8);
    FRightBtn = place(new TGlyphButton(QStringLiteral("Move Right"), RightArrowGlyph(), this),
                      "RightBtn", 42);
    FDeletetBtn =
        place(new TGlyphButton(QStringLiteral("Delete"), WasteBinGlyph(), this), "DeletetBtn", 76);
    FCancelBtn = place(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn", 110);
    FHelpBtn = place(new QPushButton(QStringLiteral("Help"), this), "HelpBtn", 144);

    connect(FLeftBtn, &QPushButton::clicked, this, [this] { done(crMoveLeft); });
    connect(FRightBtn, &QPushButton::clicked, this, [this] { done(crMoveRight); });
    connect(FDeletetBtn, &QPushButton::clicked, this, [this] { done(crDelete); });
    connect(FCancelBtn, &QPushButton::clicked, this, [this] { done(crCancel); });
    connect(FHelpBtn, &QPushButton::clicked, this, [] { HelpSelector::ShowTopic(HelpTopic); });

    setTabOrder(FLeftBtn, FCancelBtn);
    setTabOrder(FCancelBtn, FHelpBtn);
    setTabOrder(FHelpBtn, FRightBtn);
    setTabOrder(FRightBtn, FDeletetBtn);
    FCancelBtn->setFocus();
}

void TColMoveDlg::reject() {
    done(crCancel);
}

void TColMoveDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        HelpSelector::ShowTopic(HelpTopic);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TColMoveDlg::showEvent(QShowEvent* event) {
    // Centred on the screen of the window that opened it.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    FCancelBtn->setFocus();
    QDialog::showEvent(event);
}

QImage TColMoveDlg::LeftArrowGlyph() {
    return glyphFrom(LeftArrowRows, false);
}

QImage TColMoveDlg::RightArrowGlyph() {
    return glyphFrom(LeftArrowRows, true);
}

QImage TColMoveDlg::WasteBinGlyph() {
    return glyphFrom(WasteBinRows, false);
}

QImage TColMoveDlg::GreyedGlyph(const QImage& glyph) {
    // Embossed: the dark pixels of the picture in the shadow grey, over a
    // white copy one pixel down and to the right; light pixels drop out.
    const QImage source = glyph.convertToFormat(QImage::Format_ARGB32);
    QImage greyed(source.size(), QImage::Format_ARGB32);
    greyed.fill(Qt::transparent);
    auto dark = [&source](int x, int y) {
        const QRgb p = source.pixel(x, y);
        return qAlpha(p) != 0 && qGray(p) < 160;
    };
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            if (dark(x, y) && x + 1 < source.width() && y + 1 < source.height()) {
                greyed.setPixel(x + 1, y + 1, qRgb(255, 255, 255));
            }
        }
    }
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            if (dark(x, y)) {
                greyed.setPixel(x, y, qRgb(128, 128, 128));
            }
        }
    }
    return greyed;
}

QColor TColMoveDlg::DesktopColour() {
    // The classic desktop blue; this platform has no system desktop colour.
    return {58, 110, 165};
}
