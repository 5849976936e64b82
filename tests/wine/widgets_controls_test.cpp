// The check box buttons, the spin edit, the split control and the bitmap panels driven for
// real: groups and the grayed cycle by mouse, Space and accelerators; spin buttons, arrow keys,
// typing and the unit shown only without focus; splitter drags stopped at their limits; and
// the panels' options and pictures painted into bitmaps and checked pixel by pixel.
#include <gtest/gtest.h>

#include "tests/wine/widgets_test_form_win.h"

namespace {

using ControlsTest = WidgetsTestFormTest;

TEST_F(ControlsTest, RadioGroupKeepsOneChecked) {
    int clicks = 0;
    for (TCheckBoxButton* radio : {form->UpRadio, form->DownRadio, form->AllRadio})
        radio->OnClick = [&](TControl&) { ++clicks; };
    ASSERT_TRUE(form->AllRadio->Checked());
    ClickAt(*form->AllRadio, 6, 9);
    EXPECT_TRUE(form->AllRadio->Checked()) << "the checked one cannot be unchecked by a click";
    EXPECT_EQ(clicks, 0);
    ClickAt(*form->UpRadio, 6, 9);
    EXPECT_TRUE(form->UpRadio->Checked());
    EXPECT_FALSE(form->AllRadio->Checked());
    EXPECT_FALSE(form->DownRadio->Checked());
    EXPECT_EQ(clicks, 2) << "the new one and the one it unchecked";
    // With AllowUp the last checked one may go.
    form->UpRadio->SetAllowUp(true);
    form->UpRadio->SetChecked(false);
    EXPECT_FALSE(form->UpRadio->Checked() || form->DownRadio->Checked() || form->AllRadio->Checked());
    // Pressed and moved off: no click.
    MouseAt(*form->DownRadio, 6, 9);
    MouseButton(true);
    WaitForInputHandled();
    EXPECT_TRUE(form->DownRadio->Pressed());
    MouseAt(*form->DownRadio, 300, 9);
    EXPECT_FALSE(form->DownRadio->Pressed());
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_FALSE(form->DownRadio->Checked());
}

TEST_F(ControlsTest, AllowGrayedCyclesThroughThreeStates) {
    TCheckBoxButton& check = *form->WordCheck;
    ASSERT_EQ(check.State(), cbUnchecked);
    const TCheckBoxState expected[] = {cbGrayed, cbChecked, cbUnchecked};
    for (TCheckBoxState state : expected) {
        ClickAt(check, 6, 9);
        EXPECT_EQ(check.State(), state);
    }
    check.SetEnabled(false);
    ClickAt(check, 6, 9);
    EXPECT_EQ(check.State(), cbUnchecked) << "a disabled button takes no click";
}

TEST_F(ControlsTest, SpaceClicksTheFocusedCheckBoxAndAcceleratorsTellTheParent) {
    TCheckBoxButton& check = *form->CaseCheck;
    ASSERT_TRUE(check.Checked());
    check.SetFocused(true);
    form->Side->SetFocus();
    WaitForInputHandled();
    KeyInput(VK_SPACE, true);
    WaitForInputHandled();
    EXPECT_TRUE(check.Pressed());
    KeyInput(VK_SPACE, false);
    WaitForInputHandled();
    EXPECT_FALSE(check.Checked());
    check.SetFocused(false);
    ChordKey({}, VK_SPACE);
    EXPECT_FALSE(check.Checked()) << "without the focus mark Space is not its key";
    // Alt and the underlined letter, on a panel that listens.
    auto* panel = new TListeningPanel(form);
    panel->SetBounds(200, 200, 150, 30);
    panel->SetParent(form->Content);
    auto* box = new TCheckBoxButton(form);
    box->SetCaption("&Kasten");
    box->SetBounds(4, 4, 120, 18);
    box->SetParent(panel);
    ChordKey({VK_MENU}, 'K');
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(panel->Accelerated, (std::vector<TControl*>{box}));
}

TEST_F(ControlsTest, SpinEditShowsItsUnitOnlyWithoutFocusAndReadsTheNumber) {
    TSpinMaskEdit& edit = *form->SizeEdit;
    form->Content->SetFocus();
    WaitForInputHandled();
    EXPECT_EQ(edit.Text(), "10 pt");
    EXPECT_EQ(edit.Value(), 10) << "the unit is display only";
    edit.SetFocus();
    WaitForInputHandled();
    EXPECT_EQ(edit.Text(), "10");
    // The up half of the spin button, then the Up arrow key.
    TSpinBtn& button = edit.Button();
    ClickAt(button, button.Width() / 2, 2);
    EXPECT_EQ(edit.Value(), 11);
    ChordKey({}, VK_UP);
    EXPECT_EQ(edit.Value(), 12);
    ChordKey({}, VK_DOWN);
    EXPECT_EQ(edit.Value(), 11);
    // Held, the down half repeats.
    MouseAt(button, button.Width() / 2, button.Height() - 3);
    MouseButton(true);
    EXPECT_TRUE(WaitFor([&] { return edit.Value() <= 11 - 4; })) << "held, the button repeats";
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_LE(edit.Value(), 11 - 4);
    EXPECT_GE(edit.Value(), 6);
    // Typing: digits go in, letters and Enter do not.
    edit.SetText("");
    ChordKey({}, '7');
    ChordKey({}, 'A');
    ChordKey({}, VK_RETURN);
    ChordKey({}, '2');
    EXPECT_EQ(edit.Text(), "72");
    form->Content->SetFocus();
    WaitForInputHandled();
    EXPECT_EQ(edit.Text(), "72 pt");
    EXPECT_EQ(edit.Value(), 72);
}

TEST_F(ControlsTest, SpinEditLimitsRestartsAndChangeEvents) {
    auto* edit = new TSpinMaskEdit(form);
    edit->SetBounds(200, 240, 80, 23);
    edit->SetParent(form->Content);
    edit->SetMaxValue(10);
    edit->SetIncrement(3);
    int changes = 0;
    edit->OnChange = [&](TControl&) { ++changes; };
    edit->SetValue(9);
    EXPECT_EQ(changes, 1);
    edit->SetValue(9);
    EXPECT_EQ(changes, 1) << "the same number is no change";
    edit->UpClick();
    EXPECT_EQ(edit->Value(), 10) << "12 limited";
    edit->SetRestartValue(true);
    edit->SetValue(9);
    edit->UpClick();
    EXPECT_EQ(edit->Value(), 0);
    edit->DownClick();
    EXPECT_EQ(edit->Value(), 10);
    edit->SetValue(-5);
    EXPECT_EQ(edit->Value(), 0);
    edit->SetValue(99);
    EXPECT_EQ(edit->Value(), 10);
    int spins = 0;
    edit->OnSpinClick = [&](TControl&, int increment) { spins += increment; };
    edit->UpClick();
    edit->DownClick();
    edit->DownClick();
    EXPECT_EQ(spins, -3);
    EXPECT_EQ(edit->Value(), 10) << "OnSpinClick changes nothing else";
    edit->SetReadOnly(true);
    edit->OnSpinClick = nullptr;
    edit->DownClick();
    EXPECT_EQ(edit->Value(), 10);
}

TEST_F(ControlsTest, SplitterDragStopsAtTheLimits) {
    TGraphicPanel& split = *form->Split;
    const int start = form->Side->Width();
    MouseAt(split, 2, 100);
    MouseButton(true);
    WaitForInputHandled();
    ASSERT_NE(TSplitControl::Running(), nullptr);
    EXPECT_FALSE(TSplitControl::Running()->Horizontal());
    EXPECT_EQ(TSplitControl::Running()->Sign(), 1) << "the side panel lies left of the bar";
    MouseTo(ScreenPoint(split, 40, 100));
    WaitForInputHandled();
    EXPECT_EQ(TSplitControl::Running()->Offset(), 38);
    EXPECT_EQ(form->Side->Width(), start) << "nothing moves before the release";
    MouseTo(ScreenPoint(split, 400, 100));
    WaitForInputHandled();
    EXPECT_EQ(TSplitControl::Running()->Offset(), 260 - start);
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_EQ(form->Side->Width(), 260);
    EXPECT_EQ(TSplitControl::Running(), nullptr);
    // The other way, far beyond the minimum.
    MouseAt(split, 2, 100);
    MouseButton(true);
    WaitForInputHandled();
    MouseTo(ScreenPoint(split, -500, 100));
    WaitForInputHandled();
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_EQ(form->Side->Width(), 60);
    // A release before the split control starts: nothing is created.
    EXPECT_EQ(TSplitControl::Start(split, 60, 260, *form->Side), nullptr);
}

// Paints a windowed control into a bitmap filled with Background first.
std::unique_ptr<TBitmap> Render(TWinControl& control, TColor background = clRed) {
    auto bitmap = std::make_unique<TBitmap>(control.Width(), control.Height());
    bitmap->Canvas().Brush().SetColor(background);
    bitmap->Canvas().FillRect(RECT{0, 0, control.Width(), control.Height()});
    control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap->Canvas().Handle()), 0);
    return bitmap;
}

COLORREF PixelOf(TBitmap& bitmap, int x, int y) { return GetPixel(bitmap.Canvas().Handle(), x, y); }

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TForm(Application);
        form->SetBorderStyle(bsSingle);
        form->SetBounds(140, 140, 420, 260);
        form->Show();
        WaitForInputHandled();
    }
    void TearDown() override { delete form; }
    TBitmapPanel* Panel(int left, int top, int width, int height) {
        auto* panel = new TBitmapPanel(form);
        panel->SetBounds(left, top, width, height);
        panel->SetBevelOuter(bvNone);
        panel->SetParent(form);
        return panel;
    }
    // A 10 x 7 tile whose pixels all differ.
    static std::unique_ptr<TBitmap> Tile() {
        auto tile = std::make_unique<TBitmap>(10, 7);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x) tile->Canvas().SetPixel(x, y, RGB(20 * x, 30 * y, 100));
        return tile;
    }
    TForm* form = nullptr;
};

TEST_F(PanelTest, OptionsExcludeAndAnnounce) {
    struct TListening : TBitmapPanel {
        explicit TListening(TComponent* owner) : TBitmapPanel(owner) {}
        std::vector<WPARAM> bits;
        void WndProc(TMessage& msg) override {
            if (msg.Msg == UM_OPTIONCHANGED) bits.push_back(msg.WParam);
            TBitmapPanel::WndProc(msg);
        }
    };
    auto* panel = new TListening(form);
    panel->SetParent(form);
    panel->SetTiled(true);
    panel->SetStretch(true);
    EXPECT_TRUE(panel->Stretch());
    EXPECT_FALSE(panel->Tiled());
    panel->SetStretch(true);
    EXPECT_EQ(panel->bits, (std::vector<WPARAM>{pnTiled, pnStretch}));
    panel->SetHandleFocus(true);
    auto* edit = new TEdit(form);
    edit->SetParent(panel);
    panel->SetActiveControl(edit);
    EXPECT_EQ(panel->ActiveControl(), edit);
    panel->SetFocus();
    WaitForInputHandled();
    EXPECT_TRUE(edit->Focused()) << "the panel hands the focus on";
    panel->SetHandleFocus(false);
    EXPECT_EQ(panel->ActiveControl(), nullptr);
    // The process-wide defaults come with DefaultOptions.
    SetPanelDefaults(PanelBit(pnTiled), Tile().get());
    panel->SetDefaultOptions(false);
    panel->SetDefaultOptions(true);
    EXPECT_TRUE(panel->Tiled());
    ASSERT_TRUE(panel->HasBitmap());
    EXPECT_EQ(panel->Bitmap().Width(), 10);
    SetPanelDefaults(0, nullptr);
    panel->SetBitmap(nullptr);
    EXPECT_FALSE(panel->HasBitmap());
}

TEST_F(PanelTest, TiledPanelsSideBySideShowOnePattern) {
    std::unique_ptr<TBitmap> tile = Tile();
    TBitmapPanel* left = Panel(0, 0, 75, 60);
    TBitmapPanel* right = Panel(75, 13, 90, 60);
    for (TBitmapPanel* panel : {left, right}) {
        panel->SetBitmap(tile.get());
        panel->SetTiled(true);
        panel->SetAlignBitmapToForm(true);
    }
    for (TBitmapPanel* panel : {left, right}) {
        std::unique_ptr<TBitmap> image = Render(*panel);
        for (int y : {0, 5, 33, 59})
            for (int x : {0, 1, 9, 10, 44, 74}) {
                const int formX = panel->Left() + x, formY = panel->Top() + y;
                ASSERT_EQ(PixelOf(*image, x, y), GetPixel(tile->Canvas().Handle(), formX % 10, formY % 7))
                    << panel->Left() << ": " << x << "," << y;
            }
    }
    // Centred tiling without the form: the middle of the panel is the middle of a tile.
    right->SetAlignBitmapToForm(false);
    right->SetAlignBitmapWidth(true);
    std::unique_ptr<TBitmap> image = Render(*right);
    EXPECT_EQ(PixelOf(*image, 0, 0), GetPixel(tile->Canvas().Handle(), 5, 0)) << "moved left by (10 - 90 % 10) / 2 = 5";
}

TEST_F(PanelTest, NoColourAndNoBitmapPaintsOnlyBevelsAndCaption) {
    TBitmapPanel* panel = Panel(10, 10, 120, 40);
    panel->SetBevelOuter(bvRaised);
    panel->SetBorderWidth(3);
    panel->SetColor(clNone);
    panel->SetCaption("Wert");
    std::unique_ptr<TBitmap> image = Render(*panel);
    EXPECT_EQ(PixelOf(*image, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelOf(*image, 119, 39), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelOf(*image, 2, 2), ColorToRGB(clRed)) << "the border is not filled";
    EXPECT_EQ(PixelOf(*image, 6, 20), ColorToRGB(clRed)) << "nor the inside";
    int text = 0;
    for (int x = 40; x < 80; ++x)
        for (int y = 10; y < 30; ++y)
            if (PixelOf(*image, x, y) != ColorToRGB(clRed)) ++text;
    EXPECT_GT(text, 20) << "the caption is drawn";
    // With a colour the inside is filled; a stretched bitmap fills all but the bevel.
    panel->SetColor(clBtnFace);
    panel->SetCaption("");
    image = Render(*panel);
    EXPECT_EQ(PixelOf(*image, 6, 20), ColorToRGB(clBtnFace));
    std::unique_ptr<TBitmap> tile = Tile();
    panel->SetBitmap(tile.get());
    panel->SetStretch(true);
    image = Render(*panel);
    EXPECT_EQ(PixelOf(*image, 2, 2), GetPixel(tile->Canvas().Handle(), 0, 0));
}

TEST_F(PanelTest, CentredBitmapAndTransparentPanel) {
    form->SetColor(clYellow);
    TBitmapPanel* panel = Panel(20, 20, 100, 50);
    std::unique_ptr<TBitmap> tile = Tile();
    panel->SetBitmap(tile.get());
    panel->SetAlignBitmapWidth(true);
    panel->SetAlignBitmapHeight(true);
    std::unique_ptr<TBitmap> image = Render(*panel);
    EXPECT_EQ(PixelOf(*image, 45, 21), GetPixel(tile->Canvas().Handle(), 0, 0));
    EXPECT_EQ(PixelOf(*image, 44, 21), ColorToRGB(clBtnFace));
    // A transparent panel without a bitmap shows its parent.
    panel->SetBitmap(nullptr);
    panel->SetTransparent(true);
    image = Render(*panel);
    EXPECT_EQ(PixelOf(*image, 50, 25), ColorToRGB(clYellow));
}

TEST_F(PanelTest, LockedPanelsPaintNothingAndClientBorderLeavesRoom) {
    TBitmapPanel* panel = Panel(10, 10, 120, 60);
    auto* child = new TTestPanel(form, clBlue);
    child->SetAlign(alClient);
    child->SetParent(panel);
    panel->SetClientBorder(5);
    EXPECT_EQ(child->Left(), 5);
    EXPECT_EQ(child->Width(), 110);
    panel->SetLocked(true);
    std::unique_ptr<TBitmap> image = Render(*panel);
    EXPECT_EQ(PixelOf(*image, 2, 2), ColorToRGB(clRed)) << "a locked panel paints nothing";
    child->SetAlign(alNone);
    child->SetBounds(0, 0, 10, 10);
    child->SetAlign(alClient);
    EXPECT_EQ(child->Left(), 0) << "nor aligns";
    panel->SetLocked(false);
    EXPECT_EQ(child->Left(), 5);
    image = Render(*panel);
    EXPECT_EQ(PixelOf(*image, 2, 2), ColorToRGB(clBtnFace));
    EXPECT_THROW(panel->SetClientBorder(-1), Exception);
}

TEST_F(PanelTest, PanelsScreenshot) {
    form->SetColor(clBtnFace);
    // A soft brick pattern to tile.
    auto tile = std::make_unique<TBitmap>(16, 8);
    tile->Canvas().Brush().SetColor(0xD8E4EC);
    tile->Canvas().FillRect(RECT{0, 0, 16, 8});
    tile->Canvas().Brush().SetColor(0xB8C8D8);
    tile->Canvas().FillRect(RECT{0, 7, 16, 8});
    tile->Canvas().FillRect(RECT{0, 0, 1, 4});
    tile->Canvas().FillRect(RECT{8, 4, 9, 8});
    tile->Canvas().FillRect(RECT{0, 3, 16, 4});
    std::unique_ptr<TBitmap> glyph = MakeGlyph(tgOpen);
    const char* captions[] = {"Gekachelt", "Gedehnt", "Zentriert", "Graue Leiste"};
    for (int i = 0; i < 4; ++i) {
        TBitmapPanel* panel = Panel(10 + i * 100, 10, 90, 90);
        panel->SetBevelOuter(bvRaised);
        panel->SetBevelInner(bvLowered);
        panel->SetBorderWidth(2);
        panel->SetCaption(captions[i]);
        if (i == 0) {
            panel->SetBitmap(tile.get());
            panel->SetTiled(true);
        } else if (i == 1) {
            panel->SetBitmap(glyph.get());
            panel->SetBitmapTransparent(true);
            panel->SetStretch(true);
        } else if (i == 2) {
            panel->SetBitmap(glyph.get());
            panel->SetBitmapTransparent(true);
            panel->SetAlignBitmapWidth(true);
            panel->SetAlignBitmapHeight(true);
        }
    }
    auto* bar = new TGraphicPanel(form);
    bar->SetBounds(10, 120, 390, 6);
    bar->SetParent(form);
    Shot(form->Handle(), "panels");
}

}  // namespace
