// Gradient captions: how many bands a display gets, where they go and which colours they have.
#include <gtest/gtest.h>

#include <cmath>

#include "base/exception.h"
#include "widgets/gradient.h"

namespace {

struct TExponentRow {
    int colors;
    int exponent;
};

TEST(GradientTest, ExponentFollowsTheColourCount) {
    const TExponentRow rows[] = {{-1, 7}, {0, 7},   {1, 4},   {2, 4},      {16, 4},
                                 {17, 5}, {256, 5}, {257, 7}, {65536, 7}};
    for (const auto& row : rows) EXPECT_EQ(GradientExponent(row.colors), row.exponent) << row.colors;
}

TEST(GradientTest, SixteenColoursGiveSixteenBandsTrueColourOneHundredTwentyEight) {
    EXPECT_EQ(GradientBands(0, 300, 0xFF0000, GradientExponent(16)).size(), 16u);
    EXPECT_EQ(GradientBands(0, 300, 0xFF0000, GradientExponent(256)).size(), 32u);
    EXPECT_EQ(GradientBands(0, 300, 0xFF0000, GradientExponent(-1)).size(), 128u);
}

TEST(GradientTest, BandsRunFromBlackTowardsTheBackground) {
    const auto bands = GradientBands(0, 320, 0x00FF8040, 4);
    EXPECT_EQ(bands[0].Color, 0u);
    EXPECT_EQ(bands[8].Color, 0x007F4020u);   // each byte * 8 >> 4
    EXPECT_EQ(bands[15].Color, 0x00EF783Cu);  // each byte * 15 >> 4
    // No byte spills into its neighbour, also for the brightest colour.
    const auto white = GradientBands(0, 320, 0x00FFFFFF, 7);
    EXPECT_EQ(white[127].Color, 0x00FDFDFDu);  // 255 * 127 >> 7
    for (size_t i = 1; i < white.size(); ++i) EXPECT_GE(white[i].Color & 0xFF, white[i - 1].Color & 0xFF);
}

TEST(GradientTest, BandPositionsStepByWidthOverCountLessHalf) {
    // 160 pixels in 16 bands: step 9.5, width 10; the positions are rounded.
    const auto bands = GradientBands(20, 160, 0x808080, 4);
    const int expectedX[] = {20, 30, 39, 48, 58, 68, 77, 86, 96, 106, 115, 124, 134, 144, 153, 162};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(bands[i].X, expectedX[i]) << i;
        EXPECT_EQ(bands[i].Width, 10) << i;
    }
}

TEST(GradientTest, BandsLeaveAboutHalfTheBandCountAtTheRight) {
    for (int width : {100, 333, 640, 1024}) {
        for (int e : {4, 5, 7}) {
            const int n = 1 << e;
            const auto bands = GradientBands(0, width, 0xFFFFFF, e);
            const int end = bands.back().X + bands.back().Width;
            EXPECT_NEAR(end, width - n / 2, 2) << width << " " << e;
            // Bands touch or overlap: no gap shows the plain background between them.
            for (int i = 1; i < n; ++i) EXPECT_LE(bands[i].X, bands[i - 1].X + bands[i - 1].Width) << i;
        }
    }
}

TEST(GradientTest, DegenerateInput) {
    EXPECT_TRUE(GradientBands(0, -5, 0xFF, 4).empty());
    const auto zero = GradientBands(7, 0, 0xFF, 4);
    ASSERT_EQ(zero.size(), 16u);
    EXPECT_EQ(zero[0].Width, 0);
    EXPECT_THROW(GradientBands(0, 100, 0xFF, 0), Exception);
    EXPECT_THROW(GradientBands(0, 100, 0xFF, 31), Exception);
}

}  // namespace
