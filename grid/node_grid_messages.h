// The messages a node grid sends to the node of the row concerned, so that node classes can
// draw, edit, size, colour and accept drops for themselves, and the records some of them carry.
// A node class handles those it wants in its Dispatch; unhandled messages answer 0. Portable:
// records hold only plain values; the Win32 objects some messages carry (the drawing record,
// the in-place editor, the drag object) are passed as pointers the node casts back.
#pragma once

#include <cstdint>

// LParam: the popup menu's item list (TMenuItem*). Result 1: the node filled the menu.
// (NM_NODEMENU 0xA01 itself is declared with the node.)

// LParam: TGridKeyInfo*. The node may zero Key or answer 2 to swallow the key; a non-zero
// answer with a changed Col moves the grid to that column.
constexpr unsigned NM_GRIDKEYDOWN = 0xA65;
// LParam: TGridKeyPressInfo*. A Key the node zeroes is swallowed.
constexpr unsigned NM_GRIDKEYPRESS = 0xA67;
// LParam: TGridMouseInfo*. Sent on a press in the grid's normal state.
constexpr unsigned NM_GRIDMOUSEDOWN = 0xA6E;
// LParam: TGridMouseInfo*. Sent on a release in the cell of the press; Result 2 stops there.
constexpr unsigned NM_GRIDMOUSEUP = 0xA6F;
// LParam: TGridMouseInfo* (Button: the button held, or gbNone). Result 2 stops there.
constexpr unsigned NM_GRIDMOUSEMOVE = 0xA70;
// LParam: TGridCellMove*. The current cell is about to change, or the in-place editor closes
// on the node (then From and To are the editor's cell). Result 2 refuses the move.
constexpr unsigned NM_GRIDLEAVECELL = 0xA79;
// WParam: column, LParam: row of the click.
constexpr unsigned NM_GRIDCLICK = 0xA7A;
// LParam: TGridCellMove*. The node's cell is about to become current.
constexpr unsigned NM_GRIDENTERCELL = 0xA7C;
// WParam: column, LParam: row. The grid asks whether its editor may open; the node's
// nsReadOnly afterwards decides.
constexpr unsigned NM_GRIDCANEDIT = 0xA7D;
// WParam: column, LParam: the in-place editor (TCustomInplaceEditor*) being set up.
constexpr unsigned NM_GRIDUPDATEEDITOR = 0xA7E;
// WParam: column, LParam: the in-place editor, after its position was updated.
constexpr unsigned NM_GRIDEDITPOS = 0xA7F;
// LParam: the cell's drawing record (TDrawStruct*). Result 1: the node drew the cell.
constexpr unsigned NM_GRIDDRAWCELL = 0xA80;
// LParam: the cell's drawing record after the grid computed it; computed-part flags the node
// clears are computed again.
constexpr unsigned NM_GRIDCALCDRAW = 0xA81;
// (NM_NODEROWHEIGHT 0xA82 is declared with the picture record.)
// WParam: the row. A non-zero result is the row's background colour.
constexpr unsigned NM_GRIDROWCOLOR = 0xA83;
// WParam: column, LParam: TGridEditRect*. Result 1: the editor takes the node's rectangle.
constexpr unsigned NM_GRIDEDITRECT = 0xA84;
// LParam: the drag object (TDragObject*) over the node's row. Result 1: the node is the target.
constexpr unsigned NM_GRIDDROPTARGET = 0xA85;
// WParam: the drag source column, LParam: the drag object. A non-zero result: the node
// handled the drop.
constexpr unsigned NM_GRIDDROP = 0xA86;
// WParam: column, LParam: int32_t* width of the node's outline (indentation, pictures and
// text); the node may enlarge it.
constexpr unsigned NM_GRIDNODEWIDTH = 0xA87;

// The shift keys and buttons of grid input, as bits of Shift (the bit order of the framework's
// shift state).
constexpr uint32_t gmShift = 0x01;
constexpr uint32_t gmAlt = 0x02;
constexpr uint32_t gmCtrl = 0x04;
constexpr uint32_t gmLeft = 0x08;
constexpr uint32_t gmRight = 0x10;
constexpr uint32_t gmMiddle = 0x20;
constexpr uint32_t gmDouble = 0x40;

// The mouse button of grid mouse messages.
enum TGridButton : int32_t { gbLeft = 0, gbRight = 1, gbMiddle = 2, gbNone = -1 };

struct TGridKeyInfo {
    uint16_t Key = 0;   // virtual key
    uint32_t Shift = 0;
    int32_t Col = 0;
    int32_t Row = 0;
};

struct TGridKeyPressInfo {
    char Key = 0;
    int32_t Col = 0;
    int32_t Row = 0;
};

struct TGridMouseInfo {
    TGridButton Button = gbNone;
    uint32_t Shift = 0;
    int32_t X = 0;      // client coordinates of the grid
    int32_t Y = 0;
    int32_t Col = 0;
    int32_t Row = 0;
};

struct TGridCellMove {
    int32_t FromCol = 0;
    int32_t FromRow = 0;
    int32_t ToCol = 0;
    int32_t ToRow = 0;
};

struct TGridEditRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};
