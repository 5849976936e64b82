// The standard buttons over the system BUTTON class: the push button with its modal result
// and default/cancel roles, the owner-drawn bitmap button with its kinds (OK, Cancel, Yes ...)
// and glyphs, the check box with its three states, and the radio button grouped by its parent.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "winui/form_win.h"
#include "winui/graphics_win.h"
#include "winui/std_controls_win.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// The common base of the BUTTON-class controls: clicks arrive as BN_CLICKED notifications
// (the framework's own mouse click handling is off).
class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
    // BN_CLICKED from the window; the default runs Click.
    virtual void ButtonClicked();
    // The framework calls this for the accelerator character; the default clicks when it
    // matches the caption and the control can take the focus.
    virtual bool DialogChar(char key);
};

// A push button. Click sets the parent form's modal result to ModalResult (when not mrNone),
// which ends a modal run, then fires OnClick. Enter clicks the Default button of the form and
// Escape its Cancel button when no other control takes those keys.
class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }

    void Click() override;
    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
    // Shows the default-button frame on this button, or takes it away.
    void SetButtonStyle(bool showDefault);
    // Whether the button shows the default frame while Focus has the focus: it is the focused
    // button, or it is Default and no other push button of the form is focused.
    bool ShowsDefault(HWND focus);
    // Owner-drawn buttons keep BS_OWNERDRAW and track the default look themselves.
    virtual bool OwnerDrawn() const { return false; }
    bool DefaultLook() const { return defaultLook_; }

private:
    void UpdateFormButtons(HWND focus);

    bool default_ = false;
    bool cancel_ = false;
    bool defaultLook_ = false;
    TModalResult modalResult_ = mrNone;
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry,
                   bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A push button drawn by the program: a glyph beside the caption. A kind other than bkCustom
// gives the caption from the string table, a built-in glyph, the modal result and the
// default/cancel role; bkClose closes the form. Glyph holds up to four images side by side
// (NumGlyphs: normal, disabled, pressed, ...); its bottom-left pixel colour is transparent.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* owner);
    ~TBitBtn() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind kind);
    // The user's glyph; an empty one means the kind's built-in glyph.
    TBitmap& Glyph() { return glyph_; }
    void SetGlyph(TBitmap* glyph);
    int NumGlyphs() const { return numGlyphs_; }
    // Raises Exception (ValueOutOfRange) outside 1..4.
    void SetNumGlyphs(int count);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    // The caption's string-table text of a kind (empty for bkCustom).
    static std::string KindCaption(TBitBtnKind kind);
    static TModalResult KindModalResult(TBitBtnKind kind);

    void Click() override;
    void WndProc(TMessage& msg) override;

protected:
    bool OwnerDrawn() const override { return true; }
    void DrawItem(const DRAWITEMSTRUCT& item);
    // The glyph to draw: the user's, else the built-in one of the kind (null for bkCustom).
    TBitmap* CurrentGlyph();

private:
    void DrawGlyph(HDC dc, int x, int y, TBitmap& glyph, bool enabled, bool pressed);

    TBitBtnKind kind_ = bkCustom;
    TBitmap glyph_;
    std::unique_ptr<TBitmap> kindGlyph_;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
};

// A check box (BUTTON with BS_3STATE). A click goes unchecked -> checked -> unchecked, or with
// AllowGrayed unchecked -> grayed -> checked -> unchecked. Every change of State, by the
// user or the program, fires OnClick.
class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState state);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool checked) { SetState(checked ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool allow) { allowGrayed_ = allow; }
    // Text to the left (taLeftJustify) or right (taRightJustify, the default) of the box.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    // Moves to the next state in the order above.
    virtual void Toggle();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void ButtonClicked() override;
    bool DialogChar(char key) override;

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    TAlignment alignment_ = taRightJustify;
};

// A radio button (BUTTON with BS_RADIOBUTTON). Checking it unchecks the other radio buttons
// of the same parent; a click checks it. Becoming checked fires OnClick.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void ButtonClicked() override;
    bool DialogChar(char key) override;

private:
    bool checked_ = false;
    TAlignment alignment_ = taRightJustify;
};
