// The default screen font's height and size from the menu-bar item and the
// menu font.
#include "screenfont.h"

#include <gtest/gtest.h>

namespace {

struct FontCase {
    const char* name;
    int itemHeight; // 0: no item rectangle
    int menuFontHeight;
    double dpi;
    int height;
    int size;
};

class DefaultFontMetricTest : public testing::TestWithParam<FontCase> {};

TEST_P(DefaultFontMetricTest, HeightAndSize) {
    const FontCase& c = GetParam();
    const TDefaultFontMetric m = DefaultFontMetricFrom(
        MenuFontRatio(c.itemHeight, c.menuFontHeight), c.menuFontHeight, c.dpi);
    EXPECT_EQ(m.Height, c.height);
    EXPECT_EQ(m.Size, c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultFontMetricTest,
    testing::Values(
        // A 19-pixel item with a -12 menu font: H = 17, S = 12.75 -> 13 (window font 15).
        FontCase{"Item19", 19, -12, 96, 17, 13},
        // No item rectangle: ratio 1, H = |menu font height|; S = 9.
        FontCase{"NoRectangle", 0, -12, 96, 12, 9},
        // Larger scaling: a 25-pixel item with a -16 menu font at 144 dpi.
        FontCase{"Scaled", 25, -16, 144, 22, 11},
        // A menu font height of 1 or less counts as 1.
        FontCase{"TinyMenuFont", 19, -1, 96, 17, 13},
        // Halves of S go away from zero: 14 px at 96 dpi is 10.5 points -> 11.
        FontCase{"SizeHalfUp", 0, -14, 96, 14, 11}),
    [](const testing::TestParamInfo<FontCase>& info) { return info.param.name; });

TEST(DefaultFontMetricRounding, HeightHalvesGoToEven) {
    // 2.125 and 2.375 are exact in binary: 8.5 and 9.5 pixels.
    EXPECT_EQ(DefaultFontMetricFrom(2.125, -4, 96).Height, 8);
    EXPECT_EQ(DefaultFontMetricFrom(2.375, -4, 96).Height, 10);
}

} // namespace
