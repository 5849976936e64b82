// The main window's view of its tree control: the operations and events of the node grid that
// the window's commands use, behind one small interface, so that the commands are written in
// the window's terms and the grid plugs in at one place (MakeLibraryGrid).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "grid/draw_struct_win.h"
#include "nodes/node.h"
#include "winui/control_win.h"

class TPictureList;
class TPopupMenu;
class TWin95Form;

class TLibraryGrid {
public:
    virtual ~TLibraryGrid() = default;

    // The control, a component of the window named "Grid".
    virtual TWinControl& Control() = 0;

    // The tree shown; made through OnCreateRoot when there is none yet.
    virtual TNode* RootNode() = 0;
    // Shows Root instead (none: a fresh root is made); the old root is handed back.
    virtual std::unique_ptr<TNode> ReplaceRoot(std::unique_ptr<TNode> root) = 0;
    virtual TNode* FocusedNode() = 0;
    // Makes Node the focused node (OnNodeFocused follows when it changed).
    virtual void SetFocusedNode(TNode* node) = 0;
    // The node of the grid's current row (the selected entry).
    virtual TNode* SelectedNode() = 0;
    // Moves the current row to Node when it is shown.
    virtual void FocusNode(TNode* node) = 0;
    // The node in the row at a client point; none outside the rows.
    virtual TNode* NodeAt(int x, int y) = 0;
    // The node the entry menu is being opened for.
    virtual TNode* MenuNode() = 0;
    // Whether the in-place editor is open on a node.
    virtual bool Editing() = 0;

    // The two grid operations around deleting a node: before the confirmation, and after the
    // node was freed (the grid shows the tree correctly again).
    virtual void BeginDeleteNode() = 0;
    virtual void EndDeleteNode() = 0;
    // Around inserting and focusing a new entry: the grid holds back what it would start on
    // its own in between (a pending edit or mouse operation).
    virtual void BeginNewEntry() = 0;
    virtual void EndNewEntry() = 0;

    virtual void SetPictures(TPictureList* pictures) = 0;
    virtual void SetNodeMenu(TPopupMenu* menu) = 0;
    // The symbols changed: their cells are drawn again.
    virtual void PicturesChanged() = 0;
    // Draws every row again.
    virtual void Redraw() = 0;

    // --- events ---
    std::function<void()> OnNodeFocused;
    std::function<void(TNode* node, TNodeCode code, intptr_t param)> OnNodeChanged;
    std::function<TNode*()> OnCreateRoot;
    // A cell's drawing record was computed; Node is the row's node (may be none). FontColor
    // (clNone: the grid's own) is the colour the cell's text is drawn in.
    std::function<void(TDrawStruct& drawStruct, TNode* node, TColor& fontColor)> OnCalcDrawStruct;
};

// Makes the grid of Window, owned by it, as the window's tree control.
using TLibraryGridFactory = std::function<std::unique_ptr<TLibraryGrid>(TWin95Form& window)>;
