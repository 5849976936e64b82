// The process-wide services of the windows and controls on Win32: the busy cursor, letting
// paint messages through, the held-input test, copying menu items, the cached icon and cursor
// sizes, and the thread mouse hook with its tracking list.
#pragma once

#include <windows.h>

#include "widgets/app_services.h"
#include "widgets/mouse_tracking.h"
#include "winui/control_win.h"
#include "winui/menu_win.h"

// The hourglass as screen cursor, nested; EndBusy without BeginBusy changes nothing.
void BeginBusy();
void EndBusy();
int BusyCount();

// Removes and dispatches the thread's pending WM_PAINT messages, at most 100.
void ProcessPaintMessages();

// True while the left or right mouse button or any key other than Shift, Ctrl and Alt is down.
bool IsInputHeld();

// Appends copies of all items of Source to Dest: caption, shortcut, checked and enabled state,
// click handler, help context, name, hint, tag, group index and copies of the sub-items. The
// copies belong to Dest (freed with it) and have no owner, so their names never clash.
void CopyMenuItems(TMenuItem& source, TMenuItem& dest);

// The icon and cursor sizes of the system (SM_CXICON, SM_CYICON, SM_CXCURSOR, SM_CYCURSOR),
// read once and again on every system setting change.
int IconWidth();
int IconHeight();
int CursorWidth();
int CursorHeight();
void RefreshSystemSizes();

// The mouse hook of the GUI thread (SetWindowsHookEx WH_MOUSE). Installing twice does nothing;
// failure raises Exception (MouseHookError).
void InstallMouseHook();
void RemoveMouseHook();
bool MouseHookInstalled();

// The tracking list: each mouse message of the thread is sent (Perform) to every control on it,
// from the last to the first, with the window under the mouse as WParam and the screen
// position of the mouse as LParam. Adding installs the hook when needed.
void AddTrackingControl(TControl* control);
void RemoveTrackingControl(TControl* control);
bool IsTrackingControl(const TControl* control);
TTrackingList& TrackingList();
// Whether Msg, received by Control, is one forwarded from the tracking list.
bool IsTrackedMouseMessage(const TControl* control, UINT msg);
// 1 left, 2 right, 4 middle (down or double click), 0 for other messages.
int TrackedMouseButton(UINT msg);
