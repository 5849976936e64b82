// TSplitControl, a short-lived object that drags a splitter bar: started by a mouse press on
// the bar, it holds the mouse, draws an inverted line across the form at the bar, moves it
// with the mouse within the limits of the control it resizes, and on release gives that
// control its new height (horizontal bar) or width (vertical bar) and frees itself.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "winui/control_win.h"
#include "winui/gdi_scope_win.h"

class TSplitControl : public TWinControl {
public:
    // Starts the drag of Bar sizing Sized within MinSize..MaxSize. Returns null when the left
    // mouse button is no longer down (nothing happens); otherwise the object, which frees
    // itself when the drag ends.
    static TSplitControl* Start(TControl& bar, int minSize, int maxSize, TControl& sized);
    ~TSplitControl() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // A bar wider than high splits horizontally: it moves up and down and sizes a height.
    bool Horizontal() const { return horizontal_; }
    // +1 when the sized control lies above or left of the bar, -1 below or right of it.
    int Sign() const { return sign_; }
    // The movement of the line so far, already limited.
    int Offset() const { return offset_; }
    // The most recent split control still running (null when none).
    static TSplitControl* Running();

    // Called after the sized control got its new size.
    std::function<void(TControl& sized)> OnSplit;

    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TSplitControl(TWinControl& form, TControl& bar, int minSize, int maxSize, TControl& sized);
    void WMLButtonUp(TMessage& msg);
    void WMCaptureChanged(TMessage& msg);
    void Begin();
    void Move(POINT screen);
    void Finish(bool apply);
    void InvertLine();
    // The bar's middle line in the form's client coordinates.
    RECT LineRect() const;

    TWinControl& form_;
    TControl& bar_;
    TControl& sized_;
    int minSize_;
    int maxSize_;
    bool horizontal_;
    int sign_ = 1;
    int size_ = 0;
    POINT start_{};
    int offset_ = 0;
    std::optional<TWindowDC> dc_;
    bool lineShown_ = false;
    bool finished_ = false;
};
