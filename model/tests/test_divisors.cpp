// Databases that leave coefficients of the tableau undefined: which cells and
// why, and that the check says so exactly when building the tableau (or
// updating the database) would fail.
#include "divisors.h"
#include "model_fixture.h"

#include <random>

namespace {

using Cell = std::pair<int, int>;

struct UndefinedCase {
    const char* name;
    std::vector<std::pair<Cell, double>> edits;
    const char* cellText; // of the first problem
    const char* reason;
};

void PrintTo(const UndefinedCase& c, std::ostream* os) {
    *os << c.name;
}

class Undefined : public ModelTest, public ::testing::WithParamInterface<UndefinedCase> {};

TEST_P(Undefined, NamesTheCellsAndTheReasonWhereTheTableauFails) {
    kv::Data_Real D = E.BaseData;
    for (const auto& [cell, value] : GetParam().edits) {
        D(cell.first, cell.second) = value;
    }
    kv::DeriveData(D);
    const auto problems = kv::UndefinedCoefficients(D);
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems.front().CellText, GetParam().cellText);
    EXPECT_EQ(problems.front().Reason, GetParam().reason);
    EXPECT_EQ(problems.front().Message(),
              std::string(GetParam().cellText) + ". " + GetParam().reason + ".");
    kv::Tableau_Real M;
    EXPECT_THROW(kv::BuildTableau(D, M), kv::EMathError);

    // The same through an edit of the last cell: the database itself is untouched.
    kv::Data_Real before = E.BaseData;
    for (std::size_t i = 0; i + 1 < GetParam().edits.size(); ++i) {
        const auto& [cell, value] = GetParam().edits[i];
        before(cell.first, cell.second) = value;
    }
    kv::DeriveData(before);
    const kv::Data_Real copy = before;
    const auto& [last, value] = GetParam().edits.back();
    const auto afterEdit =
        kv::UndefinedCoefficientsAfterEdit(before, last.first, last.second, value);
    EXPECT_EQ(kv::UndefinedCoefficientsText(afterEdit, "\n"),
              kv::UndefinedCoefficientsText(problems, "\n"));
    EXPECT_EQ(before, copy);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Undefined,
    ::testing::Values(
        UndefinedCase{"industry_1_uses_no_good_1",
                      {{{1, 1}, 0}, {{3, 1}, 0}},
                      "Domestic 1 and Imported 1 of Ind. 1 would both be 0",
                      "Industry 1 would use no good 1 at all: its input shares are undefined"},
        UndefinedCase{"industry_2_uses_no_good_2",
                      {{{2, 2}, 0}, {{4, 2}, 0}},
                      "Domestic 2 and Imported 2 of Ind. 2 would both be 0",
                      "Industry 2 would use no good 2 at all: its input shares are undefined"},
        UndefinedCase{"good_2_inputs_of_industry_1_cancel",
                      {{{2, 1}, -5}},
                      "Domestic 2 and Imported 2 of Ind. 1 would add up to 0",
                      "Industry 1 would use no good 2 at all: its input shares are undefined"},
        // Inputs of goods 1 and 2 remain, but a negative wage bill cancels them.
        UndefinedCase{"industry_2_has_no_costs",
                      {{{1, 2}, 0},
                       {{2, 2}, 0},
                       {{3, 2}, 1},
                       {{4, 2}, 2},
                       {{5, 2}, -3},
                       {{8, 2}, 0},
                       {{9, 2}, 0}},
                      "Totals of Ind. 2 would be 0",
                      "Industry 2 would have no costs at all: its cost shares are undefined"},
        UndefinedCase{
            "nobody_produces_good_1",
            {{{1, 1}, 0}, {{1, 2}, 0}, {{1, 3}, 0}, {{9, 1}, 61}, {{8, 2}, 0}, {{8, 1}, 0}},
            "Row totals of Domestic 1 would be 0",
            "Domestic good 1 would have no sales at all: its sales shares are undefined"},
        UndefinedCase{"no_imports_before_duty",
                      {{{3, 5}, -10}, {{4, 5}, -17}},
                      "Row totals of Imported 1 and Imported 2 would both be 0",
                      "There would be no imports at all: the import shares are undefined"},
        UndefinedCase{"imports_cancelling_out",
                      {{{3, 5}, -5}, {{4, 5}, -22}},
                      "Row totals of Imported 1 and Imported 2 would add up to 0",
                      "There would be no imports at all: the import shares are undefined"},
        UndefinedCase{"nobody_buys_imported_good_2",
                      {{{4, 1}, 0}, {{4, 2}, 0}, {{4, 3}, 0}},
                      "Imported 2 of Ind. 1, Ind. 2 and Households would all be 0",
                      "Nobody would buy imported good 2: its purchase shares are undefined"},
        UndefinedCase{"no_exports",
                      {{{1, 3}, 36}, {{9, 1}, 15}},
                      "Exports of Domestic 1 and Domestic 2 with their export subsidies would "
                      "all be 0",
                      "There would be no exports at all: the export shares are undefined"},
        UndefinedCase{"exports_cancelled_by_subsidies",
                      {{{10, 1}, -20}},
                      "Exports of Domestic 1 and Domestic 2 with their export subsidies would "
                      "add up to 0",
                      "There would be no exports at all: the export shares are undefined"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ModelTest, EveryProblemIsListedInTheOrderOfTheTableau) {
    kv::Data_Real D = E.BaseData;
    // Industry 1 uses nothing and makes nothing.
    for (int r : {1, 2, 3, 4, 5, 8, 9}) {
        D(r, 1) = 0;
    }
    kv::DeriveData(D);
    const auto problems = kv::UndefinedCoefficients(D);
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0].Reason,
              "Industry 1 would use no good 1 at all: its input shares are undefined");
    EXPECT_EQ(problems[1].Reason,
              "Industry 1 would use no good 2 at all: its input shares are undefined");
    EXPECT_EQ(problems[2].Reason,
              "Industry 1 would have no costs at all: its cost shares are undefined");
    EXPECT_EQ(problems[2].Cells, (std::vector<Cell>{{7, 1}}));
}

// Databases as a student could make them on the Data page, with many cells
// at 0: the check finds a problem exactly when building the tableau, or the
// first update of the database, fails with a floating-point error.
TEST_F(ModelTest, CheckAgreesWithTheTableauAndTheUpdateOnRandomDatabases) {
    std::mt19937 rng(20261211);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Cell> entered;
    for (int r = 1; r <= kv::DataRows; ++r) {
        for (int c = 1; c <= kv::DataCols; ++c) {
            if (kv::EditMask(r, c)) {
                entered.push_back({r, c});
            }
        }
    }
    int refused = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        kv::Data_Real D = E.BaseData;
        const int edits = 1 + static_cast<int>(unit(rng) * 8);
        for (int e = 0; e < edits; ++e) {
            const Cell cell = entered[static_cast<std::size_t>(unit(rng) * entered.size())];
            const double u = unit(rng);
            D(cell.first, cell.second) =
                u < 0.6 ? 0.0 : std::round((unit(rng) * 120 - 20) * 100) / 100;
        }
        kv::DeriveData(D);
        const bool undefined = !kv::UndefinedCoefficients(D).empty();
        bool raised = false;
        try {
            kv::Tableau_Real M;
            kv::BuildTableau(D, M);
            kv::Data_Real updated = D;
            kv::UpdateData(updated, kv::Variable_Real{});
        } catch (const kv::EMathError&) {
            raised = true;
        }
        ASSERT_EQ(undefined, raised) << "trial " << trial;
        refused += undefined ? 1 : 0;
    }
    // Both outcomes occur often enough for the comparison to mean something.
    EXPECT_GT(refused, 100);
    EXPECT_LT(refused, 2900);
}

} // namespace
