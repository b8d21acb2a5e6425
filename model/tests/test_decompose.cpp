// Shock decomposition: the contributions must add up to the results, match
// independent Johansen solves of each shock alone, and leave the results
// exactly as a solve without decomposition gives them.
#include "model_fixture.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Contributions are compared to a billionth of the size involved, and never
// closer than a billionth of a per cent.
double Tolerance(double a, double b) {
    return 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

// Largest contribution to v, by size.
double LargestContribution(const kv::TDecomposition& d, kv::Variable v) {
    double m = 0;
    for (double c : d.Contribution(v)) {
        m = std::max(m, std::fabs(c));
    }
    return m;
}

struct Outcome {
    kv::SolveResult res;
    kv::Variable_Real vec;
    kv::Data_Real newData;
};

Outcome Solve(const kv::TExperiment& E, int method, const kv::Variable_Real& shocks,
              kv::TDecomposition* d = nullptr) {
    Outcome o{{}, shocks, E.NewData};
    o.res = kv::SolveModel(method, E.BaseData, o.newData, o.vec, E.Closure, d);
    return o;
}

TEST_F(ModelTest, RandomExperimentsAddUpAndKeepTheirResultsBitForBit) {
    std::mt19937 rng(20270114);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int decomposed = 0;
    for (int trial = 0; trial < 40; ++trial) {
        E.Reset();
        // A few data edits that keep the database sound, a few exchanges, shocks.
        for (int e = 0; e < 2; ++e) {
            const int r = 1 + static_cast<int>(unit(rng) * 5);
            const int c = 1 + static_cast<int>(unit(rng) * 3);
            if (kv::EditMask(r, c)) {
                E.BaseData(r, c) *= 0.6 + 0.8 * unit(rng);
            }
        }
        if (kv::DeriveData(E.BaseData)) {
            continue;
        }
        for (int e = static_cast<int>(unit(rng) * 3); e > 0; --e) {
            kv::ExchangeVariables(E.Closure, 1 + static_cast<int>(unit(rng) * kv::NumEndo),
                                  1 + static_cast<int>(unit(rng) * kv::NumExo));
        }
        kv::Variable_Real shocks{};
        for (int j = 1; j <= kv::NumExo; ++j) {
            if (unit(rng) < 0.6) {
                shocks(E.Closure.ExoList(j)) = std::round((unit(rng) * 40 - 20) * 100) / 100;
            }
        }
        for (int method = 1; method <= 5; ++method) {
            const Outcome plain = Solve(E, method, shocks);
            kv::TDecomposition d{};
            const Outcome split = Solve(E, method, shocks, &d);
            ASSERT_EQ(split.res.success, plain.res.success);
            ASSERT_EQ(split.res.singular, plain.res.singular);
            ASSERT_EQ(split.res.negativeFlow, plain.res.negativeFlow);
            EXPECT_EQ(split.vec, plain.vec) << "trial " << trial << ", method " << method;
            EXPECT_EQ(split.newData, plain.newData) << "trial " << trial << ", method " << method;
            if (!plain.res.success) {
                EXPECT_EQ(d, kv::TDecomposition{}) << "a failed solve wrote a decomposition";
                continue;
            }
            ++decomposed;
            for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
                const double total = kv::DecompositionTotal(d, v);
                EXPECT_NEAR(total, plain.vec(v), Tolerance(plain.vec(v), LargestContribution(d, v)))
                    << "trial " << trial << ", method " << method << ", " << kv::VarName(v);
                for (kv::Variable j = 1; j <= kv::NumVars; ++j) {
                    if (E.Closure.Endo(j) || (!E.Closure.Endo(v) && j != v)) {
                        ASSERT_EQ(d(v, j), 0.0) << kv::VarName(v) << " from " << kv::VarName(j);
                    }
                }
            }
        }
    }
    EXPECT_GT(decomposed, 100);
}

// Several shocks at once; under Johansen, the contribution of each must be
// what a solve of that shock alone gives.
class JohansenByShock : public ModelTest, public ::testing::WithParamInterface<bool> {};

TEST_P(JohansenByShock, ContributionEqualsTheResultOfTheShockAlone) {
    if (GetParam()) {
        Swap("delB", "cR"); // the trade balance exogenous: its shock is in money units
        Shock("delB") = 1.5;
    }
    Shock("t2") = -10;
    Shock("k1") = 25;
    Shock("phi") = 5;
    Shock("f(31)") = -3;
    const kv::Variable_Real shocks = E.ShockVec;
    kv::TDecomposition d;
    ASSERT_TRUE(Solve(E, 1, shocks, &d).res.success);
    for (int j = 1; j <= kv::NumExo; ++j) {
        const kv::Variable x = E.Closure.ExoList(j);
        kv::Variable_Real alone{};
        alone(x) = shocks(x);
        const Outcome o = Solve(E, 1, alone);
        ASSERT_TRUE(o.res.success);
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            EXPECT_NEAR(d(v, x), o.vec(v), Tolerance(o.vec(v), 0))
                << kv::VarName(v) << " from " << kv::VarName(x);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Closures, JohansenByShock, ::testing::Values(false, true));

struct SingleShock {
    int method;
    const char* variable;
    double shock;
};

class SingleShockDecomposition : public ModelTest,
                                 public ::testing::WithParamInterface<SingleShock> {};

TEST_P(SingleShockDecomposition, OneColumnEqualsTheResult) {
    const SingleShock c = GetParam();
    const kv::Variable x = kv::FindVariable(c.variable);
    if (E.Closure.Endo(x)) {
        Swap(c.variable, "cR");
    }
    kv::Variable_Real shocks{};
    shocks(x) = c.shock;
    kv::TDecomposition d;
    const Outcome o = Solve(E, c.method, shocks, &d);
    ASSERT_TRUE(o.res.success);
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        EXPECT_NEAR(d(v, x), o.vec(v), Tolerance(o.vec(v), 0)) << kv::VarName(v);
        for (kv::Variable j = 1; j <= kv::NumVars; ++j) {
            if (j != x) {
                ASSERT_EQ(d(v, j), 0.0) << kv::VarName(v) << " from " << kv::VarName(j);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, SingleShockDecomposition,
                         ::testing::Values(SingleShock{1, "t2", -10}, SingleShock{2, "t2", -10},
                                           SingleShock{3, "k1", 40}, SingleShock{4, "t2", -10},
                                           SingleShock{5, "p*(22)", 30}, SingleShock{3, "cR", -60},
                                           SingleShock{5, "delB", 3}));

class FailedDecomposition : public ModelTest, public ::testing::WithParamInterface<int> {};

TEST_P(FailedDecomposition, SingularSolveLeavesItUntouched) {
    Swap("x(32)1", "phi");
    Shock("t2") = -10;
    kv::TDecomposition d;
    d(5, 43) = 7; // a mark that a failed solve must not overwrite
    const kv::TDecomposition before = d;
    EXPECT_TRUE(Solve(E, GetParam(), E.ShockVec, &d).res.singular);
    EXPECT_EQ(d, before);
}

INSTANTIATE_TEST_SUITE_P(AllMethods, FailedDecomposition, ::testing::Values(1, 2, 3, 4, 5));

} // namespace
