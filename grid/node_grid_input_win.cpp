// TCustomNodeGrid: keys (tree keys, space, plus and minus), mouse presses on the outline,
// node selection with Shift and Ctrl, the hand-over between cells, and node menus.
#include <algorithm>

#include "grid/node_grid_win.h"
#include "winui/menu_win.h"

namespace {

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

TGridButton GridButton(TMouseButton button) {
    switch (button) {
    case mbRight: return gbRight;
    case mbMiddle: return gbMiddle;
    default: return gbLeft;
    }
}

// The button a move is made with.
TGridButton HeldButton(TShiftState shift) {
    if (shift.Has(ssLeft)) return gbLeft;
    if (shift.Has(ssRight)) return gbRight;
    if (shift.Has(ssMiddle)) return gbMiddle;
    return gbNone;
}

}  // namespace

// --- keys ---

void TCustomNodeGrid::KeyDown(WORD& key, TShiftState shift) {
    if (TNode* node = CurrentNode()) {
        TGridKeyInfo info{key, shift.Bits(), Col(), Row()};
        const intptr_t result = node->SendNodeMessage(NM_GRIDKEYDOWN, 0, reinterpret_cast<intptr_t>(&info));
        if (result == 2 || info.Key == 0) {
            key = 0;
            return;
        }
        key = info.Key;
        if (result != 0 && info.Col != Col() && info.Col >= FixedCols() && info.Col < ColCount()) SetCol(info.Col);
    }
    TNode* node = CurrentNode();
    const UINT character = MapVirtualKeyW(key, MAPVK_VK_TO_CHAR) & 0x7FFF;
    if ((character == ' ' || character == '+' || character == '-') && Col() == outlineCol_ && node && !CanEditShow()) {
        if (character == ' ') {
            const TNodeState state = node->State();
            node->SetState(state.Has(nsSelected) ? state - nsSelected : state + nsSelected);
        } else if (character == '+') {
            node->Expand(shift.Has(ssCtrl));
        } else {
            node->Collapse(shift.Has(ssCtrl));
        }
        key = 0;
        return;
    }
    if (gridOptions_.Has(noHandleTreeKeys) && !shift.HasAny({ssShift, ssCtrl, ssAlt}) && Col() == outlineCol_) {
        if (TNode* rowNode = NodeAtRow(Row()); rowNode && TreeKey(key, shift, rowNode)) {
            key = 0;
            return;
        }
    }
    TNewCustomGrid::KeyDown(key, shift);
}

// Left collapses an expanded node or goes to its parent; Right expands a collapsed node or
// goes to its first child. Both are used up even on a leaf.
bool TCustomNodeGrid::TreeKey(WORD key, TShiftState, TNode* node) {
    if (key != VK_LEFT && key != VK_RIGHT) return false;
    const bool expanded = node->State().Has(nsExpanded);
    if (key == VK_LEFT) {
        if (expanded && node->HasChildren()) node->Collapse(false);
        else if (node != root_) FocusNode(node->Parent());
        InvalidateGrid();
    } else if (node->HasChildren()) {
        if (!expanded) node->Expand(false);
        else FocusNode(node->Child(0));
    }
    return true;
}

void TCustomNodeGrid::KeyPress(char& key) {
    TNode* node = NodeAtRow(Row());
    if (node && (!EditorMode() || key == '\r' || static_cast<unsigned char>(key) >= 32)) {
        TGridKeyPressInfo info{key, Col(), Row()};
        node->SendNodeMessage(NM_GRIDKEYPRESS, 0, reinterpret_cast<intptr_t>(&info));
        key = info.Key;
        if (!key) return;
    }
    keyPressSent_ = key;
    try {
        TNewCustomGrid::KeyPress(key);
    } catch (...) {
        keyPressSent_ = 0;
        throw;
    }
    keyPressSent_ = 0;
}

// --- the mouse ---

void TCustomNodeGrid::MouseInfo(TGridMouseInfo& info, TGridButton button, TShiftState shift, int x, int y) {
    const TGridCoord cell = MouseCoord(x, y);
    info = TGridMouseInfo{button, shift.Bits(), x, y, cell.X, cell.Y};
}

void TCustomNodeGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    shift = MouseModifiers(shift);
    if (!shift.Has(ssDouble) && HandleAllocated() && !HasFocus() && CanFocus()) SetFocus();
    const TGridCoord cell = MouseCoord(x, y);
    press_ = cell.Y >= 0 ? cell : TGridCoord{-1, -1};
    pressPoint_ = POINT{x, y};
    pressButton_ = button;
    pressToggled_ = false;
    TNode* node = cell.Y >= FixedRows() ? NodeAtRow(cell.Y) : nullptr;
    if (node && GridState() == gsNormal) {
        TGridMouseInfo info;
        MouseInfo(info, GridButton(button), shift, x, y);
        node->SendNodeMessage(NM_GRIDMOUSEDOWN, 0, reinterpret_cast<intptr_t>(&info));
        node = cell.Y >= FixedRows() ? NodeAtRow(cell.Y) : nullptr;
    }
    if (node && Inside(GetNodeRect(node, -1, ppButton), x, y)) {
        // The plus/minus column toggles the node with any button, and nothing else happens.
        if (node->State().Has(nsExpanded)) node->Collapse(false);
        else node->Expand(false);
        pressToggled_ = true;
        return;
    }
    const bool onText = node && Inside(GetNodeRect(node, -1, ppText), x, y);
    if (button == mbRight && onText) {
        if (!Options().Has(goFocusCurrent)) FocusNode(node);
        return;
    }
    TNewCustomGrid::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    // A press on the current row (which moves no cell) focuses its node too.
    if (node && !shift.Has(ssDouble) && node == NodeAtRow(Row()) && node != focused_) SetFocusedNode(node);
    if (shift.Has(ssCtrl) && gridOptions_.Has(noSelectNodes) &&
        (GridState() == gsRangeSelecting || GridState() == gsSelecting)) {
        // A Ctrl+click toggles one node on release instead of selecting a range.
        StopTimer();
        SetGridState(gsNormal);
    }
    const TGridState state = GridState();
    if ((state == gsRangeSelecting || state == gsSelecting || state == gsDragWait) && !onText) {
        // A press beside the text never opens the editor.
        StopTimer();
        if (state == gsDragWait) SetGridState(gsSelecting);
    }
}

void TCustomNodeGrid::MouseMove(TShiftState shift, int x, int y) {
    TNewCustomGrid::MouseMove(shift, x, y);
    const TGridCoord cell = MouseCoord(x, y);
    if (TNode* node = cell.Y >= FixedRows() ? NodeAtRow(cell.Y) : nullptr) {
        TGridMouseInfo info;
        MouseInfo(info, HeldButton(shift), shift, x, y);
        if (node->SendNodeMessage(NM_GRIDMOUSEMOVE, 0, reinterpret_cast<intptr_t>(&info)) == 2) return;
    }
    if (StartsNodeDrag(shift, x, y)) StartNodeDrag(NodeAtRow(press_.Y));
}

void TCustomNodeGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    shift = MouseModifiers(shift);
    const TGridState before = GridState();
    const TGridCoord press = press_;
    const bool toggled = pressToggled_;
    TNewCustomGrid::MouseUp(button, shift, x, y);
    const TGridCoord cell = MouseCoord(x, y);
    TNode* node = cell.Y >= FixedRows() ? NodeAtRow(cell.Y) : nullptr;
    if (node && cell == press && GridState() == gsNormal) {
        TGridMouseInfo info;
        MouseInfo(info, GridButton(button), shift, x, y);
        if (node->SendNodeMessage(NM_GRIDMOUSEUP, 0, reinterpret_cast<intptr_t>(&info)) == 2) return;
        node = NodeAtRow(cell.Y);
    }
    if (button == mbRight && !toggled && (before == gsNormal || before == gsSelecting)) {
        // Below the last row the menu is the root's.
        menuNode_ = node ? node : (cell.Y < 0 && y >= 0 ? RootNode() : nullptr);
        if (menuNode_) ShowMenuAt(menuNode_, x, y);
        if (menuNode_) FocusNode(menuNode_);
    }
    if (button == mbLeft && shift.Has(ssCtrl) && gridOptions_.Has(noSelectNodes) && node && cell.Y == press.Y) {
        const TNodeState state = node->State();
        node->SetState(state.Has(nsSelected) ? state - nsSelected : state + nsSelected);
        InvalidateRow(cell.Y);
    }
}

// A node's own menu (without a PopupMenu) when released right of its indentation; the grid's
// PopupMenu when released on the node's text.
void TCustomNodeGrid::ShowMenuAt(TNode* node, int x, int y) {
    if (!PopupMenu()) {
        const int32_t row = RowOfNode(node);
        const RECT cell = row >= 0 && outlineCol_ >= 0 && outlineCol_ < ColCount() ? CellRect(outlineCol_, row) : RECT{};
        const int indentation = row >= 0 ? static_cast<int>(cell.left) + (LevelOf(node) - 1) * Spacing() : 0;
        if (node->Option().Has(noHasMenu) && x >= indentation) PopupNodeMenu(node);
        return;
    }
    if (!Inside(GetNodeRect(node, -1, ppText), x, y)) return;
    const POINT screen = ClientToScreen(POINT{x, y});
    PopupMenu()->SetPopupComponent(this);
    PopupMenu()->Popup(screen.x, screen.y);
}

bool TCustomNodeGrid::DoContextPopup(POINT screenPoint) {
    // Menus of mouse clicks are shown on the button's release; the menu key shows the menu of
    // the current node below its text.
    if (screenPoint.x != -1 || screenPoint.y != -1) return true;
    TNode* node = CurrentNode();
    if (!node) return true;
    const RECT text = GetNodeRect(node, -1, ppText);
    if (text.right <= text.left) return true;
    if (PopupMenu()) {
        const POINT at = ClientToScreen(POINT{text.left, text.bottom});
        PopupMenu()->SetPopupComponent(this);
        PopupMenu()->Popup(at.x, at.y);
    } else if (node->Option().Has(noHasMenu)) {
        PopupNodeMenu(node);
    }
    return true;
}

void TCustomNodeGrid::PopupNodeMenu(TNode* node) {
    if (!node) return;
    TPopupMenu menu(nullptr);
    if (node->SendNodeMessage(NM_NODEMENU, 0, reinterpret_cast<intptr_t>(&menu.Items())) != 1) return;
    if (menu.Items().Count() == 0) return;
    const TNewGridOptions saved = Options();
    try {
        SetFocusedNode(node);
        POINT at;
        GetCursorPos(&at);
        menu.SetPopupComponent(this);
        menu.Popup(at.x, at.y);
        // The chosen command may have changed the tree: back to the focused node.
        FocusNode(focused_);
        InvalidateGrid();
        // Commands still waiting run while their menu exists.
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE)) DispatchMessageW(&message);
    } catch (...) {
        SetOptions(saved);
        throw;
    }
    SetOptions(saved);
}

void TCustomNodeGrid::Click() {
    if (quiet_) return;
    if (TNode* node = NodeAtRow(Row())) {
        SetFocusedNode(node);
        if (TNode* clicked = NodeAtRow(Row())) clicked->SendNodeMessage(NM_GRIDCLICK, Col(), Row());
    }
    KeepTextInView();
    TNewCustomGrid::Click();
}

// --- cells and selection ---

bool TCustomNodeGrid::SelectCell(int32_t col, int32_t row) {
    if (!TNewCustomGrid::SelectCell(col, row)) return false;
    if (Updating() || quiet_ || (col == Col() && row == Row())) return true;
    TGridCellMove move{Col(), Row(), col, row};
    if (TNode* from = NodeAtRow(Row()))
        if (from->SendNodeMessage(NM_GRIDLEAVECELL, 0, reinterpret_cast<intptr_t>(&move)) == 2) return false;
    if (row != Row()) {
        if (gridOptions_.Has(noSelectNodes)) SelectAll(false);
        if (Options().Has(goFocusCurrent) && focused_) focused_->SetState(focused_->State() - nsFocused);
    }
    if (TNode* to = NodeAtRow(row)) to->SendNodeMessage(NM_GRIDENTERCELL, 0, reinterpret_cast<intptr_t>(&move));
    return true;
}

void TCustomNodeGrid::SelectionChanged(TGridRect& range) {
    const TGridRect old = Selection();
    TNewCustomGrid::SelectionChanged(range);
    if (!gridOptions_.Has(noSelectNodes) || Updating() || quiet_ || !root_) return;
    const TGridRect now = Selection();
    for (int32_t row = old.Top; row <= old.Bottom; ++row) {
        if (row >= now.Top && row <= now.Bottom) continue;
        if (TNode* node = NodeAtRow(row); node && node->State().Has(nsSelected))
            node->SetState(node->State() - nsSelected);
    }
    for (int32_t row = now.Top; row <= now.Bottom; ++row)
        if (TNode* node = NodeAtRow(row); node && !node->State().Has(nsSelected))
            node->SetState(node->State() + nsSelected);
}

void TCustomNodeGrid::WndProc(TMessage& msg) {
    // Input and painting see the rows of a finished sort in order.
    if (!reordered_.empty() && !Updating()) SyncRows();
    TNewCustomGrid::WndProc(msg);
    if (msg.Msg == WM_SIZE) UpdateColumnWidth();
}
