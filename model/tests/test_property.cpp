// Random experiments as a student could set them up on the pages: entered
// cells within the Data page's range, exchanges between the two lists, shocks
// within the Shocks page's range. Every solve must either succeed with finite
// results that reproduce the shocks, or report one of the expected failures.
#include "model_fixture.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

TEST_F(ModelTest, RandomExperimentsSucceedOrFailCleanly) {
    std::mt19937 rng(20261210);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<std::pair<int, int>> entered;
    for (int r = 1; r <= kv::DataRows; ++r) {
        for (int c = 1; c <= kv::DataCols; ++c) {
            if (kv::EditMask(r, c)) {
                entered.emplace_back(r, c);
            }
        }
    }
    // Values a student types: mostly near the defaults, sometimes at the limits.
    auto pageValue = [&](double current, double lo, double hi) {
        const double u = unit(rng);
        double v = u < 0.1 ? lo : u < 0.2 ? hi : u < 0.3 ? 0.0 : current * (0.5 + unit(rng));
        v = std::round(v * 100) / 100;
        return std::clamp(v, lo, hi);
    };

    int outcomes[4] = {}; // success, singular, negative flow, floating-point error
    for (int trial = 0; trial < 250; ++trial) {
        E.Reset();
        const int edits = static_cast<int>(unit(rng) * 3);
        for (int e = 0; e < edits; ++e) {
            const auto [r, c] = entered[static_cast<std::size_t>(unit(rng) * entered.size())];
            E.BaseData(r, c) = pageValue(E.BaseData(r, c), -100, 500);
        }
        if (kv::DeriveData(E.BaseData)) {
            continue; // the Data page refuses to go on with a negative flow
        }
        const int exchanges = static_cast<int>(unit(rng) * 3);
        for (int e = 0; e < exchanges; ++e) {
            kv::ExchangeVariables(E.Closure, 1 + static_cast<int>(unit(rng) * kv::NumEndo),
                                  1 + static_cast<int>(unit(rng) * kv::NumExo));
        }
        for (int j = 1; j <= kv::NumExo; ++j) {
            const double u = unit(rng);
            E.ShockVec(E.Closure.ExoList(j)) = u < 0.5 ? 0.0
                                               : u < 0.9
                                                   ? std::round((unit(rng) * 40 - 20) * 100) / 100
                                                   : pageValue(10, -99, 500);
        }
        const kv::Variable_Real shocks = E.ShockVec;
        for (int method = 1; method <= 5; ++method) {
            E.ShockVec = shocks;
            try {
                kv::BuildTableau(E.BaseData, E.Tableau);
                const auto res =
                    kv::SolveModel(method, E.BaseData, E.NewData, E.ShockVec, E.Closure);
                if (res.singular || res.negativeFlow) {
                    EXPECT_FALSE(res.success && res.singular);
                    ++outcomes[res.singular ? 1 : 2];
                    if (method <= 3 || res.singular) {
                        EXPECT_EQ(E.ShockVec, shocks);
                    }
                    continue;
                }
                ASSERT_TRUE(res.success);
                ++outcomes[0];
                for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
                    ASSERT_TRUE(std::isfinite(E.ShockVec(v))) << "trial " << trial;
                    if (!E.Closure.Endo(v)) {
                        EXPECT_NEAR(E.ShockVec(v), shocks(v),
                                    1e-6 * std::max(1.0, std::fabs(shocks(v))))
                            << "trial " << trial << ", method " << method << ", " << kv::VarName(v);
                    }
                }
                for (double d : E.NewData.Cells) {
                    ASSERT_TRUE(std::isfinite(d));
                }
            } catch (const kv::EMathError&) {
                ++outcomes[3];
                EXPECT_EQ(E.ShockVec, shocks);
            }
        }
    }
    // The experiments must reach every kind of outcome, or they test little.
    EXPECT_GT(outcomes[0], 0);
    EXPECT_GT(outcomes[1], 0);
    EXPECT_GT(outcomes[2], 0);
    RecordProperty("outcomes", std::to_string(outcomes[0]) + "/" + std::to_string(outcomes[1]) +
                                   "/" + std::to_string(outcomes[2]) + "/" +
                                   std::to_string(outcomes[3]));
}

} // namespace
