// The look of a button glyph that has no disabled image of its own: its dark opaque pixels
// embossed, a highlight copy one pixel down and right under a shadow copy. The framework's bitmap
// buttons and the program's speed buttons draw their disabled glyphs with it.
#pragma once

#include <windows.h>

#include "winui/graphics_win.h"

// The brightness (0..255) by which a pixel counts as dark: red, green and blue weighted
// 30 : 59 : 11.
int GlyphLuminance(COLORREF color);

// Draws Source (a part of Glyph) embossed at (X, Y) of Dc. Pixels of Transparent and pixels of
// a luminance of 192 or more are left out; the others become the button highlight colour one
// pixel down and right, and the button shadow colour in place. Dc's brush and colours are as
// before afterwards.
void DrawDisabledGlyph(HDC dc, int x, int y, TBitmap& glyph, const RECT& source, COLORREF transparent);
