#include "model_fixture.h"

#include <map>

namespace {

using Row = std::map<std::string, double>;

// Compares one whole row of the tableau: the listed entries, and 0 elsewhere.
void ExpectRow(const kv::Tableau_Real& M, int row, const Row& entries, double tol) {
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        const auto it = entries.find(kv::VarName(v));
        const double want = it == entries.end() ? 0.0 : it->second;
        EXPECT_NEAR(M(row, v), want, tol) << "row " << row << ", " << kv::VarName(v);
    }
}

TEST_F(ModelTest, DefaultTableauRows) {
    const kv::Tableau_Real& M = E.Tableau;
    ExpectRow(M, 1,
              {{"x(11)3", 1},
               {"c", -1},
               {"p(11)", 0.329749},
               {"p(12)", -0.039427},
               {"p(21)", 0.548387},
               {"p(22)", 0.161290}},
              5e-7);
    ExpectRow(M, 23,
              {{"p(11)", 35.0 / 61},
               {"p(12)", -1.0 / 61},
               {"p(21)", 1.0 / 61},
               {"p(22)", -5.0 / 61},
               {"p(31)", -20.0 / 61},
               {"p(32)1", -10.0 / 61}},
              1e-15);
    ExpectRow(M, 24,
              {{"p(11)", 1.0 / 44},
               {"p(12)", -8.0 / 44},
               {"p(21)", 34.0 / 44},
               {"p(22)", -2.0 / 44},
               {"p(31)", -20.0 / 44},
               {"p(32)2", -5.0 / 44}},
              1e-15);
    ExpectRow(M, 34,
              {{"m", 1},
               {"p*(12)", -9.0 / 21},
               {"p*(22)", -12.0 / 21},
               {"x(12)1", -0.042857},
               {"x(12)2", -0.342857},
               {"x(12)3", -0.042857},
               {"x(22)1", -0.168067},
               {"x(22)2", -0.067227},
               {"x(22)3", -0.336134}},
              5e-7);
    ExpectRow(
        M, 35,
        {{"e", 1}, {"p*(11)", -0.95}, {"x(11)4", -0.95}, {"p*(21)", -0.05}, {"x(21)4", -0.05}},
        1e-15);
    ExpectRow(M, 36, {{"delB", 1}, {"m", 0.21}, {"e", -0.2}}, 1e-15);
    ExpectRow(M, 5, {{"p*(11)", 1}, {"f(11)4", -1}, {"x(11)4", 0.5}}, 0);
    ExpectRow(M, 6, {{"p*(21)", 1}, {"f(21)4", -1}, {"x(21)4", 0.05}}, 1e-15);
    ExpectRow(M, 15, {{"x(31)1", 1}, {"z1", -1}, {"p(31)", 1.0 / 3}, {"p(32)1", -1.0 / 3}}, 1e-15);
    ExpectRow(M, 31, {{"x(31)1", 0.5}, {"x(31)2", 0.5}, {"l", -1}}, 0);
    ExpectRow(M, 29,
              {{"x(11)3", -17.0 / 54},
               {"x(11)4", -19.0 / 54},
               {"y(11)1", 45.0 / 54},
               {"y(11)2", 1 - 45.0 / 54},
               {"x(11)1", -10.0 / 54},
               {"x(11)2", -8.0 / 54}},
              1e-15);
}

TEST_F(ModelTest, SafeRatiosFallBackToTheirDefaults) {
    kv::Data_Real D = E.BaseData;
    D(10, 4) = 0; // no export elasticity: r1 = 1000
    for (int r = 1; r <= 4; ++r) {
        D(r, 3) = 0; // no household purchases: shares 0.25 and 0.5
    }
    kv::DeriveData(D);
    kv::Tableau_Real M;
    kv::BuildTableau(D, M);
    EXPECT_EQ(M(5, kv::FindVariable("x(11)4")), 1000);
    ExpectRow(M, 1,
              {{"x(11)3", 1},
               {"c", -1},
               {"p(11)", 0.75},
               {"p(12)", -0.25},
               {"p(21)", 0.25},
               {"p(22)", 0.25}},
              0);
    ExpectRow(M, 37,
              {{"cpi", 1}, {"p(11)", -0.25}, {"p(12)", -0.25}, {"p(21)", -0.25}, {"p(22)", -0.25}},
              0);
}

TEST_F(ModelTest, ScalingTheMoneyValuesScalesOnlyTheTradeBalanceRow) {
    kv::Data_Real D = E.BaseData;
    for (int r = 1; r <= 11; ++r) {
        for (int c = 1; c <= 6; ++c) {
            const bool elasticity = (r == 10 || r == 11) && c == 4;
            if (!elasticity) {
                D(r, c) *= 3;
            }
        }
    }
    kv::Tableau_Real M;
    kv::BuildTableau(D, M);
    for (int i = 1; i <= kv::NumEqs; ++i) {
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            const bool scaled =
                i == 36 && (v == kv::FindVariable("m") || v == kv::FindVariable("e"));
            EXPECT_NEAR(M(i, v), E.Tableau(i, v) * (scaled ? 3 : 1), 1e-12)
                << i << "," << kv::VarName(v);
        }
    }
}

struct ZeroCase {
    const char* name;
    std::vector<std::pair<std::pair<int, int>, double>> edits;
    bool invalidOp; // 0/0 rather than x/0
};

class ZeroDivisors : public ::testing::TestWithParam<ZeroCase> {};

TEST_P(ZeroDivisors, PlainDivisionsRaise) {
    kv::Data_Real D = kv::TExperiment().BaseData;
    for (const auto& [cell, value] : GetParam().edits) {
        D(cell.first, cell.second) = value;
    }
    kv::DeriveData(D);
    kv::Tableau_Real M;
    if (GetParam().invalidOp) {
        EXPECT_THROW(kv::BuildTableau(D, M), kv::EInvalidOp);
    } else {
        EXPECT_THROW(kv::BuildTableau(D, M), kv::EZeroDivide);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ZeroDivisors,
                         ::testing::Values(
                             // a11 = D(3,1) / (D(3,1) + D(1,1)) = 0/0
                             ZeroCase{"no_good1_inputs_ind1", {{{3, 1}, 0}, {{1, 1}, 0}}, true},
                             // a21 = 5 / (5 + -5)
                             ZeroCase{"cancelling_good2_inputs_ind1", {{{2, 1}, -5}}, false},
                             // MT = D(3,6) + D(4,6) = 5 + -5 = 0
                             ZeroCase{
                                 "imports_cancelling_out", {{{3, 5}, -5}, {{4, 5}, -22}}, false},
                             // with no imports at all, D(3,6) / MT is 0/0
                             ZeroCase{"no_imports", {{{3, 5}, -10}, {{4, 5}, -17}}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
