#include "widgets/bitmap_panel_win.h"

#include <algorithm>
#include <climits>

#include "base/exception.h"
#include "base/string_ids.h"
#include "winui/form_win.h"
#include "winui/gdi_scope_win.h"

namespace {

// Kept as long as the process (not freed at exit, after the graphics objects it uses).
TBitmap*& DefaultBitmap() {
    static TBitmap* bitmap = nullptr;
    return bitmap;
}

void CheckAtLeast(int value, int minimum) {
    if (value < minimum) throw Exception(sid::ValueOutOfRange, {int64_t{value}, int64_t{minimum}, int64_t{INT_MAX}});
}

bool Has(uint32_t options, unsigned bit) { return (options & PanelBit(bit)) != 0; }

// Tiles the bitmap over Rect from the origin the options ask for, skipping tiles outside
// the clip region.
void DrawTiled(TCanvas& canvas, const TPanelPaint& paint, TBitmap& bitmap) {
    const RECT& rect = paint.Rect;
    const int tileWidth = bitmap.Width(), tileHeight = bitmap.Height();
    const int x0 = rect.left + TileStart(rect.right - rect.left, tileWidth, Has(paint.Options, pnAlignBitmapToForm),
                                         paint.FormOffset.x + rect.left, Has(paint.Options, pnAlignBitmapWidth));
    const int y0 = rect.top + TileStart(rect.bottom - rect.top, tileHeight, Has(paint.Options, pnAlignBitmapToForm),
                                        paint.FormOffset.y + rect.top, Has(paint.Options, pnAlignBitmapHeight));
    const bool transparent = Has(paint.Options, pnBitmapTransparent);
    const bool noColor = paint.Color == clNone;
    const TColor key = bitmap.TransparentColor();
    const RECT whole{0, 0, tileWidth, tileHeight};
    // With a background colour a transparent tile is made once: the background with the
    // bitmap drawn over it.
    std::unique_ptr<TBitmap> tile;
    if (transparent && !noColor) {
        tile = std::make_unique<TBitmap>(tileWidth, tileHeight);
        tile->Canvas().Brush().SetColor(paint.Color);
        tile->Canvas().FillRect(whole);
        tile->Canvas().BrushCopy(whole, bitmap, whole, key);
    }
    HDC dc = canvas.Handle();
    HDC source = tile ? tile->Canvas().Handle() : bitmap.Canvas().Handle();
    canvas.DeselectObjects();
    TSavedDC saved(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    if (HPALETTE palette = bitmap.Palette()) {
        SelectPalette(dc, palette, TRUE);
        RealizePalette(dc);
    }
    for (int y = y0; y < rect.bottom; y += tileHeight)
        for (int x = x0; x < rect.right; x += tileWidth) {
            RECT target{x, y, x + tileWidth, y + tileHeight};
            if (!RectVisible(dc, &target)) continue;
            if (transparent && noColor) canvas.BrushCopy(target, bitmap, whole, key);
            else BitBlt(dc, x, y, tileWidth, tileHeight, source, 0, 0, SRCCOPY);
        }
    // The canvas's own selections go before the saved state comes back.
    canvas.DeselectObjects();
}

void DrawStretched(TCanvas& canvas, const TPanelPaint& paint, TBitmap& bitmap) {
    const RECT whole{0, 0, bitmap.Width(), bitmap.Height()};
    if (Has(paint.Options, pnBitmapTransparent) || paint.Color == clNone) {
        canvas.BrushCopy(paint.Rect, bitmap, whole, bitmap.TransparentColor());
        return;
    }
    HDC dc = canvas.Handle();
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, paint.Rect.left, paint.Rect.top, paint.Rect.right - paint.Rect.left,
               paint.Rect.bottom - paint.Rect.top, bitmap.Canvas().Handle(), 0, 0, whole.right, whole.bottom, SRCCOPY);
}

void DrawAtOwnSize(TCanvas& canvas, const TPanelPaint& paint, TBitmap& bitmap) {
    const RECT& rect = paint.Rect;
    const bool noColor = paint.Color == clNone;
    if (!noColor) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(paint.Color);
        canvas.FillRect(rect);
    }
    const int x = rect.left + PlaceBitmap(rect.right - rect.left, bitmap.Width(), Has(paint.Options, pnAlignBitmapWidth));
    const int y = rect.top + PlaceBitmap(rect.bottom - rect.top, bitmap.Height(), Has(paint.Options, pnAlignBitmapHeight));
    const RECT target{x, y, x + bitmap.Width(), y + bitmap.Height()};
    const RECT whole{0, 0, bitmap.Width(), bitmap.Height()};
    if (Has(paint.Options, pnBitmapTransparent) || noColor) {
        canvas.BrushCopy(target, bitmap, whole, bitmap.TransparentColor());
    } else {
        BitBlt(canvas.Handle(), x, y, whole.right, whole.bottom, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
    }
}

void DrawPanelCaption(TCanvas& canvas, const TPanelPaint& paint, const RECT& area) {
    if (paint.Caption.empty()) return;
    canvas.Brush().SetStyle(bsClear);
    const int height = canvas.TextHeight("W");
    RECT rect = area;
    rect.top = area.top + (area.bottom - area.top - height) / 2;
    rect.bottom = rect.top + height;
    canvas.DrawText(paint.Caption, rect, DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | AlignmentFlag(paint.Alignment));
    canvas.Brush().SetStyle(bsSolid);
}

POINT OffsetFromForm(TControl& control) {
    TForm* form = control.ParentForm();
    if (!form || form == &control || !form->HandleAllocated()) return POINT{0, 0};
    const POINT mine = control.ClientOrigin(), its = form->ClientOrigin();
    return POINT{mine.x - its.x, mine.y - its.y};
}

}  // namespace

void PanelBevelColors(TBevelCut bevel, TColor& topColor, TColor& bottomColor) {
    switch (bevel) {
    case bvLowered:
        topColor = clBtnShadow;
        bottomColor = clBtnHighlight;
        break;
    case bvRaised:
        topColor = clBtnHighlight;
        bottomColor = clBtnShadow;
        break;
    default:
        topColor = bottomColor = clBtnFace;
        break;
    }
}

void DrawPanel(TCanvas& canvas, const TPanelPaint& paint) {
    TBitmap* bitmap = paint.Bitmap && !paint.Bitmap->Empty() ? paint.Bitmap : nullptr;
    const bool noColor = paint.Color == clNone;
    bool drawn = false;
    if (bitmap) {
        if (Has(paint.Options, pnTiled)) DrawTiled(canvas, paint, *bitmap);
        else if (Has(paint.Options, pnStretch)) DrawStretched(canvas, paint, *bitmap);
        else DrawAtOwnSize(canvas, paint, *bitmap);
        drawn = true;
    }
    RECT rect = paint.Rect;
    TColor top, bottom;
    if (paint.BevelOuter != bvNone) {
        PanelBevelColors(paint.BevelOuter, top, bottom);
        Frame3D(canvas, rect, top, bottom, paint.BevelWidth);
    }
    if (paint.BorderWidth > 0) {
        if (!drawn && !noColor) Frame3D(canvas, rect, paint.Color, paint.Color, paint.BorderWidth);
        else InflateRect(&rect, -paint.BorderWidth, -paint.BorderWidth);
    }
    if (paint.BevelInner != bvNone) {
        PanelBevelColors(paint.BevelInner, top, bottom);
        Frame3D(canvas, rect, top, bottom, paint.BevelWidth);
    }
    if (!drawn && !noColor) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(paint.Color);
        canvas.FillRect(rect);
    }
    DrawPanelCaption(canvas, paint, rect);
}

void SetPanelDefaults(uint32_t options, const TBitmap* bitmap) {
    SetPanelDefaultOptions(options);
    delete DefaultBitmap();
    DefaultBitmap() = nullptr;
    if (!bitmap || bitmap->Empty()) return;
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(const_cast<TBitmap*>(bitmap));
    DefaultBitmap() = copy.release();
}

TBitmap* PanelDefaultBitmap() { return DefaultBitmap(); }

// --- TPanelLook ---

bool TPanelLook::Set(unsigned bit, bool value) {
    const bool changed = options_.Set(bit, value);
    if (bit == pnDefaultOptions && value) {
        SetBitmap(PanelDefaultBitmap());
        return true;
    }
    return changed;
}

TBitmap& TPanelLook::Bitmap() {
    if (!bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->OnChange = [this](TGraphic&) {
            if (OnBitmapChange) OnBitmapChange();
        };
    }
    return *bitmap_;
}

void TPanelLook::SetBitmap(const TBitmap* bitmap) {
    if (!bitmap) bitmap_.reset();
    else Bitmap().Assign(const_cast<TBitmap*>(bitmap));
    if (OnBitmapChange) OnBitmapChange();
}

// --- TCustomBitmapPanel ---

const TClassInfo& TCustomBitmapPanel::StaticClass() {
    static const TClassInfo info{"TCustomBitmapPanel", &TCustomPanel::StaticClass(), {}, {}};
    return info;
}

const TClassInfo& TBitmapPanel::StaticClass() {
    static const TClassInfo info{"TBitmapPanel", &TCustomBitmapPanel::StaticClass(), {}, {}};
    return info;
}

TCustomBitmapPanel::TCustomBitmapPanel(TComponent* owner) : TCustomPanel(owner) {
    look_.OnBitmapChange = [this] { Invalidate(); };
    if (PanelDefaultBitmap()) look_.SetBitmap(PanelDefaultBitmap());
}

TCustomBitmapPanel::~TCustomBitmapPanel() {
    look_.OnBitmapChange = nullptr;
    if (activeControl_) activeControl_->RemoveFreeNotification(this);
}

void TCustomBitmapPanel::SetOption(unsigned bit, bool value) {
    if (!look_.Set(bit, value)) return;
    if (bit <= 7 || bit == pnDefaultOptions || bit == pnBuffered) Invalidate();
    if (bit == pnHandleFocus && !value) SetActiveControl(nullptr);
    if (bit == pnAsPopup) RecreateWnd();
    Perform(UM_OPTIONCHANGED, bit, reinterpret_cast<LPARAM>(this));
}

void TCustomBitmapPanel::SetBitmap(const TBitmap* bitmap) { look_.SetBitmap(bitmap); }

void TCustomBitmapPanel::SetClientBorder(int border) {
    CheckAtLeast(border, 0);
    if (border == clientBorder_) return;
    clientBorder_ = border;
    Realign();
    Invalidate();
}

void TCustomBitmapPanel::SetLocked(bool locked) {
    if (locked == locked_) return;
    locked_ = locked;
    if (locked) DisableAlign();
    if (HandleAllocated()) SendMessageW(Handle(), WM_SETREDRAW, locked ? FALSE : TRUE, 0);
    if (!locked) {
        EnableAlign();
        if (HandleAllocated())
            RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    }
}

void TCustomBitmapPanel::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) return;
    if (control && !ContainsControl(control)) return;
    if (activeControl_) activeControl_->RemoveFreeNotification(this);
    activeControl_ = HandleFocus() ? control : nullptr;
    if (activeControl_) activeControl_->FreeNotification(this);
}

void TCustomBitmapPanel::Notification(TComponent* component, TOperation operation) {
    TCustomPanel::Notification(component, operation);
    if (operation == opRemove && component == activeControl_) activeControl_ = nullptr;
}

RECT TCustomBitmapPanel::AlignRect() {
    RECT rect = TCustomPanel::AlignRect();
    InflateRect(&rect, -clientBorder_, -clientBorder_);
    return rect;
}

RECT TCustomBitmapPanel::InnerRect() {
    RECT rect = ClientRect();
    int inset = BorderWidth();
    if (BevelOuter() != bvNone) inset += BevelWidth();
    if (BevelInner() != bvNone) inset += BevelWidth();
    InflateRect(&rect, -inset, -inset);
    return rect;
}

void TCustomBitmapPanel::CreateParams(TCreateParams& params) {
    TCustomPanel::CreateParams(params);
    if (!AsPopup()) return;
    // A popup panel is a window of its own, owned by the form, at screen coordinates.
    params.Style = (params.Style & ~(WS_CHILD | WS_CLIPSIBLINGS)) | WS_POPUP;
    params.ExStyle |= WS_EX_TOOLWINDOW;
    TForm* form = ParentForm();
    params.WndParent = form && form->HandleAllocated() ? form->Handle() : nullptr;
}

void TCustomBitmapPanel::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_SETFOCUS:
        // The panel hands the focus on to the control it keeps.
        if (HandleFocus() && activeControl_ && activeControl_->CanFocus()) {
            DefaultHandler(msg);
            activeControl_->SetFocus();
            return;
        }
        break;
    case WM_PARENTNOTIFY:
        if (HandleFocus() && LOWORD(msg.WParam) == WM_LBUTTONDOWN) {
            POINT p{MouseX(msg), MouseY(msg)};
            HWND child = ChildWindowFromPointEx(Handle(), p, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
            TWinControl* control = FindControl(child);
            if (control && control != this && control->CanFocus()) SetActiveControl(control);
        }
        break;
    default:
        break;
    }
    TCustomPanel::WndProc(msg);
}

void TCustomBitmapPanel::Paint() {
    if (locked_) return;
    if (!Buffered()) {
        PaintOn(Canvas());
        return;
    }
    const RECT client = ClientRect();
    TBitmap buffer(std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
    buffer.Canvas().Font().Assign(&Font());
    PaintOn(buffer.Canvas());
    BitBlt(Canvas().Handle(), 0, 0, client.right, client.bottom, buffer.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TCustomBitmapPanel::PaintOn(TCanvas& canvas) {
    if (Transparent() && !AsPopup()) PaintParentBackground(canvas.Handle());
    if (OnPaint) {
        OnPaint(*this, canvas, InnerRect());
        return;
    }
    TPanelPaint paint;
    paint.Rect = ClientRect();
    paint.BevelWidth = BevelWidth();
    paint.BorderWidth = BorderWidth();
    paint.BevelOuter = BevelOuter();
    paint.BevelInner = BevelInner();
    paint.Alignment = Alignment();
    paint.Options = look_.Bits();
    paint.Caption = Caption();
    paint.Bitmap = look_.BitmapOrNull();
    paint.Color = Transparent() ? clNone : Color();
    paint.FormOffset = OffsetFromForm(*this);
    DrawPanel(canvas, paint);
}

// The parent paints its background and windowless controls into Dc, moved so that the part
// under this panel lands in it.
void TCustomBitmapPanel::PaintParentBackground(HDC dc) {
    TWinControl* parent = Parent();
    if (!parent || !parent->HandleAllocated()) return;
    RECT clip = ClientRect();
    if (BevelOuter() != bvNone) InflateRect(&clip, -BevelWidth(), -BevelWidth());
    TSavedDC saved(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x - Left(), origin.y - Top(), nullptr);
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

// --- TGraphicPanel ---

const TClassInfo& TGraphicPanel::StaticClass() {
    static const TClassInfo info{"TGraphicPanel", &TGraphicControl::StaticClass(), {}, {}};
    return info;
}

TGraphicPanel::TGraphicPanel(TComponent* owner) : TGraphicControl(owner) {
    controlStyle_ += csOpaque;
    SetColor(clBtnFace);
    SetBounds(0, 0, 100, 40);
    look_.OnBitmapChange = [this] { Invalidate(); };
    if (PanelDefaultBitmap()) look_.SetBitmap(PanelDefaultBitmap());
}

TGraphicPanel::~TGraphicPanel() { look_.OnBitmapChange = nullptr; }

void TGraphicPanel::SetOption(unsigned bit, bool value) {
    if (!look_.Set(bit, value)) return;
    if (bit == pnTransparent) {
        if (value) controlStyle_ -= csOpaque;
        else controlStyle_ += csOpaque;
    }
    if (bit <= 7 || bit == pnDefaultOptions) Invalidate();
    Perform(UM_OPTIONCHANGED, bit, reinterpret_cast<LPARAM>(this));
}

void TGraphicPanel::SetBitmap(const TBitmap* bitmap) { look_.SetBitmap(bitmap); }

void TGraphicPanel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void TGraphicPanel::SetBevelInner(TBevelCut bevel) {
    bevelInner_ = bevel;
    Invalidate();
}

void TGraphicPanel::SetBevelOuter(TBevelCut bevel) {
    bevelOuter_ = bevel;
    Invalidate();
}

void TGraphicPanel::SetBevelWidth(int width) {
    CheckAtLeast(width, 1);
    bevelWidth_ = width;
    Invalidate();
}

void TGraphicPanel::SetBorderWidth(int width) {
    CheckAtLeast(width, 0);
    borderWidth_ = width;
    Invalidate();
}

void TGraphicPanel::Paint() {
    TCanvas& canvas = Canvas();
    if (OnPaint) {
        RECT inner = ClientRect();
        int inset = borderWidth_ + (bevelOuter_ != bvNone ? bevelWidth_ : 0) + (bevelInner_ != bvNone ? bevelWidth_ : 0);
        InflateRect(&inner, -inset, -inset);
        OnPaint(*this, canvas, inner);
        return;
    }
    TPanelPaint paint;
    paint.Rect = ClientRect();
    paint.BevelWidth = bevelWidth_;
    paint.BorderWidth = borderWidth_;
    paint.BevelOuter = bevelOuter_;
    paint.BevelInner = bevelInner_;
    paint.Alignment = alignment_;
    paint.Options = look_.Bits();
    paint.Caption = Caption();
    paint.Bitmap = look_.BitmapOrNull();
    paint.Color = Transparent() ? clNone : Color();
    paint.FormOffset = OffsetFromForm(*this);
    DrawPanel(canvas, paint);
}
