// The bitmap panels' option bits and the tiling geometry: centred tiling, the pattern that
// continues across neighbouring panels, and bitmaps placed at their own size.
#include <gtest/gtest.h>

#include "base/exception.h"
#include "widgets/panel_layout.h"

namespace {

TEST(PanelOptionsTest, TiledAndStretchExcludeEachOther) {
    TPanelOptions options;
    options.Set(pnTiled, true);
    options.Set(pnStretch, true);
    EXPECT_TRUE(options.Get(pnStretch));
    EXPECT_FALSE(options.Get(pnTiled));
    options.Set(pnTiled, true);
    EXPECT_FALSE(options.Get(pnStretch));
    EXPECT_FALSE(options.Set(pnTiled, true));
    options.Set(pnTiled, false);
    EXPECT_FALSE(options.Get(pnTiled) || options.Get(pnStretch));
    EXPECT_THROW(options.Get(32), Exception);
}

TEST(PanelOptionsTest, DefaultOptionsReplaceTheDrawingBitsOnly) {
    SetPanelDefaultOptions(PanelBit(pnTiled) | PanelBit(pnAlignBitmapToForm) | PanelBit(pnHandleFocus));
    EXPECT_EQ(PanelDefaultOptions(), PanelBit(pnTiled) | PanelBit(pnAlignBitmapToForm));
    TPanelOptions options;
    EXPECT_TRUE(options.Get(pnDefaultOptions));
    EXPECT_TRUE(options.Get(pnTiled));
    options.Set(pnStretch, true);
    options.Set(pnBuffered, true);
    options.Set(pnDefaultOptions, false);
    options.Set(pnDefaultOptions, true);
    EXPECT_TRUE(options.Get(pnTiled));
    EXPECT_FALSE(options.Get(pnStretch));
    EXPECT_TRUE(options.Get(pnBuffered)) << "bits above 7 are no drawing options";
    SetPanelDefaultOptions(0);
}

TEST(TileStartTest, Table) {
    struct Case {
        int area, tile;
        bool toForm;
        int formOffset;
        bool centre;
        int start;
    } cases[] = {
        {100, 32, false, 0, false, 0},
        {100, 32, false, 0, true, -14},   // (32 - 100 % 32) / 2 = 14
        {96, 32, false, 0, true, -16},    // an exact fit still centres by half a tile
        {100, 32, true, 40, false, -8},   // 40 pixels into the form: 8 into the second tile
        {100, 32, true, 64, false, 0},
        {100, 32, true, -10, false, -22}, // a panel left of the form's origin
        {100, 32, true, 40, true, -22},
        {100, 0, true, 40, true, 0},
        {0, 16, false, 0, true, 0},
    };
    int row = 0;
    for (const Case& c : cases) {
        const int start = TileStart(c.area, c.tile, c.toForm, c.formOffset, c.centre);
        EXPECT_EQ(start, c.start) << "row " << row;
        if (c.tile > 0) {
            EXPECT_LE(start, 0);
            EXPECT_GT(start, -c.tile);
        }
        ++row;
    }
}

TEST(TileStartTest, NeighbouringPanelsContinueOnePattern) {
    // Two panels side by side: the first from form x 0, the second from x 75. A pixel at form
    // x must fall at the same place of the tile in both.
    const int tile = 32;
    const int first = TileStart(75, tile, true, 0, false);
    const int second = TileStart(120, tile, true, 75, false);
    for (int formX : {75, 80, 106, 140}) {
        const int inFirst = ((formX - 0 - first) % tile + tile) % tile;
        const int inSecond = ((formX - 75 - second) % tile + tile) % tile;
        EXPECT_EQ(inFirst, inSecond) << formX;
    }
}

TEST(PlaceBitmapTest, CentredOrAtTheStart) {
    EXPECT_EQ(PlaceBitmap(100, 40, true), 30);
    EXPECT_EQ(PlaceBitmap(100, 40, false), 0);
    EXPECT_EQ(PlaceBitmap(30, 40, true), -5);
}

}  // namespace
