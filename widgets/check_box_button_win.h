// TCheckBoxButton, a windowless check box or radio button drawn from a 3 x 3 grid of glyph
// cells (state by column; normal, pressed and disabled by row). Buttons with the same group
// index on one parent behave as a group (check_box_logic.h); the caption's accelerator, the
// mouse and, while Focused, the Space key (through the parent window's key hook) click it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "widgets/check_box_logic.h"
#include "widgets/key_hook_list_win.h"
#include "winui/control_win.h"
#include "winui/graphics_win.h"
#include "winui/std_buttons_win.h"
#include "winui/std_controls_win.h"

class TCheckBoxButton : public TGraphicControl, public TKeyHookClient {
public:
    explicit TCheckBoxButton(TComponent* owner);
    ~TCheckBoxButton() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    bool Option(unsigned bit) const { return bit < 32 && (options_ >> bit & 1u) != 0; }
    // Raises Exception (ValueOutOfRange) for a bit above 31. Bit 6 (the parent's 3-D look)
    // is kept without effect: the framework's parents have no 3-D setting to follow.
    void SetOption(unsigned bit, bool value);
    bool RadioButton() const { return Option(coRadioButton); }
    void SetRadioButton(bool value) { SetOption(coRadioButton, value); }
    bool Ctl3D() const { return Option(coCtl3D); }
    void SetCtl3D(bool value) { SetOption(coCtl3D, value); }
    bool AllowGrayed() const { return Option(coAllowGrayed); }
    void SetAllowGrayed(bool value) { SetOption(coAllowGrayed, value); }
    bool Transparent() const { return Option(coTransparent); }
    void SetTransparent(bool value) { SetOption(coTransparent, value); }
    bool WordBreak() const { return Option(coWordBreak); }
    void SetWordBreak(bool value) { SetOption(coWordBreak, value); }
    bool AllowUp() const { return Option(coAllowUp); }
    void SetAllowUp(bool value) { SetOption(coAllowUp, value); }
    bool Focused() const { return Option(coFocused); }
    void SetFocused(bool value) { SetOption(coFocused, value); }
    bool Pressed() const { return Option(coPressed); }

    TCheckBoxState State() const { return state_; }
    // The group rule first, then the state; a change repaints and fires OnClick.
    void SetState(TCheckBoxState state);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool checked) { SetState(checked ? cbChecked : cbUnchecked); }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index) { groupIndex_ = index; }
    // Empty means the built-in glyph of the look (check box or radio, flat or 3-D).
    TBitmap& Glyph() { return glyph_; }
    void SetGlyph(const TBitmap* glyph);

    // The state a click leads to (AllowGrayed cycles through grayed).
    void Click() override;
    void SetEnabled(bool enabled) override;
    void SetParent(TWinControl* parent) override;
    void WndProc(TMessage& msg) override;

    // TKeyHookClient: Space while Focused.
    bool HookKeyDown(WORD key, TShiftState shift) override;
    void HookKeyUp(WORD key) override;
    bool HookWantsKey(WORD key, TShiftState shift) override;

    // The built-in 45 x 45 glyph of a look, made once and kept; the 3-D ones have their key
    // colours replaced by the system colours.
    static TBitmap& BuiltinGlyph(bool radio, bool ctl3D);

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void SetPressed(bool pressed);
    void UpdateKeyHook();
    TCheckBoxState GroupRule(TCheckBoxState wanted);
    void ForEachGroupMember(const std::function<void(TCheckBoxButton&)>& action);
    bool DialogChar(char key);

    uint32_t options_ = (1u << coEnabled) | (1u << coCtl3D);
    TCheckBoxState state_ = cbUnchecked;
    TAlignment alignment_ = taLeftJustify;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    int groupIndex_ = 0;
    TBitmap glyph_;
    bool applying_ = false;  // the group rule is unchecking the others
};
