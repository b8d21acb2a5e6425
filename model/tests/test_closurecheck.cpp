// Why a closure is singular: the undetermined combinations, the exchanges that
// cure it (checked against real solves), and the sentence for the student.
#include "closurecheck.h"
#include "model_fixture.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

const std::set<std::string> PriceLevel = {"c",     "p(11)",  "p(12)",  "p(21)", "p(22)",
                                          "p(31)", "p(32)1", "p(32)2", "phi",   "cpi"};

std::set<std::string> DirectionNames(const kv::Variable_Real& w) {
    std::set<std::string> names;
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        if (w(v) != 0) {
            names.insert(kv::VarName(v));
        }
    }
    return names;
}

// Largest |M w| over the equations, relative to the size of M's entries.
double Residual(const kv::Tableau_Real& M, const kv::Variable_Real& w) {
    double worst = 0;
    for (int r = 1; r <= kv::NumEqs; ++r) {
        double sum = 0;
        double size = 0;
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            sum += M(r, v) * w(v);
            size = std::max(size, std::fabs(M(r, v)));
        }
        worst = std::max(worst, std::fabs(sum) / size);
    }
    return worst;
}

kv::TExchange Exchange(const char* endo, const char* exo) {
    return {kv::FindVariable(endo), kv::FindVariable(exo)};
}

TEST_F(ModelTest, SoundClosureNeedsNoExplanation) {
    const kv::TClosureCheck check = kv::CheckClosure(E.BaseData, E.Closure);
    EXPECT_FALSE(check.Singular);
    EXPECT_FALSE(check.Unreliable);
    EXPECT_GT(check.ConditionEstimate, 1);
    EXPECT_LT(check.ConditionEstimate, 1e4);
    EXPECT_TRUE(check.NullDirections.empty());
    EXPECT_TRUE(check.FixingExchanges.empty());
    EXPECT_EQ(check.Explanation, "");
}

struct SingularCase {
    const char* endo; // the user's exchange that made the closure singular
    const char* exo;
    std::vector<kv::Equation> emptyEquations;
    const char* explanation; // the whole text, or a part of it
    bool whole;
};

class SingularClosure : public ModelTest, public ::testing::WithParamInterface<SingularCase> {};

TEST_P(SingularClosure, NamesTheVariablesAndListsExactlyTheCuringExchanges) {
    const SingularCase c = GetParam();
    Swap(c.endo, c.exo);
    const kv::TExchange last = Exchange(c.endo, c.exo);
    const kv::TClosureCheck check = kv::CheckClosure(E.BaseData, E.Closure, last);
    ASSERT_TRUE(check.Singular);
    EXPECT_FALSE(check.Unreliable);
    ASSERT_EQ(check.NullDirections.size(), 1u);
    const kv::Variable_Real& w = check.NullDirections[0];
    EXPECT_EQ(DirectionNames(w), PriceLevel);
    EXPECT_LT(Residual(E.Tableau, w), 1e-12);
    EXPECT_EQ(check.EmptyEquations, c.emptyEquations);
    if (c.whole) {
        EXPECT_EQ(check.Explanation, c.explanation);
    } else {
        EXPECT_NE(check.Explanation.find(c.explanation), std::string::npos) << check.Explanation;
    }
    ASSERT_FALSE(check.FixingExchanges.empty());
    EXPECT_EQ(check.FixingExchanges.front(), Exchange(c.exo, c.endo)); // undoing comes first

    // Every single exchange, solved: the listed ones solve, the others are singular.
    const kv::TClosure closure = E.Closure;
    Shock("t2") = -10;
    std::set<std::pair<int, int>> listed;
    for (const kv::TExchange& x : check.FixingExchanges) {
        listed.insert({x.Endogenous, x.Exogenous});
        EXPECT_NE(w(x.Endogenous), 0) << "a cure leaves a variable of the direction endogenous";
    }
    EXPECT_EQ(listed.size(), check.FixingExchanges.size());
    for (int k = 1; k <= kv::NumEndo; ++k) {
        for (int j = 1; j <= kv::NumExo; ++j) {
            kv::TClosure trial = closure;
            kv::ExchangeVariables(trial, k, j);
            kv::Variable_Real vec = E.ShockVec;
            const auto res = kv::SolveModel(1, E.BaseData, E.NewData, vec, trial);
            const bool isListed = listed.count({closure.EndoVar(k), closure.ExoList(j)}) > 0;
            EXPECT_EQ(res.singular, !isListed)
                << kv::VarName(closure.EndoVar(k)) << " with " << kv::VarName(closure.ExoList(j));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Classic, SingularClosure,
    ::testing::Values(
        SingularCase{"x(11)3",
                     "phi",
                     {},
                     "Nothing in this closure fixes the price level: c, p(11), p(12), p(21), "
                     "p(22), p(31), p(32)1, p(32)2, phi and cpi can all rise by the same "
                     "percentage without breaking any equation. Make one of them exogenous, for "
                     "example by exchanging phi with x(11)3.",
                     true},
        SingularCase{"x(32)1",
                     "phi",
                     {32},
                     "Equation 32 contains no endogenous variable: it ties the exogenous x(32)1 "
                     "and k1 together. Nothing in this closure fixes the price level: c, p(11), "
                     "p(12), p(21), p(22), p(31), p(32)1, p(32)2, phi and cpi can all rise by the "
                     "same percentage without breaking any equation. Make one of them exogenous "
                     "and x(32)1 or k1 endogenous, for example by exchanging phi with x(32)1.",
                     true}));

TEST_F(ModelTest, TwoUndeterminedCombinationsNeedTwoExchanges) {
    Swap("x(11)3", "phi");
    Swap("x(12)3", "f(21)4");
    const kv::TClosureCheck check = kv::CheckClosure(E.BaseData, E.Closure);
    ASSERT_TRUE(check.Singular);
    ASSERT_EQ(check.NullDirections.size(), 2u);
    for (const kv::Variable_Real& w : check.NullDirections) {
        EXPECT_LT(Residual(E.Tableau, w), 1e-12);
    }
    EXPECT_TRUE(check.FixingExchanges.empty());
    EXPECT_NE(check.Explanation.find("f(21)4"), std::string::npos) << check.Explanation;
    EXPECT_NE(check.Explanation.find("No single exchange makes this closure solvable: it needs at "
                                     "least 2 exchanges"),
              std::string::npos)
        << check.Explanation;
}

TEST_F(ModelTest, NearlySingularClosureSolvesButIsUnreliable) {
    // The price-level closure, with every coefficient a hundred million times
    // larger and one of them off by a hundred-billionth: every pivot passes,
    // but the matrix is within 1e-11 of a singular one.
    Swap("x(11)3", "phi");
    kv::Tableau_Real M = E.Tableau;
    for (double& m : M.Cells) {
        m *= 1e8;
    }
    M(39, kv::FindVariable("c")) *= 1 + 1e-11;
    kv::Variable_Real S{};
    S(kv::FindVariable("t2")) = -10;
    EXPECT_FALSE(kv::SolveLinearStep(M, E.Closure, S));

    const kv::TClosureCheck check = kv::CheckClosure(M, E.Closure);
    EXPECT_FALSE(check.Singular);
    EXPECT_TRUE(check.Unreliable);
    EXPECT_GT(check.ConditionEstimate, kv::UnreliableCondition);
    ASSERT_EQ(check.NullDirections.size(), 1u);
    EXPECT_EQ(DirectionNames(check.NullDirections[0]), PriceLevel);
    EXPECT_EQ(check.Explanation.rfind("This closure can be solved, but its results are "
                                      "unreliable",
                                      0),
              0u)
        << check.Explanation;
    EXPECT_NE(check.Explanation.find("the price level"), std::string::npos);
    ASSERT_FALSE(check.FixingExchanges.empty());
    for (const kv::TExchange& x : check.FixingExchanges) {
        kv::TClosure trial = E.Closure;
        kv::ExchangeVariables(trial, E.Closure.EndoPos(x.Endogenous), ExoPlace(x.Exogenous));
        const kv::TClosureCheck after = kv::CheckClosure(M, trial);
        EXPECT_FALSE(after.Singular || after.Unreliable)
            << kv::VarName(x.Endogenous) << " with " << kv::VarName(x.Exogenous);
    }
}

} // namespace
