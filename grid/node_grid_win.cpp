// TCustomNodeGrid: construction, properties, the root, the rows over the tree, the focused
// node and the selection, and what the tree's node messages change. Drawing, input, editing and
// dragging are in node_grid_paint_win.cpp, node_grid_input_win.cpp, node_grid_edit_win.cpp and
// node_grid_drag_win.cpp.
#include "grid/node_grid_win.h"

#include <algorithm>
#include <utility>

#include "base/component_reader.h"
#include "grid/inplace_editor_win.h"
#include "grid/node_grid_pictures_win.h"
#include "pictures/picture_list_win.h"
#include "winui/application_win.h"

namespace {

// The options a root made by the grid has, and those an assigned root keeps.
const TNodeOption CreatedRootOptions{noCanPaste, noCanSort, noHasMenu, noCanSaving, noCanLoading};
const TNodeOption KeptRootOptions{noCanPaste, noCanSort, noHasMenu, noHasEditMenu, noCanSaving, noCanLoading};

// What the end of a bracket does after tree changes it did not follow.
const TGridRefreshes TreeRefresh{grRebuildRows, grScrollRanges, grRepaint, grEditor};

bool Structural(TNodeCode code) {
    return code == ncInserted || code == ncRemoved || code == ncExpanded || code == ncMoved;
}

}  // namespace

const std::vector<std::string>& NodeGridOptionNames() {
    static const std::vector<std::string> names{"noDrawPicture",   "noDrawTree",        "noDrawPlusMinus",
                                                "noDrawTreeRoot",  "noStatePictRight",  "noDragNodes",
                                                "noAcceptDragNodes", "noHandleTreeKeys", "noSelectNodes"};
    return names;
}

TCustomNodeGrid::TCustomNodeGrid(TComponent* owner) : TNewCustomGrid(owner) {
    SetOptions(Options() + goRangeSelect + goDrawFocusSelected + goEditing);
    SetSaveExtents(TSaveExtents{seColWidths});
    builtIn_ = new TPictureList(this);
    MakeNodeGridPictures(*builtIn_);
    builtIn_->RegisterChanges(PictureChangeEvent<TCustomNodeGrid, &TCustomNodeGrid::PicturesChanged>(this));
    RowColorProvider = [this](TNewCustomGrid&, int32_t row) -> TColor {
        TNode* node = NodeAtRow(row);
        return node ? static_cast<TColor>(node->SendNodeMessage(NM_GRIDROWCOLOR, row, 0)) : 0;
    };
}

TCustomNodeGrid::~TCustomNodeGrid() {
    focused_ = focusLeaving_ = menuNode_ = editingNode_ = dropMark_ = nullptr;
    selected_.clear();
    if (pictures_) {
        pictures_->UnregisterChanges(PictureChangeEvent<TCustomNodeGrid, &TCustomNodeGrid::PicturesChanged>(this));
        pictures_->RemoveFreeNotification(this);
        pictures_ = nullptr;
    }
    if (builtIn_) builtIn_->UnregisterChanges(PictureChangeEvent<TCustomNodeGrid, &TCustomNodeGrid::PicturesChanged>(this));
    rows_.Clear();
    // Unlinked first, the tree tells the grid nothing while it goes.
    if (TNode* root = std::exchange(root_, nullptr)) {
        UnlinkRoot(root);
        delete root;
    }
}

const TClassInfo& TCustomNodeGrid::StaticClass() {
    static const TClassInfo info{"TCustomNodeGrid", &TNewCustomGrid::StaticClass(), {}, {}};
    return info;
}

// --- the root ---

TNode* TCustomNodeGrid::RootNode() {
    if (!root_) CreateRoot();
    return root_;
}

void TCustomNodeGrid::LinkRoot(TNode* node, TNodeOption keep) {
    node->SetOption(node->Option() * keep);
    root_ = node;
    node->SetNodeData(static_cast<TNodeControl*>(this));
    node->SetState(node->State() + nsExpanded + nsRoot);
    node->InitNode();
}

void TCustomNodeGrid::UnlinkRoot(TNode* node) {
    if (TNodeControl::FromData(node->NodeData()) == this) node->SetNodeData(nullptr);
    node->SetStateDirect(node->State() - nsRoot);
}

TNode* TCustomNodeGrid::CreateRoot() {
    if (creatingRoot_) return nullptr;
    creatingRoot_ = true;
    BeginUpdate();
    TNode* node = nullptr;
    try {
        if (OnCreateRoot) node = OnCreateRoot(*this);
        if (!node) node = TNode::Create<TNode>();
        // A previous root (one that was not handed out) goes: the grid owns it.
        if (TNode* old = std::exchange(root_, nullptr)) {
            rows_.Clear();
            UnlinkRoot(old);
            if (old != node) delete old;
        }
        node->SetOption(CreatedRootOptions);
        LinkRoot(node, CreatedRootOptions);
    } catch (...) {
        creatingRoot_ = false;
        EndUpdate(TreeRefresh);
        throw;
    }
    creatingRoot_ = false;
    EndUpdate(TreeRefresh);
    return node;
}

TNode* TCustomNodeGrid::SetRootNode(TNode* node) {
    if (node == root_) return nullptr;
    if (EditorMode()) HideEditor();
    BeginUpdate();
    TNode* keep = focused_;
    TNode* old = root_;
    try {
        if (TNode* focused = std::exchange(focused_, nullptr)) focused->SetState(focused->State() - nsFocused);
        RebuildRows(false);
        menuNode_ = editingNode_ = dropMark_ = focusLeaving_ = nullptr;
        selected_.clear();
        reordered_.clear();
        rows_.Clear();
        root_ = nullptr;
        if (old) UnlinkRoot(old);
        if (node) LinkRoot(node, KeptRootOptions);
        else CreateRoot();
        RebuildRows(true);
        if (keep && !InTree(keep)) keep = nullptr;
    } catch (...) {
        EndUpdate(TreeRefresh);
        throw;
    }
    EndUpdate(TreeRefresh);
    if (keep) SetFocusedNode(keep);
    return old;
}

// --- options and look ---

void TCustomNodeGrid::SetGridOptions(TNodeGridOptions options) {
    if (options == gridOptions_) return;
    const TNodeGridOptions changed = (options - gridOptions_) + (gridOptions_ - options);
    gridOptions_ = options;
    RebuildRows(true);
    if (!(changed - TNodeGridOptions{noDragNodes, noAcceptDragNodes}).Empty()) InvalidateGrid();
}

void TCustomNodeGrid::SetSpacingValue(int index, int32_t value) {
    if (index < 0 || index > 2 || spacing_[index] == value) return;
    spacing_[index] = std::max(value, 0);
    InvalidateGrid();
    UpdateEditPos();
}

void TCustomNodeGrid::SetOutlineCol(int32_t col) {
    if (col == outlineCol_) return;
    if (outlineCol_ >= 0 && outlineCol_ < ColCount()) InvalidateCol(outlineCol_);
    outlineCol_ = col;
    if (outlineCol_ >= 0 && outlineCol_ < ColCount()) InvalidateCol(outlineCol_);
    InvalidateGrid();
}

void TCustomNodeGrid::SetPictures(TPictureList* pictures) {
    if (pictures == pictures_) return;
    const TPictureChangeEvent changed = PictureChangeEvent<TCustomNodeGrid, &TCustomNodeGrid::PicturesChanged>(this);
    if (pictures_) {
        pictures_->UnregisterChanges(changed);
        pictures_->RemoveFreeNotification(this);
    }
    pictures_ = pictures;
    if (pictures_) {
        pictures_->RegisterChanges(changed);
        pictures_->FreeNotification(this);
    }
    InvalidateGrid();
}

void TCustomNodeGrid::PicturesChanged(TPictureEntry*) {
    if (outlineCol_ >= 0 && outlineCol_ < ColCount()) InvalidateCol(outlineCol_);
    else InvalidateGrid();
}

void TCustomNodeGrid::Notification(TComponent* component, TOperation operation) {
    TNewCustomGrid::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == pictures_) {
        pictures_ = nullptr;
        InvalidateGrid();
    }
    if (component == builtIn_) builtIn_ = nullptr;
}

void TCustomNodeGrid::Loaded() {
    TNewCustomGrid::Loaded();
    if (outlineCol_ >= 0 && outlineCol_ < ColCount()) InvalidateCol(outlineCol_);
}

TPictureEntry* TCustomNodeGrid::GetPicture(int32_t id) {
    if (pictures_ && (IsLoading() || pictures_->FindPicture(id))) return pictures_->GetPicture(id);
    if (!builtIn_) return nullptr;
    if (IsLoading()) return builtIn_->GetPicture(id);
    return builtIn_->FindPicture(id);
}

void TCustomNodeGrid::SetPict(int32_t id, TPictureEntry* picture) {
    TPictureEntry* entry = GetPicture(id);
    if (!entry && builtIn_) entry = builtIn_->GetPicture(id);
    if (entry && picture && picture != entry) entry->Assign(picture);
}

// --- rows ---

bool TCustomNodeGrid::InTree(const TNode* node) const { return root_ && node && root_->IsInSubtree(node); }

int32_t TCustomNodeGrid::LevelOf(const TNode* node) const { return node->Level() - root_->Level(); }

// The node itself when every ancestor up to the root is expanded, else its highest collapsed
// ancestor below the root; null for a node of another tree.
TNode* TCustomNodeGrid::NearestVisible(TNode* node) const {
    if (!InTree(node)) return nullptr;
    TNode* visible = node;
    for (TNode* p = node->Parent(); p && p != root_; p = p->Parent())
        if (!p->State().Has(nsExpanded)) visible = p;
    return visible;
}

int32_t TCustomNodeGrid::TreeRowCount() const {
    if (rows_.Valid()) return std::max(rows_.Count(), 1);
    if (!root_) return 1;
    return std::max((ShowRoot() ? 1 : 0) + root_->VisibleCount(), 1);
}

TNode* TCustomNodeGrid::NodeAtRow(int32_t row) {
    if (!root_ || creatingRoot_) return nullptr;
    if (!reordered_.empty()) SyncRows();
    const int32_t index = row - FixedRows();
    if (index < 0) return nullptr;
    if (rows_.Valid()) return rows_.NodeAt(index);
    // The rows are not followed now (inside an update bracket): ask the tree's counters.
    const int32_t visible = ShowRoot() ? index : index + 1;
    if (visible > root_->VisibleCount()) return nullptr;
    return root_->VisibleNodeAt(visible);
}

int32_t TCustomNodeGrid::RowOfNode(const TNode* node) {
    if (!root_ || !node || creatingRoot_) return -1;
    if (!reordered_.empty()) SyncRows();
    if (rows_.Valid()) {
        const int32_t index = rows_.IndexOf(node);
        return index < 0 ? -1 : FixedRows() + index;
    }
    if (node == root_) return ShowRoot() ? FixedRows() : -1;
    if (NearestVisible(const_cast<TNode*>(node)) != node) return -1;
    // The rows above it: on each level the earlier siblings with their rows, and the parent.
    int32_t index = 0;
    for (const TNode* n = node; n != root_; n = n->Parent()) {
        const TNode* parent = n->Parent();
        for (int i = 0; i < parent->ChildCount() && parent->Child(i) != n; ++i) index += parent->Child(i)->VisibleCount() + 1;
        ++index;
    }
    return FixedRows() + index - (ShowRoot() ? 0 : 1);
}

TNode* TCustomNodeGrid::CurrentNode() { return focused_ ? focused_ : NodeAtRow(Row()); }

int32_t TCustomNodeGrid::RowHeightOf(TNode* node) {
    const intptr_t height = node->SendNodeMessage(NM_NODEROWHEIGHT, DefaultRowHeight(), -1);
    return height > 0 ? static_cast<int32_t>(height) : DefaultRowHeight();
}

// The heights of the tree rows from Index on, asked from their nodes; an empty tree's row has
// the default height.
void TCustomNodeGrid::SetTreeRowHeights(int32_t index, const std::vector<TNode*>& nodes) {
    const int32_t standard = DefaultRowHeight();
    std::vector<int32_t> heights(std::max<size_t>(nodes.size(), 1), standard);
    bool differs = false;
    for (size_t i = 0; i < nodes.size(); ++i) {
        heights[i] = RowHeightOf(nodes[i]);
        differs = differs || heights[i] != standard;
    }
    if (!differs && !RowAxis().HasExtents()) return;
    const int32_t first = FixedRows() + index;
    if (first < RowCount()) SetRowHeightList(heights, first);
}

void TCustomNodeGrid::BeginRowWork() { BeginUpdate(); }

// The deferred update repaints the grid once for the whole burst.
void TCustomNodeGrid::EndRowWork() {
    const TGridRefreshes work = TakePendingRefresh();
    EndUpdate();
    if (!work.Empty()) PostDeferredUpdate();
}

void TCustomNodeGrid::RowsInserted(const TNodeRows::TChange& change) {
    if (change.Rebuilt) return ResyncRows();
    if (change.Count == 0) return;
    int32_t at = FixedRows() + change.Index;
    int32_t count = change.Count;
    // An empty tree has one empty row: the first new node takes it.
    if (rows_.Count() == change.Count) {
        ++at;
        --count;
    }
    const std::vector<TNode*> nodes = rows_.Nodes(change.Index, change.Count);
    BeginRowWork();
    try {
        if (count > 0) InsertRows(at, count);
        SetTreeRowHeights(change.Index, nodes);
    } catch (...) {
        EndRowWork();
        throw;
    }
    EndRowWork();
    WidenFor(nodes);
}

void TCustomNodeGrid::RowsDeleted(const TNodeRows::TChange& change) {
    if (change.Rebuilt) return ResyncRows();
    if (change.Count == 0) return;
    int32_t at = FixedRows() + change.Index;
    int32_t count = change.Count;
    // The last rows of the tree leave one empty row behind.
    const bool emptied = rows_.Count() == 0;
    if (emptied) {
        ++at;
        --count;
    }
    BeginRowWork();
    try {
        if (count > 0) DeleteRows(at, count);
        if (emptied) SetTreeRowHeights(0, {});
    } catch (...) {
        EndRowWork();
        throw;
    }
    EndRowWork();
}

// A sort moves children one by one, each notified; their rows are put in order once, when the
// rows are next needed.
void TCustomNodeGrid::SyncRows() {
    while (!reordered_.empty()) {
        TNode* parent = reordered_.back();
        reordered_.pop_back();
        if (!InTree(parent)) continue;
        const TNodeRows::TReorder reorder = rows_.ReorderChildren(parent);
        if (reorder.Rebuilt) {
            ResyncRows();
        } else if (!reorder.Order.empty()) {
            BeginRowWork();
            try {
                PermuteRows(FixedRows() + reorder.First, reorder.Order);
            } catch (...) {
                EndRowWork();
                throw;
            }
            EndRowWork();
        }
    }
}

void TCustomNodeGrid::ResyncRows() {
    quiet_ = true;
    try {
        SetRowCount(FixedRows() + TreeRowCount());
        SetTreeRowHeights(0, rows_.Nodes(0, rows_.Count()));
        const int32_t row = RowOfNode(focused_);
        if (row >= 0 && row != Row()) FocusCell(Col(), row, true, false);
    } catch (...) {
        quiet_ = false;
        throw;
    }
    quiet_ = false;
    InvalidateGrid();
    UpdateColumnWidth();
}

void TCustomNodeGrid::RebuildRows(bool rebuild) {
    if (!root_ || creatingRoot_) return;
    if (!rebuild) {
        SetRowCount(FixedRows() + TreeRowCount());
        return;
    }
    if (Destroying()) return;
    if (Updating()) {
        rows_.Clear();
        AddPendingRefresh(TreeRefresh);
        return;
    }
    TNode* old = std::exchange(focused_, nullptr);
    if (old) old->SetState(old->State() - nsFocused);
    const int32_t oldCount = RowCount();
    reordered_.clear();
    rows_.Reset(root_, ShowRoot());
    const bool kept = old && InTree(old);
    quiet_ = true;
    try {
        const int32_t count = FixedRows() + TreeRowCount();
        if (count != oldCount && root_->ChildCount() == 0) InvalidateGrid();
        SetRowCount(count);
        SetTreeRowHeights(0, rows_.Nodes(0, rows_.Count()));
        FocusCell(FixedCols(), kept ? Row() : FixedRows(), true, false);
    } catch (...) {
        quiet_ = false;
        throw;
    }
    quiet_ = false;
    if (kept) SetFocusedNode(old);
    RecountSelected();
    widest_ = -1;
    UpdateColumnWidth();
}

void TCustomNodeGrid::FixedRowsChanged() { RebuildRows(true); }

void TCustomNodeGrid::DeferredUpdate() {
    SyncRows();
    TNewCustomGrid::DeferredUpdate();
    UpdateColumnWidth();
}

// --- focus and selection ---

void TCustomNodeGrid::FocusNode(TNode* node) {
    if (!node || !root_) return;
    const int32_t row = RowOfNode(node);
    if (row < 0 || row == Row()) return;
    if (GridState() != gsNormal && GridState() != gsSelecting) return;
    FocusCell(std::max(Col(), FixedCols()), row, true);
}

void TCustomNodeGrid::SetFocusedNode(TNode* node) {
    if (!root_ || Updating() || !HandleAllocated()) return;
    if (node && node != focused_) node = NearestVisible(node);
    if (node != focused_) {
        focusLeaving_ = std::exchange(focused_, node);
        if (OnNodeFocused) OnNodeFocused(*this);
        // The handler may have moved the focus on, or freed nodes (their references are gone).
        if (node && focused_ == node) {
            TNodeState state = node->State() + nsFocused;
            if (gridOptions_.Has(noSelectNodes)) state += nsSelected;
            node->SetState(state);
        }
        if (TNode* leaving = std::exchange(focusLeaving_, nullptr); leaving && leaving != focused_)
            leaving->SetState(leaving->State() - nsFocused);
        if (node && focused_ == node) FocusNode(node);
    }
    if (focused_ && !focused_->State().Has(nsFocused)) focused_->SetState(focused_->State() + nsFocused);
}

void TCustomNodeGrid::SelectAll(bool select) {
    if (!root_) return;
    if (!select) {
        // Only the selected nodes are visited.
        const std::vector<TNode*> selected(selected_.begin(), selected_.end());
        for (TNode* node : selected) {
            if (!selected_.count(node)) continue;
            node->SetState(node->State() - nsSelected);
            node->SendNodeMessage(NM_NODEREDRAW, -1, 0);
        }
        return;
    }
    const int32_t all = root_->Count();
    root_->ForEach(
        [this, all](TNode* node) {
            if (!node->State().Has(nsSelected)) {
                node->SetState(node->State() + nsSelected);
                node->SendNodeMessage(NM_NODEREDRAW, -1, 0);
            }
            return SelectedCount() >= all;
        },
        feCollapsed);
}

void TCustomNodeGrid::SelectedChanged(TNode* node) {
    if (node->State().Has(nsSelected)) selected_.insert(node);
    else selected_.erase(node);
}

void TCustomNodeGrid::RecountSelected() {
    selected_.clear();
    if (!root_) return;
    root_->ForEach(
        [this](TNode* node) {
            if (node->State().Has(nsSelected)) selected_.insert(node);
            return false;
        },
        feSelf | feCollapsed);
}

// --- what the tree tells ---

intptr_t TCustomNodeGrid::NodeMessage(TNode* node, unsigned msg, intptr_t wParam, intptr_t lParam) {
    try {
        switch (msg) {
        case NM_NODEREDRAW:
            if (!Updating()) RedrawMessage(node, wParam);
            return 1;
        case NM_NODEUPDATE: BusyMessage(wParam, lParam); return 1;
        case NM_NODEREFRESH:
            if (!Updating()) InvalidateGrid();
            return 1;
        case NM_NODECHANGED:
            if (lParam) NodeChanged(*reinterpret_cast<const TNodeChange*>(lParam));
            return 1;
        case NM_NODEBEGINUPDATE: BeginUpdate(); return 1;
        case NM_NODEENDUPDATE: EndUpdate(); return 1;
        default: return 0;
        }
    } catch (...) {
        // The tree's own change stands: the rows are rebuilt from it later, and the error is
        // shown rather than passed into the middle of the tree operation.
        rows_.Clear();
        if (Updating()) AddPendingRefresh(TreeRefresh);
        else PostDeferredUpdate();
        if (Application) Application->HandleException();
        return 1;
    }
}

void TCustomNodeGrid::RedrawMessage(TNode* node, intptr_t column) {
    const int32_t row = RowOfNode(node);
    if (row < 0) return;
    if (column == -2) InvalidateNode(node, outlineCol_, ppPictures | ppTree);
    else if (column == -1) InvalidateRow(row);
    else if (column >= 0 && column < ColCount()) InvalidateCell(static_cast<int32_t>(column), row);
}

void TCustomNodeGrid::BusyMessage(intptr_t wParam, intptr_t lParam) {
    const auto cursor = static_cast<int16_t>(LOWORD(lParam));
    const TCursor before = Cursor();
    if (cursor != 0) {
        SetCursor(cursor);
    } else if (wParam == 1) {
        if (busyCount_ == 0) savedCursor_ = Cursor();
        SetCursor(crHourGlass);
        ++busyCount_;
    } else if (wParam == 0 && busyCount_ > 0) {
        if (--busyCount_ == 0) SetCursor(savedCursor_);
    }
    if (Cursor() != before) ApplyCursorNow();
}

void TCustomNodeGrid::ApplyCursorNow() {
    if (!HandleAllocated() || !Screen) return;
    POINT p;
    if (!GetCursorPos(&p) || WindowFromPoint(p) != Handle()) return;
    ::SetCursor(Screen->Cursors(Cursor() == crDefault ? crArrow : Cursor()));
}

void TCustomNodeGrid::NodeChanged(const TNodeChange& change) {
    TNode* node = change.Node;
    const TNodeCode code = change.Code;
    if (code != ncMoved && !reordered_.empty() && !Updating()) SyncRows();
    if (code == ncRemoved) NodeRemoved(node);
    if (IsLoading() || Destroying()) {
        if (Structural(code)) rows_.Clear();
        return;
    }
    if (node && code == ncSelected) SelectedChanged(node);
    if (node && code == ncInserted) {
        // A placed subtree brings its selected nodes along.
        node->ForEach(
            [this](TNode* n) {
                if (n->State().Has(nsSelected)) selected_.insert(n);
                return false;
            },
            feSelf | feCollapsed);
    }
    if (Updating()) {
        if (Structural(code)) {
            rows_.Clear();
            AddPendingRefresh(TreeRefresh);
        } else {
            AddPendingRefresh(TGridRefreshes{grRepaint});
        }
    } else if (!node) {
        RebuildRows(true);
        InvalidateGrid();
    } else if (code == ncInserted && rows_.Valid()) {
        // Placed below a shown parent it gets its rows; below a collapsed one its parent may now
        // show a plus.
        const TNodeRows::TChange inserted = rows_.NodeInserted(node);
        if (inserted.Count > 0 || inserted.Rebuilt) RowsInserted(inserted);
        else RepaintParentOutline(node);
    } else if (code == ncMoved && rows_.Valid()) {
        // Gathered: a sort sends one move after another; the rows follow once (SyncRows).
        TNode* parent = node->Parent();
        if (parent && rows_.ChildrenShown(parent) &&
            std::find(reordered_.begin(), reordered_.end(), parent) == reordered_.end()) {
            reordered_.push_back(parent);
            PostDeferredUpdate();
        }
    } else if (code != ncRemoved && root_) {
        if (!rows_.Valid()) RebuildRows(true);
        else if (RowOfNode(node) >= 0 || (node == root_ && code == ncExpanded)) VisibleNodeChanged(node, code, change.Param);
        else HiddenNodeChanged(node, code);
    }
    if (OnNodeChanged) OnNodeChanged(*this, node, code, change.Param);
}

// Everything that refers to the removed subtree lets go first; then its rows go and a focus
// that was inside it moves to the nearest visible ancestor.
void TCustomNodeGrid::NodeRemoved(TNode* node) {
    if (!node) return;
    const auto inside = [node](const TNode* reference) { return reference && node->IsInSubtree(reference); };
    if (inside(menuNode_)) menuNode_ = nullptr;
    if (inside(dropMark_)) dropMark_ = nullptr;
    if (inside(focusLeaving_)) focusLeaving_ = nullptr;
    if (inside(editingNode_)) {
        editingNode_ = nullptr;
        // The edited text has no node left to go to.
        if (EditorMode() && InplaceEditor()) {
            InplaceEditor()->SetStartText(InplaceEditor()->Text());
            HideEditor();
        }
    }
    const bool focusInside = inside(focused_);
    if (focusInside) focused_ = nullptr;
    if (!selected_.empty()) {
        if (static_cast<size_t>(node->Count()) < selected_.size()) {
            node->ForEach([this](TNode* n) { selected_.erase(n); return false; }, feSelf | feCollapsed);
        } else {
            for (auto it = selected_.begin(); it != selected_.end();)
                it = node->IsInSubtree(*it) ? selected_.erase(it) : std::next(it);
        }
    }
    if (node == root_) {
        // The root left or is being freed: a new one takes its place at once.
        UnlinkRoot(node);
        root_ = nullptr;
        rows_.Clear();
        focused_ = focusLeaving_ = menuNode_ = editingNode_ = dropMark_ = nullptr;
        selected_.clear();
        reordered_.clear();
        if (!Destroying()) CreateRoot();
        return;
    }
    TNode* parent = node->Parent();
    if (Updating() || IsLoading() || Destroying()) {
        rows_.Clear();
        return;
    }
    if (rows_.Valid()) {
        const TNodeRows::TChange change = rows_.NodeRemoved(node);
        if (change.Count > 0 || change.Rebuilt) RowsDeleted(change);
        else RepaintParentOutline(node);
    }
    if (focusInside && parent) SetFocusedNode(NearestVisible(parent));
}

void TCustomNodeGrid::VisibleNodeChanged(TNode* node, TNodeCode code, intptr_t param) {
    const int32_t row = RowOfNode(node);
    switch (code) {
    case ncExpanded: {
        // An editor on a node that goes out of sight stores its text and closes first.
        if (!node->State().Has(nsExpanded) && editingNode_ && editingNode_ != node && node->IsInSubtree(editingNode_))
            HideEditor();
        const TNodeRows::TChange change = rows_.NodeExpanded(node, static_cast<int32_t>(param));
        if (change.Inserted || change.Rebuilt) RowsInserted(change);
        else RowsDeleted(change);
        // A focus inside a collapsed node moves to it.
        if (!node->State().Has(nsExpanded) && focused_ && focused_ != node && node->IsInSubtree(focused_))
            SetFocusedNode(node);
        InvalidateNode(node, -1, ppButton | ppTree | ppPictures);
        break;
    }
    case ncFocused:
        if (node->State().Has(nsFocused) && node != focused_) SetFocusedNode(node);
        else if (node->State().Has(nsFocused)) FocusNode(node);
        break;
    case ncText:
        if (row >= 0) InvalidateRow(row);
        WidenFor({node});
        UpdateColumnWidth();
        break;
    case ncBitmap:
        if (row >= 0) {
            // Another symbol may need another row height.
            const int32_t height = RowHeightOf(node);
            if (height != RowHeights(row)) SetRowHeights(row, height);
            InvalidateRow(row);
        }
        break;
    case ncSelected:
        if (row >= 0) InvalidateRow(row);
        break;
    default: break;
    }
}

void TCustomNodeGrid::HiddenNodeChanged(TNode* node, TNodeCode code) {
    switch (code) {
    case ncExpanded: RepaintParentOutline(node); break;
    case ncFocused:
        if (node->State().Has(nsFocused) && InTree(node)) {
            for (TNode* p = node->Parent(); p && p != root_; p = p->Parent())
                if (!p->State().Has(nsExpanded)) p->Expand(false);
            if (node != focused_) SetFocusedNode(node);
            else FocusNode(node);
        }
        break;
    default: break;
    }
}

// A parent that got its first child or lost its last one shows or hides its plus/minus.
void TCustomNodeGrid::RepaintParentOutline(TNode* node) {
    TNode* parent = node->Parent();
    if (!parent || parent->ChildCount() > 1 || RowOfNode(parent) < 0) return;
    InvalidateNode(parent, -1, ppButton | ppTree | ppPictures | ppPlusMinus);
}

// --- the class table ---

namespace {

template <class C>
std::vector<TPropInfo> NodeGridProps() {
    using K = TPropKind;
    std::vector<TPropInfo> props = TNewCustomGrid::PublishedProps<C>();
    const auto spacing = [](const char* name, int index, int32_t stored) {
        return TypedProp<C, int32_t>(
            name, K::pkInteger, [index](const C& g) { return g.SpacingValue(index); },
            [index](C& g, const int32_t& v) { g.SetSpacingValue(index, v); },
            [index, stored](const C& g) { return g.SpacingValue(index) != stored; });
    };
    const auto picture = [](const char* name, int32_t id) {
        return TypedProp<C, TPersistent*>(
            name, K::pkObject,
            [id](const C& g) -> TPersistent* {
                auto& grid = const_cast<C&>(g);
                TPictureEntry* entry = grid.GetPicture(id);
                return entry ? entry : grid.BuiltInPictures().GetPicture(id);
            },
            {},
            [id](const C& g) {
                auto& grid = const_cast<C&>(g);
                if (grid.Pictures() && grid.Pictures()->FindPicture(id)) return false;
                TPictureEntry* own = grid.BuiltInPictures().FindPicture(id);
                return own && !own->IsEmpty();
            });
    };
    // Before the extents, which come last.
    const auto extents = std::find_if(props.begin(), props.end(), [](const TPropInfo& p) { return p.Name == "ColWidths"; });
    props.insert(extents,
                 {
                     TypedProp<C, TSetValue>(
                         "GridOptions", K::pkSet, [](const C& g) { return TSetValue{g.GridOptions().Bits()}; },
                         [](C& g, const TSetValue& v) { g.SetGridOptions(TNodeGridOptions::FromBits(v.bits & 0x1FF)); },
                         [](const C& g) { return g.GridOptions() != DefaultNodeGridOptions; }, NodeGridOptionNames()),
                     spacing("Spacing", 0, 21),
                     spacing("SpacingPicture", 1, 21),
                     spacing("SpacingState", 2, 0),
                     TypedProp<C, int32_t>(
                         "OutlineCol", K::pkInteger, [](const C& g) { return g.OutlineCol(); },
                         [](C& g, const int32_t& v) { g.SetOutlineCol(v); }, [](const C& g) { return g.OutlineCol() != 0; }),
                     picture("pictPlus", PictPlusId),
                     picture("pictMinus", PictMinusId),
                     picture("pictClose", PictCloseId),
                     picture("pictOpen", PictOpenId),
                     picture("pictLeaf", PictLeafId),
                 });
    return props;
}

}  // namespace

const TClassInfo& TNodeGrid::StaticClass() {
    static const TClassInfo info{"TNodeGrid", &TCustomNodeGrid::StaticClass(), NodeGridProps<TNodeGrid>(),
                                 [] { return new TNodeGrid(nullptr); }};
    return info;
}

void RegisterNodeGridClasses() { RegisterComponentClass(TNodeGrid::StaticClass()); }
