#include "winui/canvas_win.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "base/exception.h"
#include "base/string_ids.h"
#include "winui/gdi_scope_win.h"
#include "winui/graphics_win.h"
#include "winui/text_win.h"

COLORREF ColorToRGB(TColor color) {
    if (color == clNone || color == clDefault) return RGB(0, 0, 0);
    if (color & clSystemColor) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

// --- TGraphicsObject ---

TGraphicsObject::~TGraphicsObject() { FreeHandle(); }

void TGraphicsObject::FreeHandle() {
    if (!handle_) return;
    if (OnFreeHandle) OnFreeHandle(*this);
    DeleteObject(handle_);
    handle_ = nullptr;
}

void TGraphicsObject::Changed() {
    FreeHandle();
    if (OnChange) OnChange(*this);
}

// --- TFont ---

int TFont::PixelsPerInch() {
    static int ppi = [] {
        TWindowDC screen;
        int value = GetDeviceCaps(screen, LOGPIXELSY);
        return value > 0 ? value : 96;
    }();
    return ppi;
}

TFont::TFont() : name_("MS Sans Serif"), height_(-MulDiv(8, PixelsPerInch(), 72)) {}

const TClassInfo& TFont::StaticClass() {
    static const TClassInfo info{"TFont", &TPersistent::StaticClass(), {}, {}};
    return info;
}

void TFont::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TFont*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    name_ = other->name_;
    height_ = other->height_;
    style_ = other->style_;
    color_ = other->color_;
    charSet_ = other->charSet_;
    pitch_ = other->pitch_;
    Changed();
}

void TFont::SetLogFont(const LOGFONTW& logFont) {
    name_ = NarrowText(logFont.lfFaceName);
    height_ = logFont.lfHeight;
    TFontStyles style;
    if (logFont.lfWeight >= FW_BOLD) style += fsBold;
    if (logFont.lfItalic) style += fsItalic;
    if (logFont.lfUnderline) style += fsUnderline;
    if (logFont.lfStrikeOut) style += fsStrikeOut;
    style_ = style;
    charSet_ = logFont.lfCharSet;
    int pitch = logFont.lfPitchAndFamily & 3;
    pitch_ = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
    Changed();
}

LOGFONTW TFont::LogFont() const {
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfWeight = style_.Has(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Has(fsItalic);
    lf.lfUnderline = style_.Has(fsUnderline);
    lf.lfStrikeOut = style_.Has(fsStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(charSet_);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    std::wstring face = WideText(name_);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return lf;
}

void TFont::SetName(const std::string& name) {
    if (name.empty() || name == name_) return;
    name_ = name;
    Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, PixelsPerInch(), 72)); }

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    // The colour is no part of the GDI font; only the owner needs to know.
    if (OnChange) OnChange(*this);
}

void TFont::SetCharSet(int charSet) {
    if (charSet == charSet_) return;
    charSet_ = charSet;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == pitch_) return;
    pitch_ = pitch;
    Changed();
}

HFONT TFont::Handle() {
    if (!handle_) {
        LOGFONTW lf = LogFont();
        handle_ = CreateFontIndirectW(&lf);
        if (!handle_) throw Exception(sid::FontCreateError);
    }
    return static_cast<HFONT>(handle_);
}

// --- TPen ---

void TPen::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TPen*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    color_ = other->color_;
    width_ = other->width_;
    style_ = other->style_;
    mode_ = other->mode_;
    Changed();
}

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TPen::SetWidth(int width) {
    width = std::max(width, 0);
    if (width == width_) return;
    width_ = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TPen::SetMode(TPenMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    if (OnChange) OnChange(*this);
}

HPEN TPen::Handle() {
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_ = CreatePen(styles[style_], width_, ColorToRGB(color_));
        if (!handle_) throw Exception(sid::OutOfResources);
    }
    return static_cast<HPEN>(handle_);
}

// --- TBrush ---

TBrush::~TBrush() {
    if (patternBitmap_) DeleteObject(patternBitmap_);
}

void TBrush::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TBrush*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    color_ = other->color_;
    style_ = other->style_;
    if (patternBitmap_) DeleteObject(patternBitmap_);
    patternBitmap_ = other->patternBitmap_
                         ? static_cast<HBITMAP>(CopyImage(other->patternBitmap_, IMAGE_BITMAP, 0, 0, 0))
                         : nullptr;
    Changed();
}

void TBrush::SetColor(TColor color) {
    if (color == color_ && style_ != bsClear) return;
    color_ = color;
    if (style_ == bsClear) style_ = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TBrush::SetBitmap(const TBitmap* bitmap) {
    if (patternBitmap_) DeleteObject(patternBitmap_);
    patternBitmap_ = nullptr;
    if (bitmap && !bitmap->Empty())
        patternBitmap_ = static_cast<HBITMAP>(
            CopyImage(const_cast<TBitmap*>(bitmap)->Handle(), IMAGE_BITMAP, 0, 0, 0));
    Changed();
}

HBRUSH TBrush::Handle() {
    if (!handle_) {
        LOGBRUSH lb{};
        if (patternBitmap_) {
            lb.lbStyle = BS_PATTERN;
            lb.lbHatch = reinterpret_cast<ULONG_PTR>(patternBitmap_);
        } else if (style_ == bsClear) {
            lb.lbStyle = BS_NULL;
        } else if (style_ == bsSolid) {
            lb.lbStyle = BS_SOLID;
            lb.lbColor = ColorToRGB(color_);
        } else {
            static const int hatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
            lb.lbStyle = BS_HATCHED;
            lb.lbColor = ColorToRGB(color_);
            lb.lbHatch = hatches[style_];
        }
        handle_ = CreateBrushIndirect(&lb);
        if (!handle_) throw Exception(sid::OutOfResources);
    }
    return static_cast<HBRUSH>(handle_);
}

// --- TCanvas ---

TCanvas::TCanvas() {
    pen_.OnChange = [this](TGraphicsObject&) { state_ &= ~csPen; };
    brush_.OnChange = [this](TGraphicsObject&) { state_ &= ~csBrush; };
    font_.OnChange = [this](TGraphicsObject&) { state_ &= ~csFont; };
    // Put the context's own object back before a selected pen, brush or font is deleted.
    pen_.OnFreeHandle = [this](TGraphicsObject&) { Unselect(oldPen_, csPen); };
    brush_.OnFreeHandle = [this](TGraphicsObject&) { Unselect(oldBrush_, csBrush); };
    font_.OnFreeHandle = [this](TGraphicsObject&) { Unselect(oldFont_, csFont); };
}

void TCanvas::Unselect(HGDIOBJ& old, int state) {
    if (dc_ && old) SelectObject(dc_, old);
    old = nullptr;
    state_ &= ~state;
}

TCanvas::~TCanvas() { DeselectObjects(); }

HDC TCanvas::Handle() {
    if (!dc_) CreateHandle();
    if (!dc_) throw Exception(sid::NoCanvasDrawing);
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    DeselectObjects();
    dc_ = dc;
    state_ = 0;
}

void TCanvas::DeselectObjects() {
    if (!dc_) return;
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    if (oldFont_) SelectObject(dc_, oldFont_);
    oldPen_ = oldBrush_ = oldFont_ = nullptr;
    state_ = 0;
}

void TCanvas::FreeHandleState() { DeselectObjects(); }

void TCanvas::Changing() {
    if (OnChanging) OnChanging(*this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(*this);
}

void TCanvas::SelectPen() {
    HGDIOBJ old = SelectObject(dc_, pen_.Handle());
    if (!oldPen_) oldPen_ = old;
    static const int rops[] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,
                               R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                               R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,    R2_NOTMERGEPEN,
                               R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};
    SetROP2(dc_, rops[pen_.Mode()]);
}

void TCanvas::SelectBrush() {
    HGDIOBJ old = SelectObject(dc_, brush_.Handle());
    if (!oldBrush_) oldBrush_ = old;
    SetBkColor(dc_, ColorToRGB(brush_.Color()));
    SetBkMode(dc_, brush_.Style() == bsSolid && !brush_.HasBitmap() ? OPAQUE : TRANSPARENT);
}

void TCanvas::SelectFont() {
    HGDIOBJ old = SelectObject(dc_, font_.Handle());
    if (!oldFont_) oldFont_ = old;
    SetTextColor(dc_, ColorToRGB(font_.Color()));
}

void TCanvas::RequireState(int state) {
    Handle();
    int needed = state & ~state_;
    if (needed & csPen) SelectPen();
    if (needed & csBrush) SelectBrush();
    if (needed & csFont) SelectFont();
    // The text colour and background mode belong to the font and brush, so refresh them
    // whenever text is drawn: another user of the context may have changed them.
    if ((state & csFont) && !(needed & csFont)) SetTextColor(dc_, ColorToRGB(font_.Color()));
    if ((state & csBrush) && !(needed & csBrush)) {
        SetBkColor(dc_, ColorToRGB(brush_.Color()));
        SetBkMode(dc_, brush_.Style() == bsSolid && !brush_.HasBitmap() ? OPAQUE : TRANSPARENT);
    }
    state_ |= state;
}

POINT TCanvas::PenPos() {
    POINT p{};
    GetCurrentPositionEx(Handle(), &p);
    return p;
}

RECT TCanvas::ClipRect() {
    RECT r{};
    GetClipBox(Handle(), &r);
    return r;
}

void TCanvas::MoveTo(int x, int y) {
    RequireState(0);
    MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    Changing();
    RequireState(csPen | csBrush);
    ::LineTo(dc_, x, y);
    Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    Changing();
    RequireState(csPen | csBrush);
    ::Rectangle(dc_, left, top, right, bottom);
    Changed();
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
    Changing();
    RequireState(csPen | csBrush);
    ::RoundRect(dc_, left, top, right, bottom, cornerWidth, cornerHeight);
    Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    Changing();
    RequireState(csPen | csBrush);
    ::Ellipse(dc_, left, top, right, bottom);
    Changed();
}

void TCanvas::Polygon(const std::vector<POINT>& points) {
    if (points.empty()) return;
    Changing();
    RequireState(csPen | csBrush);
    ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::Polyline(const std::vector<POINT>& points) {
    if (points.empty()) return;
    Changing();
    RequireState(csPen | csBrush);
    ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::FillRect(const RECT& rect) {
    Changing();
    RequireState(csBrush);
    ::FillRect(dc_, &rect, brush_.Handle());
    Changed();
}

void TCanvas::FrameRect(const RECT& rect) {
    Changing();
    RequireState(csBrush);
    ::FrameRect(dc_, &rect, brush_.Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const RECT& rect) {
    Changing();
    RequireState(csBrush);
    ::DrawFocusRect(dc_, &rect);
    Changed();
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style) {
    Changing();
    RequireState(csBrush);
    ExtFloodFill(dc_, x, y, ColorToRGB(color), style == fsSurface ? FLOODFILLSURFACE : FLOODFILLBORDER);
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Changing();
    RequireState(csFont | csBrush);
    std::wstring wide = WideText(text);
    ExtTextOutW(dc_, x, y, 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
    Changed();
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::string& text) {
    Changing();
    RequireState(csFont | csBrush);
    std::wstring wide = WideText(text);
    UINT options = ETO_CLIPPED;
    if (brush_.Style() != bsClear) options |= ETO_OPAQUE;
    ExtTextOutW(dc_, x, y, options, &rect, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
    Changed();
}

int TCanvas::DrawText(const std::string& text, RECT& rect, UINT flags) {
    Changing();
    RequireState(csFont | csBrush);
    std::wstring wide = WideText(text);
    int height = ::DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &rect, flags);
    Changed();
    return height;
}

SIZE TCanvas::TextExtent(const std::string& text) {
    RequireState(csFont);
    std::wstring wide = WideText(text);
    SIZE size{};
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
    if (graphic.Empty()) return;
    RECT r{x, y, x + graphic.Width(), y + graphic.Height()};
    StretchDraw(r, graphic);
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic& graphic) {
    if (graphic.Empty()) return;
    Changing();
    RequireState(csPen | csBrush);
    graphic.Draw(*this, rect);
    Changed();
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect) {
    Changing();
    RequireState(csBrush);
    HDC src = source.Handle();
    int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
    if (dw == sw && dh == sh)
        BitBlt(dc_, dest.left, dest.top, dw, dh, src, sourceRect.left, sourceRect.top, copyMode_);
    else {
        SetStretchBltMode(dc_, COLORONCOLOR);
        StretchBlt(dc_, dest.left, dest.top, dw, dh, src, sourceRect.left, sourceRect.top, sw, sh, copyMode_);
    }
    Changed();
}

void TCanvas::BrushCopy(const RECT& dest, TBitmap& bitmap, const RECT& sourceRect, TColor transparentColor) {
    if (bitmap.Empty()) return;
    Changing();
    RequireState(csBrush);
    TGdiObject<HBITMAP> mask(bitmap.CreateMask(transparentColor));
    TMemoryDC maskDc(dc_);
    TSelectObject maskSelected(maskDc, mask);
    HDC src = bitmap.Canvas().Handle();
    int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
    SetStretchBltMode(dc_, COLORONCOLOR);
    COLORREF oldText = SetTextColor(dc_, RGB(0, 0, 0));
    COLORREF oldBk = SetBkColor(dc_, RGB(255, 255, 255));
    // Picture XOR, then AND the mask (transparent parts keep the background after the second
    // XOR), then XOR again: the classic three-pass transparent copy.
    StretchBlt(dc_, dest.left, dest.top, dw, dh, src, sourceRect.left, sourceRect.top, sw, sh, SRCINVERT);
    StretchBlt(dc_, dest.left, dest.top, dw, dh, maskDc, sourceRect.left, sourceRect.top, sw, sh, SRCAND);
    StretchBlt(dc_, dest.left, dest.top, dw, dh, src, sourceRect.left, sourceRect.top, sw, sh, SRCINVERT);
    SetTextColor(dc_, oldText);
    SetBkColor(dc_, oldBk);
    Changed();
}

TColor TCanvas::Pixel(int x, int y) {
    return static_cast<TColor>(GetPixel(Handle(), x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    Changing();
    ::SetPixel(Handle(), x, y, ColorToRGB(color));
    Changed();
}

void PaintPixelRows(TCanvas& canvas, const char* const* rows, int rowCount, TColor (*palette)(char)) {
    if (rowCount <= 0) return;
    const size_t width = std::strlen(rows[0]);
    for (int y = 0; y < rowCount; ++y) {
        const char* row = rows[y];
        if (std::strlen(row) != width) throw Exception(sid::InvalidArgument);
        for (size_t x = 0; x < width; ++x)
            if (row[x] != '.') canvas.SetPixel(static_cast<int>(x), y, palette(row[x]));
    }
}

// --- window, paint and screen canvases ---

TWindowCanvas::TWindowCanvas(HWND window, bool wholeWindow) : window_(window), wholeWindow_(wholeWindow) {}

TWindowCanvas::~TWindowCanvas() { Release(); }

void TWindowCanvas::CreateHandle() {
    HDC dc = ownDc_.emplace(wholeWindow_ ? TWindowDC::WholeWindow(window_) : TWindowDC(window_));
    if (dc) SetHandle(dc);
    else ownDc_.reset();
}

void TWindowCanvas::Release() {
    if (!ownDc_) return;
    SetHandle(nullptr);
    ownDc_.reset();
}

TPaintCanvas::TPaintCanvas(HWND window) : paint_(window) { SetHandle(paint_); }

// The canvas lets go of the paint DC before the painting ends.
TPaintCanvas::~TPaintCanvas() { SetHandle(nullptr); }
