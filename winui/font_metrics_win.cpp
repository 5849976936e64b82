#include "winui/font_metrics_win.h"

#include "winui/gdi_scope_win.h"

TFontHeights ScreenFontHeights(HFONT font) {
    TWindowDC dc;
    TEXTMETRICW system{};
    GetTextMetricsW(dc, &system);
    TSelectObject selected(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return TFontHeights{system.tmHeight, metrics.tmHeight};
}
