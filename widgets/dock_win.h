// The docking toolbars. TDock is a strip on one side of a panel (aligned to that side) that
// lays its toolbars out in rows and takes as much room across as its rows need (none when it
// is empty). TToolbar is a bar of speed buttons and separators with a caption: docked it shows
// a gripper by which it is dragged to another place or dock, or off every dock into a small
// tool window of its own (TFloatingToolWindow), from which it is dragged back or docked again
// by a double click on the caption. Positions are saved and loaded through the four callbacks
// of toolbar_layout.h.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "widgets/toolbar_layout.h"
#include "winui/control_win.h"
#include "winui/form_win.h"

class TToolbar;

class TDock : public TCustomControl {
public:
    explicit TDock(TComponent* owner);
    ~TDock() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TDockPosition Position() const { return position_; }
    // Aligns the dock to its side of the parent.
    void SetPosition(TDockPosition position);
    bool Vertical() const { return position_ == dpLeft || position_ == dpRight; }

    // The docked toolbars, in child order.
    std::vector<TToolbar*> Toolbars() const;
    // Places the visible toolbars (but Leaving) by their rows and offsets and takes the
    // thickness of the rows. Rows are renumbered as they are shown; offsets keep what was
    // asked for, so that a toolbar pushed aside goes back when there is room again.
    void LayoutToolbars(TToolbar* leaving = nullptr);
    // The thickness of each row of the last layout.
    const std::vector<int>& RowThickness() const { return rowThickness_; }
    // The screen area in which a dragged toolbar docks here: the dock, or a band at its side
    // of the parent while it is empty.
    RECT DropArea();

    // Every dock whose form is Form.
    static std::vector<TDock*> DocksOf(TForm* form);
    // The dock of Form with Name (case-insensitive); null when none.
    static TDock* FindDock(TForm* form, const std::string& name);
    void WndProc(TMessage& msg) override;

protected:
    void Paint() override;
    void BoundsChanged() override;

private:
    TDockPosition position_ = dpTop;
    std::vector<int> rowThickness_;
    bool laying_ = false;
};

// A thin etched line between groups of buttons.
class TToolbarSeparator : public TGraphicControl {
public:
    explicit TToolbarSeparator(TComponent* owner);
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

protected:
    void Paint() override;
};

class TFloatingToolWindow;

class TToolbar : public TCustomControl {
public:
    explicit TToolbar(TComponent* owner);
    ~TToolbar() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // The dock it sits in; null while floating (or before it was docked).
    TDock* Dock() const { return dynamic_cast<TDock*>(Parent()); }
    bool Floating() const { return floating_; }
    // The dock it goes back to from floating (its last dock).
    TDock* LastDock() const { return lastDock_; }
    void SetLastDock(TDock* dock);
    int DockRow() const { return dockRow_; }
    void SetDockRow(int row) { dockRow_ = row; }
    int DockPos() const { return dockPos_; }
    void SetDockPos(int offset) { dockPos_ = offset; }
    // Whether its floating window has a close box (closing hides the toolbar).
    bool CloseButton() const { return closeButton_; }
    void SetCloseButton(bool closeButton);
    // Screen position of the floating window's client area.
    POINT FloatPos() const { return floatPos_; }

    // Into Dock at Row and Offset; with NewRow a row is inserted there (the rows from Row
    // on move one further). Raises Exception (ToolbarDockError) without a dock.
    void DockTo(TDock* dock, int row, int offset, bool newRow = false);
    // Out of the dock into its tool window, whose client area starts at Screen (kept on the
    // work area).
    void FloatAt(POINT screen);
    TFloatingToolWindow* FloatingWindow() const { return window_.get(); }

    void SetVisible(bool visible) override;

    // The size it takes: along the line of buttons and across it, for a vertical dock, a
    // horizontal one, or floating.
    SIZE NaturalSize(bool vertical, bool floating);
    // Places the buttons and separators in a line.
    void ArrangeControls();

    TToolbarPlacement Placement() const;

    // Fired when the toolbar was shown or hidden (also by closing its floating window).
    TNotifyEvent OnVisibleChanged;
    // Fired after it was docked, moved or floated by the user.
    TNotifyEvent OnMoved;

    void WndProc(TMessage& msg) override;

    // The form whose docks it goes into.
    TForm* HomeForm();
    // Starts dragging from Screen (a press on the gripper or the bar itself, or on the floating
    // window's caption): the toolbar holds the mouse until the button is released, then docks
    // where the mouse is over a dock of its form, or floats there. Escape or losing the mouse
    // cancels; a move shorter than the system's drag distance changes nothing.
    void BeginDrag(POINT screen);
    bool DragRunning() const { return drag_ != nullptr; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void AlignControls(TControl* control, RECT& rect) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    class TDrag;
    bool Vertical() const;
    // After the own size may have changed: the dock lays out again, or the window fits.
    void SizeChanged();
    void EndDrag(bool apply);
    bool DragMessage(TMessage& msg);

    int dockRow_ = 0;
    int dockPos_ = 0;
    bool closeButton_ = true;
    bool floating_ = false;
    POINT floatPos_{100, 100};
    TDock* lastDock_ = nullptr;
    TForm* homeForm_ = nullptr;
    std::unique_ptr<TFloatingToolWindow> window_;
    std::unique_ptr<TDrag> drag_;
    bool arranging_ = false;
};

// The small tool window a floating toolbar sits in. Its caption is the toolbar's; dragging the
// caption drags the toolbar (it may dock), a double click docks it back into its last dock.
class TFloatingToolWindow : public TForm {
public:
    TFloatingToolWindow(TToolbar& toolbar, TForm* home);
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    void WndProc(TMessage& msg) override;
    // Sizes the window around the toolbar (and wide enough for the caption).
    void FitToolbar();
    // Shows the window without taking the activation from the form.
    void ShowInactive();

protected:
    void CreateParams(TCreateParams& params) override;
    void DoClose(TCloseAction& action) override;

private:
    void WMNCLButtonDown(TMessage& msg);
    void WMNCLButtonDblClk(TMessage& msg);

    TToolbar& toolbar_;
    TForm* home_;
};

// Every toolbar owned (at any depth) by Window: its position is saved under its name, or
// loaded and applied. Loading applies every toolbar it can and then raises Exception
// (ToolbarPositionError, ToolbarDockError) for the first one whose values were bad or named
// an unknown dock; that toolbar keeps its place.
void SaveToolbarPositions(TComponent* window, const TToolbarPositionStore& store);
void LoadToolbarPositions(TComponent* window, const TToolbarPositionStore& store);
