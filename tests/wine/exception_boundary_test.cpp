// No exception leaves a window procedure: errors in event handlers, painting and the key hook
// list are shown and the windows go on working; when the program's own exception handler
// throws as well, a last-resort message box shows the first error and the program goes on.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/program.h"
#include "tests/wine/screenshot_win.h"
#include "tests/wine/winui_testing_win.h"
#include "widgets/key_hook_list_win.h"
#include "winui/application_win.h"
#include "winui/form_win.h"
#include "winui/text_win.h"

namespace {

// Records program messages instead of showing the message dialog.
class TRecordedMessages {
public:
    TRecordedMessages() : previous_(SetProgramMessageHandler(nullptr)) { ProgramMessages().clear(); }
    ~TRecordedMessages() { SetProgramMessageHandler(previous_); }

private:
    TProgramMessageHandler previous_;
};

// Waits, from inside whatever message loop runs, for a message box of this thread, reads its
// text and closes it.
class TMessageBoxCloser {
public:
    TMessageBoxCloser() { Arm(); }
    bool Closed() const { return closed_; }
    const std::string& Text() const { return text_; }

private:
    void Arm() {
        Later([this] { Poll(); }, 50);
    }
    void Poll() {
        HWND box = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
        if (!box) {
            if (++polls_ < 200) Arm();
            return;
        }
        EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text_));
        closed_ = true;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    static BOOL CALLBACK FindBox(HWND window, LPARAM data) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    static BOOL CALLBACK CollectText(HWND child, LPARAM data) {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        if (lstrcmpiW(name, L"Static") == 0 && GetWindowTextLengthW(child) > 0)
            *reinterpret_cast<std::string*>(data) += WindowText(child);
        return TRUE;
    }

    bool closed_ = false;
    int polls_ = 0;
    std::string text_;
};

// A panel whose painting fails while Fail is set; counts the paints that got through.
class TFailingPaintPanel : public TTestPanel {
public:
    using TTestPanel::TTestPanel;
    bool Fail = false;
    int Paints = 0;

protected:
    void Paint() override {
        if (Fail) {
            Fail = false;
            throw Exception("Malen misslungen");
        }
        ++Paints;
        TTestPanel::Paint();
    }
};

// A windowless control on the key hook list that fails when asked whether it wants a key.
class TFailingHookBox : public TTestBox, public TKeyHookClient {
public:
    using TTestBox::TTestBox;
    bool HookKeyDown(WORD, TShiftState) override { return false; }
    bool HookWantsKey(WORD, TShiftState) override { throw Exception("Tastenfrage misslungen"); }
};

class ExceptionBoundaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = new TForm(Application);
        form_->SetBounds(150, 150, 320, 200);
        form_->SetCaption("Fehlergrenze");
        panel_ = new TTestPanel(form_, clAqua);
        panel_->SetBounds(20, 20, 120, 80);
        panel_->SetParent(form_);
        form_->Show();
        WaitFor([this] { return GetForegroundWindow() == form_->Handle(); });
    }
    void TearDown() override {
        Application->OnException = nullptr;
        delete form_;
    }
    // A real click in the middle of the panel.
    void ClickPanel() {
        MouseTo(ScreenPoint(*panel_, 60, 40));
        WaitForInputHandled();
        MouseButton(true);
        MouseButton(false);
    }

    TForm* form_ = nullptr;
    TTestPanel* panel_ = nullptr;
};

}  // namespace

TEST_F(ExceptionBoundaryTest, AThrowingExceptionHandlerDoesNotEndTheProgram) {
    TRecordedMessages record;
    int handlerCalls = 0;
    Application->OnException = [&](const std::exception&) {
        ++handlerCalls;
        throw std::runtime_error("the handler broke too");
    };
    panel_->OnClick = [](TControl&) { throw Exception("Klick ging schief"); };
    TMessageBoxCloser closer;
    ClickPanel();
    ASSERT_TRUE(WaitFor([&] { return closer.Closed(); })) << "no message box came";
    EXPECT_EQ(handlerCalls, 1);
    EXPECT_EQ(closer.Text(), "Klick ging schief");
    EXPECT_EQ(ProgramMessages(), (std::vector<std::string>{"Klick ging schief"}));
    // The program and the window go on.
    int clicks = 0;
    panel_->OnClick = [&](TControl&) { ++clicks; };
    ClickPanel();
    EXPECT_TRUE(WaitFor([&] { return clicks == 1; }));
}

TEST_F(ExceptionBoundaryTest, TheErrorDisplayNeverThrows) {
    // Each way the display can fail ends in the message box with the first error's message.
    struct Row {
        const char* name;
        std::function<void()> arrange;
    } rows[] = {
        {"handler throws a std::exception",
         [] { Application->OnException = [](const std::exception&) { throw std::logic_error("x"); }; }},
        {"handler throws something else", [] { Application->OnException = [](const std::exception&) { throw 7; }; }},
        {"the message function throws",
         [] {
             Application->OnException = nullptr;
             SetProgramMessageHandler([](const std::string&, TMessageKind) { throw std::runtime_error("no dialog"); });
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TRecordedMessages record;
        row.arrange();
        TMessageBoxCloser closer;
        EXPECT_NO_THROW(Application->ShowException(Exception("Erster Fehler")));
        EXPECT_TRUE(closer.Closed());
        EXPECT_EQ(closer.Text(), "Erster Fehler");
        Application->OnException = nullptr;
    }
    // Aborts stay silent whatever the handler would do.
    Application->OnException = [](const std::exception&) { throw 1; };
    EXPECT_NO_THROW(Application->ShowException(EAbort()));
    Application->OnException = nullptr;
    // An exception of no known kind is shown as an external one.
    TRecordedMessages record;
    GuardedCall([] { throw 42; });
    EXPECT_EQ(ProgramMessages(), (std::vector<std::string>{"Externe Exception 0"}));
}

TEST_F(ExceptionBoundaryTest, AThrowingEventHandlerInARealMessageIsShownAndTheWindowStaysUsable) {
    TRecordedMessages record;
    int downs = 0;
    panel_->OnMouseDown = [&](TControl&, TMouseButton, TShiftState, int, int) { ++downs; };
    panel_->OnClick = [](TControl&) { throw Exception("Klick ging schief"); };
    ClickPanel();
    ASSERT_TRUE(WaitFor([] { return ProgramMessages().size() == 1; }));
    ClickPanel();
    ASSERT_TRUE(WaitFor([] { return ProgramMessages().size() == 2; }));
    EXPECT_EQ(ProgramMessages(), (std::vector<std::string>{"Klick ging schief", "Klick ging schief"}));
    EXPECT_EQ(downs, 2);
    // The window still takes input: no capture left behind, clicks and keys arrive.
    EXPECT_EQ(GetCapture(), nullptr);
    int clicks = 0;
    panel_->OnClick = [&](TControl&) { ++clicks; };
    ClickPanel();
    EXPECT_TRUE(WaitFor([&] { return clicks == 1; }));
    std::vector<WORD> keys;
    panel_->OnKeyDown = [&](TControl&, WORD& key, TShiftState) {
        keys.push_back(key);
        if (key == 'A') throw Exception("Taste ging schief");
    };
    panel_->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return panel_->Focused(); }));
    PressKey('A');
    PressKey('B');
    EXPECT_TRUE(WaitFor([&] { return keys.size() == 2; }));
    EXPECT_EQ(keys, (std::vector<WORD>{'A', 'B'}));
    EXPECT_EQ(ProgramMessages().back(), "Taste ging schief");
}

TEST_F(ExceptionBoundaryTest, APaintingThatThrowsIsShownOnceAndTheWindowPaintsAgain) {
    TRecordedMessages record;
    auto* failing = new TFailingPaintPanel(form_, clYellow);
    failing->SetBounds(160, 20, 120, 80);
    failing->SetCaption("Neu gemalt");
    failing->SetParent(form_);
    WaitFor([&] { return failing->Paints > 0; });
    failing->Fail = true;
    failing->Invalidate();
    ASSERT_TRUE(WaitFor([] { return !ProgramMessages().empty(); }));
    // The failed paint still ended its painting: the window is not asked to paint over and over.
    WaitForInputHandled();
    EXPECT_EQ(ProgramMessages(), (std::vector<std::string>{"Malen misslungen"}));
    const int before = failing->Paints;
    failing->Invalidate();
    EXPECT_TRUE(WaitFor([&] { return failing->Paints > before; }));
    std::string error;
    EXPECT_TRUE(TakeScreenshot(form_->Handle(), "exception_boundary_repainted", error)) << error;
}

TEST_F(ExceptionBoundaryTest, TheKeyHookListAsksItsControlsInsideTheBoundary) {
    TRecordedMessages record;
    auto* box = new TFailingHookBox(form_);
    box->SetBounds(160, 20, 30, 30);
    box->SetParent(form_);
    HWND window = form_->Handle();
    THookList::Instance().Add(window, box);
    ASSERT_TRUE(THookList::Instance().Hooked(window));
    // The dialog code: the window's own answer (no key claimed), the failure shown.
    EXPECT_EQ(SendMessageW(window, WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS, 0);
    EXPECT_EQ(ProgramMessages(), (std::vector<std::string>{"Tastenfrage misslungen"}));
    // An auto-repeat asks the same question; the key then goes on to the window.
    std::vector<WORD> keys;
    form_->OnKeyDown = [&](TControl&, WORD& key, TShiftState) { keys.push_back(key); };
    SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0x40000001);
    EXPECT_EQ(ProgramMessages().size(), 2u);
    EXPECT_EQ(keys, (std::vector<WORD>{VK_RIGHT}));
    THookList::Instance().Remove(box);
    EXPECT_FALSE(THookList::Instance().Hooked(window));
}
