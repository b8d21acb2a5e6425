// The text table itself: building, filling, measuring, counting its
// characters and the failure messages with their chains of tags.
#include "simtab.h"

#include "errors.h"
#include "simtab_fixtures.h"
#include "txtfile.h"

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
           T.Contents.empty() && !T.LeftJust;
}

TEST(SimTab, InitGivesEmptyCellsAndZeroWidths) {
    TSimTab T = MakeNumberedTable(4, 5); // leftovers of an earlier use are released
    T.LeftJust = true;
    QString msg;
    ASSERT_TRUE(InitSimTab(T, 2, 3, 1, 1, msg));
    EXPECT_EQ(T.NRow, 2);
    EXPECT_EQ(T.Ncol, 3);
    EXPECT_EQ(T.FixRow, 1);
    EXPECT_EQ(T.FixCol, 1);
    EXPECT_EQ(T.ColWidth, TLongIntVec0Based(4, 0));
    ASSERT_EQ(T.Contents.size(), 3u);
    for (const auto& row : T.Contents) {
        ASSERT_EQ(row.size(), 4u);
        for (const auto& cell : row) {
            EXPECT_TRUE(cell.isEmpty());
        }
    }
    EXPECT_FALSE(T.LeftJust);
}

TEST(SimTab, FreeResetsToAllZeroAndMayRepeat) {
    QString msg = QStringLiteral("old text");
    TSimTab empty;
    EXPECT_TRUE(FreeSimTab(empty, msg));
    EXPECT_TRUE(msg.isEmpty());
    EXPECT_TRUE(FreeSimTab(empty, msg));
    EXPECT_TRUE(IsAllZero(empty));

    TSimTab T = MakeNumberedTable(3, 2);
    T.LeftJust = true;
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
    // Widths count UTF-16 code units.
    TSimTab U = MakeTable({{QStringLiteral("Größe"), QString::fromUtf8("\xF0\x9F\x98\x80")}});
    EXPECT_EQ(U.ColWidth, (TLongIntVec0Based{5, 2}));
}

TEST(SimTab, LengthCountsTheCharactersOfEveryCell) {
    // 4 x 3 table of cells "r.c", 3 characters each.
    const TSimTab T = MakeNumberedTable(3, 2);
    std::int64_t len = -1;
    QString msg;
    EXPECT_TRUE(SimTabLength(T, len, msg));
    EXPECT_EQ(len, 4 * 3 * 3);
    TSimTab empty;
    EXPECT_TRUE(SimTabLength(empty, len, msg));
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
                        TStringTextOutput out;
                        return WriteSimTabAsCSV(T, out, m);
                    },
                    "SimTab contents do not match NRow 5 and Ncol 3[WriteSimTabAsCSV]"}),
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
