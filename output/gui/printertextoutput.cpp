#include "printertextoutput.h"

#include "errors.h"
#include "fontnames.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kv {

namespace {

constexpr int PrinterFontPoints = 9;

quint16 ClampU16(int value) {
    return static_cast<quint16>(std::clamp(value, 0, int{std::numeric_limits<quint16>::max()}));
}

QString PrinterName(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return printer.outputFileName();
    }
    return printer.printerName();
}

// The font's measures rounded up to whole pixels: glyphs advance by fractions
// of a pixel, and a line of PageWidth characters must still fit the page.
quint16 CharWidth(const QFontMetricsF& fm) {
    return ClampU16(static_cast<int>(std::ceil(fm.averageCharWidth())));
}

quint16 LineHeight(const QFontMetricsF& fm) {
    return ClampU16(static_cast<int>(std::ceil(fm.height())));
}

} // namespace

QString PrinterFontFamily(const QStringList& installed, const QString& fixedFallback) {
    return FirstInstalledFont({QStringLiteral("Courier New")}, installed, fixedFallback);
}

QFont PrinterFont() {
    const QString family = PrinterFontFamily(
        QFontDatabase::families(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    QFont font(family, PrinterFontPoints);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

TPrinterMetrics MeasurePrinter(QPrinter& printer, const QFont& font) {
    const QFontMetricsF fm(font, &printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    TPrinterMetrics m;
    m.CharW = CharWidth(fm);
    m.LineH = LineHeight(fm);
    m.PageHeight = page.height();
    m.PageWidthPx = page.width();
    return m;
}

TPrinterTextOutput::TPrinterTextOutput(QPrinter& printer)
    : FPrinter(printer), FFont(PrinterFont()) {}

TPrinterTextOutput::~TPrinterTextOutput() {
    Close();
}

void TPrinterTextOutput::Open() {
    if (FOpen) {
        return;
    }
    FOpen = true;
    FPageCount = 0;
    FLine.clear();
    FX = 0;
    FY = 0;
}

bool TPrinterTextOutput::JobStarted() const {
    return FPainter != nullptr;
}

void TPrinterTextOutput::StartOutput() {
    if (!FOpen) {
        throw EInOutError("File not open for output (printer)");
    }
    if (FPainter) {
        return;
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&FPrinter)) {
        throw EInOutError("Cannot start printing on " + PrinterName(FPrinter).toStdString());
    }
    FPainter = std::move(painter);
    FPageCount = 1;
    FPageHeight = FPainter->device()->height();
    ApplyFont();
}

void TPrinterTextOutput::SetFont(const QFont& font) {
    if (FPainter) {
        FlushLine();
    }
    FFont = font;
    if (FPainter) {
        ApplyFont();
    }
}

void TPrinterTextOutput::ApplyFont() {
    FPainter->setFont(FFont);
    const QFontMetricsF fm(FPainter->font(), FPainter->device());
    FLineH = std::max(1, int{LineHeight(fm)});
    FAscent = static_cast<int>(std::ceil(fm.ascent()));
}

void TPrinterTextOutput::Write(QStringView s) {
    StartOutput();
    for (const QChar c : s) {
        switch (c.unicode()) {
        case 12:
            FlushLine();
            NewPage();
            break;
        case 13:
            FlushLine();
            FX = 0;
            break;
        case 10:
            FlushLine();
            NextLine();
            break;
        default:
            FLine.append(c);
        }
    }
}

void TPrinterTextOutput::WriteChar(QChar c) {
    Write(QStringView(&c, 1));
}

void TPrinterTextOutput::WriteLn() {
    StartOutput();
    FlushLine();
    FX = 0;
    NextLine();
}

void TPrinterTextOutput::EnsureLineFits() {
    // A page always takes at least one line, however short it is.
    if (FY > 0 && FY + FLineH > FPageHeight) {
        NewPage();
    }
}

void TPrinterTextOutput::FlushLine() {
    if (FLine.isEmpty()) {
        return;
    }
    EnsureLineFits();
    FPainter->drawText(QPointF(FX, FY + FAscent), FLine);
    FX += QFontMetricsF(FPainter->font(), FPainter->device()).horizontalAdvance(FLine);
    FLine.clear();
}

void TPrinterTextOutput::NextLine() {
    // The page break waits for the next line's text, so that a form feed
    // right after a full page does not leave an empty page behind.
    EnsureLineFits();
    FY += FLineH;
}

void TPrinterTextOutput::NewPage() {
    if (!FPrinter.newPage()) {
        throw EInOutError("Cannot start a new page on " + PrinterName(FPrinter).toStdString());
    }
    ++FPageCount;
    FY = 0;
}

bool TPrinterTextOutput::Close() {
    if (!FOpen) {
        return true;
    }
    FOpen = false;
    if (!FPainter) {
        return true;
    }
    bool ok = true;
    try {
        FlushLine();
    } catch (const EInOutError&) {
        ok = false;
    }
    ok = FPainter->end() && ok;
    FPainter.reset();
    FLine.clear();
    return ok;
}

} // namespace kv
