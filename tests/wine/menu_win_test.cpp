// Menus: commands from WM_COMMAND to the item's OnClick, the menu bar the window shows, shortcut
// texts in both languages, shortcuts taken from key presses, accelerators and radio groups.
#include <gtest/gtest.h>

#include "base/string_ids.h"
#include "base/strings.h"
#include "tests/wine/winui_testing_win.h"
#include "winui/form_win.h"
#include "winui/menu_win.h"
#include "winui/text_win.h"

namespace {

TMenuItem* Item(TComponent* owner, const std::string& caption, TShortCut shortCut = 0) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    item->SetShortCut(shortCut);
    return item;
}

std::wstring MenuText(HMENU menu, int position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

}  // namespace

TEST(MenuTest, CommandsReachTheClickedItem) {
    auto* form = new TForm(Application);
    auto* menu = new TMainMenu(form);
    TMenuItem* file = Item(form, "&Datei");
    TMenuItem* open = Item(form, "\xD6" "&ffnen", scCtrl | 'O');  // Öffnen
    TMenuItem* line = Item(form, "-");
    TMenuItem* hidden = Item(form, "Versteckt");
    TMenuItem* quit = Item(form, "&Beenden");
    hidden->SetVisible(false);
    quit->SetEnabled(false);
    for (TMenuItem* i : {open, line, hidden, quit}) file->Add(i);
    menu->Items().Add(file);
    form->SetMenu(menu);
    std::vector<std::string> clicked;
    for (TMenuItem* i : {file, open, quit}) i->OnClick = [&](TMenuItem& m) { clicked.push_back(m.Caption()); };
    form->Show();

    HMENU bar = GetMenu(form->Handle());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 1);
    HMENU sub = GetSubMenu(bar, 0);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(GetMenuItemCount(sub), 3);  // the hidden item is left out
    EXPECT_EQ(MenuText(sub, 0), L"\u00D6&ffnen\tStrg+O");
    EXPECT_EQ(GetMenuState(sub, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_TRUE(GetMenuState(sub, 2, MF_BYPOSITION) & MF_GRAYED);

    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
    // Opening the sub-menu runs the parent's OnClick (the place to update check marks).
    SendMessageW(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), 0);
    EXPECT_EQ(clicked, (std::vector<std::string>{"\xD6" "&ffnen", "&Datei"}));
    EXPECT_EQ(FindMenuItemByCommand(open->Command()), open);

    // Changing an item rebuilds the bar.
    open->SetCaption("Laden");
    sub = GetSubMenu(GetMenu(form->Handle()), 0);
    EXPECT_EQ(MenuText(sub, 0), L"Laden\tStrg+O");
    UINT command = open->Command();
    delete open;
    EXPECT_EQ(FindMenuItemByCommand(command), nullptr);
    EXPECT_EQ(file->Count(), 3);
    delete form;
}

TEST(MenuTest, ShortCutTextsUseTheKeyNamesOfTheStringTable) {
    struct Row {
        TShortCut shortCut;
        const char* german;
        const char* english;
    } rows[] = {
        {scCtrl | 'C', "Strg+C", "Ctrl+C"},
        {VK_F3, "F3", "F3"},
        {scCtrl | VK_DELETE, "Strg+Entf", "Ctrl+Del"},
        {scShift | scCtrl | 'T', "Umsch+Strg+T", "Shift+Ctrl+T"},
        {VK_INSERT, "Einfg", "Ins"},
        {scAlt | VK_RETURN, "Alt+Eingabe", "Alt+Enter"},
        {VK_PRIOR, "BildAuf", "PgUp"},
        {scCtrl | VK_SPACE, "Strg+Leertaste", "Ctrl+Space"},
        {VK_F12 | scShift, "Umsch+F12", "Shift+F12"},
        {'5', "5", "5"},
    };
    const TStringSource* previous = SetStringSource(&BuiltinStrings(blGerman));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.german);
        EXPECT_EQ(ShortCutToText(row.shortCut), row.german);
        EXPECT_EQ(TextToShortCut(row.german), row.shortCut);
    }
    SetStringSource(&BuiltinStrings(blEnglish));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.english);
        if (LoadStr(sid::KeyCtrl) != "Ctrl+") GTEST_SKIP() << "English key names differ: " << LoadStr(sid::KeyCtrl);
        EXPECT_EQ(ShortCutToText(row.shortCut), row.english);
        EXPECT_EQ(TextToShortCut(row.english), row.shortCut);
    }
    SetStringSource(&BuiltinStrings(blGerman));
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(scCtrl | VK_SHIFT), "");
    EXPECT_EQ(TextToShortCut("strg+c"), scCtrl | 'C');
    EXPECT_EQ(TextToShortCut("Strg+"), scNone);
    EXPECT_EQ(TextToShortCut("Strg+Xyz"), scNone);
    EXPECT_EQ(TextToShortCut(""), scNone);
    SetStringSource(previous);
}

TEST(MenuTest, KeyPressesRunTheShortCutOfThePopupMenuOfTheFocusedControl) {
    auto* form = new TForm(Application);
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    auto* popup = new TPopupMenu(form);
    TMenuItem* newText = Item(form, "&Texteintrag anlegen", scCtrl | 'T');
    TMenuItem* disabled = Item(form, "Aus", scCtrl | 'G');
    disabled->SetEnabled(false);
    popup->Items().Add(newText);
    popup->Items().Add(disabled);
    panel->SetPopupMenu(popup);
    int clicks = 0, disabledClicks = 0, keyDowns = 0;
    newText->OnClick = [&](TMenuItem&) { ++clicks; };
    disabled->OnClick = [&](TMenuItem&) { ++disabledClicks; };
    panel->OnKeyDown = [&](TControl&, WORD&, TShiftState) { ++keyDowns; };
    form->Show();

    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(panel->Handle(), WM_KEYDOWN, 'T', 1);
    PostMessageW(panel->Handle(), WM_KEYDOWN, 'G', 1);
    WaitFor([&] { return keyDowns > 0; });
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    PostMessageW(panel->Handle(), WM_KEYDOWN, 'T', 1);
    WaitFor([&] { return keyDowns > 1; });
    EXPECT_EQ(clicks, 1);         // Ctrl+T; the plain T is a key for the panel
    EXPECT_EQ(disabledClicks, 0);  // a disabled item takes no shortcut
    EXPECT_EQ(keyDowns, 2);        // Ctrl+G (no enabled item) and T reach the panel
    delete form;
}

TEST(MenuTest, HotkeysOfCaptions) {
    struct Row {
        const char* caption;
        char hotkey;
        const char* stripped;
    } rows[] = {
        {"&Datei", 'D', "Datei"},   {"Ein&fügen", 'F', "Einfügen"}, {"Rock && Roll", 0, "Rock & Roll"},
        {"&&a&b", 'B', "&ab"},      {"kein", 0, "kein"},             {"Ende&", 0, "Ende"},
        {"\xDC&\xE4tsch", '\xC4', "\xDC\xE4tsch"},  // the hotkey of "Ü&ätsch" is Ä
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(GetHotkey(row.caption), row.hotkey);
        EXPECT_EQ(StripHotkey(row.caption), row.stripped);
        if (row.hotkey) {
            EXPECT_TRUE(IsAccel(row.hotkey, row.caption));
            EXPECT_FALSE(IsAccel('Q', row.caption));
        }
    }
}

TEST(MenuTest, RadioItemsOfAGroupExcludeEachOther) {
    TMenuItem root(nullptr);
    TMenuItem* a = Item(nullptr, "a");
    TMenuItem* b = Item(nullptr, "b");
    TMenuItem* c = Item(nullptr, "c");
    for (TMenuItem* i : {a, b, c}) {
        i->SetRadioItem(true);
        root.Add(i);
    }
    c->SetGroupIndex(1);
    a->SetChecked(true);
    c->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(c->Checked());  // another group
    EXPECT_THROW(root.Delete(7), EComponentError);
    EXPECT_THROW(a->Add(&root), EComponentError);  // an item cannot go below itself
    EXPECT_EQ(root.FindShortCut(0), nullptr);
}

// A timer procedure (stdcall, so no lambda): chooses the first enabled item of an open menu.
void CALLBACK PressDownAndEnter(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
}

TEST(MenuTest, PopupRunsTheChosenItemAfterTheMenuClosed) {
    auto* form = new TForm(Application);
    auto* popup = new TPopupMenu(form);
    TMenuItem* first = Item(form, "Erster");
    TMenuItem* second = Item(form, "Zweiter");
    popup->Items().Add(first);
    popup->Items().Add(second);
    int popups = 0;
    std::string chosen;
    popup->OnPopup = [&](TPopupMenu&) {
        ++popups;
        first->SetEnabled(false);  // changes in OnPopup show in the menu
    };
    second->OnClick = [&](TMenuItem& m) { chosen = m.Caption(); };
    form->Show();
    WaitFor([&] { return GetForegroundWindow() == form->Handle(); });
    // The menu loop reads the keys waiting in the queue: down to the second item (whether or
    // not the disabled first one can be selected), then Enter.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(form->Handle(), WM_KEYDOWN, key, 1);
    POINT p = ScreenPoint(*form, 20, 20);
    popup->Popup(p.x, p.y);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(chosen, "Zweiter");
    EXPECT_EQ(popup->LastCommand(), second->Command());
    delete form;
}
