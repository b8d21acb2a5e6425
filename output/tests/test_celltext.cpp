// FormatReal and the cell-text rules of the Data, Tableau and Results pages on
// the default database, the default tableau and stored solutions.
#include "celltext.h"

#include "errors.h"
#include "model.h"
#include "modelstate.h"
#include "simtab_fixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace kv;
using kvtest::ScopedLocale;
using kvtest::Str;

namespace {

struct FormatCase {
    const char* name;
    double value;
    int width;
    int decimals;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class FormatRealCases : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatRealCases, GivesFixedPointText) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(Str(FormatReal(c.value, c.width, c.decimals)), c.expected);
    // The user's locale never changes the text.
    ScopedLocale german{QLocale(QLocale::German)};
    EXPECT_EQ(Str(FormatReal(c.value, c.width, c.decimals)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatRealCases,
    ::testing::Values(FormatCase{"Two", 2.0, 0, 2, "2.00"},
                      FormatCase{"NegativeHalf", -0.5, 0, 3, "-0.500"},
                      FormatCase{"PaddedToWidth", 1.5, 6, 1, "   1.5"},
                      FormatCase{"WidthBelowLength", 181.0, 3, 2, "181.00"},
                      FormatCase{"NegativeWhole", -5.0, 0, 2, "-5.00"},
                      FormatCase{"Rounded", 0.329749, 0, 3, "0.330"},
                      FormatCase{"RoundedNegative", -0.039427, 0, 3, "-0.039"},
                      FormatCase{"ExactHalfUp", 0.125, 0, 2, "0.13"},
                      FormatCase{"ExactHalfNegative", -0.125, 0, 2, "-0.13"},
                      FormatCase{"ExactHalfNoDecimals", 2.5, 0, 0, "3"},
                      FormatCase{"ExactHalfThreeDecimals", 0.0625, 0, 3, "0.063"},
                      FormatCase{"JustBelowHalf", 1.005, 0, 2, "1.00"}, // 1.00499999...
                      FormatCase{"SmallNegativeHasNoSign", -0.0004, 0, 3, "0.000"},
                      FormatCase{"NegativeZero", -0.0, 0, 2, "0.00"},
                      FormatCase{"Large", 123456789.0, 0, 3, "123456789.000"},
                      FormatCase{"Huge", 1e20, 0, 2, "100000000000000000000.00"},
                      FormatCase{"Denormal", 5e-324, 0, 3, "0.000"},
                      FormatCase{"NegativeDecimalsAsZero", 7.6, 0, -1, "8"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatReal, SinglePrecisionFollowsTheSameRules) {
    EXPECT_EQ(Str(FormatReal(2.0f, 0, 2)), "2.00");
    EXPECT_EQ(Str(FormatReal(0.1f, 5, 2)), " 0.10");
    EXPECT_EQ(Str(FormatReal(-0.375f, 0, 2)), "-0.38");
}

TEST(FormatReal, NeverWritesNanOrInfinity) {
    EXPECT_THROW(FormatReal(std::numeric_limits<double>::quiet_NaN(), 0, 3), EInvalidOp);
    EXPECT_THROW(FormatReal(std::numeric_limits<double>::infinity(), 0, 3), EOverflow);
    EXPECT_THROW(FormatReal(-std::numeric_limits<double>::infinity(), 0, 3), EOverflow);
    EXPECT_THROW(FormatReal(std::numeric_limits<float>::quiet_NaN(), 0, 2), EInvalidOp);
    // The largest finite value is written in full.
    const QString max = FormatReal(std::numeric_limits<double>::max(), 0, 2);
    EXPECT_EQ(max.size(), 309 + 3);
}

class CellText : public kvtest::FreshModel {};

struct CellCase {
    int r;
    int c;
    const char* expected;
};

TEST_F(CellText, DataCellsOfTheDefaultDatabase) {
    const CellCase cases[] = {
        {0, 0, " "},
        {0, 1, "Ind. 1"},
        {0, 6, "Row totals"},
        {1, 0, "Domestic 1"},
        {2, 0, "goods 2"},
        {11, 0, "subsidies"},
        {1, 1, "10.00"},
        {1, 4, "19.00"},
        {1, 5, " "},
        {3, 5, "-1.00"},
        {4, 5, "-5.00"},
        {5, 3, " "},
        {6, 1, "10.00"},
        {6, 2, "5.00"},
        {7, 5, "-6.00"},
        {7, 6, "181.00"},
        {9, 6, "51.00"},
        {10, 1, "0.00"},
        {10, 2, " "},
        {10, 3, "Export"},
        {10, 4, "2.00"},
        {11, 2, " "},
        {11, 3, "elasticities"},
        {11, 4, "20.00"},
        {11, 6, " "},
        {12, 1, " "},
        {-1, 0, " "},
    };
    for (const CellCase& c : cases) {
        EXPECT_EQ(Str(DataCellText(E.BaseData, c.r, c.c)), c.expected) << c.r << "," << c.c;
    }
}

TEST_F(CellText, DataCellsReadTheDatabaseGiven) {
    Data_Real D = E.BaseData;
    D(1, 1) = 12.3456;
    D(3, 5) = -0.004;
    D(10, 2) = 99; // never shown
    EXPECT_EQ(Str(DataCellText(D, 1, 1)), "12.35");
    EXPECT_EQ(Str(DataCellText(D, 3, 5)), "0.00");
    EXPECT_EQ(Str(DataCellText(D, 10, 2)), " ");
    EXPECT_EQ(Str(DataCellText(E.BaseData, 1, 1)), "10.00");
}

TEST_F(CellText, TableauCellsOfTheDefaultTableau) {
    const CellCase cases[] = {
        {0, 0, " "},       {0, 1, "x(11)3"},  {0, 52, "cR"},      {0, 43, "t2"},
        {1, 0, "1"},       {39, 0, "39"},     {1, 1, "1.000"},    {1, 5, "-1.000"},
        {1, 6, "0.330"},   {1, 7, "-0.039"},  {1, 2, " "},        {23, 7, "-0.016"},
        {36, 49, "1.000"}, {36, 47, "0.210"}, {36, 48, "-0.200"}, {40, 1, " "},
    };
    for (const CellCase& c : cases) {
        EXPECT_EQ(Str(TableauCellText(E.Tableau, c.r, c.c)), c.expected) << c.r << "," << c.c;
    }
}

TEST_F(CellText, TinyCoefficientShowsItsDigitsAndExactZeroIsBlank) {
    E.Tableau(1, 2) = 1e-9;
    EXPECT_EQ(Str(TableauCellText(E.Tableau, 1, 2)), "0.000");
    E.Tableau(1, 2) = 0.0;
    EXPECT_EQ(Str(TableauCellText(E.Tableau, 1, 2)), " ");
    E.Tableau(1, 2) = std::nan("");
    EXPECT_THROW(TableauCellText(E.Tableau, 1, 2), EInvalidOp);
}

TEST_F(CellText, ResultsCellsOfAStoredSolution) {
    Variable_Real values{};
    values(1) = 1.23456;
    values(5) = -0.0004;
    values(43) = -10.0; // t2, exogenous
    Variable_Bool endo = E.Closure.Endo;
    AddSolution(E.Solutions, "Sim 1", values, endo);
    const CellCase cases[] = {
        {0, 0, "Variable "},
        {0, 1, "Sim 1"},
        {0, 2, " "},
        {1, 0, "x(11)3  H'hold demand, dom. good 1"},
        {52, 0, "cR  Real Consumption"},
        {1, 1, "1.235"},
        {5, 1, "0.000"},
        {43, 1, "#-10.000"},
        {42, 1, "#0.000"},
        {2, 1, "0.000"},
        {1, 2, " "},
        {53, 1, " "},
    };
    for (const CellCase& c : cases) {
        EXPECT_EQ(Str(ResultsCellText(E.Solutions, c.r, c.c)), c.expected) << c.r << "," << c.c;
    }
}

TEST_F(CellText, ResultsMarkExogenousValuesOfEachSolutionByItsOwnClosure) {
    // Zero shocks, Johansen: 39 endogenous zeros and 13 exogenous "#0.000".
    SolveModel(1, E.BaseData, E.NewData, E.ShockVec, E.Closure);
    AddSolution(E.Solutions, "A", E.ShockVec, E.Closure.Endo);
    // A second solution in which t2 is endogenous and l exogenous.
    Variable_Bool endo = E.Closure.Endo;
    endo(FindVariable("t2")) = true;
    endo(FindVariable("l")) = false;
    AddSolution(E.Solutions, "B", E.ShockVec, endo);
    int marked = 0;
    for (int r = 1; r <= NumVars; ++r) {
        const QString text = ResultsCellText(E.Solutions, r, 1);
        marked += text.startsWith(QLatin1Char('#')) ? 1 : 0;
        EXPECT_TRUE(text == QStringLiteral("0.000") || text == QStringLiteral("#0.000"))
            << Str(text);
    }
    EXPECT_EQ(marked, NumExo);
    const int t2 = FindVariable("t2");
    const int l = FindVariable("l");
    EXPECT_EQ(Str(ResultsCellText(E.Solutions, t2, 1)), "#0.000");
    EXPECT_EQ(Str(ResultsCellText(E.Solutions, t2, 2)), "0.000");
    EXPECT_EQ(Str(ResultsCellText(E.Solutions, l, 1)), "0.000");
    EXPECT_EQ(Str(ResultsCellText(E.Solutions, l, 2)), "#0.000");
}

} // namespace
