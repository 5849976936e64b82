#include "grid/node_drag_object_win.h"

TNodeDragObject::TNodeDragObject(TControl* control, TNode* node, bool autoFree)
    : TDataDragObject(control, node, autoFree), node_(node) {
    if (node_) RegisterChange(node_, Callback());
}

TNodeDragObject::~TNodeDragObject() {
    if (node_) UnregisterChange(node_, Callback());
}

TNodeChangeEvent TNodeDragObject::Callback() { return ChangeEvent<TNodeDragObject, &TNodeDragObject::NodeChanged>(this); }

void TNodeDragObject::NodeChanged(TNode*, TNode* node, intptr_t, TNodeCode code) {
    if (code != ncRemoved || node != node_) return;
    // The node left its tree or is being destroyed: nothing is left to drop.
    UnregisterChange(node_, Callback());
    node_ = nullptr;
    // Ending the drag may free this object (AutoFree): nothing may follow.
    if (CurrentDragObject() == this) CancelDrag();
}
