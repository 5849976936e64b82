#include "widgets/key_hook_list_win.h"

#include <algorithm>

namespace {

bool IsAutoRepeat(LPARAM keyData) { return (keyData & 0x40000000) != 0; }

}  // namespace

THookList& THookList::Instance() {
    static THookList list;
    return list;
}

THookList::~THookList() {
    for (size_t i = entries_.size(); i-- > 0;) Unhook(i);
}

THookList::TEntry* THookList::Find(HWND window) {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), window,
                               [](const TEntry& e, HWND w) { return e.Window < w; });
    return it != entries_.end() && it->Window == window ? &*it : nullptr;
}

const THookList::TEntry* THookList::Find(HWND window) const { return const_cast<THookList*>(this)->Find(window); }

HWND THookList::WindowOf(const TControl* control) const {
    for (const TEntry& entry : entries_)
        if (std::find(entry.Controls.begin(), entry.Controls.end(), control) != entry.Controls.end()) return entry.Window;
    return nullptr;
}

void THookList::Add(HWND window, TControl* control, bool dispatchPending) {
    if (!window || !control || !dynamic_cast<TKeyHookClient*>(control)) return;
    if (WindowOf(control) == window) return;
    if (!Find(window)) {
        // What is already queued for the window is still the window's own business. (Its
        // handlers may add controls to the list meanwhile, so the list is looked at afresh.)
        MSG pending;
        for (int i = 0; dispatchPending && i < 100 && PeekMessageW(&pending, window, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&pending);
            DispatchMessageW(&pending);
        }
        if (!IsWindow(window) || WindowOf(control) == window) return;
    }
    Remove(control);
    if (TEntry* entry = Find(window)) {
        entry->Controls.push_back(control);
        return;
    }
    TEntry entry;
    entry.Window = window;
    entry.Controls.push_back(control);
    entry.Original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&THookList::HookProc)));
    auto it = std::lower_bound(entries_.begin(), entries_.end(), window,
                               [](const TEntry& e, HWND w) { return e.Window < w; });
    entries_.insert(it, std::move(entry));
}

void THookList::Remove(TControl* control) {
    for (size_t i = 0; i < entries_.size(); ++i) {
        auto& controls = entries_[i].Controls;
        auto it = std::find(controls.begin(), controls.end(), control);
        if (it == controls.end()) continue;
        controls.erase(it);
        if (controls.empty()) Unhook(i);
        return;
    }
}

void THookList::Unhook(size_t index) {
    const TEntry& entry = entries_[index];
    // Someone who subclassed the window after us would lose their procedure: then the entry
    // stays, passing everything through.
    if (IsWindow(entry.Window)) {
        const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(entry.Window, GWLP_WNDPROC));
        if (current != &THookList::HookProc) return;
        SetWindowLongPtrW(entry.Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry.Original));
    }
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::vector<TControl*> THookList::Ordered(const TEntry& entry) const {
    std::vector<TControl*> controls = entry.Controls;
    TWinControl* owner = TWinControl::FindControl(entry.Window);
    if (!owner) return controls;
    auto position = [owner](TControl* c) {
        for (int i = 0; i < owner->ControlCount(); ++i)
            if (owner->Controls(i) == c) return i;
        return owner->ControlCount();
    };
    std::stable_sort(controls.begin(), controls.end(), [&](TControl* a, TControl* b) { return position(a) < position(b); });
    return controls;
}

bool THookList::KeyDown(HWND window, WORD key) {
    const TEntry* entry = Find(window);
    if (!entry) return false;
    const TShiftState shift = KeyboardShiftState();
    bool taken = false;
    GuardedCall([&] {
        for (TControl* control : Ordered(*entry)) {
            // A handler may have removed controls (or the whole entry) meanwhile.
            if (WindowOf(control) != window) continue;
            if (auto* client = dynamic_cast<TKeyHookClient*>(control); client && client->HookKeyDown(key, shift)) {
                taken = true;
                return;
            }
        }
    });
    return taken;
}

void THookList::KeyUp(HWND window, WORD key) {
    const TEntry* entry = Find(window);
    if (!entry) return;
    GuardedCall([&] {
        for (TControl* control : Ordered(*entry))
            if (WindowOf(control) == window)
                if (auto* client = dynamic_cast<TKeyHookClient*>(control)) client->HookKeyUp(key);
    });
}

bool THookList::WantsKey(HWND window, WORD key) {
    const TEntry* entry = Find(window);
    if (!entry) return false;
    const TShiftState shift = KeyboardShiftState();
    bool wanted = false;
    GuardedCall([&] {
        for (TControl* control : entry->Controls)
            if (auto* client = dynamic_cast<TKeyHookClient*>(control); client && client->HookWantsKey(key, shift)) {
                wanted = true;
                return;
            }
    });
    return wanted;
}

LRESULT CALLBACK THookList::HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    THookList& list = Instance();
    const TEntry* entry = list.Find(window);
    if (!entry) return DefWindowProcW(window, msg, wParam, lParam);
    const WNDPROC original = entry->Original;
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (list.WMKeyDown(window, static_cast<WORD>(wParam), lParam)) return 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP: list.KeyUp(window, static_cast<WORD>(wParam)); break;
    case WM_GETDLGCODE: return list.WMGetDlgCode(original, window, wParam, lParam);
    case WM_NCDESTROY: return list.WMNCDestroy(original, window, wParam, lParam);
    default: break;
    }
    if (!IsWindow(window)) return 0;
    return CallWindowProcW(original, window, msg, wParam, lParam);
}

// True when a control took the key. One press clicks once: the auto-repeats of a key a
// control takes are swallowed without a click.
bool THookList::WMKeyDown(HWND window, WORD key, LPARAM keyData) {
    return IsAutoRepeat(keyData) ? WantsKey(window, key) : KeyDown(window, key);
}

// The window's own dialog code, with every key claimed that one of its controls takes now.
LRESULT THookList::WMGetDlgCode(WNDPROC original, HWND window, WPARAM wParam, LPARAM lParam) {
    LRESULT code = CallWindowProcW(original, window, WM_GETDLGCODE, wParam, lParam);
    if (wParam && WantsKey(window, static_cast<WORD>(wParam))) code |= DLGC_WANTALLKEYS;
    return code;
}

// The window is gone: its entry goes without restoring anything.
LRESULT THookList::WMNCDestroy(WNDPROC original, HWND window, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(original, window, WM_NCDESTROY, wParam, lParam);
    if (TEntry* gone = Find(window)) entries_.erase(entries_.begin() + (gone - entries_.data()));
    return result;
}
