// Where a button puts its glyph and its caption: side by side (glyph left or right) or stacked
// (glyph on top or below), with a margin from the edge and a spacing between them. The speed
// button and the check box button share it. Layouts are the ordinals of TButtonLayout:
// 0 glyph left, 1 glyph right, 2 glyph on top, 3 glyph below.
#pragma once

struct TContentRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TContentRect&) const = default;
};

struct TButtonContent {
    int GlyphX = 0;
    int GlyphY = 0;
    TContentRect Text;  // the caption's rectangle, of the caption's own size
    bool operator==(const TButtonContent&) const = default;
};

// Width x Height is the button's content area; a glyph or text of size 0 is absent (no spacing
// is then put between them). Margin -1 centres the pair; Spacing -1 with Margin -1 spreads the
// free room evenly before, between and after them. Across the layout direction both are
// centred.
TButtonContent LayoutButtonContent(int width, int height, int glyphWidth, int glyphHeight, int textWidth,
                                   int textHeight, int layout, int margin, int spacing);
