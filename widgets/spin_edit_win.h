// The spin edit: TSpinMaskEdit, an integer edit with its TSpinBtn (an up and a down button in
// one small window) inside at the right. The value is kept as a number; the text shows it,
// passed through OnGetText, which may add a unit while the edit has no focus (spin_value.h
// reads the number back without the unit). The buttons, the arrow keys and typing change it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "widgets/spin_value.h"
#include "winui/control_win.h"
#include "winui/graphics_win.h"
#include "winui/mask_edit_win.h"
#include "winui/timer_win.h"

enum TSpinBtnOrientation { soVertical, soHorizontal };

// Two buttons in one window: up (top, or left when horizontal) and down. A press clicks at
// once and repeats while held (after 400 ms, then every 100 ms).
class TSpinBtn : public TCustomControl {
public:
    explicit TSpinBtn(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TSpinBtnOrientation Orientation() const { return orientation_; }
    void SetOrientation(TSpinBtnOrientation orientation);
    // Empty glyphs mean the drawn arrows.
    TBitmap& UpGlyph() { return upGlyph_; }
    TBitmap& DownGlyph() { return downGlyph_; }
    // The control a press focuses (with MakeFocus).
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool Framed() const { return framed_; }
    void SetFramed(bool framed);
    bool Inplaced() const { return inplaced_; }
    void SetInplaced(bool inplaced);
    bool MakeFocus() const { return makeFocus_; }
    void SetMakeFocus(bool makeFocus) { makeFocus_ = makeFocus; }
    // 0 none, 1 up, 2 down: the part held by the mouse.
    int PressedPart() const { return pressedPart_; }

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    int PartAt(int x, int y) const;
    RECT PartRect(int part) const;
    void Fire(int part);
    void RepeatTick();
    void DrawPart(TCanvas& canvas, int part);

    TSpinBtnOrientation orientation_ = soVertical;
    TBitmap upGlyph_;
    TBitmap downGlyph_;
    TWinControl* focusControl_ = nullptr;
    bool transparent_ = false;
    bool framed_ = true;
    bool inplaced_ = false;
    bool makeFocus_ = true;
    int pressedPart_ = 0;
    bool overPressed_ = false;  // the mouse is over the part it pressed
    TTimer* repeat_ = nullptr;
};

using TSpinClickEvent = std::function<void(TControl& sender, int increment)>;
// Text is the decimal number; ForDisplay is true while the edit has no focus.
using TSpinGetTextEvent = std::function<void(TControl& sender, std::string& text, bool forDisplay)>;

class TSpinMaskEdit : public TCustomMaskEdit {
public:
    explicit TSpinMaskEdit(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    int32_t MinValue() const { return range_.MinValue; }
    void SetMinValue(int32_t value);
    int32_t MaxValue() const { return range_.MaxValue; }
    void SetMaxValue(int32_t value);
    // The number the text shows (a unit after it is display only); an empty text gives the
    // stored value.
    int32_t Value();
    // Limited to the range; the text follows without a change event, which fires afterwards
    // when the number changed.
    void SetValue(int32_t value);
    int32_t Increment() const { return increment_; }
    void SetIncrement(int32_t increment) { increment_ = increment; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool enabled) { editorEnabled_ = enabled; }
    bool FocusByBtnClick() const { return focusByBtnClick_; }
    void SetFocusByBtnClick(bool focus);
    bool TransparentButton() const { return button_->Transparent(); }
    void SetTransparentButton(bool transparent) { button_->SetTransparent(transparent); }
    bool RestartValue() const { return restartValue_; }
    void SetRestartValue(bool restart) { restartValue_ = restart; }
    // ShowSpin shows the button; without AllwaysShowSpin only while the edit is enabled.
    bool ShowSpin() const { return showSpin_; }
    void SetShowSpin(bool show);
    bool AllwaysShowSpin() const { return allwaysShowSpin_; }
    void SetAllwaysShowSpin(bool show);
    TSpinBtn& Button() { return *button_; }

    // The up and down steps (buttons and arrow keys).
    void UpClick();
    void DownClick();

    TSpinClickEvent OnSpinClick;
    TSpinGetTextEvent OnGetText;

    void SetBounds(int left, int top, int width, int height) override;
    void SetEnabled(bool enabled) override;
    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void Change() override;

private:
    void ShowValue(int32_t value);
    void PlaceButton();
    int MinimumHeight();

    TSpinBtn* button_ = nullptr;
    TSpinRange range_;
    int32_t value_ = 0;
    int32_t increment_ = 1;
    TAlignment alignment_ = taRightJustify;
    bool editorEnabled_ = true;
    bool focusByBtnClick_ = true;
    bool restartValue_ = false;
    bool showSpin_ = true;
    bool allwaysShowSpin_ = false;
    bool quiet_ = false;  // the text is being set by the program
};
