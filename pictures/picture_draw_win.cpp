#include "pictures/picture_draw_win.h"

#include <algorithm>

#include "base/string_ids.h"

namespace {

// A monochrome bitmap selected into a memory device context of its own.
class TMaskDc {
public:
    explicit TMaskDc(HBITMAP mask) : mask_(mask), selected_(CheckedDc(dc_, mask_), mask_) {}
    HDC Handle() const { return dc_; }

private:
    static HDC CheckedDc(HDC dc, HBITMAP mask) {
        if (!dc || !mask) throw EInvalidGraphic(sid::OutOfResources);
        return dc;
    }
    // Destroyed in reverse order: the selection undone, then the DC, then the bitmap.
    TGdiObject<HBITMAP> mask_;
    TMemoryDC dc_;
    TSelectObject selected_;
};

// Colours a monochrome source takes on when blitted into Dc: bit 0 becomes Zero, bit 1 One.
class TMonoColors {
public:
    TMonoColors(HDC dc, COLORREF zero, COLORREF one)
        : dc_(dc), oldText_(SetTextColor(dc, zero)), oldBk_(SetBkColor(dc, one)) {}
    ~TMonoColors() {
        SetTextColor(dc_, oldText_);
        SetBkColor(dc_, oldBk_);
    }
    TMonoColors(const TMonoColors&) = delete;
    TMonoColors& operator=(const TMonoColors&) = delete;

private:
    HDC dc_;
    COLORREF oldText_;
    COLORREF oldBk_;
};

// The stretch mode of a device context, COLORONCOLOR for the life of the object: pixels are
// copied, never blended, so that the transparent colour stays exact.
class TStretchMode {
public:
    explicit TStretchMode(HDC dc) : dc_(dc), old_(SetStretchBltMode(dc, COLORONCOLOR)) {}
    ~TStretchMode() { SetStretchBltMode(dc_, old_); }
    TStretchMode(const TStretchMode&) = delete;
    TStretchMode& operator=(const TStretchMode&) = delete;

private:
    HDC dc_;
    int old_;
};

// The raster operation "where the source is white take the pattern, else keep the
// destination": ((D xor P) and S) xor D.
constexpr DWORD DSPDxax = 0x00E20746;

}  // namespace

void ApplySelectedOverlay(TBitmap& bitmap) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const uint32_t pixel = (uint32_t(GetRValue(highlight)) << 16) | (uint32_t(GetGValue(highlight)) << 8) |
                           GetBValue(highlight);
    for (int y = 0; y < bitmap.Height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(bitmap.ScanLine(y));
        for (int x = (y + 1) % 2; x < bitmap.Width(); x += 2) row[x] = pixel;
    }
}

void DrawTransparentBitmap(HDC dest, const RECT& destRect, TBitmap& source, const RECT& sourceRect,
                           TColor transparentColor, TBitmapDrawFlags flags, HBRUSH brush) {
    if (source.Empty()) return;
    const int sourceW = sourceRect.right - sourceRect.left, sourceH = sourceRect.bottom - sourceRect.top;
    const bool stretch = flags.Has(bdStretch);
    const int workW = stretch ? destRect.right - destRect.left : sourceW;
    const int workH = stretch ? destRect.bottom - destRect.top : sourceH;
    if (workW <= 0 || workH <= 0 || sourceW <= 0 || sourceH <= 0) return;
    const bool masked = flags.Has(bdMasked);
    const bool brushCopy = !masked && flags.Has(bdBrushCopy) && brush;
    const bool selected = flags.Has(bdSelected);
    HPALETTE palette = flags.Has(bdPalette) ? source.Palette() : nullptr;
    HDC sourceDc = source.Canvas().Handle();
    TSelectPalette destPalette(dest, palette);
    TStretchMode destMode(dest);

    if (!masked && !brushCopy && !selected) {
        StretchBlt(dest, destRect.left, destRect.top, workW, workH, sourceDc, sourceRect.left, sourceRect.top, sourceW,
                   sourceH, SRCCOPY);
        return;
    }
    // The work copy: the picture at the size it is drawn.
    TBitmap work(workW, workH, pf32bit);
    HDC workDc = work.Canvas().Handle();
    {
        TSelectPalette workPalette(workDc, palette);
        TStretchMode workMode(workDc);
        StretchBlt(workDc, 0, 0, workW, workH, sourceDc, sourceRect.left, sourceRect.top, sourceW, sourceH, SRCCOPY);
    }
    if (!masked && !brushCopy) {
        ApplySelectedOverlay(work);
        BitBlt(dest, destRect.left, destRect.top, workW, workH, workDc, 0, 0, SRCCOPY);
        return;
    }
    // The mask (white where the work copy has the transparent colour) is taken before the
    // overlay, so that the overlay does not make pixels transparent.
    TMaskDc mask(transparentColor == clNone ? CreateBitmap(workW, workH, 1, 1, nullptr)
                                            : work.CreateMask(transparentColor));
    if (transparentColor == clNone) PatBlt(mask.Handle(), 0, 0, workW, workH, BLACKNESS);
    if (selected) ApplySelectedOverlay(work);
    if (masked) {
        {
            // Transparent pixels of the work copy become black ...
            TMonoColors colors(workDc, RGB(255, 255, 255), RGB(0, 0, 0));
            BitBlt(workDc, 0, 0, workW, workH, mask.Handle(), 0, 0, SRCAND);
        }
        // ... the destination is kept only there, and the work copy is laid over it.
        TMonoColors colors(dest, RGB(0, 0, 0), RGB(255, 255, 255));
        BitBlt(dest, destRect.left, destRect.top, workW, workH, mask.Handle(), 0, 0, SRCAND);
        BitBlt(dest, destRect.left, destRect.top, workW, workH, workDc, 0, 0, SRCPAINT);
    } else {
        BitBlt(dest, destRect.left, destRect.top, workW, workH, workDc, 0, 0, SRCCOPY);
        TMonoColors colors(dest, RGB(0, 0, 0), RGB(255, 255, 255));
        TSelectObject selected(dest, brush);
        BitBlt(dest, destRect.left, destRect.top, workW, workH, mask.Handle(), 0, 0, DSPDxax);
    }
}
