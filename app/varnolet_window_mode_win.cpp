// The main window's own messages: activation and shrinking to the caption bar, staying on top,
// moving, sizing and its smallest width.
#include "app/varnolet_win.h"
#include "widgets/brackets_win.h"
#include "winui/application_win.h"

namespace {

// Eight toolbar buttons and the frame.
constexpr int MinimumTrackWidth = 8 * 23 + 6;

}  // namespace

void TVarnoletWin::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_MOVE: WMMove(msg); return;
    case WM_MOUSEACTIVATE: DefaultHandler(msg); return;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(msg); return;
    case WM_SIZE: WMSize(msg); return;
    case UM_WINDOWMODE: UMWindowMode(msg); return;
    case UM_RESORT: UMResort(msg); return;
    default: TWin95Form::WndProc(msg);
    }
}

TWindowBox TVarnoletWin::WindowBox() {
    RECT r{};
    if (HandleAllocated()) GetWindowRect(Handle(), &r);
    return TWindowBox{r.left, r.top, r.right, r.bottom};
}

void TVarnoletWin::MoveWindowTo(const TWindowBox& box, UINT flags) {
    SetWindowPos(Handle(), nullptr, box.Left, box.Top, box.Width(), box.Height(), flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TVarnoletWin::WMActivate(TMessage& msg) {
    TWin95Form::WMActivate(msg);
    if (!PItemMini->Checked()) return;
    const bool active = LOWORD(msg.WParam) != WA_INACTIVE;
    if (active == shrunk_) PostMessageW(Handle(), UM_WINDOWMODE, 0, 0);
}

void TVarnoletWin::WMMove(TMessage& msg) {
    TWin95Form::WndProc(msg);
    if (Locked() || !shown_) return;
    const TWindowBox now = WindowBox();
    remembered_ = TWindowBox{now.Left, now.Top, now.Left + remembered_.Width(), now.Top + remembered_.Height()};
}

void TVarnoletWin::WMGetMinMaxInfo(TMessage& msg) {
    TWin95Form::WndProc(msg);
    auto* info = reinterpret_cast<MINMAXINFO*>(msg.LParam);
    info->ptMinTrackSize.x = MinimumTrackWidth;
}

// Without the docked editor the panel takes the whole client width.
void TVarnoletWin::WMSize(TMessage& msg) {
    TWin95Form::WndProc(msg);
    if (P && !EditBtn->Down() && msg.WParam != SIZE_MINIMIZED) P->SetWidth(ClientWidth());
}

void TVarnoletWin::ApplyStayOnTop() {
    SetFormStyle(PItemTopMost->Checked() ? fsStayOnTop : fsNormal);
    SetWindowPos(Handle(), PItemTopMost->Checked() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Active means: disabled, a dialog of the window is open, or the window or one of its child
// windows is the active window.
bool TVarnoletWin::CountsAsActive() {
    const HWND window = Handle();
    if (!IsWindowEnabled(window)) return true;
    const HWND popup = GetLastActivePopup(window);
    if (popup && popup != window) return true;
    const HWND active = GetActiveWindow();
    return active == window || (active && IsChild(window, active));
}

void TVarnoletWin::UMWindowMode(TMessage& msg) {
    if (msg.LParam == 1) {
        ApplyStayOnTop();
        return;
    }
    // Nothing moves while the editor is docked, the window is disabled, before it is complete,
    // or with the option off.
    if (EditBtn->Down() || !IsWindowEnabled(Handle()) || !constructed_ || !shown_ || !PItemMini->Checked()) return;
    TFormLock lock(*this);
    TAlignSuspension aligned(*this);
    const bool active = CountsAsActive();
    if ((active || msg.WParam != 0) && shrunk_)
        GrowBack();
    else if (!active && !shrunk_)
        ShrinkToCaption();
}

void TVarnoletWin::GrowBack() {
    const int fullHeight = remembered_.Height();
    const std::vector<TWindowBox> frames = GrowFrames(WindowBox(), fullHeight, Screen->Height());
    for (const TWindowBox& frame : frames) {
        MoveWindowTo(frame, 0);
        UpdateWindow(Handle());
    }
    if (!frames.empty()) remembered_ = frames.back();
    shrunk_ = false;
}

void TVarnoletWin::ShrinkToCaption() {
    remembered_ = WindowBox();
    const int target = remembered_.Height() - ClientHeight();
    for (const TWindowBox& frame : ShrinkFrames(remembered_, target, Screen->Height())) {
        MoveWindowTo(frame, 0);
        UpdateWindow(Handle());
    }
    shrunk_ = true;
}
