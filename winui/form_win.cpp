#include "winui/form_win.h"

#include <algorithm>
#include <cctype>

#include "base/exception.h"
#include "base/string_ids.h"
#include "winui/application_win.h"
#include "winui/form_texts_win.h"
#include "winui/menu_win.h"
#include "winui/text_win.h"

namespace {

struct TDisabledWindows {
    HWND except;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableThreadWindow(HWND window, LPARAM data) {
    auto* list = reinterpret_cast<TDisabledWindows*>(data);
    if (window != list->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
        // Disabled only once it is on the list that enables it again.
        GuardedCall([&] {
            list->windows.push_back(window);
            EnableWindow(window, FALSE);
        });
    }
    return TRUE;
}

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    TControl::SetVisible(false);
    UpdateBoundsFromWindow(100, 100, 320, 240);
    SetColor(clBtnFace);
    SetParentFont(false);
    SetParentColor(false);
    if (Screen) Screen->AddForm(this);
}

TForm::~TForm() {
    if (!destroyFired_) {
        destroyFired_ = true;
        GuardedCall([this] {
            if (OnDestroy) OnDestroy(*this);
        });
    }
    canvas_.reset();
    DestroyHandle();
    if (Screen) Screen->RemoveForm(this);
    if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

const TClassInfo& TForm::StaticClass() {
    static const TClassInfo info{"TForm", &TWinControl::StaticClass(), {}, {}};
    return info;
}

void TForm::AfterConstruction() {
    if (created_) return;
    created_ = true;
    LoadTexts();
    if (OnCreate) OnCreate(*this);
}

bool TForm::LoadTexts() { return LoadFormTexts(*this, TextTableName()); }

std::string TForm::TextTableName() const {
    std::string name = ClassName();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

TCanvas& TForm::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TWindowCanvas>(Handle());
    return *canvas_;
}

// --- creation ---

void TForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassStyle = CS_DBLCLKS;
    bool child = Parent() || ParentWindow() || inplaced_;
    DWORD style = WS_CLIPCHILDREN, exStyle = 0;
    bool caption = true;
    switch (borderStyle_) {
    case bsNone:
        caption = false;
        if (!child) style |= WS_POPUP;
        break;
    case bsSingle: style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        style |= WS_POPUP | WS_CAPTION;
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        style |= WS_CAPTION;
        exStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        style |= WS_CAPTION | WS_THICKFRAME;
        exStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (caption && borderIcons_.Has(biSystemMenu)) {
        style |= WS_SYSMENU;
        bool boxes = borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin;
        if (boxes && borderIcons_.Has(biMinimize)) style |= WS_MINIMIZEBOX;
        if (boxes && borderIcons_.Has(biMaximize)) style |= WS_MAXIMIZEBOX;
        if (borderIcons_.Has(biHelp) && (borderStyle_ == bsDialog || !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))))
            exStyle |= WS_EX_CONTEXTHELP;
    }
    if (child) {
        style |= WS_CHILD | WS_CLIPSIBLINGS;
        if (Visible()) style |= WS_VISIBLE;
        if (!Enabled()) style |= WS_DISABLED;
    } else {
        if (formStyle_ == fsStayOnTop) exStyle |= WS_EX_TOPMOST;
        if (Application && Application->MainForm() == this) exStyle |= WS_EX_APPWINDOW;
        // Other windows belong to the main form (they stay above it and have no task bar
        // button of their own); the main form has no owner. (Wine keeps an owned window
        // topmost whatever SetWindowPos asks, so a stay-on-top main form must not be owned.)
        TForm* main = Application ? Application->MainForm() : nullptr;
        params.WndParent = main && main != this && main->HandleAllocated() ? main->Handle() : nullptr;
        ApplyPosition(params);
    }
    params.Style = style;
    params.ExStyle = exStyle;
}

void TForm::ApplyPosition(TCreateParams& params) {
    auto centreOn = [&](const RECT& area) {
        params.X = area.left + (area.right - area.left - params.Width) / 2;
        params.Y = area.top + (area.bottom - area.top - params.Height) / 2;
    };
    switch (position_) {
    case poDefault:
        params.X = params.Y = params.Width = params.Height = CW_USEDEFAULT;
        break;
    case poDefaultPosOnly: params.X = params.Y = CW_USEDEFAULT; break;
    case poScreenCenter:
    case poDesktopCenter: {
        RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (position_ == poScreenCenter) SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        centreOn(work);
        break;
    }
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TForm* other = position_ == poOwnerFormCenter ? dynamic_cast<TForm*>(Owner()) : nullptr;
        if (!other && Application) other = Application->MainForm();
        if (other && other != this && other->HandleAllocated()) {
            RECT r;
            GetWindowRect(other->Handle(), &r);
            centreOn(r);
        }
        break;
    }
    default: break;
    }
}

void TForm::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    if (menu_ && menu_->Items().Count() > 0) {
        ::SetMenu(Handle(), menu_->Handle());
    }
    if (menu_) menu_->SetWindow(Handle());
    if (!icon_.Empty()) SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Handle()));
}

void TForm::DestroyWnd() {
    // A menu bar attached to a window dies with it; the menu object keeps its handle.
    if (HandleAllocated()) ::SetMenu(Handle(), nullptr);
    if (menu_) menu_->SetWindow(nullptr);
    canvas_.reset();
    TWinControl::DestroyWnd();
}

// --- look ---

void TForm::SetBorderStyle(TFormBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
    if (icons == borderIcons_) return;
    borderIcons_ = icons;
    RecreateWnd();
}

void TForm::SetFormStyle(TFormStyle style) {
    if (style == fsMDIChild || style == fsMDIForm) style = fsNormal;
    if (style == formStyle_) return;
    formStyle_ = style;
    ApplyStayOnTop();
}

void TForm::ApplyStayOnTop() {
    if (!HandleAllocated() || (GetWindowLongW(Handle(), GWL_STYLE) & WS_CHILD)) return;
    SetWindowPos(Handle(), formStyle_ == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::SetPosition(TPosition position) { position_ = position; }

TWindowState TForm::WindowState() const {
    TForm* self = const_cast<TForm*>(this);
    if (self->HandleAllocated() && self->Visible()) {
        if (IsIconic(self->Handle())) return wsMinimized;
        if (IsZoomed(self->Handle())) return wsMaximized;
        return wsNormal;
    }
    return windowState_;
}

void TForm::SetWindowState(TWindowState state) {
    windowState_ = state;
    if (!HandleAllocated() || !Visible()) return;
    ShowWindow(Handle(), state == wsMinimized ? SW_MINIMIZE : state == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TForm::SetMenu(TMainMenu* menu) {
    if (menu == menu_) return;
    if (menu_) {
        menu_->RemoveFreeNotification(this);
        if (HandleAllocated()) ::SetMenu(Handle(), nullptr);
        menu_->SetWindow(nullptr);
    }
    menu_ = menu;
    if (menu_) {
        menu_->FreeNotification(this);
        if (HandleAllocated()) {
            menu_->SetWindow(Handle());
            if (menu_->Items().Count() > 0) ::SetMenu(Handle(), menu_->Handle());
        }
    }
}

void TForm::SetInplaced(bool inplaced) { inplaced_ = inplaced; }

void TForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == menu_) menu_ = nullptr;
    if (component == activeControl_) activeControl_ = nullptr;
    if (component == lastFocused_) lastFocused_ = nullptr;
}

// --- focus ---

void TForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) return;
    if (control && (!ContainsControl(control) || !control->CanFocus())) return;
    if (control && active_ && control->HandleAllocated()) {
        ::SetFocus(control->Handle());  // WM_SETFOCUS calls FocusControl
        if (activeControl_ == control) return;
    }
    TWinControl* old = activeControl_;
    activeControl_ = control;
    if (old) old->RemoveFreeNotification(this);
    if (control) control->FreeNotification(this);
}

void TForm::FocusControl(TWinControl* control) {
    if (control == activeControl_ || control == this) return;
    TWinControl* old = activeControl_;
    if (old) old->RemoveFreeNotification(this);
    activeControl_ = control;
    if (control) control->FreeNotification(this);
    if (old && !old->Destroying()) old->DoExit();
    if (control) control->DoEnter();
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
    // A form docked inside another form makes that form remember it as its active control.
    if (Parent())
        if (TForm* outer = Parent()->ParentForm()) outer->FocusControl(this);
}

bool TForm::CanFocus() {
    if (Parent()) return TWinControl::CanFocus();
    return Visible() && Enabled();
}

void TForm::SetFocus() {
    if (!CanFocus()) throw EComponentError(sid::CannotFocus);
    if (Parent() || ParentWindow()) {
        if (activeControl_ && activeControl_->CanFocus()) activeControl_->SetFocus();
        else ::SetFocus(Handle());
        return;
    }
    BringToFrontAndActivate();
}

void TForm::BringToFrontAndActivate() {
    HWND window = Handle();
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    SetActiveWindow(window);
}

// --- showing ---

void TForm::Show() {
    SetVisible(true);
    if (!Parent() && !ParentWindow()) BringToFrontAndActivate();
}

void TForm::Hide() { SetVisible(false); }

void TForm::SetVisible(bool visible) {
    bool child = Parent() || ParentWindow() || inplaced_;
    if (child) {
        if (visible != Visible()) {
            if (visible) DoShow();
            TWinControl::SetVisible(visible);
            if (!visible) DoHide();
        }
        return;
    }
    if (visible == Visible()) {
        if (visible && HandleAllocated() && !IsWindowVisible(Handle())) ShowWindow(Handle(), SW_SHOW);
        return;
    }
    if (visible) {
        TControl::SetVisible(true);
        HandleNeeded();
        DoShow();
        int show = windowState_ == wsMaximized ? SW_SHOWMAXIMIZED : windowState_ == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOW;
        ShowWindow(Handle(), show);
        ApplyStayOnTop();
    } else {
        DoHide();
        if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
        TControl::SetVisible(false);
        if (modal_ && modalResult_ == mrNone) modalResult_ = mrCancel;
    }
}

void TForm::DoShow() {
    if (OnShow) OnShow(*this);
}

void TForm::DoHide() {
    if (OnHide) OnHide(*this);
}

TModalResult TForm::ShowModal() {
    if (Visible() || !Enabled() || modal_) throw EComponentError(sid::CannotShowModal);
    if (GetCapture()) SendMessageW(GetCapture(), WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    modal_ = true;
    if (Application) Application->ModalStarted();
    HWND previous = GetActiveWindow();
    HandleNeeded();
    TDisabledWindows disabled{Handle(), {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableThreadWindow, reinterpret_cast<LPARAM>(&disabled));
    modalResult_ = mrNone;
    bool freeAfter = false;
    try {
        Show();
        freeAfter = RunModalLoop();
    } catch (...) {
        for (HWND w : disabled.windows) EnableWindow(w, TRUE);
        modal_ = false;
        if (Application) Application->ModalFinished();
        throw;
    }
    // Enable the others before hiding, so that the system activates one of them.
    for (HWND w : disabled.windows)
        if (IsWindow(w)) EnableWindow(w, TRUE);
    Hide();
    if (previous && IsWindow(previous)) SetActiveWindow(previous);
    modal_ = false;
    if (Application) Application->ModalFinished();
    TModalResult result = modalResult_;
    if (freeAfter) Release();
    return result;
}

bool TForm::RunModalLoop() {
    for (;;) {
        if (Application) {
            Application->HandleMessage();
            if (Application->Terminated() && modalResult_ == mrNone) modalResult_ = mrCancel;
        }
        if (modalResult_ == mrNone) continue;
        // A result asks the form to close: OnCloseQuery and OnClose may keep it open.
        TCloseAction action = caHide;
        if (!Application || !Application->Terminated()) {
            if (!CloseQuery()) action = caNone;
            else DoClose(action);
        }
        if (action == caNone) {
            modalResult_ = mrNone;
            continue;
        }
        return action == caFree;
    }
}

void TForm::Close() {
    if (closing_) return;
    if (modal_) {
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    closing_ = true;
    bool isMain = Application && Application->MainForm() == this;
    TCloseAction action = isMain ? caFree : caHide;
    try {
        DoClose(action);
    } catch (...) {
        closing_ = false;
        throw;
    }
    closing_ = false;
    if (action == caNone) return;
    if (isMain) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

bool TForm::CloseQuery() {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* form = dynamic_cast<TForm*>(Components(i)); form && !form->CloseQuery()) return false;
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(*this, canClose);
    return canClose;
}

void TForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(*this, action);
}

void TForm::Release() { PostMessageW(Handle(), CM_RELEASE, 0, 0); }

// --- keys ---

bool TForm::IsMenuKey(const TMessage& keyMsg) { return TWinControl::IsMenuKey(keyMsg); }

bool TForm::IsShortCut(const TMessage& keyMsg) {
    bool handled = false;
    if (OnShortCut) OnShortCut(*this, keyMsg, handled);
    if (handled) return true;
    return menu_ && menu_->IsShortCut(keyMsg);
}

void TForm::KeyDown(WORD& key, TShiftState shift) { TWinControl::KeyDown(key, shift); }

bool TForm::DialogKey(WORD key, TShiftState shift) {
    switch (key) {
    case VK_TAB:
        if (shift.Has(ssCtrl) || shift.Has(ssAlt)) return false;
        SelectNext(activeControl_, !shift.Has(ssShift), true);
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        if (!activeControl_ || !activeControl_->Parent()) return false;
        TWinControl* next = activeControl_->Parent()->FindNextControl(
            activeControl_, key == VK_RIGHT || key == VK_DOWN, false, true);
        if (next) next->SetFocus();
        return next != nullptr;
    }
    default: return false;
    }
}

// --- messages ---

void TForm::WMSetCursor(TMessage& msg) { TWinControl::WMSetCursor(msg); }

void TForm::WMActivate(TMessage& msg) {
    bool activating = LOWORD(msg.WParam) != WA_INACTIVE;
    msg.Result = 0;
    if (activating == active_) {
        if (activating) DefaultHandler(msg);
        return;
    }
    active_ = activating;
    if (activating) {
        if (Screen) Screen->SetActiveForm(this);
        Activate();
        if (HIWORD(msg.WParam)) return;  // minimized
        TWinControl* focus = activeControl_ && activeControl_->CanFocus() ? activeControl_ : nullptr;
        if (!focus) focus = FindNextControl(nullptr, true, true, false);
        if (focus && focus->CanFocus()) ::SetFocus(focus->Handle());
        else ::SetFocus(Handle());
    } else {
        Deactivate();
    }
}

void TForm::Activate() {
    Perform(CM_ACTIVATE);
    if (OnActivate) OnActivate(*this);
}

void TForm::Deactivate() {
    Perform(CM_DEACTIVATE);
    if (OnDeactivate) OnDeactivate(*this);
}

void TForm::PaintWindow(HDC dc) {
    if (!OnPaint) return;
    TCanvas& canvas = Canvas();
    canvas.SetHandle(dc);
    try {
        OnPaint(*this);
    } catch (...) {
        canvas.SetHandle(nullptr);
        throw;
    }
    canvas.SetHandle(nullptr);
}

void TForm::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_CLOSE: Close(); return;
    case WM_QUERYENDSESSION: msg.Result = CloseQuery() ? TRUE : FALSE; return;
    case WM_ACTIVATE: WMActivate(msg); return;
    case WM_NCPAINT: WMNCPaint(msg); return;
    case WM_NCACTIVATE: WMNCActivate(msg); return;
    case WM_NCHITTEST: WMNCHitTest(msg); return;
    case WM_SETCURSOR: WMSetCursor(msg); return;
    case WM_SETTEXT: WMSetText(msg); return;
    case WM_COMMAND: WMCommand(msg); return;
    case WM_INITMENUPOPUP: WMInitMenuPopup(msg); return;
    case WM_MENUSELECT: WMMenuSelect(msg); return;
    case WM_SIZE: WMSize(msg); return;
    case CM_RELEASE: delete this; return;
    case CM_DIALOGKEY: CMDialogKey(msg); return;
    case CM_ICONCHANGED: CMIconChanged(msg); return;
    default: TWinControl::WndProc(msg);
    }
}

void TForm::WMCommand(TMessage& msg) {
    // A command of the main menu; the commands of child windows go back to them.
    if (msg.LParam == 0 && menu_ && menu_->DispatchCommand(LOWORD(msg.WParam))) {
        msg.Result = 0;
        return;
    }
    TWinControl::WndProc(msg);
}

void TForm::WMInitMenuPopup(TMessage& msg) {
    if (!(menu_ && menu_->DispatchPopup(reinterpret_cast<HMENU>(msg.WParam))))
        if (TPopupMenu* popup = ActivePopupMenu()) popup->DispatchPopup(reinterpret_cast<HMENU>(msg.WParam));
    DefaultHandler(msg);
}

void TForm::WMMenuSelect(TMessage& msg) {
    if (Application && !(HIWORD(msg.WParam) & MF_POPUP)) {
        TMenuItem* item = FindMenuItemByCommand(LOWORD(msg.WParam));
        Application->SetHint(item ? GetLongHint(item->Hint()) : std::string());
    }
    DefaultHandler(msg);
}

void TForm::WMSize(TMessage& msg) {
    if (msg.WParam == SIZE_MINIMIZED) windowState_ = wsMinimized;
    else if (msg.WParam == SIZE_MAXIMIZED) windowState_ = wsMaximized;
    else if (msg.WParam == SIZE_RESTORED) windowState_ = wsNormal;
    TWinControl::WndProc(msg);
}

void TForm::CMDialogKey(TMessage& msg) {
    // The controls first (a default or cancel button), then the form's own dialog handling,
    // unless the key came from the broadcast of a parent form.
    Broadcast(msg);
    if (!msg.Result && !Broadcasting()) msg.Result = DialogKey(static_cast<WORD>(msg.WParam), KeyboardShiftState()) ? 1 : 0;
}

void TForm::CMIconChanged(TMessage&) {
    if (HandleAllocated()) SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Handle()));
}
