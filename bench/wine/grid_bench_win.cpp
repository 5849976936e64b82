// The grid at scale: one page down, one jump to the last row (Ctrl+End) and one full repaint of
// a draw grid of 8 columns and 1,000, 100,000 and 1,000,000 rows of varying heights, each with
// the painting it causes. Row positions come from the grid's axis tree, so the times should
// hardly grow with the row count.
#include <windows.h>

#include <string>
#include <vector>

#include "bench/wine/wine_bench.h"
#include "grid/draw_grid_win.h"
#include "winui/application_win.h"
#include "winui/form_win.h"

namespace {

// A key as the grid gets it, and the painting it causes.
void SendKey(TNewCustomGrid& grid, WORD key, bool ctrl) {
    SendKeyDown(grid.Handle(), key, ctrl);
    UpdateWindow(grid.Handle());
}

void GridAtScale(TWineBenchRun& run, int32_t rows) {
    const std::string size = std::to_string(rows);
    TForm form(Application);
    form.SetBounds(40, 40, 720, 560);
    auto* grid = new TNewDrawGrid(&form);
    grid->SetParent(&form);
    grid->SetAlign(alClient);
    grid->SetColCount(8);
    grid->OnGetEditText = [](TControl&, int32_t col, int32_t row, std::string& value) {
        value = "R" + std::to_string(row) + " C" + std::to_string(col);
    };
    run.Measure("set rows and heights/" + size, 1, [&] {
        grid->SetRowCount(rows);
        std::vector<int32_t> heights(static_cast<size_t>(rows));
        for (int32_t i = 0; i < rows; ++i) heights[static_cast<size_t>(i)] = 16 + (i * 7919) % 23;
        grid->SetRowHeightList(heights);
    });
    form.Show();
    grid->SetFocus();
    PumpMessages();
    const auto toTop = [&] {
        grid->FocusCell(1, 1, true);
        grid->SetTopRow(1);
        UpdateWindow(grid->Handle());
        PumpMessages();
    };
    run.Measure("page down/" + size, 25, [&] { SendKey(*grid, VK_NEXT, false); }, toTop);
    run.Measure("jump to end/" + size, 25, [&] { SendKey(*grid, VK_END, true); }, toTop);
    if (grid->Row() != rows - 1 || grid->TopRow() != grid->MaxTopRow()) std::printf("jump to end missed the end\n");
    run.Measure("full repaint/" + size, 25, [&] {
        grid->InvalidateGrid();
        UpdateWindow(grid->Handle());
    });
    form.Hide();
    PumpMessages();
}

void GridBench(TWineBenchRun& run) {
    for (int32_t rows : {1000, 100000, 1000000}) GridAtScale(run, rows);
}

const TWineBenchRegistration registration("grid", GridBench);

}  // namespace
