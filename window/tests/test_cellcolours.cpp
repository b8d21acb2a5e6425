// Readable colours: the contrast ratio against known values, and the nearest
// colour of the same hue that reaches a contrast.
#include "cellcolours.h"

#include <gtest/gtest.h>

namespace {

TEST(CellColours, ContrastRatioOfKnownPairs) {
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Qt::white, Qt::white), 1.0, 1e-9);
    // Symmetric; grey #777777 on white is the classic 4.48:1.
    EXPECT_NEAR(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::red, Qt::black), ContrastRatio(Qt::black, Qt::red));
}

struct ReadableCase {
    QColor colour;
    QColor background;
};

class ReadableOnTest : public testing::TestWithParam<ReadableCase> {};

// The result reaches the contrast, keeps the hue, and moves away from the
// background; a colour that reads already stays as it is.
TEST_P(ReadableOnTest, SameHueReadable) {
    const ReadableCase& c = GetParam();
    const QColor result = ReadableOn(c.colour, c.background);
    EXPECT_GE(ContrastRatio(result, c.background), MinTextContrast);
    if (ContrastRatio(c.colour, c.background) >= MinTextContrast) {
        EXPECT_EQ(result, c.colour);
        return;
    }
    if (c.colour.hslSaturation() > 0 && result.hslSaturation() > 0) {
        EXPECT_NEAR(result.hslHue(), c.colour.hslHue(), 2);
    }
    // Light: black reads better on it than white.
    const bool lightBackground =
        ContrastRatio(Qt::black, c.background) >= ContrastRatio(Qt::white, c.background);
    EXPECT_EQ(result.lightness() < c.colour.lightness(), lightBackground);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ReadableOnTest,
    testing::Values(ReadableCase{QColor(0, 128, 0), QColor(239, 239, 239)}, // green, light face
                    ReadableCase{QColor(0, 128, 0), QColor(53, 53, 53)},    // green, dark face
                    ReadableCase{QColor(0, 128, 0), QColor(0, 255, 255)},   // green on aqua
                    ReadableCase{QColor(255, 0, 0), QColor(239, 239, 239)}, // red, light face
                    ReadableCase{QColor(255, 0, 0), QColor(53, 53, 53)},    // red, dark face
                    ReadableCase{QColor(0, 0, 0), QColor(239, 239, 239)},   // reads already
                    ReadableCase{QColor(128, 128, 128), QColor(128, 128, 128)})); // grey on grey

TEST(CellColours, FixedBackgroundGivesWayOnlyWhereTheTextWouldNotRead) {
    const QColor aqua(0, 255, 255);
    EXPECT_EQ(BackgroundFor(aqua, Qt::black), aqua);
    EXPECT_EQ(BackgroundFor(QColor(255, 0, 0), Qt::black), QColor(255, 0, 0));
    const QColor dark = BackgroundFor(aqua, QColor(238, 238, 238));
    EXPECT_EQ(dark.hslHue(), aqua.hslHue());
    EXPECT_LT(dark.lightness(), aqua.lightness());
    EXPECT_GE(ContrastRatio(dark, QColor(238, 238, 238)), FixedBackgroundContrast);
}

} // namespace
