// Forms driven for real: modal results from posted clicks and keys, close queries and close
// actions, the active control, text tables applied in German and from the English module, and
// a screenshot of a form with a menu bar and aligned panels.
#include <gtest/gtest.h>

#include <string>

#include "winui/resource_module_win.h"
#include "tests/wine/screenshot_win.h"
#include "tests/wine/winui_testing_win.h"
#include "winui/form_texts_win.h"
#include "winui/form_win.h"
#include "winui/menu_win.h"
#include "winui/text_win.h"

namespace {

// A BUTTON that sets its form's modal result when clicked.
class TResultButton : public TWinControl {
public:
    TResultButton(TComponent* owner, TModalResult result) : TWinControl(owner), result_(result) {
        SetBounds(10, 10, 80, 24);
        SetTabStop(true);
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.WinClassName = "BUTTON";
    }
    void WndProc(TMessage& msg) override {
        if (msg.Msg == CN_COMMAND && HIWORD(msg.WParam) == BN_CLICKED) {
            if (TForm* form = ParentForm()) form->SetModalResult(result_);
            return;
        }
        TWinControl::WndProc(msg);
    }

private:
    TModalResult result_;
};

// A component with a list property, for list texts.
class TTestList : public TComponent {
public:
    using TComponent::TComponent;
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{
            "TTestList", &TComponent::StaticClass(),
            {TypedProp<TTestList, std::vector<std::string>>(
                "Lines", TPropKind::pkStringList, [](const TTestList& l) { return l.Lines; },
                [](TTestList& l, const std::vector<std::string>& v) { l.Lines = v; })},
            {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    std::vector<std::string> Lines{"built in"};
};

// The window of the test text tables (tests/wine/forms/TTEXTTESTFORM.*.txt).
class TTextTestForm : public TForm {
public:
    explicit TTextTestForm(TComponent* owner) : TForm(owner) {
        SetCaption("built in");
        Menu = new TMainMenu(this);
        Menu->SetName("Menu");
        FileItem = new TMenuItem(this);
        FileItem->SetName("FileItem");
        FileItem->SetCaption("File");
        QuitItem = new TMenuItem(this);
        QuitItem->SetName("QuitItem");
        QuitItem->SetCaption("Quit");
        QuitItem->SetHint("built-in hint");
        Menu->Items().Add(FileItem);
        FileItem->Add(QuitItem);
        SetMenu(Menu);
        Panel1 = new TTestPanel(this);
        Panel1->SetName("Panel1");
        Panel1->SetParent(this);
        Multi = new TTestPanel(this);
        Multi->SetName("Multi");
        Multi->SetParent(this);
        List = new TTestList(this);
        List->SetName("List");
    }
    static const TClassInfo& StaticClass() {
        static const TClassInfo info{"TTextTestForm", &TForm::StaticClass(), {}, {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TMainMenu* Menu;
    TMenuItem* FileItem;
    TMenuItem* QuitItem;
    TTestPanel* Panel1;
    TTestPanel* Multi;
    TTestList* List;
};

std::string TestLibraryPath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return NarrowText(p.substr(0, p.find_last_of(L"\\/") + 1)) + "test_form_texts_en.dll";
}

}  // namespace

TEST(FormTest, ModalResultComesFromAPostedClick) {
    auto* main = new TForm(Application);
    main->Show();
    auto* dialog = new TForm(Application);
    auto* ok = new TResultButton(dialog, mrOk);
    ok->SetParent(dialog);
    bool mainDisabled = false;
    int level = -1;
    dialog->OnShow = [&](TForm&) {
        mainDisabled = !IsWindowEnabled(main->Handle());
        level = Application->ModalLevel();
        HWND w = ok->Handle();
        PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    };
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(mainDisabled);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(Application->ModalLevel(), 0);
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
    // A visible form cannot be shown modally.
    dialog->Show();
    EXPECT_THROW(dialog->ShowModal(), EComponentError);
    delete dialog;
    delete main;
}

TEST(FormTest, KeyPreviewSeesPostedKeysBeforeTheFocusedControl) {
    auto* dialog = new TForm(Application);
    dialog->SetKeyPreview(true);
    auto* button = new TResultButton(dialog, mrOk);
    button->SetParent(dialog);
    std::vector<std::string> order;
    dialog->OnKeyDown = [&](TControl&, WORD& key, TShiftState) {
        order.push_back("form " + std::to_string(key));
        if (key == VK_ESCAPE) static_cast<TForm*>(dialog)->SetModalResult(mrCancel);
    };
    button->OnKeyDown = [&](TControl&, WORD& key, TShiftState) { order.push_back("button " + std::to_string(key)); };
    dialog->OnShow = [&](TForm&) {
        PostMessageW(button->Handle(), WM_KEYDOWN, 'A', 0x001E0001);
        PostMessageW(button->Handle(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(order, (std::vector<std::string>{"form 65", "button 65", "form 27", "button 27"}));
    delete dialog;
}

TEST(FormTest, CloseQueryCanKeepAModalFormOpen) {
    auto* dialog = new TForm(Application);
    int asked = 0;
    std::vector<TCloseAction> actions;
    dialog->OnCloseQuery = [&](TForm&, bool& canClose) { canClose = ++asked > 1; };
    dialog->OnClose = [&](TForm&, TCloseAction& action) { actions.push_back(action); };
    dialog->OnShow = [&](TForm& f) {
        PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
        PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(actions, (std::vector<TCloseAction>{caHide}));
    delete dialog;
}

TEST(FormTest, CloseActionsHideOrFreeTheForm) {
    auto* form = new TForm(Application);
    form->Show();
    form->Close();
    EXPECT_FALSE(form->Visible());
    bool destroyed = false;
    form->OnDestroy = [&](TForm&) { destroyed = true; };
    form->OnClose = [](TForm&, TCloseAction& action) { action = caFree; };
    form->Show();
    form->Close();
    EXPECT_FALSE(destroyed);  // freed once the current message is done
    WaitFor([&] { return destroyed; });
    EXPECT_TRUE(destroyed);
    bool keep = true;
    auto* stays = new TForm(Application);
    stays->OnClose = [&](TForm&, TCloseAction& action) { action = keep ? caNone : caHide; };
    stays->Show();
    SendMessageW(stays->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(stays->Visible());
    delete stays;
}

TEST(FormTest, ActiveControlIgnoresControlsThatCannotTakeTheFocus) {
    auto* form = new TForm(Application);
    auto* a = new TResultButton(form, mrOk);
    auto* b = new TResultButton(form, mrOk);
    a->SetParent(form);
    b->SetParent(form);
    b->SetLeft(100);
    form->Show();
    form->SetActiveControl(a);
    EXPECT_EQ(form->ActiveControl(), a);
    b->SetEnabled(false);
    form->SetActiveControl(b);
    EXPECT_EQ(form->ActiveControl(), a);
    b->SetEnabled(true);
    int entered = 0, exited = 0;
    b->OnEnter = [&](TControl&) { ++entered; };
    a->OnExit = [&](TControl&) { ++exited; };
    WaitFor([&] { return GetForegroundWindow() == form->Handle(); });
    b->SetFocus();
    EXPECT_EQ(form->ActiveControl(), b);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(exited, 1);
    // Tab goes through the form's dialog keys back to the first control.
    PostMessageW(b->Handle(), WM_KEYDOWN, VK_TAB, 0x000F0001);
    WaitFor([&] { return form->ActiveControl() == a; });
    EXPECT_EQ(form->ActiveControl(), a);
    delete form;
}

TEST(FormTest, TextTablesApplyByComponentNameInGerman) {
    FreeResourceModule();
    auto* form = NewForm<TTextTestForm>(Application);
    EXPECT_EQ(form->TextTableName(), "TTEXTTESTFORM");
    EXPECT_EQ(form->Caption(), "Textpr\xFC" "fung");
    EXPECT_EQ(form->Panel1->Caption(), "\xDC" "bersicht");
    EXPECT_EQ(form->Panel1->Hint(), "Tafel|Die gro\xDF" "e \xDC" "bersichtstafel");
    EXPECT_EQ(form->FileItem->Caption(), "&Datei");
    EXPECT_EQ(form->QuitItem->Hint(), "Beenden|Beendet das Programm");
    EXPECT_EQ(form->List->Lines, (std::vector<std::string>{"\xC4" "pfel", "Birnen", "Gr\xFC" "ne Bohnen"}));
    EXPECT_EQ(form->Multi->Caption(), "Erste Zeile\nZweite Zeile");
    // The menu bar shows the texts of the table.
    form->Show();
    wchar_t text[32] = {};
    GetMenuStringW(GetMenu(form->Handle()), 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&Datei");
    delete form;
}

TEST(FormTest, TextTablesOfTheEnglishModuleReplaceOnlyWhatTheyHave) {
    HMODULE english = LoadLibraryExW(WideText(TestLibraryPath()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(english, nullptr) << TestLibraryPath();
    auto* form = new TTextTestForm(Application);
    TFormTexts table;
    ASSERT_TRUE(LoadFormTextTable(english, "TTextTestForm", table));
    std::vector<std::string> missed = ApplyFormTexts(*form, table);
    EXPECT_EQ(form->Caption(), "Text check");
    EXPECT_EQ(form->Panel1->Caption(), "Overview");
    EXPECT_EQ(form->QuitItem->Caption(), "&Quit");
    EXPECT_EQ(form->QuitItem->Hint(), "built-in hint");  // no English entry: the built-in text stays
    EXPECT_EQ(form->List->Lines, (std::vector<std::string>{"Apples", "Pears"}));
    EXPECT_TRUE(missed.empty());
    // A table naming a component the form does not have reports it and changes nothing else.
    TFormTexts german;
    ASSERT_TRUE(LoadFormTextTable(GetModuleHandleW(nullptr), "TTEXTTESTFORM", german));
    missed = ApplyFormTexts(*form, german);
    EXPECT_EQ(missed, (std::vector<std::string>{"Missing.Caption"}));
    TFormTexts none;
    EXPECT_FALSE(LoadFormTextTable(english, "TNOSUCHFORM", none));
    delete form;
    FreeLibrary(english);
}

TEST(FormTest, ScreenshotOfAFormWithMenuAndAlignedPanels) {
    auto* form = new TForm(Application);
    form->SetCaption("Ausrichtung");
    form->SetBounds(60, 60, 420, 300);
    auto* menu = new TMainMenu(form);
    for (const char* caption : {"&Datei", "&Bearbeiten", "&Hilfe"}) {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        auto* sub = new TMenuItem(form);
        sub->SetCaption("Eintrag");
        item->Add(sub);
        menu->Items().Add(item);
    }
    form->SetMenu(menu);
    struct Part {
        const char* caption;
        TAlign align;
        TColor color;
        int size;
    } parts[] = {{"oben", alTop, 0x80C0FF, 40},   {"unten", alBottom, 0xC0FFC0, 30}, {"links", alLeft, 0xFFC080, 80},
                 {"rechts", alRight, 0xC0C0FF, 60}, {"Mitte", alClient, clWhite, 0}};
    for (const Part& p : parts) {
        auto* panel = new TTestPanel(form, p.color);
        panel->SetCaption(p.caption);
        panel->SetWidth(p.size ? p.size : 10);
        panel->SetHeight(p.size ? p.size : 10);
        panel->SetAlign(p.align);
        panel->SetParent(form);
    }
    form->Show();
    WaitForInputHandled();
    std::string error;
    EXPECT_TRUE(TakeScreenshot(form->Handle(), "winui_form_aligned", error)) << error;
    delete form;
}
