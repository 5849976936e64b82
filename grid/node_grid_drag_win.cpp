// TCustomNodeGrid: dragging nodes out of the outline column and dropping nodes dragged from a
// node grid: a drop within the grid moves the node, a drop from another grid copies it; either
// way the node lands before the target among the target's siblings and becomes the focused node.
#include <cstdlib>
#include <memory>

#include "grid/node_drag_object_win.h"
#include "grid/node_grid_win.h"

namespace {

// How far the pointer must move from the press (more than this, in x or y) to drag a node.
constexpr int DragDistance = 5;
// How close to the top or bottom edge a drag over the grid scrolls it, and how often.
constexpr int DragScrollZone = 8;
constexpr DWORD DragScrollInterval = 60;

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

bool TCustomNodeGrid::StartsNodeDrag(TShiftState shift, int x, int y) {
    if (!gridOptions_.Has(noDragNodes) || DragActive() || pressButton_ != mbLeft || !shift.Has(ssLeft)) return false;
    const TGridState state = GridState();
    if (state != gsNormal && state != gsSelecting && state != gsDragWait) return false;
    if (press_.X != outlineCol_ || press_.Y < FixedRows() || MouseCoord(x, y) != press_) return false;
    if (std::abs(x - pressPoint_.x) <= DragDistance && std::abs(y - pressPoint_.y) <= DragDistance) return false;
    TNode* node = NodeAtRow(press_.Y);
    return node && Inside(GetNodeRect(node, -1, ppText), pressPoint_.x, pressPoint_.y);
}

void TCustomNodeGrid::StartNodeDrag(TNode* node) {
    if (!node) return;
    StopTimer();
    SetGridState(gsNormal);
    SetDragSourceCell(press_);
    TDragObject* object = new TNodeDragObject(this, node, true);
    if (OnStartDrag) {
        TDragObject* given = object;
        OnStartDrag(*this, given);
        if (given && given != object) {
            delete object;
            object = given;
        }
    }
    BeginDragObject(this, object, true);
}

void TCustomNodeGrid::DoEndDrag(TControl* target, int x, int y) {
    SetDragSourceCell(TGridCoord{-1, -1});
    TNewCustomGrid::DoEndDrag(target, x, y);
}

TNode* TCustomNodeGrid::DropTarget(TDragObject* dragObject, int x, int y) {
    const TGridCoord cell = MouseCoord(x, y);
    TNode* target = cell.Y >= FixedRows() ? NodeAtRow(cell.Y) : nullptr;
    if (!target || !dragObject) return nullptr;
    if (target->SendNodeMessage(NM_GRIDDROPTARGET, 0, reinterpret_cast<intptr_t>(dragObject)) == 1) return target;
    auto* drag = dynamic_cast<TNodeDragObject*>(dragObject);
    if (!gridOptions_.Has(noAcceptDragNodes) || !drag) return nullptr;
    TNode* node = drag->Node();
    if (target == root_) return nullptr;
    if (dragObject->Control() == this && node && !node->Option().Has(noCanMove)) return nullptr;
    if (!node || node->IsInSubtree(target)) return nullptr;
    TNode* parent = target->Parent();
    if (!parent || !node->CanInsertInto(parent) || !parent->CanAccept(node)) return nullptr;
    return target;
}

void TCustomNodeGrid::SetDropMark(TNode* node) {
    if (node == dropMark_) return;
    for (TNode* changed : {dropMark_, node})
        if (const int32_t row = RowOfNode(changed); row >= 0) InvalidateRow(row);
    dropMark_ = node;
}

void TCustomNodeGrid::DragOver(TDragObject& source, int x, int y, TDragState state, bool& accept) {
    TNewCustomGrid::DragOver(source, x, y, state, accept);
    TNode* target = state == dsDragLeave ? nullptr : DropTarget(&source, x, y);
    if (target) accept = true;
    SetDropMark(accept && state != dsDragLeave ? target : nullptr);
    // Near the top or bottom edge the rows scroll under the dragged node.
    static DWORD lastScroll = 0;
    if (state == dsDragMove && GetTickCount() - lastScroll >= DragScrollInterval) {
        if (y < FixedHeight() + DragScrollZone && TopRow() > FixedRows()) {
            SetTopRow(TopRow() - 1);
            lastScroll = GetTickCount();
        } else if (y >= ClientHeight() - DragScrollZone && TopRow() < MaxTopRow()) {
            SetTopRow(TopRow() + 1);
            lastScroll = GetTickCount();
        }
    }
}

void TCustomNodeGrid::DragDrop(TDragObject& source, int x, int y) {
    SetDropMark(nullptr);
    TNewCustomGrid::DragDrop(source, x, y);
    TNode* target = DropTarget(&source, x, y);
    if (!target) return;
    auto* sourceGrid = dynamic_cast<TCustomNodeGrid*>(source.Control());
    const intptr_t sourceCol = sourceGrid ? sourceGrid->DragSourceCell().X : -1;
    if (target->SendNodeMessage(NM_GRIDDROP, sourceCol, reinterpret_cast<intptr_t>(&source)) != 0) return;
    auto* drag = dynamic_cast<TNodeDragObject*>(&source);
    TNode* parent = target->Parent();
    if (!gridOptions_.Has(noAcceptDragNodes) || !drag || !drag->Node() || !parent) return;
    // Within the grid the node moves; from another control it is copied.
    std::unique_ptr<TNode> copy;
    TNode* node = drag->Node();
    if (source.Control() != this) {
        copy.reset(node->Clone());
        node = copy.get();
    }
    int index = target->IndexInParent();
    // Taken out of the same parent first, a node before the target would land after it.
    if (node->Parent() == parent && node->IndexInParent() < index) --index;
    parent->InsertNode(index, node, imIntoSelf);
    copy.release();
    FocusNode(node);
    SetFocusedNode(node);
}
