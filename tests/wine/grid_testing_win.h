// Helpers of the grid's Wine tests: a draw grid that counts its deferred updates and row
// rebuilds and can refuse modifications, a form holding a grid of 10,000 rows whose cells
// show "R<row> C<col>" and store what the editor writes, and waits for conditions with a
// generous time-out.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "grid/draw_grid_win.h"
#include "grid/inplace_editor_win.h"
#include "tests/wine/widgets_testing_win.h"
#include "winui/form_win.h"

class TTestGrid : public TNewDrawGrid {
public:
    explicit TTestGrid(TComponent* owner) : TNewDrawGrid(owner) {}
    int DeferredUpdates = 0;
    int Rebuilds = 0;
    int EditPosMessages = 0;
    bool Modifiable = true;
    std::string AcceptedKeys;  // empty: every key

    bool CanEditModify() override { return Modifiable && TNewDrawGrid::CanEditModify(); }
    bool CanEditAcceptKey(char key) override {
        return AcceptedKeys.empty() || AcceptedKeys.find(key) != std::string::npos;
    }

protected:
    void DeferredUpdate() override {
        ++DeferredUpdates;
        TNewDrawGrid::DeferredUpdate();
    }
    void RebuildRows(bool rebuild) override {
        ++Rebuilds;
        TNewDrawGrid::RebuildRows(rebuild);
    }
    void EditPosChanged() override { ++EditPosMessages; }
};

// A form with one grid of 8 columns and 10,000 rows (one fixed row and column) that shows
// "R<row> C<col>" in every cell unless a text was stored for it.
class GridFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TForm(Application);
        form->SetBorderStyle(bsSingle);
        form->SetBounds(80, 60, 560, 360);
        form->SetCaption("Grid");
        grid = new TTestGrid(form);
        grid->SetParent(form);
        grid->SetBounds(8, 8, 520, 300);
        grid->SetColCount(8);
        grid->SetRowCount(10000);
        grid->OnGetEditText = [this](TControl&, int32_t col, int32_t row, std::string& value) {
            const auto stored = texts.find({col, row});
            value = stored != texts.end() ? stored->second
                                          : "R" + std::to_string(row) + " C" + std::to_string(col);
        };
        grid->OnSetEditText = [this](TControl&, int32_t col, int32_t row, const std::string& value) {
            texts[{col, row}] = value;
            ++stores;
        };
        form->Show();
        ASSERT_TRUE(::WaitFor([&] { return GetForegroundWindow() == form->Handle(); }));
        grid->SetFocus();
        // Wine takes the key state from the X server when the window gets the X focus, which
        // would drop a modifier held by input sent later: let that happen first (it cannot be
        // seen from here, so this waits a fixed time).
        PumpUntil(300);
    }
    void TearDown() override {
        MouseButton(false);
        for (WORD key : {VK_SHIFT, VK_CONTROL, VK_MENU}) KeyInput(key, false);
        delete form;
        WaitForInputHandled();
    }
    // The centre of a cell in the grid's client coordinates.
    POINT CellCentre(int32_t col, int32_t row) {
        const RECT r = grid->CellRect(col, row);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // A click on a cell; a second click on the same cell waits out the double-click time, so
    // that it is a click of its own.
    void ClickCell(int32_t col, int32_t row) {
        const DWORD doubleClick = GetDoubleClickTime() + 60;
        if (lastClick == TGridCoord{col, row} && GetTickCount() - lastClickTime < doubleClick)
            PumpUntil(doubleClick - (GetTickCount() - lastClickTime));
        const POINT p = CellCentre(col, row);
        ClickAt(*grid, p.x, p.y);
        WaitForInputHandled();
        lastClick = TGridCoord{col, row};
        lastClickTime = GetTickCount();
    }
    void DoubleClickCell(int32_t col, int32_t row) {
        const POINT p = CellCentre(col, row);
        ClickAt(*grid, p.x, p.y);
        ClickAt(*grid, p.x, p.y);
        WaitForInputHandled();
        lastClick = TGridCoord{col, row};
        lastClickTime = GetTickCount();
    }
    bool EditorShown() {
        TInplaceEditor* editor = grid->InplaceEditor();
        return editor && editor->HandleAllocated() && IsWindowVisible(editor->Handle());
    }
    // A key pressed and released; the messages it causes are handled before this returns.
    void Key(WORD key, std::vector<WORD> modifiers = {}) {
        if (!modifiers.empty()) WaitForInputHandled();
        ChordKey(modifiers, key);
        WaitForInputHandled();
    }
    // Typed on the keyboard: each character's key, with Shift where the layout needs it.
    void Type(const std::string& text) {
        for (char c : text) {
            const SHORT scan = VkKeyScanA(c);
            ASSERT_NE(scan, -1) << "no key for '" << c << "'";
            const auto key = static_cast<WORD>(scan & 0xFF);
            if (scan & 0x100) Key(key, {VK_SHIFT});
            else Key(key);
        }
    }
    std::string Stored(int32_t col, int32_t row) {
        const auto it = texts.find({col, row});
        return it == texts.end() ? std::string() : it->second;
    }

    TForm* form = nullptr;
    TTestGrid* grid = nullptr;
    std::map<std::pair<int32_t, int32_t>, std::string> texts;
    int stores = 0;
    TGridCoord lastClick{-1, -1};
    DWORD lastClickTime = 0;
};

// The colour of a client pixel of a window as it is on the screen.
inline COLORREF ClientPixel(HWND window, int x, int y) {
    const HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}
