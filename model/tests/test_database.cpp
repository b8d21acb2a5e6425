#include "model_fixture.h"

namespace {

using Cell = std::pair<int, int>;

TEST(Database, DefaultsDeriveToTheInitialEquilibrium) {
    kv::Data_Real D;
    kv::DefaultData(D);
    // Row by row, as the equilibrium table reads; rows 10 and 11 include the hidden cells.
    const double expected[11][6] = {
        {10, 8, 17, 19, 0, 54},    {15, 1, 34, 1, 0, 51}, {1, 8, 1, 0, -1, 9},
        {5, 2, 10, 0, -5, 12},     {20, 20, 0, 0, 0, 40}, {10, 5, 0, 0, 0, 15},
        {61, 44, 62, 20, -6, 181}, {45, 9, 0, 0, 0, 54},  {16, 35, 0, 0, 0, 51},
        {0, 19, 10, 2, 0, 0},      {0, 1, 17, 20, 0, 0}};
    for (int r = 1; r <= 11; ++r) {
        for (int c = 1; c <= 6; ++c) {
            EXPECT_EQ(D(r, c), expected[r - 1][c - 1]) << "D(" << r << "," << c << ")";
        }
    }
    EXPECT_FALSE(kv::DeriveData(D));
}

TEST(Database, MasksMarkEnteredAndShownCells) {
    kv::Data_Real D;
    kv::DefaultData(D);
    const std::vector<Cell> entered = {{1, 1}, {1, 2}, {1, 3},  {2, 1},  {2, 2},  {2, 3},
                                       {3, 1}, {3, 2}, {3, 3},  {3, 5},  {4, 1},  {4, 2},
                                       {4, 3}, {4, 5}, {5, 1},  {5, 2},  {8, 1},  {8, 2},
                                       {9, 1}, {9, 2}, {10, 1}, {10, 4}, {11, 1}, {11, 4}};
    int editCount = 0;
    int showCount = 0;
    for (int r = 0; r <= 11; ++r) {
        for (int c = 0; c <= 6; ++c) {
            editCount += kv::EditMask(r, c);
            showCount += kv::ShowMask(r, c);
            if (kv::EditMask(r, c)) {
                EXPECT_TRUE(kv::ShowMask(r, c));
            }
        }
    }
    EXPECT_EQ(editCount, 24);
    for (const auto& [r, c] : entered) {
        EXPECT_TRUE(kv::EditMask(r, c)) << r << "," << c;
    }
    // 24 entered + row 7 (6) + column 6 rows 1..9 (9, one of them (7,6) already counted)
    // + (1,4), (2,4), (6,1), (6,2).
    EXPECT_EQ(showCount, 24 + 6 + 8 + 4);
    for (const Cell& hidden : std::vector<Cell>{{10, 2}, {10, 3}, {11, 2}, {11, 3}, {0, 0}}) {
        EXPECT_FALSE(kv::ShowMask(hidden.first, hidden.second));
    }
}

TEST(Database, MasksNeverChangeAfterEdits) {
    kv::Data_Real D;
    kv::DefaultData(D);
    const kv::Data_Bool edit = kv::EditMask;
    const kv::Data_Bool show = kv::ShowMask;
    D(1, 1) = 0;  // an entered cell edited to 0
    D(10, 1) = 3; // makes the hidden D(10,2) change
    kv::DeriveData(D);
    EXPECT_EQ(kv::EditMask.Cells, edit.Cells);
    EXPECT_EQ(kv::ShowMask.Cells, show.Cells);
}

struct EditCase {
    const char* name;
    std::vector<std::pair<Cell, double>> edits;
    std::vector<std::pair<Cell, double>> expect;
    bool negative;
};

class DeriveEdits : public ::testing::TestWithParam<EditCase> {};

TEST_P(DeriveEdits, RecomputeResidualsTotalsAndNegativeTest) {
    const EditCase& ec = GetParam();
    kv::Data_Real D;
    kv::DefaultData(D);
    for (const auto& [cell, value] : ec.edits) {
        D(cell.first, cell.second) = value;
    }
    EXPECT_EQ(kv::DeriveData(D), ec.negative);
    for (const auto& [cell, value] : ec.expect) {
        EXPECT_DOUBLE_EQ(D(cell.first, cell.second), value)
            << "D(" << cell.first << "," << cell.second << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeriveEdits,
    ::testing::Values(EditCase{"make_40",
                               {{{8, 1}, 40}},
                               {{{6, 1}, 5},
                                {{1, 4}, 14},
                                {{7, 1}, 56},
                                {{7, 4}, 15},
                                {{1, 6}, 49},
                                {{8, 6}, 49},
                                {{7, 6}, 171},
                                {{10, 2}, 14}},
                               false},
                      EditCase{"labour_40", {{{5, 1}, 40}}, {{{6, 1}, -10}, {{7, 1}, 61}}, true},
                      EditCase{"no_duty", {{{3, 5}, 0}}, {{{3, 6}, 10}, {{7, 5}, -5}}, false},
                      EditCase{"negative_subsidy_and_elasticity",
                               {{{10, 1}, -3}, {{11, 4}, -2}, {{4, 5}, 4}},
                               {{{10, 2}, 22}},
                               false},
                      EditCase{"household_20", {{{1, 3}, 20}}, {{{1, 4}, 16}}, false},
                      EditCase{"household_36", {{{1, 3}, 36}}, {{{1, 4}, 0}}, false},
                      EditCase{"household_37", {{{1, 3}, 37}}, {{{1, 4}, -1}}, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
