// Placement of dialogs and the parts of the message dialog that need no window.
#include "workarea.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    const char* name;
    QRect owner;
    QSize form;
    QRect workArea;
    QPoint expected;
};

class CenteredPositionTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(CenteredPositionTest, CentresThenClampsRightBottomThenLeftTop) {
    const PlacementCase& c = GetParam();
    EXPECT_EQ(CenteredPosition(c.owner, c.form, c.workArea), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CenteredPositionTest,
    testing::Values(
        // Odd sizes: each half is rounded toward zero.
        PlacementCase{"Centred", QRect(100, 100, 601, 401), QSize(201, 101),
                      QRect(0, 0, 1920, 1040), QPoint(300, 250)},
        // Owner at the right edge: the form's right edge stops at the work area's
        // right edge (left + width, exclusive).
        PlacementCase{"ClampedRight", QRect(1700, 100, 400, 300), QSize(300, 100),
                      QRect(0, 0, 1920, 1040), QPoint(1620, 200)},
        PlacementCase{"ClampedBottom", QRect(100, 900, 400, 300), QSize(300, 200),
                      QRect(0, 0, 1920, 1040), QPoint(150, 840)},
        PlacementCase{"ClampedLeftTop", QRect(-300, -200, 200, 100), QSize(300, 200),
                      QRect(0, 0, 1920, 1040), QPoint(0, 0)},
        // A form wider and taller than the work area starts at its top left corner.
        PlacementCase{"LargerThanWorkArea", QRect(0, 0, 800, 600), QSize(2000, 1200),
                      QRect(10, 20, 1900, 1000), QPoint(10, 20)},
        // A work area that does not start at the origin (second monitor, task bar on top).
        PlacementCase{"SecondMonitor", QRect(3700, 30, 300, 300), QSize(400, 200),
                      QRect(1920, 40, 1920, 1160), QPoint(3440, 80)}),
    [](const testing::TestParamInfo<PlacementCase>& info) { return info.param.name; });

TEST(NearestScreen, StraddlingWindowGoesToTheMonitorItOverlapsMost) {
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    EXPECT_EQ(NearestScreenIndex(QRect(1500, 100, 600, 400), screens), 0); // 420 px on 0
    EXPECT_EQ(NearestScreenIndex(QRect(1800, 100, 600, 400), screens), 1); // 480 px on 1
    // Off every screen: the closest one.
    EXPECT_EQ(NearestScreenIndex(QRect(3300, 200, 100, 100), screens), 1);
    EXPECT_EQ(NearestScreenIndex(QRect(-500, 2000, 100, 100), screens), 0);
    EXPECT_EQ(NearestScreenIndex(QRect(0, 0, 10, 10), {}), -1);
}

TEST(NearestScreen, DialogOnStraddlingOwnerIsClampedIntoTheNearestWorkArea) {
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QList<QRect> workAreas{QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 984)};
    const QRect owner(1700, 300, 600, 400); // 220 px on 0, 380 px on 1
    const int nearest = NearestScreenIndex(owner, screens);
    ASSERT_EQ(nearest, 1);
    // Centred on the owner the dialog would start at x = 1800, left of monitor 1.
    EXPECT_EQ(CenteredPosition(owner, QSize(400, 200), workAreas[nearest]), QPoint(1920, 400));
}

TEST(MessageButtons, DefaultAndCancelButtons) {
    EXPECT_EQ(DefaultButtonBit(mbOK | mbHelp), 2);
    EXPECT_EQ(CancelButtonBit(mbOK | mbHelp), 2);
    EXPECT_EQ(DefaultButtonBit(mbYes | mbNo | mbCancel), 0);
    EXPECT_EQ(CancelButtonBit(mbYes | mbNo | mbCancel), 3);
    EXPECT_EQ(CancelButtonBit(mbYes | mbNo), 1);
    EXPECT_EQ(DefaultButtonBit(mbAbort | mbRetry | mbIgnore), 5);
    EXPECT_EQ(CancelButtonBit(mbAbort | mbRetry | mbIgnore), -1);
    EXPECT_EQ(DefaultButtonBit(mbClose), -1);
}

TEST(MessageButtons, CaptionsNamesAndResults) {
    const char* captions[] = {"&Yes",    "&No",  "OK",         "Cancel",      "&Abort", "&Retry",
                              "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help",  "&Close"};
    const int results[] = {6, 7, 1, 2, 3, 4, 5, 12, 13, 14, 0, 8};
    for (int bit = 0; bit < MessageButtonCount; ++bit) {
        EXPECT_EQ(MessageButtonCaption(bit), QString::fromLatin1(captions[bit])) << bit;
        EXPECT_EQ(MessageButtonResult(bit), results[bit]) << bit;
    }
    EXPECT_EQ(MessageButtonName(8), QStringLiteral("NoToAll"));
    EXPECT_EQ(MessageButtonName(10), QStringLiteral("Help"));
}

TEST(MessageDialogText, DividersCaptionTextAndButtonsWithoutAccessKeys) {
    const QString dash = QString(27, QLatin1Char('-')) + QStringLiteral("\r\n");
    EXPECT_EQ(MessageDialogAsText(QStringLiteral("Error"), QStringLiteral("Singular matrix"),
                                  mbOK | mbHelp),
              dash + "Error\r\n" + dash + "Singular matrix\r\n" + dash + "OK   Help   \r\n" + dash);
    EXPECT_EQ(
        MessageDialogAsText(QStringLiteral("Confirm"), QStringLiteral("a\r\nb"), mbYes | mbNoToAll),
        dash + "Confirm\r\n" + dash + "a\r\nb\r\n" + dash + "Yes   No to All   \r\n" + dash);
}

TEST(StartFileNameTest, FullNameGivesFolderAndBareName) {
    const TStartFileName full =
        StartFileName(QStringLiteral("/home/u/out/table.csv"), QStringLiteral("/tmp"));
    EXPECT_EQ(full.Folder, QStringLiteral("/home/u/out"));
    EXPECT_EQ(full.FileName, QStringLiteral("table.csv"));

    const TStartFileName bare = StartFileName(QStringLiteral("table.csv"), QStringLiteral("/tmp"));
    EXPECT_EQ(bare.Folder, QStringLiteral("/tmp"));
    EXPECT_EQ(bare.FileName, QStringLiteral("table.csv"));

    const TStartFileName none = StartFileName(QString(), QStringLiteral("/tmp"));
    EXPECT_EQ(none.Folder, QStringLiteral("/tmp"));
    EXPECT_TRUE(none.FileName.isEmpty());
}

TEST(FontChoice, FirstWantedFamilyAsInstalledSpellsIt) {
    const QStringList ui{"Segoe UI", "Arial", "Calibri"};
    EXPECT_EQ(FirstInstalledFont(ui, {"DejaVu Sans", "arial", "Calibri"}, "Menu"),
              QStringLiteral("arial"));
    EXPECT_EQ(FirstInstalledFont(ui, {"Calibri", "SEGOE UI"}, "Menu"), QStringLiteral("SEGOE UI"));
    EXPECT_EQ(FirstInstalledFont(ui, {"DejaVu Sans"}, "Menu"), QStringLiteral("Menu"));
    EXPECT_EQ(FirstInstalledFont({"Consolas", "Courier New"}, {"Courier New", "Arial"}, "Menu"),
              QStringLiteral("Courier New"));
}

} // namespace
