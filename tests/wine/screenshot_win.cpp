#include "tests/wine/screenshot_win.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD PaintDelayMs = 500;
constexpr DWORD ScreenshotTimeoutMs = 20000;
// Room around the window for the window manager's frame.
constexpr int FrameMargin = 12;
constexpr int CaptionMargin = 32;

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteRequest(const std::string& path, const RECT& rect)
{
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file)
        return false;
    const long left = rect.left > FrameMargin ? rect.left - FrameMargin : 0;
    const long top = rect.top > CaptionMargin ? rect.top - CaptionMargin : 0;
    std::fprintf(file, "%ldx%ld+%ld+%ld\n", rect.right + FrameMargin - left,
                 rect.bottom + FrameMargin - top, left, top);
    std::fclose(file);
    // The watcher must never see half a request.
    return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace

namespace {

// The one pending action, the condition it waits for, and when it was scheduled.
struct TPendingAction {
    std::function<void()> Action;
    std::function<bool()> Ready;
    DWORD Since = 0;
};

TPendingAction& Pending()
{
    static TPendingAction pending;
    return pending;
}

constexpr DWORD ReadyTimeoutMs = 10000;
constexpr UINT ReadyPollMs = 20;

void CALLBACK RunPendingAction(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    TPendingAction& pending = Pending();
    // Not ready yet (the window or menu the action is meant for is still coming up): look
    // again soon; after the time-out act anyway, so that a test fails instead of hanging.
    if (pending.Ready && !pending.Ready() && GetTickCount() - pending.Since < ReadyTimeoutMs) {
        SetTimer(nullptr, 0, ReadyPollMs, RunPendingAction);
        return;
    }
    auto action = std::move(pending.Action);
    pending = TPendingAction();
    if (action)
        action();
}

}  // namespace

void Later(std::function<void()> action, UINT delay, std::function<bool()> ready)
{
    Pending() = TPendingAction{std::move(action), std::move(ready), GetTickCount()};
    SetTimer(nullptr, 0, delay, RunPendingAction);
}

bool InMenuMode()
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) &&
           (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
}

namespace {

// Dispatches the thread's messages for about Milliseconds: the time Wine and the X server take
// to show what a window painted, before the screen is grabbed.
void PumpMessages(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

}  // namespace

bool TakeScreenshot(HWND window, const std::string& name, std::string& error)
{
    error.clear();
    const char* folder = std::getenv("VARNOLET_SCREENSHOT_DIR");
    if (!folder || !*folder) {
        error = "VARNOLET_SCREENSHOT_DIR not set, no screenshot taken";
        return true;
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    PumpMessages(PaintDelayMs);

    const std::string base = std::string(folder) + "\\" + name;
    const std::string picture = base + ".png";
    DeleteFileA(picture.c_str());
    RECT rect;
    if (!GetWindowRect(window, &rect) || !WriteRequest(base + ".request", rect)) {
        error = "cannot write the screenshot request in " + std::string(folder);
        return false;
    }
    const DWORD start = GetTickCount();
    while (!FileExists(picture)) {
        if (GetTickCount() - start > ScreenshotTimeoutMs) {
            error = "no screenshot " + picture + " within 20 s";
            return false;
        }
        PumpMessages(50);
    }
    return true;
}
