// The window messages a control's window procedure hands to its handlers, driven on real
// windows: context menus of windowless children and of the keyboard, dialog keys that parents
// see first, the cursor of the control under the mouse, a press that loses the mouse capture,
// and bounds taken from a window that moved itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/wine/winui_testing_win.h"
#include "winui/application_win.h"
#include "winui/control_win.h"
#include "winui/form_win.h"

namespace {

// A panel that records the dialog keys its children offer it and takes the ones in Takes.
class TKeyParentPanel : public TTestPanel {
public:
    using TTestPanel::TTestPanel;
    std::vector<WPARAM> Offered;
    std::vector<WPARAM> Takes;

    void WndProc(TMessage& msg) override {
        if (msg.Msg == CM_CHILDKEY) {
            Offered.push_back(msg.WParam);
            msg.Result = std::find(Takes.begin(), Takes.end(), msg.WParam) != Takes.end() ? 1 : 0;
            return;
        }
        TTestPanel::WndProc(msg);
    }
};

// A panel that claims Enter for itself (CM_WANTSPECIALKEY).
class TEnterPanel : public TTestPanel {
public:
    using TTestPanel::TTestPanel;
    void WndProc(TMessage& msg) override {
        if (msg.Msg == CM_WANTSPECIALKEY && msg.WParam == VK_RETURN) {
            msg.Result = 1;
            return;
        }
        TTestPanel::WndProc(msg);
    }
};

class ControlDispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = new TForm(Application);
        form_->SetBounds(120, 120, 360, 240);
        form_->Show();
        WaitFor([this] { return GetForegroundWindow() == form_->Handle(); });
    }
    void TearDown() override { delete form_; }

    // A windowless box on the form at (Left, Top), 40 x 40.
    TTestBox* Box(int left, int top) {
        auto* box = new TTestBox(form_);
        box->SetBounds(left, top, 40, 40);
        box->SetParent(form_);
        return box;
    }

    TForm* form_ = nullptr;
};

}  // namespace

TEST_F(ControlDispatchTest, ContextMenusGoToTheWindowlessChildUnderTheMouseThenToTheWindow) {
    TTestBox* taking = Box(10, 10);
    TTestBox* passing = Box(80, 10);
    std::vector<std::string> asked;
    auto record = [&](const std::string& who, bool handles) {
        return [&asked, who, handles](TControl&, POINT p, bool& handled) {
            asked.push_back(who + " " + std::to_string(p.x) + "," + std::to_string(p.y));
            handled = handles;
        };
    };
    taking->OnContextPopup = record("taking", true);
    passing->OnContextPopup = record("passing", false);
    form_->OnContextPopup = record("form", true);
    struct Row {
        const char* name;
        POINT client;  // form client point; (-1, -1): from the keyboard
        std::vector<std::string> asked;
    } rows[] = {
        {"on the child that takes it", {15, 20}, {"taking 5,10"}},
        {"on a child that leaves it", {90, 30}, {"passing 10,20", "form 90,30"}},
        {"on the window itself", {200, 100}, {"form 200,100"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        asked.clear();
        const POINT screen = form_->ClientToScreen(row.client);
        SendMessageW(form_->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form_->Handle()),
                     MAKELPARAM(screen.x, screen.y));
        EXPECT_EQ(asked, row.asked);
    }
    // The keyboard's menu key belongs to the control itself, wherever the mouse is; the handler
    // gets the point as it came.
    MouseTo(ScreenPoint(*taking, 5, 5));
    WaitForInputHandled();
    asked.clear();
    SendMessageW(form_->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form_->Handle()), MAKELPARAM(-1, -1));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].rfind("form ", 0), 0u) << asked[0];
    // A real right click on the window's own area reaches the form.
    asked.clear();
    MouseTo(form_->ClientToScreen(POINT{250, 150}));
    WaitForInputHandled();
    MouseButton(true, true);
    MouseButton(false, true);
    EXPECT_TRUE(WaitFor([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, (std::vector<std::string>{"form 250,150"}));
}

TEST_F(ControlDispatchTest, DialogKeysAreOfferedToTheParentsBeforeTheFormAndNotToAControlThatWantsThem) {
    auto* outer = new TKeyParentPanel(form_, clSilver);
    outer->SetBounds(10, 10, 200, 150);
    outer->SetParent(form_);
    auto* inner = new TTestPanel(form_, clWhite);
    inner->SetBounds(10, 10, 80, 60);
    inner->SetTabStop(true);
    inner->SetParent(outer);
    auto* wanting = new TEnterPanel(form_, clYellow);
    wanting->SetBounds(100, 10, 80, 60);
    wanting->SetTabStop(true);
    wanting->SetParent(outer);
    std::vector<std::string> keys;
    inner->OnKeyDown = [&](TControl&, WORD& key, TShiftState) { keys.push_back("inner " + std::to_string(key)); };
    wanting->OnKeyDown = [&](TControl&, WORD& key, TShiftState) { keys.push_back("wanting " + std::to_string(key)); };
    outer->Takes = {VK_RETURN};

    inner->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return inner->Focused(); }));
    // Enter: the parent takes it; the control never sees it.
    PressKey(VK_RETURN);
    WaitFor([&] { return !outer->Offered.empty(); });
    EXPECT_EQ(outer->Offered, (std::vector<WPARAM>{VK_RETURN}));
    // Escape: offered, not taken, not a key of the form either: it reaches the control.
    PressKey(VK_ESCAPE);
    WaitFor([&] { return !keys.empty(); });
    EXPECT_EQ(outer->Offered, (std::vector<WPARAM>{VK_RETURN, VK_ESCAPE}));
    EXPECT_EQ(keys, (std::vector<std::string>{"inner " + std::to_string(VK_ESCAPE)}));

    // A control that wants Enter gets it; nobody is offered it.
    wanting->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return wanting->Focused(); }));
    outer->Offered.clear();
    keys.clear();
    PressKey(VK_RETURN);
    WaitFor([&] { return !keys.empty(); });
    EXPECT_TRUE(outer->Offered.empty());
    EXPECT_EQ(keys, (std::vector<std::string>{"wanting " + std::to_string(VK_RETURN)}));
}

TEST_F(ControlDispatchTest, TheCursorIsTheOneOfTheControlUnderTheMouse) {
    TTestBox* box = Box(20, 20);
    box->SetCursor(crHandPoint);
    form_->SetCursor(crCross);
    struct Row {
        const char* name;
        POINT client;
        TCursor expected;
    } rows[] = {
        {"over the windowless child", {30, 30}, crHandPoint},
        {"over the window", {200, 150}, crCross},
        {"back over the child", {50, 50}, crHandPoint},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MouseTo(form_->ClientToScreen(row.client));
        const HCURSOR expected = Screen->Cursors(row.expected);
        EXPECT_TRUE(WaitFor([&] { return GetCursor() == expected; }));
    }
    // The screen cursor wins over every control's own.
    Screen->SetCursor(crHourGlass);
    MouseTo(form_->ClientToScreen(POINT{35, 35}));
    EXPECT_TRUE(WaitFor([] { return GetCursor() == Screen->Cursors(crHourGlass); }));
    Screen->SetCursor(crDefault);
}

TEST_F(ControlDispatchTest, APressThatLosesTheMouseCaptureIsNoClick) {
    TTestBox* box = Box(20, 20);
    int clicks = 0;
    box->OnClick = [&](TControl&) { ++clicks; };
    const POINT on = ScreenPoint(*box, 10, 10);
    MouseTo(on);
    WaitForInputHandled();
    // An ordinary press and release clicks.
    MouseButton(true);
    MouseButton(false);
    EXPECT_TRUE(WaitFor([&] { return clicks == 1; }));
    // Pressed, then the capture goes elsewhere (a system menu, another window): the release is
    // no click.
    MouseButton(true);
    EXPECT_TRUE(WaitFor([&] { return box->ControlState().Has(csLButtonDown); }));
    EXPECT_EQ(GetCapture(), form_->Handle());
    ReleaseCapture();
    EXPECT_FALSE(box->ControlState().Has(csLButtonDown));
    EXPECT_EQ(GetCaptureControl(), nullptr);
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_EQ(clicks, 1);
}

TEST_F(ControlDispatchTest, AWindowMovedOrSizedFromOutsideTellsItsControl) {
    auto* panel = new TTestPanel(form_, clTeal);
    panel->SetBounds(10, 10, 100, 80);
    panel->SetParent(form_);
    auto* filler = new TTestBox(form_);
    filler->SetAlign(alClient);
    filler->SetParent(panel);
    int resizes = 0;
    panel->OnResize = [&](TControl&) { ++resizes; };
    // Moved only: new place, no resize.
    SetWindowPos(panel->Handle(), nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(panel->Left(), 30);
    EXPECT_EQ(panel->Top(), 40);
    EXPECT_EQ(resizes, 0);
    // Sized: new size, one resize, the aligned child follows.
    SetWindowPos(panel->Handle(), nullptr, 0, 0, 150, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(panel->Width(), 150);
    EXPECT_EQ(panel->Height(), 90);
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(filler->Width(), panel->ClientWidth());
    EXPECT_EQ(filler->Height(), panel->ClientHeight());
    // Nothing changed: nothing told.
    SetWindowPos(panel->Handle(), nullptr, 30, 40, 150, 90, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(resizes, 1);
}
