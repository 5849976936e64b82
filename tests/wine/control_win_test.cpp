// Controls on real windows: alignment after resizing, windowless children fed by their parent,
// a subclassed system control with its notifications reflected back to it, window texts.
#include <gtest/gtest.h>

#include <memory>

#include "tests/wine/winui_testing_win.h"
#include "winui/application_win.h"
#include "winui/control_win.h"
#include "winui/form_win.h"
#include "winui/text_win.h"

namespace {

// A BUTTON window wrapped by the framework: counts the clicks reflected to it.
class TTestButton : public TWinControl {
public:
    explicit TTestButton(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 80, 24); }
    int Clicks = 0;
    int ColorQueries = 0;

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.WinClassName = "BUTTON";
        params.Style |= BS_PUSHBUTTON;
    }
    void WndProc(TMessage& msg) override {
        if (msg.Msg == CN_COMMAND && HIWORD(msg.WParam) == BN_CLICKED) {
            ++Clicks;
            return;
        }
        if (msg.Msg == CN_CTLCOLORBTN) ++ColorQueries;
        TWinControl::WndProc(msg);
    }
};

RECT Rect(int l, int t, int r, int b) { return RECT{l, t, r, b}; }

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
    if (EqualRect(&a, &b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.left << "," << a.top << "," << a.right << "," << a.bottom
                                         << ") != (" << b.left << "," << b.top << "," << b.right << "," << b.bottom << ")";
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = new TForm(Application);
        form_->SetBorderStyle(bsSizeable);
        form_->SetClientSize(300, 200);
        form_->Show();
        WaitForInputHandled();
    }
    void TearDown() override { delete form_; }
    TForm* form_ = nullptr;
};

}  // namespace

TEST_F(ControlTest, AlignsEveryKindOfChildAfterResizing) {
    auto* top = new TTestPanel(form_);
    auto* top2 = new TTestPanel(form_);
    auto* bottom = new TTestPanel(form_);
    auto* left = new TTestPanel(form_);
    auto* right = new TTestPanel(form_);
    auto* client = new TTestPanel(form_);
    auto* free = new TTestPanel(form_);
    top->SetHeight(20);
    top2->SetBounds(0, 100, 10, 10);  // lower than top: goes below it
    bottom->SetHeight(30);
    left->SetWidth(40);
    right->SetWidth(50);
    free->SetBounds(7, 8, 9, 10);
    for (TControl* c : std::initializer_list<TControl*>{client, right, left, bottom, top2, top, free}) c->SetParent(form_);
    top->SetAlign(alTop);
    top2->SetAlign(alTop);
    bottom->SetAlign(alBottom);
    left->SetAlign(alLeft);
    right->SetAlign(alRight);
    client->SetAlign(alClient);

    struct Row {
        const char* name;
        TControl* control;
        RECT small;
        RECT large;
    } rows[] = {
        {"top", top, Rect(0, 0, 300, 20), Rect(0, 0, 400, 20)},
        {"top2", top2, Rect(0, 20, 300, 30), Rect(0, 20, 400, 30)},
        {"bottom", bottom, Rect(0, 170, 300, 200), Rect(0, 270, 400, 300)},
        {"left", left, Rect(0, 30, 40, 170), Rect(0, 30, 40, 270)},
        {"right", right, Rect(250, 30, 300, 170), Rect(350, 30, 400, 270)},
        {"client", client, Rect(40, 30, 250, 170), Rect(40, 30, 350, 270)},
        {"not aligned", free, Rect(7, 8, 16, 18), Rect(7, 8, 16, 18)},
    };
    ASSERT_EQ(form_->ClientWidth(), 300);
    ASSERT_EQ(form_->ClientHeight(), 200);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(SameRect(row.control->BoundsRect(), row.small));
        // The windows themselves are where the objects say.
        RECT window;
        GetWindowRect(static_cast<TWinControl*>(row.control)->Handle(), &window);
        MapWindowPoints(nullptr, form_->Handle(), reinterpret_cast<POINT*>(&window), 2);
        EXPECT_TRUE(SameRect(window, row.small));
    }
    // Resizing the window (as the user does) re-aligns.
    RECT frame;
    GetWindowRect(form_->Handle(), &frame);
    SetWindowPos(form_->Handle(), nullptr, 0, 0, frame.right - frame.left + 100, frame.bottom - frame.top + 100,
                 SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_EQ(form_->ClientWidth(), 400);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(SameRect(row.control->BoundsRect(), row.large));
    }
    // A hidden child gives its room to the others.
    left->Hide();
    EXPECT_TRUE(SameRect(client->BoundsRect(), Rect(0, 30, 350, 270)));
}

TEST_F(ControlTest, DisabledAlignmentWaitsForTheLastEnable) {
    auto* top = new TTestPanel(form_);
    top->SetParent(form_);
    top->SetHeight(20);
    form_->DisableAlign();
    form_->DisableAlign();
    top->SetAlign(alTop);
    EXPECT_EQ(top->Width(), 50);
    form_->EnableAlign();
    EXPECT_EQ(top->Width(), 50);
    form_->EnableAlign();
    EXPECT_EQ(top->Width(), 300);
}

TEST_F(ControlTest, WindowlessChildGetsMouseMessagesFromItsParent) {
    auto* box = new TTestBox(form_);
    box->SetBounds(10, 10, 20, 20);
    box->SetParent(form_);
    std::vector<std::string> events;
    box->OnMouseDown = [&](TControl&, TMouseButton b, TShiftState, int x, int y) {
        events.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    box->OnMouseUp = [&](TControl&, TMouseButton, TShiftState, int x, int y) {
        events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    box->OnClick = [&](TControl&) { events.push_back("click"); };
    form_->OnClick = [&](TControl&) { events.push_back("form click"); };
    HWND w = form_->Handle();

    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 16));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(15, 16));
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 5,6", "click", "up 5,6"}));

    // Pressed inside, released outside: the box holds the mouse, so it sees the release in its
    // own coordinates, and it is no click.
    events.clear();
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 12));
    EXPECT_EQ(GetCapture(), w);
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 2,2", "up 90,-5"}));
    EXPECT_NE(GetCapture(), w);

    // Outside the box the form itself gets the click; a hidden box gets nothing.
    events.clear();
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
    box->Hide();
    SendMessageW(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(15, 15));
    EXPECT_EQ(events, (std::vector<std::string>{"form click"}));
}

TEST_F(ControlTest, WindowlessChildIsPaintedOnItsParent) {
    form_->SetColor(clWhite);
    auto* box = new TTestBox(form_, clRed);
    box->SetBounds(10, 10, 20, 20);
    box->SetParent(form_);
    RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_GT(box->Paints, 0);
    HDC dc = GetDC(form_->Handle());
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 29, 29), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 30, 30), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 9, 15), RGB(255, 255, 255));
    ReleaseDC(form_->Handle(), dc);
}

TEST_F(ControlTest, SubclassedSystemControlGetsItsNotificationsBack) {
    auto* button = new TTestButton(form_);
    button->SetCaption("&\xDC" "bernehmen");
    button->SetParent(form_);
    HWND w = button->Handle();
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    EXPECT_STREQ(cls, L"Button");
    EXPECT_EQ(TWinControl::FindControl(w), button);
    EXPECT_EQ(WindowText(w), std::string("&\xDC" "bernehmen"));
    EXPECT_EQ(button->Caption(), "&\xDC" "bernehmen");

    // BM_CLICK makes the button send BN_CLICKED to the form, which hands it to the button.
    SendMessageW(w, BM_CLICK, 0, 0);
    EXPECT_EQ(button->Clicks, 1);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(button->ColorQueries, 0);

    // Re-creating the window keeps the text; the old window is no longer the control's.
    button->SetCaption("Neu");
    button->RecreateWnd();
    HWND again = button->Handle();
    EXPECT_EQ(button->Caption(), "Neu");
    EXPECT_EQ(TWinControl::FindControl(again), button);
    EXPECT_FALSE(IsWindow(w) && TWinControl::FindControl(w) == button);
    SendMessageW(again, BM_CLICK, 0, 0);
    EXPECT_EQ(button->Clicks, 2);
}

TEST_F(ControlTest, TextsCrossToWindowsInCodePage1252) {
    form_->SetCaption("Gr\xF6\xDF" "e \x80");  // "Größe €"
    wchar_t buffer[32] = {};
    GetWindowTextW(form_->Handle(), buffer, 32);
    EXPECT_STREQ(buffer, L"Gr\u00F6\u00DFe \u20AC");
    SetWindowTextW(form_->Handle(), L"\u00C4rger");
    EXPECT_EQ(form_->Caption(), "\xC4rger");
}

TEST_F(ControlTest, ChildrenFollowTheParentFontAndColourUntilGivenTheirOwn) {
    auto* panel = new TTestPanel(form_);
    panel->SetParent(form_);
    panel->SetParentColor(true);
    form_->Font().SetName("Arial");
    form_->Font().SetSize(12);
    form_->SetColor(clYellow);
    EXPECT_EQ(panel->Font().Name(), "Arial");
    EXPECT_EQ(panel->Font().Size(), 12);
    EXPECT_EQ(panel->Color(), clYellow);
    panel->Font().SetSize(9);
    EXPECT_FALSE(panel->ParentFont());
    form_->Font().SetSize(14);
    EXPECT_EQ(panel->Font().Size(), 9);
    // The window got the font handle too.
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(panel->Handle(), WM_GETFONT, 0, 0)), panel->Font().Handle());
}

TEST_F(ControlTest, MeasuringAWindowlessChildMakesNoWindows) {
    auto* outer = new TTestPanel(form_);
    auto* inner = new TTestPanel(form_);
    inner->SetParent(outer);
    outer->SetParent(form_);
    form_->DestroyHandle();
    inner->SetBounds(0, 0, 50, 30);
    const RECT client = inner->ClientRect();
    EXPECT_LE(client.right - client.left, 50);
    EXPECT_FALSE(form_->HandleAllocated());
    EXPECT_FALSE(outer->HandleAllocated());
    // A child taken out of its parent can still be measured, as it is while a form is freed.
    outer->SetParent(nullptr);
    EXPECT_NO_THROW(inner->ClientRect());
    delete inner;
    delete outer;
}

TEST_F(ControlTest, ChildWindowsAreMadeWithTheParentAndGoWithIt) {
    auto* outer = new TTestPanel(form_);
    auto* inner = new TTestPanel(form_);
    inner->SetParent(outer);
    EXPECT_FALSE(inner->HandleAllocated());
    outer->SetParent(form_);
    ASSERT_TRUE(inner->HandleAllocated());
    EXPECT_EQ(GetParent(inner->Handle()), outer->Handle());
    HWND innerWindow = inner->Handle();
    form_->DestroyHandle();
    EXPECT_FALSE(inner->HandleAllocated());
    EXPECT_FALSE(IsWindow(innerWindow));
    form_->Show();
    EXPECT_TRUE(inner->HandleAllocated());
    // Freeing a child takes it out of its parent.
    delete inner;
    EXPECT_EQ(outer->ControlCount(), 0);
}

TEST_F(ControlTest, MouseEnterAndLeaveReachWindowlessChildren) {
    auto* box = new TTestBox(form_);
    box->SetBounds(10, 10, 20, 20);
    box->SetParent(form_);
    struct TWatcher : TTestBox {
        using TTestBox::TTestBox;
        std::vector<UINT> seen;
        void WndProc(TMessage& msg) override {
            if (msg.Msg == CM_MOUSEENTER || msg.Msg == CM_MOUSELEAVE) seen.push_back(msg.Msg);
            TTestBox::WndProc(msg);
        }
    };
    auto* watcher = new TWatcher(form_);
    watcher->SetBounds(40, 10, 20, 20);
    watcher->SetParent(form_);
    HWND w = form_->Handle();
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(45, 15));
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(46, 16));
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(15, 15));
    EXPECT_EQ(watcher->seen, (std::vector<UINT>{CM_MOUSEENTER, CM_MOUSELEAVE}));
}
