#include "convergence.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace kv {

TConvergence ComputeConvergence(const Data_Real& base, const Variable_Real& shocks,
                                const TClosure& closure) {
    TConvergence conv;
    auto work = std::make_unique<Data_Real>();
    for (int k = 1; k <= ConvergenceRuns; ++k) {
        Variable_Real vec = shocks;
        conv.EulerResult(k) = EulerSolve(ConvergenceSteps(k), base, *work, vec, closure);
        if (conv.EulerResult(k).success) {
            conv.Euler(k) = vec;
        }
    }
    // Runs 2, 3, 4 have 2, 4, 8 steps; runs 4, 5, 6 have 8, 16, 32.
    if (conv.Euler(2) && conv.Euler(3) && conv.Euler(4)) {
        conv.Extrapolation248 = ExtrapolateResults(*conv.Euler(2), *conv.Euler(3), *conv.Euler(4));
    }
    if (conv.Euler(4) && conv.Euler(5) && conv.Euler(6)) {
        conv.Extrapolation81632 =
            ExtrapolateResults(*conv.Euler(4), *conv.Euler(5), *conv.Euler(6));
    }
    return conv;
}

namespace {

std::optional<Variable_Real> Difference(const std::optional<Variable_Real>& a,
                                        const std::optional<Variable_Real>& b) {
    if (!a || !b) {
        return std::nullopt;
    }
    Variable_Real d;
    for (Variable v = 1; v <= NumVars; ++v) {
        d(v) = (*a)(v) - (*b)(v);
    }
    return d;
}

} // namespace

std::optional<Variable_Real> EstimatedError(const TConvergence& conv, SolutionMethod method) {
    switch (method) {
    case 1: // 1 step against 2
        return Difference(conv.Euler(1), conv.Euler(2));
    case 2: // 4 steps against 8
        return Difference(conv.Euler(3), conv.Euler(4));
    case 3: // 16 steps against 32
        return Difference(conv.Euler(5), conv.Euler(6));
    case 5:
        return Difference(conv.Extrapolation81632, conv.Extrapolation248);
    default:
        return Difference(conv.Extrapolation248, conv.Extrapolation81632);
    }
}

int AccurateFigures(double value, double error) {
    const double v = std::fabs(value);
    const double e = std::fabs(error);
    if (!(e > NegligibleChange)) {
        return MaxAccurateFigures;
    }
    if (!(v > NegligibleChange)) {
        return 0;
    }
    const double digits = std::floor(std::log10(v / e));
    return static_cast<int>(std::clamp(digits, 0.0, static_cast<double>(MaxAccurateFigures)));
}

} // namespace kv
