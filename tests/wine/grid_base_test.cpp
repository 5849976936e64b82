// The grid base driven for real on a draw grid of 10,000 rows: form file values, the grid
// errors, coalesced deferred updates and update brackets, the default painter and its record,
// mouse selection, the drag-wait editor opening, sizing and moving columns and rows, title
// clicks, timed scrolling, the scroll bar and wheel, keyboard navigation and editing keys, and
// a failing event handler.
#include <gtest/gtest.h>

#include <random>

#include "base/component_reader.h"
#include "base/component_writer.h"
#include "base/string_ids.h"
#include "base/text_form.h"
#include "tests/wine/grid_testing_win.h"

namespace {

using GridBaseTest = GridFormTest;

void CopyThroughStream(TComponent& from, TComponent& to) {
    TMemoryStream stream;
    TComponentWriter writer(stream);
    writer.WriteRootComponent(&from);
    stream.SetPosition(0);
    TComponentReader reader(stream);
    reader.ReadRootComponent(&to);
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(GridBaseDefaults, ConstructorValuesAndWhatFormFilesKeep) {
    TNewDrawGrid grid(nullptr);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.FixedCols(), 1);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.DefaultColWidth(), 64);
    EXPECT_EQ(grid.DefaultRowHeight(), 24);
    EXPECT_EQ(grid.GridLineWidth(), 1);
    EXPECT_EQ(grid.Options(), DefaultGridOptions);
    EXPECT_EQ(grid.SaveExtents(), (TSaveExtents{seColWidths, seRowHeights}));
    EXPECT_EQ(grid.ScrollBars(), ssBoth);
    EXPECT_EQ(grid.BorderStyle(), bsSingle);
    EXPECT_EQ(grid.Color(), clWindow);
    EXPECT_EQ(grid.FixedColor(), clBtnFace);
    EXPECT_TRUE(grid.DefaultDrawing());
    EXPECT_TRUE(grid.TabStop());
    EXPECT_FALSE(grid.ParentColor());
    EXPECT_EQ(grid.Width(), 5 * 64);
    EXPECT_EQ(grid.Height(), 5 * 24);

    const std::string text = FormText(grid);
    // The constructor's widths differ from the stored defaults 40 and 18: they are written.
    EXPECT_TRUE(Has(text, "DefaultColWidth = 64")) << text;
    EXPECT_TRUE(Has(text, "DefaultRowHeight = 24")) << text;
    EXPECT_TRUE(Has(text, "SaveExtents = [seColWidths, seRowHeights]")) << text;
    for (const char* omitted : {"ColCount", "RowCount", "FixedCols", "GridLineWidth", "Options", "ScrollBars",
                                "BorderStyle", "FixedColor", "DefaultDrawing", "TabStop", "ColWidths", "RowHeights"})
        EXPECT_FALSE(Has(text, std::string(omitted) + " =")) << omitted << " is at its stored default\n" << text;
}

TEST(GridBaseDefaults, FormFilesCarryValuesAndExtents) {
    RegisterGridClasses();
    TNewDrawGrid grid(nullptr);
    grid.SetColCount(7);
    grid.SetRowCount(12);
    grid.SetFixedCols(2);
    grid.SetOptions(DefaultGridOptions + goEditing + goColSizing);
    grid.SetScrollBars(ssVertical);
    grid.SetColWidths(3, 100);
    grid.SetRowHeights(4, 40);
    grid.SetDefaultRowHeight(18);  // the stored default: left out, so it comes back as 24
    grid.SetRowHeights(5, 30);
    const std::string text = FormText(grid);
    EXPECT_TRUE(Has(text, "Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, "
                          "goColSizing, goEditing]")) << text;
    EXPECT_TRUE(Has(text, "ScrollBars = ssVertical")) << text;
    EXPECT_FALSE(Has(text, "DefaultRowHeight")) << text;
    TNewDrawGrid copy(nullptr);
    CopyThroughStream(grid, copy);
    EXPECT_EQ(copy.ColCount(), 7);
    EXPECT_EQ(copy.RowCount(), 12);
    EXPECT_EQ(copy.FixedCols(), 2);
    EXPECT_EQ(copy.Options(), grid.Options());
    EXPECT_EQ(copy.ScrollBars(), ssVertical);
    EXPECT_EQ(copy.ColWidths(3), 100);
    EXPECT_EQ(copy.ColWidths(2), 64);
    EXPECT_EQ(copy.DefaultRowHeight(), 24) << "a form that omits it gets the constructor's value";
    EXPECT_EQ(copy.RowHeights(5), 30) << "the row heights list is read after the default";
    EXPECT_EQ(copy.RowHeights(4), 18);
    // Only the extents SaveExtents names are written.
    grid.SetSaveExtents(TSaveExtents{seRowHeights});
    const std::string rowsOnly = FormText(grid);
    EXPECT_FALSE(Has(rowsOnly, "ColWidths")) << rowsOnly;
    EXPECT_TRUE(Has(rowsOnly, "RowHeights")) << rowsOnly;
    grid.SetSaveExtents(TSaveExtents{});
    EXPECT_TRUE(Has(FormText(grid), "SaveExtents = []")) << "always written";
}

TEST(GridBaseDefaults, InvalidOperationsRaiseTheGridErrors) {
    struct TCase {
        const char* Name;
        std::function<void(TNewDrawGrid&)> Operation;
        int Id;
    };
    const TCase cases[] = {
        {"width of a missing column", [](TNewDrawGrid& g) { g.SetColWidths(8, 10); }, sid::GridIndexOutOfRange},
        {"width read of a missing column", [](TNewDrawGrid& g) { g.ColWidths(-1); }, sid::GridIndexOutOfRange},
        {"height of a missing row", [](TNewDrawGrid& g) { g.SetRowHeights(10000, 10); }, sid::GridIndexOutOfRange},
        {"repaint of a missing column", [](TNewDrawGrid& g) { g.InvalidateCol(8); }, sid::GridIndexOutOfRange},
        {"repaint of a missing row", [](TNewDrawGrid& g) { g.InvalidateRow(-2); }, sid::GridIndexOutOfRange},
        {"insert beyond the end", [](TNewDrawGrid& g) { g.InsertRows(10001, 1); }, sid::GridIndexOutOfRange},
        {"more rows deleted than exist", [](TNewDrawGrid& g) { g.DeleteRows(9998, 3); }, sid::GridTooManyDeleted},
        {"every column deleted", [](TNewDrawGrid& g) { g.DeleteCols(0, 8); }, sid::GridTooManyDeleted},
        {"too many rows", [](TNewDrawGrid& g) { g.SetRowCount(MaxGridExtent + 1); }, sid::GridTooLarge},
        {"too many inserted", [](TNewDrawGrid& g) { g.InsertRows(0, MaxGridExtent); }, sid::GridTooLarge},
        {"all columns fixed", [](TNewDrawGrid& g) { g.SetFixedCols(8); }, sid::GridFixedColsTooMany},
    };
    for (const TCase& c : cases) {
        TNewDrawGrid grid(nullptr);
        grid.SetColCount(8);
        grid.SetRowCount(10000);
        try {
            c.Operation(grid);
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const EInvalidGridOperation& e) {
            EXPECT_EQ(e.Id(), c.Id) << c.Name;
        }
        EXPECT_EQ(grid.RowCount(), 10000) << c.Name;
        EXPECT_EQ(grid.ColCount(), 8) << c.Name;
    }
}

TEST_F(GridBaseTest, ABurstOfDeferredUpdatesGivesOne) {
    grid->DeferredUpdates = 0;
    for (int i = 0; i < 50; ++i) grid->PostDeferredUpdate();
    MSG msg;
    WaitFor([&] { return !PeekMessageW(&msg, grid->Handle(), GM_DEFERREDUPDATE, GM_DEFERREDUPDATE, PM_NOREMOVE); });
    WaitForInputHandled();
    EXPECT_EQ(grid->DeferredUpdates, 1);
    EXPECT_EQ(SendMessageW(grid->Handle(), GM_DEFERREDUPDATE, 0, 0), 1) << "the handler answers 1";
    EXPECT_EQ(grid->DeferredUpdates, 2) << "with nothing waiting it updates at once";
}

TEST_F(GridBaseTest, UpdateBracketsDeferTheWorkToTheOutermostEnd) {
    UpdateWindow(grid->Handle());
    grid->Rebuilds = 0;
    grid->BeginUpdate();
    for (int i = 0; i < 100; ++i) {
        grid->BeginUpdate();
        grid->InsertRows(5, 1);
        grid->InvalidateGrid();
        grid->EndUpdate(TGridRefreshes{grRebuildRows});
    }
    EXPECT_TRUE(grid->Updating());
    EXPECT_EQ(grid->Rebuilds, 0);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(grid->Handle(), &update, FALSE)) << "no repaint inside the bracket";
    EXPECT_TRUE(grid->PendingRefresh().Has(grRebuildRows));
    EXPECT_TRUE(grid->PendingRefresh().Has(grRepaint));
    grid->EndUpdate();
    EXPECT_FALSE(grid->Updating());
    EXPECT_EQ(grid->Rebuilds, 1) << "one rebuild for 100 changes";
    EXPECT_EQ(grid->RowCount(), 10100);
    EXPECT_TRUE(GetUpdateRect(grid->Handle(), &update, FALSE)) << "the repaint comes at the end";
    // A new bracket starts with nothing pending.
    grid->BeginUpdate();
    EXPECT_TRUE(grid->PendingRefresh().Empty());
    grid->EndUpdate();
    EXPECT_EQ(grid->Rebuilds, 1);
}

TEST_F(GridBaseTest, DoneCellsAndCellsWithoutBrushAreLeftToTheOwner) {
    const TColor magenta = 0xFF00FF;
    const TColor green = 0x00C000;
    grid->OnCalcDrawStruct = [](TControl&, TDrawStruct& ds) {
        if (ds.Col == 4 && ds.Row == 2) ds.BrushColor = clNone;
    };
    grid->OnDrawCell = [&](TControl&, TDrawStruct& ds) {
        if (ds.Row != 2 || ds.Col < 2 || ds.Col > 4) return;
        ds.Canvas->Brush().SetStyle(bsSolid);
        ds.Canvas->Brush().SetColor(ds.Col == 4 ? green : magenta);
        ds.Canvas->FillRect(ds.CellRect);
        if (ds.Col == 2) ds.State += dsDone;
    };
    std::vector<bool> paints;
    grid->OnPaint = [&](TControl&, bool isBefore) { paints.push_back(isBefore); };
    grid->InvalidateGrid();
    UpdateWindow(grid->Handle());
    EXPECT_EQ(paints, (std::vector<bool>{true, false})) << "OnPaint before and after painting";
    const auto corner = [&](int32_t col) {
        const RECT r = grid->CellRect(col, 2);
        return ClientPixel(grid->Handle(), r.right - 3, r.bottom - 3);
    };
    const auto text = [&](int32_t col) {
        const RECT r = grid->CellRect(col, 2);
        for (int y = r.top + 2; y < r.bottom - 2; ++y)
            for (int x = r.left + 2; x < r.left + 20; ++x)
                if (ClientPixel(grid->Handle(), x, y) == ColorToRGB(clWindowText)) return true;
        return false;
    };
    EXPECT_EQ(corner(2), ColorToRGB(magenta)) << "done: the default painter leaves the cell";
    EXPECT_FALSE(text(2)) << "no text over a done cell";
    EXPECT_EQ(corner(3), ColorToRGB(clWindow)) << "not done: the default painter fills it";
    EXPECT_TRUE(text(3));
    EXPECT_EQ(corner(4), ColorToRGB(green)) << "BrushColor clNone leaves the background";
    EXPECT_TRUE(text(4)) << "the text is still drawn";
}

TEST_F(GridBaseTest, TheDrawingRecordFollowsTheRules) {
    grid->SetOptions(grid->Options() - goVertLine);
    TDrawStruct ds;
    grid->CalcDrawStruct(ds, 2, 3);
    const RECT cell = grid->CellRect(2, 3);
    EXPECT_EQ(ds.CellRect.right, cell.right + 1) << "widened over the line space without vertical lines";
    EXPECT_EQ(ds.CellRect.bottom, cell.bottom);
    EXPECT_EQ(ds.TextRect.left, cell.left + 2);
    EXPECT_EQ(ds.TextRect.top, cell.top + 1);
    EXPECT_EQ(ds.Text, "R3 C2");
    EXPECT_EQ(ds.BrushColor, clWindow);
    EXPECT_TRUE(ds.TextFormat & DT_WORDBREAK);
    EXPECT_EQ(ds.CellRange, (TGridRect{2, 3, 2, 3}));
    TDrawStruct fixed;
    grid->CalcDrawStruct(fixed, 3, 0, AllDrawParts, taCenter, tlCenter);
    EXPECT_TRUE(fixed.State.Has(dsFixed));
    EXPECT_TRUE(fixed.State.Has(dsFrame) && fixed.State.Has(dsRaised));
    EXPECT_EQ(fixed.BrushColor, clBtnFace);
    EXPECT_TRUE(fixed.TextFormat & DT_CENTER);
    const RECT title = grid->CellRect(3, 0);
    EXPECT_EQ(fixed.TextRect.left, title.left) << "centred titles keep their full width";
    const int middle = (fixed.TextRect.top + fixed.TextRect.bottom) / 2;
    EXPECT_NEAR(middle, (title.top + title.bottom) / 2, 1) << "vertically centred";
    EXPECT_LT(fixed.TextRect.bottom - fixed.TextRect.top, title.bottom - title.top);
    // A part the owner clears is computed again; others stay as the owner left them.
    grid->OnCalcDrawStruct = [](TControl&, TDrawStruct& d) {
        d.Text = "mine";
        d.Computed -= dpTextRect;
        d.TextRect = RECT{0, 0, 0, 0};
    };
    TDrawStruct owned;
    grid->CalcDrawStruct(owned, 2, 3);
    EXPECT_EQ(owned.Text, "mine");
    EXPECT_EQ(owned.TextRect.left, cell.left + 2);
    // The row colour provider and a cell out of view.
    grid->RowColorProvider = [](TNewCustomGrid&, int32_t row) { return row == 3 ? TColor(0x00FFFF) : TColor(0); };
    TDrawStruct coloured;
    grid->CalcDrawStruct(coloured, 2, 3);
    EXPECT_EQ(coloured.BrushColor, 0x00FFFF);
    TDrawStruct hidden;
    grid->CalcDrawStruct(hidden, 2, 9000);
    EXPECT_EQ(hidden.CellRect.right - hidden.CellRect.left, 0) << "a cell out of view gets no rectangle";
}

TEST_F(GridBaseTest, ClicksAndDragsSelectRanges) {
    int clicks = 0;
    grid->OnClick = [&](TControl&) { ++clicks; };
    ClickCell(2, 3);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(clicks, 1) << "the current cell moved";
    EXPECT_EQ(grid->GridState(), gsNormal);
    // Shift extends from the anchor. The mouse goes there first: under Wine a pointer move
    // takes the modifiers from the X server, which knows nothing of the Shift sent here.
    const POINT farCell = CellCentre(4, 6);
    MouseAt(*grid, farCell.x, farCell.y);
    WaitForInputHandled();
    ClickHolding(VK_SHIFT);
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 3, 4, 6}));
    EXPECT_EQ(grid->Anchor(), (TGridCoord{2, 3}));
    // A drag selects from the press to the pointer.
    std::vector<TGridRect> changes;
    grid->OnSelectionChanged = [&](TControl&, TGridRect& range) { changes.push_back(range); };
    MouseAt(*grid, CellCentre(1, 2).x, CellCentre(1, 2).y);
    MouseButton(true);
    WaitFor([&] { return grid->GridState() == gsSelecting; });
    const POINT end = CellCentre(5, 7);
    MouseAt(*grid, end.x - 10, end.y - 4);
    MouseAt(*grid, end.x, end.y);
    EXPECT_TRUE(WaitFor([&] { return grid->Selection() == TGridRect{1, 2, 5, 7}; }));
    Shot(form->Handle(), "grid_range_selection");
    MouseButton(false);
    WaitFor([&] { return grid->GridState() == gsNormal; });
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 2, 5, 7}));
    EXPECT_EQ(grid->Col(), 5);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), (TGridRect{1, 2, 5, 7}));
    EXPECT_FALSE(EditorShown());
    // Without range selection only the cell is selected.
    grid->SetOptions(grid->Options() - goRangeSelect);
    EXPECT_EQ(grid->Selection(), (TGridRect{5, 7, 5, 7}));
}

TEST_F(GridBaseTest, ASlowSecondClickOnTheCurrentCellOpensTheEditor) {
    grid->SetOptions(grid->Options() + goEditing);
    const UINT doubleClick = GetDoubleClickTime();
    ClickCell(2, 2);
    PumpUntil(doubleClick + 150);
    // Held on the current cell: the editor opens when the wait is over, the button still down.
    MouseAt(*grid, CellCentre(2, 2).x, CellCentre(2, 2).y);
    MouseButton(true);
    EXPECT_TRUE(WaitFor([&] { return grid->GridState() == gsDragWait; }));
    const DWORD pressed = GetTickCount();
    EXPECT_TRUE(WaitFor([&] { return EditorShown(); }));
    EXPECT_GE(GetTickCount() - pressed, 350u) << "not before the wait";
    MouseButton(false);
    WaitForInputHandled();
    EXPECT_TRUE(EditorShown());
    Key(VK_ESCAPE);
    EXPECT_FALSE(EditorShown());
    // A quick press and release opens it on the release.
    ClickCell(3, 4);
    ClickCell(3, 4);
    EXPECT_TRUE(WaitFor([&] { return EditorShown(); }));
    EXPECT_EQ(grid->InplaceEditor()->Text(), "R4 C3");
    Key(VK_ESCAPE);
    // A click beside the current cell never does.
    ClickCell(4, 4);
    PumpUntil(800);
    EXPECT_FALSE(EditorShown());
    // Nor does a double click.
    DoubleClickCell(5, 5);
    PumpUntil(800);
    EXPECT_FALSE(EditorShown());
}

TEST_F(GridBaseTest, ColumnsAndRowsAreSizedAtTheirBorders) {
    grid->SetOptions(grid->Options() + goColSizing + goRowSizing);
    std::vector<std::tuple<int32_t, int32_t, int32_t>> colChanges, rowChanges;
    grid->OnColChanged = [&](TControl&, int32_t i, int32_t o, int32_t n) { colChanges.emplace_back(i, o, n); };
    grid->OnRowChanged = [&](TControl&, int32_t i, int32_t o, int32_t n) { rowChanges.emplace_back(i, o, n); };
    const RECT title = grid->CellRect(2, 0);
    MouseAt(*grid, title.right, (title.top + title.bottom) / 2);
    MouseButton(true);
    EXPECT_TRUE(WaitFor([&] { return grid->GridState() == gsColSizing; }));
    MouseAt(*grid, title.right + 20, (title.top + title.bottom) / 2);
    MouseAt(*grid, title.right + 40, (title.top + title.bottom) / 2);
    Shot(form->Handle(), "grid_column_sizing");
    EXPECT_EQ(grid->ColWidths(2), 64) << "the width changes on release";
    MouseButton(false);
    EXPECT_TRUE(WaitFor([&] { return grid->ColWidths(2) == 104; }));
    EXPECT_EQ(colChanges, (std::vector<std::tuple<int32_t, int32_t, int32_t>>{{2, 64, 104}}));
    EXPECT_EQ(grid->GridState(), gsNormal);
    // A row at its bottom edge in the fixed column.
    const RECT side = grid->CellRect(0, 3);
    MouseAt(*grid, (side.left + side.right) / 2, side.bottom);
    MouseButton(true);
    EXPECT_TRUE(WaitFor([&] { return grid->GridState() == gsRowSizing; }));
    MouseAt(*grid, (side.left + side.right) / 2, side.bottom + 12);
    MouseButton(false);
    EXPECT_TRUE(WaitFor([&] { return grid->RowHeights(3) == 36; }));
    EXPECT_EQ(rowChanges, (std::vector<std::tuple<int32_t, int32_t, int32_t>>{{3, 24, 36}}));
    // A row dragged to (almost) nothing keeps its height.
    const RECT small = grid->CellRect(0, 4);
    MouseAt(*grid, (small.left + small.right) / 2, small.bottom);
    MouseButton(true);
    WaitFor([&] { return grid->GridState() == gsRowSizing; });
    MouseAt(*grid, (small.left + small.right) / 2, small.top);
    MouseButton(false);
    WaitFor([&] { return grid->GridState() == gsNormal; });
    EXPECT_EQ(grid->RowHeights(4), 24) << "a height of 1 pixel or less is not taken";
}

TEST_F(GridBaseTest, TitleClicksAndMovingColumns) {
    std::vector<TGridCoord> titles;
    std::vector<std::tuple<int32_t, int32_t, int32_t>> moves;
    grid->OnTitleClick = [&](TControl&, int32_t col, int32_t row) { titles.push_back(TGridCoord{col, row}); };
    grid->OnColsMoved = [&](TControl&, int32_t from, int32_t to, int32_t count) { moves.emplace_back(from, to, count); };
    ClickCell(3, 0);
    ClickCell(0, 5);
    EXPECT_EQ(titles, (std::vector<TGridCoord>{{3, 0}, {0, 5}}));
    grid->SetOptions(grid->Options() + goColMoving);
    grid->SetColWidths(2, 90);
    titles.clear();
    MouseAt(*grid, CellCentre(2, 0).x, CellCentre(2, 0).y);
    MouseButton(true);
    WaitForInputHandled();
    MouseAt(*grid, CellCentre(4, 0).x, CellCentre(4, 0).y);
    MouseAt(*grid, CellCentre(5, 0).x, CellCentre(5, 0).y);
    EXPECT_TRUE(WaitFor([&] { return grid->GridState() == gsColMoving; }));
    MouseButton(false);
    EXPECT_TRUE(WaitFor([&] { return !moves.empty(); }));
    EXPECT_EQ(moves, (std::vector<std::tuple<int32_t, int32_t, int32_t>>{{2, 5, 1}}));
    EXPECT_EQ(grid->ColWidths(5), 90) << "the width went with the column";
    EXPECT_TRUE(titles.empty()) << "a move is no title click";
    // A title press that stays in its column is a click.
    ClickCell(3, 0);
    EXPECT_EQ(titles, (std::vector<TGridCoord>{{3, 0}}));
}

TEST_F(GridBaseTest, MovingRowsAndTheSelection) {
    grid->SetOptions(grid->Options() + goRowMoving);
    grid->SetRowHeights(3, 40);
    std::vector<std::tuple<int32_t, int32_t, int32_t>> moves;
    grid->OnRowsMoved = [&](TControl&, int32_t from, int32_t to, int32_t count) { moves.emplace_back(from, to, count); };
    MouseAt(*grid, CellCentre(0, 3).x, CellCentre(0, 3).y);
    MouseButton(true);
    WaitForInputHandled();
    MouseAt(*grid, CellCentre(0, 5).x, CellCentre(0, 5).y);
    MouseAt(*grid, CellCentre(0, 6).x, CellCentre(0, 6).y);
    EXPECT_TRUE(WaitFor([&] { return grid->GridState() == gsRowMoving; }));
    MouseButton(false);
    EXPECT_TRUE(WaitFor([&] { return !moves.empty(); }));
    EXPECT_EQ(moves, (std::vector<std::tuple<int32_t, int32_t, int32_t>>{{3, 6, 1}}));
    EXPECT_EQ(grid->RowHeights(6), 40);
    EXPECT_EQ(grid->RowHeights(3), 24);
    // A Ctrl press inside the selection drags it; the owner learns the distance.
    std::vector<TGridCoord> moved;
    grid->OnSelectionMoved = [&](TControl&, TShiftState, int32_t x, int32_t y) { moved.push_back(TGridCoord{x, y}); };
    grid->SetSelection(TGridRect{2, 2, 3, 3});
    MouseAt(*grid, CellCentre(2, 3).x, CellCentre(2, 3).y);
    WaitForInputHandled();
    KeyInput(VK_CONTROL, true);
    WaitForInputHandled();
    MouseButton(true);
    EXPECT_TRUE(WaitFor([&] { return grid->GridState() == gsSelectionMoving; }));
    KeyInput(VK_CONTROL, false);
    MouseAt(*grid, CellCentre(3, 4).x, CellCentre(3, 4).y);
    MouseAt(*grid, CellCentre(4, 6).x, CellCentre(4, 6).y);
    MouseButton(false);
    EXPECT_TRUE(WaitFor([&] { return !moved.empty(); }));
    EXPECT_EQ(moved, (std::vector<TGridCoord>{{2, 3}}));
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 2, 3, 3})) << "the owner moves its data, the grid keeps its selection";
}

TEST_F(GridBaseTest, ShiftPressesAskForTheAnchorBounds) {
    ClickCell(2, 2);
    std::vector<TGridRect> asked;
    grid->OnGetAnchorBounds = [&](TControl&, TGridRect& bounds) {
        asked.push_back(bounds);
        bounds.Right += 1;
        bounds.Bottom += 1;
    };
    // A Shift press held on a cell, the modifier sent after the pointer arrived (see above).
    const auto shiftPress = [&](int32_t col, int32_t row) {
        MouseAt(*grid, CellCentre(col, row).x, CellCentre(col, row).y);
        WaitForInputHandled();
        KeyInput(VK_SHIFT, true);
        WaitForInputHandled();
        MouseButton(true);
        WaitForInputHandled();
    };
    const auto release = [&] {
        MouseButton(false);
        KeyInput(VK_SHIFT, false);
        WaitForInputHandled();
    };
    shiftPress(3, 3);
    EXPECT_EQ(grid->GridState(), gsSelecting) << "on the anchor's bounds";
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 2, 3, 3}));
    release();
    ASSERT_EQ(asked, (std::vector<TGridRect>{{2, 2, 2, 2}}));
    shiftPress(5, 6);
    EXPECT_EQ(grid->GridState(), gsRangeSelecting) << "beside them";
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 2, 5, 6}));
    release();
    EXPECT_EQ(grid->GridState(), gsNormal);
}

TEST_F(GridBaseTest, OneScrollableColumnScrollsByPixels) {
    grid->SetColCount(2);
    grid->SetColWidths(1, 1200);
    const int32_t fixedWidth = grid->FixedWidth();
    ASSERT_EQ(grid->HorzOffset(), 0);
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(GetScrollBarInfo(grid->Handle(), OBJID_HSCROLL, &bar));
    // A click on the right arrow: the scroll bar runs its own loop, the release comes from a timer.
    const int arrow = bar.rcScrollBar.bottom - bar.rcScrollBar.top;
    MouseTo(POINT{bar.rcScrollBar.right - arrow / 2, (bar.rcScrollBar.top + bar.rcScrollBar.bottom) / 2});
    WaitForInputHandled();
    Later([] { MouseButton(false); }, 100);
    MouseButton(true);
    EXPECT_TRUE(WaitFor([&] { return grid->HorzOffset() > 0; }));
    WaitForInputHandled();
    const int32_t step = grid->HorzOffset();
    EXPECT_LT(step, 64) << "a line step is a few pixels, not a column";
    grid->SetHorzOffset(300);
    const RECT r = grid->CellRect(1, 2);
    EXPECT_EQ(r.left, fixedWidth - 300);
    EXPECT_EQ(grid->MouseCoord(fixedWidth + 5, r.top + 2), (TGridCoord{1, 2}));
    EXPECT_EQ(grid->MouseCoord(fixedWidth - 5, r.top + 2), (TGridCoord{0, 2})) << "the fixed column stays";
    grid->SetHorzOffset(100000);
    EXPECT_EQ(grid->HorzOffset(), 1200 + grid->GridLineWidth() - (grid->ClientWidth() - fixedWidth));
}

TEST_F(GridBaseTest, AnAlwaysShownEditorFollowsTheCurrentCell) {
    grid->SetOptions(grid->Options() + goEditing + goAlwaysShowEditor);
    ASSERT_TRUE(WaitFor([&] { return EditorShown(); })) << "with the focus the editor shows";
    TInplaceEditor& editor = *grid->InplaceEditor();
    EXPECT_EQ(editor.Text(), "R1 C1");
    Type("q");
    Key(VK_DOWN);
    EXPECT_EQ(Stored(1, 1), "q");
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(editor.Text(), "R2 C1");
    EXPECT_EQ(editor.BoundsRect().top, grid->CellRect(1, 2).top);
    EXPECT_EQ(GetFocus(), editor.Handle());
    Type("r");
    Key(VK_RETURN);
    EXPECT_EQ(Stored(1, 2), "r");
    EXPECT_TRUE(EditorShown()) << "Enter stores and goes on editing";
    Key(VK_ESCAPE);
    EXPECT_TRUE(EditorShown()) << "Esc restores the text but keeps the editor";
    EXPECT_EQ(stores, 2);
}

TEST_F(GridBaseTest, KeyboardNavigation) {
    grid->SetOptions(grid->Options() + goTabs);
    struct TStep {
        WORD Key;
        std::vector<WORD> Modifiers;
        TGridCoord Expected;
    };
    const int32_t last = grid->RowCount() - 1;
    int topLeftChanges = 0, scrollChanges = 0;
    grid->OnTopLeftChanged = [&](TControl&) { ++topLeftChanges; };
    grid->OnUpdateScroll = [&](TControl&) { ++scrollChanges; };
    const TStep steps[] = {
        {VK_DOWN, {}, {1, 2}},
        {VK_RIGHT, {}, {2, 2}},
        {VK_UP, {}, {2, 1}},
        {VK_UP, {}, {2, 1}},
        {VK_LEFT, {}, {1, 1}},
        {VK_LEFT, {}, {1, 1}},
        {VK_END, {}, {7, 1}},
        {VK_HOME, {}, {1, 1}},
        {VK_END, {VK_CONTROL}, {7, last}},
        {VK_DOWN, {}, {7, last}},
        {VK_TAB, {}, {1, 1}},
        {VK_TAB, {VK_SHIFT}, {7, last}},
        {VK_HOME, {VK_CONTROL}, {1, 1}},
        {VK_TAB, {}, {2, 1}},
    };
    for (const TStep& step : steps) {
        Key(step.Key, step.Modifiers);
        EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), step.Expected) << "key " << step.Key;
        if (step.Key == VK_END && !step.Modifiers.empty()) {
            EXPECT_EQ(grid->TopRow(), grid->MaxTopRow()) << "the last row in view";
            const RECT r = grid->CellRect(7, last);
            EXPECT_LE(r.bottom, grid->ClientHeight());
        }
    }
    EXPECT_EQ(grid->TopRow(), 1);
    // End and Home scroll sideways; Ctrl+End, Tab, Shift+Tab and Ctrl+Home up and down.
    EXPECT_EQ(topLeftChanges, 6);
    EXPECT_EQ(scrollChanges, 6);
    const int32_t page = grid->VisibleRowCount();
    Key(VK_NEXT);
    EXPECT_EQ(grid->Row(), 1 + page);
    EXPECT_EQ(grid->TopRow(), 1 + page);
    Key(VK_PRIOR);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->TopRow(), 1);
    // Shift extends the selection; Ctrl+Down scrolls without moving.
    Key(VK_DOWN, {VK_SHIFT});
    Key(VK_RIGHT, {VK_SHIFT});
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 1, 3, 2}));
    Key(VK_DOWN, {VK_CONTROL});
    EXPECT_EQ(grid->TopRow(), 2);
    EXPECT_EQ(grid->Row(), 2);
    // Row selection selects whole rows and Left and Right scroll.
    grid->SetOptions(grid->Options() + goRowSelect);
    EXPECT_EQ(grid->Selection().Left, 1);
    EXPECT_EQ(grid->Selection().Right, 7);
}

TEST_F(GridBaseTest, TimedScrollWheelAndScrollBar) {
    // Held below the grid, the selection scrolls on.
    const POINT start = CellCentre(2, 5);
    MouseAt(*grid, start.x, start.y);
    MouseButton(true);
    WaitFor([&] { return grid->GridState() == gsSelecting; });
    MouseAt(*grid, start.x, grid->ClientHeight() + 4);
    EXPECT_TRUE(WaitFor([&] { return grid->TopRow() > 6; }));
    MouseButton(false);
    WaitFor([&] { return grid->GridState() == gsNormal; });
    EXPECT_GT(grid->Row(), grid->TopRow());
    EXPECT_EQ(grid->Selection().Top, 5) << "the selection reaches from the press";
    EXPECT_EQ(grid->Selection().Bottom, grid->Row());
    // The wheel scrolls the view.
    grid->SetTopRow(1);
    MouseAt(*grid, CellCentre(3, 3).x, CellCentre(3, 3).y);
    INPUT wheel{};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    SendInput(1, &wheel, sizeof(wheel));
    EXPECT_TRUE(WaitFor([&] { return grid->TopRow() > 1; }));
    // The scroll bar's thumb: followed while dragged only with goThumbTracking. The drag runs
    // in the scroll bar's own modal loop, so the test acts from timers inside it.
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(GetScrollBarInfo(grid->Handle(), OBJID_VSCROLL, &bar));
    const int thumbX = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    for (bool tracking : {false, true}) {
        grid->SetTopRow(1);
        ASSERT_TRUE(GetScrollBarInfo(grid->Handle(), OBJID_VSCROLL, &bar));
        const int thumbY = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
        grid->SetOptions(tracking ? grid->Options() + goThumbTracking : grid->Options() - goThumbTracking);
        MouseTo(POINT{thumbX, thumbY});
        WaitForInputHandled();
        int32_t during = -1;
        bool released = false;
        Later([&] {
            MouseTo(POINT{thumbX, thumbY + 60});
            Later([&] {
                during = grid->TopRow();
                MouseButton(false);
                released = true;
            }, 300);
        }, 150);
        MouseButton(true);
        EXPECT_TRUE(WaitFor([&] { return released; }));
        WaitForInputHandled();
        if (tracking) {
            EXPECT_GT(during, 1) << "followed while dragged";
        } else {
            EXPECT_EQ(during, 1) << "without thumb tracking the view waits for the release";
        }
        EXPECT_GT(grid->TopRow(), 1);
    }
}

TEST_F(GridBaseTest, EditingKeysStoreOrRestoreTheText) {
    grid->SetOptions(grid->Options() + goEditing);
    std::vector<int> editPosEvents;
    grid->OnUpdateEditPos = [&](TControl&) { editPosEvents.push_back(grid->EditPosMessages); };
    ClickCell(2, 2);
    Key(VK_F2);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "R2 C2");
    ASSERT_FALSE(editPosEvents.empty());
    EXPECT_EQ(editPosEvents.back(), grid->EditPosMessages) << "GM_EDITPOSCHANGED comes before OnUpdateEditPos";
    EXPECT_GE(grid->EditPosMessages, 1);
    Type("abc");
    Key(VK_RETURN);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(Stored(2, 2), "abc");
    EXPECT_EQ(stores, 1);
    // A character typed into the grid opens the editor with it.
    Key(VK_RIGHT);
    Type("x");
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "x");
    Type("y");
    Key(VK_DOWN);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(Stored(3, 2), "xy") << "moving on stores the text";
    EXPECT_EQ(grid->Row(), 3);
    // Esc brings the text back and stores nothing.
    Key(VK_F2);
    Type("zz");
    Key(VK_ESCAPE);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(stores, 2);
    EXPECT_EQ(Stored(3, 3), "");
}

TEST_F(GridBaseTest, AFailingHandlerIsShownAndTheGridStaysUsable) {
    std::vector<std::string> shown;
    Application->OnException = [&](const std::exception& e) { shown.push_back(e.what()); };
    grid->OnSelectCell = [](TControl&, int32_t, int32_t row, bool&) {
        if (row == 5) throw Exception(std::string("no row five"));
    };
    ClickCell(2, 5);
    Application->OnException = nullptr;
    ASSERT_EQ(shown, (std::vector<std::string>{"no row five"}));
    EXPECT_EQ(grid->Row(), 1) << "the current cell stayed";
    EXPECT_EQ(grid->GridState(), gsNormal);
    EXPECT_NE(GetCapture(), grid->Handle());
    ClickCell(2, 6);
    EXPECT_EQ(grid->Row(), 6);
    Key(VK_DOWN);
    EXPECT_EQ(grid->Row(), 7);
}

TEST_F(GridBaseTest, RowsOfVaryingHeightsInsertedAndDeleted) {
    std::mt19937 random(7);
    std::vector<int32_t> heights(10000);
    for (int32_t& h : heights) h = 16 + static_cast<int32_t>(random() % 30);
    grid->SetRowHeightList(heights);
    for (int round = 0; round < 20; ++round) {
        const int32_t top = 1 + static_cast<int32_t>(random() % 9000);
        grid->SetTopRow(top);
        const int32_t row = grid->TopRow() + static_cast<int32_t>(random() % std::max(grid->VisibleRowCount(), 1));
        const int32_t col = 1 + static_cast<int32_t>(random() % 5);
        const RECT r = grid->CellRect(col, row);
        ASSERT_EQ(r.bottom - r.top, heights[static_cast<size_t>(row)]) << row;
        EXPECT_EQ(grid->MouseCoord((r.left + r.right) / 2, r.top), (TGridCoord{col, row}));
        EXPECT_EQ(grid->MouseCoord((r.left + r.right) / 2, r.bottom - 1), (TGridCoord{col, row}));
    }
    grid->SetTopRow(1);
    ClickCell(2, 5);
    grid->InsertRows(3, 4);
    EXPECT_EQ(grid->Row(), 9) << "the current row moves with its row";
    EXPECT_EQ(grid->RowHeights(9), heights[5]);
    EXPECT_EQ(grid->RowHeights(4), 24) << "new rows have the default height";
    grid->DeleteRows(2, 3);
    EXPECT_EQ(grid->Row(), 6);
    EXPECT_EQ(grid->RowHeights(6), heights[5]);
    grid->DeleteRows(5, 3);
    EXPECT_EQ(grid->Row(), 5) << "a deleted current row goes to the first row after them";
    EXPECT_EQ(grid->RowCount(), 10000 + 4 - 3 - 3);
}

}  // namespace
