// TCustomNodeGrid: the outline's geometry (where pictures and text go, the parts of a node's
// row), the pictures of a cell, painting the outline cell with its tree lines and plus/minus,
// painting an empty tree, and the width of a single column.
#include <algorithm>

#include "grid/inplace_editor_win.h"
#include "grid/node_grid_win.h"
#include "pictures/picture_list_win.h"

namespace {

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Meets(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TNodeRect ToNodeRect(const RECT& r) { return TNodeRect{r.left, r.top, r.right, r.bottom}; }

RECT ToRect(const TNodeRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// Whether Node is the last child of its parent (a node without parent counts as last).
bool IsLastChild(const TNode* node) {
    const TNode* parent = node->Parent();
    return !parent || parent->Child(parent->ChildCount() - 1) == node;
}

}  // namespace

// --- geometry ---

TCustomNodeGrid::TOutline TCustomNodeGrid::OutlineOf(const RECT& cell, const TNode* node) const {
    TOutline outline;
    outline.Left = cell.left;
    outline.Level = LevelOf(node);
    outline.Lines = gridOptions_.Has(noDrawTree) || gridOptions_.Has(noDrawPlusMinus);
    return outline;
}

// Level d's pictures start right of its indentation column; without lines and plus/minus that
// column is not drawn, so they start one Spacing further left.
int TCustomNodeGrid::PictureStart(const TOutline& outline) const {
    int x = outline.Left + outline.Level * Spacing();
    if (!outline.Lines) x -= Spacing();
    if (gridOptions_.Has(noStatePictRight)) x += SpacingPicture();
    return x;
}

bool TCustomNodeGrid::CalcPictures(const RECT& rect, int32_t row, int32_t column, TNode* node,
                                   TNodePictureInfo& info) {
    info = TNodePictureInfo{};
    if (!root_ || !node) return false;
    const RECT cell = rect;
    const int x0 = PictureStart(OutlineOf(cell, node));
    const bool stateRight = gridOptions_.Has(noStatePictRight);
    const RECT symbol = stateRight ? RECT{x0 - SpacingPicture(), cell.top, x0, cell.bottom}
                                   : RECT{x0 + SpacingState(), cell.top, x0 + SpacingState() + SpacingPicture(), cell.bottom};
    info.Column = column;
    info.Row = row;
    info.CellRect = ToNodeRect(cell);
    info.Symbol.ID = node->Bitmap();
    info.Symbol.Rect = ToNodeRect(symbol);
    info.Overlay = info.Symbol;
    info.Overlay.ID = 0;
    info.State.Rect = ToNodeRect(RECT{x0, cell.top, x0 + SpacingState(), cell.bottom});
    info.Cell.Rect = info.CellRect;
    if (node->SendNodeMessage(NM_NODEDRAWINFO, 0xFFFF, reinterpret_cast<intptr_t>(&info)) == 2) {
        info = TNodePictureInfo{};
        return false;
    }
    for (TNodePictureSlot* slot : {&info.Overlay, &info.Cell})
        if (!slot->Picture && (slot->ID == 0 || !GetPicture(slot->ID))) slot->Rect = TNodeRect{};
    return true;
}

// Where the outline text begins: right of the indentation, and right of the pictures that
// are drawn.
int TCustomNodeGrid::TextLeft(const RECT& cell, int32_t row, int32_t col, TNode* node) {
    const TOutline outline = OutlineOf(cell, node);
    int left = outline.Lines ? outline.Left + outline.Level * Spacing() : PictureStart(outline);
    if (!gridOptions_.Has(noDrawPicture)) return left;
    TNodePictureInfo info;
    if (!CalcPictures(cell, row, col, node, info)) return left;
    if (info.Symbol.Rect.Width() > 0) left = std::max<int>(left, info.Symbol.Rect.Right);
    if (info.State.Rect.Width() > 0) left = std::max<int>(left, info.State.Rect.Right);
    return left;
}

// The text hugs its width (plus 4 pixels each side), vertically centred on one line; the focus
// rectangle reaches from the text to the cell's right (to the text's end in a one-column grid).
void TCustomNodeGrid::PlaceOutlineText(TDrawStruct& ds, TNode* node) {
    const RECT cell = ds.CellRect;
    if (IsEmptyRect(cell)) return;
    TCanvas& canvas = ds.Canvas ? *ds.Canvas : Canvas();
    const int left = TextLeft(cell, ds.Row, ds.Col, node);
    const int width = (ds.Text.empty() ? 0 : canvas.TextExtent(ds.Text).cx) + 8;
    const int right = std::max(left, std::min<int>(left + width, cell.right));
    const int lineHeight = std::max(canvas.TextHeight("Wg"), 1);
    const int top = cell.top + std::max<int>((cell.bottom - cell.top - lineHeight) / 2, 0);
    ds.FocusRect = RECT{left, cell.top, ColCount() == 1 ? right : static_cast<int>(cell.right), cell.bottom};
    ds.TextRect = RECT{left + 4, top, std::max(left + 4, right - 4), std::min<int>(top + lineHeight, cell.bottom)};
    ds.TextFormat = (ds.TextFormat & ~static_cast<UINT>(DT_WORDBREAK | DT_VCENTER | DT_BOTTOM)) | DT_SINGLELINE | DT_NOPREFIX;
}

RECT TCustomNodeGrid::GetNodeRect(TNode* node, int32_t column, TNodeParts parts) {
    RECT result{0, 0, 0, 0};
    if (!node || !root_) return result;
    const int32_t col = column < 0 ? outlineCol_ : column;
    const int32_t row = RowOfNode(node);
    if (row < 0 || col < 0 || col >= ColCount()) return result;
    const RECT cell = CellRect(col, row);
    if (IsEmptyRect(cell)) return result;
    if (col != outlineCol_) return (parts & ppCell) ? cell : result;
    const TOutline outline = OutlineOf(cell, node);
    const int levelStart = outline.Left + outline.Level * Spacing();
    const auto add = [&](int left, int right) {
        left = std::max<int>(left, cell.left);
        right = std::min<int>(right, cell.right);
        if (right <= left) return;
        if (IsEmptyRect(result)) {
            result = RECT{left, cell.top, right, cell.bottom};
        } else {
            result.left = std::min<LONG>(result.left, left);
            result.right = std::max<LONG>(result.right, right);
        }
    };
    if ((parts & ppPlusMinus) && gridOptions_.Has(noDrawPlusMinus)) add(levelStart - Spacing(), levelStart);
    if ((parts & ppPictures) && gridOptions_.Has(noDrawPicture)) {
        const int x = outline.Lines ? levelStart : levelStart - Spacing();
        add(x, x + SpacingPicture() + SpacingState());
    }
    if (parts & ppText) {
        // The text as it is drawn (the pictures a node widens move it).
        TDrawStruct ds;
        CalcDrawStruct(ds, col, row);
        add(ds.FocusRect.left, ColCount() == 1 ? ds.FocusRect.right : cell.right);
    }
    if ((parts & ppTree) && gridOptions_.Has(noDrawTree)) add(outline.Left, levelStart);
    if (parts & ppCell) add(cell.left, cell.right);
    if ((parts & ppButton) && gridOptions_.HasAny({noDrawPicture, noDrawTree, noDrawPlusMinus}))
        add(levelStart - Spacing(), levelStart);
    return result;
}

void TCustomNodeGrid::InvalidateNode(TNode* node, int32_t column, TNodeParts parts) {
    if (Updating() || !HandleAllocated()) return;
    RECT r = GetNodeRect(node, column, parts);
    if (IsEmptyRect(r)) return;
    if ((column < 0 ? outlineCol_ : column) < FixedCols()) InflateRect(&r, -1, -1);
    if (!Options().Has(goVertLine) || !Options().Has(goHorzLine)) InflateRect(&r, GridLineWidth(), GridLineWidth());
    InvalidateRect(Handle(), &r, FALSE);
}

// --- the drawing record ---

void TCustomNodeGrid::CalcDrawStruct(TDrawStruct& ds, int32_t col, int32_t row, TDrawParts parts,
                                     TAlignment alignment, TTextLayout layout) {
    // The painter's text colour starts from the grid's font for each cell; an owner may change
    // it for the cell (OnCalcDrawStruct, a node's NM_GRIDCALCDRAW).
    if (ds.Computed.Empty() && (!ds.Canvas || ds.Canvas == &Canvas()) && Canvas().Font().Color() != Font().Color())
        Canvas().Font().SetColor(Font().Color());
    const bool newText = parts.Has(dpTextRect) && !ds.Computed.Has(dpTextRect);
    TNewCustomGrid::CalcDrawStruct(ds, col, row, parts, alignment, layout);
    TNode* node = row >= FixedRows() ? NodeAtRow(row) : nullptr;
    if (!node) return;
    if (col == outlineCol_) {
        if (gridOptions_.Has(noSelectNodes) && ds.Computed.Has(dpState)) {
            if (node->State().Has(nsSelected)) ds.State += dsSelected;
            else ds.State -= dsSelected;
        }
        if (newText && ds.Computed.Has(dpTextRect)) PlaceOutlineText(ds, node);
    }
    const TDrawParts before = ds.Computed;
    node->SendNodeMessage(NM_GRIDCALCDRAW, 0, reinterpret_cast<intptr_t>(&ds));
    if (ds.Computed != before) ComputeDrawParts(ds, parts, alignment, layout);
}

// --- painting ---

bool TCustomNodeGrid::PaintsEmpty() {
    return !root_ || Updating() || (FixedRows() == 0 && root_->ChildCount() == 0 && !ShowRoot());
}

void TCustomNodeGrid::Paint() {
    if (!PaintsEmpty()) {
        TNewCustomGrid::Paint();
        return;
    }
    TCanvas& canvas = Canvas();
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
}

void TCustomNodeGrid::DrawCell(TDrawStruct& ds) {
    TNode* node = ds.Row >= FixedRows() ? NodeAtRow(ds.Row) : nullptr;
    if (node && node->SendNodeMessage(NM_GRIDDRAWCELL, 0, reinterpret_cast<intptr_t>(&ds)) == 1) return;
    if (node && ds.Col == outlineCol_ && gridOptions_.HasAny({noDrawPicture, noDrawTree, noDrawPlusMinus})) {
        DrawOutlineCell(ds, node);
    } else {
        TNewCustomGrid::DrawCell(ds);
        TNodePictureInfo info;
        RECT clip;
        TCanvas& canvas = ds.Canvas ? *ds.Canvas : Canvas();
        if (node && !ds.State.Has(dsDone) && CalcPictures(ds.CellRect, ds.Row, ds.Col, node, info) &&
            GetClipBox(canvas.Handle(), &clip) != NULLREGION)
            DrawPictureSlot(canvas, info.Cell, ds.CellRect);
    }
    if (node && node == dropMark_) DrawDropMark(ds);
}

void TCustomNodeGrid::DrawOutlineCell(TDrawStruct& ds, TNode* node) {
    TCanvas& canvas = ds.Canvas ? *ds.Canvas : Canvas();
    if (OnDrawCell) OnDrawCell(*this, ds);
    if (ds.State.Has(dsDone)) return;
    const RECT cell = ds.CellRect;
    const bool highlight = (ds.State.Has(dsSelected) || ds.State.Has(dsFocused)) && !ds.State.Has(dsFixed);
    const bool rowSelect = Options().Has(goRowSelect);
    const TColor background = ds.BrushColor == clNone ? Color() : ds.BrushColor;
    if (ds.State.Has(dsFillBackground) && ds.BrushColor != clNone) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(rowSelect && highlight ? clHighlight : ds.BrushColor);
        canvas.FillRect(cell);
    }
    if (gridOptions_.Has(noDrawTree) || gridOptions_.Has(noDrawPlusMinus)) DrawTree(cell, ds.Row, node);
    TNodePictureInfo info;
    if (gridOptions_.Has(noDrawPicture) && CalcPictures(cell, ds.Row, ds.Col, node, info)) {
        // Pictures drawn with the brush copy mode take the cell's background in their
        // transparent pixels.
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(rowSelect && highlight ? clHighlight : background);
        for (const TNodePictureSlot* slot : {&info.State, &info.Symbol, &info.Overlay, &info.Cell})
            DrawPictureSlot(canvas, *slot, cell);
    }
    if (ds.State.Has(dsDrawText)) {
        const RECT box{ds.TextRect.left - 4, cell.top, ds.TextRect.right + 4, cell.bottom};
        if (highlight && !rowSelect && box.right > box.left) {
            canvas.Brush().SetStyle(bsSolid);
            canvas.Brush().SetColor(clHighlight);
            canvas.FillRect(box);
        }
        if (!ds.Text.empty()) {
            const TColor textColor = highlight ? clHighlightText : canvas.Font().Color();
            if (canvas.Font().Color() != textColor) canvas.Font().SetColor(textColor);
            canvas.Brush().SetStyle(bsClear);
            // The last glyph may reach a little past its advance width (smoothed fonts under
            // Wine): the padding right of the text takes it.
            RECT text = ds.TextRect;
            text.right = std::min<LONG>(text.right + 4, cell.right);
            canvas.DrawText(ds.Text, text, ds.TextFormat & ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM));
        }
    }
    if (ds.State.Has(dsFocusFrame)) {
        RECT focus = ds.FocusRect;
        const HDC dc = canvas.Handle();
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &focus);
        ds.State -= dsFocusFrame;
    }
    if (ds.State.Has(dsFrame)) {
        RECT frame = cell;
        DrawEdge(canvas.Handle(), &frame, ds.State.Has(dsRaised) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    }
    ds.State += dsDone;
}

void TCustomNodeGrid::DrawPictureSlot(TCanvas& canvas, const TNodePictureSlot& slot, const RECT& cell) {
    if (slot.ID == 0 && !slot.Picture) return;
    const RECT rect = ToRect(slot.Rect);
    if (IsEmptyRect(rect) || !Meets(rect, cell)) return;
    TPictureEntry* entry = slot.Picture ? slot.Picture : GetPicture(slot.ID);
    if (!entry || entry->IsEmpty()) return;
    const uint32_t bits = (entry->Option().Bits() | (slot.Options & 0xFFFF)) & ~(slot.Options >> 16);
    RECT drawn;
    entry->Draw(canvas, rect, drawn, TPictOption::FromBits(bits));
}

// A dotted line: pixels in the button shadow colour alternating with the grid's colour.
void TCustomNodeGrid::DrawTree(const RECT& rect, int32_t, TNode* node) {
    if (!node || !root_) return;
    TCanvas& canvas = Canvas();
    const HDC dc = canvas.Handle();
    const COLORREF dark = ColorToRGB(clBtnShadow);
    const COLORREF light = ColorToRGB(Color());
    const int spacing = Spacing();
    const int top = rect.top;
    const int bottom = rect.bottom;
    int half = (bottom - top - 1) / 2;
    if (half % 2) --half;
    const int mid = top + half;
    const int level = LevelOf(node);
    const int x = rect.left + spacing / 2 + (level - 1) * spacing;
    const bool expanded = node->State().Has(nsExpanded);
    const auto vertical = [&](int at, int from, int to) {
        for (int y = from; y < to; ++y) ::SetPixel(dc, at, y, y % 2 == 0 ? dark : light);
    };
    const auto horizontal = [&](int from, int to, int at) {
        for (int px = from; px < to; ++px) ::SetPixel(dc, px, at, (px - from) % 2 == 0 ? dark : light);
    };
    if (gridOptions_.Has(noDrawTree)) {
        // The lines of the ancestors that have siblings after them pass through the row.
        int index = level - 2;
        for (const TNode* a = node->Parent(); a && a != root_ && index >= 0; a = a->Parent(), --index)
            if (!IsLastChild(a)) vertical(rect.left + index * spacing + spacing / 2, top, bottom);
        if ((node->HasChildren() && expanded) || (node == root_ && node->Bitmap() != 0))
            vertical(x + spacing, mid, bottom);
        if (node != root_) {
            horizontal(x, x + spacing, mid);
            vertical(x, top, IsLastChild(node) ? mid : bottom);
        }
    }
    if (gridOptions_.Has(noDrawPlusMinus) && node->HasChildren()) {
        TPictureEntry* picture = GetPicture(expanded ? PictMinusId : PictPlusId);
        if (picture && !picture->IsEmpty()) {
            // The box's middle row is the lines' middle.
            const int left = x - spacing / 2 + ((spacing + 1) & 1);
            const RECT box{left, top, left + spacing, top + 2 * half + 1};
            RECT drawn;
            picture->DrawOwn(canvas, box, drawn);
        }
    }
}

void TCustomNodeGrid::DrawDropMark(TDrawStruct& ds) {
    TCanvas& canvas = ds.Canvas ? *ds.Canvas : Canvas();
    const int left = ds.Col == outlineCol_ ? static_cast<int>(ds.FocusRect.left) : static_cast<int>(ds.CellRect.left);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clHighlight);
    canvas.FillRect(RECT{left, ds.CellRect.top, ds.CellRect.right, ds.CellRect.top + 2});
}

// --- the width of a single column ---

int32_t TCustomNodeGrid::OutlineWidth(TNode* node) {
    const int32_t row = RowOfNode(node);
    const RECT cell{0, 0, 0x7FFF, std::max(DefaultRowHeight(), 1)};
    auto width = static_cast<int32_t>(TextLeft(cell, row, outlineCol_, node) +
                                      Canvas().TextExtent(node->GetText(outlineCol_) + "  ").cx);
    node->SendNodeMessage(NM_GRIDNODEWIDTH, outlineCol_, reinterpret_cast<intptr_t>(&width));
    return width;
}

// A one-column grid's column fills the client width (as if the vertical scroll bar were there
// exactly when the rows do not fit), and with a horizontal scroll bar is at least as wide as the
// widest outline.
void TCustomNodeGrid::UpdateColumnWidth() {
    if (ColCount() != 1 || Updating() || !HandleAllocated() || !root_ || sizingColumn_) return;
    sizingColumn_ = true;
    try {
        const LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
        const int bar = GetSystemMetrics(SM_CXVSCROLL);
        int width = ClientWidth() + ((style & WS_VSCROLL) ? bar : 0);
        if (RowAxis().Position(RowCount()) > ClientHeight()) width -= bar;
        width -= GridLineWidth();
        if (ScrollBars() == ssHorizontal || ScrollBars() == ssBoth) {
            if (widest_ < 0) {
                widest_ = 0;
                for (TNode* node : rows_.Nodes(0, rows_.Count())) widest_ = std::max(widest_, OutlineWidth(node));
            }
            width = std::max(width, widest_);
        }
        width = std::max(width, 0);
        if (width != ColWidths(0)) SetColWidths(0, width);
    } catch (...) {
        sizingColumn_ = false;
        throw;
    }
    sizingColumn_ = false;
}

void TCustomNodeGrid::WidenFor(const std::vector<TNode*>& nodes) {
    if (ColCount() != 1 || widest_ < 0 || (ScrollBars() != ssHorizontal && ScrollBars() != ssBoth)) return;
    for (TNode* node : nodes) widest_ = std::max(widest_, OutlineWidth(node));
}

// In a one-column grid the current node's text is scrolled into view sideways.
void TCustomNodeGrid::KeepTextInView() {
    if (ColCount() != 1 || !HandleAllocated()) return;
    const RECT text = GetNodeRect(NodeAtRow(Row()), -1, ppText);
    if (IsEmptyRect(text)) return;
    int delta = std::max<int>(text.right - ClientWidth(), 0);
    if (text.left - delta < 0) delta = text.left;
    if (delta != 0) SetHorzOffset(std::max(HorzOffset() + delta, 0));
}
