#include "winui/std_controls_win.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

#include "base/exception.h"
#include "base/string_ids.h"
#include "winui/gdi_scope_win.h"
#include "winui/menu_win.h"
#include "winui/text_win.h"

UINT AlignmentFlag(TAlignment alignment) {
    switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
    }
}

SIZE MeasureText(TFont& font, const std::string& text, int width, UINT flags) {
    TWindowDC dc;
    TSelectObject selected(dc, font.Handle());
    RECT r{0, 0, std::max(width, 0), 0};
    std::wstring wide = WideText(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, flags | DT_CALCRECT);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void Frame3D(TCanvas& canvas, RECT& rect, TColor topColor, TColor bottomColor, int width) {
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(psSolid);
    for (int i = 0; i < width && rect.right - rect.left > 1 && rect.bottom - rect.top > 1; ++i) {
        --rect.bottom;
        --rect.right;
        canvas.Pen().SetColor(topColor);
        canvas.Polyline({{rect.left, rect.bottom}, {rect.left, rect.top}, {rect.right, rect.top}});
        canvas.Pen().SetColor(bottomColor);
        canvas.Polyline({{rect.right, rect.top}, {rect.right, rect.bottom},
                         {rect.left - 1, rect.bottom}});
        ++rect.left;
        ++rect.top;
    }
}

namespace {

void CheckAtLeast(int value, int minimum) {
    if (value < minimum)
        throw Exception(sid::ValueOutOfRange, {int64_t{value}, int64_t{minimum}, int64_t{INT_MAX}});
}

}  // namespace

// --- TLabel ---

const TClassInfo& TLabel::StaticClass() {
    static const TClassInfo info{
        "TLabel", &TGraphicControl::StaticClass(),
        {TypedProp<TLabel, bool>("AutoSize", TPropKind::pkBoolean, [](const TLabel& l) { return l.AutoSize(); },
                                 [](TLabel& l, const bool& v) { l.SetAutoSize(v); }),
         TypedProp<TLabel, bool>("WordWrap", TPropKind::pkBoolean, [](const TLabel& l) { return l.WordWrap(); },
                                 [](TLabel& l, const bool& v) { l.SetWordWrap(v); }),
         TypedProp<TLabel, bool>("Transparent", TPropKind::pkBoolean,
                                 [](const TLabel& l) { return l.Transparent(); },
                                 [](TLabel& l, const bool& v) { l.SetTransparent(v); })},
        {}};
    return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    controlStyle_ += csReplicatable;
    controlStyle_ -= csCaptureMouse;
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

TLabel::~TLabel() {
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
}

void TLabel::SetAlignment(TAlignment alignment) {
    if (alignment_ == alignment) return;
    alignment_ = alignment;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetLayout(TTextLayout layout) {
    if (layout_ == layout) return;
    layout_ = layout;
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    if (autoSize_ == autoSize) return;
    autoSize_ = autoSize;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool wordWrap) {
    if (wordWrap_ == wordWrap) return;
    wordWrap_ = wordWrap;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    if (transparent_ == transparent) return;
    transparent_ = transparent;
    if (transparent) controlStyle_ -= csOpaque; else controlStyle_ += csOpaque;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
    if (showAccelChar_ == show) return;
    showAccelChar_ = show;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* control) {
    if (focusControl_ == control) return;
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = control;
    if (control) control->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

UINT TLabel::DrawFlags() const {
    UINT flags = DT_EXPANDTABS | AlignmentFlag(alignment_);
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    return flags;
}

// An empty caption (or a lone "&") still measures one line high.
std::string TLabel::DisplayText() {
    std::string text = Caption();
    if (text.empty() || (showAccelChar_ && text == "&")) text += ' ';
    return text;
}

void TLabel::AdjustBounds() {
    if (!autoSize_ || IsLoading()) return;
    SIZE size = MeasureText(Font(), DisplayText(), Width(), DrawFlags());
    int left = Left();
    int width = wordWrap_ ? Width() : size.cx;
    if (!wordWrap_ && alignment_ == taRightJustify) left += Width() - width;
    if (!wordWrap_ && alignment_ == taCenter) left += (Width() - width) / 2;
    SetBounds(left, Top(), width, size.cy);
}

void TLabel::Paint() {
    TCanvas& canvas = Canvas();
    RECT rect{0, 0, Width(), Height()};
    if (!transparent_) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(Color());
        canvas.FillRect(rect);
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().Assign(&Font());
    const UINT flags = DrawFlags();
    const std::string text = Caption();
    if (layout_ != tlTop) {
        SIZE size = MeasureText(Font(), DisplayText(), Width(), flags);
        rect.top = layout_ == tlBottom ? rect.bottom - size.cy : (rect.bottom - size.cy) / 2;
    }
    if (!Enabled()) {
        RECT shifted = rect;
        OffsetRect(&shifted, 1, 1);
        canvas.Font().SetColor(clBtnHighlight);
        canvas.DrawText(text, shifted, flags);
        canvas.Font().SetColor(clBtnShadow);
    }
    canvas.DrawText(text, rect, flags);
}

void TLabel::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        Invalidate();
        break;
    case CM_DIALOGCHAR:
        if (focusControl_ && Enabled() && showAccelChar_ &&
            IsAccel(static_cast<char>(msg.WParam), Caption()) && focusControl_->CanFocus()) {
            focusControl_->SetFocus();
            msg.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TGraphicControl::WndProc(msg);
}

// --- TGroupBox ---

const TClassInfo& TGroupBox::StaticClass() {
    static const TClassInfo info{"TGroupBox", &TWinControl::StaticClass(), {}, {}};
    return info;
}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
    controlStyle_ = {csAcceptsControls, csSetCaption, csDoubleClicks, csReplicatable};
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "BUTTON";
    params.Style |= BS_GROUPBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
}

RECT TGroupBox::AlignRect() {
    RECT rect = TWinControl::AlignRect();
    rect.top += MeasureText(Font(), "0", 0, DT_SINGLELINE).cy;
    InflateRect(&rect, -2, -2);
    return rect;
}

void TGroupBox::WndProc(TMessage& msg) {
    // The system group box is transparent to the mouse; this one takes clicks itself.
    if (msg.Msg == WM_NCHITTEST) {
        msg.Result = HTCLIENT;
        return;
    }
    // The system group box paints only its frame and caption; the inside is ours.
    if (msg.Msg == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(msg.WParam), &client, ColorBrush());
        msg.Result = 1;
        return;
    }
    if (msg.Msg == CM_TEXTCHANGED) Invalidate();
    TWinControl::WndProc(msg);
}

// --- TCustomPanel ---

const TClassInfo& TCustomPanel::StaticClass() {
    static const TClassInfo info{"TCustomPanel", &TCustomControl::StaticClass(), {}, {}};
    return info;
}

const TClassInfo& TPanel::StaticClass() {
    static const TClassInfo info{"TPanel", &TCustomPanel::StaticClass(), {}, {}};
    return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                     csDoubleClicks, csReplicatable};
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
    if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::Changed() {
    Invalidate();
    Realign();
}

void TCustomPanel::SetAlignment(TAlignment alignment) {
    if (alignment_ == alignment) return;
    alignment_ = alignment;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut bevel) {
    if (bevelInner_ == bevel) return;
    bevelInner_ = bevel;
    Changed();
}

void TCustomPanel::SetBevelOuter(TBevelCut bevel) {
    if (bevelOuter_ == bevel) return;
    bevelOuter_ = bevel;
    Changed();
}

void TCustomPanel::SetBevelWidth(int width) {
    CheckAtLeast(width, 1);
    if (bevelWidth_ == width) return;
    bevelWidth_ = width;
    Changed();
}

void TCustomPanel::SetBorderWidth(int width) {
    CheckAtLeast(width, 0);
    if (borderWidth_ == width) return;
    borderWidth_ = width;
    Changed();
}

void TCustomPanel::SetBorderStyle(TBorderStyle style) {
    if (style != bsSingle) style = bsNone;
    if (borderStyle_ == style) return;
    borderStyle_ = style;
    if (HandleAllocated()) RecreateWnd();
}

RECT TCustomPanel::AlignRect() {
    RECT rect = TCustomControl::AlignRect();
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    InflateRect(&rect, -inset, -inset);
    return rect;
}

void TCustomPanel::BevelColors(TBevelCut bevel, TColor& topColor, TColor& bottomColor) const {
    switch (bevel) {
    case bvLowered:
        topColor = clBtnShadow;
        bottomColor = clBtnHighlight;
        break;
    case bvRaised:
        topColor = clBtnHighlight;
        bottomColor = clBtnShadow;
        break;
    default:
        topColor = Color();
        bottomColor = Color();
        break;
    }
}

void TCustomPanel::PaintCaption(const RECT& area) {
    const std::string caption = Caption();
    if (caption.empty()) return;
    TCanvas& canvas = Canvas();
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().Assign(&Font());
    const int fontHeight = canvas.TextHeight("W");
    RECT rect = area;
    rect.top = (area.top + area.bottom - fontHeight) / 2;
    rect.bottom = rect.top + fontHeight;
    canvas.DrawText(caption, rect, DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | AlignmentFlag(alignment_));
}

void TCustomPanel::Paint() {
    TCanvas& canvas = Canvas();
    RECT rect = ClientRect();
    TColor top = clBtnHighlight;
    TColor bottom = clBtnShadow;
    if (bevelOuter_ != bvNone) {
        BevelColors(bevelOuter_, top, bottom);
        Frame3D(canvas, rect, top, bottom, bevelWidth_);
    }
    Frame3D(canvas, rect, Color(), Color(), borderWidth_);
    if (bevelInner_ != bvNone) {
        BevelColors(bevelInner_, top, bottom);
        Frame3D(canvas, rect, top, bottom, bevelWidth_);
    }
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(rect);
    PaintCaption(rect);
}

void TCustomPanel::WndProc(TMessage& msg) {
    if (msg.Msg == CM_TEXTCHANGED || msg.Msg == CM_FONTCHANGED || msg.Msg == CM_COLORCHANGED)
        Invalidate();
    TCustomControl::WndProc(msg);
}

// --- TScrollBar ---

const TClassInfo& TScrollBar::StaticClass() {
    static const TClassInfo info{"TScrollBar", &TWinControl::StaticClass(), {}, {}};
    return info;
}

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
    controlStyle_ = {csFramed, csDoubleClicks, csOpaque};
    SetTabStop(true);
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
}

void TScrollBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "SCROLLBAR";
    params.Style |= kind_ == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TScrollBar::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    UpdateScrollInfo();
}

void TScrollBar::UpdateScrollInfo() {
    if (!HandleAllocated()) return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = min_;
    info.nMax = max_ + (pageSize_ > 0 ? pageSize_ - 1 : 0);
    info.nPage = static_cast<UINT>(pageSize_);
    info.nPos = position_;
    SetScrollInfo(Handle(), SB_CTL, &info, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind kind) {
    if (kind_ == kind) return;
    kind_ = kind;
    SetBounds(Left(), Top(), Height(), Width());
    if (HandleAllocated()) RecreateWnd();
}

void TScrollBar::SetParams(int position, int min, int max) {
    if (max < min)
        throw Exception(sid::ValueOutOfRange, {int64_t{max}, int64_t{min}, int64_t{INT_MAX}});
    position = std::clamp(position, min, max);
    const bool changed = position != position_;
    min_ = min;
    max_ = max;
    position_ = position;
    UpdateScrollInfo();
    if (changed) Change();
}

void TScrollBar::SetPageSize(int pageSize) {
    CheckAtLeast(pageSize, 0);
    pageSize_ = pageSize;
    UpdateScrollInfo();
}

void TScrollBar::Change() {
    if (OnChange) OnChange(*this);
}

void TScrollBar::Scroll(TScrollCode code, int& position) {
    if (OnScroll) OnScroll(*this, code, position);
}

void TScrollBar::DoScroll(TMessage& msg) {
    int position = position_;
    TScrollCode code = scEndScroll;
    switch (LOWORD(msg.WParam)) {
    case SB_LINEUP: code = scLineUp; position -= smallChange_; break;
    case SB_LINEDOWN: code = scLineDown; position += smallChange_; break;
    case SB_PAGEUP: code = scPageUp; position -= largeChange_; break;
    case SB_PAGEDOWN: code = scPageDown; position += largeChange_; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        code = LOWORD(msg.WParam) == SB_THUMBTRACK ? scTrack : scPosition;
        // The 32-bit thumb position; the message carries only 16 bits.
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        position = GetScrollInfo(Handle(), SB_CTL, &info) ? info.nTrackPos
                                                           : static_cast<short>(HIWORD(msg.WParam));
        break;
    }
    case SB_TOP: code = scTop; position = min_; break;
    case SB_BOTTOM: code = scBottom; position = max_; break;
    default: break;
    }
    position = std::clamp(position, min_, max_);
    Scroll(code, position);
    SetPosition(position);
}

void TScrollBar::WndProc(TMessage& msg) {
    if (msg.Msg == CN_HSCROLL || msg.Msg == CN_VSCROLL) {
        DoScroll(msg);
        msg.Result = 0;
        return;
    }
    TWinControl::WndProc(msg);
}

// --- TStatusBar ---

void TStatusPanel::SetText(const std::string& text) {
    if (text_ == text) return;
    text_ = text;
    owner_.UpdatePanelText(Index());
}

void TStatusPanel::SetWidth(int width) {
    CheckAtLeast(width, 0);
    if (width_ == width) return;
    width_ = width;
    owner_.UpdateParts();
}

void TStatusPanel::SetAlignment(TAlignment alignment) {
    if (alignment_ == alignment) return;
    alignment_ = alignment;
    owner_.UpdatePanelText(Index());
}

void TStatusPanel::SetBevel(TBevelCut bevel) {
    if (bevel_ == bevel) return;
    bevel_ = bevel;
    owner_.UpdatePanelText(Index());
}

int TStatusPanel::Index() const {
    for (int i = 0; i < owner_.PanelCount(); ++i)
        if (&owner_.Panels(i) == this) return i;
    return -1;
}

const TClassInfo& TStatusBar::StaticClass() {
    static const TClassInfo info{
        "TStatusBar", &TWinControl::StaticClass(),
        {TypedProp<TStatusBar, std::string>("SimpleText", TPropKind::pkString,
                                            [](const TStatusBar& s) { return s.SimpleText(); },
                                            [](TStatusBar& s, const std::string& v) { s.SetSimpleText(v); })},
        {}};
    return info;
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    controlStyle_ = {csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    SetColor(clBtnFace);
    SetBounds(0, 0, 200, 20);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = STATUSCLASSNAMEA;
    // The framework places the bar (Align); the control must not move itself.
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (sizeGrip_) params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    UpdateParts();
}

TStatusPanel& TStatusBar::Panels(int index) const {
    if (index < 0 || index >= PanelCount())
        throw Exception(sid::ListIndexError, {int64_t{index}});
    return *panels_[static_cast<size_t>(index)];
}

TStatusPanel& TStatusBar::AddPanel() {
    panels_.push_back(std::make_unique<TStatusPanel>(*this));
    UpdateParts();
    return *panels_.back();
}

void TStatusBar::DeletePanel(int index) {
    Panels(index);
    panels_.erase(panels_.begin() + index);
    UpdateParts();
}

void TStatusBar::ClearPanels() {
    panels_.clear();
    UpdateParts();
}

void TStatusBar::SetSimplePanel(bool simple) {
    if (simplePanel_ == simple) return;
    simplePanel_ = simple;
    if (HandleAllocated()) SendMessageW(Handle(), SB_SIMPLE, simple, 0);
    UpdateParts();
}

void TStatusBar::SetSimpleText(const std::string& text) {
    if (simpleText_ == text) return;
    simpleText_ = text;
    if (HandleAllocated())
        SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

void TStatusBar::SetSizeGrip(bool sizeGrip) {
    if (sizeGrip_ == sizeGrip) return;
    sizeGrip_ = sizeGrip;
    if (HandleAllocated()) RecreateWnd();
}

RECT TStatusBar::PanelRect(int index) {
    RECT rect{};
    Panels(index);
    if (HandleAllocated()) SendMessageW(Handle(), SB_GETRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void TStatusBar::BoundsChanged() {
    TWinControl::BoundsChanged();
    // The size grip sits in the last panel; it needs the new size.
    if (HandleAllocated()) SendMessageW(Handle(), WM_SIZE, 0, 0);
}

void TStatusBar::UpdateParts() {
    if (!HandleAllocated()) return;
    HWND window = Handle();
    SendMessageW(window, SB_SIMPLE, simplePanel_, 0);
    if (simplePanel_) {
        SendMessageW(window, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(WideText(simpleText_).c_str()));
        return;
    }
    std::vector<int> edges;
    int right = 0;
    for (size_t i = 0; i < panels_.size(); ++i) {
        right += panels_[i]->Width();
        edges.push_back(i + 1 == panels_.size() ? -1 : right);
    }
    if (edges.empty()) edges.push_back(-1);
    SendMessageW(window, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < PanelCount(); ++i) UpdatePanelText(i);
}

void TStatusBar::UpdatePanelText(int index) {
    if (!HandleAllocated() || simplePanel_ || index < 0) return;
    const TStatusPanel& panel = Panels(index);
    // The status bar centres text after one tab and right-aligns it after two.
    std::string text = panel.Text();
    if (panel.Alignment() == taCenter) text = "\t" + text;
    if (panel.Alignment() == taRightJustify) text = "\t\t" + text;
    WPARAM type = panel.Bevel() == bvNone ? SBT_NOBORDERS : panel.Bevel() == bvRaised ? SBT_POPOUT : 0;
    SendMessageW(Handle(), SB_SETTEXTW, static_cast<WPARAM>(index) | type,
                 reinterpret_cast<LPARAM>(WideText(text).c_str()));
}
