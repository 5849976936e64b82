// The control classes of the window framework. TControl is anything with a place on a parent:
// position and size, alignment, visibility, text, font, colour, cursor, hint, mouse events and
// drag and drop, all reached through one virtual message procedure. TGraphicControl is
// windowless and lives on its parent's window, which forwards mouse and paint messages to it.
// TWinControl owns one window (HWND): a static window procedure finds the control object and
// hands the message to its WndProc; what the control leaves goes to DefWindowProc or, for a
// window of an existing class (BUTTON, EDIT, ...), to the class's own procedure.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/component.h"
#include "base/small_set.h"
#include "winui/canvas_win.h"
#include "winui/gdi_scope_win.h"
#include "winui/messages_win.h"

class TWinControl;
class TPopupMenu;
class TDragObject;
class TForm;
struct TDragRec;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSmallSet<TShiftStateItem>;
// The shift state of a mouse message's WParam (MK_xxx) plus the Alt key.
TShiftState MouseShiftState(WPARAM keys);
// The shift state of the keyboard now (GetKeyState).
TShiftState KeyboardShiftState();
// The shift state of a key message's LParam (Alt from the context bit) plus Shift and Ctrl.
TShiftState KeyDataToShiftState(LPARAM keyData);

// Cursor ids: 0 is the control's default, negative ids are the built-in cursors (the system's,
// or drawn by the framework where the system has none); positive ids are free for the program
// (TScreen::SetCursor, application_win.h).
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSize = -5;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// Control state bits (TControl::ControlState).
enum TControlStateItem { csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded,
                         csFocusing, csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle,
                         csDocking };
using TControlState = TSmallSet<TControlStateItem>;

// Control style bits (TControl::ControlStyle).
enum TControlStyleItem { csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents,
                         csFramed, csSetCaption, csOpaque, csDoubleClicks, csFixedWidth,
                         csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
                         csDisplayDragImage, csReflector, csActionClient, csMenuEvents,
                         csNeedsBorderPaint, csParentBackground };
using TControlStyle = TSmallSet<TControlStyleItem>;

// Event signatures. The sender comes first.
class TControl;
using TNotifyEvent = std::function<void(TControl& sender)>;
using TMouseEvent = std::function<void(TControl& sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TControl& sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TControl& sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TControl& sender, char& key)>;
using TDragOverEvent = std::function<void(TControl& sender, TDragObject& source, int x, int y,
                                          TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TControl& sender, TDragObject& source, int x, int y)>;
using TStartDragEvent = std::function<void(TControl& sender, TDragObject*& dragObject)>;
// Target is the control the drag ended on (null when cancelled or refused).
using TEndDragEvent = std::function<void(TControl& sender, TControl* target, int x, int y)>;
using TContextPopupEvent = std::function<void(TControl& sender, POINT mousePos, bool& handled)>;

// A control: anything with a place on a parent window. Coordinates are relative to the
// parent's client area (for a top-level form: the screen). A TControl without a window gets
// its messages from its parent TWinControl; Perform sends a message to any control directly.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // --- messages ---
    // Sends a message straight to WndProc and returns its Result.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The control's message procedure. Derived controls handle their messages and pass the
    // rest to the base class. The base handles mouse messages (events, clicks, automatic drag),
    // CM_ notifications, WM_CONTEXTMENU (PopupMenu) and CM_DRAG; everything else goes to
    // DefaultHandler.
    virtual void WndProc(TMessage& msg);
    // What nobody handled: nothing for windowless controls (Result 0); DefWindowProc or the
    // original window procedure for TWinControl.
    virtual void DefaultHandler(TMessage& msg);

    // --- parent and place ---
    TWinControl* Parent() const { return parent_; }
    // Moves the control into Parent's child list (null: out of any). A TWinControl's window is
    // created or re-parented accordingly.
    virtual void SetParent(TWinControl* parent);
    // The nearest TForm among the parents (or this control itself when it is a form).
    TForm* ParentForm();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
    // The client rectangle, from (0, 0); a windowed control asks its window.
    virtual RECT ClientRect();
    int ClientWidth() { RECT r = ClientRect(); return r.right - r.left; }
    int ClientHeight() { RECT r = ClientRect(); return r.bottom - r.top; }
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    virtual void SetClientSize(int width, int height);
    // Client coordinates of this control <-> screen coordinates.
    POINT ClientToScreen(POINT point);
    POINT ScreenToClient(POINT point);
    // The origin of the client area in screen coordinates.
    virtual POINT ClientOrigin();

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    // --- state ---
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to a top-level window visible too.
    virtual bool Showing();
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState state) { controlState_ = state; }
    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle style) { controlStyle_ = style; }

    // Caption and Text are one property (code page 1252). A windowed control keeps it in its
    // window; changes send CM_TEXTCHANGED.
    std::string Caption() { return GetText(); }
    void SetCaption(const std::string& text) { SetText(text); }
    std::string Text() { return GetText(); }
    void SetText(const std::string& text);

    // "short|long": the short part is the tooltip, the long part goes to Application.Hint.
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool parentShowHint);

    TFont& Font() { return *font_; }
    void SetFont(TFont& font) { font_->Assign(&font); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool parentColor);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }

    // --- painting and order ---
    virtual void Invalidate();
    // Invalidate and paint at once.
    virtual void Update();
    void Repaint();
    void Refresh() { Repaint(); }
    // Top or bottom of the parent's z-order (the child list order for windowless controls).
    void BringToFront();
    void SendToBack();

    // --- drag and drop inside the program (drag_win.h) ---
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode mode) { dragMode_ = mode; }
    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor cursor) { dragCursor_ = cursor; }
    // Starts dragging this control: at once, or once the mouse moved Threshold pixels with the
    // button held (a release before that is an ordinary click).
    void BeginDrag(bool immediate, int threshold = -1);
    // True while this control is the source of the running drag.
    bool Dragging() const;
    // Ends the running drag of this control: dropped on the current target when Drop and the
    // target accepts, cancelled otherwise.
    void EndDrag(bool drop);

    // --- events ---
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;

    // Fires OnClick (buttons override to add their action).
    virtual void Click();
    virtual void DblClick();

    // --- used by the drag manager, the hint display and the parent ---
    // Told of a drag over this control (dsDragEnter/Move/Leave); the default asks OnDragOver
    // and accepts only when it is set and agrees.
    virtual void DragOver(TDragObject& source, int x, int y, TDragState state, bool& accept);
    virtual void DragDrop(TDragObject& source, int x, int y);
    // Called on the source when its drag ended (Target null: cancelled or refused).
    virtual void DoEndDrag(TControl* target, int x, int y);
    // Called on the source when a drag starts; the default asks OnStartDrag.
    virtual void DoStartDrag(TDragObject*& dragObject);
    // Whether a drag over this control may go on to a control behind it (false: this is a target).
    virtual bool IsDragTarget() const { return true; }

    // Whether ShowHint applies (own value or, with ParentShowHint, the parent's).
    bool EffectiveShowHint();

protected:
    // The text store; TWinControl reads and writes its window.
    virtual std::string GetText();
    virtual void SetTextValue(const std::string& text);

    // Overridable event dispatchers.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Resize();
    // Called after the bounds changed (also for windowed controls after WM_SIZE/WM_MOVE).
    virtual void BoundsChanged();
    // The parent's font/colour changed and this control follows it.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    // Tells the parent that this control's place or visibility changed, so that it re-aligns.
    void RequestAlign();
    // Stores new bounds without moving anything (used when the window moved itself).
    void UpdateBoundsFromWindow(int left, int top, int width, int height);
    // Shows the popup menu at the screen point; true when a menu was shown.
    virtual bool DoContextPopup(POINT screenPoint);

    void SetParentField(TWinControl* parent) { parent_ = parent; }

    // The message handlers of WndProc. A derived control that extends one of these messages
    // overrides WndProc and calls the handler for the base behaviour.
    void CMDrag(TMessage& msg);
    void CMPopupMenu(TMessage& msg);

    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState controlState_;

    void Notification(TComponent* component, TOperation operation) override;

private:
    void HandleMouseMessage(TMessage& msg);
    void DragOverMessage(TDragRec& rec, POINT client, TDragState state, TMessage& msg);
    void FontChanged();
    bool fontFromParent_ = false;
    friend class TWinControl;

    TWinControl* parent_ = nullptr;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    int helpContext_ = 0;
    TDragMode dragMode_ = dmManual;
    TCursor dragCursor_ = crDrag;
};

// A windowless control painted on its parent's window. The parent forwards the mouse
// messages over the control's rectangle (in the control's coordinates) and paints it during
// its own WM_PAINT: Canvas then draws on the parent's device context, moved and clipped to
// the control. Outside painting, Canvas gets a device context of the parent window.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TCanvas& Canvas();
    void WndProc(TMessage& msg) override;

    // Paints the control now on the given parent context (origin moved to the control's
    // top-left, clipped to it); the parent calls this during its WM_PAINT.
    void PaintOn(HDC dc);

protected:
    // Draw with Canvas; the base paints nothing.
    virtual void Paint() {}

private:
    class TGraphicCanvas;
    std::unique_ptr<TGraphicCanvas> canvas_;
};

// The parameters with which a window is created; CreateParams fills them in.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    // The window class. A name that is not one of the framework's own registered classes
    // (BUTTON, EDIT, COMBOBOX, LISTBOX, SCROLLBAR, STATIC, msctls_statusbar32, RichEdit20A ...)
    // makes the window of that class, which is then subclassed: its messages reach WndProc
    // and DefaultHandler passes them to the class's procedure.
    std::string WinClassName;
    // Used only when the framework registers the class itself.
    UINT ClassStyle = CS_DBLCLKS;
    HCURSOR ClassCursor = nullptr;  // null: the arrow
    HBRUSH ClassBackground = nullptr;
    HICON ClassIcon = nullptr;
};

using TTabOrder = int;

// A control with its own window. The window is created on demand (Handle) with the
// parameters of CreateParams, after the parent's. Children (TControl) are kept in z-order;
// aligned children are placed by AlignControls whenever the client area or one of them changes.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    // Destroys the window and frees nothing else: the children belong to their owners, they
    // only lose their parent.
    ~TWinControl() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // The control object of a window made by the framework (own or subclassed), else null.
    static TWinControl* FindControl(HWND window);
    // The control at a window and, inside it, the windowless child under Point (client
    // coordinates of Window); null when the window is not the framework's.
    static TControl* FindDragTarget(POINT screenPoint, bool allowDisabled);

    // --- the window ---
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Creates the window (and the windows of the children) when it has none yet.
    void HandleNeeded();
    // Destroys the window and those of the children; the control keeps its state and makes a
    // new window on the next Handle.
    void DestroyHandle();
    // Destroys and creates the window again, e.g. after a style change.
    void RecreateWnd();
    // A parent window outside the framework (e.g. a form docked into another program's
    // window); the window becomes a child of it.
    HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND parent);

    void WndProc(TMessage& msg) override;
    void DefaultHandler(TMessage& msg) override;

    // --- children ---
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(index); }
    // Windowed children only, in z-order.
    std::vector<TWinControl*> WinControls() const;
    bool ContainsControl(TControl* control) const;
    // The visible (and, unless AllowDisabled, enabled) child at Point (client coordinates);
    // windowless children are found first, as they lie on top of the window.
    TControl* ControlAtPos(POINT point, bool allowDisabled, bool allowWinControls = false);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    // --- alignment ---
    // Places the aligned children in order: alTop (by Top), alBottom (by bottom edge, lowest
    // first), alLeft (by Left), alRight (by right edge), then alClient in what remains.
    void Realign();
    void DisableAlign();
    // Re-aligns when the last DisableAlign is undone.
    void EnableAlign();
    bool AlignDisabled() const { return alignDisabled_ > 0; }
    // The area that aligned children share (default: the client rectangle).
    virtual RECT AlignRect();

    // --- focus and keys ---
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);
    TTabOrder TabOrder() const;
    void SetTabOrder(TTabOrder order);
    // Windowed children in tab order.
    std::vector<TWinControl*> TabList() const;
    virtual bool CanFocus();
    bool Focused();
    virtual void SetFocus();
    // The next (or previous) control after Current that takes the focus, among this control's
    // descendants in tab order; null when none.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() override;
    POINT ClientOrigin() override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    bool Showing() override;
    void Invalidate() override;
    void Update() override;

    // Paints the windowless children that intersect the update area on Dc (the window's paint
    // context), after the window painted itself.
    void PaintControls(HDC dc, TControl* first = nullptr);
    // Brings Child (a windowless child) to the top or bottom of the windowless z-order.
    void SetChildOrder(TControl* child, int order);

    // The shortcut handling of a key press (WM_KEYDOWN, WM_SYSKEYDOWN) at this control: the
    // popup menus of the control and its parents, then the forms' menus (TForm::IsShortCut),
    // then the application (TApplication::IsShortCut). True when a shortcut took the key.
    virtual bool IsMenuKey(const TMessage& keyMsg);
    // Sends Msg to every child (windowless ones too) until one sets a non-zero Result.
    void Broadcast(TMessage& msg);
    // True while a Broadcast runs (a form told of a dialog key by its parent's broadcast
    // leaves the key to the form that asked).
    static bool Broadcasting();

    // Used by the form: this control became (lost) the active control.
    virtual void DoEnter();
    virtual void DoExit();

protected:
    // Fills in the creation parameters; derived classes call the base first and change what
    // they need (style bits, WinClassName for a standard control, ...).
    virtual void CreateParams(TCreateParams& params);
    // Creates the window from the creation parameters (registering or subclassing the class).
    virtual void CreateWnd();
    // Called right after the window exists: the default sends the font, text and enabled
    // state and creates the children's windows. Derived controls put their state into the
    // new window here (call the base).
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void InitializeWnd() {}
    // Before the window goes: derived controls take their state out of it here.
    virtual void DestroyWnd();

    // Keyboard dispatchers: KeyPreview forms see the keys first, then OnKeyDown ...
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void KeyUp(WORD& key, TShiftState shift);
    // Whether the control takes Key itself instead of the dialog handling (Tab, Enter, Escape,
    // arrows, and characters: key 0); the default asks WM_GETDLGCODE of the window, so a
    // control of its own that wants arrows or characters answers WM_GETDLGCODE with
    // DLGC_WANTARROWS / DLGC_WANTCHARS / DLGC_WANTTAB / DLGC_WANTALLKEYS.
    virtual bool WantsKey(WORD key);
    // The control's own window painting. The default lets the window class paint (for a
    // subclassed window) or fills the background with Color, then paints the windowless
    // children.
    virtual void PaintWindow(HDC dc);
    // Background erasing; the default fills with Color unless the control is csOpaque-drawn.
    virtual bool EraseBackground(HDC dc);
    // Aligns the children inside Rect (by the rules of Realign).
    virtual void AlignControls(TControl* control, RECT& rect);
    std::string GetText() override;
    void SetTextValue(const std::string& text) override;
    void BoundsChanged() override;
    void ParentFontChanged() override;
    void ParentColorChanged() override;
    // The brush for WM_CTLCOLOR* of this control (Color) with the font colour set on Dc.
    virtual HBRUSH ControlColor(HDC dc);
    HBRUSH ColorBrush();

    // True when the window is of a subclassed existing class.
    bool Subclassed() const { return defWndProc_ != nullptr; }
    WNDPROC DefWndProc() const { return defWndProc_; }

    // The message handlers of WndProc, one per message (or group of like messages). A derived
    // control that extends one of these messages overrides WndProc, does its part and calls
    // the handler (or TWinControl::WndProc) for the base behaviour. They are not virtual, so
    // that a derived class's own handler of the same name never turns into an override that
    // the base dispatch would call back.
    void WMChildNotification(TMessage& msg);  // WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR* ... of a child
    void CNCtlColor(TMessage& msg);
    void WMPaint(TMessage& msg);
    void WMEraseBkgnd(TMessage& msg);
    void WMWindowPosChanged(TMessage& msg);
    void WMSetFocus(TMessage& msg);
    void WMContextMenu(TMessage& msg);
    void WMSetCursor(TMessage& msg);
    void WMMouseLeave(TMessage& msg);
    void WMCaptureChanged(TMessage& msg);  // also WM_CANCELMODE
    void WMMouse(TMessage& msg);           // the mouse messages of the client area
    void WMKey(TMessage& msg);             // WM_KEYDOWN, WM_KEYUP and their WM_SYS forms
    void WMChar(TMessage& msg);
    void CNKeyDown(TMessage& msg);         // also CN_SYSKEYDOWN
    void CNChar(TMessage& msg);            // also CN_SYSCHAR
    void WMGetFont(TMessage& msg);
    void CMFontChanged(TMessage& msg);
    void CMColorChanged(TMessage& msg);

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window, WNDPROC original);
    void Detach();
    bool ReflectNotification(TMessage& msg);
    bool RouteMouseToChildren(TMessage& msg);
    bool OfferDialogKey(WORD key, LPARAM keyData);
    TWinControl* KeyPreviewForm();
    bool HandleSetCursor(TMessage& msg);
    void UpdateMouseControl(TMessage& msg);
    void CreateChildHandles();
    void AlignChildren();

    HWND handle_ = nullptr;
    HWND parentWindow_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    std::vector<TControl*> controls_;
    int alignDisabled_ = 0;
    bool alignPending_ = false;
    bool tabStop_ = false;
    TGdiObject<HBRUSH> colorBrush_;
    TColor colorBrushColor_ = clNone;
    TControl* mouseControl_ = nullptr;  // the windowless child under the mouse
    TControl* captureControl_ = nullptr; // the windowless child that holds the mouse
    bool trackingLeave_ = false;
    bool aligning_ = false;
    int tabOrder_ = -1;
    friend class TControl;
    friend TControl* GetCaptureControl();
    friend void SetCaptureControl(TControl* control);
};

// A windowed control that paints itself with a canvas: Paint runs on every WM_PAINT with
// Canvas on the paint device context.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TCanvas& Canvas();

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    class TCustomCanvas;
    std::unique_ptr<TCustomCanvas> canvas_;
};

// The windowed control under the mouse capture (SetCapture) of the framework, if any.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);

// Canvases of windowless and custom controls used outside a paint message hold a window device
// context; the message loop gives them back after each message.
void FreeControlCanvases();

// Runs Body and shows any exception through the application's error display instead of letting
// it out; used at every window-procedure boundary.
void GuardedCall(const std::function<void()>& body);
