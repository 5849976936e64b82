// Drag and drop of controls inside the program. TControl::BeginDrag starts the drag manager:
// it captures the mouse, asks the control under the cursor whether it accepts the drag object
// (CM_DRAG with dmDragEnter/dmDragMove/dmDragLeave), shows the drag or no-drop cursor, drops on
// button release and cancels on Escape or lost capture. The drag object is current
// process-wide while the drag runs; derived drag objects carry the program's data.
#pragma once

#include <windows.h>

#include "winui/control_win.h"

// What the drag manager tells a control in CM_DRAG (WParam).
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmFindTarget };

class TDragObject;

// LParam of CM_DRAG. Pos is in screen coordinates; the target sets Accepted (and Result 1 for
// dmFindTarget when it is a target).
struct TDragRec {
    TDragObject* Source = nullptr;
    TControl* Target = nullptr;
    POINT Pos{};
    bool Accepted = false;
};

// The thing being dragged. The base carries the source control (may be null); derived
// objects add data (one value, a node ...).
class TDragObject {
public:
    explicit TDragObject(TControl* control = nullptr) : control_(control) {}
    virtual ~TDragObject();
    TDragObject(const TDragObject&) = delete;
    TDragObject& operator=(const TDragObject&) = delete;

    // The control the drag started from; null for a drag object without one.
    TControl* Control() const { return control_; }
    void SetControl(TControl* control) { control_ = control; }
    // The cursor while over a control that accepts (true) or refuses; X, Y in screen coordinates.
    virtual TCursor GetDragCursor(bool accepted, int x, int y);
    // Called when the drag ended: Target is the control dropped on (null when cancelled or
    // refused), Accepted whether it took the drop. The default tells the source (DoEndDrag).
    virtual void Finished(TControl* target, int x, int y, bool accepted);
    // Every mouse and key message the drag manager receives while this object is dragged,
    // before the manager handles it (a derived object may undo a button swap on button-up).
    virtual void DragMessage(const MSG& /*msg*/) {}
    // The drag manager frees objects it made itself (BeginDrag without OnStartDrag); objects
    // the program hands out through OnStartDrag stay the program's unless this is true.
    virtual bool AutoFree() const { return autoFree_; }
    void SetAutoFree(bool autoFree) { autoFree_ = autoFree; }

    // The current target and the last position (screen coordinates).
    TControl* DragTarget() const { return target_; }
    POINT DragPos() const { return pos_; }
    bool Cancelling() const { return cancelling_; }

private:
    friend class TDragManager;
    TControl* control_;
    TControl* target_ = nullptr;
    POINT pos_{};
    bool autoFree_ = false;
    bool cancelling_ = false;
};

// The drag object of the running drag; null when none runs.
TDragObject* CurrentDragObject();
// True while a drag runs (also while waiting for the threshold).
bool DragActive();
// Starts a drag of Object (taken over when its AutoFree is true) from Control. With Immediate
// false it starts only once the mouse moved Threshold pixels (default: SM_CXDRAG) with the
// button held; a release before that ends it silently and the control sees the button-up.
void BeginDragObject(TControl* control, TDragObject* object, bool immediate, int threshold = -1);
// Ends the running drag: with Drop, on the current target when it accepts; else cancelled.
void EndDragObject(bool drop);
// Cancels the running drag (as Escape does).
void CancelDrag();
// The message loop offers every message to the drag manager first (Escape cancels, mouse
// messages of the capture); true when the manager used it up.
bool DragFilterMessage(const MSG& msg);
// ~TControl: a source or target that goes away ends the drag (cancelled).
void DragControlDestroyed(TControl* control);
