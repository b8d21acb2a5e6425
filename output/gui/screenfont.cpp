#include "screenfont.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>
#include <cstdlib>

double MenuFontRatio(int itemHeight, int menuFontHeight) {
    if (itemHeight <= 0) {
        return 1.0;
    }
    const int m = std::abs(menuFontHeight) > 1 ? std::abs(menuFontHeight) : 1;
    return (17.0 * itemHeight / 19.0) / m;
}

TDefaultFontMetric DefaultFontMetricFrom(double ratio, int menuFontHeight, double dpi) {
    TDefaultFontMetric metric;
    // nearbyint rounds halves to even in the default rounding mode.
    metric.Height = static_cast<int>(std::nearbyint(std::fabs(ratio * menuFontHeight)));
    if (dpi <= 0) {
        dpi = 96;
    }
    metric.Size = static_cast<int>(std::lround(metric.Height * 72.0 / dpi));
    return metric;
}

namespace {

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

TDefaultFontMetric& cachedMetric() {
    static TDefaultFontMetric metric;
    return metric;
}

const TDefaultFontMetric& defaultFontMetric() {
    TDefaultFontMetric& metric = cachedMetric();
    if (metric.Height == 0) {
        metric = DefaultFontMetricFrom(FontSizeCalc(), MenuFontHeight(), screenDpi());
        if (metric.Height < 1) {
            metric.Height = 1;
        }
        if (metric.Size < 1) {
            metric.Size = 1;
        }
    }
    return metric;
}

} // namespace

int MenuFontHeight() {
    const QFont menuFont = QApplication::font("QMenu");
    if (menuFont.pixelSize() > 0) {
        return -menuFont.pixelSize();
    }
    return -static_cast<int>(std::lround(menuFont.pointSizeF() * screenDpi() / 72.0));
}

double FontSizeCalc() {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Font Size Calc"));
    window.setGeometry(-1000, -1000, 100, 100);
    auto* layout = new QVBoxLayout(&window);
    auto* menuBar = new QMenuBar(&window);
    QAction* item = menuBar->addAction(QStringLiteral("Wg"));
    layout->setMenuBar(menuBar);
    (void)window.winId(); // the window system creates the window, never shown
    layout->activate();
    int itemHeight = 0;
    if (!menuBar->isNativeMenuBar()) {
        itemHeight = menuBar->actionGeometry(item).height();
    }
    return MenuFontRatio(itemHeight, MenuFontHeight());
}

int DefaultFontSize() {
    return defaultFontMetric().Size;
}
int DefaultFontHeight() {
    return defaultFontMetric().Height;
}
QString DefaultFontName() {
    return UIFontName();
}
QString DefaultMonoFontName() {
    return FixedFontName();
}

void SetDefaultFont(QFont& font) {
    font = QApplication::font("QMenu");
    font.setFamily(DefaultFontName());
    font.setPixelSize(PixelSizeForCellHeight(font, DefaultFontHeight()));
}

int PixelSizeForCellHeight(const QFont& font, int cellHeight) {
    QFont probe(font);
    int size = cellHeight > 1 ? cellHeight : 1;
    while (size > 1) {
        probe.setPixelSize(size);
        const QFontMetrics fm(probe);
        if (fm.ascent() + fm.descent() <= cellHeight) {
            break;
        }
        --size;
    }
    return size;
}

void ApplyScreenFont(QFont& font, quint16 cellHeight, const QString& fontName) {
    font.setFamily(fontName);
    font.setPixelSize(PixelSizeForCellHeight(font, cellHeight));
}
