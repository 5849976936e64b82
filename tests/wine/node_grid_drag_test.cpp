// Dragging nodes with the real mouse: a move within one grid lands before the target (also
// further down in the same parent), a drag into a second grid copies the node, the drag starts
// only past 5 pixels from a press on the text, every refusal rule of the drop target, and a
// node deleted during its drag ends the drag without a drop.
#include <gtest/gtest.h>

#include "grid/node_drag_object_win.h"
#include "tests/wine/node_grid_testing_win.h"
#include "winui/drag_win.h"

namespace {

class NodeGridDragTest : public NodeGridFormTest {
protected:
    void SetUp() override {
        NodeGridFormTest::SetUp();
        form->SetWidth(640);
        other = MakeGrid(form, 320, 8, 290, 370);
        other->OnCreateRoot = [](TControl&) -> TNode* { return NewProbe("Other root", false); };
        for (TNodeGrid* g : {grid, other}) g->SetGridOptions(g->GridOptions() + noDragNodes + noAcceptDragNodes);
        otherNodes = BuildOutline(other->RootNode(), "Eins\nZwei+\n Drei\nVier\n");
    }
    void TearDown() override {
        if (DragActive()) CancelDrag();
        NodeGridFormTest::TearDown();
    }
    // Presses on From's text, moves in steps to the text of To in Target and releases there.
    void DragNode(TNode* from, TCustomNodeGrid& target, TNode* to, int dy = 0) {
        PumpUntil(GetDoubleClickTime() + 80);
        const POINT start = grid->ClientToScreen(TextPoint(from));
        const RECT text = target.GetNodeRect(to, -1, ppText);
        const POINT end = target.ClientToScreen(POINT{text.left + 6, (text.top + text.bottom) / 2 + dy});
        MouseTo(start);
        WaitForInputHandled();
        MouseButton(true);
        WaitForInputHandled();
        // The drag starts once the pointer left the press by more than 5 pixels in its cell.
        MouseTo(POINT{start.x + 8, start.y});
        WaitForInputHandled();
        EXPECT_TRUE(DragActive());
        for (int i = 1; i <= 10; ++i) {
            MouseTo(POINT{start.x + (end.x - start.x) * i / 10, start.y + (end.y - start.y) * i / 10});
            WaitForInputHandled();
        }
        MouseButton(false);
        WaitFor([] { return !DragActive(); });
        WaitForInputHandled();
    }
    std::vector<std::string> Children(TNode* parent) {
        std::vector<std::string> texts;
        for (int i = 0; i < parent->ChildCount(); ++i) texts.push_back(parent->Child(i)->Text());
        return texts;
    }

    TNodeGrid* other = nullptr;
    std::map<std::string, TProbeNode*> otherNodes;
};

TEST_F(NodeGridDragTest, ADragWithinTheGridMovesTheNodeBeforeTheTarget) {
    Show(SampleOutline);
    TProbeNode* anfrage = N("Anfrage");
    DragNode(anfrage, *grid, N("Termine"));
    EXPECT_EQ(anfrage->Parent(), grid->RootNode());
    EXPECT_EQ(Children(grid->RootNode()), (std::vector<std::string>{"Angebote", "Briefe", "Kunden", "Anfrage", "Termine"}));
    EXPECT_EQ(grid->FocusedNode(), anfrage);
    EXPECT_EQ(grid->Row(), grid->RowOfNode(anfrage));
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
    EXPECT_EQ(grid->DragSourceCell(), (TGridCoord{-1, -1}));
}

TEST_F(NodeGridDragTest, ATargetFurtherDownInTheSameParentGetsTheNodeRightBeforeIt) {
    Show(SampleOutline);
    DragNode(N("Anfrage"), *grid, N("Dank"));
    EXPECT_EQ(Children(N("Angebote")), (std::vector<std::string>{"Auftrag", "Anfrage", "Dank"}));
    // And upwards: before a target higher up.
    DragNode(N("Dank"), *grid, N("Auftrag"));
    EXPECT_EQ(Children(N("Angebote")), (std::vector<std::string>{"Dank", "Auftrag", "Anfrage"}));
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
}

TEST_F(NodeGridDragTest, ADragIntoAnotherGridCopiesTheNode) {
    Show(SampleOutline);
    TProbeNode* auftrag = N("Auftrag");
    DragNode(auftrag, *other, otherNodes["Vier"]);
    // The original stays where it was; a copy of its subtree goes before the target.
    EXPECT_EQ(auftrag->Parent(), N("Angebote"));
    EXPECT_EQ(Children(other->RootNode()), (std::vector<std::string>{"Eins", "Zwei", "Auftrag", "Vier"}));
    TNode* copy = other->RootNode()->Child(2);
    EXPECT_NE(copy, auftrag);
    EXPECT_EQ(Children(copy), (std::vector<std::string>{"Bestellung", "Lieferung"}));
    EXPECT_EQ(other->FocusedNode(), copy);
    EXPECT_EQ(RowTexts(*other), ShownTexts(*other));
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
    Shot(form->Handle(), "node_grid_copied");
}

TEST_F(NodeGridDragTest, TheDragStartsPastFivePixelsFromAPressOnTheText) {
    Show(SampleOutline);
    TProbeNode* node = N("Erinnerung");
    N("Briefe")->Expand(false);
    const POINT text = TextPoint(node);
    MouseAt(*grid, text.x, text.y);
    MouseButton(true);
    WaitForInputHandled();
    MouseAt(*grid, text.x + 5, text.y + 5);
    EXPECT_FALSE(DragActive());
    MouseAt(*grid, text.x + 6, text.y);
    EXPECT_TRUE(DragActive());
    auto* drag = dynamic_cast<TNodeDragObject*>(CurrentDragObject());
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->Node(), node);
    EXPECT_EQ(drag->Control(), grid);
    EXPECT_EQ(grid->DragSourceCell(), (TGridCoord{0, grid->RowOfNode(node)}));
    Key(VK_ESCAPE);
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_FALSE(DragActive());
    EXPECT_EQ(node->Parent(), N("Briefe"));
}

TEST_F(NodeGridDragTest, APressBesideTheTextDragsNothing) {
    Show(SampleOutline);
    const RECT text = grid->GetNodeRect(N("Termine"), -1, ppText);
    const int y = (text.top + text.bottom) / 2;
    MouseAt(*grid, text.right + 10, y);
    MouseButton(true);
    WaitForInputHandled();
    MouseAt(*grid, text.right + 30, y);
    EXPECT_FALSE(DragActive());
    MouseButton(false);
    WaitForInputHandled();
}

TEST_F(NodeGridDragTest, DropTargetsFollowEveryRefusalRule) {
    grid->SetGridOptions(grid->GridOptions() + noDrawTreeRoot);
    Show(SampleOutline);
    TNode* root = grid->RootNode();
    // Class rules: a TLeafOnlyNode accepts no TLeafOnlyNode, a node that insists on a parent
    // class refuses others.
    auto* strict = TNode::Create<TLeafOnlyNode>("Strict");
    root->InsertNode(-1, strict, imChild | imLast);
    auto* inside = TNode::Create<TProbeNode>("Inside");
    strict->InsertNode(-1, inside, imChild);
    strict->Expand(false);
    // A plain TNode parent is neither the class Fussy wants as parent nor its own class.
    TNode* plain = TNode::Create<TNode>("Plain");
    root->InsertNode(-1, plain, imChild | imLast);
    auto* plainChild = TNode::Create<TProbeNode>("Plain child");
    plain->InsertNode(-1, plainChild, imChild);
    plain->Expand(false);
    auto* picky = TNode::Create<TLeafOnlyNode>("Picky");
    auto* fussy = TNode::Create<TProbeNode>("Fussy");
    fussy->SetParentNodeClass(&TLeafOnlyNode::StaticClass());
    other->RootNode()->InsertNode(-1, picky, imChild);
    other->RootNode()->InsertNode(-1, fussy, imChild);

    const auto target = [&](TCustomNodeGrid& from, TNode* node, TNode* over) -> TNode* {
        TNodeDragObject drag(&from, node);
        const RECT r = grid->GetNodeRect(over, -1, ppCell);
        return grid->DropTarget(&drag, r.left + 5, (r.top + r.bottom) / 2);
    };
    TProbeNode* movable = N("Lieferung");
    TProbeNode* fixed = N("Mahnung");
    fixed->SetOption(fixed->Option() - noCanMove);
    const struct {
        const char* name;
        TCustomNodeGrid* from;
        TNode* node;
        TNode* over;
        bool accepted;
    } cases[] = {
        {"a sibling", grid, movable, N("Dank"), true},
        {"another level", grid, movable, N("Termine"), true},
        {"the root", grid, movable, root, false},
        {"the node itself", grid, movable, movable, false},
        {"its own subtree", grid, N("Angebote"), N("Bestellung"), false},
        {"within without noCanMove", grid, fixed, N("Dank"), false},
        {"from another grid without noCanMove", other, fixed, N("Dank"), true},
        {"a parent refusing the class", other, picky, inside, false},
        {"a parent the class accepts", other, picky, N("Dank"), true},
        {"a parent of the wrong class", other, fussy, plainChild, false},
        {"a parent of the right class", other, fussy, inside, true},
    };
    for (const auto& c : cases) {
        TNode* found = target(*c.from, c.node, c.over);
        EXPECT_EQ(found, c.accepted ? c.over : nullptr) << c.name;
    }
    // No row under the point: nothing.
    {
        TNodeDragObject drag(grid, movable);
        EXPECT_EQ(grid->DropTarget(&drag, 5, grid->ClientHeight() - 3), nullptr);
    }
    // A node may take any drop itself, and a grid without noAcceptDragNodes takes none else.
    N("Dank")->Answers[NM_GRIDDROPTARGET] = 1;
    EXPECT_EQ(target(*grid, N("Angebote"), N("Dank")), N("Dank"));
    grid->SetGridOptions(grid->GridOptions() - noAcceptDragNodes);
    EXPECT_EQ(target(*grid, movable, N("Termine")), nullptr);
    EXPECT_EQ(target(*grid, movable, N("Dank")), N("Dank"));
}

TEST_F(NodeGridDragTest, RefusedDropsChangeNothing) {
    Show(SampleOutline);
    const std::vector<std::string> before = RowTexts(*grid);
    DragNode(N("Angebote"), *grid, N("Bestellung"));  // into its own subtree
    EXPECT_EQ(RowTexts(*grid), before);
    EXPECT_EQ(N("Angebote")->Parent(), grid->RootNode());
}

TEST_F(NodeGridDragTest, DeletingTheDraggedNodeEndsTheDragWithoutADrop) {
    Show(SampleOutline);
    TProbeNode* node = N("Termine");
    const POINT text = TextPoint(node);
    MouseAt(*grid, text.x, text.y);
    MouseButton(true);
    WaitForInputHandled();
    MouseAt(*grid, text.x + 10, text.y);
    ASSERT_TRUE(DragActive());
    MouseAt(*grid, text.x + 10, text.y - 40);
    int drops = 0;
    other->OnDragDrop = [&drops](TControl&, TDragObject&, int, int) { ++drops; };
    node->Delete();
    EXPECT_FALSE(DragActive());
    EXPECT_EQ(CurrentDragObject(), nullptr);
    const RECT eins = other->GetNodeRect(otherNodes["Eins"], -1, ppText);
    const POINT over = other->ClientToScreen(POINT{eins.left + 4, (eins.top + eins.bottom) / 2});
    MouseTo(over);
    WaitForInputHandled();
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_EQ(drops, 0);
    EXPECT_EQ(Children(other->RootNode()), (std::vector<std::string>{"Eins", "Zwei", "Vier"}));
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
}

}  // namespace
