#include "widgets/application_hook_win.h"

#include <memory>

#include "widgets/app_services_win.h"

namespace {

std::unique_ptr<TApplicationHook>& TheHook() {
    static std::unique_ptr<TApplicationHook> hook;
    return hook;
}

// A window of the chain other than our own application window.
bool IsOtherWindow(HWND window) { return window && IsWindow(window) && window != Application->Handle(); }

}  // namespace

TApplicationHook* TApplicationHook::Instance() { return TheHook().get(); }

void TApplicationHook::Free() { TheHook().reset(); }

TApplicationHook* ApplicationHook() {
    if (TheHook()) return TheHook().get();
    if (!Application || Application->ShuttingDown()) return nullptr;
    TheHook().reset(new TApplicationHook());
    return TheHook().get();
}

TApplicationHook::TApplicationHook() {
    ticket_ = Application->HookMainWindow([this](TMessage& msg) { return WindowHook(msg); });
    hooked_ = true;
}

TApplicationHook::~TApplicationHook() { Detach(); }

void TApplicationHook::Detach() {
    LeaveViewerChain();
    if (hooked_ && Application && !Application->ShuttingDown()) {
        Application->UnhookMainWindow(ticket_);
    }
    hooked_ = false;
}

void TApplicationHook::JoinViewerChain() {
    if (inChain_ || !Application) return;
    inChain_ = true;
    // SetClipboardViewer sends the first WM_DRAWCLIPBOARD before it returns; the next window
    // is not known then, and nothing is passed on.
    nextViewer_ = nullptr;
    nextViewer_ = SetClipboardViewer(Application->Handle());
}

void TApplicationHook::LeaveViewerChain() {
    if (!inChain_) return;
    inChain_ = false;
    if (Application && Application->HandleAllocated()) ChangeClipboardChain(Application->Handle(), nextViewer_);
    nextViewer_ = nullptr;
}

bool TApplicationHook::WindowHook(TMessage& msg) {
    bool handled = false;
    switch (msg.Msg) {
    case WM_DRAWCLIPBOARD:
        DrawClipboard(msg);
        handled = true;
        break;
    case WM_CHANGECBCHAIN:
        ChangeChain(msg);
        handled = true;
        break;
    case UM_SHORTCUT: {
        const bool taken = lists_.DispatchShortCut(static_cast<uint16_t>(msg.WParam), static_cast<uint32_t>(msg.LParam));
        msg.Result = taken ? 1 : 0;
        if (taken) return true;
        break;
    }
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_NCDESTROY:
        Detach();
        break;
    case WM_WININICHANGE:
        RefreshSystemSizes();
        break;
    default:
        break;
    }
    THookMessage hookMsg{msg.Msg, msg.WParam, msg.LParam, msg.Result};
    if (lists_.DispatchHookMessage(hookMsg)) {
        msg.Result = hookMsg.Result;
        handled = true;
    }
    return handled;
}

void TApplicationHook::DrawClipboard(TMessage& msg) {
    if (IsOtherWindow(nextViewer_)) SendMessageW(nextViewer_, WM_DRAWCLIPBOARD, msg.WParam, msg.LParam);
    lists_.DispatchClipboard();
    msg.Result = 0;
}

void TApplicationHook::ChangeChain(TMessage& msg) {
    const HWND leaving = reinterpret_cast<HWND>(msg.WParam);
    if (leaving == nextViewer_)
        nextViewer_ = reinterpret_cast<HWND>(msg.LParam);
    else if (IsOtherWindow(nextViewer_))
        SendMessageW(nextViewer_, WM_CHANGECBCHAIN, msg.WParam, msg.LParam);
    msg.Result = 0;
}

bool AddMessageHandler(UINT msg, TComponent* object, TMessageProc proc) {
    TApplicationHook* hook = ApplicationHook();
    return hook && hook->Lists().AddMessageHandler(msg, object, proc);
}

bool RemoveMessageHandler(UINT msg, TComponent* object, TMessageProc proc) {
    TApplicationHook* hook = TApplicationHook::Instance();
    return hook && hook->Lists().RemoveMessageHandler(msg, object, proc);
}

bool AddShortCutHandler(WORD key, TShiftState shift, TComponent* object, TShortCutProc proc, intptr_t data) {
    TApplicationHook* hook = ApplicationHook();
    return hook && hook->Lists().AddShortCutHandler(key, shift.Bits(), object, proc, data);
}

bool RemoveShortCutHandler(WORD key, TShiftState shift, TComponent* object, TShortCutProc proc, intptr_t data) {
    TApplicationHook* hook = TApplicationHook::Instance();
    return hook && hook->Lists().RemoveShortCutHandler(key, shift.Bits(), object, proc, data);
}

bool AddClipboardHandler(TComponent* object, TClipboardProc proc) {
    TApplicationHook* hook = ApplicationHook();
    if (!hook || !hook->Lists().AddClipboardHandler(object, proc)) return false;
    hook->JoinViewerChain();
    return true;
}

bool RemoveClipboardHandler(TComponent* object, TClipboardProc proc) {
    TApplicationHook* hook = TApplicationHook::Instance();
    return hook && hook->Lists().RemoveClipboardHandler(object, proc);
}

void SetShowShortCuts(bool show) {
    SetShowShortCutsInHints(show);
    if (Application) Application->SetHintShortCuts(show);
}
