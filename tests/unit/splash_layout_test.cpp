#include "app/splash_layout.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

void ExpectLayout(const SplashLayout& layout, int x, int y, int width, int height, bool scaled) {
    EXPECT_EQ(layout.x, x);
    EXPECT_EQ(layout.y, y);
    EXPECT_EQ(layout.width, width);
    EXPECT_EQ(layout.height, height);
    EXPECT_EQ(layout.scaled, scaled);
}

TEST(ComputeSplashLayout, FitsWithinTheBoxAndCentresOnTheWholeScreen) {
    SCOPED_TRACE("1366 x 768: 70 % is larger than the box, the image stays as it is");
    ExpectLayout(ComputeSplashLayout(450, 450, 700, 450, 1366, 768), 458, 159, 450, 450, false);
    SCOPED_TRACE("800 x 600: the box shrinks to 560 x 420 and the image to 420 x 420");
    ExpectLayout(ComputeSplashLayout(450, 450, 700, 450, 800, 600), 190, 90, 420, 420, true);
    SCOPED_TRACE("1920 x 1080");
    ExpectLayout(ComputeSplashLayout(450, 450, 700, 450, 1920, 1080), 735, 315, 450, 450, false);
}

TEST(ComputeSplashLayout, ZeroMaximumTakesTheDefaults) {
    // 700 x 450 box: a wide image is limited by the width, a tall one by the height.
    ExpectLayout(ComputeSplashLayout(1400, 450, 0, 0, 4000, 3000), 1650, 1387, 700, 225, true);
    ExpectLayout(ComputeSplashLayout(450, 900, 0, 0, 4000, 3000), 1887, 1275, 225, 450, true);
    ExpectLayout(ComputeSplashLayout(700, 450, 0, 0, 4000, 3000), 1650, 1275, 700, 450, false);
    // Only one dimension defaults.
    ExpectLayout(ComputeSplashLayout(600, 600, 300, 0, 4000, 3000), 1850, 1350, 300, 300, true);
}

TEST(ComputeSplashLayout, ImageExceedingOneDimensionScalesBoth) {
    // 701 wide in a 700 box: scale 0.99857, height 450 * 0.99857 + 0.5 = 449.85 -> 449.
    ExpectLayout(ComputeSplashLayout(701, 450, 700, 450, 4000, 3000), 1650, 1275, 700, 449, true);
    // Rounding to nearest: 1000 x 333 into 700 wide: 233.1 + 0.5 truncates to 233.
    ExpectLayout(ComputeSplashLayout(1000, 333, 700, 450, 4000, 3000), 1650, 1383, 700, 233, true);
}

TEST(ComputeSplashLayout, SmallerImagesAreNeverEnlarged) {
    ExpectLayout(ComputeSplashLayout(10, 20, 700, 450, 1366, 768), 678, 374, 10, 20, false);
}

TEST(ComputeSplashLayout, TinyAndMissingScreens) {
    // 70 % of 1 truncates to 0, which does not lower the limit: the box stays 700 x 450 and the
    // centring goes negative with truncation toward zero.
    ExpectLayout(ComputeSplashLayout(450, 450, 700, 450, 1, 1), -224, -224, 450, 450, false);
    // A zero or negative screen leaves the limits alone.
    ExpectLayout(ComputeSplashLayout(450, 450, 700, 450, 0, 0), -225, -225, 450, 450, false);
    ExpectLayout(ComputeSplashLayout(450, 450, 700, 450, -10, 0), -230, -225, 450, 450, false);
    // 2 x 2: the box is 1 x 1 and every side is at least one pixel.
    ExpectLayout(ComputeSplashLayout(450, 450, 700, 450, 2, 2), 0, 0, 1, 1, true);
    // 1000 x 3: the box is 700 x 2 (70 % of 1000 is not below 700).
    ExpectLayout(ComputeSplashLayout(450, 3, 700, 450, 1000, 3), 350, 0, 300, 2, true);
    // 10 wide: a 7-pixel box, and the height keeps its floor of one pixel.
    ExpectLayout(ComputeSplashLayout(4500, 3, 700, 450, 10, 3000), 1, 1499, 7, 1, true);
}

TEST(ComputeSplashLayout, DegenerateInputsStayDefined) {
    ExpectLayout(ComputeSplashLayout(0, 450, 700, 450, 800, 600), 0, 0, 0, 0, false);
    ExpectLayout(ComputeSplashLayout(450, -1, 700, 450, 800, 600), 0, 0, 0, 0, false);
    // A negative maximum cannot be met: the floor of one pixel holds.
    const SplashLayout negative = ComputeSplashLayout(450, 450, -5, 450, 800, 600);
    EXPECT_EQ(negative.width, 1);
    EXPECT_EQ(negative.height, 1);
    // Extreme values neither overflow nor trap.
    const SplashLayout huge = ComputeSplashLayout(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MIN, 1);
    EXPECT_GT(huge.width, 0);
    EXPECT_EQ(huge.x, static_cast<int>((static_cast<long long>(INT_MIN) - huge.width) / 2));
}

}  // namespace

TEST(PremultiplyBgraPixels, ScalesColoursByAlphaWithIntegerDivisionAndKeepsAlpha) {
    std::uint8_t pixels[] = {
        255, 128, 1,   255,  // opaque: unchanged
        255, 128, 1,   0,    // transparent: black
        200, 100, 255, 128,  // half: 200*128/255 = 100.39 -> 100, 100*128/255 = 50.19 -> 50
        255, 255, 255, 1,    // nearly transparent white: 255*1/255 = 1
    };
    PremultiplyBgraPixels(pixels, 4);
    const std::uint8_t expected[] = {255, 128, 1, 255, 0, 0, 0, 0, 100, 50, 128, 128, 1, 1, 1, 1};
    for (std::size_t i = 0; i < sizeof(expected); ++i)
        EXPECT_EQ(pixels[i], expected[i]) << i;
}
