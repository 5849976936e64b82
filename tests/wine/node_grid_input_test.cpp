// The node grid driven with real keys and mouse: arrows and tree keys, plus, minus and space,
// presses on plus/minus and on text, selection with Shift and Ctrl, renaming with a slow second
// click, node menus, and the messages the nodes get on the way.
#include <gtest/gtest.h>

#include "tests/wine/node_grid_testing_win.h"

namespace {

using NodeGridInputTest = NodeGridFormTest;

TEST_F(NodeGridInputTest, ArrowsMoveTheFocusedNode) {
    Show(SampleOutline);
    // The first row is current from the start: a click on it focuses its node all the same.
    ASSERT_EQ(grid->Row(), grid->RowOfNode(N("Angebote")));
    Click(TextPoint(N("Angebote")));
    EXPECT_EQ(grid->FocusedNode(), N("Angebote"));
    Key(VK_DOWN);
    EXPECT_EQ(grid->FocusedNode(), N("Anfrage"));
    EXPECT_TRUE(N("Anfrage")->State().Has(nsFocused));
    EXPECT_FALSE(N("Angebote")->State().Has(nsFocused));
    // The focused node shows the open symbol, the others the closed one.
    EXPECT_EQ(N("Auftrag")->Bitmap(), PictCloseId);
    Key(VK_DOWN);
    EXPECT_EQ(N("Auftrag")->Bitmap(), PictOpenId);
    Key(VK_END, {VK_CONTROL});
    EXPECT_EQ(grid->FocusedNode(), N("Termine"));
}

TEST_F(NodeGridInputTest, LeftAndRightWalkTheTree) {
    Show(SampleOutline);
    Click(TextPoint(N("Briefe")));
    Key(VK_RIGHT);  // expands
    EXPECT_TRUE(N("Briefe")->State().Has(nsExpanded));
    EXPECT_EQ(grid->FocusedNode(), N("Briefe"));
    Key(VK_RIGHT);  // to the first child
    EXPECT_EQ(grid->FocusedNode(), N("Einladung"));
    const int32_t row = grid->Row();
    Key(VK_RIGHT);  // a leaf: used up, nothing happens
    EXPECT_EQ(grid->Row(), row);
    EXPECT_EQ(grid->FocusedNode(), N("Einladung"));
    Key(VK_LEFT);  // a leaf goes to its parent
    EXPECT_EQ(grid->FocusedNode(), N("Briefe"));
    Key(VK_LEFT);  // collapses
    EXPECT_FALSE(N("Briefe")->State().Has(nsExpanded));
    Key(VK_LEFT);  // a top-level node's parent is the root, which has no row: the focus stays
    EXPECT_EQ(grid->FocusedNode(), N("Briefe"));
    EXPECT_EQ(grid->Row(), grid->RowOfNode(N("Briefe")));
}

TEST_F(NodeGridInputTest, PlusMinusAndSpaceActOnTheCurrentNode) {
    // With the editor out of the way these keys act on the tree instead of typing.
    grid->SetOptions(grid->Options() - goEditing);
    Show(SampleOutline);
    Click(TextPoint(N("Angebote")));
    Key(VK_SUBTRACT);
    EXPECT_FALSE(N("Angebote")->State().Has(nsExpanded));
    EXPECT_TRUE(N("Auftrag")->State().Has(nsExpanded));
    Key(VK_ADD);
    EXPECT_TRUE(N("Angebote")->State().Has(nsExpanded));
    // With Ctrl through every level below.
    Key(VK_SUBTRACT, {VK_CONTROL});
    EXPECT_FALSE(N("Angebote")->State().Has(nsExpanded));
    EXPECT_FALSE(N("Auftrag")->State().Has(nsExpanded));
    Key(VK_ADD, {VK_CONTROL});
    EXPECT_TRUE(N("Angebote")->State().Has(nsExpanded));
    EXPECT_TRUE(N("Auftrag")->State().Has(nsExpanded));
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
    Key(VK_SPACE);
    EXPECT_TRUE(N("Angebote")->State().Has(nsSelected));
    EXPECT_EQ(grid->SelectedCount(), 1);
    Key(VK_SPACE);
    EXPECT_FALSE(N("Angebote")->State().Has(nsSelected));
}

TEST_F(NodeGridInputTest, PressesOnPlusMinusToggleWithAnyButton) {
    Show(SampleOutline);
    Click(TextPoint(N("Termine")));
    Click(ButtonPoint(N("Briefe")));
    EXPECT_TRUE(N("Briefe")->State().Has(nsExpanded));
    EXPECT_EQ(grid->FocusedNode(), N("Termine"));  // nothing else happened
    Click(ButtonPoint(N("Briefe")), true);
    EXPECT_FALSE(N("Briefe")->State().Has(nsExpanded));
    EXPECT_EQ(grid->FocusedNode(), N("Termine"));
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
    // A right press on the text focuses the node.
    Click(TextPoint(N("Dank")), true);
    EXPECT_EQ(grid->FocusedNode(), N("Dank"));
}

TEST_F(NodeGridInputTest, ShiftSelectsARangeAndCtrlTogglesOneNode) {
    grid->SetGridOptions(grid->GridOptions() + noSelectNodes);
    Show(SampleOutline);
    Click(TextPoint(N("Anfrage")));
    EXPECT_EQ(grid->SelectedCount(), 1);
    EXPECT_TRUE(N("Anfrage")->State().Has(nsSelected));
    // Shift+click three rows down: four rows.
    PumpUntil(GetDoubleClickTime() + 80);
    MouseAt(*grid, TextPoint(N("Lieferung")).x, TextPoint(N("Lieferung")).y);
    ClickHolding(VK_SHIFT);
    EXPECT_EQ(grid->SelectedCount(), 4);
    for (const char* text : {"Anfrage", "Auftrag", "Bestellung", "Lieferung"})
        EXPECT_TRUE(N(text)->State().Has(nsSelected)) << text;
    // Ctrl+click adds one node, a second Ctrl+click takes it away again.
    const auto ctrlClick = [&](TNode* node) {
        PumpUntil(GetDoubleClickTime() + 80);
        const POINT p = TextPoint(node);
        MouseAt(*grid, p.x, p.y);
        ClickHolding(VK_CONTROL);
    };
    ctrlClick(N("Termine"));
    EXPECT_EQ(grid->SelectedCount(), 5);
    EXPECT_TRUE(N("Termine")->State().Has(nsSelected));
    ctrlClick(N("Termine"));
    EXPECT_EQ(grid->SelectedCount(), 4);
    EXPECT_FALSE(N("Termine")->State().Has(nsSelected));
    // A plain click selects its node alone.
    Click(TextPoint(N("Briefe")));
    EXPECT_EQ(grid->SelectedCount(), 1);
    EXPECT_TRUE(N("Briefe")->State().Has(nsSelected));
}

TEST_F(NodeGridInputTest, ASlowSecondClickOnTheTextRenamesTheNode) {
    Show(SampleOutline);
    TProbeNode* dank = N("Dank");
    Click(TextPoint(dank));
    EXPECT_EQ(grid->FocusedNode(), dank);
    EXPECT_FALSE(EditorShown());
    // The grid asked whether the editor may open, but the node is not being edited yet.
    EXPECT_FALSE(dank->State().Has(nsEditing));
    Click(TextPoint(dank));
    ASSERT_TRUE(WaitFor([&] { return EditorShown(); }));
    EXPECT_TRUE(dank->State().Has(nsEditing));
    EXPECT_GT(dank->Count(NM_GRIDCANEDIT), 0);
    EXPECT_GT(dank->Count(NM_GRIDUPDATEEDITOR), 0);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "Dank");
    // The editor lies over the text, the tree lines and pictures stay in view.
    RECT editor;
    GetWindowRect(grid->InplaceEditor()->Handle(), &editor);
    const POINT textStart = grid->ClientToScreen(POINT{grid->GetNodeRect(dank, -1, ppText).left, 0});
    EXPECT_EQ(editor.left, textStart.x);
    Shot(form->Handle(), "node_grid_editor");
    const int leavesBefore = dank->Count(NM_GRIDLEAVECELL);
    // Typing replaces the selected text.
    Key('D', {VK_SHIFT});
    for (WORD key : {'A', 'N', 'K', 'E'}) Key(key);
    Key(VK_RETURN);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(dank->Text(), "Danke");
    EXPECT_FALSE(dank->State().Has(nsEditing));
    EXPECT_EQ(dank->Count(NM_GRIDLEAVECELL), leavesBefore + 1);
}

TEST_F(NodeGridInputTest, EscapeKeepsTheOldText) {
    Show(SampleOutline);
    Click(TextPoint(N("Mahnung")));
    Key(VK_F2);
    ASSERT_TRUE(EditorShown());
    // A press in the editor reaches the node as a press in the grid.
    const int presses = N("Mahnung")->Count(NM_GRIDMOUSEDOWN);
    RECT editor;
    GetClientRect(grid->InplaceEditor()->Handle(), &editor);
    ClickAt(*grid->InplaceEditor(), editor.right / 2, editor.bottom / 2);
    EXPECT_EQ(N("Mahnung")->Count(NM_GRIDMOUSEDOWN), presses + 1);
    EXPECT_TRUE(EditorShown());
    Key('X');
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(N("Mahnung")->Text(), "Mahnung");
    EXPECT_FALSE(N("Mahnung")->State().Has(nsEditing));
}

TEST_F(NodeGridInputTest, PressesBesideTheTextAndDoubleClicksOpenNoEditor) {
    Show(SampleOutline);
    TProbeNode* notiz = N("Notiz");
    Click(TextPoint(notiz));
    const RECT text = grid->GetNodeRect(notiz, -1, ppText);
    Click(POINT{text.right + 20, (text.top + text.bottom) / 2});
    PumpUntil(700);  // past the drag-wait time as well
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->FocusedNode(), notiz);
    // A double click on another node is no slow second click on the current one.
    TProbeNode* rechnung = N("Rechnung");
    const POINT p = TextPoint(rechnung);
    PumpUntil(GetDoubleClickTime() + 80);
    MouseAt(*grid, p.x, p.y);
    ClickAt(*grid, p.x, p.y);
    ClickAt(*grid, p.x, p.y);
    PumpUntil(700);
    EXPECT_EQ(grid->FocusedNode(), rechnung);
    EXPECT_FALSE(EditorShown());
    EXPECT_FALSE(rechnung->State().Has(nsEditing));
}

TEST_F(NodeGridInputTest, AReadOnlyNodeIsNotRenamed) {
    Show(SampleOutline);
    TProbeNode* node = N("Termine");
    node->SetState(node->State() + nsReadOnly);
    Click(TextPoint(node));
    Key(VK_F2);
    EXPECT_FALSE(EditorShown());
    EXPECT_GT(node->Count(NM_GRIDCANEDIT), 0);
    EXPECT_FALSE(node->State().Has(nsEditing));
}

TEST_F(NodeGridInputTest, ARightClickShowsTheMenuTheNodeFills) {
    Show(SampleOutline);
    TProbeNode* node = N("Lieferung");
    node->MenuItems = {"Eins", "Zwei"};
    const POINT p = TextPoint(node);
    // Down and Enter choose the first item once the menu is up.
    Later([] { PressKey(VK_DOWN); PressKey(VK_RETURN); }, 150, [] { return InMenuMode(); });
    Click(p, true);
    ASSERT_TRUE(WaitFor([&] { return !node->Chosen.empty(); }));
    EXPECT_EQ(node->Chosen, std::vector<std::string>{"Eins"});
    EXPECT_EQ(grid->MenuNode(), node);
    EXPECT_EQ(grid->FocusedNode(), node);
    // A node that fills no menu shows none.
    const int before = N("Dank")->Count(NM_NODEMENU);
    Click(TextPoint(N("Dank")), true);
    PumpUntil(300);
    EXPECT_FALSE(InMenuMode());
    EXPECT_EQ(N("Dank")->Count(NM_NODEMENU), before + 1);
    EXPECT_EQ(grid->MenuNode(), N("Dank"));
    // The menu node goes when the node does (here with its parent).
    N("Angebote")->Delete();
    EXPECT_EQ(grid->MenuNode(), nullptr);
}

TEST_F(NodeGridInputTest, TheGridsPopupMenuComesUpOnlyOnText) {
    auto* menu = new TPopupMenu(form);
    menu->SetAutoPopup(false);
    auto* item = new TMenuItem(menu);
    item->SetCaption("Kopieren");
    int clicks = 0;
    item->OnClick = [&clicks](TMenuItem&) { ++clicks; };
    menu->Items().Add(item);
    grid->SetPopupMenu(menu);
    Show(SampleOutline);
    TProbeNode* node = N("Rechnung");
    const RECT text = grid->GetNodeRect(node, -1, ppText);
    Click(POINT{text.right + 30, (text.top + text.bottom) / 2}, true);
    PumpUntil(300);
    EXPECT_FALSE(InMenuMode());
    Later([] { PressKey(VK_DOWN); PressKey(VK_RETURN); }, 150, [] { return InMenuMode(); });
    Click(TextPoint(node), true);
    ASSERT_TRUE(WaitFor([&] { return clicks == 1; }));
    EXPECT_EQ(grid->MenuNode(), node);
}

TEST_F(NodeGridInputTest, NodesSeeTheGridsStepsAndMayStopThem) {
    Show(SampleOutline);
    TProbeNode* anfrage = N("Anfrage");
    Click(TextPoint(anfrage));
    EXPECT_GT(anfrage->Count(NM_GRIDMOUSEDOWN), 0);
    EXPECT_GT(anfrage->Count(NM_GRIDMOUSEUP), 0);
    EXPECT_GT(anfrage->Count(NM_GRIDENTERCELL), 0);
    EXPECT_GT(anfrage->Count(NM_GRIDCLICK), 0);
    // A node that swallows its keys keeps the focus.
    anfrage->Answers[NM_GRIDKEYDOWN] = 2;
    Key(VK_DOWN);
    EXPECT_EQ(grid->FocusedNode(), anfrage);
    EXPECT_GT(anfrage->Count(NM_GRIDKEYDOWN), 0);
    anfrage->Answers.erase(NM_GRIDKEYDOWN);
    // A node that refuses to be left keeps the current cell.
    anfrage->Answers[NM_GRIDLEAVECELL] = 2;
    Key(VK_DOWN);
    EXPECT_EQ(grid->FocusedNode(), anfrage);
    anfrage->Answers.erase(NM_GRIDLEAVECELL);
    Key(VK_DOWN);
    EXPECT_EQ(grid->FocusedNode(), N("Auftrag"));
    // A character the node zeroes never reaches the editor.
    TProbeNode* auftrag = N("Auftrag");
    auftrag->Answers[NM_GRIDKEYPRESS] = 0;
    Key('Q');
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(auftrag->Text(), "Auftrag");
    EXPECT_GT(auftrag->Count(NM_GRIDKEYPRESS), 0);
}

}  // namespace
