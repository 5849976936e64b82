// The fixture of the main window's Wine tests: a program folder of its own, the window made with
// the plain outline in place of the node grid, shown and active, and helpers that answer the
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
#include "app/outline_grid_win.h"
#include "tests/wine/program_folder_test_win.h"
#include "tests/wine/widgets_testing_win.h"
#include "widgets/app_services.h"
#include "widgets/application_hook_win.h"
#include "widgets/message_form_win.h"
#include "winui/application_win.h"

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
        window = NewForm<TVarnoletWin>(Application, argument, TLibraryGridFactory(MakeOutlineGrid));
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

    TOutlineGrid& Outline() { return static_cast<TOutlineLibraryGrid*>(window->Grid)->Outline(); }
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

    // The row of Node in the outline, clicked with the real mouse.
    void ClickNode(TNode* node) {
        const RECT cell = Outline().CellRect(0, node->VisibleIndex());
        ClickAt(Outline(), cell.left + 30, (cell.top + cell.bottom) / 2);
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
