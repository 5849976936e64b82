// The drawing routine that the speed buttons share (and the auxiliary arrow part of drop-down
// buttons): frame by state and style (raised, sunken, flat and hot, latched with the dithered
// face), the glyph (greyed while not hot, embossed when disabled, or the glyph bitmap's own
// images) and the caption, placed by layout, margin and spacing.
#pragma once

#include <windows.h>

#include <string>

#include "widgets/speed_button_win.h"

// Flags of the routine, built from the button's options.
enum : unsigned {
    bdFlat = 1,         // frame only while hot, pressed or latched
    bdGraying = 2,      // greyed glyph while not hot
    bdTransparent = 4,  // no background fill
    bdFocused = 8,      // focus mark
    bdNoFrame = 16,     // no frame at all
    bdNoCaption = 32,   // no caption
};

struct TButtonPaint {
    RECT Rect{};
    TButtonState State = bsUp;
    unsigned Flags = 0;
    bool Hot = false;
    TButtonStyle Style = bsAutoDetect;
    TButtonLayout Layout = blGlyphLeft;
    int Margin = -1;
    int Spacing = 4;
    TColor Color = clBtnFace;
    TBitmap* Glyph = nullptr;  // null or empty: none
    int NumGlyphs = 1;
    TColor MaskColor = clNone; // the glyph's transparent colour
    std::string Caption;
};

// Draws the button into Paint.Rect with the canvas's font for the caption.
void DrawButtonFace(TCanvas& canvas, const TButtonPaint& paint);

// The transparent colour of a glyph with mask colour Mask (-1: its bottom-left pixel).
TColor GlyphMaskColor(TBitmap& glyph, TColor mask);

// Fills Rect with the dithered pattern of latched buttons (button face and highlight).
void FillDithered(HDC dc, const RECT& rect);
