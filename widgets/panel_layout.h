// The window-free rules of the bitmap panels: their option bits (tiled and stretched exclude
// each other; DefaultOptions takes the process-wide default bits) and the geometry of the
// bitmap: where tiling starts so that the pattern is centred or continues across the form, and
// where a bitmap of its own size is placed.
#pragma once

#include <cstdint>

enum TPanelOption : unsigned {
    pnTiled = 0,
    pnStretch = 1,
    pnAlignBitmapWidth = 2,
    pnAlignBitmapHeight = 3,
    pnBitmapTransparent = 4,
    pnTransparent = 5,
    pnAlignBitmapToForm = 6,
    pnDefaultOptions = 12,
    pnBuffered = 13,
    pnHandleFocus = 14,
    pnAsPopup = 16,
};

constexpr uint32_t PanelBit(unsigned bit) { return uint32_t(1) << bit; }
// Bits 0-7: the drawing options that the defaults replace and whose change repaints.
constexpr uint32_t PanelDrawMask = 0xFF;

// The process-wide default drawing bits that DefaultOptions applies (initially none).
uint32_t PanelDefaultOptions();
void SetPanelDefaultOptions(uint32_t bits);

// The option bits of one panel.
class TPanelOptions {
public:
    // DefaultOptions set, with the default drawing bits applied.
    TPanelOptions();
    uint32_t Bits() const { return bits_; }
    // Raises Exception (ValueOutOfRange) for a bit above 31.
    bool Get(unsigned bit) const;
    // Stores the bit; Tiled clears Stretch and Stretch clears Tiled; DefaultOptions set
    // replaces bits 0-7 with the defaults. True when any bit changed.
    bool Set(unsigned bit, bool value);

private:
    uint32_t bits_ = 0;
};

// The first tile position along one axis, at or before 0, so that tiles of TileLength laid from
// it cover 0..AreaLength. FormOffset is the panel's distance from the form's client origin
// (used with AlignToForm, so that neighbouring panels continue one pattern); with Centre the
// tiling moves back by half of (tile length - area length mod tile length). A tile length
// below 1 gives 0.
int TileStart(int areaLength, int tileLength, bool alignToForm, int formOffset, bool centre);

// The position of a picture of its own size along one axis: centred with Centre, else 0.
int PlaceBitmap(int areaLength, int bitmapLength, bool centre);
