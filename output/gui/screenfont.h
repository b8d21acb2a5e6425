// The default screen font: a name and a size for the user interface, derived
// from the system's menu font and from the height the window system gives a
// menu-bar item, so that the program's text follows the user's display
// scaling. Also the fitting of a font to a given character-cell height.
#pragma once

#include "fontnames.h"

#include <QFont>
#include <QString>
#include <QtGlobal>

// The ratio of 17/19 of a menu-bar item's height to the menu font's height:
// (17 * itemHeight / 19) / m with m = |menuFontHeight| when that exceeds 1,
// else 1. An itemHeight of 0 or less means the window system gave no item
// rectangle; the ratio is then 1.
double MenuFontRatio(int itemHeight, int menuFontHeight);

// The default font height H in pixels (|ratio * menuFontHeight| rounded to
// the nearest integer, halves to even) and size S in points (H * 72 / dpi
// rounded, halves away from zero).
struct TDefaultFontMetric {
    int Height = 0;
    int Size = 0;
};
TDefaultFontMetric DefaultFontMetricFrom(double ratio, int menuFontHeight, double dpi);

// The system menu font's height in pixels as a signed value: negative, since
// it states the character height.
int MenuFontHeight();

// Builds a hidden window with a menu bar holding the one item "Wg", asks for
// that item's rectangle and returns MenuFontRatio for it.
double FontSizeCalc();

// The cached default font metrics, computed once per run.
int DefaultFontSize();         // S, points
int DefaultFontHeight();       // H, pixels
QString DefaultFontName();     // UIFontName
QString DefaultMonoFontName(); // FixedFontName
// The menu font with the default name and the default height (a cell height).
void SetDefaultFont(QFont& font);

// The largest pixel size at which font's full character cell (ascent plus
// descent) is at most cellHeight pixels high; at least 1.
int PixelSizeForCellHeight(const QFont& font, int cellHeight);

// Gives font the family name and a full character cell of cellHeight pixels.
void ApplyScreenFont(QFont& font, quint16 cellHeight, const QString& fontName);
