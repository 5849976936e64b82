// Scoped owners of GDI resources: an object deleted, a device context released or deleted, a
// selection undone when the scope ends, so that no drawing path leaks or leaves a DC changed.
#pragma once

#include <windows.h>

// Owns one GDI object (pen, brush, font, bitmap, region, palette) and deletes it at scope end.
template <typename Handle>
class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(Handle handle) : handle_(handle) {}
    ~TGdiObject() { Reset(); }
    TGdiObject(TGdiObject&& other) noexcept : handle_(other.Release()) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;

    Handle Get() const { return handle_; }
    operator Handle() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    // Hands the object to the caller, who deletes it from now on.
    Handle Release()
    {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void Reset(Handle handle = nullptr)
    {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

// The DC of a window (or of the screen for a null window), released at scope end.
class TWindowDC {
public:
    // The DC of the client area (GetDC).
    explicit TWindowDC(HWND window = nullptr) : TWindowDC(window, GetDC(window)) {}
    // The DC of the whole window, frame and caption included (GetWindowDC).
    static TWindowDC WholeWindow(HWND window) { return TWindowDC(window, GetWindowDC(window)); }
    // A DC with the options of GetDCEx (DCX_CACHE, DCX_LOCKWINDOWUPDATE, ...), clipped to Clip.
    static TWindowDC WithOptions(HWND window, HRGN clip, DWORD flags)
    {
        return TWindowDC(window, GetDCEx(window, clip, flags));
    }
    ~TWindowDC()
    {
        if (dc_) ReleaseDC(window_, dc_);
    }
    TWindowDC(TWindowDC&& other) noexcept : window_(other.window_), dc_(other.dc_) { other.dc_ = nullptr; }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    TWindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {}

    HWND window_;
    HDC dc_;
};

// The painting of a window between BeginPaint and EndPaint; EndPaint runs at scope end, so that
// a paint that failed half-way still validates the window.
class TPaintDC {
public:
    explicit TPaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~TPaintDC() { EndPaint(window_, &paint_); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }
    const PAINTSTRUCT& Paint() const { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A memory DC compatible with another DC (the screen's when null), deleted at scope end.
class TMemoryDC {
public:
    explicit TMemoryDC(HDC compatible = nullptr) : dc_(CreateCompatibleDC(compatible)) {}
    ~TMemoryDC()
    {
        if (dc_) DeleteDC(dc_);
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HDC dc_;
};

// A DC the program made for longer than one scope (a printer's CreateDC), owned by the object
// that keeps it and deleted when that goes or takes another.
class TOwnedDC {
public:
    TOwnedDC() = default;
    explicit TOwnedDC(HDC dc) : dc_(dc) {}
    ~TOwnedDC() { Reset(); }
    TOwnedDC(const TOwnedDC&) = delete;
    TOwnedDC& operator=(const TOwnedDC&) = delete;

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

    void Reset(HDC dc = nullptr)
    {
        if (dc_) DeleteDC(dc_);
        dc_ = dc;
    }

private:
    HDC dc_ = nullptr;
};

// Selects an object into a DC and selects the one it replaced back at scope end.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~TSelectObject()
    {
        if (previous_) SelectObject(dc_, previous_);
    }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Selects a palette into a DC as a background palette and realizes it; the palette it replaced
// is selected back at scope end. A null palette changes nothing.
class TSelectPalette {
public:
    TSelectPalette(HDC dc, HPALETTE palette) : dc_(dc)
    {
        if (!palette) return;
        previous_ = SelectPalette(dc, palette, TRUE);
        RealizePalette(dc);
    }
    ~TSelectPalette()
    {
        if (previous_) SelectPalette(dc_, previous_, TRUE);
    }
    TSelectPalette(const TSelectPalette&) = delete;
    TSelectPalette& operator=(const TSelectPalette&) = delete;

private:
    HDC dc_;
    HPALETTE previous_ = nullptr;
};

// Saves the whole state of a DC (clip region, mapping, selections) and restores it at scope end.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~TSavedDC()
    {
        if (saved_) RestoreDC(dc_, saved_);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC dc_;
    int saved_;
};
