// The in-place editor over a draw grid of 10,000 rows, driven with real keys and clicks: its
// text lined up with the cell's, the keys it hands to the grid, Esc, the modify and accept
// tests, an edit mask, and the pick list with its height, placement, mouse hook, keys, accept
// and close, and a screenshot of an open list.
#include <gtest/gtest.h>

#include "grid/pick_list_win.h"
#include "tests/wine/grid_testing_win.h"
#include "widgets/app_services_win.h"

namespace {

class InplaceEditorTest : public GridFormTest {
protected:
    void SetUp() override {
        GridFormTest::SetUp();
        grid->SetOptions(grid->Options() + goEditing);
    }
    // Opens the editor on a cell with F2.
    TInplaceEditor& Edit(int32_t col, int32_t row) {
        ClickCell(col, row);
        Key(VK_F2);
        EXPECT_TRUE(EditorShown());
        return *grid->InplaceEditor();
    }
    int Caret() {
        DWORD start = 0, end = 0;
        SendMessageW(grid->InplaceEditor()->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return static_cast<int>(end);
    }
    void CaretTo(int position) { SendMessageW(grid->InplaceEditor()->Handle(), EM_SETSEL, position, position); }
    bool ListShown() {
        TInplaceEditor* editor = grid->InplaceEditor();
        return editor && editor->ListVisible();
    }
    RECT ListRect() {
        RECT r{};
        GetWindowRect(grid->InplaceEditor()->PickList()->Handle(), &r);
        return r;
    }
    // Opens the list by a click on the editor's button.
    void ClickButton() {
        TNewSpeedButton& button = grid->InplaceEditor()->Button();
        ClickAt(button, button.Width() / 2, button.Height() / 2);
    }
};

TEST_F(InplaceEditorTest, TheEditorLiesOverTheCellWithItsTextWhereTheCellDrawsIt) {
    TInplaceEditor& editor = Edit(3, 4);
    const RECT cell = grid->CellRect(3, 4);
    EXPECT_EQ(editor.BoundsRect().left, cell.left);
    EXPECT_EQ(editor.BoundsRect().top, cell.top);
    EXPECT_EQ(editor.Width(), cell.right - cell.left);
    EXPECT_EQ(editor.Text(), "R4 C3");
    EXPECT_EQ(editor.StartText(), "R4 C3");
    EXPECT_EQ(GetFocus(), editor.Handle()) << "the editor took the focus from the grid";
    DWORD start = 0, end = 0;
    SendMessageW(editor.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u) << "all of it selected";
    TDrawStruct ds;
    grid->CalcDrawStruct(ds, 3, 4);
    EXPECT_TRUE(ds.State.Has(dsEditorCell));
    EXPECT_FALSE(ds.State.Has(dsDrawText)) << "the grid does not draw under the editor";
    RECT format{};
    SendMessageW(editor.Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.left, ds.TextRect.left - cell.left);
    EXPECT_EQ(format.top, ds.TextRect.top - cell.top);
    // Following the cell: a wider column moves the editor with it.
    grid->SetColWidths(2, 100);
    EXPECT_EQ(editor.BoundsRect().left, grid->CellRect(3, 4).left);
}

TEST_F(InplaceEditorTest, KeysTheEditorHandsToTheGrid) {
    TInplaceEditor& editor = Edit(3, 4);
    // Left with a selection from the start stays in the edit; at the start it goes to the grid.
    Key(VK_LEFT);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_TRUE(EditorShown());
    CaretTo(1);
    Key(VK_RIGHT);
    EXPECT_EQ(Caret(), 2) << "the caret moves inside the text";
    EXPECT_EQ(grid->Col(), 3);
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(Caret(), 0);
    EXPECT_EQ(grid->Col(), 3);
    Key(VK_LEFT);
    EXPECT_EQ(grid->Col(), 2) << "Left at the start moves the current cell";
    EXPECT_FALSE(EditorShown());
    // Right at the end, Ctrl+Left anywhere, Down and Page Down always.
    Edit(3, 4);
    CaretTo(5);
    Key(VK_RIGHT);
    EXPECT_EQ(grid->Col(), 4);
    Edit(3, 4);
    CaretTo(2);
    Key(VK_LEFT, {VK_CONTROL});
    EXPECT_EQ(grid->Col(), 2);
    Edit(3, 4);
    Key(VK_DOWN);
    EXPECT_EQ(grid->Row(), 5);
    EXPECT_FALSE(EditorShown());
    // F2 in the editor ends the selection at the end of the text.
    Edit(3, 5);
    Key(VK_F2);
    EXPECT_EQ(Caret(), 5);
    Type("!");
    EXPECT_EQ(editor.Text(), "R5 C3!");
    // Tab goes to the grid only with goTabs.
    grid->SetOptions(grid->Options() + goTabs);
    Key(VK_TAB);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(Stored(3, 5), "R5 C3!");
}

TEST_F(InplaceEditorTest, EscRestoresTheTextTheCellHadWhenEditingBegan) {
    TInplaceEditor& editor = Edit(2, 2);
    Type("new text");
    EXPECT_EQ(editor.Text(), "new text");
    editor.Reset();
    EXPECT_EQ(editor.Text(), "R2 C2");
    Type("other");
    Key(VK_ESCAPE);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(stores, 0);
    TDrawStruct ds;
    grid->CalcDrawStruct(ds, 2, 2);
    EXPECT_EQ(ds.Text, "R2 C2");
}

TEST_F(InplaceEditorTest, CellsThatMayNotChangeOrTakeACharacter) {
    TInplaceEditor& editor = Edit(2, 2);
    grid->Modifiable = false;
    CaretTo(2);
    Type("x");
    Key(VK_BACK);
    Key(VK_DELETE);
    EXPECT_EQ(editor.Text(), "R2 C2") << "neither typing nor deleting changes it";
    SendMessageW(editor.Handle(), EM_SETSEL, 0, 2);
    Key('X', {VK_CONTROL});
    Key('V', {VK_CONTROL});
    Key(VK_INSERT, {VK_SHIFT});
    SendMessageW(editor.Handle(), WM_CLEAR, 0, 0);
    EXPECT_EQ(editor.Text(), "R2 C2") << "nor the clipboard commands";
    grid->Modifiable = true;
    grid->AcceptedKeys = "0123456789";
    SendMessageW(editor.Handle(), EM_SETSEL, 0, -1);
    Type("a1b2");
    EXPECT_EQ(editor.Text(), "12") << "characters the grid does not accept are dropped";
}

TEST_F(InplaceEditorTest, MaskedCellsOfTheCalendarsDateColumn) {
    grid->OnGetEditMask = [](TControl&, int32_t col, int32_t, std::string& mask) {
        if (col == 1) mask = "00.00-00.00";
        if (col == 4) mask = "0000-0000";
    };
    texts[{1, 3}] = "24122612";
    texts[{4, 3}] = "1998";
    TInplaceEditor& editor = Edit(1, 3);
    EXPECT_TRUE(editor.IsMasked());
    EXPECT_EQ(editor.EditText(), "24.12-26.12");
    CaretTo(6);
    Type("31");
    Key(VK_RETURN);
    EXPECT_EQ(Stored(1, 3), "24.12-31.12") << "stored with its literals";
    Edit(4, 3);
    EXPECT_EQ(grid->InplaceEditor()->EditText(), "1998-____");
    CaretTo(5);
    Type("2001");
    Key(VK_RETURN);
    EXPECT_EQ(Stored(4, 3), "1998-2001");
    // Another column has no mask.
    Edit(2, 3);
    EXPECT_FALSE(grid->InplaceEditor()->IsMasked());
}

TEST_F(InplaceEditorTest, APickListOfOneItemIsTwoItemsHighBelowTheEditor) {
    grid->OnUpdateEditor = [](TControl&, TCustomInplaceEditor& editor) {
        if (auto* e = dynamic_cast<TInplaceEditor*>(&editor)) e->SetPickItems({"only"});
    };
    TInplaceEditor& editor = Edit(2, 3);
    ASSERT_TRUE(editor.ButtonVisible());
    EXPECT_TRUE(editor.Button().Visible());
    EXPECT_EQ(editor.Button().BoundsRect().right, editor.ClientWidth()) << "at the editor's right edge";
    ClickButton();
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    EXPECT_EQ(TInplaceEditor::OpenEditor(), &editor);
    EXPECT_TRUE(IsTrackingControl(&editor)) << "the mouse hook watches while the list is open";
    const RECT list = ListRect();
    EXPECT_EQ(list.bottom - list.top, 2 * editor.ItemHeight() + 2);
    RECT edit;
    GetWindowRect(editor.Handle(), &edit);
    EXPECT_EQ(list.top, edit.bottom) << "below the editor";
    EXPECT_EQ(list.right - list.left, edit.right - edit.left) << "as wide as the editor";
    EXPECT_EQ(GetFocus(), editor.Handle()) << "the editor keeps the focus";
    // The button closes it again.
    ClickButton();
    EXPECT_TRUE(WaitFor([&] { return !ListShown(); }));
    EXPECT_FALSE(IsTrackingControl(&editor));
    EXPECT_EQ(editor.Text(), "R3 C2");
}

TEST_F(InplaceEditorTest, ListsAreCutToAQuarterOfTheScreenAndGoAboveNearTheBottom) {
    std::vector<std::string> many;
    for (int i = 0; i < 200; ++i) many.push_back("item " + std::to_string(i));
    grid->OnUpdateEditor = [&](TControl&, TCustomInplaceEditor& editor) {
        if (auto* e = dynamic_cast<TInplaceEditor*>(&editor)) e->SetPickItems(many);
    };
    TInplaceEditor& editor = Edit(2, 3);
    ClickButton();
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    const int quarter = GetSystemMetrics(SM_CYSCREEN) / 4;
    const int height = ListRect().bottom - ListRect().top;
    EXPECT_EQ(height, quarter / editor.ItemHeight() * editor.ItemHeight() + 2);
    Key(VK_ESCAPE);
    EXPECT_FALSE(ListShown());
    EXPECT_TRUE(EditorShown()) << "Esc closes the list first";
    Key(VK_ESCAPE);
    // An editor near the bottom of the screen opens its list above itself.
    form->SetTop(GetSystemMetrics(SM_CYSCREEN) - form->Height() + 20);
    WaitForInputHandled();
    const int32_t row = grid->TopRow() + grid->VisibleRowCount() - 2;
    TInplaceEditor& low = Edit(2, row);
    ClickButton();
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    RECT edit;
    GetWindowRect(low.Handle(), &edit);
    EXPECT_EQ(ListRect().bottom, edit.top) << "above the editor";
}

TEST_F(InplaceEditorTest, PickingAnItemWithTheMouseOrTheKeys) {
    int accepted = -1;
    bool useEvent = false;
    grid->OnUpdateEditor = [&](TControl&, TCustomInplaceEditor& editor) {
        auto* e = dynamic_cast<TInplaceEditor*>(&editor);
        e->SetPickItems({"Feiertag", "Ferien", "Geburtstag", "Anderer"});
        if (useEvent) e->OnAccept = [&](TControl&, int index) { accepted = index; };
    };
    TInplaceEditor& editor = Edit(2, 3);
    ClickButton();
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    auto* list = dynamic_cast<TPopupListBox*>(editor.PickList());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->ItemIndex(), -1) << "no item equals the text";
    Shot(form->Handle(), "grid_editor_pick_list");
    // A click on the third item takes it into the cell.
    const RECT item = list->ItemRect(2);
    ClickAt(*list, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    EXPECT_TRUE(WaitFor([&] { return !ListShown(); }));
    EXPECT_EQ(editor.Text(), "Geburtstag");
    EXPECT_EQ(Stored(2, 3), "Geburtstag") << "applied to the cell";
    EXPECT_EQ(GetFocus(), editor.Handle());
    // The keys: the list opens on the current text's item, Down moves, Enter takes.
    Key(VK_DOWN, {VK_MENU});
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    EXPECT_EQ(list->ItemIndex(), 2);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(editor.Text(), "Anderer");
    EXPECT_TRUE(EditorShown()) << "Enter in the list does not end the editing";
    // With an accept event the owner decides.
    Key(VK_ESCAPE);
    useEvent = true;
    Edit(2, 4);
    Key(VK_F4);
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    Key(VK_DOWN);
    auto* second = dynamic_cast<TPopupListBox*>(grid->InplaceEditor()->PickList());
    const int shown = second->ItemIndex();
    EXPECT_GE(shown, 0);
    Key(VK_RETURN);
    EXPECT_EQ(accepted, shown);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "R4 C2") << "the event took the item, not the text";
}

TEST_F(InplaceEditorTest, AClickOutsideClosesTheListWithoutChangingTheText) {
    grid->OnUpdateEditor = [](TControl&, TCustomInplaceEditor& editor) {
        dynamic_cast<TInplaceEditor&>(editor).SetPickItems({"one", "two", "three"});
    };
    TInplaceEditor& editor = Edit(2, 3);
    Type("typed");
    ClickButton();
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    // A press on the form beside the grid.
    ClickAt(*form, form->ClientWidth() - 4, form->ClientHeight() - 4);
    EXPECT_TRUE(WaitFor([&] { return !ListShown(); }));
    EXPECT_EQ(editor.Text(), "typed");
    EXPECT_FALSE(IsTrackingControl(&editor));
    // Hiding the editor with an open list takes the hook away too, and clears the list.
    ClickButton();
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    grid->HideEditor();
    EXPECT_FALSE(ListShown());
    EXPECT_FALSE(IsTrackingControl(&editor));
    EXPECT_EQ(editor.PickListBox().Count(), 0);
    EXPECT_FALSE(editor.ButtonVisible());
    EXPECT_EQ(Stored(2, 3), "typed");
    // So does destroying the grid.
    ClickCell(2, 4);
    Key(VK_F2);
    const int tracked = TrackingList().Count();
    ClickButton();
    ASSERT_TRUE(WaitFor([&] { return ListShown(); }));
    ASSERT_NE(TInplaceEditor::OpenEditor(), nullptr);
    EXPECT_EQ(TrackingList().Count(), tracked + 1);
    delete grid;
    grid = nullptr;
    EXPECT_EQ(TInplaceEditor::OpenEditor(), nullptr);
    EXPECT_EQ(TrackingList().Count(), tracked);
}

TEST_F(InplaceEditorTest, WithoutAGridTheCellIsMinusOne) {
    TCustomInplaceEditor editor(nullptr);
    EXPECT_EQ(editor.Col(), -1);
    EXPECT_EQ(editor.Row(), -1);
}

}  // namespace
