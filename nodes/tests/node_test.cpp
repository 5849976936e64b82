// Behaviour of the node model: creation defaults, the state setter and the running counters,
// placement and sorted insertion, walking, paths, typed values, sorting and notification.
#include <gtest/gtest.h>

#include <random>

#include "base/string_ids.h"
#include "base/strings.h"
#include "nodes/node.h"

namespace {

// A group accepts only groups (its ChildNodeClass is its own class); an item may go anywhere.
class TGroupNode : public TNode {
public:
    static const TNodeClassInfo& StaticClass() {
        static const TNodeClassInfo info = MakeNodeClass<TGroupNode>("TGroupNode", &TNode::StaticClass(), {});
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

class TItemNode : public TNode {
public:
    static const TNodeClassInfo& StaticClass() {
        static const TNodeClassInfo info = MakeNodeClass<TItemNode>("TItemNode", &TNode::StaticClass(), {});
        return info;
    }
    const TClassInfo& ClassType() const override { return StaticClass(); }
};

// Records every change the nodes report, as the change link would see them.
class TRecordingSink : public TNodeChangeSink {
public:
    struct Event {
        TNode* node;
        TNodeCode code;
        intptr_t param;
        TNode* root;
    };
    TRecordingSink() { previous_ = SetNodeChangeSink(this); }
    ~TRecordingSink() override { SetNodeChangeSink(previous_); }
    void NotifyChange(TNode* node, TNodeCode code, intptr_t param) override {
        events.push_back({node, code, param, nullptr});
    }
    void NotifyRootChange(TNode* root, TNode* node, intptr_t param, TNodeCode code) override {
        events.push_back({node, code, param, root});
    }
    void RemoveNode(TNode* node) override { removed.push_back(node); }
    std::vector<Event> Of(TNodeCode code) const {
        std::vector<Event> result;
        for (const Event& e : events)
            if (e.code == code) result.push_back(e);
        return result;
    }
    std::vector<Event> events;
    std::vector<TNode*> removed;

private:
    TNodeChangeSink* previous_;
};

class TRecordingControl : public TNodeControl {
public:
    intptr_t NodeMessage(TNode* node, unsigned msg, intptr_t wParam, intptr_t lParam) override {
        messages.push_back({node, msg, wParam});
        if (msg == NM_NODECHANGED) changes.push_back(*reinterpret_cast<const TNodeChange*>(lParam));
        return 42;
    }
    struct Message {
        TNode* node;
        unsigned msg;
        intptr_t wParam;
    };
    std::vector<Message> messages;
    std::vector<TNodeChange> changes;  // of NM_NODECHANGED
};

std::unique_ptr<TNode> NewNode(const std::string& text = "") {
    return std::unique_ptr<TNode>(TNode::Create<TNode>(text));
}

TNode* AddChild(TNode* parent, const std::string& text) {
    TNode* child = TNode::Create<TNode>(text);
    child->SetParent(parent);
    return child;
}

std::vector<std::string> ChildTexts(const TNode* node) {
    std::vector<std::string> texts;
    for (int i = 0; i < node->ChildCount(); ++i) texts.push_back(node->Child(i)->Text());
    return texts;
}

// Counters recomputed from scratch, to check the running ones.
int Recount(const TNode* node) {
    int count = 0;
    for (int i = 0; i < node->ChildCount(); ++i) count += 1 + Recount(node->Child(i));
    return count;
}

int RecountVisible(const TNode* node) {
    if (!node->State().Has(nsExpanded)) return 0;
    int count = 0;
    for (int i = 0; i < node->ChildCount(); ++i) count += 1 + RecountVisible(node->Child(i));
    return count;
}

void PreOrder(TNode* node, bool visibleOnly, std::vector<TNode*>& out) {
    out.push_back(node);
    if (visibleOnly && !node->State().Has(nsExpanded)) return;
    for (int i = 0; i < node->ChildCount(); ++i) PreOrder(node->Child(i), visibleOnly, out);
}

void ExpectCountersConsistent(TNode* root) {
    std::vector<TNode*> all;
    PreOrder(root, false, all);
    for (TNode* n : all) {
        ASSERT_EQ(n->Count(), Recount(n)) << n->Text();
        ASSERT_EQ(n->VisibleCount(), RecountVisible(n)) << n->Text();
    }
    for (size_t i = 0; i < all.size(); ++i) ASSERT_EQ(root->NodeAt(static_cast<int>(i)), all[i]);
    EXPECT_EQ(root->NodeAt(static_cast<int>(all.size())), nullptr);
    std::vector<TNode*> visible;
    PreOrder(root, true, visible);
    for (size_t i = 0; i < visible.size(); ++i) {
        ASSERT_EQ(root->VisibleNodeAt(static_cast<int>(i)), visible[i]);
        ASSERT_EQ(visible[i]->VisibleIndex(), static_cast<int>(i));
        ASSERT_TRUE(visible[i]->IsVisible() || visible[i] == root);
    }
    EXPECT_EQ(root->VisibleNodeAt(static_cast<int>(visible.size())), nullptr);
}

}  // namespace

TEST(NodeCreate, DefaultsOfTheVirtualConstructor) {
    auto node = NewNode("abc");
    EXPECT_EQ(node->Text(), "abc");
    EXPECT_EQ(node->State(), TNodeState{nsReadOnly});
    EXPECT_EQ(node->Bitmap(), -3);
    TNodeOption all{noCanDelete, noCanMove, noCanCopy, noCanPaste, noCanSort,
                    noHasMenu,   noHasEditMenu, noCanSaving, noCanLoading};
    EXPECT_EQ(node->Option(), all);
    EXPECT_EQ(node->DefaultOption(), all);
    EXPECT_EQ(node->ChildNodeClass(), &TNode::StaticClass());
    EXPECT_EQ(node->ParentNodeClass(), &TNode::StaticClass());
    EXPECT_EQ(node->Count(), 0);
    EXPECT_EQ(node->ChildCount(), 0);
    EXPECT_FALSE(node->HasChildList());
    EXPECT_EQ(node->Child(0), nullptr);

    std::unique_ptr<TNode> group(TNode::Create<TGroupNode>("g"));
    EXPECT_EQ(group->ChildNodeClass(), &TGroupNode::StaticClass());
    EXPECT_EQ(group->NodeClass()->DefaultText(), "TGroupNode");
}

TEST(NodeState, RootExpandsAndLockedKeepsCollapsed) {
    auto node = NewNode("n");
    AddChild(node.get(), "c");
    node->SetState(node->State() + nsRoot);
    EXPECT_TRUE(node->State().Has(nsExpanded));
    EXPECT_EQ(node->VisibleCount(), 1);

    auto other = NewNode("o");
    AddChild(other.get(), "c");
    other->SetState(other->State() + nsLocked + nsExpanded);
    EXPECT_FALSE(other->State().Has(nsExpanded));
    EXPECT_TRUE(other->State().Has(nsLocked));
    EXPECT_EQ(other->VisibleCount(), 0);
}

TEST(NodeState, CollapsingReportsRowsAndLowersExpandedAncestors) {
    auto top = NewNode("top");
    TNode* mid = AddChild(top.get(), "mid");
    TNode* node = AddChild(mid, "node");
    for (int i = 0; i < 3; ++i) AddChild(node, "leaf" + std::to_string(i));
    TNode* inner = AddChild(node, "inner");
    AddChild(inner, "deep");
    inner->Expand(false);
    top->Expand(true);
    ASSERT_EQ(node->VisibleCount(), 5);
    ASSERT_EQ(top->VisibleCount(), 7);

    TRecordingSink sink;
    node->Collapse(false);
    auto expanded = sink.Of(ncExpanded);
    ASSERT_EQ(expanded.size(), 1u);
    EXPECT_EQ(expanded[0].node, node);
    EXPECT_EQ(expanded[0].param, 5);
    EXPECT_EQ(node->VisibleCount(), 0);
    EXPECT_EQ(mid->VisibleCount(), 1);
    EXPECT_EQ(top->VisibleCount(), 2);
    ExpectCountersConsistent(top.get());
}

TEST(NodeState, NotificationsFollowChangedBits) {
    auto node = NewNode("n");
    TRecordingSink sink;
    node->SetState(node->State() + nsSelected + nsFocused + nsModified + nsEditing);
    std::vector<TNodeCode> codes;
    for (auto& e : sink.events) codes.push_back(e.code);
    // Focus also changes the automatic symbol.
    EXPECT_EQ(codes, (std::vector<TNodeCode>{ncSelected, ncFocused, ncModified, ncStateFlags, ncBitmap}));
    EXPECT_EQ(node->Bitmap(), -4);
    sink.events.clear();
    node->SetState(node->State());
    EXPECT_TRUE(sink.events.empty());
}

TEST(NodeText, ChangingTheTextMarksModifiedUnlessLoading) {
    auto node = NewNode("a");
    node->SetText("b");
    EXPECT_TRUE(node->State().Has(nsModified));
    auto loading = NewNode("a");
    loading->SetStateDirect(loading->State() + nsLoading);
    loading->SetText("b");
    EXPECT_FALSE(loading->State().Has(nsModified));
    EXPECT_EQ(node->GetText(1), "");
    node->SetText(1, "ignored");
    EXPECT_EQ(node->Text(), "b");
}

TEST(NodeInsert, SortedInsertionGoesAfterEqualTexts) {
    auto parent = NewNode("p");
    AddChild(parent.get(), "a");
    AddChild(parent.get(), "c");
    TNode* b = AddChild(parent.get(), "b");
    TNode* bigB = AddChild(parent.get(), "B");
    EXPECT_EQ(ChildTexts(parent.get()), (std::vector<std::string>{"a", "b", "B", "c"}));
    EXPECT_EQ(b->IndexInParent(), 1);
    EXPECT_EQ(bigB->IndexInParent(), 2);
    TNode* again = TNode::Create<TNode>("a");
    parent->InsertNode(-1, again, imChild);
    EXPECT_EQ(again->IndexInParent(), 1);
}

TEST(NodeInsert, UnsortableNodesAndModeFlags) {
    auto parent = NewNode("p");
    AddChild(parent.get(), "m");
    TNode* z = TNode::Create<TNode>("z");
    parent->InsertNode(-1, z, imFirst | imIntoSelf);
    EXPECT_EQ(ChildTexts(parent.get()), (std::vector<std::string>{"z", "m"}));
    TNode* a = TNode::Create<TNode>("a");
    parent->InsertNode(-1, a, imLast | imIntoSelf);
    EXPECT_EQ(ChildTexts(parent.get()), (std::vector<std::string>{"z", "m", "a"}));
    TNode* plain = TNode::Create<TNode>("b");
    plain->SetOption(plain->Option() - noCanSort);
    plain->SetParent(parent.get());
    EXPECT_EQ(ChildTexts(parent.get()).back(), "b");
    TNode* at = TNode::Create<TNode>("y");
    parent->InsertNode(1, at, imIntoSelf);
    EXPECT_EQ(ChildTexts(parent.get()), (std::vector<std::string>{"z", "y", "m", "a", "b"}));
    ExpectCountersConsistent(parent.get());
}

TEST(NodeInsert, ReorderingWithinTheParentNotifiesMoved) {
    auto parent = NewNode("p");
    for (auto t : {"a", "b", "c"}) AddChild(parent.get(), t);
    TNode* c = parent->Child(2);
    TRecordingSink sink;
    parent->InsertNode(0, c, imIntoSelf);
    EXPECT_EQ(ChildTexts(parent.get()), (std::vector<std::string>{"c", "a", "b"}));
    auto moved = sink.Of(ncMoved);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].param, 2);
    EXPECT_TRUE(sink.Of(ncInserted).empty());
}

TEST(NodeInsert, ByRowInsertsBeforeTheAddressedNode) {
    auto root = NewNode("root");
    TNode* a = AddChild(root.get(), "a");
    AddChild(a, "a1");
    AddChild(root.get(), "b");
    // Rows in pre-order: 0 root, 1 a, 2 a1, 3 b.
    TNode* x = TNode::Create<TNode>("x");
    root->InsertNode(2, x, 0);
    EXPECT_EQ(x->Parent(), a);
    EXPECT_EQ(x->IndexInParent(), 0);
    TNode* y = TNode::Create<TNode>("y");
    root->InsertNode(99, y, imChild);  // clamped to the last row, then as its child
    EXPECT_EQ(y->Parent()->Text(), "b");
    ExpectCountersConsistent(root.get());
}

TEST(NodeInsert, RefusesItselfItsSubtreeAndWrongClasses) {
    auto top = NewNode("top");
    TNode* child = AddChild(top.get(), "child");
    TNode* grandchild = AddChild(child, "grandchild");
    try {
        child->SetParent(child);
        FAIL() << "no error";
    } catch (const ENodeError& e) {
        EXPECT_EQ(e.Id(), sid::NodeIntoItself);
        EXPECT_EQ(e.Message(), LoadStr(sid::NodeIntoItself));
    }
    // Below its own descendant would make the tree a cycle.
    EXPECT_THROW(child->SetParent(grandchild), ENodeError);
    EXPECT_EQ(grandchild->Parent(), child);
    EXPECT_EQ(child->Parent(), top.get());
    EXPECT_FALSE(TNode::CheckInsert(grandchild, top.get(), false));

    auto holder = NewNode("holder");
    TNode* group = TNode::Create<TGroupNode>("g");
    group->SetParent(holder.get());
    TNode* item = TNode::Create<TItemNode>("i");
    try {
        item->SetParent(group);
        FAIL() << "no error";
    } catch (const ENodeError& e) {
        EXPECT_EQ(e.Id(), sid::NodeCannotAssign);
        EXPECT_NE(e.Message().find("TItemNode"), std::string::npos);
        EXPECT_NE(e.Message().find("TGroupNode"), std::string::npos);
    }
    EXPECT_EQ(item->Parent(), nullptr);
    EXPECT_EQ(group->ChildCount(), 0);
    EXPECT_EQ(group->Count(), 0);
    delete item;
}

TEST(NodeCounters, RandomEditsKeepCountersAndRowsExact) {
    std::mt19937 random(12345);
    auto root = NewNode("root");
    std::vector<TNode*> nodes{root.get()};
    auto pick = [&](size_t from) { return nodes[from + random() % (nodes.size() - from)]; };
    for (int step = 0; step < 1500; ++step) {
        int action = random() % 10;
        if (action < 4 || nodes.size() < 3) {
            TNode* parent = pick(0);
            nodes.push_back(AddChild(parent, std::string(1, char('a' + random() % 26))));
        } else if (action < 6) {
            TNode* n = pick(1);
            n->State().Has(nsExpanded) ? n->Collapse(random() % 2) : n->Expand(random() % 2);
        } else if (action < 8) {
            TNode* n = pick(1);
            TNode* target = pick(0);
            if (!n->IsInSubtree(target)) n->SetParent(target);
        } else if (action < 9) {
            TNode* n = pick(1);
            std::vector<TNode*> gone;
            PreOrder(n, false, gone);
            delete n;
            std::erase_if(nodes, [&](TNode* x) { return std::find(gone.begin(), gone.end(), x) != gone.end(); });
        } else {
            pick(0)->Sort(0);
        }
        if (step % 50 == 0) ExpectCountersConsistent(root.get());
    }
    root->Expand(true);
    ExpectCountersConsistent(root.get());
    root->Collapse(true);
    ExpectCountersConsistent(root.get());
}

TEST(NodeWalk, ForEachOrdersAndFlags) {
    auto root = NewNode("r");
    TNode* a = AddChild(root.get(), "a");
    AddChild(a, "a1");
    AddChild(a, "a2");
    TNode* b = AddChild(root.get(), "b");
    AddChild(b, "b1");
    root->Expand(false);
    a->Expand(false);
    auto visit = [&](unsigned flags) {
        std::string order;
        root->ForEach([&](TNode* n) { order += n->Text() + " "; return false; }, flags);
        return order;
    };
    EXPECT_EQ(visit(0), "a a1 a2 b ");
    EXPECT_EQ(visit(feCollapsed), "a a1 a2 b b1 ");
    EXPECT_EQ(visit(feSelf | feCollapsed), "r a a1 a2 b b1 ");
    EXPECT_EQ(visit(feReverse | feCollapsed), "b1 b a2 a1 a ");
    EXPECT_EQ(visit(feDirect), "a b ");
    root->Collapse(false);
    EXPECT_EQ(visit(0), "");
    TNode* found = root->ForEach([](TNode* n) { return n->Text() == "b1"; }, feCollapsed);
    EXPECT_EQ(found->Text(), "b1");
}

TEST(NodeWalk, RootLevelTopAndPath) {
    auto top = NewNode("Top");
    TNode* a = AddChild(top.get(), "A");
    TNode* b = AddChild(a, "B");
    EXPECT_EQ(b->Level(), 2);
    EXPECT_EQ(b->TopNode(), top.get());
    EXPECT_EQ(b->Root(), top.get());
    EXPECT_EQ(b->Path(), "Top\\A\\B");
    TRecordingControl control;
    a->SetNodeData(static_cast<TNodeControl*>(&control));
    a->SetState(a->State() + nsRoot);
    EXPECT_EQ(b->Root(), a);
    EXPECT_EQ(b->VisibleIndex(), 1);
    EXPECT_EQ(b->NodeAt(0), a);
}

TEST(NodePath, FindPathSkipsSeparatorsAndIgnoresCase) {
    auto top = NewNode("Standard");
    TNode* app = AddChild(top.get(), "TApplication");
    TNode* win = AddChild(app, "MainWin");
    EXPECT_EQ(top->FindPath("\\\\standard\\tapplication\\mainwin", false), win);
    EXPECT_EQ(top->FindPath("TApplication\\MAINWIN", false), win);
    EXPECT_EQ(top->FindPath("STANDARD", false), top.get());
    EXPECT_EQ(top->FindPath("Standard\\Missing", false), nullptr);
    EXPECT_FALSE(app->State().Has(nsExpanded));
    top->FindPath("Standard\\TApplication\\MainWin", true);
    EXPECT_TRUE(app->State().Has(nsExpanded));
}

TEST(NodePath, ForcePathCreatesMissingSegments) {
    auto top = NewNode("root");
    TNode* made = top->ForcePath("  \\Alpha\\Beta\\Value  ", true, nullptr);
    EXPECT_EQ(made->Path(), "root\\Alpha\\Beta");
    EXPECT_EQ(top->ForcePath("alpha\\beta", false, nullptr), made);
    EXPECT_EQ(top->Count(), 2);
    TNode* cut = top->ForcePath(std::string(300, 'x'), false, &TItemNode::StaticClass());
    EXPECT_EQ(cut->Text().size(), 255u);
    EXPECT_EQ(cut->ClassName(), "TItemNode");
    EXPECT_EQ(top->ForcePath("Alpha\\\\Ignored", false, nullptr)->Text(), "Alpha");
}

TEST(NodeValues, TypedValuesRoundTrip) {
    auto node = NewNode("n");
    node->SetValue("Left", TNodeValue::Of(int32_t(-12)));
    node->SetValue("Visible", TNodeValue::OfBool(false));
    node->SetValue("Ratio", TNodeValue::Of(2.5));
    node->SetValue("Name", TNodeValue::Of(std::string("Arial")));
    node->SetValue("Short", TNodeValue::Of(std::string(300, 's'), vkShortString));
    EXPECT_EQ(node->Values().Strings(0), "Left=-12");
    EXPECT_EQ(node->Values().Strings(1), "Visible=False");

    TNodeValue v = TNodeValue::Of(int32_t(7));
    node->GetValue("left", v);
    EXPECT_EQ(v.Integer, -12);
    TNodeValue b = TNodeValue::OfBool(true);
    node->GetValue("Visible", b);
    EXPECT_FALSE(b.Boolean);
    TNodeValue f = TNodeValue::Of(0.0);
    node->GetValue("Ratio", f);
    EXPECT_DOUBLE_EQ(f.Float, 2.5);
    TNodeValue s = TNodeValue::Of(std::string(), vkShortString);
    node->GetValue("Short", s);
    EXPECT_EQ(s.String.size(), 255u);

    // Missing, empty or unparsable entries leave the caller's default.
    TNodeValue def = TNodeValue::Of(int32_t(5));
    node->GetValue("Missing", def);
    node->GetValue("Name", def);
    EXPECT_EQ(def.Integer, 5);
    TNodeValue truth = TNodeValue::OfBool(false);
    node->SetValue("Flag", TNodeValue::Of(std::string("yes")));
    node->GetValue("Flag", truth);
    EXPECT_TRUE(truth.Boolean);
}

TEST(NodeValues, ReplacingAndDeletingEntries) {
    auto node = NewNode("n");
    TRecordingSink sink;
    node->SetValue("A", TNodeValue::Of(int32_t(1)));
    node->SetValue("A", TNodeValue::Of(int32_t(1)));
    EXPECT_EQ(sink.Of(ncValues).size(), 1u);
    node->SetValue("a", TNodeValue::Of(int32_t(2)));
    EXPECT_EQ(node->Values().Count(), 1);
    EXPECT_EQ(node->IndexOfName(" A "), -1);
    node->Values().Add(" B =x");
    EXPECT_EQ(node->IndexOfName("b"), 1);
    node->SetValue("A", TNodeValue::Nil());
    node->SetValue("B", TNodeValue::Nil());
    EXPECT_FALSE(node->HasValues());
    EXPECT_FALSE(node->IsValuesStored());
    node->SetValue("C", TNodeValue::Of(int32_t(3)));
    EXPECT_TRUE(node->IsValuesStored());
    SetNodeSaveMode(1);
    EXPECT_FALSE(node->IsValuesStored());
    SetNodeSaveMode(0);
}

TEST(NodeSort, SortsSortableChildrenRecursively) {
    auto root = NewNode("r");
    for (auto t : {"d", "B", "a", "c"}) {
        TNode* n = TNode::Create<TNode>(t);
        root->InsertNode(-1, n, imLast | imIntoSelf);
    }
    TNode* d = root->Child(0);
    for (auto t : {"z", "y"}) d->InsertNode(-1, TNode::Create<TNode>(t), imLast | imIntoSelf);
    TRecordingSink sink;
    EXPECT_TRUE(root->Sort(0));
    EXPECT_EQ(ChildTexts(root.get()), (std::vector<std::string>{"a", "B", "c", "d"}));
    EXPECT_EQ(ChildTexts(d), (std::vector<std::string>{"y", "z"}));
    auto moved = sink.Of(ncMoved);
    ASSERT_FALSE(moved.empty());
    EXPECT_EQ(moved[0].node->Text(), "a");
    EXPECT_EQ(moved[0].param, 2);
    EXPECT_FALSE(root->Sort(0));
    ExpectCountersConsistent(root.get());
}

TEST(NodeModified, ClearModifiedClearsTheSubtreeAndTellsOnce) {
    auto root = NewNode("r");
    TNode* child = AddChild(root.get(), "c");
    child->SetText("changed");
    root->SetText("changed");
    TRecordingSink sink;
    root->ClearModified();
    EXPECT_FALSE(root->State().Has(nsModified));
    EXPECT_FALSE(child->State().Has(nsModified));
    ASSERT_EQ(sink.Of(ncModified).size(), 1u);
    EXPECT_EQ(sink.Of(ncModified)[0].node, root.get());
}

TEST(NodeNotify, ControlRootGetsNodeMessagesAndChanges) {
    TRecordingControl control;
    auto root = NewNode("root");
    root->SetNodeData(static_cast<TNodeControl*>(&control));
    root->SetState(root->State() + nsRoot);
    TNode* child = AddChild(root.get(), "c");
    control.messages.clear();
    child->SetText("d");
    ASSERT_FALSE(control.messages.empty());
    EXPECT_EQ(control.messages.back().msg, NM_NODECHANGED);
    EXPECT_EQ(child->SendNodeMessage(NM_NODEREDRAW, -1, 0), 42);
    EXPECT_EQ(child->SendNodeMessage(0x1234, 0, 0), 0);
    // Without a live control the data is plain owner data.
    int data = 0;
    root->SetNodeData(&data);
    EXPECT_EQ(child->SendNodeMessage(NM_NODEREDRAW, -1, 0), 0);
}

TEST(NodeNotify, NotifyRootReachesTheTopNodesListeners) {
    auto top = NewNode("top");
    TNode* mid = AddChild(top.get(), "mid");
    TNode* leaf = AddChild(mid, "leaf");
    leaf->SetOption(leaf->Option() + noNotifyRoot);
    TRecordingSink sink;
    leaf->SetBitmap(7);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[1].root, top.get());
    EXPECT_EQ(sink.events[1].node, leaf);
    top->SetOption(top->Option() + noNotifyRoot);
    sink.events.clear();
    top->SetBitmap(3);
    EXPECT_EQ(sink.events.size(), 1u);  // the top node itself is told once
}

TEST(NodeNotify, DestructionReportsTheFormerRow) {
    auto root = NewNode("root");
    TRecordingControl control;
    root->SetNodeData(static_cast<TNodeControl*>(&control));
    root->SetState(root->State() + nsRoot);
    AddChild(root.get(), "a");
    TNode* b = AddChild(root.get(), "b");
    TNode* hidden = AddChild(b, "hidden");
    root->Expand(false);
    TRecordingSink sink;
    control.changes.clear();
    delete hidden;
    delete b;
    std::vector<TNodeChange> removed;
    for (const TNodeChange& c : control.changes)
        if (c.Code == ncRemoved) removed.push_back(c);
    ASSERT_EQ(removed.size(), 2u);
    EXPECT_EQ(removed[0].Param, -1);  // not visible: its parent was collapsed
    EXPECT_EQ(removed[1].Param, 2);
    // The change link hears of the destroyed nodes once, through their removal.
    EXPECT_TRUE(sink.Of(ncRemoved).empty());
    EXPECT_EQ(sink.removed.size(), 2u);
    EXPECT_EQ(root->Count(), 1);
    EXPECT_EQ(root->VisibleCount(), 1);
}

TEST(NodeAssign, StringListGetsEveryDescendantPath) {
    auto root = NewNode("r");
    TNode* a = AddChild(root.get(), "a");
    AddChild(a, "b");
    TStringList list;
    root->AssignTo(&list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(0), "r\\a");
    EXPECT_EQ(list.Strings(1), "r\\a\\b");
    EXPECT_EQ(list.Objects(0), a);
}

TEST(NodeSeparator, HeldAtTheTop) {
    auto top = NewNode("t");
    TNode* c = AddChild(top.get(), "c");
    EXPECT_EQ(c->GetSeparator(), '\\');
    c->SetSeparator('/');  // a plain node keeps no separator of its own
    EXPECT_EQ(c->GetSeparator(), '\\');
}
