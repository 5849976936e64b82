// TNewCustomGrid: the current cell and the selection, the keyboard, and the mouse with its grid
// states, the selection timer, sizing and moving of columns and rows, and selection moving.
#include <algorithm>
#include <climits>

#include "grid/grid_base_win.h"
#include "grid/inplace_editor_win.h"
#include "winui/application_win.h"
#include "winui/gdi_scope_win.h"

namespace {

constexpr UINT_PTR SelectionTimer = 1;
constexpr UINT FirstTick = 500;
constexpr UINT RepeatTick = 40;
// How close to a column's right (a row's bottom) edge a press starts sizing it.
constexpr int SizingZone = 3;
// The width of the line that shows where a sized or moved column or row goes.
constexpr int FeedbackWidth = 2;

bool Pressed(TShiftState shift, TShiftStateItem item) { return shift.Has(item); }

}  // namespace

TShiftState TNewCustomGrid::MouseModifiers(TShiftState shift) {
    if (GetKeyState(VK_SHIFT) < 0) shift += ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift += ssCtrl;
    return shift;
}

// --- the current cell and the selection ---

bool TNewCustomGrid::SelectCell(int32_t col, int32_t row) {
    bool canSelect = true;
    if (OnSelectCell) OnSelectCell(*this, col, row, canSelect);
    return canSelect;
}

TGridRect TNewCustomGrid::NormalizedSelection(TGridCoord anchor, TGridCoord current) const {
    TGridRect range = options_.Has(goRangeSelect) ? GridRectOf(anchor, current) : GridRectOf(current, current);
    if (options_.Has(goRowSelect)) {
        range.Left = fixedCols_;
        range.Right = cols_.Count() - 1;
    }
    return range;
}

void TNewCustomGrid::ApplySelection(TGridCoord anchor, TGridCoord current) {
    TGridRect range = NormalizedSelection(anchor, current);
    if (range != selection_) SelectionChanged(range);
}

void TNewCustomGrid::SelectionChanged(TGridRect& range) {
    const TGridRect old = selection_;
    if (OnSelectionChanged) OnSelectionChanged(*this, range);
    selection_ = range;
    InvalidateRange(old);
    InvalidateRange(range);
}

bool TNewCustomGrid::FocusCell(int32_t col, int32_t row, bool moveAnchor, bool show) {
    if (col < fixedCols_ || row < fixedRows_ || col >= cols_.Count() || row >= rows_.Count()) return false;
    const TGridCoord target{col, row};
    const TGridCoord old = current_;
    const bool moved = target != old;
    if (moved && !SelectCell(col, row)) return false;
    const bool reshow = editorMode_ && options_.Has(goAlwaysShowEditor);
    if (moved && editorMode_) HideEditor();
    current_ = target;
    if (moveAnchor || !options_.Has(goRangeSelect)) anchor_ = target;
    ApplySelection(anchor_, current_);
    InvalidateCell(old.X, old.Y);
    InvalidateCell(col, row);
    if (options_.Has(goRowSelect)) {
        InvalidateRange(TGridRect{0, old.Y, cols_.Count() - 1, old.Y});
        InvalidateRange(TGridRect{0, row, cols_.Count() - 1, row});
    }
    if (show) ScrollIntoView(col, row);
    if (reshow && !editorMode_) ShowEditor();
    if (moved) Click();
    return true;
}

void TNewCustomGrid::SetCol(int32_t col) {
    CheckCol(col);
    FocusCell(col, current_.Y, true);
}

void TNewCustomGrid::SetRow(int32_t row) {
    CheckRow(row);
    FocusCell(current_.X, row, true);
}

void TNewCustomGrid::SetSelection(const TGridRect& range) {
    const auto clampCol = [this](int32_t c) { return std::clamp(c, fixedCols_, cols_.Count() - 1); };
    const auto clampRow = [this](int32_t r) { return std::clamp(r, fixedRows_, rows_.Count() - 1); };
    if (editorMode_) HideEditor();
    const TGridRect r = GridRectOf(TGridCoord{range.Left, range.Top}, TGridCoord{range.Right, range.Bottom});
    anchor_ = TGridCoord{clampCol(r.Left), clampRow(r.Top)};
    current_ = TGridCoord{clampCol(r.Right), clampRow(r.Bottom)};
    ApplySelection(anchor_, current_);
}

TGridCoord TNewCustomGrid::ClampToScrollable(TGridCoord cell) const {
    return TGridCoord{std::clamp(cell.X, fixedCols_, std::max(fixedCols_, cols_.Count() - 1)),
                      std::clamp(cell.Y, fixedRows_, std::max(fixedRows_, rows_.Count() - 1))};
}

// --- keyboard ---

void TNewCustomGrid::KeyDown(WORD& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
        MoveByKey(key, shift);
        key = 0;
        return;
    case VK_TAB:
        if (!options_.Has(goTabs) || Pressed(shift, ssAlt)) return;
        TabMove(Pressed(shift, ssShift));
        key = 0;
        return;
    case VK_F2:
        if (!editorMode_) ShowEditor();
        key = 0;
        return;
    case VK_RETURN:
        EnterKey();
        key = 0;
        return;
    case VK_ESCAPE:
        if (editorMode_ && !options_.Has(goAlwaysShowEditor)) {
            HideEditor();
            key = 0;
        }
        return;
    default: return;
    }
}

void TNewCustomGrid::KeyPress(char& key) {
    TCustomControl::KeyPress(key);
    if (key == '\r') {
        key = 0;
        return;
    }
    if (editorMode_ || !options_.Has(goEditing) || static_cast<unsigned char>(key) < 32) return;
    if (!CanEditShow()) return;
    ShowEditorChar(key);
    key = 0;
}

void TNewCustomGrid::MoveByKey(WORD key, TShiftState shift) {
    const bool ctrl = Pressed(shift, ssCtrl);
    const bool rowSelect = options_.Has(goRowSelect);
    TGridCoord target = current_;
    switch (key) {
    case VK_UP:
    case VK_DOWN:
        if (ctrl) {
            // Ctrl scrolls the view and leaves the current cell.
            SetTopRow(topLeft_.Y + (key == VK_UP ? -1 : 1));
            return;
        }
        target.Y += key == VK_UP ? -1 : 1;
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (rowSelect) {
            if (SingleScrollColumn()) SetHorzOffset(horzOffset_ + (key == VK_LEFT ? -8 : 8));
            else SetLeftCol(topLeft_.X + (key == VK_LEFT ? -1 : 1));
            return;
        }
        target.X += key == VK_LEFT ? -1 : 1;
        break;
    case VK_PRIOR:
    case VK_NEXT: PageMove(key == VK_NEXT, shift); return;
    case VK_HOME:
        target.X = fixedCols_;
        if (ctrl || rowSelect) target.Y = fixedRows_;
        break;
    case VK_END:
        target.X = cols_.Count() - 1;
        if (ctrl || rowSelect) target.Y = rows_.Count() - 1;
        break;
    default: return;
    }
    target = ClampToScrollable(target);
    if (target == current_) return;
    FocusCell(target.X, target.Y, !(Pressed(shift, ssShift) && options_.Has(goRangeSelect)));
}

// A page down (up) scrolls by the rows that fill the view and moves the current row as far.
void TNewCustomGrid::PageMove(bool down, TShiftState shift) {
    const int32_t page = std::max(VisibleRowCount(), 1);
    const int32_t delta = down ? page : -page;
    const int32_t newTop = std::clamp(topLeft_.Y + delta, fixedRows_, MaxTopRow());
    const int32_t newRow = std::clamp(current_.Y + delta, fixedRows_, rows_.Count() - 1);
    SetTopLeft(topLeft_.X, newTop, horzOffset_);
    if (newRow != current_.Y) FocusCell(current_.X, newRow, !(Pressed(shift, ssShift) && options_.Has(goRangeSelect)));
}

// Tab goes to the next cell in reading order and wraps round the grid.
void TNewCustomGrid::TabMove(bool backward) {
    TGridCoord target = current_;
    if (backward) {
        if (--target.X < fixedCols_) {
            target.X = cols_.Count() - 1;
            if (--target.Y < fixedRows_) target.Y = rows_.Count() - 1;
        }
    } else if (++target.X >= cols_.Count()) {
        target.X = fixedCols_;
        if (++target.Y >= rows_.Count()) target.Y = fixedRows_;
    }
    FocusCell(target.X, target.Y, true);
}

void TNewCustomGrid::EnterKey() {
    if (!editorMode_) {
        ShowEditor();
        return;
    }
    ApplyEditText();
    if (options_.Has(goAlwaysShowEditor)) {
        if (editor_) editor_->SelectAll();
        return;
    }
    HideEditor();
}

// --- mouse ---

void TNewCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    shift = MouseModifiers(shift);
    const bool dbl = Pressed(shift, ssDouble);
    if (!dbl && HandleAllocated() && !HasFocus() && CanFocus()) SetFocus();
    if (button != mbLeft || dbl) {
        if (button == mbLeft) pressCell_ = TGridCoord{-1, -1};
        TCustomControl::MouseDown(button, shift, x, y);
        return;
    }
    const TGridCoord cell = MouseCoord(x, y);
    pressCell_ = cell;
    pressPoint_ = POINT{x, y};
    pressOnFixed_ = false;
    moveIndex_ = -1;
    bool columns = false;
    int32_t index = -1;
    int edge = 0;
    if (SizingBorderAt(x, y, columns, index, edge)) {
        BeginSizing(columns, index, edge);
    } else if (cell.X >= 0 && cell.Y >= 0) {
        InvalidateCell(cell.X, cell.Y);
        if (IsFixedCell(cell.X, cell.Y)) {
            pressOnFixed_ = true;
            // A title press may become a move once the pointer reaches another column or row.
            if (options_.Has(goColMoving) && cell.Y < fixedRows_ && cell.X >= fixedCols_) moveIndex_ = cell.X;
            else if (options_.Has(goRowMoving) && cell.X < fixedCols_ && cell.Y >= fixedRows_) moveIndex_ = cell.Y;
        } else {
            PressInScrollableCell(shift, cell);
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TNewCustomGrid::PressInScrollableCell(TShiftState shift, TGridCoord cell) {
    const bool shiftKey = Pressed(shift, ssShift);
    const bool ctrl = Pressed(shift, ssCtrl);
    if ((!shiftKey && !ctrl) || !options_.Has(goRangeSelect)) {
        state_ = cell == current_ && !editorMode_ ? gsDragWait : gsSelecting;
        FocusCell(cell.X, cell.Y, true);
        StartTimer(FirstTick);
        return;
    }
    if (ctrl && !shiftKey && OnSelectionMoved && selection_.Contains(cell)) {
        state_ = gsSelectionMoving;
        moveDistance_ = TGridCoord{0, 0};
        return;
    }
    TGridRect bounds = AnchorBoundsOf(anchor_);
    if (OnGetAnchorBounds) OnGetAnchorBounds(*this, bounds);
    state_ = bounds.Contains(cell) ? gsSelecting : gsRangeSelecting;
    StartTimer(RepeatTick);
    // Shift reaches from the anchor to the pressed cell; Ctrl alone keeps the selection.
    if (shiftKey) FocusCell(cell.X, cell.Y, false);
}

// The anchor cell, or the range of the merged cell it belongs to.
TGridRect TNewCustomGrid::AnchorBoundsOf(TGridCoord cell) {
    TDrawStruct ds;
    CalcDrawStruct(ds, cell.X, cell.Y, TDrawParts{dpState});
    return ds.CellRange;
}

void TNewCustomGrid::MouseMove(TShiftState shift, int x, int y) {
    switch (state_) {
    case gsSelecting:
    case gsRangeSelecting: {
        const TGridCoord cell = MouseCoord(std::clamp(x, FixedWidth(), std::max(ClientWidth() - 1, 0)),
                                           std::clamp(y, FixedHeight(), std::max(ClientHeight() - 1, 0)));
        const TGridCoord clamped = ClampToScrollable(TGridCoord{cell.X < 0 ? cols_.Count() - 1 : cell.X,
                                                                cell.Y < 0 ? rows_.Count() - 1 : cell.Y});
        if (clamped != current_) SelectingMove(clamped);
        break;
    }
    case gsDragWait: {
        const TGridCoord cell = MouseCoord(x, y);
        if (cell != pressCell_) {
            state_ = gsSelecting;
            if (cell.X >= 0 && cell.Y >= 0) SelectingMove(ClampToScrollable(cell));
        }
        break;
    }
    case gsRowSizing:
    case gsColSizing:
        SizingFeedback(false);
        sizingPos_ = std::max(state_ == gsColSizing ? x : y, sizingStart_);
        SizingFeedback(true);
        break;
    case gsColMoving:
    case gsRowMoving: {
        const TGridCoord cell = MouseCoord(x, y);
        int32_t target = state_ == gsColMoving ? cell.X : cell.Y;
        const int32_t fixed = state_ == gsColMoving ? fixedCols_ : fixedRows_;
        if (target < 0) target = moveTarget_;
        target = std::max(target, fixed);
        if (target != moveTarget_) {
            MovingFeedback(false);
            moveTarget_ = target;
            MovingFeedback(true);
        }
        break;
    }
    case gsSelectionMoving: {
        const TGridCoord cell = MouseCoord(x, y);
        if (cell.X < 0 || cell.Y < 0) break;
        const TGridCoord distance{cell.X - pressCell_.X, cell.Y - pressCell_.Y};
        if (distance != moveDistance_) {
            SelectionMoveFeedback(false);
            moveDistance_ = distance;
            SelectionMoveFeedback(true);
        }
        break;
    }
    case gsNormal:
        if (moveIndex_ >= 0 && Pressed(shift, ssLeft)) {
            const TGridCoord cell = MouseCoord(x, y);
            const bool columns = pressCell_.Y < fixedRows_ && options_.Has(goColMoving);
            const int32_t over = columns ? cell.X : cell.Y;
            if (over >= 0 && over != moveIndex_) {
                state_ = columns ? gsColMoving : gsRowMoving;
                moveTarget_ = std::max(over, columns ? fixedCols_ : fixedRows_);
                MovingFeedback(true);
                StartTimer(FirstTick);
            }
        }
        break;
    default: break;
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TNewCustomGrid::SelectingMove(TGridCoord cell) {
    FocusCell(cell.X, cell.Y, !options_.Has(goRangeSelect), true);
}

void TNewCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    shift = MouseModifiers(shift);
    if (button != mbLeft) {
        TCustomControl::MouseUp(button, shift, x, y);
        return;
    }
    const TGridState state = state_;
    const TGridCoord press = pressCell_;
    switch (state) {
    case gsNormal:
        if (pressOnFixed_ && press.X >= 0 && press.Y >= 0 && OnTitleClick) OnTitleClick(*this, press.X, press.Y);
        break;
    case gsSelecting:
    case gsRangeSelecting:
        StopTimer();
        UpdateEditPos();
        break;
    case gsRowSizing:
    case gsColSizing:
        SizingFeedback(false);
        ReleaseSizing(x, y);
        break;
    case gsRowMoving:
    case gsColMoving:
        StopTimer();
        MovingFeedback(false);
        ReleaseMoving();
        break;
    case gsDragWait:
        StopTimer();
        state_ = gsNormal;
        FocusCell(press.X, press.Y, true);
        ShowEditor();
        break;
    case gsSelectionMoving:
        SelectionMoveFeedback(false);
        if (OnSelectionMoved && (moveDistance_.X != 0 || moveDistance_.Y != 0))
            OnSelectionMoved(*this, shift, moveDistance_.X, moveDistance_.Y);
        break;
    default: break;
    }
    state_ = gsNormal;
    TCustomControl::MouseUp(button, shift, x, y);
    pressCell_ = TGridCoord{-1, -1};
    pressOnFixed_ = false;
    moveIndex_ = -1;
    state_ = gsNormal;
}

void TNewCustomGrid::CancelMouseState() {
    StopTimer();
    SizingFeedback(false);
    MovingFeedback(false);
    SelectionMoveFeedback(false);
    feedbackShown_ = false;
    state_ = gsNormal;
    moveIndex_ = -1;
    pressOnFixed_ = false;
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

// --- the selection timer and timed scrolling ---

void TNewCustomGrid::StartTimer(UINT interval) {
    if (!HandleAllocated()) return;
    SetTimer(Handle(), SelectionTimer, interval, nullptr);
    timerRunning_ = true;
    timerInterval_ = interval;
}

void TNewCustomGrid::StopTimer() {
    if (timerRunning_ && HandleAllocated()) KillTimer(Handle(), SelectionTimer);
    timerRunning_ = false;
    timerInterval_ = 0;
}

void TNewCustomGrid::BeginTimedScroll() {
    state_ = gsTimedScroll;
    StartTimer(FirstTick);
}

void TNewCustomGrid::WMTimer(TMessage& msg) {
    if (msg.WParam != SelectionTimer) {
        TCustomControl::WndProc(msg);
        return;
    }
    msg.Result = 0;
    TimerTick();
}

void TNewCustomGrid::TimerTick() {
    switch (state_) {
    case gsSelecting:
    case gsRangeSelecting:
    case gsRowMoving:
    case gsColMoving:
    case gsTimedScroll: {
        POINT p;
        GetCursorPos(&p);
        p = ScreenToClient(p);
        const bool up = p.y < FixedHeight();
        const bool down = p.y >= ClientHeight();
        const bool left = p.x < FixedWidth();
        const bool right = p.x >= ClientWidth();
        if (up || down || left || right) TimedScroll(left, right, up, down);
        if (timerInterval_ != RepeatTick) StartTimer(RepeatTick);
        break;
    }
    case gsDragWait:
        // The press on the current cell was held: the wait is over, the editor opens.
        StopTimer();
        FocusCell(pressCell_.X, pressCell_.Y, true);
        ShowEditor();
        state_ = gsNormal;
        break;
    default: StopTimer(); break;
    }
}

void TNewCustomGrid::TimedScroll(bool left, bool right, bool up, bool down) {
    TGridCoord top = topLeft_;
    TGridCoord target = current_;
    if (up && top.Y > fixedRows_) target.Y = --top.Y;
    if (down && top.Y < MaxTopRow()) {
        ++top.Y;
        target.Y = std::min(rows_.LastInside(top.Y, DataHeight()), rows_.Count() - 1);
    } else if (down) {
        target.Y = rows_.Count() - 1;
    }
    if (left && top.X > fixedCols_) target.X = --top.X;
    if (right && top.X < MaxLeftCol()) {
        ++top.X;
        target.X = std::min(cols_.LastInside(top.X, DataWidth()), cols_.Count() - 1);
    } else if (right) {
        target.X = cols_.Count() - 1;
    }
    if (state_ == gsColMoving || state_ == gsRowMoving) MovingFeedback(false);
    SetTopLeft(top.X, top.Y, horzOffset_);
    switch (state_) {
    case gsSelecting:
    case gsRangeSelecting: SelectingMove(ClampToScrollable(target)); break;
    case gsColMoving:
        moveTarget_ = std::clamp(target.X, fixedCols_, cols_.Count() - 1);
        MovingFeedback(true);
        break;
    case gsRowMoving:
        moveTarget_ = std::clamp(target.Y, fixedRows_, rows_.Count() - 1);
        MovingFeedback(true);
        break;
    default: break;
    }
    if (HandleAllocated()) UpdateWindow(Handle());
}

// --- sizing ---

// A press within SizingZone pixels of a column's right edge in the fixed rows (a row's bottom
// edge in the fixed columns) sizes that column (row).
bool TNewCustomGrid::SizingBorderAt(int x, int y, bool& columns, int32_t& index, int& edge) {
    const auto edgeNear = [](const TGridAxis& axis, int pixel, int32_t fixedCount, int32_t scrollStart, int32_t offset,
                         int32_t& found, int& foundEdge) {
        for (int32_t i = 0; i < axis.Count(); ++i) {
            const int32_t item = i < fixedCount ? i : scrollStart + (i - fixedCount);
            if (item >= axis.Count()) break;
            const int64_t start = item < fixedCount
                                      ? axis.Position(item)
                                      : axis.Position(fixedCount) + axis.Position(item) - axis.Position(scrollStart) - offset;
            const int64_t itemEdge = start + axis.Size(item);
            if (start > pixel + SizingZone) break;
            if (pixel >= itemEdge - SizingZone && pixel < itemEdge + axis.LineWidth() + SizingZone) {
                found = item;
                foundEdge = static_cast<int>(itemEdge);
                return true;
            }
        }
        return false;
    };
    if (options_.Has(goColSizing) && (y < FixedHeight() || fixedRows_ == 0) && x >= 0 && x < ClientWidth()) {
        // Only the visible columns are looked at: the loop ends at the pointer.
        if (edgeNear(cols_, x, fixedCols_, topLeft_.X, horzOffset_, index, edge)) {
            columns = true;
            return true;
        }
    }
    if (options_.Has(goRowSizing) && (x < FixedWidth() || fixedCols_ == 0) && y >= 0 && y < ClientHeight()) {
        if (edgeNear(rows_, y, fixedRows_, topLeft_.Y, 0, index, edge)) {
            columns = false;
            return true;
        }
    }
    return false;
}

void TNewCustomGrid::BeginSizing(bool columns, int32_t index, int pixel) {
    state_ = columns ? gsColSizing : gsRowSizing;
    moveIndex_ = index;
    const TGridAxis& axis = columns ? cols_ : rows_;
    sizingStart_ = pixel - axis.Size(index);
    sizingPos_ = pixel;
    SizingFeedback(true);
}

void TNewCustomGrid::ReleaseSizing(int x, int y) {
    const int32_t size = std::max((state_ == gsColSizing ? x : y), sizingStart_) - sizingStart_;
    if (moveIndex_ < 0) return;
    if (state_ == gsColSizing) SetColWidths(moveIndex_, size);
    else if (size > 1) SetRowHeights(moveIndex_, size);
}

// The sizing line is inverted on the screen: drawing it twice takes it away.
void TNewCustomGrid::SizingFeedback(bool show) {
    if (!HandleAllocated() || (state_ != gsColSizing && state_ != gsRowSizing) || show == feedbackShown_) return;
    feedbackShown_ = show;
    const TWindowDC dc(Handle());
    if (state_ == gsColSizing) PatBlt(dc, sizingPos_, 0, FeedbackWidth, ClientHeight(), DSTINVERT);
    else PatBlt(dc, 0, sizingPos_, ClientWidth(), FeedbackWidth, DSTINVERT);
}

// --- moving ---

void TNewCustomGrid::MovingFeedback(bool show) {
    if (!HandleAllocated() || (state_ != gsColMoving && state_ != gsRowMoving) || show == feedbackShown_) return;
    feedbackShown_ = show;
    const bool columns = state_ == gsColMoving;
    // The line goes where the moved one will start: before the target, or after it when moving on.
    const RECT cell = columns ? CellRect(moveTarget_, 0) : CellRect(0, moveTarget_);
    const int pos = columns ? (moveTarget_ > moveIndex_ ? cell.right : cell.left)
                            : (moveTarget_ > moveIndex_ ? cell.bottom : cell.top);
    const TWindowDC dc(Handle());
    if (columns) PatBlt(dc, pos - FeedbackWidth / 2, 0, FeedbackWidth, ClientHeight(), DSTINVERT);
    else PatBlt(dc, 0, pos - FeedbackWidth / 2, ClientWidth(), FeedbackWidth, DSTINVERT);
}

void TNewCustomGrid::ReleaseMoving() {
    if (moveIndex_ < 0 || moveTarget_ < 0 || moveTarget_ == moveIndex_) return;
    if (state_ == gsColMoving) MoveColumn(moveIndex_, moveTarget_);
    else MoveRow(moveIndex_, moveTarget_);
}

void TNewCustomGrid::SelectionMoveFeedback(bool show) {
    if (!HandleAllocated() || state_ != gsSelectionMoving || show == feedbackShown_) return;
    feedbackShown_ = show;
    const TGridRect moved{selection_.Left + moveDistance_.X, selection_.Top + moveDistance_.Y,
                          selection_.Right + moveDistance_.X, selection_.Bottom + moveDistance_.Y};
    RECT r = BoxRect(moved);
    if (r.right <= r.left) return;
    const TWindowDC dc(Handle());
    ::DrawFocusRect(dc, &r);
}

// --- cursor ---

void TNewCustomGrid::WMSetCursor(TMessage& msg) {
    if (reinterpret_cast<HWND>(msg.WParam) == Handle() && LOWORD(msg.LParam) == HTCLIENT && Screen) {
        TCursor cursor = crDefault;
        if (state_ == gsColSizing) cursor = crHSplit;
        else if (state_ == gsRowSizing) cursor = crVSplit;
        else if (state_ == gsNormal) {
            POINT p;
            GetCursorPos(&p);
            p = ScreenToClient(p);
            bool columns = false;
            int32_t index = -1;
            int edge = 0;
            if (SizingBorderAt(p.x, p.y, columns, index, edge)) cursor = columns ? crHSplit : crVSplit;
        }
        if (cursor != crDefault) {
            ::SetCursor(Screen->Cursors(cursor));
            msg.Result = TRUE;
            return;
        }
    }
    TCustomControl::WndProc(msg);
}
