// Number formatting and the cell-text rules of the page grids, written once and
// shared by the grids and by print, save and copy. Numbers always use a point
// as decimal separator, whatever the locale.
#pragma once

#include "database.h"
#include "tableau.h"
#include "variables.h"

#include <QString>

namespace kv {

// Fixed-point text of value with exactly `decimals` digits after the point,
// rounded to the nearest (exact halves away from zero), "-" before negative
// values (a value that rounds to zero has no sign), blanks added on the left
// up to `width`. A NaN raises kv::EInvalidOp and an infinity kv::EOverflow,
// so that neither can reach a grid or a file.
QString FormatReal(double value, int width, int decimals);
QString FormatReal(float value, int width, int decimals);

// A variable's name and description, as the variable columns show it:
// "c  Household expenditure level".
QString VariableLabel(Variable v);

// Data and Updated Data pages: rows 0..11, columns 0..6.
QString DataCellText(const Data_Real& D, int r, int c);

// Tableau page: rows 0..39 (equations), columns 0..52 (variables).
QString TableauCellText(const Tableau_Real& M, int r, int c);

// Shocks page: rows 0..13 (heading and the exogenous variables of the
// closure, in the order of its exogenous list), columns 0..1 (variable and
// shock).
QString ShocksCellText(const TClosure& closure, const Variable_Real& shocks, int r, int c);

// Results page: rows 0..52 (variables), column k = 1..Count the stored solutions.
QString ResultsCellText(const TSolutionStore& S, int r, int k);

} // namespace kv
