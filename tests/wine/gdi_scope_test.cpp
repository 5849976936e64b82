// The scoped owners of GDI resources: objects deleted, DCs released or deleted, selections and
// saved states undone when the scope ends (also when it ends by an exception), and the screen
// font heights that edit controls size themselves by.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/wine/winui_testing_win.h"
#include "winui/application_win.h"
#include "winui/font_metrics_win.h"
#include "winui/form_win.h"
#include "winui/gdi_scope_win.h"

namespace {

bool Alive(HGDIOBJ object) { return GetObjectType(object) != 0; }

// A plain top-level window of the framework to paint on.
class GdiScopeTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = new TForm(Application);
        form_->SetBounds(200, 200, 240, 160);
        form_->Show();
        WaitFor([this] { return IsWindowVisible(form_->Handle()) != FALSE; });
    }
    void TearDown() override { delete form_; }
    TForm* form_ = nullptr;
};

}  // namespace

TEST_F(GdiScopeTest, AnObjectIsDeletedAtScopeEndUnlessHandedOn) {
    HBRUSH kept = nullptr;
    HBRUSH deleted = nullptr;
    {
        TGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(1, 2, 3)));
        deleted = brush;
        EXPECT_TRUE(Alive(deleted));
        TGdiObject<HBRUSH> other(CreateSolidBrush(RGB(4, 5, 6)));
        kept = other.Release();
        EXPECT_FALSE(other);
    }
    EXPECT_FALSE(Alive(deleted));
    EXPECT_TRUE(Alive(kept));
    // Taking another object deletes the one held; a move hands it over without deleting.
    TGdiObject<HBRUSH> owner(kept);
    TGdiObject<HBRUSH> moved(std::move(owner));
    EXPECT_TRUE(Alive(kept));
    EXPECT_EQ(moved.Get(), kept);
    moved.Reset(CreateSolidBrush(RGB(7, 8, 9)));
    EXPECT_FALSE(Alive(kept));
}

TEST_F(GdiScopeTest, SelectionsAndSavedStatesComeBackEvenWhenTheScopeThrows) {
    TWindowDC dc(form_->Handle());
    ASSERT_TRUE(dc.Get());
    const HGDIOBJ brushBefore = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ paletteBefore = GetCurrentObject(dc, OBJ_PAL);
    TGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(200, 10, 10)));
    LOGPALETTE entries{0x300, 1, {{10, 20, 30, 0}}};
    TGdiObject<HPALETTE> palette(CreatePalette(&entries));
    POINT origin{};
    try {
        TSelectObject selected(dc, brush);
        TSelectPalette selectedPalette(dc, palette);
        TSavedDC saved(dc);
        SetViewportOrgEx(dc, 17, 23, nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush.Get());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), palette.Get());
        throw std::runtime_error("half-way");
    } catch (const std::runtime_error&) {
    }
    GetViewportOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brushBefore);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), paletteBefore);
    // A null object or palette selects nothing and restores nothing.
    {
        TSelectObject none(dc, nullptr);
        TSelectPalette noPalette(dc, nullptr);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brushBefore);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), paletteBefore);
}

TEST_F(GdiScopeTest, DCsGoBackAtScopeEnd) {
    HDC memory = nullptr;
    {
        TMemoryDC dc;
        memory = dc;
        EXPECT_EQ(GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_FALSE(Alive(memory));
    // A DC kept by an object: deleted when the object takes another or goes.
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    {
        TOwnedDC owned(first);
        owned.Reset(second);
        EXPECT_FALSE(Alive(first));
        EXPECT_TRUE(Alive(second));
    }
    EXPECT_FALSE(Alive(second));
    // The whole window's DC starts at the window's corner, the client DC inside the frame.
    TWindowDC whole = TWindowDC::WholeWindow(form_->Handle());
    TWindowDC client(form_->Handle());
    POINT wholeOrigin{}, clientOrigin{};
    GetDCOrgEx(whole, &wholeOrigin);
    GetDCOrgEx(client, &clientOrigin);
    RECT window;
    GetWindowRect(form_->Handle(), &window);
    EXPECT_EQ(wholeOrigin.x, window.left);
    EXPECT_EQ(wholeOrigin.y, window.top);
    EXPECT_EQ(clientOrigin.x, form_->ClientOrigin().x);
    EXPECT_EQ(clientOrigin.y, form_->ClientOrigin().y);
}

TEST_F(GdiScopeTest, APaintThatFailsHalfWayStillValidatesTheWindow) {
    const HWND window = form_->Handle();
    WaitForInputHandled();
    InvalidateRect(window, nullptr, TRUE);
    ASSERT_TRUE(GetUpdateRect(window, nullptr, FALSE));
    try {
        TPaintDC dc(window);
        EXPECT_TRUE(dc.Get());
        EXPECT_GT(dc.Paint().rcPaint.right, dc.Paint().rcPaint.left);
        throw std::runtime_error("paint failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
}

TEST_F(GdiScopeTest, TheScreenFontHeightsAreThoseOfTheSystemFontAndTheFont) {
    TFont big;
    big.SetSize(24);
    TFont small;
    small.SetSize(6);
    const TFontHeights bigHeights = ScreenFontHeights(big.Handle());
    const TFontHeights smallHeights = ScreenFontHeights(small.Handle());
    TEXTMETRICW system{};
    {
        TWindowDC screen;
        GetTextMetricsW(screen, &system);
    }
    EXPECT_EQ(bigHeights.System, system.tmHeight);
    EXPECT_EQ(smallHeights.System, system.tmHeight);
    EXPECT_GT(bigHeights.Font, smallHeights.Font);
    EXPECT_GE(bigHeights.Font, 24 * TFont::PixelsPerInch() / 72);
}
