#include "widgets/win95_form_win.h"

#include <optional>
#include <string>

#include "base/cp1252.h"
#include "widgets/app_services_win.h"
#include "widgets/application_hook_win.h"
#include "widgets/gradient.h"
#include "widgets/placement_win.h"
#include "widgets/popup_placement.h"
#include "winui/application_win.h"
#include "winui/gdi_scope_win.h"

namespace {

// The caption fonts of all forms, from the system's non-client metrics, and the off-screen
// bitmap in which captions are composed.
struct TCaptionResources {
    TGdiObject<HFONT> CaptionFont;
    TGdiObject<HFONT> SmallCaptionFont;
    // Destroyed in reverse order: the bitmap's selection undone, the bitmap, then the DC.
    std::optional<TMemoryDC> MemoryDc;
    TGdiObject<HBITMAP> Bitmap;
    std::optional<TSelectObject> BitmapSelected;
    int Width = 0;
    int Height = 0;

    void FreeBitmap() {
        BitmapSelected.reset();
        Bitmap.Reset();
        Width = Height = 0;
    }
    void BuildFonts() {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
            // Older systems know the structure without the padded border width.
            metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
            SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
        }
        CaptionFont.Reset(CreateFontIndirectW(&metrics.lfCaptionFont));
        SmallCaptionFont.Reset(CreateFontIndirectW(&metrics.lfSmCaptionFont));
    }
    // A memory context holding a bitmap of at least Width x Height compatible with Dc.
    HDC Canvas(HDC dc, int width, int height) {
        if (!MemoryDc) MemoryDc.emplace(dc);
        if (width > Width || height > Height) {
            FreeBitmap();
            Bitmap.Reset(CreateCompatibleBitmap(dc, width, height));
            BitmapSelected.emplace(*MemoryDc, Bitmap);
            Width = width;
            Height = height;
        }
        return *MemoryDc;
    }
};

TCaptionResources& Captions() {
    static TCaptionResources resources;
    if (!resources.CaptionFont) resources.BuildFonts();
    return resources;
}

bool SystemSettingsChanged(TComponent*, THookMessage&) {
    Captions().BuildFonts();
    return false;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush);
}

// The previously active window while a popup is shown: it keeps drawing itself as active.
const wchar_t heldProcProperty[] = L"VarnoletPopupHeldProc";

LRESULT CALLBACK HeldWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetPropW(window, heldProcProperty));
    if (!original) return DefWindowProcW(window, msg, wParam, lParam);
    switch (msg) {
    case WM_NCACTIVATE:
        return CallWindowProcW(original, window, msg, TRUE, lParam);
    case WM_ACTIVATE:
    case WM_NCPAINT:
        return 0;
    default:
        return CallWindowProcW(original, window, msg, wParam, lParam);
    }
}

}  // namespace

const TClassInfo& TWin95Form::StaticClass() {
    static const TClassInfo info{
        "TWin95Form",
        &TForm::StaticClass(),
        {TypedProp<TWin95Form, int32_t>(
             "Gradient", TPropKind::pkInteger, [](const TWin95Form& f) { return static_cast<int32_t>(f.Gradient()); },
             [](TWin95Form& f, const int32_t& v) {
                 if (v >= gfNone && v <= gfAllways) f.SetGradient(static_cast<TGradient>(v));
             }),
         TypedProp<TWin95Form, bool>("Inplaced", TPropKind::pkBoolean, [](const TWin95Form& f) { return f.Inplaced(); },
                                     [](TWin95Form& f, const bool& v) { f.SetInplaced(v); })},
        {}};
    return info;
}

TWin95Form::TWin95Form(TComponent* owner, TWinControl* parent) : TForm(owner) {
    placementWanted_ = true;
    // Inplaced before the parent is set, so that the window is made as a child.
    if (parent) {
        SetInplaced(true);
        SetParent(parent);
    }
    AddMessageHandler(WM_WININICHANGE, nullptr, &SystemSettingsChanged);
}

TWin95Form::~TWin95Form() {
    ReleasePreviousActive();
    RemoveTrackingControl(this);
}

bool TWin95Form::Lock(bool lock) {
    if (lock) return ++lockCount_ == 1;
    if (lockCount_ == 0) return false;
    return --lockCount_ == 0;
}

void TWin95Form::StorePlacement(bool save) {
    GuardedCall([&] {
        if (!save)
            RestorePlacement(*this);
        else if (Position() != poScreenCenter)
            SavePlacement(*this);
    });
}

void TWin95Form::SetGradient(TGradient gradient) {
    if (gradient == gradient_) return;
    gradient_ = gradient;
    if (HandleAllocated() && IsWindowVisible(Handle()))
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin95Form::SetOnPaintCaption(TOnPaintCaption handler) {
    OnPaintCaption = std::move(handler);
    if (HandleAllocated() && IsWindowVisible(Handle()))
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin95Form::SetActiveControl(TWinControl* control) {
    if (control && !control->CanFocus()) return;
    TForm::SetActiveControl(control);
}

void TWin95Form::SetVisible(bool visible) {
    // Showing is left to the form's own code once it is loaded.
    if (visible && IsLoading()) return;
    TForm::SetVisible(visible);
}

void TWin95Form::SetFormStyle(TFormStyle style) {
    if (style == fsMDIChild) {
        TForm* mainForm = Application ? Application->MainForm() : nullptr;
        if (!mainForm || mainForm == this || mainForm->FormStyle() != fsMDIForm || Inplaced()) style = fsNormal;
    }
    TForm::SetFormStyle(style);
}

TModalResult TWin95Form::ShowModal() {
    SetShowHint(Application->ShowHint());
    const TModalResult result = TForm::ShowModal();
    StorePlacement(true);
    return result;
}

// ---- window creation ----

void TWin95Form::CreateParams(TCreateParams& params) {
    TForm::CreateParams(params);
    if (Inplaced()) {
        params.Style &= ~(WS_POPUP | WS_MAXIMIZEBOX);
        params.Style |= WS_CHILD | WS_GROUP | WS_CLIPCHILDREN;
        if (!Enabled()) params.Style |= WS_DISABLED;
        if (BorderStyle() == bsNone)
            params.Style &= ~(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    }
    // Without a caption text there is no caption bar; the border stays.
    if (params.Caption.empty() && BorderStyle() != bsSingle && BorderStyle() != bsToolWindow)
        params.Style &= ~WS_DLGFRAME;
    if (PopupActive()) {
        params.Style = (params.Style & ~WS_CHILD) | WS_POPUP;
        params.ClassStyle |= CS_SAVEBITS | CS_BYTEALIGNWINDOW;
    }
    params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TWin95Form::CreateWindowHandle(const TCreateParams& params) {
    TForm::CreateWindowHandle(params);
    ncActive_ = GetActiveWindow() == Handle();
    if (!Application || Application->ShuttingDown()) return;
    if (!Inplaced() && placementWanted_) StorePlacement(false);
    if (!PopupActive() && !Icon().Empty())
        SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon().Handle()));
}

void TWin95Form::DoClose(TCloseAction& action) {
    if (!Inplaced() && placementWanted_) StorePlacement(true);
    if (FormStyle() == fsMDIChild) action = caFree;
    TForm::DoClose(action);
}

// ---- caption ----

RECT TWin95Form::CaptionRect() {
    RECT rect{};
    if (!HandleAllocated()) return rect;
    const HWND window = Handle();
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if ((style & WS_CAPTION) != WS_CAPTION) return rect;
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    GetWindowRect(window, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    if (style & WS_THICKFRAME)
        InflateRect(&rect, -GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME));
    else
        InflateRect(&rect, -GetSystemMetrics(SM_CXDLGFRAME), -GetSystemMetrics(SM_CYDLGFRAME));
    rect.bottom = rect.top + GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    return rect;
}

bool TWin95Form::PaintsOwnCaption() {
    if (gradient_ == gfNone && !OnPaintCaption) return false;
    if (!HandleAllocated() || !IsWindowVisible(Handle())) return false;
    return (GetWindowLongW(Handle(), GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

void TWin95Form::RedrawCaption() {
    if (!PaintsOwnCaption()) return;
    TWindowDC dc = TWindowDC::WholeWindow(Handle());
    PaintCaption(dc, cpAll, CaptionRect(), ncActive_);
}

void TWin95Form::PaintCaption(HDC dc, unsigned mask, const RECT& rect, bool active) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    const HWND window = Handle();
    const bool tool = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    TCaptionResources& res = Captions();
    HDC mem = res.Canvas(dc, width, height);
    const COLORREF background = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    const COLORREF textColor = GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
    RECT area{0, 0, width, height};
    FillSolid(mem, area, background);

    const bool gradient = gradient_ == gfAllways || (gradient_ == gfActive && active);
    lastBands_ = 0;
    if (gradient) {
        const int exponent = GradientExponent(GetDeviceCaps(dc, NUMCOLORS));
        for (const TGradientBand& band : GradientBands(0, width, background, exponent)) {
            TGdiObject<HBRUSH> brush(CreateSolidBrush(band.Color));
            TSelectObject selected(mem, brush);
            PatBlt(mem, band.X, 0, band.Width, height, PATCOPY);
            ++lastBands_;
        }
    }

    RECT text = area;
    const TFormBorderStyle border = BorderStyle();
    const TBorderIcons icons = BorderIcons();
    const bool withIcon = (icons.Has(biSystemMenu) &&
                           (border == bsSingle || border == bsSizeable || border == bsDialog)) ||
                          FormStyle() == fsMDIChild;
    if (withIcon) {
        const int size = GetSystemMetrics(SM_CXSMICON);
        if (mask & cpIcon) {
            HICON icon = Icon().Handle();
            if (!icon) icon = Application->Icon().Handle();
            if (!icon) icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
            const RECT square{2, 1, 2 + size, 1 + size};
            FillSolid(mem, square, gradient ? RGB(0, 0, 0) : background);
            DrawIconEx(mem, 2, 1, icon, size, size, 0, nullptr, DI_NORMAL);
        }
        text.left += size + 2;
    }

    if (icons.Has(biSystemMenu)) {
        RECT buttons = area;
        InflateRect(&buttons, -2, -2);
        const int buttonWidth = tool ? GetSystemMetrics(SM_CXSMSIZE) : GetSystemMetrics(SM_CXSIZE) - 2;
        int right = buttons.right;
        auto drawButton = [&](UINT state) {
            RECT r{right - buttonWidth, buttons.top, right, buttons.bottom};
            if (mask & cpButtons) DrawFrameControl(mem, &r, DFC_CAPTION, state);
            right -= buttonWidth;
        };
        drawButton(DFCS_CAPTIONCLOSE);
        if (!tool) {
            right -= 2;  // the gap between the close button and the others
            if (border != bsDialog) {
                const bool zoomed = IsZoomed(window) != 0;
                const bool iconic = IsIconic(window) != 0;
                drawButton((zoomed ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) | (icons.Has(biMaximize) ? 0 : DFCS_INACTIVE));
                drawButton((iconic ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) | (icons.Has(biMinimize) ? 0 : DFCS_INACTIVE));
            }
            const bool helpOnly = icons == TBorderIcons{biSystemMenu, biHelp};
            if (helpOnly || (border == bsDialog && icons.Has(biHelp))) drawButton(DFCS_CAPTIONHELP);
        }
        text.right = right - 3;
    }

    text.left += 2;
    if (OnPaintCaption) {
        TCanvas canvas;
        canvas.SetHandle(mem);
        // The handler draws in the caption's own font and colour.
        LOGFONTW logFont{};
        GetObjectW(tool ? res.SmallCaptionFont.Get() : res.CaptionFont.Get(), sizeof(logFont), &logFont);
        canvas.Font().SetLogFont(logFont);
        canvas.Font().SetColor(static_cast<TColor>(textColor));
        OnPaintCaption(*this, canvas, text);
        canvas.SetHandle(nullptr);
    }
    if (mask & cpText) {
        const std::u16string caption = Cp1252ToUtf16(Caption());
        TSelectObject font(mem, tool ? res.SmallCaptionFont.Get() : res.CaptionFont.Get());
        SetBkMode(mem, TRANSPARENT);
        SetTextColor(mem, textColor);
        DrawTextW(mem, reinterpret_cast<LPCWSTR>(caption.c_str()), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    BitBlt(dc, rect.left, rect.top, width, height, mem, 0, 0, SRCCOPY);
}

void TWin95Form::WMNCPaint(TMessage& msg) {
    if (!PaintsOwnCaption()) {
        TForm::WMNCPaint(msg);
        return;
    }
    const HWND window = Handle();
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    // The update region in screen coordinates: the whole window, or what the message names.
    TGdiObject<HRGN> region(CreateRectRgnIndirect(&windowRect));
    if (msg.WParam > 1) CombineRgn(region, region, reinterpret_cast<HRGN>(msg.WParam), RGN_AND);
    const RECT caption = CaptionRect();
    {
        TWindowDC dc = TWindowDC::WholeWindow(window);
        // The clip region in window coordinates (SelectClipRgn takes a copy).
        TGdiObject<HRGN> clip(CreateRectRgn(0, 0, 0, 0));
        CombineRgn(clip, region, nullptr, RGN_COPY);
        OffsetRgn(clip, -windowRect.left, -windowRect.top);
        SelectClipRgn(dc, clip);
        PaintCaption(dc, cpAll, caption, ncActive_);
    }
    // The rest of the frame is the framework's, without the caption.
    TGdiObject<HRGN> captionRegion(CreateRectRgn(windowRect.left + caption.left, windowRect.top + caption.top,
                                                 windowRect.left + caption.right, windowRect.top + caption.bottom));
    CombineRgn(region, region, captionRegion, RGN_DIFF);
    TMessage rest = msg;
    rest.WParam = reinterpret_cast<WPARAM>(region.Get());
    TForm::WMNCPaint(rest);
    msg.Result = rest.Result;
}

void TWin95Form::WMNCActivate(TMessage& msg) {
    ncActive_ = msg.WParam != 0;
    TForm::WMNCActivate(msg);
    RedrawCaption();
}

void TWin95Form::WMSetText(TMessage& msg) {
    TForm::WMSetText(msg);
    RedrawCaption();
}

void TWin95Form::WMSetCursor(TMessage& msg) {
    LPCSTR cursor = nullptr;
    switch (LOWORD(msg.LParam)) {
    case HTLEFT: case HTRIGHT: cursor = IDC_SIZEWE; break;
    case HTTOP: case HTBOTTOM: cursor = IDC_SIZENS; break;
    case HTTOPLEFT: case HTBOTTOMRIGHT: cursor = IDC_SIZENWSE; break;
    case HTTOPRIGHT: case HTBOTTOMLEFT: cursor = IDC_SIZENESW; break;
    default: break;
    }
    if (!cursor) {
        TForm::WMSetCursor(msg);
        return;
    }
    ::SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(cursor)));
    msg.Result = 1;
}

void TWin95Form::WndProc(TMessage& msg) {
    if (HandleTrackedMouse(msg)) return;
    TForm::WndProc(msg);
    if (msg.Msg == CM_ICONCHANGED || msg.Msg == WM_SETICON) RedrawCaption();
}

// ---- popup mode ----

bool TWin95Form::HandleTrackedMouse(TMessage& msg) {
    if (!IsTrackedMouseMessage(this, msg.Msg)) return false;
    // A copy from the mouse hook, not a message of this window: only a press outside counts.
    if (PopupActive() && TrackedMouseButton(msg.Msg) != 0 && !GetCapture() && HandleAllocated()) {
        const HWND under = reinterpret_cast<HWND>(msg.WParam);
        if (under != Handle() && !IsChild(Handle(), under)) PopupClose(3);
    }
    return true;
}

bool TWin95Form::DialogKey(WORD key, TShiftState shift) {
    if (PopupActive() && (key == VK_RETURN || key == VK_ESCAPE)) {
        PopupClose(key == VK_RETURN ? 1 : 2);
        return true;
    }
    return TForm::DialogKey(key, shift);
}

void TWin95Form::KeyDown(WORD& key, TShiftState shift) {
    if (PopupActive() && (key == VK_RETURN || key == VK_ESCAPE)) {
        PopupClose(key == VK_RETURN ? 1 : 2);
        key = 0;
        return;
    }
    TForm::KeyDown(key, shift);
}

void TWin95Form::PopupClose(int result) {
    if (!HandleAllocated() || !IsWindowVisible(Handle()) || Locked()) return;
    SetModalResult(result);
    popupState_ |= psCloseRequest;
    Lock(true);
    try {
        Close();
        ProcessPaintMessages();
    } catch (...) {
        Lock(false);
        throw;
    }
    Lock(false);
    // A close query that refused leaves the popup running.
    if (IsWindowVisible(Handle())) {
        SetModalResult(mrNone);
        popupState_ &= ~psCloseRequest;
    }
}

void TWin95Form::PlacePopupAt(int x, int y, int alignment, TControl* control) {
    if (control) {
        const POINT origin = control->ClientToScreen(POINT{0, 0});
        const TPopupRect rect{origin.x, origin.y, origin.x + control->Width(), origin.y + control->Height()};
        const TPopupPlacement place =
            PlacePopup(rect, Width(), Height(), alignment, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        popupState_ = static_cast<uint16_t>((popupState_ & (psActive | psCloseRequest)) | place.Bits);
        x = place.X;
        y = place.Y;
    }
    SetBounds(x, y, Width(), Height());
}

void TWin95Form::HoldPreviousActive(HWND window) {
    if (!window || window == Handle() || !IsWindow(window)) return;
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return;
    auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (!original || original == HeldWindowProc) return;
    SetPropW(window, heldProcProperty, reinterpret_cast<HANDLE>(original));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeldWindowProc));
    heldWindow_ = window;
    heldProc_ = original;
}

void TWin95Form::ReleasePreviousActive() {
    if (!heldWindow_) return;
    if (IsWindow(heldWindow_)) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(heldWindow_, GWLP_WNDPROC)) == HeldWindowProc)
            SetWindowLongPtrW(heldWindow_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(heldProc_));
        RemovePropW(heldWindow_, heldProcProperty);
    }
    heldWindow_ = nullptr;
    heldProc_ = nullptr;
}

int TWin95Form::RunPopupLoop() {
    SetModalResult(mrNone);
    while (true) {
        if (Application->Terminated()) return mrCancel;
        if (ModalResult() != mrNone) return ModalResult();
        if (popupState_ & psCloseRequest) return mrCancel;
        if (!HandleAllocated() || !IsWindowVisible(Handle())) return mrCancel;
        Application->HandleMessage();
    }
}

int TWin95Form::Popup(int x, int y, int alignment, TControl* control) {
    if (PopupActive()) return mrCancel;
    popupState_ = psActive;
    const HWND previous = GetActiveWindow();
    int result = mrCancel;
    try {
        if (HandleAllocated())
            RecreateWnd();
        else
            HandleNeeded();
        showingModal_ = true;
        PlacePopupAt(x, y, alignment, control);
        AddTrackingControl(this);
        HoldPreviousActive(previous);
        Show();
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        result = RunPopupLoop();
    } catch (...) {
        ReleasePreviousActive();
        RemoveTrackingControl(this);
        popupState_ = 0;
        showingModal_ = false;
        throw;
    }
    ReleasePreviousActive();
    RemoveTrackingControl(this);
    if (result > 0) {
        if (HandleAllocated() && IsWindowVisible(Handle())) {
            Lock(true);
            Hide();
            Lock(false);
        }
        StorePlacement(true);
    }
    popupState_ = 0;
    showingModal_ = false;
    if (previous && previous != Handle() && IsWindow(previous) && GetActiveWindow() != previous)
        SetActiveWindow(previous);
    return result;
}
