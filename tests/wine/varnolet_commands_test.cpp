// The main window's commands driven with real input: where new entries go, deleting with its
// confirmation and its refusals, renaming in place with the sort after the edit, the options
// menu, highlighting entries with text, and the hints of entries.
#include <gtest/gtest.h>

#include "base/strings.h"
#include "grid/node_grid_win.h"
#include "tests/wine/varnolet_testing_win.h"

namespace {

class VarnoletCommandsTest : public VarnoletWindowTest {
protected:
    // A library of two groups (each with one item) and one item directly under the top node.
    void StartWithLibrary() {
        WriteLibrary(File(".STD"), {"Briefe", "Angebote"});
        Start();
        TTextData* loose = TTextNode::CreateNew<TTextData>();
        loose->SetText("Notiz");
        Root()->InsertNode(-1, loose, imChild);
        WaitForInputHandled();
    }
    TNode* Find(const std::string& path) { return Root()->FindPath(path, true); }
};

TEST_F(VarnoletCommandsTest, TheTreeIsANodeGridThatWalksTheLibraryWithTreeKeys) {
    StartWithLibrary();
    auto* grid = dynamic_cast<TNodeGrid*>(&window->Grid->Control());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->Name(), "Grid");
    EXPECT_EQ(grid->GridOptions(),
              (TNodeGridOptions{noDrawPicture, noDrawTree, noDrawPlusMinus, noDrawTreeRoot, noHandleTreeKeys}));
    EXPECT_EQ(grid->ColCount(), 1);
    EXPECT_EQ(grid->FixedRows(), 0);
    EXPECT_EQ(grid->DefaultRowHeight(), 16);
    EXPECT_EQ(grid->Spacing(), 16);
    EXPECT_EQ(grid->Pictures(), window->Symbole);
    EXPECT_EQ(grid->PopupMenu(), window->NodePopup);
    // The top node is the first row; Left closes a group, Right opens it and then walks into it.
    EXPECT_EQ(grid->NodeAtRow(0), Root());
    TNode* briefe = Find("Briefe");
    TNode* item = Find("Briefe\\Briefe item");
    ClickNode(briefe);
    ASSERT_EQ(window->Grid->FocusedNode(), briefe);
    PressKey(VK_LEFT);
    EXPECT_TRUE(WaitFor([&] { return !briefe->State().Has(nsExpanded); }));
    EXPECT_EQ(grid->RowOfNode(item), -1);
    PressKey(VK_RIGHT);
    EXPECT_TRUE(WaitFor([&] { return briefe->State().Has(nsExpanded); }));
    PressKey(VK_RIGHT);
    EXPECT_TRUE(WaitFor([&] { return window->Grid->FocusedNode() == item; }));
    // The focus change reaches the window: an item may be deleted.
    EXPECT_TRUE(window->ClearBtn->Enabled());
}

TEST_F(VarnoletCommandsTest, NewEntriesGoIntoTheNearestGroupInTextOrder) {
    StartWithLibrary();
    TNode* briefe = Find("Briefe");
    ASSERT_NE(briefe, nullptr);
    // A text item selected: the new item goes into its group, sorted.
    ClickNode(Find("Briefe\\Briefe item"));
    ClickAt(*window->NewTextBtn, 10, 10);
    EXPECT_EQ(ChildTexts(briefe), (std::vector<std::string>{"Briefe item", "Neuer Text"}));
    TNode* made = window->Grid->FocusedNode();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Parent(), briefe);
    EXPECT_EQ(made->NodeClass(), &TTextData::StaticClass());
    EXPECT_EQ(made->Bitmap(), SymbolText);
    // A group selected: the new group goes into it.
    ClickNode(Find("Angebote"));
    ClickAt(*window->NewGroupBtn, 10, 10);
    TNode* angebote = Find("Angebote");
    EXPECT_EQ(ChildTexts(angebote), (std::vector<std::string>{"Angebote item", "Neue Gruppe"}));
    EXPECT_EQ(window->Grid->FocusedNode()->Bitmap(), SymbolGroup);
    // An item directly under the top node: there is no group above it, so the top node takes it.
    ClickNode(Find("Notiz"));
    ChordKey({VK_CONTROL}, 'G');
    EXPECT_EQ(window->Grid->FocusedNode()->Parent(), Root());
    EXPECT_EQ(window->Grid->FocusedNode()->Text(), "Neue Gruppe");
    // The top node selected (nothing else): under the top node, by the shortcut too.
    ClickNode(Root());
    ChordKey({VK_CONTROL}, 'T');
    EXPECT_EQ(window->Grid->FocusedNode()->Parent(), Root());
    EXPECT_EQ(Counted().OpenNewEntries, 0);
    Shot(window->Handle(), "varnolet_commands_new_entries");
}

TEST_F(VarnoletCommandsTest, NewEntriesOpenTheirCollapsedGroup) {
    StartWithLibrary();
    TNode* briefe = Find("Briefe");
    briefe->Collapse(false);
    WaitForInputHandled();
    ClickNode(briefe);
    ClickAt(*window->NewTextBtn, 10, 10);
    EXPECT_TRUE(briefe->State().Has(nsExpanded));
    EXPECT_TRUE(window->Grid->FocusedNode()->IsVisible());
}

TEST_F(VarnoletCommandsTest, DeletingAsksAndFocusesOutsideTheDeletedSubtree) {
    StartWithLibrary();
    TNode* briefe = Find("Briefe");
    ClickNode(Find("Briefe\\Briefe item"));
    // No keeps the entry.
    AnswerNextDialog(mbNo);
    ClickNode(briefe);
    ChordKey({VK_CONTROL}, VK_DELETE);
    EXPECT_TRUE(WaitFor([&] { return dialogs == 1; }));
    WaitForInputHandled();
    EXPECT_NE(Find("Briefe"), nullptr);
    // Yes deletes the group with its item; the focus goes to its parent, not into the subtree.
    AnswerNextDialog(mbYes);
    ChordKey({VK_CONTROL}, VK_DELETE);
    EXPECT_TRUE(WaitFor([&] { return dialogs == 2; }));
    WaitForInputHandled();
    EXPECT_EQ(Find("Briefe"), nullptr);
    EXPECT_EQ(window->Grid->FocusedNode(), Root());
    EXPECT_EQ(ChildTexts(Root()), (std::vector<std::string>{"Angebote", "Notiz"}));
    // Every delete, asked or not, ends with the grid's closing operation.
    EXPECT_EQ(Counted().BeginDeletes, 2);
    EXPECT_EQ(Counted().EndDeletes, 2);
}

TEST_F(VarnoletCommandsTest, TheTopNodeAndProtectedEntriesAreNotDeleted) {
    StartWithLibrary();
    // The top node: no question, nothing happens.
    ClickNode(Root());
    ChordKey({VK_CONTROL}, VK_DELETE);
    ClickAt(*window->ClearBtn, 10, 10);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(Root()->ChildCount(), 3);
    // An entry without the delete option.
    TNode* notiz = Find("Notiz");
    notiz->SetOption(notiz->Option() - noCanDelete);
    ClickNode(notiz);
    ClickAt(*window->ClearBtn, 10, 10);
    EXPECT_EQ(dialogs, 0);
    EXPECT_NE(Find("Notiz"), nullptr);
    EXPECT_EQ(Counted().BeginDeletes, 3);
    EXPECT_EQ(Counted().EndDeletes, 3);
}

TEST_F(VarnoletCommandsTest, TheEntryMenuDeletesItsOwnEntryOnly) {
    StartWithLibrary();
    TNode* notiz = Find("Notiz");
    ClickNode(Find("Angebote"));
    // The menu opened on "Notiz" deletes "Notiz", though "Angebote" is focused.
    AnswerNextDialog(mbYes);
    Later([this] { PressKey('L'); }, 50, [] { return InMenuMode(); });
    RightClickNode(notiz);
    EXPECT_TRUE(WaitFor([&] { return dialogs == 1; }));
    WaitForInputHandled();
    EXPECT_EQ(Find("Notiz"), nullptr);
    EXPECT_EQ(window->MenuEntry(), nullptr);
    // With the menu closed, the shortcut deletes the focused entry, not the menu's old one.
    TNode* angebote = Find("Angebote");
    ClickNode(angebote);
    AnswerNextDialog(mbYes);
    ChordKey({VK_CONTROL}, VK_DELETE);
    EXPECT_TRUE(WaitFor([&] { return dialogs == 2; }));
    WaitForInputHandled();
    EXPECT_EQ(Find("Angebote"), nullptr);
    EXPECT_NE(Find("Briefe"), nullptr);
}

TEST_F(VarnoletCommandsTest, TheEntryMenuShowsWhatItsEntryAllows) {
    StartWithLibrary();
    bool clearEnabled = false, copyEnabled = true, shown = false;
    TNode* entry = nullptr;
    window->NodePopup->OnPopup = [&](TPopupMenu& sender) {
        window->NodePopupPopup(sender);
        shown = true;
        entry = window->MenuEntry();
        clearEnabled = window->PItemClear->Enabled();
        copyEnabled = window->PItemCopy->Enabled();
    };
    TNode* briefe = Find("Briefe");
    Later([] { PressKey(VK_ESCAPE); }, 50, [] { return InMenuMode(); });
    ClickNode(briefe);
    RightClickNode(briefe);
    EXPECT_TRUE(WaitFor([&] { return shown && !InMenuMode(); }));
    WaitForInputHandled();
    EXPECT_EQ(entry, briefe);
    EXPECT_TRUE(clearEnabled);
    EXPECT_FALSE(copyEnabled);
    EXPECT_EQ(window->MenuEntry(), nullptr);
}

TEST_F(VarnoletCommandsTest, RenamingSortsOnlyAfterTheEditorClosed) {
    StartWithLibrary();
    TNode* angebote = Find("Angebote");
    TNode* notiz = Find("Notiz");
    ClickNode(angebote);
    // The top node's children in text order: Angebote, Briefe, Notiz.
    PressKey(VK_F2);
    ASSERT_TRUE(WaitFor([&] { return GridControl().EditorMode(); }));
    for (char c : std::string("ZUSAGEN")) PressKey(c);
    WaitForInputHandled();
    // A text stored while the editor is open moves no row under it.
    notiz->SetText("Aa");
    WaitForInputHandled();
    EXPECT_EQ(ChildTexts(Root()), (std::vector<std::string>{"Angebote", "Briefe", "Aa"}));
    EXPECT_EQ(window->PendingSorts(), 1u);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !GridControl().EditorMode(); }));
    EXPECT_TRUE(WaitFor([&] { return window->PendingSorts() == 0; }));
    WaitForInputHandled();
    EXPECT_EQ(angebote->Text(), "zusagen");
    EXPECT_EQ(ChildTexts(Root()), (std::vector<std::string>{"Aa", "Briefe", "zusagen"}));
}

TEST_F(VarnoletCommandsTest, ABurstOfRenamesSortsOnce) {
    StartWithLibrary();
    int moves = 0;
    Counted().OnNodeChanged = [&, previous = Counted().OnNodeChanged](TNode* n, TNodeCode c, intptr_t p) {
        if (c == ncMoved) ++moves;
        previous(n, c, p);
    };
    TNode* notiz = Find("Notiz");
    for (const char* text : {"B", "Ab", "Aa"}) notiz->SetText(text);
    EXPECT_EQ(Root()->Child(2), notiz) << "not sorted while the texts change";
    EXPECT_EQ(window->PendingSorts(), 1u);
    EXPECT_TRUE(WaitFor([&] { return window->PendingSorts() == 0; }));
    EXPECT_EQ(Root()->Child(0), notiz);
    EXPECT_EQ(moves, 1);
    // An entry deleted while its sort waits is forgotten, not sorted.
    TNode* briefe = Find("Briefe");
    briefe->SetText("Zz");
    EXPECT_EQ(window->PendingSorts(), 1u);
    delete briefe;
    EXPECT_EQ(window->PendingSorts(), 1u) << "the top node waits";
    Find("Angebote\\Angebote item")->SetText("x");
    delete Find("Angebote");
    WaitForInputHandled();
    EXPECT_EQ(window->PendingSorts(), 0u);
}

TEST_F(VarnoletCommandsTest, TheOptionsMenuTogglesItsOptions) {
    Start();
    TVarnoletWin& w = *window;
    auto choose = [&](int downs) {
        Later([downs] {
            for (int i = 0; i < downs; ++i) PressKey(VK_DOWN);
            PressKey(VK_RETURN);
        }, 50, [] { return InMenuMode(); });
        ClickAt(*w.PopupBtn, 10, 10);
        EXPECT_TRUE(WaitFor([] { return !InMenuMode(); }));
        WaitForInputHandled();
        EXPECT_FALSE(w.PopupBtn->Down());
    };
    auto topmost = [&] { return (GetWindowLongW(w.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    EXPECT_TRUE(topmost());
    EXPECT_TRUE(w.PItemTopMost->Checked());
    choose(1);  // Immer sichtbar
    EXPECT_FALSE(w.PItemTopMost->Checked());
    EXPECT_FALSE(topmost());
    choose(2);  // Verkleinern wenn nicht aktiv
    EXPECT_TRUE(w.PItemMini->Checked());
    choose(3);  // automatisch speichern
    EXPECT_TRUE(w.PItemAutoSave->Checked());
    choose(4);  // Erweiterte Bedienelemente
    EXPECT_FALSE(w.ExtraToolbar->Visible());
    EXPECT_FALSE(w.PItemExtras->Checked());
    choose(5);  // Kurztasten anzeigen
    EXPECT_FALSE(ShowShortCutsInHints());
    EXPECT_FALSE(w.PItemShortCuts->Checked());
    choose(4);
    EXPECT_TRUE(w.ExtraToolbar->Visible());
    EXPECT_TRUE(w.PItemExtras->Checked());
    choose(1);
    EXPECT_TRUE(topmost());
    w.PItemMini->SetChecked(false);
}

TEST_F(VarnoletCommandsTest, HighlightingColoursEntriesWithText) {
    StartWithLibrary();
    TNode* item = Find("Briefe\\Briefe item");
    static_cast<TTextNode*>(item)->GetDataStream().Write("{\\rtf1 x}", 9);
    TNode* empty = Find("Angebote\\Angebote item");
    struct Row {
        const char* name;
        TNode* node;
        bool down;
        TDrawStates state;
        TColor color;
    };
    const Row rows[] = {
        {"text, up", item, false, {}, clNone},
        {"text, down", item, true, {}, 128},
        {"no text, down", empty, true, {}, clNone},
        {"group, down", Find("Briefe"), true, {}, clNone},
        {"selected", item, true, {dsSelected}, clNone},
        {"focused", item, true, {dsFocused}, clNone},
        {"no node", nullptr, true, {}, clNone},
    };
    for (const Row& row : rows) {
        window->HighlightBtn->SetDown(row.down);
        TDrawStruct ds;
        ds.State = row.state;
        TColor color = clNone;
        window->GridCalcDrawStruct(ds, row.node, color);
        EXPECT_EQ(color, row.color) << row.name;
        EXPECT_EQ(ds.TextFormat, 0x8024u) << row.name;
        EXPECT_TRUE(ds.State.Has(dsDrawText)) << row.name;
    }
    // The button toggles with a click and the tree is drawn again.
    window->HighlightBtn->SetDown(false);
    ClickAt(*window->HighlightBtn, 10, 10);
    EXPECT_TRUE(window->HighlightBtn->Down());
    ClickNode(Root());
    Shot(window->Handle(), "varnolet_commands_highlight");
}

TEST_F(VarnoletCommandsTest, TheEntryUnderTheMouseNamesItselfInTheHint) {
    StartWithLibrary();
    TNode* briefe = Find("Briefe");
    TNewCustomGrid& grid = GridControl();
    POINT point = TextPoint(briefe);
    MouseAt(grid, point.x, point.y);
    EXPECT_TRUE(WaitFor([&] { return grid.Hint() == "Briefe"; }));
    TNode* notiz = Find("Notiz");
    point = TextPoint(notiz);
    MouseAt(grid, point.x, point.y);
    EXPECT_TRUE(WaitFor([&] { return grid.Hint() == "Notiz"; }));
    // The hint window shows the entry's text once the mouse rests.
    EXPECT_TRUE(WaitFor([&] { return Application->ShownHintText() == "Notiz"; }));
    EXPECT_EQ(Application->HintControl(), &grid);
    EXPECT_EQ(window->LockCount(), 0);
    // Below the rows there is no entry, and no hint text.
    MouseAt(grid, 40, grid.ClientHeight() - 3);
    EXPECT_TRUE(WaitFor([&] { return grid.Hint().empty(); }));
}

}  // namespace
