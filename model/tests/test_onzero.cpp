// Databases that sit exactly on zero: a derived flow (exports, capital) or an
// import row that is exactly 0. The sums that derive the database leave
// rounding noise of either sign there; it must count as 0, neither as a
// negative flow nor as a tiny divisor. Each case is checked against the same
// experiment on a database a hair off zero, which has no such noise problem
// and must give the same answers.
#include "model_fixture.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace {

using Cell = std::pair<int, int>;

struct OnZeroCase {
    const char* name;
    std::vector<std::pair<Cell, double>> onZero;  // edits that put the database on zero
    std::vector<Cell> zeroCells;                  // derived cells that are then 0
    std::vector<std::pair<Cell, double>> offZero; // the same database a hair off zero
    std::vector<std::pair<const char*, double>> shocks;
};

void PrintTo(const OnZeroCase& c, std::ostream* os) {
    *os << c.name;
}

class OnZero : public ModelTest, public ::testing::WithParamInterface<std::tuple<OnZeroCase, int>> {
protected:
    static void Edit(kv::Data_Real& D, const std::vector<std::pair<Cell, double>>& edits) {
        for (const auto& [cell, value] : edits) {
            D(cell.first, cell.second) = value;
        }
    }
    static double Scale(const kv::Data_Real& D) {
        double scale = 0;
        for (double v : D.Cells) {
            scale = std::max(scale, std::fabs(v));
        }
        return scale;
    }
};

TEST_P(OnZero, SolvedByEveryMethodLikeTheDatabaseJustOffZero) {
    const auto& [c, method] = GetParam();

    kv::Data_Real base = E.BaseData;
    Edit(base, c.onZero);
    ASSERT_FALSE(kv::DeriveData(base));
    for (const Cell& cell : c.zeroCells) {
        EXPECT_EQ(base(cell.first, cell.second), 0.0);
        EXPECT_FALSE(std::signbit(base(cell.first, cell.second)));
    }

    kv::Variable_Real vec;
    for (const auto& [name, value] : c.shocks) {
        vec(kv::FindVariable(name)) = value;
    }
    const kv::Variable_Real shocks = vec;
    kv::Data_Real updated;
    const auto res = kv::SolveModel(method, base, updated, vec, E.Closure);
    ASSERT_TRUE(res.success);
    EXPECT_FALSE(res.negativeFlow);
    EXPECT_FALSE(res.singular);
    // Every tested flow of the updated database is 0 or positive, and no zero
    // carries a minus sign into a grid.
    for (int r = 1; r <= 9; ++r) {
        for (int col = 1; col <= kv::DataCols; ++col) {
            const double v = updated(r, col);
            if (col <= 4) {
                EXPECT_GE(v, 0.0) << "D(" << r << "," << col << ")";
            }
            if (v == 0.0) {
                EXPECT_FALSE(std::signbit(v)) << "D(" << r << "," << col << ") is -0";
            }
        }
    }

    // The same experiment a hair off zero: the same results and database.
    kv::Data_Real nearBase = E.BaseData;
    Edit(nearBase, c.offZero);
    ASSERT_FALSE(kv::DeriveData(nearBase));
    for (const Cell& cell : c.zeroCells) {
        EXPECT_GT(nearBase(cell.first, cell.second), 0.0) << "the reference must be off zero";
    }
    kv::Variable_Real nearVec = shocks;
    kv::Data_Real nearUpdated;
    ASSERT_TRUE(kv::SolveModel(method, nearBase, nearUpdated, nearVec, E.Closure).success);
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        EXPECT_NEAR(vec(v), nearVec(v), 1e-4) << kv::VarName(v);
    }
    const double tolerance = 1e-6 * Scale(nearUpdated);
    for (int i = 0; i < kv::DataRows * kv::DataCols; ++i) {
        EXPECT_NEAR(updated.Cells[i], nearUpdated.Cells[i], tolerance)
            << "D(" << i / kv::DataCols + 1 << "," << i % kv::DataCols + 1 << ")";
    }
}

// Each database with shocks under which every method finds the flow on zero
// staying on zero. (Under the extrapolations some other shocks move it off
// zero for real: the final update with extrapolated changes is not one linear
// step, and its residual is a genuine, if small, number of either sign.)
const OnZeroCase Cases[] = {
    // Industry 1's output of good 2 equals its home uses: no exports of good 2.
    {"exports_of_good_2_capital_up", {{{9, 1}, 15}}, {{2, 4}}, {{{9, 1}, 15.00001}}, {{"k1", 10}}},
    {"exports_of_good_2_capital_down",
     {{{9, 1}, 15}},
     {{2, 4}},
     {{{9, 1}, 15.00001}},
     {{"k1", -1}}},
    {"exports_of_good_2_exchange_rate",
     {{{9, 1}, 15}},
     {{2, 4}},
     {{{9, 1}, 15.00001}},
     {{"phi", 10}}},
    {"exports_of_good_2_capital_2_up", {{{9, 1}, 15}}, {{2, 4}}, {{{9, 1}, 15.00001}}, {{"k2", 5}}},
    // Households buy all of domestic good 1 that industry does not.
    {"exports_of_good_1_capital_up", {{{1, 3}, 36}}, {{1, 4}}, {{{1, 3}, 35.99999}}, {{"k1", 10}}},
    {"exports_of_good_1_capital_2_up", {{{1, 3}, 36}}, {{1, 4}}, {{{1, 3}, 35.99999}}, {{"k2", 5}}},
    // Industry 1's wage bill takes all that is left for capital.
    {"capital_of_industry_1_exchange_rate",
     {{{5, 1}, 30}},
     {{6, 1}},
     {{{5, 1}, 29.99999}},
     {{"phi", 10}}},
    {"capital_of_industry_1_capital_up",
     {{{5, 1}, 30}},
     {{6, 1}},
     {{{5, 1}, 29.99999}},
     {{"k1", 25}}},
    // Entered numbers with two decimals whose sum is not exact in binary.
    {"capital_of_industry_2_in_decimals_exchange_rate",
     {{{1, 2}, 7}, {{3, 2}, 7.49}, {{5, 2}, 26.51}},
     {{6, 2}},
     {{{1, 2}, 7}, {{3, 2}, 7.49}, {{5, 2}, 26.50999}},
     {{"phi", 10}}},
    {"capital_of_industry_2_in_decimals_capital_2_up",
     {{{1, 2}, 7}, {{3, 2}, 7.49}, {{5, 2}, 26.51}},
     {{6, 2}},
     {{{1, 2}, 7}, {{3, 2}, 7.49}, {{5, 2}, 26.50999}},
     {{"k2", 5}}},
    // The duty on imported good 1 equals its purchases: imports of good 1
    // before duty are nothing.
    {"imports_of_good_1_before_duty",
     {{{3, 1}, 1.1}, {{3, 2}, 7.9}, {{3, 3}, 1.3}, {{3, 5}, -10.3}},
     {{3, 6}},
     {{{3, 1}, 1.1}, {{3, 2}, 7.9}, {{3, 3}, 1.3}, {{3, 5}, -10.29999}},
     {{"t2", -10}, {"k1", 3}}},
};

INSTANTIATE_TEST_SUITE_P(Databases, OnZero,
                         ::testing::Combine(::testing::ValuesIn(Cases), ::testing::Range(1, 6)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_method" +
                                    std::to_string(std::get<1>(info.param));
                         });

// The noise rule itself, on sums that are not exact in binary: a derived cell
// within the limit is 0 (never -0) and no negative flow, and the totals keep
// the values the sums give them; a residual just above the limit is kept.
struct NoiseCase {
    const char* name;
    std::vector<std::pair<Cell, double>> edits;
    Cell cell;
    double (*residual)(const kv::Data_Real& D); // as the derivation forms it
};

void PrintTo(const NoiseCase& c, std::ostream* os) {
    *os << c.name;
}

class RoundingNoise : public ::testing::TestWithParam<NoiseCase> {};

double Capital2(const kv::Data_Real& D) {
    return D(8, 2) + D(9, 2) - D(1, 2) - D(2, 2) - D(3, 2) - D(4, 2) - D(5, 2);
}
double Exports2(const kv::Data_Real& D) {
    return D(9, 1) + D(9, 2) - D(2, 1) - D(2, 2) - D(2, 3);
}

TEST_P(RoundingNoise, IsStoredAsZero) {
    kv::Data_Real D;
    kv::DefaultData(D);
    for (const auto& [cell, value] : GetParam().edits) {
        D(cell.first, cell.second) = value;
    }
    const double raw = GetParam().residual(D);
    ASSERT_NE(raw, 0.0) << "the case must leave noise in the sum";
    ASSERT_LE(std::fabs(raw), 1e-12 * 100);
    EXPECT_FALSE(kv::DeriveData(D));
    const auto [r, c] = GetParam().cell;
    EXPECT_EQ(D(r, c), 0.0);
    EXPECT_FALSE(std::signbit(D(r, c)));
    // The column total was formed with the sum's own value, bit for bit.
    double total = D(1, c);
    for (int row = 2; row <= 6; ++row) {
        total += row == r ? raw : D(row, c);
    }
    EXPECT_EQ(D(7, c), total);
}

INSTANTIATE_TEST_SUITE_P(
    Sums, RoundingNoise,
    ::testing::Values(
        NoiseCase{
            "capital_below_zero", {{{1, 2}, 7}, {{3, 2}, 7.49}, {{5, 2}, 26.51}}, {6, 2}, Capital2},
        NoiseCase{"exports_below_zero", {{{9, 1}, 15.27}, {{2, 3}, 34.27}}, {2, 4}, Exports2},
        NoiseCase{"exports_above_zero", {{{9, 1}, 15.48}, {{2, 3}, 34.48}}, {2, 4}, Exports2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RoundingNoiseLimit, AResidualJustAboveTheLimitIsKeptBitForBit) {
    kv::Data_Real D;
    kv::DefaultData(D);
    D(5, 2) = 25 - 1e-9;
    const double small = Capital2(D);
    EXPECT_FALSE(kv::DeriveData(D));
    EXPECT_GT(small, kv::RoundingNoiseLimit(D));
    EXPECT_EQ(D(6, 2), small);
    EXPECT_EQ(kv::RoundingNoiseLimit(D), 1e-12 * D(7, 6));
}

} // namespace
