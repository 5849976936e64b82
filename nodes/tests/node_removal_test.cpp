// What the tree tells when a node leaves it: the control that shows the tree and the listeners
// of its top node hear the removal of a detached, deleted, cleared or moved node; each listener
// of a destroyed node hears it once. Also copying from a node of the own subtree, and the depth
// a tree may reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "base/string_ids.h"
#include "nodes/change_link.h"
#include "nodes/node.h"

namespace {

using NodePtr = std::unique_ptr<TNode>;

TNode* AddTo(TNode* parent, const std::string& text) {
    TNode* child = TNode::Create<TNode>(text);
    parent->InsertNode(-1, child, imChild | imIntoSelf | imLast);
    return child;
}

// The control of a grid: the tree's root points to it and it receives NM_NODECHANGED.
class TRemovalControl : public TNodeControl {
public:
    intptr_t NodeMessage(TNode* node, unsigned msg, intptr_t wParam, intptr_t lParam) override {
        if (msg == NM_NODECHANGED) {
            const auto* change = reinterpret_cast<const TNodeChange*>(lParam);
            if (change->Code == ncRemoved) removed.push_back(*change);
        }
        return 0;
    }
    std::vector<TNodeChange> removed;
};

// A shown tree: root (the control root, expanded) with a, b (expanded, holding b1, b2) and c.
struct TShownTree {
    TShownTree() : root(TNode::Create<TNode>("root")) {
        root->SetNodeData(static_cast<TNodeControl*>(&control));
        root->SetState(root->State() + nsRoot);
        AddTo(root.get(), "a");
        TNode* b = AddTo(root.get(), "b");
        AddTo(b, "b1");
        AddTo(b, "b2");
        AddTo(root.get(), "c");
        b->Expand(false);
    }
    TNode* Find(const std::string& path) { return root->FindPath(path, false); }

    TRemovalControl control;
    NodePtr root;
};

struct TRemovalCase {
    const char* name;
    const char* path;  // the node that leaves, below the root
    int row;           // its visible row before
    int heardRow;      // the row the removal reports
    std::function<void(TShownTree&, TNode*)> remove;
};

void PrintTo(const TRemovalCase& c, std::ostream* os) { *os << c.name; }

class NodeRemovalControlTest : public ::testing::TestWithParam<TRemovalCase> {};

NodePtr elsewhere;  // a second tree that nodes are moved into

}  // namespace

TEST_P(NodeRemovalControlTest, TheControlRootHearsTheRemovalWithTheFormerRow) {
    const TRemovalCase& c = GetParam();
    TShownTree tree;
    TNode* node = tree.Find(std::string("root\\") + c.path);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->VisibleIndex(), c.row);
    tree.control.removed.clear();
    c.remove(tree, node);
    const auto heard = std::find_if(tree.control.removed.begin(), tree.control.removed.end(),
                                    [node](const TNodeChange& change) { return change.Node == node; });
    ASSERT_NE(heard, tree.control.removed.end());
    EXPECT_EQ(heard->Param, c.heardRow);
    EXPECT_EQ(tree.root->Count() + 1, [&] {
        int n = 0;
        tree.root->ForEach([&n](TNode*) { return ++n, false; }, feSelf | feCollapsed);
        return n;
    }());
    elsewhere.reset();
}

INSTANTIATE_TEST_SUITE_P(
    Removals, NodeRemovalControlTest,
    ::testing::Values(
        TRemovalCase{"Detach", "c", 5, 5, [](TShownTree&, TNode* n) { n->SetParent(nullptr); delete n; }},
        TRemovalCase{"Delete", "b\\b2", 4, 4, [](TShownTree&, TNode* n) { delete n; }},
        // Clear collapses the parent first, so its children are no longer shown.
        TRemovalCase{"ClearOfItsParent", "b\\b2", 4, -1, [](TShownTree& t, TNode*) { t.Find("root\\b")->Clear(); }},
        TRemovalCase{"MoveToAnotherTree", "a", 1, 1,
                     [](TShownTree&, TNode* n) {
                         elsewhere.reset(TNode::Create<TNode>("other"));
                         n->SetParent(elsewhere.get());
                     }},
        TRemovalCase{"MoveToAnotherParent", "b\\b1", 3, 3,
                     [](TShownTree& t, TNode* n) { n->SetParent(t.Find("root\\c")); }}),
    [](const ::testing::TestParamInfo<TRemovalCase>& info) { return std::string(info.param.name); });

namespace {

struct TTopCall {
    TNode* node;
    TNodeCode code;
};

class TTopListener {
public:
    void Changed(TNode*, TNode* node, intptr_t, TNodeCode code) { calls.push_back({node, code}); }
    TNodeChangeEvent Event() { return ChangeEvent<TTopListener, &TTopListener::Changed>(this); }
    int RemovalsOf(const TNode* node) const {
        int n = 0;
        for (const TTopCall& c : calls) n += c.node == node && c.code == ncRemoved;
        return n;
    }
    std::vector<TTopCall> calls;
};

}  // namespace

TEST(NodeRemoval, ListenersOfTheTopHearThatANotifyingChildWent) {
    NodePtr top(TNode::Create<TNode>("top"));
    TTopListener listener;
    ASSERT_TRUE(RegisterChange(top.get(), listener.Event()));
    TNode* group = AddTo(top.get(), "group");
    TNode* detached = AddTo(group, "detached");
    TNode* deleted = AddTo(group, "deleted");
    for (TNode* n : {detached, deleted}) n->SetOption(n->Option() + noNotifyRoot);
    listener.calls.clear();

    detached->SetParent(nullptr);
    EXPECT_EQ(listener.RemovalsOf(detached), 1);
    delete deleted;
    EXPECT_EQ(listener.RemovalsOf(deleted), 1);
    // Once free, the node has no top of its own any more.
    listener.calls.clear();
    detached->SetText("free");
    EXPECT_TRUE(listener.calls.empty());
    delete detached;
    UnregisterChange(top.get(), listener.Event());
}

TEST(NodeRemoval, EachListenerOfADestroyedNodeHearsItOnce) {
    NodePtr top(TNode::Create<TNode>("top"));
    TNode* child = AddTo(top.get(), "child");
    TTopListener first, second;
    RegisterChange(child, first.Event());
    RegisterChange(child, second.Event());
    delete child;
    EXPECT_EQ(first.RemovalsOf(child), 1);
    EXPECT_EQ(second.RemovalsOf(child), 1);
    // A moved node is not destroyed: its listeners hear the removal and the insertion.
    TNode* moved = AddTo(top.get(), "moved");
    TNode* target = AddTo(top.get(), "target");
    RegisterChange(moved, first.Event());
    first.calls.clear();
    moved->SetParent(target);
    EXPECT_EQ(first.RemovalsOf(moved), 1);
    ASSERT_EQ(first.calls.size(), 2u);
    EXPECT_EQ(first.calls[1].code, ncInserted);
    UnregisterChange(moved, first.Event());
}

TEST(NodeAssignFromSubtree, CopiesAChildOrGrandchildIntoItsOwnAncestor) {
    struct TCase {
        const char* path;
        std::vector<std::string> children;
        int count;
    };
    for (const TCase& c : {TCase{"top\\a", {"a1", "a2"}, 3}, TCase{"top\\a\\a1", {"deep"}, 1}}) {
        SCOPED_TRACE(c.path);
        NodePtr top(TNode::Create<TNode>("top"));
        TNode* a = AddTo(top.get(), "a");
        TNode* a1 = AddTo(a, "a1");
        AddTo(a1, "deep");
        AddTo(a, "a2");
        AddTo(top.get(), "b");
        TNode* source = top->FindPath(c.path, false);
        ASSERT_NE(source, nullptr);
        source->SetValue("Key", TNodeValue::Of(std::string("value")));

        top->Assign(source);  // the copy frees the source; nothing may touch it afterwards
        ASSERT_EQ(top->ChildCount(), int(c.children.size()));
        for (int i = 0; i < top->ChildCount(); ++i) EXPECT_EQ(top->Child(i)->Text(), c.children[size_t(i)]);
        EXPECT_EQ(top->Count(), c.count);
        TNodeValue value = TNodeValue::Of(std::string());
        top->GetValue("Key", value);
        EXPECT_EQ(value.String, "value");
        EXPECT_TRUE(top->State().Has(nsCopied));
    }
}

TEST(NodeDepth, NothingIsBuiltDeeperThanAFileCanHold) {
    NodePtr top(TNode::Create<TNode>("0"));
    TNode* last = top.get();
    for (int i = 1; i < MaxNodeLevels; ++i) last = AddTo(last, std::to_string(i));
    EXPECT_EQ(SubtreeLevels(top.get()), MaxNodeLevels);

    // One more level below the deepest node.
    NodePtr extra(TNode::Create<TNode>("extra"));
    EXPECT_FALSE(TNode::CheckInsert(last, extra.get(), false));
    try {
        last->InsertNode(-1, extra.get(), imChild | imIntoSelf);
        ADD_FAILURE() << "inserted";
    } catch (const ENodeError& e) {
        EXPECT_EQ(e.Id(), sid::NodeTooDeep);
        EXPECT_NE(e.Message().find("256"), std::string::npos);
    }
    EXPECT_EQ(extra->Parent(), nullptr);
    EXPECT_EQ(last->ChildCount(), 0);
    EXPECT_THROW(extra->SetParent(last), ENodeError);

    // A subtree of two levels fits two levels above the bottom, not one.
    TNode* sub = AddTo(extra.get(), "below extra");
    (void)sub;
    TNode* third = last->Parent()->Parent();
    EXPECT_TRUE(TNode::CheckInsert(third, extra.get(), false));
    EXPECT_FALSE(TNode::CheckInsert(last->Parent(), extra.get(), false));
    EXPECT_EQ(top->Count(), MaxNodeLevels - 1);

    // Nodes being read are left to the reader, which limits the nesting itself: they carry
    // nsLoading, or nsSaving from the state stored with them.
    for (TNodeStateItem reading : {nsLoading, nsSaving}) {
        NodePtr read(TNode::Create<TNode>("read"));
        read->SetStateDirect(read->State() + reading);
        EXPECT_TRUE(TNode::CheckInsert(last, read.get(), false)) << int(reading);
    }
}
