// A timer component: fires OnTimer every Interval milliseconds while enabled.
// All timers share one hidden window that receives their WM_TIMER messages.
#pragma once

#include <windows.h>

#include <functional>

#include "base/component.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // Default true.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Default 1000; 0 stops the timer. Changing it restarts the count.
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);
    // Called on every tick (the timer also runs without it).
    std::function<void(TTimer& sender)> OnTimer;
    // Sets OnTimer and restarts the count.
    void SetOnTimer(std::function<void(TTimer& sender)> handler);
    // Starts (or restarts) the system timer from the current settings.
    void UpdateTimer();
    bool Running() const { return id_ != 0; }

    // The hidden window of all timers.
    static HWND TimerWindow();

protected:
    virtual void Timer();

private:
    static LRESULT CALLBACK TimerWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void Stop();
    bool enabled_ = true;
    unsigned interval_ = 1000;
    UINT_PTR id_ = 0;
};
