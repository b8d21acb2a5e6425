// Accuracy of the solution methods on the import-tax experiment (t2 = -10):
// Euler with any number of steps, the convergence runs and the estimated error
// of each method as accurate significant figures.
#include "convergence.h"
#include "model_fixture.h"

#include <cmath>

namespace {

class Convergence : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        Shock("t2") = -10;
        conv_ = kv::ComputeConvergence(E.BaseData, E.ShockVec, E.Closure);
        ASSERT_TRUE(conv_.Extrapolation81632.has_value());
        best_ = *conv_.Extrapolation81632;
    }
    kv::Variable_Real Euler(int n) const {
        kv::Variable_Real vec = E.ShockVec;
        kv::Data_Real work;
        EXPECT_TRUE(kv::EulerSolve(n, E.BaseData, work, vec, E.Closure).success) << n;
        return vec;
    }
    const kv::Variable_Real& Run(int k) const { return *conv_.Euler(k); }

    kv::TConvergence conv_;
    kv::Variable_Real best_;
};

TEST_F(Convergence, RunsAreTheResultsOfTheMethodsBitForBit) {
    const std::pair<int, const kv::Variable_Real*> methods[] = {
        {1, &Run(1)}, {2, &Run(3)}, {3, &Run(5)}, {4, &*conv_.Extrapolation248}, {5, &best_}};
    for (const auto& [method, values] : methods) {
        kv::Variable_Real vec = E.ShockVec;
        ASSERT_TRUE(kv::SolveModel(method, E.BaseData, E.NewData, vec, E.Closure).success);
        EXPECT_EQ(vec, *values) << "method " << method;
    }
}

TEST_F(Convergence, EulerErrorHalvesWhenTheStepsDouble) {
    int checked = 0;
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        if (std::fabs(Run(1)(v) - best_(v)) < 1e-3) {
            continue; // no error to speak of
        }
        // From 2 steps on; the single Johansen step is too coarse to follow the rule.
        for (int k = 2; k < kv::ConvergenceRuns; ++k) {
            const double ratio = (Run(k)(v) - best_(v)) / (Run(k + 1)(v) - best_(v));
            EXPECT_NEAR(ratio, 2, 0.25) << kv::VarName(v) << ", " << kv::ConvergenceSteps(k)
                                        << " steps against " << kv::ConvergenceSteps(k + 1);
            ++checked;
        }
    }
    EXPECT_GT(checked, 80);
}

TEST_F(Convergence, ExtrapolationsAgreeWithEuler64FarBetterThanEuler16) {
    const kv::Variable_Real& e16 = Run(5);
    const kv::Variable_Real& e64 = Run(7);
    int checked = 0;
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        const double gap16 = std::fabs(e16(v) - e64(v));
        if (gap16 < 1e-6) {
            continue;
        }
        ++checked;
        for (const kv::Variable_Real* x : {&*conv_.Extrapolation248, &best_}) {
            EXPECT_LT(2.5 * std::fabs((*x)(v)-e64(v)), gap16) << kv::VarName(v);
        }
        // The two extrapolations are much closer to each other (and so to the
        // limit) than even Euler 64 is to either.
        EXPECT_LT(10 * std::fabs((*conv_.Extrapolation248)(v)-best_(v)),
                  std::fabs(e64(v) - best_(v)))
            << kv::VarName(v);
    }
    EXPECT_GT(checked, 20);
}

class AnySteps : public Convergence, public ::testing::WithParamInterface<int> {};

TEST_P(AnySteps, ErrorFallsInProportionToTheSteps) {
    const int n = GetParam();
    const kv::Variable_Real vec = Euler(n);
    const kv::Variable_Real& e64 = Run(7);
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        if (!E.Closure.Endo(v)) {
            EXPECT_NEAR(vec(v), E.ShockVec(v), 1e-9) << kv::VarName(v);
            continue;
        }
        const double predicted = (e64(v) - best_(v)) * 64 / n;
        if (std::fabs(e64(v) - best_(v)) > 1e-4) {
            EXPECT_NEAR(vec(v) - best_(v), predicted, 0.15 * std::fabs(predicted))
                << kv::VarName(v) << ", " << n << " steps";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(StepCounts, AnySteps, ::testing::Values(3, 5, 100, 1000));

TEST_F(ModelTest, EulerWithoutStepsIsRefused) {
    Shock("t2") = -10;
    for (int n : {0, -4}) {
        kv::Variable_Real vec = E.ShockVec;
        EXPECT_THROW(kv::EulerSolve(n, E.BaseData, E.NewData, vec, E.Closure), kv::Exception);
        EXPECT_EQ(vec, E.ShockVec);
    }
}

TEST_F(Convergence, EstimatedErrorIsDefinedByTheMethodAndNotOverconfident) {
    // Each Euler method against Euler with twice its steps, computed apart.
    const std::pair<int, int> euler[] = {{1, 1}, {2, 4}, {3, 16}};
    for (const auto& [method, n] : euler) {
        const kv::Variable_Real fine = Euler(2 * n);
        const kv::Variable_Real coarse = Euler(n);
        const auto est = kv::EstimatedError(conv_, method);
        ASSERT_TRUE(est.has_value());
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            EXPECT_DOUBLE_EQ((*est)(v), coarse(v) - fine(v)) << kv::VarName(v);
        }
    }
    // The limit, far more exact than any method: the 64-128-256 extrapolation.
    const kv::Variable_Real limit = kv::ExtrapolateResults(Euler(64), Euler(128), Euler(256));
    const kv::Variable_Real* results[] = {
        nullptr, &Run(1), &Run(3), &Run(5), &*conv_.Extrapolation248, &best_};
    for (int method = 1; method <= 5; ++method) {
        const auto est = kv::EstimatedError(conv_, method);
        ASSERT_TRUE(est.has_value());
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            const double value = (*results[method])(v);
            EXPECT_LE(kv::AccurateFigures(value, (*est)(v)),
                      kv::AccurateFigures(value, value - limit(v)) + 1)
                << "method " << method << ", " << kv::VarName(v);
        }
    }
}

TEST_F(ModelTest, FailedRunsLeaveGaps) {
    Swap("x(32)1", "phi");
    Shock("t2") = -10;
    const kv::TConvergence conv = kv::ComputeConvergence(E.BaseData, E.ShockVec, E.Closure);
    for (int k = 1; k <= kv::ConvergenceRuns; ++k) {
        EXPECT_TRUE(conv.EulerResult(k).singular);
        EXPECT_FALSE(conv.Euler(k).has_value());
    }
    EXPECT_FALSE(conv.Extrapolation248 || conv.Extrapolation81632);
    for (int method = 1; method <= 5; ++method) {
        EXPECT_FALSE(kv::EstimatedError(conv, method).has_value());
    }
}

struct FiguresCase {
    double value;
    double error;
    int figures;
};

class Figures : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(Figures, FromTheRelativeError) {
    const FiguresCase c = GetParam();
    EXPECT_EQ(kv::AccurateFigures(c.value, c.error), c.figures)
        << c.value << " with error " << c.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Figures,
    ::testing::Values(FiguresCase{5.1785, 0.0005, 4}, // 10357: four figures
                      FiguresCase{-3.8328, 0.004, 2}, // 958: two
                      FiguresCase{-2, -0.02, 2},      // exactly 100: the sign plays no part
                      FiguresCase{1, 2, 0},           // error larger than the result
                      FiguresCase{10, 0, 15},         // exact
                      FiguresCase{0, 0, 15},          // an exact zero
                      FiguresCase{0, 1e-3, 0},        // zero, but not surely
                      FiguresCase{1e-13, 1e-14, 15},  // rounding on both sides: zero
                      FiguresCase{1e-13, 1e-3, 0},    // negligible result, real error
                      FiguresCase{1e10, 1e-11, 15},   // more than a double holds
                      FiguresCase{100, 1e-20, 15}));  // negligible error

} // namespace
