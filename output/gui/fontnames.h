// The choice of an installed font family for the user interface and for
// fixed-pitch text.
#pragma once

#include <QString>
#include <QStringList>

// The first of "Segoe UI", "Arial", "Calibri" that is installed, spelled as
// the list of installed fonts spells it; else the system menu font's name.
QString UIFontName();
// The first of "Consolas", "Courier New" that is installed; else the system
// menu font's name.
QString FixedFontName();

// The first of wanted (in its order) found among installed, compared ignoring
// letter case and returned as installed spells it; fallback when none is.
QString FirstInstalledFont(const QStringList& wanted, const QStringList& installed,
                           const QString& fallback);

// The family of the font the system uses for menus.
QString MenuFontName();
