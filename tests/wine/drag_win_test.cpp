// Dragging controls with the real mouse: a drop on an accepting control, a refusing target, a
// windowless target, Escape, and a click that never became a drag.
#include <gtest/gtest.h>

#include "tests/wine/winui_testing_win.h"
#include "winui/drag_win.h"
#include "winui/form_win.h"

namespace {

class DragTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = new TForm(Application);
        form_->SetBounds(100, 100, 400, 200);
        source_ = Panel(10, clRed);
        accepting_ = Panel(130, clLime);
        refusing_ = Panel(250, clGray);
        box_ = new TTestBox(form_, clBlue);
        box_->SetBounds(10, 100, 40, 40);
        box_->SetParent(form_);
        source_->SetDragMode(dmAutomatic);
        accepting_->OnDragOver = [this](TControl&, TDragObject& source, int, int, TDragState state, bool& accept) {
            states_.push_back(state);
            accept = source.Control() == source_;
        };
        accepting_->OnDragDrop = [this](TControl& sender, TDragObject& source, int x, int y) {
            drops_.push_back(sender.Name() + " " + std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(source.Control(), source_);
        };
        refusing_->OnDragOver = [](TControl&, TDragObject&, int, int, TDragState, bool& accept) { accept = false; };
        refusing_->OnDragDrop = [this](TControl&, TDragObject&, int, int) { drops_.push_back("refusing"); };
        box_->OnDragOver = [](TControl&, TDragObject&, int, int, TDragState, bool& accept) { accept = true; };
        box_->OnDragDrop = [this](TControl&, TDragObject&, int x, int y) {
            drops_.push_back("box " + std::to_string(x) + "," + std::to_string(y));
        };
        source_->OnStartDrag = [this](TControl&, TDragObject*&) { ++starts_; };
        source_->OnEndDrag = [this](TControl&, TControl* target, int, int) { ends_.push_back(target); };
        form_->Show();
        WaitFor([this] { return GetForegroundWindow() == form_->Handle(); });
    }
    void TearDown() override {
        if (DragActive()) CancelDrag();
        delete form_;
    }
    TTestPanel* Panel(int left, TColor color) {
        auto* p = new TTestPanel(form_, color);
        p->SetBounds(left, 10, 100, 80);
        p->SetName("P" + std::to_string(left));
        p->SetParent(form_);
        return p;
    }
    // Presses on the source and moves in steps to Target (client point of the form).
    void DragTo(POINT target, bool release = true) {
        MouseTo(ScreenPoint(*source_, 50, 40));
        WaitForInputHandled();
        MouseButton(true);
        WaitForInputHandled();
        POINT from = ScreenPoint(*source_, 50, 40), to = form_->ClientToScreen(target);
        for (int i = 1; i <= 8; ++i) {
            MouseTo(POINT{from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8});
            WaitForInputHandled();
        }
        if (release) {
            MouseButton(false);
            WaitFor([] { return !DragActive(); });
        }
    }

    TForm* form_ = nullptr;
    TTestPanel* source_ = nullptr;
    TTestPanel* accepting_ = nullptr;
    TTestPanel* refusing_ = nullptr;
    TTestBox* box_ = nullptr;
    std::vector<TDragState> states_;
    std::vector<std::string> drops_;
    std::vector<TControl*> ends_;
    int starts_ = 0;
};

}  // namespace

TEST_F(DragTest, DropsOnAControlThatAccepts) {
    DragTo(POINT{170, 50});
    EXPECT_EQ(starts_, 1);
    EXPECT_EQ(drops_, (std::vector<std::string>{"P130 40,40"}));
    ASSERT_FALSE(states_.empty());
    EXPECT_EQ(states_.front(), dsDragEnter);
    EXPECT_EQ(ends_, (std::vector<TControl*>{accepting_}));
    EXPECT_FALSE(DragActive());
    EXPECT_EQ(CurrentDragObject(), nullptr);
}

TEST_F(DragTest, ARefusingTargetGetsNoDrop) {
    DragTo(POINT{300, 50});
    EXPECT_EQ(drops_, std::vector<std::string>{});
    EXPECT_EQ(ends_, (std::vector<TControl*>{nullptr}));
}

TEST_F(DragTest, LeavingATargetTellsIt) {
    DragTo(POINT{170, 50}, false);
    ASSERT_TRUE(source_->Dragging());
    MouseTo(form_->ClientToScreen(POINT{300, 50}));
    WaitForInputHandled();
    ASSERT_FALSE(states_.empty());
    EXPECT_EQ(states_.back(), dsDragLeave);
    MouseButton(false);
    WaitFor([] { return !DragActive(); });
    EXPECT_TRUE(drops_.empty());
}

TEST_F(DragTest, WindowlessControlsAreTargetsToo) {
    DragTo(POINT{30, 120});
    EXPECT_EQ(drops_, (std::vector<std::string>{"box 20,20"}));
    EXPECT_EQ(ends_, (std::vector<TControl*>{box_}));
}

TEST_F(DragTest, EscapeCancels) {
    DragTo(POINT{170, 50}, false);
    ASSERT_TRUE(DragActive());
    ASSERT_NE(CurrentDragObject(), nullptr);
    PressKey(VK_ESCAPE);
    WaitFor([] { return !DragActive(); });
    EXPECT_FALSE(DragActive());
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_TRUE(drops_.empty());
    EXPECT_EQ(ends_, (std::vector<TControl*>{nullptr}));
}

TEST_F(DragTest, AClickWithoutMovingIsNoDrag) {
    int ups = 0;
    source_->OnMouseUp = [&](TControl&, TMouseButton, TShiftState, int, int) { ++ups; };
    MouseTo(ScreenPoint(*source_, 50, 40));
    WaitForInputHandled();
    MouseButton(true);
    WaitForInputHandled();
    EXPECT_TRUE(DragActive());
    MouseButton(false);
    WaitFor([&] { return ups > 0; });
    EXPECT_FALSE(DragActive());
    EXPECT_EQ(starts_, 0);
    EXPECT_EQ(ups, 1);  // the source still sees its button-up
}

TEST_F(DragTest, EndDragFromCodeDropsOnTheCurrentTarget) {
    source_->SetDragMode(dmManual);
    MouseTo(form_->ClientToScreen(POINT{170, 50}));
    WaitForInputHandled();
    source_->BeginDrag(true);
    EXPECT_TRUE(source_->Dragging());
    MouseTo(form_->ClientToScreen(POINT{171, 51}));
    WaitForInputHandled();
    source_->EndDrag(true);
    EXPECT_EQ(drops_.size(), 1u);
    EXPECT_FALSE(source_->Dragging());
}
