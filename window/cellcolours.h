// Colours that stay readable in whatever palette the desktop gives: the
// contrast of two colours and the nearest colour of the same hue that reaches
// a contrast.
#pragma once

#include <QColor>

// The least contrast of every text against its background.
inline constexpr double MinTextContrast = 4.5;
// The contrast with the palette's text that a fixed background colour gets
// when it has to give way (room left for a coloured text on it).
inline constexpr double FixedBackgroundContrast = 7.0;

// The relative luminance of a colour (0 black to 1 white) and the contrast
// ratio of two colours (1 to 21), as accessibility guidelines define them.
double RelativeLuminance(const QColor& colour);
double ContrastRatio(const QColor& a, const QColor& b);

// colour itself when its contrast with other reaches minRatio; otherwise the
// colour of the same hue and saturation, lighter or darker (away from other),
// nearest to it that reaches minRatio (black or white as the last resort).
QColor ReadableOn(const QColor& colour, const QColor& other, double minRatio = MinTextContrast);

// A background that the program fixes (aqua, the error red): itself where
// the palette's text reads on it, else its counterpart of the same hue on
// which the palette's text reads well (in a dark palette a dark one).
QColor BackgroundFor(const QColor& background, const QColor& paletteText);
