// The coefficient tableau: 39 linear equations in the 52 variables, with
// coefficients computed from a database.
#pragma once

#include "database.h"
#include "variables.h"

namespace kv {

using Equation = int; // 1..39
inline constexpr int NumEqs = 39;

// M(i,v): coefficient of variable v in equation i, stored row by row.
struct Tableau_Real {
    std::array<double, NumEqs * NumVars> Cells{};

    double& operator()(Equation i, Variable v) {
        assert(i >= 1 && i <= NumEqs && v >= 1 && v <= NumVars);
        return Cells[static_cast<std::size_t>((i - 1) * NumVars + (v - 1))];
    }
    double operator()(Equation i, Variable v) const {
        assert(i >= 1 && i <= NumEqs && v >= 1 && v <= NumVars);
        return Cells[static_cast<std::size_t>((i - 1) * NumVars + (v - 1))];
    }
    bool operator==(const Tableau_Real&) const = default;
};

// num / den, or dflt when den is exactly 0.
double SafeRatio(double num, double den, double dflt);

// Fills M from D. A zero divisor in one of the plain divisions raises
// EZeroDivide (EInvalidOp for 0/0) and leaves M incomplete.
void BuildTableau(const Data_Real& D, Tableau_Real& M);

} // namespace kv
