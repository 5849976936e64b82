// Where buttons put their glyph and caption: side by side or stacked, centred or at a margin.
#include <gtest/gtest.h>

#include "widgets/button_layout.h"

namespace {

TEST(ButtonLayoutTest, Table) {
    struct Case {
        int width, height, glyphW, glyphH, textW, textH, layout, margin, spacing;
        TButtonContent result;
    } cases[] = {
        // A glyph alone is centred.
        {19, 18, 16, 16, 0, 0, 0, -1, 4, {1, 1, {17, 9, 17, 9}}},
        // Glyph left of the text, the pair centred: (60 - 16 - 4 - 20) / 2 = 10.
        {60, 18, 16, 16, 20, 12, 0, -1, 4, {10, 1, {30, 3, 50, 15}}},
        // Glyph right: mirrored.
        {60, 18, 16, 16, 20, 12, 1, -1, 4, {34, 1, {10, 3, 30, 15}}},
        // A margin of 3 from the left edge.
        {60, 18, 16, 16, 20, 12, 0, 3, 4, {3, 1, {23, 3, 43, 15}}},
        // Margin and spacing -1 spread the room evenly: (60 - 36) / 3 = 8.
        {60, 18, 16, 16, 20, 12, 0, -1, -1, {8, 1, {32, 3, 52, 15}}},
        // Margin given, spacing -1: the text goes to the far side.
        {60, 18, 16, 16, 20, 12, 0, 2, -1, {2, 1, {38, 3, 58, 15}}},
        // Glyph on top of the text, and below it.
        {40, 50, 16, 16, 30, 12, 2, -1, 4, {12, 9, {5, 29, 35, 41}}},
        {40, 50, 16, 16, 30, 12, 3, -1, 4, {12, 25, {5, 9, 35, 21}}},
        // Text alone ignores the spacing.
        {40, 20, 0, 0, 30, 12, 0, -1, 4, {5, 10, {5, 4, 35, 16}}},
    };
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(LayoutButtonContent(c.width, c.height, c.glyphW, c.glyphH, c.textW, c.textH, c.layout, c.margin,
                                      c.spacing),
                  c.result)
            << "row " << row;
        ++row;
    }
}

}  // namespace
