#include "widgets/dock_win.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "base/exception.h"
#include "base/format.h"
#include "base/string_ids.h"
#include "winui/application_win.h"
#include "winui/gdi_scope_win.h"
#include "winui/text_win.h"
#include "winui/timer_win.h"

namespace {

// Inside a docked toolbar: a one-pixel raised frame and a pixel of room, then the gripper.
constexpr int ToolbarBorder = 2;
constexpr int GripperSize = 9;
constexpr int SeparatorSize = 8;
// How far outside a dock (or, for an empty dock, into its parent) a drop still docks.
constexpr int DropMargin = 8;
constexpr int EmptyDockBand = 14;

std::vector<TDock*>& AllDocks() {
    static std::vector<TDock*> docks;
    return docks;
}

POINT CursorPos() {
    POINT p;
    GetCursorPos(&p);
    return p;
}

RECT ScreenRect(TControl& control) {
    const POINT origin = control.ClientToScreen(POINT{0, 0});
    return RECT{origin.x, origin.y, origin.x + control.Width(), origin.y + control.Height()};
}

// Inverts a frame of Thickness pixels on the screen with a half-tone brush, as window drags do.
void InvertFrame(const RECT& r, int thickness) {
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    TWindowDC dc = TWindowDC::WithOptions(nullptr, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    TGdiObject<HBITMAP> bits(CreateBitmap(8, 8, 1, 1, pattern));
    TGdiObject<HBRUSH> brush(CreatePatternBrush(bits));
    TSelectObject selected(dc, brush);
    const int w = r.right - r.left, h = r.bottom - r.top;
    PatBlt(dc, r.left, r.top, w, thickness, PATINVERT);
    PatBlt(dc, r.left, r.bottom - thickness, w, thickness, PATINVERT);
    PatBlt(dc, r.left, r.top + thickness, thickness, h - 2 * thickness, PATINVERT);
    PatBlt(dc, r.right - thickness, r.top + thickness, thickness, h - 2 * thickness, PATINVERT);
}

void CollectToolbars(TComponent* root, std::vector<TToolbar*>& toolbars) {
    for (int i = 0; i < root->ComponentCount(); ++i) {
        TComponent* child = root->Components(i);
        if (auto* toolbar = dynamic_cast<TToolbar*>(child)) toolbars.push_back(toolbar);
        CollectToolbars(child, toolbars);
    }
}

}  // namespace

// =====================================================================================
// TDock
// =====================================================================================

const TClassInfo& TDock::StaticClass() {
    static const TClassInfo info{"TDock", &TCustomControl::StaticClass(), {}, {}};
    return info;
}

TDock::TDock(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ = {csAcceptsControls, csCaptureMouse, csOpaque};
    SetColor(clBtnFace);
    SetBounds(0, 0, 100, 0);
    SetAlign(alTop);
    AllDocks().push_back(this);
}

TDock::~TDock() {
    auto& docks = AllDocks();
    docks.erase(std::remove(docks.begin(), docks.end(), this), docks.end());
}

void TDock::SetPosition(TDockPosition position) {
    position_ = position;
    static const TAlign aligns[] = {alTop, alBottom, alLeft, alRight};
    SetAlign(aligns[position]);
    for (TToolbar* toolbar : Toolbars()) toolbar->ArrangeControls();
    LayoutToolbars();
}

std::vector<TToolbar*> TDock::Toolbars() const {
    std::vector<TToolbar*> toolbars;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* toolbar = dynamic_cast<TToolbar*>(Controls(i))) toolbars.push_back(toolbar);
    return toolbars;
}

void TDock::LayoutToolbars(TToolbar* leaving) {
    if (laying_) return;
    laying_ = true;
    std::vector<TToolbar*> toolbars;
    std::vector<TDockItem> items;
    for (TToolbar* toolbar : Toolbars()) {
        if (!toolbar->Visible() || toolbar == leaving) continue;
        const SIZE size = toolbar->NaturalSize(Vertical(), false);
        toolbars.push_back(toolbar);
        items.push_back({toolbar->DockRow(), toolbar->DockPos(), size.cx, size.cy});
    }
    const int length = Vertical() ? Height() : Width();
    const TDockLayout layout = LayoutDock(items, length);
    for (size_t i = 0; i < toolbars.size(); ++i) {
        const TDockSlot& slot = layout.Slots[i];
        toolbars[i]->SetDockRow(slot.Row);
        if (Vertical()) toolbars[i]->SetBounds(slot.RowStart, slot.Position, items[i].Thickness, items[i].Length);
        else toolbars[i]->SetBounds(slot.Position, slot.RowStart, items[i].Length, items[i].Thickness);
    }
    rowThickness_ = layout.RowThickness;
    if (Vertical()) SetWidth(layout.Thickness);
    else SetHeight(layout.Thickness);
    laying_ = false;
}

void TDock::BoundsChanged() {
    TCustomControl::BoundsChanged();
    LayoutToolbars();
}

RECT TDock::DropArea() {
    RECT area = ScreenRect(*this);
    const bool empty = rowThickness_.empty();
    switch (position_) {
    case dpTop:
        area.bottom = empty ? area.top + EmptyDockBand : area.bottom + DropMargin;
        area.top -= DropMargin;
        break;
    case dpBottom:
        area.top = empty ? area.bottom - EmptyDockBand : area.top - DropMargin;
        area.bottom += DropMargin;
        break;
    case dpLeft:
        area.right = empty ? area.left + EmptyDockBand : area.right + DropMargin;
        area.left -= DropMargin;
        break;
    case dpRight:
        area.left = empty ? area.right - EmptyDockBand : area.left - DropMargin;
        area.right += DropMargin;
        break;
    }
    return area;
}

std::vector<TDock*> TDock::DocksOf(TForm* form) {
    std::vector<TDock*> docks;
    if (!form) return docks;
    for (TDock* dock : AllDocks())
        if (dock->ParentForm() == form) docks.push_back(dock);
    return docks;
}

TDock* TDock::FindDock(TForm* form, const std::string& name) {
    if (name.empty()) return nullptr;
    for (TDock* dock : DocksOf(form))
        if (CompareText(dock->Name(), name) == 0) return dock;
    return nullptr;
}

void TDock::WndProc(TMessage& msg) {
    if (msg.Msg == CM_CONTROLLISTCHANGE) {
        TCustomControl::WndProc(msg);
        // A toolbar that leaves is still a child while this is told.
        LayoutToolbars(msg.LParam ? nullptr : dynamic_cast<TToolbar*>(reinterpret_cast<TControl*>(msg.WParam)));
        return;
    }
    TCustomControl::WndProc(msg);
}

void TDock::Paint() {
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(ClientRect());
}

// =====================================================================================
// TToolbarSeparator
// =====================================================================================

const TClassInfo& TToolbarSeparator::StaticClass() {
    static const TClassInfo info{"TToolbarSeparator", &TGraphicControl::StaticClass(), {}, {}};
    return info;
}

TToolbarSeparator::TToolbarSeparator(TComponent* owner) : TGraphicControl(owner) {
    controlStyle_ = {};
    SetBounds(0, 0, SeparatorSize, 22);
}

void TToolbarSeparator::Paint() {
    RECT r = ClientRect();
    // An etched line across the bar: shadow, then highlight.
    if (Width() <= Height()) {
        const int x = Width() / 2 - 1;
        r = RECT{x, 1, x + 2, Height() - 1};
        DrawEdge(Canvas().Handle(), &r, EDGE_ETCHED, BF_LEFT);
    } else {
        const int y = Height() / 2 - 1;
        r = RECT{1, y, Width() - 1, y + 2};
        DrawEdge(Canvas().Handle(), &r, EDGE_ETCHED, BF_TOP);
    }
}

// =====================================================================================
// TToolbar and its drag
// =====================================================================================

// Where a dragged toolbar would go.
struct TDropTarget {
    TDock* Dock = nullptr;  // null: floating
    TDockDrop Drop;
    int Offset = 0;
    RECT Frame{};           // the outline shown on the screen
};

// A running drag: the toolbar holds the mouse; the outline follows it.
class TToolbar::TDrag {
public:
    TDrag(TToolbar& toolbar, POINT start) : toolbar_(toolbar), start_(start) {
        const POINT origin = toolbar.ClientToScreen(POINT{0, 0});
        grab_ = POINT{start.x - origin.x, start.y - origin.y};
        escape_ = new TTimer(nullptr);
        escape_->SetInterval(50);
        escape_->OnTimer = [this](TTimer&) { Poll(); };
    }
    ~TDrag() {
        Hide();
        delete escape_;
    }
    void Move(POINT p) {
        if (!moved_ && std::abs(p.x - start_.x) < GetSystemMetrics(SM_CXDRAG) &&
            std::abs(p.y - start_.y) < GetSystemMetrics(SM_CYDRAG))
            return;
        moved_ = true;
        last_ = p;
        Hide();
        target_ = TargetAt(p);
        InvertFrame(target_.Frame, target_.Dock ? 1 : 3);
        shown_ = true;
    }
    bool Moved() const { return moved_; }
    const TDropTarget& Target() const { return target_; }
    POINT FloatPoint() const { return POINT{last_.x - grab_.x, last_.y - grab_.y}; }
    void Hide() {
        if (shown_) InvertFrame(target_.Frame, target_.Dock ? 1 : 3);
        shown_ = false;
    }

private:
    // The toolbar has no focus to hear Escape: the key is looked at now and then. The drag
    // ends by a posted message, as ending it here would free this timer while it runs.
    void Poll() {
        if ((GetAsyncKeyState(VK_ESCAPE) & 0x8000) && toolbar_.HandleAllocated())
            PostMessageW(toolbar_.Handle(), WM_CANCELMODE, 0, 0);
    }

    TDropTarget TargetAt(POINT p) {
        TDropTarget target;
        for (TDock* dock : TDock::DocksOf(toolbar_.HomeForm())) {
            if (!dock->Visible() || !dock->Parent() || !dock->Parent()->Showing()) continue;
            RECT area = dock->DropArea();
            if (!PtInRect(&area, p)) continue;
            const bool vertical = dock->Vertical();
            const SIZE size = toolbar_.NaturalSize(vertical, false);
            const POINT origin = dock->ClientToScreen(POINT{0, 0});
            const int cross = vertical ? p.x - origin.x : p.y - origin.y;
            const int grab = std::clamp<int>(vertical ? grab_.y : grab_.x, 0, std::max<int>(size.cx - 1, 0));
            const int along = (vertical ? p.y - origin.y : p.x - origin.x) - grab;
            target.Dock = dock;
            target.Drop = DockDropRow(dock->RowThickness(), cross);
            target.Offset = std::max(along, 0);
            int rowStart = 0;
            for (int row = 0; row < target.Drop.Row && row < static_cast<int>(dock->RowThickness().size()); ++row)
                rowStart += dock->RowThickness()[row];
            if (vertical)
                target.Frame = RECT{origin.x + rowStart, origin.y + target.Offset, origin.x + rowStart + size.cy,
                                    origin.y + target.Offset + size.cx};
            else
                target.Frame = RECT{origin.x + target.Offset, origin.y + rowStart, origin.x + target.Offset + size.cx,
                                    origin.y + rowStart + size.cy};
            return target;
        }
        const SIZE size = toolbar_.NaturalSize(false, true);
        const POINT at = POINT{p.x - grab_.x, p.y - grab_.y};
        target.Frame = RECT{at.x - 3, at.y - GetSystemMetrics(SM_CYSMCAPTION) - 3, at.x + size.cx + 3, at.y + size.cy + 3};
        return target;
    }

    TToolbar& toolbar_;
    POINT start_;
    POINT grab_{};
    POINT last_{};
    bool moved_ = false;
    bool shown_ = false;
    TDropTarget target_;
    TTimer* escape_ = nullptr;
};

const TClassInfo& TToolbar::StaticClass() {
    static const TClassInfo info{"TToolbar", &TCustomControl::StaticClass(), {}, {}};
    return info;
}

TToolbar::TToolbar(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ = {csAcceptsControls, csCaptureMouse, csOpaque, csSetCaption};
    SetColor(clBtnFace);
    SetBounds(0, 0, 100, 26);
}

TToolbar::~TToolbar() {
    drag_.reset();
    if (window_) {
        SetParent(nullptr);
        window_.reset();
    }
    SetLastDock(nullptr);
    if (homeForm_) homeForm_->RemoveFreeNotification(this);
}

void TToolbar::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == lastDock_) lastDock_ = nullptr;
    if (component == homeForm_) homeForm_ = nullptr;
}

void TToolbar::SetLastDock(TDock* dock) {
    if (dock == lastDock_) return;
    if (lastDock_) lastDock_->RemoveFreeNotification(this);
    lastDock_ = dock;
    if (dock) dock->FreeNotification(this);
}

TForm* TToolbar::HomeForm() {
    if (!homeForm_) {
        TDock* dock = Dock() ? Dock() : lastDock_;
        homeForm_ = dock ? dock->ParentForm() : ParentForm();
        if (homeForm_) homeForm_->FreeNotification(this);
    }
    return homeForm_;
}

bool TToolbar::Vertical() const { return !floating_ && Dock() && Dock()->Vertical(); }

void TToolbar::SetCloseButton(bool closeButton) {
    if (closeButton == closeButton_) return;
    closeButton_ = closeButton;
    if (window_ && window_->HandleAllocated()) window_->RecreateWnd();
}

SIZE TToolbar::NaturalSize(bool vertical, bool floating) {
    int along = 0, across = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* control = Controls(i);
        if (!control->Visible()) continue;
        if (dynamic_cast<TToolbarSeparator*>(control)) {
            along += SeparatorSize;
            continue;
        }
        along += vertical ? control->Height() : control->Width();
        across = std::max(across, vertical ? control->Width() : control->Height());
    }
    if (across == 0) across = 22;
    along += 2 * ToolbarBorder + (floating ? 0 : GripperSize);
    across += 2 * ToolbarBorder;
    return SIZE{along, across};
}

void TToolbar::ArrangeControls() {
    if (arranging_) return;
    arranging_ = true;
    const bool vertical = Vertical();
    const int inner = (vertical ? Width() : Height()) - 2 * ToolbarBorder;
    int position = ToolbarBorder + (floating_ ? 0 : GripperSize);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* control = Controls(i);
        if (!control->Visible()) continue;
        if (dynamic_cast<TToolbarSeparator*>(control)) {
            if (vertical) control->SetBounds(ToolbarBorder, position, inner, SeparatorSize);
            else control->SetBounds(position, ToolbarBorder, SeparatorSize, inner);
            position += SeparatorSize;
            continue;
        }
        const int w = control->Width(), h = control->Height();
        if (vertical) {
            control->SetBounds(ToolbarBorder + (inner - w) / 2, position, w, h);
            position += h;
        } else {
            control->SetBounds(position, ToolbarBorder + (inner - h) / 2, w, h);
            position += w;
        }
    }
    arranging_ = false;
}

void TToolbar::AlignControls(TControl*, RECT&) {
    ArrangeControls();
    SizeChanged();
}

void TToolbar::SizeChanged() {
    if (arranging_) return;
    if (floating_) {
        if (window_) window_->FitToolbar();
        return;
    }
    const SIZE size = NaturalSize(Vertical(), false);
    const int width = Vertical() ? size.cy : size.cx, height = Vertical() ? size.cx : size.cy;
    if (Dock() && (width != Width() || height != Height())) Dock()->LayoutToolbars();
}

void TToolbar::DockTo(TDock* dock, int row, int offset, bool newRow) {
    if (!dock) throw Exception(sid::ToolbarDockError);
    TDock* previous = Dock();
    HomeForm();
    if (newRow)
        for (TToolbar* other : dock->Toolbars())
            if (other != this && other->DockRow() >= row) other->SetDockRow(other->DockRow() + 1);
    dockRow_ = std::max(row, 0);
    dockPos_ = std::max(offset, 0);
    floating_ = false;
    SetLastDock(dock);
    if (Parent() != dock) SetParent(dock);
    if (window_) window_->Hide();
    ArrangeControls();
    dock->LayoutToolbars();
    if (previous && previous != dock) previous->LayoutToolbars();
    Invalidate();
}

void TToolbar::FloatAt(POINT screen) {
    TDock* previous = Dock();
    if (previous) SetLastDock(previous);
    TForm* home = HomeForm();
    if (!window_) window_ = std::make_unique<TFloatingToolWindow>(*this, home);
    // Keep the window on the work area, its caption reachable.
    const RECT work = Screen ? Screen->WorkArea() : RECT{0, 0, 800, 600};
    const SIZE size = NaturalSize(false, true);
    screen.x = std::clamp<LONG>(screen.x, work.left, std::max<LONG>(work.left, work.right - size.cx));
    screen.y = std::clamp<LONG>(screen.y, work.top + GetSystemMetrics(SM_CYSMCAPTION),
                                std::max<LONG>(work.top, work.bottom - size.cy));
    floatPos_ = screen;
    floating_ = true;
    if (Parent() != window_.get()) SetParent(window_.get());
    SetBounds(0, 0, size.cx, size.cy);
    ArrangeControls();
    window_->FitToolbar();
    if (Visible()) window_->ShowInactive();
    if (previous) previous->LayoutToolbars();
    Invalidate();
}

void TToolbar::SetVisible(bool visible) {
    if (visible == Visible()) return;
    TCustomControl::SetVisible(visible);
    if (floating_ && window_) {
        if (visible) window_->ShowInactive();
        else window_->Hide();
    }
    if (Dock()) Dock()->LayoutToolbars();
    if (OnVisibleChanged) OnVisibleChanged(*this);
}

TToolbarPlacement TToolbar::Placement() const {
    TToolbarPlacement placement;
    TDock* dock = Dock() ? Dock() : lastDock_;
    placement.Dock = dock ? dock->Name() : std::string();
    placement.Floating = floating_;
    placement.Row = dockRow_;
    placement.Offset = dockPos_;
    placement.FloatLeft = floatPos_.x;
    placement.FloatTop = floatPos_.y;
    placement.Visible = Visible();
    return placement;
}

void TToolbar::Paint() {
    TCanvas& canvas = Canvas();
    RECT r = ClientRect();
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
    if (floating_) return;
    HDC dc = canvas.Handle();
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    // The gripper: two raised bars across the bar at its start.
    for (int i = 0; i < 2; ++i) {
        RECT bar;
        if (Vertical()) bar = RECT{3, 3 + i * 3, Width() - 3, 6 + i * 3};
        else bar = RECT{3 + i * 3, 3, 6 + i * 3, Height() - 3};
        DrawEdge(dc, &bar, BDR_RAISEDINNER, BF_RECT);
    }
}

void TToolbar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && !(shift.Has(ssDouble))) BeginDrag(ClientToScreen(POINT{x, y}));
}

void TToolbar::BeginDrag(POINT screen) {
    if (drag_ || !HomeForm()) return;
    drag_ = std::make_unique<TDrag>(*this, screen);
    SetCapture(Handle());
}

void TToolbar::EndDrag(bool apply) {
    if (!drag_) return;
    std::unique_ptr<TDrag> drag = std::move(drag_);
    drag->Hide();
    if (GetCapture() == Handle()) ReleaseCapture();
    if (!apply || !drag->Moved()) return;
    const TDropTarget target = drag->Target();
    if (target.Dock) DockTo(target.Dock, target.Drop.Row, target.Offset, target.Drop.NewRow);
    else FloatAt(drag->FloatPoint());
    if (OnMoved) OnMoved(*this);
}

void TToolbar::WndProc(TMessage& msg) {
    if (drag_ && DragMessage(msg)) return;
    if (msg.Msg == CM_TEXTCHANGED && window_) window_->SetCaption(Caption());
    TCustomControl::WndProc(msg);
}

// The mouse while the toolbar is dragged; true when the message belonged to the drag.
bool TToolbar::DragMessage(TMessage& msg) {
    switch (msg.Msg) {
    case WM_MOUSEMOVE: drag_->Move(CursorPos()); return true;
    case WM_LBUTTONUP:
        drag_->Move(CursorPos());
        EndDrag(true);
        return true;
    case WM_RBUTTONDOWN:
    case WM_CANCELMODE: EndDrag(false); return true;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(msg.LParam) != Handle()) EndDrag(false);
        return true;
    default: return false;
    }
}

// =====================================================================================
// TFloatingToolWindow
// =====================================================================================

const TClassInfo& TFloatingToolWindow::StaticClass() {
    static const TClassInfo info{"TFloatingToolWindow", &TForm::StaticClass(), {}, {}};
    return info;
}

TFloatingToolWindow::TFloatingToolWindow(TToolbar& toolbar, TForm* home)
    : TForm(nullptr), toolbar_(toolbar), home_(home) {
    SetBorderStyle(bsToolWindow);
    SetBorderIcons(toolbar.CloseButton() ? TBorderIcons{biSystemMenu} : TBorderIcons{});
    SetCaption(toolbar.Caption());
    SetColor(clBtnFace);
}

void TFloatingToolWindow::CreateParams(TCreateParams& params) {
    SetBorderIcons(toolbar_.CloseButton() ? TBorderIcons{biSystemMenu} : TBorderIcons{});
    TForm::CreateParams(params);
    // It belongs to the toolbar's form: above it, without a task bar button of its own.
    if (home_ && home_->HandleAllocated()) params.WndParent = home_->Handle();
    params.ExStyle &= ~WS_EX_APPWINDOW;
}

// The width the caption needs: its text in the small caption font, the close box and a margin.
int CaptionWidth(const std::string& caption, bool closeBox) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return 0;
    TGdiObject<HFONT> font(CreateFontIndirectW(&metrics.lfSmCaptionFont));
    TWindowDC dc;
    TSelectObject selected(dc, font);
    SIZE text{0, 0};
    const std::wstring wide = WideText(caption);
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &text);
    return text.cx + 10 + (closeBox ? GetSystemMetrics(SM_CXSMSIZE) + 2 : 0);
}

void TFloatingToolWindow::FitToolbar() {
    const SIZE size = toolbar_.NaturalSize(false, true);
    toolbar_.SetBounds(0, 0, size.cx, size.cy);
    TCreateParams params;
    CreateParams(params);
    const POINT at = toolbar_.FloatPos();
    // Wide enough for the caption, as far as the screen allows.
    const int width = std::min<int>(std::max<int>(size.cx, CaptionWidth(toolbar_.Caption(), toolbar_.CloseButton())),
                                    std::max<int>(size.cx, 320));
    RECT r{at.x, at.y, at.x + width, at.y + size.cy};
    AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
    SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TFloatingToolWindow::ShowInactive() {
    HandleNeeded();
    TControl::SetVisible(true);
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    SendMessageW(Handle(), WM_NCACTIVATE, TRUE, 0);
}

void TFloatingToolWindow::DoClose(TCloseAction& action) {
    TForm::DoClose(action);
    action = caHide;
    toolbar_.SetVisible(false);
}

void TFloatingToolWindow::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_MOUSEACTIVATE:
        // A floating toolbar does not take the activation from its form.
        msg.Result = MA_NOACTIVATE;
        return;
    case WM_NCACTIVATE:
        // Its caption always looks active, as its form's part.
        msg.WParam = TRUE;
        DefaultHandler(msg);
        return;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(msg); return;
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(msg); return;
    default: TForm::WndProc(msg);
    }
}

void TFloatingToolWindow::WMNCLButtonDown(TMessage& msg) {
    // The caption drags the toolbar, which may dock, instead of only moving the window.
    if (msg.WParam != HTCAPTION) {
        TForm::WndProc(msg);
        return;
    }
    toolbar_.BeginDrag(POINT{MouseX(msg), MouseY(msg)});
}

void TFloatingToolWindow::WMNCLButtonDblClk(TMessage& msg) {
    if (msg.WParam != HTCAPTION || !toolbar_.LastDock()) {
        TForm::WndProc(msg);
        return;
    }
    toolbar_.DockTo(toolbar_.LastDock(), toolbar_.DockRow(), toolbar_.DockPos());
    if (toolbar_.OnMoved) toolbar_.OnMoved(toolbar_);
}

// =====================================================================================
// Positions
// =====================================================================================

void SaveToolbarPositions(TComponent* window, const TToolbarPositionStore& store) {
    std::vector<TToolbar*> toolbars;
    CollectToolbars(window, toolbars);
    for (TToolbar* toolbar : toolbars) SaveToolbarPlacement(store, toolbar->Name(), toolbar->Placement());
}

void LoadToolbarPositions(TComponent* window, const TToolbarPositionStore& store) {
    std::vector<TToolbar*> toolbars;
    CollectToolbars(window, toolbars);
    std::optional<Exception> failure;
    std::vector<TDock*> touched;
    for (TToolbar* toolbar : toolbars) {
        try {
            const TToolbarPlacement placement = LoadToolbarPlacement(store, toolbar->Name(), toolbar->Placement());
            TDock* dock = TDock::FindDock(toolbar->HomeForm(), placement.Dock);
            if (!dock) throw Exception(sid::ToolbarDockError);
            toolbar->SetDockRow(placement.Row);
            toolbar->SetDockPos(placement.Offset);
            if (placement.Floating) {
                toolbar->SetLastDock(dock);
                toolbar->FloatAt(POINT{placement.FloatLeft, placement.FloatTop});
            } else if (toolbar->Dock() != dock || toolbar->Floating()) {
                toolbar->DockTo(dock, placement.Row, placement.Offset);
            }
            touched.push_back(dock);
            toolbar->SetVisible(placement.Visible);
        } catch (const Exception& error) {
            if (!failure) failure = error;
        }
    }
    for (TDock* dock : touched) dock->LayoutToolbars();
    if (failure) throw *failure;
}
