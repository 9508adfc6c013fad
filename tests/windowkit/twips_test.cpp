#include "windowkit/twips.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vimbrel;

TEST(Twips, TwipsAndPixels)
{
    EXPECT_EQ(twipsToPixels(12420, 96), 828);
    EXPECT_EQ(twipsToPixels(15, 96), 1);
    EXPECT_EQ(twipsToPixels(-255, 96), -17);
    EXPECT_EQ(twipsToPixels(1440, 144), 144);
    EXPECT_EQ(pixelsToTwips(800, 96), 12000);
    EXPECT_EQ(twipsToPixels(45, 192), 6); // 7.5 twips a pixel at 192 DPI
    EXPECT_EQ(twipsToPixels(22, 96), 1);  // 1.47 pixels
    EXPECT_EQ(twipsToPixels(37, 144), 4); // 3.7 pixels
}

// Every window rounds the same way: a half pixel goes to the even neighbour, at 120 and 144 DPI
// as much as anywhere (rounding halves away from zero would give one pixel more here).
TEST(Twips, HalfPixelsGoToTheEvenNeighbourAtEveryDpi)
{
    struct Case
    {
        int twips;
        double dpi;
        int pixels;
    };
    // clang-format off
    const Case cases[] = {
        {7, 96, 0}, {8, 96, 1}, {12420, 96, 828}, {7665, 96, 511},                 // 15 a pixel
        {30, 120, 2}, {90, 120, 8}, {150, 120, 12}, {-30, 120, -2},                // 12 a pixel
        {12420, 120, 1035}, {7665, 120, 639},
        {45, 144, 4}, {75, 144, 8}, {105, 144, 10}, {255, 144, 26}, {-45, 144, -4}, // 10 a pixel
        {14580, 144, 1458},
        {30, 0, 2}, {30, -1, 2},                                                   // no DPI: 96
    };
    // clang-format on
    for (const Case &c : cases)
        EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
    EXPECT_EQ(twipsToPixels(QRect(30, 45, 90, 150), 120), QRect(2, 4, 8, 12));
}

TEST(Twips, PixelsToTwips)
{
    EXPECT_EQ(pixelsToTwips(828, 120), 9936);
    EXPECT_EQ(pixelsToTwips(1, 144), 10);
    EXPECT_EQ(pixelsToTwips(-3, 96), -45);
    EXPECT_EQ(pixelsToTwips(1, 100), 14); // 14.4
    EXPECT_EQ(pixelsToTwips(5, 192), 38); // 37.5: to even
}

// At 15 twips a pixel no whole number of twips lies on a half pixel, so the rule changes no
// position at 96 DPI.
TEST(Twips, At96DpiEveryRuleGivesTheSamePixels)
{
    for (int twips = -20000; twips <= 20000; ++twips)
        ASSERT_EQ(twipsToPixels(twips, 96), int(std::lround(twips / 15.0))) << twips;
}
