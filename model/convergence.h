// How exact a solution is: Euler solutions with 1, 2, 4, ..., 64 steps, the
// two extrapolations, and the error each solution method is estimated to have.
#pragma once

#include "database.h"
#include "solve.h"
#include "variables.h"

#include <optional>

namespace kv {

inline constexpr int ConvergenceRuns = 7; // Euler with 1, 2, 4, 8, 16, 32 and 64 steps
// The number of steps of convergence run k (1..7).
constexpr int ConvergenceSteps(int k) {
    return 1 << (k - 1);
}

struct TConvergence {
    Vec1<SolveResult, ConvergenceRuns> EulerResult; // flags of each Euler run
    // Results of each Euler run (all 52 variables); empty when the run failed.
    Vec1<std::optional<Variable_Real>, ConvergenceRuns> Euler;
    // The 2-4-8 and the 8-16-32 extrapolations; empty when one of their runs
    // failed. They are the results of methods 4 and 5, bit for bit.
    std::optional<Variable_Real> Extrapolation248;
    std::optional<Variable_Real> Extrapolation81632;
};

// Runs the seven Euler solutions from base with the shocks in the exogenous
// entries of shocks. A floating-point or input-output error of a run
// propagates, as from SolveModel.
TConvergence ComputeConvergence(const Data_Real& base, const Variable_Real& shocks,
                                const TClosure& closure);

// The estimated error of each result of a solution method: for an Euler method
// with n steps the difference between the results with n and 2n steps, for an
// extrapolation the difference between the 2-4-8 and the 8-16-32
// extrapolations (signed, the method's result minus the comparison). Empty when
// a run it needs failed.
std::optional<Variable_Real> EstimatedError(const TConvergence& conv, SolutionMethod method);

// Double precision holds no more figures than this.
inline constexpr int MaxAccurateFigures = 15;
// Below this size (a millionth of a millionth of a per cent, or of a money unit
// for delB) a result or an error counts as zero.
inline constexpr double NegligibleChange = 1e-12;

// The number of accurate significant figures of a result with an estimated
// error: the whole number of decimal digits in |value| / |error|, from 0 to
// MaxAccurateFigures. A negligible error gives MaxAccurateFigures; a negligible
// result with an error that is not gives 0.
int AccurateFigures(double value, double error);

} // namespace kv
