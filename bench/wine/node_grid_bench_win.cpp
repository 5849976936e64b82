// The node grid at scale: the benchmark suite's library of 1,000 and 100,000 entries (without
// their texts) in a grid set up as the quick-text window's tree (one column, the root shown,
// tree lines, plus/minus, 16-pixel symbols from a picture list, which make every row 18 pixels
// high, a re-sort of the parent after each rename). Measured with the painting each causes:
// showing the tree, expanding and collapsing everything, Ctrl+End, one Down key in the middle,
// one rename that re-sorts its node to the other end of its group, and a full repaint. Each
// time includes the work the grid left for its deferred update and the paints that follow.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/symbol_pictures_win.h"
#include "app/text_node.h"
#include "bench/library.h"
#include "bench/wine/wine_bench.h"
#include "grid/node_grid_win.h"
#include "pictures/picture_list_win.h"
#include "winui/application_win.h"
#include "winui/form_win.h"

namespace {

// Painted, and the messages the grid posted to itself handled.
void Settle(TNodeGrid& grid) {
    UpdateWindow(grid.Handle());
    PumpMessages();
    UpdateWindow(grid.Handle());
}

// A key as the grid gets it, and the painting it causes.
void SendKey(TNodeGrid& grid, WORD key, bool ctrl) {
    SendKeyDown(grid.Handle(), key, ctrl);
    Settle(grid);
}

// A 16 x 16 symbol: a framed square of one colour.
std::unique_ptr<TGraphic> Symbol(TColor color) {
    auto bitmap = std::make_unique<TBitmap>(16, 16);
    TCanvas& canvas = bitmap->Canvas();
    canvas.Brush().SetColor(color);
    canvas.Pen().SetColor(clBlack);
    canvas.Rectangle(1, 1, 15, 15);
    canvas.DeselectObjects();
    return bitmap;
}

void NodeGridAtScale(TWineBenchRun& run, int entries) {
    const std::string size = std::to_string(entries);
    TBenchLibrary library = MakeLibrary(entries, false);
    TPictureList symbols;
    for (const auto& [id, color] : {std::pair<int32_t, TColor>{SymbolGroup, clYellow}, {SymbolText, clWhite}, {SymbolTop, clBlue}})
        symbols.AddPicture(id)->SetGraphic(Symbol(color));
    TPictureListSymbols source(symbols);
    SetSymbolPictures(&source);

    TForm form(Application);
    form.SetBounds(40, 40, 320, 620);
    auto* grid = new TNodeGrid(&form);
    grid->SetParent(&form);
    grid->SetAlign(alClient);
    grid->SetColCount(1);
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->SetDefaultRowHeight(16);
    grid->SetGridLineWidth(0);
    grid->SetScrollBars(ssVertical);
    grid->SetSpacing(16);
    grid->SetGridOptions(TNodeGridOptions{noDrawPicture, noDrawTree, noDrawPlusMinus, noDrawTreeRoot, noHandleTreeKeys});
    grid->SetOptions(grid->Options() + goThumbTracking);
    grid->SetPictures(&symbols);
    // The quick-text window re-sorts the parent of a renamed entry.
    grid->OnNodeChanged = [](TControl&, TNode* node, TNodeCode code, intptr_t) {
        if (code == ncText) (node->Parent() ? node->Parent() : node)->Sort(0);
    };
    form.Show();
    grid->SetFocus();
    PumpMessages();

    // The first item of the big group goes to its end and back.
    TNode* item = nullptr;
    for (int i = 0; i < library.BigGroup->ChildCount() && !item; ++i)
        if (!library.BigGroup->Child(i)->HasChildren()) item = library.BigGroup->Child(i);
    int renames = 0;
    // The same rename and re-sort of the tree alone, before any grid shows it: the tree's own
    // share of the time.
    run.Measure(
        "rename with re-sort, tree alone/" + size, 15,
        [&] {
            item->SetText("zzz " + std::to_string(++renames));
            item->Parent()->Sort(0);
        },
        [&] {
            item->SetText("aaa " + std::to_string(renames));
            item->Parent()->Sort(0);
        });

    TNode* root = library.Root.release();
    run.Measure("show the tree/" + size, 1, [&] {
        delete grid->SetRootNode(root);
        Settle(*grid);
    });
    const auto collapseAll = [&] {
        for (int i = 0; i < root->ChildCount(); ++i) root->Child(i)->Collapse(true);
    };
    const auto expandAll = [&] { root->Expand(true); };
    run.Measure(
        "expand all/" + size, 5,
        [&] {
            expandAll();
            Settle(*grid);
        },
        [&] {
            collapseAll();
            PumpMessages();
        });
    if (grid->RowCount() != 1 + root->Count()) std::printf("expand all left %d rows\n", grid->RowCount());
    run.Measure(
        "collapse all/" + size, 5,
        [&] {
            collapseAll();
            Settle(*grid);
        },
        [&] {
            expandAll();
            PumpMessages();
        });
    if (grid->RowCount() != 1 + root->ChildCount()) std::printf("collapse all left %d rows\n", grid->RowCount());

    expandAll();
    PumpMessages();
    run.Measure("jump to end/" + size, 15, [&] { SendKey(*grid, VK_END, true); },
                [&] {
                    grid->FocusCell(0, 0, true);
                    UpdateWindow(grid->Handle());
                    PumpMessages();
                });
    if (grid->Row() != grid->RowCount() - 1 || grid->FocusedNode() != grid->NodeAtRow(grid->Row()))
        std::printf("jump to end missed the end\n");
    const int32_t middle = grid->RowCount() / 2;
    run.Measure("key down/" + size, 25, [&] { SendKey(*grid, VK_DOWN, false); },
                [&] {
                    grid->FocusCell(0, middle, true);
                    UpdateWindow(grid->Handle());
                    PumpMessages();
                });
    if (grid->FocusedNode() != grid->NodeAtRow(middle + 1)) std::printf("key down missed its row\n");

    run.Measure(
        "rename with re-sort/" + size, 15,
        [&] {
            item->SetText("zzz " + std::to_string(++renames));
            Settle(*grid);
        },
        [&] {
            item->SetText("aaa " + std::to_string(renames));
            grid->SetFocusedNode(item);
            PumpMessages();
        });
    if (grid->RowOfNode(item) < 0 || grid->NodeAtRow(grid->RowOfNode(item)) != item) std::printf("rename lost its row\n");
    run.Measure("full repaint/" + size, 25, [&] {
        grid->InvalidateGrid();
        Settle(*grid);
    });
    form.Hide();
    PumpMessages();
    SetSymbolPictures(nullptr);
}

void NodeGridBench(TWineBenchRun& run) {
    for (int entries : {1000, 100000}) NodeGridAtScale(run, entries);
}

const TWineBenchRegistration registration("node grid", NodeGridBench);

}  // namespace
