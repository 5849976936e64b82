#include "widgets/app_services_win.h"

#include "base/exception.h"
#include "base/string_ids.h"
#include "winui/application_win.h"

namespace {

TBusyCounter& Busy() {
    static TBusyCounter busy;
    return busy;
}

struct TSystemSizes {
    int IconWidth, IconHeight, CursorWidth, CursorHeight;
};

TSystemSizes& Sizes() {
    static TSystemSizes sizes{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                              GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)};
    return sizes;
}

HHOOK mouseHook = nullptr;

// The list lives as long as the process; the hook finds it through this function.
TTrackingList& List() {
    static TTrackingList list;
    return list;
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && List().Count() > 0) {
        const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        const HWND under = WindowFromPoint(info->pt);
        const LPARAM where = MAKELPARAM(static_cast<short>(info->pt.x), static_cast<short>(info->pt.y));
        const UINT msg = static_cast<UINT>(wParam);
        GuardedCall([&] {
            List().Forward([&](TComponent* entry) {
                if (auto* control = dynamic_cast<TControl*>(entry))
                    control->Perform(msg, reinterpret_cast<WPARAM>(under), where);
                else
                    List().Remove(entry);
            });
        });
    }
    return CallNextHookEx(mouseHook, code, wParam, lParam);
}

}  // namespace

void BeginBusy() {
    Screen->SetCursor(Busy().Begin());
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
}

void EndBusy() {
    int cursor;
    if (Busy().End(cursor)) Screen->SetCursor(cursor);
}

int BusyCount() { return Busy().Count(); }

void ProcessPaintMessages() {
    MSG msg;
    for (int i = 0; i < 100 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
        DispatchMessageW(&msg);
}

bool IsInputHeld() {
    const bool left = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    const bool right = (GetAsyncKeyState(VK_RBUTTON) & 0x8000) != 0;
    std::array<uint8_t, 256> keys{};
    if (!GetKeyboardState(keys.data())) keys.fill(0);
    return IsInputHeldIn(left, right, keys);
}

namespace {

TMenuItem* CopyMenuItem(const TMenuItem& source) {
    auto* copy = new TMenuItem(nullptr);
    try {
        copy->SetCaption(source.Caption());
        copy->SetShortCut(source.ShortCut());
        copy->SetChecked(source.Checked());
        copy->SetEnabled(source.Enabled());
        copy->OnClick = source.OnClick;
        copy->SetHelpContext(source.HelpContext());
        copy->SetName(source.Name());
        copy->SetHint(source.Hint());
        copy->SetTag(source.Tag());
        copy->SetGroupIndex(source.GroupIndex());
        for (int i = 0; i < source.Count(); ++i) copy->Add(CopyMenuItem(*source.Items(i)));
    } catch (...) {
        delete copy;
        throw;
    }
    return copy;
}

}  // namespace

void CopyMenuItems(TMenuItem& source, TMenuItem& dest) {
    // Copy first, so that copying a menu into itself does not run on forever.
    const int count = source.Count();
    for (int i = 0; i < count; ++i) dest.Add(CopyMenuItem(*source.Items(i)));
}

int IconWidth() { return Sizes().IconWidth; }
int IconHeight() { return Sizes().IconHeight; }
int CursorWidth() { return Sizes().CursorWidth; }
int CursorHeight() { return Sizes().CursorHeight; }

void RefreshSystemSizes() {
    Sizes() = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), GetSystemMetrics(SM_CXCURSOR),
               GetSystemMetrics(SM_CYCURSOR)};
}

void InstallMouseHook() {
    if (mouseHook) return;
    mouseHook = SetWindowsHookExW(WH_MOUSE, MouseHookProc, nullptr, GetCurrentThreadId());
    if (!mouseHook) throw Exception(sid::MouseHookError);
}

void RemoveMouseHook() {
    if (mouseHook) UnhookWindowsHookEx(mouseHook);
    mouseHook = nullptr;
}

bool MouseHookInstalled() { return mouseHook != nullptr; }

void AddTrackingControl(TControl* control) {
    if (!control) return;
    InstallMouseHook();
    List().Add(control);
}

void RemoveTrackingControl(TControl* control) { List().Remove(control); }
bool IsTrackingControl(const TControl* control) { return List().Contains(control); }
TTrackingList& TrackingList() { return List(); }

bool IsTrackedMouseMessage(const TControl* control, UINT msg) {
    return IsForwardedMouseMessage(List(), control, msg);
}

int TrackedMouseButton(UINT msg) { return MouseMessageButton(msg); }
