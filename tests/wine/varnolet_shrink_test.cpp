// Shrinking the main window to its caption bar while another window is active, with real
// activation changes: the edge that stays depends on the half of the screen the window is in,
// activation grows it back, and nothing moves with the option off.
#include <gtest/gtest.h>

#include "tests/wine/varnolet_testing_win.h"

namespace {

class VarnoletShrinkTest : public VarnoletWindowTest {
protected:
    void TearDown() override {
        delete other;
        other = nullptr;
        VarnoletWindowTest::TearDown();
    }
    RECT Bounds() {
        RECT r;
        GetWindowRect(window->Handle(), &r);
        return r;
    }
    // Another window of the program takes the activation.
    void ActivateOther() {
        if (!other) {
            other = NewForm<TForm>(Application);
            other->SetBounds(GetSystemMetrics(SM_CXSCREEN) - 260, 20, 200, 100);
        }
        other->Show();
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == other->Handle(); }));
    }
    // A real click on the main window's caption activates it again.
    void ClickCaption() {
        const RECT r = Bounds();
        MouseTo(POINT{(r.left + r.right) / 2, r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2});
        MouseButton(true);
        MouseButton(false);
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == window->Handle(); }));
    }

    TForm* other = nullptr;
};

TEST_F(VarnoletShrinkTest, InTheUpperHalfTheWindowShrinksTowardsItsTop) {
    Start();
    window->PItemMini->SetChecked(true);
    SetWindowPos(window->Handle(), nullptr, 60, 40, 230, 330, SWP_NOZORDER);
    WaitForInputHandled();
    ActivateOther();
    ASSERT_TRUE(WaitFor([&] { return window->Shrunk(); }));
    WaitForInputHandled();
    RECT r = Bounds();
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(window->ClientHeight(), 0);
    EXPECT_LT(r.bottom - r.top, 60);
    EXPECT_EQ(window->RememberedRect(), (TWindowBox{60, 40, 290, 370}));
    Shot(window->Handle(), "varnolet_shrunk_upper");
    ClickCaption();
    ASSERT_TRUE(WaitFor([&] { return !window->Shrunk(); }));
    WaitForInputHandled();
    r = Bounds();
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.bottom, 370);
    EXPECT_GT(window->ClientHeight(), 0);
}

TEST_F(VarnoletShrinkTest, InTheLowerHalfTheWindowKeepsItsBottomEdge) {
    Start();
    window->PItemMini->SetChecked(true);
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    const int top = screen / 2 + 20;
    SetWindowPos(window->Handle(), nullptr, 60, top, 230, screen - top - 30, SWP_NOZORDER);
    WaitForInputHandled();
    const RECT full = Bounds();
    ActivateOther();
    ASSERT_TRUE(WaitFor([&] { return window->Shrunk(); }));
    WaitForInputHandled();
    RECT r = Bounds();
    EXPECT_EQ(r.bottom, full.bottom);
    EXPECT_GT(r.top, full.top);
    EXPECT_EQ(window->ClientHeight(), 0);
    ClickCaption();
    ASSERT_TRUE(WaitFor([&] { return !window->Shrunk(); }));
    WaitForInputHandled();
    r = Bounds();
    EXPECT_EQ(r.top, full.top);
    EXPECT_EQ(r.bottom, full.bottom);
}

TEST_F(VarnoletShrinkTest, MovingTheShrunkWindowMovesWhereItGrowsBack) {
    Start();
    window->PItemMini->SetChecked(true);
    SetWindowPos(window->Handle(), nullptr, 60, 40, 230, 300, SWP_NOZORDER);
    WaitForInputHandled();
    ActivateOther();
    ASSERT_TRUE(WaitFor([&] { return window->Shrunk(); }));
    SetWindowPos(window->Handle(), nullptr, 90, 70, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    WaitForInputHandled();
    EXPECT_EQ(window->RememberedRect(), (TWindowBox{90, 70, 320, 370}));
    // Growing back can also be forced while another window is active.
    window->Perform(UM_WINDOWMODE, 1, 0);
    EXPECT_FALSE(window->Shrunk());
    const RECT r = Bounds();
    EXPECT_EQ(r.top, 70);
    EXPECT_EQ(r.bottom - r.top, 300);
}

TEST_F(VarnoletShrinkTest, NothingShrinksWithTheOptionOff) {
    Start();
    EXPECT_FALSE(window->PItemMini->Checked());
    const RECT before = Bounds();
    ActivateOther();
    WaitForInputHandled();
    window->Perform(UM_WINDOWMODE, 0, 0);
    EXPECT_FALSE(window->Shrunk());
    const RECT after = Bounds();
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(VarnoletShrinkTest, TheWindowIsNeverNarrowerThanEightButtons) {
    Start();
    SetWindowPos(window->Handle(), nullptr, 60, 40, 50, 300, SWP_NOZORDER);
    WaitForInputHandled();
    // The system asks the window for its smallest tracking size when the user sizes it; the
    // answer is read directly.
    MINMAXINFO info{};
    window->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 8 * 23 + 6);
    // The panel takes the whole client width.
    SetWindowPos(window->Handle(), nullptr, 60, 40, 300, 300, SWP_NOZORDER);
    WaitForInputHandled();
    EXPECT_EQ(window->P->Width(), window->ClientWidth());
}

}  // namespace
