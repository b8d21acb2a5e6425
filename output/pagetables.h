// The tables of the four pages that can be printed, saved and copied: their
// size, cell rule and print title, read from an experiment at the moment of
// use (the cell rule refers to the experiment, which must outlive the table),
// and the page header of a printout. The window's output commands and
// kvsolve build their tables from these, so both write the same text.
#pragma once

#include "experiment.h"
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

// 12 x 7, DataCellText on BaseData, "Base Data"
TPageTable BaseDataPageTable(const TExperiment& E);
// 40 x 53, TableauCellText, "Coefficient Matrix"
TPageTable TableauPageTable(const TExperiment& E);
// 53 x (1 + stored solutions), ResultsCellText, "Simulation Results"
TPageTable ResultsPageTable(const TExperiment& E);
// 12 x 7, DataCellText on NewData, "Updated Data"
TPageTable UpdatedDataPageTable(const TExperiment& E);

// The page's table as MakeSimTabFromRule builds it.
bool MakePageSimTab(TSimTab& T, const TPageTable& page, QString& Msg);

// "WinVELMAR Printout: " and the date and time in the locale's short date and
// long time formats; the time is left out at exactly midnight.
QString PrintoutHeader(const QDateTime& now, const QLocale& locale = QLocale());

} // namespace kv
