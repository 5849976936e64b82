// The embossed look of a disabled button glyph without an image of its own, shared by the
// framework's bitmap buttons and the program's speed buttons: dark opaque pixels become the
// shadow colour in place and the highlight colour one pixel down and right; light and
// transparent pixels are left out.
#include <gtest/gtest.h>

#include <string>

#include "winui/disabled_glyph_win.h"
#include "winui/graphics_win.h"

namespace {

constexpr COLORREF Dark = RGB(0, 0, 0);
constexpr COLORREF Grey = RGB(100, 100, 100);
constexpr COLORREF Light = RGB(255, 255, 255);
constexpr COLORREF Key = RGB(255, 0, 255);
constexpr COLORREF Background = RGB(0, 128, 0);

// A glyph strip of two 4 x 2 images: the left one all dark, the right one
//   row 0: dark  light key   grey
//   row 1: light dark  grey  key
void FillGlyph(TBitmap& glyph) {
    const COLORREF right[2][4] = {{Dark, Light, Key, Grey}, {Light, Dark, Grey, Key}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            glyph.Canvas().SetPixel(x, y, static_cast<TColor>(Dark));
            glyph.Canvas().SetPixel(4 + x, y, static_cast<TColor>(right[y][x]));
        }
}

}  // namespace

TEST(DisabledGlyphTest, DarkOpaquePixelsAreEmbossedAndTheRestLeftOut) {
    TBitmap glyph(8, 2, pf24bit);
    FillGlyph(glyph);
    TBitmap target(10, 6, pf24bit);
    target.Canvas().Brush().SetColor(static_cast<TColor>(Background));
    target.Canvas().FillRect(RECT{0, 0, 10, 6});
    HDC dc = target.Canvas().Handle();
    const HGDIOBJ brushBefore = GetCurrentObject(dc, OBJ_BRUSH);
    const COLORREF textBefore = GetTextColor(dc), backBefore = GetBkColor(dc);

    // The right image at (2, 1).
    DrawDisabledGlyph(dc, 2, 1, glyph, RECT{4, 0, 8, 2}, Key);

    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    struct Row {
        int x, y;
        COLORREF expected;
        const char* why;
    } rows[] = {
        {2, 1, shadow, "dark pixel (0,0)"},
        {5, 1, shadow, "grey pixel (3,0)"},
        {3, 2, shadow, "dark pixel (1,1), over the highlight of (0,0)"},
        {4, 2, shadow, "grey pixel (2,1)"},
        {3, 1, Background, "light pixel (1,0)"},
        {4, 1, Background, "transparent pixel (2,0)"},
        {2, 2, Background, "light pixel (0,1)"},
        {5, 2, Background, "transparent pixel (3,1)"},
        {6, 2, highlight, "below right of (3,0)"},
        {4, 3, highlight, "below right of (1,1)"},
        {5, 3, highlight, "below right of (2,1)"},
        {3, 3, Background, "nothing above left"},
        {1, 1, Background, "left of the glyph"},
        {6, 1, Background, "right of the glyph"},
        {7, 3, Background, "outside"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.why) + " at " + std::to_string(row.x) + "," + std::to_string(row.y));
        EXPECT_EQ(GetPixel(dc, row.x, row.y), row.expected);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brushBefore);
    EXPECT_EQ(GetTextColor(dc), textBefore);
    EXPECT_EQ(GetBkColor(dc), backBefore);
}

TEST(DisabledGlyphTest, AnEmptySourceDrawsNothing) {
    TBitmap glyph(8, 2, pf24bit);
    FillGlyph(glyph);
    TBitmap target(4, 4, pf24bit);
    target.Canvas().Brush().SetColor(static_cast<TColor>(Background));
    target.Canvas().FillRect(RECT{0, 0, 4, 4});
    HDC dc = target.Canvas().Handle();
    DrawDisabledGlyph(dc, 0, 0, glyph, RECT{4, 0, 4, 2}, Key);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(GetPixel(dc, x, y), Background) << x << "," << y;
}

TEST(DisabledGlyphTest, LuminanceWeighsRedGreenAndBlue) {
    struct Row {
        COLORREF color;
        int expected;
    } rows[] = {{RGB(0, 0, 0), 0},     {RGB(255, 255, 255), 255}, {RGB(255, 0, 0), 76},
                {RGB(0, 255, 0), 150}, {RGB(0, 0, 255), 28},      {RGB(192, 192, 192), 192}};
    for (const Row& row : rows) EXPECT_EQ(GlyphLuminance(row.color), row.expected) << std::hex << row.color;
}
