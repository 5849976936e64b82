// The process-wide list of subclassed windows whose key messages go to windowless controls on
// them first: speed buttons with activation keys and focused check box buttons get the keys
// of their parent window even though they never have the focus. The list is sorted by window;
// each window's own procedure is restored when the last control leaves it, and dropped when
// the window goes.
#pragma once

#include <windows.h>

#include <vector>

#include "winui/control_win.h"

// A control that takes keys through the hook of its parent window.
class TKeyHookClient {
public:
    virtual ~TKeyHookClient() = default;
    // A key-down (not an auto-repeat) reached the parent. True when the control took the key:
    // the remaining controls are not asked and the window does not see the key. Auto-repeats
    // of a key that some control wants (HookWantsKey) are swallowed without asking.
    virtual bool HookKeyDown(WORD key, TShiftState shift) = 0;
    // A key-up reached the parent (every control hears it; the window sees it too).
    virtual void HookKeyUp(WORD key) {}
    // Whether the control would take Key now: the window then claims it from the dialog
    // handling (WM_GETDLGCODE), so that arrows, Enter and Escape reach it.
    virtual bool HookWantsKey(WORD key, TShiftState shift) { return false; }
};

class THookList {
public:
    static THookList& Instance();

    // Puts Control (a TControl that is a TKeyHookClient) on Window: the window is subclassed
    // when it is the first control there. Adding again changes nothing; a control on another
    // window moves. Pending messages of a window are dispatched before its hook takes over,
    // unless DispatchPending is false (while painting).
    void Add(HWND window, TControl* control, bool dispatchPending = true);
    void Remove(TControl* control);
    // The window Control is on (null when it is on none).
    HWND WindowOf(const TControl* control) const;
    int WindowCount() const { return static_cast<int>(entries_.size()); }
    bool Hooked(HWND window) const { return Find(window) != nullptr; }

    ~THookList();

private:
    struct TEntry {
        HWND Window = nullptr;
        WNDPROC Original = nullptr;
        std::vector<TControl*> Controls;
    };
    THookList() = default;
    static LRESULT CALLBACK HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    TEntry* Find(HWND window);
    const TEntry* Find(HWND window) const;
    // The entry's controls in the child order of the window's control.
    std::vector<TControl*> Ordered(const TEntry& entry) const;
    bool WMKeyDown(HWND window, WORD key, LPARAM keyData);
    LRESULT WMGetDlgCode(WNDPROC original, HWND window, WPARAM wParam, LPARAM lParam);
    LRESULT WMNCDestroy(WNDPROC original, HWND window, WPARAM wParam, LPARAM lParam);
    bool KeyDown(HWND window, WORD key);
    void KeyUp(HWND window, WORD key);
    bool WantsKey(HWND window, WORD key);
    void Unhook(size_t index);

    std::vector<TEntry> entries_;
};
