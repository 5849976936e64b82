// The main window's tree control: a node grid set up as the quick-text window shows its
// library (one column, tree lines, plus/minus, the root drawn as the top row, symbols from the
// window's picture list), behind the window's small grid interface.
#pragma once

#include <memory>

#include "app/library_grid_win.h"

class TNodeGrid;

class TLibraryNodeGrid : public TLibraryGrid {
public:
    // Makes the grid, a component of Window named "Grid".
    explicit TLibraryNodeGrid(TWin95Form& window);

    TNodeGrid& Grid() { return *grid_; }

    TWinControl& Control() override;
    TNode* RootNode() override;
    std::unique_ptr<TNode> ReplaceRoot(std::unique_ptr<TNode> root) override;
    TNode* FocusedNode() override;
    void SetFocusedNode(TNode* node) override;
    TNode* SelectedNode() override;
    void FocusNode(TNode* node) override;
    TNode* NodeAt(int x, int y) override;
    TNode* MenuNode() override;
    bool Editing() override;
    void BeginDeleteNode() override;
    void EndDeleteNode() override;
    void BeginNewEntry() override;
    void EndNewEntry() override;
    void SetPictures(TPictureList* pictures) override;
    void SetNodeMenu(TPopupMenu* menu) override;
    void PicturesChanged() override;
    void Redraw() override;

private:
    void CalcDrawStruct(TDrawStruct& ds);

    // Owned by the window, like its other controls.
    TNodeGrid* grid_;
};

// The node grid as the main window's tree control.
std::unique_ptr<TLibraryGrid> MakeLibraryNodeGrid(TWin95Form& window);
