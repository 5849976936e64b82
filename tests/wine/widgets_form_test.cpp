// The form base and the message dialog driven for real: the lock count, popup mode closed by
// Enter, Escape and a click outside, placement round trips through the configuration file,
// gradient bands, the message dialog's buttons, and the demonstration window with screenshots.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "base/cp1252.h"
#include "base/exception.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "base/program.h"
#include "config/configuration.h"
#include "tests/wine/program_folder_test_win.h"
#include "tests/wine/screenshot_win.h"
#include "tests/wine/winui_testing_win.h"
#include "widgets/app_services_win.h"
#include "widgets/demo_form_win.h"
#include "widgets/message_form_win.h"
#include "widgets/placement_win.h"
#include "widgets/win95_form_win.h"
#include "winui/application_win.h"
#include "winui/std_edits_win.h"

namespace fs = std::filesystem;

namespace {

std::string WindowText(HWND window) {
    wchar_t buffer[512] = {};
    const int length = GetWindowTextW(window, buffer, 512);
    return Utf16ToCp1252(std::u16string(reinterpret_cast<const char16_t*>(buffer), length));
}

void Shot(HWND window, const char* name) {
    std::string error;
    EXPECT_TRUE(TakeScreenshot(window, name, error)) << error;
    if (!error.empty()) std::printf("note: %s\n", error.c_str());
}

void PressKey(HWND window, WORD key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

// A dialog that is up and has the keyboard: keys meant for it can go.
bool DialogActive(TForm& form) {
    return form.HandleAllocated() && IsWindowVisible(form.Handle()) && GetForegroundWindow() == form.Handle();
}

class WidgetsFormTest : public ProgramFolderTest {
protected:
    void TearDown() override {
        ProgramFolderTest::TearDown();
        SetMessageDialogObserver(nullptr);
    }
    template <class T = TWin95Form>
    T* MakeForm(const char* name) {
        T* form = NewForm<T>(Application);
        form->SetName(name);
        return form;
    }
};

TEST_F(WidgetsFormTest, LockCountsAndTellsWhenItCrossesZero) {
    TWin95Form* form = MakeForm("LockForm");
    EXPECT_FALSE(form->Locked());
    EXPECT_FALSE(form->Lock(false));
    EXPECT_EQ(form->LockCount(), 0);
    EXPECT_TRUE(form->Lock(true));
    EXPECT_FALSE(form->Lock(true));
    EXPECT_TRUE(form->Locked());
    EXPECT_FALSE(form->Lock(false));
    EXPECT_TRUE(form->Lock(false));
    EXPECT_FALSE(form->Locked());
    EXPECT_FALSE(form->Lock(false));
    EXPECT_EQ(form->LockCount(), 0);
    delete form;
}

TEST_F(WidgetsFormTest, MdiChildStyleNeedsAnMdiMainForm) {
    TWin95Form* form = MakeForm("MdiForm");
    form->SetFormStyle(fsMDIChild);
    EXPECT_EQ(form->FormStyle(), fsNormal);
    form->SetFormStyle(fsStayOnTop);
    EXPECT_EQ(form->FormStyle(), fsStayOnTop);
    delete form;
}

class PopupTest : public WidgetsFormTest {
protected:
    void SetUp() override {
        WidgetsFormTest::SetUp();
        host = MakeForm<TForm>("PopupHost");
        host->SetBounds(100, 100, 400, 300);
        anchor = new TEdit(host);
        anchor->SetBounds(20, 20, 120, 23);
        anchor->SetParent(host);
        host->Show();
        WaitForInputHandled();
        popup = MakeForm("PopupForm");
        popup->SetBorderStyle(bsToolWindow);
        popup->SetBounds(0, 0, 160, 90);
        popup->SetCaption("Popup");
    }
    void TearDown() override {
        delete popup;
        delete host;
        WidgetsFormTest::TearDown();
    }
    // The popup is up and has the keyboard: keys and clicks meant for it can go.
    bool PopupActive() const {
        return popup->HandleAllocated() && IsWindowVisible(popup->Handle()) &&
               GetForegroundWindow() == popup->Handle();
    }
    TForm* host = nullptr;
    TEdit* anchor = nullptr;
    TWin95Form* popup = nullptr;
};

TEST_F(PopupTest, EnterClosesWithOneBelowTheControl) {
    uint16_t state = 0;
    RECT placed{};
    Later([&] {
        state = popup->PopupState();
        GetWindowRect(popup->Handle(), &placed);
        Shot(popup->Handle(), "widgets_popup");
        PressKey(GetFocus() ? GetFocus() : popup->Handle(), VK_RETURN);
    }, 50, [&] { return PopupActive(); });
    EXPECT_EQ(popup->Popup(0, 0, 0, anchor), 1);
    EXPECT_EQ(state & 0x0001, 0x0001);
    EXPECT_EQ(state & 0x0020, 0x0020);  // below
    EXPECT_EQ(state & 0x0300, 0x0200);  // left-aligned
    const POINT origin = anchor->ClientToScreen(POINT{0, 0});
    EXPECT_EQ(placed.left, origin.x);
    EXPECT_EQ(placed.top, origin.y + anchor->Height());
    EXPECT_FALSE(IsWindowVisible(popup->Handle()));
    EXPECT_EQ(popup->PopupState(), 0);
}

TEST_F(PopupTest, EscapeClosesWithTwoAndReentryReturnsTwo) {
    int reentry = -1;
    Later([&] {
        reentry = popup->Popup(10, 10, 0, nullptr);
        PressKey(GetFocus() ? GetFocus() : popup->Handle(), VK_ESCAPE);
    }, 50, [&] { return PopupActive(); });
    EXPECT_EQ(popup->Popup(300, 200, 0, nullptr), 2);
    EXPECT_EQ(reentry, 2);
    EXPECT_FALSE(IsWindowVisible(popup->Handle()));
}

TEST_F(PopupTest, AClickOutsideClosesWithThree) {
    Later([&] {
        RECT r;
        GetWindowRect(host->Handle(), &r);
        const int x = r.right - 30, y = r.bottom - 30;
        INPUT input[3]{};
        for (auto& i : input) i.type = INPUT_MOUSE;
        input[0].mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input[0].mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(3, input, sizeof(INPUT));
    }, 50, [&] { return PopupActive(); });
    EXPECT_EQ(popup->Popup(0, 0, 0, anchor), 3);
    EXPECT_FALSE(IsWindowVisible(popup->Handle()));
    EXPECT_FALSE(IsTrackingControl(popup));
}

TEST_F(WidgetsFormTest, PlacementRoundTripThroughTheConfigurationFile) {
    TWin95Form* form = MakeForm("PlacedForm");
    form->SetBounds(40, 50, 320, 240);
    form->SetCaption("Platz");
    form->SetTag(3);
    form->Show();
    WaitForInputHandled();
    SetWindowPos(form->Handle(), nullptr, 70, 80, 333, 222, SWP_NOZORDER);
    WaitForInputHandled();
    form->Close();  // saves the placement
    delete form;
    FreeConfiguration();
    ASSERT_TRUE(fs::exists(dir / "Varnolet.CFG"));

    EXPECT_EQ(ReadInteger("TApplication\\PlacedForm\\Left", -9), 70);
    EXPECT_EQ(ReadInteger("TApplication\\PlacedForm\\Width", -9), 333);
    EXPECT_EQ(ReadInteger("TApplication\\PlacedForm\\Tag", -9), 3);
    EXPECT_EQ(ReadString("TApplication\\PlacedForm\\Caption", ""), "Platz");

    TWin95Form* again = MakeForm("PlacedForm");
    again->HandleNeeded();  // restores on handle creation
    EXPECT_EQ(again->Left(), 70);
    EXPECT_EQ(again->Top(), 80);
    EXPECT_EQ(again->Width(), 333);
    EXPECT_EQ(again->Height(), 222);
    delete again;
}

TEST_F(WidgetsFormTest, RestoreCentresClampsAndTakesAtCaptions) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    WriteValue("TApplication\\Centred\\Caption", TNodeValue::Of(std::string("@Neuer Titel")));
    WriteValue("TApplication\\Clamped\\Left", TNodeValue::Of(int32_t{5000}));
    WriteValue("TApplication\\Clamped\\Top", TNodeValue::Of(int32_t{-40}));
    WriteValue("TApplication\\Clamped\\Width", TNodeValue::Of(int32_t{200}));
    WriteValue("TApplication\\Clamped\\Height", TNodeValue::Of(int32_t{100}));

    TWin95Form* centred = MakeForm("Centred");
    centred->SetBorderStyle(bsSingle);
    centred->SetBounds(0, 0, 300, 200);
    centred->SetCaption("Alt");
    RestorePlacement(*centred);
    EXPECT_EQ(centred->Left(), (sw - 300) / 2);
    EXPECT_EQ(centred->Top(), (sh - 200) / 2);
    EXPECT_EQ(centred->Caption(), "Neuer Titel");

    TWin95Form* clamped = MakeForm("Clamped");
    clamped->SetBounds(0, 0, 300, 200);  // sizeable: takes the saved size
    RestorePlacement(*clamped);
    EXPECT_EQ(clamped->Width(), 200);
    EXPECT_EQ(clamped->Left(), sw - 200);
    EXPECT_EQ(clamped->Top(), 0);
    delete centred;
    delete clamped;
}

TEST_F(WidgetsFormTest, MaximisedWindowsKeepTheirNormalPosition) {
    TWin95Form* form = MakeForm("ZoomForm");
    form->SetBounds(30, 40, 300, 200);
    form->Show();
    WaitForInputHandled();
    SavePlacement(*form);
    ShowWindow(form->Handle(), SW_MAXIMIZE);
    WaitForInputHandled();
    SavePlacement(*form);
    EXPECT_EQ(ReadInteger("TApplication\\ZoomForm\\WindowState", -1), 2);
    EXPECT_EQ(ReadInteger("TApplication\\ZoomForm\\Left", -1), 30);
    EXPECT_EQ(ReadInteger("TApplication\\ZoomForm\\Width", -1), 300);
    ShowWindow(form->Handle(), SW_RESTORE);
    delete form;
}

TEST_F(WidgetsFormTest, GradientBandsFollowTheColourDepth) {
    TWin95Form* form = MakeForm("GradientForm");
    form->SetBounds(60, 60, 300, 120);
    form->SetCaption("Verlauf");
    form->SetGradient(gfAllways);
    form->Show();
    WaitForInputHandled();
    HDC dc = GetDC(nullptr);
    const int colors = GetDeviceCaps(dc, NUMCOLORS);
    ReleaseDC(nullptr, dc);
    const int expected = (colors >= 1 && colors <= 16) ? 16 : (colors >= 17 && colors <= 256) ? 32 : 128;
    form->RedrawCaption();
    EXPECT_EQ(form->LastGradientBands(), expected);
    // gfActive draws no gradient while inactive.
    form->SetGradient(gfActive);
    HDC windowDc = GetWindowDC(form->Handle());
    form->PaintCaption(windowDc, cpAll, form->CaptionRect(), false);
    EXPECT_EQ(form->LastGradientBands(), 0);
    form->PaintCaption(windowDc, cpAll, form->CaptionRect(), true);
    EXPECT_EQ(form->LastGradientBands(), expected);
    ReleaseDC(form->Handle(), windowDc);
    delete form;
}

struct TDialogRow {
    const char* name;
    TMsgDlgButtons buttons;
    TMsgDlgBtn press;  // pressed with BM_CLICK
    int result;
};

TEST_F(WidgetsFormTest, MessageDialogButtonsGiveTheirResults) {
    const TDialogRow rows[] = {
        {"ok", mbOKOnly, mbOK, 1},
        {"yes", mbYesNoCancel, mbYes, 6},
        {"no", mbYesNoCancel, mbNo, 7},
        {"cancel", mbYesNoCancel, mbCancel, 2},
        {"retry", mbAbortRetryIgnore, mbRetry, 4},
    };
    for (const auto& row : rows) {
        std::vector<std::string> names;
        SetMessageDialogObserver([&](TMessageForm& form) {
            for (TBitBtn* b : form.Buttons()) names.push_back(b->Name());
            TBitBtn* button = form.Button(row.press);
            Later([button] { PostMessageW(button->Handle(), BM_CLICK, 0, 0); }, 50,
                  [&form] { return DialogActive(form); });
        });
        EXPECT_EQ(ShowMessageDlg(std::vector<TMessageArg>{std::string("Frage"), std::string("Titel"),
                                                          int64_t{mtConfirmation}, int64_t{row.buttons}}),
                  row.result)
            << row.name;
        EXPECT_EQ(names.size(), MessageButtons(row.buttons).size()) << row.name;
    }
}

TEST_F(WidgetsFormTest, MessageDialogKeysAndLayout) {
    // Escape presses Cancel; Enter the first (default) button.
    SetMessageDialogObserver([](TMessageForm& form) {
        Later([&form] { PressKey(GetFocus(), VK_ESCAPE); }, 50, [&form] { return DialogActive(form); });
    });
    EXPECT_EQ(ShowMessageDlg("Abbrechen?", "", mtWarning, mbOKCancel), 2);

    std::string caption;
    bool topmost = false, clipped = true, ordered = false;
    SetMessageDialogObserver([&](TMessageForm& form) {
        Later([&] {
            caption = WindowText(form.Handle());
            topmost = (GetWindowLongW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            TLabel* label = form.Message();
            const SIZE need = MeasureText(form.Font(), label->Caption(), 10000, 0);
            clipped = label->Width() < std::min<int>(need.cx, GetSystemMetrics(SM_CXSCREEN) / 2);
            const auto& buttons = form.Buttons();
            ordered = buttons.size() == 3 && buttons[0]->Left() < buttons[1]->Left() &&
                      buttons[1]->Left() < buttons[2]->Left() && buttons[0]->Top() == buttons[2]->Top() &&
                      buttons[2]->Left() + buttons[2]->Width() <= form.ClientWidth();
            Shot(form.Handle(), "widgets_message_dialog");
            PressKey(GetFocus(), VK_RETURN);
        }, 50, [&form] { return DialogActive(form); });
    });
    EXPECT_EQ(ShowMessageDlg("Sollen die \xC4nderungen am Text gespeichert werden, bevor das Programm beendet wird?",
                             "", mtConfirmation, mbYesNoCancel),
              6);
    EXPECT_EQ(caption, LoadStr(sid::CaptionConfirm));
    EXPECT_TRUE(topmost);
    EXPECT_FALSE(clipped);
    EXPECT_TRUE(ordered);
}

TEST_F(WidgetsFormTest, ProgramMessagesGoToTheMessageDialog) {
    auto previous = InstallMessageDialog();
    struct TCase {
        TMessageKind kind;
        TMsgDlgType type;
    };
    for (const TCase& c : {TCase{mkInformation, mtInformation}, TCase{mkWarning, mtWarning}, TCase{mkError, mtError}}) {
        SCOPED_TRACE(int(c.kind));
        std::string shown;
        TMsgDlgType type = mtCustom;
        SetMessageDialogObserver([&](TMessageForm& form) {
            shown = form.Message()->Caption();
            type = form.DialogType();
            Later([&form] { PostMessageW(form.Button(mbOK)->Handle(), BM_CLICK, 0, 0); }, 50,
                  [&form] { return DialogActive(form); });
        });
        ShowProgramMessage("Kann nicht", c.kind);
        EXPECT_EQ(shown, "Kann nicht");
        EXPECT_EQ(type, c.type);
    }
    SetProgramMessageHandler(nullptr);
}

TEST_F(WidgetsFormTest, BadMessageArgumentsRaiseBeforeShowing) {
    bool shown = false;
    SetMessageDialogObserver([&](TMessageForm&) { shown = true; });
    EXPECT_THROW(ShowMessageDlg(std::vector<TMessageArg>{}), Exception);
    EXPECT_THROW(ShowMessageDlg(std::vector<TMessageArg>{std::string("x"), int64_t{1}}), Exception);
    EXPECT_FALSE(shown);
}

TEST_F(WidgetsFormTest, DemoFormShowsTheDialogAndTakesTheAnswer) {
    TDemoForm* demo = NewForm<TDemoForm>(Application);
    demo->Show();
    WaitForInputHandled();
    EXPECT_EQ(demo->Gradient(), gfAllways);
    EXPECT_FALSE(WindowText(demo->Handle()).empty());
    EXPECT_FALSE(demo->MessageBtn->Caption().empty());
    EXPECT_FALSE(demo->MessageEdit->Text().empty());
    Shot(demo->Handle(), "widgets_demo_form");

    SetMessageDialogObserver([&](TMessageForm& form) {
        EXPECT_EQ(form.Message()->Caption(), demo->MessageEdit->Text());
        TBitBtn* no = form.Button(mbNo);
        Later([&form, no] {
            Shot(form.Handle(), "widgets_demo_dialog");
            PostMessageW(no->Handle(), BM_CLICK, 0, 0);
        }, 50, [&form] { return DialogActive(form); });
    });
    PostMessageW(demo->MessageBtn->Handle(), BM_CLICK, 0, 0);
    WaitFor([&] { return demo->LastResult() != 0; });
    EXPECT_EQ(demo->LastResult(), 7);
    EXPECT_EQ(demo->ResultLabel->Caption(), StripHotkey(ButtonCaption(mbNo)));

    // The menu item does the same; Cancel this time.
    SetMessageDialogObserver([&](TMessageForm& form) {
        TBitBtn* cancel = form.Button(mbCancel);
        Later([cancel] { PostMessageW(cancel->Handle(), BM_CLICK, 0, 0); }, 50,
              [&form] { return DialogActive(form); });
    });
    PostMessageW(demo->Handle(), WM_COMMAND, demo->MessageItem->Command(), 0);
    WaitFor([&] { return demo->LastResult() != 7; });
    EXPECT_EQ(demo->LastResult(), 2);
    delete demo;
}

TEST_F(WidgetsFormTest, InplacedDemoFormPaintsItsGradientCaption) {
    // A docked form's frame is drawn by the system, not by the window manager: the caption
    // painting shows here.
    TForm* host = MakeForm<TForm>("DemoHost");
    host->SetBounds(80, 80, 440, 300);
    host->SetCaption("Host");
    TDemoForm* docked = CreateInplaced<TDemoForm>(host, host);
    EXPECT_TRUE(docked->Inplaced());
    EXPECT_EQ(docked->Parent(), host);
    docked->SetBounds(8, 8, 400, 230);
    docked->Show();
    host->Show();
    WaitForInputHandled();
    EXPECT_NE(GetWindowLongW(docked->Handle(), GWL_STYLE) & WS_CHILD, 0);
    EXPECT_EQ(GetWindowLongW(docked->Handle(), GWL_STYLE) & WS_MAXIMIZEBOX, 0);
    docked->RedrawCaption();
    EXPECT_GT(docked->LastGradientBands(), 0);
    Shot(host->Handle(), "widgets_demo_inplaced");
    delete host;
}

}  // namespace
