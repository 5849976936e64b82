// TDrawStruct: how one grid cell is drawn. The grid computes the parts a painter asks for
// (TNewCustomGrid::CalcDrawStruct), the owner may adjust them (OnCalcDrawStruct, OnDrawCell),
// and the default painter draws what the record says.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/small_set.h"
#include "grid/grid_types.h"
#include "winui/canvas_win.h"

class TNewCustomGrid;

// The parts of the record the grid computes. A part already computed is kept; an owner that
// clears a part's flag gets it computed again.
enum TDrawPart { dpTextFormat, dpText, dpTextRect, dpFocusRect, dpState, dpCellRect, dpColors, dpData };
using TDrawParts = TSmallSet<TDrawPart>;
inline constexpr TDrawParts AllDrawParts{dpTextFormat, dpText, dpTextRect, dpFocusRect, dpState, dpCellRect, dpColors,
                                         dpData};

// How the cell is drawn.
enum TDrawState {
    dsSelected,        // in the selection: highlighted
    dsFocused,         // the current cell shown highlighted (goDrawFocusSelected, goRowSelect)
    dsFixed,           // a cell of the fixed rows or columns
    dsDrawText,        // the text is drawn
    dsRaised,          // the frame is a raised inner edge (else a sunken outer one)
    dsFrame,           // a frame is drawn
    dsFillBackground,  // the background is filled
    dsFocusFrame,      // the focus rectangle is drawn
    dsDone,            // the cell is finished: nothing more is drawn
    dsEditorCell,      // the in-place editor lies over the cell
};
using TDrawStates = TSmallSet<TDrawState>;

// The background of a row when the owner gives one; 0 leaves the grid's own colour.
using TRowColorProvider = std::function<TColor(TNewCustomGrid& grid, int32_t row)>;

struct TDrawStruct {
    TDrawParts Computed;
    TNewCustomGrid* Grid = nullptr;
    // The canvas to draw on; the grid's canvas when not given.
    TCanvas* Canvas = nullptr;
    RECT CellRect{0, 0, 0, 0};
    RECT TextRect{0, 0, 0, 0};
    RECT FocusRect{0, 0, 0, 0};
    // DrawText flags.
    UINT TextFormat = 0;
    std::string Text;
    TDrawStates State;
    uint32_t Data = 0;
    // clNone (0x1FFFFFFF): the background is left as it is.
    TColor BrushColor = clNone;
    // The cells this cell covers (a merged cell); the cell itself unless an owner widens it.
    TGridRect CellRange;
    int32_t Col = 0;
    int32_t Row = 0;
    TRowColorProvider ColorProvider;
};
