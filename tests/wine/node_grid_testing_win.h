// Helpers of the node grid's Wine tests: a node class that records the grid's messages and
// answers some of them, trees generated from an indented outline, and a form with a node grid
// set up as the quick-text window sets up its tree (one column, tree lines, plus/minus,
// pictures, tree keys), driven with real mouse and key input.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "grid/inplace_editor_win.h"
#include "grid/node_grid_win.h"
#include "grid/node_rows.h"
#include "nodes/node_registry.h"
#include "tests/wine/widgets_testing_win.h"
#include "winui/form_win.h"
#include "winui/menu_win.h"

// Records the grid-to-node messages it gets (not those of drawing) and answers those a test
// sets. Leaves show the page picture, nodes with children the folders.
class TProbeNode : public TNode {
public:
    static const TNodeClassInfo& StaticClass() {
        static const TNodeClassInfo info = MakeNodeClass<TProbeNode>("TProbeNode", &TNode::StaticClass(), {});
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }

    void UpdateBitmap() override {
        if (Bitmap() >= 0) return;
        SetBitmap(!HasChildren() ? PictLeafId : State().Has(nsFocused) ? PictOpenId : PictCloseId);
    }
    void Dispatch(TNodeMessage& message) override {
        if (!IsDrawingMessage(message.Msg) && message.Msg >= 0xA00) Received.push_back(message.Msg);
        if (message.Msg == NM_NODEMENU && !MenuItems.empty()) {
            auto* items = reinterpret_cast<TMenuItem*>(message.LParam);
            for (const std::string& caption : MenuItems) {
                auto* item = new TMenuItem(nullptr);
                item->SetCaption(caption);
                item->OnClick = [this, caption](TMenuItem&) { Chosen.push_back(caption); };
                items->Add(item);
            }
            message.Result = 1;
            return;
        }
        const auto answer = Answers.find(message.Msg);
        if (answer != Answers.end()) {
            message.Result = answer->second;
            if (message.Msg == NM_GRIDKEYPRESS && message.LParam && answer->second == 0)
                reinterpret_cast<TGridKeyPressInfo*>(message.LParam)->Key = 0;
            return;
        }
        if (message.Msg == NM_NODEROWHEIGHT && RowHeight > 0) {
            message.Result = RowHeight;
            return;
        }
        TNode::Dispatch(message);
    }
    static bool IsDrawingMessage(unsigned msg) {
        return msg == NM_NODEDRAWINFO || msg == NM_GRIDCALCDRAW || msg == NM_GRIDDRAWCELL || msg == NM_GRIDROWCOLOR ||
               msg == NM_NODEROWHEIGHT || msg == NM_GRIDNODEWIDTH || msg == NM_GRIDMOUSEMOVE;
    }
    int Count(unsigned msg) const { return static_cast<int>(std::count(Received.begin(), Received.end(), msg)); }

    std::vector<unsigned> Received;
    std::map<unsigned, intptr_t> Answers;
    std::vector<std::string> MenuItems;
    std::vector<std::string> Chosen;
    intptr_t RowHeight = 0;
};

// A node that accepts no children of its own kind (class rules for drops).
class TLeafOnlyNode : public TProbeNode {
public:
    static const TNodeClassInfo& StaticClass() {
        static const TNodeClassInfo info = MakeNodeClass<TLeafOnlyNode>("TLeafOnlyNode", &TProbeNode::StaticClass(), {});
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
    bool CanAccept(const TNode* child) const override { return !dynamic_cast<const TLeafOnlyNode*>(child); }
};

inline void RegisterProbeNodes() {
    RegisterNodeClasses({&TProbeNode::StaticClass(), &TLeafOnlyNode::StaticClass()});
}

inline TProbeNode* NewProbe(const std::string& text, bool editable = true) {
    auto* node = TNode::Create<TProbeNode>(text);
    if (editable) node->SetState(node->State() - nsReadOnly);
    return node;
}

// Builds the tree of an outline below Parent: one node per line, indented by one space per
// level; a line ending in "+" is expanded. Nodes keep the outline's order.
inline std::map<std::string, TProbeNode*> BuildOutline(TNode* parent, const std::string& outline) {
    std::map<std::string, TProbeNode*> nodes;
    std::vector<TNode*> levels{parent};
    std::istringstream lines(outline);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        const size_t level = line.find_first_not_of(' ');
        std::string text = line.substr(level);
        const bool expanded = text.back() == '+';
        if (expanded) text.pop_back();
        TProbeNode* node = NewProbe(text);
        levels.resize(level + 1);
        levels.back()->InsertNode(-1, node, imChild | imLast);
        if (expanded) node->SetState(node->State() + nsExpanded);
        nodes[text] = node;
        levels.push_back(node);
    }
    return nodes;
}

// The texts of the grid's tree rows, and those a recount of the tree gives.
inline std::vector<std::string> RowTexts(TCustomNodeGrid& grid) {
    std::vector<std::string> texts;
    for (int32_t row = grid.FixedRows(); row < grid.RowCount(); ++row) {
        TNode* node = grid.NodeAtRow(row);
        texts.push_back(node ? node->Text() : "<none>");
    }
    return texts;
}

inline std::vector<std::string> ShownTexts(TCustomNodeGrid& grid) {
    std::vector<std::string> texts;
    for (TNode* node : TNodeRows::Recount(grid.RootNode(), grid.GridOptions().Has(noDrawTreeRoot)))
        texts.push_back(node->Text());
    if (texts.empty()) texts.push_back("<none>");
    return texts;
}

// A form with a one-column node grid of probe nodes, set up like the quick-text window's tree.
class NodeGridFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterProbeNodes();
        form = new TForm(Application);
        form->SetBorderStyle(bsSingle);
        form->SetBounds(80, 60, 320, 420);
        form->SetCaption("Node grid");
        grid = MakeGrid(form, 8, 8, 290, 370);
        grid->OnCreateRoot = [](TControl&) -> TNode* { return NewProbe("Root", false); };
    }
    void TearDown() override {
        MouseButton(false);
        MouseButton(false, true);
        for (WORD key : {VK_SHIFT, VK_CONTROL, VK_MENU}) KeyInput(key, false);
        delete form;
        PumpUntil(50);
    }
    static TNodeGrid* MakeGrid(TForm* owner, int left, int top, int width, int height) {
        auto* g = new TNodeGrid(owner);
        g->SetParent(owner);
        g->SetBounds(left, top, width, height);
        g->SetColCount(1);
        g->SetFixedCols(0);
        g->SetFixedRows(0);
        g->SetDefaultRowHeight(18);
        g->SetGridLineWidth(0);
        g->SetScrollBars(ssVertical);
        g->SetSpacing(16);
        g->SetGridOptions(TNodeGridOptions{noDrawPicture, noDrawTree, noDrawPlusMinus, noHandleTreeKeys});
        g->SetOptions(g->Options() + goThumbTracking);
        return g;
    }
    // Fills the grid's tree, shows the form and gives the grid the focus.
    void Show(const std::string& outline) {
        nodes = BuildOutline(grid->RootNode(), outline);
        form->Show();
        WaitFor([&] { return GetForegroundWindow() == form->Handle(); });
        grid->SetFocus();
        // Wine takes the key state from the X server when the window gets the X focus, which
        // would drop a modifier held by input sent later: let that happen first.
        PumpUntil(300);
        WaitForInputHandled();
    }
    TProbeNode* N(const std::string& text) {
        const auto found = nodes.find(text);
        EXPECT_NE(found, nodes.end()) << text;
        return found == nodes.end() ? nullptr : found->second;
    }
    // Centres of a node's parts in the grid's client coordinates.
    POINT PartCentre(TNode* node, TNodeParts part) {
        const RECT r = grid->GetNodeRect(node, -1, part);
        EXPECT_LT(r.left, r.right) << node->Text();
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    POINT TextPoint(TNode* node) { return PartCentre(node, ppText); }
    POINT ButtonPoint(TNode* node) { return PartCentre(node, ppButton); }
    // A click of its own: a click close after the last one at the same place waits out the
    // double-click time first.
    void Click(POINT p, bool right = false) {
        const DWORD doubleClick = GetDoubleClickTime() + 80;
        if (GetTickCount() - lastClick < doubleClick) PumpUntil(doubleClick - (GetTickCount() - lastClick));
        MouseAt(*grid, p.x, p.y);
        MouseButton(true, right);
        WaitForInputHandled();
        MouseButton(false, right);
        WaitForInputHandled();
        lastClick = GetTickCount();
    }
    void Key(WORD key, std::vector<WORD> modifiers = {}) {
        if (!modifiers.empty()) PumpUntil(30);
        ChordKey(modifiers, key);
        WaitForInputHandled();
    }
    bool EditorShown() {
        TInplaceEditor* editor = grid->InplaceEditor();
        return editor && editor->HandleAllocated() && IsWindowVisible(editor->Handle());
    }

    TForm* form = nullptr;
    TNodeGrid* grid = nullptr;
    std::map<std::string, TProbeNode*> nodes;
    DWORD lastClick = 0;
};

// A tree of groups with items a few levels deep.
inline const char* const SampleOutline =
    "Angebote+\n"
    " Anfrage\n"
    " Auftrag+\n"
    "  Bestellung\n"
    "  Lieferung\n"
    " Dank\n"
    "Briefe\n"
    " Einladung\n"
    " Erinnerung\n"
    "Kunden+\n"
    " Mahnung\n"
    " Notiz+\n"
    "  Rechnung\n"
    "Termine\n";
