#include "widgets/speed_button_win.h"

#include <functional>

#include "base/exception.h"
#include "base/string_ids.h"
#include "widgets/app_services_win.h"
#include "widgets/application_hook_win.h"
#include "widgets/button_draw_win.h"
#include "winui/application_win.h"

namespace {

bool Inside(const TControl& control, int x, int y) {
    return x >= 0 && y >= 0 && x < control.Width() && y < control.Height();
}

// The symbol font of the arrow part: "Marlett", symbol charset. It lives as long as the
// process (freed at exit it could outlive the graphics objects it uses).
TFont& ArrowFont() {
    static TFont* font = nullptr;
    if (!font) {
        font = new TFont;
        font->SetName("Marlett");
        font->SetCharSet(SYMBOL_CHARSET);
        font->SetHeight(13);
        font->SetColor(clBtnText);
    }
    return *font;
}

}  // namespace

const TClassInfo& TNewSpeedButton::StaticClass() {
    using B = TNewSpeedButton;
    static const TClassInfo info{
        "TNewSpeedButton",
        &TGraphicControl::StaticClass(),
        {
            TypedProp<B, int32_t>("ShortCut", TPropKind::pkInteger, [](const B& b) { return int32_t{b.ShortCut()}; },
                                  [](B& b, const int32_t& v) { b.SetShortCut(static_cast<TShortCut>(v)); }),
            TypedProp<B, int32_t>("GroupIndex", TPropKind::pkInteger, [](const B& b) { return int32_t{b.GroupIndex()}; },
                                  [](B& b, const int32_t& v) { b.SetGroupIndex(v); }),
            TypedProp<B, bool>("Down", TPropKind::pkBoolean, [](const B& b) { return b.Down(); },
                               [](B& b, const bool& v) { b.SetDown(v); }),
            TypedProp<B, bool>("DefaultOptions", TPropKind::pkBoolean, [](const B& b) { return b.DefaultOptions(); },
                               [](B& b, const bool& v) { b.SetDefaultOptions(v); }),
            TypedProp<B, bool>("Flat", TPropKind::pkBoolean, [](const B& b) { return b.Flat(); },
                               [](B& b, const bool& v) { b.SetFlat(v); }),
            TypedProp<B, bool>("Transparent", TPropKind::pkBoolean, [](const B& b) { return b.Transparent(); },
                               [](B& b, const bool& v) { b.SetTransparent(v); }),
            TypedProp<B, int32_t>("TimerInterval", TPropKind::pkInteger,
                                  [](const B& b) { return int32_t{b.TimerInterval()}; },
                                  [](B& b, const int32_t& v) { b.SetTimerInterval(static_cast<uint16_t>(v)); }),
        },
        {}};
    return info;
}

TNewSpeedButton::TNewSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    // Clicks are the button's own business (on release, see MouseUp), not the framework's.
    controlStyle_ = {csCaptureMouse, csDoubleClicks, csSetCaption};
    SetBounds(0, 0, 23, 22);
    SetParentFont(true);
    SetColor(clBtnFace);
    glyph_.OnChange = [this](TGraphic&) { Invalidate(); };
    ApplyDefaults();
}

TNewSpeedButton::~TNewSpeedButton() {
    StopRepeat();
    RemoveTrackingControl(this);
    THookList::Instance().Remove(this);
    RegisterShortCut(false);
    glyph_.OnChange = nullptr;
}

// --- options ---

void TNewSpeedButton::SetOption(unsigned bit, bool value) {
    if (bit == boDown) {
        ChangeDown(value);
        return;
    }
    const uint32_t before = options_.Bits();
    options_.Set(bit, value);
    if (options_.Bits() == before) return;
    OptionChanged(bit);
    Announce(bit);
}

// What a changed option does besides being stored.
void TNewSpeedButton::OptionChanged(unsigned bit) {
    const bool value = options_.Get(bit);
    switch (bit) {
    case boTransparent:
        UpdateOpaque();
        Invalidate();
        break;
    case boFlat:
    case boGraying:
    case boDrawFrame:
    case boDrawCaption:
    case boDropDown:
        Invalidate();
        UpdateTracking();
        break;
    case boFocused:
        if (!value && pressed_) {
            pressed_ = false;
            leftHeld_ = false;
            StopRepeat();
        }
        Invalidate();
        break;
    case boAllwaysShow:
        if (Inplaced()) SetVisible(value);
        break;
    case boAllowAllUp:
        if (Down()) ReleaseGroupSiblings();
        break;
    case boParentFocus:
        if (value && Parent() && Parent()->HandleAllocated() && Parent()->CanFocus()) Parent()->SetFocus();
        break;
    case boKeyCtrl:
    case boKeyAlt: {
        const TKeys key = bit == boKeyCtrl ? vkCtrl : vkAlt;
        if (value) activateKeys_.Include(key);
        else activateKeys_.Exclude(key);
        UpdateKeyHook();
        break;
    }
    case boMenuDisabled:
        // While the menu is shown the button ignores clicks; afterwards it is enabled as before.
        if (value) {
            options_.Set(boEnabledMemo, Enabled());
            SetEnabled(false);
        } else {
            SetEnabled(options_.Get(boEnabledMemo));
        }
        Invalidate();
        break;
    case boDefaultOptions:
        if (value) ApplyDefaults();
        break;
    case boInplaced:
        if (DefaultOptions()) ApplyDefaults();
        UpdateInplaced();
        break;
    default:
        break;
    }
}

void TNewSpeedButton::Announce(WPARAM bit) {
    Perform(UM_OPTIONCHANGED, bit, reinterpret_cast<LPARAM>(this));
    if (Parent()) Parent()->Perform(UM_OPTIONCHANGED, bit, reinterpret_cast<LPARAM>(this));
}

void TNewSpeedButton::ApplyDefaults() {
    SetColor(options_.ApplyDefaults());
    UpdateOpaque();
    Announce(65535);
    Invalidate();
}

void TNewSpeedButton::UpdateOpaque() {
    if (Transparent()) controlStyle_ -= csOpaque;
    else controlStyle_ += csOpaque;
}

// --- down and groups ---

void TNewSpeedButton::ChangeDown(bool value) {
    if (value == Down()) return;
    // The down button of a group stays down unless the group may be all up.
    if (!value && InGroup() && !AllowAllUp()) return;
    options_.Set(boDown, value);
    if (value) ReleaseGroupSiblings();
    Invalidate();
    Announce(boDown);
}

void TNewSpeedButton::ReleaseGroupSiblings() {
    if (!InGroup()) return;
    TMessage msg{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this), 0};
    Parent()->Broadcast(msg);
}

void TNewSpeedButton::SetGroupIndex(int index) {
    if (index == groupIndex_) return;
    groupIndex_ = index;
    if (Down()) ReleaseGroupSiblings();
}

TButtonState TNewSpeedButton::State() const {
    if (Option(boMenuDisabled)) return bsDown;
    if (!Enabled()) return bsDisabled;
    if (pressed_) return bsDown;
    if (Down()) return bsExclusive;
    return bsUp;
}

// --- properties ---

void TNewSpeedButton::SetActivateKeys(const TActivateKeys& keys) {
    activateKeys_ = keys;
    options_.Set(boKeyCtrl, keys.WantsCtrl());
    options_.Set(boKeyAlt, keys.WantsAlt());
    UpdateKeyHook();
}

void TNewSpeedButton::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    Invalidate();
}

void TNewSpeedButton::SetStyle(TButtonStyle style) {
    style_ = style;
    Invalidate();
}

void TNewSpeedButton::SetSpacing(int spacing) {
    spacing_ = spacing;
    Invalidate();
}

void TNewSpeedButton::SetMargin(int margin) {
    margin_ = margin;
    Invalidate();
}

void TNewSpeedButton::SetTimerInterval(uint16_t interval) {
    timerInterval_ = interval;
    if (interval == 0) StopRepeat();
}

void TNewSpeedButton::SetResourceID(uint16_t id) {
    if (id) glyph_.LoadFromResourceID(GetModuleHandleW(nullptr), id);
    resourceId_ = id;
    Invalidate();
}

void TNewSpeedButton::SetNumGlyphs(int count) {
    if (count < 1 || count > 4) throw Exception(sid::ValueOutOfRange, {int64_t{count}, int64_t{1}, int64_t{4}});
    numGlyphs_ = count;
    Invalidate();
}

void TNewSpeedButton::SetMaskColor(TColor color) {
    maskColor_ = color;
    Invalidate();
}

void TNewSpeedButton::SetGlyph(const TBitmap* glyph) {
    glyph_.Assign(const_cast<TBitmap*>(glyph));
    Invalidate();
}

void TNewSpeedButton::SetShortCut(TShortCut shortCut) {
    if (shortCut == shortCut_) return;
    RegisterShortCut(false);
    shortCut_ = shortCut;
    RegisterShortCut(true);
}

void TNewSpeedButton::RegisterShortCut(bool add) {
    if (!shortCut_) return;
    WORD key = 0;
    TShiftState shift;
    ShortCutToKey(shortCut_, key, shift);
    if (add) AddShortCutHandler(key, shift, this, ShortCutMethod<&TNewSpeedButton::ShortCutPressed>, 0);
    else RemoveShortCutHandler(key, shift, this, ShortCutMethod<&TNewSpeedButton::ShortCutPressed>, 0);
}

bool TNewSpeedButton::ShortCutPressed(intptr_t) {
    if (!Enabled() || !Showing()) return false;
    if (InGroup()) ChangeDown(!Down());
    Click();
    return true;
}

void TNewSpeedButton::SetDropDownPopup(TPopupMenu* menu) {
    if (menu == dropDownPopup_) return;
    if (dropDownPopup_) dropDownPopup_->RemoveFreeNotification(this);
    dropDownPopup_ = menu;
    if (menu) menu->FreeNotification(this);
}

void TNewSpeedButton::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == dropDownPopup_) dropDownPopup_ = nullptr;
    if (operation == opRemove && component == repeatTimer_) repeatTimer_ = nullptr;
}

// --- life cycle and place ---

void TNewSpeedButton::Loaded() {
    TGraphicControl::Loaded();
    if (maskColor_ == -1 && !glyph_.Empty()) maskColor_ = GlyphMaskColor(glyph_, -1);
    SetActivateKeys(LoadedActivateKeys(activateKeys_, Inplaced()));
    if (DefaultOptions()) ApplyDefaults();
    UpdateKeyHook();
}

void TNewSpeedButton::SetParent(TWinControl* parent) {
    TGraphicControl::SetParent(parent);
    UpdateInplaced();
    UpdateKeyHook();
}

void TNewSpeedButton::SetBounds(int left, int top, int width, int height) {
    if (width == -1) width = GetSystemMetrics(SM_CXVSCROLL);
    TGraphicControl::SetBounds(left, top, width, height);
    if (Inplaced()) PostHostLayout();
}

void TNewSpeedButton::SetVisible(bool visible) {
    TGraphicControl::SetVisible(visible);
    if (Inplaced()) PostHostLayout();
    UpdateKeyHook();
}

// An in-place button on a host sits at its right (or left) edge and takes a width of its own.
void TNewSpeedButton::UpdateInplaced() {
    if (!Inplaced() || !dynamic_cast<TButtonHost*>(Parent())) return;
    if (Align() != alLeft && Align() != alRight) SetAlign(alRight);
    if (Caption().empty()) layout_ = Align() == alRight ? blGlyphRight : blGlyphLeft;
    const int glyphWidth = glyph_.Empty() ? 0 : glyph_.Width() / numGlyphs_;
    SetWidth(glyphWidth > 0 ? glyphWidth + 6 : -1);
    if (DefaultOptions()) ApplyDefaults();
    PostHostLayout();
}

void TNewSpeedButton::PostHostLayout() {
    if (Parent() && Parent()->HandleAllocated() && dynamic_cast<TButtonHost*>(Parent()))
        PostMessageW(Parent()->Handle(), UM_OPTIONCHANGED, 0, 0);
}

// --- mouse ---

bool TNewSpeedButton::OverArrowAt(int x, int y) const {
    return DropDown() && x >= Width() - DropDownWidth && x < Width() && y >= 0 && y < Height();
}

void TNewSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled() || !Inside(*this, x, y)) return;
    if (ParentFocus() && Parent() && Parent()->CanFocus() && !Parent()->Focused()) Parent()->SetFocus();
    leftHeld_ = true;
    pressOnArrow_ = OverArrowAt(x, y);
    SetOption(boOverArrow, pressOnArrow_);
    if (pressOnArrow_) {
        Invalidate();
    } else if (!Down()) {
        pressed_ = true;
        Invalidate();
        StartRepeat();
    } else if (InGroup()) {
        StartRepeat();  // a latched button held down again repeats while held
    }
    UpdateTracking();
}

void TNewSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    UpdateHot();
    SetOption(boOverArrow, MouseInControl() && OverArrowAt(x, y));
    if (leftHeld_ && !Down() && !pressOnArrow_) {
        // Off the button the press is released; it comes back when the mouse does.
        const bool held = Inside(*this, x, y) && !OverArrowAt(x, y);
        if (held != pressed_) {
            pressed_ = held;
            Invalidate();
        }
    }
    UpdateTracking();
}

void TNewSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != mbLeft) return;
    const bool inside = Inside(*this, x, y);
    // A release over the arrow counts when the press began there, or when the press went to
    // the menu that this release closes.
    const bool pressedArrow = !leftHeld_ || pressOnArrow_;
    const bool wasHeld = leftHeld_;
    leftHeld_ = false;
    pressOnArrow_ = false;
    StopRepeat();
    if (inside && OverArrowAt(x, y) && pressedArrow) {
        pressed_ = false;
        DropDownClick();
        return;
    }
    if (!wasHeld) return;
    const bool notUp = pressed_ || Down();
    pressed_ = false;
    if (notUp) {
        if (InGroup() && inside && !OverArrowAt(x, y)) ChangeDown(!Down());
        Invalidate();
        if (inside) Click();
    }
    // The click may have freed the button's form: nothing after it touches the window.
}

void TNewSpeedButton::UpdateHot() {
    if (options_.Get(boHotGuard)) return;
    options_.Set(boHotGuard, true);
    bool hot = false;
    if (Parent() && Parent()->HandleAllocated() && Visible()) {
        POINT p;
        GetCursorPos(&p);
        hot = WindowFromPoint(p) == Parent()->Handle() && TWinControl::FindDragTarget(p, true) == this;
    }
    options_.Set(boHotGuard, false);
    if (hot == MouseInControl()) return;
    SetOption(boHot, hot);
    if (!hot) SetOption(boOverArrow, false);
    if ((Flat() && DrawFrame()) || Graying() || DropDown()) Invalidate();
}

bool TNewSpeedButton::WantsTracking() const { return Flat() || Graying() || DropDown(); }

void TNewSpeedButton::UpdateTracking() {
    if (Destroying()) return;
    if (WantsTracking() && (MouseInControl() || leftHeld_ || Option(boMenuOpen))) AddTrackingControl(this);
    else RemoveTrackingControl(this);
}

void TNewSpeedButton::TrackedMouseMessage(const TMessage& msg) {
    UpdateHot();
    if (MouseInControl() && !leftHeld_) {
        POINT p{MouseX(msg), MouseY(msg)};
        p = ScreenToClient(p);
        const bool overArrow = OverArrowAt(p.x, p.y);
        if (overArrow != MouseOverArrow()) {
            SetOption(boOverArrow, overArrow);
            Invalidate();
        }
    }
    UpdateTracking();
}

// --- repeat ---

void TNewSpeedButton::StartRepeat() {
    if (timerInterval_ == 0) return;
    if (!repeatTimer_) {
        repeatTimer_ = new TTimer(this);
        repeatTimer_->SetEnabled(false);
        repeatTimer_->OnTimer = [this](TTimer&) { RepeatTick(); };
    }
    repeatTimer_->SetInterval(FirstRepeatDelay);
    repeatTimer_->SetEnabled(true);
    repeatTimer_->UpdateTimer();
}

void TNewSpeedButton::StopRepeat() {
    if (repeatTimer_) repeatTimer_->SetEnabled(false);
}

bool TNewSpeedButton::MouseHeldOver() {
    if (!leftHeld_) return false;
    POINT p;
    GetCursorPos(&p);
    p = ScreenToClient(p);
    return Inside(*this, p.x, p.y);
}

void TNewSpeedButton::RepeatTick() {
    TRepeatInput input;
    input.Enabled = Enabled();
    input.Grouped = InGroup();
    input.Pressed = pressed_;
    input.Down = Down();
    input.MouseHeldOver = MouseHeldOver();
    input.KeyHeld = heldKey_ != 0 && (GetAsyncKeyState(heldKey_) & 0x8000) != 0;
    if (!RepeatFires(input)) {
        StopRepeat();
        return;
    }
    if (repeatTimer_->Interval() != timerInterval_) repeatTimer_->SetInterval(timerInterval_);
    Click();
}

// --- keys ---

void TNewSpeedButton::UpdateKeyHook() {
    if (Destroying()) return;
    HWND wanted = nullptr;
    if (Parent() && Parent()->HandleAllocated() && Visible() && Enabled() && !activateKeys_.Empty())
        wanted = Parent()->Handle();
    THookList& list = THookList::Instance();
    if (list.WindowOf(this) == wanted) return;
    if (wanted) list.Add(wanted, this);
    else list.Remove(this);
}

bool TNewSpeedButton::HookWantsKey(WORD key, TShiftState shift) {
    return Visible() && Enabled() &&
           activateKeys_.Matches(key, shift.Has(ssShift), shift.Has(ssCtrl), shift.Has(ssAlt));
}

bool TNewSpeedButton::HookKeyDown(WORD key, TShiftState shift) {
    if (!HookWantsKey(key, shift)) return false;
    WORD k = key;
    if (OnKeyDown) OnKeyDown(*this, k, shift);
    // A key the handler cleared is taken all the same: no other button gets it.
    if (!k) return true;
    if (InGroup()) ChangeDown(!Down());
    if (timerInterval_ > 0) {
        heldKey_ = key;
        StartRepeat();
    }
    Click();
    return true;
}

void TNewSpeedButton::HookKeyUp(WORD key) {
    if (key != heldKey_) return;
    heldKey_ = 0;
    WORD k = key;
    if (OnKeyUp) OnKeyUp(*this, k, KeyboardShiftState());
}

// --- actions ---

void TNewSpeedButton::Click() { TGraphicControl::Click(); }

void TNewSpeedButton::DropDownClick() {
    if (Option(boMenuOpen)) {
        // The click that closed the menu: nothing opens again.
        SetOption(boMenuOpen, false);
        SetOption(boOverArrow, false);
        Invalidate();
        return;
    }
    SetOption(boMenuOpen, true);
    SetOption(boMenuDisabled, true);
    SetOption(boOverArrow, false);
    UpdateTracking();
    if (Parent() && Parent()->HandleAllocated()) Update();
    if (OnDropDownClick) OnDropDownClick(*this);
    if (dropDownPopup_) {
        const bool left = dropDownPopup_->Alignment() == paLeft;
        const POINT p = ClientToScreen(POINT{left ? 0 : Width(), Height()});
        dropDownPopup_->SetPopupComponent(this);
        dropDownPopup_->Popup(p.x, p.y);
    }
    // Closed by a click on the arrow: that click's release must not open it again.
    POINT cursor;
    GetCursorPos(&cursor);
    const POINT client = ScreenToClient(cursor);
    const bool closingClick = OverArrowAt(client.x, client.y) && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    SetOption(boMenuOpen, closingClick);
    SetOption(boMenuDisabled, false);
    UpdateHot();
    UpdateTracking();
    Invalidate();
}

// --- messages and painting ---

void TNewSpeedButton::WndProc(TMessage& msg) {
    if (IsTrackedMouseMessage(this, msg.Msg)) {
        TrackedMouseMessage(msg);
        return;
    }
    switch (msg.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: CMMouseEnterLeave(msg); return;
    case CM_BUTTONPRESSED: CMButtonPressed(msg); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(msg); return;
    case CM_DIALOGCHAR: CMDialogChar(msg); return;
    default: TGraphicControl::WndProc(msg);
    }
}

void TNewSpeedButton::CMMouseEnterLeave(TMessage& msg) {
    if (reinterpret_cast<TControl*>(msg.LParam) != this) return;
    UpdateHot();
    UpdateTracking();
}

void TNewSpeedButton::CMButtonPressed(TMessage& msg) {
    // Another button of the group went down.
    if (groupIndex_ == 0 || static_cast<int>(msg.WParam) != groupIndex_) return;
    if (reinterpret_cast<TControl*>(msg.LParam) == this || !Down()) return;
    options_.Set(boDown, false);
    Invalidate();
    Announce(boDown);
}

void TNewSpeedButton::CMEnabledChanged(TMessage&) {
    if (!Enabled()) {
        pressed_ = false;
        leftHeld_ = false;
        StopRepeat();
    }
    UpdateKeyHook();
    Invalidate();
}

void TNewSpeedButton::CMDialogChar(TMessage& msg) {
    if (!IsAccel(static_cast<char>(msg.WParam), Caption()) || !Enabled() || !Showing()) {
        TGraphicControl::WndProc(msg);
        return;
    }
    if (InGroup()) ChangeDown(!Down());
    Click();
    msg.Result = 1;
}

void TNewSpeedButton::Paint() {
    // A parent window made again after the button was put on it needs its hook again.
    if (Parent() && Visible() && Enabled() && !activateKeys_.Empty() &&
        THookList::Instance().WindowOf(this) != Parent()->Handle())
        THookList::Instance().Add(Parent()->Handle(), this, false);
    TCanvas& canvas = Canvas();
    bool painted = false;
    if (OnPaint) OnPaint(*this, canvas, daBeforeDraw, painted);
    if (painted) return;
    DrawButton(canvas);
    if (OnPaint) OnPaint(*this, canvas, daAfterDraw, painted);
}

void TNewSpeedButton::DrawButton(TCanvas& canvas) {
    TButtonPaint paint;
    paint.Rect = ClientRect();
    if (DropDown()) paint.Rect.right -= DropDownWidth;
    paint.State = State();
    if (Flat()) paint.Flags |= bdFlat;
    if (Graying()) paint.Flags |= bdGraying;
    if (Transparent()) paint.Flags |= bdTransparent;
    if (Focused()) paint.Flags |= bdFocused;
    if (!DrawFrame()) paint.Flags |= bdNoFrame;
    if (!DrawCaption()) paint.Flags |= bdNoCaption;
    paint.Hot = MouseInControl() || Option(boMenuOpen);
    paint.Style = style_;
    paint.Layout = layout_;
    paint.Margin = margin_;
    paint.Spacing = spacing_;
    paint.Color = Color();
    paint.Glyph = &glyph_;
    paint.NumGlyphs = numGlyphs_;
    paint.MaskColor = GlyphMaskColor(glyph_, maskColor_);
    paint.Caption = Caption();
    DrawButtonFace(canvas, paint);
    if (!DropDown()) return;
    // The arrow part: an auxiliary button of its own at the right.
    TButtonPaint arrow = paint;
    arrow.Rect = RECT{Width() - DropDownWidth, 0, Width(), Height()};
    arrow.Flags &= ~(bdGraying | bdFocused);
    arrow.Glyph = nullptr;
    arrow.Margin = -1;
    arrow.Caption = std::string(1, '6');  // the down triangle of the Marlett font
    const bool arrowPressed = Option(boMenuOpen) || Option(boMenuDisabled) || (leftHeld_ && pressOnArrow_ && MouseOverArrow());
    arrow.State = arrowPressed ? bsDown : Enabled() ? bsUp : bsDisabled;
    TFont saved;
    saved.Assign(&canvas.Font());
    canvas.Font().Assign(&ArrowFont());
    DrawButtonFace(canvas, arrow);
    canvas.Font().Assign(&saved);
}

void ApplySpeedButtonDefaults(bool inplaced, const TSpeedButtonDefaults& row, TComponent* owner) {
    const TSpeedButtonDefaults old = SetSpeedButtonDefaults(inplaced, row);
    std::function<void(TComponent*)> walk = [&](TComponent* component) {
        for (int i = 0; i < component->ComponentCount(); ++i) {
            TComponent* child = component->Components(i);
            if (auto* button = dynamic_cast<TNewSpeedButton*>(child);
                button && button->Inplaced() == inplaced && button->DefaultOptions())
                button->ApplyDefaults();
            walk(child);
        }
    };
    if (TComponent* root = owner ? owner : static_cast<TComponent*>(Application)) walk(root);
    if (owner) SetSpeedButtonDefaults(inplaced, old);
}
