// TNewCustomGrid, the program's grid control: a scrollable matrix of cells with fixed (title)
// rows and columns, per-column widths and per-row heights, range selection, sizing and moving of
// columns and rows, and an in-place editor (TInplaceEditor). Every cell is drawn from a
// TDrawStruct that the owner may adjust before the default painter draws it. Update brackets
// defer repaints and row work to their outermost end; GM_DEFERREDUPDATE, posted to the grid's
// own window, coalesces a burst of requests into one update; OnMessage sees every window message
// first.
//
// Derived grids (the node grid, the draw grid) build on these virtual steps: DrawCell and
// CalcDrawStruct (drawing), GetEditText / SetEditText / GetEditMask / CanEditShow / CanEditModify
// / CreateEditor / UpdateEditor / EditorRect / EditorClosed (editing), SelectCell and
// SelectionChanged (the current cell and the selection), RebuildRows (row work at the end of an
// update bracket), DeferredUpdate, and the key and mouse dispatchers of TWinControl. Row
// positions live in a TGridAxis, so cell-to-rectangle and point-to-cell take logarithmic time.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grid/draw_struct_win.h"
#include "grid/grid_axis.h"
#include "grid/grid_types.h"
#include "winui/control_win.h"
#include "base/string_ids.h"
#include "winui/std_controls_win.h"

class TCustomInplaceEditor;
class TInplaceEditor;

// Posted by the grid to itself: do the deferred update once the burst of posts is over.
constexpr UINT GM_DEFERREDUPDATE = 0x2400;
// Sent by the grid to itself (WParam 0, LParam 0) after the editor was placed.
constexpr UINT GM_EDITPOSCHANGED = 0x2401;

// What the end of an update bracket does (added to the work pending since the bracket opened).
enum TGridRefresh { grRebuildRows, grScrollRanges, grRepaint, grEditor };
using TGridRefreshes = TSmallSet<TGridRefresh>;
inline constexpr TGridRefreshes FullGridRefresh{grRebuildRows, grScrollRanges, grRepaint, grEditor};

using TDrawStructEvent = std::function<void(TControl& sender, TDrawStruct& drawStruct)>;
using TGridPaintEvent = std::function<void(TControl& sender, bool isBefore)>;
using TGetEditEvent = std::function<void(TControl& sender, int32_t col, int32_t row, std::string& value)>;
using TSetEditEvent = std::function<void(TControl& sender, int32_t col, int32_t row, const std::string& value)>;
using TSelectCellEvent = std::function<void(TControl& sender, int32_t col, int32_t row, bool& canSelect)>;
using TExtentChangedEvent = std::function<void(TControl& sender, int32_t index, int32_t oldSize, int32_t newSize)>;
using TMovedEvent = std::function<void(TControl& sender, int32_t fromIndex, int32_t toIndex, int32_t count)>;
using TGridBoundsEvent = std::function<void(TControl& sender, TGridRect& gridBounds)>;
using TSelectionMovedEvent = std::function<void(TControl& sender, TShiftState shift, int32_t x, int32_t y)>;
using TTitleClickEvent = std::function<void(TControl& sender, int32_t col, int32_t row)>;
using TUpdateEditorEvent = std::function<void(TControl& sender, TCustomInplaceEditor& editor)>;
// Handled true: the grid does not handle the message itself.
using TGridMessageEvent = std::function<void(TControl& sender, TMessage& msg, bool& handled)>;

// The names of TAlign's values, as form files write them.
const std::vector<std::string>& AlignNames();

class TNewCustomGrid : public TCustomControl {
public:
    // The values of the constructor (see the class table of TNewDrawGrid); the control is
    // ColCount x DefaultColWidth wide and RowCount x DefaultRowHeight high.
    explicit TNewCustomGrid(TComponent* owner);
    ~TNewCustomGrid() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
    // The published rows of a grid (for the class tables of the draw grid and the node grid),
    // with the stored defaults of the form files.
    template <class C>
    static std::vector<TPropInfo> PublishedProps();

    // --- size and layout ---
    int32_t ColCount() const { return cols_.Count(); }
    // At least 1; FixedCols shrinks when it would not leave one column.
    void SetColCount(int32_t count);
    int32_t RowCount() const { return rows_.Count(); }
    void SetRowCount(int32_t count);
    int32_t FixedCols() const { return fixedCols_; }
    // Raises EInvalidGridOperation (GridFixedColsTooMany) unless below ColCount.
    void SetFixedCols(int32_t count);
    int32_t FixedRows() const { return fixedRows_; }
    void SetFixedRows(int32_t count);
    int32_t DefaultColWidth() const { return cols_.DefaultSize(); }
    // Every column takes the new width.
    void SetDefaultColWidth(int32_t width);
    int32_t DefaultRowHeight() const { return rows_.DefaultSize(); }
    void SetDefaultRowHeight(int32_t height);
    int32_t GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int32_t width);
    // Raise EInvalidGridOperation (GridIndexOutOfRange) for a column or row outside the grid.
    int32_t ColWidths(int32_t col) const;
    void SetColWidths(int32_t col, int32_t width);
    int32_t RowHeights(int32_t row) const;
    void SetRowHeights(int32_t row, int32_t height);
    // All widths or heights at once (form files, rebuilt rows): from First on, without events.
    std::vector<int32_t> ColWidthList() const { return cols_.Sizes(); }
    void SetColWidthList(const std::vector<int32_t>& widths, int32_t first = 0);
    std::vector<int32_t> RowHeightList() const { return rows_.Sizes(); }
    void SetRowHeightList(const std::vector<int32_t>& heights, int32_t first = 0);
    const TGridAxis& ColAxis() const { return cols_; }
    const TGridAxis& RowAxis() const { return rows_; }

    // Count rows (columns) of the default height (width) go in before At, or go from At on;
    // the current cell, the selection and the other extents move along. Deleting more than
    // there are raises EInvalidGridOperation (GridTooManyDeleted), an index outside the grid
    // GridIndexOutOfRange.
    void InsertRows(int32_t at, int32_t count);
    void DeleteRows(int32_t at, int32_t count);
    void InsertCols(int32_t at, int32_t count);
    void DeleteCols(int32_t at, int32_t count);
    // The column (row) at From goes to To; fires OnColsMoved (OnRowsMoved).
    void MoveColumn(int32_t from, int32_t to);
    void MoveRow(int32_t from, int32_t to);
    // Rows First.. are put in a new order, heights included: the row at First + i is the one
    // that was at First + Order[i]. The current cell and the anchor move along with their rows.
    // No event: the owner reordered them.
    void PermuteRows(int32_t first, const std::vector<int32_t>& order);

    // --- options and look ---
    TNewGridOptions Options() const { return options_; }
    void SetOptions(TNewGridOptions options);
    TSaveExtents SaveExtents() const { return saveExtents_; }
    void SetSaveExtents(TSaveExtents extents) { saveExtents_ = extents; }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle style);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor color);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool value);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool value) { parentCtl3D_ = value; }
    // The background colour of rows given by the owner (the node grid's rows ask their nodes).
    TRowColorProvider RowColorProvider;

    // --- current cell, selection and scrolling ---
    int32_t Col() const { return current_.X; }
    int32_t Row() const { return current_.Y; }
    // Moves the current cell (through SelectCell) and scrolls it into view.
    void SetCol(int32_t col);
    void SetRow(int32_t row);
    // Moves the current cell to (Col, Row) through the cell-selection step; MoveAnchor starts
    // a new selection there, otherwise the selection reaches from the anchor to it. Show
    // scrolls it into view. False when the cell refused to be selected.
    bool FocusCell(int32_t col, int32_t row, bool moveAnchor, bool show = true);
    TGridRect Selection() const { return selection_; }
    // Selects the range (within the scrollable cells); the current cell goes to its
    // bottom-right, the anchor to its top-left.
    void SetSelection(const TGridRect& range);
    TGridCoord Anchor() const { return anchor_; }
    int32_t TopRow() const { return topLeft_.Y; }
    void SetTopRow(int32_t row);
    int32_t LeftCol() const { return topLeft_.X; }
    void SetLeftCol(int32_t col);
    // Pixels the scrollable columns are shifted left; used while only one column scrolls.
    int32_t HorzOffset() const { return horzOffset_; }
    void SetHorzOffset(int32_t offset);
    // The rows (columns) completely visible below (right of) the fixed ones, at least 1.
    int32_t VisibleRowCount();
    int32_t VisibleColCount();
    // The top row that shows the last row at the bottom.
    int32_t MaxTopRow();
    int32_t MaxLeftCol();
    // Scrolls so that the cell is completely visible (as far as it fits).
    void ScrollIntoView(int32_t col, int32_t row);

    // --- geometry ---
    // The cell's rectangle in client coordinates (without the grid lines); empty when the cell
    // is not visible.
    RECT CellRect(int32_t col, int32_t row);
    // The cells of Range as far as they are visible, with their grid lines; empty when none is.
    RECT BoxRect(const TGridRect& range);
    // The cell at a client point; X (Y) is -1 left of (above) the cells or past the last one.
    TGridCoord MouseCoord(int x, int y);
    // The fixed columns' width and the fixed rows' height, lines included.
    int32_t FixedWidth() const;
    int32_t FixedHeight() const;

    // --- repainting ---
    // Inside an update bracket these only note that a repaint is due.
    void InvalidateCell(int32_t col, int32_t row);
    // Raises EInvalidGridOperation (GridIndexOutOfRange) for a row or column outside the grid.
    void InvalidateRow(int32_t row);
    void InvalidateCol(int32_t col);
    void InvalidateGrid();
    void InvalidateRange(const TGridRect& range);

    // --- update brackets and deferred updates ---
    // Opening the outermost bracket clears the pending work; closing one adds Refresh to it;
    // the outermost close does it once (rows, scroll ranges, repaint, editor).
    void BeginUpdate();
    void EndUpdate(TGridRefreshes refresh = {});
    bool Updating() const { return updateCount_ > 0; }
    TGridRefreshes PendingRefresh() const { return pending_; }
    // Posts GM_DEFERREDUPDATE; a burst of posts gives one DeferredUpdate.
    void PostDeferredUpdate();

    // --- mouse state ---
    TGridState GridState() const { return state_; }
    // The cell and client point of the last left-button press; (-1, -1) when none.
    TGridCoord PressCell() const { return pressCell_; }
    POINT PressPoint() const { return pressPoint_; }
    // The source cell of a drag out of the grid (kept for the node grid); (-1, -1) when none.
    TGridCoord DragSourceCell() const { return dragSourceCell_; }
    void SetDragSourceCell(TGridCoord cell) { dragSourceCell_ = cell; }
    // Ends any mouse operation: the timer stops, the capture goes, the state is normal.
    void CancelMouseState();
    // The timer-driven scroll near the edges without selecting (a drag over the grid).
    void BeginTimedScroll();
    void StopTimer();

    // --- editing ---
    bool EditorMode() const { return editorMode_; }
    // Shows (true) or hides (false, storing the text) the in-place editor.
    void SetEditorMode(bool value);
    void ShowEditor();
    void HideEditor();
    // The editor, made on first use (null before).
    TInplaceEditor* InplaceEditor() const { return editor_; }
    // Stores the editor's text in the current cell when it changed (OnSetEditText).
    void ApplyEditText();
    // Places the editor over the current cell again (or hides it when the cell is out of view).
    void UpdateEditPos();

    // --- drawing ---
    // Computes the wanted parts of the cell's drawing record (parts already computed stay),
    // then lets the owner adjust it (OnCalcDrawStruct, cells with column and row >= 0) and
    // computes again the wanted parts whose flags the owner cleared. Alignment and Layout
    // choose the text format's horizontal alignment and vertical placement.
    virtual void CalcDrawStruct(TDrawStruct& ds, int32_t col, int32_t row, TDrawParts parts = AllDrawParts,
                                TAlignment alignment = taLeftJustify, TTextLayout layout = tlTop);
    // The default painter: frame space, background, text, frame, focus rectangle.
    void DefaultDrawCell(TDrawStruct& ds);

    // --- events ---
    TDrawStructEvent OnCalcDrawStruct;
    TDrawStructEvent OnDrawCell;
    TGridPaintEvent OnPaint;
    TGetEditEvent OnGetEditText;
    TGetEditEvent OnGetEditMask;
    TSetEditEvent OnSetEditText;
    TSelectCellEvent OnSelectCell;
    TExtentChangedEvent OnColChanged;
    TExtentChangedEvent OnRowChanged;
    TMovedEvent OnColsMoved;
    TMovedEvent OnRowsMoved;
    TGridBoundsEvent OnGetAnchorBounds;
    TGridBoundsEvent OnSelectionChanged;
    TSelectionMovedEvent OnSelectionMoved;
    TTitleClickEvent OnTitleClick;
    TUpdateEditorEvent OnUpdateEditor;
    TNotifyEvent OnUpdateEditPos;
    TNotifyEvent OnUpdateScroll;
    TGridMessageEvent OnMessage;

    void WndProc(TMessage& msg) override;

protected:
    friend class TCustomInplaceEditor;
    friend class TInplaceEditor;

    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void Paint() override;
    bool WantsKey(WORD key) override;

    // --- steps for derived grids ---
    // Draws one cell: OnDrawCell, then the default painter unless the cell is done.
    virtual void DrawCell(TDrawStruct& ds);
    // The cell-selection step: OnSelectCell decides.
    virtual bool SelectCell(int32_t col, int32_t row);
    // The selection changed to Range (the owner may adjust it); repaints old and new.
    virtual void SelectionChanged(TGridRect& range);
    virtual void TopLeftChanged();
    // Row work at the end of an update bracket that asked for it; the base has none.
    virtual void RebuildRows(bool rebuild);
    // The work of GM_DEFERREDUPDATE: scroll ranges, editor place, repaint.
    virtual void DeferredUpdate();
    // GM_EDITPOSCHANGED arrived; the base has nothing to do.
    virtual void EditPosChanged() {}
    // FixedRows changed (rows that depend on it are laid out again); the base has nothing to do.
    virtual void FixedRowsChanged() {}
    virtual void ColWidthChanged(int32_t col, int32_t oldWidth, int32_t newWidth);
    virtual void RowHeightChanged(int32_t row, int32_t oldHeight, int32_t newHeight);
    virtual void ColumnsMoved(int32_t from, int32_t to, int32_t count);
    virtual void RowsMoved(int32_t from, int32_t to, int32_t count);
    // Text and mask of a cell for the editor; the text also for the default painter.
    virtual std::string GetEditText(int32_t col, int32_t row);
    virtual std::string GetEditMask(int32_t col, int32_t row);
    virtual int GetEditLimit() { return 0; }
    virtual void SetEditText(int32_t col, int32_t row, const std::string& value);
    virtual bool CanEditShow();
    virtual bool CanEditModify();
    virtual bool CanEditAcceptKey(char key) { return true; }
    // The editor-creation step: a TInplaceEditor whose mouse-down goes to EditorMouseDown.
    virtual TInplaceEditor* CreateEditor();
    // The editor is set up for the current cell: OnUpdateEditor.
    virtual void UpdateEditor(TCustomInplaceEditor& editor);
    // Where the editor goes: the current cell.
    virtual RECT EditorRect();
    virtual void EditorMouseDown(TMouseButton button, TShiftState shift, int x, int y) {}
    // The editor was hidden (editing ended).
    virtual void EditorClosed() {}
    // The editor lost the focus to a window outside the grid: the text is stored and, unless
    // the editor always shows, it is hidden.
    virtual void EditorExit();
    // One step of the timer-driven scroll towards the pointer.
    virtual void TimedScroll(bool left, bool right, bool up, bool down);

    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    // Computes the parts of Parts not yet in Ds.Computed.
    void ComputeDrawParts(TDrawStruct& ds, TDrawParts parts, TAlignment alignment, TTextLayout layout);
    // Whether the grid or its editor has the focus.
    bool HasFocus();
    // True for cells of the fixed rows or columns.
    bool IsFixedCell(int32_t col, int32_t row) const { return col < fixedCols_ || row < fixedRows_; }
    void SetGridState(TGridState state) { state_ = state; }
    // Adds work to what the end of the open update bracket does, or takes it all away (the
    // owner does it its own way).
    void AddPendingRefresh(TGridRefreshes refresh) { pending_ = pending_ + refresh; }
    TGridRefreshes TakePendingRefresh() { return std::exchange(pending_, TGridRefreshes{}); }
    // The modifiers of a mouse message completed from the keyboard state: under Wine the
    // message's MK_SHIFT and MK_CONTROL and the thread's key state can disagree for input that
    // another program sent; either one counts.
    static TShiftState MouseModifiers(TShiftState shift);
    // Starts the selection timer: the 500 ms first tick, then every 40 ms (timer id 1).
    void StartTimer(UINT interval);

private:
    // One visible column or row: its index, where it starts and how large it is.
    struct TVisibleItem {
        int32_t Index;
        int Start;
        int Size;
    };

    // --- messages ---
    void WMGetDlgCode(TMessage& msg);
    void WMSize(TMessage& msg);
    void WMVScroll(TMessage& msg);
    void WMHScroll(TMessage& msg);
    void WMMouseWheel(TMessage& msg);
    void WMTimer(TMessage& msg);
    void WMSetCursor(TMessage& msg);
    void WMSetFocus(TMessage& msg);
    void WMKillFocus(TMessage& msg);
    void WMCancelMode(TMessage& msg);
    void GMDeferredUpdate(TMessage& msg);
    void GMEditPosChanged(TMessage& msg);
    void CMColorChanged(TMessage& msg);
    void CMFontChanged(TMessage& msg);
    void Dispatch(TMessage& msg);

    // --- geometry ---
    // The pixel span of items First..Last of an axis as far as visible; false when none is.
    bool AxisSpan(const TGridAxis& axis, int32_t first, int32_t last, int32_t fixedCount, int32_t scrollStart,
                  int32_t offset, int32_t clientExtent, int32_t& from, int32_t& to) const;
    int32_t AxisIndexAt(const TGridAxis& axis, int pixel, int32_t fixedCount, int32_t scrollStart, int32_t offset,
                        int32_t clientExtent) const;
    int32_t DataWidth();
    int32_t DataHeight();
    bool SingleScrollColumn() const { return cols_.Count() - fixedCols_ == 1; }
    void LayoutChanged();
    void ClampTopLeft();
    void SetTopLeft(int32_t col, int32_t row, int32_t horzOffset);
    void CheckCol(int32_t col) const;
    void CheckRow(int32_t row) const;

    // --- scroll bars ---
    void UpdateScrollRange();
    void UpdateScrollBars();
    void SetScrollBar(int bar, const SCROLLINFO& si);
    void ScrollTo(int bar, WORD code);

    // --- selection ---
    TGridRect NormalizedSelection(TGridCoord anchor, TGridCoord current) const;
    void ApplySelection(TGridCoord anchor, TGridCoord current);

    // --- painting ---
    void PaintCells(TCanvas& canvas, const RECT& clip);
    // The visible items of an axis: the fixed ones, then the scrolled ones from ScrollStart as
    // far as Extent reaches.
    static std::vector<TVisibleItem> VisibleItems(const TGridAxis& axis, int32_t fixedCount, int32_t scrollStart,
                                                  int32_t offset, int extent);
    void PaintLines(HDC dc, const std::vector<TVisibleItem>& cols, const std::vector<TVisibleItem>& rows);
    void PaintEmptyArea(HDC dc, int right, int bottom);
    void ComputeCellRect(TDrawStruct& ds);
    void ComputeState(TDrawStruct& ds);
    void ComputeTextRect(TDrawStruct& ds, TTextLayout layout);

    // --- keys ---
    void MoveByKey(WORD key, TShiftState shift);
    void PageMove(bool down, TShiftState shift);
    void TabMove(bool backward);
    void EnterKey();

    // --- mouse ---
    void BeginSizing(bool columns, int32_t index, int pixel);
    bool SizingBorderAt(int x, int y, bool& columns, int32_t& index, int& edge);
    void MovingFeedback(bool show);
    void SizingFeedback(bool show);
    void SelectionMoveFeedback(bool show);
    void PressInScrollableCell(TShiftState shift, TGridCoord cell);
    void SelectingMove(TGridCoord cell);
    void ReleaseSizing(int x, int y);
    void ReleaseMoving();
    void TimerTick();
    TGridCoord ClampToScrollable(TGridCoord cell) const;
    TGridRect AnchorBoundsOf(TGridCoord cell);

    // --- editing ---
    void ShowEditorChar(char key);

    TGridAxis cols_;
    TGridAxis rows_;
    int32_t fixedCols_ = 1;
    int32_t fixedRows_ = 1;
    int32_t gridLineWidth_ = 1;
    TNewGridOptions options_ = DefaultGridOptions;
    TSaveExtents saveExtents_{seColWidths, seRowHeights};
    TScrollStyle scrollBars_ = ssBoth;
    TBorderStyle borderStyle_ = bsSingle;
    TColor fixedColor_ = clBtnFace;
    bool defaultDrawing_ = true;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;

    TGridCoord current_{1, 1};
    TGridCoord anchor_{1, 1};
    TGridRect selection_{1, 1, 1, 1};
    TGridCoord topLeft_{1, 1};
    int32_t horzOffset_ = 0;

    int updateCount_ = 0;
    TGridRefreshes pending_;
    bool updatingScrollBars_ = false;
    // What each scroll bar was last set to.
    struct TScrollBarValues {
        bool Known = false;
        int Min = 0;
        int Max = 0;
        UINT Page = 0;
        int Pos = 0;
        bool operator==(const TScrollBarValues&) const = default;
    };
    TScrollBarValues vertBar_;
    TScrollBarValues horzBar_;

    TGridState state_ = gsNormal;
    TGridCoord pressCell_{-1, -1};
    POINT pressPoint_{0, 0};
    TGridCoord dragSourceCell_{-1, -1};
    bool pressOnFixed_ = false;   // the press was on a fixed (title) cell
    bool timerRunning_ = false;
    UINT timerInterval_ = 0;
    // Sizing and moving.
    int32_t moveIndex_ = -1;      // the column or row sized or moved
    int32_t moveTarget_ = -1;     // where a moved one goes
    int sizingStart_ = 0;         // the pixel where the sized one starts
    int sizingPos_ = 0;           // the pixel of the sizing line
    bool feedbackShown_ = false;
    TGridCoord moveDistance_{0, 0};  // a moved selection's distance in columns and rows

    TInplaceEditor* editor_ = nullptr;
    bool editorMode_ = false;
    bool showingEditor_ = false;
    bool hidingEditor_ = false;  // the focus coming back from the editor opens no new one
};

// The published rows shared by the grids' class tables. Values equal to the stored default are
// not written; DefaultColWidth and DefaultRowHeight have stored defaults (40, 18) other than the
// constructor's values (64, 24), so a form that leaves them out gets 64 and 24.
template <class C>
std::vector<TPropInfo> TNewCustomGrid::PublishedProps() {
    using K = TPropKind;
    const auto intProp = [](const char* name, int32_t (TNewCustomGrid::*get)() const,
                            void (TNewCustomGrid::*set)(int32_t), int32_t stored) {
        return TypedProp<C, int32_t>(
            name, K::pkInteger, [get](const C& g) { return (g.*get)(); },
            [set](C& g, const int32_t& v) { (g.*set)(v); }, [get, stored](const C& g) { return (g.*get)() != stored; });
    };
    const auto boolProp = [](const char* name, bool (TNewCustomGrid::*get)() const, void (TNewCustomGrid::*set)(bool),
                             bool stored) {
        return TypedProp<C, bool>(
            name, K::pkBoolean, [get](const C& g) { return (g.*get)(); }, [set](C& g, const bool& v) { (g.*set)(v); },
            [get, stored](const C& g) { return (g.*get)() != stored; });
    };
    return {
        intProp("ColCount", &TNewCustomGrid::ColCount, &TNewCustomGrid::SetColCount, 5),
        intProp("RowCount", &TNewCustomGrid::RowCount, &TNewCustomGrid::SetRowCount, 5),
        intProp("FixedCols", &TNewCustomGrid::FixedCols, &TNewCustomGrid::SetFixedCols, 1),
        intProp("FixedRows", &TNewCustomGrid::FixedRows, &TNewCustomGrid::SetFixedRows, 1),
        intProp("DefaultColWidth", &TNewCustomGrid::DefaultColWidth, &TNewCustomGrid::SetDefaultColWidth, 40),
        intProp("DefaultRowHeight", &TNewCustomGrid::DefaultRowHeight, &TNewCustomGrid::SetDefaultRowHeight, 18),
        intProp("GridLineWidth", &TNewCustomGrid::GridLineWidth, &TNewCustomGrid::SetGridLineWidth, 1),
        TypedProp<C, TSetValue>(
            "Options", K::pkSet, [](const C& g) { return TSetValue{g.Options().Bits()}; },
            [](C& g, const TSetValue& v) { g.SetOptions(TNewGridOptions::FromBits(v.bits & 0xFFFF)); },
            [](const C& g) { return g.Options() != DefaultGridOptions; }, GridOptionNames()),
        TypedProp<C, TSetValue>(
            "SaveExtents", K::pkSet, [](const C& g) { return TSetValue{g.SaveExtents().Bits()}; },
            [](C& g, const TSetValue& v) { g.SetSaveExtents(TSaveExtents::FromBits(v.bits & 3)); }, {},
            SaveExtentNames()),
        TypedProp<C, std::string>(
            "ScrollBars", K::pkIdent, [](const C& g) { return ScrollStyleNames()[g.ScrollBars()]; },
            [](C& g, const std::string& v) {
                const auto& names = ScrollStyleNames();
                for (size_t i = 0; i < names.size(); ++i)
                    if (names[i] == v) return g.SetScrollBars(static_cast<TScrollStyle>(i));
                throw EPropertyError(sid::InvalidPropertyValue);
            },
            [](const C& g) { return g.ScrollBars() != ssBoth; }),
        TypedProp<C, std::string>(
            "BorderStyle", K::pkIdent, [](const C& g) { return std::string(g.BorderStyle() == bsNone ? "bsNone" : "bsSingle"); },
            [](C& g, const std::string& v) {
                if (v != "bsNone" && v != "bsSingle") throw EPropertyError(sid::InvalidPropertyValue);
                g.SetBorderStyle(v == "bsNone" ? bsNone : bsSingle);
            },
            [](const C& g) { return g.BorderStyle() != bsSingle; }),
        TypedProp<C, int32_t>(
            "Color", K::pkInteger, [](const C& g) { return g.Color(); }, [](C& g, const int32_t& v) { g.SetColor(v); },
            [](const C& g) { return g.Color() != clWindow && !g.ParentColor(); }),
        intProp("FixedColor", &TNewCustomGrid::FixedColor, &TNewCustomGrid::SetFixedColor, clBtnFace),
        TypedProp<C, bool>(
            "ParentColor", K::pkBoolean, [](const C& g) { return g.ParentColor(); },
            [](C& g, const bool& v) { g.SetParentColor(v); }, [](const C& g) { return g.ParentColor(); }),
        boolProp("DefaultDrawing", &TNewCustomGrid::DefaultDrawing, &TNewCustomGrid::SetDefaultDrawing, true),
        boolProp("Ctl3D", &TNewCustomGrid::Ctl3D, &TNewCustomGrid::SetCtl3D, true),
        boolProp("ParentCtl3D", &TNewCustomGrid::ParentCtl3D, &TNewCustomGrid::SetParentCtl3D, true),
        TypedProp<C, bool>(
            "TabStop", K::pkBoolean, [](const C& g) { return g.TabStop(); }, [](C& g, const bool& v) { g.SetTabStop(v); },
            [](const C& g) { return !g.TabStop(); }),
        TypedProp<C, int32_t>(
            "TabOrder", K::pkInteger, [](const C& g) { return g.TabOrder(); },
            [](C& g, const int32_t& v) { g.SetTabOrder(v); }, [](const C& g) { return g.TabOrder() >= 0; }),
        TypedProp<C, bool>(
            "ParentFont", K::pkBoolean, [](const C& g) { return g.ParentFont(); },
            [](C& g, const bool& v) { g.SetParentFont(v); }, [](const C& g) { return !g.ParentFont(); }),
        TypedProp<C, bool>(
            "ShowHint", K::pkBoolean, [](const C& g) { return g.ShowHint(); }, [](C& g, const bool& v) { g.SetShowHint(v); },
            [](const C& g) { return !g.ParentShowHint(); }),
        TypedProp<C, bool>(
            "ParentShowHint", K::pkBoolean, [](const C& g) { return g.ParentShowHint(); },
            [](C& g, const bool& v) { g.SetParentShowHint(v); }, [](const C& g) { return !g.ParentShowHint(); }),
        TypedProp<C, std::string>(
            "DragMode", K::pkIdent, [](const C& g) { return std::string(g.DragMode() == dmAutomatic ? "dmAutomatic" : "dmManual"); },
            [](C& g, const std::string& v) {
                if (v != "dmAutomatic" && v != "dmManual") throw EPropertyError(sid::InvalidPropertyValue);
                g.SetDragMode(v == "dmAutomatic" ? dmAutomatic : dmManual);
            },
            [](const C& g) { return g.DragMode() != dmManual; }),
        TypedProp<C, int32_t>(
            "DragCursor", K::pkInteger, [](const C& g) { return g.DragCursor(); },
            [](C& g, const int32_t& v) { g.SetDragCursor(v); }, [](const C& g) { return g.DragCursor() != crDrag; }),
        // The extents come last: a default width or height read after them would reset them.
        TypedProp<C, std::vector<int32_t>>(
            "ColWidths", K::pkIntegerList, [](const C& g) { return g.ColWidthList(); },
            [](C& g, const std::vector<int32_t>& v) { g.SetColWidthList(v); },
            [](const C& g) { return g.SaveExtents().Has(seColWidths) && g.ColAxis().HasExtents(); }),
        TypedProp<C, std::vector<int32_t>>(
            "RowHeights", K::pkIntegerList, [](const C& g) { return g.RowHeightList(); },
            [](C& g, const std::vector<int32_t>& v) { g.SetRowHeightList(v); },
            [](const C& g) { return g.SaveExtents().Has(seRowHeights) && g.RowAxis().HasExtents(); }),
    };
}
