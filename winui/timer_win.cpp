#include "winui/timer_win.h"

#include <map>

#include "base/exception.h"
#include "base/string_ids.h"
#include "winui/control_win.h"

namespace {

std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}

UINT_PTR NextTimerId() {
    static UINT_PTR next = 0;
    do {
        next = next >= 0x7FFFFFFF ? 1 : next + 1;
    } while (Timers().count(next));
    return next;
}

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) { UpdateTimer(); }

TTimer::~TTimer() { Stop(); }

const TClassInfo& TTimer::StaticClass() {
    static const TClassInfo info{"TTimer", &TComponent::StaticClass(), {}, {}};
    return info;
}

HWND TTimer::TimerWindow() {
    static HWND window = nullptr;
    if (!window) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = TimerWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VarnoletTimerWindow";
        RegisterClassExW(&wc);
        window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        if (!window) throw Exception(sid::TimerCreateError);
    }
    return window;
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        auto it = Timers().find(wParam);
        if (it != Timers().end()) {
            TTimer* timer = it->second;
            GuardedCall([timer] { timer->Timer(); });
        }
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

void TTimer::Stop() {
    if (!id_) return;
    KillTimer(TimerWindow(), id_);
    Timers().erase(id_);
    id_ = 0;
}

void TTimer::UpdateTimer() {
    Stop();
    if (!enabled_ || interval_ == 0) return;
    UINT_PTR id = NextTimerId();
    if (!SetTimer(TimerWindow(), id, interval_, nullptr)) throw Exception(sid::TimerCreateError);
    id_ = id;
    Timers()[id] = this;
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned interval) {
    if (interval == interval_) return;
    interval_ = interval;
    UpdateTimer();
}

void TTimer::SetOnTimer(std::function<void(TTimer& sender)> handler) {
    OnTimer = std::move(handler);
    UpdateTimer();
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(*this);
}
