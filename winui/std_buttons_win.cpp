#include "winui/std_buttons_win.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

#include "base/exception.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "winui/application_win.h"
#include "winui/disabled_glyph_win.h"
#include "winui/gdi_scope_win.h"
#include "winui/menu_win.h"
#include "winui/text_win.h"

namespace {

// Every TButton among the descendants of Root.
void ForEachButton(TWinControl& root, const std::function<void(TButton&)>& action) {
    for (int i = 0; i < root.ControlCount(); ++i) {
        TControl* control = root.Controls(i);
        if (auto* button = dynamic_cast<TButton*>(control)) action(*button);
        if (auto* container = dynamic_cast<TWinControl*>(control)) ForEachButton(*container, action);
    }
}

}  // namespace

// --- TButtonControl ---

const TClassInfo& TButtonControl::StaticClass() {
    static const TClassInfo info{"TButtonControl", &TWinControl::StaticClass(), {}, {}};
    return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
    // The button class captures the mouse and reports clicks itself.
    controlStyle_ = {csSetCaption, csDoubleClicks};
    SetParentColor(true);
    SetTabStop(true);
}

void TButtonControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "BUTTON";
}

void TButtonControl::ButtonClicked() {
    Click();
}

bool TButtonControl::DialogChar(char key) {
    if (!IsAccel(key, Caption()) || !CanFocus()) return false;
    Click();
    return true;
}

void TButtonControl::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case CN_COMMAND:
        if (HIWORD(msg.WParam) == BN_CLICKED) {
            ButtonClicked();
            msg.Result = 0;
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (DialogChar(static_cast<char>(msg.WParam))) {
            msg.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(msg);
}

// --- TButton ---

const TClassInfo& TButton::StaticClass() {
    static const TClassInfo info{"TButton", &TButtonControl::StaticClass(), {}, {}};
    return info;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    defaultLook_ = default_;
    if (OwnerDrawn())
        params.Style |= BS_OWNERDRAW;
    else
        params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool isDefault) {
    if (default_ == isDefault) return;
    default_ = isDefault;
    SetButtonStyle(ShowsDefault(GetFocus()));
}

void TButton::SetButtonStyle(bool showDefault) {
    if (defaultLook_ == showDefault) return;
    defaultLook_ = showDefault;
    if (!HandleAllocated()) return;
    if (OwnerDrawn())
        InvalidateRect(Handle(), nullptr, FALSE);
    else
        SendMessageW(Handle(), BM_SETSTYLE, showDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

bool TButton::ShowsDefault(HWND focus) {
    if (HandleAllocated() && focus == Handle()) return true;
    if (TWinControl* focused = TWinControl::FindControl(focus))
        if (dynamic_cast<TButton*>(focused) && ParentForm() == focused->ParentForm()) return false;
    return default_;
}

// The default frame follows the focus: a focused push button shows it, otherwise the form's
// Default button.
void TButton::UpdateFormButtons(HWND focus) {
    TForm* form = ParentForm();
    if (!form) {
        SetButtonStyle(ShowsDefault(focus));
        return;
    }
    ForEachButton(*form, [focus](TButton& button) { button.SetButtonStyle(button.ShowsDefault(focus)); });
}

void TButton::Click() {
    if (modalResult_ != mrNone)
        if (TForm* form = ParentForm()) form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case CM_DIALOGKEY:
        // Enter goes to the button that shows the default frame, Escape to the Cancel button.
        if (((msg.WParam == VK_RETURN && defaultLook_) || (msg.WParam == VK_ESCAPE && cancel_)) &&
            KeyboardShiftState().Empty() && CanFocus()) {
            Click();
            msg.Result = 1;
            return;
        }
        break;
    case WM_SETFOCUS:
        TButtonControl::WndProc(msg);
        UpdateFormButtons(Handle());
        return;
    case WM_KILLFOCUS:
        // WParam is the window that gets the focus.
        TButtonControl::WndProc(msg);
        UpdateFormButtons(reinterpret_cast<HWND>(msg.WParam));
        return;
    default:
        break;
    }
    TButtonControl::WndProc(msg);
}

// --- TBitBtn ---

namespace {

constexpr int GlyphSize = 16;
constexpr TColor GlyphBackground = clFuchsia;

void ThickLine(TCanvas& canvas, TColor color, int width, const std::vector<POINT>& points) {
    canvas.Pen().SetColor(color);
    canvas.Pen().SetWidth(width);
    canvas.Polyline(points);
}

void DrawCheck(TCanvas& canvas, int dx, int dy, int scale) {
    ThickLine(canvas, 0x008000, scale,
              {{2 + dx, 8 + dy}, {6 + dx, 12 + dy}, {13 + dx, 4 + dy}});
}

void DrawCross(TCanvas& canvas, TColor color) {
    ThickLine(canvas, color, 3, {{4, 4}, {12, 12}});
    ThickLine(canvas, color, 3, {{12, 4}, {4, 12}});
}

void DrawKindGlyph(TCanvas& canvas, TBitBtnKind kind) {
    switch (kind) {
    case bkOK:
    case bkYes:
        DrawCheck(canvas, 0, 0, 3);
        break;
    case bkAll:
        DrawCheck(canvas, -1, -2, 2);
        DrawCheck(canvas, 2, 2, 2);
        break;
    case bkCancel:
        DrawCross(canvas, 0x0000C0);
        break;
    case bkNo:
        canvas.Brush().SetStyle(bsClear);
        canvas.Pen().SetColor(0x0000C0);
        canvas.Pen().SetWidth(2);
        canvas.Ellipse(2, 2, 15, 15);
        ThickLine(canvas, 0x0000C0, 2, {{4, 4}, {13, 13}});
        break;
    case bkAbort:
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(0x0000C0);
        canvas.Pen().SetColor(0x000080);
        canvas.Pen().SetWidth(1);
        canvas.Ellipse(1, 1, 16, 16);
        ThickLine(canvas, clWhite, 2, {{5, 5}, {11, 11}});
        ThickLine(canvas, clWhite, 2, {{11, 5}, {5, 11}});
        break;
    case bkRetry: {
        // A circular arrow: three quarters of a circle, the head at its upper end.
        std::vector<POINT> arc;
        for (int degrees = 60; degrees <= 330; degrees += 15) {
            const double radians = degrees * 3.14159265 / 180.0;
            arc.push_back({8 + static_cast<int>(5.5 * std::cos(radians)), 9 - static_cast<int>(5.5 * std::sin(radians))});
        }
        ThickLine(canvas, 0x008000, 2, arc);
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(0x008000);
        canvas.Pen().SetWidth(1);
        canvas.Polygon({{9, 0}, {14, 4}, {9, 7}});
        break;
    }
    case bkIgnore:
        ThickLine(canvas, 0x808000, 2, {{2, 11}, {2, 8}, {11, 8}});
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(0x808000);
        canvas.Pen().SetColor(0x808000);
        canvas.Pen().SetWidth(1);
        canvas.Polygon({{10, 4}, {14, 8}, {10, 12}});
        break;
    case bkHelp: {
        TFont font;
        font.SetName("Arial");
        font.SetHeight(-15);
        font.SetStyle({fsBold});
        font.SetColor(0x800000);
        canvas.Font().Assign(&font);
        canvas.Brush().SetStyle(bsClear);
        RECT r{0, 0, GlyphSize, GlyphSize};
        canvas.DrawText("?", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        break;
    }
    case bkClose:
        canvas.Pen().SetColor(0x404040);
        canvas.Pen().SetWidth(1);
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(0x3070B0);
        canvas.Rectangle(4, 1, 13, 16);
        canvas.SetPixel(10, 9, clYellow);
        canvas.SetPixel(10, 8, clYellow);
        break;
    default:
        break;
    }
}

std::unique_ptr<TBitmap> MakeKindGlyph(TBitBtnKind kind) {
    if (kind == bkCustom) return nullptr;
    auto glyph = std::make_unique<TBitmap>(GlyphSize, GlyphSize);
    TCanvas& canvas = glyph->Canvas();
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(GlyphBackground);
    RECT all{0, 0, GlyphSize, GlyphSize};
    canvas.FillRect(all);
    DrawKindGlyph(canvas, kind);
    canvas.DeselectObjects();
    glyph->SetTransparentColor(GlyphBackground);
    return glyph;
}

}  // namespace

const TClassInfo& TBitBtn::StaticClass() {
    static const TClassInfo info{"TBitBtn", &TButton::StaticClass(), {}, {}};
    return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {
    glyph_.OnChange = [this](TGraphic&) { Invalidate(); };
}

TBitBtn::~TBitBtn() {
    glyph_.OnChange = nullptr;
}

std::string TBitBtn::KindCaption(TBitBtnKind kind) {
    switch (kind) {
    case bkOK: return LoadStr(sid::ButtonOK);
    case bkCancel: return LoadStr(sid::ButtonCancel);
    case bkHelp: return LoadStr(sid::ButtonHelp);
    case bkYes: return LoadStr(sid::ButtonYes);
    case bkNo: return LoadStr(sid::ButtonNo);
    case bkClose: return LoadStr(sid::ButtonClose);
    case bkAbort: return LoadStr(sid::ButtonAbort);
    case bkRetry: return LoadStr(sid::ButtonRetry);
    case bkIgnore: return LoadStr(sid::ButtonIgnore);
    case bkAll: return LoadStr(sid::ButtonAll);
    default: return {};
    }
}

TModalResult TBitBtn::KindModalResult(TBitBtnKind kind) {
    switch (kind) {
    case bkOK: return mrOk;
    case bkCancel: return mrCancel;
    case bkYes: return mrYes;
    case bkNo: return mrNo;
    case bkAbort: return mrAbort;
    case bkRetry: return mrRetry;
    case bkIgnore: return mrIgnore;
    case bkAll: return mrAll;
    default: return mrNone;
    }
}

void TBitBtn::SetKind(TBitBtnKind kind) {
    if (kind_ == kind) return;
    kind_ = kind;
    kindGlyph_.reset();
    if (kind != bkCustom) {
        SetCaption(KindCaption(kind));
        SetModalResult(KindModalResult(kind));
        SetDefault(kind == bkOK || kind == bkYes);
        SetCancel(kind == bkCancel || kind == bkNo);
    }
    Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* glyph) {
    if (glyph)
        glyph_.Assign(glyph);
    else
        glyph_.Assign(nullptr);
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int count) {
    if (count < 1 || count > 4)
        throw Exception(sid::ValueOutOfRange, {int64_t{count}, int64_t{1}, int64_t{4}});
    numGlyphs_ = count;
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    Invalidate();
}

void TBitBtn::SetSpacing(int spacing) {
    spacing_ = spacing;
    Invalidate();
}

TBitmap* TBitBtn::CurrentGlyph() {
    if (!glyph_.Empty()) return &glyph_;
    if (!kindGlyph_) kindGlyph_ = MakeKindGlyph(kind_);
    return kindGlyph_.get();
}

void TBitBtn::Click() {
    TButton::Click();
    if (kind_ == bkClose)
        if (TForm* form = ParentForm()) form->Close();
    if (kind_ == bkHelp && HelpContext() != 0) Application->HelpContext(HelpContext());
}

// Draws image 0 (normal), 1 (disabled) or 2 (pressed) of the glyph, or the normal image
// embossed when the glyph has no disabled image.
void TBitBtn::DrawGlyph(HDC dc, int x, int y, TBitmap& glyph, bool enabled, bool pressed) {
    const int count = &glyph == &glyph_ ? numGlyphs_ : 1;
    const int width = glyph.Width() / count;
    const int height = glyph.Height();
    int image = 0;
    if (!enabled && count > 1) image = 1;
    if (pressed && enabled && count > 2) image = 2;
    const COLORREF transparent = ColorToRGB(glyph.TransparentColor());
    if (!enabled && count == 1) {
        DrawDisabledGlyph(dc, x, y, glyph, RECT{0, 0, width, height}, transparent);
        return;
    }
    GdiTransparentBlt(dc, x, y, width, height, glyph.Canvas().Handle(), image * width, 0, width,
                      height, transparent);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool enabled = (item.itemState & ODS_DISABLED) == 0 && Enabled();
    if (DefaultLook() || focused) {
        FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&rect, -1, -1);
    }
    DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    if (pressed) OffsetRect(&rect, 1, 1);

    TSelectObject font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    const std::wstring caption = WideText(Caption());
    RECT textSize{0, 0, 0, 0};
    if (!caption.empty())
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textSize, DT_CALCRECT | DT_SINGLELINE);
    TBitmap* glyph = CurrentGlyph();
    const int glyphWidth = glyph ? glyph->Width() / (glyph == &glyph_ ? numGlyphs_ : 1) : 0;
    const int glyphHeight = glyph ? glyph->Height() : 0;
    const int gap = glyph && !caption.empty() ? spacing_ : 0;
    const bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    const int totalWidth = horizontal ? glyphWidth + gap + textSize.right : std::max<int>(glyphWidth, textSize.right);
    const int totalHeight = horizontal ? std::max<int>(glyphHeight, textSize.bottom) : glyphHeight + gap + textSize.bottom;
    const int left = rect.left + (rect.right - rect.left - totalWidth) / 2;
    const int top = rect.top + (rect.bottom - rect.top - totalHeight) / 2;
    POINT glyphPos{left, top + (totalHeight - glyphHeight) / 2};
    RECT textRect{left + glyphWidth + gap, top, 0, 0};
    textRect.top = top + (totalHeight - textSize.bottom) / 2;
    switch (layout_) {
    case blGlyphRight:
        textRect.left = left;
        glyphPos.x = left + textSize.right + gap;
        break;
    case blGlyphTop:
        glyphPos = {left + (totalWidth - glyphWidth) / 2, top};
        textRect.left = left + (totalWidth - textSize.right) / 2;
        textRect.top = top + glyphHeight + gap;
        break;
    case blGlyphBottom:
        glyphPos = {left + (totalWidth - glyphWidth) / 2, top + textSize.bottom + gap};
        textRect.left = left + (totalWidth - textSize.right) / 2;
        textRect.top = top;
        break;
    default:
        break;
    }
    textRect.right = textRect.left + textSize.right;
    textRect.bottom = textRect.top + textSize.bottom;
    if (glyph) DrawGlyph(dc, glyphPos.x, glyphPos.y, *glyph, enabled, pressed);
    if (!caption.empty()) {
        if (!enabled) {
            RECT shifted = textRect;
            OffsetRect(&shifted, 1, 1);
            SetTextColor(dc, ColorToRGB(clBtnHighlight));
            DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &shifted, DT_SINGLELINE);
            SetTextColor(dc, ColorToRGB(clBtnShadow));
        } else {
            SetTextColor(dc, ColorToRGB(clBtnText));
        }
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect, DT_SINGLELINE);
    }
    if (focused) {
        RECT focusRect = item.rcItem;
        InflateRect(&focusRect, -4, -4);
        DrawFocusRect(dc, &focusRect);
    }
}

void TBitBtn::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case CN_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(msg.LParam));
        msg.Result = TRUE;
        return;
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button turns double clicks into BN_DOUBLECLICKED; make them a
        // second press instead.
        msg.Msg = WM_LBUTTONDOWN;
        break;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TButton::WndProc(msg);
}

// --- TCheckBox ---

const TClassInfo& TCheckBox::StaticClass() {
    static const TClassInfo info{
        "TCheckBox", &TButtonControl::StaticClass(),
        {TypedProp<TCheckBox, bool>("Checked", TPropKind::pkBoolean, [](const TCheckBox& c) { return c.Checked(); },
                                    [](TCheckBox& c, const bool& v) { c.SetChecked(v); })},
        {}};
    return info;
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= BS_3STATE;
    if (alignment_ == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TCheckBox::CreateWindowHandle(const TCreateParams& params) {
    TButtonControl::CreateWindowHandle(params);
    SendMessageW(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCheckBox::SetAlignment(TAlignment alignment) {
    if (alignment_ == alignment) return;
    alignment_ = alignment;
    if (HandleAllocated()) RecreateWnd();
}

void TCheckBox::SetState(TCheckBoxState state) {
    if (state_ == state) return;
    state_ = state;
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, static_cast<WPARAM>(state), 0);
    Click();
}

void TCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCheckBox::ButtonClicked() {
    Toggle();
}

bool TCheckBox::DialogChar(char key) {
    if (!IsAccel(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    if (Focused()) Toggle();
    return true;
}

// --- TRadioButton ---

const TClassInfo& TRadioButton::StaticClass() {
    static const TClassInfo info{
        "TRadioButton", &TButtonControl::StaticClass(),
        {TypedProp<TRadioButton, bool>("Checked", TPropKind::pkBoolean,
                                       [](const TRadioButton& r) { return r.Checked(); },
                                       [](TRadioButton& r, const bool& v) { r.SetChecked(v); })},
        {}};
    return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= BS_RADIOBUTTON;
    if (alignment_ == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWindowHandle(const TCreateParams& params) {
    TButtonControl::CreateWindowHandle(params);
    SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetAlignment(TAlignment alignment) {
    if (alignment_ == alignment) return;
    alignment_ = alignment;
    if (HandleAllocated()) RecreateWnd();
}

void TRadioButton::SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (checked && Parent()) {
        TWinControl* parent = Parent();
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
                other->SetChecked(false);
    }
    // Only the button that became checked reports the click.
    if (checked) Click();
}

void TRadioButton::ButtonClicked() {
    SetChecked(true);
}

bool TRadioButton::DialogChar(char key) {
    if (!IsAccel(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    if (Focused()) SetChecked(true);
    return true;
}
