// The simple standard controls of the framework: the windowless label, the group box, the
// bevelled panel that the program's bitmap panels build on, the scroll bar and the status bar,
// together with the enumerations that all standard controls share. Buttons, edits and lists
// are in std_buttons_win.h, std_edits_win.h and std_lists_win.h.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "winui/control_win.h"
#include "winui/form_win.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
// The frame of a standard control: only bsNone and bsSingle (a sunken client edge) apply.
using TBorderStyle = TFormBorderStyle;

// The DT_ flag of an alignment.
UINT AlignmentFlag(TAlignment alignment);
// The size of Text drawn with Font and the DT_ Flags (DT_CALCRECT is added); with
// DT_WORDBREAK the text is wrapped at Width.
SIZE MeasureText(TFont& font, const std::string& text, int width, UINT flags);
// Draws a 3-D frame of Width pixels inside Rect (top/left in TopColor, bottom/right in
// BottomColor) and shrinks Rect by it.
void Frame3D(TCanvas& canvas, RECT& rect, TColor topColor, TColor bottomColor, int width);

// A text on its parent's window, drawn with DrawText. With AutoSize the control takes the size
// of its text (with WordWrap only its height changes). An accelerator ("&x") focuses
// FocusControl.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    ~TLabel() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout layout);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);

    void WndProc(TMessage& msg) override;
    // Resizes the label to its text when AutoSize is on.
    void AdjustBounds();

protected:
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    UINT DrawFlags() const;

private:
    std::string DisplayText();

    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;
};

// A captioned frame around other controls (the BUTTON class with BS_GROUPBOX). Its children
// are aligned inside the frame, below the caption.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    RECT AlignRect() override;
    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
};

// A container with an outer and an inner bevel, a border between them and a caption drawn in
// the middle. Derived panels (the program's bitmap panels) replace Paint.
class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

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
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);

    // The client area less the border and the bevels.
    RECT AlignRect() override;
    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    // The colours of a bevel's top-left and bottom-right edges.
    void BevelColors(TBevelCut bevel, TColor& topColor, TColor& bottomColor) const;
    // Draws the caption into Rect, vertically centred, aligned by Alignment.
    void PaintCaption(const RECT& rect);
    void Changed();

private:
    TAlignment alignment_ = taCenter;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop,
                   scBottom, scEndScroll };
using TScrollEvent = std::function<void(TControl& sender, TScrollCode code, int& position)>;

// A scroll bar control (the SCROLLBAR class). User scrolling runs OnScroll, which may change
// the new position, then moves the thumb; every position change fires OnChange.
class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TScrollBarKind Kind() const { return kind_; }
    // Swaps width and height when the kind changes.
    void SetKind(TScrollBarKind kind);
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetMin(int min) { SetParams(position_, min, max_); }
    void SetMax(int max) { SetParams(position_, min_, max); }
    void SetPosition(int position) { SetParams(position, min_, max_); }
    // Raises Exception (ValueOutOfRange) when Max < Min; the position is clamped to Min..Max.
    void SetParams(int position, int min, int max);
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int change) { smallChange_ = change; }
    int LargeChange() const { return largeChange_; }
    void SetLargeChange(int change) { largeChange_ = change; }
    // The thumb size in units of the range (0: the system's square thumb).
    int PageSize() const { return pageSize_; }
    void SetPageSize(int pageSize);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    virtual void Change();
    virtual void Scroll(TScrollCode code, int& position);

private:
    void UpdateScrollInfo();
    void DoScroll(TMessage& msg);

    TScrollBarKind kind_ = sbHorizontal;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int smallChange_ = 1;
    int largeChange_ = 1;
    int pageSize_ = 0;
};

class TStatusBar;

// One part of a status bar.
class TStatusPanel {
public:
    explicit TStatusPanel(TStatusBar& owner) : owner_(owner) {}

    std::string Text() const { return text_; }
    // Repaints only this panel, and only when the text changed.
    void SetText(const std::string& text);
    int Width() const { return width_; }
    void SetWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TBevelCut Bevel() const { return bevel_; }
    void SetBevel(TBevelCut bevel);
    int Index() const;

private:
    TStatusBar& owner_;
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    TBevelCut bevel_ = bvLowered;
};

// A status bar (msctls_statusbar32) of panels side by side; the last panel takes the rest of
// the width. With SimplePanel it shows SimpleText over the whole width instead.
class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    // Raises Exception (ListIndexError) for an index out of range.
    TStatusPanel& Panels(int index) const;
    TStatusPanel& AddPanel();
    void DeletePanel(int index);
    void ClearPanels();

    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool simple);
    std::string SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& text);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool sizeGrip);
    // The rectangle of a panel in client coordinates (empty without a window).
    RECT PanelRect(int index);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void BoundsChanged() override;

private:
    friend class TStatusPanel;
    void UpdateParts();
    void UpdatePanelText(int index);

    std::vector<std::unique_ptr<TStatusPanel>> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
};
