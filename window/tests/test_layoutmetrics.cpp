// The main window's layout metrics against the worked values at 96 dpi.
#include "layoutmetrics.h"

#include <gtest/gtest.h>

namespace {

struct MetricsCase {
    int size;
    double dpi;
    TLayoutMetrics expected;
};

class LayoutMetricsTest : public testing::TestWithParam<MetricsCase> {};

TEST_P(LayoutMetricsTest, MatchesWorkedValues) {
    const MetricsCase& c = GetParam();
    const TLayoutMetrics m = ComputeLayoutMetrics(c.size, c.dpi);
    const TLayoutMetrics& e = c.expected;
    EXPECT_EQ(m.BaseHeight, e.BaseHeight);
    EXPECT_EQ(m.ColUnit, e.ColUnit);
    EXPECT_EQ(m.RowHeight, e.RowHeight);
    EXPECT_EQ(m.PanelHeight, e.PanelHeight);
    EXPECT_EQ(m.PanelFontHeight, e.PanelFontHeight);
    EXPECT_EQ(m.StatusFontHeight, e.StatusFontHeight);
    EXPECT_EQ(m.StatusBarHeight, e.StatusBarHeight);
    EXPECT_EQ(m.WindowWidth, e.WindowWidth);
    EXPECT_EQ(m.WindowHeight, e.WindowHeight);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedValues, LayoutMetricsTest,
    testing::Values(MetricsCase{10, 96, {13, 7, 16, 19, 17, 16, 21, 585, 455}},
                    MetricsCase{11, 96, {15, 8, 18, 22, 20, 18, 24, 675, 525}},
                    MetricsCase{12, 96, {16, 8, 20, 23, 21, 20, 26, 720, 560}},
                    // 15 points (a 13-point default font + 2) at 96 and at 144 dpi.
                    MetricsCase{15, 96, {20, 11, 25, 29, 26, 25, 33, 900, 700}},
                    MetricsCase{15, 144, {30, 16, 37, 44, 40, 37, 49, 1350, 1050}}),
    [](const testing::TestParamInfo<MetricsCase>& info) {
        return "Size" + std::to_string(info.param.size) + "Dpi" +
               std::to_string(static_cast<int>(info.param.dpi));
    });

TEST(LayoutMetricsRounding, PanelHeightHalvesGoToEven) {
    // 1.45 * B is never an exact half for integer B below 20; B = 10 gives 14.5.
    EXPECT_EQ(LayoutMetricsFor(10).PanelHeight, 14);
    EXPECT_EQ(LayoutMetricsFor(30).PanelHeight, 44); // 43.5 -> 44
}

} // namespace
