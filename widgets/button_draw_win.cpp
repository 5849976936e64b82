#include "widgets/button_draw_win.h"

#include <algorithm>
#include <memory>

#include "widgets/button_layout.h"
#include "winui/disabled_glyph_win.h"
#include "winui/gdi_scope_win.h"

namespace {

bool Pushed(TButtonState state) { return state == bsDown || state == bsExclusive; }

// The frame, drawn inside Rect, which shrinks by it. Flat buttons show a thin frame only while
// hot, pressed or latched.
void DrawFrame(HDC dc, RECT& rect, const TButtonPaint& paint) {
    if (paint.Flags & bdNoFrame) return;
    const bool pushed = Pushed(paint.State);
    if (paint.Flags & bdFlat) {
        if (pushed) DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        else if (paint.Hot && paint.State != bsDisabled) DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        return;
    }
    if (paint.Style == bsWin31) {
        HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        FrameRect(dc, &rect, black);
        InflateRect(&rect, -1, -1);
        DrawEdge(dc, &rect, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        return;
    }
    DrawEdge(dc, &rect, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
}

// A copy of image Index of the glyph (a cell of width Width).
std::unique_ptr<TBitmap> GlyphImage(TBitmap& glyph, int index, int width) {
    auto image = std::make_unique<TBitmap>(width, glyph.Height());
    BitBlt(image->Canvas().Handle(), 0, 0, width, glyph.Height(), glyph.Canvas().Handle(), index * width, 0, SRCCOPY);
    return image;
}

// The image in light greys, the transparent colour kept.
void MakeGreyed(TBitmap& image, COLORREF transparent) {
    HDC dc = image.Canvas().Handle();
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (c == transparent) continue;
            const int grey = 128 + GlyphLuminance(c) / 2;
            COLORREF g = RGB(grey, grey, grey);
            if (g == transparent) g = RGB(grey, grey, grey ^ 1);
            ::SetPixel(dc, x, y, g);
        }
}

void DrawGlyph(TCanvas& canvas, const TButtonPaint& paint, int x, int y) {
    TBitmap& glyph = *paint.Glyph;
    const int count = std::max(paint.NumGlyphs, 1);
    const int width = glyph.Width() / count;
    const COLORREF transparent = ColorToRGB(paint.MaskColor);
    int index = 0;
    if (paint.State == bsDisabled && count > 1) index = 1;
    else if (Pushed(paint.State) && count > 2) index = 2;
    else if (paint.Hot && paint.State == bsUp && count > 3) index = 3;
    if (paint.State == bsDisabled && index == 0) {
        DrawDisabledGlyph(canvas.Handle(), x, y, glyph, RECT{0, 0, width, glyph.Height()}, transparent);
        return;
    }
    std::unique_ptr<TBitmap> image = GlyphImage(glyph, index, width);
    if ((paint.Flags & bdGraying) && !paint.Hot && paint.State == bsUp) MakeGreyed(*image, transparent);
    canvas.BrushCopy(RECT{x, y, x + width, y + glyph.Height()}, *image, RECT{0, 0, width, glyph.Height()},
                     static_cast<TColor>(transparent));
}

void DrawCaptionText(TCanvas& canvas, const TButtonPaint& paint, RECT rect) {
    HDC dc = canvas.Handle();
    canvas.Brush().SetStyle(bsClear);
    SetBkMode(dc, TRANSPARENT);
    const UINT flags = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    if (paint.State == bsDisabled) {
        OffsetRect(&rect, 1, 1);
        canvas.Font().SetColor(clBtnHighlight);
        canvas.DrawText(paint.Caption, rect, flags);
        OffsetRect(&rect, -1, -1);
        canvas.Font().SetColor(clBtnShadow);
    }
    canvas.DrawText(paint.Caption, rect, flags);
}

}  // namespace

TColor GlyphMaskColor(TBitmap& glyph, TColor mask) {
    if (mask != -1 && mask != clDefault) return mask;
    if (glyph.Empty()) return clNone;
    return static_cast<TColor>(GetPixel(glyph.Canvas().Handle(), 0, glyph.Height() - 1));
}

void FillDithered(HDC dc, const RECT& rect) {
    static const WORD pattern[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    TGdiObject<HBITMAP> bits(CreateBitmap(8, 8, 1, 1, pattern));
    TGdiObject<HBRUSH> brush(CreatePatternBrush(bits));
    const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
    const COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &rect, brush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

void DrawButtonFace(TCanvas& canvas, const TButtonPaint& paint) {
    HDC dc = canvas.Handle();
    RECT rect = paint.Rect;
    if (!(paint.Flags & bdTransparent)) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(paint.Color);
        canvas.FillRect(rect);
    }
    DrawFrame(dc, rect, paint);
    if (paint.State == bsExclusive && !paint.Hot) FillDithered(dc, rect);
    // The content keeps its place whatever frame is drawn; pushed, it moves down and right.
    RECT area = paint.Rect;
    InflateRect(&area, -2, -2);
    if (Pushed(paint.State)) OffsetRect(&area, 1, 1);
    const bool glyph = paint.Glyph && !paint.Glyph->Empty();
    const int glyphWidth = glyph ? paint.Glyph->Width() / std::max(paint.NumGlyphs, 1) : 0;
    const int glyphHeight = glyph ? paint.Glyph->Height() : 0;
    const bool caption = !(paint.Flags & bdNoCaption) && !paint.Caption.empty();
    SIZE text{0, 0};
    if (caption) {
        RECT measure{0, 0, 0, 0};
        canvas.DrawText(paint.Caption, measure, DT_SINGLELINE | DT_CALCRECT);
        text = SIZE{measure.right, measure.bottom};
    }
    const TButtonContent content =
        LayoutButtonContent(area.right - area.left, area.bottom - area.top, glyphWidth, glyphHeight, text.cx, text.cy,
                            paint.Layout, paint.Margin, paint.Spacing);
    if (glyph) DrawGlyph(canvas, paint, area.left + content.GlyphX, area.top + content.GlyphY);
    if (caption) {
        RECT r{area.left + content.Text.Left, area.top + content.Text.Top, area.left + content.Text.Right,
               area.top + content.Text.Bottom};
        DrawCaptionText(canvas, paint, r);
    }
    if (paint.Flags & bdFocused) {
        RECT focus = paint.Rect;
        InflateRect(&focus, -3, -3);
        canvas.Font().SetColor(clBtnText);
        DrawFocusRect(dc, &focus);
    }
}
