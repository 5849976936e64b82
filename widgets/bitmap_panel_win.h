// The panels that draw a bitmap behind their contents: TBitmapPanel, a windowed container
// (base TCustomBitmapPanel), and TGraphicPanel, a windowless panel (the main window's splitter
// bar). Both paint through DrawPanel: bevels, border, the bitmap tiled, stretched, centred or
// aligned to the form, and the caption. Their options are bits of one set (panel_layout.h);
// every change is announced with UM_OPTIONCHANGED to the panel.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "widgets/panel_layout.h"
#include "winui/control_win.h"
#include "winui/graphics_win.h"
#include "winui/std_controls_win.h"

// OnPaint of the panels: Rect is the area inside bevels and border; an assigned handler paints
// instead of the panel.
using TPanelPaintEvent = std::function<void(TControl& sender, TCanvas& canvas, const RECT& rect)>;

// What DrawPanel paints.
struct TPanelPaint {
    RECT Rect{};
    int BevelWidth = 1;
    int BorderWidth = 0;
    TBevelCut BevelOuter = bvRaised;
    TBevelCut BevelInner = bvNone;
    TAlignment Alignment = taCenter;
    uint32_t Options = 0;       // TPanelOption bits
    std::string Caption;
    TBitmap* Bitmap = nullptr;  // null or empty: none
    TColor Color = clBtnFace;   // clNone: no background fill
    POINT FormOffset{};         // the rectangle's distance from the form's client origin
};

// The shared panel-drawing routine, with the canvas's font for the caption.
void DrawPanel(TCanvas& canvas, const TPanelPaint& paint);
// The colours of a bevel's top-left and bottom-right edges.
void PanelBevelColors(TBevelCut bevel, TColor& topColor, TColor& bottomColor);

// The process-wide defaults that DefaultOptions applies: drawing bits (0-7) and a bitmap
// (null: none). The program's initialisation sets them.
void SetPanelDefaults(uint32_t options, const TBitmap* bitmap);
TBitmap* PanelDefaultBitmap();

// The options and the bitmap that both panels keep.
class TPanelLook {
public:
    bool Get(unsigned bit) const { return options_.Get(bit); }
    uint32_t Bits() const { return options_.Bits(); }
    // True when a bit changed. DefaultOptions set also takes the default bitmap.
    bool Set(unsigned bit, bool value);
    // Made on first access.
    TBitmap& Bitmap();
    TBitmap* BitmapOrNull() const { return bitmap_.get(); }
    // Null frees the bitmap; otherwise a copy.
    void SetBitmap(const TBitmap* bitmap);
    std::function<void()> OnBitmapChange;

private:
    TPanelOptions options_;
    std::unique_ptr<TBitmap> bitmap_;
};

class TCustomBitmapPanel : public TCustomPanel {
public:
    explicit TCustomBitmapPanel(TComponent* owner);
    ~TCustomBitmapPanel() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    bool Option(unsigned bit) const { return look_.Get(bit); }
    void SetOption(unsigned bit, bool value);
    bool Tiled() const { return Option(pnTiled); }
    void SetTiled(bool value) { SetOption(pnTiled, value); }
    bool Stretch() const { return Option(pnStretch); }
    void SetStretch(bool value) { SetOption(pnStretch, value); }
    bool AlignBitmapWidth() const { return Option(pnAlignBitmapWidth); }
    void SetAlignBitmapWidth(bool value) { SetOption(pnAlignBitmapWidth, value); }
    bool AlignBitmapHeight() const { return Option(pnAlignBitmapHeight); }
    void SetAlignBitmapHeight(bool value) { SetOption(pnAlignBitmapHeight, value); }
    bool BitmapTransparent() const { return Option(pnBitmapTransparent); }
    void SetBitmapTransparent(bool value) { SetOption(pnBitmapTransparent, value); }
    bool Transparent() const { return Option(pnTransparent); }
    void SetTransparent(bool value) { SetOption(pnTransparent, value); }
    bool AlignBitmapToForm() const { return Option(pnAlignBitmapToForm); }
    void SetAlignBitmapToForm(bool value) { SetOption(pnAlignBitmapToForm, value); }
    bool DefaultOptions() const { return Option(pnDefaultOptions); }
    void SetDefaultOptions(bool value) { SetOption(pnDefaultOptions, value); }
    // Painting goes through an off-screen bitmap, so that nothing flickers.
    bool Buffered() const { return Option(pnBuffered); }
    void SetBuffered(bool value) { SetOption(pnBuffered, value); }
    bool HandleFocus() const { return Option(pnHandleFocus); }
    void SetHandleFocus(bool value) { SetOption(pnHandleFocus, value); }
    // The panel is a popup window (owned by its form) instead of a child window.
    bool AsPopup() const { return Option(pnAsPopup); }
    void SetAsPopup(bool value) { SetOption(pnAsPopup, value); }

    TBitmap& Bitmap() { return look_.Bitmap(); }
    bool HasBitmap() const { return look_.BitmapOrNull() != nullptr; }
    void SetBitmap(const TBitmap* bitmap);

    // Extra room inside the bevels that aligned children leave free.
    int ClientBorder() const { return clientBorder_; }
    void SetClientBorder(int border);
    // While locked the panel neither paints nor aligns; unlocking repaints it whole.
    bool Locked() const { return locked_; }
    void SetLocked(bool locked);
    // With HandleFocus: the control that gets the focus when the panel does (a child clicked
    // becomes it).
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);

    TPanelPaintEvent OnPaint;

    RECT AlignRect() override;
    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    // The area inside bevels and border.
    RECT InnerRect();

private:
    void PaintOn(TCanvas& canvas);
    void PaintParentBackground(HDC dc);

    TPanelLook look_;
    int clientBorder_ = 0;
    bool locked_ = false;
    TWinControl* activeControl_ = nullptr;
};

class TBitmapPanel : public TCustomBitmapPanel {
public:
    explicit TBitmapPanel(TComponent* owner) : TCustomBitmapPanel(owner) {}
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

// A windowless panel painted like the bitmap panel in its own bounds.
class TGraphicPanel : public TGraphicControl {
public:
    explicit TGraphicPanel(TComponent* owner);
    ~TGraphicPanel() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    bool Option(unsigned bit) const { return look_.Get(bit); }
    // Bits 13, 14 and 16 belong to TBitmapPanel only and are kept without effect.
    void SetOption(unsigned bit, bool value);
    bool Tiled() const { return Option(pnTiled); }
    void SetTiled(bool value) { SetOption(pnTiled, value); }
    bool Stretch() const { return Option(pnStretch); }
    void SetStretch(bool value) { SetOption(pnStretch, value); }
    bool Transparent() const { return Option(pnTransparent); }
    void SetTransparent(bool value) { SetOption(pnTransparent, value); }
    bool AlignBitmapToForm() const { return Option(pnAlignBitmapToForm); }
    void SetAlignBitmapToForm(bool value) { SetOption(pnAlignBitmapToForm, value); }
    bool DefaultOptions() const { return Option(pnDefaultOptions); }
    void SetDefaultOptions(bool value) { SetOption(pnDefaultOptions, value); }

    TBitmap& Bitmap() { return look_.Bitmap(); }
    void SetBitmap(const TBitmap* bitmap);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut bevel);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut bevel);
    int BevelWidth() const { return bevelWidth_; }
    // Raises Exception (ValueOutOfRange) below 1.
    void SetBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    // Raises Exception (ValueOutOfRange) below 0.
    void SetBorderWidth(int width);

    TPanelPaintEvent OnPaint;

protected:
    void Paint() override;

private:
    TPanelLook look_;
    TAlignment alignment_ = taCenter;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
};
