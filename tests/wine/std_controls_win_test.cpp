// The standard controls driven for real on a shown form: typing into the edit, clicking
// buttons, check boxes and radio buttons with BM_CLICK, picking combo and list items through
// their notifications, scrolling, status bar texts read back from the window, accelerators,
// code page 1252 texts through the W interface, and a screenshot of a form with all of them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "tests/wine/screenshot_win.h"
#include "tests/wine/winui_testing_win.h"
#include "winui/application_win.h"
#include "winui/form_win.h"
#include "winui/std_buttons_win.h"
#include "winui/std_controls_win.h"
#include "winui/std_edits_win.h"
#include "winui/std_lists_win.h"

namespace {

const std::string Umlauts = "Gr\xF6\xDF" "e";      // "Größe" in code page 1252
const std::wstring UmlautsWide = L"Gr\u00F6\u00DFe";

std::wstring WideWindowText(HWND window) {
    wchar_t buffer[512] = {};
    const int length = GetWindowTextW(window, buffer, 512);
    return std::wstring(buffer, length);
}

// True once Form is up on the screen: a modal loop runs, so clicks and keys meant for it can go.
bool Showing(TForm* form) { return form->HandleAllocated() && IsWindowVisible(form->Handle()); }

// A form shown on the screen; each test puts its controls on it.
class StdControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = NewForm<TForm>(Application);
        form->SetCaption("Standard controls");
        form->SetBounds(60, 60, 460, 400);
    }
    void TearDown() override { delete form; }

    void ShowForm() {
        form->Show();
        SetForegroundWindow(form->Handle());
        WaitForInputHandled();
    }
    template <class T>
    T* Add(int left, int top, int width, int height, TWinControl* parent = nullptr) {
        T* control = new T(form);
        control->SetParent(parent ? parent : form);
        control->SetBounds(left, top, width, height);
        return control;
    }
    // A notification as the control's window sends it to its parent.
    void Notify(TWinControl& control, WORD code) {
        HWND window = control.Handle();
        SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code),
                     reinterpret_cast<LPARAM>(window));
    }
    void Type(HWND window, const std::wstring& text) {
        for (wchar_t c : text) SendMessageW(window, WM_CHAR, c, 1);
    }

    TForm* form = nullptr;
};

// --- edit ---

TEST_F(StdControlsTest, TypingIntoTheEditFiresOnChangeAndUpdatesText) {
    auto* edit = Add<TEdit>(10, 10, 200, 21);
    int changes = 0;
    edit->OnChange = [&](TControl& sender) {
        EXPECT_EQ(&sender, edit);
        ++changes;
    };
    ShowForm();
    edit->SetFocus();
    Type(edit->Handle(), UmlautsWide);
    EXPECT_EQ(edit->Text(), Umlauts);
    EXPECT_EQ(changes, 5);
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(edit->SelStart(), 5);

    // Backspace removes the last character and is one more change.
    SendMessageW(edit->Handle(), WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(edit->Text(), "Gr\xF6\xDF");
    EXPECT_EQ(changes, 6);

    // A text set by the program fires OnChange too but is no user modification.
    edit->SetText("neu");
    EXPECT_EQ(changes, 7);
    EXPECT_FALSE(edit->Modified());
}

TEST_F(StdControlsTest, EditSelectionLimitsAndModes) {
    auto* edit = Add<TEdit>(10, 10, 200, 21);
    ShowForm();
    edit->SetText("Hallo Welt");
    edit->SetSelStart(6);
    edit->SetSelLength(4);
    EXPECT_EQ(edit->SelText(), "Welt");
    edit->SetSelText("Erde");
    EXPECT_EQ(edit->Text(), "Hallo Erde");
    EXPECT_TRUE(edit->Modified());
    edit->SetModified(false);
    EXPECT_FALSE(edit->Modified());

    // A selection past the end is cut to the text.
    edit->SetSelStart(3);
    edit->SetSelLength(100);
    EXPECT_EQ(edit->SelText(), "lo Erde");

    // The length limit applies to typing only.
    edit->SetText(std::string());
    edit->SetMaxLength(3);
    Type(edit->Handle(), L"abcdef");
    EXPECT_EQ(edit->Text(), "abc");
    edit->SetText("longer than three");
    EXPECT_EQ(edit->Text(), "longer than three");
    EXPECT_THROW(edit->SetMaxLength(-1), Exception);

    edit->SetMaxLength(0);
    edit->SetText("fest");
    edit->SetReadOnly(true);
    edit->SetSelStart(4);
    Type(edit->Handle(), L"xyz");
    EXPECT_EQ(edit->Text(), "fest");
    EXPECT_TRUE(GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_READONLY);

    // The password character survives the re-creation of the window, and so does the text.
    edit->SetReadOnly(false);
    edit->SetPasswordChar('*');
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_EQ(edit->Text(), "fest");
}

TEST_F(StdControlsTest, AutoSelectSelectsAllWhenTabbedInto) {
    auto* first = Add<TEdit>(10, 10, 120, 21);
    auto* second = Add<TEdit>(10, 40, 120, 21);
    second->SetText("alles markiert");
    ShowForm();
    first->SetFocus();
    PostMessageW(first->Handle(), WM_KEYDOWN, VK_TAB, 1);
    WaitForInputHandled();
    ASSERT_EQ(GetFocus(), second->Handle());
    EXPECT_EQ(second->SelStart(), 0);
    EXPECT_EQ(second->SelLength(), 14);
}

// --- code page 1252 through the W interface ---

TEST_F(StdControlsTest, UmlautTextsSurviveEveryControl) {
    auto* edit = Add<TEdit>(10, 10, 120, 21);
    auto* button = Add<TButton>(10, 40, 120, 25);
    auto* check = Add<TCheckBox>(10, 70, 120, 17);
    auto* combo = Add<TComboBox>(10, 100, 120, 21);
    auto* list = Add<TListBox>(10, 130, 120, 60);
    auto* status = Add<TStatusBar>(0, 0, 100, 20);
    ShowForm();
    struct Row {
        const char* name;
        TWinControl* control;
    };
    for (const Row& row : {Row{"edit", edit}, Row{"button", button}, Row{"check box", check},
                           Row{"combo box", combo}}) {
        row.control->SetText(Umlauts);
        EXPECT_EQ(WideWindowText(row.control->Handle()), UmlautsWide) << row.name;
        SetWindowTextW(row.control->Handle(), L"\u00C4rger \u00FCber \u20AC");
        EXPECT_EQ(row.control->Text(), "\xC4rger \xFC" "ber \x80") << row.name;
    }
    list->Items().Add(Umlauts);
    wchar_t item[64] = {};
    SendMessageW(list->Handle(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(std::wstring(item), UmlautsWide);
    combo->Items().Add(Umlauts);
    SendMessageW(combo->Handle(), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(std::wstring(item), UmlautsWide);
    status->AddPanel().SetText(Umlauts);
    SendMessageW(status->Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(std::wstring(item), UmlautsWide);
}

// --- buttons ---

TEST_F(StdControlsTest, ButtonWithModalResultEndsTheModalForm) {
    auto* ok = Add<TButton>(10, 10, 75, 25);
    ok->SetModalResult(mrOk);
    int clicks = 0;
    ok->OnClick = [&](TControl&) { ++clicks; };
    Later([ok] { PostMessageW(ok->Handle(), BM_CLICK, 0, 0); }, 50, [this] { return Showing(form); });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(StdControlsTest, EnterClicksTheDefaultButtonAndEscapeTheCancelButton) {
    struct Row {
        WORD key;
        TModalResult expected;
    };
    for (const Row& row : {Row{VK_RETURN, mrYes}, Row{VK_ESCAPE, mrNo}}) {
        TForm* dialog = NewForm<TForm>(Application);
        dialog->SetBounds(80, 80, 300, 150);
        auto* edit = new TEdit(dialog);
        edit->SetParent(dialog);
        edit->SetBounds(10, 10, 150, 21);
        auto* yes = new TButton(dialog);
        yes->SetParent(dialog);
        yes->SetBounds(10, 50, 75, 25);
        yes->SetDefault(true);
        yes->SetModalResult(mrYes);
        auto* no = new TButton(dialog);
        no->SetParent(dialog);
        no->SetBounds(100, 50, 75, 25);
        no->SetCancel(true);
        no->SetModalResult(mrNo);
        dialog->SetActiveControl(edit);
        Later([edit, key = row.key] {
            SetFocus(edit->Handle());
            PostMessageW(edit->Handle(), WM_KEYDOWN, key, 1);
            PostMessageW(edit->Handle(), WM_KEYUP, key, 0xC0000001);
        }, 50, [dialog] { return Showing(dialog); });
        EXPECT_EQ(dialog->ShowModal(), row.expected) << "key " << row.key;
        delete dialog;
    }
}

TEST_F(StdControlsTest, DefaultFrameFollowsTheFocus) {
    auto* edit = Add<TEdit>(10, 10, 120, 21);
    auto* ok = Add<TButton>(10, 40, 75, 25);
    auto* other = Add<TButton>(100, 40, 75, 25);
    ok->SetDefault(true);
    ShowForm();
    edit->SetFocus();
    auto isDefault = [](TButton* b) { return (GetWindowLongW(b->Handle(), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON; };
    EXPECT_TRUE(isDefault(ok));
    EXPECT_FALSE(isDefault(other));
    other->SetFocus();
    EXPECT_FALSE(isDefault(ok));
    EXPECT_TRUE(isDefault(other));
    edit->SetFocus();
    EXPECT_TRUE(isDefault(ok));
    EXPECT_FALSE(isDefault(other));
}

TEST_F(StdControlsTest, BitButtonKindsGiveCaptionResultAndRole) {
    struct Row {
        TBitBtnKind kind;
        int captionId;
        TModalResult result;
        bool isDefault;
        bool isCancel;
    };
    const Row rows[] = {
        {bkOK, sid::ButtonOK, mrOk, true, false},        {bkCancel, sid::ButtonCancel, mrCancel, false, true},
        {bkYes, sid::ButtonYes, mrYes, true, false},     {bkNo, sid::ButtonNo, mrNo, false, true},
        {bkAbort, sid::ButtonAbort, mrAbort, false, false}, {bkRetry, sid::ButtonRetry, mrRetry, false, false},
        {bkIgnore, sid::ButtonIgnore, mrIgnore, false, false}, {bkAll, sid::ButtonAll, mrAll, false, false},
        {bkHelp, sid::ButtonHelp, mrNone, false, false},  {bkClose, sid::ButtonClose, mrNone, false, false},
    };
    for (const Row& row : rows) {
        TBitBtn button(nullptr);
        button.SetKind(row.kind);
        EXPECT_EQ(button.Caption(), LoadStr(row.captionId)) << row.kind;
        EXPECT_FALSE(button.Caption().empty()) << row.kind;
        EXPECT_EQ(button.ModalResult(), row.result) << row.kind;
        EXPECT_EQ(button.Default(), row.isDefault) << row.kind;
        EXPECT_EQ(button.Cancel(), row.isCancel) << row.kind;
    }
    EXPECT_EQ(TBitBtn::KindCaption(bkYes), "&Ja");
}

TEST_F(StdControlsTest, BitButtonClickAnswersTheModalForm) {
    auto* yes = Add<TBitBtn>(10, 10, 90, 27);
    yes->SetKind(bkYes);
    auto* no = Add<TBitBtn>(110, 10, 90, 27);
    no->SetKind(bkNo);
    EXPECT_TRUE(GetWindowLongW(yes->Handle(), GWL_STYLE) & BS_OWNERDRAW);
    Later([no] { PostMessageW(no->Handle(), BM_CLICK, 0, 0); }, 50, [this] { return Showing(form); });
    EXPECT_EQ(form->ShowModal(), mrNo);
    Later([yes] { PostMessageW(yes->Handle(), BM_CLICK, 0, 0); }, 50, [this] { return Showing(form); });
    EXPECT_EQ(form->ShowModal(), mrYes);
}

TEST_F(StdControlsTest, CloseKindClosesTheForm) {
    auto* close = Add<TBitBtn>(10, 10, 90, 27);
    close->SetKind(bkClose);
    bool closed = false;
    form->OnClose = [&](TForm&, TCloseAction&) { closed = true; };
    ShowForm();
    SendMessageW(close->Handle(), BM_CLICK, 0, 0);
    WaitForInputHandled();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(StdControlsTest, BitButtonRejectsBadGlyphCounts) {
    TBitBtn button(nullptr);
    for (int bad : {0, 5, -1}) EXPECT_THROW(button.SetNumGlyphs(bad), Exception) << bad;
    button.SetNumGlyphs(4);
    EXPECT_EQ(button.NumGlyphs(), 4);
}

TEST_F(StdControlsTest, CheckBoxClicksCycleThroughItsStates) {
    struct Row {
        bool allowGrayed;
        std::vector<TCheckBoxState> states;
    };
    const Row rows[] = {{false, {cbChecked, cbUnchecked, cbChecked}},
                        {true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}}};
    int top = 10;
    ShowForm();
    for (const Row& row : rows) {
        auto* box = Add<TCheckBox>(10, top, 150, 17);
        top += 25;
        box->SetCaption("Option");
        box->SetAllowGrayed(row.allowGrayed);
        std::vector<TCheckBoxState> seen;
        box->OnClick = [&seen, box](TControl&) { seen.push_back(box->State()); };
        for (size_t i = 0; i < row.states.size(); ++i) {
            SendMessageW(box->Handle(), BM_CLICK, 0, 0);
            EXPECT_EQ(box->State(), row.states[i]) << "grayed " << row.allowGrayed << " click " << i;
            EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(row.states[i]));
        }
        EXPECT_EQ(seen, row.states);
    }
}

TEST_F(StdControlsTest, CheckBoxStateSurvivesRecreation) {
    auto* box = Add<TCheckBox>(10, 10, 150, 17);
    ShowForm();
    box->SetChecked(true);
    box->SetAlignment(taLeftJustify);  // re-creates the window
    EXPECT_TRUE(GetWindowLongW(box->Handle(), GWL_STYLE) & BS_LEFTTEXT);
    EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(box->Checked());
}

TEST_F(StdControlsTest, RadioButtonsAreGroupedByTheirParent) {
    auto* panel = Add<TPanel>(200, 10, 150, 80);
    auto* a = Add<TRadioButton>(10, 10, 150, 17);
    auto* b = Add<TRadioButton>(10, 35, 150, 17);
    auto* c = Add<TRadioButton>(10, 60, 150, 17);
    auto* other = Add<TRadioButton>(10, 10, 120, 17, panel);
    other->SetChecked(true);
    a->SetChecked(true);
    std::vector<TControl*> clicked;
    for (TRadioButton* r : {a, b, c}) r->OnClick = [&clicked](TControl& sender) { clicked.push_back(&sender); };
    ShowForm();
    SendMessageW(b->Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(c->Checked());
    EXPECT_TRUE(other->Checked());
    EXPECT_EQ(SendMessageW(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(b->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], b);
    // Clicking the checked one again changes nothing.
    SendMessageW(b->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(b->Checked());
    EXPECT_EQ(clicked.size(), 1u);
}

// --- combo box and list box ---

std::vector<std::wstring> ComboLines(HWND window) {
    std::vector<std::wstring> lines;
    const int count = static_cast<int>(SendMessageW(window, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[256] = {};
        SendMessageW(window, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
        lines.emplace_back(buffer);
    }
    return lines;
}

std::vector<std::wstring> ListLines(HWND window) {
    std::vector<std::wstring> lines;
    const int count = static_cast<int>(SendMessageW(window, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[256] = {};
        SendMessageW(window, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
        lines.emplace_back(buffer);
    }
    return lines;
}

TEST_F(StdControlsTest, ComboSelectionUpdatesItemIndexTextAndFiresOnChange) {
    auto* combo = Add<TComboBox>(10, 10, 150, 21);
    combo->Items().SetLines({"eins", "zwei", "drei"});
    int changes = 0;
    std::string textInHandler;
    combo->OnChange = [&](TControl&) {
        ++changes;
        textInHandler = combo->Text();
    };
    ShowForm();
    EXPECT_EQ(ComboLines(combo->Handle()), (std::vector<std::wstring>{L"eins", L"zwei", L"drei"}));
    SendMessageW(combo->Handle(), CB_SETCURSEL, 1, 0);
    Notify(*combo, CBN_SELCHANGE);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(textInHandler, "zwei");
    EXPECT_EQ(combo->Text(), "zwei");

    // Typing into the edit part is a change as well.
    HWND edit = FindWindowExW(combo->Handle(), nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"vier");
    Notify(*combo, CBN_EDITCHANGE);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(combo->Text(), "vier");

    // The program's selection fires nothing.
    combo->SetItemIndex(2);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCURSEL, 0, 0), 2);
    EXPECT_THROW(combo->SetItemIndex(3), Exception);
    try {
        combo->SetItemIndex(-2);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Id(), sid::ComboBoxIndexError);
    }
}

TEST_F(StdControlsTest, ItemChangesReachTheWindowInPlace) {
    struct Step {
        const char* name;
        std::function<void(TStringList&)> change;
        std::vector<std::wstring> expected;
    };
    const std::vector<Step> steps = {
        {"add", [](TStringList& s) { s.Add("d"); }, {L"a", L"b", L"c", L"d"}},
        {"insert", [](TStringList& s) { s.Insert(1, "x"); }, {L"a", L"x", L"b", L"c", L"d"}},
        {"delete", [](TStringList& s) { s.Delete(0); }, {L"x", L"b", L"c", L"d"}},
        {"replace", [](TStringList& s) { s.SetStrings(2, "C"); }, {L"x", L"b", L"C", L"d"}},
        {"duplicate", [](TStringList& s) { s.Insert(1, "x"); }, {L"x", L"x", L"b", L"C", L"d"}},
        {"move", [](TStringList& s) { s.Move(4, 0); }, {L"d", L"x", L"x", L"b", L"C"}},
        {"clear", [](TStringList& s) { s.Clear(); }, {}},
        {"refill", [](TStringList& s) { s.SetLines({"1", "2"}); }, {L"1", L"2"}},
    };
    auto* combo = Add<TComboBox>(10, 10, 150, 21);
    auto* list = Add<TListBox>(10, 40, 150, 100);
    combo->Items().SetLines({"a", "b", "c"});
    list->Items().SetLines({"a", "b", "c"});
    ShowForm();
    for (const Step& step : steps) {
        step.change(combo->Items());
        step.change(list->Items());
        EXPECT_EQ(ComboLines(combo->Handle()), step.expected) << step.name;
        EXPECT_EQ(ListLines(list->Handle()), step.expected) << step.name;
    }
    // A new window is filled from Items again.
    list->SetMultiSelect(true);
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(ListLines(list->Handle()), (std::vector<std::wstring>{L"1", L"2"}));
    EXPECT_EQ(ComboLines(combo->Handle()), (std::vector<std::wstring>{L"1", L"2"}));
}

TEST_F(StdControlsTest, SortedListsKeepItemsInCaseInsensitiveOrder) {
    auto* combo = Add<TComboBox>(10, 10, 150, 21);
    auto* list = Add<TListBox>(10, 40, 150, 100);
    ShowForm();
    int tag = 7;
    for (TStringList* items : {&combo->Items(), &list->Items()}) items->AddObject("beta", &tag);
    combo->SetSorted(true);
    list->SetSorted(true);
    for (TStringList* items : {&combo->Items(), &list->Items()}) {
        items->Add("Alpha");
        items->Add("gamma");
        items->Add("alpha2");
        items->Add("\xC4pfel");  // "Äpfel" sorts with the A words
    }
    const std::vector<std::string> expected{"Alpha", "alpha2", "\xC4pfel", "beta", "gamma"};
    EXPECT_EQ(combo->Items().Lines(), expected);
    EXPECT_EQ(list->Items().Lines(), expected);
    EXPECT_EQ(list->Items().Objects(3), &tag);
    EXPECT_EQ(ListLines(list->Handle()).at(2), L"\u00C4pfel");
    EXPECT_EQ(ComboLines(combo->Handle()).at(4), L"gamma");
}

TEST_F(StdControlsTest, DropDownListTextSelectsTheItem) {
    auto* combo = Add<TComboBox>(10, 10, 150, 21);
    combo->SetStyle(csDropDownList);
    combo->Items().SetLines({"rot", "gr\xFCn", "blau"});
    ShowForm();
    combo->SetText("GR\xDCN");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), "gr\xFCn");
    combo->SetText("lila");  // not in the list: nothing changes
    EXPECT_EQ(combo->ItemIndex(), 1);
    int drops = 0;
    combo->OnDropDown = [&](TControl&) {
        ++drops;
        combo->Items().Add("neu beim \xD6" "ffnen");
    };
    combo->SetDroppedDown(true);
    WaitForInputHandled();
    EXPECT_EQ(drops, 1);
    EXPECT_TRUE(combo->DroppedDown());
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 4);
    combo->SetDroppedDown(false);
    // The open list has room for all four items (fewer than DropDownCount).
    RECT dropped;
    SendMessageW(combo->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_GE(dropped.bottom - dropped.top, 4 * combo->ItemHeight());
}

TEST_F(StdControlsTest, ListSelectionFiresOnClickAndDoubleClick) {
    auto* list = Add<TListBox>(10, 10, 150, 100);
    list->Items().SetLines({"eins", "zwei", "drei"});
    int clicks = 0;
    int doubleClicks = 0;
    list->OnClick = [&](TControl&) { ++clicks; };
    list->OnDblClick = [&](TControl&) { ++doubleClicks; };
    ShowForm();
    SendMessageW(list->Handle(), LB_SETCURSEL, 2, 0);
    Notify(*list, LBN_SELCHANGE);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    Notify(*list, LBN_DBLCLK);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_TRUE(list->Selected(2));
    EXPECT_FALSE(list->Selected(0));

    // A real click on the first row.
    RECT row = list->ItemRect(0);
    PostMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, row.top + 2));
    PostMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, row.top + 2));
    WaitForInputHandled();
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(list->ItemAtPos({5, row.top + 2}, true), 0);
    EXPECT_EQ(list->ItemAtPos({5, 95}, true), -1);

    list->SetItemIndex(-1);
    EXPECT_EQ(list->ItemIndex(), -1);
    for (int bad : {3, -2, 100}) {
        try {
            list->SetItemIndex(bad);
            ADD_FAILURE() << bad;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Id(), sid::ListBoxIndexError) << bad;
        }
        EXPECT_THROW(list->Selected(bad), Exception) << bad;
    }
}

TEST_F(StdControlsTest, MultiSelectListKeepsSelectionAcrossRecreation) {
    auto* list = Add<TListBox>(10, 10, 150, 100);
    list->Items().SetLines({"a", "b", "c", "d"});
    list->SetMultiSelect(true);
    ShowForm();
    list->SetSelected(0, true);
    list->SetSelected(2, true);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_GT(SendMessageW(list->Handle(), LB_GETSEL, 2, 0), 0);
    list->SetExtendedSelect(false);  // re-creates the window
    EXPECT_TRUE(GetWindowLongW(list->Handle(), GWL_STYLE) & LBS_MULTIPLESEL);
    EXPECT_TRUE(list->Selected(0));
    EXPECT_FALSE(list->Selected(1));
    EXPECT_TRUE(list->Selected(2));
    list->ClearSelection();
    EXPECT_EQ(list->SelCount(), 0);
}

TEST_F(StdControlsTest, OwnerDrawnListsDrawAndMeasureThroughTheirEvents) {
    auto* fixed = Add<TListBox>(10, 10, 150, 100);
    fixed->SetStyle(lbOwnerDrawFixed);
    fixed->SetItemHeight(20);
    std::vector<int> drawn;
    fixed->OnDrawItem = [&](TControl& sender, int index, RECT rect, TOwnerDrawState) {
        EXPECT_EQ(&sender, fixed);
        drawn.push_back(index);
        fixed->Canvas().FillRect(rect);
        fixed->Canvas().TextOut(rect.left + 2, rect.top + 2, fixed->Items().Strings(index));
    };
    fixed->Items().SetLines({"a", "b", "c"});
    auto* variable = Add<TListBox>(170, 10, 150, 150);
    variable->SetStyle(lbOwnerDrawVariable);
    variable->OnMeasureItem = [](TControl&, int index, int& height) { height = 14 + 6 * index; };
    variable->Items().SetLines({"klein", "mittel", "gro\xDF"});
    auto* combo = Add<TComboBox>(10, 120, 150, 21);
    combo->SetStyle(csOwnerDrawFixed);
    combo->SetItemHeight(18);
    combo->Items().SetLines({"x", "y"});
    ShowForm();
    UpdateWindow(fixed->Handle());
    WaitForInputHandled();
    EXPECT_EQ(SendMessageW(fixed->Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 2), drawn.end());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SendMessageW(variable->Handle(), LB_GETITEMHEIGHT, i, 0), 14 + 6 * i) << i;
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 0, 0), 18);
    EXPECT_TRUE(GetWindowLongW(combo->Handle(), GWL_STYLE) & CBS_OWNERDRAWFIXED);
}

// --- scroll bar, status bar ---

TEST_F(StdControlsTest, ScrollBarFollowsScrollMessages) {
    auto* bar = Add<TScrollBar>(10, 10, 200, 17);
    bar->SetParams(10, 0, 50);
    bar->SetSmallChange(2);
    bar->SetLargeChange(10);
    std::vector<int> changes;
    bar->OnChange = [&](TControl&) { changes.push_back(bar->Position()); };
    ShowForm();
    struct Row {
        WORD code;
        int expected;
    };
    const Row rows[] = {{SB_LINEDOWN, 12}, {SB_LINEUP, 10}, {SB_PAGEDOWN, 20}, {SB_PAGEUP, 10},
                        {SB_BOTTOM, 50},   {SB_PAGEDOWN, 50}, {SB_TOP, 0},     {SB_LINEUP, 0}};
    for (const Row& row : rows) {
        SendMessageW(form->Handle(), WM_HSCROLL, row.code, reinterpret_cast<LPARAM>(bar->Handle()));
        EXPECT_EQ(bar->Position(), row.expected) << "code " << row.code;
        EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), row.expected) << "code " << row.code;
    }
    // Only real moves are changes.
    EXPECT_EQ(changes, (std::vector<int>{12, 10, 20, 10, 50, 0}));

    // OnScroll may correct the new position: here it snaps to tens.
    bar->OnScroll = [](TControl&, TScrollCode code, int& position) {
        if (code == scLineDown) position = (position + 9) / 10 * 10;
    };
    SendMessageW(form->Handle(), WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
    EXPECT_EQ(bar->Position(), 10);

    EXPECT_THROW(bar->SetParams(0, 10, 5), Exception);
    bar->SetMax(5);
    EXPECT_EQ(bar->Position(), 5);
    bar->SetKind(sbVertical);
    EXPECT_EQ(bar->Width(), 17);
    EXPECT_TRUE(GetWindowLongW(bar->Handle(), GWL_STYLE) & SBS_VERT);
    EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 5);
}

TEST_F(StdControlsTest, StatusBarPanelsReadBackFromTheWindow) {
    auto* status = Add<TStatusBar>(0, 0, 100, 20);
    TStatusPanel& first = status->AddPanel();
    first.SetWidth(120);
    first.SetText("Zeile: 1");
    TStatusPanel& second = status->AddPanel();
    second.SetWidth(60);
    second.SetText("ge\xE4ndert");
    status->AddPanel().SetText("Hinweis");
    ShowForm();
    EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight());
    EXPECT_EQ(status->Width(), form->ClientWidth());
    EXPECT_EQ(SendMessageW(status->Handle(), SB_GETPARTS, 0, 0), 3);
    int edges[3] = {};
    SendMessageW(status->Handle(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0], 120);
    EXPECT_EQ(edges[1], 180);
    EXPECT_EQ(edges[2], -1);
    const std::wstring expected[] = {L"Zeile: 1", L"ge\u00E4ndert", L"Hinweis"};
    for (int i = 0; i < 3; ++i) {
        wchar_t buffer[64] = {};
        SendMessageW(status->Handle(), SB_GETTEXTW, i, reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(std::wstring(buffer), expected[i]) << i;
    }
    RECT part = status->PanelRect(1);
    EXPECT_GT(part.right - part.left, 40);
    EXPECT_THROW(status->Panels(3), Exception);

    status->SetSimplePanel(true);
    status->SetSimpleText("Suche l\xE4uft");
    EXPECT_TRUE(SendMessageW(status->Handle(), SB_ISSIMPLE, 0, 0));
    wchar_t buffer[64] = {};
    // A simple status bar reads its text as part 0.
    SendMessageW(status->Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(std::wstring(buffer), L"Suche l\u00E4uft");
    status->SetSimplePanel(false);
    EXPECT_FALSE(SendMessageW(status->Handle(), SB_ISSIMPLE, 0, 0));
}

// --- label, panel, group box ---

TEST_F(StdControlsTest, LabelSizesItselfToItsText) {
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(10, 10, 10, 10);
    label->SetCaption("kurz");
    const int shortWidth = label->Width();
    label->SetCaption("ein deutlich l\xE4ngerer Text");
    EXPECT_GT(label->Width(), shortWidth);
    const int lineHeight = label->Height();
    EXPECT_GT(lineHeight, 8);

    // Right-aligned labels keep their right edge.
    label->SetAlignment(taRightJustify);
    const int right = label->Left() + label->Width();
    label->SetCaption("x");
    EXPECT_EQ(label->Left() + label->Width(), right);

    // Word wrap keeps the width and grows downwards.
    label->SetAlignment(taLeftJustify);
    label->SetWordWrap(true);
    label->SetWidth(60);
    label->SetCaption("viele kurze W\xF6rter in einer langen Zeile");
    EXPECT_EQ(label->Width(), 60);
    EXPECT_GE(label->Height(), 3 * lineHeight);

    label->SetAutoSize(false);
    label->SetCaption("x");
    EXPECT_EQ(label->Width(), 60);
}

TEST_F(StdControlsTest, LabelAcceleratorFocusesItsControl) {
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(10, 14, 60, 17);
    label->SetCaption("&Name:");
    auto* button = Add<TButton>(200, 10, 75, 25);
    button->SetCaption("Knopf");
    auto* edit = Add<TEdit>(80, 10, 100, 21);
    label->SetFocusControl(edit);
    ShowForm();
    button->SetFocus();
    // Alt+N: the menu key message goes through the form's accelerator handling.
    PostMessageW(button->Handle(), WM_SYSCHAR, 'n', 1 << 29);
    WaitForInputHandled();
    EXPECT_EQ(GetFocus(), edit->Handle());
    // The label lets go of a control that is freed.
    delete edit;
    EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(StdControlsTest, PanelAndGroupBoxAlignChildrenInsideTheirFrames) {
    auto* panel = Add<TPanel>(10, 10, 200, 100);
    panel->SetBorderWidth(3);
    panel->SetBevelWidth(2);
    panel->SetBevelInner(bvLowered);
    auto* inner = Add<TPanel>(0, 0, 10, 10, panel);
    inner->SetAlign(alClient);
    auto* group = Add<TGroupBox>(220, 10, 200, 100);
    group->SetCaption("Gruppe");
    auto* content = Add<TPanel>(0, 0, 10, 10, group);
    content->SetAlign(alClient);
    ShowForm();
    // Border 3, outer and inner bevel 2 each.
    EXPECT_EQ(inner->Left(), 7);
    EXPECT_EQ(inner->Top(), 7);
    EXPECT_EQ(inner->Width(), 200 - 14);
    EXPECT_EQ(inner->Height(), 100 - 14);
    panel->SetBevelOuter(bvNone);
    EXPECT_EQ(inner->Left(), 5);
    // The group box's content starts below its caption.
    EXPECT_GT(content->Top(), 8);
    EXPECT_LT(content->Top(), 24);
    EXPECT_GT(content->Left(), 0);
    EXPECT_LT(content->Left() + content->Width(), 200);
    EXPECT_THROW(panel->SetBevelWidth(0), Exception);
    EXPECT_THROW(panel->SetBorderWidth(-1), Exception);
}

// --- all controls on one form ---

TEST_F(StdControlsTest, ScreenshotOfAllControls) {
    form->SetCaption("Standardsteuerelemente");
    form->SetBounds(40, 40, 560, 420);
    auto label = [&](int left, int top, const std::string& caption) {
        auto* l = new TLabel(form);
        l->SetParent(form);
        l->SetBounds(left, top, 80, 17);
        l->SetCaption(caption);
        return l;
    };
    label(12, 15, "&Name:");
    auto* edit = Add<TEdit>(90, 12, 180, 21);
    edit->SetText(Umlauts + " und Gewicht");
    label(12, 45, "Auswahl:");
    auto* combo = Add<TComboBox>(90, 42, 180, 21);
    combo->Items().SetLines({"Links", "Rechts", "Zentriert"});
    combo->SetItemIndex(2);
    label(12, 75, "Farbe:");
    auto* colorCombo = Add<TComboBox>(90, 72, 180, 21);
    colorCombo->SetStyle(csOwnerDrawFixed);
    colorCombo->Items().SetLines({"Rot", "Gr\xFCn", "Blau"});
    colorCombo->OnDrawItem = [colorCombo](TControl&, int index, RECT rect, TOwnerDrawState) {
        TCanvas& canvas = colorCombo->Canvas();
        canvas.FillRect(rect);
        const TColor colors[] = {clRed, clGreen, clBlue};
        canvas.Brush().SetColor(colors[index]);
        canvas.Rectangle(rect.left + 2, rect.top + 2, rect.left + 22, rect.bottom - 2);
        canvas.Brush().SetStyle(bsClear);
        canvas.TextOut(rect.left + 28, rect.top + 1, colorCombo->Items().Strings(index));
    };
    colorCombo->SetItemIndex(1);
    auto* group = Add<TGroupBox>(12, 105, 258, 110);
    group->SetCaption("Optionen");
    auto* check1 = Add<TCheckBox>(12, 22, 230, 17, group);
    check1->SetCaption("Gro\xDF- / Kleinschreibung");
    check1->SetChecked(true);
    auto* check2 = Add<TCheckBox>(12, 44, 230, 17, group);
    check2->SetCaption("ganze Zeichenfolge (grau)");
    check2->SetAllowGrayed(true);
    check2->SetState(cbGrayed);
    auto* radio1 = Add<TRadioButton>(12, 66, 110, 17, group);
    radio1->SetCaption("vorw\xE4rts");
    radio1->SetChecked(true);
    auto* radio2 = Add<TRadioButton>(130, 66, 110, 17, group);
    radio2->SetCaption("r\xFC" "ckw\xE4rts");
    auto* list = Add<TListBox>(290, 12, 250, 120);
    list->Items().SetLines({"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August"});
    list->SetItemIndex(2);
    auto* panel = Add<TPanel>(290, 142, 250, 40);
    panel->SetCaption("Bevel-Panel");
    panel->SetBevelInner(bvLowered);
    panel->SetBorderWidth(2);
    auto* bar = Add<TScrollBar>(290, 192, 250, 17);
    bar->SetParams(30, 0, 100);
    bar->SetPageSize(10);
    auto* ok = Add<TBitBtn>(12, 230, 90, 27);
    ok->SetKind(bkOK);
    auto* cancel = Add<TBitBtn>(110, 230, 90, 27);
    cancel->SetKind(bkCancel);
    auto* help = Add<TBitBtn>(208, 230, 90, 27);
    help->SetKind(bkHelp);
    auto* retry = Add<TBitBtn>(306, 230, 110, 27);
    retry->SetKind(bkRetry);
    auto* close = Add<TBitBtn>(424, 230, 116, 27);
    close->SetKind(bkClose);
    close->SetEnabled(false);
    auto* yes = Add<TBitBtn>(12, 265, 90, 27);
    yes->SetKind(bkYes);
    auto* no = Add<TBitBtn>(110, 265, 90, 27);
    no->SetKind(bkNo);
    auto* abort = Add<TBitBtn>(208, 265, 110, 27);
    abort->SetKind(bkAbort);
    auto* ignore = Add<TBitBtn>(326, 265, 110, 27);
    ignore->SetKind(bkIgnore);
    auto* all = Add<TBitBtn>(444, 265, 96, 27);
    all->SetKind(bkAll);
    auto* plain = Add<TButton>(12, 300, 120, 25);
    plain->SetCaption("&Starten");
    plain->SetDefault(true);
    auto* wrapped = new TLabel(form);
    wrapped->SetParent(form);
    wrapped->SetBounds(150, 300, 390, 17);
    wrapped->SetWordWrap(true);
    wrapped->SetCaption("Ein umbrechendes Etikett mit l\xE4ngerem Text, der in die zweite Zeile "
                        "flie\xDFt, wie es der Meldungsdialog braucht.");
    auto* status = Add<TStatusBar>(0, 0, 100, 20);
    status->AddPanel().SetWidth(140);
    status->Panels(0).SetText("Zeile: 1   Spalte: 1");
    status->AddPanel().SetWidth(80);
    status->Panels(1).SetText("ge\xE4ndert");
    status->AddPanel().SetText("Bereit");
    ShowForm();
    edit->SetFocus();
    WaitForInputHandled();
    std::string error;
    EXPECT_TRUE(TakeScreenshot(form->Handle(), "std_controls", error)) << error;
    if (!error.empty()) std::printf("note: %s\n", error.c_str());
    // Nothing overlaps the status bar.
    EXPECT_LE(wrapped->Top() + wrapped->Height(), status->Top());
}

}  // namespace
