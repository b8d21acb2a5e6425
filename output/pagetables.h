// The tables of the pages, each described once: its size, cell rule, print
// title, the headings a grid keeps in view and what each cell is. A
// description is read from an experiment at the moment of use (the rules refer
// to the experiment, which must outlive the table). The pages' grids show
// these tables; the window's print, save and copy and kvsolve's tables are
// built from the same descriptions, so the screen and every output agree.
// Also the page header of a printout.
#pragma once

#include "convergence.h"
#include "experiment.h"
#include "simtab.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <functional>

namespace kv {

// What a cell holds, for the grid to choose how to draw it: a number or a
// heading (right-aligned), a name (left-aligned), a title that may take two
// lines, or a value the student types in place.
enum class TCellRole : std::uint8_t { Number, Name, Title, Entry };
using TCellRoleRule = std::function<TCellRole(int row, int col)>;

struct TPageTable {
    int Rows = 0; // row 0 and column 0 included
    int Cols = 0;
    TCellRule CellRule;
    // The title of a printout; empty for a table that is not printed, saved
    // or copied.
    QString PrintTitle;
    // The heading rows and columns a grid keeps in view (0 or 1 each).
    int FixedRows = 0;
    int FixedCols = 0;
    // Empty: every cell is a Number.
    TCellRoleRule RoleRule;

    TCellRole RoleAt(int row, int col) const {
        return RoleRule ? RoleRule(row, col) : TCellRole::Number;
    }
};

// 12 x 7, DataCellText on BaseData, "Base Data"; no fixed headings, the
// entered cells (EditMask) are entries.
TPageTable BaseDataPageTable(const TExperiment& E);
// 40 x 53, TableauCellText, "Coefficient Matrix"; row 0 and column 0 fixed.
TPageTable TableauPageTable(const TExperiment& E);
// 14 x 2, the exogenous variables and their shocks, not printed; row 0 and
// column 0 fixed, the names and headings names, the shocks entries.
TPageTable ShocksPageTable(const TExperiment& E);
// 53 x (1 + stored solutions), ResultsCellText, "Simulation Results"; row 0
// fixed, column 0 too once there is a solution; the variables names, the
// headings and results titles.
TPageTable ResultsPageTable(const TExperiment& E);
// 12 x 7, DataCellText on NewData, "Updated Data"; no fixed headings.
TPageTable UpdatedDataPageTable(const TExperiment& E);

// The explanations of a stored solution, in tables of their own that the
// Results page opens; each keeps what it shows, so that it outlives changes
// of the experiment.
// 53 x (2 + shocked exogenous variables): each variable's result split into
// the contributions of the shocked exogenous variables of sol, in their list
// order, and the result as "Total"; "contributions to <title>". Rows 0 and
// column 0 fixed. sol must have its decomposition.
TPageTable DecompositionTable(const TSolution& sol);
// 53 x 11: each variable's Euler results with 1, 2, 4, ..., 64 steps, the
// 2-4-8 and 8-16-32 extrapolations and the number of accurate figures of the
// solution's own method (EstimatedError), "Figures"; "convergence of <title>
// (<method>)". A run
// that failed shows "failed", figures that cannot be estimated "-".
TPageTable ConvergenceTable(const TSolution& sol, const TConvergence& conv);

// The page's table as MakeSimTabFromRule builds it.
bool MakePageSimTab(TSimTab& T, const TPageTable& page, QString& Msg);

// "WinVELMAR Printout: " and the date and time in the locale's short date and
// long time formats; the time is left out at exactly midnight.
QString PrintoutHeader(const QDateTime& now, const QLocale& locale = QLocale());

} // namespace kv
