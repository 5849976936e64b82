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

std::function<void()>& PendingAction()
{
    static std::function<void()> action;
    return action;
}

void CALLBACK RunPendingAction(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto action = std::move(PendingAction());
    PendingAction() = nullptr;
    if (action)
        action();
}

}  // namespace

void Later(std::function<void()> action, UINT delay)
{
    PendingAction() = std::move(action);
    SetTimer(nullptr, 0, delay, RunPendingAction);
}

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
