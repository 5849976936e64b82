// The test window of the program's own controls: a bitmap panel with docks on its four sides
// and three docking toolbars of speed buttons (flat, grouped, repeating, with a drop-down
// part), a side panel with check box buttons, radio-look buttons and a spin edit, a graphic
// panel as splitter bar, and a tiled content panel. Its texts come from its text tables
// (tests/wine/forms/TWIDGETSTESTFORM.*).
#pragma once

#include <memory>
#include <string>

#include "tests/wine/program_folder_test_win.h"
#include "tests/wine/widgets_testing_win.h"
#include "widgets/bitmap_panel_win.h"
#include "widgets/check_box_button_win.h"
#include "widgets/dock_win.h"
#include "widgets/speed_button_win.h"
#include "widgets/spin_edit_win.h"
#include "widgets/split_control_win.h"
#include "widgets/win95_form_win.h"
#include "winui/menu_win.h"
#include "winui/std_controls_win.h"

class TWidgetsTestForm : public TWin95Form {
public:
    explicit TWidgetsTestForm(TComponent* owner) : TWin95Form(owner) { BuildComponents(); }

    static const TClassInfo& StaticClass() {
        static const TClassInfo info{"TWidgetsTestForm", &TWin95Form::StaticClass(), {}, {}};
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TBitmapPanel* P = nullptr;
    TDock* DockTop = nullptr;
    TDock* DockBottom = nullptr;
    TDock* DockLeft = nullptr;
    TDock* DockRight = nullptr;
    TToolbar* StandardToolbar = nullptr;
    TNewSpeedButton* NewBtn = nullptr;
    TNewSpeedButton* OpenBtn = nullptr;
    TNewSpeedButton* SaveBtn = nullptr;
    TToolbarSeparator* Sep1 = nullptr;
    TNewSpeedButton* CopyBtn = nullptr;
    TNewSpeedButton* PrintBtn = nullptr;
    TToolbar* FormatToolbar = nullptr;
    TNewSpeedButton* BoldBtn = nullptr;
    TToolbarSeparator* Sep2 = nullptr;
    TNewSpeedButton* LeftBtn = nullptr;
    TNewSpeedButton* CenterBtn = nullptr;
    TNewSpeedButton* RightBtn = nullptr;
    TToolbarSeparator* Sep3 = nullptr;
    TNewSpeedButton* ColorBtn = nullptr;
    TPopupMenu* ColorMenu = nullptr;
    TMenuItem* RedItem = nullptr;
    TMenuItem* BlueItem = nullptr;
    TToolbar* ExtraToolbar = nullptr;
    TNewSpeedButton* UpBtn = nullptr;
    TNewSpeedButton* DownBtn = nullptr;
    TToolbarSeparator* Sep4 = nullptr;
    TNewSpeedButton* TextBtn = nullptr;
    TBitmapPanel* Side = nullptr;
    TCheckBoxButton* CaseCheck = nullptr;
    TCheckBoxButton* WordCheck = nullptr;
    TCheckBoxButton* UpRadio = nullptr;
    TCheckBoxButton* DownRadio = nullptr;
    TCheckBoxButton* AllRadio = nullptr;
    TLabel* SizeLabel = nullptr;
    TSpinMaskEdit* SizeEdit = nullptr;
    TGraphicPanel* Split = nullptr;
    TBitmapPanel* Content = nullptr;

    int Clicks = 0;
    std::string LastClicked;

    void ButtonClick(TControl& sender) {
        ++Clicks;
        LastClicked = sender.Name();
    }
    void SplitMouseDown(TControl&, TMouseButton button, TShiftState, int, int) {
        if (button == mbLeft) TSplitControl::Start(*Split, 60, 260, *Side);
    }

private:
    TNewSpeedButton* Button(TToolbar* toolbar, const char* name, TTestGlyph glyph) {
        auto* button = new TNewSpeedButton(this);
        button->SetName(name);
        button->SetGlyph(MakeGlyph(glyph).get());
        button->SetShowHint(true);
        button->OnClick = [this](TControl& sender) { ButtonClick(sender); };
        button->SetParent(toolbar);
        return button;
    }
    TToolbarSeparator* Separator(TToolbar* toolbar, const char* name) {
        auto* separator = new TToolbarSeparator(this);
        separator->SetName(name);
        separator->SetParent(toolbar);
        return separator;
    }
    TToolbar* Toolbar(const char* name, TDock* dock, int row, int offset) {
        auto* toolbar = new TToolbar(this);
        toolbar->SetName(name);
        toolbar->DockTo(dock, row, offset);
        return toolbar;
    }
    TDock* Dock(const char* name, TDockPosition position) {
        auto* dock = new TDock(this);
        dock->SetName(name);
        dock->SetPosition(position);
        dock->SetParent(P);
        return dock;
    }
    TCheckBoxButton* Check(const char* name, int top, bool radio) {
        auto* check = new TCheckBoxButton(this);
        check->SetName(name);
        check->SetBounds(10, top, 150, 18);
        check->SetRadioButton(radio);
        if (radio) check->SetGroupIndex(1);
        check->SetParent(Side);
        return check;
    }

    // The layout, in the order of the form's components.
    void BuildComponents() {
        SetName("WidgetsTestForm");
        SetGradient(gfAllways);
        SetBounds(80, 60, 600, 380);

        P = new TBitmapPanel(this);
        P->SetName("P");
        P->SetBevelOuter(bvNone);
        P->SetAlign(alClient);
        P->SetParent(this);
        DockTop = Dock("DockTop", dpTop);
        DockBottom = Dock("DockBottom", dpBottom);
        DockLeft = Dock("DockLeft", dpLeft);
        DockRight = Dock("DockRight", dpRight);

        StandardToolbar = Toolbar("StandardToolbar", DockTop, 0, 0);
        StandardToolbar->SetCloseButton(false);
        NewBtn = Button(StandardToolbar, "NewBtn", tgNew);
        OpenBtn = Button(StandardToolbar, "OpenBtn", tgOpen);
        SaveBtn = Button(StandardToolbar, "SaveBtn", tgSave);
        Sep1 = Separator(StandardToolbar, "Sep1");
        CopyBtn = Button(StandardToolbar, "CopyBtn", tgCopy);
        PrintBtn = Button(StandardToolbar, "PrintBtn", tgPrint);

        FormatToolbar = Toolbar("FormatToolbar", DockTop, 0, 170);
        BoldBtn = Button(FormatToolbar, "BoldBtn", tgBold);
        BoldBtn->SetGroupIndex(10);
        BoldBtn->SetAllowAllUp(true);
        Sep2 = Separator(FormatToolbar, "Sep2");
        LeftBtn = Button(FormatToolbar, "LeftBtn", tgNew);
        CenterBtn = Button(FormatToolbar, "CenterBtn", tgCopy);
        RightBtn = Button(FormatToolbar, "RightBtn", tgPrint);
        for (TNewSpeedButton* b : {LeftBtn, CenterBtn, RightBtn}) b->SetGroupIndex(11);
        LeftBtn->SetDown(true);
        Sep3 = Separator(FormatToolbar, "Sep3");
        ColorBtn = Button(FormatToolbar, "ColorBtn", tgBold);
        ColorBtn->SetDropDown(true);
        ColorBtn->SetWidth(23 + DropDownWidth);
        ColorMenu = new TPopupMenu(this);
        ColorMenu->SetName("ColorMenu");
        RedItem = new TMenuItem(this);
        RedItem->SetName("RedItem");
        BlueItem = new TMenuItem(this);
        BlueItem->SetName("BlueItem");
        ColorMenu->Items().Add(RedItem);
        ColorMenu->Items().Add(BlueItem);
        ColorBtn->SetDropDownPopup(ColorMenu);

        ExtraToolbar = Toolbar("ExtraToolbar", DockBottom, 0, 0);
        UpBtn = Button(ExtraToolbar, "UpBtn", tgUp);
        UpBtn->SetTimerInterval(100);
        DownBtn = Button(ExtraToolbar, "DownBtn", tgDown);
        DownBtn->SetTimerInterval(100);
        Sep4 = Separator(ExtraToolbar, "Sep4");
        TextBtn = Button(ExtraToolbar, "TextBtn", tgOpen);
        TextBtn->SetWidth(64);

        Side = new TBitmapPanel(this);
        Side->SetName("Side");
        Side->SetAlign(alLeft);
        Side->SetBounds(1, 0, 170, 100);
        Side->SetBevelOuter(bvNone);
        Side->SetParent(P);
        CaseCheck = Check("CaseCheck", 10, false);
        CaseCheck->SetChecked(true);
        WordCheck = Check("WordCheck", 32, false);
        WordCheck->SetAllowGrayed(true);
        UpRadio = Check("UpRadio", 64, true);
        DownRadio = Check("DownRadio", 86, true);
        AllRadio = Check("AllRadio", 108, true);
        AllRadio->SetChecked(true);
        SizeLabel = new TLabel(this);
        SizeLabel->SetName("SizeLabel");
        SizeLabel->SetBounds(10, 147, 50, 16);
        SizeLabel->SetParent(Side);
        SizeEdit = new TSpinMaskEdit(this);
        SizeEdit->SetName("SizeEdit");
        SizeEdit->SetBounds(64, 142, 80, 23);
        SizeEdit->SetMinValue(6);
        SizeEdit->SetMaxValue(720);
        SizeEdit->OnGetText = [](TControl&, std::string& text, bool forDisplay) {
            if (forDisplay) text += " pt";
        };
        SizeEdit->SetValue(10);
        SizeEdit->SetParent(Side);

        Split = new TGraphicPanel(this);
        Split->SetName("Split");
        Split->SetAlign(alLeft);
        Split->SetBounds(2, 0, 4, 100);
        Split->SetCursor(crHSplit);
        Split->SetBevelOuter(bvRaised);
        Split->OnMouseDown = [this](TControl& sender, TMouseButton button, TShiftState shift, int x, int y) {
            SplitMouseDown(sender, button, shift, x, y);
        };
        Split->SetParent(P);

        Content = new TBitmapPanel(this);
        Content->SetName("Content");
        Content->SetAlign(alClient);
        Content->SetBevelOuter(bvLowered);
        Content->SetBitmap(ContentTile().get());
        Content->SetTiled(true);
        Content->SetAlignBitmapToForm(true);
        Content->SetParent(P);

        for (TNewSpeedButton* b : {NewBtn, OpenBtn, SaveBtn, CopyBtn, PrintBtn, BoldBtn, LeftBtn, CenterBtn,
                                   RightBtn, ColorBtn, UpBtn, DownBtn, TextBtn})
            b->Loaded();
    }

    // A soft 16 x 16 pattern for the content panel.
    static std::unique_ptr<TBitmap> ContentTile() {
        auto tile = std::make_unique<TBitmap>(16, 16);
        TCanvas& c = tile->Canvas();
        c.Brush().SetColor(0xF4ECE4);
        c.FillRect(RECT{0, 0, 16, 16});
        for (int i = 0; i < 16; ++i) {
            c.SetPixel(i, i, 0xE0D0C0);
            c.SetPixel(15 - i, i, 0xE8DCD0);
        }
        c.DeselectObjects();
        return tile;
    }
};

// A test with the test window shown and active, in a program folder of its own (the window
// restores and saves its placement through the configuration).
class WidgetsTestFormTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        form = NewForm<TWidgetsTestForm>(Application);
        form->Show();
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == form->Handle(); }));
        WaitForInputHandled();
    }
    void TearDown() override {
        MouseButton(false);
        delete form;
        FreeConfiguration();
        WaitForInputHandled();
        ProgramFolderTest::TearDown();
    }

    TWidgetsTestForm* form = nullptr;
};
