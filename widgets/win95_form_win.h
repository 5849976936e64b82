// TWin95Form, the base of every window of the program. Beyond the framework's form it paints
// its own caption bar (optionally with a colour gradient, and with a caption-paint event),
// offers a nesting lock for handlers that must ignore the program's own updates, can be docked
// as a child inside another window (Inplaced), can pop up modally at a control (closed by
// Enter, Escape or a click outside), and keeps its placement in the configuration.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "winui/form_win.h"
#include "winui/menu_win.h"

enum TGradient { gfNone, gfActive, gfAllways };

class TWin95Form;
// ARect is the rectangle of the caption text; the handler may draw on ACanvas (the off-screen
// caption) and change the rectangle the text then goes into.
using TOnPaintCaption = std::function<void(TWin95Form& sender, TCanvas& canvas, RECT& rect)>;

// Parts of the caption PaintCaption draws.
enum : unsigned { cpBackground = 1, cpIcon = 2, cpButtons = 4, cpText = 8, cpAll = 15 };

class TWin95Form : public TForm {
public:
    // With Parent, the form is made Inplaced and then put into Parent; without one it is an
    // ordinary top-level form.
    explicit TWin95Form(TComponent* owner, TWinControl* parent = nullptr);
    ~TWin95Form() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // Lock(true) counts up, Lock(false) counts down while above 0; true when this call
    // crossed 0 (the first lock, or the last unlock).
    virtual bool Lock(bool lock);
    bool Locked() const { return lockCount_ != 0; }
    int LockCount() const { return lockCount_; }

    // Shows the form modally at Control (screen position from the control, below it, or above
    // when there is no room; Alignment 0 left, 1 right, 2 centred) or at (X, Y) without one.
    // Enter gives 1, Escape 2, a click outside 3; 2 at once when a popup is already running.
    virtual int Popup(int x, int y, int alignment, TControl* control);
    bool PopupActive() const { return (popupState_ & 1) != 0; }
    uint16_t PopupState() const { return popupState_; }

    // False: restore the placement from the configuration; true: save it (not for a
    // screen-centred form).
    virtual void StorePlacement(bool save);

    TGradient Gradient() const { return gradient_; }
    void SetGradient(TGradient gradient);
    TOnPaintCaption OnPaintCaption;
    void SetOnPaintCaption(TOnPaintCaption handler);

    // Draws the caption parts of Mask into Dc (the window's device context) at Rect (window
    // coordinates), as active or inactive.
    virtual void PaintCaption(HDC dc, unsigned mask, const RECT& rect, bool active);
    // The caption rectangle in window coordinates (empty without a caption bar).
    RECT CaptionRect();
    // Whether the form paints its caption itself now.
    bool PaintsOwnCaption();
    // Repaints the caption at once.
    void RedrawCaption();

    void SetActiveControl(TWinControl* control) override;
    void SetVisible(bool visible) override;
    void SetFormStyle(TFormStyle style) override;
    TModalResult ShowModal() override;

    void WndProc(TMessage& msg) override;

    // The number of gradient bands of the last caption painted (0 when none was drawn).
    int LastGradientBands() const { return lastBands_; }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WMNCPaint(TMessage& msg) override;
    void WMNCActivate(TMessage& msg) override;
    void WMSetCursor(TMessage& msg) override;
    void WMSetText(TMessage& msg) override;
    void DoClose(TCloseAction& action) override;
    bool DialogKey(WORD key, TShiftState shift) override;
    void KeyDown(WORD& key, TShiftState shift) override;

private:
    void PopupClose(int result);
    void PlacePopupAt(int x, int y, int alignment, TControl* control);
    int RunPopupLoop();
    void HoldPreviousActive(HWND window);
    void ReleasePreviousActive();
    bool HandleTrackedMouse(TMessage& msg);

    uint16_t popupState_ = 0;
    bool showingModal_ = false;
    int lockCount_ = 0;
    bool placementWanted_ = false;
    TGradient gradient_ = gfNone;
    bool ncActive_ = false;
    int lastBands_ = 0;
    HWND heldWindow_ = nullptr;
    WNDPROC heldProc_ = nullptr;
};

// Makes a form of class T docked inside Parent: NewForm<T>(Owner, Parent).
template <class T>
T* CreateInplaced(TComponent* owner, TWinControl* parent) {
    return NewForm<T>(owner, parent);
}
