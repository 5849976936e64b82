// TCustomNodeGrid: renaming nodes with the in-place editor. The editor opens on a node that is
// not read-only (the node is asked first, NM_GRIDCANEDIT), shows the node's text for the column,
// lies over the text part of the outline cell, and stores the edited text with the node's
// SetText. The node carries nsEditing exactly while the editor is open on it.
#include <algorithm>
#include <utility>

#include "grid/inplace_editor_win.h"
#include "grid/node_grid_win.h"
#include "winui/form_win.h"

bool TCustomNodeGrid::CanEditShow() {
    if (!TNewCustomGrid::CanEditShow() || !root_) return false;
    if (TForm* form = ParentForm(); form && form->ActiveControl() != this) return false;
    TNode* node = NodeAtRow(Row());
    if (!node) return false;
    node->SendNodeMessage(NM_GRIDCANEDIT, Col(), Row());
    // The node may have gone or changed its mind while it was asked.
    node = NodeAtRow(Row());
    return node && !node->State().Has(nsReadOnly);
}

std::string TCustomNodeGrid::GetEditText(int32_t col, int32_t row) {
    TNode* node = row >= FixedRows() ? NodeAtRow(row) : nullptr;
    if (!node) return TNewCustomGrid::GetEditText(col, row);
    // A node may show another text while it is being renamed: the editor's cell is read with
    // nsEditing, every other cell without.
    const TNodeState saved = node->State();
    const bool editorCell = EditorMode() && col == Col() && row == Row();
    node->SetStateDirect(editorCell ? saved + nsEditing : saved - nsEditing);
    std::string text;
    try {
        text = node->GetText(col);
    } catch (...) {
        node->SetStateDirect(saved);
        throw;
    }
    node->SetStateDirect(saved);
    return text;
}

void TCustomNodeGrid::SetEditText(int32_t col, int32_t row, const std::string& value) {
    // The editor's text belongs to the node it was opened on, wherever its row went since.
    const bool editorCell = EditorMode() && editingNode_ && col == Col() && row == Row();
    TNode* node = editorCell ? editingNode_ : row >= FixedRows() ? NodeAtRow(row) : nullptr;
    if (!node) {
        TNewCustomGrid::SetEditText(col, row, value);
        return;
    }
    if (!node->State().Has(nsReadOnly)) node->SetText(col, value);
}

bool TCustomNodeGrid::CanEditAcceptKey(char key) {
    // A character the grid already offered the node before it opened the editor with it.
    if (keyPressSent_ && key == keyPressSent_) return true;
    TNode* node = NodeAtRow(Row());
    if (!node) return true;
    TGridKeyPressInfo info{key, Col(), Row()};
    node->SendNodeMessage(NM_GRIDKEYPRESS, 0, reinterpret_cast<intptr_t>(&info));
    return info.Key != 0;
}

// The editor is really opening: its node gets nsEditing (not while the grid only asked whether
// it may open).
void TCustomNodeGrid::UpdateEditor(TCustomInplaceEditor& editor) {
    if (TNode* node = NodeAtRow(Row())) {
        editingNode_ = node;
        node->SetState(node->State() + nsEditing);
        node->SendNodeMessage(NM_GRIDUPDATEEDITOR, Col(), reinterpret_cast<intptr_t>(&editor));
    }
    TNewCustomGrid::UpdateEditor(editor);
}

void TCustomNodeGrid::EditorClosed() {
    TNode* node = std::exchange(editingNode_, nullptr);
    if (!node || !node->State().Has(nsEditing)) return;
    TGridCellMove move{Col(), Row(), Col(), Row()};
    node->SendNodeMessage(NM_GRIDLEAVECELL, 0, reinterpret_cast<intptr_t>(&move));
    node->SetState(node->State() - nsEditing);
}

// In the outline column the editor covers the text, from where it begins to the cell's right,
// so that the tree lines and pictures stay in view; the node may place it elsewhere.
RECT TCustomNodeGrid::EditorRect() {
    RECT rect = TNewCustomGrid::EditorRect();
    TNode* node = NodeAtRow(Row());
    if (!node || rect.right <= rect.left) return rect;
    if (Col() == outlineCol_) {
        TDrawStruct ds;
        CalcDrawStruct(ds, Col(), Row());
        rect.left = std::clamp<LONG>(ds.FocusRect.left, rect.left, rect.right);
    }
    TGridEditRect edit{rect.left, rect.top, rect.right, rect.bottom};
    if (node->SendNodeMessage(NM_GRIDEDITRECT, Col(), reinterpret_cast<intptr_t>(&edit)) == 1)
        rect = RECT{edit.Left, edit.Top, edit.Right, edit.Bottom};
    return rect;
}

void TCustomNodeGrid::EditorMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TNode* node = editingNode_ ? editingNode_ : NodeAtRow(Row());
    if (!node || !InplaceEditor()) return;
    // In the grid's coordinates, as for a press on the grid itself.
    const POINT at = ScreenToClient(InplaceEditor()->ClientToScreen(POINT{x, y}));
    TGridMouseInfo info{button == mbRight ? gbRight : button == mbMiddle ? gbMiddle : gbLeft, shift.Bits(),
                        at.x, at.y, Col(), Row()};
    node->SendNodeMessage(NM_GRIDMOUSEDOWN, 0, reinterpret_cast<intptr_t>(&info));
}

void TCustomNodeGrid::EditPosChanged() {
    TNode* node = NodeAtRow(Row());
    if (node && InplaceEditor()) node->SendNodeMessage(NM_GRIDEDITPOS, Col(), reinterpret_cast<intptr_t>(InplaceEditor()));
}
