// TCustomNodeGrid shows a node tree as the rows of a grid: each visible node is one row, the
// outline column draws indentation, dotted tree lines, plus/minus pictures, the node's symbol
// and its text, and the other columns show the node's text for that column. The grid is the
// control of its root (the root's node messages reach NodeMessage) and keeps its rows, focus
// and selection in step with the tree: a change inserts, deletes or moves exactly the rows it
// concerns. In the other direction it forwards its input and drawing steps to the node of the
// row concerned (node_grid_messages.h), so that node classes can draw, edit, size, colour and
// accept drops for themselves. Keys, mouse, node menus, node dragging and renaming in place are
// in node_grid_input_win.cpp, node_grid_drag_win.cpp and node_grid_edit_win.cpp.
//
// TNodeGrid publishes the properties for form files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "grid/grid_base_win.h"
#include "grid/node_grid_messages.h"
#include "grid/node_rows.h"
#include "nodes/node.h"
#include "nodes/node_picture_info.h"

class TPictureList;
class TPictureEntry;

// The outline features (each value switches its feature on).
enum TNodeGridOption {
    noDrawPicture,      // the node's symbol and state pictures
    noDrawTree,         // dotted tree lines
    noDrawPlusMinus,    // plus/minus before nodes with children
    noDrawTreeRoot,     // the root itself is the first tree row
    noStatePictRight,   // the state picture right of the symbol
    noDragNodes,        // the left button drags nodes out of the outline column
    noAcceptDragNodes,  // nodes dragged from a node grid may be dropped here
    noHandleTreeKeys,   // Left and Right collapse, expand and walk the tree
    noSelectNodes,      // nsSelected follows focus, range selection and Ctrl+click
};
using TNodeGridOptions = TSmallSet<TNodeGridOption>;
// The option names in bit order, as form files write them.
const std::vector<std::string>& NodeGridOptionNames();
inline constexpr TNodeGridOptions DefaultNodeGridOptions{noDrawTree, noDrawPlusMinus};

// Parts of a node's row (GetNodeRect, InvalidateNode), as flags.
using TNodeParts = uint32_t;
constexpr TNodeParts ppPlusMinus = 0x01;  // the plus/minus picture's column
constexpr TNodeParts ppPictures = 0x02;   // symbol and state picture
constexpr TNodeParts ppText = 0x04;       // the text as drawn
constexpr TNodeParts ppTree = 0x08;       // the indentation with the tree lines
constexpr TNodeParts ppCell = 0x10;       // the whole cell
constexpr TNodeParts ppButton = 0x20;     // the indentation column that toggles the node

// The built-in pictures' IDs.
constexpr int32_t PictPlusId = -1;
constexpr int32_t PictMinusId = -2;
constexpr int32_t PictCloseId = -3;  // the symbol of a node that is not focused
constexpr int32_t PictOpenId = -4;   // the symbol of the focused node
constexpr int32_t PictLeafId = -5;

// Action is the notification code, Info its parameter.
using TNodeChangedEvent = std::function<void(TControl& sender, TNode* node, TNodeCode action, intptr_t info)>;
// A new root for the grid; null: a plain TNode.
using TCreateRootEvent = std::function<TNode*(TControl& sender)>;

class TCustomNodeGrid : public TNewCustomGrid, public TNodeControl {
public:
    explicit TCustomNodeGrid(TComponent* owner);
    // The grid owns its root (also one assigned from outside) and frees it with its tree.
    ~TCustomNodeGrid() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // --- the tree ---
    // The root; made by CreateRoot first when there is none.
    TNode* RootNode();
    bool HasRoot() const { return root_ != nullptr; }
    // Shows Node's tree (null: a new root from CreateRoot). The old root is unlinked, loses
    // nsRoot and is handed back: the caller frees it. Nothing happens (null back) when Node is
    // the root already.
    TNode* SetRootNode(TNode* node);
    // Makes and links a new root: OnCreateRoot's node or a plain TNode. A root the grid had is
    // freed (the grid owns it; SetRootNode hands one back instead). Null while a root is being
    // made.
    virtual TNode* CreateRoot();

    // --- options and look ---
    TNodeGridOptions GridOptions() const { return gridOptions_; }
    void SetGridOptions(TNodeGridOptions options);
    // Index 0 Spacing (the width of an indentation level), 1 SpacingPicture (the symbol's
    // width), 2 SpacingState (the state picture's width), in pixels.
    int32_t SpacingValue(int index) const { return spacing_[index]; }
    void SetSpacingValue(int index, int32_t value);
    int32_t Spacing() const { return spacing_[0]; }
    void SetSpacing(int32_t value) { SetSpacingValue(0, value); }
    int32_t SpacingPicture() const { return spacing_[1]; }
    void SetSpacingPicture(int32_t value) { SetSpacingValue(1, value); }
    int32_t SpacingState() const { return spacing_[2]; }
    void SetSpacingState(int32_t value) { SetSpacingValue(2, value); }
    // The column that draws the outline; -1: none.
    int32_t OutlineCol() const { return outlineCol_; }
    void SetOutlineCol(int32_t col);
    // The pictures of the node symbols (not owned; the grid follows their changes and their end).
    TPictureList* Pictures() const { return pictures_; }
    void SetPictures(TPictureList* pictures);
    // The built-in pictures -1 (plus) .. -5 (leaf), owned by the grid.
    TPictureList& BuiltInPictures() { return *builtIn_; }
    // The picture of ID: from Pictures when it has that ID (or while the grid loads from its
    // form), else the built-in one; null when neither has it.
    TPictureEntry* GetPicture(int32_t id);
    // The published pictPlus .. pictLeaf: setting one copies Picture into the entry of ID.
    void SetPict(int32_t id, TPictureEntry* picture);

    // --- rows and nodes ---
    // The node of a row; null for fixed rows, rows past the tree, without a root.
    TNode* NodeAtRow(int32_t row);
    // The row of a node; -1 for a node without a row (the root when it is not drawn, a node
    // below a collapsed one, a node of another tree).
    int32_t RowOfNode(const TNode* node);
    // FocusedNode, else the node of the current row.
    TNode* CurrentNode();
    TNode* FocusedNode() const { return focused_; }
    // Moves the current row to Node (scrolled into view) when it has a row and the grid is
    // not in the middle of a mouse operation.
    void FocusNode(TNode* node);
    // Makes Node the focused node (a node without a row: its nearest visible ancestor): it gets
    // nsFocused (and nsSelected with noSelectNodes), the previous one loses nsFocused,
    // OnNodeFocused runs and the current row follows.
    void SetFocusedNode(TNode* node);
    // Sets or clears nsSelected on every node of the tree.
    void SelectAll(bool select);
    // The nodes of the tree with nsSelected.
    int32_t SelectedCount() const { return static_cast<int32_t>(selected_.size()); }
    // The node the last right-button release was on (null once it left the tree).
    TNode* MenuNode() const { return menuNode_; }
    // Nesting of wait-cursor requests (NM_NODEUPDATE).
    int32_t BusyCount() const { return busyCount_; }
    // The parts of Node's row in Column (< 0: the outline column), in client coordinates;
    // empty when the node has no row on screen.
    RECT GetNodeRect(TNode* node, int32_t column, TNodeParts parts);
    // Repaints those parts (nothing inside update brackets or without a window).
    void InvalidateNode(TNode* node, int32_t column, TNodeParts parts);
    // Fills Info with the pictures of Node's cell (Rect) and asks the node (NM_NODEDRAWINFO);
    // false when there is nothing to draw.
    bool CalcPictures(const RECT& rect, int32_t row, int32_t column, TNode* node, TNodePictureInfo& info);
    // Rebuild false: the row count only. Rebuild true: rows, row heights, focus and the
    // selection count from the tree.
    void RebuildRows(bool rebuild) override;
    // The node a drag object may be dropped on at client point (X, Y); null when none.
    virtual TNode* DropTarget(TDragObject* dragObject, int x, int y);
    // Shows the menu Node fills (NM_NODEMENU) at the pointer.
    virtual void PopupNodeMenu(TNode* node);
    // Draws the tree lines and the plus/minus picture of Node's outline cell.
    virtual void DrawTree(const RECT& rect, int32_t row, TNode* node);

    void CalcDrawStruct(TDrawStruct& ds, int32_t col, int32_t row, TDrawParts parts = AllDrawParts,
                        TAlignment alignment = taLeftJustify, TTextLayout layout = tlTop) override;
    intptr_t NodeMessage(TNode* node, unsigned msg, intptr_t wParam, intptr_t lParam) override;
    void WndProc(TMessage& msg) override;

    void Click() override;
    void DragOver(TDragObject& source, int x, int y, TDragState state, bool& accept) override;
    void DragDrop(TDragObject& source, int x, int y) override;
    void DoEndDrag(TControl* target, int x, int y) override;

    TNotifyEvent OnNodeFocused;
    TNodeChangedEvent OnNodeChanged;
    TCreateRootEvent OnCreateRoot;

protected:
    void Paint() override;
    void DrawCell(TDrawStruct& ds) override;
    bool SelectCell(int32_t col, int32_t row) override;
    void SelectionChanged(TGridRect& range) override;
    void DeferredUpdate() override;
    void EditPosChanged() override;
    void FixedRowsChanged() override;
    std::string GetEditText(int32_t col, int32_t row) override;
    void SetEditText(int32_t col, int32_t row, const std::string& value) override;
    bool CanEditShow() override;
    bool CanEditAcceptKey(char key) override;
    void UpdateEditor(TCustomInplaceEditor& editor) override;
    RECT EditorRect() override;
    void EditorClosed() override;
    void EditorMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DoContextPopup(POINT screenPoint) override;
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;

private:
    // --- the tree and its rows (node_grid_win.cpp) ---
    void LinkRoot(TNode* node, TNodeOption keep);
    void UnlinkRoot(TNode* node);
    bool ShowRoot() const { return gridOptions_.Has(noDrawTreeRoot); }
    int32_t TreeRowCount() const;
    int32_t RowHeightOf(TNode* node);
    void SetTreeRowHeights(int32_t index, const std::vector<TNode*>& nodes);
    // Row work of one tree change: rows and heights at once; scroll ranges, the editor's place
    // and the column width once a burst of changes is over (GM_DEFERREDUPDATE).
    void BeginRowWork();
    void EndRowWork();
    void RowsInserted(const TNodeRows::TChange& change);
    void RowsDeleted(const TNodeRows::TChange& change);
    // Puts the rows of children that moved among their siblings (a sort) in order at once.
    void SyncRows();
    // The grid's rows after the rows were rebuilt from the tree.
    void ResyncRows();
    void RecountSelected();
    TNode* NearestVisible(TNode* node) const;
    bool InTree(const TNode* node) const;
    int32_t LevelOf(const TNode* node) const;

    // --- what the tree tells (node_grid_win.cpp) ---
    void NodeChanged(const TNodeChange& change);
    void NodeRemoved(TNode* node);
    void VisibleNodeChanged(TNode* node, TNodeCode code, intptr_t param);
    void HiddenNodeChanged(TNode* node, TNodeCode code);
    void RepaintParentOutline(TNode* node);
    void SelectedChanged(TNode* node);
    void RedrawMessage(TNode* node, intptr_t column);
    void BusyMessage(intptr_t wParam, intptr_t lParam);
    void ApplyCursorNow();

    // --- geometry and drawing (node_grid_paint_win.cpp) ---
    // The outline's left edge, the node's level below the root and whether lines or
    // plus/minus are drawn.
    struct TOutline {
        int Left = 0;
        int Level = 0;
        bool Lines = false;
    };
    TOutline OutlineOf(const RECT& cell, const TNode* node) const;
    // Where the pictures begin (the state picture's slot or the symbol's).
    int PictureStart(const TOutline& outline) const;
    // Where the outline text of Node begins in Cell: right of the indentation and of the
    // pictures that are drawn.
    int TextLeft(const RECT& cell, int32_t row, int32_t col, TNode* node);
    void PlaceOutlineText(TDrawStruct& ds, TNode* node);
    void DrawOutlineCell(TDrawStruct& ds, TNode* node);
    void DrawPictureSlot(TCanvas& canvas, const TNodePictureSlot& slot, const RECT& cell);
    void DrawDropMark(TDrawStruct& ds);
    bool PaintsEmpty();
    void UpdateColumnWidth();
    int32_t OutlineWidth(TNode* node);
    // The widest outline grows with the rows that came or changed.
    void WidenFor(const std::vector<TNode*>& nodes);
    void KeepTextInView();

    // --- input (node_grid_input_win.cpp) ---
    bool TreeKey(WORD key, TShiftState shift, TNode* node);
    void MouseInfo(TGridMouseInfo& info, TGridButton button, TShiftState shift, int x, int y);
    void ShowMenuAt(TNode* node, int x, int y);

    // --- dragging (node_grid_drag_win.cpp) ---
    bool StartsNodeDrag(TShiftState shift, int x, int y);
    void StartNodeDrag(TNode* node);
    void SetDropMark(TNode* node);

    // --- pictures ---
    void PicturesChanged(TPictureEntry* entry);

    TNode* root_ = nullptr;
    bool creatingRoot_ = false;
    TNodeRows rows_;
    TNodeGridOptions gridOptions_ = DefaultNodeGridOptions;
    int32_t spacing_[3] = {21, 21, 0};
    int32_t outlineCol_ = 0;
    TPictureList* builtIn_ = nullptr;
    TPictureList* pictures_ = nullptr;

    // Stored node references: each is dropped when its node (or an ancestor) leaves the tree.
    TNode* focused_ = nullptr;
    TNode* focusLeaving_ = nullptr;  // the node SetFocusedNode is taking the focus from
    TNode* menuNode_ = nullptr;
    TNode* editingNode_ = nullptr;   // the node the in-place editor renames
    TNode* dropMark_ = nullptr;      // the drop target shown during a drag over the grid
    std::unordered_set<TNode*> selected_;
    // Parents whose children moved among themselves since the rows were last put in order.
    std::vector<TNode*> reordered_;

    TCursor savedCursor_ = crDefault;
    int32_t busyCount_ = 0;
    // Set while the grid moves its own current cell (rebuilding): no node messages, no focus.
    bool quiet_ = false;
    bool settingFocus_ = false;
    // The last press of any button: its cell, point and button, and whether it toggled a node.
    TGridCoord press_{-1, -1};
    POINT pressPoint_{0, 0};
    TMouseButton pressButton_ = mbLeft;
    bool pressToggled_ = false;
    // The character whose NM_GRIDKEYPRESS the grid sent before it opened the editor with it.
    char keyPressSent_ = 0;
    bool sizingColumn_ = false;
    // The widest outline of the rows for a one-column grid's width; -1: not measured yet.
    int32_t widest_ = -1;
};

class TNodeGrid : public TCustomNodeGrid {
public:
    explicit TNodeGrid(TComponent* owner) : TCustomNodeGrid(owner) {}
    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

// Makes the node grid class known to the component reader (form files).
void RegisterNodeGridClasses();
