// The speed button driven for real: option bits and defaults inside and outside a container
// with their announcements, activation keys through the parent window's hook without focus,
// auto-repeat counts over a held button, groups, drop-down menus, shortcuts, and screenshots
// of the button states.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "tests/wine/widgets_testing_win.h"
#include "widgets/app_services_win.h"
#include "widgets/application_hook_win.h"
#include "widgets/speed_button_win.h"
#include "winui/application_win.h"
#include "winui/menu_win.h"

namespace {

class SpeedButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TForm(Application);
        form->SetBorderStyle(bsSingle);
        form->SetBounds(120, 120, 420, 200);
        form->SetCaption("Speed buttons");
        panel = new TListeningPanel(form);
        panel->SetBounds(0, 0, 400, 150);
        panel->SetParent(form);
        form->Show();
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == form->Handle(); }));
        panel->SetFocus();
        WaitForInputHandled();
    }
    void TearDown() override {
        MouseButton(false);
        delete form;
        WaitForInputHandled();
    }
    TNewSpeedButton* Button(int left, const char* caption = "", int* clicks = nullptr) {
        auto* button = new TNewSpeedButton(form);
        button->SetBounds(left, 10, 40, 26);
        button->SetCaption(caption);
        if (clicks) button->OnClick = [clicks](TControl&) { ++*clicks; };
        button->SetParent(panel);
        button->Loaded();
        return button;
    }
    TForm* form = nullptr;
    TListeningPanel* panel = nullptr;
};

TEST_F(SpeedButtonTest, DefaultsDependOnTheContainerAndChangesAreAnnounced) {
    TNewSpeedButton* button = Button(10);
    EXPECT_TRUE(button->Transparent() && button->Flat() && button->Graying() && button->DrawFrame());
    EXPECT_EQ(button->Color(), clBtnShadow);
    EXPECT_FALSE(button->ControlStyle().Has(csOpaque));
    panel->Announced.clear();
    button->SetInplaced(true);
    EXPECT_FALSE(button->Transparent() || button->Flat() || button->Graying());
    EXPECT_TRUE(button->DrawFrame());
    EXPECT_EQ(button->Color(), clBtnFace);
    EXPECT_TRUE(button->ControlStyle().Has(csOpaque));
    // The Inplaced bit, then the defaults (65535), each to the parent.
    EXPECT_EQ(panel->Announced, (std::vector<WPARAM>{65535, boInplaced}));
    button->SetInplaced(false);
    panel->Announced.clear();
    button->SetTransparent(false);
    EXPECT_FALSE(button->DefaultOptions());
    EXPECT_TRUE(button->ControlStyle().Has(csOpaque));
    EXPECT_EQ(panel->Announced, (std::vector<WPARAM>{boTransparent}));
    button->SetDefaultOptions(true);
    EXPECT_TRUE(button->Transparent());
    EXPECT_FALSE(button->ControlStyle().Has(csOpaque));
    // Bits that do not change announce nothing.
    panel->Announced.clear();
    button->SetDrawCaption(true);
    EXPECT_TRUE(panel->Announced.empty());
}

TEST_F(SpeedButtonTest, LoadedButtonsGetSpaceUnlessInPlace) {
    TNewSpeedButton* free = Button(10);
    EXPECT_EQ(free->ActivateKeys(), TActivateKeys{vkSpace});
    auto* inplace = new TNewSpeedButton(form);
    inplace->SetInplaced(true);
    inplace->SetParent(panel);
    inplace->Loaded();
    EXPECT_TRUE(inplace->ActivateKeys().Empty());
    EXPECT_EQ(THookList::Instance().WindowOf(free), panel->Handle());
    EXPECT_EQ(THookList::Instance().WindowOf(inplace), nullptr);
}

TEST_F(SpeedButtonTest, OneKeyPressClicksOneButtonOnceWithoutFocus) {
    int first = 0, second = 0;
    Button(10, "A", &first);
    Button(60, "B", &second);
    ASSERT_EQ(GetFocus(), panel->Handle());
    ChordKey({}, VK_SPACE);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    EXPECT_TRUE(panel->KeysSeen.empty()) << "a key a button took does not reach the window";
    // A held key repeats its key-down: still one click.
    KeyInput(VK_SPACE, true);
    WaitForInputHandled();
    KeyInput(VK_SPACE, true);
    WaitForInputHandled();
    KeyInput(VK_SPACE, true);
    WaitForInputHandled();
    KeyInput(VK_SPACE, false);
    WaitForInputHandled();
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 0);
    // Keys nobody wants go on to the window.
    ChordKey({}, 'X');
    EXPECT_EQ(panel->KeysSeen, (std::vector<WPARAM>{'X'}));
}

TEST_F(SpeedButtonTest, ModifiersOfTheKeySetMustBeHeldExactly) {
    int clicks = 0;
    TNewSpeedButton* button = Button(10, "C", &clicks);
    button->SetActivateKeys({vkSpace, vkCtrl});
    EXPECT_TRUE(button->Option(boKeyCtrl));
    ChordKey({}, VK_SPACE);
    EXPECT_EQ(clicks, 0);
    ChordKey({VK_CONTROL}, VK_SPACE);
    EXPECT_EQ(clicks, 1);
    ChordKey({VK_SHIFT, VK_CONTROL}, VK_SPACE);
    EXPECT_EQ(clicks, 1);
    // Return is a dialog key; the hook claims it for the button all the same.
    button->SetActivateKeys({vkReturn});
    ChordKey({}, VK_RETURN);
    EXPECT_EQ(clicks, 2);
    // A disabled or hidden button takes no key.
    button->SetEnabled(false);
    ChordKey({}, VK_RETURN);
    button->SetEnabled(true);
    button->Hide();
    ChordKey({}, VK_RETURN);
    EXPECT_EQ(clicks, 2);
}

TEST_F(SpeedButtonTest, ClearingTheKeyInOnKeyDownTakesItWithoutAClick) {
    int first = 0, second = 0;
    TNewSpeedButton* a = Button(10, "A", &first);
    Button(60, "B", &second);
    a->OnKeyDown = [](TControl&, WORD& key, TShiftState) { key = 0; };
    ChordKey({}, VK_SPACE);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
}

TEST_F(SpeedButtonTest, PressMoveOffAndReleaseFiresNoClick) {
    int clicks = 0;
    TNewSpeedButton* button = Button(10, "P", &clicks);
    MouseAt(*button, 20, 13);
    MouseButton(true);
    WaitForInputHandled();
    EXPECT_EQ(button->State(), bsDown);
    MouseAt(*button, 200, 100);
    EXPECT_EQ(button->State(), bsUp);
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_EQ(clicks, 0);
    ClickAt(*button, 20, 13);
    EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButtonTest, HeldButtonRepeatsAfter300AndThenEveryInterval) {
    std::vector<DWORD> clickTimes;
    TNewSpeedButton* button = Button(10, "R");
    button->OnClick = [&](TControl&) { clickTimes.push_back(GetTickCount()); };
    button->SetTimerInterval(150);
    MouseAt(*button, 20, 13);
    const DWORD pressed = GetTickCount();
    MouseButton(true);
    ASSERT_TRUE(WaitFor([&] { return clickTimes.size() >= 5; }));
    // Timers never fire early: nothing before 300 ms, then the n-th repeat no sooner than n
    // intervals after the first (a late one may be followed by a quick one).
    EXPECT_GE(clickTimes[0] - pressed, 290u) << "nothing before 300 ms";
    for (size_t i = 1; i < clickTimes.size(); ++i)
        EXPECT_GE(clickTimes[i] - clickTimes[0], 150u * i - 15) << "repeat " << i;
    // Off the button the repeating stops: nothing in the time of three intervals.
    MouseAt(*button, 200, 100);
    const size_t off = clickTimes.size();
    PumpUntil(500);
    EXPECT_EQ(clickTimes.size(), off);
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_EQ(clickTimes.size(), off);
}

TEST_F(SpeedButtonTest, LatchedGroupButtonRepeatsOnlyWhileHeld) {
    int clicks = 0;
    TNewSpeedButton* button = Button(10, "G", &clicks);
    button->SetGroupIndex(3);
    button->SetTimerInterval(100);
    ClickAt(*button, 20, 13);
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(clicks, 1);
    // Latched down but not held: no repeat in the time of several intervals.
    PumpUntil(800);
    EXPECT_EQ(clicks, 1) << "latched down but not held: no repeat";
    // Held by its activation key it repeats until the key goes up.
    MouseAt(*button, 200, 100);
    KeyInput(VK_SPACE, true);
    WaitForInputHandled();
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(button->Down()) << "the key toggled it, but the group keeps one down";
    EXPECT_TRUE(WaitFor([&] { return clicks >= 4; })) << "repeats while the key is held";
    KeyInput(VK_SPACE, false);
    WaitForInputHandled();
    const int held = clicks;
    PumpUntil(400);
    EXPECT_EQ(clicks, held);
}

TEST_F(SpeedButtonTest, GroupsKeepOneButtonDown) {
    TNewSpeedButton* a = Button(10, "1");
    TNewSpeedButton* b = Button(60, "2");
    TNewSpeedButton* c = Button(110, "3");
    TNewSpeedButton* other = Button(160, "x");
    for (TNewSpeedButton* button : {a, b, c}) button->SetGroupIndex(7);
    other->SetGroupIndex(8);
    other->SetDown(true);
    a->SetDown(true);
    ClickAt(*b, 20, 13);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(other->Down()) << "another group";
    ClickAt(*b, 20, 13);
    EXPECT_TRUE(b->Down()) << "without AllowAllUp the down button stays down";
    b->SetDown(false);
    EXPECT_TRUE(b->Down());
    b->SetAllowAllUp(true);
    ClickAt(*b, 20, 13);
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(a->Down() || c->Down());
}

TEST_F(SpeedButtonTest, ArrowPartOpensItsMenuAndTheButtonPartClicks) {
    int clicks = 0, dropDowns = 0;
    TNewSpeedButton* button = Button(10, "", &clicks);
    button->SetWidth(23 + DropDownWidth);
    button->SetDropDown(true);
    auto* menu = new TPopupMenu(form);
    auto* first = new TMenuItem(form);
    first->SetCaption("Eins");
    auto* second = new TMenuItem(form);
    second->SetCaption("Zwei");
    menu->Items().Add(first);
    menu->Items().Add(second);
    std::string chosen;
    second->OnClick = [&](TMenuItem& item) { chosen = item.Caption(); };
    button->SetDropDownPopup(menu);
    bool disabledWhileOpen = false;
    button->OnDropDownClick = [&](TControl&) { ++dropDowns; };
    menu->OnPopup = [&](TPopupMenu&) { disabledWhileOpen = !button->Enabled() && button->State() == bsDown; };
    Later([] {
        PressKey(VK_DOWN);
        PressKey(VK_DOWN);
        PressKey(VK_RETURN);
    }, 50, InMenuMode);
    ClickAt(*button, button->Width() - 4, 13);
    WaitFor([&] { return !chosen.empty(); });
    EXPECT_EQ(dropDowns, 1);
    EXPECT_EQ(chosen, "Zwei");
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(disabledWhileOpen);
    EXPECT_TRUE(button->Enabled());
    EXPECT_FALSE(button->Option(boMenuOpen));
    ClickAt(*button, 8, 13);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dropDowns, 1);
    // Escape closes the menu without a choice; the next click on the arrow opens it again.
    Later([] { PressKey(VK_ESCAPE); }, 50, InMenuMode);
    chosen.clear();
    ClickAt(*button, button->Width() - 4, 13);
    EXPECT_EQ(dropDowns, 2);
    Later([] { PressKey(VK_ESCAPE); }, 50, InMenuMode);
    ClickAt(*button, button->Width() - 4, 13);
    EXPECT_EQ(dropDowns, 3);
    EXPECT_TRUE(chosen.empty());
}

TEST_F(SpeedButtonTest, ShortCutsClickThroughTheApplicationHook) {
    int clicks = 0;
    TNewSpeedButton* button = Button(10, "S", &clicks);
    button->SetShortCut(ShortCut('K', {ssCtrl}));
    ChordKey({VK_CONTROL}, 'K');
    EXPECT_EQ(clicks, 1);
    button->SetEnabled(false);
    ChordKey({VK_CONTROL}, 'K');
    EXPECT_EQ(clicks, 1);
    button->SetEnabled(true);
    button->SetShortCut(0);
    ChordKey({VK_CONTROL}, 'K');
    EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButtonTest, FlatButtonsFollowTheMouseThroughTheTrackingList) {
    TNewSpeedButton* button = Button(10, "H");
    MouseAt(*button, 20, 13);
    WaitForInputHandled();
    EXPECT_TRUE(button->MouseInControl());
    EXPECT_TRUE(IsTrackingControl(button));
    // Leaving to another window: the tracking list tells the button.
    MouseTo(POINT{form->Left() + form->Width() + 40, form->Top() + 20});
    WaitFor([&] { return !button->MouseInControl(); });
    EXPECT_FALSE(button->MouseInControl());
    EXPECT_FALSE(IsTrackingControl(button));
    // A button that is neither flat nor greyed does not track.
    button->SetFlat(false);
    button->SetGraying(false);
    MouseAt(*button, 20, 13);
    EXPECT_FALSE(IsTrackingControl(button));
}

// A control that hosts in-place buttons, as an edit with buttons inside does.
class THostPanel : public TListeningPanel, public TButtonHost {
public:
    explicit THostPanel(TComponent* owner) : TListeningPanel(owner) {}
    int Layouts = 0;
    void LayoutButtons() override { ++Layouts; }
    void WndProc(TMessage& msg) override {
        if (msg.Msg == UM_OPTIONCHANGED && msg.WParam == 0 && msg.LParam == 0) LayoutButtons();
        TListeningPanel::WndProc(msg);
    }
};

TEST_F(SpeedButtonTest, InPlaceButtonsSitAtTheirHostsEdge) {
    auto* host = new THostPanel(form);
    host->SetBounds(10, 60, 200, 24);
    host->SetParent(panel);
    auto* button = new TNewSpeedButton(form);
    button->SetGlyph(MakeGlyph(tgDown).get());
    button->SetInplaced(true);
    button->SetParent(host);
    WaitForInputHandled();
    EXPECT_EQ(button->Align(), alRight);
    EXPECT_EQ(button->Layout(), blGlyphRight);
    EXPECT_EQ(button->Width(), 16 + 6);
    EXPECT_EQ(button->Left(), 200 - 22);
    EXPECT_GE(host->Layouts, 1) << "the host was asked to lay its buttons out";
    EXPECT_EQ(button->Color(), clBtnFace);
    const int layouts = host->Layouts;
    button->SetBounds(button->Left(), 0, -1, 24);
    EXPECT_EQ(button->Width(), GetSystemMetrics(SM_CXVSCROLL));
    button->Hide();
    button->SetAllwaysShow(true);
    EXPECT_TRUE(button->Visible());
    button->SetAllwaysShow(false);
    EXPECT_FALSE(button->Visible());
    WaitForInputHandled();
    EXPECT_GT(host->Layouts, layouts);
}

TEST_F(SpeedButtonTest, ReplacedDefaultsReachTheButtonsOfOneOwnerOnly) {
    TNewSpeedButton* mine = Button(10);
    auto* other = new TNewSpeedButton(nullptr);  // owned by no form
    const TSpeedButtonDefaults row{OptionBit(boDrawFrame), clBtnFace};
    ApplySpeedButtonDefaults(false, row, form);
    EXPECT_FALSE(mine->Flat() || mine->Transparent());
    EXPECT_EQ(mine->Color(), clBtnFace);
    EXPECT_TRUE(other->Flat()) << "not owned by the form";
    EXPECT_EQ(SpeedButtonDefaults(false), BuiltinSpeedButtonDefaults(false)) << "the row comes back";
    // A button that left the defaults keeps its own look.
    mine->SetFlat(true);
    ApplySpeedButtonDefaults(false, {0, clBtnShadow}, form);
    EXPECT_TRUE(mine->Flat());
    delete other;
}

TEST_F(SpeedButtonTest, TheShortCutIsAPublishedPropertyForTheHint) {
    TNewSpeedButton* button = Button(10);
    button->SetShortCut(ShortCut(VK_F3, {}));
    const TPropInfo* prop = button->ClassType().FindProp("ShortCut");
    ASSERT_NE(prop, nullptr);
    EXPECT_EQ(std::get<int32_t>(prop->Get(*button)), VK_F3);
    EXPECT_EQ(ShortCutToText(static_cast<TShortCut>(std::get<int32_t>(prop->Get(*button)))), "F3");
}

TEST_F(SpeedButtonTest, StatesScreenshot) {
    form->SetBounds(120, 120, 470, 120);
    panel->SetBounds(0, 0, 460, 90);
    struct TButtonCase {
        const char* caption;
        TTestGlyph glyph;
        std::function<void(TNewSpeedButton&)> setup;
    } cases[] = {
        {"", tgNew, [](TNewSpeedButton& b) {
             b.SetFlat(false);
             b.SetTransparent(false);
             b.SetGraying(false);
             b.SetColor(clBtnFace);
         }},
        {"", tgOpen, [](TNewSpeedButton& b) { b.SetFlat(false); b.SetGraying(false); }},
        {"", tgSave, [](TNewSpeedButton&) {}},
        {"", tgCopy, [](TNewSpeedButton&) {}},
        {"", tgPrint, [](TNewSpeedButton& b) { b.SetGroupIndex(1); b.SetDown(true); }},
        {"", tgBold, [](TNewSpeedButton& b) { b.SetEnabled(false); }},
        {"", tgSave, [](TNewSpeedButton& b) { b.SetGraying(false); b.SetEnabled(false); }},
        {"Text", tgOpen, [](TNewSpeedButton& b) { b.SetWidth(62); b.SetGraying(false); }},
        {"", tgBold, [](TNewSpeedButton& b) { b.SetWidth(23 + DropDownWidth); b.SetDropDown(true); }},
        {"", tgCopy, [](TNewSpeedButton& b) { b.SetWidth(23 + DropDownWidth); b.SetDropDown(true); b.SetFlat(false); }},
    };
    std::vector<TNewSpeedButton*> buttons;
    int left = 8;
    for (const TButtonCase& shown : cases) {
        auto* button = new TNewSpeedButton(form);
        button->SetBounds(left, 30, 23, 22);
        button->SetCaption(shown.caption);
        button->SetGlyph(MakeGlyph(shown.glyph).get());
        button->SetParent(panel);
        shown.setup(*button);
        button->Loaded();
        left += button->Width() + 6;
        buttons.push_back(button);
    }
    MouseAt(*buttons[3], 10, 10);  // hot, flat
    WaitForInputHandled();
    EXPECT_TRUE(buttons[3]->MouseInControl());
    Shot(form->Handle(), "speed_buttons_hot");
    MouseAt(*buttons[1], 10, 10);
    MouseButton(true);
    WaitForInputHandled();
    EXPECT_EQ(buttons[1]->State(), bsDown);
    Shot(form->Handle(), "speed_buttons_pressed");
    MouseButton(false);
    WaitForInputHandled();
    MouseAt(*buttons[8], 10, 10);  // hot drop-down, the button part
    Shot(form->Handle(), "speed_buttons_dropdown_hot");
}

}  // namespace
