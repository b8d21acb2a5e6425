// The main window's layout metrics, computed once from the screen font.
#pragma once

struct TLayoutMetrics {
    int BaseHeight = 0; // character height of the window font, pixels
    int ColUnit = 0;
    int RowHeight = 0;
    int PanelHeight = 0;
    int PanelFontHeight = 0;
    int StatusFontHeight = 0;
    int StatusBarHeight = 0;
    int WindowWidth = 0;
    int WindowHeight = 0;
};

// The metrics for a window font of sizePoints at dpi pixels per inch.
TLayoutMetrics ComputeLayoutMetrics(int sizePoints, double dpi);
// The metrics for a given BaseHeight.
TLayoutMetrics LayoutMetricsFor(int baseHeight);
