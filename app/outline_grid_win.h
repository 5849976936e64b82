// A plain outline of the quick-text tree, the main window's tree control until the node grid
// takes its place: a one-column draw grid whose rows are the tree's shown nodes (the top node
// first), indented by level, that follows the tree through its node messages and renames
// entries with the grid's in-place editor. Clicks and arrow keys move the focus, F2 or Enter
// opens the editor, a right click the entry menu.
#pragma once

#include <memory>
#include <string>

#include "app/library_grid_win.h"
#include "grid/draw_grid_win.h"
#include "grid/inplace_editor_win.h"
#include "nodes/node.h"
#include "widgets/win95_form_win.h"
#include "winui/menu_win.h"

class TOutlineGrid : public TNewDrawGrid, public TNodeControl {
public:
    explicit TOutlineGrid(TComponent* owner) : TNewDrawGrid(owner) {
        SetName("Grid");
        SetColCount(1);
        SetFixedCols(0);
        SetFixedRows(0);
        SetRowCount(1);
        SetDefaultRowHeight(18);
        SetOptions(TNewGridOptions{goEditing, goDrawFocusSelected, goThumbTracking});
        SetScrollBars(ssVertical);
        SetGridLineWidth(0);
    }
    ~TOutlineGrid() override { TakeRoot(); }

    TLibraryGrid* Library = nullptr;

    TNode* Root() {
        if (!root_) {
            TNode* made = Library && Library->OnCreateRoot ? Library->OnCreateRoot() : nullptr;
            Adopt(std::unique_ptr<TNode>(made ? made : TNode::Create<TNode>()));
        }
        return root_.get();
    }
    std::unique_ptr<TNode> Replace(std::unique_ptr<TNode> root) {
        std::unique_ptr<TNode> old = TakeRoot();
        if (root) Adopt(std::move(root));
        else Root();
        return old;
    }
    TNode* Focused() const { return focused_; }
    void SetFocused(TNode* node) {
        if (!node) return;
        for (TNode* p = node->Parent(); p; p = p->Parent()) p->Expand(false);
        if (node != focused_) {
            focused_ = node;
            if (Library && Library->OnNodeFocused) Library->OnNodeFocused();
        }
        Rebuild();
        const int row = node->VisibleIndex();
        if (row < RowCount() && row != Row()) FocusCell(0, row, true);
    }
    TNode* NodeAtRow(int row) { return Root()->VisibleNodeAt(row); }
    TNode* NodeAtPoint(int x, int y) {
        const TGridCoord cell = MouseCoord(x, y);
        return cell.Y < 0 ? nullptr : NodeAtRow(cell.Y);
    }

    intptr_t NodeMessage(TNode* node, unsigned msg, intptr_t, intptr_t lParam) override {
        if (msg != NM_NODECHANGED) return 0;
        const auto* change = reinterpret_cast<const TNodeChange*>(lParam);
        if (change->Code == ncRemoved && focused_ && change->Node->IsInSubtree(focused_))
            focused_ = change->Node->Parent();
        if (change->Code == ncRemoved && menuNode_ && change->Node->IsInSubtree(menuNode_)) menuNode_ = nullptr;
        if (!replacing_) Rebuild();
        if (Library && Library->OnNodeChanged) Library->OnNodeChanged(change->Node, change->Code, change->Param);
        (void)node;
        return 1;
    }

    // The node the entry menu was opened for, while it is open.
    TNode* MenuNode() const { return menuNode_; }

protected:
    // A right click opens the entry menu for the row's node (the top node below the rows), then
    // focuses it.
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override {
        TNewDrawGrid::MouseUp(button, shift, x, y);
        if (button != mbRight || !PopupMenu()) return;
        menuNode_ = NodeAtPoint(x, y);
        if (!menuNode_) menuNode_ = Root();
        const POINT screen = ClientToScreen(POINT{x, y});
        PopupMenu()->Popup(screen.x, screen.y);
        if (menuNode_) SetFocused(menuNode_);
        menuNode_ = nullptr;
    }

    std::string GetEditText(int32_t, int32_t row) override {
        TNode* node = NodeAtRow(row);
        return node ? node->Text() : std::string();
    }
    void SetEditText(int32_t, int32_t row, const std::string& value) override {
        if (TNode* node = NodeAtRow(row); node && !node->State().Has(nsReadOnly)) node->SetText(value);
    }
    bool SelectCell(int32_t col, int32_t row) override {
        if (!TNewDrawGrid::SelectCell(col, row)) return false;
        TNode* node = NodeAtRow(row);
        if (node && node != focused_) {
            focused_ = node;
            if (Library && Library->OnNodeFocused) Library->OnNodeFocused();
        }
        return true;
    }
    void CalcDrawStruct(TDrawStruct& ds, int32_t col, int32_t row, TDrawParts parts, TAlignment alignment,
                        TTextLayout layout) override {
        TNewDrawGrid::CalcDrawStruct(ds, col, row, parts, alignment, layout);
        TNode* node = NodeAtRow(row);
        fontColor_ = clNone;
        if (Library && Library->OnCalcDrawStruct) Library->OnCalcDrawStruct(ds, node, fontColor_);
        if (node) ds.TextRect.left += 14 * node->Level();
    }
    // The edited node is marked as the node grid marks it, so that its state tells when the
    // edit is over.
    void UpdateEditor(TCustomInplaceEditor& editor) override {
        TNewDrawGrid::UpdateEditor(editor);
        if (TNode* node = NodeAtRow(Row())) node->SetState(node->State() + nsEditing);
    }
    void EditorClosed() override {
        for (TNode* node = Root(); node; node = nullptr)
            node->ForEach([](TNode* n) {
                if (n->State().Has(nsEditing)) n->SetState(n->State() - nsEditing);
                return false;
            }, feCollapsed | feSelf);
    }
    // A text colour of the window's own is drawn here, on the cell's canvas.
    void DrawCell(TDrawStruct& ds) override {
        const bool ownText = fontColor_ != clNone && ds.State.Has(dsDrawText);
        if (ownText) ds.State -= dsDrawText;
        TNewDrawGrid::DrawCell(ds);
        if (!ownText) return;
        TCanvas& canvas = ds.Canvas ? *ds.Canvas : Canvas();
        canvas.Font().SetColor(fontColor_);
        canvas.Brush().SetStyle(bsClear);
        RECT text = ds.TextRect;
        canvas.DrawText(ds.Text, text, ds.TextFormat & ~(DT_VCENTER | DT_BOTTOM));
    }

private:
    void Adopt(std::unique_ptr<TNode> root) {
        root_ = std::move(root);
        root_->SetState(root_->State() + nsExpanded + nsRoot);
        root_->SetNodeData(static_cast<TNodeControl*>(this));
        focused_ = nullptr;
        Rebuild();
    }
    std::unique_ptr<TNode> TakeRoot() {
        if (!root_) return nullptr;
        replacing_ = true;
        root_->SetNodeData(nullptr);
        root_->SetState(root_->State() - nsRoot);
        replacing_ = false;
        focused_ = nullptr;
        return std::move(root_);
    }
    // The rows follow the tree; the current row stays with the focused node when it moved.
    void Rebuild() {
        if (!root_) return;
        SetRowCount(root_->VisibleCount() + 1);
        FitColumn();
        if (focused_ && focused_->IsVisible() && !EditorMode()) {
            const int row = focused_->VisibleIndex();
            if (row != Row() && row < RowCount()) FocusCell(0, row, true);
        }
        Invalidate();
    }

    void FitColumn() { SetColWidths(0, std::max(ClientWidth(), 40)); }
    void BoundsChanged() override {
        TNewDrawGrid::BoundsChanged();
        FitColumn();
    }

    std::unique_ptr<TNode> root_;
    TNode* focused_ = nullptr;
    TNode* menuNode_ = nullptr;
    TColor fontColor_ = clNone;
    bool replacing_ = false;
};

class TOutlineLibraryGrid : public TLibraryGrid {
public:
    explicit TOutlineLibraryGrid(TWin95Form& window) : grid_(new TOutlineGrid(&window)) { grid_->Library = this; }
    ~TOutlineLibraryGrid() override { grid_->Library = nullptr; }

    TOutlineGrid& Outline() { return *grid_; }

    TWinControl& Control() override { return *grid_; }
    TNode* RootNode() override { return grid_->Root(); }
    std::unique_ptr<TNode> ReplaceRoot(std::unique_ptr<TNode> root) override { return grid_->Replace(std::move(root)); }
    TNode* FocusedNode() override { return grid_->Focused(); }
    void SetFocusedNode(TNode* node) override { grid_->SetFocused(node); }
    TNode* SelectedNode() override { return grid_->NodeAtRow(grid_->Row()); }
    void FocusNode(TNode* node) override { grid_->SetFocused(node); }
    TNode* NodeAt(int x, int y) override { return grid_->NodeAtPoint(x, y); }
    TNode* MenuNode() override { return grid_->MenuNode() ? grid_->MenuNode() : grid_->Focused(); }
    bool Editing() override { return grid_->EditorMode(); }
    // The editor does not stay open on an entry that may be about to go.
    void BeginDeleteNode() override { grid_->HideEditor(); }
    void EndDeleteNode() override { grid_->Invalidate(); }
    // A rename still open is stored before the new entry takes the focus.
    void BeginNewEntry() override { grid_->HideEditor(); }
    void EndNewEntry() override {}
    void SetPictures(TPictureList*) override {}
    void SetNodeMenu(TPopupMenu* menu) override { grid_->SetPopupMenu(menu); }
    void PicturesChanged() override { grid_->Invalidate(); }
    void Redraw() override { grid_->Invalidate(); }

private:
    TOutlineGrid* grid_;
};

// The outline as the main window's tree control.
inline std::unique_ptr<TLibraryGrid> MakeOutlineGrid(TWin95Form& window) {
    return std::make_unique<TOutlineLibraryGrid>(window);
}
