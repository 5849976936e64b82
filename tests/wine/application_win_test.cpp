// The application object: its window hooks, errors shown through the program's message
// function, shortcuts handed to the application window, hints, timers, topmost handling.
#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/program.h"
#include "tests/wine/winui_testing_win.h"
#include "winui/application_win.h"
#include "winui/form_win.h"
#include "winui/menu_win.h"
#include "winui/timer_win.h"

namespace {

// Records program messages instead of showing a message box.
class RecordMessages {
public:
    RecordMessages() : previous_(SetProgramMessageHandler(nullptr)) { ProgramMessages().clear(); }
    ~RecordMessages() { SetProgramMessageHandler(previous_); }

private:
    TProgramMessageHandler previous_;
};

// A windowless button that publishes a ShortCut, as the program's speed buttons do.
class TShortCutBox : public TTestBox {
public:
    using TTestBox::TTestBox;
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{
            "TShortCutBox", &TGraphicControl::StaticClass(),
            {TypedProp<TShortCutBox, int32_t>("ShortCut", TPropKind::pkInteger,
                                              [](const TShortCutBox& b) { return b.ShortCut; })},
            {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    int32_t ShortCut = 0;
};

}  // namespace

TEST(ApplicationTest, IsTheOwnerOfFormsWithTheClassNameTApplication) {
    ASSERT_NE(Application, nullptr);
    EXPECT_EQ(Application->ClassName(), "TApplication");
    EXPECT_EQ(Application->Name(), "");
    auto* form = Application->CreateForm<TForm>();
    EXPECT_EQ(form->Owner(), Application);
    auto forms = Application->Forms();
    EXPECT_NE(std::find(forms.begin(), forms.end(), form), forms.end());
    EXPECT_NE(Screen->FormCount(), 0);
    delete form;
    forms = Application->Forms();
    EXPECT_EQ(std::find(forms.begin(), forms.end(), form), forms.end());
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(ApplicationTest, WindowHooksSeeMessagesInOrderAndCanTakeThem) {
    HWND w = Application->Handle();
    ASSERT_TRUE(IsWindow(w));
    EXPECT_FALSE(IsWindowVisible(w));
    std::vector<std::string> seen;
    int first = Application->HookMainWindow([&](TMessage& m) {
        if (m.Msg == WM_USER + 7) seen.push_back("first");
        return false;
    });
    int second = Application->HookMainWindow([&](TMessage& m) {
        if (m.Msg != WM_USER + 7) return false;
        seen.push_back("second");
        m.Result = 42;
        return true;
    });
    int third = Application->HookMainWindow([&](TMessage& m) {
        if (m.Msg == WM_USER + 7) seen.push_back("third");
        return false;
    });
    EXPECT_EQ(SendMessageW(w, WM_USER + 7, 0, 0), 42);
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
    Application->UnhookMainWindow(second);
    seen.clear();
    SendMessageW(w, WM_USER + 7, 0, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "third"}));
    Application->UnhookMainWindow(first);
    Application->UnhookMainWindow(third);
}

TEST(ApplicationTest, ErrorsInWindowProceduresGoToTheProgramMessage) {
    RecordMessages record;
    auto* form = new TForm(Application);
    form->OnClick = [](TControl&) { throw Exception("Kaputt"); };
    form->OnDblClick = [](TControl&) { throw EAbort(); };
    form->Show();
    SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageW(form->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(ProgramMessages(), (std::vector<std::string>{"Kaputt"}));
    std::string seen;
    Application->OnException = [&](const std::exception& e) { seen = e.what(); };
    Application->ShowException(Exception("Anders"));
    Application->OnException = nullptr;
    EXPECT_EQ(seen, "Anders");
    EXPECT_EQ(ProgramMessages().size(), 1u);
    delete form;
}

TEST(ApplicationTest, KeysNoMenuTookReachTheApplicationWindowAsShortCutMessage) {
    WPARAM key = 0;
    LPARAM shift = -1;
    int hook = Application->HookMainWindow([&](TMessage& m) {
        if (m.Msg != UM_SHORTCUT) return false;
        key = m.WParam;
        shift = m.LParam;
        m.Result = m.WParam == VK_F5;
        return true;
    });
    auto* form = new TForm(Application);
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    int panelKeys = 0;
    panel->OnKeyDown = [&](TControl&, WORD&, TShiftState) { ++panelKeys; };
    form->Show();
    PostMessageW(panel->Handle(), WM_KEYDOWN, VK_F5, 1);
    WaitFor([&] { return key != 0; });
    EXPECT_EQ(key, static_cast<WPARAM>(VK_F5));
    EXPECT_EQ(shift, 0);
    PostMessageW(panel->Handle(), WM_KEYDOWN, VK_F6, 1);
    WaitFor([&] { return panelKeys > 0; });
    EXPECT_EQ(panelKeys, 1);  // F5 was taken, F6 was not
    Application->UnhookMainWindow(hook);
    delete form;
}

TEST(ApplicationTest, HintsShowTheShortPartAndTellTheLongPart) {
    struct Row {
        const char* hint;
        const char* shortPart;
        const char* longPart;
    } rows[] = {{"kurz|lang", "kurz", "lang"}, {"nur", "nur", "nur"}, {"|lang", "", "lang"}, {"a|b|c", "a", "b|c"}};
    for (const Row& r : rows) {
        EXPECT_EQ(GetShortHint(r.hint), r.shortPart);
        EXPECT_EQ(GetLongHint(r.hint), r.longPart);
    }
    auto* form = new TForm(Application);
    auto* box = new TShortCutBox(form);
    box->SetBounds(10, 10, 30, 30);
    box->SetHint("Neuer Text|Legt einen neuen Texteintrag an");
    box->SetShowHint(true);
    box->ShortCut = scCtrl | 'T';
    box->SetParent(form);
    form->Show();
    std::vector<std::string> longHints;
    Application->OnHint = [&](TApplication& a) { longHints.push_back(a.Hint()); };
    Application->SetHintPause(20);
    // The real mouse rests on the box (the idle handling drops hints of a mouse elsewhere).
    POINT onBox = box->ClientToScreen(POINT{5, 5});
    SetCursorPos(onBox.x, onBox.y);
    TMessage move{WM_MOUSEMOVE, 0, MAKELPARAM(15, 15), 0};
    Application->HintMouseMessage(form, move);
    EXPECT_EQ(Application->HintControl(), box);
    bool shown = WaitFor([] { return !Application->ShownHintText().empty(); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(Application->ShownHintText(), "Neuer Text (Strg+T)");
    Application->SetHintShortCuts(false);
    Application->ActivateHint(box->ClientToScreen(POINT{5, 5}));
    EXPECT_EQ(Application->ShownHintText(), "Neuer Text");
    Application->SetHintShortCuts(true);
    // Moving off the box ends the hint and clears the long hint.
    TMessage away{WM_MOUSEMOVE, 0, MAKELPARAM(100, 100), 0};
    Application->HintMouseMessage(form, away);
    EXPECT_EQ(Application->ShownHintText(), "");
    EXPECT_EQ(longHints, (std::vector<std::string>{"Legt einen neuen Texteintrag an", ""}));
    Application->OnHint = nullptr;
    Application->SetHintPause(500);
    delete form;
    EXPECT_EQ(Application->HintControl(), nullptr);
}

TEST(ApplicationTest, TimersFireWhileEnabled) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(20);
    timer.SetOnTimer([&](TTimer&) { ++ticks; });
    EXPECT_TRUE(timer.Running());
    WaitFor([&] { return ticks >= 3; });
    EXPECT_GE(ticks, 3);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    int stopped = ticks;
    PumpUntil(150);
    EXPECT_EQ(ticks, stopped);
    timer.SetEnabled(true);
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
    timer.SetInterval(10);
    timer.OnTimer = [&](TTimer&) { throw Exception("im Zeitgeber"); };
    RecordMessages record;
    WaitFor([] { return !ProgramMessages().empty(); });
    timer.SetEnabled(false);
    ASSERT_FALSE(ProgramMessages().empty());
    EXPECT_EQ(ProgramMessages().front(), "im Zeitgeber");
}

TEST(ApplicationTest, TopmostFormsStepBackWhileADialogIsShown) {
    auto* form = new TForm(Application);
    form->SetFormStyle(fsStayOnTop);
    form->Show();
    auto topmost = [&] { return (GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_TRUE(topmost());
    Application->NormalizeTopMosts();
    EXPECT_FALSE(topmost());
    Application->NormalizeTopMosts();
    Application->RestoreTopMosts();
    EXPECT_FALSE(topmost());  // still inside the outer pair
    Application->RestoreTopMosts();
    EXPECT_TRUE(topmost());
    Application->RestoreTopMosts();  // unbalanced: nothing happens
    EXPECT_TRUE(topmost());
    form->SetFormStyle(fsMDIChild);  // no MDI: a normal window
    EXPECT_EQ(form->FormStyle(), fsNormal);
    EXPECT_FALSE(topmost());
    delete form;
}

TEST(ApplicationTest, ScreenCursorOverridesControlCursors) {
    EXPECT_NE(Screen->Cursors(crDrag), nullptr);
    EXPECT_NE(Screen->Cursors(crHSplit), nullptr);
    EXPECT_NE(Screen->Cursors(crDrag), Screen->Cursors(crArrow));
    EXPECT_EQ(Screen->Cursors(crNone), nullptr);
    EXPECT_EQ(Screen->Cursors(12345), Screen->Cursors(crArrow));
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    EXPECT_EQ(GetCursor(), Screen->Cursors(crHourGlass));
    Screen->SetCursor(crDefault);
}
