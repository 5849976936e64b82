// Helpers of the framework's Wine tests: a plain panel control that fills itself with its colour,
// a windowless box, message pumping through the application's loop, and real mouse input.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "winui/application_win.h"
#include "winui/control_win.h"

// A windowed panel: fills its client area with Color.
class TTestPanel : public TCustomControl {
public:
    explicit TTestPanel(TComponent* owner, TColor color = clBtnFace) : TCustomControl(owner) {
        SetColor(color);
        SetBounds(0, 0, 50, 50);
    }

protected:
    void Paint() override {
        Canvas().Brush().SetColor(Color());
        Canvas().FillRect(ClientRect());
        if (!Caption().empty()) {
            Canvas().Brush().SetStyle(bsClear);
            RECT r = ClientRect();
            Canvas().DrawText(Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
};

// A windowless box that paints itself in its colour and counts what it receives.
class TTestBox : public TGraphicControl {
public:
    explicit TTestBox(TComponent* owner, TColor color = clRed) : TGraphicControl(owner) {
        SetColor(color);
        SetBounds(0, 0, 20, 20);
    }
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        Canvas().Brush().SetColor(Color());
        Canvas().FillRect(ClientRect());
    }
};

// Runs the application's message handling for about Milliseconds, or until Done returns true.
// Only for behaviour that is defined by elapsed time (auto-repeat, hover and double-click
// times); everything else waits with WaitFor or WaitForInputHandled.
inline bool PumpUntil(DWORD milliseconds, const std::function<bool()>& done = {}) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        if (done && done()) return true;
        if (!Application->ProcessMessage()) Sleep(5);
    }
    return done && done();
}

// How long a test waits for something that should happen at once: generous, so that a loaded
// machine does not fail a test that a quiet one passes.
constexpr DWORD WaitTimeout = 10000;

// Runs the application's message handling until Done returns true; false after Timeout.
inline bool WaitFor(const std::function<bool()>& done, DWORD timeout = WaitTimeout) {
    return PumpUntil(timeout, done);
}

// Runs the application's message handling until the input sent with SendInput and everything
// it caused are handled: the thread's queue holds no input, posted, sent or paint message in
// three checks in a row (Wine hands some input over from the X server a moment later).
inline bool WaitForInputHandled(DWORD timeout = WaitTimeout) {
    const UINT busy = QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT;
    const DWORD start = GetTickCount();
    int quiet = 0;
    while (GetTickCount() - start < timeout) {
        while (Application->ProcessMessage()) {
        }
        quiet = HIWORD(GetQueueStatus(busy)) == 0 ? quiet + 1 : 0;
        if (quiet == 3) return true;
        Sleep(5);
    }
    return false;
}

// Real mouse input at a screen point (SendInput with absolute coordinates).
inline void MouseTo(POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((screen.x * 65536 + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = static_cast<LONG>((screen.y * 65536 + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
}

inline void MouseButton(bool down, bool right = false) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                          : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    SendInput(1, &in, sizeof(in));
}

inline void KeyInput(WORD key, bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof(in));
}

inline void PressKey(WORD key) {
    KeyInput(key, true);
    KeyInput(key, false);
}

// A left click where the pointer is with Key (Shift, Ctrl) held, each step handled before the
// next.
inline void ClickHolding(WORD key) {
    KeyInput(key, true);
    WaitForInputHandled();
    MouseButton(true);
    WaitForInputHandled();
    MouseButton(false);
    WaitForInputHandled();
    KeyInput(key, false);
    WaitForInputHandled();
}

// The screen point of a client point of Control.
inline POINT ScreenPoint(TControl& control, int x, int y) { return control.ClientToScreen(POINT{x, y}); }
