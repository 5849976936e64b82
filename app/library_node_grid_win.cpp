#include "app/library_node_grid_win.h"

#include "grid/node_grid_win.h"
#include "widgets/win95_form_win.h"
#include "winui/menu_win.h"

TLibraryNodeGrid::TLibraryNodeGrid(TWin95Form& window) : grid_(new TNodeGrid(&window)) {
    TNodeGrid& grid = *grid_;
    grid.SetName("Grid");
    grid.SetColCount(1);
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetDefaultRowHeight(16);
    grid.SetGridLineWidth(0);
    grid.SetScrollBars(ssVertical);
    grid.SetGridOptions(TNodeGridOptions{noDrawPicture, noDrawTree, noDrawPlusMinus, noDrawTreeRoot, noHandleTreeKeys});
    grid.SetOptions(TNewGridOptions{goEditing, goDrawFocusSelected, goThumbTracking});
    grid.SetSpacing(16);
    grid.OnNodeFocused = [this](TControl&) {
        if (OnNodeFocused) OnNodeFocused();
    };
    grid.OnNodeChanged = [this](TControl&, TNode* node, TNodeCode code, intptr_t param) {
        if (OnNodeChanged) OnNodeChanged(node, code, param);
    };
    grid.OnCreateRoot = [this](TControl&) -> TNode* { return OnCreateRoot ? OnCreateRoot() : nullptr; };
    grid.OnCalcDrawStruct = [this](TControl&, TDrawStruct& ds) { CalcDrawStruct(ds); };
}

TWinControl& TLibraryNodeGrid::Control() { return *grid_; }

TNode* TLibraryNodeGrid::RootNode() { return grid_->RootNode(); }

// The grid hands the old root back (null: a fresh one from the create-root event).
std::unique_ptr<TNode> TLibraryNodeGrid::ReplaceRoot(std::unique_ptr<TNode> root) {
    TNode* given = root.release();
    return std::unique_ptr<TNode>(grid_->SetRootNode(given));
}

TNode* TLibraryNodeGrid::FocusedNode() { return grid_->FocusedNode(); }

void TLibraryNodeGrid::SetFocusedNode(TNode* node) {
    if (node) grid_->SetFocusedNode(node);
}

TNode* TLibraryNodeGrid::SelectedNode() { return grid_->NodeAtRow(grid_->Row()); }

void TLibraryNodeGrid::FocusNode(TNode* node) { grid_->FocusNode(node); }

TNode* TLibraryNodeGrid::NodeAt(int x, int y) {
    const TGridCoord cell = grid_->MouseCoord(x, y);
    return cell.Y < 0 ? nullptr : grid_->NodeAtRow(cell.Y);
}

// The entry the right button was last released on; the focused one when that is gone.
TNode* TLibraryNodeGrid::MenuNode() { return grid_->MenuNode() ? grid_->MenuNode() : grid_->FocusedNode(); }

bool TLibraryNodeGrid::Editing() { return grid_->EditorMode(); }

// The editor does not stay open on an entry that may be about to go; the grid follows the
// removal itself.
void TLibraryNodeGrid::BeginDeleteNode() {
    if (grid_->EditorMode()) grid_->HideEditor();
}

void TLibraryNodeGrid::EndDeleteNode() {}

// A rename still open is stored before the new entry takes the focus.
void TLibraryNodeGrid::BeginNewEntry() {
    if (grid_->EditorMode()) grid_->HideEditor();
}

void TLibraryNodeGrid::EndNewEntry() {}

void TLibraryNodeGrid::SetPictures(TPictureList* pictures) { grid_->SetPictures(pictures); }

void TLibraryNodeGrid::SetNodeMenu(TPopupMenu* menu) { grid_->SetPopupMenu(menu); }

void TLibraryNodeGrid::PicturesChanged() { grid_->Invalidate(); }

void TLibraryNodeGrid::Redraw() { grid_->Invalidate(); }

// The window's colour for a cell's text is set on the canvas the cell is drawn on; the grid's
// painter draws the text in the canvas's colour.
void TLibraryNodeGrid::CalcDrawStruct(TDrawStruct& ds) {
    if (!OnCalcDrawStruct) return;
    TColor fontColor = clNone;
    OnCalcDrawStruct(ds, grid_->NodeAtRow(ds.Row), fontColor);
    if (fontColor == clNone) return;
    TCanvas& canvas = ds.Canvas ? *ds.Canvas : grid_->Canvas();
    canvas.Font().SetColor(fontColor);
}

std::unique_ptr<TLibraryGrid> MakeLibraryNodeGrid(TWin95Form& window) { return std::make_unique<TLibraryNodeGrid>(window); }
