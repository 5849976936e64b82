#include "winui/application_win.h"

#include <algorithm>

#include "base/exception.h"
#include "base/program.h"
#include "base/string_ids.h"
#include "winui/gdi_scope_win.h"
#include "winui/drag_win.h"
#include "winui/menu_win.h"
#include "winui/text_win.h"

namespace {

constexpr UINT_PTR HintShowTimer = 1;
constexpr UINT_PTR HintHideTimer = 2;
constexpr int ExternalExceptionId = 65510;  // "Externe Exception %x"

const wchar_t* const ApplicationClass = L"TApplication";
const wchar_t* const HintClass = L"VarnoletHintWindow";

// The last resort when showing an error failed itself (an exception handler that threw): a
// plain message box with the message, made so that nothing in it can throw again.
void ShowLastResortMessage(const char* message) noexcept {
    try {
        ProgramMessages().push_back(message);
        std::wstring caption = WideText(Application ? Application->Title() : std::string());
        MessageBoxW(nullptr, WideText(message).c_str(), caption.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
    } catch (...) {
        MessageBoxA(nullptr, message, nullptr, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
}

void MessageBoxHandler(const std::string& message, TMessageKind kind) {
    HWND owner = nullptr;
    if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated()) owner = Screen->ActiveForm()->Handle();
    std::wstring caption = WideText(Application ? Application->Title() : std::string());
    const UINT icon = kind == mkError ? MB_ICONERROR : kind == mkWarning ? MB_ICONWARNING : MB_ICONINFORMATION;
    MessageBoxW(owner, WideText(message).c_str(), caption.c_str(), MB_OK | icon | MB_TASKMODAL);
}

}  // namespace

std::string GetShortHint(const std::string& hint) {
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

// =====================================================================================
// The hint window: a borderless topmost popup with the short hint in the info colours.
// =====================================================================================

class THintWindow {
public:
    ~THintWindow() {
        if (window_) DestroyWindow(window_);
    }
    void Show(POINT pos, const std::string& text, TColor color, int maxWidth) {
        Create();
        text_ = text;
        color_ = color;
        RECT r{0, 0, maxWidth, 0};
        {
            TWindowDC dc(window_);
            TSelectObject font(dc, Screen->HintFont().Handle());
            std::wstring wide = WideText(text);
            DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
                      DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        }
        int w = r.right + 8, h = r.bottom + 4;
        // Keep the hint on the screen.
        int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
        if (pos.x + w > sw) pos.x = std::max<LONG>(0, sw - w);
        if (pos.y + h > sh) pos.y = std::max<LONG>(0, pos.y - h - 24);
        SetWindowPos(window_, HWND_TOPMOST, pos.x, pos.y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
    }
    void Hide() {
        if (window_ && IsWindowVisible(window_)) ShowWindow(window_, SW_HIDE);
    }
    bool Visible() const { return window_ && IsWindowVisible(window_); }
    const std::string& Text() const { return text_; }

private:
    void Create() {
        if (window_) return;
        static bool registered = false;
        if (!registered) {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof(wc);
            wc.style = CS_SAVEBITS;
            wc.lpfnWndProc = WndProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            wc.lpszClassName = HintClass;
            RegisterClassExW(&wc);
            registered = true;
        }
        window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, HintClass, L"", WS_POPUP | WS_BORDER, 0, 0, 0, 0,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<THintWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && msg == WM_PAINT) {
            GuardedCall([self] { self->WMPaint(); });
            return 0;
        }
        if (msg == WM_NCHITTEST) return HTTRANSPARENT;
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    void WMPaint() {
        TPaintDC dc(window_);
        RECT r;
        GetClientRect(window_, &r);
        TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color_)));
        FillRect(dc, &r, brush);
        TSelectObject font(dc, Screen->HintFont().Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(clInfoText));
        InflateRect(&r, -3, -1);
        std::wstring wide = WideText(text_);
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    }

    HWND window_ = nullptr;
    std::string text_;
    TColor color_ = clInfoBk;
};

// =====================================================================================
// TApplication
// =====================================================================================

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {
// Made before main runs (the screen first, the application second) and freed at exit in the
// reverse order.
struct TGlobalObjects {
    TGlobalObjects() {
        Screen = new TScreen();
        Application = new TApplication();
    }
    ~TGlobalObjects() {
        delete Application;
        Application = nullptr;
        delete Screen;
        Screen = nullptr;
    }
} globalObjects;
}  // namespace

void ApplicationControlDestroyed(TControl* control) {
    if (!Application) return;
    if (Application->HintControl() == control) Application->CancelHint();
}

TApplication::TApplication() : TComponent(nullptr) {
    auto previous = SetProgramMessageHandler(nullptr);
    SetProgramMessageHandler(previous ? previous : MessageBoxHandler);
}

TApplication::~TApplication() {
    shuttingDown_ = true;
    delete hintWindow_;
    hintWindow_ = nullptr;
    // The forms go first, while the application window still exists.
    while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
    if (handle_) {
        HWND window = handle_;
        handle_ = nullptr;
        DestroyWindow(window);
    }
}

const TClassInfo& TApplication::StaticClass() {
    static const TClassInfo info{"TApplication", &TComponent::StaticClass(), {}, {}};
    return info;
}

HWND TApplication::Handle() {
    if (handle_) return handle_;
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = ApplicationClass;
        if (!RegisterClassExW(&wc)) throw EComponentError(sid::WindowClassError, {std::string("TApplication")});
        registered = true;
    }
    handle_ = CreateWindowExW(0, ApplicationClass, WideText(title_).c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!handle_) throw EComponentError(sid::WindowCreateError);
    SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return handle_;
}

LRESULT CALLBACK TApplication::StaticWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->handle_ != window) return DefWindowProcW(window, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    try {
        self->WndProc(m);
    } catch (...) {
        self->HandleException();
    }
    return m.Result;
}

void TApplication::WndProc(TMessage& msg) {
    // The hooks may remove themselves while they run: walk a copy.
    auto hooks = hooks_;
    for (auto& [ticket, hook] : hooks)
        if (hook(msg)) return;
    switch (msg.Msg) {
    case WM_CLOSE:
        if (mainForm_) mainForm_->Close();
        return;
    case WM_ACTIVATEAPP: WMActivateApp(msg); return;
    case WM_TIMER: WMTimer(msg); return;
    case WM_INITMENUPOPUP: WMInitMenuPopup(msg); return;
    case WM_MENUSELECT: WMMenuSelect(msg); return;
    case WM_ENDSESSION:
        if (msg.WParam) Terminate();
        return;
    case UM_SHORTCUT: msg.Result = 0; return;
    default: DefaultHandler(msg);
    }
}

void TApplication::DefaultHandler(TMessage& msg) {
    msg.Result = DefWindowProcW(handle_, msg.Msg, msg.WParam, msg.LParam);
}

void TApplication::WMActivateApp(TMessage& msg) {
    active_ = msg.WParam != 0;
    if (active_ && OnActivate) OnActivate(*this);
    if (!active_) {
        CancelHint();
        if (OnDeactivate) OnDeactivate(*this);
    }
    DefaultHandler(msg);
}

void TApplication::WMTimer(TMessage& msg) {
    switch (msg.WParam) {
    case HintShowTimer: {
        KillTimer(handle_, HintShowTimer);
        POINT p;
        GetCursorPos(&p);
        ActivateHint(p);
        return;
    }
    case HintHideTimer:
        KillTimer(handle_, HintHideTimer);
        HideHint();
        return;
    default: DefaultHandler(msg);
    }
}

void TApplication::WMInitMenuPopup(TMessage& msg) {
    if (TPopupMenu* popup = ActivePopupMenu()) popup->DispatchPopup(reinterpret_cast<HMENU>(msg.WParam));
    DefaultHandler(msg);
}

void TApplication::WMMenuSelect(TMessage& msg) {
    if (!(HIWORD(msg.WParam) & MF_POPUP)) {
        TMenuItem* item = FindMenuItemByCommand(LOWORD(msg.WParam));
        SetHint(item ? GetLongHint(item->Hint()) : std::string());
    }
    DefaultHandler(msg);
}

int TApplication::HookMainWindow(TWindowHook hook) {
    int ticket = nextHookTicket_++;
    hooks_.emplace_back(ticket, std::move(hook));
    return ticket;
}

void TApplication::UnhookMainWindow(int ticket) {
    hooks_.erase(std::remove_if(hooks_.begin(), hooks_.end(), [ticket](const auto& h) { return h.first == ticket; }),
                 hooks_.end());
}

void TApplication::SetMainForm(TForm* form) { mainForm_ = form; }

void TApplication::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == mainForm_) mainForm_ = nullptr;
}

std::vector<TForm*> TApplication::Forms() const {
    std::vector<TForm*> forms;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* f = dynamic_cast<TForm*>(Components(i))) forms.push_back(f);
    return forms;
}

// --- message loop ---

void TApplication::Run() {
    if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();
    while (!terminated_) HandleMessage();
    shuttingDown_ = true;
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    if (DragFilterMessage(msg)) return true;
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
        HWND w = msg.hwnd;
        TWinControl* control = nullptr;
        while (w && !(control = TWinControl::FindControl(w))) w = GetParent(w);
        TMessage m{msg.message, msg.wParam, msg.lParam, 0};
        if (control && w != msg.hwnd) {
            // A child window of a control (the edit of a combo box): client coordinates of the control.
            POINT p{MouseX(m), MouseY(m)};
            MapWindowPoints(msg.hwnd, w, &p, 1);
            m.LParam = PointToLParam(p.x, p.y);
        }
        HintMouseMessage(control, m);
    } else if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || msg.message == WM_NCLBUTTONDOWN) {
        CancelHint();
    }
    if (!IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    FreeControlCanvases();
    return true;
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) Idle();
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
        if (terminated_) break;
    }
}

void TApplication::Idle() {
    DoMouseIdle();
    FreeControlCanvases();
    bool done = true;
    if (OnIdle) {
        try {
            OnIdle(done);
        } catch (...) {
            HandleException();
        }
    }
    if (done) WaitMessage();
}

void TApplication::DoMouseIdle() {
    if (!hintControl_) return;
    POINT p;
    GetCursorPos(&p);
    HWND w = WindowFromPoint(p);
    TWinControl* control = nullptr;
    while (w && !(control = TWinControl::FindControl(w))) w = GetParent(w);
    if (!control) {
        CancelHint();
        SetHint(std::string());
    }
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::IsKeyMsg(MSG& msg) {
    UINT m = msg.message;
    if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN && m != WM_CHAR && m != WM_SYSCHAR) return false;
    HWND w = msg.hwnd;
    TWinControl* control = nullptr;
    while (w && !(control = TWinControl::FindControl(w))) w = GetParent(w);
    if (!control) return false;
    LRESULT handled = 0;
    try {
        handled = control->Perform(CN_BASE + m, msg.wParam, msg.lParam);
    } catch (...) {
        HandleException();
        return true;
    }
    return handled != 0;
}

bool TApplication::IsShortCut(const TMessage& keyMsg) {
    bool handled = false;
    if (OnShortCut) OnShortCut(keyMsg, handled);
    if (handled) return true;
    TShiftState shift = KeyDataToShiftState(keyMsg.LParam);
    return SendMessageW(Handle(), UM_SHORTCUT, keyMsg.WParam, static_cast<LPARAM>(shift.Bits())) != 0;
}

// --- errors ---

void TApplication::ShowException(const std::exception& error) noexcept {
    if (dynamic_cast<const EAbort*>(&error)) return;
    try {
        if (OnException) OnException(error);
        else ShowProgramMessage(error.what(), mkError);
    } catch (...) {
        // The display of the error failed (the program's handler threw): the user still learns
        // of the first error, and the program goes on.
        ShowLastResortMessage(error.what());
    }
}

void TApplication::HandleException() noexcept {
    try {
        throw;
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowForeignException();
    }
}

// An exception that is no std::exception: "Externe Exception 0".
void TApplication::ShowForeignException() noexcept {
    try {
        ShowException(Exception(ExternalExceptionId, {0}));
    } catch (const std::exception& e) {
        ShowLastResortMessage(e.what());
    }
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    HWND owner = Handle();
    if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated()) owner = Screen->ActiveForm()->Handle();
    NormalizeTopMosts();
    int result = MessageBoxW(owner, WideText(text).c_str(), WideText(caption.empty() ? title_ : caption).c_str(), flags);
    RestoreTopMosts();
    return result;
}

// --- hints ---

void TApplication::SetShowHint(bool show) {
    showHint_ = show;
    if (!show) CancelHint();
}

void TApplication::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    if (OnHint) OnHint(*this);
}

void TApplication::HintMouseMessage(TControl* control, const TMessage& msg) {
    if (msg.Msg != WM_MOUSEMOVE) {
        if (msg.Msg != WM_MOUSEWHEEL) HideHint();
        return;
    }
    TControl* target = control;
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        TControl* child = w->ControlAtPos(POINT{MouseX(msg), MouseY(msg)}, true);
        if (child) target = child;
    }
    if (target && !target->Enabled()) target = nullptr;
    mouseControl_ = target;
    if (target != hintControl_) {
        bool wasShowing = hintWindow_ && hintWindow_->Visible();
        CancelHint();
        hintControl_ = target;
        SetHint(target ? GetLongHint(target->Hint()) : std::string());
        if (target && showHint_ && target->EffectiveShowHint() && !GetShortHint(target->Hint()).empty() && Handle())
            SetTimer(handle_, HintShowTimer, static_cast<UINT>(wasShowing ? hintShortPause_ : hintPause_), nullptr);
        return;
    }
    // The same control: a hint shown for it goes when the mouse leaves its rectangle.
    if (hintWindow_ && hintWindow_->Visible()) {
        POINT p{MouseX(msg), MouseY(msg)};
        if (target && target != control) {
            p.x -= target->Left();
            p.y -= target->Top();
        }
        if (p.x < hintCursorRect_.left || p.y < hintCursorRect_.top || p.x >= hintCursorRect_.right ||
            p.y >= hintCursorRect_.bottom)
            HideHint();
    }
}

void TApplication::ActivateHint(POINT cursorPos) {
    TControl* control = hintControl_;
    if (!control || !showHint_ || !control->EffectiveShowHint()) return;
    THintInfo info;
    info.HintControl = control;
    info.HintPos = POINT{cursorPos.x, cursorPos.y + GetSystemMetrics(SM_CYCURSOR) * 3 / 4};
    info.HintMaxWidth = Screen ? Screen->Width() : 640;
    info.HintColor = hintColor_;
    info.CursorRect = control->ClientRect();
    info.CursorPos = control->ScreenToClient(cursorPos);
    info.HideTimeout = hintHidePause_;
    info.HintStr = GetShortHint(control->Hint());
    if (hintShortCuts_) {
        // Controls with a published shortcut show it after the hint.
        if (const TPropInfo* prop = control->ClassType().FindProp("ShortCut");
            prop && prop->Kind == TPropKind::pkInteger && prop->Get) {
            TPropValue v = prop->Get(*control);
            if (auto* value = std::get_if<int32_t>(&v)) {
                std::string keys = ShortCutToText(static_cast<TShortCut>(*value));
                if (!keys.empty() && !info.HintStr.empty()) info.HintStr += " (" + keys + ")";
            }
        }
    }
    bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (OnShowHint) OnShowHint(info.HintStr, canShow, info);
    if (!canShow || info.HintStr.empty()) return;
    if (!hintWindow_) hintWindow_ = new THintWindow();
    hintCursorRect_ = info.CursorRect;
    hintWindow_->Show(info.HintPos, info.HintStr, info.HintColor, std::max(info.HintMaxWidth, 16));
    hintActive_ = true;
    if (info.HideTimeout > 0) SetTimer(Handle(), HintHideTimer, static_cast<UINT>(info.HideTimeout), nullptr);
}

void TApplication::HideHint() {
    if (handle_) {
        KillTimer(handle_, HintShowTimer);
        KillTimer(handle_, HintHideTimer);
    }
    if (hintWindow_) hintWindow_->Hide();
}

void TApplication::CancelHint() {
    HideHint();
    hintControl_ = nullptr;
    hintActive_ = false;
}

std::string TApplication::ShownHintText() const {
    return hintWindow_ && hintWindow_->Visible() ? hintWindow_->Text() : std::string();
}

// --- look and help ---

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) SetWindowTextCp1252(handle_, title);
}

bool TApplication::HelpJump(const std::string& topic) {
    UINT command = topic.empty() ? HELP_FINDER : HELP_KEY;
    std::wstring wideTopic = WideText(topic);
    ULONG_PTR data = topic.empty() ? 0 : reinterpret_cast<ULONG_PTR>(wideTopic.c_str());
    if (OnHelp) return OnHelp(command, data);
    if (helpFile_.empty()) return false;
    return WinHelpW(Handle(), WideText(helpFile_).c_str(), command, data) != FALSE;
}

bool TApplication::HelpContext(int context) {
    if (OnHelp) return OnHelp(HELP_CONTEXT, static_cast<ULONG_PTR>(context));
    if (helpFile_.empty()) return false;
    return WinHelpW(Handle(), WideText(helpFile_).c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(context)) != FALSE;
}

void TApplication::Minimize() {
    if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
    if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_RESTORE);
}

void TApplication::BringToFront() {
    if (mainForm_ && mainForm_->HandleAllocated()) {
        HWND popup = GetLastActivePopup(mainForm_->Handle());
        SetForegroundWindow(popup ? popup : mainForm_->Handle());
    }
}

// --- modal state ---

void TApplication::ModalStarted() { ++modalLevel_; }

void TApplication::ModalFinished() {
    if (modalLevel_ > 0) --modalLevel_;
}

namespace {
struct TTopMostScan {
    HWND app;
    std::vector<HWND>* list;
};

BOOL CALLBACK CollectTopMost(HWND window, LPARAM data) {
    auto* scan = reinterpret_cast<TTopMostScan*>(data);
    if (window != scan->app && IsWindowVisible(window) && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
        GuardedCall([&] { scan->list->push_back(window); });
    return TRUE;
}
}  // namespace

void TApplication::NormalizeTopMosts() {
    if (topMostLevel_++ > 0) return;
    topMostList_.clear();
    TTopMostScan scan{handle_, &topMostList_};
    EnumThreadWindows(GetCurrentThreadId(), CollectTopMost, reinterpret_cast<LPARAM>(&scan));
    for (HWND w : topMostList_) SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TApplication::RestoreTopMosts() {
    if (topMostLevel_ == 0 || --topMostLevel_ > 0) return;
    for (HWND w : topMostList_)
        if (IsWindow(w)) SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    topMostList_.clear();
}

// =====================================================================================
// TScreen
// =====================================================================================

namespace {

// A 32 x 32 cursor from a picture: 'X' black, '.' white, anything else transparent.
HCURSOR MakeCursor(const char* const* rows, int hotX, int hotY) {
    BYTE andMask[128], xorMask[128];
    std::fill(std::begin(andMask), std::end(andMask), 0xFF);
    std::fill(std::begin(xorMask), std::end(xorMask), 0x00);
    for (int y = 0; rows[y] && y < 32; ++y)
        for (int x = 0; rows[y][x] && x < 32; ++x) {
            int byte = y * 4 + x / 8;
            BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
            if (rows[y][x] == 'X') andMask[byte] &= static_cast<BYTE>(~bit);
            else if (rows[y][x] == '.') {
                andMask[byte] &= static_cast<BYTE>(~bit);
                xorMask[byte] |= bit;
            }
        }
    return CreateCursor(GetModuleHandleW(nullptr), hotX, hotY, 32, 32, andMask, xorMask);
}

// An arrow with a small sheet below it.
const char* const DragRows[] = {
    "X", "XX", "X.X", "X..X", "X...X", "X....X", "X.....X", "X......X", "X.......X", "X........X",
    "X.....XXXXX", "X..X..X", "X.X X..X", "XX  X..X", "X    X..X", "     X..X", "      XX",
    "  XXXXXXXXXX", "  X........X", "  X........X", "  X........X", "  X........X", "  XXXXXXXXXX",
    nullptr};
// Two bars with arrows to the left and right.
const char* const HSplitRows[] = {
    "", "", "", "", "", "", "", "", "", "",
    "             XXXXXX",
    "             X.XX.X",
    "             X.XX.X",
    "        X    X.XX.X    X",
    "       XX    X.XX.X    XX",
    "      X.XXXXXX.XX.XXXXXX.X",
    "     X.........XX.........X",
    "      X.XXXXXX.XX.XXXXXX.X",
    "       XX    X.XX.X    XX",
    "        X    X.XX.X    X",
    "             X.XX.X",
    "             X.XX.X",
    "             XXXXXX",
    nullptr};
const char* const VSplitRows[] = {
    "", "", "", "",
    "               X",
    "              X.X",
    "             X...X",
    "            X.....X",
    "           XXXX.XXXX",
    "              X.X",
    "              X.X",
    "      XXXXXXXXX.XXXXXXXXX",
    "      X.................X",
    "      XXXXXXXXXXXXXXXXXXX",
    "      XXXXXXXXXXXXXXXXXXX",
    "      X.................X",
    "      XXXXXXXXX.XXXXXXXXX",
    "              X.X",
    "              X.X",
    "           XXXX.XXXX",
    "            X.....X",
    "             X...X",
    "              X.X",
    "               X",
    nullptr};

}  // namespace

TScreen::TScreen() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        menuFont_.SetLogFont(metrics.lfMenuFont);
        hintFont_.SetLogFont(metrics.lfStatusFont);
    }
}

TScreen::~TScreen() {
    for (auto& [id, cursor] : cursors_) DestroyCursor(cursor);
}

RECT TScreen::WorkArea() const {
    RECT r{0, 0, Width(), Height()};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

int TScreen::PixelsPerInch() const { return TFont::PixelsPerInch(); }

TWinControl* TScreen::ActiveControl() const { return activeForm_ ? activeForm_->ActiveControl() : nullptr; }

void TScreen::AddForm(TForm* form) {
    if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (activeForm_ == form) activeForm_ = nullptr;
}

void TScreen::SetActiveForm(TForm* form) { activeForm_ = form; }

HCURSOR TScreen::Cursors(TCursor id) {
    for (auto& [cid, cursor] : cursors_)
        if (cid == id) return cursor;
    auto system = [](LPCWSTR name) { return LoadCursorW(nullptr, name); };
    HCURSOR made = nullptr;
    switch (id) {
    case crNone: return nullptr;
    case crDefault:
    case crArrow: return system(reinterpret_cast<LPCWSTR>(IDC_ARROW));
    case crCross: return system(reinterpret_cast<LPCWSTR>(IDC_CROSS));
    case crIBeam: return system(reinterpret_cast<LPCWSTR>(IDC_IBEAM));
    case crSize:
    case crSizeAll: return system(reinterpret_cast<LPCWSTR>(IDC_SIZEALL));
    case crSizeNESW: return system(reinterpret_cast<LPCWSTR>(IDC_SIZENESW));
    case crSizeNS: return system(reinterpret_cast<LPCWSTR>(IDC_SIZENS));
    case crSizeNWSE: return system(reinterpret_cast<LPCWSTR>(IDC_SIZENWSE));
    case crSizeWE: return system(reinterpret_cast<LPCWSTR>(IDC_SIZEWE));
    case crUpArrow: return system(reinterpret_cast<LPCWSTR>(IDC_UPARROW));
    case crHourGlass: return system(reinterpret_cast<LPCWSTR>(IDC_WAIT));
    case crNo:
    case crNoDrop: return system(reinterpret_cast<LPCWSTR>(IDC_NO));
    case crAppStart: return system(reinterpret_cast<LPCWSTR>(IDC_APPSTARTING));
    case crHelp: return system(reinterpret_cast<LPCWSTR>(IDC_HELP));
    case crHandPoint: {
        HCURSOR hand = system(reinterpret_cast<LPCWSTR>(IDC_HAND));
        return hand ? hand : system(reinterpret_cast<LPCWSTR>(IDC_ARROW));
    }
    case crDrag:
    case crMultiDrag: made = MakeCursor(DragRows, 0, 0); break;
    case crHSplit: made = MakeCursor(HSplitRows, 16, 16); break;
    case crVSplit: made = MakeCursor(VSplitRows, 16, 14); break;
    default: return system(reinterpret_cast<LPCWSTR>(IDC_ARROW));
    }
    if (!made) return system(reinterpret_cast<LPCWSTR>(IDC_ARROW));
    cursors_.emplace_back(id, made);
    return made;
}

void TScreen::SetCursors(TCursor id, HCURSOR cursor) {
    for (auto& [cid, c] : cursors_)
        if (cid == id) {
            if (c != cursor) DestroyCursor(c);
            c = cursor;
            return;
        }
    cursors_.emplace_back(id, cursor);
}

void TScreen::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    if (cursor != crDefault) {
        ::SetCursor(Cursors(cursor));
        return;
    }
    // Let the window under the mouse choose its cursor again.
    POINT p;
    GetCursorPos(&p);
    HWND w = WindowFromPoint(p);
    if (w && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) {
        LRESULT hit = SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(hit, WM_MOUSEMOVE));
    } else {
        ::SetCursor(Cursors(crArrow));
    }
}
