#include "widgets/spin_edit_win.h"

#include <algorithm>

#include "base/format.h"
#include "winui/font_metrics_win.h"
#include "winui/gdi_scope_win.h"

namespace {

constexpr int SpinButtonWidth = 15;
constexpr unsigned FirstSpinRepeat = 400;
constexpr unsigned SpinRepeat = 100;

// A small filled triangle pointing in Direction (0 up, 1 down, 2 left, 3 right), centred in Rect.
void DrawArrow(HDC dc, const RECT& rect, int direction, COLORREF color) {
    const int size = std::max(2, std::min<int>((rect.right - rect.left) / 3, (rect.bottom - rect.top) / 2));
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    TGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    for (int i = 0; i < size; ++i) {
        // Row I of the triangle, from its tip.
        RECT line;
        switch (direction) {
        case 0: line = RECT{cx - i, cy - size / 2 + i, cx + i + 1, cy - size / 2 + i + 1}; break;
        case 1: line = RECT{cx - i, cy + size / 2 - i, cx + i + 1, cy + size / 2 - i + 1}; break;
        case 2: line = RECT{cx - size / 2 + i, cy - i, cx - size / 2 + i + 1, cy + i + 1}; break;
        default: line = RECT{cx + size / 2 - i, cy - i, cx + size / 2 - i + 1, cy + i + 1}; break;
        }
        FillRect(dc, &line, brush);
    }
}

}  // namespace

// --- TSpinBtn ---

const TClassInfo& TSpinBtn::StaticClass() {
    static const TClassInfo info{"TSpinBtn", &TCustomControl::StaticClass(), {}, {}};
    return info;
}

TSpinBtn::TSpinBtn(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ = {csCaptureMouse, csOpaque, csDoubleClicks};
    SetColor(clBtnFace);
    SetBounds(0, 0, SpinButtonWidth, 21);
    upGlyph_.OnChange = [this](TGraphic&) { Invalidate(); };
    downGlyph_.OnChange = [this](TGraphic&) { Invalidate(); };
}

void TSpinBtn::SetOrientation(TSpinBtnOrientation orientation) {
    orientation_ = orientation;
    Invalidate();
}

void TSpinBtn::SetFocusControl(TWinControl* control) {
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = control;
    if (control) control->FreeNotification(this);
}

void TSpinBtn::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == focusControl_) focusControl_ = nullptr;
    if (component == repeat_) repeat_ = nullptr;
}

void TSpinBtn::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void TSpinBtn::SetFramed(bool framed) {
    framed_ = framed;
    Invalidate();
}

void TSpinBtn::SetInplaced(bool inplaced) {
    inplaced_ = inplaced;
    Invalidate();
}

int TSpinBtn::PartAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    if (orientation_ == soHorizontal) return x < Width() / 2 ? 1 : 2;
    return y < Height() / 2 ? 1 : 2;
}

RECT TSpinBtn::PartRect(int part) const {
    const int w = Width(), h = Height();
    if (orientation_ == soHorizontal) return part == 1 ? RECT{0, 0, w / 2, h} : RECT{w / 2, 0, w, h};
    return part == 1 ? RECT{0, 0, w, h / 2} : RECT{0, h / 2, w, h};
}

void TSpinBtn::Fire(int part) {
    if (part == 1 && OnUpClick) OnUpClick(*this);
    if (part == 2 && OnDownClick) OnDownClick(*this);
}

void TSpinBtn::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled()) return;
    if (makeFocus_ && focusControl_ && focusControl_->CanFocus() && !focusControl_->Focused()) focusControl_->SetFocus();
    pressedPart_ = PartAt(x, y);
    overPressed_ = pressedPart_ != 0;
    Invalidate();
    if (!pressedPart_) return;
    if (!repeat_) {
        repeat_ = new TTimer(this);
        repeat_->SetEnabled(false);
        repeat_->OnTimer = [this](TTimer&) { RepeatTick(); };
    }
    repeat_->SetInterval(FirstSpinRepeat);
    repeat_->SetEnabled(true);
    Fire(pressedPart_);
}

void TSpinBtn::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    if (!pressedPart_) return;
    const bool over = PartAt(x, y) == pressedPart_;
    if (over == overPressed_) return;
    overPressed_ = over;
    Invalidate();
}

void TSpinBtn::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
    if (button != mbLeft) return;
    pressedPart_ = 0;
    overPressed_ = false;
    if (repeat_) repeat_->SetEnabled(false);
    Invalidate();
}

void TSpinBtn::RepeatTick() {
    if (!pressedPart_ || !Enabled()) {
        repeat_->SetEnabled(false);
        return;
    }
    if (repeat_->Interval() != SpinRepeat) repeat_->SetInterval(SpinRepeat);
    if (overPressed_) Fire(pressedPart_);
}

void TSpinBtn::DrawPart(TCanvas& canvas, int part) {
    HDC dc = canvas.Handle();
    RECT rect = PartRect(part);
    const bool pressed = pressedPart_ == part && overPressed_;
    if (!transparent_) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(Color());
        canvas.FillRect(rect);
    }
    if (framed_ || !inplaced_) DrawEdge(dc, &rect, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER | BDR_RAISEDOUTER, BF_RECT | BF_ADJUST);
    if (pressed) OffsetRect(&rect, 1, 1);
    TBitmap& glyph = part == 1 ? upGlyph_ : downGlyph_;
    if (!glyph.Empty()) {
        const int x = (rect.left + rect.right - glyph.Width()) / 2, y = (rect.top + rect.bottom - glyph.Height()) / 2;
        canvas.BrushCopy(RECT{x, y, x + glyph.Width(), y + glyph.Height()}, glyph,
                         RECT{0, 0, glyph.Width(), glyph.Height()}, glyph.TransparentColor());
        return;
    }
    const int direction = orientation_ == soHorizontal ? (part == 1 ? 2 : 3) : (part == 1 ? 0 : 1);
    if (!Enabled()) {
        RECT shadow = rect;
        OffsetRect(&shadow, 1, 1);
        DrawArrow(dc, shadow, direction, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawArrow(dc, rect, direction, GetSysColor(COLOR_BTNSHADOW));
        return;
    }
    DrawArrow(dc, rect, direction, GetSysColor(COLOR_BTNTEXT));
}

void TSpinBtn::Paint() {
    DrawPart(Canvas(), 1);
    DrawPart(Canvas(), 2);
}

// --- TSpinMaskEdit ---

const TClassInfo& TSpinMaskEdit::StaticClass() {
    static const TClassInfo info{"TSpinMaskEdit", &TCustomMaskEdit::StaticClass(), {}, {}};
    return info;
}

TSpinMaskEdit::TSpinMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {
    button_ = new TSpinBtn(this);
    button_->SetInplaced(true);
    button_->SetFocusControl(this);
    button_->OnUpClick = [this](TControl&) { UpClick(); };
    button_->OnDownClick = [this](TControl&) { DownClick(); };
    button_->SetParent(this);
    ShowValue(0);
}

void TSpinMaskEdit::CreateParams(TCreateParams& params) {
    TCustomMaskEdit::CreateParams(params);
    // The spin button is a child window of the edit; the edit must not paint over it.
    params.Style |= WS_CLIPCHILDREN;
    if (alignment_ == taRightJustify) params.Style |= ES_RIGHT;
    else if (alignment_ == taCenter) params.Style |= ES_CENTER;
}

void TSpinMaskEdit::CreateWindowHandle(const TCreateParams& params) {
    TCustomMaskEdit::CreateWindowHandle(params);
    PlaceButton();
}

void TSpinMaskEdit::PlaceButton() {
    const bool shown = showSpin_ && (allwaysShowSpin_ || Enabled());
    button_->SetVisible(shown);
    if (!HandleAllocated()) return;
    RECT client;
    GetClientRect(Handle(), &client);
    button_->SetBounds(client.right - SpinButtonWidth, 0, SpinButtonWidth, client.bottom);
    // The text keeps clear of the button.
    SendMessageW(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELONG(1, shown ? SpinButtonWidth + 2 : 1));
    InvalidateRect(Handle(), nullptr, TRUE);
}

int TSpinMaskEdit::MinimumHeight() {
    const TFontHeights heights = ScreenFontHeights(Font().Handle());
    return std::min(heights.System, heights.Font) + 2 * GetSystemMetrics(SM_CYEDGE);
}

void TSpinMaskEdit::SetBounds(int left, int top, int width, int height) {
    TCustomMaskEdit::SetBounds(left, top, width, std::max(height, MinimumHeight()));
    if (button_) PlaceButton();
}

void TSpinMaskEdit::SetEnabled(bool enabled) {
    TCustomMaskEdit::SetEnabled(enabled);
    button_->SetEnabled(enabled);
    PlaceButton();
}

void TSpinMaskEdit::SetShowSpin(bool show) {
    showSpin_ = show;
    PlaceButton();
}

void TSpinMaskEdit::SetAllwaysShowSpin(bool show) {
    allwaysShowSpin_ = show;
    PlaceButton();
}

void TSpinMaskEdit::SetFocusByBtnClick(bool focus) {
    focusByBtnClick_ = focus;
    button_->SetMakeFocus(focus);
}

void TSpinMaskEdit::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    RecreateWnd();
}

void TSpinMaskEdit::SetMinValue(int32_t value) {
    range_.MinValue = value;
    SetValue(value_);
}

void TSpinMaskEdit::SetMaxValue(int32_t value) {
    range_.MaxValue = value;
    SetValue(value_);
}

int32_t TSpinMaskEdit::Value() { return ParseSpinText(Text(), value_); }

void TSpinMaskEdit::ShowValue(int32_t value) {
    std::string text = IntToStr(value);
    if (OnGetText) OnGetText(*this, text, !Focused());
    quiet_ = true;
    try {
        SetText(text);
    } catch (...) {
        quiet_ = false;
        throw;
    }
    quiet_ = false;
}

void TSpinMaskEdit::SetValue(int32_t value) {
    const int32_t before = Value();
    value_ = ClampSpinValue(value, range_);
    ShowValue(value_);
    if (value_ != before) TCustomMaskEdit::Change();
}

void TSpinMaskEdit::Change() {
    if (!quiet_) TCustomMaskEdit::Change();
}

void TSpinMaskEdit::UpClick() {
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    if (OnSpinClick) {
        OnSpinClick(*this, increment_);
        return;
    }
    SetValue(StepSpinValue(Value(), increment_, true, restartValue_, range_));
}

void TSpinMaskEdit::DownClick() {
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    if (OnSpinClick) {
        OnSpinClick(*this, -increment_);
        return;
    }
    SetValue(StepSpinValue(Value(), increment_, false, restartValue_, range_));
}

void TSpinMaskEdit::KeyDown(WORD& key, TShiftState shift) {
    TCustomMaskEdit::KeyDown(key, shift);
    if (!key || button_->TabStop()) return;
    const bool horizontal = button_->Orientation() == soHorizontal;
    if (key == VK_UP || (horizontal && key == VK_LEFT)) {
        UpClick();
        key = 0;
    } else if (key == VK_DOWN || (horizontal && key == VK_RIGHT)) {
        DownClick();
        key = 0;
    }
}

void TSpinMaskEdit::KeyPress(char& key) {
    TCustomMaskEdit::KeyPress(key);
    if (!key) return;
    if (!SpinCharAccepted(key, editorEnabled_, DecimalSeparator())) {
        MessageBeep(0);
        key = 0;
    }
}

void TSpinMaskEdit::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_SETFOCUS:
        TCustomMaskEdit::WndProc(msg);
        // While focused the text is for editing: no unit.
        if (OnGetText) {
            ShowValue(Value());
            SelectAll();
        }
        return;
    case WM_KILLFOCUS:
        TCustomMaskEdit::WndProc(msg);
        SetValue(Value());
        return;
    case WM_SIZE:
        TCustomMaskEdit::WndProc(msg);
        PlaceButton();
        return;
    default:
        break;
    }
    TCustomMaskEdit::WndProc(msg);
}
