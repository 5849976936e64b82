#include "winui/control_win.h"

#include <algorithm>
#include <optional>
#include <set>

#include "base/exception.h"
#include "base/string_ids.h"
#include "winui/application_win.h"
#include "winui/drag_win.h"
#include "winui/form_win.h"
#include "winui/menu_win.h"
#include "winui/text_win.h"

// Told by ~TControl so that process-wide references to the control are dropped.
void DragControlDestroyed(TControl* control);
void ApplicationControlDestroyed(TControl* control);

namespace {

const wchar_t* const ControlProperty = L"VarnoletControl";

// The control whose window is being created: messages before WM_NCCREATE find it here.
thread_local TWinControl* creatingControl = nullptr;

std::set<std::wstring>& OwnClasses() {
    static std::set<std::wstring> classes;
    return classes;
}

UINT NextControlId() {
    static UINT next = 0x1000;
    if (++next > 0x7FFF) next = 0x1001;
    return next;
}

// Canvases that took a window device context outside painting.
std::vector<std::function<void()>>& PendingCanvasReleases() {
    static std::vector<std::function<void()>> list;
    return list;
}

bool IsMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK && msg != WM_MOUSEWHEEL;
}

bool IsButtonDown(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
           msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
}

bool IsButtonUp(UINT msg) { return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP; }

TMouseButton ButtonOf(UINT msg) {
    switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: return mbMiddle;
    default: return mbLeft;
    }
}

bool IsDialogKey(WORD key) {
    switch (key) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: return true;
    default: return false;
    }
}

// Notifications a parent gets from a child window, which go back to the child's control as CN_.
bool IsChildNotification(UINT msg) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM: return true;
    default: return false;
    }
}

bool RectIsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

// --- shift states ---

TShiftState MouseShiftState(WPARAM keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s += ssShift;
    if (keys & MK_CONTROL) s += ssCtrl;
    if (keys & MK_LBUTTON) s += ssLeft;
    if (keys & MK_RBUTTON) s += ssRight;
    if (keys & MK_MBUTTON) s += ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s += ssAlt;
    return s;
}

TShiftState KeyboardShiftState() {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s += ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0) s += ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0) s += ssRight;
    if (GetKeyState(VK_MBUTTON) < 0) s += ssMiddle;
    return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
    if (keyData & 0x20000000) s += ssAlt;
    return s;
}

void GuardedCall(const std::function<void()>& body) {
    try {
        body();
    } catch (...) {
        if (Application) Application->HandleException();
    }
}

void FreeControlCanvases() {
    auto list = std::move(PendingCanvasReleases());
    PendingCanvasReleases().clear();
    for (auto& release : list) release();
}

// =====================================================================================
// TControl
// =====================================================================================

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TGraphicsObject&) { FontChanged(); };
}

TControl::~TControl() {
    ApplicationControlDestroyed(this);
    DragControlDestroyed(this);
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    if (parent_) parent_->RemoveControl(this);
}

const TClassInfo& TControl::StaticClass() {
    static const TClassInfo info{
        "TControl",
        &TComponent::StaticClass(),
        {
            TypedProp<TControl, int32_t>("Left", TPropKind::pkInteger, [](const TControl& c) { return c.Left(); },
                                         [](TControl& c, const int32_t& v) { c.SetLeft(v); }),
            TypedProp<TControl, int32_t>("Top", TPropKind::pkInteger, [](const TControl& c) { return c.Top(); },
                                         [](TControl& c, const int32_t& v) { c.SetTop(v); }),
            TypedProp<TControl, int32_t>("Width", TPropKind::pkInteger, [](const TControl& c) { return c.Width(); },
                                         [](TControl& c, const int32_t& v) { c.SetWidth(v); }),
            TypedProp<TControl, int32_t>("Height", TPropKind::pkInteger, [](const TControl& c) { return c.Height(); },
                                         [](TControl& c, const int32_t& v) { c.SetHeight(v); }),
            TypedProp<TControl, int32_t>("Tag", TPropKind::pkInteger, [](const TControl& c) { return c.Tag(); },
                                         [](TControl& c, const int32_t& v) { c.SetTag(v); }),
            TypedProp<TControl, std::string>(
                "Caption", TPropKind::pkString, [](const TControl& c) { return const_cast<TControl&>(c).Caption(); },
                [](TControl& c, const std::string& v) { c.SetCaption(v); }),
            TypedProp<TControl, std::string>(
                "Text", TPropKind::pkString, [](const TControl& c) { return const_cast<TControl&>(c).Text(); },
                [](TControl& c, const std::string& v) { c.SetText(v); }),
            TypedProp<TControl, std::string>("Hint", TPropKind::pkString, [](const TControl& c) { return c.Hint(); },
                                             [](TControl& c, const std::string& v) { c.SetHint(v); }),
            TypedProp<TControl, bool>("Visible", TPropKind::pkBoolean, [](const TControl& c) { return c.Visible(); },
                                      [](TControl& c, const bool& v) { c.SetVisible(v); }),
            TypedProp<TControl, bool>("Enabled", TPropKind::pkBoolean, [](const TControl& c) { return c.Enabled(); },
                                      [](TControl& c, const bool& v) { c.SetEnabled(v); }),
        },
        {}};
    return info;
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& msg) {
    if (IsMouseMessage(msg.Msg)) {
        HandleMouseMessage(msg);
        return;
    }
    switch (msg.Msg) {
    case CM_DRAG: CMDrag(msg); return;
    case CM_HITTEST: msg.Result = HTCLIENT; return;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED: Invalidate(); return;
    case CM_VISIBLECHANGED:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case CM_ENTER:
    case CM_EXIT:
    case CM_HINTSHOW:
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_CURSORCHANGED:
    case CM_SHOWHINTCHANGED: return;
    case CM_PARENTFONTCHANGED: ParentFontChanged(); return;
    case CM_PARENTCOLORCHANGED: ParentColorChanged(); return;
    case CM_POPUPMENU: CMPopupMenu(msg); return;
    default: DefaultHandler(msg);
    }
}

void TControl::CMDrag(TMessage& msg) {
    auto* rec = reinterpret_cast<TDragRec*>(msg.LParam);
    if (!rec || !rec->Source) return;
    POINT p = ScreenToClient(rec->Pos);
    switch (msg.WParam) {
    case dmDragEnter: DragOverMessage(*rec, p, dsDragEnter, msg); return;
    case dmDragMove: DragOverMessage(*rec, p, dsDragMove, msg); return;
    case dmDragLeave: DragOverMessage(*rec, p, dsDragLeave, msg); return;
    case dmDragDrop: DragDrop(*rec->Source, p.x, p.y); return;
    case dmFindTarget: msg.Result = IsDragTarget() ? reinterpret_cast<LRESULT>(this) : 0; return;
    default: return;
    }
}

void TControl::DragOverMessage(TDragRec& rec, POINT client, TDragState state, TMessage& msg) {
    bool accept = false;
    DragOver(*rec.Source, client.x, client.y, state, accept);
    rec.Accepted = accept;
    msg.Result = accept ? 1 : 0;
}

void TControl::CMPopupMenu(TMessage& msg) {
    POINT p{MouseX(msg), MouseY(msg)};
    msg.Result = DoContextPopup(p) ? 1 : 0;
}

void TControl::DefaultHandler(TMessage& msg) { msg.Result = 0; }

void TControl::HandleMouseMessage(TMessage& msg) {
    UINT m = msg.Msg;
    int x = MouseX(msg), y = MouseY(msg);
    TShiftState shift = MouseShiftState(msg.WParam);
    if (m == WM_MOUSEMOVE) {
        DefaultHandler(msg);
        MouseMove(shift, x, y);
        return;
    }
    if (IsButtonDown(m)) {
        TMouseButton button = ButtonOf(m);
        bool dbl = m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK;
        DefaultHandler(msg);
        if (button == mbLeft && dragMode_ == dmAutomatic && !dbl) {
            BeginDrag(false);
            return;
        }
        if (button == mbLeft) {
            controlState_ += csLButtonDown;
            if (controlStyle_.Has(csClickEvents)) controlState_ += csClicked;
        }
        if (dbl) {
            shift += ssDouble;
            if (button == mbLeft && controlStyle_.Has(csDoubleClicks)) DblClick();
        }
        MouseDown(button, shift, x, y);
        return;
    }
    if (IsButtonUp(m)) {
        TMouseButton button = ButtonOf(m);
        DefaultHandler(msg);
        bool clicked = button == mbLeft && controlState_.Has(csClicked);
        if (button == mbLeft) controlState_ = controlState_ - csLButtonDown - csClicked;
        if (clicked && x >= 0 && y >= 0 && x < width_ && y < height_) Click();
        MouseUp(button, shift, x, y);
        return;
    }
    DefaultHandler(msg);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TControl::Click() {
    if (OnClick) OnClick(*this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(*this);
}

void TControl::Resize() {
    if (OnResize) OnResize(*this);
}

void TControl::BoundsChanged() {}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw EComponentError(sid::ControlOwnParent);
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

TForm* TControl::ParentForm() {
    TControl* c = this;
    while (c) {
        if (auto* form = dynamic_cast<TForm*>(c)) return form;
        c = c->parent_;
    }
    return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    bool resized = width != width_ || height != height_;
    Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
    BoundsChanged();
    RequestAlign();
    if (resized) Resize();
}

void TControl::UpdateBoundsFromWindow(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

RECT TControl::ClientRect() { return RECT{0, 0, width_, height_}; }

void TControl::SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
void TControl::SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }

void TControl::SetClientSize(int width, int height) {
    RECT r = ClientRect();
    SetBounds(left_, top_, width_ + width - (r.right - r.left), height_ + height - (r.bottom - r.top));
}

POINT TControl::ClientOrigin() {
    if (!parent_) return POINT{left_, top_};
    POINT p = parent_->ClientOrigin();
    return POINT{p.x + left_, p.y + top_};
}

POINT TControl::ClientToScreen(POINT point) {
    POINT o = ClientOrigin();
    return POINT{point.x + o.x, point.y + o.y};
}

POINT TControl::ScreenToClient(POINT point) {
    POINT o = ClientOrigin();
    return POINT{point.x - o.x, point.y - o.y};
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void TControl::RequestAlign() {
    if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    if (visible_) Invalidate();
    visible_ = visible;
    if (visible_) Invalidate();
    Perform(CM_VISIBLECHANGED, visible);
    RequestAlign();
}

bool TControl::Showing() { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
}

std::string TControl::GetText() { return text_; }

void TControl::SetTextValue(const std::string& text) { text_ = text; }

void TControl::SetText(const std::string& text) {
    if (text == GetText()) return;
    SetTextValue(text);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetShowHint(bool show) {
    parentShowHint_ = false;
    if (show == showHint_) return;
    showHint_ = show;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool parentShowHint) { parentShowHint_ = parentShowHint; }

bool TControl::EffectiveShowHint() {
    if (parentShowHint_ && parent_) return parent_->EffectiveShowHint();
    return showHint_;
}

void TControl::FontChanged() {
    if (!fontFromParent_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool parentFont) {
    if (parentFont == parentFont_) return;
    parentFont_ = parentFont;
    if (parentFont_ && parent_) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    fontFromParent_ = true;
    font_->Assign(&parent_->Font());
    fontFromParent_ = false;
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool parentColor) {
    if (parentColor == parentColor_) return;
    parentColor_ = parentColor;
    if (parentColor_ && parent_) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_ || parent_->Color() == color_) return;
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED);
}

void TControl::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (menu) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

bool TControl::DoContextPopup(POINT screenPoint) {
    bool handled = false;
    if (OnContextPopup) {
        OnContextPopup(*this, ScreenToClient(screenPoint), handled);
        if (handled) return true;
    }
    if (popupMenu_ && popupMenu_->AutoPopup()) {
        if (screenPoint.x == -1 && screenPoint.y == -1) screenPoint = ClientToScreen(POINT{width_ / 2, height_ / 2});
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(screenPoint.x, screenPoint.y);
        return true;
    }
    return false;
}

void TControl::Invalidate() {
    if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
    RECT r = BoundsRect();
    InvalidateRect(parent_->handle_, &r, !controlStyle_.Has(csOpaque));
}

void TControl::Update() {
    if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->handle_);
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (parent_) parent_->SetChildOrder(this, parent_->ControlCount());
}

void TControl::SendToBack() {
    if (parent_) parent_->SetChildOrder(this, 0);
}

void TControl::BeginDrag(bool immediate, int threshold) { BeginDragObject(this, nullptr, immediate, threshold); }

bool TControl::Dragging() const {
    TDragObject* drag = CurrentDragObject();
    return drag && drag->Control() == this;
}

void TControl::EndDrag(bool drop) {
    if (Dragging()) EndDragObject(drop);
}

void TControl::DragOver(TDragObject& source, int x, int y, TDragState state, bool& accept) {
    accept = false;
    if (OnDragOver) {
        accept = true;
        OnDragOver(*this, source, x, y, state, accept);
    }
}

void TControl::DragDrop(TDragObject& source, int x, int y) {
    if (OnDragDrop) OnDragDrop(*this, source, x, y);
}

void TControl::DoEndDrag(TControl* target, int x, int y) {
    if (OnEndDrag) OnEndDrag(*this, target, x, y);
}

void TControl::DoStartDrag(TDragObject*& dragObject) {
    if (OnStartDrag) OnStartDrag(*this, dragObject);
}

// =====================================================================================
// TGraphicControl
// =====================================================================================

// Draws on the parent window: during painting on the paint context it is handed, otherwise on
// a window context of the parent, moved and clipped to the control.
class TGraphicControl::TGraphicCanvas : public TCanvas {
public:
    explicit TGraphicCanvas(TGraphicControl& control) : control_(control) {}
    ~TGraphicCanvas() override { ReleaseOwn(); }
    void ReleaseOwn() {
        if (!ownDc_) return;
        SetHandle(nullptr);
        // The parent's DC goes back as it came: its state first, then the DC.
        savedState_.reset();
        ownDc_.reset();
    }

protected:
    void CreateHandle() override {
        TWinControl* parent = control_.Parent();
        if (!parent || !parent->HandleAllocated()) return;
        HDC dc = ownDc_.emplace(parent->Handle());
        if (!dc) {
            ownDc_.reset();
            return;
        }
        savedState_.emplace(dc);
        SetViewportOrgEx(dc, control_.Left(), control_.Top(), nullptr);
        IntersectClipRect(dc, 0, 0, control_.Width(), control_.Height());
        SetHandle(dc);
        TGraphicCanvas* self = this;
        PendingCanvasReleases().push_back([self, alive = alive_] {
            if (*alive) self->ReleaseOwn();
        });
    }

public:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

private:
    TGraphicControl& control_;
    std::optional<TWindowDC> ownDc_;
    std::optional<TSavedDC> savedState_;
};

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() {
    if (canvas_) *canvas_->alive_ = false;
}

const TClassInfo& TGraphicControl::StaticClass() {
    static const TClassInfo info{"TGraphicControl", &TControl::StaticClass(), {}, {}};
    return info;
}

TCanvas& TGraphicControl::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TGraphicCanvas>(*this);
        canvas_->Font().Assign(&Font());
    }
    return *canvas_;
}

void TGraphicControl::WndProc(TMessage& msg) {
    if (msg.Msg == WM_PAINT && msg.WParam) {
        TCanvas& canvas = Canvas();
        canvas_->ReleaseOwn();
        canvas.Lock();
        canvas.Font().Assign(&Font());
        canvas.SetHandle(reinterpret_cast<HDC>(msg.WParam));
        try {
            Paint();
        } catch (...) {
            canvas.SetHandle(nullptr);
            canvas.Unlock();
            throw;
        }
        canvas.SetHandle(nullptr);
        canvas.Unlock();
        return;
    }
    TControl::WndProc(msg);
}

void TGraphicControl::PaintOn(HDC dc) { Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); }

// =====================================================================================
// TWinControl
// =====================================================================================

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    DestroyHandle();
    for (TControl* c : controls_) c->SetParentField(nullptr);
    controls_.clear();
}

const TClassInfo& TWinControl::StaticClass() {
    static const TClassInfo info{"TWinControl", &TControl::StaticClass(), {}, {}};
    return info;
}

TWinControl* TWinControl::FindControl(HWND window) {
    if (!window) return nullptr;
    return static_cast<TWinControl*>(GetPropW(window, ControlProperty));
}

TControl* TWinControl::FindDragTarget(POINT screenPoint, bool allowDisabled) {
    HWND window = WindowFromPoint(screenPoint);
    TWinControl* control = nullptr;
    while (window && !(control = FindControl(window))) window = GetParent(window);
    if (!control) return nullptr;
    POINT client = screenPoint;
    ::ScreenToClient(control->handle_, &client);
    TControl* child = control->ControlAtPos(client, allowDisabled);
    return child ? child : control;
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded() {
    if (handle_) return;
    if (Parent()) Parent()->HandleNeeded();
    if (handle_) return;  // the parent created the children's windows
    CreateWnd();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = text_;
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (tabStop_) params.Style |= WS_TABSTOP;
    params.X = left_;
    params.Y = top_;
    params.Width = width_;
    params.Height = height_;
    // Only a parent that has its window already: the parameters are also asked for measuring
    // (ClientRect), which must not create windows; CreateWnd makes the parent's when needed.
    if (Parent()) params.WndParent = Parent()->HandleAllocated() ? Parent()->Handle() : nullptr;
    else params.WndParent = parentWindow_;
    params.WinClassName = ClassName();
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent && Parent()) params.WndParent = Parent()->Handle();
    if ((params.Style & WS_CHILD) && !params.WndParent) throw EComponentError(sid::ControlHasNoParent, {Name()});
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::wstring className = WideText(params.WinClassName);
    bool own = false;
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (OwnClasses().count(className)) {
        own = true;
        // A class of the framework with other class styles gets a name of its own.
        GetClassInfoExW(instance, className.c_str(), &existing);
        if (existing.style != params.ClassStyle) {
            wchar_t suffix[16];
            wsprintfW(suffix, L".%X", params.ClassStyle);
            className += suffix;
        }
    } else if (GetClassInfoExW(instance, className.c_str(), &existing) ||
               GetClassInfoExW(nullptr, className.c_str(), &existing)) {
        own = false;
    } else {
        own = true;
    }
    if (own && !OwnClasses().count(className)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = params.ClassStyle;
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = instance;
        wc.hCursor = params.ClassCursor ? params.ClassCursor : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = params.ClassBackground;
        wc.hIcon = params.ClassIcon;
        wc.lpszClassName = className.c_str();
        if (!RegisterClassExW(&wc)) throw EComponentError(sid::WindowClassError, {params.WinClassName});
        OwnClasses().insert(className);
    }
    HMENU id = nullptr;
    if (params.Style & WS_CHILD) id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextControlId()));
    TWinControl* previous = creatingControl;
    creatingControl = own ? this : nullptr;
    HWND window = CreateWindowExW(params.ExStyle, className.c_str(), WideText(params.Caption).c_str(), params.Style,
                                  params.X, params.Y, params.Width, params.Height, params.WndParent, id, instance,
                                  own ? this : params.Param);
    creatingControl = previous;
    if (!window) throw EComponentError(sid::ControlCreateError, {params.WinClassName});
    if (!own) {
        auto original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWndProc)));
        Attach(window, original);
    } else if (!handle_) {
        Attach(window, nullptr);
    }
    // The window may have adjusted its size (a combo box, a minimum size): take what it has.
    RECT r;
    GetWindowRect(window, &r);
    if (params.Style & WS_CHILD) MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    if (!IsIconic(window)) UpdateBoundsFromWindow(r.left, r.top, r.right - r.left, r.bottom - r.top);
    CreateWindowHandle(params);
}

void TWinControl::CreateWindowHandle(const TCreateParams&) {
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    InitializeWnd();
    CreateChildHandles();
    Realign();
}

void TWinControl::CreateChildHandles() {
    for (TControl* c : std::vector<TControl*>(controls_))
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
    // Keep the windows in the z-order of the child list.
    HWND after = HWND_TOP;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_) {
            SetWindowPos(w->handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = w->handle_;
        }
}

void TWinControl::Attach(HWND window, WNDPROC original) {
    handle_ = window;
    defWndProc_ = original;
    SetPropW(window, ControlProperty, this);
}

void TWinControl::Detach() {
    if (!handle_) return;
    RemovePropW(handle_, ControlProperty);
    if (defWndProc_) SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defWndProc_));
    handle_ = nullptr;
    defWndProc_ = nullptr;
    mouseControl_ = nullptr;
    captureControl_ = nullptr;
    trackingLeave_ = false;
}

void TWinControl::DestroyWnd() {
    if (handle_) text_ = WindowText(handle_);
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    controlState_ += csDestroyingHandle;
    for (TControl* c : std::vector<TControl*>(controls_))
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    DestroyWnd();
    HWND window = handle_;
    if (window) DestroyWindow(window);
    if (handle_) Detach();  // a window that was gone already
    controlState_ -= csDestroyingHandle;
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    bool focused = Focused();
    DestroyHandle();
    HandleNeeded();
    if (focused && CanFocus()) ::SetFocus(handle_);
}

void TWinControl::SetParentWindow(HWND parent) {
    if (parent == parentWindow_) return;
    parentWindow_ = parent;
    if (handle_ && !Parent()) {
        if (parent) ::SetParent(handle_, parent);
        else DestroyHandle();
    }
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FindControl(window);
    if (!control && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        control = static_cast<TWinControl*>(cs->lpCreateParams);
        if (control) control->Attach(window, nullptr);
    }
    if (!control && creatingControl) {
        control = creatingControl;
        control->Attach(window, nullptr);
    }
    if (!control) return DefWindowProcW(window, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    try {
        control->WndProc(m);
    } catch (...) {
        if (Application) Application->HandleException();
        // Keep the window procedure's contract where the result matters.
        if (msg == WM_NCCREATE) m.Result = TRUE;
    }
    if (msg == WM_NCDESTROY) {
        // The window is gone: the object lets it go (and gives a subclassed window its
        // original procedure back, which already ran above).
        if (control->handle_ == window) control->Detach();
    }
    return m.Result;
}

void TWinControl::DefaultHandler(TMessage& msg) {
    if (!handle_) {
        msg.Result = 0;
        return;
    }
    if (defWndProc_)
        msg.Result = CallWindowProcW(defWndProc_, handle_, msg.Msg, msg.WParam, msg.LParam);
    else
        msg.Result = DefWindowProcW(handle_, msg.Msg, msg.WParam, msg.LParam);
}

bool TWinControl::ReflectNotification(TMessage& msg) {
    HWND child = nullptr;
    switch (msg.Msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(msg.LParam); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(msg.LParam)->hwndFrom; break;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(msg.LParam);
        if (dis->CtlType != ODT_MENU) child = dis->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(msg.LParam);
        if (mis->CtlType != ODT_MENU) child = GetDlgItem(handle_, static_cast<int>(mis->CtlID));
        break;
    }
    case WM_COMPAREITEM: child = reinterpret_cast<COMPAREITEMSTRUCT*>(msg.LParam)->hwndItem; break;
    case WM_DELETEITEM: child = reinterpret_cast<DELETEITEMSTRUCT*>(msg.LParam)->hwndItem; break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM: child = reinterpret_cast<HWND>(msg.LParam); break;
    default: return false;
    }
    if (!child || child == handle_) return false;
    TWinControl* control = FindControl(child);
    if (!control) return false;
    msg.Result = control->Perform(CN_BASE + msg.Msg, msg.WParam, msg.LParam);
    return true;
}

void TWinControl::WndProc(TMessage& msg) {
    if (IsChildNotification(msg.Msg)) {
        WMChildNotification(msg);
        return;
    }
    if (IsMouseMessage(msg.Msg)) {
        WMMouse(msg);
        return;
    }
    switch (msg.Msg) {
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: CNCtlColor(msg); return;
    case WM_PAINT: WMPaint(msg); return;
    case WM_ERASEBKGND: WMEraseBkgnd(msg); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(msg); return;
    case WM_SETFOCUS: WMSetFocus(msg); return;
    case WM_CONTEXTMENU: WMContextMenu(msg); return;
    case WM_SETCURSOR: WMSetCursor(msg); return;
    case WM_MOUSELEAVE: WMMouseLeave(msg); return;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED: WMCaptureChanged(msg); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: WMKey(msg); return;
    case WM_CHAR: WMChar(msg); return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(msg); return;
    case CN_CHAR:
    case CN_SYSCHAR: CNChar(msg); return;
    case WM_GETFONT: WMGetFont(msg); return;
    case CM_FONTCHANGED: CMFontChanged(msg); return;
    case CM_COLORCHANGED: CMColorChanged(msg); return;
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED: return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR: Broadcast(msg); return;
    default: TControl::WndProc(msg);
    }
}

void TWinControl::WMChildNotification(TMessage& msg) {
    if (!ReflectNotification(msg)) DefaultHandler(msg);
}

void TWinControl::CNCtlColor(TMessage& msg) {
    msg.Result = reinterpret_cast<LRESULT>(ControlColor(reinterpret_cast<HDC>(msg.WParam)));
}

void TWinControl::WMPaint(TMessage& msg) {
    if (Subclassed()) {
        // The window class paints itself; the windowless children go on top of it.
        DefaultHandler(msg);
        bool hasGraphic = std::any_of(controls_.begin(), controls_.end(),
                                      [](TControl* c) { return !dynamic_cast<TWinControl*>(c) && c->Visible(); });
        if (hasGraphic) {
            TWindowDC dc(handle_);
            PaintControls(dc);
        }
        return;
    }
    if (msg.WParam) {
        auto dc = reinterpret_cast<HDC>(msg.WParam);
        PaintWindow(dc);
        PaintControls(dc);
        return;
    }
    TPaintDC dc(handle_);
    PaintWindow(dc);
    PaintControls(dc);
}

void TWinControl::WMEraseBkgnd(TMessage& msg) {
    if (Subclassed()) {
        DefaultHandler(msg);
        return;
    }
    msg.Result = EraseBackground(reinterpret_cast<HDC>(msg.WParam)) ? 1 : 0;
}

void TWinControl::WMWindowPosChanged(TMessage& msg) {
    DefaultHandler(msg);
    auto* wp = reinterpret_cast<WINDOWPOS*>(msg.LParam);
    if (IsIconic(handle_)) return;
    if ((wp->flags & SWP_NOSIZE) && (wp->flags & SWP_NOMOVE)) return;
    RECT r;
    GetWindowRect(handle_, &r);
    HWND parent = GetParent(handle_);
    if (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    bool resized = r.right - r.left != width_ || r.bottom - r.top != height_;
    bool moved = r.left != left_ || r.top != top_;
    if (!resized && !moved) {
        if (!(wp->flags & SWP_NOSIZE)) Realign();
        return;
    }
    UpdateBoundsFromWindow(r.left, r.top, r.right - r.left, r.bottom - r.top);
    BoundsChanged();
    if (resized) Realign();
    RequestAlign();
    if (resized) Resize();
}

void TWinControl::WMSetFocus(TMessage& msg) {
    DefaultHandler(msg);
    if (TForm* form = ParentForm(); form && form != this) form->FocusControl(this);
}

void TWinControl::WMContextMenu(TMessage& msg) {
    POINT p{MouseX(msg), MouseY(msg)};
    // (-1, -1) comes from the keyboard: the menu of this control, not of a child under the mouse.
    if (p.x != -1 || p.y != -1) {
        POINT client = p;
        ::ScreenToClient(handle_, &client);
        TControl* child = ControlAtPos(client, false);
        if (child && child->DoContextPopup(p)) return;
    }
    if (DoContextPopup(p)) return;
    DefaultHandler(msg);
}

void TWinControl::WMSetCursor(TMessage& msg) {
    if (HandleSetCursor(msg)) return;
    DefaultHandler(msg);
}

void TWinControl::WMMouseLeave(TMessage& msg) {
    trackingLeave_ = false;
    if (mouseControl_) {
        TControl* old = mouseControl_;
        mouseControl_ = nullptr;
        old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    }
    Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
    DefaultHandler(msg);
}

void TWinControl::WMCaptureChanged(TMessage& msg) {
    if (captureControl_ && reinterpret_cast<HWND>(msg.LParam) != handle_) {
        TControl* c = captureControl_;
        captureControl_ = nullptr;
        c->controlState_ = c->controlState_ - csLButtonDown - csClicked;
    }
    DefaultHandler(msg);
}

void TWinControl::WMMouse(TMessage& msg) {
    UpdateMouseControl(msg);
    if (RouteMouseToChildren(msg)) return;
    if (!Subclassed() && controlStyle_.Has(csCaptureMouse)) {
        if (msg.Msg == WM_LBUTTONDOWN || msg.Msg == WM_LBUTTONDBLCLK) SetCapture(handle_);
        else if (msg.Msg == WM_LBUTTONUP && GetCapture() == handle_) ReleaseCapture();
    }
    TControl::WndProc(msg);
}

void TWinControl::CNKeyDown(TMessage& msg) {
    WORD key = static_cast<WORD>(msg.WParam);
    TMessage keyMsg{msg.Msg - CN_BASE, msg.WParam, msg.LParam, 0};
    bool taken = IsMenuKey(keyMsg) ||
                 (msg.Msg == CN_KEYDOWN && IsDialogKey(key) && !WantsKey(key) && OfferDialogKey(key, msg.LParam));
    msg.Result = taken ? 1 : 0;
}

// Parents see a dialog key first (CM_CHILDKEY), then the form's dialog handling.
bool TWinControl::OfferDialogKey(WORD key, LPARAM keyData) {
    for (TWinControl* p = this; p; p = p->Parent())
        if (p->Perform(CM_CHILDKEY, key, reinterpret_cast<LPARAM>(this))) return true;
    TForm* form = ParentForm();
    return form && form->Perform(CM_DIALOGKEY, key, keyData);
}

void TWinControl::CNChar(TMessage& msg) {
    msg.Result = 0;
    // Accelerator characters of buttons and labels: Alt+letter always, a plain letter when
    // the focused control takes no characters.
    bool alt = msg.Msg == CN_SYSCHAR;
    if (!alt && WantsKey(0)) return;
    TForm* form = ParentForm();
    if (!form) return;
    std::string ch = NarrowText(std::wstring(1, static_cast<wchar_t>(msg.WParam)));
    if (!ch.empty() && form->Perform(CM_DIALOGCHAR, static_cast<unsigned char>(ch[0]), msg.LParam)) msg.Result = 1;
}

void TWinControl::WMGetFont(TMessage& msg) {
    if (Subclassed()) {
        DefaultHandler(msg);
        return;
    }
    msg.Result = reinterpret_cast<LRESULT>(Font().Handle());
}

void TWinControl::CMFontChanged(TMessage&) {
    if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
    for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTFONTCHANGED);
    Invalidate();
}

void TWinControl::CMColorChanged(TMessage&) {
    for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTCOLORCHANGED);
    Invalidate();
}

void TWinControl::UpdateMouseControl(TMessage& msg) {
    if (msg.Msg != WM_MOUSEMOVE) return;
    if (!trackingLeave_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
        trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
        Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
    }
    POINT p{MouseX(msg), MouseY(msg)};
    TControl* under = captureControl_ ? captureControl_ : ControlAtPos(p, false);
    if (under && dynamic_cast<TWinControl*>(under)) under = nullptr;
    if (under == mouseControl_) return;
    TControl* old = mouseControl_;
    mouseControl_ = under;
    if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    if (under) under->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(under));
}

bool TWinControl::RouteMouseToChildren(TMessage& msg) {
    TControl* target = captureControl_;
    POINT p{MouseX(msg), MouseY(msg)};
    if (!target) {
        TControl* child = ControlAtPos(p, false);
        if (!child || dynamic_cast<TWinControl*>(child)) return false;
        target = child;
        if (IsButtonDown(msg.Msg) && target->ControlStyle().Has(csCaptureMouse)) {
            captureControl_ = target;
            SetCapture(handle_);
        }
    }
    TMessage forwarded{msg.Msg, msg.WParam, PointToLParam(p.x - target->Left(), p.y - target->Top()), 0};
    target->WndProc(forwarded);
    msg.Result = forwarded.Result;
    if (IsButtonUp(msg.Msg) && captureControl_ == target &&
        !(msg.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
        captureControl_ = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
    return true;
}

bool TWinControl::HandleSetCursor(TMessage& msg) {
    if (reinterpret_cast<HWND>(msg.WParam) != handle_ || LOWORD(msg.LParam) != HTCLIENT) return false;
    TCursor cursor = Screen ? Screen->Cursor() : crDefault;
    if (cursor == crDefault) {
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(handle_, &p);
        TControl* child = ControlAtPos(p, true);
        if (child && !dynamic_cast<TWinControl*>(child)) cursor = child->Cursor();
        if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor == crDefault || !Screen) return false;
    ::SetCursor(Screen->Cursors(cursor));
    msg.Result = TRUE;
    return true;
}

// The form that previews the keys of this control (KeyPreview), if any.
TWinControl* TWinControl::KeyPreviewForm() {
    TForm* form = ParentForm();
    return form && form != this && form->KeyPreview() ? form : nullptr;
}

void TWinControl::WMKey(TMessage& msg) {
    TShiftState shift = KeyDataToShiftState(msg.LParam);
    TWinControl* preview = KeyPreviewForm();
    WORD key = static_cast<WORD>(msg.WParam);
    if (msg.Msg == WM_KEYDOWN || msg.Msg == WM_SYSKEYDOWN) {
        if (preview) preview->KeyDown(key, shift);
        if (key) KeyDown(key, shift);
    } else {
        if (preview) preview->KeyUp(key, shift);
        if (key) KeyUp(key, shift);
    }
    if (!key) return;
    msg.WParam = key;
    DefaultHandler(msg);
}

void TWinControl::WMChar(TMessage& msg) {
    TWinControl* preview = KeyPreviewForm();
    std::string ch = NarrowText(std::wstring(1, static_cast<wchar_t>(msg.WParam)));
    char key = ch.empty() ? '?' : ch[0];
    if (preview) preview->KeyPress(key);
    if (key) KeyPress(key);
    if (!key) return;
    std::wstring wide = WideText(std::string(1, key));
    msg.WParam = wide.empty() ? msg.WParam : wide[0];
    DefaultHandler(msg);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(*this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(*this, key);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(*this, key, shift);
}

bool TWinControl::WantsKey(WORD key) {
    if (!handle_) return false;
    if (Perform(CM_WANTSPECIALKEY, key)) return true;
    LRESULT code = SendMessageW(handle_, WM_GETDLGCODE, key, 0);
    if (code & DLGC_WANTALLKEYS) return true;
    switch (key) {
    case 0: return (code & DLGC_WANTCHARS) != 0;
    case VK_TAB: return (code & DLGC_WANTTAB) != 0;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return (code & DLGC_WANTARROWS) != 0;
    default: return false;
    }
}

bool TWinControl::IsMenuKey(const TMessage& keyMsg) {
    for (TControl* c = this; c; c = c->Parent())
        if (c->PopupMenu() && c->PopupMenu()->IsShortCut(keyMsg)) return true;
    for (TControl* c = this; c; c = c->Parent())
        if (auto* form = dynamic_cast<TForm*>(c); form && form->IsShortCut(keyMsg)) return true;
    return Application && Application->IsShortCut(keyMsg);
}

namespace {
thread_local int broadcastDepth = 0;
}

bool TWinControl::Broadcasting() { return broadcastDepth > 0; }

void TWinControl::Broadcast(TMessage& msg) {
    ++broadcastDepth;
    try {
        for (TControl* c : std::vector<TControl*>(controls_)) {
            c->WndProc(msg);
            if (msg.Result) break;
        }
    } catch (...) {
        --broadcastDepth;
        throw;
    }
    --broadcastDepth;
}

void TWinControl::PaintWindow(HDC) {}

bool TWinControl::EraseBackground(HDC dc) {
    if (controlStyle_.Has(csOpaque)) return true;
    RECT r;
    GetClientRect(handle_, &r);
    ::FillRect(dc, &r, ColorBrush());
    return true;
}

HBRUSH TWinControl::ColorBrush() {
    if (!colorBrush_ || colorBrushColor_ != Color()) {
        colorBrush_.Reset(CreateSolidBrush(ColorToRGB(Color())));
        colorBrushColor_ = Color();
    }
    return colorBrush_;
}

HBRUSH TWinControl::ControlColor(HDC dc) {
    SetTextColor(dc, ColorToRGB(Font().Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    return ColorBrush();
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    auto start = controls_.begin();
    if (first) start = std::find(controls_.begin(), controls_.end(), first);
    for (auto it = start; it != controls_.end(); ++it) {
        auto* g = dynamic_cast<TGraphicControl*>(*it);
        if (!g || !g->Visible()) continue;
        RECT r = g->BoundsRect();
        if (RectIsEmpty(r) || !RectVisible(dc, &r)) continue;
        TSavedDC saved(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + r.left, org.y + r.top, nullptr);
        IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
        g->PaintOn(dc);
    }
}

void TWinControl::SetChildOrder(TControl* child, int order) {
    auto it = std::find(controls_.begin(), controls_.end(), child);
    if (it == controls_.end()) return;
    controls_.erase(it);
    order = std::clamp(order, 0, static_cast<int>(controls_.size()));
    controls_.insert(controls_.begin() + order, child);
    if (auto* w = dynamic_cast<TWinControl*>(child); w && w->handle_) {
        SetWindowPos(w->handle_, order == 0 ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    child->Invalidate();
}

std::vector<TWinControl*> TWinControl::WinControls() const {
    std::vector<TWinControl*> result;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) result.push_back(w);
    return result;
}

bool TWinControl::ContainsControl(TControl* control) const {
    for (TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(POINT point, bool allowDisabled, bool allowWinControls) {
    auto hit = [&](TControl* c) {
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) return false;
        RECT r = c->BoundsRect();
        if (point.x < r.left || point.y < r.top || point.x >= r.right || point.y >= r.bottom) return false;
        return c->Perform(CM_HITTEST, 0, PointToLParam(point.x - r.left, point.y - r.top)) != 0;
    };
    // The last child is on top.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (!dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
    if (allowWinControls)
        for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
            if (dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
    return nullptr;
}

void TWinControl::InsertControl(TControl* control) {
    if (control == this) throw EComponentError(sid::ControlOwnParent);
    controls_.push_back(control);
    control->SetParentField(this);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        int count = 0;
        for (TControl* c : controls_)
            if (dynamic_cast<TWinControl*>(c) && c != control) ++count;
        w->tabOrder_ = count;
    }
    control->ParentFontChanged();
    control->ParentColorChanged();
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        if (handle_) {
            if (w->handle_) ::SetParent(w->handle_, handle_);
            else w->HandleNeeded();
        }
    } else {
        control->Invalidate();
    }
    Realign();
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    control->Invalidate();
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
    controls_.erase(it);
    if (mouseControl_ == control) mouseControl_ = nullptr;
    if (captureControl_ == control) {
        captureControl_ = nullptr;
        if (handle_ && GetCapture() == handle_) ReleaseCapture();
    }
    control->SetParentField(nullptr);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        if (w->handle_ && !w->Destroying()) w->DestroyHandle();
        int order = 0;
        for (TWinControl* sibling : TabList()) sibling->tabOrder_ = order++;
    }
    if (TForm* form = ParentForm())
        if (form->ActiveControl() && control == form->ActiveControl()) form->SetActiveControl(nullptr);
    Realign();
}

RECT TWinControl::AlignRect() { return ClientRect(); }

void TWinControl::Realign() {
    if (aligning_) return;
    if (alignDisabled_ > 0) {
        alignPending_ = true;
        return;
    }
    AlignChildren();
}

void TWinControl::AlignChildren() {
    alignPending_ = false;
    RECT rect = AlignRect();
    aligning_ = true;
    try {
        AlignControls(nullptr, rect);
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}

void TWinControl::DisableAlign() { ++alignDisabled_; }

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_) Realign();
}

void TWinControl::AlignControls(TControl*, RECT& rect) {
    auto take = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Align() == align && c->Visible()) list.push_back(c);
        // Stable: controls at the same place keep their child order.
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop: return a->Top() < b->Top();
            case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
            case alLeft: return a->Left() < b->Left();
            case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
            default: return false;
            }
        });
        return list;
    };
    for (TControl* c : take(alTop)) {
        c->SetBounds(rect.left, rect.top, rect.right - rect.left, c->Height());
        rect.top += c->Height();
    }
    for (TControl* c : take(alBottom)) {
        c->SetBounds(rect.left, rect.bottom - c->Height(), rect.right - rect.left, c->Height());
        rect.bottom -= c->Height();
    }
    for (TControl* c : take(alLeft)) {
        c->SetBounds(rect.left, rect.top, c->Width(), std::max<LONG>(rect.bottom - rect.top, 0));
        rect.left += c->Width();
    }
    for (TControl* c : take(alRight)) {
        c->SetBounds(rect.right - c->Width(), rect.top, c->Width(), std::max<LONG>(rect.bottom - rect.top, 0));
        rect.right -= c->Width();
    }
    for (TControl* c : take(alClient))
        c->SetBounds(rect.left, rect.top, std::max<LONG>(rect.right - rect.left, 0),
                     std::max<LONG>(rect.bottom - rect.top, 0));
}

void TWinControl::SetTabStop(bool tabStop) {
    if (tabStop == tabStop_) return;
    tabStop_ = tabStop;
    if (handle_) {
        LONG style = GetWindowLongW(handle_, GWL_STYLE);
        SetWindowLongW(handle_, GWL_STYLE, tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED);
}

TTabOrder TWinControl::TabOrder() const { return tabOrder_; }

void TWinControl::SetTabOrder(TTabOrder order) {
    if (!Parent()) {
        tabOrder_ = order;
        return;
    }
    std::vector<TWinControl*> list = Parent()->TabList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
    int i = 0;
    for (TWinControl* w : list) w->tabOrder_ = i++;
}

std::vector<TWinControl*> TWinControl::TabList() const {
    std::vector<TWinControl*> list = WinControls();
    std::stable_sort(list.begin(), list.end(), [](TWinControl* a, TWinControl* b) { return a->tabOrder_ < b->tabOrder_; });
    return list;
}

bool TWinControl::CanFocus() {
    TForm* form = ParentForm();
    for (TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
        if (c == form) break;
    }
    return true;
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EComponentError(sid::CannotFocus);
    ::SetFocus(Handle());
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) {
    std::vector<TWinControl*> all;
    std::function<void(TWinControl*)> collect = [&](TWinControl* parent) {
        for (TWinControl* w : parent->TabList()) {
            all.push_back(w);
            collect(w);
        }
    };
    collect(this);
    if (all.empty()) return nullptr;
    int n = static_cast<int>(all.size());
    auto found = std::find(all.begin(), all.end(), current);
    int start = found == all.end() ? (goForward ? n - 1 : 0) : static_cast<int>(found - all.begin());
    for (int step = 1; step <= n; ++step) {
        int i = ((start + (goForward ? step : -step)) % n + n) % n;
        TWinControl* w = all[i];
        if (w == current) break;
        if (checkParent && w->Parent() != this) continue;
        if (checkTabStop && !w->TabStop()) continue;
        if (w->CanFocus() && w->Showing()) return w;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    TWinControl* next = FindNextControl(current, goForward, checkTabStop, false);
    if (next) next->SetFocus();
}

void TWinControl::DoEnter() {
    Perform(CM_ENTER);
    if (OnEnter) OnEnter(*this);
}

void TWinControl::DoExit() {
    Perform(CM_EXIT);
    if (OnExit) OnExit(*this);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    if (handle_ && !IsIconic(handle_)) {
        // WM_WINDOWPOSCHANGED takes the new bounds and re-aligns.
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (left_ == left && top_ == top && width_ == width && height_ == height) return;
    }
    bool resized = width != width_ || height != height_;
    UpdateBoundsFromWindow(left, top, width, height);
    BoundsChanged();
    if (resized) Realign();
    RequestAlign();
    if (resized) Resize();
}

void TWinControl::BoundsChanged() {}

RECT TWinControl::ClientRect() {
    if (handle_) {
        RECT r;
        GetClientRect(handle_, &r);
        return r;
    }
    TCreateParams params;
    CreateParams(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    return RECT{0, 0, std::max<LONG>(width_ - (frame.right - frame.left), 0),
                std::max<LONG>(height_ - (frame.bottom - frame.top), 0)};
}

POINT TWinControl::ClientOrigin() {
    if (handle_) {
        POINT p{0, 0};
        ::ClientToScreen(handle_, &p);
        return p;
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetVisible(bool visible) {
    if (visible == Visible()) return;
    TControl::SetVisible(visible);
    if (handle_) {
        ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
    } else if (visible && Parent() && Parent()->HandleAllocated()) {
        HandleNeeded();
    }
}

bool TWinControl::Showing() {
    if (handle_) return IsWindowVisible(handle_) != FALSE;
    return false;
}

void TWinControl::SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    TControl::SetEnabled(enabled);
    if (handle_) EnableWindow(handle_, enabled);
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, !controlStyle_.Has(csOpaque));
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

std::string TWinControl::GetText() {
    if (handle_) return WindowText(handle_);
    return TControl::GetText();
}

void TWinControl::SetTextValue(const std::string& text) {
    TControl::SetTextValue(text);
    if (handle_) SetWindowTextCp1252(handle_, text);
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::ParentColorChanged() { TControl::ParentColorChanged(); }

// --- capture ---

TControl* GetCaptureControl() {
    TWinControl* control = TWinControl::FindControl(GetCapture());
    if (!control) return nullptr;
    return control->captureControl_ ? control->captureControl_ : control;
}

void SetCaptureControl(TControl* control) {
    if (!control) {
        if (TWinControl* w = TWinControl::FindControl(GetCapture())) w->captureControl_ = nullptr;
        ReleaseCapture();
        return;
    }
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        SetCapture(w->Handle());
        return;
    }
    if (TWinControl* parent = control->Parent()) {
        parent->captureControl_ = control;
        SetCapture(parent->Handle());
    }
}

// =====================================================================================
// TCustomControl
// =====================================================================================

class TCustomControl::TCustomCanvas : public TCanvas {
public:
    explicit TCustomCanvas(TCustomControl& control) : control_(control) {}
    ~TCustomCanvas() override { ReleaseOwn(); }
    void ReleaseOwn() {
        if (!ownDc_) return;
        SetHandle(nullptr);
        ownDc_.reset();
    }
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

protected:
    void CreateHandle() override {
        HDC dc = ownDc_.emplace(control_.Handle());
        if (!dc) {
            ownDc_.reset();
            return;
        }
        SetHandle(dc);
        TCustomCanvas* self = this;
        PendingCanvasReleases().push_back([self, alive = alive_] {
            if (*alive) self->ReleaseOwn();
        });
    }

private:
    TCustomControl& control_;
    std::optional<TWindowDC> ownDc_;
};

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

TCustomControl::~TCustomControl() {
    if (canvas_) {
        *canvas_->alive_ = false;
        canvas_->ReleaseOwn();
    }
}

const TClassInfo& TCustomControl::StaticClass() {
    static const TClassInfo info{"TCustomControl", &TWinControl::StaticClass(), {}, {}};
    return info;
}

TCanvas& TCustomControl::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TCustomCanvas>(*this);
        canvas_->Font().Assign(&Font());
    }
    return *canvas_;
}

void TCustomControl::PaintWindow(HDC dc) {
    TCanvas& canvas = Canvas();
    canvas_->ReleaseOwn();
    canvas.Lock();
    canvas.Font().Assign(&Font());
    canvas.SetHandle(dc);
    try {
        Paint();
    } catch (...) {
        canvas.SetHandle(nullptr);
        canvas.Unlock();
        throw;
    }
    canvas.SetHandle(nullptr);
    canvas.Unlock();
}
