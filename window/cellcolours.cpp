#include "cellcolours.h"

#include <algorithm>
#include <cmath>

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double RelativeLuminance(const QColor& colour) {
    const QColor c = colour.toRgb();
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& colour, const QColor& other, double minRatio) {
    if (ContrastRatio(colour, other) >= minRatio) {
        return colour;
    }
    // Away from the other colour: darker on a light one, lighter on a dark one.
    const bool darker =
        ContrastRatio(QColor(Qt::black), other) >= ContrastRatio(QColor(Qt::white), other);
    const QColor hsl = colour.toHsl();
    const float hue = std::max(0.0f, hsl.hslHueF());
    const float saturation = hsl.hslSaturationF();
    const int start = hsl.lightness();
    for (int step = 1; step <= 255; ++step) {
        const int lightness = darker ? start - step : start + step;
        if (lightness < 0 || lightness > 255) {
            break;
        }
        const QColor candidate =
            QColor::fromHslF(hue, saturation, static_cast<float>(lightness) / 255.0f).toRgb();
        if (ContrastRatio(candidate, other) >= minRatio) {
            return candidate;
        }
    }
    return darker ? QColor(Qt::black) : QColor(Qt::white);
}

QColor BackgroundFor(const QColor& background, const QColor& paletteText) {
    if (ContrastRatio(background, paletteText) >= MinTextContrast) {
        return background;
    }
    return ReadableOn(background, paletteText, FixedBackgroundContrast);
}
