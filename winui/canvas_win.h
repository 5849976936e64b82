// Drawing: colours, the font, pen and brush objects that own their GDI handles, and TCanvas,
// a drawing surface over a device context that selects its pen, brush and font on demand.
// Canvases exist for windows (paint and window device contexts), bitmaps and the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/persistent.h"
#include "base/small_set.h"
#include "winui/gdi_scope_win.h"

// 0x00BBGGRR; system colours are 0x80000000 + COLOR_xxx; clNone means no colour.
using TColor = int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000);
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// Resolves a system colour to its current RGB value; clNone and clDefault become black.
COLORREF ColorToRGB(TColor color);

class TCanvas;
class TGraphic;

// The base of TFont, TPen and TBrush: owns one GDI object, made on first use and dropped
// whenever a property changes; OnChange tells the owner (a control repaints, a canvas
// re-selects).
class TGraphicsObject : public TPersistent {
public:
    TGraphicsObject() = default;
    TGraphicsObject(const TGraphicsObject&) = delete;
    TGraphicsObject& operator=(const TGraphicsObject&) = delete;
    ~TGraphicsObject() override;

    std::function<void(TGraphicsObject& sender)> OnChange;
    // Called before the handle is deleted, so that a device context holding it selected can
    // let go of it first: a selected object must not be deleted.
    std::function<void(TGraphicsObject& sender)> OnFreeHandle;

protected:
    // Drops the handle and calls OnChange.
    void Changed();
    void FreeHandle();
    HGDIOBJ handle_ = nullptr;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSmallSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// A logical font. Height in pixels is negative for the character height (the usual form);
// Size is in points at the screen's pixels per inch.
class TFont : public TGraphicsObject {
public:
    TFont();
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // Copies name, height, style, colour, charset and pitch from another TFont (or raises).
    void Assign(TPersistent* source) override;
    // Takes the properties of a LOGFONT (the colour stays).
    void SetLogFont(const LOGFONTW& logFont);
    LOGFONTW LogFont() const;

    std::string Name() const { return name_; }
    void SetName(const std::string& name);
    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int height);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int CharSet() const { return charSet_; }
    void SetCharSet(int charSet);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);

    // Creates the font on first use; valid until the next property change.
    HFONT Handle();

    // The screen's logical pixels per inch (96 on most systems).
    static int PixelsPerInch();

private:
    std::string name_;
    int height_;
    TFontStyles style_;
    TColor color_ = clWindowText;
    int charSet_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = fpDefault;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
                pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };

class TPen : public TGraphicsObject {
public:
    void Assign(TPersistent* source) override;
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    // The raster operation of lines (SetROP2); it is no part of the GDI pen.
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);
    HPEN Handle();

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBitmap;

class TBrush : public TGraphicsObject {
public:
    ~TBrush() override;
    void Assign(TPersistent* source) override;
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    // A pattern brush from a copy of Bitmap (null: back to colour and style).
    void SetBitmap(const TBitmap* bitmap);
    bool HasBitmap() const { return patternBitmap_ != nullptr; }
    // A null brush for bsClear.
    HBRUSH Handle();

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    HBITMAP patternBitmap_ = nullptr;
};

// Raster operations of CopyRect and Draw (BitBlt codes).
using TCopyMode = DWORD;

// Drawing on a device context. The pen, brush and font are selected into the context on the
// first operation that needs them and again after they changed; the previous objects are put
// back when the handle is released. Coordinates are in the context's logical units.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The device context; a canvas that acquires its own (window, bitmap) does so here.
    HDC Handle();
    // Takes a device context owned by someone else (null: lets the current one go).
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }
    TFont& Font() { return font_; }
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }
    POINT PenPos();
    void SetPenPos(POINT pos) { MoveTo(pos.x, pos.y); }
    RECT ClipRect();

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Outlined with the pen and filled with the brush; right and bottom are exclusive.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const RECT& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const RECT& rect) { Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
    void Polygon(const std::vector<POINT>& points);
    void Polyline(const std::vector<POINT>& points);
    // With the brush only.
    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void DrawFocusRect(const RECT& rect);
    // Flood fill from (x, y) with the brush over the area of Color (fsSurface) or up to it (fsBorder).
    enum TFillStyle { fsSurface, fsBorder };
    void FloodFill(int x, int y, TColor color, TFillStyle style);

    // Text in code page 1252. The background is filled with the brush colour unless the brush
    // style is bsClear (transparent text).
    void TextOut(int x, int y, const std::string& text);
    // Text at (x, y) clipped to Rect; the rectangle is filled first unless the brush is clear.
    void TextRect(const RECT& rect, int x, int y, const std::string& text);
    // DrawText with DT_xxx flags; with DT_CALCRECT Rect receives the size. Returns the height.
    int DrawText(const std::string& text, RECT& rect, UINT flags);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

    // Pictures: Draw at (x, y) in the graphic's own size, StretchDraw into Rect.
    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const RECT& rect, TGraphic& graphic);
    // BitBlt/StretchBlt from Source with CopyMode.
    void CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect);
    void BrushCopy(const RECT& dest, TBitmap& bitmap, const RECT& sourceRect, TColor transparentColor);

    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Nested locking for canvases shared between paint code paths of one thread.
    void Lock() { ++lockCount_; }
    void Unlock() { if (lockCount_ > 0) --lockCount_; }
    int LockCount() const { return lockCount_; }

    // Puts the default objects back into the context (before the context goes away).
    void DeselectObjects();
    void Unselect(HGDIOBJ& old, int state);

    std::function<void(TCanvas& sender)> OnChange;
    std::function<void(TCanvas& sender)> OnChanging;

protected:
    // Canvases that own their context create it here; the base has none.
    virtual void CreateHandle() {}
    // Called before the context is let go.
    void FreeHandleState();
    void Changing();
    void Changed();

private:
    enum { csPen = 1, csBrush = 2, csFont = 4 };
    void RequireState(int state);
    void SelectPen();
    void SelectBrush();
    void SelectFont();

    HDC dc_ = nullptr;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    TCopyMode copyMode_ = SRCCOPY;
    int state_ = 0;
    int lockCount_ = 0;
    HGDIOBJ oldPen_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
};

// Paints pixel art at the canvas's top left: each character of Rows (RowCount rows of one
// length) is one pixel in the colour Palette gives it, '.' leaves the pixel as it is. Rows of
// different lengths are refused (InvalidArgument).
void PaintPixelRows(TCanvas& canvas, const char* const* rows, int rowCount, TColor (*palette)(char));

// The canvas of a whole window (GetWindowDC) or of its client area (GetDC); released with
// ReleaseDC when the canvas is freed or Release is called.
class TWindowCanvas : public TCanvas {
public:
    explicit TWindowCanvas(HWND window, bool wholeWindow = false);
    ~TWindowCanvas() override;
    void Release();

protected:
    void CreateHandle() override;

private:
    HWND window_;
    bool wholeWindow_;
    std::optional<TWindowDC> ownDc_;
};

// The canvas of a paint message: BeginPaint on construction, EndPaint on destruction.
class TPaintCanvas : public TCanvas {
public:
    explicit TPaintCanvas(HWND window);
    ~TPaintCanvas() override;
    const PAINTSTRUCT& PaintStruct() const { return paint_.Paint(); }

private:
    TPaintDC paint_;
};

// The canvas of the whole screen (GetDC(null)).
class TScreenCanvas : public TWindowCanvas {
public:
    TScreenCanvas() : TWindowCanvas(nullptr) {}
};
