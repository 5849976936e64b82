// TNewCustomGrid: construction, properties, geometry, scrolling, update brackets and the window
// procedure. Drawing, input and editing are in grid_base_paint_win.cpp, grid_base_input_win.cpp
// and grid_base_edit_win.cpp.
#include "grid/grid_base_win.h"

#include <algorithm>
#include <climits>

#include "base/string_ids.h"
#include "grid/inplace_editor_win.h"

namespace {

constexpr int32_t ConstructorColWidth = 64;
constexpr int32_t ConstructorRowHeight = 24;
constexpr int32_t ConstructorCount = 5;

// Where an index goes when Count items are deleted from At on: past them it moves up, inside
// them it goes to At.
int32_t AfterDelete(int32_t index, int32_t at, int32_t count) {
    if (index >= at + count) return index - count;
    if (index >= at) return at;
    return index;
}

// Where an index goes when the item at From moves to To.
int32_t AfterMove(int32_t index, int32_t from, int32_t to) {
    if (index == from) return to;
    if (from < to && index > from && index <= to) return index - 1;
    if (to < from && index >= to && index < from) return index + 1;
    return index;
}

}  // namespace

const std::vector<std::string>& AlignNames() {
    static const std::vector<std::string> names{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
    return names;
}

TNewCustomGrid::TNewCustomGrid(TComponent* owner)
    : TCustomControl(owner), cols_(ConstructorColWidth), rows_(ConstructorRowHeight) {
    // No click on release: Click fires when the current cell moves.
    controlStyle_ = {csCaptureMouse, csOpaque, csDoubleClicks};
    cols_.SetCount(ConstructorCount);
    rows_.SetCount(ConstructorCount);
    cols_.SetLineWidth(gridLineWidth_);
    rows_.SetLineWidth(gridLineWidth_);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, ConstructorCount * ConstructorColWidth, ConstructorCount * ConstructorRowHeight);
}

TNewCustomGrid::~TNewCustomGrid() {
    if (HandleAllocated() && timerRunning_) KillTimer(Handle(), 1);
    // The editor goes while the grid is whole: losing the focus, it still talks to the grid.
    if (TInplaceEditor* editor = editor_) {
        editorMode_ = false;
        editor_ = nullptr;
        delete editor;
    }
}

const TClassInfo& TNewCustomGrid::StaticClass() {
    static const TClassInfo info{"TNewCustomGrid", &TCustomControl::StaticClass(), {}, {}};
    return info;
}

void TNewCustomGrid::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
    if (borderStyle_ == bsSingle) {
        if (ctl3D_) params.ExStyle |= WS_EX_CLIENTEDGE;
        else params.Style |= WS_BORDER;
    }
}

void TNewCustomGrid::CreateWindowHandle(const TCreateParams& params) {
    // A new window has its scroll bars as they come.
    vertBar_ = horzBar_ = TScrollBarValues{};
    TCustomControl::CreateWindowHandle(params);
    UpdateScrollRange();
}

// --- checks and layout changes ---

void TNewCustomGrid::CheckCol(int32_t col) const {
    if (col < 0 || col >= cols_.Count()) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
}

void TNewCustomGrid::CheckRow(int32_t row) const {
    if (row < 0 || row >= rows_.Count()) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
}

// After counts, sizes or fixed parts changed: the current cell and the view back inside the
// grid, then scroll ranges, repaint and the editor's place (later inside a bracket).
void TNewCustomGrid::LayoutChanged() {
    const auto clampCell = [this](TGridCoord cell) {
        return TGridCoord{std::clamp(cell.X, fixedCols_, std::max(fixedCols_, cols_.Count() - 1)),
                          std::clamp(cell.Y, fixedRows_, std::max(fixedRows_, rows_.Count() - 1))};
    };
    current_ = clampCell(current_);
    anchor_ = clampCell(anchor_);
    const TGridRect range = NormalizedSelection(anchor_, current_);
    if (range != selection_) selection_ = range;
    if (Updating()) {
        pending_ = pending_ + TGridRefreshes{grScrollRanges, grRepaint, grEditor};
        return;
    }
    ClampTopLeft();
    UpdateScrollRange();
    Invalidate();
    UpdateEditPos();
}

// --- size and layout properties ---

void TNewCustomGrid::SetColCount(int32_t count) {
    count = std::max(count, 1);
    if (count == cols_.Count()) return;
    if (count <= fixedCols_) fixedCols_ = count - 1;
    cols_.SetCount(count);
    LayoutChanged();
}

void TNewCustomGrid::SetRowCount(int32_t count) {
    count = std::max(count, 1);
    if (count == rows_.Count()) return;
    if (count <= fixedRows_) fixedRows_ = count - 1;
    rows_.SetCount(count);
    LayoutChanged();
}

void TNewCustomGrid::SetFixedCols(int32_t count) {
    if (count < 0) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    if (count >= cols_.Count()) throw EInvalidGridOperation(sid::GridFixedColsTooMany);
    if (count == fixedCols_) return;
    fixedCols_ = count;
    topLeft_.X = std::max(topLeft_.X, count);
    LayoutChanged();
}

void TNewCustomGrid::SetFixedRows(int32_t count) {
    if (count < 0) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    if (count >= rows_.Count()) throw EInvalidGridOperation(sid::GridFixedRowsTooMany);
    if (count == fixedRows_) return;
    fixedRows_ = count;
    topLeft_.Y = std::max(topLeft_.Y, count);
    LayoutChanged();
    FixedRowsChanged();
}

void TNewCustomGrid::SetDefaultColWidth(int32_t width) {
    cols_.SetDefaultSize(width);
    LayoutChanged();
}

void TNewCustomGrid::SetDefaultRowHeight(int32_t height) {
    rows_.SetDefaultSize(height);
    LayoutChanged();
}

void TNewCustomGrid::SetGridLineWidth(int32_t width) {
    width = std::max(width, 0);
    if (width == gridLineWidth_) return;
    gridLineWidth_ = width;
    cols_.SetLineWidth(width);
    rows_.SetLineWidth(width);
    LayoutChanged();
}

int32_t TNewCustomGrid::ColWidths(int32_t col) const {
    CheckCol(col);
    return cols_.Size(col);
}

void TNewCustomGrid::SetColWidths(int32_t col, int32_t width) {
    CheckCol(col);
    width = std::max(width, 0);
    const int32_t old = cols_.Size(col);
    if (old == width) return;
    cols_.SetSize(col, width);
    LayoutChanged();
    ColWidthChanged(col, old, width);
}

int32_t TNewCustomGrid::RowHeights(int32_t row) const {
    CheckRow(row);
    return rows_.Size(row);
}

void TNewCustomGrid::SetRowHeights(int32_t row, int32_t height) {
    CheckRow(row);
    height = std::max(height, 0);
    const int32_t old = rows_.Size(row);
    if (old == height) return;
    rows_.SetSize(row, height);
    LayoutChanged();
    RowHeightChanged(row, old, height);
}

void TNewCustomGrid::SetColWidthList(const std::vector<int32_t>& widths, int32_t first) {
    cols_.AssignSizes(widths, first);
    LayoutChanged();
}

void TNewCustomGrid::SetRowHeightList(const std::vector<int32_t>& heights, int32_t first) {
    rows_.AssignSizes(heights, first);
    LayoutChanged();
}

void TNewCustomGrid::ColWidthChanged(int32_t col, int32_t oldWidth, int32_t newWidth) {
    if (OnColChanged) OnColChanged(*this, col, oldWidth, newWidth);
}

void TNewCustomGrid::RowHeightChanged(int32_t row, int32_t oldHeight, int32_t newHeight) {
    if (OnRowChanged) OnRowChanged(*this, row, oldHeight, newHeight);
}

// --- inserting, deleting and moving ---

void TNewCustomGrid::InsertRows(int32_t at, int32_t count) {
    if (at < 0 || at > rows_.Count() || count < 0) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    rows_.Insert(at, count);
    const auto shift = [at, count](int32_t& row) {
        if (row >= at) row += count;
    };
    shift(current_.Y);
    shift(anchor_.Y);
    if (topLeft_.Y > at) topLeft_.Y += count;
    LayoutChanged();
}

void TNewCustomGrid::DeleteRows(int32_t at, int32_t count) {
    if (at < 0 || at > rows_.Count() || count < 0) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    if (count > rows_.Count() - at || count >= rows_.Count()) throw EInvalidGridOperation(sid::GridTooManyDeleted);
    if (count == 0) return;
    rows_.Delete(at, count);
    if (rows_.Count() <= fixedRows_) fixedRows_ = rows_.Count() - 1;
    current_.Y = AfterDelete(current_.Y, at, count);
    anchor_.Y = AfterDelete(anchor_.Y, at, count);
    topLeft_.Y = AfterDelete(topLeft_.Y, at, count);
    LayoutChanged();
}

void TNewCustomGrid::InsertCols(int32_t at, int32_t count) {
    if (at < 0 || at > cols_.Count() || count < 0) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    cols_.Insert(at, count);
    const auto shift = [at, count](int32_t& col) {
        if (col >= at) col += count;
    };
    shift(current_.X);
    shift(anchor_.X);
    if (topLeft_.X > at) topLeft_.X += count;
    LayoutChanged();
}

void TNewCustomGrid::DeleteCols(int32_t at, int32_t count) {
    if (at < 0 || at > cols_.Count() || count < 0) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    if (count > cols_.Count() - at || count >= cols_.Count()) throw EInvalidGridOperation(sid::GridTooManyDeleted);
    if (count == 0) return;
    cols_.Delete(at, count);
    if (cols_.Count() <= fixedCols_) fixedCols_ = cols_.Count() - 1;
    current_.X = AfterDelete(current_.X, at, count);
    anchor_.X = AfterDelete(anchor_.X, at, count);
    topLeft_.X = AfterDelete(topLeft_.X, at, count);
    LayoutChanged();
}

void TNewCustomGrid::MoveColumn(int32_t from, int32_t to) {
    CheckCol(from);
    CheckCol(to);
    if (from == to) return;
    HideEditor();
    cols_.Move(from, to);
    current_.X = AfterMove(current_.X, from, to);
    anchor_.X = AfterMove(anchor_.X, from, to);
    LayoutChanged();
    ColumnsMoved(from, to, 1);
}

void TNewCustomGrid::MoveRow(int32_t from, int32_t to) {
    CheckRow(from);
    CheckRow(to);
    if (from == to) return;
    HideEditor();
    rows_.Move(from, to);
    current_.Y = AfterMove(current_.Y, from, to);
    anchor_.Y = AfterMove(anchor_.Y, from, to);
    LayoutChanged();
    RowsMoved(from, to, 1);
}

void TNewCustomGrid::PermuteRows(int32_t first, const std::vector<int32_t>& order) {
    const auto count = static_cast<int32_t>(order.size());
    if (first < 0 || first + count > rows_.Count()) throw EInvalidGridOperation(sid::GridIndexOutOfRange);
    std::vector<int32_t> placeOf(order.size(), -1);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t from = order[static_cast<size_t>(i)];
        if (from < 0 || from >= count || placeOf[static_cast<size_t>(from)] >= 0)
            throw EInvalidGridOperation(sid::GridIndexOutOfRange);
        placeOf[static_cast<size_t>(from)] = i;
    }
    if (rows_.HasExtents()) {
        std::vector<int32_t> heights(order.size());
        bool changed = false;
        for (int32_t i = 0; i < count; ++i) {
            heights[static_cast<size_t>(i)] = rows_.Size(first + order[static_cast<size_t>(i)]);
            changed = changed || heights[static_cast<size_t>(i)] != rows_.Size(first + i);
        }
        if (changed) rows_.AssignSizes(heights, first);
    }
    const auto moved = [first, count, &placeOf](int32_t row) {
        return row >= first && row < first + count ? first + placeOf[static_cast<size_t>(row - first)] : row;
    };
    current_.Y = moved(current_.Y);
    anchor_.Y = moved(anchor_.Y);
    LayoutChanged();
}

void TNewCustomGrid::ColumnsMoved(int32_t from, int32_t to, int32_t count) {
    if (OnColsMoved) OnColsMoved(*this, from, to, count);
}

void TNewCustomGrid::RowsMoved(int32_t from, int32_t to, int32_t count) {
    if (OnRowsMoved) OnRowsMoved(*this, from, to, count);
}

// --- options and look ---

void TNewCustomGrid::SetOptions(TNewGridOptions options) {
    if (options == options_) return;
    const bool editing = options.Has(goEditing) && !options.Has(goRowSelect);
    if (!editing && editorMode_) HideEditor();
    options_ = options;
    ApplySelection(anchor_, current_);
    if (!Updating() && options_.Has(goAlwaysShowEditor) && editing && HasFocus()) ShowEditor();
    InvalidateGrid();
}

void TNewCustomGrid::SetScrollBars(TScrollStyle style) {
    if (style == scrollBars_) return;
    scrollBars_ = style;
    UpdateScrollRange();
}

void TNewCustomGrid::SetBorderStyle(TBorderStyle style) {
    style = style == bsSingle ? bsSingle : bsNone;
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

void TNewCustomGrid::SetCtl3D(bool value) {
    if (value == ctl3D_) return;
    ctl3D_ = value;
    parentCtl3D_ = false;
    RecreateWnd();
}

void TNewCustomGrid::SetFixedColor(TColor color) {
    if (color == fixedColor_) return;
    fixedColor_ = color;
    InvalidateGrid();
}

void TNewCustomGrid::SetDefaultDrawing(bool value) {
    if (value == defaultDrawing_) return;
    defaultDrawing_ = value;
    InvalidateGrid();
}

// --- geometry ---

int32_t TNewCustomGrid::FixedWidth() const { return static_cast<int32_t>(cols_.Position(fixedCols_)); }

int32_t TNewCustomGrid::FixedHeight() const { return static_cast<int32_t>(rows_.Position(fixedRows_)); }

int32_t TNewCustomGrid::DataWidth() { return std::max(ClientWidth() - FixedWidth(), 0); }

int32_t TNewCustomGrid::DataHeight() { return std::max(ClientHeight() - FixedHeight(), 0); }

bool TNewCustomGrid::AxisSpan(const TGridAxis& axis, int32_t first, int32_t last, int32_t fixedCount,
                              int32_t scrollStart, int32_t offset, int32_t clientExtent, int32_t& from,
                              int32_t& to) const {
    first = std::max(first, 0);
    last = std::min(last, axis.Count() - 1);
    if (first > last) return false;
    int64_t start = INT64_MAX;
    int64_t end = INT64_MIN;
    const int64_t fixedExtent = axis.Position(fixedCount);
    if (first < fixedCount) {
        start = axis.Position(first);
        end = axis.Position(std::min(last, fixedCount - 1) + 1);
    }
    const int32_t a = std::max(first, scrollStart);
    if (a <= last && last >= fixedCount) {
        const int64_t origin = fixedExtent - axis.Position(scrollStart) - offset;
        const int64_t s = std::max(origin + axis.Position(a), fixedExtent);
        const int64_t e = std::min<int64_t>(origin + axis.Position(last + 1), clientExtent);
        if (s < e) {
            start = std::min(start, s);
            end = std::max(end, e);
        }
    }
    end = std::min<int64_t>(end, clientExtent);
    if (start >= end) return false;
    from = static_cast<int32_t>(start);
    to = static_cast<int32_t>(end);
    return true;
}

int32_t TNewCustomGrid::AxisIndexAt(const TGridAxis& axis, int pixel, int32_t fixedCount, int32_t scrollStart,
                                    int32_t offset, int32_t clientExtent) const {
    if (pixel < 0 || pixel >= clientExtent) return -1;
    const int64_t fixedExtent = axis.Position(fixedCount);
    if (pixel < fixedExtent) return axis.IndexAt(pixel);
    const int32_t index = axis.IndexAt(pixel - fixedExtent + axis.Position(scrollStart) + offset);
    return index >= axis.Count() ? -1 : index;
}

RECT TNewCustomGrid::CellRect(int32_t col, int32_t row) {
    RECT r{0, 0, 0, 0};
    if (col < 0 || row < 0 || col >= cols_.Count() || row >= rows_.Count()) return r;
    if ((col >= fixedCols_ && col < topLeft_.X) || (row >= fixedRows_ && row < topLeft_.Y)) return r;
    const auto start = [](const TGridAxis& axis, int32_t index, int32_t fixedCount, int32_t scrollStart,
                          int32_t offset) {
        if (index < fixedCount) return axis.Position(index);
        return axis.Position(fixedCount) + axis.Position(index) - axis.Position(scrollStart) - offset;
    };
    const int64_t x = start(cols_, col, fixedCols_, topLeft_.X, horzOffset_);
    const int64_t y = start(rows_, row, fixedRows_, topLeft_.Y, 0);
    if (x >= ClientWidth() || y >= ClientHeight()) return r;
    r.left = static_cast<LONG>(x);
    r.top = static_cast<LONG>(y);
    r.right = static_cast<LONG>(x + cols_.Size(col));
    r.bottom = static_cast<LONG>(y + rows_.Size(row));
    return r;
}

RECT TNewCustomGrid::BoxRect(const TGridRect& range) {
    RECT r{0, 0, 0, 0};
    int32_t left = 0, right = 0, top = 0, bottom = 0;
    if (!AxisSpan(cols_, range.Left, range.Right, fixedCols_, topLeft_.X, horzOffset_, ClientWidth(), left, right))
        return r;
    if (!AxisSpan(rows_, range.Top, range.Bottom, fixedRows_, topLeft_.Y, 0, ClientHeight(), top, bottom)) return r;
    return RECT{left, top, right, bottom};
}

TGridCoord TNewCustomGrid::MouseCoord(int x, int y) {
    return TGridCoord{AxisIndexAt(cols_, x, fixedCols_, topLeft_.X, horzOffset_, ClientWidth()),
                      AxisIndexAt(rows_, y, fixedRows_, topLeft_.Y, 0, ClientHeight())};
}

// --- scrolling ---

int32_t TNewCustomGrid::MaxTopRow() {
    if (rows_.Count() <= fixedRows_) return fixedRows_;
    return std::max(rows_.FirstShowing(rows_.Count() - 1, DataHeight()), fixedRows_);
}

int32_t TNewCustomGrid::MaxLeftCol() {
    if (cols_.Count() <= fixedCols_) return fixedCols_;
    return std::max(cols_.FirstShowing(cols_.Count() - 1, DataWidth()), fixedCols_);
}

int32_t TNewCustomGrid::VisibleRowCount() {
    if (topLeft_.Y >= rows_.Count()) return 0;
    return rows_.LastInside(topLeft_.Y, DataHeight()) - topLeft_.Y + 1;
}

int32_t TNewCustomGrid::VisibleColCount() {
    if (topLeft_.X >= cols_.Count()) return 0;
    return cols_.LastInside(topLeft_.X, DataWidth()) - topLeft_.X + 1;
}

void TNewCustomGrid::ClampTopLeft() {
    const int32_t maxOffset =
        SingleScrollColumn() ? std::max<int32_t>(cols_.Size(fixedCols_) + gridLineWidth_ - DataWidth(), 0) : 0;
    topLeft_.Y = std::clamp(topLeft_.Y, fixedRows_, MaxTopRow());
    topLeft_.X = std::clamp(topLeft_.X, fixedCols_, MaxLeftCol());
    horzOffset_ = std::clamp(horzOffset_, 0, maxOffset);
}

void TNewCustomGrid::SetTopLeft(int32_t col, int32_t row, int32_t horzOffset) {
    const TGridCoord oldTopLeft = topLeft_;
    const int32_t oldOffset = horzOffset_;
    topLeft_ = TGridCoord{col, row};
    horzOffset_ = horzOffset;
    ClampTopLeft();
    if (topLeft_ == oldTopLeft && horzOffset_ == oldOffset) return;
    if (Updating()) {
        pending_ = pending_ + TGridRefreshes{grScrollRanges, grRepaint, grEditor};
    } else {
        UpdateScrollRange();
        Invalidate();
        UpdateEditPos();
    }
    if (topLeft_ != oldTopLeft) TopLeftChanged();
    if (OnUpdateScroll) OnUpdateScroll(*this);
}

void TNewCustomGrid::SetTopRow(int32_t row) { SetTopLeft(topLeft_.X, row, horzOffset_); }

void TNewCustomGrid::SetLeftCol(int32_t col) { SetTopLeft(col, topLeft_.Y, horzOffset_); }

void TNewCustomGrid::SetHorzOffset(int32_t offset) { SetTopLeft(topLeft_.X, topLeft_.Y, offset); }

void TNewCustomGrid::TopLeftChanged() {}

void TNewCustomGrid::ScrollIntoView(int32_t col, int32_t row) {
    TGridCoord top = topLeft_;
    if (row >= fixedRows_ && row < rows_.Count()) {
        if (row < top.Y) top.Y = row;
        else if (row > rows_.LastInside(top.Y, DataHeight())) top.Y = std::max(rows_.FirstShowing(row, DataHeight()), fixedRows_);
    }
    if (!SingleScrollColumn() && col >= fixedCols_ && col < cols_.Count()) {
        if (col < top.X) top.X = col;
        else if (col > cols_.LastInside(top.X, DataWidth())) top.X = std::max(cols_.FirstShowing(col, DataWidth()), fixedCols_);
    }
    SetTopLeft(top.X, top.Y, horzOffset_);
}

// Scroll bars count rows (columns) below (right of) the fixed ones; a single scrollable column
// scrolls by pixels.
void TNewCustomGrid::UpdateScrollRange() {
    if (!HandleAllocated() || updatingScrollBars_) return;
    if (Updating()) {
        pending_ += grScrollRanges;
        return;
    }
    updatingScrollBars_ = true;
    // Showing or hiding a bar changes the client area, which may change the ranges again.
    for (int pass = 0; pass < 3; ++pass) {
        const RECT before = ClientRect();
        ClampTopLeft();
        UpdateScrollBars();
        const RECT after = ClientRect();
        if (after.right == before.right && after.bottom == before.bottom) break;
    }
    updatingScrollBars_ = false;
}

void TNewCustomGrid::UpdateScrollBars() {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    const bool vertical = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    const int32_t maxTop = MaxTopRow();
    if (vertical && maxTop > fixedRows_) {
        const int32_t page = std::max(VisibleRowCount(), 1);
        si.nMin = 0;
        si.nMax = maxTop - fixedRows_ + page - 1;
        si.nPage = static_cast<UINT>(page);
        si.nPos = topLeft_.Y - fixedRows_;
    }
    SetScrollBar(SB_VERT, si);
    si = SCROLLINFO{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    const bool horizontal = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    if (horizontal && SingleScrollColumn()) {
        const int32_t width = cols_.Size(fixedCols_) + gridLineWidth_;
        if (width > DataWidth()) {
            si.nMax = width - 1;
            si.nPage = static_cast<UINT>(DataWidth());
            si.nPos = horzOffset_;
        }
    } else if (horizontal && MaxLeftCol() > fixedCols_) {
        const int32_t page = std::max(VisibleColCount(), 1);
        si.nMax = MaxLeftCol() - fixedCols_ + page - 1;
        si.nPage = static_cast<UINT>(page);
        si.nPos = topLeft_.X - fixedCols_;
    }
    SetScrollBar(SB_HORZ, si);
}

// Wine redraws a scroll bar at once on every SetScrollInfo: values the bar has are not set again.
void TNewCustomGrid::SetScrollBar(int bar, const SCROLLINFO& si) {
    TScrollBarValues& known = bar == SB_VERT ? vertBar_ : horzBar_;
    const TScrollBarValues values{true, si.nMin, si.nMax, si.nPage, si.nPos};
    if (known == values) return;
    SCROLLINFO copy = si;
    SetScrollInfo(Handle(), bar, &copy, TRUE);
    known = values;
}

void TNewCustomGrid::ScrollTo(int bar, WORD code) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(Handle(), bar, &si);
    const bool vertical = bar == SB_VERT;
    const bool pixels = !vertical && SingleScrollColumn();
    const int32_t fixed = vertical ? fixedRows_ : fixedCols_;
    int32_t pos = pixels ? horzOffset_ : (vertical ? topLeft_.Y : topLeft_.X);
    const TGridAxis& axis = vertical ? rows_ : cols_;
    const int32_t extent = vertical ? DataHeight() : DataWidth();
    const int32_t line = pixels ? 8 : 1;
    switch (code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP:
        if (pixels) pos -= extent;
        else pos = pos > fixed ? std::min(axis.FirstShowing(pos - 1, extent), pos - 1) : pos;
        break;
    case SB_PAGEDOWN:
        if (pixels) pos += extent;
        else pos = std::max(axis.LastInside(pos, extent) + 1, pos + 1);
        break;
    case SB_THUMBTRACK:
        if (!options_.Has(goThumbTracking)) return;
        pos = si.nTrackPos + (pixels ? 0 : fixed);
        break;
    case SB_THUMBPOSITION: pos = si.nTrackPos + (pixels ? 0 : fixed); break;
    case SB_TOP: pos = pixels ? 0 : fixed; break;
    case SB_BOTTOM: pos = INT_MAX; break;
    default: return;
    }
    if (vertical) SetTopLeft(topLeft_.X, pos, horzOffset_);
    else if (pixels) SetTopLeft(topLeft_.X, topLeft_.Y, std::max(pos, 0));
    else SetTopLeft(pos, topLeft_.Y, horzOffset_);
}

// --- repainting ---

void TNewCustomGrid::InvalidateRange(const TGridRect& range) {
    if (Updating()) {
        pending_ += grRepaint;
        return;
    }
    if (!HandleAllocated()) return;
    const RECT r = BoxRect(range);
    if (r.right > r.left && r.bottom > r.top) InvalidateRect(Handle(), &r, FALSE);
}

void TNewCustomGrid::InvalidateCell(int32_t col, int32_t row) { InvalidateRange(TGridRect{col, row, col, row}); }

void TNewCustomGrid::InvalidateRow(int32_t row) {
    CheckRow(row);
    InvalidateRange(TGridRect{0, row, cols_.Count() - 1, row});
}

void TNewCustomGrid::InvalidateCol(int32_t col) {
    CheckCol(col);
    InvalidateRange(TGridRect{col, 0, col, rows_.Count() - 1});
}

void TNewCustomGrid::InvalidateGrid() {
    if (Updating()) {
        pending_ += grRepaint;
        return;
    }
    Invalidate();
}

// --- update brackets and deferred updates ---

void TNewCustomGrid::BeginUpdate() {
    if (updateCount_ == 0) pending_ = TGridRefreshes{};
    ++updateCount_;
}

void TNewCustomGrid::EndUpdate(TGridRefreshes refresh) {
    pending_ = pending_ + refresh;
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    const TGridRefreshes work = pending_;
    pending_ = TGridRefreshes{};
    if (work.Has(grRebuildRows)) RebuildRows(true);
    if (work.Has(grScrollRanges)) {
        ClampTopLeft();
        UpdateScrollRange();
    }
    if (work.Has(grRepaint)) Invalidate();
    if (work.Has(grEditor)) UpdateEditPos();
}

void TNewCustomGrid::RebuildRows(bool) {}

void TNewCustomGrid::PostDeferredUpdate() {
    if (HandleAllocated()) PostMessageW(Handle(), GM_DEFERREDUPDATE, 0, 0);
}

void TNewCustomGrid::DeferredUpdate() {
    ClampTopLeft();
    UpdateScrollRange();
    UpdateEditPos();
    InvalidateGrid();
}

// --- the window procedure ---

void TNewCustomGrid::WndProc(TMessage& msg) {
    if (OnMessage) {
        bool handled = false;
        OnMessage(*this, msg, handled);
        if (handled) return;
    }
    try {
        Dispatch(msg);
    } catch (...) {
        // A failing handler leaves no half-done mouse operation behind.
        CancelMouseState();
        throw;
    }
}

void TNewCustomGrid::Dispatch(TMessage& msg) {
    switch (msg.Msg) {
    case WM_GETDLGCODE: WMGetDlgCode(msg); return;
    case WM_SIZE: WMSize(msg); return;
    case WM_VSCROLL: WMVScroll(msg); return;
    case WM_HSCROLL: WMHScroll(msg); return;
    case WM_MOUSEWHEEL: WMMouseWheel(msg); return;
    case WM_TIMER: WMTimer(msg); return;
    case WM_SETCURSOR: WMSetCursor(msg); return;
    case WM_SETFOCUS: WMSetFocus(msg); return;
    case WM_KILLFOCUS: WMKillFocus(msg); return;
    case WM_CANCELMODE: WMCancelMode(msg); return;
    case GM_DEFERREDUPDATE: GMDeferredUpdate(msg); return;
    case GM_EDITPOSCHANGED: GMEditPosChanged(msg); return;
    case CM_COLORCHANGED: CMColorChanged(msg); return;
    case CM_FONTCHANGED: CMFontChanged(msg); return;
    default: TCustomControl::WndProc(msg);
    }
}

void TNewCustomGrid::WMGetDlgCode(TMessage& msg) {
    msg.Result = DLGC_WANTARROWS;
    if (options_.Has(goTabs)) msg.Result |= DLGC_WANTTAB;
    if (options_.Has(goEditing)) msg.Result |= DLGC_WANTCHARS;
}

bool TNewCustomGrid::WantsKey(WORD key) {
    if (key == VK_RETURN) return options_.Has(goEditing) && !options_.Has(goRowSelect);
    if (key == VK_ESCAPE) return editorMode_;
    return TCustomControl::WantsKey(key);
}

void TNewCustomGrid::WMSize(TMessage& msg) {
    TCustomControl::WndProc(msg);
    UpdateScrollRange();
    UpdateEditPos();
}

void TNewCustomGrid::WMVScroll(TMessage& msg) {
    ScrollTo(SB_VERT, LOWORD(msg.WParam));
    msg.Result = 0;
}

void TNewCustomGrid::WMHScroll(TMessage& msg) {
    ScrollTo(SB_HORZ, LOWORD(msg.WParam));
    msg.Result = 0;
}

void TNewCustomGrid::WMMouseWheel(TMessage& msg) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int delta = static_cast<short>(HIWORD(msg.WParam));
    const int steps = delta / WHEEL_DELTA * static_cast<int>(std::max<UINT>(lines, 1));
    SetTopLeft(topLeft_.X, topLeft_.Y - steps, horzOffset_);
    msg.Result = 0;
}

void TNewCustomGrid::WMSetFocus(TMessage& msg) {
    TCustomControl::WndProc(msg);
    InvalidateRange(selection_);
    if (options_.Has(goAlwaysShowEditor) && !editorMode_ && !hidingEditor_ && CanEditShow()) ShowEditor();
}

void TNewCustomGrid::WMKillFocus(TMessage& msg) {
    TCustomControl::WndProc(msg);
    InvalidateRange(selection_);
}

void TNewCustomGrid::WMCancelMode(TMessage& msg) {
    CancelMouseState();
    TCustomControl::WndProc(msg);
}

void TNewCustomGrid::GMDeferredUpdate(TMessage& msg) {
    msg.Result = 1;
    MSG waiting;
    if (HandleAllocated() && !PeekMessageW(&waiting, Handle(), GM_DEFERREDUPDATE, GM_DEFERREDUPDATE, PM_NOREMOVE))
        DeferredUpdate();
}

void TNewCustomGrid::GMEditPosChanged(TMessage& msg) {
    msg.Result = 0;
    EditPosChanged();
}

void TNewCustomGrid::CMColorChanged(TMessage& msg) {
    TCustomControl::WndProc(msg);
    InvalidateGrid();
}

void TNewCustomGrid::CMFontChanged(TMessage& msg) {
    TCustomControl::WndProc(msg);
    InvalidateGrid();
    UpdateEditPos();
}
