// Where the main window goes at start-up, for the stored WinPos values a user
// may have: none, "MAX", a position on a screen that is gone, or garbage.
#include "texts/Placement.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

const std::vector<TRect> OneScreen{{0, 0, 1024, 768}};

std::tuple<int, int, int, int> Box(const TRect& r) {
    return {r.Left, r.Top, r.Width, r.Height};
}

TEST(ScaleByDpiTest, ScalesUpOnlyAndTruncatesTowardZero) {
    EXPECT_EQ(ScaleByDpi(650, 96), 650);
    EXPECT_EQ(ScaleByDpi(650, 72), 650);
    EXPECT_EQ(ScaleByDpi(650, 120), 812);
    EXPECT_EQ(ScaleByDpi(450, 120), 562);
    EXPECT_EQ(ScaleByDpi(9, 144), 13);
    EXPECT_EQ(ScaleByDpi(3, 144), 4);
    EXPECT_EQ(ScaleByDpi(-9, 144), -13);
}

TEST(CentredPlacementTest, ScreenSmallerThanTheWindowGivesZero) {
    EXPECT_EQ(Box(CentredPlacement(650, 450, 96, 600, 768)), Box({0, 159, 650, 450}));
    EXPECT_EQ(Box(CentredPlacement(650, 450, 144, 1024, 600)), Box({24, 0, 975, 675}));
    // An odd difference truncates: (801 - 650) / 2 = 75.
    EXPECT_EQ(CentredPlacement(650, 450, 96, 801, 600).Left, 75);
}

TEST(PlaceWindowTest, WithoutStoredValueTheWindowIsCentred) {
    for (const auto& [dpi, expected] :
         {std::pair{96, TRect{187, 159, 650, 450}}, std::pair{120, TRect{106, 103, 812, 562}},
          std::pair{144, TRect{24, 46, 975, 675}}}) {
        const TWindowPlacement p = PlaceWindow("", 650, 450, dpi, OneScreen);
        EXPECT_FALSE(p.Maximized);
        EXPECT_EQ(Box(p.Bounds), Box(expected)) << dpi;
    }
}

TEST(PlaceWindowTest, CentredOnThePrimaryScreenWhereverItLies) {
    const std::vector<TRect> screens{{1920, 100, 1024, 768}, {0, 0, 1920, 1080}};
    EXPECT_EQ(Box(PlaceWindow("", 650, 450, 96, screens).Bounds), Box({2107, 259, 650, 450}));
}

TEST(PlaceWindowTest, OnlyUpperCaseMaxMaximizes) {
    const TWindowPlacement max = PlaceWindow("MAX", 650, 450, 96, OneScreen);
    EXPECT_TRUE(max.Maximized);
    EXPECT_EQ(Box(max.Bounds), Box({187, 159, 650, 450}));
    for (const char* value : {"max", "Max", " MAX", "MAX "}) {
        const TWindowPlacement p = PlaceWindow(value, 650, 450, 96, OneScreen);
        EXPECT_FALSE(p.Maximized) << value;
        EXPECT_EQ(Box(p.Bounds), Box({187, 159, 650, 450})) << value;
    }
}

TEST(PlaceWindowTest, StoredBoundsOnAScreenAreTaken) {
    EXPECT_EQ(Box(PlaceWindow("100,50,700,500", 650, 450, 96, OneScreen).Bounds),
              Box({100, 50, 700, 500}));
    // A window hanging over the edges stays where it is while a part of it
    // can still be taken hold of.
    EXPECT_EQ(Box(PlaceWindow("-600,-400,700,500", 650, 450, 96, OneScreen).Bounds),
              Box({-600, -400, 700, 500}));
    // Written by this program for a maximized-looking window on Windows.
    EXPECT_EQ(Box(PlaceWindow("-8,-8,1040,784", 650, 450, 96, OneScreen).Bounds),
              Box({-8, -8, 1040, 784}));
}

TEST(PlaceWindowTest, StoredSizeBelowTheMinimumIsRaised) {
    EXPECT_EQ(Box(PlaceWindow("10,20,100,100", 650, 450, 96, OneScreen).Bounds),
              Box({10, 20, 650, 450}));
    EXPECT_EQ(Box(PlaceWindow("10,20,100,100", 650, 450, 120, OneScreen).Bounds),
              Box({10, 20, 812, 562}));
}

TEST(PlaceWindowTest, ValueWithoutFourNumbersGivesTheCentredDefault) {
    for (const char* value : {"100,200,300", "100", "100,200,300,", ",100,200,300,400", "a,b,c,d",
                              "100;200;300;400", "100,200,,400", "x"}) {
        const TWindowPlacement p = PlaceWindow(value, 650, 450, 96, OneScreen);
        EXPECT_FALSE(p.Maximized) << value;
        EXPECT_EQ(Box(p.Bounds), Box({187, 159, 650, 450})) << value;
    }
}

TEST(PlaceWindowTest, WindowNoScreenShowsIsMovedOntoThePrimaryScreen) {
    // Right of and below the screen: pushed back in, size kept.
    EXPECT_EQ(Box(PlaceWindow("5000,4000,700,500", 650, 450, 96, OneScreen).Bounds),
              Box({324, 268, 700, 500}));
    // Far up and left.
    EXPECT_EQ(Box(PlaceWindow("-5000,-4000,700,500", 650, 450, 96, OneScreen).Bounds),
              Box({0, 0, 700, 500}));
    // Larger than the screen and off it: size cut down to the screen.
    EXPECT_EQ(Box(PlaceWindow("3000,3000,2000,1500", 650, 450, 96, OneScreen).Bounds),
              Box({0, 0, 1024, 768}));
    // A screen that was unplugged: the window lands on the primary one, even
    // when that one does not start at 0,0.
    const std::vector<TRect> shifted{{-1024, 0, 1024, 768}};
    EXPECT_EQ(Box(PlaceWindow("1500,100,700,500", 650, 450, 96, shifted).Bounds),
              Box({-700, 100, 700, 500}));
}

TEST(PlaceWindowTest, ACornerOf32PixelsIsEnoughToStay) {
    // 32 by 32 pixels of the window on the screen: kept.
    EXPECT_EQ(Box(PlaceWindow("992,736,700,500", 650, 450, 96, OneScreen).Bounds),
              Box({992, 736, 700, 500}));
    // 31 pixels wide only: moved in.
    EXPECT_EQ(Box(PlaceWindow("993,736,700,500", 650, 450, 96, OneScreen).Bounds),
              Box({324, 268, 700, 500}));
    EXPECT_EQ(Box(PlaceWindow("992,737,700,500", 650, 450, 96, OneScreen).Bounds),
              Box({324, 268, 700, 500}));
}

TEST(PlaceWindowTest, AnyScreenCanShowTheWindow) {
    const std::vector<TRect> screens{{0, 0, 1024, 768}, {1024, -200, 1280, 1024}};
    EXPECT_EQ(Box(PlaceWindow("1500,-100,700,500", 650, 450, 96, screens).Bounds),
              Box({1500, -100, 700, 500}));
    // Between and beyond both screens: onto the primary one.
    EXPECT_EQ(Box(PlaceWindow("2400,900,700,500", 650, 450, 96, screens).Bounds),
              Box({324, 268, 700, 500}));
}

TEST(PlaceWindowTest, HugeNumbersDoNotOverflow) {
    const TWindowPlacement p =
        PlaceWindow("2147483647,2147483647,2147483647,2147483647", 650, 450, 96, OneScreen);
    EXPECT_EQ(Box(p.Bounds), Box({0, 0, 1024, 768}));
    const TWindowPlacement q =
        PlaceWindow("99999999999999,-99999999999999,700,500", 650, 450, 96, OneScreen);
    EXPECT_EQ(Box(q.Bounds), Box({324, 0, 700, 500}));
}

TEST(WinPosTextTest, WrittenValuesReadBackAndBadOnesAreRefused) {
    const TRect written{-8, -8, 1296, 1010};
    EXPECT_EQ(FormatWinPos(written), "-8,-8,1296,1010");
    TRect r{1, 2, 3, 4};
    ASSERT_TRUE(ParseWinPos(FormatWinPos(written), r));
    EXPECT_EQ(Box(r), Box(written));
    // As "%d,%d,%d,%d" reads: blanks before a number skipped, anything after
    // the fourth ignored.
    ASSERT_TRUE(ParseWinPos("10, 20, 30, 40px", r));
    EXPECT_EQ(Box(r), Box({10, 20, 30, 40}));
    for (const char* bad : {"10,20,30", "10 ,20,30,40", ""})
        EXPECT_FALSE(ParseWinPos(bad, r)) << bad;
    EXPECT_EQ(Box(r), Box({10, 20, 30, 40})); // untouched by a failed read
}

} // namespace
