// TNodeDragObject: the drag object that carries a node while it is dragged within or between
// node grids. It follows its node through the process-wide change link: when the node is
// removed from its tree or destroyed while its drag runs, the drag ends without a drop, and the
// object lets go of the node.
#pragma once

#include "nodes/change_link.h"
#include "nodes/node.h"
#include "widgets/data_drag_win.h"

class TNodeDragObject : public TDataDragObject {
public:
    // Control: the grid the node is dragged from. AutoFree: the drag manager frees the object
    // when its drag ends.
    TNodeDragObject(TControl* control, TNode* node, bool autoFree = false);
    ~TNodeDragObject() override;

    // The dragged node; null once it left its tree.
    TNode* Node() const { return node_; }

private:
    void NodeChanged(TNode* sender, TNode* node, intptr_t param, TNodeCode code);
    TNodeChangeEvent Callback();

    TNode* node_;
};
