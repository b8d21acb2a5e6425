// The text table itself: building, filling, measuring, transposing, ranges and
// the failure messages with their chains of tags.
#include "simtab.h"

#include "errors.h"
#include "simtab_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace kv;
using kvtest::MakeNumberedTable;
using kvtest::MakeTable;
using kvtest::Str;

namespace {

bool IsAllZero(const TSimTab& T) {
    return T.NRow == 0 && T.Ncol == 0 && T.FixRow == 0 && T.FixCol == 0 && T.ColWidth.empty() &&
           T.AdjColWidth.empty() && T.Contents.empty() && T.BareRowFst == 0 && T.BareRowLst == 0 &&
           T.BareColFst == 0 && T.BareColLst == 0 && T.AttrFlag.empty() && !T.LeftJust;
}

TEST(SimTab, InitGivesEmptyCellsZeroWidthsAndZeroBareBounds) {
    TSimTab T;
    T.BareRowLst = 7; // leftovers of an earlier use are released
    T.LeftJust = true;
    QString msg;
    ASSERT_TRUE(InitSimTab(T, 2, 3, 1, 1, msg));
    EXPECT_EQ(T.NRow, 2);
    EXPECT_EQ(T.Ncol, 3);
    EXPECT_EQ(T.FixRow, 1);
    EXPECT_EQ(T.FixCol, 1);
    EXPECT_EQ(T.ColWidth, TLongIntVec0Based(4, 0));
    EXPECT_EQ(T.AdjColWidth, TLongIntVec0Based(4, 0));
    ASSERT_EQ(T.Contents.size(), 3u);
    for (const auto& row : T.Contents) {
        ASSERT_EQ(row.size(), 4u);
        for (const auto& cell : row) {
            EXPECT_TRUE(cell.isEmpty());
        }
    }
    EXPECT_EQ(T.BareRowLst, 0);
    EXPECT_FALSE(T.LeftJust);
    EXPECT_TRUE(T.AttrFlag.empty());
}

TEST(SimTab, FreeResetsToAllZeroAndMayRepeat) {
    QString msg = QStringLiteral("old text");
    TSimTab empty;
    EXPECT_TRUE(FreeSimTab(empty, msg));
    EXPECT_TRUE(msg.isEmpty());
    EXPECT_TRUE(FreeSimTab(empty, msg));
    EXPECT_TRUE(IsAllZero(empty));

    TSimTab T = MakeNumberedTable(3, 2);
    T.AttrFlag.assign(4, TLongIntVec(3, 1));
    T.BareRowFst = 1;
    EXPECT_TRUE(FreeSimTab(T, msg));
    EXPECT_TRUE(IsAllZero(T));
}

TEST(SimTab, SetStringAcceptsLastRowAndColumnOnly) {
    TSimTab T = MakeNumberedTable(2, 3);
    QString msg;
    EXPECT_TRUE(SetSimTabString(T, 2, 3, QStringLiteral("corner"), msg));
    EXPECT_EQ(T.Contents[2][3], QStringLiteral("corner"));
    EXPECT_FALSE(SetSimTabString(T, 3, 0, QStringLiteral("x"), msg));
    EXPECT_FALSE(SetSimTabString(T, 0, 4, QStringLiteral("x"), msg));
    EXPECT_FALSE(SetSimTabString(T, -1, 0, QStringLiteral("x"), msg));
    TSimTab empty;
    EXPECT_FALSE(SetSimTabString(empty, 0, 0, QStringLiteral("x"), msg));
    EXPECT_EQ(Str(msg), "SimTab is empty[SetSimTabString]");
}

TEST(SimTab, SetUpMeasuresLongestCellOfEachColumn) {
    TSimTab T = MakeTable({{"", "abc", ""}, {"longer", "", ""}, {"x", "ab", ""}});
    EXPECT_EQ(T.ColWidth, (TLongIntVec0Based{6, 3, 0}));
    // With every character weighing 100 the weighted width equals the length.
    EXPECT_EQ(T.AdjColWidth, T.ColWidth);
    // Widths count UTF-16 code units.
    TSimTab U = MakeTable({{QStringLiteral("Größe"), QString::fromUtf8("\xF0\x9F\x98\x80")}});
    EXPECT_EQ(U.ColWidth, (TLongIntVec0Based{5, 2}));
}

TEST(SimTab, TransposeExchangesSizesHeadingsAndBareBounds) {
    TSimTab T = MakeNumberedTable(2, 1); // 3 x 2
    T.FixRow = 1;
    T.FixCol = 0;
    T.BareRowFst = 1;
    T.BareRowLst = 2;
    T.BareColFst = 0;
    T.BareColLst = 1;
    T.LeftJust = true;
    T.AttrFlag.assign(3, TLongIntVec(2, 5));
    TSimTab N;
    QString msg;
    ASSERT_TRUE(MakeTransposedSimTab(T, N, msg)) << Str(msg);
    EXPECT_EQ(N.NRow, 1);
    EXPECT_EQ(N.Ncol, 2);
    EXPECT_EQ(N.FixRow, 0);
    EXPECT_EQ(N.FixCol, 1);
    EXPECT_EQ(N.BareRowFst, 0);
    EXPECT_EQ(N.BareRowLst, 1);
    EXPECT_EQ(N.BareColFst, 1);
    EXPECT_EQ(N.BareColLst, 2);
    EXPECT_TRUE(N.LeftJust);
    EXPECT_TRUE(N.AttrFlag.empty());
    for (int i = 0; i <= 1; ++i) {
        for (int j = 0; j <= 2; ++j) {
            EXPECT_EQ(N.Contents[i][j], QStringLiteral("%1.%2").arg(j).arg(i));
        }
    }
    EXPECT_EQ(N.ColWidth, (TLongIntVec0Based{3, 3, 3}));
    // Transposing into the source itself works as well.
    ASSERT_TRUE(MakeTransposedSimTab(N, N, msg));
    EXPECT_EQ(N.Contents, T.Contents);
}

struct RangeCase {
    const char* name;
    TSimTabOpts opts;
    TSimTabRange expected;
    std::int64_t length;
};

void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << c.name;
}

class SimTabRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(SimTabRange, SelectsRowsAndColumnsAndCountsTheirCharacters) {
    // 4 x 3 table, data block rows 1..3, columns 1..2; cells "r.c" of 3 characters.
    TSimTab T = MakeNumberedTable(3, 2);
    T.BareRowFst = 1;
    T.BareRowLst = 3;
    T.BareColFst = 1;
    T.BareColLst = 2;
    const RangeCase& c = GetParam();
    const TSimTabRange r = GetSimTabRange(T, c.opts);
    EXPECT_EQ(r.RowFst, c.expected.RowFst);
    EXPECT_EQ(r.RowLst, c.expected.RowLst);
    EXPECT_EQ(r.ColFst, c.expected.ColFst);
    EXPECT_EQ(r.ColLst, c.expected.ColLst);
    std::int64_t len = -1;
    QString msg;
    EXPECT_TRUE(SimTabLength(T, c.opts, len, msg));
    EXPECT_EQ(len, c.length);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SimTabRange,
    ::testing::Values(RangeCase{"Whole", {true, true, false}, {0, 3, 0, 2}, 4 * 3 * 3},
                      RangeCase{"Bare", {false, false, false}, {1, 3, 1, 2}, 3 * 2 * 3},
                      RangeCase{"FromFirstToBare", {true, false, false}, {0, 3, 0, 2}, 36},
                      RangeCase{"FromBareToLast", {false, true, false}, {1, 3, 1, 2}, 18}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimTab, EmptyBareBlockGivesEmptyRange) {
    TSimTab T = MakeNumberedTable(3, 2);
    T.BareRowFst = 2;
    T.BareRowLst = 1;
    const TSimTabRange r = GetSimTabRange(T, {false, false, false});
    EXPECT_LT(r.RowLst, r.RowFst);
    std::int64_t len = -1;
    QString msg;
    SimTabLength(T, {false, false, false}, len, msg);
    EXPECT_EQ(len, 0);
}

// Each failure ends with the tags of every operation it passed through.
struct FailureCase {
    const char* name;
    std::function<bool(QString&)> run;
    const char* message;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class SimTabFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(SimTabFailure, ReportsReasonAndTags) {
    QString msg = QStringLiteral("stale ");
    EXPECT_FALSE(GetParam().run(msg));
    EXPECT_EQ(Str(msg), GetParam().message);
}

bool InitOnly(QString& msg, int nRow, int nCol) {
    TSimTab T;
    const bool ok = InitSimTab(T, nRow, nCol, 1, 1, msg);
    EXPECT_TRUE(IsAllZero(T)) << "a refused table is left empty";
    return ok;
}

INSTANTIATE_TEST_SUITE_P(
    Messages, SimTabFailure,
    ::testing::Values(
        FailureCase{"NegativeRows", [](QString& m) { return InitOnly(m, -1, 0); },
                    "nrow<0[InitSimTab]"},
        FailureCase{"NegativeColumns", [](QString& m) { return InitOnly(m, 0, -1); },
                    "ncol<0[InitSimTab]"},
        FailureCase{"TooManyColumns", [](QString& m) { return InitOnly(m, 0, MaxLongInt); },
                    "NElm(268435455)>MaxLongInt(268435454)[InitSimTab]"},
        FailureCase{"LargestColumnIndex", [](QString& m) { return InitOnly(m, 0, 2147483647); },
                    "NElm(2147483648)>MaxLongInt(268435454)[InitSimTab]"},
        FailureCase{"TooManyRows", [](QString& m) { return InitOnly(m, MaxPtr + 1, 0); },
                    "NElm(268435455)>MaxPtr(268435454)[InitSimTab]"},
        FailureCase{"RowBeyondLast",
                    [](QString& m) {
                        TSimTab T = MakeNumberedTable(2, 3);
                        return SetSimTabString(T, 3, 0, QStringLiteral("x"), m);
                    },
                    "SimTab row>nrow 3>2[SetSimTabString]"},
        FailureCase{"ColumnBeyondLast",
                    [](QString& m) {
                        TSimTab T = MakeNumberedTable(2, 3);
                        return SetSimTabString(T, 1, 4, QStringLiteral("x"), m);
                    },
                    "SimTab col>ncol 4>3[SetSimTabString]"},
        FailureCase{"TransposeEmpty",
                    [](QString& m) {
                        TSimTab empty, target;
                        return MakeTransposedSimTab(empty, target, m);
                    },
                    "OldT is null[MakeTransposedSimTab]"},
        FailureCase{"RuleWithNoRows",
                    [](QString& m) {
                        TSimTab T;
                        return MakeSimTabFromRule(
                            T, 0, 3, [](int, int) { return QString(); }, m);
                    },
                    "nrow<0[InitSimTab]"},
        FailureCase{"MismatchedSizeFields",
                    [](QString& m) {
                        TSimTab T = MakeNumberedTable(2, 3);
                        T.NRow = 5; // a caller that changed the size by hand
                        TSimTab target;
                        return MakeTransposedSimTab(T, target, m);
                    },
                    "SimTab contents do not match NRow 5 and Ncol 3[MakeTransposedSimTab]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimTab, TableBeyondMemoryRaisesOutOfMemory) {
    TSimTab T;
    QString msg;
    EXPECT_THROW(InitSimTab(T, 100000, 100000, 1, 1, msg), EOutOfMemory);
    EXPECT_TRUE(IsAllZero(T));
}

TEST(SimTab, MakeFromRuleFillsEveryCellAndMeasures) {
    TSimTab T;
    QString msg;
    ASSERT_TRUE(MakeSimTabFromRule(
        T, 3, 2, [](int r, int c) { return QString(r + c + 1, QLatin1Char('x')); }, msg));
    EXPECT_EQ(T.NRow, 2);
    EXPECT_EQ(T.Ncol, 1);
    EXPECT_EQ(T.FixRow, 1);
    EXPECT_EQ(T.FixCol, 1);
    EXPECT_EQ(T.Contents[2][1], QStringLiteral("xxxx"));
    EXPECT_EQ(T.ColWidth, (TLongIntVec0Based{3, 4}));
}

} // namespace
