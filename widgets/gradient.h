// The colour bands of a gradient caption: from black at the left towards the caption colour,
// with fewer bands on displays with few colours.
#pragma once

#include <cstdint>
#include <vector>

// One band: filled at X with width Width over the full caption height.
struct TGradientBand {
    int X;
    int Width;
    uint32_t Color;  // 0x00BBGGRR
};

// The band exponent for a device's colour count (GetDeviceCaps NUMCOLORS): 4 for 1-16
// colours, 5 for 17-256, 7 otherwise (true colour reports -1).
int GradientExponent(int deviceColors);

// The 2^Exponent bands over a caption of Width pixels starting at Left, for the resolved
// background colour Color. Band I starts at Left + I * (Width / n - 0.5) rounded, is
// Width / n (rounded) wide and has each colour byte scaled by I / n. A width below 0 gives no
// bands; the exponent must lie in 1..8.
std::vector<TGradientBand> GradientBands(int left, int width, uint32_t color, int exponent);
