// The docking toolbars driven with the real mouse: rows in a dock, dragging by the gripper into
// another dock (a vertical one too), floating in a tool window and back (by dragging the
// caption and by a double click), closing the floating window, and positions saved and loaded
// through the configuration; with screenshots of docked and floating toolbars.
#include <gtest/gtest.h>

#include "base/string_ids.h"
#include "config/configuration.h"
#include "tests/wine/widgets_test_form_win.h"
#include "widgets/toolbar_store.h"

namespace {

class ToolbarTest : public WidgetsTestFormTest {
protected:
    // Presses the gripper of Toolbar and releases the mouse at Screen, moving there in steps.
    void DragGripper(TToolbar& toolbar, POINT screen) {
        MouseAt(toolbar, 4, 10);
        DragTo(screen);
    }
    void DragTo(POINT screen) {
        POINT from;
        GetCursorPos(&from);
        MouseButton(true);
        WaitForInputHandled();
        for (int step = 1; step <= 4; ++step) {
            MouseTo(POINT{from.x + (screen.x - from.x) * step / 4, from.y + (screen.y - from.y) * step / 4});
            WaitForInputHandled();
        }
        MouseButton(false);
        WaitForInputHandled();
    }
    POINT ScreenOf(TControl& control, int x, int y) { return control.ClientToScreen(POINT{x, y}); }

};

TEST_F(ToolbarTest, DocksLayTheirToolbarsOutInRows) {
    EXPECT_EQ(form->StandardToolbar->Dock(), form->DockTop);
    EXPECT_EQ(form->FormatToolbar->Dock(), form->DockTop);
    // One row: the dock is as high as a toolbar; the empty side docks take no room.
    EXPECT_EQ(form->DockTop->Height(), 26);
    EXPECT_EQ(form->StandardToolbar->Height(), 26);
    EXPECT_EQ(form->DockLeft->Width(), 0);
    EXPECT_EQ(form->DockRight->Width(), 0);
    EXPECT_EQ(form->FormatToolbar->Left(), 170);
    EXPECT_EQ(form->FormatToolbar->Top(), 0);
    // Buttons sit in a line after the gripper; separators between groups.
    EXPECT_EQ(form->NewBtn->Left(), 2 + 9);
    EXPECT_EQ(form->OpenBtn->Left(), form->NewBtn->Left() + 23);
    EXPECT_EQ(form->CopyBtn->Left(), form->SaveBtn->Left() + 23 + 8);
    EXPECT_EQ(form->StandardToolbar->Width(), 2 + 9 + 5 * 23 + 8 + 2);
    // A second row makes the dock twice as high.
    form->FormatToolbar->DockTo(form->DockTop, 1, 0, true);
    EXPECT_EQ(form->DockTop->Height(), 52);
    EXPECT_EQ(form->FormatToolbar->Top(), 26);
    EXPECT_EQ(form->FormatToolbar->Left(), 0);
    // Hiding a toolbar gives its row back.
    form->FormatToolbar->Hide();
    EXPECT_EQ(form->DockTop->Height(), 26);
    EXPECT_THROW(form->FormatToolbar->DockTo(nullptr, 0, 0), Exception);
}

TEST_F(ToolbarTest, TheGripperDragsAToolbarIntoAnotherDock) {
    int moves = 0;
    form->FormatToolbar->OnMoved = [&](TControl&) { ++moves; };
    // Into the empty left dock: the toolbar stands upright there.
    DragGripper(*form->FormatToolbar, ScreenOf(*form->P, 6, 120));
    ASSERT_EQ(form->FormatToolbar->Dock(), form->DockLeft);
    EXPECT_EQ(moves, 1);
    EXPECT_GT(form->FormatToolbar->Height(), form->FormatToolbar->Width());
    EXPECT_EQ(form->DockLeft->Width(), 23 + DropDownWidth + 4) << "as wide as the widest button, the drop-down";
    EXPECT_EQ(form->BoldBtn->Top(), 2 + 9);
    EXPECT_EQ(form->LeftBtn->Top(), form->BoldBtn->Top() + 22 + 8);
    // Then below the standard toolbar: a new row of the bottom dock's neighbour, the top dock.
    DragGripper(*form->FormatToolbar, ScreenOf(*form->DockTop, 40, 30));
    ASSERT_EQ(form->FormatToolbar->Dock(), form->DockTop);
    EXPECT_EQ(form->FormatToolbar->DockRow(), 1);
    EXPECT_EQ(form->DockTop->Height(), 52);
    EXPECT_EQ(form->DockLeft->Width(), 0);
    // A small move that does not pass the drag threshold changes nothing.
    const RECT before = form->FormatToolbar->BoundsRect();
    MouseAt(*form->FormatToolbar, 4, 10);
    MouseButton(true);
    WaitForInputHandled();
    MouseAt(*form->FormatToolbar, 5, 11);
    MouseButton(false);
    WaitForInputHandled();
    const RECT after = form->FormatToolbar->BoundsRect();
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(moves, 2);
}

TEST_F(ToolbarTest, EscapeCancelsADrag) {
    TToolbar& toolbar = *form->FormatToolbar;
    const RECT before = toolbar.BoundsRect();
    MouseAt(toolbar, 4, 10);
    MouseButton(true);
    WaitForInputHandled();
    MouseTo(ScreenOf(*form->Content, 100, 100));
    WaitForInputHandled();
    EXPECT_TRUE(toolbar.DragRunning());
    // The drag looks at the Escape key now and then while it is held.
    KeyInput(VK_ESCAPE, true);
    EXPECT_TRUE(WaitFor([&] { return !toolbar.DragRunning(); }));
    KeyInput(VK_ESCAPE, false);
    WaitForInputHandled();
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_EQ(toolbar.Dock(), form->DockTop);
    EXPECT_FALSE(toolbar.Floating());
    const RECT after = toolbar.BoundsRect();
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(ToolbarTest, FloatingAndBack) {
    TToolbar& toolbar = *form->ExtraToolbar;
    DragGripper(toolbar, ScreenOf(*form->Content, 120, 60));
    ASSERT_TRUE(toolbar.Floating());
    TFloatingToolWindow* window = toolbar.FloatingWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
    EXPECT_EQ(toolbar.Parent(), window);
    EXPECT_EQ(window->Caption(), toolbar.Caption());
    EXPECT_EQ(form->DockBottom->Height(), 0) << "the dock it left is empty";
    EXPECT_EQ(GetWindow(window->Handle(), GW_OWNER), form->Handle());
    // The window is big enough for the buttons, which lose the gripper, and for the caption.
    EXPECT_EQ(toolbar.Width(), 2 + 2 * 23 + 8 + 64 + 2);
    EXPECT_EQ(toolbar.Height(), 26);
    EXPECT_GE(window->ClientWidth(), toolbar.Width());
    EXPECT_EQ(window->ClientHeight(), 26);
    EXPECT_EQ(form->UpBtn->Left(), 2);
    Shot(form->Handle(), "toolbar_floating");
    // Its caption drags it back into a dock.
    RECT frame;
    GetWindowRect(window->Handle(), &frame);
    MouseTo(POINT{frame.left + 30, frame.top + GetSystemMetrics(SM_CYSMCAPTION) / 2 + 1});
    WaitForInputHandled();
    DragTo(ScreenOf(*form->DockTop, 330, 10));
    ASSERT_EQ(toolbar.Dock(), form->DockTop);
    EXPECT_FALSE(toolbar.Floating());
    EXPECT_FALSE(IsWindowVisible(window->Handle()));
    EXPECT_EQ(form->DockTop->Height(), 26) << "dropped into the first row";
    // Floated again, a double click on the caption docks it in its last dock.
    toolbar.FloatAt(ScreenOf(*form->Content, 100, 100));
    GetWindowRect(toolbar.FloatingWindow()->Handle(), &frame);
    const POINT caption{frame.left + 30, frame.top + GetSystemMetrics(SM_CYSMCAPTION) / 2 + 1};
    PostMessageW(toolbar.FloatingWindow()->Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y));
    WaitForInputHandled();
    EXPECT_EQ(toolbar.Dock(), form->DockTop);
}

TEST_F(ToolbarTest, ClosingTheFloatingWindowHidesTheToolbar) {
    int changes = 0;
    form->ExtraToolbar->OnVisibleChanged = [&](TControl&) { ++changes; };
    form->ExtraToolbar->FloatAt(ScreenOf(*form->Content, 60, 60));
    TFloatingToolWindow* window = form->ExtraToolbar->FloatingWindow();
    EXPECT_TRUE(GetWindowLongW(window->Handle(), GWL_STYLE) & WS_SYSMENU);
    SendMessageW(window->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    WaitForInputHandled();
    EXPECT_FALSE(form->ExtraToolbar->Visible());
    EXPECT_FALSE(IsWindowVisible(window->Handle()));
    EXPECT_EQ(changes, 1);
    form->ExtraToolbar->Show();
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
    // A toolbar without a close button floats in a window without one.
    form->StandardToolbar->FloatAt(ScreenOf(*form->Content, 60, 120));
    EXPECT_FALSE(GetWindowLongW(form->StandardToolbar->FloatingWindow()->Handle(), GWL_STYLE) & WS_SYSMENU);
}

TEST_F(ToolbarTest, PositionsRoundTripThroughTheConfiguration) {
    form->FormatToolbar->DockTo(form->DockLeft, 0, 12);
    form->ExtraToolbar->FloatAt(POINT{300, 280});
    form->StandardToolbar->DockTo(form->DockTop, 0, 40);
    form->StandardToolbar->Hide();
    SaveToolbarPositions(form, ComponentPositionStore(form));
    const std::string path = "TApplication\\WidgetsTestForm\\";
    EXPECT_EQ(ReadString(path + "FormatToolbar\\DockedTo", ""), "DockLeft");
    EXPECT_EQ(ReadInteger(path + "FormatToolbar\\DockPos", -1), 12);
    EXPECT_EQ(ReadInteger(path + "ExtraToolbar\\Floating", -1), 1);
    EXPECT_EQ(ReadInteger(path + "ExtraToolbar\\FloatLeft", -1), 300);
    EXPECT_EQ(ReadInteger(path + "StandardToolbar\\Visible", -1), 0);
    FreeConfiguration();  // through the file

    // Everything somewhere else, then loaded back.
    form->FormatToolbar->DockTo(form->DockBottom, 0, 0);
    form->ExtraToolbar->DockTo(form->DockRight, 0, 0);
    form->StandardToolbar->Show();
    form->StandardToolbar->DockTo(form->DockBottom, 1, 0, true);
    LoadToolbarPositions(form, ComponentPositionStore(form));
    EXPECT_EQ(form->FormatToolbar->Dock(), form->DockLeft);
    EXPECT_EQ(form->FormatToolbar->Top(), 12);
    ASSERT_TRUE(form->ExtraToolbar->Floating());
    EXPECT_EQ(form->ExtraToolbar->FloatPos().x, 300);
    EXPECT_EQ(form->ExtraToolbar->FloatPos().y, 280);
    EXPECT_EQ(form->ExtraToolbar->LastDock(), form->DockRight);
    EXPECT_EQ(form->StandardToolbar->Dock(), form->DockTop);
    EXPECT_FALSE(form->StandardToolbar->Visible());
    EXPECT_EQ(form->DockBottom->Height(), 0);
}

TEST_F(ToolbarTest, BadStoredPositionsAreReportedAndLeaveTheToolbarInPlace) {
    WriteValue("TApplication\\WidgetsTestForm\\FormatToolbar\\DockedTo", TNodeValue::Of(std::string("Nirgendwo")));
    WriteValue("TApplication\\WidgetsTestForm\\StandardToolbar\\DockRow", TNodeValue::Of(int32_t(-4)));
    WriteValue("TApplication\\WidgetsTestForm\\ExtraToolbar\\DockedTo", TNodeValue::Of(std::string("DockRight")));
    try {
        LoadToolbarPositions(form, ComponentPositionStore(form));
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Id(), sid::ToolbarPositionError);  // the first toolbar with bad values
    }
    EXPECT_EQ(form->FormatToolbar->Dock(), form->DockTop);
    EXPECT_EQ(form->StandardToolbar->Dock(), form->DockTop);
    EXPECT_EQ(form->ExtraToolbar->Dock(), form->DockRight) << "the good one was applied";
}

TEST_F(ToolbarTest, DockedToolbarsScreenshot) {
    form->FormatToolbar->DockTo(form->DockTop, 1, 30, true);
    form->ExtraToolbar->DockTo(form->DockLeft, 0, 0);
    WaitForInputHandled();
    MouseAt(*form->SaveBtn, 10, 10);
    WaitForInputHandled();
    Shot(form->Handle(), "toolbars_docked");
}

}  // namespace
