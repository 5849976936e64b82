// The transparent bitmap routine of the picture lists: draws a bitmap straight, masked (the
// pixels of its transparent colour left out, so the background shows), or with those pixels
// painted in a brush; stretched or at its own size; with a checkerboard of the highlight colour
// over it (the selected look); with the bitmap's palette selected.
#pragma once

#include <windows.h>

#include "base/small_set.h"
#include "winui/canvas_win.h"
#include "winui/gdi_scope_win.h"
#include "winui/graphics_win.h"

enum TBitmapDrawFlag { bdSelected, bdPalette, bdMasked, bdBrushCopy, bdStretch };
using TBitmapDrawFlags = TSmallSet<TBitmapDrawFlag>;

// Draws SourceRect of Source into Dest with its top-left corner at DestRect's, at DestRect's size
// with bdStretch, else at SourceRect's size. With bdMasked (which wins) or bdBrushCopy, pixels of
// TransparentColor are left out or filled with Brush. Dest's modes, colours and palette are as
// before afterwards. Raises EInvalidGraphic (65352) when the work bitmaps cannot be made.
void DrawTransparentBitmap(HDC dest, const RECT& destRect, TBitmap& source, const RECT& sourceRect,
                           TColor transparentColor, TBitmapDrawFlags flags, HBRUSH brush);

// Replaces every other pixel of Bitmap, in a checkerboard whose corner pixel (0, 0) stays, by the
// system highlight colour. Bitmap must be a 32-bit bitmap.
void ApplySelectedOverlay(TBitmap& bitmap);
