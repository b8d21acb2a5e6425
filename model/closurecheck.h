// Why a closure cannot be solved: the combinations of endogenous variables
// that no equation pins down, the single exchanges that cure it, and a
// sentence for the student saying so.
#pragma once

#include "database.h"
#include "tableau.h"
#include "variables.h"

#include <optional>
#include <string>
#include <vector>

namespace kv {

// One exchange between the lists: Endogenous leaves the endogenous list,
// Exogenous takes its place.
struct TExchange {
    Variable Endogenous = 0;
    Variable Exogenous = 0;
    bool operator==(const TExchange&) const = default;
};

// A closure whose endogenous matrix has a condition estimate above this solves,
// but its results are unreliable.
inline constexpr double UnreliableCondition = 1e10;
// Weights of a null direction below this are left out.
inline constexpr double NegligibleWeight = 1e-9;

struct TClosureCheck {
    // The Johansen solve of the closure reports a singular matrix.
    bool Singular = false;
    // Solvable, but the condition estimate exceeds UnreliableCondition.
    bool Unreliable = false;
    // Condition estimate (1-norm) of the 39 by 39 matrix of the endogenous
    // columns; 0 when the matrix is singular and there is no finite estimate.
    double ConditionEstimate = 0;
    // For a singular or unreliable closure: the combinations of endogenous
    // variables that can change (or very nearly) without breaking any equation,
    // each scaled so that its largest weight is 1; weights below
    // NegligibleWeight are 0, and exogenous variables are always 0.
    std::vector<Variable_Real> NullDirections;
    // Equations in which no endogenous variable appears.
    std::vector<Equation> EmptyEquations;
    // For a singular closure every single exchange after which the Johansen
    // solve does not report a singular matrix; for an unreliable one, every
    // exchange after which the closure is solvable and no longer unreliable.
    // The exchange that undoes the last one comes first, the rest follow in
    // the order of the endogenous and then the exogenous list.
    std::vector<TExchange> FixingExchanges;
    // What is wrong, in a student's words; empty for a sound closure.
    std::string Explanation;
};

// Why the results of an unreliable closure are unreliable, as the explanation
// says it after "its results are unreliable: ", without a full stop: "its
// equations are nearly dependent (condition estimate 4.491e+10)".
std::string UnreliableReason(const TClosureCheck& check);

// Checks closure on the tableau M. lastExchange is the exchange the user made
// last, as made (its Endogenous is exogenous now).
TClosureCheck CheckClosure(const Tableau_Real& M, const TClosure& closure,
                           const std::optional<TExchange>& lastExchange = std::nullopt);
// The same on the tableau of database D (BuildTableau's errors propagate).
TClosureCheck CheckClosure(const Data_Real& D, const TClosure& closure,
                           const std::optional<TExchange>& lastExchange = std::nullopt);

} // namespace kv
