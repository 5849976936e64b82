// Helpers of the Wine tests of the program's own controls: small tool glyphs drawn on 16 x 16
// bitmaps with a magenta mask colour, a counter of UM_OPTIONCHANGED announcements, and real
// mouse and key input at controls, and the form text a component writes.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/component_writer.h"
#include "base/stream.h"
#include "base/text_form.h"
#include "tests/wine/screenshot_win.h"
#include "tests/wine/winui_testing_win.h"
#include "winui/graphics_win.h"

enum TTestGlyph { tgNew, tgOpen, tgSave, tgCopy, tgBold, tgUp, tgDown, tgPrint };

inline void GlyphPolygon(TCanvas& c, TColor fill, TColor line, const std::vector<POINT>& points) {
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(fill);
    c.Pen().SetColor(line);
    c.Pen().SetWidth(1);
    c.Polygon(points);
}

inline void GlyphBox(TCanvas& c, TColor fill, TColor line, int l, int t, int r, int b) {
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(fill);
    c.Pen().SetColor(line);
    c.Pen().SetWidth(1);
    c.Rectangle(l, t, r, b);
}

// A 16 x 16 tool picture on magenta (the mask colour).
inline std::unique_ptr<TBitmap> MakeGlyph(TTestGlyph kind) {
    auto glyph = std::make_unique<TBitmap>(16, 16);
    TCanvas& c = glyph->Canvas();
    c.Brush().SetColor(clFuchsia);
    c.FillRect(RECT{0, 0, 16, 16});
    switch (kind) {
    case tgNew:
        GlyphPolygon(c, clWhite, clBlack, {{3, 1}, {9, 1}, {13, 5}, {13, 14}, {3, 14}});
        c.Pen().SetColor(clBlack);
        c.Polyline({{9, 1}, {9, 5}, {13, 5}});
        break;
    case tgOpen:
        GlyphPolygon(c, 0x00C0E0, 0x004080, {{1, 3}, {5, 3}, {6, 4}, {12, 4}, {12, 13}, {1, 13}});
        GlyphPolygon(c, 0x40E0FF, 0x004080, {{3, 7}, {15, 7}, {12, 13}, {1, 13}});
        break;
    case tgSave:
        GlyphBox(c, 0x800000, clBlack, 1, 1, 15, 15);
        GlyphBox(c, clWhite, 0x800000, 4, 2, 12, 8);
        GlyphBox(c, clSilver, 0x404040, 4, 10, 12, 15);
        GlyphBox(c, 0x800000, 0x800000, 9, 11, 11, 14);
        break;
    case tgCopy:
        GlyphPolygon(c, clWhite, 0x800000, {{1, 1}, {8, 1}, {8, 10}, {1, 10}});
        GlyphPolygon(c, clWhite, 0x800000, {{6, 5}, {14, 5}, {14, 15}, {6, 15}});
        c.Pen().SetColor(0x800000);
        for (int y : {8, 10, 12}) c.Polyline({{8, y}, {13, y}});
        break;
    case tgBold: {
        // Pixel by pixel: text drawn with a font would be smoothed into the mask colour.
        static const char* const letter[9] = {"######.", "##...##", "##...##", "##..##.", "#####..",
                                              "##..##.", "##...##", "##...##", "######."};
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 7; ++x)
                if (letter[y][x] == '#') c.SetPixel(4 + x, 3 + y, clBlack);
        break;
    }
    case tgUp:
        GlyphPolygon(c, clBlack, clBlack, {{4, 10}, {8, 5}, {12, 10}});
        break;
    case tgDown:
        GlyphPolygon(c, clBlack, clBlack, {{4, 6}, {8, 11}, {12, 6}});
        break;
    case tgPrint:
        GlyphBox(c, clWhite, clBlack, 4, 1, 12, 7);
        GlyphBox(c, clSilver, clBlack, 1, 6, 15, 12);
        GlyphBox(c, clWhite, clBlack, 4, 10, 12, 15);
        c.SetPixel(12, 8, clLime);
        break;
    }
    c.DeselectObjects();
    return glyph;
}

// The screenshot NAME of Window (pumps messages first); a run outside the script only notes it.
inline void Shot(HWND window, const std::string& name) {
    std::string error;
    const bool done = TakeScreenshot(window, name, error);
    if (!done) ADD_FAILURE() << error;
}

// Real input: the mouse to a point of Control, a press and release.
inline void MouseAt(TControl& control, int x, int y) {
    MouseTo(ScreenPoint(control, x, y));
    WaitForInputHandled();
}

inline void ClickAt(TControl& control, int x, int y) {
    MouseAt(control, x, y);
    MouseButton(true);
    WaitForInputHandled();
    MouseButton(false);
    WaitForInputHandled();
}

// A key press with modifiers held around it (real input).
inline void ChordKey(const std::vector<WORD>& modifiers, WORD key) {
    for (WORD m : modifiers) KeyInput(m, true);
    KeyInput(key, true);
    KeyInput(key, false);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) KeyInput(*it, false);
    WaitForInputHandled();
}

// A panel that records the option announcements (UM_OPTIONCHANGED) and accelerators
// (UM_BUTTONACCEL) of its children and the keys that reach its own window procedure.
class TListeningPanel : public TTestPanel {
public:
    explicit TListeningPanel(TComponent* owner) : TTestPanel(owner, clBtnFace) {}
    std::vector<WPARAM> Announced;
    std::vector<WPARAM> KeysSeen;
    std::vector<TControl*> Accelerated;
    void WndProc(TMessage& msg) override {
        if (msg.Msg == UM_OPTIONCHANGED && msg.LParam) Announced.push_back(msg.WParam);
        if (msg.Msg == UM_BUTTONACCEL) Accelerated.push_back(reinterpret_cast<TControl*>(msg.LParam));
        if (msg.Msg == WM_KEYDOWN) KeysSeen.push_back(msg.WParam);
        TTestPanel::WndProc(msg);
    }
    // The panel takes the focus like an ordinary control (no caret, no typing).
    bool WantsKey(WORD) override { return false; }
};

// The form file of Component as text: what a form file holds of it.
inline std::string FormText(TComponent& component) {
    TMemoryStream stream;
    TComponentWriter writer(stream);
    writer.WriteRootComponent(&component);
    stream.SetPosition(0);
    return ComponentStreamToText(stream);
}
