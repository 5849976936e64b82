// The fixture of the main window's Wine tests: a program folder of its own, the window made with
// its node grid wrapped to count what the window asks of it, shown and active, and helpers that answer the
// program's message dialog with real input.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/text_node.h"
#include "app/varnolet_win.h"
#include "base/program.h"
#include "config/configuration.h"
#include "nodes/node_stream.h"
#include "pictures/picture_list_win.h"
#include "app/library_node_grid_win.h"
#include "grid/grid_base_win.h"
#include "tests/wine/program_folder_test_win.h"
#include "tests/wine/widgets_testing_win.h"
#include "widgets/app_services.h"
#include "widgets/application_hook_win.h"
#include "widgets/message_form_win.h"
#include "winui/application_win.h"

// The window's tree control wrapped so that a test sees what the window asks of it: every call
// is passed on, the delete and new-entry brackets are counted.
class TCountingGrid : public TLibraryGrid {
public:
    explicit TCountingGrid(std::unique_ptr<TLibraryGrid> inner) : inner_(std::move(inner)) {
        inner_->OnNodeFocused = [this] {
            if (OnNodeFocused) OnNodeFocused();
        };
        inner_->OnNodeChanged = [this](TNode* node, TNodeCode code, intptr_t param) {
            if (OnNodeChanged) OnNodeChanged(node, code, param);
        };
        inner_->OnCreateRoot = [this]() -> TNode* { return OnCreateRoot ? OnCreateRoot() : nullptr; };
        inner_->OnCalcDrawStruct = [this](TDrawStruct& ds, TNode* node, TColor& color) {
            if (OnCalcDrawStruct) OnCalcDrawStruct(ds, node, color);
        };
    }

    int BeginDeletes = 0;
    int EndDeletes = 0;
    int OpenNewEntries = 0;

    TWinControl& Control() override { return inner_->Control(); }
    TNode* RootNode() override { return inner_->RootNode(); }
    std::unique_ptr<TNode> ReplaceRoot(std::unique_ptr<TNode> root) override { return inner_->ReplaceRoot(std::move(root)); }
    TNode* FocusedNode() override { return inner_->FocusedNode(); }
    void SetFocusedNode(TNode* node) override { inner_->SetFocusedNode(node); }
    TNode* SelectedNode() override { return inner_->SelectedNode(); }
    void FocusNode(TNode* node) override { inner_->FocusNode(node); }
    TNode* NodeAt(int x, int y) override { return inner_->NodeAt(x, y); }
    TNode* MenuNode() override { return inner_->MenuNode(); }
    bool Editing() override { return inner_->Editing(); }
    void BeginDeleteNode() override {
        ++BeginDeletes;
        inner_->BeginDeleteNode();
    }
    void EndDeleteNode() override {
        ++EndDeletes;
        inner_->EndDeleteNode();
    }
    void BeginNewEntry() override {
        ++OpenNewEntries;
        inner_->BeginNewEntry();
    }
    void EndNewEntry() override {
        --OpenNewEntries;
        inner_->EndNewEntry();
    }
    void SetPictures(TPictureList* pictures) override { inner_->SetPictures(pictures); }
    void SetNodeMenu(TPopupMenu* menu) override { inner_->SetNodeMenu(menu); }
    void PicturesChanged() override { inner_->PicturesChanged(); }
    void Redraw() override { inner_->Redraw(); }

private:
    std::unique_ptr<TLibraryGrid> inner_;
};

class VarnoletWindowTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        ProgramMessages().clear();
        // As the program does at its start.
        RegisterTextNodeClasses();
        RegisterPictureClasses();
    }
    void TearDown() override {
        MouseButton(false);
        SetMessageDialogObserver(nullptr);
        delete window;
        window = nullptr;
        SetShowShortCuts(true);
        WaitForInputHandled();
        ProgramFolderTest::TearDown();
    }

    // Makes the window (not yet shown) with Argument as the program's first argument.
    TVarnoletWin& Make(const std::string& argument = std::string()) {
        window = NewForm<TVarnoletWin>(Application, argument, TLibraryGridFactory([](TWin95Form& form) {
                                           return std::make_unique<TCountingGrid>(MakeLibraryNodeGrid(form));
                                       }));
        return *window;
    }
    // Makes and shows it, and waits until it is the active window.
    TVarnoletWin& Start(const std::string& argument = std::string()) {
        Make(argument);
        window->Show();
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == window->Handle(); }));
        WaitForInputHandled();
        return *window;
    }
    // Closes it as the user does (the close query saves) and frees it, then writes the settings
    // as the program end does.
    void CloseAndEnd() {
        window->Close();
        WaitForInputHandled();
        delete window;
        window = nullptr;
        FreeConfiguration();
    }

    TCountingGrid& Counted() { return *static_cast<TCountingGrid*>(window->Grid); }
    TNewCustomGrid& GridControl() { return dynamic_cast<TNewCustomGrid&>(window->Grid->Control()); }
    // A point on the text of Node's row, in the grid's client coordinates.
    POINT TextPoint(TNode* node) {
        const RECT cell = GridControl().CellRect(0, node->VisibleIndex());
        return POINT{cell.left + 16 * (node->Level() + 2) + 6, (cell.top + cell.bottom) / 2};
    }
    TNode* Root() { return window->Grid->RootNode(); }

    // The next message dialog is answered by a real click on Button once it is up.
    void AnswerNextDialog(TMsgDlgBtn button) {
        SetMessageDialogObserver([this, button](TMessageForm& form) {
            ++dialogs;
            Later([&form, button] { ClickAt(*form.Button(button), 8, 8); }, 50, [&form] {
                return form.HandleAllocated() && IsWindowVisible(form.Handle()) &&
                       GetForegroundWindow() == form.Handle();
            });
        });
    }

    // The text of Node in the grid, clicked with the real mouse.
    void ClickNode(TNode* node) {
        const POINT point = TextPoint(node);
        ClickAt(GridControl(), point.x, point.y);
    }
    // A right click on Node's text, which opens the entry menu.
    void RightClickNode(TNode* node) {
        const POINT point = TextPoint(node);
        MouseAt(GridControl(), point.x, point.y);
        MouseButton(true, true);
        MouseButton(false, true);
    }

    std::filesystem::path File(const std::string& extension) { return dir / ("Varnolet" + extension); }

    TVarnoletWin* window = nullptr;
    int dialogs = 0;
};

// Entries by text below Parent, in their order.
inline std::vector<std::string> ChildTexts(TNode* parent) {
    std::vector<std::string> texts;
    for (int i = 0; i < parent->ChildCount(); ++i) texts.push_back(parent->Child(i)->Text());
    return texts;
}

// A library file of a top node with the given groups, each holding one item named after it.
inline void WriteLibrary(const std::filesystem::path& file, const std::vector<std::string>& groups) {
    std::unique_ptr<TTextNode> top(TTextNode::CreateTop());
    for (const std::string& name : groups) {
        TTextGroup* group = TTextNode::CreateNew<TTextGroup>();
        group->SetText(name);
        group->SetParent(top.get());
        TTextData* item = TTextNode::CreateNew<TTextData>();
        item->SetText(name + " item");
        item->SetParent(group);
    }
    SaveToFile(top.get(), file.string());
}
