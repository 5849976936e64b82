#include "winui/disabled_glyph_win.h"

#include "winui/gdi_scope_win.h"

namespace {

// Pixels at or above this luminance stay out of the embossed shape.
constexpr int LightThreshold = 192;

// The shape of Source's dark opaque pixels as a monochrome bitmap: black where drawn, white
// elsewhere.
TGdiObject<HBITMAP> DarkShape(TBitmap& glyph, const RECT& source, COLORREF transparent) {
    const int width = source.right - source.left, height = source.bottom - source.top;
    TGdiObject<HBITMAP> shape(CreateBitmap(width, height, 1, 1, nullptr));
    TMemoryDC dc;
    TSelectObject selected(dc, shape);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    HDC pixels = glyph.Canvas().Handle();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(pixels, source.left + x, source.top + y);
            if (c != transparent && GlyphLuminance(c) < LightThreshold) ::SetPixel(dc, x, y, RGB(0, 0, 0));
        }
    return shape;
}

// Paints Color where Shape is black and leaves the destination where it is white.
void PaintShape(HDC dc, int x, int y, int width, int height, HBITMAP shape, COLORREF color) {
    TMemoryDC shapeDc(dc);
    TSelectObject shapeSelected(shapeDc, shape);
    TGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    TSelectObject brushSelected(dc, brush);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    // Destination where the shape is white, the brush where it is black (PSDPxax).
    BitBlt(dc, x, y, width, height, shapeDc, 0, 0, 0x00B8074A);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

}  // namespace

int GlyphLuminance(COLORREF color) {
    return (GetRValue(color) * 30 + GetGValue(color) * 59 + GetBValue(color) * 11) / 100;
}

void DrawDisabledGlyph(HDC dc, int x, int y, TBitmap& glyph, const RECT& source, COLORREF transparent) {
    const int width = source.right - source.left, height = source.bottom - source.top;
    if (width <= 0 || height <= 0) return;
    TGdiObject<HBITMAP> shape = DarkShape(glyph, source, transparent);
    PaintShape(dc, x + 1, y + 1, width, height, shape, GetSysColor(COLOR_BTNHIGHLIGHT));
    PaintShape(dc, x, y, width, height, shape, GetSysColor(COLOR_BTNSHADOW));
}
