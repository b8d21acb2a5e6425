// The tables of the four pages that can be printed, saved and copied: their
// size, cell rule and print title, read from the model state at the moment of
// use, and the page header of a printout. The window's output commands and
// kvsolve build their tables from these, so both write the same text.
#pragma once

#include "simtab.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace kv {

struct TPageTable {
    int Rows = 0; // of the page's grid
    int Cols = 0;
    TCellRule CellRule;
    QString PrintTitle;
};

TPageTable BaseDataPageTable();    // 12 x 7, DataCellText on BaseData, "Base Data"
TPageTable TableauPageTable();     // 40 x 53, TableauCellText, "Coefficient Matrix"
TPageTable ResultsPageTable();     // 53 x (1 + stored solutions), ResultsCellText
TPageTable UpdatedDataPageTable(); // 12 x 7, DataCellText on NewData, "Updated Data"

// The page's table as MakeSimTabFromRule builds it.
bool MakePageSimTab(TSimTab& T, const TPageTable& page, QString& Msg);

// "WinVELMAR Printout: " and the date and time in the locale's short date and
// long time formats; the time is left out at exactly midnight.
QString PrintoutHeader(const QDateTime& now, const QLocale& locale = QLocale());

} // namespace kv
