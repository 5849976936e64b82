// TNewSpeedButton, the program's windowless tool button. Its boolean options are bits of one
// set (speed_button_options.h) whose look bits follow a defaults table while DefaultOptions is
// set; every option change is announced with UM_OPTIONCHANGED to the button and its parent.
// Flat and greyed buttons light up while the mouse is over them (they follow it through the
// mouse tracking list), activation keys press the button through a hook on its parent window
// even though it never has the focus, a held button repeats its click by a timer, grouped
// buttons latch down one at a time, and an optional arrow part at the right opens a menu.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "widgets/key_hook_list_win.h"
#include "widgets/speed_button_options.h"
#include "winui/control_win.h"
#include "winui/graphics_win.h"
#include "winui/menu_win.h"
#include "winui/std_buttons_win.h"
#include "winui/timer_win.h"

enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
// Up, disabled, pressed (held by the mouse) or exclusive (latched down).
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TBtnDrawAction { daBeforeDraw, daAfterDraw };

class TNewSpeedButton;
// Called before the built-in drawing (Painted true suppresses it) and, unless suppressed, after.
using TBtnPaintEvent = std::function<void(TNewSpeedButton& sender, TCanvas& canvas, TBtnDrawAction action, bool& painted)>;

// A control that hosts in-place buttons (an edit with buttons inside): it lays them out again
// when they change (they post UM_OPTIONCHANGED with zero parameters to it).
class TButtonHost {
public:
    virtual ~TButtonHost() = default;
    virtual void LayoutButtons() = 0;
};

class TNewSpeedButton : public TGraphicControl, public TKeyHookClient {
public:
    // 23 x 22, parent font, colour clBtnFace, ParentFocus, DrawFrame, DrawCaption and
    // DefaultOptions set, the defaults applied.
    explicit TNewSpeedButton(TComponent* owner);
    ~TNewSpeedButton() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // --- options (the only way they change) ---
    bool Option(unsigned bit) const { return options_.Get(bit); }
    void SetOption(unsigned bit, bool value);
    // The look bits and colour of the defaults row for the current Inplaced value.
    void ApplyDefaults();

    bool DefaultOptions() const { return Option(boDefaultOptions); }
    void SetDefaultOptions(bool value) { SetOption(boDefaultOptions, value); }
    bool Transparent() const { return Option(boTransparent); }
    void SetTransparent(bool value) { SetOption(boTransparent, value); }
    bool Flat() const { return Option(boFlat); }
    void SetFlat(bool value) { SetOption(boFlat, value); }
    bool Graying() const { return Option(boGraying); }
    void SetGraying(bool value) { SetOption(boGraying, value); }
    bool DrawFrame() const { return Option(boDrawFrame); }
    void SetDrawFrame(bool value) { SetOption(boDrawFrame, value); }
    bool Focused() const { return Option(boFocused); }
    void SetFocused(bool value) { SetOption(boFocused, value); }
    bool Down() const { return Option(boDown); }
    void SetDown(bool value) { SetOption(boDown, value); }
    bool AllwaysShow() const { return Option(boAllwaysShow); }
    void SetAllwaysShow(bool value) { SetOption(boAllwaysShow, value); }
    bool AllowAllUp() const { return Option(boAllowAllUp); }
    void SetAllowAllUp(bool value) { SetOption(boAllowAllUp, value); }
    bool ParentFocus() const { return Option(boParentFocus); }
    void SetParentFocus(bool value) { SetOption(boParentFocus, value); }
    bool DrawCaption() const { return Option(boDrawCaption); }
    void SetDrawCaption(bool value) { SetOption(boDrawCaption, value); }
    bool Inplaced() const { return Option(boInplaced); }
    void SetInplaced(bool value) { SetOption(boInplaced, value); }
    bool DropDown() const { return Option(boDropDown); }
    void SetDropDown(bool value) { SetOption(boDropDown, value); }

    // --- other properties ---
    const TActivateKeys& ActivateKeys() const { return activateKeys_; }
    void SetActivateKeys(const TActivateKeys& keys);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle style);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    uint16_t TimerInterval() const { return timerInterval_; }
    void SetTimerInterval(uint16_t interval);
    uint16_t ResourceID() const { return resourceId_; }
    // Loads the glyph from the program's bitmap resource Id (raises EInvalidGraphic when
    // there is none); 0 keeps the glyph.
    void SetResourceID(uint16_t id);
    int NumGlyphs() const { return numGlyphs_; }
    // Raises Exception (ValueOutOfRange) outside 1..4: up, disabled, down, hot.
    void SetNumGlyphs(int count);
    // -1: the colour of the glyph's bottom-left pixel.
    TColor MaskColor() const { return maskColor_; }
    void SetMaskColor(TColor color);
    TBitmap& Glyph() { return glyph_; }
    void SetGlyph(const TBitmap* glyph);
    // Shown by the host window in the hint and handled through the application hook's
    // shortcut handlers.
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    TPopupMenu* DropDownPopup() const { return dropDownPopup_; }
    void SetDropDownPopup(TPopupMenu* menu);

    TButtonState State() const;
    // Whether the mouse is over the button (hot) and over its arrow part.
    bool MouseInControl() const { return Option(boHot); }
    bool MouseOverArrow() const { return Option(boOverArrow); }

    // After the layout built the button: the automatic mask colour is taken, a free button
    // without activation keys gets [vkSpace], the defaults are applied and the key hook set.
    void Loaded() override;
    void SetParent(TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;

    void Click() override;
    // Opens DropDownPopup below the button and fires OnDropDownClick (see the class comment).
    virtual void DropDownClick();

    TBtnPaintEvent OnPaint;
    TNotifyEvent OnDropDownClick;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

    void WndProc(TMessage& msg) override;

    // TKeyHookClient
    bool HookKeyDown(WORD key, TShiftState shift) override;
    void HookKeyUp(WORD key) override;
    bool HookWantsKey(WORD key, TShiftState shift) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void CMMouseEnterLeave(TMessage& msg);
    void CMButtonPressed(TMessage& msg);
    void CMEnabledChanged(TMessage& msg);
    void CMDialogChar(TMessage& msg);
    void OptionChanged(unsigned bit);
    void ChangeDown(bool value);
    void Announce(WPARAM bit);
    bool InGroup() const { return groupIndex_ != 0 && Parent(); }
    void ReleaseGroupSiblings();
    bool OverArrowAt(int x, int y) const;
    void UpdateHot();
    void UpdateTracking();
    bool WantsTracking() const;
    void TrackedMouseMessage(const TMessage& msg);
    void UpdateKeyHook();
    void StartRepeat();
    void StopRepeat();
    void RepeatTick();
    bool MouseHeldOver();
    void UpdateOpaque();
    void UpdateInplaced();
    void PostHostLayout();
    bool ShortCutPressed(intptr_t data);
    void RegisterShortCut(bool add);
    void DrawButton(TCanvas& canvas);

    TSpeedButtonOptions options_;
    TActivateKeys activateKeys_;
    TButtonLayout layout_ = blGlyphLeft;
    TButtonStyle style_ = bsAutoDetect;
    int spacing_ = 4;
    int margin_ = -1;
    int groupIndex_ = 0;
    uint16_t timerInterval_ = 0;
    uint16_t resourceId_ = 0;
    int numGlyphs_ = 1;
    TColor maskColor_ = -1;
    TBitmap glyph_;
    TShortCut shortCut_ = 0;
    TPopupMenu* dropDownPopup_ = nullptr;
    bool pressed_ = false;     // held by the mouse (the pressed state)
    bool leftHeld_ = false;    // the left button went down on the button and is not yet up
    bool pressOnArrow_ = false;// that press began on the arrow part
    WORD heldKey_ = 0;         // the activation key that pressed the button, while down
    TTimer* repeatTimer_ = nullptr;
};

// Replaces the defaults row for Inplaced and re-applies the defaults to every speed button
// owned (at any depth) by Owner, or by the application when Owner is null. Applied to one
// component only, the previous row is restored afterwards.
void ApplySpeedButtonDefaults(bool inplaced, const TSpeedButtonDefaults& row, TComponent* owner);
