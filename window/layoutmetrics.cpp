#include "layoutmetrics.h"

#include <cmath>

namespace {
// x rounded to the nearest integer, halves to the even neighbour.
int nearest(double x) {
    return static_cast<int>(std::nearbyint(x));
}
} // namespace

TLayoutMetrics LayoutMetricsFor(int baseHeight) {
    TLayoutMetrics m;
    m.BaseHeight = baseHeight;
    m.ColUnit = baseHeight * 11 / 20;
    m.RowHeight = baseHeight * 5 / 4;
    m.PanelHeight = nearest(baseHeight * 1.45);
    m.StatusFontHeight = baseHeight * 5 / 4;
    m.StatusBarHeight = m.StatusFontHeight * 4 / 3;
    m.PanelFontHeight = nearest(m.PanelHeight * 0.9);
    m.WindowWidth = baseHeight * 45;
    m.WindowHeight = baseHeight * 35;
    return m;
}

TLayoutMetrics ComputeLayoutMetrics(int sizePoints, double dpi) {
    return LayoutMetricsFor(static_cast<int>(std::lround(sizePoints * dpi / 72.0)));
}
