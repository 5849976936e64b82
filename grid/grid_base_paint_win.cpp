// TNewCustomGrid: computing the drawing records of cells, the default painter, and painting the
// visible cells, the grid lines and the area beyond the last cell.
#include <algorithm>
#include <vector>

#include "grid/grid_base_win.h"
#include "grid/inplace_editor_win.h"
#include "winui/gdi_scope_win.h"

namespace {

// Line colours: the fixed cells' lines dark, the others light.
constexpr TColor FixedLineColor = clBlack;
constexpr TColor LineColor = clSilver;

}  // namespace

std::vector<TNewCustomGrid::TVisibleItem> TNewCustomGrid::VisibleItems(const TGridAxis& axis, int32_t fixedCount,
                                                                       int32_t scrollStart, int32_t offset, int extent) {
    std::vector<TVisibleItem> items;
    const int line = axis.LineWidth();
    int pos = 0;
    for (int32_t i = 0; i < fixedCount && i < axis.Count() && pos < extent; ++i) {
        items.push_back(TVisibleItem{i, pos, axis.Size(i)});
        pos += axis.Size(i) + line;
    }
    pos = static_cast<int>(axis.Position(fixedCount)) - offset;
    for (int32_t i = scrollStart; i < axis.Count() && pos < extent; ++i) {
        items.push_back(TVisibleItem{i, pos, axis.Size(i)});
        pos += axis.Size(i) + line;
    }
    return items;
}

namespace {

// Clips a device context to one rectangle for a scope, without touching its selected objects.
class TClipToRect {
public:
    TClipToRect(HDC dc, const RECT& rect) : dc_(dc), region_(CreateRectRgnIndirect(&rect)) {
        SelectClipRgn(dc_, region_);
    }
    ~TClipToRect() { SelectClipRgn(dc_, nullptr); }
    TClipToRect(const TClipToRect&) = delete;
    TClipToRect& operator=(const TClipToRect&) = delete;

private:
    HDC dc_;
    TGdiObject<HRGN> region_;
};

bool Intersects(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

// --- the drawing record ---

void TNewCustomGrid::CalcDrawStruct(TDrawStruct& ds, int32_t col, int32_t row, TDrawParts parts,
                                    TAlignment alignment, TTextLayout layout) {
    if (ds.Computed.Empty()) {
        ds.CellRange = TGridRect{col, row, col, row};
        ds.BrushColor = clNone;
        ds.State = TDrawStates{};
    }
    ds.Col = col;
    ds.Row = row;
    ds.Grid = this;
    ComputeDrawParts(ds, parts, alignment, layout);
    if (col >= 0 && row >= 0 && OnCalcDrawStruct) {
        OnCalcDrawStruct(*this, ds);
        ComputeDrawParts(ds, parts, alignment, layout);
    }
}

void TNewCustomGrid::ComputeDrawParts(TDrawStruct& ds, TDrawParts parts, TAlignment alignment, TTextLayout layout) {
    if (!ds.Canvas) ds.Canvas = &Canvas();
    const auto wanted = [&](TDrawPart part) { return parts.Has(part) && !ds.Computed.Has(part); };
    // The text rectangle is made from the cell rectangle, the text and its format.
    if (wanted(dpTextRect)) parts = parts + TDrawParts{dpCellRect, dpText, dpTextFormat};
    if (wanted(dpFocusRect)) parts += dpCellRect;
    if (wanted(dpCellRect)) {
        ComputeCellRect(ds);
        ds.Computed += dpCellRect;
    }
    if (wanted(dpState)) {
        ComputeState(ds);
        ds.Computed += dpState;
    }
    if (wanted(dpColors)) {
        ds.ColorProvider = RowColorProvider;
        const TColor own = ds.ColorProvider ? ds.ColorProvider(*this, ds.Row) : 0;
        ds.BrushColor = own != 0 ? own : (IsFixedCell(ds.Col, ds.Row) ? fixedColor_ : Color());
        ds.Computed += dpColors;
    }
    if (wanted(dpText)) {
        ds.Text = GetEditText(ds.Col, ds.Row);
        ds.Computed += dpText;
    }
    if (wanted(dpTextFormat)) {
        ds.TextFormat = DT_WORDBREAK | DT_NOPREFIX;
        if (alignment == taCenter) ds.TextFormat |= DT_CENTER;
        else if (alignment == taRightJustify) ds.TextFormat |= DT_RIGHT;
        if (layout == tlCenter) ds.TextFormat |= DT_VCENTER;
        else if (layout == tlBottom) ds.TextFormat |= DT_BOTTOM;
        ds.Computed += dpTextFormat;
    }
    if (wanted(dpTextRect)) {
        ComputeTextRect(ds, layout);
        ds.Computed += dpTextRect;
    }
    if (wanted(dpFocusRect)) {
        ds.FocusRect = ds.CellRect;
        ds.Computed += dpFocusRect;
    }
    if (wanted(dpData)) {
        ds.Data = 0;
        ds.Computed += dpData;
    }
}

// The cell's rectangle (or that of its cell range), widened over the line space where the
// grid lines are off, so that the background covers it.
void TNewCustomGrid::ComputeCellRect(TDrawStruct& ds) {
    const TGridRect cell{ds.Col, ds.Row, ds.Col, ds.Row};
    RECT r;
    if (ds.CellRange == cell) {
        r = CellRect(ds.Col, ds.Row);
    } else {
        r = BoxRect(ds.CellRange);
        if (r.right > r.left) {
            r.right -= gridLineWidth_;
            r.bottom -= gridLineWidth_;
        }
    }
    if (r.right <= r.left || r.bottom <= r.top) {
        ds.CellRect = RECT{0, 0, 0, 0};
        return;
    }
    const bool fixed = IsFixedCell(ds.Col, ds.Row);
    if (!options_.Has(fixed ? goFixedVertLine : goVertLine)) r.right += gridLineWidth_;
    if (!options_.Has(fixed ? goFixedHorzLine : goHorzLine)) r.bottom += gridLineWidth_;
    ds.CellRect = r;
}

void TNewCustomGrid::ComputeState(TDrawStruct& ds) {
    TDrawStates state{dsDrawText, dsFillBackground};
    const bool fixed = IsFixedCell(ds.Col, ds.Row);
    const bool rowSelect = options_.Has(goRowSelect);
    const bool editorCell = editorMode_ && editor_ && editor_->Visible() && ds.Col == current_.X && ds.Row == current_.Y;
    if (fixed) {
        state += dsFixed;
        if (ctl3D_ && options_.Has(goFixedVertLine) && options_.Has(goFixedHorzLine)) state = state + dsFrame + dsRaised;
    } else {
        const bool current = ds.Row == current_.Y && (rowSelect || ds.Col == current_.X);
        const bool focusCell = current && HasFocus();
        const bool showFocus = options_.Has(goDrawFocusSelected) || rowSelect;
        const bool inSelection = selection_.Contains(ds.Col, ds.Row);
        if (inSelection && (!focusCell || showFocus)) state += dsSelected;
        if (focusCell && showFocus) state += dsFocused;
        const bool editorAlways = options_.Has(goEditing) && options_.Has(goAlwaysShowEditor);
        if (focusCell && !rowSelect && !editorAlways && !editorCell) state += dsFocusFrame;
    }
    if (editorCell) state = state + dsEditorCell - dsDrawText;
    ds.State = state;
}

void TNewCustomGrid::ComputeTextRect(TDrawStruct& ds, TTextLayout layout) {
    RECT r = ds.CellRect;
    if (r.right <= r.left) {
        ds.TextRect = r;
        return;
    }
    const bool fixedRow = ds.Row < fixedRows_;
    if (!(fixedRow && (ds.TextFormat & DT_CENTER))) {
        r.left += 2;
        r.right -= 2;
    }
    if (!fixedRow) r.top += 1;
    if (layout != tlTop && !ds.Text.empty() && r.right > r.left) {
        TCanvas& canvas = *ds.Canvas;
        RECT measured{0, 0, r.right - r.left, 0};
        int height = canvas.DrawText(ds.Text, measured, (ds.TextFormat & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
        const int lineHeight = std::max(canvas.TextHeight("Wg"), 1);
        const int available = static_cast<int>(r.bottom - r.top);
        // Only whole lines: a line that does not fit is not drawn half.
        height = std::min(height, std::max(available / lineHeight, 1) * lineHeight);
        if (layout == tlCenter) r.top += (available - height) / 2;
        else r.top = r.bottom - height;
        r.bottom = r.top + height;
    }
    ds.TextRect = r;
}

// --- painting ---

void TNewCustomGrid::DrawCell(TDrawStruct& ds) {
    if (OnDrawCell) OnDrawCell(*this, ds);
    if (!ds.State.Has(dsDone) && defaultDrawing_) DefaultDrawCell(ds);
}

void TNewCustomGrid::DefaultDrawCell(TDrawStruct& ds) {
    TCanvas& canvas = ds.Canvas ? *ds.Canvas : Canvas();
    // A canvas of the owner's (a bitmap) draws in the grid's font too.
    if (&canvas != &Canvas()) canvas.Font().Assign(&Font());
    const HDC dc = canvas.Handle();
    RECT cell = ds.CellRect;
    if (ds.State.Has(dsFrame)) InflateRect(&cell, -1, -1);
    const bool highlight = (ds.State.Has(dsSelected) || ds.State.Has(dsFocused)) && !ds.State.Has(dsFixed);
    if (ds.State.Has(dsFillBackground) && ds.BrushColor != clNone) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(highlight ? clHighlight : ds.BrushColor);
        canvas.FillRect(cell);
    }
    if (ds.State.Has(dsDrawText) && !ds.Text.empty()) {
        const TColor textColor = highlight ? clHighlightText : Font().Color();
        if (canvas.Font().Color() != textColor) canvas.Font().SetColor(textColor);
        canvas.Brush().SetStyle(bsClear);
        RECT text = ds.TextRect;
        canvas.DrawText(ds.Text, text, ds.TextFormat & ~(DT_VCENTER | DT_BOTTOM));
    }
    if (ds.State.Has(dsFrame)) {
        RECT frame = ds.CellRect;
        DrawEdge(dc, &frame, ds.State.Has(dsRaised) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    }
    if (ds.State.Has(dsFocusFrame)) {
        RECT focus = ds.FocusRect;
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &focus);
    }
}

void TNewCustomGrid::Paint() {
    TCanvas& canvas = Canvas();
    if (OnPaint) OnPaint(*this, true);
    PaintCells(canvas, canvas.ClipRect());
    if (OnPaint) OnPaint(*this, false);
}

void TNewCustomGrid::PaintCells(TCanvas& canvas, const RECT& clip) {
    const int width = ClientWidth();
    const int height = ClientHeight();
    const std::vector<TVisibleItem> cols = VisibleItems(cols_, fixedCols_, topLeft_.X, horzOffset_, width);
    const std::vector<TVisibleItem> rows = VisibleItems(rows_, fixedRows_, topLeft_.Y, 0, height);
    const HDC dc = canvas.Handle();
    // Select the font and brush once outside the per-cell clipping.
    canvas.TextHeight("W");
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(RECT{0, 0, 0, 0});
    const int fixedWidth = FixedWidth();
    const int fixedHeight = FixedHeight();
    std::vector<TGridRect> merged;
    for (const TVisibleItem& row : rows) {
        if (row.Start >= clip.bottom || row.Start + row.Size + gridLineWidth_ <= clip.top) continue;
        for (const TVisibleItem& col : cols) {
            const RECT space{col.Start, row.Start, col.Start + col.Size + gridLineWidth_, row.Start + row.Size + gridLineWidth_};
            if (!Intersects(space, clip)) continue;
            if (std::any_of(merged.begin(), merged.end(), [&](const TGridRect& r) { return r.Contains(col.Index, row.Index); }))
                continue;
            TDrawStruct ds;
            ds.Canvas = &canvas;
            CalcDrawStruct(ds, col.Index, row.Index);
            if (ds.CellRange != TGridRect{col.Index, row.Index, col.Index, row.Index}) merged.push_back(ds.CellRange);
            // Scrolled cells never paint over the fixed ones.
            RECT area = ds.CellRect;
            if (col.Index >= fixedCols_) area.left = std::max<LONG>(area.left, fixedWidth);
            if (row.Index >= fixedRows_) area.top = std::max<LONG>(area.top, fixedHeight);
            if (area.right <= area.left || area.bottom <= area.top) continue;
            TClipToRect clipped(dc, area);
            DrawCell(ds);
        }
    }
    const int right = cols.empty() ? 0 : cols.back().Start + cols.back().Size + gridLineWidth_;
    const int bottom = rows.empty() ? 0 : rows.back().Start + rows.back().Size + gridLineWidth_;
    PaintLines(dc, cols, rows);
    PaintEmptyArea(dc, right, bottom);
}

// Grid lines in the line space after each column and row: in the fixed area when the fixed
// lines are on, among the scrolled cells when the others are.
void TNewCustomGrid::PaintLines(HDC dc, const std::vector<TVisibleItem>& cols, const std::vector<TVisibleItem>& rows) {
    const int w = gridLineWidth_;
    if (w <= 0 || cols.empty() || rows.empty()) return;
    const TGdiObject<HBRUSH> fixedBrush(CreateSolidBrush(ColorToRGB(FixedLineColor)));
    const TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(LineColor)));
    const int right = cols.back().Start + cols.back().Size + w;
    const int bottom = rows.back().Start + rows.back().Size + w;
    const int fixedWidth = std::min(FixedWidth(), right);
    const int fixedHeight = std::min(FixedHeight(), bottom);
    const auto fill = [dc](const RECT& r, HBRUSH b) {
        if (r.right > r.left && r.bottom > r.top) ::FillRect(dc, &r, b);
    };
    for (const TVisibleItem& col : cols) {
        const int x = col.Start + col.Size;
        if (x + w <= 0) continue;
        const bool fixedCol = col.Index < fixedCols_;
        // The part crossing the fixed rows, then the part below them.
        if (options_.Has(goFixedVertLine)) fill(RECT{x, 0, x + w, fixedHeight}, fixedBrush);
        if (options_.Has(fixedCol ? goFixedVertLine : goVertLine))
            fill(RECT{x, fixedHeight, x + w, bottom}, fixedCol ? fixedBrush.Get() : brush.Get());
    }
    for (const TVisibleItem& row : rows) {
        const int y = row.Start + row.Size;
        const bool fixedRow = row.Index < fixedRows_;
        if (options_.Has(goFixedHorzLine)) fill(RECT{0, y, fixedWidth, y + w}, fixedBrush);
        if (options_.Has(fixedRow ? goFixedHorzLine : goHorzLine))
            fill(RECT{fixedWidth, y, right, y + w}, fixedRow ? fixedBrush.Get() : brush.Get());
    }
}

void TNewCustomGrid::PaintEmptyArea(HDC dc, int right, int bottom) {
    const TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Color())));
    const int width = ClientWidth();
    const int height = ClientHeight();
    const RECT beside{right, 0, width, height};
    const RECT below{0, bottom, std::min(right, width), height};
    if (beside.right > beside.left && beside.bottom > beside.top) ::FillRect(dc, &beside, brush);
    if (below.right > below.left && below.bottom > below.top) ::FillRect(dc, &below, brush);
}
