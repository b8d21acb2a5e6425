// Shock decomposition of a solution: how much of each variable's result is due
// to each exogenous variable of the closure.
#pragma once

#include "variables.h"

namespace kv {

// Contribution(v)(j): the part of the result of variable v that is due to the
// shock of exogenous variable j; 0 for every endogenous j. The contributions of
// a variable add up to its result (to rounding), and the whole result of an
// exogenous variable is its own contribution.
//
// Each Euler step is split by linearity: its system is solved for one
// right-hand side per exogenous step shock together with the whole step, in
// the same elimination. A percentage change v collects C(v) * S_j(v), where
// C(v) = 1 + (result so far) / 100 before the step and S_j(v) is the part of
// the step's change due to shock j; delB, an ordinary change, collects S_j
// itself. The extrapolated methods weight the contributions of their three
// runs as they weight the results.
struct TDecomposition {
    Vec1<Variable_Real, NumVars> Contribution;

    double& operator()(Variable v, Variable j) { return Contribution(v)(j); }
    double operator()(Variable v, Variable j) const { return Contribution(v)(j); }
    bool operator==(const TDecomposition&) const = default;
};

// The sum of the contributions to variable v.
inline double DecompositionTotal(const TDecomposition& d, Variable v) {
    double total = 0;
    for (double c : d.Contribution(v)) {
        total += c;
    }
    return total;
}

} // namespace kv
