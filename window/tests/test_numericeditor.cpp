// What the numeric editor accepts, whatever the user's locale.
#include "numericeditor.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

TEST(ParseNumericText, RangeIsInclusiveAndTextMustBeANumber) {
    const TNumericRange data{-100, 500, 2, 7};
    const TNumericRange shocks{-99, 500, 2, 7};
    double v = 0;
    EXPECT_TRUE(ParseNumericText("-100", data, v));
    EXPECT_EQ(v, -100);
    EXPECT_FALSE(ParseNumericText("-100", shocks, v));
    EXPECT_TRUE(ParseNumericText("500", shocks, v));
    EXPECT_FALSE(ParseNumericText("500.01", data, v));
    EXPECT_FALSE(ParseNumericText("600", data, v));
    EXPECT_TRUE(ParseNumericText("5.", data, v));
    EXPECT_EQ(v, 5);
    EXPECT_TRUE(ParseNumericText(".5", data, v));
    EXPECT_EQ(v, 0.5);
    // Only a signed decimal number of at most 7 characters and 2 decimals.
    for (const char* bad :
         {"", "-", ".", "-.", "1,5", "nan", "inf", "1e2", "+5", " 5", "1.234", "12345678", "--1"}) {
        EXPECT_FALSE(ParseNumericText(bad, data, v)) << bad;
    }
}

TEST(ParseNumericText, PointWhateverTheDefaultLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    double v = 0;
    EXPECT_TRUE(ParseNumericText("12.5", TNumericRange{}, v));
    EXPECT_EQ(v, 12.5);
    QLocale::setDefault(saved);
}

} // namespace
