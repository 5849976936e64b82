// Measurements of fonts on the screen, by which edit controls size themselves.
#pragma once

#include <windows.h>

// The line heights (tmHeight) on the screen of the system font and of a font.
struct TFontHeights {
    int System = 0;
    int Font = 0;
};

TFontHeights ScreenFontHeights(HFONT font);
