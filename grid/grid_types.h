// The value types the program's grids share: cell coordinates and ranges, the grid options and
// states, the scroll bar choice, and the error of invalid grid operations.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/small_set.h"

// A cell: X is the column, Y the row.
struct TGridCoord {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// A range of cells, both corners included.
struct TGridRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TGridRect&) const = default;

    bool Contains(int32_t col, int32_t row) const {
        return col >= Left && col <= Right && row >= Top && row <= Bottom;
    }
    bool Contains(TGridCoord cell) const { return Contains(cell.X, cell.Y); }
};

// The range spanned by two cells, in whichever order they come.
inline TGridRect GridRectOf(TGridCoord a, TGridCoord b) {
    return TGridRect{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

// The smallest range holding both ranges.
inline TGridRect GridRectUnion(const TGridRect& a, const TGridRect& b) {
    return TGridRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                     std::max(a.Bottom, b.Bottom)};
}

// The grid options, bits 0..15 in this order.
enum TNewGridOption { goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
                      goDrawFocusSelected, goRowSizing, goColSizing, goRowMoving, goColMoving,
                      goEditing, goTabs, goRowSelect, goAlwaysShowEditor, goThumbTracking,
                      goFocusCurrent };
using TNewGridOptions = TSmallSet<TNewGridOption>;

// The option names in bit order, as form files write them.
const std::vector<std::string>& GridOptionNames();

// The options a new grid has, and the value a form file leaves out.
inline constexpr TNewGridOptions DefaultGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine,
                                                    goRangeSelect};

// Which per-column widths and per-row heights a form file keeps.
enum TSaveExtent { seColWidths, seRowHeights };
using TSaveExtents = TSmallSet<TSaveExtent>;
const std::vector<std::string>& SaveExtentNames();

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
const std::vector<std::string>& ScrollStyleNames();

// What the grid is doing with the mouse (the values are the ones owners compare).
enum TGridState : uint8_t {
    gsNormal = 0,
    gsRangeSelecting = 1,  // a Shift or Ctrl press extends or adds to the selection
    gsSelecting = 2,
    gsRowSizing = 3,
    gsColSizing = 4,
    gsRowMoving = 5,
    gsColMoving = 6,
    gsDragWait = 7,        // a press on the current cell that may still open the editor or drag
    gsSelectionMoving = 8,
    gsTimedScroll = 9,
};

// A failed grid operation; the message is one of the grid errors of the string table.
class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};
