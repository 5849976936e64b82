// The node grid over generated trees: the root and its replacement, rows that follow every tree
// change (against a recount after random changes), focus and selection kept in step with the
// tree, update brackets, row heights and the wait cursor from the nodes, the outline's parts,
// what it paints, the one-column width, form files, and screenshots of the outline.
#include <gtest/gtest.h>

#include <random>

#include "app/symbol_pictures_win.h"
#include "app/text_node.h"
#include "base/component_reader.h"
#include "base/component_writer.h"
#include "base/text_form.h"
#include "pictures/picture_list_win.h"
#include "tests/wine/node_grid_testing_win.h"

namespace {

using NodeGridTest = NodeGridFormTest;

bool SameColor(COLORREF a, COLORREF b) { return a == b; }

COLORREF Pixel(TControl& grid, int x, int y) {
    const HDC dc = GetDC(static_cast<TWinControl&>(grid).Handle());
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(static_cast<TWinControl&>(grid).Handle(), dc);
    return color;
}

TEST(NodeGridDefaults, ConstructorValuesPicturesAndTheRootMadeOnDemand) {
    TNodeGrid grid(nullptr);
    EXPECT_EQ(grid.GridOptions(), (TNodeGridOptions{noDrawTree, noDrawPlusMinus}));
    EXPECT_EQ(grid.Spacing(), 21);
    EXPECT_EQ(grid.SpacingPicture(), 21);
    EXPECT_EQ(grid.SpacingState(), 0);
    EXPECT_EQ(grid.OutlineCol(), 0);
    EXPECT_TRUE(grid.Options().Has(goRangeSelect));
    EXPECT_TRUE(grid.Options().Has(goDrawFocusSelected));
    EXPECT_TRUE(grid.Options().Has(goEditing));
    EXPECT_EQ(grid.SaveExtents(), TSaveExtents{seColWidths});
    // The built-in pictures: plus and minus 11 x 11, the symbols 16 x 16; other IDs have none.
    const struct {
        int32_t id;
        int size;
    } pictures[] = {{PictPlusId, 11}, {PictMinusId, 11}, {PictCloseId, 16}, {PictOpenId, 16}, {PictLeafId, 16}};
    for (const auto& picture : pictures) {
        TPictureEntry* entry = grid.GetPicture(picture.id);
        ASSERT_NE(entry, nullptr) << picture.id;
        EXPECT_EQ(entry->Width(), picture.size) << picture.id;
        EXPECT_EQ(entry->Height(), picture.size) << picture.id;
    }
    EXPECT_EQ(grid.GetPicture(7), nullptr);
    EXPECT_EQ(grid.GetPicture(-6), nullptr);

    EXPECT_FALSE(grid.HasRoot());
    EXPECT_EQ(grid.NodeAtRow(1), nullptr);
    TNode* root = grid.RootNode();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Option(), (TNodeOption{noCanPaste, noCanSort, noHasMenu, noCanSaving, noCanLoading}));
    EXPECT_TRUE(root->State().Has(nsRoot));
    EXPECT_TRUE(root->State().Has(nsExpanded));
    EXPECT_TRUE(root->IsControlRoot());
    // An empty tree still has one row below the fixed ones.
    EXPECT_EQ(grid.RowCount(), grid.FixedRows() + 1);
    EXPECT_EQ(grid.NodeAtRow(grid.FixedRows()), nullptr);
}

TEST(NodeGridDefaults, PicturesOfAListWinOverTheBuiltInOnes) {
    TNodeGrid grid(nullptr);
    auto* list = new TPictureList;
    TPictureEntry* own = list->AddPicture(PictPlusId);
    own->SetGraphic(std::make_unique<TBitmap>(9, 9));
    TPictureEntry* symbol = list->AddPicture(4);
    symbol->SetGraphic(std::make_unique<TBitmap>(16, 16));
    grid.SetPictures(list);
    EXPECT_EQ(grid.GetPicture(PictPlusId), own);
    EXPECT_EQ(grid.GetPicture(4), symbol);
    EXPECT_EQ(grid.GetPicture(PictMinusId), grid.BuiltInPictures().FindPicture(PictMinusId));
    // The list's end is noticed.
    list->Free();
    EXPECT_EQ(grid.Pictures(), nullptr);
    EXPECT_NE(grid.GetPicture(PictPlusId), nullptr);
    EXPECT_EQ(grid.GetPicture(4), nullptr);
}

TEST(NodeGridDefaults, FormFilesCarryTheOutlineProperties) {
    RegisterNodeGridClasses();
    TNodeGrid grid(nullptr);
    grid.SetGridOptions(TNodeGridOptions{noDrawPicture, noDrawTree, noSelectNodes});
    grid.SetSpacing(16);
    grid.SetSpacingState(4);
    grid.SetOutlineCol(1);
    const std::string text = FormText(grid);
    EXPECT_NE(text.find("GridOptions = [noDrawPicture, noDrawTree, noSelectNodes]"), std::string::npos) << text;
    EXPECT_NE(text.find("Spacing = 16"), std::string::npos) << text;
    EXPECT_NE(text.find("SpacingState = 4"), std::string::npos) << text;
    EXPECT_EQ(text.find("SpacingPicture ="), std::string::npos) << text;
    EXPECT_NE(text.find("OutlineCol = 1"), std::string::npos) << text;
    EXPECT_NE(text.find("pictPlus.Image"), std::string::npos) << text;

    TMemoryStream stream;
    TComponentWriter writer(stream);
    writer.WriteRootComponent(&grid);
    stream.SetPosition(0);
    TNodeGrid copy(nullptr);
    TComponentReader reader(stream);
    reader.ReadRootComponent(&copy);
    EXPECT_EQ(copy.GridOptions(), grid.GridOptions());
    EXPECT_EQ(copy.Spacing(), 16);
    EXPECT_EQ(copy.SpacingState(), 4);
    EXPECT_EQ(copy.OutlineCol(), 1);
    EXPECT_EQ(copy.GetPicture(PictMinusId)->Width(), 11);
}

TEST_F(NodeGridTest, RowsShowTheVisibleNodesWithAndWithoutTheRoot) {
    Show(SampleOutline);
    const std::vector<std::string> shown{"Angebote", "Anfrage", "Auftrag", "Bestellung", "Lieferung", "Dank",
                                         "Briefe",   "Kunden",  "Mahnung", "Notiz",      "Rechnung",  "Termine"};
    EXPECT_EQ(RowTexts(*grid), shown);
    EXPECT_EQ(grid->RowCount(), 12);
    EXPECT_EQ(grid->RowOfNode(grid->RootNode()), -1);
    EXPECT_EQ(grid->RowOfNode(N("Einladung")), -1);  // below the collapsed "Briefe"
    EXPECT_EQ(grid->RowOfNode(N("Notiz")), 9);
    EXPECT_EQ(grid->NodeAtRow(12), nullptr);
    EXPECT_EQ(grid->NodeAtRow(-1), nullptr);

    grid->SetGridOptions(grid->GridOptions() + noDrawTreeRoot);
    EXPECT_EQ(grid->RowCount(), 13);
    EXPECT_EQ(grid->NodeAtRow(0), grid->RootNode());
    EXPECT_EQ(grid->RowOfNode(N("Notiz")), 10);
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
}

TEST_F(NodeGridTest, AnEmptyTreeKeepsOneRowAndPaintsPlain) {
    Show("");
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->NodeAtRow(0), nullptr);
    grid->Update();
    const COLORREF window = ColorToRGB(clWindow);
    for (POINT p : {POINT{2, 2}, POINT{100, 9}, POINT{200, 300}}) EXPECT_EQ(Pixel(*grid, p.x, p.y), window);
    // The first node takes the empty row, the last one leaves it behind.
    TProbeNode* only = NewProbe("only");
    grid->RootNode()->InsertNode(-1, only, imChild);
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->NodeAtRow(0), only);
    delete only;
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->NodeAtRow(0), nullptr);
}

// Random changes of the tree in the grid: its own rows (count, nodes, heights) follow.
TEST_F(NodeGridTest, RandomChangesKeepTheGridsRowsEqualToTheTree) {
    Show(SampleOutline);
    std::mt19937 random(17);
    const auto below = [&random](int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random); };
    TNode* root = grid->RootNode();
    const auto all = [root] {
        std::vector<TNode*> list;
        root->ForEach([&list](TNode* n) { list.push_back(n); return false; }, feSelf | feCollapsed);
        return list;
    };
    for (int step = 0; step < 1500; ++step) {
        const std::vector<TNode*> nodes = all();
        TNode* node = nodes[static_cast<size_t>(below(static_cast<int>(nodes.size())))];
        std::string operation;
        switch (below(nodes.size() < 60 ? 6 : 8)) {
        case 0:
        case 1: {
            TProbeNode* fresh = NewProbe(std::string(1, char('a' + below(20))));
            if (below(2)) fresh->SetState(fresh->State() + nsExpanded);
            if (below(3) == 0) fresh->RowHeight = 24;
            node->InsertNode(-1, fresh, imChild);
            operation = "insert";
            break;
        }
        case 2:
            if (node->State().Has(nsExpanded) && node != root && below(3) == 0) node->Collapse(below(4) == 0);
            else node->Expand(below(5) == 0);
            operation = "expand or collapse";
            break;
        case 3:
            if (node != root) {
                node->SetText(std::string(1, char('a' + below(20))));
                node->Parent()->Sort(0);
            }
            operation = "rename";
            break;
        case 4: {
            TNode* parent = nodes[static_cast<size_t>(below(static_cast<int>(nodes.size())))];
            if (node != root && !node->IsInSubtree(parent)) parent->InsertNode(below(parent->ChildCount() + 1), node, imIntoSelf);
            operation = "move";
            break;
        }
        case 5:
            root->SendNodeMessage(NM_NODEBEGINUPDATE, 0, 0);
            node->Expand(true);
            if (node != root) node->Delete();
            root->SendNodeMessage(NM_NODEENDUPDATE, 0, 0);
            operation = "bracket";
            break;
        default:
            if (node != root) node->Delete();
            operation = "delete";
            break;
        }
        ASSERT_EQ(RowTexts(*grid), ShownTexts(*grid)) << "step " << step << ": " << operation;
        for (int32_t row = 0; row < grid->RowCount(); ++row) {
            TNode* shown = grid->NodeAtRow(row);
            if (!shown) continue;
            ASSERT_EQ(grid->RowOfNode(shown), row) << "step " << step;
            const intptr_t height = static_cast<TProbeNode*>(shown)->RowHeight;
            ASSERT_EQ(grid->RowHeights(row), height > 0 ? height : 18) << "step " << step << " row " << row;
        }
    }
}

TEST_F(NodeGridTest, CollapsingAnAncestorMovesTheFocusToIt) {
    Show(SampleOutline);
    grid->SetFocusedNode(N("Bestellung"));
    ASSERT_EQ(grid->Row(), grid->RowOfNode(N("Bestellung")));
    N("Angebote")->Collapse(false);
    EXPECT_EQ(grid->FocusedNode(), N("Angebote"));
    EXPECT_TRUE(N("Angebote")->State().Has(nsFocused));
    EXPECT_FALSE(N("Bestellung")->State().Has(nsFocused));
    EXPECT_EQ(grid->Row(), grid->RowOfNode(N("Angebote")));
}

TEST_F(NodeGridTest, DeletingTheFocusedSubtreeFocusesItsNearestVisibleAncestor) {
    Show(SampleOutline);
    grid->SetFocusedNode(N("Rechnung"));
    TProbeNode* kunden = N("Kunden");
    N("Notiz")->Delete();
    EXPECT_EQ(grid->FocusedNode(), kunden);
    EXPECT_EQ(grid->Row(), grid->RowOfNode(kunden));
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
    // The top-level node's ancestor is the root, which has no row: the cursor stays in the tree.
    kunden->Delete();
    EXPECT_EQ(grid->FocusedNode(), grid->RootNode());
    EXPECT_GE(grid->Row(), 0);
    EXPECT_LT(grid->Row(), grid->RowCount());
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
}

TEST_F(NodeGridTest, ARenamedNodeIsSortedWithItsRowsAndKeepsTheFocus) {
    // As the quick-text window does: a renamed node's parent is sorted again.
    grid->OnNodeChanged = [](TControl&, TNode* node, TNodeCode code, intptr_t) {
        if (code == ncText && node->Parent()) node->Parent()->Sort(0);
    };
    Show(SampleOutline);
    N("Angebote")->RowHeight = 26;
    grid->RebuildRows(true);
    grid->SetFocusedNode(N("Angebote"));
    // Angebote with its five rows goes behind Kunden: every sibling before it moves up.
    N("Angebote")->SetText("Lager");
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
    EXPECT_EQ(grid->FocusedNode(), N("Angebote"));
    EXPECT_EQ(grid->Row(), grid->RowOfNode(N("Angebote")));
    EXPECT_EQ(grid->RowHeights(grid->RowOfNode(N("Angebote"))), 26);
    EXPECT_EQ(grid->RowHeights(grid->RowOfNode(N("Briefe"))), 18);
    EXPECT_EQ(grid->NodeAtRow(0), N("Briefe"));
}

TEST_F(NodeGridTest, AFocusedNodeOutOfSightIsShownAndFocused) {
    Show(SampleOutline);
    // A node below a collapsed one gets nsFocused from elsewhere (a search hit).
    TProbeNode* hit = N("Erinnerung");
    hit->SetState(hit->State() + nsFocused);
    EXPECT_TRUE(N("Briefe")->State().Has(nsExpanded));
    EXPECT_EQ(grid->FocusedNode(), hit);
    EXPECT_EQ(grid->Row(), grid->RowOfNode(hit));
}

TEST_F(NodeGridTest, ARemovedRootIsReplacedAtOnce) {
    Show(SampleOutline);
    TNode* old = grid->RootNode();
    delete old;
    ASSERT_TRUE(grid->HasRoot());
    EXPECT_NE(grid->RootNode(), old);
    EXPECT_EQ(grid->RootNode()->Text(), "Root");
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->NodeAtRow(0), nullptr);
    EXPECT_EQ(grid->FocusedNode(), nullptr);
}

TEST_F(NodeGridTest, AssigningARootHandsTheOldOneBack) {
    Show(SampleOutline);
    TNode* old = grid->RootNode();
    auto* fresh = NewProbe("Other");
    fresh->SetOption(fresh->Option() + noNotifyRoot);
    std::map<std::string, TProbeNode*> other = BuildOutline(fresh, "Eins\nZwei+\n Drei\n");
    TNode* handed = grid->SetRootNode(fresh);
    ASSERT_EQ(handed, old);
    EXPECT_FALSE(old->State().Has(nsRoot));
    EXPECT_FALSE(old->IsControlRoot());
    EXPECT_EQ(grid->RootNode(), fresh);
    // Only the options a root may have are kept.
    EXPECT_FALSE(fresh->Option().Has(noCanDelete));
    EXPECT_FALSE(fresh->Option().Has(noNotifyRoot));
    EXPECT_TRUE(fresh->Option().Has(noCanSort));
    EXPECT_EQ(RowTexts(*grid), (std::vector<std::string>{"Eins", "Zwei", "Drei"}));
    // The old tree tells the grid nothing any more.
    N("Briefe")->Expand(false);
    EXPECT_EQ(RowTexts(*grid), (std::vector<std::string>{"Eins", "Zwei", "Drei"}));
    EXPECT_EQ(grid->SetRootNode(fresh), nullptr);
    delete old;
}

TEST_F(NodeGridTest, UpdateBracketsDeferTheRowsToTheirEnd) {
    Show(SampleOutline);
    std::vector<TNodeCode> told;
    grid->OnNodeChanged = [&told](TControl&, TNode*, TNodeCode code, intptr_t) { told.push_back(code); };
    TNode* root = grid->RootNode();
    root->SendNodeMessage(NM_NODEBEGINUPDATE, 0, 0);
    EXPECT_TRUE(grid->Updating());
    N("Briefe")->Expand(false);
    TProbeNode* added = NewProbe("Antwort");
    N("Briefe")->InsertNode(-1, added, imChild);
    // The grid answers from the tree meanwhile.
    EXPECT_EQ(grid->NodeAtRow(grid->RowOfNode(added)), added);
    EXPECT_FALSE(told.empty());
    root->SendNodeMessage(NM_NODEENDUPDATE, 0, 0);
    EXPECT_FALSE(grid->Updating());
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
    EXPECT_NE(std::find(told.begin(), told.end(), ncInserted), told.end());
}

TEST_F(NodeGridTest, RowHeightsComeFromTheNodes) {
    Show(SampleOutline);
    N("Dank")->RowHeight = 30;
    grid->RebuildRows(true);
    EXPECT_EQ(grid->RowHeights(grid->RowOfNode(N("Dank"))), 30);
    EXPECT_EQ(grid->RowHeights(grid->RowOfNode(N("Anfrage"))), 18);
    // Rows that come later ask their nodes too.
    TProbeNode* tall = NewProbe("Abschluss");
    tall->RowHeight = 26;
    N("Angebote")->InsertNode(0, tall, imIntoSelf);
    EXPECT_EQ(grid->RowHeights(grid->RowOfNode(tall)), 26);
    EXPECT_EQ(grid->RowHeights(grid->RowOfNode(N("Dank"))), 30);
}

TEST_F(NodeGridTest, TheWaitCursorNestsAndNeverCountsBelowZero) {
    Show(SampleOutline);
    TNode* root = grid->RootNode();
    root->SendNodeMessage(NM_NODEUPDATE, 1, 0);
    root->SendNodeMessage(NM_NODEUPDATE, 1, 0);
    EXPECT_EQ(grid->BusyCount(), 2);
    EXPECT_EQ(grid->Cursor(), crHourGlass);
    root->SendNodeMessage(NM_NODEUPDATE, 0, 0);
    EXPECT_EQ(grid->Cursor(), crHourGlass);
    root->SendNodeMessage(NM_NODEUPDATE, 0, 0);
    EXPECT_EQ(grid->BusyCount(), 0);
    EXPECT_EQ(grid->Cursor(), crDefault);
    root->SendNodeMessage(NM_NODEUPDATE, 0, 0);
    EXPECT_EQ(grid->BusyCount(), 0);
    EXPECT_EQ(grid->Cursor(), crDefault);
}

TEST_F(NodeGridTest, TheOutlinesPartsLieWhereTheyAreDrawn) {
    Show(SampleOutline);
    TProbeNode* node = N("Bestellung");  // level 3
    const RECT cell = grid->CellRect(0, grid->RowOfNode(node));
    const int s = grid->Spacing();
    const int level = 3 * s;
    // The text begins right of the symbol's slot (SpacingPicture 21).
    const int textLeft = level + 21;
    const int textRight = textLeft + grid->Canvas().TextExtent("Bestellung").cx + 8;
    const struct {
        const char* name;
        TNodeParts parts;
        int left;
        int right;
    } cases[] = {
        {"plus/minus", ppPlusMinus, level - s, level},
        {"button", ppButton, level - s, level},
        {"tree", ppTree, 0, level},
        {"pictures", ppPictures, level, level + 21},
        {"text", ppText, textLeft, textRight},
        {"cell", ppCell, 0, static_cast<int>(cell.right)},
        {"button and text", ppButton | ppText, level - s, textRight},
    };
    for (const auto& c : cases) {
        const RECT r = grid->GetNodeRect(node, -1, c.parts);
        EXPECT_EQ(r.left, c.left) << c.name;
        EXPECT_EQ(r.right, c.right) << c.name;
        EXPECT_EQ(r.top, cell.top) << c.name;
        EXPECT_EQ(r.bottom, cell.bottom) << c.name;
    }
    // Nodes without a row have no parts.
    const RECT hidden = grid->GetNodeRect(N("Einladung"), -1, ppCell);
    EXPECT_EQ(hidden.right - hidden.left, 0);
}

TEST_F(NodeGridTest, PaintsTreeLinesPlusMinusAndTheHighlightedText) {
    Show(SampleOutline);
    grid->SetFocusedNode(N("Anfrage"));
    grid->Update();
    WaitForInputHandled();
    const COLORREF shadow = ColorToRGB(clBtnShadow);
    // The collapsed "Briefe" shows a plus: the sign's centre is black, the box's corner grey.
    const RECT box = grid->GetNodeRect(N("Briefe"), -1, ppButton);
    const int cx = box.left + grid->Spacing() / 2;
    const int cy = box.top + 8;  // the lines' middle of an 18-pixel row
    EXPECT_EQ(Pixel(*grid, cx, cy), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(*grid, cx - 2, cy - 2), RGB(255, 255, 255));  // inside the box, off the sign
    EXPECT_EQ(Pixel(*grid, cx - 4, cy - 4), RGB(128, 128, 128));  // the box's corner
    EXPECT_EQ(Pixel(*grid, cx - 2, cy), RGB(0, 0, 0));            // the plus's arm
    // "Dank" (level 2, the last of its parent): its line comes down to the middle and turns
    // right, dotted on even rows.
    const RECT dank = grid->GetNodeRect(N("Dank"), -1, ppCell);
    const int x = grid->Spacing() / 2 + grid->Spacing();
    const int mid = dank.top + 8;
    int dark = 0;
    for (int y = dank.top; y < mid; ++y) dark += SameColor(Pixel(*grid, x, y), shadow) ? 1 : 0;
    EXPECT_EQ(dark, (mid - dank.top) / 2);
    EXPECT_EQ(Pixel(*grid, x, dank.bottom - 2), ColorToRGB(clWindow));  // nothing below the turn
    EXPECT_EQ(Pixel(*grid, x + 2, mid), shadow);
    // The focused node's text is highlighted, only as wide as the text.
    const RECT text = grid->GetNodeRect(N("Anfrage"), -1, ppText);
    EXPECT_EQ(Pixel(*grid, text.left + 1, text.top + 2), ColorToRGB(clHighlight));
    EXPECT_EQ(Pixel(*grid, text.right + 3, text.top + 2), ColorToRGB(clWindow));
    Shot(form->Handle(), "node_grid_outline");
}

TEST_F(NodeGridTest, QuickTextSymbolsComeFromThePictureList) {
    TPictureList symbols;
    const struct {
        int32_t id;
        TTestGlyph glyph;
    } glyphs[] = {{SymbolGroup, tgOpen}, {SymbolText, tgNew}, {SymbolTop, tgSave}};
    for (const auto& g : glyphs) {
        TPictureEntry* entry = symbols.AddPicture(g.id);
        auto glyph = MakeGlyph(g.glyph);
        glyph->SetTransparentColor(clFuchsia);
        entry->SetGraphic(std::unique_ptr<TGraphic>(glyph.release()));
        entry->SetOption(TPictOption{poLeft, poRight, poTop, poBottom, poMasked});
    }
    TPictureListSymbols symbolSource(symbols);
    SetSymbolPictures(&symbolSource);
    grid->SetGridOptions(grid->GridOptions() + noDrawTreeRoot);
    grid->SetDefaultRowHeight(16);
    grid->SetSpacingPicture(14);
    grid->OnCreateRoot = [](TControl&) -> TNode* { return TTextNode::CreateTop(); };
    TNode* root = grid->RootNode();
    const auto add = [](TNode* parent, bool group, const std::string& text) {
        TTextNode* node = group ? static_cast<TTextNode*>(TTextNode::CreateNew<TTextGroup>())
                                : static_cast<TTextNode*>(TTextNode::CreateNew<TTextData>());
        node->SetText(text);
        parent->InsertNode(-1, node, imChild);
        return node;
    };
    TTextNode* letters = add(root, true, "Briefe");
    add(letters, false, "Absage");
    add(letters, false, "Zusage");
    TTextNode* offers = add(root, true, "Angebote");
    add(offers, false, "Angebot Kunde 17");
    add(root, false, "Notiz");
    letters->Expand(false);
    offers->Expand(false);
    form->Show();
    WaitFor([&] { return GetForegroundWindow() == form->Handle(); });
    grid->SetFocus();
    grid->SetFocusedNode(offers);
    // The symbols' rows are two pixels taller than the pictures.
    EXPECT_EQ(grid->RowHeights(grid->RowOfNode(offers)), 18);
    // The symbol slot is the picture's width and a pixel on each side: the text follows it.
    const RECT text = grid->GetNodeRect(offers, -1, ppText);
    EXPECT_EQ(text.left, grid->Spacing() + 16 + 2);
    grid->Update();
    Shot(form->Handle(), "node_grid_quick_text");
    SetSymbolPictures(nullptr);
}

TEST_F(NodeGridTest, OneColumnFillsTheClientWidth) {
    Show(SampleOutline);
    EXPECT_EQ(grid->ColWidths(0), grid->ClientWidth());
    // Rows that no longer fit bring the vertical scroll bar: the column stays inside.
    for (int i = 0; i < 40; ++i) N("Kunden")->InsertNode(-1, NewProbe("Kunde " + std::to_string(i)), imChild | imLast);
    WaitForInputHandled();
    EXPECT_TRUE(GetWindowLongPtrW(grid->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(grid->ColWidths(0), grid->ClientWidth());
    grid->SetWidth(grid->Width() - 60);
    WaitForInputHandled();
    EXPECT_EQ(grid->ColWidths(0), grid->ClientWidth());
}

TEST_F(NodeGridTest, SelectedNodesAreCountedThroughMovesAndRemovals) {
    Show(SampleOutline);
    TNode* root = grid->RootNode();
    grid->SelectAll(true);
    EXPECT_EQ(grid->SelectedCount(), root->Count());
    // A moved subtree keeps its selection, a deleted one takes it along.
    N("Kunden")->SetParent(N("Briefe"));
    EXPECT_EQ(grid->SelectedCount(), root->Count());
    N("Notiz")->Delete();
    EXPECT_EQ(grid->SelectedCount(), root->Count());
    // A detached subtree leaves the count.
    TNode* detached = N("Angebote");
    detached->SetParent(nullptr);
    EXPECT_EQ(grid->SelectedCount(), root->Count());
    grid->SelectAll(false);
    EXPECT_EQ(grid->SelectedCount(), 0);
    EXPECT_TRUE(detached->State().Has(nsSelected));  // not in the tree: left alone
    delete detached;
}

TEST_F(NodeGridTest, ReferencesToRemovedNodesAreDropped) {
    Show(SampleOutline);
    // The editor on a node that goes out of sight stores its text there and closes.
    grid->SetFocusedNode(N("Bestellung"));
    grid->ShowEditor();
    ASSERT_TRUE(EditorShown());
    grid->InplaceEditor()->SetText("Bestellungen");
    N("Auftrag")->Collapse(false);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(N("Bestellung")->Text(), "Bestellungen");
    EXPECT_EQ(N("Auftrag")->Text(), "Auftrag");
    EXPECT_FALSE(N("Bestellung")->State().Has(nsEditing));
    N("Auftrag")->Expand(false);
    // The editor on a node that is deleted closes without storing its text anywhere.
    grid->SetFocusedNode(N("Lieferung"));
    grid->ShowEditor();
    ASSERT_TRUE(EditorShown());
    EXPECT_TRUE(N("Lieferung")->State().Has(nsEditing));
    grid->InplaceEditor()->SetText("changed");
    N("Auftrag")->Delete();
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(N("Angebote")->Text(), "Angebote");
    EXPECT_EQ(N("Dank")->Text(), "Dank");
    EXPECT_EQ(grid->FocusedNode(), N("Angebote"));
    EXPECT_EQ(RowTexts(*grid), ShownTexts(*grid));
}

}  // namespace
