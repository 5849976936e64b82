// The message record that window procedures of the framework pass around, and the private
// message numbers of the framework (CM_ notifications between controls, CN_ notifications
// reflected from a parent to the child control that caused them) and of the program.
#pragma once

#include <windows.h>

#include <cstdint>

// One window message on its way through TControl::WndProc. Handlers set Result.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Framework notifications. They are sent with TControl::Perform (never through the system), so
// windowless controls receive them too. Parameters are given per message.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;          // to a form whose window became active
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;        // to a form whose window lost the activation
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;         // WParam = virtual key; Result 1 = handled
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;        // WParam = character (accelerator); Result 1 = handled
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;      // LParam = the TWinControl* now focused (to the form)
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8; // the parent's font changed (ParentFont)
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;          // LParam = client point (MAKELPARAM); Result 0 = transparent
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;   // WParam = new visibility
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;       // LParam = the control (TControl*)
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;       // LParam = the control (TControl*)
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;    // 0xB018: WParam = group index, LParam = the button
constexpr UINT CM_ENTER = CM_BASE + 26;            // the control became the form's active control
constexpr UINT CM_EXIT = CM_BASE + 27;             // the control stopped being the active control
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;   // WParam = virtual key; Result 1 = the control takes it
constexpr UINT CM_RELEASE = CM_BASE + 33;          // posted to a form that frees itself (caFree)
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44; // WParam = the control, LParam = 1 inserted / 0 removed
constexpr UINT CM_CHILDKEY = CM_BASE + 46;          // WParam = virtual key, LParam = the focused control; Result 1 = handled
constexpr UINT CM_DRAG = CM_BASE + 47;              // WParam = TDragMessage, LParam = TDragRec* (drag_win.h)
constexpr UINT CM_HINTSHOW = CM_BASE + 48;          // LParam = THintInfo* (application_win.h); Result 1 = no hint
constexpr UINT CM_POPUPMENU = CM_BASE + 69;         // WParam = 0, LParam = screen point; Result 1 = shown

// The program's own private messages.
// Option change of the program's own controls: WParam = option bit (65535 = all), LParam = the control.
constexpr UINT UM_OPTIONCHANGED = 0xB065;
// Accelerator of a check box button, sent to its parent with the button in LParam.
constexpr UINT UM_BUTTONACCEL = 0xB064;
// Sent to the application window when a key press was not taken by a menu: WParam = virtual
// key, LParam = the shift state bits (TShiftState::Bits()); Result non-zero = a handler took it.
constexpr UINT UM_SHORTCUT = 0xAD09;

// Notifications reflected to the child control: a parent that receives WM_COMMAND,
// WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*, WM_HSCROLL ... from a child window of a framework
// control sends CN_BASE + that message number to the child control (same parameters), and
// answers with the child's Result.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
// Keyboard messages offered to the focused control before they are dispatched (shortcuts,
// dialog keys); Result non-zero = handled, the message is not dispatched.
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;

// Reads the signed client coordinates of a mouse message.
inline int MouseX(const TMessage& msg) { return static_cast<short>(LOWORD(msg.LParam)); }
inline int MouseY(const TMessage& msg) { return static_cast<short>(HIWORD(msg.LParam)); }
inline LPARAM PointToLParam(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }
