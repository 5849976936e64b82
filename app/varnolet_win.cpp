#include "app/varnolet_win.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "base/cp1252.h"
#include "base/string_ids.h"
#include "base/strings.h"

namespace {

constexpr const wchar_t* WindowClassName = L"TVarnoletWin";
constexpr int InitialWidth = 320;
constexpr int InitialHeight = 420;

void RegisterWindowClass(WNDPROC windowProc)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), WindowClassName, &windowClass))
        return;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = WindowClassName;
    if (!RegisterClassExW(&windowClass))
        throw std::runtime_error("RegisterClassEx failed");
}

}  // namespace

TVarnoletWin::~TVarnoletWin()
{
    if (handle_)
        DestroyWindow(handle_);
}

void TVarnoletWin::Create()
{
    RegisterWindowClass(&TVarnoletWin::WindowProc);
    const std::u16string caption = Cp1252ToUtf16(LoadStr(sid::ProgramName));
    HWND window = CreateWindowExW(0, WindowClassName, reinterpret_cast<LPCWSTR>(caption.c_str()),
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, InitialWidth,
                                  InitialHeight, nullptr, nullptr, GetModuleHandleW(nullptr),
                                  this);
    if (!window)
        throw std::runtime_error("CreateWindowEx failed");
}

void TVarnoletWin::Show(int cmdShow)
{
    ShowWindow(handle_, cmdShow);
    UpdateWindow(handle_);
}

LRESULT CALLBACK TVarnoletWin::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TVarnoletWin*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->handle_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TVarnoletWin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    // No exception may leave a window procedure.
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (const std::exception& error) {
        const std::u16string text = Cp1252ToUtf16(error.what());
        const std::u16string caption = Cp1252ToUtf16(LoadStr(sid::ProgramName));
        MessageBoxW(window, reinterpret_cast<LPCWSTR>(text.c_str()),
                    reinterpret_cast<LPCWSTR>(caption.c_str()), MB_OK | MB_ICONERROR);
        return 0;
    }
}

LRESULT TVarnoletWin::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        WMDestroy();
        return 0;
    default:
        return DefWindowProcW(handle_, message, wParam, lParam);
    }
}

void TVarnoletWin::WMDestroy()
{
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    handle_ = nullptr;
    if (OnDestroy)
        OnDestroy(*this);
}
