// The window-free rules of the docking toolbars: how a dock lays its toolbars out in rows, which
// row a dragged toolbar drops into, and how a toolbar's position (dock, row, offset, floating
// position, visibility) is saved and loaded through the four callbacks that a window hands in.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum TDockPosition { dpTop, dpBottom, dpLeft, dpRight };

// A toolbar as the dock lays it out: its row number (any order; rows are numbered 0.. by
// their order), its wanted offset along the dock, and its size along and across the dock.
struct TDockItem {
    int Row = 0;
    int Offset = 0;
    int Length = 0;
    int Thickness = 0;
};

// Where the dock puts an item: the row it ends up in (0..rows-1), its position along the dock
// and the start of its row across the dock.
struct TDockSlot {
    int Row = 0;
    int Position = 0;
    int RowStart = 0;
    bool operator==(const TDockSlot&) const = default;
};

struct TDockLayout {
    std::vector<TDockSlot> Slots;     // one per item, in the items' order
    std::vector<int> RowThickness;    // one per row
    int Thickness = 0;                // all rows together
};

// Rows in the order of their numbers; in a row, items in the order of their offsets (equal
// offsets keep the items' order), each at its offset or right after the one before. A row
// that runs past DockLength is pushed back to end there, as far as its start allows.
TDockLayout LayoutDock(const std::vector<TDockItem>& items, int dockLength);

// The row a toolbar dropped at Cross (the distance across the dock from its inner edge)
// goes into: an existing row, or a new row inserted before the first row (Cross < 0) or after
// the last one.
struct TDockDrop {
    int Row = 0;
    bool NewRow = false;
    bool operator==(const TDockDrop&) const = default;
};
TDockDrop DockDropRow(const std::vector<int>& rowThickness, int cross);

// Where a toolbar is: docked in the dock named Dock, or floating at FloatLeft, FloatTop in
// screen coordinates (Dock then names the dock it goes back to).
struct TToolbarPlacement {
    std::string Dock;
    bool Floating = false;
    int Row = 0;
    int Offset = 0;
    int FloatLeft = 0;
    int FloatTop = 0;
    bool Visible = true;
    bool operator==(const TToolbarPlacement&) const = default;
};

// The four callbacks a window hands in; Name is the toolbar's name, a backslash and the value
// name ("Toolbar1\DockRow"). Readers get the toolbar's current value as the default.
struct TToolbarPositionStore {
    std::function<void(const std::string& name, int32_t value)> WriteInteger;
    std::function<void(const std::string& name, const std::string& value)> WriteString;
    std::function<int32_t(const std::string& name, int32_t defaultValue)> ReadInteger;
    std::function<std::string(const std::string& name, const std::string& defaultValue)> ReadString;
};

// The value names of a toolbar's position.
extern const char* const ToolbarDockValue;      // string: the dock's name
extern const char* const ToolbarFloatingValue;  // integer, 1 floating, 0 docked
extern const char* const ToolbarRowValue;       // integer
extern const char* const ToolbarOffsetValue;    // integer
extern const char* const ToolbarFloatLeftValue; // integer
extern const char* const ToolbarFloatTopValue;  // integer
extern const char* const ToolbarVisibleValue;   // integer, 1 shown, 0 hidden

// Writes every value of Placement; a missing callback writes nothing of its kind.
void SaveToolbarPlacement(const TToolbarPositionStore& store, const std::string& toolbar,
                          const TToolbarPlacement& placement);
// Reads every value, with Current's as defaults (a missing callback gives them). Raises
// Exception (ToolbarPositionError) for a row outside 0..255, an offset outside 0..32767, a
// floating position outside -32768..32767, or a floating or visibility flag other than 0 and 1.
TToolbarPlacement LoadToolbarPlacement(const TToolbarPositionStore& store, const std::string& toolbar,
                                       const TToolbarPlacement& current);
