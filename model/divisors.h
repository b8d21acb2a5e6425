// The divisors of the coefficient tableau that a database can make zero.
//
// Most shares of the tableau fall back to a default when their divisor is 0;
// the others (input shares, cost and sales shares, import and export shares)
// have no meaningful value then, and building the tableau would fail with a
// floating-point error. These routines find such a database before it is
// used, and say which cells are at fault and why, so that an edit can be
// refused with a message instead.
#pragma once

#include "database.h"

#include <string>
#include <utility>
#include <vector>

namespace kv {

// One coefficient whose divisor the database makes zero.
struct TUndefinedCoefficient {
    // The cells (r, c) whose sum is the divisor.
    std::vector<std::pair<int, int>> Cells;
    // The cells in words, e.g. "Domestic 1 and Imported 1 of Ind. 1 would both be 0".
    std::string CellText;
    // Why, e.g. "Industry 1 would use no good 1 at all: its input shares are undefined".
    std::string Reason;

    // "<CellText>. <Reason>."
    std::string Message() const;
};

// The coefficients that a derived database D leaves undefined, in the order of
// the tableau; empty when the tableau can be built from D. Divisors are
// formed exactly as the tableau and the database update form them.
std::vector<TUndefinedCoefficient> UndefinedCoefficients(const Data_Real& D);

// The same for D with cell (r, c) set to value and derived again; D itself is
// not changed.
std::vector<TUndefinedCoefficient> UndefinedCoefficientsAfterEdit(const Data_Real& D, int r, int c,
                                                                  double value);

// The messages of all problems, joined by lineBreak.
std::string UndefinedCoefficientsText(const std::vector<TUndefinedCoefficient>& problems,
                                      const std::string& lineBreak);

// A database cell in words for messages: "Imported 1, Ind. 1", "Make matrix
// good 2, Ind. 2", "Export subsidy of good 1".
std::string DataCellName(int r, int c);

} // namespace kv
